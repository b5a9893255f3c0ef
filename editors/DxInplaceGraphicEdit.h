// TdxInplaceGraphicEdit: the editor of a picture value. It owns a TPicture and paints
// it at its own size (centred or at the top left) or scaled into the cell keeping its
// proportions; it cuts, copies and pastes through the clipboard, loads and saves
// through the picture file dialogs, and offers these commands on keys, on a popup tool
// bar beside it (TdxPopupToolBar) and on a popup menu that mirrors that tool bar. Its
// value is the picture's graphic (an object reference); a host stores the picture
// with SavePictureToString and hands it in as a string of the graphic's bytes.
//
// Loading a value is no edit: the editor stays unmodified, also when the bytes are no
// picture (then the picture is empty and EInvalidGraphic goes on to the caller). What
// the user does to the picture marks the editor modified and reports the change.
//
// Cells are painted from TdxGraphicEditViewData by the class operations, without an
// editor; a content rectangle or a graphic without area draws no picture.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "classlib/Bitmap.h"
#include "classlib/Graphic.h"
#include "editors/DxInplaceEdit.h"
#include "editors/DxPictureCommands.h"
#include "editors/DxPopupToolBar.h"

enum TdxGraphicEditTransparency : uint8_t { gtDefault, gtOpaque, gtTransparent };

// (Sender: the editor, var Picture: the picture handed out as the value).
using TdxGraphicEditAssignPictureEvent = TEvent<TObject* /*Sender*/, TPicture*& /*Picture*/>;
// (Sender: the editor, var GraphicClass: the class a value is read as).
using TdxGraphicEditGetGraphicClassEvent = TEvent<TObject* /*Sender*/, TGraphicClass& /*GraphicClass*/>;

class TdxGraphicEditViewData : public TdxEditViewData {
  KIVO_CLASS(TdxGraphicEditViewData, TdxEditViewData)
 public:
  // Centre a picture drawn at its own size.
  bool Center = false;
  // The cell is selected and its column wants a selection shadow over it.
  bool SelectionShadow = false;
  TPicture* Picture = nullptr;  // not owned
  // Drawn bitmaps may ignore their palette.
  bool QuickDraw = false;
  COLORREF WindowColor = 0;
  // Scale the picture into the content, keeping its proportions.
  bool Stretch = false;
  // A work bitmap the picture is drawn through (not owned; null for none).
  TBitmap* Buffer = nullptr;
};

// Where a picture of `pictureWidth` x `pictureHeight` is drawn in `content`: its own
// size at the top left (moved by half the free room with `center`), or with `stretch`
// the largest size of its proportions at the top left. Empty when the content or the
// picture has no area.
TRect CalcGraphicRect(const TRect& content, int pictureWidth, int pictureHeight, bool center, bool stretch);

// The graphic a graphic editor's value refers to; null for an empty value.
TGraphic* GraphicOfEditValue(const Variant& value);

class TdxInplaceGraphicEdit : public TdxInplaceEdit {
  KIVO_CLASS(TdxInplaceGraphicEdit, TdxInplaceEdit)
 public:
  explicit TdxInplaceGraphicEdit(TComponent* AOwner);
  ~TdxInplaceGraphicEdit() override;

  // ---- Class operations
  static bool DrawContent(const TdxInplaceEditClass& cls, HDC dc, const TRect& rect, TdxEditViewData* viewData,
                          bool editorWindow);
  static void GetContentSize(const TdxInplaceEditClass& cls, TdxEditViewData* viewData, TRect& rect);
  static TClass GetViewDataClass(const TdxInplaceEditClass& cls);

  // ---- Value
  void SetEditValue(const Variant& value) override;
  // The picture's graphic (after OnAssignPicture) as an object reference; Null when
  // there is none.
  void GetEditValue(Variant& value) override;
  TdxEditViewData* CreateViewData(bool forPainting) override;
  bool IsFocused() override;
  void EditorExit(TMessage& message) override;

  // ---- Commands (each does nothing when it is not allowed)
  void CutToClipboard();
  void CopyToClipboard();
  void PasteFromClipboard();
  void DeletePicture();
  void LoadFromFile();
  void SaveToFile();
  void ShowToolBar();
  // Runs tool-bar button `index` (0 cut ... 6 custom) and hides the tool bar.
  void ToolBarButtonClick(TObject* sender, int index);

  // ---- Properties
  TPicture* GetPicture() const { return FPicture.get(); }
  void SetPicture(TPicture* value) { FPicture->Assign(value); }
  bool GetCenter() const { return FCenter; }
  void SetCenter(bool value);
  bool GetStretch() const { return FStretch; }
  void SetStretch(bool value);
  bool GetCustomGraphic() const { return FCustomGraphic; }
  void SetCustomGraphic(bool value);
  TdxGraphicEditTransparency GetGraphicTransparency() const { return FGraphicTransparency; }
  void SetGraphicTransparency(TdxGraphicEditTransparency value);
  UINT GetClipboardFormat() const { return FClipboardFormat; }
  void SetClipboardFormat(UINT value) { FClipboardFormat = value; }
  const std::string& GetCustomFilter() const { return FCustomFilter; }
  void SetCustomFilter(const std::string& value) { FCustomFilter = value; }
  bool GetDblClickActivate() const { return FDblClickActivate; }
  void SetDblClickActivate(bool value) { FDblClickActivate = value; }
  bool GetQuickDraw() const { return FQuickDraw; }
  void SetQuickDraw(bool value) { FQuickDraw = value; }
  TdxPopupToolBarWindow* GetPopupToolBar() const { return FPopupToolBar.get(); }
  void SetPopupToolBar(TdxPopupToolBarWindow* value) { FPopupToolBar->Assign(value); }
  bool GetPopupToolbarPosStored() const { return FPopupToolbarPosStored; }
  void SetPopupToolbarPosStored(bool value);
  // The tool-bar form (owned; it exists as long as the editor).
  TdxPopupToolBar* GetToolBar() const { return FToolBar; }
  const TPoint& GetStoredToolBarPos() const { return FStoredToolBarPos; }
  // Where the tool bar shows next (with PopupToolbarPosStored); (-10000, -10000): none.
  void SetStoredToolBarPos(const TPoint& value) { FStoredToolBarPos = value; }
  const TPoint& GetLastToolBarPos() const { return FLastToolBarPos; }

  void Dispatch(TMessage& message) override;

  TdxGraphicEditAssignPictureEvent OnAssignPicture;
  TNotifyEvent OnCustomClick;
  TdxGraphicEditGetGraphicClassEvent OnGetGraphicClass;

 protected:
  TdxInplaceGraphicEdit(TComponent* AOwner, const TdxInplaceEditClass* cls);
  virtual void DoCustomClick();
  virtual void DoAssignPicture(TPicture*& picture);
  // The class a value is read as: null (a bitmap), or what OnGetGraphicClass chooses.
  virtual TGraphicClass GetGraphicClass();

  void StateChanged() override;
  void KeyDown(WORD& key, TShiftState shift) override;
  void KeyPress(char& key) override;
  void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;

 private:
  void PictureChanged(TObject* sender);
  // The editor's own step for each picture command.
  TdxPictureCommandSteps PictureSteps();
  // Runs the picture-changed step as no edit (the loading flag raised for it).
  void PictureChangedQuietly();
  // Applies the editor's picture and clipboard state to the tool bar.
  void ResetToolBar();
  void BuildPopupMenu();
  void MenuItemClick(TObject* sender);
  void WMContextMenu(TMessage& message);
  void WMGetDlgCode(TMessage& message);

  bool FCenter = true;
  UINT FClipboardFormat;
  std::string FCustomFilter;
  bool FCustomGraphic = false;
  bool FDblClickActivate = true;
  TdxGraphicEditTransparency FGraphicTransparency = gtDefault;
  std::unique_ptr<TPicture> FPicture;
  TdxPopupToolBar* FToolBar = nullptr;
  bool FQuickDraw = false;
  TPoint FLastToolBarPos;
  bool FStretch = false;
  TBitmap* FTransparencyBuffer = nullptr;
  std::unique_ptr<TdxPopupToolBarWindow> FPopupToolBar;
  TPoint FStoredToolBarPos;
  bool FPopupToolbarPosStored = true;
};
