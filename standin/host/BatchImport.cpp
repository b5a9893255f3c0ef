#include "standin/host/BatchImport.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <map>
#include <optional>
#include <string_view>

#include "classlib/Boundary.h"
#include "classlib/FileReplacement.h"
#include "classlib/FileUtils.h"
#include "standin/host/HostObjects.h"
#include "standin/host/StandinHost.h"
#include "standin/ravelo/RaveloControl.h"

#include <emmintrin.h>

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
  if (length == 0 || length >= MAX_PATH)
    return fileName;
  // A file named like a device ("CON.pdf") comes back as the device ("\\.\CON"): the
  // folder is made full and the name kept, as the user gave it.
  if (std::string(full).rfind("\\\\.\\", 0) == 0 && fileName.rfind("\\\\.\\", 0) != 0) {
    const std::string folder = ExtractFilePath(fileName);
    length = GetFullPathNameA(folder.empty() ? "." : folder.c_str(), MAX_PATH, full, nullptr);
    if (length == 0 || length >= MAX_PATH)
      return fileName;
    return IncludeTrailingPathDelimiter(full) + ExtractFileName(fileName);
  }
  return full;
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

// The report is read as bytes: in text mode a 0x1A in it would end the reading there.
TReportCounts ReadCounts(const std::string& reportPath) {
  TReportCounts counts;
  std::ifstream report(reportPath, std::ios::binary);
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

// The board's dump as the server hands it over, in pieces of whole lines: written to its
// file (when it has one) and its object lines ("#5 track owner=#1 ...") counted by kind.
// Nothing of it is held beyond a piece: the dump of a large board runs to gigabytes.
class TBoardDump {
 public:
  // `path` empty: the dump is only counted. The dump is written beside an earlier dump
  // of that name and takes its place only once whole, so that a dump the disk cannot
  // hold leaves the earlier one as it was.
  explicit TBoardDump(const std::string& path) : FPath(path) {
    if (path.empty())
      return;
    FReplacement.emplace(path);
    if (!FReplacement->GetError())
      FFile = CreateFileA(FReplacement->GetWriteName().c_str(), GENERIC_WRITE, 0, nullptr,
                          CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  }
  ~TBoardDump() { Close(); }
  TBoardDump(const TBoardDump&) = delete;
  TBoardDump& operator=(const TBoardDump&) = delete;

  // Asks the server for the dump of `board`; false when it has none to give.
  bool Take(uint32_t board) {
    HMODULE server = GetModuleHandleA("Ravelo.dll");
    auto dump = server ? reinterpret_cast<TRaveloDumpBoardTo>(reinterpret_cast<void*>(
                             GetProcAddress(server, "Ravelo_DumpBoardTo")))
                       : nullptr;
    const bool taken = dump && board && dump(board, Piece, this) == 0;
    const bool opened = FFile != INVALID_HANDLE_VALUE;
    const bool closed = Close();
    FWritten = taken && opened && !FWriteFailed && closed && FReplacement->Commit() == 0;
    // A dump written in place (its folder takes no new file) but not whole is not left
    // as if it were the dump; a new file beside goes with the replacement.
    if (opened && !FWritten && SameFile(FReplacement->GetWriteName(), FPath))
      DeleteFileA(FPath.c_str());
    return taken;
  }
  bool Written() const { return FWritten; }
  // "12 track, 3 arc", by kind name; "none" for no object.
  std::string ObjectsByKind() const {
    std::string text;
    for (const auto& [kind, count] : FKinds)
      text += (text.empty() ? "" : ", ") + std::to_string(count) + " " + kind;
    return text.empty() ? "none" : text;
  }

 private:
  static int32_t __stdcall Piece(void* context, const char* text, int32_t length) {
    return GuardBoundaryResult("KivoHost dump", int32_t{0}, [&] {
      static_cast<TBoardDump*>(context)->Add(text, static_cast<size_t>(length));
      return int32_t{1};
    });
  }
  void Add(const char* text, size_t length) {
    for (const char* at = text; at < text + length;) {
      const char* end = LineEnd(at, text + length);
      if (*at == '#')
        CountLine(std::string_view(at, static_cast<size_t>(end - at)));
      at = end + 1;
    }
    DWORD written = 0;
    if (FFile != INVALID_HANDLE_VALUE && !FWriteFailed &&
        !(::WriteFile(FFile, text, static_cast<DWORD>(length), &written, nullptr) &&
          written == length))
      FWriteFailed = true;
  }
  // The first "\n" from `at` on, or `end`; sixteen characters a step (the runtime's
  // memchr goes one by one).
  static const char* LineEnd(const char* at, const char* end) {
    const __m128i newline = _mm_set1_epi8('\n');
    for (; end - at >= 16; at += 16) {
      const __m128i chunk = _mm_loadu_si128(reinterpret_cast<const __m128i*>(at));
      if (const int found = _mm_movemask_epi8(_mm_cmpeq_epi8(chunk, newline)))
        return at + __builtin_ctz(static_cast<unsigned>(found));
    }
    while (at < end && *at != '\n')
      ++at;
    return at;
  }
  // The second word of an object line is its kind.
  void CountLine(std::string_view line) {
    const size_t start = line.find(' ');
    if (start == std::string_view::npos)
      return;
    const size_t end = line.find(' ', start + 1);
    const std::string_view kind =
        line.substr(start + 1, (end == std::string_view::npos ? line.size() : end) - start - 1);
    if (kind.empty())
      return;
    // Objects of one kind mostly come together.
    if (!FLast || FLast->first != kind)
      FLast = &*FKinds.try_emplace(std::string(kind), 0).first;
    ++FLast->second;
  }
  // False when the file would not close (its last bytes not written).
  bool Close() {
    const bool closed = FFile == INVALID_HANDLE_VALUE || CloseHandle(FFile);
    FFile = INVALID_HANDLE_VALUE;
    return closed;
  }

  std::string FPath;
  std::optional<TFileReplacement> FReplacement;
  HANDLE FFile = INVALID_HANDLE_VALUE;
  bool FWriteFailed = false;
  bool FWritten = false;
  std::map<std::string, int, std::less<>> FKinds;
  std::pair<const std::string, int>* FLast = nullptr;
};

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

  if (board) {
    // Never over the imported file itself.
    std::string dumpPath = ChangeFileExt(imported, ".dump");
    if (SameFile(dumpPath, imported))
      dumpPath = ChangeFileExt(imported, "") + "-board.dump";
    TBoardDump dump(imported.empty() ? std::string() : dumpPath);
    dump.Take(board);
    printf("Objects: %s\n", dump.ObjectsByKind().c_str());
    if (dump.Written())
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
