// The base of every dialog of the plug-in.
//
// A server dialog is a child of the host's main window, asks for the title-bar help
// button and gets context help from TFormWithHelp. Descendants build their controls
// in their constructor under a loading scope; when that build has loaded, the dialog
// is themed (through DialogThemeHooks) and placed in the middle of the monitor that
// holds the active window. Showing it never moves it again, whatever its Position.
// Controls placed on it after loading are themed as they come: owned by it, or
// inserted anywhere in its tree of controls.
#pragma once

#include "host/FormWithHelp.h"
#include "skin/KsForms.h"

class TServerDialog;
class TTeThemeEngine;
class TTeThemeForm;

// Dialog theming plugs in here: the skin library's theme engine and themed frame are
// made and applied by the routines the dialog-theme unit installs (DialogTheme.h).
// Until then (null) server dialogs and message boxes are plain forms.
struct TDialogThemeHooks {
  // Run from Loaded, after the build: find or make the dialog's theme engine and
  // themed frame (SetThemeEngine, SetThemeForm) and set them up.
  void (*CreateDialogTheme)(TServerDialog* dialog) = nullptr;
  // Run over the whole dialog once it is themed, and for each control placed on it
  // afterwards.
  void (*ApplyDialogTheme)(TServerDialog* dialog, TComponent* component) = nullptr;
  // Run for each host-styled message box once it is laid out.
  void (*ThemeMessageForm)(TCustomForm* form) = nullptr;
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
  // The caption buttons of the dialog's themed frame: close and help.
  virtual TKsBorderIcons GetThemeBorderIcons() { return {kbiClose, kbiHelp}; }

  // The theme engine and themed frame of the dialog (components the theming unit
  // finds or makes); cleared when they go away.
  TTeThemeEngine* GetThemeEngine() const { return FThemeEngine; }
  void SetThemeEngine(TTeThemeEngine* value);
  TTeThemeForm* GetThemeForm() const { return FThemeForm; }
  void SetThemeForm(TTeThemeForm* value);

  void Dispatch(TMessage& message) override;

 protected:
  void CreateParams(TCreateParams& params) override;
  void Loaded() override;
  void Notification(TComponent* AComponent, TOperation operation) override;
  void CMShowingChanged(TMessage& message);
  void CMControlListChange(TMessage& message);

 private:
  TTeThemeEngine* FThemeEngine = nullptr;
  TTeThemeForm* FThemeForm = nullptr;
};
