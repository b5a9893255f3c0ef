// Cell drawing: a data cell (or a cell of the new-item row) is offered to the custom-draw
// queries, described in the control's cell view data and painted from it by the cell's
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

uint8_t VertAlignmentIndex(TTextLayout layout) {
  switch (layout) {
    case tlCenter: return 1;
    case tlBottom: return 2;
    default: return 0;
  }
}

}  // namespace

void TCustomdxTreeList::DrawCell(TCanvas* Canvas, const TRect& Rect, TBitmap* HeaderBitmap, TdxTreeListNode* Node,
                                 int32_t Column, bool Highlighted, bool CellFocused, TColor Color, TColor TextColor,
                                 HBRUSH Brush, bool MultiLine, uint8_t Kind, bool EntryFlag1, bool EntryFlag2,
                                 TColor ColumnColor, HBRUSH ColumnBrush) {
  WithNodePaint(this, Node, [&] {
    std::string text;
    if (Kind != 0 && Kind != 3)
      GetDisplayText(Column, text);
    else
      GetCellText(Node, Column, text);
    TAlignment alignment = GetColumnAlignment(Node, Column);
    const bool ownFont = (Kind == 0 || Kind == 2) && IsColumnOwnFont(Column);
    const bool custom = IsCustomDrawCell(Node, Column);
    TFont* font = Canvas->GetFont();
    const TCellFontScope fontScope(font, FSpareFont.get(), custom, ownFont ? GetColumnFont(Column) : nullptr, Highlighted,
                                   TextColor);
    bool done = false;
    TColor color = Color;
    DoCustomDrawCell(Canvas, Rect, Node, Column, Highlighted, CellFocused, Kind == 2, EntryFlag1, EntryFlag2, Brush,
                     text, color, font, alignment, done);
    if (done)
      return;
    const HBRUSH brush = fontScope.TakeHandlerChanges(Canvas, Color, color, Brush, TextColor);
    TdxTreeListCellViewData& view = *FCellViewData;
    view.Brush = brush;
    view.Font = font->GetHandle();
    view.Color = color;
    view.TextColor = TextColor;
    view.Alignment = alignment;
    view.Text = text;
    view.MatchLength = 0;
    view.Highlighted = Highlighted;
    view.OptionFlag = FOptionsEx.Contains(aoOptionsEx0);
    view.EntryFlag1 = EntryFlag1;
    view.EntryFlag2 = EntryFlag2;
    view.MultiLine = MultiLine;
    view.SearchPass = false;
    view.DisplayFlag = IsOptions9();
    view.Node = Node;
    view.NewItemFlag = Kind == 2 && !IsColumnVisible(Column);
    view.SelectionColor = CellFocused ? FHighlightColor : FHideSelectionColor;
    view.ColumnBrush = ColumnBrush;
    view.ColumnColor = ColumnColor;
    view.HotFlag = IsHotCell(Node, Column);
    view.Bounds = TRect{-2, -2, RectWidth(Rect) + 2, RectHeight(Rect) + 2};
    DrawCellViewData(Canvas, Rect, &view, Column);
    DrawSearchPass(Canvas, Rect, Node, Column, Kind, CellFocused, EntryFlag1, EntryFlag2, [&] {
      DrawCellViewData(Canvas, Rect, &view, Column);
    });
  });
}

void TCustomdxTreeList::DrawSearchPass(TCanvas* Canvas, TRect Rect, TdxTreeListNode* Node, int32_t Column,
                                       uint8_t Kind, bool CellFocused, bool EntryFlag1, bool EntryFlag2,
                                       const std::function<void()>& redraw) {
  if (!FSearching || !CellFocused || Kind != 0 || Column != FSearchColumn)
    return;
  if (!FSearchText.empty()) {
    TdxTreeListCellViewData& view = *FCellViewData;
    view.Color = FSearchMatchColor == clNone ? Complement(view.Color) : FSearchMatchColor;
    view.TextColor = FSearchMatchTextColor == clNone ? Complement(view.TextColor) : FSearchMatchTextColor;
    TBrushHandle brush(CreateSolidBrush(ColorToRGB(view.Color)));
    view.Brush = brush.Get();
    view.MatchLength = static_cast<int32_t>(std::min(FSearchText.size(), view.Text.size()));
    view.SearchPass = true;
    redraw();
    view.Brush = nullptr;
  }
  InflateRect(&Rect, -1, -1);
  if (FOptions.Contains(aoRowSelect) || FOptionsEx.Contains(aoOptionsEx0)) {
    if (!EntryFlag1)
      Rect.left -= 1;
    if (!EntryFlag2)
      Rect.right += 1;
  }
  DrawFocusFrame(Canvas->GetHandle(), Rect);
}

void TCustomdxTreeList::DrawCellViewData(TCanvas* Canvas, const TRect& Rect, TdxTreeListCellViewData* ViewData,
                                         int32_t Column) {
  const TdxInplaceEditClass& editClass = TdxInplaceTreeListTextEdit::MetaClass();
  std::unique_ptr<TdxEditViewData> data(editClass.NewViewData());
  TdxEditViewData& v = *data;
  v.Enabled = true;
  v.HasTextArea = true;
  v.BorderStyle = xbsNone;
  v.Edges = dxAllEdges;
  v.Bounds = ViewData->Bounds;
  v.Margins = TRect{1, 0, 0, 0};
  v.Alignment = ViewData->Alignment;
  v.VertAlignment =
      ViewData->MultiLine ? vaWordWrap : TdxVertAlignment(VertAlignmentIndex(GetColumnVertAlignment(Column)));
  v.Brush = ViewData->Brush;
  v.Color = ColorToRGB(ViewData->Color);
  v.Font = ViewData->Font;
  v.TextColor = ColorToRGB(ViewData->TextColor);
  v.Value = Variant(ViewData->Text);
  DrawEditViewData(Canvas, Rect, ViewData, editClass, &v);
}

void TCustomdxTreeList::DrawEditViewData(TCanvas* Canvas, const TRect& Rect, const TdxTreeListCellViewData* ViewData,
                                         const TdxInplaceEditClass& EditClass, TdxEditViewData* Data) {
  HDC dc = Canvas->GetHandle();
  TSaveDCGuard state(dc);
  IntersectClipRect(dc, Rect.left, Rect.top, Rect.right, Rect.bottom);
  OffsetWindowOrgEx(dc, -Rect.left, -Rect.top, nullptr);
  if (ViewData->SearchPass) {
    // Only the matched characters, where the text starts.
    TSelectGuard font(dc, ViewData->Font);
    SIZE whole{}, matched{};
    GetTextExtentPoint32A(dc, ViewData->Text.c_str(), static_cast<int>(ViewData->Text.size()), &whole);
    GetTextExtentPoint32A(dc, ViewData->Text.c_str(), ViewData->MatchLength, &matched);
    const int left = 1 + Data->Margins.left;
    const int right = RectWidth(Rect) - 1 - (Data->Alignment == taRightJustify ? 1 : 0);
    int x = left;
    if (Data->Alignment == taRightJustify)
      x = right - whole.cx;
    else if (Data->Alignment == taCenter)
      x = (left + right - whole.cx) / 2;
    IntersectClipRect(dc, x, 0, x + matched.cx, RectHeight(Rect));
  }
  EditClass.Draw(dc, TRect{0, 0, RectWidth(Rect), RectHeight(Rect)}, Data, nullptr);
}

void TCustomdxTreeList::DrawTextCell(TCanvas* Canvas, const TRect& Rect, HBRUSH Brush, TColor Color,
                                     TColor TextColor, bool Focused, TdxTreeListNode* Node, int32_t Column,
                                     int32_t FooterIndex, uint8_t Kind, TBitmap* HeaderBitmap) {
  WithNodePaint(this, Node, [&] {
    std::string text;
    TAlignment alignment = taLeftJustify;
    if (Kind == 1) {
      GetFooterCellText(Node, Column, FooterIndex, text);
      alignment = GetFooterCellAlignment(Node, Column, FooterIndex);
    } else {
      if (Kind == 2)
        GetDisplayText(Column, text);
      else
        GetCellText(Node, Column, text);
      if (Column >= 0)
        alignment = GetColumnAlignment(Node, Column);
    }
    const bool ownFont = (Kind == 0 || Kind == 2) && IsColumnOwnFont(Column);
    const bool custom = Kind == 1 ? IsCustomDrawFooter(Node, Column, FooterIndex) : IsCustomDrawCell(Node, Column);
    TFont* font = Canvas->GetFont();
    const TCellFontScope fontScope(font, FSpareFont.get(), custom, ownFont ? GetColumnFont(Column) : nullptr,
                                   /*highlighted=*/false, TextColor);
    bool done = false;
    TColor color = Color;
    if (Kind == 1)
      DoCustomDrawFooter(Canvas, Rect, Node, Column, FooterIndex, text, color, font, alignment, done);
    else
      DoCustomDrawCell(Canvas, Rect, Node, Column, false, Focused, Kind == 2, false, false, Brush, text, color, font,
                       alignment, done);
    if (done)
      return;
    const HBRUSH brush = fontScope.TakeHandlerChanges(Canvas, Color, color, Brush, TextColor);
    Canvas->RequiredState(TCanvasState{csHandleValid, csFontValid});
    HDC dc = Canvas->GetHandle();
    TSaveDCGuard state(dc);
    SetTextColor(dc, ColorToRGB(TextColor));
    TdxCellTextParams params;
    params.Brush = brush;
    params.TwoPixelInset = Kind != 1;
    params.Buffered = IsOptionsEx1();
    params.Alignment = alignment;
    params.EndEllipsis = true;
    params.BkColor = color;
    DrawCellText(dc, Rect, params, text, HeaderBitmap);
    // The search pass starts from this cell's colours and text.
    FCellViewData->Color = color;
    FCellViewData->TextColor = TextColor;
    FCellViewData->Text = text;
    DrawSearchPass(Canvas, Rect, Node, Column, Kind, Focused, false, false, [&] {
      TdxCellTextParams match = params;
      match.BkColor = FCellViewData->Color;
      TBrushHandle matchBrush(CreateSolidBrush(ColorToRGB(match.BkColor)));
      match.Brush = matchBrush.Get();
      SetTextColor(dc, ColorToRGB(FCellViewData->TextColor));
      DrawCellText(dc, Rect, match, text.substr(0, static_cast<size_t>(FCellViewData->MatchLength)), HeaderBitmap);
    });
  });
}

void TCustomdxTreeList::DrawPreview(TCanvas* Canvas, const TRect& Rect, TBitmap* HeaderBitmap, TdxTreeListNode* Node,
                                    TColor Color, TColor TextColor, HBRUSH Brush, bool Selected) {
  std::string text;
  GetPreviewText(Node, text);
  if (Color != FHighlightColor)
    TextColor = FPreviewFont->GetColor();
  TFont* font = Canvas->GetFont();
  FSpareFont->Assign(font);
  font->Assign(FPreviewFont.get());
  HDC dc = Canvas->GetHandle();
  const COLORREF bk = GetBkColor(dc);
  bool changed = false;
  struct TRestore {
    TCustomdxTreeList* Control;
    TFont* Font;
    HDC DC;
    COLORREF Bk;
    const bool& Changed;
    ~TRestore() {
      Font->Assign(Control->FSpareFont.get());
      if (Changed)
        SetBkColor(DC, Bk);
    }
  } restore{this, font, dc, bk, changed};

  bool done = false;
  TColor color = Color;
  DoCustomDrawPreview(Canvas, Rect, Node, Selected, text, color, TextColor, font, done);
  if (done)
    return;
  HBRUSH brush = Brush;
  if (ColorToRGB(color) != ColorToRGB(Color)) {
    Canvas->GetBrush()->SetColor(color);
    brush = Canvas->GetBrush()->GetHandle();
    SetBkColor(dc, ColorToRGB(color));
    changed = true;
  }
  TdxPreviewText preview;
  preview.Brush = brush;
  preview.Indent = kPreviewIndent;
  preview.Color = TextColor;
  preview.Font = font->GetHandle();
  preview.Text = text;
  DrawPreviewText(dc, Rect, IsOptionsEx1(), preview, HeaderBitmap);
}
