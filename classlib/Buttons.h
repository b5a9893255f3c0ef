// TSpeedButton: a windowless button with a glyph and a caption, as tool bars use.
//
// The glyph sits `Margin` pixels from the left edge (centred with the caption when
// Margin is -1) and the caption follows it after `Spacing` pixels; "&" in the caption
// marks an accelerator. The glyph's bottom-left pixel is its transparent colour. A flat
// button shows no frame until the mouse is over it; pressed, it is drawn sunken with
// its face moved by one pixel. A disabled button draws its glyph and caption embossed.
// A click (press and release over the button) fires OnClick; the hint is the control's.
#pragma once

#include <memory>

#include "classlib/Bitmap.h"
#include "classlib/Controls.h"

class TSpeedButton : public TGraphicControl {
  KIVO_CLASS(TSpeedButton, TGraphicControl)
 public:
  explicit TSpeedButton(TComponent* AOwner);
  ~TSpeedButton() override;

  // The glyph (a copy of what is assigned; empty when none).
  TBitmap* GetGlyph() const { return FGlyph.get(); }
  void SetGlyph(TBitmap* value);
  bool GetFlat() const { return FFlat; }
  void SetFlat(bool value);
  int GetMargin() const { return FMargin; }
  void SetMargin(int value);
  int GetSpacing() const { return FSpacing; }
  void SetSpacing(int value);
  // The button is drawn pressed (the mouse went down on it and is over it).
  bool GetPressed() const { return FPressed && FMouseInControl; }
  // The mouse is over the button.
  bool GetMouseInControl() const { return FMouseInControl; }

  // Where Paint puts the glyph and the caption in the client area (unpressed).
  void CalcLayout(TRect& glyphRect, TRect& textRect);

  void Dispatch(TMessage& message) override;

 protected:
  void Paint() override;
  // Draws the button up again before OnClick runs (which may open a modal window).
  void Click() override;
  void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
  void MouseMove(TShiftState shift, int x, int y) override;
  void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override;

 private:
  void GlyphChanged(TObject* sender);
  void SetMouseInControl(bool value);
  void DrawFrame(HDC dc, const TRect& client);
  void DrawGlyph(HDC dc, int x, int y);
  void DrawCaption(HDC dc, const TRect& textRect);

  std::unique_ptr<TBitmap> FGlyph;
  bool FFlat = false;
  int FMargin = -1;
  int FSpacing = 4;
  bool FPressed = false;
  bool FMouseInControl = false;
};
