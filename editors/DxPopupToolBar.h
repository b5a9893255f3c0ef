// The popup tool bar of the picture editors: a small stay-on-top tool window with up
// to seven flat buttons (cut, copy, paste, delete, load, save and a custom one) that an
// editor shows beside itself, and the settings object an editor publishes for it.
//
// TdxPopupToolBar never takes the activation: clicks do not activate it, it is shown
// without activating, and while it is up the editor's form keeps an active caption. It
// joins the clipboard-viewer chain while its window exists, so that Paste follows the
// clipboard, and mirrors its button states into the items of its popup menu, found by
// the button each item stands for (the item's Tag). It places itself next to its
// owner control (the editor) inside the work area of the monitor at that point.
#pragma once

#include <cstdint>
#include <string>

#include "classlib/Bitmap.h"
#include "classlib/Buttons.h"
#include "classlib/Forms.h"
#include "classlib/Menus.h"
#include "classlib/Set.h"
#include "editors/DxExEdtr.h"
#include "editors/DxPictureCommands.h"  // TdxPopupToolBarButton

class TdxInplaceGraphicEdit;

enum TdxPopupToolBarAlignment : uint8_t { ptaLeft, ptaRight, ptaTop, ptaBottom };
using TdxPopupToolBarButtons = TSet<TdxPopupToolBarButton>;

constexpr TdxPopupToolBarButtons kDxDefaultToolBarButtons{ptbCut, ptbCopy, ptbPaste, ptbDelete, ptbLoad, ptbSave};

// (Sender: the tool bar, Index: the button, 0-6).
using TdxPopupToolBarButtonClickEvent = TEvent<TObject* /*Sender*/, int /*Index*/>;

class TdxPopupToolBar : public TForm {
  KIVO_CLASS(TdxPopupToolBar, TForm)
 public:
  // The form of an editor (`AOwner`, which it is placed beside); made without a form
  // resource, with its seven buttons.
  explicit TdxPopupToolBar(TComponent* AOwner);
  ~TdxPopupToolBar() override;

  // Shows the window without activating it, on top, unless nobody wants it or the user
  // closed it.
  void ShowToolBar();
  void HideToolBar();
  // The window is up.
  bool Showing();
  // Places the window beside the owner control whose window's top-left corner is
  // `point` (screen coordinates), by Alignment, inside the work area.
  void PlaceBeside(const TPoint& point);
  // Enables the buttons by the picture, read-only and clipboard state, and the items of
  // the popup menu with them.
  void UpdateButtonStates();

  TSpeedButton* GetButton(int index) const;
  TdxPopupToolBarAlignment GetAlignment() const { return FAlignment; }
  void SetAlignment(TdxPopupToolBarAlignment value);
  TdxPopupToolBarButtons GetButtons() const { return FButtons; }
  void SetButtons(TdxPopupToolBarButtons value);
  bool GetShowCaptions() const { return FShowCaptions; }
  void SetShowCaptions(bool value);
  const std::string& GetCustomCaption() const { return FCustomCaption; }
  void SetCustomCaption(const std::string& value);
  void SetCustomGlyph(TBitmap* value);
  // The menu whose items mirror the buttons (owned: a new one frees the old).
  TPopupMenu* GetPopupMenu() const { return FPopupMenu; }
  void SetPopupMenu(TPopupMenu* value);
  bool GetIsPopupMenu() const { return FIsPopupMenu; }
  void SetIsPopupMenu(bool value) { FIsPopupMenu = value; }
  bool GetVisibleWanted() const { return FVisibleWanted; }
  void SetVisibleWanted(bool value) { FVisibleWanted = value; }
  bool GetClosed() const { return FClosed; }
  void SetClosed(bool value) { FClosed = value; }
  bool GetPictureEmpty() const { return FPictureEmpty; }
  void SetPictureEmpty(bool value) { FPictureEmpty = value; }
  bool GetReadOnly() const { return FReadOnly; }
  void SetReadOnly(bool value) { FReadOnly = value; }
  UINT GetPasteFormat() const { return FPasteFormat; }
  void SetPasteFormat(UINT value) { FPasteFormat = value; }
  bool GetInClipboardChain() const { return FInClipboardChain; }

  void Dispatch(TMessage& message) override;

  TdxPopupToolBarButtonClickEvent OnButtonClick;

 protected:
  void CreateParams(TCreateParams& params) override;
  void CreateWnd() override;
  void DestroyWnd() override;

 private:
  void ButtonClick(TObject* sender);
  void Relayout();
  void LeaveClipboardChain();
  void WMActivate(TMessage& message);
  void WMChangeCBChain(TMessage& message);
  void WMDrawClipboard(TMessage& message);
  void WMKillFocus(TMessage& message);
  void WMClose(TMessage& message);

  TSpeedButton* FButtonControls[kDxToolButtonCount] = {};
  bool FVisibleWanted = false;
  bool FInClipboardChain = false;
  UINT FPasteFormat;
  TPopupMenu* FPopupMenu = nullptr;
  bool FClosed = false;
  bool FPictureEmpty = false;
  bool FIsPopupMenu = false;
  bool FReadOnly = false;
  HWND FNextClipboardViewer = nullptr;
  bool FShowCaptions = true;
  TdxPopupToolBarAlignment FAlignment = ptaRight;
  TdxPopupToolBarButtons FButtons = kDxDefaultToolBarButtons;
  std::string FCustomCaption;
};

// The tool-bar settings a picture editor publishes; the editor applies them to its tool
// bar each time it shows it.
class TdxPopupToolBarWindow : public TPersistent {
  KIVO_CLASS(TdxPopupToolBarWindow, TPersistent)
 public:
  explicit TdxPopupToolBarWindow(TdxInplaceGraphicEdit* editor) : FEditor(editor) {}
  ~TdxPopupToolBarWindow() override;

  void Assign(TPersistent* source) override;

  TdxPopupToolBarAlignment GetAlignment() const { return FAlignment; }
  void SetAlignment(TdxPopupToolBarAlignment value) { FAlignment = value; }
  TdxPopupToolBarButtons GetButtons() const { return FButtons; }
  void SetButtons(TdxPopupToolBarButtons value) { FButtons = value; }
  const std::string& GetCustomButtonCaption() const { return FCustomButtonCaption; }
  void SetCustomButtonCaption(const std::string& value) { FCustomButtonCaption = value; }
  // Made empty on first read; owned.
  TBitmap* GetCustomButtonGlyph();
  // Copies the bitmap; null frees the glyph.
  void SetCustomButtonGlyph(TBitmap* value);
  bool HasCustomButtonGlyph() const { return FCustomButtonGlyph != nullptr; }
  TdxInplaceGraphicEdit* GetEditor() const { return FEditor; }
  bool GetIsPopupMenu() const { return FIsPopupMenu; }
  // Also tells the editor's tool bar.
  void SetIsPopupMenu(bool value);
  bool GetShowCaptions() const { return FShowCaptions; }
  void SetShowCaptions(bool value) { FShowCaptions = value; }
  bool GetVisible() const { return FVisible; }
  void SetVisible(bool value) { FVisible = value; }

 private:
  TdxPopupToolBarAlignment FAlignment = ptaBottom;
  TdxPopupToolBarButtons FButtons = kDxDefaultToolBarButtons;
  std::string FCustomButtonCaption;
  TBitmap* FCustomButtonGlyph = nullptr;
  TdxInplaceGraphicEdit* FEditor;  // not owned
  bool FIsPopupMenu = true;
  bool FShowCaptions = true;
  bool FVisible = true;
};
