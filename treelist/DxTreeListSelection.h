// TdxTreeListSelection: the selection anchor and the selection bracket of a tree list. It is
// to own the anchor node and its flag, the bracket's lock count and the selected count at its
// outermost begin, and whether a Shift range has started.
// A part of TCustomdxTreeList, made with it and held by it; it keeps its control and reaches
// the control's state through the control's operations.
#pragma once

#include "classlib/Object.h"

class TCustomdxTreeList;

class TdxTreeListSelection : public TObject {
  KIVO_CLASS(TdxTreeListSelection, TObject)
 public:
  explicit TdxTreeListSelection(TCustomdxTreeList& control) : FControl(control) {}
  TdxTreeListSelection(const TdxTreeListSelection&) = delete;
  TdxTreeListSelection& operator=(const TdxTreeListSelection&) = delete;

 private:
  TCustomdxTreeList& FControl;
};
