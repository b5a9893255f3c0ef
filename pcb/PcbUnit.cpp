#include "pcb/PcbUnit.h"

#include <memory>

#include "pcb/PcbApi.h"
#include "pcb/PcbGroups.h"
#include "pcb/PcbPrimitives.h"

namespace {

std::unique_ptr<TPcbTrack> gTemplateTrack;
std::unique_ptr<TPcbComponent> gTemplateComponent;

}  // namespace

void InitializePcbUnit() {
  gTemplateTrack = std::make_unique<TPcbTrack>(0);
  gTemplateComponent = std::make_unique<TPcbComponent>(0);
  ClearPcbApi();
  LoadPcbApi();
}

void FinalizePcbUnit() {
  gTemplateTrack.reset();
  gTemplateComponent.reset();
  ClearPcbApi();
}
