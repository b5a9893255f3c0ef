#include "skin/KsThemeItems.h"

#include "classlib/ClassRegistry.h"
#include "classlib/GdiHandles.h"
#include "classlib/Icon.h"
#include "skin/KsBitmap.h"
#include "skin/KsForms.h"
#include "skin/KsItemView.h"
#include "skin/KsThemeMenuForm.h"
#include "skin/TeTheme.h"
#include "skin/TeThemeEngine.h"

TTeThemeItem::TTeThemeItem(TComponent* AOwner) : TKsCustomItem(AOwner) {}

void TTeThemeItem::SetThemeEngine(TTeThemeEngine* value) {
  ReplaceReference(FThemeEngine, value);
  for (int i = 0; i < GetCount(); ++i)
    if (auto* item = ObjectAs<TTeThemeItem>(GetItems(i)))
      item->SetThemeEngine(value);
}

void TTeThemeItem::Notification(TComponent* AComponent, TOperation operation) {
  inherited::Notification(AComponent, operation);
  if (operation == opRemove && AComponent == FThemeEngine)
    FThemeEngine = nullptr;
}

bool TTeThemeItem::IsThemed() const { return FThemeEngine && FThemeEngine->ThemeAvailable(); }

const TKsPopupWindowClass* TTeThemeItem::GetPopupWindowClass() const {
  return &TTeThemePopupWindow::MetaClass();
}

void TTeThemeItem::CalcSize(TKsBitmap* bitmap, TKsItemView* view, int& width, int& height) {
  if (!IsThemed() || !bitmap) {
    inherited::CalcSize(bitmap, view, width, height);
    return;
  }
  TTeTheme* theme = FThemeEngine->GetTheme();
  if (view && view->GetHorizontal())
    theme->MeasureMenuBarItem(*bitmap, *this, width, height);
  else
    theme->MeasurePopupItem(*bitmap, *this, width, height);
  if (GetMDIButtonKind() != mbkNone)
    width = height;
}

void TTeThemeItem::Paint(TKsBitmap& bitmap, TKsItemView* view, const TRect& rect, bool selected,
                         bool notTracking) {
  if (!IsThemed()) {
    inherited::Paint(bitmap, view, rect, selected, notTracking);
    return;
  }
  TTeTheme* theme = FThemeEngine->GetTheme();
  if (GetMDIButtonKind() != mbkNone) {
    theme->DrawMenuBarButton(bitmap, *this, rect, selected, notTracking);
    if (GetMDIButtonKind() == mbkChildIcon)
      PaintChildIcon(bitmap, rect);
    return;
  }
  if (view && view->GetHorizontal())
    theme->DrawMenuBarItem(bitmap, *this, rect, selected, notTracking);
  else
    theme->DrawPopupItem(bitmap, *this, rect, selected, notTracking);
}

void TTeThemeItem::PaintChildIcon(TKsBitmap& bitmap, const TRect& rect) {
  int cx = 0, cy = 0;
  const TIconHandle small = CopyChildIcon(cx, cy);
  if (!small)
    return;
  const int x = rect.left + (RectWidth(rect) - 16) / 2, y = rect.top + (RectHeight(rect) - 16) / 2;
  DrawIconEx(bitmap.GetDC(), x, y, small.Get(), cx, cy, 0, nullptr, DI_NORMAL);
}

void InitializeKsThemeItems() { RegisterClasses({TTeThemeItem::StaticClass()}); }

void FinalizeKsThemeItems() { UnRegisterClasses({TTeThemeItem::StaticClass()}); }
