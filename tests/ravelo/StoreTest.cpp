// The server's storage: objects by handle across pages, component member lists,
// polygons that keep only the records they use, pads without values per layer until
// written, and the call log switched off and on.
#include <cstring>
#include <memory>
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

// The head fields few objects set live in a part made on the first value other than the
// one held: values set and set back, and objects that never had them, read as stored.
TEST_F(RaveloStore, SeldomSetHeadFieldsReadAsStoredWhetherSetOrNot) {
  const uint32_t plain = NewTrack(1, 2, 3, 4, 5, 1, FBoard);
  TTrack t;
  ASSERT_EQ(t.Sync(1, plain), 0);
  t.Flags = 0x8008, t.PrimitiveWord = -3, t.PrimitiveByte = 7, t.PrimitiveLong = -9;
  t.Aux1 = 11, t.Aux2 = -12, t.Aux3 = 13;
  const uint32_t flagged = PcbApiCreateObject(4);
  ASSERT_EQ(t.Sync(0, flagged), 0);
  uint8_t bits = 0x41;
  PcbApi_GetObjectBitField2(0, flagged, &bits);
  TTrack back;
  ASSERT_EQ(back.Sync(1, flagged), 0);
  EXPECT_EQ(back.Flags, 0x8008);
  EXPECT_EQ(back.PrimitiveWord, -3);
  EXPECT_EQ(back.PrimitiveByte, 7);
  EXPECT_EQ(back.PrimitiveLong, -9);
  EXPECT_EQ(back.Aux1, 11);
  EXPECT_EQ(back.Aux2, -12);
  EXPECT_EQ(back.Aux3, 13);
  bits = 0;
  PcbApi_GetObjectBitField2(1, flagged, &bits);
  EXPECT_EQ(bits, 0x41);
  EXPECT_NE(DumpObject(flagged).find("Flags=32776 PrimitiveWord=-3 PrimitiveByte=7 "
                                     "PrimitiveLong=-9 BitField2=65 BitField3=0"),
            std::string::npos)
      << DumpObject(flagged);
  // Set back to 0 one at a time; the plain track never had any.
  back.Flags = 0;
  ASSERT_EQ(back.Sync(0, flagged), 0);
  ASSERT_EQ(back.Sync(1, flagged), 0);
  EXPECT_EQ(back.Flags, 0);
  EXPECT_EQ(back.Aux3, 13);
  ASSERT_EQ(back.Sync(1, plain), 0);
  EXPECT_EQ(back.Flags, 0);
  EXPECT_EQ(back.Aux1, 0);
  // A component's text keeps its component through stores of its head.
  const uint32_t component = PcbApiCreateObject(9);
  TText text;
  ASSERT_EQ(text.Sync(1, component + 1), 0);
  text.Flags = 4;
  ASSERT_EQ(text.Sync(0, component + 1), 0);
  EXPECT_NE(DumpObject(component + 1).find(" of=#" + std::to_string(component)),
            std::string::npos)
      << DumpObject(component + 1);
}

// Texts are kept in a store of the process: a change of one object's text must not
// change another's, and a reset empties the store.
TEST_F(RaveloStore, ObjectsWithTheSameTextKeepTheirOwnWhenOneChanges) {
  TPad pad;
  const uint32_t a = PcbApiCreateObject(2), b = PcbApiCreateObject(2), c = PcbApiCreateObject(2);
  ASSERT_EQ(pad.Sync(1, a), 0);
  pad.Name = "A1";
  ASSERT_EQ(pad.Sync(0, a), 0);
  ASSERT_EQ(pad.Sync(0, b), 0);
  pad.Name = "B2";
  ASSERT_EQ(pad.Sync(0, a), 0);
  TPad back;
  ASSERT_EQ(back.Sync(1, b), 0);
  EXPECT_EQ(back.Name.Str(), "A1");
  ASSERT_EQ(back.Sync(1, a), 0);
  EXPECT_EQ(back.Name.Str(), "B2");
  pad.Name = "";
  ASSERT_EQ(pad.Sync(0, a), 0);
  ASSERT_EQ(back.Sync(1, a), 0);
  EXPECT_EQ(back.Name.Str(), "");
  ASSERT_EQ(back.Sync(1, c), 0);  // never named
  EXPECT_EQ(back.Name.Str(), "");
  // A pad's name is kept to 20 characters, whatever the length byte says; a text's to 254.
  uint8_t name[256] = {30};
  for (int i = 1; i <= 30; ++i)
    name[i] = static_cast<uint8_t>('a' + i % 26);
  TPad raw;
  ASSERT_EQ(raw.Sync(1, c), 0);
  std::memcpy(&raw.Name, name, sizeof raw.Name);
  ASSERT_EQ(raw.Sync(0, c), 0);
  ASSERT_EQ(back.Sync(1, c), 0);
  EXPECT_EQ(back.Name.Str(), std::string(reinterpret_cast<char*>(name + 1), 20));
  const uint32_t text = NewText(0, 0, "A1", 10, 0);
  EXPECT_NE(DumpObject(text).find(" Text=\"A1\""), std::string::npos);
  // A reset empties the texts' store; the texts made after it read as made.
  Control().Reset();
  const uint32_t fresh = PcbApiCreateObject(2);
  EXPECT_EQ(back.Sync(1, fresh), 0);
  EXPECT_EQ(back.Name.Str(), "");
  pad.Name = "Z9";
  ASSERT_EQ(pad.Sync(0, fresh), 0);
  pad.Name = "Y8";
  ASSERT_EQ(pad.Sync(0, PcbApiCreateObject(2)), 0);
  ASSERT_EQ(back.Sync(1, fresh), 0);
  EXPECT_EQ(back.Name.Str(), "Z9");
}

// A polygon keeps each record's host bytes only once a record has one that is not 0.
TEST_F(RaveloStore, PolygonRecordsKeepHostBytesWrittenAfterOthersAndWhenGrown) {
  const uint32_t polygon = PcbApiCreateObject(10);
  auto p = std::make_unique<TPolygon>();
  p->PointCount = 2;
  for (int i = 0; i <= 2; ++i)
    p->Segments[i] = TPolygonSegment{static_cast<uint8_t>(i), 10 * i, -10 * i, {}};
  ASSERT_EQ(p->Sync(0, polygon), 0);
  p->PointCount = 3;
  p->Segments[3] = TPolygonSegment{1, 30, -30, {}};
  p->Segments[3].Host[0] = 0xAB;
  p->Segments[3].Host[27] = 0xCD;
  ASSERT_EQ(p->Sync(0, polygon), 0);
  p->PointCount = 5;  // grown again: the new records have no host bytes
  p->Segments[4] = p->Segments[5] = TPolygonSegment{0, 50, 50, {}};
  ASSERT_EQ(p->Sync(0, polygon), 0);

  auto back = std::make_unique<TPolygon>();
  for (TPolygonSegment& s : back->Segments)
    std::memset(s.Host, 0xEE, sizeof s.Host);
  ASSERT_EQ(back->Sync(1, polygon), 0);
  ASSERT_EQ(back->PointCount, 5);
  const uint8_t none[sizeof(TPolygonSegment::Host)] = {};
  for (int i = 0; i <= 5; ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(back->Segments[i].Kind, p->Segments[i].Kind);
    EXPECT_EQ(back->Segments[i].X, p->Segments[i].X);
    EXPECT_EQ(back->Segments[i].Y, p->Segments[i].Y);
    if (i != 3) {
      EXPECT_EQ(std::memcmp(back->Segments[i].Host, none, sizeof none), 0);
    }
  }
  EXPECT_EQ(back->Segments[3].Host[0], 0xAB);
  EXPECT_EQ(back->Segments[3].Host[27], 0xCD);
  EXPECT_TRUE(back->GuardIntact());
}

// The event log keeps each message in a few bytes: sources that go down, the largest
// values and codes come back as sent, in order.
TEST_F(RaveloStore, EventLogGivesBackEveryMessageAsSent) {
  const uint32_t sources[] = {7, 5, 0xFFFFFFFFu, 0, 0x80000000u, 128, 127};
  std::string expected;
  uint16_t code = 0;
  for (uint32_t source : sources) {
    const uint32_t value = source ^ 0x5A5A5A5Au, data = ~source;
    PcbApiEventRouterSendMessage(source, value, code, data);
    expected += "event " + std::to_string(source) + " " + std::to_string(value) + " " +
                std::to_string(code) + " " + std::to_string(data) + "\n";
    code = static_cast<uint16_t>(code * 3 + 0x7F7F);
  }
  const std::string dump = Dump(FBoard);
  ASSERT_GE(dump.size(), expected.size());
  EXPECT_EQ(dump.substr(dump.size() - expected.size()), expected);
  Control().Reset();
  FBoard = Control().CreateBoard("C:\\b.PcbDoc");
  PcbApiEventRouterSendMessage(3, 0, 3, 0);
  const std::string fresh = Dump(FBoard);
  EXPECT_EQ(fresh.substr(fresh.find("event")), "event 3 0 3 0\n");
}

// The lists by kind and the iterators' snapshots keep each handle as the change from the
// one before: changes of many bytes, a snapshot started over and objects destroyed since.
TEST_F(RaveloStore, IteratorsByKindKeepHandlesFarApartInOrder) {
  std::vector<uint32_t> tracks;
  for (int round = 0; round < 3; ++round) {
    tracks.push_back(NewTrack(round, 0, 1, 1, 10, 1, FBoard));
    for (int i = 0; i < 20000 * round; ++i)  // gaps of 0, 20000 and 40000 handles
      PcbApiCreateObject(3);
  }
  tracks.push_back(NewTrack(9, 9, 1, 1, 10, 1, FBoard));
  const uint32_t iterator = PcbApiCreateIterator(FBoard, 4, 0, 0);
  std::vector<uint32_t> seen;
  for (uint32_t o = PcbApiGetFirstObject(iterator); o; o = PcbApiGetNextObject(iterator))
    seen.push_back(o);
  EXPECT_EQ(seen, tracks);
  EXPECT_EQ(PcbApiDestroyObject(tracks[2]), 0);
  seen.clear();
  for (uint32_t o = PcbApiGetFirstObject(iterator); o; o = PcbApiGetNextObject(iterator))
    seen.push_back(o);
  EXPECT_EQ(seen, (std::vector<uint32_t>{tracks[0], tracks[1], tracks[3]}));
  EXPECT_EQ(PcbApiDestroyIterator(iterator), 0);
  EXPECT_EQ(Iterate(FBoard, 4), (std::vector<uint32_t>{tracks[0], tracks[1], tracks[3]}));
  EXPECT_EQ(Iterate(FBoard, 3).size(), 0u);  // made but on no board
}

}  // namespace
