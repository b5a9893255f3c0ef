// TdxTreeListPainter: the paint pass of a tree list. It is to own the current paint pass, the
// feedback count, the cell view data and the spare font; with them the order of the areas a
// paint runs, the brushes and colours, clipping and the interaction feedback.
// A part of TCustomdxTreeList, made with it and held by it; it keeps its control and reaches
// the control's state through the control's operations.
#pragma once

#include "classlib/Object.h"

class TCustomdxTreeList;

class TdxTreeListPainter : public TObject {
  KIVO_CLASS(TdxTreeListPainter, TObject)
 public:
  explicit TdxTreeListPainter(TCustomdxTreeList& control) : FControl(control) {}
  TdxTreeListPainter(const TdxTreeListPainter&) = delete;
  TdxTreeListPainter& operator=(const TdxTreeListPainter&) = delete;

 private:
  TCustomdxTreeList& FControl;
};
