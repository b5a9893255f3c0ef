// The timers of the tree list (hints, click to edit, auto scroll, drag expand) and the
// timing of its hints.
//
// Decisions taken here:
// - The timers live on the control's own window and are known per control: another
//   tree list's timers never start, stop or step this one's. The horizontal and the
//   vertical scroll have ids of their own, and a tick steps while the drag or the row
//   selection that started it runs.
// - The click-to-edit timer shows the editor when it fires; a hint's text comes from
//   GetHintText when the delay has passed, and an element with no text shows none.
#include "treelist/DxTreeListTimers.h"

#include <algorithm>
#include <cassert>

#include "classlib/AliveGuard.h"
#include "classlib/DragDrop.h"
#include "editors/DxContainerHintWindow.h"
#include "treelist/DxTreeList.h"

namespace {

TdxTreeListTimers::TTimerProcs gTimerProcs;

// The bit of FRunningTimers that stands for `id`.
uint32_t TimerBit(UINT_PTR id) {
  switch (id) {
    case TdxTreeListTimers::kVertScrollTimer: return 1u << 0;
    case TdxTreeListTimers::kEditTimer: return 1u << 1;
    case TdxTreeListTimers::kHorzScrollTimer: return 1u << 2;
    case TdxTreeListTimers::kDragExpandTimer: return 1u << 3;
    case TdxTreeListTimers::kHintTimer: return 1u << 4;
    case TdxTreeListTimers::kHintHideTimer: return 1u << 5;
  }
  return 0;
}

constexpr UINT_PTR kTimerIds[] = {TdxTreeListTimers::kVertScrollTimer, TdxTreeListTimers::kEditTimer,
                                  TdxTreeListTimers::kHorzScrollTimer, TdxTreeListTimers::kDragExpandTimer,
                                  TdxTreeListTimers::kHintTimer,       TdxTreeListTimers::kHintHideTimer};

// How close to the edge of the scrolled area a drag starts the horizontal scroll.
constexpr int kDragScrollZone = 12;
constexpr int kDragScrollStep = 32;

constexpr int kHintOffset = 4;

bool IsSizingCode(TdxTreeListHitTest code) {
  return code == htColumnEdge || code == htBandEdge || code == htBandPanelEdge || code == htHeaderPanelEdge ||
         code == htRowEdge;
}

}  // namespace

// ---- Timers

TdxTreeListTimers::TTimerProcs TdxTreeListTimers::SetTimerProcs(const TTimerProcs& procs) {
  const TTimerProcs old = gTimerProcs;
  gTimerProcs = procs;
  return old;
}

bool TdxTreeListTimers::IsTimerRunning(UINT_PTR id) const {
  return (FRunningTimers & TimerBit(id)) != 0;
}

void TdxTreeListTimers::StartTimer(UINT_PTR id, UINT interval) {
  assert(TimerBit(id) != 0 && "a timer of the tree list must have its bit");
  if (!FControl.HandleAllocated() || FControl.IsDestroying())
    return;
  if (gTimerProcs.Set(FControl.GetHandle(), id, interval, nullptr))
    FRunningTimers |= TimerBit(id);
}

UINT_PTR TdxTreeListTimers::StartThreadTimer(UINT interval) {
  return gTimerProcs.Set(nullptr, 0, interval, nullptr);
}

void TdxTreeListTimers::StopThreadTimer(UINT_PTR id) {
  if (id)
    gTimerProcs.Kill(nullptr, id);
}

void TdxTreeListTimers::StopTimer(UINT_PTR id) {
  if (!IsTimerRunning(id))
    return;
  FRunningTimers &= ~TimerBit(id);
  if (FControl.HandleAllocated())
    gTimerProcs.Kill(FControl.GetHandle(), id);
}

void TdxTreeListTimers::StopAllTimers() {
  for (UINT_PTR id : kTimerIds)
    StopTimer(id);
  FHorzScrollDirection = 0;
  FVertScrollDirection = 0;
}

void TdxTreeListTimers::StartScroll(UINT_PTR id, int& current, int direction, UINT interval) {
  if (direction == 0) {
    StopScroll(id, current);
    return;
  }
  if (direction == current && IsTimerRunning(id))
    return;
  current = direction;
  StartTimer(id, interval);
}

void TdxTreeListTimers::StopScroll(UINT_PTR id, int& current) {
  StopTimer(id);
  current = 0;
}

void TdxTreeListTimers::StartHorzScroll(int direction) {
  StartScroll(kHorzScrollTimer, FHorzScrollDirection, direction, kDragScrollInterval);
}

void TdxTreeListTimers::StartVertScroll(int direction, UINT interval) {
  StartScroll(kVertScrollTimer, FVertScrollDirection, direction, interval);
}

void TdxTreeListTimers::StopHorzScroll() {
  StopScroll(kHorzScrollTimer, FHorzScrollDirection);
}

void TdxTreeListTimers::StopVertScroll() {
  StopScroll(kVertScrollTimer, FVertScrollDirection);
}

void TdxTreeListTimers::UpdateHorzDragScroll(const TPoint& p) {
  if (!FControl.IsOptionsEx12()) {
    StopHorzScroll();
    return;
  }
  const TRect area = FControl.GetWidths().GetScrolledAreaRect();
  int direction = 0;
  if (p.x >= area.left && p.x < area.left + kDragScrollZone)
    direction = -1;
  else if (p.x < area.right && p.x >= area.right - kDragScrollZone)
    direction = 1;
  StartHorzScroll(direction);
}

void TdxTreeListTimers::AutoScrollTick(bool horizontal) {
  TDragObject* drag = ActiveDragObject();
  const bool outsideDrag = drag && drag->GetDragTarget() == &FControl;
  if (horizontal) {
    const bool runs = FControl.GetState() == stColumnDragging || FControl.GetState() == stNodeDragging ||
                      FControl.GetState() == stBandDragging || outsideDrag;
    const int limit =
        std::max(FControl.GetWidths().GetTotalScrollWidth() - FControl.GetWidths().GetVisibleScrollWidth(), 0);
    const int target = FControl.GetLeftCoord() + FHorzScrollDirection * kDragScrollStep;
    if (!runs || FHorzScrollDirection == 0 || (FHorzScrollDirection < 0 && FControl.GetLeftCoord() <= 0) ||
        (FHorzScrollDirection > 0 && FControl.GetLeftCoord() >= limit)) {
      StopHorzScroll();
      return;
    }
    FControl.SetLeftCoord(target);
    FControl.GetNavigator().UpdateNow();
    return;
  }
  if (FControl.GetState() == stRowSelecting) {
    if (FVertScrollDirection == 0) {
      StopVertScroll();
      return;
    }
    FControl.GetNavigator().MoveFocusedRow(FVertScrollDirection);
    if (FControl.IsMultiSelect() && FControl.GetFocusedNode())
      FControl.GetSelection().SelectOnly(FControl.GetFocusedNode());
    FControl.GetNavigator().UpdateNow();
    return;
  }
  if ((FControl.GetState() != stNodeDragging && !outsideDrag) || FVertScrollDirection == 0) {
    StopVertScroll();
    return;
  }
  POINT cursor{};
  GetCursorPos(&cursor);
  if (WindowFromPoint(cursor) != FControl.GetHandle())
    return;
  FControl.GetNavigator().MoveFocusedRow(FVertScrollDirection);
  FControl.GetNavigator().UpdateNow();
}

void TdxTreeListTimers::TimerTick(UINT_PTR id) {
  switch (id) {
    case kHintTimer:
      StopTimer(kHintTimer);
      ShowHintLater(/*immediate=*/true);
      return;
    case kHintHideTimer:
      CancelHint();
      return;
    case kEditTimer:
      StopTimer(kEditTimer);
      if (FControl.GetState() == stNone && FControl.GetFocusedNode())
        FControl.GetEditController().ShowEditorSelectAll();
      return;
    case kHorzScrollTimer:
      AutoScrollTick(/*horizontal=*/true);
      return;
    case kVertScrollTimer:
      AutoScrollTick(/*horizontal=*/false);
      return;
    case kDragExpandTimer:
      FControl.GetDrag().DragExpandTick();
      return;
  }
}

// ---- Hints

void TCustomdxTreeList::GetHintText(const TdxTreeListHitInfo& hitInfo, std::string& text) {
  FTimers.GetHintText(hitInfo, text);
}

void TdxTreeListTimers::GetHintText(const TdxTreeListHitInfo& hitInfo, std::string& text) {
  text.clear();
  if (hitInfo.HitTest == htColumnHeader && hitInfo.Column >= 0)
    FControl.DoGetHeaderHint(hitInfo.Column, text);
}

void TdxTreeListTimers::ShowHintLater(bool immediate) {
  CancelHint();
  if (!immediate) {
    StartTimer(kHintTimer, kHintDelay);
    return;
  }
  if (!FControl.HandleAllocated())
    return;
  POINT cursor{};
  GetCursorPos(&cursor);
  const TPoint p = FControl.ScreenToClient(cursor);
  TdxTreeListHitInfo hit;
  FControl.GetHitInfo(p, hit);
  // The notifications' handlers may free the control or delete the node.
  bool nodeAlive = true;
  const bool alive = Survives(&FControl, [&] {
    if (hit.Node)
      nodeAlive = Survives(hit.Node, [&] { FControl.DoNodeNotify(hit.Node); });
    else
      FControl.DoNotify();
  });
  if (!alive || !nodeAlive)
    return;
  std::string text;
  FControl.GetHintText(hit, text);
  if (text.empty())
    return;
  // The hint lies over the element: at its left + 4, at the top of its row or header.
  TdxTreeListLayout layout;
  FControl.CalcLayout(layout);
  TPoint anchor{p.x, p.y};
  if (const TdxTreeListColumnEntry* column = hit.Column >= 0 ? layout.FindColumn(hit.Column) : nullptr) {
    anchor.x = column->ClippedRect.left + kHintOffset;
    anchor.y = hit.HitTest == htColumnHeader ? column->Rect.top : anchor.y;
  }
  if (const TdxTreeListRowEntry* row = hit.Node ? layout.FindRow(hit.Node) : nullptr)
    anchor.y = row->Top;
  if (!FHintWindow)
    FHintWindow = new TdxContainerHintWindow(nullptr);
  FHintWindow->ShowCellHint(FControl.ClientToScreen(anchor), text, FControl.GetFont());
  StartTimer(kHintHideTimer, kHintHideDelay);
}

void TdxTreeListTimers::CancelHint() {
  StopTimer(kHintTimer);
  StopTimer(kHintHideTimer);
  FreeAndNil(FHintWindow);
}

void TdxTreeListTimers::FreeHintWindow() {
  FreeAndNil(FHintWindow);
}

void TdxTreeListTimers::UpdateHint(const TdxTreeListHitInfo& hit) {
  if (FControl.GetState() != stNone) {
    CancelHint();
    return;
  }
  TdxTreeListHotInfo element;
  if (hit.HitTest == htColumnHeader || (hit.Node && hit.Column >= 0)) {
    element.Node = hit.HitTest == htColumnHeader ? nullptr : hit.Node;
    element.Column = hit.Column;
  }
  const TdxTreeListHitTest code = hit.HitTest == htColumnHeader ? htColumnHeader : element.Node ? htCell : htNowhere;
  if (element.Node == FHintElement.Node && element.Column == FHintElement.Column && code == FHintHitTest)
    return;
  FHintElement = element;
  FHintHitTest = code;
  if (code == htNowhere || IsSizingCode(hit.HitTest)) {
    CancelHint();
    return;
  }
  ShowHintLater(/*immediate=*/false);
}
