// Iterators: snapshots in creation order over a board, a component or a net.
#include "tests/ravelo/RaveloTestSupport.h"

namespace {

using RaveloIterators = RaveloTest;

TEST_F(RaveloIterators, BoardScopeTakesMembersAndComponentTexts) {
  const uint32_t before = NewTrack(0, 0, 1, 1, 1, 1, FBoard);
  const uint32_t component = PcbApiCreateObject(9);
  const uint32_t member = NewTrack(0, 0, 1, 1, 1, 1, component);
  const uint32_t loose = NewTrack(0, 0, 1, 1, 1, 1);
  EXPECT_EQ(PcbApiAddObjectToContainer(FBoard, component), 0);
  const uint32_t after = NewTrack(0, 0, 1, 1, 1, 1, FBoard);
  EXPECT_EQ(Iterate(FBoard), (std::vector<uint32_t>{before, component, component + 1, component + 2,
                                                    member, after}));
  EXPECT_EQ(Iterate(component), std::vector<uint32_t>{member});
  EXPECT_NE(loose, 0u);
}

TEST_F(RaveloIterators, FilterByKindAndLayer) {
  const uint32_t top = NewTrack(0, 0, 1, 1, 1, /*layer=*/1, FBoard);
  const uint32_t bottom = NewTrack(0, 0, 1, 1, 1, /*layer=*/32, FBoard);
  const uint32_t text = NewText(0, 0, "A", 10, 0, false, FBoard);  // layer 33
  const uint32_t net = PcbApiCreateObject(8);
  EXPECT_EQ(PcbApiAddObjectToContainer(FBoard, net), 0);
  EXPECT_EQ(Iterate(FBoard, 4), (std::vector<uint32_t>{top, bottom}));
  EXPECT_EQ(Iterate(FBoard, 4, 32), std::vector<uint32_t>{bottom});
  EXPECT_EQ(Iterate(FBoard, 0, 33), std::vector<uint32_t>{text});
  EXPECT_EQ(Iterate(FBoard, 8), std::vector<uint32_t>{net});
  EXPECT_TRUE(Iterate(FBoard, 3).empty());
}

TEST_F(RaveloIterators, SnapshotSkipsDestroyedObjects) {
  const uint32_t a = NewTrack(0, 0, 1, 1, 1, 1, FBoard);
  const uint32_t b = NewTrack(0, 0, 1, 1, 1, 1, FBoard);
  const uint32_t iterator = PcbApiCreateIterator(FBoard, 0, 0, 0);
  NewTrack(0, 0, 1, 1, 1, 1, FBoard);  // not in the snapshot
  EXPECT_EQ(PcbApiDestroyObject(b), 0);
  EXPECT_EQ(PcbApiGetFirstObject(iterator), a);
  EXPECT_EQ(PcbApiGetNextObject(iterator), 0u);
  EXPECT_EQ(PcbApiGetFirstObject(iterator), a);  // starts over
  EXPECT_EQ(PcbApiDestroyIterator(iterator), 0);
  EXPECT_EQ(PcbApiGetFirstObject(iterator), 0u);
}

// Iterators over one kind of a board, alive side by side; one destroyed stays unknown
// though a later one takes its place in the server.
TEST_F(RaveloIterators, IteratorsLiveSideBySide) {
  const uint32_t track = NewTrack(0, 0, 1, 1, 1, 1, FBoard);
  const uint32_t gone = NewTrack(0, 0, 1, 1, 1, 1, FBoard);
  const uint32_t component = PcbApiCreateObject(9);
  EXPECT_EQ(PcbApiAddObjectToContainer(FBoard, component), 0);
  const uint32_t text = NewText(0, 0, "A", 10, 0, false, FBoard);
  EXPECT_EQ(PcbApiDestroyObject(gone), 0);
  const uint32_t tracks = PcbApiCreateIterator(FBoard, 4, 0, 0);
  const uint32_t texts = PcbApiCreateIterator(FBoard, 5, 0, 0);
  EXPECT_EQ(PcbApiGetFirstObject(tracks), track);
  EXPECT_EQ(PcbApiGetFirstObject(texts), component + 1);
  EXPECT_EQ(PcbApiGetNextObject(texts), component + 2);
  EXPECT_EQ(PcbApiGetNextObject(tracks), 0u);
  EXPECT_EQ(PcbApiDestroyIterator(tracks), 0);
  const uint32_t members = PcbApiCreateIterator(component, 0, 0, 0);
  EXPECT_NE(members, tracks);
  EXPECT_EQ(PcbApiGetFirstObject(tracks), 0u);
  EXPECT_EQ(PcbApiDestroyIterator(tracks), 2);
  EXPECT_EQ(PcbApiGetFirstObject(members), 0u);
  EXPECT_EQ(PcbApiGetNextObject(texts), text);
  EXPECT_EQ(PcbApiGetNextObject(texts), 0u);
  EXPECT_TRUE(Iterate(FBoard, 200).empty());  // no kind of that code
}

// An iterator over one kind of a board holds the objects of that kind it was made with:
// all of them when every one is on the board (a later one is not met), else those on the
// board in order, also when the first one left out comes after some taken.
TEST_F(RaveloIterators, KindSnapshotHoldsWhatItWasMadeWith) {
  const uint32_t first = NewTrack(0, 0, 1, 1, 1, 1, FBoard);
  const uint32_t second = NewTrack(0, 0, 1, 1, 1, 1, FBoard);
  const uint32_t every = PcbApiCreateIterator(FBoard, 4, 0, 0);
  const uint32_t later = NewTrack(0, 0, 1, 1, 1, 1, FBoard);
  EXPECT_EQ(PcbApiGetFirstObject(every), first);
  EXPECT_EQ(PcbApiGetNextObject(every), second);
  EXPECT_EQ(PcbApiGetNextObject(every), 0u);
  const uint32_t loose = NewTrack(0, 0, 1, 1, 1, 1);  // in no container
  const uint32_t last = NewTrack(0, 0, 1, 1, 1, 1, FBoard);
  EXPECT_EQ(Iterate(FBoard, 4), (std::vector<uint32_t>{first, second, later, last}));
  EXPECT_NE(loose, 0u);
  EXPECT_EQ(PcbApiDestroyObject(first), 0);
  EXPECT_EQ(PcbApiGetFirstObject(every), second);  // starts over, passing the destroyed one
  EXPECT_EQ(PcbApiGetNextObject(every), 0u);
  EXPECT_EQ(Iterate(FBoard, 4), (std::vector<uint32_t>{second, later, last}));
}

TEST_F(RaveloIterators, OnlyContainersHaveIterators) {
  const uint32_t track = NewTrack(0, 0, 1, 1, 1, 1, FBoard);
  EXPECT_EQ(PcbApiCreateIterator(track, 0, 0, 0), 0u);
  EXPECT_EQ(PcbApiCreateIterator(12345, 0, 0, 0), 0u);
}

TEST_F(RaveloIterators, FailureSwitchMakesCreationFail) {
  NewTrack(0, 0, 1, 1, 1, 1, FBoard);
  Control().InjectResult("PcbApi_CreateIterator", 0);
  EXPECT_EQ(PcbApiCreateIterator(FBoard, 0, 0, 0), 0u);
  Control().ClearInjections();
  EXPECT_NE(PcbApiCreateIterator(FBoard, 0, 0, 0), 0u);
}

}  // namespace
