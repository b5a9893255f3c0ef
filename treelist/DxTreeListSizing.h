// TdxTreeListSizing: the sizing of bands, columns, panels and rows with the mouse. It is to
// own where a sizing started, the sizing line's position and the lock that holds off sizing to
// the client; with them the limits, the XOR line and applying the widths. Held by
// TdxTreeListMouse.
// A part of TCustomdxTreeList, made with it and held by it; it keeps its control and reaches
// the control's state through the control's operations.
#pragma once

#include "classlib/Object.h"

class TCustomdxTreeList;

class TdxTreeListSizing : public TObject {
  KIVO_CLASS(TdxTreeListSizing, TObject)
 public:
  explicit TdxTreeListSizing(TCustomdxTreeList& control) : FControl(control) {}
  TdxTreeListSizing(const TdxTreeListSizing&) = delete;
  TdxTreeListSizing& operator=(const TdxTreeListSizing&) = delete;

 private:
  TCustomdxTreeList& FControl;
};
