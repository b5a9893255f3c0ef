// Group boxes painted into the control's buffer: an etched frame with the caption set
// into its top edge, CaptionMargin pixels from the left. TTeThemeGroupBox draws face,
// frame and caption through the theme of a usable engine and like the plain box
// otherwise. Both accept child controls; the caption's accelerator focuses the first
// child when it is windowed, else the box.
#pragma once

#include <string>

#include "skin/KsButtons.h"
#include "skin/KsControls.h"

class TKsCustomGroupBox : public TKsCustomControl {
  KIVO_CLASS(TKsCustomGroupBox, TKsCustomControl)
 public:
  explicit TKsCustomGroupBox(TComponent* AOwner);

  int GetCaptionMargin() const { return FCaptionMargin; }
  void SetCaptionMargin(int value);

  // The frame (3, caption height div 2 + 1, width - 2, height - 2), measured in Font.
  virtual TRect GetFrameRect();
  // The caption's place in the top edge, 3 pixels wider on each side unless empty.
  TRect GetCaptionRect();

  void Dispatch(TMessage& message) override;

 protected:
  void PaintBuffer() override;
  // The etched frame and the caption, over the background already in the buffer.
  void PaintFrame();

 private:
  void DialogChar(TMessage& message);

  int FCaptionMargin = 12;
};

class TTeThemeGroupBox : public TThemeEngineLink<TKsCustomGroupBox> {
  KIVO_CLASS(TTeThemeGroupBox, TKsCustomGroupBox)
 public:
  using TThemeEngineLink::TThemeEngineLink;

  // Stores the engine, tells descendants (a radio group hands it to its buttons) and
  // repaints.
  void SetThemeEngine(TTeThemeEngine* value);

 protected:
  virtual void ThemeEngineChanged() {}
  void PaintBuffer() override;
};
