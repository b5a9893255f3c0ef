// The watchdog is two threads, both running before the run goes on: one waits out the
// limit and ends the process, the other writes what was printed and the message. Writing
// may wait for good on what the stuck thread holds (the runtime's lock of stdout, a pipe
// nobody reads), so the first waits for the second only so long; and a thread started
// only when the limit has passed would wait for the loader's lock, which a thread stuck
// in loading or unloading a library holds.
#include "standin/host/RunWatchdog.h"

#include <atomic>
#include <cstdio>

#include "classlib/Win.h"

namespace standin {

namespace {

// How long the message may take to be written before the process ends without it.
constexpr DWORD kTellMs = 2000;

struct TRunWatch {
  bool Started = false;
  DWORD StartedAt = 0;
  unsigned LimitMs = 0;
  std::atomic<TRunStage> Stage{TRunStage::LoadingPlugin};
  HANDLE Running = nullptr;  // each thread's start
  HANDLE Tell = nullptr;     // the limit has passed
  HANDLE Told = nullptr;     // the message is written
} gWatch;

const char* StageText(TRunStage stage) {
  switch (stage) {
    case TRunStage::LoadingPlugin:
      return "the plug-in's loading";
    case TRunStage::Importing:
      return "the import";
    case TRunStage::UnloadingPlugin:
      return "the plug-in's unloading";
    case TRunStage::Closing:
      return "the host's closing";
  }
  return "the run";
}

DWORD WINAPI WatchdogProc(void*) {
  ReleaseSemaphore(gWatch.Running, 1, nullptr);
  const DWORD elapsed = GetTickCount() - gWatch.StartedAt;
  if (elapsed < gWatch.LimitMs)
    Sleep(gWatch.LimitMs - elapsed);
  SetEvent(gWatch.Tell);
  WaitForSingleObject(gWatch.Told, kTellMs);
  TerminateProcess(GetCurrentProcess(), kRunTooLong);
  return 0;
}

DWORD WINAPI TellerProc(void*) {
  ReleaseSemaphore(gWatch.Running, 1, nullptr);
  WaitForSingleObject(gWatch.Tell, INFINITE);
  fflush(stdout);
  fprintf(stderr, "KivoHost: %s did not end within %u ms; the run ends\n", StageText(gWatch.Stage.load()),
          gWatch.LimitMs);
  fflush(stderr);
  SetEvent(gWatch.Told);
  return 0;
}

}  // namespace

void StartRunWatchdog(unsigned limitMs) {
  if (gWatch.Started)
    return;
  gWatch.StartedAt = GetTickCount();
  gWatch.LimitMs = limitMs;
  gWatch.Running = CreateSemaphoreA(nullptr, 0, 2, nullptr);
  gWatch.Tell = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  gWatch.Told = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  int running = 0;
  for (LPTHREAD_START_ROUTINE proc : {&TellerProc, &WatchdogProc})
    if (HANDLE thread = CreateThread(nullptr, 0, proc, nullptr, 0, nullptr)) {
      CloseHandle(thread);
      ++running;
    }
  for (int started = 0; started < running; ++started)
    WaitForSingleObject(gWatch.Running, INFINITE);
  gWatch.Started = running == 2;
  if (!gWatch.Started)
    fprintf(stderr, "KivoHost: the run's watchdog could not be started (error %lu)\n", GetLastError());
}

void SetRunStage(TRunStage stage) { gWatch.Stage = stage; }

void EndWatchedRun(int status) {
  if (!gWatch.Started)
    return;
  fflush(stdout);
  fflush(stderr);
  TerminateProcess(GetCurrentProcess(), static_cast<UINT>(status));
}

}  // namespace standin
