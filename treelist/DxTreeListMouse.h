// TdxTreeListMouse: the mouse on a tree list. It is to own the pressed bands, columns, buttons
// and indicators, the footer button's hot state, the press position and hit, the mouse
// position, the non-client hit point, the deferred selection, the new-item row press, the
// previous focused node, the hot element, expand-on-double-click and the header click's sort
// modifiers; with them presses, clicks, selection by the mouse and hot tracking. It owns the
// sizing and the middle-button scrolling.
// A part of TCustomdxTreeList, made with it and held by it; it keeps its control and reaches
// the control's state through the control's operations.
#pragma once

#include "classlib/Object.h"
#include "treelist/DxTreeListMiddleScroll.h"
#include "treelist/DxTreeListSizing.h"

class TCustomdxTreeList;

class TdxTreeListMouse : public TObject {
  KIVO_CLASS(TdxTreeListMouse, TObject)
 public:
  explicit TdxTreeListMouse(TCustomdxTreeList& control)
      : FControl(control), FSizing(control), FMiddleScroll(control) {}
  TdxTreeListMouse(const TdxTreeListMouse&) = delete;
  TdxTreeListMouse& operator=(const TdxTreeListMouse&) = delete;

  TdxTreeListSizing& GetSizing() { return FSizing; }
  TdxTreeListMiddleScroll& GetMiddleScroll() { return FMiddleScroll; }

 private:
  TCustomdxTreeList& FControl;
  TdxTreeListSizing FSizing;
  TdxTreeListMiddleScroll FMiddleScroll;
};
