// Two decisions beyond the plain recipe of these routines:
// - The checkerboard overlay fills a memory bitmap and the target with the same pattern
//   and combines them pixel by pixel; both patterns are aligned to the target's brush
//   origin, so that the two passes match at any position of the rectangle (with the
//   memory bitmap's own origin the pattern was off by one pixel for rectangles at an odd
//   offset, mixing the colour into the kept pixels and blacking out the others). Brushes
//   used inside memory bitmaps are aligned the same way.
// - Bitmap drawing copies no more than the bitmap holds: pixels outside a bitmap are not
//   defined, so a larger rectangle is not filled from beyond it.
#include "editors/DxUtils.h"

#include <algorithm>
#include <cassert>
#include <cstring>

#include "classlib/Bitmap.h"
#include "classlib/Forms.h"
#include "classlib/GdiHandles.h"
#include "classlib/ImageList.h"

namespace {

int gDxUtilsStarts = 0;
TBrushHandle gCheckerboardBrush;

// Destination of the mask blit: where the mask is 1 the brush, elsewhere the destination.
constexpr DWORD kRopBrushWhereMask = 0x00E20746;
constexpr COLORREF kBlack = RGB(0, 0, 0);
constexpr COLORREF kWhite = RGB(255, 255, 255);

int Mod8(int value) { return ((value % 8) + 8) % 8; }

// Sets the brush origin of `memDC`, whose (0, 0) shows the logical point (left, top) of
// `dc`, so that patterns drawn into it continue the pattern of `dc`.
void AlignBrushOrigin(HDC memDC, HDC dc, int left, int top) {
  POINT origin{};
  GetBrushOrgEx(dc, &origin);
  POINT corner{left, top};
  LPtoDP(dc, &corner, 1);
  SetBrushOrgEx(memDC, Mod8(origin.x - corner.x), Mod8(origin.y - corner.y), nullptr);
}

// Replaces the pixels of the `width` x `height` block of `memDC` at (x, y) by `brush`
// where the same block of `srcDC` at (0, 0) has the colour `transparent`.
void ReplaceTransparent(HDC memDC, int x, int y, int width, int height, HDC srcDC, TColor transparent,
                        HBRUSH brush) {
  TMemoryDC maskDC(memDC);
  TBitmapHandle mask(CreateBitmap(width, height, 1, 1, nullptr));
  TSelectGuard maskSelect(maskDC, mask.Get());
  {
    // Colour to monochrome: the source's background colour becomes 1, all else 0.
    TSaveDCGuard sourceState(srcDC);
    SetBkColor(srcDC, ColorToRGB(transparent) & 0xFFFFFF);
    BitBlt(maskDC, 0, 0, width, height, srcDC, 0, 0, SRCCOPY);
  }
  TSaveDCGuard memState(memDC);
  SelectObject(memDC, brush);
  SetTextColor(memDC, kBlack);
  SetBkColor(memDC, kWhite);
  BitBlt(memDC, x, y, width, height, maskDC, 0, 0, kRopBrushWhereMask);
}

bool HasLineBreak(const char* text, int length) {
  return std::memchr(text, '\r', length) || std::memchr(text, '\n', length);
}

}  // namespace

void InitializeDxUtils() {
  if (gDxUtilsStarts++ > 0)
    return;
  // Rows of 16 bits (word-aligned), leftmost pixel in the top bit; 0 is black.
  const WORD rows[8] = {0x55, 0xAA, 0x55, 0xAA, 0x55, 0xAA, 0x55, 0xAA};
  TBitmapHandle pattern(CreateBitmap(8, 8, 1, 1, rows));
  gCheckerboardBrush.Reset(CreatePatternBrush(pattern.Get()));
}

void FinalizeDxUtils() {
  if (gDxUtilsStarts == 0 || --gDxUtilsStarts > 0)
    return;
  gCheckerboardBrush.Reset();
}

HBRUSH CheckerboardBrush() { return gCheckerboardBrush.Get(); }

void EnsureMinSize(TBitmap* bitmap, int width, int height) {
  assert(bitmap && "EnsureMinSize needs a bitmap");
  if (bitmap->GetWidth() < width)
    bitmap->SetWidth(width);
  if (bitmap->GetHeight() < height)
    bitmap->SetHeight(height);
}

void DrawCheckerOverlay(HDC dc, const TRect& rect, TColor color) {
  assert(gCheckerboardBrush && "the checkerboard brush is made at start-up");
  const int width = RectWidth(rect);
  const int height = RectHeight(rect);
  if (!gCheckerboardBrush || width <= 0 || height <= 0)
    return;
  HBRUSH brush = gCheckerboardBrush.Get();
  TMemoryDC memDC(dc);
  TBitmapHandle memBitmap(CreateCompatibleBitmap(dc, width, height));
  TSelectGuard memSelect(memDC, memBitmap.Get());
  AlignBrushOrigin(memDC, dc, rect.left, rect.top);
  {
    TSaveDCGuard memState(memDC);
    SelectObject(memDC, brush);
    SetTextColor(memDC, kBlack);
    SetBkColor(memDC, kWhite);
    PatBlt(memDC, 0, 0, width, height, PATCOPY);
  }
  // The memory bitmap now holds black on the pattern's pixels, the screen elsewhere.
  BitBlt(memDC, 0, 0, width, height, dc, rect.left, rect.top, SRCAND);
  TSaveDCGuard state(dc);
  SelectObject(dc, brush);
  SetTextColor(dc, ColorToRGB(color));
  SetBkColor(dc, kBlack);
  PatBlt(dc, rect.left, rect.top, width, height, PATCOPY);
  BitBlt(dc, rect.left, rect.top, width, height, memDC, 0, 0, SRCPAINT);
}

void DrawBitmapWithBackground(HDC dc, HBRUSH brush, const TRect& rect, TBitmap* bitmap) {
  if (!bitmap || bitmap->GetEmpty())
    return;
  const int width = bitmap->GetWidth();
  const int height = bitmap->GetHeight();
  const TColor transparent = bitmap->GetTransparentColor();
  HDC srcDC = bitmap->GetCanvas()->GetHandle();
  TMemoryDC memDC(dc);
  TBitmapHandle memBitmap(CreateCompatibleBitmap(dc, width, height));
  TSelectGuard memSelect(memDC, memBitmap.Get());
  AlignBrushOrigin(memDC, dc, rect.left, rect.top);
  BitBlt(memDC, 0, 0, width, height, srcDC, 0, 0, SRCCOPY);
  ReplaceTransparent(memDC, 0, 0, width, height, srcDC, transparent, brush);
  BitBlt(dc, rect.left, rect.top, std::min(RectWidth(rect), width), std::min(RectHeight(rect), height),
         memDC, 0, 0, SRCCOPY);
}

void DrawBitmapInRect(HDC dc, HBRUSH brush, const TRect& rect, TBitmap* bitmap, const TRect& bitmapRect) {
  const int width = RectWidth(rect);
  const int height = RectHeight(rect);
  if (width <= 0 || height <= 0)
    return;
  TMemoryDC memDC(dc);
  TBitmapHandle memBitmap(CreateCompatibleBitmap(dc, width, height));
  TSelectGuard memSelect(memDC, memBitmap.Get());
  AlignBrushOrigin(memDC, dc, rect.left, rect.top);
  const TRect whole{0, 0, width, height};
  FillRect(memDC, &whole, brush);
  if (bitmap && !bitmap->GetEmpty()) {
    const int x = bitmapRect.left - rect.left;
    const int y = bitmapRect.top - rect.top;
    const int partWidth = std::min(RectWidth(bitmapRect), bitmap->GetWidth());
    const int partHeight = std::min(RectHeight(bitmapRect), bitmap->GetHeight());
    if (partWidth > 0 && partHeight > 0) {
      const TColor transparent = bitmap->GetTransparentColor();
      HDC srcDC = bitmap->GetCanvas()->GetHandle();
      BitBlt(memDC, x, y, partWidth, partHeight, srcDC, 0, 0, SRCCOPY);
      ReplaceTransparent(memDC, x, y, partWidth, partHeight, srcDC, transparent, brush);
    }
  }
  BitBlt(dc, rect.left, rect.top, width, height, memDC, 0, 0, SRCCOPY);
}

void DrawImageListImage(HDC dc, int x, int y, TCustomImageList* imageList, int index) {
  if (!imageList || !imageList->HandleAllocated())
    return;
  static const UINT styles[] = {ILD_FOCUS, ILD_SELECTED, ILD_NORMAL, ILD_TRANSPARENT};
  const UINT style = imageList->GetImageType() == itMask ? ILD_MASK : styles[imageList->GetDrawingStyle()];
  ImageList_DrawEx(imageList->GetHandle(), index, dc, x, y, 0, 0, ImageListColor(imageList->GetBkColor()),
                   ImageListColor(imageList->GetBlendColor()), style);
}

void DrawShadow(HDC dc, const TRect& rect, int size, HBRUSH brush) {
  const TRect bottom{rect.left, rect.bottom - size, rect.right, rect.bottom};
  const TRect right{rect.right - size, rect.top, rect.right, rect.bottom};
  FillRect(dc, &bottom, brush);
  FillRect(dc, &right, brush);
}

void GetWorkArea(const TPoint& point, TRect& rect) {
  TMonitorProvider& monitors = MonitorProvider();
  HMONITOR monitor = monitors.FromPoint(point, MONITOR_DEFAULTTONEAREST);
  MONITORINFO info{};
  info.cbSize = sizeof info;
  if (monitor && monitors.GetInfo(monitor, info)) {
    rect = info.rcWork;
    return;
  }
  SystemParametersInfoA(SPI_GETWORKAREA, 0, &rect, 0);
}

void PlacePopup(TPoint& point, int width, int height, int anchorHeight) {
  TRect area{};
  GetWorkArea(point, area);
  if (point.x < area.left)
    point.x = area.left;
  if (point.x + width > area.right)
    point.x = area.right - width;
  const int roomBelow = area.bottom - (point.y + anchorHeight);
  const int roomAbove = point.y - area.top;
  if (point.y + height > area.bottom && roomBelow < roomAbove)
    point.y -= height + anchorHeight;
}

int DrawTextWithFlags(HDC dc, const char* text, int length, const TRect& fillRect, const TRect& textRect,
                      int flags, HBRUSH brush, HFONT font, TColor bkColor, TColor textColor,
                      int* lineHeight) {
  if (!text)
    length = 0, text = "";
  if (length < 0)
    length = static_cast<int>(std::strlen(text));
  TSaveDCGuard state(dc);
  if (font)
    SelectObject(dc, font);
  SetBkColor(dc, ColorToRGB(bkColor));
  SetTextColor(dc, ColorToRGB(textColor));
  SIZE extent{};
  GetTextExtentPoint32A(dc, text, length, &extent);
  const int textWidth = extent.cx;
  const int textHeight = extent.cy;
  const bool calcOnly = flags & dtfCalcOnly;
  if (calcOnly) {
    if (lineHeight)
      *lineHeight = textHeight;
    if (textHeight == 0)
      return 0;
  }
  const int vertical = flags & dtfVertMask;
  const bool wrapped = vertical == dtfWordWrap;
  const bool tooWide = RectWidth(textRect) < textWidth;
  const bool mayBreak = flags & (dtfWordWrap | dtfEndEllipsis | dtfPathEllipsis);
  const bool useDrawText =
      (flags & dtfPrefix) || wrapped || ((tooWide || HasLineBreak(text, length)) && mayBreak);
  const bool keepBkMode = flags & dtfKeepBkMode;
  TRect focusRect = textRect;

  if (useDrawText) {
    static const UINT horizontal[] = {DT_LEFT, DT_CENTER, DT_RIGHT, DT_LEFT};
    UINT format = horizontal[flags & dtfHorzMask] | DT_EXPANDTABS;
    if (!wrapped && !tooWide)
      format |= DT_NOCLIP;
    if (!(flags & dtfPrefix))
      format |= DT_NOPREFIX;
    if (flags & dtfEndEllipsis)
      format |= DT_END_ELLIPSIS;
    if (flags & dtfPathEllipsis)
      format |= DT_PATH_ELLIPSIS;
    if (wrapped)
      format |= DT_WORDBREAK;
    else if (vertical == dtfVCenter)
      format |= DT_VCENTER | DT_SINGLELINE;
    else if (vertical == dtfBottom)
      format |= DT_BOTTOM | DT_SINGLELINE;
    else
      format |= DT_SINGLELINE;
    TRect measured = textRect;
    if (calcOnly || (flags & dtfFocusRect && flags & dtfFocusOnText))
      DrawTextA(dc, text, length, &measured, format | DT_CALCRECT);
    if (calcOnly)
      return RectHeight(fillRect) - RectHeight(textRect) + RectHeight(measured);
    if (!(flags & dtfNoFill))
      FillRect(dc, &fillRect, brush);
    const int oldMode = keepBkMode ? 0 : SetBkMode(dc, TRANSPARENT);
    TRect drawRect = textRect;
    DrawTextA(dc, text, length, &drawRect, format);
    if (oldMode)
      SetBkMode(dc, oldMode);
    if (flags & dtfFocusOnText) {
      focusRect = measured;
      if (!wrapped)
        focusRect.top = focusRect.bottom - textHeight;
    }
  } else {
    TRect clip = fillRect;
    int x = textRect.left;
    int y = textRect.top;
    if (tooWide) {
      if (!calcOnly && !(flags & dtfNoFill)) {
        const TRect rest{textRect.right, fillRect.top, fillRect.right, fillRect.bottom};
        if (rest.right > rest.left)
          FillRect(dc, &rest, brush);
      }
      clip.right = textRect.right;
    } else if ((flags & dtfHorzMask) == dtfCenter) {
      x = (textRect.left + textRect.right - textWidth) / 2;
    } else if ((flags & dtfHorzMask) == dtfRight) {
      x = textRect.right - textWidth;
    }
    if (vertical == dtfVCenter)
      y = (textRect.top + textRect.bottom - textHeight) / 2;
    else if (vertical == dtfBottom)
      y = textRect.bottom - textHeight;
    if (calcOnly)
      return RectHeight(fillRect) - RectHeight(textRect) + textHeight;
    if (flags & dtfNoFill) {
      if (!keepBkMode)
        SetBkMode(dc, TRANSPARENT);
      ExtTextOutA(dc, x, y, ETO_CLIPPED, &clip, text, length, nullptr);
    } else {
      ExtTextOutA(dc, x, y, ETO_OPAQUE | ETO_CLIPPED, &clip, text, length, nullptr);
    }
    if (flags & dtfFocusOnText)
      focusRect = TRect{x, y, x + textWidth, y + textHeight};
  }

  const bool focusOnText = flags & dtfFocusOnText;
  if (flags & dtfFocusRect && (!focusOnText || length > 0)) {
    SetBkColor(dc, kBlack);
    SetTextColor(dc, kWhite);
    InflateRect(&focusRect, 1, 1);
    DrawFocusRect(dc, &focusRect);
  }
  return 0;
}

void DrawSizeGrip(HDC dc, TRect& rect, int corner) {
  assert(corner >= sgTopLeft && corner <= sgBottomRight && "a corner is 0 to 3");
  const bool left = corner == sgTopLeft || corner == sgBottomLeft;
  const bool top = corner == sgTopLeft || corner == sgTopRight;
  const int width = GetSystemMetrics(SM_CXVSCROLL), height = GetSystemMetrics(SM_CYHSCROLL);
  if (left)
    rect.right = rect.left + width;
  else
    rect.left = rect.right - width;
  if (top)
    rect.bottom = rect.top + height;
  else
    rect.top = rect.bottom - height;
  // The strips along the corner's outer edges.
  HBRUSH face = GetSysColorBrush(COLOR_BTNFACE);
  TRect grip = rect;
  TRect vertical = rect, horizontal = rect;
  if (left) {
    vertical.right = vertical.left + 2;
    grip.left += 2;
  } else {
    vertical.left = vertical.right - 2;
    grip.right -= 2;
  }
  if (top) {
    horizontal.bottom = horizontal.top + 2;
    grip.top += 2;
  } else {
    horizontal.top = horizontal.bottom - 2;
    grip.bottom -= 2;
  }
  FillRect(dc, &vertical, face);
  FillRect(dc, &horizontal, face);
  const int w = RectWidth(grip), h = RectHeight(grip);
  if (w <= 0 || h <= 0)
    return;
  // The system draws its grip for the bottom-right corner; a negative extent mirrors it.
  TMemoryDC memory(dc);
  TBitmapHandle bitmap(CreateCompatibleBitmap(dc, w, h));
  TSelectGuard select(memory, bitmap.Get());
  RECT whole{0, 0, w, h};
  DrawFrameControl(memory, &whole, DFC_SCROLL, DFCS_SCROLLSIZEGRIP);
  StretchBlt(dc, left ? grip.right - 1 : grip.left, top ? grip.bottom - 1 : grip.top, left ? -w : w, top ? -h : h,
             memory, 0, 0, w, h, SRCCOPY);
}
