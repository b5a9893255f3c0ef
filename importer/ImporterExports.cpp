#include "importer/ImporterExports.h"

#include <string>

#include "classlib/Boundary.h"
#include "classlib/ShortString.h"
#include "importer/KIVOImporterServerModule.h"
#include "importer/KivoRecogniser.h"

namespace {

constexpr char kDescription[] = "V-LOM KIVO files (*.PDF)";

// A short string of 255 characters as the host passes it; nil reads as empty.
std::string ShortStringArgument(const uint8_t* text) {
  if (!text)
    return {};
  return reinterpret_cast<const ShortString<255>*>(text)->Str();
}

}  // namespace

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

extern "C" uint8_t __stdcall RecognisedPCBFile(const uint8_t* fileName) {
  return GuardBoundaryResult<uint8_t>("RecognisedPCBFile", 0, [&]() -> uint8_t {
    return RecognisedPCBFile(ShortStringArgument(fileName)) ? 1 : 0;
  });
}
