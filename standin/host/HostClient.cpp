// The stand-in host's client object: IClient at every position a plug-in calls, and
// IClientCommandRunner answering "Client:RunCommonDialog". Each call is logged; the
// other positions end the run (HostObjects.h).
#include <cstdio>
#include <cstring>

#include "standin/host/HostObjects.h"
#include "standin/host/StandinHost.h"

namespace standin {

HostDocumentCreator* NewCreator(const std::string& kind,
                                const std::string& sourceFile);  // HostDocuments.cpp

namespace {

std::string GuidName(REFIID iid) {
  if (IsEqualGUID(iid, IID_IUnknown))
    return "IUnknown";
  if (IsEqualGUID(iid, kClientId))
    return "IClient";
  if (IsEqualGUID(iid, kCommandRunnerId))
    return "IClientCommandRunner";
  char text[40];
  snprintf(text, sizeof text, "{%08lX-%04X-%04X-...}", iid.Data1, iid.Data2, iid.Data3);
  return text;
}

// What IClient position 17 hands out; its position 12 only logs.
class THelpRequest : public TCounted<HostHelpRequest> {
 public:
  HRESULT __stdcall QueryInterface(REFIID iid, void** out) override {
    return AnswerQuery(this, iid, out);
  }
  STANDIN_UNEXPECTED(IClientHelpHook, 3)
  STANDIN_UNEXPECTED(IClientHelpHook, 4)
  STANDIN_UNEXPECTED(IClientHelpHook, 5)
  STANDIN_UNEXPECTED(IClientHelpHook, 6)
  STANDIN_UNEXPECTED(IClientHelpHook, 7)
  STANDIN_UNEXPECTED(IClientHelpHook, 8)
  STANDIN_UNEXPECTED(IClientHelpHook, 9)
  STANDIN_UNEXPECTED(IClientHelpHook, 10)
  STANDIN_UNEXPECTED(IClientHelpHook, 11)
  int32_t __stdcall Activate() override {
    LogCall("IClientHelpHook#12 Invoke");
    return 0;
  }
};

class TClient;

class TRunner : public HostCommandRunner {
 public:
  explicit TRunner(TClient* owner) : FOwner(owner) {}
  HRESULT __stdcall QueryInterface(REFIID iid, void** out) override;
  ULONG __stdcall AddRef() override;
  ULONG __stdcall Release() override;
  STANDIN_UNEXPECTED(IClientCommandRunner, 3)
  uint8_t __stdcall Run(const char* process, char* buffer, int32_t size,
                        IUnknown* context) override;

 private:
  TClient* FOwner;
};

class TClient : public TCounted<HostClient> {
 public:
  TClient() : FRunner(this) {}

  HRESULT __stdcall QueryInterface(REFIID iid, void** out) override {
    if (!out)
      return E_POINTER;
    *out = nullptr;
    if (IsEqualGUID(iid, IID_IUnknown) || IsEqualGUID(iid, kClientId))
      *out = static_cast<HostClient*>(this);
    else if (IsEqualGUID(iid, kCommandRunnerId))
      *out = &FRunner;
    LogCall("IClient#0 QueryInterface(" + GuidName(iid) + ") -> " +
            (*out ? "found" : "not supported"));
    if (!*out)
      return E_NOINTERFACE;
    AddRef();
    return S_OK;
  }

  STANDIN_UNEXPECTED(IClient, 3)
  STANDIN_UNEXPECTED(IClient, 4)
  STANDIN_UNEXPECTED(IClient, 5)
  STANDIN_UNEXPECTED(IClient, 6)
  STANDIN_UNEXPECTED(IClient, 7)
  STANDIN_UNEXPECTED(IClient, 8)
  STANDIN_UNEXPECTED(IClient, 10)
  STANDIN_UNEXPECTED(IClient, 11)
  STANDIN_UNEXPECTED(IClient, 12)
  STANDIN_UNEXPECTED(IClient, 13)
  STANDIN_UNEXPECTED(IClient, 16)
  STANDIN_UNEXPECTED(IClient, 18)
  STANDIN_UNEXPECTED(IClient, 20)
  STANDIN_UNEXPECTED(IClient, 21)
  STANDIN_UNEXPECTED(IClient, 22)
  STANDIN_UNEXPECTED(IClient, 23)
  STANDIN_UNEXPECTED(IClient, 26)
  STANDIN_UNEXPECTED(IClient, 28)
  STANDIN_UNEXPECTED(IClient, 29)
  STANDIN_UNEXPECTED(IClient, 30)
  STANDIN_UNEXPECTED(IClient, 32)
  STANDIN_UNEXPECTED(IClient, 33)
  STANDIN_UNEXPECTED(IClient, 34)
  STANDIN_UNEXPECTED(IClient, 35)
  STANDIN_UNEXPECTED(IClient, 36)
  STANDIN_UNEXPECTED(IClient, 37)
  STANDIN_UNEXPECTED(IClient, 38)

  HWND __stdcall ApplicationWindow() override {
    LogCall("IClient#9 GetApplicationHandle");
    return ApplicationWindowHandle();
  }

  void __stdcall FindOpenDocument(const char* file, HostDocument** out) override {
    HostDocument* document = file ? FindDocument(file) : nullptr;
    LogCall("IClient#14 GetDocumentByPath(" + Quote(file) + ") -> " + (document ? "open" : "nil"));
    if (document)
      document->AddRef();
    *out = document;
  }

  HWND __stdcall MainWindow() override {
    LogCall("IClient#15 GetMainWindowHandle");
    return MainWindowHandle();
  }

  void __stdcall HelpRequest(int32_t value, const char* text, HostHelpRequest** out) override {
    LogCall("IClient#17 GetHelpHook(" + std::to_string(value) + ", " + Quote(text) + ")");
    *out = new THelpRequest;
  }

  void __stdcall DocumentCreator(const char* kind, const char* editor, const char* file,
                                 HostDocumentCreator** out) override {
    LogCall("IClient#19 GetDocumentCreator(" + Quote(kind) + ", " + Quote(editor) + ", " +
            Quote(file) + ")");
    *out = NewCreator(kind ? kind : "", file ? file : "");
  }

  void __stdcall OpenDocumentAs(const char* kind, const char* file, HostDocument** out) override {
    *out = nullptr;
    std::string k = kind ? kind : "";
    if (!HostOptions().OpenFails && file)
      *out = AddDocument(k, file, k == "TEXT" ? HostOptions().TextViewKind : k);
    LogCall("IClient#24 OpenDocument(" + Quote(kind) + ", " + Quote(file) + ") -> " +
            (*out ? "opened" : "nil"));
  }

  uint8_t __stdcall StartServer(const char* server) override {
    bool started = false;
    if (server && std::strcmp(server, "PCB") == 0 && !HostOptions().PcbServerFails) {
      started = LoadPcbServer();
      // The host's own failure (its address space used up, its server's file gone) is
      // the host's to tell.
      if (!started)
        fprintf(stderr, "KivoHost: cannot start the PCB server: Ravelo.dll does not load (error %lu)\n",
                GetLastError());
    }
    LogCall("IClient#25 StartServer(" + Quote(server) + ") -> " + (started ? "True" : "False"));
    return started ? 1 : 0;
  }

  const char* __stdcall KindOfFile(const char* file) override {
    std::string name = file ? file : "";
    size_t dot = name.find_last_of(".\\/:");
    std::string ext = dot != std::string::npos && name[dot] == '.' ? name.substr(dot) : "";
    if (SameFileName(ext, ".rpt") || SameFileName(ext, ".txt"))
      FKindAnswer = "TEXT";
    else if (SameFileName(ext, ".pcbdoc"))
      FKindAnswer = "PCB";
    else
      FKindAnswer.clear();
    LogCall("IClient#27 GetDocumentKindFromFile(" + Quote(file) + ") -> " +
            Quote(FKindAnswer.c_str()));
    return FKindAnswer.c_str();
  }

  void __stdcall Show(HostDocument* document) override {
    LogCall("IClient#31 ShowDocument(" +
            (document ? Quote(DocumentFileName(document).c_str()) : std::string("nil")) + ")");
    SetCurrentDocument(document);
  }

  const char* __stdcall HelpFileOfTopic(const char* topic) override {
    FHelpAnswer = HelpFileOf(topic ? topic : "");
    LogCall("IClient#39 GetHelpFileForTopic(" + Quote(topic) + ") -> " +
            Quote(FHelpAnswer.c_str()));
    return FHelpAnswer.c_str();
  }

 private:
  TRunner FRunner;
  std::string FKindAnswer;  // text results stay valid until the next call
  std::string FHelpAnswer;
};

HRESULT TRunner::QueryInterface(REFIID iid, void** out) { return FOwner->QueryInterface(iid, out); }
ULONG TRunner::AddRef() { return FOwner->AddRef(); }
ULONG TRunner::Release() { return FOwner->Release(); }

uint8_t TRunner::Run(const char* process, char* buffer, int32_t size, IUnknown* context) {
  return RunHostProcess("IClientCommandRunner#4 RunProcess", process, buffer, size,
                        context != nullptr);
}

}  // namespace

uint8_t RunHostProcess(const char* via, const char* process, char* buffer, int32_t size,
                       bool withContext) {
  std::string request = buffer ? buffer : "";
  std::string line = std::string(via) + "(" + Quote(process) + ", " +
                     Quote(buffer ? request.c_str() : nullptr) + ", " + std::to_string(size) +
                     ", " + (withContext ? "context" : "nil") + ")";
  if (!process || std::strcmp(process, "Client:RunCommonDialog") != 0 || !buffer) {
    LogCall(line + " -> False (unknown process)");
    return 0;
  }
  std::string answer = HostOptions().Interactive ? AskUserForFile(request.c_str()) : NextAnswer();
  if (size <= 0 || answer.size() + 1 > static_cast<size_t>(size)) {
    LogCall(line + " -> False (answer does not fit)");
    return 0;
  }
  std::memcpy(buffer, answer.c_str(), answer.size() + 1);
  LogCall(line + " -> " + Quote(answer.c_str()));
  return 1;
}

IUnknown* CreateClient() { return static_cast<HostClient*>(new TClient); }

}  // namespace standin
