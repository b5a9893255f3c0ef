// The stand-in host's batch import: one KIVO file imported through the plug-in, by the
// command "LoadKIVOPCBFile" or directly through RecognisedPCBFile and ImportFileIntoPcb
// as a host's import list calls them, with the dialogs answered by script (or by a
// person in interactive mode). It then prints a summary, writes the board's dump beside
// the file ("<name>.dump", or "<name>-board.dump" for a file itself named "*.dump") and
// answers the run's exit code.
#pragma once

#include <string>

#include "classlib/Win.h"
#include "standin/host/DialogShots.h"
#include "standin/host/DialogWatcher.h"
#include "standin/host/HostSide.h"

namespace standin {

struct TBatchOptions {
  std::string FileName;  // empty: the command runs without a "FileName" parameter
  bool Direct = false;   // the import list's road instead of the command
  TDialogScript Dialogs;
  TShotScript Shots;  // a folder given: the dialogs are driven and shot, not answered
};

// Exit code of a batch run whose import failed or did not happen.
constexpr int kImportFailed = 2;

// Runs the import with the plug-in's exports and module launcher and prints its summary;
// 0 when the file was imported without error, kImportFailed otherwise. `watcher`
// answers the dialogs (null in interactive mode); the caller keeps it alive after the
// import, for what the plug-in shows when it is released.
int RunBatchImport(HMODULE plugin, PluginCommandLauncher* launcher, const TBatchOptions& options,
                   TDialogWatcher* watcher);
// Prints the boxes `log` holds and the windows that could not be answered; `when` is
// put after "Error box" and the like ("" or " after the import").
void PrintDialogLog(const TDialogLog& log, const char* when);

}  // namespace standin
