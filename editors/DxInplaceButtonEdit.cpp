#include "editors/DxInplaceButtonEdit.h"

#include <algorithm>

#include "classlib/AliveGuard.h"
#include "classlib/Filer.h"
#include "classlib/Strings.h"
#include "classlib/SysUtils.h"
#include "classlib/UpdateScope.h"

// ---- TdxEditButton ------------------------------------------------------------------

TdxEditButton::TdxEditButton(TCollection* collection) : TCollectionItem(collection) {
  if (collection && collection->GetCount() >= dxMaxEditButtons)
    throw Exception(Format("Too many buttons ( >= %d)", dxMaxEditButtons));
  FVisible = true;
}

TdxEditButton::~TdxEditButton() { delete FGlyph; }

template <class T>
void TdxEditButton::Store(T& field, T value) {
  if (field == value)
    return;
  field = value;
  Changed(true);
}

void TdxEditButton::SetDefault(bool value) {
  if (value && GetCollection()) {
    for (int i = 0; i < GetCollection()->GetCount(); ++i)
      static_cast<TdxEditButton*>(GetCollection()->GetItem(i))->FDefault = false;
  }
  Store(FDefault, value);
}

TBitmap* TdxEditButton::GetGlyph() {
  if (!FGlyph)
    FGlyph = new TBitmap();
  return FGlyph;
}

void TdxEditButton::SetGlyph(TBitmap* value) {
  if (!value)
    FreeAndNil(FGlyph);
  else
    GetGlyph()->Assign(value);
  Changed(true);
}

void TdxEditButton::SetKind(TdxEditButtonKind value) { Store(FKind, value); }
void TdxEditButton::SetLeftAlignment(bool value) { Store(FLeftAlignment, value); }
void TdxEditButton::SetVisible(bool value) { Store(FVisible, value); }
void TdxEditButton::SetWidth(int value) { Store(FWidth, int32_t(value)); }

void TdxEditButton::RestoreDefaults() {
  FreeAndNil(FGlyph);
  SetKind(bkEllipsis);
  SetLeftAlignment(false);
  SetVisible(true);
  SetWidth(0);
  Changed(true);
}

void TdxEditButton::Assign(TPersistent* source) {
  auto* other = ObjectAs<TdxEditButton>(source);
  if (!other) {
    inherited::Assign(source);
    return;
  }
  const TUpdateScope update(GetCollection());
  RestoreDefaults();
  SetDefault(other->GetDefault());
  SetGlyph(other->HasGlyph() ? other->FGlyph : nullptr);
  SetKind(other->GetKind());
  SetLeftAlignment(other->GetLeftAlignment());
  SetVisible(other->GetVisible());
  SetWidth(other->GetWidth());
}

// ---- TdxEditButtons -----------------------------------------------------------------

TdxEditButtons::TdxEditButtons(TPersistent* owner, TCollectionItemClass itemClass)
    : TOwnedCollection(owner, itemClass) {}

void TdxEditButtons::Assign(TPersistent* source) {
  auto* other = ObjectAs<TdxEditButtons>(source);
  if (!other) {
    inherited::Assign(source);
    return;
  }
  const TUpdateScope update(this);
  Clear();
  for (int i = 0; i < other->GetCount(); ++i)
    Add()->Assign(other->GetItem(i));
}

int TdxEditButtons::GetVisibleCount() const {
  int count = 0;
  for (int i = 0; i < GetCount(); ++i)
    if (GetItem(i)->GetVisible())
      ++count;
  return count;
}

int TdxEditButtons::VisibleIndexToIndex(int visibleIndex) const {
  if (visibleIndex < 0)
    return -1;
  for (int i = 0; i < GetCount(); ++i)
    if (GetItem(i)->GetVisible() && visibleIndex-- == 0)
      return i;
  return -1;
}

TdxEditButton* TdxEditButtons::GetVisibleItem(int visibleIndex) const {
  const int index = VisibleIndexToIndex(visibleIndex);
  return index < 0 ? nullptr : GetItem(index);
}

void TdxEditButtons::RestoreDefaults() {
  const TUpdateScope update(this);
  for (int i = 0; i < GetCount(); ++i)
    GetItem(i)->RestoreDefaults();
}

void TdxEditButtons::Update(TCollectionItem* item) {
  inherited::Update(item);
  auto* owner = ObjectAs<TComponent>(GetOwner());
  if (owner && owner->GetComponentState().Contains(csLoading))
    return;
  if (GetCount() == 1)
    GetItem(0)->FDefault = true;
}

void TdxInplaceEditButtons::Update(TCollectionItem* item) {
  inherited::Update(item);
  if (auto* edit = ObjectAs<TdxInplaceButtonEdit>(GetOwner()))
    edit->StyleChanged();
}

// ---- TdxInplaceButtonEdit -----------------------------------------------------------

TdxInplaceButtonEdit::TdxInplaceButtonEdit(TComponent* AOwner) : TdxInplaceButtonEdit(AOwner, &MetaClass()) {}

TdxInplaceButtonEdit::TdxInplaceButtonEdit(TComponent* AOwner, const TdxInplaceEditClass* cls)
    : TdxInplaceDropDownEdit(AOwner, cls) {
  FButtons = std::make_unique<TdxInplaceEditButtons>(this, &TdxEditButton::MetaClass());
  FButtons->Add();
  FClickKey = ShortCut(VK_RETURN, TShiftState{ssCtrl});
}

TdxInplaceButtonEdit::~TdxInplaceButtonEdit() {
  Destroying();
  FButtons.reset();
}

void TdxInplaceButtonEdit::SetTextMode(TdxButtonEditTextMode value) {
  if (FTextMode == value)
    return;
  FTextMode = value;
  if (HandleAllocated())
    RecreateWnd();
}

TClass TdxInplaceButtonEdit::GetViewDataClass(const TdxInplaceEditClass& /*cls*/) {
  return TdxButtonEditViewData::StaticClass();
}

TdxEditViewData* TdxInplaceButtonEdit::CreateViewData(bool forPainting) {
  TdxEditViewData* viewData = inherited::CreateViewData(forPainting);
  if (auto* v = ObjectAs<TdxButtonEditViewData>(viewData)) {
    v->ButtonOnly = FTextMode == tmButtonOnly && FButtons && FButtons->GetCount() > 0;
    v->EditButtons = FButtons.get();
    v->NoCaret = !v->HasTextArea;
  }
  return viewData;
}

void TdxInplaceButtonEdit::FillButtons(const TdxInplaceDropDownEditClass& cls, TdxDropDownEditViewData* viewData) {
  inherited::FillButtons(cls, viewData);
  auto* v = ObjectAs<TdxButtonEditViewData>(viewData);
  if (!v || !v->EditButtons || v->HideButtons)
    return;
  TdxEditButtons* buttons = v->EditButtons;
  v->ButtonCount = std::min(buttons->GetVisibleCount(), dxMaxEditButtons);
  for (int i = 0; i < v->ButtonCount; ++i) {
    TdxEditButton* source = buttons->GetVisibleItem(i);
    TdxEditButtonRecord& record = v->Buttons[i];
    record.Glyph = source->GetGlyph();
    record.Kind = source->GetKind();
    record.LeftAlignment = source->GetLeftAlignment();
    record.Width = source->GetWidth() != 0 ? source->GetWidth() : cls.GetButtonWidth(v, record);
  }
  if (!v->ButtonOnly || v->ButtonCount == 0)
    return;
  TdxEditDrawRecord content;
  TdxInplaceEdit::CalcViewData(cls, v, false, content);
  int sum = 0;
  for (int i = 0; i < v->ButtonCount; ++i)
    sum += v->Buttons[i].Width;
  const int contentWidth = RectWidth(content.InnerRect);
  if (sum < contentWidth)
    v->Buttons[v->ButtonCount - 1].Width += contentWidth - sum;
}

void TdxInplaceButtonEdit::CalcViewData(const TdxInplaceEditClass& cls, TdxEditViewData* viewData, bool autoSize,
                                        TdxEditDrawRecord& record) {
  inherited::CalcViewData(cls, viewData, autoSize, record);
  auto* v = ObjectAs<TdxButtonEditViewData>(viewData);
  if (v && v->ButtonOnly)
    record.InnerRect.right = record.InnerRect.left;
}

bool TdxInplaceButtonEdit::DrawContent(const TdxInplaceEditClass& cls, HDC dc, const TRect& rect,
                                       TdxEditViewData* viewData, bool editorWindow) {
  auto* v = ObjectAs<TdxButtonEditViewData>(viewData);
  return inherited::DrawContent(cls, dc, rect, viewData, editorWindow && !(v && v->NoCaret));
}

void TdxInplaceButtonEdit::ButtonClick(int index) {
  const bool assigned = OnButtonClick.Assigned() && index >= 0 && index < FButtons->GetVisibleCount();
  if (!assigned || Survives(this, OnButtonClick, FButtons->VisibleIndexToIndex(index)))
    DoDropDown();
}

void TdxInplaceButtonEdit::DefaultButtonClick() {
  for (int i = 0; i < FButtons->GetVisibleCount(); ++i) {
    if (FButtons->GetVisibleItem(i)->GetDefault()) {
      ButtonClick(i);
      return;
    }
  }
}

void TdxInplaceButtonEdit::KeyDown(WORD& key, TShiftState shift) {
  if (FTextMode != tmEditable) {
    if (key == VK_LEFT)
      ContainerNotify(true);
    else if (key == VK_RIGHT)
      ContainerNotify(false);
  }
  if (FButtons->GetCount() > 0 && ShortCut(key, shift) == FClickKey && CanEditText()) {
    RemovePendingChar();
    DefaultButtonClick();
    key = 0;
    return;
  }
  inherited::KeyDown(key, shift);
}

void TdxInplaceButtonEdit::Dispatch(TMessage& message) {
  if (message.Msg == WM_GETDLGCODE) {
    inherited::Dispatch(message);
    if (EditClass()->IsInplace())
      message.Result |= DLGC_WANTARROWS;
    return;
  }
  inherited::Dispatch(message);
}

void TdxInplaceButtonEdit::DefineProperties(TFiler& filer) {
  inherited::DefineProperties(filer);
  filer.DefineProperty("ExistButtons", TReaderProc::Bind<&TdxInplaceButtonEdit::ReadExistButtons>(this),
                       TWriterProc::Bind<&TdxInplaceButtonEdit::WriteExistButtons>(this),
                       FButtons->GetCount() > 0);
}

void TdxInplaceButtonEdit::ReadExistButtons(TReader& reader) { FButtonsStored = reader.ReadBoolean(); }

void TdxInplaceButtonEdit::WriteExistButtons(TWriter& writer) { writer.WriteBoolean(true); }

void TdxInplaceButtonEdit::Loaded() {
  inherited::Loaded();
  if (!FButtonsStored)
    FButtons->Clear();
}
