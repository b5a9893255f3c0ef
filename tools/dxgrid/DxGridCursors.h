// Shared by the tree list's image generator and its validator (host tools, plain C++):
// the tree list's ten cursors, 32 x 32 black and white with a white outline around every
// black shape, drawn here from a few shapes.
//
// - DXTLDELETECURSOR: the arrow pointer with a cross below it (a header dropped here is
//   hidden); DXTL_DRAGCOPY and DXTL_MULTIDRAGCOPY: the arrow with one or two pages and a
//   plus sign (a copying drag). Their hot spot is the arrow's tip (0, 0).
// - DXTL_FULLSCROLLCURSOR, DXTL_HORSCROLLCURSOR, DXTL_VERSCROLLCURSOR and the four
//   DXTL_<direction>SCROLLCURSOR: a dot in the middle with arrow heads towards the
//   directions the middle-button scrolling goes; the hot spot is the dot's centre
//   (15, 15), and each is symmetric in the directions it shows.
#pragma once

#include <string>
#include <vector>

namespace dxgrid {

constexpr int kCursorCount = 10;
constexpr const char* kCursorNames[kCursorCount] = {
    "DXTLDELETECURSOR",      "DXTL_FULLSCROLLCURSOR",  "DXTL_HORSCROLLCURSOR",  "DXTL_VERSCROLLCURSOR",
    "DXTL_UPSCROLLCURSOR",   "DXTL_RIGHTSCROLLCURSOR", "DXTL_DOWNSCROLLCURSOR", "DXTL_LEFTSCROLLCURSOR",
    "DXTL_DRAGCOPY",         "DXTL_MULTIDRAGCOPY"};
// The screen cursor numbers the tree list gives them, in the same order.
constexpr int kCursorIds[kCursorCount] = {-1124, -1131, -1132, -1133, -1134, -1135, -1136, -1137, -1138, -1139};
constexpr int kDelete = 0, kFullScroll = 1, kDragCopy = 8, kMultiDragCopy = 9;
constexpr int kCentre = 15;

// The directions a scroll cursor shows: up, right, down, left.
struct Directions {
  bool Up, Right, Down, Left;
};
inline Directions ScrollDirections(int index) {
  switch (index) {
    case 1: return {true, true, true, true};
    case 2: return {false, true, false, true};
    case 3: return {true, false, true, false};
    case 4: return {true, false, false, false};
    case 5: return {false, true, false, false};
    case 6: return {false, false, true, false};
    case 7: return {false, false, false, true};
  }
  return {false, false, false, false};
}
inline bool IsScrollCursor(int index) { return index >= 1 && index <= 7; }

// A cursor as 32 rows of 'X' (black), 'o' (white) and '.' (transparent).
using CursorArt = std::vector<std::string>;

namespace detail {

inline void Black(CursorArt& art, int x, int y) {
  if (x >= 0 && y >= 0 && x < 32 && y < 32)
    art[size_t(y)][size_t(x)] = 'X';
}
inline void White(CursorArt& art, int x, int y) {
  if (x >= 0 && y >= 0 && x < 32 && y < 32)
    art[size_t(y)][size_t(x)] = 'o';
}
// Every transparent pixel next to a black one (8 neighbours) becomes white.
inline void Outline(CursorArt& art) {
  const CursorArt before = art;
  for (int y = 0; y < 32; ++y)
    for (int x = 0; x < 32; ++x) {
      if (before[size_t(y)][size_t(x)] != '.')
        continue;
      for (int dy = -1; dy <= 1; ++dy)
        for (int dx = -1; dx <= 1; ++dx) {
          const int nx = x + dx, ny = y + dy;
          if (nx >= 0 && ny >= 0 && nx < 32 && ny < 32 && before[size_t(ny)][size_t(nx)] == 'X')
            art[size_t(y)][size_t(x)] = 'o';
        }
    }
}
// The arrow pointer: tip at (0, 0), a white body inside a black edge, and its tail.
inline void Arrow(CursorArt& art) {
  for (int y = 0; y <= 10; ++y) {
    Black(art, 0, y);
    Black(art, y, y);
    for (int x = 1; x < y; ++x)
      White(art, x, y);
  }
  for (int x = 0; x <= 6; ++x)
    Black(art, x, 11);
  for (int y = 11; y <= 15; ++y) {
    Black(art, 3 + (y - 11) / 2, y);
    Black(art, 5 + (y - 11) / 2, y);
  }
}
// A page: a black frame with a white inside.
inline void Page(CursorArt& art, int left, int top) {
  for (int y = top; y < top + 9; ++y)
    for (int x = left; x < left + 8; ++x) {
      const bool edge = x == left || y == top || x == left + 7 || y == top + 8;
      if (edge)
        Black(art, x, y);
      else
        White(art, x, y);
    }
}
// A plus sign of 5 x 5 around (x, y).
inline void Plus(CursorArt& art, int x, int y) {
  for (int d = -2; d <= 2; ++d) {
    Black(art, x + d, y);
    Black(art, x, y + d);
  }
}
// An arrow head of `size` rows pointing away from the centre, starting `gap` pixels out.
inline void Head(CursorArt& art, int dx, int dy, int gap, int size) {
  for (int i = 0; i < size; ++i) {
    const int along = gap + size - 1 - i;  // the tip is furthest out
    for (int w = -i; w <= i; ++w) {
      const int x = kCentre + dx * along + (dx == 0 ? w : 0);
      const int y = kCentre + dy * along + (dy == 0 ? w : 0);
      Black(art, x, y);
    }
  }
}

}  // namespace detail

inline CursorArt DrawCursor(int index) {
  using namespace detail;
  CursorArt art(32, std::string(32, '.'));
  if (IsScrollCursor(index)) {
    // The dot: a filled circle of radius 2 around the centre.
    for (int y = -2; y <= 2; ++y)
      for (int x = -2; x <= 2; ++x)
        if (x * x + y * y <= 5)
          Black(art, kCentre + x, kCentre + y);
    const Directions d = ScrollDirections(index);
    if (d.Up)
      Head(art, 0, -1, 5, 5);
    if (d.Down)
      Head(art, 0, 1, 5, 5);
    if (d.Left)
      Head(art, -1, 0, 5, 5);
    if (d.Right)
      Head(art, 1, 0, 5, 5);
    Outline(art);
    return art;
  }
  if (index == kDelete) {
    for (int i = 0; i < 7; ++i) {
      Black(art, 14 + i, 17 + i);
      Black(art, 15 + i, 17 + i);
      Black(art, 20 - i, 17 + i);
      Black(art, 21 - i, 17 + i);
    }
  } else if (index == kDragCopy || index == kMultiDragCopy) {
    if (index == kMultiDragCopy)
      Page(art, 15, 15);
    Page(art, 12, 18);
    Plus(art, 16, 22);
  }
  Outline(art);
  // The pointer goes over the outline of what lies below it.
  Arrow(art);
  return art;
}

}  // namespace dxgrid
