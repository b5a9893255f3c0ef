// The free-notification memory hook. At start-up it puts its own table in place of
// the module's memory manager: allocation and reallocation pass straight through to
// the table it replaced, and a release is carried out first and then reported to the
// free-notifier list, which calls the callbacks registered for exactly that block.
// At shut-down the replaced table comes back and the list is freed.
//
// Unit routines for the start-up table: InitializeFreeNotifyHook and
// FinalizeFreeNotifyHook (counted: only the first initialisation and the last
// finalisation do the work).
#pragma once

#include "classlib/MemoryManager.h"
#include "containers/FreeNotifiersList.h"

// The hook's table: HookedGetMem, HookedFreeMem, HookedReallocMem.
extern const TMemoryManager FreeNotifyHookRecord;

void* HookedGetMem(size_t Size) noexcept;
// Releases P through the replaced table, then reports it; the release's status.
int HookedFreeMem(void* P) noexcept;
// Moving or shrinking a watched block is not reported.
void* HookedReallocMem(void* P, size_t Size) noexcept;

void InitializeFreeNotifyHook();
void FinalizeFreeNotifyHook() noexcept;

// The module's notifier list: null before start-up and after shut-down.
TFreeNotifiersList* GetFreeNotifiersList() noexcept;

// Watches Block: once it is released, Callback is called with its address, once.
// Raises EInvalidOperation when the hook is not installed or Block is null.
void AddFreeNotification(void* Block, const TFreeNotifyEvent& Callback);
