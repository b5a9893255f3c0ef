// The stand-in host: sets up its windows, its client object and its exports, then loads
// LoadKIVO.dll as the real host does, gets the server module from ServerFactory and
// drives it through its module and command-launcher interfaces, calling Idle from its
// own message loop. It ends by printing every call the plug-in made into it.
//
//   KivoHost.exe [--answers FILE] [--interactive] [--preload-pcb] [--pcb-fails]
//                [--open-fails] [--create-fails] [--text-view KIND]
//                [--launch COMMAND [--params TEXT]] [--idle N]
//
// Batch import (a KIVO file given, or --batch): the file is imported by the command
// "LoadKIVOPCBFile" with its "FileName" (or, with --direct, by RecognisedPCBFile and
// ImportFileIntoPcb into a board opened under the file's name); the host's file dialog
// takes the scripted answers, the importer's dialogs are answered as below unless
// --interactive leaves them to a person. A summary follows; the board's dump is
// written beside the file (demo.pdf gives demo.dump); the call log only with --calls.
//
//   KivoHost.exe [FILE] [--batch] [--direct] [--options-cancel] [--tick CAPTION]
//                [--untick CAPTION] [--detail LEVEL] [--config FILE] [--save-config FILE]
//                [--toggle-view-report] [--deadline SECONDS] [--calls] ...
//
//   --options-cancel      "KIVO Importer" is closed with Cancel instead of OK
//   --tick / --untick     a report check box of "KIVO Importer" ("View Events")
//   --detail LEVEL        the report's detail level ("Brief", "Normal", "Full", "Detailed")
//   --config FILE         "Load Configuration" with FILE before OK
//   --save-config FILE    "Save Configuration" as FILE before OK (after --config)
//   --toggle-view-report  "View Report" of "KIVO Translator" is clicked before Close
//   --deadline SECONDS    how long a dialog may wait for its answer (30)
//   --screenshots FOLDER  the dialogs are driven through their states and each window
//                         saved there as a PNG file instead of being answered by script
//   --shots NAME,...      only these shots (standin/host/DialogShots.h names them)
//
// --disk-full BYTES makes the disk that holds the imported file full but for BYTES: the
// plug-in's writes there, and the host's own (the board's dump), are cut short, then fail
// (standin/host/DiskFull.h).
//
// --memory-left MB leaves only MB megabytes of the process's address space free once the
// plug-in is loaded (the rest is reserved), as on a host whose memory is nearly used up:
// the import of a board larger than that room runs out of memory
// (standin/host/AddressSpaceLimit.h).
//
// Switches try the batch run's watcher and watchdog: --message-box TEXT shows a plain
// system message box before the import, which the watcher must answer; --hang stops the
// host's user-interface thread for good before the import, --hang-unloading inside the
// plug-in's unloading and --hang-closing where the host ends its process, after its
// summary: only the watchdog's deadline ends those (standin/host/PlantedHangs.h).
//
// Exit code 0 on success, 1 when the plug-in cannot be loaded or driven, 2 when a batch
// import failed or did not happen, 3 when the plug-in called a slot it has no business
// calling, 4 when a batch run did not end within twice the deadline
// (standin/host/RunWatchdog.h).
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>

#include "classlib/FileUtils.h"
#include "standin/host/AddressSpaceLimit.h"
#include "standin/host/BatchImport.h"
#include "standin/host/DialogWatcher.h"
#include "standin/host/DiskFull.h"
#include "standin/host/HostObjects.h"
#include "standin/host/HostSide.h"
#include "standin/host/PlantedHangs.h"
#include "standin/host/RunWatchdog.h"
#include "standin/host/StandinHost.h"

namespace {

struct TRunOptions {
  std::string Launch;
  std::string Params;
  bool PreloadPcb = false;
  int IdleRounds = 3;
  bool Batch = false;
  bool CallsAsked = false;  // --calls: a batch run prints the call log too
  std::string MessageBox;   // --message-box TEXT
  bool Hang = false;        // --hang
  bool HangUnloading = false;  // --hang-unloading
  bool HangClosing = false;    // --hang-closing
  long long DiskFree = -1;  // --disk-full BYTES
  long long MemoryLeft = -1;  // --memory-left MB
  standin::TBatchOptions Import;
};

const char* Bool(uint8_t value) { return value ? "True" : "False"; }

bool ParseArguments(int argc, char** argv, TRunOptions& run) {
  standin::THostOptions& host = standin::HostOptions();
  for (int i = 1; i < argc; ++i) {
    std::string arg = argv[i];
    auto next = [&]() -> const char* { return i + 1 < argc ? argv[++i] : nullptr; };
    const char* value = nullptr;
    if (arg == "--answers" && (value = next())) {
      if (!standin::LoadAnswers(value)) {
        fprintf(stderr, "KivoHost: cannot read the answers file %s\n", value);
        return false;
      }
    } else if (arg == "--interactive") {
      host.Interactive = true;
    } else if (arg == "--preload-pcb") {
      run.PreloadPcb = true;
    } else if (arg == "--pcb-fails") {
      host.PcbServerFails = true;
    } else if (arg == "--open-fails") {
      host.OpenFails = true;
    } else if (arg == "--create-fails") {
      host.CreateFails = true;
    } else if (arg == "--batch") {
      run.Batch = true;
    } else if (arg == "--direct") {
      run.Import.Direct = true;
    } else if (arg == "--options-cancel") {
      run.Import.Dialogs.CancelOptions = true;
    } else if ((arg == "--tick" || arg == "--untick") && (value = next())) {
      run.Import.Dialogs.ReportBoxes.emplace_back(value, arg == "--tick");
    } else if (arg == "--detail" && (value = next())) {
      run.Import.Dialogs.DetailLevel = value;
    } else if (arg == "--config" && (value = next())) {
      run.Import.Dialogs.ConfigurationFile = value;
    } else if (arg == "--save-config" && (value = next())) {
      run.Import.Dialogs.SavedConfigurationFile = value;
    } else if (arg == "--toggle-view-report") {
      run.Import.Dialogs.ToggleViewReport = true;
    } else if (arg == "--deadline" && (value = next())) {
      run.Import.Dialogs.DeadlineMs = static_cast<unsigned>(atoi(value)) * 1000u;
    } else if (arg == "--screenshots" && (value = next())) {
      run.Import.Shots.Folder = value;
    } else if (arg == "--shots" && (value = next())) {
      std::string names = value;
      for (size_t start = 0; start <= names.size();) {
        const size_t end = std::min(names.find(',', start), names.size());
        if (end > start)
          run.Import.Shots.Shots.push_back(names.substr(start, end - start));
        start = end + 1;
      }
    } else if (arg == "--calls") {
      run.CallsAsked = true;
    } else if (arg == "--message-box" && (value = next())) {
      run.MessageBox = value;
    } else if (arg == "--hang") {
      run.Hang = true;
    } else if (arg == "--hang-unloading") {
      run.HangUnloading = true;
    } else if (arg == "--hang-closing") {
      run.HangClosing = true;
    } else if (arg == "--disk-full" && (value = next())) {
      run.DiskFree = atoll(value);
    } else if (arg == "--memory-left" && (value = next())) {
      run.MemoryLeft = atoll(value);
    } else if (!arg.empty() && arg[0] != '-' && run.Import.FileName.empty()) {
      run.Import.FileName = arg;
      run.Batch = true;
    } else if (arg == "--text-view" && (value = next())) {
      host.TextViewKind = value;
    } else if (arg == "--launch" && (value = next())) {
      run.Launch = value;
    } else if (arg == "--params" && (value = next())) {
      run.Params = value;
    } else if (arg == "--idle" && (value = next())) {
      run.IdleRounds = atoi(value);
    } else {
      fprintf(stderr, "KivoHost: unknown or incomplete argument %s\n", arg.c_str());
      return false;
    }
  }
  if (run.Import.Direct && run.Import.FileName.empty()) {
    fprintf(stderr, "KivoHost: --direct needs a KIVO file\n");
    return false;
  }
  return true;
}

// The host's message loop: dispatches what is waiting, then gives the module its idle
// call. A timer on the main window keeps the loop turning when the module's idle step
// waits for the next message.
void RunIdleLoop(standin::PluginModule* module, int rounds) {
  constexpr UINT_PTR kTick = 1;
  SetTimer(standin::MainWindowHandle(), kTick, 10, nullptr);
  int idleCalls = 0;
  while (idleCalls < rounds) {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&msg);
      DispatchMessageA(&msg);
    }
    module->Idle();
    ++idleCalls;
  }
  KillTimer(standin::MainWindowHandle(), kTick);
  printf("Idle calls: %d\n", idleCalls);
}

int DriveModule(HMODULE plugin, standin::PluginModule* module, const TRunOptions& run,
                standin::TDialogWatcher* watcher) {
  printf("Module: %s\n", module->Name());

  standin::PluginCommandLauncher* launcher = nullptr;
  module->Launcher(&launcher);
  if (!launcher) {
    fprintf(stderr, "KivoHost: the module has no command launcher\n");
    return 1;
  }
  if (run.Batch) {
    const int status = standin::RunBatchImport(plugin, launcher, run.Import, watcher);
    launcher->Release();
    RunIdleLoop(module, run.IdleRounds);
    return status;
  }
  const char* command = run.Launch.empty() ? "LoadKIVOPCBFile" : run.Launch.c_str();
  int32_t v1 = 7, v2 = 7, v3 = 7;
  uint8_t f1 = 7, f2 = 7;
  launcher->State(command, run.Params.c_str(), nullptr, &v1, &v2, &v3, &f1, &f2);
  printf("Command state of %s: Value1=%d Value2=%d Value3=%d Flag1=%s Flag2=%s\n", command,
         static_cast<int>(v1), static_cast<int>(v2), static_cast<int>(v3), Bool(f1), Bool(f2));
  if (!run.Launch.empty()) {
    int32_t result = launcher->Launch(command, run.Params.c_str(), 0, nullptr);
    printf("LaunchCommand %s -> %d\n", command, static_cast<int>(result));
  }
  launcher->Release();

  RunIdleLoop(module, run.IdleRounds);
  return 0;
}

int Run(int argc, char** argv) {
  TRunOptions run;
  if (!ParseArguments(argc, argv, run))
    return 1;
  // A batch run answered by script is watched from here to the end of its process.
  const bool watched =
      run.Batch && !standin::HostOptions().Interactive && run.Import.Shots.Folder.empty();
  if (watched)
    standin::StartRunWatchdog(2 * run.Import.Dialogs.DeadlineMs);
  // Nothing here reads the server's call log, a record of every call the import makes:
  // kept, it took a quarter of a large board's memory.
  standin::HostOptions().ServerCallLog = false;
#ifdef KIVO_HOST_BARE
  printf("KivoHost (bare: no ClientAPI_ exports)\n");
#endif
  // Everything the plug-in binds at load is ready before it is loaded.
  standin::StartHost();
  // A direct import runs where the host's PCB server is up before the importer loads.
  if ((run.PreloadPcb || (run.Batch && run.Import.Direct)) && !standin::LoadPcbServer()) {
    fprintf(stderr, "KivoHost: cannot preload Ravelo.dll (error %lu)\n", GetLastError());
    return 1;
  }
  HMODULE plugin = LoadLibraryA("LoadKIVO.dll");
  if (!plugin) {
    fprintf(stderr, "KivoHost: cannot load LoadKIVO.dll (error %lu)\n", GetLastError());
    return 1;
  }
  standin::WatchDrawnTexts(plugin);
  // The host lists the importer's file type the way its import menu would.
  using TGetDescription = const char*(__stdcall*)();
  if (auto describe = reinterpret_cast<TGetDescription>(
          reinterpret_cast<void*>(GetProcAddress(plugin, "GetPcbImporterDescription"))))
    printf("Importer: %s\n", describe());
  auto factory = reinterpret_cast<standin::ServerFactoryProc>(
      reinterpret_cast<void*>(GetProcAddress(plugin, "ServerFactory")));
  if (!factory) {
    fprintf(stderr, "KivoHost: LoadKIVO.dll has no ServerFactory export\n");
    FreeLibrary(plugin);
    return 1;
  }
  std::optional<standin::TDiskFull> fullDisk;
  if (run.DiskFree >= 0 && !run.Import.FileName.empty()) {
    char full[MAX_PATH] = "";
    GetFullPathNameA(run.Import.FileName.c_str(), MAX_PATH, full, nullptr);
    const std::string folder = ExtractFilePath(full);
    // Full for the host's own writes too (the board's dump beside the file).
    fullDisk.emplace(std::initializer_list<HMODULE>{plugin, GetModuleHandleA(nullptr)}, folder,
                     static_cast<uint64_t>(run.DiskFree));
    printf("Disk of %s: %lld bytes free\n", folder.c_str(), run.DiskFree);
  }
  // A batch run's dialogs are answered from here to the plug-in's unloading: releasing
  // the module and unloading it may show boxes too.
  // (A run that shoots the dialogs drives them with its shooter instead.)
  std::optional<standin::TDialogWatcher> watcher;
  if (watched)
    watcher.emplace(run.Import.Dialogs);
  standin::SetRunStage(standin::TRunStage::Importing);
  if (!run.MessageBox.empty()) {
    const int answer = MessageBoxA(nullptr, run.MessageBox.c_str(), "KivoHost", MB_OK | MB_TASKMODAL);
    printf("Plain message box answered: %s\n", answer == IDOK ? "OK" : "otherwise");
  }
  if (run.Hang)
    standin::HangForGood();
  std::optional<standin::TAddressSpaceLimit> memoryLeft;
  if (run.MemoryLeft >= 0) {
    memoryLeft.emplace(static_cast<uint64_t>(run.MemoryLeft) << 20);
    printf("Address space: %lld MB left free\n", run.MemoryLeft);
  }
  standin::PluginModule* module = nullptr;
  factory(&module, static_cast<standin::HostClient*>(standin::ClientUnknown()));
  int status = 1;
  if (!module)
    fprintf(stderr, "KivoHost: ServerFactory gave no module\n");
  else
    status = DriveModule(plugin, module, run, watcher ? &*watcher : nullptr);
  standin::SetRunStage(standin::TRunStage::UnloadingPlugin);
  if (module) {
    module->Release();
    printf("Module released\n");
  }
  fullDisk.reset();  // its import table goes with the plug-in
  if (run.HangUnloading && !standin::HangInNextDeleteObject(plugin))
    fprintf(stderr, "KivoHost: the plug-in calls no DeleteObject to hang its unloading in\n");
  FreeLibrary(plugin);
  standin::SetRunStage(standin::TRunStage::Closing);
  if (watcher) {
    standin::PrintDialogLog(watcher->TakeLog(), " after the import");
    watcher.reset();
  }
  standin::StopHost();

  // The call log is the point of the plain run; a batch run prints it when asked.
  if (!run.Batch || run.CallsAsked) {
    printf("Host calls:\n");
    for (const std::string& line : standin::CallLog())
      printf("  %s\n", line.c_str());
  }
  if (run.HangClosing)
    standin::HangForGood();
  return status;
}

}  // namespace

int main(int argc, char** argv) {
  const int status = Run(argc, argv);
  standin::EndWatchedRun(status);
  return status;
}
