// TdxTreeListLayoutBuilder: the metrics and the layout records of a tree list. It owns the
// metrics (computed by the metrics pass from the control's fonts, image lists and display
// settings) and the new-item row and node-footer defaults; it computes the layout record
// (areas, bands, header cells, rows) afresh for whoever paints, hit-tests or sizes, the cell
// and editor rectangles and the visible-column order. Nothing here fails: a column or row
// that is not laid out answers the empty rectangle (-1, -1, -1, -1) or index -1.
// A part of TCustomdxTreeList, made with it and held by it; it keeps its control and reaches
// the control's state through the control's operations.
#pragma once

#include <cstdint>

#include "classlib/Object.h"
#include "treelist/DxTreeListLayout.h"

class TCustomdxTreeList;

class TdxTreeListLayoutBuilder : public TObject {
  KIVO_CLASS(TdxTreeListLayoutBuilder, TObject)
 public:
  explicit TdxTreeListLayoutBuilder(TCustomdxTreeList& control) : FControl(control) {}
  TdxTreeListLayoutBuilder(const TdxTreeListLayoutBuilder&) = delete;
  TdxTreeListLayoutBuilder& operator=(const TdxTreeListLayoutBuilder&) = delete;

  // ==== Metrics
  // How far the preview text is indented from the row's tree area.
  static constexpr int kPreviewIndent = 20;
  const TdxTreeListMetrics& GetMetrics() const { return FMetrics; }
  // The metrics pass: fonts, panels, images and the least row height. A default row
  // height below the least row height is dropped.
  void CalcMetrics();
  // The control's GetDefaultRowLinesHeight: as many lines of the font's text height (+ 3)
  // as the row line count asks for.
  int32_t GetDefaultRowLinesHeight();
  // The new-item row's switch and count and the node-footer switch behind those queries;
  // they keep their defaults, as nothing sets them.
  bool GetNewItemRowVisible() const { return FNewItemRowVisible; }
  int GetNewItemRowCount() const { return FNewItemRowCount; }
  bool GetNodeFootersShown() const { return FNodeFootersShown; }

  // ==== The layout record
  // The layout record of the current metrics, bands, columns, scroll position and rows.
  void CalcLayout(TdxTreeListLayout& layout);
  // The areas of the record that depend only on the metrics.
  void CalcAreas(TdxTreeListLayout& layout);
  // A cell of a row of the record.
  TRect CalcCellRect(const TdxTreeListLayout& layout, const TdxTreeListRowEntry& row,
                     const TdxTreeListColumnEntry& column);
  // The height of one cell line of a row: its height without grid line, preview and
  // footer lines, shared by the header rows.
  int RowLineHeight(const TdxTreeListRowEntry& row);
  // The level column of the top level is shown: ShowRoot, or the grid look.
  bool IsRootShown() const;
  // 1 for a node with children in the grid look without grid lines, whose row keeps its
  // top pixel free; else 0.
  int GroupLookPixel(const TdxTreeListNode* node) const;
  // The cell of `node` in the column at `visibleColumn` (the visible-column order), and
  // where an editor of that cell goes; (-1, -1, -1, -1) when the column has no header
  // cell in the layout or the node's row is not on screen.
  TRect GetCellRect(TdxTreeListNode* node, int visibleColumn);
  TRect GetEditorRect(TdxTreeListNode* node, int visibleColumn);
  // The visible-column order: band row 0 of every visible band from the first band to
  // the last, then band row 1, and so on; within a band row by position. -1 and 0 when
  // not found.
  int GetColumnByVisibleIndex(int visibleIndex);
  int GetVisibleIndexOfColumn(int column);
  // The rows area of the current metrics.
  TRect GetRowsRect();
  // The control's GetLayoutPartRect: the rows area, from the indicator column's left
  // edge when there is one.
  void GetLayoutPartRect(TRect& rect);

 private:
  // The record's bands, header cells and rows.
  void CalcBands(TdxTreeListLayout& layout);
  void CalcColumns(TdxTreeListLayout& layout);
  void CalcRows(TdxTreeListLayout& layout);
  TRect CellOrEditorRect(TdxTreeListNode* node, int visibleColumn, bool editor);
  // The indicator image of a node's row: 0 none, else 1 + the image's index.
  int IndicatorImageOf(TdxTreeListNode* node);

  TCustomdxTreeList& FControl;
  // Metrics (computed by the metrics pass).
  TdxTreeListMetrics FMetrics;
  bool FNewItemRowVisible = false;
  int FNewItemRowCount = 1;
  bool FNodeFootersShown = false;
};
