// TdxTreeListPanelPainter: the painting of a tree list's panels. The new-item row strip, the
// indicator column, the footer and the status panel are to be painted here; the painter makes
// it per pass.
// A view: it holds only its control, keeps no state and is made where it is used.
#pragma once

class TCustomdxTreeList;

class TdxTreeListPanelPainter {
 public:
  explicit TdxTreeListPanelPainter(TCustomdxTreeList& control) : FControl(control) {}

 private:
  TCustomdxTreeList& FControl;
};
