// Small controls and a fixture shared by the windowed class-library tests.
#pragma once

#include <algorithm>
#include <functional>
#include <initializer_list>
#include <iterator>
#include <string>
#include <type_traits>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "classlib/AliveGuard.h"
#include "classlib/Boundary.h"
#include "classlib/Forms.h"
#include "tests/support/TestSupport.h"

// A single-line edit built on the system EDIT class.
class TTestEdit : public TWinControl {
  KIVO_CLASS(TTestEdit, TWinControl)
 public:
  explicit TTestEdit(TComponent* AOwner) : TWinControl(AOwner) {
    SetBounds(0, 0, 100, 21);
    SetTabStop(true);
  }

 protected:
  void CreateParams(TCreateParams& params) override {
    inherited::CreateParams(params);
    CreateSubClass(params, "EDIT");
    params.Style |= ES_AUTOHSCROLL;
  }
};

// A push button built on the system BUTTON class, with the Default/Cancel behaviour
// of dialog buttons: Enter clicks the default one, Escape the cancel one, a click sets
// the form's ModalResult.
class TTestButton : public TWinControl {
  KIVO_CLASS(TTestButton, TWinControl)
 public:
  explicit TTestButton(TComponent* AOwner) : TWinControl(AOwner) {
    SetControlStyle({csSetCaption, csDoubleClicks});  // clicks come from BN_CLICKED
    SetBounds(0, 0, 75, 25);
    SetTabStop(true);
  }
  bool Default = false;
  bool Cancel = false;
  int ModalResult = mrNone;
  int Clicks = 0;

  void Click() override {
    ++Clicks;
    if (TCustomForm* form = GetParentForm(this))
      form->SetModalResult(ModalResult);
    inherited::Click();
  }

  void Dispatch(TMessage& message) override {
    switch (message.Msg) {
      case CN_COMMAND:
        if (MessageAs<TWMCommand>(message).NotifyCode == BN_CLICKED)
          Click();
        return;
      case CM_DIALOGKEY: {
        const auto& key = MessageAs<TCMDialogKey>(message);
        if (((key.CharCode == VK_RETURN && Default) || (key.CharCode == VK_ESCAPE && Cancel)) && CanFocus()) {
          Click();
          message.Result = 1;
          return;
        }
        break;
      }
    }
    inherited::Dispatch(message);
  }

 protected:
  void CreateParams(TCreateParams& params) override {
    inherited::CreateParams(params);
    CreateSubClass(params, "BUTTON");
    params.Style |= BS_PUSHBUTTON;
  }
};

// Holds keys down in the thread's key state for a scope, as GetKeyState reads it.
class TKeysHeld {
 public:
  explicit TKeysHeld(std::initializer_list<int> keys) {
    GetKeyboardState(FSaved);
    BYTE state[256];
    std::copy(std::begin(FSaved), std::end(FSaved), state);
    for (int key : keys)
      state[key] |= 0x80;
    SetKeyboardState(state);
  }
  ~TKeysHeld() { SetKeyboardState(FSaved); }
  TKeysHeld(const TKeysHeld&) = delete;
  TKeysHeld& operator=(const TKeysHeld&) = delete;

 private:
  BYTE FSaved[256];
};

// Frees the object that fires the event it handles, once `Spared` calls have gone by.
struct TFreeSender {
  int Spared = 0;
  void Notify(TObject* sender) {
    if (Spared-- <= 0)
      delete sender;
  }
  void Mouse(TObject* sender, TMouseButton, TShiftState, int, int) { delete sender; }
  void Move(TObject* sender, TShiftState, int, int) { delete sender; }
  void Key(TObject* sender, WORD&, TShiftState) { delete sender; }
  void Char(TObject* sender, char&) { delete sender; }
};

// Binds the handlers of `control`'s user events (clicks, mouse, size and, for a windowed
// control, keys) to `freer`, so that whichever fires first frees the control.
template <class T>
T* FreeingOnEveryEvent(T* control, TFreeSender& freer) {
  control->OnClick = TNotifyEvent::Bind<&TFreeSender::Notify>(&freer);
  control->OnDblClick = TNotifyEvent::Bind<&TFreeSender::Notify>(&freer);
  control->OnMouseDown = TMouseEvent::Bind<&TFreeSender::Mouse>(&freer);
  control->OnMouseMove = TMouseMoveEvent::Bind<&TFreeSender::Move>(&freer);
  control->OnMouseUp = TMouseEvent::Bind<&TFreeSender::Mouse>(&freer);
  control->OnResize = TNotifyEvent::Bind<&TFreeSender::Notify>(&freer);
  if constexpr (std::is_base_of_v<TWinControl, T>) {
    control->OnKeyDown = TKeyEvent::Bind<&TFreeSender::Key>(&freer);
    control->OnKeyUp = TKeyEvent::Bind<&TFreeSender::Key>(&freer);
    control->OnKeyPress = TKeyPressEvent::Bind<&TFreeSender::Char>(&freer);
  }
  return control;
}

// Runs `action` on `object`; true when the action freed it.
template <class T, class Action>
bool FreedBy(T* object, Action action) {
  const TAliveGuard alive(object);
  action(object);
  return !alive.Alive();
}

// Records what reaches the application's exception handler instead of showing it.
class TExceptionRecorder {
 public:
  TExceptionRecorder() {
    FPrevious = Application->OnException;
    Application->OnException = TExceptionEvent::Bind<&TExceptionRecorder::Record>(this);
  }
  ~TExceptionRecorder() { Application->OnException = FPrevious; }
  void Record(TObject* sender, const std::exception& error) {
    Messages.push_back(error.what());
    Senders.push_back(sender);
  }
  std::vector<std::string> Messages;
  std::vector<TObject*> Senders;

 private:
  TExceptionEvent FPrevious;
};

// A fixture whose form is shown and active; exceptions are recorded.
class FormTest : public testing::Test {
 protected:
  void SetUp() override {
    Form = new TForm(nullptr);
    Form->SetBounds(600, 400, 300, 200);  // away from the other test programs' windows
  }
  void TearDown() override {
    delete Form;
    PumpPending();
  }
  void ShowForm() {
    SetCursorPos(0, 0);  // real mouse moves stay out of the tests' way
    Form->Show();
    SetForegroundWindow(Form->GetHandle());
    SetActiveWindow(Form->GetHandle());
    PumpPending();
  }
  TForm* Form = nullptr;
  TExceptionRecorder Exceptions;
};

// Runs `inspect` once on the first shown form of class T, from a thread timer inside the
// modal loop that shows it; closing the form is left to the test.
template <class T>
class TShownFormInspector {
 public:
  explicit TShownFormInspector(std::function<void(T*)> inspect) : FInspect(std::move(inspect)) {
    gCurrent = this;
    FTimer = SetTimer(nullptr, 0, 20, TimerProc);
  }
  ~TShownFormInspector() {
    KillTimer(nullptr, FTimer);
    gCurrent = nullptr;
  }
  TShownFormInspector(const TShownFormInspector&) = delete;
  TShownFormInspector& operator=(const TShownFormInspector&) = delete;
  bool Inspected = false;

 private:
  static void CALLBACK TimerProc(HWND, UINT, UINT_PTR, DWORD) {
    GuardBoundary("TShownFormInspector", [] {
      if (!gCurrent || gCurrent->Inspected)
        return;
      for (int i = 0; i < Screen->GetCustomFormCount(); ++i)
        if (auto* form = ObjectAs<T>(Screen->GetCustomForms(i)); form && form->GetShowing()) {
          gCurrent->Inspected = true;
          gCurrent->FInspect(form);
          return;
        }
    });
  }
  static inline TShownFormInspector* gCurrent = nullptr;
  std::function<void(T*)> FInspect;
  UINT_PTR FTimer;
};
