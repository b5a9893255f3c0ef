#include "classlib/BmpCodec.h"

#include <algorithm>
#include <cassert>
#include <cstring>
#include <string>

#include "classlib/Exceptions.h"

namespace {

uint16_t U16(const uint8_t* p) { return uint16_t(p[0] | (p[1] << 8)); }
uint32_t U32(const uint8_t* p) { return uint32_t(p[0]) | (uint32_t(p[1]) << 8) | (uint32_t(p[2]) << 16) | (uint32_t(p[3]) << 24); }
int32_t I32(const uint8_t* p) { return static_cast<int32_t>(U32(p)); }

[[noreturn]] void Invalid(const std::string& why) { throw EInvalidGraphic("Bitmap image is not valid: " + why); }

// Decodes the DIB that starts at `dib` (`size` bytes available from there). The pixels
// start at `pixelOffset` bytes from `dib` when given, else right after the colour table.
TDibData Decode(const uint8_t* dib, size_t size, const size_t* pixelOffset) {
  if (size < 4)
    Invalid("the header is truncated");
  const uint32_t headerSize = U32(dib);
  const bool core = headerSize == sizeof(BITMAPCOREHEADER);
  if (!core && (headerSize < sizeof(BITMAPINFOHEADER) || headerSize > sizeof(BITMAPV5HEADER)))
    Invalid(Format("unknown header size %u", headerSize));
  if (headerSize > size)
    Invalid("the header is truncated");

  int64_t width, height;
  unsigned planes, bitCount;
  uint32_t compression = BI_RGB, colorsUsed = 0;
  if (core) {
    width = U16(dib + 4);
    height = U16(dib + 6);
    planes = U16(dib + 8);
    bitCount = U16(dib + 10);
  } else {
    width = I32(dib + 4);
    height = I32(dib + 8);
    planes = U16(dib + 12);
    bitCount = U16(dib + 14);
    compression = U32(dib + 16);
    colorsUsed = U32(dib + 32);
  }
  if (planes != 1)
    Invalid(Format("%u colour planes", planes));
  if (bitCount != 1 && bitCount != 4 && bitCount != 8 && bitCount != 16 && bitCount != 24 &&
      bitCount != 32)
    Invalid(Format("%u bits per pixel", bitCount));
  if (width <= 0 || height == 0)
    Invalid(Format("size %lld x %lld", (long long)width, (long long)height));
  const bool topDown = height < 0;
  const int64_t rows = topDown ? -height : height;
  if (width > kMaxBmpDimension || rows > kMaxBmpDimension)
    Invalid(Format("size %lld x %lld exceeds the limit of %d", (long long)width, (long long)rows,
                   kMaxBmpDimension));
  if (compression == BI_BITFIELDS) {
    if (bitCount != 16 && bitCount != 32)
      Invalid(Format("bit fields with %u bits per pixel", bitCount));
  } else if (compression != BI_RGB) {
    Invalid(Format("compression %u is not supported", compression));
  }

  TDibData result;
  size_t offset = headerSize;
  if (compression == BI_BITFIELDS) {
    // A 40-byte header is followed by the three masks; later headers hold them inside.
    const size_t masksAt = headerSize >= 52 ? 40 : headerSize;
    if (masksAt + 12 > size)
      Invalid("the bit-field masks are truncated");
    for (int i = 0; i < 3; ++i)
      result.Masks[i] = U32(dib + masksAt + 4 * i);
    if (!result.Masks[0] || !result.Masks[1] || !result.Masks[2])
      Invalid("a bit-field mask is empty");
    if (headerSize < 52)
      offset += 12;
  }

  if (bitCount <= 8) {
    const uint32_t maxColors = 1u << bitCount;
    const uint32_t count = colorsUsed ? colorsUsed : maxColors;
    if (count > maxColors)
      Invalid(Format("%u colours for %u bits per pixel", count, bitCount));
    const size_t entrySize = core ? 3 : 4;
    if (offset + size_t(count) * entrySize > size)
      Invalid("the colour table is truncated");
    result.Colors.resize(count);
    for (uint32_t i = 0; i < count; ++i) {
      const uint8_t* e = dib + offset + i * entrySize;
      result.Colors[i] = RGBQUAD{e[0], e[1], e[2], 0};
    }
    offset += size_t(count) * entrySize;
  } else if (colorsUsed) {
    // An optional palette of a true-colour image: skipped, but it must be there.
    if (colorsUsed > 256 || offset + size_t(colorsUsed) * 4 > size)
      Invalid("the colour table is truncated");
    offset += size_t(colorsUsed) * 4;
  }

  if (pixelOffset) {
    if (*pixelOffset < offset)
      Invalid("the pixel data overlaps the headers");
    offset = *pixelOffset;
  }
  const size_t stride = TDibData::DibStride(int(width), int(bitCount));
  const uint64_t pixelBytes = uint64_t(stride) * uint64_t(rows);
  if (pixelBytes > kMaxBmpPixelBytes)
    Invalid(Format("%llu bytes of pixels exceed the limit", (unsigned long long)pixelBytes));
  if (offset > size || pixelBytes > size - offset)
    Invalid("the pixel data is truncated");

  BITMAPINFOHEADER& h = result.Header;
  h.biSize = sizeof(BITMAPINFOHEADER);
  h.biWidth = int32_t(width);
  h.biHeight = int32_t(height);
  h.biPlanes = 1;
  h.biBitCount = WORD(bitCount);
  h.biCompression = compression;
  h.biSizeImage = DWORD(pixelBytes);
  if (!core) {
    h.biXPelsPerMeter = I32(dib + 24);
    h.biYPelsPerMeter = I32(dib + 28);
  }
  h.biClrUsed = DWORD(result.Colors.size());
  result.Pixels.assign(dib + offset, dib + offset + pixelBytes);
  return result;
}

void PutU16(std::vector<uint8_t>& out, size_t at, uint16_t v) { memcpy(out.data() + at, &v, 2); }
void PutU32(std::vector<uint8_t>& out, size_t at, uint32_t v) { memcpy(out.data() + at, &v, 4); }

}  // namespace

std::vector<uint8_t> TDibData::BitmapInfo() const {
  const size_t extra = Header.biCompression == BI_BITFIELDS ? sizeof Masks : Colors.size() * sizeof(RGBQUAD);
  std::vector<uint8_t> info(sizeof(BITMAPINFOHEADER) + std::max<size_t>(extra, sizeof(RGBQUAD)));
  memcpy(info.data(), &Header, sizeof Header);
  if (Header.biCompression == BI_BITFIELDS)
    memcpy(info.data() + sizeof Header, Masks, sizeof Masks);
  else if (!Colors.empty())
    memcpy(info.data() + sizeof Header, Colors.data(), Colors.size() * sizeof(RGBQUAD));
  return info;
}

TBmpFileHeader ReadBmpFileHeader(const uint8_t* data, size_t size) {
  if (size < kBmpFileHeaderSize)
    Invalid("the file header is truncated");
  if (data[0] != 'B' || data[1] != 'M')
    Invalid("the file does not begin with \"BM\"");
  TBmpFileHeader header;
  header.Size = U32(data + 2);
  header.OffBits = U32(data + 10);
  return header;
}

TDibData DecodeBmp(const uint8_t* data, size_t size) {
  const TBmpFileHeader file = ReadBmpFileHeader(data, size);
  if (file.OffBits < kBmpFileHeaderSize || file.OffBits > size)
    Invalid(Format("pixel data offset %u lies outside the file", file.OffBits));
  const size_t pixelOffset = file.OffBits - kBmpFileHeaderSize;
  return Decode(data + kBmpFileHeaderSize, size - kBmpFileHeaderSize, &pixelOffset);
}

TDibData DecodeDib(const uint8_t* data, size_t size) { return Decode(data, size, nullptr); }

std::vector<uint8_t> EncodeBmp(const TDibData& dib) {
  assert(dib.Pixels.size() == dib.Stride() * size_t(dib.Height()) && "pixel rows match the header");
  const bool bitFields = dib.Header.biCompression == BI_BITFIELDS;
  const size_t tableBytes = bitFields ? sizeof dib.Masks : dib.Colors.size() * sizeof(RGBQUAD);
  const size_t offBits = kBmpFileHeaderSize + sizeof(BITMAPINFOHEADER) + tableBytes;
  std::vector<uint8_t> out(offBits + dib.Pixels.size());
  out[0] = 'B';
  out[1] = 'M';
  PutU32(out, 2, uint32_t(out.size()));
  PutU16(out, 6, 0);
  PutU16(out, 8, 0);
  PutU32(out, 10, uint32_t(offBits));
  BITMAPINFOHEADER header = dib.Header;
  header.biSize = sizeof(BITMAPINFOHEADER);
  header.biSizeImage = DWORD(dib.Pixels.size());
  header.biClrUsed = bitFields ? 0 : DWORD(dib.Colors.size());
  memcpy(out.data() + kBmpFileHeaderSize, &header, sizeof header);
  uint8_t* table = out.data() + kBmpFileHeaderSize + sizeof header;
  if (bitFields)
    memcpy(table, dib.Masks, sizeof dib.Masks);
  else if (!dib.Colors.empty())
    memcpy(table, dib.Colors.data(), tableBytes);
  if (!dib.Pixels.empty())
    memcpy(out.data() + offBits, dib.Pixels.data(), dib.Pixels.size());
  return out;
}
