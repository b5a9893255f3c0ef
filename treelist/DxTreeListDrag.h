// TdxTreeListDrag: the header and node drags of a tree list. It is to own the drag images and
// their position, the drag point, the drop place, the drop arrows, the header drag cursor, the
// dragged band and column, the drag, drag-over and drag-expand nodes, the drag-expand delay
// and the customizing form; with them the drag pictures, drop places, drag-expand hovering and
// the drag feedback.
// A part of TCustomdxTreeList, made with it and held by it; it keeps its control and reaches
// the control's state through the control's operations.
#pragma once

#include "classlib/Object.h"

class TCustomdxTreeList;

class TdxTreeListDrag : public TObject {
  KIVO_CLASS(TdxTreeListDrag, TObject)
 public:
  explicit TdxTreeListDrag(TCustomdxTreeList& control) : FControl(control) {}
  TdxTreeListDrag(const TdxTreeListDrag&) = delete;
  TdxTreeListDrag& operator=(const TdxTreeListDrag&) = delete;

 private:
  TCustomdxTreeList& FControl;
};
