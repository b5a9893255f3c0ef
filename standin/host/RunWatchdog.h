// The batch run's watchdog: a thread of its own, started before the plug-in is loaded and
// never stopped, ends the process with exit code 4 once the run has taken longer than its
// limit (twice the dialogs' deadline), whatever the user-interface thread is doing or
// holds: loading the plug-in, importing, unloading the plug-in or closing the host. The
// run names its stage as it goes, and the watchdog's message names the stage it was stuck
// in. A watched run ends its process itself once its summary is out (EndWatchedRun),
// rather than through ExitProcess, whose first act is to end every other thread, the
// watchdog's too, before the libraries are detached: that last part would go unwatched.
#pragma once

namespace standin {

enum class TRunStage { LoadingPlugin, Importing, UnloadingPlugin, Closing };

// Exit code of a run the watchdog ended.
constexpr int kRunTooLong = 4;

// Starts the watchdog, in stage LoadingPlugin: the run may take `limitMs` from now on.
void StartRunWatchdog(unsigned limitMs);
// The stage the run is in from now on.
void SetRunStage(TRunStage stage);
// With the watchdog started, writes out what was printed and ends the process with
// `status`; without it, returns.
void EndWatchedRun(int status);

}  // namespace standin
