// Decisions taken here:
// - The flags raised around loading a picture into the popup and around setting the
//   display text are dropped however the step ends: picture bytes that do not load
//   (EInvalidGraphic, which goes on to the caller, and the popup stays closed) must not
//   leave the popup treating every later change as a load, which would lose edits.
// - A memo value handed in also becomes the editor's text, so that the text paint
//   styles show the value a stand-alone editor holds.
// - A memo value the popup's window cannot show whole (a NUL byte ends the text the
//   window takes; RichEdit turns a CR CR LF into a blank) opens read-only: an edit of
//   what is shown would write the value back cut. The popup's keys refuse a change with
//   the reason.
// - The editor's popup takes the focus (ForwardKeysToPopup is off), so its keys are
//   the popup's own; the one Boolean of the editor base the blob editor raises is
//   ClickOpensPopup (a click anywhere opens the popup), and the operation that answers
//   True is IsPopupAllowed, which DropDown asks.
#include "editors/DxInplaceBlobEdit.h"

#include <cassert>
#include <memory>

#include "classlib/AliveGuard.h"
#include "classlib/Clipboard.h"
#include "editors/DxContainer.h"
#include "editors/DxExEdtr.h"
#include "editors/DxPictureValues.h"
#include "editors/DxUtils.h"

int BlobIconIndex(TdxBlobEditKind kind, bool empty) {
  int index = 1;
  switch (kind) {
    case bekMemo: index = 3; break;
    case bekPict: index = 5; break;
    case bekOle: index = 7; break;
    case bekBlob: index = 1; break;
  }
  return empty ? index - 1 : index;
}

// ---- Construction -------------------------------------------------------------------

TdxInplaceBlobEdit::TdxInplaceBlobEdit(TComponent* AOwner) : TdxInplaceBlobEdit(AOwner, &MetaClass()) {}

TdxInplaceBlobEdit::TdxInplaceBlobEdit(TComponent* AOwner, const TdxInplaceEditClass* cls)
    : TdxInplaceDropDownEdit(AOwner, cls), FClipboardFormat(CF_PICTURE()) {
  ImmediateDropDown = false;
  ClickOpensPopup = true;
  // The popup takes the focus and handles its own keys.
  ForwardKeysToPopup = false;
}

TdxInplaceBlobEdit::~TdxInplaceBlobEdit() {
  TCustomdxBlobPopup* popup = FPopup;
  FPopup = nullptr;
  SetPopupControl(nullptr);
  if (popup) {
    // An open popup hides as it goes: it must neither hand its content nor the focus
    // to an editor that is going.
    popup->OnAccept = {};
    popup->OnPopupResize = {};
    popup->SetOwnerEdit(nullptr);
  }
  delete popup;
  delete FValuePicture;
  FValuePicture = nullptr;
}

// ---- Class operations ---------------------------------------------------------------

TClass TdxInplaceBlobEdit::GetViewDataClass(const TdxInplaceEditClass& /*cls*/) {
  return TdxBlobEditViewData::StaticClass();
}

void TdxInplaceBlobEdit::FillButtons(const TdxInplaceDropDownEditClass& cls, TdxDropDownEditViewData* viewData) {
  TdxInplaceDropDownEdit::FillButtons(cls, viewData);
  auto* v = ObjectAs<TdxBlobEditViewData>(viewData);
  if (v && v->ButtonCount > 0 && (v->BlobEditKind == bekOle || v->BlobEditKind == bekBlob))
    v->Buttons[0].Kind = bkEllipsis;
}

bool TdxInplaceBlobEdit::DrawContent(const TdxInplaceEditClass& cls, HDC dc, const TRect& rect,
                                     TdxEditViewData* viewData, bool editorWindow) {
  auto* v = ObjectAs<TdxBlobEditViewData>(viewData);
  assert(v && "the blob editor paints from blob view data");
  if (v->BlobPaintStyle != bpsIcon) {
    v->VertAlignment = vaWordWrap;
    return TdxInplaceDropDownEdit::DrawContent(cls, dc, rect, viewData, editorWindow);
  }
  if (!v->CalcOnly) {
    if (!v->NoFill)
      FillRect(dc, &rect, v->Brush);
    const int index = BlobIconIndex(v->BlobEditKind, v->Empty);
    TCustomImageList* images = v->Images;
    if (images && index >= 0 && index < images->GetCount()) {
      const int x = rect.left + (RectWidth(rect) - images->GetWidth()) / 2;
      const int y = rect.top + (RectHeight(rect) - images->GetHeight()) / 2;
      DrawImageListImage(dc, x, y, images, index);
    }
  }
  // The text editor's drawing adds only the frame now: no text, nothing filled.
  v->Value = std::string();
  v->NoFill = true;
  return TdxInplaceDropDownEdit::DrawContent(cls, dc, rect, viewData, editorWindow);
}

// ---- Value --------------------------------------------------------------------------

void TdxInplaceBlobEdit::SetEditValue(const Variant& value) {
  SetValueShownInPart(false);
  FBlobValue = VarIsNull(value) ? std::string() : VarToStr(value);
  if (FBlobEditKind == bekMemo)
    SetDisplayText(FBlobValue);
  Invalidate();
}

void TdxInplaceBlobEdit::GetEditValue(Variant& value) {
  if (FBlobEditKind != bekPict) {
    value = FBlobValue.empty() ? Variant::Null() : Variant(FBlobValue);
    return;
  }
  if (!FValuePicture)
    FValuePicture = new TPicture;
  // The handlers of the class and of the picture may free the editor (in place, its
  // column's, freeing the column and the editors it dressed): no value is left then.
  TGraphicClass graphicClass = nullptr;
  if (!Survives(this, [&] { graphicClass = GetGraphicClass(); })) {
    value = Variant::Null();
    return;
  }
  LoadPictureFromValue(FValuePicture, graphicClass, Variant(FBlobValue));
  TPicture* picture = FValuePicture;
  if (!Survives(this, &TdxInplaceBlobEdit::DoAssignPicture, picture)) {
    value = Variant::Null();
    return;
  }
  TGraphic* graphic = picture ? picture->GetGraphic() : nullptr;
  value = graphic ? Variant(int32_t(reinterpret_cast<intptr_t>(graphic))) : Variant::Null();
}

bool TdxInplaceBlobEdit::IsValueEmpty(const Variant& value) {
  return VarIsNull(value) || (value.IsString() && value.AsString().empty());
}

void TdxInplaceBlobEdit::DoAssignPicture(TPicture*& picture) { OnAssignPicture(this, picture); }

TGraphicClass TdxInplaceBlobEdit::GetGraphicClass() {
  TGraphicClass graphicClass = FGraphicClass;
  OnGetGraphicClass(this, graphicClass);
  return graphicClass;
}

void TdxInplaceBlobEdit::SetBlobValue(const std::string& value) {
  if (value == FBlobValue)
    return;
  TCustomdxContainer* container = Container();
  if (container && container->GetLockFlag()) {
    FBlobValue = value;
  } else {
    if (!CanModify())
      return;
    FBlobValue = value;
    if (!Survives(this, &TdxInplaceBlobEdit::Change))
      return;
  }
  Invalidate();
}

void TdxInplaceBlobEdit::SetDisplayText(const std::string& text) {
  // The text editor reports no change while its value is being set.
  struct TSetting {
    TdxInplaceBlobEdit* Edit;
    bool Old;
    ~TSetting() { Edit->SetSettingValue(Old); }
  } setting{this, IsSettingValue()};
  SetSettingValue(true);
  SetText(text);
}

void TdxInplaceBlobEdit::SetBlobEditKind(TdxBlobEditKind value) {
  if (value == FBlobEditKind)
    return;
  FBlobEditKind = value;
  StyleChanged();
}

void TdxInplaceBlobEdit::SetBlobPaintStyle(TdxBlobPaintStyle value) {
  if (value == FBlobPaintStyle)
    return;
  FBlobPaintStyle = value;
  Invalidate();
}

void TdxInplaceBlobEdit::SetPopupSize(int width, int height) {
  FPopupWidth = width;
  FPopupHeight = height;
  OnPopupSize(this);
}

// ---- View data ----------------------------------------------------------------------

TdxEditViewData* TdxInplaceBlobEdit::CreateViewData(bool forPainting) {
  TdxEditViewData* viewData = inherited::CreateViewData(forPainting);
  if (auto* v = ObjectAs<TdxBlobEditViewData>(viewData)) {
    v->BlobEditKind = FBlobEditKind;
    v->BlobPaintStyle = FBlobPaintStyle;
    if (FBlobPaintStyle == bpsIcon) {
      v->Images = DxInplaceGlyphs();
      v->Empty = forPainting ? IsValueEmpty(v->Value) : FBlobValue.empty();
    }
  }
  return viewData;
}

// ---- Popup --------------------------------------------------------------------------

void TdxInplaceBlobEdit::DropDown() {
  if (GetDroppedDown() || !IsPopupAllowed())
    return;
  if (FBlobEditKind != bekMemo && FBlobEditKind != bekPict)
    return;
  if (!Survives(this, &TdxInplaceBlobEdit::DoDropDown))
    return;
  if (!FPopup) {
    FPopup = new TCustomdxBlobPopup(nullptr);
    FPopup->SetOwnerEdit(this);
  }
  SetPopupControl(FPopup);
  FPopup->OnAccept = {};
  FPopup->OnPopupResize = {};
  FPopup->SetColor(GetColor());
  FPopup->SetFont(GetFont());
  FPopup->ClearMemoText();
  FPopup->SetClosedWithoutSaving(false);
  FPopup->SetKind(FBlobEditKind);
  FPopup->SetPopupBorder(GetPopupBorder());
  FPopup->SetShadow(GetStyle()->GetShadow());
  FPopup->SetSizeablePopup(FSizeablePopup);
  FPopup->SetAlwaysSaveText(FAlwaysSaveText);
  FPopup->SetMemoCharCase(FMemoCharCase);
  FPopup->SetMemoHideScrollBars(FMemoHideScrollBars);
  FPopup->SetMaxLength(FMemoMaxLength);
  FPopup->SetMemoOEMConvert(FMemoOEMConvert);
  FPopup->SetMemoScrollBars(FMemoScrollBars);
  FPopup->SetMemoSelectionBar(FMemoSelectionBar);
  FPopup->SetMemoWantReturns(FMemoWantReturns);
  FPopup->SetMemoWantTabs(FMemoWantTabs);
  FPopup->SetMemoWordWrap(FMemoWordWrap);
  FPopup->SetPictureAutoSize(FPictureAutoSize);
  FPopup->SetClipboardFormat(FClipboardFormat);
  // The graphic class's handler may free the editor (and its popup with it).
  TGraphicClass graphicClass = nullptr;
  if (!Survives(this, [&] { graphicClass = GetGraphicClass(); }))
    return;
  FPopup->SetGraphicClass(graphicClass);
  FPopup->SetPictureTransparency(FPictureTransparency);
  FPopup->SetPictureFilter(FPictureFilter);
  if (FBlobEditKind == bekMemo) {
    FPopup->SetMemoText(FBlobValue);
    // What the memo shows is its window's text, laid out by the window: made now, it
    // tells whether the value can be edited without losing any of it.
    FPopup->HandleNeeded();
    SetValueShownInPart(!RichEditShowsTextWhole(FBlobValue, FPopup->GetText(), /*multiLine=*/true, FMemoCharCase));
  } else {
    SetValueShownInPart(false);
    FPopup->SetMemoText("");
    FPopup->LoadPictureValue(FBlobValue);
  }
  FPopup->SetReadOnly(!CanEditText());
  FPopup->SetModified(false);
  FPopup->OnAccept = TNotifyEvent::Bind<&TdxInplaceBlobEdit::AcceptPopupValue>(this);
  FPopup->OnPopupResize = TNotifyEvent::Bind<&TdxInplaceBlobEdit::PopupResized>(this);
  RECT editor{};
  GetWindowRect(GetHandle(), &editor);
  FPopup->SetPopupBounds(TPoint{editor.left, editor.bottom}, FPopupWidth, FPopupHeight);
  SetDroppedDownFlag(true);
  FPopup->ShowPopup();
  ::SetFocus(FPopup->GetHandle());
}

void TdxInplaceBlobEdit::PopupResized(TObject* /*sender*/) { SetPopupSize(FPopup->GetWidth(), FPopup->GetHeight()); }

void TdxInplaceBlobEdit::AcceptPopupValue(TObject* /*sender*/) {
  FPopup->OnAccept = {};
  // The value's change handler may free the editor.
  const auto setBlobValue = [this](const std::string& value) {
    return Survives(this, &TdxInplaceBlobEdit::SetBlobValue, value);
  };
  if (CanModify()) {
    if (FBlobEditKind == bekMemo) {
      if (!setBlobValue(FPopup->GetText()))
        return;
      if (FBlobPaintStyle == bpsText)
        SetDisplayText(FBlobValue);
    } else if (IsPictureEmpty(FPopup->GetPicture())) {
      if (!setBlobValue(std::string()))
        return;
      FGraphicClass = nullptr;
    } else {
      TPicture* picture = FPopup->GetPicture();
      FGraphicClass = picture->GetGraphic()->ClassType();
      std::string bytes;
      SavePictureToString(picture, bytes);
      if (!setBlobValue(bytes))
        return;
    }
  }
  SetModified(true);
}

// ---- Keys ---------------------------------------------------------------------------

void TdxInplaceBlobEdit::KeyDown(WORD& key, TShiftState shift) {
  if (EditClass()->IsInplace()) {
    if (key == VK_LEFT)
      ContainerNotify(true);
    else if (key == VK_RIGHT)
      ContainerNotify(false);
  }
  if (key == VK_DELETE)
    key = 0;
  inherited::KeyDown(key, shift);
}

void TdxInplaceBlobEdit::KeyPress(char& key) {
  const bool popupFocused = FPopup && FPopup->HandleAllocated() && ::GetFocus() == FPopup->GetHandle();
  if (GetDroppedDown() && popupFocused && FPopup->GetText().empty()) {
    PostMessageA(FPopup->GetHandle(), WM_CHAR, WPARAM(uint8_t(key)), 0);
    key = 0;
  }
  inherited::KeyPress(key);
}

void TdxInplaceBlobEdit::Dispatch(TMessage& message) {
  if (message.Msg == WM_GETDLGCODE) {
    inherited::Dispatch(message);
    message.Result |= DLGC_WANTARROWS | DLGC_WANTALLKEYS;
    return;
  }
  inherited::Dispatch(message);
}
