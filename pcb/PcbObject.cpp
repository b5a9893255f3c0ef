#include "pcb/PcbObject.h"

#include <cmath>
#include <cstdlib>

#include "pcb/BoardUnits.h"
#include "pcb/PcbApi.h"

namespace {

constexpr double cHalfPi = 1.5707963267948966;

// The arctangent of w / h, taking its limit when h is 0.
double ArcTanRatio(double w, double h) {
  if (h == 0)
    return w > 0 ? cHalfPi : w < 0 ? -cHalfPi : 0.0;
  return std::atan(w / h);
}

}  // namespace

int32_t TurnedCorner(int index, double cx, double cy, double w, double h, double rotation) {
  const double r = std::sqrt((w / 2) * (w / 2) + (h / 2) * (h / 2));
  const double phi = ArcTanRatio(w, h);
  const double beta = DegreesToRadians(-rotation);
  const double gamma = DegreesToRadians(90.0 - rotation);
  switch (index) {
    case 0:
      return RoundToInt32(cx - r * std::sin(phi + beta));
    case 1:
      return RoundToInt32(cy - r * std::cos(phi + beta));
    case 2:
      return RoundToInt32(cx + r * std::cos(gamma - phi));
    case 3:
      return RoundToInt32(cy - r * std::sin(gamma - phi));
    case 4:
      return RoundToInt32(cx - r * std::cos(gamma - phi));
    case 5:
      return RoundToInt32(cy + r * std::sin(gamma - phi));
    case 6:
      return RoundToInt32(cx + r * std::sin(phi + beta));
    default:
      return RoundToInt32(cy + r * std::cos(phi + beta));
  }
}

TPCBObject::TPCBObject(uint32_t handle) : FHandle(handle) {}

void TPCBObject::SynchronizeBitFields(uint8_t mode) {
  if (FBitFieldsLeft)
    return;
  PcbApi_GetObjectBitField2(mode, FHandle, &FBitField2);
  PcbApi_GetObjectBitField3(mode, FHandle, &FBitField3);
}

// The root query takes the last two fields in the other order than the kinds' queries.
int32_t TPCBObject::Synchronize(uint8_t mode) {
  SynchronizeBitFields(mode);
  return PcbApi_QueryPrimitive(mode, FHandle, &FFlags, &FPrimitiveWord, &FLayer, &FNet,
                               &FPrimitiveLong, &FPrimitiveByte);
}

void TPCBObject::GetBoundingRectangle(int32_t& x1, int32_t& y1, int32_t& x2, int32_t& y2) {
  PcbApi_QueryObjectBoundingRectangle(FHandle, &x1, &y1, &x2, &y2);
}

bool TPCBObject::ImportFromUser() {
  return PcbApi_QueryObjectImport_FromUser(FHandle) == 0;
}

int32_t TPCBObject::GraphicallyInvalidate() {
  return PcbApi_QueryObjectGraphicallyInvalidate(FHandle);
}

void TPCBObject::SetFlagBit0008(bool value) {
  SetFlagBit(0x0008, value);
  Synchronize(/*mode=*/0);
}

void TPCBObject::SetNotFlagBit0100(bool value) {
  SetFlagBit(0x0100, !value);
  Synchronize(/*mode=*/0);
}

void TPCBObject::SetBitField3Bits(bool value) {
  SetBitField3Bit02(value);
  SetBitField3Bit04(value);
}

int32_t TPCBObject::BoundingValue(int index) {
  int32_t values[4] = {};
  GetBoundingRectangle(values[0], values[1], values[2], values[3]);
  return values[index];
}

int32_t TPCBObject::GetBoundingX1() {
  return BoundingValue(0);
}

int32_t TPCBObject::GetBoundingY1() {
  return BoundingValue(1);
}

int32_t TPCBObject::GetBoundingX2() {
  return BoundingValue(2);
}

int32_t TPCBObject::GetBoundingY2() {
  return BoundingValue(3);
}

// A flat extent (no height) is not turned: its corners lie on the centre line.
int32_t TPCBObject::Corner(int index, int32_t distance) const {
  const double w = std::llabs(int64_t{GetX2()} - GetX()) + 2.0 * distance;
  const double h = std::llabs(int64_t{GetY2()} - GetY()) + 2.0 * distance;
  const double cx = double(GetX() / 2) + double(GetX2() / 2);
  const double cy = double(GetY() / 2) + double(GetY2() / 2);
  if (h == 0) {
    if (index % 2)
      return RoundToInt32(cy);
    return RoundToInt32(index == 0 || index == 4 ? cx - w / 2 : cx + w / 2);
  }
  return TurnedCorner(index, cx, cy, w, h, GetRotation());
}
