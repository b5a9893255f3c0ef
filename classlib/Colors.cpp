#include "classlib/Colors.h"

COLORREF ColorToRGB(TColor color) {
  if (IsSystemColor(color))
    return GetSysColor(color & 0xFF);
  return static_cast<COLORREF>(color);
}
