// Sizing with the mouse: a press on a band, column, panel or row edge starts a sizing
// state, its XOR line follows the pointer within the limits, and the release applies the
// new width, header or band row count, or row line count through the control's virtual
// operations.
//
// Decisions taken here:
// - A column sized inside its band row trades width with its right neighbour (the last
//   column of a row with its left one), never below either's minimum width; the sizing
//   line stops where that neighbour would become narrower.
#include "treelist/DxTreeListSizing.h"

#include <algorithm>
#include <utility>
#include <vector>

#include "classlib/GdiHandles.h"
#include "treelist/DxTreeList.h"

void TdxTreeListSizing::Begin(int pos) {
  FSizingStart = pos;
  FSizingPos = pos;
  DrawSizingLine();
}

void TdxTreeListSizing::SizingLimits(int& minValue, int& maxValue) {
  const TdxTreeListHitInfo& down = FControl.GetMouse().GetDownHitInfo();
  minValue = 0;
  maxValue = 100000;
  if (FControl.GetState() == stRowSizing) {
    // The row limits need no layout.
    FControl.GetWidths().GetRowSizingLimits(down.Node, FSizingStart, minValue, maxValue);
    return;
  }
  TdxTreeListLayout layout;
  FControl.CalcLayout(layout);
  const TRect client = FControl.GetClientRect();
  switch (FControl.GetState()) {
    case stBandSizing: {
      const int band = down.Band;
      const TdxTreeListBandEntry* entry = layout.FindBand(band);
      if (!entry)
        return;
      minValue = static_cast<int>(entry->Rect.left) + FControl.GetWidths().GetBandMinWidth(band) +
                 (band == 0 ? FControl.GetMetrics().NodeIndentWidth : 0) - 2;
      if (!FControl.IsBandSizingUnbounded())
        maxValue = std::max<int>(client.right - 2, minValue);
      return;
    }
    case stColumnSizing: {
      const int column = down.Column;
      const TdxTreeListColumnEntry* entry = layout.FindColumn(column);
      if (!entry)
        return;
      const bool firstOfFirst =
          FControl.GetVisibleBandIndex(FControl.GetColumnBandIndex(column)) == 0 && FControl.GetColumnColIndex(column) == 0;
      const int extra = firstOfFirst ? FControl.GetFirstBandExtraWidth() : 0;
      minValue = static_cast<int>(entry->Rect.left) + FControl.GetColumnMinWidth(column) + extra - 1;
      if (FControl.IsColumnSizingUnbounded()) {
        maxValue = 100000;
      } else if (FControl.GetOptionsEx().Contains(aoBandHeaderWidth) && !FControl.IsAutoWidth() &&
                 FControl.GetBandRowCount(entry->Band) < 2) {
        maxValue = static_cast<int>(client.right) - 1;
      } else {
        // Inside the band row: the right neighbour gives at most down to its minimum.
        const int neighbour =
            entry->LastInRow ? -1 : FControl.GetColumnAt(entry->Band, entry->RowInBand, entry->Position + 1);
        const TdxTreeListColumnEntry* next = neighbour >= 0 ? layout.FindColumn(neighbour) : nullptr;
        maxValue = next ? next->Rect.right - FControl.GetColumnMinWidth(neighbour) - 1 : entry->Rect.right - 1;
      }
      maxValue = std::max(maxValue, minValue);
      return;
    }
    case stBandPanelSizing:
    case stHeaderPanelSizing: {
      const int top = FControl.GetState() == stBandPanelSizing ? layout.BandRow.top : layout.HeaderPanel.top;
      minValue = top;
      maxValue = client.bottom;
      return;
    }
    default:
      return;
  }
}

void TdxTreeListSizing::MoveSizingLine(int x, int y) {
  int minValue = 0;
  int maxValue = 0;
  SizingLimits(minValue, maxValue);
  int pos = FControl.GetState() == stColumnSizing || FControl.GetState() == stBandSizing ? x : y;
  pos = std::max(std::min(pos, maxValue), minValue);
  if (FControl.GetState() == stHeaderPanelSizing && FControl.GetMetrics().HeaderLineHeight > 0) {
    // Whole header rows from 1 to the most the panel may hold.
    const int line = FControl.GetMetrics().HeaderLineHeight;
    const int rows =
        std::clamp((pos - minValue + line / 2) / line, 1, std::max<int>(FControl.GetHeaderPanelMaxRowCount(), 1));
    pos = minValue + rows * line;
  } else if (FControl.GetState() == stBandPanelSizing && FControl.GetMetrics().BandRows > 0 &&
             FControl.GetMetrics().BandRowHeight > 0) {
    const int line = FControl.GetMetrics().BandRowHeight / std::max<int>(FControl.GetMetrics().BandRows, 1);
    if (line > 0) {
      const int rows =
          std::clamp((pos - minValue + line / 2) / line, 1, std::max<int>(FControl.GetBandMaxRowCount(), 1));
      pos = minValue + rows * line;
    }
  }
  if (pos == FSizingPos)
    return;
  DrawSizingLine();
  FSizingPos = pos;
  DrawSizingLine();
}

void TdxTreeListSizing::FinishSizing(int x, int y) {
  DrawSizingLine();
  const TdxTreeListState state = FControl.GetState();
  int minValue = 0;
  int maxValue = 0;
  SizingLimits(minValue, maxValue);
  const int pos = std::max(std::min(FSizingPos, maxValue), minValue);
  FControl.SetState(stNone);
  if (pos == FSizingStart)
    return;
  TdxTreeListLayout layout;
  FControl.CalcLayout(layout);
  const TdxTreeListHitInfo& down = FControl.GetMouse().GetDownHitInfo();
  switch (state) {
    case stBandSizing:
      if (const TdxTreeListBandEntry* entry = layout.FindBand(down.Band)) {
        const int extra = down.Band == 0 ? FControl.GetMetrics().NodeIndentWidth : 0;
        ApplyBandWidth(down.Band, pos - entry->Rect.left + 2 - extra);
        FControl.DoWidthChanged();
      }
      return;
    case stColumnSizing:
      if (const TdxTreeListColumnEntry* entry = layout.FindColumn(down.Column)) {
        ApplyColumnWidth(down.Column, pos - entry->Rect.left + 1);
        FControl.DoWidthChanged();
      }
      return;
    case stBandPanelSizing: {
      const int line = FControl.GetMetrics().BandRowHeight / std::max<int>(FControl.GetMetrics().BandRows, 1);
      if (line > 0)
        FControl.SetBandRowCount(std::max<int>((pos - layout.BandRow.top) / line, 1));
      return;
    }
    case stHeaderPanelSizing: {
      const int line = FControl.GetMetrics().HeaderLineHeight;
      if (line > 0)
        FControl.SetHeaderRowCount(std::max<int>((pos - layout.HeaderPanel.top + line / 2) / line, 1));
      return;
    }
    case stRowSizing: {
      TdxTreeListNode* node = down.Node;
      if (!node)
        return;
      TRect row;
      FControl.GetNavigator().GetNodeRowRect(node, row);
      if (row.top < 0)
        return;
      const int height = pos - row.top;
      // The most lines whose row still fits the new height.
      const int saved = FControl.GetRowLineCount();
      int lines = 1;
      for (int n = 1; n <= 32; ++n) {
        FControl.GetAppearance().SetRowLineCount(n);
        if (FControl.GetDefaultRowLinesHeight() > height)
          break;
        lines = n;
      }
      FControl.GetAppearance().SetRowLineCount(saved);
      FControl.SetRowLineCount(lines);
      FControl.UpdateGuarded();
      return;
    }
    default:
      return;
  }
}

void TdxTreeListSizing::ApplyColumnWidth(int column, int width) {
  const int band = FControl.GetVisibleBandIndex(FControl.GetColumnBandIndex(column));
  const bool firstOfFirst = band == 0 && FControl.GetColumnColIndex(column) == 0;
  const int extra = firstOfFirst ? FControl.GetFirstBandExtraWidth() : 0;
  width = std::max(width - extra, FControl.GetColumnMinWidth(column));
  if (FControl.GetOptionsEx().Contains(aoBandHeaderWidth) && !FControl.IsAutoWidth() &&
      FControl.GetBandRowCount(band) < 2) {
    // The band follows its column.
    FControl.SetColumnWidth(column, width);
    return;
  }
  // Inside the band: the neighbour gives or takes the difference; every other column of
  // the row keeps the width it shows.
  const int row = FControl.GetColumnRowIndex(column);
  const int count = FControl.GetColumnCountInRow(band, row);
  const int position = FControl.GetColumnColIndex(column);
  const int neighbour = FControl.GetColumnAt(band, row, position + 1 < count ? position + 1 : position - 1);
  std::vector<std::pair<int, int>> widths;
  for (int p = 0; p < count; ++p) {
    const int c = FControl.GetColumnAt(band, row, p);
    const int shown = FControl.GetColumnDisplayWidth(c) - (band == 0 && p == 0 ? FControl.GetFirstBandExtraWidth() : 0);
    widths.emplace_back(c, shown);
  }
  TdxTreeListUpdateScope update(&FControl);
  for (auto& [c, shown] : widths) {
    if (c == column)
      continue;
    if (c == neighbour) {
      const int old = FControl.GetColumnDisplayWidth(column) - extra;
      shown = std::max(shown - (width - old), FControl.GetColumnMinWidth(c));
    }
    FControl.SetColumnWidth(c, shown);
  }
  FControl.SetColumnWidth(column, width);
}

void TdxTreeListSizing::ApplyBandWidth(int band, int width) {
  if (!FControl.IsAutoWidth()) {
    FControl.SetBandWidth(band, width);
    return;
  }
  // The bands after it (all others when it is the last) share the difference in
  // proportion to the widths they show; every other band keeps the width it shows (the
  // first band's node indent width is not part of its width).
  const int count = FControl.GetVisibleBandCount();
  TdxTreeListBandWidths widths;
  FControl.GetWidths().CalcBandWidths(widths);
  const std::vector<int> shown = std::move(widths.Display);
  const bool last = band == count - 1;
  auto shares = [&](int b) { return b != band && (last || b > band); };
  int oldSum = 0;
  int lastSharing = -1;
  for (int b = 0; b < count; ++b) {
    if (shares(b)) {
      oldSum += shown[size_t(b)];
      lastSharing = b;
    }
  }
  const int newSum = std::max(oldSum + shown[size_t(band)] - width, 0);
  TdxTreeListUpdateScope update(&FControl);
  int given = 0;
  for (int b = 0; b < count; ++b) {
    int w = b == band ? width : shown[size_t(b)];
    if (shares(b)) {
      w = b == lastSharing ? newSum - given : oldSum > 0 ? MulDiv(shown[size_t(b)], newSum, oldSum) : 0;
      given += w;
      w = std::max(w, FControl.GetWidths().GetBandMinWidth(b));
    }
    FControl.SetBandWidth(b, w);
  }
}

void TdxTreeListSizing::DrawSizingLine() {
  if (!FControl.HandleAllocated())
    return;
  TClientDC dc(FControl.GetHandle());
  const TRect client = FControl.GetClientRect();
  TSaveDCGuard state(dc);
  SelectObject(dc, GetStockObject(BLACK_PEN));
  SetROP2(dc, R2_NOTXORPEN);
  // Column and row sizing draw one line, the band and panel sizings two adjacent ones.
  const bool vertical = FControl.GetState() == stColumnSizing || FControl.GetState() == stBandSizing;
  const int lines = FControl.GetState() == stColumnSizing || FControl.GetState() == stRowSizing ? 1 : 2;
  for (int i = 0; i < lines; ++i) {
    if (vertical) {
      MoveToEx(dc, FSizingPos + i, client.top, nullptr);
      LineTo(dc, FSizingPos + i, client.bottom);
    } else {
      MoveToEx(dc, client.left, FSizingPos + i, nullptr);
      LineTo(dc, client.right, FSizingPos + i);
    }
  }
}

