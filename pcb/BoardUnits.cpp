// Rounding here is to nearest with ties to even (`Round`), both for coordinates and for
// the last digit of coordinate texts. The texts are built from a rounded integer rather
// than the C runtime's "%f", so they do not depend on which runtime's printf the
// process uses.
#include "pcb/BoardUnits.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <limits>

#include "classlib/SysUtils.h"

namespace {

// `value` in fixed-point notation with `decimals` digits after the point.
std::string FixedText(double value, int decimals) {
  double scale = 1.0;
  for (int i = 0; i < decimals; ++i)
    scale *= 10.0;
  const double scaled = value * scale;
  // Far beyond any board coordinate: leave it to the runtime.
  if (!(std::fabs(scaled) < 1e15)) {
    char buffer[400];
    snprintf(buffer, sizeof buffer, "%.*f", decimals, value);
    return buffer;
  }
  long long digits = Round(scaled);
  const bool negative = digits < 0;
  if (negative)
    digits = -digits;
  std::string text = std::to_string(digits);
  if (static_cast<int>(text.size()) <= decimals)
    text.insert(0, decimals + 1 - text.size(), '0');
  if (decimals > 0)
    text.insert(text.size() - decimals, 1, '.');
  return negative ? "-" + text : text;
}

}  // namespace

int32_t RoundToInt32(double value) {
  return static_cast<int32_t>(
      std::clamp<int64_t>(Round(value), std::numeric_limits<int32_t>::min(),
                          std::numeric_limits<int32_t>::max()));
}

double DegreesToRadians(double degrees) {
  return degrees * 0.017453292519943295;
}

double MilsToCoord(double mils) {
  return mils * UnitsPerMil;
}

double MMToCoord(double millimetres) {
  return millimetres * UnitsPerMil / MMPerMil;
}

int32_t MilsToCoordInt(double mils) {
  return RoundToInt32(MilsToCoord(mils));
}

int32_t MMToCoordInt(double millimetres) {
  return RoundToInt32(MMToCoord(millimetres));
}

double CoordToMils(double units) {
  return 1.0 * units / UnitsPerMil;
}

double CoordToMM(double units) {
  return MMPerMil * units / UnitsPerMil;
}

std::string CoordToUnitString(bool imperial, double units) {
  std::string text = imperial ? FixedText(CoordToMils(units), MilDecimals)
                              : FixedText(CoordToMM(units), MMDecimals);
  if (text.find('.') != std::string::npos) {
    while (!text.empty() && text.back() == '0')
      text.pop_back();
    if (!text.empty() && text.back() == '.')
      text.pop_back();
  }
  return text + (imperial ? "mil" : "mm");
}
