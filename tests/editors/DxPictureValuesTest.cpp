// Pictures as cell values: saved and loaded again pixel for pixel, the blob header
// skipped only when it is consistent, short and foreign values, and 2,000 random,
// truncated and mutated byte strings read with every block of memory ending at an
// inaccessible page.
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "classlib/Bitmap.h"
#include "classlib/Icon.h"
#include "editors/DxPictureValues.h"
#include "tests/editors/GuardedHeap.h"
#include "tests/support/TestSupport.h"

namespace {

// A bitmap of the format with a pattern that differs in every pixel it can.
void PaintPattern(TBitmap& bitmap, int width, int height, TPixelFormat format) {
  bitmap.SetPixelFormat(format);
  bitmap.SetSize(width, height);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x)
      bitmap.GetCanvas()->SetPixel(x, y, TColor(RGB(x * 37 % 256, y * 53 % 256, (x + y) * 29 % 256)));
}

std::string ValueOf(TGraphic* graphic) {
  TPicture picture;
  picture.Assign(graphic);
  std::string value;
  SavePictureToString(&picture, value);
  return value;
}

// The blob header for `bytes` following bytes.
std::string BlobHeader(uint32_t bytes) {
  std::string header(8, '\0');
  header[0] = 1;
  header[3] = 1;  // $0100
  memcpy(&header[4], &bytes, 4);
  return header;
}

void ExpectSameDib(TBitmap* a, TBitmap* b) {
  const TDibData da = a->SaveToDib(), db = b->SaveToDib();
  EXPECT_EQ(da.Width(), db.Width());
  EXPECT_EQ(da.Height(), db.Height());
  EXPECT_EQ(da.BitCount(), db.BitCount());
  EXPECT_EQ(da.Colors.size(), db.Colors.size());
  EXPECT_TRUE(da.Pixels == db.Pixels) << "pixel bytes differ";
}

TEST(PictureValues, BitmapsSurviveSavingAndLoadingPixelForPixel) {
  for (TPixelFormat format : {pf1bit, pf4bit, pf8bit, pf16bit, pf24bit, pf32bit}) {
    TBitmap bitmap;
    PaintPattern(bitmap, 13, 7, format);
    const std::string value = ValueOf(&bitmap);
    for (TGraphicClass cls : {TGraphicClass(nullptr), TBitmap::StaticClass()}) {
      TPicture loaded;
      LoadPictureFromValue(&loaded, cls, value);
      ASSERT_TRUE(loaded.GetGraphic() && loaded.GetGraphic()->Is<TBitmap>()) << format;
      EXPECT_EQ(static_cast<TBitmap*>(loaded.GetGraphic())->GetPixelFormat(), format);
      ExpectSameDib(&bitmap, static_cast<TBitmap*>(loaded.GetGraphic()));
    }
    // Behind a consistent blob header, from the ninth byte on.
    TPicture headed;
    LoadPictureFromValue(&headed, nullptr, BlobHeader(uint32_t(value.size())) + value);
    ExpectSameDib(&bitmap, headed.GetBitmap());
  }
}

TEST(PictureValues, IconsSurviveSavingAndLoadingPixelForPixel) {
  const std::vector<uint8_t> bytes =
      IconFileBytes(16, 16, [](int x, int y) { return RGB(x * 16, y * 16, (x ^ y) * 16); });
  TPicture source;
  LoadPictureFromValue(&source, TIcon::StaticClass(), std::string(bytes.begin(), bytes.end()));
  const std::string value = ValueOf(source.GetGraphic());
  EXPECT_EQ(value, std::string(bytes.begin(), bytes.end()));
  TPicture loaded;
  LoadPictureFromValue(&loaded, TIcon::StaticClass(), value);
  ASSERT_TRUE(loaded.GetGraphic()->Is<TIcon>());
  TDibSurface a(16, 16), b(16, 16);
  TCanvas canvas;
  canvas.SetHandle(a.DC());
  canvas.Draw(0, 0, source.GetGraphic());
  canvas.SetHandle(b.DC());
  canvas.Draw(0, 0, loaded.GetGraphic());
  canvas.SetHandle(nullptr);
  for (int y = 0; y < 16; ++y)
    for (int x = 0; x < 16; ++x)
      ASSERT_EQ(a.Color(x, y), b.Color(x, y)) << x << "," << y;
  EXPECT_EQ(b.Color(3, 5), RGB(48, 80, 6 * 16));
}

TEST(PictureValues, ShortForeignAndEmptyValuesGiveAnEmptyPicture) {
  TBitmap bitmap;
  PaintPattern(bitmap, 2, 2, pf24bit);
  const std::string value = ValueOf(&bitmap);
  TPicture picture;
  auto reload = [&](const Variant& v) {
    LoadPictureFromValue(&picture, nullptr, value);
    EXPECT_FALSE(IsPictureEmpty(&picture));
    LoadPictureFromValue(&picture, nullptr, v);
    return IsPictureEmpty(&picture);
  };
  EXPECT_TRUE(reload(value.substr(0, 7))) << "fewer than 8 bytes";
  EXPECT_TRUE(reload(std::string()));
  EXPECT_TRUE(reload(Variant::Null()));
  EXPECT_TRUE(reload(Variant(int32_t(42))));
  EXPECT_TRUE(reload(BlobHeader(0))) << "a header with nothing after it";

  std::string saved = "stale";
  SavePictureToString(nullptr, saved);
  EXPECT_EQ(saved, "");
  TPicture empty;
  SavePictureToString(&empty, saved);
  EXPECT_EQ(saved, "");
  EXPECT_TRUE(IsPictureEmpty(nullptr));
  empty.GetBitmap();  // a graphic without pixels
  EXPECT_TRUE(IsPictureEmpty(&empty));
}

TEST(PictureValues, TheHeaderIsSkippedOnlyWhenConsistent) {
  TBitmap bitmap;
  PaintPattern(bitmap, 3, 3, pf24bit);
  const std::string value = ValueOf(&bitmap);
  const uint32_t size = uint32_t(value.size());
  TPicture picture;
  // Each damaged header makes the whole value the graphic, which then is no bitmap.
  std::string wrongSize = BlobHeader(size + 1) + value;
  std::string wrongFirst = BlobHeader(size) + value;
  wrongFirst[0] = 2;
  std::string wrongSecond = BlobHeader(size) + value;
  wrongSecond[3] = 2;
  for (const std::string& damaged : {wrongSize, wrongFirst, wrongSecond}) {
    LoadPictureFromValue(&picture, nullptr, value);
    try {
      LoadPictureFromValue(&picture, nullptr, damaged);
      ADD_FAILURE() << "the header was skipped";
    } catch (const EInvalidGraphic& e) {
      EXPECT_STREQ(e.what(), "Bitmap image is not valid: the file does not begin with \"BM\"");
    }
    EXPECT_TRUE(IsPictureEmpty(&picture)) << "no picture of another value stays";
  }
  // The painting road shows such a value as no picture, without raising.
  LoadPictureFromValue(&picture, nullptr, value);
  EXPECT_FALSE(LoadPictureForPainting(&picture, nullptr, wrongSize));
  EXPECT_TRUE(IsPictureEmpty(&picture));
  EXPECT_TRUE(LoadPictureForPainting(&picture, nullptr, value));
}

// ---- Hostile bytes ------------------------------------------------------------------

// 2,000 byte strings: every truncation of three valid values, the rest random bytes
// and valid values with bytes changed, some behind a blob header.
std::vector<std::string> HostileValues() {
  TBitmap small, paletted;
  PaintPattern(small, 5, 3, pf24bit);
  PaintPattern(paletted, 4, 2, pf4bit);
  const std::vector<uint8_t> ico = IconFileBytes(8, 8, [](int x, int y) { return RGB(x, y, 7); });
  const std::vector<std::string> seeds = {ValueOf(&small), ValueOf(&paletted), std::string(ico.begin(), ico.end())};
  std::vector<std::string> values;
  for (const std::string& seed : seeds)
    for (size_t length = 0; length < seed.size(); ++length)
      values.push_back(seed.substr(0, length));
  std::mt19937 random(20240611);
  auto byte = [&] { return char(random() & 0xFF); };
  while (values.size() < 1000) {
    std::string noise(random() % 700, '\0');
    for (char& c : noise)
      c = byte();
    values.push_back(noise);
  }
  while (values.size() < 2000) {
    std::string mutated = seeds[random() % seeds.size()];
    for (int changes = 1 + int(random() % 4); changes > 0; --changes)
      mutated[random() % mutated.size()] = byte();
    if (random() % 4 == 0)
      mutated = BlobHeader(uint32_t(mutated.size())) + mutated;
    values.push_back(mutated);
  }
  return values;
}

TEST(PictureValues, HostileBytesRaiseOnlyEInvalidGraphicAndNeverReadPastTheValue) {
  const std::vector<std::string> values = HostileValues();
  ASSERT_EQ(values.size(), 2000u);
  int loaded = 0, refused = 0;
  {
    const TGuardedHeap guarded;
    for (size_t i = 0; i < values.size(); ++i) {
      for (TGraphicClass cls : {TGraphicClass(nullptr), TBitmap::StaticClass(), TIcon::StaticClass()}) {
        TPicture picture;
        try {
          LoadPictureFromValue(&picture, cls, values[i]);
          ++loaded;
        } catch (const EInvalidGraphic&) {
          ++refused;
          if (!IsPictureEmpty(&picture))
            ADD_FAILURE() << "value " << i << " left a picture behind";
        } catch (const std::exception& e) {
          ADD_FAILURE() << "value " << i << " raised " << e.what();
        }
      }
    }
  }
  EXPECT_EQ(loaded + refused, 6000);
  EXPECT_GT(loaded, 0);
  EXPECT_GT(refused, 0);
}

}  // namespace
