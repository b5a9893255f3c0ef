#include "tests/importer/HostileImportSupport.h"

#include <algorithm>
#include <cassert>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <mutex>

#include "classlib/Automation.h"
#include "classlib/FileUtils.h"
#include "classlib/StringList.h"
#include "classlib/Win.h"
#include "importer/KivoFile.h"
#include "importer/ReportManager.h"
#include "standin/host/StandinHost.h"
#include "tests/ravelo/RaveloTestSupport.h"

namespace {

// One watchdog thread for the process: armed with a deadline and a label before an
// import, disarmed after it. Past the deadline it ends the process with a message,
// which ctest shows as the test's failure.
class TDeadlineWatch {
 public:
  static TDeadlineWatch& Instance() {
    static TDeadlineWatch watch;
    return watch;
  }
  void Arm(const std::string& label, double seconds) {
    std::lock_guard<std::mutex> lock(FLock);
    FLabel = label;
    FDeadline = GetTickCount64() + static_cast<ULONGLONG>(seconds * 1000);
    FArmed = true;
  }
  void Disarm() {
    std::lock_guard<std::mutex> lock(FLock);
    FArmed = false;
  }

 private:
  TDeadlineWatch() {
    HANDLE thread = CreateThread(nullptr, 0, &TDeadlineWatch::Run, this, 0, nullptr);
    if (thread)
      CloseHandle(thread);
  }
  static DWORD WINAPI Run(void* self) {
    auto* watch = static_cast<TDeadlineWatch*>(self);
    for (;;) {
      Sleep(100);
      std::lock_guard<std::mutex> lock(watch->FLock);
      if (watch->FArmed && GetTickCount64() > watch->FDeadline) {
        fprintf(stderr, "FAILED: the import of %s did not end within its deadline\n",
                watch->FLabel.c_str());
        fflush(stderr);
        TerminateProcess(GetCurrentProcess(), 3);
      }
    }
  }

  std::mutex FLock;
  std::string FLabel;
  ULONGLONG FDeadline = 0;
  bool FArmed = false;
};

bool MapEachLayerApart(TKivoFile& reader, PadStackMapRecord&) {
  TStringList& layers = reader.GetBoardComponent().GetEnvironment().GetLayerStrings();
  for (int i = 0; i < layers.GetCount(); ++i) {
    const auto layer = static_cast<TLayer>(HostileHostLayer(i));
    static_cast<KivoLayerEntry*>(layers.GetObject(i))->SetHostLayer(layer);
  }
  return true;
}

std::string BoardDump(uint32_t board) {
  const int32_t length = Control().DumpBoard(board, nullptr, 0);
  std::string dump(static_cast<size_t>(length) + 1, '\0');
  dump.resize(static_cast<size_t>(Control().DumpBoard(board, dump.data(), length + 1)));
  return dump;
}

// The objects of a board's dump by kind: the word after each line's "#N ".
std::map<std::string, int> ObjectsByKind(const std::string& dump) {
  std::map<std::string, int> kinds;
  for (size_t line = 0; line < dump.size(); line = dump.find('\n', line) + 1) {
    if (dump[line] == '#') {
      const size_t kind = dump.find(' ', line) + 1;
      ++kinds[dump.substr(kind, dump.find(' ', kind) - kind)];
    }
    if (dump.find('\n', line) == std::string::npos)
      break;
  }
  return kinds;
}

std::string CallLogText() {
  const int32_t length = Control().GetCallLog(nullptr, 0);
  std::string log(static_cast<size_t>(length) + 1, '\0');
  log.resize(static_cast<size_t>(Control().GetCallLog(log.data(), length + 1)));
  return log;
}

int Occurrences(const std::string& text, const std::string& what) {
  int count = 0;
  for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1))
    ++count;
  return count;
}

std::string ReadText(const std::string& path) {
  std::unique_ptr<FILE, int (*)(FILE*)> file(fopen(path.c_str(), "rb"), fclose);
  if (!file)
    return {};
  std::string text;
  char buffer[4096];
  for (size_t got; (got = fread(buffer, 1, sizeof buffer, file.get())) > 0;)
    text.append(buffer, got);
  return text;
}

void Snapshot(const std::string& folder, TFileSnapshot& files) {
  WIN32_FIND_DATAA found;
  HANDLE search = FindFirstFileA((folder + "*").c_str(), &found);
  if (search == INVALID_HANDLE_VALUE)
    return;
  do {
    const std::string name = found.cFileName;
    if (name == "." || name == "..")
      continue;
    if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
      Snapshot(folder + name + "\\", files);
      continue;
    }
    files[folder + name] = std::to_string(found.nFileSizeLow) + "/" +
                           std::to_string(found.ftLastWriteTime.dwLowDateTime) + "/" +
                           std::to_string(found.ftLastWriteTime.dwHighDateTime);
  } while (FindNextFileA(search, &found));
  FindClose(search);
}

}  // namespace

int HostileHostLayer(int index) {
  return index < 31 ? eTopLayer + index : index < 47 ? eMechanical1 + index - 31 : eMechanical16;
}

THostileOutcome ImportHostileFile(const std::string& path, uint32_t board, const std::string& label,
                                  double deadlineSeconds, TKivoReadingHooks* hooks) {
  THostileOutcome outcome;
  // Both call logs kept for this import alone: kept across a campaign's tens of thousands
  // of imports, the host's fragments the heap until every allocation crawls.
  Control().ClearCallLog();
  standin::ClearCallLog();
  const std::string reportPath = ChangeFileExt(path, ".rpt");
  if (!SameFile(reportPath, path))
    DeleteFileA(reportPath.c_str());
  TKivoFile::SetImportOptionsHandler(MapEachLayerApart);
  // The unrecognised file's error box is answered when it comes; nothing else may show one.
  TUIAutomation automation(/*deadlineMs=*/static_cast<unsigned>(deadlineSeconds * 1000) + 1000);
  automation.ClickButton("Vantor Suite Error", "OK");

  TDeadlineWatch::Instance().Arm(label, deadlineSeconds);
  const auto start = std::chrono::steady_clock::now();
  {
    // The reader's road of ImportFileIntoPcb: what the reader raises is an unknown
    // import error, and the report is written.
    // The report at its default detail: what a warning written only at a finer detail
    // tells, the user does not read.
    TReportManager report(path);
    try {
      TKivoFile reader(path, board, {hooks});
      reader.SetReport(&report);
      reader.Load();
    } catch (...) {
      report.AddImportError(0);
    }
    try {
      report.WriteReport();
    } catch (const std::exception& error) {
      // ImportFileIntoPcb tells the user; the import's outcome stands.
      outcome.ReportError = error.what();
    }
    outcome.Result = report.GetLoadErrorCount() + report.GetImportErrorCount() == 0;
    outcome.ReportPath = report.GetReportPath();
    outcome.LoadWarnings = report.GetLoadWarningCount();
  }
  outcome.Seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  TDeadlineWatch::Instance().Disarm();
  TKivoFile::SetImportOptionsHandler(nullptr);

  outcome.ErrorBoxes = automation.GetDone() ? 1 : 0;
  const std::string report = outcome.ReportPath.empty() ? std::string() : ReadText(outcome.ReportPath);
  outcome.ReportWritten = !report.empty();
  outcome.EndsEarly = report.find("\r\nWARNING: The file ends") != std::string::npos;
  outcome.ReportSays = report.find("\r\nLoad Errors : 0\r\n") != std::string::npos &&
                       report.find("\r\nImport Errors : 0\r\n") != std::string::npos;
  const std::string log = CallLogText();
  outcome.BracketBegins = Occurrences(log, "PcbApi_EventRouter_SendMessage(0, 0, 7, 0)");
  outcome.BracketEnds = Occurrences(log, "PcbApi_EventRouter_SendMessage(0, 0, 8, 0)");
  outcome.Report = report;
  outcome.Dump = BoardDump(board);
  outcome.Objects = ObjectsByKind(outcome.Dump);
  return outcome;
}

std::string HostileOutcomeFailures(const THostileOutcome& outcome) {
  std::string failures;
  if (!outcome.ReportError.empty() && outcome.ReportError.find(".rpt") == std::string::npos)
    failures += " the report failed without naming it: " + outcome.ReportError + ";";
  else if (!outcome.ReportWritten && outcome.ReportError.empty())
    failures += " no report was written;";
  else if (outcome.ReportWritten && outcome.Result != outcome.ReportSays)
    failures += std::string(" the import answered ") + (outcome.Result ? "True" : "False") +
                " but its report says otherwise;";
  if (outcome.BracketBegins != outcome.BracketEnds || outcome.BracketBegins > 1)
    failures += " the board-modify bracket was opened " + std::to_string(outcome.BracketBegins) +
                " and closed " + std::to_string(outcome.BracketEnds) + " times;";
  if (outcome.ErrorBoxes > 0 && outcome.Result)
    failures += " an error box was shown yet the import answered True;";
  return failures;
}

TFileSnapshot SnapshotFiles(const std::string& folder) {
  TFileSnapshot files;
  Snapshot(IncludeTrailingPathDelimiter(folder), files);
  return files;
}

std::vector<std::string> ChangedFiles(const TFileSnapshot& before, const TFileSnapshot& after) {
  std::vector<std::string> changed;
  for (const auto& [name, stamp] : after) {
    auto old = before.find(name);
    if (old == before.end() || old->second != stamp)
      changed.push_back(name);
  }
  return changed;
}
