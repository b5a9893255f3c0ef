// The column kinds for the class library's streaming: their published properties, the
// values they store themselves (numbers with a fraction, string lists), and the
// registration of their classes at start-up. The image lists of the image column are
// stored as references to the form's components; the graphic column's tool-bar
// settings as an owned object. Its stored tool-bar position is not written: the column
// only hands it to its editor and never holds any other than "none".
//
// Numbers with a fraction are stored as text in the classic "C" form ("0.25"), so that a
// stored form reads back the same under any locale; string lists as their text, one
// line per string.
//
// The editor sizes a kind stores (edit-button widths, a drop-down list's width and rows,
// the blob popup's size) are read back within the stored limits, as the columns' widths
// are: a damaged form would otherwise make cells and popups that cannot be painted.
#include <clocale>
#include <cstdio>
#include <cstdlib>

#include "classlib/ClassRegistry.h"
#include "classlib/Exceptions.h"
#include "classlib/Filer.h"
#include "classlib/PublishedProperties.h"
#include "classlib/Strings.h"
#include "editors/DxExEdtr.h"
#include "treelist/DxTreeListCheckColumn.h"
#include "treelist/DxTreeListColumns.h"
#include "treelist/DxTreeListDropDownColumns.h"
#include "treelist/DxTreeListPictureColumns.h"
#include "treelist/DxTreeListStoredLimits.h"
#include "treelist/DxTreeListTextColumns.h"
#include "treelist/DxTreeListWrapperColumn.h"

namespace {

std::string FloatText(double value) {
  char buffer[40];
  std::snprintf(buffer, sizeof buffer, "%.17g", value);
  std::string text = buffer;
  // The C runtime follows the process locale; the stored form always uses a point.
  for (char& c : text)
    if (c == ',')
      c = '.';
  return text;
}

double ParseFloatText(const std::string& text) {
  std::string copy = text;
  char* end = nullptr;
  double value = std::strtod(copy.c_str(), &end);
  if (end && *end == '.') {  // a locale with a decimal comma
    for (char& c : copy)
      if (c == '.')
        c = ',';
    value = std::strtod(copy.c_str(), &end);
  }
  if (copy.empty() || !end || *end != '\0')
    throw EReadError(Format("Invalid number in a stored column: '%s'", text.c_str()));
  return value;
}

// A number property of `object` stored as text when it differs from `defaultValue`.
template <class C, double C::*Field>
void DefineFloat(TFiler& filer, C* object, const char* name, double defaultValue) {
  filer.DefineProperty(
      name,
      TReaderProc::FromFunction([](void* data, TReader& reader) {
        static_cast<C*>(data)->*Field = ParseFloatText(reader.ReadString());
      }, object),
      TWriterProc::FromFunction([](void* data, TWriter& writer) {
        writer.WriteString(FloatText(static_cast<C*>(data)->*Field));
      }, object),
      object->*Field != defaultValue);
}

// A string list stored as its text when it holds strings.
void DefineStrings(TFiler& filer, TStrings* list, const char* name) {
  filer.DefineProperty(
      name,
      TReaderProc::FromFunction([](void* data, TReader& reader) {
        static_cast<TStrings*>(data)->SetText(reader.ReadString());
      }, list),
      TWriterProc::FromFunction([](void* data, TWriter& writer) {
        writer.WriteString(static_cast<TStrings*>(data)->GetText());
      }, list),
      list->GetCount() > 0);
}

int gStarts = 0;

// The classes stored forms can name, in registration order.
TClass const* KindClasses(size_t& count) {
  static const TClass classes[] = {
      TdxTreeListMemoColumn::StaticClass(),     TdxTreeListDateColumn::StaticClass(),
      TdxTreeListButtonColumn::StaticClass(),   TdxTreeListCheckColumn::StaticClass(),
      TdxTreeListImageColumn::StaticClass(),    TdxTreeListSpinColumn::StaticClass(),
      TdxTreeListPickColumn::StaticClass(),     TdxTreeListCalcColumn::StaticClass(),
      TdxTreeListHyperLinkColumn::StaticClass(), TdxTreeListTimeColumn::StaticClass(),
      TdxTreeListCurrencyColumn::StaticClass(), TdxTreeListGraphicColumn::StaticClass(),
      TdxTreeListBlobColumn::StaticClass(),     TdxTreeListMRUColumn::StaticClass(),
      TdxTreeListWrapperColumn::StaticClass()};
  count = std::size(classes);
  return classes;
}

void PublishEditButton() {
  using B = TdxEditButton;
  RegisterPublishedProperties(
      B::StaticClass(),
      {OrdinalProperty<&B::GetDefault, &B::SetDefault>("Default", false),
       StoredWhen<&B::HasGlyph>(ObjectProperty<&B::GetGlyph, &B::SetGlyph>("Glyph")),
       OrdinalProperty<&B::GetKind, &B::SetKind>("Kind", bkEllipsis),
       OrdinalProperty<&B::GetLeftAlignment, &B::SetLeftAlignment>("LeftAlignment", false),
       OrdinalProperty<&B::GetVisible, &B::SetVisible>("Visible", true),
       StoredEditorSizeProperty<&B::GetWidth, &B::SetWidth>("Width", 0)});
}

// The tool-bar settings a graphic column writes as an owned object.
void PublishPopupToolBarWindow() {
  using W = TdxPopupToolBarWindow;
  RegisterPublishedProperties(
      W::StaticClass(),
      {OrdinalProperty<&W::GetAlignment, &W::SetAlignment>("Alignment", ptaBottom),
       OrdinalProperty<&W::GetButtons, &W::SetButtons>("Buttons", int32_t(kDxDefaultToolBarButtons.Bits())),
       StringProperty<&W::GetCustomButtonCaption, &W::SetCustomButtonCaption>("CustomButtonCaption"),
       StoredWhen<&W::HasCustomButtonGlyph>(
           ObjectProperty<&W::GetCustomButtonGlyph, &W::SetCustomButtonGlyph>("CustomButtonGlyph")),
       OrdinalProperty<&W::GetIsPopupMenu, &W::SetIsPopupMenu>("IsPopupMenu", true),
       OrdinalProperty<&W::GetShowCaptions, &W::SetShowCaptions>("ShowCaptions", true),
       OrdinalProperty<&W::GetVisible, &W::SetVisible>("Visible", true)});
}

// The base column's MinWidth and HeaderMaxLineCount with a kind's own default.
TPropInfo MinWidthProperty(int defaultValue) {
  return StoredSizeProperty<&TdxTreeListColumn::GetMinWidth, &TdxTreeListColumn::SetMinWidth>("MinWidth",
                                                                                             defaultValue);
}
TPropInfo HeaderMaxLineCountProperty(int defaultValue) {
  return StoredCountProperty<&TdxTreeListColumn::GetHeaderMaxLineCount, &TdxTreeListColumn::SetHeaderMaxLineCount>(
      "HeaderMaxLineCount", defaultValue);
}

}  // namespace

// ==== Published properties

void TdxTreeListMemoColumn::PublishProperties() {
  using C = TdxTreeListMemoColumn;
  RegisterPublishedProperties(StaticClass(),
                              {HeaderMaxLineCountProperty(0),
                               OrdinalProperty<&C::GetHideScrollBars, &C::SetHideScrollBars>("HideScrollBars", true),
                               OrdinalProperty<&C::GetScrollBars, &C::SetScrollBars>("ScrollBars", ssNone),
                               OrdinalProperty<&C::GetSelectionBar, &C::SetSelectionBar>("SelectionBar", false),
                               OrdinalProperty<&C::GetWantReturns, &C::SetWantReturns>("WantReturns", true),
                               OrdinalProperty<&C::GetWantTabs, &C::SetWantTabs>("WantTabs", false),
                               OrdinalProperty<&C::GetWordWrap, &C::SetWordWrap>("WordWrap", true)});
}

void TdxTreeListDropDownColumn::PublishProperties() {
  using C = TdxTreeListDropDownColumn;
  RegisterPublishedProperties(StaticClass(), {OrdinalProperty<&C::GetShowButtonStyle, &C::SetShowButtonStyle>(
                                                 "ShowButtonStyle", int(TdxShowButtonStyle::sbDefault))});
}

void TdxTreeListDropDownColumn::DefineProperties(TFiler& filer) { inherited::DefineProperties(filer); }

namespace {

// The drop-down settings a kind republishes.
TPropInfo ButtonGlyphProperty() {
  using C = TdxTreeListDropDownColumn;
  return StoredWhen<&C::HasButtonGlyph>(ObjectProperty<&C::GetButtonGlyph, &C::SetButtonGlyph>("ButtonGlyph"));
}
TPropInfo PopupAlignmentProperty() {
  using C = TdxTreeListDropDownColumn;
  return OrdinalProperty<&C::GetPopupAlignment, &C::SetPopupAlignment>("PopupAlignment", taLeftJustify);
}
TPropInfo PopupBorderProperty() {
  using C = TdxTreeListDropDownColumn;
  return OrdinalProperty<&C::GetPopupBorder, &C::SetPopupBorder>("PopupBorder", pbDefault);
}

}  // namespace

void TdxTreeListDateColumn::PublishProperties() {
  using C = TdxTreeListDateColumn;
  RegisterPublishedProperties(
      StaticClass(),
      {ButtonGlyphProperty(), PopupAlignmentProperty(), PopupBorderProperty(),
       OrdinalProperty<&C::GetDateButtons, &C::SetDateButtons>("DateButtons",
                                                               int32_t(TDateButtons{btnToday, btnClear}.Bits())),
       OrdinalProperty<&C::GetDateOnError, &C::SetDateOnError>("DateOnError", deToday),
       OrdinalProperty<&C::GetDateValidation, &C::SetDateValidation>("DateValidation", false),
       OrdinalProperty<&C::GetSaveTime, &C::SetSaveTime>("SaveTime", true),
       OrdinalProperty<&C::GetUseEditMask, &C::SetUseEditMask>("UseEditMask", false)});
}

void TdxTreeListButtonColumn::PublishProperties() {
  using C = TdxTreeListButtonColumn;
  RegisterPublishedProperties(
      StaticClass(),
      {OrdinalProperty<&C::GetButtonOnly, &C::SetButtonOnly>("ButtonOnly", false),
       ObjectProperty<&C::GetButtons, &C::SetButtons>("Buttons"),
       OrdinalProperty<&C::GetEditButtonStyle, &C::SetEditButtonStyle>("EditButtonStyle", ebsEllipsis),
       OrdinalProperty<&C::GetClickKey, &C::SetClickKey>("ClickKey", scCtrl | VK_RETURN),
       StoredWhen<&C::IsGlyphStored>(ObjectProperty<&C::GetGlyph, &C::SetGlyph>("Glyph")),
       OrdinalProperty<&C::GetHideEditCursor, &C::SetHideEditCursor>("HideEditCursor", false)});
}

void TdxTreeListCheckColumn::PublishProperties() {
  using C = TdxTreeListCheckColumn;
  RegisterPublishedProperties(
      StaticClass(),
      {MinWidthProperty(16), OrdinalProperty<&C::GetAllowGrayed, &C::SetAllowGrayed>("AllowGrayed", false),
       OrdinalProperty<&C::GetBorder3D, &C::SetBorder3D>("Border3D", false),
       StoredWhen<&C::HasGlyph>(ObjectProperty<&C::GetGlyph, &C::SetGlyph>("Glyph")),
       StoredWhen<&C::HasGlyph>(OrdinalProperty<&C::GetGlyphCount, &C::SetGlyphCount>("GlyphCount", 6)),
       OrdinalProperty<&C::GetShowNullFieldStyle, &C::SetShowNullFieldStyle>("ShowNullFieldStyle", nsUnchecked),
       StoredWhen<&C::IsValueCheckedStored>(StringProperty<&C::GetValueChecked, &C::SetValueChecked>("ValueChecked")),
       StringProperty<&C::GetValueGrayed, &C::SetValueGrayed>("ValueGrayed"),
       StoredWhen<&C::IsValueUncheckedStored>(
           StringProperty<&C::GetValueUnchecked, &C::SetValueUnchecked>("ValueUnchecked"))});
}

void TdxTreeListImageColumn::PublishProperties() {
  using C = TdxTreeListImageColumn;
  RegisterPublishedProperties(
      StaticClass(),
      {MinWidthProperty(16), OrdinalProperty<&C::GetDefaultImages, &C::SetDefaultImages>("DefaultImages", true),
       // The image lists are the form's: stored as references by name.
       ObjectProperty<&C::GetImages, &C::SetImages>("Images"),
       OrdinalProperty<&C::GetIncremental, &C::SetIncremental>("Incremental", false),
       ObjectProperty<&C::GetLargeImages, &C::SetLargeImages>("LargeImages"),
       StoredEditorSizeProperty<&C::GetListWidth, &C::SetListWidth>("ListWidth", 0),
       OrdinalProperty<&C::GetMultiLineText, &C::SetMultiLineText>("MultiLineText", false),
       OrdinalProperty<&C::GetShowDescription, &C::SetShowDescription>("ShowDescription", false)});
}

void TdxTreeListImageColumn::DefineProperties(TFiler& filer) {
  inherited::DefineProperties(filer);
  DefineStrings(filer, FDescriptions.get(), "Descriptions");
  DefineStrings(filer, FImageIndexes.get(), "ImageIndexes");
  DefineStrings(filer, FValues.get(), "Values");
}

void TdxTreeListSpinColumn::PublishProperties() {
  using C = TdxTreeListSpinColumn;
  RegisterPublishedProperties(
      StaticClass(),
      {OrdinalProperty<&C::GetEditorEnabled, &C::SetEditorEnabled>("EditorEnabled", true),
       OrdinalProperty<&C::GetShowButtonStyle, &C::SetShowButtonStyle>("ShowButtonStyle",
                                                                      int(TdxShowButtonStyle::sbDefault)),
       OrdinalProperty<&C::GetUseCtrlIncrement, &C::SetUseCtrlIncrement>("UseCtrlIncrement", false),
       OrdinalProperty<&C::GetValueType, &C::SetValueType>("ValueType", vtInt)});
}

void TdxTreeListSpinColumn::DefineProperties(TFiler& filer) {
  inherited::DefineProperties(filer);
  DefineFloat<TdxTreeListSpinColumn, &TdxTreeListSpinColumn::FIncrement>(filer, this, "Increment", 1.0);
  DefineFloat<TdxTreeListSpinColumn, &TdxTreeListSpinColumn::FMinValue>(filer, this, "MinValue", 0);
  DefineFloat<TdxTreeListSpinColumn, &TdxTreeListSpinColumn::FMaxValue>(filer, this, "MaxValue", 0);
}

void TdxTreeListPickColumn::PublishProperties() {
  using C = TdxTreeListPickColumn;
  using D = TdxTreeListDropDownColumn;
  RegisterPublishedProperties(
      StaticClass(),
      {ButtonGlyphProperty(), StoredEditorCountProperty<&D::GetDropDownRows, &D::SetDropDownRows>("DropDownRows", 7),
       StoredEditorSizeProperty<&D::GetDropDownWidth, &D::SetDropDownWidth>("DropDownWidth", 0),
       StoredWhen<&C::IsImmediateDropDownStored>(
           OrdinalProperty<&D::GetImmediateDropDown, &D::SetImmediateDropDown>("ImmediateDropDown")),
       PopupAlignmentProperty(), PopupBorderProperty(),
       OrdinalProperty<&C::GetDropDownListStyle, &C::SetDropDownListStyle>("DropDownListStyle", false),
       OrdinalProperty<&C::GetItemsSorted, &C::SetItemsSorted>("ItemsSorted", false),
       OrdinalProperty<&C::GetCanDeleteText, &C::SetCanDeleteText>("CanDeleteText", false),
       OrdinalProperty<&C::GetRevertable, &C::SetRevertable>("Revertable", false)});
}

void TdxTreeListPickColumn::DefineProperties(TFiler& filer) {
  inherited::DefineProperties(filer);
  DefineStrings(filer, FItems.get(), "Items");
}

void TdxTreeListMRUColumn::PublishProperties() {
  using C = TdxTreeListMRUColumn;
  RegisterPublishedProperties(StaticClass(),
                              {OrdinalProperty<&C::GetMaxItemCount, &C::SetMaxItemCount>("MaxItemCount", 7),
                               OrdinalProperty<&C::GetShowEllipsis, &C::SetShowEllipsis>("ShowEllipsis", true)});
}

void TdxTreeListCalcColumn::PublishProperties() {
  using C = TdxTreeListCalcColumn;
  RegisterPublishedProperties(StaticClass(),
                              {OrdinalProperty<&C::GetBeepOnError, &C::SetBeepOnError>("BeepOnError", true),
                               OrdinalProperty<&C::GetButtonStyle, &C::SetButtonStyle>("ButtonStyle", bsStandard),
                               OrdinalProperty<&C::GetPrecision, &C::SetPrecision>("Precision", 13),
                               OrdinalProperty<&C::GetQuickClose, &C::SetQuickClose>("QuickClose", false),
                               OrdinalProperty<&C::GetShowButtonFrame, &C::SetShowButtonFrame>("ShowButtonFrame",
                                                                                              false)});
}

void TdxTreeListHyperLinkColumn::PublishProperties() {
  using C = TdxTreeListHyperLinkColumn;
  RegisterPublishedProperties(
      StaticClass(),
      {OrdinalProperty<&C::GetEditBackgroundColor, &C::SetEditBackgroundColor>("EditBackgroundColor", clWhite),
       OrdinalProperty<&C::GetEditFontColor, &C::SetEditFontColor>("EditFontColor", clBlue),
       OrdinalProperty<&C::GetSingleClick, &C::SetSingleClick>("SingleClick", false),
       OrdinalProperty<&C::GetStartKey, &C::SetStartKey>("StartKey", scCtrl | VK_RETURN)});
}

void TdxTreeListTimeColumn::PublishProperties() {
  using C = TdxTreeListTimeColumn;
  RegisterPublishedProperties(
      StaticClass(),
      {OrdinalProperty<&C::GetTimeEditFormat, &C::SetTimeEditFormat>("TimeEditFormat", tfHourMinSec),
       OrdinalProperty<&C::GetUseCtrlIncrement, &C::SetUseCtrlIncrement>("UseCtrlIncrement", false)});
}

void TdxTreeListCurrencyColumn::PublishProperties() {
  using C = TdxTreeListCurrencyColumn;
  RegisterPublishedProperties(
      StaticClass(),
      {OrdinalProperty<&C::GetDecimalPlaces, &C::SetDecimalPlaces>("DecimalPlaces", 2),
       StoredWhen<&C::IsDisplayFormatAssigned>(StringProperty<&C::GetDisplayFormat, &C::SetDisplayFormat>("DisplayFormat")),
       OrdinalProperty<&C::GetUseThousandSeparator, &C::SetUseThousandSeparator>("UseThousandSeparator", false)});
}

void TdxTreeListCurrencyColumn::DefineProperties(TFiler& filer) {
  inherited::DefineProperties(filer);
  DefineFloat<TdxTreeListCurrencyColumn, &TdxTreeListCurrencyColumn::FMinValue>(filer, this, "MinValue", 0);
  DefineFloat<TdxTreeListCurrencyColumn, &TdxTreeListCurrencyColumn::FMaxValue>(filer, this, "MaxValue", 0);
}

void TdxTreeListGraphicColumn::PublishProperties() {
  using C = TdxTreeListGraphicColumn;
  RegisterPublishedProperties(
      StaticClass(),
      {HeaderMaxLineCountProperty(0), OrdinalProperty<&C::GetCenter, &C::SetCenter>("Center", true),
       StringProperty<&C::GetCustomFilter, &C::SetCustomFilter>("CustomFilter"),
       OrdinalProperty<&C::GetCustomGraphic, &C::SetCustomGraphic>("CustomGraphic", false),
       OrdinalProperty<&C::GetDblClickActivate, &C::SetDblClickActivate>("DblClickActivate", true),
       OrdinalProperty<&C::GetGraphicTransparency, &C::SetGraphicTransparency>("GraphicTransparency", gtDefault),
       // Written only when a setting differs from its default.
       ObjectProperty<&C::GetPopupToolBar, &C::SetPopupToolBar>("PopupToolBar"),
       OrdinalProperty<&C::GetPopupToolbarPosStored, &C::SetPopupToolbarPosStored>("PopupToolbarPosStored", true),
       OrdinalProperty<&C::GetQuickDraw, &C::SetQuickDraw>("QuickDraw", false),
       OrdinalProperty<&C::GetShadowSelection, &C::SetShadowSelection>("ShadowSelection", true),
       OrdinalProperty<&C::GetStretch, &C::SetStretch>("Stretch", true)});
}

void TdxTreeListBlobColumn::PublishProperties() {
  using C = TdxTreeListBlobColumn;
  using D = TdxTreeListDropDownColumn;
  RegisterPublishedProperties(
      StaticClass(),
      {MinWidthProperty(20), OrdinalProperty<&C::GetAlwaysSaveText, &C::SetAlwaysSaveText>("AlwaysSaveText", false),
       OrdinalProperty<&C::GetBlobEditKind, &C::SetBlobEditKind>("BlobEditKind", bekMemo),
       OrdinalProperty<&C::GetBlobPaintStyle, &C::SetBlobPaintStyle>("BlobPaintStyle", bpsIcon),
       OrdinalProperty<&D::GetImmediatePopup, &D::SetImmediatePopup>("ImmediatePopup", false),
       OrdinalProperty<&C::GetMaxDisplayLength, &C::SetMaxDisplayLength>("MaxDisplayLength", 255),
       OrdinalProperty<&C::GetMemoCharCase, &C::SetMemoCharCase>("MemoCharCase", ecNormal),
       OrdinalProperty<&C::GetMemoHideScrollBars, &C::SetMemoHideScrollBars>("MemoHideScrollBars", true),
       OrdinalProperty<&C::GetMemoMaxLength, &C::SetMemoMaxLength>("MemoMaxLength", 0),
       OrdinalProperty<&C::GetMemoOEMConvert, &C::SetMemoOEMConvert>("MemoOEMConvert", false),
       OrdinalProperty<&C::GetMemoScrollBars, &C::SetMemoScrollBars>("MemoScrollBars", ssBoth),
       OrdinalProperty<&C::GetMemoSelectionBar, &C::SetMemoSelectionBar>("MemoSelectionBar", false),
       OrdinalProperty<&C::GetMemoWantReturns, &C::SetMemoWantReturns>("MemoWantReturns", true),
       OrdinalProperty<&C::GetMemoWantTabs, &C::SetMemoWantTabs>("MemoWantTabs", true),
       OrdinalProperty<&C::GetMemoWordWrap, &C::SetMemoWordWrap>("MemoWordWrap", true),
       OrdinalProperty<&C::GetPictureAutoSize, &C::SetPictureAutoSize>("PictureAutoSize", true),
       StringProperty<&C::GetPictureFilter, &C::SetPictureFilter>("PictureFilter"),
       OrdinalProperty<&C::GetPictureTransparency, &C::SetPictureTransparency>("PictureTransparency", gtDefault),
       StoredEditorSizeProperty<&C::GetPopupHeight, &C::SetPopupHeight>("PopupHeight", 140),
       StoredEditorSizeProperty<&C::GetPopupWidth, &C::SetPopupWidth>("PopupWidth", 200),
       OrdinalProperty<&C::GetShowExPopupItems, &C::SetShowExPopupItems>("ShowExPopupItems", false),
       OrdinalProperty<&C::GetShowPicturePopup, &C::SetShowPicturePopup>("ShowPicturePopup", false),
       OrdinalProperty<&C::GetSizeablePopup, &C::SetSizeablePopup>("SizeablePopup", true)});
}

// ==== Start-up

void InitializeDxTreeListColumnKinds() {
  if (gStarts++ > 0)
    return;
  SetDxCheckColumnDefaults(DxLoadStr(38901), DxLoadStr(38902));
  size_t count = 0;
  const TClass* classes = KindClasses(count);
  for (size_t i = 0; i < count; ++i)
    RegisterClass(classes[i]);
  PublishEditButton();
  PublishPopupToolBarWindow();
  TdxTreeListMemoColumn::PublishProperties();
  TdxTreeListDropDownColumn::PublishProperties();
  TdxTreeListDateColumn::PublishProperties();
  TdxTreeListButtonColumn::PublishProperties();
  TdxTreeListCheckColumn::PublishProperties();
  TdxTreeListImageColumn::PublishProperties();
  TdxTreeListSpinColumn::PublishProperties();
  TdxTreeListPickColumn::PublishProperties();
  TdxTreeListMRUColumn::PublishProperties();
  TdxTreeListCalcColumn::PublishProperties();
  TdxTreeListHyperLinkColumn::PublishProperties();
  TdxTreeListTimeColumn::PublishProperties();
  TdxTreeListCurrencyColumn::PublishProperties();
  TdxTreeListGraphicColumn::PublishProperties();
  TdxTreeListBlobColumn::PublishProperties();
}

void FinalizeDxTreeListColumnKinds() {
  if (gStarts == 0 || --gStarts > 0)
    return;
  size_t count = 0;
  const TClass* classes = KindClasses(count);
  for (size_t i = count; i-- > 0;) {
    UnRegisterPublishedProperties(classes[i]);
    UnRegisterClass(classes[i]);
  }
  UnRegisterPublishedProperties(TdxTreeListDropDownColumn::StaticClass());
  UnRegisterPublishedProperties(TdxPopupToolBarWindow::StaticClass());
  UnRegisterPublishedProperties(TdxEditButton::StaticClass());
  SetDxCheckColumnDefaults(std::string(), std::string());
}
