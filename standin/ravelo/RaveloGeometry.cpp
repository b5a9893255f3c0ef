// Extents and component placement. Turns by multiples of 30 degrees use exact sines
// and cosines, so that a point that lands exactly half-way between two units rounds
// to the even one, as every other rounding of the server does.
#include <algorithm>
#include <cmath>
#include <emmintrin.h>
#include <limits>

#include "standin/ravelo/RaveloServer.h"

namespace {

double NormalisedDegrees(double degrees) {
  // Most angles are in range already: the runtime's remainder is slow (every text of a
  // board is measured, every part of a component turned).
  if (degrees >= 0 && degrees < 360.0)
    return degrees;
  double result = std::fmod(degrees, 360.0);
  if (result < 0)
    result += 360.0;
  return result == 360.0 ? 0.0 : result;
}

void SinCos(double degrees, double& sine, double& cosine) {
  const double turn = NormalisedDegrees(degrees);
  const double half = 0.5, root = std::sqrt(3.0) / 2;
  struct TExact {
    double Degrees, Sine, Cosine;
  };
  static const TExact exact[] = {{0, 0, 1},    {30, half, root},    {60, root, half},
                                 {90, 1, 0},   {120, root, -half},  {150, half, -root},
                                 {180, 0, -1}, {210, -half, -root}, {240, -root, -half},
                                 {270, -1, 0}, {300, -root, half},  {330, -half, root}};
  for (const TExact& e : exact) {
    if (turn == e.Degrees) {
      sine = e.Sine;
      cosine = e.Cosine;
      return;
    }
  }
  const double radians = turn * 3.14159265358979323846 / 180.0;
  sine = std::sin(radians);
  cosine = std::cos(radians);
}

int32_t Clamp(long long value) {
  return static_cast<int32_t>(std::clamp<long long>(value, std::numeric_limits<int32_t>::min(),
                                                    std::numeric_limits<int32_t>::max()));
}

void Include(TRaveloRect& total, const TRaveloRect& part, bool& any) {
  if (!any) {
    total = part;
    any = true;
    return;
  }
  total.X1 = std::min(total.X1, part.X1);
  total.Y1 = std::min(total.Y1, part.Y1);
  total.X2 = std::max(total.X2, part.X2);
  total.Y2 = std::max(total.Y2, part.Y2);
}

TRaveloRect Around(int32_t x, int32_t y, long long halfX, long long halfY) {
  return TRaveloRect{Clamp(x - halfX), Clamp(y - halfY), Clamp(x + halfX), Clamp(y + halfY)};
}

// A text's box: W = characters x Size wide, H = Size high, from (X, Y) turned about it,
// then mirrored about the vertical line through X.
TRaveloRect TextExtent(const TRaveloObject& text) {
  const long long w = static_cast<long long>(text.Shape().Text.size()) * text.Shape().Size;
  const long long h = text.Shape().Size;
  const long long x = text.X, y = text.Y;
  long long x1, y1, x2, y2;
  const double turn = NormalisedDegrees(text.Shape().Rotation);
  if (turn == 0) {
    x1 = x, y1 = y, x2 = x + w, y2 = y + h;
  } else if (turn == 90) {
    x1 = x - h, y1 = y, x2 = x, y2 = y + w;
  } else if (turn == 180) {
    x1 = x - w, y1 = y - h, x2 = x, y2 = y;
  } else if (turn == 270) {
    x1 = x, y1 = y - w, x2 = x + h, y2 = y;
  } else {
    double sine, cosine;
    SinCos(turn, sine, cosine);
    const double cornerX[4] = {0, static_cast<double>(w), static_cast<double>(w), 0};
    const double cornerY[4] = {0, 0, static_cast<double>(h), static_cast<double>(h)};
    double minX = 0, minY = 0, maxX = 0, maxY = 0;
    for (int i = 0; i < 4; ++i) {
      const double rx = cornerX[i] * cosine - cornerY[i] * sine;
      const double ry = cornerX[i] * sine + cornerY[i] * cosine;
      minX = std::min(minX, rx), maxX = std::max(maxX, rx);
      minY = std::min(minY, ry), maxY = std::max(maxY, ry);
    }
    x1 = x + RaveloRound(minX), y1 = y + RaveloRound(minY);
    x2 = x + RaveloRound(maxX), y2 = y + RaveloRound(maxY);
  }
  if (text.Shape().MirrorFlag) {
    const long long mirroredX1 = 2 * x - x2;
    x2 = 2 * x - x1;
    x1 = mirroredX1;
  }
  return TRaveloRect{Clamp(x1), Clamp(y1), Clamp(x2), Clamp(y2)};
}

// Turns (x, y) by the sine and cosine about `from`, then moves it to the same place
// relative to `to`.
void Carry(int32_t& x, int32_t& y, double fromX, double fromY, double toX, double toY, double sine,
           double cosine) {
  const double dx = x - fromX, dy = y - fromY;
  x = RaveloRound(toX + dx * cosine - dy * sine);
  y = RaveloRound(toY + dx * sine + dy * cosine);
}

}  // namespace

int32_t RaveloRound(double value) {
  if (std::isnan(value))
    return 0;
  // Beyond the range the result is its nearer end, as the rounded value would be.
  if (value >= 2147483647.0)
    return std::numeric_limits<int32_t>::max();
  if (value <= -2147483648.0)
    return std::numeric_limits<int32_t>::min();
  // The SSE2 conversion in the default rounding mode (ties to even), not the runtime's
  // x87 routine.
  return _mm_cvtsd_si32(_mm_set_sd(value));
}

bool TRaveloServer::ObjectExtent(const TRaveloObject& o, TRaveloRect& rect, bool& any) const {
  switch (o.Kind) {
    case rkTrack: {
      const int32_t half = o.Width / 2;
      const TRaveloRect ends{std::min(o.X, o.X2), std::min(o.Y, o.Y2), std::max(o.X, o.X2),
                             std::max(o.Y, o.Y2)};
      Include(rect,
              TRaveloRect{Clamp(1LL * ends.X1 - half), Clamp(1LL * ends.Y1 - half),
                          Clamp(1LL * ends.X2 + half), Clamp(1LL * ends.Y2 + half)},
              any);
      return true;
    }
    case rkArc: {
      const long long reach = 1LL * o.Shape().Radius + o.Shape().LineWidth / 2;
      Include(rect, Around(o.X, o.Y, reach, reach), any);
      return true;
    }
    case rkFill:
      Include(rect,
              TRaveloRect{std::min(o.X, o.X2), std::min(o.Y, o.Y2), std::max(o.X, o.X2),
                          std::max(o.Y, o.Y2)},
              any);
      return true;
    case rkVia:
      Include(rect, Around(o.X, o.Y, o.Shape().Size / 2, o.Shape().Size / 2), any);
      return true;
    case rkPad:
      Include(rect, Around(o.X, o.Y, o.Pad().TopXSize / 2, o.Pad().TopYSize / 2), any);
      return true;
    case rkText:
      Include(rect, TextExtent(o), any);
      return true;
    case rkPolygon:
    case rkBoardOutline: {
      const int last = std::min(o.Poly().PointCount, RaveloMaxSegments - 1);
      const TRaveloSegments& records = o.Poly().Segments;
      for (int i = 0; i <= last && i < static_cast<int>(records.size()); ++i)
        Include(rect, TRaveloRect{records.X(i), records.Y(i), records.X(i), records.Y(i)}, any);
      return true;
    }
    case rkComponent: {
      // Its members and its texts that are in no container, in creation order.
      bool found = false;
      ForEachComponentPart(o, /*looseTextsOnly=*/true, [&](uint32_t handle) {
        const TRaveloObject& member = *FObjects.Find(handle);
        if (member.Kind != rkComponent)
          found = ObjectExtent(member, rect, any) || found;
      });
      return found;
    }
    default:
      return false;
  }
}

bool TRaveloServer::BoundingRectangle(uint32_t handle, TRaveloRect& rect) const {
  rect = TRaveloRect{};
  bool any = false;
  if (FBoards.count(handle)) {
    // Visited in place: a list of the handles of a large board took tens of megabytes.
    ForEachInScope(handle, [&](const TRaveloObject& object) {
      if (object.Kind != rkComponent)
        ObjectExtent(object, rect, any);
    });
    return true;
  }
  const TRaveloObject* found = FObjects.Find(handle);
  if (!found)
    return false;
  ObjectExtent(*found, rect, any);
  if (!any)
    rect = TRaveloRect{};
  return true;
}

void TRaveloServer::PlaceComponent(TRaveloObject& component, int32_t newX, int32_t newY,
                                   double newRotation) {
  double sine, cosine;
  const double turn = newRotation - component.Shape().Rotation;
  SinCos(turn, sine, cosine);
  const double fromX = component.X, fromY = component.Y;
  auto carry = [&](int32_t& x, int32_t& y) { Carry(x, y, fromX, fromY, newX, newY, sine, cosine); };
  auto turnAngle = [&](double& angle) { angle = NormalisedDegrees(angle + turn); };
  // Its members and its name and comment texts, in creation order.
  ForEachComponentPart(component, /*looseTextsOnly=*/false, [&](uint32_t handle) {
    TRaveloObject* found = FObjects.Find(handle);
    if (!found)
      return;
    TRaveloObject& o = *found;
    switch (o.Kind) {
      case rkTrack:
      case rkFill:
      case rkFromTo:
        carry(o.X, o.Y);
        carry(o.X2, o.Y2);
        break;
      case rkArc:
        carry(o.X, o.Y);
        // A full circle stays the full circle 0 to 360.
        if (o.Shape().EndAngle - o.Shape().StartAngle != 360.0) {
          turnAngle(o.Shape().StartAngle);
          turnAngle(o.Shape().EndAngle);
        }
        break;
      case rkPad:
        carry(o.X, o.Y);
        turnAngle(o.Pad().Rotation);
        break;
      case rkText:
        carry(o.X, o.Y);
        turnAngle(o.Shape().Rotation);
        break;
      case rkPolygon:
      case rkBoardOutline: {
        const int last = std::min(o.Poly().PointCount, RaveloMaxSegments - 1);
        TRaveloSegments& records = o.Poly().Segments;
        for (int i = 0; i <= last && i < static_cast<int>(records.size()); ++i) {
          int32_t x = records.X(i), y = records.Y(i);
          carry(x, y);
          records.SetPoint(i, x, y);
        }
        break;
      }
      case rkVia:
      case rkCoordinate:
      case rkDimension:
        carry(o.X, o.Y);
        break;
      default:
        break;
    }
  });
}
