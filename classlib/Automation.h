// UI automation: answers dialogs of this process the way a person would.
//
// A script is a queue of actions, each naming the caption of a top-level window of the
// process. A thread timer, which fires inside any message loop of the thread including
// nested modal ones, looks for the front action's window; when it is there and enabled
// the action is carried out by posted input (so that a click that opens another modal
// dialog does not run inside the timer) and the next action waits for its window. An
// action whose window does not appear before its deadline fails the script with a
// message naming it; the remaining actions are dropped.
//
// Buttons of the class library are found by component name or caption; a native
// button gets BM_CLICK, any other control a press and release at its centre. Foreign
// dialogs (the system's own) are searched for a child button with that caption.
//
// DumpControlTree writes a form's control tree as text for tests and traces; it walks
// the class library's child lists, so windowless labels are in it too.
#pragma once

#include <deque>
#include <string>

#include "classlib/Events.h"
#include "classlib/Object.h"
#include "classlib/Win.h"

class TControl;

enum TUIActionKind { uaClickButton, uaTickCheckBox, uaPressKey };

struct TUIAction {
  std::string WindowCaption;
  TUIActionKind Kind = uaClickButton;
  std::string Target;  // a control's name or caption ("&" ignored)
  WORD Key = 0;
};

class TUIAutomation : public TObject {
  KIVO_CLASS(TUIAutomation, TObject)
 public:
  // `deadlineMs`: how long each action waits for its window.
  explicit TUIAutomation(unsigned deadlineMs = 5000);
  ~TUIAutomation() override;

  void ClickButton(const std::string& windowCaption, const std::string& button);
  void TickCheckBox(const std::string& windowCaption, const std::string& checkBox);
  // Posts Enter, Escape or another key to the window's focused control, once the
  // window has the focus (or to the window itself when it has not taken it by the
  // deadline).
  void PressKey(const std::string& windowCaption, WORD key);

  // True when every queued action was carried out.
  bool GetDone() const { return FActions.empty() && FFailure.empty(); }
  bool GetFailed() const { return !FFailure.empty(); }
  // Why the script stopped, or empty.
  const std::string& GetFailure() const { return FFailure; }

  TNotifyEvent OnFailure;

  // The visible top-level window of this process with exactly this caption, or null.
  static HWND FindProcessWindow(const std::string& caption);
  // The first descendant window of `parent` whose text is `text` ("&" ignored), of the
  // window class `className` (without regard to case) when one is given; or null.
  static HWND FindChildWindow(HWND parent, const std::string& text, const char* className = nullptr);

 private:
  static void CALLBACK TimerProc(HWND, UINT, UINT_PTR id, DWORD);
  void Add(TUIAction action);
  void Step();
  // Carries out `action` on `wnd`; false with FFailure set when its target is missing.
  bool Perform(const TUIAction& action, HWND wnd);

  std::deque<TUIAction> FActions;
  unsigned FDeadlineMs;
  DWORD FWaitingSince = 0;
  std::string FFailure;
  UINT_PTR FTimer = 0;
  bool FStepping = false;
};

// One line per control, children indented by two blanks under their parent:
// class, name, caption in quotes, bounds in the parent (left, top, width, height),
// then " default", " cancel" and " checked" where they apply. For example
//   TButton ButtonOK "&OK" (425,414,75,24) default
std::string DumpControlTree(TControl* root);
