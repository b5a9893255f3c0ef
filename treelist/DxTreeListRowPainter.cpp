// The rows: a first pass paints the tree area of every row (level columns, tree lines,
// expand buttons, state image and node image); a second pass paints the cells through
// the virtual cell painter, the preview text, the node footers and the focus mark, and
// collects the grid segments, drawn at the end by one PolyPolyline.
//
// Decisions taken here (the vertical arithmetic of the row parts is this file's own):
// - A row is, from the top: the group-look pixel (grid look without grid lines, node
//   with children), its cell lines (each the row's line height), the preview (its lines
//   and 2 pixels) and the node footer lines; the grid line at the bottom belongs to the
//   last of these. A cell line loses its bottom pixel to the grid line between lines.
// - The group-look pixel above a group row's cells is painted in the background colour:
//   it separates the groups as a grid line would.
// - A node footer line starts at the level column right of the level it closes, so that
//   it sits under the children it sums up; level columns and the tree area's grid lines
//   right of that point end above it.
// - Tree-line segments stay inside their row; the continuation into the next row is
//   that row's own segment.
// - A cell of a scrolled band that is cut at the scrolled area's edge gets no grid line
//   at its cut side.
#include "treelist/DxTreeListRowPainter.h"

#include <algorithm>

#include "classlib/Canvas.h"
#include "classlib/GdiHandles.h"
#include "editors/DxUtils.h"
#include "treelist/DxTreeList.h"
#include "treelist/DxTreeListDraw.h"
#include "treelist/DxTreeListPaintPass.h"

namespace {

void AddSegment(std::vector<POINT>& grid, int x1, int y1, int x2, int y2) {
  grid.push_back(POINT{x1, y1});
  grid.push_back(POINT{x2, y2});
}

bool IsFirstChild(const TdxTreeListNode* node) {
  return node->GetParent() && node->GetParent()->GetFirstChild() == node;
}

}  // namespace

int TdxTreeListRowPainter::LevelColumnsLeft() const {
  const int hidden = FControl.GetLayoutBuilder().IsRootShown() ? 0 : FControl.GetMetrics().IndentWidth;
  return FControl.GetPainter().GetPass().Layout.TreeLeft - hidden;
}

void TdxTreeListRowPainter::DrawNodes() {
  TdxTreeListPaintPass& pass = FControl.GetPainter().GetPass();
  TdxTreeListLayout& layout = pass.Layout;
  HDC dc = pass.DC;
  for (const TRect* empty : {&layout.EmptyRows, &layout.EmptyRight}) {
    if (!IsEmptyRect(*empty) && RectVisible(dc, empty))
      FillRect(dc, empty, pass.BackgroundBrush.Get());
  }
  if (IsEmptyRect(layout.Rows) || !RectVisible(dc, &layout.Rows) || layout.Bands.empty() ||
      layout.RowEntries.empty())
    return;
  FControl.GetPainter().SetClip(layout.Rows);
  struct TRestore {
    TCustomdxTreeList* Control;
    ~TRestore() { Control->GetPainter().RestoreClip(); }
  } restore{&FControl};

  // The first pass. Dotted tree lines are the checkerboard brush in the tree-line colour
  // and the background colour, in the phase of the rows area's parity.
  HBRUSH lineBrush = pass.TreeLineBrush.Get();
  const bool dotted = FControl.GetMetrics().TreeLook && FControl.GetShowLines() && CheckerboardBrush();
  {
    TSaveDCGuard colours(dc);
    if (dotted) {
      lineBrush = CheckerboardBrush();
      POINT origin{layout.Rows.left, layout.Rows.top};
      LPtoDP(dc, &origin, 1);
      const bool same = (origin.x & 1) == (origin.y & 1);
      const COLORREF line = ColorToRGB(FControl.GetTreeLineColor());
      const COLORREF background = ColorToRGB(FControl.GetColor());
      SetBkColor(dc, same ? line : background);
      SetTextColor(dc, same ? background : line);
    }
    std::vector<TdxTreeListRowEntry>& rows = layout.RowEntries;
    for (size_t i = 0; i < rows.size(); ++i) {
      TdxTreeListRowEntry& row = rows[i];
      WithNodePaint(&FControl, row.Node, [&] {
        DrawTreeArea(row, i > 0 ? &rows[i - 1] : nullptr, lineBrush);
      });
    }
  }

  // The second pass.
  std::vector<POINT> grid;
  const size_t perRow = layout.Columns.size() * 2 + 8 + 2 * static_cast<size_t>(FControl.GetMetrics().HeaderRows);
  grid.reserve(layout.RowEntries.size() * perRow * 2);
  for (const TdxTreeListRowEntry& row : layout.RowEntries) {
    WithNodePaint(&FControl, row.Node, [&] {
      FControl.GetPainter().SelectCanvasFont(FControl.GetFont());
      DrawRowContent(row, grid);
    });
    AddTreeAreaGrid(row, grid);
  }
  DrawGridSegments(grid);
}

// ---- The tree area

int TdxTreeListRowPainter::RowOpenExtent(const TdxTreeListRowEntry& row) {
  const TdxTreeListNode* node = row.Node;
  const int indent = FControl.GetMetrics().IndentWidth;
  const int level = node->GetLevel();
  int extent = level * indent;
  if (node->GetHasChildren() && node->GetExpanded())
    extent += indent - 1;
  else if (!node->GetHasChildren() && node->IsLast())
    extent -= indent;
  if (const TdxTreeListNode* next = node->GetNextVisible()) {
    if (next->GetLevel() < level)
      extent = next->GetLevel() * indent;
  } else {
    extent = 0;
  }
  if (!FControl.GetLayoutBuilder().IsRootShown())
    extent -= indent;
  return FControl.GetPainter().GetPass().Layout.TreeLeft + extent;
}

void TdxTreeListRowPainter::DrawTreeArea(TdxTreeListRowEntry& row, const TdxTreeListRowEntry* previous,
                                         HBRUSH lineBrush) {
  TdxTreeListPaintPass& pass = FControl.GetPainter().GetPass();
  const TdxTreeListLayout& layout = pass.Layout;
  const TdxTreeListMetrics& m = FControl.GetMetrics();
  HDC dc = pass.DC;
  TdxTreeListNode* node = row.Node;
  const int indent = m.IndentWidth;
  const int level = node->GetLevel();
  const bool hasChildren = node->GetHasChildren();
  const bool treeLook = m.TreeLook;
  const bool rootShown = FControl.GetLayoutBuilder().IsRootShown();
  const int levels = level + (hasChildren || treeLook ? 1 : 0);
  const int y = row.Top;
  const int h = row.Height;
  const int g = FControl.GetLayoutBuilder().GroupLookPixel(node);
  int levelWidth = 0;
  int fullWidth = 0;
  FControl.GetWidths().GetNodeIndent(node, levelWidth, fullWidth);
  row.IndentWidth = fullWidth;
  if (fullWidth <= 0)
    return;
  const int left = LevelColumnsLeft();
  const int open = RowOpenExtent(row);

  TRect last{};
  HBRUSH lastBrush = nullptr;
  for (int i = rootShown ? 0 : 1; i < levels; ++i) {
    const int gi = i == levels - 1 ? g : 0;
    TRect column{left + i * indent, y + gi, left + (i + 1) * indent - 1, y + h};
    if (treeLook && !FControl.GetShowGrid())
      column.right += 1;
    else if (open < column.right)
      column.bottom = y + h - gi;
    if (row.FooterLineCount > 0)
      column.bottom -= std::max(FControl.GetWidths().CountNodeFootersBelow(node, i), 0) * m.NodeFooterHeight;
    HBRUSH brush = treeLook ? pass.BackgroundBrush.Get() : FControl.GetPainter().LevelBrush(i);
    FillRect(dc, &column, brush);
    last = column;
    lastBrush = brush;
  }
  // The pixel column between the node's own level column and its cells.
  if (hasChildren && lastBrush && !(treeLook && FControl.GetShowGrid())) {
    const int x = left + levels * indent - 1;
    const TRect gap{x, last.top, x + 1, y + h - g};
    FillRect(dc, &gap, lastBrush);
  }
  if (treeLook && FControl.GetShowLines())
    DrawTreeLines(row, previous, lineBrush);

  if (FControl.GetShowButtons() && hasChildren && (rootShown || level > 0)) {
    const TRect box{left + level * indent, y, left + (level + 1) * indent - 1, y + h - g};
    const bool plus = !node->GetExpanded();
    if (treeLook)
      DrawExpandButton(dc, box, y + h / 2, plus);
    else if (FControl.GetLookAndFeel() == lfFramed)
      DrawExpandButton3D(dc, box, plus);
    else
      DrawGraphicCentered(FControl.GetCanvas(), box, DxTreeListExpandGlyph(plus));
  }

  // The state image and the node image.
  HBRUSH imageBrush = pass.BackgroundBrush.Get();
  if (!treeLook && (row.GroupRow || hasChildren))
    imageBrush = FControl.GetPainter().LevelBrush(level);
  int x = layout.TreeLeft + levelWidth;
  const int stateIndex = FControl.GetNodeStateIndex(node);
  if (stateIndex != -1 && m.StateImageWidth > 0) {
    const TRect r{x, y, x + m.StateImageWidth, y + h};
    FillRect(dc, &r, imageBrush);
    DrawImageCentered(FControl.GetCanvas(), r, FControl.GetStateImages(), stateIndex);
    x += m.StateImageWidth;
  }
  if (m.ImageWidth > 0) {
    const TRect r{x, y, x + m.ImageWidth, y + h};
    FillRect(dc, &r, imageBrush);
    const int index = row.Selected ? FControl.GetNodeSelectedIndex(node) : FControl.GetNodeImageIndex(node);
    if (index != -1)
      DrawImageCentered(FControl.GetCanvas(), r, FControl.GetImages(), index);
  }
}

void TdxTreeListRowPainter::DrawTreeLines(const TdxTreeListRowEntry& row, const TdxTreeListRowEntry* previous,
                                          HBRUSH brush) {
  HDC dc = FControl.GetPainter().GetPass().DC;
  const TdxTreeListNode* node = row.Node;
  const int indent = FControl.GetMetrics().IndentWidth;
  const int level = node->GetLevel();
  const bool rootShown = FControl.GetLayoutBuilder().IsRootShown();
  if (!rootShown && level == 0)
    return;
  const int y = row.Top;
  const int bottom = y + row.Height - 1;
  const int c = y + row.Height / 2;
  const int x0 = LevelColumnsLeft() + level * indent;
  const int xm = x0 + indent / 2 - 1;
  const bool button = FControl.GetShowButtons() && node->GetHasChildren();
  const bool firstTop = !node->GetParent() && node == FControl.GetItem(0);
  // Segments of one pixel's width, both ends drawn.
  auto vertical = [&](int x, int top, int end) {
    if (end < top)
      return;
    const TRect r{x, top, x + 1, end + 1};
    FillRect(dc, &r, brush);
  };
  const TRect horizontal{button ? xm + 5 : xm, c, x0 + indent, c + 1};
  FillRect(dc, &horizontal, brush);
  int top = firstTop ? c : y;
  if (previous && FControl.GetMetrics().ImageHeight > 0 && IsFirstChild(node))
    top -= (previous->Height - FControl.GetMetrics().ImageHeight) / 2;
  if (button) {
    if (!firstTop)
      vertical(xm, top, c - 5);
    if (!node->IsLast())
      vertical(xm, c + 5, bottom);
  } else if (node->IsLast()) {
    if (c > top)
      vertical(xm, top, c);
  } else {
    vertical(xm, top, bottom);
  }
  int x = xm;
  for (const TdxTreeListNode* ancestor = node->GetParent(); ancestor; ancestor = ancestor->GetParent()) {
    x -= indent;
    if (!rootShown && !ancestor->GetParent())
      break;
    if (!ancestor->IsLast())
      vertical(x, y, bottom);
  }
}

// ---- Cells, preview, footers and focus

void TdxTreeListRowPainter::DrawRowContent(const TdxTreeListRowEntry& row, std::vector<POINT>& grid) {
  TdxTreeListPaintPass& pass = FControl.GetPainter().GetPass();
  const TdxTreeListLayout& layout = pass.Layout;
  const TdxTreeListMetrics& m = FControl.GetMetrics();
  HDC dc = pass.DC;
  TdxTreeListNode* node = row.Node;
  const bool hasChildren = node->GetHasChildren();
  const bool focusedNode = node == FControl.GetFocusedNode();
  const int y = row.Top;
  const int cellsLeft = layout.TreeLeft + std::min(row.IndentWidth, layout.TreeAreaWidth);
  const int cellsRight = layout.CellsRight + 1;

  if (row.GroupRow) {
    const TRect rect{cellsLeft, y, cellsRight, y + row.Height - row.FooterHeight};
    const bool selected = row.Selected && (!FControl.GetNavigator().GetNewItemRowActive() || FControl.IsMultiSelect());
    TColor color, textColor;
    HBRUSH brush;
    FControl.GetPainter().GetRowColors(node, selected, pass.Focused, /*groupRow=*/true, hasChildren, node->GetLevel(),
                                       -1, color, textColor, brush);
    FControl.DrawTextCell(FControl.GetCanvas(), rect, brush, color, textColor, pass.Focused && focusedNode, node, -1,
                          -1, /*kind=*/3, pass.HeaderBitmap.get());
    DrawRowFocus(row, rect.bottom);
    return;
  }

  const int g = FControl.GetLayoutBuilder().GroupLookPixel(node);
  const int footerTop = y + row.Height - row.FooterHeight;
  const int gridWidth = FControl.GetShowGrid() ? FControl.GetGridLineWidth() : 0;
  const int cellsBottom =
      row.PreviewLineCount > 0 ? y + g + FControl.GetLayoutBuilder().RowLineHeight(row) * m.HeaderRows : footerTop;
  if (g > 0) {
    int levelWidth = 0, fullWidth = 0;
    FControl.GetWidths().GetNodeIndent(node, levelWidth, fullWidth);
    const TRect line{layout.TreeLeft + levelWidth - m.IndentWidth, y, cellsRight, y + 1};
    FillRect(dc, &line, pass.BackgroundBrush.Get());
  }
  // The fixed bands' separators across the cell part of the row.
  const int width = FControl.GetFixedBandLineWidth();
  if (!IsEmptyRect(layout.LeftFixedArea)) {
    const TRect line{layout.LeftFixedArea.right - width, y, layout.LeftFixedArea.right, cellsBottom};
    FillRect(dc, &line, pass.FixedLineBrush.Get());
  }
  if (!IsEmptyRect(layout.RightFixedArea)) {
    const TRect line{layout.RightFixedArea.left, y, layout.RightFixedArea.left + width, cellsBottom};
    FillRect(dc, &line, pass.FixedLineBrush.Get());
  }
  DrawRowCells(row, grid);

  if (row.PreviewLineCount > 0) {
    const int bottom = footerTop - (row.FooterHeight == 0 ? gridWidth : 0);
    const TRect rect{cellsLeft, cellsBottom, cellsRight, bottom};
    const bool highlighted = FControl.GetPainter().IsCellHighlighted(row.Selected, focusedNode, -1, false);
    TColor color, textColor;
    HBRUSH brush;
    FControl.GetPainter().GetRowColors(node, highlighted, pass.Focused, false, hasChildren, node->GetLevel(), -1, color,
                                       textColor, brush);
    if (!IsEmptyRect(rect) && RectVisible(dc, &rect))
      FControl.DrawPreview(FControl.GetCanvas(), rect, pass.HeaderBitmap.get(), node, color, textColor, brush,
                           highlighted);
    if (FControl.GetShowGrid() && FControl.GetShowPreviewGrid())
      AddSegment(grid, cellsLeft, cellsBottom - 1, cellsRight, cellsBottom - 1);
    if (FControl.GetShowGrid())
      AddSegment(grid, cellsRight - 1, cellsBottom, cellsRight - 1, bottom);
  }
  DrawNodeFooters(row, grid);
  DrawRowFocus(row, cellsBottom);
}

void TdxTreeListRowPainter::DrawRowCells(const TdxTreeListRowEntry& row, std::vector<POINT>& grid) {
  TdxTreeListPaintPass& pass = FControl.GetPainter().GetPass();
  const TdxTreeListLayout& layout = pass.Layout;
  HDC dc = pass.DC;
  TdxTreeListNode* node = row.Node;
  const bool focusedNode = node == FControl.GetFocusedNode();
  const bool hasChildren = node->GetHasChildren();
  const int level = node->GetLevel();
  const bool inverse = FControl.GetOptionsEx().Contains(aoOptionsEx0);
  const bool fixedAreas = layout.LeftFixedBand >= 0 || layout.RightFixedBand >= 0;
  const int lastLine = FControl.GetMetrics().HeaderRows;
  for (const TdxTreeListColumnEntry& entry : layout.Columns) {
    const TRect cell = FControl.GetLayoutBuilder().CalcCellRect(layout, row, entry);
    if (cell.right <= cell.left || cell.bottom <= cell.top)
      continue;
    if (RectVisible(dc, &cell)) {
      const bool highlighted = FControl.GetPainter().IsCellHighlighted(row.Selected, focusedNode, entry.Column, false);
      TColor color, textColor, columnColor;
      HBRUSH brush, columnBrush;
      FControl.GetPainter().GetRowColors(node, highlighted, pass.Focused, false, hasChildren, level, entry.Column,
                                         color, textColor, brush);
      FControl.GetPainter().GetColumnColors(entry.Column, columnColor, columnBrush);
      const bool cellFocused =
          pass.Focused && focusedNode && (inverse || FControl.IsRowSelect() || entry.Column == pass.FocusedColumn);
      const bool multiLine = entry.LineCount > 1 || node->GetLineCountCache() > 1;
      // Cells of scrolled bands never paint over the fixed bands.
      const bool scrolled = fixedAreas && entry.Band != layout.LeftFixedBand && entry.Band != layout.RightFixedBand;
      TSaveDCGuard clip(dc);
      if (scrolled)
        IntersectClipRect(dc, layout.ScrolledLeft, layout.Rows.top, layout.ScrolledRight, layout.Rows.bottom);
      FControl.DrawCell(FControl.GetCanvas(), cell, pass.HeaderBitmap.get(), node, entry.Column, highlighted,
                        cellFocused, color, textColor, brush, multiLine, /*kind=*/0, entry.FirstOfAll, entry.LastOfAll,
                        columnColor, columnBrush);
    }
    if (entry.ClippedRect.right == entry.Rect.right)
      AddSegment(grid, cell.right - 1, cell.top, cell.right - 1, cell.bottom + (FControl.GetShowGrid() ? 1 : 0));
    const bool lastLineCell = entry.RowInBand + entry.LineCount >= lastLine;
    if (FControl.GetShowGrid() && (!lastLineCell || row.PreviewLineCount == 0 || FControl.GetShowPreviewGrid()))
      AddSegment(grid, cell.left, cell.bottom, cell.right, cell.bottom);
  }
}

void TdxTreeListRowPainter::DrawNodeFooters(const TdxTreeListRowEntry& row, std::vector<POINT>& grid) {
  if (row.FooterLineCount <= 0)
    return;
  TdxTreeListPaintPass& pass = FControl.GetPainter().GetPass();
  const TdxTreeListLayout& layout = pass.Layout;
  const TdxTreeListMetrics& m = FControl.GetMetrics();
  HDC dc = pass.DC;
  TdxTreeListNode* node = row.Node;
  const int indent = m.IndentWidth;
  const int levelLeft = LevelColumnsLeft();
  const int cellsRight = layout.CellsRight + 1;
  int top = row.Top + row.Height - row.FooterHeight;
  for (int line = 0; line < row.FooterLineCount; ++line, top += m.NodeFooterHeight) {
    const int level = FControl.GetWidths().GetNodeFooterLevel(node, line);
    const TRect strip{levelLeft + (level + 1) * indent, top, cellsRight, top + m.NodeFooterHeight};
    TColor color = FControl.GetFooterColor();
    HBRUSH brush =
        FControl.IsLevelColorAssigned() ? FControl.GetPainter().LevelBrush(level, &color) : pass.FooterBrush.Get();
    if (IsEmptyRect(strip))
      continue;
    FillRect(dc, &strip, brush);
    for (const TdxTreeListColumnEntry& entry : layout.Columns) {
      if (!FControl.IsFooterValueShown(entry.Column))
        continue;
      TRect cell{std::max<int>(entry.ClippedRect.left, strip.left), top + 1 + entry.RowInBand * m.FooterLineHeight,
                 entry.ClippedRect.right, top + 1 + (entry.RowInBand + entry.LineCount) * m.FooterLineHeight};
      InflateRect(&cell, -1, -1);
      if (IsEmptyRect(cell) || !RectVisible(dc, &cell))
        continue;
      DrawSunkenFrame(dc, cell, FControl.GetLookAndFeel());
      InflateRect(&cell, -1, -1);
      FControl.DrawTextCell(FControl.GetCanvas(), cell, brush, color, FControl.GetFooterTextColor(), false, node,
                            entry.Column, line, /*kind=*/1, pass.HeaderBitmap.get());
    }
    if (FControl.GetShowGrid() && FControl.GetShowPreviewGrid())
      AddSegment(grid, strip.left, strip.bottom - 1, strip.right, strip.bottom - 1);
  }
}

void TdxTreeListRowPainter::DrawRowFocus(const TdxTreeListRowEntry& row, int cellsBottom) {
  TdxTreeListPaintPass& pass = FControl.GetPainter().GetPass();
  if (row.Node != FControl.GetFocusedNode() || FControl.GetNavigator().GetNewItemRowActive())
    return;
  const TdxTreeListLayout& layout = pass.Layout;
  TRect rect{};
  if (FControl.IsRowSelect() || row.GroupRow) {
    const int g = FControl.GetLayoutBuilder().GroupLookPixel(row.Node);
    rect = TRect{layout.TreeLeft + std::min(row.IndentWidth, layout.TreeAreaWidth), row.Top + g, layout.CellsRight,
                 cellsBottom - FControl.GetMetrics().GridPixel};
  } else {
    const TdxTreeListColumnEntry* entry = layout.FindColumn(pass.FocusedColumn);
    if (!entry)
      return;
    rect = FControl.GetLayoutBuilder().CalcCellRect(layout, row, *entry);
    rect.right -= 1;
  }
  if (IsEmptyRect(rect))
    return;
  if (pass.Focused) {
    if (!FControl.GetOptions().Contains(aoHideFocusRect))
      DrawFocusFrame(pass.DC, rect);
    return;
  }
  if (!FControl.GetHideFocusRectUnfocused() && !FControl.GetPainter().HasDragFeedback())
    InvertFrame(pass.DC, rect);
}

// ---- Grid lines

void TdxTreeListRowPainter::AddTreeAreaGrid(const TdxTreeListRowEntry& row, std::vector<POINT>& grid) {
  if (!FControl.GetShowGrid())
    return;
  const TdxTreeListLayout& layout = FControl.GetPainter().GetPass().Layout;
  const TdxTreeListMetrics& m = FControl.GetMetrics();
  const TdxTreeListNode* node = row.Node;
  const int indent = m.IndentWidth;
  const int y = row.Top;
  const int rowBottom = y + row.Height;
  if (m.TreeLook) {
    const bool rootShown = FControl.GetLayoutBuilder().IsRootShown();
    const int level = node->GetLevel();
    const int levels = level + 1;
    const int left = LevelColumnsLeft();
    const int cellsEnd = layout.CellsRight + 1;
    for (int i = rootShown ? 0 : 1; i < levels; ++i) {
      const int x = left + (i + 1) * indent - 1;
      if (x < layout.Rows.left || x >= cellsEnd)
        continue;
      const int footers =
          row.FooterLineCount > 0 ? std::max(FControl.GetWidths().CountNodeFootersBelow(row.Node, i), 0) : 0;
      AddSegment(grid, x, y, x, rowBottom - footers * m.NodeFooterHeight);
    }
  }
  // The row's bottom line from its open extent to the cells' right edge, broken where
  // the fixed bands' separators run.
  const int lineY = rowBottom - 1;
  int from = std::max<int>(RowOpenExtent(row), layout.Rows.left);
  const int to = layout.CellsRight + 1;
  std::vector<std::pair<int, int>> gaps;
  if (!IsEmptyRect(layout.LeftFixedArea))
    gaps.emplace_back(layout.LeftFixedArea.right - FControl.GetFixedBandLineWidth(), layout.LeftFixedArea.right);
  if (!IsEmptyRect(layout.RightFixedArea))
    gaps.emplace_back(layout.RightFixedArea.left, layout.RightFixedArea.left + FControl.GetFixedBandLineWidth());
  for (const auto& [gapLeft, gapRight] : gaps) {
    if (gapLeft > from)
      AddSegment(grid, from, lineY, std::min(gapLeft, to), lineY);
    from = std::max(from, gapRight);
  }
  if (to > from)
    AddSegment(grid, from, lineY, to, lineY);
}

void TdxTreeListRowPainter::DrawGridSegments(const std::vector<POINT>& points) {
  if (points.empty())
    return;
  HDC dc = FControl.GetPainter().GetPass().DC;
  TPenHandle pen(
      CreatePen(PS_SOLID, 1, ColorToRGB(FControl.GetShowGrid() ? FControl.GetGridColor() : FControl.GetColor())));
  TSaveDCGuard state(dc);
  SelectObject(dc, pen.Get());
  const std::vector<DWORD> counts(points.size() / 2, 2);
  PolyPolyline(dc, points.data(), counts.data(), static_cast<DWORD>(counts.size()));
  SelectObject(dc, GetStockObject(BLACK_PEN));
}
