// The wrapper column: a column whose cells take the kind of another column chosen for
// each node.
#pragma once

#include "treelist/DxTreeListColumns.h"

// ==== Wrapper column

// Lends each node's cell to a column that OnGetReferenceColumn chooses: that column's
// editor, conversions and painting work on the wrapper's texts. Without a handler, or
// when the handler answers the wrapper itself or a column that leads back to it, the
// wrapper is a plain text column.
class TdxTreeListWrapperColumn : public TdxTreeListColumn {
  KIVO_CLASS(TdxTreeListWrapperColumn, TdxTreeListColumn)
 public:
  using TdxTreeListColumn::TdxTreeListColumn;
  void AssignEditValue(TdxTreeListNode* node, TdxInplaceEdit* editor, Variant& value) override;
  const TdxInplaceEditClass* GetEditorClass() override;
  void GetCellCursor(TdxTreeListNode* node, TCursor& cursor) override;
  TdxEditViewData* GetViewData() override;
  void InitEditProperties(TdxInplaceEdit* editor) override;
  void LoadEditValue(TdxTreeListNode* node, TdxInplaceEdit* editor, Variant& value) override;
  bool ButtonQuery(bool defaultValue) override;
  void PrepareViewData(TdxEditViewData* viewData, TdxTreeListCellViewData* cellInfo) override;
  void Assign(TPersistent* source) override;

  // A cell is painted by the reference column of its own node.
  const TdxInplaceEditClass* GetCellEditorClass(TdxTreeListNode* node) override;
  TdxEditViewData* GetCellViewData(TdxTreeListNode* node) override;

  // The column of `node` (the focused node when none); null without a node or handler,
  // and for an answer that is the wrapper or leads back to it.
  virtual TdxTreeListColumn* GetReferenceColumn(TdxTreeListNode* node);

  TdxTLGetReferenceColumnEvent OnGetReferenceColumn;

 private:
  // The reference column's answer asked through `call` with its index set to the
  // wrapper's, and set back however the call ends.
  template <class F>
  void WithIndexOf(TdxTreeListColumn* reference, F call);
};
