// The stack walk trusts nothing the host wrote: it starts at the first layer object
// whose PrevLayer is 0 and follows NextLayer only while the number names a layer
// object (1 to 82) not met before, so it ends within 82 steps even on a cyclic stack.
#include "pcb/PcbBoard.h"

#include "pcb/Layers.h"
#include "pcb/PcbApi.h"

namespace {

bool IsBoardLayer(int layer) {
  return layer >= 1 && layer <= BoardLayerCount;
}

}  // namespace

// Layer objects.

TLayerObject::TLayerObject(uint32_t board, uint8_t layer)
    : FBoard(board),
      FLayer(layer),
      FName(layer < LayerCount ? LayerIdentifiers[layer] : "") {}

int32_t TLayerObject::SynchronizeDielectric(uint8_t mode) {
  return PcbApi_QueryLayerDielectric(mode, FLayer, FBoard, &FDielectricMaterial, &FDielectricType,
                                     &FDielectricConstant, &FDielectricHeight);
}

int32_t TLayerObject::Synchronize(uint8_t mode) {
  const int32_t status =
      PcbApi_QueryLayer(mode, FLayer, FBoard, &FName, &FCopperThickness, &FLayerByte1,
                        &FLayerByte2, &FPrevLayer, &FNextLayer, &FLayerByte3);
  SynchronizeDielectric(mode);
  return status;
}

TInternalPlane::TInternalPlane(uint32_t board, uint8_t layer) : TLayerObject(board, layer) {}

int32_t TInternalPlane::Synchronize(uint8_t mode) {
  const int32_t status =
      PcbApi_QueryInternalPlane(mode, FLayer, FBoard, &FName, &FCopperThickness, &FLayerByte1,
                                &FLayerByte2, &FPrevLayer, &FNextLayer, &FNetName);
  SynchronizeDielectric(mode);
  return status;
}

int32_t TPcblayerPair::Synchronize(uint8_t mode, uint32_t board, int32_t index) {
  return PcbApi_QueryBoardLayerPairAt(mode, board, index, &FPairByte1, &FPairByte2, &FHighLayer,
                                      &FLowLayer);
}

// The board.

TPcbBoard::TPcbBoard(uint32_t handle) : FHandle(handle) {
  for (int layer = 1; layer <= BoardLayerCount; ++layer) {
    const auto number = static_cast<uint8_t>(layer);
    if (IsInternalPlane(layer))
      FLayers[layer] = std::make_unique<TInternalPlane>(handle, number);
    else
      FLayers[layer] = std::make_unique<TLayerObject>(handle, number);
  }
}

TPcbBoard::~TPcbBoard() = default;

void TPcbBoard::GetBoundingRectangle(int32_t& x1, int32_t& y1, int32_t& x2, int32_t& y2) {
  PcbApi_QueryObjectBoundingRectangle(FHandle, &x1, &y1, &x2, &y2);
}

int32_t TPcbBoard::Synchronize(uint8_t mode) {
  const int32_t status =
      PcbApi_QueryBoard(mode, FHandle, &FBoardLong1, &FBoardText, &FBoardByte1, &FOriginX,
                        &FOriginY, &FBoardLong2, &FBoardLong3, &FBoardByte2, &FBoardByte3,
                        &FBoardLong4);
  for (uint8_t layer = 1; layer <= BoardLayerCount; ++layer) {
    uint8_t scratch1 = 0, scratch2 = 0;
    PcbApi_QueryBoardLayerInfo(mode, FHandle, layer, &scratch1, &scratch2, &FLayerInfo[layer]);
  }
  for (int layer = 1; layer <= BoardLayerCount; ++layer)
    FLayers[layer]->Synchronize(mode);
  SynchronizeOptions(mode);
  SynchronizeLayerPairs(mode);
  PcbApi_QueryBoardExternalDielectrics(
      mode, FHandle, &FTopDielectricMaterial, &FTopDielectricType, &FTopDielectricConstant,
      &FTopDielectricHeight, &FBottomDielectricMaterial, &FBottomDielectricType,
      &FBottomDielectricConstant, &FBottomDielectricHeight);
  return status;
}

void TPcbBoard::SynchronizeOptions(uint8_t mode) {
  TPcbGridValues& g = FGridValues;
  PcbApi_QueryBoardGridsEx(mode, FHandle, &g.Grid1, &g.Grid2, &g.Grid3, &g.Grid4, &g.Grid5,
                           g.Grid6.data(), &g.Grid7, &g.Grid8, &g.Grid9, &g.Grid10, &g.Grid11,
                           g.Grid12.data(), &g.Grid13, &g.Grid14);

  TPcbOutputOptions& o = FOutputOptions;
  uint8_t* b = o.Output3To23.data();
  PcbApi_QueryBoardOutputOptions(mode, FHandle, &o.Output1, &o.Output2, &b[0], &b[1], &b[2], &b[3],
                                 &b[4], &b[5], &b[6], &b[7], &b[8], &b[9], &b[10], &b[11], &b[12],
                                 &b[13], &b[14], &b[15], &b[16], &b[17], &b[18], &b[19], &b[20],
                                 o.Output24.data());
  for (uint8_t layer = 1; layer <= 109; ++layer)
    PcbApi_QueryBoardOutputOptionsPlotLayers(mode, FHandle, layer, &o.PlotLayers[layer]);
  for (uint8_t layer = 1; layer <= 109; ++layer)
    PcbApi_QueryBoardOutputOptionsFlipLayers(mode, FHandle, layer, &o.FlipLayers[layer]);

  TPcbGerberOptions& ge = FGerberOptions;
  uint8_t* gb = ge.Gerber1To7.data();
  int32_t* gl = ge.Gerber8To12.data();
  PcbApi_QueryBoardGerberOptions(mode, FHandle, &gb[0], &gb[1], &gb[2], &gb[3], &gb[4], &gb[5],
                                 &gb[6], &gl[0], &gl[1], &gl[2], &gl[3], &gl[4], &ge.Gerber13,
                                 &ge.Gerber14, &ge.Gerber15, &ge.Gerber16, &ge.Gerber17,
                                 &ge.Gerber18);

  TPcbPrinterOptions& p = FPrinterOptions;
  uint8_t* pb = p.Printer4To9.data();
  uint8_t* pe = p.Printer22To26.data();
  PcbApi_QueryBoardPrinterOptions(mode, FHandle, &p.Printer1, &p.Printer2, &p.Printer3, &pb[0],
                                  &pb[1], &pb[2], &pb[3], &pb[4], &pb[5], &p.Printer10,
                                  &p.Printer11, &p.Printer12, &p.Printer13, p.Printer14.data(),
                                  &p.Printer15, &p.Printer16, &p.Printer17, &p.Printer18,
                                  &p.Printer19, &p.Printer20, &p.Printer21, &pe[0], &pe[1], &pe[2],
                                  &pe[3], &pe[4]);
  for (int32_t pen = 1; pen <= 8; ++pen) {
    PcbApi_QueryBoardPrinterOptionsPlotterPen(mode, FHandle, pen, &p.PlotterPens[pen][0],
                                              &p.PlotterPens[pen][1]);
  }
  for (uint8_t layer = 1; layer <= BoardLayerCount; ++layer) {
    PcbApi_QueryBoardPrinterOptionsCompositeLayer(
        mode, FHandle, layer, &p.CompositeLayer1[layer], &p.CompositeLayer2[layer],
        &p.CompositeLayer3[layer], &p.CompositeLayer4[layer]);
  }

  TPcbPlacerOptions& pl = FPlacerOptions;
  PcbApi_QueryBoardAdvancedPlacerOptions(mode, FHandle, &pl.Placer1, &pl.Placer2,
                                         &pl.Placer3To6[0], &pl.Placer3To6[1], &pl.Placer3To6[2],
                                         &pl.Placer3To6[3]);

  PcbApi_QueryBoardEngineeringChangeOrderOptions(mode, FHandle, &FChangeOrderOptions.ChangeOrder1,
                                                 &FChangeOrderOptions.ChangeOrder2);
}

// Loading replaces the pairs (a failing count leaves none) and names each after its
// two layers, the one higher in the stack first.
void TPcbBoard::SynchronizeLayerPairs(uint8_t mode) {
  if (mode != 1) {
    for (int i = 0; i < GetLayerPairCount(); ++i)
      FLayerPairs[i]->Synchronize(mode, FHandle, i);
    return;
  }
  FLayerPairs.clear();
  int32_t count = 0;
  if (PcbApi_QueryBoardLayerPairsCount(FHandle, &count) != 0)
    count = 0;
  for (int32_t i = 0; i < count; ++i) {
    auto pair = std::make_unique<TPcblayerPair>();
    pair->Synchronize(mode, FHandle, i);
    const uint8_t low = pair->GetLowLayer();
    const uint8_t high = pair->GetHighLayer();
    if (StackPosition(low) <= StackPosition(high))
      pair->SetName(LayerName(low) + " - " + LayerName(high));
    else
      pair->SetName(LayerName(high) + " - " + LayerName(low));
    FLayerPairs.push_back(std::move(pair));
  }
}

int TPcbBoard::StackPosition(uint8_t layer) const {
  if (!IsSignalLayer(layer))
    return 0;
  int top = 0;
  for (int l = 1; l <= BoardLayerCount && !top; ++l) {
    if (FLayers[l]->GetPrevLayer() == 0)
      top = l;
  }
  std::array<bool, BoardLayerCount + 1> met{};
  int count = 0;
  for (int l = top; IsBoardLayer(l) && !met[l]; l = FLayers[l]->GetNextLayer()) {
    met[l] = true;
    if (IsSignalLayer(l))
      ++count;
    if (l == layer)
      break;
  }
  return count;
}

std::string TPcbBoard::LayerName(uint8_t layer) const {
  return IsBoardLayer(layer) ? FLayers[layer]->GetName() : std::string();
}

TLayerObject* TPcbBoard::GetLayers(int layer) const {
  return ProxyElement(FLayers, layer, 1, BoardLayerCount).get();
}

TPcblayerPair* TPcbBoard::GetLayerPairs(int index) const {
  return ProxyElement(FLayerPairs, index, 0, GetLayerPairCount() - 1).get();
}
