// TdxTreeListWidths: the widths and heights of a tree list's bands, columns and rows. Band and
// column widths, the scroll extents, node indents, the preview width, row heights, node
// footers, row sizing limits and the shown column count are to be computed here from the
// control's state.
// A view: it holds only its control, keeps no state and is made where it is used.
#pragma once

class TCustomdxTreeList;

class TdxTreeListWidths {
 public:
  explicit TdxTreeListWidths(TCustomdxTreeList& control) : FControl(control) {}

 private:
  TCustomdxTreeList& FControl;
};
