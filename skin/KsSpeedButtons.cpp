#include "skin/KsSpeedButtons.h"

#include "classlib/ClassRegistry.h"

namespace {

void FrameWhileDesigning(const TControl& control, TKsBitmap& buffer) {
  if (!control.GetComponentState().Contains(csDesigning))
    return;
  buffer.FrameRect(Rect(0, 0, control.GetWidth(), control.GetHeight()), KsSpeedOutlineColor);
}

}  // namespace

TKsSpeedContainer::TKsSpeedContainer(TComponent* AOwner) : TKsCustomControl(AOwner) {
  SetControlStyle(GetControlStyle() + TControlStyle{csAcceptsControls});
  SetTransparent(true);
}

void TKsSpeedContainer::PaintBuffer() {
  // At run time the transparent buffer keeps the parent's background untouched.
  FrameWhileDesigning(*this, *GetBuffer());
}

TKsSpeedDivider::TKsSpeedDivider(TComponent* AOwner) : TKsGraphicControl(AOwner) {
  SetWidth(8);
  SetTransparent(true);
}

void TKsSpeedDivider::PaintBuffer() {
  inherited::PaintBuffer();
  FrameWhileDesigning(*this, *GetBuffer());
}

void InitializeKsSpeedButtons() {
  RegisterClasses({TKsSpeedContainer::StaticClass(), TKsSpeedDivider::StaticClass()});
}

void FinalizeKsSpeedButtons() {
  UnRegisterClasses({TKsSpeedContainer::StaticClass(), TKsSpeedDivider::StaticClass()});
}
