#include "host/ServerDialog.h"

#include "classlib/AliveGuard.h"
#include "host/ClientApi.h"
#include "skin/KsThemeForms.h"
#include "skin/TeThemeEngine.h"

TDialogThemeHooks DialogThemeHooks;

void CenterOnActiveMonitor(TCustomForm* form) {
  HWND active = GetActiveWindow();
  if (!active)
    return;
  HMONITOR monitor = MonitorProvider().FromWindow(active, MONITOR_DEFAULTTONULL);
  MONITORINFO info{};
  info.cbSize = sizeof info;
  if (!monitor || !MonitorProvider().GetInfo(monitor, info))
    return;
  const RECT& bounds = info.rcMonitor;
  const int width = form->GetWidth(), height = form->GetHeight();
  form->SetBounds((bounds.left + bounds.right - width) / 2, (bounds.top + bounds.bottom - height) / 2,
                  width, height);
}

void TServerDialog::SetThemeEngine(TTeThemeEngine* value) {
  ReplaceReference(FThemeEngine, value);
}

void TServerDialog::SetThemeForm(TTeThemeForm* value) {
  ReplaceReference(FThemeForm, value);
}

void TServerDialog::Dispatch(TMessage& message) {
  switch (message.Msg) {
    case CM_SHOWINGCHANGED: CMShowingChanged(message); return;
    case CM_CONTROLLISTCHANGE: CMControlListChange(message); return;
  }
  inherited::Dispatch(message);
}

void TServerDialog::CreateParams(TCreateParams& params) {
  inherited::CreateParams(params);
  params.ExStyle |= WS_EX_CONTEXTHELP;
  params.WndParent = HostMainWindow();
}

void TServerDialog::Loaded() {
  inherited::Loaded();
  if (DialogThemeHooks.CreateDialogTheme) {
    DialogThemeHooks.CreateDialogTheme(this);
    // Engine and frame load before the controls are themed; those the build brought
    // are then not loaded again at the end of the build.
    if (FThemeEngine)
      FThemeEngine->Loaded();
    if (FThemeForm)
      FThemeForm->Loaded();
  }
  if (DialogThemeHooks.ApplyDialogTheme)
    DialogThemeHooks.ApplyDialogTheme(this, this);
  CenterOnActiveMonitor(this);
}

void TServerDialog::Notification(TComponent* AComponent, TOperation operation) {
  inherited::Notification(AComponent, operation);
  if (operation == opInsert) {
    // A control the dialog owns from birth is not complete yet when it is inserted (C++
    // builds the most derived part last): it is themed when it is placed on a parent.
    // One handed over complete is themed here.
    if (!GetComponentState().Contains(csLoading) && DialogThemeHooks.ApplyDialogTheme)
      if (auto* control = ObjectAs<TControl>(AComponent))
        DialogThemeHooks.ApplyDialogTheme(this, control);
    return;
  }
  if (AComponent == FThemeEngine)
    FThemeEngine = nullptr;
  if (AComponent == FThemeForm)
    FThemeForm = nullptr;
}

void TServerDialog::CMShowingChanged(TMessage& message) {
  // The class library would place the form by its Position on showing; a server
  // dialog stays where it was centred, so it is shown as a designed-position form.
  if (!GetShowing() || GetPosition() == poDesigned) {
    inherited::Dispatch(message);
    return;
  }
  // OnShow may free the dialog: its position is given back only while it lives.
  const TOnExitIfAlive restore(this, [this, position = GetPosition()] { SetPosition(position); });
  SetPosition(poDesigned);
  inherited::Dispatch(message);
}

void TServerDialog::CMControlListChange(TMessage& message) {
  inherited::Dispatch(message);
  if (message.LParam != 0 && DialogThemeHooks.ApplyDialogTheme)
    DialogThemeHooks.ApplyDialogTheme(this, reinterpret_cast<TControl*>(message.WParam));
}
