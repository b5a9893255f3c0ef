// The server module as the host drives it, through its module interface.
#include <gtest/gtest.h>

#include "host/ServerModule.h"

#include "classlib/Forms.h"
#include "host/ServerReferences.h"
#include "standin/host/StandinHost.h"
#include "tests/support/TestSupport.h"

namespace {

#define TEST_SLOT(n) \
  void __stdcall Reserved##n() override { ADD_FAILURE() << "document slot " << n; }

// A document object of the test module; only its identity matters here. Documents
// have no interface identifier, so it answers IUnknown only.
class TTestDocument : public IServerDocument {
 public:
  HRESULT __stdcall QueryInterface(REFIID iid, void** out) override {
    *out = IsEqualGUID(iid, IID_IUnknown) ? static_cast<IUnknown*>(this) : nullptr;
    if (!*out)
      return E_NOINTERFACE;
    AddRef();
    return S_OK;
  }
  ULONG __stdcall AddRef() override { return ++FRefs; }
  ULONG __stdcall Release() override {
    ULONG left = --FRefs;
    if (!left)
      delete this;
    return left;
  }
  TEST_SLOT(3)
  TEST_SLOT(4) TEST_SLOT(5) TEST_SLOT(6) TEST_SLOT(7) TEST_SLOT(9) TEST_SLOT(10) TEST_SLOT(11)
      TEST_SLOT(12) TEST_SLOT(13) TEST_SLOT(14) TEST_SLOT(15) TEST_SLOT(16) TEST_SLOT(17) int32_t
      __stdcall Focus() override {
    return 0;
  }
  void __stdcall GetView(IServerDocumentView** result) override { *result = nullptr; }
  void __stdcall GetProcessContext(int32_t, IUnknown** result) override { *result = nullptr; }

 private:
  virtual ~TTestDocument() = default;
  ULONG FRefs = 1;
};

class TTestModule : public TServerModule {
 public:
  TTestModule(IClient* client, bool makesDocuments, bool* destroyed)
      : TServerModule(client, "TestModule"),
        FMakesDocuments(makesDocuments),
        FDestroyed(destroyed) {}
  ~TTestModule() override { *FDestroyed = true; }
  int32_t LastValue1 = 0, LastValue2 = 0;

 protected:
  TInterfacePtr<IServerDocument> NewDocumentObject(int32_t value1, int32_t value2) override {
    LastValue1 = value1;
    LastValue2 = value2;
    if (!FMakesDocuments)
      return nullptr;
    return TInterfacePtr<IServerDocument>::Adopt(new TTestDocument);
  }

 private:
  bool FMakesDocuments;
  bool* FDestroyed;
};

class ServerModuleTest : public testing::Test {
 protected:
  // A new module as the host holds it: through IModuleIntf, with the construction
  // reference.
  TInterfacePtr<IModuleIntf> MakeModule(bool makesDocuments = false) {
    FModule = new TTestModule(GetClient().Get(), makesDocuments, &FDestroyed);
    return TInterfacePtr<IModuleIntf>::Adopt(static_cast<IModuleIntf*>(FModule));
  }
  TTestModule* FModule = nullptr;
  bool FDestroyed = false;
};

TEST_F(ServerModuleTest, BecomesTheCurrentModuleUntilTheHostReleasesIt) {
  TInterfacePtr<IClient> client = GetClient();
  ASSERT_TRUE(client) << "the start-up fetched the stand-in host's client";
  long hostReferences = standin::ClientReferenceCount();
  {
    TInterfacePtr<IModuleIntf> module = MakeModule();
    EXPECT_EQ(GetModuleIntf().Get(), module.Get());
    EXPECT_EQ(GetClient().Get(), client.Get());
    EXPECT_STREQ(module->GetModuleName(), "TestModule");
    EXPECT_EQ(module->QueryModuleValue(), 0);
    EXPECT_EQ(module->GetModuleHandle(), GetModuleHandleA(nullptr));  // the code's module
    // The module's client is held without counting; the host's copy is counted.
    EXPECT_EQ(standin::ClientReferenceCount(), hostReferences);
    TInterfacePtr<IClient> moduleClient;
    module->GetModuleClient(moduleClient.OutRef());
    EXPECT_EQ(moduleClient.Get(), client.Get());
    EXPECT_EQ(standin::ClientReferenceCount(), hostReferences + 1);
    moduleClient.Reset();
    EXPECT_FALSE(FDestroyed);
  }
  EXPECT_TRUE(FDestroyed);
  EXPECT_FALSE(GetModuleIntf());
  EXPECT_EQ(GetClient().Get(), client.Get());  // the client stays set
}

TEST_F(ServerModuleTest, AnswersQueriesForItsModuleInterfaceOnly) {
  TInterfacePtr<IModuleIntf> module = MakeModule();
  TInterfacePtr<IModuleIntf> again;
  EXPECT_TRUE(Supports(module.Get(), again));
  EXPECT_EQ(again.Get(), module.Get());
  TInterfacePtr<ICommandLauncherIntf> launcher;
  EXPECT_FALSE(Supports(module.Get(), launcher));
}

TEST_F(ServerModuleTest, DocumentsComeFromTheFactoryAndGoOnDestroy) {
  TInterfacePtr<IModuleIntf> module = MakeModule(/*makesDocuments=*/true);
  TInterfacePtr<IServerDocument> first, second;
  module->CreateDocument(11, 22, first.OutRef());
  module->CreateDocument(33, 44, second.OutRef());
  ASSERT_TRUE(first && second);
  EXPECT_EQ(FModule->LastValue1, 33);  // passed on unchanged
  EXPECT_EQ(FModule->LastValue2, 44);
  EXPECT_EQ(module->GetDocumentCount(), 2);
  TInterfacePtr<IServerDocument> item;
  module->GetDocument(1, item.OutRef());
  EXPECT_EQ(item.Get(), second.Get());
  module->DestroyDocument(first.Get());
  module->DestroyDocument(first.Get());  // absent: no effect
  EXPECT_EQ(module->GetDocumentCount(), 1);
  module->GetDocument(0, item.OutRef());
  EXPECT_EQ(item.Get(), second.Get());
}

TEST_F(ServerModuleTest, AFactoryWithoutDocumentsAnswersNil) {
  TInterfacePtr<IModuleIntf> module = MakeModule(/*makesDocuments=*/false);
  TInterfacePtr<IServerDocument> document;
  module->CreateDocument(1, 2, document.OutRef());
  EXPECT_FALSE(document);
  EXPECT_EQ(module->GetDocumentCount(), 0);
}

// Regression: an index outside the list raised the list-index error into the host;
// the module now answers nil.
TEST_F(ServerModuleTest, DocumentAndPanelOutOfRangeAreNil) {
  TInterfacePtr<IModuleIntf> module = MakeModule(/*makesDocuments=*/true);
  TInterfacePtr<IServerDocument> document;
  module->CreateDocument(0, 0, document.OutRef());
  for (int32_t index : {-1, 1, 1000}) {
    TInterfacePtr<IServerDocument> item;
    module->GetDocument(index, item.OutRef());
    EXPECT_FALSE(item) << index;
  }
  EXPECT_EQ(module->GetPanelCount(), 0);
  TInterfacePtr<IUnknown> panel;
  module->GetPanel(0, panel.OutRef());
  EXPECT_FALSE(panel);
}

TEST_F(ServerModuleTest, LauncherAndProcessControlAreUncountedAndLiveWithTheModule) {
  TInterfacePtr<IModuleIntf> module = MakeModule();
  ICommandLauncherIntf* launcher = nullptr;
  module->GetCommandLauncher(&launcher);
  ASSERT_EQ(launcher, &FModule->GetCommandLauncher());
  EXPECT_EQ(launcher->AddRef(), 0u);
  EXPECT_EQ(launcher->Release(), 0u);
  EXPECT_EQ(launcher->Release(), 0u);  // never frees it

  IProcessControlIntf* control = nullptr;
  module->GetProcessControl(&control);
  ASSERT_NE(control, nullptr);
  EXPECT_EQ(control->GetDepth(), 0);
  control->DecrementDepth(nullptr, 0);
  EXPECT_EQ(control->GetDepth(), -1);  // no lower bound
  control->IncrementDepth(nullptr, 0);
  control->IncrementDepth(nullptr, 0);
  EXPECT_EQ(control->GetDepth(), 1);
  control->SetDepth(7);
  EXPECT_EQ(control->GetDepth(), 7);
  EXPECT_EQ(control->Release(), 0u);
}

// Idle: a message already waiting gets one WM_USER to the application window, so the
// idle step's wait returns at once; an empty queue gets none.
class IdleTest : public ServerModuleTest {
 protected:
  void SetUp() override {
    gApplicationWindow = FWindow.Handle();
    gIdleSteps = 0;
    SetIdleApplication({[] { return gApplicationWindow; }, [] { ++gIdleSteps; }});
  }
  void TearDown() override { SetIdleApplication({}); }

  // Dispatches what is waiting and counts the WM_USER messages of the window.
  int DrainWakeUps() {
    int count = 0;
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
      if (msg.message == WM_USER && msg.hwnd == FWindow.Handle())
        ++count;
      DispatchMessageA(&msg);
    }
    return count;
  }

  TTestWindow FWindow;
  static inline HWND gApplicationWindow = nullptr;
  static inline int gIdleSteps = 0;
};

TEST_F(IdleTest, PostsOneWakeUpOnlyWhenAMessageWaits) {
  TInterfacePtr<IModuleIntf> module = MakeModule();
  PumpPending();
  DrainWakeUps();
  module->Idle();
  EXPECT_EQ(DrainWakeUps(), 0);
  EXPECT_EQ(gIdleSteps, 1);

  PostMessageA(FWindow.Handle(), WM_APP, 0, 0);
  PostMessageA(FWindow.Handle(), WM_APP, 0, 0);
  module->Idle();
  EXPECT_EQ(DrainWakeUps(), 1);
  EXPECT_EQ(gIdleSteps, 2);  // the idle step runs every time
}

// By default Idle wakes the class library's application window (the host's window, set
// at import start) and runs its idle step.
TEST_F(ServerModuleTest, IdleDrivesTheApplicationByDefault) {
  SetIdleApplication({});
  TTestWindow hostWindow;
  HWND previous = Application->GetHandle();
  Application->SetHandle(hostWindow.Handle());
  int idleHandlers = 0;
  Application->OnIdle = TEvent<TObject*, bool&>::FromFunction(
      [](void* data, TObject*, bool& done) {
        ++*static_cast<int*>(data);
        done = false;  // no wait for the next message
      },
      &idleHandlers);
  TInterfacePtr<IModuleIntf> module = MakeModule();
  PumpPending();
  PostMessageA(hostWindow.Handle(), WM_NULL, 0, 0);
  module->Idle();
  Application->OnIdle = nullptr;
  Application->SetHandle(previous);
  int wakeUps = 0;
  MSG msg;
  while (PeekMessageA(&msg, hostWindow.Handle(), 0, 0, PM_REMOVE))
    wakeUps += msg.message == WM_USER;
  EXPECT_EQ(wakeUps, 1);
  EXPECT_EQ(idleHandlers, 1);
}

}  // namespace
