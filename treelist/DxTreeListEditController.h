// TdxTreeListEditController: the edited cell of a tree list, and the editor the base tree
// list edits with. It owns the edited node and column and the editor reference; with them
// ending, hiding and discarding an edit, the gates that show the editor and the tree list's
// answers to its editor. An editor that refuses its value (its validation raises) leaves the
// edit in progress; a node or column that goes while edited takes its edit with it unsaved.
// A part of TCustomdxTreeList, made with it and held by it; it keeps its control and reaches
// the control's state through the control's operations.
#pragma once

#include <string>

#include "classlib/Object.h"
#include "editors/DxInplaceTextEdit.h"

class TComponent;
class TCustomdxTreeList;
class TdxTreeListNode;

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

  // ==== The edited cell
  TdxTreeListNode* GetEditedNode() const { return FEditedNode; }
  int GetEditedColumn() const { return FEditedColumn; }
  // The cell the editor is shown for.
  void SetEditedCell(TdxTreeListNode* node, int column) {
    FEditedNode = node;
    FEditedColumn = column;
  }
  // Forgets the edited cell without touching the editor (an update begins, every node
  // is gone).
  void ForgetEditedCell() {
    FEditedColumn = -1;
    FEditedNode = nullptr;
  }
  // `node` goes: an edit of it is discarded.
  void NodeGone(TdxTreeListNode* node) {
    if (FEditedNode == node)
      DiscardEdit();
  }
  // Ends an edit in progress (unless destroying), then forgets the edited cell.
  void ResetEditedCell();
  // While editing: unless destroying the editor validates and saves its value; the state
  // returns to none, the editor is hidden and the control takes the focus back.
  // EndEditingQuiet takes the focus back only when the editor had it.
  void EndEditing();
  void EndEditingQuiet();
  // Hides an existing editor and forgets the edited cell; with `focus` (or when the
  // editor had the focus) the control takes the focus back.
  void HideEditor(bool focus);
  // Discards an edit of a node that is going: the editor is hidden without saving.
  void DiscardEdit();
  // The column of list index `column` goes (its editors go with it): an edit of its cell
  // ends unsaved; an edit of a later column keeps its column, whose index moves down.
  void ColumnGone(int column);

  // ==== The gates of the in-place editor
  // The in-place editor of the focused cell, when editing is allowed (the control's
  // ShowInplaceEditor makes it); with a key (posted to the editor), with the press
  // forwarded to it, or with its text selected.
  void ShowEditor();
  void ShowEditorWithKey(char key);
  void ShowEditorWithMouse(int x, int y);
  void ShowEditorSelectAll();

  // ==== The editor the base tree list answers (its GetEditor), and the base answers of
  // the control's editing operations
  TdxInplaceEdit* GetOwnEditor() const { return FEditor; }
  // A component went away: the editor, when it was the editor.
  void Removed(TComponent* component);
  // Frees the editor (the control is going).
  void FreeEditor();
  bool EditOnKey();
  void EditorNotify(bool value);
  void GetEditingText(std::string& text);
  void InitEditor(TdxInplaceEdit* editor);
  bool IsEditorFocused();
  void SetEditingText(const std::string& text);

 private:
  void FinishEditing(bool focus);

  TCustomdxTreeList& FControl;
  TdxTreeListNode* FEditedNode = nullptr;
  int FEditedColumn = -1;
  TdxInplaceEdit* FEditor = nullptr;
};
