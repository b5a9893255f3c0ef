#include "tests/importer/PlantedFaults.h"

#include <utility>

#include "importer/KivoPrimitives.h"
#include "importer/KivoScanner.h"

bool TPlantedFault::SkipEscapes(char next) {
  return FFault != TKivoPlantedFault::SkipCountsEscapedBrace || next != '{';
}

bool TPlantedFault::KeepVia() {
  return FFault != TKivoPlantedFault::DropEveryThirdVia || ++FVias % 3 != 0;
}

void TPlantedFault::TextRead(TKivoText& text) {
  if (FFault == TKivoPlantedFault::EveryFifthTextUnturned && ++FTexts % 5 == 0)
    text.SetRotation(0);
}

bool TPlantedFault::BlockInConnections(TKivoSource& file) {
  if (FFault != TKivoPlantedFault::ConnectionListSkipsToEnd)
    return false;
  SkipBlock(file);
  return true;
}

void TPlantedFault::ConnectionsRead(std::span<std::string> names) {
  if (FFault == TKivoPlantedFault::ConnectionSwapsPins2And3 && names.size() > 3)
    std::swap(names[1], names[2]);
}
