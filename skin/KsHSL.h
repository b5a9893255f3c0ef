// The skin library's hue, saturation and lightness arithmetic, in single precision and
// free of Windows and the class library: the host tools that draw and check the skin's
// artwork (tools/lunasheets, built with the build machine's compiler) run these same
// steps, so that the colours they choose survive the library's hue shift unchanged.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstdint>

// The nearest integer, halves to the even one (the library's rounding).
inline int KsRoundChannel(float value) { return static_cast<int>(std::nearbyint(static_cast<double>(value))); }

// Hue, saturation and lightness in 0..1 of the R, G, B bytes.
inline void KsRGBToHSLChannels(uint8_t red, uint8_t green, uint8_t blue, float& h, float& s, float& l) {
  float r = red / 255.0f;
  float g = green / 255.0f;
  float b = blue / 255.0f;
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

// One channel of a colour from its hue (shifted by a third of a turn per channel) and
// the two lightness bounds, 0..255 (not clamped).
inline int KsHueChannel(float m1, float m2, float h) {
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
  return KsRoundChannel(v * 255.0f);
}

// R, G, B (0..255, not clamped) of H, S, L.
inline void KsHSLToRGBChannels(float h, float s, float l, int& red, int& green, int& blue) {
  if (s == 0.0f) {
    red = green = blue = KsRoundChannel(l * 255.0f);
    return;
  }
  float m2 = l <= 0.5f ? l * (1.0f + s) : l + s - l * s;
  float m1 = 2.0f * l - m2;
  red = KsHueChannel(m1, m2, h + 1.0f / 3.0f);
  green = KsHueChannel(m1, m2, h);
  blue = KsHueChannel(m1, m2, h - 1.0f / 3.0f);
}

// The hue `h` (0..1) on the library's scale of 255 steps, shifted by n of them. The wrap
// is by 255, not 256: hue 255 and hue 0 are the same turn.
inline float KsShiftHue(float h, int n) {
  int hue = KsRoundChannel(h * 255.0f) + n;
  if (hue > 255)
    hue -= 255;
  if (hue < 0)
    hue += 255;
  return static_cast<float>(hue) / 255.0f;
}
