#include "importer/KivoPadStack.h"

#include "importer/KivoPads.h"

TKivoPadStack::~TKivoPadStack() {
  for (int i = 0; i < FPadDefinitions.GetCount(); ++i)
    delete FPadDefinitions.GetObject(i);
}

void TKivoPadStack::AddPadDefinition(TKivoPadDef* definition) {
  FPadDefinitions.AddObject(definition->GetName(), definition);
}

TKivoPadDef* TKivoPadStack::FindPadDefinition(const std::string& name) const {
  const int index = FPadDefinitions.IndexOf(name);
  return index < 0 ? nullptr : dynamic_cast<TKivoPadDef*>(FPadDefinitions.GetObject(index));
}
