// Frames: windowed containers that group controls into a unit that can be placed on
// any form (or another frame) at run time. The frame owns the controls made with it
// as owner; their parent is the frame, so they move, show and hide with it. It paints
// its background in its Color, which follows the parent's until set.
#pragma once

#include "classlib/Controls.h"

class TCustomFrame : public TWinControl {
  KIVO_CLASS(TCustomFrame, TWinControl)
 public:
  explicit TCustomFrame(TComponent* AOwner);
};

class TFrame : public TCustomFrame {
  KIVO_CLASS(TFrame, TCustomFrame)
 public:
  explicit TFrame(TComponent* AOwner) : TCustomFrame(AOwner) {}
};
