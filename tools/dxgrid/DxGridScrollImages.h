// Shared by the tree list's image generator and its validator (host tools, plain C++):
// the three pictures of the middle-button scrolling's round marker, drawn here.
//
// - DXGRID_FULLSCROLLBITMAP (both directions scroll), DXGRID_HORSCROLLBITMAP (only
//   horizontally), DXGRID_VERSCROLLBITMAP (only vertically, or neither): kScrollSize
//   square, 24 bits, a light face with a dot in the middle and an arrow head towards each
//   direction the control scrolls; the control clips it to a circle and frames it.
// - Each is symmetric in the directions it shows; a head lies exactly where the
//   picture says the control scrolls.
#pragma once

#include "../lunasheets/LunaSheets.h"

namespace dxgrid {

constexpr int kScrollSize = 32;
constexpr int kScrollCount = 3;
constexpr const char* kScrollNames[kScrollCount] = {"DXGRID_FULLSCROLLBITMAP", "DXGRID_HORSCROLLBITMAP",
                                                    "DXGRID_VERSCROLLBITMAP"};
constexpr luna::Rgb kScrollFace{236, 236, 236};
constexpr luna::Rgb kScrollInk{0, 0, 0};
// How far out from the middle a head's tip lies.
constexpr int kHeadTip = 11;

// Which heads a picture shows: horizontal (left and right) and vertical (up and down).
inline bool ScrollShowsHorizontal(int index) { return index == 0 || index == 1; }
inline bool ScrollShowsVertical(int index) { return index == 0 || index == 2; }

inline luna::Sheet DrawScrollPicture(int index) {
  luna::Sheet image(kScrollSize, kScrollSize);
  for (luna::Rgb& p : image.pixels)
    p = kScrollFace;
  // The middle lies between pixels 15 and 16: everything is drawn mirrored about it.
  const int m = kScrollSize / 2 - 1;
  auto mirrored = [&](int x, int y) {
    image.at(x, y) = kScrollInk;
    image.at(2 * m + 1 - x, y) = kScrollInk;
    image.at(x, 2 * m + 1 - y) = kScrollInk;
    image.at(2 * m + 1 - x, 2 * m + 1 - y) = kScrollInk;
  };
  // The dot: a disc of 6 pixels across.
  for (int y = m - 2; y <= m; ++y)
    for (int x = m - 2; x <= m; ++x)
      if ((m - x) + (m - y) <= 3)
        mirrored(x, y);
  // A head of five rows, its tip two pixels wide at kHeadTip from the middle.
  for (int i = 0; i < 5; ++i) {
    const int along = m - kHeadTip + 1 + i;  // from the tip inwards
    for (int w = 0; w <= i; ++w) {
      if (ScrollShowsVertical(index))
        mirrored(m - w, along);
      if (ScrollShowsHorizontal(index))
        mirrored(along, m - w);
    }
  }
  return image;
}

}  // namespace dxgrid
