// TControl, the windowless bases and the process-wide mouse state.
//
// CM_MOUSEENTER and CM_MOUSELEAVE come from real mouse tracking: every WM_MOUSEMOVE a
// control window receives (and every WM_MOUSELEAVE, and the application's idle step)
// looks up the control under the cursor; when it is another than before, the old one
// gets CM_MOUSELEAVE and the new one CM_MOUSEENTER, both with lParam 0. Only the
// control under the mouse is told, not its parents.
#include "classlib/Controls.h"

#include <algorithm>
#include <cassert>
#include <cstring>

#include "classlib/Actions.h"
#include "classlib/AliveGuard.h"
#include "classlib/Boundary.h"
#include "classlib/ControlsPrivate.h"
#include "classlib/Exceptions.h"
#include "classlib/Forms.h"
#include "classlib/GdiHandles.h"
#include "classlib/HandleCounter.h"
#include "classlib/Strings.h"

namespace {

TControl* gMouseControl = nullptr;
TControl* gCaptureControl = nullptr;
std::vector<TControlCanvas*> gCanvasesWithDC;

}  // namespace

namespace controls_detail {

void ControlDestroyed(TControl* control) {
  DragControlDestroyed(control);
  if (gMouseControl == control)
    gMouseControl = nullptr;
  if (gCaptureControl == control)
    gCaptureControl = nullptr;
  if (Application)
    Application->ControlDestroyed(control);
}

void HandleControlException(TObject* sender) {
  if (Application) {
    Application->HandleException(sender);
    return;
  }
  ReportBoundaryException(sender ? sender->ClassName() : "control");
}

TShiftState CurrentShiftState() {
  TShiftState shift;
  if (GetKeyState(VK_SHIFT) < 0)
    shift.Include(ssShift);
  if (GetKeyState(VK_CONTROL) < 0)
    shift.Include(ssCtrl);
  if (GetKeyState(VK_MENU) < 0)
    shift.Include(ssAlt);
  return shift;
}

void MoveWindowOrg(HDC dc, int dx, int dy) {
  POINT origin{};
  GetWindowOrgEx(dc, &origin);
  SetWindowOrgEx(dc, origin.x - dx, origin.y - dy, nullptr);
}

}  // namespace controls_detail

using namespace controls_detail;

TShiftState KeysToShiftState(WORD keys) {
  TShiftState shift;
  if (keys & MK_SHIFT)
    shift.Include(ssShift);
  if (keys & MK_CONTROL)
    shift.Include(ssCtrl);
  if (keys & MK_LBUTTON)
    shift.Include(ssLeft);
  if (keys & MK_RBUTTON)
    shift.Include(ssRight);
  if (keys & MK_MBUTTON)
    shift.Include(ssMiddle);
  if (GetKeyState(VK_MENU) < 0)
    shift.Include(ssAlt);
  return shift;
}

TShiftState KeyDataToShiftState(LPARAM keyData) {
  TShiftState shift;
  if (GetKeyState(VK_SHIFT) < 0)
    shift.Include(ssShift);
  if (GetKeyState(VK_CONTROL) < 0)
    shift.Include(ssCtrl);
  if (keyData & 0x20000000)  // the context code: Alt is down
    shift.Include(ssAlt);
  return shift;
}

bool IsAccel(WORD key, const std::string& caption) {
  for (size_t i = 0; i + 1 < caption.size(); ++i) {
    if (caption[i] != '&')
      continue;
    if (caption[i + 1] == '&') {  // "&&" is a plain ampersand
      ++i;
      continue;
    }
    return AsciiUpper(caption[i + 1]) == AsciiUpper(static_cast<char>(key));
  }
  return false;
}

std::string WithoutAccel(const std::string& caption) {
  std::string result;
  for (size_t i = 0; i < caption.size(); ++i) {
    if (caption[i] == '&' && i + 1 < caption.size())
      ++i;
    result += caption[i];
  }
  return result;
}

// ---- Mouse state ----------------------------------------------------------------------

TControl* GetMouseControl() { return gMouseControl; }

void UpdateMouseControl(const TPoint& screenPos) {
  TControl* target = FindDragTarget(screenPos, false);
  if (target == gMouseControl)
    return;

  TControl* old = gMouseControl;
  gMouseControl = target;
  if (old)
    old->Perform(CM_MOUSELEAVE);
  if (target && gMouseControl == target)
    target->Perform(CM_MOUSEENTER);
}

TControl* FindDragTarget(const TPoint& pos, bool allowDisabled) {
  HWND wnd = WindowFromPoint(pos);
  TWinControl* control = nullptr;
  while (wnd && !(control = FindControl(wnd)))
    wnd = GetParent(wnd);
  if (!control)
    return nullptr;
  if (TControl* child = control->ControlAtPos(control->ScreenToClient(pos), allowDisabled))
    return child;
  return control;
}

TControl* GetCaptureControl() {
  TControl* result = FindControl(GetCapture());
  if (result && gCaptureControl && gCaptureControl->GetParent() == result)
    result = gCaptureControl;
  return result;
}

void SetCaptureControl(TControl* control) {
  ReleaseCapture();
  gCaptureControl = nullptr;
  if (!control)
    return;
  if (!control->Is<TWinControl>()) {
    if (!control->GetParent())
      return;
    gCaptureControl = control;
    control = control->GetParent();
  }
  SetCapture(static_cast<TWinControl*>(control)->GetHandle());
}

TCustomForm* GetParentForm(TControl* control) {
  if (!control)
    return nullptr;
  while (control->GetParent())
    control = control->GetParent();
  return ObjectAs<TCustomForm>(control);
}

// ---- TSizeConstraints -------------------------------------------------------------------

void TSizeConstraints::Assign(TPersistent* source) {
  if (auto* other = ObjectAs<TSizeConstraints>(source)) {
    FMinWidth = other->FMinWidth;
    FMinHeight = other->FMinHeight;
    FMaxWidth = other->FMaxWidth;
    FMaxHeight = other->FMaxHeight;
    Changed();
    return;
  }
  inherited::Assign(source);
}

namespace {
// Sets one limit; a minimum above the matching maximum drags the maximum along, and
// the other way round.
bool SetLimit(int& limit, int value, int& other, bool isMinimum) {
  if (value == limit)
    return false;
  limit = value;
  if (other > 0 && limit > 0 && (isMinimum ? limit > other : limit < other))
    other = limit;
  return true;
}
}  // namespace

void TSizeConstraints::SetMinWidth(int value) {
  if (SetLimit(FMinWidth, value, FMaxWidth, true))
    Changed();
}

void TSizeConstraints::SetMinHeight(int value) {
  if (SetLimit(FMinHeight, value, FMaxHeight, true))
    Changed();
}

void TSizeConstraints::SetMaxWidth(int value) {
  if (SetLimit(FMaxWidth, value, FMinWidth, false))
    Changed();
}

void TSizeConstraints::SetMaxHeight(int value) {
  if (SetLimit(FMaxHeight, value, FMinHeight, false))
    Changed();
}

void TSizeConstraints::Apply(int& width, int& height) const {
  if (FMinWidth > 0 && width < FMinWidth)
    width = FMinWidth;
  if (FMaxWidth > 0 && width > FMaxWidth)
    width = FMaxWidth;
  if (FMinHeight > 0 && height < FMinHeight)
    height = FMinHeight;
  if (FMaxHeight > 0 && height > FMaxHeight)
    height = FMaxHeight;
}

void TSizeConstraints::Changed() {
  if (FControl)
    FControl->SetBounds(FControl->GetLeft(), FControl->GetTop(), FControl->GetWidth(), FControl->GetHeight());
  OnChange(this);
}

// ---- TControl -------------------------------------------------------------------------

TControl::TControl(TComponent* AOwner)
    : TComponent(AOwner), FFont(std::make_unique<TFont>()), FConstraints(std::make_unique<TSizeConstraints>(this)) {
  FWindowProc = TWndMethod::Bind<&TControl::WndProc>(this);
  FFont->OnChange = TNotifyEvent::Bind<&TControl::FontChanged>(this);
}

TControl::~TControl() {
  Destroying();
  ControlDestroyed(this);
  SetParent(nullptr);
  if (FPopupMenu)
    RemoveFreeNotification(reinterpret_cast<TComponent*>(FPopupMenu));
  SetAction(nullptr);
  FConstraints.reset();
  FFont.reset();
}

LRESULT TControl::Perform(UINT msg, WPARAM wParam, LPARAM lParam) {
  TMessage message;
  message.Msg = msg;
  message.WParam = wParam;
  message.LParam = lParam;
  FWindowProc(message);
  return message.Result;
}

void TControl::WndProc(TMessage& message) {
  if (message.Msg >= WM_MOUSEFIRST && message.Msg <= WM_MOUSELAST && message.Msg != WM_MOUSEWHEEL) {
    if (!FControlStyle.Contains(csDoubleClicks)) {
      switch (message.Msg) {
        case WM_LBUTTONDBLCLK:
        case WM_RBUTTONDBLCLK:
        case WM_MBUTTONDBLCLK:
          message.Msg -= WM_LBUTTONDBLCLK - WM_LBUTTONDOWN;
          break;
      }
    }
    NoteMouseMessage(this, message);
    switch (message.Msg) {
      case WM_MOUSEMOVE:
        if (Application)
          Application->HintMouseMessage(this, message);
        break;
      case WM_LBUTTONDOWN:
      case WM_LBUTTONDBLCLK:
        // In automatic mode the press belongs to the drag it begins.
        if (FDragMode == dmAutomatic && !GetComponentState().Contains(csDesigning)) {
          BeginDrag(false);
          return;
        }
        FControlState.Include(csLButtonDown);
        break;
      case WM_LBUTTONUP:
        FControlState.Exclude(csLButtonDown);
        break;
    }
  }
  Dispatch(message);
}

void TControl::Dispatch(TMessage& message) {
  switch (message.Msg) {
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
    case WM_LBUTTONUP:
    case WM_RBUTTONDOWN:
    case WM_RBUTTONDBLCLK:
    case WM_RBUTTONUP:
    case WM_MBUTTONDOWN:
    case WM_MBUTTONDBLCLK:
    case WM_MBUTTONUP:
      WMMouseButton(message);
      return;
    case WM_MOUSEMOVE:
      WMMouseMove(message);
      return;
    case CM_ENABLEDCHANGED:
      CMEnabledChanged(message);
      return;
    case CM_VISIBLECHANGED:
      CMVisibleChanged(message);
      return;
    case CM_FONTCHANGED:
      CMFontChanged(message);
      return;
    case CM_COLORCHANGED:
      CMColorChanged(message);
      return;
    case CM_PARENTFONTCHANGED:
      CMParentFontChanged(message);
      return;
    case CM_PARENTCOLORCHANGED:
      CMParentColorChanged(message);
      return;
    case CM_PARENTSHOWHINTCHANGED:
      CMParentShowHintChanged(message);
      return;
    case CM_HITTEST:
      CMHitTest(message);
      return;
    case CM_DRAG:
      CMDrag(message);
      return;
  }
  inherited::Dispatch(message);
}

void TControl::DefaultHandler(TMessage& message) {
  switch (message.Msg) {
    case WM_GETTEXT: {
      auto* buffer = reinterpret_cast<char*>(message.LParam);
      const size_t capacity = message.WParam;
      if (!buffer || capacity == 0) {
        message.Result = 0;
        return;
      }
      const size_t count = std::min(FText.size(), capacity - 1);
      memcpy(buffer, FText.data(), count);
      buffer[count] = '\0';
      message.Result = LRESULT(count);
      return;
    }
    case WM_GETTEXTLENGTH:
      message.Result = LRESULT(FText.size());
      return;
    case WM_SETTEXT:
      FText = message.LParam ? reinterpret_cast<const char*>(message.LParam) : "";
      message.Result = 1;
      return;
  }
  inherited::DefaultHandler(message);
}

void TControl::SendCancelMode() {
  for (TControl* c = this; c; c = c->GetParent())
    if (auto* form = ObjectAs<TCustomForm>(c))
      form->SendCancelMode(this);
}

void TControl::WMMouseButton(TMessage& message) {
  const UINT msg = message.Msg;
  const TMouseButton button = (msg >= WM_RBUTTONDOWN && msg <= WM_RBUTTONDBLCLK) ? mbRight
                              : (msg >= WM_MBUTTONDOWN && msg <= WM_MBUTTONDBLCLK) ? mbMiddle
                                                                                  : mbLeft;
  const bool down = msg == WM_LBUTTONDOWN || msg == WM_RBUTTONDOWN || msg == WM_MBUTTONDOWN;
  const bool dblClick = msg == WM_LBUTTONDBLCLK || msg == WM_RBUTTONDBLCLK || msg == WM_MBUTTONDBLCLK;
  // The window's own handling (a system button reports its click from there) and the
  // click handlers may free the control: what follows each runs only on one alive.
  if (down || dblClick) {
    SendCancelMode();
    if (!Survives(this, [&] { inherited::Dispatch(message); }))
      return;
    if (FControlStyle.Contains(csCaptureMouse))
      SetMouseCapture(true);
    if (button == mbLeft && FControlStyle.Contains(csClickEvents)) {
      if (dblClick && !Survives(this, &TControl::DblClick))
        return;
      if (!dblClick)
        FControlState.Include(csClicked);
    }
    DoMouseDown(message, button, dblClick ? TShiftState{ssDouble} : TShiftState{});
    return;
  }
  if (!Survives(this, [&] { inherited::Dispatch(message); }))
    return;
  if (FControlStyle.Contains(csCaptureMouse))
    SetMouseCapture(false);
  if (button == mbLeft && FControlState.Contains(csClicked)) {
    FControlState.Exclude(csClicked);
    const auto& mouse = MessageAs<TWMMouse>(message);
    if (PointInRect(GetClientRect(), mouse.Pos()) && !Survives(this, &TControl::Click))
      return;
  }
  DoMouseUp(message, button);
}

void TControl::DoMouseDown(TMessage& message, TMouseButton button, TShiftState shift) {
  if (FControlStyle.Contains(csNoStdEvents))
    return;
  const auto& mouse = MessageAs<TWMMouse>(message);
  MouseDown(button, KeysToShiftState(WORD(mouse.Keys)) + shift, mouse.XPos, mouse.YPos);
}

void TControl::DoMouseUp(TMessage& message, TMouseButton button) {
  if (FControlStyle.Contains(csNoStdEvents))
    return;
  const auto& mouse = MessageAs<TWMMouse>(message);
  MouseUp(button, KeysToShiftState(WORD(mouse.Keys)), mouse.XPos, mouse.YPos);
}

void TControl::WMMouseMove(TMessage& message) {
  inherited::Dispatch(message);
  if (FControlStyle.Contains(csNoStdEvents))
    return;
  const auto& mouse = MessageAs<TWMMouse>(message);
  MouseMove(KeysToShiftState(WORD(mouse.Keys)), mouse.XPos, mouse.YPos);
}

void TControl::Click() {
  // A click handler of its own wins over the action; one that is the action's
  // OnExecute (or none) runs the action through the link.
  TBasicAction* action = GetAction();
  if (OnClick.Assigned() && action && !SameEventCode(OnClick, action->OnExecute)) {
    OnClick(this);
    return;
  }
  if (FActionLink && !GetComponentState().Contains(csDesigning)) {
    FActionLink->Execute();
    return;
  }
  OnClick(this);
}

void TControl::DblClick() { OnDblClick(this); }

void TControl::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
  OnMouseDown(this, button, shift, x, y);
}

void TControl::MouseMove(TShiftState shift, int x, int y) { OnMouseMove(this, shift, x, y); }

void TControl::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
  OnMouseUp(this, button, shift, x, y);
}

void TControl::Resize() { OnResize(this); }

bool TControl::GetMouseCapture() { return GetCaptureControl() == this; }

void TControl::SetMouseCapture(bool value) {
  if (GetMouseCapture() == value)
    return;
  SetCaptureControl(value ? this : nullptr);
}

void TControl::SetParent(TWinControl* value) {
  if (FParent == value)
    return;
  if (value == static_cast<TControl*>(this))
    throw EInvalidOperation("A control cannot have itself as its parent");
  if (FParent)
    FParent->RemoveControl(this);
  if (value)
    value->InsertControl(this);
}

TComponent* TControl::GetParentComponent() const { return FParent; }

void TControl::SetParentComponent(TComponent* value) {
  if (auto* parent = ObjectAs<TWinControl>(value))
    SetParent(parent);
}

void TControl::SetBounds(int left, int top, int width, int height) {
  FConstraints->Apply(width, height);
  if (!CanResize(width, height)) {
    width = FWidth;
    height = FHeight;
  }
  if (left == FLeft && top == FTop && width == FWidth && height == FHeight)
    return;
  InvalidateControl(FVisible, false);
  const bool resized = width != FWidth || height != FHeight;
  FLeft = left;
  FTop = top;
  FWidth = width;
  FHeight = height;
  Invalidate();
  Perform(WM_WINDOWPOSCHANGED);
  RequestAlign();
  if (resized && !GetComponentState().Contains(csLoading))
    Resize();
}

void TControl::UpdateBoundsRect(const TRect& r) {
  FLeft = r.left;
  FTop = r.top;
  FWidth = RectWidth(r);
  FHeight = RectHeight(r);
}

TRect TControl::GetClientRect() { return Rect(0, 0, FWidth, FHeight); }

void TControl::SetClientWidth(int value) {
  const TRect client = GetClientRect();
  SetBounds(FLeft, FTop, FWidth - RectWidth(client) + value, FHeight);
}

void TControl::SetClientHeight(int value) {
  const TRect client = GetClientRect();
  SetBounds(FLeft, FTop, FWidth, FHeight - RectHeight(client) + value);
}

TPoint TControl::GetClientOrigin() {
  if (!FParent)
    throw EInvalidOperation(Format("Control '%s' has no parent window", GetName().c_str()));
  TPoint origin = FParent->GetClientOrigin();
  origin.x += FLeft;
  origin.y += FTop;
  return origin;
}

TPoint TControl::ClientToScreen(const TPoint& point) {
  const TPoint origin = GetClientOrigin();
  return Point(point.x + origin.x, point.y + origin.y);
}

TPoint TControl::ScreenToClient(const TPoint& point) {
  const TPoint origin = GetClientOrigin();
  return Point(point.x - origin.x, point.y - origin.y);
}

void TControl::SetAlign(TAlign value) {
  if (value == FAlign)
    return;
  const TAlign old = FAlign;
  FAlign = value;
  FAnchors = (value == alNone || value == alCustom) ? TAnchors{akLeft, akTop}
             : value == alTop                     ? TAnchors{akLeft, akTop, akRight}
             : value == alBottom                  ? TAnchors{akLeft, akRight, akBottom}
             : value == alLeft                    ? TAnchors{akLeft, akTop, akBottom}
             : value == alRight                   ? TAnchors{akRight, akTop, akBottom}
                                                  : TAnchors{akLeft, akTop, akRight, akBottom};
  if (old == alNone || value != alNone)
    RequestAlign();
}

void TControl::SetAnchors(TAnchors value) {
  if (value == FAnchors)
    return;
  FAnchors = value;
}

void TControl::SetAutoSize(bool value) {
  if (value == FAutoSize)
    return;
  FAutoSize = value;
  if (value)
    AdjustSize();
}

void TControl::AdjustSize() {
  if (!FAutoSize)
    return;
  int width = FWidth, height = FHeight;
  if (CanAutoSize(width, height))
    SetBounds(FLeft, FTop, width, height);
}

void TControl::ChangeScale(int M, int D) {
  // The limits are lifted while the bounds scale, so that neither the old ones nor the
  // scaled ones bend the scaled size, and come back scaled.
  TSizeConstraints limits(nullptr), none(nullptr);
  limits.SetMinWidth(MulDiv(FConstraints->GetMinWidth(), M, D));
  limits.SetMinHeight(MulDiv(FConstraints->GetMinHeight(), M, D));
  limits.SetMaxWidth(MulDiv(FConstraints->GetMaxWidth(), M, D));
  limits.SetMaxHeight(MulDiv(FConstraints->GetMaxHeight(), M, D));
  FConstraints->Assign(&none);
  ScaleFont(M, D);
  ScaleBounds(M, D);
  FConstraints->Assign(&limits);
  AdjustSize();
}

void TControl::ScaleBounds(int M, int D) {
  const int left = MulDiv(FLeft, M, D), top = MulDiv(FTop, M, D);
  const TControlStyle style = GetControlStyle();
  const int width = style.Contains(csFixedWidth) ? FWidth : MulDiv(FLeft + FWidth, M, D) - left;
  const int height = style.Contains(csFixedHeight) ? FHeight : MulDiv(FTop + FHeight, M, D) - top;
  SetBounds(left, top, width, height);
}

void TControl::ScaleFont(int M, int D) {
  if (FParentFont || FFont->GetPixelsPerInch() != D)
    return;
  FFont->SetPixelsPerInch(M);
  FFont->SetHeight(MulDiv(FFont->GetHeight(), M, D));
}

void TControl::RequestAlign() {
  if (FParent)
    FParent->AlignControl(this);
}

void TControl::MoveInParent(bool toFront) {
  auto move = [&](auto& list) {
    using TItem = typename std::decay_t<decltype(list)>::value_type;
    auto it = std::find(list.begin(), list.end(), this);
    if (it == list.end())
      return;
    list.erase(it);
    list.insert(toFront ? list.end() : list.begin(), static_cast<TItem>(this));
  };
  auto* self = ObjectAs<TWinControl>(this);
  if (!FParent) {
    if (self && toFront && self->HandleAllocated())
      SetWindowPos(self->GetHandle(), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    return;
  }
  if (self) {
    move(FParent->FWinControls);
    if (self->HandleAllocated())
      SetWindowPos(self->GetHandle(), toFront ? HWND_TOP : HWND_BOTTOM, 0, 0, 0, 0,
                   SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    return;
  }
  move(FParent->FControls);
  Invalidate();
}

void TControl::SetVisible(bool value) {
  if (value == FVisible)
    return;
  VisibleChanging();
  FVisible = value;
  // Showing a form fires its OnShow, hiding it its OnHide: either may free it.
  if (!Survives(this, [&] { Perform(CM_VISIBLECHANGED, value); }))
    return;
  RequestAlign();
}

void TControl::Show() {
  if (FParent)
    FParent->Show();
  SetVisible(true);
}

void TControl::SetEnabled(bool value) {
  if (value == FEnabled)
    return;
  FEnabled = value;
  Perform(CM_ENABLEDCHANGED);
}

std::string TControl::GetText() {
  const int length = int(Perform(WM_GETTEXTLENGTH));
  std::string text(size_t(std::max(length, 0)) + 1, '\0');
  const int copied = int(Perform(WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data())));
  text.resize(size_t(std::clamp(copied, 0, length)));
  return text;
}

void TControl::SetText(const std::string& value) {
  if (GetText() == value)
    return;
  // The window's change notification may reach a handler that frees the control.
  if (Survives(this, &TControl::Perform, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(value.c_str())))
    Perform(CM_TEXTCHANGED);
}

void TControl::FontChanged(TObject*) {
  FParentFont = false;
  Perform(CM_FONTCHANGED);
}

void TControl::SetParentFont(bool value) {
  if (value == FParentFont)
    return;
  FParentFont = value;
  if (FParent && !GetComponentState().Contains(csReading))
    Perform(CM_PARENTFONTCHANGED);
}

void TControl::SetColor(TColor value) {
  if (value == FColor)
    return;
  FColor = value;
  FParentColor = false;
  Perform(CM_COLORCHANGED);
}

void TControl::SetParentColor(bool value) {
  if (value == FParentColor)
    return;
  FParentColor = value;
  if (FParent && !GetComponentState().Contains(csReading))
    Perform(CM_PARENTCOLORCHANGED);
}

void TControl::SetShowHint(bool value) {
  if (value == FShowHint && !FParentShowHint)
    return;
  FShowHint = value;
  FParentShowHint = false;
  Perform(CM_SHOWHINTCHANGED);
}

void TControl::SetParentShowHint(bool value) {
  if (value == FParentShowHint)
    return;
  FParentShowHint = value;
  if (FParent)
    Perform(CM_PARENTSHOWHINTCHANGED);
}

void TControl::SetCursor(TCursor value) {
  if (value == FCursor)
    return;
  FCursor = value;
  Perform(CM_CURSORCHANGED);
}

void TControl::SetPopupMenu(TPopupMenu* value) {
  auto* component = reinterpret_cast<TComponent*>(value);
  if (FPopupMenu)
    RemoveFreeNotification(reinterpret_cast<TComponent*>(FPopupMenu));
  FPopupMenu = value;
  if (component)
    FreeNotification(component);
}

void TControl::Notification(TComponent* AComponent, TOperation operation) {
  inherited::Notification(AComponent, operation);
  if (operation == opRemove && AComponent == reinterpret_cast<TComponent*>(FPopupMenu))
    FPopupMenu = nullptr;
  // A freed action has already detached the link, which then names no action.
  if (operation == opRemove && FActionLink &&
      (!FActionLink->GetAction() || AComponent == FActionLink->GetAction()))
    SetAction(nullptr);
}

// ---- Action -----------------------------------------------------------------------

TBasicAction* TControl::GetAction() const { return FActionLink ? FActionLink->GetAction() : nullptr; }

void TControl::SetAction(TBasicAction* value) {
  if (!value) {
    if (FActionLink && FActionLink->GetAction())
      FActionLink->GetAction()->RemoveFreeNotification(this);
    FActionLink.reset();
    FControlStyle.Exclude(csActionClient);
    return;
  }
  if (value == GetAction())
    return;
  FControlStyle.Include(csActionClient);
  if (!FActionLink)
    FActionLink = std::make_unique<TControlActionLink>(this);
  else if (FActionLink->GetAction())
    FActionLink->GetAction()->RemoveFreeNotification(this);
  FActionLink->SetAction(value);
  FActionLink->OnChange = TNotifyEvent::Bind<&TControl::DoActionChange>(this);
  ActionChange(value, value->GetComponentState().Contains(csLoading));
  value->FreeNotification(this);
}

void TControl::InitiateAction() {
  if (FActionLink)
    FActionLink->Update();
}

void TControl::DoActionChange(TObject* sender) {
  if (sender && sender == static_cast<TObject*>(GetAction()))
    ActionChange(sender, false);
}

void TControl::ActionChange(TObject* sender, bool checkDefaults) {
  if (!sender || !sender->Is<TCustomAction>())
    return;
  auto* action = static_cast<TCustomAction*>(sender);
  if (!checkDefaults || GetCaption().empty())
    SetCaption(action->GetCaption());
  if (!checkDefaults || GetEnabled())
    SetEnabled(action->GetEnabled());
  if (!checkDefaults || FHint.empty())
    SetHint(action->GetHint());
  if (!checkDefaults || FVisible)
    SetVisible(action->GetVisible());
  if (!checkDefaults || FHelpContext == 0)
    SetHelpContext(action->GetHelpContext());
  if (!checkDefaults || !OnClick.Assigned())
    OnClick = action->OnExecute;
}

bool TControl::UseRightToLeftAlignment() const { return false; }

bool TControl::UseRightToLeftReading() const { return false; }

int TControl::DrawTextBiDiModeFlags(int flags) const {
  return UseRightToLeftReading() ? flags | DT_RTLREADING : flags;
}

void TControl::Loaded() {
  inherited::Loaded();
  if (TBasicAction* action = GetAction())
    ActionChange(action, true);
  if (FAutoSize)
    AdjustSize();
}

void TControl::InvalidateControl(bool isVisible, bool isOpaque) {
  if (!isVisible || !FParent || !FParent->HandleAllocated())
    return;
  const TRect r = GetBoundsRect();
  InvalidateRect(FParent->GetHandle(), &r,
                 !(isOpaque || FParent->GetControlStyle().Contains(csOpaque)));
}

void TControl::Invalidate() { InvalidateControl(FVisible, FControlStyle.Contains(csOpaque)); }

void TControl::Update() {
  if (FParent)
    FParent->Update();
}

void TControl::Repaint() {
  if (!FVisible || !FParent || !FParent->HandleAllocated())
    return;
  if (!FControlStyle.Contains(csOpaque)) {
    Invalidate();
    Update();
    return;
  }
  TClientDC dc(FParent->GetHandle());
  IntersectClipRect(dc, FLeft, FTop, FLeft + FWidth, FTop + FHeight);
  FParent->PaintControls(dc, this);
}

void TControl::CMEnabledChanged(TMessage&) { Invalidate(); }

void TControl::CMVisibleChanged(TMessage&) {
  InvalidateControl(true, FVisible && FControlStyle.Contains(csOpaque));
}

void TControl::CMFontChanged(TMessage&) { Invalidate(); }

void TControl::CMColorChanged(TMessage&) { Invalidate(); }

void TControl::CMParentFontChanged(TMessage& message) {
  if (!FParentFont)
    return;
  TFont* source = message.WParam ? reinterpret_cast<TFont*>(message.LParam)
                                 : (FParent ? FParent->GetFont() : nullptr);
  if (source)
    FFont->Assign(source);
  FParentFont = true;
}

void TControl::CMParentColorChanged(TMessage& message) {
  if (!FParentColor)
    return;
  if (message.WParam)
    SetColor(TColor(message.LParam));
  else if (FParent)
    SetColor(FParent->GetColor());
  FParentColor = true;
}

void TControl::CMParentShowHintChanged(TMessage&) {
  if (!FParentShowHint || !FParent)
    return;
  SetShowHint(FParent->GetShowHint());
  FParentShowHint = true;
}

void TControl::CMHitTest(TMessage& message) { message.Result = HTCLIENT; }

// ---- TControlCanvas -------------------------------------------------------------------

TControlCanvas::~TControlCanvas() { FreeHandle(); }

void TControlCanvas::SetControl(TControl* value) {
  if (value == FControl)
    return;
  FreeHandle();
  FControl = value;
}

void TControlCanvas::FreeHandle() {
  if (!FDeviceContext)
    return;
  SetHandle(nullptr);
  HandleDestroyed(THandleKind::DC, FDeviceContext);
  ReleaseDC(FWindowHandle, FDeviceContext);
  FDeviceContext = nullptr;
  FWindowHandle = nullptr;
  std::erase(gCanvasesWithDC, this);
}

void TControlCanvas::CreateHandle() {
  if (!FControl)
    return;
  if (!FDeviceContext) {
    TWinControl* window = ObjectAs<TWinControl>(FControl);
    const bool windowless = !window;
    if (windowless) {
      window = FControl->GetParent();
      if (!window)
        throw EInvalidOperation(
            Format("Control '%s' has no parent window", FControl->GetName().c_str()));
    }
    FWindowHandle = window->GetHandle();
    FDeviceContext = GetDC(FWindowHandle);
    if (!FDeviceContext)
      throw EOutOfResources("Error creating window device context");
    HandleCreated(THandleKind::DC, FDeviceContext);
    gCanvasesWithDC.push_back(this);
    if (windowless) {
      SetViewportOrgEx(FDeviceContext, FControl->GetLeft(), FControl->GetTop(), nullptr);
      IntersectClipRect(FDeviceContext, 0, 0, FControl->GetWidth(), FControl->GetHeight());
    }
  }
  SetHandle(FDeviceContext);
}

void controls_detail::FreeWindowDeviceContexts(HWND wnd) {
  std::vector<TControlCanvas*> canvases = gCanvasesWithDC;
  for (TControlCanvas* canvas : canvases)
    if (canvas->GetWindowHandle() == wnd)
      canvas->FreeHandle();
}

TCanvasPaintScope::TCanvasPaintScope(TControlCanvas* canvas, HDC dc) : FCanvas(canvas) {
  FCanvas->Lock();
  FCanvas->FreeHandle();
  FCanvas->SetHandle(dc);
}

TCanvasPaintScope::~TCanvasPaintScope() {
  FCanvas->SetHandle(nullptr);
  FCanvas->Unlock();
}

void FreeDeviceContexts() {
  std::vector<TControlCanvas*> canvases = gCanvasesWithDC;
  for (TControlCanvas* canvas : canvases)
    if (canvas->GetLockCount() == 0)
      canvas->FreeHandle();
}

// ---- TGraphicControl ------------------------------------------------------------------

TGraphicControl::TGraphicControl(TComponent* AOwner)
    : TControl(AOwner), FCanvas(std::make_unique<TControlCanvas>()) {
  FCanvas->SetControl(this);
}

TGraphicControl::~TGraphicControl() { FCanvas.reset(); }

void TGraphicControl::Dispatch(TMessage& message) {
  if (message.Msg == WM_PAINT) {
    WMPaint(message);
    return;
  }
  inherited::Dispatch(message);
}

void TGraphicControl::WMPaint(TMessage& message) {
  HDC dc = reinterpret_cast<HDC>(message.WParam);
  if (!dc || GetComponentState().Contains(csDestroying))
    return;
  TCanvasPaintScope scope(FCanvas.get(), dc);
  Paint();
}

// ---- TCustomControl -------------------------------------------------------------------

TCustomControl::TCustomControl(TComponent* AOwner)
    : TWinControl(AOwner), FCanvas(std::make_unique<TControlCanvas>()) {
  FCanvas->SetControl(this);
}

TCustomControl::~TCustomControl() {
  Destroying();
  DestroyHandle();  // the window's last messages still reach this class
  FCanvas.reset();
}

void TCustomControl::Dispatch(TMessage& message) {
  if (message.Msg == WM_PAINT) {
    WMPaint(message);
    return;
  }
  inherited::Dispatch(message);
}

void TCustomControl::WMPaint(TMessage& message) {
  SetControlState(GetControlState() + TControlState{csCustomPaint});
  struct TClear {
    TCustomControl* Self;
    ~TClear() { Self->SetControlState(Self->GetControlState() - TControlState{csCustomPaint}); }
  } clear{this};
  inherited::Dispatch(message);
}

void TCustomControl::PaintWindow(HDC dc) {
  TCanvasPaintScope scope(FCanvas.get(), dc);
  Paint();
}
