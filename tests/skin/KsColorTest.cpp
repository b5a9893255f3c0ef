// Colour arithmetic, the alpha blend and the raw pixel runs, against values worked by
// the rules: halves round to even, hue wraps by 255, arithmetic in single precision
// (inputs keep clear of rounding ties).
#include "skin/KsColor.h"

#include <gtest/gtest.h>

#include "tests/skin/SkinTestSupport.h"

namespace {

TEST(KsColor, SharedValuesAreLaidOutAsARGB) {
  EXPECT_EQ(KsColorBlack, 0xFF000000u);
  EXPECT_EQ(KsColorSilver, 0xFFEDEDEEu);
  EXPECT_EQ(KsColorNavy, 0xFF003399u);
  EXPECT_EQ(KsColorTransparent, 0x007F007Fu);
  TKsColor pixel = KsColorOrange;
  auto* bytes = reinterpret_cast<const uint8_t*>(&pixel);
  EXPECT_EQ(bytes[0], 81);   // B
  EXPECT_EQ(bytes[1], 199);  // G
  EXPECT_EQ(bytes[2], 248);  // R
  EXPECT_EQ(bytes[3], 255);  // A
}

TEST(KsColor, BlendComposesEachChannelWithRoundedHalves) {
  TKsColor src = Argb(77, 10, 20, 30);
  TKsColor dst = Argb(200, 100, 150, 250);
  EXPECT_EQ(KsAlphaBlendPixel(Argb(255, 1, 2, 3), dst), Argb(255, 1, 2, 3));
  EXPECT_EQ(KsAlphaBlendPixel(Argb(0, 1, 2, 3), dst), dst);
  // Half-red over opaque black: R (255*128+128)/256, A 64 + 127.
  EXPECT_EQ(KsAlphaBlendPixel(Argb(128, 255, 0, 0), Argb(255, 0, 0, 0)), Argb(191, 128, 0, 0));
  auto lane = [](int s, int d, int a) { return (s * a + 128) / 256 + (d * (255 - a) + 128) / 256; };
  EXPECT_EQ(KsAlphaBlendPixel(src, dst),
            Argb(lane(77, 200, 77), lane(10, 100, 77), lane(20, 150, 77), lane(30, 250, 77)));
}

TEST(KsColor, RgbaClampsColourChannelsOnly) {
  EXPECT_EQ(KsColorRGBA(-5, 300, 128, 7), Argb(7, 0, 255, 128));
  EXPECT_EQ(KsColorLighten(Argb(9, 250, 10, 0), 10), Argb(9, 255, 20, 10));
  EXPECT_EQ(KsColorDarken(Argb(9, 5, 10, 255), 10), Argb(9, 0, 0, 245));
  // Alpha wraps modulo 256 instead of clamping.
  EXPECT_EQ(KsColorAdd(Argb(250, 1, 1, 1), 0, 0, 0, 10), Argb(4, 1, 1, 1));
  EXPECT_EQ(KsColorSub(Argb(5, 1, 1, 1), 0, 0, 0, 10), Argb(251, 1, 1, 1));
}

TEST(KsColor, BrightnessClampsAndMakesOpaque) {
  EXPECT_EQ(KsColorChangeBrightness(Argb(0, 250, 100, 3), 10), Argb(255, 255, 110, 13));
  EXPECT_EQ(KsColorChangeBrightness(Argb(40, 250, 100, 3), -5), Argb(255, 245, 95, 0));
  EXPECT_EQ(KsColorChangeBrightness(Argb(40, 250, 100, 3), 65536), Argb(255, 255, 255, 255));
}

TEST(KsColor, HslOfPrimariesAndGrey) {
  float h, s, l;
  KsRGBToHSL(Argb(255, 0, 255, 0), h, s, l);
  EXPECT_FLOAT_EQ(h, 1.0f / 3.0f);
  EXPECT_FLOAT_EQ(s, 1.0f);
  EXPECT_FLOAT_EQ(l, 0.5f);
  KsRGBToHSL(Argb(255, 64, 64, 64), h, s, l);
  EXPECT_EQ(h, 0.0f);
  EXPECT_EQ(s, 0.0f);
  EXPECT_EQ(KsHSLToColor(h, s, l), Argb(255, 64, 64, 64));
  EXPECT_EQ(KsHSLToColor(0.0f, 1.0f, 0.5f), Argb(255, 255, 0, 0));
  // Hues outside one turn wrap into it.
  EXPECT_EQ(KsHSLToColor(0.125f, 1.0f, 0.5f), Argb(255, 255, 191, 0));
  EXPECT_EQ(KsHSLToColor(1.125f, 1.0f, 0.5f), Argb(255, 255, 191, 0));
  EXPECT_EQ(KsHSLToColor(-0.875f, 1.0f, 0.5f), Argb(255, 255, 191, 0));
}

TEST(KsColor, HueShiftQuantisesToOne255thOfATurn) {
  // Grey keeps grey; hue 0 of a saturated colour moves it by the quantisation.
  EXPECT_EQ(KsColorChangeHue(Argb(0, 128, 128, 128), 0), Argb(255, 128, 128, 128));
  EXPECT_EQ(KsColorChangeHue(Argb(255, 49, 106, 197), 0), Argb(255, 49, 105, 197));
  EXPECT_EQ(KsColorChangeHue(Argb(255, 255, 0, 0), 85), Argb(255, 0, 255, 0));
  EXPECT_EQ(KsColorChangeHue(Argb(255, 200, 50, 50), 10), Argb(255, 200, 85, 50));
  EXPECT_EQ(KsColorChangeHue(Argb(255, 10, 200, 120), -30), Argb(255, 32, 200, 10));
}

TEST(KsColor, HueWrapsBy255) {
  // (255, 0, 28) has hue 250.33/255: 250 + 10 wraps to 5, not 4.
  EXPECT_EQ(KsColorChangeHue(Argb(255, 255, 0, 28), 10), KsHSLToColor(5.0f / 255.0f, 1.0f, 0.5f));
  EXPECT_EQ(KsColorChangeHue(Argb(255, 255, 0, 28), 10), Argb(255, 255, 30, 0));
  // (255, 10, 0) has hue 1.67/255: 2 - 10 wraps to 247.
  EXPECT_EQ(KsColorChangeHue(Argb(255, 255, 10, 0), -10), KsHSLToColor(247.0f / 255.0f, 1.0f, 0.5f));
  EXPECT_EQ(KsColorChangeHue(Argb(255, 255, 10, 0), -10), Argb(255, 255, 0, 48));
}

TEST(KsColor, PixelRunsAndRectangles) {
  TKsColor pixels[4 * 3];
  KsFillPixels(pixels, 12, 0x11223344u);
  KsFillPixels(pixels, 0, 0xFFu);
  KsFillPixels(pixels, -3, 0xFFu);
  EXPECT_EQ(pixels[0], 0x11223344u);
  // Inclusive rectangle (1,0)-(2,1) in a stride of 4.
  KsFillPixelRect(pixels, 4, 1, 0, 2, 1, 0xAAu);
  KsSetAlphaRect(pixels, 4, 2, 1, 3, 2, 0x80);
  KsSetAlphaRun(pixels, 1, 0);
  const TKsColor expected[12] = {0x00223344u, 0xAAu,       0xAAu,       0x11223344u,
                                 0x11223344u, 0xAAu,       0x800000AAu, 0x80223344u,
                                 0x11223344u, 0x11223344u, 0x80223344u, 0x80223344u};
  for (int i = 0; i < 12; ++i)
    EXPECT_EQ(pixels[i], expected[i]) << "pixel " << i;
  KsFillPixelRect(pixels, 4, 2, 0, 1, 2, 0);  // empty: right before left
  EXPECT_EQ(pixels[1], 0xAAu);
}

}  // namespace
