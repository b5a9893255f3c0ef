// Window hooks: several listeners on the messages of one window that the skin library
// does not own. Every hooked window gets one shared subclass (TControlHook) which runs
// the listeners (TKsHook) before and after the window's own procedure, newest first;
// a listener that handles a message keeps it from the window and from the after-hooks.
// The subclasses live in one process-wide list (HookList) whose hidden utility window
// installs a subclass again after its window was re-created and frees subclasses that
// no listener uses any more (messages 0xB0DE and 0xB0DF, posted so that the work runs
// after the current message). TKsHookComponent is the base of components that take
// over a window and receive its messages in their own message methods. Exceptions of
// listeners go to the application's exception handler; the loop goes on.
#pragma once

#include <vector>

#include "classlib/Components.h"
#include "classlib/Events.h"
#include "classlib/Lists.h"
#include "classlib/Messages.h"
#include "classlib/Win.h"

class TWinControl;
class TKsHook;
class TCustomForm;

// Posted to the hook list's window with a TControlHook as lParam: install the subclass
// again (its window was destroyed; the control makes a new one).
constexpr UINT KM_REINSTALLHOOK = 0xB0DE;
// Posted likewise: free a TControlHook that no hook uses any more.
constexpr UINT KM_FREECONTROLHOOK = 0xB0DF;

// (Sender, Message, Handled)
using THookMessageEvent = TEvent<TObject*, TMessage&, bool&>;

// The one subclass of a hooked window and the hooks listening on it.
class TControlHook : public TObject {
  KIVO_CLASS(TControlHook, TObject)
 public:
  enum THookKind { hkBefore, hkAfter };

  TControlHook();
  ~TControlHook() override;
  TControlHook(const TControlHook&) = delete;
  TControlHook& operator=(const TControlHook&) = delete;

  TWinControl* GetControl() const { return FControl; }
  // Changing the control moves the subclass to the new control's window.
  void SetControl(TWinControl* value);
  WNDPROC GetObjectInstance() const { return FObjectInstance; }
  WNDPROC GetOldWndProc() const { return FOldWndProc; }
  // The hooks listening here, oldest first.
  const std::vector<TKsHook*>& GetHooks() const { return FHooks; }
  bool GetDestroying() const { return FDestroying; }

  void AddHook(TKsHook* hook);
  void RemoveHook(TKsHook* hook);
  // Subclasses the control's window (made when needed); skipped for a control that is
  // designed or destroyed and while no hook listens.
  void Install();
  // Gives the window its old procedure back unless another subclass came later.
  void Uninstall();
  // True while the window's chain still runs through this subclass although it is not
  // installed (another subclass came later and stays on top).
  bool StillChained() const;
  void CallHooks(THookKind kind, TMessage& message, bool& handled);
  void WndProc(TMessage& message);

 private:
  bool ControlGone() const;

  TWinControl* FControl = nullptr;
  WNDPROC FObjectInstance = nullptr;
  WNDPROC FOldWndProc = nullptr;
  // The procedure a subclass that could not be taken out still forwards to, and its window.
  WNDPROC FPassThrough = nullptr;
  HWND FPassThroughWnd = nullptr;
  std::vector<TKsHook*> FHooks;
  bool FDestroying = false;
};

// Every TControlHook of the process (owned) and the hidden window of the posted work.
class THookList : public TList {
  KIVO_CLASS(THookList, TList)
 public:
  THookList();
  ~THookList() override;

  TControlHook* GetItem(int index) const { return static_cast<TControlHook*>(Get(index)); }
  HWND GetWindow() const { return FWindow; }
  TControlHook* FindControlHook(TWinControl* control) const;
  TControlHook* GetControlHook(TWinControl* control);
  void WndProc(TMessage& message);

 private:
  bool Listed(LPARAM controlHook) const;

  HWND FWindow = nullptr;
};

// The process-wide hook list, made on first use.
THookList* HookList();
// True while the hook list exists (it is freed at shut-down).
bool HookListAllocated();

// A listener on the messages of one windowed control.
class TKsHook : public TComponent {
  KIVO_CLASS(TKsHook, TComponent)
 public:
  explicit TKsHook(TComponent* AOwner);
  ~TKsHook() override;

  bool GetActive() const { return FActive; }
  void SetActive(bool value);
  // The control listened on: the subclass's while registered, else the field.
  TWinControl* GetControl() const;
  void SetControl(TWinControl* value);
  TControlHook* GetControlHook() const { return FControlHook; }

  THookMessageEvent OnBeforeMessage;
  THookMessageEvent OnAfterMessage;

  virtual void DoBeforeMessage(TMessage& message, bool& handled);
  virtual void DoAfterMessage(TMessage& message, bool& handled);

 protected:
  void Notification(TComponent* AComponent, TOperation operation) override;

 private:
  friend class TControlHook;
  // Leaves the subclass; answers the subclass when no hook is left on it.
  TControlHook* Leave();
  void Hook();

  bool FActive = true;
  TWinControl* FControl = nullptr;
  TControlHook* FControlHook = nullptr;
};

// The base of components that take over a window: its messages reach the component's
// Dispatch before the window's own procedure and AfterMessage after it.
class TKsHookComponent : public TComponent {
  KIVO_CLASS(TKsHookComponent, TComponent)
 public:
  explicit TKsHookComponent(TComponent* AOwner);
  ~TKsHookComponent() override;

  bool GetActive() const { return FActive; }
  void SetActive(bool value);
  TKsHook* GetHook() const { return FHook; }
  // The hooked control, null without one.
  TWinControl* GetControl() const;
  // The hooked control when it is a form.
  TCustomForm* GetForm() const;
  // The hooked control's window, 0 without a control.
  HWND GetFormHandle() const;

  void Loaded() override;

 protected:
  // The control to hook; descendants set it.
  void SetControl(TWinControl* value) { FControl = value; }
  virtual void Activate();
  virtual void Deactivate();
  virtual void AfterMessage(TObject* sender, TMessage& message, bool& handled);
  // Keeps the message being dispatched from the window's own procedure. The state
  // belongs to the innermost dispatch: messages sent meanwhile have their own.
  void SetHandled() { FHandled = true; }
  bool GetHandled() const { return FHandled; }

 private:
  void HookBeforeMessage(TObject* sender, TMessage& message, bool& handled);
  void HookAfterMessage(TObject* sender, TMessage& message, bool& handled);

  bool FActive = false;
  TKsHook* FHook = nullptr;
  TWinControl* FControl = nullptr;
  bool FHandled = false;
};

// Shut-down of the hooks: frees the hook list, which gives every hooked window its old
// procedure back.
void FinalizeKsHooks();
