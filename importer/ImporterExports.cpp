#include "importer/ImporterExports.h"

namespace {
constexpr char kDescription[] = "V-LOM KIVO files (*.PDF)";
}

extern "C" const char* __stdcall GetPcbImporterDescription() { return kDescription; }
