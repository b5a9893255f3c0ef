// The text column kinds: memo, spin, hyperlink, time and currency columns. Each keeps its
// editor's settings and converts between the node's text and the editor's value (the
// text itself, a number, a link, a time, an amount).
#pragma once

#include <string>

#include "classlib/Menus.h"
#include "treelist/DxTreeListColumns.h"

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
