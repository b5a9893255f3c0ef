// TdxTreeListLayoutBuilder: the metrics and the layout records of a tree list. It is to own
// the metrics and the new-item row and node-footer defaults; with them the metrics pass, the
// layout record (areas, bands, header cells, rows), cell and editor rectangles and the
// visible-column order.
// A part of TCustomdxTreeList, made with it and held by it; it keeps its control and reaches
// the control's state through the control's operations.
#pragma once

#include "classlib/Object.h"

class TCustomdxTreeList;

class TdxTreeListLayoutBuilder : public TObject {
  KIVO_CLASS(TdxTreeListLayoutBuilder, TObject)
 public:
  explicit TdxTreeListLayoutBuilder(TCustomdxTreeList& control) : FControl(control) {}
  TdxTreeListLayoutBuilder(const TdxTreeListLayoutBuilder&) = delete;
  TdxTreeListLayoutBuilder& operator=(const TdxTreeListLayoutBuilder&) = delete;

 private:
  TCustomdxTreeList& FControl;
};
