// The base bodies of the tree list's virtual operations (those not written inline in
// the header), in their declaration order.
//
// Decisions taken here:
// - NodeDeleted clears every reference to the deleted node, also those an interaction
//   keeps (the press's hit node, the drag-over node, the node a drag hovers over to
//   expand it), and discards an edit of that node instead of storing into it.
// - NodeAdded and NodeDeleted bring references and row lists in step first and run what
//   may reach user code (events, ending an edit) last, so that an exception from there
//   leaves no pointer to a freed node. A per-node row update that is skipped while the
//   lists hold rows (while locked or loading) drops the lists instead of leaving them
//   without the node.
// - CompareNodes orders by address as -1, 0 or 1: a difference of addresses overflows.
#include <algorithm>
#include <cassert>
#include <exception>
#include <functional>

#include "classlib/AliveGuard.h"
#include "classlib/Forms.h"
#include "classlib/GdiHandles.h"
#include "editors/DxContainerHintWindow.h"
#include "treelist/DxTreeList.h"
#include "treelist/DxTreeListDraw.h"

void TCustomdxTreeList::NodeAdded(TdxTreeListNode* Node) {
  if (!FTopNode)
    SetTopNode(Node->IsVisible() ? Node : GetFirstNode());
  if (!FFocusedNode)
    FFocusedNode = FTopNode;
  if (IsLocked() || IsLoading() || IsDestroying()) {
    if (InListMode())
      ClearRowLists();
  } else {
    UpdateRowsForNode(Node, /*deleted=*/false);
  }
  if (!IsLocked()) {
    TdxTreeListNode* refreshed = Node->GetPrevSibling();
    if (!refreshed)
      refreshed = Node->GetParent();
    RefreshNode(refreshed ? refreshed : Node, /*Recalc=*/true);
  }
  ResetEditedCell();
}

bool TCustomdxTreeList::GetDefaultHasChildren(TdxTreeListNode* Node) {
  return Node->GetCount() > 0;
}

void TCustomdxTreeList::LayoutChanged() {
  if (FRefreshSuppressed)
    return;
  ClearRowLists();
  FFocusedAbsoluteColumn = -1;
  RefreshNodeCounts();
}

void TCustomdxTreeList::RefreshNodeCounts() {
  if (FClearing || IsDestroying() || IsLoading())
    return;
  for (int i = 0; i < FRootNodes->GetCount(); ++i)
    ResetRowHeightCaches(GetItem(i));
}

void TCustomdxTreeList::DoCollapsed(TdxTreeListNode* Node) {
  OnCollapsed(this, Node);
}

void TCustomdxTreeList::DoNodeNotify(TdxTreeListNode* Node) {
  OnNodeNotify(this, Node);
}

void TCustomdxTreeList::DoExpanded(TdxTreeListNode* Node) {
  OnExpanded(this, Node);
}

void TCustomdxTreeList::DoCanCollapse(TdxTreeListNode* Node, bool& Allow) {
  OnCanCollapse(this, Node, Allow);
}

void TCustomdxTreeList::DoEditing(TdxTreeListNode* Node, bool& Allow) {
  OnEditing(this, Node, Allow);
}

void TCustomdxTreeList::DoCanExpand(TdxTreeListNode* Node, bool& Allow) {
  OnCanExpand(this, Node, Allow);
}

void TCustomdxTreeList::DoChangeNode(TdxTreeListNode* OldNode, TdxTreeListNode* NewNode) {
  OnChangeNode(this, OldNode, NewNode);
}

void TCustomdxTreeList::DoNotify() {
  OnNotify(this);
}

void TCustomdxTreeList::DoChangeColumn(int32_t OldColumn, int32_t NewColumn) {
  OnChangeColumn(this, OldColumn, NewColumn);
}

void TCustomdxTreeList::DoEditChange() {
  OnEditChange(this);
}

void TCustomdxTreeList::DoEditValidate(std::string& ErrorText, bool& Accept) {
  OnEditValidate(this, ErrorText, Accept);
}

void TCustomdxTreeList::NodeDeleted(TdxTreeListNode* Node, TdxTreeListNode* Prev, TdxTreeListNode* Next,
                                    bool IsLast, bool Visible) {
  // The deletion event comes first; the bookkeeping below runs even when it raises.
  std::exception_ptr eventError;
  try {
    OnDeletion(this, Node);
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
  const bool wasShown = FPendingVisible;
  if (FEditedNode == Node)
    DiscardEdit();
  if (FRootNodes->GetCount() == 0) {
    FPendingVisible = false;
    if (!IsDestroying() && !FRefreshSuppressed)
      LayoutChanged();
    ResetNodeReferences();
    if (IsNodeSelected(Node))
      SetNodeSelected(Node, false);
    if (!IsLocked() && !IsDestroying()) {
      UpdateScrollBars();
      Invalidate();
    }
    return rethrow();
  }

  TdxTreeListNode* replacement = Prev ? Prev : Next;
  const bool wasTop = FTopNode == Node;
  if (wasTop)
    FTopNode = replacement;
  if (FAnchorNode == Node)
    FAnchorNode = replacement;
  if (FFocusedNode == Node)
    FFocusedNode = replacement;
  if (FPrevFocusedNode == Node)
    FPrevFocusedNode = nullptr;
  if (FDragNode == Node)
    FDragNode = nullptr;
  if (FHotInfo.Node == Node)
    FHotInfo.Node = nullptr;
  if (FDownHitInfo.Node == Node)
    FDownHitInfo.Node = nullptr;
  if (FDragOverNode == Node)
    FDragOverNode = nullptr;
  if (FDragExpandNode == Node)
    FDragExpandNode = nullptr;

  if (wasShown && !IsLocked() && !IsDestroying()) {
    FPendingWasLast = IsLast;
    UpdateRowsForNode(Node, /*deleted=*/true);
  } else if (InListMode() && FindNodeOrderIndex(Node) >= 0) {
    ClearRowLists();
  }
  FPendingVisible = false;

  if (wasTop)
    SetTopNode(replacement);
  if (IsNodeSelected(Node))
    SetNodeSelected(Node, false);
  if (Visible) {
    TdxTreeListNode* refreshed = FTopNode ? FTopNode : FFocusedNode ? FFocusedNode : Prev ? Prev : Next;
    RefreshNode(refreshed, /*Recalc=*/true);
  }
  ResetEditedCell();
  rethrow();
}

void TCustomdxTreeList::DeleteNodeValue(TdxTreeListNode* Node, int32_t Index) {
  if (!Node || Index < 0)
    return;
  std::vector<TdxTreeListNode*> stack{Node};
  while (!stack.empty()) {
    TdxTreeListNode* node = stack.back();
    stack.pop_back();
    if (auto* textNode = ObjectAs<TdxTreeListTextNode>(node)) {
      TStringList* strings = textNode->GetStrings();
      if (Index < strings->GetCount())
        strings->Delete(Index);
    }
    for (int i = 0; i < node->GetCount(); ++i)
      stack.push_back(node->GetItem(i));
  }
}

void TCustomdxTreeList::GetLayoutPartRect(TRect& Rect) {
  Rect = GetRowsRect();
  const TRect indicator = GetIndicatorRect();
  if (indicator.right > indicator.left && indicator.bottom > indicator.top)
    Rect.left = indicator.left;
}

bool TCustomdxTreeList::IsHotTrackCell(TdxTreeListNode* Node, int32_t Column, TdxTreeListHitTest HitTest) {
  return FOptionsEx.Contains(aoHotTrack);
}

bool TCustomdxTreeList::GetHeaderHotPart(int X, int Y, uint8_t& Part, int32_t Column) {
  // Without header buttons every point of a header is the header itself.
  Part = 1;
  return true;
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
  ClampLeftCoord();
  CalcVisibleRowCount();
  UpdateScrollBars();
  KeepLastPageFilled();
  Invalidate();
}

bool TCustomdxTreeList::MakeNodeFocused(TdxTreeListNode* Node) {
  SetFocusedNode(Node, GetFocusedColumn(), /*MakeVisible=*/false);
  return true;
}

bool TCustomdxTreeList::EditOnMouseDown(int X, int Y, int32_t Column, bool SameNode) {
  return IsOptions11();
}

void TCustomdxTreeList::RefreshNode(TdxTreeListNode* Node, bool Recalc) {
  if (!Node || Node->GetDeleting() || !Node->IsVisible() || IsLocked() || IsDestroying())
    return;
  if (Recalc) {
    CalcVisibleRowCount();
    UpdateScrollBars();
    if (KeepLastPageFilled()) {
      Invalidate();
      return;
    }
  }
  if (!HandleAllocated())
    return;
  TRect rect;
  if (Recalc)
    GetNodeRowRectToBottom(Node, rect);
  else
    GetNodeRowRect(Node, rect);
  if (rect.left == -1 && rect.top == -1)
    return;
  InvalidateRect(GetHandle(), &rect, FALSE);
}

TdxTreeListNode* TCustomdxTreeList::CreateNode() {
  AbstractError();
}

int TCustomdxTreeList::GetNodeImageIndex(TdxTreeListNode* Node) {
  AbstractError();
}

int TCustomdxTreeList::GetNodeSelectedIndex(TdxTreeListNode* Node) {
  AbstractError();
}

int TCustomdxTreeList::GetNodeStateIndex(TdxTreeListNode* Node) {
  AbstractError();
}

void TCustomdxTreeList::GetNodeValue(TdxTreeListNode* Node, int32_t Column, Variant& Value) {
  AbstractError();
}

void TCustomdxTreeList::GetNodeString(TdxTreeListNode* Node, int32_t Column, std::string& Text) {
  AbstractError();
}

void TCustomdxTreeList::GetNodeVariant(TdxTreeListNode* Node, int32_t Column, Variant& Value) {
  Value = Variant(std::string());
}

void TCustomdxTreeList::SetFocusedNode(TdxTreeListNode* Node, int32_t Column, bool MakeVisible) {
  TdxTreeListNode* oldNode = FFocusedNode;
  const int32_t oldColumn = FFocusedColumn;
  // The edit of the cell that loses the focus is stored before the focus moves.
  if (Node != oldNode || Column != oldColumn)
    EndEditingQuiet();
  FFocusedNode = Node;
  FFocusedColumn = Column;
  if (Column != oldColumn)
    FFocusedAbsoluteColumn = -1;
  if (MakeVisible && Node)
    MakeNodeVisible(Node);
  if (Node != oldNode) {
    RefreshNode(oldNode, false);
    RefreshNode(Node, false);
    DoChangeNode(oldNode, Node);
  }
  if (Column != oldColumn)
    DoChangeColumn(oldColumn, Column);
}

void TCustomdxTreeList::SetFocusedNodeByIndex(int Index) {
  if (FRootNodes->GetCount() == 0)
    return;
  Index = std::clamp(Index, 0, GetRowCount() - 1);
  TdxTreeListNode* node = GetNodeAtRow(Index);
  if (node == FFocusedNode)
    return;
  SetFocusedNode(node, GetFocusedColumn(), /*MakeVisible=*/true);
}

void TCustomdxTreeList::SetNodeImageIndex(TdxTreeListNode* Node, int Value) {
  AbstractError();
}

void TCustomdxTreeList::SetNodeSelectedIndex(TdxTreeListNode* Node, int Value) {
  AbstractError();
}

void TCustomdxTreeList::SetNodeStateIndex(TdxTreeListNode* Node, int Value) {
  AbstractError();
}

void TCustomdxTreeList::SetNodeString(TdxTreeListNode* Node, int32_t Column, const std::string& Text) {
  AbstractError();
}

void TCustomdxTreeList::SetNodeValue(TdxTreeListNode* Node, int32_t Column, const Variant& Value) {
  AbstractError();
}

void TCustomdxTreeList::SetTopNode(TdxTreeListNode* Node) {
  FTopNode = Node;
  if (!IsDestroying() && !FHoldEvents)
    OnChangeTopNode(this, Node);
}

int32_t TCustomdxTreeList::GetColumnDisplayWidth(int32_t Column) {
  // The columns of a band row share the band's width: columns that cannot be sized keep
  // theirs, the others share the rest in proportion to their widths, never below their
  // minimum widths, and the last one takes what is left.
  const int band = GetVisibleBandIndex(GetColumnBandIndex(Column));
  if (band < 0)
    return 0;
  const int row = GetColumnRowIndex(Column);
  const int count = GetColumnCountInRow(band, row);
  const int bandWidth = GetBandDisplayWidth(band);
  int width = bandWidth;
  int widthSum = GetRowColumnsWidth(band, row);
  int minSum = GetRowColumnsMinWidth(band, row);
  int growingSum = 0;
  bool held = false;
  for (int position = 0; position < count; ++position) {
    const int column = GetColumnAt(band, row, position);
    if (column < 0 || !CanSizeColumn(column))
      continue;
    if (widthSum != 0 && MulDiv(width, GetColumnWidth(column), widthSum) >= GetColumnMinWidth(column))
      growingSum += GetColumnWidth(column);
    else
      held = true;
  }
  int result = GetColumnWidth(Column);
  int shown = 0;
  for (int position = 0; position < count; ++position) {
    const int column = GetColumnAt(band, row, position);
    if (column < 0)
      continue;
    const int own = GetColumnWidth(column);
    const int least = GetColumnMinWidth(column);
    int columnWidth = least;
    if (position == count - 1) {
      columnWidth = bandWidth - shown;
    } else if (!CanSizeColumn(column)) {
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
    if (column == Column) {
      result = columnWidth;
      break;
    }
    shown += columnWidth;
  }
  if (band == 0 && GetColumnColIndex(Column) == 0)
    result += GetFirstBandExtraWidth();
  return result;
}

uint8_t TCustomdxTreeList::GetColumnHeaderState(int32_t Column) {
  if (!HasHeaderButtons())
    return 0;
  if (FHotInfo.Column != Column || FHotInfo.Node || FHotInfo.Part < 2)
    return 1;
  return FColumnButtonPressed && FPressedColumnButton == Column ? 7 : 3;
}

int32_t TCustomdxTreeList::GetCellTextWidth(TCanvas* Canvas, TdxTreeListNode* Node, int32_t Column) {
  if (!IsColumnOwnFont(Column))
    return 0;
  std::string text;
  GetCellText(Node, Column, text);
  FSpareFont->Assign(Canvas->GetFont());
  Canvas->SetFont(GetColumnFont(Column));
  const int width = Canvas->TextWidth(text) + 3;
  Canvas->SetFont(FSpareFont.get());
  return width;
}

int32_t TCustomdxTreeList::CalcRowLineCount(TdxTreeListNode* Node, int32_t& Height) {
  int32_t lines = 1;
  const int32_t count = GetColumnCount();
  for (int32_t column = 0; column < count; ++column) {
    if (!IsColumnInVisibleBand(column))
      continue;
    int32_t cellLines = 0;
    int32_t textHeight = 0;
    const int32_t maxLines = GetColumnMaxRowLineCount(column);
    if (MeasureCellText(Node, column, cellLines, textHeight, GetColumnDisplayWidth(column),
                        maxLines == 0 ? -1 : maxLines))
      lines = std::max(lines, cellLines);
  }
  return lines;
}

int32_t TCustomdxTreeList::GetNodeMaxTextWidth(TdxTreeListNode* Node) {
  int32_t widest = 0;
  const int32_t count = GetColumnCount();
  for (int32_t column = 0; column < count; ++column) {
    if (IsColumnInVisibleBand(column))
      widest = std::max(widest, GetCellTextWidth(GetCanvas(), Node, column));
  }
  return widest;
}

int32_t TCustomdxTreeList::GetPreviewLineCount(TdxTreeListNode* Node) {
  if (!Node || !IsAutoPreviewLines())
    return FPreviewLines;
  std::string text;
  GetPreviewText(Node, text);
  if (text.empty())
    return 0;
  // The text broken into lines at the preview width, in the preview font.
  TClientDC dc(nullptr);
  TSelectGuard select(dc, FPreviewFont->GetHandle());
  // Measured at the width it is drawn in: less its indent and its 1-pixel margins.
  RECT bounds{0, 0, std::max(GetPreviewWidth(Node) - kPreviewIndent - 2, 1), 0};
  const int height =
      DrawTextA(dc, text.c_str(), static_cast<int>(text.size()), &bounds, DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX);
  TEXTMETRICA metrics{};
  GetTextMetricsA(dc, &metrics);
  const int lineHeight = std::max(static_cast<int>(metrics.tmHeight), 1);
  return std::max((height + lineHeight - 1) / lineHeight, 1);
}

int32_t TCustomdxTreeList::GetGridLineWidth() {
  return std::max(FGridLineWidth, 1);
}

bool TCustomdxTreeList::CanDragSelectRows() {
  if (FOptions.Contains(aoEditing) && !IsRowSelect())
    return false;
  return FOptionsEx.Contains(aoDragSelectRows);
}

void TCustomdxTreeList::GetDragCursor(const TPoint& ScreenPoint, TCursor& Cursor) {
  if (FState == stColumnDragging && GetVisibleBandCount() == 0) {
    Cursor = crDxTreeListDelete;  // nowhere to drop
    return;
  }
  if (!FCustomizingForm || !FCustomizingForm->GetVisible())
    return;
  const TPoint local = FCustomizingForm->ScreenToClient(ScreenPoint);
  if (!PointInRect(FCustomizingForm->GetClientRect(), local))
    return;
  if (FState == stColumnDragging && FDragColumn >= 0 && GetColumnDisableCustomizing(FDragColumn)) {
    Cursor = crDxTreeListDelete;
    return;
  }
  const bool lastVisibleColumn = FState == stColumnDragging && GetShownColumnCount() == 1;
  if (!lastVisibleColumn)
    Cursor = crDrag;
}

void TCustomdxTreeList::BeginNodeDrag(TdxTreeListNode* Node) {
  OnBeginDragNode(this, Node);
}

bool TCustomdxTreeList::IsLastNode(TdxTreeListNode* Node) {
  const int count = GetRowCount();
  return Node && count > 0 && GetNodeAtRow(count - 1) == Node;
}

bool TCustomdxTreeList::IsFirstNode(TdxTreeListNode* Node) {
  return Node && Node == GetFirstNode();
}

void TCustomdxTreeList::GetScrollInfo(int& Min, int& Max, int& Page, int& Pos) {
  Min = 0;
  Max = std::max(GetRowCount() - 1, 0);
  Page = FVisibleRowCount;
  Pos = std::max(GetTopIndex(), 0);
}

void TCustomdxTreeList::UpdateScrollBars() {
  if (!HandleAllocated() || IsDestroying())
    return;
  // Twice: a bar that appears or goes changes the room, and so the page, of the other.
  for (int pass = 0; pass < 2; ++pass) {
    if (pass > 0)
      CalcVisibleRowCount();
    int min = 0;
    int max = 0;
    int page = 0;
    int pos = 0;
    GetScrollInfo(min, max, page, pos);
    UpdateScrollBar(SB_VERT, FLastVertScroll, max, page, pos);
    if (ClampLeftCoord())
      Invalidate();
    UpdateScrollBar(SB_HORZ, FLastHorzScroll, std::max(GetTotalScrollWidth() - 1, 0), GetVisibleScrollWidth(),
                    FLeftCoord);
  }
}

void TCustomdxTreeList::UpdateScrollBar(int bar, SCROLLINFO& last, int max, int page, int pos) {
  if (last.cbSize != 0 && last.nMin == 0 && last.nMax == max && static_cast<int>(last.nPage) == page &&
      last.nPos == pos)
    return;
  SCROLLINFO info{};
  info.cbSize = sizeof(info);
  info.fMask = SIF_ALL;
  info.nMin = 0;
  info.nMax = max;
  info.nPage = static_cast<UINT>(std::max(page, 0));
  info.nPos = pos;
  SetScrollInfo(bar, info, true);
  last = info;
}

bool TCustomdxTreeList::IsEditorFocused() {
  if (FState != stEditing || GetComponentState().Contains(csDesigning) || IsLocked() || !HandleAllocated())
    return false;
  return GetFocus() == GetHandle();
}

void TCustomdxTreeList::UpdateHotTrack(const TdxTreeListHitInfo& HitInfo) {
  if (FState == stNone || FState == stFooterButtonPressed) {
    const bool hot = HitInfo.HitTest == htFooter2;
    if (hot != FFooterButtonHot) {
      FFooterButtonHot = hot;
      Invalidate();
    }
  }
  if (!FOptionsEx.Contains(aoHotTrack) && !HasHeaderButtons())
    return;
  TdxTreeListHotInfo hot;
  uint8_t part = 0;
  if (HitInfo.Node && HitInfo.Column >= 0 && IsHotTrackCell(HitInfo.Node, HitInfo.Column, HitInfo.HitTest)) {
    hot.Node = HitInfo.Node;
    hot.Column = HitInfo.Column;
  } else if (HitInfo.HitTest == htColumnHeader &&
             GetHeaderHotPart(HitInfo.Pos.x, HitInfo.Pos.y, part, HitInfo.Column)) {
    hot.Column = HitInfo.Column;
    hot.Part = FColumnButtonPressed && FPressedColumnButton == HitInfo.Column ? 3 : part;
  }
  if (hot.Node == FHotInfo.Node && hot.Column == FHotInfo.Column && hot.Part == FHotInfo.Part)
    return;
  const TdxTreeListHotInfo old = FHotInfo;
  FHotInfo = hot;
  TCursor cursor = GetCursor();
  GetHotCursor(hot, cursor);
  SetCursor(cursor);
  if (old.Node || hot.Node) {
    RefreshNode(old.Node, false);
    RefreshNode(hot.Node, false);
  }
  if (!old.Node || !hot.Node)
    Invalidate();  // a header was or is hot
}

TdxInplaceEdit* TCustomdxTreeList::CreateInplaceEdit(int32_t Column) {
  return new TdxInplaceTreeListTextEdit(this);
}

void TCustomdxTreeList::GetHotCursor(const TdxTreeListHotInfo& HotInfo, TCursor& Cursor) {
  OnGetHotCursor(this, HotInfo, Cursor);
}

void TCustomdxTreeList::GetEditingText(std::string& Text) {
  TdxInplaceEdit* editor = GetEditor();
  if (FState == stEditing && editor)
    Text = editor->GetText();
  else
    Text.clear();
}

void TCustomdxTreeList::InitEditor(TdxInplaceEdit* Editor) {
  Editor->HidingEditor = false;
  COLORREF color = ColorToRGB(GetEditColor());
  if (TClientDC dc(nullptr); dc.Get())
    color = GetNearestColor(dc, color);
  Editor->SetColor(static_cast<TColor>(color));
  Editor->SetFont(GetEditFont());
  Editor->SetEditMargins(TRect{1, 0, 0, 0});
}

bool TCustomdxTreeList::IsHotCell(TdxTreeListNode* Node, int32_t Column) {
  return FHotInfo.Node && FHotInfo.Node == Node && FHotInfo.Column == Column;
}

void TCustomdxTreeList::SetEditingText(const std::string& Text) {
  TdxInplaceEdit* editor = GetEditor();
  if (FState == stEditing && editor)
    editor->SetText(Text);
}

bool TCustomdxTreeList::CanSelectNodeEx(TdxTreeListNode* Node) {
  bool allow = true;
  const TAliveGuard nodeAlive(Node);
  OnCanSelectNode(this, Node, allow);
  if (Node && !nodeAlive.Alive())
    return false;
  if (!allow || IsOptions14())
    return allow;
  TdxTreeListNode* first = GetSelectedCount() > 0 ? GetSelectedItem(0) : nullptr;
  return !first || !Node || first->GetLevel() == Node->GetLevel();
}

void TCustomdxTreeList::ClearSelection() {
  FAnchorFlag = false;
  DoSelectionChanged();
}

int TCustomdxTreeList::CompareToAnchor(TdxTreeListNode* Node) {
  const int anchor = GetNodeRowIndex(FAnchorNode);
  const int row = GetNodeRowIndex(Node);
  return row < anchor ? -1 : row > anchor ? 1 : 0;
}

int TCustomdxTreeList::GetSelectedCountEx() {
  FAnchorFlag = false;
  return GetSelectedCount();
}

void TCustomdxTreeList::DoSelectionChanged() {
  // Inside a selection bracket the bracket's end reports once.
  if (IsDestroying() || IsLocked() || FSelectionLockCount > 0 || FHoldEvents)
    return;
  OnSelectionChanged(this);
}

void TCustomdxTreeList::RefreshSelection() {
  if (!HandleAllocated())
    return;
  const int count = GetSelectedCount();
  if (count > 10) {
    Invalidate();
    return;
  }
  RefreshNode(FFocusedNode, false);
  for (int i = 0; i < count; ++i)
    RefreshNode(GetSelectedItem(i), false);
}

void TCustomdxTreeList::SetNodeSelected(TdxTreeListNode* Node, bool Value) {
  // The base keeps no selection store; a descendant stores the state.
  DoSelectionChanged();
}

void TCustomdxTreeList::SelectRange(TdxTreeListNode* Node1, TdxTreeListNode* Node2) {
  int first = GetNodeRowIndex(Node1);
  int last = GetNodeRowIndex(Node2);
  if (first < 0 || last < 0)
    return;
  if (first > last)
    std::swap(first, last);
  TdxTreeListSelectionScope selection(this);
  for (int row = first; row <= last; ++row)
    SetNodeSelected(GetNodeAtRow(row), true);
}

void TCustomdxTreeList::SetSelectionAnchor(TdxTreeListNode* Node) {
  FAnchorNode = Node;
}

int TCustomdxTreeList::CompareNodes(TdxTreeListNode* Node1, TdxTreeListNode* Node2) {
  std::less<TdxTreeListNode*> before;
  return before(Node1, Node2) ? -1 : before(Node2, Node1) ? 1 : 0;
}

TColor TCustomdxTreeList::GetGridColor() {
  return FGridLineColor == clNone ? FDefaultGridLineColor : FGridLineColor;
}

void TCustomdxTreeList::BeginSelectionUpdate() {
  if (FSelectionLockCount++ == 0)
    FSelectionCountAtLock = GetSelectedCount();
}

void TCustomdxTreeList::EndSelectionUpdate() {
  assert(FSelectionLockCount > 0 && "EndSelectionUpdate without BeginSelectionUpdate");
  if (FSelectionLockCount == 0 || --FSelectionLockCount > 0)
    return;
  if (GetSelectedCount() != FSelectionCountAtLock)
    DoSelectionChanged();
}

void TCustomdxTreeList::EndSelectionUpdateQuiet() {
  assert(FSelectionLockCount > 0 && "EndSelectionUpdateQuiet without BeginSelectionUpdate");
  if (FSelectionLockCount > 0)
    --FSelectionLockCount;
}
