#include "importer/Units.h"

#include "importer/KIVOImporterServerModule.h"
#include "importer/KivoTokenizer.h"

std::span<const TUnitEntry> ImporterUnits() {
  static const TUnitEntry units[] = {
      // The KIVO tokenizer's delimiter sets.
      {"KivoTokenizer", InitializeKivoTokenizer, nullptr},
      // The document of an interrupted command run is released at unload.
      {"KIVOImporter", nullptr, ReleaseCurrentDocument},
  };
  return units;
}
