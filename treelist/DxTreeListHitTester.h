// TdxTreeListHitTester: what lies under a point of a tree list. The node at a point and the
// hit tests of the band row, the header panel, the indicator column and the rows are answered
// here, from a layout record computed afresh for each test; a point outside the client area
// answers htOutside, and what is not under the point keeps its initial value.
// A view: it holds only its control, keeps no state and is made where it is used.
#pragma once

#include "treelist/DxTreeListLayout.h"
#include "treelist/DxTreeListTypes.h"

class TCustomdxTreeList;

class TdxTreeListHitTester {
 public:
  explicit TdxTreeListHitTester(TCustomdxTreeList& control) : FControl(control) {}

  // What lies under `p` (client coordinates): the control's GetHitInfo.
  void GetHitInfo(const TPoint& p, TdxTreeListHitInfo& hitInfo);
  // The node of the row under (x, y), none when no row is hit.
  TdxTreeListNode* GetNodeAt(int x, int y);

 private:
  // Columns size their band (bands hidden and the option set), and whether a band may
  // be sized with the mouse now.
  bool ColumnsSizeBand();
  bool CanSizeBandNow(int band);
  // Hit testing of the header areas, the indicator column and the rows; each answers
  // true when the hit is decided.
  bool HitBandRow(const TdxTreeListLayout& layout, const TPoint& p, TdxTreeListHitInfo& info);
  bool HitHeaderPanel(const TdxTreeListLayout& layout, const TPoint& p, TdxTreeListHitInfo& info);
  void HitPastLastBand(const TdxTreeListLayout& layout, TdxTreeListHitInfo& info);
  bool HitPanelBorder(const TdxTreeListLayout& layout, const TRect& panel, const TRect& corner, bool sizable,
                      TdxTreeListHitTest edgeCode, TdxTreeListHitTest cornerCode, const TPoint& p,
                      TdxTreeListHitInfo& info);
  // The column at the end of a band's last band row, -1 when none.
  int LastColumnOfBand(int band);
  bool HitIndicator(const TdxTreeListLayout& layout, const TPoint& p, TdxTreeListHitInfo& info);
  void HitRows(const TdxTreeListLayout& layout, const TPoint& p, TdxTreeListHitInfo& info);
  TdxTreeListHitTest HitNodePart(const TdxTreeListLayout& layout, const TdxTreeListRowEntry& row, int x);

  TCustomdxTreeList& FControl;
};
