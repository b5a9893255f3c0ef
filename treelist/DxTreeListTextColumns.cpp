// The text column kinds: memo, spin, hyperlink, time and currency columns.
#include "treelist/DxTreeListTextColumns.h"

#include "classlib/Colors.h"
#include "classlib/FlagScope.h"
#include "classlib/FloatFormat.h"
#include "classlib/FormatSettings.h"
#include "classlib/SysUtils.h"
#include "editors/DxExEdtr.h"
#include "editors/DxTextHelpers.h"
#include "treelist/DxTreeListControl.h"

namespace {

// A stored text read as a number; `fallback` for an empty text or one
// that is no number.
double NodeNumber(const std::string& text, double fallback) {
  double value = 0;
  return !text.empty() && TryStrToFloat(text, value) ? value : fallback;
}

}  // namespace

// ==== Memo column

TdxTreeListMemoColumn::TdxTreeListMemoColumn(TComponent* AOwner) : TdxTreeListColumn(AOwner) {
  SetHeaderMaxLineCount(0);
}

void TdxTreeListMemoColumn::AssignEditValue(TdxTreeListNode* node, TdxInplaceEdit* editor, Variant& value) {
  AssignChangedEditValue(this, node, editor, value);
}

void TdxTreeListMemoColumn::Assign(TPersistent* source) {
  auto* other = ObjectAs<TdxTreeListMemoColumn>(source);
  if (!other) {
    inherited::Assign(source);
    return;
  }
  TdxTreeListUpdateScope update(GetTreeList());
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

// ==== Spin column

void TdxTreeListSpinColumn::Assign(TPersistent* source) {
  auto* other = ObjectAs<TdxTreeListSpinColumn>(source);
  if (!other) {
    inherited::Assign(source);
    return;
  }
  TdxTreeListUpdateScope update(GetTreeList());
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
  const TKeepModified keep(spin);
  const TFlagScope loading(spin->LoadingValue);
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

// ==== Hyperlink column

TdxTreeListHyperLinkColumn::~TdxTreeListHyperLinkColumn() { delete FLinkFont; }

void TdxTreeListHyperLinkColumn::AssignEditValue(TdxTreeListNode* node, TdxInplaceEdit* editor, Variant& value) {
  AssignChangedEditValue(this, node, editor, value);
}

void TdxTreeListHyperLinkColumn::Assign(TPersistent* source) {
  auto* other = ObjectAs<TdxTreeListHyperLinkColumn>(source);
  if (!other) {
    inherited::Assign(source);
    return;
  }
  TdxTreeListUpdateScope update(GetTreeList());
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
  TdxTreeListUpdateScope update(GetTreeList());
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
  TdxTreeListUpdateScope update(GetTreeList());
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
  const TKeepModified keep(currency);
  const TFlagScope loading(currency->LoadingValue);
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
