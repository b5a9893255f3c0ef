// The pixel metrics of a tree list and the layout record computed from them.
//
// The metrics are derived from the control's fonts, image lists and display flags by
// its metrics pass and kept by its layout builder. The layout record is computed afresh
// (TCustomdxTreeList::CalcLayout) by whoever paints, hit-tests or sizes: the rectangles
// of every area, one entry per shown band, header cell and row. Nothing of it outlives
// the call that uses it. An empty rectangle is the zero rectangle.
//
// Band indices in the record are visible band indices; column indices are the
// control's column indices.
#pragma once

#include <cstdint>
#include <vector>

#include "classlib/Geometry.h"

class TdxTreeListNode;

// The metrics of a tree list. The values before the first metrics pass are those a
// freshly made control reports.
struct TdxTreeListMetrics {
  int32_t HeaderRows = 1;        // header rows per band (the header panel's rows)
  int32_t HeaderTextLines = 1;   // text lines per header row
  int32_t BandRows = 1;          // rows of the band row
  int32_t FontTextHeight = 0;    // text height of Font
  int32_t BandRowHeight = 0;
  int32_t HeaderLineHeight = 18;
  int32_t HeaderPanelHeight = 18;
  int32_t TopPanelHeight = 0;
  int32_t IndicatorWidth = 0;
  int32_t FooterLineHeight = 0;
  int32_t FooterHeight = 0;
  int32_t NodeFooterHeight = 0;  // one footer line below a node
  int32_t StatusPanelHeight = 0;
  int32_t ImageWidth = 0;
  int32_t ImageHeight = 0;
  int32_t StateImageWidth = 0;
  int32_t StateImageHeight = 0;
  int32_t ButtonSize = 16;
  int32_t IndentWidth = 16;
  int32_t NodeIndentWidth = 0;   // extra width of the first band for the tree's indent area
  int32_t MinRowHeight = 0;
  int32_t RowHeight = 18;
  int32_t NewItemStripGap = 6;
  int32_t NewItemStripHeight = 0;
  int32_t PreviewLineHeight = 0;
  int32_t GridPixel = 0;         // 1 when both ShowGrid and ShowPreviewGrid are set
  bool Flat = false;             // LookAndFeel is not the standard look
  bool TreeLook = true;          // the tree look, else the grid look
};

// A band shown in the band row (and above its columns).
struct TdxTreeListBandEntry {
  int32_t Band = -1;
  TRect Rect{};         // the whole band, also where it is scrolled out of view
  TRect ClippedRect{};  // the part of it that is shown
};

// A header cell: a column in its band row.
struct TdxTreeListColumnEntry {
  int32_t Column = -1;
  int32_t Band = -1;
  int32_t RowInBand = 0;
  int32_t Position = 0;     // position in its band row
  int32_t LineCount = 1;    // header lines it spans
  TRect Rect{};             // the header cell, whole
  TRect ClippedRect{};      // the shown part of the header cell
  TRect FillerRect{};       // below a header that ends above the panel's bottom (clipped)
  TRect FooterRect{};       // its cell in the footer (clipped)
  bool FirstInRow = false;
  bool LastInRow = false;
  bool FirstOfAll = false;  // first in its band row and in the first band of the layout
  bool LastOfAll = false;   // last in its band row and in the last band of the layout
  uint8_t Kind = 0;         // the column's header state (drop-down mark)
};

// The header panel below a band that has no columns.
struct TdxTreeListEmptyHeader {
  int32_t Band = -1;
  TRect Rect{};             // clipped like the band
  bool CutRight = false;    // the band is cut at its right
};

// A shown row.
struct TdxTreeListRowEntry {
  TdxTreeListNode* Node = nullptr;
  bool GroupRow = false;       // the node is shown as one line across the row
  bool Selected = false;
  int32_t Top = 0;
  int32_t Height = 0;
  int32_t FooterLineCount = 0;
  int32_t FooterHeight = 0;    // FooterLineCount x the node footer height
  int32_t IndicatorImage = 0;  // 0 none, else 1 + the indicator image shown
  int32_t PreviewLineCount = 0;
  int32_t FooterValue = -1;    // the node's footer count; -1 while node footers are off
  int32_t IndentWidth = 0;     // the row's tree area width (written by the painter)
};

// The layout record.
struct TdxTreeListLayout {
  TRect Client{};
  TRect TopPanel{};
  TRect BandRow{};
  TRect BandIndicator{};     // the band row's corner above the indicator column
  TRect HeaderPanel{};
  TRect HeaderIndicator{};   // the header panel's corner above the indicator column
  TRect NewItemRow{};
  TRect Rows{};
  TRect Indicator{};         // ends with the last row
  TRect EmptyRows{};         // below the last row
  TRect EmptyRight{};        // right of bands narrower than the band row
  TRect Footer{};
  TRect StatusPanel{};
  TRect LeftFixedArea{};
  TRect RightFixedArea{};
  int32_t LeftFixedBand = -1;
  int32_t RightFixedBand = -1;
  int32_t LastScrolledBand = -1;
  int32_t ScrolledLeft = 0;  // the scrolled area lies between these two x coordinates
  int32_t ScrolledRight = 0;
  int32_t GridLineWidth = 0; // 0 without ShowGrid
  int32_t CellsRight = 0;    // the last x of the cells
  int32_t LastRowBottom = -1;  // the last y of the last row; -1 when the rows fill the area
  int32_t TreeAreaWidth = 0; // the first band with the node indent width, cut at the fixed areas
  int32_t TreeLeft = 0;      // where the tree area starts (scrolled with the first band)
  std::vector<TdxTreeListBandEntry> Bands;
  std::vector<TdxTreeListColumnEntry> Columns;
  std::vector<TdxTreeListEmptyHeader> EmptyHeaders;
  std::vector<TdxTreeListRowEntry> RowEntries;

  // The entry of a column (none when the column has no header cell in the layout).
  const TdxTreeListColumnEntry* FindColumn(int32_t column) const;
  // The entry of a band, none when it is not shown.
  const TdxTreeListBandEntry* FindBand(int32_t band) const;
  // The row entry of a node, none when it is not shown.
  const TdxTreeListRowEntry* FindRow(const TdxTreeListNode* node) const;
};

// The zero rectangle for a rectangle without area, else the rectangle.
inline TRect NonEmptyRect(const TRect& r) {
  return r.right > r.left && r.bottom > r.top ? r : TRect{};
}
inline bool IsEmptyRect(const TRect& r) { return r.right <= r.left || r.bottom <= r.top; }
