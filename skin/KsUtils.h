// Small utilities of the skin library: rectangle arithmetic, painting a parent's
// background behind a child, mouse capture counted across nested users, and the
// keyboard timing that the auto-repeating controls use.
#pragma once

#include "classlib/Win.h"

inline int RectWidth(const RECT& r) { return r.right - r.left; }
inline int RectHeight(const RECT& r) { return r.bottom - r.top; }
// `a` moved so that its left edge is at b.left and it is centred vertically in `b`.
RECT RectCenterVert(const RECT& a, const RECT& b);
// `a` moved so that it is centred in `b` on both axes.
RECT RectCenter(const RECT& a, const RECT& b);
RECT RectGrow(const RECT& r, int d);
inline bool RectIsEmpty(const RECT& r) { return RectWidth(r) < 1 || RectHeight(r) < 1; }
inline bool RectEquals(const RECT& a, const RECT& b) {
  return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

// Lets `parent` erase its background into `dc` as if the DC belonged to a child whose
// client origin is `childOriginOnScreen`: the DC's window origin is shifted so that
// the child's origin in the parent lands at (0, 0), and the parent is sent
// WM_ERASEBKGND with the DC and the marker 12 as lParam. The DC's state is restored.
void DrawParentBackgroundAt(HWND parent, POINT childOriginOnScreen, HDC dc);

// Counted mouse capture: the first KsSetCapture captures to `wnd`; the capture is
// released when the count of releases matches, and only if that window still has it.
// Unbalanced releases are ignored.
void KsSetCapture(HWND wnd);
void KsReleaseCapture();
int KsCaptureCount();

// The first auto-repeat delay and the repeat interval from the system keyboard settings.
int KeyboardDelayMs();
int KeyboardRepeatMs();
