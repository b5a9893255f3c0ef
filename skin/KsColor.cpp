#include "skin/KsColor.h"

#include <algorithm>

#include "skin/KsHSL.h"

TKsColor KsColorBlack = KsColorARGB(255, 0, 0, 0);
TKsColor KsColorGray = KsColorARGB(255, 127, 127, 127);
TKsColor KsColorWhite = KsColorARGB(255, 255, 255, 255);
TKsColor KsColorRed = KsColorARGB(255, 255, 0, 0);
TKsColor KsColorSilver = KsColorARGB(255, 237, 237, 238);
TKsColor KsColorNavy = KsColorARGB(255, 0, 51, 153);
TKsColor KsColorWindow = KsColorARGB(255, 235, 235, 238);
TKsColor KsColorBtnFace = KsColorARGB(255, 210, 210, 210);
TKsColor KsColorBtnShadow = KsColorARGB(255, 168, 168, 168);
TKsColor KsColorOrange = KsColorARGB(255, 248, 199, 81);
TKsColor KsColorSky = KsColorARGB(255, 100, 160, 255);
TKsColor KsColorTransparent = KsColorARGB(0, 127, 0, 127);

namespace {

uint8_t ClampChannel(int v) { return uint8_t(std::clamp(v, 0, 255)); }

}  // namespace

TKsColor ColorToKsColor(TColor color, uint8_t alpha) {
  COLORREF rgb = ColorToRGB(color);
  return KsColorARGB(alpha, GetRValue(rgb), GetGValue(rgb), GetBValue(rgb));
}

TColor ColorToKsColorOpaque(TKsColor color) {
  return static_cast<TColor>(RGB(KsRed(color), KsGreen(color), KsBlue(color)));
}

TKsColor KsColorRGBA(int16_t r, int16_t g, int16_t b, uint8_t a) {
  return KsColorARGB(a, ClampChannel(r), ClampChannel(g), ClampChannel(b));
}

TKsColor KsColorAdd(TKsColor color, uint8_t dr, uint8_t dg, uint8_t db, uint8_t da) {
  return KsColorRGBA(KsRed(color) + dr, KsGreen(color) + dg, KsBlue(color) + db,
                     uint8_t(KsAlpha(color) + da));
}

TKsColor KsColorSub(TKsColor color, uint8_t dr, uint8_t dg, uint8_t db, uint8_t da) {
  return KsColorRGBA(KsRed(color) - dr, KsGreen(color) - dg, KsBlue(color) - db,
                     uint8_t(KsAlpha(color) - da));
}

TKsColor KsColorLighten(TKsColor color, uint8_t n) { return KsColorAdd(color, n, n, n, 0); }

TKsColor KsColorDarken(TKsColor color, uint8_t n) { return KsColorSub(color, n, n, n, 0); }

TKsColor KsColorChangeBrightness(TKsColor color, int n) {
  // Clamped in full integers: a shift of any size saturates instead of wrapping.
  n = std::clamp(n, -255, 255);
  return KsColorARGB(255, ClampChannel(KsRed(color) + n), ClampChannel(KsGreen(color) + n),
                     ClampChannel(KsBlue(color) + n));
}

void KsRGBToHSL(TKsColor color, float& h, float& s, float& l) {
  KsRGBToHSLChannels(KsRed(color), KsGreen(color), KsBlue(color), h, s, l);
}

TKsColor KsHSLToColor(float h, float s, float l) {
  int r, g, b;
  KsHSLToRGBChannels(h, s, l, r, g, b);
  return KsColorRGBA(r, g, b, 255);
}

TKsColor KsColorChangeHue(TKsColor color, int n) {
  float h, s, l;
  KsRGBToHSL(color, h, s, l);
  return KsHSLToColor(KsShiftHue(h, n), s, l);
}

void KsFillPixels(TKsColor* pixels, int count, TKsColor value) {
  for (int i = 0; i < count; ++i)
    pixels[i] = value;
}

void KsFillPixelRect(TKsColor* bits, int stride, int left, int top, int right, int bottom,
                     TKsColor value) {
  if (right < left)
    return;
  for (int y = top; y <= bottom; ++y)
    KsFillPixels(bits + y * stride + left, right - left + 1, value);
}

void KsSetAlphaRun(TKsColor* pixels, int count, uint8_t alpha) {
  uint32_t a = uint32_t(alpha) << 24;
  for (int i = 0; i < count; ++i)
    pixels[i] = (pixels[i] & 0x00FFFFFFu) | a;
}

void KsSetAlphaRect(TKsColor* bits, int stride, int left, int top, int right, int bottom,
                    uint8_t alpha) {
  if (right < left)
    return;
  for (int y = top; y <= bottom; ++y)
    KsSetAlphaRun(bits + y * stride + left, right - left + 1, alpha);
}
