// Band and column widths, the scrolled area, node indents and footer lines, and the row
// sizing limits. Everything is computed from the virtual band and
// column queries on every call; nothing is kept.
//
// Decisions taken here:
// - A proportional share whose divisor is 0 (every band, or every sizable column of a
//   band row, 0 wide) is not Windows' -1: the band gets its minimum width, the column
//   its minimum. No band or column is ever shown with a negative width.
// - The scrolled area lies between the fixed bands also with auto width, as it does in
//   the layout.
#include <algorithm>
#include <cstdlib>
#include <vector>

#include "treelist/DxTreeList.h"

namespace {

// The minimum, requested and display widths of the visible bands and their total (with
// the first band's extra width).
struct TBandWidths {
  std::vector<int> Min;
  std::vector<int> Requested;
  std::vector<int> Display;
  int Total = 0;
};

void CalcBandWidths(TCustomdxTreeList* tree, TBandWidths& widths) {
  const int count = std::max<int>(tree->GetVisibleBandCount(), 0);
  widths.Min.resize(count);
  widths.Requested.resize(count);
  widths.Display.resize(count);
  if (count == 0)
    return;
  const int extra = tree->GetFirstBandExtraWidth();
  int requestedSum = 0;
  int minSum = 0;
  bool anySizable = false;
  for (int band = 0; band < count; ++band) {
    widths.Min[band] = tree->GetBandMinWidth(band);
    widths.Requested[band] = tree->GetBandRequestedWidth(band);
    requestedSum += widths.Requested[band];
    minSum += widths.Min[band];
    anySizable = anySizable || tree->CanSizeBand(band);
  }
  if (!tree->IsAutoWidth()) {
    widths.Display = widths.Requested;
    widths.Total = extra + requestedSum;
    return;
  }
  // Auto width: the bands fill the grid area, unless their minimum widths do not fit.
  const int area = RectWidth(tree->GetGridAreaRect());
  widths.Total = area < extra + minSum || !anySizable ? extra + minSum : area;
  const int available = widths.Total - extra;
  auto share = [&](int band) { return MulDiv(available, widths.Requested[band], requestedSum); };
  int growingSum = 0;  // the requested widths of the bands whose share exceeds their minimum
  for (int band = 0; band < count && requestedSum != 0; ++band) {
    if (tree->CanSizeBand(band) && share(band) > widths.Min[band])
      growingSum += widths.Requested[band];
  }
  int shown = 0;
  for (int band = 0; band < count - 1; ++band) {
    int& width = widths.Display[band];
    if (!tree->CanSizeBand(band))
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

}  // namespace

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

int TCustomdxTreeList::GetRowColumnsWidth(int band, int row) {
  return SumRowColumns(this, band, row, &TCustomdxTreeList::GetColumnWidth);
}

int TCustomdxTreeList::GetRowColumnsMinWidth(int band, int row) {
  return SumRowColumns(this, band, row, &TCustomdxTreeList::GetColumnMinWidth);
}

int TCustomdxTreeList::GetBandMinWidth(int band) {
  int width = CanSizeBand(band) ? GetVisibleBandMinWidth(band) : GetVisibleBandWidth(band);
  const int rows = GetBandRowCount(band);
  for (int row = 0; row < rows; ++row)
    width = std::max<int>(width, GetRowColumnsMinWidth(band, row));
  return width;
}

int TCustomdxTreeList::GetBandRequestedWidth(int band) {
  int width = 0;
  if (IsColumnAutoWidth()) {
    const int rows = GetBandRowCount(band);
    for (int row = 0; row < rows; ++row)
      width = std::max<int>(width, GetRowColumnsWidth(band, row));
  }
  if (width == 0)
    width = GetVisibleBandWidth(band);
  return std::max<int>(width, GetBandMinWidth(band));
}

int TCustomdxTreeList::GetBandsTotalWidth() {
  TBandWidths widths;
  CalcBandWidths(this, widths);
  return widths.Total;
}

int TCustomdxTreeList::GetBandDisplayWidth(int band) {
  TBandWidths widths;
  CalcBandWidths(this, widths);
  return band >= 0 && band < static_cast<int>(widths.Display.size()) ? widths.Display[band] : 0;
}

int TCustomdxTreeList::GetColumnLineCount(int band, int row, int position) {
  if (row != GetBandRowCount(band) - 1)
    return 1;
  // The band's last row reaches down over the column's header lines (all that are left
  // for 0), never past the header panel.
  const int rows = GetHeaderPanelRowCount();
  const int column = GetColumnAt(band, row, position);
  int lines = column >= 0 ? GetColumnHeaderMaxLineCount(column) : 1;
  if (lines <= 0)
    lines = rows;
  if (row + lines > rows)
    lines = rows - row;
  return std::max<int>(lines, 1);
}

// ---- The scrolled area

TRect TCustomdxTreeList::GetGridAreaRect() {
  TRect rect = GetClientRect();
  if (FShowIndicator)
    rect.left += FMetrics.IndicatorWidth;
  rect.bottom -= FMetrics.StatusPanelHeight;
  return rect;
}

TRect TCustomdxTreeList::GetScrolledAreaRect() {
  TRect rect = GetGridAreaRect();
  rect.top += FMetrics.TopPanelHeight;
  const int count = GetVisibleBandCount();
  const int leftFixed = GetLeftFixedBand();
  const int rightFixed = GetRightFixedBand();
  if (leftFixed >= 0 && leftFixed < count)
    rect.left += GetBandDisplayWidth(leftFixed) + GetFirstBandExtraWidth();
  if (rightFixed >= 0 && rightFixed < count)
    rect.right -= GetBandDisplayWidth(rightFixed);
  rect.right = std::max<int>(rect.right, rect.left);
  return rect;
}

int TCustomdxTreeList::GetVisibleScrollWidth() {
  return RectWidth(GetScrolledAreaRect());
}

int TCustomdxTreeList::GetTotalScrollWidth() {
  TBandWidths widths;
  CalcBandWidths(this, widths);
  const int count = static_cast<int>(widths.Display.size());
  int total = widths.Total;
  const int leftFixed = GetLeftFixedBand();
  const int rightFixed = GetRightFixedBand();
  if (leftFixed >= 0 && leftFixed < count)
    total -= widths.Display[leftFixed] + GetFirstBandExtraWidth();
  if (rightFixed >= 0 && rightFixed < count)
    total -= widths.Display[rightFixed];
  return total;
}

int TCustomdxTreeList::GetBandScrollLeft(int band) {
  const int count = GetVisibleBandCount();
  const int leftFixed = GetLeftFixedBand();
  if (count < 2 || band < 0 || band >= count || band == leftFixed || band == GetRightFixedBand())
    return 0;
  TBandWidths widths;
  CalcBandWidths(this, widths);
  const int first = leftFixed >= 0 ? 1 : 0;
  int left = first == 0 && band > 0 ? GetFirstBandExtraWidth() : 0;
  for (int i = first; i < band; ++i)
    left += widths.Display[i];
  return left;
}

// ---- Nodes

void TCustomdxTreeList::GetNodeIndent(TdxTreeListNode* node, int& levelWidth, int& fullWidth) {
  levelWidth = 0;
  fullWidth = 0;
  if (!node)
    return;
  const TdxTreeListMetrics& m = FMetrics;
  const int level = node->GetLevel();
  const int levels = node->GetHasChildren() || m.TreeLook ? level + 1 : level;
  levelWidth = std::max<int>((levels - (IsRootShown() ? 0 : 1)) * m.IndentWidth, 0);
  fullWidth = levelWidth + m.ImageWidth;
  if (GetNodeStateIndex(node) != -1)
    fullWidth += m.StateImageWidth;
}

int TCustomdxTreeList::GetPreviewWidth(TdxTreeListNode* node) {
  int levelWidth = 0;
  int fullWidth = 0;
  GetNodeIndent(node, levelWidth, fullWidth);
  return GetBandsTotalWidth() - (FShowGrid ? 1 : 0) - fullWidth;
}

bool TCustomdxTreeList::IsRowAutoHeight() {
  return !IsPreviewVisible() && GetHeaderPanelRowCount() == 1 && IsOptionsEx15Set();
}

int TCustomdxTreeList::GetNodeFooterLevel(TdxTreeListNode* node, int index) {
  if (!GetDisplayFlag() || !node || node->GetHasChildren() || !node->IsLast())
    return -1;
  int counted = -1;
  int level = -1;
  for (TdxTreeListNode* parent = node->GetParent(); parent; parent = parent->GetParent()) {
    if (!HasLevelFooter(parent->GetLevel()))
      continue;
    level = parent->GetLevel();
    if (++counted == index)
      break;
  }
  return level;
}

int TCustomdxTreeList::CountNodeFootersBelow(TdxTreeListNode* node, int level) {
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

void TCustomdxTreeList::GetRowSizingLimits(TdxTreeListNode* node, int defaultValue, int& minValue,
                                           int& maxValue) {
  minValue = defaultValue;
  maxValue = defaultValue;
  if (!node)
    return;
  TRect row;
  GetNavigator().GetNodeRowRect(node, row);
  minValue = row.top + GetNodeRowHeight(node, FMetrics.MinRowHeight, /*noCache=*/true);
  TdxTreeListLayout layout;
  CalcAreas(layout);
  maxValue = IsEmptyRect(layout.Footer) ? layout.Client.bottom - 1 : layout.Footer.top - 1;
}
