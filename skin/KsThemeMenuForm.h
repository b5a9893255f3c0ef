// The themed popup window and its skinner: the window takes the theme engine of the
// item it shows, and the skinner draws the popup frame through that engine's theme
// while the theme is available (else the classic frame).
#pragma once

#include "skin/KsMenuForm.h"

class TTeThemeEngine;

class TTeThemePopupWindow : public TKsPopupWindow {
  KIVO_CLASS(TTeThemePopupWindow, TKsPopupWindow)
 public:
  explicit TTeThemePopupWindow(TComponent* AOwner) : TKsPopupWindow(AOwner) {}

  const TComponentClass* GetPopupFormClass() const override;
  void InitPopup(TComponent* AOwner, TKsCustomItem* AItem, TKsItemView* AView) override;
  // Not owned.
  TTeThemeEngine* GetThemeEngine() const { return FThemeEngine; }
  void SetThemeEngine(TTeThemeEngine* value) { FThemeEngine = value; }

 private:
  TTeThemeEngine* FThemeEngine = nullptr;
};

class TTeThemePopupForm : public TKsPopupForm {
  KIVO_CLASS(TTeThemePopupForm, TKsPopupForm)
 public:
  explicit TTeThemePopupForm(TComponent* AOwner) : TKsPopupForm(AOwner) {}
  void PaintFrame(TKsBitmap& bitmap) override;
};
