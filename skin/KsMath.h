// Integer helpers of the skin library's pixel arithmetic.
#pragma once

#include "classlib/SysUtils.h"

// The nearest integer, halves to the even one; a single-precision argument is rounded
// as it is (its conversion to double is exact).
inline int RoundToInt(double value) { return static_cast<int>(Round(value)); }

// a * b / c rounded to the nearest integer, halves away from zero (the Windows MulDiv
// rule), in 64 bits so that large products do not overflow. c must not be 0.
inline long long KsMulDiv(long long a, long long b, long long c) {
  if (c < 0) {
    a = -a;
    c = -c;
  }
  long long product = a * b;
  return product >= 0 ? (product + c / 2) / c : (product - c / 2) / c;
}
