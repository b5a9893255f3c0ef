// The menu items of the skin library. TKsCustomItem is at once a menu item and the tree
// of its sub-items: it owns its sub-item list (freeing an item frees its sub-items, last
// first), measures and paints itself into a TKsBitmap and runs its click, its action or
// its short cut. A click is deferred: it is posted to the hidden TKsClickHandler form
// and runs once every menu loop has returned. Inserting an item that already has a
// parent, or into its own subtree, raises EKsItemError.
//
// A posted click carries a bare item pointer, and the item may be freed before the
// message arrives (a system menu is rebuilt, a dialog closes). Every item is therefore
// listed in a process-wide set of live items while it exists, and a click whose item is
// gone is dropped.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "classlib/Actions.h"
#include "classlib/Components.h"
#include "classlib/Controls.h"
#include "classlib/Forms.h"
#include "classlib/GdiHandles.h"
#include "classlib/Geometry.h"
#include "skin/KsColor.h"
#include "skin/KsEffects.h"
#include "skin/KsMDIButtonKind.h"

class TCustomImageList;
class TFont;
class TKsBitmap;
class TKsCustomForm;
class TKsCustomItem;
class TKsItemView;
class TKsPopupWindowClass;

KIVO_EXCEPTION(EKsItemError, Exception);

// The message a click is posted with to the click handler: wParam 0, lParam the item.
constexpr UINT KM_ITEMCLICK = 0x8BA;

// FindItem kinds.
constexpr int kfkClickCode = 1;  // the code address of OnClick
constexpr int kfkShortCut = 2;   // the ShortCut value

// The link between an item and its action: a property follows the action while the item
// still shows the action's value.
class TKsCustomItemActionLink : public TActionLink {
  KIVO_CLASS(TKsCustomItemActionLink, TActionLink)
 public:
  explicit TKsCustomItemActionLink(TKsCustomItem* client);

  TKsCustomItem* GetClient() const { return FClient; }
  bool IsCaptionLinked() override;
  bool IsCheckedLinked() override;
  bool IsEnabledLinked() override;
  bool IsHelpContextLinked() override;
  bool IsHintLinked() override;
  bool IsImageIndexLinked() override;
  bool IsShortCutLinked() override;
  bool IsVisibleLinked() override;
  bool IsOnExecuteLinked() override;

  void SetCaption(const std::string& value) override;
  void SetChecked(bool value) override;
  void SetEnabled(bool value) override;
  void SetHelpContext(int value) override;
  void SetHint(const std::string& value) override;
  void SetImageIndex(int value) override;
  void SetShortCut(TShortCut value) override;
  void SetVisible(bool value) override;
  void SetOnExecute(const TNotifyEvent& value) override;

 private:
  TCustomAction* Action() const;
  TKsCustomItem* FClient;
};

class TKsCustomItem : public TComponent {
  KIVO_CLASS(TKsCustomItem, TComponent)
 public:
  explicit TKsCustomItem(TComponent* AOwner);
  // Frees the sub-items from last to first, leaves the parent, frees the action link.
  ~TKsCustomItem() override;

  // ---- The sub-item tree
  int GetCount() const { return static_cast<int>(FItems.size()); }
  // Raises EListError for an index outside 0 .. Count - 1.
  TKsCustomItem* GetItems(int index) const;
  TKsCustomItem* GetParent() const { return FParent; }
  // Raises EKsItemError "Toolbar item already inserted" for an item that has a parent,
  // and for this item or one of its ancestors (the tree would become a cycle).
  void Insert(int index, TKsCustomItem* item);
  void Add(TKsCustomItem* item) { Insert(GetCount(), item); }
  // Takes the sub-item out without freeing it; raises EListError for a bad index.
  void Delete(int index);
  int IndexOf(const TKsCustomItem* item) const;
  void Remove(TKsCustomItem* item);

  // Images of the item, else of the root of its tree.
  TCustomImageList* GetImageList() const;
  // The first sub-item whose caption marks `ch` as its accelerator ("&" + ch, without
  // regard to case), or null.
  TKsCustomItem* FindAccelItem(char ch) const;
  // Depth first from this item: the first with ShortCut = value (kfkShortCut) or with an
  // assigned OnClick whose code address is value (kfkClickCode); null if none.
  TKsCustomItem* FindItem(uintptr_t value, int kind);

  // ---- Properties; the setters of the visible ones call Changed only on a change.
  const std::string& GetCaption() const { return FCaption; }
  void SetCaption(const std::string& value);
  bool IsSeparator() const { return FCaption == "-"; }
  bool GetChecked() const { return FChecked; }
  void SetChecked(bool value);
  bool GetEnabled() const { return FEnabled; }
  void SetEnabled(bool value);
  int GetHelpContext() const { return FHelpContext; }
  void SetHelpContext(int value) { FHelpContext = value; }
  const std::string& GetHint() const { return FHint; }
  void SetHint(const std::string& value) { FHint = value; }
  int GetImageIndex() const { return FImageIndex; }
  void SetImageIndex(int value);
  TCustomImageList* GetImages() const { return FImages; }
  void SetImages(TCustomImageList* value);
  TShortCut GetShortCut() const { return FShortCut; }
  void SetShortCut(TShortCut value) { FShortCut = value; }
  bool GetVisible() const { return FVisible; }
  void SetVisible(bool value);
  TBasicAction* GetAction() const;
  void SetAction(TBasicAction* value);
  TKsCustomItemActionLink* GetActionLink() const { return FActionLink; }

  // The ParentComponent property: the component that streams the tree (a menu bar or a
  // popup menu), stored on the root by its owner.
  TComponent* GetTreeParentComponent() const { return FParentComponent; }
  void SetTreeParentComponent(TComponent* value) { FParentComponent = value; }

  // ---- Settings of the popups, passed to the whole tree.
  bool GetPopupBlend() const { return FPopupBlend; }
  void SetPopupBlend(bool value);
  int GetPopupBlendValue() const { return FPopupBlendValue; }
  void SetPopupBlendValue(int value);
  bool GetDropShadow() const { return FDropShadow; }
  void SetDropShadowAll(bool value);
  int GetShadowWidth() const { return FShadowWidth; }
  void SetShadowWidthAll(int value);
  TKsAnimation GetShowAnimation() const { return FShowAnimation; }
  void SetShowAnimationAll(TKsAnimation value);
  int GetShowAnimationTime() const { return FShowAnimationTime; }
  void SetShowAnimationTimeAll(int value);
  TWinControl* GetParentWindow() const { return FParentWindow; }
  void SetParentWindowAll(TWinControl* value);
  TKsCustomForm* GetMDIChild() const { return FMDIChild; }
  void SetMDIChildAll(TKsCustomForm* value);
  bool GetAnimatePending() const { return FAnimatePending; }
  void SetAnimatePendingAll(bool value);
  bool GetAnimateOnce() const { return FAnimateOnce; }
  void SetAnimateOnceAll(bool value);
  bool GetTrayPopup() const { return FTrayPopup; }
  void SetTrayPopupAll(bool value);
  // These two reach the item and its direct sub-items only.
  TBiDiMode GetBiDiMode() const { return FBiDiMode; }
  void SetBiDiModeAll(TBiDiMode value);
  bool GetInControlBar() const { return FInControlBar; }
  void SetInControlBarAll(bool value);
  // mbkNone for an ordinary item; else the MDI child's button or icon the item stands for.
  TKsMDIButtonKind GetMDIButtonKind() const { return FMDIButtonKind; }
  void SetMDIButtonKind(TKsMDIButtonKind value) { FMDIButtonKind = value; }

  // ---- Streaming
  void GetChildren(TGetChildProc proc, TComponent* root) override;
  bool HasParent() const override { return true; }
  // The parent's ParentComponent when set, else the parent.
  TComponent* GetParentComponent() const override;
  // Leaves the current parent, then joins `value`: an item as its sub-item, another
  // component through the parent-class registry.
  void SetParentComponent(TComponent* value) override;
  void Loaded() override;
  void Notification(TComponent* AComponent, TOperation operation) override;

  // ---- Behaviour
  // The class of the window that shows the sub-items.
  virtual const TKsPopupWindowClass* GetPopupWindowClass() const;
  // Shows the sub-items in a popup window and runs its menu loop; returns when it
  // closed. `view` opened the popup (null for a top popup); an `excludeRect` of no width
  // places the popup at (x, y), else beside or below that rectangle (the opening item).
  void ShowPopup(TKsItemView* view, int x, int y, const TRect& excludeRect);
  // The change notification: OnChange, then the parent's Changed, so that the handler
  // installed on the root hears of every change in the tree.
  virtual void Changed();
  // The item's size in `view` (null: a column), measured with `bitmap` (null: only the
  // system's menu item size).
  virtual void CalcSize(TKsBitmap* bitmap, TKsItemView* view, int& width, int& height);
  virtual void Paint(TKsBitmap& bitmap, TKsItemView* view, const TRect& rect, bool selected,
                     bool notTracking);
  // Asks the action link to update the action.
  virtual void InitiateAction();
  // Posts the click to the click handler; separators, disabled items and items with
  // sub-items ignore it. Without a click handler the click runs at once.
  virtual void Click();
  // Handles a key message (WM_KEYDOWN or WM_SYSKEYDOWN) as a short cut of the tree this
  // item is the root of; answers whether an item carried the short cut.
  bool IsShortCut(TMessage& message);
  // Copies the action's properties (all of them, or with `checkDefaults` only those the
  // item still holds at their defaults).
  virtual void ActionChange(TObject* sender, bool checkDefaults);

  TNotifyEvent OnClick;
  TNotifyEvent OnChange;

 protected:
  // The icon of the maximized MDI child's cell (MDI button kind 4): the child form's,
  // else the application's, else the system's, copied at the small icon size (the
  // caption button size when the system has none); `cx` and `cy` get that size.
  TIconHandle CopyChildIcon(int& cx, int& cy) const;

 private:
  friend class TKsCustomItemActionLink;
  void DoActionChange(TObject* sender);
  void PaintBarItem(TKsBitmap& bitmap, const TRect& rect, bool selected, bool notTracking);
  bool IsInTreeOf(const TKsCustomItem* item) const;
  template <class Apply>
  void ForTree(Apply apply);

  std::string FCaption;
  bool FChecked = false;
  bool FEnabled = true;
  int FHelpContext = 0;
  std::string FHint;
  int FImageIndex = -1;
  TCustomImageList* FImages = nullptr;
  TShortCut FShortCut = 0;
  bool FVisible = true;
  TKsCustomItemActionLink* FActionLink = nullptr;
  TKsCustomItem* FParent = nullptr;
  TComponent* FParentComponent = nullptr;
  std::vector<TKsCustomItem*> FItems;
  bool FPopupBlend = false;
  int FPopupBlendValue = 150;
  TKsMDIButtonKind FMDIButtonKind = mbkNone;
  TKsCustomForm* FMDIChild = nullptr;
  bool FDropShadow = false;
  int FShowAnimationTime = 0;
  int FShadowWidth = 0;
  TKsAnimation FShowAnimation = kaNone;
  bool FAnimatePending = false;
  bool FAnimateOnce = false;
  TWinControl* FParentWindow = nullptr;
  TBiDiMode FBiDiMode = bdLeftToRight;
  bool FInControlBar = false;
  bool FTrayPopup = false;
};

// True while `item` names an existing TKsCustomItem (any pointer may be asked).
bool IsLiveItem(const void* item);
// Runs an item's click: its own OnClick when that differs from its action's OnExecute,
// else the action through the link (not while designing), else OnClick.
void DispatchItemClick(TKsCustomItem* item);

// Menu glyphs shared by the plain items and the themes. The check mark: a black and a
// white polyline around q = (box's horizontal centre - 2, its vertical centre + 1).
void DrawMenuCheckMark(TKsBitmap& bitmap, const TRect& box);
// The system's sub-menu arrow in `box`, its white pixels in `back`, the rest in `fore`.
void DrawMenuArrow(TKsBitmap& bitmap, const TRect& box, TKsColor back, TKsColor fore);
// An image of `images` centred in `box`, greyed unless `enabled`.
void DrawMenuImage(TKsBitmap& bitmap, TCustomImageList* images, int index, const TRect& box,
                   bool enabled);

// The hidden form that runs posted clicks after the menus have closed.
class TKsClickHandler : public TForm {
  KIVO_CLASS(TKsClickHandler, TForm)
 public:
  explicit TKsClickHandler(TComponent* AOwner);
  void Dispatch(TMessage& message) override;
};
// The click handler of the library; null before start-up and after shut-down.
TKsClickHandler* KsClickHandler();

// The registry of the component classes that stream item trees (menu bars, popup
// menus): how an item read from a form file joins its parent's tree.
using TKsAddItemProc = void (*)(TComponent* AParent, TKsCustomItem* AItem);
using TKsGetItemClassProc = TClass (*)();
// Replaces both procedures and counts up when the class is listed, else appends it.
void RegisterItemParent(TClass parentClass, TKsAddItemProc addItem,
                        TKsGetItemClassProc getItemClass);
// Counts down and drops the class at 0.
void UnregisterItemParent(TClass parentClass);

// The first skinner owned by `window`, or null.
TKsCustomForm* FindSkinForm(TWinControl* window);

// The system's menu font (lfMenuFont of the non-client metrics); null outside the
// unit's lifetime.
TFont* KsMenuFont();

// Start-up: the menu font, the click handler and the item class's streaming
// registration; shut-down frees them and the parent-class registry.
void InitializeKsItems();
void FinalizeKsItems();
