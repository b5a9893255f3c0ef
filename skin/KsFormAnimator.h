// TKsFormAnimator: the show animation of a skinned form. When the window is shown it
// renders the whole window (frame, background and controls) into a bitmap and plays the
// chosen effect (fade, slide or growing rectangle; random picks one) over the captured
// background on the screen. A part of TKsCustomForm; translucent forms do not animate.
#pragma once

#include "classlib/Object.h"
#include "skin/KsEffects.h"

class TKsCustomForm;

class TKsFormAnimator : public TObject {
  KIVO_CLASS(TKsFormAnimator, TObject)
 public:
  explicit TKsFormAnimator(TKsCustomForm& form) : FForm(form) {}

  TKsAnimation GetShowAnimation() const { return FShowAnimation; }
  void SetShowAnimation(TKsAnimation value) { FShowAnimation = value; }
  int GetShowAnimationTime() const { return FShowAnimationTime; }
  void SetShowAnimationTime(int value) { FShowAnimationTime = value; }

  // Shows the window with the show animation over the captured background.
  void ShowAnimated();

 private:
  TKsCustomForm& FForm;
  TKsAnimation FShowAnimation = kaNone;
  int FShowAnimationTime = 400;
};
