#include "host/ServerReferences.h"

namespace {

IClient* gClient = nullptr;
IModuleIntf* gModule = nullptr;

}  // namespace

void SetClient(IClient* client) { gClient = client; }
TInterfacePtr<IClient> GetClient() { return TInterfacePtr<IClient>(gClient); }
void SetModuleIntf(IModuleIntf* module) { gModule = module; }
TInterfacePtr<IModuleIntf> GetModuleIntf() { return TInterfacePtr<IModuleIntf>(gModule); }
