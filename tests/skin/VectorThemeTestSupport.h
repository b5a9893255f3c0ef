// Helpers of the vector-theme tests: the colour adjustment rule, pixel comparison by
// R, G and B (GDI leaves the alpha byte of what it draws at 0, the pixel operations
// store 255), and the ring that Draw3DFrame paints.
#pragma once

#include "skin/KsBitmap.h"
#include "skin/TeThemeHighlight.h"
#include "tests/skin/SkinTestSupport.h"

constexpr TKsColor RGBOf(TKsColor c) { return c & 0xFFFFFF; }

inline void ExpectRgb(const TKsBitmap& bitmap, const std::function<TKsColor(int, int)>& expected) {
  ExpectPixels(bitmap, [&](int x, int y) {
    TKsColor want = RGBOf(expected(x, y)), got = bitmap.GetPixel(x, y);
    return RGBOf(got) == want ? got : want;
  });
}

// A table colour shifted by hue, then by brightness.
inline TColor Adjusted(TColor color, int hue, int brightness) {
  TKsColor shifted = KsColorChangeHue(ColorToKsColor(color, 255), hue);
  return ColorToKsColorOpaque(
      KsColorChangeBrightness(ColorToKsColor(ColorToKsColorOpaque(shifted), 255), brightness));
}

inline bool Inside(const TRect& r, int x, int y) {
  return x >= r.left && x < r.right && y >= r.top && y < r.bottom;
}

// The ring Draw3DFrame paints: top row and left column (without their last pixel) in
// `topLeft`, bottom row and right column in `bottomRight`; 0 off the ring.
inline TKsColor FramePixel(const TRect& r, int x, int y, TKsColor topLeft, TKsColor bottomRight) {
  if (!Inside(r, x, y))
    return 0;
  if (y == r.bottom - 1 || (x == r.right - 1 && y <= r.bottom - 2))
    return bottomRight;
  if ((y == r.top && x <= r.right - 2) || (x == r.left && y <= r.bottom - 2))
    return topLeft;
  return 0;
}

// A theme, a 120 x 60 destination in the background colour, and its pixels by R, G, B.
template <class TTheme>
class TVectorThemeTest : public ::testing::Test {
 protected:
  TTheme Theme;
  TKsBitmap Dest;
  void SetUp() override { Prepare(Dest, 120, 60, kBack); }
  TKsColor Color(uint8_t kind) { return RGBOf(ColorToKsColor(Theme.GetColor(kind), 255)); }
  TKsColor Px(int x, int y) {
    GdiFlush();
    return RGBOf(Dest.GetPixel(x, y));
  }
};
