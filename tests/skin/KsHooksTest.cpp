// Window hooks: the messages hooks see before and after the window's own procedure, in
// which order, what a handled message skips, the subclass following a re-created
// window, the posted freeing of unused subclasses, the component base, and that no
// subclass survives the unit's shut-down.
#include <algorithm>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "classlib/Forms.h"
#include "classlib/WndProcThunk.h"
#include "skin/KsHooks.h"
#include "tests/controls/ControlsTestSupport.h"

namespace {

constexpr UINT WM_PROBE = WM_USER + 11;

// A windowed control that records the messages its own procedure receives.
class TRecordingControl : public TWinControl {
  KIVO_CLASS(TRecordingControl, TWinControl)
 public:
  using TWinControl::TWinControl;
  std::vector<UINT> Seen;
  void Dispatch(TMessage& message) override {
    Seen.push_back(message.Msg);
    if (message.Msg == WM_PROBE) {
      message.Result = 42;
      return;
    }
    inherited::Dispatch(message);
  }
  int Count(UINT msg) const { return int(std::count(Seen.begin(), Seen.end(), msg)); }
};

// The calls hooks make, in order: "<name> before <msg>" / "<name> after <msg>".
struct TLog {
  std::vector<std::string> Lines;
  bool Has(const std::string& line) const { return std::find(Lines.begin(), Lines.end(), line) != Lines.end(); }
  int Count(const std::string& line) const { return int(std::count(Lines.begin(), Lines.end(), line)); }
};

// A hook that logs under its name; it handles `HandleMsg` and raises on `ThrowMsg`.
class TLoggingHook : public TKsHook {
  KIVO_CLASS(TLoggingHook, TKsHook)
 public:
  TLoggingHook(TComponent* AOwner, TLog* log, std::string name) : TKsHook(AOwner), FLog(log), FName(std::move(name)) {}
  UINT HandleMsg = 0;
  UINT ThrowMsg = 0;
  void DoBeforeMessage(TMessage& message, bool& handled) override {
    FLog->Lines.push_back(FName + " before " + std::to_string(message.Msg));
    if (message.Msg == ThrowMsg)
      throw Exception("hook failed");
    if (message.Msg == HandleMsg) {
      message.Result = 7;
      handled = true;
    }
  }
  void DoAfterMessage(TMessage& message, bool& handled) override {
    FLog->Lines.push_back(FName + " after " + std::to_string(message.Msg));
  }

 private:
  TLog* FLog;
  std::string FName;
};

std::string Before(const char* name, UINT msg) { return std::string(name) + " before " + std::to_string(msg); }
std::string After(const char* name, UINT msg) { return std::string(name) + " after " + std::to_string(msg); }

WNDPROC WindowProcOf(HWND wnd) { return reinterpret_cast<WNDPROC>(GetWindowLongPtrA(wnd, GWLP_WNDPROC)); }

class KsHooksTest : public FormTest {
 protected:
  TRecordingControl* MakeControl() {
    auto* control = new TRecordingControl(Form);
    control->SetParent(Form);
    control->SetBounds(10, 10, 50, 30);
    control->HandleNeeded();
    return control;
  }
  TLoggingHook* MakeHook(const char* name, TWinControl* control) {
    auto* hook = new TLoggingHook(nullptr, &Log, name);
    Owned.push_back(hook);
    hook->SetControl(control);
    return hook;
  }
  void TearDown() override {
    for (TKsHook* hook : Owned)
      delete hook;
    FormTest::TearDown();
  }
  TLog Log;
  std::vector<TKsHook*> Owned;
};

TEST_F(KsHooksTest, HookSeesTheFormsMessagesFromShowingToDestruction) {
  TLoggingHook* hook = MakeHook("h", Form);
  ASSERT_NE(hook->GetControlHook(), nullptr);
  EXPECT_EQ(WindowProcOf(Form->GetHandle()), hook->GetControlHook()->GetObjectInstance());
  ShowForm();
  EXPECT_TRUE(Log.Has(Before("h", WM_SHOWWINDOW)));
  EXPECT_TRUE(Log.Has(After("h", WM_SHOWWINDOW)));
  EXPECT_TRUE(Log.Has(Before("h", WM_ACTIVATE)));
  EXPECT_TRUE(Log.Has(Before("h", WM_WINDOWPOSCHANGED)));

  Log.Lines.clear();
  Form->DestroyHandle();
  EXPECT_TRUE(Log.Has(Before("h", WM_DESTROY)));
  EXPECT_TRUE(Log.Has(After("h", WM_DESTROY)));
  EXPECT_FALSE(Log.Has(Before("h", WM_NCDESTROY)));  // the subclass went with WM_DESTROY
  EXPECT_EQ(hook->GetControlHook()->GetOldWndProc(), nullptr);
}

TEST_F(KsHooksTest, RecreatedWindowIsHookedAgainOnceTheReinstallIsProcessed) {
  TRecordingControl* control = MakeControl();
  MakeHook("h", control);
  HWND first = control->GetHandle();
  control->RecreateWnd();
  ASSERT_NE(control->GetHandle(), first);
  PumpPending();
  Log.Lines.clear();
  SendMessageA(control->GetHandle(), WM_PROBE, 0, 0);
  EXPECT_EQ(Log.Lines, (std::vector<std::string>{Before("h", WM_PROBE), After("h", WM_PROBE)}));
  EXPECT_EQ(control->Count(WM_PROBE), 1);
}

TEST_F(KsHooksTest, NewerHooksComeFirstAndAHandledMessageSkipsTheRest) {
  TRecordingControl* control = MakeControl();
  TLoggingHook* older = MakeHook("old", control);
  TLoggingHook* newer = MakeHook("new", control);
  EXPECT_EQ(older->GetControlHook(), newer->GetControlHook());  // one subclass per window

  EXPECT_EQ(SendMessageA(control->GetHandle(), WM_PROBE, 0, 0), 42);
  EXPECT_EQ(Log.Lines, (std::vector<std::string>{Before("new", WM_PROBE), Before("old", WM_PROBE),
                                                 After("new", WM_PROBE), After("old", WM_PROBE)}));

  Log.Lines.clear();
  newer->HandleMsg = WM_PROBE;
  EXPECT_EQ(SendMessageA(control->GetHandle(), WM_PROBE, 0, 0), 7);
  EXPECT_EQ(Log.Lines, std::vector<std::string>{Before("new", WM_PROBE)});
  EXPECT_EQ(control->Count(WM_PROBE), 1);  // only the first one reached the control

  // A handled WM_DESTROY still reaches the window and the after-hooks.
  Log.Lines.clear();
  newer->HandleMsg = WM_DESTROY;
  control->DestroyHandle();
  EXPECT_EQ(control->Count(WM_DESTROY), 1);
  EXPECT_TRUE(Log.Has(After("new", WM_DESTROY)));
}

TEST_F(KsHooksTest, AFailingHookIsReportedAndTheOthersStillRun) {
  TRecordingControl* control = MakeControl();
  MakeHook("old", control);
  TLoggingHook* failing = MakeHook("new", control);
  failing->ThrowMsg = WM_PROBE;
  EXPECT_EQ(SendMessageA(control->GetHandle(), WM_PROBE, 0, 0), 42);
  EXPECT_TRUE(Log.Has(Before("old", WM_PROBE)));
  EXPECT_EQ(control->Count(WM_PROBE), 1);
  ASSERT_EQ(Exceptions.Messages.size(), 1u);
  EXPECT_EQ(Exceptions.Messages[0], "hook failed");
}

TEST_F(KsHooksTest, ActivationFollowsActiveAndAControlSetLater) {
  auto* hook = new TLoggingHook(nullptr, &Log, "h");
  Owned.push_back(hook);
  hook->SetActive(false);
  hook->SetActive(true);  // no control: active, nothing hooked
  EXPECT_TRUE(hook->GetActive());
  EXPECT_EQ(hook->GetControlHook(), nullptr);

  TRecordingControl* control = MakeControl();
  hook->SetControl(control);
  ASSERT_NE(hook->GetControlHook(), nullptr);
  EXPECT_EQ(hook->GetControl(), control);

  hook->SetActive(false);
  EXPECT_EQ(hook->GetControlHook(), nullptr);
  EXPECT_EQ(WindowProcOf(control->GetHandle()), control->GetObjectInstance());
  EXPECT_EQ(hook->GetControl(), control);  // still bound, hooks again when activated
}

TEST_F(KsHooksTest, MovingTheOnlyHookFreesTheFirstSubclassAfterTheCurrentMessage) {
  TRecordingControl* first = MakeControl();
  TRecordingControl* second = MakeControl();
  TLoggingHook* hook = MakeHook("h", first);
  TControlHook* firstHook = hook->GetControlHook();
  hook->SetControl(second);
  EXPECT_NE(hook->GetControlHook(), firstHook);
  EXPECT_EQ(HookList()->FindControlHook(first), firstHook);  // freed later, by a posted message
  EXPECT_EQ(WindowProcOf(first->GetHandle()), first->GetObjectInstance());
  PumpPending();
  EXPECT_EQ(HookList()->FindControlHook(first), nullptr);
  EXPECT_EQ(HookList()->FindControlHook(second), hook->GetControlHook());
}

TEST_F(KsHooksTest, FreedHooksAndControlsLeaveNoSubclassBehind) {
  const int listed = HookList()->GetCount();
  const int instances = ObjectInstanceCount();
  TRecordingControl* control = MakeControl();
  auto* hook = new TLoggingHook(nullptr, &Log, "h");
  hook->SetControl(control);
  delete hook;
  EXPECT_EQ(WindowProcOf(control->GetHandle()), control->GetObjectInstance());
  PumpPending();
  // Fault: a hook freed while registered left its emptied subclass in the list for good
  // (SetActive(False) had already left it, so SetControl(nil) posted no freeing).
  EXPECT_EQ(HookList()->GetCount(), listed);

  TRecordingControl* other = MakeControl();
  MakeHook("o", other);
  delete other;  // the hook hears of it and lets go
  EXPECT_EQ(Owned.back()->GetControl(), nullptr);
  PumpPending();
  EXPECT_EQ(HookList()->GetCount(), listed);
  delete control;
  EXPECT_EQ(ObjectInstanceCount(), instances);
}

TEST_F(KsHooksTest, ReinstallWaitsForAHookToListen) {
  // Fault: the re-install posted at WM_DESTROY subclassed (and so re-created) the window
  // even when the last hook had left meanwhile, touching a control that may be freed.
  TRecordingControl* control = MakeControl();
  TLoggingHook* hook = MakeHook("h", control);
  TControlHook* controlHook = hook->GetControlHook();
  DestroyWindow(control->GetHandle());  // destroyed from outside: a re-install is posted
  hook->SetActive(false);
  PumpPending();
  EXPECT_FALSE(control->HandleAllocated());
  EXPECT_EQ(HookList()->FindControlHook(control), controlHook);  // kept for the hook's return

  TRecordingControl* freed = MakeControl();
  MakeHook("f", freed);
  DestroyWindow(freed->GetHandle());
  delete freed;
  PumpPending();
  EXPECT_EQ(Owned.back()->GetControlHook(), nullptr);
  EXPECT_TRUE(Exceptions.Messages.empty());
}

// A subclass of another component, installed over the hook's.
WNDPROC below = nullptr;
int outerSeen = 0;
LRESULT CALLBACK OuterSubclass(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_PROBE)
    ++outerSeen;
  return CallWindowProcA(below, wnd, msg, wParam, lParam);
}

TEST_F(KsHooksTest, LaterSubclassStaysAndTheControlKeepsItsMessages) {
  TRecordingControl* control = MakeControl();
  TLoggingHook* hook = MakeHook("h", control);
  HWND wnd = control->GetHandle();
  // Another component subclasses the window after the hook.
  outerSeen = 0;
  below = WindowProcOf(wnd);
  const WNDPROC outer = OuterSubclass;
  SetWindowLongPtrA(wnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(outer));

  hook->SetActive(false);
  EXPECT_EQ(WindowProcOf(wnd), outer);  // not written back over the later subclass
  // Fault: the left-behind subclass passed messages to the default procedure, so the
  // control no longer received its own messages.
  EXPECT_EQ(SendMessageA(wnd, WM_PROBE, 0, 0), 42);
  EXPECT_EQ(control->Count(WM_PROBE), 1);
  EXPECT_EQ(outerSeen, 1);
  EXPECT_TRUE(Log.Lines.empty());

  // Fault: hooking again subclassed over the later subclass, and the two called each
  // other for ever; the hook joins the chain it is still part of instead.
  hook->SetActive(true);
  EXPECT_EQ(WindowProcOf(wnd), outer);
  EXPECT_EQ(SendMessageA(wnd, WM_PROBE, 0, 0), 42);
  EXPECT_EQ(Log.Lines, (std::vector<std::string>{Before("h", WM_PROBE), After("h", WM_PROBE)}));
  EXPECT_EQ(control->Count(WM_PROBE), 2);

  // Fault: moving the hook away freed the subclass the later one still calls.
  TRecordingControl* second = MakeControl();
  hook->SetControl(second);
  PumpPending();
  EXPECT_NE(HookList()->FindControlHook(control), nullptr);
  EXPECT_EQ(SendMessageA(wnd, WM_PROBE, 0, 0), 42);
  EXPECT_EQ(control->Count(WM_PROBE), 3);
  SetWindowLongPtrA(wnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(below));
}

TEST_F(KsHooksTest, ShutDownGivesEveryWindowBackAndTheListIsMadeAgainOnDemand) {
  TRecordingControl* control = MakeControl();
  TLoggingHook* onControl = MakeHook("c", control);
  TLoggingHook* onForm = MakeHook("f", Form);
  ASSERT_TRUE(HookListAllocated());
  FinalizeKsHooks();
  EXPECT_FALSE(HookListAllocated());
  EXPECT_EQ(WindowProcOf(control->GetHandle()), control->GetObjectInstance());
  EXPECT_EQ(WindowProcOf(Form->GetHandle()), Form->GetObjectInstance());
  EXPECT_EQ(onControl->GetControlHook(), nullptr);
  EXPECT_EQ(onForm->GetControlHook(), nullptr);
  SendMessageA(control->GetHandle(), WM_PROBE, 0, 0);
  SendMessageA(Form->GetHandle(), WM_PROBE, 0, 0);
  EXPECT_TRUE(Log.Lines.empty());
  EXPECT_EQ(control->Count(WM_PROBE), 1);
  // The hooks still know their controls; freeing them after shut-down touches nothing.
  EXPECT_EQ(onControl->GetControl(), control);
  EXPECT_FALSE(HookListAllocated());
  EXPECT_NE(HookList(), nullptr);
}

// A component that takes over its owner form, as the form skinner does.
class TFormTaker : public TKsHookComponent {
  KIVO_CLASS(TFormTaker, TKsHookComponent)
 public:
  explicit TFormTaker(TComponent* AOwner) : TKsHookComponent(AOwner) {
    SetControl(ObjectAs<TWinControl>(AOwner));
  }
  int Probes = 0;
  std::vector<UINT> After;
  void Dispatch(TMessage& message) override {
    if (message.Msg == WM_PROBE) {
      ++Probes;
      message.Result = 9;
      SetHandled();
      return;
    }
    inherited::Dispatch(message);
  }

 protected:
  void AfterMessage(TObject* sender, TMessage& message, bool& handled) override {
    EXPECT_EQ(sender, GetHook());
    After.push_back(message.Msg);
  }
};

TEST_F(KsHooksTest, HookComponentReceivesTheFormsMessagesInItsOwnMethods) {
  auto* plain = new TRecordingControl(nullptr);
  auto* taker = new TFormTaker(plain);
  EXPECT_EQ(taker->GetControl(), nullptr);
  EXPECT_EQ(taker->GetFormHandle(), nullptr);
  delete plain;  // frees the taker with it

  TRecordingControl* control = MakeControl();
  taker = new TFormTaker(Form);
  EXPECT_FALSE(taker->GetActive());
  taker->SetActive(true);
  EXPECT_EQ(taker->GetForm(), Form);
  EXPECT_EQ(taker->GetFormHandle(), Form->GetHandle());
  EXPECT_EQ(SendMessageA(Form->GetHandle(), WM_PROBE, 0, 0), 9);
  EXPECT_EQ(taker->Probes, 1);
  EXPECT_TRUE(taker->After.empty());  // handled: no after-call
  SendMessageA(Form->GetHandle(), WM_USER + 12, 0, 0);
  EXPECT_EQ(taker->After, std::vector<UINT>{WM_USER + 12});

  taker->SetActive(false);
  EXPECT_EQ(WindowProcOf(Form->GetHandle()), Form->GetObjectInstance());
  EXPECT_EQ(SendMessageA(control->GetHandle(), WM_PROBE, 0, 0), 42);

  // Streamed in as active: activated by Loaded.
  auto* streamed = new TFormTaker(Form);
  {
    TLoadingScope loading(streamed);
    streamed->SetActive(true);
    EXPECT_EQ(streamed->GetHook()->GetControlHook(), nullptr);
  }
  EXPECT_TRUE(streamed->GetActive());
  EXPECT_NE(streamed->GetHook()->GetControlHook(), nullptr);
  EXPECT_EQ(SendMessageA(Form->GetHandle(), WM_PROBE, 0, 0), 9);
  delete streamed;
  EXPECT_EQ(WindowProcOf(Form->GetHandle()), Form->GetObjectInstance());
}

// A component whose handling of one message sends another one to the same window.
class TNestingTaker : public TKsHookComponent {
  KIVO_CLASS(TNestingTaker, TKsHookComponent)
 public:
  explicit TNestingTaker(TComponent* AOwner) : TKsHookComponent(AOwner) {
    SetControl(ObjectAs<TWinControl>(AOwner));
  }
  UINT HandleMsg = 0;    // handled, before the nested message is sent
  UINT OuterMsg = 0;     // sends NestedMsg while it is dispatched
  UINT NestedMsg = 0;
  void Dispatch(TMessage& message) override {
    if (message.Msg == HandleMsg) {
      message.Result = 9;
      SetHandled();
    }
    if (message.Msg == OuterMsg)
      SendMessageA(GetFormHandle(), NestedMsg, 0, 0);
    if (message.Msg == HandleMsg || message.Msg == OuterMsg)
      return;
    inherited::Dispatch(message);
  }
};

TEST_F(KsHooksTest, NestedDispatchKeepsTheOuterMessagesHandledState) {
  // Fault: the handled state of the message being dispatched was one member, which a
  // message sent while handling it overwrote.
  constexpr UINT WM_NESTED = WM_USER + 13;
  TRecordingControl* control = MakeControl();
  auto* taker = new TNestingTaker(control);
  taker->SetActive(true);

  // Handled, then a nested message that is not: the outer one stays kept from the window.
  taker->HandleMsg = WM_PROBE;
  taker->OuterMsg = WM_PROBE;
  taker->NestedMsg = WM_NESTED;
  EXPECT_EQ(SendMessageA(control->GetHandle(), WM_PROBE, 0, 0), 9);
  EXPECT_EQ(control->Count(WM_NESTED), 1);
  EXPECT_EQ(control->Count(WM_PROBE), 0);

  // Not handled, with a nested message that is: the outer one still reaches the window.
  taker->OuterMsg = WM_NESTED;
  taker->NestedMsg = WM_PROBE;
  SendMessageA(control->GetHandle(), WM_NESTED, 0, 0);
  EXPECT_EQ(control->Count(WM_PROBE), 0);
  EXPECT_EQ(control->Count(WM_NESTED), 2);
  delete taker;
}

}  // namespace
