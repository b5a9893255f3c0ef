#include "skin/KsEffects.h"

#include <algorithm>
#include <functional>

#include "skin/KsMath.h"

TKsCounter::TKsCounter() {
  LARGE_INTEGER frequency{};
  QueryPerformanceFrequency(&frequency);
  FFrequency = frequency.QuadPart;
}

void TKsCounter::Start() {
  FRunning = true;
  FElapsed = 0;
  LARGE_INTEGER count{};
  QueryPerformanceCounter(&count);
  FStartCount = count.QuadPart;
}

float TKsCounter::Stop() {
  LARGE_INTEGER count{};
  QueryPerformanceCounter(&count);
  FStopCount = count.QuadPart;
  FRunning = false;
  FElapsed = FFrequency ? float(double(FStopCount - FStartCount) / double(FFrequency)) : 0.0f;
  return FElapsed;
}

void StartCounter(TKsCounter*& counter) {
  counter = new TKsCounter;
  counter->Start();
}

float StopCounter(TKsCounter*& counter) {
  if (!counter)
    return 0;
  const float elapsed = counter->Stop();
  delete counter;
  counter = nullptr;
  return elapsed;
}

namespace {

// Runs the frame loop from `t` until `time`: each frame gets the fraction t / time,
// is blitted to the DC at the window's place, and t advances by the milliseconds the
// frame took plus 1.
void RunFrames(HDC dc, const TRect& windowRect, int time, int t, TKsBitmap& image,
               const std::function<void(TKsBitmap& frame, double f)>& drawFrame) {
  if (time <= 0 || t >= time)
    return;
  TKsBitmap frame;
  frame.SetSize(RectWidth(windowRect), RectHeight(windowRect));
  image.MakeTransparent(KsColorTransparent);
  while (t < time) {
    TKsCounter counter;
    counter.Start();
    drawFrame(frame, double(t) / time);
    frame.Draw(dc, windowRect.left, windowRect.top);
    t += RoundToInt(double(counter.Stop()) * 1000) + 1;
  }
}

// Draws `src` of the image onto the frame at (x, y), composed by its own alpha.
void DrawImage(TKsBitmap& image, TKsBitmap& frame, int x, int y, const TRect& src) {
  image.SetAlphaBlend(true);
  image.DrawRect(frame, x, y, src);
  image.SetAlphaBlend(false);
}

TRect Whole(const TKsBitmap& bitmap) { return Rect(0, 0, bitmap.GetWidth(), bitmap.GetHeight()); }

}  // namespace

void AnimateFade(HDC dc, TKsBitmap& background, const TRect& windowRect, int time, TKsBitmap& image) {
  RunFrames(dc, windowRect, time, 0, image, [&](TKsBitmap& frame, double f) {
    DrawImage(image, frame, 0, 0, Whole(image));
    frame.SetAlpha(uint8_t(std::min(255, RoundToInt(f * 240) + 15)));
    frame.AlphaDraw(background, 0, 0, windowRect);
  });
}

void AnimateSlide(HDC dc, TKsBitmap& background, const TRect& windowRect, int time, int direction,
                  TKsBitmap& image) {
  const int w = RectWidth(windowRect), h = RectHeight(windowRect);
  RunFrames(dc, windowRect, time, 0, image, [&](TKsBitmap& frame, double f) {
    const int wf = RoundToInt(w * f), hf = RoundToInt(h * f);
    int x = 0, y = 0;
    switch (direction) {
      case 0: x = w - wf; break;
      case 1: y = h - hf; break;
      case 2: x = wf - w; break;
      case 3: y = hf - h; break;
      case 4: x = wf - w; y = hf - h; break;
      case 5: x = w - wf; y = hf - h; break;
      case 6: x = wf - w; y = h - hf; break;
      case 7: x = w - wf; y = h - hf; break;
    }
    background.DrawRect(frame, 0, 0, windowRect);
    DrawImage(image, frame, x, y, Whole(image));
  });
}

void AnimateRect(HDC dc, TKsBitmap& background, const TRect& windowRect, int time, int mode,
                 TKsBitmap& image) {
  const int w = RectWidth(windowRect), h = RectHeight(windowRect);
  const int cx = w / 2, cy = h / 2;
  RunFrames(dc, windowRect, time, /*t=*/5, image, [&](TKsBitmap& frame, double f) {
    const int wf = RoundToInt(w * f), hf = RoundToInt(h * f);
    const int cxf = RoundToInt(cx * f), cyf = RoundToInt(cy * f);
    TRect r{};
    switch (mode) {
      case 0: r = Rect(cx - cxf, cy - cyf, cx + cxf, cy + cyf); break;
      case 1: r = Rect(0, 0, wf, hf); break;
      case 2: r = Rect(w - wf, 0, w, hf); break;
      case 3: r = Rect(0, h - hf, wf, h); break;
      case 4: r = Rect(w - wf, h - hf, w, h); break;
    }
    background.DrawRect(frame, 0, 0, windowRect);
    DrawImage(image, frame, r.left, r.top, r);
  });
}
