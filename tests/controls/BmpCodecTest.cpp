#include "classlib/BmpCodec.h"

#include <cstring>
#include <string>

#include <gtest/gtest.h>

#include "classlib/Exceptions.h"

namespace {

// A 3 x 2 24-bit bottom-up BMP with distinct pixels.
std::vector<uint8_t> SampleBmp24() {
  TDibData dib;
  dib.Header.biSize = sizeof(BITMAPINFOHEADER);
  dib.Header.biWidth = 3;
  dib.Header.biHeight = 2;
  dib.Header.biPlanes = 1;
  dib.Header.biBitCount = 24;
  dib.Header.biCompression = BI_RGB;
  dib.Pixels.resize(dib.Stride() * 2);
  for (size_t i = 0; i < dib.Pixels.size(); ++i)
    dib.Pixels[i] = uint8_t(i * 7 + 1);
  return EncodeBmp(dib);
}

void Put32(std::vector<uint8_t>& bytes, size_t at, uint32_t v) { memcpy(&bytes[at], &v, 4); }
void Put16(std::vector<uint8_t>& bytes, size_t at, uint16_t v) { memcpy(&bytes[at], &v, 2); }

std::string DecodeError(const std::vector<uint8_t>& bytes) {
  try {
    DecodeBmp(bytes.data(), bytes.size());
  } catch (const EInvalidGraphic& e) {
    return e.what();
  }
  return "decoded";
}

TEST(BmpCodec, RoundTripKeepsHeaderAndPixels) {
  std::vector<uint8_t> file = SampleBmp24();
  ASSERT_EQ(file.size(), 14u + 40u + 12u * 2u);
  EXPECT_EQ(file[0], 'B');
  TDibData dib = DecodeBmp(file.data(), file.size());
  EXPECT_EQ(dib.Width(), 3);
  EXPECT_EQ(dib.Height(), 2);
  EXPECT_FALSE(dib.TopDown());
  EXPECT_EQ(dib.Stride(), 12u);  // 9 bytes padded to 12
  EXPECT_EQ(EncodeBmp(dib), file);
}

TEST(BmpCodec, PaletteTopDownBitFieldsAndCoreHeaders) {
  // 2 x 2, 1 bit per pixel, top-down, two colours.
  TDibData mono;
  mono.Header.biSize = 40;
  mono.Header.biWidth = 2;
  mono.Header.biHeight = -2;
  mono.Header.biPlanes = 1;
  mono.Header.biBitCount = 1;
  mono.Colors = {RGBQUAD{0, 0, 0, 0}, RGBQUAD{255, 255, 255, 0}};
  mono.Pixels = {0x80, 0, 0, 0, 0x40, 0, 0, 0};
  TDibData back = DecodeBmp(EncodeBmp(mono).data(), EncodeBmp(mono).size());
  EXPECT_TRUE(back.TopDown());
  ASSERT_EQ(back.Colors.size(), 2u);
  EXPECT_EQ(back.Colors[1].rgbRed, 255);
  EXPECT_EQ(back.Pixels, mono.Pixels);

  TDibData fields;
  fields.Header.biSize = 40;
  fields.Header.biWidth = 1;
  fields.Header.biHeight = 1;
  fields.Header.biPlanes = 1;
  fields.Header.biBitCount = 16;
  fields.Header.biCompression = BI_BITFIELDS;
  fields.Masks[0] = 0xF800;
  fields.Masks[1] = 0x07E0;
  fields.Masks[2] = 0x001F;
  fields.Pixels = {0x1F, 0xF8, 0, 0};
  std::vector<uint8_t> file = EncodeBmp(fields);
  back = DecodeBmp(file.data(), file.size());
  EXPECT_EQ(back.Masks[1], 0x07E0u);
  EXPECT_EQ(back.BitmapInfo().size(), 40u + 12u);

  // OS/2 core header: 12 bytes, RGB triples.
  std::vector<uint8_t> core(14 + 12 + 2 * 3 + 4, 0);
  core[0] = 'B';
  core[1] = 'M';
  Put32(core, 2, uint32_t(core.size()));
  Put32(core, 10, 14 + 12 + 6);
  Put32(core, 14, 12);
  Put16(core, 18, 1);   // width
  Put16(core, 20, 1);   // height
  Put16(core, 22, 1);   // planes
  Put16(core, 24, 1);   // bits
  core[26 + 3 + 2] = 200;  // second colour: red
  core[32] = 0x80;
  back = DecodeBmp(core.data(), core.size());
  ASSERT_EQ(back.Colors.size(), 2u);
  EXPECT_EQ(back.Colors[1].rgbRed, 200);
  EXPECT_EQ(back.Pixels[0], 0x80);
}

TEST(BmpCodec, RejectsTruncatedFiles) {
  const std::vector<uint8_t> file = SampleBmp24();
  for (size_t cut : {size_t(0), size_t(1), size_t(13), size_t(14), size_t(20), size_t(53),
                     file.size() - 1}) {
    std::vector<uint8_t> part(file.begin(), file.begin() + cut);
    EXPECT_NE(DecodeError(part), "decoded") << "cut at " << cut;
  }
  EXPECT_EQ(DecodeError(std::vector<uint8_t>(file.begin(), file.end() - 1)),
            "Bitmap image is not valid: the pixel data is truncated");
}

TEST(BmpCodec, RejectsHostileHeaders) {
  const std::vector<uint8_t> good = SampleBmp24();
  auto with = [&](auto change) {
    std::vector<uint8_t> bytes = good;
    change(bytes);
    return DecodeError(bytes);
  };
  EXPECT_EQ(with([](auto& b) { b[0] = 'X'; }),
            "Bitmap image is not valid: the file does not begin with \"BM\"");
  EXPECT_EQ(with([](auto& b) { Put32(b, 14, 1000); }),
            "Bitmap image is not valid: unknown header size 1000");
  EXPECT_EQ(with([](auto& b) { Put32(b, 14, 0xFFFFFFF0u); }),
            "Bitmap image is not valid: unknown header size 4294967280");
  EXPECT_EQ(with([](auto& b) { Put32(b, 18, 0x7FFFFFFF); }),
            "Bitmap image is not valid: size 2147483647 x 2 exceeds the limit of 32768");
  EXPECT_EQ(with([](auto& b) { Put32(b, 22, 0x80000000u); }),
            "Bitmap image is not valid: size 3 x 2147483648 exceeds the limit of 32768");
  EXPECT_EQ(with([](auto& b) { Put32(b, 18, uint32_t(-3)); }),
            "Bitmap image is not valid: size -3 x 2");
  EXPECT_EQ(with([](auto& b) { Put32(b, 22, 0); }), "Bitmap image is not valid: size 3 x 0");
  EXPECT_EQ(with([](auto& b) { Put16(b, 28, 7); }),
            "Bitmap image is not valid: 7 bits per pixel");
  EXPECT_EQ(with([](auto& b) { Put16(b, 26, 3); }), "Bitmap image is not valid: 3 colour planes");
  EXPECT_EQ(with([](auto& b) { Put32(b, 30, BI_RLE8); }),
            "Bitmap image is not valid: compression 1 is not supported");
  EXPECT_EQ(with([](auto& b) { Put32(b, 10, 0xFFFFFFFFu); }),
            "Bitmap image is not valid: pixel data offset 4294967295 lies outside the file");
  EXPECT_EQ(with([](auto& b) { Put32(b, 10, 20); }),
            "Bitmap image is not valid: the pixel data overlaps the headers");
  // Large but legal dimensions whose pixels are not in the file.
  EXPECT_EQ(with([](auto& b) { Put32(b, 18, 30000); Put32(b, 22, 30000); }),
            "Bitmap image is not valid: 2700000000 bytes of pixels exceed the limit");
  EXPECT_EQ(with([](auto& b) { Put32(b, 18, 1000); Put32(b, 22, 1000); }),
            "Bitmap image is not valid: the pixel data is truncated");
  // A palette image claiming more colours than its bit depth allows.
  EXPECT_EQ(with([](auto& b) { Put16(b, 28, 8); Put32(b, 46, 100000); }),
            "Bitmap image is not valid: 100000 colours for 8 bits per pixel");
  EXPECT_EQ(with([](auto& b) { Put16(b, 28, 8); Put32(b, 46, 200); }),
            "Bitmap image is not valid: the colour table is truncated");
}

TEST(BmpCodec, PackedDibFromResources) {
  const std::vector<uint8_t> file = SampleBmp24();
  TDibData dib = DecodeDib(file.data() + 14, file.size() - 14);
  EXPECT_EQ(dib.Width(), 3);
  EXPECT_EQ(dib.Pixels, DecodeBmp(file.data(), file.size()).Pixels);
  EXPECT_THROW(DecodeDib(file.data() + 14, 30), EInvalidGraphic);
}

}  // namespace
