// TdxTreeListNavigator: the focus and the scroll position of a tree list. It is to own the top
// node, the focused node and column (and the focused absolute column), the new-item row's
// focus, LeftCoord, the visible and shown row counts, the last scroll information of both bars
// and the horizontal line step; with them the focus moves, making nodes, bands and columns
// visible, scrolling and the scroll bars.
// A part of TCustomdxTreeList, made with it and held by it; it keeps its control and reaches
// the control's state through the control's operations.
#pragma once

#include "classlib/Object.h"

class TCustomdxTreeList;

class TdxTreeListNavigator : public TObject {
  KIVO_CLASS(TdxTreeListNavigator, TObject)
 public:
  explicit TdxTreeListNavigator(TCustomdxTreeList& control) : FControl(control) {}
  TdxTreeListNavigator(const TdxTreeListNavigator&) = delete;
  TdxTreeListNavigator& operator=(const TdxTreeListNavigator&) = delete;

 private:
  TCustomdxTreeList& FControl;
};
