// Every proxy kind through the stand-in server in both directions: each field gets a
// value of its own, is stored and found under its own name in the server's dump (so a
// field passed in the wrong place shows up), and comes back into a fresh proxy.
#include <cstring>
#include <string>
#include <type_traits>

#include "pcb/PcbBookkeeping.h"
#include "pcb/PcbDimension.h"
#include "pcb/PcbGroups.h"
#include "pcb/PcbPad.h"
#include "pcb/PcbPrimitives.h"
#include "tests/proxies/ProxyTestSupport.h"
#include "tests/ravelo/RaveloTestSupport.h"

namespace {


// The fields of the common head that a kind's query carries.
enum THeadField {
  hFlags = 1, hWord = 2, hLayer = 4, hNet = 8, hByte = 16, hLong = 32, hXY = 64, hAll = 127
};

constexpr uint16_t cFlags = 0xA1B2;
constexpr int16_t cWord = -12345;
constexpr uint8_t cLayer = 57;
constexpr int32_t cNet = 7654321;
constexpr uint8_t cByte = 0xC3;
constexpr int32_t cLong = -987654;
constexpr uint8_t cBitField2 = 0x5A;
constexpr uint8_t cBitField3 = 0x3C;
constexpr int32_t cX = 1111111;
constexpr int32_t cY = -2222222;

void SetHead(TPCBObject& o) {
  o.SetFlags(cFlags);
  o.SetPrimitiveWord(cWord);
  o.SetLayer(cLayer);
  o.SetNet(cNet);
  o.SetPrimitiveByte(cByte);
  o.SetPrimitiveLong(cLong);
  o.SetBitField2(cBitField2);
  o.SetBitField3(cBitField3);
  o.SetX(cX);
  o.SetY(cY);
}

void ExpectHeadDumped(const std::string& line, int fields) {
  ExpectFields(line, {{"BitField2", Num(cBitField2)}, {"BitField3", Num(cBitField3)}});
  if (fields & hFlags) {
    EXPECT_TRUE(HasField(line, "Flags", Num(cFlags)));
  }
  if (fields & hWord) {
    EXPECT_TRUE(HasField(line, "PrimitiveWord", Num(cWord)));
  }
  if (fields & hLayer) {
    EXPECT_TRUE(HasField(line, "layer", Num(cLayer)));
  }
  if (fields & hNet) {
    EXPECT_TRUE(HasField(line, "net", "#" + Num(cNet)));
  }
  if (fields & hByte) {
    EXPECT_TRUE(HasField(line, "PrimitiveByte", Num(cByte)));
  }
  if (fields & hLong) {
    EXPECT_TRUE(HasField(line, "PrimitiveLong", Num(cLong)));
  }
  if (fields & hXY)
    ExpectFields(line, {{"X", Num(cX)}, {"Y", Num(cY)}});
}

void ExpectHeadLoaded(const TPCBObject& o, int fields) {
  EXPECT_EQ(o.GetBitField2(), cBitField2);
  EXPECT_EQ(o.GetBitField3(), cBitField3);
  if (fields & hFlags) {
    EXPECT_EQ(o.GetFlags(), cFlags);
  }
  if (fields & hWord) {
    EXPECT_EQ(o.GetPrimitiveWord(), cWord);
  }
  if (fields & hLayer) {
    EXPECT_EQ(o.GetLayer(), cLayer);
  }
  if (fields & hNet) {
    EXPECT_EQ(o.GetNet(), cNet);
  }
  if (fields & hByte) {
    EXPECT_EQ(o.GetPrimitiveByte(), cByte);
  }
  if (fields & hLong) {
    EXPECT_EQ(o.GetPrimitiveLong(), cLong);
  }
  if (fields & hXY) {
    EXPECT_EQ(o.GetX(), cX);
    EXPECT_EQ(o.GetY(), cY);
  }
}

class ProxyRoundTrip : public RaveloTest {
 protected:
  // Stores a proxy of type T (all fields set by SetHead and `set`) into a new host
  // object of its kind, checks the dump with `dumped`, loads a fresh proxy and checks
  // it with `loaded`; returns the object's handle.
  template <class T, class Set, class Dumped, class Loaded>
  uint32_t RoundTrip(int head, Set set, Dumped dumped, Loaded loaded) {
    const uint32_t handle = PcbApiCreateObject(T().GetObjectId());
    EXPECT_NE(handle, 0u);
    T stored(handle);
    SetHead(stored);
    set(stored);
    EXPECT_EQ(stored.Synchronize(0), 0);
    const std::string line = DumpObject(handle);
    ExpectHeadDumped(line, head);
    dumped(line);
    T fresh(handle);
    // A class reports the status of its last member call: 1, past the last member.
    EXPECT_EQ(fresh.Synchronize(1), (std::is_same_v<T, TPCBObjectClass> ? 1 : 0));
    ExpectHeadLoaded(fresh, head);
    loaded(fresh);
    return handle;
  }
};

TEST_F(ProxyRoundTrip, Track) {
  RoundTrip<TPcbTrack>(
      hAll,
      [](TPcbTrack& t) {
        t.SetX2(3333333), t.SetY2(-4444444), t.SetWidth(55555);
        t.SetAux1(-66), t.SetAux2(77777), t.SetAux3(-88888);
      },
      [](const std::string& line) {
        ExpectFields(line, {{"X2", "3333333"}, {"Y2", "-4444444"}, {"Width", "55555"},
                            {"Aux1", "-66"}, {"Aux2", "77777"}, {"Aux3", "-88888"}});
      },
      [](TPcbTrack& t) {
        EXPECT_EQ(t.GetX2(), 3333333);
        EXPECT_EQ(t.GetY2(), -4444444);
        EXPECT_EQ(t.GetWidth(), 55555);
        EXPECT_EQ(t.GetAux1(), -66);
        EXPECT_EQ(t.GetAux2(), 77777);
        EXPECT_EQ(t.GetAux3(), -88888);
      });
}

TEST_F(ProxyRoundTrip, Arc) {
  RoundTrip<TPcbArc>(
      hAll,
      [](TPcbArc& a) {
        a.SetRadius(424242), a.SetStartAngle(12.5), a.SetEndAngle(271.25);
        a.SetLineWidth(31313), a.SetAux1(-9191);
      },
      [](const std::string& line) {
        ExpectFields(line, {{"Radius", "424242"}, {"StartAngle", "12.5"}, {"EndAngle", "271.25"},
                            {"LineWidth", "31313"}, {"Aux1", "-9191"}});
      },
      [](TPcbArc& a) {
        EXPECT_EQ(a.GetRadius(), 424242);
        EXPECT_EQ(a.GetStartAngle(), 12.5);
        EXPECT_EQ(a.GetEndAngle(), 271.25);
        EXPECT_EQ(a.GetLineWidth(), 31313);
        EXPECT_EQ(a.GetAux1(), -9191);
      });
}

TEST_F(ProxyRoundTrip, Via) {
  RoundTrip<TPcbVia>(
      hAll,
      [](TPcbVia& v) {
        v.SetSize(612345), v.SetHoleSize(298765), v.SetByteAux1(0x81), v.SetByteAux2(0x7E);
      },
      [](const std::string& line) {
        ExpectFields(line, {{"Size", "612345"}, {"HoleSize", "298765"}, {"ByteAux1", "129"},
                            {"ByteAux2", "126"}});
      },
      [](TPcbVia& v) {
        EXPECT_EQ(v.GetSize(), 612345);
        EXPECT_EQ(v.GetHoleSize(), 298765);
        EXPECT_EQ(v.GetByteAux1(), 0x81);
        EXPECT_EQ(v.GetByteAux2(), 0x7E);
      });
}

TEST_F(ProxyRoundTrip, Fill) {
  RoundTrip<TPcbFill>(
      hAll,
      [](TPcbFill& f) { f.SetX2(-3030303), f.SetY2(4040404), f.SetAux1(5151), f.SetRotation(33.75); },
      [](const std::string& line) {
        ExpectFields(line, {{"X2", "-3030303"}, {"Y2", "4040404"}, {"Aux1", "5151"},
                            {"Rotation", "33.75"}});
      },
      [](TPcbFill& f) {
        EXPECT_EQ(f.GetX2(), -3030303);
        EXPECT_EQ(f.GetY2(), 4040404);
        EXPECT_EQ(f.GetAux1(), 5151);
        EXPECT_EQ(f.GetRotation(), 33.75);
      });
}

TEST_F(ProxyRoundTrip, Text) {
  RoundTrip<TPcbText>(
      hAll,
      [](TPcbText& t) {
        t.SetSize(707070), t.SetTextAux(-8080), t.SetRotation(90.5), t.SetMirrorFlag(true);
        t.SetText("R17 value"), t.SetLineWidth(90909), t.SetAux2(-10101), t.SetAux3(121212);
      },
      [](const std::string& line) {
        ExpectFields(line, {{"Size", "707070"}, {"TextAux", "-8080"}, {"Rotation", "90.5"},
                            {"MirrorFlag", "1"}, {"Text", Quoted("R17 value")},
                            {"LineWidth", "90909"}, {"Aux2", "-10101"}, {"Aux3", "121212"}});
      },
      [](TPcbText& t) {
        EXPECT_EQ(t.GetSize(), 707070);
        EXPECT_EQ(t.GetTextAux(), -8080);
        EXPECT_EQ(t.GetRotation(), 90.5);
        EXPECT_TRUE(t.GetMirrorFlag());
        EXPECT_EQ(t.GetText(), "R17 value");
        EXPECT_EQ(t.GetLineWidth(), 90909);
        EXPECT_EQ(t.GetWidth(), 90909);
        EXPECT_EQ(t.GetAux2(), -10101);
        EXPECT_EQ(t.GetAux3(), 121212);
      });
}

TEST_F(ProxyRoundTrip, PadWithItsOwnShapeOnEverySignalLayer) {
  const uint32_t handle = RoundTrip<TPcbPad>(
      hAll,
      [](TPcbPad& p) {
        p.SetTopXSize(100001), p.SetTopYSize(100002), p.SetMidXSize(100003);
        p.SetMidYSize(100004), p.SetBotXSize(100005), p.SetBotYSize(100006);
        p.SetHoleSize(50007), p.SetTopShape(1), p.SetMidShape(2), p.SetBotShape(3);
        p.SetName("PIN-A1"), p.SetPadByte1(0x91), p.SetPadByte2(0x92), p.SetRotation(45.25);
        p.SetStackMode(2);
        for (int layer = 1; layer <= 32; ++layer) {
          p.SetLayerShape(layer, static_cast<uint8_t>(layer % 3 + 1));
          p.SetLayerXSize(layer, 200000 + layer);
          p.SetLayerYSize(layer, 300000 + layer);
        }
      },
      [](const std::string& line) {
        ExpectFields(line, {{"TopXSize", "100001"}, {"TopYSize", "100002"},
                            {"MidXSize", "100003"}, {"MidYSize", "100004"},
                            {"BotXSize", "100005"}, {"BotYSize", "100006"},
                            {"HoleSize", "50007"}, {"TopShape", "1"}, {"MidShape", "2"},
                            {"BotShape", "3"}, {"Name", Quoted("PIN-A1")}, {"PadByte1", "145"},
                            {"PadByte2", "146"}, {"Rotation", "45.25"}, {"StackMode", "2"}});
        for (int layer = 1; layer <= 32; ++layer) {
          EXPECT_TRUE(HasField(line, "L" + Num(layer),
                               Num(layer % 3 + 1) + "/" + Num(200000 + layer) + "x" +
                                   Num(300000 + layer)));
        }
      },
      [](TPcbPad& p) {
        EXPECT_EQ(p.GetTopXSize(), 100001);
        EXPECT_EQ(p.GetTopYSize(), 100002);
        EXPECT_EQ(p.GetMidXSize(), 100003);
        EXPECT_EQ(p.GetMidYSize(), 100004);
        EXPECT_EQ(p.GetBotXSize(), 100005);
        EXPECT_EQ(p.GetBotYSize(), 100006);
        EXPECT_EQ(p.GetHoleSize(), 50007);
        EXPECT_EQ(p.GetTopShape(), 1);
        EXPECT_EQ(p.GetMidShape(), 2);
        EXPECT_EQ(p.GetBotShape(), 3);
        EXPECT_EQ(p.GetName(), "PIN-A1");
        EXPECT_EQ(p.GetPadByte1(), 0x91);
        EXPECT_EQ(p.GetPadByte2(), 0x92);
        EXPECT_EQ(p.GetRotation(), 45.25);
        EXPECT_EQ(p.GetStackMode(), 2);
        for (int layer = 1; layer <= 32; ++layer) {
          EXPECT_EQ(p.GetLayerShape(layer), layer % 3 + 1);
          EXPECT_EQ(p.GetLayerXSize(layer), 200000 + layer);
          EXPECT_EQ(p.GetLayerYSize(layer), 300000 + layer);
        }
      });
  // A proxy made only to be read, its values per layer not cleared first, loads them.
  TPcbPad readOnly(handle, TPcbReadOnly{});
  EXPECT_EQ(readOnly.Synchronize(1), 0);
  EXPECT_EQ(readOnly.GetTopXSize(), 100001);
  for (int layer = 1; layer <= 32; ++layer) {
    EXPECT_EQ(readOnly.GetLayerShape(layer), layer % 3 + 1);
    EXPECT_EQ(readOnly.GetLayerXSize(layer), 200000 + layer);
    EXPECT_EQ(readOnly.GetLayerYSize(layer), 300000 + layer);
  }
}

TEST_F(ProxyRoundTrip, Net) {
  RoundTrip<TPcbNet>(
      hWord,
      [](TPcbNet& n) { n.SetName("VCC_3V3"), n.SetNetByte1(0xE1), n.SetNetByte2(0x1E); },
      [](const std::string& line) {
        ExpectFields(line, {{"Name", Quoted("VCC_3V3")}, {"NetByte1", "225"}, {"NetByte2", "30"}});
      },
      [](TPcbNet& n) {
        EXPECT_EQ(n.GetName(), "VCC_3V3");
        EXPECT_EQ(n.GetNetByte1(), 0xE1);
        EXPECT_EQ(n.GetNetByte2(), 0x1E);
      });
}

TEST_F(ProxyRoundTrip, ObjectClassWithItsMembers) {
  RoundTrip<TPCBObjectClass>(
      hWord,
      [](TPCBObjectClass& c) {
        c.SetName("Power nets"), c.SetClassByte1(0xB7), c.SetClassByte2(0x7B);
        c.GetMembers()->Add("GND");
        c.GetMembers()->Add("VCC");
        c.GetMembers()->Add(std::string(300, 'm'));
      },
      [](const std::string& line) {
        ExpectFields(line, {{"Name", Quoted("Power nets")}, {"ClassByte1", "183"},
                            {"ClassByte2", "123"}});
        EXPECT_NE(line.find(" Member=\"GND\" Member=\"VCC\" Member=\"" + std::string(255, 'm') +
                            "\"\n"),
                  std::string::npos)
            << line;
      },
      [](TPCBObjectClass& c) {
        EXPECT_EQ(c.GetName(), "Power nets");
        EXPECT_EQ(c.GetClassByte1(), 0xB7);
        EXPECT_EQ(c.GetClassByte2(), 0x7B);
        ASSERT_EQ(c.GetMembers()->GetCount(), 3);
        EXPECT_EQ(c.GetMembers()->Get(0), "GND");
        EXPECT_EQ(c.GetMembers()->Get(1), "VCC");
        EXPECT_EQ(c.GetMembers()->Get(2), std::string(255, 'm'));
      });
}

TEST_F(ProxyRoundTrip, Component) {
  const uint32_t handle = RoundTrip<TPcbComponent>(
      hFlags | hWord | hLayer | hByte | hXY,
      [](TPcbComponent& c) {
        c.SetChannelOffset(-4321), c.SetComponentKind(0xA4);
        c.SetComponentString("DIP14 footprint"), c.SetComponentByte1(0xB1);
        c.SetComponentByte2(0xB2), c.SetComponentLong(-5656565), c.SetRotation(123.5);
        c.SetComponentByte3(0xB3), c.SetExLong1(7878787), c.SetExByte1(0xE1);
        c.SetExByte2(0xE2), c.SetExLong2(-8989898);
        for (int i = 1; i <= 7; ++i)
          c.SetSourceLinks(i, "link" + Num(i));
        c.SetMirrorFlag(true);  // changes nothing on a component
      },
      [](const std::string& line) {
        ExpectFields(line, {{"ChannelOffset", "-4321"}, {"ComponentKind", "164"},
                            {"ComponentString", Quoted("DIP14 footprint")},
                            {"ComponentByte1", "177"}, {"ComponentByte2", "178"},
                            {"ComponentLong", "-5656565"}, {"Rotation", "123.5"},
                            {"ComponentByte3", "179"}, {"ExLong1", "7878787"},
                            {"ExByte1", "225"}, {"ExByte2", "226"}, {"ExLong2", "-8989898"}});
        for (int i = 1; i <= 7; ++i)
          EXPECT_TRUE(HasField(line, "SourceLink" + Num(i), Quoted("link" + Num(i))));
      },
      [](TPcbComponent& c) {
        EXPECT_EQ(c.GetChannelOffset(), -4321);
        EXPECT_EQ(c.GetComponentKind(), 0xA4);
        EXPECT_EQ(c.GetComponentString(), "DIP14 footprint");
        EXPECT_EQ(c.GetComponentByte1(), 0xB1);
        EXPECT_EQ(c.GetComponentByte2(), 0xB2);
        EXPECT_EQ(c.GetComponentLong(), -5656565);
        EXPECT_EQ(c.GetRotation(), 123.5);
        EXPECT_EQ(c.GetComponentByte3(), 0xB3);
        EXPECT_EQ(c.GetExLong1(), 7878787);
        EXPECT_EQ(c.GetExByte1(), 0xE1);
        EXPECT_EQ(c.GetExByte2(), 0xE2);
        EXPECT_EQ(c.GetExLong2(), -8989898);
        for (int i = 1; i <= 7; ++i)
          EXPECT_EQ(c.GetSourceLinks(i), "link" + Num(i));
        EXPECT_FALSE(c.GetMirrorFlag());
      });
  // The designator and comment are the server's own text objects.
  TPcbComponent c(handle);
  EXPECT_EQ(c.Synchronize(1), 0);
  EXPECT_EQ(uint32_t(c.GetNameText()), handle + 1);
  EXPECT_EQ(uint32_t(c.GetCommentText()), handle + 2);
  TPcbText designator(handle + 1);
  EXPECT_EQ(designator.Synchronize(1), 0);
  designator.SetText("U12");
  EXPECT_EQ(designator.Synchronize(0), 0);
  EXPECT_EQ(c.GetName(), "U12");
}

void SetOutline(TPcbPolygon& p) {
  p.SetPolygonByte(0xD0), p.SetPolygonFlag1(0xD1), p.SetPolygonFlag2(0xD2);
  p.SetPolygonFlag3(0xD3), p.SetGridSize(202020), p.SetTrackWidth(30303);
  p.SetPolygonLong(-404040), p.SetPolygonByte1(0xD4), p.SetPolygonByte2(0xD5);
  const int32_t corners[5][2] = {{0, 0}, {1000000, 0}, {1000000, 500000}, {0, 500000}, {0, 0}};
  for (int i = 0; i < 5; ++i) {
    TPolygonSegment s{};
    s.Kind = 0;
    s.X = corners[i][0] + 10 * i;
    s.Y = corners[i][1] - 20 * i;
    for (int b = 0; b < 28; ++b)
      s.Host[b] = static_cast<uint8_t>(i * 28 + b + 1);
    p.SetSegments(i, s);
  }
  p.SetPointCount(4);
}

void ExpectOutlineDumped(const std::string& line) {
  ExpectFields(line, {{"PolygonFlag1", "209"}, {"PolygonFlag2", "210"}, {"PolygonFlag3", "211"},
                      {"GridSize", "202020"}, {"TrackWidth", "30303"}, {"PolygonByte1", "212"},
                      {"PolygonByte2", "213"}, {"PolygonLong", "-404040"},
                      {"PolygonByte", "208"}, {"PointCount", "4"}});
  // Four points carry five records, the last closing the outline.
  EXPECT_NE(line.find(" [0 0(0mil) 0(0mil)] [0 1000010(100.001mil) -20(-0.002mil)]"
                      " [0 1000020(100.002mil) 499960(49.996mil)]"
                      " [0 30(0.003mil) 499940(49.994mil)] [0 40(0.004mil) -80(-0.008mil)]\n"),
            std::string::npos)
      << line;
}

void ExpectOutlineLoaded(TPcbPolygon& p) {
  EXPECT_EQ(p.GetPolygonByte(), 0xD0);
  EXPECT_EQ(p.GetPolygonFlag1(), 0xD1);
  EXPECT_EQ(p.GetPolygonFlag2(), 0xD2);
  EXPECT_EQ(p.GetPolygonFlag3(), 0xD3);
  EXPECT_EQ(p.GetGridSize(), 202020);
  EXPECT_EQ(p.GetTrackWidth(), 30303);
  EXPECT_EQ(p.GetPolygonLong(), -404040);
  EXPECT_EQ(p.GetPolygonByte1(), 0xD4);
  EXPECT_EQ(p.GetPolygonByte2(), 0xD5);
  EXPECT_EQ(p.GetPointCount(), 4);
  for (int i = 0; i < 5; ++i) {
    EXPECT_EQ(p.GetSegments(i).Y, -20 * i + (i == 2 || i == 3 ? 500000 : 0));
    for (int b = 0; b < 28; ++b)
      EXPECT_EQ(p.GetSegments(i).Host[b], i * 28 + b + 1);
  }
}

TEST_F(ProxyRoundTrip, PolygonOfFourPointsCarriesFiveRecords) {
  const uint32_t handle = RoundTrip<TPcbPolygon>(hFlags | hWord | hLayer | hNet | hByte,
                                                 SetOutline, ExpectOutlineDumped,
                                                 ExpectOutlineLoaded);
  // A proxy made only to be read, its records not cleared first, loads the outline.
  TPcbPolygon readOnly(handle, TPcbReadOnly{});
  EXPECT_EQ(readOnly.Synchronize(1), 0);
  ExpectOutlineLoaded(readOnly);
}

TEST_F(ProxyRoundTrip, BoardOutline) {
  const uint32_t handle = RoundTrip<TPcbBoardOutline>(hFlags | hWord | hLayer | hNet | hByte,
                                                      SetOutline, ExpectOutlineDumped,
                                                      ExpectOutlineLoaded);
  EXPECT_EQ(DumpObject(handle).rfind("#" + Num(handle) + " boardoutline ", 0), 0u);
}

TEST_F(ProxyRoundTrip, FromTo) {
  RoundTrip<TPcbFromTo>(
      hWord | hXY | hNet,
      [](TPcbFromTo& f) { f.SetX2(-1357913), f.SetY2(2468024), f.SetByteAux3(0xF3), f.SetByteAux4(0x3F); },
      [](const std::string& line) {
        ExpectFields(line, {{"X2", "-1357913"}, {"Y2", "2468024"}, {"ByteAux3", "243"},
                            {"ByteAux4", "63"}});
      },
      [](TPcbFromTo& f) {
        EXPECT_EQ(f.GetX2(), -1357913);
        EXPECT_EQ(f.GetY2(), 2468024);
        EXPECT_EQ(f.GetByteAux3(), 0xF3);
        EXPECT_EQ(f.GetByteAux4(), 0x3F);
      });
}

TEST_F(ProxyRoundTrip, ManualFromTo) {
  RoundTrip<TPcbManualFromTo>(
      hWord,
      [](TPcbManualFromTo& f) {
        f.SetFromToText(1, "U1-3"), f.SetFromToText(2, "U2-7");
        f.SetFromToText(3, "clock"), f.SetFromToLong(-24680);
      },
      [](const std::string& line) {
        ExpectFields(line, {{"FromToText1", Quoted("U1-3")}, {"FromToText2", Quoted("U2-7")},
                            {"FromToText3", Quoted("clock")}, {"FromToLong", "-24680"}});
      },
      [](TPcbManualFromTo& f) {
        EXPECT_EQ(f.GetFromToText(1), "U1-3");
        EXPECT_EQ(f.GetFromToText(2), "U2-7");
        EXPECT_EQ(f.GetFromToText(3), "clock");
        EXPECT_EQ(f.GetFromToLong(), -24680);
      });
}

TEST_F(ProxyRoundTrip, Coordinate) {
  RoundTrip<TPcbCoordinate>(
      hFlags | hWord | hByte | hXY | hLayer,
      [](TPcbCoordinate& c) {
        for (int i = 1; i <= 6; ++i)
          c.SetCoordValue(i, -1000 * i - i);
      },
      [](const std::string& line) {
        for (int i = 1; i <= 6; ++i)
          EXPECT_TRUE(HasField(line, "CoordValue" + Num(i), Num(-1000 * i - i)));
      },
      [](TPcbCoordinate& c) {
        for (int i = 1; i <= 6; ++i)
          EXPECT_EQ(c.GetCoordValue(i), -1000 * i - i);
      });
}

TEST_F(ProxyRoundTrip, DimensionWithItsReferences) {
  // The server holds three references; the proxy writes as many as the server has.
  const uint32_t handle = PcbApiCreateObject(okDimension);
  for (int32_t i = 0; i < 3; ++i) {
    int32_t v[4] = {};
    ASSERT_EQ(PcbApi_References_At(0, handle, i, &v[0], &v[1], &v[2], &v[3]), 0);
  }
  TPcbDimension stored(handle);
  SetHead(stored);
  for (int i = 1; i <= 5; ++i)
    stored.SetDimByte(i, static_cast<uint8_t>(0x60 + i));
  for (int i = 1; i <= 18; ++i)
    stored.SetDimLong(i, 100000 * i + i);
  for (int i = 1; i <= 3; ++i)
    stored.SetDimText(i, "dim text " + Num(i));
  stored.SetDimDouble(2.75);
  for (int i = 0; i < 3; ++i)
    stored.SetReferences(i, TPcbDimensionReference{10 * i + 1, 10 * i + 2, 10 * i + 3, 10 * i + 4});
  EXPECT_EQ(stored.Synchronize(0), 0);
  EXPECT_EQ(stored.GetReferenceCount(), 3);

  const std::string line = DumpObject(handle);
  ExpectHeadDumped(line, hFlags | hWord | hByte | hXY | hLayer);
  for (int i = 1; i <= 5; ++i)
    EXPECT_TRUE(HasField(line, "DimByte" + Num(i), Num(0x60 + i)));
  for (int i = 1; i <= 18; ++i)
    EXPECT_TRUE(HasField(line, "DimLong" + Num(i), Num(100000 * i + i)));
  for (int i = 1; i <= 3; ++i)
    EXPECT_TRUE(HasField(line, "DimText" + Num(i), Quoted("dim text " + Num(i))));
  ExpectFields(line, {{"DimDouble", "2.75"}, {"ReferenceCount", "3"}});
  EXPECT_NE(line.find(" [1 2 3 4] [11 12 13 14] [21 22 23 24]\n"), std::string::npos) << line;

  TPcbDimension fresh(handle);
  EXPECT_EQ(fresh.Synchronize(1), 0);
  ExpectHeadLoaded(fresh, hFlags | hWord | hByte | hXY | hLayer);
  for (int i = 1; i <= 5; ++i)
    EXPECT_EQ(fresh.GetDimByte(i), 0x60 + i);
  for (int i = 1; i <= 18; ++i)
    EXPECT_EQ(fresh.GetDimLong(i), 100000 * i + i);
  for (int i = 1; i <= 3; ++i)
    EXPECT_EQ(fresh.GetDimText(i), "dim text " + Num(i));
  EXPECT_EQ(fresh.GetDimDouble(), 2.75);
  ASSERT_EQ(fresh.GetReferenceCount(), 3);
  EXPECT_EQ(fresh.GetReferences(2).RefValue1, 21);
  EXPECT_EQ(fresh.GetReferences(2).RefValue4, 24);
}

TEST_F(ProxyRoundTrip, Rule) {
  RoundTrip<TPcbRule>(
      0,
      [](TPcbRule& r) {
        for (int i = 1; i <= 9; ++i)
          r.SetRuleByte(i, static_cast<uint8_t>(0x70 + i));
        for (int i = 1; i <= 10; ++i)
          r.SetRuleText(i, "rule text " + Num(i));
        for (int i = 1; i <= 4; ++i)
          r.SetRuleLong(i, -700000 * i - i);
      },
      [](const std::string& line) {
        for (int i = 1; i <= 9; ++i)
          EXPECT_TRUE(HasField(line, "RuleByte" + Num(i), Num(0x70 + i)));
        for (int i = 1; i <= 10; ++i)
          EXPECT_TRUE(HasField(line, "RuleText" + Num(i), Quoted("rule text " + Num(i))));
        for (int i = 1; i <= 4; ++i)
          EXPECT_TRUE(HasField(line, "RuleLong" + Num(i), Num(-700000 * i - i)));
      },
      [](TPcbRule& r) {
        for (int i = 1; i <= 9; ++i)
          EXPECT_EQ(r.GetRuleByte(i), 0x70 + i);
        for (int i = 1; i <= 10; ++i)
          EXPECT_EQ(r.GetRuleText(i), "rule text " + Num(i));
        for (int i = 1; i <= 4; ++i)
          EXPECT_EQ(r.GetRuleLong(i), -700000 * i - i);
      });
}

// The root proxy moves the common fields with the kind-neutral query.
TEST_F(ProxyRoundTrip, RootProxyOnAnyKind) {
  const uint32_t handle = PcbApiCreateObject(okFill);
  TPCBObject stored(handle);
  SetHead(stored);
  EXPECT_EQ(stored.Synchronize(0), 0);
  ExpectHeadDumped(DumpObject(handle), hAll & ~hXY);
  TPCBObject fresh(handle);
  EXPECT_EQ(fresh.Synchronize(1), 0);
  ExpectHeadLoaded(fresh, hAll & ~hXY);
  EXPECT_EQ(Calls(CallLog(), "PcbApi_QueryPrimitive").back(),
            "PcbApi_QueryPrimitive(1, " + Num(handle) + ") = 0");
}

}  // namespace
