// The band row and the header panel: their corner buttons, one button per band or
// column composed in the header bitmap (partly scrolled buttons are composed whole and
// only their shown part is copied), the custom-draw queries, the fillers of headers that
// end above the panel's bottom and of bands without columns, and the separators of the
// fixed bands.
//
// Decision taken here: the position code of a header button in a multi-row header is
// taken from where its cell lies in the panel: (starts in the top row, ends in the
// bottom row) gives 0, (top, not bottom) 2, (not top, bottom) 1, (neither) 3. A header
// of one row always gives 0.
#include "treelist/DxTreeListHeaderPainter.h"

#include "classlib/Canvas.h"
#include "treelist/DxTreeList.h"
#include "treelist/DxTreeListDraw.h"
#include "treelist/DxTreeListPaintPass.h"

namespace {

int HeaderPosition(const TdxTreeListColumnEntry& entry, int headerRows) {
  const bool top = entry.RowInBand == 0;
  const bool bottom = entry.RowInBand + entry.LineCount >= headerRows;
  if (top)
    return bottom ? 0 : 2;
  return bottom ? 1 : 3;
}

}  // namespace

void TdxTreeListHeaderPainter::PaintHeaderButton(const TRect& rect, const TRect& clipped, TdxHeaderButton& button,
                                                 TColor color, bool custom,
                                                 const std::function<void(TColor&, bool&)>& customDraw) {
  TCanvas* canvas = FControl.GetCanvas();
  bool done = false;
  if (custom) {
    // The handler draws on the canvas, clipped to the shown part of the button; its
    // font changes last for this button only.
    FControl.GetPainter().GetSpareFont()->Assign(canvas->GetFont());
    if (rect != clipped)
      FControl.GetPainter().SetClip(clipped);
    TColor answered = color;
    customDraw(answered, done);
    if (!done && ColorToRGB(answered) != ColorToRGB(color)) {
      canvas->GetBrush()->SetColor(answered);
      button.Brush = canvas->GetBrush()->GetHandle();
    }
    FControl.GetPainter().RestoreClip();
  }
  if (!done) {
    canvas->RequiredState(TCanvasState{csHandleValid, csFontValid});
    DrawHeaderButtonBuffered(canvas->GetHandle(), rect, clipped, button,
                             FControl.GetPainter().GetPass().HeaderBitmap.get());
  }
  if (custom)
    canvas->GetFont()->Assign(FControl.GetPainter().GetSpareFont());
}

void TdxTreeListHeaderPainter::PaintBandRow() {
  TdxTreeListPaintPass& pass = FControl.GetPainter().GetPass();
  const TdxTreeListLayout& layout = pass.Layout;
  HDC dc = pass.DC;
  if (!IsEmptyRect(layout.BandIndicator) && RectVisible(dc, &layout.BandIndicator))
    DrawCornerButton(dc, layout.BandIndicator, pass.BandBrush.Get(), FControl.GetLookAndFeel(),
                     FControl.GetMouse().IsBandIndicatorPressed());
  if (!IsEmptyRect(layout.BandRow) && RectVisible(dc, &layout.BandRow) && !layout.Bands.empty()) {
    TCanvas* canvas = FControl.GetCanvas();
    dc = FControl.GetPainter().SelectCanvasFont(FControl.GetBandFont());
    for (const TdxTreeListBandEntry& entry : layout.Bands) {
      TdxHeaderButton button;
      FControl.GetVisibleBandCaption(entry.Band, button.Text);
      button.Alignment = FControl.GetVisibleBandAlignment(entry.Band);
      button.Brush = pass.BandBrush.Get();
      button.Look = FControl.GetLookAndFeel();
      button.MultiLine = FControl.GetMetrics().BandRows > 1;
      button.Pressed = FControl.GetMouse().IsBandPressed(entry.Band);
      PaintHeaderButton(entry.Rect, entry.ClippedRect, button, FControl.GetBandColor(),
                        FControl.IsCustomDrawBand(entry.Band), [&](TColor& color, bool& done) {
                          FControl.DoCustomDrawBand(entry.Band, canvas, entry.Rect, entry.ClippedRect, button.Text,
                                                    color, canvas->GetFont(), button.Alignment, done);
                        });
    }
  }
  // The separators of the fixed bands, over the band row and the header panel.
  const int width = FControl.GetFixedBandLineWidth();
  const TRect& left = layout.LeftFixedArea;
  const TRect leftLine{left.right - width, left.top, left.right, left.bottom};
  if (!IsEmptyRect(left) && RectVisible(dc, &leftLine))
    FillRect(dc, &leftLine, pass.FixedLineBrush.Get());
  const TRect& right = layout.RightFixedArea;
  const TRect rightLine{right.left, right.top, right.left + width, right.bottom};
  if (!IsEmptyRect(right) && RectVisible(dc, &rightLine))
    FillRect(dc, &rightLine, pass.FixedLineBrush.Get());
}

void TdxTreeListHeaderPainter::PaintHeaderPanel() {
  TdxTreeListPaintPass& pass = FControl.GetPainter().GetPass();
  const TdxTreeListLayout& layout = pass.Layout;
  HDC dc = pass.DC;
  if (!IsEmptyRect(layout.HeaderIndicator) && RectVisible(dc, &layout.HeaderIndicator))
    DrawCornerButton(dc, layout.HeaderIndicator, pass.HeaderBrush.Get(), FControl.GetLookAndFeel(),
                     FControl.GetMouse().IsHeaderIndicatorPressed());
  if (IsEmptyRect(layout.HeaderPanel) || !RectVisible(dc, &layout.HeaderPanel))
    return;
  TCanvas* canvas = FControl.GetCanvas();
  if (!layout.Columns.empty()) {
    FControl.GetPainter().SelectCanvasFont(FControl.GetHeaderFont());
    for (const TdxTreeListColumnEntry& entry : layout.Columns) {
      const int32_t column = entry.Column;
      TdxHeaderButton button;
      FControl.GetColumnHeaderText(column, button.Text);
      button.Alignment = FControl.GetColumnHeaderAlignment(column);
      button.Glyph = FControl.GetColumnHeaderGlyph(column);
      button.Sorted = FControl.GetColumnSorted(column);
      button.DropDownState = entry.Kind;
      button.Brush = pass.HeaderBrush.Get();
      button.Look = FControl.GetLookAndFeel();
      button.Position = HeaderPosition(entry, FControl.GetMetrics().HeaderRows);
      button.MultiLine = entry.LineCount > 1 || FControl.GetMetrics().HeaderRows > 1;
      button.Pressed = FControl.GetMouse().IsColumnPressed(column);
      PaintHeaderButton(entry.Rect, entry.ClippedRect, button, FControl.GetHeaderColor(),
                        FControl.IsCustomDrawHeader(column), [&](TColor& color, bool& done) {
                          FControl.DoCustomDrawHeader(column, canvas, entry.Rect, entry.ClippedRect, button.Text, color,
                                                      canvas->GetFont(), button.Alignment, button.Sorted, done);
                        });
      if (!IsEmptyRect(entry.FillerRect))
        FillRect(dc, &entry.FillerRect, pass.PanelLineBrush.Get());
    }
  }
  for (const TdxTreeListEmptyHeader& empty : layout.EmptyHeaders) {
    if (!IsEmptyRect(empty.Rect))
      FillRect(dc, &empty.Rect, pass.PanelLineBrush.Get());
  }
}
