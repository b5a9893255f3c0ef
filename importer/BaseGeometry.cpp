#include "importer/BaseGeometry.h"

#include <cmath>

namespace {
constexpr long double cPi = 3.14159265358979323846264338327950288L;
}

double RadToDeg(double radians) {
  return static_cast<double>(radians * 180.0L / cPi);
}

double SegmentAngle(double x1, double y1, double x2, double y2) {
  const double dx = x2 - x1;
  const double dy = y2 - y1;
  if (dx == 0)
    return dy > 0 ? 90.0 : 270.0;
  const double a = std::fabs(RadToDeg(std::atan(dy / dx)));
  if (dx < 0)
    return dy < 0 ? 180.0 + a : 180.0 - a;
  return dy < 0 ? 360.0 - a : a;
}

double PointDistance(double x1, double y1, double x2, double y2) {
  const double dx = x2 - x1;
  const double dy = y2 - y1;
  return std::sqrt(dx * dx + dy * dy);
}
