// What one paint pass of a tree list holds: the layout it paints, the brushes made from
// the colour settings, the column brush table, the level brush, the header bitmap and
// the clip state of the clipped painters. It lives on the stack of Paint; every handle
// it owns is freed when the pass ends, also when a painter raises. And the bracket of a
// node's painting that the painters share.
#pragma once

#include <memory>
#include <vector>

#include "classlib/Bitmap.h"
#include "classlib/Colors.h"
#include "classlib/GdiHandles.h"
#include "treelist/DxTreeList.h"
#include "treelist/DxTreeListLayout.h"

// A column's colour and, when it differs from the control's Color, its own brush.
struct TdxTreeListColumnBrush {
  int32_t Column = -1;
  TColor Color = clNone;
  TBrushHandle Brush;
};

struct TdxTreeListPaintPass {
  TdxTreeListLayout Layout;
  HDC DC = nullptr;
  // The control (or its editor) has the keyboard focus.
  bool Focused = false;
  // The column of the focused cell; -1 without columns.
  int32_t FocusedColumn = -1;
  std::unique_ptr<TBitmap> HeaderBitmap = std::make_unique<TBitmap>();

  TBrushHandle BandBrush;
  TBrushHandle HeaderBrush;
  TBrushHandle GroupBrush;
  TBrushHandle BackgroundBrush;
  TBrushHandle PanelLineBrush;
  TColor PanelLineColor = clBtnShadow;
  TBrushHandle HighlightBrush;
  TBrushHandle TreeLineBrush;
  TBrushHandle InactiveSelectionBrush;
  TBrushHandle FooterBrush;
  TBrushHandle FixedLineBrush;
  // The brush of the last level colour that differed from GroupNodeColor.
  TBrushHandle LevelBrush;
  TColor LevelColor = clNone;

  // One entry per column entry of the layout, found by its column (ColumnIndex maps a
  // column to its entry, -1 when the column has none).
  std::vector<TdxTreeListColumnBrush> ColumnBrushes;
  std::vector<int> ColumnIndex;

  // The clip region SetClip saved, whether there was one, and whether it is set.
  TRegionHandle SavedClip;
  bool HadClip = false;
  bool ClipSet = false;

  const TdxTreeListColumnBrush* FindColumnBrush(int32_t column) const {
    if (column < 0 || column >= static_cast<int32_t>(ColumnIndex.size()) || ColumnIndex[column] < 0)
      return nullptr;
    return &ColumnBrushes[ColumnIndex[column]];
  }
};

// Runs `paint` between the control's BeginNodePaint and EndNodePaint of `node` (none: no
// bracket); the end runs also when `paint` raises.
template <class F>
void WithNodePaint(TCustomdxTreeList* tree, TdxTreeListNode* node, F&& paint) {
  if (!node) {
    paint();
    return;
  }
  tree->BeginNodePaint(node);
  try {
    paint();
  } catch (...) {
    tree->EndNodePaint(node);
    throw;
  }
  tree->EndNodePaint(node);
}
