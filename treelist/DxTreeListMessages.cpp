// The window messages of the tree list: focus, cursors, the border and the size-box
// corner, the scroll bars, the timer messages (handled by the timers part) and the
// window procedure's share of the drags.
//
// Decisions taken here:
// - Every timer of the control stops when its window is destroyed (and the control
//   forgets it), so no timer, hint window or auto scroll outlives the window.
#include "classlib/AliveGuard.h"
#include "classlib/DragDrop.h"
#include "classlib/GdiHandles.h"
#include "treelist/DxTreeList.h"
#include "treelist/DxTreeListDraw.h"

void TCustomdxTreeList::WndProc(TMessage& message) {
  const UINT msg = message.Msg;
  if ((FState == stBandDragging || FState == stColumnDragging) && msg == WM_MOUSEMOVE) {
    const auto& mouse = MessageAs<TWMMouse>(message);
    DragHeaderMove(mouse.Pos());
    return;
  }
  if (msg == WM_KEYDOWN && Dragging() && GetDragMode() == dmAutomatic) {
    if (message.WParam == VK_ESCAPE) {
      EndDrag(false);
      return;
    }
    if (message.WParam == VK_ADD || message.WParam == VK_SUBTRACT) {
      POINT cursor{};
      GetCursorPos(&cursor);
      const TPoint p = ScreenToClient(cursor);
      TdxTreeListNode* node = GetHitTester().GetNodeAt(p.x, p.y);
      const bool expand = message.WParam == VK_ADD;
      if (node && node->GetHasChildren() && node->GetExpanded() != expand)
        node->SetExpanded(expand);
      return;
    }
  }
  if ((msg == WM_LBUTTONDOWN || msg == WM_LBUTTONDBLCLK) && GetDragMode() == dmAutomatic &&
      !GetComponentState().Contains(csDesigning) && !Dragging()) {
    // The press is the tree list's own: the drag starts past the move threshold.
    SetControlState(GetControlState() + TControlState{csLButtonDown});
    Dispatch(message);
    return;
  }
  inherited::WndProc(message);
}

void TCustomdxTreeList::Dispatch(TMessage& message) {
  switch (message.Msg) {
    case WM_DESTROY:
      // A header drag, its drag image and a middle-button scrolling end with the window.
      if (FState == stColumnDragging || FState == stBandDragging)
        CancelMode();
      FMouse.GetMiddleScroll().AbandonMiddleScroll(/*controlGone=*/false);
      GetTimers().CancelHint();
      GetTimers().StopAllTimers();
      inherited::Dispatch(message);
      return;
    case WM_CAPTURECHANGED:
      // Another window took the mouse: a middle-button scrolling ends.
      if (FMouse.GetMiddleScroll().IsMiddleScrolling() && reinterpret_cast<HWND>(message.LParam) != GetHandle())
        FMouse.GetMiddleScroll().AbandonMiddleScroll(/*controlGone=*/false);
      inherited::Dispatch(message);
      return;
    case WM_CANCELMODE:
      CancelMode();
      inherited::Dispatch(message);
      return;
    case CM_CANCELMODE:
      CancelMode();
      if (TdxInplaceEdit* editor = GetEditor(); editor && FState == stEditing)
        editor->Perform(CM_CANCELMODE, message.WParam, message.LParam);
      inherited::Dispatch(message);
      return;
    case WM_ERASEBKGND:
      message.Result = 1;
      return;
    case WM_GETDLGCODE:
      WMGetDlgCode(message);
      return;
    case WM_HSCROLL:
      if (!CanScroll() || GetColumnCount() == 0 || message.LParam != 0) {
        inherited::Dispatch(message);
        return;
      }
      GetNavigator().HScroll(LOWORD(message.WParam) | (int(HIWORD(message.WParam)) << 16));
      message.Result = 0;
      return;
    case WM_VSCROLL:
      if (!CanScroll() || message.LParam != 0) {
        inherited::Dispatch(message);
        return;
      }
      GetNavigator().VScroll(LOWORD(message.WParam) | (int(HIWORD(message.WParam)) << 16));
      message.Result = 0;
      return;
    case WM_KILLFOCUS:
      inherited::Dispatch(message);
      GetNavigator().WMFocusChanged(message, /*gained=*/false);
      return;
    case WM_SETFOCUS:
      inherited::Dispatch(message);
      GetNavigator().WMFocusChanged(message, /*gained=*/true);
      return;
    case WM_LBUTTONDOWN:
      GetTimers().StopTimer(TdxTreeListTimers::kEditTimer);
      inherited::Dispatch(message);
      return;
    case WM_NCHITTEST:
      inherited::Dispatch(message);
      GetMouse().SetNcHitPoint(Point(short(LOWORD(message.LParam)), short(HIWORD(message.LParam))));
      return;
    case WM_NCPAINT:
      inherited::Dispatch(message);
      WMNCPaint(message);
      return;
    case WM_SETCURSOR:
      if (!GetMouse().WMSetCursor(message))
        inherited::Dispatch(message);
      return;
    case WM_SIZE:
      WMSize(message);
      return;
    case WM_TIMER:
      GetTimers().TimerTick(message.WParam);
      message.Result = 0;
      return;
    case CM_COLORCHANGED:
    case CM_FONTCHANGED:
      inherited::Dispatch(message);
      UpdateGuarded();
      return;
    case CM_MOUSELEAVE:
      inherited::Dispatch(message);
      if (GetMouse().GetHotInfo().Node || GetMouse().GetHotInfo().Column >= 0) {
        GetMouse().ClearHot();
        Invalidate();
      }
      GetTimers().CancelHint();
      GetTimers().ForgetHint();
      return;
    case CM_SYSCOLORCHANGE:
      inherited::Dispatch(message);
      RebuildDxTreeListExpandGlyphs();
      return;
    case WM_IME_STARTCOMPOSITION:
      inherited::Dispatch(message);
      GetEditController().ShowEditor();
      return;
    case CM_PARENTFONTCHANGED:
      inherited::Dispatch(message);
      if (GetParentFont()) {
        GetHeaderFont()->SetName(GetFont()->GetName());
        GetBandFont()->SetName(GetFont()->GetName());
      }
      return;
    case CM_MOUSEENTER: {
      inherited::Dispatch(message);
      POINT cursor{};
      GetCursorPos(&cursor);
      TdxTreeListHitInfo hit;
      GetHitInfo(ScreenToClient(cursor), hit);
      UpdateHotTrack(hit);
      return;
    }
    case CM_DESIGNHITTEST: {
      TdxTreeListHitInfo hit;
      GetHitInfo(MessageAs<TWMMouse>(message).Pos(), hit);
      switch (hit.HitTest) {
        case htColumnHeader:
        case htColumnEdge:
        case htBandHeader:
        case htBandEdge:
        case htBandPanelEdge:
        case htHeaderPanelEdge:
        case htRowEdge:
          message.Result = 1;
          break;
        default:
          message.Result = 0;
      }
      return;
    }
    case CM_DRAG: {
      // The drag-over and drop handlers may free the tree list.
      if (!Survives(this, [&] { inherited::Dispatch(message); }) || FState == stNodeDragging)
        return;
      const auto kind = static_cast<TDragMessage>(LOWORD(message.WParam));
      const auto* drag = reinterpret_cast<const TDragRec*>(message.LParam);
      if (kind == dmDragEnter && drag) {
        const TPoint p = ScreenToClient(drag->Pos);
        if (TdxTreeListNode* node = GetHitTester().GetNodeAt(p.x, p.y))
          GetDrag().SetDragOverNode(node);
      } else if (kind == dmDragLeave || kind == dmDragDrop || kind == dmDragCancel) {
        GetDrag().SetDragOverNode(nullptr);
      }
      return;
    }
  }
  inherited::Dispatch(message);
}

void TCustomdxTreeList::WMGetDlgCode(TMessage& message) {
  message.Result = DLGC_WANTARROWS;
  const bool altDown = (GetKeyState(VK_MENU) & 0x8000) != 0;
  if (IsOptionsEx29() || IsOptionsEx10() || (IsOptions11() && !altDown) || FOptions.Contains(aoEditOnKey))
    message.Result |= DLGC_WANTCHARS;
  if (IsOptions4())
    message.Result |= DLGC_WANTTAB;
}

void TCustomdxTreeList::WMNCPaint(TMessage& message) {
  if (!HandleAllocated())
    return;
  const LONG style = GetWindowLongA(GetHandle(), GWL_STYLE);
  const bool border = (style & WS_BORDER) != 0 || GetLookAndFeel() != lfStandard;
  TWindowDC dc(GetHandle());
  RECT window{};
  GetWindowRect(GetHandle(), &window);
  OffsetRect(&window, -window.left, -window.top);
  if (border && GetBorderStyle() == bsSingle && GetLookAndFeel() != lfStandard) {
    if (GetLookAndFeel() == lfFramed)
      FrameRect(dc, &window, GetSysColorBrush(COLOR_BTNSHADOW));
    else
      DrawEdge(dc, &window, BDR_SUNKENOUTER, BF_RECT);
  }
  if ((style & WS_HSCROLL) && (style & WS_VSCROLL)) {
    // The size box between the two scroll bars.
    RECT client{};
    ::GetClientRect(GetHandle(), &client);
    POINT origin{0, 0};
    ::ClientToScreen(GetHandle(), &origin);
    RECT w{};
    GetWindowRect(GetHandle(), &w);
    const int left = origin.x - w.left + client.right;
    const int top = origin.y - w.top + client.bottom;
    const RECT corner{left, top, left + GetSystemMetrics(SM_CXVSCROLL), top + GetSystemMetrics(SM_CYHSCROLL)};
    FillRect(dc, &corner, GetSysColorBrush(COLOR_BTNFACE));
  }
}

void TCustomdxTreeList::WMSize(TMessage& message) {
  RefreshNodeCounts();
  // The edit's validation and the resize's handlers may free the control.
  if (!Survives(this, [&] { GetEditController().EndEditing(); }) ||
      !Survives(this, [&] { inherited::Dispatch(message); }))
    return;
  UpdateGuarded();
  if (HandleAllocated() && (GetWindowLongA(GetHandle(), GWL_STYLE) & (WS_HSCROLL | WS_VSCROLL)) ==
                               (WS_HSCROLL | WS_VSCROLL))
    RedrawWindow(GetHandle(), nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE);
}
