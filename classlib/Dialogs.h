// Message dialogs and the common file dialogs.
//
// CreateMessageDialog builds a form of its own class (TMessageForm) with an icon by
// type, the text and a row of standard buttons; MessageDlg shows one modally.
//
// The file dialogs run the system's open and save dialogs with an explorer-style hook
// procedure of the class library. Two routines of theirs can be replaced as a whole,
// like InsertControlProc and ShowingChangedProc of the controls and forms:
// CommonDialogModalRunProc runs a dialog function modally, CommonDialogHookProc handles
// the messages of the hook. A replacement calls the original (the *Original routine)
// itself when it needs it. These slots are how the dialog framework redirects them; no
// code is rewritten in memory.
#pragma once

#include <string>

#include "classlib/Forms.h"
#include "classlib/Set.h"

enum TMsgDlgType { mtWarning, mtError, mtInformation, mtConfirmation, mtCustom };
enum TMsgDlgBtn { mbYes, mbNo, mbOK, mbCancel, mbAbort, mbRetry, mbIgnore, mbAll, mbNoToAll, mbYesToAll, mbHelp };
using TMsgDlgButtons = TSet<TMsgDlgBtn>;

// The form of every message dialog.
class TMessageForm : public TForm {
  KIVO_CLASS(TMessageForm, TForm)
 public:
  explicit TMessageForm(TComponent* AOwner);

 private:
  void HelpButtonClick(TObject* sender);
  friend TForm* CreateMessageDialog(const std::string&, TMsgDlgType, TMsgDlgButtons);
};

// Lays out a message dialog on `form` in the form's font, measured in dialog units of
// its average character: border style bsDialog, the icon by type ("Image", as large as
// the system's icon metrics), the text ("Message", wrapped at half the screen width,
// as wide as its drawn lines reach) and the row of standard buttons named
// and captioned by kind, and the client size that holds them. The default button is
// OK, else Yes, else Retry; the cancel button Cancel, else No, else OK (a choice may
// name a kind without a button). `helpClick` becomes the Help button's OnClick.
void LayoutMessageForm(TCustomForm* form, const std::string& text, TMsgDlgType dlgType,
                       TMsgDlgButtons buttons, TNotifyEvent helpClick);
// A new message dialog (owned by the application) laid out for `text`; the caller
// shows and frees it. The default button is OK, else Yes, else Retry; the cancel button
// Cancel, else No, else OK.
TForm* CreateMessageDialog(const std::string& text, TMsgDlgType dlgType, TMsgDlgButtons buttons);
// Shows a message dialog and answers its modal result (mrNone .. mrYesToAll).
int MessageDlg(const std::string& text, TMsgDlgType dlgType, TMsgDlgButtons buttons, int helpContext);

// ---- File dialogs -----------------------------------------------------------------------

enum TOpenOption {
  ofReadOnly, ofOverwritePrompt, ofHideReadOnly, ofNoChangeDir, ofShowHelp, ofNoValidate,
  ofAllowMultiSelect, ofExtensionDifferent, ofPathMustExist, ofFileMustExist, ofCreatePrompt,
  ofShareAware, ofNoReadOnlyReturn, ofNoTestFileCreate, ofNoNetworkButton, ofNoLongNames,
  ofOldStyleDialog, ofNoDereferenceLinks, ofEnableIncludeNotify, ofEnableSizing
};
using TOpenOptions = TSet<TOpenOption>;

// The system's dialog functions (GetOpenFileNameA, GetSaveFileNameA).
using TOpenFileNameFunc = BOOL(WINAPI*)(OPENFILENAMEA*);

class TCommonDialog;

using TCommonDialogModalRunProcType = BOOL (*)(TCommonDialog* dialog, TOpenFileNameFunc func, OPENFILENAMEA& ofn);
using TCommonDialogHookProcType = UINT_PTR (*)(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam);
extern TCommonDialogModalRunProcType CommonDialogModalRunProc;
extern TCommonDialogHookProcType CommonDialogHookProc;
// Runs `func` on `ofn` with the application's windows disabled as for a modal form.
BOOL CommonDialogModalRunOriginal(TCommonDialog* dialog, TOpenFileNameFunc func, OPENFILENAMEA& ofn);
// On CDN_INITDONE centres the dialog's frame on the screen's work area; 0 otherwise.
UINT_PTR CommonDialogHookOriginal(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam);
// The hook procedure the file dialogs put into OPENFILENAME: CommonDialogHookProc
// behind an exception barrier.
UINT_PTR CALLBACK CommonDialogHook(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam);

class TCommonDialog : public TComponent {
  KIVO_CLASS(TCommonDialog, TComponent)
 public:
  explicit TCommonDialog(TComponent* AOwner) : TComponent(AOwner) {}
  int GetHelpContext() const { return FHelpContext; }
  void SetHelpContext(int value) { FHelpContext = value; }
  virtual bool Execute() = 0;

 protected:
  // Runs a dialog function modally (through CommonDialogModalRunProc).
  virtual BOOL TaskModalDialog(TOpenFileNameFunc func, OPENFILENAMEA& ofn);

 private:
  int FHelpContext = 0;
};

class TOpenDialog : public TCommonDialog {
  KIVO_CLASS(TOpenDialog, TCommonDialog)
 public:
  explicit TOpenDialog(TComponent* AOwner) : TCommonDialog(AOwner) {}
  const std::string& GetFileName() const { return FFileName; }
  void SetFileName(const std::string& value) { FFileName = value; }
  // "Description|*.ext|Description|*.ext..."
  const std::string& GetFilter() const { return FFilter; }
  void SetFilter(const std::string& value) { FFilter = value; }
  int GetFilterIndex() const { return FFilterIndex; }
  void SetFilterIndex(int value) { FFilterIndex = value; }
  const std::string& GetDefaultExt() const { return FDefaultExt; }
  void SetDefaultExt(const std::string& value) { FDefaultExt = value; }
  const std::string& GetInitialDir() const { return FInitialDir; }
  void SetInitialDir(const std::string& value) { FInitialDir = value; }
  const std::string& GetTitle() const { return FTitle; }
  void SetTitle(const std::string& value) { FTitle = value; }
  TOpenOptions GetOptions() const { return FOptions; }
  void SetOptions(TOpenOptions value) { FOptions = value; }
  // The window the dialog is owned by: the active form's, else the application's.
  HWND OwnerWindow() const;
  // Shows the dialog; true with FileName set when the user chose a file.
  bool Execute() override;

 protected:
  bool DoExecute(TOpenFileNameFunc func);

 private:
  std::string FFileName, FFilter, FDefaultExt, FInitialDir, FTitle;
  int FFilterIndex = 1;
  TOpenOptions FOptions{ofHideReadOnly, ofEnableSizing};
};

class TSaveDialog : public TOpenDialog {
  KIVO_CLASS(TSaveDialog, TOpenDialog)
 public:
  explicit TSaveDialog(TComponent* AOwner) : TOpenDialog(AOwner) {}
  bool Execute() override;
};
