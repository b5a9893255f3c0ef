// TdxTreeListRowPainter: the painting of a tree list's rows. The rows of a paint pass (tree
// areas and lines, cells, node footers, grid lines and the focus frame) are painted here, on
// the pass of the control's painter, which makes it per pass; the cells through the
// control's cell painting operations.
// A view: it holds only its control, keeps no state and is made where it is used.
#pragma once

#include <vector>

#include "classlib/Win.h"

class TCustomdxTreeList;
struct TdxTreeListRowEntry;

class TdxTreeListRowPainter {
 public:
  explicit TdxTreeListRowPainter(TCustomdxTreeList& control) : FControl(control) {}

  // The rows area of the pass: the empty parts, then the tree areas of every row, then
  // their contents and the grid lines.
  void DrawNodes();
  // Draws the grid segments collected as pairs of points, in the grid colour.
  void DrawGridSegments(const std::vector<POINT>& points);

 private:
  // The rows painter's two passes and its parts.
  void DrawTreeArea(TdxTreeListRowEntry& row, const TdxTreeListRowEntry* previous, HBRUSH lineBrush);
  void DrawTreeLines(const TdxTreeListRowEntry& row, const TdxTreeListRowEntry* previous, HBRUSH brush);
  void DrawRowContent(const TdxTreeListRowEntry& row, std::vector<POINT>& grid);
  void DrawRowCells(const TdxTreeListRowEntry& row, std::vector<POINT>& grid);
  void DrawNodeFooters(const TdxTreeListRowEntry& row, std::vector<POINT>& grid);
  void DrawRowFocus(const TdxTreeListRowEntry& row, int cellsBottom);
  void AddTreeAreaGrid(const TdxTreeListRowEntry& row, std::vector<POINT>& grid);
  // The x where a row's open extent ends (the level columns left of it continue into
  // the next row): its bottom grid line starts there.
  int RowOpenExtent(const TdxTreeListRowEntry& row);
  // The x of the level column of the top level (left of the tree area when it is not
  // shown) while painting.
  int LevelColumnsLeft() const;

  TCustomdxTreeList& FControl;
};
