#include "standin/host/HostWindows.h"

#include "classlib/Boundary.h"
#include "standin/host/StandinHost.h"

namespace standin {

std::string WindowText(HWND wnd) {
  char text[512] = "";
  GetWindowTextA(wnd, text, sizeof text);
  return text;
}

std::vector<HWND> DialogWindows() {
  std::vector<HWND> found;
  EnumWindows(
      [](HWND wnd, LPARAM data) __attribute__((stdcall)) -> BOOL {
        return GuardBoundaryResult<BOOL>("KivoHost window search", FALSE, [&]() -> BOOL {
          DWORD pid = 0;
          GetWindowThreadProcessId(wnd, &pid);
          if (pid == GetCurrentProcessId() && IsWindowVisible(wnd) &&
              wnd != MainWindowHandle() && wnd != ApplicationWindowHandle() &&
              GetWindowTextLengthA(wnd) > 0)
            reinterpret_cast<std::vector<HWND>*>(data)->push_back(wnd);
          return TRUE;
        });
      },
      reinterpret_cast<LPARAM>(&found));
  return found;
}

void PostClick(HWND control, int x, int y) {
  const LPARAM at = MAKELPARAM(x, y);
  PostMessageA(control, WM_LBUTTONDOWN, MK_LBUTTON, at);
  PostMessageA(control, WM_LBUTTONUP, 0, at);
}

void PostClickAtCentre(HWND control) {
  RECT r{};
  GetClientRect(control, &r);
  PostClick(control, (r.right - r.left) / 2, (r.bottom - r.top) / 2);
}

}  // namespace standin
