#include "importer/KivoPadStack.h"

#include "importer/KivoListMemo.h"
#include "importer/KivoPads.h"

namespace {

// The definitions' indexes by name: every pin and via asks for the few names of its pad
// stack.
TKivoListMemo<int> gDefinitionIndexes;

}  // namespace

TKivoPadStack::~TKivoPadStack() {
  for (int i = 0; i < FPadDefinitions.GetCount(); ++i)
    delete FPadDefinitions.GetObject(i);
}

void TKivoPadStack::AddPadDefinition(TKivoPadDef* definition) {
  FPadDefinitions.AddObject(definition->GetName(), definition);
}

TKivoPadDef* TKivoPadStack::FindPadDefinition(const std::string& name) const {
  // An empty name (a record's `""`) names no definition, not one read without a name.
  if (name.empty())
    return nullptr;
  const int index = gDefinitionIndexes.Get(FPadDefinitions, name,
                                            [](const TStringList&, int index) { return index; });
  return index < 0 ? nullptr : dynamic_cast<TKivoPadDef*>(FPadDefinitions.GetObject(index));
}
