#include "classlib/Icon.h"

#include <cstring>

#include "classlib/Canvas.h"
#include "classlib/Exceptions.h"
#include "classlib/Streams.h"

namespace {

uint16_t U16(const uint8_t* p) { return uint16_t(p[0] | (p[1] << 8)); }
uint32_t U32(const uint8_t* p) {
  return uint32_t(p[0]) | (uint32_t(p[1]) << 8) | (uint32_t(p[2]) << 16) | (uint32_t(p[3]) << 24);
}

[[noreturn]] void Invalid(const char* why) { throw EInvalidGraphic(std::string("Icon image is not valid: ") + why); }

constexpr size_t kMaxIconFile = 16 * 1024 * 1024;
constexpr int kMaxIconSide = 1024;

bool IsPng(const uint8_t* image, size_t bytes) {
  static const uint8_t signature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  return bytes >= sizeof signature && memcmp(image, signature, sizeof signature) == 0;
}

// Checks that the image of a directory entry (`bytes` bytes at `image`) holds all that
// its header promises: the colour table, the colour rows and the mask rows. The system
// reads them by the header alone.
void CheckIconImage(const uint8_t* image, size_t bytes) {
  if (IsPng(image, bytes))
    return;  // the PNG decoder is bounded by the size it is given
  if (bytes < 40)
    Invalid("an image header is truncated");
  const uint32_t headerSize = U32(image);
  const int32_t width = int32_t(U32(image + 4));
  const int32_t doubledHeight = int32_t(U32(image + 8));
  const unsigned planes = U16(image + 12);
  const unsigned bitCount = U16(image + 14);
  const uint32_t compression = U32(image + 16);
  const uint32_t colorsUsed = U32(image + 32);
  if (headerSize < 40 || headerSize > bytes)
    Invalid("an image header is malformed");
  if (planes != 1 || (bitCount != 1 && bitCount != 4 && bitCount != 8 && bitCount != 16 && bitCount != 24 &&
                      bitCount != 32))
    Invalid("an image has an unknown pixel format");
  if (compression != BI_RGB)
    Invalid("an image is compressed");
  // The height counts the colour rows and the mask rows.
  if (width <= 0 || width > kMaxIconSide || doubledHeight <= 0 || doubledHeight % 2 != 0 ||
      doubledHeight / 2 > kMaxIconSide)
    Invalid("an image has an impossible size");
  const uint64_t colors = bitCount <= 8 ? (colorsUsed ? colorsUsed : 1u << bitCount) : colorsUsed;
  if (colors > 256)
    Invalid("an image has too many colours");
  const uint64_t rows = uint64_t(doubledHeight) / 2;
  const uint64_t colorStride = ((uint64_t(width) * bitCount + 31) / 32) * 4;
  const uint64_t maskStride = ((uint64_t(width) + 31) / 32) * 4;
  const uint64_t needed = headerSize + colors * 4 + (colorStride + maskStride) * rows;
  if (needed > bytes)
    Invalid("an image is truncated");
}

}  // namespace

void TIcon::ReadSize() {
  FWidth = FHeight = 0;
  ICONINFO info{};
  if (!FHandle || !GetIconInfo(FHandle.Get(), &info))
    return;
  BITMAP bm{};
  if (info.hbmColor && GetObjectA(info.hbmColor, sizeof bm, &bm)) {
    FWidth = bm.bmWidth;
    FHeight = bm.bmHeight;
  } else if (info.hbmMask && GetObjectA(info.hbmMask, sizeof bm, &bm)) {
    FWidth = bm.bmWidth;
    FHeight = bm.bmHeight / 2;  // a monochrome icon stacks the AND and XOR masks
  }
  if (info.hbmColor)
    DeleteObject(info.hbmColor);
  if (info.hbmMask)
    DeleteObject(info.hbmMask);
}

void TIcon::SetHandle(HICON value) {
  FHandle.Reset(value);
  FImage.clear();
  ReadSize();
  Changed(this);
}

HICON TIcon::ReleaseHandle() {
  FImage.clear();
  FWidth = FHeight = 0;
  return FHandle.Release();
}

void TIcon::SetWidth(int value) {
  if (value != FWidth)
    throw EInvalidGraphic("Cannot change the size of an icon");
}

void TIcon::SetHeight(int value) {
  if (value != FHeight)
    throw EInvalidGraphic("Cannot change the size of an icon");
}

void TIcon::Assign(TPersistent* source) {
  if (source == this)
    return;
  if (!source) {
    FHandle.Reset();
    FImage.clear();
    FWidth = FHeight = 0;
    Changed(this);
    return;
  }
  if (auto* icon = ObjectAs<TIcon>(source)) {
    FHandle.Reset(icon->FHandle ? CopyIcon(icon->FHandle.Get()) : nullptr);
    FImage = icon->FImage;
    FWidth = icon->FWidth;
    FHeight = icon->FHeight;
    Changed(this);
    return;
  }
  inherited::Assign(source);
}

void TIcon::LoadFromStream(TStream& stream) {
  const int64_t remaining = stream.GetSize() - stream.GetPosition();
  if (remaining < 6)
    Invalid("the directory is truncated");
  if (remaining > int64_t(kMaxIconFile))
    Invalid("the file is too large");
  std::vector<uint8_t> data(static_cast<size_t>(remaining));
  stream.ReadBuffer(data.data(), int32_t(data.size()));
  if (U16(&data[0]) != 0 || U16(&data[2]) != 1)
    Invalid("the file is no icon");
  const unsigned count = U16(&data[4]);
  if (count == 0)
    Invalid("the file holds no image");
  if (6 + size_t(count) * 16 > data.size())
    Invalid("the directory is truncated");
  // Prefer the entry of the system's icon size, else the first one.
  const int wanted = GetSystemMetrics(SM_CXICON);
  unsigned chosen = 0;
  for (unsigned i = 0; i < count; ++i) {
    const uint8_t* entry = &data[6 + i * 16];
    const int width = entry[0] ? entry[0] : 256;
    if (width == wanted) {
      chosen = i;
      break;
    }
  }
  const uint8_t* entry = &data[6 + chosen * 16];
  const uint32_t bytes = U32(entry + 8);
  const uint32_t offset = U32(entry + 12);
  if (bytes < 40 || offset > data.size() || bytes > data.size() - offset)
    Invalid("an image lies outside the file");
  CheckIconImage(&data[offset], bytes);
  const int width = entry[0] ? entry[0] : 256;
  const int height = entry[1] ? entry[1] : 256;
  HICON icon = CreateIconFromResourceEx(&data[offset], bytes, TRUE, 0x00030000, width, height,
                                        LR_DEFAULTCOLOR);
  if (!icon)
    Invalid("the image cannot be made into an icon");
  FHandle.Reset(icon);
  ReadSize();
  size_t used = 6 + size_t(count) * 16;
  for (unsigned i = 0; i < count; ++i) {
    const uint8_t* e = &data[6 + i * 16];
    const uint64_t end = uint64_t(U32(e + 12)) + U32(e + 8);
    if (end <= data.size() && end > used)
      used = size_t(end);
  }
  data.resize(used);
  FImage = std::move(data);
  Changed(this);
}

void TIcon::SaveToStream(TStream& stream) {
  if (!FHandle)
    return;
  if (FImage.empty())
    throw EInvalidGraphic("An icon made from a handle cannot be saved");
  stream.WriteBuffer(FImage.data(), int32_t(FImage.size()));
}

void TIcon::Draw(TCanvas* canvas, const TRect& rect) {
  if (FHandle)
    DrawIconEx(canvas->GetHandle(), rect.left, rect.top, FHandle.Get(), RectWidth(rect),
               RectHeight(rect), 0, nullptr, DI_NORMAL);
}
