// The proxy root: the factory and its 7-bit kind mask, the one-shot accessors, the flag
// bits with the two setters that store at once, the root's neutral defaults and its
// corner geometry.
#include <memory>
#include <string>

#include "pcb/PcbBookkeeping.h"
#include "pcb/PcbDimension.h"
#include "pcb/PcbGroups.h"
#include "pcb/PcbObjectFactory.h"
#include "pcb/PcbPad.h"
#include "pcb/PcbPrimitives.h"
#include "tests/proxies/ProxyTestSupport.h"
#include "tests/ravelo/RaveloTestSupport.h"

namespace {

using ProxyFactory = RaveloTest;

TEST_F(ProxyFactory, MakesTheClassOfEachKindLoaded) {
  const std::pair<uint8_t, const char*> kinds[] = {
      {1, "TPcbArc"},          {2, "TPcbPad"},         {3, "TPcbVia"},
      {4, "TPcbTrack"},        {5, "TPcbText"},        {6, "TPcbFill"},
      {7, "TPcbFromTo"},       {8, "TPcbNet"},         {9, "TPcbComponent"},
      {10, "TPcbPolygon"},     {11, "TPcbDimension"},  {12, "TPcbCoordinate"},
      {13, "TPCBObjectClass"}, {14, "TPcbRule"},       {15, "TPcbManualFromTo"},
      {21, "TPcbBoardOutline"}};
  for (const auto& [kind, className] : kinds) {
    const uint32_t handle = PcbApiCreateObject(kind);
    std::unique_ptr<TPCBObject> proxy = CreatePcbObjectFromHandle(handle);
    ASSERT_NE(proxy, nullptr) << int(kind);
    EXPECT_STREQ(proxy->ClassName(), className);
    EXPECT_EQ(proxy->GetObjectId(), kind);
    EXPECT_EQ(proxy->GetHandle(), handle);
  }
  EXPECT_TRUE(CreatePcbObjectFromHandle(PcbApiCreateObject(okComponent))->Is<TPcbGroupObject>());
  EXPECT_TRUE(CreatePcbObjectFromHandle(PcbApiCreateObject(okBoardOutline))->Is<TPcbPolygon>());
}

TEST_F(ProxyFactory, LoadsWhatItMakes) {
  const uint32_t arc = PcbApiCreateObject(okArc);
  TPcbArc stored(arc);
  stored.SetRadius(777000);
  ASSERT_EQ(stored.Synchronize(0), 0);
  Control().ClearCallLog();
  std::unique_ptr<TPCBObject> proxy = CreatePcbObjectFromHandle(arc);
  EXPECT_EQ(proxy->GetRadius(), 777000);
  EXPECT_EQ(Calls(CallLog(), "PcbApi_QueryArc").at(0), "PcbApi_QueryArc(1, " + Num(arc) + ") = 0");
}

TEST_F(ProxyFactory, KeepsTheLowerSevenBitsOfTheKind) {
  const uint32_t arc = PcbApiCreateObject(okArc);
  TPcbArc stored(arc);
  stored.SetRadius(123456);
  ASSERT_EQ(stored.Synchronize(0), 0);
  Control().InjectResult("PcbApi_GetObjectIdFromObjectHandle", 129);
  std::unique_ptr<TPCBObject> proxy = CreatePcbObjectFromHandle(arc);
  ASSERT_NE(proxy, nullptr);
  EXPECT_STREQ(proxy->ClassName(), "TPcbArc");
  EXPECT_EQ(proxy->GetRadius(), 123456);
  for (uint32_t kind : {0u, 16u, 20u, 22u, 127u, 144u}) {
    Control().InjectResult("PcbApi_GetObjectIdFromObjectHandle", kind);
    Control().ClearCallLog();
    EXPECT_EQ(CreatePcbObjectFromHandle(arc), nullptr) << kind;
    EXPECT_EQ(CallNames(CallLog()),
              std::vector<std::string>{"PcbApi_GetObjectIdFromObjectHandle"});
  }
}

TEST_F(ProxyFactory, OneShotAccessorsReadAndStoreOneValue) {
  const uint32_t track = NewTrack(10, 20, 30, 40, 5);
  EXPECT_EQ(GetObjectX(track), 10);
  EXPECT_EQ(GetObjectY(track), 20);
  EXPECT_EQ(GetObjectX2(track), 30);
  EXPECT_EQ(GetObjectY2(track), 40);
  SetObjectX(track, -1);
  SetObjectY(track, -2);
  SetObjectX2(track, -3);
  SetObjectY2(track, -4);
  ExpectFields(DumpObject(track), {{"X", "-1"}, {"Y", "-2"}, {"X2", "-3"}, {"Y2", "-4"},
                                   {"Width", "5"}});

  // A kind without a second point answers its first point and ignores the second.
  const uint32_t via = PcbApiCreateObject(okVia);
  SetObjectX(via, 700);
  SetObjectX2(via, 900);
  EXPECT_EQ(GetObjectX2(via), 700);
  EXPECT_EQ(GetObjectY2(via), 0);

  const uint32_t text = NewText(0, 0, "Hello", 100, 0);
  EXPECT_EQ(GetObjectText(text), "Hello");
  EXPECT_EQ(GetObjectText(track), "");
}

// A move loads and stores the object once, with the same outcome as the one-shot
// setters: both points of a track, the one point of a via, a polygon's records.
TEST_F(ProxyFactory, MoveObjectByLoadsAndStoresOnce) {
  const uint32_t track = NewTrack(10, 20, 30, 40, 5);
  Control().ClearCallLog();
  MoveObjectBy(track, okTrack, 100, -100);
  EXPECT_EQ(CallNames(CallLog()),
            (std::vector<std::string>{"PcbApi_GetObjectBitField2", "PcbApi_GetObjectBitField3",
                                      "PcbApi_QueryTrack", "PcbApi_GetObjectBitField2",
                                      "PcbApi_GetObjectBitField3", "PcbApi_QueryTrack"}));
  ExpectFields(DumpObject(track), {{"X", "110"}, {"Y", "-80"}, {"X2", "130"}, {"Y2", "-60"},
                                   {"Width", "5"}});
  const uint32_t via = PcbApiCreateObject(okVia);
  MoveObjectBy(via, okVia, 7, 8);
  ExpectFields(DumpObject(via), {{"X", "7"}, {"Y", "8"}});

  const uint32_t polygon = PcbApiCreateObject(okPolygon);
  {
    TPcbPolygon proxy(polygon);
    proxy.Synchronize(1);
    proxy.SetPointCount(2);
    for (int i = 0; i <= 2; ++i)
      proxy.SetSegments(i, TPolygonSegment{0, i, -i, {}});
    proxy.Synchronize(0);
  }
  MoveObjectBy(polygon, okPolygon, 1000, 2000);
  TPcbPolygon moved(polygon);
  moved.Synchronize(1);
  ASSERT_EQ(moved.GetPointCount(), 2);
  for (int i = 0; i <= 2; ++i) {
    EXPECT_EQ(moved.GetSegments(i).X, 1000 + i);
    EXPECT_EQ(moved.GetSegments(i).Y, 2000 - i);
  }
  Control().ClearCallLog();
  MoveObjectBy(0, okTrack, 1, 1);
  EXPECT_EQ(CallLog(), "");
}

TEST_F(ProxyFactory, OneShotAccessorsLeaveHandleZeroAndUnknownKindsAlone) {
  Control().ClearCallLog();
  EXPECT_EQ(GetObjectX(0), 0);
  EXPECT_EQ(GetObjectText(0), "");
  SetObjectY2(0, 5);
  EXPECT_EQ(CallLog(), "");

  const uint32_t track = NewTrack(10, 20, 30, 40, 5);
  const std::string before = DumpObject(track);
  Control().InjectResult("PcbApi_GetObjectIdFromObjectHandle", 16);
  Control().ClearCallLog();
  EXPECT_EQ(GetObjectX(track), 0);
  SetObjectX(track, 99);
  EXPECT_EQ(Calls(CallLog(), "PcbApi_QueryTrack").size(), 0u);
  EXPECT_EQ(DumpObject(track), before);
}

TEST_F(ProxyFactory, InvertedFlagSetterStoresAtOnce) {
  const uint32_t handle = PcbApiCreateObject(okTrack);
  TPcbTrack track(handle);
  track.SetFlags(0x0100);
  ASSERT_EQ(track.Synchronize(0), 0);
  EXPECT_FALSE(track.GetNotFlagBit0100());
  Control().ClearCallLog();
  track.SetNotFlagBit0100(true);
  EXPECT_EQ(track.GetFlags(), 0);
  EXPECT_TRUE(track.GetNotFlagBit0100());
  EXPECT_EQ(Calls(CallLog(), "PcbApi_QueryTrack"),
            std::vector<std::string>{"PcbApi_QueryTrack(0, " + Num(handle) + ") = 0"});
  EXPECT_TRUE(HasField(DumpObject(handle), "Flags", "0"));
  track.SetNotFlagBit0100(false);
  EXPECT_TRUE(HasField(DumpObject(handle), "Flags", "256"));

  track.SetFlagBit0008(true);
  EXPECT_TRUE(HasField(DumpObject(handle), "Flags", "264"));
  // The other setters change only the proxy.
  Control().ClearCallLog();
  track.SetFlagBit0800(true);
  track.SetFlagBit0010(true);
  track.SetBitField3Bits(true);
  EXPECT_EQ(CallLog(), "");
  EXPECT_TRUE(HasField(DumpObject(handle), "Flags", "264"));
  EXPECT_EQ(track.GetFlags(), 0x0918);
  EXPECT_EQ(track.GetBitField3(), 0x06);
}

TEST_F(ProxyFactory, FlagBitsReadTheirOwnBit) {
  TPcbTrack track;
  track.SetFlags(0xF818);
  track.SetBitField2(0x7B);
  for (auto get : {&TPCBObject::GetFlagBit0010, &TPCBObject::GetFlagBit0008,
                   &TPCBObject::GetFlagBit0800, &TPCBObject::GetFlagBit2000,
                   &TPCBObject::GetFlagBit1000, &TPCBObject::GetFlagBit4000,
                   &TPCBObject::GetFlagBit8000, &TPCBObject::GetNotFlagBit0100,
                   &TPCBObject::GetBitField2Bit01, &TPCBObject::GetBitField2Bit02,
                   &TPCBObject::GetBitField2Bit08, &TPCBObject::GetBitField2Bit10,
                   &TPCBObject::GetBitField2Bit20, &TPCBObject::GetBitField2Bit40}) {
    EXPECT_TRUE((track.*get)());
  }
  track.SetFlags(0x0100);
  track.SetBitField2(0x84);
  for (auto get : {&TPCBObject::GetFlagBit0010, &TPCBObject::GetFlagBit8000,
                   &TPCBObject::GetNotFlagBit0100, &TPCBObject::GetBitField2Bit01,
                   &TPCBObject::GetBitField2Bit40, &TPCBObject::GetBitField3Bits}) {
    EXPECT_FALSE((track.*get)());
  }
  track.SetBitField3Bit04(true);
  EXPECT_TRUE(track.GetBitField3Bits());
  EXPECT_FALSE(track.GetBitField3Bit02());
}

TEST_F(ProxyFactory, RootAnswersNeutralDefaults) {
  TPcbNet net;
  net.SetX(5);
  net.SetY(6);
  net.SetX2(50);
  EXPECT_EQ(net.GetX2(), 5);
  EXPECT_EQ(net.GetY2(), 6);
  net.SetWidth(9);
  net.SetText("ignored");
  EXPECT_EQ(net.GetWidth(), 0);
  EXPECT_EQ(net.GetText(), "");
  EXPECT_EQ(net.GetRotation(), 0.0);
  EXPECT_FALSE(net.GetMirrorFlag());
  TPcbText text;
  text.SetSize(600000);
  text.SetLayer(33);
  EXPECT_EQ(text.GetXSize(), 600000);
  EXPECT_EQ(text.GetSizeOnLayer(33), 600000);
  EXPECT_EQ(text.GetSizeOnLayer(34), 0);
  EXPECT_EQ(text.GetXOnLayer(34), 0);
}

TEST_F(ProxyFactory, BoundingValuesComeFromTheHost) {
  const uint32_t handle = NewTrack(0, 0, 1000, 0, 200);
  TPcbTrack track(handle);
  int32_t x1 = 0, y1 = 0, x2 = 0, y2 = 0;
  track.GetBoundingRectangle(x1, y1, x2, y2);
  EXPECT_EQ(TRect({x1, y1, x2, y2}), Rect(handle));
  EXPECT_EQ(track.GetBoundingX1(), -100);
  EXPECT_EQ(track.GetBoundingY1(), -100);
  EXPECT_EQ(track.GetBoundingX2(), 1100);
  EXPECT_EQ(track.GetBoundingY2(), 100);
  EXPECT_TRUE(track.ImportFromUser());
  EXPECT_EQ(track.GraphicallyInvalidate(), 0);
  TPcbTrack unknown(999);
  EXPECT_FALSE(unknown.ImportFromUser());
  EXPECT_EQ(unknown.GraphicallyInvalidate(), 2);
}

TEST_F(ProxyFactory, RootCornersTurnTheExtentAboutItsCentre) {
  TPcbFill fill;
  fill.SetX2(1000000);
  fill.SetY2(400000);
  EXPECT_EQ(fill.GetCorner1X(0), 0);
  EXPECT_EQ(fill.GetCorner1Y(0), 0);
  EXPECT_EQ(fill.GetCorner2X(0), 1000000);
  EXPECT_EQ(fill.GetCorner2Y(0), 0);
  EXPECT_EQ(fill.GetCorner3X(0), 0);
  EXPECT_EQ(fill.GetCorner3Y(0), 400000);
  EXPECT_EQ(fill.GetCorner4X(5000), 1005000);
  EXPECT_EQ(fill.GetCorner4Y(5000), 405000);
  fill.SetRotation(90);
  EXPECT_EQ(fill.GetCorner1X(0), 700000);
  EXPECT_EQ(fill.GetCorner1Y(0), -300000);
  EXPECT_EQ(fill.GetCorner4X(0), 300000);
  EXPECT_EQ(fill.GetCorner4Y(0), 700000);
  fill.SetLayer(4);
  EXPECT_EQ(fill.GetCorner1XOnLayer(4, 0), 700000);
  EXPECT_EQ(fill.GetCorner1XOnLayer(5, 0), 0);

  // A flat extent lies on its centre line whatever the rotation.
  TPcbTrack track;
  track.SetX2(1000000);
  EXPECT_EQ(track.GetCorner1X(0), 0);
  EXPECT_EQ(track.GetCorner2X(0), 1000000);
  EXPECT_EQ(track.GetCorner3Y(0), 0);
}

}  // namespace
