// Boards: lookup by name, the current board, the default layer stack and options.
#include <cstring>
#include <string>

#include "tests/ravelo/RaveloTestSupport.h"

namespace {

using RaveloBoards = RaveloTest;

TEST_F(RaveloBoards, FoundByFullNameWithoutRegardToCase) {
  EXPECT_EQ(PcbApiGetBoardHandleFromFullFileName("c:\\boards\\TEST.pcbdoc"), FBoard);
  EXPECT_EQ(PcbApiGetBoardHandleFromFullFileName("C:\\Boards\\Test"), 0u);
  const std::string longName = "C:\\" + std::string(252, 'L');
  const uint32_t other = Control().CreateBoard(longName.c_str());
  EXPECT_EQ(PcbApiGetBoardHandleFromFullFileName(ShortString<255>(longName)), other);
  EXPECT_EQ(PcbApiGetBoardHandleFromFullFileName(ShortString<255>(longName.substr(0, 254))), 0u);
}

TEST_F(RaveloBoards, CurrentBoardIsTheOneShownLast) {
  const uint32_t second = Control().CreateBoard("C:\\Boards\\Second.PcbDoc");
  EXPECT_EQ(PcbApiGetCurrentBoardHandle(), FBoard);
  EXPECT_EQ(Control().SetCurrentBoard(second), 0);
  EXPECT_EQ(PcbApiGetCurrentBoardHandle(), second);
  EXPECT_EQ(Control().SetCurrentBoard(4242), 2);
  EXPECT_EQ(PcbApiGetCurrentBoardHandle(), second);
}

TEST_F(RaveloBoards, DefaultStackRunsFromTopToBottom) {
  ShortString<255> name;
  int32_t copper = 0;
  uint8_t b1, b2, prev, next, b3;
  EXPECT_EQ(PcbApi_QueryLayer(1, 1, FBoard, &name, &copper, &b1, &b2, &prev, &next, &b3), 0);
  EXPECT_EQ(name.View(), "TopLayer");
  EXPECT_EQ(copper, 14000);
  EXPECT_EQ(prev, 0);
  EXPECT_EQ(next, 32);
  EXPECT_EQ(PcbApi_QueryLayer(1, 32, FBoard, &name, &copper, &b1, &b2, &prev, &next, &b3), 0);
  EXPECT_EQ(name.View(), "BottomLayer");
  EXPECT_EQ(prev, 1);
  EXPECT_EQ(next, 0);
  EXPECT_EQ(PcbApi_QueryLayer(1, 5, FBoard, &name, &copper, &b1, &b2, &prev, &next, &b3), 0);
  EXPECT_EQ(prev + next, 0);
  EXPECT_EQ(PcbApi_QueryLayer(1, 83, FBoard, &name, &copper, &b1, &b2, &prev, &next, &b3), 4);

  ShortString<255> net;
  EXPECT_EQ(PcbApi_QueryInternalPlane(1, 39, FBoard, &name, &copper, &b1, &b2, &prev, &next, &net),
            0);
  EXPECT_EQ(name.View(), "InternalPlane1");
  EXPECT_EQ(net.View(), "(No Net)");
  ShortString<255> material;
  uint8_t type = 0;
  double constant = 0;
  int32_t height = 0;
  EXPECT_EQ(PcbApi_QueryLayerDielectric(1, 7, FBoard, &material, &type, &constant, &height), 0);
  EXPECT_EQ(material.View(), "FR-4");
  EXPECT_EQ(type, 1);
  EXPECT_EQ(constant, 4.8);
  EXPECT_EQ(height, 126000);

  int32_t count = 0;
  EXPECT_EQ(PcbApi_QueryBoardLayerPairsCount(FBoard, &count), 0);
  EXPECT_EQ(count, 1);
  uint8_t high = 0, low = 0;
  EXPECT_EQ(PcbApi_QueryBoardLayerPairAt(1, FBoard, 0, &b1, &b2, &high, &low), 0);
  EXPECT_EQ(low, 1);
  EXPECT_EQ(high, 32);
  EXPECT_EQ(PcbApi_QueryBoardLayerPairAt(1, FBoard, 1, &b1, &b2, &high, &low), 4);
}

TEST_F(RaveloBoards, OptionGroupsComeBackAsWritten) {
  ShortString<255> s1 = "Printer", s2 = "Paper", s3(std::string(255, 'p'));
  uint8_t b[20];
  for (int i = 0; i < 20; ++i)
    b[i] = static_cast<uint8_t>(i + 1);
  int32_t l1 = -7, l2 = 9, l3 = 11;
  double d[6] = {1.5, 2.5, 3.5, 4.5, 5.5, 6.5};
  uint8_t blob[22];
  for (int i = 0; i < 22; ++i)
    blob[i] = static_cast<uint8_t>(100 + i);
  EXPECT_EQ(
      PcbApi_QueryBoardPrinterOptions(0, FBoard, &s1, &s2, &s3, &b[0], &b[1], &b[2], &b[3], &b[4],
                                      &b[5], &l1, &d[0], &d[1], &d[2], blob, &b[6], &b[7], &d[3],
                                      &d[4], &d[5], &l2, &l3, &b[8], &b[9], &b[10], &b[11], &b[12]),
      0);
  ShortString<255> r1, r2, r3;
  uint8_t rb[20] = {};
  int32_t rl1 = 0, rl2 = 0, rl3 = 0;
  double rd[6] = {};
  uint8_t rblob[22] = {};
  EXPECT_EQ(PcbApi_QueryBoardPrinterOptions(1, FBoard, &r1, &r2, &r3, &rb[0], &rb[1], &rb[2],
                                            &rb[3], &rb[4], &rb[5], &rl1, &rd[0], &rd[1], &rd[2],
                                            rblob, &rb[6], &rb[7], &rd[3], &rd[4], &rd[5], &rl2,
                                            &rl3, &rb[8], &rb[9], &rb[10], &rb[11], &rb[12]),
            0);
  EXPECT_EQ(r1.View(), "Printer");
  EXPECT_EQ(r3.Length(), 255u);
  EXPECT_EQ(std::memcmp(rb, b, 13), 0);
  EXPECT_EQ(rl1, -7);
  EXPECT_EQ(rl3, 11);
  EXPECT_EQ(std::memcmp(rd, d, sizeof d), 0);
  EXPECT_EQ(std::memcmp(rblob, blob, sizeof blob), 0);

  uint8_t plot = 1;
  EXPECT_EQ(PcbApi_QueryBoardOutputOptionsPlotLayers(0, FBoard, 109, &plot), 0);
  plot = 0;
  EXPECT_EQ(PcbApi_QueryBoardOutputOptionsPlotLayers(1, FBoard, 109, &plot), 0);
  EXPECT_EQ(plot, 1);
  EXPECT_EQ(PcbApi_QueryBoardOutputOptionsFlipLayers(1, FBoard, 110, &plot), 4);
  int32_t pen1 = 0, pen2 = 0;
  EXPECT_EQ(PcbApi_QueryBoardPrinterOptionsPlotterPen(1, FBoard, 9, &pen1, &pen2), 4);
}

TEST_F(RaveloBoards, OriginRoundTrips) {
  int32_t l = 0, originX = 0, originY = 0;
  ShortString<255> text;
  uint8_t b = 0;
  EXPECT_EQ(PcbApi_QueryBoard(1, FBoard, &l, &text, &b, &originX, &originY, &l, &l, &b, &b, &l), 0);
  originX = 1000000, originY = 250000;
  EXPECT_EQ(PcbApi_QueryBoard(0, FBoard, &l, &text, &b, &originX, &originY, &l, &l, &b, &b, &l), 0);
  EXPECT_NE(Dump(FBoard).find("origin X=1000000(100mil) Y=250000(25mil)"), std::string::npos);
}

}  // namespace

namespace {

using RaveloFaultyHost = RaveloTest;

TEST_F(RaveloFaultyHost, PairsAndCountsSetForTests) {
  const uint8_t records[] = {1, 2, 200, 0};
  EXPECT_EQ(Control().SetLayerPairs(FBoard, 1, records), 0);
  EXPECT_NE(DumpSetup(FBoard).find("\npair 0 PairByte1=1 PairByte2=2 HighLayer=200 LowLayer=0\n"),
            std::string::npos);
  EXPECT_EQ(Control().SetLayerPairs(FBoard, -1, records), 4);
  EXPECT_EQ(Control().SetLayerPairs(999, 1, records), 2);

  const uint32_t dimension = PcbApiCreateObject(11);
  int32_t count = 0;
  EXPECT_EQ(Control().OverstateCount(dimension, 300), 0);
  EXPECT_EQ(PcbApi_References_Count(dimension, &count), 0);
  EXPECT_EQ(count, 300);
  int32_t v[4] = {};
  EXPECT_EQ(PcbApi_References_At(1, dimension, 0, &v[0], &v[1], &v[2], &v[3]), 4);
  EXPECT_EQ(Control().OverstateCount(dimension, -1), 0);
  EXPECT_EQ(PcbApi_References_Count(dimension, &count), 0);
  EXPECT_EQ(count, 0);
  EXPECT_EQ(Control().OverstateCount(PcbApiCreateObject(4), 5), 3);
  EXPECT_EQ(Control().OverstateCount(999, 5), 2);

  const uint32_t polygon = PcbApiCreateObject(10);
  EXPECT_EQ(Control().OverstateCount(polygon, 700), 0);
  TPolygon p;
  p.PointCount = 3;
  EXPECT_EQ(p.Sync(0, polygon), 0);
  EXPECT_EQ(p.Sync(1, polygon), 0);
  EXPECT_EQ(p.PointCount, 700);
  EXPECT_TRUE(p.GuardIntact());
  EXPECT_NE(DumpObject(polygon).find(" PointCount=3 "), std::string::npos);
}

}  // namespace
