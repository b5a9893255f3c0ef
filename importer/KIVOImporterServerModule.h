// The importer's server module "KIVOImporter", which the host gets from ServerFactory.
// It keeps no documents of its own.
#pragma once

#include "host/ServerModule.h"

class TKIVOImporterServerModule : public TServerModule {
  KIVO_CLASS(TKIVOImporterServerModule, TServerModule)

 public:
  explicit TKIVOImporterServerModule(IClient* client);

 protected:
  TInterfacePtr<IServerDocument> NewDocumentObject(int32_t value1, int32_t value2) override;
};
