// TdxTreeListNavigator: the focus and the scroll position of a tree list. It owns the top
// node, the focused node and column (and the focused absolute column), the new-item row's
// focus, LeftCoord, the visible and shown row counts, the last scroll information of both bars
// and the horizontal line step; with them the focus moves, making nodes, bands and columns
// visible, scrolling and the scroll bars.
// A part of TCustomdxTreeList, made with it and held by it; it keeps its control and reaches
// the control's state through the control's operations. The node references it keeps are
// forgotten through NodeGone and ForgetNodes before their nodes are freed.
#pragma once

#include <cstdint>

#include "classlib/Geometry.h"
#include "classlib/Object.h"

class TCustomdxTreeList;
class TdxTreeListNode;

class TdxTreeListNavigator : public TObject {
  KIVO_CLASS(TdxTreeListNavigator, TObject)
 public:
  explicit TdxTreeListNavigator(TCustomdxTreeList& control) : FControl(control) {}
  TdxTreeListNavigator(const TdxTreeListNavigator&) = delete;
  TdxTreeListNavigator& operator=(const TdxTreeListNavigator&) = delete;

  // ==== Node references
  TdxTreeListNode* GetTopNode() const { return FTopNode; }
  // The top node becomes `node` without the change event (the control's SetTopNode fires
  // it).
  void SetTopNodeQuiet(TdxTreeListNode* node) { FTopNode = node; }
  TdxTreeListNode* GetFocusedNode() const { return FFocusedNode; }
  // The focused column as an index into the shown columns: 0 with row selection, when
  // negative or when not below the shown column count.
  int GetFocusedColumn();
  // The focused column as it is stored (GetFocusedColumn clamps it).
  int GetStoredFocusedColumn() const { return FFocusedColumn; }
  // The focused absolute column is worked out again after a layout change.
  void ForgetAbsoluteColumn() { FFocusedAbsoluteColumn = -1; }
  // The new-item row has the focus.
  bool GetNewItemRowActive() const { return FNewItemRowActive; }
  void SetNewItemRowActive(bool value) { FNewItemRowActive = value; }
  // `node` is going: a top or focused node that is `node` becomes `replacement`; true
  // when `node` was the top node.
  bool NodeGone(TdxTreeListNode* node, TdxTreeListNode* replacement);
  // Every node is gone: the focused node is forgotten (the control's SetTopNode forgets
  // the top node).
  void ForgetNodes() { FFocusedNode = nullptr; }

  // ==== Rows on screen
  // Row of the focused node; 0 without one.
  int GetFocusedRowIndex() const;
  // Row of the top node; -1 without one.
  int GetTopIndex() const;
  // The node's row rectangle on screen, (-1, -1, -1, -1) when it is not on screen.
  void GetNodeRowRect(TdxTreeListNode* node, TRect& rect);
  // As GetNodeRowRect, with the bottom at the bottom of the rows area.
  void GetNodeRowRectToBottom(TdxTreeListNode* node, TRect& rect);
  // The rows shown whole, and the rows shown at all (CalcVisibleRowCount counts them).
  int GetVisibleRowCount() const { return FVisibleRowCount; }
  int GetShownRowCount() const { return FShownRowCount; }
  // Scrolls the rows so that `index` is the top row.
  void SetTopIndex(int index);
  // Scrolls (and expands ancestors) so that `node` is on screen.
  void MakeNodeVisible(TdxTreeListNode* node);
  // Moves the top node up while the rows below it leave part of the rows area empty;
  // true when it moved.
  bool KeepLastPageFilled();

  // ==== Focus moves (the first four: the bodies of the control's virtual operations of the
  // same names)
  // The node one step from `node`: 0 the first top-level node, 1 the previous row, 2
  // the next row (with `allNodes` the next node in tree order, shown or not), 3 the
  // last row (with `allNodes` the deepest last node of the tree); none otherwise.
  TdxTreeListNode* GetNodeByDirection(TdxTreeListNode* node, int direction, bool allNodes);
  // Focuses GetNodeByDirection of the focused node; a single selected focused node
  // takes the selection along.
  void FocusNodeByDirection(int direction, bool allNodes);
  bool IsFirstNodeFocused();
  bool IsLastNodeFocused();
  // The node of the row `delta` rows from the focused one (clamped) becomes focused.
  void MoveFocusedRow(int delta);

  // ==== Horizontal scrolling
  int GetLeftCoord() const { return FLeftCoord; }
  // Ends editing, keeps the value between 0 and the total less the visible scroll width
  // and scrolls the window's contents.
  void SetLeftCoord(int value);
  // LeftCoord back into its range, so that the right edge stays filled; true when it
  // moved.
  bool ClampLeftCoord();
  // Scroll LeftCoord so that the band (the column) lies in the scrolled area; fixed
  // bands and indices out of range do nothing.
  void MakeBandVisible(int band);
  void MakeColumnVisible(int column);
  // Moves the scrolled area by `delta` pixels, or the rows area with the indicator.
  void ScrollColumns(int delta);
  void ScrollRows(int delta);
  // Paints the invalid regions of the window at once.
  void UpdateNow();
  int GetHorzLineStep() const { return FHorzLineStep; }

  // ==== Scroll bars
  // The scroll-bar messages' steps: line, page, thumb position, ends.
  void HScroll(int code);
  void VScroll(int code);

  // ==== The bodies of the control's operations of the same names
  void NodeAdded(TdxTreeListNode* node);
  void SetFocusedNode(TdxTreeListNode* node, int32_t column, bool makeVisible);
  void SetFocusedNodeByIndex(int index);
  void CalcVisibleRowCount();
  void GetScrollInfo(int& min, int& max, int& page, int& pos);
  void UpdateScrollBars();
  // WM_KILLFOCUS (`gained` false) and WM_SETFOCUS of the control's window.
  void WMFocusChanged(TMessage& message, bool gained);

 private:
  // The thumb position of a scroll message `code` (its high word), or the bar's tracking
  // position when the range does not fit 16 bits.
  int TrackPosition(int bar, int code, int range);
  // One scroll bar from its range, page and position, when any of them changed.
  void UpdateScrollBar(int bar, SCROLLINFO& last, int max, int page, int pos);
  void RepaintFocusState();
  // The row height of `node` on screen.
  int RowHeightOf(TdxTreeListNode* node);
  // Scrolls horizontally the least that shows the scroll extent [left, right), or its
  // left part when it is wider than the visible scroll width.
  void ScrollIntoView(int left, int right);

  TCustomdxTreeList& FControl;
  TdxTreeListNode* FTopNode = nullptr;
  TdxTreeListNode* FFocusedNode = nullptr;
  int FFocusedColumn = 0;
  int FFocusedAbsoluteColumn = -1;
  bool FNewItemRowActive = false;
  int FLeftCoord = 0;
  int FVisibleRowCount = 1;
  int FShownRowCount = 1;
  SCROLLINFO FLastVertScroll{};
  SCROLLINFO FLastHorzScroll{};
  int FHorzLineStep = 8;
};
