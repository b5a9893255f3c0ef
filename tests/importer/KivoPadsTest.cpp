// Pad definitions measured from their names and graphics, pins and vias resolved through
// the pad stack and translated into a board of the stand-in PCB server.
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "importer/KivoPadStack.h"
#include "importer/KivoPads.h"
#include "importer/KivoPrimitives.h"
#include "importer/PadStackMapRecord.h"
#include "pcb/PcbApi.h"
#include "pcb/PcbPrimitives.h"
#include "tests/importer/KivoModelTestSupport.h"
#include "tests/proxies/ProxyTestSupport.h"

namespace {

class KivoPads : public KivoModelTest {
 protected:
  void SetUp() override {
    KivoModelTest::SetUp();
    FDefState.SetUnitScale(10000);  // mils
    FDefState.SetGrid(2);
    FDefState.SetWidth(5000);
  }

  // A definition named `name` on the file's scale, added to the pad stack.
  TKivoPadDef& Def(const std::string& name, bool smd = false) {
    auto* def = new TKivoPadDef(&FDefState);
    def->SetName(name);
    def->SetSmd(smd ? 1 : 0);
    FStack.AddPadDefinition(def);
    return *def;
  }
  TKivoDisplay& On(const std::string& layer, int32_t width) {
    FGraphicState.SetLayerName(layer);
    FGraphicState.SetWidth(width);
    return FGraphicState;
  }
  void AddCircle(TKivoPadDef& def, const std::string& layer, int32_t radius, int32_t width) {
    auto circle = std::make_unique<TKivoCircle>(&On(layer, width));
    circle->SetRadius(radius);
    def.GetPrimitives().push_back(std::move(circle));
  }
  void AddFill(TKivoPadDef& def, const std::string& layer, int32_t dx, int32_t dy, int32_t width) {
    auto fill = std::make_unique<TKivoFilledRect>(&On(layer, width));
    fill->SetCorner1({100, 100});
    fill->SetCorner2({100 + dx, 100 + dy});
    def.GetPrimitives().push_back(std::move(fill));
  }
  void AddLine(TKivoPadDef& def, const std::string& layer, TKivoPoints points,
               int32_t width) {
    auto line = std::make_unique<TKivoLine>(&On(layer, width));
    line->GetVertices() = points;
    def.GetPrimitives().push_back(std::move(line));
  }
  void AddText(TKivoPadDef& def, const std::string& layer, const std::string& text) {
    auto item = std::make_unique<TKivoText>(&On(layer, 0));
    item->SetText(text);
    def.GetPrimitives().push_back(std::move(item));
  }
  void Record(int32_t index, const std::string& first, const std::string& second = {}) {
    FStack.GetPads().push_back(std::make_unique<TKivoPadRecord>(index, first, second));
  }
  // A pin on "TOP" at (x, y) of the pad record `index`, resolved with `net`.
  std::unique_ptr<TKivoPad> Pin(int32_t index, int32_t x = 70000, int32_t y = 80000,
                                uint32_t net = 0) {
    auto pin = std::make_unique<TKivoPad>(&FState);
    pin->SetName("PIN-1");
    pin->SetX(x);
    pin->SetY(y);
    pin->SetPadStackIndex(index);
    pin->SetPadStackMap(&FMap);
    pin->SetNetContainer(net);
    pin->SetPadStackList(&FStack);
    return pin;
  }
  // The host object the last translation created of `kind`.
  uint32_t CreatedOf(uint8_t kind) {
    const std::string prefix = "PcbApi_CreateObject(" + Num(kind) + ") = ";
    for (const std::string& line : Calls(CallLog(), "PcbApi_CreateObject"))
      if (line.rfind(prefix, 0) == 0)
        return std::stoul(line.substr(prefix.size()));
    return 0;
  }
  uint32_t NewComponent() {
    const uint32_t component = PcbApiCreateObject(okComponent);
    PcbApiAddObjectToContainer(FBoard, component);
    return component;
  }
  uint32_t Add(uint32_t owner, uint8_t kind, std::function<void(TPCBObject&)> set) {
    const uint32_t handle = PcbApiCreateObject(kind);
    std::unique_ptr<TPCBObject> proxy;
    if (kind == okArc)
      proxy = std::make_unique<TPcbArc>(handle);
    else if (kind == okFill)
      proxy = std::make_unique<TPcbFill>(handle);
    else
      proxy = std::make_unique<TPcbTrack>(handle);
    proxy->Synchronize(1);
    proxy->SetLayer(cMultiLayer);
    set(*proxy);
    proxy->Synchronize(0);
    PcbApiAddObjectToContainer(owner, handle);
    return handle;
  }
  bool Exists(uint32_t object) { return !DumpObject(object).empty(); }

  TKivoDisplay FDefState;
  TKivoDisplay FGraphicState;
  TKivoPadStack FStack;
  PadStackMapRecord FMap{};
};

struct TNameCase {
  const char* Name;
  int32_t Size;
  int32_t Hole;
  uint8_t Shape;
};

TEST_F(KivoPads, NamesEncodeSizeHoleAndShape) {
  // Scale 10000 x grid 2: one file unit is 20000 board units.
  const TNameCase cases[] = {
      {"60X40", 1200000, 800000, 4},   {"60R40", 1200000, 800000, 2},
      {"60r40abc", 1200000, 800000, 2}, {"C60S40", 1200000, 800000, 4},
      {"u7x3", 140000, 60000, 4},       {"A60X40", 0, 320000, 4},
      {"60-40", 0, 320000, 4},          {"60X", 0, 320000, 4},
      {"60XA", 0, 320000, 4},           {"CX40", 0, 800000, 4},
      {"CR40", 0, 800000, 4},           {"99999999999X5", 0, 100000, 4},
      {"", 0, 320000, 4},               {"60", 0, 320000, 4},
  };
  for (const TNameCase& c : cases) {
    TKivoPadDef def(&FDefState);
    def.SetName(c.Name);
    EXPECT_EQ(def.GetNameSize(), c.Size) << c.Name;
    EXPECT_EQ(def.GetNameHoleSize(), c.Hole) << c.Name;
    EXPECT_EQ(def.GetNameShape(), c.Shape) << c.Name;
    // Without graphics the name decides every layer of a through-hole definition.
    EXPECT_EQ(def.GetTopXSize(), c.Size) << c.Name;
    EXPECT_EQ(def.GetBotYSize(), c.Size) << c.Name;
    EXPECT_EQ(def.GetMidShape(), c.Shape) << c.Name;
    EXPECT_EQ(def.GetHoleSize(), c.Hole) << c.Name;
  }
}

TEST_F(KivoPads, GraphicsOnALayerReplaceTheNameValues) {
  TKivoPadDef& def = Def("60R40");
  AddCircle(def, "PADCOM", 300000, 10000);
  AddFill(def, "PADINT", 400000, 250000, 6000);
  AddLine(def, "PADSLD", {{0, 0}, {500000, 30000}}, 80000);
  AddLine(def, "PADSLD", {{0, 0}, {1, 1}}, 0);  // width 0: no size
  AddText(def, "DRILL", "35");
  AddText(def, "DRILL", "wide");  // no number: no hole
  EXPECT_EQ(def.GetTopXSize(), 610000);
  EXPECT_EQ(def.GetTopYSize(), 610000);
  EXPECT_EQ(def.GetTopShape(), 1);
  EXPECT_EQ(def.GetMidXSize(), 406000);
  EXPECT_EQ(def.GetMidYSize(), 256000);
  EXPECT_EQ(def.GetMidShape(), 2);
  EXPECT_EQ(def.GetBotXSize(), 580000) << "two vertices: width, then + dx";
  EXPECT_EQ(def.GetBotYSize(), 80000);
  EXPECT_EQ(def.GetBotShape(), 1) << "the last line decides, whatever its width";
  EXPECT_EQ(def.GetHoleSize(), 35 * 20000 + 5000) << "plus the definition's width";
  // Layer names are compared exactly.
  AddCircle(def, "padcom", 1, 0);
  EXPECT_EQ(def.GetTopXSize(), 610000);
}

TEST_F(KivoPads, SurfaceMountQueriesTakeTheFirstFittingGraphic) {
  TKivoPadDef& none = Def("S1", /*smd=*/true);
  EXPECT_EQ(none.GetSmdXSize(), 0);
  EXPECT_EQ(none.GetSmdShape(), 0);
  EXPECT_EQ(none.GetSmdLayer(), 1);
  EXPECT_EQ(none.GetHoleSize(), 0);
  EXPECT_EQ(none.GetTopXSize(), 0) << "a surface-mount definition starts at 0";

  TKivoPadDef& def = Def("60X40", /*smd=*/true);
  AddText(def, "PADSLD", "1");  // on the bottom first; texts give no size or shape
  AddLine(def, "PADCOM", {{0, 0}, {30000, 7000}}, 0);
  AddFill(def, "PADCOM", 400000, 250000, 6000);
  AddLine(def, "PADCOM", {{0, 0}, {30000, 7000}}, 1000);
  EXPECT_EQ(def.GetSmdXSize(), 406000);
  EXPECT_EQ(def.GetSmdYSize(), 256000);
  EXPECT_EQ(def.GetSmdShape(), 1) << "the width-0 line still counts as a line";
  EXPECT_EQ(def.GetSmdLayer(), 32);
  EXPECT_EQ(def.GetHoleSize(), 0);

  TKivoPadDef& round = Def("R", /*smd=*/true);
  AddLine(round, "PADCOM", {{0, 0}, {30000, 7000}, {1, 1}}, 1000);
  AddCircle(round, "PADSLD", 5, 5);
  EXPECT_EQ(round.GetSmdXSize(), 30000) << "more than two vertices: no width";
  EXPECT_EQ(round.GetSmdYSize(), 7000);
  EXPECT_EQ(round.GetSmdLayer(), 1);

  // Fault: a land drawn only as a circle measured 0 because circles gave no size.
  TKivoPadDef& dot = Def("D", /*smd=*/true);
  AddCircle(dot, "PADCOM", 150000, 2000);
  AddFill(dot, "PADCOM", 400000, 250000, 6000);
  EXPECT_EQ(dot.GetSmdXSize(), 302000);
  EXPECT_EQ(dot.GetSmdYSize(), 302000);
  EXPECT_EQ(dot.GetSmdShape(), 4);
}

// Fault: a via took the last pad record of its index whose name was known, and a pin the
// first, so a file giving an index twice had its vias and pins of one index made from two
// definitions. The first record holds for both (the reader tells the second).
TEST_F(KivoPads, TheViaAndThePinTakeTheFirstRecordOfTheirIndex) {
  TKivoPadDef& a = Def("10X4");
  Def("20X6");
  Record(5, "10x4");
  Record(5, "NOSUCH");
  Record(5, "20X6");
  Record(6, "GONE");
  Record(6, "20X6");
  TKivoVia via(&FState);
  via.SetPadStackIndex(5);
  via.SetPadStackList(&FStack);
  EXPECT_EQ(via.GetDefinition(), &a) << "names are found without regard to case";
  EXPECT_EQ(Pin(5)->GetDefinition(), &a);
  via.SetPadStackList(nullptr);
  EXPECT_EQ(via.GetDefinition(), &a) << "no pad stack leaves the via as it was";
  TKivoVia unknown(&FState);
  unknown.SetPadStackIndex(6);
  unknown.SetPadStackList(&FStack);
  EXPECT_EQ(unknown.GetDefinition(), nullptr) << "the first record names nothing";
  EXPECT_EQ(Pin(6)->GetDefinition(), nullptr);
}

TEST_F(KivoPads, APinWithoutNetTakesTheSecondName) {
  TKivoPadDef& a = Def("A");
  TKivoPadDef& b = Def("B");
  Record(8, "A", "B");
  Record(9, "A", "");
  EXPECT_EQ(Pin(8, 0, 0, /*net=*/0)->GetDefinition(), &b);
  EXPECT_EQ(Pin(8, 0, 0, /*net=*/7)->GetDefinition(), &a);
  EXPECT_EQ(Pin(9, 0, 0, /*net=*/0)->GetDefinition(), &a);
  EXPECT_EQ(Pin(10)->GetDefinition(), nullptr);
}

// Regression: a pin shared by all instances kept the definition found for an earlier
// instance when the record's name was unknown for the later one.
TEST_F(KivoPads, APinForgetsTheDefinitionOfAnEarlierInstance) {
  Def("A");
  Record(8, "A", "MISSING");
  auto pin = Pin(8, 0, 0, /*net=*/7);
  ASSERT_NE(pin->GetDefinition(), nullptr);
  pin->SetNetContainer(0);
  pin->SetPadStackList(&FStack);
  EXPECT_EQ(pin->GetDefinition(), nullptr);
}

TEST_F(KivoPads, ViaSizedByItsDefinitionOnTheMultiLayer) {
  const uint32_t net = NewNet();
  TKivoPadDef& def = Def("30X12");
  AddFill(def, "PADINT", 400000, 1, 0);
  Record(1, "30X12");
  for (int index : {1, 2}) {
    TKivoVia via(&FState);
    via.SetX(11000);
    via.SetY(-22000);
    via.SetPadStackIndex(index);
    via.SetPadStackList(&FStack);
    Translate(via, FBoard, net);
    const uint32_t h = CreatedOf(okVia);
    ASSERT_NE(h, 0u);
    ExpectFields(DumpObject(h), {{"owner", "#" + Num(FBoard)}, {"net", "#" + Num(net)},
                                 {"layer", "74(MultiLayer)"}, {"X", "11000"}, {"Y", "-22000"},
                                 {"Size", index == 1 ? "400000" : "500000"},
                                 {"HoleSize", index == 1 ? "240000" : "280000"}});
  }
  EXPECT_EQ(ImportEvents(), "Via Added at 1.1mil, -2.2mil\r\nVia Added at 1.1mil, -2.2mil\r\n");
  // No pad stack at all: the host's defaults.
  TKivoVia bare(&FState);
  bare.SetPadStackList(nullptr);
  Translate(bare, FBoard);
  ExpectFields(DumpObject(CreatedOf(okVia)), {{"Size", "500000"}, {"HoleSize", "280000"}});
}

TEST_F(KivoPads, SmallDefaultPads) {
  const uint32_t component = NewComponent();
  Def("60X40");
  Record(30, "NONE");
  Record(200, "NONE");
  Record(3, "60X40");
  FMap.Rows[4] = "SMDTOP";
  FMap.Rows[5] = "TOP";
  for (int index : {30, 200, 3}) {  // index 3: the pin's layer is the SMD bottom row
    SCOPED_TRACE(index);
    auto pin = Pin(index);
    Translate(*pin, component);
    const std::string line = DumpObject(CreatedOf(okPad));
    ExpectFields(line, {{"owner", "#" + Num(component)}, {"layer", "1(TopLayer)"},
                        {"X", "70000"}, {"Y", "80000"}, {"Name", Quoted("PIN-1")},
                        {"TopXSize", index == 3 ? "1200000" : "100000"},
                        {"TopYSize", index == 3 ? "1200000" : "100000"},
                        {"MidXSize", index == 3 ? "1200000" : "100000"},
                        {"BotYSize", index == 3 ? "1200000" : "100000"},
                        {"TopShape", index == 3 ? "4" : "1"},
                        {"HoleSize", index == 3 ? "800000" : "0"}});
  }
}

TEST_F(KivoPads, SurfaceMountAndThroughHolePads) {
  const uint32_t component = NewComponent();
  TKivoPadDef& smd = Def("SMD", /*smd=*/true);
  AddFill(smd, "PADSLD", 300000, 100000, 0);
  TKivoPadDef& plain = Def("P60X40");  // not marked surface-mount
  AddFill(plain, "PADCOM", 50000, 40000, 0);
  TKivoPadDef& hole = Def("H60R40");
  AddCircle(hole, "PADINT", 200000, 0);
  Record(1, "SMD");
  Record(40, "P60X40");
  Record(2, "H60R40");

  auto pin = Pin(1);
  Translate(*pin, component);
  ExpectFields(DumpObject(CreatedOf(okPad)),
               {{"layer", "32(BottomLayer)"}, {"HoleSize", "0"}, {"TopXSize", "300000"},
                {"TopYSize", "100000"}, {"TopShape", "2"}, {"MidXSize", "300000"},
                {"BotYSize", "100000"}, {"BotShape", "2"}});

  pin = Pin(40);  // a small-default index with a definition: its surface-mount values
  Translate(*pin, component);
  ExpectFields(DumpObject(CreatedOf(okPad)),
               {{"layer", "1(TopLayer)"}, {"HoleSize", "0"}, {"TopXSize", "50000"},
                {"TopYSize", "40000"}, {"TopShape", "2"}});

  pin = Pin(2);
  Translate(*pin, component);
  ExpectFields(DumpObject(CreatedOf(okPad)),
               {{"layer", "74(MultiLayer)"}, {"HoleSize", "800000"}, {"MidXSize", "400000"},
                {"MidYSize", "400000"}, {"MidShape", "1"}, {"TopXSize", "1200000"},
                {"TopShape", "2"}, {"BotXSize", "1200000"}, {"BotShape", "2"}});
  EXPECT_EQ(ImportEvents(),
            "Component Pad Added: PIN-1\r\nComponent Pad Added: PIN-1\r\n"
            "Component Pad Added: PIN-1\r\n");
}

TEST_F(KivoPads, ThroughHoleTopFallsBackToMidAndBottomToTop) {
  const uint32_t component = NewComponent();
  TKivoPadDef& def = Def("PLAIN");
  AddFill(def, "PADINT", 70000, 30000, 0);
  Record(4, "PLAIN");
  auto pin = Pin(4);
  Translate(*pin, component);
  ExpectFields(DumpObject(CreatedOf(okPad)),
               {{"TopXSize", "70000"}, {"TopYSize", "30000"}, {"BotXSize", "70000"},
                {"BotYSize", "30000"}, {"TopShape", "4"}, {"HoleSize", "320000"}});
}

// Regression for the merge of a pin without definition: it was reloaded before its
// name, position and layer were ever stored, and so lost them.
TEST_F(KivoPads, APadMergesWithTheFirstCoveringGraphicOnly) {
  const uint32_t component = NewComponent();
  const uint32_t offLayer = Add(component, okFill, [](TPCBObject& o) {
    o.SetLayer(1), o.SetX(0), o.SetY(0), o.SetX2(200000), o.SetY2(200000);
  });
  const uint32_t halfArc = Add(component, okArc, [](TPCBObject& o) {
    o.SetX(70000), o.SetY(80000), o.SetRadius(50000), o.SetEndAngle(180);
  });
  const uint32_t circle = Add(component, okArc, [](TPCBObject& o) {
    o.SetX(70000), o.SetY(80000), o.SetRadius(30000), o.SetEndAngle(360);
  });
  const uint32_t fill = Add(component, okFill, [](TPCBObject& o) {
    o.SetX(0), o.SetY(0), o.SetX2(200000), o.SetY2(200000);
  });
  auto pin = Pin(12);  // no record: no definition
  Translate(*pin, component);
  ExpectFields(DumpObject(CreatedOf(okPad)),
               {{"owner", "#" + Num(component)}, {"layer", "74(MultiLayer)"},
                {"Name", Quoted("PIN-1")}, {"X", "70000"}, {"Y", "80000"},
                {"TopXSize", "60000"}, {"TopYSize", "60000"}, {"TopShape", "1"},
                {"MidXSize", "60000"}, {"BotYSize", "60000"}, {"BotShape", "1"}});
  EXPECT_FALSE(Exists(circle));
  EXPECT_TRUE(Exists(halfArc));
  EXPECT_TRUE(Exists(fill)) << "the second covering graphic is left alone";
  EXPECT_TRUE(Exists(offLayer));

  // The next pin finds the fill, takes its size and moves to its centre.
  pin = Pin(12, 10000, 20000);
  Translate(*pin, component);
  ExpectFields(DumpObject(CreatedOf(okPad)),
               {{"X", "100000"}, {"Y", "100000"}, {"TopXSize", "200000"},
                {"TopYSize", "200000"}, {"TopShape", "2"}, {"BotShape", "2"}});
  EXPECT_FALSE(Exists(fill));
}

TEST_F(KivoPads, APadMergesWithACoveringTrack) {
  const uint32_t component = NewComponent();
  const uint32_t track = Add(component, okTrack, [](TPCBObject& o) {
    o.SetX(70000), o.SetY(100000), o.SetX2(70000), o.SetY2(40000), o.SetWidth(20000);
  });
  auto pin = Pin(12);
  Translate(*pin, component);
  ExpectFields(DumpObject(CreatedOf(okPad)), {{"X", "70000"}, {"Y", "70000"},
                                              {"TopXSize", "20000"}, {"TopYSize", "60000"},
                                              {"TopShape", "1"}});
  EXPECT_FALSE(Exists(track));
}

}  // namespace
