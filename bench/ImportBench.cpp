// Import throughput and memory on generated KIVO boards of several sizes. For each
// size it measures four stages, each in a fresh child process (so that its peak memory
// is its own):
//   plain     the file's bytes read in 64 KB blocks and summed;
//   tokens    every token read with the word set, blanks skipped (the tokenizer alone);
//   read      TKivoFile::Load with the options answered Cancel: the whole file read
//             into the model, nothing translated;
//   import    TKivoFile::Load with the options answered OK: read, translate into the
//             stand-in PCB server's board and place (the server keeps no call log);
//   unmapped  the same with no layer mapped, as a board imported without its
//             configuration: every component ends empty and is destroyed (not run
//             unless asked for);
//   host      the host run that scripts/run.sh makes, timed from outside: KivoHost.exe
//             imports the board with its configuration, answers the dialogs, keeps its
//             call log and writes the report and the dump (not run unless asked for).
// It prints MB/s, objects/s, each stage's time as a multiple of the plain read and of
// the stage before, the growth of each stage's time against the size before, and the
// peak working set and page-file use of each stage.
//
//   ImportBench [--sizes 1,10,100,200] [--seed N] [--stages plain,tokens,read,import]
//               [--repeat N]   (each size's stages N times in turn)
//               [--board generated|long-values]
//   ImportBench --generate <file> <MB> [seed]     (writes one board and its
//                                                  configuration <file>.cfg and stops)
//
// The boards are the generator's (tools/kivogen), or with --board long-values boards of
// long quoted values: nets whose attributes (ATR, skipped by the reading) hold a value of
// a megabyte of braces, and texts whose values are a megabyte long (read, and cut).
#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <new>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "bench/ImportBenchUnits.h"
#include "bench/PlainRead.h"
#include "classlib/FileUtils.h"
#include "classlib/Startup.h"
#include "classlib/Streams.h"
#include "classlib/TextFile.h"
#include "classlib/Win.h"
#include "importer/KivoFile.h"
#include "importer/KivoTokenizer.h"
#include "importer/ReportManager.h"
#include "pcb/Layers.h"
#include "standin/ravelo/RaveloControl.h"
#include "tools/kivogen/KivoBoardGenerator.h"

#include <psapi.h>

namespace {

struct TStageResult {
  bool Ok = false;
  double Seconds = 0;
  double PeakWorkingSet = 0;  // MB
  double PeakPagefile = 0;    // MB
  std::string Failure;
};

const char* const kStages[] = {"plain", "tokens", "read", "import"};

double PeakMB(bool workingSet) {
  PROCESS_MEMORY_COUNTERS counters{};
  counters.cb = sizeof counters;
  if (!GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters))
    return -1;
  return (workingSet ? counters.PeakWorkingSetSize : counters.PeakPagefileUsage) / 1048576.0;
}

// The long-values board of at least `targetBytes` bytes (see above).
TKivoBoardFigures GenerateLongValuesBoard(const std::string& path, int64_t targetBytes) {
  std::unique_ptr<FILE, int (*)(FILE*)> file(fopen(path.c_str(), "wb"), fclose);
  TKivoBoardFigures figures;
  auto write = [&](const std::string& text) {
    if (!file || fwrite(text.data(), 1, text.size(), file.get()) != text.size())
      throw std::runtime_error("cannot write " + path);
    figures.Bytes += static_cast<int64_t>(text.size());
  };
  const std::string braces(1 << 20, '{');
  write("{COMPONENT \"LONG VALUES\"\r\n"
        "{ENVIRONMENT {KIVOVREV \"3.0\"} {DBUNIT \"MIL\"} {DBGRID 1}\r\n"
        " {LYRSTR \"TOP\" 1 \"BOTTOM\" 2 \"SILK\" 3}}\r\n"
        "{DETAIL\r\n{NET_DEF\r\n");
  for (int net = 0; figures.Bytes < targetBytes / 2; ++net, ++figures.Objects)
    write("{N N" + std::to_string(net) + " {ATR {CLASS \"" + braces + "\"}}\r\n" +
          " {DG [LY \"TOP\"] [WD 10] {W 0 0 100 " + std::to_string(net % 1000) + "}}}\r\n");
  write("}\r\n{ANNOTATE [LY \"SILK\"] [WD 10] [TS 60]\r\n");
  for (int text = 0; figures.Bytes < targetBytes; ++text, ++figures.Objects)
    write(" {T \"" + braces + "\" " + std::to_string(text % 1000) + " 0}\r\n");
  write("}\r\n}\r\n}\r\n");
  if (fclose(file.release()) != 0)
    throw std::runtime_error("cannot write " + path);
  return figures;
}

// The board of the case asked for.
TKivoBoardFigures GenerateBoard(const std::string& board, const std::string& path, double mb,
                                uint64_t seed) {
  const int64_t bytes = static_cast<int64_t>(mb * 1048576.0);
  return board == "long-values" ? GenerateLongValuesBoard(path, bytes)
                                : GenerateKivoBoard(path, bytes, seed);
}

// --- the stages, run in the child -------------------------------------------------

int64_t Tokens(const std::string& path) {
  TKivoSource file;
  file.Assign(path);
  file.Reset();
  int64_t sum = 0;
  while (!file.Eof())
    sum += GetToken(file, WordSet(), /*skipBlanks=*/true);
  file.Close();
  return sum;
}

// The generated board's layers mapped as its configuration maps them.
bool MapBoardLayers(TKivoFile& reader, PadStackMapRecord&) {
  TStringList& layers = reader.GetBoardComponent().GetEnvironment().GetLayerStrings();
  for (int i = 0; i < layers.GetCount(); ++i)
    for (const TKivoBoardLayer& layer : cKivoBoardLayers)
      if (layers.Get(i) == layer.Name)
        static_cast<KivoLayerEntry*>(layers.GetObject(i))
            ->SetHostLayer(static_cast<TLayer>(StringToLayer(layer.HostLayer)));
  return true;
}

template <class T>
T RaveloEntry(const char* name) {
  auto entry = reinterpret_cast<T>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("Ravelo.dll"), name)));
  if (!entry)
    throw std::runtime_error(std::string("Ravelo.dll has no ") + name);
  return entry;
}

int64_t Load(const std::string& path, const std::string& stage) {
  const bool translate = stage != "read";
  const uint32_t board = RaveloEntry<TRaveloCreateBoard>("Ravelo_CreateBoard")(path.c_str());
  RaveloEntry<TRaveloSetCurrentBoard>("Ravelo_SetCurrentBoard")(board);
  // The server's call log is a test aid, not part of an import.
  RaveloEntry<TRaveloKeepCallLog>("Ravelo_KeepCallLog")(0);
  TKivoFile::SetImportOptionsHandler(
      stage == "import" ? TKivoFile::TImportOptionsHandler(MapBoardLayers)
                        : [translate](TKivoFile&, PadStackMapRecord&) { return translate; });
  TReportManager report(path);
  TKivoFile reader(path, board);
  reader.SetReport(&report);
  reader.Load();
  return reader.GetBoardComponent().GetDetail().GetAnnotations().size();
}

// Runs one stage and writes "seconds peakWorkingSet peakPagefile" (or "failed <why>")
// into `resultPath`.
int RunStage(const std::string& stage, const std::string& path, const std::string& resultPath) {
  std::string result;
  try {
    if (stage != "plain" && !StartUnits(ImportBenchUnits()))
      throw std::runtime_error("start-up of the units failed");
    const auto start = std::chrono::steady_clock::now();
    volatile int64_t sink = stage == "plain"    ? PlainRead(path)
                            : stage == "tokens" ? Tokens(path)
                                                : Load(path, stage);
    (void)sink;
    const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
    char line[128];
    snprintf(line, sizeof line, "%.6f %.1f %.1f", took.count(), PeakMB(true), PeakMB(false));
    result = line;
  } catch (const std::bad_alloc&) {
    result = "failed out of memory";
  } catch (const std::exception& error) {
    result = std::string("failed ") + error.what();
  }
  FILE* out = fopen(resultPath.c_str(), "wb");
  if (out) {
    fputs(result.c_str(), out);
    fclose(out);
  }
  // The units are not stopped: the process ends here and the board's teardown is not
  // what is measured.
  fflush(stdout);
  ExitProcess(0);
}

// --- the parent ---------------------------------------------------------------------

TStageResult RunChild(const std::string& stage, const std::string& path) {
  const std::string resultPath = path + "." + stage + ".result";
  DeleteFileA(resultPath.c_str());
  std::string command = "\"" + GetModuleName(nullptr) + "\" --stage " + stage + " \"" + path +
                        "\" \"" + resultPath + "\"";
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  TStageResult result;
  if (!CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                      &startup, &process)) {
    result.Failure = "cannot start the child process";
    return result;
  }
  WaitForSingleObject(process.hProcess, INFINITE);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  FILE* in = fopen(resultPath.c_str(), "rb");
  if (!in) {
    result.Failure = "the child process ended without a result (crashed?)";
    return result;
  }
  char line[256] = {};
  fread(line, 1, sizeof line - 1, in);
  fclose(in);
  DeleteFileA(resultPath.c_str());
  if (sscanf(line, "%lf %lf %lf", &result.Seconds, &result.PeakWorkingSet, &result.PeakPagefile) ==
      3) {
    result.Ok = true;
  } else {
    result.Failure = line;
  }
  return result;
}

// The host run, as scripts/run.sh makes it (the host's output goes nowhere), timed from
// its start to its end; its peak working set as the system counts it for the process.
TStageResult RunHost(const std::string& path) {
  TStageResult result;
  std::string command = "\"" + ExtractFilePath(GetModuleName(nullptr)) + "KivoHost.exe\" \"" +
                        path + "\" --config \"" + ChangeFileExt(path, ".cfg") + "\"";
  SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
  HANDLE nowhere =
      CreateFileA("NUL", GENERIC_WRITE, FILE_SHARE_WRITE, &inherit, OPEN_EXISTING, 0, nullptr);
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdOutput = startup.hStdError = nowhere;
  PROCESS_INFORMATION process{};
  const auto start = std::chrono::steady_clock::now();
  const bool started = CreateProcessA(nullptr, command.data(), nullptr, nullptr, TRUE, 0, nullptr,
                                      nullptr, &startup, &process);
  if (nowhere != INVALID_HANDLE_VALUE)
    CloseHandle(nowhere);
  if (!started) {
    result.Failure = "cannot start KivoHost.exe";
    return result;
  }
  WaitForSingleObject(process.hProcess, INFINITE);
  const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
  DWORD exitCode = 1;
  GetExitCodeProcess(process.hProcess, &exitCode);
  PROCESS_MEMORY_COUNTERS counters{};
  counters.cb = sizeof counters;
  const bool counted = GetProcessMemoryInfo(process.hProcess, &counters, sizeof counters);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  DeleteFileA(ChangeFileExt(path, ".rpt").c_str());
  DeleteFileA(ChangeFileExt(path, ".dump").c_str());
  if (exitCode != 0) {
    result.Failure = "the host's import failed (exit code " + std::to_string(exitCode) + ")";
    return result;
  }
  result.Ok = true;
  result.Seconds = took.count();
  result.PeakWorkingSet = counted ? counters.PeakWorkingSetSize / 1048576.0 : 0;
  result.PeakPagefile = counted ? counters.PeakPagefileUsage / 1048576.0 : 0;
  return result;
}

std::vector<std::string> SplitList(const std::string& text) {
  std::vector<std::string> items;
  std::stringstream stream(text);
  for (std::string item; std::getline(stream, item, ',');)
    if (!item.empty())
      items.push_back(item);
  return items;
}

std::string TempFolder() {
  char temp[MAX_PATH];
  GetTempPathA(MAX_PATH, temp);
  return IncludeTrailingPathDelimiter(temp);
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
  if (args.size() == 4 && args[0] == "--stage")
    return RunStage(args[1], args[2], args[3]);
  if (!args.empty() && args[0] == "--generate") {
    if (args.size() < 3) {
      fprintf(stderr, "usage: ImportBench --generate <file> <MB> [seed]\n");
      return 2;
    }
    const uint64_t seed = args.size() > 3 ? strtoull(args[3].c_str(), nullptr, 10) : 1;
    const TKivoBoardFigures figures = GenerateKivoBoard(
        args[1], static_cast<int64_t>(atof(args[2].c_str()) * 1048576.0), seed);
    WriteKivoBoardConfiguration(ChangeFileExt(args[1], ".cfg"));
    printf("%s: %lld bytes, %lld objects; configuration %s\n", args[1].c_str(),
           static_cast<long long>(figures.Bytes), static_cast<long long>(figures.Objects),
           ChangeFileExt(args[1], ".cfg").c_str());
    return 0;
  }

  std::vector<std::string> sizes = {"1", "10", "100", "200"};
  std::vector<std::string> stages(std::begin(kStages), std::end(kStages));
  uint64_t seed = 1;
  int repeat = 1;
  std::string board = "generated";
  for (size_t i = 0; i + 1 < args.size(); i += 2) {
    if (args[i] == "--board")
      board = args[i + 1];
    else if (args[i] == "--repeat")
      repeat = std::max(1, atoi(args[i + 1].c_str()));
    else if (args[i] == "--sizes")
      sizes = SplitList(args[i + 1]);
    else if (args[i] == "--seed")
      seed = strtoull(args[i + 1].c_str(), nullptr, 10);
    else if (args[i] == "--stages")
      stages = SplitList(args[i + 1]);
  }

  printf("%-6s %-7s %9s %9s %12s %8s %8s %8s %9s %9s %6s\n", "size", "stage", "seconds", "MB/s",
         "objects/s", "x plain", "x prev", "growth", "peak WS", "peak PF", "WS/file");
  std::vector<double> previousSizeSeconds(stages.size(), 0);
  double previousMB = 0;
  for (const std::string& size : sizes) {
    const std::string path = TempFolder() + "kivo-import-bench-" + size + ".pdf";
    const TKivoBoardFigures figures = GenerateBoard(board, path, atof(size.c_str()), seed);
    WriteKivoBoardConfiguration(ChangeFileExt(path, ".cfg"));
    const double mb = figures.Bytes / 1048576.0;
    PlainRead(path);  // the file cache is warm for every stage
    double plain = 0, previous = 0;
    std::vector<std::vector<double>> sizeSeconds(stages.size());  // each stage's runs
    // With --repeat the stages run in turn, so that their ratios are taken side by side.
    for (size_t step = 0; step < stages.size() * repeat; ++step) {
      const size_t s = step % stages.size();
      const TStageResult r =
          stages[s] == "host" ? RunHost(path) : RunChild(stages[s], path);
      if (!r.Ok) {
        printf("%-6.1f %-7s failed: %s\n", mb, stages[s].c_str(), r.Failure.c_str());
        previous = 0;
        continue;
      }
      if (stages[s] == "plain")
        plain = r.Seconds;
      const double growth = previousSizeSeconds[s] > 0
                                ? (r.Seconds / previousSizeSeconds[s]) / (mb / previousMB)
                                : 0;
      printf("%-6.1f %-7s %9.3f %9.1f %12.0f %8.2f %8.2f %8.2f", mb, stages[s].c_str(), r.Seconds,
             mb / r.Seconds, figures.Objects / r.Seconds, plain > 0 ? r.Seconds / plain : 0,
             previous > 0 ? r.Seconds / previous : 0, growth);
      // Wine does not always count a process that has ended.
      if (r.PeakWorkingSet > 0)
        printf(" %8.0fM %8.0fM %6.2f\n", r.PeakWorkingSet, r.PeakPagefile, r.PeakWorkingSet / mb);
      else
        printf(" %9s %9s %6s\n", "-", "-", "-");
      previous = r.Seconds;
      sizeSeconds[s].push_back(r.Seconds);
    }
    // The next size's growth is taken against this size's median run of each stage.
    for (size_t s = 0; s < stages.size(); ++s) {
      std::vector<double>& runs = sizeSeconds[s];
      std::sort(runs.begin(), runs.end());
      previousSizeSeconds[s] = runs.empty() ? 0 : runs[runs.size() / 2];
    }
    previousMB = mb;
    fflush(stdout);
    DeleteFileA(path.c_str());
    DeleteFileA(ChangeFileExt(path, ".cfg").c_str());
  }
  printf("objects: graphic items, vias, pads, pins and instances in the file.\n"
         "host: the host run of scripts/run.sh, Wine's start of the process included.\n"
         "x plain: time over the plain read; x prev: over the stage above; growth: time\n"
         "ratio to the size before divided by the size ratio (1.00 is linear).\n"
         "peak WS / PF: the stage process's peak working set and page-file use, the process's\n"
         "own start-up (about 45 MB working set) included; WS/file: peak working set over the\n"
         "file's size.\n");
  return 0;
}
