// TdxTreeListTimers: the window timers and the hints of a tree list. It is to own the bits of
// the running timers, the two auto-scroll directions, the hint window and the element and hit
// code of its hint, the timer ids and intervals and the replaceable timer routines; with them
// starting and stopping timers, the drag scrolls, the timer ticks and the hint's timing.
// A part of TCustomdxTreeList, made with it and held by it; it keeps its control and reaches
// the control's state through the control's operations.
#pragma once

#include "classlib/Object.h"

class TCustomdxTreeList;

class TdxTreeListTimers : public TObject {
  KIVO_CLASS(TdxTreeListTimers, TObject)
 public:
  explicit TdxTreeListTimers(TCustomdxTreeList& control) : FControl(control) {}
  TdxTreeListTimers(const TdxTreeListTimers&) = delete;
  TdxTreeListTimers& operator=(const TdxTreeListTimers&) = delete;

 private:
  TCustomdxTreeList& FControl;
};
