#include "importer/ImporterExports.h"

#include "classlib/Boundary.h"
#include "importer/KIVOImporterServerModule.h"

namespace {
constexpr char kDescription[] = "V-LOM KIVO files (*.PDF)";
}

extern "C" void __stdcall ServerFactory(IModuleIntf** module, IClient* client) {
  if (!module)
    return;
  *module = nullptr;
  GuardBoundary("ServerFactory", [&] {
    // The construction reference becomes the host's.
    *module = static_cast<IModuleIntf*>(new TKIVOImporterServerModule(client));
  });
}

extern "C" const char* __stdcall GetPcbImporterDescription() { return kDescription; }
