// Readings taken here:
// - A second popup menu opened while one shows (from a message dispatched inside the
//   first one's loop) asks the first to close and then shows itself nested in that loop.
//   The close request posted for the first is taken from the queue while waiting
//   messages are processed, before the first loop could see it, so the first menu would
//   come back once the second closed. The request is therefore posted again after the
//   second has closed: the first loop then ends as soon as it resumes.
#include "skin/KsMenus.h"

#include <unordered_set>

#include "classlib/AliveGuard.h"
#include "classlib/Boundary.h"
#include "classlib/FlagScope.h"
#include "classlib/Forms.h"
#include "skin/KsBitmap.h"
#include "skin/KsControlBars.h"
#include "skin/KsForms.h"
#include "skin/KsItems.h"

namespace {

TKsCustomPopupMenu* ShowingPopupMenu = nullptr;

// The popup menus that exist: an interrupted menu may be freed while another shows.
std::unordered_set<const TKsCustomPopupMenu*>& LiveMenus() {
  static std::unordered_set<const TKsCustomPopupMenu*> menus;
  return menus;
}

bool IsLiveMenu(const TKsCustomPopupMenu* menu) { return LiveMenus().contains(menu); }

TKsColor SysOpaque(TColor color) { return ColorToKsColor(color, 255); }

}  // namespace

TKsCustomPopupMenu* KsShowingPopupMenu() { return ShowingPopupMenu; }

// ---- Popup settings ----------------------------------------------------------------------

void TKsPopupSettings::PassTo(TKsCustomItem& tree) const {
  tree.SetPopupBlend(PopupBlend);
  tree.SetPopupBlendValue(PopupBlendValue);
  tree.SetDropShadowAll(DropShadow);
  tree.SetShadowWidthAll(ShadowWidth);
  tree.SetShowAnimationAll(ShowAnimation);
  tree.SetShowAnimationTimeAll(ShowAnimationTime);
}

// Each setter of a menu component stores the value and passes it to the whole tree.
#define KS_POPUP_SETTING(Class, Name, Type, TreeSetter) \
  void Class::Set##Name(Type value) {                   \
    FSettings.Name = value;                             \
    FItems->TreeSetter(value);                          \
  }
KS_POPUP_SETTING(TKsCustomMenuBar, PopupBlend, bool, SetPopupBlend)
KS_POPUP_SETTING(TKsCustomMenuBar, PopupBlendValue, int, SetPopupBlendValue)
KS_POPUP_SETTING(TKsCustomMenuBar, DropShadow, bool, SetDropShadowAll)
KS_POPUP_SETTING(TKsCustomMenuBar, ShadowWidth, int, SetShadowWidthAll)
KS_POPUP_SETTING(TKsCustomMenuBar, ShowAnimation, TKsAnimation, SetShowAnimationAll)
KS_POPUP_SETTING(TKsCustomMenuBar, ShowAnimationTime, int, SetShowAnimationTimeAll)
KS_POPUP_SETTING(TKsCustomPopupMenu, PopupBlend, bool, SetPopupBlend)
KS_POPUP_SETTING(TKsCustomPopupMenu, PopupBlendValue, int, SetPopupBlendValue)
KS_POPUP_SETTING(TKsCustomPopupMenu, DropShadow, bool, SetDropShadowAll)
KS_POPUP_SETTING(TKsCustomPopupMenu, ShadowWidth, int, SetShadowWidthAll)
KS_POPUP_SETTING(TKsCustomPopupMenu, ShowAnimation, TKsAnimation, SetShowAnimationAll)
KS_POPUP_SETTING(TKsCustomPopupMenu, ShowAnimationTime, int, SetShowAnimationTimeAll)
#undef KS_POPUP_SETTING

// ---- TKsMenuBarView ----------------------------------------------------------------------

TKsMenuBarView::TKsMenuBarView(TKsCustomMenuBar* AMenuBar, TKsBitmap* buffer)
    : TKsItemView(AMenuBar, /*horizontal=*/true, /*rowLayout=*/true), FMenuBar(AMenuBar) {
  SetBitmap(buffer);
}

void TKsMenuBarView::SetViewSize(TPoint size) {
  if (!FMenuBar->GetAutoSize())
    return;
  TRect r{};
  FMenuBar->GetItemsRect(r);
  const int height = size.y + r.top + (FMenuBar->GetClientHeight() - r.bottom);
  FMenuBar->SetBounds(FMenuBar->GetLeft(), FMenuBar->GetTop(), FMenuBar->GetWidth(), height);
}

void TKsMenuBarView::InvalidateView() { FMenuBar->Invalidate(); }

// ---- TKsCustomMenuBar --------------------------------------------------------------------

TKsCustomMenuBar::TKsCustomMenuBar(TComponent* AOwner) : TKsCustomControl(AOwner) {
  RegisterItemParent(StaticClass(), &TKsCustomMenuBar::AddItem, &TKsCustomMenuBar::GetItemClass);
  FItems = new TKsCustomItem(this);
  FItems->SetTreeParentComponent(this);
  if (!GetComponentState().Contains(csDesigning))
    FItems->OnChange = TNotifyEvent::Bind<&TKsCustomMenuBar::ItemsChanged>(this);
  SetColor(clMenu);
  SetAlign(alTop);
  SetHeight(GetSystemMetrics(SM_CYMENU));
  FView = new TKsMenuBarView(this, GetBuffer());
  FView->SetItem(FItems);
  FView->SetHost(this);
  FView->SetControl(this);
}

TKsCustomMenuBar::~TKsCustomMenuBar() {
  Destroying();
  FreeAndNil(FView);
  FreeAndNil(FItems);
  UnregisterItemParent(StaticClass());
}

void TKsCustomMenuBar::AddItem(TComponent* AParent, TKsCustomItem* AItem) {
  if (auto* bar = ObjectAs<TKsCustomMenuBar>(AParent))
    bar->FItems->Add(AItem);
}

TClass TKsCustomMenuBar::GetItemClass() { return TKsCustomItem::StaticClass(); }

TCustomImageList* TKsCustomMenuBar::GetImages() const { return FItems->GetImages(); }

void TKsCustomMenuBar::SetImages(TCustomImageList* value) { FItems->SetImages(value); }

void TKsCustomMenuBar::GetItemsRect(TRect& r) {
  r = TRect{0, 0, GetClientWidth(), GetClientHeight()};
  if (GetAlign() == alTop)
    r.bottom -= 2;
  else if (GetAlign() == alBottom)
    r.top += 2;
}

bool TKsCustomMenuBar::InControlBar() const {
  return ObjectAs<TKsCustomControlBar>(GetParent()) != nullptr;
}

void TKsCustomMenuBar::UpdateItems() {
  FSettings.PassTo(*FItems);
  if (auto* owner = ObjectAs<TWinControl>(GetOwner()))
    FItems->SetParentWindowAll(owner);
  FItems->SetInControlBarAll(InControlBar());
  Invalidate();
}

void TKsCustomMenuBar::ItemsChanged(TObject*) {
  const TComponentState state = GetComponentState();
  if (state.Contains(csLoading) || state.Contains(csDestroying) || FMDIUpdateLock)
    return;
  UpdateItems();
}

void TKsCustomMenuBar::Loaded() {
  inherited::Loaded();
  FSettings.PassTo(*FItems);
  FItems->SetInControlBarAll(InControlBar());
  auto* form = ObjectAs<TCustomForm>(GetOwner());
  if (!GetComponentState().Contains(csDesigning) && form && form->GetFormStyle() == fsMDIForm && !FMDIClose) {
    auto make = [&](TKsMDIButtonKind kind) {
      auto* item = static_cast<TKsCustomItem*>(
          static_cast<const TComponentClass*>(GetItemClass())->Create(form));
      item->SetVisible(false);
      item->SetMDIButtonKind(kind);
      item->OnClick = TNotifyEvent::Bind<&TKsCustomMenuBar::MDIButtonClick>(this);
      return item;
    };
    const TFlagScope locked(FMDIUpdateLock);
    FMDIIcon = make(mbkChildIcon);
    FItems->Insert(0, FMDIIcon);
    FMDIMinimize = make(mbkMinimize);
    FItems->Add(FMDIMinimize);
    FMDIRestore = make(mbkRestore);
    FItems->Add(FMDIRestore);
    FMDIClose = make(mbkClose);
    FItems->Add(FMDIClose);
  }
  FUpdating = false;
  FView->CalcSize();
  FItems->SetBiDiModeAll(GetBiDiMode());
}

void TKsCustomMenuBar::SetBounds(int left, int top, int width, int height) {
  if (FAutoSize || !FView || !GetBuffer() || FUpdating) {
    inherited::SetBounds(left, top, width, height);
    return;
  }
  const TFlagScope updating(FUpdating);
  inherited::SetBounds(left, top, width, height);
  FView->CalcSize();
}

void TKsCustomMenuBar::GetChildren(TGetChildProc proc, TComponent* root) {
  inherited::GetChildren(proc, root);
  FItems->GetChildren(proc, root);
}

void TKsCustomMenuBar::PaintBuffer() {
  inherited::PaintBuffer();
  TKsBitmap* buffer = GetBuffer();
  if (!FView || !buffer || buffer->Empty())
    return;
  TRect r{};
  GetItemsRect(r);
  FView->SetOriginX(r.left);
  FView->SetOriginY(r.top);
  FView->PaintItems(*buffer);
  const int w = GetWidth(), h = GetHeight();
  if (GetAlign() == alTop)
    buffer->Draw3DFrame({0, h - 2, w, h}, SysOpaque(clBtnShadow), SysOpaque(clBtnHighlight));
  else if (GetAlign() == alBottom)
    buffer->Draw3DFrame({0, 0, w, 2}, SysOpaque(clBtnShadow), SysOpaque(clBtnHighlight));
}

void TKsCustomMenuBar::MouseMove(TShiftState shift, int x, int y) {
  if (!Survives(this, [&] { inherited::MouseMove(shift, x, y); }) || !HandleAllocated())
    return;
  POINT p{x, y};
  ::ClientToScreen(GetHandle(), &p);
  FView->ItemAtPos(TPoint{p.x, p.y});
}

void TKsCustomMenuBar::TrackMenu() {
  FItems->SetAnimatePendingAll(true);
  FItems->SetAnimateOnceAll(true);
  FView->TrackMenu();
}

bool TKsCustomMenuBar::IsShortCut(TMessage& message) { return FItems->IsShortCut(message); }

void TKsCustomMenuBar::SetMDIButtonsVisible(bool visible, TKsCustomForm* form) {
  {
    const TFlagScope locked(FMDIUpdateLock);
    for (TKsCustomItem* item : {FMDIIcon, FMDIMinimize, FMDIRestore, FMDIClose})
      if (item)
        item->SetVisible(visible);
    FMDIChild = form;
    FItems->SetMDIChildAll(form);
  }
  Invalidate();
}

void TKsCustomMenuBar::ShowMDIButtons(TKsCustomForm* form) { SetMDIButtonsVisible(true, form); }

void TKsCustomMenuBar::HideMDIButtons() { SetMDIButtonsVisible(false, nullptr); }

void TKsCustomMenuBar::MDIButtonClick(TObject* sender) {
  if (!FMDIChild)
    return;
  if (sender == FMDIClose) {
    FMDIChild->CloseForm();
  } else if (sender == FMDIRestore) {
    FMDIChild->Restore();
  } else if (sender == FMDIMinimize) {
    FMDIChild->Minimize();
  } else if (sender == FMDIIcon) {
    FMDIChild->ShowSystemMenu();
    if (HandleAllocated()) {
      POINT p{-1, -1};
      ::ClientToScreen(GetHandle(), &p);
      FView->ItemAtPos(TPoint{p.x, p.y});
    }
  }
}

void TKsCustomMenuBar::Dispatch(TMessage& message) {
  switch (message.Msg) {
    case CM_MOUSELEAVE:
      if (Survives(this, [&] { inherited::Dispatch(message); }))
        FView->ItemAtPos(TPoint{-1, -1});
      return;
    case WM_LBUTTONDOWN: {
      if (!Survives(this, [&] { inherited::Dispatch(message); }))
        return;
      const TPoint p{short(LOWORD(message.LParam)), short(HIWORD(message.LParam))};
      for (int i = 0; i < FItems->GetCount(); ++i)
        if (PointInRect(FView->GetItemRect(FItems->GetItems(i)), p)) {
          TrackMenu();
          break;
        }
      return;
    }
    case CM_DIALOGCHAR: {
      const char ch = char(message.WParam);
      const bool alt = (message.LParam & 0x20000000) != 0;
      if (ch != 0 && alt && FItems->FindAccelItem(ch) && GetParent() && GetParent()->HandleAllocated()) {
        PostMessageA(GetParent()->GetHandle(), WM_CHAR, message.WParam, 0);
        TrackMenu();
        message.Result = 1;
        return;
      }
      break;
    }
  }
  inherited::Dispatch(message);
}

// ---- TKsCustomPopupMenu ------------------------------------------------------------------

TKsCustomPopupMenu::TKsCustomPopupMenu(TComponent* AOwner) : TPopupMenu(AOwner) {
  RegisterItemParent(StaticClass(), &TKsCustomPopupMenu::AddItem, &TKsCustomPopupMenu::GetItemClass);
  FItems = new TKsCustomItem(this);
  LiveMenus().insert(this);
}

TKsCustomPopupMenu::~TKsCustomPopupMenu() {
  Destroying();
  LiveMenus().erase(this);
  if (ShowingPopupMenu == this)
    ShowingPopupMenu = nullptr;
  FreeAndNil(FItems);
  UnregisterItemParent(StaticClass());
}

void TKsCustomPopupMenu::AddItem(TComponent* AParent, TKsCustomItem* AItem) {
  if (auto* menu = ObjectAs<TKsCustomPopupMenu>(AParent))
    menu->FItems->Add(AItem);
}

TClass TKsCustomPopupMenu::GetItemClass() { return TKsCustomItem::StaticClass(); }

TCustomImageList* TKsCustomPopupMenu::GetImages() const { return FItems->GetImages(); }

void TKsCustomPopupMenu::SetImages(TCustomImageList* value) { FItems->SetImages(value); }

void TKsCustomPopupMenu::Loaded() {
  inherited::Loaded();
  FItems->SetBiDiModeAll(bdLeftToRight);
}

void TKsCustomPopupMenu::GetChildren(TGetChildProc proc, TComponent* root) {
  inherited::GetChildren(proc, root);
  FItems->GetChildren(proc, root);
}

void TKsCustomPopupMenu::CloseMenu() {
  auto* owner = ObjectAs<TWinControl>(GetOwner());
  if (owner && owner->HandleAllocated())
    PostMessageA(owner->GetHandle(), WM_NCMBUTTONDBLCLK, 0, 0);
}

void TKsCustomPopupMenu::Popup(int x, int y) {
  TKsCustomPopupMenu* interrupted = nullptr;
  if (ShowingPopupMenu && ShowingPopupMenu != this) {
    interrupted = ShowingPopupMenu;
    interrupted->CloseMenu();
    Application->ProcessMessages();
  }
  ShowingPopupMenu = this;
  struct TRestore {
    TKsCustomPopupMenu* Self;
    TKsCustomPopupMenu* Interrupted;
    ~TRestore() {
      if (ShowingPopupMenu == Self)
        ShowingPopupMenu = nullptr;
      // The interrupted menu's loop resumes now: it must find the close request.
      if (Interrupted && IsLiveMenu(Interrupted))
        Interrupted->CloseMenu();
    }
  } restore{this, interrupted};
  FSettings.PassTo(*FItems);
  if (auto* owner = ObjectAs<TWinControl>(GetOwner()))
    FItems->SetParentWindowAll(owner);
  FItems->SetAnimatePendingAll(true);
  FItems->SetAnimateOnceAll(true);
  if (!Survives(this, OnPopup))  // its handler may free the menu
    return;
  FItems->ShowPopup(nullptr, x, y, TRect{});
}
