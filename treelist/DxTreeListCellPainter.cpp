// Cell drawing: a data cell (or a cell of the new-item row) is offered to the custom-draw
// queries, described in the painter's cell view data and painted from it by the cell's
// editor class; text cells (group rows, footer values) are drawn as text; a row's
// preview is drawn in the preview font. The incremental search highlights the matched
// start of the searched cell and frames it.
//
// Decisions taken here:
// - The base control paints a cell's view data as the text editor it edits every cell
//   with: the editor class's Draw on the cell (the view data's bounds reach 2 pixels
//   beyond the cell, where a frameless editor has its inner rectangle), with the
//   editor's margins, and the column's vertical alignment (word-wrapped lines for
//   multi-line cells).
// - The matched part of the incremental search is the cell painted again in the match
//   colours, clipped to the width of the matched characters where the text starts.
#include "treelist/DxTreeListCellPainter.h"

#include <algorithm>
#include <memory>

#include "classlib/Canvas.h"
#include "classlib/GdiHandles.h"
#include "classlib/Variants.h"
#include "editors/DxEditViewData.h"
#include "treelist/DxTreeList.h"
#include "treelist/DxTreeListDraw.h"
#include "treelist/DxTreeListPaintPass.h"

namespace {

// The RGB complement of a colour.
TColor Complement(TColor color) { return static_cast<TColor>(~ColorToRGB(color) & 0x00FFFFFF); }

// The canvas font of one cell. With a custom-draw handler or a column font of its own it
// is saved in the spare font first (without an own font in the text colour) and put
// back at the end; an own font is taken in, in the text colour when the cell is
// highlighted, else giving the text colour.
class TCellFontScope {
 public:
  TCellFontScope(TFont* font, TFont* spare, bool custom, TFont* ownFont, bool highlighted, TColor& textColor)
      : FFont(font), FSpare(spare), FActive(custom || ownFont), FCustom(custom) {
    if (FActive) {
      if (!ownFont)
        font->SetColor(textColor);
      spare->Assign(font);
      if (ownFont) {
        font->Assign(ownFont);
        if (highlighted)
          font->SetColor(textColor);
        else
          textColor = font->GetColor();
      }
    }
    FColorBefore = font->GetColor();
  }
  ~TCellFontScope() {
    if (FActive)
      FFont->Assign(FSpare);
  }
  TCellFontScope(const TCellFontScope&) = delete;
  TCellFontScope& operator=(const TCellFontScope&) = delete;

  // After a custom-draw handler: its colour, when its RGB value differs from the one it
  // was given, becomes the canvas brush, and a font colour it changed the text colour.
  // Answers the brush to paint with.
  HBRUSH TakeHandlerChanges(TCanvas* canvas, TColor given, TColor answered, HBRUSH brush, TColor& textColor) const {
    if (!FCustom)
      return brush;
    if (ColorToRGB(answered) != ColorToRGB(given)) {
      canvas->GetBrush()->SetColor(answered);
      brush = canvas->GetBrush()->GetHandle();
    }
    if (FFont->GetColor() != FColorBefore)
      textColor = FFont->GetColor();
    return brush;
  }

 private:
  TFont* FFont;
  TFont* FSpare;
  bool FActive;
  bool FCustom;
  TColor FColorBefore = clNone;
};

TdxVertAlignment VertAlignmentOf(TTextLayout layout) {
  switch (layout) {
    case tlCenter: return vaCenter;
    case tlBottom: return vaBottom;
    default: return vaTop;
  }
}

}  // namespace

// ---- The control's cell painting

void TCustomdxTreeList::DrawCell(TCanvas* canvas, const TRect& rect, TBitmap* headerBitmap, TdxTreeListNode* node,
                                 int32_t column, bool highlighted, bool cellFocused, TColor color, TColor textColor,
                                 HBRUSH brush, bool multiLine, uint8_t kind, bool entryFlag1, bool entryFlag2,
                                 TColor columnColor, HBRUSH columnBrush) {
  TdxTreeListCellPainter(*this).DrawCell(canvas, rect, headerBitmap, node, column, highlighted, cellFocused, color,
                                         textColor, brush, multiLine, kind, entryFlag1, entryFlag2, columnColor,
                                         columnBrush);
}

void TCustomdxTreeList::DrawTextCell(TCanvas* canvas, const TRect& rect, HBRUSH brush, TColor color, TColor textColor,
                                     bool focused, TdxTreeListNode* node, int32_t column, int32_t footerIndex,
                                     uint8_t kind, TBitmap* headerBitmap) {
  TdxTreeListCellPainter(*this).DrawTextCell(canvas, rect, brush, color, textColor, focused, node, column, footerIndex,
                                             kind, headerBitmap);
}

void TCustomdxTreeList::DrawPreview(TCanvas* canvas, const TRect& rect, TBitmap* headerBitmap, TdxTreeListNode* node,
                                    TColor color, TColor textColor, HBRUSH brush, bool selected) {
  TdxTreeListCellPainter(*this).DrawPreview(canvas, rect, headerBitmap, node, color, textColor, brush, selected);
}

void TCustomdxTreeList::DrawCellViewData(TCanvas* canvas, const TRect& rect, TdxTreeListCellViewData* viewData,
                                         int32_t column) {
  TdxTreeListCellPainter(*this).DrawCellViewData(canvas, rect, viewData, column);
}

void TCustomdxTreeList::DrawEditViewData(TCanvas* canvas, const TRect& rect, const TdxTreeListCellViewData* viewData,
                                         const TdxInplaceEditClass& editClass, TdxEditViewData* data) {
  TdxTreeListCellPainter(*this).DrawEditViewData(canvas, rect, viewData, editClass, data);
}

// ---- The cells

int32_t TdxTreeListCellPainter::GetCellTextWidth(TCanvas* canvas, TdxTreeListNode* node, int32_t column) {
  if (!FControl.IsColumnOwnFont(column))
    return 0;
  std::string text;
  FControl.GetCellText(node, column, text);
  FControl.GetPainter().GetSpareFont()->Assign(canvas->GetFont());
  canvas->SetFont(FControl.GetColumnFont(column));
  const int width = canvas->TextWidth(text) + 3;
  canvas->SetFont(FControl.GetPainter().GetSpareFont());
  return width;
}

void TdxTreeListCellPainter::DrawCell(TCanvas* canvas, const TRect& rect, TBitmap* headerBitmap, TdxTreeListNode* node,
                                      int32_t column, bool highlighted, bool cellFocused, TColor color,
                                      TColor textColor, HBRUSH brush, bool multiLine, uint8_t kind, bool entryFlag1,
                                      bool entryFlag2, TColor columnColor, HBRUSH columnBrush) {
  WithNodePaint(&FControl, node, [&] {
    std::string text;
    if (kind != 0 && kind != 3)
      FControl.GetDisplayText(column, text);
    else
      FControl.GetCellText(node, column, text);
    TAlignment alignment = FControl.GetColumnAlignment(node, column);
    const bool ownFont = (kind == 0 || kind == 2) && FControl.IsColumnOwnFont(column);
    const bool custom = FControl.IsCustomDrawCell(node, column);
    TFont* font = canvas->GetFont();
    const TCellFontScope fontScope(font, FControl.GetPainter().GetSpareFont(), custom,
                                   ownFont ? FControl.GetColumnFont(column) : nullptr, highlighted, textColor);
    bool done = false;
    TColor cellColor = color;
    FControl.DoCustomDrawCell(canvas, rect, node, column, highlighted, cellFocused, kind == 2, entryFlag1, entryFlag2,
                              brush, text, cellColor, font, alignment, done);
    if (done)
      return;
    const HBRUSH cellBrush = fontScope.TakeHandlerChanges(canvas, color, cellColor, brush, textColor);
    TdxTreeListCellViewData& view = *FControl.GetPainter().GetCellViewData();
    view.Brush = cellBrush;
    view.Font = font->GetHandle();
    view.Color = cellColor;
    view.TextColor = textColor;
    view.Alignment = alignment;
    view.Text = text;
    view.MatchLength = 0;
    view.Highlighted = highlighted;
    view.OptionFlag = FControl.GetOptionsEx().Contains(aoOptionsEx0);
    view.EntryFlag1 = entryFlag1;
    view.EntryFlag2 = entryFlag2;
    view.MultiLine = multiLine;
    view.SearchPass = false;
    view.DisplayFlag = FControl.IsOptions9();
    view.Node = node;
    view.NewItemFlag = kind == 2 && !FControl.IsColumnVisible(column);
    view.SelectionColor = cellFocused ? FControl.GetHighlightColor() : FControl.GetHideSelectionColor();
    view.ColumnBrush = columnBrush;
    view.ColumnColor = columnColor;
    view.HotFlag = FControl.IsHotCell(node, column);
    view.Bounds = TRect{-2, -2, RectWidth(rect) + 2, RectHeight(rect) + 2};
    FControl.DrawCellViewData(canvas, rect, &view, column);
    DrawSearchPass(canvas, rect, column, kind, cellFocused, entryFlag1, entryFlag2, [&] {
      FControl.DrawCellViewData(canvas, rect, &view, column);
    });
  });
}

template <class TRedraw>
void TdxTreeListCellPainter::DrawSearchPass(TCanvas* canvas, TRect rect, int32_t column, uint8_t kind,
                                            bool cellFocused, bool entryFlag1, bool entryFlag2, TRedraw&& redraw) {
  if (!FControl.GetKeyboard().GetSearching() || !cellFocused || kind != 0 ||
      column != FControl.GetKeyboard().GetSearchColumn())
    return;
  if (!FControl.GetKeyboard().GetSearchText().empty()) {
    TdxTreeListCellViewData& view = *FControl.GetPainter().GetCellViewData();
    view.Color = FControl.GetSearchMatchColor() == clNone ? Complement(view.Color) : FControl.GetSearchMatchColor();
    view.TextColor =
        FControl.GetSearchMatchTextColor() == clNone ? Complement(view.TextColor) : FControl.GetSearchMatchTextColor();
    TBrushHandle brush(CreateSolidBrush(ColorToRGB(view.Color)));
    view.Brush = brush.Get();
    view.MatchLength = static_cast<int32_t>(std::min(FControl.GetKeyboard().GetSearchText().size(), view.Text.size()));
    view.SearchPass = true;
    redraw();
    view.Brush = nullptr;
  }
  InflateRect(&rect, -1, -1);
  if (FControl.GetOptions().Contains(aoRowSelect) || FControl.GetOptionsEx().Contains(aoOptionsEx0)) {
    if (!entryFlag1)
      rect.left -= 1;
    if (!entryFlag2)
      rect.right += 1;
  }
  DrawFocusFrame(canvas->GetHandle(), rect);
}

void TdxTreeListCellPainter::DrawCellViewData(TCanvas* canvas, const TRect& rect, TdxTreeListCellViewData* viewData,
                                              int32_t column) {
  const TdxInplaceEditClass& editClass = TdxInplaceTreeListTextEdit::MetaClass();
  std::unique_ptr<TdxEditViewData> data(editClass.NewViewData());
  TdxEditViewData& v = *data;
  v.Enabled = true;
  v.HasTextArea = true;
  v.BorderStyle = xbsNone;
  v.Edges = dxAllEdges;
  v.Bounds = viewData->Bounds;
  v.Margins = TRect{1, 0, 0, 0};
  v.Alignment = viewData->Alignment;
  v.VertAlignment = viewData->MultiLine ? vaWordWrap : VertAlignmentOf(FControl.GetColumnVertAlignment(column));
  v.Brush = viewData->Brush;
  v.Color = ColorToRGB(viewData->Color);
  v.Font = viewData->Font;
  v.TextColor = ColorToRGB(viewData->TextColor);
  v.Value = Variant(viewData->Text);
  DrawEditViewData(canvas, rect, viewData, editClass, &v);
}

void TdxTreeListCellPainter::DrawEditViewData(TCanvas* canvas, const TRect& rect,
                                              const TdxTreeListCellViewData* viewData,
                                              const TdxInplaceEditClass& editClass, TdxEditViewData* data) {
  HDC dc = canvas->GetHandle();
  TSaveDCGuard state(dc);
  IntersectClipRect(dc, rect.left, rect.top, rect.right, rect.bottom);
  OffsetWindowOrgEx(dc, -rect.left, -rect.top, nullptr);
  if (viewData->SearchPass) {
    // Only the matched characters, where the text starts.
    TSelectGuard font(dc, viewData->Font);
    SIZE whole{}, matched{};
    GetTextExtentPoint32A(dc, viewData->Text.c_str(), static_cast<int>(viewData->Text.size()), &whole);
    GetTextExtentPoint32A(dc, viewData->Text.c_str(), viewData->MatchLength, &matched);
    const int left = 1 + data->Margins.left;
    const int right = RectWidth(rect) - 1 - (data->Alignment == taRightJustify ? 1 : 0);
    int x = left;
    if (data->Alignment == taRightJustify)
      x = right - whole.cx;
    else if (data->Alignment == taCenter)
      x = (left + right - whole.cx) / 2;
    IntersectClipRect(dc, x, 0, x + matched.cx, RectHeight(rect));
  }
  editClass.Draw(dc, TRect{0, 0, RectWidth(rect), RectHeight(rect)}, data, nullptr);
}

void TdxTreeListCellPainter::DrawTextCell(TCanvas* canvas, const TRect& rect, HBRUSH brush, TColor color,
                                          TColor textColor, bool focused, TdxTreeListNode* node, int32_t column,
                                          int32_t footerIndex, uint8_t kind, TBitmap* headerBitmap) {
  WithNodePaint(&FControl, node, [&] {
    std::string text;
    TAlignment alignment = taLeftJustify;
    if (kind == 1) {
      FControl.GetFooterCellText(node, column, footerIndex, text);
      alignment = FControl.GetFooterCellAlignment(node, column, footerIndex);
    } else {
      if (kind == 2)
        FControl.GetDisplayText(column, text);
      else
        FControl.GetCellText(node, column, text);
      if (column >= 0)
        alignment = FControl.GetColumnAlignment(node, column);
    }
    const bool ownFont = (kind == 0 || kind == 2) && FControl.IsColumnOwnFont(column);
    const bool custom =
        kind == 1 ? FControl.IsCustomDrawFooter(node, column, footerIndex) : FControl.IsCustomDrawCell(node, column);
    TFont* font = canvas->GetFont();
    const TCellFontScope fontScope(font, FControl.GetPainter().GetSpareFont(), custom,
                                   ownFont ? FControl.GetColumnFont(column) : nullptr,
                                   /*highlighted=*/false, textColor);
    bool done = false;
    TColor cellColor = color;
    if (kind == 1)
      FControl.DoCustomDrawFooter(canvas, rect, node, column, footerIndex, text, cellColor, font, alignment, done);
    else
      FControl.DoCustomDrawCell(canvas, rect, node, column, false, focused, kind == 2, false, false, brush, text,
                                cellColor, font, alignment, done);
    if (done)
      return;
    const HBRUSH cellBrush = fontScope.TakeHandlerChanges(canvas, color, cellColor, brush, textColor);
    canvas->RequiredState(TCanvasState{csHandleValid, csFontValid});
    HDC dc = canvas->GetHandle();
    TSaveDCGuard state(dc);
    SetTextColor(dc, ColorToRGB(textColor));
    TdxCellTextParams params;
    params.Brush = cellBrush;
    params.TwoPixelInset = kind != 1;
    params.Buffered = FControl.IsOptionsEx1();
    params.Alignment = alignment;
    params.EndEllipsis = true;
    params.BkColor = cellColor;
    DrawCellText(dc, rect, params, text, headerBitmap);
    // The search pass starts from this cell's colours and text.
    TdxTreeListCellViewData& view = *FControl.GetPainter().GetCellViewData();
    view.Color = cellColor;
    view.TextColor = textColor;
    view.Text = text;
    DrawSearchPass(canvas, rect, column, kind, focused, false, false, [&] {
      TdxCellTextParams match = params;
      match.BkColor = view.Color;
      TBrushHandle matchBrush(CreateSolidBrush(ColorToRGB(match.BkColor)));
      match.Brush = matchBrush.Get();
      SetTextColor(dc, ColorToRGB(view.TextColor));
      DrawCellText(dc, rect, match, text.substr(0, static_cast<size_t>(view.MatchLength)), headerBitmap);
    });
  });
}

void TdxTreeListCellPainter::DrawPreview(TCanvas* canvas, const TRect& rect, TBitmap* headerBitmap,
                                         TdxTreeListNode* node, TColor color, TColor textColor, HBRUSH brush,
                                         bool selected) {
  std::string text;
  FControl.GetPreviewText(node, text);
  if (color != FControl.GetHighlightColor())
    textColor = FControl.GetPreviewFont()->GetColor();
  TFont* font = canvas->GetFont();
  FControl.GetPainter().GetSpareFont()->Assign(font);
  font->Assign(FControl.GetPreviewFont());
  HDC dc = canvas->GetHandle();
  const COLORREF bk = GetBkColor(dc);
  bool changed = false;
  struct TRestore {
    TCustomdxTreeList* Control;
    TFont* Font;
    HDC DC;
    COLORREF Bk;
    const bool& Changed;
    ~TRestore() {
      Font->Assign(Control->GetPainter().GetSpareFont());
      if (Changed)
        SetBkColor(DC, Bk);
    }
  } restore{&FControl, font, dc, bk, changed};

  bool done = false;
  TColor cellColor = color;
  FControl.DoCustomDrawPreview(canvas, rect, node, selected, text, cellColor, textColor, font, done);
  if (done)
    return;
  HBRUSH cellBrush = brush;
  if (ColorToRGB(cellColor) != ColorToRGB(color)) {
    canvas->GetBrush()->SetColor(cellColor);
    cellBrush = canvas->GetBrush()->GetHandle();
    SetBkColor(dc, ColorToRGB(cellColor));
    changed = true;
  }
  TdxPreviewText preview;
  preview.Brush = cellBrush;
  preview.Indent = TdxTreeListLayoutBuilder::kPreviewIndent;
  preview.Color = textColor;
  preview.Font = font->GetHandle();
  preview.Text = text;
  DrawPreviewText(dc, rect, FControl.IsOptionsEx1(), preview, headerBitmap);
}
