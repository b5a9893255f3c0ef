// Reading and writing the Windows BMP format over byte buffers.
//
// The reader trusts nothing in the file: every header field is checked against the
// bytes actually present and against fixed limits before anything is read or
// allocated, and every failure raises EInvalidGraphic with a message that says what
// was wrong. Uncompressed images of 1, 4, 8, 16, 24 and 32 bits per pixel and 16/32-bit
// bit-field images are understood, with the 12-byte core header or the 40-byte (and
// later) info headers, bottom-up or top-down. The result is a self-contained DIB.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "classlib/Win.h"

// Fixed limits on what a BMP may ask for.
constexpr int kMaxBmpDimension = 32768;
constexpr size_t kMaxBmpPixelBytes = size_t(256) * 1024 * 1024;
constexpr size_t kBmpFileHeaderSize = 14;

// A decoded device-independent bitmap: the normalised info header (biSize 40,
// biHeight negative for top-down rows, biSizeImage = Pixels.size()), the colour table,
// the bit-field masks (when biCompression is BI_BITFIELDS) and the pixel rows, each
// padded to 4 bytes.
struct TDibData {
  BITMAPINFOHEADER Header{};
  std::vector<RGBQUAD> Colors;
  DWORD Masks[3] = {};
  std::vector<uint8_t> Pixels;

  int Width() const { return Header.biWidth; }
  int Height() const { return Header.biHeight < 0 ? -Header.biHeight : Header.biHeight; }
  bool TopDown() const { return Header.biHeight < 0; }
  int BitCount() const { return Header.biBitCount; }
  size_t Stride() const { return DibStride(Header.biWidth, Header.biBitCount); }
  // The BITMAPINFO that GDI calls need: header, then masks or colour table.
  std::vector<uint8_t> BitmapInfo() const;

  static size_t DibStride(int width, int bitCount) {
    return ((size_t(width) * size_t(bitCount) + 31) / 32) * 4;
  }
};

// The 14-byte file header: "BM", file size, pixel data offset.
struct TBmpFileHeader {
  uint32_t Size = 0;
  uint32_t OffBits = 0;
};

// Checks and reads the file header at the start of `data`.
TBmpFileHeader ReadBmpFileHeader(const uint8_t* data, size_t size);

// Decodes a whole BMP file (file header included).
TDibData DecodeBmp(const uint8_t* data, size_t size);

// Decodes a packed DIB (info header, colour table, pixels), as bitmap resources hold it.
TDibData DecodeDib(const uint8_t* data, size_t size);

// Encodes a DIB as a BMP file with a 40-byte info header.
std::vector<uint8_t> EncodeBmp(const TDibData& dib);
