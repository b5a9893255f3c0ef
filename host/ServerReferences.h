// The process-wide references of the server framework: the host's client and the
// current module's interface. Both are held without counting (the host keeps its client
// alive; the module clears its own reference when it dies); the getters hand out
// counted copies, nil when none is set.
#pragma once

#include "classlib/Interfaces.h"
#include "host/HostInterfaces.h"

void SetClient(IClient* client);
TInterfacePtr<IClient> GetClient();
void SetModuleIntf(IModuleIntf* module);
TInterfacePtr<IModuleIntf> GetModuleIntf();
