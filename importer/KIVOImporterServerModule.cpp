#include "importer/KIVOImporterServerModule.h"

TKIVOImporterServerModule::TKIVOImporterServerModule(IClient* client)
    : TServerModule(client, "KIVOImporter") {}

TInterfacePtr<IServerDocument> TKIVOImporterServerModule::NewDocumentObject(int32_t value1,
                                                                            int32_t value2) {
  return nullptr;
}
