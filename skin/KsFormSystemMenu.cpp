#include "skin/KsFormSystemMenu.h"

#include <string>

#include "classlib/Forms.h"
#include "classlib/Menus.h"
#include "skin/KsForms.h"
#include "skin/KsItems.h"
#include "skin/KsMenus.h"

namespace {

constexpr const char* kRestoreText = "&Restore";
constexpr const char* kMinimizeText = "Mi&nimize";
constexpr const char* kMaximizeText = "Ma&ximize";
constexpr const char* kRollupText = "Ro&llup";
constexpr const char* kTrayText = "Minimize to &Tray";
constexpr const char* kCloseText = "&Close";

// The glyphs of the system menu's image list, by command.
enum TSystemMenuGlyph { smgClose, smgMinimize, smgMaximize, smgRestore, smgRollup, smgTray };

}  // namespace

void TKsFormSystemMenu::Show() {
  TCustomForm* form = FForm.States().CommandForm();
  if (!form)
    return;
  const bool tray = FForm.GetWindowState() == kwsTray;
  POINT at{0, 0};
  if (tray) {
    GetCursorPos(&at);
  } else if (FPos.x != 0 || FPos.y != 0) {
    at = POINT{FPos.x, FPos.y};
    FPos = TPoint{0, 0};
  } else {
    ClientToScreen(form->GetHandle(), &at);
  }
  if (TPopupMenu* trayMenu = FForm.GetTrayMenu(); tray && trayMenu) {
    if (auto* skinned = ObjectAs<TKsCustomPopupMenu>(trayMenu))
      skinned->GetItems()->SetTrayPopupAll(true);
    trayMenu->Popup(at.x, at.y);
    return;
  }
  Build();
  if (tray)
    FRoot->SetTrayPopupAll(true);
  FForm.PopupSystemMenu(TPoint{at.x, at.y});
}

void TKsFormSystemMenu::Popup(TPoint at) {
  if (FRoot)
    FRoot->ShowPopup(nullptr, at.x, at.y, TRect{});
}

void TKsFormSystemMenu::Build() {
  delete FRoot;
  FRoot = nullptr;
  FRoot = FForm.CreateMenuItem(&FForm);
  FRoot->SetImages(KsSystemMenuGlyphs());
  const TKsWindowState s = FForm.GetWindowState();
  const TKsBorderIcons icons = FForm.GetBorderIcons();
  auto add = [&](const char* caption, int glyph) {
    TKsCustomItem* item = FForm.CreateMenuItem(&FForm);
    item->SetCaption(caption);
    item->SetImages(KsSystemMenuGlyphs());
    item->SetImageIndex(glyph);
    item->OnClick = TNotifyEvent::Bind<&TKsFormSystemMenu::Click>(this);
    FRoot->Add(item);
    return item;
  };
  if (s == kwsMaximized || s == kwsMinimized || s == kwsRollup || s == kwsTray)
    add(kRestoreText, smgRestore);
  if (icons.Contains(kbiMinimize) && (s == kwsNormal || s == kwsMaximized || s == kwsRollup))
    add(kMinimizeText, smgMinimize);
  if (icons.Contains(kbiMaximize) && (s == kwsNormal || s == kwsRollup))
    add(kMaximizeText, smgMaximize);
  if (icons.Contains(kbiRollup) && (s == kwsNormal || s == kwsMaximized))
    add(kRollupText, smgRollup);
  if (icons.Contains(kbiTray) && (s == kwsNormal || s == kwsMaximized || s == kwsRollup))
    add(kTrayText, smgTray);
  if (icons.Contains(kbiClose)) {
    if (FRoot->GetCount() > 0)
      add("-", -1)->OnClick = TNotifyEvent();
    add(kCloseText, smgClose)->SetShortCut(ShortCut(VK_F4, TShiftState{ssAlt}));
  }
  FRoot->SetPopupBlend(FBlend);
  FRoot->SetPopupBlendValue(FBlendValue);
  FRoot->SetDropShadowAll(FDropShadow);
  FRoot->SetShadowWidthAll(FShadowWidth);
  FRoot->SetShowAnimationAll(FShowAnimation);
  FRoot->SetShowAnimationTimeAll(FShowAnimationTime);
}

void TKsFormSystemMenu::Click(TObject* sender) {
  auto* item = ObjectAs<TKsCustomItem>(sender);
  if (!item)
    return;
  const std::string& caption = item->GetCaption();
  if (caption == kCloseText)
    FForm.CloseForm();
  else if (caption == kMaximizeText)
    FForm.Maximize();
  else if (caption == kMinimizeText)
    FForm.Minimize();
  else if (caption == kRollupText)
    FForm.Rollup();
  else if (caption == kTrayText)
    FForm.MinimizeToTray();
  else if (caption == kRestoreText)
    FForm.Restore();
}

void TKsFormSystemMenu::Removed(TComponent* component) {
  if (component == FRoot)
    FRoot = nullptr;
}
