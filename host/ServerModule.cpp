#include "host/ServerModule.h"

#include "classlib/Boundary.h"
#include "classlib/FileUtils.h"
#include "classlib/Forms.h"
#include "host/ClientApi.h"
#include "host/RecentExpressionList.h"
#include "host/ServerReferences.h"
#include "host/Utilities.h"

namespace {

// By default the idle entry drives the class library's application object.
HWND ApplicationWindow() { return Application ? Application->GetHandle() : nullptr; }

void ApplicationIdleStep() {
  if (!Application)
    return;
  MSG msg{};
  Application->Idle(msg);
}

TIdleApplication gIdleApplication{ApplicationWindow, ApplicationIdleStep};

// Stores a counted copy of the item at `index`, or nil outside the list.
template <class I>
void ItemOrNil(TInterfaceList& list, int32_t index, I** result) {
  *result = nullptr;
  if (index < 0 || index >= list.GetCount())
    return;
  TInterfacePtr<IUnknown> item = list.Get(index);
  *result = static_cast<I*>(item.Detach());
}

}  // namespace

void SetIdleApplication(const TIdleApplication& application) {
  bool empty = !application.Handle && !application.IdleStep;
  gIdleApplication = empty ? TIdleApplication{ApplicationWindow, ApplicationIdleStep} : application;
}

TServerModule::TServerModule(IClient* client, const std::string& moduleName) : FClient(client) {
  ::SetClient(client);
  SetModuleIntf(static_cast<IModuleIntf*>(this));
  try {
    CreateCommandLauncher();
    FProcessControl = std::make_unique<TProcessControl>();
    FDocuments = std::make_unique<TInterfaceList>();
    FPanels = std::make_unique<TInterfaceList>();
    FModuleName = moduleName;
    RegisterCommands();
    // The module's name comes through the current module, which is this one by now.
    CreateRecentExpressionList(GetModuleIntf()->GetModuleName(), UserDataFolder(),
                               ExtractFilePath(::GetModuleName(HostModuleHandle())));
  } catch (...) {
    SetModuleIntf(nullptr);  // no module was made
    throw;
  }
}

TServerModule::~TServerModule() {
  FreeRecentExpressionList();  // saves it
  FPanels.reset();
  FCommandLauncher.reset();
  FDocuments.reset();
  FProcessControl.reset();
  SetModuleIntf(nullptr);
  // The process-wide client stays set.
}

void TServerModule::CreateCommandLauncher() {
  FCommandLauncher = std::make_unique<TCommandLauncher>();
}

void TServerModule::Idle() {
  GuardBoundary("Idle", [&] {
    // A message already waiting must not be slept through by the idle step's wait:
    // the post makes that wait return at once.
    MSG msg;
    HWND application = gIdleApplication.Handle ? gIdleApplication.Handle() : nullptr;
    if (application && PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE))
      PostMessageA(application, WM_USER, 0, 0);
    if (gIdleApplication.IdleStep)
      gIdleApplication.IdleStep();
  });
}

void TServerModule::ReceiveNotification(IUnknown* notification) {}

void TServerModule::CreateDocument(int32_t value1, int32_t value2, IServerDocument** result) {
  *result = nullptr;
  GuardBoundary("CreateDocument", [&] {
    TInterfacePtr<IServerDocument> document = NewDocumentObject(value1, value2);
    if (!document)
      return;
    FDocuments->Add(document.Get());
    *result = document.Detach();
  });
}

void TServerModule::DestroyDocument(IServerDocument* document) {
  GuardBoundary("DestroyDocument", [&] { FDocuments->Remove(document); });
}

void TServerModule::GetModuleClient(IClient** result) {
  *result = FClient;
  if (FClient)
    FClient->AddRef();
}

void TServerModule::GetCommandLauncher(ICommandLauncherIntf** result) {
  *result = FCommandLauncher.get();
  (*result)->AddRef();
}

int32_t TServerModule::GetDocumentCount() { return FDocuments->GetCount(); }

void TServerModule::GetDocument(int32_t index, IServerDocument** result) {
  ItemOrNil(*FDocuments, index, result);
}

HINSTANCE TServerModule::GetModuleHandle() { return PluginModuleHandle(); }

const char* TServerModule::GetModuleName() { return FModuleName.c_str(); }

void TServerModule::GetProcessControl(IProcessControlIntf** result) {
  *result = FProcessControl.get();
  (*result)->AddRef();
}

int32_t TServerModule::GetPanelCount() { return FPanels->GetCount(); }

void TServerModule::GetPanel(int32_t index, IUnknown** result) {
  ItemOrNil(*FPanels, index, result);
}

int32_t TServerModule::QueryModuleValue() { return 0; }
