// TKsFormMouse: the mouse on a skinned form's frame. It answers the system's hit tests
// from the form's own hit codes, presses and releases the caption buttons (a button
// shows pressed only while the pointer stays on it and acts on release), drags the
// frame by its caption and borders (live or as an outline), snaps it to the edges of
// the work area or the parent, and opens the system menu on a right click in the
// caption. A part of TKsCustomForm.
#pragma once

#include <cstdint>

#include "classlib/Controls.h"
#include "classlib/Geometry.h"
#include "classlib/Messages.h"
#include "classlib/Object.h"

class TKsCustomForm;

class TKsFormMouse : public TObject {
  KIVO_CLASS(TKsFormMouse, TObject)
 public:
  explicit TKsFormMouse(TKsCustomForm& form) : FForm(form) {}

  bool GetCanResize() const { return FCanResize; }
  void SetCanResize(bool value) { FCanResize = value; }
  bool GetCanMove() const { return FCanMove; }
  void SetCanMove(bool value) { FCanMove = value; }
  bool GetMagnetic() const { return FMagnetic; }
  void SetMagnetic(bool value) { FMagnetic = value; }
  int GetMagneticValue() const { return FMagneticValue; }
  void SetMagneticValue(int value) { FMagneticValue = value; }
  bool GetSimpleDrag() const { return FSimpleDrag; }
  void SetSimpleDrag(bool value) { FSimpleDrag = value; }

  uint8_t GetDownCode() const { return FDownCode; }
  uint8_t GetHotCode() const { return FHotCode; }
  bool GetDragging() const { return FDragging; }
  // The button of `code` is held down with the pointer on it.
  bool ButtonPressed(uint8_t code) const;

  // WM_NCHITTEST: the system's code for the form's hit code.
  void NCHitTest(TMessage& message);
  // The non-client mouse messages, in frame coordinates.
  void NCButton(TMessage& message);
  // Client mouse messages while a frame button is held (the mouse is captured).
  void ClientMouse(TMessage& message);

  // The form's mouse operations (TKsCustomForm::MouseDown and the others).
  void MouseDown(TMouseButton button, TShiftState shift, int x, int y);
  void MouseMove(TShiftState shift, int x, int y);
  void MouseUp(TMouseButton button, TShiftState shift, int x, int y);

 private:
  void Snap(TRect& bounds);
  void DrawOutline(const TRect& frame);
  void SetFormBounds(const TRect& bounds);

  TKsCustomForm& FForm;
  bool FCanResize = true;
  bool FCanMove = true;
  bool FMagnetic = true;
  int FMagneticValue = 20;
  bool FSimpleDrag = false;
  TShiftState FButtons;  // the mouse buttons held since a non-client press
  uint8_t FDownCode = 0;
  uint8_t FHotCode = 0;
  TPoint FDownPoint{0, 0};
  TPoint FLastPoint{0, 0};
  bool FDragging = false;
  bool FOutlineDrag = false;
  TRect FDragFrame{0, 0, 0, 0};
};
