// TdxTreeListAppearance: the display settings of a tree list. It is to own the three fonts
// (band, header, preview), the two image lists and their change links, the border style, the
// look and feel, the grid lines, the Show flags, the grid look, the two hide-unfocused flags,
// the default row height (and whether it was set), the fixed band line and grid line widths,
// the preview lines, the row line count and the colours, the search-match colours among them,
// with the setters' change tests and reactions.
// A part of TCustomdxTreeList, made with it and held by it; it keeps its control and reaches
// the control's state through the control's operations.
#pragma once

#include "classlib/Object.h"

class TCustomdxTreeList;

class TdxTreeListAppearance : public TObject {
  KIVO_CLASS(TdxTreeListAppearance, TObject)
 public:
  explicit TdxTreeListAppearance(TCustomdxTreeList& control) : FControl(control) {}
  TdxTreeListAppearance(const TdxTreeListAppearance&) = delete;
  TdxTreeListAppearance& operator=(const TdxTreeListAppearance&) = delete;

 private:
  TCustomdxTreeList& FControl;
};
