// TKsCustomForm's window states, close command, system menu, tray icon, application
// event chaining and MDI support. The skinner keeps the states itself: the native
// window stays "normal" while the skinner sizes it to the maximized, minimized or
// rolled-up rectangle, and the tray state hides the window behind a tray icon.
//
// Decisions taken here:
// - The application's minimize and restore handlers are chained by every skinner that
//   sees its form activated. A skinner freed out of order (not the last to chain) is
//   unlinked from the chain instead of writing its saved handlers back, which would
//   leave the application calling a freed skinner.
// - A maximized child's caption is merged into the parent's as " - [child]"; only such
//   a trailing suffix is taken off again, so a parent caption that holds "[" of its
//   own stays whole.
// - Restoring to the normal state never applies restore bounds that were not saved.
// - Minimizing in answer to the application's own minimize event does not minimize the
//   application again, which would run the chained minimize handlers twice.
// - Messages of the tray window other than its four go to the default procedure: they
//   are not the form's messages.
#include <algorithm>
#include <vector>

#include "classlib/Boundary.h"
#include "classlib/FlagScope.h"
#include "classlib/Forms.h"
#include "classlib/GdiHandles.h"
#include "classlib/Menus.h"
#include "classlib/WndProcThunk.h"
#include "skin/KsForms.h"
#include "skin/KsItems.h"
#include "skin/KsMenus.h"

namespace {

// The skinners whose handlers are chained into the application's events, oldest first.
std::vector<TKsCustomForm*>& AppChain() {
  static std::vector<TKsCustomForm*> chain;
  return chain;
}

bool EmptyBounds(const TRect& r) { return r.right <= r.left || r.bottom <= r.top; }

constexpr const char* kRestoreText = "&Restore";
constexpr const char* kMinimizeText = "Mi&nimize";
constexpr const char* kMaximizeText = "Ma&ximize";
constexpr const char* kRollupText = "Ro&llup";
constexpr const char* kTrayText = "Minimize to &Tray";
constexpr const char* kCloseText = "&Close";

// The maximized-child suffix " - [...]" at the end of an MDI parent's caption.
std::string WithoutChildSuffix(const std::string& caption) {
  if (caption.empty() || caption.back() != ']')
    return caption;
  const size_t at = caption.rfind(" - [");
  return at == std::string::npos ? caption : caption.substr(0, at);
}

}  // namespace

TKsCustomForm* FindFormSkinner(TComponent* form) {
  if (!form)
    return nullptr;
  for (int i = 0; i < form->GetComponentCount(); ++i)
    if (auto* skinner = ObjectAs<TKsCustomForm>(form->GetComponent(i)); skinner && skinner->GetActive())
      return skinner;
  return nullptr;
}

// ---- application events -----------------------------------------------------------------

void TKsCustomForm::ChainApplicationEvents() {
  if (FAppHooked || !Application)
    return;
  FSavedOnMinimize = Application->OnMinimize;
  FSavedOnRestore = Application->OnRestore;
  Application->OnMinimize = TNotifyEvent::Bind<&TKsCustomForm::AppMinimize>(this);
  Application->OnRestore = TNotifyEvent::Bind<&TKsCustomForm::AppRestore>(this);
  FAppHooked = true;
  AppChain().push_back(this);
}

void TKsCustomForm::UnchainApplicationEvents() {
  if (!FAppHooked)
    return;
  FAppHooked = false;
  auto& chain = AppChain();
  chain.erase(std::remove(chain.begin(), chain.end(), this), chain.end());
  if (!Application)
    return;
  const TNotifyEvent mine = TNotifyEvent::Bind<&TKsCustomForm::AppMinimize>(this);
  const TNotifyEvent mineRestore = TNotifyEvent::Bind<&TKsCustomForm::AppRestore>(this);
  if (Application->OnMinimize == mine)
    Application->OnMinimize = FSavedOnMinimize;
  if (Application->OnRestore == mineRestore)
    Application->OnRestore = FSavedOnRestore;
  // A skinner that chained later calls this one next: it calls this one's saved
  // handler instead.
  for (TKsCustomForm* other : chain) {
    if (other->FSavedOnMinimize == mine)
      other->FSavedOnMinimize = FSavedOnMinimize;
    if (other->FSavedOnRestore == mineRestore)
      other->FSavedOnRestore = FSavedOnRestore;
  }
}

void TKsCustomForm::AppMinimize(TObject* sender) {
  if (FWindowState != kwsMinimized && FWindowState != kwsTray && FMinimizeApplication) {
    // The application is minimizing already: minimizing it again from here would run
    // its minimize handlers a second time.
    const TFlagScope minimizing(FAppMinimizing);
    Minimize();
  }
  if (FSavedOnMinimize)
    FSavedOnMinimize(sender);
}

void TKsCustomForm::AppRestore(TObject* sender) {
  if (FWindowState == kwsMinimized && FMinimizeApplication) {
    Restore();
    PaintNonClient();
  }
  if (FSavedOnRestore)
    FSavedOnRestore(sender);
}

void TKsCustomForm::FormShortCut(TMessage& message, bool& handled) {
  if (FMenuBar && FMenuBar->IsShortCut(message)) {
    handled = true;
    return;
  }
  if (FOldShortCut)
    FOldShortCut(message, handled);
}

// ---- commands ---------------------------------------------------------------------------

TCustomForm* TKsCustomForm::CommandForm() const {
  TCustomForm* form = GetForm();
  if (!GetActive() || !form || !form->HandleAllocated() || Designing())
    return nullptr;
  return form;
}

bool TKsCustomForm::IsModalForm() const {
  TCustomForm* form = GetForm();
  return form && form->GetFormState().Contains(fsModal);
}

void TKsCustomForm::CloseForm() {
  TCustomForm* form = CommandForm();
  if (!form)
    return;
  if (IsModalForm()) {
    form->SetModalResult(mrCancel);
    return;
  }
  if (!form->CloseQuery())
    return;
  TCloseAction action = caHide;
  if (IsMDIChild())
    action = FBorderIcons.Contains(kbiMinimize) ? caMinimize : caNone;
  if (form->OnClose)
    form->OnClose(form, action);
  if (action == caNone)
    return;
  if (Application && Application->GetMainForm() == form) {
    Application->Terminate();
    return;
  }
  switch (action) {
    case caHide:
      HideParentMDIButtons();
      RestoreMDIChildren();
      form->Hide();
      break;
    case caMinimize: Minimize(); break;
    case caFree:
      HideParentMDIButtons();
      RestoreMDIChildren();
      form->Release();
      break;
    case caNone: break;
  }
}

void TKsCustomForm::Maximize() {
  TCustomForm* form = CommandForm();
  if (!form)
    return;
  if (FWindowState == kwsMaximized) {
    Restore();
    return;
  }
  if (FWindowState != kwsRollup && FWindowState != kwsMinimized)
    FRestoreBounds = form->GetBoundsRect();
  FPrevState = FWindowState;
  FWindowState = kwsMaximized;
  form->SetBoundsRect(GetMaximizedRect());
  form->Invalidate();
  PaintNonClient();
  if (IsMDIChild()) {
    UpdateFrame();
    ShowParentMDIButtons();
    UpdateMDICaption();
  }
}

void TKsCustomForm::Minimize() {
  TCustomForm* form = CommandForm();
  if (!form || IsModalForm())
    return;
  if (FWindowState == kwsMinimized) {
    Restore();
    return;
  }
  if (FWindowState != kwsRollup && FWindowState != kwsMaximized)
    FRestoreBounds = form->GetBoundsRect();
  FPrevState = FWindowState;
  FWindowState = kwsMinimized;
  if (IsMDIChild()) {
    UpdateFrame();
    PostMessageA(form->GetHandle(), WM_SIZE, 0, 0);
    HideParentMDIButtons();
    RestoreMDIChildren();
  }
  if (FMinimizeApplication && Application) {
    if (!FAppMinimizing)
      Application->Minimize();
  } else
    form->SetBoundsRect(GetMinimizedRect());
}

void TKsCustomForm::Rollup() {
  TCustomForm* form = CommandForm();
  if (!form)
    return;
  if (FWindowState == kwsRollup) {
    Restore();
    return;
  }
  if (FWindowState != kwsMinimized && FWindowState != kwsMaximized)
    FRestoreBounds = form->GetBoundsRect();
  FPrevState = FWindowState;
  FWindowState = kwsRollup;
  form->SetBoundsRect(GetRollupRect());
}

void TKsCustomForm::MinimizeToTray() {
  TCustomForm* form = CommandForm();
  if (!form || IsModalForm())
    return;
  if (FWindowState == kwsTray) {
    Restore();
    return;
  }
  if (FWindowState != kwsMinimized && FWindowState != kwsMaximized && FWindowState != kwsRollup)
    FRestoreBounds = form->GetBoundsRect();
  FPrevState = FWindowState;
  FWindowState = kwsTray;
  std::string tip;
  if (FMinimizeApplication && Application) {
    tip = Application->GetTitle();
    Application->Minimize();
    if (Application->GetHandle())
      ShowWindow(Application->GetHandle(), SW_HIDE);
  } else {
    tip = form->GetCaption();
    ShowWindow(form->GetHandle(), SW_HIDE);
  }
  const size_t length = std::min<size_t>(tip.size(), 63);
  std::copy_n(tip.begin(), length, FTrayIcon.szTip);
  FTrayIcon.szTip[length] = '\0';
  Shell_NotifyIconA(NIM_ADD, &FTrayIcon);
}

void TKsCustomForm::Restore() {
  TCustomForm* form = CommandForm();
  if (!form)
    return;
  const TKsWindowState from = FWindowState;
  auto toSaved = [&] {
    FWindowState = kwsNormal;
    if (!EmptyBounds(FRestoreBounds))
      form->SetBoundsRect(FRestoreBounds);
  };
  switch (from) {
    case kwsNormal:
      if (!EmptyBounds(FRestoreBounds))
        form->SetBoundsRect(FRestoreBounds);
      return;
    case kwsMaximized:
      if (FPrevState == kwsMinimized) {
        if (FMinimizeApplication)
          return;
        toSaved();
        Maximize();
        return;
      }
      if (FPrevState == kwsRollup) {
        toSaved();
        Rollup();
        return;
      }
      FPrevState = kwsMaximized;
      toSaved();
      if (FDropShadow)
        form->Invalidate();
      PaintNonClient();
      if (IsMDIChild()) {
        UpdateFrame();
        PostMessageA(form->GetHandle(), WM_SIZE, 0, 0);
        HideParentMDIButtons();
        RestoreMDIChildren();
      }
      return;
    case kwsMinimized:
      if (FPrevState == kwsMaximized || FPrevState == kwsRollup) {
        if (FPrevState == kwsMaximized)
          Maximize();
        else
          Rollup();
        FPrevState = kwsNormal;
        return;
      }
      FPrevState = kwsMinimized;
      toSaved();
      return;
    case kwsRollup: {
      const TRect maximized = GetMaximizedRect();
      if (maximized.right - maximized.left == FFrameWidth || FPrevState == kwsMaximized) {
        Maximize();
        FPrevState = kwsNormal;
        return;
      }
      // Un-rolled where it was moved to, at the size it had.
      FPrevState = kwsRollup;
      FWindowState = kwsNormal;
      form->SetBounds(form->GetLeft(), form->GetTop(), FRestoreBounds.right - FRestoreBounds.left,
                      FRestoreBounds.bottom - FRestoreBounds.top);
      return;
    }
    case kwsTray: {
      HWND shown = form->GetHandle();
      if (FMinimizeApplication && Application && Application->GetHandle()) {
        Application->Restore();
        shown = Application->GetHandle();
      }
      ShowWindow(shown, SW_RESTORE);
      SetForegroundWindow(shown);
      Shell_NotifyIconA(NIM_DELETE, &FTrayIcon);
      // The bounds saved before the tray state survive the way back.
      const TRect saved = FRestoreBounds;
      const TKsWindowState previous = FPrevState;
      if (previous == kwsMaximized) {
        Maximize();
        FRestoreBounds = saved;
      } else if (previous == kwsRollup) {
        Rollup();
        FRestoreBounds = saved;
      } else {
        FPrevState = kwsTray;
        toSaved();
      }
      return;
    }
  }
}

// ---- system menu ------------------------------------------------------------------------

void TKsCustomForm::ShowSystemMenu() {
  TCustomForm* form = CommandForm();
  if (!form)
    return;
  const bool tray = FWindowState == kwsTray;
  POINT at{0, 0};
  if (tray) {
    GetCursorPos(&at);
  } else if (FSysMenuPos.x != 0 || FSysMenuPos.y != 0) {
    at = POINT{FSysMenuPos.x, FSysMenuPos.y};
    FSysMenuPos = TPoint{0, 0};
  } else {
    ClientToScreen(form->GetHandle(), &at);
  }
  if (tray && FTrayMenu) {
    if (auto* skinned = ObjectAs<TKsCustomPopupMenu>(FTrayMenu))
      skinned->GetItems()->SetTrayPopupAll(true);
    FTrayMenu->Popup(at.x, at.y);
    return;
  }
  BuildSystemMenu();
  if (tray)
    FSystemMenu->SetTrayPopupAll(true);
  PopupSystemMenu(TPoint{at.x, at.y});
}

void TKsCustomForm::PopupSystemMenu(TPoint at) {
  if (FSystemMenu)
    FSystemMenu->ShowPopup(nullptr, at.x, at.y, TRect{});
}

void TKsCustomForm::BuildSystemMenu() {
  delete FSystemMenu;
  FSystemMenu = nullptr;
  FSystemMenu = CreateMenuItem(this);
  FSystemMenu->SetImages(KsSystemMenuGlyphs());
  const TKsWindowState s = FWindowState;
  auto add = [&](const char* caption, int glyph) {
    TKsCustomItem* item = CreateMenuItem(this);
    item->SetCaption(caption);
    item->SetImages(KsSystemMenuGlyphs());
    item->SetImageIndex(glyph);
    item->OnClick = TNotifyEvent::Bind<&TKsCustomForm::SystemMenuClick>(this);
    FSystemMenu->Add(item);
    return item;
  };
  if (s == kwsMaximized || s == kwsMinimized || s == kwsRollup || s == kwsTray)
    add(kRestoreText, 3);
  if (FBorderIcons.Contains(kbiMinimize) && (s == kwsNormal || s == kwsMaximized || s == kwsRollup))
    add(kMinimizeText, 1);
  if (FBorderIcons.Contains(kbiMaximize) && (s == kwsNormal || s == kwsRollup))
    add(kMaximizeText, 2);
  if (FBorderIcons.Contains(kbiRollup) && (s == kwsNormal || s == kwsMaximized))
    add(kRollupText, 4);
  if (FBorderIcons.Contains(kbiTray) && (s == kwsNormal || s == kwsMaximized || s == kwsRollup))
    add(kTrayText, 5);
  if (FBorderIcons.Contains(kbiClose)) {
    if (FSystemMenu->GetCount() > 0)
      add("-", -1)->OnClick = TNotifyEvent();
    add(kCloseText, 0)->SetShortCut(ShortCut(VK_F4, TShiftState{ssAlt}));
  }
  FSystemMenu->SetPopupBlend(FSysMenuBlend);
  FSystemMenu->SetPopupBlendValue(FSysMenuBlendValue);
  FSystemMenu->SetDropShadowAll(FSysMenuDropShadow);
  FSystemMenu->SetShadowWidthAll(FSysMenuShadowWidth);
  FSystemMenu->SetShowAnimationAll(FSysMenuShowAnimation);
  FSystemMenu->SetShowAnimationTimeAll(FSysMenuShowAnimationTime);
}

void TKsCustomForm::SystemMenuClick(TObject* sender) {
  auto* item = ObjectAs<TKsCustomItem>(sender);
  if (!item)
    return;
  const std::string& caption = item->GetCaption();
  if (caption == kCloseText)
    CloseForm();
  else if (caption == kMaximizeText)
    Maximize();
  else if (caption == kMinimizeText)
    Minimize();
  else if (caption == kRollupText)
    Rollup();
  else if (caption == kTrayText)
    MinimizeToTray();
  else if (caption == kRestoreText)
    Restore();
}

// ---- tray window ------------------------------------------------------------------------

void TKsCustomForm::TrayWndProc(TMessage& message) {
  GuardBoundary("skinned form tray window", [&] {
    switch (message.Msg) {
      case WM_QUERYENDSESSION: message.Result = 1; return;
      case WM_ENDSESSION:
        Shell_NotifyIconA(NIM_DELETE, &FTrayIcon);
        message.Result = 0;
        return;
      case KM_TRAYCALLBACK:
        if (message.LParam == WM_LBUTTONDBLCLK)
          Restore();
        else if (message.LParam == WM_RBUTTONUP)
          ShowSystemMenu();
        message.Result = 0;
        return;
      default: message.Result = DefWindowProcA(FTrayWindow, message.Msg, message.WParam, message.LParam);
    }
  });
}

// ---- MDI --------------------------------------------------------------------------------

TCustomForm* TKsCustomForm::GetMDIParent() const {
  TCustomForm* form = GetForm();
  if (!form || form->GetFormStyle() != fsMDIChild)
    return nullptr;
  if (auto* owner = ObjectAs<TCustomForm>(form->GetOwner()); owner && owner->GetFormStyle() == fsMDIForm)
    return owner;
  if (Application && Application->GetMainForm() && Application->GetMainForm()->GetFormStyle() == fsMDIForm)
    return Application->GetMainForm();
  return nullptr;
}

TKsCustomForm* TKsCustomForm::GetMDIParentSkinner() const { return FindFormSkinner(GetMDIParent()); }

bool TKsCustomForm::HasMaximizedMDIChild() const {
  TCustomForm* form = GetForm();
  if (!form)
    return false;
  const bool child = form->GetFormStyle() == fsMDIChild;
  TCustomForm* parent = child ? GetMDIParent() : form;
  if (!parent || parent->GetFormStyle() != fsMDIForm)
    return false;
  for (int i = 0; i < parent->GetMDIChildCount(); ++i) {
    TCustomForm* sibling = parent->GetMDIChildren(i);
    if (child && sibling->HandleAllocated() && IsZoomed(sibling->GetHandle()))
      return true;
    if (TKsCustomForm* skinner = FindFormSkinner(sibling); skinner && skinner->FWindowState == kwsMaximized)
      return true;
  }
  return false;
}

void TKsCustomForm::UpdateMDICaption() {
  TCustomForm* parent = GetMDIParent();
  if (!parent)
    return;
  const std::string base = WithoutChildSuffix(parent->GetCaption());
  // The child that shows maximized: this one when it is, else the first that is.
  TCustomForm* maximized = FWindowState == kwsMaximized ? GetForm() : nullptr;
  for (int i = 0; !maximized && i < parent->GetMDIChildCount(); ++i)
    if (TKsCustomForm* skinner = FindFormSkinner(parent->GetMDIChildren(i));
        skinner && skinner->FWindowState == kwsMaximized)
      maximized = parent->GetMDIChildren(i);
  if (!maximized) {
    parent->SetCaption(base);
    return;
  }
  parent->SetCaption(base + " - [" + maximized->GetCaption() + "]");
  if (parent->HandleAllocated())
    PostMessageA(parent->GetHandle(), KM_CAPTIONCHANGED, 0, 0);
}

void TKsCustomForm::RestoreMDIChildren() {
  TCustomForm* form = GetForm();
  if (!form)
    return;
  const bool child = form->GetFormStyle() == fsMDIChild;
  TCustomForm* parent = child ? GetMDIParent() : form;
  if (!parent || parent->GetFormStyle() != fsMDIForm)
    return;
  for (int i = 0; i < parent->GetMDIChildCount(); ++i)
    if (TKsCustomForm* skinner = FindFormSkinner(parent->GetMDIChildren(i));
        skinner && skinner->FWindowState == kwsMaximized)
      skinner->Restore();
  if (child)
    UpdateMDICaption();
}

void TKsCustomForm::ShowParentMDIButtons() {
  if (TKsCustomForm* parent = GetMDIParentSkinner(); parent && parent->FMenuBar)
    parent->FMenuBar->ShowMDIButtons(this);
}

void TKsCustomForm::HideParentMDIButtons() {
  if (TKsCustomForm* parent = GetMDIParentSkinner(); parent && parent->FMenuBar)
    parent->FMenuBar->HideMDIButtons();
}

void TKsCustomForm::WMMDIActivate(TMessage& message) {
  if (!IsMDIChild() || !HasMaximizedMDIChild())
    return;
  UpdateMDICaption();
  if (reinterpret_cast<HWND>(message.WParam) == GetFormHandle()) {
    ShowParentMDIButtons();
    return;
  }
  // The child activated while another was maximized is maximized like it.
  if (FWindowState != kwsMaximized)
    PostMessageA(GetFormHandle(), KM_MAXIMIZE, 0, 0);
}

void TKsCustomForm::HookMDIClient() {
  TCustomForm* form = GetForm();
  if (FClientInstance || !form || !form->GetClientHandle())
    return;
  FClientWnd = form->GetClientHandle();
  FClientInstance = MakeObjectInstance(TWndMethod::Bind<&TKsCustomForm::MDIClientWndProc>(this));
  FOldClientProc = reinterpret_cast<WNDPROC>(
      SetWindowLongPtrA(FClientWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(FClientInstance)));
}

void TKsCustomForm::UnhookMDIClient() {
  if (!FClientInstance)
    return;
  if (IsWindow(FClientWnd)) {
    const auto current = reinterpret_cast<WNDPROC>(GetWindowLongPtrA(FClientWnd, GWLP_WNDPROC));
    // A subclass installed later still calls ours: the instance must stay alive.
    if (current != FClientInstance)
      return;
    SetWindowLongPtrA(FClientWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(FOldClientProc));
  }
  FreeObjectInstance(FClientInstance);
  FClientInstance = nullptr;
  FOldClientProc = nullptr;
  FClientWnd = nullptr;
}

void TKsCustomForm::MDIClientWndProc(TMessage& message) {
  GuardBoundary("MDI client window", [&] {
    TCustomForm* form = GetForm();
    auto callOld = [&] {
      message.Result = CallWindowProcA(FOldClientProc, FClientWnd, message.Msg, message.WParam, message.LParam);
    };
    if (!form || !form->HandleAllocated()) {
      callOld();
      return;
    }
    switch (message.Msg) {
      case WM_PAINT: {
        TPaintScope paint(FClientWnd, reinterpret_cast<HDC>(message.WParam));
        SendMessageA(form->GetHandle(), WM_PAINT, reinterpret_cast<WPARAM>(paint.DC()), 0);
        message.Result = 0;
        return;
      }
      case WM_ERASEBKGND:
        if (!HasMaximizedMDIChild())
          SendMessageA(form->GetHandle(), WM_ERASEBKGND, message.WParam, 4);
        message.Result = 0;
        return;
      case 0x3F:
        if (form->GetFormStyle() == fsMDIForm) {
          const LONG exStyle = GetWindowLongA(FClientWnd, GWL_EXSTYLE);
          if (exStyle & WS_EX_CLIENTEDGE) {
            SetWindowLongA(FClientWnd, GWL_EXSTYLE, exStyle & ~WS_EX_CLIENTEDGE);
            SetWindowPos(FClientWnd, nullptr, 0, 0, 0, 0,
                         SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
          }
        }
        callOld();
        return;
      case WM_NCHITTEST:
        callOld();
        if (message.Result == HTCLIENT)
          message.Result = HTTRANSPARENT;
        return;
      default: callOld();
    }
  });
}
