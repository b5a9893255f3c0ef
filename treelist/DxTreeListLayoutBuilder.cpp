// The metrics pass and the layout record: the areas of the control, the bands with
// their fixed areas and the scrolled area between them, the header cells of every
// shown band and the shown rows; and the cell and editor rectangles read from it.
//
// Decisions taken here:
// - A fixed area keeps its horizontal extent also when it has no height (band row and
//   header panel hidden): the rows are clipped at its edges all the same.
// - A cell starts no further left than the shown part of its header, so that no cell of
//   a scrolled band reaches over a fixed band; and its height is the row's own line
//   height, so that rows grown by their text keep their cells inside them.
// - The header text lines are the control's row line count, and the default row height
//   of the metrics is that many lines of the font: a row sized with the mouse to more
//   lines grows, and the header rows grow with it.
// - Footer lines measure the control's Font.
#include "treelist/DxTreeListLayoutBuilder.h"

#include <algorithm>

#include "classlib/GdiHandles.h"
#include "treelist/DxTreeList.h"

namespace {

// The height of "Wg" in `font` on a screen DC.
int TextHeightOf(TFont* font) {
  TClientDC dc(nullptr);
  TSelectGuard select(dc, font->GetHandle());
  SIZE size{};
  GetTextExtentPoint32A(dc, "Wg", 2, &size);
  return size.cy;
}

// `r` cut horizontally to left .. right, empty when nothing is left.
TRect CutHorizontally(TRect r, int left, int right) {
  r.left = std::max<int>(r.left, left);
  r.right = std::min<int>(r.right, right);
  if (r.right < r.left)
    r.right = r.left;
  return r;
}

// Visits the columns in the visible-column order (band row 0 of every band, then band
// row 1, ...) with their visible index, until `visit` answers true.
template <class F>
void VisitColumnsInVisibleOrder(TCustomdxTreeList* tree, F&& visit) {
  const int bands = tree->GetVisibleBandCount();
  int rows = 0;
  for (int band = 0; band < bands; ++band)
    rows = std::max<int>(rows, tree->GetBandRowCount(band));
  int index = 0;
  for (int row = 0; row < rows; ++row) {
    for (int band = 0; band < bands; ++band) {
      if (row >= tree->GetBandRowCount(band))
        continue;
      const int count = tree->GetColumnCountInRow(band, row);
      for (int position = 0; position < count; ++position) {
        const int column = tree->GetColumnAt(band, row, position);
        if (column >= 0 && visit(column, index++))
          return;
      }
    }
  }
}

}  // namespace

// ---- Metrics

void TdxTreeListLayoutBuilder::CalcMetrics() {
  TdxTreeListMetrics& m = FMetrics;
  m.Flat = FControl.GetLookAndFeel() != lfStandard;
  m.TreeLook = !FControl.GetGridLook();
  m.GridPixel = FControl.GetShowGrid() && FControl.GetShowPreviewGrid() ? 1 : 0;
  m.HeaderRows = std::max<int>(FControl.GetHeaderPanelRowCount(), 1);
  m.HeaderTextLines = std::max<int>(FControl.GetRowLineCount(), 1);
  m.BandRows = std::max<int>(FControl.GetBandRowCount(), 1);
  const int border = m.Flat ? 0 : 1;

  m.FontTextHeight = TextHeightOf(FControl.GetFont());
  m.BandRowHeight = FControl.GetShowBands() ? TextHeightOf(FControl.GetBandFont()) * m.BandRows + 5 + border : 0;
  m.HeaderLineHeight = TextHeightOf(FControl.GetHeaderFont()) * m.HeaderTextLines + 5 + border;
  m.HeaderPanelHeight = FControl.GetShowHeader() ? m.HeaderLineHeight * m.HeaderRows : 0;
  m.TopPanelHeight = std::max<int>(FControl.GetTopPanelHeight(), 0);
  m.IndicatorWidth = FControl.GetShowIndicator() ? std::max<int>(FControl.GetIndicatorWidth(), 0) : 0;
  m.FooterLineHeight = m.FontTextHeight + 7;
  m.FooterHeight = FControl.GetShowFooter() ? m.FooterLineHeight * m.HeaderRows + 3 + border : 0;
  m.NodeFooterHeight = m.FooterLineHeight * m.HeaderRows + 2 + m.GridPixel;
  m.StatusPanelHeight = FControl.IsStatusPanelShown() ? std::max<int>(m.FontTextHeight + 5, 17) : 0;
  m.ImageWidth = FControl.GetImages() ? FControl.GetImages()->GetWidth() : 0;
  m.ImageHeight = FControl.GetImages() ? FControl.GetImages()->GetHeight() : 0;
  m.StateImageWidth = FControl.GetStateImages() ? FControl.GetStateImages()->GetWidth() : 0;
  m.StateImageHeight = FControl.GetStateImages() ? FControl.GetStateImages()->GetHeight() : 0;
  m.ButtonSize = 16;
  m.IndentWidth = m.ButtonSize;
  m.NodeIndentWidth = FControl.GetFirstBandExtraWidth();
  m.PreviewLineHeight = TextHeightOf(FControl.GetPreviewFont());

  // The least row height: the font's line, never below the button, raised so that the
  // row's header lines hold the images and the default row height.
  int h = std::max<int>(m.FontTextHeight + 3, m.ButtonSize);
  auto raiseTo = [&](int height) {
    if (m.HeaderRows * (h + m.GridPixel) < height)
      h = height;
  };
  raiseTo(m.ImageHeight);
  raiseTo(m.StateImageHeight);
  raiseTo(FControl.GetDefaultRowLinesHeight());
  h += m.GridPixel;
  if (FControl.GetOptionsEx().Contains(aoOptionsEx0))
    h += 2;
  m.MinRowHeight = h;
  m.RowHeight =
      FControl.GetDefaultRowHeightSet() && FControl.GetDefaultRowHeight() >= h ? FControl.GetDefaultRowHeight() : h;
  if (m.RowHeight == h)
    FControl.GetAppearance().SetDefaultRowHeightSet(false);

  m.NewItemStripGap = m.Flat ? 5 : 6;
  const bool stripShown = m.HeaderRows == 1 && FControl.IsNewItemRowShown() && FControl.GetColumnCount() > 0;
  m.NewItemStripHeight = stripShown ? m.RowHeight + m.NewItemStripGap : 0;
}

int32_t TdxTreeListLayoutBuilder::GetDefaultRowLinesHeight() {
  return std::max<int>(FControl.GetRowLineCount(), 1) * (FMetrics.FontTextHeight + 3);
}

// ---- The layout record

void TdxTreeListLayoutBuilder::CalcLayout(TdxTreeListLayout& layout) {
  CalcAreas(layout);
  CalcBands(layout);
  CalcColumns(layout);
  CalcRows(layout);
}

void TdxTreeListLayoutBuilder::CalcAreas(TdxTreeListLayout& layout) {
  const TdxTreeListMetrics& m = FMetrics;
  layout = TdxTreeListLayout{};
  const TRect client = FControl.GetClientRect();
  const int indicator = m.IndicatorWidth;
  layout.Client = client;

  const int bandTop = client.top + m.TopPanelHeight;
  if (m.TopPanelHeight > 0)
    layout.TopPanel = NonEmptyRect(TRect{client.left, client.top, client.right, bandTop});
  layout.BandRow = NonEmptyRect(TRect{client.left + indicator, bandTop, client.right, bandTop + m.BandRowHeight});
  if (indicator > 0 && !IsEmptyRect(layout.BandRow))
    layout.BandIndicator = TRect{client.left, bandTop, client.left + indicator, bandTop + m.BandRowHeight};

  const int headerTop = bandTop + m.BandRowHeight;
  layout.HeaderPanel =
      NonEmptyRect(TRect{client.left + indicator, headerTop, client.right, headerTop + m.HeaderPanelHeight});
  if (indicator > 0 && !IsEmptyRect(layout.HeaderPanel))
    layout.HeaderIndicator = TRect{client.left, headerTop, client.left + indicator, headerTop + m.HeaderPanelHeight};

  const int y0 = headerTop + m.HeaderPanelHeight;
  if (m.NewItemStripHeight > 0)
    layout.NewItemRow = NonEmptyRect(TRect{client.left, y0, client.right, y0 + m.NewItemStripHeight});

  TRect& rows = layout.Rows;
  rows = TRect{client.left + indicator, y0 + m.NewItemStripHeight, client.right,
               client.bottom - m.FooterHeight - m.StatusPanelHeight};
  rows.bottom = std::max<int>(rows.bottom, rows.top);
  if (indicator > 0)
    layout.Indicator = NonEmptyRect(TRect{client.left, rows.top, rows.left, rows.bottom});
  layout.Footer = NonEmptyRect(TRect{client.left, rows.bottom, client.right, rows.bottom + m.FooterHeight});
  const int statusTop = rows.bottom + m.FooterHeight;
  layout.StatusPanel = NonEmptyRect(TRect{client.left, statusTop, client.right, statusTop + m.StatusPanelHeight});
  layout.GridLineWidth = FControl.GetShowGrid() ? FControl.GetGridLineWidth() : 0;
}

void TdxTreeListLayoutBuilder::CalcBands(TdxTreeListLayout& layout) {
  const TdxTreeListMetrics& m = FMetrics;
  const int extra = m.NodeIndentWidth;
  const TRect& client = layout.Client;
  // The band row's extent, also while the band row itself is hidden: the bands and
  // their columns are laid out along it.
  const int bandTop = client.top + m.TopPanelHeight;
  TRect bandRow{client.left + m.IndicatorWidth, bandTop, client.right, bandTop + m.BandRowHeight};
  const int fixedBottom = layout.Rows.top - (IsEmptyRect(layout.NewItemRow) ? 0 : m.NewItemStripGap);
  const int count = FControl.GetVisibleBandCount();
  auto validBand = [count](int band) { return band >= 0 && band < count ? band : -1; };
  const int leftFixed = validBand(FControl.GetLeftFixedBand());
  const int rightFixed = validBand(FControl.GetRightFixedBand());
  layout.LeftFixedBand = leftFixed;
  layout.RightFixedBand = rightFixed;

  TdxTreeListBandWidths widths;
  FControl.GetWidths().CalcBandWidths(widths);
  TdxTreeListBandEntry leftEntry;
  int scrolledLeft = bandRow.left;
  if (leftFixed >= 0) {
    const int width = widths.DisplayOf(leftFixed) + extra;
    layout.LeftFixedArea = TRect{bandRow.left, bandRow.top, bandRow.left + width, fixedBottom};
    const TRect rect{bandRow.left, bandRow.top, layout.LeftFixedArea.right - FControl.GetFixedBandLineWidth(),
                     bandRow.bottom};
    leftEntry = TdxTreeListBandEntry{leftFixed, rect, CutHorizontally(rect, client.left, client.right)};
    scrolledLeft = layout.LeftFixedArea.right;
  }

  // Bands narrower than the band row leave an empty area at their right.
  const int total = widths.Total;
  if (total < RectWidth(bandRow)) {
    bandRow.right = bandRow.left + std::max<int>(total, 0);
    layout.BandRow = NonEmptyRect(TRect{layout.BandRow.left, layout.BandRow.top, bandRow.right, layout.BandRow.bottom});
    layout.HeaderPanel =
        NonEmptyRect(TRect{layout.HeaderPanel.left, layout.HeaderPanel.top, bandRow.right, layout.HeaderPanel.bottom});
    layout.EmptyRight = NonEmptyRect(TRect{bandRow.right, bandRow.top, client.right, layout.Rows.bottom});
    if (!IsEmptyRect(layout.NewItemRow))
      layout.NewItemRow.right = bandRow.right;
    layout.NewItemRow = NonEmptyRect(layout.NewItemRow);
  }

  TdxTreeListBandEntry rightEntry;
  int scrolledRight = bandRow.right;
  if (rightFixed >= 0) {
    const int width = widths.DisplayOf(rightFixed);
    TRect area{bandRow.right - width, bandRow.top, bandRow.right, fixedBottom};
    const int leftLimit = leftFixed >= 0 ? layout.LeftFixedArea.right : bandRow.left;
    if (area.left < leftLimit) {
      area.right += leftLimit - area.left;
      area.left = leftLimit;
    }
    layout.RightFixedArea = area;
    const TRect rect{area.left + FControl.GetFixedBandLineWidth(), bandRow.top, area.right, bandRow.bottom};
    rightEntry = TdxTreeListBandEntry{rightFixed, rect, CutHorizontally(rect, client.left, client.right)};
    scrolledRight = area.left;
  }
  scrolledRight = std::max<int>(scrolledRight, scrolledLeft);
  layout.ScrolledLeft = scrolledLeft;
  layout.ScrolledRight = scrolledRight;

  if (leftFixed >= 0)
    layout.Bands.push_back(leftEntry);
  int x = scrolledLeft - FControl.GetLeftCoord();
  for (int band = 0; band < count; ++band) {
    if (band == leftFixed || band == rightFixed)
      continue;
    const TRect rect{x, bandRow.top, x + widths.DisplayOf(band) + (band == 0 ? extra : 0),
                     bandRow.bottom};
    x = rect.right;
    if (rect.right <= scrolledLeft)
      continue;
    if (rect.left >= scrolledRight)
      break;
    layout.Bands.push_back(TdxTreeListBandEntry{band, rect, CutHorizontally(rect, scrolledLeft, scrolledRight)});
    layout.LastScrolledBand = band;
    if (rect.right > scrolledRight)
      break;
  }
  if (rightFixed >= 0)
    layout.Bands.push_back(rightEntry);

  // The tree area lies in the first band: fixed at the left, or scrolled with it.
  const TRect& rows = layout.Rows;
  layout.TreeLeft = rows.left - (leftFixed < 0 ? FControl.GetLeftCoord() : 0);
  if (count > 0) {
    int width = widths.DisplayOf(0) + extra;
    if (leftFixed >= 0)
      width = std::min<int>(width, layout.LeftFixedArea.right - FControl.GetFixedBandLineWidth() - layout.TreeLeft);
    if (rightFixed >= 0)
      width = std::min<int>(width, layout.RightFixedArea.left - layout.TreeLeft);
    layout.TreeAreaWidth = std::max<int>(width, 0);
  }
  layout.CellsRight = std::min<int>(
      total + rows.left - 1 - (IsEmptyRect(layout.LeftFixedArea) ? FControl.GetLeftCoord() : 0), rows.right - 1);
}

void TdxTreeListLayoutBuilder::CalcColumns(TdxTreeListLayout& layout) {
  const TdxTreeListMetrics& m = FMetrics;
  const int headerTop = layout.Client.top + m.TopPanelHeight + m.BandRowHeight;
  const int lineHeight = m.HeaderPanelHeight > 0 ? m.HeaderLineHeight : 0;
  const int panelBottom = headerTop + m.HeaderPanelHeight;
  const TRect& footer = layout.Footer;
  const size_t bandCount = layout.Bands.size();
  for (size_t i = 0; i < bandCount; ++i) {
    const TdxTreeListBandEntry band = layout.Bands[i];
    const TRect& clip = band.ClippedRect;
    const int bandRows = FControl.GetBandRowCount(band.Band);
    bool hasColumns = false;
    for (int row = 0; row < bandRows; ++row) {
      const int count = FControl.GetColumnCountInRow(band.Band, row);
      int x = band.Rect.left;
      for (int position = 0; position < count; ++position) {
        const int column = FControl.GetColumnAt(band.Band, row, position);
        if (column < 0)
          continue;
        TdxTreeListColumnEntry entry;
        entry.Column = column;
        entry.Band = band.Band;
        entry.RowInBand = row;
        entry.Position = position;
        entry.LineCount = FControl.GetWidths().GetColumnLineCount(band.Band, row, position);
        const int width = std::max<int>(FControl.GetColumnDisplayWidth(column), 0);
        entry.Rect = TRect{x, headerTop + lineHeight * row, x + width, headerTop + lineHeight * (row + entry.LineCount)};
        entry.ClippedRect = CutHorizontally(entry.Rect, clip.left, clip.right);
        if (row == bandRows - 1 && row + entry.LineCount < m.HeaderRows)
          entry.FillerRect = NonEmptyRect(TRect{entry.ClippedRect.left, entry.Rect.bottom, entry.ClippedRect.right, panelBottom});
        if (!IsEmptyRect(footer)) {
          const int top = footer.top + m.FooterLineHeight * row;
          entry.FooterRect = NonEmptyRect(TRect{entry.ClippedRect.left, top, entry.ClippedRect.right,
                                                std::min<int>(top + m.FooterLineHeight * entry.LineCount, footer.bottom)});
        }
        entry.FirstInRow = position == 0;
        entry.LastInRow = position == count - 1;
        entry.FirstOfAll = entry.FirstInRow && i == 0;
        entry.LastOfAll = entry.LastInRow && i == bandCount - 1;
        entry.Kind = FControl.GetColumnHeaderState(column);
        layout.Columns.push_back(entry);
        x += width;
        hasColumns = true;
      }
    }
    if (!hasColumns) {
      const TRect rect{clip.left, headerTop, clip.right, headerTop + lineHeight * m.HeaderRows};
      layout.EmptyHeaders.push_back(TdxTreeListEmptyHeader{band.Band, NonEmptyRect(rect), clip.right < band.Rect.right});
    }
  }
}

void TdxTreeListLayoutBuilder::CalcRows(TdxTreeListLayout& layout) {
  const TdxTreeListMetrics& m = FMetrics;
  const TRect& rows = layout.Rows;
  const bool previews = FControl.IsPreviewVisible();
  const bool nodeFooters = FControl.GetDisplayFlag();
  int y = rows.top;
  for (TdxTreeListNode* node = FControl.GetTopNode(); node && y < rows.bottom; node = node->GetNextVisible()) {
    TdxTreeListRowEntry entry;
    entry.Node = node;
    entry.GroupRow = FControl.NodeRowQuery(node);
    entry.Selected = node->GetSelected();
    entry.Top = y;
    entry.Height = FControl.GetWidths().GetNodeRowHeight(node, m.RowHeight, false);
    entry.FooterLineCount = FControl.GetWidths().CalcNodeFooterCount(node);
    entry.FooterHeight = entry.FooterLineCount * m.NodeFooterHeight;
    entry.IndicatorImage = IndicatorImageOf(node);
    entry.PreviewLineCount = previews ? FControl.GetPreviewLineCount(node) : 0;
    entry.FooterValue = nodeFooters ? FControl.GetNodeFooterCount(node) : -1;
    layout.RowEntries.push_back(entry);
    y += entry.Height;
  }
  if (y >= rows.bottom)
    return;
  layout.EmptyRows = NonEmptyRect(TRect{rows.left, y, rows.right, rows.bottom});
  if (!layout.RowEntries.empty())
    layout.LastRowBottom = y - 1;
  if (!IsEmptyRect(layout.Indicator))
    layout.Indicator = NonEmptyRect(TRect{layout.Indicator.left, layout.Indicator.top, layout.Indicator.right, y});
}

int TdxTreeListLayoutBuilder::IndicatorImageOf(TdxTreeListNode* node) {
  // 1 the arrow, 2 the pencil, 4 the dot of a selected row, 5 the arrow of a selected row.
  const bool selected = FControl.IsMultiSelect() && node->GetSelected();
  if (node == FControl.GetFocusedNode()) {
    if (FControl.GetState() == stEditing)
      return 2;
    return selected ? 5 : 1;
  }
  return selected ? 4 : 0;
}

// ---- Cells

int TdxTreeListLayoutBuilder::RowLineHeight(const TdxTreeListRowEntry& row) {
  // The row's height is its grid line, its lines, its preview and its footer lines
  // (GetNodeRowHeight); what is left without the others is shared by the lines.
  const TdxTreeListMetrics& m = FMetrics;
  const int previewLines = row.PreviewLineCount;
  int other = FControl.GetShowGrid() ? FControl.GetGridLineWidth() : 0;
  if (!row.GroupRow && previewLines > 0) {
    other += previewLines * m.PreviewLineHeight + 2;
    if (FControl.GetShowGrid() && FControl.GetShowPreviewGrid())
      other += 1;
  }
  if (!FControl.GetShowGrid() && row.Node && row.Node->GetHasChildren() && !m.TreeLook)
    other += 1;
  other -= m.GridPixel;
  other += row.FooterHeight;
  const int lines = row.GroupRow ? 1 : m.HeaderRows;
  return std::max<int>((row.Height - other) / lines, 0);
}

bool TdxTreeListLayoutBuilder::IsRootShown() const { return FControl.GetShowRoot() || !FMetrics.TreeLook; }

int TdxTreeListLayoutBuilder::GroupLookPixel(const TdxTreeListNode* node) const {
  return !FMetrics.TreeLook && !FControl.GetShowGrid() && node && node->GetHasChildren() ? 1 : 0;
}

TRect TdxTreeListLayoutBuilder::CalcCellRect(const TdxTreeListLayout& layout, const TdxTreeListRowEntry& row,
                                             const TdxTreeListColumnEntry& column) {
  TRect rect{column.ClippedRect.left, 0, column.ClippedRect.right, 0};
  if (column.Band == 0 && row.Node) {
    int levelWidth = 0;
    int fullWidth = 0;
    FControl.GetWidths().GetNodeIndent(row.Node, levelWidth, fullWidth);
    rect.left = std::max<int>(rect.left, layout.TreeLeft + std::min<int>(fullWidth, layout.TreeAreaWidth));
    rect.right = std::max<int>(rect.right, rect.left);
  }
  const int lineHeight = RowLineHeight(row);
  rect.top = row.Top + GroupLookPixel(row.Node) + lineHeight * column.RowInBand;
  rect.bottom =
      rect.top + lineHeight * column.LineCount - (FControl.GetShowGrid() && FControl.GetShowPreviewGrid() ? 1 : 0);
  rect.bottom = std::min<int>(rect.bottom, row.Top + row.Height - row.FooterHeight);
  rect.bottom = std::max<int>(rect.bottom, rect.top);
  return rect;
}

TRect TdxTreeListLayoutBuilder::GetCellRect(TdxTreeListNode* node, int visibleColumn) {
  return CellOrEditorRect(node, visibleColumn, /*editor=*/false);
}

TRect TdxTreeListLayoutBuilder::GetEditorRect(TdxTreeListNode* node, int visibleColumn) {
  return CellOrEditorRect(node, visibleColumn, /*editor=*/true);
}

TRect TdxTreeListLayoutBuilder::CellOrEditorRect(TdxTreeListNode* node, int visibleColumn, bool editor) {
  const TRect none{-1, -1, -1, -1};
  const int column = GetColumnByVisibleIndex(visibleColumn);
  if (column < 0 || !node)
    return none;
  TdxTreeListLayout layout;
  CalcLayout(layout);
  const TdxTreeListColumnEntry* entry = layout.FindColumn(column);
  const TdxTreeListRowEntry* row = layout.FindRow(node);
  if (!entry || !row)
    return none;
  TRect rect = CalcCellRect(layout, *row, *entry);
  if (!editor)
    return rect;
  // The editor lies inside the grid lines: off the vertical line at the right, except
  // at the grid's right edge, and off the extra pixels of taller rows.
  if (!entry->LastOfAll && rect.right > rect.left)
    rect.right -= 1;
  if (FControl.GetOptionsEx().Contains(aoOptionsEx0) && rect.bottom - rect.top > 2) {
    rect.top += 1;
    rect.bottom -= 1;
  }
  return rect;
}

int TdxTreeListLayoutBuilder::GetColumnByVisibleIndex(int visibleIndex) {
  int result = -1;
  VisitColumnsInVisibleOrder(&FControl, [&](int column, int index) {
    if (index != visibleIndex)
      return false;
    result = column;
    return true;
  });
  return result;
}

int TdxTreeListLayoutBuilder::GetVisibleIndexOfColumn(int column) {
  int result = 0;
  VisitColumnsInVisibleOrder(&FControl, [&](int found, int index) {
    if (found != column)
      return false;
    result = index;
    return true;
  });
  return result;
}

// ---- Rows area and row rectangles

TRect TdxTreeListLayoutBuilder::GetRowsRect() {
  TdxTreeListLayout layout;
  CalcAreas(layout);
  return layout.Rows;
}

void TdxTreeListLayoutBuilder::GetLayoutPartRect(TRect& rect) {
  TdxTreeListLayout layout;
  CalcAreas(layout);
  rect = layout.Rows;
  if (FMetrics.IndicatorWidth > 0 && rect.bottom > rect.top)
    rect.left -= FMetrics.IndicatorWidth;
}
