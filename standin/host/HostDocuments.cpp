// The documents the stand-in host holds open, their views, the process calls those views
// prepare, and the creator of new PCB documents.
#include <fstream>
#include <sstream>
#include <vector>

#include "standin/host/HostObjects.h"
#include "standin/host/StandinHost.h"
#include "standin/ravelo/RaveloControl.h"

namespace standin {

namespace {

// The context a document hands on to its view's process call (position 19).
class TToken : public TCounted<IUnknown> {
 public:
  HRESULT __stdcall QueryInterface(REFIID iid, void** out) override {
    return AnswerQuery(this, iid, out);
  }
};

class TViewCommand : public TCounted<HostViewCommand> {
 public:
  TViewCommand(std::string process, std::string fileName)
      : FProcess(std::move(process)), FFileName(std::move(fileName)) {}
  HRESULT __stdcall QueryInterface(REFIID iid, void** out) override {
    return AnswerQuery(this, iid, out);
  }
  void __stdcall Run() override {
    LogCall("IViewCommand#3 Run " + Quote(FProcess.c_str()) + " on " + Quote(FFileName.c_str()));
  }

 private:
  std::string FProcess;
  std::string FFileName;
};

class TView : public TCounted<HostDocumentView> {
 public:
  TView(std::string kind, std::string fileName, IUnknown* token)
      : FKind(std::move(kind)), FFileName(std::move(fileName)), FToken(token) {}
  HRESULT __stdcall QueryInterface(REFIID iid, void** out) override {
    return AnswerQuery(this, iid, out);
  }
  STANDIN_UNEXPECTED(IServerDocumentView, 3)
  STANDIN_UNEXPECTED(IServerDocumentView, 4)
  STANDIN_UNEXPECTED(IServerDocumentView, 5)
  STANDIN_UNEXPECTED(IServerDocumentView, 6)
  STANDIN_UNEXPECTED(IServerDocumentView, 7)
  STANDIN_UNEXPECTED(IServerDocumentView, 9)
  STANDIN_UNEXPECTED(IServerDocumentView, 10)
  STANDIN_UNEXPECTED(IServerDocumentView, 11)

  void __stdcall MakeProcess(const char* process, int32_t a, int32_t b, IUnknown* token,
                             HostViewCommand** out) override {
    const char* whose = token == FToken ? "document's context" : "foreign context";
    LogCall("IServerDocumentView#8 PrepareProcess(" + Quote(process) + ", " + std::to_string(a) +
            ", " + std::to_string(b) + ", " + (token ? whose : "nil") + ")");
    *out = new TViewCommand(process ? process : "", FFileName);
  }

  const char* __stdcall Kind() override {
    LogCall("IServerDocumentView#12 GetViewKind -> " + Quote(FKind.c_str()));
    return FKind.c_str();
  }

  const std::string& ViewKind() const { return FKind; }

 private:
  std::string FKind;
  std::string FFileName;
  IUnknown* FToken;  // the document's, which outlives its view
};

class TDocument : public TCounted<HostDocument> {
 public:
  TDocument(std::string kind, std::string fileName, const std::string& viewKind)
      : FKind(std::move(kind)), FFileName(std::move(fileName)), FToken(new TToken) {
    FView = new TView(viewKind, FFileName, FToken);
  }
  ~TDocument() override {
    FView->Release();
    FToken->Release();
  }
  HRESULT __stdcall QueryInterface(REFIID iid, void** out) override {
    return AnswerQuery(this, iid, out);
  }
  STANDIN_UNEXPECTED(IServerDocument, 3)
  STANDIN_UNEXPECTED(IServerDocument, 4)
  STANDIN_UNEXPECTED(IServerDocument, 5)
  STANDIN_UNEXPECTED(IServerDocument, 6)
  STANDIN_UNEXPECTED(IServerDocument, 7)
  STANDIN_UNEXPECTED(IServerDocument, 9)
  STANDIN_UNEXPECTED(IServerDocument, 10)
  STANDIN_UNEXPECTED(IServerDocument, 11)
  STANDIN_UNEXPECTED(IServerDocument, 12)
  STANDIN_UNEXPECTED(IServerDocument, 13)
  STANDIN_UNEXPECTED(IServerDocument, 14)
  STANDIN_UNEXPECTED(IServerDocument, 15)
  STANDIN_UNEXPECTED(IServerDocument, 16)
  STANDIN_UNEXPECTED(IServerDocument, 17)

  int32_t __stdcall Focus() override {
    LogCall("IServerDocument#8 Focus " + Quote(FFileName.c_str()));
    return 0;
  }
  void __stdcall View(HostDocumentView** out) override {
    LogCall("IServerDocument#18 GetView " + Quote(FFileName.c_str()));
    FView->AddRef();
    *out = FView;
  }
  void __stdcall Token(int32_t value, IUnknown** out) override {
    LogCall("IServerDocument#19 GetProcessContext(" + std::to_string(value) + ") " +
            Quote(FFileName.c_str()));
    FToken->AddRef();
    *out = FToken;
  }

  const std::string& Kind() const { return FKind; }
  const std::string& FileName() const { return FFileName; }
  const std::string& ViewKind() const { return FView->ViewKind(); }
  std::string Content;
  uint32_t Board = 0;
  std::string SourceFile;  // the file a new PCB document was made for

 private:
  std::string FKind;
  std::string FFileName;
  IUnknown* FToken;
  TView* FView;
};

class TCreator : public TCounted<HostDocumentCreator> {
 public:
  TCreator(std::string kind, std::string sourceFile)
      : FKind(std::move(kind)), FSourceFile(std::move(sourceFile)) {}
  HRESULT __stdcall QueryInterface(REFIID iid, void** out) override {
    return AnswerQuery(this, iid, out);
  }
  STANDIN_UNEXPECTED(IDocumentCreator, 3)
  STANDIN_UNEXPECTED(IDocumentCreator, 4)

  void __stdcall Make(HostDocument** out) override {
    if (HostOptions().CreateFails) {
      LogCall("IDocumentCreator#5 CreateDocument -> nil");
      *out = nullptr;
      return;
    }
    static int count = 0;
    std::string name = FKind + std::to_string(++count) + ".PcbDoc";
    auto* document = static_cast<TDocument*>(AddDocument(FKind, name, FKind));
    document->Board = CreatePcbBoard(name);
    document->SourceFile = FSourceFile;
    LogCall("IDocumentCreator#5 CreateDocument -> " + Quote(name.c_str()));
    *out = document;
  }

 private:
  std::string FKind;
  std::string FSourceFile;
};

std::vector<TDocument*> gDocuments;
TDocument* gCurrent = nullptr;
TDocument* gCurrentPcb = nullptr;  // the PCB document shown last

std::string ReadWholeFile(const std::string& fileName) {
  std::ifstream file(fileName, std::ios::binary);
  std::ostringstream text;
  text << file.rdbuf();
  return text.str();
}

}  // namespace

HostDocument* FindDocument(std::string_view fileName) {
  for (TDocument* document : gDocuments)
    if (SameFileName(document->FileName(), fileName))
      return document;
  return nullptr;
}

HostDocument* AddDocument(const std::string& kind, const std::string& fileName,
                          const std::string& viewKind) {
  auto* document = new TDocument(kind, fileName, viewKind);
  if (kind == "TEXT")
    document->Content = ReadWholeFile(fileName);
  gDocuments.push_back(document);
  document->AddRef();
  return document;
}

void SetCurrentDocument(HostDocument* document) {
  gCurrent = static_cast<TDocument*>(document);
  if (gCurrent && gCurrent->Kind() == "PCB") {
    gCurrentPcb = gCurrent;
    SetCurrentPcbBoard(gCurrent->Board);
  }
}

const std::string& DocumentFileName(HostDocument* document) {
  return static_cast<TDocument*>(document)->FileName();
}

const std::string& DocumentKind(HostDocument* document) {
  return static_cast<TDocument*>(document)->Kind();
}

HostDocumentCreator* NewCreator(const std::string& kind, const std::string& sourceFile) {
  return new TCreator(kind, sourceFile);
}

void OpenDocumentInHost(const std::string& kind, const std::string& fileName,
                        const std::string& viewKind) {
  AddDocument(kind, fileName, viewKind)->Release();
}

void CloseAllDocuments() {
  gCurrent = gCurrentPcb = nullptr;
  for (TDocument* document : gDocuments)
    document->Release();
  gDocuments.clear();
}

int OpenDocumentCount() { return static_cast<int>(gDocuments.size()); }

std::string CurrentDocumentName() { return gCurrent ? gCurrent->FileName() : std::string(); }

std::string CurrentDocumentViewKind() { return gCurrent ? gCurrent->ViewKind() : std::string(); }

uint32_t CurrentPcbBoard() { return gCurrentPcb ? gCurrentPcb->Board : 0; }

std::string CurrentPcbName() { return gCurrentPcb ? gCurrentPcb->FileName() : std::string(); }

std::string CurrentPcbSource() { return gCurrentPcb ? gCurrentPcb->SourceFile : std::string(); }

std::string DocumentContent(const std::string& fileName) {
  HostDocument* document = FindDocument(fileName);
  return document ? static_cast<TDocument*>(document)->Content : std::string();
}

namespace {

template <class F>
F PcbServerEntry(const char* name) {
  HMODULE server = GetModuleHandleA("Ravelo.dll");
  return server ? reinterpret_cast<F>(reinterpret_cast<void*>(GetProcAddress(server, name)))
                : nullptr;
}

// "Client:RunCommonDialog" sent through the PCB server's PcbApi_SendCommand.
uint32_t __stdcall RunForPcbServer(const char* command, char* parameters, uint16_t size) {
  return RunHostProcess("PcbApi_SendCommand", command, parameters, size, false);
}

}  // namespace

bool LoadPcbServer() {
  if (!LoadLibraryA("Ravelo.dll"))
    return false;
  if (auto setRunner = PcbServerEntry<TRaveloSetCommandRunner>("Ravelo_SetCommandRunner"))
    setRunner(RunForPcbServer);
  if (auto keep = PcbServerEntry<TRaveloKeepCallLog>("Ravelo_KeepCallLog"); keep && !HostOptions().ServerCallLog)
    keep(0);
  return true;
}

uint32_t CreatePcbBoard(const std::string& name) {
  auto create = PcbServerEntry<TRaveloCreateBoard>("Ravelo_CreateBoard");
  return create ? create(name.c_str()) : 0;
}

void SetCurrentPcbBoard(uint32_t board) {
  if (auto set = PcbServerEntry<TRaveloSetCurrentBoard>("Ravelo_SetCurrentBoard"))
    set(board);
}

}  // namespace standin
