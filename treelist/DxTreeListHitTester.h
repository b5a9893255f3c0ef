// TdxTreeListHitTester: what lies under a point of a tree list. The node at a point and the
// hit tests of the band row, the header panel, the indicator column and the rows are to be
// answered here.
// A view: it holds only its control, keeps no state and is made where it is used.
#pragma once

class TCustomdxTreeList;

class TdxTreeListHitTester {
 public:
  explicit TdxTreeListHitTester(TCustomdxTreeList& control) : FControl(control) {}

 private:
  TCustomdxTreeList& FControl;
};
