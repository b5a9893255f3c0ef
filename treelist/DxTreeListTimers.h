// TdxTreeListTimers: the window timers and the hints of a tree list. It owns the bits of the
// running timers, the two auto-scroll directions, the hint window and the element and hit
// code of its hint; with them starting and stopping timers, the drag scrolls, the timer ticks
// and the hint's timing. The timer ids and intervals and the replaceable timer routines are
// its own, shared by every tree list. A timer that cannot start is not marked running; the
// hint window is freed when the hint ends and, at the latest, by the control's destructor.
// A part of TCustomdxTreeList, made with it and held by it; it keeps its control and reaches
// the control's state through the control's operations.
#pragma once

#include <cstdint>
#include <string>

#include "classlib/Object.h"
#include "classlib/Win.h"
#include "treelist/DxTreeListTypes.h"

class TCustomdxTreeList;
class TdxContainerHintWindow;

class TdxTreeListTimers : public TObject {
  KIVO_CLASS(TdxTreeListTimers, TObject)
 public:
  explicit TdxTreeListTimers(TCustomdxTreeList& control) : FControl(control) {}
  TdxTreeListTimers(const TdxTreeListTimers&) = delete;
  TdxTreeListTimers& operator=(const TdxTreeListTimers&) = delete;

  // ==== Timers
  // The control's window timers. The drag scrolls of the two directions and the
  // selection scroll step the view; they run only while their interaction does.
  static constexpr UINT_PTR kVertScrollTimer = 1;   // row selection (60 ms), node drag (100 ms)
  static constexpr UINT_PTR kEditTimer = 2;         // click to edit (the double-click time)
  static constexpr UINT_PTR kHorzScrollTimer = 3;   // header and node drags (100 ms)
  static constexpr UINT_PTR kDragExpandTimer = 101; // expand the node a drag hovers over
  static constexpr UINT_PTR kHintTimer = 110;       // the delay before a hint shows
  static constexpr UINT_PTR kHintHideTimer = 111;   // a shown hint hides
  static constexpr UINT kHintDelay = 1000;
  static constexpr UINT kHintHideDelay = 5000;
  static constexpr UINT kSelectionScrollInterval = 60;
  static constexpr UINT kDragScrollInterval = 100;
  // The routines behind every timer of the tree lists (SetTimer and KillTimer unless a
  // test replaces them); answers the routines in force before.
  struct TTimerProcs {
    UINT_PTR(WINAPI* Set)(HWND, UINT_PTR, UINT, TIMERPROC) = ::SetTimer;
    BOOL(WINAPI* Kill)(HWND, UINT_PTR) = ::KillTimer;
  };
  static TTimerProcs SetTimerProcs(const TTimerProcs& procs);
  // The thread timer of the middle-button scrolling's loop through the replaceable
  // routines.
  static UINT_PTR StartThreadTimer(UINT interval);
  static void StopThreadTimer(UINT_PTR id);
  // Whether the timer `id` runs on this control's window.
  bool IsTimerRunning(UINT_PTR id) const;
  // Timers of the control's window through the replaceable routines.
  void StartTimer(UINT_PTR id, UINT interval);
  void StopTimer(UINT_PTR id);
  void StopAllTimers();
  // A WM_TIMER of the control's window.
  void TimerTick(UINT_PTR id);
  // Starts (restarts when the direction changes) and stops the drag scrolls: the
  // horizontal one during header and node drags, the vertical one during node drags
  // and, with the selection interval, while rows are selected with the mouse.
  void StartHorzScroll(int direction);
  void StartVertScroll(int direction, UINT interval);
  void StopHorzScroll();
  void StopVertScroll();
  // Starts the horizontal drag scroll when `p` (client coordinates) lies less than 12
  // pixels inside the left or right edge of the scrolled area, else stops it.
  void UpdateHorzDragScroll(const TPoint& p);

  // ==== Hints
  // Restarts the delay of a hint (after which the hint shows at the cursor), or shows
  // it now; CancelHint stops both hint timers and frees the hint window.
  void ShowHintLater(bool immediate);
  void CancelHint();
  TdxContainerHintWindow* GetHintWindow() const { return FHintWindow; }
  // The mouse moved over `hit`: a new element restarts the hint's delay, a sizing edge
  // or no element cancels it.
  void UpdateHint(const TdxTreeListHitInfo& hit);
  // Forgets the element of the last hint (the mouse left the control).
  void ForgetHint() {
    FHintElement = TdxTreeListHotInfo{};
    FHintHitTest = htNowhere;
  }
  // Frees the hint window (the control is going).
  void FreeHintWindow();
  // The base answer of the control's GetHintText: a column header's hint.
  void GetHintText(const TdxTreeListHitInfo& hitInfo, std::string& text);

 private:
  // Starts the scroll timer `id` towards `direction` (0 stops it), kept in `current`.
  void StartScroll(UINT_PTR id, int& current, int direction, UINT interval);
  void StopScroll(UINT_PTR id, int& current);
  void AutoScrollTick(bool horizontal);

  TCustomdxTreeList& FControl;
  // A bit per timer id that runs, and the auto scroll's directions: -1 up or left, +1
  // down or right, 0 stopped.
  uint32_t FRunningTimers = 0;
  int FHorzScrollDirection = 0;
  int FVertScrollDirection = 0;
  TdxContainerHintWindow* FHintWindow = nullptr;
  // The element the pending or shown hint belongs to (node, column, hit code).
  TdxTreeListHotInfo FHintElement;
  TdxTreeListHitTest FHintHitTest = htNowhere;
};
