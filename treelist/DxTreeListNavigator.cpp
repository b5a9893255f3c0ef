// Focus, navigation and scrolling of the tree list: moving the focused node and column,
// keeping bands and columns on screen, the gate of the in-place editor, the text export
// to the clipboard, the incremental search and the auto-scroll timers.
//
// Decisions taken here:
// - FindNode also stops when its walk passes the end of the tree a second time, so a
//   search over the shown nodes only ends even when the focused node is hidden (or
//   there is none); every search that ends anyway ends the same way.
// - The timers live on the control's own window and are known per control: another
//   tree list's timers never start, stop or step this one's. The horizontal and the
//   vertical scroll have ids of their own, and a tick steps while the drag or the row
//   selection that started it runs.
// - The text export's header line holds no line break of its own: the string list
//   gives every line one.
#include <algorithm>

#include "classlib/Clipboard.h"
#include "classlib/DragDrop.h"
#include "classlib/Strings.h"
#include "treelist/DxTreeList.h"

namespace {

TCustomdxTreeList::TTimerProcs gTimerProcs;

// Upper case by the system locale, for the search's comparison.
std::string LocaleUpper(const std::string& text) {
  std::string result = text;
  if (!result.empty())
    CharUpperBuffA(result.data(), static_cast<DWORD>(result.size()));
  return result;
}

// The bit of FRunningTimers that stands for `id`.
uint32_t TimerBit(UINT_PTR id) {
  switch (id) {
    case TCustomdxTreeList::kVertScrollTimer: return 1u << 0;
    case TCustomdxTreeList::kEditTimer: return 1u << 1;
    case TCustomdxTreeList::kHorzScrollTimer: return 1u << 2;
    case TCustomdxTreeList::kDragExpandTimer: return 1u << 3;
    case TCustomdxTreeList::kHintTimer: return 1u << 4;
    case TCustomdxTreeList::kHintHideTimer: return 1u << 5;
  }
  return 0;
}

constexpr UINT_PTR kTimerIds[] = {TCustomdxTreeList::kVertScrollTimer, TCustomdxTreeList::kEditTimer,
                                  TCustomdxTreeList::kHorzScrollTimer, TCustomdxTreeList::kDragExpandTimer,
                                  TCustomdxTreeList::kHintTimer,       TCustomdxTreeList::kHintHideTimer};

// How close to the edge of the scrolled area a drag starts the horizontal scroll.
constexpr int kDragScrollZone = 12;
constexpr int kDragScrollStep = 32;

}  // namespace

// ---- Directions and focus

TdxTreeListNode* TCustomdxTreeList::GetNodeByDirection(TdxTreeListNode* node, int direction, bool allNodes) {
  if (!node)
    return nullptr;
  switch (direction) {
    case 0:
      return GetFirstNode();
    case 1:
      return node->GetPriorVisible();
    case 2:
      return allNodes ? node->GetNext() : node->GetNextVisible();
    case 3: {
      TdxTreeListNode* last = GetItem(GetCount() - 1);
      while (last && last->GetCount() > 0 && (allNodes || last->GetExpanded()))
        last = last->GetLastChild();
      return last;
    }
  }
  return nullptr;
}

void TCustomdxTreeList::FocusNodeByDirection(int direction, bool allNodes) {
  if (!FFocusedNode)
    return;
  TdxTreeListNode* node = GetNodeByDirection(FFocusedNode, direction, allNodes);
  if (!node)
    return;
  const bool followSelection =
      IsMultiSelect() && GetSelectedCount() == 1 && GetSelectedItem(0) == FFocusedNode;
  if (followSelection)
    GetSelection().SelectOnly(node);
  SetFocusedNode(node, GetFocusedColumn(), /*makeVisible=*/true);
}

bool TCustomdxTreeList::IsFirstNodeFocused() {
  return GetCount() == 0 || FFocusedNode == GetFirstNode();
}

bool TCustomdxTreeList::IsLastNodeFocused() {
  return GetCount() == 0 || FFocusedNode == GetNodeByDirection(GetFirstNode(), 3, false);
}

void TCustomdxTreeList::MoveFocusedRow(int delta) {
  if (GetCount() == 0)
    return;
  SetFocusedNodeByIndex(GetFocusedRowIndex() + delta);
}

void TCustomdxTreeList::MakeBandVisible(int band) {
  if (GetVisibleBandCount() < 2 || band < 0 || band >= GetVisibleBandCount() || band == GetLeftFixedBand() ||
      band == GetRightFixedBand())
    return;
  const int left = GetBandScrollLeft(band);
  const int right = left + GetBandDisplayWidth(band);
  const int visible = GetVisibleScrollWidth();
  if (left < FLeftCoord)
    SetLeftCoord(left);
  else if (right > FLeftCoord + visible)
    SetLeftCoord(std::min(right - visible, left));
}

void TCustomdxTreeList::MakeColumnVisible(int column) {
  if (column < 0 || column >= GetColumnCount())
    return;
  const int band = GetVisibleBandIndex(GetColumnBandIndex(column));
  if (band < 0 || band == GetLeftFixedBand() || band == GetRightFixedBand())
    return;
  // The column's extent inside its band, from the layout's header cells.
  TdxTreeListLayout layout;
  CalcLayout(layout);
  const TdxTreeListColumnEntry* entry = layout.FindColumn(column);
  const TdxTreeListBandEntry* bandEntry = layout.FindBand(band);
  if (!entry || !bandEntry)
    return;
  const int left = GetBandScrollLeft(band) + (entry->Rect.left - bandEntry->Rect.left);
  const int right = left + RectWidth(entry->Rect);
  const int visible = GetVisibleScrollWidth();
  if (left < FLeftCoord)
    SetLeftCoord(left);
  else if (right > FLeftCoord + visible)
    SetLeftCoord(std::min(right - visible, left));
}

// ---- The in-place editor's gate

void TCustomdxTreeList::ShowEditor() {
  if (!IsOptions2() || IsRowSelect() || !FFocusedNode)
    return;
  bool allow = true;
  if (IsNewItemRowActive())
    CanEditNewItemRow(allow);
  else
    DoEditing(FFocusedNode, allow);
  if (!allow || FState != stNone || GetShownColumnCount() == 0)
    return;
  const int column = GetFocusedColumn();
  if (column < 0 || column >= GetShownColumnCount())
    return;
  MakeColumnVisible(GetColumnByVisibleIndex(column));
  MakeNodeVisible(FFocusedNode);
  StopTimer(kEditTimer);
  if (ShowInplaceEditor(/*noFocus=*/false))
    SetState(stEditing);
}

void TCustomdxTreeList::ShowEditorWithKey(char key) {
  ShowEditor();
  TdxInplaceEdit* editor = GetEditor();
  if (FState != stEditing || !editor || !editor->HandleAllocated())
    return;
  const HWND wnd = editor->GetHandle();
  if (key == 22)
    PostMessageA(wnd, WM_PASTE, 0, 0);
  else if (key == 24)
    PostMessageA(wnd, WM_CUT, 0, 0);
  else
    PostMessageA(wnd, WM_CHAR, WPARAM(uint8_t(key)), 0);
}

void TCustomdxTreeList::ShowEditorWithMouse(int x, int y) {
  ShowEditor();
  if (TdxInplaceEdit* editor = GetEditor(); FState == stEditing && editor)
    editor->ForwardClick(x, y);
}

void TCustomdxTreeList::ShowEditorSelectAll() {
  ShowEditor();
  if (TdxInplaceEdit* editor = GetEditor(); FState == stEditing && editor)
    editor->ClickAction();
}

bool TCustomdxTreeList::IsPointOverCustomizingWindow(const TPoint& p) {
  if (!FCustomizingForm || !FCustomizingForm->HandleAllocated() || !IsWindowVisible(FCustomizingForm->GetHandle()))
    return false;
  return PointInRect(FCustomizingForm->GetClientRect(), FCustomizingForm->ScreenToClient(p));
}

// ---- Text export

std::string TCustomdxTreeList::GetHeaderLine() {
  std::string line;
  const int count = GetShownColumnCount();
  for (int i = 0; i < count; ++i) {
    std::string text;
    GetColumnHeaderText(GetColumnByVisibleIndex(i), text);
    if (i > 0)
      line += '\t';
    line += text;
  }
  return line;
}

std::string TCustomdxTreeList::GetNodeLine(TdxTreeListNode* node) {
  std::string line;
  const int count = GetShownColumnCount();
  if (NodeRowQuery(node)) {
    GetCellText(node, count > 0 ? GetColumnByVisibleIndex(0) : 0, line);
    return line;
  }
  for (int i = 0; i < count; ++i) {
    std::string text;
    GetCellText(node, GetColumnByVisibleIndex(i), text);
    if (i > 0)
      line += '\t';
    line += text;
  }
  return line;
}

void TCustomdxTreeList::CopyAllToStrings(TStrings* strings) {
  strings->Add(GetHeaderLine());
  for (TdxTreeListNode* node = GetFirstNode(); node; node = node->GetNextVisible())
    strings->Add(GetNodeLine(node));
}

void TCustomdxTreeList::CopySelectedToStrings(TStrings* strings) {
  strings->Add(GetHeaderLine());
  if (!IsMultiSelect()) {
    if (FFocusedNode)
      strings->Add(GetNodeLine(FFocusedNode));
    return;
  }
  // The selected nodes in tree order: their paths of indices compared from the top.
  std::vector<std::pair<std::vector<int>, TdxTreeListNode*>> selected;
  for (int i = 0; i < GetSelectedCount(); ++i) {
    TdxTreeListNode* node = GetSelectedItem(i);
    std::vector<int> path;
    for (TdxTreeListNode* n = node; n; n = n->GetParent())
      path.push_back(n->GetIndex());
    std::reverse(path.begin(), path.end());
    selected.emplace_back(std::move(path), node);
  }
  std::sort(selected.begin(), selected.end(),
            [](const auto& a, const auto& b) { return a.first < b.first; });
  for (const auto& entry : selected)
    strings->Add(GetNodeLine(entry.second));
}

void TCustomdxTreeList::CopyToClipboard() {
  TStringList lines;
  CopySelectedToStrings(&lines);
  Clipboard()->SetAsText(lines.GetText());
}

// ---- Incremental search

bool TCustomdxTreeList::StartSearch(int column, const std::string& text) {
  EndEditing();
  StopTimer(kEditTimer);
  if (column == -1)
    column = GetFocusedColumn();
  FSearchColumn = column;
  SetFocusedColumn(column);
  FSearching = true;
  FSearchText = text;
  IncrementalSearch(text, 0, true);
  return !FSearchText.empty();
}

void TCustomdxTreeList::IncrementalSearch(const std::string& text, int direction, bool clearOnMiss) {
  ++FSearchNesting;
  struct TNesting {
    int& Count;
    ~TNesting() { --Count; }
  } nesting{FSearchNesting};
  const int column = GetColumnByVisibleIndex(FSearchColumn);
  if (FSearchColumn < 0 || FSearchColumn >= std::max(GetShownColumnCount(), 1) || GetCount() == 0)
    return;
  FSearchText = text;
  TdxTreeListNode* found = nullptr;
  if (FindNode(column < 0 ? 0 : column, text, found, direction)) {
    SetFocusedNode(found, GetFocusedColumn(), /*makeVisible=*/false);
  } else if (clearOnMiss) {
    FSearchText.clear();
  } else if (direction == 0 && !FSearchText.empty()) {
    FSearchText.pop_back();
  }
  if (!FFocusedNode)
    return;
  if (IsMultiSelect() && !IsNodeSelected(FFocusedNode))
    GetSelection().SelectOnly(FFocusedNode);
  MakeNodeVisible(FFocusedNode);
  RefreshNode(FFocusedNode, false);
}

bool TCustomdxTreeList::FindNode(int column, const std::string& text, TdxTreeListNode*& node, int direction) {
  node = nullptr;
  if (GetCount() == 0)
    return false;
  const bool backward = direction == 1;
  auto step = [this, backward](TdxTreeListNode* n) {
    if (backward)
      return FSearchAllNodes ? n->GetPrev() : n->GetPriorVisible();
    return FSearchAllNodes ? n->GetNext() : n->GetNextVisible();
  };
  auto wrapStart = [this, backward]() {
    return backward ? GetNodeByDirection(GetFirstNode(), 3, FSearchAllNodes) : GetFirstNode();
  };
  const std::string wanted = LocaleUpper(text);
  auto matches = [&](TdxTreeListNode* n) {
    std::string value;
    GetCellText(n, column, value);
    return LocaleUpper(value.substr(0, wanted.size())) == wanted;
  };
  TdxTreeListNode* start = FFocusedNode;
  TdxTreeListNode* current = start;
  if (direction != 0 && current)
    current = step(current);
  if (!current)
    current = wrapStart();
  bool wrapped = direction != 0 && !(start && step(start));
  // At most every node once after the wrap: a walk that never meets the start node
  // (hidden, or none) still ends.
  while (current) {
    if (matches(current)) {
      node = current;
      return true;
    }
    current = step(current);
    if (!current) {
      if (wrapped)
        return false;
      wrapped = true;
      current = wrapStart();
    }
    if (wrapped && current == start)
      return false;
  }
  return false;
}

void TCustomdxTreeList::EndSearch() {
  if (!FSearching)
    return;
  FSearching = false;
  FSearchText.clear();
  RefreshNode(FFocusedNode, false);
}

// ---- Timers

TCustomdxTreeList::TTimerProcs TCustomdxTreeList::SetTimerProcs(const TTimerProcs& procs) {
  const TTimerProcs old = gTimerProcs;
  gTimerProcs = procs;
  return old;
}

bool TCustomdxTreeList::IsTimerRunning(UINT_PTR id) const {
  return (FRunningTimers & TimerBit(id)) != 0;
}

void TCustomdxTreeList::StartTimer(UINT_PTR id, UINT interval) {
  assert(TimerBit(id) != 0 && "a timer of the tree list must have its bit");
  if (!HandleAllocated() || IsDestroying())
    return;
  if (gTimerProcs.Set(GetHandle(), id, interval, nullptr))
    FRunningTimers |= TimerBit(id);
}

UINT_PTR TCustomdxTreeList::StartThreadTimer(UINT interval) {
  return gTimerProcs.Set(nullptr, 0, interval, nullptr);
}

void TCustomdxTreeList::StopThreadTimer(UINT_PTR id) {
  if (id)
    gTimerProcs.Kill(nullptr, id);
}

void TCustomdxTreeList::StopTimer(UINT_PTR id) {
  if (!IsTimerRunning(id))
    return;
  FRunningTimers &= ~TimerBit(id);
  if (HandleAllocated())
    gTimerProcs.Kill(GetHandle(), id);
}

void TCustomdxTreeList::StopAllTimers() {
  for (UINT_PTR id : kTimerIds)
    StopTimer(id);
  FHorzScrollDirection = 0;
  FVertScrollDirection = 0;
}

void TCustomdxTreeList::StartScroll(UINT_PTR id, int& current, int direction, UINT interval) {
  if (direction == 0) {
    StopScroll(id, current);
    return;
  }
  if (direction == current && IsTimerRunning(id))
    return;
  current = direction;
  StartTimer(id, interval);
}

void TCustomdxTreeList::StopScroll(UINT_PTR id, int& current) {
  StopTimer(id);
  current = 0;
}

void TCustomdxTreeList::StartHorzScroll(int direction) {
  StartScroll(kHorzScrollTimer, FHorzScrollDirection, direction, kDragScrollInterval);
}

void TCustomdxTreeList::StartVertScroll(int direction, UINT interval) {
  StartScroll(kVertScrollTimer, FVertScrollDirection, direction, interval);
}

void TCustomdxTreeList::StopHorzScroll() {
  StopScroll(kHorzScrollTimer, FHorzScrollDirection);
}

void TCustomdxTreeList::StopVertScroll() {
  StopScroll(kVertScrollTimer, FVertScrollDirection);
}

void TCustomdxTreeList::UpdateHorzDragScroll(const TPoint& p) {
  if (!IsOptionsEx12()) {
    StopHorzScroll();
    return;
  }
  const TRect area = GetScrolledAreaRect();
  int direction = 0;
  if (p.x >= area.left && p.x < area.left + kDragScrollZone)
    direction = -1;
  else if (p.x < area.right && p.x >= area.right - kDragScrollZone)
    direction = 1;
  StartHorzScroll(direction);
}

void TCustomdxTreeList::AutoScrollTick(bool horizontal) {
  TDragObject* drag = ActiveDragObject();
  const bool outsideDrag = drag && drag->GetDragTarget() == this;
  if (horizontal) {
    const bool runs = FState == stColumnDragging || FState == stNodeDragging || FState == stBandDragging || outsideDrag;
    const int limit = std::max(GetTotalScrollWidth() - GetVisibleScrollWidth(), 0);
    const int target = FLeftCoord + FHorzScrollDirection * kDragScrollStep;
    if (!runs || FHorzScrollDirection == 0 || (FHorzScrollDirection < 0 && FLeftCoord <= 0) ||
        (FHorzScrollDirection > 0 && FLeftCoord >= limit)) {
      StopHorzScroll();
      return;
    }
    SetLeftCoord(target);
    UpdateNow();
    return;
  }
  if (FState == stRowSelecting) {
    if (FVertScrollDirection == 0) {
      StopVertScroll();
      return;
    }
    MoveFocusedRow(FVertScrollDirection);
    if (IsMultiSelect() && FFocusedNode)
      GetSelection().SelectOnly(FFocusedNode);
    UpdateNow();
    return;
  }
  if ((FState != stNodeDragging && !outsideDrag) || FVertScrollDirection == 0) {
    StopVertScroll();
    return;
  }
  POINT cursor{};
  GetCursorPos(&cursor);
  if (WindowFromPoint(cursor) != GetHandle())
    return;
  MoveFocusedRow(FVertScrollDirection);
  UpdateNow();
}
