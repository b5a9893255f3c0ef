#include "containers/FreeNotifyHook.h"

namespace {

int gInitCount = 0;
TMemoryManager gSavedMemoryManager{};
// The replaced table's routines; they stay valid after shut-down, so a table that
// was put over the hook and still forwards to it keeps working.
void* (*gForwardGetMem)(size_t) = DefaultGetMem;
int (*gForwardFreeMem)(void*) = DefaultFreeMem;
void* (*gForwardReallocMem)(void*, size_t) = DefaultReallocMem;
TFreeNotifiersList* gFreeNotifiers = nullptr;

}  // namespace

const TMemoryManager FreeNotifyHookRecord = {HookedGetMem, HookedFreeMem, HookedReallocMem};

void* HookedGetMem(size_t Size) noexcept { return gForwardGetMem(Size); }

int HookedFreeMem(void* P) noexcept {
  // Released before anyone is told: a callback must not touch the block.
  int status = gForwardFreeMem(P);
  if (gFreeNotifiers)
    NotifyBlockFreed(gFreeNotifiers, P);
  return status;
}

void* HookedReallocMem(void* P, size_t Size) noexcept { return gForwardReallocMem(P, Size); }

void InitializeFreeNotifyHook() {
  if (gInitCount++ != 0)
    return;
  try {
    gFreeNotifiers = new TFreeNotifiersList;
  } catch (...) {
    --gInitCount;
    throw;
  }
  GetMemoryManager(gSavedMemoryManager);
  gForwardGetMem = gSavedMemoryManager.GetMem ? gSavedMemoryManager.GetMem : DefaultGetMem;
  gForwardFreeMem = gSavedMemoryManager.FreeMem ? gSavedMemoryManager.FreeMem : DefaultFreeMem;
  gForwardReallocMem =
      gSavedMemoryManager.ReallocMem ? gSavedMemoryManager.ReallocMem : DefaultReallocMem;
  SetMemoryManager(FreeNotifyHookRecord);
}

void FinalizeFreeNotifyHook() noexcept {
  if (gInitCount == 0 || --gInitCount != 0)
    return;
  // The replaced table first, so that freeing the notifiers is not reported.
  SetMemoryManager(gSavedMemoryManager);
  FreeNotifierList(gFreeNotifiers);
}

TFreeNotifiersList* GetFreeNotifiersList() noexcept { return gFreeNotifiers; }

void AddFreeNotification(void* Block, const TFreeNotifyEvent& Callback) {
  if (!gFreeNotifiers)
    throw EInvalidOperation("Free notifications need the memory hook, which is not installed");
  if (!Block)
    throw EInvalidOperation("A free notification needs a block; the address given is null");
  gFreeNotifiers->AddNotification(Block, Callback);
}
