// TdxInplaceBlobEdit: the editor of a large value kept as one string, a memo text or a
// picture's bytes (or, shown only as an icon, an OLE object or raw data). The cell
// shows an icon for the kind, empty or filled, or the text; the drop-down button (or a
// click anywhere) opens the sizeable blob popup (TCustomdxBlobPopup, made on the first
// drop-down and owned), which edits the memo or the picture and hands its content back
// when it is accepted. The size the user gives the popup is kept for the next time
// (PopupWidth, PopupHeight, OnPopupSize).
//
// The value is BlobValue. Loading a value is no edit; a value the popup hands back is
// stored only when the editor may modify (or while the container hands over values)
// and then reported as a change. A picture value whose bytes are no picture raises
// EInvalidGraphic where it is read (opening the popup, GetEditValue).
//
// Cells are painted from TdxBlobEditViewData by the class operations, without an
// editor.
#pragma once

#include <cstdint>
#include <string>

#include "classlib/Graphic.h"
#include "classlib/ImageList.h"
#include "editors/DxBlobPopup.h"
#include "editors/DxInplaceDropDownEdit.h"
#include "editors/DxInplaceGraphicEdit.h"

class TdxBlobEditViewData : public TdxDropDownEditViewData {
  KIVO_CLASS(TdxBlobEditViewData, TdxDropDownEditViewData)
 public:
  TdxBlobEditKind BlobEditKind = bekMemo;
  TdxBlobPaintStyle BlobPaintStyle = bpsDefault;
  // The blob icons (not owned); null paints no icon.
  TCustomImageList* Images = nullptr;
  // The value is empty: the kind's empty icon.
  bool Empty = false;
};

// The icon of a kind in the blob icon list: 3 memo, 5 picture, 7 OLE, 1 raw data; one
// less for an empty value.
int BlobIconIndex(TdxBlobEditKind kind, bool empty);

class TdxInplaceBlobEdit : public TdxInplaceDropDownEdit {
  KIVO_CLASS(TdxInplaceBlobEdit, TdxInplaceDropDownEdit)
 public:
  explicit TdxInplaceBlobEdit(TComponent* AOwner);
  ~TdxInplaceBlobEdit() override;

  // ---- Class operations
  static bool DrawContent(const TdxInplaceEditClass& cls, HDC dc, const TRect& rect, TdxEditViewData* viewData,
                          bool editorWindow);
  static TClass GetViewDataClass(const TdxInplaceEditClass& cls);
  // The drop-down button; an ellipsis for the OLE and raw-data kinds.
  static void FillButtons(const TdxInplaceDropDownEditClass& cls, TdxDropDownEditViewData* viewData);

  // ---- Value
  // Null empties BlobValue, anything else becomes its text; a memo value is also the
  // editor's text. Loading is no edit.
  void SetEditValue(const Variant& value) override;
  // Memo and icon kinds: BlobValue, Null when empty. Picture kind: the picture read
  // from BlobValue (after OnAssignPicture) as an object reference; Null for none.
  void GetEditValue(Variant& value) override;
  bool HasTextArea() override { return false; }
  TdxEditViewData* CreateViewData(bool forPainting) override;
  // Opens the popup for a memo or picture value (nothing for the other kinds).
  void DropDown() override;
  // Nothing: the popup's own buttons and keys close it.
  void CloseUp(bool accept) override {}

  // ---- New operations
  virtual bool IsValueEmpty(const Variant& value);
  virtual void DoAssignPicture(TPicture*& picture);
  // The graphic class, then what OnGetGraphicClass makes of it.
  virtual TGraphicClass GetGraphicClass();
  // Whether the popup may open.
  virtual bool IsPopupAllowed() { return true; }
  // Stores the popup's size and fires OnPopupSize.
  virtual void SetPopupSize(int width, int height);
  // Takes the popup's content back (the popup's OnAccept).
  virtual void AcceptPopupValue(TObject* sender);

  // Sets the editor's text (what the text paint styles show) without a change event.
  void SetDisplayText(const std::string& text);

  // ---- Properties
  const std::string& GetBlobValue() const { return FBlobValue; }
  // Stores a different value when the container hands over values or the editor may
  // modify (then reported as a change), and repaints.
  void SetBlobValue(const std::string& value);
  TdxBlobEditKind GetBlobEditKind() const { return FBlobEditKind; }
  void SetBlobEditKind(TdxBlobEditKind value);
  TdxBlobPaintStyle GetBlobPaintStyle() const { return FBlobPaintStyle; }
  void SetBlobPaintStyle(TdxBlobPaintStyle value);
  int GetPopupWidth() const { return FPopupWidth; }
  void SetPopupWidth(int value) { FPopupWidth = value; }
  int GetPopupHeight() const { return FPopupHeight; }
  void SetPopupHeight(int value) { FPopupHeight = value; }
  bool GetSizeablePopup() const { return FSizeablePopup; }
  void SetSizeablePopup(bool value) { FSizeablePopup = value; }
  bool GetAlwaysSaveText() const { return FAlwaysSaveText; }
  void SetAlwaysSaveText(bool value) { FAlwaysSaveText = value; }
  TEditCharCase GetMemoCharCase() const { return FMemoCharCase; }
  void SetMemoCharCase(TEditCharCase value) { FMemoCharCase = value; }
  bool GetMemoHideScrollBars() const { return FMemoHideScrollBars; }
  void SetMemoHideScrollBars(bool value) { FMemoHideScrollBars = value; }
  int GetMemoMaxLength() const { return FMemoMaxLength; }
  void SetMemoMaxLength(int value) { FMemoMaxLength = value; }
  bool GetMemoOEMConvert() const { return FMemoOEMConvert; }
  void SetMemoOEMConvert(bool value) { FMemoOEMConvert = value; }
  TScrollStyle GetMemoScrollBars() const { return FMemoScrollBars; }
  void SetMemoScrollBars(TScrollStyle value) { FMemoScrollBars = value; }
  bool GetMemoSelectionBar() const { return FMemoSelectionBar; }
  void SetMemoSelectionBar(bool value) { FMemoSelectionBar = value; }
  bool GetMemoWantReturns() const { return FMemoWantReturns; }
  void SetMemoWantReturns(bool value) { FMemoWantReturns = value; }
  bool GetMemoWantTabs() const { return FMemoWantTabs; }
  void SetMemoWantTabs(bool value) { FMemoWantTabs = value; }
  bool GetMemoWordWrap() const { return FMemoWordWrap; }
  void SetMemoWordWrap(bool value) { FMemoWordWrap = value; }
  bool GetPictureAutoSize() const { return FPictureAutoSize; }
  void SetPictureAutoSize(bool value) { FPictureAutoSize = value; }
  UINT GetClipboardFormat() const { return FClipboardFormat; }
  void SetClipboardFormat(UINT value) { FClipboardFormat = value; }
  void SetGraphicClass(TGraphicClass value) { FGraphicClass = value; }
  const std::string& GetPictureFilter() const { return FPictureFilter; }
  void SetPictureFilter(const std::string& value) { FPictureFilter = value; }
  TdxGraphicEditTransparency GetPictureTransparency() const { return FPictureTransparency; }
  void SetPictureTransparency(TdxGraphicEditTransparency value) { FPictureTransparency = value; }
  bool GetShowExPopupItems() const { return FShowExPopupItems; }
  void SetShowExPopupItems(bool value) { FShowExPopupItems = value; }
  bool GetShowPicturePopup() const { return FShowPicturePopup; }
  void SetShowPicturePopup(bool value) { FShowPicturePopup = value; }
  // The popup, or null before the first drop-down.
  TCustomdxBlobPopup* GetPopup() const { return FPopup; }

  void Dispatch(TMessage& message) override;

  TdxGraphicEditAssignPictureEvent OnAssignPicture;
  TdxGraphicEditGetGraphicClassEvent OnGetGraphicClass;
  TNotifyEvent OnPopupSize;

 protected:
  TdxInplaceBlobEdit(TComponent* AOwner, const TdxInplaceEditClass* cls);
  void KeyDown(WORD& key, TShiftState shift) override;
  void KeyPress(char& key) override;

 private:
  void PopupResized(TObject* sender);

  TCustomdxBlobPopup* FPopup = nullptr;
  std::string FBlobValue;
  TdxBlobEditKind FBlobEditKind = bekMemo;
  TdxBlobPaintStyle FBlobPaintStyle = bpsIcon;
  int32_t FPopupWidth = 200;
  int32_t FPopupHeight = 140;
  bool FSizeablePopup = true;
  bool FAlwaysSaveText = true;
  TEditCharCase FMemoCharCase = ecNormal;
  bool FMemoHideScrollBars = true;
  int32_t FMemoMaxLength = 0;
  bool FMemoOEMConvert = false;
  TScrollStyle FMemoScrollBars = ssNone;
  bool FMemoSelectionBar = true;
  bool FMemoWantReturns = true;
  bool FMemoWantTabs = true;
  bool FMemoWordWrap = true;
  bool FPictureAutoSize = true;
  UINT FClipboardFormat;
  TGraphicClass FGraphicClass = nullptr;
  std::string FPictureFilter;
  TdxGraphicEditTransparency FPictureTransparency = gtDefault;
  bool FShowExPopupItems = true;
  bool FShowPicturePopup = true;
  TPicture* FValuePicture = nullptr;
};
