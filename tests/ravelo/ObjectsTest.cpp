// Handles, query direction, defaults, capacities and containers of the stand-in server.
#include <cstring>
#include <string>
#include <vector>

#include "tests/ravelo/RaveloTestSupport.h"

namespace {

using RaveloObjects = RaveloTest;

TEST_F(RaveloObjects, HandlesAreSequentialAndNeverReused) {
  const uint32_t a = PcbApiCreateObject(4);
  const uint32_t b = PcbApiCreateObject(3);
  EXPECT_EQ(a, FBoard + 1);
  EXPECT_EQ(b, a + 1);
  EXPECT_EQ(PcbApiDestroyObject(b), 0);
  EXPECT_EQ(PcbApiCreateObject(6), b + 1);
  EXPECT_EQ(PcbApiGetObjectIdFromObjectHandle(b), 0);
  EXPECT_EQ(PcbApiDestroyObject(b), 2);
}

TEST_F(RaveloObjects, UnsupportedKindsGiveNoObject) {
  for (uint8_t kind : {0, 16, 20, 22, 129})
    EXPECT_EQ(PcbApiCreateObject(kind), 0u) << int(kind);
  for (uint8_t kind : {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 21}) {
    const uint32_t handle = PcbApiCreateObject(kind);
    EXPECT_NE(handle, 0u);
    EXPECT_EQ(PcbApiGetObjectIdFromObjectHandle(handle), kind);
  }
}

TEST_F(RaveloObjects, UnknownHandleGivesStatusTwoAndWritesNothing) {
  TTrack track;
  std::memset(static_cast<void*>(&track), 0x77, sizeof track);
  TTrack before;
  std::memcpy(static_cast<void*>(&before), &track, sizeof track);
  EXPECT_EQ(track.Sync(1, 999), 2);
  EXPECT_EQ(std::memcmp(&track, &before, sizeof track), 0);
  TRect r;
  EXPECT_EQ(PcbApi_QueryObjectBoundingRectangle(999, &r.X1, &r.Y1, &r.X2, &r.Y2), 2);
  EXPECT_EQ(r, TRect{});
  EXPECT_EQ(PcbApiAddObjectToContainer(FBoard, 999), 2);
  EXPECT_EQ(PcbApiDestroyIterator(999), 2);
}

TEST_F(RaveloObjects, WrongKindGivesStatusThree) {
  const uint32_t via = PcbApiCreateObject(3);
  TTrack track;
  track.X = 123;
  EXPECT_EQ(track.Sync(1, via), 3);
  EXPECT_EQ(track.X, 123);
  EXPECT_EQ(track.Sync(1, FBoard), 3);
  int32_t value = 0;
  ShortString<255> text;
  uint8_t byte = 0;
  EXPECT_EQ(PcbApi_QueryBoard(1, via, &value, &text, &byte, &value, &value, &value, &value, &byte,
                              &byte, &value),
            3);
  EXPECT_EQ(PcbApiDestroyObject(FBoard), 3);
}

TEST_F(RaveloObjects, DirectionOneLoadsAnyOtherStores) {
  const uint32_t handle = PcbApiCreateObject(4);
  TTrack stored, loaded;
  std::memset(static_cast<void*>(&stored), 0, sizeof stored);
  std::memset(static_cast<void*>(&loaded), 0, sizeof loaded);
  stored.Flags = 0x0810, stored.PrimitiveWord = -5, stored.Layer = 32, stored.Net = 0;
  stored.PrimitiveByte = 9, stored.PrimitiveLong = -70000, stored.X = 1, stored.Y = -2;
  stored.X2 = 3, stored.Y2 = 4, stored.Width = 5, stored.Aux1 = 6, stored.Aux2 = 7;
  stored.Aux3 = 8;
  EXPECT_EQ(stored.Sync(7, handle), 0);  // any value but 1 stores
  EXPECT_EQ(loaded.Sync(1, handle), 0);
  EXPECT_EQ(std::memcmp(&loaded, &stored, sizeof loaded), 0);

  uint8_t bits = 0x42;
  PcbApi_GetObjectBitField2(0, handle, &bits);
  bits = 0;
  PcbApi_GetObjectBitField2(1, handle, &bits);
  EXPECT_EQ(bits, 0x42);
  PcbApi_GetObjectBitField3(1, handle, &bits);
  EXPECT_EQ(bits, 0);
}

TEST_F(RaveloObjects, NewObjectsCarryTheirDefaults) {
  TText text;
  EXPECT_EQ(text.Sync(1, PcbApiCreateObject(5)), 0);
  EXPECT_EQ(text.Size, 600000);
  EXPECT_EQ(text.LineWidth, 100000);
  EXPECT_EQ(text.Layer, 0);
  EXPECT_TRUE(text.Text.Empty());
  TVia via;
  EXPECT_EQ(via.Sync(1, PcbApiCreateObject(3)), 0);
  EXPECT_EQ(via.Size, 500000);
  EXPECT_EQ(via.HoleSize, 280000);
  const uint32_t padHandle = PcbApiCreateObject(2);
  TPad pad;
  EXPECT_EQ(pad.Sync(1, padHandle), 0);
  for (int32_t size :
       {pad.TopXSize, pad.TopYSize, pad.MidXSize, pad.MidYSize, pad.BotXSize, pad.BotYSize})
    EXPECT_EQ(size, 600000);
  EXPECT_EQ(pad.TopShape + pad.MidShape + pad.BotShape, 3);
  EXPECT_EQ(pad.HoleSize, 300000);
  uint8_t stackMode = 9;
  EXPECT_EQ(PcbApi_QueryPadStackMode(1, padHandle, &stackMode), 0);
  EXPECT_EQ(stackMode, 0);
  TTrack track;
  track.Width = 1;
  EXPECT_EQ(track.Sync(1, PcbApiCreateObject(4)), 0);
  EXPECT_EQ(track.Width, 0);
  EXPECT_EQ(track.Layer, 0);

  const uint32_t component = PcbApiCreateObject(9);
  TComponent c;
  c.Rotation = 5;
  EXPECT_EQ(c.Sync(1, component), 0);
  EXPECT_EQ(c.X, 0);
  EXPECT_EQ(c.Y, 0);
  EXPECT_EQ(c.Rotation, 0.0);
  EXPECT_EQ(c.Layer, 1);
  EXPECT_EQ(uint32_t(c.NameText), component + 1);
  EXPECT_EQ(uint32_t(c.CommentText), component + 2);
  TText name;
  EXPECT_EQ(name.Sync(1, c.NameText), 0);
  EXPECT_EQ(name.Size, 600000);
}

TEST_F(RaveloObjects, ShortStringsStayWithinTheirCapacity) {
  // A pad name of capacity 20 whose length byte claims 255.
  struct {
    uint8_t Length = 255;
    char Chars[20];
    uint8_t Guard[236];
  } forged;
  std::memset(forged.Chars, 'N', sizeof forged.Chars);
  std::memset(forged.Guard, 'G', sizeof forged.Guard);
  const uint32_t handle = PcbApiCreateObject(2);
  TPad pad;
  EXPECT_EQ(pad.Sync(1, handle), 0);
  auto* name = reinterpret_cast<ShortString<20>*>(&forged);
  auto sync = [&](uint8_t mode) {
    return PcbApi_QueryPad(mode, handle, &pad.Flags, &pad.PrimitiveWord, &pad.Layer, &pad.Net,
                           &pad.PrimitiveByte, &pad.PrimitiveLong, &pad.X, &pad.Y, &pad.TopXSize,
                           &pad.TopYSize, &pad.MidXSize, &pad.MidYSize, &pad.BotXSize,
                           &pad.BotYSize, &pad.HoleSize, &pad.TopShape, &pad.MidShape,
                           &pad.BotShape, name, &pad.PadByte1, &pad.PadByte2, &pad.Rotation);
  };
  EXPECT_EQ(sync(0), 0);
  std::memset(static_cast<void*>(&forged), 0, 21);
  EXPECT_EQ(sync(1), 0);
  EXPECT_EQ(name->View(), std::string(20, 'N'));
  EXPECT_EQ(std::string(reinterpret_cast<char*>(forged.Guard), sizeof forged.Guard),
            std::string(sizeof forged.Guard, 'G'));

  // A text of 254 characters comes back whole into a field of capacity 254.
  struct {
    ShortString<254> Text;
    char Guard[16];
  } text;
  std::memset(text.Guard, 'G', sizeof text.Guard);
  const uint32_t textHandle = NewText(0, 0, std::string(300, 'x').c_str(), 10, 0);
  TText t;
  EXPECT_EQ(
      PcbApi_QueryText(1, textHandle, &t.Flags, &t.PrimitiveWord, &t.Layer, &t.Net,
                       &t.PrimitiveByte, &t.PrimitiveLong, &t.X, &t.Y, &t.Size, &t.TextAux,
                       &t.Rotation, &t.MirrorFlag, &text.Text, &t.LineWidth, &t.Aux2, &t.Aux3),
      0);
  EXPECT_EQ(text.Text.Length(), 254u);
  EXPECT_EQ(std::string(text.Guard, sizeof text.Guard), std::string(16, 'G'));
}

TEST_F(RaveloObjects, PolygonRecordsNeverPassFiveHundredOne) {
  const uint32_t handle = PcbApiCreateObject(10);
  TPolygon polygon;
  EXPECT_EQ(polygon.Sync(1, handle), 0);
  for (int i = 0; i < 501; ++i)
    polygon.Segments[i].X = i;
  polygon.PointCount = 600;
  EXPECT_EQ(polygon.Sync(0, handle), 0);
  TPolygon loaded;
  EXPECT_EQ(loaded.Sync(1, handle), 0);
  EXPECT_EQ(loaded.PointCount, 500);
  EXPECT_EQ(loaded.Segments[500].X, 500);
  EXPECT_TRUE(loaded.GuardIntact());
}

TEST_F(RaveloObjects, DimensionReferencesStopAtTwoHundred) {
  const uint32_t dimension = PcbApiCreateObject(11);
  int32_t v[4] = {1, 2, 3, 4};
  for (int i = 0; i < 200; ++i)
    EXPECT_EQ(PcbApi_References_At(0, dimension, i, &v[0], &v[1], &v[2], &v[3]), 0);
  EXPECT_EQ(PcbApi_References_At(0, dimension, 200, &v[0], &v[1], &v[2], &v[3]), 4);
  int32_t count = 0;
  EXPECT_EQ(PcbApi_References_Count(dimension, &count), 0);
  EXPECT_EQ(count, 200);
  v[0] = 0;
  EXPECT_EQ(PcbApi_References_At(1, dimension, 199, &v[0], &v[1], &v[2], &v[3]), 0);
  EXPECT_EQ(v[0], 1);
  EXPECT_EQ(PcbApi_References_At(1, dimension, 200, &v[0], &v[1], &v[2], &v[3]), 4);
}

TEST_F(RaveloObjects, ContainersSetOwnerAndNet) {
  const uint32_t net = PcbApiCreateObject(8);
  const uint32_t component = PcbApiCreateObject(9);
  const uint32_t track = NewTrack(0, 0, 10, 10, 2);
  EXPECT_EQ(PcbApiAddObjectToContainer(FBoard, net), 0);
  EXPECT_EQ(PcbApiAddObjectToContainer(FBoard, component), 0);
  EXPECT_EQ(PcbApiAddObjectToContainer(component, track), 0);
  EXPECT_EQ(PcbApiAddObjectToContainer(net, track), 0);
  TTrack t;
  EXPECT_EQ(t.Sync(1, track), 0);
  EXPECT_EQ(uint32_t(t.Net), net);
  EXPECT_EQ(Iterate(component), std::vector<uint32_t>{track});  // still a member
  EXPECT_EQ(Iterate(net), std::vector<uint32_t>{track});

  EXPECT_EQ(PcbApiDeleteObjectFromContainer(net, track), 0);
  EXPECT_EQ(t.Sync(1, track), 0);
  EXPECT_EQ(t.Net, 0);
  EXPECT_EQ(PcbApiDeleteObjectFromContainer(net, track), 4);
  EXPECT_EQ(PcbApiDeleteObjectFromContainer(component, track), 0);
  EXPECT_TRUE(Iterate(component).empty());
  EXPECT_EQ(PcbApiAddObjectToContainer(component, component), 4);
  EXPECT_EQ(PcbApiAddObjectToContainer(track, net), 3);
}

TEST_F(RaveloObjects, DestroyingAComponentDestroysItsMembersAndTexts) {
  const uint32_t component = PcbApiCreateObject(9);
  const uint32_t track = NewTrack(0, 0, 10, 10, 2, 1, component);
  const uint32_t other = NewTrack(0, 0, 10, 10, 2, 1, FBoard);
  EXPECT_EQ(PcbApiAddObjectToContainer(FBoard, component), 0);
  EXPECT_EQ(PcbApiDestroyObject(component), 0);
  for (uint32_t gone : {component, component + 1, component + 2, track})
    EXPECT_EQ(PcbApiGetObjectIdFromObjectHandle(gone), 0) << gone;
  EXPECT_EQ(Iterate(FBoard), std::vector<uint32_t>{other});
}

// Destroying an object finds what names it through the server's indexes instead of a
// walk over every object: the nets stored by queries and by containers, objects that
// moved on to another net or left and came back, and a component's texts.
TEST_F(RaveloObjects, DestroyingAnObjectClearsEveryReferenceToItAndNoOther) {
  const uint32_t net = PcbApiCreateObject(8), other = PcbApiCreateObject(8);
  auto netOf = [](uint32_t track) {
    TTrack t;
    EXPECT_EQ(t.Sync(1, track), 0);
    return static_cast<uint32_t>(t.Net);
  };
  std::vector<uint32_t> tracks;
  for (int i = 0; i < 60; ++i) {
    tracks.push_back(NewTrack(i, 0, i, 10, 2, 1, FBoard));
    ASSERT_EQ(PcbApiAddObjectToContainer(net, tracks.back()), 0);
  }
  // Most leave the net (the list is tidied on the way), some for the other net, one
  // leaves and comes back, and one names the net through a stored query.
  for (int i = 0; i < 50; ++i)
    ASSERT_EQ(PcbApiDeleteObjectFromContainer(net, tracks[i]), 0);
  for (int i = 0; i < 10; ++i)
    ASSERT_EQ(PcbApiAddObjectToContainer(other, tracks[i]), 0);
  ASSERT_EQ(PcbApiAddObjectToContainer(net, tracks[20]), 0);
  ASSERT_EQ(PcbApiDeleteObjectFromContainer(net, tracks[20]), 0);
  ASSERT_EQ(PcbApiAddObjectToContainer(net, tracks[20]), 0);
  TTrack stored;
  ASSERT_EQ(stored.Sync(1, tracks[30]), 0);
  stored.Net = static_cast<int32_t>(net);
  ASSERT_EQ(stored.Sync(0, tracks[30]), 0);
  // A track whose stored net is another track.
  stored.Net = static_cast<int32_t>(tracks[59]);
  ASSERT_EQ(stored.Sync(0, tracks[40]), 0);

  EXPECT_EQ(PcbApiDestroyObject(net), 0);
  for (int i = 0; i < 60; ++i) {
    const uint32_t expected = i < 10 ? other : i == 40 ? tracks[59] : 0;
    EXPECT_EQ(netOf(tracks[i]), expected) << i;
  }
  EXPECT_EQ(PcbApiDestroyObject(tracks[59]), 0);
  EXPECT_EQ(netOf(tracks[40]), 0u);
  EXPECT_EQ(PcbApiDestroyObject(tracks[0]), 0);
  EXPECT_EQ(PcbApiDestroyObject(other), 0);
  EXPECT_EQ(netOf(tracks[1]), 0u);

  // A component's name text destroyed on its own is no longer its name text.
  const uint32_t component = PcbApiCreateObject(9);
  EXPECT_EQ(PcbApiDestroyObject(component + 1), 0);
  TComponent c;
  EXPECT_EQ(c.Sync(1, component), 0);
  EXPECT_EQ(c.NameText, 0);
  EXPECT_EQ(c.CommentText, static_cast<int32_t>(component + 2));
}

TEST_F(RaveloObjects, ClassMembersAndPerLayerPadValues) {
  const uint32_t objectClass = PcbApiCreateObject(13);
  EXPECT_EQ(PcbApi_AddMemberToClass(objectClass, "GND"), 0);
  EXPECT_EQ(PcbApi_AddMemberToClass(objectClass, "VCC"), 0);
  ShortString<255> name;
  EXPECT_EQ(PcbApi_GetMemberFromClassAt(objectClass, 1, &name), 0);
  EXPECT_EQ(name.View(), "VCC");
  EXPECT_EQ(PcbApi_GetMemberFromClassAt(objectClass, 2, &name), 1);
  EXPECT_EQ(PcbApi_RemoveAllMembersFromClass(objectClass), 0);
  EXPECT_EQ(PcbApi_GetMemberFromClassAt(objectClass, 0, &name), 1);

  const uint32_t pad = PcbApiCreateObject(2);
  EXPECT_EQ(PcbApi_SetPadShapeOnLayer(pad, 5, 2), 0);
  EXPECT_EQ(PcbApi_SetPadSizeOnLayer(pad, 5, 100, 200), 0);
  uint8_t shape = 0;
  int32_t x = 0, y = 0;
  EXPECT_EQ(PcbApi_QueryPadOrViaSizeOnLayer(pad, 5, &x, &y), 0);
  EXPECT_EQ(x, 600000);  // stack mode 0: the mid-layer size
  uint8_t stackMode = 2;
  EXPECT_EQ(PcbApi_QueryPadStackMode(0, pad, &stackMode), 0);
  EXPECT_EQ(PcbApi_QueryPadOrViaShapeOnLayer(pad, 5, &shape), 0);
  EXPECT_EQ(PcbApi_QueryPadOrViaSizeOnLayer(pad, 5, &x, &y), 0);
  EXPECT_EQ(shape, 2);
  EXPECT_EQ(x, 100);
  EXPECT_EQ(y, 200);
  EXPECT_EQ(PcbApi_QueryPadOrViaSizeOnLayer(pad, 83, &x, &y), 4);
  EXPECT_EQ(PcbApi_SetPadShapeOnLayer(PcbApiCreateObject(3), 1, 2), 3);
}

}  // namespace
