// The benchmarks' clock: how long one step takes, by the performance counter.
#pragma once

#include <functional>

#include "classlib/Win.h"

inline double Seconds(const std::function<void()>& step) {
  LARGE_INTEGER frequency, start, stop;
  QueryPerformanceFrequency(&frequency);
  QueryPerformanceCounter(&start);
  step();
  QueryPerformanceCounter(&stop);
  return double(stop.QuadPart - start.QuadPart) / double(frequency.QuadPart);
}
