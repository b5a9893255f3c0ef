#include "standin/host/ShotImage.h"

#include <zlib.h>

#include <algorithm>
#include <fstream>

namespace standin {

namespace {

void AppendBigEndian(std::string& out, uint32_t value) {
  for (int shift = 24; shift >= 0; shift -= 8)
    out += char((value >> shift) & 0xFF);
}

void AppendChunk(std::string& out, const char* type, const std::string& data) {
  AppendBigEndian(out, uint32_t(data.size()));
  const std::string typed = std::string(type, 4) + data;
  out += typed;
  AppendBigEndian(out, uint32_t(crc32(0, reinterpret_cast<const Bytef*>(typed.data()), uInt(typed.size()))));
}

}  // namespace

// ---- Pictures

bool TShotImage::Flat() const {
  if (Pixels.empty())
    return true;
  const uint32_t first = Pixels.front() & 0xFFFFFF;
  return std::all_of(Pixels.begin(), Pixels.end(), [first](uint32_t p) { return (p & 0xFFFFFF) == first; });
}

TShotImage CaptureWindow(HWND wnd) {
  TShotImage image;
  RECT r{};
  if (!IsWindow(wnd) || !GetWindowRect(wnd, &r) || r.right <= r.left || r.bottom <= r.top)
    return image;
  image.Width = r.right - r.left;
  image.Height = r.bottom - r.top;
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = image.Width;
  info.bmiHeader.biHeight = -image.Height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  HDC windowDC = GetWindowDC(wnd);
  HDC memoryDC = CreateCompatibleDC(windowDC);
  HBITMAP bitmap = CreateDIBSection(windowDC, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  if (bitmap && bits) {
    HGDIOBJ old = SelectObject(memoryDC, bitmap);
    BitBlt(memoryDC, 0, 0, image.Width, image.Height, windowDC, 0, 0, SRCCOPY);
    GdiFlush();
    const auto* pixels = static_cast<const uint32_t*>(bits);
    image.Pixels.assign(pixels, pixels + size_t(image.Width) * size_t(image.Height));
    SelectObject(memoryDC, old);
  }
  if (bitmap)
    DeleteObject(bitmap);
  DeleteDC(memoryDC);
  ReleaseDC(wnd, windowDC);
  if (image.Pixels.empty())
    image = TShotImage{};
  return image;
}

TShotImage Compose(const TShotImage& base, const RECT& baseRect, const TShotImage& over, const RECT& overRect) {
  const RECT all{std::min(baseRect.left, overRect.left), std::min(baseRect.top, overRect.top),
                 std::max(baseRect.right, overRect.right), std::max(baseRect.bottom, overRect.bottom)};
  TShotImage result;
  result.Width = all.right - all.left;
  result.Height = all.bottom - all.top;
  result.Pixels.assign(size_t(result.Width) * size_t(result.Height), 0xFF808080u);
  auto place = [&](const TShotImage& image, const RECT& at) {
    for (int y = 0; y < image.Height; ++y)
      for (int x = 0; x < image.Width; ++x)
        result.Pixels[size_t(y + at.top - all.top) * size_t(result.Width) + size_t(x + at.left - all.left)] =
            image.Pixels[size_t(y) * size_t(image.Width) + size_t(x)];
  };
  place(base, baseRect);
  place(over, overRect);
  return result;
}

bool WritePng(const std::string& fileName, const TShotImage& image) {
  if (image.Pixels.empty())
    return false;
  std::string raw;
  raw.reserve(size_t(image.Height) * (size_t(image.Width) * 3 + 1));
  for (int y = 0; y < image.Height; ++y) {
    raw += char(0);  // no filter
    for (int x = 0; x < image.Width; ++x) {
      const uint32_t p = image.Pixels[size_t(y) * size_t(image.Width) + size_t(x)];
      raw += char((p >> 16) & 0xFF);
      raw += char((p >> 8) & 0xFF);
      raw += char(p & 0xFF);
    }
  }
  uLongf packedSize = compressBound(uLong(raw.size()));
  std::string packed(packedSize, '\0');
  if (compress2(reinterpret_cast<Bytef*>(packed.data()), &packedSize, reinterpret_cast<const Bytef*>(raw.data()),
                uLong(raw.size()), 9) != Z_OK)
    return false;
  packed.resize(packedSize);
  std::string header;
  AppendBigEndian(header, uint32_t(image.Width));
  AppendBigEndian(header, uint32_t(image.Height));
  header += std::string("\x08\x02\x00\x00\x00", 5);  // 8 bits per channel, RGB
  std::string png = "\x89PNG\r\n\x1a\n";
  AppendChunk(png, "IHDR", header);
  AppendChunk(png, "IDAT", packed);
  AppendChunk(png, "IEND", "");
  std::ofstream file(fileName, std::ios::binary | std::ios::trunc);
  file.write(png.data(), std::streamsize(png.size()));
  return bool(file);
}

}  // namespace standin
