#include "importer/KIVOImporterServerModule.h"

#include <algorithm>
#include <memory>

#include "classlib/FileUtils.h"
#include "classlib/ShortString.h"
#include "host/ClientApi.h"
#include "host/EDAClientMessageForm.h"
#include "host/ParameterList.h"
#include "host/ServerReferences.h"
#include "importer/ImporterExports.h"
#include "pcb/PcbApi.h"

namespace {

// The document and the board of the command run going on; one import at a time.
TInterfacePtr<IServerDocument> gCurrentDocument;
uint32_t gCurrentBoardHandle = 0;

constexpr int32_t kDialogBufferSize = 4096;

void ClearCurrent() {
  gCurrentDocument = nullptr;
  gCurrentBoardHandle = 0;
}

// Has the host start its PCB server and binds the server's entry points again.
bool EnsurePcbServer() {
  TInterfacePtr<IClient> client = GetClient();
  if (!client || !client->StartServer("PCB"))
    return false;
  LoadPcbApi();
  return true;
}

// The host's file-open dialog, starting at `fileName`; the chosen path replaces it only
// when the host answers "Result=True".
void ShowOpenKivoFileDialog(ShortString<255>& fileName) {
  auto buffer = std::make_unique<char[]>(kDialogBufferSize);
  const std::string request =
      "Dialog=FileOpenSave|Mode=0|Prompt=KIVO Layout File|DocumentType=All|"
      "FileType1=KIVO PCB File (*.pdf)|FileType2=All Files (*.*)|Path=" +
      fileName.Str();
  const size_t length = std::min<size_t>(request.size(), kDialogBufferSize - 1);
  std::copy_n(request.data(), length, buffer.get());
  buffer[length] = 0;
  RunClientProcess("Client:RunCommonDialog", buffer.get(), kDialogBufferSize, nullptr);
  buffer[kDialogBufferSize - 1] = 0;
  ShortString<255> result;
  if (LookupParameter(buffer.get(), ShortString<255>("Result"), result) &&
      result.Str() == "True") {
    ShortString<255> path;
    LookupParameter(buffer.get(), ShortString<255>("Path"), path);
    fileName = path;
  }
}

// A new PCB document of the host for `fileName`; nil when the host makes none.
TInterfacePtr<IServerDocument> CreatePcbDocument(const std::string& fileName) {
  TInterfacePtr<IClient> client = GetClient();
  if (!client)
    return nullptr;
  IDocumentCreator* rawCreator = nullptr;
  client->GetDocumentCreator("PCB", "PCB", fileName.c_str(), &rawCreator);
  auto creator = TInterfacePtr<IDocumentCreator>::Adopt(rawCreator);
  if (!creator)
    return nullptr;
  IServerDocument* rawDocument = nullptr;
  creator->CreateDocument(&rawDocument);
  return TInterfacePtr<IServerDocument>::Adopt(rawDocument);
}

// Clears the run's document and board however the run ends.
struct TCurrentRun {
  TCurrentRun() { ClearCurrent(); }
  ~TCurrentRun() { ClearCurrent(); }
};

}  // namespace

TKIVOImporterServerModule::TKIVOImporterServerModule(IClient* client)
    : TServerModule(client, "KIVOImporter") {
  RegisterCommand(GetCommandLauncher(), "LoadKIVOPCBFile", &RunLoadKivoPcbFile, nullptr);
}

TInterfacePtr<IServerDocument> TKIVOImporterServerModule::NewDocumentObject(int32_t, int32_t) {
  return nullptr;
}

int32_t RunLoadKivoPcbFile(IUnknown*, const char* parameters) {
  TCurrentRun run;
  if (!EnsurePcbServer())
    return 0;
  ShortString<255> fileName;
  LookupParameter(parameters, ShortString<255>("FileName"), fileName);
  ShowOpenKivoFileDialog(fileName);
  if (!FileExists(fileName.Str()))
    return 0;
  gCurrentDocument = CreatePcbDocument(fileName.Str());
  if (!gCurrentDocument) {
    ShowErrorBox("Could not create new file\rShutdown server and try again");
    return 0;
  }
  if (TInterfacePtr<IClient> client = GetClient())
    client->ShowDocument(gCurrentDocument.Get());
  gCurrentBoardHandle = PcbApiGetCurrentBoardHandle();
  ImportFileIntoPcb(fileName.Str());
  return 0;
}

uint32_t CurrentBoardHandle() { return gCurrentBoardHandle; }

void ReleaseCurrentDocument() { ClearCurrent(); }
