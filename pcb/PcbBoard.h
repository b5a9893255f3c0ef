// The proxy of a whole host board: its general values and origin, one layer object per
// layer 1 to 82 with the layer stack's order, the drill layer pairs, the option groups
// (grids, output, Gerber, printer, placer, change order), its layer information and
// its two outer dielectrics. Like the object proxies it moves every value in both
// directions with the same host calls: Synchronize(1) loads everything and names the
// layer pairs by the stack, Synchronize(0) stores everything.
//
// The stack comes from the host, so walking it is bounded: a layer met a second time
// (a cycle) or a layer number outside 1 to 82 ends the walk, and such numbers in a
// layer pair name nothing (empty text).
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "classlib/Object.h"
#include "classlib/ShortString.h"
#include "pcb/PcbObject.h"

inline constexpr int BoardLayerCount = 82;  // layer objects 1 to 82

// One layer of the board.
class TLayerObject : public TObject {
  KIVO_CLASS(TLayerObject, TObject)

 public:
  // Named by the layer's identifier ("TopLayer" ...), copper 14000, dielectric "FR-4",
  // type 1, constant 4.8, height 126000; outside the stack.
  explicit TLayerObject(uint32_t board = 0, uint8_t layer = 0);

  // The layer query, then its dielectric; the first call's status.
  virtual int32_t Synchronize(uint8_t mode);

  uint32_t GetBoard() const { return FBoard; }
  uint8_t GetLayer() const { return FLayer; }
  std::string GetName() const { return FName.Str(); }
  void SetName(const std::string& value) { FName = value; }
  int32_t GetCopperThickness() const { return FCopperThickness; }
  void SetCopperThickness(int32_t value) { FCopperThickness = value; }
  std::string GetDielectricMaterial() const { return FDielectricMaterial.Str(); }
  void SetDielectricMaterial(const std::string& value) { FDielectricMaterial = value; }
  uint8_t GetDielectricType() const { return FDielectricType; }
  void SetDielectricType(uint8_t value) { FDielectricType = value; }
  double GetDielectricConstant() const { return FDielectricConstant; }
  void SetDielectricConstant(double value) { FDielectricConstant = value; }
  int32_t GetDielectricHeight() const { return FDielectricHeight; }
  void SetDielectricHeight(int32_t value) { FDielectricHeight = value; }
  uint8_t GetLayerByte1() const { return FLayerByte1; }
  void SetLayerByte1(uint8_t value) { FLayerByte1 = value; }
  uint8_t GetLayerByte2() const { return FLayerByte2; }
  void SetLayerByte2(uint8_t value) { FLayerByte2 = value; }
  // The layer above in the stack (0: the top, or outside the stack) and the one below.
  uint8_t GetPrevLayer() const { return FPrevLayer; }
  void SetPrevLayer(uint8_t value) { FPrevLayer = value; }
  uint8_t GetNextLayer() const { return FNextLayer; }
  void SetNextLayer(uint8_t value) { FNextLayer = value; }
  uint8_t GetLayerByte3() const { return FLayerByte3; }
  void SetLayerByte3(uint8_t value) { FLayerByte3 = value; }

 protected:
  int32_t SynchronizeDielectric(uint8_t mode);

  uint32_t FBoard = 0;
  uint8_t FLayer = 0;
  ShortString<255> FName;
  int32_t FCopperThickness = 14000;
  ShortString<255> FDielectricMaterial = "FR-4";
  uint8_t FDielectricType = 1;
  double FDielectricConstant = 4.8;
  int32_t FDielectricHeight = 126000;
  uint8_t FLayerByte1 = 0;
  uint8_t FLayerByte2 = 0;
  uint8_t FPrevLayer = 0;
  uint8_t FNextLayer = 0;
  uint8_t FLayerByte3 = 0;
};

// An internal plane (layers 39 to 54) and the name of the net it carries.
class TInternalPlane : public TLayerObject {
  KIVO_CLASS(TInternalPlane, TLayerObject)

 public:
  // As a layer object, with the net "(No Net)".
  explicit TInternalPlane(uint32_t board = 0, uint8_t layer = 0);

  // The internal-plane query, then the dielectric; the first call's status.
  int32_t Synchronize(uint8_t mode) override;

  std::string GetNetName() const { return FNetName.Str(); }
  void SetNetName(const std::string& value) { FNetName = value; }

 private:
  ShortString<255> FNetName = "(No Net)";
};

// A drill layer pair, named after its two layers in stack order ("TopLayer - BottomLayer").
class TPcblayerPair : public TObject {
  KIVO_CLASS(TPcblayerPair, TObject)

 public:
  // Pair `index` of `board`, in the direction of `mode`.
  int32_t Synchronize(uint8_t mode, uint32_t board, int32_t index);

  std::string GetName() const { return FName.Str(); }
  void SetName(const std::string& value) { FName = value; }
  uint8_t GetLowLayer() const { return FLowLayer; }
  void SetLowLayer(uint8_t value) { FLowLayer = value; }
  uint8_t GetHighLayer() const { return FHighLayer; }
  void SetHighLayer(uint8_t value) { FHighLayer = value; }
  uint8_t GetPairByte1() const { return FPairByte1; }
  void SetPairByte1(uint8_t value) { FPairByte1 = value; }
  uint8_t GetPairByte2() const { return FPairByte2; }
  void SetPairByte2(uint8_t value) { FPairByte2 = value; }

 private:
  ShortString<255> FName;
  uint8_t FLowLayer = 0;
  uint8_t FHighLayer = 0;
  uint8_t FPairByte1 = 0;
  uint8_t FPairByte2 = 0;
};

// The option groups: host values, named by their place in the host call and copied
// through unchanged.
struct TPcbGridValues {
  uint8_t Grid1 = 0, Grid2 = 0, Grid3 = 0, Grid4 = 0;
  double Grid5 = 0;
  std::array<uint8_t, 16> Grid6{};
  double Grid7 = 0, Grid8 = 0;
  int32_t Grid9 = 0;
  uint8_t Grid10 = 0;
  double Grid11 = 0;
  std::array<uint8_t, 16> Grid12{};
  double Grid13 = 0, Grid14 = 0;
};

struct TPcbOutputOptions {
  int32_t Output1 = 0, Output2 = 0;
  std::array<uint8_t, 21> Output3To23{};
  std::array<uint8_t, 24> Output24{};
  std::array<uint8_t, 110> PlotLayers{};  // 1 to 109
  std::array<uint8_t, 110> FlipLayers{};  // 1 to 109
};

struct TPcbGerberOptions {
  std::array<uint8_t, 7> Gerber1To7{};
  std::array<int32_t, 5> Gerber8To12{};
  ShortString<255> Gerber13;
  int32_t Gerber14 = 0;
  uint8_t Gerber15 = 0, Gerber16 = 0;
  int32_t Gerber17 = 0, Gerber18 = 0;
};

struct TPcbPrinterOptions {
  ShortString<255> Printer1, Printer2, Printer3;
  std::array<uint8_t, 6> Printer4To9{};
  int32_t Printer10 = 0;
  double Printer11 = 0, Printer12 = 0, Printer13 = 0;
  std::array<uint8_t, 22> Printer14{};
  uint8_t Printer15 = 0, Printer16 = 0;
  double Printer17 = 0, Printer18 = 0, Printer19 = 0;
  int32_t Printer20 = 0, Printer21 = 0;
  std::array<uint8_t, 5> Printer22To26{};
  // Pens 1 to 8, two values each.
  std::array<std::array<int32_t, 2>, 9> PlotterPens{};
  // Composite layers 1 to 82, four values each.
  std::array<int32_t, 83> CompositeLayer1{};
  std::array<int32_t, 83> CompositeLayer2{};
  std::array<uint8_t, 83> CompositeLayer3{};
  std::array<int32_t, 83> CompositeLayer4{};
};

struct TPcbPlacerOptions {
  ShortString<255> Placer1, Placer2;
  std::array<uint8_t, 4> Placer3To6{};
};

struct TPcbChangeOrderOptions {
  uint8_t ChangeOrder1 = 0;
  ShortString<255> ChangeOrder2;
};

class TPcbBoard : public TObject {
  KIVO_CLASS(TPcbBoard, TObject)

 public:
  // The 82 layer objects (internal planes for 39 to 54), no pairs, the dielectric
  // defaults; no host call.
  explicit TPcbBoard(uint32_t handle = 0);
  ~TPcbBoard() override;

  // Loads (1) or stores (0) every value; the status of the board query.
  int32_t Synchronize(uint8_t mode);
  // The extent of the board's objects.
  void GetBoundingRectangle(int32_t& x1, int32_t& y1, int32_t& x2, int32_t& y2);

  uint32_t GetHandle() const { return FHandle; }
  int32_t GetBoardLong1() const { return FBoardLong1; }
  void SetBoardLong1(int32_t value) { FBoardLong1 = value; }
  std::string GetBoardText() const { return FBoardText.Str(); }
  void SetBoardText(const std::string& value) { FBoardText = value; }
  uint8_t GetBoardByte1() const { return FBoardByte1; }
  void SetBoardByte1(uint8_t value) { FBoardByte1 = value; }
  int32_t GetOriginX() const { return FOriginX; }
  void SetOriginX(int32_t value) { FOriginX = value; }
  int32_t GetOriginY() const { return FOriginY; }
  void SetOriginY(int32_t value) { FOriginY = value; }
  int32_t GetBoardLong2() const { return FBoardLong2; }
  void SetBoardLong2(int32_t value) { FBoardLong2 = value; }
  int32_t GetBoardLong3() const { return FBoardLong3; }
  void SetBoardLong3(int32_t value) { FBoardLong3 = value; }
  uint8_t GetBoardByte2() const { return FBoardByte2; }
  void SetBoardByte2(uint8_t value) { FBoardByte2 = value; }
  uint8_t GetBoardByte3() const { return FBoardByte3; }
  void SetBoardByte3(uint8_t value) { FBoardByte3 = value; }
  int32_t GetBoardLong4() const { return FBoardLong4; }
  void SetBoardLong4(int32_t value) { FBoardLong4 = value; }

  std::string GetTopDielectricMaterial() const { return FTopDielectricMaterial.Str(); }
  void SetTopDielectricMaterial(const std::string& value) { FTopDielectricMaterial = value; }
  uint8_t GetTopDielectricType() const { return FTopDielectricType; }
  void SetTopDielectricType(uint8_t value) { FTopDielectricType = value; }
  double GetTopDielectricConstant() const { return FTopDielectricConstant; }
  void SetTopDielectricConstant(double value) { FTopDielectricConstant = value; }
  int32_t GetTopDielectricHeight() const { return FTopDielectricHeight; }
  void SetTopDielectricHeight(int32_t value) { FTopDielectricHeight = value; }
  std::string GetBottomDielectricMaterial() const { return FBottomDielectricMaterial.Str(); }
  void SetBottomDielectricMaterial(const std::string& value) { FBottomDielectricMaterial = value; }
  uint8_t GetBottomDielectricType() const { return FBottomDielectricType; }
  void SetBottomDielectricType(uint8_t value) { FBottomDielectricType = value; }
  double GetBottomDielectricConstant() const { return FBottomDielectricConstant; }
  void SetBottomDielectricConstant(double value) { FBottomDielectricConstant = value; }
  int32_t GetBottomDielectricHeight() const { return FBottomDielectricHeight; }
  void SetBottomDielectricHeight(int32_t value) { FBottomDielectricHeight = value; }

  // Layer objects 1 to 82 (EListError beyond); owned by the board.
  TLayerObject* GetLayers(int layer) const;
  int GetLayerPairCount() const { return static_cast<int>(FLayerPairs.size()); }
  // Pairs 0 to count - 1; owned by the board.
  TPcblayerPair* GetLayerPairs(int index) const;
  int32_t GetLayerInfo(int layer) const { return ProxyElement(FLayerInfo, layer, 1, 82); }
  void SetLayerInfo(int layer, int32_t value) { ProxyElement(FLayerInfo, layer, 1, 82) = value; }

  TPcbGridValues& GetGridValues() { return FGridValues; }
  TPcbOutputOptions& GetOutputOptions() { return FOutputOptions; }
  TPcbGerberOptions& GetGerberOptions() { return FGerberOptions; }
  TPcbPrinterOptions& GetPrinterOptions() { return FPrinterOptions; }
  TPcbPlacerOptions& GetPlacerOptions() { return FPlacerOptions; }
  TPcbChangeOrderOptions& GetChangeOrderOptions() { return FChangeOrderOptions; }

  // Position of `layer` in the stack, counting signal layers from the top (1 for the
  // first); 0 for a layer that is not a signal layer. A signal layer the walk does not
  // reach gets the number of signal layers on the walk.
  int StackPosition(uint8_t layer) const;

 private:
  void SynchronizeOptions(uint8_t mode);
  void SynchronizeLayerPairs(uint8_t mode);
  // The name of layer object `layer`; empty outside 1 to 82.
  std::string LayerName(uint8_t layer) const;

  uint32_t FHandle = 0;
  int32_t FBoardLong1 = 0;
  ShortString<255> FBoardText;
  uint8_t FBoardByte1 = 0;
  int32_t FOriginX = 0;
  int32_t FOriginY = 0;
  int32_t FBoardLong2 = 0;
  int32_t FBoardLong3 = 0;
  uint8_t FBoardByte2 = 0;
  ShortString<255> FTopDielectricMaterial = "FR-4";
  uint8_t FTopDielectricType = 1;
  double FTopDielectricConstant = 4.8;
  int32_t FTopDielectricHeight = 126000;
  ShortString<255> FBottomDielectricMaterial = "FR-4";
  uint8_t FBottomDielectricType = 1;
  double FBottomDielectricConstant = 4.8;
  int32_t FBottomDielectricHeight = 126000;
  uint8_t FBoardByte3 = 0;
  int32_t FBoardLong4 = 0;
  std::array<std::unique_ptr<TLayerObject>, BoardLayerCount + 1> FLayers;  // 1 to 82
  std::vector<std::unique_ptr<TPcblayerPair>> FLayerPairs;
  std::array<int32_t, BoardLayerCount + 1> FLayerInfo{};  // 1 to 82
  TPcbGridValues FGridValues;
  TPcbOutputOptions FOutputOptions;
  TPcbGerberOptions FGerberOptions;
  TPcbPrinterOptions FPrinterOptions;
  TPcbPlacerOptions FPlacerOptions;
  TPcbChangeOrderOptions FChangeOrderOptions;
};
