// The base bodies of the tree list's virtual operations (those not written inline in
// the header), in their declaration order.
//
// Decisions taken here:
// - NodeDeleted clears every reference to the deleted node, also those an interaction
//   keeps (the press's hit node, the drag-over node, the node a drag hovers over to
//   expand it), and discards an edit of that node instead of storing into it.
// - NodeDeleted brings references and row lists in step first and runs what may reach
//   user code (the refresh, ending an edit) last, so that an exception from there leaves
//   no pointer to a freed node. A per-node row update that is skipped while the lists
//   hold the node (while locked) drops the lists instead of leaving the node in them.
// - CompareNodes orders by address as -1, 0 or 1: a difference of addresses overflows.
#include <algorithm>
#include <exception>
#include <functional>

#include "classlib/AliveGuard.h"
#include "treelist/DxTreeList.h"
#include "treelist/DxTreeListCellPainter.h"

void TCustomdxTreeList::NodeAdded(TdxTreeListNode* node) {
  FNavigator.NodeAdded(node);
}

bool TCustomdxTreeList::GetDefaultHasChildren(TdxTreeListNode* node) {
  return node->GetCount() > 0;
}

void TCustomdxTreeList::LayoutChanged() {
  if (FRows.IsRefreshSuppressed())
    return;
  GetRows().ClearRowLists();
  GetNavigator().ForgetAbsoluteColumn();
  RefreshNodeCounts();
}

void TCustomdxTreeList::RefreshNodeCounts() {
  FRows.RefreshNodeCounts();
}

void TCustomdxTreeList::DoCollapsed(TdxTreeListNode* node) {
  OnCollapsed(this, node);
}

void TCustomdxTreeList::DoNodeNotify(TdxTreeListNode* node) {
  OnNodeNotify(this, node);
}

void TCustomdxTreeList::DoExpanded(TdxTreeListNode* node) {
  OnExpanded(this, node);
}

void TCustomdxTreeList::DoCanCollapse(TdxTreeListNode* node, bool& allow) {
  OnCanCollapse(this, node, allow);
}

void TCustomdxTreeList::DoEditing(TdxTreeListNode* node, bool& allow) {
  OnEditing(this, node, allow);
}

void TCustomdxTreeList::DoCanExpand(TdxTreeListNode* node, bool& allow) {
  OnCanExpand(this, node, allow);
}

void TCustomdxTreeList::DoChangeNode(TdxTreeListNode* oldNode, TdxTreeListNode* newNode) {
  OnChangeNode(this, oldNode, newNode);
}

void TCustomdxTreeList::DoNotify() {
  OnNotify(this);
}

void TCustomdxTreeList::DoChangeColumn(int32_t oldColumn, int32_t newColumn) {
  OnChangeColumn(this, oldColumn, newColumn);
}

void TCustomdxTreeList::DoEditChange() {
  OnEditChange(this);
}

void TCustomdxTreeList::DoEditValidate(std::string& errorText, bool& accept) {
  OnEditValidate(this, errorText, accept);
}

void TCustomdxTreeList::NodeDeleted(TdxTreeListNode* node, TdxTreeListNode* prev, TdxTreeListNode* next,
                                    bool isLast, bool visible) {
  // The deletion event comes first; the bookkeeping below runs even when it raises.
  std::exception_ptr eventError;
  try {
    OnDeletion(this, node);
  } catch (...) {
    eventError = std::current_exception();
  }
  auto rethrow = [&eventError] {
    if (eventError)
      std::rethrow_exception(eventError);
  };
  if (FClearing)
    return rethrow();

  // Whether the node was shown, as its destruction recorded before unlinking it; the
  // row update reads it too.
  const bool wasShown = GetRows().GetPendingVisible();
  GetEditController().NodeGone(node);
  if (FRootNodes->GetCount() == 0) {
    GetRows().SetPendingVisible(false);
    if (!IsDestroying())
      LayoutChanged();
    ResetNodeReferences();
    if (IsNodeSelected(node))
      SetNodeSelected(node, false);
    if (!IsLocked() && !IsDestroying()) {
      UpdateScrollBars();
      Invalidate();
    }
    return rethrow();
  }

  TdxTreeListNode* replacement = prev ? prev : next;
  const bool wasTop = GetNavigator().NodeGone(node, replacement);
  GetSelection().NodeGone(node, replacement);
  GetMouse().NodeGone(node);
  GetDrag().NodeGone(node);

  if (wasShown && !IsLocked() && !IsDestroying()) {
    GetRows().SetPendingWasLast(isLast);
    GetRows().UpdateRowsForNode(node, /*deleted=*/true);
  } else if (InListMode() && GetRows().FindNodeOrderIndex(node) >= 0) {
    GetRows().ClearRowLists();
  }
  GetRows().SetPendingVisible(false);

  if (wasTop)
    SetTopNode(replacement);
  if (IsNodeSelected(node))
    SetNodeSelected(node, false);
  if (visible) {
    TdxTreeListNode* refreshed = GetTopNode() ? GetTopNode() : GetFocusedNode() ? GetFocusedNode() : prev ? prev : next;
    RefreshNode(refreshed, /*recalc=*/true);
  }
  GetEditController().ResetEditedCell();
  rethrow();
}

void TCustomdxTreeList::DeleteNodeValue(TdxTreeListNode* node, int32_t index) {
  if (!node || index < 0)
    return;
  std::vector<TdxTreeListNode*> stack{node};
  while (!stack.empty()) {
    TdxTreeListNode* current = stack.back();
    stack.pop_back();
    if (auto* textNode = ObjectAs<TdxTreeListTextNode>(current)) {
      TStringList* strings = textNode->GetStrings();
      if (index < strings->GetCount())
        strings->Delete(index);
    }
    for (int i = 0; i < current->GetCount(); ++i)
      stack.push_back(current->GetItem(i));
  }
}

void TCustomdxTreeList::GetLayoutPartRect(TRect& rect) { GetLayoutBuilder().GetLayoutPartRect(rect); }

bool TCustomdxTreeList::IsHotTrackCell(TdxTreeListNode* node, int32_t column, TdxTreeListHitTest hitTest) {
  return FOptionsEx.Contains(aoHotTrack);
}

bool TCustomdxTreeList::GetHeaderHotPart(int x, int y, uint8_t& part, int32_t column) {
  return FMouse.GetHeaderHotPart(x, y, part, column);
}

void TCustomdxTreeList::UpdateGuarded() {
  if (FLockCount > 0)
    return;
  ++FLockCount;
  try {
    RecalcMetrics();
  } catch (...) {
    --FLockCount;
    throw;
  }
  --FLockCount;
  if (IsDestroying() || IsLoading())
    return;
  GetNavigator().ClampLeftCoord();
  CalcVisibleRowCount();
  UpdateScrollBars();
  GetNavigator().KeepLastPageFilled();
  Invalidate();
}

void TCustomdxTreeList::RebuildRows() {
  FRows.RebuildRows();
}

bool TCustomdxTreeList::MakeNodeFocused(TdxTreeListNode* node) {
  SetFocusedNode(node, GetFocusedColumn(), /*makeVisible=*/false);
  return true;
}

bool TCustomdxTreeList::EditOnMouseDown(int x, int y, int32_t column, bool sameNode) {
  return IsOptions11();
}

void TCustomdxTreeList::RefreshNode(TdxTreeListNode* node, bool recalc) {
  if (!node || node->GetDeleting() || !node->IsVisible() || IsLocked() || IsDestroying())
    return;
  if (recalc) {
    CalcVisibleRowCount();
    UpdateScrollBars();
    if (GetNavigator().KeepLastPageFilled()) {
      Invalidate();
      return;
    }
  }
  if (!HandleAllocated())
    return;
  TRect rect;
  if (recalc)
    GetNavigator().GetNodeRowRectToBottom(node, rect);
  else
    GetNavigator().GetNodeRowRect(node, rect);
  if (rect.left == -1 && rect.top == -1)
    return;
  InvalidateRect(GetHandle(), &rect, FALSE);
}

TdxTreeListNode* TCustomdxTreeList::CreateNode() {
  AbstractError();
}

int TCustomdxTreeList::GetNodeImageIndex(TdxTreeListNode* node) {
  AbstractError();
}

int TCustomdxTreeList::GetNodeSelectedIndex(TdxTreeListNode* node) {
  AbstractError();
}

int TCustomdxTreeList::GetNodeStateIndex(TdxTreeListNode* node) {
  AbstractError();
}

void TCustomdxTreeList::GetNodeValue(TdxTreeListNode* node, int32_t column, Variant& value) {
  AbstractError();
}

void TCustomdxTreeList::GetNodeString(TdxTreeListNode* node, int32_t column, std::string& text) {
  AbstractError();
}

void TCustomdxTreeList::GetNodeVariant(TdxTreeListNode* node, int32_t column, Variant& value) {
  value = Variant(std::string());
}

void TCustomdxTreeList::SetFocusedNode(TdxTreeListNode* node, int32_t column, bool makeVisible) {
  FNavigator.SetFocusedNode(node, column, makeVisible);
}

void TCustomdxTreeList::SetFocusedNodeByIndex(int index) {
  FNavigator.SetFocusedNodeByIndex(index);
}

void TCustomdxTreeList::SetNodeImageIndex(TdxTreeListNode* node, int value) {
  AbstractError();
}

void TCustomdxTreeList::SetNodeSelectedIndex(TdxTreeListNode* node, int value) {
  AbstractError();
}

void TCustomdxTreeList::SetNodeStateIndex(TdxTreeListNode* node, int value) {
  AbstractError();
}

void TCustomdxTreeList::SetNodeString(TdxTreeListNode* node, int32_t column, const std::string& text) {
  AbstractError();
}

void TCustomdxTreeList::SetNodeValue(TdxTreeListNode* node, int32_t column, const Variant& value) {
  AbstractError();
}

void TCustomdxTreeList::SetTopNode(TdxTreeListNode* node) {
  FNavigator.SetTopNodeQuiet(node);
  if (!IsDestroying() && !FHoldEvents)
    OnChangeTopNode(this, node);
}

int32_t TCustomdxTreeList::GetColumnDisplayWidth(int32_t column) { return GetWidths().GetColumnDisplayWidth(column); }

uint8_t TCustomdxTreeList::GetColumnHeaderState(int32_t column) {
  return FMouse.GetColumnHeaderState(column);
}

int32_t TCustomdxTreeList::GetCellTextWidth(TCanvas* canvas, TdxTreeListNode* node, int32_t column) {
  return TdxTreeListCellPainter(*this).GetCellTextWidth(canvas, node, column);
}

int32_t TCustomdxTreeList::CalcRowLineCount(TdxTreeListNode* node, int32_t& height) {
  return GetWidths().CalcRowLineCount(node, height);
}

bool TCustomdxTreeList::MeasureCellText(TdxTreeListNode* node, int32_t column, int32_t& lineCount,
                                        int32_t& textHeight, int32_t width, int32_t maxLines) {
  return false;
}

int32_t TCustomdxTreeList::GetNodeMaxTextWidth(TdxTreeListNode* node) { return GetWidths().GetNodeMaxTextWidth(node); }

int32_t TCustomdxTreeList::GetPreviewLineCount(TdxTreeListNode* node) { return GetWidths().GetPreviewLineCount(node); }

int32_t TCustomdxTreeList::GetGridLineWidth() {
  return std::max(GetGridLineWidthSetting(), 1);
}

TAlignment TCustomdxTreeList::GetFooterCellAlignment(TdxTreeListNode* node, int32_t column, int32_t footerIndex) {
  return GetColumnAlignment(node, column);
}

void TCustomdxTreeList::GetFooterCellText(TdxTreeListNode* node, int32_t column, int32_t footerIndex,
                                          std::string& text) {
  text.clear();
}

bool TCustomdxTreeList::CanDragSelectRows() {
  if (FOptions.Contains(aoEditing) && !IsRowSelect())
    return false;
  return FOptionsEx.Contains(aoDragSelectRows);
}

bool TCustomdxTreeList::IsNewItemRowShown() {
  return FLayoutBuilder.GetNewItemRowVisible() && FLayoutBuilder.GetNewItemRowCount() >= 1;
}

void TCustomdxTreeList::BeginNodeDrag(TdxTreeListNode* node) {
  OnBeginDragNode(this, node);
}

bool TCustomdxTreeList::IsLastNode(TdxTreeListNode* node) {
  const int count = GetRowCount();
  return node && count > 0 && GetNodeAtRow(count - 1) == node;
}

bool TCustomdxTreeList::IsFirstNode(TdxTreeListNode* node) {
  return node && node == GetFirstNode();
}

void TCustomdxTreeList::GetScrollInfo(int& min, int& max, int& page, int& pos) {
  FNavigator.GetScrollInfo(min, max, page, pos);
}

void TCustomdxTreeList::CalcVisibleRowCount() {
  FNavigator.CalcVisibleRowCount();
}

void TCustomdxTreeList::UpdateScrollBars() {
  FNavigator.UpdateScrollBars();
}

void TCustomdxTreeList::UpdateHotTrack(const TdxTreeListHitInfo& hitInfo) {
  FMouse.UpdateHotTrack(hitInfo);
}

TdxInplaceEdit* TCustomdxTreeList::CreateInplaceEdit(int32_t column) {
  return new TdxInplaceTreeListTextEdit(this);
}

void TCustomdxTreeList::GetHotCursor(const TdxTreeListHotInfo& hotInfo, TCursor& cursor) {
  OnGetHotCursor(this, hotInfo, cursor);
}

bool TCustomdxTreeList::IsHotCell(TdxTreeListNode* node, int32_t column) {
  return FMouse.IsHotCell(node, column);
}

bool TCustomdxTreeList::CanSelectNodeEx(TdxTreeListNode* node) {
  bool allow = true;
  if (!Survives(node, [&] { OnCanSelectNode(this, node, allow); }) && node)
    return false;  // the handler deleted the node
  if (!allow || IsOptions14())
    return allow;
  TdxTreeListNode* first = GetSelectedCount() > 0 ? GetSelectedItem(0) : nullptr;
  return !first || !node || first->GetLevel() == node->GetLevel();
}

void TCustomdxTreeList::ClearSelection() {
  FSelection.ClearSelection();
}

int TCustomdxTreeList::CompareToAnchor(TdxTreeListNode* node) {
  return FSelection.CompareToAnchor(node);
}

int TCustomdxTreeList::GetSelectedCountEx() {
  return FSelection.GetSelectedCountEx();
}

void TCustomdxTreeList::DoSelectionChanged() {
  // Inside a selection bracket the bracket's end reports once.
  if (IsDestroying() || IsLocked() || GetSelection().GetLockCount() > 0 || FHoldEvents)
    return;
  OnSelectionChanged(this);
}

void TCustomdxTreeList::RefreshSelection() {
  FSelection.RefreshSelection();
}

void TCustomdxTreeList::SetNodeSelected(TdxTreeListNode* node, bool value) {
  // The base keeps no selection store; a descendant stores the state.
  DoSelectionChanged();
}

void TCustomdxTreeList::SelectRange(TdxTreeListNode* node1, TdxTreeListNode* node2) {
  FSelection.SelectRange(node1, node2);
}

void TCustomdxTreeList::SetSelectionAnchor(TdxTreeListNode* node) {
  FSelection.SetSelectionAnchor(node);
}

int TCustomdxTreeList::CompareNodes(TdxTreeListNode* node1, TdxTreeListNode* node2) {
  std::less<TdxTreeListNode*> before;
  return before(node1, node2) ? -1 : before(node2, node1) ? 1 : 0;
}

TColor TCustomdxTreeList::GetGridColor() {
  return GetGridLineColor() == clNone ? GetDefaultGridLineColor() : GetGridLineColor();
}

int32_t TCustomdxTreeList::GetDefaultRowLinesHeight() { return GetLayoutBuilder().GetDefaultRowLinesHeight(); }

void TCustomdxTreeList::GetHitInfo(const TPoint& p, TdxTreeListHitInfo& hitInfo) {
  GetHitTester().GetHitInfo(p, hitInfo);
}

void TCustomdxTreeList::BeginSelectionUpdate() {
  FSelection.BeginSelectionUpdate();
}

void TCustomdxTreeList::EndSelectionUpdate() {
  FSelection.EndSelectionUpdate();
}

void TCustomdxTreeList::EndSelectionUpdateQuiet() {
  FSelection.EndSelectionUpdateQuiet();
}
