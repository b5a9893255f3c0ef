#include "tests/importer/DialogDefaults.h"

#include "importer/UserOptions.h"

void DialogDefaultPadStackMap(TStrings* layerStrings, PadStackMapRecord& map) {
  TTranslateDialog dialog(nullptr);
  dialog.LoadLayers(layerStrings);
  dialog.GetPadStackMap(&map);
}
