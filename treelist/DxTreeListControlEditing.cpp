// In-place editing: the tree list's answers to its editors (the container queries),
// and the column-bound control's editor for the focused cell (made, dressed for the
// cell's column, loaded, shown, and its value stored through the column).
//
// Decisions taken here:
// - An edit is stored only when the editor was modified: showing the editor on a cell
//   and leaving it (or Escape, which restores the text and the modified flag) writes
//   nothing back, so a column's conversions never rewrite a value that was only
//   visited.
// - The editor of the cell being edited is the edited column's, also while the focus
//   already names another column, so that ending an edit always stores and hides the
//   editor that shows.
// - The focused column is a position among the shown columns; the editor works with
//   the column at that position, not with the column of that list index.
#include "classlib/AliveGuard.h"
#include "classlib/Win.h"
#include "treelist/DxTreeList.h"
#include "treelist/DxTreeListControl.h"

#include <optional>

namespace {

// The column index at the focused position among the shown columns (-1 when the
// position names none); nothing while no column is shown.
std::optional<int> FocusedShownColumn(TCustomdxTreeList& tree) {
  if (tree.GetWidths().GetShownColumnCount() <= 0)
    return std::nullopt;
  return tree.GetColumnByVisibleIndex(tree.GetFocusedColumn());
}

}  // namespace

// ---- The container's answers

bool TCustomdxTreeList::CanEditColumn(int32_t column) {
  bool allow = FOptions.Contains(aoColumnEditing);
  if (column >= 0)
    OnCanEditColumn(this, column, allow);
  return allow;
}

TColor TCustomdxTreeList::GetEditColor() {
  TColor color = inherited::GetEditColor();
  if (const std::optional<int> column = FocusedShownColumn(*this))
    color = GetColumnColor(*column);
  OnGetEditColor(this, color);
  return color;
}

TFont* TCustomdxTreeList::GetEditFont() {
  const int column = FocusedShownColumn(*this).value_or(-1);
  return column >= 0 && IsColumnOwnFont(column) ? GetColumnFont(column) : inherited::GetEditFont();
}

void TCustomdxTreeList::SaveEditorValue(TdxInplaceEdit* editor) { editor->SaveValue(); }

// ---- The column-bound control's editor

TdxTreeListColumn* TCustomdxTreeListControl::FocusedColumnObject() {
  const std::optional<int> column = FocusedShownColumn(*this);
  return column ? FindColumn(*column) : nullptr;
}

int TCustomdxTreeListControl::EditingColumnIndex() {
  if (GetEditController().GetEditedColumn() >= 0)
    return GetEditController().GetEditedColumn();
  TdxTreeListColumn* column = FocusedColumnObject();
  return column ? IndexOfColumn(column) : -1;
}

bool TCustomdxTreeListControl::PrepareEditor(TdxInplaceEdit* editor, TdxTreeListNode* node, int index) {
  GetEditController().SetEditedCell(node, index);
  // The editor's dressing asks the owner (its colour), whose handler may free the control.
  if (!Survives(this, [&] { InitEditor(editor); }))
    return false;
  Variant value;
  // The column's handlers may free it, and the editor it dressed with it.
  if (!Survives(editor, [&] { ColumnAt(index)->LoadEditValue(node, editor, value); }))
    return false;
  // The loaded value is the one Escape goes back to, and not a change.
  editor->AcceptValue();
  return true;
}

bool TCustomdxTreeListControl::ShowInplaceEditor(bool noFocus) {
  TdxTreeListNode* node = GetFocusedNode();
  TdxTreeListColumn* column = FocusedColumnObject();
  if (!node || !column)
    return false;
  const int index = IndexOfColumn(column);
  // The question's handler may free the control.
  bool can = false;
  if (!Survives(this, [&] { can = CanEditColumn(index); }) || !can)
    return false;
  TdxInplaceEdit* editor = FindEditor(column->GetEditorClass());
  if (!editor || node != GetEditController().GetEditedNode() || index != GetEditController().GetEditedColumn()) {
    GetEditController().HideEditor(false);
    if (!editor)
      editor = CreateInplaceEdit(index);
    if (!PrepareEditor(editor, node, index))
      return false;
  }
  const TRect rect = GetEditorRect(node, GetFocusedColumn());
  if (rect.right <= rect.left || rect.bottom <= rect.top) {
    GetEditController().SetEditedCell(nullptr, -1);
    return false;
  }
  if (editor->GetParent() != this)
    editor->SetParent(this);
  if (noFocus) {
    editor->SetBounds(rect.left - 2, rect.top - 2, RectWidth(rect) + 4, RectHeight(rect) + 4);
    return true;
  }
  editor->ShowEdit(rect);
  return true;
}

void TCustomdxTreeListControl::SaveEditorValue(TdxInplaceEdit* editor) {
  // The validation's handlers may free the editor, or the control and its editor.
  if (!Survives(editor, [&] { inherited::SaveEditorValue(editor); }))
    return;
  TdxTreeListNode* node = GetEditController().GetEditedNode();
  TdxTreeListColumn* column = FindColumn(GetEditController().GetEditedColumn());
  if (!node || !column)
    return;
  Variant value;
  // The store changes the node's texts (and the MRU column's list), whose handlers may
  // free the node, the column, or the control and the editor with them.
  if (!BothSurvive(editor, node, [&] { column->AssignEditValue(node, editor, value); }))
    return;
  editor->SetModified(false);
  RefreshNode(node, false);
}
