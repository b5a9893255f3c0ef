#include "skin/KsThemeMenuForm.h"

#include "skin/KsThemeItems.h"
#include "skin/TeTheme.h"
#include "skin/TeThemeEngine.h"

const TComponentClass* TTeThemePopupWindow::GetPopupFormClass() const {
  return &TTeThemePopupForm::MetaClass();
}

void TTeThemePopupWindow::InitPopup(TComponent* AOwner, TKsCustomItem* AItem, TKsItemView* AView) {
  inherited::InitPopup(AOwner, AItem, AView);
  if (auto* item = ObjectAs<TTeThemeItem>(AItem))
    FThemeEngine = item->GetThemeEngine();
}

void TTeThemePopupForm::PaintFrame(TKsBitmap& bitmap) {
  auto* window = ObjectAs<TTeThemePopupWindow>(GetPopupWindow());
  TTeThemeEngine* engine = window ? window->GetThemeEngine() : nullptr;
  if (!engine || !engine->ThemeAvailable()) {
    inherited::PaintFrame(bitmap);
    return;
  }
  engine->GetTheme()->DrawPopupFrame(bitmap, GetFrameWidth(), GetFrameHeight());
}
