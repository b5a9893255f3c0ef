// TdxTreeListHeaderPainter: the painting of a tree list's band row and header panel. The
// corner buttons and the band and column header buttons (each offered to its custom-draw
// handler first) are painted here, on the pass of the control's painter, which makes it per
// pass.
// A view: it holds only its control, keeps no state and is made where it is used.
#pragma once

#include <functional>

#include "classlib/Colors.h"
#include "classlib/Geometry.h"

class TCustomdxTreeList;
struct TdxHeaderButton;

class TdxTreeListHeaderPainter {
 public:
  explicit TdxTreeListHeaderPainter(TCustomdxTreeList& control) : FControl(control) {}

  void PaintBandRow();
  void PaintHeaderPanel();

 private:
  // One band or column header button: offered to its custom-draw handler when there is
  // one (`customDraw` (colour, done)), else or then composed in the header bitmap.
  void PaintHeaderButton(const TRect& rect, const TRect& clipped, TdxHeaderButton& button, TColor color, bool custom,
                         const std::function<void(TColor&, bool&)>& customDraw);

  TCustomdxTreeList& FControl;
};
