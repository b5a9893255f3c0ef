// TdxTreeListEditController: the edited cell of a tree list, and the editor the base tree
// list edits with. It is to own the edited node and column and the editor; with them ending,
// hiding and discarding an edit and the gates that show the editor.
// A part of TCustomdxTreeList, made with it and held by it; it keeps its control and reaches
// the control's state through the control's operations.
#pragma once

#include "classlib/Object.h"
#include "editors/DxInplaceTextEdit.h"

class TCustomdxTreeList;

// The editor the base tree list edits every cell with.
class TdxInplaceTreeListTextEdit : public TdxInplaceTextEdit {
  KIVO_CLASS(TdxInplaceTreeListTextEdit, TdxInplaceTextEdit)
 public:
  explicit TdxInplaceTreeListTextEdit(TComponent* AOwner) : TdxInplaceTextEdit(AOwner) {}
};

class TdxTreeListEditController : public TObject {
  KIVO_CLASS(TdxTreeListEditController, TObject)
 public:
  explicit TdxTreeListEditController(TCustomdxTreeList& control) : FControl(control) {}
  TdxTreeListEditController(const TdxTreeListEditController&) = delete;
  TdxTreeListEditController& operator=(const TdxTreeListEditController&) = delete;

 private:
  TCustomdxTreeList& FControl;
};
