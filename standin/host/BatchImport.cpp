#include "standin/host/BatchImport.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <map>
#include <optional>
#include <sstream>

#include "classlib/FileUtils.h"
#include "standin/host/HostObjects.h"
#include "standin/host/StandinHost.h"
#include "standin/ravelo/RaveloControl.h"

namespace standin {

namespace {

using TRecognisedPCBFile = uint8_t(__stdcall*)(const uint8_t*);
using TImportFileIntoPcb = uint8_t(__stdcall*)(const uint8_t*, const uint8_t*);

// The counts the translation report gives for errors and warnings.
struct TReportCounts {
  bool Read = false;
  int LoadErrors = 0;
  int ImportErrors = 0;
  int LoadWarnings = 0;
  int ImportWarnings = 0;
};

// A short string of 255 characters as the host passes file names to the exports.
struct THostShortString {
  explicit THostShortString(const std::string& text) {
    const size_t length = std::min<size_t>(text.size(), 255);
    Bytes[0] = static_cast<uint8_t>(length);
    std::copy_n(text.data(), length, Bytes + 1);
  }
  uint8_t Bytes[256] = {};
};

std::string FullPath(const std::string& fileName) {
  char full[MAX_PATH] = "";
  DWORD length = GetFullPathNameA(fileName.c_str(), MAX_PATH, full, nullptr);
  return length > 0 && length < MAX_PATH ? std::string(full) : fileName;
}

// The report the plug-in wrote in this run: the last file it had the host name.
std::string ReportPath() {
  std::vector<std::string> assigned = CallsStartingWith("VFSAPI_VFSAssignFile(");
  if (assigned.empty())
    return {};
  const std::string& line = assigned.back();
  const size_t at = line.rfind("-> \"");
  if (at == std::string::npos || line.back() != '"')
    return {};
  return line.substr(at + 4, line.size() - at - 5);
}

// Whether `path` was written at or after `since`.
bool WrittenSince(const std::string& path, const FILETIME& since) {
  WIN32_FILE_ATTRIBUTE_DATA data{};
  return GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data) &&
         !(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) &&
         CompareFileTime(&data.ftLastWriteTime, &since) >= 0;
}

TReportCounts ReadCounts(const std::string& reportPath) {
  TReportCounts counts;
  std::ifstream report(reportPath);
  if (reportPath.empty() || !report)
    return counts;
  const std::pair<const char*, int*> fields[] = {{"Load Errors : ", &counts.LoadErrors},
                                                 {"Import Errors : ", &counts.ImportErrors},
                                                 {"Load Warnings : ", &counts.LoadWarnings},
                                                 {"Import Warnings : ", &counts.ImportWarnings}};
  std::string line;
  int found = 0;
  while (std::getline(report, line))
    for (const auto& [label, value] : fields)
      if (line.rfind(label, 0) == 0) {
        *value = atoi(line.c_str() + strlen(label));
        ++found;
      }
  counts.Read = found == 4;
  return counts;
}

std::string BoardDump(uint32_t board) {
  HMODULE server = GetModuleHandleA("Ravelo.dll");
  auto dump = server ? reinterpret_cast<TRaveloDumpBoard>(reinterpret_cast<void*>(
                           GetProcAddress(server, "Ravelo_DumpBoard")))
                     : nullptr;
  if (!dump || !board)
    return {};
  const int32_t length = dump(board, nullptr, 0);
  std::string text(size_t(std::max(length, 0)) + 1, '\0');
  dump(board, text.data(), int32_t(text.size()));
  text.resize(size_t(std::max(length, 0)));
  return text;
}

// "12 track, 3 arc" from the dump's object lines ("#5 track owner=#1 ...").
std::string ObjectsByKind(const std::string& dump) {
  std::map<std::string, int> kinds;
  std::istringstream lines(dump);
  std::string line;
  while (std::getline(lines, line)) {
    if (line.empty() || line[0] != '#')
      continue;
    std::istringstream words(line);
    std::string handle, kind;
    if (words >> handle >> kind)
      ++kinds[kind];
  }
  std::string text;
  for (const auto& [kind, count] : kinds)
    text += (text.empty() ? "" : ", ") + std::to_string(count) + " " + kind;
  return text.empty() ? "none" : text;
}

// Control characters of a shown text as C escapes, so that one line stays one line.
std::string Escaped(const std::string& text) {
  std::string out;
  for (char c : text) {
    if (c == '\r')
      out += "\\r";
    else if (c == '\n')
      out += "\\n";
    else
      out += c;
  }
  return out;
}

bool WriteFile(const std::string& fileName, const std::string& text) {
  std::ofstream file(fileName, std::ios::binary | std::ios::trunc);
  file << text;
  return bool(file);
}

}  // namespace

void PrintDialogLog(const TDialogLog& log, const char* when) {
  for (const std::string& text : log.ErrorBoxes)
    printf("Error box%s: \"%s\"\n", when, Escaped(text).c_str());
  for (const std::string& text : log.MessageBoxes)
    printf("Message box%s: %s\n", when, Escaped(text).c_str());
  for (const std::string& failure : log.Failures)
    printf("Dialog not answered as asked%s: %s\n", when, failure.c_str());
}

int RunBatchImport(HMODULE plugin, PluginCommandLauncher* launcher, const TBatchOptions& options,
                   TDialogWatcher* watcher) {
  const std::string file = options.FileName.empty() ? std::string() : FullPath(options.FileName);
  const bool interactive = HostOptions().Interactive;
  const bool shots = !options.Shots.Folder.empty();
  std::optional<TDialogShooter> shooter;
  if (shots) {
    TShotScript script = options.Shots;
    script.CancelOptions = options.Dialogs.CancelOptions;
    shooter.emplace(std::move(script));
  }
  // A report written by this run is younger than this (the dialogs before it take
  // longer than the file system's clock lags).
  FILETIME started{};
  GetSystemTimeAsFileTime(&started);

  bool exportResult = true;
  uint32_t board = 0;
  std::string imported = file;
  if (options.Direct) {
    printf("Import of \"%s\" through ImportFileIntoPcb\n", file.c_str());
    auto recognise = reinterpret_cast<TRecognisedPCBFile>(
        reinterpret_cast<void*>(GetProcAddress(plugin, "RecognisedPCBFile")));
    auto import = reinterpret_cast<TImportFileIntoPcb>(
        reinterpret_cast<void*>(GetProcAddress(plugin, "ImportFileIntoPcb")));
    if (!recognise || !import) {
      fprintf(stderr, "KivoHost: LoadKIVO.dll lacks RecognisedPCBFile or ImportFileIntoPcb\n");
      return 1;
    }
    // The host's import list offers the file only when the importer recognises it, and
    // imports it into the board it opens under the file's name.
    const THostShortString name(file), none("");
    const bool recognised = recognise(name.Bytes) != 0;
    printf("RecognisedPCBFile: %s\n", recognised ? "True" : "False");
    exportResult = false;
    if (recognised) {
      board = CreatePcbBoard(file);
      exportResult = import(name.Bytes, none.Bytes) != 0;
      printf("ImportFileIntoPcb: %s\n", exportResult ? "True" : "False");
    }
  } else {
    printf("Import of \"%s\" through the command LoadKIVOPCBFile\n", file.c_str());
    const std::string parameters = file.empty() ? std::string() : "FileName=" + file;
    launcher->Launch("LoadKIVOPCBFile", parameters.c_str(), 0, nullptr);
    board = CurrentPcbBoard();
    imported = CurrentPcbSource();
    printf("New PCB document: %s\n", board ? Quote(CurrentPcbName().c_str()).c_str() : "none");
  }
  const TDialogLog log = watcher ? watcher->TakeLog() : shooter ? shooter->Log() : TDialogLog{};
  if (shooter)
    for (const std::string& shot : shooter->Written())
      printf("Screenshot: %s\n", shot.c_str());
  shooter.reset();

  if (!interactive)
    printf("Options dialog: %s\n", !log.OptionsShown              ? "not shown"
                                   : options.Dialogs.CancelOptions ? "Cancel"
                                                                   : "OK");
  if (interactive)
    printf("Status dialog: answered by the user\n");
  else if (log.StatusShown && shots)
    printf("Status dialog: shown and closed\n");
  else if (log.StatusShown)
    printf("Status dialog: \"%s\"\n", log.StatusText.c_str());
  else
    printf("Status dialog: not shown\n");
  PrintDialogLog(log, "");

  // The report the plug-in named in this run, if it wrote it: one it could not write
  // may be an older one, or not there at all.
  const std::string reportPath = ReportPath();
  const bool reportWritten = !reportPath.empty() && WrittenSince(reportPath, started);
  const TReportCounts counts = reportWritten ? ReadCounts(reportPath) : TReportCounts{};
  if (counts.Read) {
    printf("Errors: %d (load %d, import %d)\n", counts.LoadErrors + counts.ImportErrors,
           counts.LoadErrors, counts.ImportErrors);
    printf("Warnings: %d (load %d, import %d)\n", counts.LoadWarnings + counts.ImportWarnings,
           counts.LoadWarnings, counts.ImportWarnings);
  }
  if (reportPath.empty())
    printf("Report: none\n");
  else if (!reportWritten)
    printf("Report: not written (%s)\n", reportPath.c_str());
  else
    printf("Report: %s\n", reportPath.c_str());
  if (!reportPath.empty() && SameFileName(CurrentDocumentName(), reportPath))
    printf("Report shown in the host's \"%s\" view\n", CurrentDocumentViewKind().c_str());

  const std::string dump = BoardDump(board);
  if (board) {
    printf("Objects: %s\n", ObjectsByKind(dump).c_str());
    // Never over the imported file itself.
    std::string dumpPath = ChangeFileExt(imported, ".dump");
    if (SameFile(dumpPath, imported))
      dumpPath = ChangeFileExt(imported, "") + "-board.dump";
    if (!imported.empty() && WriteFile(dumpPath, dump))
      printf("Dump: %s\n", dumpPath.c_str());
    else
      printf("Dump: not written\n");
  }

  // Without a report of this run, the status dialog tells the outcome.
  const bool statusSaysImported = log.StatusText == "Status: Translation Successful" ||
                                  log.StatusText.rfind("Status: Translation Complete", 0) == 0;
  const bool noErrors = counts.Read ? counts.LoadErrors + counts.ImportErrors == 0
                                    : !reportWritten && statusSaysImported;
  const bool success = exportResult && noErrors && (interactive || log.StatusShown);
  printf("Result: %s\n", success ? "imported" : "failed");
  fflush(stdout);
  return success ? 0 : kImportFailed;
}

}  // namespace standin
