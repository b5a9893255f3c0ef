// The server's storage: objects by handle across pages, component member lists,
// polygons that keep only the records they use, pads without values per layer until
// written, and the call log switched off and on.
#include <string>
#include <vector>

#include "tests/ravelo/RaveloTestSupport.h"

namespace {

using RaveloStore = RaveloTest;

TEST_F(RaveloStore, ObjectsOnManyPagesKeepCreationOrderAndDestroyedHandlesStayGone) {
  std::vector<uint32_t> tracks;
  for (int i = 0; i < 2500; ++i)
    tracks.push_back(NewTrack(i, 0, i, 10, 100, 1, FBoard));
  const uint32_t iterator = PcbApiCreateIterator(FBoard, 0, 0, 0);
  ASSERT_NE(iterator, 0u);
  for (size_t i = 0; i < tracks.size(); i += 7)
    EXPECT_EQ(PcbApiDestroyObject(tracks[i]), 0);
  std::vector<uint32_t> expected;
  for (size_t i = 0; i < tracks.size(); ++i)
    if (i % 7 != 0)
      expected.push_back(tracks[i]);
  EXPECT_EQ(Iterate(FBoard), expected);
  // The snapshot taken before passes over the destroyed ones.
  std::vector<uint32_t> snapshot;
  for (uint32_t o = PcbApiGetFirstObject(iterator); o; o = PcbApiGetNextObject(iterator))
    snapshot.push_back(o);
  EXPECT_EQ(snapshot, expected);
  EXPECT_EQ(PcbApiDestroyIterator(iterator), 0);

  EXPECT_EQ(PcbApiDestroyObject(tracks[0]), 2);
  EXPECT_EQ(PcbApiGetObjectIdFromObjectHandle(tracks[0]), 0);
  EXPECT_EQ(PcbApiGetObjectIdFromObjectHandle(tracks[1]), 4);
  EXPECT_EQ(PcbApiGetObjectIdFromObjectHandle(iterator), 0);  // an iterator's handle
  EXPECT_EQ(PcbApiGetObjectIdFromObjectHandle(tracks.back() + 100000), 0);
  EXPECT_EQ(PcbApiDestroyObject(FBoard), 3);
  EXPECT_GT(PcbApiCreateObject(4), iterator);  // handles are never reused
}

TEST_F(RaveloStore, ComponentMembersStayInCreationOrderWhateverTheOrderAdded) {
  const uint32_t component = PcbApiCreateObject(9);
  const uint32_t a = NewTrack(0, 0, 1, 1, 10);
  const uint32_t b = NewTrack(0, 0, 1, 1, 10);
  const uint32_t c = NewTrack(0, 0, 1, 1, 10);
  EXPECT_EQ(PcbApiAddObjectToContainer(component, c), 0);
  EXPECT_EQ(PcbApiAddObjectToContainer(component, a), 0);
  EXPECT_EQ(PcbApiAddObjectToContainer(component, b), 0);
  EXPECT_EQ(PcbApiAddObjectToContainer(component, b), 0);  // again: still once
  EXPECT_EQ(Iterate(component), (std::vector<uint32_t>{a, b, c}));
  EXPECT_EQ(PcbApiDeleteObjectFromContainer(component, b), 0);
  EXPECT_EQ(PcbApiDeleteObjectFromContainer(component, b), 4);
  EXPECT_EQ(PcbApiAddObjectToContainer(FBoard, a), 0);  // moves to the board
  EXPECT_EQ(Iterate(component), (std::vector<uint32_t>{c}));
  EXPECT_EQ(PcbApiAddObjectToContainer(FBoard, component), 0);
  // The board: its objects, the component's member and its two texts, by handle.
  EXPECT_EQ(Iterate(FBoard),
            (std::vector<uint32_t>{component, component + 1, component + 2, a, c}));
  EXPECT_EQ(PcbApiDestroyObject(component), 0);
  EXPECT_EQ(Iterate(FBoard), (std::vector<uint32_t>{a}));
  EXPECT_EQ(PcbApiGetObjectIdFromObjectHandle(c), 0);
}

int32_t QueryPointCountOnly(uint8_t mode, uint32_t polygon, int32_t& pointCount) {
  TPolygon p;
  return PcbApi_QueryPolygon(mode, polygon, &p.Flags, &p.PrimitiveWord, &p.Layer, &p.Net,
                             &p.PrimitiveByte, &p.PolygonFlag1, &p.PolygonFlag2, &p.PolygonFlag3,
                             &p.GridSize, &p.TrackWidth, &p.PolygonByte1, &p.PolygonByte2,
                             &p.PolygonLong, &p.PolygonByte, &pointCount, /*segments=*/nullptr);
}

TEST_F(RaveloStore, PolygonRecordsSurviveAShorterCountAndGrowAsZeroRecords) {
  const uint32_t polygon = PcbApiCreateObject(10);
  TPolygon p;
  p.PointCount = 10;
  for (int i = 0; i <= 10; ++i)
    p.Segments[i] = TPolygonSegment{0, 100 + i, 200 + i, {}};
  EXPECT_EQ(p.Sync(0, polygon), 0);
  p.PointCount = 3;
  EXPECT_EQ(p.Sync(0, polygon), 0);
  int32_t count = 10;
  EXPECT_EQ(QueryPointCountOnly(0, polygon, count), 0);
  TPolygon loaded;
  EXPECT_EQ(loaded.Sync(1, polygon), 0);
  EXPECT_EQ(loaded.PointCount, 10);
  EXPECT_EQ(loaded.Segments[10].X, 110);  // written before the count went down
  EXPECT_EQ(loaded.Segments[10].Y, 210);

  const uint32_t fresh = PcbApiCreateObject(10);
  count = 2;
  EXPECT_EQ(QueryPointCountOnly(0, fresh, count), 0);
  for (TPolygonSegment& s : loaded.Segments)
    s.X = -1;
  EXPECT_EQ(loaded.Sync(1, fresh), 0);
  EXPECT_EQ(loaded.PointCount, 2);
  EXPECT_EQ(loaded.Segments[2].X, 0);
  EXPECT_EQ(loaded.Segments[3].X, -1);  // past PointCount nothing is written
  const std::string line = DumpObject(fresh);
  EXPECT_NE(line.find("PointCount=2 [0 0(0mil) 0(0mil)] [0 0(0mil) 0(0mil)] [0 0(0mil) 0(0mil)]"),
            std::string::npos)
      << line;
  EXPECT_EQ(Rect(fresh), (TRect{0, 0, 0, 0}));
}

TEST_F(RaveloStore, PadValuesPerLayerReadAsTheNewPadsUntilWritten) {
  const uint32_t pad = PcbApiCreateObject(2);
  uint8_t stackMode = 2;
  EXPECT_EQ(PcbApi_QueryPadStackMode(0, pad, &stackMode), 0);
  uint8_t shape = 0;
  int32_t x = 0, y = 0;
  for (uint8_t layer : {1, 16, 32}) {
    EXPECT_EQ(PcbApi_QueryPadOrViaShapeOnLayer(pad, layer, &shape), 0);
    EXPECT_EQ(PcbApi_QueryPadOrViaSizeOnLayer(pad, layer, &x, &y), 0);
    EXPECT_EQ(shape, 1);
    EXPECT_EQ(x, 600000);
    EXPECT_EQ(y, 600000);
  }
  EXPECT_EQ(PcbApi_QueryPadOrViaSizeOnLayer(pad, 33, &x, &y), 0);
  EXPECT_EQ(x, 0);
  EXPECT_NE(DumpObject(pad).find(" L32=1/600000x600000"), std::string::npos);
  EXPECT_EQ(PcbApi_SetPadSizeOnLayer(pad, 7, 5, 6), 0);
  EXPECT_NE(DumpObject(pad).find(" L6=1/600000x600000 L7=1/5x6 L8=1/600000x600000"),
            std::string::npos);
}

TEST_F(RaveloStore, CallLogCanBeSwitchedOffAndResetKeepsItAgain) {
  Control().ClearCallLog();
  Control().KeepCallLog(0);
  const uint32_t track = PcbApiCreateObject(4);
  EXPECT_NE(track, 0u);
  PcbApiEventRouterSendMessage(track, 0, 3, 0);
  EXPECT_EQ(CallLog(), "");
  EXPECT_NE(Dump(FBoard).find("event 2 0 3 0"), std::string::npos);  // the work is done
  Control().KeepCallLog(1);
  PcbApiCreateObject(4);
  EXPECT_EQ(CallLog(), "PcbApi_CreateObject(4) = 3\n");
  Control().KeepCallLog(0);
  Control().Reset();
  PcbApiCreateObject(4);
  EXPECT_EQ(CallLog(), "PcbApi_CreateObject(4) = 1\n");
}

}  // namespace
