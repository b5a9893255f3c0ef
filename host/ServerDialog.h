// The base of every dialog of the plug-in.
//
// A server dialog is a child of the host's main window, asks for the title-bar help
// button and gets context help from TFormWithHelp. Descendants build their controls
// in their constructor under a loading scope; when that build has loaded, the dialog
// is themed (through DialogThemeHooks) and placed in the middle of the monitor that
// holds the active window. Showing it never moves it again, whatever its Position.
#pragma once

#include "host/FormWithHelp.h"

class TServerDialog;

// Dialog theming plugs in here: the skin library's theme engine and themed frame are
// made and applied by the routines a theming unit installs. Until then (null) server
// dialogs are plain forms.
struct TDialogThemeHooks {
  // Run from Loaded, after the build: find or make the dialog's theme engine and
  // themed frame (SetThemeEngine, SetThemeForm) and apply them to every control.
  void (*CreateDialogTheme)(TServerDialog* dialog) = nullptr;
  // Run for each control placed on the dialog afterwards.
  void (*ApplyDialogTheme)(TServerDialog* dialog, TControl* control) = nullptr;
};
extern TDialogThemeHooks DialogThemeHooks;

// Places `form` in the middle of the full bounds of the monitor holding the active
// window (through the screen's monitor provider), keeping its size; nothing happens
// when there is no active window or it lies on no monitor.
void CenterOnActiveMonitor(TCustomForm* form);

class TServerDialog : public TFormWithHelp {
  KIVO_CLASS(TServerDialog, TFormWithHelp)
 public:
  explicit TServerDialog(TComponent* AOwner) : TFormWithHelp(AOwner) {}

  // Never called by the system; descendants may answer a value of their own.
  virtual int GetCustomDialogValue() { return 0; }

  // The theme engine and themed frame of the dialog (components the theming unit
  // makes); cleared when they go away.
  TComponent* GetThemeEngine() const { return FThemeEngine; }
  void SetThemeEngine(TComponent* value);
  TComponent* GetThemeForm() const { return FThemeForm; }
  void SetThemeForm(TComponent* value);

  void Dispatch(TMessage& message) override;

 protected:
  void CreateParams(TCreateParams& params) override;
  void Loaded() override;
  void Notification(TComponent* AComponent, TOperation operation) override;
  void CMShowingChanged(TMessage& message);
  void CMControlListChange(TMessage& message);

 private:
  TComponent* FThemeEngine = nullptr;
  TComponent* FThemeForm = nullptr;
};
