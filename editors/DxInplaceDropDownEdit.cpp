// Decisions taken here:
// - The buttons lie in the frame: inside the bounds less the shadow, deflated by the
//   border width.
// - Losing the focus to the editor's own popup (a popup that takes the focus) does not
//   close that popup; losing it anywhere else does, without taking its value.
// - The drop-down, close-up and click handlers may free the editor: the keys, clicks
//   and messages that run them check that it is alive before they touch it again.
#include "editors/DxInplaceDropDownEdit.h"

#include <memory>

#include "classlib/AliveGuard.h"
#include "classlib/Forms.h"
#include "classlib/GdiHandles.h"
#include "editors/DxContainer.h"
#include "editors/DxUtils.h"

namespace {

void FillColor(HDC dc, const TRect& r, int colorIndex) { FillRect(dc, &r, GetSysColorBrush(colorIndex)); }

// The ellipsis or arrow of a button in one system colour.
void DrawSign(HDC dc, const TRect& r, TdxEditButtonKind kind, int size, int colorIndex) {
  HBRUSH brush = GetSysColorBrush(colorIndex);
  if (kind == bkEllipsis) {
    const int x = (r.left + r.right - size) / 2;
    const int y = (r.top + r.bottom - size / 2) / 2 - ((r.bottom - r.top) & 1);
    for (int dx : {-2 * size, 0, 2 * size}) {
      const TRect dot = Rect(x + dx, y, x + dx + size, y + size);
      FillRect(dc, &dot, brush);
    }
    return;
  }
  const int x = (r.left + r.right - size) / 2;
  const int y = (r.top + r.bottom - size / 2) / 2 - ((r.bottom - r.top) & 1);
  TPenHandle pen(CreatePen(PS_SOLID, 1, GetSysColor(colorIndex)));
  TSelectGuard penSelected(dc, pen.Get());
  TSelectGuard brushSelected(dc, brush);
  const POINT corners[] = {{x, y}, {x + size - 1, y}, {x + size / 2, y + size / 2}};
  Polygon(dc, corners, 3);
}

}  // namespace

// ---- Construction -------------------------------------------------------------------

TdxInplaceDropDownEdit::TdxInplaceDropDownEdit(TComponent* AOwner) : TdxInplaceDropDownEdit(AOwner, &MetaClass()) {}

TdxInplaceDropDownEdit::TdxInplaceDropDownEdit(TComponent* AOwner, const TdxInplaceEditClass* cls)
    : TdxInplaceMaskEdit(AOwner, cls) {}

TdxInplaceDropDownEdit::~TdxInplaceDropDownEdit() { delete FButtonGlyph; }

TBitmap* TdxInplaceDropDownEdit::GetButtonGlyph() {
  if (!FButtonGlyph)
    FButtonGlyph = new TBitmap();
  return FButtonGlyph;
}

void TdxInplaceDropDownEdit::SetButtonGlyph(TBitmap* value) {
  if (!value || value->GetEmpty()) {
    FreeAndNil(FButtonGlyph);
  } else {
    GetButtonGlyph()->Assign(value);
  }
  StyleChanged();
}

// ---- Class operations ---------------------------------------------------------------

TClass TdxInplaceDropDownEdit::GetViewDataClass(const TdxInplaceEditClass& /*cls*/) {
  return TdxDropDownEditViewData::StaticClass();
}

void TdxInplaceDropDownEdit::FillButtons(const TdxInplaceDropDownEditClass& cls, TdxDropDownEditViewData* v) {
  for (TdxEditButtonRecord& button : v->Buttons)
    button = TdxEditButtonRecord{};
  if (v->HideButtons) {
    v->ButtonCount = 0;
    return;
  }
  v->ButtonCount = 1;
  TdxEditButtonRecord& button = v->Buttons[0];
  button.Glyph = v->Glyph;
  button.Kind = v->Glyph ? bkGlyph : bkDown;
  button.LeftAlignment = false;
  button.Width = cls.GetButtonWidth(v, button);
}

int TdxInplaceDropDownEdit::GetButtonWidth(const TdxInplaceDropDownEditClass& /*cls*/, TdxDropDownEditViewData* v,
                                           const TdxEditButtonRecord& button) {
  const bool flat = v->ButtonStyle == btsFlat || v->ButtonStyle == btsSimple;
  if (button.Kind == bkGlyph && button.Glyph && button.Glyph->GetWidth() > 0)
    return button.Glyph->GetWidth() + 2 + (flat ? 1 : 0) + (v->ButtonStyle == bts3D ? 2 : 0);
  return GetSystemMetrics(SM_CXVSCROLL) - (flat ? 1 : 0);
}

void TdxInplaceDropDownEdit::CalcViewData(const TdxInplaceEditClass& cls, TdxEditViewData* viewData, bool autoSize,
                                          TdxEditDrawRecord& record) {
  inherited::CalcViewData(cls, viewData, autoSize, record);
  auto* v = ObjectAs<TdxDropDownEditViewData>(viewData);
  if (!v)
    return;
  static_cast<const TdxInplaceDropDownEditClass&>(cls).FillButtons(v);
  for (int i = 0; i < v->ButtonCount; ++i) {
    if (v->Buttons[i].LeftAlignment)
      record.InnerRect.left += v->Buttons[i].Width;
    else
      record.InnerRect.right -= v->Buttons[i].Width;
  }
}

void TdxInplaceDropDownEdit::GetButtonRects(const TdxEditDrawRecord& record, TdxDropDownEditViewData* v,
                                            TRect (&rects)[dxMaxEditButtons]) {
  TRect r = record.Bounds;
  r.right -= record.ShadowWidth;
  r.bottom -= record.ShadowWidth;
  InflateRect(&r, -record.BorderWidth, -record.BorderWidth);
  for (int i = v->ButtonCount - 1; i >= 0; --i) {
    const int w = v->Buttons[i].Width;
    if (v->Buttons[i].LeftAlignment) {
      rects[i] = Rect(r.left, r.top, r.left + w, r.bottom);
      r.left += w;
    } else {
      rects[i] = Rect(r.right - w, r.top, r.right, r.bottom);
      r.right -= w;
    }
  }
}

void TdxInplaceDropDownEdit::DrawBorder(const TdxInplaceEditClass& cls, HDC dc, const TdxEditDrawRecord& record,
                                        TdxEditViewData* viewData) {
  inherited::DrawBorder(cls, dc, record, viewData);
  auto* v = ObjectAs<TdxDropDownEditViewData>(viewData);
  if (!v)
    return;
  TRect rects[dxMaxEditButtons];
  GetButtonRects(record, v, rects);
  for (int i = v->ButtonCount - 1; i >= 0; --i)
    DrawDropDownButton(dc, rects[i], v, v->Buttons[i], v->PressedButton == i && v->HotButton == i,
                       v->ButtonTransparent, v->HotButton == i);
}

void TdxInplaceDropDownEdit::DrawDropDownButton(HDC dc, const TRect& rect, TdxDropDownEditViewData* v,
                                                const TdxEditButtonRecord& button, bool pressed, bool transparent,
                                                bool hot) {
  TRect r = rect;
  HBRUSH background = transparent ? v->Brush : GetSysColorBrush(COLOR_BTNFACE);
  int glyphColor = COLOR_BTNTEXT;
  TdxEditButtonViewStyle style = v->ButtonStyle;
  if (style == btsSimple && (pressed || hot))
    style = btsFlat;
  const bool isGlyph = button.Kind == bkGlyph;
  if (transparent && !isGlyph)
    FillRect(dc, &r, background);
  const UINT middle = (transparent || isGlyph) ? 0 : BF_MIDDLE;
  switch (style) {
    case bts3D:
      if (!pressed) {
        DrawEdge(dc, &r, EDGE_RAISED, BF_ADJUST | BF_RECT | middle);
      } else {
        DrawEdge(dc, &r, BDR_RAISEDINNER, BF_ADJUST | BF_RIGHT | BF_BOTTOM | middle);
        DrawEdge(dc, &r, BDR_SUNKENOUTER, BF_ADJUST | BF_LEFT | BF_TOP);
      }
      break;
    case btsFlat:
      if (!transparent) {
        FillColor(dc, Rect(r.left, r.top, r.left + 1, r.bottom), COLOR_BTNFACE);
        ++r.left;
      }
      DrawEdge(dc, &r, pressed ? BDR_SUNKENOUTER : BDR_RAISEDINNER, BF_ADJUST | BF_RECT | middle);
      break;
    case btsSimple:
      if (!transparent) {
        FrameRect(dc, &r, v->Brush);
        InflateRect(&r, -1, -1);
        const TRect column = Rect(r.left, r.top, r.left + 1, r.bottom);
        FillRect(dc, &column, v->Brush);
        ++r.left;
        if (!isGlyph)
          FillColor(dc, r, COLOR_BTNFACE);
      } else {
        InflateRect(&r, -1, -1);
      }
      break;
    case btsHotFlat: {
      FrameRect(dc, &r, GetSysColorBrush(COLOR_BTNSHADOW));
      InflateRect(&r, -1, -1);
      if (pressed || hot) {
        if (!transparent)
          glyphColor = COLOR_WINDOW;
        else if (!pressed)
          glyphColor = COLOR_BTNSHADOW;
      }
      if (!transparent) {
        int fill = COLOR_BTNFACE;
        if (v->Enabled && pressed)
          fill = COLOR_BTNTEXT;
        else if (v->Enabled && hot)
          fill = COLOR_BTNSHADOW;
        if (!isGlyph)
          FillColor(dc, r, fill);
      }
      break;
    }
    default: break;
  }
  const bool flatLike = v->ButtonStyle == btsFlat || v->ButtonStyle == btsSimple;
  int glyphShift = 0;
  if (pressed && style != btsHotFlat) {
    if (isGlyph)
      glyphShift = style == bts3D ? 2 : 1;
    else
      OffsetRect(&r, 1, 1);
  }
  if (isGlyph) {
    if (!button.Glyph)
      return;
    const int gw = button.Glyph->GetWidth(), gh = button.Glyph->GetHeight();
    int x = r.left, y = r.top;
    const int spareX = RectWidth(r) - gw, spareY = RectHeight(r) - gh;
    if (spareX > 0)
      x += spareX / 2 + ((pressed || flatLike) && (spareX & 1) ? 1 : 0);
    if (spareY > 0)
      y += spareY / 2;
    x += glyphShift;
    y += glyphShift;
    DrawBitmapWithBackground(dc, background, Rect(x, y, x + gw, y + gh), button.Glyph);
    return;
  }
  int size;
  if (button.Kind == bkEllipsis) {
    size = RectWidth(r) + (flatLike ? 1 : 0) < 16 ? 1 : 2;
  } else {
    size = RectWidth(r) / 2;
    if (size % 2 == 0)
      ++size;
  }
  if (v->Enabled) {
    DrawSign(dc, r, button.Kind, size, glyphColor);
    return;
  }
  TRect shifted = r;
  OffsetRect(&shifted, 1, 1);
  DrawSign(dc, shifted, button.Kind, size, COLOR_BTNHIGHLIGHT);
  DrawSign(dc, r, button.Kind, size, COLOR_BTNSHADOW);
}

// ---- View data ----------------------------------------------------------------------

TdxEditViewData* TdxInplaceDropDownEdit::CreateViewData(bool forPainting) {
  TdxEditViewData* viewData = inherited::CreateViewData(forPainting);
  if (auto* v = ObjectAs<TdxDropDownEditViewData>(viewData)) {
    v->Glyph = FButtonGlyph && !FButtonGlyph->GetEmpty() ? FButtonGlyph : nullptr;
    v->HideButtons = !IsActive() && GetStyle()->GetButtonTransparence() == ebtHideInactive;
    v->HotButton = FHotButton;
    v->PressedButton = FPressedButton;
  }
  return viewData;
}

// ---- Popup --------------------------------------------------------------------------

bool TdxInplaceDropDownEdit::IsPopupWindow(HWND wnd) {
  if (!wnd || !FPopupControl || !FPopupControl->HandleAllocated())
    return false;
  return wnd == FPopupControl->GetHandle() || IsChild(FPopupControl->GetHandle(), wnd);
}

bool TdxInplaceDropDownEdit::PopupHasFocus() { return IsPopupWindow(::GetFocus()); }

bool TdxInplaceDropDownEdit::IsPopupVisible() {
  return FPopupControl && FPopupControl->HandleAllocated() && IsWindowVisible(FPopupControl->GetHandle()) &&
         (PopupHasFocus() || ForwardKeysToPopup);
}

bool TdxInplaceDropDownEdit::IsFocused() { return inherited::IsFocused() || PopupHasFocus(); }

void TdxInplaceDropDownEdit::SetDroppedDown(bool value) {
  if (value == IsPopupVisible())
    return;
  if (value)
    PostMessageA(GetHandle(), DXM_DROPDOWN, 0, 0);
  else
    CloseUp(false);
}

void TdxInplaceDropDownEdit::DoDropDown() {
  if (Survives(this, OnContainerDropDown))
    OnDropDown(this);
}

TdxPopupBorder TdxInplaceDropDownEdit::GetPopupBorder() {
  if (PopupBorder != pbDefault)
    return PopupBorder;
  if (TCustomdxContainer* container = Container())
    return container->GetDefaultPopupBorder();
  switch (GetStyle()->GetBorderStyle()) {
    case xbsSingle:
    case xbs3D: return pbSingle;
    case xbsFlat: return pbFlat;
    default: return pbFrame3D;
  }
}

void TdxInplaceDropDownEdit::PositionPopup(TWinControl* popup, bool adjustWidth) {
  RECT window{};
  GetWindowRect(GetHandle(), &window);
  TRect r = window;
  std::unique_ptr<TdxEditViewData> viewData(CreateViewData(false));
  TdxEditDrawRecord record;
  EditClass()->CalcViewData(viewData.get(), false, record);
  int width = RectWidth(record.InnerRect) + (viewData->Shadow ? 2 : 0);
  if (adjustWidth && width > popup->GetWidth())
    popup->SetWidth(width);
  r.left += record.InnerRect.left - record.Bounds.left;
  r.right = r.left + width;
  const TdxEditBorderStyle border = GetStyle()->GetBorderStyle();
  if (border == xbsNone || border == xbsSingle)
    InflateRect(&r, 0, -1);
  if (!EditClass()->IsInplace() && border == xbsNone)
    InflateRect(&r, 0, -1);
  const int pw = popup->GetWidth(), ph = popup->GetHeight();
  TPoint p{r.left, r.bottom};
  if (PopupAlignment == taRightJustify)
    p.x = r.right - pw;
  else if (PopupAlignment == taCenter)
    p.x = (r.left + r.right) / 2 - pw / 2;
  PlacePopup(p, pw, ph, r.bottom - r.top);
  popup->SetBounds(p.x, p.y, pw, ph);
}

void TdxInplaceDropDownEdit::FocusEditor() {
  if (!Focused() && CanFocus() && HandleAllocated() && IsWindowVisible(GetHandle()) && Application->GetActive())
    SetFocus();
}

void TdxInplaceDropDownEdit::PopupMouseUp(TObject* sender, TMouseButton button, TShiftState /*shift*/, int x,
                                          int y) {
  auto* popup = ObjectAs<TControl>(sender);
  if (button != mbLeft || !popup)
    return;
  const TRect client = popup->GetClientRect();
  CloseUp(PtInRect(&client, POINT{x, y}) != FALSE);
}

// ---- Buttons ------------------------------------------------------------------------

void TdxInplaceDropDownEdit::SetHotButton(int index) {
  if (index == FHotButton)
    return;
  FHotButton = index;
  RepaintFrame();
}

void TdxInplaceDropDownEdit::StopTracking() {
  if (FPressedButton < 0)
    return;
  FPressedButton = -1;
  if (HandleAllocated() && GetCapture() == GetHandle())
    ReleaseCapture();
  RepaintFrame();
}

void TdxInplaceDropDownEdit::ButtonDown(bool noCapture, int index) {
  if (FPopupControl && FDroppedDown && ForwardKeysToPopup) {
    CloseUp(false);
    return;
  }
  if (FDroppedDown)
    return;
  FPressedButton = FHotButton;
  if (!noCapture)
    SetCapture(GetHandle());
  RepaintFrame();
  if (index != -1)
    SetDroppedDown(true);
}

void TdxInplaceDropDownEdit::SetMouseInside(bool value) {
  inherited::SetMouseInside(value);
  if (!value)
    SetHotButton(-1);
}

void TdxInplaceDropDownEdit::AfterShow() {
  inherited::AfterShow();
  if (ImmediateDropDown)
    SetDroppedDown(true);
}

void TdxInplaceDropDownEdit::HideEdit() {
  if (FDroppedDown && FPopupControl && FPopupControl->HandleAllocated())
    PostMessageA(FPopupControl->GetHandle(), WM_CLOSE, 0, 0);
  FDroppedDown = false;
  inherited::HideEdit();
}

void TdxInplaceDropDownEdit::ForwardClick(int x, int y) { ReplayClickInFrame(x, y); }

void TdxInplaceDropDownEdit::ClickAction() {
  if (ClickOpensPopup && !IsPopupVisible() && !Survives(this, &TdxInplaceDropDownEdit::DropDown))
    return;
  inherited::ClickAction();
}

// ---- Keys ---------------------------------------------------------------------------

void TdxInplaceDropDownEdit::DropDownKeys(WORD& key, TShiftState shift) {
  const bool alt = shift.Contains(ssAlt);
  if (((key == VK_UP || key == VK_DOWN) && alt) || (key == VK_F4 && !alt)) {
    if (FDroppedDown)
      CloseUp(true);
    else
      DropDown();
    key = 0;
    return;
  }
  if ((key == VK_RETURN || key == VK_ESCAPE) && !alt && FDroppedDown) {
    const bool enter = key == VK_RETURN;
    key = 0;
    if (Survives(this, &TdxInplaceDropDownEdit::CloseUp, enter) && enter)
      RemovePendingChar();
  }
}

void TdxInplaceDropDownEdit::KeyDown(WORD& key, TShiftState shift) {
  const bool alt = shift.Contains(ssAlt);
  if (!ForwardKeysToPopup && (((key == VK_UP || key == VK_DOWN) && alt) || (key == VK_F4 && !alt))) {
    key = 0;
    if (!Survives(this, &TdxInplaceDropDownEdit::DropDown))
      return;
  }
  inherited::KeyDown(key, shift);
}

void TdxInplaceDropDownEdit::WndProc(TMessage& message) {
  const UINT msg = message.Msg;
  if (!ForwardKeysToPopup || (msg != WM_KEYDOWN && msg != WM_CHAR && msg != WM_SYSKEYDOWN)) {
    inherited::WndProc(message);
    return;
  }
  if (msg != WM_CHAR) {
    WORD key = WORD(message.WParam);
    const bool alive = Survives(this, &TdxInplaceDropDownEdit::DropDownKeys, key, KeyDataToShiftState(message.LParam));
    message.WParam = key;
    if (!alive)
      return;
  }
  if (message.WParam == 0 || !IsPopupVisible()) {
    inherited::WndProc(message);
    return;
  }
  if (!EditWhileDropped) {
    message.Result = SendMessageA(FPopupControl->GetHandle(), msg, message.WParam, message.LParam);
    return;
  }
  const WORD key = WORD(message.WParam);
  if (msg == WM_CHAR || (msg == WM_KEYDOWN && (key == VK_BACK || key == VK_DELETE))) {
    if (!Survives(this, [&] { inherited::WndProc(message); }))  // the change it makes fires OnChange
      return;
    std::string text;
    GetText(text);
    DropDownTextChanged(text);
    return;
  }
  if (msg == WM_KEYDOWN) {
    if ((key == VK_END || key == VK_HOME || key == VK_LEFT || key == VK_RIGHT) && HasTextArea())
      inherited::WndProc(message);
    else if (key >= VK_PRIOR && key <= VK_DOWN)
      message.Result = SendMessageA(FPopupControl->GetHandle(), msg, message.WParam, message.LParam);
    return;
  }
  if (msg == WM_SYSKEYDOWN && key == VK_F4)
    inherited::WndProc(message);
}

// ---- Mouse and messages -------------------------------------------------------------

void TdxInplaceDropDownEdit::MouseMove(TShiftState shift, int x, int y) {
  const bool tracking = FPressedButton >= 0 || (ClickOpensPopup && shift.Contains(ssLeft));
  if (tracking && FDroppedDown && FPopupControl && FPopupControl->HandleAllocated()) {
    const TPoint p = FPopupControl->ScreenToClient(ClientToScreen(TPoint{x, y}));
    const TRect client = FPopupControl->GetClientRect();
    if (PtInRect(&client, POINT{p.x, p.y})) {
      StopTracking();
      SendMessageA(FPopupControl->GetHandle(), WM_LBUTTONDOWN, MK_LBUTTON,
                   MAKELPARAM(WORD(short(p.x)), WORD(short(p.y))));
    }
    return;
  }
  inherited::MouseMove(shift, x, y);
}

void TdxInplaceDropDownEdit::WMNCHitTest(TMessage& message) {
  inherited::Dispatch(message);
  if (GetComponentState().Contains(csDesigning))
    return;
  std::unique_ptr<TdxEditViewData> viewData(CreateViewData(false));
  auto* v = ObjectAs<TdxDropDownEditViewData>(viewData.get());
  if (!v)
    return;
  TdxEditDrawRecord record;
  EditClass()->CalcViewData(v, false, record);
  TRect rects[dxMaxEditButtons];
  GetButtonRects(record, v, rects);
  const POINT p = ScreenToWindow(message.LParam);
  for (int i = v->ButtonCount - 1; i >= 0; --i) {
    if (!PtInRect(&rects[i], p))
      continue;
    int hot = (GetCapture() == nullptr || FPressedButton >= 0) ? i : -1;
    if (FPressedButton >= 0 && FPressedButton != i)
      hot = -1;
    SetHotButton(hot);
    message.Result = HTBORDER;
    return;
  }
  SetHotButton(-1);
}

void TdxInplaceDropDownEdit::WMLButtonUp(TMessage& message) {
  if (FPressedButton >= 0) {
    const int clicked = FHotButton != -1 ? FPressedButton : -1;
    StopTracking();
    if (clicked >= 0 && !Survives(this, &TdxInplaceDropDownEdit::ButtonClick, clicked))
      return;
  }
  inherited::Dispatch(message);
}

void TdxInplaceDropDownEdit::WMMouseWheel(TMessage& message) {
  const bool towardUser = short(HIWORD(message.WParam)) <= 0;
  if (IsPopupVisible())
    SendMessageA(FPopupControl->GetHandle(), WM_VSCROLL, towardUser ? SB_LINEDOWN : SB_LINEUP, 0);
  else
    ScrollValue(towardUser ? 1 : -1, false);
  message.Result = 1;
}

void TdxInplaceDropDownEdit::Dispatch(TMessage& message) {
  switch (message.Msg) {
    case WM_NCHITTEST: WMNCHitTest(message); return;
    case WM_NCLBUTTONDOWN:
      inherited::Dispatch(message);
      if (FHotButton >= 0 && Survives(this, &TdxInplaceDropDownEdit::ButtonDown, false, FHotButton) &&
          ::GetFocus() != GetHandle())
        ::SetFocus(GetHandle());
      return;
    case WM_NCLBUTTONDBLCLK:
      inherited::Dispatch(message);
      SendMessageA(GetHandle(), WM_NCLBUTTONDOWN, message.WParam, message.LParam);
      return;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
      if (!ClickOpensPopup || Survives(this, &TdxInplaceDropDownEdit::ButtonDown, true, 0))
        inherited::Dispatch(message);
      return;
    case WM_LBUTTONUP: WMLButtonUp(message); return;
    case WM_MOUSEWHEEL: WMMouseWheel(message); return;
    case WM_KILLFOCUS:
      inherited::Dispatch(message);
      // The window taking the focus is named by the message: while it is sent, the
      // system may not answer it as the focus yet.
      if (FDroppedDown && !PopupHasFocus() && !IsPopupWindow(reinterpret_cast<HWND>(message.WParam)))
        CloseUp(false);
      return;
    case WM_GETDLGCODE:
      inherited::Dispatch(message);
      if (EditClass()->IsInplace() || IsPopupVisible())
        message.Result |= DLGC_WANTALLKEYS;
      return;
    case WM_CANCELMODE:
      StopTracking();
      inherited::Dispatch(message);
      return;
    case WM_CAPTURECHANGED:
      inherited::Dispatch(message);
      StopTracking();
      return;
    case CM_CANCELMODE: {
      inherited::Dispatch(message);
      auto* sender = reinterpret_cast<TObject*>(message.LParam);
      if (FDroppedDown && sender != this && sender != FPopupControl)
        CloseUp(false);
      return;
    }
    case CM_HINTSHOW: message.Result = IsPopupVisible() ? 1 : 0; return;
    case DXM_POPUPHIDDEN: FDroppedDown = false; return;
    case DXM_DROPDOWN: DropDown(); return;
  }
  inherited::Dispatch(message);
}
