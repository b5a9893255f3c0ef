// Decisions taken here:
// - Each editor class hands its own metaclass to the base constructor, so that the
//   choices the constructor makes by class (in place or stand-alone, the style class)
//   are those of the class being made, not of the base.
// - Linking an editor to the controller it is already linked to changes nothing.
// - A wheel turn the editor hands to its container ends there: passed on to the
//   default window procedure as well, it reached the container twice and scrolled it
//   by twice the lines.
// - The region refresh runs at most once at a time: the bounds it sets resize the
//   window, and the resize would ask for the same refresh again.
// - A handler of the editor's validation, of its container's key hooks, of a change, of a
//   selection change or of a mouse event may free the editor: whatever fires one (a text
//   set, a key, the focus, a message handed on) checks that it is alive before it touches
//   it again (a refusal is raised all the same).
// - A value the editor cannot show whole is taken read-only, and a key that would
//   change it is refused with the reason: an edit of the part shown would be handed back
//   as the whole value. The state holds until the next value is handed in, whatever the
//   editor does to its own text meanwhile.
#include "editors/DxInplaceEdit.h"

#include <cassert>
#include <memory>

#include "classlib/AliveGuard.h"
#include "classlib/Boundary.h"
#include "classlib/FlagScope.h"
#include "classlib/Forms.h"
#include "classlib/GdiHandles.h"
#include "editors/DxContainer.h"
#include "editors/DxTextHelpers.h"

const char* const sdxInvalidInput = "Invalid input value. Use escape key to abandon changes";
const char* const sdxValueShownInPart =
    "This value holds characters the editor cannot show (a NUL byte, or a line break in a single line); it is "
    "read-only here so that it is kept whole";

TdxEditViewData* TdxInplaceEditClass::NewViewData() const {
  TObject* object = GetViewDataClass()->NewInstance();
  auto* viewData = ObjectAs<TdxEditViewData>(object);
  assert(viewData && "a view-data class derives from TdxEditViewData");
  return viewData;
}

// ---- Construction -------------------------------------------------------------------

TdxInplaceEdit::TdxInplaceEdit(TComponent* AOwner) : TdxInplaceEdit(AOwner, &MetaClass()) {}

TdxInplaceEdit::TdxInplaceEdit(TComponent* AOwner, const TdxInplaceEditClass* cls) : TWinControl(AOwner) {
  FAutoSizeFlag = true;
  FLinkAlignment = DefaultAlignment();
  auto* container = ObjectAs<TCustomdxContainer>(AOwner);
  if (cls->IsInplace() && container)
    FStyle.reset(container->CreateEditStyle(this));
  else
    FStyle.reset(cls->GetEditStyleClass()->Create(this));
  if (cls->IsInplace()) {
    SetParentColor(false);
    SetCtl3D(false);
    SetTabStop(false);
  } else {
    SetBounds(GetLeft(), GetTop(), 121, 24);
    SetTabStop(true);
  }
}

TdxInplaceEdit::~TdxInplaceEdit() {
  Destroying();
  if (FStyleController && !FStyleController->GetComponentState().Contains(csDestroying))
    FStyleController->RemoveListener(this);
  FStyle.reset();
}

TCustomdxContainer* TdxInplaceEdit::Container() const {
  if (!EditClass()->IsInplace())
    return nullptr;
  return ObjectAs<TCustomdxContainer>(GetOwner());
}

// ---- Showing ------------------------------------------------------------------------

void TdxInplaceEdit::ShowEdit(const TRect& rect) {
  if (!EditClass()->IsInplace() || IsRectEmpty(&rect))
    return;
  // The resize, focus and selection handlers may free the editor.
  if (!Survives(this, [&] { SetBounds(rect.left - 2, rect.top - 2, RectWidth(rect) + 4, RectHeight(rect) + 4); }))
    return;
  const bool wasShown = FShown;
  const auto show = [&] {
    ShowWindowInPlace();
    if (::GetFocus() != GetHandle())
      ::SetFocus(GetHandle());
  };
  if (Survives(this, show) && Survives(this, &TdxInplaceEdit::SelectAll) && !wasShown && FShowLock == 0)
    AfterShow();
}

void TdxInplaceEdit::ShowWindowInPlace() {
  if (!EditClass()->IsInplace()) {
    Show();
    return;
  }
  SetWindowPos(GetHandle(), nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_SHOWWINDOW);
  FShown = true;
}

void TdxInplaceEdit::HideEdit() {
  if (!EditClass()->IsInplace()) {
    Hide();
    return;
  }
  FShown = false;
  if (!HandleAllocated())
    return;
  HWND wnd = GetHandle();
  if (IsWindowVisible(wnd)) {
    ValidateRect(wnd, nullptr);
    InvalidateRect(wnd, nullptr, TRUE);
    TCustomdxContainer* container = Container();
    if (container && container->HandleAllocated()) {
      RECT r{};
      GetWindowRect(wnd, &r);
      MapWindowPoints(nullptr, container->GetHandle(), reinterpret_cast<POINT*>(&r), 2);
      ValidateRect(container->GetHandle(), &r);
      InvalidateRect(container->GetHandle(), &r, FALSE);
    }
  }
  SetWindowPos(wnd, nullptr, 0, 0, 0, 0, SWP_HIDEWINDOW | SWP_NOREDRAW | SWP_NOZORDER);
}

void TdxInplaceEdit::IncValidateLock() {
  if (EditClass()->IsInplace())
    ++FValidateLock;
}

void TdxInplaceEdit::DecValidateLock() {
  if (EditClass()->IsInplace())
    --FValidateLock;
}

// ---- Value --------------------------------------------------------------------------

void TdxInplaceEdit::SetEditValue(const Variant& value) { TakeValueText(VarIsNull(value) ? std::string() : VarToStr(value)); }

void TdxInplaceEdit::TakeValueText(const std::string& text) {
  SetValueShownInPart(false);
  SetText(text);
  // The control's own text: the form the value has in the editor's window.
  if (!ShowsTextWhole(text, TControl::GetText()))
    SetValueShownInPart(true);
}

bool TdxInplaceEdit::ShowsTextWhole(const std::string& value, const std::string& shown) {
  return shown == value && value.find('\0') == std::string::npos;
}

void TdxInplaceEdit::SetValueShownInPart(bool value) {
  if (value == FValueShownInPart)
    return;
  FValueShownInPart = value;
  SetReadOnlyValue(FReadOnly);
}

void TdxInplaceEdit::RefuseChangeOfValueShownInPart() {
  if (!FValueShownInPart)
    return;
  MessageBeep(0);
  throw EdxEditInvalidInput(sdxValueShownInPart);
}

void TdxInplaceEdit::GetDisplayValue(Variant& value, bool /*forPainting*/) {
  std::string text;
  GetText(text);
  value = text;
}

void TdxInplaceEdit::GetEditValue(Variant& value) {
  std::string text;
  GetText(text);
  value = text;
}

void TdxInplaceEdit::FocusAndSelect(bool& handled) {
  SetFocus();
  handled = true;
}

void TdxInplaceEdit::Reload() {
  RefreshLinkValues();
  LoadValue();
}

void TdxInplaceEdit::SaveValue() {
  if (!Survives(this, &TdxInplaceEdit::ValidateEdit))
    return;
  Variant value;
  GetEditValue(value);
}

void TdxInplaceEdit::ValidateEdit() {
  if (!GetModified() || FValidateLock > 0)
    return;
  bool accept = true;
  std::string errorText = sdxInvalidInput;
  const bool alive = Survives(this, OnValidate, errorText, accept);
  if (accept)
    return;
  MessageBeep(0);
  if (alive && HandleAllocated() && IsWindowVisible(GetHandle()))
    ::SetFocus(GetHandle());
  throw EdxEditInvalidInput(errorText);
}

void TdxInplaceEdit::SetTextAsUser(const std::string& text) {
  if (CanModify())
    (void)ChangeText(text);
  else
    SetModified(true);
}

bool TdxInplaceEdit::ChangeText(const std::string& text) {
  if (!Survives(this, [&] { SetText(text); }))
    return false;
  SetModified(true);
  return true;
}

void TdxInplaceEdit::Reset() {
  if (!GetModified() || !CanUndo())
    return;
  const bool savedModified = FSavedModified;
  // A copy of the text: the handler of the change may free the editor.
  if (Survives(this, [&] { SetText(std::string(FSavedText)); }))
    SetModified(savedModified);
}

void TdxInplaceEdit::AcceptValue() {
  SetModified(false);
  // In place, SetEditing takes the snapshot whatever the flag was.
  SetEditing(true);
}

void TdxInplaceEdit::RestoreDefaults() {
  FAssignedValues = {};
  SetAlignmentValue(DefaultAlignment());
  FLinkAlignment = DefaultAlignment();
  SetReadOnlyValue(DefaultReadOnly());
}

void TdxInplaceEdit::Change() {
  if (GetParent())
    GetParent()->Perform(CM_CHANGED, 0, reinterpret_cast<LPARAM>(this));
  OnChange(this);
}

void TdxInplaceEdit::SetEditing(bool value) {
  const bool inplace = EditClass()->IsInplace();
  if (inplace || value != FEditing) {
    FSavedModified = GetModified();
    GetText(FSavedText);
  }
  if (!inplace && value != FEditing)
    FEditing = value;
}

// ---- Queries ------------------------------------------------------------------------

bool TdxInplaceEdit::CanModify() {
  if (GetReadOnly() || FValueShownInPart)
    return false;
  if (TCustomdxContainer* container = Container())
    return container->CanEditModify();
  return true;
}

bool TdxInplaceEdit::CanEditText() { return !GetReadOnly() && !FValueShownInPart; }

bool TdxInplaceEdit::IsActive() { return FMouseInside || (IsFocused() && GetEnabled()); }

bool TdxInplaceEdit::ContainerEditing() {
  TCustomdxContainer* container = Container();
  return container && container->IsEditing();
}

bool TdxInplaceEdit::IsEditKey(WORD key, TShiftState shift) {
  if ((key == 'V' || key == 'X') && shift.Contains(ssCtrl))
    return true;
  if (key == VK_BACK || key == VK_DELETE)
    return true;
  return key == VK_INSERT && shift == TShiftState{ssShift};
}

bool TdxInplaceEdit::IsValidChar(char key) {
  if (TCustomdxContainer* container = Container())
    return container->IsValidEditChar(key);
  return true;
}

bool TdxInplaceEdit::IsCtrlOnly() { return GetAsyncKeyState(VK_CONTROL) < 0 && GetAsyncKeyState(VK_MENU) >= 0; }

void TdxInplaceEdit::ContainerNotify(bool value) {
  if (TCustomdxContainer* container = Container())
    container->EditorNotify(value);
}

void TdxInplaceEdit::EditorExit(TMessage& message) {
  RefreshRegionIfHot();
  if (NoTextArea())
    Invalidate();
  TCustomdxContainer* container = Container();
  if (!container)
    return;
  const HWND focused = reinterpret_cast<HWND>(message.WParam);
  if (container->HandleAllocated() && focused == container->GetHandle())
    return;
  container->EditorFocusChanged();
}

// ---- Properties ---------------------------------------------------------------------

void TdxInplaceEdit::SetStyleController(TdxEditStyleController* value) {
  if (value == FStyleController)
    return;
  if (FStyleController) {
    if (!FStyleController->GetComponentState().Contains(csDestroying)) {
      FStyleController->RemoveListener(this);
      FStyleController->RemoveFreeNotification(this);
    }
  }
  FStyleController = value;
  if (!value) {
    StyleChanged();
    return;
  }
  value->AddListener(this);
  value->FreeNotification(this);
  value->DoStyleChanged(this);
}

void TdxInplaceEdit::Notification(TComponent* AComponent, TOperation operation) {
  inherited::Notification(AComponent, operation);
  if (operation == opRemove && AComponent == FStyleController)
    SetStyleController(nullptr);
}

void TdxInplaceEdit::SetAlignment(TAlignment value) {
  FAssignedValues.Include(evAlignment);
  SetAlignmentValue(value);
}

void TdxInplaceEdit::SetAlignmentValue(TAlignment value) {
  if (FAlignment == value)
    return;
  FAlignment = value;
  Invalidate();
}

void TdxInplaceEdit::SetReadOnly(bool value) {
  FAssignedValues.Include(evReadOnly);
  SetReadOnlyValue(value);
}

void TdxInplaceEdit::SetAutoSizeFlag(bool value) {
  if (FAutoSizeFlag == value)
    return;
  FAutoSizeFlag = value;
  StyleChanged();
}

void TdxInplaceEdit::SetEditMargins(const TRect& value) {
  if (EqualRect(&value, &FEditMargins))
    return;
  FEditMargins = value;
  if (HandleAllocated())
    RecreateWnd();
}

void TdxInplaceEdit::RepaintFrame() {
  if (HandleAllocated())
    SendMessageA(GetHandle(), WM_NCPAINT, 1, 0);
}

POINT TdxInplaceEdit::ScreenToWindow(LPARAM screenPoint) {
  POINT p{short(LOWORD(screenPoint)), short(HIWORD(screenPoint))};
  ::ScreenToWindow(GetHandle(), p);
  return p;
}

void TdxInplaceEdit::ReplayClickInFrame(int x, int y) {
  TCustomdxContainer* container = Container();
  if (!container)
    return;
  const TPoint screen = container->ClientToScreen(TPoint{x, y});
  ReleaseCapture();
  const LPARAM point = MAKELPARAM(WORD(short(screen.x)), WORD(short(screen.y)));
  const LRESULT hit = SendMessageA(GetHandle(), WM_NCHITTEST, 0, point);
  SendMessageA(GetHandle(), WM_NCLBUTTONDOWN, WPARAM(hit), point);
}

// ---- Keys ---------------------------------------------------------------------------

void TdxInplaceEdit::KeyDown(WORD& key, TShiftState shift) {
  if (key == VK_ESCAPE && !Survives(this, &TdxInplaceEdit::Reset))
    return;
  if (HasTextArea() && IsEditKey(key, shift))
    RefuseChangeOfValueShownInPart();
  if (!Container()) {
    if (IsEditKey(key, shift) && CanEditText() && !CanModify())
      key = 0;
    if (key == VK_RETURN && ValidateOnEnter() && !Survives(this, &TdxInplaceEdit::ValidateEdit))
      return;
    inherited::KeyDown(key, shift);
    return;
  }
  InplaceKeyDown(key, shift);
}

void TdxInplaceEdit::InplaceKeyDown(WORD& key, TShiftState shift) {
  TCustomdxContainer* container = Container();
  const bool navigation = key == VK_TAB || key == VK_RETURN || key == VK_ESCAPE || key == VK_PRIOR ||
                          key == VK_NEXT || key == VK_UP || key == VK_DOWN || key == VK_INSERT;
  const TAliveGuard alive(this);
  if (navigation)
    ValidateEdit();
  if (!alive.Alive())
    return;
  // The container's handlers may free the editor: the lock comes down only on one alive.
  ++FValidateLock;
  const TOnExitIfAlive unlock(this, [this] { --FValidateLock; });
  const bool toContainer = (key == VK_TAB && !shift.Contains(ssAlt)) || key == VK_RETURN ||
                           key == VK_ESCAPE || key == VK_PRIOR || key == VK_NEXT || key == VK_UP ||
                           key == VK_DOWN || (key == VK_INSERT && shift.Empty());
  if (toContainer) {
    container->ContainerKeyDown(key, shift);
    key = 0;
  } else if (key == VK_INSERT && shift == TShiftState{ssShift}) {
    if (!container->CanEditModify())
      key = 0;
  } else if (key == VK_F2) {
    container->DoEditorKey(key, shift);
    if (!alive.Alive())
      return;
    if (key == VK_F2) {
      F2Action();
      return;
    }
  }
  if (key == VK_DELETE && !container->CanEditModify())
    key = 0;
  if (key == 0)
    return;
  container->DoEditorKey(key, shift);
  if (!alive.Alive())
    return;
  if (IsEditKey(key, shift) && CanEditText() && !CanModify())
    key = 0;
  inherited::KeyDown(key, shift);
}

void TdxInplaceEdit::KeyPress(char& key) {
  TCustomdxContainer* container = Container();
  // The container's key handler may free the container, and the editor with it.
  if (container && !Survives(this, [&] { container->ContainerKeyPress(key); })) {
    key = 0;
    return;
  }
  if (uint8_t(key) >= 32 && !IsValidChar(key)) {
    key = 0;
    MessageBeep(0);
  }
  if (container && key == '\t' && !WantsTab())
    key = 0;
  if (key == 27)
    key = 0;
  if ((key == '\t' || uint8_t(key) >= 32) && HasTextArea()) {
    RefuseChangeOfValueShownInPart();
    if (!CanModify())
      key = 0;
  }
  if (key != 0)
    inherited::KeyPress(key);
}

void TdxInplaceEdit::KeyUp(WORD& key, TShiftState shift) {
  if (TCustomdxContainer* container = Container()) {
    container->ContainerKeyUp(key, shift);
    return;
  }
  inherited::KeyUp(key, shift);
}

void TdxInplaceEdit::DblClick() {
  if (TCustomdxContainer* container = Container()) {
    container->ContainerDblClick();
    return;
  }
  inherited::DblClick();
}

// ---- Window procedure ---------------------------------------------------------------

void TdxInplaceEdit::WndProc(TMessage& message) {
  TCustomdxContainer* container = Container();
  if (!EditClass()->IsInplace()) {
    if (message.Msg == WM_SETFOCUS)
      StateChanged();
    else if (message.Msg == WM_KILLFOCUS)
      EditorExit(message);
    inherited::WndProc(message);
    return;
  }
  switch (message.Msg) {
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
    case WM_CHAR:
      if (container && container->InterceptsEditorKey())
        return;
      break;
    case WM_SETFOCUS: {
      // The focus handlers may free the editor.
      const auto focus = [&] {
        TCustomForm* form = GetParentForm(this);
        if (!form || !container || form->SetFocusedControl(container) ||
            container->GetControlState().Contains(csFocusing))
          Dispatch(message);
      };
      if (!Survives(this, focus))
        return;
      if (container)
        container->EditorFocusChanged();
      StateChanged();
      return;
    }
    case WM_KILLFOCUS:
      EditorExit(message);
      break;
    case WM_LBUTTONDOWN:
      if (container && container->CanEditColumn(-1)) {
        if (uint32_t(GetMessageTime()) - FClickTick < GetDoubleClickTime())
          message.Msg = WM_LBUTTONDBLCLK;
        FClickTick = 0;
      }
      break;
    case WM_MOUSEWHEEL:
      if (!HandlesMouseWheel() && container) {
        HWND target = container->GetHandle();
        SendMessageA(target, CM_CANCELMODE, 0, 0);
        SendMessageA(target, WM_MOUSEWHEEL, message.WParam, message.LParam);
        // The container has scrolled; the default window procedure would hand the
        // wheel to it a second time.
        return;
      }
      break;
  }
  inherited::WndProc(message);
}

void TdxInplaceEdit::Dispatch(TMessage& message) {
  switch (message.Msg) {
    case WM_CUT:
    case WM_CLEAR:
    case WM_PASTE:
      if (CanModify())
        inherited::Dispatch(message);
      return;
    case WM_ERASEBKGND:
      if (HasTextArea())
        inherited::Dispatch(message);
      else
        message.Result = 1;
      return;
    case WM_GETDLGCODE: WMGetDlgCode(message); return;
    case WM_IME_COMPOSITION:
      if ((message.LParam & GCS_RESULTSTR) && HasTextArea() && !CanModify())
        return;
      inherited::Dispatch(message);
      return;
    case WM_KEYDOWN: WMKeyDown(message); return;
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
      if (Survives(this, [&] { inherited::Dispatch(message); }) && NoTextArea() &&
          !GetComponentState().Contains(csDesigning) && HandleAllocated() && ::GetFocus() != GetHandle())
        ::SetFocus(GetHandle());
      return;
    case WM_NCCALCSIZE: WMNCCalcSize(message); return;
    case WM_NCPAINT: WMNCPaint(message); return;
    case WM_PAINT: WMPaint(message); return;
    case WM_SETCURSOR: WMSetCursor(message); return;
    case WM_SIZE:
    case CM_FONTCHANGED:
      if (Survives(this, [&] { inherited::Dispatch(message); }))  // a resize handler may free the editor
        RefreshRegion();
      return;
    case CM_ENABLEDCHANGED:
      inherited::Dispatch(message);
      StyleChanged();
      return;
    case CM_ENTER:
      SetEditing(true);
      inherited::Dispatch(message);
      return;
    case CM_EXIT: CMExit(message); return;
    case CM_MOUSEENTER: CMMouseEnterLeave(message, true); return;
    case CM_MOUSELEAVE: CMMouseEnterLeave(message, false); return;
    case CM_SHOWINGCHANGED:
      if (!EditClass()->IsInplace())
        inherited::Dispatch(message);
      return;
    case CM_TEXTCHANGED:
      inherited::Dispatch(message);
      if (NoTextArea())
        Invalidate();
      return;
  }
  inherited::Dispatch(message);
}

void TdxInplaceEdit::WMGetDlgCode(TMessage& message) {
  inherited::Dispatch(message);
  message.Result |= DLGC_WANTCHARS;
  TCustomdxContainer* container = Container();
  if (container)
    message.Result |= DLGC_WANTTAB;
  if (container && container->EditorWantsArrows())
    message.Result |= DLGC_WANTARROWS;
  else
    message.Result &= ~LRESULT(DLGC_WANTARROWS);
}

void TdxInplaceEdit::WMKeyDown(TMessage& message) {
  const WORD key = WORD(message.WParam);
  if (Container() && HandleAllocated() && (key == VK_RETURN || (key == VK_TAB && !WantsTab()))) {
    // The character of a key the container takes must not reach the editor as well.
    RemovePendingChar();
  }
  inherited::Dispatch(message);
}

void TdxInplaceEdit::RemovePendingChar() {
  if (!HandleAllocated())
    return;
  MSG pending{};
  if (PeekMessageA(&pending, GetHandle(), WM_CHAR, WM_CHAR, PM_REMOVE) && pending.message == WM_QUIT)
    PostQuitMessage(int(pending.wParam));
}

void TdxInplaceEdit::CMExit(TMessage& message) {
  if (!Survives(this, &TdxInplaceEdit::ValidateEdit))
    return;
  SetEditing(false);
  inherited::Dispatch(message);
}

void TdxInplaceEdit::CMMouseEnterLeave(TMessage& message, bool inside) {
  inherited::Dispatch(message);
  SetMouseInside(inside);
  RefreshRegionIfHot();
  if (inside)
    OnMouseEnter(this);
  else
    OnMouseLeave(this);
}

void TdxInplaceEdit::WMSetCursor(TMessage& message) {
  const bool ownClient = HandleAllocated() && reinterpret_cast<HWND>(message.WParam) == GetHandle() &&
                         LOWORD(message.LParam) == HTCLIENT;
  if (ownClient) {
    std::unique_ptr<TdxEditViewData> viewData(CreateViewData(false));
    POINT p{};
    GetCursorPos(&p);
    const TCursor cursor = EditClass()->GetCursor(p.x, p.y, viewData.get());
    if (cursor != crDefault) {
      ::SetCursor(Screen->GetCursors(cursor));
      message.Result = 1;
      return;
    }
  }
  inherited::Dispatch(message);
}
