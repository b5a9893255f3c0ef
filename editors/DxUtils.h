// Drawing routines shared by the in-place editors and the tree list: the text painter
// through which every cell text is drawn, bitmap and image-list drawing with a
// replaced transparent colour, a checkerboard overlay, a shadow, and the placement of
// a popup inside the work area of its monitor.
//
// Every routine works on a raw device context and leaves it as it found it: colours,
// modes, the selected objects and the brush origin are restored before it returns.
// The checkerboard brush is a module resource made by InitializeDxUtils and freed by
// FinalizeDxUtils.
#pragma once

#include "classlib/Colors.h"
#include "classlib/Geometry.h"
#include "classlib/ImageList.h"  // ImageListColor, the colour the image-list drawing uses
#include "classlib/Win.h"

class TBitmap;

// Start-up makes the 8 x 8 monochrome checkerboard brush (pixel (x, y) black when x
// and y are both even or both odd, white otherwise); shut-down deletes it. Repeated
// calls are counted; only the first start-up and the last shut-down act.
void InitializeDxUtils();
void FinalizeDxUtils();
// The checkerboard brush; null outside start-up and shut-down.
HBRUSH CheckerboardBrush();

// Grows the bitmap to at least width x height; never shrinks it.
void EnsureMinSize(TBitmap* bitmap, int width, int height);

// Every second pixel of `rect`, in the checkerboard pattern of the DC's brush origin,
// becomes `color`; the others keep theirs.
void DrawCheckerOverlay(HDC dc, const TRect& rect, TColor color);

// Draws the whole bitmap at rect's top left, its pixels of the bitmap's transparent
// colour replaced by `brush`. At most rect's size is drawn.
void DrawBitmapWithBackground(HDC dc, HBRUSH brush, const TRect& rect, TBitmap* bitmap);

// Fills `rect` with `brush` and draws the bitmap into it at `bitmapRect` (its size,
// clipped to the bitmap's and to `rect`), its transparent pixels replaced by `brush`.
void DrawBitmapInRect(HDC dc, HBRUSH brush, const TRect& rect, TBitmap* bitmap, const TRect& bitmapRect);

// Draws image `index` of the list at (x, y) in the list's own size, colours and
// drawing style (the mask for the mask image type); nothing when the list has no handle.
void DrawImageListImage(HDC dc, int x, int y, TCustomImageList* imageList, int index);

// Fills the bottom and the right strip of `rect`, `size` pixels deep, with `brush`.
void DrawShadow(HDC dc, const TRect& rect, int size, HBRUSH brush);

// The work area of the monitor nearest to `point`; the primary work area when the
// monitor services fail.
void GetWorkArea(const TPoint& point, TRect& rect);

// Keeps a popup of width x height at `point` inside the work area: moved right or left
// to fit, and above its anchor (of `anchorHeight`) when it does not fit below and
// there is more room above.
void PlacePopup(TPoint& point, int width, int height, int anchorHeight);

// Corners of DrawSizeGrip.
constexpr int sgTopLeft = 0;
constexpr int sgTopRight = 1;
constexpr int sgBottomLeft = 2;
constexpr int sgBottomRight = 3;

// Draws the sizing corner of a sizeable popup in `corner` of `rect`: `rect` becomes the
// corner's square (a scroll bar's width and height); its two outer 2-pixel strips are
// filled with the button face and the rest shows the system's size grip, mirrored so
// that its ridges point into the corner.
void DrawSizeGrip(HDC dc, TRect& rect, int corner);

// Flag word of DrawTextWithFlags.
constexpr int dtfLeft = 0x0000;
constexpr int dtfCenter = 0x0001;
constexpr int dtfRight = 0x0002;
constexpr int dtfHorzMask = 0x0003;
constexpr int dtfTop = 0x0000;
constexpr int dtfVCenter = 0x0004;
constexpr int dtfBottom = 0x0008;
constexpr int dtfWordWrap = 0x0010;
constexpr int dtfVertMask = 0x001C;
constexpr int dtfEndEllipsis = 0x0100;
constexpr int dtfPathEllipsis = 0x0200;
constexpr int dtfFocusRect = 0x0400;
constexpr int dtfFocusOnText = 0x0800;
constexpr int dtfNoFill = 0x1000;
constexpr int dtfPrefix = 0x2000;
constexpr int dtfCalcOnly = 0x4000;
constexpr int dtfKeepBkMode = 0x8000;

// Draws `text` (`length` characters; a negative length takes it up to its terminator)
// into `textRect` with `font` in `textColor` on `bkColor`, the rest of `fillRect`
// filled with `brush`, by the flags above. With dtfCalcOnly nothing is drawn: the
// answer is the height `fillRect` needs for the text, and `lineHeight` (when given)
// receives the height of one line. Otherwise the answer is 0.
int DrawTextWithFlags(HDC dc, const char* text, int length, const TRect& fillRect, const TRect& textRect,
                      int flags, HBRUSH brush, HFONT font, TColor bkColor, TColor textColor,
                      int* lineHeight);
