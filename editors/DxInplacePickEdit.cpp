// Decisions taken here:
// - The editor takes the arrow keys also stand-alone: the text editor leaves them to
//   the form there, which moved the focus on Up and Down instead of stepping.
// - The item a step starts from is forgotten whenever the text changes other than by
//   a step (typing, a completion, a new value, a value from the list): the next step
//   then starts from the item of the text shown, not from an item no longer shown.
// - The list's type-ahead searches the whole list from its first line (start index -1),
//   and drops only a character it has added; its clock can be replaced by tests.
// - A line is chosen by releasing the mouse over the list (the drop-down base's
//   PopupMouseUp, the list's mouse-up handler); a release outside it closes the list
//   without choosing.
#include "editors/DxInplacePickEdit.h"

#include <algorithm>

#include "classlib/AliveGuard.h"
#include "classlib/FlagScope.h"
#include "editors/DxMaskEngine.h"

namespace {

TCustomdxPopupPickListBox::TTickCountProc gTickCount = GetTickCount;

// Sets the editor's flag "setting a list value" for a scope; the flag comes back on an
// editor that the change's handler did not free.
auto ListSetting(TdxInplaceEdit* edit) {
  const bool old = edit->GetListSettingFlag();
  edit->SetListSettingFlag(true);
  return TOnExitIfAlive(edit, [edit, old] { edit->SetListSettingFlag(old); });
}

}  // namespace

// ---- TCustomdxPopupPickListBox ----------------------------------------------------------

TCustomdxPopupPickListBox::TTickCountProc TCustomdxPopupPickListBox::SetTickCountProc(TTickCountProc proc) {
  const TTickCountProc previous = gTickCount;
  gTickCount = proc ? proc : GetTickCount;
  return previous;
}

void TCustomdxPopupPickListBox::KeyPress(char& key) {
  if (key == '\b' || key == '\x1B') {
    FTypeAhead.clear();
  } else if (uint8_t(key) >= 32) {
    const DWORD now = gTickCount();
    if (now - FLastKeyTick > TypeAheadResetMs)
      FTypeAhead.clear();
    FLastKeyTick = now;
    if (int(FTypeAhead.size()) < MaxTypeAhead) {
      FTypeAhead += key;
      const LRESULT found = SendMessageA(GetHandle(), LB_SELECTSTRING, WPARAM(-1),
                                         reinterpret_cast<LPARAM>(FTypeAhead.c_str()));
      if (found == LB_ERR)
        FTypeAhead.pop_back();
    }
    key = 0;
  }
  inherited::KeyPress(key);
}

// ---- Construction ---------------------------------------------------------------------

TdxInplacePickEdit::TdxInplacePickEdit(TComponent* AOwner) : TdxInplacePickEdit(AOwner, &MetaClass()) {}

TdxInplacePickEdit::TdxInplacePickEdit(TComponent* AOwner, const TdxInplaceEditClass* cls)
    : TdxInplaceDropDownEdit(AOwner, cls), FItems(new TStringList) {
  EditWhileDropped = true;
  // Owned by the editor as a component, so that a failure after it frees it too.
  FPopup = new TdxPopupPickListBox(this);
  FPopup->SetVisible(false);
  FPopup->SetControlStyle(FPopup->GetControlStyle() + TControlStyle{csReplicatable});
  FPopup->SetIntegralHeight(true);
  FPopup->SetItemHeight(11);
  FPopup->SetEditor(this);
  FPopup->OnMouseUp = TMouseEvent::Bind<&TdxInplaceDropDownEdit::PopupMouseUp>(this);
}

TdxInplacePickEdit::~TdxInplacePickEdit() {
  Destroying();
}

// ---- Properties -----------------------------------------------------------------------

void TdxInplacePickEdit::SetDropDownListStyle(bool value) {
  if (FDropDownListStyle == value)
    return;
  FDropDownListStyle = value;
  SetReadOnlyValue(GetReadOnly());
}

void TdxInplacePickEdit::SetItemsSorted(bool value) {
  if (FItemsSorted == value)
    return;
  if (!Survives(this, &TdxInplacePickEdit::CloseUp, false))
    return;
  FItemsSorted = value;
  FItems->SetSorted(value);
}

bool TdxInplacePickEdit::CanEditText() { return !FDropDownListStyle && inherited::CanEditText(); }

void TdxInplacePickEdit::SetReadOnlyValue(bool value) {
  inherited::SetReadOnlyValue(value);
  if (FDropDownListStyle && HandleAllocated())
    SendMessageA(GetHandle(), EM_SETREADONLY, TRUE, 0);
}

// ---- Value ----------------------------------------------------------------------------

void TdxInplacePickEdit::ResetSearch() {
  if (GetListSettingFlag())
    return;
  FSearching = false;
  FSearchText.clear();
}

void TdxInplacePickEdit::SetEditValue(const Variant& value) {
  inherited::SetEditValue(value);
  FCurrentItemIndex = -1;
  ResetSearch();
}

void TdxInplacePickEdit::SetEditing(bool value) {
  inherited::SetEditing(value);
  ResetSearch();
}

void TdxInplacePickEdit::Change() {
  if (!FStepping)
    FCurrentItemIndex = -1;
  inherited::Change();
}

bool TdxInplacePickEdit::SetPickText(const std::string& text) {
  std::string current;
  GetText(current);
  if (text == current)
    return true;
  return ChangeText(IsMasked() ? FormatMaskText(GetEditMask(), text, GetMaskBlank()) : text);
}

bool TdxInplacePickEdit::ClearValue() {
  if (!CanModify())
    return true;
  const auto listSetting = ListSetting(this);
  return SetPickText(std::string());
}

int TdxInplacePickEdit::FindItemByPrefix(const std::string& text) const {
  if (text.empty())
    return -1;
  for (int i = 0; i < FItems->GetCount(); ++i)
    if (DxTextStartsWith(FItems->Get(i), text))
      return i;
  return -1;
}

void TdxInplacePickEdit::ScrollValue(int delta, bool wrap) {
  if (GetReadOnly() || FItems->GetCount() == 0)
    return;
  ResetSearch();
  const int count = FItems->GetCount();
  int i = FCurrentItemIndex;
  if (i == -1) {
    std::string text;
    GetText(text);
    i = FindItemByPrefix(text);
  }
  if (i >= 0 && i < count) {
    i = std::max(i + delta, 0);
    if (i >= count)
      i = wrap ? 0 : count - 1;
  } else {
    i = 0;
  }
  FCurrentItemIndex = i;
  if (CanModify()) {
    const TOwnedFlagScope stepping(this, FStepping);
    if (!SetPickText(FItems->Get(i)))
      return;
  }
  SelectAll();
}

void TdxInplacePickEdit::DropDownTextChanged(const std::string& text) {
  if (!GetDroppedDown())
    return;
  if (!FSearching && FPopup->GetItems()->GetCount() > FCurrentItemIndex)
    FPopup->SetItemIndex(FCurrentItemIndex);
  else
    FPopup->SetItemIndex(FindItemByPrefix(text));
}

// ---- Keys -----------------------------------------------------------------------------

void TdxInplacePickEdit::GetTextSel(const std::string& text, int& start, int& end) {
  GetSel(start, end);
  // The edit window counts its closing paragraph mark in a selection of the whole text.
  end = std::clamp(end, 0, int(text.size()));
  start = std::clamp(start, 0, end);
}

bool TdxInplacePickEdit::WholeTextSelected() {
  const std::string text = GetEditText();
  int start = 0, end = 0;
  GetTextSel(text, start, end);
  return start == 0 && end == int(text.size());
}

void TdxInplacePickEdit::KeyDown(WORD& key, TShiftState shift) {
  if (key == VK_ESCAPE)
    ResetSearch();
  if (key == VK_DELETE && FDropDownListStyle && FCanDeleteText && WholeTextSelected() && !ClearValue())
    return;
  if (!EditClass()->IsInplace()) {
    const int page = DropDownRows - 1;
    int delta = 0;
    switch (key) {
      case VK_PRIOR: delta = -page; break;
      case VK_NEXT: delta = page; break;
      case VK_UP: delta = -1; break;
      case VK_DOWN: delta = 1; break;
      default: break;
    }
    if (delta != 0) {
      key = 0;
      if (FItems->GetCount() > 0 && !Survives(this, &TdxInplacePickEdit::ScrollValue, delta, false))
        return;
    }
  }
  inherited::KeyDown(key, shift);
}

bool TdxInplacePickEdit::Complete() {
  const int i = FindItemByPrefix(FSearchText);
  if (i < 0)
    return false;
  if (CanModify()) {
    const auto listSetting = ListSetting(this);
    if (!SetPickText(FItems->Get(i)))
      return true;
  }
  CHARRANGE rest{LONG(FSearchText.size()), -1};
  SendMessageA(GetHandle(), EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&rest));
  return true;
}

void TdxInplacePickEdit::BackspacePressed(char& key) {
  const std::string text = GetEditText();
  int start = 0, end = 0;
  GetTextSel(text, start, end);
  if (end < int(text.size()) && !FDropDownListStyle)
    ResetSearch();
  if (FDropDownListStyle) {
    if (FCanDeleteText && WholeTextSelected()) {
      key = 0;
      (void)ClearValue();
      return;
    }
    if (!FSearching) {
      FSearching = true;
      FSearchText = text;
    }
  }
  if (!FSearching)
    return;
  if (!FSearchText.empty())
    FSearchText.pop_back();
  if (FSearchText.empty() && (!FDropDownListStyle || FCanDeleteText)) {
    key = 0;
    (void)ClearValue();
    return;
  }
  CHARRANGE rest{LONG(FSearchText.size()), -1};
  SendMessageA(GetHandle(), EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&rest));
  bool completed = false;
  if (!Survives(this, [&] { completed = Complete(); }) || completed)
    key = 0;
}

void TdxInplacePickEdit::CharPressed(char& key) {
  const std::string text = GetEditText();
  int start = 0, end = 0;
  GetTextSel(text, start, end);
  const bool atEnd = end == int(text.size());
  if (!(atEnd && text.size() == FSearchText.size()))
    ResetSearch();
  if (FSearching && (GetMaxLength() == 0 || int(text.size()) < GetMaxLength())) {
    FSearchText += key;
  } else {
    FSearchText = text.substr(0, size_t(start)) + text.substr(size_t(end));
    FSearchText += key;
    FSearching = true;
  }
  bool completed = false;
  if (!Survives(this, [&] { completed = Complete(); })) {
    key = 0;
    return;
  }
  if (completed)
    key = 0;
  if (ImmediateDropDown && !GetDroppedDown()) {
    if (!Survives(this, &TdxInplacePickEdit::DropDown)) {
      key = 0;
      return;
    }
    std::string shown;
    GetText(shown);
    DropDownTextChanged(shown);
  }
}

void TdxInplacePickEdit::KeyPress(char& key) {
  if (GetReadOnly()) {
    key = 0;
    return;
  }
  if (key == '\b')
    BackspacePressed(key);
  else if (uint8_t(key) >= 32)
    CharPressed(key);
  if (key != 0)
    inherited::KeyPress(key);
}

// ---- Mouse ----------------------------------------------------------------------------

void TdxInplacePickEdit::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
  if (button == mbLeft && shift.Contains(ssDouble) && FRevertable && FItems->GetCount() > 1) {
    if (!Survives(this, &TdxInplacePickEdit::ScrollValue, 1, true))
      return;
    std::string text;
    GetText(text);
    DropDownTextChanged(text);
  }
  inherited::MouseDown(button, shift, x, y);
}

// ---- Drop-down list -------------------------------------------------------------------

void TdxInplacePickEdit::DropDown() {
  if (DefaultReadOnly() || !FPopup->FocusEditor())
    return;
  if (!Survives(this, &TdxInplacePickEdit::DoDropDown))
    return;
  SetPopupControl(FPopup);
  if (FItems->GetCount() == 0)
    return;
  FPopup->PrepareForEditor();
  FPopup->GetItems()->Assign(FItems.get());
  std::string text;
  GetText(text);
  FPopup->ShowForEditor(std::max(FPopup->GetMaxItemWidth(), 10) + 4, FPopup->GetItems()->IndexOf(text));
  SetDroppedDownFlag(true);
}

void TdxInplacePickEdit::CloseUp(bool accept) {
  if (!GetDroppedDown())
    return;
  ResetSearch();
  FPopup->HideForEditor();
  SetDroppedDownFlag(false);
  Invalidate();
  const int index = FPopup->GetItemIndex();
  std::string text;
  GetText(text);
  Variant value = index >= 0 ? FPopup->GetItems()->Get(index) : text;
  if (!Survives(this, &TdxInplacePickEdit::DoCloseUp, value, accept) || !accept || !CanModify())
    return;
  if (SetPickText(VarToStr(value)))
    SelectAll();
}

// ---- Messages -------------------------------------------------------------------------

void TdxInplacePickEdit::Dispatch(TMessage& message) {
  if (message.Msg == WM_GETDLGCODE) {
    inherited::Dispatch(message);
    message.Result |= DLGC_WANTARROWS;
    return;
  }
  inherited::Dispatch(message);
}
