// Window hooks.
//
// Decisions taken here:
// - A subclass that cannot be taken out because another one was installed on top of it
//   stays in that chain as a pass-through to the window's own procedure. Forwarding
//   such messages to the default procedure instead would cut the control off from its
//   own messages, and subclassing the window again would make the two subclasses call
//   each other for ever; so Install joins the chain it is still part of instead.
// - A TControlHook is installed again after WM_DESTROY only while hooks still listen:
//   once the last one has left, its control may already be freed.
// - A subclass still chained below a later one is not freed while its window lives.
// - A hook freed while registered also frees a subclass that no hook uses any more, so
//   that forms skinned and freed one after the other leave nothing behind in the list.
// - The handled state of the message a hook component dispatches is kept per dispatch:
//   a message sent while handling another must not decide whether the other one
//   reaches the window.
#include "skin/KsHooks.h"

#include <algorithm>
#include <cassert>

#include "classlib/AliveGuard.h"
#include "classlib/Boundary.h"
#include "classlib/Controls.h"
#include "classlib/Forms.h"
#include "classlib/UtilWindow.h"
#include "classlib/WndProcThunk.h"

namespace {

THookList* gHookList = nullptr;

bool IsBeingDestroyed(const TComponent* component) {
  return component->GetComponentState().Contains(csDestroying);
}

// The control's window when it has one; never makes one.
HWND ExistingWindow(TWinControl* control) {
  return control && control->HandleAllocated() ? control->GetHandle() : nullptr;
}

WNDPROC CurrentWndProc(HWND wnd) { return reinterpret_cast<WNDPROC>(GetWindowLongPtrA(wnd, GWLP_WNDPROC)); }

void SetWndProc(HWND wnd, WNDPROC proc) {
  SetWindowLongPtrA(wnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(proc));
}

void PostToHookList(UINT msg, TControlHook* controlHook) {
  if (gHookList && gHookList->GetWindow())
    PostMessageA(gHookList->GetWindow(), msg, 0, reinterpret_cast<LPARAM>(controlHook));
}

}  // namespace

// ---- TControlHook ---------------------------------------------------------------------

TControlHook::TControlHook() {
  FObjectInstance = MakeObjectInstance(TWndMethod::Bind<&TControlHook::WndProc>(this));
}

TControlHook::~TControlHook() {
  FDestroying = true;
  if (gHookList)
    gHookList->Remove(this);
  while (!FHooks.empty())
    RemoveHook(FHooks.back());
  FControl = nullptr;
  FreeObjectInstance(FObjectInstance);
  FObjectInstance = nullptr;
}

bool TControlHook::StillChained() const {
  return FPassThrough && IsWindow(FPassThroughWnd) && ExistingWindow(FControl) == FPassThroughWnd;
}

bool TControlHook::ControlGone() const {
  return !FControl || IsBeingDestroyed(FControl);
}

void TControlHook::AddHook(TKsHook* hook) {
  assert(hook && "a hook to add");
  if (std::find(FHooks.begin(), FHooks.end(), hook) == FHooks.end()) {
    FHooks.push_back(hook);
    hook->FControlHook = this;
    SetControl(hook->FControl);
  }
  Install();
}

void TControlHook::RemoveHook(TKsHook* hook) {
  hook->FControlHook = nullptr;
  auto it = std::find(FHooks.begin(), FHooks.end(), hook);
  if (it != FHooks.end())
    FHooks.erase(it);
  if (FHooks.empty())
    Uninstall();
}

void TControlHook::SetControl(TWinControl* value) {
  if (value == FControl)
    return;
  Uninstall();
  FControl = value;
  FPassThrough = nullptr;
  FPassThroughWnd = nullptr;
  if (!FHooks.empty())
    Install();
}

void TControlHook::Install() {
  if (!FControl || FDestroying || FHooks.empty())
    return;
  const TComponentState state = FControl->GetComponentState();
  if (state.Contains(csDesigning) || state.Contains(csDestroying))
    return;
  HWND wnd = FControl->GetHandle();
  const WNDPROC current = CurrentWndProc(wnd);
  if (current == FObjectInstance)
    return;
  if (FPassThrough && FPassThroughWnd == wnd) {
    // Still in this window's chain below a later subclass: take the old procedure up again.
    FOldWndProc = FPassThrough;
    FPassThrough = nullptr;
    FPassThroughWnd = nullptr;
    return;
  }
  FOldWndProc = current;
  SetWndProc(wnd, FObjectInstance);
}

void TControlHook::Uninstall() {
  HWND wnd = FOldWndProc ? ExistingWindow(FControl) : nullptr;
  if (wnd) {
    if (CurrentWndProc(wnd) == FObjectInstance) {
      SetWndProc(wnd, FOldWndProc);
      FPassThrough = nullptr;
      FPassThroughWnd = nullptr;
    } else {
      FPassThrough = FOldWndProc;
      FPassThroughWnd = wnd;
    }
  }
  FOldWndProc = nullptr;
}

void TControlHook::CallHooks(THookKind kind, TMessage& message, bool& handled) {
  if (FHooks.empty() || ControlGone() || FDestroying)
    return;
  // A hook's handler may free the control (a skinned form closed by its close button):
  // no other hook hears of the message then.
  const TAliveGuard controlAlive(FControl);
  for (int i = static_cast<int>(FHooks.size()) - 1; i >= 0 && controlAlive.Alive(); --i) {
    // A handler may remove hooks; the index is checked again each round.
    if (i >= static_cast<int>(FHooks.size()))
      continue;
    TKsHook* hook = FHooks[i];
    GuardBoundary("window hook", [&] {
      if (kind == hkBefore)
        hook->DoBeforeMessage(message, handled);
      else
        hook->DoAfterMessage(message, handled);
    });
    if (handled)
      break;
  }
}

void TControlHook::WndProc(TMessage& message) {
  GuardBoundary("window hook procedure", [&] {
    if (!FControl)
      return;
    // The hooks' handlers and the control's own procedure may free the control: the
    // message then ends where that happened.
    const TAliveGuard controlAlive(FControl);
    bool handled = false;
    if (message.Msg != WM_QUIT)
      CallHooks(hkBefore, message, handled);
    if (!controlAlive.Alive())
      return;
    if (!handled || message.Msg == WM_DESTROY) {
      WNDPROC target = FOldWndProc ? FOldWndProc : FPassThrough;
      if (!target)
        target = FControl->GetDefWndProc() ? FControl->GetDefWndProc() : DefWindowProcA;
      const TOnExitIfAlive after(FControl, [&] {
        GuardBoundary("window hook", [&] { CallHooks(hkAfter, message, handled); });
      });
      message.Result = CallWindowProcA(target, ExistingWindow(FControl), message.Msg, message.WParam,
                                       message.LParam);
      if (!after.Alive())
        return;
    }
    if (message.Msg != WM_DESTROY)
      return;
    Uninstall();
    if (!FDestroying && !FHooks.empty() && !ControlGone())
      PostToHookList(KM_REINSTALLHOOK, this);
  });
}

// ---- THookList ------------------------------------------------------------------------

THookList::THookList() { FWindow = AllocateHWnd(TWndMethod::Bind<&THookList::WndProc>(this)); }

THookList::~THookList() {
  while (GetCount() > 0) {
    TControlHook* last = GetItem(GetCount() - 1);
    Delete(GetCount() - 1);
    delete last;
  }
  DeallocateHWnd(FWindow);
  FWindow = nullptr;
}

TControlHook* THookList::FindControlHook(TWinControl* control) const {
  if (!control)
    return nullptr;
  for (int i = 0; i < GetCount(); ++i)
    if (GetItem(i)->GetControl() == control)
      return GetItem(i);
  return nullptr;
}

TControlHook* THookList::GetControlHook(TWinControl* control) {
  if (TControlHook* found = FindControlHook(control))
    return found;
  auto* controlHook = new TControlHook();
  try {
    Add(controlHook);
    controlHook->SetControl(control);
  } catch (...) {
    delete controlHook;
    throw;
  }
  return controlHook;
}

bool THookList::Listed(LPARAM controlHook) const {
  return IndexOf(reinterpret_cast<void*>(controlHook)) >= 0;
}

void THookList::WndProc(TMessage& message) {
  GuardBoundary("hook list window", [&] {
    switch (message.Msg) {
      case KM_REINSTALLHOOK:
        if (Listed(message.LParam))
          reinterpret_cast<TControlHook*>(message.LParam)->Install();
        return;
      case KM_FREECONTROLHOOK: {
        if (!Listed(message.LParam))
          return;
        auto* controlHook = reinterpret_cast<TControlHook*>(message.LParam);
        // One still chained below a later subclass would leave that subclass calling
        // freed code; it stays until its window is gone or the list is freed.
        if (controlHook->GetHooks().empty() && !controlHook->StillChained())
          delete controlHook;
        return;
      }
      default:
        message.Result = DefWindowProcA(FWindow, message.Msg, message.WParam, message.LParam);
        return;
    }
  });
}

THookList* HookList() {
  if (!gHookList)
    gHookList = new THookList();
  return gHookList;
}

bool HookListAllocated() { return gHookList != nullptr; }

void FinalizeKsHooks() {
  // The list stays reachable while it frees its subclasses: they take themselves out.
  delete gHookList;
  gHookList = nullptr;
}

// ---- TKsHook --------------------------------------------------------------------------

TKsHook::TKsHook(TComponent* AOwner) : TComponent(AOwner) {}

TKsHook::~TKsHook() {
  Destroying();
  TControlHook* left = FControlHook;
  SetActive(false);
  SetControl(nullptr);
  if (left && left->GetHooks().empty())
    PostToHookList(KM_FREECONTROLHOOK, left);
}

void TKsHook::Hook() {
  if (FControl && !IsBeingDestroyed(this))
    HookList()->GetControlHook(FControl)->AddHook(this);
  FActive = true;
}

TControlHook* TKsHook::Leave() {
  TControlHook* left = FControlHook;
  if (left)
    left->RemoveHook(this);
  FActive = false;
  return left && left->GetHooks().empty() ? left : nullptr;
}

void TKsHook::SetActive(bool value) {
  if (value == FActive)
    return;
  if (value)
    Hook();
  else
    Leave();
}

TWinControl* TKsHook::GetControl() const { return FControlHook ? FControlHook->GetControl() : FControl; }

void TKsHook::SetControl(TWinControl* value) {
  if (value == GetControl())
    return;
  const bool wasActive = FActive;
  TControlHook* emptied = Leave();
  if (FControl && FControl != value)
    RemoveFreeNotification(FControl);
  FControl = value;
  if (value)
    FreeNotification(value);
  if (emptied)
    PostToHookList(KM_FREECONTROLHOOK, emptied);
  if (wasActive)
    Hook();
}

void TKsHook::Notification(TComponent* AComponent, TOperation operation) {
  inherited::Notification(AComponent, operation);
  if (operation == opRemove && AComponent && AComponent == FControl)
    SetControl(nullptr);
}

void TKsHook::DoBeforeMessage(TMessage& message, bool& handled) { OnBeforeMessage(this, message, handled); }

void TKsHook::DoAfterMessage(TMessage& message, bool& handled) { OnAfterMessage(this, message, handled); }

// ---- TKsHookComponent -----------------------------------------------------------------

TKsHookComponent::TKsHookComponent(TComponent* AOwner) : TComponent(AOwner) {
  FHook = new TKsHook(this);
  FHook->OnBeforeMessage = THookMessageEvent::Bind<&TKsHookComponent::HookBeforeMessage>(this);
  FHook->OnAfterMessage = THookMessageEvent::Bind<&TKsHookComponent::HookAfterMessage>(this);
}

TKsHookComponent::~TKsHookComponent() {
  Destroying();
  FreeAndNil(FHook);
}

void TKsHookComponent::Loaded() {
  inherited::Loaded();
  if (FActive)
    Activate();
}

void TKsHookComponent::SetActive(bool value) {
  if (value == FActive)
    return;
  FActive = value;
  if (GetComponentState().Contains(csLoading))
    return;  // Loaded activates
  if (value)
    Activate();
  else
    Deactivate();
}

void TKsHookComponent::Activate() {
  FHook->SetControl(FControl);
  FHook->SetActive(true);
  FActive = true;
}

void TKsHookComponent::Deactivate() {
  FHook->SetActive(false);
  FActive = false;
}

void TKsHookComponent::HookBeforeMessage(TObject*, TMessage& message, bool& handled) {
  // A message sent while this one is dispatched comes through here again: it gets a
  // handled state of its own, and this one's is back when it returns (or raises). Its
  // handling may free this component (the form it skins closed and freed): the message
  // is then handled.
  const TOnExitIfAlive restore(this, [this, saved = FHandled] { FHandled = saved; });
  FHandled = handled;
  Dispatch(message);
  handled = !restore.Alive() || FHandled;
}

void TKsHookComponent::HookAfterMessage(TObject* sender, TMessage& message, bool& handled) {
  AfterMessage(sender, message, handled);
}

void TKsHookComponent::AfterMessage(TObject*, TMessage&, bool&) {}

TWinControl* TKsHookComponent::GetControl() const { return FHook ? FHook->GetControl() : nullptr; }

TCustomForm* TKsHookComponent::GetForm() const { return ObjectAs<TCustomForm>(GetControl()); }

HWND TKsHookComponent::GetFormHandle() const {
  TWinControl* control = GetControl();
  return control ? control->GetHandle() : nullptr;
}
