// Decisions taken here:
// - Ctrl+Enter is taken before the pick editor's keys: in place, Enter goes on to the
//   container, which consumes it, so a test after them never saw the key.
// - With ItemsSorted the list keeps its sorted order: an accepted value is added in
//   its place when it is new (moving or inserting at the top would raise on a sorted
//   list).
#include "editors/DxInplaceMRUEdit.h"

#include <algorithm>

#include "classlib/AliveGuard.h"
#include "classlib/Menus.h"

TdxInplaceMRUEdit::TdxInplaceMRUEdit(TComponent* AOwner) : TdxInplaceMRUEdit(AOwner, &MetaClass()) {}

TdxInplaceMRUEdit::TdxInplaceMRUEdit(TComponent* AOwner, const TdxInplaceEditClass* cls)
    : TdxInplacePickEdit(AOwner, cls) {
  ImmediateDropDown = false;
}

// ---- Properties -----------------------------------------------------------------------

void TdxInplaceMRUEdit::SetMaxItemCount(int value) {
  value = std::max(value, 0);
  if (FMaxItemCount == value)
    return;
  FMaxItemCount = value;
  TrimItems();
}

void TdxInplaceMRUEdit::SetShowEllipsis(bool value) {
  if (FShowEllipsis == value)
    return;
  FShowEllipsis = value;
  StyleChanged();
}

// ---- The list -------------------------------------------------------------------------

// Each change of the list is told to its handlers, which may free the editor and the list.
void TdxInplaceMRUEdit::TrimItems() {
  TStringList* items = GetItems();
  while (FMaxItemCount > 0 && items->GetCount() > FMaxItemCount)
    if (!Survives(this, [&] { items->Delete(items->GetCount() - 1); }))
      return;
}

void TdxInplaceMRUEdit::AddItem(const std::string& value) {
  if (value.empty())
    return;
  TStringList* items = GetItems();
  const int index = items->IndexOf(value);
  const bool alive = Survives(this, [&] {
    if (items->GetSorted()) {
      if (index < 0)
        items->Add(value);
    } else if (index >= 0) {
      items->Move(index, 0);
    } else {
      items->Insert(0, value);
    }
  });
  if (alive)
    TrimItems();
}

void TdxInplaceMRUEdit::DoButtonClick() { OnButtonClick(this); }

void TdxInplaceMRUEdit::ValidateEdit() {
  if (!Survives(this, [&] { inherited::ValidateEdit(); }) || !GetModified())
    return;
  std::string text;
  GetText(text);
  AddItem(text);
}

// ---- Buttons --------------------------------------------------------------------------

TClass TdxInplaceMRUEdit::GetViewDataClass(const TdxInplaceEditClass& /*cls*/) {
  return TdxMRUEditViewData::StaticClass();
}

TdxEditViewData* TdxInplaceMRUEdit::CreateViewData(bool forPainting) {
  TdxEditViewData* viewData = inherited::CreateViewData(forPainting);
  if (auto* v = ObjectAs<TdxMRUEditViewData>(viewData))
    v->ShowEllipsis = FShowEllipsis;
  return viewData;
}

void TdxInplaceMRUEdit::FillButtons(const TdxInplaceDropDownEditClass& cls, TdxDropDownEditViewData* viewData) {
  inherited::FillButtons(cls, viewData);
  auto* v = ObjectAs<TdxMRUEditViewData>(viewData);
  if (!v || v->ButtonCount == 0 || !v->ShowEllipsis)
    return;
  TdxEditButtonRecord& first = v->Buttons[0];
  TdxEditButtonRecord& second = v->Buttons[v->ButtonCount];
  ++v->ButtonCount;
  second.LeftAlignment = first.LeftAlignment;
  if (first.Kind == bkGlyph) {
    second.Glyph = first.Glyph;
    second.Kind = bkGlyph;
    first.Glyph = nullptr;
    first.Kind = bkDown;
    first.Width = cls.GetButtonWidth(v, first);
  } else {
    second.Kind = bkEllipsis;
  }
  second.Width = cls.GetButtonWidth(v, second);
}

void TdxInplaceMRUEdit::ButtonDown(bool noCapture, int index) {
  inherited::ButtonDown(noCapture, index == 1 ? -1 : index);
}

void TdxInplaceMRUEdit::ButtonClick(int index) {
  if (index != 1 || Survives(this, &TdxInplaceMRUEdit::DoButtonClick))
    inherited::ButtonClick(index);
}

// ---- Keys -----------------------------------------------------------------------------

void TdxInplaceMRUEdit::KeyDown(WORD& key, TShiftState shift) {
  const bool ellipsisKey = FShowEllipsis && ShortCut(key, shift) == ShortCut(VK_RETURN, TShiftState{ssCtrl});
  if (!ellipsisKey || !CanEditText()) {
    inherited::KeyDown(key, shift);
    return;
  }
  RemovePendingChar();
  DoButtonClick();
  key = 0;
}
