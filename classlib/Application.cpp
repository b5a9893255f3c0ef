// TApplication, the hint window and the Forms unit.
//
// The message loop takes a WM_QUIT it meets (inside a modal form, say) as the end of
// the application but posts it again, so that the host's own loop, which owns the
// thread, still sees it.
#include <algorithm>

#include "classlib/Actions.h"
#include "classlib/Boundary.h"
#include "classlib/ControlsPrivate.h"
#include "classlib/Exceptions.h"
#include "classlib/Filer.h"
#include "classlib/FlagScope.h"
#include "classlib/Forms.h"
#include "classlib/GdiHandles.h"
#include "classlib/Strings.h"
#include "classlib/UtilWindow.h"

using namespace controls_detail;

TApplication* Application = nullptr;
TScreen* Screen = nullptr;
TWinHelpProc WinHelpProc = WinHelpA;

namespace {

constexpr UINT_PTR kHintTimerId = 1;

TBoundaryHandler gPreviousBoundaryHandler = nullptr;

// Whether `capture` is the dropped list of the combo box that `wnd` is or lies in (its
// edit). The list holds the mouse while the keys still go to the box.
bool IsDroppedListOf(HWND capture, HWND wnd) {
  for (; wnd; wnd = GetParent(wnd)) {
    COMBOBOXINFO info{};
    info.cbSize = sizeof info;
    if (GetComboBoxInfo(wnd, &info))
      return info.hwndList == capture;
  }
  return false;
}

// Exceptions stopped at any boundary go to the application's handler.
void ApplicationBoundaryHandler(const char* where, const std::exception* error) {
  if (!Application) {
    if (gPreviousBoundaryHandler)
      gPreviousBoundaryHandler(where, error);
    return;
  }
  if (error) {
    Application->HandleException(Application, *error);
    return;
  }
  Application->HandleException(Application, Exception(std::string("Unknown exception in ") + (where ? where : "?")));
}

}  // namespace

std::string GetShortHint(const std::string& hint) {
  const size_t bar = hint.find('|');
  return bar == std::string::npos ? hint : hint.substr(0, bar);
}

std::string GetLongHint(const std::string& hint) {
  const size_t bar = hint.find('|');
  return bar == std::string::npos ? hint : hint.substr(bar + 1);
}

// ---- Forms unit ---------------------------------------------------------------------------

namespace {

// Qualified references of stored components ("Library.Icons") name forms of the screen.
TComponent* FindScreenForm(const std::string& name) {
  for (int i = 0; Screen && i < Screen->GetCustomFormCount(); ++i)
    if (SameText(Screen->GetCustomForms(i)->GetName(), name))
      return Screen->GetCustomForms(i);
  return nullptr;
}

}  // namespace

void InitializeForms() {
  if (Application)
    return;
  Screen = new TScreen(nullptr);
  Application = new TApplication(nullptr);
  if (FindGlobalComponentProc == FindNoGlobalComponent)
    FindGlobalComponentProc = FindScreenForm;
}

void FinalizeForms() {
  if (FindGlobalComponentProc == FindScreenForm)
    FindGlobalComponentProc = FindNoGlobalComponent;
  delete Application;
  Application = nullptr;
  delete Screen;
  Screen = nullptr;
}

// ---- TApplication -------------------------------------------------------------------------

TApplication::TApplication(TComponent* AOwner) : TComponent(AOwner), FIcon(std::make_unique<TIcon>()) {
  char path[MAX_PATH] = {};
  GetModuleFileNameA(nullptr, path, sizeof path);
  std::string title = path;
  title = title.substr(title.find_last_of("\\/") + 1);
  FTitle = title.substr(0, title.find_last_of('.'));
  FTimerWindow = AllocateHWnd(TWndMethod::Bind<&TApplication::TimerWndProc>(this));
  gPreviousBoundaryHandler = SetBoundaryHandler(ApplicationBoundaryHandler);
}

TApplication::~TApplication() {
  SetBoundaryHandler(gPreviousBoundaryHandler);
  gPreviousBoundaryHandler = nullptr;
  CancelHint();
  delete FHintWindow;
  FHintWindow = nullptr;
  DeallocateHWnd(FTimerWindow);
  FTimerWindow = nullptr;
  FIcon.reset();
}

bool TApplication::GetActive() const { return GetActiveWindow() != nullptr; }

void TApplication::SetHint(const std::string& value) {
  if (value == FHint)
    return;
  FHint = value;
  OnHint(this);
}

void TApplication::SetShowHint(bool value) {
  if (value == FShowHint)
    return;
  FShowHint = value;
  if (!value)
    CancelHint();
}

void TApplication::HandleException(TObject* sender) {
  const std::exception_ptr current = std::current_exception();
  if (!current)
    return;
  try {
    std::rethrow_exception(current);
  } catch (const std::exception& error) {
    HandleException(sender, error);
  } catch (...) {
    HandleException(sender, Exception("Unknown exception"));
  }
}

void TApplication::HandleException(TObject* sender, const std::exception& error) {
  ++FHandledExceptions;
  if (FHandlingException) {
    // An exception while one is being shown: report it plainly, never recurse.
    OutputDebugStringA(error.what());
    return;
  }
  const TFlagScope handling(FHandlingException);
  try {
    if (HWND capture = GetCapture())
      SendMessageA(capture, WM_CANCELMODE, 0, 0);
    if (OnException.Assigned())
      OnException(sender, error);
    else
      ShowException(error);
  } catch (...) {
    OutputDebugStringA("exception in the application's exception handler");
  }
}

void TApplication::ShowException(const std::exception& error) {
  std::string text = error.what();
  if (!text.empty() && text.back() > '.')
    text += '.';
  MessageBoxA(nullptr, text.c_str(), FTitle.c_str(), MB_OK | MB_ICONSTOP | MB_TASKMODAL);
}

bool TApplication::IsKeyMsg(MSG& msg) {
  if (msg.message < WM_KEYFIRST || msg.message > WM_KEYLAST)
    return false;
  HWND wnd = GetCapture();
  // Keys pressed while a combo box's list is dropped are the box's, as when it is closed
  // (Tab in the list of a box with an edit was otherwise lost).
  if (wnd && !FindControl(wnd) && IsDroppedListOf(wnd, msg.hwnd))
    wnd = nullptr;
  if (!wnd) {
    wnd = msg.hwnd;
    if (FMainForm && wnd == FMainForm->GetClientHandle()) {
      wnd = FMainForm->GetHandle();
    } else {
      while (wnd && !FindControl(wnd))
        wnd = GetParent(wnd);
      if (!wnd)
        return false;
    }
  } else if (!FindControl(wnd)) {
    return false;
  }
  return SendMessageA(wnd, CN_BASE + msg.message, msg.wParam, msg.lParam) != 0;
}

bool TApplication::IsWheelMsg(const MSG& msg) {
  if (msg.message != WM_MOUSEWHEEL)
    return false;
  // The wheel goes to the focus window, which may be a control's inner window (a combo
  // box's edit) that keeps it; the form decides first, as over dialog keys.
  TWinControl* control = nullptr;
  for (HWND wnd = msg.hwnd; wnd && !(control = FindControl(wnd)); wnd = GetParent(wnd)) {
  }
  if (!control)
    return false;
  TCustomForm* form = GetParentForm(control);
  return form && SendMessageA(form->GetHandle(), CM_MOUSEWHEEL, msg.wParam, msg.lParam) != 0;
}

bool TApplication::ProcessMessage(MSG& msg) {
  if (!PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
    return false;
  if (msg.message == WM_QUIT) {
    FTerminated = true;
    PostQuitMessage(int(msg.wParam));  // the thread's own loop must see it too
    return false;
  }
  bool handled = false;
  try {
    OnMessage(msg, handled);
  } catch (...) {
    HandleException(this);
  }
  if (!handled && !IsKeyMsg(msg) && !IsWheelMsg(msg)) {
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
  return true;
}

void TApplication::ProcessMessages() {
  MSG msg;
  while (ProcessMessage(msg)) {
  }
}

void TApplication::HandleMessage() {
  MSG msg{};
  if (!ProcessMessage(msg) && !FTerminated)
    Idle(msg);
}

void TApplication::Idle(const MSG&) {
  POINT cursor{};
  GetCursorPos(&cursor);
  try {
    UpdateMouseControl(cursor);
  } catch (...) {
    HandleException(this);
  }
  TControl* control = GetMouseControl();
  if (FShowHint && !control)
    CancelHint();
  SetHint(control ? GetLongHint(control->GetHint()) : std::string());
  bool done = true;
  try {
    OnIdle(this, done);
  } catch (...) {
    HandleException(this);
  }
  // Actions of the visible forms update themselves (enabled, checked...) while idle.
  try {
    UpdateFormActions();
  } catch (...) {
    HandleException(this);
  }
  FreeDeviceContexts();
  if (done)
    WaitMessage();
}

void TApplication::Terminate() {
  FTerminated = true;
  PostQuitMessage(0);
}

void TApplication::Minimize() {
  if (FHandle && !IsIconic(FHandle))
    ShowWindow(FHandle, SW_MINIMIZE);
  OnMinimize(this);
}

void TApplication::Restore() {
  if (FHandle && IsIconic(FHandle))
    ShowWindow(FHandle, SW_RESTORE);
  OnRestore(this);
}

bool TApplication::HelpCommand(UINT command, ULONG_PTR data) {
  if (FHelpFile.empty())
    return false;
  HWND owner = FHandle;
  if (Screen && Screen->GetActiveCustomForm() && Screen->GetActiveCustomForm()->HandleAllocated())
    owner = Screen->GetActiveCustomForm()->GetHandle();
  return WinHelpProc(owner, FHelpFile.c_str(), command, data) != FALSE;
}

bool TApplication::HelpContext(int context) { return HelpCommand(HELP_CONTEXT, ULONG_PTR(context)); }

void TApplication::ControlDestroyed(TControl* control) {
  if (FHintControl == control) {
    FHintControl = nullptr;
    CancelHint();
  }
  if (FMainForm == control)
    FMainForm = nullptr;
  if (Screen) {
    if (Screen->FActiveControl == control)
      Screen->FActiveControl = nullptr;
    if (Screen->FActiveCustomForm == control)
      Screen->FActiveCustomForm = nullptr;
    if (Screen->FFocusedForm == control)
      Screen->FFocusedForm = nullptr;
    std::replace(Screen->FSaveFocusedList.begin(), Screen->FSaveFocusedList.end(),
                 static_cast<TCustomForm*>(ObjectAs<TCustomForm>(control)), static_cast<TCustomForm*>(nullptr));
  }
}

// ---- Hints --------------------------------------------------------------------------------

void TApplication::StartHintTimer(int delay, bool show) {
  StopHintTimer();
  FHintTimerShows = show;
  if (SetTimer(FTimerWindow, kHintTimerId, UINT(std::max(delay, 1)), nullptr))
    FHintTimerRunning = true;
}

void TApplication::StopHintTimer() {
  if (FHintTimerRunning)
    KillTimer(FTimerWindow, kHintTimerId);
  FHintTimerRunning = false;
}

void TApplication::TimerWndProc(TMessage& message) {
  if (message.Msg != WM_TIMER) {
    message.Result = DefWindowProcA(FTimerWindow, message.Msg, message.WParam, message.LParam);
    return;
  }
  try {
    StopHintTimer();
    if (FHintTimerShows) {
      POINT cursor{};
      GetCursorPos(&cursor);
      ActivateHint(cursor);
    } else {
      CancelHint();
    }
  } catch (...) {
    HandleException(this);
  }
}

void TApplication::HintMouseMessage(TControl* control, TMessage& message) {
  if (!FShowHint)
    return;
  const auto& mouse = MessageAs<TWMMouse>(message);
  TPoint screen = control->ClientToScreen(mouse.Pos());
  TControl* hintControl = FindDragTarget(screen, true);
  while (hintControl && !hintControl->GetShowHint())
    hintControl = hintControl->GetParent();
  if (!hintControl || GetShortHint(hintControl->GetHint()).empty()) {
    CancelHint();
    return;
  }
  if (hintControl == FHintControl && PointInRect(FHintCursorRect, hintControl->ScreenToClient(screen)))
    return;
  const bool wasActive = FHintActive;
  CancelHint();
  FHintActive = wasActive;
  FHintControl = hintControl;
  StartHintTimer(wasActive ? FHintShortPause : FHintPause, true);
}

void TApplication::ActivateHint(const TPoint& cursorPos) {
  if (!FHintControl)
    return;
  THintInfo info;
  info.HintControl = FHintControl;
  info.HintPos = Point(cursorPos.x, cursorPos.y + GetSystemMetrics(SM_CYCURSOR) * 2 / 3);
  info.HintMaxWidth = Screen ? Screen->GetWidth() : 640;
  info.CursorRect = FHintControl->GetBoundsRect();
  OffsetRect(&info.CursorRect, -FHintControl->GetLeft(), -FHintControl->GetTop());
  info.CursorPos = FHintControl->ScreenToClient(cursorPos);
  info.HideTimeout = FHintHidePause;
  info.HintStr = GetShortHint(FHintControl->GetHint());
  bool canShow = FHintControl->Perform(CM_HINTSHOW, 0, reinterpret_cast<LPARAM>(&info)) == 0;
  if (canShow)
    OnShowHint(info.HintStr, canShow, info);
  FHintCursorRect = info.CursorRect;
  if (!canShow || info.HintStr.empty()) {
    FHintActive = false;
    return;
  }
  if (!FHintWindow)
    FHintWindow = new THintWindow(nullptr);
  FHintWindow->SetColor(info.HintColor);
  TRect r = FHintWindow->CalcHintRect(info.HintMaxWidth, info.HintStr);
  OffsetRect(&r, info.HintPos.x, info.HintPos.y);
  FHintWindow->ActivateHint(r, info.HintStr);
  FHintActive = true;
  if (info.HideTimeout > 0)
    StartHintTimer(info.HideTimeout, false);
}

void TApplication::CancelHint() {
  StopHintTimer();
  if (FHintWindow)
    FHintWindow->ReleaseHandle();
  FHintActive = false;
  FHintControl = nullptr;
}

// ---- THintWindow --------------------------------------------------------------------------

THintWindow::THintWindow(TComponent* AOwner) : TCustomControl(AOwner) {
  SetColor(clInfoBk);
  GetFont()->SetColor(clInfoText);
  SetVisible(false);
}

void THintWindow::CreateParams(TCreateParams& params) {
  inherited::CreateParams(params);
  params.Style = WS_POPUP | WS_BORDER;
  params.ExStyle = WS_EX_TOOLWINDOW | WS_EX_TOPMOST;
  params.WndParent = nullptr;
  params.WindowClass.style |= CS_SAVEBITS;
}

TRect THintWindow::CalcHintRect(int maxWidth, const std::string& hint) {
  TRect r = Rect(0, 0, maxWidth, 0);
  TMemoryDC dc;
  TSelectGuard selected(dc, GetFont()->GetHandle());
  DrawTextA(dc, hint.c_str(), int(hint.size()), &r, DT_CALCRECT | DT_LEFT | DT_WORDBREAK | DT_NOPREFIX);
  r.right += 6;
  r.bottom += 2;
  return r;
}

void THintWindow::ActivateHint(const TRect& rect, const std::string& hint) {
  SetText(hint);
  HWND wnd = GetHandle();
  SetWindowPos(wnd, HWND_TOPMOST, rect.left, rect.top, RectWidth(rect), RectHeight(rect),
               SWP_SHOWWINDOW | SWP_NOACTIVATE);
  Invalidate();
}

void THintWindow::Paint() {
  TRect r = GetClientRect();
  InflateRect(&r, -2, -2);
  TCanvas* canvas = GetCanvas();
  canvas->GetFont()->Assign(GetFont());
  canvas->GetBrush()->SetColor(GetColor());
  canvas->FillRect(GetClientRect());
  SetBkMode(canvas->GetHandle(), TRANSPARENT);
  const std::string text = GetText();
  DrawTextA(canvas->GetHandle(), text.c_str(), int(text.size()), &r, DT_LEFT | DT_NOPREFIX | DT_WORDBREAK);
}
