// TdxTreeListCellPainter: the painting of a tree list's cells. Data, text and footer cells,
// previews, cell view data and the incremental search's pass are to be painted here, with the
// painter's cell view data.
// A view: it holds only its control, keeps no state and is made where it is used.
#pragma once

class TCustomdxTreeList;

class TdxTreeListCellPainter {
 public:
  explicit TdxTreeListCellPainter(TCustomdxTreeList& control) : FControl(control) {}

 private:
  TCustomdxTreeList& FControl;
};
