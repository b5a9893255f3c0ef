// The menu components of the skin library. TKsCustomMenuBar is a windowed control that
// paints the top-level items of its item tree in a row (TKsMenuBarView), opens their
// sub-items as skinned popup windows and carries the buttons of a maximized MDI child.
// TKsCustomPopupMenu is a popup menu whose Popup shows its item tree in a skinned popup
// window instead of a system menu; at most one of them shows at a time. Both own their
// root item (Items) and register with the item parent registry while they exist.
#pragma once

#include "classlib/Menus.h"
#include "skin/KsControls.h"
#include "skin/KsEffects.h"
#include "skin/KsItemView.h"

class TCustomImageList;
class TKsCustomForm;
class TKsCustomItem;
class TKsCustomMenuBar;

// The popup settings a menu bar or popup menu passes to its whole item tree.
struct TKsPopupSettings {
  bool PopupBlend = false;
  int PopupBlendValue = 150;
  bool DropShadow = false;
  int ShadowWidth = 4;
  TKsAnimation ShowAnimation = kaNone;
  int ShowAnimationTime = 300;
  void PassTo(TKsCustomItem& tree) const;
};

// The row view of a menu bar.
class TKsMenuBarView : public TKsItemView {
  KIVO_CLASS(TKsMenuBarView, TKsItemView)
 public:
  TKsMenuBarView(TKsCustomMenuBar* AMenuBar, TKsBitmap* buffer);
  TKsCustomMenuBar* GetMenuBar() const { return FMenuBar; }
  // With AutoSize the bar takes the items' height plus its etched-line margin.
  void SetViewSize(TPoint size) override;
  void SetViewPos(TPoint) override {}
  void InvalidateView() override;

 private:
  TKsCustomMenuBar* FMenuBar;
};

class TKsCustomMenuBar : public TKsCustomControl {
  KIVO_CLASS(TKsCustomMenuBar, TKsCustomControl)
 public:
  explicit TKsCustomMenuBar(TComponent* AOwner);
  ~TKsCustomMenuBar() override;

  TKsCustomItem* GetItems() const { return FItems; }
  TKsMenuBarView* GetView() const { return FView; }
  TCustomImageList* GetImages() const;
  void SetImages(TCustomImageList* value);
  bool GetAutoSize() const { return FAutoSize; }
  void SetAutoSize(bool value) { FAutoSize = value; }
  bool GetPopupBlend() const { return FSettings.PopupBlend; }
  void SetPopupBlend(bool value);
  int GetPopupBlendValue() const { return FSettings.PopupBlendValue; }
  void SetPopupBlendValue(int value);
  bool GetDropShadow() const { return FSettings.DropShadow; }
  void SetDropShadow(bool value);
  int GetShadowWidth() const { return FSettings.ShadowWidth; }
  void SetShadowWidth(int value);
  TKsAnimation GetShowAnimation() const { return FSettings.ShowAnimation; }
  void SetShowAnimation(TKsAnimation value);
  int GetShowAnimationTime() const { return FSettings.ShowAnimationTime; }
  void SetShowAnimationTime(int value);
  TKsCustomForm* GetMDIChild() const { return FMDIChild; }
  bool GetUpdating() const { return FUpdating; }
  // The MDI button items (null unless the bar sits on an MDI parent form).
  TKsCustomItem* GetMDIIconItem() const { return FMDIIcon; }
  TKsCustomItem* GetMDIMinimizeItem() const { return FMDIMinimize; }
  TKsCustomItem* GetMDIRestoreItem() const { return FMDIRestore; }
  TKsCustomItem* GetMDICloseItem() const { return FMDIClose; }

  // The item area: the client less the etched line's 2 pixels (bottom for alTop, top
  // for alBottom).
  virtual void GetItemsRect(TRect& r);
  static void AddItem(TComponent* AParent, TKsCustomItem* AItem);
  static TClass GetItemClass();
  // Passes every setting to the item tree again and repaints.
  virtual void UpdateItems();

  // Runs the bar's menu loop (the first popup of the run animates).
  void TrackMenu();
  // A key message as a short cut of the item tree.
  bool IsShortCut(TMessage& message);
  // Called by the skinned form when an MDI child is maximized or leaves that state.
  void ShowMDIButtons(TKsCustomForm* form);
  void HideMDIButtons();
  // The bar's parent is a control bar.
  bool InControlBar() const;

  void Loaded() override;
  void SetBounds(int left, int top, int width, int height) override;
  void GetChildren(TGetChildProc proc, TComponent* root) override;
  void Dispatch(TMessage& message) override;

 protected:
  void PaintBuffer() override;
  void MouseMove(TShiftState shift, int x, int y) override;

 private:
  void ItemsChanged(TObject* sender);
  void MDIButtonClick(TObject* sender);
  void SetMDIButtonsVisible(bool visible, TKsCustomForm* form);

  TKsCustomItem* FItems = nullptr;
  TKsMenuBarView* FView = nullptr;
  TKsPopupSettings FSettings;
  TKsCustomForm* FMDIChild = nullptr;
  bool FAutoSize = true;
  bool FUpdating = false;
  bool FMDIUpdateLock = false;
  TKsCustomItem* FMDIIcon = nullptr;
  TKsCustomItem* FMDIMinimize = nullptr;
  TKsCustomItem* FMDIRestore = nullptr;
  TKsCustomItem* FMDIClose = nullptr;
};

class TKsCustomPopupMenu : public TPopupMenu {
  KIVO_CLASS(TKsCustomPopupMenu, TPopupMenu)
 public:
  explicit TKsCustomPopupMenu(TComponent* AOwner);
  ~TKsCustomPopupMenu() override;

  TKsCustomItem* GetItems() const { return FItems; }
  TCustomImageList* GetImages() const;
  void SetImages(TCustomImageList* value);
  bool GetPopupBlend() const { return FSettings.PopupBlend; }
  void SetPopupBlend(bool value);
  int GetPopupBlendValue() const { return FSettings.PopupBlendValue; }
  void SetPopupBlendValue(int value);
  bool GetDropShadow() const { return FSettings.DropShadow; }
  void SetDropShadow(bool value);
  int GetShadowWidth() const { return FSettings.ShadowWidth; }
  void SetShadowWidth(int value);
  TKsAnimation GetShowAnimation() const { return FSettings.ShowAnimation; }
  void SetShowAnimation(TKsAnimation value);
  int GetShowAnimationTime() const { return FSettings.ShowAnimationTime; }
  void SetShowAnimationTime(int value);
  // Shows the item tree in a skinned popup window at the screen point; returns when it
  // closed. A popup menu of the library that is showing closes first.
  void Popup(int x, int y) override;
  static void AddItem(TComponent* AParent, TKsCustomItem* AItem);
  static TClass GetItemClass();
  // Ends a running menu loop of the library: WM_NCMBUTTONDBLCLK to the owner's window.
  virtual void CloseMenu();

  void Loaded() override;
  void GetChildren(TGetChildProc proc, TComponent* root) override;

 private:

  TKsCustomItem* FItems = nullptr;
  TKsPopupSettings FSettings;
};

// The popup menu whose popup is showing, or null.
TKsCustomPopupMenu* KsShowingPopupMenu();
