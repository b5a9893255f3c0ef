// TKsFormMetrics: the sizes of a skinned form's frame. It keeps the window's size and
// the frame's (the window less the drop shadow) from the window's rectangle and from
// every size the window is given, measures the client area within the frame
// (WM_NCCALCSIZE) and has the window measure its frame again after a change of look.
// A part of TKsCustomForm; it reads the form's look and state through the form.
#pragma once

#include "classlib/Messages.h"
#include "classlib/Object.h"
#include "classlib/Win.h"

class TKsCustomForm;

class TKsFormMetrics : public TObject {
  KIVO_CLASS(TKsFormMetrics, TObject)
 public:
  explicit TKsFormMetrics(TKsCustomForm& form) : FForm(form) {}

  int GetFrameWidth() const { return FFrameWidth; }
  int GetFrameHeight() const { return FFrameHeight; }
  int GetWindowWidth() const { return FWindowWidth; }
  int GetWindowHeight() const { return FWindowHeight; }
  // True while UpdateFrame has the window measure its frame.
  bool GetUpdatingFrame() const { return FUpdatingFrame; }

  // The sizes from the window's rectangle.
  void Sync();
  // Holds a size the window is about to take (WM_WINDOWPOSCHANGING) to the track sizes
  // and keeps it; true when the window's size changes.
  bool TakeWindowPos(WINDOWPOS& pos);
  // Makes the window measure its frame again, keeping its client size.
  void UpdateFrame();
  // WM_NCCALCSIZE: the client area lies within the frame's margins.
  void CalcSize(TMessage& message);

 private:
  void SetWindowSize(int width, int height);

  TKsCustomForm& FForm;
  int FFrameWidth = 0;
  int FFrameHeight = 0;
  int FWindowWidth = 0;
  int FWindowHeight = 0;
  bool FUpdatingFrame = false;
};
