// Band and column widths, the scrolled area, node indents, row heights and footer lines,
// and the row sizing limits. Everything is computed from the virtual band and column
// queries on every call; nothing is kept.
//
// Decisions taken here:
// - A proportional share whose divisor is 0 (every band, or every sizable column of a
//   band row, 0 wide) is not Windows' -1: the band gets its minimum width, the column
//   its minimum. No band or column is ever shown with a negative width.
// - The scrolled area lies between the fixed bands also with auto width, as it does in
//   the layout.
#include "treelist/DxTreeListWidths.h"

#include <algorithm>
#include <string>
#include <vector>

#include "classlib/GdiHandles.h"
#include "treelist/DxTreeList.h"

// ---- Bands

// The sum of `width` over the columns of a band row.
static int SumRowColumns(TCustomdxTreeList* tree, int band, int row, int32_t (TCustomdxTreeList::*width)(int32_t)) {
  int sum = 0;
  const int count = tree->GetColumnCountInRow(band, row);
  for (int position = 0; position < count; ++position) {
    const int column = tree->GetColumnAt(band, row, position);
    if (column >= 0)
      sum += (tree->*width)(column);
  }
  return sum;
}

int TdxTreeListWidths::GetRowColumnsWidth(int band, int row) {
  return SumRowColumns(&FControl, band, row, &TCustomdxTreeList::GetColumnWidth);
}

int TdxTreeListWidths::GetRowColumnsMinWidth(int band, int row) {
  return SumRowColumns(&FControl, band, row, &TCustomdxTreeList::GetColumnMinWidth);
}

int TdxTreeListWidths::GetBandMinWidth(int band) {
  int width = FControl.CanSizeBand(band) ? FControl.GetVisibleBandMinWidth(band) : FControl.GetVisibleBandWidth(band);
  const int rows = FControl.GetBandRowCount(band);
  for (int row = 0; row < rows; ++row)
    width = std::max<int>(width, GetRowColumnsMinWidth(band, row));
  return width;
}

int TdxTreeListWidths::GetBandRequestedWidth(int band) { return RequestedWidth(band, GetBandMinWidth(band)); }

int TdxTreeListWidths::RequestedWidth(int band, int minWidth) {
  int width = 0;
  if (FControl.IsColumnAutoWidth()) {
    const int rows = FControl.GetBandRowCount(band);
    for (int row = 0; row < rows; ++row)
      width = std::max<int>(width, GetRowColumnsWidth(band, row));
  }
  if (width == 0)
    width = FControl.GetVisibleBandWidth(band);
  return std::max<int>(width, minWidth);
}

void TdxTreeListWidths::CalcBandWidths(TdxTreeListBandWidths& widths) {
  const int count = std::max<int>(FControl.GetVisibleBandCount(), 0);
  widths.Min.resize(count);
  widths.Requested.resize(count);
  widths.Display.resize(count);
  if (count == 0)
    return;
  const int extra = FControl.GetFirstBandExtraWidth();
  int requestedSum = 0;
  int minSum = 0;
  bool anySizable = false;
  for (int band = 0; band < count; ++band) {
    widths.Min[band] = GetBandMinWidth(band);
    widths.Requested[band] = RequestedWidth(band, widths.Min[band]);
    requestedSum += widths.Requested[band];
    minSum += widths.Min[band];
    anySizable = anySizable || FControl.CanSizeBand(band);
  }
  if (!FControl.IsAutoWidth()) {
    widths.Display = widths.Requested;
    widths.Total = extra + requestedSum;
    return;
  }
  // Auto width: the bands fill the grid area, unless their minimum widths do not fit.
  const int area = RectWidth(GetGridAreaRect());
  widths.Total = area < extra + minSum || !anySizable ? extra + minSum : area;
  const int available = widths.Total - extra;
  auto share = [&](int band) { return MulDiv(available, widths.Requested[band], requestedSum); };
  int growingSum = 0;  // the requested widths of the bands whose share exceeds their minimum
  for (int band = 0; band < count && requestedSum != 0; ++band) {
    if (FControl.CanSizeBand(band) && share(band) > widths.Min[band])
      growingSum += widths.Requested[band];
  }
  int shown = 0;
  for (int band = 0; band < count - 1; ++band) {
    int& width = widths.Display[band];
    if (!FControl.CanSizeBand(band))
      width = widths.Requested[band];
    else if (requestedSum == 0)
      width = widths.Min[band];
    else if (growingSum == requestedSum)
      width = share(band);
    else if (share(band) > widths.Min[band] && growingSum != 0)
      width = widths.Min[band] + MulDiv(available - minSum, widths.Requested[band], growingSum);
    else
      width = widths.Min[band];
    width = std::max<int>(width, 0);
    shown += width;
  }
  // The last band takes what is left, whether it may be sized or not.
  widths.Display[count - 1] = std::max<int>(available - shown, 0);
}

int TdxTreeListWidths::GetBandsTotalWidth() {
  TdxTreeListBandWidths widths;
  CalcBandWidths(widths);
  return widths.Total;
}

int TdxTreeListWidths::GetBandDisplayWidth(int band) {
  TdxTreeListBandWidths widths;
  CalcBandWidths(widths);
  return widths.DisplayOf(band);
}

int TdxTreeListWidths::GetColumnLineCount(int band, int row, int position) {
  if (row != FControl.GetBandRowCount(band) - 1)
    return 1;
  // The band's last row reaches down over the column's header lines (all that are left
  // for 0), never past the header panel.
  const int rows = FControl.GetHeaderPanelRowCount();
  const int column = FControl.GetColumnAt(band, row, position);
  int lines = column >= 0 ? FControl.GetColumnHeaderMaxLineCount(column) : 1;
  if (lines <= 0)
    lines = rows;
  if (row + lines > rows)
    lines = rows - row;
  return std::max<int>(lines, 1);
}

int32_t TdxTreeListWidths::GetColumnDisplayWidth(int32_t column) {
  // The columns of a band row share the band's width: columns that cannot be sized keep
  // theirs, the others share the rest in proportion to their widths, never below their
  // minimum widths, and the last one takes what is left.
  const int band = FControl.GetVisibleBandIndex(FControl.GetColumnBandIndex(column));
  if (band < 0)
    return 0;
  const int row = FControl.GetColumnRowIndex(column);
  const int count = FControl.GetColumnCountInRow(band, row);
  const int bandWidth = GetBandDisplayWidth(band);
  int width = bandWidth;
  int widthSum = GetRowColumnsWidth(band, row);
  int minSum = GetRowColumnsMinWidth(band, row);
  int growingSum = 0;
  bool held = false;
  for (int position = 0; position < count; ++position) {
    const int rowColumn = FControl.GetColumnAt(band, row, position);
    if (rowColumn < 0 || !FControl.CanSizeColumn(rowColumn))
      continue;
    if (widthSum != 0 &&
        MulDiv(width, FControl.GetColumnWidth(rowColumn), widthSum) >= FControl.GetColumnMinWidth(rowColumn))
      growingSum += FControl.GetColumnWidth(rowColumn);
    else
      held = true;
  }
  int result = FControl.GetColumnWidth(column);
  int shown = 0;
  for (int position = 0; position < count; ++position) {
    const int rowColumn = FControl.GetColumnAt(band, row, position);
    if (rowColumn < 0)
      continue;
    const int own = FControl.GetColumnWidth(rowColumn);
    const int least = FControl.GetColumnMinWidth(rowColumn);
    int columnWidth = least;
    if (position == count - 1) {
      columnWidth = bandWidth - shown;
    } else if (!FControl.CanSizeColumn(rowColumn)) {
      columnWidth = own;
      width -= own;
      widthSum -= own;
      minSum -= own;
    } else if (widthSum != 0) {
      const int share = MulDiv(width, own, widthSum);
      if (growingSum == widthSum)
        columnWidth = share;
      else if (share <= least)
        columnWidth = least;
      else if (held && growingSum != 0)
        columnWidth = least + MulDiv(width - minSum, own, growingSum);
      else if (!held)
        columnWidth = share;
    }
    columnWidth = std::max(columnWidth, 0);
    if (rowColumn == column) {
      result = columnWidth;
      break;
    }
    shown += columnWidth;
  }
  if (band == 0 && FControl.GetColumnColIndex(column) == 0)
    result += FControl.GetFirstBandExtraWidth();
  return result;
}

int TdxTreeListWidths::GetShownColumnCount() {
  int count = 0;
  const int columns = FControl.GetColumnCount();
  for (int column = 0; column < columns; ++column) {
    if (FControl.IsColumnInVisibleBand(column))
      ++count;
  }
  return count;
}

// ---- The scrolled area

TRect TdxTreeListWidths::GetGridAreaRect() {
  TRect rect = FControl.GetClientRect();
  if (FControl.GetShowIndicator())
    rect.left += FControl.GetMetrics().IndicatorWidth;
  rect.bottom -= FControl.GetMetrics().StatusPanelHeight;
  return rect;
}

TRect TdxTreeListWidths::GetScrolledAreaRect() {
  TRect rect = GetGridAreaRect();
  rect.top += FControl.GetMetrics().TopPanelHeight;
  const int count = FControl.GetVisibleBandCount();
  const int leftFixed = FControl.GetLeftFixedBand();
  const int rightFixed = FControl.GetRightFixedBand();
  const bool leftShown = leftFixed >= 0 && leftFixed < count;
  const bool rightShown = rightFixed >= 0 && rightFixed < count;
  TdxTreeListBandWidths widths;
  if (leftShown || rightShown)
    CalcBandWidths(widths);
  if (leftShown)
    rect.left += widths.DisplayOf(leftFixed) + FControl.GetFirstBandExtraWidth();
  if (rightShown)
    rect.right -= widths.DisplayOf(rightFixed);
  rect.right = std::max<int>(rect.right, rect.left);
  return rect;
}

int TdxTreeListWidths::GetVisibleScrollWidth() {
  return RectWidth(GetScrolledAreaRect());
}

int TdxTreeListWidths::GetTotalScrollWidth() {
  TdxTreeListBandWidths widths;
  CalcBandWidths(widths);
  const int count = static_cast<int>(widths.Display.size());
  int total = widths.Total;
  const int leftFixed = FControl.GetLeftFixedBand();
  const int rightFixed = FControl.GetRightFixedBand();
  if (leftFixed >= 0 && leftFixed < count)
    total -= widths.Display[leftFixed] + FControl.GetFirstBandExtraWidth();
  if (rightFixed >= 0 && rightFixed < count)
    total -= widths.Display[rightFixed];
  return total;
}

int TdxTreeListWidths::GetBandScrollLeft(int band) {
  const int count = FControl.GetVisibleBandCount();
  const int leftFixed = FControl.GetLeftFixedBand();
  if (count < 2 || band < 0 || band >= count || band == leftFixed || band == FControl.GetRightFixedBand())
    return 0;
  TdxTreeListBandWidths widths;
  CalcBandWidths(widths);
  const int first = leftFixed >= 0 ? 1 : 0;
  int left = first == 0 && band > 0 ? FControl.GetFirstBandExtraWidth() : 0;
  for (int i = first; i < band; ++i)
    left += widths.Display[i];
  return left;
}

// ---- Nodes

void TdxTreeListWidths::GetNodeIndent(TdxTreeListNode* node, int& levelWidth, int& fullWidth) {
  levelWidth = 0;
  fullWidth = 0;
  if (!node)
    return;
  const TdxTreeListMetrics& m = FControl.GetMetrics();
  const int level = node->GetLevel();
  const int levels = node->GetHasChildren() || m.TreeLook ? level + 1 : level;
  levelWidth = std::max<int>((levels - (FControl.GetLayoutBuilder().IsRootShown() ? 0 : 1)) * m.IndentWidth, 0);
  fullWidth = levelWidth + m.ImageWidth;
  if (FControl.GetNodeStateIndex(node) != -1)
    fullWidth += m.StateImageWidth;
}

int TdxTreeListWidths::GetPreviewWidth(TdxTreeListNode* node) {
  int levelWidth = 0;
  int fullWidth = 0;
  GetNodeIndent(node, levelWidth, fullWidth);
  return GetBandsTotalWidth() - (FControl.GetShowGrid() ? 1 : 0) - fullWidth;
}

bool TdxTreeListWidths::IsRowAutoHeight() {
  return !FControl.IsPreviewVisible() && FControl.GetHeaderPanelRowCount() == 1 && FControl.IsOptionsEx15Set();
}

int TdxTreeListWidths::GetNodeRowHeight(TdxTreeListNode* node, int lineHeight, bool noCache) {
  if (FControl.UseRowHeightCache() && !noCache && node && node->GetRowHeightCache() != 0)
    return node->GetRowHeightCache();
  if (node)
    node->SetLineCountCache(0);
  int h = lineHeight;
  const int previewLines = FControl.IsPreviewVisible() ? FControl.GetPreviewLineCount(node) : 0;
  int result = FControl.GetShowGrid() ? FControl.GetGridLineWidth() : 0;
  int lines = 0;
  if (node && IsRowAutoHeight()) {
    int32_t needed = h;
    lines = FControl.CalcRowLineCount(node, needed);
    if (lines > 1 && needed == h)
      h += (lines - 1) * FControl.GetMetrics().FontTextHeight;
    if (needed > h)
      h = needed;
  }
  const bool oneLine = node && FControl.NodeRowQuery(node);
  if (oneLine) {
    result += h;
  } else {
    result += FControl.GetHeaderPanelRowCount() * h + previewLines * FControl.GetMetrics().PreviewLineHeight;
    if (previewLines >= 1 && FControl.GetShowGrid() && FControl.GetShowPreviewGrid())
      result += 1;
  }
  if (!FControl.GetShowGrid() && node && node->GetHasChildren() && !FControl.GetMetrics().TreeLook)
    result += 1;
  if (previewLines > 0 && node && !oneLine)
    result += 2;
  if (FControl.GetShowGrid() && FControl.GetShowPreviewGrid())
    result -= 1;
  result += CalcNodeFooterCount(node) * FControl.GetMetrics().NodeFooterHeight;
  if (!noCache && node) {
    node->SetRowHeightCache(result);
    node->SetLineCountCache(lines);
  }
  return result;
}

int32_t TdxTreeListWidths::CalcRowLineCount(TdxTreeListNode* node, int32_t& height) {
  int32_t lines = 1;
  const int32_t count = FControl.GetColumnCount();
  for (int32_t column = 0; column < count; ++column) {
    if (!FControl.IsColumnInVisibleBand(column))
      continue;
    int32_t cellLines = 0;
    int32_t textHeight = 0;
    const int32_t maxLines = FControl.GetColumnMaxRowLineCount(column);
    if (FControl.MeasureCellText(node, column, cellLines, textHeight, FControl.GetColumnDisplayWidth(column),
                                 maxLines == 0 ? -1 : maxLines))
      lines = std::max(lines, cellLines);
  }
  return lines;
}

int32_t TdxTreeListWidths::GetNodeMaxTextWidth(TdxTreeListNode* node) {
  int32_t widest = 0;
  const int32_t count = FControl.GetColumnCount();
  for (int32_t column = 0; column < count; ++column) {
    if (FControl.IsColumnInVisibleBand(column))
      widest = std::max(widest, FControl.GetCellTextWidth(FControl.GetCanvas(), node, column));
  }
  return widest;
}

int32_t TdxTreeListWidths::GetPreviewLineCount(TdxTreeListNode* node) {
  if (!node || !FControl.IsAutoPreviewLines())
    return FControl.GetPreviewLines();
  std::string text;
  FControl.GetPreviewText(node, text);
  if (text.empty())
    return 0;
  // The text broken into lines at the preview width, in the preview font.
  TClientDC dc(nullptr);
  TSelectGuard select(dc, FControl.GetPreviewFont()->GetHandle());
  // Measured at the width it is drawn in: less its indent and its 1-pixel margins.
  RECT bounds{0, 0, std::max(GetPreviewWidth(node) - TdxTreeListLayoutBuilder::kPreviewIndent - 2, 1), 0};
  const int height =
      DrawTextA(dc, text.c_str(), static_cast<int>(text.size()), &bounds, DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX);
  TEXTMETRICA metrics{};
  GetTextMetricsA(dc, &metrics);
  const int lineHeight = std::max(static_cast<int>(metrics.tmHeight), 1);
  return std::max((height + lineHeight - 1) / lineHeight, 1);
}

int TdxTreeListWidths::CalcNodeFooterCount(TdxTreeListNode* node) {
  if (!FControl.GetDisplayFlag() || !node || node->GetHasChildren() || !node->IsLast() || !node->GetParent())
    return 0;
  int count = 0;
  const TdxTreeListNode* current = node;
  for (TdxTreeListNode* parent = node->GetParent(); parent && current->IsLast(); parent = parent->GetParent()) {
    if (FControl.HasLevelFooter(parent->GetLevel()))
      ++count;
    current = parent;
  }
  return count;
}

int TdxTreeListWidths::GetNodeFooterLevel(TdxTreeListNode* node, int index) {
  if (!FControl.GetDisplayFlag() || !node || node->GetHasChildren() || !node->IsLast())
    return -1;
  int counted = -1;
  int level = -1;
  for (TdxTreeListNode* parent = node->GetParent(); parent; parent = parent->GetParent()) {
    if (!FControl.HasLevelFooter(parent->GetLevel()))
      continue;
    level = parent->GetLevel();
    if (++counted == index)
      break;
  }
  return level;
}

int TdxTreeListWidths::CountNodeFootersBelow(TdxTreeListNode* node, int level) {
  if (!node || node->GetHasChildren() || !node->IsLast())
    return -1;
  int count = 0;
  const int lines = CalcNodeFooterCount(node);
  for (int index = 0; index < lines; ++index) {
    if (GetNodeFooterLevel(node, index) < level)
      ++count;
  }
  return count;
}

void TdxTreeListWidths::GetRowSizingLimits(TdxTreeListNode* node, int defaultValue, int& minValue,
                                           int& maxValue) {
  minValue = defaultValue;
  maxValue = defaultValue;
  if (!node)
    return;
  TRect row;
  FControl.GetNavigator().GetNodeRowRect(node, row);
  minValue = row.top + GetNodeRowHeight(node, FControl.GetMetrics().MinRowHeight, /*noCache=*/true);
  TdxTreeListLayout layout;
  FControl.GetLayoutBuilder().CalcAreas(layout);
  maxValue = IsEmptyRect(layout.Footer) ? layout.Client.bottom - 1 : layout.Footer.top - 1;
}
