// TTeThemeItem: the menu item that measures and draws itself through the current theme
// of its theme engine and opens themed popup windows. Without an engine, a theme or an
// available theme it measures and paints exactly as a plain item. The engine is not
// owned; a freed engine is forgotten (free notification).
#pragma once

#include "skin/KsItems.h"

class TTeThemeEngine;

class TTeThemeItem : public TKsCustomItem {
  KIVO_CLASS(TTeThemeItem, TKsCustomItem)
 public:
  explicit TTeThemeItem(TComponent* AOwner);

  TTeThemeEngine* GetThemeEngine() const { return FThemeEngine; }
  // Stores the engine on this item and on every themed sub-item, recursively.
  void SetThemeEngine(TTeThemeEngine* value);
  // An engine whose theme is assigned and available.
  bool IsThemed() const;

  const TKsPopupWindowClass* GetPopupWindowClass() const override;
  void CalcSize(TKsBitmap* bitmap, TKsItemView* view, int& width, int& height) override;
  void Paint(TKsBitmap& bitmap, TKsItemView* view, const TRect& rect, bool selected,
             bool notTracking) override;

 protected:
  void Notification(TComponent* AComponent, TOperation operation) override;

 private:
  void PaintChildIcon(TKsBitmap& bitmap, const TRect& rect);

  TTeThemeEngine* FThemeEngine = nullptr;
};

// Start-up registers TTeThemeItem with the streaming registry; shut-down removes it.
void InitializeKsThemeItems();
void FinalizeKsThemeItems();
