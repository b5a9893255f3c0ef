// Painting a skinned control for a test and reading its buffer back.
#pragma once

#include "skin/KsBitmap.h"
#include "skin/KsControls.h"
#include "tests/support/TestSupport.h"

// GDI leaves the alpha byte 0 where it draws: compare colours as opaque.
inline TKsColor Opaque(TKsColor c) { return c | 0xFF000000u; }

// Paints the control's buffer through its WM_PAINT into a scratch DC.
inline void Paint(TKsCustomControl* control) {
  TDibSurface surface(control->GetWidth(), control->GetHeight());
  control->Perform(WM_PAINT, reinterpret_cast<WPARAM>(surface.DC()));
  GdiFlush();
}

inline TKsColor Pixel(TKsCustomControl* control, int x, int y) {
  return Opaque(control->GetBuffer()->GetPixel(x, y));
}
