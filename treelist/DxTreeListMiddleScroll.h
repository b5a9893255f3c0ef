// TdxTreeListMiddleScroll: the middle-button scrolling of a tree list. Its message loop keeps
// its state on the stack; the part is to hold a pointer to it, so that the control can end the
// loop when it goes. Held by TdxTreeListMouse.
// A part of TCustomdxTreeList, made with it and held by it; it keeps its control and reaches
// the control's state through the control's operations.
#pragma once

#include "classlib/Object.h"

class TCustomdxTreeList;

class TdxTreeListMiddleScroll : public TObject {
  KIVO_CLASS(TdxTreeListMiddleScroll, TObject)
 public:
  explicit TdxTreeListMiddleScroll(TCustomdxTreeList& control) : FControl(control) {}
  TdxTreeListMiddleScroll(const TdxTreeListMiddleScroll&) = delete;
  TdxTreeListMiddleScroll& operator=(const TdxTreeListMiddleScroll&) = delete;

 private:
  TCustomdxTreeList& FControl;
};
