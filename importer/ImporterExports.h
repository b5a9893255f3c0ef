// The functions LoadKIVO.dll exports to the host. All use the standard Windows calling
// convention and run their bodies behind a boundary; texts are zero-terminated and
// owned by the library.
#pragma once

#include "host/HostInterfaces.h"

extern "C" {

// Makes the importer's server module for the host's client and stores its module
// interface (the host's reference) in *module; nil when it cannot be made.
void __stdcall ServerFactory(IModuleIntf** module, IClient* client);

// The file-type text the host shows in its list of importable files.
const char* __stdcall GetPcbImporterDescription();
}
