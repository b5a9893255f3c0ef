// Decisions taken here:
// - An image index that is not a number means no image: -1 in cells, -2 (no image) in
//   the drop-down list. Reading it as a number raised while a cell was painted and while
//   the list was filled.
// - The search on the first letters of the descriptions looks only at entries that
//   have a value, so a description without a value is never chosen.
// - A list's line is chosen by releasing the mouse over it (the drop-down base's
//   PopupMouseUp); Enter chooses the selected line, Escape closes without choosing.
#include "editors/DxInplaceImageEdit.h"

#include <algorithm>
#include <cstdint>

#include "classlib/AliveGuard.h"
#include "classlib/SysUtils.h"
#include "classlib/UpdateScope.h"
#include "editors/DxUtils.h"

namespace {

// The number an image-index entry holds, -1 when it holds none.
int ParseImageIndex(const std::string& text) {
  int32_t value = -1;
  return TryStrToInt(text, value) ? int(value) : -1;
}

bool IsValidImage(TCustomImageList* images, int index) {
  return images && index >= 0 && index < images->GetCount();
}

}  // namespace

// ---- TdxPopupImageListBox -------------------------------------------------------------

TdxPopupImageListBox::TdxPopupImageListBox(TComponent* AOwner) : TCustomdxPopupListBox(AOwner) {}

TObject* TdxPopupImageListBox::ImageIndexObject(int index) { return reinterpret_cast<TObject*>(intptr_t(index)); }

int TdxPopupImageListBox::ObjectImageIndex(TObject* object) { return int(reinterpret_cast<intptr_t>(object)); }

void TdxPopupImageListBox::SetImageList(TCustomImageList* value) {
  if (!ReplaceReference(FImageList, value))
    return;
  if (HandleAllocated())
    RecreateWnd();
}

void TdxPopupImageListBox::Notification(TComponent* AComponent, TOperation operation) {
  inherited::Notification(AComponent, operation);
  if (operation == opRemove && AComponent == FImageList)
    FImageList = nullptr;
}

void TdxPopupImageListBox::MeasureItem(int index, int& height) {
  inherited::MeasureItem(index, height);
  if (FImageList)
    height = std::max(height, FImageList->GetHeight() + 2);
}

void TdxPopupImageListBox::DrawItem(int index, TRect rect, TOwnerDrawState /*state*/) {
  TCanvas* canvas = GetCanvas();
  canvas->FillRect(rect);
  int imageWidth = 0;
  if (FImageList) {
    imageWidth = FImageList->GetWidth();
    const int image = ObjectImageIndex(GetItems()->GetObject(index));
    if (IsValidImage(FImageList, image))
      DrawImageListImage(canvas->GetHandle(), rect.left + 1, rect.top + (RectHeight(rect) - FImageList->GetHeight()) / 2,
                         FImageList, image);
  }
  const std::string text = GetItems()->Get(index);
  canvas->GetBrush()->SetStyle(bsClear);
  if (FMultiLine) {
    TRect r = rect;
    InflateRect(&r, -2, -2);
    r.left += imageWidth + 1;
    canvas->RequiredState({csHandleValid, csFontValid, csBrushValid});
    DrawTextA(canvas->GetHandle(), text.data(), int(text.size()), &r,
              DT_WORDBREAK | DT_EXTERNALLEADING | DT_NOPREFIX | DT_END_ELLIPSIS);
  } else {
    canvas->TextOut(rect.left + imageWidth + 3, rect.top + (RectHeight(rect) - canvas->TextHeight(text)) / 2, text);
  }
  // The list box sets only the brush's colour for the next line.
  canvas->GetBrush()->SetStyle(bsSolid);
}

// ---- Construction ---------------------------------------------------------------------

TdxInplaceImageEdit::TdxInplaceImageEdit(TComponent* AOwner) : TdxInplaceImageEdit(AOwner, &MetaClass()) {}

TdxInplaceImageEdit::TdxInplaceImageEdit(TComponent* AOwner, const TdxInplaceEditClass* cls)
    : TdxInplaceDropDownEdit(AOwner, cls),
      FDescriptions(new TStringList),
      FImagesLink(new TChangeLink),
      FImageIndexes(new TStringList),
      FLargeImagesLink(new TChangeLink),
      FValues(new TStringList) {
  SetControlStyle(GetControlStyle() + TControlStyle{csCaptureMouse});
  ClickOpensPopup = true;
  FImagesLink->OnChange = TNotifyEvent::Bind<&TdxInplaceImageEdit::ImagesChanged>(this);
  FLargeImagesLink->OnChange = TNotifyEvent::Bind<&TdxInplaceImageEdit::ImagesChanged>(this);
  // Owned by the editor as a component, so that a failure after it frees it too.
  FPopup = new TdxPopupImageListBox(this);
  FPopup->SetVisible(false);
  FPopup->SetControlStyle(FPopup->GetControlStyle() + TControlStyle{csReplicatable});
  FPopup->SetEditor(this);
  FPopup->OnMouseUp = TMouseEvent::Bind<&TdxInplaceDropDownEdit::PopupMouseUp>(this);
}

TdxInplaceImageEdit::~TdxInplaceImageEdit() {
  Destroying();
}

// ---- Properties -----------------------------------------------------------------------

void TdxInplaceImageEdit::SetDefaultImages(bool value) {
  if (FDefaultImages == value)
    return;
  FDefaultImages = value;
  Invalidate();
}

void TdxInplaceImageEdit::SetShowDescription(bool value) {
  if (FShowDescription == value)
    return;
  FShowDescription = value;
  Invalidate();
}

void TdxInplaceImageEdit::SetMultiLineText(bool value) {
  if (FMultiLineText == value)
    return;
  FMultiLineText = value;
  StyleChanged();
}

void TdxInplaceImageEdit::SetDescriptions(TStrings* value) {
  FDescriptions->Assign(value);
  StyleChanged();
}

void TdxInplaceImageEdit::SetImageIndexes(TStrings* value) {
  FImageIndexes->Assign(value);
  StyleChanged();
}

void TdxInplaceImageEdit::SetValues(TStrings* value) {
  FValues->Assign(value);
  StyleChanged();
}

void TdxInplaceImageEdit::ReplaceImages(TCustomImageList*& field, TChangeLink* link, TCustomImageList* value) {
  if (ReplaceImageList(this, field, link, value))
    StyleChanged();
}

void TdxInplaceImageEdit::SetImages(TCustomImageList* value) { ReplaceImages(FImages, FImagesLink.get(), value); }

void TdxInplaceImageEdit::SetLargeImages(TCustomImageList* value) {
  ReplaceImages(FLargeImages, FLargeImagesLink.get(), value);
}

void TdxInplaceImageEdit::ImagesChanged(TObject* sender) {
  if (sender && (sender == FImages || sender == FLargeImages))
    StyleChanged();
}

void TdxInplaceImageEdit::Notification(TComponent* AComponent, TOperation operation) {
  inherited::Notification(AComponent, operation);
  if (operation != opRemove || (AComponent != FImages && AComponent != FLargeImages))
    return;
  // The list is going: its links are dropped by the list itself.
  if (AComponent == FImages)
    FImages = nullptr;
  if (AComponent == FLargeImages)
    FLargeImages = nullptr;
  if (!GetComponentState().Contains(csDestroying))
    StyleChanged();
}

// ---- Class operations -----------------------------------------------------------------

TClass TdxInplaceImageEdit::GetViewDataClass(const TdxInplaceEditClass& /*cls*/) {
  return TdxImageEditViewData::StaticClass();
}

void TdxInplaceImageEdit::GetIndexesByValue(const std::string& value, TStrings* values, TStrings* imageIndexes,
                                            TStrings* descriptions, bool defaultImages, int& imageIndex,
                                            int& descriptionIndex) {
  const int i = values ? values->IndexOf(value) : -1;
  descriptionIndex = descriptions && i >= 0 && descriptions->GetCount() > i ? i : -1;
  imageIndex = i;
  if (defaultImages || i < 0)
    return;
  imageIndex = imageIndexes && imageIndexes->GetCount() > i ? ParseImageIndex(imageIndexes->Get(i)) : i;
}

int TdxInplaceImageEdit::GetMinHeight(const TdxInplaceEditClass& cls, TdxEditViewData* viewData) {
  const int height = inherited::GetMinHeight(cls, viewData);
  auto* v = ObjectAs<TdxImageEditViewData>(viewData);
  return v && v->Images ? std::max(height, v->Images->GetHeight()) : height;
}

bool TdxInplaceImageEdit::DrawContent(const TdxInplaceEditClass& cls, HDC dc, const TRect& rect,
                                      TdxEditViewData* viewData, bool editorWindow) {
  auto* v = ObjectAs<TdxImageEditViewData>(viewData);
  if (!v)
    return inherited::DrawContent(cls, dc, rect, viewData, editorWindow);
  int imageIndex = -1, descriptionIndex = -1;
  GetIndexesByValue(VarToStr(v->Value), v->Values, v->ImageIndexes, v->Descriptions, v->DefaultImages, imageIndex,
                    descriptionIndex);
  const int imageWidth = v->Images ? v->Images->GetWidth() : 0;
  const int imageHeight = v->Images ? v->Images->GetHeight() : 0;
  const bool hasImageSize = imageWidth > 0 || imageHeight > 0;
  const bool drawImage = !v->CalcOnly && IsValidImage(v->Images, imageIndex);
  TRect textRect = rect;
  std::string text;
  if (!v->ShowDescription) {
    if (hasImageSize) {
      if (!v->CalcOnly && !v->NoFill)
        FillRect(dc, &rect, v->Brush);
      if (drawImage)
        DrawImageListImage(dc, rect.left + (RectWidth(rect) - imageWidth) / 2,
                           rect.top + (RectHeight(rect) - imageHeight) / 2, v->Images, imageIndex);
      v->NoFill = true;
    }
  } else {
    if (descriptionIndex >= 0)
      text = v->Descriptions->Get(descriptionIndex);
    if (hasImageSize) {
      const TRect imageRect = Rect(rect.left, rect.top, rect.left + imageWidth, rect.bottom);
      textRect.left = imageRect.right;
      if (!v->CalcOnly && !v->NoFill)
        FillRect(dc, &imageRect, v->Brush);
      if (drawImage)
        DrawImageListImage(dc, rect.left, rect.top + (RectHeight(rect) - imageHeight) / 2, v->Images, imageIndex);
    }
  }
  // The text painter shows the description in place of the value.
  const Variant value = v->Value;
  v->Value = text;
  v->TextLength = 0;
  const bool painted = inherited::DrawContent(cls, dc, textRect, viewData, editorWindow);
  v->Value = value;
  return painted;
}

// ---- View data ------------------------------------------------------------------------

void TdxImageEditViewData::SetImageSettings(bool defaultImages, TStrings* descriptions, TStrings* imageIndexes,
                                            TCustomImageList* images, bool showDescription, TStrings* values,
                                            bool multiLineText) {
  DefaultImages = defaultImages;
  Descriptions = descriptions;
  ImageIndexes = imageIndexes;
  Images = images;
  ShowDescription = showDescription;
  Values = values;
  if (multiLineText)
    VertAlignment = vaWordWrap;
}

TdxEditViewData* TdxInplaceImageEdit::CreateViewData(bool forPainting) {
  TdxEditViewData* viewData = inherited::CreateViewData(forPainting);
  if (auto* v = ObjectAs<TdxImageEditViewData>(viewData)) {
    v->SetImageSettings(FDefaultImages, FDescriptions.get(), FImageIndexes.get(), FImages, FShowDescription, FValues.get(),
                        FMultiLineText);
    v->Focused = v->Focused && !EditClass()->IsInplace() && !IsPopupVisible();
  }
  return viewData;
}

// ---- Value ----------------------------------------------------------------------------

void TdxInplaceImageEdit::SetValue(const std::string& value) {
  std::string current;
  GetText(current);
  if (value == current || !CanEditText() || !CanModify())
    return;
  (void)ChangeText(value);  // nothing of the editor is touched after: the callers guard
}

void TdxInplaceImageEdit::SelectByIndex(int index) {
  if (index >= 0 && index < FValues->GetCount())
    SetValue(FValues->Get(index));
}

void TdxInplaceImageEdit::ScrollValue(int delta, bool /*wrap*/) {
  if (GetReadOnly() || FValues->GetCount() == 0)
    return;
  std::string current;
  GetText(current);
  int i = FValues->IndexOf(current);
  i = i >= 0 ? std::clamp(i + delta, 0, FValues->GetCount() - 1) : 0;
  SetValue(FValues->Get(i));
}

int TdxInplaceImageEdit::FindDescription(const std::string& text) {
  std::string current;
  GetText(current);
  const int count = std::min(FValues->GetCount(), FDescriptions->GetCount());
  const int start = FValues->IndexOf(current) + 1;
  for (int step = 0; step < count; ++step) {
    const int i = (start + step) % count;
    if (DxTextStartsWith(FDescriptions->Get(i), text))
      return i;
  }
  return -1;
}

// ---- Keys -----------------------------------------------------------------------------

void TdxInplaceImageEdit::KeyDown(WORD& key, TShiftState shift) {
  const bool inplace = EditClass()->IsInplace();
  if (!inplace || FIncremental) {
    const int page = DropDownRows - 1;
    // The step's OnChange may free the editor: the key ends there.
    const auto step = [&](auto stepping) {
      key = 0;
      return Survives(this, stepping);
    };
    bool alive = true;
    switch (key) {
      case VK_PRIOR: alive = step([&] { ScrollValue(-page, false); }); break;
      case VK_NEXT: alive = step([&] { ScrollValue(page, false); }); break;
      case VK_END: alive = step([&] { SelectByIndex(FValues->GetCount() - 1); }); break;
      case VK_HOME: alive = step([&] { SelectByIndex(0); }); break;
      case VK_LEFT:
      case VK_UP: alive = step([&] { ScrollValue(-1, false); }); break;
      case VK_RIGHT:
      case VK_DOWN: alive = step([&] { ScrollValue(1, false); }); break;
      default: break;
    }
    if (!alive)
      return;
  }
  if (inplace && key == VK_LEFT)
    ContainerNotify(true);
  else if (inplace && key == VK_RIGHT)
    ContainerNotify(false);
  inherited::KeyDown(key, shift);
}

void TdxInplaceImageEdit::KeyPress(char& key) {
  if (!Survives(this, [&] { inherited::KeyPress(key); }) || key == 0 || FValues->GetCount() == 0)
    return;
  std::string current;
  GetText(current);
  const int found = FindDescription(std::string(1, key));
  if (found >= 0 && found != FValues->IndexOf(current))
    SelectByIndex(found);
}

// ---- Drop-down list -------------------------------------------------------------------

void TdxInplaceImageEdit::DropDown() {
  if (!CanEditText() || !FPopup->FocusEditor())
    return;
  if (!Survives(this, &TdxInplaceImageEdit::DoDropDown) || FValues->GetCount() == 0)
    return;
  SetPopupControl(FPopup);
  TCustomImageList* images = FLargeImages ? FLargeImages : FImages;
  FPopup->SetImageList(images);
  FPopup->SetMultiLine(FMultiLineText);
  FPopup->PrepareForEditor();
  TStrings* lines = FPopup->GetItems();
  {
    const TUpdateScope update(lines);
    lines->Clear();
    for (int i = 0; i < FValues->GetCount(); ++i) {
      const std::string description = i < FDescriptions->GetCount() ? FDescriptions->Get(i) : std::string();
      int image = i;
      if (!FDefaultImages)
        image = i < FImageIndexes->GetCount() ? ParseImageIndex(FImageIndexes->Get(i)) : -1;
      lines->AddObject(description, TdxPopupImageListBox::ImageIndexObject(image < 0 ? -2 : image));
    }
  }
  const int imageWidth = images ? images->GetWidth() : FPopup->GetLastItemHeight();
  std::string current;
  GetText(current);
  FPopup->ShowForEditor(std::max(FPopup->GetMaxItemWidth() + 2, 10) + imageWidth + 4, FValues->IndexOf(current));
  SetDroppedDownFlag(true);
}

void TdxInplaceImageEdit::CloseUp(bool accept) {
  if (!GetDroppedDown())
    return;
  FPopup->HideForEditor();
  SetDroppedDownFlag(false);
  Invalidate();
  const int index = FPopup->GetItemIndex();
  if (index < 0 || index >= FValues->GetCount())
    return;
  Variant value = FValues->Get(index);
  if (Survives(this, &TdxInplaceImageEdit::DoCloseUp, value, accept) && accept)
    SetValue(VarToStr(value));
}

// ---- Messages -------------------------------------------------------------------------

void TdxInplaceImageEdit::Dispatch(TMessage& message) {
  if (message.Msg == WM_GETDLGCODE) {
    inherited::Dispatch(message);
    message.Result |= DLGC_WANTARROWS;
    return;
  }
  inherited::Dispatch(message);
}
