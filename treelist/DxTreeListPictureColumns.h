// The picture column kinds: the graphic column, whose node texts hold pictures, and the
// blob column, whose editor shows the node's text in a popup of the kind BlobEditKind
// names. A graphic cell whose text is no picture paints as empty.
#pragma once

#include <memory>
#include <string>

#include "classlib/Graphic.h"
#include "treelist/DxTreeListDropDownColumns.h"

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
