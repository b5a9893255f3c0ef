// Mouse interaction of the tree list: a left press decides from the hit code which
// interaction starts, moves feed it and the release completes it; CancelMode abandons
// it. Every completion is a virtual operation, so the column-bound control supplies
// what a click, a width change or a drop means.
//
// Decisions taken here:
// - The selection scroll (rows selected by dragging past the rows' edge) steps while the
//   selection runs and stops at the release, at CancelMode and with the window.
// - A press in the automatic drag mode is handled as a press (the drag starts only past
//   the move threshold); the header and node drags themselves are DxTreeListDrag.cpp's.
// - A header drag drops where its release is.
// - A double click toggles a node only on its button or on its parts; in the node's
//   indent or right of its last column it is only the control's double click.
#include "treelist/DxTreeListMouse.h"

#include <algorithm>
#include <cstdlib>

#include "classlib/AliveGuard.h"
#include "classlib/DragDrop.h"
#include "classlib/Forms.h"
#include "treelist/DxTreeList.h"

namespace {

constexpr int kMoveThreshold = 5;

bool IsNodePart(TdxTreeListHitTest code) {
  switch (code) {
    case htNodeImage:
    case htStateImage:
    case htCell:
    case htNewItemRow:
    case htNodeFooter:
    case htPreview:
      return true;
    default:
      return false;
  }
}

}  // namespace

// ---- The control's mouse operations: the tree list's own work is the mouse part's; the
// inherited steps and the release's click stay with the control.

void TCustomdxTreeList::SetState(TdxTreeListState value) {
  const TdxTreeListState old = FState;
  FState = value;
  if (old == stRowSelecting && value != stRowSelecting)
    GetTimers().StopVertScroll();
}

void TCustomdxTreeList::CancelMode() {
  FMouse.CancelMode();
}

void TCustomdxTreeList::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
  bool goOn = false;
  if (Survives(this, [&] { goOn = FMouse.MouseDown(button, shift, x, y); }) && goOn)
    inherited::MouseDown(button, shift, x, y);
}

void TCustomdxTreeList::MouseMove(TShiftState shift, int x, int y) {
  if (Survives(this, [&] { FMouse.MouseMove(shift, x, y); }))
    inherited::MouseMove(shift, x, y);
}

void TCustomdxTreeList::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
  TdxTreeListSelectionScope selection(this);
  bool click = false;
  if (!Survives(this, [&] { click = FMouse.MouseUp(button, shift, x, y); }))
    return;
  if (click && !Survives(this, &TCustomdxTreeList::Click))
    return;
  inherited::MouseUp(button, shift, x, y);
}

// ---- The part

bool TdxTreeListMouse::PastThreshold(int x, int y) const {
  return std::abs(x - FDownPos.x) > kMoveThreshold || std::abs(y - FDownPos.y) > kMoveThreshold;
}

void TdxTreeListMouse::CancelMode() {
  switch (FControl.GetState()) {
    case stColumnSizing:
    case stBandSizing:
    case stBandPanelSizing:
    case stHeaderPanelSizing:
    case stRowSizing:
      FSizing.DrawSizingLine();
      FControl.SetState(stNone);
      if (FControl.HandleAllocated() && Screen)
        ::SetCursor(Screen->GetCursors(FControl.GetCursor()));
      break;
    case stBandPressed:
    case stColumnPressed:
    case stColumnButtonPressed:
    case stFooterButtonPressed:
    case stBandIndicatorPressed:
    case stHeaderIndicatorPressed:
      FControl.SetState(stNone);
      ClearPressedBand();
      ClearPressedColumn();
      FPressedColumnButton = -1;
      FColumnButtonPressed = false;
      FFooterButtonPressed = false;
      FBandIndicatorPressed = false;
      FHeaderIndicatorPressed = false;
      FControl.Invalidate();
      break;
    case stBandDragging:
      FControl.GetTimers().StopHorzScroll();
      FControl.EndBandDrag(false);
      break;
    case stColumnDragging:
      FControl.GetTimers().StopHorzScroll();
      FControl.EndColumnDrag(false);
      break;
    case stRowSelecting:
      FControl.SetState(stNone);
      break;
    default:
      break;
  }
  FControl.GetTimers().CancelHint();
}

// ---- Press

bool TdxTreeListMouse::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
  TdxInplaceEdit* editor = FControl.GetEditor();
  if (FControl.GetState() == stEditing && editor && editor->GetOwnsMouseFlag())
    return false;
  // Ending an edit, taking the focus, the press's own steps and the double click may reach
  // handlers that free the control: the press ends there.
  if (FControl.GetState() == stEditing && editor &&
      !Survives(&FControl, [&] { FControl.GetEditController().EndEditing(); }))
    return false;
  FControl.GetTimers().CancelHint();
  FKeepSelection = false;
  FDeferredSelect = false;
  FNewItemRowPressed = false;
  FWasFocusedAtPress = true;
  if (!FControl.GetComponentState().Contains(csDesigning) && FControl.CanFocus()) {
    FWasFocusedAtPress = FControl.HasFocus();
    if (!FWasFocusedAtPress && !Survives(&FControl, [this] { FControl.SetFocus(); }))
      return false;  // OnEnter freed the control
    if (!FControl.HasFocus()) {
      ReleaseCapture();
      return false;
    }
  }
  TdxTreeListHitInfo hit;
  FControl.GetHitInfo(Point(x, y), hit);
  FDownHitInfo = hit;
  const bool dblClick = shift.Contains(ssDouble);
  if (button == mbRight && FControl.GetState() != stNone && FControl.GetState() != stEditing)
    FControl.CancelMode();
  if (button == mbLeft && FControl.GetState() == stNone &&
      !Survives(&FControl, [&] { PressHeaderElement(hit, dblClick, x, y); }))
    return false;
  if (button == mbLeft && FControl.GetState() == stNone && hit.HitTest == htFooter2) {
    // The footer button: the right end of the status panel, as high as the panel.
    const TRect client = FControl.GetClientRect();
    const int size = FControl.GetMetrics().StatusPanelHeight;
    if (size > 0 && x >= client.right - size) {
      FControl.SetState(stFooterButtonPressed);
      FFooterButtonPressed = true;
      FControl.Invalidate();
    }
  }
  const bool onNode = IsNodePart(hit.HitTest) || hit.HitTest == htButton || hit.HitTest == htIndicator ||
                      hit.HitTest == htIndent || hit.HitTest == htRowRight;
  const auto press = [&] {
    if (FControl.GetState() == stNone && onNode && (button == mbLeft || IsNodePart(hit.HitTest)))
      PressNode(button, shift, hit, x, y);
    else if (FControl.GetState() == stEditing)
      FControl.GetEditController().EndEditing();
  };
  if (!Survives(&FControl, press))
    return false;
  // A double click on a node's button or parts was the node's (handled above); elsewhere,
  // the indent and the space right of the row included, it is the control's.
  const bool nodeDblClick = hit.Node && (hit.HitTest == htButton || IsNodePart(hit.HitTest));
  if (button == mbLeft && dblClick && !nodeDblClick &&
      (hit.HitTest == htNowhere || (hit.HitTest >= htButton && hit.HitTest <= htOutside)) &&
      FControl.CanDblClick() && !Survives(&FControl, &TCustomdxTreeList::DblClick))
    return false;
  // A middle press starts the middle-button scrolling, which runs its own message loop;
  // the control may be gone when it returns.
  if (button == mbMiddle && FControl.GetState() == stNone && !FMiddleScroll.IsMiddleScrolling() &&
      !FMiddleScroll.MiddleButtonScroll(x, y))
    return false;
  return true;
}

void TdxTreeListMouse::PressHeaderElement(const TdxTreeListHitInfo& hit, bool dblClick, int x, int y) {
  switch (hit.HitTest) {
    case htBandEdge:
      if (hit.Band < 0)
        return;
      if (dblClick) {
        FControl.BandEdgeDblClick(hit.Band);
        return;
      }
      FDownHitInfo = hit;
      FControl.SetState(stBandSizing);
      FSizing.Begin(x);
      return;
    case htColumnEdge:
      if (hit.Column < 0)
        return;
      if (dblClick) {
        FControl.ColumnEdgeDblClick(hit.Column);
        return;
      }
      FControl.SetState(stColumnSizing);
      FSizing.Begin(x);
      return;
    case htBandPanelEdge:
    case htHeaderPanelEdge:
    case htRowEdge:
      FControl.SetState(hit.HitTest == htBandPanelEdge    ? stBandPanelSizing
                        : hit.HitTest == htHeaderPanelEdge ? stHeaderPanelSizing
                                                           : stRowSizing);
      FSizing.Begin(y);
      return;
    case htBandHeader:
      FControl.SetState(stBandPressed);
      FPressedBand = hit.Band;
      FBandPressed = true;
      FDownPos = Point(x, y);
      FControl.Invalidate();
      return;
    case htColumnHeader: {
      uint8_t part = 1;
      const bool buttons = FControl.HasHeaderButtons() && FControl.GetHeaderHotPart(x, y, part, hit.Column);
      if (!buttons || (part != 2 && part != 3)) {
        FControl.SetState(stColumnPressed);
        FPressedColumn = hit.Column;
        FColumnPressed = true;
        FDownPos = Point(x, y);
        FControl.Invalidate();
      } else if (part == 2) {
        FControl.SetState(stColumnButtonPressed);
        FPressedColumnButton = hit.Column;
        FColumnButtonPressed = true;
        FControl.Invalidate();
      }
      return;
    }
    case htBandIndicator:
      if (FControl.IsBandIndicatorButton()) {
        FControl.SetState(stBandIndicatorPressed);
        FBandIndicatorPressed = true;
        FControl.Invalidate();
      }
      return;
    case htHeaderIndicator:
      if (FControl.IsHeaderIndicatorButton()) {
        FControl.SetState(stHeaderIndicatorPressed);
        FHeaderIndicatorPressed = true;
        FControl.Invalidate();
      }
      return;
    default:
      return;
  }
}

void TdxTreeListMouse::PressNode(TMouseButton button, TShiftState shift, const TdxTreeListHitInfo& hit, int x,
                                 int y) {
  const bool dblClick = shift.Contains(ssDouble);
  if (hit.HitTest == htNewItemRow) {
    if (!FControl.GetFocusedNode()) {
      FControl.NewItemRowClick();
      return;
    }
    const int oldColumn = FControl.GetFocusedColumn();
    const int column = hit.Column >= 0 ? FControl.GetVisibleIndexOfColumn(hit.Column) : oldColumn;
    if (!Survives(&FControl, [&] { FControl.SetFocusedColumn(column); }))
      return;
    if (FControl.IsNewItemRowShown() && !FControl.GetNavigator().GetNewItemRowActive()) {
      FControl.GetNavigator().SetNewItemRowActive(true);
      FControl.Invalidate();
    }
    FNewItemRowPressed = true;
    if (button == mbLeft && hit.Column >= 0 && !FControl.IsRowSelect() && column == oldColumn &&
        FWasFocusedAtPress && FControl.GetState() != stEditing &&
        !FControl.GetTimers().IsTimerRunning(TdxTreeListTimers::kEditTimer))
      FControl.GetTimers().StartTimer(TdxTreeListTimers::kEditTimer, GetDoubleClickTime());
    return;
  }
  if (hit.HitTest == htButton || (dblClick && hit.Node && IsNodePart(hit.HitTest))) {
    FControl.GetTimers().StopTimer(TdxTreeListTimers::kEditTimer);
    if (hit.Node && (hit.HitTest == htButton || FExpandOnDblClick) &&
        !Survives(&FControl, [&] { hit.Node->SetExpanded(!hit.Node->GetExpanded()); }))
      return;
    if (dblClick && hit.HitTest != htButton && FControl.CanDblClick())
      FControl.DblClick();
    return;
  }
  if (!hit.Node || !(IsNodePart(hit.HitTest) || hit.HitTest == htIndicator))
    return;
  const bool sameNode = hit.Node == FControl.GetFocusedNode();
  FControl.GetSelection().SetShiftRangeStarted(false);
  const int oldColumn = FControl.GetFocusedColumn();
  FPrevFocusedNode = FControl.GetFocusedNode();
  if (button == mbLeft && hit.HitTest != htIndicator)
    FControl.SetState(stRowSelecting);
  FControl.GetDrag().SetDragNode(hit.Node);
  if (FControl.GetNavigator().GetNewItemRowActive()) {
    FControl.GetNavigator().SetNewItemRowActive(false);
    FControl.Invalidate();
  }
  const int column = hit.Column >= 0 ? FControl.GetVisibleIndexOfColumn(hit.Column) : oldColumn;
  if (!Survives(&FControl, &TCustomdxTreeList::SetFocusedNode, hit.Node, column, /*makeVisible=*/true))
    return;
  FDownPos = Point(x, y);
  // The selection bracket's end fires OnSelectionChanged, whose handler may free the
  // control: the press ends there.
  const auto select = [&] {
    const bool ctrl = shift.Contains(ssCtrl);
    const bool shiftKey = shift.Contains(ssShift);
    TdxTreeListSelectionScope selection(&FControl, ctrl || shiftKey);
    if (ctrl && !shiftKey) {
      FControl.SetNodeSelected(FControl.GetFocusedNode(),
                               !FControl.IsNodeSelected(FControl.GetFocusedNode()));
      FControl.SetSelectionAnchor(FControl.GetFocusedNode());
    } else if (shiftKey) {
      if (!FControl.GetSelection().GetAnchorNode())
        FControl.SetSelectionAnchor(FPrevFocusedNode);
      TdxTreeListNode* start = FControl.GetSelection().GetAnchorNode();
      if (ctrl)
        start = FPrevFocusedNode;
      else
        FControl.ClearSelection();
      if (start)
        FControl.SelectRange(start, FControl.GetFocusedNode());
      else
        FControl.SetNodeSelected(FControl.GetFocusedNode(),
                                 !FControl.IsNodeSelected(FControl.GetFocusedNode()));
    } else if (!FControl.IsNodeSelected(FControl.GetFocusedNode())) {
      // Outside a bracket the selection's change is told at once.
      if (!Survives(&FControl, [this] { FControl.GetSelection().SelectOnly(FControl.GetFocusedNode()); }))
        return;
      FControl.SetSelectionAnchor(FControl.GetFocusedNode());
    } else if (button == mbLeft) {
      FDeferredSelect = true;
    }
    FKeepSelection = ctrl || shiftKey;
  };
  if (FControl.GetFocusedNode() && FControl.IsMultiSelect() && !Survives(&FControl, select))
    return;
  if (button != mbLeft || hit.HitTest != htCell || hit.Column < 0 || FControl.IsRowSelect())
    return;
  if (FControl.EditOnMouseDown(x, y, hit.Column, sameNode)) {
    FControl.SetState(stNone);
    FControl.GetEditController().ShowEditorWithMouse(x, y);
    return;
  }
  // The column-bound control keeps its editor hidden between edits: what counts is
  // whether one is shown.
  if (sameNode && column == oldColumn && FWasFocusedAtPress && FControl.GetState() != stEditing &&
      !FControl.GetTimers().IsTimerRunning(TdxTreeListTimers::kEditTimer))
    FControl.GetTimers().StartTimer(TdxTreeListTimers::kEditTimer, GetDoubleClickTime());
}

// ---- Move

void TdxTreeListMouse::MouseMove(TShiftState shift, int x, int y) {
  FMousePos = Point(x, y);
  TdxTreeListHitInfo hit;
  FControl.GetHitInfo(Point(x, y), hit);
  if (!shift.Contains(ssLeft) && FControl.GetState() == stRowSelecting)
    FControl.SetState(stNone);
  // What the move drives may reach handlers that free the control.
  if (!Survives(&FControl, [&] { MoveInState(x, y); }))
    return;
  UpdatePressedFlags(hit);
  if (!Survives(&FControl, [&] { FControl.UpdateHotTrack(hit); }))
    return;
  FControl.GetTimers().UpdateHint(hit);
}

void TdxTreeListMouse::MoveInState(int x, int y) {
  switch (FControl.GetState()) {
    case stColumnSizing:
    case stBandSizing:
    case stBandPanelSizing:
    case stHeaderPanelSizing:
    case stRowSizing:
      FSizing.MoveSizingLine(x, y);
      break;
    case stBandPressed: {
      // The question's handler may free the control.
      bool can = false;
      if (FPressedBand >= 0 && PastThreshold(x, y) &&
          Survives(&FControl, [&] { can = FControl.CanBandMoving(FControl.GetBandIndex(FPressedBand)); }) && can)
        FControl.StartBandDrag(FPressedBand);
      break;
    }
    case stColumnPressed: {
      bool can = false;
      if (FPressedColumn >= 0 && PastThreshold(x, y) &&
          Survives(&FControl, [&] { can = FControl.CanColumnMoving(FPressedColumn); }) && can)
        FControl.StartColumnDrag(FPressedColumn);
      break;
    }
    case stBandDragging:
    case stColumnDragging:
      FControl.DragHeaderMove(Point(x, y));
      break;
    case stRowSelecting:
      SelectRowsByMouse(x, y);
      break;
    default:
      break;
  }
}

void TdxTreeListMouse::SelectRowsByMouse(int x, int y) {
  if (FControl.GetDragMode() == dmAutomatic) {
    if (!PastThreshold(x, y))
      return;
    TdxTreeListNode* node =
        FControl.GetDrag().GetDragNode() ? FControl.GetDrag().GetDragNode() : FControl.GetHitTester().GetNodeAt(x, y);
    if (node && node != FControl.GetFocusedNode()) {
      if (!FKeepSelection)
        FControl.ClearSelection();
      if (!Survives(&FControl, &TCustomdxTreeList::SetFocusedNode, node, FControl.GetFocusedColumn(), false))
        return;
    }
    if (FControl.GetFocusedNode())
      FControl.SetNodeSelected(FControl.GetFocusedNode(), true);
    FKeepSelection = false;
    FDeferredSelect = false;
    FControl.BeginDrag(/*immediate=*/true);
    return;
  }
  if (!FControl.CanDragSelectRows() || FControl.GetRowCount() == 0)
    return;
  const TRect rows = FControl.GetLayoutBuilder().GetRowsRect();
  int direction = 0;
  TdxTreeListNode* node = nullptr;
  if (y < rows.top) {
    direction = -1;
    node = FControl.GetNodeAtRow(std::max(FControl.GetNavigator().GetTopIndex() - 1, 0));
  } else if (y >= rows.bottom) {
    direction = 1;
    node = FControl.GetNodeAtRow(std::min(
        std::max(FControl.GetNavigator().GetTopIndex(), 0) + FControl.GetNavigator().GetVisibleRowCount(),
        FControl.GetRowCount() - 1));
  } else {
    node = FControl.GetHitTester().GetNodeAt(rows.left + 1, y);
    if (!node)
      node = FControl.GetNodeAtRow(FControl.GetRowCount() - 1);
  }
  if (direction == 0)
    FControl.GetTimers().StopVertScroll();
  if (node && node != FControl.GetFocusedNode()) {
    if (!Survives(&FControl, &TCustomdxTreeList::SetFocusedNode, node, FControl.GetFocusedColumn(), /*makeVisible=*/true))
      return;
    if (FControl.IsMultiSelect())
      FControl.GetSelection().SelectOnly(FControl.GetFocusedNode());
  }
  if (direction != 0)
    FControl.GetTimers().StartVertScroll(direction, TdxTreeListTimers::kSelectionScrollInterval);
}

void TdxTreeListMouse::UpdatePressedFlags(const TdxTreeListHitInfo& hit) {
  bool* flag = nullptr;
  bool now = false;
  switch (FControl.GetState()) {
    case stBandPressed:
      flag = &FBandPressed;
      now = hit.HitTest == htBandHeader && hit.Band == FPressedBand;
      break;
    case stColumnPressed:
      flag = &FColumnPressed;
      now = hit.HitTest == htColumnHeader && hit.Column == FPressedColumn;
      break;
    case stColumnButtonPressed: {
      uint8_t part = 0;
      flag = &FColumnButtonPressed;
      now = hit.HitTest == htColumnHeader && hit.Column == FPressedColumnButton &&
            FControl.GetHeaderHotPart(hit.Pos.x, hit.Pos.y, part, hit.Column) && part >= 2;
      break;
    }
    case stBandIndicatorPressed:
      flag = &FBandIndicatorPressed;
      now = hit.HitTest == htBandIndicator;
      break;
    case stHeaderIndicatorPressed:
      flag = &FHeaderIndicatorPressed;
      now = hit.HitTest == htHeaderIndicator;
      break;
    case stFooterButtonPressed:
      flag = &FFooterButtonPressed;
      now = hit.HitTest == htFooter2;
      break;
    default:
      return;
  }
  if (*flag == now)
    return;
  *flag = now;
  FControl.Invalidate();
}

// ---- Release

bool TdxTreeListMouse::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
  TdxTreeListHitInfo hit;
  FControl.GetHitInfo(Point(x, y), hit);
  const TdxTreeListState state = FControl.GetState();
  // The element's click, the drop and the editor's start may reach handlers that free
  // the control.
  if (!Survives(&FControl, [&] { ReleaseInState(state, hit, shift, x, y); }))
    return false;
  if (FDeferredSelect) {
    FDeferredSelect = false;
    if (FControl.GetFocusedNode()) {
      FControl.GetSelection().SelectOnly(FControl.GetFocusedNode());
      FControl.SetSelectionAnchor(FControl.GetFocusedNode());
    }
  }
  const bool clickState = state == stEditing || state == stNodeDragging || state == stRowSelecting;
  // The question whether the column may be edited may free the control.
  bool canEdit = false;
  if ((clickState || FNewItemRowPressed) && button == mbLeft && FDownHitInfo.Column >= 0 &&
      !Survives(&FControl, [&] { canEdit = FControl.CanEditColumn(FDownHitInfo.Column); }))
    return false;
  if (canEdit && !FControl.IsRowSelect() &&
      hit.Column == FDownHitInfo.Column && hit.Node == FDownHitInfo.Node && hit.HitTest == FDownHitInfo.HitTest &&
      (hit.HitTest == htCell || hit.HitTest == htNewItemRow) &&
      (hit.Node == FControl.GetFocusedNode() || hit.HitTest == htNewItemRow)) {
    FControl.SetState(stNone);
    if (!shift.Contains(ssShift) && !shift.Contains(ssCtrl) &&
        !Survives(&FControl, [&] { FControl.GetEditController().ShowEditorSelectAll(); }))
      return false;
  }
  FNewItemRowPressed = false;
  if (FControl.GetState() == stRowSelecting)
    FControl.SetState(stNone);
  return clickState;
}

void TdxTreeListMouse::ReleaseInState(TdxTreeListState state, const TdxTreeListHitInfo& hit, TShiftState shift, int x,
                                      int y) {
  switch (state) {
    case stColumnSizing:
    case stBandSizing:
    case stBandPanelSizing:
    case stHeaderPanelSizing:
    case stRowSizing:
      FSizing.FinishSizing(x, y);
      break;
    case stBandPressed: {
      const int band = FPressedBand;
      FControl.CancelMode();
      if (hit.HitTest == htBandHeader && hit.Band == band)
        FControl.BandClick(FControl.GetBandIndex(band));
      break;
    }
    case stColumnPressed: {
      const int column = FPressedColumn;
      FControl.CancelMode();
      if (hit.HitTest == htColumnHeader && hit.Column == column)
        ClickColumnHeader(column, shift);
      break;
    }
    case stColumnButtonPressed: {
      const int column = FPressedColumnButton;
      const bool pressed = FColumnButtonPressed;
      FControl.CancelMode();
      if (pressed && hit.HitTest == htColumnHeader && hit.Column == column &&
          !FControl.GetComponentState().Contains(csDesigning))
        FControl.ColumnButtonClick(column);
      break;
    }
    case stFooterButtonPressed:
    case stBandIndicatorPressed:
    case stHeaderIndicatorPressed: {
      // The element's click, when the mouse is still on it.
      const bool pressed = state == stFooterButtonPressed    ? FFooterButtonPressed
                           : state == stBandIndicatorPressed ? FBandIndicatorPressed
                                                             : FHeaderIndicatorPressed;
      FControl.CancelMode();
      if (!pressed)
        break;
      if (state == stFooterButtonPressed)
        FControl.FooterButtonClick();
      else if (state == stBandIndicatorPressed)
        FControl.BandIndicatorClick();
      else
        FControl.HeaderIndicatorClick();
      break;
    }
    case stBandDragging:
      FControl.GetTimers().StopHorzScroll();
      FControl.GetDrag().SetDragPoint(Point(x, y));
      FControl.EndBandDrag(true);
      break;
    case stColumnDragging:
      FControl.GetTimers().StopHorzScroll();
      FControl.GetDrag().SetDragPoint(Point(x, y));
      FControl.EndColumnDrag(true);
      break;
    default:
      break;
  }
}

// ---- Hot tracking

void TdxTreeListMouse::UpdateHotTrack(const TdxTreeListHitInfo& hitInfo) {
  if (FControl.GetState() == stNone || FControl.GetState() == stFooterButtonPressed) {
    const bool hot = hitInfo.HitTest == htFooter2;
    if (hot != FFooterButtonHot) {
      FFooterButtonHot = hot;
      FControl.Invalidate();
    }
  }
  if (!FControl.GetOptionsEx().Contains(aoHotTrack) && !FControl.HasHeaderButtons())
    return;
  TdxTreeListHotInfo hot;
  uint8_t part = 0;
  if (hitInfo.Node && hitInfo.Column >= 0 &&
      FControl.IsHotTrackCell(hitInfo.Node, hitInfo.Column, hitInfo.HitTest)) {
    hot.Node = hitInfo.Node;
    hot.Column = hitInfo.Column;
  } else if (hitInfo.HitTest == htColumnHeader &&
             FControl.GetHeaderHotPart(hitInfo.Pos.x, hitInfo.Pos.y, part, hitInfo.Column)) {
    hot.Column = hitInfo.Column;
    hot.Part = FColumnButtonPressed && FPressedColumnButton == hitInfo.Column ? 3 : part;
  }
  if (hot.Node == FHotInfo.Node && hot.Column == FHotInfo.Column && hot.Part == FHotInfo.Part)
    return;
  const TdxTreeListHotInfo old = FHotInfo;
  FHotInfo = hot;
  TCursor cursor = FControl.GetCursor();
  // The cursor's handler may free the control.
  if (!Survives(&FControl, [&] { FControl.GetHotCursor(hot, cursor); }))
    return;
  FControl.SetCursor(cursor);
  if (old.Node || hot.Node) {
    FControl.RefreshNode(old.Node, false);
    FControl.RefreshNode(hot.Node, false);
  }
  if (!old.Node || !hot.Node)
    FControl.Invalidate();  // a header was or is hot
}

uint8_t TdxTreeListMouse::GetColumnHeaderState(int32_t column) {
  if (!FControl.HasHeaderButtons())
    return 0;
  if (FHotInfo.Column != column || FHotInfo.Node || FHotInfo.Part < 2)
    return 1;
  return FColumnButtonPressed && FPressedColumnButton == column ? 7 : 3;
}

bool TdxTreeListMouse::GetHeaderHotPart(int x, int y, uint8_t& part, int32_t column) {
  // Without header buttons every point of a header is the header itself.
  part = 1;
  return true;
}

bool TdxTreeListMouse::IsHotCell(TdxTreeListNode* node, int32_t column) {
  return FHotInfo.Node && FHotInfo.Node == node && FHotInfo.Column == column;
}

// ---- Cursor

bool TdxTreeListMouse::WMSetCursor(TMessage& message) {
  const auto& m = MessageAs<TWMSetCursor>(message);
  if (short(m.HitTest) != HTCLIENT || m.CursorWnd != FControl.GetHandle() || !Screen) {
    return false;
  }
  if (FControl.GetState() == stColumnDragging || FControl.GetState() == stBandDragging) {
    ::SetCursor(Screen->GetCursors(FControl.GetDrag().GetHeaderDragCursor()));
    message.Result = 1;
    return true;
  }
  TdxTreeListState state = FControl.GetState();
  if (state == stNone || state == stEditing) {
    TdxTreeListHitInfo hit;
    FControl.GetHitInfo(FControl.ScreenToClient(FNcHitPoint), hit);
    if ((hit.HitTest == htBandEdge && hit.Band >= 0) || (hit.HitTest == htColumnEdge && hit.Column >= 0))
      state = stColumnSizing;
    else if (hit.HitTest >= htBandPanelEdge && hit.HitTest <= htRowEdge)
      state = stRowSizing;
  }
  TCursor cursor = crDefault;
  if (state == stColumnSizing || state == stBandSizing)
    cursor = crHSplit;
  else if (state >= stBandPanelSizing && state <= stRowSizing)
    cursor = crVSplit;
  if (cursor == crDefault) {
    return false;
  }
  ::SetCursor(Screen->GetCursors(cursor));
  message.Result = 1;
  return true;
}

// ---- Header clicks

void TdxTreeListMouse::ClickColumnHeader(int32_t column, TShiftState shift) {
  FSortAddFlag = shift.Contains(ssShift) && FControl.IsMultiSort();
  FSortClearFlag = shift.Contains(ssCtrl);
  // The click's handlers may free the control: the flags are cleared only on one alive.
  const TOnExitIfAlive clear(&FControl, [this] { FSortAddFlag = FSortClearFlag = false; });
  FControl.ColumnClick(column);
}

// ---- Node hooks

void TdxTreeListMouse::NodeGone(TdxTreeListNode* node) {
  if (FPrevFocusedNode == node)
    FPrevFocusedNode = nullptr;
  if (FHotInfo.Node == node)
    FHotInfo.Node = nullptr;
  if (FDownHitInfo.Node == node)
    FDownHitInfo.Node = nullptr;
}

void TdxTreeListMouse::ForgetNodes() {
  FPrevFocusedNode = nullptr;
  FHotInfo.Node = nullptr;
  FDownHitInfo.Node = nullptr;
}
