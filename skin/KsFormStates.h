// TKsFormStates: the window states of a skinned form and the commands that change them.
// The skinner keeps the states itself: the native window stays "normal" while it is
// sized to the maximized, minimized or rolled-up rectangle, and the tray state hides it
// behind a tray icon. Maximize, Minimize, Rollup and MinimizeToTray toggle (called in
// their own state they restore); commands on a form that is not hooked do nothing.
// A part of TKsCustomForm, whose virtual commands run these.
#pragma once

#include "classlib/Geometry.h"
#include "classlib/Object.h"
#include "skin/KsFormTypes.h"

class TCustomForm;
class TKsCustomForm;

class TKsFormStates : public TObject {
  KIVO_CLASS(TKsFormStates, TObject)
 public:
  explicit TKsFormStates(TKsCustomForm& form) : FForm(form) {}

  bool GetMinimizeApplication() const { return FMinimizeApplication; }
  void SetMinimizeApplication(bool value) { FMinimizeApplication = value; }
  TKsWindowState GetWindowState() const { return FWindowState; }
  TKsWindowState GetPrevState() const { return FPrevState; }
  const TRect& GetRestoreBounds() const { return FRestoreBounds; }
  // A state set while the form loads, taken up by ApplyLoadedState.
  void SetLoadedState(TKsWindowState value) { FLoadedState = value; }
  void ApplyLoadedState();
  // Runs the command of a new state.
  void SetWindowState(TKsWindowState value);
  // A capture of the background after a maximized state: the state before is normal.
  void ForgetMaximizedPrevState();

  void CloseForm();
  void Restore();
  void Maximize();
  void Minimize();
  void Rollup();
  void MinimizeToTray();
  // Minimizes in answer to the application's own minimize: the application is not
  // minimized again, which would run its minimize handlers twice.
  void MinimizeWithApplication();

  // The hooked form when the commands may act on it.
  TCustomForm* CommandForm() const;
  bool IsModalForm() const;

 private:
  TKsCustomForm& FForm;
  bool FMinimizeApplication = true;
  TKsWindowState FWindowState = kwsNormal;
  TKsWindowState FPrevState = kwsNormal;
  TKsWindowState FLoadedState = kwsNormal;
  TRect FRestoreBounds{0, 0, 0, 0};
  bool FAppMinimizing = false;
};
