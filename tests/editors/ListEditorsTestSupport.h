// Helpers of the list-choosing editors' tests (image, pick, MRU): solid-coloured image
// lists, mouse clicks posted to a window, a replaceable work area and the window
// geometry of an open popup list.
#pragma once

#include <initializer_list>
#include <memory>

#include "classlib/Bitmap.h"
#include "classlib/Canvas.h"
#include "classlib/Forms.h"
#include "classlib/ImageList.h"
#include "tests/editors/EditorsTestSupport.h"

// A list of 16 x 16 images, image i filled with colours[i].
inline std::unique_ptr<TImageList> SolidImages(std::initializer_list<COLORREF> colours) {
  auto images = std::make_unique<TImageList>(nullptr);
  TBitmap strip;
  strip.SetWidth(16 * int(colours.size()));
  strip.SetHeight(16);
  int left = 0;
  for (COLORREF colour : colours) {
    strip.GetCanvas()->GetBrush()->SetColor(TColor(colour));
    strip.GetCanvas()->FillRect(Rect(left, 0, left + 16, 16));
    left += 16;
  }
  images->AddMasked(&strip, clFuchsia);
  return images;
}

// Posts a move, a press and a release of the left button at the client point (x, y) of
// `wnd` and lets the application's loop handle them.
inline void ClickAt(HWND wnd, int x, int y) {
  const LPARAM point = MAKELPARAM(x, y);
  PostMessageA(wnd, WM_MOUSEMOVE, 0, point);
  PostMessageA(wnd, WM_LBUTTONDOWN, MK_LBUTTON, point);
  PostMessageA(wnd, WM_LBUTTONUP, 0, point);
  Application->ProcessMessages();
}

// Moves the real pointer to the screen point (x, y) and presses and releases the left
// button there, as a user clicks; the application's loop then handles the input.
inline bool RealClickAt(int x, int y) {
  if (!SettlePointerAt(x, y))
    return false;
  INPUT input[2] = {};
  input[0].type = input[1].type = INPUT_MOUSE;
  input[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
  input[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
  SendInput(2, input, sizeof(INPUT));
  PumpUntil([] { return GetAsyncKeyState(VK_LBUTTON) >= 0; }, 2000);
  PumpPending();
  return true;
}

// One monitor whose work area is `Work` (the screen outside it is the task bars').
class TWorkAreaProvider : public TMonitorProvider {
 public:
  explicit TWorkAreaProvider(const TRect& work) : Work(work) { FPrevious = SetMonitorProvider(this); }
  ~TWorkAreaProvider() override { SetMonitorProvider(FPrevious); }
  TWorkAreaProvider(const TWorkAreaProvider&) = delete;
  TWorkAreaProvider& operator=(const TWorkAreaProvider&) = delete;
  HMONITOR FromPoint(const POINT&, DWORD) override { return kMonitor; }
  HMONITOR FromWindow(HWND, DWORD) override { return kMonitor; }
  bool GetInfo(HMONITOR, MONITORINFO& info) override {
    info.rcMonitor = Rect(0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN));
    info.rcWork = Work;
    info.dwFlags = MONITORINFOF_PRIMARY;
    return true;
  }
  TRect Work;

 private:
  static inline const HMONITOR kMonitor = reinterpret_cast<HMONITOR>(0x3001);
  TMonitorProvider* FPrevious = nullptr;
};

inline TRect WindowRect(HWND wnd) {
  RECT r{};
  GetWindowRect(wnd, &r);
  return r;
}

inline TRect ClientRect(HWND wnd) {
  RECT r{};
  GetClientRect(wnd, &r);
  return r;
}

// The list box's own rectangle of line `index`, in client coordinates.
inline TRect LineRect(HWND list, int index) {
  RECT r{};
  SendMessageA(list, LB_GETITEMRECT, WPARAM(index), reinterpret_cast<LPARAM>(&r));
  return r;
}
