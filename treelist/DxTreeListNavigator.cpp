// TdxTreeListNavigator: focus, navigation and scrolling of the tree list: moving the
// focused node and column, the rows on screen, keeping nodes, bands and columns on screen,
// LeftCoord and the scroll bars.
//
// Decisions taken here:
// - NodeAdded brings the top and focused node and the row lists in step first and runs
//   what may reach user code (the refresh, ending an edit) last. A per-node row update
//   that is skipped while the lists hold rows (while locked or loading) drops the lists
//   instead of leaving them without the node.
// - LeftCoord is kept at most the total less the visible scroll width first and at least
//   0 after, so the range cannot invert when the bands are narrower than the area.
// - A thumb position is read from the scroll message (16 bits), and from the scroll
//   bar's tracking position when the range is larger.
#include "treelist/DxTreeListNavigator.h"

#include <algorithm>
#include <cstdlib>

#include "classlib/AliveGuard.h"
#include "treelist/DxTreeList.h"

// ---- Directions and focus

TdxTreeListNode* TdxTreeListNavigator::GetNodeByDirection(TdxTreeListNode* node, int direction, bool allNodes) {
  if (!node)
    return nullptr;
  switch (direction) {
    case 0:
      return FControl.GetFirstNode();
    case 1:
      return node->GetPriorVisible();
    case 2:
      return allNodes ? node->GetNext() : node->GetNextVisible();
    case 3: {
      TdxTreeListNode* last = FControl.GetItem(FControl.GetCount() - 1);
      while (last && last->GetCount() > 0 && (allNodes || last->GetExpanded()))
        last = last->GetLastChild();
      return last;
    }
  }
  return nullptr;
}

void TdxTreeListNavigator::FocusNodeByDirection(int direction, bool allNodes) {
  if (!FFocusedNode)
    return;
  TdxTreeListNode* node = FControl.GetNodeByDirection(FFocusedNode, direction, allNodes);
  if (!node)
    return;
  const bool followSelection =
      FControl.IsMultiSelect() && FControl.GetSelectedCount() == 1 && FControl.GetSelectedItem(0) == FFocusedNode;
  if (followSelection)
    FControl.GetSelection().SelectOnly(node);
  FControl.SetFocusedNode(node, GetFocusedColumn(), /*makeVisible=*/true);
}

bool TdxTreeListNavigator::IsFirstNodeFocused() {
  return FControl.GetCount() == 0 || FFocusedNode == FControl.GetFirstNode();
}

bool TdxTreeListNavigator::IsLastNodeFocused() {
  return FControl.GetCount() == 0 || FFocusedNode == FControl.GetNodeByDirection(FControl.GetFirstNode(), 3, false);
}

void TdxTreeListNavigator::MoveFocusedRow(int delta) {
  if (FControl.GetCount() == 0)
    return;
  FControl.SetFocusedNodeByIndex(GetFocusedRowIndex() + delta);
}

void TdxTreeListNavigator::MakeBandVisible(int band) {
  if (FControl.GetVisibleBandCount() < 2 || band < 0 || band >= FControl.GetVisibleBandCount() ||
      band == FControl.GetLeftFixedBand() || band == FControl.GetRightFixedBand())
    return;
  const int left = FControl.GetWidths().GetBandScrollLeft(band);
  const int right = left + FControl.GetWidths().GetBandDisplayWidth(band);
  ScrollIntoView(left, right);
}

void TdxTreeListNavigator::MakeColumnVisible(int column) {
  if (column < 0 || column >= FControl.GetColumnCount())
    return;
  const int band = FControl.GetVisibleBandIndex(FControl.GetColumnBandIndex(column));
  if (band < 0 || band == FControl.GetLeftFixedBand() || band == FControl.GetRightFixedBand())
    return;
  // The column's extent inside its band, from the layout's header cells.
  TdxTreeListLayout layout;
  FControl.CalcLayout(layout);
  const TdxTreeListColumnEntry* entry = layout.FindColumn(column);
  const TdxTreeListBandEntry* bandEntry = layout.FindBand(band);
  if (!entry || !bandEntry)
    return;
  const int left = FControl.GetWidths().GetBandScrollLeft(band) + (entry->Rect.left - bandEntry->Rect.left);
  const int right = left + RectWidth(entry->Rect);
  ScrollIntoView(left, right);
}

void TdxTreeListNavigator::ScrollIntoView(int left, int right) {
  const int visible = FControl.GetWidths().GetVisibleScrollWidth();
  if (left < FLeftCoord)
    SetLeftCoord(left);
  else if (right > FLeftCoord + visible)
    SetLeftCoord(std::min(right - visible, left));
}

int TdxTreeListNavigator::RowHeightOf(TdxTreeListNode* node) {
  return FControl.GetWidths().GetNodeRowHeight(node, FControl.GetMetrics().RowHeight, false);
}

// ---- The focused node and column

int TdxTreeListNavigator::GetFocusedColumn() {
  if (FControl.IsRowSelect() || FFocusedColumn < 0 || FFocusedColumn >= FControl.GetWidths().GetShownColumnCount())
    return 0;
  return FFocusedColumn;
}

void TdxTreeListNavigator::SetFocusedNode(TdxTreeListNode* node, int32_t column, bool makeVisible) {
  TdxTreeListNode* oldNode = FFocusedNode;
  const int32_t oldColumn = FFocusedColumn;
  // The edit of the cell that loses the focus is stored before the focus moves.
  if (node != oldNode || column != oldColumn)
    FControl.GetEditController().EndEditingQuiet();
  FFocusedNode = node;
  FFocusedColumn = column;
  if (column != oldColumn)
    FFocusedAbsoluteColumn = -1;
  // The handlers of the expansions on the way and of the node change may free the
  // control (an expansion's may delete the node too): nothing goes on after them.
  if (makeVisible && node && !Survives(node, [&] { MakeNodeVisible(node); }))
    return;
  if (node != oldNode) {
    FControl.RefreshNode(oldNode, false);
    FControl.RefreshNode(node, false);
    if (!Survives(&FControl, &TCustomdxTreeList::DoChangeNode, oldNode, node))
      return;
  }
  if (column != oldColumn)
    FControl.DoChangeColumn(oldColumn, column);
}

void TdxTreeListNavigator::SetFocusedNodeByIndex(int index) {
  if (FControl.GetCount() == 0)
    return;
  index = std::clamp(index, 0, FControl.GetRowCount() - 1);
  TdxTreeListNode* node = FControl.GetNodeAtRow(index);
  if (node == FFocusedNode)
    return;
  FControl.SetFocusedNode(node, GetFocusedColumn(), /*makeVisible=*/true);
}

void TdxTreeListNavigator::NodeAdded(TdxTreeListNode* node) {
  if (!FTopNode)
    FControl.SetTopNode(node->IsVisible() ? node : FControl.GetFirstNode());
  if (!FFocusedNode)
    FFocusedNode = FTopNode;
  if (FControl.IsLocked() || FControl.IsLoading() || FControl.IsDestroying()) {
    if (FControl.InListMode())
      FControl.GetRows().ClearRowLists();
  } else {
    FControl.GetRows().UpdateRowsForNode(node, /*deleted=*/false);
  }
  if (!FControl.IsLocked()) {
    TdxTreeListNode* refreshed = node->GetPrevSibling();
    if (!refreshed)
      refreshed = node->GetParent();
    FControl.RefreshNode(refreshed ? refreshed : node, /*recalc=*/true);
  }
  FControl.GetEditController().ResetEditedCell();
}

bool TdxTreeListNavigator::NodeGone(TdxTreeListNode* node, TdxTreeListNode* replacement) {
  const bool wasTop = FTopNode == node;
  if (wasTop)
    FTopNode = replacement;
  if (FFocusedNode == node)
    FFocusedNode = replacement;
  return wasTop;
}

void TdxTreeListNavigator::WMFocusChanged(TMessage& message, bool gained) {
  TdxInplaceEdit* editor = FControl.GetEditor();
  const HWND other = reinterpret_cast<HWND>(message.WParam);
  const bool fromEditor = editor && editor->HandleAllocated() && other == editor->GetHandle();
  if (!gained) {
    if (fromEditor)
      return;
    FControl.RefreshNode(FFocusedNode, false);
    if (FControl.GetState() == stEditing && editor && !fromEditor)
      FControl.GetEditController().EndEditingQuiet();
    if (FControl.GetState() == stRowSelecting)
      FControl.SetState(stNone);
    RepaintFocusState();
    return;
  }
  if (!FFocusedNode)
    FFocusedNode = FTopNode;
  if (FFocusedColumn < 0 || FFocusedColumn >= std::max(FControl.GetWidths().GetShownColumnCount(), 1))
    FFocusedColumn = 0;
  if (fromEditor)
    return;
  FControl.RefreshNode(FFocusedNode, false);
  RepaintFocusState();
}

void TdxTreeListNavigator::RepaintFocusState() {
  if (FControl.IsMultiSelect() && FControl.GetSelectedCount() > 0)
    FControl.RefreshSelection();
  if (FControl.GetOptionsEx().Contains(aoHotTrack))
    FControl.Invalidate();
}

// ---- Rows on screen

int TdxTreeListNavigator::GetFocusedRowIndex() const {
  return FFocusedNode ? FControl.GetNodeRowIndex(FFocusedNode) : 0;
}

int TdxTreeListNavigator::GetTopIndex() const {
  return FTopNode ? FControl.GetNodeRowIndex(FTopNode) : -1;
}

void TdxTreeListNavigator::GetNodeRowRect(TdxTreeListNode* node, TRect& rect) {
  rect = TRect{-1, -1, -1, -1};
  TRect rows;
  FControl.GetLayoutBuilder().GetLayoutPartRect(rows);
  int y = rows.top;
  for (TdxTreeListNode* n = FTopNode; n && y < rows.bottom; n = n->GetNextVisible()) {
    const int h = RowHeightOf(n);
    if (n == node) {
      rect = TRect{rows.left, y, rows.right, y + h};
      return;
    }
    y += h;
  }
}

void TdxTreeListNavigator::GetNodeRowRectToBottom(TdxTreeListNode* node, TRect& rect) {
  GetNodeRowRect(node, rect);
  rect.bottom = FControl.GetLayoutBuilder().GetRowsRect().bottom;
}

void TdxTreeListNavigator::CalcVisibleRowCount() {
  const TRect rows = FControl.GetLayoutBuilder().GetRowsRect();
  int shown = 0;
  int whole = 0;
  int y = rows.top;
  for (TdxTreeListNode* n = FTopNode; n && y < rows.bottom; n = n->GetNextVisible()) {
    y += RowHeightOf(n);
    ++shown;
    if (y <= rows.bottom)
      ++whole;
  }
  FShownRowCount = std::max(shown, 1);
  FVisibleRowCount = std::max(whole, 1);
}

bool TdxTreeListNavigator::KeepLastPageFilled() {
  if (!FTopNode)
    return false;
  const TRect rows = FControl.GetLayoutBuilder().GetRowsRect();
  int room = rows.bottom - rows.top;
  for (TdxTreeListNode* n = FTopNode; n; n = n->GetNextVisible()) {
    room -= RowHeightOf(n);
    if (room <= 0)
      return false;
  }
  TdxTreeListNode* top = FTopNode;
  for (TdxTreeListNode* n = top->GetPriorVisible(); n; n = n->GetPriorVisible()) {
    const int h = RowHeightOf(n);
    if (h > room)
      break;
    room -= h;
    top = n;
  }
  if (top == FTopNode)
    return false;
  FControl.SetTopNode(top);
  return true;
}

void TdxTreeListNavigator::SetTopIndex(int index) {
  const int count = FControl.GetRowCount();
  if (count == 0)
    return;
  index = std::clamp(index, 0, count - 1);
  TdxTreeListNode* node = FControl.GetNodeAtRow(index);
  if (node == FTopNode)
    return;
  const int old = GetTopIndex();
  // OnChangeTopNode may free the control: the scroll ends with it.
  if (!Survives(&FControl, &TCustomdxTreeList::SetTopNode, node) || FControl.IsLocked())
    return;
  // Within a page the rows move by the pixels of the rows between the two tops, and only
  // the rows that come into view are painted.
  const int rows = std::abs(index - old);
  int pixels = 0;
  if (old >= 0 && rows <= FVisibleRowCount) {
    for (int row = std::min(index, old); row < std::max(index, old); ++row)
      pixels += RowHeightOf(FControl.GetNodeAtRow(row));
  }
  FControl.CalcVisibleRowCount();
  FControl.UpdateScrollBars();
  if (pixels == 0 || !FControl.HandleAllocated()) {
    FControl.Invalidate();
    return;
  }
  ScrollRows(index > old ? -pixels : pixels);
}

void TdxTreeListNavigator::MakeNodeVisible(TdxTreeListNode* node) {
  if (!node)
    return;
  const bool hidden = !node->IsVisible();
  TdxTreeListUpdateScope update(&FControl, /*open=*/hidden);
  // The expanding handlers may delete the node or an ancestor (or move the node).
  for (TdxTreeListNode* p = hidden ? node->GetParent() : nullptr; p;) {
    if (!p->GetExpanded()) {
      bool parentAlive = false;
      if (!Survives(node, [&] { parentAlive = Survives(p, &TdxTreeListNode::SetExpanded, true); }))
        return;
      if (!parentAlive) {
        p = node->GetParent();
        continue;
      }
    }
    p = p->GetParent();
  }
  const int r = FControl.GetNodeRowIndex(node);
  if (r < 0)
    return;
  const int top = GetTopIndex();
  if (top < 0 || r < top) {
    SetTopIndex(r);
    return;
  }
  // The last row shown whole from the top, and the top that shows r as the last one.
  const TRect rows = FControl.GetLayoutBuilder().GetRowsRect();
  const int height = rows.bottom - rows.top;
  int y = 0;
  int last = top - 1;
  for (TdxTreeListNode* n = FTopNode; n; n = n->GetNextVisible()) {
    y += RowHeightOf(n);
    if (y > height)
      break;
    ++last;
  }
  if (r <= last)
    return;  // on screen already (after any expanding, the top stays)
  int newTop = r;
  int used = RowHeightOf(node);
  for (TdxTreeListNode* n = node->GetPriorVisible(); n; n = n->GetPriorVisible()) {
    used += RowHeightOf(n);
    if (used > height)
      break;
    --newTop;
  }
  SetTopIndex(newTop);
}

// ---- LeftCoord and its scrolling

bool TdxTreeListNavigator::ClampLeftCoord() {
  const int limit = FControl.GetWidths().GetTotalScrollWidth() - FControl.GetWidths().GetVisibleScrollWidth();
  const int value = std::max<int>(std::min<int>(FLeftCoord, limit), 0);
  if (value == FLeftCoord)
    return false;
  FLeftCoord = value;
  return true;
}

void TdxTreeListNavigator::SetLeftCoord(int value) {
  FControl.GetEditController().EndEditing();
  value = std::max<int>(std::min<int>(value, FControl.GetWidths().GetTotalScrollWidth() - FControl.GetWidths().GetVisibleScrollWidth()), 0);
  if (value == FLeftCoord)
    return;
  const int old = FLeftCoord;
  FLeftCoord = value;
  FControl.UpdateScrollBars();
  if (FControl.IsLocked() || !FControl.HandleAllocated())
    return;
  // Moving pixels works only where nothing stays put: no footer below the columns and
  // no fixed band beside them.
  const bool movable = !FControl.GetShowFooter() && FControl.GetLeftFixedBand() < 0 &&
                       FControl.GetRightFixedBand() < 0 && std::abs(old - value) <= FControl.GetWidths().GetVisibleScrollWidth();
  if (movable) {
    ScrollColumns(old - value);
    return;
  }
  FControl.Invalidate();
}

void TdxTreeListNavigator::ScrollColumns(int delta) {
  if (!FControl.HandleAllocated())
    return;
  const TRect rect = FControl.GetWidths().GetScrolledAreaRect();
  // The XOR feedback would move with the pixels: it is taken off first.
  FControl.GetPainter().HideFeedback();
  ScrollWindowEx(FControl.GetHandle(), delta, 0, &rect, &rect, nullptr, nullptr, SW_INVALIDATE);
  FControl.GetPainter().ShowFeedback();
}

void TdxTreeListNavigator::ScrollRows(int delta) {
  if (!FControl.HandleAllocated())
    return;
  TRect rect;
  FControl.GetLayoutPartRect(rect);
  FControl.GetPainter().HideFeedback();
  ScrollWindowEx(FControl.GetHandle(), 0, delta, &rect, &rect, nullptr, nullptr, SW_INVALIDATE);
  FControl.GetPainter().ShowFeedback();
  if (!FControl.GetMetrics().TreeLook || FControl.GetVisibleBandCount() <= 0)
    return;
  // Dotted tree lines follow the parity of the rows area: the moved tree area is
  // painted again.
  TRect tree = rect;
  tree.right = rect.left + FControl.GetWidths().GetBandDisplayWidth(0) + FControl.GetFirstBandExtraWidth() -
               (FControl.GetLeftFixedBand() < 0 ? FLeftCoord : 0);
  InvalidateRect(FControl.GetHandle(), &tree, FALSE);
}

void TdxTreeListNavigator::UpdateNow() {
  if (FControl.HandleAllocated())
    UpdateWindow(FControl.GetHandle());
}

// ---- Scroll bars

void TdxTreeListNavigator::GetScrollInfo(int& min, int& max, int& page, int& pos) {
  min = 0;
  max = std::max(FControl.GetRowCount() - 1, 0);
  page = FVisibleRowCount;
  pos = std::max(GetTopIndex(), 0);
}

void TdxTreeListNavigator::UpdateScrollBars() {
  if (!FControl.HandleAllocated() || FControl.IsDestroying())
    return;
  // Twice: a bar that appears or goes changes the room, and so the page, of the other.
  for (int pass = 0; pass < 2; ++pass) {
    if (pass > 0)
      FControl.CalcVisibleRowCount();
    int min = 0;
    int max = 0;
    int page = 0;
    int pos = 0;
    FControl.GetScrollInfo(min, max, page, pos);
    UpdateScrollBar(SB_VERT, FLastVertScroll, max, page, pos);
    if (ClampLeftCoord())
      FControl.Invalidate();
    UpdateScrollBar(SB_HORZ, FLastHorzScroll, std::max(FControl.GetWidths().GetTotalScrollWidth() - 1, 0),
                    FControl.GetWidths().GetVisibleScrollWidth(), FLeftCoord);
  }
}

void TdxTreeListNavigator::UpdateScrollBar(int bar, SCROLLINFO& last, int max, int page, int pos) {
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
  FControl.SetScrollInfo(bar, info, true);
  last = info;
}

int TdxTreeListNavigator::TrackPosition(int bar, int code, int range) {
  if (range <= 0xFFFF)
    return (code >> 16) & 0xFFFF;
  SCROLLINFO info{};
  info.cbSize = sizeof info;
  info.fMask = SIF_ALL;
  FControl.GetScrollInfo(bar, info);
  return info.nTrackPos;
}

void TdxTreeListNavigator::HScroll(int code) {
  const int scroll = code & 0xFFFF;
  // The bar's range; SetLeftCoord keeps the offset where the right edge stays filled.
  const int range = std::max(FControl.GetWidths().GetTotalScrollWidth() - 1, 0);
  int value = FLeftCoord;
  switch (scroll) {
    case SB_LINELEFT: value -= FHorzLineStep; break;
    case SB_LINERIGHT: value += FHorzLineStep; break;
    case SB_PAGELEFT: value -= RectWidth(FControl.GetClientRect()); break;
    case SB_PAGERIGHT: value += RectWidth(FControl.GetClientRect()); break;
    case SB_THUMBPOSITION:
    case SB_THUMBTRACK: {
      const int p = TrackPosition(SB_HORZ, code, range);
      const int page = FControl.GetWidths().GetVisibleScrollWidth();
      if (p <= 0)
        value = 0;
      else if (p >= range)
        value = range;
      else if (p + page + 1 < range)
        value = (p + 1) / 4 * 4;
      else
        value = p + 1;
      break;
    }
    case SB_LEFT: value = 0; break;
    case SB_RIGHT: value = range; break;
    default: return;
  }
  SetLeftCoord(value);
}

void TdxTreeListNavigator::VScroll(int code) {
  const int scroll = code & 0xFFFF;
  const int maximum = std::max(FControl.GetRowCount() - FVisibleRowCount, 0);
  int top = std::max(GetTopIndex(), 0);
  switch (scroll) {
    case SB_LINEUP: top -= 1; break;
    case SB_LINEDOWN: top += 1; break;
    case SB_PAGEUP: top -= FVisibleRowCount; break;
    case SB_PAGEDOWN: top += FVisibleRowCount; break;
    case SB_THUMBPOSITION:
    case SB_THUMBTRACK:
      top = TrackPosition(SB_VERT, code, maximum);
      break;
    case SB_TOP: top = 0; break;
    case SB_BOTTOM: top = maximum; break;
    default: return;
  }
  SetTopIndex(std::clamp(top, 0, maximum));
}
