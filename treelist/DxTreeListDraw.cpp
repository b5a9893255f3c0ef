// The tree list's shared images and its tree-area and cell primitives.
//
// Decisions taken here:
// - The right-justified and centred text of a cell drawn through ExtTextOut is placed
//   inside its text rectangle (the cell less its 2-pixel margins): right-justified text
//   ends at the right margin, centred text is centred between the margins.
// - Buffered cell and preview text is composed in the top-left corner of the shared
//   header bitmap, which only ever grows, and copied to the cell.
#include "treelist/DxTreeListDraw.h"

#include <algorithm>
#include <cassert>
#include <string>
#include <utility>
#include <vector>
#include <memory>

#include "classlib/Bitmap.h"
#include "classlib/Canvas.h"
#include "classlib/Forms.h"
#include "classlib/GdiHandles.h"
#include "classlib/ImageList.h"
#include "classlib/UtilWindow.h"
#include "editors/DxExEdtr.h"
#include "editors/DxUtils.h"

namespace {

const char* const kIndicatorBitmaps[] = {"DXGRID_ARROW", "DXGRID_EDIT", "DXGRID_INSERT", "DXGRID_MULTIDOT",
                                         "DXGRID_MULTIARROW"};
constexpr int kExpandGlyphSize = 12;

// The cursors of the module's resources and their screen cursor numbers.
const std::pair<const char*, TCursor> kCursors[] = {
    {"DXTLDELETECURSOR", crDxTreeListDelete},
    {"DXTL_FULLSCROLLCURSOR", crDxTreeListFullScroll},
    {"DXTL_HORSCROLLCURSOR", crDxTreeListHorzScroll},
    {"DXTL_VERSCROLLCURSOR", crDxTreeListVertScroll},
    {"DXTL_UPSCROLLCURSOR", crDxTreeListUpScroll},
    {"DXTL_RIGHTSCROLLCURSOR", crDxTreeListRightScroll},
    {"DXTL_DOWNSCROLLCURSOR", crDxTreeListDownScroll},
    {"DXTL_LEFTSCROLLCURSOR", crDxTreeListLeftScroll},
    {"DXTL_DRAGCOPY", crDxTreeListDragCopy},
    {"DXTL_MULTIDRAGCOPY", crDxTreeListMultiDragCopy}};

int gStarts = 0;
std::string gCustomizeTexts[3];
std::unique_ptr<TImageList> gIndicatorImages;
std::unique_ptr<TBitmap> gPlusGlyph;
std::unique_ptr<TBitmap> gMinusGlyph;
std::unique_ptr<TClientDC> gMeasureDC;

// A cursor from the bytes of a cursor file kept as a data resource.
HCURSOR LoadCursorFile(HINSTANCE instance, const char* name) {
  HRSRC info = FindResourceA(instance, name, MAKEINTRESOURCEA(10));  // RT_RCDATA
  HGLOBAL data = info ? LoadResource(instance, info) : nullptr;
  const auto* bytes = data ? static_cast<const uint8_t*>(LockResource(data)) : nullptr;
  const DWORD size = info ? SizeofResource(instance, info) : 0;
  if (!bytes || size < 22)
    return nullptr;
  auto u16 = [bytes](size_t at) { return uint16_t(bytes[at] | bytes[at + 1] << 8); };
  auto u32 = [&](size_t at) { return uint32_t(u16(at) | uint32_t(u16(at + 2)) << 16); };
  const uint32_t offset = u32(18);
  const uint32_t length = u32(14);
  if (u16(2) != 2 || offset > size || length > size - offset)
    return nullptr;
  // The image as a cursor resource has it: the hot spot first, then the bitmap.
  std::vector<uint8_t> image(4 + length);
  image[0] = bytes[10];
  image[1] = bytes[11];
  image[2] = bytes[12];
  image[3] = bytes[13];
  std::copy(bytes + offset, bytes + offset + length, image.begin() + 4);
  return CreateIconFromResourceEx(image.data(), DWORD(image.size()), FALSE, 0x00030000, 0, 0, LR_DEFAULTCOLOR);
}

void FillSys(HDC dc, const TRect& r, int index) { FillRect(dc, &r, GetSysColorBrush(index)); }

// A raised 12 x 12 button face with the minus bar, and for plus the vertical bar.
void DrawExpandGlyph(TBitmap* glyph, bool plus) {
  glyph->SetSize(kExpandGlyphSize, kExpandGlyphSize);
  HDC dc = glyph->GetCanvas()->GetHandle();
  TRect r{0, 0, kExpandGlyphSize, kExpandGlyphSize};
  DrawEdge(dc, &r, BDR_RAISEDINNER, BF_LEFT | BF_TOP);
  DrawEdge(dc, &r, BDR_RAISEDOUTER, BF_RIGHT | BF_BOTTOM);
  InflateRect(&r, -1, -1);
  DrawEdge(dc, &r, BDR_RAISEDINNER, BF_RIGHT | BF_BOTTOM);
  r.right -= 1;
  r.bottom -= 1;
  FillSys(dc, r, COLOR_BTNFACE);
  FillSys(dc, TRect{3, 5, 8, 6}, COLOR_BTNTEXT);
  if (plus)
    FillSys(dc, TRect{5, 3, 6, 8}, COLOR_BTNTEXT);
}

// Runs `draw` on `dc` at `rect`, or, buffered, through the bitmap.
void DrawMaybeBuffered(HDC dc, const TRect& rect, bool buffered, TBitmap* bitmap,
                       const std::function<void(HDC, const TRect&)>& draw) {
  if (buffered && bitmap)
    DrawThroughBitmap(dc, rect, rect, bitmap, draw);
  else
    draw(dc, rect);
}

UINT AlignmentFlag(TAlignment alignment) {
  switch (alignment) {
    case taRightJustify: return DT_RIGHT;
    case taCenter: return DT_CENTER;
    default: return DT_LEFT;
  }
}

}  // namespace

void DrawThroughBitmap(HDC dc, const TRect& rect, const TRect& clipped, TBitmap* bitmap,
                       const std::function<void(HDC, const TRect&)>& draw) {
  const int width = RectWidth(rect);
  const int height = RectHeight(rect);
  if (width <= 0 || height <= 0 || IsRectEmpty(&clipped))
    return;
  EnsureMinSize(bitmap, width, height);
  HDC mem = bitmap->GetCanvas()->GetHandle();
  {
    TSaveDCGuard state(mem);
    SelectObject(mem, GetCurrentObject(dc, OBJ_FONT));
    SetTextColor(mem, GetTextColor(dc));
    SetBkColor(mem, GetBkColor(dc));
    SetBkMode(mem, GetBkMode(dc));
    draw(mem, TRect{0, 0, width, height});
  }
  BitBlt(dc, clipped.left, clipped.top, RectWidth(clipped), RectHeight(clipped), mem, clipped.left - rect.left,
         clipped.top - rect.top, SRCCOPY);
}

// ---- The unit

void InitializeDxTreeList() {
  if (gStarts++ > 0)
    return;
  gIndicatorImages = LoadGlyphList(ClassLibInstance(), kIndicatorBitmaps, clWhite);
  gPlusGlyph = std::make_unique<TBitmap>();
  gMinusGlyph = std::make_unique<TBitmap>();
  RebuildDxTreeListExpandGlyphs();
  gMeasureDC = std::make_unique<TClientDC>(nullptr);
  // The screen's cursor table owns the cursors from here on.
  assert(Screen && "the forms unit starts before the tree list");
  for (const auto& [name, id] : kCursors) {
    if (HCURSOR cursor = LoadCursorFile(ClassLibInstance(), name))
      Screen->SetCursors(id, cursor);
  }
  gCustomizeTexts[0] = DxLoadStr(38802);
  gCustomizeTexts[1] = DxLoadStr(38809);
  gCustomizeTexts[2] = DxLoadStr(38810);
}

void FinalizeDxTreeList() {
  if (gStarts == 0 || --gStarts > 0)
    return;
  for (std::string& text : gCustomizeTexts)
    text.clear();
  if (Screen) {
    for (const auto& [name, id] : kCursors)
      Screen->SetCursors(id, nullptr);
  }
  gMeasureDC.reset();
  gMinusGlyph.reset();
  gPlusGlyph.reset();
  gIndicatorImages.reset();
}

TImageList* DxTreeListIndicatorImages() { return gIndicatorImages.get(); }

const std::string& DxTreeListCustomizeText(int index) {
  assert(index >= 0 && index < 3 && "the customizing window has three texts");
  return gCustomizeTexts[index];
}

TBitmap* DxTreeListExpandGlyph(bool plus) { return plus ? gPlusGlyph.get() : gMinusGlyph.get(); }

void RebuildDxTreeListExpandGlyphs() {
  if (gPlusGlyph)
    DrawExpandGlyph(gPlusGlyph.get(), /*plus=*/true);
  if (gMinusGlyph)
    DrawExpandGlyph(gMinusGlyph.get(), /*plus=*/false);
}

// ---- Tree-area primitives

void DrawExpandButton(HDC dc, const TRect& rect, int y, bool plus) {
  const int left = (rect.left + rect.right - 9) / 2;
  const int top = y - 4;
  const TRect box{left, top, left + 9, top + 9};
  FrameRect(dc, &box, GetSysColorBrush(COLOR_GRAYTEXT));
  FillSys(dc, TRect{box.left + 2, box.top + 4, box.right - 2, box.top + 5}, COLOR_WINDOWTEXT);
  if (plus)
    FillSys(dc, TRect{box.left + 4, box.top + 2, box.left + 5, box.bottom - 2}, COLOR_WINDOWTEXT);
}

void DrawExpandButton3D(HDC dc, const TRect& rect, bool plus) {
  const int left = (rect.left + rect.right - 11) / 2;
  const int top = (rect.top + rect.bottom - 11) / 2;
  // The shadow: a flat edge along the right and bottom of the box moved by one pixel.
  TRect shadow{left + 1, top + 1, left + 11, top + 11};
  DrawEdge(dc, &shadow, BDR_RAISEDOUTER, BF_RIGHT | BF_BOTTOM | BF_FLAT);
  const TRect box{left, top, left + 10, top + 10};
  FrameRect(dc, &box, GetSysColorBrush(COLOR_WINDOWFRAME));
  FillSys(dc, TRect{left + 3, top + 5, left + 8, top + 6}, COLOR_WINDOWFRAME);
  if (plus)
    FillSys(dc, TRect{left + 5, top + 3, left + 6, top + 8}, COLOR_WINDOWFRAME);
}

// ---- Text

void DrawCellText(HDC dc, const TRect& rect, const TdxCellTextParams& params, const std::string& text,
                  TBitmap* bitmap) {
  if (IsRectEmpty(&rect))
    return;
  const COLORREF bk = ColorToRGB(params.BkColor);
  const bool pure = GetNearestColor(dc, bk) == bk;
  const bool throughDrawText = (!params.DirectOutput && (params.EndEllipsis || params.MultiLine)) || !pure;
  const int inset = params.TwoPixelInset ? 2 : 1;
  const int length = static_cast<int>(text.size());
  TSaveDCGuard state(dc);
  SetBkColor(dc, bk);
  if (throughDrawText) {
    DrawMaybeBuffered(dc, rect, params.Buffered, bitmap, [&](HDC target, const TRect& r) {
      FillRect(target, &r, params.Brush);
      SetBkMode(target, TRANSPARENT);
      TRect textRect = r;
      InflateRect(&textRect, -2, -inset);
      UINT flags = DT_NOPREFIX | DT_EXPANDTABS | AlignmentFlag(params.Alignment);
      flags |= params.MultiLine ? DT_WORDBREAK : DT_SINGLELINE | DT_VCENTER;
      if (params.EndEllipsis)
        flags |= DT_END_ELLIPSIS;
      DrawTextA(target, text.c_str(), length, &textRect, flags);
    });
    return;
  }
  DrawMaybeBuffered(dc, rect, params.Buffered, bitmap, [&](HDC target, const TRect& r) {
    SIZE extent{};
    GetTextExtentPoint32A(target, text.c_str(), length, &extent);
    TRect textRect = r;
    textRect.right -= 2;
    if (params.Alignment != taLeftJustify)
      textRect.left += 2;
    int x = r.left + 2;
    if (params.Alignment == taRightJustify)
      x = textRect.right - extent.cx;
    else if (params.Alignment == taCenter)
      x = textRect.left + RectWidth(textRect) / 2 - extent.cx / 2;
    UINT options = ETO_CLIPPED;
    if (params.DirectOutput)
      SetBkMode(target, OPAQUE);
    else
      options |= ETO_OPAQUE;
    ExtTextOutA(target, x, r.top + inset, options, &textRect, text.c_str(), static_cast<UINT>(length), nullptr);
    if (params.DirectOutput)
      return;
    const TRect leftMargin{r.left, r.top, textRect.left, r.bottom};
    const TRect rightMargin{textRect.right, r.top, r.right, r.bottom};
    FillRect(target, &leftMargin, params.Brush);
    FillRect(target, &rightMargin, params.Brush);
  });
}

void DrawPreviewText(HDC dc, const TRect& rect, bool buffered, const TdxPreviewText& preview, TBitmap* bitmap) {
  if (IsRectEmpty(&rect))
    return;
  TSaveDCGuard state(dc);
  SelectObject(dc, preview.Font);
  SetTextColor(dc, ColorToRGB(preview.Color));
  DrawMaybeBuffered(dc, rect, buffered, bitmap, [&](HDC target, const TRect& r) {
    FillRect(target, &r, preview.Brush);
    SetBkMode(target, TRANSPARENT);
    TRect textRect = r;
    InflateRect(&textRect, -1, -1);
    textRect.left += preview.Indent;
    DrawTextA(target, preview.Text.c_str(), static_cast<int>(preview.Text.size()), &textRect,
              DT_END_ELLIPSIS | DT_NOPREFIX | DT_EXPANDTABS | DT_WORDBREAK);
  });
}

int MeasureTextLines(const std::string& text, int width, int lineHeight, int& height, int reduce,
                     bool twoPixelInset, TFont* font, int maxLines) {
  height = 0;
  if (text.empty() || maxLines == 0)
    return 0;
  std::unique_ptr<TClientDC> screen;
  HDC dc = gMeasureDC ? gMeasureDC->Get() : (screen = std::make_unique<TClientDC>(nullptr))->Get();
  TSelectGuard select(dc, font ? font->GetHandle() : nullptr);
  TRect r{0, 0, width - reduce, 0};
  InflateRect(&r, -2, -(twoPixelInset ? 2 : 1));
  int measured = DrawTextA(dc, text.c_str(), static_cast<int>(text.size()), &r,
                           DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX | DT_EXPANDTABS);
  if (lineHeight == 0) {
    SIZE wg{};
    GetTextExtentPoint32A(dc, "Wg", 2, &wg);
    lineHeight = wg.cy;
  }
  int lines = lineHeight > 0 ? measured / lineHeight : 0;
  if (maxLines != -1 && lines > maxLines) {
    lines = maxLines;
    measured = maxLines * lineHeight;
  }
  height = measured + 3;
  return lines;
}

// ---- Frames and images

void DrawFocusFrame(HDC dc, const TRect& rect) {
  const COLORREF bk = SetBkColor(dc, RGB(0, 0, 0));
  const COLORREF text = SetTextColor(dc, RGB(255, 255, 255));
  DrawFocusRect(dc, &rect);
  SetBkColor(dc, bk);
  SetTextColor(dc, text);
}

void InvertFrame(HDC dc, const TRect& rect) {
  const TRect parts[] = {
      {rect.left, rect.top, rect.right, rect.top + 1},
      {rect.right - 1, rect.top + 1, rect.right, rect.bottom},
      {rect.left, rect.top + 1, rect.left + 1, rect.bottom},
      {rect.left + 1, rect.bottom - 1, rect.right - 1, rect.bottom},
  };
  for (const TRect& part : parts) {
    if (!IsRectEmpty(&part))
      InvertRect(dc, &part);
  }
}

void DrawImageCentered(TCanvas* canvas, const TRect& rect, TCustomImageList* images, int index) {
  if (!images || index < 0 || index >= images->GetCount())
    return;
  images->Draw(canvas, (rect.left + rect.right - images->GetWidth() + 1) / 2,
               (rect.top + rect.bottom - images->GetHeight() + 1) / 2, index);
}

void DrawGraphicCentered(TCanvas* canvas, const TRect& rect, TGraphic* graphic) {
  if (!graphic || graphic->GetEmpty())
    return;
  canvas->Draw((rect.left + rect.right - graphic->GetWidth() + 1) / 2,
               (rect.top + rect.bottom - graphic->GetHeight() + 1) / 2, graphic);
}
