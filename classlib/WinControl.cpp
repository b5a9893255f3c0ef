// TWinControl: windowed controls.
//
// A window is made by registering the control's own window class (its class name, or
// a superclass of a system class) whose procedure is InitWndProc; the first message
// of the new window binds it to the control that is being created and replaces the
// procedure with the control's object instance. Unhandled messages go to the class's
// original procedure (DefWindowProc, or the system class's). WM_NCDESTROY clears the
// handle whoever destroyed the window; the control makes a new one when asked.
// Child windows get a process-unique id so that WM_MEASUREITEM, which names its
// control only by id, still reaches a child that was moved to another parent.
// A control freed while the class's original procedure of its window runs (a handler
// fired from inside it: a rich edit sets the focus from its button-down handling, and
// OnEnter frees the edit) leaves its window behind, hidden and with that procedure
// alone, and the window goes once the procedure has returned: destroying it underneath
// would free the state the procedure goes on with.
#include <algorithm>
#include <cassert>
#include <unordered_map>
#include <vector>

#include "classlib/AliveGuard.h"
#include "classlib/Boundary.h"
#include "classlib/Controls.h"
#include "classlib/ControlsPrivate.h"
#include "classlib/Exceptions.h"
#include "classlib/Forms.h"
#include "classlib/HandleCounter.h"
#include "classlib/UtilWindow.h"

using namespace controls_detail;

namespace {

std::unordered_map<HWND, TWinControl*> gWindows;
std::unordered_map<UINT, TWinControl*> gWindowIds;
TWinControl* gCreationControl = nullptr;
UINT gNextWindowId = 0x1000;

// The windows whose class procedure runs now, innermost last (a window once for each
// nesting): a push and a pop for every message, no allocation.
std::vector<HWND> gBusyWindows;

bool IsBusyWindow(HWND wnd) {
  return std::find(gBusyWindows.begin(), gBusyWindows.end(), wnd) != gBusyWindows.end();
}
// The windows left behind by freed controls, with their class procedures.
std::unordered_map<HWND, WNDPROC> gLeftWindows;

LRESULT CALLBACK LeftWindowProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  auto left = gLeftWindows.find(wnd);
  if (left == gLeftWindows.end())
    return DefWindowProcA(wnd, msg, wParam, lParam);
  const WNDPROC proc = left->second;
  if (msg == WM_NCDESTROY)
    gLeftWindows.erase(left);
  return CallWindowProcA(proc, wnd, msg, wParam, lParam);
}

// Marks a window's class procedure as running for a scope; a window left behind in the
// meantime is destroyed when the outermost such scope ends.
class TBusyWindow {
 public:
  explicit TBusyWindow(HWND wnd) : FWnd(wnd) { gBusyWindows.push_back(wnd); }
  ~TBusyWindow() {
    gBusyWindows.pop_back();
    if (gLeftWindows.count(FWnd) && !IsBusyWindow(FWnd))
      DestroyWindow(FWnd);
  }
  TBusyWindow(const TBusyWindow&) = delete;
  TBusyWindow& operator=(const TBusyWindow&) = delete;

 private:
  HWND FWnd;
};

UINT NextWindowId() {
  do {
    if (++gNextWindowId >= 0xFFFF0000u)
      gNextWindowId = 0x1000;
  } while (gWindowIds.count(gNextWindowId));
  return gNextWindowId;
}

}  // namespace

namespace controls_detail {

void RegisterWindow(TWinControl* control, HWND wnd, UINT id) {
  gWindows[wnd] = control;
  if (id)
    gWindowIds[id] = control;
  HandleCreated(THandleKind::Window, wnd);
}

void UnregisterWindow(TWinControl* control, HWND wnd, UINT id) {
  auto it = gWindows.find(wnd);
  if (it != gWindows.end() && it->second == control) {
    gWindows.erase(it);
    HandleDestroyed(THandleKind::Window, wnd);
  }
  auto byId = gWindowIds.find(id);
  if (byId != gWindowIds.end() && byId->second == control)
    gWindowIds.erase(byId);
}

}  // namespace controls_detail

TWinControl* FindControl(HWND wnd) {
  if (!wnd)
    return nullptr;
  auto it = gWindows.find(wnd);
  return it == gWindows.end() ? nullptr : it->second;
}

TWinControl* FindControlById(UINT id) {
  auto it = gWindowIds.find(id);
  return it == gWindowIds.end() ? nullptr : it->second;
}

LRESULT CALLBACK InitWndProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  TWinControl* control = gCreationControl;
  if (!control)
    return DefWindowProcA(wnd, msg, wParam, lParam);
  gCreationControl = nullptr;
  control->FHandle = wnd;
  RegisterWindow(control, wnd, control->FWindowId);
  SetWindowLongPtrA(wnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(control->FObjectInstance));
  return CallWindowProcA(control->FObjectInstance, wnd, msg, wParam, lParam);
}

TInsertControlProc InsertControlProc = InsertControlOriginal;

void InsertControlOriginal(TWinControl* parent, TControl* control) {
  parent->Perform(CM_CONTROLLISTCHANGE, reinterpret_cast<WPARAM>(control), 1);
  parent->Insert(control);
  control->Perform(CM_PARENTCOLORCHANGED);
  control->Perform(CM_PARENTFONTCHANGED);
  control->Perform(CM_PARENTSHOWHINTCHANGED);
  if (auto* win = ObjectAs<TWinControl>(control))
    win->UpdateControlState();
  else if (parent->HandleAllocated())
    control->Invalidate();
  parent->AlignControl(control);
  parent->Perform(CM_CONTROLCHANGE, reinterpret_cast<WPARAM>(control), 1);
}

// ---- Construction -----------------------------------------------------------------------

// The brush is owned from the start: it goes with the control even when making the
// window-procedure instance fails.
TWinControl::TWinControl(TComponent* AOwner) : TControl(AOwner), FBrush(std::make_unique<TBrush>()) {
  FObjectInstance = MakeObjectInstance(TWndMethod::Bind<&TWinControl::MainWndProc>(this));
  FBrush->SetColor(GetColor());
}

TWinControl::~TWinControl() {
  Destroying();
  if (GetParent()) {
    // Leave the parent while this is still a windowed control.
    RemoveFocus(true);
    GetParent()->RemoveControl(this);
  }
  if (FHandle)
    DestroyWindowHandle();
  // Children go with their parent, whoever owns them.
  while (GetControlCount() > 0) {
    TControl* child = GetControl(GetControlCount() - 1);
    Remove(child);
    delete child;
  }
  FBrush.reset();
  FreeObjectInstance(FObjectInstance);
  FObjectInstance = nullptr;
}

void TWinControl::MainWndProc(TMessage& message) {
  // A handler may free the control and then raise: the error is told without a sender.
  const TAliveGuard alive(this);
  try {
    GetWindowProc()(message);
  } catch (...) {
    HandleControlException(alive.Alive() ? this : nullptr);
  }
  // DCs taken by canvases outside painting do not outlive the message (the control
  // may be gone by now: nothing of it is touched here).
  FreeDeviceContexts();
}

// ---- The window ---------------------------------------------------------------------------

HWND TWinControl::GetHandle() {
  if (!FHandle) {
    if (GetParent())
      GetParent()->HandleNeeded();
    CreateHandle();
  }
  return FHandle;
}

void TWinControl::CreateParams(TCreateParams& params) {
  params = TCreateParams{};
  params.Caption = GetStoredText();
  params.Style = WS_CHILD | WS_CLIPSIBLINGS;
  if (GetControlStyle().Contains(csAcceptsControls)) {
    params.Style |= WS_CLIPCHILDREN;
    params.ExStyle |= WS_EX_CONTROLPARENT;
  }
  if (!GetEnabled())
    params.Style |= WS_DISABLED;
  if (FTabStop)
    params.Style |= WS_TABSTOP;
  params.X = GetLeft();
  params.Y = GetTop();
  params.Width = GetWidth();
  params.Height = GetHeight();
  params.WndParent = GetParent() ? GetParent()->GetHandle() : FParentWindow;
  params.WindowClass.style = CS_VREDRAW | CS_HREDRAW | CS_DBLCLKS;
  params.WindowClass.lpfnWndProc = DefWindowProcA;
  params.WindowClass.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
  params.WindowClass.hInstance = ClassLibInstance();
  params.WinClassName = ClassName();
}

void TWinControl::CreateSubClass(TCreateParams& params, const char* className) {
  const HINSTANCE saved = params.WindowClass.hInstance;
  WNDCLASSA info{};
  if (!GetClassInfoA(ClassLibInstance(), className, &info) && !GetClassInfoA(nullptr, className, &info))
    throw EOutOfResources(Format("Window class %s is not registered", className));
  params.WindowClass = info;
  params.WindowClass.hInstance = saved;
  params.WindowClass.style =
      (info.style & ~(CS_OWNDC | CS_CLASSDC | CS_PARENTDC | CS_GLOBALCLASS)) | CS_VREDRAW | CS_HREDRAW;
}

void TWinControl::CreateWnd() {
  TCreateParams params;
  CreateParams(params);
  if ((params.Style & WS_CHILD) && !params.WndParent)
    throw EInvalidOperation(Format("Control '%s' has no parent window", GetName().c_str()));
  FDefWndProc = params.WindowClass.lpfnWndProc;
  WNDCLASSA existing{};
  const bool registered =
      GetClassInfoA(params.WindowClass.hInstance, params.WinClassName.c_str(), &existing);
  if (!registered || existing.lpfnWndProc != InitWndProc) {
    if (registered)
      UnregisterClassA(params.WinClassName.c_str(), params.WindowClass.hInstance);
    WNDCLASSA cls = params.WindowClass;
    cls.lpfnWndProc = InitWndProc;
    cls.lpszClassName = params.WinClassName.c_str();
    if (!RegisterClassA(&cls))
      throw EOutOfResources(Format("Cannot register the window class %s (error %lu)",
                                   params.WinClassName.c_str(), GetLastError()));
  }
  gCreationControl = this;
  try {
    CreateWindowHandle(params);
  } catch (...) {
    gCreationControl = nullptr;
    throw;
  }
  gCreationControl = nullptr;
  if (!FHandle)
    throw EOutOfResources(Format("Error creating window %s (error %lu)", params.WinClassName.c_str(), GetLastError()));
  UpdateBounds();
  Perform(WM_SETFONT, reinterpret_cast<WPARAM>(GetFont()->GetHandle()), 1);
  if (GetAutoSize())
    AdjustSize();
}

void TWinControl::CreateWindowHandle(const TCreateParams& params) {
  FWindowId = (params.Style & WS_CHILD) ? NextWindowId() : 0;
  HMENU menu = (params.Style & WS_CHILD) ? reinterpret_cast<HMENU>(UINT_PTR(FWindowId)) : nullptr;
  HWND wnd = CreateWindowExA(params.ExStyle, params.WinClassName.c_str(), params.Caption.c_str(),
                             params.Style, params.X, params.Y, params.Width, params.Height,
                             params.WndParent, menu, params.WindowClass.hInstance, params.Param);
  if (wnd && !FHandle) {
    // The window never sent a message during creation; bind it now.
    FHandle = wnd;
    RegisterWindow(this, wnd, FWindowId);
    SetWindowLongPtrA(wnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(FObjectInstance));
  }
}

void TWinControl::CreateHandle() {
  if (FHandle)
    return;
  CreateWnd();
  if (TWinControl* parent = GetParent()) {
    // Keep the window's place among its siblings as in the child list.
    HWND after = HWND_TOP;
    auto& siblings = parent->FWinControls;
    auto it = std::find(siblings.begin(), siblings.end(), this);
    if (it != siblings.end()) {
      for (++it; it != siblings.end(); ++it) {
        if ((*it)->FHandle) {
          after = (*it)->FHandle;
          break;
        }
      }
    }
    SetWindowPos(FHandle, after, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  }
}

void TWinControl::DestroyWnd() {
  SetStoredText(GetText());
  DestroyWindowHandle();
}

void TWinControl::DestroyWindowHandle() {
  HWND wnd = FHandle;
  if (GetComponentState().Contains(csDestroying) && IsBusyWindow(wnd)) {
    // Freed from inside the window's class procedure: the window stays, hidden, until
    // that returns (see the top of this file).
    FreeWindowDeviceContexts(wnd);
    UnregisterWindow(this, wnd, FWindowId);
    FHandle = nullptr;
    FShowing = false;
    gLeftWindows[wnd] = FDefWndProc;
    SetWindowLongPtrA(wnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(LeftWindowProc));
    ShowWindow(wnd, SW_HIDE);
    return;
  }
  SetControlState(GetControlState() + TControlState{csDestroyingHandle});
  DestroyWindow(wnd);
  SetControlState(GetControlState() - TControlState{csDestroyingHandle});
  if (FHandle == wnd && FHandle) {
    // The window did not go away through WM_NCDESTROY (destroyed elsewhere already).
    FreeWindowDeviceContexts(wnd);
    UnregisterWindow(this, wnd, FWindowId);
    FHandle = nullptr;
    FShowing = false;
  }
}

void TWinControl::DestroyHandle() {
  if (!FHandle)
    return;
  for (TWinControl* child : std::vector<TWinControl*>(FWinControls))
    child->DestroyHandle();
  DestroyWnd();
}

void TWinControl::RecreateWnd() {
  if (FHandle)
    Perform(CM_RECREATEWND);
}

void TWinControl::CMRecreateWnd(TMessage&) {
  const bool wasFocused = Focused();
  DestroyHandle();
  UpdateControlState();
  if (wasFocused && FHandle)
    ::SetFocus(FHandle);
}

void TWinControl::SetParentWindow(HWND value) {
  if (GetParent() || FParentWindow == value)
    return;
  if (FHandle && FParentWindow && value) {
    FParentWindow = value;
    ::SetParent(FHandle, value);
  } else {
    DestroyHandle();
    FParentWindow = value;
  }
  UpdateControlState();
}

void TWinControl::UpdateBounds() {
  if (!FHandle)
    return;
  RECT r{};
  GetWindowRect(FHandle, &r);
  if (GetWindowLongA(FHandle, GWL_STYLE) & WS_CHILD) {
    if (HWND parent = ::GetParent(FHandle))
      MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&r), 2);
  }
  UpdateBoundsRect(r);
}

void TWinControl::UpdateShowing() {
  const bool show = GetVisible() && !GetControlState().Contains(csReadingState);
  if (show) {
    if (!FHandle)
      CreateHandle();
    for (TWinControl* child : std::vector<TWinControl*>(FWinControls))
      child->UpdateShowing();
  }
  if (FHandle && FShowing != show) {
    FShowing = show;
    try {
      Perform(CM_SHOWINGCHANGED);
    } catch (...) {
      FShowing = !show;
      throw;
    }
  }
}

void TWinControl::UpdateControlState() {
  TWinControl* control = this;
  while (control->GetParent()) {
    control = control->GetParent();
    if (!control->FShowing)
      return;
  }
  if (control->Is<TCustomForm>() || control->FParentWindow)
    UpdateShowing();
}

void TWinControl::CMShowingChanged(TMessage&) {
  SetWindowPos(FHandle, nullptr, 0, 0, 0, 0,
               (FShowing ? SWP_SHOWWINDOW : SWP_HIDEWINDOW) | SWP_NOSIZE | SWP_NOMOVE |
                   SWP_NOZORDER | SWP_NOACTIVATE);
}

void TWinControl::CMVisibleChanged(TMessage&) {
  if (!GetVisible() && GetParent())
    RemoveFocus(false);
  UpdateControlState();
}

// ---- Children ---------------------------------------------------------------------------

TControl* TWinControl::GetControl(int index) const {
  if (index < 0 || index >= GetControlCount())
    ListIndexError(index);
  if (size_t(index) < FControls.size())
    return FControls[size_t(index)];
  return FWinControls[size_t(index) - FControls.size()];
}

void TWinControl::InsertControl(TControl* control) {
  assert(control && "a control to insert");
  InsertControlProc(this, control);
}

void TWinControl::Insert(TControl* control) {
  if (auto* win = ObjectAs<TWinControl>(control)) {
    FWinControls.push_back(win);
    FTabList.push_back(win);
  } else {
    FControls.push_back(control);
  }
  control->FParent = this;
}

void TWinControl::Remove(TControl* control) {
  // By identity, not class: a control being destroyed no longer answers as windowed.
  std::erase(FTabList, control);
  std::erase(FWinControls, control);
  std::erase(FControls, control);
  control->FParent = nullptr;
}

void TWinControl::RemoveControl(TControl* control) {
  Perform(CM_CONTROLCHANGE, reinterpret_cast<WPARAM>(control), 0);
  if (auto* win = ObjectAs<TWinControl>(control)) {
    win->RemoveFocus(true);
    win->DestroyHandle();
  } else if (FHandle) {
    control->InvalidateControl(control->GetVisible(), false);
  }
  Remove(control);
  Perform(CM_CONTROLLISTCHANGE, reinterpret_cast<WPARAM>(control), 0);
  if (!GetComponentState().Contains(csDestroying))
    Realign();
}

bool TWinControl::ContainsControl(TControl* control) const {
  while (control && control != this)
    control = control->GetParent();
  return control != nullptr;
}

TControl* TWinControl::ControlAtPos(const TPoint& pos, bool allowDisabled, bool allowWinControls) {
  auto hit = [&](TControl* c) {
    if (!c->GetVisible() || !(c->GetEnabled() || allowDisabled))
      return false;
    const TPoint p = Point(pos.x - c->GetLeft(), pos.y - c->GetTop());
    if (!PointInRect(Rect(0, 0, c->GetWidth(), c->GetHeight()), p))
      return false;
    return c->Perform(CM_HITTEST, 0, MAKELPARAM(WORD(short(p.x)), WORD(short(p.y)))) != 0;
  };
  if (allowWinControls)
    for (auto it = FWinControls.rbegin(); it != FWinControls.rend(); ++it)
      if (hit(*it))
        return *it;
  for (auto it = FControls.rbegin(); it != FControls.rend(); ++it)
    if (hit(*it))
      return *it;
  return nullptr;
}

void TWinControl::Broadcast(TMessage& message) {
  for (int i = 0; i < GetControlCount(); ++i) {
    TControl* child = GetControl(i);
    child->GetWindowProc()(message);
    if (message.Result != 0)
      return;
  }
}

void TWinControl::NotifyControls(UINT msg) {
  TMessage message;
  message.Msg = msg;
  for (int i = 0; i < GetControlCount(); ++i)
    GetControl(i)->GetWindowProc()(message);
}

void TWinControl::CMControlListChange(TMessage& message) {
  if (GetParent())
    GetParent()->GetWindowProc()(message);
}

// ---- Alignment ----------------------------------------------------------------------------

void TWinControl::AlignControl(TControl* control) {
  if (GetComponentState().Contains(csDestroying))
    return;
  if (FAlignLevel != 0 || GetComponentState().Contains(csLoading)) {
    SetControlState(GetControlState() + TControlState{csAlignmentNeeded});
    return;
  }
  DisableAlign();
  // The layout may size the control itself (a bar that fits its bands), and its
  // OnResize free it.
  const TOnExitIfAlive enable(this, [this] {
    SetControlState(GetControlState() - TControlState{csAlignmentNeeded});
    EnableAlign();
  });
  TRect r = GetClientRect();
  AdjustClientRect(r);
  AlignControls(control, r);
}

void TWinControl::EnableAlign() {
  if (--FAlignLevel == 0 && GetControlState().Contains(csAlignmentNeeded))
    Realign();
}

void TWinControl::Realign() { AlignControl(nullptr); }

void TWinControl::ScaleBy(int M, int D) { ChangeScale(M, D); }

void TWinControl::ChangeScale(int M, int D) {
  DisableAlign();
  try {
    ScaleControls(M, D);
    inherited::ChangeScale(M, D);
  } catch (...) {
    EnableAlign();
    throw;
  }
  SetAnchorBase();
  EnableAlign();
}

void TWinControl::ScaleControls(int M, int D) {
  for (int i = 0; i < GetControlCount(); ++i)
    GetControl(i)->ChangeScale(M, D);
}

void TWinControl::Loaded() {
  inherited::Loaded();
  // The build placed the anchored children for the client area it gave the control.
  SetAnchorBase();
  if (GetControlState().Contains(csAlignmentNeeded))
    Realign();
}

void TWinControl::SetAnchorBase() {
  const TRect client = GetClientRect();
  FLastClientWidth = RectWidth(client);
  FLastClientHeight = RectHeight(client);
}

void TWinControl::AdjustClientRect(TRect& rect) {
  InflateRect(&rect, -FBorderWidth, -FBorderWidth);
}

bool TWinControl::HasChild(const TControl* control) const {
  return std::find(FControls.begin(), FControls.end(), control) != FControls.end() ||
         std::find(FWinControls.begin(), FWinControls.end(), control) != FWinControls.end();
}

void TWinControl::ApplyAnchors(int oldWidth, int oldHeight) {
  const TRect client = GetClientRect();
  const int dx = RectWidth(client) - oldWidth;
  const int dy = RectHeight(client) - oldHeight;
  if (dx == 0 && dy == 0)
    return;
  // A child's OnResize may free it, or another child: each is placed while it is one.
  std::vector<TControl*> children;
  for (int i = 0; i < GetControlCount(); ++i)
    children.push_back(GetControl(i));
  for (TControl* c : children) {
    if (!HasChild(c) || c->GetAlign() != alNone)
      continue;
    const TAnchors a = c->GetAnchors();
    int left = c->GetLeft(), top = c->GetTop(), width = c->GetWidth(), height = c->GetHeight();
    if (a.Contains(akRight)) {
      if (a.Contains(akLeft))
        width += dx;
      else
        left += dx;
    } else if (!a.Contains(akLeft)) {
      left += dx / 2;
    }
    if (a.Contains(akBottom)) {
      if (a.Contains(akTop))
        height += dy;
      else
        top += dy;
    } else if (!a.Contains(akTop)) {
      top += dy / 2;
    }
    c->SetBounds(left, top, width, height);
  }
}

void TWinControl::AlignControls(TControl* control, TRect& rect) {
  const TRect client = GetClientRect();
  if (FLastClientWidth >= 0)
    ApplyAnchors(FLastClientWidth, FLastClientHeight);
  FLastClientWidth = RectWidth(client);
  FLastClientHeight = RectHeight(client);

  auto key = [](TControl* c, TAlign align) {
    switch (align) {
      case alTop: return c->GetTop();
      case alBottom: return -(c->GetTop() + c->GetHeight());
      case alLeft: return c->GetLeft();
      case alRight: return -(c->GetLeft() + c->GetWidth());
      default: return 0;
    }
  };
  for (TAlign align : {alTop, alBottom, alLeft, alRight, alClient}) {
    std::vector<TControl*> list;
    for (int i = 0; i < GetControlCount(); ++i) {
      TControl* c = GetControl(i);
      if (c->GetAlign() == align && c->GetVisible())
        list.push_back(c);
    }
    std::stable_sort(list.begin(), list.end(), [&](TControl* a, TControl* b) {
      const int ka = key(a, align), kb = key(b, align);
      if (ka != kb)
        return ka < kb;
      return a == control && b != control;  // the control being placed wins a tie
    });
    for (TControl* c : list) {
      // A child's OnResize may free it, or another child of the list: a child gone
      // takes no room.
      if (!HasChild(c))
        continue;
      const int w = c->GetWidth(), h = c->GetHeight();
      const TAliveGuard alive(c);
      switch (align) {
        case alTop:
          c->SetBounds(rect.left, rect.top, RectWidth(rect), h);
          rect.top += alive.Alive() ? c->GetHeight() : 0;
          break;
        case alBottom:
          c->SetBounds(rect.left, rect.bottom - h, RectWidth(rect), h);
          rect.bottom -= alive.Alive() ? c->GetHeight() : 0;
          break;
        case alLeft:
          c->SetBounds(rect.left, rect.top, w, RectHeight(rect));
          rect.left += alive.Alive() ? c->GetWidth() : 0;
          break;
        case alRight:
          c->SetBounds(rect.right - w, rect.top, w, RectHeight(rect));
          rect.right -= alive.Alive() ? c->GetWidth() : 0;
          break;
        default:
          c->SetBounds(rect.left, rect.top, RectWidth(rect), RectHeight(rect));
          break;
      }
    }
  }
}

// ---- Bounds -------------------------------------------------------------------------------

void TWinControl::SetBounds(int left, int top, int width, int height) {
  GetConstraints()->Apply(width, height);
  if (!CanResize(width, height)) {
    width = GetWidth();
    height = GetHeight();
  }
  if (left == GetLeft() && top == GetTop() && width == GetWidth() && height == GetHeight())
    return;
  if (FHandle && !IsIconic(FHandle)) {
    SetWindowPos(FHandle, nullptr, left, top, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
    return;
  }
  const bool resized = width != GetWidth() || height != GetHeight();
  UpdateBoundsRect(Bounds(left, top, width, height));
  RequestAlign();
  if (resized) {
    Realign();
    if (!GetComponentState().Contains(csLoading))
      Resize();
  }
}

TRect TWinControl::GetClientRect() {
  if (!FHandle)
    return inherited::GetClientRect();
  RECT r{};
  ::GetClientRect(FHandle, &r);
  return r;
}

TPoint TWinControl::GetClientOrigin() {
  POINT p{0, 0};
  ::ClientToScreen(GetHandle(), &p);
  return p;
}

void TWinControl::WMSize(TMessage& message) {
  UpdateBounds();
  // The default handling and the layout may size the window again (a combo box keeps
  // its own height, a bar fits its bands), and that size's OnResize may free the control.
  if (!Survives(this, [&] { inherited::Dispatch(message); }) || !Survives(this, &TWinControl::Realign))
    return;
  if (!GetComponentState().Contains(csLoading))
    Resize();
}

void TWinControl::WMMove(TMessage& message) {
  UpdateBounds();
  inherited::Dispatch(message);
}

void TWinControl::WMWindowPosChanged(TMessage& message) {
  if (message.LParam && FHandle)
    UpdateBounds();
  inherited::Dispatch(message);
}

void TWinControl::SetBorderWidth(int value) {
  if (value == FBorderWidth)
    return;
  FBorderWidth = value;
  Realign();
  Invalidate();
}

void TWinControl::SetCtl3D(bool value) {
  if (value == FCtl3D)
    return;
  FCtl3D = value;
  Perform(CM_CTL3DCHANGED);
}

// ---- Painting -----------------------------------------------------------------------------

void TWinControl::Invalidate() {
  if (FHandle)
    InvalidateRect(FHandle, nullptr, !GetControlStyle().Contains(csOpaque));
}

void TWinControl::Update() {
  if (FHandle)
    UpdateWindow(FHandle);
}

void TWinControl::Repaint() {
  Invalidate();
  Update();
}

void TWinControl::PaintWindow(HDC dc) {
  TMessage message;
  message.Msg = WM_PAINT;
  message.WParam = reinterpret_cast<WPARAM>(dc);
  DefaultHandler(message);
}

void TWinControl::PaintHandler(TMessage& message) {
  TPaintScope paint(FHandle, reinterpret_cast<HDC>(message.WParam));
  HDC dc = paint.DC();
  if (FControls.empty()) {
    PaintWindow(dc);
  } else {
    const int saved = SaveDC(dc);
    int clip = SIMPLEREGION;
    for (TControl* c : FControls) {
      if (!c->GetVisible() || !c->GetControlStyle().Contains(csOpaque))
        continue;
      clip = ExcludeClipRect(dc, c->GetLeft(), c->GetTop(), c->GetLeft() + c->GetWidth(),
                             c->GetTop() + c->GetHeight());
      if (clip == NULLREGION)
        break;
    }
    if (clip != NULLREGION)
      PaintWindow(dc);
    RestoreDC(dc, saved);
  }
  PaintControls(dc, nullptr);
}

void TWinControl::PaintControls(HDC dc, TControl* first) {
  size_t i = 0;
  if (first) {
    auto it = std::find(FControls.begin(), FControls.end(), first);
    if (it != FControls.end())
      i = size_t(it - FControls.begin());
  }
  const std::vector<TControl*> controls = FControls;
  for (; i < controls.size(); ++i) {
    TControl* c = controls[i];
    const TRect r = c->GetBoundsRect();
    if (!c->GetVisible() || !RectVisible(dc, &r))
      continue;
    const bool paintCopy = GetControlState().Contains(csPaintCopy);
    if (paintCopy)
      c->SetControlState(c->GetControlState() + TControlState{csPaintCopy});
    const int saved = SaveDC(dc);
    struct TRestore {
      HDC DC;
      int Saved;
      TControl* Control;
      ~TRestore() {
        RestoreDC(DC, Saved);
        Control->SetControlState(Control->GetControlState() - TControlState{csPaintCopy});
      }
    } restore{dc, saved, c};
    MoveWindowOrg(dc, c->GetLeft(), c->GetTop());
    IntersectClipRect(dc, 0, 0, c->GetWidth(), c->GetHeight());
    c->Perform(WM_PAINT, reinterpret_cast<WPARAM>(dc));
  }
}

void TWinControl::PaintTo(HDC dc, int x, int y) {
  SetControlState(GetControlState() + TControlState{csPaintCopy});
  struct TClear {
    TWinControl* Self;
    ~TClear() { Self->SetControlState(Self->GetControlState() - TControlState{csPaintCopy}); }
  } clear{this};
  const int saved = SaveDC(dc);
  MoveWindowOrg(dc, x, y);
  IntersectClipRect(dc, 0, 0, GetWidth(), GetHeight());
  HWND wnd = GetHandle();
  UINT edge = 0, flags = 0;
  if (GetWindowLongA(wnd, GWL_EXSTYLE) & WS_EX_CLIENTEDGE) {
    edge = EDGE_SUNKEN;
    flags = BF_RECT | BF_ADJUST;
  } else if (GetWindowLongA(wnd, GWL_STYLE) & WS_BORDER) {
    edge = BDR_OUTER;
    flags = BF_RECT | BF_ADJUST | BF_MONO;
  }
  if (flags) {
    RECT r = Rect(0, 0, GetWidth(), GetHeight());
    DrawEdge(dc, &r, edge, flags);
    MoveWindowOrg(dc, r.left, r.top);
    IntersectClipRect(dc, 0, 0, RectWidth(r), RectHeight(r));
  }
  Perform(WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc));
  Perform(WM_PAINT, reinterpret_cast<WPARAM>(dc));
  RestoreDC(dc, saved);
  for (TWinControl* child : std::vector<TWinControl*>(FWinControls))
    if (child->GetVisible())
      child->PaintTo(dc, x + child->GetLeft(), y + child->GetTop());
}

void TWinControl::WMPaint(TMessage& message) {
  if (!GetControlState().Contains(csCustomPaint) && FControls.empty()) {
    inherited::Dispatch(message);
    return;
  }
  PaintHandler(message);
}

void TWinControl::WMEraseBkgnd(TMessage& message) {
  const TRect client = GetClientRect();
  FillRect(reinterpret_cast<HDC>(message.WParam), &client, FBrush->GetHandle());
  message.Result = 1;
}

void TWinControl::BrushChanged() { FBrush->SetColor(GetColor()); }

void TWinControl::CMColorChanged(TMessage& message) {
  inherited::Dispatch(message);
  BrushChanged();
  NotifyControls(CM_PARENTCOLORCHANGED);
}

void TWinControl::CMFontChanged(TMessage& message) {
  inherited::Dispatch(message);
  if (FHandle)
    Perform(WM_SETFONT, reinterpret_cast<WPARAM>(GetFont()->GetHandle()), 0);
  NotifyControls(CM_PARENTFONTCHANGED);
}

void TWinControl::CMShowHintChanged(TMessage&) { NotifyControls(CM_PARENTSHOWHINTCHANGED); }

void TWinControl::CMSysColorChange(TMessage& message) {
  if (IsSystemColor(GetColor())) {
    // The brush holds the old RGB value of a system colour: make it again.
    FBrush->SetColor(clNone);
    FBrush->SetColor(GetColor());
    Invalidate();
  }
  Broadcast(message);
  message.Result = 0;
}

void TWinControl::CMEnabledChanged(TMessage&) {
  if (!GetEnabled() && GetParent())
    RemoveFocus(false);
  if (FHandle)
    EnableWindow(FHandle, GetEnabled());
}

void TWinControl::CNCtlColor(TMessage& message) {
  HDC dc = reinterpret_cast<HDC>(message.WParam);
  SetTextColor(dc, ColorToRGB(GetFont()->GetColor()));
  SetBkColor(dc, ColorToRGB(GetColor()));
  message.Result = reinterpret_cast<LRESULT>(FBrush->GetHandle());
}

// ---- Dispatch -----------------------------------------------------------------------------

void TWinControl::WndProc(TMessage& message) {
  switch (message.Msg) {
    case WM_SETFOCUS:
      if (TCustomForm* form = GetParentForm(this); form && !form->SetFocusedControl(this))
        return;
      break;
    case WM_KILLFOCUS:
      if (GetControlState().Contains(csFocusing))
        return;
      break;
  }
  if (message.Msg >= WM_MOUSEFIRST && message.Msg <= WM_MOUSELAST && message.Msg != WM_MOUSEWHEEL &&
      FHandle) {
    if (message.Msg == WM_MOUSEMOVE) {
      // The cursor's position, not the message's: a late move message must not bring
      // back a control the mouse has left.
      TRACKMOUSEEVENT track{sizeof track, TME_LEAVE, FHandle, 0};
      TrackMouseEvent(&track);
      POINT p{};
      GetCursorPos(&p);
      // OnMouseEnter and OnMouseLeave may free this control: the move ends with it.
      if (!Survives(this, [&] { UpdateMouseControl(p); }))
        return;
    }
    // A windowless child's handler may free this control (a tool bar's button freeing
    // the bar's owner): the message ends with it.
    bool toChild = false;
    if (!Survives(this, [&] { toChild = IsControlMouseMsg(message); }))
      return;
    if (toChild) {
      if (message.Result == 0 && FHandle)
        DefWindowProcA(FHandle, message.Msg, message.WParam, message.LParam);
      return;
    }
  }
  inherited::WndProc(message);
}

bool TWinControl::IsControlMouseMsg(TMessage& message) {
  TControl* control = nullptr;
  if (GetCapture() == FHandle) {
    TControl* captured = GetCaptureControl();
    if (captured && captured != this && captured->GetParent() == this)
      control = captured;
  } else {
    control = ControlAtPos(MessageAs<TWMMouse>(message).Pos(), false);
  }
  if (!control)
    return false;
  const auto& mouse = MessageAs<TWMMouse>(message);
  const int x = mouse.XPos - control->GetLeft();
  const int y = mouse.YPos - control->GetTop();
  message.Result = control->Perform(message.Msg, mouse.Keys, MAKELPARAM(WORD(short(x)), WORD(short(y))));
  return true;
}

void TWinControl::Dispatch(TMessage& message) {
  switch (message.Msg) {
    case WM_PAINT: WMPaint(message); return;
    case WM_ERASEBKGND: WMEraseBkgnd(message); return;
    case WM_COMMAND: WMCommand(message); return;
    case WM_NOTIFY: WMNotify(message); return;
    case WM_DRAWITEM: WMDrawItem(message); return;
    case WM_MEASUREITEM: WMMeasureItem(message); return;
    case WM_DELETEITEM:
    case WM_COMPAREITEM:
    case WM_CHARTOITEM:
    case WM_VKEYTOITEM:
    case WM_HSCROLL:
    case WM_VSCROLL:
      WMItemMessage(message);
      return;
    case WM_SIZE: WMSize(message); return;
    case WM_MOVE: WMMove(message); return;
    case WM_WINDOWPOSCHANGED: WMWindowPosChanged(message); return;
    case WM_SETCURSOR: WMSetCursor(message); return;
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
    case WM_KEYUP:
    case WM_SYSKEYUP:
    case WM_CHAR:
      WMKeyMessage(message);
      return;
    case WM_DESTROY:
      // Whoever destroys the window, its text stays with the control.
      SetStoredText(GetText());
      inherited::Dispatch(message);
      return;
    case WM_NCDESTROY: WMNCDestroy(message); return;
    case WM_SETFOCUS: WMSetFocus(message); return;
    case WM_KILLFOCUS: WMKillFocus(message); return;
    case WM_MOUSELEAVE: WMMouseLeave(message); return;
    case WM_CANCELMODE: WMCancelMode(message); return;
    case WM_SYSCOLORCHANGE:
      Perform(CM_SYSCOLORCHANGE);
      inherited::Dispatch(message);
      return;
    case WM_SETTINGCHANGE:
      // Locale and system settings changed: every control hears it as CM_WININICHANGE.
      inherited::Dispatch(message);
      Perform(CM_WININICHANGE, message.WParam, message.LParam);
      return;
    case CM_WININICHANGE:
      Broadcast(message);
      message.Result = 0;
      return;
    case CN_KEYDOWN:
    case CN_SYSKEYDOWN:
      CNKeyDown(message);
      return;
    case CN_CHAR:
    case CN_SYSCHAR:
      CNChar(message);
      return;
    case CN_CTLCOLORBTN:
    case CN_CTLCOLORDLG:
    case CN_CTLCOLOREDIT:
    case CN_CTLCOLORLISTBOX:
    case CN_CTLCOLORMSGBOX:
    case CN_CTLCOLORSCROLLBAR:
    case CN_CTLCOLORSTATIC:
      CNCtlColor(message);
      return;
    case WM_CHANGEUISTATE:
    case WM_QUERYUISTATE:
      // The form keeps the keyboard cues of all its controls (the system's default
      // procedure does not pass these on everywhere).
      if (TWinControl* parent = GetParent()) {
        message.Result = parent->Perform(message.Msg, message.WParam, message.LParam);
        return;
      }
      break;
    case CM_CHILDKEY: CMChildKey(message); return;
    case CM_DIALOGKEY: CMDialogKey(message); return;
    case CM_DIALOGCHAR: CMDialogChar(message); return;
    case CM_FOCUSCHANGED:
      Broadcast(message);
      message.Result = 0;
      return;
    case CM_CONTROLLISTCHANGE: CMControlListChange(message); return;
    case CM_SHOWINGCHANGED: CMShowingChanged(message); return;
    case CM_VISIBLECHANGED: CMVisibleChanged(message); return;
    case CM_ENABLEDCHANGED: CMEnabledChanged(message); return;
    case CM_COLORCHANGED: CMColorChanged(message); return;
    case CM_FONTCHANGED: CMFontChanged(message); return;
    case CM_SHOWHINTCHANGED: CMShowHintChanged(message); return;
    case CM_ENTER: CMEnter(message); return;
    case CM_EXIT: CMExit(message); return;
    case CM_RECREATEWND: CMRecreateWnd(message); return;
    case CM_SYSCOLORCHANGE: CMSysColorChange(message); return;
    case CM_DRAG: CMDockDrag(message); return;
  }
  inherited::Dispatch(message);
}

void TWinControl::DefaultHandler(TMessage& message) {
  if (!FHandle) {
    inherited::DefaultHandler(message);
    return;
  }
  if (message.Msg >= WM_CTLCOLORMSGBOX && message.Msg <= WM_CTLCOLORSTATIC) {
    TWinControl* child = FindControl(reinterpret_cast<HWND>(message.LParam));
    if (child && child != this) {
      message.Result = child->Perform(CN_BASE + message.Msg, message.WParam, message.LParam);
      return;
    }
  }
  const TBusyWindow busy(FHandle);
  message.Result = CallWindowProcA(FDefWndProc, FHandle, message.Msg, message.WParam, message.LParam);
}

bool TWinControl::DoControlMsg(HWND control, TMessage& message) {
  TWinControl* target = FindControl(control);
  if (!target || target == this)
    return false;
  message.Result = target->Perform(CN_BASE + message.Msg, message.WParam, message.LParam);
  return true;
}

void TWinControl::WMCommand(TMessage& message) {
  if (!DoControlMsg(MessageAs<TWMCommand>(message).Ctl, message))
    inherited::Dispatch(message);
}

void TWinControl::WMNotify(TMessage& message) {
  const NMHDR* header = MessageAs<TWMNotify>(message).NMHdr;
  if (!header || !DoControlMsg(header->hwndFrom, message))
    inherited::Dispatch(message);
}

void TWinControl::WMDrawItem(TMessage& message) {
  const DRAWITEMSTRUCT* item = MessageAs<TWMDrawItem>(message).DrawItemStruct;
  if (!item || item->CtlType == ODT_MENU || !DoControlMsg(item->hwndItem, message))
    inherited::Dispatch(message);
}

void TWinControl::WMMeasureItem(TMessage& message) {
  const MEASUREITEMSTRUCT* item = MessageAs<TWMMeasureItem>(message).MeasureItemStruct;
  if (item && item->CtlType != ODT_MENU) {
    if (TWinControl* target = FindControlById(item->CtlID); target && target != this) {
      message.Result = target->Perform(CN_MEASUREITEM, message.WParam, message.LParam);
      return;
    }
  }
  inherited::Dispatch(message);
}

void TWinControl::WMItemMessage(TMessage& message) {
  HWND control = nullptr;
  switch (message.Msg) {
    case WM_DELETEITEM:
      control = reinterpret_cast<DELETEITEMSTRUCT*>(message.LParam)->hwndItem;
      break;
    case WM_COMPAREITEM:
      control = reinterpret_cast<COMPAREITEMSTRUCT*>(message.LParam)->hwndItem;
      break;
    default:
      control = reinterpret_cast<HWND>(message.LParam);
      break;
  }
  if (!DoControlMsg(control, message))
    inherited::Dispatch(message);
}

void TWinControl::WMNCDestroy(TMessage& message) {
  inherited::Dispatch(message);
  HWND wnd = FHandle;
  FreeWindowDeviceContexts(wnd);
  UnregisterWindow(this, wnd, FWindowId);
  FHandle = nullptr;
  FShowing = false;
}

void TWinControl::WMSetCursor(TMessage& message) {
  const auto& m = MessageAs<TWMSetCursor>(message);
  if (m.CursorWnd == FHandle && short(m.HitTest) == HTCLIENT && Screen) {
    TCursor cursor = Screen->GetCursor();
    if (cursor == crDefault) {
      POINT p{};
      GetCursorPos(&p);
      TControl* control = ControlAtPos(ScreenToClient(p), false);
      cursor = control ? control->GetCursor() : GetCursor();
    }
    if (cursor != crDefault) {
      ::SetCursor(Screen->GetCursors(cursor));
      message.Result = 1;
      return;
    }
  }
  inherited::Dispatch(message);
}

void TWinControl::WMMouseLeave(TMessage& message) {
  POINT p{};
  GetCursorPos(&p);
  TControl* mouse = GetMouseControl();
  if (mouse == this || (mouse && mouse->GetParent() == this))
    UpdateMouseControl(p);
  inherited::Dispatch(message);
}

void TWinControl::WMCancelMode(TMessage& message) {
  inherited::Dispatch(message);
  TControl* captured = GetCaptureControl();
  if (captured && captured != this && captured->GetParent() == this)
    captured->Perform(WM_CANCELMODE);
}

// ---- Focus --------------------------------------------------------------------------------

bool TWinControl::Focused() const { return FHandle && GetFocus() == FHandle; }

bool TWinControl::CanFocus() {
  TCustomForm* form = GetParentForm(this);
  if (!form)
    return false;
  for (TWinControl* control = this; control != form; control = control->GetParent())
    if (!control->GetVisible() || !control->GetEnabled())
      return false;
  return true;
}

void TWinControl::SetFocus() {
  if (TCustomForm* form = GetParentForm(this)) {
    form->FocusControl(this);
    return;
  }
  if (FParentWindow) {
    ::SetFocus(GetHandle());
    return;
  }
  throw EInvalidOperation(Format("Control '%s' has no parent window", GetName().c_str()));
}

void TWinControl::RemoveFocus(bool removing) {
  if (TCustomForm* form = GetParentForm(this))
    form->DefocusControl(this, removing);
}

void TWinControl::SetTabStop(bool value) {
  if (value == FTabStop)
    return;
  FTabStop = value;
  if (FHandle) {
    LONG style = GetWindowLongA(FHandle, GWL_STYLE);
    SetWindowLongA(FHandle, GWL_STYLE, value ? (style | WS_TABSTOP) : (style & ~WS_TABSTOP));
  }
  Perform(CM_TABSTOPCHANGED);
}

int TWinControl::GetTabOrder() const {
  if (!GetParent())
    return -1;
  const auto& list = GetParent()->FTabList;
  auto it = std::find(list.begin(), list.end(), this);
  return it == list.end() ? -1 : int(it - list.begin());
}

void TWinControl::SetTabOrder(int value) {
  if (!GetParent())
    return;
  auto& list = GetParent()->FTabList;
  auto it = std::find(list.begin(), list.end(), this);
  if (it == list.end())
    return;
  list.erase(it);
  value = std::clamp(value, 0, int(list.size()));
  list.insert(list.begin() + value, this);
}

void TWinControl::GetTabOrderList(std::vector<TWinControl*>& list) {
  for (TWinControl* control : FTabList) {
    list.push_back(control);
    control->GetTabOrderList(list);
  }
}

TWinControl* TWinControl::FindNextControl(TWinControl* current, bool goForward, bool checkTabStop,
                                          bool checkParent) {
  std::vector<TWinControl*> list;
  GetTabOrderList(list);
  if (list.empty())
    return nullptr;
  const int count = int(list.size());
  auto found = std::find(list.begin(), list.end(), current);
  int start = found == list.end() ? (goForward ? count - 1 : 0) : int(found - list.begin());
  int i = start;
  do {
    if (goForward) {
      if (++i == count)
        i = 0;
    } else {
      if (i == 0)
        i = count;
      --i;
    }
    TWinControl* candidate = list[size_t(i)];
    if (candidate->CanFocus() && (!checkTabStop || candidate->GetTabStop()) &&
        (!checkParent || candidate->GetParent() == this))
      return candidate;
  } while (i != start);
  return nullptr;
}

void TWinControl::SelectNext(TWinControl* current, bool goForward, bool checkTabStop) {
  if (TWinControl* next = FindNextControl(current, goForward, checkTabStop, !checkTabStop))
    next->SetFocus();
}

void TWinControl::WMSetFocus(TMessage& message) { inherited::Dispatch(message); }

void TWinControl::WMKillFocus(TMessage& message) { inherited::Dispatch(message); }

void TWinControl::DoEnter() { OnEnter(this); }

void TWinControl::DoExit() { OnExit(this); }

void TWinControl::CMEnter(TMessage&) { DoEnter(); }

void TWinControl::CMExit(TMessage&) { DoExit(); }

// ---- Keys ---------------------------------------------------------------------------------

void TWinControl::KeyDown(WORD& key, TShiftState shift) { OnKeyDown(this, key, shift); }

void TWinControl::KeyUp(WORD& key, TShiftState shift) { OnKeyUp(this, key, shift); }

void TWinControl::KeyPress(char& key) { OnKeyPress(this, key); }

bool TWinControl::DoKeyDown(TMessage& message) { return DoKey(message, &TWinControl::KeyDown); }

bool TWinControl::DoKeyUp(TMessage& message) { return DoKey(message, &TWinControl::KeyUp); }

// With KeyPreview the form sees the key first and may consume it; a form's handler that
// freed this control consumed it too.
template <class Preview>
bool TWinControl::PreviewConsumes(Preview preview) {
  TCustomForm* form = GetParentForm(this);
  if (!form || form == this || !form->GetKeyPreview())
    return false;
  bool consumed = false;
  return !Survives(this, [&] { consumed = preview(form); }) || consumed;
}

// A key whose handler freed the control counts as consumed: nothing of the control is
// touched again and the message goes no further.
bool TWinControl::DoKey(TMessage& message, void (TWinControl::*handler)(WORD&, TShiftState)) {
  if (PreviewConsumes([&](TWinControl* preview) { return preview->DoKey(message, handler); }))
    return true;
  auto& key = MessageAs<TWMKey>(message);
  if (GetControlStyle().Contains(csNoStdEvents))
    return false;
  WORD code = key.CharCode;
  if (!Survives(this, handler, code, KeyDataToShiftState(key.KeyData)))
    return true;
  key.CharCode = code;
  return code == 0;
}

bool TWinControl::DoKeyPress(TMessage& message) {
  if (PreviewConsumes([&](TWinControl* preview) { return preview->DoKeyPress(message); }))
    return true;
  auto& key = MessageAs<TWMKey>(message);
  if (GetControlStyle().Contains(csNoStdEvents))
    return false;
  char ch = char(key.CharCode);
  if (!Survives(this, &TWinControl::KeyPress, ch))
    return true;
  key.CharCode = WORD(uint8_t(ch));
  return ch == 0;
}


void TWinControl::WMKeyMessage(TMessage& message) {
  bool handled = false;
  switch (message.Msg) {
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
      handled = DoKeyDown(message);
      break;
    case WM_KEYUP:
    case WM_SYSKEYUP:
      handled = DoKeyUp(message);
      break;
    case WM_CHAR:
      handled = DoKeyPress(message);
      break;
  }
  if (!handled)
    inherited::Dispatch(message);
}

void TWinControl::ShowKeyboardCues(WORD key) {
  WORD shown = 0;
  switch (key) {
    case VK_TAB:
    case VK_LEFT:
    case VK_RIGHT:
    case VK_UP:
    case VK_DOWN:
      shown = UISF_HIDEFOCUS;
      break;
    case VK_MENU:
      shown = UISF_HIDEFOCUS | UISF_HIDEACCEL;
      break;
  }
  if (shown)
    Perform(WM_CHANGEUISTATE, MAKEWPARAM(UIS_CLEAR, shown));
}

void TWinControl::CNKeyDown(TMessage& message) {
  auto& key = MessageAs<TWMKey>(message);
  ShowKeyboardCues(key.CharCode);
  message.Result = 1;
  TCustomForm* form = GetParentForm(this);
  // The form's short-cut handler may free the form, and this control with it.
  bool shortCut = false;
  if (form && (!Survives(this, [&] { shortCut = form->IsShortCut(message); }) || shortCut))
    return;
  if (Perform(CM_CHILDKEY, key.CharCode, reinterpret_cast<LPARAM>(this)) != 0)
    return;
  LRESULT mask = 0;
  switch (key.CharCode) {
    case VK_TAB:
      mask = DLGC_WANTTAB;
      break;
    case VK_LEFT:
    case VK_RIGHT:
    case VK_UP:
    case VK_DOWN:
      mask = DLGC_WANTARROWS;
      break;
    case VK_RETURN:
    case VK_EXECUTE:
    case VK_ESCAPE:
    case VK_CANCEL:
      mask = DLGC_WANTALLKEYS;
      break;
  }
  if (mask && Perform(CM_WANTSPECIALKEY, key.CharCode, key.KeyData) == 0 &&
      (Perform(WM_GETDLGCODE) & mask) == 0 && form &&
      form->Perform(CM_DIALOGKEY, key.CharCode, key.KeyData) != 0)
    return;
  message.Result = 0;
}

void TWinControl::CNChar(TMessage& message) {
  auto& key = MessageAs<TWMKey>(message);
  message.Result = 1;
  TCustomForm* form = GetParentForm(this);
  const bool system = message.Msg == CN_SYSCHAR;
  if (form && (system || (Perform(WM_GETDLGCODE) & DLGC_WANTCHARS) == 0) &&
      form->Perform(CM_DIALOGCHAR, key.CharCode, key.KeyData) != 0)
    return;
  message.Result = 0;
}

void TWinControl::CMChildKey(TMessage& message) {
  if (GetParent())
    GetParent()->GetWindowProc()(message);
}

void TWinControl::CMDialogKey(TMessage& message) { Broadcast(message); }

void TWinControl::CMDialogChar(TMessage& message) { Broadcast(message); }
