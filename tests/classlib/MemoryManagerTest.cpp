#include "classlib/MemoryManager.h"

#include <new>
#include <string>

#include <gtest/gtest.h>

#include "classlib/Object.h"
#include "tests/support/MemoryRecorder.h"

// The cases compare the addresses of released blocks; none is read after release.
#pragma GCC diagnostic ignored "-Wuse-after-free"

namespace {

TEST(MemoryManager, NewAndDeleteOfEveryKindPassThroughTheInstalledTable) {
  TMemoryRecorder recorder;
  auto* object = new TObject;
  auto* array = new int[7];
  auto* quiet = new (std::nothrow) TObject;
  EXPECT_TRUE(recorder.Allocated(object));
  EXPECT_TRUE(recorder.Allocated(array));
  EXPECT_TRUE(recorder.Allocated(quiet));
  delete object;
  delete[] array;
  delete quiet;
  EXPECT_TRUE(recorder.Freed(object));
  EXPECT_TRUE(recorder.Freed(array));
  EXPECT_TRUE(recorder.Freed(quiet));
}

TEST(MemoryManager, TheStaticallyLinkedStandardLibraryAllocatesThroughTheTable) {
  TMemoryRecorder recorder;
  const void* data;
  {
    std::string text(200, 'x');
    data = text.data();
    EXPECT_TRUE(recorder.Allocated(data));
  }
  EXPECT_TRUE(recorder.Freed(data));
}

TEST(MemoryManager, AnEmptyTableAnswerMakesNewRaiseAndNothrowNewAnswerNull) {
  TMemoryRecorder recorder;
  bool raised = false;
  void* quiet = &raised;
  TMemoryRecorder::SetFailGetMem(true);
  try {
    void* block = ::operator new(64);
    ::operator delete(block);
  } catch (const std::bad_alloc&) {
    raised = true;
  }
  quiet = ::operator new(64, std::nothrow);
  TMemoryRecorder::SetFailGetMem(false);
  EXPECT_TRUE(raised);
  EXPECT_EQ(quiet, nullptr);
}

TEST(MemoryManager, ReallocMemAllocatesResizesAndReleases) {
  TMemoryRecorder recorder;
  void* block = nullptr;
  ReallocMem(block, 0);  // nothing to release
  EXPECT_EQ(recorder.GetMemCount(), 0);
  EXPECT_EQ(recorder.FreeMemCount(), 0);

  ReallocMem(block, 16);
  ASSERT_NE(block, nullptr);
  EXPECT_TRUE(recorder.Allocated(block));
  static_cast<char*>(block)[15] = 'k';
  ReallocMem(block, 4096);
  EXPECT_EQ(recorder.ReallocMemCount(), 1);
  EXPECT_EQ(static_cast<char*>(block)[15], 'k');

  void* last = block;
  ReallocMem(block, 0);
  EXPECT_EQ(block, nullptr);
  EXPECT_TRUE(recorder.Freed(last));
}

}  // namespace
