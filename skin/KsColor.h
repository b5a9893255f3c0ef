// The skin library's 32-bit colour: one pixel of a TKsBitmap, bytes B, G, R, A in
// memory (A 255 opaque, 0 transparent). Here live the shared colour values the themes
// and controls read, the colour arithmetic (clamping, lighten/darken, brightness, hue
// and HSL in single precision), the library's own per-pixel alpha blend, and the tight
// loops that fill runs and rectangles of raw pixels.
#pragma once

#include <cstdint>

#include "classlib/Colors.h"

using TKsColor = uint32_t;

constexpr TKsColor KsColorARGB(uint8_t a, uint8_t r, uint8_t g, uint8_t b) {
  return TKsColor(a) << 24 | TKsColor(r) << 16 | TKsColor(g) << 8 | TKsColor(b);
}
constexpr uint8_t KsAlpha(TKsColor c) { return uint8_t(c >> 24); }
constexpr uint8_t KsRed(TKsColor c) { return uint8_t(c >> 16); }
constexpr uint8_t KsGreen(TKsColor c) { return uint8_t(c >> 8); }
constexpr uint8_t KsBlue(TKsColor c) { return uint8_t(c); }

// Shared colour values of the bitmap module. The three system colours hold their
// built-in values until the module's start-up reads the system's.
extern TKsColor KsColorBlack;
extern TKsColor KsColorGray;
extern TKsColor KsColorWhite;
extern TKsColor KsColorRed;
extern TKsColor KsColorSilver;
extern TKsColor KsColorNavy;
extern TKsColor KsColorWindow;
extern TKsColor KsColorBtnFace;
extern TKsColor KsColorBtnShadow;
extern TKsColor KsColorOrange;
extern TKsColor KsColorSky;
extern TKsColor KsColorTransparent;

// The class-library colour (system colours resolved) with the given alpha.
TKsColor ColorToKsColor(TColor color, uint8_t alpha);
// The class-library colour of the R, G, B bytes; alpha dropped.
TColor ColorToKsColorOpaque(TKsColor color);

// R, G, B clamped to 0..255 (each taken as a signed 16-bit value); A stored as given.
TKsColor KsColorRGBA(int16_t r, int16_t g, int16_t b, uint8_t a);
// Each channel plus (minus) its byte; R, G, B clamped, A wraps modulo 256.
TKsColor KsColorAdd(TKsColor color, uint8_t dr, uint8_t dg, uint8_t db, uint8_t da);
TKsColor KsColorSub(TKsColor color, uint8_t dr, uint8_t dg, uint8_t db, uint8_t da);
// R, G, B up (down) by n, clamped; alpha kept.
TKsColor KsColorLighten(TKsColor color, uint8_t n);
TKsColor KsColorDarken(TKsColor color, uint8_t n);
// R, G, B plus n, clamped; the result is opaque.
TKsColor KsColorChangeBrightness(TKsColor color, int n);

// Hue, saturation and lightness in 0..1, single precision.
void KsRGBToHSL(TKsColor color, float& h, float& s, float& l);
// The opaque colour of H, S, L.
TKsColor KsHSLToColor(float h, float s, float l);
// Shifts the hue by n/255 of a turn (wrapping by 255); the result is opaque.
TKsColor KsColorChangeHue(TKsColor color, int n);

// Source over destination: each channel, alpha included, is
// (s * a + 128) / 256 + (d * (255 - a) + 128) / 256, with a the source alpha;
// an opaque source is returned as is, a transparent one gives the destination.
inline TKsColor KsAlphaBlendPixel(TKsColor src, TKsColor dst) {
  if (src >= 0xFF000000u)
    return src;
  uint32_t a = src >> 24;
  if (a == 0)
    return dst;
  uint32_t b = 255 - a;
  // Two channels per multiply: the even bytes, then the odd ones shifted down.
  uint32_t s = ((((src & 0x00FF00FFu) * a + 0x00800080u) & 0xFF00FF00u) >> 8) |
               ((((src & 0xFF00FF00u) >> 8) * a + 0x00800080u) & 0xFF00FF00u);
  uint32_t d = ((((dst & 0x00FF00FFu) * b + 0x00800080u) & 0xFF00FF00u) >> 8) |
               ((((dst & 0xFF00FF00u) >> 8) * b + 0x00800080u) & 0xFF00FF00u);
  return s + d;
}

// Raw pixel runs. Rectangles are inclusive (Left..Right x Top..Bottom) in an array of
// `stride` pixels a row; an empty run or rectangle does nothing.
void KsFillPixels(TKsColor* pixels, int count, TKsColor value);
void KsFillPixelRect(TKsColor* bits, int stride, int left, int top, int right, int bottom,
                     TKsColor value);
void KsSetAlphaRun(TKsColor* pixels, int count, uint8_t alpha);
void KsSetAlphaRect(TKsColor* bits, int stride, int left, int top, int right, int bottom,
                    uint8_t alpha);
