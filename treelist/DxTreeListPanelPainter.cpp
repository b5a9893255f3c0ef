// The smaller areas around the rows: the new-item strip under the header panel, the
// indicator column, the footer panel of per-column values and the status panel with
// its text and close button.
//
// Decisions taken here:
// - The new-item strip's cells are one row line high and start where their columns
//   start; what the strip's bar and cells leave free is painted in the background.
// - The indicator column below the last row is painted in the background colour.
// - A footer panel value is drawn by DrawTextCell (footer kind, footer index -1) in the
//   column's font and the header font's colour, and its cells sit inside the panel's
//   frame, one footer line each.
#include "treelist/DxTreeListPanelPainter.h"

#include <algorithm>

#include "classlib/Canvas.h"
#include "classlib/GdiHandles.h"
#include "editors/DxUtils.h"
#include "treelist/DxTreeList.h"
#include "treelist/DxTreeListDraw.h"
#include "treelist/DxTreeListPaintPass.h"
#include "treelist/DxTreeListRowPainter.h"

void TdxTreeListPanelPainter::PaintNewItemRow() {
  TdxTreeListPaintPass& pass = FControl.GetPainter().GetPass();
  const TdxTreeListLayout& layout = pass.Layout;
  const TdxTreeListMetrics& m = FControl.GetMetrics();
  HDC dc = pass.DC;
  const TRect& strip = layout.NewItemRow;
  if (IsEmptyRect(strip) || !RectVisible(dc, &strip))
    return;
  const int gap = m.NewItemStripGap;
  const int cellsRight = layout.CellsRight + 1;
  const TRect& rows = layout.Rows;
  const int total = FControl.GetWidths().GetBandsTotalWidth();
  const bool noLeftFixed = IsEmptyRect(layout.LeftFixedArea);

  // What neither the bar nor the cells cover.
  const TRect right{cellsRight, strip.top, strip.right, strip.bottom};
  if (!IsEmptyRect(right))
    FillRect(dc, &right, pass.BackgroundBrush.Get());

  TRect bar{rows.left - (noLeftFixed ? FControl.GetLeftCoord() : 0), strip.bottom - gap,
            rows.left + total - FControl.GetLeftCoord(), strip.bottom};
  if (!noLeftFixed)
    bar.left = rows.left;
  if (!IsEmptyRect(layout.RightFixedArea))
    bar.right = std::min<int>(bar.right, layout.RightFixedArea.left);
  TRect shown{std::max<int>(bar.left, rows.left), bar.top, std::min<int>(bar.right, strip.right), bar.bottom};
  if (!IsEmptyRect(shown)) {
    FControl.GetPainter().SetClip(shown);
    TRect face = bar;
    DrawButtonFace(dc, face, pass.HeaderBrush.Get(),
                   FControl.GetLookAndFeel() == lfFramed ? lfFlat : FControl.GetLookAndFeel(),
                   /*position=*/0, /*pressed=*/false);
    FControl.GetPainter().RestoreClip();
  }

  if (m.IndicatorWidth > 0) {
    const TRect cell{strip.left, strip.top, strip.left + m.IndicatorWidth, strip.bottom};
    DrawIndicatorButtonBuffered(dc, cell, cell, FControl.GetLookAndFeel(), /*image=*/3, pass.HeaderBitmap.get(),
                                pass.HeaderBrush.Get());
  }

  // The cells, as those of a data row, with the strip's own focus flag.
  FControl.GetPainter().SelectCanvasFont(FControl.GetFont());
  const bool inverse = FControl.GetOptionsEx().Contains(aoOptionsEx0);
  const bool fixedAreas = layout.LeftFixedBand >= 0 || layout.RightFixedBand >= 0;
  const int bottom = strip.bottom - gap;
  std::vector<POINT> grid;
  for (const TdxTreeListColumnEntry& entry : layout.Columns) {
    const TRect cell{entry.ClippedRect.left, strip.top, entry.ClippedRect.right, bottom - m.GridPixel};
    if (IsEmptyRect(cell))
      continue;
    if (RectVisible(dc, &cell)) {
      const bool highlighted = FControl.GetPainter().IsCellHighlighted(
          FControl.GetNavigator().GetNewItemRowActive(), false, entry.Column, /*newItemRow=*/true);
      TColor color, textColor, columnColor;
      HBRUSH brush, columnBrush;
      FControl.GetPainter().GetRowColors(nullptr, highlighted, pass.Focused, false, false, 0, entry.Column, color,
                                         textColor, brush);
      FControl.GetPainter().GetColumnColors(entry.Column, columnColor, columnBrush);
      const bool cellFocused = pass.Focused && FControl.GetNavigator().GetNewItemRowActive() &&
                               (inverse || FControl.IsRowSelect() || entry.Column == pass.FocusedColumn);
      const bool scrolled = fixedAreas && entry.Band != layout.LeftFixedBand && entry.Band != layout.RightFixedBand;
      TSaveDCGuard clip(dc);
      if (scrolled)
        IntersectClipRect(dc, layout.ScrolledLeft, strip.top, layout.ScrolledRight, strip.bottom);
      FControl.DrawCell(FControl.GetCanvas(), cell, pass.HeaderBitmap.get(), nullptr, entry.Column, highlighted,
                        cellFocused, color, textColor, brush, entry.LineCount > 1, /*kind=*/2, entry.FirstOfAll,
                        entry.LastOfAll, columnColor, columnBrush);
    }
    if (entry.ClippedRect.right == entry.Rect.right) {
      grid.push_back(POINT{cell.right - 1, cell.top});
      grid.push_back(POINT{cell.right - 1, bottom});
    }
    if (FControl.GetShowGrid()) {
      grid.push_back(POINT{cell.left, bottom - 1});
      grid.push_back(POINT{cell.right, bottom - 1});
    }
  }
  TdxTreeListRowPainter(FControl).DrawGridSegments(grid);
  if (FControl.GetNavigator().GetNewItemRowActive() && pass.Focused &&
      !FControl.GetOptions().Contains(aoHideFocusRect)) {
    TRect focus{};
    if (FControl.IsRowSelect()) {
      focus = TRect{rows.left, strip.top, layout.CellsRight, bottom - m.GridPixel};
    } else if (const TdxTreeListColumnEntry* entry = layout.FindColumn(pass.FocusedColumn)) {
      focus = TRect{entry->ClippedRect.left, strip.top, entry->ClippedRect.right - 1, bottom - m.GridPixel};
    }
    if (!IsEmptyRect(focus))
      DrawFocusFrame(dc, focus);
  }
}

void TdxTreeListPanelPainter::PaintIndicator() {
  TdxTreeListPaintPass& pass = FControl.GetPainter().GetPass();
  const TdxTreeListLayout& layout = pass.Layout;
  HDC dc = pass.DC;
  const TRect& column = layout.Indicator;
  if (FControl.GetMetrics().IndicatorWidth <= 0)
    return;
  // Below the last row the column shows the background.
  const TRect& rows = layout.Rows;
  const int lastBottom = IsEmptyRect(column) ? rows.top : column.bottom;
  const TRect below{rows.left - FControl.GetMetrics().IndicatorWidth, lastBottom, rows.left, rows.bottom};
  if (!IsEmptyRect(below) && RectVisible(dc, &below))
    FillRect(dc, &below, pass.BackgroundBrush.Get());
  if (IsEmptyRect(column) || !RectVisible(dc, &column) || layout.RowEntries.empty())
    return;
  for (const TdxTreeListRowEntry& row : layout.RowEntries) {
    const TRect cell{column.left, row.Top, column.right, row.Top + row.Height};
    TRect shown = cell;
    if (!IsEmptyRect(layout.Footer))
      shown.bottom = std::min<int>(shown.bottom, layout.Footer.top);
    shown.bottom = std::min<int>(shown.bottom, rows.bottom);
    DrawIndicatorButtonBuffered(dc, cell, shown, FControl.GetLookAndFeel(), row.IndicatorImage, pass.HeaderBitmap.get(),
                                pass.HeaderBrush.Get());
  }
  ExcludeClipRect(dc, column.left, column.top, column.right, column.bottom);
}

void TdxTreeListPanelPainter::PaintFooter() {
  TdxTreeListPaintPass& pass = FControl.GetPainter().GetPass();
  const TdxTreeListLayout& layout = pass.Layout;
  const TdxTreeListMetrics& m = FControl.GetMetrics();
  HDC dc = pass.DC;
  const TRect& footer = layout.Footer;
  if (IsEmptyRect(footer) || !RectVisible(dc, &footer))
    return;
  const int e = FControl.GetLookAndFeel() == lfStandard ? 2 : 1;
  TRect frame = footer;
  if (IsEmptyRect(layout.LeftFixedArea) && FControl.GetLeftCoord() != 0)
    frame.left -= e;
  if (IsEmptyRect(layout.RightFixedArea) &&
      layout.Rows.left + FControl.GetWidths().GetBandsTotalWidth() - FControl.GetLeftCoord() > footer.right)
    frame.right += e;
  if (FControl.GetLookAndFeel() == lfStandard) {
    FrameRect(dc, &frame, GetSysColorBrush(COLOR_WINDOWFRAME));
    InflateRect(&frame, -1, -1);
    frame.left -= 1;
    DrawEdge(dc, &frame, BDR_RAISEDINNER, BF_RECT);
  } else {
    DrawEdge(dc, &frame, BDR_SUNKENOUTER, BF_TOP | BF_FLAT);
    frame.top += 1;
    if (FControl.GetLookAndFeel() == lfFramed)
      FillRect(dc, &frame, pass.HeaderBrush.Get());
    else
      DrawEdge(dc, &frame, BDR_RAISEDINNER, BF_RECT);
  }
  InflateRect(&frame, -1, -1);
  FillRect(dc, &frame, pass.HeaderBrush.Get());

  const bool fixedAreas = layout.LeftFixedBand >= 0 || layout.RightFixedBand >= 0;
  for (const TdxTreeListColumnEntry& entry : layout.Columns) {
    if (!FControl.IsFooterValueShown(entry.Column))
      continue;
    TRect cell{entry.ClippedRect.left, frame.top + entry.RowInBand * m.FooterLineHeight, entry.ClippedRect.right,
               frame.top + (entry.RowInBand + entry.LineCount) * m.FooterLineHeight};
    cell.bottom = std::min<int>(cell.bottom, frame.bottom);
    InflateRect(&cell, -1, -1);
    if (IsEmptyRect(cell) || !RectVisible(dc, &cell))
      continue;
    const bool scrolled = fixedAreas && entry.Band != layout.LeftFixedBand && entry.Band != layout.RightFixedBand;
    TSaveDCGuard clip(dc);
    if (scrolled)
      IntersectClipRect(dc, layout.ScrolledLeft, footer.top, layout.ScrolledRight, footer.bottom);
    DrawSunkenFrame(dc, cell, FControl.GetLookAndFeel());
    InflateRect(&cell, -1, -1);
    TCanvas* canvas = FControl.GetCanvas();
    canvas->GetFont()->Assign(FControl.GetColumnFont(entry.Column));
    FControl.DrawTextCell(canvas, cell, pass.HeaderBrush.Get(), FControl.GetHeaderColor(),
                          FControl.GetHeaderFont()->GetColor(), false, nullptr, entry.Column, -1, /*kind=*/1,
                          pass.HeaderBitmap.get());
  }
}

void TdxTreeListPanelPainter::PaintStatusPanel() {
  TdxTreeListPaintPass& pass = FControl.GetPainter().GetPass();
  HDC dc = pass.DC;
  const TRect& panel = pass.Layout.StatusPanel;
  if (IsEmptyRect(panel) || !RectVisible(dc, &panel))
    return;
  TCanvas* canvas = FControl.GetCanvas();
  canvas->GetFont()->Assign(FControl.GetFont());
  const bool closeButton = FControl.GetFooterCount() != 0;
  TRect content = panel;
  InflateRect(&content, -2, -2);
  if (closeButton)
    content.left += 18;
  std::string text;
  FControl.GetFooterText(text);
  DrawTextWithFlags(dc, text.c_str(), static_cast<int>(text.size()), panel, content, dtfVCenter,
                    pass.PanelLineBrush.Get(), canvas->GetFont()->GetHandle(), pass.PanelLineColor, clBtnHighlight,
                    nullptr);
  if (closeButton) {
    const int top = panel.top + (RectHeight(panel) - 11) / 2;
    const TRect box{panel.left + 3, top, panel.left + 15, top + 11};
    int face = COLOR_BTNFACE;
    int ink = COLOR_BTNTEXT;
    if (FControl.GetMouse().IsFooterButtonHot() && FControl.GetMouse().IsFooterButtonPressed()) {
      face = COLOR_WINDOWFRAME;
      ink = COLOR_WINDOW;
    } else if (FControl.GetMouse().IsFooterButtonHot()) {
      face = COLOR_WINDOW;
      ink = COLOR_WINDOWFRAME;
    }
    FillRect(dc, &box, GetSysColorBrush(face));
    TRect x = box;
    InflateRect(&x, -2, -2);
    TPenHandle pen(CreatePen(PS_SOLID, 1, GetSysColor(ink)));
    TSaveDCGuard state(dc);
    SelectObject(dc, pen.Get());
    // Two diagonals, each two pixels thick, the second the mirror image of the first
    // (a line ends before its last point).
    for (int dx = 0; dx < 2; ++dx) {
      MoveToEx(dc, x.left + dx, x.top, nullptr);
      LineTo(dc, x.right - 1 + dx, x.bottom);
      MoveToEx(dc, x.right - 1 - dx, x.top, nullptr);
      LineTo(dc, x.left - dx, x.bottom);
    }
    SelectObject(dc, GetStockObject(BLACK_PEN));
  }
  ExcludeClipRect(dc, panel.left, panel.top, panel.right, panel.bottom);
}
