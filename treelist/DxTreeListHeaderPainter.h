// TdxTreeListHeaderPainter: the painting of a tree list's band row and header panel. The band
// and column header buttons are to be painted here; the painter makes it per pass.
// A view: it holds only its control, keeps no state and is made where it is used.
#pragma once

class TCustomdxTreeList;

class TdxTreeListHeaderPainter {
 public:
  explicit TdxTreeListHeaderPainter(TCustomdxTreeList& control) : FControl(control) {}

 private:
  TCustomdxTreeList& FControl;
};
