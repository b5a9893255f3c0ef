// A file with nets or components but no PAD_STACK section has no pad stack to hand
// over: nets and components then get none (vias keep the host's defaults, pads go the
// way of a pad without definition) instead of the whole import ending on a list index.
#include "importer/KivoBoardComponent.h"

#include <optional>

#include "importer/KivoGroups.h"
#include "pcb/PcbApi.h"

TKivoBoardComponent::TKivoBoardComponent()
    : FEnvironment(std::make_unique<TKivoEnvironment>()),
      FUser(std::make_unique<TKivoUser>()),
      FApertureTable(std::make_unique<TKivoApertureTable>()),
      FSymbol(std::make_unique<TKivoSymbol>()),
      FDetail(std::make_unique<TKivoDetail>()) {}

void TKivoBoardComponent::SetLayerMap(TStringList* map) {
  FSymbol->SetLayerMap(map);
  FDetail->SetLayerMap(map);
}

void TKivoBoardComponent::SetPadStackMap(PadStackMapRecord* record) {
  FSymbol->SetPadStackMap(record);
  FDetail->SetPadStackMap(record);
}

void TranslateDetail(TKivoDetail& detail, const TTranslationMaps* maps,
                     TKivoTranslationNotes* notes) {
  const auto giveMaps = [maps](TKivoObject& object) {
    if (!maps)
      return;
    object.SetPadStackMap(maps->PadStackMap);
    object.SetLayerMap(maps->LayerMap);
  };
  const uint32_t board = detail.GetOwnerContainer();
  for (auto& annotation : detail.GetAnnotations()) {
    giveMaps(*annotation);
    annotation->SetOwnerContainer(board);
    annotation->Translate();
    PcbApiPercentUpdate();
  }
  TKivoPadStack* padStack =
      detail.GetPadStacks().empty() ? nullptr : detail.GetPadStacks().front().get();
  std::optional<THostNetIndex> nets;  // read when the first component comes
  for (auto* list : {&detail.GetNets(), &detail.GetComponents()}) {
    for (auto& object : *list) {
      if (list == &detail.GetComponents() && !nets)
        nets.emplace(board);
      giveMaps(*object);
      object->SetOwnerContainer(board);
      object->SetPadStackList(padStack);
      // The lists hold nets and component definitions (tests put other objects in them).
      if (auto* net = dynamic_cast<TKivoNetObject*>(object.get()))
        net->Translate(notes);
      else if (auto* component = dynamic_cast<TKivoComponent*>(object.get()))
        component->Translate(*nets, notes);
      else
        object->Translate();
      PcbApiPercentUpdate();
    }
  }
}
