// The column kinds with a text value: memo, drop-down, date, button, check, image, spin,
// pick, MRU, calculator, hyperlink, time and currency columns.
//
// Decisions taken here:
// - An editor that was not modified stores nothing (IsEditValueChanged), so visiting a
//   cell never rewrites its text through a kind's conversion (a check text that is
//   neither value, an amount that does not parse, a spin text that is no number).
// - The cell edit buttons follow the tree list's editing option: a grid whose cells
//   cannot be edited shows no buttons that would do nothing. The expand-button setting
//   of the tree has nothing to do with them.
// - The drop-down column's button-click event is the editor's drop-down event: the
//   editor reports its button through it.
// - The button column's RestoreDefaults restores every button and adds one only to an
//   empty collection, so that calling it again does not grow the collection.
// - A check cell loads only the state into its editor (the node's text is not the
//   editor's caption); it is centred like the editor.
// - A blob column's ImmediatePopup opens the editor's popup at once, as ImmediateDropDown.
#include "treelist/DxTreeListColumns.h"

#include <cmath>

#include "classlib/AliveGuard.h"
#include "classlib/Canvas.h"
#include "classlib/Colors.h"
#include "classlib/FloatFormat.h"
#include "classlib/FormatSettings.h"
#include "classlib/Strings.h"
#include "classlib/SysUtils.h"
#include "editors/DxExEdtr.h"
#include "editors/DxTextHelpers.h"
#include "treelist/DxTreeListControl.h"

namespace {

std::string gValueChecked = "True";
std::string gValueUnchecked = "False";

// Keeps an editor's modified flag over a load of its value.
class TKeepModified {
 public:
  explicit TKeepModified(TdxInplaceEdit* editor) : FEditor(editor), FModified(editor->GetModified()) {}
  ~TKeepModified() { FEditor->SetModified(FModified); }
  TKeepModified(const TKeepModified&) = delete;
  TKeepModified& operator=(const TKeepModified&) = delete;

 private:
  TdxInplaceEdit* FEditor;
  bool FModified;
};

// Whether the cell of `node` shows its edit button, by the column's style.
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

// A stored text read as a number; `fallback` for an empty text or one
// that is no number.
double NodeNumber(const std::string& text, double fallback) {
  double value = 0;
  return !text.empty() && TryStrToFloat(text, value) ? value : fallback;
}

// Stores `text` as the node's text of the column and reads the node's value back.
void StoreNodeText(TdxTreeListColumn* column, TdxTreeListNode* node, const std::string& text, Variant& value) {
  node->SetString(column->GetIndex(), text);
  ReadNodeValue(column, node, value);
}

}  // namespace

void ReadNodeValue(TdxTreeListColumn* column, TdxTreeListNode* node, Variant& value) {
  if (TCustomdxTreeListControl* tree = column->GetTreeList())
    tree->GetNodeValue(node, column->GetIndex(), value);
  else
    value = Variant(column->GetNodeText(node));
}

void SetDxCheckColumnDefaults(const std::string& checked, const std::string& unchecked) {
  gValueChecked = checked.empty() ? "True" : checked;
  gValueUnchecked = unchecked.empty() ? "False" : unchecked;
}

// ==== Memo column

TdxTreeListMemoColumn::TdxTreeListMemoColumn(TComponent* AOwner) : TdxTreeListColumn(AOwner) {
  SetHeaderMaxLineCount(0);
}

void TdxTreeListMemoColumn::AssignEditValue(TdxTreeListNode* node, TdxInplaceEdit* editor, Variant& value) {
  if (IsEditValueChanged(editor))
    inherited::AssignEditValue(node, editor, value);
  else
    ReadNodeValue(this, node, value);
}

void TdxTreeListMemoColumn::Assign(TPersistent* source) {
  auto* other = ObjectAs<TdxTreeListMemoColumn>(source);
  if (!other) {
    inherited::Assign(source);
    return;
  }
  TdxTreeListUpdateScope update(GetTreeList(), GetTreeList() != nullptr);
  inherited::Assign(source);
  SetScrollBars(other->FScrollBars);
  SetWordWrap(other->FWordWrap);
}

void TdxTreeListMemoColumn::InitEditProperties(TdxInplaceEdit* editor) {
  inherited::InitEditProperties(editor);
  auto* memo = ObjectAs<TdxInplaceMemoEdit>(editor);
  if (!memo)
    return;
  memo->SetHideScrollBars(FHideScrollBars);
  memo->SetScrollBars(FScrollBars);
  memo->SetWantReturns(FWantReturns);
  memo->SetWantTabs(FWantTabs);
  memo->SetWordWrap(FWordWrap);
}

void TdxTreeListMemoColumn::PrepareViewData(TdxEditViewData* viewData, TdxTreeListCellViewData* cellInfo) {
  inherited::PrepareViewData(viewData, cellInfo);
  if (auto* text = ObjectAs<TdxTextEditViewData>(viewData))
    text->SelectionBar = FSelectionBar;
}

void TdxTreeListMemoColumn::RestoreDefaults() {
  inherited::RestoreDefaults();
  FScrollBars = ssNone;
  FWordWrap = true;
  SetHeaderMaxLineCount(0);
}

// ==== Drop-down column

TdxTreeListDropDownColumn::~TdxTreeListDropDownColumn() { delete FButtonGlyph; }

void TdxTreeListDropDownColumn::AssignEditValue(TdxTreeListNode* node, TdxInplaceEdit* editor, Variant& value) {
  if (IsEditValueChanged(editor))
    inherited::AssignEditValue(node, editor, value);
  else
    ReadNodeValue(this, node, value);
}

void TdxTreeListDropDownColumn::Assign(TPersistent* source) {
  auto* other = ObjectAs<TdxTreeListDropDownColumn>(source);
  if (!other) {
    inherited::Assign(source);
    return;
  }
  TdxTreeListUpdateScope update(GetTreeList(), GetTreeList() != nullptr);
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
  TdxTreeListUpdateScope update(GetTreeList(), GetTreeList() != nullptr);
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
      FButtons(new TdxColumnEditButtons(this, &TdxEditButton::MetaClass())),
      FGlyph(new TBitmap()) {
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
  TdxTreeListUpdateScope update(GetTreeList(), GetTreeList() != nullptr);
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

// ==== Check column

std::string TdxTreeListCheckColumn::DefaultValueChecked() { return gValueChecked; }
std::string TdxTreeListCheckColumn::DefaultValueUnchecked() { return gValueUnchecked; }

TdxTreeListCheckColumn::TdxTreeListCheckColumn(TComponent* AOwner)
    : TdxTreeListColumn(AOwner), FValueChecked(gValueChecked), FValueUnchecked(gValueUnchecked) {
  SetMinWidth(16);
}

TdxTreeListCheckColumn::~TdxTreeListCheckColumn() { delete FGlyph; }

void TdxTreeListCheckColumn::Assign(TPersistent* source) {
  auto* other = ObjectAs<TdxTreeListCheckColumn>(source);
  if (!other) {
    inherited::Assign(source);
    return;
  }
  TdxTreeListUpdateScope update(GetTreeList(), GetTreeList() != nullptr);
  inherited::Assign(source);
  SetAllowGrayed(other->FAllowGrayed);
  SetBorder3D(other->FBorder3D);
  if (other->HasGlyph())
    SetGlyph(other->FGlyph);
  SetGlyphCount(other->FGlyphCount);
  SetShowNullFieldStyle(other->FShowNullFieldStyle);
  SetValueChecked(other->FValueChecked);
  SetValueGrayed(other->FValueGrayed);
  SetValueUnchecked(other->FValueUnchecked);
  OnToggleClick = other->OnToggleClick;
}

TdxCheckBoxState TdxTreeListCheckColumn::StateOf(const std::string& text) const {
  if (AnsiCompareText(text, FValueChecked) == 0)
    return cbsChecked;
  if (AnsiCompareText(text, FValueUnchecked) == 0)
    return cbsUnchecked;
  return cbsGrayed;
}

const std::string& TdxTreeListCheckColumn::TextOf(TdxCheckBoxState state) const {
  switch (state) {
    case cbsChecked:
      return FValueChecked;
    case cbsUnchecked:
      return FValueUnchecked;
    case cbsGrayed:
      break;
  }
  return FValueGrayed;
}

void TdxTreeListCheckColumn::AssignEditValue(TdxTreeListNode* node, TdxInplaceEdit* editor, Variant& value) {
  auto* check = ObjectAs<TdxInplaceCheckEdit>(editor);
  if (!check) {
    inherited::AssignEditValue(node, editor, value);
    return;
  }
  if (IsEditValueChanged(editor))
    StoreNodeText(this, node, TextOf(check->GetState()), value);
  else
    ReadNodeValue(this, node, value);
}

void TdxTreeListCheckColumn::DoChange(TObject* sender) {
  // The change handlers may free the column or the editor that sent the change.
  const TAliveGuard alive(this);
  const TAliveGuard senderAlive(sender);
  inherited::DoChange(sender);
  if (!alive.Alive() || !senderAlive.Alive())
    return;
  TCustomdxTreeListControl* tree = GetTreeList();
  auto* check = ObjectAs<TdxInplaceCheckEdit>(sender);
  if (!tree || tree->IsLocked() || !check || !OnToggleClick.Assigned())
    return;
  OnToggleClick(this, TextOf(check->GetState()), check->GetState());
}

int TdxTreeListCheckColumn::GetMinCellHeight() {
  SIZE size{};
  if (HasGlyph() && TdxInplaceCheckEdit::GlyphSize(FGlyph, FGlyphCount, size))
    return size.cy;
  return DxCheckSize().cy + 2;
}

void TdxTreeListCheckColumn::InitEditProperties(TdxInplaceEdit* editor) {
  inherited::InitEditProperties(editor);
  auto* check = ObjectAs<TdxInplaceCheckEdit>(editor);
  if (!check)
    return;
  check->SetAlignment(taCenter);
  check->SetAllowGrayed(FAllowGrayed);
  check->GetStyle()->SetButtonStyle(FBorder3D ? bts3D : btsSimple);
  check->SetGlyph(HasGlyph() ? FGlyph : nullptr);
  check->SetGlyphCount(FGlyphCount);
  check->SetShowNullFieldStyle(FShowNullFieldStyle);
}

void TdxTreeListCheckColumn::LoadEditValue(TdxTreeListNode* node, TdxInplaceEdit* editor, Variant& value) {
  auto* check = ObjectAs<TdxInplaceCheckEdit>(editor);
  if (!check) {
    inherited::LoadEditValue(node, editor, value);
    return;
  }
  const std::string text = GetNodeText(node);
  check->SetEditValue(Variant(int32_t(StateOf(text))));
  value = Variant(text);
}

void TdxTreeListCheckColumn::PrepareViewData(TdxEditViewData* viewData, TdxTreeListCellViewData* cellInfo) {
  inherited::PrepareViewData(viewData, cellInfo);
  auto* v = ObjectAs<TdxCheckEditViewData>(viewData);
  if (!v)
    return;
  v->Value = Variant(int32_t(StateOf(GetNodeText(cellInfo->Node))));
  v->Alignment = taCenter;
  v->VertAlignment = vaCenter;
  v->Caption.clear();
  v->ButtonStyle = FBorder3D ? bts3D : btsSimple;
  v->Glyph = HasGlyph() ? FGlyph : nullptr;
  v->GlyphCount = FGlyphCount;
  v->ShowNullFieldStyle = FShowNullFieldStyle;
  v->Pressed = false;
}

void TdxTreeListCheckColumn::GetDisplayText(TdxTreeListNode* node, const std::string& text, std::string& result) {
  result = TextOf(StateOf(text));
}

void TdxTreeListCheckColumn::RestoreDefaults() {
  inherited::RestoreDefaults();
  FAllowGrayed = false;
  FBorder3D = false;
  FreeAndNil(FGlyph);
  FGlyphCount = 6;
  FShowNullFieldStyle = nsUnchecked;
  FValueChecked = gValueChecked;
  FValueGrayed.clear();
  FValueUnchecked = gValueUnchecked;
  SetMinWidth(16);
}

TBitmap* TdxTreeListCheckColumn::GetGlyph() {
  if (!FGlyph)
    FGlyph = new TBitmap();
  return FGlyph;
}

void TdxTreeListCheckColumn::SetGlyph(TBitmap* value) {
  if (value == FGlyph && value)
    return;
  if (value)
    GetGlyph()->Assign(value);
  else
    FreeAndNil(FGlyph);
  Changed(/*allItems=*/true);
}

void TdxTreeListCheckColumn::SetGlyphCount(int value) { Store(FGlyphCount, std::max(value, 1), true); }

// ==== Image column

TdxTreeListImageColumn::TdxTreeListImageColumn(TComponent* AOwner)
    : TdxTreeListDropDownColumn(AOwner),
      FDescriptions(new TStringList()),
      FImageIndexes(new TStringList()),
      FValues(new TStringList()),
      FImagesLink(new TChangeLink()),
      FLargeImagesLink(new TChangeLink()) {
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
  TdxTreeListUpdateScope update(GetTreeList(), GetTreeList() != nullptr);
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

// ==== Spin column

void TdxTreeListSpinColumn::Assign(TPersistent* source) {
  auto* other = ObjectAs<TdxTreeListSpinColumn>(source);
  if (!other) {
    inherited::Assign(source);
    return;
  }
  TdxTreeListUpdateScope update(GetTreeList(), GetTreeList() != nullptr);
  inherited::Assign(source);
  SetEditorEnabled(other->FEditorEnabled);
  SetIncrement(other->FIncrement);
  SetMinValue(other->FMinValue);
  SetMaxValue(other->FMaxValue);
  SetShowButtonStyle(other->FShowButtonStyle);
  SetUseCtrlIncrement(other->FUseCtrlIncrement);
  SetValueType(other->FValueType);
}

void TdxTreeListSpinColumn::AssignEditValue(TdxTreeListNode* node, TdxInplaceEdit* editor, Variant& value) {
  auto* spin = ObjectAs<TdxInplaceSpinEdit>(editor);
  if (!spin) {
    inherited::AssignEditValue(node, editor, value);
    return;
  }
  if (!IsEditValueChanged(editor)) {
    ReadNodeValue(this, node, value);
    return;
  }
  const double number = spin->GetValue();
  const std::string text = FValueType == vtFloat ? FloatToStrF(number, ffGeneral, 15, 0) : IntToStr(Round(number));
  StoreNodeText(this, node, text, value);
}

void TdxTreeListSpinColumn::InitEditProperties(TdxInplaceEdit* editor) {
  inherited::InitEditProperties(editor);
  auto* spin = ObjectAs<TdxInplaceSpinEdit>(editor);
  if (!spin)
    return;
  spin->SetEditorEnabled(FEditorEnabled);
  spin->SetIncrement(FIncrement);
  spin->AssignMinMaxValues(FMinValue, FMaxValue);
  spin->SetUseCtrlIncrement(FUseCtrlIncrement);
  spin->AssignValueType(FValueType);
}

void TdxTreeListSpinColumn::LoadEditValue(TdxTreeListNode* node, TdxInplaceEdit* editor, Variant& value) {
  inherited::LoadEditValue(node, editor, value);
  auto* spin = ObjectAs<TdxInplaceSpinEdit>(editor);
  if (!spin)
    return;
  TKeepModified keep(spin);
  spin->LoadingValue = true;
  struct TUnload {
    TdxInplaceEdit* Editor;
    ~TUnload() { Editor->LoadingValue = false; }
  } unload{spin};
  spin->SetValue(NodeNumber(GetNodeText(node), 0));
  value = Variant(spin->GetText());
}

void TdxTreeListSpinColumn::PrepareViewData(TdxEditViewData* viewData, TdxTreeListCellViewData* cellInfo) {
  inherited::PrepareViewData(viewData, cellInfo);
  if (auto* v = ObjectAs<TdxSpinEditViewData>(viewData)) {
    v->ShowButtons = ShowEditButton(cellInfo->Node);
    v->HotButton = sbNone;
    v->PressedButton = sbNone;
  }
}

bool TdxTreeListSpinColumn::ButtonQuery(bool defaultValue) {
  return CellButtonQuery(this, FShowButtonStyle, defaultValue);
}

bool TdxTreeListSpinColumn::ShowEditButton(TdxTreeListNode* node) {
  return ShowCellButton(this, FShowButtonStyle, node);
}

void TdxTreeListSpinColumn::RestoreDefaults() {
  inherited::RestoreDefaults();
  FEditorEnabled = true;
  FIncrement = 1.0;
  FMinValue = 0;
  FMaxValue = 0;
  FShowButtonStyle = TdxShowButtonStyle::sbDefault;
  FUseCtrlIncrement = false;
  FValueType = vtInt;
}

// ==== Pick and MRU columns

TdxTreeListPickColumn::TdxTreeListPickColumn(TComponent* AOwner)
    : TdxTreeListDropDownColumn(AOwner), FItems(new TStringList()) {
  FItems->OnChange = TNotifyEvent::Bind<&TdxTreeListPickColumn::ItemsChanged>(this);
  SetImmediateDropDown(true);
}

TdxTreeListPickColumn::~TdxTreeListPickColumn() { delete FItems; }

void TdxTreeListPickColumn::Assign(TPersistent* source) {
  auto* other = ObjectAs<TdxTreeListPickColumn>(source);
  if (!other) {
    inherited::Assign(source);
    return;
  }
  TdxTreeListUpdateScope update(GetTreeList(), GetTreeList() != nullptr);
  inherited::Assign(source);
  SetDropDownListStyle(other->FDropDownListStyle);
  SetItems(other->FItems);
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
  pick->SetItems(FItems);
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
  TdxTreeListUpdateScope update(GetTreeList(), GetTreeList() != nullptr);
  inherited::Assign(source);
  SetMaxItemCount(other->FMaxItemCount);
  SetShowEllipsis(other->FShowEllipsis);
  OnButtonClick = other->OnButtonClick;
}

void TdxTreeListMRUColumn::AssignEditValue(TdxTreeListNode* node, TdxInplaceEdit* editor, Variant& value) {
  inherited::AssignEditValue(node, editor, value);
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
  TdxTreeListUpdateScope update(GetTreeList(), GetTreeList() != nullptr);
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

// ==== Hyperlink column

TdxTreeListHyperLinkColumn::~TdxTreeListHyperLinkColumn() { delete FLinkFont; }

void TdxTreeListHyperLinkColumn::AssignEditValue(TdxTreeListNode* node, TdxInplaceEdit* editor, Variant& value) {
  if (IsEditValueChanged(editor))
    inherited::AssignEditValue(node, editor, value);
  else
    ReadNodeValue(this, node, value);
}

void TdxTreeListHyperLinkColumn::Assign(TPersistent* source) {
  auto* other = ObjectAs<TdxTreeListHyperLinkColumn>(source);
  if (!other) {
    inherited::Assign(source);
    return;
  }
  TdxTreeListUpdateScope update(GetTreeList(), GetTreeList() != nullptr);
  inherited::Assign(source);
  SetEditBackgroundColor(other->FEditBackgroundColor);
  SetEditFontColor(other->FEditFontColor);
  SetSingleClick(other->FSingleClick);
  SetStartKey(other->FStartKey);
  OnStartClick = other->OnStartClick;
}

void TdxTreeListHyperLinkColumn::GetCellCursor(TdxTreeListNode* node, TCursor& cursor) {
  if (FSingleClick && !GetNodeText(node).empty())
    cursor = crDxHandPoint;
}

void TdxTreeListHyperLinkColumn::InitEditProperties(TdxInplaceEdit* editor) {
  inherited::InitEditProperties(editor);
  auto* link = ObjectAs<TdxInplaceHyperLinkEdit>(editor);
  if (!link)
    return;
  link->SetColor(FEditBackgroundColor);
  link->SetLinkColor(FEditFontColor);
  link->SetSingleClick(FSingleClick);
  link->SetStartKey(FStartKey);
  link->OnStartClick = OnStartClick.Assigned()
                           ? TNotifyEvent::Bind<&TdxTreeListHyperLinkColumn::EditorStartClick>(this)
                           : TNotifyEvent();
}

void TdxTreeListHyperLinkColumn::PrepareViewData(TdxEditViewData* viewData, TdxTreeListCellViewData* cellInfo) {
  inherited::PrepareViewData(viewData, cellInfo);
  TFont* font = GetLinkFont();
  viewData->Font = font->GetHandle();
  if (!cellInfo->Highlighted && font->GetColor() != clDefault)
    viewData->TextColor = ColorToRGB(font->GetColor());
}

void TdxTreeListHyperLinkColumn::RestoreDefaults() {
  inherited::RestoreDefaults();
  FEditBackgroundColor = clWhite;
  FEditFontColor = clBlue;
  FSingleClick = false;
  FStartKey = scCtrl | VK_RETURN;
  FLinkFontValid = false;
}

void TdxTreeListHyperLinkColumn::SetEditBackgroundColor(TColor value) {
  FLinkFontValid = false;
  Store(FEditBackgroundColor, value, false);
}

void TdxTreeListHyperLinkColumn::SetEditFontColor(TColor value) {
  FLinkFontValid = false;
  Store(FEditFontColor, value, false);
}

void TdxTreeListHyperLinkColumn::SetSingleClick(bool value) {
  FLinkFontValid = false;
  Store(FSingleClick, value, false);
}

TFont* TdxTreeListHyperLinkColumn::GetLinkFont() {
  if (!FLinkFont)
    FLinkFont = new TFont();
  // The column's font follows the control's, so the link font is rebuilt from it each
  // time it may have changed.
  RebuildLinkFont();
  return FLinkFont;
}

void TdxTreeListHyperLinkColumn::RebuildLinkFont() {
  TFont* source = GetFont();
  const TColor color = FSingleClick ? FEditFontColor : clDefault;
  if (FLinkFontValid && FLinkFont->GetName() == source->GetName() && FLinkFont->GetHeight() == source->GetHeight() &&
      FLinkFont->GetColor() == color)
    return;
  FLinkFont->Assign(source);
  FLinkFont->SetStyle(source->GetStyle().Include(fsUnderline));
  FLinkFont->SetColor(color);
  FLinkFontValid = true;
}

// ==== Time column

void TdxTreeListTimeColumn::Assign(TPersistent* source) {
  auto* other = ObjectAs<TdxTreeListTimeColumn>(source);
  if (!other) {
    inherited::Assign(source);
    return;
  }
  TdxTreeListUpdateScope update(GetTreeList(), GetTreeList() != nullptr);
  inherited::Assign(source);
  SetTimeEditFormat(other->FTimeEditFormat);
  SetUseCtrlIncrement(other->FUseCtrlIncrement);
}

void TdxTreeListTimeColumn::AssignEditValue(TdxTreeListNode* node, TdxInplaceEdit* editor, Variant& value) {
  auto* time = ObjectAs<TdxInplaceTimeEdit>(editor);
  if (!time) {
    inherited::AssignEditValue(node, editor, value);
    return;
  }
  if (!IsEditValueChanged(editor)) {
    ReadNodeValue(this, node, value);
    return;
  }
  Variant editValue;
  time->GetEditValue(editValue);
  StoreNodeText(this, node, editValue.AsDouble() == 0 ? std::string() : time->GetText(), value);
}

void TdxTreeListTimeColumn::InitEditProperties(TdxInplaceEdit* editor) {
  inherited::InitEditProperties(editor);
  auto* time = ObjectAs<TdxInplaceTimeEdit>(editor);
  if (!time)
    return;
  time->SetTimeEditFormat(FTimeEditFormat);
  time->SetUseCtrlIncrement(FUseCtrlIncrement);
}

void TdxTreeListTimeColumn::LoadEditValue(TdxTreeListNode* node, TdxInplaceEdit* editor, Variant& value) {
  auto* time = ObjectAs<TdxInplaceTimeEdit>(editor);
  if (!time) {
    inherited::LoadEditValue(node, editor, value);
    return;
  }
  // The time editor reads a stored time (or an empty text as midnight) itself.
  time->SetEditValue(Variant(GetNodeText(node)));
  value = Variant(time->GetText());
}

void TdxTreeListTimeColumn::RestoreDefaults() {
  inherited::RestoreDefaults();
  FTimeEditFormat = tfHourMinSec;
  FUseCtrlIncrement = false;
}

// ==== Currency column

TdxTreeListCurrencyColumn::TdxTreeListCurrencyColumn(TComponent* AOwner)
    : TdxTreeListColumn(AOwner), FDisplayFormat(DefaultCurrencyDisplayFormat()) {}

void TdxTreeListCurrencyColumn::Assign(TPersistent* source) {
  auto* other = ObjectAs<TdxTreeListCurrencyColumn>(source);
  if (!other) {
    inherited::Assign(source);
    return;
  }
  TdxTreeListUpdateScope update(GetTreeList(), GetTreeList() != nullptr);
  inherited::Assign(source);
  SetDecimalPlaces(other->FDecimalPlaces);
  if (other->FDisplayFormatAssigned)
    SetDisplayFormat(other->FDisplayFormat);
  SetMinValue(other->FMinValue);
  SetMaxValue(other->FMaxValue);
  SetUseThousandSeparator(other->FUseThousandSeparator);
}

void TdxTreeListCurrencyColumn::AssignEditValue(TdxTreeListNode* node, TdxInplaceEdit* editor, Variant& value) {
  auto* currency = ObjectAs<TdxInplaceCurrencyEdit>(editor);
  if (!currency) {
    inherited::AssignEditValue(node, editor, value);
    return;
  }
  if (!IsEditValueChanged(editor)) {
    ReadNodeValue(this, node, value);
    return;
  }
  StoreNodeText(this, node, currency->GetValue() == 0 ? std::string() : currency->GetText(), value);
}

void TdxTreeListCurrencyColumn::InitEditProperties(TdxInplaceEdit* editor) {
  inherited::InitEditProperties(editor);
  auto* currency = ObjectAs<TdxInplaceCurrencyEdit>(editor);
  if (!currency)
    return;
  currency->SetDecimalPlaces(FDecimalPlaces);
  currency->SetDisplayFormat(std::string());
  currency->AssignMinMaxValues(FMinValue, FMaxValue);
  currency->SetUseThousandSeparator(FUseThousandSeparator);
}

void TdxTreeListCurrencyColumn::LoadEditValue(TdxTreeListNode* node, TdxInplaceEdit* editor, Variant& value) {
  inherited::LoadEditValue(node, editor, value);
  auto* currency = ObjectAs<TdxInplaceCurrencyEdit>(editor);
  if (!currency)
    return;
  // The stored amount is read as whole ten-thousandths, so that no precision is lost
  // on the way; a text that is no amount loads 0.
  const std::string text = GetNodeText(node);
  int64_t scaled = 0;
  if (!text.empty() && !TryStrToCurr(text, scaled, FormatSettings))
    scaled = 0;
  TKeepModified keep(currency);
  currency->LoadingValue = true;
  struct TUnload {
    TdxInplaceEdit* Editor;
    ~TUnload() { Editor->LoadingValue = false; }
  } unload{currency};
  currency->SetValue(double(scaled) / double(kCurrencyScale));
  currency->GetEditValue(value);
}

void TdxTreeListCurrencyColumn::PrepareViewData(TdxEditViewData* viewData, TdxTreeListCellViewData* cellInfo) {
  inherited::PrepareViewData(viewData, cellInfo);
  if (FDisplayFormat.empty())
    return;
  const std::string text = GetNodeText(cellInfo->Node);
  double number = 0;
  if (!text.empty() && !TdxInplaceCurrencyEdit::TextToValue(text, number))
    return;  // a text that is no amount shows as it is
  viewData->Value = Variant(FormatFloat(FDisplayFormat, number));
}

void TdxTreeListCurrencyColumn::RestoreDefaults() {
  inherited::RestoreDefaults();
  FDecimalPlaces = 2;
  FDisplayFormat = DefaultCurrencyDisplayFormat();
  FDisplayFormatAssigned = false;
  FMinValue = 0;
  FMaxValue = 0;
  FUseThousandSeparator = false;
}

void TdxTreeListCurrencyColumn::SetDisplayFormat(const std::string& value) {
  FDisplayFormatAssigned = true;
  Store(FDisplayFormat, value, true);
}

void TdxTreeListCurrencyColumn::LocaleChanged() {
  if (FDisplayFormatAssigned)
    return;
  GetFormatSettings();
  FDisplayFormat = DefaultCurrencyDisplayFormat();
  Changed(/*allItems=*/true);
}
