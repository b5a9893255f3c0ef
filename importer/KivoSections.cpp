#include "importer/KivoSections.h"

TKivoEnvironment::~TKivoEnvironment() {
  for (int i = 0; i < FLayerStrings.GetCount(); ++i)
    delete FLayerStrings.GetObject(i);
}

void TKivoEnvironment::AddLayerString(const std::string& name, int32_t kivoLayerId) {
  FLayerStrings.AddObject(name, new KivoLayerEntry(kivoLayerId));
}

void TKivoSymbol::SetLayerMap(TStringList* map) {
  inherited::SetLayerMap(map);
  for (auto& object : FObjects)
    object->SetLayerMap(map);
}

void TKivoSymbol::SetPadStackMap(PadStackMapRecord* record) {
  inherited::SetPadStackMap(record);
  for (auto& object : FObjects)
    object->SetPadStackMap(record);
}

void TKivoDetail::SetLayerMap(TStringList* map) {
  inherited::SetLayerMap(map);
  for (TKivoList* list : {&FAnnotations, &FNets, &FComponents})
    for (auto& object : *list)
      object->SetLayerMap(map);
}

void TKivoDetail::SetPadStackMap(PadStackMapRecord* record) {
  inherited::SetPadStackMap(record);
  for (TKivoList* list : {&FAnnotations, &FNets, &FComponents})
    for (auto& object : *list)
      object->SetPadStackMap(record);
}
