#include "importer/EditLayer.h"

TLayer TEditLayer::GetState() {
  return static_cast<TLayer>(StringToLayer(GetText()));
}

void TEditLayer::SetState(TLayer value) {
  int count = 0;
  for (int layer = 0; layer <= value; ++layer)
    count += FOfferedLayers.test(layer) ? 1 : 0;
  SetItemIndex(count - 1);
}
