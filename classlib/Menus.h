// Menus: pop-up menus built at run time.
//
// A TMenuItem is a component with a caption ("&" marks the accelerator, "-" makes a
// separator), an Enabled state, a short cut shown beside the caption, OnClick and its
// own sub-items, which it frees. A TPopupMenu owns a root item; Popup builds a system
// menu from the tree at that moment, tracks it at a screen point and, once the menu
// has closed, runs the click of the chosen item (so that a click may open a modal
// dialog). The items keep their state in themselves; nothing needs a menu handle.
// An item shows an image beside its caption: its own Bitmap when it has one, else the
// image ImageIndex of the menu's Images.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "classlib/Components.h"
#include "classlib/Controls.h"
#include "classlib/Events.h"
#include "classlib/Win.h"

// A key with Shift, Ctrl and Alt bits: Ctrl+Enter is $400D.
using TShortCut = WORD;
constexpr TShortCut scShift = 0x2000;
constexpr TShortCut scCtrl = 0x4000;
constexpr TShortCut scAlt = 0x8000;
constexpr TShortCut scNone = 0;

TShortCut ShortCut(WORD key, TShiftState shift);
// "Ctrl+X", "Alt+F4", "Shift+Del"; empty for no short cut or an unnamed key.
std::string ShortCutToText(TShortCut shortCut);

class TBitmap;
class TCustomImageList;

class TMenuItem : public TComponent {
  KIVO_CLASS(TMenuItem, TComponent)
 public:
  explicit TMenuItem(TComponent* AOwner);
  // Frees the sub-items and leaves the parent item.
  ~TMenuItem() override;

  const std::string& GetCaption() const { return FCaption; }
  void SetCaption(const std::string& value) { FCaption = value; }
  bool GetEnabled() const { return FEnabled; }
  void SetEnabled(bool value) { FEnabled = value; }
  TShortCut GetShortCut() const { return FShortCut; }
  void SetShortCut(TShortCut value) { FShortCut = value; }
  // The image of the menu's Images shown beside the caption; -1 for none.
  int GetImageIndex() const { return FImageIndex; }
  void SetImageIndex(int value) { FImageIndex = value; }
  // The item's own image (made empty on first read, owned); drawn with its transparent
  // colour when it is Transparent.
  TBitmap* GetBitmap();
  void SetBitmap(TBitmap* value);
  bool HasBitmap() const;
  // The caption "-" makes the item a separator.
  bool IsLine() const { return FCaption == "-"; }
  // The command number the item has in a tracked menu (unique in the process).
  WORD GetCommand() const { return FCommand; }

  // ---- Sub-items (owned)
  int GetCount() const { return int(FItems.size()); }
  // Raises EListError for a bad index.
  TMenuItem* GetItem(int index) const;
  TMenuItem* GetParent() const { return FParent; }
  int IndexOf(const TMenuItem* item) const;
  void Add(TMenuItem* item) { Insert(GetCount(), item); }
  // Raises EInvalidOperation for an item that already has a parent.
  void Insert(int index, TMenuItem* item);
  // Takes the item out without freeing it.
  void Remove(TMenuItem* item);
  // Frees every sub-item.
  void Clear();
  // The item with `command` in this tree, or null.
  TMenuItem* Find(WORD command);

  // Fires OnClick when the item is enabled.
  virtual void Click();

  TNotifyEvent OnClick;

 private:
  std::string FCaption;
  bool FEnabled = true;
  TShortCut FShortCut = scNone;
  int FImageIndex = -1;
  TBitmap* FBitmap = nullptr;
  WORD FCommand;
  TMenuItem* FParent = nullptr;
  std::vector<TMenuItem*> FItems;
};

class TPopupMenu : public TComponent {
  KIVO_CLASS(TPopupMenu, TComponent)
 public:
  explicit TPopupMenu(TComponent* AOwner);
  ~TPopupMenu() override;
  TMenuItem* GetItems() const { return FItems.get(); }
  // The images the items' ImageIndex refers to (not owned; null for none).
  TCustomImageList* GetImages() const { return FImages; }
  void SetImages(TCustomImageList* value);
  // The control the menu was last opened for (set by whoever pops it up).
  TComponent* GetPopupComponent() const { return FPopupComponent; }
  void SetPopupComponent(TComponent* value) { FPopupComponent = value; }
  // OnPopup, then shows the menu at the screen point and clicks the chosen item.
  virtual void Popup(int x, int y);
  // Clicks the item with this command number; false when the menu has none.
  bool DispatchCommand(WORD command);

  TNotifyEvent OnPopup;

 protected:
  virtual void DoPopup(TObject* sender) { OnPopup(sender); }
  // Tracks `menu` at the point and answers the chosen command, 0 for none.
  virtual WORD TrackMenu(HMENU menu, int x, int y);
  void Notification(TComponent* AComponent, TOperation operation) override;

 private:
  void WndProc(TMessage& message);
  std::unique_ptr<TMenuItem> FItems;
  TComponent* FPopupComponent = nullptr;
  TCustomImageList* FImages = nullptr;
  HWND FWindow = nullptr;  // the owner of the tracked menu
};
