// TdxTreeListMouse: the mouse on a tree list. It owns the pressed bands, columns, buttons
// and indicators, the footer button's hot state, the press position and hit, the mouse
// position, the non-client hit point, the deferred selection, the new-item row press, the
// previous focused node, the hot element, expand-on-double-click and the header click's sort
// modifiers; with them presses, clicks, selection by the mouse and hot tracking. It owns the
// sizing and the middle-button scrolling.
// A part of TCustomdxTreeList, made with it and held by it; it keeps its control and reaches
// the control's state through the control's operations. Whatever a press, move or release
// starts goes through the control's virtual operations, so a descendant decides what it means.
#pragma once

#include <cstdint>

#include "classlib/Object.h"
#include "treelist/DxTreeListMiddleScroll.h"
#include "treelist/DxTreeListSizing.h"
#include "treelist/DxTreeListTypes.h"

class TCustomdxTreeList;
class TdxTreeListNode;

class TdxTreeListMouse : public TObject {
  KIVO_CLASS(TdxTreeListMouse, TObject)
 public:
  explicit TdxTreeListMouse(TCustomdxTreeList& control)
      : FControl(control), FSizing(control), FMiddleScroll(control) {}
  TdxTreeListMouse(const TdxTreeListMouse&) = delete;
  TdxTreeListMouse& operator=(const TdxTreeListMouse&) = delete;

  TdxTreeListSizing& GetSizing() { return FSizing; }
  TdxTreeListMiddleScroll& GetMiddleScroll() { return FMiddleScroll; }

  // The control's mouse operations. MouseDown answers false when the press ends here (an
  // editor that owns the mouse, the focus refused, or the control destroyed by the
  // middle-button loop): the control's inherited step must not run then. MouseUp answers
  // whether the release is the control's click.
  bool MouseDown(TMouseButton button, TShiftState shift, int x, int y);
  void MouseMove(TShiftState shift, int x, int y);
  bool MouseUp(TMouseButton button, TShiftState shift, int x, int y);
  // The base bodies of the control's virtual operations of the same names.
  void CancelMode();
  void UpdateHotTrack(const TdxTreeListHitInfo& hitInfo);
  uint8_t GetColumnHeaderState(int32_t column);
  bool GetHeaderHotPart(int x, int y, uint8_t& part, int32_t column);
  bool IsHotCell(TdxTreeListNode* node, int32_t column);
  // WM_SETCURSOR: the sizing cursors over edges and the header drag's cursor; false leaves
  // the message to the control's inherited dispatch.
  bool WMSetCursor(TMessage& message);

  // A click on a column header: ColumnClick runs with the sort modifiers of `shift` set
  // for its duration: Shift adds the column to the sort (only with multi-sort), Ctrl
  // takes it out of the sort.
  void ClickColumnHeader(int32_t column, TShiftState shift);
  bool GetSortAddFlag() const { return FSortAddFlag; }
  bool GetSortClearFlag() const { return FSortClearFlag; }

  // The pressed header elements (visible band indices), for painting and header drags; a
  // header drag's end takes its band's or column's press back.
  int GetPressedBand() const { return FPressedBand; }
  int GetPressedColumn() const { return FPressedColumn; }
  bool IsBandPressed(int band) const { return FBandPressed && FPressedBand == band; }
  bool IsColumnPressed(int32_t column) const { return FColumnPressed && FPressedColumn == column; }
  bool IsBandIndicatorPressed() const { return FBandIndicatorPressed; }
  bool IsHeaderIndicatorPressed() const { return FHeaderIndicatorPressed; }
  bool IsFooterButtonPressed() const { return FFooterButtonPressed; }
  bool IsFooterButtonHot() const { return FFooterButtonHot; }
  void ClearPressedBand() {
    FPressedBand = -1;
    FBandPressed = false;
  }
  void ClearPressedColumn() {
    FPressedColumn = -1;
    FColumnPressed = false;
  }
  // An update begun during row selection leaves the release a click on the cell.
  void SetNewItemRowPressed(bool value) { FNewItemRowPressed = value; }

  // The last press's position and hit, the last move's position, and the screen point of
  // the last non-client hit test (the cursor's point for WM_SETCURSOR).
  TPoint GetDownPos() const { return FDownPos; }
  const TdxTreeListHitInfo& GetDownHitInfo() const { return FDownHitInfo; }
  void SetDownHitInfo(const TdxTreeListHitInfo& value) { FDownHitInfo = value; }
  TPoint GetMousePos() const { return FMousePos; }
  void SetNcHitPoint(const TPoint& value) { FNcHitPoint = value; }
  // The focused node before the last press on a node.
  TdxTreeListNode* GetPrevFocusedNode() const { return FPrevFocusedNode; }
  void SetPrevFocusedNode(TdxTreeListNode* value) { FPrevFocusedNode = value; }
  // The hot cell or column header; ClearHot forgets it without repainting.
  const TdxTreeListHotInfo& GetHotInfo() const { return FHotInfo; }
  int GetHotColumn() const { return FHotInfo.Column; }
  void ClearHot() { FHotInfo = TdxTreeListHotInfo{}; }
  bool GetExpandOnDblClick() const { return FExpandOnDblClick; }
  void SetExpandOnDblClick(bool value) { FExpandOnDblClick = value; }

  // The node hooks: `node` is going (the references to it are dropped), or every node is.
  void NodeGone(TdxTreeListNode* node);
  void ForgetNodes();

 private:
  // The pointer moved past the drag threshold from the press.
  bool PastThreshold(int x, int y) const;
  // The steps of a press: on a header element (sizing edges, headers, indicators) and on
  // a node's row.
  void PressHeaderElement(const TdxTreeListHitInfo& hit, bool dblClick, int x, int y);
  void PressNode(TMouseButton button, TShiftState shift, const TdxTreeListHitInfo& hit, int x, int y);
  // Row selection by dragging: the rows follow the pointer, past the rows' edge with the
  // selection scroll; in the automatic drag mode a node drag starts instead.
  void SelectRowsByMouse(int x, int y);
  // What a move drives in the control's state (sizing, header drags, row selection), and
  // what a release completes (sizing, clicks of the pressed elements, header drops).
  void MoveInState(int x, int y);
  void ReleaseInState(TdxTreeListState state, const TdxTreeListHitInfo& hit, TShiftState shift, int x, int y);
  // A pressed element shows pressed only while the pointer is on it.
  void UpdatePressedFlags(const TdxTreeListHitInfo& hit);

  TCustomdxTreeList& FControl;
  TdxTreeListSizing FSizing;
  TdxTreeListMiddleScroll FMiddleScroll;
  int FPressedBand = -1;
  bool FBandPressed = false;
  int FPressedColumn = -1;
  bool FColumnPressed = false;
  int FPressedColumnButton = -1;
  bool FColumnButtonPressed = false;
  bool FBandIndicatorPressed = false;
  bool FHeaderIndicatorPressed = false;
  bool FFooterButtonPressed = false;
  bool FFooterButtonHot = false;
  TPoint FDownPos{0, 0};
  TdxTreeListHitInfo FDownHitInfo;
  TPoint FMousePos{-1000, -1000};
  TPoint FNcHitPoint{0, 0};
  bool FKeepSelection = false;
  bool FDeferredSelect = false;
  bool FWasFocusedAtPress = false;
  bool FNewItemRowPressed = false;
  TdxTreeListNode* FPrevFocusedNode = nullptr;
  TdxTreeListHotInfo FHotInfo;
  bool FExpandOnDblClick = true;
  bool FSortAddFlag = false;
  bool FSortClearFlag = false;
};
