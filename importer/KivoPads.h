// Pad definitions, component pins and vias. A definition measures its pad from its
// small graphics on the pad layers "PADCOM" (top), "PADINT" (inner), "PADSLD" (bottom)
// and "DRILL", or from the sizes its name encodes ("60X40": size 60, hole 40, in file
// units). Pins and vias name a pad record of the pad stack by number and find their
// definition through it; a pin without one takes its shape from the component graphics
// that cover it.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "classlib/ShortString.h"
#include "importer/KivoObject.h"

class TPcbPad;

// Host pad shape codes and layers that pads and vias are given.
inline constexpr uint8_t cPadShapeCircular = 1;
inline constexpr uint8_t cPadShapeRectangular = 2;
inline constexpr uint8_t cPadShapeDefault = 4;
inline constexpr uint8_t cMultiLayer = 74;

class TKivoPadDef : public TKivoObject {
  KIVO_CLASS(TKivoPadDef, TKivoObject)

 public:
  enum TAxis { axX, axY };

  explicit TKivoPadDef(const TKivoDisplay* drawingState = nullptr) : TKivoObject(drawingState) {}

  std::string GetName() const { return FName.Str(); }
  void SetName(const std::string& value) { FName = value; }
  uint8_t GetSmd() const { return FSmd; }
  void SetSmd(uint8_t value) { FSmd = value; }
  // Where in the file its block was read, for warnings; -1 when not read from a file.
  int64_t GetReadAt() const { return FReadAt; }
  void SetReadAt(int64_t value) { FReadAt = value; }
  // Circles, filled rectangles, lines and texts, owned, in file order.
  TKivoObjectList& GetPrimitives() { return FPrimitives; }
  const TKivoObjectList& GetPrimitives() const { return FPrimitives; }

  // Surface-mount pads: measured from the first fitting graphic, whatever its layer.
  int32_t GetSmdXSize() const { return GetSmdSize(axX); }
  int32_t GetSmdYSize() const { return GetSmdSize(axY); }
  uint8_t GetSmdShape() const;
  // 32 when the first graphic on a pad layer is on the bottom, otherwise 1.
  uint8_t GetSmdLayer() const;

  // Through-hole pads, per pad layer.
  int32_t GetTopXSize() const { return GetLayerSize(GetPadTopLayerName(), axX); }
  int32_t GetTopYSize() const { return GetLayerSize(GetPadTopLayerName(), axY); }
  uint8_t GetTopShape() const { return GetLayerShape(GetPadTopLayerName()); }
  int32_t GetMidXSize() const { return GetLayerSize(GetPadInnerLayerName(), axX); }
  int32_t GetMidYSize() const { return GetLayerSize(GetPadInnerLayerName(), axY); }
  uint8_t GetMidShape() const { return GetLayerShape(GetPadInnerLayerName()); }
  int32_t GetBotXSize() const { return GetLayerSize(GetPadBottomLayerName(), axX); }
  int32_t GetBotYSize() const { return GetLayerSize(GetPadBottomLayerName(), axY); }
  uint8_t GetBotShape() const { return GetLayerShape(GetPadBottomLayerName()); }
  // The name's size, changed by every graphic on `layer` in turn.
  int32_t GetLayerSize(const std::string& layer, TAxis axis) const;
  // The name's shape, changed by every graphic on `layer` in turn.
  uint8_t GetLayerShape(const std::string& layer) const;
  // The drill: 0 for surface-mount; else GetThroughHoleSize.
  int32_t GetHoleSize() const { return FSmd ? 0 : GetThroughHoleSize(); }
  // The drill of its pads when they are through-hole: the name's hole, replaced by the
  // last whole number written on "DRILL" (blanks around it are not part of it).
  int32_t GetThroughHoleSize() const;
  // Whether the file gives that drill: a whole number on "DRILL", or the name's hole
  // (otherwise it is the 32 mil of a name that encodes none).
  bool GivesHole() const;

  // What the name encodes; 0, 32 mil and shape 4 when it encodes nothing.
  int32_t GetNameSize() const;
  int32_t GetNameHoleSize() const;
  uint8_t GetNameShape() const;

 private:
  struct TNameCode;
  TNameCode DecodeName() const;
  int32_t GetSmdSize(TAxis axis) const;
  // A file length in board units with this definition's unit scale and grid.
  int32_t Scaled(int64_t value) const;

  ShortString<255> FName;
  uint8_t FSmd = 0;
  int64_t FReadAt = -1;
  TKivoObjectList FPrimitives;
};

// How a warning names a pad definition in the middle of a sentence: "pad definition
// C62X38", or "pad definition without a name".
inline std::string PadDefinitionNamed(const std::string& name) {
  return name.empty() ? std::string("pad definition without a name") : "pad definition " + name;
}

// How a warning names a pin: "Pin 1", or "Pin without a name".
inline std::string PinNamed(const std::string& name) {
  return name.empty() ? std::string("Pin without a name") : "Pin " + name;
}

// A pin of a component definition.
class TKivoPad : public TKivoObject {
  KIVO_CLASS(TKivoPad, TKivoObject)

 public:
  explicit TKivoPad(const TKivoDisplay* drawingState = nullptr) : TKivoObject(drawingState) {}

  // Finds the definition of the first pad record with the pin's pad-stack index; the
  // record's second name serves a pin without net. The definition found for an
  // earlier instance of the component is forgotten first.
  void SetPadStackList(TKivoPadStack* padStack) override;
  // One host pad on the multi-layer: a small default pad, a surface-mount or a
  // through-hole pad from the definition, or one shaped by covering component graphics.
  void Translate() override;

  std::string GetName() const { return FName; }
  std::string_view GetNameView() const { return FName; }
  // Keeps the first 255 characters.
  void SetName(const std::string& value) { FName.assign(value, 0, 255); }
  int32_t GetX() const { return FX; }
  void SetX(int32_t value) { FX = value; }
  int32_t GetY() const { return FY; }
  void SetY(int32_t value) { FY = value; }
  int32_t GetPadStackIndex() const { return FPadStackIndex; }
  void SetPadStackIndex(int32_t value) { FPadStackIndex = value; }
  TKivoPadDef* GetDefinition() const { return FDefinition; }
  void SetDefinition(TKivoPadDef* value) { FDefinition = value; }

 private:
  // The pad-stack map names the pin's layer as a surface-mount layer.
  bool OnSmdLayer() const;
  // Gives a pad without definition the size of the first covering full circle, track
  // or fill of its owner and removes that graphic.
  void MergeWithGraphics(TPcbPad& pad);

  // At most 255 characters (a short-string buffer in every pin took more room than
  // the rest of it).
  std::string FName;
  int32_t FX = 0;
  int32_t FY = 0;
  int32_t FPadStackIndex = 0;
  TKivoPadDef* FDefinition = nullptr;
};

// A via of a net.
class TKivoVia : public TKivoObject {
  KIVO_CLASS(TKivoVia, TKivoObject)

 public:
  explicit TKivoVia(const TKivoDisplay* drawingState = nullptr) : TKivoObject(drawingState) {}

  // The definition the first pad record with the via's index names (as for pins: the
  // first record of an index holds); none when it names none.
  void SetPadStackList(TKivoPadStack* padStack) override;
  // One host via on the multi-layer, sized by the definition or the host's defaults.
  void Translate() override;

  int32_t GetX() const { return FX; }
  void SetX(int32_t value) { FX = value; }
  int32_t GetY() const { return FY; }
  void SetY(int32_t value) { FY = value; }
  int32_t GetPadStackIndex() const { return FPadStackIndex; }
  void SetPadStackIndex(int32_t value) { FPadStackIndex = value; }
  TKivoPadDef* GetDefinition() const { return FDefinition; }
  void SetDefinition(TKivoPadDef* value) { FDefinition = value; }

 private:
  int32_t FX = 0;
  int32_t FY = 0;
  int32_t FPadStackIndex = 0;
  TKivoPadDef* FDefinition = nullptr;
};
