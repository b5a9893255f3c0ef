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

TPcbCoordinate::TPcbCoordinate(uint32_t handle) : TPcbGroupObject(handle) {
  FObjectId = okCoordinate;
}

int32_t TPcbCoordinate::Synchronize(uint8_t mode) {
  SynchronizeBitFields(mode);
  return PcbApi_QueryCoordinate(mode, FHandle, &FFlags, &FPrimitiveWord, &FPrimitiveByte, &FX, &FY,
                                &FLayer, &FCoordValue[1], &FCoordValue[2], &FCoordValue[3],
                                &FCoordValue[4], &FCoordValue[5], &FCoordValue[6]);
}
