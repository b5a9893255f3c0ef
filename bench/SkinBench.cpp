// Speed of the skin library's per-pixel paths over a full-HD bitmap, each as a ratio
// to a plain memory copy of the same number of bytes. Best of several rounds.
#include <cstdio>
#include <cstring>
#include <functional>
#include <vector>

#include "classlib/Win.h"
#include "skin/KsBitmap.h"

namespace {

constexpr int kWidth = 1920;
constexpr int kHeight = 1080;
constexpr int kRounds = 15;

double BestSeconds(const std::function<void()>& step) {
  LARGE_INTEGER frequency;
  QueryPerformanceFrequency(&frequency);
  double best = 1e30;
  for (int i = 0; i < kRounds; ++i) {
    LARGE_INTEGER start, stop;
    QueryPerformanceCounter(&start);
    step();
    QueryPerformanceCounter(&stop);
    best = std::min(best, double(stop.QuadPart - start.QuadPart) / double(frequency.QuadPart));
  }
  return best;
}

// Pixels of varied colour with the given alpha, so that every pixel takes the blend.
void FillPattern(TKsBitmap& bitmap, uint8_t alpha) {
  TKsColor* bits = bitmap.GetBits();
  for (int i = 0, n = bitmap.GetWidth() * bitmap.GetHeight(); i < n; ++i)
    bits[i] = KsColorARGB(alpha, uint8_t(i), uint8_t(i >> 8), uint8_t(i >> 16));
}

}  // namespace

int main() {
  TKsBitmap source, dest, half;
  source.SetSize(kWidth, kHeight);
  dest.SetSize(kWidth, kHeight);
  half.SetSize(kWidth / 2, kHeight / 2);
  FillPattern(source, 128);
  FillPattern(half, 128);
  dest.Fill(KsColorNavy);
  std::vector<TKsColor> from(kWidth * kHeight, 0x12345678u), to(kWidth * kHeight);

  const RECT full{0, 0, kWidth, kHeight};
  double copy = BestSeconds([&] { std::memcpy(to.data(), from.data(), to.size() * sizeof(TKsColor)); });
  source.SetAlphaBlend(true);
  half.SetAlphaBlend(true);
  double blend = BestSeconds([&] { source.DrawRect(dest, 0, 0, full); });
  double stretch = BestSeconds([&] { half.StretchDraw(dest, full, RECT{0, 0, kWidth / 2, kHeight / 2}); });
  FillPattern(half, 255);
  double stretchOpaque = BestSeconds([&] { half.StretchDraw(dest, full, RECT{0, 0, kWidth / 2, kHeight / 2}); });

  printf("%dx%d, best of %d rounds\n", kWidth, kHeight, kRounds);
  printf("memory copy            %8.3f ms  1.00\n", copy * 1e3);
  printf("alpha blend (DrawRect) %8.3f ms  %.2f\n", blend * 1e3, blend / copy);
  printf("stretch 2x, blended    %8.3f ms  %.2f\n", stretch * 1e3, stretch / copy);
  printf("stretch 2x, opaque     %8.3f ms  %.2f\n", stretchOpaque * 1e3, stretchOpaque / copy);
  return 0;
}
