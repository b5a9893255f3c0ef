// The pad proxy (kind 2): sizes and shapes on the top, mid and bottom layers, the hole,
// the designator and, when the host's pad-stack mode is 2, a shape and size of its own
// on every signal layer 1 to 32. The per-layer values move only in that mode: loaded
// from the host's per-layer queries with direction 1, written with the per-layer
// setters in any other direction. Sizes, shapes, ends and corners "on a layer" are
// asked of the host afresh.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "classlib/ShortString.h"
#include "pcb/PcbObject.h"

class TPcbPad : public TPCBObject {
  KIVO_CLASS(TPcbPad, TPCBObject)

 public:
  // The stack mode in which every signal layer has its own shape and size.
  static constexpr uint8_t LayerStackMode = 2;

  explicit TPcbPad(uint32_t handle = 0);
  // The values per layer are not cleared (see TPcbReadOnly).
  TPcbPad(uint32_t handle, TPcbReadOnly);
  // The pad query; with status 0, the stack mode and then the per-layer values.
  int32_t Synchronize(uint8_t mode) override;

  int32_t GetTopXSize() const override { return FTopXSize; }
  int32_t GetTopYSize() const override { return FTopYSize; }
  int32_t GetMidXSize() const override { return FMidXSize; }
  int32_t GetMidYSize() const override { return FMidYSize; }
  int32_t GetBotXSize() const override { return FBotXSize; }
  int32_t GetBotYSize() const override { return FBotYSize; }
  int32_t GetHoleSize() const override { return FHoleSize; }
  uint8_t GetTopShape() const override { return FTopShape; }
  uint8_t GetMidShape() const override { return FMidShape; }
  uint8_t GetBotShape() const override { return FBotShape; }
  std::string GetName() const override { return FName.Str(); }
  double GetRotation() const override { return FRotation; }
  void SetTopXSize(int32_t value) override { FTopXSize = value; }
  void SetTopYSize(int32_t value) override { FTopYSize = value; }
  void SetMidXSize(int32_t value) override { FMidXSize = value; }
  void SetMidYSize(int32_t value) override { FMidYSize = value; }
  void SetBotXSize(int32_t value) override { FBotXSize = value; }
  void SetBotYSize(int32_t value) override { FBotYSize = value; }
  void SetHoleSize(int32_t value) override { FHoleSize = value; }
  void SetTopShape(uint8_t value) override { FTopShape = value; }
  void SetMidShape(uint8_t value) override { FMidShape = value; }
  void SetBotShape(uint8_t value) override { FBotShape = value; }
  // Keeps the first 20 characters.
  void SetName(const std::string& value) override { FName = value; }
  void SetRotation(double value) override { FRotation = value; }

  // The host's size and shape on `layer` (remembered in the per-layer values for the
  // layers 0 to 82); 0 when the host fails.
  int32_t GetXSizeOnLayer(uint8_t layer) override;
  int32_t GetYSizeOnLayer(uint8_t layer) override;
  uint8_t GetShapeOnLayer(uint8_t layer) override;
  // The smaller of the two sizes on `layer`.
  int32_t GetWidthOnLayer(uint8_t layer) override;
  // Corners of the pad's rectangle on `layer`, widened by `distance` and turned by the
  // pad's rotation about its centre.
  int32_t GetCorner1XOnLayer(uint8_t layer, int32_t distance) override {
    return CornerOnLayer(layer, 0, distance);
  }
  int32_t GetCorner1YOnLayer(uint8_t layer, int32_t distance) override {
    return CornerOnLayer(layer, 1, distance);
  }
  int32_t GetCorner2XOnLayer(uint8_t layer, int32_t distance) override {
    return CornerOnLayer(layer, 2, distance);
  }
  int32_t GetCorner2YOnLayer(uint8_t layer, int32_t distance) override {
    return CornerOnLayer(layer, 3, distance);
  }
  int32_t GetCorner3XOnLayer(uint8_t layer, int32_t distance) override {
    return CornerOnLayer(layer, 4, distance);
  }
  int32_t GetCorner3YOnLayer(uint8_t layer, int32_t distance) override {
    return CornerOnLayer(layer, 5, distance);
  }
  int32_t GetCorner4XOnLayer(uint8_t layer, int32_t distance) override {
    return CornerOnLayer(layer, 6, distance);
  }
  int32_t GetCorner4YOnLayer(uint8_t layer, int32_t distance) override {
    return CornerOnLayer(layer, 7, distance);
  }
  // The ends of the pad's centre line on `layer` (its long axis, shortened by the
  // short size at both ends); a square pad gives its centre for both ends.
  int32_t GetXOnLayer(uint8_t layer) override { return CentreLineEnd(layer, 0); }
  int32_t GetYOnLayer(uint8_t layer) override { return CentreLineEnd(layer, 1); }
  int32_t GetX2OnLayer(uint8_t layer) override { return CentreLineEnd(layer, 2); }
  int32_t GetY2OnLayer(uint8_t layer) override { return CentreLineEnd(layer, 3); }

  // Host values copied through.
  uint8_t GetPadByte1() const { return FPadByte1; }
  void SetPadByte1(uint8_t value) { FPadByte1 = value; }
  uint8_t GetPadByte2() const { return FPadByte2; }
  void SetPadByte2(uint8_t value) { FPadByte2 = value; }
  uint8_t GetStackMode() const { return FStackMode; }
  void SetStackMode(uint8_t value) { FStackMode = value; }
  // Per-layer values, indexed by layer number 0 to 82 (EListError beyond).
  int32_t GetLayerXSize(int layer) const { return ProxyElement(FLayerXSize, layer, 0, 82); }
  void SetLayerXSize(int layer, int32_t value) { ProxyElement(FLayerXSize, layer, 0, 82) = value; }
  int32_t GetLayerYSize(int layer) const { return ProxyElement(FLayerYSize, layer, 0, 82); }
  void SetLayerYSize(int layer, int32_t value) { ProxyElement(FLayerYSize, layer, 0, 82) = value; }
  uint8_t GetLayerShape(int layer) const { return ProxyElement(FLayerShape, layer, 0, 82); }
  void SetLayerShape(int layer, uint8_t value) { ProxyElement(FLayerShape, layer, 0, 82) = value; }

 private:
  static constexpr int cLayerSlots = 83;

  // The end point of the centre line: `index` 0 to 3 for X, Y, X2, Y2.
  int32_t CentreLineEnd(uint8_t layer, int index);
  int32_t CornerOnLayer(uint8_t layer, int index, int32_t distance);

  int32_t FTopXSize = 0;
  int32_t FTopYSize = 0;
  int32_t FMidXSize = 0;
  int32_t FMidYSize = 0;
  int32_t FBotXSize = 0;
  int32_t FBotYSize = 0;
  int32_t FHoleSize = 0;
  uint8_t FTopShape = 0;
  uint8_t FMidShape = 0;
  uint8_t FBotShape = 0;
  ShortString<20> FName;
  uint8_t FPadByte1 = 0;
  double FRotation = 0.0;
  uint8_t FPadByte2 = 0;
  // Cleared unless read-only.
  std::array<int32_t, cLayerSlots> FLayerXSize;
  std::array<int32_t, cLayerSlots> FLayerYSize;
  std::array<uint8_t, cLayerSlots> FLayerShape;
  uint8_t FStackMode = 0;
};
