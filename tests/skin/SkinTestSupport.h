// Helpers of the skin tests: colours written as A, R, G, B, prepared bitmaps and a
// pixel-by-pixel comparison of a whole bitmap with a rule.
#pragma once

#include <functional>

#include <gtest/gtest.h>

#include "skin/KsBitmap.h"

constexpr TKsColor Argb(int a, int r, int g, int b) {
  return KsColorARGB(uint8_t(a), uint8_t(r), uint8_t(g), uint8_t(b));
}

constexpr TKsColor kBack = Argb(255, 1, 2, 3);
constexpr TKsColor kRed = Argb(255, 255, 0, 0);
constexpr TKsColor kBlue = Argb(255, 0, 0, 255);

inline void Prepare(TKsBitmap& bitmap, int width, int height, TKsColor fill) {
  bitmap.SetSize(width, height);
  bitmap.Fill(fill);
}

// A source whose every pixel names its own coordinates (opaque).
inline TKsColor Coded(int x, int y) { return Argb(255, 0, x, y); }
inline void PrepareCoded(TKsBitmap& bitmap, int width, int height) {
  bitmap.SetSize(width, height);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x)
      bitmap.SetPixel(x, y, Coded(x, y));
}

// Compares every pixel with `expected`; reports the first few mismatches.
inline void ExpectPixels(const TKsBitmap& bitmap, const std::function<TKsColor(int, int)>& expected) {
  GdiFlush();
  int mismatches = 0;
  for (int y = 0; y < bitmap.GetHeight(); ++y)
    for (int x = 0; x < bitmap.GetWidth(); ++x) {
      TKsColor want = expected(x, y);
      TKsColor got = bitmap.GetPixel(x, y);
      if (got != want && ++mismatches <= 5)
        ADD_FAILURE() << "pixel (" << x << ", " << y << "): got " << std::hex << got
                      << ", want " << want;
    }
}

// True when both bitmaps have the same size and the same pixels.
inline bool SamePixels(const TKsBitmap& a, const TKsBitmap& b) {
  GdiFlush();
  if (a.GetWidth() != b.GetWidth() || a.GetHeight() != b.GetHeight())
    return false;
  for (int y = 0; y < a.GetHeight(); ++y)
    for (int x = 0; x < a.GetWidth(); ++x)
      if (a.GetPixel(x, y) != b.GetPixel(x, y))
        return false;
  return true;
}
