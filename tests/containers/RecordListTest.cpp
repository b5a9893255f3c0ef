#include "containers/RecordList.h"

#include <string>

#include <gtest/gtest.h>

#include "containers/MethodList.h"
#include "tests/support/MemoryRecorder.h"

namespace {

struct TTriple {
  int A, B, C;
};

template <class F>
std::string RaisedMessage(F&& f) {
  try {
    f();
  } catch (const EListError& error) {
    return error.Message();
  }
  return "nothing raised";
}

TEST(RecordList, NewListHoldsNoBlockAndClearReleasesNothing) {
  TMemoryRecorder recorder;
  TRecordList list(12);
  EXPECT_EQ(list.GetCount(), 0);
  EXPECT_EQ(list.GetCapacity(), 0);
  EXPECT_EQ(list.GetData(), nullptr);
  list.Clear();
  EXPECT_EQ(recorder.FreeMemCount(), 0);
  EXPECT_EQ(recorder.ReallocMemCount(), 0);
}

TEST(RecordList, BadIndexesRaiseTheListIndexError) {
  TRecordList list(sizeof(TTriple));
  EXPECT_EQ(RaisedMessage([&] { list.ItemPtr(0); }), "List index out of bounds (0)");
  EXPECT_EQ(RaisedMessage([&] { list.ItemPtr(-1); }), "List index out of bounds (-1)");
  TTriple t{1, 2, 3};
  list.Add(&t);
  EXPECT_EQ(RaisedMessage([&] { list.ItemPtr(1); }), "List index out of bounds (1)");
  EXPECT_EQ(RaisedMessage([&] { list.Delete(1); }), "List index out of bounds (1)");
  EXPECT_EQ(list.GetCount(), 1);
}

TEST(RecordList, GrowsKeepingRecordsBackToBack) {
  TRecordList list(sizeof(TTriple));
  for (int i = 0; i < 100; ++i) {
    TTriple t{i, -i, i * i};
    EXPECT_EQ(list.Add(&t), i);
    EXPECT_LE(list.GetCount(), list.GetCapacity());
  }
  EXPECT_EQ(list.GetCount(), 100);
  for (int i = 0; i < 100; ++i) {
    auto* t = static_cast<TTriple*>(list.ItemPtr(i));
    EXPECT_EQ(t, static_cast<TTriple*>(list.GetData()) + i);
    EXPECT_EQ(t->C, i * i);
  }
}

TEST(RecordList, DeleteMovesTheLaterRecordsDown) {
  TRecordList list(sizeof(int));
  for (int i : {10, 11, 12, 13})
    list.Add(&i);
  list.Delete(1);
  list.Delete(2);
  ASSERT_EQ(list.GetCount(), 2);
  EXPECT_EQ(*static_cast<int*>(list.ItemPtr(0)), 10);
  EXPECT_EQ(*static_cast<int*>(list.ItemPtr(1)), 12);
}

TEST(RecordList, CapacityCannotDropBelowTheRecordsInUse) {
  TRecordList list(sizeof(int));
  int value = 7;
  list.Add(&value);
  list.Add(&value);
  EXPECT_THROW(list.SetCapacity(1), EListError);
  EXPECT_EQ(list.GetCount(), 2);
  list.SetCapacity(2);
  EXPECT_EQ(list.GetCapacity(), 2);
  EXPECT_EQ(*static_cast<int*>(list.ItemPtr(1)), 7);
}

TEST(RecordList, ClearAndDestroyReleaseTheBlock) {
  TMemoryRecorder recorder;
  auto* list = new TRecordList(8);
  char record[8] = "abcdefg";
  list->Add(record);
  void* block = list->GetData();
  list->Clear();
  EXPECT_TRUE(recorder.Freed(block));
  EXPECT_EQ(list->GetData(), nullptr);
  EXPECT_EQ(list->GetCapacity(), 0);
  list->Add(record);
  block = list->GetData();
  delete list;
  EXPECT_TRUE(recorder.Freed(block));
}

void MethodA(void*, TObject*) {}
void MethodB(void*, TObject*) {}

TMethod Method(void (*code)(void*, TObject*), void* data) {
  return {reinterpret_cast<void*>(code), data};
}

TEST(MethodList, AddsRemovesCountsAndReadsMethods) {
  TMethodList list;
  EXPECT_EQ(list.GetCount(), 0);
  int x, y;
  EXPECT_EQ(list.Add(Method(MethodA, &x)), 0);
  EXPECT_EQ(list.Add(Method(MethodB, &x)), 1);
  EXPECT_EQ(list.Add(Method(MethodA, &y)), 2);
  EXPECT_EQ(list.GetCount(), 3);

  TMethod item;
  list.GetItem(1, item);
  EXPECT_EQ(item, Method(MethodB, &x));

  EXPECT_EQ(list.Remove(Method(MethodA, &y)), 2);  // same code, other data: only the exact pair
  EXPECT_EQ(list.Remove(Method(MethodA, &y)), -1);
  EXPECT_EQ(list.Remove(Method(MethodA, &x)), 0);
  ASSERT_EQ(list.GetCount(), 1);
  list.GetItem(0, item);
  EXPECT_EQ(item, Method(MethodB, &x));
  EXPECT_EQ(RaisedMessage([&] { list.GetItem(1, item); }), "List index out of bounds (1)");
}

}  // namespace
