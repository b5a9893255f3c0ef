// TdxTreeListMiddleScroll: the middle-button scrolling of a tree list. Its message loop keeps
// its state on the stack; the part holds a pointer to it while the loop runs, so that the
// control can end the loop when its window or the control itself goes (the loop then touches
// nothing of a control that was freed).
// A part of TdxTreeListMouse, made with it and held by it; it keeps its control and reaches
// the control's state through the control's operations.
#pragma once

#include "classlib/Object.h"
#include "classlib/Win.h"

class TCustomdxTreeList;

class TdxTreeListMiddleScroll : public TObject {
  KIVO_CLASS(TdxTreeListMiddleScroll, TObject)
 public:
  explicit TdxTreeListMiddleScroll(TCustomdxTreeList& control) : FControl(control) {}
  TdxTreeListMiddleScroll(const TdxTreeListMiddleScroll&) = delete;
  TdxTreeListMiddleScroll& operator=(const TdxTreeListMiddleScroll&) = delete;

  // True while the middle-button scrolling runs; its marker window, and the direction
  // (0 none, 1 left, 2 up, 3 right, 4 down) and speed (1 to 12) of the pointer now.
  bool IsMiddleScrolling() const { return FMiddleScroll != nullptr; }
  HWND GetMiddleScrollMarker() const;
  int GetMiddleScrollDirection() const;
  int GetMiddleScrollSpeed() const;
  // The middle-button scrolling's own message loop from the press at (x, y); false when
  // the control was destroyed while it ran (nothing of it may be touched then).
  bool MiddleButtonScroll(int x, int y);
  // Ends a running middle-button scrolling at its next step: the window is going (and
  // with `controlGone` the control itself).
  void AbandonMiddleScroll(bool controlGone);

 private:
  // The running loop's state (on the loop's stack).
  struct TRun;

  TCustomdxTreeList& FControl;
  TRun* FMiddleScroll = nullptr;
};
