#include "pcb/PcbPrimitives.h"

#include "pcb/PcbApi.h"

TPcbTrack::TPcbTrack(uint32_t handle) : TPCBObject(handle) {
  FObjectId = okTrack;
}

int32_t TPcbTrack::Synchronize(uint8_t mode) {
  SynchronizeBitFields(mode);
  return PcbApi_QueryTrack(mode, FHandle, &FFlags, &FPrimitiveWord, &FLayer, &FNet,
                           &FPrimitiveByte, &FPrimitiveLong, &FX, &FY, &FX2, &FY2, &FWidth,
                           &FAux1, &FAux2, &FAux3);
}

TPcbArc::TPcbArc(uint32_t handle) : TPCBObject(handle) {
  FObjectId = okArc;
}

int32_t TPcbArc::Synchronize(uint8_t mode) {
  SynchronizeBitFields(mode);
  return PcbApi_QueryArc(mode, FHandle, &FFlags, &FPrimitiveWord, &FLayer, &FNet, &FPrimitiveByte,
                         &FPrimitiveLong, &FX, &FY, &FRadius, &FStartAngle, &FEndAngle,
                         &FLineWidth, &FAux1);
}

TPcbVia::TPcbVia(uint32_t handle) : TPCBObject(handle) {
  FObjectId = okVia;
}

int32_t TPcbVia::Synchronize(uint8_t mode) {
  SynchronizeBitFields(mode);
  return PcbApi_QueryVia(mode, FHandle, &FFlags, &FPrimitiveWord, &FLayer, &FNet, &FPrimitiveByte,
                         &FPrimitiveLong, &FX, &FY, &FSize, &FHoleSize, &FByteAux1, &FByteAux2);
}

int32_t TPcbVia::GetSizeOnLayer(uint8_t layer) {
  int32_t xSize = 0, ySize = 0;
  if (PcbApi_QueryPadOrViaSizeOnLayer(FHandle, layer, &xSize, &ySize) != 0)
    return 0;
  return xSize;
}

uint8_t TPcbVia::GetShapeOnLayer(uint8_t layer) {
  uint8_t shape = 0;
  if (PcbApi_QueryPadOrViaShapeOnLayer(FHandle, layer, &shape) != 0)
    return 0;
  return shape;
}

TPcbFill::TPcbFill(uint32_t handle) : TPCBObject(handle) {
  FObjectId = okFill;
}

int32_t TPcbFill::Synchronize(uint8_t mode) {
  SynchronizeBitFields(mode);
  return PcbApi_QueryFill(mode, FHandle, &FFlags, &FPrimitiveWord, &FLayer, &FNet,
                          &FPrimitiveByte, &FPrimitiveLong, &FX, &FY, &FX2, &FY2, &FAux1,
                          &FRotation);
}

TPcbText::TPcbText(uint32_t handle) : TPCBObject(handle) {
  FObjectId = okText;
}

int32_t TPcbText::Synchronize(uint8_t mode) {
  SynchronizeBitFields(mode);
  return PcbApi_QueryText(mode, FHandle, &FFlags, &FPrimitiveWord, &FLayer, &FNet,
                          &FPrimitiveByte, &FPrimitiveLong, &FX, &FY, &FSize, &FTextAux,
                          &FRotation, &FMirrorFlag, &FText, &FLineWidth, &FAux2, &FAux3);
}
