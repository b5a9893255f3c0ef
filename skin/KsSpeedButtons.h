// Layout helpers of tool strips: TKsSpeedContainer, a transparent windowed container
// that other controls are placed on, and TKsSpeedDivider, a transparent 8-pixel-wide
// separator between them. Both are invisible at run time and show a grey outline only
// while a form is being designed.
#pragma once

#include "skin/KsControls.h"

class TKsSpeedContainer : public TKsCustomControl {
  KIVO_CLASS(TKsSpeedContainer, TKsCustomControl)
 public:
  explicit TKsSpeedContainer(TComponent* AOwner);

 protected:
  void PaintBuffer() override;
};

class TKsSpeedDivider : public TKsGraphicControl {
  KIVO_CLASS(TKsSpeedDivider, TKsGraphicControl)
 public:
  explicit TKsSpeedDivider(TComponent* AOwner);

 protected:
  void PaintBuffer() override;
};

// The outline both show while designed: opaque RGB(127, 127, 127).
constexpr TKsColor KsSpeedOutlineColor = KsColorARGB(255, 127, 127, 127);

// Registers both classes for streaming.
void InitializeKsSpeedButtons();
void FinalizeKsSpeedButtons();
