// The drop-down column kinds: the drop-down base and the date, button, image, pick, MRU
// and calculator columns.
//
// Decisions taken here:
// - The drop-down column's button-click event is the editor's drop-down event: the
//   editor reports its button through it.
// - The button column's RestoreDefaults restores every button and adds one only to an
//   empty collection, so that calling it again does not grow the collection.
// - A blob column's ImmediatePopup opens the editor's popup at once, as ImmediateDropDown.
#include "treelist/DxTreeListDropDownColumns.h"

#include <algorithm>

#include "classlib/AliveGuard.h"
#include "classlib/Canvas.h"
#include "treelist/DxTreeListControl.h"

// ==== Drop-down column

TdxTreeListDropDownColumn::~TdxTreeListDropDownColumn() { delete FButtonGlyph; }

void TdxTreeListDropDownColumn::AssignEditValue(TdxTreeListNode* node, TdxInplaceEdit* editor, Variant& value) {
  AssignChangedEditValue(this, node, editor, value);
}

void TdxTreeListDropDownColumn::Assign(TPersistent* source) {
  auto* other = ObjectAs<TdxTreeListDropDownColumn>(source);
  if (!other) {
    inherited::Assign(source);
    return;
  }
  TdxTreeListUpdateScope update(GetTreeList());
  inherited::Assign(source);
  if (other->HasButtonGlyph())
    SetButtonGlyph(other->FButtonGlyph);
  SetDropDownRows(other->FDropDownRows);
  SetDropDownWidth(other->FDropDownWidth);
  SetImmediateDropDown(other->FImmediateDropDown);
  SetImmediatePopup(other->FImmediatePopup);
  SetPopupAlignment(other->FPopupAlignment);
  SetPopupBorder(other->FPopupBorder);
  SetShowButtonStyle(other->FShowButtonStyle);
  OnEditButtonClick = other->OnEditButtonClick;
}

void TdxTreeListDropDownColumn::InitEditProperties(TdxInplaceEdit* editor) {
  inherited::InitEditProperties(editor);
  auto* dropDown = ObjectAs<TdxInplaceDropDownEdit>(editor);
  if (!dropDown)
    return;
  dropDown->SetButtonGlyph(HasButtonGlyph() ? FButtonGlyph : nullptr);
  dropDown->DropDownRows = FDropDownRows;
  dropDown->DropDownWidth = FDropDownWidth;
  dropDown->ImmediateDropDown = FImmediateDropDown || FImmediatePopup;
  dropDown->PopupAlignment = FPopupAlignment;
  dropDown->PopupBorder = FPopupBorder;
  dropDown->OnCloseUp = TdxCloseUpEvent::Bind<&TdxTreeListDropDownColumn::EditorCloseUp>(this);
  dropDown->OnDropDown = TNotifyEvent::Bind<&TdxTreeListDropDownColumn::EditorButtonClick>(this);
}

void TdxTreeListDropDownColumn::PrepareViewData(TdxEditViewData* viewData, TdxTreeListCellViewData* cellInfo) {
  inherited::PrepareViewData(viewData, cellInfo);
  auto* v = ObjectAs<TdxDropDownEditViewData>(viewData);
  if (!v)
    return;
  v->Glyph = HasButtonGlyph() ? FButtonGlyph : nullptr;
  v->HideButtons = !ShowEditButton(cellInfo->Node);
  v->HotButton = -1;
  v->PressedButton = -1;
}

bool TdxTreeListDropDownColumn::ButtonQuery(bool defaultValue) {
  return CellButtonQuery(this, FShowButtonStyle, defaultValue);
}

bool TdxTreeListDropDownColumn::ShowEditButton(TdxTreeListNode* node) {
  return ShowCellButton(this, FShowButtonStyle, node);
}

void TdxTreeListDropDownColumn::RestoreDefaults() {
  inherited::RestoreDefaults();
  FDropDownRows = 7;
  FDropDownWidth = 0;
  FImmediateDropDown = false;
  FImmediatePopup = false;
  FPopupAlignment = taLeftJustify;
  FPopupBorder = pbDefault;
  FShowButtonStyle = TdxShowButtonStyle::sbDefault;
}

TBitmap* TdxTreeListDropDownColumn::GetButtonGlyph() {
  if (!FButtonGlyph)
    FButtonGlyph = new TBitmap();
  return FButtonGlyph;
}

void TdxTreeListDropDownColumn::SetButtonGlyph(TBitmap* value) {
  if (value == FButtonGlyph && value)
    return;
  if (value && !value->GetEmpty())
    GetButtonGlyph()->Assign(value);
  else
    FreeAndNil(FButtonGlyph);
  Changed(/*allItems=*/false);
}

// ==== Date column

void TdxTreeListDateColumn::Assign(TPersistent* source) {
  auto* other = ObjectAs<TdxTreeListDateColumn>(source);
  if (!other) {
    inherited::Assign(source);
    return;
  }
  TdxTreeListUpdateScope update(GetTreeList());
  inherited::Assign(source);
  SetDateButtons(other->FDateButtons);
  SetDateOnError(other->FDateOnError);
  SetDateValidation(other->FDateValidation);
  SetSaveTime(other->FSaveTime);
  SetUseEditMask(other->FUseEditMask);
  OnDateValidateInput = other->OnDateValidateInput;
}

void TdxTreeListDateColumn::InitEditProperties(TdxInplaceEdit* editor) {
  inherited::InitEditProperties(editor);
  auto* date = ObjectAs<TdxInplaceDateEdit>(editor);
  if (!date)
    return;
  date->SetDateButtons(FDateButtons);
  date->SetDateOnError(FDateOnError);
  date->SetDateValidation(FDateValidation);
  date->SetSaveTime(FSaveTime);
  date->SetUseEditMask(FUseEditMask);
  date->OnDateValidateInput = TdxDateValidateInput::Bind<&TdxTreeListDateColumn::EditorDateValidateInput>(this);
}

void TdxTreeListDateColumn::RestoreDefaults() {
  inherited::RestoreDefaults();
  FDateButtons = TDateButtons{btnToday, btnClear};
  FDateOnError = deToday;
  FDateValidation = false;
  FSaveTime = true;
  FUseEditMask = false;
}

// ==== Button column

void TdxColumnEditButtons::Update(TCollectionItem* item) {
  inherited::Update(item);
  if (auto* column = ObjectAs<TdxTreeListButtonColumn>(GetOwner()))
    column->ButtonsChanged();
}

TdxTreeListButtonColumn::TdxTreeListButtonColumn(TComponent* AOwner)
    : TdxTreeListDropDownColumn(AOwner),
      FButtons(std::make_unique<TdxColumnEditButtons>(this, &TdxEditButton::MetaClass())),
      FGlyph(std::make_unique<TBitmap>()) {
  FButtons->Add();
}

TdxTreeListButtonColumn::~TdxTreeListButtonColumn() {
  FButtons.reset();
  FGlyph.reset();
}

void TdxTreeListButtonColumn::Assign(TPersistent* source) {
  auto* other = ObjectAs<TdxTreeListButtonColumn>(source);
  if (!other) {
    inherited::Assign(source);
    return;
  }
  TdxTreeListUpdateScope update(GetTreeList());
  inherited::Assign(source);
  SetButtonOnly(other->FButtonOnly);
  SetButtons(other->FButtons.get());
  FEditButtonStyle = other->FEditButtonStyle;
  SetClickKey(other->FClickKey);
  if (!other->FGlyph->GetEmpty())
    FGlyph->Assign(other->FGlyph.get());
  SetHideEditCursor(other->FHideEditCursor);
  OnButtonClick = other->OnButtonClick;
}

void TdxTreeListButtonColumn::InitEditProperties(TdxInplaceEdit* editor) {
  inherited::InitEditProperties(editor);
  auto* button = ObjectAs<TdxInplaceButtonEdit>(editor);
  if (!button)
    return;
  button->SetButtons(FButtons.get());
  button->SetClickKey(FClickKey);
  button->SetTextMode(FButtonOnly ? tmButtonOnly : FHideEditCursor ? tmHideEditCursor : tmEditable);
  button->OnButtonClick = TdxEditButtonClickEvent::Bind<&TdxTreeListButtonColumn::EditorButtonClick>(this);
}

void TdxTreeListButtonColumn::PrepareViewData(TdxEditViewData* viewData, TdxTreeListCellViewData* cellInfo) {
  inherited::PrepareViewData(viewData, cellInfo);
  auto* v = ObjectAs<TdxButtonEditViewData>(viewData);
  if (!v)
    return;
  if (v->HideButtons) {
    v->ButtonOnly = false;
    v->EditButtons = nullptr;
  } else {
    v->ButtonOnly = FButtonOnly && FButtons->GetCount() > 0;
    v->EditButtons = FButtons.get();
  }
  v->NoCaret = FHideEditCursor;
}

void TdxTreeListButtonColumn::RestoreDefaults() {
  inherited::RestoreDefaults();
  FButtonOnly = false;
  FEditButtonStyle = ebsEllipsis;
  FClickKey = scCtrl | VK_RETURN;
  FHideEditCursor = false;
  FGlyph->Assign(nullptr);
  FButtons->RestoreDefaults();
  if (FButtons->GetCount() == 0)
    FButtons->Add();
}

void TdxTreeListButtonColumn::SetEditButtonStyle(TdxEditButtonStyle value) {
  FEditButtonStyle = value;
  if (value == ebsSimple) {
    FButtons->Clear();
    Changed(/*allItems=*/false);
    return;
  }
  if (FButtons->GetCount() == 0)
    FButtons->Add();
  static constexpr TdxEditButtonKind kinds[] = {bkEllipsis, bkEllipsis, bkDown, bkGlyph};
  FButtons->GetItem(0)->SetKind(kinds[value]);
  Changed(/*allItems=*/false);
}

void TdxTreeListButtonColumn::SetGlyph(TBitmap* value) {
  FGlyph->Assign(value);
  if (FButtons->GetCount() > 0)
    FButtons->GetItem(0)->SetGlyph(FGlyph->GetEmpty() ? nullptr : FGlyph.get());
  Changed(/*allItems=*/false);
}

// ==== Image column

TdxTreeListImageColumn::TdxTreeListImageColumn(TComponent* AOwner)
    : TdxTreeListDropDownColumn(AOwner),
      FDescriptions(std::make_unique<TStringList>()),
      FImageIndexes(std::make_unique<TStringList>()),
      FValues(std::make_unique<TStringList>()),
      FImagesLink(std::make_unique<TChangeLink>()),
      FLargeImagesLink(std::make_unique<TChangeLink>()) {
  for (TStringList* list : {FDescriptions.get(), FImageIndexes.get(), FValues.get()})
    list->OnChange = TNotifyEvent::Bind<&TdxTreeListImageColumn::ListChanged>(this);
  FImagesLink->OnChange = TNotifyEvent::Bind<&TdxTreeListImageColumn::ImagesChanged>(this);
  FLargeImagesLink->OnChange = TNotifyEvent::Bind<&TdxTreeListImageColumn::ImagesChanged>(this);
  SetMinWidth(16);
}

TdxTreeListImageColumn::~TdxTreeListImageColumn() {
  if (FImages)
    FImages->UnRegisterChanges(FImagesLink.get());
  if (FLargeImages)
    FLargeImages->UnRegisterChanges(FLargeImagesLink.get());
  FImagesLink.reset();
  FLargeImagesLink.reset();
  FDescriptions.reset();
  FImageIndexes.reset();
  FValues.reset();
}

void TdxTreeListImageColumn::Assign(TPersistent* source) {
  auto* other = ObjectAs<TdxTreeListImageColumn>(source);
  if (!other) {
    inherited::Assign(source);
    return;
  }
  TdxTreeListUpdateScope update(GetTreeList());
  inherited::Assign(source);
  SetDefaultImages(other->FDefaultImages);
  SetDescriptions(other->FDescriptions.get());
  SetImageIndexes(other->FImageIndexes.get());
  SetValues(other->FValues.get());
  SetImages(other->FImages);
  SetLargeImages(other->FLargeImages);
  SetIncremental(other->FIncremental);
  SetMultiLineText(other->FMultiLineText);
  SetShowDescription(other->FShowDescription);
  OnCloseUp = other->OnCloseUp;
}

void TdxTreeListImageColumn::ReplaceImages(TCustomImageList*& field, TChangeLink* link, TCustomImageList* value) {
  if (ReplaceImageList(this, field, link, value))
    Changed(/*allItems=*/true);
}

void TdxTreeListImageColumn::Notification(TComponent* AComponent, TOperation operation) {
  inherited::Notification(AComponent, operation);
  if (operation != opRemove)
    return;
  if (AComponent == FImages) {
    FImages->UnRegisterChanges(FImagesLink.get());
    FImages = nullptr;
  }
  if (AComponent == FLargeImages) {
    FLargeImages->UnRegisterChanges(FLargeImagesLink.get());
    FLargeImages = nullptr;
  }
}

void TdxTreeListImageColumn::InitEditProperties(TdxInplaceEdit* editor) {
  inherited::InitEditProperties(editor);
  auto* image = ObjectAs<TdxInplaceImageEdit>(editor);
  if (!image)
    return;
  image->SetDefaultImages(FDefaultImages);
  image->SetDescriptions(FDescriptions.get());
  image->SetImages(FImages);
  image->SetImageIndexes(FImageIndexes.get());
  image->SetIncremental(FIncremental);
  image->SetLargeImages(FLargeImages);
  image->SetMultiLineText(FMultiLineText);
  image->SetShowDescription(FShowDescription);
  image->SetValues(FValues.get());
}

void TdxTreeListImageColumn::PrepareViewData(TdxEditViewData* viewData, TdxTreeListCellViewData* cellInfo) {
  inherited::PrepareViewData(viewData, cellInfo);
  auto* v = ObjectAs<TdxImageEditViewData>(viewData);
  if (!v)
    return;
  // The cell paints the stored value (the editor class finds its description).
  v->Value = Variant(GetNodeText(cellInfo->Node));
  v->SetImageSettings(FDefaultImages, FDescriptions.get(), FImageIndexes.get(), FImages, FShowDescription,
                      FValues.get(), FMultiLineText);
}

std::string TdxTreeListImageColumn::Description(const std::string& text) {
  int imageIndex = -1, descriptionIndex = -1;
  TdxInplaceImageEdit::GetIndexesByValue(text, FValues.get(), FImageIndexes.get(), FDescriptions.get(),
                                         FDefaultImages, imageIndex, descriptionIndex);
  if (descriptionIndex >= 0 && descriptionIndex < FDescriptions->GetCount())
    return FDescriptions->Get(descriptionIndex);
  return text;
}

int TdxTreeListImageColumn::GetNodeTextWidth(TCanvas* canvas, TdxTreeListNode* node) {
  return canvas->TextWidth(Description(GetNodeText(node))) + (FImages ? FImages->GetWidth() : 0);
}

void TdxTreeListImageColumn::GetDisplayText(TdxTreeListNode* node, const std::string& text, std::string& result) {
  result = Description(text);
}

void TdxTreeListImageColumn::DoCloseUp(Variant& value, bool& accept) {
  if (!OnCloseUp.Assigned())
    return;
  std::string text = VarToStr(value);
  OnCloseUp(this, text, accept);
  value = Variant(text);
}

void TdxTreeListImageColumn::RestoreDefaults() {
  inherited::RestoreDefaults();
  FDefaultImages = true;
  FIncremental = false;
  FMultiLineText = false;
  FShowDescription = false;
  SetMinWidth(16);
  SetAlignment(taLeftJustify);
}

// ==== Pick and MRU columns

TdxTreeListPickColumn::TdxTreeListPickColumn(TComponent* AOwner)
    : TdxTreeListDropDownColumn(AOwner), FItems(std::make_unique<TStringList>()) {
  FItems->OnChange = TNotifyEvent::Bind<&TdxTreeListPickColumn::ItemsChanged>(this);
  SetImmediateDropDown(true);
}

TdxTreeListPickColumn::~TdxTreeListPickColumn() = default;

void TdxTreeListPickColumn::Assign(TPersistent* source) {
  auto* other = ObjectAs<TdxTreeListPickColumn>(source);
  if (!other) {
    inherited::Assign(source);
    return;
  }
  TdxTreeListUpdateScope update(GetTreeList());
  inherited::Assign(source);
  SetDropDownListStyle(other->FDropDownListStyle);
  SetItems(other->FItems.get());
  SetItemsSorted(other->FItemsSorted);
  SetCanDeleteText(other->FCanDeleteText);
  SetRevertable(other->FRevertable);
  OnCloseUp = other->OnCloseUp;
}

void TdxTreeListPickColumn::InitEditProperties(TdxInplaceEdit* editor) {
  inherited::InitEditProperties(editor);
  auto* pick = ObjectAs<TdxInplacePickEdit>(editor);
  if (!pick)
    return;
  pick->SetDropDownListStyle(FDropDownListStyle);
  pick->SetItems(FItems.get());
  pick->SetCanDeleteText(FCanDeleteText);
  pick->SetRevertable(FRevertable);
  pick->SetItemsSorted(FItemsSorted);
}

void TdxTreeListPickColumn::RestoreDefaults() {
  inherited::RestoreDefaults();
  SetImmediateDropDown(DefaultImmediateDropDown());
  FDropDownListStyle = false;
  FItemsSorted = false;
  FCanDeleteText = false;
  FRevertable = false;
}

TdxTreeListMRUColumn::TdxTreeListMRUColumn(TComponent* AOwner) : TdxTreeListPickColumn(AOwner) {
  SetImmediateDropDown(false);
}

void TdxTreeListMRUColumn::Assign(TPersistent* source) {
  auto* other = ObjectAs<TdxTreeListMRUColumn>(source);
  if (!other) {
    inherited::Assign(source);
    return;
  }
  TdxTreeListUpdateScope update(GetTreeList());
  inherited::Assign(source);
  SetMaxItemCount(other->FMaxItemCount);
  SetShowEllipsis(other->FShowEllipsis);
  OnButtonClick = other->OnButtonClick;
}

void TdxTreeListMRUColumn::AssignEditValue(TdxTreeListNode* node, TdxInplaceEdit* editor, Variant& value) {
  // The node's change may tell a handler that frees the column, or the control and its
  // editor.
  if (!BothSurvive(this, editor, [&] { inherited::AssignEditValue(node, editor, value); }))
    return;
  if (auto* mru = ObjectAs<TdxInplaceMRUEdit>(editor))
    GetItems()->Assign(mru->GetItems());
}

void TdxTreeListMRUColumn::InitEditProperties(TdxInplaceEdit* editor) {
  inherited::InitEditProperties(editor);
  auto* mru = ObjectAs<TdxInplaceMRUEdit>(editor);
  if (!mru)
    return;
  mru->SetMaxItemCount(FMaxItemCount);
  mru->SetShowEllipsis(FShowEllipsis);
  mru->OnButtonClick = TNotifyEvent::Bind<&TdxTreeListMRUColumn::EditorButtonClick>(this);
}

void TdxTreeListMRUColumn::PrepareViewData(TdxEditViewData* viewData, TdxTreeListCellViewData* cellInfo) {
  inherited::PrepareViewData(viewData, cellInfo);
  if (auto* v = ObjectAs<TdxMRUEditViewData>(viewData))
    v->ShowEllipsis = FShowEllipsis;
}

void TdxTreeListMRUColumn::RestoreDefaults() {
  inherited::RestoreDefaults();
  FMaxItemCount = 7;
  FShowEllipsis = true;
}

// ==== Calculator column

void TdxTreeListCalcColumn::Assign(TPersistent* source) {
  auto* other = ObjectAs<TdxTreeListCalcColumn>(source);
  if (!other) {
    inherited::Assign(source);
    return;
  }
  TdxTreeListUpdateScope update(GetTreeList());
  inherited::Assign(source);
  SetBeepOnError(other->FBeepOnError);
  SetButtonStyle(other->FButtonStyle);
  SetPrecision(other->FPrecision);
  SetQuickClose(other->FQuickClose);
  SetShowButtonFrame(other->FShowButtonFrame);
}

void TdxTreeListCalcColumn::InitEditProperties(TdxInplaceEdit* editor) {
  inherited::InitEditProperties(editor);
  auto* calc = ObjectAs<TdxInplaceCalcEdit>(editor);
  if (!calc)
    return;
  calc->SetBeepOnError(FBeepOnError);
  calc->SetButtonStyle(FButtonStyle);
  calc->SetPrecision(uint8_t(std::clamp(FPrecision, 1, 255)));
  calc->SetQuickClose(FQuickClose);
  calc->SetShowButtonFrame(FShowButtonFrame);
}

void TdxTreeListCalcColumn::RestoreDefaults() {
  inherited::RestoreDefaults();
  FBeepOnError = true;
  FButtonStyle = bsStandard;
  FPrecision = 13;
  FQuickClose = false;
  FShowButtonFrame = false;
}
