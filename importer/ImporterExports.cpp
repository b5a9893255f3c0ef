#include "importer/ImporterExports.h"

#include <exception>
#include <memory>
#include <new>
#include <string>

#include "classlib/Boundary.h"
#include "classlib/Exceptions.h"
#include "classlib/Forms.h"
#include "classlib/ShortString.h"
#include "host/ClientApi.h"
#include "host/EDAClientMessageForm.h"
#include "host/ServerReferences.h"
#include "host/Utilities.h"
#include "importer/ImportMemory.h"
#include "importer/KIVOImporterServerModule.h"
#include "importer/KivoFile.h"
#include "importer/KivoRecogniser.h"
#include "importer/ReportManager.h"
#include "importer/TranslationStatus.h"

namespace {

constexpr char kDescription[] = "V-LOM KIVO files (*.PDF)";

// A short string of 255 characters as the host passes it; nil reads as empty.
std::string ShortStringArgument(const uint8_t* text) {
  if (!text)
    return {};
  return reinterpret_cast<const ShortString<255>*>(text)->Str();
}

void ShowTooLargeBox(const std::string& fileName, const std::string& why) {
  ShowErrorBox("Could not import \"" + fileName + "\" because the board is too large for this process: " +
               why + ".");
}

// Reads and translates the file into the report; whatever the reader raises is
// recorded as an unknown import error and the import goes on to its report. A failed
// allocation, or the address space running out (ImportMemory.h), is a board too large
// for the process: the user is told so once the reader and its model are gone, which
// gives the memory back for the report and the dialogs.
void ReadIntoReport(const std::string& fileName, TReportManager& report) {
  bool tooLarge = false;
  try {
    TKivoFile reader(fileName, CurrentBoardHandle());
    reader.SetReport(&report);
    reader.Load();
  } catch (const std::bad_alloc&) {
    tooLarge = true;
  } catch (...) {
    report.AddImportError(ieUnknownError);
  }
  if (!tooLarge)
    return;
  const std::string why = BoardTooLargeReason(fileName);
  report.AddBoardTooLargeError(why);
  ShowTooLargeBox(fileName, why);
}

// A file the host knows but that cannot be opened for reading (locked, no access) is
// no file of another kind: the user is told why in plain words, and the import answers
// False before anything is made.
bool ReadableOrTold(const std::string& fileName) {
  if (!ClientApiExistSpecific(fileName))
    return true;  // the recogniser answers for it
  const std::string problem = FileReadProblem(fileName);
  if (problem.empty())
    return true;
  ShowErrorBox("Could not read \"" + fileName + "\" because " + problem + ".");
  return false;
}

// Writes the report. One that cannot be written takes nothing from the import, which
// has filled the board by then: the user is told which file could not be written and
// why (none of it stays), and the import's own outcome follows.
void SaveReport(TReportManager& report) {
  try {
    report.WriteReport();
  } catch (const EInOutError& error) {
    const std::string& path = report.GetTargetPath();
    const std::string reason =
        error.GetErrorCode() == ReportIsKivoFileCode
            ? "it is the KIVO file itself under another name, and so is the report's usual name"
            : TextFileFailureReason(path, error.GetErrorCode());
    ShowErrorBox("Could not save the translation report \"" + path + "\" because " + reason + ".");
  }
}

bool ImportWithReport(const std::string& fileName) {
  if (TInterfacePtr<IClient> client = GetClient(); client && Application)
    Application->SetHandle(client->GetApplicationHandle());
  if (!ReadableOrTold(fileName) || !RecognisedPCBFile(fileName))
    return false;

  TReportManager report(fileName);
  ReadIntoReport(fileName, report);
  SaveReport(report);

  const bool success = report.GetLoadErrorCount() + report.GetImportErrorCount() == 0;
  const int warnings = report.GetLoadWarningCount() + report.GetImportWarningCount();
  std::unique_ptr<TTranslationStatus> status(new TTranslationStatus(nullptr));
  status->ShowOutcome(success, warnings);
  if (status->Execute() && !report.GetReportPath().empty())
    OpenDocumentInEditor(report.GetReportPath(), 0);
  return success;
}

}  // namespace

bool ImportFileIntoPcb(const std::string& fileName) {
  // A failure outside the reader (the report cannot be made, the dialog cannot be
  // shown) leaves nothing behind and is told to the user.
  try {
    return ImportWithReport(fileName);
  } catch (const std::bad_alloc&) {
    ShowTooLargeBox(fileName, BoardTooLargeReason(fileName));
  } catch (const std::exception& error) {
    ShowErrorBox(error.what());
  } catch (...) {
    ShowErrorBox("Unknown error while importing " + fileName);
  }
  return false;
}

extern "C" void __stdcall ServerFactory(IModuleIntf** module, IClient* client) {
  if (!module)
    return;
  *module = nullptr;
  GuardBoundary("ServerFactory", [&] {
    // The construction reference becomes the host's.
    *module = static_cast<IModuleIntf*>(new TKIVOImporterServerModule(client));
  });
}

extern "C" const char* __stdcall GetPcbImporterDescription() { return kDescription; }

extern "C" uint8_t __stdcall RecognisedPCBFile(const uint8_t* fileName) {
  return GuardBoundaryResult<uint8_t>("RecognisedPCBFile", 0, [&]() -> uint8_t {
    return RecognisedPCBFile(ShortStringArgument(fileName)) ? 1 : 0;
  });
}

extern "C" uint8_t __stdcall ImportFileIntoPcb(const uint8_t* fileName, const uint8_t*) {
  return GuardBoundaryResult<uint8_t>("ImportFileIntoPcb", 0, [&]() -> uint8_t {
    return ImportFileIntoPcb(ShortStringArgument(fileName)) ? 1 : 0;
  });
}
