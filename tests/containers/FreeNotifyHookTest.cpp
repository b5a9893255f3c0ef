#include "containers/FreeNotifyHook.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "classlib/Boundary.h"
#include "tests/support/MemoryRecorder.h"
#include "tests/containers/TestUnits.h"
#include "tests/support/TestSupport.h"

// The cases compare the addresses of released blocks; none is read after release.
#pragma GCC diagnostic ignored "-Wuse-after-free"

namespace {

void* P(uintptr_t value) { return reinterpret_cast<void*>(value); }

TMemoryManager CurrentTable() {
  TMemoryManager table;
  GetMemoryManager(table);
  return table;
}

bool IsHookTable(const TMemoryManager& table) {
  return table.GetMem == HookedGetMem && table.FreeMem == HookedFreeMem &&
         table.ReallocMem == HookedReallocMem;
}

std::optional<TMemoryRecorder> gRecorder;

// A watcher: logs each call as "<name>:<address>" and whether the block had been
// released by then, and runs an optional action.
struct TWatcher {
  std::string Name;
  std::vector<std::string>* Log;
  std::function<void(void*)> Action = {};
  int Calls = 0;
  bool ReleasedFirst = true;

  void Freed(void* address) {
    ++Calls;
    ReleasedFirst = ReleasedFirst && gRecorder->Freed(address);
    Log->push_back(Name + ":" + std::to_string(reinterpret_cast<uintptr_t>(address)));
    if (Action)
      Action(address);
  }
  TFreeNotifyEvent Event() { return TFreeNotifyEvent::Bind<&TWatcher::Freed>(this); }
  void Watch(void* block) { AddFreeNotification(block, Event()); }
};

std::string Entry(const std::string& name, const void* address) {
  return name + ":" + std::to_string(reinterpret_cast<uintptr_t>(address));
}

std::vector<std::string> gReported;
void RecordingHandler(const char* where, const std::exception* error) {
  gReported.push_back(std::string(where) + ": " + (error ? error->what() : "?"));
}

// Each case runs the hook over a recorder: the start-up's hook goes, the recorder
// comes in under a fresh hook, and afterwards the start-up's state comes back.
class FreeNotifyHook : public testing::Test {
 protected:
  void SetUp() override {
    FinalizeFreeNotifyHook();
    gRecorder.emplace();
    InitializeFreeNotifyHook();
    gReported.clear();
    FPreviousHandler = SetBoundaryHandler(RecordingHandler);
  }
  void TearDown() override {
    SetBoundaryHandler(FPreviousHandler);
    FinalizeFreeNotifyHook();
    gRecorder.reset();
    InitializeFreeNotifyHook();
  }
  TFreeNotifiersList* List() { return GetFreeNotifiersList(); }

  std::vector<std::string> FLog;
  TBoundaryHandler FPreviousHandler = nullptr;
};

TEST(FreeNotifyHookStartUp, IsInstalledByTheUnitsOfTheExecutable) {
  EXPECT_TRUE(IsHookTable(CurrentTable()));
  EXPECT_NE(GetFreeNotifiersList(), nullptr);
}

TEST_F(FreeNotifyHook, ReleaseComesFirstThenEachCallbackOnceWithTheAddress) {
  auto* block = new int(5);
  TWatcher first{"first", &FLog}, second{"second", &FLog};
  first.Watch(block);
  second.Watch(block);
  ASSERT_NE(FindFreeNotifier(List(), block), nullptr);
  delete block;
  EXPECT_EQ(FLog, (std::vector<std::string>{Entry("first", block), Entry("second", block)}));
  EXPECT_TRUE(first.ReleasedFirst);
  EXPECT_TRUE(second.ReleasedFirst);
  // Forgotten once reported: the same address released again tells nobody.
  EXPECT_EQ(FindFreeNotifier(List(), block), nullptr);
  NotifyBlockFreed(List(), block);
  EXPECT_EQ(first.Calls, 1);
  EXPECT_EQ(second.Calls, 1);
}

TEST_F(FreeNotifyHook, ReleaseStatusPassesThroughWithOrWithoutWatchers) {
  TMemoryManager table = CurrentTable();
  TMemoryRecorder::SetFreeStatus(5);
  EXPECT_EQ(table.FreeMem(table.GetMem(16)), 5);
  void* watched = table.GetMem(16);
  TWatcher watcher{"w", &FLog};
  watcher.Watch(watched);
  TMemoryRecorder::SetFreeStatus(7);
  EXPECT_EQ(table.FreeMem(watched), 7);
  EXPECT_EQ(watcher.Calls, 1);
}

TEST_F(FreeNotifyHook, CallbackThatRemovesItselfDoesNotMakeTheNextOneSkipped) {
  auto* block = new int;
  TWatcher leaver{"leaver", &FLog}, next{"next", &FLog}, last{"last", &FLog};
  leaver.Watch(block);
  next.Watch(block);
  last.Watch(block);
  TFreeNotifier* notifier = FindFreeNotifier(List(), block);
  ASSERT_NE(notifier, nullptr);
  leaver.Action = [notifier](void*) {
    TList* callbacks = notifier->GetCallbacks();
    delete static_cast<TFreeNotifyCallback*>(callbacks->Get(0));
    callbacks->Delete(0);
  };
  delete block;
  EXPECT_EQ(FLog, (std::vector<std::string>{Entry("leaver", block), Entry("next", block),
                                             Entry("last", block)}));
}

TEST_F(FreeNotifyHook, CallbackThatReleasesAnotherWatchedBlockReentersSafely) {
  auto* outer = new int;
  auto* inner = new int;
  TWatcher outerWatcher{"outer", &FLog}, innerWatcher{"inner", &FLog};
  bool outerStillListed = true;
  outerWatcher.Action = [&](void* address) {
    outerStillListed = FindFreeNotifier(List(), address) != nullptr;
    std::string scratch(300, 'z');  // allocating during a notification is fine too
    delete inner;
    FLog.push_back("outer done");
  };
  outerWatcher.Watch(outer);
  innerWatcher.Watch(inner);
  delete outer;
  EXPECT_FALSE(outerStillListed);
  EXPECT_EQ(FLog, (std::vector<std::string>{Entry("outer", outer), Entry("inner", inner), "outer done"}));
  EXPECT_EQ(List()->GetCount(), 0);
}

TEST_F(FreeNotifyHook, ReallocationIsNotReported) {
  void* block = nullptr;
  ReallocMem(block, 16);
  TWatcher watcher{"w", &FLog};
  watcher.Watch(block);
  void* old = block;
  ReallocMem(block, 64 * 1024);  // grows, most likely to a new place
  ReallocMem(block, 8);          // shrinks
  EXPECT_EQ(watcher.Calls, 0);
  EXPECT_NE(FindFreeNotifier(List(), old), nullptr);
  ReallocMem(block, 0);
  EXPECT_EQ(watcher.Calls, block == old ? 1 : 0);
}

// Regression: a raising callback ended the notification, leaked the notifier and let
// the exception out of the release (std::terminate inside a noexcept delete).
TEST_F(FreeNotifyHook, RaisingCallbackIsReportedAndTheOthersStillRun) {
  auto* block = new int;
  TWatcher thrower{"thrower", &FLog}, after{"after", &FLog};
  thrower.Action = [](void*) { throw std::runtime_error("callback failed"); };
  thrower.Watch(block);
  after.Watch(block);
  TFreeNotifier* notifier = FindFreeNotifier(List(), block);
  delete block;
  EXPECT_EQ(after.Calls, 1);
  EXPECT_EQ(gReported, std::vector<std::string>{"free notification: callback failed"});
  EXPECT_TRUE(gRecorder->Freed(notifier));
}

// Regression: with the signed difference of addresses the notifier of a block 2 GiB
// above another was not found, and its release went unreported.
TEST_F(FreeNotifyHook, NotifiersOfAddressesTwoGigabytesApartAreFound) {
  TWatcher low{"low", &FLog}, high{"high", &FLog};
  high.Watch(P(0x90000000));
  low.Watch(P(0x10));
  ASSERT_EQ(List()->GetCount(), 2);
  EXPECT_EQ(static_cast<TFreeNotifier*>(List()->GetItems(0))->GetBlock(), P(0x10));
  TFreeNotifier* notifier = FindFreeNotifier(List(), P(0x90000000));
  ASSERT_NE(notifier, nullptr);
  EXPECT_EQ(notifier->GetBlock(), P(0x90000000));
  NotifyBlockFreed(List(), P(0x90000000));
  NotifyBlockFreed(List(), P(0x10));
  EXPECT_EQ(FLog, (std::vector<std::string>{Entry("high", P(0x90000000)), Entry("low", P(0x10))}));
}

TEST_F(FreeNotifyHook, OneNotifierPerAddressInAscendingOrder) {
  TWatcher a{"a", &FLog}, b{"b", &FLog};
  for (uintptr_t address : {0x5000u, 0x1000u, 0x3000u})
    a.Watch(P(address));
  b.Watch(P(0x3000));
  ASSERT_EQ(List()->GetCount(), 3);
  for (int i = 0; i < 3; ++i)
    EXPECT_EQ(static_cast<TFreeNotifier*>(List()->GetItems(i))->GetBlock(), P(0x1000 + 0x2000 * i));
  EXPECT_EQ(FindFreeNotifier(List(), P(0x3000))->GetCallbacks()->GetCount(), 2);
  EXPECT_THROW(a.Watch(nullptr), EInvalidOperation);
  EXPECT_EQ(List()->GetCount(), 3);
}

TEST_F(FreeNotifyHook, ManyWatchedBlocksAreEachReportedOnce) {
  std::vector<int*> blocks;
  TWatcher watcher{"w", &FLog};
  for (int i = 0; i < 300; ++i) {
    blocks.push_back(new int(i));
    watcher.Watch(blocks.back());
  }
  EXPECT_EQ(List()->GetCount(), 300);
  for (size_t i = 0; i < blocks.size(); i += 2)  // every other one, then the rest
    delete blocks[i];
  for (size_t i = 1; i < blocks.size(); i += 2)
    delete blocks[i];
  EXPECT_EQ(watcher.Calls, 300);
  EXPECT_EQ(List()->GetCount(), 0);
}

TEST_F(FreeNotifyHook, ShutDownRestoresTheReplacedTableAndDropsTheWatches) {
  TMemoryManager before = CurrentTable();
  ASSERT_TRUE(IsHookTable(before));
  auto* block = new int;
  TWatcher watcher{"w", &FLog};
  watcher.Watch(block);

  InitializeFreeNotifyHook();  // counted: a second start-up changes nothing
  FinalizeFreeNotifyHook();
  EXPECT_TRUE(IsHookTable(CurrentTable()));

  FinalizeFreeNotifyHook();
  TMemoryManager after = CurrentTable();
  EXPECT_FALSE(IsHookTable(after));
  EXPECT_EQ(GetFreeNotifiersList(), nullptr);
  EXPECT_THROW(watcher.Watch(block), EInvalidOperation);
  // Releases now go to the replaced table and nobody is told.
  int freedBefore = gRecorder->FreeMemCount();
  delete block;
  EXPECT_TRUE(gRecorder->Freed(block));
  EXPECT_GT(gRecorder->FreeMemCount(), freedBefore);
  EXPECT_EQ(watcher.Calls, 0);
}

}  // namespace

std::span<const TUnitEntry> TestUnits() { return ContainersTestUnits(); }
