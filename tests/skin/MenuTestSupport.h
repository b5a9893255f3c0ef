// Driving menu loops in tests: a script of steps run one by one from posted messages
// while a loop runs (each step only once the loop has taken everything posted before
// it), and helpers that find the open popups and post keys to the innermost one.
#pragma once

#include <functional>
#include <vector>

#include <gtest/gtest.h>

#include "classlib/Forms.h"
#include "skin/KsItemView.h"
#include "skin/KsMenuForm.h"
#include "tests/support/TestSupport.h"

constexpr UINT kStep = WM_APP + 17;

// Runs one step per posted kStep, each only once no other posted message waits.
class TMenuScript {
 public:
  using TStep = std::function<void()>;
  explicit TMenuScript(std::vector<TStep> steps)
      : FSteps(std::move(steps)), FWindow([this](UINT msg, WPARAM wParam, LPARAM, LRESULT& result) {
          if (msg == WM_TIMER && wParam == kWatchdog) {
            // The script is done but a loop still runs: taking its capture away ends it.
            KillTimer(FWindow.Handle(), kWatchdog);
            ADD_FAILURE() << "a menu loop outlived its script";
            ReleaseCapture();
            return true;
          }
          if (msg == WM_TIMER) {
            KillTimer(FWindow.Handle(), 1);
            PostMessageA(FWindow.Handle(), kStep, 0, 0);
            return true;
          }
          if (msg != kStep)
            return false;
          RunNext();
          result = 0;
          return true;
        }) {}
  void Start() { PostMessageA(FWindow.Handle(), kStep, 0, 0); }
  // Lets the next step run from a timer: for a step that opens a menu loop of its own.
  void Kick() {
    ++FKicks;
    SetTimer(FWindow.Handle(), 1, 100, nullptr);
  }
  bool Finished() const { return FNext == FSteps.size(); }
  HWND Handle() const { return FWindow.Handle(); }

 private:
  void RunNext() {
    if (Finished()) {
      SetTimer(FWindow.Handle(), kWatchdog, 5000, nullptr);
      return;
    }
    if ((HIWORD(GetQueueStatus(QS_POSTMESSAGE)) & QS_POSTMESSAGE) && ++FWaits < 200) {
      PostMessageA(FWindow.Handle(), kStep, 0, 0);
      return;
    }
    FWaits = 0;
    const int kicks = FKicks;
    FSteps[FNext++]();
    if (FKicks == kicks)
      PostMessageA(FWindow.Handle(), kStep, 0, 0);
  }
  static constexpr UINT_PTR kWatchdog = 2;
  std::vector<TStep> FSteps;
  size_t FNext = 0;
  int FWaits = 0;
  int FKicks = 0;
  TTestWindow FWindow;
};

// The open popups, outermost first.
inline std::vector<TKsPopupWindow*> Popups() {
  std::vector<TKsPopupWindow*> result;
  for (int i = 0; i < Screen->GetCustomFormCount(); ++i)
    if (auto* popup = ObjectAs<TKsPopupWindow>(Screen->GetCustomForms(i)))
      result.push_back(popup);
  return result;
}

inline TKsPopupWindow* Innermost() {
  auto popups = Popups();
  return popups.empty() ? nullptr : popups.back();
}

inline void PostKey(WPARAM key) {
  if (TKsPopupWindow* popup = Innermost())
    PostMessageA(popup->GetHandle(), WM_KEYDOWN, key, 0);
}

// The centre of an item of a popup, in the popup's client coordinates.
inline LPARAM ItemCentre(TKsPopupWindow* popup, TKsCustomItem* item) {
  const TRect r = popup->GetView()->GetItemRect(item);
  return MAKELPARAM((r.left + r.right) / 2, (r.top + r.bottom) / 2);
}

// Chooses `item` of the innermost popup by a click on it, or by Enter on the item the
// popup holds selected where `byClick` is false or no popup is open.
inline void ClickOrEnter(TKsCustomItem* item, bool byClick) {
  TKsPopupWindow* popup = Innermost();
  if (!byClick || !popup) {
    PostKey(VK_RETURN);
    return;
  }
  const LPARAM at = ItemCentre(popup, item);
  PostMessageA(popup->GetHandle(), WM_MOUSEMOVE, 0, at);
  PostMessageA(popup->GetHandle(), WM_LBUTTONDOWN, MK_LBUTTON, at);
  PostMessageA(popup->GetHandle(), WM_LBUTTONUP, 0, at);
}

