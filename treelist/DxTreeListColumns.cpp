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

bool CellButtonQuery(TdxTreeListColumn* column, TdxShowButtonStyle style, bool Default) {
  if (column->GetDisableEditor() || style == TdxShowButtonStyle::sbNone)
    return false;
  return style == TdxShowButtonStyle::sbAlways || Default;
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

void ReadNodeValue(TdxTreeListColumn* Column, TdxTreeListNode* Node, Variant& Value) {
  if (TCustomdxTreeListControl* tree = Column->GetTreeList())
    tree->GetNodeValue(Node, Column->GetIndex(), Value);
  else
    Value = Variant(Column->GetNodeText(Node));
}

void SetDxCheckColumnDefaults(const std::string& checked, const std::string& unchecked) {
  gValueChecked = checked.empty() ? "True" : checked;
  gValueUnchecked = unchecked.empty() ? "False" : unchecked;
}

// ==== Memo column

TdxTreeListMemoColumn::TdxTreeListMemoColumn(TComponent* AOwner) : TdxTreeListColumn(AOwner) {
  SetHeaderMaxLineCount(0);
}

void TdxTreeListMemoColumn::AssignEditValue(TdxTreeListNode* Node, TdxInplaceEdit* Editor, Variant& Value) {
  if (IsEditValueChanged(Editor))
    inherited::AssignEditValue(Node, Editor, Value);
  else
    ReadNodeValue(this, Node, Value);
}

void TdxTreeListMemoColumn::Assign(TPersistent* Source) {
  auto* source = ObjectAs<TdxTreeListMemoColumn>(Source);
  if (!source) {
    inherited::Assign(Source);
    return;
  }
  TdxTreeListUpdateScope update(GetTreeList(), GetTreeList() != nullptr);
  inherited::Assign(Source);
  SetScrollBars(source->FScrollBars);
  SetWordWrap(source->FWordWrap);
}

void TdxTreeListMemoColumn::InitEditProperties(TdxInplaceEdit* Editor) {
  inherited::InitEditProperties(Editor);
  auto* memo = ObjectAs<TdxInplaceMemoEdit>(Editor);
  if (!memo)
    return;
  memo->SetHideScrollBars(FHideScrollBars);
  memo->SetScrollBars(FScrollBars);
  memo->SetWantReturns(FWantReturns);
  memo->SetWantTabs(FWantTabs);
  memo->SetWordWrap(FWordWrap);
}

void TdxTreeListMemoColumn::PrepareViewData(TdxEditViewData* ViewData, TdxTreeListCellViewData* CellInfo) {
  inherited::PrepareViewData(ViewData, CellInfo);
  if (auto* text = ObjectAs<TdxTextEditViewData>(ViewData))
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

void TdxTreeListDropDownColumn::AssignEditValue(TdxTreeListNode* Node, TdxInplaceEdit* Editor, Variant& Value) {
  if (IsEditValueChanged(Editor))
    inherited::AssignEditValue(Node, Editor, Value);
  else
    ReadNodeValue(this, Node, Value);
}

void TdxTreeListDropDownColumn::Assign(TPersistent* Source) {
  auto* source = ObjectAs<TdxTreeListDropDownColumn>(Source);
  if (!source) {
    inherited::Assign(Source);
    return;
  }
  TdxTreeListUpdateScope update(GetTreeList(), GetTreeList() != nullptr);
  inherited::Assign(Source);
  if (source->HasButtonGlyph())
    SetButtonGlyph(source->FButtonGlyph);
  SetDropDownRows(source->FDropDownRows);
  SetDropDownWidth(source->FDropDownWidth);
  SetImmediateDropDown(source->FImmediateDropDown);
  SetImmediatePopup(source->FImmediatePopup);
  SetPopupAlignment(source->FPopupAlignment);
  SetPopupBorder(source->FPopupBorder);
  SetShowButtonStyle(source->FShowButtonStyle);
  OnEditButtonClick = source->OnEditButtonClick;
}

void TdxTreeListDropDownColumn::InitEditProperties(TdxInplaceEdit* Editor) {
  inherited::InitEditProperties(Editor);
  auto* dropDown = ObjectAs<TdxInplaceDropDownEdit>(Editor);
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

void TdxTreeListDropDownColumn::PrepareViewData(TdxEditViewData* ViewData, TdxTreeListCellViewData* CellInfo) {
  inherited::PrepareViewData(ViewData, CellInfo);
  auto* v = ObjectAs<TdxDropDownEditViewData>(ViewData);
  if (!v)
    return;
  v->Glyph = HasButtonGlyph() ? FButtonGlyph : nullptr;
  v->HideButtons = !ShowEditButton(CellInfo->Node);
  v->HotButton = -1;
  v->PressedButton = -1;
}

bool TdxTreeListDropDownColumn::ButtonQuery(bool Default) { return CellButtonQuery(this, FShowButtonStyle, Default); }

bool TdxTreeListDropDownColumn::ShowEditButton(TdxTreeListNode* Node) {
  return ShowCellButton(this, FShowButtonStyle, Node);
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
  Changed(/*AllItems=*/false);
}

// ==== Date column

void TdxTreeListDateColumn::Assign(TPersistent* Source) {
  auto* source = ObjectAs<TdxTreeListDateColumn>(Source);
  if (!source) {
    inherited::Assign(Source);
    return;
  }
  TdxTreeListUpdateScope update(GetTreeList(), GetTreeList() != nullptr);
  inherited::Assign(Source);
  SetDateButtons(source->FDateButtons);
  SetDateOnError(source->FDateOnError);
  SetDateValidation(source->FDateValidation);
  SetSaveTime(source->FSaveTime);
  SetUseEditMask(source->FUseEditMask);
  OnDateValidateInput = source->OnDateValidateInput;
}

void TdxTreeListDateColumn::InitEditProperties(TdxInplaceEdit* Editor) {
  inherited::InitEditProperties(Editor);
  auto* date = ObjectAs<TdxInplaceDateEdit>(Editor);
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

void TdxTreeListButtonColumn::Assign(TPersistent* Source) {
  auto* source = ObjectAs<TdxTreeListButtonColumn>(Source);
  if (!source) {
    inherited::Assign(Source);
    return;
  }
  TdxTreeListUpdateScope update(GetTreeList(), GetTreeList() != nullptr);
  inherited::Assign(Source);
  SetButtonOnly(source->FButtonOnly);
  SetButtons(source->FButtons.get());
  FEditButtonStyle = source->FEditButtonStyle;
  SetClickKey(source->FClickKey);
  if (!source->FGlyph->GetEmpty())
    FGlyph->Assign(source->FGlyph.get());
  SetHideEditCursor(source->FHideEditCursor);
  OnButtonClick = source->OnButtonClick;
}

void TdxTreeListButtonColumn::InitEditProperties(TdxInplaceEdit* Editor) {
  inherited::InitEditProperties(Editor);
  auto* button = ObjectAs<TdxInplaceButtonEdit>(Editor);
  if (!button)
    return;
  button->SetButtons(FButtons.get());
  button->SetClickKey(FClickKey);
  button->SetTextMode(FButtonOnly ? tmButtonOnly : FHideEditCursor ? tmHideEditCursor : tmEditable);
  button->OnButtonClick = TdxEditButtonClickEvent::Bind<&TdxTreeListButtonColumn::EditorButtonClick>(this);
}

void TdxTreeListButtonColumn::PrepareViewData(TdxEditViewData* ViewData, TdxTreeListCellViewData* CellInfo) {
  inherited::PrepareViewData(ViewData, CellInfo);
  auto* v = ObjectAs<TdxButtonEditViewData>(ViewData);
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
    Changed(/*AllItems=*/false);
    return;
  }
  if (FButtons->GetCount() == 0)
    FButtons->Add();
  static constexpr TdxEditButtonKind kinds[] = {bkEllipsis, bkEllipsis, bkDown, bkGlyph};
  FButtons->GetItem(0)->SetKind(kinds[value]);
  Changed(/*AllItems=*/false);
}

void TdxTreeListButtonColumn::SetGlyph(TBitmap* value) {
  FGlyph->Assign(value);
  if (FButtons->GetCount() > 0)
    FButtons->GetItem(0)->SetGlyph(FGlyph->GetEmpty() ? nullptr : FGlyph.get());
  Changed(/*AllItems=*/false);
}

// ==== Check column

std::string TdxTreeListCheckColumn::DefaultValueChecked() { return gValueChecked; }
std::string TdxTreeListCheckColumn::DefaultValueUnchecked() { return gValueUnchecked; }

TdxTreeListCheckColumn::TdxTreeListCheckColumn(TComponent* AOwner)
    : TdxTreeListColumn(AOwner), FValueChecked(gValueChecked), FValueUnchecked(gValueUnchecked) {
  SetMinWidth(16);
}

TdxTreeListCheckColumn::~TdxTreeListCheckColumn() { delete FGlyph; }

void TdxTreeListCheckColumn::Assign(TPersistent* Source) {
  auto* source = ObjectAs<TdxTreeListCheckColumn>(Source);
  if (!source) {
    inherited::Assign(Source);
    return;
  }
  TdxTreeListUpdateScope update(GetTreeList(), GetTreeList() != nullptr);
  inherited::Assign(Source);
  SetAllowGrayed(source->FAllowGrayed);
  SetBorder3D(source->FBorder3D);
  if (source->HasGlyph())
    SetGlyph(source->FGlyph);
  SetGlyphCount(source->FGlyphCount);
  SetShowNullFieldStyle(source->FShowNullFieldStyle);
  SetValueChecked(source->FValueChecked);
  SetValueGrayed(source->FValueGrayed);
  SetValueUnchecked(source->FValueUnchecked);
  OnToggleClick = source->OnToggleClick;
}

TdxCheckBoxState TdxTreeListCheckColumn::StateOf(const std::string& Text) const {
  if (AnsiCompareText(Text, FValueChecked) == 0)
    return cbsChecked;
  if (AnsiCompareText(Text, FValueUnchecked) == 0)
    return cbsUnchecked;
  return cbsGrayed;
}

const std::string& TdxTreeListCheckColumn::TextOf(TdxCheckBoxState State) const {
  switch (State) {
    case cbsChecked:
      return FValueChecked;
    case cbsUnchecked:
      return FValueUnchecked;
    case cbsGrayed:
      break;
  }
  return FValueGrayed;
}

void TdxTreeListCheckColumn::AssignEditValue(TdxTreeListNode* Node, TdxInplaceEdit* Editor, Variant& Value) {
  auto* check = ObjectAs<TdxInplaceCheckEdit>(Editor);
  if (!check) {
    inherited::AssignEditValue(Node, Editor, Value);
    return;
  }
  if (IsEditValueChanged(Editor))
    StoreNodeText(this, Node, TextOf(check->GetState()), Value);
  else
    ReadNodeValue(this, Node, Value);
}

void TdxTreeListCheckColumn::DoChange(TObject* Sender) {
  // The change handlers may free the column or the editor that sent the change.
  const TAliveGuard alive(this);
  const TAliveGuard senderAlive(Sender);
  inherited::DoChange(Sender);
  if (!alive.Alive() || !senderAlive.Alive())
    return;
  TCustomdxTreeListControl* tree = GetTreeList();
  auto* check = ObjectAs<TdxInplaceCheckEdit>(Sender);
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

void TdxTreeListCheckColumn::InitEditProperties(TdxInplaceEdit* Editor) {
  inherited::InitEditProperties(Editor);
  auto* check = ObjectAs<TdxInplaceCheckEdit>(Editor);
  if (!check)
    return;
  check->SetAlignment(taCenter);
  check->SetAllowGrayed(FAllowGrayed);
  check->GetStyle()->SetButtonStyle(FBorder3D ? bts3D : btsSimple);
  check->SetGlyph(HasGlyph() ? FGlyph : nullptr);
  check->SetGlyphCount(FGlyphCount);
  check->SetShowNullFieldStyle(FShowNullFieldStyle);
}

void TdxTreeListCheckColumn::LoadEditValue(TdxTreeListNode* Node, TdxInplaceEdit* Editor, Variant& Value) {
  auto* check = ObjectAs<TdxInplaceCheckEdit>(Editor);
  if (!check) {
    inherited::LoadEditValue(Node, Editor, Value);
    return;
  }
  const std::string text = GetNodeText(Node);
  check->SetEditValue(Variant(int32_t(StateOf(text))));
  Value = Variant(text);
}

void TdxTreeListCheckColumn::PrepareViewData(TdxEditViewData* ViewData, TdxTreeListCellViewData* CellInfo) {
  inherited::PrepareViewData(ViewData, CellInfo);
  auto* v = ObjectAs<TdxCheckEditViewData>(ViewData);
  if (!v)
    return;
  v->Value = Variant(int32_t(StateOf(GetNodeText(CellInfo->Node))));
  v->Alignment = taCenter;
  v->VertAlignment = vaCenter;
  v->Caption.clear();
  v->ButtonStyle = FBorder3D ? bts3D : btsSimple;
  v->Glyph = HasGlyph() ? FGlyph : nullptr;
  v->GlyphCount = FGlyphCount;
  v->ShowNullFieldStyle = FShowNullFieldStyle;
  v->Pressed = false;
}

void TdxTreeListCheckColumn::GetDisplayText(TdxTreeListNode* Node, const std::string& Text, std::string& Result) {
  Result = TextOf(StateOf(Text));
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
  Changed(/*AllItems=*/true);
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

void TdxTreeListImageColumn::Assign(TPersistent* Source) {
  auto* source = ObjectAs<TdxTreeListImageColumn>(Source);
  if (!source) {
    inherited::Assign(Source);
    return;
  }
  TdxTreeListUpdateScope update(GetTreeList(), GetTreeList() != nullptr);
  inherited::Assign(Source);
  SetDefaultImages(source->FDefaultImages);
  SetDescriptions(source->FDescriptions.get());
  SetImageIndexes(source->FImageIndexes.get());
  SetValues(source->FValues.get());
  SetImages(source->FImages);
  SetLargeImages(source->FLargeImages);
  SetIncremental(source->FIncremental);
  SetMultiLineText(source->FMultiLineText);
  SetShowDescription(source->FShowDescription);
  OnCloseUp = source->OnCloseUp;
}

void TdxTreeListImageColumn::ReplaceImages(TCustomImageList*& field, TChangeLink* link, TCustomImageList* value) {
  if (ReplaceImageList(this, field, link, value))
    Changed(/*AllItems=*/true);
}

void TdxTreeListImageColumn::Notification(TComponent* AComponent, TOperation Operation) {
  inherited::Notification(AComponent, Operation);
  if (Operation != opRemove)
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

void TdxTreeListImageColumn::InitEditProperties(TdxInplaceEdit* Editor) {
  inherited::InitEditProperties(Editor);
  auto* image = ObjectAs<TdxInplaceImageEdit>(Editor);
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

void TdxTreeListImageColumn::PrepareViewData(TdxEditViewData* ViewData, TdxTreeListCellViewData* CellInfo) {
  inherited::PrepareViewData(ViewData, CellInfo);
  auto* v = ObjectAs<TdxImageEditViewData>(ViewData);
  if (!v)
    return;
  // The cell paints the stored value (the editor class finds its description).
  v->Value = Variant(GetNodeText(CellInfo->Node));
  v->SetImageSettings(FDefaultImages, FDescriptions.get(), FImageIndexes.get(), FImages, FShowDescription,
                      FValues.get(), FMultiLineText);
}

std::string TdxTreeListImageColumn::Description(const std::string& Text) {
  int imageIndex = -1, descriptionIndex = -1;
  TdxInplaceImageEdit::GetIndexesByValue(Text, FValues.get(), FImageIndexes.get(), FDescriptions.get(),
                                         FDefaultImages, imageIndex, descriptionIndex);
  if (descriptionIndex >= 0 && descriptionIndex < FDescriptions->GetCount())
    return FDescriptions->Get(descriptionIndex);
  return Text;
}

int TdxTreeListImageColumn::GetNodeTextWidth(TCanvas* Canvas, TdxTreeListNode* Node) {
  return Canvas->TextWidth(Description(GetNodeText(Node))) + (FImages ? FImages->GetWidth() : 0);
}

void TdxTreeListImageColumn::GetDisplayText(TdxTreeListNode* Node, const std::string& Text, std::string& Result) {
  Result = Description(Text);
}

void TdxTreeListImageColumn::DoCloseUp(Variant& Value, bool& Accept) {
  if (!OnCloseUp.Assigned())
    return;
  std::string text = VarToStr(Value);
  OnCloseUp(this, text, Accept);
  Value = Variant(text);
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

void TdxTreeListSpinColumn::Assign(TPersistent* Source) {
  auto* source = ObjectAs<TdxTreeListSpinColumn>(Source);
  if (!source) {
    inherited::Assign(Source);
    return;
  }
  TdxTreeListUpdateScope update(GetTreeList(), GetTreeList() != nullptr);
  inherited::Assign(Source);
  SetEditorEnabled(source->FEditorEnabled);
  SetIncrement(source->FIncrement);
  SetMinValue(source->FMinValue);
  SetMaxValue(source->FMaxValue);
  SetShowButtonStyle(source->FShowButtonStyle);
  SetUseCtrlIncrement(source->FUseCtrlIncrement);
  SetValueType(source->FValueType);
}

void TdxTreeListSpinColumn::AssignEditValue(TdxTreeListNode* Node, TdxInplaceEdit* Editor, Variant& Value) {
  auto* spin = ObjectAs<TdxInplaceSpinEdit>(Editor);
  if (!spin) {
    inherited::AssignEditValue(Node, Editor, Value);
    return;
  }
  if (!IsEditValueChanged(Editor)) {
    ReadNodeValue(this, Node, Value);
    return;
  }
  const double value = spin->GetValue();
  const std::string text = FValueType == vtFloat ? FloatToStrF(value, ffGeneral, 15, 0) : IntToStr(Round(value));
  StoreNodeText(this, Node, text, Value);
}

void TdxTreeListSpinColumn::InitEditProperties(TdxInplaceEdit* Editor) {
  inherited::InitEditProperties(Editor);
  auto* spin = ObjectAs<TdxInplaceSpinEdit>(Editor);
  if (!spin)
    return;
  spin->SetEditorEnabled(FEditorEnabled);
  spin->SetIncrement(FIncrement);
  spin->AssignMinMaxValues(FMinValue, FMaxValue);
  spin->SetUseCtrlIncrement(FUseCtrlIncrement);
  spin->AssignValueType(FValueType);
}

void TdxTreeListSpinColumn::LoadEditValue(TdxTreeListNode* Node, TdxInplaceEdit* Editor, Variant& Value) {
  inherited::LoadEditValue(Node, Editor, Value);
  auto* spin = ObjectAs<TdxInplaceSpinEdit>(Editor);
  if (!spin)
    return;
  TKeepModified keep(spin);
  spin->LoadingValue = true;
  struct TUnload {
    TdxInplaceEdit* Editor;
    ~TUnload() { Editor->LoadingValue = false; }
  } unload{spin};
  spin->SetValue(NodeNumber(GetNodeText(Node), 0));
  Value = Variant(spin->GetText());
}

void TdxTreeListSpinColumn::PrepareViewData(TdxEditViewData* ViewData, TdxTreeListCellViewData* CellInfo) {
  inherited::PrepareViewData(ViewData, CellInfo);
  if (auto* v = ObjectAs<TdxSpinEditViewData>(ViewData)) {
    v->ShowButtons = ShowEditButton(CellInfo->Node);
    v->HotButton = sbNone;
    v->PressedButton = sbNone;
  }
}

bool TdxTreeListSpinColumn::ButtonQuery(bool Default) { return CellButtonQuery(this, FShowButtonStyle, Default); }

bool TdxTreeListSpinColumn::ShowEditButton(TdxTreeListNode* Node) {
  return ShowCellButton(this, FShowButtonStyle, Node);
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

void TdxTreeListPickColumn::Assign(TPersistent* Source) {
  auto* source = ObjectAs<TdxTreeListPickColumn>(Source);
  if (!source) {
    inherited::Assign(Source);
    return;
  }
  TdxTreeListUpdateScope update(GetTreeList(), GetTreeList() != nullptr);
  inherited::Assign(Source);
  SetDropDownListStyle(source->FDropDownListStyle);
  SetItems(source->FItems);
  SetItemsSorted(source->FItemsSorted);
  SetCanDeleteText(source->FCanDeleteText);
  SetRevertable(source->FRevertable);
  OnCloseUp = source->OnCloseUp;
}

void TdxTreeListPickColumn::InitEditProperties(TdxInplaceEdit* Editor) {
  inherited::InitEditProperties(Editor);
  auto* pick = ObjectAs<TdxInplacePickEdit>(Editor);
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

void TdxTreeListMRUColumn::Assign(TPersistent* Source) {
  auto* source = ObjectAs<TdxTreeListMRUColumn>(Source);
  if (!source) {
    inherited::Assign(Source);
    return;
  }
  TdxTreeListUpdateScope update(GetTreeList(), GetTreeList() != nullptr);
  inherited::Assign(Source);
  SetMaxItemCount(source->FMaxItemCount);
  SetShowEllipsis(source->FShowEllipsis);
  OnButtonClick = source->OnButtonClick;
}

void TdxTreeListMRUColumn::AssignEditValue(TdxTreeListNode* Node, TdxInplaceEdit* Editor, Variant& Value) {
  inherited::AssignEditValue(Node, Editor, Value);
  if (auto* mru = ObjectAs<TdxInplaceMRUEdit>(Editor))
    GetItems()->Assign(mru->GetItems());
}

void TdxTreeListMRUColumn::InitEditProperties(TdxInplaceEdit* Editor) {
  inherited::InitEditProperties(Editor);
  auto* mru = ObjectAs<TdxInplaceMRUEdit>(Editor);
  if (!mru)
    return;
  mru->SetMaxItemCount(FMaxItemCount);
  mru->SetShowEllipsis(FShowEllipsis);
  mru->OnButtonClick = TNotifyEvent::Bind<&TdxTreeListMRUColumn::EditorButtonClick>(this);
}

void TdxTreeListMRUColumn::PrepareViewData(TdxEditViewData* ViewData, TdxTreeListCellViewData* CellInfo) {
  inherited::PrepareViewData(ViewData, CellInfo);
  if (auto* v = ObjectAs<TdxMRUEditViewData>(ViewData))
    v->ShowEllipsis = FShowEllipsis;
}

void TdxTreeListMRUColumn::RestoreDefaults() {
  inherited::RestoreDefaults();
  FMaxItemCount = 7;
  FShowEllipsis = true;
}

// ==== Calculator column

void TdxTreeListCalcColumn::Assign(TPersistent* Source) {
  auto* source = ObjectAs<TdxTreeListCalcColumn>(Source);
  if (!source) {
    inherited::Assign(Source);
    return;
  }
  TdxTreeListUpdateScope update(GetTreeList(), GetTreeList() != nullptr);
  inherited::Assign(Source);
  SetBeepOnError(source->FBeepOnError);
  SetButtonStyle(source->FButtonStyle);
  SetPrecision(source->FPrecision);
  SetQuickClose(source->FQuickClose);
  SetShowButtonFrame(source->FShowButtonFrame);
}

void TdxTreeListCalcColumn::InitEditProperties(TdxInplaceEdit* Editor) {
  inherited::InitEditProperties(Editor);
  auto* calc = ObjectAs<TdxInplaceCalcEdit>(Editor);
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

void TdxTreeListHyperLinkColumn::AssignEditValue(TdxTreeListNode* Node, TdxInplaceEdit* Editor, Variant& Value) {
  if (IsEditValueChanged(Editor))
    inherited::AssignEditValue(Node, Editor, Value);
  else
    ReadNodeValue(this, Node, Value);
}

void TdxTreeListHyperLinkColumn::Assign(TPersistent* Source) {
  auto* source = ObjectAs<TdxTreeListHyperLinkColumn>(Source);
  if (!source) {
    inherited::Assign(Source);
    return;
  }
  TdxTreeListUpdateScope update(GetTreeList(), GetTreeList() != nullptr);
  inherited::Assign(Source);
  SetEditBackgroundColor(source->FEditBackgroundColor);
  SetEditFontColor(source->FEditFontColor);
  SetSingleClick(source->FSingleClick);
  SetStartKey(source->FStartKey);
  OnStartClick = source->OnStartClick;
}

void TdxTreeListHyperLinkColumn::GetCellCursor(TdxTreeListNode* Node, TCursor& Cursor) {
  if (FSingleClick && !GetNodeText(Node).empty())
    Cursor = crDxHandPoint;
}

void TdxTreeListHyperLinkColumn::InitEditProperties(TdxInplaceEdit* Editor) {
  inherited::InitEditProperties(Editor);
  auto* link = ObjectAs<TdxInplaceHyperLinkEdit>(Editor);
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

void TdxTreeListHyperLinkColumn::PrepareViewData(TdxEditViewData* ViewData, TdxTreeListCellViewData* CellInfo) {
  inherited::PrepareViewData(ViewData, CellInfo);
  TFont* font = GetLinkFont();
  ViewData->Font = font->GetHandle();
  if (!CellInfo->Highlighted && font->GetColor() != clDefault)
    ViewData->TextColor = ColorToRGB(font->GetColor());
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

void TdxTreeListTimeColumn::Assign(TPersistent* Source) {
  auto* source = ObjectAs<TdxTreeListTimeColumn>(Source);
  if (!source) {
    inherited::Assign(Source);
    return;
  }
  TdxTreeListUpdateScope update(GetTreeList(), GetTreeList() != nullptr);
  inherited::Assign(Source);
  SetTimeEditFormat(source->FTimeEditFormat);
  SetUseCtrlIncrement(source->FUseCtrlIncrement);
}

void TdxTreeListTimeColumn::AssignEditValue(TdxTreeListNode* Node, TdxInplaceEdit* Editor, Variant& Value) {
  auto* time = ObjectAs<TdxInplaceTimeEdit>(Editor);
  if (!time) {
    inherited::AssignEditValue(Node, Editor, Value);
    return;
  }
  if (!IsEditValueChanged(Editor)) {
    ReadNodeValue(this, Node, Value);
    return;
  }
  Variant value;
  time->GetEditValue(value);
  StoreNodeText(this, Node, value.AsDouble() == 0 ? std::string() : time->GetText(), Value);
}

void TdxTreeListTimeColumn::InitEditProperties(TdxInplaceEdit* Editor) {
  inherited::InitEditProperties(Editor);
  auto* time = ObjectAs<TdxInplaceTimeEdit>(Editor);
  if (!time)
    return;
  time->SetTimeEditFormat(FTimeEditFormat);
  time->SetUseCtrlIncrement(FUseCtrlIncrement);
}

void TdxTreeListTimeColumn::LoadEditValue(TdxTreeListNode* Node, TdxInplaceEdit* Editor, Variant& Value) {
  auto* time = ObjectAs<TdxInplaceTimeEdit>(Editor);
  if (!time) {
    inherited::LoadEditValue(Node, Editor, Value);
    return;
  }
  // The time editor reads a stored time (or an empty text as midnight) itself.
  time->SetEditValue(Variant(GetNodeText(Node)));
  Value = Variant(time->GetText());
}

void TdxTreeListTimeColumn::RestoreDefaults() {
  inherited::RestoreDefaults();
  FTimeEditFormat = tfHourMinSec;
  FUseCtrlIncrement = false;
}

// ==== Currency column

TdxTreeListCurrencyColumn::TdxTreeListCurrencyColumn(TComponent* AOwner)
    : TdxTreeListColumn(AOwner), FDisplayFormat(DefaultCurrencyDisplayFormat()) {}

void TdxTreeListCurrencyColumn::Assign(TPersistent* Source) {
  auto* source = ObjectAs<TdxTreeListCurrencyColumn>(Source);
  if (!source) {
    inherited::Assign(Source);
    return;
  }
  TdxTreeListUpdateScope update(GetTreeList(), GetTreeList() != nullptr);
  inherited::Assign(Source);
  SetDecimalPlaces(source->FDecimalPlaces);
  if (source->FDisplayFormatAssigned)
    SetDisplayFormat(source->FDisplayFormat);
  SetMinValue(source->FMinValue);
  SetMaxValue(source->FMaxValue);
  SetUseThousandSeparator(source->FUseThousandSeparator);
}

void TdxTreeListCurrencyColumn::AssignEditValue(TdxTreeListNode* Node, TdxInplaceEdit* Editor, Variant& Value) {
  auto* currency = ObjectAs<TdxInplaceCurrencyEdit>(Editor);
  if (!currency) {
    inherited::AssignEditValue(Node, Editor, Value);
    return;
  }
  if (!IsEditValueChanged(Editor)) {
    ReadNodeValue(this, Node, Value);
    return;
  }
  StoreNodeText(this, Node, currency->GetValue() == 0 ? std::string() : currency->GetText(), Value);
}

void TdxTreeListCurrencyColumn::InitEditProperties(TdxInplaceEdit* Editor) {
  inherited::InitEditProperties(Editor);
  auto* currency = ObjectAs<TdxInplaceCurrencyEdit>(Editor);
  if (!currency)
    return;
  currency->SetDecimalPlaces(FDecimalPlaces);
  currency->SetDisplayFormat(std::string());
  currency->AssignMinMaxValues(FMinValue, FMaxValue);
  currency->SetUseThousandSeparator(FUseThousandSeparator);
}

void TdxTreeListCurrencyColumn::LoadEditValue(TdxTreeListNode* Node, TdxInplaceEdit* Editor, Variant& Value) {
  inherited::LoadEditValue(Node, Editor, Value);
  auto* currency = ObjectAs<TdxInplaceCurrencyEdit>(Editor);
  if (!currency)
    return;
  // The stored amount is read as whole ten-thousandths, so that no precision is lost
  // on the way; a text that is no amount loads 0.
  const std::string text = GetNodeText(Node);
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
  currency->GetEditValue(Value);
}

void TdxTreeListCurrencyColumn::PrepareViewData(TdxEditViewData* ViewData, TdxTreeListCellViewData* CellInfo) {
  inherited::PrepareViewData(ViewData, CellInfo);
  if (FDisplayFormat.empty())
    return;
  const std::string text = GetNodeText(CellInfo->Node);
  double number = 0;
  if (!text.empty() && !TdxInplaceCurrencyEdit::TextToValue(text, number))
    return;  // a text that is no amount shows as it is
  ViewData->Value = Variant(FormatFloat(FDisplayFormat, number));
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
  Changed(/*AllItems=*/true);
}
