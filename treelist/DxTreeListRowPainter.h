// TdxTreeListRowPainter: the painting of a tree list's rows. The rows of a paint pass (tree
// areas and lines, cells, node footers, grid lines and the focus frame) are to be painted
// here; the painter makes it per pass.
// A view: it holds only its control, keeps no state and is made where it is used.
#pragma once

class TCustomdxTreeList;

class TdxTreeListRowPainter {
 public:
  explicit TdxTreeListRowPainter(TCustomdxTreeList& control) : FControl(control) {}

 private:
  TCustomdxTreeList& FControl;
};
