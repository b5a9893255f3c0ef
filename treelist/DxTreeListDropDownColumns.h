// The column kinds whose editor has a drop-down or edit button: the drop-down column,
// their base (the button glyph, the list's size, the popup settings and when a cell
// shows its button), and the date, button, image, pick, MRU and calculator columns.
#pragma once

#include <memory>
#include <string>

#include "classlib/Bitmap.h"
#include "classlib/ImageList.h"
#include "classlib/Menus.h"
#include "classlib/StringList.h"
#include "treelist/DxTreeListColumns.h"

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
  TStringList* GetItems() const { return FItems.get(); }
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
  std::unique_ptr<TStringList> FItems;
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
