// TdxTreeListCellPainter: the painting of a tree list's cells. Data, text and footer cells,
// previews, cell view data and the incremental search's pass are painted here, with the
// painter's cell view data and spare font; the custom-draw queries and the cell values come
// through the control's operations, and a cell's view data is painted through the control's
// DrawCellViewData (a descendant paints it with the column's own editor class).
// A view: it holds only its control, keeps no state and is made where it is used.
#pragma once

#include <cstdint>

#include "classlib/Colors.h"
#include "classlib/Geometry.h"
#include "classlib/Win.h"

class TBitmap;
class TCanvas;
class TCustomdxTreeList;
class TdxEditViewData;
class TdxInplaceEditClass;
class TdxTreeListCellViewData;
class TdxTreeListNode;

class TdxTreeListCellPainter {
 public:
  explicit TdxTreeListCellPainter(TCustomdxTreeList& control) : FControl(control) {}

  // The bodies of the control's cell painting operations of the same names.
  void DrawCell(TCanvas* canvas, const TRect& rect, TBitmap* headerBitmap, TdxTreeListNode* node, int32_t column,
                bool highlighted, bool cellFocused, TColor color, TColor textColor, HBRUSH brush, bool multiLine,
                uint8_t kind, bool entryFlag1, bool entryFlag2, TColor columnColor, HBRUSH columnBrush);
  void DrawTextCell(TCanvas* canvas, const TRect& rect, HBRUSH brush, TColor color, TColor textColor, bool focused,
                    TdxTreeListNode* node, int32_t column, int32_t footerIndex, uint8_t kind, TBitmap* headerBitmap);
  void DrawPreview(TCanvas* canvas, const TRect& rect, TBitmap* headerBitmap, TdxTreeListNode* node, TColor color,
                   TColor textColor, HBRUSH brush, bool selected);
  void DrawCellViewData(TCanvas* canvas, const TRect& rect, TdxTreeListCellViewData* viewData, int32_t column);
  int32_t GetCellTextWidth(TCanvas* canvas, TdxTreeListNode* node, int32_t column);
  // Paints the filled view data `data` of a cell with `editClass` on `rect` (the cell's
  // origin moved to the rectangle's corner, clipped to it, and in the incremental
  // search's pass to the matched characters).
  void DrawEditViewData(TCanvas* canvas, const TRect& rect, const TdxTreeListCellViewData* viewData,
                        const TdxInplaceEditClass& editClass, TdxEditViewData* data);

 private:
  // The shared part of DrawCell and DrawTextCell: the incremental-search pass (`redraw`
  // paints the cell again from the match colours of the cell view data) and the search
  // cell's focus frame. A template, so that cells outside the search cost no closure.
  template <class TRedraw>
  void DrawSearchPass(TCanvas* canvas, TRect rect, int32_t column, uint8_t kind, bool cellFocused, bool entryFlag1,
                      bool entryFlag2, TRedraw&& redraw);

  TCustomdxTreeList& FControl;
};
