// Small utilities of the skin library: rectangle arithmetic, painting a parent's
// background behind a child, mouse capture counted across nested users, and the
// keyboard timing that the auto-repeating controls use.
#pragma once

#include "classlib/Geometry.h"
#include "classlib/Win.h"

class TControl;

// RectWidth and RectHeight come with the class library's geometry.
// `a` moved so that its left edge is at b.left and it is centred vertically in `b`.
TRect RectCenterVert(const TRect& a, const TRect& b);
// `a` moved so that it is centred in `b` on both axes.
TRect RectCenter(const TRect& a, const TRect& b);
TRect RectGrow(const TRect& r, int d);
inline bool RectIsEmpty(const TRect& r) { return RectWidth(r) < 1 || RectHeight(r) < 1; }
inline bool RectEquals(const TRect& a, const TRect& b) {
  return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

// Lets `parent` erase its background into `dc` as if the DC belonged to a child whose
// client origin is `childOriginOnScreen`: the DC's window origin is shifted so that
// the child's origin in the parent lands at (0, 0), and the parent is sent
// WM_ERASEBKGND with the DC and the marker 12 as lParam. The DC's state is restored.
void DrawParentBackgroundAt(HWND parent, TPoint childOriginOnScreen, HDC dc);
// The parent's background behind `control`, painted into `dc`: nothing without a parent,
// or (for windowless controls) while the parent has no window yet.
void DrawParentBackground(TControl* control, HDC dc);
// The same for windowed controls, whose parent's window is made when needed.
void DrawParentBackgroundWin(TControl* control, HDC dc);

// Counted mouse capture: the first KsSetCapture captures to `wnd`; the capture is
// released when the count of releases matches, and only if that window still has it.
// Unbalanced releases are ignored.
void KsSetCapture(HWND wnd);
void KsReleaseCapture();
int KsCaptureCount();

// The first auto-repeat delay and the repeat interval from the system keyboard settings.
int KeyboardDelayMs();
int KeyboardRepeatMs();
