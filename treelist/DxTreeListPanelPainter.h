// TdxTreeListPanelPainter: the painting of a tree list's panels. The new-item row strip, the
// indicator column, the footer and the status panel are painted here, on the pass of the
// control's painter, which makes it per pass.
// A view: it holds only its control, keeps no state and is made where it is used.
#pragma once

class TCustomdxTreeList;

class TdxTreeListPanelPainter {
 public:
  explicit TdxTreeListPanelPainter(TCustomdxTreeList& control) : FControl(control) {}

  void PaintNewItemRow();
  void PaintIndicator();
  void PaintFooter();
  void PaintStatusPanel();

 private:
  TCustomdxTreeList& FControl;
};
