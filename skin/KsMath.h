// Rounding to the nearest integer with halves going to the even one, independent of
// the processor's rounding mode (the host may change it): truncate, then look at the
// exact remainder. For values well inside the 32-bit integer range.
#pragma once

template <class Real>
inline int KsRoundHalfEven(Real x) {
  int i = static_cast<int>(x);  // truncation toward zero
  Real fraction = x - static_cast<Real>(i);  // exact
  if (fraction > Real(0.5) || (fraction == Real(0.5) && (i & 1)))
    return i + 1;
  if (fraction < Real(-0.5) || (fraction == Real(-0.5) && (i & 1)))
    return i - 1;
  return i;
}

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
