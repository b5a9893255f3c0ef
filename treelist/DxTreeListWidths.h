// TdxTreeListWidths: the widths and heights of a tree list's bands, columns and rows. Band and
// column widths, the scroll extents, node indents, the preview width, row heights, node
// footers, row sizing limits and the shown column count are computed here from the control's
// state, afresh on every call. Nothing here fails: a band out of range is shown 0 wide.
// A view: it holds only its control, keeps no state and is made where it is used.
#pragma once

#include <cstdint>
#include <vector>

#include "classlib/Geometry.h"

class TCustomdxTreeList;
class TdxTreeListNode;

// The minimum, requested and display widths of the visible bands and the total width
// of all bands (with the first band's node indent width), computed together.
struct TdxTreeListBandWidths {
  std::vector<int> Min;
  std::vector<int> Requested;
  std::vector<int> Display;
  int Total = 0;
  // The display width of a band; 0 for a band out of range.
  int DisplayOf(int band) const {
    return band >= 0 && band < static_cast<int>(Display.size()) ? Display[static_cast<size_t>(band)] : 0;
  }
};

class TdxTreeListWidths {
 public:
  explicit TdxTreeListWidths(TCustomdxTreeList& control) : FControl(control) {}

  // ==== Band and column widths (visible band indices)
  // A band's minimum width: its own minimum (its width when it cannot be sized), at
  // least the minimum widths of its widest band row.
  int GetBandMinWidth(int band);
  // The width a band asks for: its widest band row of columns while the band follows
  // its columns, else its own width; at least its minimum.
  int GetBandRequestedWidth(int band);
  // The width of all bands with the node indent width: with auto width the grid area's
  // width, unless the minimum widths do not fit.
  int GetBandsTotalWidth();
  // The width a band is shown with (without the node indent width of the first band).
  int GetBandDisplayWidth(int band);
  // The widths of all visible bands at once, for callers that need more than one.
  void CalcBandWidths(TdxTreeListBandWidths& widths);
  // Sums of the widths and of the minimum widths of the columns of a band row.
  int GetRowColumnsWidth(int band, int row);
  int GetRowColumnsMinWidth(int band, int row);
  // The header lines of the column at `position` of a band row.
  int GetColumnLineCount(int band, int row, int position);
  // The width the column is shown with in its band row (the control's
  // GetColumnDisplayWidth).
  int32_t GetColumnDisplayWidth(int32_t column);
  // The client area without the indicator column and the status panel.
  TRect GetGridAreaRect();
  // The area that moves with LeftCoord, its width, and the width of everything in it.
  TRect GetScrolledAreaRect();
  int GetVisibleScrollWidth();
  int GetTotalScrollWidth();
  // The left offset of a band inside the scrolled content; 0 for fixed bands.
  int GetBandScrollLeft(int band);
  // The number of columns in visible bands.
  int GetShownColumnCount();
  // The width of a node's tree area: the level columns (`levelWidth`), and with its
  // state image and image (`fullWidth`).
  void GetNodeIndent(TdxTreeListNode* node, int& levelWidth, int& fullWidth);
  // The width the preview text of a node is broken at.
  int GetPreviewWidth(TdxTreeListNode* node);
  // No band or column is ever locked.
  bool IsBandLocked(int band) { return false; }
  bool IsColumnLocked(int column) { return false; }

  // ==== Row heights
  // The pixel height of a node's row for line height `lineHeight` (normally RowHeight),
  // from and into the node's cache unless `noCache`. `node` may be none.
  int GetNodeRowHeight(TdxTreeListNode* node, int lineHeight, bool noCache);
  // Rows grow with their text: no previews, one header row and the auto-height option.
  bool IsRowAutoHeight();
  // The lines a node needs for its longest cell; `height` may come back raised (the
  // control's CalcRowLineCount).
  int32_t CalcRowLineCount(TdxTreeListNode* node, int32_t& height);
  // The largest cell text width of the node over the columns of visible bands, and its
  // preview lines (the control's GetNodeMaxTextWidth and GetPreviewLineCount).
  int32_t GetNodeMaxTextWidth(TdxTreeListNode* node);
  int32_t GetPreviewLineCount(TdxTreeListNode* node);
  // Footer lines below a node (none while node footers are off), the level of its
  // footer line `index` (-1 when none), and how many of them belong to levels below
  // `level` (-1 for a node that closes no group).
  int CalcNodeFooterCount(TdxTreeListNode* node);
  int GetNodeFooterLevel(TdxTreeListNode* node, int index);
  int CountNodeFootersBelow(TdxTreeListNode* node, int level);
  // The range the row sizing line of `node` moves in; both `defaultValue` without node.
  void GetRowSizingLimits(TdxTreeListNode* node, int defaultValue, int& minValue, int& maxValue);

 private:
  // GetBandRequestedWidth with the band's minimum width already known.
  int RequestedWidth(int band, int minWidth);

  TCustomdxTreeList& FControl;
};
