#include "skin/KsFormMouse.h"

#include <algorithm>
#include <cstdlib>

#include "classlib/AliveGuard.h"
#include "classlib/Forms.h"
#include "classlib/GdiHandles.h"
#include "skin/KsForms.h"
#include "skin/KsUtils.h"

namespace {

bool Contains(const TRect& r, int x, int y) { return x >= r.left && x < r.right && y >= r.top && y < r.bottom; }
bool EmptyRect(const TRect& r) { return r.right <= r.left || r.bottom <= r.top; }

bool IsDragCode(uint8_t code) { return code >= khtCaption && code <= khtBottomRight; }
bool IsButtonCode(uint8_t code) { return code >= khtClose; }

// Answers 0 and clears the message number (WM_NULL): the press, release or move is the
// frame's alone, and whatever looks at the message after the skinner sees none.
void Suppress(TMessage& message) {
  message.Result = 0;
  message.Msg = WM_NULL;
}

}  // namespace

bool TKsFormMouse::ButtonPressed(uint8_t code) const {
  return FButtons.Contains(ssLeft) && FDownCode == code && FHotCode == code;
}

void TKsFormMouse::NCHitTest(TMessage& message) {
  auto& m = MessageAs<TWMNCHitTest>(message);
  const TPoint p = FForm.ScreenToFrame(TPoint{m.XPos, m.YPos});
  LRESULT result = HTCLIENT;
  switch (FForm.HitTest(p.x, p.y)) {
    case khtCaption: if (FCanMove) result = HTCAPTION; break;
    case khtLeft: if (FCanResize) result = HTLEFT; break;
    case khtTop: if (FCanResize) result = HTTOP; break;
    case khtRight: if (FCanResize) result = HTRIGHT; break;
    case khtBottom: if (FCanResize) result = HTBOTTOM; break;
    case khtTopLeft: if (FCanResize) result = HTTOPLEFT; break;
    case khtTopRight: if (FCanResize) result = HTTOPRIGHT; break;
    case khtBottomLeft: if (FCanResize) result = HTBOTTOMLEFT; break;
    case khtBottomRight: if (FCanResize) result = HTBOTTOMRIGHT; break;
    case khtClose: result = HTCLOSE; break;
    case khtHelp: result = HTHELP; break;
    case khtMinimize:
    case khtRollup:
    case khtTray:
    case khtSystemMenu: result = HTMINBUTTON; break;
    case khtMaximize: result = HTMAXBUTTON; break;
    default: break;
  }
  message.Result = result;
}

void TKsFormMouse::NCButton(TMessage& message) {
  const TPoint p = FForm.ScreenToFrame(TPoint{short(LOWORD(message.LParam)), short(HIWORD(message.LParam))});
  HWND wnd = FForm.GetFormHandle();
  switch (message.Msg) {
    case WM_NCLBUTTONDOWN:
    case WM_NCRBUTTONDOWN: {
      const bool left = message.Msg == WM_NCLBUTTONDOWN;
      if (!FForm.GetActiveLook() && wnd)
        SetFocus(wnd);
      FButtons = TShiftState{left ? ssLeft : ssRight};
      FForm.MouseDown(left ? mbLeft : mbRight, FButtons, p.x, p.y);
      Suppress(message);
      break;
    }
    case WM_NCLBUTTONUP:
      FButtons = TShiftState{};
      FForm.MouseUp(mbLeft, TShiftState{}, p.x, p.y);
      Suppress(message);
      break;
    case WM_NCLBUTTONDBLCLK:
      FForm.MouseDown(mbLeft, TShiftState{ssLeft, ssDouble}, p.x, p.y);
      FForm.MouseUp(mbLeft, TShiftState{ssLeft, ssDouble}, p.x, p.y);
      FButtons = TShiftState{};
      message.Result = 1;
      break;
    case WM_NCMOUSEMOVE:
      FForm.MouseMove(FButtons, p.x, p.y);
      Suppress(message);
      break;
    case WM_NCRBUTTONUP:
      FButtons = TShiftState{};
      FForm.MouseUp(mbRight, TShiftState{}, p.x, p.y);
      break;
  }
}

void TKsFormMouse::ClientMouse(TMessage& message) {
  if (FButtons.Empty())
    return;
  const TPoint p = FForm.ClientToFrame(TPoint{short(LOWORD(message.LParam)), short(HIWORD(message.LParam))});
  if (message.Msg == WM_LBUTTONUP) {
    FButtons = TShiftState{};
    FForm.MouseUp(mbLeft, TShiftState{}, p.x, p.y);
  } else {
    FForm.MouseMove(FButtons, p.x, p.y);
  }
}

void TKsFormMouse::MouseDown(TMouseButton button, TShiftState, int x, int y) {
  if (button != mbLeft)
    return;
  FDownCode = FHotCode = FForm.HitTest(x, y);
  FDownPoint = FLastPoint = TPoint{x, y};
  FForm.PaintNonClient();
  if (IsDragCode(FDownCode)) {
    FDragging = true;
    FDragFrame = TRect{};
    if (FSimpleDrag) {
      FForm.DisablePaint();
      FOutlineDrag = true;
    }
  }
  if (HWND wnd = FForm.GetFormHandle())
    KsSetCapture(wnd);
}

void TKsFormMouse::Snap(TRect& bounds) {
  if (!FMagnetic)
    return;
  TRect test = bounds;
  if (FForm.GetDropShadow()) {
    test.right -= FForm.GetShadowWidth();
    test.bottom -= FForm.GetShadowWidth();
  }
  RECT area{};
  HWND wnd = FForm.GetFormHandle();
  HWND parent = wnd ? GetParent(wnd) : nullptr;
  if (parent && (GetWindowLongA(wnd, GWL_STYLE) & WS_CHILD))
    GetClientRect(parent, &area);
  else
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &area, 0);
  int dx = 0, dy = 0;
  if (std::abs(test.left - area.left) < FMagneticValue)
    dx = area.left - test.left;
  else if (std::abs(test.right - area.right) < FMagneticValue)
    dx = area.right - test.right;
  if (std::abs(test.top - area.top) < FMagneticValue)
    dy = area.top - test.top;
  else if (std::abs(test.bottom - area.bottom) < FMagneticValue)
    dy = area.bottom - test.bottom;
  OffsetRect(&bounds, dx, dy);
}

void TKsFormMouse::MouseMove(TShiftState shift, int x, int y) {
  TCustomForm* form = FForm.GetForm();
  if (!shift.Contains(ssLeft) || !FDragging || !form) {
    if (form) {
      const TRect systemMenu = FForm.GetCaptionButtonRect(kbiSystemMenu);
      if (!EmptyRect(systemMenu) && Contains(systemMenu, x, y))
        form->SetHint("Sytem Menu");
    }
    // While a caption button is held, it shows pressed only under the pointer.
    const uint8_t hot = shift.Contains(ssLeft) && IsButtonCode(FDownCode) ? FForm.HitTest(x, y) : 0;
    if (hot != FHotCode) {
      FHotCode = hot;
      FForm.PaintNonClient();
    }
    return;
  }
  TRect bounds = form->GetBoundsRect();
  const int dx = x - FDownPoint.x, dy = y - FDownPoint.y;
  const TPoint edgeFrom = FOutlineDrag ? FDownPoint : FLastPoint;
  const int ex = x - edgeFrom.x, ey = y - edgeFrom.y;
  const TPoint minSize = FForm.GetMinTrackSize();
  const TKsWindowState state = FForm.GetWindowState();
  bool changed = false;
  if (FDownCode == khtCaption) {
    if (FCanMove && state != kwsMaximized) {
      OffsetRect(&bounds, dx, dy);
      Snap(bounds);
      changed = true;
    }
  } else if (FCanResize && (state == kwsNormal || state == kwsTray)) {
    const uint8_t c = FDownCode;
    if (c == khtLeft || c == khtTopLeft || c == khtBottomLeft)
      bounds.left = std::min(bounds.left + dx, bounds.right - int(minSize.x));
    if (c == khtTop || c == khtTopLeft || c == khtTopRight)
      bounds.top = std::min(bounds.top + dy, bounds.bottom - int(minSize.y));
    if (c == khtRight || c == khtTopRight || c == khtBottomRight)
      bounds.right += ex;
    if (c == khtBottom || c == khtBottomLeft || c == khtBottomRight)
      bounds.bottom += ey;
    changed = true;
  }
  if (changed) {
    if (FSimpleDrag)
      DrawOutline(bounds);
    else {
      SetFormBounds(bounds);
      FHotCode = FForm.HitTest(x, y);
      FForm.PaintNonClient();
    }
  }
  FLastPoint = TPoint{x, y};
}

void TKsFormMouse::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
  const uint8_t code = FForm.HitTest(x, y);
  if (button == mbLeft) {
    KsReleaseCapture();
    const bool dbl = shift.Contains(ssDouble);
    if (dbl && code == khtCaption && FForm.GetBorderIcons().Contains(kbiMaximize)) {
      if (FForm.GetWindowState() == kwsMinimized)
        FForm.Restore();
      else
        FForm.Maximize();
    } else if (dbl && code == khtSystemMenu) {
      if (!Survives(this, [this] { FForm.CloseForm(); }))  // a close handler freed the form
        return;
    } else if (code == FDownCode && !dbl) {
      switch (code) {
        case khtClose:
          if (!Survives(this, [this] { FForm.CloseForm(); }))  // a close handler freed the form
            return;
          break;
        case khtHelp:
          if (HWND wnd = FForm.GetFormHandle())
            SendMessageA(wnd, WM_SYSCOMMAND, SC_CONTEXTHELP, 0);
          break;
        case khtMinimize: FForm.Minimize(); break;
        case khtMaximize: FForm.Maximize(); break;
        case khtRollup: FForm.Rollup(); break;
        case khtTray: FForm.MinimizeToTray(); break;
        case khtSystemMenu: FForm.ShowSystemMenu(); break;
        default: break;
      }
    }
    if (FOutlineDrag) {
      // The frame goes where the outline was: a live move to the release point.
      DrawOutline(TRect{});
      FSimpleDrag = false;
      FForm.EnablePaint();
      FForm.MouseMove(TShiftState{ssLeft}, x, y);
      FSimpleDrag = true;
      FOutlineDrag = false;
      FDownCode = 0;
      FHotCode = 0;
      FForm.PaintNonClient();
      if (TCustomForm* form = FForm.GetForm())
        form->Invalidate();
    } else {
      FDownCode = 0;
      FHotCode = 0;
      FForm.PaintNonClient();
    }
    FDownCode = 0;
    FDragging = false;
  } else if (button == mbRight && code == khtCaption) {
    if (HWND wnd = FForm.GetFormHandle()) {
      const TRect client = FForm.GetFrameClientRect();
      POINT p{x - client.left, y - client.top};
      ClientToScreen(wnd, &p);
      FForm.SetSysMenuPos(p);
      FForm.ShowSystemMenu();
    }
  }
}

void TKsFormMouse::SetFormBounds(const TRect& bounds) {
  TCustomForm* form = FForm.GetForm();
  if (!form)
    return;
  form->SetBoundsRect(bounds);
  MSG msg;
  while (PeekMessageA(&msg, nullptr, WM_PAINT, WM_PAINT, PM_REMOVE)) {
    if (msg.message == WM_QUIT) {
      PostQuitMessage(int(msg.wParam));
      break;
    }
    DispatchMessageA(&msg);
  }
}

void TKsFormMouse::DrawOutline(const TRect& frame) {
  if (FForm.GetWindowState() == kwsMaximized)
    return;
  HWND target = nullptr;
  if (FForm.IsMDIChild())
    if (HWND wnd = FForm.GetFormHandle())
      target = GetParent(wnd);
  TWindowDC dc(target ? target : GetDesktopWindow());
  if (!dc.Get())
    return;
  TPenHandle pen(CreatePen(PS_INSIDEFRAME, 2, RGB(255, 255, 255)));
  TSelectGuard penGuard(dc.Get(), pen.Get());
  TSelectGuard brushGuard(dc.Get(), GetStockObject(NULL_BRUSH));
  const int oldRop = SetROP2(dc.Get(), R2_XORPEN);
  if (!EmptyRect(FDragFrame))
    Rectangle(dc.Get(), FDragFrame.left, FDragFrame.top, FDragFrame.right, FDragFrame.bottom);
  if (!EmptyRect(frame))
    Rectangle(dc.Get(), frame.left, frame.top, frame.right, frame.bottom);
  SetROP2(dc.Get(), oldRop);
  FDragFrame = frame;
}
