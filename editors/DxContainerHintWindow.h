// The small tool-tip window in which a container shows a cell's full text. It never
// takes the focus or the mouse: clicks pass through to the container beneath.
#pragma once

#include <string>

#include "classlib/Controls.h"

class TdxContainerHintWindow : public TCustomControl {
  KIVO_CLASS(TdxContainerHintWindow, TCustomControl)
 public:
  explicit TdxContainerHintWindow(TComponent* AOwner);

  // Shows `text` at `point` (screen coordinates), at most the screen's width wide.
  void ShowCellHint(const TPoint& point, const std::string& text, TFont* font);
  // Sizes the window to `text` (word-wrapped at maxWidth; below 1 the screen width)
  // in the status font with `font`'s name and character set (and size with
  // useFontSize), keeps it on the screen and shows it topmost without activating it.
  void ActivateHint(const TPoint& point, int maxWidth, bool useFontSize, TFont* font, const std::string& text);

  void Dispatch(TMessage& message) override;

 protected:
  void CreateParams(TCreateParams& params) override;
  void Paint() override;
};
