// Layers the host names beyond the per-layer arrays (83 and above) are asked with
// scratch variables, so a layer byte from outside never addresses past the arrays.
#include "pcb/PcbPad.h"

#include <cmath>

#include "pcb/BoardUnits.h"
#include "pcb/Layers.h"
#include "pcb/PcbApi.h"

TPcbPad::TPcbPad(uint32_t handle) : TPcbPad(handle, TPcbReadOnly{}) {
  FLayerXSize.fill(0);
  FLayerYSize.fill(0);
  FLayerShape.fill(0);
}

TPcbPad::TPcbPad(uint32_t handle, TPcbReadOnly) : TPCBObject(handle) {
  FObjectId = okPad;
}

int32_t TPcbPad::Synchronize(uint8_t mode) {
  SynchronizeBitFields(mode);
  const int32_t status = PcbApi_QueryPad(
      mode, FHandle, &FFlags, &FPrimitiveWord, &FLayer, &FNet, &FPrimitiveByte, &FPrimitiveLong,
      &FX, &FY, &FTopXSize, &FTopYSize, &FMidXSize, &FMidYSize, &FBotXSize, &FBotYSize, &FHoleSize,
      &FTopShape, &FMidShape, &FBotShape, &FName, &FPadByte1, &FPadByte2, &FRotation);
  if (status != 0)
    return status;
  PcbApi_QueryPadStackMode(mode, FHandle, &FStackMode);
  if (FStackMode != LayerStackMode)
    return status;
  for (uint8_t layer = eTopLayer; layer <= eBottomLayer; ++layer) {
    if (mode == 1) {
      PcbApi_QueryPadOrViaShapeOnLayer(FHandle, layer, &FLayerShape[layer]);
      PcbApi_QueryPadOrViaSizeOnLayer(FHandle, layer, &FLayerXSize[layer], &FLayerYSize[layer]);
    } else {
      PcbApi_SetPadShapeOnLayer(FHandle, layer, FLayerShape[layer]);
      PcbApi_SetPadSizeOnLayer(FHandle, layer, FLayerXSize[layer], FLayerYSize[layer]);
    }
  }
  return status;
}

int32_t TPcbPad::GetXSizeOnLayer(uint8_t layer) {
  int32_t xSize = 0, ySize = 0;
  int32_t* x = layer < cLayerSlots ? &FLayerXSize[layer] : &xSize;
  int32_t* y = layer < cLayerSlots ? &FLayerYSize[layer] : &ySize;
  return PcbApi_QueryPadOrViaSizeOnLayer(FHandle, layer, x, y) == 0 ? *x : 0;
}

int32_t TPcbPad::GetYSizeOnLayer(uint8_t layer) {
  int32_t xSize = 0, ySize = 0;
  int32_t* x = layer < cLayerSlots ? &FLayerXSize[layer] : &xSize;
  int32_t* y = layer < cLayerSlots ? &FLayerYSize[layer] : &ySize;
  return PcbApi_QueryPadOrViaSizeOnLayer(FHandle, layer, x, y) == 0 ? *y : 0;
}

uint8_t TPcbPad::GetShapeOnLayer(uint8_t layer) {
  uint8_t scratch = 0;
  uint8_t* shape = layer < cLayerSlots ? &FLayerShape[layer] : &scratch;
  return PcbApi_QueryPadOrViaShapeOnLayer(FHandle, layer, shape) == 0 ? *shape : 0;
}

int32_t TPcbPad::GetWidthOnLayer(uint8_t layer) {
  return MinInteger(GetXSizeOnLayer(layer), GetYSizeOnLayer(layer));
}

int32_t TPcbPad::CornerOnLayer(uint8_t layer, int index, int32_t distance) {
  const double w = GetXSizeOnLayer(layer) + 2.0 * distance;
  const double h = GetYSizeOnLayer(layer) + 2.0 * distance;
  return TurnedCorner(index, FX, FY, w, h, FRotation);
}

// The centre line runs along the longer side; its ends lie the difference of the two
// half sizes from the centre.
int32_t TPcbPad::CentreLineEnd(uint8_t layer, int index) {
  const int32_t hx = GetXSizeOnLayer(layer) / 2;
  const int32_t hy = GetYSizeOnLayer(layer) / 2;
  const bool isX = index % 2 == 0;
  if (hx == hy)
    return isX ? FX : FY;
  const double sign = index < 2 ? -1.0 : 1.0;
  if (hx < hy) {
    const double e = double(hy) - hx;
    const double turn = DegreesToRadians(90.0 - FRotation);
    return isX ? RoundToInt32(FX + sign * std::cos(turn) * e)
               : RoundToInt32(FY - sign * std::sin(turn) * e);
  }
  const double e = double(hx) - hy;
  const double turn = DegreesToRadians(FRotation);
  return isX ? RoundToInt32(FX + sign * std::cos(turn) * e)
             : RoundToInt32(FY + sign * std::sin(turn) * e);
}
