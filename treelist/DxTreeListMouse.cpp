// Mouse interaction of the tree list: a left press decides from the hit code which
// interaction starts, moves feed it and the release completes it; CancelMode abandons
// it. Every completion is a virtual operation, so the column-bound control supplies
// what a click, a width change or a drop means.
//
// Decisions taken here:
// - A column sized inside its band row trades width with its right neighbour (the last
//   column of a row with its left one), never below either's minimum width; the sizing
//   line stops where that neighbour would become narrower.
// - The selection scroll (rows selected by dragging past the rows' edge) steps while the
//   selection runs and stops at the release, at CancelMode and with the window.
// - A press in the automatic drag mode is handled as a press (the drag starts only past
//   the move threshold); the header and node drags themselves are DxTreeListDrag.cpp's.
// - A header drag drops where its release is.
// - A double click toggles a node only on its button or on its parts; in the node's
//   indent or right of its last column it is only the control's double click.
#include <algorithm>
#include <cstdlib>

#include "classlib/DragDrop.h"
#include "classlib/Forms.h"
#include "treelist/DxTreeList.h"

namespace {

constexpr int kMoveThreshold = 5;

bool IsNodePart(TdxTreeListHitTest code) {
  switch (code) {
    case htNodeImage:
    case htStateImage:
    case htCell:
    case htNewItemRow:
    case htNodeFooter:
    case htPreview:
      return true;
    default:
      return false;
  }
}

}  // namespace

bool TCustomdxTreeList::PastThreshold(int x, int y) const {
  return std::abs(x - FDownPos.x) > kMoveThreshold || std::abs(y - FDownPos.y) > kMoveThreshold;
}

void TCustomdxTreeList::SetState(TdxTreeListState value) {
  const TdxTreeListState old = FState;
  FState = value;
  if (old == stRowSelecting && value != stRowSelecting)
    GetTimers().StopVertScroll();
}

void TCustomdxTreeList::CancelMode() {
  switch (FState) {
    case stColumnSizing:
    case stBandSizing:
    case stBandPanelSizing:
    case stHeaderPanelSizing:
    case stRowSizing:
      DrawSizingLine();
      FState = stNone;
      if (HandleAllocated() && Screen)
        ::SetCursor(Screen->GetCursors(GetCursor()));
      break;
    case stBandPressed:
    case stColumnPressed:
    case stColumnButtonPressed:
    case stFooterButtonPressed:
    case stBandIndicatorPressed:
    case stHeaderIndicatorPressed:
      FState = stNone;
      FPressedBand = -1;
      FBandPressed = false;
      FPressedColumn = -1;
      FColumnPressed = false;
      FPressedColumnButton = -1;
      FColumnButtonPressed = false;
      FFooterButtonPressed = false;
      FBandIndicatorPressed = false;
      FHeaderIndicatorPressed = false;
      Invalidate();
      break;
    case stBandDragging:
      GetTimers().StopHorzScroll();
      EndBandDrag(false);
      break;
    case stColumnDragging:
      GetTimers().StopHorzScroll();
      EndColumnDrag(false);
      break;
    case stRowSelecting:
      SetState(stNone);
      break;
    default:
      break;
  }
  GetTimers().CancelHint();
}

// ---- Press

void TCustomdxTreeList::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
  TdxInplaceEdit* editor = GetEditor();
  if (FState == stEditing && editor && editor->GetOwnsMouseFlag())
    return;
  if (FState == stEditing && editor)
    GetEditController().EndEditing();
  GetTimers().CancelHint();
  FKeepSelection = false;
  FDeferredSelect = false;
  FNewItemRowPressed = false;
  FWasFocusedAtPress = true;
  if (!GetComponentState().Contains(csDesigning) && CanFocus()) {
    FWasFocusedAtPress = GetPainter().IsControlFocused();
    if (!FWasFocusedAtPress)
      SetFocus();
    if (!GetPainter().IsControlFocused()) {
      ReleaseCapture();
      return;
    }
  }
  TdxTreeListHitInfo hit;
  GetHitInfo(Point(x, y), hit);
  FDownHitInfo = hit;
  const bool dblClick = shift.Contains(ssDouble);
  if (button == mbRight && FState != stNone && FState != stEditing)
    CancelMode();
  if (button == mbLeft && FState == stNone)
    PressHeaderElement(hit, dblClick, x, y);
  if (button == mbLeft && FState == stNone && hit.HitTest == htFooter2) {
    // The footer button: the right end of the status panel, as high as the panel.
    const TRect client = GetClientRect();
    const int size = GetMetrics().StatusPanelHeight;
    if (size > 0 && x >= client.right - size) {
      SetState(stFooterButtonPressed);
      FFooterButtonPressed = true;
      Invalidate();
    }
  }
  const bool onNode = IsNodePart(hit.HitTest) || hit.HitTest == htButton || hit.HitTest == htIndicator ||
                      hit.HitTest == htIndent || hit.HitTest == htRowRight;
  if (FState == stNone && onNode && (button == mbLeft || IsNodePart(hit.HitTest)))
    PressNode(button, shift, hit, x, y);
  else if (FState == stEditing)
    GetEditController().EndEditing();
  // A double click on a node's button or parts was the node's (handled above); elsewhere,
  // the indent and the space right of the row included, it is the control's.
  const bool nodeDblClick = hit.Node && (hit.HitTest == htButton || IsNodePart(hit.HitTest));
  if (button == mbLeft && dblClick && !nodeDblClick &&
      (hit.HitTest == htNowhere || (hit.HitTest >= htButton && hit.HitTest <= htOutside)) && CanDblClick())
    DblClick();
  // A middle press starts the middle-button scrolling, which runs its own message loop;
  // the control may be gone when it returns.
  if (button == mbMiddle && FState == stNone && !GetMiddleScroll().IsMiddleScrolling() &&
      !GetMiddleScroll().MiddleButtonScroll(x, y))
    return;
  inherited::MouseDown(button, shift, x, y);
}

void TCustomdxTreeList::PressHeaderElement(const TdxTreeListHitInfo& hit, bool dblClick, int x, int y) {
  switch (hit.HitTest) {
    case htBandEdge:
      if (hit.Band < 0)
        return;
      if (dblClick) {
        BandEdgeDblClick(hit.Band);
        return;
      }
      FDownHitInfo = hit;
      SetState(stBandSizing);
      FSizingStart = x;
      FSizingPos = x;
      DrawSizingLine();
      return;
    case htColumnEdge:
      if (hit.Column < 0)
        return;
      if (dblClick) {
        ColumnEdgeDblClick(hit.Column);
        return;
      }
      SetState(stColumnSizing);
      FSizingStart = x;
      FSizingPos = x;
      DrawSizingLine();
      return;
    case htBandPanelEdge:
    case htHeaderPanelEdge:
    case htRowEdge:
      SetState(hit.HitTest == htBandPanelEdge    ? stBandPanelSizing
               : hit.HitTest == htHeaderPanelEdge ? stHeaderPanelSizing
                                                  : stRowSizing);
      FSizingStart = y;
      FSizingPos = y;
      DrawSizingLine();
      return;
    case htBandHeader:
      SetState(stBandPressed);
      FPressedBand = hit.Band;
      FBandPressed = true;
      FDownPos = Point(x, y);
      Invalidate();
      return;
    case htColumnHeader: {
      uint8_t part = 1;
      const bool buttons = HasHeaderButtons() && GetHeaderHotPart(x, y, part, hit.Column);
      if (!buttons || (part != 2 && part != 3)) {
        SetState(stColumnPressed);
        FPressedColumn = hit.Column;
        FColumnPressed = true;
        FDownPos = Point(x, y);
        Invalidate();
      } else if (part == 2) {
        SetState(stColumnButtonPressed);
        FPressedColumnButton = hit.Column;
        FColumnButtonPressed = true;
        Invalidate();
      }
      return;
    }
    case htBandIndicator:
      if (IsBandIndicatorButton()) {
        SetState(stBandIndicatorPressed);
        FBandIndicatorPressed = true;
        Invalidate();
      }
      return;
    case htHeaderIndicator:
      if (IsHeaderIndicatorButton()) {
        SetState(stHeaderIndicatorPressed);
        FHeaderIndicatorPressed = true;
        Invalidate();
      }
      return;
    default:
      return;
  }
}

void TCustomdxTreeList::PressNode(TMouseButton button, TShiftState shift, const TdxTreeListHitInfo& hit, int x,
                                  int y) {
  const bool dblClick = shift.Contains(ssDouble);
  if (hit.HitTest == htNewItemRow) {
    if (!GetFocusedNode()) {
      NewItemRowClick();
      return;
    }
    const int oldColumn = GetFocusedColumn();
    const int column = hit.Column >= 0 ? GetVisibleIndexOfColumn(hit.Column) : oldColumn;
    SetFocusedColumn(column);
    if (IsNewItemRowShown() && !GetNavigator().GetNewItemRowActive()) {
      GetNavigator().SetNewItemRowActive(true);
      Invalidate();
    }
    FNewItemRowPressed = true;
    if (button == mbLeft && hit.Column >= 0 && !IsRowSelect() && column == oldColumn && FWasFocusedAtPress &&
        FState != stEditing && !GetTimers().IsTimerRunning(TdxTreeListTimers::kEditTimer))
      GetTimers().StartTimer(TdxTreeListTimers::kEditTimer, GetDoubleClickTime());
    return;
  }
  if (hit.HitTest == htButton || (dblClick && hit.Node && IsNodePart(hit.HitTest))) {
    GetTimers().StopTimer(TdxTreeListTimers::kEditTimer);
    if (hit.Node && (hit.HitTest == htButton || FExpandOnDblClick))
      hit.Node->SetExpanded(!hit.Node->GetExpanded());
    if (dblClick && hit.HitTest != htButton && CanDblClick())
      DblClick();
    return;
  }
  if (!hit.Node || !(IsNodePart(hit.HitTest) || hit.HitTest == htIndicator))
    return;
  const bool sameNode = hit.Node == GetFocusedNode();
  GetSelection().SetShiftRangeStarted(false);
  const int oldColumn = GetFocusedColumn();
  FPrevFocusedNode = GetFocusedNode();
  if (button == mbLeft && hit.HitTest != htIndicator)
    SetState(stRowSelecting);
  GetDrag().SetDragNode(hit.Node);
  if (GetNavigator().GetNewItemRowActive()) {
    GetNavigator().SetNewItemRowActive(false);
    Invalidate();
  }
  const int column = hit.Column >= 0 ? GetVisibleIndexOfColumn(hit.Column) : oldColumn;
  SetFocusedNode(hit.Node, column, /*makeVisible=*/true);
  FDownPos = Point(x, y);
  if (GetFocusedNode() && IsMultiSelect()) {
    const bool ctrl = shift.Contains(ssCtrl);
    const bool shiftKey = shift.Contains(ssShift);
    TdxTreeListSelectionScope selection(this, ctrl || shiftKey);
    if (ctrl && !shiftKey) {
      SetNodeSelected(GetFocusedNode(), !IsNodeSelected(GetFocusedNode()));
      SetSelectionAnchor(GetFocusedNode());
    } else if (shiftKey) {
      if (!GetSelection().GetAnchorNode())
        SetSelectionAnchor(FPrevFocusedNode);
      TdxTreeListNode* start = GetSelection().GetAnchorNode();
      if (ctrl)
        start = FPrevFocusedNode;
      else
        ClearSelection();
      if (start)
        SelectRange(start, GetFocusedNode());
      else
        SetNodeSelected(GetFocusedNode(), !IsNodeSelected(GetFocusedNode()));
    } else if (!IsNodeSelected(GetFocusedNode())) {
      GetSelection().SelectOnly(GetFocusedNode());
      SetSelectionAnchor(GetFocusedNode());
    } else if (button == mbLeft) {
      FDeferredSelect = true;
    }
    FKeepSelection = ctrl || shiftKey;
  }
  if (button != mbLeft || hit.HitTest != htCell || hit.Column < 0 || IsRowSelect())
    return;
  if (EditOnMouseDown(x, y, hit.Column, sameNode)) {
    SetState(stNone);
    GetEditController().ShowEditorWithMouse(x, y);
    return;
  }
  // The column-bound control keeps its editor hidden between edits: what counts is
  // whether one is shown.
  if (sameNode && column == oldColumn && FWasFocusedAtPress && FState != stEditing &&
      !GetTimers().IsTimerRunning(TdxTreeListTimers::kEditTimer))
    GetTimers().StartTimer(TdxTreeListTimers::kEditTimer, GetDoubleClickTime());
}

// ---- Move

void TCustomdxTreeList::MouseMove(TShiftState shift, int x, int y) {
  FMousePos = Point(x, y);
  TdxTreeListHitInfo hit;
  GetHitInfo(Point(x, y), hit);
  if (!shift.Contains(ssLeft) && FState == stRowSelecting)
    SetState(stNone);
  switch (FState) {
    case stColumnSizing:
    case stBandSizing:
    case stBandPanelSizing:
    case stHeaderPanelSizing:
    case stRowSizing:
      MoveSizingLine(x, y);
      break;
    case stBandPressed:
      if (FPressedBand >= 0 && PastThreshold(x, y) && CanBandMoving(GetBandIndex(FPressedBand)))
        StartBandDrag(FPressedBand);
      break;
    case stColumnPressed:
      if (FPressedColumn >= 0 && PastThreshold(x, y) && CanColumnMoving(FPressedColumn))
        StartColumnDrag(FPressedColumn);
      break;
    case stBandDragging:
    case stColumnDragging:
      DragHeaderMove(Point(x, y));
      break;
    case stRowSelecting:
      SelectRowsByMouse(x, y);
      break;
    default:
      break;
  }
  UpdatePressedFlags(hit);
  UpdateHotTrack(hit);
  GetTimers().UpdateHint(hit);
  inherited::MouseMove(shift, x, y);
}

void TCustomdxTreeList::SelectRowsByMouse(int x, int y) {
  if (GetDragMode() == dmAutomatic) {
    if (!PastThreshold(x, y))
      return;
    TdxTreeListNode* node = GetDrag().GetDragNode() ? GetDrag().GetDragNode() : GetHitTester().GetNodeAt(x, y);
    if (node && node != GetFocusedNode()) {
      if (!FKeepSelection)
        ClearSelection();
      SetFocusedNode(node, GetFocusedColumn(), false);
    }
    if (GetFocusedNode())
      SetNodeSelected(GetFocusedNode(), true);
    FKeepSelection = false;
    FDeferredSelect = false;
    BeginDrag(/*immediate=*/true);
    return;
  }
  if (!CanDragSelectRows() || GetRowCount() == 0)
    return;
  const TRect rows = GetLayoutBuilder().GetRowsRect();
  int direction = 0;
  TdxTreeListNode* node = nullptr;
  if (y < rows.top) {
    direction = -1;
    node = GetNodeAtRow(std::max(GetNavigator().GetTopIndex() - 1, 0));
  } else if (y >= rows.bottom) {
    direction = 1;
    node = GetNodeAtRow(std::min(std::max(GetNavigator().GetTopIndex(), 0) + GetNavigator().GetVisibleRowCount(),
                                 GetRowCount() - 1));
  } else {
    node = GetHitTester().GetNodeAt(rows.left + 1, y);
    if (!node)
      node = GetNodeAtRow(GetRowCount() - 1);
  }
  if (direction == 0)
    GetTimers().StopVertScroll();
  if (node && node != GetFocusedNode()) {
    SetFocusedNode(node, GetFocusedColumn(), /*makeVisible=*/true);
    if (IsMultiSelect())
      GetSelection().SelectOnly(GetFocusedNode());
  }
  if (direction != 0)
    GetTimers().StartVertScroll(direction, TdxTreeListTimers::kSelectionScrollInterval);
}

void TCustomdxTreeList::UpdatePressedFlags(const TdxTreeListHitInfo& hit) {
  bool* flag = nullptr;
  bool now = false;
  switch (FState) {
    case stBandPressed:
      flag = &FBandPressed;
      now = hit.HitTest == htBandHeader && hit.Band == FPressedBand;
      break;
    case stColumnPressed:
      flag = &FColumnPressed;
      now = hit.HitTest == htColumnHeader && hit.Column == FPressedColumn;
      break;
    case stColumnButtonPressed: {
      uint8_t part = 0;
      flag = &FColumnButtonPressed;
      now = hit.HitTest == htColumnHeader && hit.Column == FPressedColumnButton &&
            GetHeaderHotPart(hit.Pos.x, hit.Pos.y, part, hit.Column) && part >= 2;
      break;
    }
    case stBandIndicatorPressed:
      flag = &FBandIndicatorPressed;
      now = hit.HitTest == htBandIndicator;
      break;
    case stHeaderIndicatorPressed:
      flag = &FHeaderIndicatorPressed;
      now = hit.HitTest == htHeaderIndicator;
      break;
    case stFooterButtonPressed:
      flag = &FFooterButtonPressed;
      now = hit.HitTest == htFooter2;
      break;
    default:
      return;
  }
  if (*flag == now)
    return;
  *flag = now;
  Invalidate();
}

// ---- Sizing

void TCustomdxTreeList::SizingLimits(int& minValue, int& maxValue) {
  TdxTreeListLayout layout;
  CalcLayout(layout);
  const TRect client = GetClientRect();
  minValue = 0;
  maxValue = 100000;
  switch (FState) {
    case stBandSizing: {
      const int band = FDownHitInfo.Band;
      const TdxTreeListBandEntry* entry = layout.FindBand(band);
      if (!entry)
        return;
      minValue = static_cast<int>(entry->Rect.left) + GetWidths().GetBandMinWidth(band) + (band == 0 ? GetMetrics().NodeIndentWidth : 0) - 2;
      if (!IsBandSizingUnbounded())
        maxValue = std::max<int>(client.right - 2, minValue);
      return;
    }
    case stColumnSizing: {
      const int column = FDownHitInfo.Column;
      const TdxTreeListColumnEntry* entry = layout.FindColumn(column);
      if (!entry)
        return;
      const bool firstOfFirst = GetVisibleBandIndex(GetColumnBandIndex(column)) == 0 && GetColumnColIndex(column) == 0;
      const int extra = firstOfFirst ? GetFirstBandExtraWidth() : 0;
      minValue = static_cast<int>(entry->Rect.left) + GetColumnMinWidth(column) + extra - 1;
      if (IsColumnSizingUnbounded()) {
        maxValue = 100000;
      } else if (FOptionsEx.Contains(aoBandHeaderWidth) && !IsAutoWidth() && GetBandRowCount(entry->Band) < 2) {
        maxValue = static_cast<int>(client.right) - 1;
      } else {
        // Inside the band row: the right neighbour gives at most down to its minimum.
        const int neighbour = entry->LastInRow ? -1 : GetColumnAt(entry->Band, entry->RowInBand, entry->Position + 1);
        const TdxTreeListColumnEntry* next = neighbour >= 0 ? layout.FindColumn(neighbour) : nullptr;
        maxValue = next ? next->Rect.right - GetColumnMinWidth(neighbour) - 1 : entry->Rect.right - 1;
      }
      maxValue = std::max(maxValue, minValue);
      return;
    }
    case stBandPanelSizing:
    case stHeaderPanelSizing: {
      const int top = FState == stBandPanelSizing ? layout.BandRow.top : layout.HeaderPanel.top;
      minValue = top;
      maxValue = client.bottom;
      return;
    }
    case stRowSizing:
      GetWidths().GetRowSizingLimits(FDownHitInfo.Node, FSizingStart, minValue, maxValue);
      return;
    default:
      return;
  }
}

void TCustomdxTreeList::MoveSizingLine(int x, int y) {
  int minValue = 0;
  int maxValue = 0;
  SizingLimits(minValue, maxValue);
  int pos = FState == stColumnSizing || FState == stBandSizing ? x : y;
  pos = std::max(std::min(pos, maxValue), minValue);
  if (FState == stHeaderPanelSizing && GetMetrics().HeaderLineHeight > 0) {
    // Whole header rows from 1 to the most the panel may hold.
    const int line = GetMetrics().HeaderLineHeight;
    const int rows = std::clamp((pos - minValue + line / 2) / line, 1, std::max<int>(GetHeaderPanelMaxRowCount(), 1));
    pos = minValue + rows * line;
  } else if (FState == stBandPanelSizing && GetMetrics().BandRows > 0 && GetMetrics().BandRowHeight > 0) {
    const int line = GetMetrics().BandRowHeight / std::max<int>(GetMetrics().BandRows, 1);
    if (line > 0) {
      const int rows = std::clamp((pos - minValue + line / 2) / line, 1, std::max<int>(GetBandMaxRowCount(), 1));
      pos = minValue + rows * line;
    }
  }
  if (pos == FSizingPos)
    return;
  DrawSizingLine();
  FSizingPos = pos;
  DrawSizingLine();
}

void TCustomdxTreeList::FinishSizing(int x, int y) {
  DrawSizingLine();
  const TdxTreeListState state = FState;
  int minValue = 0;
  int maxValue = 0;
  SizingLimits(minValue, maxValue);
  const int pos = std::max(std::min(FSizingPos, maxValue), minValue);
  FState = stNone;
  if (pos == FSizingStart)
    return;
  TdxTreeListLayout layout;
  CalcLayout(layout);
  switch (state) {
    case stBandSizing:
      if (const TdxTreeListBandEntry* entry = layout.FindBand(FDownHitInfo.Band)) {
        const int extra = FDownHitInfo.Band == 0 ? GetMetrics().NodeIndentWidth : 0;
        ApplyBandWidth(FDownHitInfo.Band, pos - entry->Rect.left + 2 - extra);
        DoWidthChanged();
      }
      return;
    case stColumnSizing:
      if (const TdxTreeListColumnEntry* entry = layout.FindColumn(FDownHitInfo.Column)) {
        ApplyColumnWidth(FDownHitInfo.Column, pos - entry->Rect.left + 1);
        DoWidthChanged();
      }
      return;
    case stBandPanelSizing: {
      const int line = GetMetrics().BandRowHeight / std::max<int>(GetMetrics().BandRows, 1);
      if (line > 0)
        SetBandRowCount(std::max<int>((pos - layout.BandRow.top) / line, 1));
      return;
    }
    case stHeaderPanelSizing: {
      const int line = GetMetrics().HeaderLineHeight;
      if (line > 0)
        SetHeaderRowCount(std::max<int>((pos - layout.HeaderPanel.top + line / 2) / line, 1));
      return;
    }
    case stRowSizing: {
      TdxTreeListNode* node = FDownHitInfo.Node;
      if (!node)
        return;
      TRect row;
      GetNavigator().GetNodeRowRect(node, row);
      if (row.top < 0)
        return;
      const int height = pos - row.top;
      // The most lines whose row still fits the new height.
      const int saved = GetRowLineCount();
      int lines = 1;
      for (int n = 1; n <= 32; ++n) {
        GetAppearance().SetRowLineCount(n);
        if (GetDefaultRowLinesHeight() > height)
          break;
        lines = n;
      }
      GetAppearance().SetRowLineCount(saved);
      SetRowLineCount(lines);
      UpdateGuarded();
      return;
    }
    default:
      return;
  }
}

void TCustomdxTreeList::ApplyColumnWidth(int column, int width) {
  const int band = GetVisibleBandIndex(GetColumnBandIndex(column));
  const bool firstOfFirst = band == 0 && GetColumnColIndex(column) == 0;
  const int extra = firstOfFirst ? GetFirstBandExtraWidth() : 0;
  width = std::max(width - extra, GetColumnMinWidth(column));
  if (FOptionsEx.Contains(aoBandHeaderWidth) && !IsAutoWidth() && GetBandRowCount(band) < 2) {
    // The band follows its column.
    SetColumnWidth(column, width);
    return;
  }
  // Inside the band: the neighbour gives or takes the difference; every other column of
  // the row keeps the width it shows.
  const int row = GetColumnRowIndex(column);
  const int count = GetColumnCountInRow(band, row);
  const int position = GetColumnColIndex(column);
  const int neighbour = GetColumnAt(band, row, position + 1 < count ? position + 1 : position - 1);
  std::vector<std::pair<int, int>> widths;
  for (int p = 0; p < count; ++p) {
    const int c = GetColumnAt(band, row, p);
    const int shown = GetColumnDisplayWidth(c) - (band == 0 && p == 0 ? GetFirstBandExtraWidth() : 0);
    widths.emplace_back(c, shown);
  }
  TdxTreeListUpdateScope update(this);
  for (auto& [c, shown] : widths) {
    if (c == column)
      continue;
    if (c == neighbour) {
      const int old = GetColumnDisplayWidth(column) - extra;
      shown = std::max(shown - (width - old), GetColumnMinWidth(c));
    }
    SetColumnWidth(c, shown);
  }
  SetColumnWidth(column, width);
}

void TCustomdxTreeList::ApplyBandWidth(int band, int width) {
  if (!IsAutoWidth()) {
    SetBandWidth(band, width);
    return;
  }
  // The bands after it (all others when it is the last) share the difference in
  // proportion to the widths they show; every other band keeps the width it shows (the
  // first band's node indent width is not part of its width).
  const int count = GetVisibleBandCount();
  std::vector<int> shown(size_t(std::max(count, 0)));
  for (int b = 0; b < count; ++b)
    shown[size_t(b)] = GetWidths().GetBandDisplayWidth(b);
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
  TdxTreeListUpdateScope update(this);
  int given = 0;
  for (int b = 0; b < count; ++b) {
    int w = b == band ? width : shown[size_t(b)];
    if (shares(b)) {
      w = b == lastSharing ? newSum - given : oldSum > 0 ? MulDiv(shown[size_t(b)], newSum, oldSum) : 0;
      given += w;
      w = std::max(w, GetWidths().GetBandMinWidth(b));
    }
    SetBandWidth(b, w);
  }
}

// ---- Release

void TCustomdxTreeList::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
  TdxTreeListSelectionScope selection(this);
  TdxTreeListHitInfo hit;
  GetHitInfo(Point(x, y), hit);
  const TdxTreeListState state = FState;
  switch (state) {
    case stColumnSizing:
    case stBandSizing:
    case stBandPanelSizing:
    case stHeaderPanelSizing:
    case stRowSizing:
      FinishSizing(x, y);
      break;
    case stBandPressed: {
      const int band = FPressedBand;
      CancelMode();
      if (hit.HitTest == htBandHeader && hit.Band == band)
        BandClick(GetBandIndex(band));
      break;
    }
    case stColumnPressed: {
      const int column = FPressedColumn;
      CancelMode();
      if (hit.HitTest == htColumnHeader && hit.Column == column)
        ClickColumnHeader(column, shift);
      break;
    }
    case stColumnButtonPressed: {
      const int column = FPressedColumnButton;
      const bool pressed = FColumnButtonPressed;
      CancelMode();
      if (pressed && hit.HitTest == htColumnHeader && hit.Column == column &&
          !GetComponentState().Contains(csDesigning))
        ColumnButtonClick(column);
      break;
    }
    case stFooterButtonPressed:
    case stBandIndicatorPressed:
    case stHeaderIndicatorPressed: {
      // The element's click, when the mouse is still on it.
      const bool pressed = state == stFooterButtonPressed    ? FFooterButtonPressed
                           : state == stBandIndicatorPressed ? FBandIndicatorPressed
                                                             : FHeaderIndicatorPressed;
      CancelMode();
      if (!pressed)
        break;
      if (state == stFooterButtonPressed)
        FooterButtonClick();
      else if (state == stBandIndicatorPressed)
        BandIndicatorClick();
      else
        HeaderIndicatorClick();
      break;
    }
    case stBandDragging:
      GetTimers().StopHorzScroll();
      GetDrag().SetDragPoint(Point(x, y));
      EndBandDrag(true);
      break;
    case stColumnDragging:
      GetTimers().StopHorzScroll();
      GetDrag().SetDragPoint(Point(x, y));
      EndColumnDrag(true);
      break;
    default:
      break;
  }
  if (FDeferredSelect) {
    FDeferredSelect = false;
    if (GetFocusedNode()) {
      GetSelection().SelectOnly(GetFocusedNode());
      SetSelectionAnchor(GetFocusedNode());
    }
  }
  const bool clickState = state == stEditing || state == stNodeDragging || state == stRowSelecting;
  if ((clickState || FNewItemRowPressed) && button == mbLeft && FDownHitInfo.Column >= 0 &&
      CanEditColumn(FDownHitInfo.Column) && !IsRowSelect() && hit.Column == FDownHitInfo.Column &&
      hit.Node == FDownHitInfo.Node && hit.HitTest == FDownHitInfo.HitTest &&
      (hit.HitTest == htCell || hit.HitTest == htNewItemRow) &&
      (hit.Node == GetFocusedNode() || hit.HitTest == htNewItemRow)) {
    SetState(stNone);
    if (!shift.Contains(ssShift) && !shift.Contains(ssCtrl))
      GetEditController().ShowEditorSelectAll();
  }
  FNewItemRowPressed = false;
  if (FState == stRowSelecting)
    SetState(stNone);
  if (state == stEditing || state == stNodeDragging || state == stRowSelecting)
    Click();
  inherited::MouseUp(button, shift, x, y);
}
