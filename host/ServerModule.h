// The server module: the one object through which the host drives the plug-in, held by
// the host as IModuleIntf. It owns the module's command launcher and process-depth
// counter and keeps the documents it made. A subclass supplies the document factory
// (NewDocumentObject) and registers its commands in its own constructor.
//
// Every IModuleIntf operation is a boundary: nothing raised inside reaches the host.
// GetDocument and GetPanel answer nil for an index outside the list.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "classlib/Interfaces.h"
#include "host/CommandLauncher.h"
#include "host/HostInterfaces.h"
#include "host/ProcessControl.h"

class TServerModule : public TImplements<TInterfacedObject, IModuleIntf> {
  KIVO_CLASS(TServerModule, TInterfacedObject)

 public:
  // Makes the module the process's current one (and `client` the process's client),
  // builds its launcher, process control and lists, registers the base's commands and
  // makes the process's recent filter-expression list, which the destructor saves.
  TServerModule(IClient* client, const std::string& moduleName);
  ~TServerModule() override;

  // IModuleIntf.
  void __stdcall Idle() override;
  void __stdcall ReceiveNotification(IUnknown* notification) override;
  void __stdcall CreateDocument(int32_t value1, int32_t value2, IServerDocument** result) override;
  void __stdcall DestroyDocument(IServerDocument* document) override;
  void __stdcall GetModuleClient(IClient** result) override;
  void __stdcall GetCommandLauncher(ICommandLauncherIntf** result) override;
  int32_t __stdcall GetDocumentCount() override;
  void __stdcall GetDocument(int32_t index, IServerDocument** result) override;
  HINSTANCE __stdcall GetModuleHandle() override;
  const char* __stdcall GetModuleName() override;
  void __stdcall GetProcessControl(IProcessControlIntf** result) override;
  int32_t __stdcall GetPanelCount() override;
  void __stdcall GetPanel(int32_t index, IUnknown** result) override;
  int32_t __stdcall QueryModuleValue() override;

  IClient* GetClient() const { return FClient; }
  TCommandLauncher& GetCommandLauncher() { return *FCommandLauncher; }
  TProcessControl& GetProcessControl() { return *FProcessControl; }
  TInterfaceList& GetDocuments() { return *FDocuments; }
  TInterfaceList& GetPanels() { return *FPanels; }

 protected:
  // The object of a new server document, or nil.
  virtual TInterfacePtr<IServerDocument> NewDocumentObject(int32_t value1, int32_t value2) = 0;

  // Steps of the constructor. They run while the base is being built, so a subclass's
  // versions would never be called: a subclass registers its commands in its own
  // constructor instead.
  void CreateCommandLauncher();
  void RegisterCommands() {}

 private:
  IClient* FClient;  // not counted: the host keeps its client alive
  std::unique_ptr<TInterfaceList> FDocuments;
  std::string FModuleName;
  std::unique_ptr<TInterfaceList> FPanels;
  std::unique_ptr<TCommandLauncher> FCommandLauncher;
  std::unique_ptr<TProcessControl> FProcessControl;
};

// What Idle needs of the class library's application: the window that gets the
// wake-up post, and the application's idle step that follows it. By default these are
// the class library's Application window and idle step; tests install their own, and
// an empty pair restores the default.
struct TIdleApplication {
  HWND (*Handle)() = nullptr;
  void (*IdleStep)() = nullptr;
};
void SetIdleApplication(const TIdleApplication& application);
