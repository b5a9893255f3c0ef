// TdxInplaceHyperLinkEdit: a text editor that shows its text as an underlined link in
// the link colour and starts it on a click (with SingleClick), a double click or its
// start key (Ctrl+Enter by default): through OnStartClick when assigned, else through
// the shell's "OPEN" verb. The shell is reached through DxShellExecuteProc, which tests
// replace so that no program is started.
#pragma once

#include <cstdint>

#include "classlib/Menus.h"  // TShortCut
#include "editors/DxInplaceTextEdit.h"

class TFont;

// The routine that starts a link: ShellExecuteA unless replaced.
using TDxShellExecuteProc = HINSTANCE(WINAPI*)(HWND wnd, LPCSTR verb, LPCSTR file, LPCSTR parameters,
                                               LPCSTR directory, INT showCommand);
extern TDxShellExecuteProc DxShellExecuteProc;

class TdxHyperLinkEditViewData : public TdxTextEditViewData {
  KIVO_CLASS(TdxHyperLinkEditViewData, TdxTextEditViewData)
 public:
  // The mouse shows the hand over the cell.
  bool HandCursor = false;
};

class TdxInplaceHyperLinkEdit : public TdxInplaceTextEdit {
  KIVO_CLASS(TdxInplaceHyperLinkEdit, TdxInplaceTextEdit)
 public:
  explicit TdxInplaceHyperLinkEdit(TComponent* AOwner);
  ~TdxInplaceHyperLinkEdit() override;

  // ---- Class operations
  using TControl::GetCursor;
  static TCursor GetCursor(const TdxInplaceEditClass& cls, int x, int y, TdxEditViewData* viewData);
  static TClass GetViewDataClass(const TdxInplaceEditClass& cls);

  // Starts the link: OnStartClick when assigned (and nothing else); otherwise, when
  // the text is not blank, the shell opens the text as it stands.
  virtual void Start();

  // ---- Overrides
  TdxEditViewData* CreateViewData(bool forPainting) override;
  void ClickAction() override;
  void SelectAll() override;
  void Dispatch(TMessage& message) override;

  // ---- Properties
  TColor GetLinkColor() const { return FLinkColor; }
  void SetLinkColor(TColor value);
  // The editor's font, underlined, in the link colour; made on first use.
  TFont* GetLinkFont();
  bool GetSingleClick() const { return FSingleClick; }
  void SetSingleClick(bool value) { FSingleClick = value; }
  TShortCut GetStartKey() const { return FStartKey; }
  void SetStartKey(TShortCut value) { FStartKey = value; }

  TNotifyEvent OnStartClick;

 protected:
  TdxInplaceHyperLinkEdit(TComponent* AOwner, const TdxInplaceEditClass* cls);
  void KeyDown(WORD& key, TShiftState shift) override;
  void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override;

 private:
  void WMSetFont(TMessage& message);

  TColor FLinkColor = clBlue;
  TFont* FLinkFont = nullptr;
  bool FSingleClick = false;
  TShortCut FStartKey = scCtrl | VK_RETURN;
};
