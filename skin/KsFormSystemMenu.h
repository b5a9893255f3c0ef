// TKsFormSystemMenu: the skinned system menu of a form. It is built afresh each time
// it opens, with the commands that fit the window state and the caption buttons
// ("&Restore", "Mi&nimize", "Ma&ximize", "Ro&llup", "Minimize to &Tray", "&Close"), in
// the look its properties give it; a click runs the command its caption names. In the
// tray state the tray menu, when there is one, opens instead. A part of TKsCustomForm;
// the menu's items are components of the form.
#pragma once

#include "classlib/Geometry.h"
#include "classlib/Object.h"
#include "skin/KsEffects.h"

class TComponent;
class TKsCustomForm;
class TKsCustomItem;

class TKsFormSystemMenu : public TObject {
  KIVO_CLASS(TKsFormSystemMenu, TObject)
 public:
  explicit TKsFormSystemMenu(TKsCustomForm& form) : FForm(form) {}

  bool GetBlend() const { return FBlend; }
  void SetBlend(bool value) { FBlend = value; }
  int GetBlendValue() const { return FBlendValue; }
  void SetBlendValue(int value) { FBlendValue = value; }
  bool GetDropShadow() const { return FDropShadow; }
  void SetDropShadow(bool value) { FDropShadow = value; }
  int GetShadowWidth() const { return FShadowWidth; }
  void SetShadowWidth(int value) { FShadowWidth = value; }
  TKsAnimation GetShowAnimation() const { return FShowAnimation; }
  void SetShowAnimation(TKsAnimation value) { FShowAnimation = value; }
  int GetShowAnimationTime() const { return FShowAnimationTime; }
  void SetShowAnimationTime(int value) { FShowAnimationTime = value; }

  TKsCustomItem* GetRoot() const { return FRoot; }
  // Where the next opening puts the menu (screen point; 0, 0 for the client corner).
  TPoint GetPos() const { return FPos; }
  void SetPos(TPoint value) { FPos = value; }

  // Opens the menu: at the cursor in the tray state, else at the set point or the
  // client area's corner.
  void Show();
  // Opens the root as a popup at a screen point and runs its menu loop.
  void Popup(TPoint at);
  // Rebuilds the root with the items that fit the state and the buttons.
  void Build();
  // Runs the command that the clicked item names by its caption.
  void Click(TObject* sender);
  // The root went away with the form's components.
  void Removed(TComponent* component);

 private:
  TKsCustomForm& FForm;
  bool FBlend = false;
  int FBlendValue = 150;
  bool FDropShadow = false;
  int FShadowWidth = 4;
  TKsAnimation FShowAnimation = kaNone;
  int FShowAnimationTime = 300;
  TKsCustomItem* FRoot = nullptr;  // a component of the form
  TPoint FPos{0, 0};
};
