#include "skin/KsFormAnimator.h"

#include <cstdlib>
#include <memory>

#include "classlib/Controls.h"
#include "classlib/GdiHandles.h"
#include "skin/KsForms.h"

namespace {

// The painter draws into the animation's bitmap, with the active look, for a scope.
class TRenderScope {
 public:
  TRenderScope(TKsFormPainter& painter, TKsBitmap& target) : FPainter(painter) {
    FPainter.SetRenderTarget(&target);
  }
  ~TRenderScope() { FPainter.SetRenderTarget(nullptr); }
  TRenderScope(const TRenderScope&) = delete;
  TRenderScope& operator=(const TRenderScope&) = delete;

 private:
  TKsFormPainter& FPainter;
};

class TActiveLookScope {
 public:
  explicit TActiveLookScope(TKsFormPainter& painter) : FPainter(painter), FSaved(painter.GetActiveLook()) {
    FPainter.SetActiveLook(true);
  }
  ~TActiveLookScope() { FPainter.SetActiveLook(FSaved); }
  TActiveLookScope(const TActiveLookScope&) = delete;
  TActiveLookScope& operator=(const TActiveLookScope&) = delete;

 private:
  TKsFormPainter& FPainter;
  const bool FSaved;
};

}  // namespace

void TKsFormAnimator::ShowAnimated() {
  TKsFormPainter& painter = FForm.Painter();
  TWinControl* control = FForm.GetControl();
  HWND wnd = FForm.GetFormHandle();
  const int windowWidth = FForm.GetWindowWidth(), windowHeight = FForm.GetWindowHeight();
  if (painter.GetBlend() || FShowAnimation == kaNone || !control || !wnd || !painter.GetBuffer() ||
      windowWidth <= 0 || windowHeight <= 0)
    return;
  TKsBitmap bitmap;
  bitmap.SetSize(windowWidth, windowHeight);
  const TRenderScope rendering(painter, bitmap);
  RECT window;
  GetWindowRect(wnd, &window);
  painter.ForgetBackgroundRect();
  painter.CaptureBackground(window);
  {
    const TActiveLookScope active(painter);
    painter.PaintNonClient();
  }
  FForm.PaintBackground(bitmap);
  GdiFlush();
  bitmap.SetAlpha(255);
  bitmap.MakeTransparent(KsTransparentKey);
  const TRect client = FForm.GetFrameClientRect();
  HDC dc = bitmap.GetDC();
  {
    TSaveDCGuard saved(dc);
    SetWindowOrgEx(dc, -client.left, -client.top, nullptr);
    control->PaintControls(dc, nullptr);
  }
  for (int i = 0; i < control->GetControlCount(); ++i) {
    auto* child = ObjectAs<TWinControl>(control->GetControl(i));
    if (child && child->GetVisible())
      child->PaintTo(dc, child->GetLeft() + client.left, child->GetTop() + client.top);
  }
  GdiFlush();
  TKsAnimation effect = FShowAnimation;
  while (effect == kaRandom)
    effect = TKsAnimation(1 + std::rand() % 4);
  TKsBitmap& background = *painter.GetBackground();
  if (background.Empty())
    return;
  TClientDC screen(nullptr);
  const TRect onScreen{window.left, window.top, window.left + windowWidth, window.top + windowHeight};
  switch (effect) {
    case kaFade: AnimateFade(screen, background, onScreen, FShowAnimationTime, bitmap); break;
    case kaSlide: AnimateSlide(screen, background, onScreen, FShowAnimationTime, std::rand() % 8, bitmap); break;
    case kaRect: AnimateRect(screen, background, onScreen, FShowAnimationTime, std::rand() % 5, bitmap); break;
    default: break;
  }
}
