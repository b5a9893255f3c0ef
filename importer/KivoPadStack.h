// The PAD_STACK section's pad stack: the file's pad definitions by name, and its pad
// records. The drawing state it was read with is its own; it is never translated by
// itself: vias and pads find their definitions in it.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "classlib/ShortString.h"
#include "classlib/StringList.h"
#include "importer/KivoObject.h"

class TKivoPadDef;

// One "PAD" item: the pad-stack index that pins and vias name, and the definition to use
// (the second, when given, serves pins without a net).
class TKivoPadRecord : public TObject {
  KIVO_CLASS(TKivoPadRecord, TObject)

 public:
  TKivoPadRecord(int32_t index = 0, const std::string& firstName = {},
                 const std::string& secondName = {})
      : FIndex(index) {
    FFirstName = firstName;
    FSecondName = secondName;
  }

  int32_t GetIndex() const { return FIndex; }
  void SetIndex(int32_t value) { FIndex = value; }
  std::string GetFirstName() const { return FFirstName.Str(); }
  void SetFirstName(const std::string& value) { FFirstName = value; }
  std::string GetSecondName() const { return FSecondName.Str(); }
  void SetSecondName(const std::string& value) { FSecondName = value; }
  // Where in the file it was read, for warnings; -1 when not read from a file.
  int64_t GetReadAt() const { return FReadAt; }
  void SetReadAt(int64_t value) { FReadAt = value; }

 private:
  int32_t FIndex;
  int64_t FReadAt = -1;
  ShortString<255> FFirstName;
  ShortString<255> FSecondName;
};

class TKivoPadStack : public TKivoObject {
  KIVO_CLASS(TKivoPadStack, TKivoObject)

 public:
  explicit TKivoPadStack(const TKivoDisplay* drawingState = nullptr)
      : TKivoObject(drawingState) {}
  ~TKivoPadStack() override;

  // Pad definitions by name (looked up without regard to case); the list owns them.
  TStringList& GetPadDefinitions() { return FPadDefinitions; }
  const TStringList& GetPadDefinitions() const { return FPadDefinitions; }
  // Adds `definition` (taken over) under its name.
  void AddPadDefinition(TKivoPadDef* definition);
  // The definition of that name, or null (always for an empty name).
  TKivoPadDef* FindPadDefinition(const std::string& name) const;
  // The pad records in file order, owned.
  std::vector<std::unique_ptr<TKivoPadRecord>>& GetPads() { return FPads; }
  const std::vector<std::unique_ptr<TKivoPadRecord>>& GetPads() const { return FPads; }

 private:
  TStringList FPadDefinitions;
  std::vector<std::unique_ptr<TKivoPadRecord>> FPads;
};
