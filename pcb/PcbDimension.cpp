#include "pcb/PcbDimension.h"

#include <algorithm>

#include "pcb/PcbApi.h"

TPcbDimension::TPcbDimension(uint32_t handle) : TPcbGroupObject(handle) {
  FObjectId = okDimension;
}

// The reference count always comes from the host (the call has no direction); a host
// that reports more than 200 gets its first 200 moved.
int32_t TPcbDimension::Synchronize(uint8_t mode) {
  SynchronizeBitFields(mode);
  const int32_t status = PcbApi_QueryDimension(
      mode, FHandle, &FFlags, &FPrimitiveWord, &FPrimitiveByte, &FX, &FY, &FDimLong[3],
      &FDimLong[4], &FLayer, &FDimLong[5], &FDimLong[6], &FDimLong[7], &FDimLong[8], &FDimLong[9],
      &FDimByte[5]);
  const int32_t extStatus = PcbApi_QueryExtDimension(
      mode, FHandle, &FDimByte[1], &FDimLong[1], &FDimLong[2], &FDimLong[10], &FDimByte[2],
      &FDimLong[11], &FDimText[1], &FDimByte[3], &FDimLong[12], &FDimText[2], &FDimText[3],
      &FDimDouble, &FDimLong[13], &FDimLong[14], &FDimLong[15], &FDimByte[4], &FDimLong[16],
      &FDimLong[17], &FDimLong[18]);
  PcbApi_References_Count(FHandle, &FReferenceCount);
  FReferenceCount = std::clamp<int32_t>(FReferenceCount, 0, ReferenceCapacity);
  for (int32_t i = 0; i < FReferenceCount; ++i) {
    TPcbDimensionReference& r = FReferences[i];
    PcbApi_References_At(mode, FHandle, i, &r.RefValue1, &r.RefValue2, &r.RefValue3,
                         &r.RefValue4);
  }
  return status & extStatus;
}

uint8_t TPcbDimension::GetDimByte(int number) const {
  CheckProxyIndex(number, 1, 5);
  return FDimByte[number];
}

void TPcbDimension::SetDimByte(int number, uint8_t value) {
  CheckProxyIndex(number, 1, 5);
  FDimByte[number] = value;
}

int32_t TPcbDimension::GetDimLong(int number) const {
  CheckProxyIndex(number, 1, 18);
  return FDimLong[number];
}

void TPcbDimension::SetDimLong(int number, int32_t value) {
  CheckProxyIndex(number, 1, 18);
  FDimLong[number] = value;
}

std::string TPcbDimension::GetDimText(int number) const {
  CheckProxyIndex(number, 1, 3);
  return FDimText[number].Str();
}

void TPcbDimension::SetDimText(int number, const std::string& value) {
  CheckProxyIndex(number, 1, 3);
  FDimText[number] = value;
}

const TPcbDimensionReference& TPcbDimension::GetReferences(int index) const {
  CheckProxyIndex(index, 0, ReferenceCapacity - 1);
  return FReferences[index];
}

void TPcbDimension::SetReferences(int index, const TPcbDimensionReference& value) {
  CheckProxyIndex(index, 0, ReferenceCapacity - 1);
  FReferences[index] = value;
}

TPcbCoordinate::TPcbCoordinate(uint32_t handle) : TPcbGroupObject(handle) {
  FObjectId = okCoordinate;
}

int32_t TPcbCoordinate::Synchronize(uint8_t mode) {
  SynchronizeBitFields(mode);
  return PcbApi_QueryCoordinate(mode, FHandle, &FFlags, &FPrimitiveWord, &FPrimitiveByte, &FX, &FY,
                                &FLayer, &FCoordValue[0], &FCoordValue[1], &FCoordValue[2],
                                &FCoordValue[3], &FCoordValue[4], &FCoordValue[5]);
}

int32_t TPcbCoordinate::GetCoordValue(int number) const {
  CheckProxyIndex(number, 1, 6);
  return FCoordValue[number - 1];
}

void TPcbCoordinate::SetCoordValue(int number, int32_t value) {
  CheckProxyIndex(number, 1, 6);
  FCoordValue[number - 1] = value;
}
