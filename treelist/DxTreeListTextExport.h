// TdxTreeListTextExport: the text of a tree list's rows. The header line, one line per node,
// the copies of all or the selected rows to strings and the copy to the clipboard are to be
// made here.
// A view: it holds only its control, keeps no state and is made where it is used.
#pragma once

class TCustomdxTreeList;

class TdxTreeListTextExport {
 public:
  explicit TdxTreeListTextExport(TCustomdxTreeList& control) : FControl(control) {}

 private:
  TCustomdxTreeList& FControl;
};
