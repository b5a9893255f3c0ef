// The show animations of the skin library and the high-resolution counter that times
// them. Each animation draws frames of a window's finished look (Image) over what lies
// under the window (Background, in the same coordinates as WindowRect) onto a screen
// DC, blocking the calling thread for about Time milliseconds; every frame advances by
// the real time it took plus 1 ms. Time 0 draws nothing. Image's key-colour pixels
// (127, 0, 127) are made transparent first.
#pragma once

#include <cstdint>

#include "classlib/Object.h"
#include "classlib/Win.h"
#include "skin/KsBitmap.h"

class TKsCounter : public TObject {
  KIVO_CLASS(TKsCounter, TObject)
 public:
  // Reads the counter frequency.
  TKsCounter();
  void Start();
  // Stops the counter and answers the elapsed seconds.
  float Stop();
  int64_t GetFrequency() const { return FFrequency; }
  int64_t GetStartCount() const { return FStartCount; }
  int64_t GetStopCount() const { return FStopCount; }
  bool GetRunning() const { return FRunning; }
  float GetElapsed() const { return FElapsed; }

 private:
  int64_t FFrequency = 0;
  int64_t FStartCount = 0;
  int64_t FStopCount = 0;
  bool FRunning = false;
  float FElapsed = 0;
};

// Makes and starts a counter into `counter`.
void StartCounter(TKsCounter*& counter);
// Stops and frees the counter, clears the variable and answers the elapsed seconds;
// 0 for no counter.
float StopCounter(TKsCounter*& counter);

enum TKsAnimation { kaNone, kaRandom, kaFade, kaSlide, kaRect };

// Fades the image in from alpha 15 to 255 over the background.
void AnimateFade(HDC dc, TKsBitmap& background, const TRect& windowRect, int time, TKsBitmap& image);
// Slides the image in over the background from the side `direction` names: 0 right,
// 1 bottom, 2 left, 3 top, 4 top left, 5 top right, 6 bottom left, 7 bottom right.
void AnimateSlide(HDC dc, TKsBitmap& background, const TRect& windowRect, int time, int direction,
                  TKsBitmap& image);
// Reveals a growing part of the image over the background, from the point `mode`
// names: 0 the centre, 1 top left, 2 top right, 3 bottom left, 4 bottom right.
void AnimateRect(HDC dc, TKsBitmap& background, const TRect& windowRect, int time, int mode,
                 TKsBitmap& image);
