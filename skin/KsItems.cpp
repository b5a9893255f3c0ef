// Readings taken here:
// - Changed fires OnChange and then the parent's Changed: the menu bar installs its
//   handler on the root only, and a change deep in the tree must reach it.
// - A separator paints only its etched line; its "-" caption is never drawn.
// - IsShortCut stops after as many passes as the tree has items, so that click handlers
//   that keep moving the short cut between items cannot hold it in a loop.
#include "skin/KsItems.h"

#include <algorithm>
#include <cassert>
#include <memory>
#include <unordered_set>

#include "classlib/AliveGuard.h"
#include "classlib/Canvas.h"
#include "classlib/ClassRegistry.h"
#include "classlib/Icon.h"
#include "classlib/ImageList.h"
#include "classlib/Strings.h"
#include "skin/KsBitmap.h"
#include "skin/KsForms.h"
#include "skin/KsItemView.h"
#include "skin/KsMenuForm.h"
#include "skin/TeTheme.h"

namespace {

std::unordered_set<const void*>& LiveItems() {
  static std::unordered_set<const void*> items;
  return items;
}

struct TItemParentRecord {
  TClass ParentClass;
  TKsAddItemProc AddItem;
  TKsGetItemClassProc GetItemClass;
  int Count;
};
std::unique_ptr<std::vector<TItemParentRecord>> ItemParents;

TKsClickHandler* ClickHandler = nullptr;
TFont* MenuFont = nullptr;

TKsColor Opaque(TColor color) { return ColorToKsColor(color, 255); }

TRect Inflated(const TRect& r, int dx, int dy) {
  return TRect{r.left - dx, r.top - dy, r.right + dx, r.bottom + dy};
}

TRect Moved(const TRect& r, int dx, int dy) {
  return TRect{r.left + dx, r.top + dy, r.right + dx, r.bottom + dy};
}

// The text flags of an item: right-to-left alignment and reading on a Middle-East system.
UINT TextFlags(const TKsCustomItem& item, UINT flags) {
  return BiDiModeTextFlags(flags, item.GetBiDiMode(), GetSystemMetrics(SM_MIDEASTENABLED) != 0);
}

bool ReadNonClientMetrics(NONCLIENTMETRICSA& metrics) {
  metrics = NONCLIENTMETRICSA{};
  metrics.cbSize = 340;  // without the padded border width, as every system knows it
  return SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, metrics.cbSize, &metrics, 0) != 0;
}

// The system's menu item size, each side at least 20.
void MenuItemSize(int& width, int& height) {
  NONCLIENTMETRICSA metrics;
  width = height = 0;
  if (ReadNonClientMetrics(metrics)) {
    width = metrics.iMenuWidth;
    height = metrics.iMenuHeight;
  }
  width = std::max(width, 20);
  height = std::max(height, 20);
}

}  // namespace

// ---- Action link ------------------------------------------------------------------

TKsCustomItemActionLink::TKsCustomItemActionLink(TKsCustomItem* client)
    : TActionLink(client), FClient(client) {}

TCustomAction* TKsCustomItemActionLink::Action() const {
  return static_cast<TCustomAction*>(GetAction());
}

bool TKsCustomItemActionLink::IsCaptionLinked() {
  return inherited::IsCaptionLinked() && FClient->GetCaption() == Action()->GetCaption();
}

bool TKsCustomItemActionLink::IsCheckedLinked() {
  return inherited::IsCheckedLinked() && FClient->GetChecked() == Action()->GetChecked();
}

bool TKsCustomItemActionLink::IsEnabledLinked() {
  return inherited::IsEnabledLinked() && FClient->GetEnabled() == Action()->GetEnabled();
}

bool TKsCustomItemActionLink::IsHelpContextLinked() {
  return inherited::IsHelpContextLinked() &&
         FClient->GetHelpContext() == Action()->GetHelpContext();
}

bool TKsCustomItemActionLink::IsHintLinked() {
  return inherited::IsHintLinked() && FClient->GetHint() == Action()->GetHint();
}

bool TKsCustomItemActionLink::IsImageIndexLinked() {
  return inherited::IsImageIndexLinked() && FClient->GetImageIndex() == Action()->GetImageIndex();
}

bool TKsCustomItemActionLink::IsShortCutLinked() {
  return inherited::IsShortCutLinked() && FClient->GetShortCut() == Action()->GetShortCut();
}

bool TKsCustomItemActionLink::IsVisibleLinked() {
  return inherited::IsVisibleLinked() && FClient->GetVisible() == Action()->GetVisible();
}

bool TKsCustomItemActionLink::IsOnExecuteLinked() {
  return inherited::IsOnExecuteLinked() && GetAction() &&
         SameEventCode(FClient->OnClick, GetAction()->OnExecute);
}

void TKsCustomItemActionLink::SetCaption(const std::string& value) {
  if (IsCaptionLinked())
    FClient->SetCaption(value);
}

void TKsCustomItemActionLink::SetChecked(bool value) {
  if (IsCheckedLinked())
    FClient->SetChecked(value);
}

void TKsCustomItemActionLink::SetEnabled(bool value) {
  if (IsEnabledLinked())
    FClient->SetEnabled(value);
}

void TKsCustomItemActionLink::SetHelpContext(int value) {
  if (IsHelpContextLinked())
    FClient->FHelpContext = value;
}

void TKsCustomItemActionLink::SetHint(const std::string& value) {
  if (IsHintLinked())
    FClient->FHint = value;
}

void TKsCustomItemActionLink::SetImageIndex(int value) {
  if (IsImageIndexLinked())
    FClient->SetImageIndex(value);
}

void TKsCustomItemActionLink::SetShortCut(TShortCut value) {
  if (IsShortCutLinked())
    FClient->FShortCut = value;
}

void TKsCustomItemActionLink::SetVisible(bool value) {
  if (IsVisibleLinked())
    FClient->SetVisible(value);
}

void TKsCustomItemActionLink::SetOnExecute(const TNotifyEvent& value) {
  if (IsOnExecuteLinked())
    FClient->OnClick = value;
}

// ---- The item and its tree -----------------------------------------------------------

TKsCustomItem::TKsCustomItem(TComponent* AOwner) : TComponent(AOwner) {
  LiveItems().insert(this);
}

TKsCustomItem::~TKsCustomItem() {
  Destroying();
  LiveItems().erase(this);
  // The sub-items go last first; each is detached before it is freed, so that the
  // parent being destroyed hears no change.
  while (!FItems.empty()) {
    TKsCustomItem* item = FItems.back();
    FItems.pop_back();
    item->FParent = nullptr;
    delete item;
  }
  if (FParent)
    FParent->Remove(this);
  SetAction(nullptr);
}

TKsCustomItem* TKsCustomItem::GetItems(int index) const {
  if (index < 0 || index >= GetCount())
    ListIndexError(index);
  return FItems[index];
}

bool TKsCustomItem::IsInTreeOf(const TKsCustomItem* item) const {
  for (const TKsCustomItem* p = this; p; p = p->FParent)
    if (p == item)
      return true;
  return false;
}

void TKsCustomItem::Insert(int index, TKsCustomItem* item) {
  assert(item && "an item to insert");
  if (item->FParent || IsInTreeOf(item))
    throw EKsItemError("Toolbar item already inserted");
  if (index < 0 || index > GetCount())
    ListIndexError(index);
  FItems.insert(FItems.begin() + index, item);
  item->FParent = this;
  Changed();
}

void TKsCustomItem::Delete(int index) {
  if (index < 0 || index >= GetCount())
    ListIndexError(index);
  FItems[index]->FParent = nullptr;
  FItems.erase(FItems.begin() + index);
  Changed();
}

int TKsCustomItem::IndexOf(const TKsCustomItem* item) const {
  auto it = std::find(FItems.begin(), FItems.end(), item);
  return it == FItems.end() ? -1 : static_cast<int>(it - FItems.begin());
}

void TKsCustomItem::Remove(TKsCustomItem* item) {
  int index = IndexOf(item);
  if (index >= 0)
    Delete(index);
}

TCustomImageList* TKsCustomItem::GetImageList() const {
  if (FImages)
    return FImages;
  const TKsCustomItem* root = this;
  while (root->FParent)
    root = root->FParent;
  return root->FImages;
}

TKsCustomItem* TKsCustomItem::FindAccelItem(char ch) const {
  const std::string accel = AnsiUpperCase(std::string{'&', ch});
  for (TKsCustomItem* item : FItems)
    if (AnsiUpperCase(item->FCaption).find(accel) != std::string::npos)
      return item;
  return nullptr;
}

TKsCustomItem* TKsCustomItem::FindItem(uintptr_t value, int kind) {
  bool match = kind == kfkShortCut   ? FShortCut == value
               : kind == kfkClickCode ? OnClick.Assigned() &&
                                            reinterpret_cast<uintptr_t>(OnClick.Code()) == value
                                      : false;
  if (match)
    return this;
  for (TKsCustomItem* item : FItems)
    if (TKsCustomItem* found = item->FindItem(value, kind))
      return found;
  return nullptr;
}

// ---- Properties ------------------------------------------------------------------------

void TKsCustomItem::SetCaption(const std::string& value) {
  if (value == FCaption)
    return;
  FCaption = value;
  Changed();
}

void TKsCustomItem::SetChecked(bool value) {
  if (value == FChecked)
    return;
  FChecked = value;
  Changed();
}

void TKsCustomItem::SetEnabled(bool value) {
  if (value == FEnabled)
    return;
  FEnabled = value;
  Changed();
}

void TKsCustomItem::SetImageIndex(int value) {
  if (value == FImageIndex)
    return;
  FImageIndex = value;
  Changed();
}

void TKsCustomItem::SetImages(TCustomImageList* value) {
  if (ReplaceReference(FImages, value))
    Changed();
}

void TKsCustomItem::SetVisible(bool value) {
  if (value == FVisible)
    return;
  FVisible = value;
  Changed();
}

template <class Apply>
void TKsCustomItem::ForTree(Apply apply) {
  apply(*this);
  for (TKsCustomItem* item : FItems)
    item->ForTree(apply);
}

void TKsCustomItem::SetPopupBlend(bool value) {
  ForTree([value](TKsCustomItem& item) { item.FPopupBlend = value; });
}

void TKsCustomItem::SetPopupBlendValue(int value) {
  ForTree([value](TKsCustomItem& item) { item.FPopupBlendValue = value; });
}

void TKsCustomItem::SetDropShadowAll(bool value) {
  ForTree([value](TKsCustomItem& item) { item.FDropShadow = value; });
}

void TKsCustomItem::SetShadowWidthAll(int value) {
  ForTree([value](TKsCustomItem& item) { item.FShadowWidth = value; });
}

void TKsCustomItem::SetShowAnimationAll(TKsAnimation value) {
  ForTree([value](TKsCustomItem& item) { item.FShowAnimation = value; });
}

void TKsCustomItem::SetShowAnimationTimeAll(int value) {
  ForTree([value](TKsCustomItem& item) { item.FShowAnimationTime = value; });
}

void TKsCustomItem::SetParentWindowAll(TWinControl* value) {
  ForTree([value](TKsCustomItem& item) { item.FParentWindow = value; });
}

void TKsCustomItem::SetMDIChildAll(TKsCustomForm* value) {
  ForTree([value](TKsCustomItem& item) { item.FMDIChild = value; });
}

void TKsCustomItem::SetAnimatePendingAll(bool value) {
  ForTree([value](TKsCustomItem& item) { item.FAnimatePending = value; });
}

void TKsCustomItem::SetAnimateOnceAll(bool value) {
  ForTree([value](TKsCustomItem& item) { item.FAnimateOnce = value; });
}

void TKsCustomItem::SetTrayPopupAll(bool value) {
  ForTree([value](TKsCustomItem& item) { item.FTrayPopup = value; });
}

void TKsCustomItem::SetBiDiModeAll(TBiDiMode value) {
  FBiDiMode = value;
  for (TKsCustomItem* item : FItems)
    item->FBiDiMode = value;
}

void TKsCustomItem::SetInControlBarAll(bool value) {
  FInControlBar = value;
  for (TKsCustomItem* item : FItems)
    item->FInControlBar = value;
}

// ---- Action ----------------------------------------------------------------------------

TBasicAction* TKsCustomItem::GetAction() const {
  return FActionLink ? FActionLink->GetAction() : nullptr;
}

void TKsCustomItem::SetAction(TBasicAction* value) {
  if (!value) {
    if (FActionLink && FActionLink->GetAction())
      FActionLink->GetAction()->RemoveFreeNotification(this);
    FreeAndNil(FActionLink);
    return;
  }
  if (value == GetAction())
    return;
  if (!FActionLink)
    FActionLink = new TKsCustomItemActionLink(this);
  else if (FActionLink->GetAction())
    FActionLink->GetAction()->RemoveFreeNotification(this);
  FActionLink->SetAction(value);
  FActionLink->OnChange = TNotifyEvent::Bind<&TKsCustomItem::DoActionChange>(this);
  ActionChange(value, value->GetComponentState().Contains(csLoading));
  value->FreeNotification(this);
}

void TKsCustomItem::InitiateAction() {
  if (FActionLink)
    FActionLink->Update();
}

void TKsCustomItem::DoActionChange(TObject* sender) {
  if (sender && sender == static_cast<TObject*>(GetAction()))
    ActionChange(sender, false);
}

void TKsCustomItem::ActionChange(TObject* sender, bool checkDefaults) {
  auto* action = ObjectAs<TCustomAction>(sender);
  if (!action)
    return;
  if (!checkDefaults || FCaption.empty())
    SetCaption(action->GetCaption());
  if (!checkDefaults || !FChecked)
    SetChecked(action->GetChecked());
  if (!checkDefaults || FEnabled)
    SetEnabled(action->GetEnabled());
  if (!checkDefaults || FHelpContext == 0)
    SetHelpContext(action->GetHelpContext());
  if (!checkDefaults || FHint.empty())
    SetHint(action->GetHint());
  if (!checkDefaults || FImageIndex == -1)
    SetImageIndex(action->GetImageIndex());
  if (!checkDefaults || FShortCut == 0)
    SetShortCut(action->GetShortCut());
  if (!checkDefaults || FVisible)
    SetVisible(action->GetVisible());
  if (!checkDefaults || !OnClick.Assigned())
    OnClick = action->OnExecute;
}

void TKsCustomItem::Loaded() {
  inherited::Loaded();
  if (TBasicAction* action = GetAction())
    ActionChange(action, true);
}

void TKsCustomItem::Notification(TComponent* AComponent, TOperation operation) {
  inherited::Notification(AComponent, operation);
  if (operation != opRemove)
    return;
  if (AComponent == reinterpret_cast<TComponent*>(FImages)) {
    FImages = nullptr;
    Changed();
  }
  // A freed action has already detached the link, which then names no action.
  if (FActionLink && (!FActionLink->GetAction() || AComponent == FActionLink->GetAction()))
    SetAction(nullptr);
}

// ---- Streaming -------------------------------------------------------------------------

void TKsCustomItem::GetChildren(TGetChildProc proc, TComponent* root) {
  for (TKsCustomItem* item : FItems)
    proc(item);
}

TComponent* TKsCustomItem::GetParentComponent() const {
  if (FParent && FParent->FParentComponent)
    return FParent->FParentComponent;
  return FParent;
}

void TKsCustomItem::SetParentComponent(TComponent* value) {
  if (FParent)
    FParent->Remove(this);
  if (!value)
    return;
  if (auto* item = ObjectAs<TKsCustomItem>(value)) {
    item->Add(this);
    return;
  }
  if (!ItemParents)
    return;
  for (auto it = ItemParents->rbegin(); it != ItemParents->rend(); ++it)
    if (value->InheritsFrom(it->ParentClass)) {
      it->AddItem(value, this);
      return;
    }
}

void RegisterItemParent(TClass parentClass, TKsAddItemProc addItem,
                        TKsGetItemClassProc getItemClass) {
  if (!ItemParents)
    ItemParents = std::make_unique<std::vector<TItemParentRecord>>();
  for (TItemParentRecord& record : *ItemParents)
    if (record.ParentClass == parentClass) {
      record.AddItem = addItem;
      record.GetItemClass = getItemClass;
      ++record.Count;
      return;
    }
  ItemParents->push_back({parentClass, addItem, getItemClass, 1});
}

void UnregisterItemParent(TClass parentClass) {
  if (!ItemParents)
    return;
  auto it = std::find_if(ItemParents->begin(), ItemParents->end(),
                         [parentClass](const TItemParentRecord& r) { return r.ParentClass == parentClass; });
  if (it == ItemParents->end())
    return;
  if (--it->Count == 0)
    ItemParents->erase(it);
  if (ItemParents->empty())
    ItemParents.reset();
}

// ---- Behaviour -------------------------------------------------------------------------

void TKsCustomItem::Changed() {
  if (Survives(this, OnChange) && FParent)  // the handler may free the item
    FParent->Changed();
}

void TKsCustomItem::Click() {
  if (IsSeparator() || GetCount() > 0 || !FEnabled)
    return;
  if (!ClickHandler) {
    DispatchItemClick(this);
    return;
  }
  PostMessageA(ClickHandler->GetHandle(), KM_ITEMCLICK, 0, reinterpret_cast<LPARAM>(this));
}

bool IsLiveItem(const void* item) { return item && LiveItems().contains(item); }

void DispatchItemClick(TKsCustomItem* item) {
  TBasicAction* action = item->GetAction();
  if (item->OnClick.Assigned() && action && !SameEventCode(item->OnClick, action->OnExecute)) {
    item->OnClick(item);
    return;
  }
  if (!item->GetComponentState().Contains(csDesigning) && item->GetActionLink()) {
    item->GetActionLink()->Execute();
    return;
  }
  item->OnClick(item);
}

bool TKsCustomItem::IsShortCut(TMessage& message) {
  TShortCut shortCut = LOBYTE(message.WParam);
  if (GetKeyState(VK_SHIFT) < 0)
    shortCut += scShift;
  if (GetKeyState(VK_CONTROL) < 0)
    shortCut += scCtrl;
  if (message.LParam & 0x20000000)
    shortCut += scAlt;

  int treeSize = 0;
  ForTree([&treeSize](TKsCustomItem&) { ++treeSize; });
  enum TOutcome { Clicked, Disabled, Moved };
  bool found = false;
  for (int pass = 0; pass <= treeSize; ++pass) {
    TKsCustomItem* target = FindItem(shortCut, kfkShortCut);
    found = target != nullptr;
    if (!found)
      break;
    std::vector<TKsCustomItem*> path;
    for (TKsCustomItem* p = target; p; p = p->FParent)
      path.insert(path.begin(), p);
    TOutcome outcome = Clicked;
    for (TKsCustomItem* step : path) {
      if (!IsLiveItem(step))
        break;
      if (!step->FEnabled) {
        outcome = Disabled;
        break;
      }
      try {
        step->Click();
      } catch (...) {
        Application->HandleException(IsLiveItem(this) ? this : nullptr);
      }
      if (!IsLiveItem(this))  // the click's handler freed the menu: the key was its
        return true;
      if (!IsLiveItem(target) || target->FShortCut != shortCut) {
        outcome = Moved;
        break;
      }
    }
    if (outcome != Moved)
      break;
  }
  return found;
}

// ---- Popups ----------------------------------------------------------------------------

const TKsPopupWindowClass* TKsCustomItem::GetPopupWindowClass() const {
  return &TKsPopupWindow::MetaClass();
}

TKsCustomForm* FindSkinForm(TWinControl* window) {
  if (!window)
    return nullptr;
  for (int i = 0; i < window->GetComponentCount(); ++i)
    if (auto* skinner = ObjectAs<TKsCustomForm>(window->GetComponent(i)))
      return skinner;
  return nullptr;
}

void TKsCustomItem::ShowPopup(TKsItemView* view, int x, int y, const TRect& excludeRect) {
  std::unique_ptr<TKsPopupWindow> window(GetPopupWindowClass()->CreatePopup(GetOwner(), this, view));
  TKsPopupView* popupView = window->GetView();
  if (!popupView || !popupView->GetItem() || popupView->GetItem()->GetCount() == 0)
    return;
  const int screenRight = GetSystemMetrics(SM_CXSCREEN), screenBottom = GetSystemMetrics(SM_CYSCREEN);
  auto place = [&](int left, int top) {
    window->SetBounds(left, top, window->GetWidth(), window->GetHeight());
  };
  auto overflowsRight = [&] { return window->GetLeft() + window->GetWidth() > screenRight; };
  auto overflowsBottom = [&] { return window->GetTop() + window->GetHeight() > screenBottom; };
  if (RectWidth(excludeRect) <= 0) {
    place(x, y);
    window->CalcViewSize();
    if (overflowsRight())
      place(x - window->GetWidth(), window->GetTop());
    if (overflowsBottom())
      place(window->GetLeft(), y - window->GetHeight());
  } else {
    const bool below = view && view->GetHorizontal();
    if (below)
      place(excludeRect.left, excludeRect.bottom);
    else
      place(excludeRect.right, excludeRect.top);
    window->CalcViewSize();
    if (overflowsRight())
      place((below ? excludeRect.right : excludeRect.left) - window->GetWidth(), window->GetTop());
    if (overflowsBottom())
      place(window->GetLeft(), (below ? excludeRect.top : excludeRect.bottom) - window->GetHeight());
    if (overflowsRight())
      place(screenRight - window->GetWidth(), window->GetTop());
    if (overflowsBottom())
      place(window->GetLeft(), screenBottom - window->GetHeight());
  }

  TKsCustomForm* skinForm = FindSkinForm(FParentWindow);
  if (skinForm)
    skinForm->DisablePaint();
  try {
    window->SetVisible(true);
    if (FTrayPopup)
      SetForegroundWindow(window->GetHandle());
  } catch (...) {
    if (skinForm)
      skinForm->EnablePaint();
    throw;
  }
  if (skinForm)
    skinForm->EnablePaint();

  // The chain link is taken down however the loop ends, unless a click's handler freed
  // the parent view with its menu (a menu bar's view goes with the bar).
  const TOnExitIfAlive unlink(view, [view] { view->SetChildView(nullptr); });
  if (view)
    view->SetChildView(popupView);
  window->TrackMenu();
}

// ---- Measuring and painting ------------------------------------------------------------

void TKsCustomItem::CalcSize(TKsBitmap* bitmap, TKsItemView* view, int& width, int& height) {
  MenuItemSize(width, height);
  if (!bitmap)
    return;
  if (MenuFont)
    bitmap->SetFont(MenuFont);
  if (view && view->GetHorizontal()) {
    width = bitmap->TextWidth(FCaption, 0) + 12;
    if (FMDIButtonKind != mbkNone)
      width = height;
    return;
  }
  width = bitmap->TextWidth(FCaption, 0) + 58;
  if (FShortCut != 0)
    width += bitmap->TextWidth(ShortCutToText(FShortCut), 0);
  if (IsSeparator())
    height = 15;
}

void TKsCustomItem::Paint(TKsBitmap& bitmap, TKsItemView* view, const TRect& rect, bool selected,
                          bool notTracking) {
  TFont* font = bitmap.GetFont();
  font->SetName("Tahome");
  font->SetSize(8);
  if (view && view->GetHorizontal()) {
    PaintBarItem(bitmap, rect, selected, notTracking);
    return;
  }
  const TKsColor highlight = Opaque(clBtnHighlight), shadow = Opaque(clBtnShadow);
  if (IsSeparator()) {
    bitmap.FillRect(rect, Opaque(clMenu));
    TRect line = Inflated(rect, -2, -7);
    line.bottom = line.top + 2;
    bitmap.Draw3DFrame(line, shadow, highlight);
    return;
  }
  TKsColor fill = Opaque(selected ? clHighlight : clMenu);
  TColor fontColor = selected ? clHighlightText : clMenuText;
  bitmap.FillRect(rect, fill);

  TCustomImageList* images = GetImageList();
  bool hasImage = images && FImageIndex >= 0;
  if (FChecked || hasImage) {
    bitmap.FillRect({rect.left, rect.top, rect.left + 22, rect.bottom}, Opaque(clBtnFace));
    TRect box{rect.left, rect.top, rect.left + RectHeight(rect), rect.bottom};
    if (!FChecked && selected) {
      bitmap.Draw3DFrame(box, highlight, shadow);
    } else if (FChecked) {
      if (!selected)
        bitmap.FillDitherRect(box, Opaque(clBtnFace), Opaque(clWhite));
      bitmap.Draw3DFrame(box, shadow, highlight);
    }
    if (hasImage)
      DrawMenuImage(bitmap, images, FImageIndex, box, FEnabled);
    else
      DrawMenuCheckMark(bitmap, box);
  }

  TRect text{rect.left + 26, rect.top, rect.right, rect.bottom};
  TRect shortCutRect{text.left, text.top, text.right - 16, text.bottom};
  const std::string shortCut = FShortCut != 0 ? ShortCutToText(FShortCut) : std::string();
  const UINT captionFlags = TextFlags(*this, DT_LEFT | DT_VCENTER | DT_SINGLELINE);
  const UINT shortCutFlags = TextFlags(*this, DT_RIGHT | DT_VCENTER | DT_SINGLELINE);
  if (!FEnabled && !selected) {
    font->SetColor(clBtnHighlight);
    bitmap.DrawText(FCaption, Moved(text, 1, 1), captionFlags);
    if (!shortCut.empty())
      bitmap.DrawText(shortCut, Moved(shortCutRect, 1, 1), shortCutFlags);
  }
  if (!FEnabled)
    fontColor = clBtnShadow;
  font->SetColor(fontColor);
  bitmap.DrawText(FCaption, text, captionFlags);
  if (!shortCut.empty())
    bitmap.DrawText(shortCut, shortCutRect, shortCutFlags);
  if (GetCount() > 0)
    DrawMenuArrow(bitmap, {rect.right - 18, rect.top, rect.right - 2, rect.bottom}, fill,
                  Opaque(fontColor));
}

void TKsCustomItem::PaintBarItem(TKsBitmap& bitmap, const TRect& rect, bool selected,
                                 bool notTracking) {
  const TKsColor highlight = Opaque(clBtnHighlight), shadow = Opaque(clBtnShadow);
  bitmap.FillRect(rect, Opaque(clMenu));
  if (FMDIButtonKind == mbkNone) {
    if (selected)
      bitmap.Draw3DFrame(rect, notTracking ? highlight : shadow, notTracking ? shadow : highlight);
    bitmap.GetFont()->SetColor(clMenuText);
    bitmap.DrawText(FCaption, rect, TextFlags(*this, DT_CENTER | DT_VCENTER | DT_SINGLELINE));
    return;
  }
  TRect r{rect.left + 2, rect.top + 2, rect.right - 1, rect.bottom - 3};
  if (FMDIButtonKind <= mbkMinimize) {
    static constexpr UINT kGlyphs[] = {DFCS_CAPTIONCLOSE, DFCS_CAPTIONRESTORE, DFCS_CAPTIONMIN};
    UINT state = kGlyphs[FMDIButtonKind - mbkClose] | 0x10;
    if (selected)
      state |= notTracking ? DFCS_FLAT : DFCS_PUSHED;
    RECT frame = r;
    DrawFrameControl(bitmap.GetDC(), &frame, DFC_CAPTION, state);
    return;
  }
  if (FMDIButtonKind != mbkChildIcon)
    return;
  if (selected)
    bitmap.Draw3DFrame(r, notTracking ? highlight : shadow, notTracking ? shadow : highlight);
  int cx = 0, cy = 0;
  const TIconHandle small = CopyChildIcon(cx, cy);
  if (!small)
    return;
  DrawIconEx(bitmap.GetDC(), r.left + 1, r.top + 1, small.Get(), cx, cy, 0, nullptr, DI_NORMAL);
}

TIconHandle TKsCustomItem::CopyChildIcon(int& cx, int& cy) const {
  HICON source = nullptr;
  if (FMDIChild)
    if (TCustomForm* form = FMDIChild->GetForm())
      if (form->GetIcon())
        source = form->GetIcon()->GetHandle();
  if (!source && Application && Application->GetIcon())
    source = Application->GetIcon()->GetHandle();
  if (!source)
    source = LoadIconA(nullptr, MAKEINTRESOURCEA(32512));  // IDI_APPLICATION, shared
  cx = GetSystemMetrics(SM_CXSMICON);
  cy = GetSystemMetrics(SM_CYSMICON);
  if (cx == 0 || cy == 0) {
    cx = GetSystemMetrics(SM_CXSIZE);
    cy = GetSystemMetrics(SM_CYSIZE);
  }
  return TIconHandle(source ? static_cast<HICON>(CopyImage(source, IMAGE_ICON, cx, cy, 0)) : nullptr);
}

// ---- Menu glyphs -----------------------------------------------------------------------

void DrawMenuCheckMark(TKsBitmap& bitmap, const TRect& box) {
  static constexpr TPoint kDark[] = {{-2, -2}, {0, 0}, {4, -4}, {4, -3}, {0, 1}, {-2, -1}, {-2, -2}};
  static constexpr TPoint kLight[] = {{-3, -2}, {-3, -1}, {0, 2}, {5, -3}, {5, -5}};
  const TPoint q{(box.left + box.right) / 2 - 2, (box.top + box.bottom) / 2 + 1};
  GdiFlush();
  TCanvas canvas;
  canvas.SetHandle(bitmap.GetDC());
  auto polyline = [&](std::span<const TPoint> offsets, TColor color) {
    std::vector<TPoint> points;
    for (TPoint p : offsets)
      points.push_back({p.x + q.x, p.y + q.y});
    canvas.GetPen()->SetColor(color);
    canvas.Polyline(points);
  };
  polyline(kDark, clBlack);
  polyline(kLight, clWhite);
  canvas.SetHandle(nullptr);
}

void DrawMenuImage(TKsBitmap& bitmap, TCustomImageList* images, int index, const TRect& box,
                   bool enabled) {
  GdiFlush();
  TCanvas canvas;
  canvas.SetHandle(bitmap.GetDC());
  images->Draw(&canvas, box.left + (RectWidth(box) - images->GetWidth()) / 2,
               box.top + (RectHeight(box) - images->GetHeight()) / 2, index, enabled);
  canvas.SetHandle(nullptr);
}

void DrawMenuArrow(TKsBitmap& bitmap, const TRect& box, TKsColor back, TKsColor fore) {
  RECT frame = box;
  DrawFrameControl(bitmap.GetDC(), &frame, DFC_MENU, DFCS_MENUARROW);
  GdiFlush();
  const int top = std::max<int>(0, box.top), bottom = std::min<int>(box.bottom, bitmap.GetHeight());
  const int left = std::max<int>(0, box.left), right = std::min<int>(box.right, bitmap.GetWidth());
  for (int y = top; y < bottom; ++y)
    for (int x = left; x < right; ++x)
      bitmap.SetPixel(x, y, (bitmap.GetPixel(x, y) & 0xFFFFFF) == 0xFFFFFF ? back : fore);
}

// ---- Click handler and unit ------------------------------------------------------------

TKsClickHandler::TKsClickHandler(TComponent* AOwner) : TForm(AOwner) {
  SetBounds(10000, 10000, 0, 0);
}

void TKsClickHandler::Dispatch(TMessage& message) {
  if (message.Msg != KM_ITEMCLICK) {
    inherited::Dispatch(message);
    return;
  }
  auto* item = reinterpret_cast<TKsCustomItem*>(message.LParam);
  if (!IsLiveItem(item))
    return;
  // The closed menu windows vanish and repaint first; the item may go meanwhile.
  Application->ProcessMessages();
  if (IsLiveItem(item))
    DispatchItemClick(item);
}

TKsClickHandler* KsClickHandler() { return ClickHandler; }

TFont* KsMenuFont() { return MenuFont; }

void InitializeKsItems() {
  MenuFont = new TFont();
  NONCLIENTMETRICSA metrics;
  if (ReadNonClientMetrics(metrics))
    MenuFont->SetHandle(CreateFontIndirectA(&metrics.lfMenuFont));
  RegisterClasses({TKsCustomItem::StaticClass()});
  ClickHandler = new TKsClickHandler(nullptr);
}

void FinalizeKsItems() {
  FreeAndNil(ClickHandler);
  UnRegisterClasses({TKsCustomItem::StaticClass()});
  ItemParents.reset();
  FreeAndNil(MenuFont);
}
