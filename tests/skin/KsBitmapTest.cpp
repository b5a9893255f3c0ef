// TKsBitmap's pixel operations, checked pixel by pixel on the bitmap's own memory
// against values worked out from the drawing rules.
#include "skin/KsBitmap.h"

#include <gtest/gtest.h>

#include "tests/skin/SkinTestSupport.h"
#include "tests/support/TestSupport.h"

namespace {

class CountChanges {
 public:
  void Changed(TObject* sender) {
    ++Count;
    Sender = sender;
  }
  int Count = 0;
  TObject* Sender = nullptr;
};

TEST(KsBitmapSize, SetSizeTakesAbsoluteValuesAndTopDownRows) {
  TKsBitmap bitmap;
  CountChanges changes;
  bitmap.OnChange = TNotifyEvent::Bind<&CountChanges::Changed>(&changes);
  EXPECT_TRUE(bitmap.Empty());
  bitmap.SetSize(-20, -10);
  ASSERT_FALSE(bitmap.Empty());
  EXPECT_EQ(bitmap.GetWidth(), 20);
  EXPECT_EQ(bitmap.GetHeight(), 10);
  EXPECT_EQ(changes.Count, 1);
  EXPECT_EQ(changes.Sender, &bitmap);
  const BITMAPINFOHEADER& header = bitmap.GetBitmapInfo().bmiHeader;
  EXPECT_EQ(header.biSize, 40u);
  EXPECT_EQ(header.biWidth, 20);
  EXPECT_EQ(header.biHeight, -10);
  EXPECT_EQ(header.biBitCount, 32);
  // GDI's top line is row 0 of the pixel memory.
  bitmap.Fill(kBack);
  RECT top{0, 0, 20, 1};
  FillRect(bitmap.GetDC(), &top, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
  GdiFlush();
  EXPECT_EQ(bitmap.GetBits()[5], 0x00FFFFFFu);
  EXPECT_EQ(bitmap.GetBits()[20 + 5], kBack);
}

TEST(KsBitmapSize, ZeroOrUnchangedSizeKeepsTheBuffer) {
  TKsBitmap bitmap;
  CountChanges changes;
  bitmap.OnChange = TNotifyEvent::Bind<&CountChanges::Changed>(&changes);
  bitmap.SetSize(0, 10);
  EXPECT_TRUE(bitmap.Empty());
  bitmap.SetSize(20, 10);
  HBITMAP handle = bitmap.GetHandle();
  bitmap.SetSize(0, 10);
  bitmap.SetSize(7, 0);
  bitmap.SetSize(-20, 10);
  EXPECT_EQ(bitmap.GetHandle(), handle);
  EXPECT_EQ(bitmap.GetWidth(), 20);
  EXPECT_EQ(bitmap.GetHeight(), 10);
  EXPECT_EQ(changes.Count, 1);
  bitmap.SetSize(21, 10);
  EXPECT_EQ(changes.Count, 2);
  EXPECT_EQ(bitmap.GetWidth(), 21);
}

TEST(KsBitmapSize, RefusedDibRaisesAndLeavesTheBitmapEmpty) {
  TKsBitmap bitmap;
  bitmap.SetSize(4, 4);
  try {
    bitmap.SetSize(60000, 60000);
    FAIL() << "a 14 GB DIB was created";
  } catch (const Exception& e) {
    EXPECT_EQ(e.Message(), "Can't allocate the DIB handle");
  }
  EXPECT_TRUE(bitmap.Empty());
  EXPECT_EQ(bitmap.GetDC(), nullptr);
  EXPECT_EQ(bitmap.GetBits(), nullptr);
  EXPECT_EQ(bitmap.GetWidth(), 0);
}

TEST(KsBitmapBuffer, DescriptorRoundTripsAndAdoptedBufferIsNotFreed) {
  TKsBitmap owner;
  owner.SetSize(8, 3);
  TKsBufferDesc desc;
  owner.SaveBufferDesc(desc);
  EXPECT_EQ(desc.BitmapInfo[0], 40u);
  EXPECT_EQ(desc.BitmapInfo[1], 8u);
  EXPECT_EQ(static_cast<int32_t>(desc.BitmapInfo[2]), -3);
  EXPECT_EQ(desc.BitmapInfo[3], 1u | 32u << 16);
  EXPECT_EQ(desc.BitmapInfo[10], 0u);
  EXPECT_EQ(desc.Handle, reinterpret_cast<uintptr_t>(owner.GetHandle()));
  EXPECT_EQ(desc.DC, reinterpret_cast<uintptr_t>(owner.GetDC()));
  EXPECT_EQ(desc.Bits, reinterpret_cast<uintptr_t>(owner.GetBits()));
  EXPECT_EQ(desc.Height, 3u);
  EXPECT_EQ(desc.Width, 8u);
  {
    TKsBitmap guest;
    CountChanges changes;
    guest.OnChange = TNotifyEvent::Bind<&CountChanges::Changed>(&changes);
    guest.SetSize(2, 2);
    guest.AdoptBuffer(desc);
    EXPECT_EQ(changes.Count, 1);  // adoption fires nothing
    EXPECT_TRUE(guest.GetBufferNotOwned());
    EXPECT_EQ(guest.GetDC(), owner.GetDC());
    EXPECT_EQ(guest.GetBits(), owner.GetBits());
    EXPECT_EQ(guest.GetBitmapInfo().bmiHeader.biHeight, -3);
    guest.Fill(kRed);
  }
  // The guest is gone; the owner's DC and DIB still work.
  EXPECT_EQ(GetObjectType(owner.GetDC()), static_cast<DWORD>(OBJ_MEMDC));
  EXPECT_EQ(GetCurrentObject(owner.GetDC(), OBJ_BITMAP), owner.GetHandle());
  EXPECT_EQ(owner.GetPixel(7, 2), kRed);
}

TEST(KsBitmapPixels, OutOfRangeReadsBlackAndWritesNothing) {
  TKsBitmap bitmap;
  EXPECT_EQ(bitmap.GetPixel(0, 0), KsColorBlack);
  bitmap.SetPixel(0, 0, kRed);  // empty: nothing
  Prepare(bitmap, 3, 2, kBack);
  bitmap.SetPixel(3, 0, kRed);
  bitmap.SetPixel(0, 2, kRed);
  bitmap.SetPixel(-1, 0, kRed);
  ExpectPixels(bitmap, [](int, int) { return kBack; });
  EXPECT_EQ(bitmap.GetPixel(-1, 0), KsColorBlack);
  EXPECT_EQ(bitmap.GetPixel(0, 2), KsColorBlack);
  bitmap.SetPixel(2, 1, kRed);
  EXPECT_EQ(bitmap.GetPixel(2, 1), kRed);
}

TEST(KsBitmapPixels, AlphaOperations) {
  TKsBitmap bitmap;
  Prepare(bitmap, 1, 1, kBack);
  bitmap.SetAlpha(0);
  EXPECT_EQ(bitmap.GetPixel(0, 0), kBack & 0x00FFFFFFu);
  Prepare(bitmap, 4, 3, kBack);
  bitmap.SetAlphaRect(RECT{2, -5, 9, 2}, 0x40);
  bitmap.SetAlphaRect(RECT{0, 0, 0, 3}, 0);  // no width
  ExpectPixels(bitmap, [](int x, int y) {
    return x >= 2 && y < 2 ? (kBack & 0x00FFFFFFu) | 0x40000000u : kBack;
  });
}

TEST(KsBitmapPixels, MakeTransparentMatchesRgbOnly) {
  TKsBitmap bitmap;
  Prepare(bitmap, 3, 1, kBack);
  bitmap.SetPixel(0, 0, Argb(255, 255, 0, 255));
  bitmap.SetPixel(1, 0, Argb(0, 255, 0, 255));
  bitmap.SetPixel(2, 0, Argb(255, 255, 0, 254));
  bitmap.MakeTransparent(Argb(17, 255, 0, 255));
  EXPECT_EQ(bitmap.GetPixel(0, 0), KsColorTransparent);
  EXPECT_EQ(bitmap.GetPixel(1, 0), KsColorTransparent);
  EXPECT_EQ(bitmap.GetPixel(2, 0), Argb(255, 255, 0, 254));
}

TEST(KsBitmapPixels, HueAndBrightnessSkipTransparentPixels) {
  TKsBitmap bitmap;
  Prepare(bitmap, 3, 1, kBack);
  bitmap.SetPixel(0, 0, Argb(0, 255, 0, 0));
  bitmap.SetPixel(1, 0, Argb(10, 255, 0, 0));
  bitmap.SetPixel(2, 0, Argb(255, 200, 50, 50));
  bitmap.ChangeHue(85);
  EXPECT_EQ(bitmap.GetPixel(0, 0), Argb(0, 255, 0, 0));
  EXPECT_EQ(bitmap.GetPixel(1, 0), KsColorChangeHue(Argb(10, 255, 0, 0), 85));
  EXPECT_EQ(bitmap.GetPixel(1, 0), Argb(255, 0, 255, 0));
  EXPECT_EQ(bitmap.GetPixel(2, 0), KsColorChangeHue(Argb(255, 200, 50, 50), 85));
  bitmap.ChangeBrightness(-60);
  EXPECT_EQ(bitmap.GetPixel(0, 0), Argb(0, 255, 0, 0));
  EXPECT_EQ(bitmap.GetPixel(1, 0), Argb(255, 0, 195, 0));
}

TEST(KsBitmapFill, FillRectClipsStoresOrBlends) {
  TKsBitmap bitmap;
  Prepare(bitmap, 5, 4, KsColorBlack);
  bitmap.FillRect(RECT{-2, 3, 2, 9}, kRed);
  bitmap.FillRect(RECT{4, 0, 4, 4}, kRed);  // no width
  bitmap.SetAlphaBlend(true);
  bitmap.FillRect(RECT{3, 0, 5, 2}, Argb(128, 255, 0, 0));
  bitmap.SetAlphaBlend(false);
  ExpectPixels(bitmap, [](int x, int y) {
    if (x < 2 && y == 3)
      return kRed;
    if (x >= 3 && y < 2)
      return Argb(191, 128, 0, 0);  // half red over opaque black
    return KsColorBlack;
  });
}

TEST(KsBitmapFill, DitherPutsColor2WhereXAndYHaveTheSameParity) {
  TKsBitmap bitmap;
  Prepare(bitmap, 7, 6, kBack);
  bitmap.SetAlphaBlend(true);
  TKsColor halfRed = Argb(128, 255, 0, 0);
  TKsColor halfBlue = Argb(128, 0, 0, 255);
  bitmap.FillDitherRect(RECT{1, 2, 6, 5}, halfRed, halfBlue);
  ExpectPixels(bitmap, [&](int x, int y) {
    if (x < 1 || x >= 6 || y < 2 || y >= 5)
      return kBack;
    // Color1 blends (AlphaBlend is on); Color2 is stored as it is.
    return (x + y) % 2 == 0 ? halfBlue : KsAlphaBlendPixel(halfRed, kBack);
  });
}

TEST(KsBitmapFrame, Draw3DFrameCoverage) {
  TKsBitmap bitmap;
  Prepare(bitmap, 9, 8, kBack);
  bitmap.Draw3DFrame(RECT{1, 2, 7, 7}, kRed, kBlue);
  ExpectPixels(bitmap, [](int x, int y) {
    if (y == 6 && x >= 1 && x <= 6)
      return kBlue;  // bottom row Left..Right-1
    if (x == 6 && y >= 2 && y <= 5)
      return kBlue;  // right column Top..Bottom-2
    if (y == 2 && x >= 1 && x <= 5)
      return kRed;  // top row Left..Right-2
    if (x == 1 && y >= 2 && y <= 5)
      return kRed;  // left column Top..Bottom-2
    return kBack;
  });
}

TEST(KsBitmapFrame, FrameIsClippedToTheBitmapAndBlended) {
  TKsBitmap bitmap;
  Prepare(bitmap, 4, 3, KsColorBlack);
  TKsColor halfRed = Argb(128, 255, 0, 0);
  bitmap.FrameRect(RECT{-3, -3, 10, 10}, halfRed);
  TKsColor blended = KsAlphaBlendPixel(halfRed, KsColorBlack);
  EXPECT_EQ(blended, Argb(191, 128, 0, 0));
  EXPECT_EQ(bitmap.GetPixel(1, 0), blended);
  EXPECT_EQ(bitmap.GetPixel(3, 1), blended);
  EXPECT_EQ(bitmap.GetPixel(2, 2), blended);
  EXPECT_EQ(bitmap.GetPixel(1, 1), KsColorBlack);
}

TEST(KsBitmapFrame, BevelRingsStepBy17) {
  TKsBitmap bitmap;
  TKsColor face = Argb(255, 100, 100, 100);
  Prepare(bitmap, 8, 8, face);
  bitmap.Draw3DBevel(RECT{0, 0, 8, 8}, face, /*sunken=*/false, 2);
  // Ring 0 steps by 34, ring 1 by 17; raised: light top-left, dark bottom-right.
  EXPECT_EQ(bitmap.GetPixel(3, 0), Argb(255, 134, 134, 134));
  EXPECT_EQ(bitmap.GetPixel(3, 7), Argb(255, 66, 66, 66));
  EXPECT_EQ(bitmap.GetPixel(1, 3), Argb(255, 117, 117, 117));
  EXPECT_EQ(bitmap.GetPixel(6, 3), Argb(255, 83, 83, 83));
  EXPECT_EQ(bitmap.GetPixel(3, 3), face);
  Prepare(bitmap, 4, 4, face);
  bitmap.Draw3DBevel(RECT{0, 0, 4, 4}, face, /*sunken=*/true, 1);
  EXPECT_EQ(bitmap.GetPixel(1, 0), Argb(255, 65, 65, 65));
  EXPECT_EQ(bitmap.GetPixel(1, 3), Argb(255, 135, 135, 135));
  bitmap.Draw3DBevel(RECT{0, 0, 4, 4}, kRed, true, 0);
  EXPECT_EQ(bitmap.GetPixel(1, 0), Argb(255, 65, 65, 65));
}

TEST(KsBitmapGradient, TenPixelsMakeTenBandsWithHalvesToEven) {
  TKsBitmap bitmap;
  Prepare(bitmap, 12, 2, kBack);
  // Red steps by 25.5: the halves go to the even neighbour.
  bitmap.FillGradient(RECT{1, 0, 11, 2}, Argb(255, 0, 100, 0), false, Argb(155, 255, 0, 0));
  const int red[10] = {0, 26, 51, 76, 102, 128, 153, 178, 204, 230};
  const int green[10] = {100, 90, 80, 70, 60, 50, 40, 30, 20, 10};
  const int alpha[10] = {255, 245, 235, 225, 215, 205, 195, 185, 175, 165};
  ExpectPixels(bitmap, [&](int x, int) {
    if (x < 1 || x >= 11)
      return kBack;
    int i = x - 1;
    return Argb(alpha[i], red[i], green[i], 0);
  });
}

TEST(KsBitmapGradient, WideGradientHas255BandsAtMulDivEdges) {
  TKsBitmap bitmap;
  Prepare(bitmap, 300, 1, kBack);
  bitmap.FillGradient(RECT{0, 0, 300, 1}, Argb(255, 0, 0, 0), false, Argb(255, 255, 0, 0));
  // Band i has red i and runs from MulDiv(i, 300, 255) to MulDiv(i + 1, 300, 255).
  const int expected[][2] = {{0, 0}, {1, 1}, {2, 2}, {3, 2}, {4, 3}, {5, 4},
                             {297, 252}, {298, 253}, {299, 254}};
  for (const auto& [x, band] : expected)
    EXPECT_EQ(bitmap.GetPixel(x, 0), Argb(255, band, 0, 0)) << "x " << x;
}

TEST(KsBitmapGradient, VerticalGradientIsClippedFirst) {
  TKsBitmap bitmap;
  Prepare(bitmap, 2, 4, kBack);
  // Clipped to rows 0..3 first: four bands over the visible rows.
  bitmap.FillGradient(RECT{0, -4, 1, 8}, Argb(255, 0, 0, 0), true, Argb(255, 0, 0, 200));
  ExpectPixels(bitmap, [](int x, int y) { return x == 0 ? Argb(255, 0, 0, 50 * y) : kBack; });
}

TEST(KsBitmapDraw, DrawRectWithAlphaComposesAndClipsToTheDestination) {
  TKsBitmap src, dest;
  Prepare(src, 3, 2, kRed);
  src.SetPixel(0, 0, Argb(0, 9, 9, 9));
  src.SetPixel(1, 0, Argb(128, 255, 0, 0));
  Prepare(dest, 4, 3, KsColorBlack);
  src.SetAlphaBlend(true);
  src.DrawRect(dest, 2, 1, RECT{-1, 0, 3, 5});  // clipped to (0, 0, 3, 2)
  ExpectPixels(dest, [](int x, int y) {
    if (x == 2 && y == 1)
      return KsColorBlack;  // transparent source
    if (x == 3 && y == 1)
      return Argb(191, 128, 0, 0);
    if (x >= 2 && y == 2)
      return kRed;
    return KsColorBlack;
  });
}

TEST(KsBitmapDraw, PlainDrawRectBlitsAllFourBytes) {
  TKsBitmap src, dest;
  PrepareCoded(src, 4, 4);
  src.SetPixel(1, 1, Argb(77, 1, 2, 3));
  Prepare(dest, 4, 4, kBack);
  src.DrawRect(dest, 1, 2, RECT{0, 0, 2, 2});
  GdiFlush();
  ExpectPixels(dest, [](int x, int y) {
    if (x == 2 && y == 3)
      return Argb(77, 1, 2, 3);
    if (x >= 1 && x < 3 && y >= 2)
      return Coded(x - 1, y - 2);
    return kBack;
  });
}

TEST(KsBitmapStretch, NearestNeighbourIn16Dot16) {
  TKsBitmap src, dest;
  PrepareCoded(src, 4, 1);
  Prepare(dest, 10, 1, kBack);
  src.SetAlphaBlend(true);
  src.StretchDraw(dest, RECT{0, 0, 10, 1}, RECT{0, 0, 4, 1});
  // Step (4 << 16) / 10 = 26214: column 5 reads 131070 >> 16 = 1, not 2.
  const int column[10] = {0, 0, 0, 1, 1, 1, 2, 2, 3, 3};
  ExpectPixels(dest, [&](int x, int) { return Coded(column[x], 0); });
}

TEST(KsBitmapStretch, ClippedStartFractionScalesBy65535) {
  TKsBitmap src, dest;
  PrepareCoded(src, 2, 2);
  Prepare(dest, 3, 3, kBack);
  src.SetAlphaBlend(true);
  // Destination (-2, -2, 2, 2), 2x: the clipped part starts at offset 2, whose start
  // fraction is MulDiv(2 * 2, 65535, 4) = 65535, so the first visible column and row
  // still read source 0 (with 65536 they would read 1).
  src.StretchDraw(dest, RECT{-2, -2, 2, 2}, RECT{0, 0, 2, 2});
  ExpectPixels(dest, [](int x, int y) { return x < 2 && y < 2 ? Coded(x, y) : kBack; });
}

TEST(KsBitmapStretch, EqualSizesDrawOneToOneAndEmptyRectsDrawNothing) {
  TKsBitmap src, dest;
  PrepareCoded(src, 3, 3);
  Prepare(dest, 3, 3, kBack);
  src.SetAlphaBlend(true);
  src.StretchDraw(dest, RECT{1, 1, 3, 3}, RECT{1, 0, 3, 2});
  src.StretchDraw(dest, RECT{0, 0, 0, 3}, RECT{0, 0, 3, 3});
  src.StretchDraw(dest, RECT{0, 0, 3, 3}, RECT{5, 5, 9, 9});
  ExpectPixels(dest, [](int x, int y) { return x >= 1 && y >= 1 ? Coded(x, y - 1) : kBack; });
}

TEST(KsBitmapTile, SixteenSquareTilesIntoFortyByTwenty) {
  TKsBitmap src, dest;
  PrepareCoded(src, 20, 20);
  Prepare(dest, 44, 24, kBack);
  src.SetAlphaBlend(true);
  // Tiles at x 2, 18, 34 (the last 8 wide) and y 1, 17 (the second 4 high), each
  // from the top-left of the source rectangle (3, 2, 19, 18).
  src.TileDraw(dest, RECT{2, 1, 42, 21}, RECT{3, 2, 19, 18});
  ExpectPixels(dest, [](int x, int y) {
    if (x < 2 || x >= 42 || y < 1 || y >= 21)
      return kBack;
    return Coded(3 + (x - 2) % 16, 2 + (y - 1) % 16);
  });
}

TEST(KsBitmapTile, StretchOrTileDrawsNothingFromAnEmptySource) {
  TKsBitmap src, dest;
  PrepareCoded(src, 4, 4);
  Prepare(dest, 4, 4, kBack);
  src.SetAlphaBlend(true);
  src.StretchOrTileDraw(dest, RECT{1, 1, 1, 4}, true, RECT{0, 0, 4, 4});
  src.StretchOrTileDraw(dest, RECT{1, 1, 4, 1}, false, RECT{0, 0, 4, 4});
  ExpectPixels(dest, [](int, int) { return kBack; });
  src.StretchOrTileDraw(dest, RECT{0, 0, 2, 2}, false, RECT{0, 0, 3, 4});
  ExpectPixels(dest, [](int x, int y) { return x < 3 ? Coded(x % 2, y % 2) : kBack; });
}

TEST(KsBitmapMargins, ZeroMarginsEqualOneStretch) {
  TKsBitmap src, margins, stretched;
  PrepareCoded(src, 5, 7);
  Prepare(margins, 13, 11, kBack);
  Prepare(stretched, 13, 11, kBack);
  src.SetAlphaBlend(true);
  src.DrawMargins(margins, RECT{1, -2, 12, 10}, true, 0, 0, 0, 0, RECT{1, 1, 5, 6});
  src.StretchDraw(stretched, RECT{1, -2, 12, 10}, RECT{1, 1, 5, 6});
  ExpectPixels(margins, [&](int x, int y) { return stretched.GetPixel(x, y); });
  EXPECT_NE(margins.GetPixel(1, 0), kBack);
}

TEST(KsBitmapMargins, NinePartsKeepCornersAndStretchEdges) {
  TKsBitmap src, dest;
  PrepareCoded(src, 6, 6);
  Prepare(dest, 10, 10, kBack);
  src.SetAlphaBlend(true);
  src.DrawMargins(dest, RECT{0, 0, 10, 10}, true, 2, 2, 2, 2, RECT{0, 0, 6, 6});
  // Middle source 2 pixels stretch to 6: step 21845 gives 0, 0, 0, 0, 1, 1.
  const int middle[6] = {2, 2, 2, 2, 3, 3};
  auto map = [&](int d) { return d < 2 ? d : d >= 8 ? d - 4 : middle[d - 2]; };
  ExpectPixels(dest, [&](int x, int y) { return Coded(map(x), map(y)); });
}

TEST(KsBitmapMargins, TiledCentreRepeatsTheMiddle) {
  TKsBitmap src, dest;
  PrepareCoded(src, 5, 5);
  Prepare(dest, 9, 9, kBack);
  src.SetAlphaBlend(true);
  src.DrawMargins(dest, RECT{0, 0, 9, 9}, false, 1, 1, 1, 1, RECT{0, 0, 5, 5});
  auto map = [](int d) { return d == 0 ? 0 : d == 8 ? 4 : 1 + (d - 1) % 3; };
  ExpectPixels(dest, [&](int x, int y) { return Coded(map(x), map(y)); });
}

TEST(KsBitmapAlphaDraw, TranslucentPixelsAreCompletedFromTheBackground) {
  TKsBitmap own, background;
  Prepare(own, 3, 2, kRed);
  own.SetPixel(0, 0, Argb(0, 9, 9, 9));
  own.SetPixel(1, 0, Argb(128, 255, 0, 0));
  own.SetPixel(2, 0, Argb(0, 9, 9, 9));
  Prepare(background, 5, 5, KsColorBlack);
  background.SetPixel(1, 2, kBlue);
  // Background rectangle (-1, 2, 5, 4) is cut to (0, 2, 5, 4) and X moves on to 1:
  // background (x, y) meets own (1 + x, y - 2).
  own.AlphaDraw(background, 0, 0, RECT{-1, 2, 5, 4});
  ExpectPixels(own, [](int x, int y) {
    if (x == 0 && y == 0)
      return Argb(0, 9, 9, 9);  // left of X: untouched
    if (x == 1 && y == 0)
      return Argb(191, 128, 0, 0);  // half red over black
    if (x == 2 && y == 0)
      return kBlue;  // alpha 0 takes the background
    return kRed;  // opaque pixels stay
  });
}

TEST(KsBitmapGdi, LinesAndShapesLeaveAlphaZero) {
  TKsBitmap bitmap;
  Prepare(bitmap, 10, 10, KsColorWhite);
  bitmap.MoveTo(1, 1);
  bitmap.LineTo(8, 1, kRed);
  EXPECT_EQ(bitmap.GetPenPos().x, 8);
  bitmap.DrawLine(POINT{1, 3}, POINT{1, 8}, kBlue);
  GdiFlush();
  // GDI writes the colour with alpha 0 into a 32-bit DIB, as Windows does.
  EXPECT_EQ(bitmap.GetPixel(4, 1), 0x00FF0000u);
  EXPECT_EQ(bitmap.GetPixel(1, 5), 0x000000FFu);
  EXPECT_EQ(bitmap.GetPixel(8, 1), KsColorWhite);  // the end point is not drawn
  EXPECT_EQ(bitmap.GetPixel(4, 4), KsColorWhite);
  const POINT triangle[] = {{3, 3}, {8, 3}, {8, 8}};
  bitmap.FillPolygon(triangle, kBlue);
  GdiFlush();
  EXPECT_EQ(bitmap.GetPixel(7, 4), 0x000000FFu);
  EXPECT_EQ(bitmap.GetPixel(4, 7), KsColorWhite);
  Prepare(bitmap, 10, 10, KsColorWhite);
  bitmap.DrawPolygon(triangle, kRed);
  GdiFlush();
  EXPECT_EQ(bitmap.GetPixel(5, 3), 0x00FF0000u);
  EXPECT_EQ(bitmap.GetPixel(7, 5), KsColorWhite);  // hollow
  Prepare(bitmap, 10, 10, KsColorWhite);
  bitmap.FillRoundRect(RECT{2, 2, 9, 9}, 2, kRed);
  bitmap.RoundRect(RECT{0, 0, 10, 10}, 2, kBlue);
  GdiFlush();
  EXPECT_EQ(bitmap.GetPixel(5, 5), 0x00FF0000u);
  EXPECT_EQ(bitmap.GetPixel(5, 0), 0x000000FFu);
  EXPECT_EQ(bitmap.GetPixel(1, 5), KsColorWhite);
}

}  // namespace

namespace {

TEST(KsBitmapAssign, AnotherKsBitmapIsCopied) {
  TKsBitmap src, copy;
  PrepareCoded(src, 3, 2);
  src.SetPixel(2, 1, Argb(7, 1, 2, 3));
  copy.Assign(&src);
  EXPECT_EQ(copy.GetWidth(), 3);
  EXPECT_EQ(copy.GetHeight(), 2);
  EXPECT_NE(copy.GetBits(), src.GetBits());
  ExpectPixels(copy, [&](int x, int y) { return src.GetPixel(x, y); });
  TKsBitmap empty;
  copy.Assign(&empty);
  EXPECT_TRUE(copy.Empty());
}

TEST(KsBitmapAssign, UnknownSourceRaisesTheAssignmentError) {
  TKsBitmap bitmap;
  TPersistent other;
  EXPECT_THROW(bitmap.Assign(&other), EConvertError);
}

TEST(KsBitmapDraw, BlitsToADeviceContext) {
  TKsBitmap bitmap;
  PrepareCoded(bitmap, 3, 2);
  TDibSurface surface(6, 4);
  surface.Fill(RGB(9, 9, 9));
  bitmap.Draw(surface.DC(), 1, 1);
  bitmap.DrawRectToDC(surface.DC(), 4, 0, RECT{1, 0, 3, 1});
  EXPECT_EQ(surface.Pixel(1, 1), Coded(0, 0));
  EXPECT_EQ(surface.Pixel(3, 2), Coded(2, 1));
  EXPECT_EQ(surface.Pixel(4, 0), Coded(1, 0));
  EXPECT_EQ(surface.Pixel(5, 0), Coded(2, 0));
  EXPECT_EQ(surface.Color(0, 0), RGB(9, 9, 9));
  EXPECT_EQ(surface.Color(4, 1), RGB(9, 9, 9));
  TKsBitmap dest;
  Prepare(dest, 4, 4, kBack);
  bitmap.DrawTo(dest, 1, 2);
  GdiFlush();
  ExpectPixels(dest, [](int x, int y) { return x >= 1 && y >= 2 ? Coded(x - 1, y - 2) : kBack; });
}

}  // namespace
