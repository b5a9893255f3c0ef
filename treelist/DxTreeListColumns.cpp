// The helpers the column kinds share: reading a node's value, storing a converted text,
// and whether a cell shows its edit button.
//
// Decisions taken here:
// - An editor that was not modified stores nothing (IsEditValueChanged), so visiting a
//   cell never rewrites its text through a kind's conversion (a check text that is
//   neither value, an amount that does not parse, a spin text that is no number).
// - The cell edit buttons follow the tree list's editing option: a grid whose cells
//   cannot be edited shows no buttons that would do nothing. The expand-button setting
//   of the tree has nothing to do with them.
#include "treelist/DxTreeListColumns.h"

#include "treelist/DxTreeListControl.h"

bool ShowCellButton(TdxTreeListColumn* column, TdxShowButtonStyle style, TdxTreeListNode* node) {
  if (style == TdxShowButtonStyle::sbNone)
    return false;
  TCustomdxTreeListControl* tree = column->GetTreeList();
  if (!tree || !tree->IsOptions2())
    return false;
  if (style == TdxShowButtonStyle::sbAlways)
    return true;
  return node && node == tree->GetFocusedNode();
}

bool CellButtonQuery(TdxTreeListColumn* column, TdxShowButtonStyle style, bool defaultValue) {
  if (column->GetDisableEditor() || style == TdxShowButtonStyle::sbNone)
    return false;
  return style == TdxShowButtonStyle::sbAlways || defaultValue;
}

void AssignChangedEditValue(TdxTreeListColumn* column, TdxTreeListNode* node, TdxInplaceEdit* editor,
                            Variant& value) {
  if (IsEditValueChanged(editor))
    column->TdxTreeListColumn::AssignEditValue(node, editor, value);
  else
    ReadNodeValue(column, node, value);
}

