// The importer's server module "KIVOImporter", which the host gets from ServerFactory.
// It keeps no documents of its own; its one command "LoadKIVOPCBFile" lets the user
// pick a KIVO file, has the host make and show a new PCB document and imports the file
// into that document's board.
#pragma once

#include <cstdint>
#include <string>

#include "host/ServerModule.h"

class TKIVOImporterServerModule : public TServerModule {
  KIVO_CLASS(TKIVOImporterServerModule, TServerModule)

 public:
  explicit TKIVOImporterServerModule(IClient* client);

 protected:
  TInterfacePtr<IServerDocument> NewDocumentObject(int32_t value1, int32_t value2) override;
};

// The handler of "LoadKIVOPCBFile"; it produces no result value of its own.
int32_t RunLoadKivoPcbFile(IUnknown* context, const char* parameters);

// The board the command made for the import running now; 0 outside a command run, when
// the import uses the host's board open under the file name.
uint32_t CurrentBoardHandle();
// Releases the document of the command run (unit shut-down).
void ReleaseCurrentDocument();
