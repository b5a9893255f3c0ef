// Skinned check boxes and radio buttons: the mark drawn by the system's frame-control
// drawing (or, in the themed descendants, by the theme of a usable engine) and the
// caption beside it, both painted into the control's buffer. A check box cycles
// unchecked -> checked -> unchecked, a grayed one becomes checked; a radio button that
// becomes checked unchecks the radio buttons of the same parent and GroupIndex and is
// the tab stop of its group. State changes made while loading fire no click. The focus
// rectangle and the accelerator's underline follow the form's keyboard cues.
#pragma once

#include <cstdint>
#include <string>

#include "classlib/StdCtrls.h"
#include "skin/KsButtons.h"
#include "skin/KsControls.h"

class TTeThemeEngine;

// Which side the check box's mark is on: taLeftJustify on the left, taRightJustify at
// the right edge.
using TLeftRight = TAlignment;

// What the check box and the radio button share: the mark and the caption painted into
// the buffer, the spacing between them, the pressed look while the mouse button or the
// space bar is down, the hot look, and the caption's accelerator, which takes the focus
// and then checks (AccelCheck).
class TKsCustomMarkControl : public TKsCustomControl {
  KIVO_CLASS(TKsCustomMarkControl, TKsCustomControl)
 public:
  TKsCustomMarkControl(TComponent* AOwner, bool tabStop);

  int GetSpacing() const { return FSpacing; }
  void SetSpacing(int value);
  bool GetPressed() const { return FPressed; }

  void Dispatch(TMessage& message) override;

 protected:
  virtual TSize GetCheckSize() { return TSize{13, 13}; }
  virtual void DrawCheck() = 0;
  virtual void DrawCaption() = 0;
  // What the caption's accelerator does once the control has the focus.
  virtual void AccelCheck() = 0;
  void PaintBuffer() override;
  void KeyDown(WORD& key, TShiftState shift) override;
  // The themed mark shows the hot state: repainted on entry and exit.
  void MouseEnter() override;
  void MouseLeave() override;
  void SetPressed(bool value);
  // The spacing scales with the control; the mark keeps the size its artwork has (the
  // check box scales its own).
  void ChangeScale(int M, int D) override;

 private:
  int FSpacing = 5;
  bool FPressed = false;
};

class TKsCustomCheckBox : public TKsCustomMarkControl {
  KIVO_CLASS(TKsCustomCheckBox, TKsCustomMarkControl)
 public:
  explicit TKsCustomCheckBox(TComponent* AOwner);

  TCheckBoxState GetState() const { return FState; }
  void SetState(TCheckBoxState value);
  bool GetChecked() const { return FState == cbChecked; }
  void SetChecked(bool value) { SetState(value ? cbChecked : cbUnchecked); }
  TLeftRight GetAlignment() const { return FAlignment; }
  void SetAlignment(TLeftRight value);
  bool GetTracking() const { return FTracking; }

  // Where the mark and the caption go (public for drawing code and tests).
  TRect GetMarkRect();
  TRect GetTextRect();

 protected:
  // Fires the click event unless loading.
  virtual void ClickEvent();
  virtual void Toggle();
  // The mark grows with the control, as the system's check boxes grow with the screen:
  // its artwork's size (GetCheckSize) by the scale the control was shown at.
  void ChangeScale(int M, int D) override;
  TSize GetMarkSize();
  // `pixels` of the artwork as drawn at the control's scale.
  int ScaleMark(int pixels) const { return MulDiv(pixels, FMarkPixelsPerInch, 96); }
  void DrawCheck() override;
  void DrawCaption() override;
  void AccelCheck() override { Toggle(); }
  void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
  void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override;
  void KeyUp(WORD& key, TShiftState shift) override;

 private:
  TCheckBoxState FState = cbUnchecked;
  TLeftRight FAlignment = taLeftJustify;
  bool FTracking = false;
  // The density the mark is drawn for, its artwork's being 96.
  int FMarkPixelsPerInch = 96;
};

class TKsCustomRadioButton : public TKsCustomMarkControl {
  KIVO_CLASS(TKsCustomRadioButton, TKsCustomMarkControl)
 public:
  explicit TKsCustomRadioButton(TComponent* AOwner);

  bool GetChecked() const { return FChecked; }
  void SetChecked(bool value);
  uint8_t GetGroupIndex() const { return FGroupIndex; }
  void SetGroupIndex(uint8_t value) { FGroupIndex = value; }

  TRect GetMarkRect();
  TRect GetTextRect();

 protected:
  void DrawCheck() override;
  void DrawCaption() override;
  void AccelCheck() override { SetChecked(true); }
  void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
  void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override;
  void KeyUp(WORD& key, TShiftState shift) override;

 private:
  bool FChecked = false;
  uint8_t FGroupIndex = 0;
};

class TTeThemeCheckBox : public TThemeEngineLink<TKsCustomCheckBox> {
  KIVO_CLASS(TTeThemeCheckBox, TKsCustomCheckBox)
 public:
  using TThemeEngineLink::TThemeEngineLink;

 protected:
  TSize GetCheckSize() override;
  void DrawCheck() override;
};

class TTeThemeRadioButton : public TThemeEngineLink<TKsCustomRadioButton> {
  KIVO_CLASS(TTeThemeRadioButton, TKsCustomRadioButton)
 public:
  using TThemeEngineLink::TThemeEngineLink;

 protected:
  TSize GetCheckSize() override;
  void DrawCheck() override;
};
