// Board units: 10000 internal units per mil, 0.0254 mm per mil. Conversions between
// internal units, mils, millimetres and radians, and the text form of a coordinate
// that the translation report writes.
#pragma once

#include <cstdint>
#include <string>

inline constexpr double UnitsPerMil = 10000.0;
inline constexpr double MMPerMil = 0.0254;

// How many times `value` can be divided by 10 while it is at least 10.
constexpr int DecimalCount(int value) {
  int count = 0;
  for (; value >= 10; value /= 10)
    ++count;
  return count;
}
// Digits after the point in coordinate texts: 3 for mils, 5 for millimetres.
inline constexpr int MilDecimals = DecimalCount(1000);
inline constexpr int MMDecimals = DecimalCount(100000);

// Nearest integer, ties to even, saturated to the 32-bit range; raises EConvertError
// for a value that is no number.
int32_t RoundToInt32(double value);

double DegreesToRadians(double degrees);
double MilsToCoord(double mils);
double MMToCoord(double millimetres);
// The conversions above rounded to the nearest integer, ties to even; values beyond
// the 32-bit range saturate, and a value that is no number raises EConvertError.
int32_t MilsToCoordInt(double mils);
int32_t MMToCoordInt(double millimetres);
double CoordToMils(double units);
double CoordToMM(double units);

// `units` in mils with 3 decimals (imperial) or in millimetres with 5, trailing zeros
// and a trailing point stripped, followed by "mil" or "mm": 25000 -> "2.5mil".
std::string CoordToUnitString(bool imperial, double units);
