// The update scope: a bracket that reports when it ends normally, ends quietly while an
// exception passes (no event, nothing raised out of the destructor), hands what a quiet
// end still raises to the boundary handler, and leaves a target freed inside it alone.
// The alive guard it relies on is tested here too.
#include "classlib/UpdateScope.h"

#include <stdexcept>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "classlib/Collections.h"
#include "classlib/StringList.h"
#include "tests/support/TestSupport.h"

namespace {

std::vector<std::string> gCaught;

void RecordingHandler(const char* where, const std::exception* error) {
  gCaught.push_back(error ? error->what() : "?");
}

class UpdateScopeTest : public testing::Test {
 protected:
  void SetUp() override {
    gCaught.clear();
    FPrevious = SetBoundaryHandler(RecordingHandler);
  }
  void TearDown() override { SetBoundaryHandler(FPrevious); }

 private:
  TBoundaryHandler FPrevious = nullptr;
};

TEST_F(UpdateScopeTest, AStringListReportsOnceAtANormalEndAndNothingWhenAnExceptionPasses) {
  TStringList list;
  TNotifyCounter counter;
  list.OnChange = TNotifyEvent::Bind<&TNotifyCounter::Notify>(&counter);
  {
    const TUpdateScope update(&list);
    list.Add("a");
    list.Add("b");
    EXPECT_EQ(counter.Count, 0);
  }
  EXPECT_EQ(counter.Count, 1);

  // A handler that would raise again while the first exception passes is not called:
  // the process would end.
  counter.Raise = true;
  try {
    const TUpdateScope update(&list);
    list.Add("c");
    throw std::runtime_error("work failed");
  } catch (const std::runtime_error& error) {
    EXPECT_STREQ(error.what(), "work failed");
  }
  EXPECT_EQ(counter.Count, 1);
  EXPECT_EQ(list.GetCount(), 3);
  EXPECT_TRUE(gCaught.empty());

  // The list is out of its update: the next change is reported at once.
  counter.Raise = false;
  list.Add("d");
  EXPECT_EQ(counter.Count, 2);
}

// A collection that records its change reports.
class TReportingCollection : public TCollection {
  KIVO_CLASS(TReportingCollection, TCollection)
 public:
  TReportingCollection() : TCollection(&TCollectionItem::MetaClass()) {}
  int Reports = 0;

 protected:
  void Update(TCollectionItem*) override { ++Reports; }
};

TEST_F(UpdateScopeTest, ACollectionAndNestedScopesReportOnlyAtTheOutermostNormalEnd) {
  TReportingCollection collection;
  {
    const TUpdateScope outer(&collection);
    {
      const TUpdateScope inner(&collection);
      collection.Add();
    }
    collection.Add();
    EXPECT_EQ(collection.Reports, 0);
  }
  EXPECT_EQ(collection.Reports, 1);

  EXPECT_THROW(
      {
        const TUpdateScope update(&collection);
        collection.Add();
        throw Exception("work failed");
      },
      Exception);
  EXPECT_EQ(collection.Reports, 1);
  EXPECT_EQ(collection.GetUpdateCount(), 0);

  TReportingCollection* none = nullptr;
  { const TUpdateScope nothing(none); }
  { const TUpdateScope closed(&collection, /*open=*/false); }
  EXPECT_EQ(collection.Reports, 1);
  EXPECT_EQ(collection.GetUpdateCount(), 0);
}

// A bracket whose quiet end raises, and that may be freed inside its scope.
class TFragileTarget : public TObject {
 public:
  int Count = 0;
  std::vector<std::string> Log;
  void BeginUpdate() { ++Count; }
  void EndUpdate() {
    --Count;
    Log.push_back("end");
  }
  void EndUpdateQuiet() {
    --Count;
    Log.push_back("quiet");
    throw Exception("quiet end failed");
  }
};

TEST_F(UpdateScopeTest, WhatAQuietEndRaisesGoesToTheBoundaryAndAFreedTargetIsLeftAlone) {
  TFragileTarget target;
  try {
    const TUpdateScope update(&target);
    throw std::runtime_error("work failed");
  } catch (const std::runtime_error& error) {
    EXPECT_STREQ(error.what(), "work failed");  // the first exception goes on
  }
  EXPECT_EQ(target.Log, (std::vector<std::string>{"quiet"}));
  EXPECT_EQ(target.Count, 0);
  EXPECT_EQ(gCaught, (std::vector<std::string>{"quiet end failed"}));

  auto* doomed = new TFragileTarget;
  {
    const TUpdateScope update(doomed);
    delete doomed;  // as a handler inside the scope might
  }
  EXPECT_EQ(gCaught.size(), 1u);
}

TEST(AliveGuard, TellsWhetherItsObjectWasDestroyedWhileItWatched) {
  auto* first = new TObject;
  auto* second = new TStringList;
  const TAliveGuard none(nullptr);
  EXPECT_FALSE(none.Alive());
  {
    const TAliveGuard outer(first);
    const TAliveGuard again(first);
    const TAliveGuard other(second);
    EXPECT_TRUE(outer.Alive() && again.Alive() && other.Alive());
    delete first;
    EXPECT_FALSE(outer.Alive());
    EXPECT_FALSE(again.Alive());
    EXPECT_TRUE(other.Alive());
  }
  // A guard the destruction cleared stays cleared when the memory is used again.
  {
    const TAliveGuard guard(second);
    delete second;
    EXPECT_FALSE(guard.Alive());
    auto* reused = new TStringList;
    EXPECT_FALSE(guard.Alive());
    delete reused;
  }
}

// A sender whose event and step free it, or not.
class TSender : public TObject {
 public:
  TEvent<TObject*, int&> OnCount;
  void Step(int& count) {
    ++count;
    if (count > 1)
      delete this;
  }
};

struct TCountingHandler {
  TObject* Seen = nullptr;
  void Count(TObject* sender, int& count) {
    Seen = sender;
    if (++count > 1)
      delete sender;
  }
};

TEST(AliveGuard, SurvivesGivesTheSenderFirstToItsEventsAndStepsAndTellsWhetherItLived) {
  TCountingHandler handler;
  int count = 0;
  auto* sender = new TSender;
  sender->OnCount = TEvent<TObject*, int&>::Bind<&TCountingHandler::Count>(&handler);
  EXPECT_TRUE(Survives(sender, sender->OnCount, count));
  EXPECT_EQ(handler.Seen, sender);
  EXPECT_FALSE(Survives(sender, &TSender::Step, count)) << "the second count frees it";
  EXPECT_EQ(count, 2);

  // A lambda gets only the arguments; what it raises passes through, the guard ended.
  auto* other = new TSender;
  EXPECT_TRUE(Survives(other, [](int value) { EXPECT_EQ(value, 7); }, 7));
  EXPECT_THROW((void)Survives(other, [] { throw std::runtime_error("step failed"); }), std::runtime_error);
  EXPECT_FALSE(Survives(other, [&] { delete other; }));
  EXPECT_FALSE(Survives(static_cast<TSender*>(nullptr), [] {})) << "no sender never lives";
}

}  // namespace
