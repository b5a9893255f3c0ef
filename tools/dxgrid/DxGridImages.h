// Shared by the tree list's image generator and its validator (host tools, plain C++):
// the names, size and colours of the indicator images, in the order of the tree list's
// indicator image list, and the rules their shapes keep.
//
// - DXGRID_ARROW (the focused row), DXGRID_EDIT (the row being edited), DXGRID_INSERT
//   (the new-item row), DXGRID_MULTIDOT (a selected row), DXGRID_MULTIARROW (the focused
//   row while it is selected): kWidth x kHeight, 24 bits, black ink on white, which the
//   tree list takes as the transparent colour when it loads them.
// - Every image fits the content of a 12-pixel indicator button (9 pixels wide in the
//   standard look) when centred in it.
// - The arrows point right: each is symmetric about its middle row and no row is wider
//   than the middle one; the insert mark is symmetric about its middle row and column.
#pragma once

#include "../lunasheets/LunaSheets.h"

namespace dxgrid {

using luna::Rgb;
using luna::Sheet;

constexpr int kWidth = 8;
constexpr int kHeight = 9;
constexpr Rgb kKey{255, 255, 255};
constexpr Rgb kInk{0, 0, 0};

constexpr const char* kNames[] = {"DXGRID_ARROW", "DXGRID_EDIT", "DXGRID_INSERT", "DXGRID_MULTIDOT",
                                  "DXGRID_MULTIARROW"};
constexpr int kCount = 5;
constexpr int kArrow = 0;
constexpr int kInsert = 2;
constexpr int kMultiArrow = 4;

// The size of one image's file: headers and rows padded to four bytes.
constexpr size_t kFileSize = 54 + size_t((kWidth * 3 + 3) & ~3) * kHeight;

// The ink pixels of row y.
inline int InkInRow(const Sheet& image, int y) {
  int ink = 0;
  for (int x = 0; x < image.width; ++x)
    ink += image.at(x, y) == kInk;
  return ink;
}

}  // namespace dxgrid
