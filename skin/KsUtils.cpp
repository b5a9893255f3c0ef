#include "skin/KsUtils.h"

#include "classlib/Controls.h"
#include "skin/KsMath.h"

TRect RectCenterVert(const TRect& a, const TRect& b) {
  int left = b.left;
  int top = b.top + (RectHeight(b) - RectHeight(a)) / 2;
  return TRect{left, top, left + RectWidth(a), top + RectHeight(a)};
}

TRect RectCenter(const TRect& a, const TRect& b) {
  int left = b.left + (RectWidth(b) - RectWidth(a)) / 2;
  int top = b.top + (RectHeight(b) - RectHeight(a)) / 2;
  return TRect{left, top, left + RectWidth(a), top + RectHeight(a)};
}

TRect RectGrow(const TRect& r, int d) {
  return TRect{r.left - d, r.top - d, r.right + d, r.bottom + d};
}

void DrawParentBackgroundAt(HWND parent, TPoint childOriginOnScreen, HDC dc) {
  int saved = SaveDC(dc);
  TPoint p = childOriginOnScreen;
  ScreenToClient(parent, &p);
  OffsetWindowOrgEx(dc, p.x, p.y, nullptr);
  SendMessageA(parent, WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), /*lParam=*/12);
  RestoreDC(dc, saved);
}

void DrawParentBackground(TControl* control, HDC dc) {
  TWinControl* parent = control->GetParent();
  if (!parent || !parent->HandleAllocated())
    return;
  DrawParentBackgroundAt(parent->GetHandle(), control->GetClientOrigin(), dc);
}

void DrawParentBackgroundWin(TControl* control, HDC dc) {
  TWinControl* parent = control->GetParent();
  if (!parent)
    return;
  DrawParentBackgroundAt(parent->GetHandle(), control->GetClientOrigin(), dc);
}

namespace {

int gCaptureCount = 0;
HWND gCaptureWindow = nullptr;

}  // namespace

void KsSetCapture(HWND wnd) {
  if (gCaptureCount == 0) {
    gCaptureWindow = wnd;
    SetCapture(wnd);
  }
  ++gCaptureCount;
}

void KsReleaseCapture() {
  // A release without a matching KsSetCapture is ignored: letting the count go below 0
  // would keep every later KsSetCapture from capturing.
  if (gCaptureCount == 0)
    return;
  if (--gCaptureCount > 0)
    return;
  if (GetCapture() == gCaptureWindow)
    ReleaseCapture();
  gCaptureWindow = nullptr;
}

int KsCaptureCount() { return gCaptureCount; }

int KeyboardDelayMs() {
  int delay = 0;
  SystemParametersInfoA(SPI_GETKEYBOARDDELAY, 0, &delay, 0);
  return (delay + 1) * 200;
}

int KeyboardRepeatMs() {
  DWORD speed = 0;
  SystemParametersInfoA(SPI_GETKEYBOARDSPEED, 0, &speed, 0);
  return RoundToInt(1000.0 / ((static_cast<double>(speed) + 1.0) * 2.3));
}
