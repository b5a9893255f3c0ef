// The button-like elements of the band row, the header panel and the indicator column:
// faces in the three looks, header buttons with their drop-down mark, sort arrow,
// glyph and caption, corner and indicator buttons, and sunken frames.
//
// Decision taken here: the etched sort triangle is drawn as two parallel shadow lines
// along its left edge and single highlight lines along the others, its apex on the
// middle column of its 9 x 8 box.
#include <algorithm>

#include "classlib/Bitmap.h"
#include "classlib/Canvas.h"
#include "classlib/GdiHandles.h"
#include "classlib/ImageList.h"
#include "editors/DxUtils.h"
#include "treelist/DxTreeListDraw.h"

namespace {

void FillSys(HDC dc, const TRect& r, int index) { FillRect(dc, &r, GetSysColorBrush(index)); }

void Edge(HDC dc, TRect& r, UINT edge, UINT flags) { DrawEdge(dc, &r, edge, flags); }

// A one-pixel line of the selected pen from (x1, y1) to (x2, y2), both ends drawn.
void Line(HDC dc, int x1, int y1, int x2, int y2) {
  MoveToEx(dc, x1, y1, nullptr);
  LineTo(dc, x2, y2);
  LineTo(dc, x2 + 1, y2);  // the end point alone
}

}  // namespace

void DrawButtonFace(HDC dc, TRect& rect, HBRUSH brush, TdxLookAndFeel look, int position, bool pressed) {
  if (look == lfStandard) {
    Edge(dc, rect, BDR_RAISEDOUTER, BF_RIGHT | BF_BOTTOM | BF_ADJUST);
    if (pressed) {
      Edge(dc, rect, BDR_SUNKENOUTER, BF_LEFT | BF_TOP | BF_ADJUST);
    } else {
      Edge(dc, rect, BDR_RAISEDINNER, BF_RIGHT | BF_BOTTOM | BF_ADJUST);
      Edge(dc, rect, BDR_RAISEDINNER, BF_LEFT | BF_TOP | BF_ADJUST);
    }
    FillRect(dc, &rect, brush);
    return;
  }
  if (position == 0) {
    if (look == lfFramed) {
      FrameRect(dc, &rect, GetSysColorBrush(COLOR_BTNSHADOW));
      InflateRect(&rect, -1, -1);
    } else {
      Edge(dc, rect, BDR_RAISEDINNER, BF_RECT | BF_ADJUST);
    }
    FillRect(dc, &rect, brush);
    InflateRect(&rect, -1, 0);
    return;
  }
  // A button of a multi-row header: its horizontal edges are shared with the rows above
  // and below, its vertical edges are inset where it meets them.
  FillRect(dc, &rect, brush);
  TRect copy = rect;
  if (look == lfFramed)
    Edge(dc, copy, BDR_SUNKENOUTER, BF_TOP | BF_BOTTOM | BF_FLAT);
  else
    Edge(dc, copy, BDR_RAISEDINNER, BF_TOP | BF_BOTTOM);
  if (look == lfFlat) {
    const int inset = position == 1 || position == 3 ? 2 : 1;
    TRect left{copy.left, copy.top + inset, copy.right, copy.bottom - inset};
    Edge(dc, left, BDR_RAISEDINNER, BF_LEFT);
  }
  TRect right = copy;
  if (position == 2 || position == 3) {
    right.top += 2;
    right.bottom -= 2;
  } else {
    right.bottom -= 1;
  }
  Edge(dc, right, BDR_RAISEDINNER, BF_RIGHT);
  InflateRect(&rect, -2, -1);
}

void DrawCornerButton(HDC dc, const TRect& rect, HBRUSH brush, TdxLookAndFeel look, bool pressed) {
  TRect face = rect;
  if (look == lfFramed) {
    Edge(dc, face, BDR_SUNKENOUTER, BF_TOP | BF_RIGHT | BF_BOTTOM | BF_FLAT | BF_ADJUST);
    FillRect(dc, &face, brush);
    if (pressed)
      InvertRect(dc, &rect);
    return;
  }
  DrawButtonFace(dc, face, brush, look, /*position=*/0, pressed);
  if (pressed && look == lfFlat)
    InvertRect(dc, &rect);
}

UINT HeaderTextFlags(HDC dc, const TdxHeaderButton& button, int contentWidth) {
  UINT align = DT_LEFT;
  if (button.Alignment == taRightJustify)
    align = DT_RIGHT;
  else if (button.Alignment == taCenter)
    align = DT_CENTER;
  if (button.MultiLine)
    return DT_NOPREFIX | DT_EXPANDTABS | DT_WORDBREAK | align;
  UINT flags = DT_END_ELLIPSIS | DT_NOPREFIX | DT_EXPANDTABS | DT_SINGLELINE | DT_VCENTER | align;
  SIZE extent{};
  GetTextExtentPoint32A(dc, button.Text.c_str(), static_cast<int>(button.Text.size()), &extent);
  if (extent.cx <= contentWidth)
    flags |= DT_NOCLIP;
  return flags;
}

void DrawHeaderButton(HDC dc, const TRect& rect, const TdxHeaderButton& button) {
  TRect content = rect;
  DrawButtonFace(dc, content, button.Brush, button.Look, button.Position, button.Pressed);
  const bool pushedIn = button.Pressed && button.Look == lfStandard;
  if (pushedIn) {
    content.left += 3;
    content.top += 3;
  } else {
    InflateRect(&content, -1, -1);
  }
  content.bottom -= 1;
  if (button.DropDownState != 0 && RectWidth(content) >= 15) {
    DrawDropDownMark(dc, TRect{content.right - 15, content.top, content.right, content.bottom},
                     button.DropDownState);
    content.right -= 15;
  }
  if (button.Sorted != csNone && RectWidth(content) >= 16) {
    DrawSortArrow(dc, TRect{content.right - 16, content.top, content.right, content.bottom}, button.Sorted == csUp);
    content.right -= 16;
  }
  if (button.Glyph && !button.Glyph->GetEmpty() && RectWidth(content) > 0) {
    TRect glyph{content.left - 1, content.top - 1, content.left + button.Glyph->GetWidth(),
                content.bottom + 2 - (pushedIn ? 1 : 0)};
    const bool flat = button.Look != lfStandard;
    if (flat)
      OffsetRect(&glyph, -1, 0);
    glyph.right = std::min<int>(glyph.right, content.right + (pushedIn ? 0 : 1) + (flat ? 1 : 0));
    DrawBitmapWithBackground(dc, button.Brush, glyph, button.Glyph);
    content.left = glyph.right;
  }
  const int mode = SetBkMode(dc, TRANSPARENT);
  DrawTextA(dc, button.Text.c_str(), static_cast<int>(button.Text.size()), &content,
            HeaderTextFlags(dc, button, RectWidth(content)));
  SetBkMode(dc, mode);
}

void DrawHeaderButtonBuffered(HDC dc, const TRect& rect, const TRect& clipped, const TdxHeaderButton& button,
                              TBitmap* bitmap) {
  DrawThroughBitmap(dc, rect, clipped, bitmap, [&](HDC mem, const TRect& whole) {
    DrawHeaderButton(mem, whole, button);
    if (button.Look != lfStandard && button.Pressed)
      PatBlt(mem, 0, 0, RectWidth(whole), RectHeight(whole), DSTINVERT);
  });
}

void DrawIndicatorButtonBuffered(HDC dc, const TRect& rect, const TRect& clipped, TdxLookAndFeel look, int image,
                                 TBitmap* bitmap, HBRUSH brush) {
  DrawThroughBitmap(dc, rect, clipped, bitmap, [&](HDC mem, const TRect& whole) {
    TRect face = whole;
    if (look == lfFramed) {
      Edge(mem, face, BDR_SUNKENOUTER, BF_RIGHT | BF_BOTTOM | BF_FLAT | BF_ADJUST);
      FillRect(mem, &face, brush);
      InflateRect(&face, -1, 0);
    } else {
      DrawButtonFace(mem, face, brush, look, /*position=*/0, /*pressed=*/false);
    }
    TImageList* images = DxTreeListIndicatorImages();
    if (image > 0 && images && image - 1 < images->GetCount())
      DrawImageListImage(mem, (RectWidth(whole) - images->GetWidth()) / 2,
                         (RectHeight(whole) - images->GetHeight()) / 2, images, image - 1);
  });
}

void DrawSortArrow(HDC dc, const TRect& rect, bool up) {
  const int cx = (rect.left + rect.right) / 2;
  const int cy = (rect.top + rect.bottom) / 2;
  const int top = cy - 3;
  const int bottom = cy + 4;
  const int apexY = up ? top : bottom;
  const int baseY = up ? bottom : top;
  TSaveDCGuard state(dc);
  {
    TPenHandle shadow(CreatePen(PS_SOLID, 1, GetSysColor(COLOR_BTNSHADOW)));
    SelectObject(dc, shadow.Get());
    Line(dc, cx - 4, baseY, cx, apexY);
    Line(dc, cx - 3, baseY, cx + 1, apexY);
    SelectObject(dc, GetStockObject(BLACK_PEN));
  }
  TPenHandle light(CreatePen(PS_SOLID, 1, GetSysColor(COLOR_BTNHIGHLIGHT)));
  SelectObject(dc, light.Get());
  Line(dc, cx, apexY, cx + 4, baseY);
  Line(dc, cx - 4, baseY, cx + 4, baseY);
  SelectObject(dc, GetStockObject(BLACK_PEN));
}

void DrawDropDownMark(HDC dc, const TRect& rect, uint8_t state) {
  FrameRect(dc, &rect, GetSysColorBrush(COLOR_BTNSHADOW));
  TRect inner = rect;
  InflateRect(&inner, -1, -1);
  const int face = state & 4 ? COLOR_BTNTEXT : state & 2 ? COLOR_BTNSHADOW : COLOR_BTNFACE;
  FillSys(dc, inner, face);
  int width = RectWidth(inner) / 2;
  if (width % 2 == 0)
    width += 1;
  if (width <= 0)
    return;
  COLORREF ink = GetSysColor(COLOR_BTNTEXT);
  if (state & 6)
    ink = GetSysColor(COLOR_WINDOW);
  else if (state & 8)
    ink = RGB(0, 0, 255);
  TBrushHandle brush(CreateSolidBrush(ink));
  const int rows = (width + 1) / 2;
  const int left = inner.left + (RectWidth(inner) - width) / 2;
  const int top = inner.top + (RectHeight(inner) - rows) / 2;
  for (int row = 0; row < rows; ++row) {
    const TRect span{left + row, top + row, left + width - row, top + row + 1};
    FillRect(dc, &span, brush.Get());
  }
}

void DrawSunkenFrame(HDC dc, const TRect& rect, TdxLookAndFeel look) {
  if (look == lfFramed) {
    FrameRect(dc, &rect, GetSysColorBrush(COLOR_BTNSHADOW));
    return;
  }
  TRect r = rect;
  DrawEdge(dc, &r, BDR_SUNKENOUTER, BF_RECT);
}
