// TCustomForm.
//
// Focus: SetFocusedControl runs when a control of the form receives the Windows focus
// (WM_SETFOCUS). It sends CM_EXIT to the controls being left and CM_ENTER to those
// being entered; when one of them raises (the exception is handled by the
// application) the change stops and the focus goes back to the control that refused
// to be left, so a failed validation keeps the user where the input is.
#include "classlib/Forms.h"

#include <algorithm>

#include "classlib/AliveGuard.h"
#include "classlib/ControlsPrivate.h"
#include "classlib/Exceptions.h"
#include "classlib/HandleCounter.h"
#include "classlib/UtilWindow.h"

using namespace controls_detail;

namespace {

int gFocusCount = 0;

const int kShowCommands[] = {SW_SHOWNORMAL, SW_SHOWMINNOACTIVE, SW_SHOWMAXIMIZED};

// Sends a focus message; false when the focus moved meanwhile or a handler raised. A
// control being destroyed hears of no focus change: no handler runs on what is half gone.
bool SendFocusMessage(TWinControl* target, UINT msg) {
  if (target->GetComponentState().Contains(csDestroying))
    return true;
  const int focusCount = gFocusCount;
  const int exceptions = Application ? Application->GetHandledExceptionCount() : 0;
  if (target->HandleAllocated())
    SendMessageA(target->GetHandle(), msg, 0, 0);
  else
    target->Perform(msg);
  return gFocusCount == focusCount &&
         (!Application || Application->GetHandledExceptionCount() == exceptions);
}

BOOL CALLBACK SendUIState(HWND wnd, LPARAM data) {
  const auto* message = reinterpret_cast<const TMessage*>(data);
  SendMessageA(wnd, WM_UPDATEUISTATE, message->WParam, message->LParam);
  return TRUE;
}

// Windowless controls have no window to hear of the keyboard cues: the form tells them.
void SendUIStateToWindowless(TWinControl* parent, TMessage& message) {
  for (int i = 0; i < parent->GetControlCount(); ++i) {
    TControl* control = parent->GetControl(i);
    if (auto* windowed = ObjectAs<TWinControl>(control))
      SendUIStateToWindowless(windowed, message);
    else
      control->Perform(message.Msg, message.WParam, message.LParam);
  }
}

BOOL CALLBACK DisableTaskWindow(HWND wnd, LPARAM data) {
  auto* list = reinterpret_cast<std::vector<HWND>*>(data);
  if (IsWindowVisible(wnd) && IsWindowEnabled(wnd)) {
    list->push_back(wnd);
    EnableWindow(wnd, FALSE);
  }
  return TRUE;
}

}  // namespace

TShowingChangedProc ShowingChangedProc = ShowingChangedOriginal;

WORD ChangedUIState(WORD state, WPARAM request) {
  constexpr WORD kCues = UISF_HIDEFOCUS | UISF_HIDEACCEL;
  const WORD flags = HIWORD(request) & kCues;
  switch (LOWORD(request)) {
    case UIS_SET:
      return state | flags;
    case UIS_CLEAR:
      return state & ~flags;
    case UIS_INITIALIZE: {
      BOOL always = FALSE;
      SystemParametersInfoA(SPI_GETKEYBOARDCUES, 0, &always, 0);
      return always ? 0 : kCues;
    }
  }
  return state;
}

// ---- Life ---------------------------------------------------------------------------------

TCustomForm::TCustomForm(TComponent* AOwner)
    : TScrollingWinControl(AOwner), FIcon(std::make_unique<TIcon>()), FCanvas(std::make_unique<TControlCanvas>()) {
  SetControlStyle({csAcceptsControls, csCaptureMouse, csClickEvents, csSetCaption, csDoubleClicks});
  SetVisible(false);
  SetColor(clBtnFace);
  SetParentFont(false);
  SetBounds(0, 0, 320, 240);
  FIcon->OnChange = TNotifyEvent::Bind<&TCustomForm::IconChanged>(this);
  FCanvas->SetControl(this);
  if (Screen)
    Screen->AddForm(this);
}

TCustomForm::~TCustomForm() {
  Destroying();
  if (Screen)
    Screen->RemoveForm(this);
  if (Application && Application->GetMainForm() == this)
    Application->SetMainForm(nullptr);
  // The window's last messages still reach the form's handlers.
  DestroyHandle();
  FCanvas.reset();
  FIcon.reset();
}

// ---- Density ------------------------------------------------------------------------------

void TCustomForm::Loaded() {
  const int screen = ScreenPixelsPerInch();
  if (FScaled && screen != FPixelsPerInch) {
    ScaleBy(screen, FPixelsPerInch);
    FPixelsPerInch = screen;
  }
  inherited::Loaded();
}

void TCustomForm::ScaleBounds(int M, int D) {
  const int width = GetClientWidth(), height = GetClientHeight();
  SetClientWidth(MulDiv(width, M, D));
  SetClientHeight(MulDiv(height, M, D));
}

// ---- Window -------------------------------------------------------------------------------

void TCustomForm::ApplyBorderStyles(DWORD& style, DWORD& exStyle) const {
  TFormBorderStyle border = FBorderStyle;
  if (FFormStyle == fsMDIChild && (border == bsNone || border == bsDialog))
    border = bsSizeable;
  const bool topLevel = !GetParent() && !GetParentWindow();
  switch (border) {
    case bsNone:
      if (topLevel && FFormStyle != fsMDIChild)
        style |= WS_POPUP;
      break;
    case bsSingle:
    case bsToolWindow:
      style |= WS_CAPTION | WS_BORDER;
      break;
    case bsSizeable:
    case bsSizeToolWin:
      style |= WS_CAPTION | WS_THICKFRAME;
      break;
    case bsDialog:
      style |= WS_POPUP | WS_CAPTION;
      exStyle |= WS_EX_DLGMODALFRAME | WS_EX_WINDOWEDGE;
      break;
  }
  if (border == bsToolWindow || border == bsSizeToolWin)
    exStyle |= WS_EX_TOOLWINDOW;
  TBorderIcons icons = FBorderIcons;
  if (border == bsDialog)
    icons = icons * TBorderIcons{biSystemMenu, biHelp};
  else if (border == bsToolWindow || border == bsSizeToolWin)
    icons = icons * TBorderIcons{biSystemMenu};
  if (border == bsSingle || border == bsSizeable || border == bsNone) {
    if (FFormStyle != fsMDIChild || icons.Contains(biSystemMenu)) {
      if (icons.Contains(biMinimize))
        style |= WS_MINIMIZEBOX;
      if (icons.Contains(biMaximize))
        style |= WS_MAXIMIZEBOX;
    }
    if (FWindowState == wsMinimized)
      style |= WS_MINIMIZE;
    else if (FWindowState == wsMaximized)
      style |= WS_MAXIMIZE;
  }
  if (icons.Contains(biSystemMenu))
    style |= WS_SYSMENU;
  if (icons.Contains(biHelp) && (border == bsDialog || !(icons.Contains(biMinimize) || icons.Contains(biMaximize))))
    exStyle |= WS_EX_CONTEXTHELP;
  if (FFormStyle == fsStayOnTop)
    exStyle |= WS_EX_TOPMOST;
}

void TCustomForm::CreateParams(TCreateParams& params) {
  inherited::CreateParams(params);
  if (!GetParent() && !GetParentWindow()) {
    params.WndParent = Application ? Application->GetHandle() : nullptr;
    params.Style &= ~(WS_CHILD | WS_GROUP | WS_TABSTOP);
  }
  params.WindowClass.style = CS_DBLCLKS;
  if (FPosition == poDefault || FPosition == poDefaultPosOnly)
    params.X = params.Y = CW_USEDEFAULT;
  if (FPosition == poDefault || FPosition == poDefaultSizeOnly)
    params.Width = params.Height = CW_USEDEFAULT;
  if (FBorderStyle == bsDialog)
    params.WindowClass.style |= CS_SAVEBITS;
  ApplyBorderStyles(params.Style, params.ExStyle);
  if (FFormStyle == fsMDIChild)
    params.ExStyle |= WS_EX_MDICHILD;
}

TCustomForm* TCustomForm::MDIParent() const {
  if (auto* owner = ObjectAs<TCustomForm>(GetOwner()); owner && owner->FFormStyle == fsMDIForm)
    return owner;
  if (Application && Application->GetMainForm() && Application->GetMainForm()->FFormStyle == fsMDIForm)
    return Application->GetMainForm();
  return nullptr;
}

void TCustomForm::CreateWindowHandle(const TCreateParams& params) {
  if (FFormStyle != fsMDIChild) {
    inherited::CreateWindowHandle(params);
    return;
  }
  TCustomForm* parent = MDIParent();
  if (!parent || !parent->GetHandle() || !parent->FClientHandle)
    throw EInvalidOperation("Cannot create form. No MDI forms are currently active");
  MDICREATESTRUCTA create{};
  create.szClass = params.WinClassName.c_str();
  create.szTitle = params.Caption.c_str();
  create.hOwner = params.WindowClass.hInstance;
  create.x = params.X;
  create.y = params.Y;
  create.cx = params.Width;
  create.cy = params.Height;
  create.style = params.Style & ~(WS_CHILD | WS_VISIBLE | WS_POPUP);
  create.lParam = reinterpret_cast<LPARAM>(params.Param);
  SendMessageA(parent->FClientHandle, WM_MDICREATE, 0, reinterpret_cast<LPARAM>(&create));
  FFormState.Include(fsCreatedMDIChild);
}

void TCustomForm::CreateWnd() {
  inherited::CreateWnd();
  // The cues a new window starts with are the system's.
  TMessage query{WM_QUERYUISTATE, 0, 0, 0};
  DefaultHandler(query);
  FUIState = WORD(query.Result) & (UISF_HIDEFOCUS | UISF_HIDEACCEL);
  if (FFormStyle == fsMDIForm && !FClientHandle) {
    CLIENTCREATESTRUCT client{};
    client.idFirstChild = 0xFF00;
    RECT r{};
    ::GetClientRect(GetHandle(), &r);
    FClientHandle = CreateWindowExA(WS_EX_CLIENTEDGE, "MDICLIENT", nullptr,
                                    WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN | WS_CLIPSIBLINGS |
                                        WS_VSCROLL | WS_HSCROLL,
                                    0, 0, r.right, r.bottom, GetHandle(), nullptr,
                                    ClassLibInstance(), &client);
    if (!FClientHandle)
      throw EOutOfResources(Format("Cannot create the MDI client window (error %lu)", GetLastError()));
    HandleCreated(THandleKind::Window, FClientHandle);
  }
  IconChanged(nullptr);
}

void TCustomForm::DestroyWindowHandle() {
  if (FClientHandle) {
    HandleDestroyed(THandleKind::Window, FClientHandle);
    DestroyWindow(FClientHandle);
    FClientHandle = nullptr;
  }
  if (FFormState.Contains(fsCreatedMDIChild) && GetHandle() && MDIParent() && MDIParent()->FClientHandle) {
    FFormState.Exclude(fsCreatedMDIChild);
    SendMessageA(MDIParent()->FClientHandle, WM_MDIDESTROY, reinterpret_cast<WPARAM>(GetHandle()), 0);
    return;
  }
  inherited::DestroyWindowHandle();
}

void TCustomForm::DefaultHandler(TMessage& message) {
  if (!HandleAllocated()) {
    inherited::DefaultHandler(message);
    return;
  }
  if (FClientHandle) {
    message.Result = DefFrameProcA(GetHandle(), FClientHandle, message.Msg, message.WParam, message.LParam);
    return;
  }
  if (FFormStyle == fsMDIChild && FFormState.Contains(fsCreatedMDIChild)) {
    message.Result = DefMDIChildProcA(GetHandle(), message.Msg, message.WParam, message.LParam);
    return;
  }
  inherited::DefaultHandler(message);
}

TRect TCustomForm::GetClientRect() {
  if (HandleAllocated())
    return inherited::GetClientRect();
  // Without a window the frame comes from the styles the window will have.
  DWORD style = 0, exStyle = 0;
  ApplyBorderStyles(style, exStyle);
  RECT frame{0, 0, 0, 0};
  AdjustWindowRectEx(&frame, style, FALSE, exStyle);
  return Rect(0, 0, std::max(0, GetWidth() - RectWidth(frame)), std::max(0, GetHeight() - RectHeight(frame)));
}

void TCustomForm::SetBorderIcons(TBorderIcons value) {
  if (value == FBorderIcons)
    return;
  FBorderIcons = value;
  RecreateWnd();
}

void TCustomForm::SetBorderStyle(TFormBorderStyle value) {
  if (value == FBorderStyle)
    return;
  FBorderStyle = value;
  RecreateWnd();
}

void TCustomForm::SetFormStyle(TFormStyle value) {
  if (value == FFormStyle)
    return;
  const TFormStyle old = FFormStyle;
  FFormStyle = value;
  if (!HandleAllocated())
    return;
  if ((old == fsNormal || old == fsStayOnTop) && (value == fsNormal || value == fsStayOnTop)) {
    SetWindowPos(GetHandle(), value == fsStayOnTop ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    return;
  }
  RecreateWnd();
}

void TCustomForm::SetWindowState(TWindowState value) {
  if (value == FWindowState)
    return;
  FWindowState = value;
  if (GetShowing())
    ShowWindow(GetHandle(), kShowCommands[value]);
}

void TCustomForm::IconChanged(TObject*) {
  if (!HandleAllocated() || FBorderStyle == bsDialog)
    return;
  HICON icon = FIcon->GetHandle();
  if (!icon && Application)
    icon = Application->GetIcon()->GetHandle();
  SendMessageA(GetHandle(), WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon));
}

int TCustomForm::GetMDIChildCount() const {
  if (FFormStyle != fsMDIForm || !Screen)
    return 0;
  int count = 0;
  for (int i = 0; i < Screen->GetCustomFormCount(); ++i) {
    TCustomForm* form = Screen->GetCustomForms(i);
    if (form->FFormStyle == fsMDIChild && form->MDIParent() == this && form->HandleAllocated())
      ++count;
  }
  return count;
}

TCustomForm* TCustomForm::GetMDIChildren(int index) const {
  if (FFormStyle == fsMDIForm && Screen) {
    for (int i = 0; i < Screen->GetCustomFormCount(); ++i) {
      TCustomForm* form = Screen->GetCustomForms(i);
      if (form->FFormStyle == fsMDIChild && form->MDIParent() == this && form->HandleAllocated() &&
          index-- == 0)
        return form;
    }
  }
  ListIndexError(index);
}

TCustomForm* TCustomForm::GetActiveMDIChild() const {
  if (!FClientHandle)
    return nullptr;
  HWND active = reinterpret_cast<HWND>(SendMessageA(FClientHandle, WM_MDIGETACTIVE, 0, 0));
  return ObjectAs<TCustomForm>(FindControl(active));
}

// ---- Showing ------------------------------------------------------------------------------

void TCustomForm::Show() {
  if (!Survives(this, &TCustomForm::SetVisible, true))
    return;
  if (FFormStyle != fsMDIChild)
    BringToFront();
}

void TCustomForm::CMShowingChanged(TMessage& message) { ShowingChangedProc(this, message); }

void TCustomForm::PositionOnShow() {
  int x = GetLeft(), y = GetTop();
  const int w = GetWidth(), h = GetHeight();
  if (FPosition == poScreenCenter || (FPosition == poMainFormCenter && FFormStyle == fsMDIChild)) {
    x = (Screen->GetWidth() - w) / 2;
    y = (Screen->GetHeight() - h) / 2;
  } else if (FPosition == poMainFormCenter || FPosition == poOwnerFormCenter) {
    TCustomForm* center = Application ? Application->GetMainForm() : nullptr;
    if (FPosition == poOwnerFormCenter)
      if (auto* owner = ObjectAs<TCustomForm>(GetOwner()))
        center = owner;
    if (center && center != this) {
      x = (center->GetWidth() - w) / 2 + center->GetLeft();
      y = (center->GetHeight() - h) / 2 + center->GetTop();
    } else {
      x = (Screen->GetWidth() - w) / 2;
      y = (Screen->GetHeight() - h) / 2;
    }
  } else if (FPosition == poDesktopCenter) {
    const TRect desktop = Screen->GetDesktopRect();
    x = (RectWidth(desktop) - w) / 2 + desktop.left;
    y = (RectHeight(desktop) - h) / 2 + desktop.top;
  } else {
    return;
  }
  SetBounds(std::max(x, 0), std::max(y, 0), w, h);
}

void ShowingChangedOriginal(TCustomForm* form, TMessage&) {
  if (form->FFormState.Contains(fsShowing))
    throw EInvalidOperation("Cannot change Visible in OnShow or OnHide");
  form->FFormState.Include(fsShowing);
  // An OnShow or OnHide handler may free the form: then nothing is left to show or hide,
  // and the flag goes with the form.
  const TOnExitIfAlive clear(form, [form] { form->FFormState.Exclude(fsShowing); });
  auto handled = [form](void (TCustomForm::*step)()) {
    const TAliveGuard alive(form);
    try {
      (form->*step)();
    } catch (...) {
      HandleControlException(alive.Alive() ? form : nullptr);
    }
    return alive.Alive();
  };
  HWND wnd = form->GetHandle();
  if (form->GetShowing()) {
    if (!handled(&TCustomForm::DoShow))
      return;
    form->PositionOnShow();
    ShowWindow(wnd, kShowCommands[form->FWindowState]);
    if (form->FFormStyle == fsMDIChild)
      if (TCustomForm* parent = form->MDIParent(); parent && parent->FClientHandle)
        SendMessageA(parent->FClientHandle, WM_MDIACTIVATE, reinterpret_cast<WPARAM>(wnd), 0);
    return;
  }
  if (!handled(&TCustomForm::DoHide))
    return;
  if (form->FFormStyle == fsMDIChild)
    ShowWindow(wnd, SW_HIDE);
  else
    SetWindowPos(wnd, nullptr, 0, 0, 0, 0,
                 SWP_HIDEWINDOW | SWP_NOACTIVATE | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER);
}

void TCustomForm::DoShow() { OnShow(this); }

void TCustomForm::DoHide() { OnHide(this); }

// ---- Closing ------------------------------------------------------------------------------

bool TCustomForm::CloseQuery() {
  if (FFormStyle == fsMDIForm)
    for (int i = 0; i < GetMDIChildCount(); ++i)
      if (!GetMDIChildren(i)->CloseQuery())
        return false;
  bool canClose = true;
  OnCloseQuery(this, canClose);
  return canClose;
}

void TCustomForm::DoClose(TCloseAction& action) { OnClose(this, action); }

void TCustomForm::Close() {
  if (FFormState.Contains(fsModal)) {
    FModalResult = mrCancel;
    return;
  }
  // A close handler may free the form itself: then nothing is left to close.
  bool canClose = false;
  if (!Survives(this, [&] { canClose = CloseQuery(); }) || !canClose)
    return;
  TCloseAction action = caHide;
  if (FFormStyle == fsMDIChild)
    action = FBorderIcons.Contains(biMinimize) ? caMinimize : caNone;
  if (!Survives(this, &TCustomForm::DoClose, action) || action == caNone)
    return;
  if (Application && Application->GetMainForm() == this) {
    Application->Terminate();
    return;
  }
  switch (action) {
    case caHide:
      Hide();
      break;
    case caMinimize:
      SetWindowState(wsMinimized);
      break;
    default:
      Release();
      break;
  }
}

void TCustomForm::Release() { PostMessageA(GetHandle(), CM_RELEASE, 0, 0); }

void TCustomForm::CMRelease(TMessage&) { delete this; }

void TCustomForm::WMClose(TMessage&) { Close(); }

// A close handler may free the form: then nothing of it is touched again (ShowModal sees
// it gone and ends the loop).
void TCustomForm::CloseModal() {
  const TAliveGuard alive(this);
  try {
    TCloseAction action = caNone;
    bool canClose = false;
    if (!Survives(this, [&] { canClose = CloseQuery(); }))
      return;
    if (canClose) {
      action = caHide;
      if (!Survives(this, &TCustomForm::DoClose, action))
        return;
    }
    if (action == caNone)
      FModalResult = mrNone;
    else if (action == caFree)
      Release();
  } catch (...) {
    if (alive.Alive())
      FModalResult = mrNone;
    HandleControlException(alive.Alive() ? this : nullptr);
  }
}

int TCustomForm::ShowModal() {
  if (GetVisible() || !GetEnabled() || FFormState.Contains(fsModal) || FFormStyle == fsMDIChild)
    throw EInvalidOperation("Cannot make a visible window modal");
  if (HWND capture = GetCapture())
    SendMessageA(capture, WM_CANCELMODE, 0, 0);
  ReleaseCapture();
  FFormState.Include(fsModal);
  HWND activeWindow = GetActiveWindow();
  const int saveFocusCount = gFocusCount;
  Screen->FSaveFocusedList.insert(Screen->FSaveFocusedList.begin(), Screen->FFocusedForm);
  Screen->FFocusedForm = this;
  const TCursor saveCursor = Screen->GetCursor();
  Screen->SetCursor(crDefault);
  std::vector<HWND> disabled;
  EnumThreadWindows(GetCurrentThreadId(), DisableTaskWindow, reinterpret_cast<LPARAM>(&disabled));

  // The form's handlers may free it while it is modal (a close handler does): the loop
  // then ends with the result that was closing it, and nothing of the form is touched.
  const TOnExitIfAlive modal(this, [this] { FFormState.Exclude(fsModal); });
  struct TRestore {
    std::vector<HWND>& Disabled;
    HWND& ActiveWindow;
    int SaveFocusCount;
    TCursor SaveCursor;
    ~TRestore() {
      Screen->SetCursor(SaveCursor);
      for (HWND wnd : Disabled)
        if (IsWindow(wnd))
          EnableWindow(wnd, TRUE);
      auto& saved = Screen->FSaveFocusedList;
      if (!saved.empty()) {
        Screen->FFocusedForm = saved.front();
        saved.erase(saved.begin());
      } else {
        Screen->FFocusedForm = nullptr;
      }
      if (ActiveWindow && IsWindow(ActiveWindow))
        SetActiveWindow(ActiveWindow);
      gFocusCount = SaveFocusCount;
    }
  } restore{disabled, activeWindow, saveFocusCount, saveCursor};

  if (!Survives(this, &TCustomForm::Show))
    return mrNone;
  const TOnExitIfAlive hide(this, [this] {
    try {
      Hide();
    } catch (...) {
      HandleControlException(this);
    }
  });
  if (!Survives(this, [this] { SendMessageA(GetHandle(), CM_ACTIVATE, 0, 0); }))
    return mrNone;
  FModalResult = mrNone;
  int result = mrNone;
  do {
    Application->HandleMessage();
    if (!modal.Alive())
      return result;
    if (Application->GetTerminated()) {
      FModalResult = mrCancel;
      break;
    }
    result = FModalResult;
    if (result != mrNone)
      CloseModal();
    if (!modal.Alive())
      return result;
  } while (FModalResult == mrNone);
  result = FModalResult;
  if (!Survives(this, [this] { SendMessageA(GetHandle(), CM_DEACTIVATE, 0, 0); }))
    return result;
  if (GetActiveWindow() != GetHandle())
    activeWindow = nullptr;
  return result;
}

// ---- Activation and focus ------------------------------------------------------------------

void TCustomForm::WMActivate(TMessage& message) {
  if (FFormStyle != fsMDIForm)
    SetActive(MessageAs<TWMActivate>(message).Active != WA_INACTIVE);
}

void TCustomForm::SetActive(bool value) {
  FActive = value;
  if (!value)
    return;
  if (!FActiveControl)
    if (TWinControl* first = FindNextControl(nullptr, true, true, false))
      SetActiveControl(first);
  SetWindowFocus();
}

void TCustomForm::SetWindowFocus() {
  HWND focus = FActiveControl ? FActiveControl->GetHandle() : GetHandle();
  if (focus)
    ::SetFocus(focus);
}

void TCustomForm::SetFocus() {
  if (FActive)
    return;
  if (!GetVisible() || !GetEnabled())
    throw EInvalidOperation("Cannot focus a disabled or invisible window");
  SetWindowFocus();
}

void TCustomForm::SetActiveControl(TWinControl* control) {
  if (control == FActiveControl)
    return;
  const bool loading = GetComponentState().Contains(csLoading);
  if (control && (control == this || GetParentForm(control) != this || !(loading || control->CanFocus())))
    throw EInvalidOperation("Cannot focus a disabled or invisible window");
  FActiveControl = control;
  if (!loading && FActive)
    SetWindowFocus();
}

void TCustomForm::FocusControl(TWinControl* control) {
  const bool wasActive = FActive;
  SetActiveControl(control);
  if (!wasActive)
    SetFocus();
}

bool TCustomForm::SetFocusedControl(TWinControl* control) {
  if (control->GetControlState().Contains(csFocusing))
    return false;
  TWinControl* refocus = nullptr;
  bool result = false;
  {
    // The enter and exit handlers may free the control: false then, and the flag goes
    // with it.
    control->SetControlState(control->GetControlState() + TControlState{csFocusing});
    const TOnExitIfAlive unflag(control, [control] {
      control->SetControlState(control->GetControlState() - TControlState{csFocusing});
    });
    result = DoSetFocusedControl(control, refocus);
    if (!unflag.Alive())
      return false;
  }
  if (refocus && refocus->HandleAllocated())
    ::SetFocus(refocus->GetHandle());
  return result;
}

// A control freed by its own exit or enter handler has left the form's focus chain as it
// went (DefocusControl): the walk goes on from where the form now stands, and stops when
// the control being focused is gone.
bool TCustomForm::DoSetFocusedControl(TWinControl* control, TWinControl*& refocus) {
  const TAliveGuard focusing(control);
  ++gFocusCount;
  FActiveControl = control != this ? control : nullptr;
  Screen->FActiveControl = control;
  Screen->FActiveCustomForm = this;
  if (Screen->FFocusedForm != this) {
    if (TCustomForm* previous = Screen->FFocusedForm) {
      Screen->FFocusedForm = nullptr;
      if (!SendFocusMessage(previous, CM_DEACTIVATE) || !focusing.Alive())
        return false;
    }
    Screen->FFocusedForm = this;
    // OnActivate may free the form, and the control with it.
    if (!SendFocusMessage(this, CM_ACTIVATE) || !focusing.Alive())
      return false;
  }
  if (!FFocusedControl)
    FFocusedControl = this;
  if (FFocusedControl == control)
    return true;
  while (FFocusedControl && !FFocusedControl->ContainsControl(control)) {
    TWinControl* leaving = FFocusedControl;
    const TAliveGuard leavingAlive(leaving);
    const int exceptions = Application ? Application->GetHandledExceptionCount() : 0;
    const bool left = SendFocusMessage(leaving, CM_EXIT);
    if (!focusing.Alive())
      return false;
    if (!left) {
      // A handler that raised keeps the focus; one that moved it elsewhere wins.
      if (Application && Application->GetHandledExceptionCount() != exceptions && leavingAlive.Alive()) {
        FActiveControl = leaving != this ? leaving : nullptr;
        Screen->FActiveControl = leaving;
        refocus = leaving;
      }
      return false;
    }
    if (leavingAlive.Alive())
      FFocusedControl = leaving->GetParent();
  }
  while (FFocusedControl != control) {
    TWinControl* entering = control;
    while (entering->GetParent() != FFocusedControl)
      entering = entering->GetParent();
    FFocusedControl = entering;
    if (!SendFocusMessage(entering, CM_ENTER) || !focusing.Alive())
      return false;
  }
  Perform(CM_FOCUSCHANGED, 0, reinterpret_cast<LPARAM>(control));
  return true;
}

void TCustomForm::DefocusControl(TWinControl* control, bool removing) {
  if (removing && control->ContainsControl(FFocusedControl))
    FFocusedControl = control->GetParent();
  if (control->ContainsControl(FActiveControl))
    FActiveControl = nullptr;
  if (Screen && control->ContainsControl(Screen->FActiveControl))
    Screen->FActiveControl = nullptr;
}

void TCustomForm::SendCancelMode(TControl* sender) {
  if (FActive && FActiveControl)
    FActiveControl->Perform(CM_CANCELMODE, 0, reinterpret_cast<LPARAM>(sender));
  if (FFormStyle == fsMDIForm)
    if (TCustomForm* child = GetActiveMDIChild())
      child->SendCancelMode(sender);
}

bool TCustomForm::IsShortCut(TMessage& message) {
  bool handled = false;
  OnShortCut(message, handled);
  return handled;
}

void TCustomForm::Activate() { OnActivate(this); }

void TCustomForm::Deactivate() { OnDeactivate(this); }

void TCustomForm::CMActivate(TMessage&) {
  if (GetComponentState().Contains(csReading))
    FFormState.Include(fsActivated);
  else
    Activate();
}

void TCustomForm::CMDeactivate(TMessage&) {
  if (!GetComponentState().Contains(csReading))
    Deactivate();
}

void TCustomForm::CMDialogKey(TMessage& message) {
  auto& key = MessageAs<TCMDialogKey>(message);
  if (GetKeyState(VK_MENU) >= 0) {
    switch (key.CharCode) {
      case VK_TAB:
        // Ctrl+Tab is offered to the controls first (a control may turn pages with it);
        // otherwise it moves on as Tab does, which is how one leaves a control that keeps
        // Tab for itself.
        if (GetKeyState(VK_CONTROL) < 0) {
          inherited::Dispatch(message);
          if (message.Result != 0)
            return;
        }
        SelectNext(FActiveControl, GetKeyState(VK_SHIFT) >= 0, true);
        message.Result = 1;
        return;
      case VK_LEFT:
      case VK_RIGHT:
      case VK_UP:
      case VK_DOWN:
        if (FActiveControl && FActiveControl->GetParent()) {
          FActiveControl->GetParent()->SelectNext(
              FActiveControl, key.CharCode == VK_RIGHT || key.CharCode == VK_DOWN, false);
          message.Result = 1;
        }
        return;
    }
  }
  inherited::Dispatch(message);
}

// ---- Painting and sizing ----------------------------------------------------------------------

void TCustomForm::Paint() { OnPaint(this); }

void TCustomForm::PaintWindow(HDC dc) {
  TCanvasPaintScope scope(FCanvas.get(), dc);
  Paint();
}

void TCustomForm::WMPaint(TMessage& message) {
  if (HandleAllocated() && IsIconic(GetHandle())) {
    inherited::Dispatch(message);
    return;
  }
  SetControlState(GetControlState() + TControlState{csCustomPaint});
  struct TClear {
    TCustomForm* Form;
    ~TClear() { Form->SetControlState(Form->GetControlState() - TControlState{csCustomPaint}); }
  } clear{this};
  inherited::Dispatch(message);
}

void TCustomForm::WMSize(TMessage& message) {
  if (!FFormState.Contains(fsShowing)) {
    switch (MessageAs<TWMSize>(message).SizeType) {
      case SIZE_RESTORED:
        if (GetShowing())
          FWindowState = wsNormal;
        break;
      case SIZE_MINIMIZED:
        FWindowState = wsMinimized;
        break;
      case SIZE_MAXIMIZED:
        FWindowState = wsMaximized;
        break;
    }
  }
  inherited::Dispatch(message);
}

void TCustomForm::WMGetMinMaxInfo(TMessage& message) {
  inherited::Dispatch(message);
  MINMAXINFO* info = MessageAs<TWMGetMinMaxInfo>(message).MinMaxInfo;
  const TSizeConstraints* c = GetConstraints();
  if (c->GetMinWidth() > 0)
    info->ptMinTrackSize.x = c->GetMinWidth();
  if (c->GetMinHeight() > 0)
    info->ptMinTrackSize.y = c->GetMinHeight();
  if (c->GetMaxWidth() > 0)
    info->ptMaxTrackSize.x = c->GetMaxWidth();
  if (c->GetMaxHeight() > 0)
    info->ptMaxTrackSize.y = c->GetMaxHeight();
}

void TCustomForm::WMChangeUIState(TMessage& message) {
  if (ChangedUIState(FUIState, message.WParam) != FUIState)
    Perform(WM_UPDATEUISTATE, message.WParam, message.LParam);
  message.Result = 0;
}

void TCustomForm::WMUpdateUIState(TMessage& message) {
  FUIState = ChangedUIState(FUIState, message.WParam);
  inherited::Dispatch(message);
  if (HandleAllocated())
    EnumChildWindows(GetHandle(), SendUIState, reinterpret_cast<LPARAM>(&message));
  SendUIStateToWindowless(this, message);
}

void TCustomForm::Dispatch(TMessage& message) {
  const bool topLevel = !GetParent();
  switch (message.Msg) {
    case WM_CHANGEUISTATE:
      if (topLevel) {
        WMChangeUIState(message);
        return;
      }
      break;
    case WM_UPDATEUISTATE:
      if (topLevel) {
        WMUpdateUIState(message);
        return;
      }
      break;
    case WM_QUERYUISTATE:
      if (topLevel) {
        message.Result = FUIState;
        return;
      }
      break;
    case WM_CLOSE: WMClose(message); return;
    case WM_ACTIVATE: WMActivate(message); return;
    case WM_PAINT: WMPaint(message); return;
    case WM_SIZE: WMSize(message); return;
    case WM_GETMINMAXINFO: WMGetMinMaxInfo(message); return;
    case CM_SHOWINGCHANGED: CMShowingChanged(message); return;
    case CM_ACTIVATE: CMActivate(message); return;
    case CM_DEACTIVATE: CMDeactivate(message); return;
    case CM_DIALOGKEY: CMDialogKey(message); return;
    case CM_RELEASE: CMRelease(message); return;
  }
  inherited::Dispatch(message);
}
