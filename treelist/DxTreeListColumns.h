// The column kinds of the tree list: one column class per in-place editor kind (memo,
// drop-down, date, button, check, image, spin, pick, MRU, calculator, hyperlink, time,
// currency, graphic and blob), and the wrapper column that lends each cell to another
// column chosen per node.
//
// A kind pairs the column with its editor class (TdxInplaceTreeList<Kind>Edit, derived
// from the library editor of that kind and adding nothing, so that the tree list can tell
// its editors apart). It copies its own settings into the editor when the tree list
// dresses it (InitEditProperties) and into the view data a cell is painted from
// (PrepareViewData), and converts between the node's stored text and the editor's value
// (LoadEditValue, AssignEditValue). Node values stay texts.
//
// An editor that was not modified stores nothing: visiting a cell leaves its text as it
// was, whatever the kind's conversion would make of it.
//
// Start-up (InitializeDxTreeListColumnKinds) registers fifteen of the classes (all but
// the drop-down column) with the class registry so that stored forms can name them.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "classlib/Bitmap.h"
#include "classlib/Graphic.h"
#include "classlib/ImageList.h"
#include "classlib/Menus.h"
#include "classlib/StringList.h"
#include "editors/DxInplaceBlobEdit.h"
#include "editors/DxInplaceButtonEdit.h"
#include "editors/DxInplaceCalcEdit.h"
#include "editors/DxInplaceCheckEdit.h"
#include "editors/DxInplaceCurrencyEdit.h"
#include "editors/DxInplaceDateEdit.h"
#include "editors/DxInplaceDropDownEdit.h"
#include "editors/DxInplaceGraphicEdit.h"
#include "editors/DxInplaceHyperLinkEdit.h"
#include "editors/DxInplaceImageEdit.h"
#include "editors/DxInplaceMRUEdit.h"
#include "editors/DxInplaceMemoEdit.h"
#include "editors/DxInplacePickEdit.h"
#include "editors/DxInplaceSpinEdit.h"
#include "editors/DxInplaceTimeEdit.h"
#include "treelist/DxTreeListColumn.h"

// ==== The tree list's editor classes of the column kinds

#define DX_TREELIST_EDIT(Kind)                                                             \
  class TdxInplaceTreeList##Kind##Edit : public TdxInplace##Kind##Edit {                  \
    KIVO_CLASS(TdxInplaceTreeList##Kind##Edit, TdxInplace##Kind##Edit)                     \
   public:                                                                                 \
    explicit TdxInplaceTreeList##Kind##Edit(TComponent* AOwner)                            \
        : TdxInplace##Kind##Edit(AOwner, &MetaClass()) {}                                  \
  };
DX_TREELIST_EDIT(Memo)
DX_TREELIST_EDIT(DropDown)
DX_TREELIST_EDIT(Date)
DX_TREELIST_EDIT(Button)
DX_TREELIST_EDIT(Check)
DX_TREELIST_EDIT(Image)
DX_TREELIST_EDIT(Spin)
DX_TREELIST_EDIT(Pick)
DX_TREELIST_EDIT(Calc)
DX_TREELIST_EDIT(HyperLink)
DX_TREELIST_EDIT(Time)
DX_TREELIST_EDIT(Currency)
DX_TREELIST_EDIT(Graphic)
DX_TREELIST_EDIT(MRU)
DX_TREELIST_EDIT(Blob)
#undef DX_TREELIST_EDIT

// ==== Shared types

// When a cell shows its edit button: for the focused node only, always, or never.
enum class TdxShowButtonStyle : uint8_t { sbDefault, sbAlways, sbNone };
// The first button of a button column: none, or one of the given kind.
enum TdxEditButtonStyle : uint8_t { ebsSimple, ebsEllipsis, ebsDown, ebsGlyph };

// (Sender, const Text, State): a check cell was toggled.
using TdxToggleEvent = TEvent<TObject* /*Sender*/, const std::string& /*Text*/, TdxCheckBoxState /*State*/>;
// (Sender, var Value, var Accept).
using TdxTLPickColumnCloseUp = TEvent<TObject* /*Sender*/, Variant& /*Value*/, bool& /*Accept*/>;
using TdxTLImageColumnCloseUp = TEvent<TObject* /*Sender*/, std::string& /*Value*/, bool& /*Accept*/>;
// (Sender: the column, Node, var GraphicClass).
using TdxTLGetGraphicClassEvent =
    TEvent<TObject* /*Sender*/, TdxTreeListNode* /*Node*/, TGraphicClass& /*GraphicClass*/>;
// (Sender, Node, var Column): the column a wrapper column's cell is handed to.
using TdxTLGetReferenceColumnEvent =
    TEvent<TObject* /*Sender*/, TdxTreeListNode* /*Node*/, TdxTreeListColumn*& /*Column*/>;

// The node's value of the column's cell as the control answers it (the cell's text
// without a control): what AssignEditValue hands back.
void ReadNodeValue(TdxTreeListColumn* column, TdxTreeListNode* node, Variant& value);

// Whether an editor's value is to be stored: it was modified. A cell only visited keeps
// its text, also where the kind's conversion would rewrite it.
inline bool IsEditValueChanged(TdxInplaceEdit* editor) { return editor && editor->GetModified(); }

// ==== Memo column

class TdxTreeListMemoColumn : public TdxTreeListColumn {
  KIVO_CLASS(TdxTreeListMemoColumn, TdxTreeListColumn)
 public:
  explicit TdxTreeListMemoColumn(TComponent* AOwner);
  void Assign(TPersistent* source) override;
  // Stores nothing for an editor that was not modified.
  void AssignEditValue(TdxTreeListNode* node, TdxInplaceEdit* editor, Variant& value) override;
  const TdxInplaceEditClass* GetEditorClass() override { return &TdxInplaceTreeListMemoEdit::MetaClass(); }
  void InitEditProperties(TdxInplaceEdit* editor) override;
  void PrepareViewData(TdxEditViewData* viewData, TdxTreeListCellViewData* cellInfo) override;
  bool EditorKindQuery() override { return true; }
  void RestoreDefaults() override;
  static void PublishProperties();

  bool GetHideScrollBars() const { return FHideScrollBars; }
  void SetHideScrollBars(bool value) { Store(FHideScrollBars, value, false); }
  TScrollStyle GetScrollBars() const { return FScrollBars; }
  void SetScrollBars(TScrollStyle value) { Store(FScrollBars, value, false); }
  bool GetSelectionBar() const { return FSelectionBar; }
  void SetSelectionBar(bool value) { Store(FSelectionBar, value, true); }
  bool GetWantReturns() const { return FWantReturns; }
  void SetWantReturns(bool value) { Store(FWantReturns, value, false); }
  bool GetWantTabs() const { return FWantTabs; }
  void SetWantTabs(bool value) { Store(FWantTabs, value, false); }
  bool GetWordWrap() const { return FWordWrap; }
  void SetWordWrap(bool value) { Store(FWordWrap, value, false); }

 private:
  bool FHideScrollBars = true;
  TScrollStyle FScrollBars = ssNone;
  bool FSelectionBar = false;
  bool FWantReturns = true;
  bool FWantTabs = false;
  bool FWordWrap = true;
};

// ==== Drop-down column: the base of the kinds whose editor has a drop-down button

class TdxTreeListDropDownColumn : public TdxTreeListColumn {
  KIVO_CLASS(TdxTreeListDropDownColumn, TdxTreeListColumn)
 public:
  explicit TdxTreeListDropDownColumn(TComponent* AOwner) : TdxTreeListColumn(AOwner) {}
  ~TdxTreeListDropDownColumn() override;
  void Assign(TPersistent* source) override;
  // Stores nothing for an editor that was not modified.
  void AssignEditValue(TdxTreeListNode* node, TdxInplaceEdit* editor, Variant& value) override;
  const TdxInplaceEditClass* GetEditorClass() override { return &TdxInplaceTreeListDropDownEdit::MetaClass(); }
  // The glyph, the list sizes and the popup settings; the close-up and button-click
  // events of the editor come to the column.
  void InitEditProperties(TdxInplaceEdit* editor) override;
  // The button glyph, and the button hidden where ShowEditButton says so.
  void PrepareViewData(TdxEditViewData* viewData, TdxTreeListCellViewData* cellInfo) override;
  bool CellOptionQuery(TdxTreeListNode* node, TdxTreeListHitTest hitTest) override { return true; }
  bool ButtonQuery(bool defaultValue) override;
  void RestoreDefaults() override;

  virtual void DoCloseUp(Variant& value, bool& accept) {}
  virtual void DoEditButtonClick() { OnEditButtonClick(this); }
  // Whether the cell of `node` shows its button (see ShowCellButton).
  virtual bool ShowEditButton(TdxTreeListNode* node);

  // Made on first read.
  TBitmap* GetButtonGlyph();
  // A bitmap with a picture is copied; null or an empty bitmap frees the glyph.
  void SetButtonGlyph(TBitmap* value);
  bool HasButtonGlyph() const { return FButtonGlyph && !FButtonGlyph->GetEmpty(); }
  int GetDropDownRows() const { return FDropDownRows; }
  void SetDropDownRows(int value) { Store(FDropDownRows, value, false); }
  int GetDropDownWidth() const { return FDropDownWidth; }
  void SetDropDownWidth(int value) { Store(FDropDownWidth, value, false); }
  bool GetImmediateDropDown() const { return FImmediateDropDown; }
  void SetImmediateDropDown(bool value) { Store(FImmediateDropDown, value, false); }
  bool GetImmediatePopup() const { return FImmediatePopup; }
  void SetImmediatePopup(bool value) { Store(FImmediatePopup, value, false); }
  TAlignment GetPopupAlignment() const { return FPopupAlignment; }
  void SetPopupAlignment(TAlignment value) { Store(FPopupAlignment, value, false); }
  TdxPopupBorder GetPopupBorder() const { return FPopupBorder; }
  void SetPopupBorder(TdxPopupBorder value) { Store(FPopupBorder, value, false); }
  TdxShowButtonStyle GetShowButtonStyle() const { return FShowButtonStyle; }
  void SetShowButtonStyle(TdxShowButtonStyle value) { Store(FShowButtonStyle, value, false); }

  static void PublishProperties();

  TNotifyEvent OnEditButtonClick;

 protected:
  void DefineProperties(TFiler& filer) override;
  // The editor's close-up and button-click events, bound to the column.
  void EditorCloseUp(TObject* sender, Variant& value, bool& accept) { DoCloseUp(value, accept); }
  void EditorButtonClick(TObject* sender) { DoEditButtonClick(); }
  // The button glyph for streaming (stored when it has a picture).
  bool IsButtonGlyphStored() { return HasButtonGlyph(); }

 private:
  TBitmap* FButtonGlyph = nullptr;
  int FDropDownRows = 7;
  int FDropDownWidth = 0;
  bool FImmediateDropDown = false;
  bool FImmediatePopup = false;
  TAlignment FPopupAlignment = taLeftJustify;
  TdxPopupBorder FPopupBorder = pbDefault;
  TdxShowButtonStyle FShowButtonStyle = TdxShowButtonStyle::sbDefault;
};

// ==== Date column

class TdxTreeListDateColumn : public TdxTreeListDropDownColumn {
  KIVO_CLASS(TdxTreeListDateColumn, TdxTreeListDropDownColumn)
 public:
  explicit TdxTreeListDateColumn(TComponent* AOwner) : TdxTreeListDropDownColumn(AOwner) {}
  void Assign(TPersistent* source) override;
  const TdxInplaceEditClass* GetEditorClass() override { return &TdxInplaceTreeListDateEdit::MetaClass(); }
  void InitEditProperties(TdxInplaceEdit* editor) override;
  void RestoreDefaults() override;
  static void PublishProperties();

  TDateButtons GetDateButtons() const { return FDateButtons; }
  void SetDateButtons(TDateButtons value) { Store(FDateButtons, value, false); }
  TDateOnError GetDateOnError() const { return FDateOnError; }
  void SetDateOnError(TDateOnError value) { Store(FDateOnError, value, false); }
  bool GetDateValidation() const { return FDateValidation; }
  void SetDateValidation(bool value) { Store(FDateValidation, value, false); }
  bool GetSaveTime() const { return FSaveTime; }
  void SetSaveTime(bool value) { Store(FSaveTime, value, false); }
  bool GetUseEditMask() const { return FUseEditMask; }
  void SetUseEditMask(bool value) { Store(FUseEditMask, value, false); }

  TdxDateValidateInput OnDateValidateInput;

 private:
  // The editor's validate-input event, handed on with the column as Sender.
  void EditorDateValidateInput(TObject* sender, const std::string& aText, TDateTime& aDate, std::string& aMessage,
                               bool& aError) {
    OnDateValidateInput(this, aText, aDate, aMessage, aError);
  }

  TDateButtons FDateButtons{btnToday, btnClear};
  TDateOnError FDateOnError = deToday;
  bool FDateValidation = false;
  bool FSaveTime = true;
  bool FUseEditMask = false;
};

// ==== Button column

class TdxTreeListButtonColumn;

// The buttons of a button column: every change reaches the column's tree list.
class TdxColumnEditButtons : public TdxEditButtons {
  KIVO_CLASS(TdxColumnEditButtons, TdxEditButtons)
 public:
  using TdxEditButtons::TdxEditButtons;

 protected:
  void Update(TCollectionItem* item) override;
};

class TdxTreeListButtonColumn : public TdxTreeListDropDownColumn {
  KIVO_CLASS(TdxTreeListButtonColumn, TdxTreeListDropDownColumn)
 public:
  explicit TdxTreeListButtonColumn(TComponent* AOwner);
  ~TdxTreeListButtonColumn() override;
  void Assign(TPersistent* source) override;
  const TdxInplaceEditClass* GetEditorClass() override { return &TdxInplaceTreeListButtonEdit::MetaClass(); }
  void InitEditProperties(TdxInplaceEdit* editor) override;
  void PrepareViewData(TdxEditViewData* viewData, TdxTreeListCellViewData* cellInfo) override;
  // The button defaults of every button; a collection left without buttons gets one.
  void RestoreDefaults() override;
  static void PublishProperties();

  virtual void DoButtonClick(int absoluteIndex) { OnButtonClick(this, absoluteIndex); }

  bool GetButtonOnly() const { return FButtonOnly; }
  void SetButtonOnly(bool value) { Store(FButtonOnly, value, false); }
  TdxColumnEditButtons* GetButtons() const { return FButtons.get(); }
  void SetButtons(TdxEditButtons* value) { FButtons->Assign(value); }
  TdxEditButtonStyle GetEditButtonStyle() const { return FEditButtonStyle; }
  // ebsSimple clears the buttons; the others make sure the first one exists, of that kind.
  void SetEditButtonStyle(TdxEditButtonStyle value);
  TShortCut GetClickKey() const { return FClickKey; }
  void SetClickKey(TShortCut value) { Store(FClickKey, value, false); }
  // Owned; made with the column.
  TBitmap* GetGlyph() const { return FGlyph.get(); }
  // Copied into the column's bitmap and into the first button's glyph.
  void SetGlyph(TBitmap* value);
  bool GetHideEditCursor() const { return FHideEditCursor; }
  void SetHideEditCursor(bool value) { Store(FHideEditCursor, value, false); }

  TdxEditButtonClickEvent OnButtonClick;

 private:
  friend class TdxColumnEditButtons;
  void EditorButtonClick(TObject* sender, int absoluteIndex) { DoButtonClick(absoluteIndex); }
  bool IsGlyphStored() { return !FGlyph->GetEmpty(); }
  void ButtonsChanged() { Changed(/*allItems=*/true); }

  bool FButtonOnly = false;
  std::unique_ptr<TdxColumnEditButtons> FButtons;
  TdxEditButtonStyle FEditButtonStyle = ebsEllipsis;
  TShortCut FClickKey = scCtrl | VK_RETURN;
  std::unique_ptr<TBitmap> FGlyph;
  bool FHideEditCursor = false;
};

// ==== Check column

class TdxTreeListCheckColumn : public TdxTreeListColumn {
  KIVO_CLASS(TdxTreeListCheckColumn, TdxTreeListColumn)
 public:
  explicit TdxTreeListCheckColumn(TComponent* AOwner);
  ~TdxTreeListCheckColumn() override;
  void Assign(TPersistent* source) override;
  // The text of the editor's state, when it was modified.
  void AssignEditValue(TdxTreeListNode* node, TdxInplaceEdit* editor, Variant& value) override;
  // Toggles are reported through OnToggleClick.
  void DoChange(TObject* sender) override;
  const TdxInplaceEditClass* GetEditorClass() override { return &TdxInplaceTreeListCheckEdit::MetaClass(); }
  int GetMinCellHeight() override;
  void InitEditProperties(TdxInplaceEdit* editor) override;
  // The editor's state from the node's text.
  void LoadEditValue(TdxTreeListNode* node, TdxInplaceEdit* editor, Variant& value) override;
  void PrepareViewData(TdxEditViewData* viewData, TdxTreeListCellViewData* cellInfo) override;
  // A text shows as the text of its state: ValueGrayed unless it is one of the two values.
  void GetDisplayText(TdxTreeListNode* node, const std::string& text, std::string& result) override;
  void RestoreDefaults() override;
  static void PublishProperties();

  // ValueChecked (ignoring case) is checked, else ValueUnchecked unchecked, else grayed.
  TdxCheckBoxState StateOf(const std::string& text) const;
  const std::string& TextOf(TdxCheckBoxState state) const;

  bool GetAllowGrayed() const { return FAllowGrayed; }
  void SetAllowGrayed(bool value) { Store(FAllowGrayed, value, false); }
  bool GetBorder3D() const { return FBorder3D; }
  void SetBorder3D(bool value) { Store(FBorder3D, value, true); }
  // Made on first read.
  TBitmap* GetGlyph();
  // Copied; null frees the glyph.
  void SetGlyph(TBitmap* value);
  bool HasGlyph() const { return FGlyph && !FGlyph->GetEmpty(); }
  int GetGlyphCount() const { return FGlyphCount; }
  // Stored only while the column has a glyph.
  void SetGlyphCount(int value);
  TdxShowNullFieldStyle GetShowNullFieldStyle() const { return FShowNullFieldStyle; }
  void SetShowNullFieldStyle(TdxShowNullFieldStyle value) { Store(FShowNullFieldStyle, value, true); }
  const std::string& GetValueChecked() const { return FValueChecked; }
  void SetValueChecked(const std::string& value) { Store(FValueChecked, value, true); }
  const std::string& GetValueGrayed() const { return FValueGrayed; }
  void SetValueGrayed(const std::string& value) { Store(FValueGrayed, value, true); }
  const std::string& GetValueUnchecked() const { return FValueUnchecked; }
  void SetValueUnchecked(const std::string& value) { Store(FValueUnchecked, value, true); }

  TdxToggleEvent OnToggleClick;

 private:
  bool IsValueCheckedStored() { return FValueChecked != DefaultValueChecked(); }
  bool IsValueUncheckedStored() { return FValueUnchecked != DefaultValueUnchecked(); }
  static std::string DefaultValueChecked();
  static std::string DefaultValueUnchecked();

  bool FAllowGrayed = false;
  bool FBorder3D = false;
  TBitmap* FGlyph = nullptr;
  int FGlyphCount = 6;
  TdxShowNullFieldStyle FShowNullFieldStyle = nsUnchecked;
  std::string FValueChecked;
  std::string FValueGrayed;
  std::string FValueUnchecked;
};

// ==== Image column

class TdxTreeListImageColumn : public TdxTreeListDropDownColumn {
  KIVO_CLASS(TdxTreeListImageColumn, TdxTreeListDropDownColumn)
 public:
  explicit TdxTreeListImageColumn(TComponent* AOwner);
  ~TdxTreeListImageColumn() override;
  void Assign(TPersistent* source) override;
  const TdxInplaceEditClass* GetEditorClass() override { return &TdxInplaceTreeListImageEdit::MetaClass(); }
  int GetMinCellHeight() override { return FImages ? FImages->GetHeight() : 0; }
  void InitEditProperties(TdxInplaceEdit* editor) override;
  void PrepareViewData(TdxEditViewData* viewData, TdxTreeListCellViewData* cellInfo) override;
  // The description's width and the image width.
  int GetNodeTextWidth(TCanvas* canvas, TdxTreeListNode* node) override;
  // The description of the value's entry, else the value itself.
  void GetDisplayText(TdxTreeListNode* node, const std::string& text, std::string& result) override;
  void DoCloseUp(Variant& value, bool& accept) override;
  void RestoreDefaults() override;
  static void PublishProperties();

  bool GetDefaultImages() const { return FDefaultImages; }
  void SetDefaultImages(bool value) { Store(FDefaultImages, value, false); }
  TStringList* GetDescriptions() const { return FDescriptions.get(); }
  void SetDescriptions(TStrings* value) { FDescriptions->Assign(value); }
  TStringList* GetImageIndexes() const { return FImageIndexes.get(); }
  void SetImageIndexes(TStrings* value) { FImageIndexes->Assign(value); }
  TStringList* GetValues() const { return FValues.get(); }
  void SetValues(TStrings* value) { FValues->Assign(value); }
  TCustomImageList* GetImages() const { return FImages; }
  void SetImages(TCustomImageList* value) { ReplaceImages(FImages, FImagesLink.get(), value); }
  TCustomImageList* GetLargeImages() const { return FLargeImages; }
  void SetLargeImages(TCustomImageList* value) { ReplaceImages(FLargeImages, FLargeImagesLink.get(), value); }
  bool GetIncremental() const { return FIncremental; }
  void SetIncremental(bool value) { Store(FIncremental, value, false); }
  // The drop-down list's width.
  int GetListWidth() const { return GetDropDownWidth(); }
  void SetListWidth(int value) { SetDropDownWidth(value); }
  bool GetMultiLineText() const { return FMultiLineText; }
  void SetMultiLineText(bool value) { Store(FMultiLineText, value, false); }
  bool GetShowDescription() const { return FShowDescription; }
  void SetShowDescription(bool value) { Store(FShowDescription, value, false); }

  TdxTLImageColumnCloseUp OnCloseUp;

 protected:
  void Notification(TComponent* AComponent, TOperation operation) override;
  void DefineProperties(TFiler& filer) override;

 private:
  void ImagesChanged(TObject* sender) { Changed(/*allItems=*/true); }
  void ReplaceImages(TCustomImageList*& field, TChangeLink* link, TCustomImageList* value);
  void ListChanged(TObject* sender) { Changed(/*allItems=*/false); }
  // The description of a stored value, or the value.
  std::string Description(const std::string& text);

  bool FDefaultImages = true;
  std::unique_ptr<TStringList> FDescriptions;
  std::unique_ptr<TStringList> FImageIndexes;
  std::unique_ptr<TStringList> FValues;
  TCustomImageList* FImages = nullptr;
  TCustomImageList* FLargeImages = nullptr;
  std::unique_ptr<TChangeLink> FImagesLink;
  std::unique_ptr<TChangeLink> FLargeImagesLink;
  bool FIncremental = false;
  bool FMultiLineText = false;
  bool FShowDescription = false;
};

// ==== Spin column

class TdxTreeListSpinColumn : public TdxTreeListColumn {
  KIVO_CLASS(TdxTreeListSpinColumn, TdxTreeListColumn)
 public:
  explicit TdxTreeListSpinColumn(TComponent* AOwner) : TdxTreeListColumn(AOwner) {}
  void Assign(TPersistent* source) override;
  // The number: a float as its shortest text of 15 digits, an integer rounded.
  void AssignEditValue(TdxTreeListNode* node, TdxInplaceEdit* editor, Variant& value) override;
  const TdxInplaceEditClass* GetEditorClass() override { return &TdxInplaceTreeListSpinEdit::MetaClass(); }
  void InitEditProperties(TdxInplaceEdit* editor) override;
  // The number of the node's text; empty or unreadable text loads 0.
  void LoadEditValue(TdxTreeListNode* node, TdxInplaceEdit* editor, Variant& value) override;
  void PrepareViewData(TdxEditViewData* viewData, TdxTreeListCellViewData* cellInfo) override;
  bool CellOptionQuery(TdxTreeListNode* node, TdxTreeListHitTest hitTest) override { return true; }
  bool ButtonQuery(bool defaultValue) override;
  void RestoreDefaults() override;
  static void PublishProperties();

  virtual bool ShowEditButton(TdxTreeListNode* node);

  bool GetEditorEnabled() const { return FEditorEnabled; }
  void SetEditorEnabled(bool value) { Store(FEditorEnabled, value, false); }
  double GetIncrement() const { return FIncrement; }
  void SetIncrement(double value) { Store(FIncrement, value, false); }
  double GetMinValue() const { return FMinValue; }
  void SetMinValue(double value) { Store(FMinValue, value, false); }
  double GetMaxValue() const { return FMaxValue; }
  void SetMaxValue(double value) { Store(FMaxValue, value, false); }
  TdxShowButtonStyle GetShowButtonStyle() const { return FShowButtonStyle; }
  void SetShowButtonStyle(TdxShowButtonStyle value) { Store(FShowButtonStyle, value, false); }
  bool GetUseCtrlIncrement() const { return FUseCtrlIncrement; }
  void SetUseCtrlIncrement(bool value) { Store(FUseCtrlIncrement, value, false); }
  TdxValueType GetValueType() const { return FValueType; }
  void SetValueType(TdxValueType value) { Store(FValueType, value, false); }

 protected:
  void DefineProperties(TFiler& filer) override;

 private:
  bool FEditorEnabled = true;
  double FIncrement = 1.0;
  double FMinValue = 0;
  double FMaxValue = 0;
  TdxShowButtonStyle FShowButtonStyle = TdxShowButtonStyle::sbDefault;
  bool FUseCtrlIncrement = false;
  TdxValueType FValueType = vtInt;
};

// ==== Pick and MRU columns

class TdxTreeListPickColumn : public TdxTreeListDropDownColumn {
  KIVO_CLASS(TdxTreeListPickColumn, TdxTreeListDropDownColumn)
 public:
  explicit TdxTreeListPickColumn(TComponent* AOwner);
  ~TdxTreeListPickColumn() override;
  void Assign(TPersistent* source) override;
  const TdxInplaceEditClass* GetEditorClass() override { return &TdxInplaceTreeListPickEdit::MetaClass(); }
  void InitEditProperties(TdxInplaceEdit* editor) override;
  // Fires OnCloseUp with the value.
  void DoCloseUp(Variant& value, bool& accept) override { OnCloseUp(this, value, accept); }
  void RestoreDefaults() override;
  static void PublishProperties();

  bool GetDropDownListStyle() const { return FDropDownListStyle; }
  void SetDropDownListStyle(bool value) { Store(FDropDownListStyle, value, false); }
  TStringList* GetItems() const { return FItems; }
  void SetItems(TStrings* value) { FItems->Assign(value); }
  bool GetItemsSorted() const { return FItemsSorted; }
  void SetItemsSorted(bool value) { Store(FItemsSorted, value, false); }
  bool GetCanDeleteText() const { return FCanDeleteText; }
  void SetCanDeleteText(bool value) { Store(FCanDeleteText, value, false); }
  bool GetRevertable() const { return FRevertable; }
  void SetRevertable(bool value) { Store(FRevertable, value, false); }

  TdxTLPickColumnCloseUp OnCloseUp;

 protected:
  // The pick and MRU columns' own default of ImmediateDropDown.
  virtual bool DefaultImmediateDropDown() { return true; }
  void DefineProperties(TFiler& filer) override;
  bool IsImmediateDropDownStored() { return GetImmediateDropDown() != DefaultImmediateDropDown(); }

 private:
  void ItemsChanged(TObject* sender) { Changed(/*allItems=*/false); }

  bool FDropDownListStyle = false;
  TStringList* FItems;
  bool FItemsSorted = false;
  bool FCanDeleteText = false;
  bool FRevertable = false;
};

class TdxTreeListMRUColumn : public TdxTreeListPickColumn {
  KIVO_CLASS(TdxTreeListMRUColumn, TdxTreeListPickColumn)
 public:
  explicit TdxTreeListMRUColumn(TComponent* AOwner);
  void Assign(TPersistent* source) override;
  // The text as the pick column stores it, and the editor's list back into Items.
  void AssignEditValue(TdxTreeListNode* node, TdxInplaceEdit* editor, Variant& value) override;
  const TdxInplaceEditClass* GetEditorClass() override { return &TdxInplaceTreeListMRUEdit::MetaClass(); }
  void InitEditProperties(TdxInplaceEdit* editor) override;
  void PrepareViewData(TdxEditViewData* viewData, TdxTreeListCellViewData* cellInfo) override;
  void RestoreDefaults() override;
  static void PublishProperties();

  virtual void DoButtonClick() { OnButtonClick(this); }

  int GetMaxItemCount() const { return FMaxItemCount; }
  void SetMaxItemCount(int value) { Store(FMaxItemCount, value, false); }
  bool GetShowEllipsis() const { return FShowEllipsis; }
  void SetShowEllipsis(bool value) { Store(FShowEllipsis, value, true); }

  TNotifyEvent OnButtonClick;

 protected:
  bool DefaultImmediateDropDown() override { return false; }

 private:
  void EditorButtonClick(TObject* sender) { DoButtonClick(); }

  int FMaxItemCount = 7;
  bool FShowEllipsis = true;
};

// ==== Calculator column

class TdxTreeListCalcColumn : public TdxTreeListDropDownColumn {
  KIVO_CLASS(TdxTreeListCalcColumn, TdxTreeListDropDownColumn)
 public:
  explicit TdxTreeListCalcColumn(TComponent* AOwner) : TdxTreeListDropDownColumn(AOwner) {}
  void Assign(TPersistent* source) override;
  const TdxInplaceEditClass* GetEditorClass() override { return &TdxInplaceTreeListCalcEdit::MetaClass(); }
  void InitEditProperties(TdxInplaceEdit* editor) override;
  void RestoreDefaults() override;
  static void PublishProperties();

  bool GetBeepOnError() const { return FBeepOnError; }
  void SetBeepOnError(bool value) { Store(FBeepOnError, value, false); }
  TdxButtonStyle GetButtonStyle() const { return FButtonStyle; }
  void SetButtonStyle(TdxButtonStyle value) { Store(FButtonStyle, value, false); }
  int GetPrecision() const { return FPrecision; }
  void SetPrecision(int value) { Store(FPrecision, value, false); }
  bool GetQuickClose() const { return FQuickClose; }
  void SetQuickClose(bool value) { Store(FQuickClose, value, false); }
  bool GetShowButtonFrame() const { return FShowButtonFrame; }
  void SetShowButtonFrame(bool value) { Store(FShowButtonFrame, value, false); }

 private:
  bool FBeepOnError = true;
  TdxButtonStyle FButtonStyle = bsStandard;
  int FPrecision = 13;
  bool FQuickClose = false;
  bool FShowButtonFrame = false;
};

// ==== Hyperlink column

class TdxTreeListHyperLinkColumn : public TdxTreeListColumn {
  KIVO_CLASS(TdxTreeListHyperLinkColumn, TdxTreeListColumn)
 public:
  explicit TdxTreeListHyperLinkColumn(TComponent* AOwner) : TdxTreeListColumn(AOwner) {}
  ~TdxTreeListHyperLinkColumn() override;
  void Assign(TPersistent* source) override;
  // Stores nothing for an editor that was not modified.
  void AssignEditValue(TdxTreeListNode* node, TdxInplaceEdit* editor, Variant& value) override;
  const TdxInplaceEditClass* GetEditorClass() override { return &TdxInplaceTreeListHyperLinkEdit::MetaClass(); }
  // The hand over a cell with a link, when one click starts it.
  void GetCellCursor(TdxTreeListNode* node, TCursor& cursor) override;
  void InitEditProperties(TdxInplaceEdit* editor) override;
  // The link font, and its colour unless the cell is selected.
  void PrepareViewData(TdxEditViewData* viewData, TdxTreeListCellViewData* cellInfo) override;
  void RestoreDefaults() override;
  static void PublishProperties();

  virtual void DoStartClick() { OnStartClick(this); }

  TColor GetEditBackgroundColor() const { return FEditBackgroundColor; }
  void SetEditBackgroundColor(TColor value);
  TColor GetEditFontColor() const { return FEditFontColor; }
  void SetEditFontColor(TColor value);
  bool GetSingleClick() const { return FSingleClick; }
  void SetSingleClick(bool value);
  TShortCut GetStartKey() const { return FStartKey; }
  void SetStartKey(TShortCut value) { Store(FStartKey, value, false); }
  // The column's font, underlined, in EditFontColor with SingleClick (else clDefault).
  TFont* GetLinkFont();

  TNotifyEvent OnStartClick;

 private:
  void EditorStartClick(TObject* sender) { DoStartClick(); }
  void RebuildLinkFont();

  TColor FEditBackgroundColor = clWhite;
  TColor FEditFontColor = clBlue;
  bool FSingleClick = false;
  TShortCut FStartKey = scCtrl | VK_RETURN;
  TFont* FLinkFont = nullptr;
  bool FLinkFontValid = false;
};

// ==== Time and currency columns

class TdxTreeListTimeColumn : public TdxTreeListColumn {
  KIVO_CLASS(TdxTreeListTimeColumn, TdxTreeListColumn)
 public:
  using TdxTreeListColumn::TdxTreeListColumn;
  void Assign(TPersistent* source) override;
  // A time of 0 stores an empty text; any other the editor's text.
  void AssignEditValue(TdxTreeListNode* node, TdxInplaceEdit* editor, Variant& value) override;
  const TdxInplaceEditClass* GetEditorClass() override { return &TdxInplaceTreeListTimeEdit::MetaClass(); }
  void InitEditProperties(TdxInplaceEdit* editor) override;
  // The node's text as the editor's time.
  void LoadEditValue(TdxTreeListNode* node, TdxInplaceEdit* editor, Variant& value) override;
  void RestoreDefaults() override;
  static void PublishProperties();

  TdxTimeEditFormat GetTimeEditFormat() const { return FTimeEditFormat; }
  void SetTimeEditFormat(TdxTimeEditFormat value) { Store(FTimeEditFormat, value, false); }
  bool GetUseCtrlIncrement() const { return FUseCtrlIncrement; }
  void SetUseCtrlIncrement(bool value) { Store(FUseCtrlIncrement, value, false); }

 private:
  TdxTimeEditFormat FTimeEditFormat = tfHourMinSec;
  bool FUseCtrlIncrement = false;
};

class TdxTreeListCurrencyColumn : public TdxTreeListColumn {
  KIVO_CLASS(TdxTreeListCurrencyColumn, TdxTreeListColumn)
 public:
  explicit TdxTreeListCurrencyColumn(TComponent* AOwner);
  void Assign(TPersistent* source) override;
  // An amount of 0 stores an empty text; any other the editor's text.
  void AssignEditValue(TdxTreeListNode* node, TdxInplaceEdit* editor, Variant& value) override;
  const TdxInplaceEditClass* GetEditorClass() override { return &TdxInplaceTreeListCurrencyEdit::MetaClass(); }
  void InitEditProperties(TdxInplaceEdit* editor) override;
  // The node's text as an amount: empty (or no number) loads 0.
  void LoadEditValue(TdxTreeListNode* node, TdxInplaceEdit* editor, Variant& value) override;
  // The amount through DisplayFormat.
  void PrepareViewData(TdxEditViewData* viewData, TdxTreeListCellViewData* cellInfo) override;
  void RestoreDefaults() override;
  static void PublishProperties();

  int GetDecimalPlaces() const { return FDecimalPlaces; }
  void SetDecimalPlaces(int value) { Store(FDecimalPlaces, value, false); }
  const std::string& GetDisplayFormat() const { return FDisplayFormat; }
  // Marks the format the user's: only then it is stored and kept over locale changes.
  void SetDisplayFormat(const std::string& value);
  bool IsDisplayFormatAssigned() const { return FDisplayFormatAssigned; }
  double GetMinValue() const { return FMinValue; }
  void SetMinValue(double value) { Store(FMinValue, value, false); }
  double GetMaxValue() const { return FMaxValue; }
  void SetMaxValue(double value) { Store(FMaxValue, value, false); }
  bool GetUseThousandSeparator() const { return FUseThousandSeparator; }
  void SetUseThousandSeparator(bool value) { Store(FUseThousandSeparator, value, false); }

  // The locale's settings changed: the default format is built again (a format the user
  // set stays).
  void LocaleChanged() override;

 protected:
  void DefineProperties(TFiler& filer) override;

 private:
  int FDecimalPlaces = 2;
  std::string FDisplayFormat;
  bool FDisplayFormatAssigned = false;
  double FMinValue = 0;
  double FMaxValue = 0;
  bool FUseThousandSeparator = false;
};

// ==== Graphic column

class TdxTreeListGraphicColumn : public TdxTreeListColumn {
  KIVO_CLASS(TdxTreeListGraphicColumn, TdxTreeListColumn)
 public:
  explicit TdxTreeListGraphicColumn(TComponent* AOwner);
  ~TdxTreeListGraphicColumn() override;
  void Assign(TPersistent* source) override;
  // The editor's picture saved as the node's text, when it was modified.
  void AssignEditValue(TdxTreeListNode* node, TdxInplaceEdit* editor, Variant& value) override;
  const TdxInplaceEditClass* GetEditorClass() override { return &TdxInplaceTreeListGraphicEdit::MetaClass(); }
  void InitEditProperties(TdxInplaceEdit* editor) override;
  // The node's text read as the editor's picture.
  void LoadEditValue(TdxTreeListNode* node, TdxInplaceEdit* editor, Variant& value) override;
  // The node's picture; a text that is no picture paints as an empty cell.
  void PrepareViewData(TdxEditViewData* viewData, TdxTreeListCellViewData* cellInfo) override;
  // No extra width with Stretch or without a picture; else the picture's width.
  int GetNodeTextWidth(TCanvas* canvas, TdxTreeListNode* node) override;
  void RestoreDefaults() override;
  static void PublishProperties();

  // None (a bitmap), then what OnGetGraphicClass chooses.
  virtual TGraphicClass GetGraphicClass(TdxTreeListNode* node);

  // The node's picture as the column paints it (empty for a text that is no picture).
  TPicture* LoadNodePicture(TdxTreeListNode* node);

  bool GetCenter() const { return FCenter; }
  void SetCenter(bool value) { Store(FCenter, value, false); }
  const std::string& GetCustomFilter() const { return FCustomFilter; }
  void SetCustomFilter(const std::string& value) { Store(FCustomFilter, value, false); }
  bool GetCustomGraphic() const { return FCustomGraphic; }
  void SetCustomGraphic(bool value) { Store(FCustomGraphic, value, false); }
  bool GetDblClickActivate() const { return FDblClickActivate; }
  void SetDblClickActivate(bool value) { Store(FDblClickActivate, value, false); }
  TdxGraphicEditTransparency GetGraphicTransparency() const { return FGraphicTransparency; }
  void SetGraphicTransparency(TdxGraphicEditTransparency value) { Store(FGraphicTransparency, value, false); }
  TdxPopupToolBarWindow* GetPopupToolBar() const { return FPopupToolBar.get(); }
  void SetPopupToolBar(TdxPopupToolBarWindow* value) { FPopupToolBar->Assign(value); }
  bool GetPopupToolbarPosStored() const { return FPopupToolbarPosStored; }
  // False forgets the stored tool-bar position.
  void SetPopupToolbarPosStored(bool value);
  bool GetQuickDraw() const { return FQuickDraw; }
  void SetQuickDraw(bool value) { Store(FQuickDraw, value, false); }
  bool GetShadowSelection() const { return FShadowSelection; }
  void SetShadowSelection(bool value) { Store(FShadowSelection, value, false); }
  bool GetStretch() const { return FStretch; }
  void SetStretch(bool value) { Store(FStretch, value, false); }
  UINT GetClipboardFormat() const { return FClipboardFormat; }
  const TPoint& GetToolBarPos() const { return FToolBarPos; }

  TdxGraphicEditAssignPictureEvent OnAssignPicture;
  TNotifyEvent OnCustomClick;
  TdxTLGetGraphicClassEvent OnGetGraphicClass;

 private:
  void EditorAssignPicture(TObject* sender, TPicture*& picture) { OnAssignPicture(this, picture); }
  void EditorCustomClick(TObject* sender) { OnCustomClick(this); }
  void EditorGetGraphicClass(TObject* sender, TGraphicClass& graphicClass);

  bool FCenter = true;
  std::string FCustomFilter;
  bool FCustomGraphic = false;
  bool FDblClickActivate = true;
  TdxGraphicEditTransparency FGraphicTransparency = gtDefault;
  std::unique_ptr<TPicture> FPicture;
  std::unique_ptr<TdxPopupToolBarWindow> FPopupToolBar;
  bool FPopupToolbarPosStored = true;
  bool FQuickDraw = false;
  bool FShadowSelection = true;
  bool FStretch = true;
  UINT FClipboardFormat;
  TPoint FToolBarPos{-10000, -10000};
  // The value FPicture was last loaded from: painting many cells of one value (or of
  // a value that is no picture) reads it once.
  std::string FLoadedText;
  TGraphicClass FLoadedClass = nullptr;
  bool FLoadedValid = false;
};

// ==== Blob column

class TdxTreeListBlobColumn : public TdxTreeListDropDownColumn {
  KIVO_CLASS(TdxTreeListBlobColumn, TdxTreeListDropDownColumn)
 public:
  explicit TdxTreeListBlobColumn(TComponent* AOwner);
  void Assign(TPersistent* source) override;
  // The editor's blob value as the node's text, when it was modified.
  void AssignEditValue(TdxTreeListNode* node, TdxInplaceEdit* editor, Variant& value) override;
  const TdxInplaceEditClass* GetEditorClass() override { return &TdxInplaceTreeListBlobEdit::MetaClass(); }
  void InitEditProperties(TdxInplaceEdit* editor) override;
  // The kind, the paint style, the blob icons and whether the value is empty.
  void PrepareViewData(TdxEditViewData* viewData, TdxTreeListCellViewData* cellInfo) override;
  // The whole stored text as the editor's blob value.
  void LoadEditValue(TdxTreeListNode* node, TdxInplaceEdit* editor, Variant& value) override;
  void RestoreDefaults() override;
  static void PublishProperties();

  virtual void DoAssignPicture(TPicture*& picture) { OnAssignPicture(this, picture); }
  virtual void GetFocusedGraphicClass(TGraphicClass& graphicClass);
  // The editor's popup size kept for the next time.
  virtual void StorePopupSize(TdxInplaceEdit* editor);
  virtual TGraphicClass GetGraphicClass(TdxTreeListNode* node);

  bool GetAlwaysSaveText() const { return FAlwaysSaveText; }
  void SetAlwaysSaveText(bool value) { Store(FAlwaysSaveText, value, false); }
  TdxBlobEditKind GetBlobEditKind() const { return FBlobEditKind; }
  void SetBlobEditKind(TdxBlobEditKind value) { Store(FBlobEditKind, value, false); }
  TdxBlobPaintStyle GetBlobPaintStyle() const { return FBlobPaintStyle; }
  void SetBlobPaintStyle(TdxBlobPaintStyle value) { Store(FBlobPaintStyle, value, false); }
  int GetMaxDisplayLength() const { return FMaxDisplayLength; }
  void SetMaxDisplayLength(int value) { Store(FMaxDisplayLength, value, false); }
  TEditCharCase GetMemoCharCase() const { return FMemoCharCase; }
  void SetMemoCharCase(TEditCharCase value) { Store(FMemoCharCase, value, false); }
  bool GetMemoHideScrollBars() const { return FMemoHideScrollBars; }
  void SetMemoHideScrollBars(bool value) { Store(FMemoHideScrollBars, value, false); }
  int GetMemoMaxLength() const { return FMemoMaxLength; }
  void SetMemoMaxLength(int value) { Store(FMemoMaxLength, value, false); }
  bool GetMemoOEMConvert() const { return FMemoOEMConvert; }
  void SetMemoOEMConvert(bool value) { Store(FMemoOEMConvert, value, false); }
  TScrollStyle GetMemoScrollBars() const { return FMemoScrollBars; }
  void SetMemoScrollBars(TScrollStyle value) { Store(FMemoScrollBars, value, false); }
  bool GetMemoSelectionBar() const { return FMemoSelectionBar; }
  void SetMemoSelectionBar(bool value) { Store(FMemoSelectionBar, value, false); }
  bool GetMemoWantReturns() const { return FMemoWantReturns; }
  void SetMemoWantReturns(bool value) { Store(FMemoWantReturns, value, false); }
  bool GetMemoWantTabs() const { return FMemoWantTabs; }
  void SetMemoWantTabs(bool value) { Store(FMemoWantTabs, value, false); }
  bool GetMemoWordWrap() const { return FMemoWordWrap; }
  void SetMemoWordWrap(bool value) { Store(FMemoWordWrap, value, false); }
  bool GetPictureAutoSize() const { return FPictureAutoSize; }
  void SetPictureAutoSize(bool value) { Store(FPictureAutoSize, value, false); }
  const std::string& GetPictureFilter() const { return FPictureFilter; }
  void SetPictureFilter(const std::string& value) { Store(FPictureFilter, value, false); }
  TdxGraphicEditTransparency GetPictureTransparency() const { return FPictureTransparency; }
  void SetPictureTransparency(TdxGraphicEditTransparency value) { Store(FPictureTransparency, value, false); }
  int GetPopupHeight() const { return FPopupHeight; }
  void SetPopupHeight(int value) { Store(FPopupHeight, value, false); }
  int GetPopupWidth() const { return FPopupWidth; }
  void SetPopupWidth(int value) { Store(FPopupWidth, value, false); }
  bool GetShowExPopupItems() const { return FShowExPopupItems; }
  void SetShowExPopupItems(bool value) { Store(FShowExPopupItems, value, false); }
  bool GetShowPicturePopup() const { return FShowPicturePopup; }
  void SetShowPicturePopup(bool value) { Store(FShowPicturePopup, value, false); }
  bool GetSizeablePopup() const { return FSizeablePopup; }
  void SetSizeablePopup(bool value) { Store(FSizeablePopup, value, false); }
  TGraphicClass GetColumnGraphicClass() const { return FGraphicClass; }
  void SetColumnGraphicClass(TGraphicClass value) { FGraphicClass = value; }
  UINT GetClipboardFormat() const { return FClipboardFormat; }

  TdxGraphicEditAssignPictureEvent OnAssignPicture;
  TdxTLGetGraphicClassEvent OnGetGraphicClass;

 private:
  void EditorAssignPicture(TObject* sender, TPicture*& picture) { DoAssignPicture(picture); }
  void EditorGetGraphicClass(TObject* sender, TGraphicClass& graphicClass) { GetFocusedGraphicClass(graphicClass); }
  void EditorPopupSize(TObject* sender);

  bool FAlwaysSaveText = false;
  TdxBlobEditKind FBlobEditKind = bekMemo;
  TdxBlobPaintStyle FBlobPaintStyle = bpsIcon;
  int FMaxDisplayLength = 255;
  TEditCharCase FMemoCharCase = ecNormal;
  bool FMemoHideScrollBars = true;
  int FMemoMaxLength = 0;
  bool FMemoOEMConvert = false;
  TScrollStyle FMemoScrollBars = ssBoth;
  bool FMemoSelectionBar = false;
  bool FMemoWantReturns = true;
  bool FMemoWantTabs = true;
  bool FMemoWordWrap = true;
  bool FPictureAutoSize = true;
  std::string FPictureFilter;
  TdxGraphicEditTransparency FPictureTransparency = gtDefault;
  int FPopupHeight = 140;
  int FPopupWidth = 200;
  bool FShowExPopupItems = false;
  bool FShowPicturePopup = false;
  bool FSizeablePopup = true;
  TGraphicClass FGraphicClass = nullptr;
  UINT FClipboardFormat;
};

// ==== Wrapper column

// Lends each node's cell to a column that OnGetReferenceColumn chooses: that column's
// editor, conversions and painting work on the wrapper's texts. Without a handler, or
// when the handler answers the wrapper itself or a column that leads back to it, the
// wrapper is a plain text column.
class TdxTreeListWrapperColumn : public TdxTreeListColumn {
  KIVO_CLASS(TdxTreeListWrapperColumn, TdxTreeListColumn)
 public:
  using TdxTreeListColumn::TdxTreeListColumn;
  void AssignEditValue(TdxTreeListNode* node, TdxInplaceEdit* editor, Variant& value) override;
  const TdxInplaceEditClass* GetEditorClass() override;
  void GetCellCursor(TdxTreeListNode* node, TCursor& cursor) override;
  TdxEditViewData* GetViewData() override;
  void InitEditProperties(TdxInplaceEdit* editor) override;
  void LoadEditValue(TdxTreeListNode* node, TdxInplaceEdit* editor, Variant& value) override;
  bool ButtonQuery(bool defaultValue) override;
  void PrepareViewData(TdxEditViewData* viewData, TdxTreeListCellViewData* cellInfo) override;
  void Assign(TPersistent* source) override;

  // A cell is painted by the reference column of its own node.
  const TdxInplaceEditClass* GetCellEditorClass(TdxTreeListNode* node) override;
  TdxEditViewData* GetCellViewData(TdxTreeListNode* node) override;

  // The column of `node` (the focused node when none); null without a node or handler,
  // and for an answer that is the wrapper or leads back to it.
  virtual TdxTreeListColumn* GetReferenceColumn(TdxTreeListNode* node);

  TdxTLGetReferenceColumnEvent OnGetReferenceColumn;

 private:
  // The reference column's answer asked through `call` with its index set to the
  // wrapper's, and set back however the call ends.
  template <class F>
  void WithIndexOf(TdxTreeListColumn* reference, F call);
  // The node the editor works on: the control's focused node.
  TdxTreeListNode* FocusedNode();
};

// Start-up and shut-down of the column kinds: the check column's default values and
// the registration of the classes and their published properties. Calls are counted.
void InitializeDxTreeListColumnKinds();
// The default ValueChecked and ValueUnchecked of new check columns ("True" and "False"
// when empty).
void SetDxCheckColumnDefaults(const std::string& checked, const std::string& unchecked);
void FinalizeDxTreeListColumnKinds();
