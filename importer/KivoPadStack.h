// The PAD_STACK section's pad stack: the file's pad definitions by name, and its pad
// records. The drawing state it was read with is its own; it is never translated by
// itself: vias and pads find their definitions in it.
#pragma once

#include <memory>
#include <vector>

#include "classlib/StringList.h"
#include "importer/KivoObject.h"

class TKivoPadStack : public TKivoObject {
  KIVO_CLASS(TKivoPadStack, TKivoObject)

 public:
  explicit TKivoPadStack(const TKivoDisplay* drawingState = nullptr)
      : TKivoObject(drawingState) {}
  ~TKivoPadStack() override;

  // Pad definitions by name; the list owns its objects.
  TStringList& GetPadDefinitions() { return FPadDefinitions; }
  const TStringList& GetPadDefinitions() const { return FPadDefinitions; }
  // The pad records, owned.
  std::vector<std::unique_ptr<TKivoObject>>& GetPads() { return FPads; }

 private:
  TStringList FPadDefinitions;
  std::vector<std::unique_ptr<TKivoObject>> FPads;
};
