// The edited cell of the tree list: ending, hiding and discarding an edit, the gates of the
// in-place editor and the tree list's answers to its editor.
//
// Decisions taken here:
// - An edit is stored only when the editor was modified, and never while the control is
//   being destroyed; ending it hides the editor and gives the focus back to the control
//   (quietly: only when the editor had it).
// - A node that goes while edited takes its edit with it: the editor is hidden without
//   storing into a cell that no longer exists; so does a column (its editor goes too).
#include "treelist/DxTreeListEditController.h"

#include "classlib/AliveGuard.h"
#include "classlib/GdiHandles.h"
#include "classlib/Win.h"
#include "treelist/DxTreeList.h"

// ---- The edited cell

void TdxTreeListEditController::ResetEditedCell() {
  if (!FControl.IsDestroying())
    EndEditing();
  ForgetEditedCell();
}

void TdxTreeListEditController::EndEditing() {
  FinishEditing(/*focus=*/true);
}

void TdxTreeListEditController::EndEditingQuiet() {
  FinishEditing(/*focus=*/false);
}

void TdxTreeListEditController::FinishEditing(bool focus) {
  if (FControl.GetState() != stEditing)
    return;
  // The validation's handlers may free the control.
  if (TdxInplaceEdit* editor = FControl.GetEditor(); editor && !FControl.IsDestroying() && editor->GetModified() &&
      !Survives(&FControl, [&] { FControl.SaveEditorValue(editor); }))
    return;
  FControl.SetState(stNone);
  HideEditor(focus);
}

void TdxTreeListEditController::HideEditor(bool focus) {
  TdxInplaceEdit* editor = FControl.GetEditor();
  if (!editor)
    return;
  const bool editorHadFocus = editor->HandleAllocated() && GetFocus() == editor->GetHandle();
  editor->HidingEditor = true;
  editor->HideEdit();
  ForgetEditedCell();
  if ((focus || editorHadFocus) && !FControl.IsDestroying() && FControl.HandleAllocated() &&
      IsWindowVisible(FControl.GetHandle()))
    ::SetFocus(FControl.GetHandle());
}

void TdxTreeListEditController::DiscardEdit() {
  if (FControl.GetState() == stEditing)
    FControl.SetState(stNone);
  if (TdxInplaceEdit* editor = FControl.GetEditor()) {
    editor->HidingEditor = true;
    editor->HideEdit();
  }
  ForgetEditedCell();
}

void TdxTreeListEditController::ColumnGone(int column) {
  if (FEditedColumn > column) {
    --FEditedColumn;
    return;
  }
  if (FEditedColumn != column)
    return;
  if (FControl.GetState() == stEditing)
    FControl.SetState(stNone);
  ForgetEditedCell();
}

// ---- The in-place editor's gate

void TdxTreeListEditController::ShowEditor() {
  if (!FControl.IsOptions2() || FControl.IsRowSelect() || !FControl.GetFocusedNode())
    return;
  // The handlers of the editing question and of the expansions on the way may free the
  // control.
  bool allow = true;
  const auto ask = [&] {
    if (FControl.IsNewItemRowActive())
      FControl.CanEditNewItemRow(allow);
    else
      FControl.DoEditing(FControl.GetFocusedNode(), allow);
  };
  if (!Survives(&FControl, ask) || !allow || FControl.GetState() != stNone ||
      FControl.GetWidths().GetShownColumnCount() == 0)
    return;
  const int column = FControl.GetFocusedColumn();
  if (column < 0 || column >= FControl.GetWidths().GetShownColumnCount())
    return;
  FControl.GetNavigator().MakeColumnVisible(FControl.GetColumnByVisibleIndex(column));
  if (!Survives(&FControl, [&] { FControl.MakeNodeVisible(FControl.GetFocusedNode()); }))
    return;
  FControl.GetTimers().StopTimer(TdxTreeListTimers::kEditTimer);
  if (FControl.ShowInplaceEditor(/*noFocus=*/false))
    FControl.SetState(stEditing);
}

void TdxTreeListEditController::ShowEditorWithKey(char key) {
  if (!Survives(&FControl, [&] { ShowEditor(); }))
    return;
  TdxInplaceEdit* editor = FControl.GetEditor();
  if (FControl.GetState() != stEditing || !editor || !editor->HandleAllocated())
    return;
  const HWND wnd = editor->GetHandle();
  if (key == 22)
    PostMessageA(wnd, WM_PASTE, 0, 0);
  else if (key == 24)
    PostMessageA(wnd, WM_CUT, 0, 0);
  else
    PostMessageA(wnd, WM_CHAR, WPARAM(uint8_t(key)), 0);
}

void TdxTreeListEditController::ShowEditorWithMouse(int x, int y) {
  if (!Survives(&FControl, [&] { ShowEditor(); }))
    return;
  if (TdxInplaceEdit* editor = FControl.GetEditor(); FControl.GetState() == stEditing && editor)
    editor->ForwardClick(x, y);
}

void TdxTreeListEditController::ShowEditorSelectAll() {
  if (!Survives(&FControl, [&] { ShowEditor(); }))
    return;
  if (TdxInplaceEdit* editor = FControl.GetEditor(); FControl.GetState() == stEditing && editor)
    editor->ClickAction();
}

// ---- The editor and the answers to it

void TdxTreeListEditController::Removed(TComponent* component) {
  if (component == FEditor)
    FEditor = nullptr;
}

void TdxTreeListEditController::FreeEditor() {
  FreeAndNil(FEditor);
}

bool TdxTreeListEditController::EditOnKey() {
  return FControl.GetOptions().Contains(aoEditOnKey) && (GetAsyncKeyState(VK_CONTROL) & 0x8000) == 0;
}

void TdxTreeListEditController::EditorNotify(bool value) {
  const int column = FControl.GetFocusedColumn();
  EndEditingQuiet();
  const int target = value ? column - 1 : column + 1;
  if (target >= 0 && target < FControl.GetWidths().GetShownColumnCount())
    FControl.SetFocusedColumn(target);
}

bool TdxTreeListEditController::IsEditorFocused() {
  if (FControl.GetState() != stEditing || FControl.GetComponentState().Contains(csDesigning) || FControl.IsLocked() ||
      !FControl.HandleAllocated())
    return false;
  return GetFocus() == FControl.GetHandle();
}

void TdxTreeListEditController::GetEditingText(std::string& text) {
  TdxInplaceEdit* editor = FControl.GetEditor();
  if (FControl.GetState() == stEditing && editor)
    text = editor->GetText();
  else
    text.clear();
}

void TdxTreeListEditController::InitEditor(TdxInplaceEdit* editor) {
  editor->HidingEditor = false;
  // The colour's handler may free the control, and its editor with it.
  TColor asked = clNone;
  if (!Survives(&FControl, [&] { asked = FControl.GetEditColor(); }))
    return;
  COLORREF color = ColorToRGB(asked);
  if (TClientDC dc(nullptr); dc.Get())
    color = GetNearestColor(dc, color);
  editor->SetColor(static_cast<TColor>(color));
  editor->SetFont(FControl.GetEditFont());
  editor->SetEditMargins(TRect{1, 0, 0, 0});
}

void TdxTreeListEditController::SetEditingText(const std::string& text) {
  TdxInplaceEdit* editor = FControl.GetEditor();
  if (FControl.GetState() == stEditing && editor)
    editor->SetText(text);
}
