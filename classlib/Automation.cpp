#include "classlib/Automation.h"

#include <map>

#include "classlib/AliveGuard.h"
#include "classlib/Boundary.h"
#include "classlib/Exceptions.h"
#include "classlib/Forms.h"
#include "classlib/StdCtrls.h"
#include "classlib/Strings.h"

namespace {

constexpr UINT StepInterval = 25;

std::map<UINT_PTR, TUIAutomation*>& Timers() {
  static std::map<UINT_PTR, TUIAutomation*> timers;
  return timers;
}

std::string WindowText(HWND wnd) {
  char text[256] = {};
  GetWindowTextA(wnd, text, sizeof(text));
  return text;
}

bool Matches(TControl* control, const std::string& target) {
  return SameText(control->GetName(), target) || WithoutAccel(control->GetText()) == WithoutAccel(target);
}

// The control of `parent`'s tree named or captioned `target`, depth first.
TControl* FindTarget(TWinControl* parent, const std::string& target) {
  for (int i = 0; i < parent->GetControlCount(); ++i) {
    TControl* control = parent->GetControl(i);
    if (Matches(control, target))
      return control;
    if (auto* win = ObjectAs<TWinControl>(control))
      if (TControl* found = FindTarget(win, target))
        return found;
  }
  return nullptr;
}

void PostClickAtCentre(TControl* control) {
  HWND wnd;
  TPoint centre{control->GetWidth() / 2, control->GetHeight() / 2};
  if (auto* win = ObjectAs<TWinControl>(control)) {
    wnd = win->GetHandle();
  } else {
    wnd = control->GetParent()->GetHandle();
    centre.x += control->GetLeft();
    centre.y += control->GetTop();
  }
  PostMessageA(wnd, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(centre.x, centre.y));
  PostMessageA(wnd, WM_LBUTTONUP, 0, MAKELPARAM(centre.x, centre.y));
}

void DumpControl(TControl* control, int depth, std::string& out) {
  out += std::string(size_t(depth) * 2, ' ');
  out += Format("%s %s \"%s\" (%d,%d,%d,%d)", control->ClassName(), control->GetName().c_str(),
                control->GetText().c_str(), control->GetLeft(), control->GetTop(), control->GetWidth(),
                control->GetHeight());
  if (auto* button = ObjectAs<TButton>(control)) {
    if (button->GetDefault())
      out += " default";
    if (button->GetCancel())
      out += " cancel";
  }
  if (auto* check = ObjectAs<TCheckBox>(control); check && check->GetChecked())
    out += " checked";
  if (auto* radio = ObjectAs<TRadioButton>(control); radio && radio->GetChecked())
    out += " checked";
  out += "\n";
  if (auto* parent = ObjectAs<TWinControl>(control))
    for (int i = 0; i < parent->GetControlCount(); ++i)
      DumpControl(parent->GetControl(i), depth + 1, out);
}

}  // namespace

std::string DumpControlTree(TControl* root) {
  std::string out;
  if (root)
    DumpControl(root, 0, out);
  return out;
}

TUIAutomation::TUIAutomation(unsigned deadlineMs) : FDeadlineMs(deadlineMs) {}

TUIAutomation::~TUIAutomation() {
  if (FTimer) {
    KillTimer(nullptr, FTimer);
    Timers().erase(FTimer);
  }
}

void TUIAutomation::ClickButton(const std::string& windowCaption, const std::string& button) {
  Add({windowCaption, uaClickButton, button, 0});
}

void TUIAutomation::TickCheckBox(const std::string& windowCaption, const std::string& checkBox) {
  Add({windowCaption, uaTickCheckBox, checkBox, 0});
}

void TUIAutomation::PressKey(const std::string& windowCaption, WORD key) {
  Add({windowCaption, uaPressKey, {}, key});
}

void TUIAutomation::Add(TUIAction action) {
  if (FActions.empty())
    FWaitingSince = GetTickCount();
  FActions.push_back(std::move(action));
  if (!FTimer) {
    FTimer = SetTimer(nullptr, 0, StepInterval, TimerProc);
    if (!FTimer)
      throw EOutOfResources("The automation could not start its timer");
    Timers()[FTimer] = this;
  }
}

HWND TUIAutomation::FindProcessWindow(const std::string& caption) {
  struct TSearch {
    std::string Caption;
    HWND Found = nullptr;
  } search{caption};
  EnumWindows(
      [](HWND wnd, LPARAM data) __attribute__((stdcall)) -> BOOL {
        return GuardBoundaryResult<BOOL>("FindProcessWindow", FALSE, [&]() -> BOOL {
          auto* s = reinterpret_cast<TSearch*>(data);
          DWORD pid = 0;
          GetWindowThreadProcessId(wnd, &pid);
          if (pid != GetCurrentProcessId() || !IsWindowVisible(wnd) || WindowText(wnd) != s->Caption)
            return TRUE;
          s->Found = wnd;
          return !IsWindowEnabled(wnd);  // an enabled one ends the search
        });
      },
      reinterpret_cast<LPARAM>(&search));
  return search.Found;
}

HWND TUIAutomation::FindChildWindow(HWND parent, const std::string& text, const char* className) {
  struct TSearch {
    std::string Text;
    const char* ClassName;
    HWND Found = nullptr;
  } search{WithoutAccel(text), className};
  EnumChildWindows(
      parent,
      [](HWND child, LPARAM data) __attribute__((stdcall)) -> BOOL {
        return GuardBoundaryResult<BOOL>("FindChildWindow", FALSE, [&]() -> BOOL {
          auto* s = reinterpret_cast<TSearch*>(data);
          char cls[64] = {};
          GetClassNameA(child, cls, sizeof(cls));
          if ((s->ClassName && lstrcmpiA(cls, s->ClassName) != 0) || WithoutAccel(WindowText(child)) != s->Text)
            return TRUE;
          s->Found = child;
          return FALSE;
        });
      },
      reinterpret_cast<LPARAM>(&search));
  return search.Found;
}

void CALLBACK TUIAutomation::TimerProc(HWND, UINT, UINT_PTR id, DWORD) {
  GuardBoundary("TUIAutomation::TimerProc", [&] {
    auto found = Timers().find(id);
    if (found != Timers().end())
      found->second->Step();
  });
}

void TUIAutomation::Step() {
  // A nested loop run by an action's handler may fire the timer again.
  if (FStepping || FActions.empty())
    return;
  // OnFailure may free the automation: the flag is cleared only on one still alive.
  FStepping = true;
  const TOnExitIfAlive stepped(this, [this] { FStepping = false; });
  const TUIAction action = FActions.front();
  HWND wnd = FindProcessWindow(action.WindowCaption);
  if (!wnd || !IsWindowEnabled(wnd)) {
    if (GetTickCount() - FWaitingSince < FDeadlineMs)
      return;
    FFailure = Format("No window \"%s\" appeared within %u ms; the automation gave up", action.WindowCaption.c_str(),
                      FDeadlineMs);
    FActions.clear();
    OnFailure(this);
    return;
  }
  // A key goes to the focused control: it waits until the window has taken the focus
  // (activation arrives after the window shows), else to the window at the deadline.
  if (action.Kind == uaPressKey && GetTickCount() - FWaitingSince < FDeadlineMs) {
    const HWND focus = GetFocus();
    if (!focus || (focus != wnd && !IsChild(wnd, focus)))
      return;
  }
  FActions.pop_front();
  FWaitingSince = GetTickCount();
  if (!Perform(action, wnd)) {
    FActions.clear();
    OnFailure(this);
  }
}

bool TUIAutomation::Perform(const TUIAction& action, HWND wnd) {
  if (action.Kind == uaPressKey) {
    HWND focus = GetFocus();
    HWND target = focus && (focus == wnd || IsChild(wnd, focus)) ? focus : wnd;
    PostMessageA(target, WM_KEYDOWN, action.Key, 1);
    PostMessageA(target, WM_KEYUP, action.Key, 0xC0000001);
    return true;
  }
  if (TWinControl* form = FindControl(wnd)) {
    if (TControl* control = FindTarget(form, action.Target)) {
      if (action.Kind == uaTickCheckBox) {
        if (auto* check = ObjectAs<TCheckBox>(control)) {
          if (!check->GetChecked())
            PostMessageA(check->GetHandle(), BM_CLICK, 0, 0);
          return true;
        }
        PostClickAtCentre(control);
        return true;
      }
      if (auto* button = ObjectAs<TButton>(control))
        PostMessageA(button->GetHandle(), BM_CLICK, 0, 0);
      else
        PostClickAtCentre(control);
      return true;
    }
  } else if (HWND button = FindChildWindow(wnd, action.Target, "Button")) {
    if (action.Kind != uaTickCheckBox || SendMessageA(button, BM_GETCHECK, 0, 0) == BST_UNCHECKED)
      PostMessageA(button, BM_CLICK, 0, 0);
    return true;
  }
  FFailure = Format("The window \"%s\" has no control \"%s\"", action.WindowCaption.c_str(), action.Target.c_str());
  return false;
}
