#include "skin/KsColor.h"

#include <algorithm>

#include "skin/KsMath.h"

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
  float r = KsRed(color) / 255.0f;
  float g = KsGreen(color) / 255.0f;
  float b = KsBlue(color) / 255.0f;
  float max = std::max({r, g, b});
  float min = std::min({r, g, b});
  l = (max + min) / 2.0f;
  if (max == min) {
    h = 0.0f;
    s = 0.0f;
    return;
  }
  float d = max - min;
  s = l >= 0.5f ? d / (2.0f - max - min) : d / (max + min);
  if (r == max)
    h = (g - b) / d;
  else if (g == max)
    h = 2.0f + (b - r) / d;
  else
    h = 4.0f + (r - g) / d;
  h = h / 6.0f;
  if (h < 0.0f)
    h = h + 1.0f;
}

namespace {

int HueChannel(float m1, float m2, float h) {
  h = h - static_cast<float>(static_cast<int>(h));
  if (h < 0.0f)
    h = h + 1.0f;
  float v;
  if (6.0f * h < 1.0f)
    v = m1 + (m2 - m1) * h * 6.0f;
  else if (2.0f * h < 1.0f)
    v = m2;
  else if (3.0f * h < 2.0f)
    v = m1 + (m2 - m1) * (2.0f / 3.0f - h) * 6.0f;
  else
    v = m1;
  return RoundToInt(v * 255.0f);
}

}  // namespace

TKsColor KsHSLToColor(float h, float s, float l) {
  if (s == 0.0f) {
    int v = RoundToInt(l * 255.0f);
    return KsColorRGBA(v, v, v, 255);
  }
  float m2 = l <= 0.5f ? l * (1.0f + s) : l + s - l * s;
  float m1 = 2.0f * l - m2;
  return KsColorRGBA(HueChannel(m1, m2, h + 1.0f / 3.0f), HueChannel(m1, m2, h),
                     HueChannel(m1, m2, h - 1.0f / 3.0f), 255);
}

TKsColor KsColorChangeHue(TKsColor color, int n) {
  float h, s, l;
  KsRGBToHSL(color, h, s, l);
  int hue = RoundToInt(h * 255.0f) + n;
  // The wrap is by 255, not 256: hue 255 and hue 0 are the same turn.
  if (hue > 255)
    hue -= 255;
  if (hue < 0)
    hue += 255;
  return KsHSLToColor(static_cast<float>(hue) / 255.0f, s, l);
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
