// Pictures of windows: a window captured as it is on screen, two pictures composed,
// and a picture written as a PNG file (through the cross toolchain's static zlib).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "classlib/Win.h"

namespace standin {

// One captured picture: 32-bit pixels, top-down, bytes B, G, R, A.
struct TShotImage {
  int Width = 0;
  int Height = 0;
  std::vector<uint32_t> Pixels;
  // True when every pixel has one colour (a window that was never painted).
  bool Flat() const;
};

// The window as it is on screen, non-client area included.
TShotImage CaptureWindow(HWND wnd);
// `over` drawn into `base` at its offset from `base`'s place on screen; the result
// covers both rectangles (the part of neither is grey).
TShotImage Compose(const TShotImage& base, const RECT& baseRect, const TShotImage& over,
                   const RECT& overRect);
// Writes an 8-bit RGB PNG file; false when it cannot be written.
bool WritePng(const std::string& fileName, const TShotImage& image);

}  // namespace standin
