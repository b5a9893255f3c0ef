// Points, sizes and rectangles of the class library: the Win32 structures under the
// names the library uses, with the small constructors code needs.
#pragma once

#include "classlib/Win.h"

using TPoint = POINT;
using TSize = SIZE;
using TRect = RECT;

constexpr TPoint Point(int x, int y) { return TPoint{x, y}; }
constexpr TRect Rect(int left, int top, int right, int bottom) { return TRect{left, top, right, bottom}; }
constexpr TRect Bounds(int left, int top, int width, int height) {
  return TRect{left, top, left + width, top + height};
}
constexpr int RectWidth(const TRect& r) { return r.right - r.left; }
constexpr int RectHeight(const TRect& r) { return r.bottom - r.top; }
constexpr bool PointInRect(const TRect& r, const TPoint& p) {
  return p.x >= r.left && p.x < r.right && p.y >= r.top && p.y < r.bottom;
}
inline bool operator==(const TRect& a, const TRect& b) {
  return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}
inline bool operator==(const TPoint& a, const TPoint& b) { return a.x == b.x && a.y == b.y; }
