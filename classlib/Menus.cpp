#include "classlib/Menus.h"

#include <algorithm>
#include <cassert>
#include <memory>
#include <set>
#include <vector>

#include "classlib/AliveGuard.h"
#include "classlib/Bitmap.h"
#include "classlib/Canvas.h"
#include "classlib/Exceptions.h"
#include "classlib/GdiHandles.h"
#include "classlib/ImageList.h"
#include "classlib/UtilWindow.h"

namespace {

// Command numbers in use; a tracked menu answers one, which finds its item.
std::set<WORD>& UsedCommands() {
  static std::set<WORD> used;
  return used;
}

WORD AllocateCommand() {
  static WORD next = 0;
  auto& used = UsedCommands();
  if (used.size() >= 0xFFFF)
    throw EOutOfResources("No menu command number is free");
  do
    ++next;
  while (next == 0 || used.count(next));
  used.insert(next);
  return next;
}

std::string KeyName(WORD key) {
  if ((key >= 'A' && key <= 'Z') || (key >= '0' && key <= '9'))
    return std::string(1, char(key));
  if (key >= VK_F1 && key <= VK_F24)
    return "F" + std::to_string(key - VK_F1 + 1);
  switch (key) {
    case VK_BACK: return "BkSp";
    case VK_TAB: return "Tab";
    case VK_RETURN: return "Enter";
    case VK_ESCAPE: return "Esc";
    case VK_SPACE: return "Space";
    case VK_PRIOR: return "PgUp";
    case VK_NEXT: return "PgDn";
    case VK_END: return "End";
    case VK_HOME: return "Home";
    case VK_LEFT: return "Left";
    case VK_UP: return "Up";
    case VK_RIGHT: return "Right";
    case VK_DOWN: return "Down";
    case VK_INSERT: return "Ins";
    case VK_DELETE: return "Del";
  }
  return {};
}

// The images of one tracked menu; they must live as long as the menu is shown.
using TMenuImages = std::vector<TBitmapHandle>;

// The image an item shows beside its caption, on the menu's colour; null for none.
HBITMAP MakeItemImage(TMenuItem* item, TCustomImageList* images, TMenuImages& made) {
  const bool ownBitmap = item->HasBitmap();
  const bool listed = !ownBitmap && images && item->GetImageIndex() >= 0 && item->GetImageIndex() < images->GetCount();
  if (!ownBitmap && !listed)
    return nullptr;
  const int width = ownBitmap ? item->GetBitmap()->GetWidth() : images->GetWidth();
  const int height = ownBitmap ? item->GetBitmap()->GetHeight() : images->GetHeight();
  TClientDC screen(nullptr);
  TBitmapHandle image(CreateCompatibleBitmap(screen, width, height));
  if (!image)
    return nullptr;
  {
    TMemoryDC dc(screen);
    const TSelectGuard selected(dc, image.Get());
    const RECT all{0, 0, width, height};
    FillRect(dc, &all, GetSysColorBrush(COLOR_MENU));
    if (ownBitmap) {
      TCanvas canvas;
      canvas.SetHandle(dc);
      canvas.Draw(0, 0, item->GetBitmap());
      canvas.SetHandle(nullptr);
    } else {
      ImageList_Draw(images->GetHandle(), item->GetImageIndex(), dc, 0, 0, ILD_TRANSPARENT);
    }
  }
  made.push_back(std::move(image));
  return made.back().Get();
}

// Appends the items of `item` to `menu`, sub-items as sub-menus.
void BuildMenu(HMENU menu, TMenuItem* item, TCustomImageList* images, TMenuImages& made) {
  for (int i = 0; i < item->GetCount(); ++i) {
    TMenuItem* child = item->GetItem(i);
    if (child->IsLine()) {
      AppendMenuA(menu, MF_SEPARATOR, 0, nullptr);
      continue;
    }
    std::string text = child->GetCaption();
    if (const std::string keys = ShortCutToText(child->GetShortCut()); !keys.empty())
      text += "\t" + keys;
    const UINT state = child->GetEnabled() ? MF_ENABLED : MF_GRAYED;
    if (child->GetCount() > 0) {
      HMENU sub = CreatePopupMenu();  // destroyed with its parent menu
      BuildMenu(sub, child, images, made);
      AppendMenuA(menu, MF_STRING | MF_POPUP | state, reinterpret_cast<UINT_PTR>(sub), text.c_str());
    } else {
      AppendMenuA(menu, MF_STRING | state, child->GetCommand(), text.c_str());
    }
    if (HBITMAP image = MakeItemImage(child, images, made)) {
      MENUITEMINFOA info{};
      info.cbSize = sizeof info;
      info.fMask = MIIM_BITMAP;
      info.hbmpItem = image;
      SetMenuItemInfoA(menu, UINT(GetMenuItemCount(menu) - 1), TRUE, &info);
    }
  }
}

}  // namespace

TShortCut ShortCut(WORD key, TShiftState shift) {
  if (key & 0xFF00)
    return scNone;
  TShortCut result = key;
  if (shift.Contains(ssShift))
    result |= scShift;
  if (shift.Contains(ssCtrl))
    result |= scCtrl;
  if (shift.Contains(ssAlt))
    result |= scAlt;
  return result;
}

std::string ShortCutToText(TShortCut shortCut) {
  const std::string name = KeyName(shortCut & 0xFF);
  if (name.empty())
    return {};
  std::string text;
  if (shortCut & scShift)
    text += "Shift+";
  if (shortCut & scCtrl)
    text += "Ctrl+";
  if (shortCut & scAlt)
    text += "Alt+";
  return text + name;
}

// ---- TMenuItem ------------------------------------------------------------------------

TMenuItem::TMenuItem(TComponent* AOwner) : TComponent(AOwner), FCommand(AllocateCommand()) {}

TMenuItem::~TMenuItem() {
  Clear();
  delete FBitmap;
  if (FParent)
    FParent->Remove(this);
  UsedCommands().erase(FCommand);
}

TMenuItem* TMenuItem::GetItem(int index) const {
  if (index < 0 || index >= GetCount())
    ListIndexError(index);
  return FItems[index];
}

int TMenuItem::IndexOf(const TMenuItem* item) const {
  auto found = std::find(FItems.begin(), FItems.end(), item);
  return found == FItems.end() ? -1 : int(found - FItems.begin());
}

void TMenuItem::Insert(int index, TMenuItem* item) {
  assert(item && "a menu item to insert");
  if (item->FParent)
    throw EInvalidOperation(Format("Menu item \"%s\" is already in a menu", item->FCaption.c_str()));
  if (index < 0 || index > GetCount())
    ListIndexError(index);
  FItems.insert(FItems.begin() + index, item);
  item->FParent = this;
}

void TMenuItem::Remove(TMenuItem* item) {
  const int index = IndexOf(item);
  if (index < 0)
    return;
  FItems.erase(FItems.begin() + index);
  item->FParent = nullptr;
}

void TMenuItem::Clear() {
  while (!FItems.empty())
    delete FItems.back();  // the item leaves this list itself
}

TMenuItem* TMenuItem::Find(WORD command) {
  if (command == FCommand)
    return this;
  for (TMenuItem* item : FItems)
    if (TMenuItem* found = item->Find(command))
      return found;
  return nullptr;
}

TBitmap* TMenuItem::GetBitmap() {
  if (!FBitmap)
    FBitmap = new TBitmap;
  return FBitmap;
}

void TMenuItem::SetBitmap(TBitmap* value) {
  if (!value) {
    delete FBitmap;
    FBitmap = nullptr;
    return;
  }
  GetBitmap()->Assign(value);
}

bool TMenuItem::HasBitmap() const { return FBitmap && !FBitmap->GetEmpty(); }

void TMenuItem::Click() {
  if (FEnabled)
    OnClick(this);
}

// ---- TPopupMenu -----------------------------------------------------------------------

TPopupMenu::TPopupMenu(TComponent* AOwner) : TComponent(AOwner), FItems(std::make_unique<TMenuItem>(nullptr)) {}

TPopupMenu::~TPopupMenu() {
  DeallocateHWnd(FWindow);
  FItems.reset();
}

void TPopupMenu::SetImages(TCustomImageList* value) {
  ReplaceReference(FImages, value);
}

void TPopupMenu::Notification(TComponent* AComponent, TOperation operation) {
  inherited::Notification(AComponent, operation);
  if (operation == opRemove && AComponent == FImages)
    FImages = nullptr;
}

void TPopupMenu::Popup(int x, int y) {
  if (!Survives(this, &TPopupMenu::DoPopup, this))
    return;
  TMenuImages images;
  TMenuHandle menu(CreatePopupMenu());
  if (!menu)
    throw EOutOfResources("The pop-up menu could not be made");
  BuildMenu(menu.Get(), FItems.get(), FImages, images);
  const WORD command = TrackMenu(menu.Get(), x, y);
  menu.Reset();
  images.clear();
  if (command)
    DispatchCommand(command);
}

bool TPopupMenu::DispatchCommand(WORD command) {
  TMenuItem* item = FItems->Find(command);
  if (!item || item == FItems.get())
    return false;
  item->Click();
  return true;
}

WORD TPopupMenu::TrackMenu(HMENU menu, int x, int y) {
  if (!FWindow)
    FWindow = AllocateHWnd(TWndMethod::Bind<&TPopupMenu::WndProc>(this));
  // The hidden owner is never activated, so the form keeps its activation and focus.
  const BOOL command = TrackPopupMenu(menu, TPM_LEFTALIGN | TPM_RIGHTBUTTON | TPM_RETURNCMD | TPM_NONOTIFY, x, y,
                                      0, FWindow, nullptr);
  return WORD(command);
}

void TPopupMenu::WndProc(TMessage& message) {
  message.Result = DefWindowProcA(FWindow, message.Msg, message.WParam, message.LParam);
}
