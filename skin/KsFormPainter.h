// TKsFormPainter: the painting of a skinned form's frame. It composes the frame (the
// form's PaintFrame), the drop shadow and the translucency over a captured copy of the
// screen behind the window in a paint buffer (its own when translucent, else the
// process-wide one), copies the four frame bands to the window (or to the bitmap an
// animation renders into), paints the client background and keeps the window region.
// A part of TKsCustomForm; the look itself is the form's.
#pragma once

#include <memory>

#include "classlib/Geometry.h"
#include "classlib/Messages.h"
#include "classlib/Object.h"
#include "skin/KsBitmap.h"

class TKsCustomForm;

class TKsFormPainter : public TObject {
  KIVO_CLASS(TKsFormPainter, TObject)
 public:
  explicit TKsFormPainter(TKsCustomForm& form);
  ~TKsFormPainter() override;

  bool GetBlend() const { return FBlend; }
  void SetBlend(bool value) { FBlend = value; }
  int GetBlendValue() const { return FBlendValue; }
  void SetBlendValue(int value) { FBlendValue = value; }
  bool GetDropShadow() const { return FDropShadow; }
  void SetDropShadow(bool value) { FDropShadow = value; }
  int GetShadowWidth() const { return FShadowWidth; }
  void SetShadowWidth(int value) { FShadowWidth = value; }

  // The frame shows active (caption colours, themed parts).
  bool GetActiveLook() const { return FActiveLook; }
  void SetActiveLook(bool value) { FActiveLook = value; }
  bool GetPaintEnabled() const { return FPaintEnabled; }
  void SetPaintEnabled(bool value) { FPaintEnabled = value; }
  // The captured screen behind the window.
  TKsBitmap* GetBackground() const { return FBackground.get(); }
  // The form's own buffer when translucent, else the shared paint buffer.
  TKsBitmap* GetBuffer() const;
  // While set, PaintNonClient copies the frame bands into `target` instead of the window.
  void SetRenderTarget(TKsBitmap* target) { FRenderTarget = target; }

  // A translucent form paints into a buffer of its own, of the window's size.
  void MakeOwnBuffer();
  // The captured background takes the window's size when it is needed.
  void SizeBackground(int width, int height);
  // Paints the whole frame to the window.
  void PaintNonClient();
  // Captures the screen under `rect` (reusing what the last capture holds of it).
  void CaptureBackground(const TRect& rect);
  // The next capture takes everything from the screen.
  void ForgetBackgroundRect() { FBackgroundRect = TRect{}; }
  // The classic region update: clears the buffers and gives the window the form's
  // region (with the shadow's copy).
  void UpdateRegion();
  // WM_PAINT: the form paints its client area on the message's DC or its own; false
  // without a form.
  bool Paint(TMessage& message);
  // WM_ERASEBKGND: the client background, blended and painted by OnPaint.
  void EraseBackground(TMessage& message);

 private:
  TKsCustomForm& FForm;
  bool FBlend = false;
  int FBlendValue = 150;
  bool FDropShadow = false;
  int FShadowWidth = 4;
  bool FActiveLook = false;
  bool FPaintEnabled = true;
  std::unique_ptr<TKsBitmap> FBuffer;
  std::unique_ptr<TKsBitmap> FBackground;
  TRect FBackgroundRect{0, 0, 0, 0};
  TKsBitmap* FRenderTarget = nullptr;
};
