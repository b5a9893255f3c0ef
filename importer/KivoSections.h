// The sections of a KIVO file as the reader fills them: the environment (with the layer
// strings that become the layer map), the skipped USER, APERTURE_TABLE and SYMBOL
// sections, and the detail whose primitives are translated. Each section owns what it
// holds; the environment owns the layer entries of its layer strings.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "classlib/Lists.h"
#include "classlib/ShortString.h"
#include "classlib/StringList.h"
#include "importer/KivoObject.h"
#include "importer/KivoPadStack.h"

// LYRPHID: three numbers per entry.
struct TKivoPhysicalId {
  int32_t Value1 = 0;
  int32_t Value2 = 0;
  int32_t Value3 = 0;
};

// SSYMTBL: a number, a flag 0, 1 or 2 and two numbers per entry.
struct TKivoSymbolEntry {
  int32_t Id = 0;
  uint8_t Flag = 0;
  int32_t Value1 = 0;
  int32_t Value2 = 0;
};

class TKivoEnvironment : public TObject {
  KIVO_CLASS(TKivoEnvironment, TObject)

 public:
  TKivoEnvironment() = default;
  ~TKivoEnvironment() override;

  std::string GetVersion() const { return FVersion.Str(); }
  void SetVersion(const std::string& value) { FVersion = value; }
  std::string GetProgram() const { return FProgram.Str(); }
  void SetProgram(const std::string& value) { FProgram = value; }
  // 0 other, 1 "Schematic", 3 "PC-Board".
  uint8_t GetDatabaseType() const { return FDatabaseType; }
  void SetDatabaseType(uint8_t value) { FDatabaseType = value; }
  std::string GetDatabaseVersion() const { return FDatabaseVersion.Str(); }
  void SetDatabaseVersion(const std::string& value) { FDatabaseVersion = value; }
  std::string GetDatabaseTime() const { return FDatabaseTime.Str(); }
  void SetDatabaseTime(const std::string& value) { FDatabaseTime = value; }
  // 0 none, 1 "CMM", 2 "MM", 3 "UM", 4 "CENTIMIL", 5 "MIL".
  uint8_t GetUnitCode() const { return FUnitCode; }
  void SetUnitCode(uint8_t value) { FUnitCode = value; }
  int32_t GetGrid() const { return FGrid; }
  void SetGrid(int32_t value) { FGrid = value; }
  // KIVO layer names, each with its KivoLayerEntry (owned by the environment).
  TStringList& GetLayerStrings() { return FLayerStrings; }
  // Adds a layer name with a new entry for `kivoLayerId`, not yet mapped.
  void AddLayerString(const std::string& name, int32_t kivoLayerId);
  std::vector<TKivoPhysicalId>& GetPhysicalIds() { return FPhysicalIds; }
  std::vector<TKivoSymbolEntry>& GetSymbolTable() { return FSymbolTable; }
  std::vector<int32_t>& GetApertures() { return FApertures; }
  double GetPCLR() const { return FPCLR; }
  void SetPCLR(double value) { FPCLR = value; }
  double GetPOLYAP() const { return FPOLYAP; }
  void SetPOLYAP(double value) { FPOLYAP = value; }
  double GetPSIZ() const { return FPSIZ; }
  void SetPSIZ(double value) { FPSIZ = value; }
  // True when the ROTP value was 0.
  bool GetROTP() const { return FROTP; }
  void SetROTP(bool value) { FROTP = value; }
  std::string GetSSTFile() const { return FSSTFile.Str(); }
  void SetSSTFile(const std::string& value) { FSSTFile = value; }

 private:
  ShortString<255> FVersion;
  ShortString<255> FProgram;
  uint8_t FDatabaseType = 0;
  ShortString<255> FDatabaseVersion;
  ShortString<255> FDatabaseTime;
  uint8_t FUnitCode = 0;
  int32_t FGrid = 0;
  TStringList FLayerStrings;
  std::vector<TKivoPhysicalId> FPhysicalIds;
  std::vector<TKivoSymbolEntry> FSymbolTable;
  std::vector<int32_t> FApertures;
  double FPCLR = 0;
  double FPOLYAP = 0;
  double FPSIZ = 0;
  bool FROTP = false;
  ShortString<255> FSSTFile;
};

// The USER section is skipped: nothing to hold.
class TKivoUser : public TObject {
  KIVO_CLASS(TKivoUser, TObject)
};

// The APERTURE_TABLE section is skipped: its list stays empty.
class TKivoApertureTable : public TObject {
  KIVO_CLASS(TKivoApertureTable, TObject)

 public:
  TList& GetApertures() { return FApertures; }

 private:
  TList FApertures;
};

class TKivoPackage : public TObject {
  KIVO_CLASS(TKivoPackage, TObject)

 public:
  TStringList& GetNames() { return FNames; }

 private:
  TStringList FNames;
};

class TKivoSubsection : public TObject {
  KIVO_CLASS(TKivoSubsection, TObject)

 public:
  TStringList& GetNames() { return FNames; }
  TList& GetItems() { return FItems; }
  TStringList& GetValues() { return FValues; }

 private:
  TStringList FNames;
  TList FItems;
  TStringList FValues;
};

class TKivoAttribute : public TObject {
  KIVO_CLASS(TKivoAttribute, TObject)

 public:
  TStringList& GetNames() { return FNames; }
  TStringList& GetValues() { return FValues; }
  TStringList& GetOwners() { return FOwners; }

 private:
  TStringList FNames;
  TStringList FValues;
  TStringList FOwners;
};

// The SYMBOL section (skipped, so empty); it still passes the maps to its objects.
class TKivoSymbol : public TKivoObject {
  KIVO_CLASS(TKivoSymbol, TKivoObject)

 public:
  TKivoSymbol() : TKivoObject(nullptr) {}
  void SetLayerMap(TStringList* map) override;
  void SetPadStackMap(PadStackMapRecord* record) override;

  TList& GetItems() { return FItems; }
  TKivoPackage& GetPackage() { return FPackage; }
  TKivoSubsection& GetSubsection() { return FSubsection; }
  TKivoObjectList& GetObjects() { return FObjects; }
  TKivoAttribute& GetAttribute() { return FAttribute; }

 private:
  TList FItems;
  TKivoPackage FPackage;
  TKivoSubsection FSubsection;
  TKivoObjectList FObjects;
  TKivoAttribute FAttribute;
};

// The DETAIL section. Its owner container is the board into which every primitive goes
// (set by the reader before translation).
class TKivoDetail : public TKivoObject {
  KIVO_CLASS(TKivoDetail, TKivoObject)

 public:
  using TKivoList = TKivoObjectList;

  TKivoDetail() : TKivoObject(nullptr) {}
  // Store, then pass on to every annotation, net and component in that order (pad
  // stacks get neither).
  void SetLayerMap(TStringList* map) override;
  void SetPadStackMap(PadStackMapRecord* record) override;

  // ANNOTATE: graphic primitives.
  TKivoList& GetAnnotations() { return FAnnotations; }
  // NET_DEF: nets.
  TKivoList& GetNets() { return FNets; }
  // PAD_STACK: pad stacks; the first holds every pad definition.
  std::vector<std::unique_ptr<TKivoPadStack>>& GetPadStacks() { return FPadStacks; }
  // SUBCOMP: components.
  TKivoList& GetComponents() { return FComponents; }

 private:
  TKivoList FAnnotations;
  TKivoList FNets;
  std::vector<std::unique_ptr<TKivoPadStack>> FPadStacks;
  TKivoList FComponents;
};
