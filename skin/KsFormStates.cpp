// The window states of a skinned form and their commands.
//
// Decisions taken here:
// - Restoring to the normal state never applies restore bounds that were not saved.
// - Minimizing in answer to the application's own minimize event does not minimize the
//   application again, which would run the chained minimize handlers twice.
#include "skin/KsFormStates.h"

#include <string>

#include "classlib/AliveGuard.h"
#include "classlib/FlagScope.h"
#include "classlib/Forms.h"
#include "skin/KsForms.h"

namespace {

bool EmptyBounds(const TRect& r) { return r.right <= r.left || r.bottom <= r.top; }

}  // namespace

void TKsFormStates::ApplyLoadedState() {
  switch (FLoadedState) {
    case kwsMaximized: FForm.Maximize(); break;
    case kwsMinimized: FForm.Minimize(); break;
    case kwsRollup: FForm.Rollup(); break;
    case kwsTray: FForm.MinimizeToTray(); break;
    case kwsNormal: break;
  }
}

void TKsFormStates::SetWindowState(TKsWindowState value) {
  if (value == FWindowState)
    return;
  switch (value) {
    case kwsNormal: FForm.Restore(); break;
    case kwsMaximized: FForm.Maximize(); break;
    case kwsMinimized: FForm.Minimize(); break;
    case kwsRollup: FForm.Rollup(); break;
    case kwsTray: FForm.MinimizeToTray(); break;
  }
}

void TKsFormStates::ForgetMaximizedPrevState() {
  if (FPrevState == kwsMaximized)
    FPrevState = kwsNormal;
}

void TKsFormStates::MinimizeWithApplication() {
  const TFlagScope minimizing(FAppMinimizing);
  FForm.Minimize();
}

TCustomForm* TKsFormStates::CommandForm() const {
  TCustomForm* form = FForm.GetForm();
  if (!FForm.GetActive() || !form || !form->HandleAllocated() || FForm.Designing())
    return nullptr;
  return form;
}

bool TKsFormStates::IsModalForm() const {
  TCustomForm* form = FForm.GetForm();
  return form && form->GetFormState().Contains(fsModal);
}

void TKsFormStates::CloseForm() {
  TCustomForm* form = CommandForm();
  if (!form)
    return;
  if (IsModalForm()) {
    form->SetModalResult(mrCancel);
    return;
  }
  // The closing handlers may free the form, and its skin with it.
  bool canClose = false;
  if (!Survives(form, [&] { canClose = form->CloseQuery(); }) || !canClose)
    return;
  TCloseAction action = caHide;
  if (FForm.IsMDIChild())
    action = FForm.GetBorderIcons().Contains(kbiMinimize) ? caMinimize : caNone;
  if (!Survives(form, form->OnClose, action) || action == caNone)
    return;
  if (Application && Application->GetMainForm() == form) {
    Application->Terminate();
    return;
  }
  switch (action) {
    case caHide:
      FForm.MDI().HideParentButtons();
      FForm.RestoreMDIChildren();
      form->Hide();
      break;
    case caMinimize: FForm.Minimize(); break;
    case caFree:
      FForm.MDI().HideParentButtons();
      FForm.RestoreMDIChildren();
      form->Release();
      break;
    case caNone: break;
  }
}

void TKsFormStates::Maximize() {
  TCustomForm* form = CommandForm();
  if (!form)
    return;
  if (FWindowState == kwsMaximized) {
    FForm.Restore();
    return;
  }
  if (FWindowState != kwsRollup && FWindowState != kwsMinimized)
    FRestoreBounds = form->GetBoundsRect();
  FPrevState = FWindowState;
  FWindowState = kwsMaximized;
  form->SetBoundsRect(FForm.GetMaximizedRect());
  form->Invalidate();
  FForm.PaintNonClient();
  if (FForm.IsMDIChild()) {
    FForm.UpdateFrame();
    FForm.MDI().ShowParentButtons();
    FForm.UpdateMDICaption();
  }
}

void TKsFormStates::Minimize() {
  TCustomForm* form = CommandForm();
  if (!form || IsModalForm())
    return;
  if (FWindowState == kwsMinimized) {
    FForm.Restore();
    return;
  }
  if (FWindowState != kwsRollup && FWindowState != kwsMaximized)
    FRestoreBounds = form->GetBoundsRect();
  FPrevState = FWindowState;
  FWindowState = kwsMinimized;
  if (FForm.IsMDIChild()) {
    FForm.UpdateFrame();
    PostMessageA(form->GetHandle(), WM_SIZE, 0, 0);
    FForm.MDI().HideParentButtons();
    FForm.RestoreMDIChildren();
  }
  if (FMinimizeApplication && Application) {
    if (!FAppMinimizing)
      Application->Minimize();
  } else
    form->SetBoundsRect(FForm.GetMinimizedRect());
}

void TKsFormStates::Rollup() {
  TCustomForm* form = CommandForm();
  if (!form)
    return;
  if (FWindowState == kwsRollup) {
    FForm.Restore();
    return;
  }
  if (FWindowState != kwsMinimized && FWindowState != kwsMaximized)
    FRestoreBounds = form->GetBoundsRect();
  FPrevState = FWindowState;
  FWindowState = kwsRollup;
  form->SetBoundsRect(FForm.GetRollupRect());
}

void TKsFormStates::MinimizeToTray() {
  TCustomForm* form = CommandForm();
  if (!form || IsModalForm())
    return;
  if (FWindowState == kwsTray) {
    FForm.Restore();
    return;
  }
  if (FWindowState != kwsMinimized && FWindowState != kwsMaximized && FWindowState != kwsRollup)
    FRestoreBounds = form->GetBoundsRect();
  FPrevState = FWindowState;
  FWindowState = kwsTray;
  std::string tip;
  if (FMinimizeApplication && Application) {
    tip = Application->GetTitle();
    Application->Minimize();
    if (Application->GetHandle())
      ShowWindow(Application->GetHandle(), SW_HIDE);
  } else {
    tip = form->GetCaption();
    ShowWindow(form->GetHandle(), SW_HIDE);
  }
  FForm.Tray().AddIcon(tip);
}

void TKsFormStates::Restore() {
  TCustomForm* form = CommandForm();
  if (!form)
    return;
  const TKsWindowState from = FWindowState;
  auto toSaved = [&] {
    FWindowState = kwsNormal;
    if (!EmptyBounds(FRestoreBounds))
      form->SetBoundsRect(FRestoreBounds);
  };
  switch (from) {
    case kwsNormal:
      if (!EmptyBounds(FRestoreBounds))
        form->SetBoundsRect(FRestoreBounds);
      return;
    case kwsMaximized:
      if (FPrevState == kwsMinimized) {
        if (FMinimizeApplication)
          return;
        toSaved();
        FForm.Maximize();
        return;
      }
      if (FPrevState == kwsRollup) {
        toSaved();
        FForm.Rollup();
        return;
      }
      FPrevState = kwsMaximized;
      toSaved();
      if (FForm.GetDropShadow())
        form->Invalidate();
      FForm.PaintNonClient();
      if (FForm.IsMDIChild()) {
        FForm.UpdateFrame();
        PostMessageA(form->GetHandle(), WM_SIZE, 0, 0);
        FForm.MDI().HideParentButtons();
        FForm.RestoreMDIChildren();
      }
      return;
    case kwsMinimized:
      if (FPrevState == kwsMaximized || FPrevState == kwsRollup) {
        if (FPrevState == kwsMaximized)
          FForm.Maximize();
        else
          FForm.Rollup();
        FPrevState = kwsNormal;
        return;
      }
      FPrevState = kwsMinimized;
      toSaved();
      return;
    case kwsRollup: {
      const TRect maximized = FForm.GetMaximizedRect();
      if (maximized.right - maximized.left == FForm.GetFrameWidth() || FPrevState == kwsMaximized) {
        FForm.Maximize();
        FPrevState = kwsNormal;
        return;
      }
      // Un-rolled where it was moved to, at the size it had.
      FPrevState = kwsRollup;
      FWindowState = kwsNormal;
      form->SetBounds(form->GetLeft(), form->GetTop(), FRestoreBounds.right - FRestoreBounds.left,
                      FRestoreBounds.bottom - FRestoreBounds.top);
      return;
    }
    case kwsTray: {
      HWND shown = form->GetHandle();
      if (FMinimizeApplication && Application && Application->GetHandle()) {
        Application->Restore();
        shown = Application->GetHandle();
      }
      ShowWindow(shown, SW_RESTORE);
      SetForegroundWindow(shown);
      FForm.Tray().RemoveIcon();
      // The bounds saved before the tray state survive the way back.
      const TRect saved = FRestoreBounds;
      const TKsWindowState previous = FPrevState;
      if (previous == kwsMaximized) {
        FForm.Maximize();
        FRestoreBounds = saved;
      } else if (previous == kwsRollup) {
        FForm.Rollup();
        FRestoreBounds = saved;
      } else {
        FPrevState = kwsTray;
        toSaved();
      }
      return;
    }
  }
}
