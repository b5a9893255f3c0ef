#include "editors/DxInplacePopupControl.h"

#include "classlib/AliveGuard.h"
#include "classlib/Forms.h"
#include "classlib/GdiHandles.h"
#include "editors/DxInplaceEdit.h"
#include "editors/DxUtils.h"

TdxInplacePopupControl::TdxInplacePopupControl(TComponent* AOwner) : TCustomControl(AOwner) {}

int TdxInplacePopupControl::BorderWidth(TdxPopupBorder border) {
  switch (border) {
    case pbSingle: return 1;
    case pbFrame3D: return 4;
    case pbFlat: return 2;
    default: return 0;
  }
}

void TdxInplacePopupControl::SetPopupBorder(TdxPopupBorder value) {
  if (FPopupBorder == value)
    return;
  FPopupBorder = value;
  if (HandleAllocated())
    RecreateWnd();
}

void TdxInplacePopupControl::SetShadow(bool value) {
  if (FShadow == value)
    return;
  FShadow = value;
  if (HandleAllocated())
    RecreateWnd();
}

TCustomForm* TdxInplacePopupControl::OwnerForm() const {
  return FOwnerEdit ? GetParentForm(FOwnerEdit) : nullptr;
}

void TdxInplacePopupControl::CreateParams(TCreateParams& params) {
  inherited::CreateParams(params);
  if (!FIsPopup)
    return;
  // A popup drops out of its form, so it is a popup window the form owns.
  params.Style = (params.Style & ~DWORD(WS_CHILD)) | WS_POPUP;
  if (TCustomForm* form = OwnerForm())
    params.WndParent = form->GetHandle();
}

void TdxInplacePopupControl::ShowPopup() {
  ShowWindow(GetHandle(), SW_SHOW);
  if (TCustomForm* form = OwnerForm())
    SendMessageA(form->GetHandle(), WM_NCACTIVATE, TRUE, 0);
}

void TdxInplacePopupControl::HidePopup() {
  if (HandleAllocated() && IsWindowVisible(GetHandle())) {
    SetWindowPos(GetHandle(), nullptr, 0, 0, 0, 0,
                 SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_HIDEWINDOW);
    // The focus going back runs the editor's handlers, which may free it and this popup.
    if (Application->GetActive() && FOwnerEdit && FOwnerEdit->HandleAllocated() &&
        !Survives(this, [this] { ::SetFocus(FOwnerEdit->GetHandle()); }))
      return;
  }
  if (FOwnerEdit && FOwnerEdit->HandleAllocated())
    PostMessageA(FOwnerEdit->GetHandle(), DXM_POPUPHIDDEN, 0, 0);
}

void TdxInplacePopupControl::Dispatch(TMessage& message) {
  if (!FIsPopup) {
    inherited::Dispatch(message);
    return;
  }
  switch (message.Msg) {
    case WM_MOUSEACTIVATE:
      message.Result = MA_NOACTIVATE;
      return;
    case WM_ACTIVATE:
      if (LOWORD(message.WParam) == WA_INACTIVE) {
        TCustomForm* form = OwnerForm();
        if (form && reinterpret_cast<HWND>(message.LParam) != form->GetHandle())
          SendMessageA(form->GetHandle(), WM_NCACTIVATE, FALSE, 0);
      }
      inherited::Dispatch(message);
      return;
    case WM_KILLFOCUS:
      // Hiding gives the focus back to the editor, whose handlers may free it and this
      // popup with it; a popup being destroyed hands nothing back.
      if (GetComponentState().Contains(csDestroying) ||
          !Survives(this, [&] {
            inherited::Dispatch(message);
            HidePopup();
          }))
        return;
      if (FOwnerEdit)
        FOwnerEdit->EditorExit(message);
      return;
    case WM_NCCALCSIZE: WMNCCalcSize(message); return;
    case WM_NCPAINT: WMNCPaint(message); return;
    case WM_SIZE: WMSize(message); return;
  }
  inherited::Dispatch(message);
}

void TdxInplacePopupControl::WMNCCalcSize(TMessage& message) {
  DxPopupFrameCalcSize(*reinterpret_cast<RECT*>(message.LParam), FPopupBorder, FShadow, FShadowSize);
  message.Result = 0;
}

void TdxInplacePopupControl::WMNCPaint(TMessage& message) {
  message.Result = 0;
  if (FDrawNCBorder)
    DxPopupFramePaint(GetHandle(), FPopupBorder, FShadow, FShadowSize);
}

void TdxInplacePopupControl::WMSize(TMessage& message) {
  if (Survives(this, [&] { inherited::Dispatch(message); }))
    DxPopupFrameShape(GetHandle(), FShadow, FShadowSize);
}

// ---- The popup frame ------------------------------------------------------------------

void DxPopupFrameCalcSize(RECT& rect, TdxPopupBorder border, bool shadow, int shadowSize) {
  const int w = TdxInplacePopupControl::BorderWidth(border);
  InflateRect(&rect, -w, -w);
  if (shadow) {
    rect.right -= shadowSize;
    rect.bottom -= shadowSize;
  }
}

void DxPopupFramePaint(HWND wnd, TdxPopupBorder border, bool shadow, int shadowSize) {
  RECT window{};
  GetWindowRect(wnd, &window);
  TRect r = Rect(0, 0, window.right - window.left, window.bottom - window.top);
  TRect shadowRect{};
  if (shadow) {
    r.right -= shadowSize;
    r.bottom -= shadowSize;
    shadowRect = r;
    OffsetRect(&shadowRect, shadowSize, shadowSize);
  }
  TWindowDC dc(wnd);
  switch (border) {
    case pbSingle: DrawEdge(dc, &r, BDR_RAISEDOUTER, BF_RECT | BF_ADJUST | BF_MONO); break;
    case pbFrame3D:
      DrawEdge(dc, &r, EDGE_RAISED, BF_RECT | BF_ADJUST);
      DrawEdge(dc, &r, BDR_SUNKENINNER, BF_RECT | BF_ADJUST | BF_FLAT);
      DrawEdge(dc, &r, BDR_SUNKENOUTER, BF_RECT | BF_ADJUST);
      break;
    case pbFlat: DrawEdge(dc, &r, EDGE_RAISED, BF_RECT | BF_ADJUST); break;
    default: break;
  }
  if (shadow && DxEditShadowBrush())
    DrawShadow(dc, shadowRect, shadowSize, DxEditShadowBrush());
  const LONG style = GetWindowLongA(wnd, GWL_STYLE);
  if ((style & WS_HSCROLL) && (style & WS_VSCROLL)) {
    const TRect corner = Rect(r.right - GetSystemMetrics(SM_CXVSCROLL), r.bottom - GetSystemMetrics(SM_CYHSCROLL),
                              r.right, r.bottom);
    FillRect(dc, &corner, GetSysColorBrush(COLOR_BTNFACE));
  }
}

void DxPopupFrameShape(HWND wnd, bool shadow, int shadowSize) {
  if (!shadow) {
    SetWindowRgn(wnd, nullptr, TRUE);
    return;
  }
  RECT window{};
  GetWindowRect(wnd, &window);
  const TRect body = Rect(0, 0, window.right - window.left - shadowSize, window.bottom - window.top - shadowSize);
  HRGN region = CreateRectRgnIndirect(&body);
  TRegionHandle moved(CreateRectRgn(body.left + shadowSize, body.top + shadowSize, body.right + shadowSize,
                                    body.bottom + shadowSize));
  CombineRgn(region, region, moved.Get(), RGN_OR);
  // The window owns the region from here on.
  SetWindowRgn(wnd, region, TRUE);
}
