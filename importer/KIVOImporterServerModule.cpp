#include "importer/KIVOImporterServerModule.h"

#include <algorithm>
#include <memory>

#include "classlib/FileUtils.h"
#include "classlib/ShortString.h"
#include "classlib/Strings.h"
#include "host/ClientApi.h"
#include "host/EDAClientMessageForm.h"
#include "host/ParameterList.h"
#include "host/ServerReferences.h"
#include "host/Utilities.h"
#include "importer/ImportMemory.h"
#include "importer/ImporterExports.h"
#include "importer/KivoRecogniser.h"
#include "pcb/PcbApi.h"

namespace {

// The document and the board of the command run going on; one import at a time.
TInterfacePtr<IServerDocument> gCurrentDocument;
uint32_t gCurrentBoardHandle = 0;

constexpr int32_t kDialogBufferSize = 4096;
// The longest file name the host's import functions pass on (a short string).
constexpr size_t kMaxFileName = 255;

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

// The whole value of the parameter `name`, trimmed as LookupParameter trims it but not
// cut to 255 characters (a cut path would name another file); empty when absent.
std::string WholeParameter(const char* parameters, const char* name) {
  TParameterList list;
  ParseParameterString(list, parameters);
  const TParameter* parameter = FindParameter(list, ShortString<255>(name));
  return parameter ? Trim(parameter->GetValue()) : std::string();
}

// The host's file-open dialog, starting at `fileName`; the chosen path replaces it only
// when the host answers "Result=True".
void ShowOpenKivoFileDialog(std::string& fileName) {
  auto buffer = std::make_unique<char[]>(kDialogBufferSize);
  const std::string request =
      "Dialog=FileOpenSave|Mode=0|Prompt=KIVO Layout File|DocumentType=All|"
      "FileType1=KIVO PCB File (*.pdf)|FileType2=All Files (*.*)|Path=" +
      fileName;
  const size_t length = std::min<size_t>(request.size(), kDialogBufferSize - 1);
  std::copy_n(request.data(), length, buffer.get());
  buffer[length] = 0;
  RunClientProcess("Client:RunCommonDialog", buffer.get(), kDialogBufferSize, nullptr);
  buffer[kDialogBufferSize - 1] = 0;
  ShortString<255> result;
  if (LookupParameter(buffer.get(), ShortString<255>("Result"), result) &&
      result.Str() == "True")
    fileName = WholeParameter(buffer.get(), "Path");
}

// Whether `fileName` begins as Unicode text (UTF-16): with its byte-order mark, or with a
// zero byte beside each of its first characters, as a KIVO file saved so would.
bool IsUnicodeText(const std::string& fileName) {
  TFileHandle file(CreateFileA(fileName.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                               OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  unsigned char start[64];
  DWORD got = 0;
  if (!file.Valid() || !ReadFile(file.Get(), start, sizeof start, &got, nullptr) || got < 2)
    return false;
  if ((start[0] == 0xFF && start[1] == 0xFE) || (start[0] == 0xFE && start[1] == 0xFF))
    return true;
  int zeros[2] = {0, 0};
  for (DWORD i = 0; i + 1 < got; i += 2)
    for (int half : {0, 1})
      zeros[half] += start[i + half] == 0 && start[i + 1 - half] != 0;
  const int pairs = static_cast<int>(got / 2);
  return zeros[0] == pairs || zeros[1] == pairs;
}

// Why the command cannot import `fileName`, in plain words; empty when it can.
std::string ImportProblem(const std::string& fileName) {
  if (fileName.size() > kMaxFileName)
    return "its path has " + std::to_string(fileName.size()) + " characters, more than the " +
           std::to_string(kMaxFileName) + " the importer takes";
  if (std::string problem = FileReadProblem(fileName); !problem.empty())
    return problem;
  if (RecognisedPCBFile(fileName))
    return {};
  if (IsUnicodeText(fileName))
    return "it is saved as Unicode text, which the importer does not read; save it as plain text "
           "(ANSI) and import it again";
  return "it is not a KIVO layout file (no \"{COMPONENT\" block begins it)";
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
  std::string fileName = WholeParameter(parameters, "FileName");
  if (!EnsurePcbServer()) {
    // A host that refuses its server tells the user why itself. One whose address space
    // is used up cannot even load it, and nothing else would tell the user.
    if (!ImportMemoryFree())
      ShowErrorBox((fileName.empty() ? std::string("Could not import") : "Could not import \"" + fileName + "\"") +
                   " because the host could not start its PCB server: " + AddressSpaceShortReason() + ".");
    return 0;
  }
  ShowOpenKivoFileDialog(fileName);
  if (fileName.empty())
    return 0;  // nothing named and nothing chosen
  // Checked before the document is made: the host offers no way to close it again, and
  // a document left empty tells the user nothing.
  if (const std::string problem = ImportProblem(fileName); !problem.empty()) {
    ShowErrorBox("Could not import \"" + fileName + "\" because " + problem + ".");
    return 0;
  }
  gCurrentDocument = CreatePcbDocument(fileName);
  if (!gCurrentDocument) {
    ShowErrorBox("Could not create new file\rShutdown server and try again");
    return 0;
  }
  if (TInterfacePtr<IClient> client = GetClient())
    client->ShowDocument(gCurrentDocument.Get());
  gCurrentBoardHandle = PcbApiGetCurrentBoardHandle();
  ImportFileIntoPcb(fileName);
  return 0;
}

uint32_t CurrentBoardHandle() { return gCurrentBoardHandle; }

void ReleaseCurrentDocument() { ClearCurrent(); }
