// The tray icon of a skinned form.
//
// Decision taken here: messages of the tray window other than its four go to the
// default procedure; they are not the form's messages.
#include "skin/KsFormTray.h"

#include <algorithm>
#include <cstdint>

#include "classlib/Boundary.h"
#include "classlib/Menus.h"
#include "classlib/UtilWindow.h"
#include "skin/KsForms.h"

void TKsFormTray::SetTrayMenu(TPopupMenu* value) {
  FTrayMenu = value;
  if (value)
    value->FreeNotification(&FForm);
}

void TKsFormTray::Removed(TComponent* component) {
  if (component == FTrayMenu)
    FTrayMenu = nullptr;
}

void TKsFormTray::AllocateWindow(bool designing) {
  FWindow = AllocateHWnd(TWndMethod::Bind<&TKsCustomForm::TrayWndProc>(&FForm));
  if (designing)
    return;
  static_assert(sizeof(NOTIFYICONDATAA) >= 88, "the tray data holds at least the classic fields");
  FIcon.cbSize = 88;
  FIcon.hWnd = FWindow;
  FIcon.uID = UINT(reinterpret_cast<uintptr_t>(&FForm));
  FIcon.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
  FIcon.uCallbackMessage = KM_TRAYCALLBACK;
}

void TKsFormTray::ReleaseWindow(bool designing) {
  if (!designing && FWindow)
    Shell_NotifyIconA(NIM_DELETE, &FIcon);
  DeallocateHWnd(FWindow);
  FWindow = nullptr;
}

void TKsFormTray::UpdateIcon(bool designing) {
  FIcon.hIcon = KsFormIcon(FForm.GetForm());
  if (!designing && FWindow)
    Shell_NotifyIconA(NIM_MODIFY, &FIcon);
}

void TKsFormTray::AddIcon(const std::string& tip) {
  const size_t length = std::min<size_t>(tip.size(), 63);
  std::copy_n(tip.begin(), length, FIcon.szTip);
  FIcon.szTip[length] = '\0';
  Shell_NotifyIconA(NIM_ADD, &FIcon);
}

void TKsFormTray::RemoveIcon() { Shell_NotifyIconA(NIM_DELETE, &FIcon); }

void TKsFormTray::WndProc(TMessage& message) {
  GuardBoundary("skinned form tray window", [&] {
    switch (message.Msg) {
      case WM_QUERYENDSESSION: message.Result = 1; return;
      case WM_ENDSESSION:
        RemoveIcon();
        message.Result = 0;
        return;
      case KM_TRAYCALLBACK:
        if (message.LParam == WM_LBUTTONDBLCLK)
          FForm.Restore();
        else if (message.LParam == WM_RBUTTONUP)
          FForm.ShowSystemMenu();
        message.Result = 0;
        return;
      default: message.Result = DefWindowProcA(FWindow, message.Msg, message.WParam, message.LParam);
    }
  });
}
