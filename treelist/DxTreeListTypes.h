// The small types of the tree-list grid: its failure, the two option sets, the
// interaction states, the hit codes and the records of hit testing, hot tracking and
// header dropping, and the event signatures of the control.
#pragma once

#include <cstdint>
#include <string>

#include "classlib/Controls.h"
#include "classlib/Events.h"
#include "classlib/Exceptions.h"
#include "classlib/Geometry.h"
#include "classlib/Set.h"

class TdxTreeListNode;
class TCustomdxTreeList;

// Raised for a wrong use of the tree list or its nodes ("Invalid Owner TdxTreeListNode").
KIVO_EXCEPTION(EInvaliddxTreeListOperation, Exception);

// Members of Options, by bit. Bits whose effect lies only in a query of their own keep
// that query's name.
enum TdxTreeListOption : uint8_t {
  aoColumnSizing = 0,     // column header edges size columns
  aoColumnMoving = 1,     // column headers can be dragged
  aoEditing = 2,          // cells can be edited
  aoEditOnKey = 3,        // a key starts the editor (the container's edit-on-key query)
  aoTabThrough = 4,       // Tab leaves the last column for the next row
  aoRowSelect = 5,        // the whole row is one cell
  aoMultiSelect = 6,      // several nodes can be selected
  aoColumnEditing = 7,    // a column may be edited (with the can-edit event)
  aoPreview = 8,          // preview text rows
  aoOptions9 = 9,
  aoAutoWidth = 10,       // sizing a band redistributes the other bands
  aoImmediateEditor = 11, // a press on a cell shows the editor at once
  aoHideByDrag = 12,      // a header dragged out of the header panel is hidden
  aoHideFocusRect = 13,   // no focus frame while the control has the focus
  aoOptions14 = 14,
  aoOptions15 = 15,
  aoStoreToRegistry = 16, // the layout is kept in the registry
  aoStoreToIniFile = 17,  // the layout is kept in an INI file
};
using TdxTreeListOptions = TSet<TdxTreeListOption>;

// Members of OptionsEx, by bit.
enum TdxTreeListOptionEx : uint8_t {
  aoOptionsEx0 = 0,           // one option, two effects: rows are 2 pixels taller, and a
                              // selected row is highlighted except its focused cell
  aoUseBitmap = 1,            // previews are drawn through the off-screen bitmap
  aoBandHeaderWidth = 2,      // the band follows its columns' widths
  aoAutoCalcPreviewLines = 3, // preview line count from the text
  aoBandSizing = 4,
  aoBandMoving = 5,
  aoWrapRowNavigation = 6,    // Left/Right wrap to the previous/next row
  aoBandRowNavigation = 7,    // Up/Down move between band rows first
  aoColumnsSizeBand = 8,      // columns size their band when bands are hidden
  aoEnterNavigation = 9,      // Enter moves to the next cell
  aoTypingStartsEditor = 10,
  aoSizingUnbounded = 11,     // bands and columns may grow past the client width
  aoDragScroll = 12,
  aoDragExpand = 13,
  aoDragExpandToggle = 14,    // drag hovering toggles instead of expanding
  aoRowAutoHeight = 15,
  aoSortHourGlass = 16,
  aoBandIndicatorButton = 17,
  aoBandPanelSizing = 18,
  aoHeaderIndicatorButton = 19,
  aoHeaderPanelSizing = 20,
  aoRowSizing = 21,
  aoMultiSort = 22,
  aoAutoSortRefresh = 23,
  aoOptionsEx24 = 24,
  aoAutoHeaderRows = 25,
  aoOptionsEx26 = 26,
  aoTypedSort = 27,
  aoDragSelectRows = 28,
  aoIncrementalSearch = 29,
  aoHotTrack = 30,
  aoCopyOnCtrlC = 31,
};
using TdxTreeListOptionsEx = TSet<TdxTreeListOptionEx>;

// The defaults of the two sets: bits 0, 1, 2, 4, 5 and bits 1, 2, 3, 4, 5, 12, 13.
constexpr uint32_t dxDefaultTreeListOptions = 55;
constexpr uint32_t dxDefaultTreeListOptionsEx = 12350;

// The interaction state byte of the control.
enum TdxTreeListState : uint8_t {
  stNone = 0,
  stColumnSizing = 1,
  stEditing = 2,
  stColumnDragging = 3,
  stColumnPressed = 4,
  stNodeDragging = 5,
  stRowSelecting = 6,
  stHeaderIndicatorPressed = 7,
  stBandSizing = 8,
  stBandDragging = 9,
  stBandPressed = 10,
  stBandIndicatorPressed = 11,
  stBandPanelSizing = 12,
  stHeaderPanelSizing = 13,
  stRowSizing = 14,
  stColumnButtonPressed = 15,
  stFooterButtonPressed = 16,
};

// What lies under a point of the control.
enum TdxTreeListHitTest : uint8_t {
  htNowhere = 0,
  htColumnHeader = 1,
  htColumnEdge = 2,
  htButton = 3,
  htNodeImage = 4,
  htStateImage = 5,
  htIndent = 6,
  htCell = 7,
  htRowRight = 8,
  htOutside = 9,
  htTopPanel = 10,
  htBandIndicator = 11,
  htBandHeader = 12,
  htBandEdge = 13,
  htHeaderIndicator = 14,
  htIndicator = 15,
  htNewItemRow = 16,
  htNodeFooter = 17,
  htFooter = 18,
  htBandPanelEdge = 19,
  htHeaderPanelEdge = 20,
  htRowEdge = 21,
  htPreview = 22,
  htFooter2 = 23,
};

// The answer of hit testing at Pos; every field keeps its initial value when nothing of
// its kind lies under the point.
struct TdxTreeListHitInfo {
  TPoint Pos{0, 0};
  int32_t Band = -1;
  int32_t Column = -1;
  TdxTreeListNode* Node = nullptr;
  int32_t Row = -1;
  int32_t SubIndex = -1;
  TdxTreeListHitTest HitTest = htOutside;
};

// The element under the cursor for hot tracking: a cell (node and column) or a column
// header (column and part: 0 none, 1 header, 2 header button, 3 pressed button).
struct TdxTreeListHotInfo {
  TdxTreeListNode* Node = nullptr;
  int32_t Column = -1;
  uint8_t Part = 0;
};

// Looks of every button-like element (LookAndFeel).
enum TdxLookAndFeel : uint8_t {
  lfStandard = 0,  // raised 3D edges
  lfFlat = 1,      // flat single edges
  lfFramed = 2,    // one-pixel frames in the button shadow colour
};

// Sort state of a column.
enum TdxTreeListColumnSort : uint8_t { csNone = 0, csDown = 1, csUp = 2 };

// Drop place of a dragged header, all -1 before it is computed. A band drop uses Band
// alone: a band position, -1 outside the header (hide), -2 no valid place.
struct TdxTreeListDropPlace {
  int32_t Band = -1;
  int32_t Row = -1;
  int32_t Position = -1;
  int32_t Kind = -1;
};

// Events (Sender is the control).
using TdxTreeListNodeEvent = TEvent<TObject* /*Sender*/, TdxTreeListNode* /*Node*/>;
using TdxTreeListCanNodeEvent = TEvent<TObject* /*Sender*/, TdxTreeListNode* /*Node*/, bool& /*Allow*/>;
using TdxTreeListChangeNodeEvent =
    TEvent<TObject* /*Sender*/, TdxTreeListNode* /*OldNode*/, TdxTreeListNode* /*NewNode*/>;
using TdxTreeListChangeColumnEvent = TEvent<TObject* /*Sender*/, int32_t /*OldColumn*/, int32_t /*NewColumn*/>;
using TdxTreeListEditValidateEvent = TEvent<TObject* /*Sender*/, std::string& /*ErrorText*/, bool& /*Accept*/>;
using TdxTreeListHotCursorEvent =
    TEvent<TObject* /*Sender*/, const TdxTreeListHotInfo& /*HotInfo*/, TCursor& /*Cursor*/>;
using TdxTreeListCompareEvent =
    TEvent<TObject* /*Sender*/, TdxTreeListNode* /*Node1*/, TdxTreeListNode* /*Node2*/, int& /*Compare*/>;
