// The board proxy: every value through the server both ways, the defaults a fresh proxy
// stores, and the layer pairs named by the stack, including stacks no board should have.
#include <cstring>
#include <string>
#include <vector>

#include "pcb/Layers.h"
#include "pcb/PcbBoard.h"
#include "tests/proxies/ProxyTestSupport.h"
#include "tests/ravelo/RaveloTestSupport.h"

namespace {

// The option groups as the server keeps them: the fields' bytes in call order, a short
// string as 256 bytes (its length byte and characters, then zeros on a new board).
class THex {
 public:
  template <class T>
  THex& Add(const T& value) {
    const auto* bytes = reinterpret_cast<const uint8_t*>(&value);
    for (size_t i = 0; i < sizeof(T); ++i)
      Byte(bytes[i]);
    return *this;
  }
  THex& Text(const ShortString<255>& text) {
    Byte(static_cast<uint8_t>(text.Length()));
    for (unsigned i = 0; i < 255; ++i)
      Byte(i < text.Length() ? static_cast<uint8_t>(text[i]) : 0);
    return *this;
  }
  template <size_t N>
  THex& Bytes(const std::array<uint8_t, N>& bytes) {
    for (uint8_t b : bytes)
      Byte(b);
    return *this;
  }
  const std::string& Str() const { return FText; }

 private:
  void Byte(uint8_t b) {
    static const char* const cDigits = "0123456789ABCDEF";
    FText += cDigits[b >> 4];
    FText += cDigits[b & 15];
  }
  std::string FText;
};

// Every option group of `board` as "option <name> <hex>" lines, as the server dumps them.
std::vector<std::string> OptionLines(TPcbBoard& board) {
  std::vector<std::string> lines;
  TPcbGridValues& g = board.GetGridValues();
  lines.push_back("option GridsEx " + THex()
                                          .Add(g.Grid1).Add(g.Grid2).Add(g.Grid3).Add(g.Grid4)
                                          .Add(g.Grid5).Bytes(g.Grid6).Add(g.Grid7).Add(g.Grid8)
                                          .Add(g.Grid9).Add(g.Grid10).Add(g.Grid11)
                                          .Bytes(g.Grid12).Add(g.Grid13).Add(g.Grid14).Str());
  TPcbOutputOptions& o = board.GetOutputOptions();
  lines.push_back("option OutputOptions " + THex()
                                                .Add(o.Output1).Add(o.Output2)
                                                .Bytes(o.Output3To23).Bytes(o.Output24).Str());
  lines.push_back("option PlotLayers " + THex().Bytes(o.PlotLayers).Str());
  lines.push_back("option FlipLayers " + THex().Bytes(o.FlipLayers).Str());
  TPcbGerberOptions& ge = board.GetGerberOptions();
  THex gerber;
  gerber.Bytes(ge.Gerber1To7);
  for (int32_t v : ge.Gerber8To12)
    gerber.Add(v);
  gerber.Text(ge.Gerber13).Add(ge.Gerber14).Add(ge.Gerber15).Add(ge.Gerber16);
  gerber.Add(ge.Gerber17).Add(ge.Gerber18);
  lines.push_back("option GerberOptions " + gerber.Str());
  TPcbPrinterOptions& p = board.GetPrinterOptions();
  lines.push_back("option PrinterOptions " +
                  THex()
                      .Text(p.Printer1).Text(p.Printer2).Text(p.Printer3).Bytes(p.Printer4To9)
                      .Add(p.Printer10).Add(p.Printer11).Add(p.Printer12).Add(p.Printer13)
                      .Bytes(p.Printer14).Add(p.Printer15).Add(p.Printer16).Add(p.Printer17)
                      .Add(p.Printer18).Add(p.Printer19).Add(p.Printer20).Add(p.Printer21)
                      .Bytes(p.Printer22To26).Str());
  for (int pen = 1; pen <= 8; ++pen) {
    lines.push_back("option PlotterPen" + Num(pen) + " " +
                    THex().Add(p.PlotterPens[pen][0]).Add(p.PlotterPens[pen][1]).Str());
  }
  for (int layer = 1; layer <= 82; ++layer) {
    lines.push_back("option CompositeLayer" + Num(layer) + " " +
                    THex()
                        .Add(p.CompositeLayer1[layer]).Add(p.CompositeLayer2[layer])
                        .Add(p.CompositeLayer3[layer]).Add(p.CompositeLayer4[layer]).Str());
  }
  TPcbPlacerOptions& pl = board.GetPlacerOptions();
  lines.push_back("option AdvancedPlacerOptions " +
                  THex().Text(pl.Placer1).Text(pl.Placer2).Bytes(pl.Placer3To6).Str());
  TPcbChangeOrderOptions& c = board.GetChangeOrderOptions();
  lines.push_back("option EngineeringChangeOrderOptions " +
                  THex().Add(c.ChangeOrder1).Text(c.ChangeOrder2).Str());
  return lines;
}

// Distinct values for every board value, layer, pair and option.
void SetBoardSentinels(TPcbBoard& board) {
  board.SetBoardLong1(-111111), board.SetBoardText("board text");
  board.SetBoardByte1(0xB1), board.SetOriginX(2222222), board.SetOriginY(-3333333);
  board.SetBoardLong2(444444), board.SetBoardLong3(-555555), board.SetBoardByte2(0xB2);
  board.SetBoardByte3(0xB3), board.SetBoardLong4(666666);
  board.SetTopDielectricMaterial("Top material"), board.SetTopDielectricType(0xD1);
  board.SetTopDielectricConstant(3.25), board.SetTopDielectricHeight(77777);
  board.SetBottomDielectricMaterial("Bottom material"), board.SetBottomDielectricType(0xD2);
  board.SetBottomDielectricConstant(5.75), board.SetBottomDielectricHeight(88888);
  for (int l = 1; l <= 82; ++l) {
    TLayerObject* layer = board.GetLayers(l);
    layer->SetName("Layer " + Num(l));
    layer->SetCopperThickness(10000 + l);
    layer->SetDielectricMaterial("Material " + Num(l));
    layer->SetDielectricType(static_cast<uint8_t>(l + 100));
    layer->SetDielectricConstant(l + 0.5);
    layer->SetDielectricHeight(20000 + l);
    layer->SetLayerByte1(static_cast<uint8_t>(l + 1));
    layer->SetLayerByte2(static_cast<uint8_t>(l + 2));
    layer->SetPrevLayer(static_cast<uint8_t>(l > 1 ? l - 1 : 0));
    layer->SetNextLayer(static_cast<uint8_t>(l < 82 ? l + 1 : 0));
    layer->SetLayerByte3(static_cast<uint8_t>(l + 3));
    if (auto* plane = ObjectAs<TInternalPlane>(layer))
      plane->SetNetName("Net " + Num(l));
    board.SetLayerInfo(l, -30000 - l);
  }
  for (int i = 0; i < board.GetLayerPairCount(); ++i) {
    TPcblayerPair* pair = board.GetLayerPairs(i);
    pair->SetPairByte1(static_cast<uint8_t>(0xE0 + i)), pair->SetPairByte2(0xEE);
    pair->SetLowLayer(static_cast<uint8_t>(2 + i)), pair->SetHighLayer(31);
  }
  // Option values from a running counter, so that each field differs from its neighbours.
  uint8_t next = 1;
  auto fill = [&next](auto& value) {
    auto* bytes = reinterpret_cast<uint8_t*>(&value);
    for (size_t i = 0; i < sizeof value; ++i)
      bytes[i] = next++;
  };
  TPcbGridValues& g = board.GetGridValues();
  fill(g.Grid1), fill(g.Grid2), fill(g.Grid3), fill(g.Grid4), g.Grid5 = 5.5, fill(g.Grid6);
  g.Grid7 = 7.5, g.Grid8 = 8.5, fill(g.Grid9), fill(g.Grid10), g.Grid11 = 11.5;
  fill(g.Grid12), g.Grid13 = 13.5, g.Grid14 = 14.5;
  TPcbOutputOptions& o = board.GetOutputOptions();
  fill(o.Output1), fill(o.Output2), fill(o.Output3To23), fill(o.Output24);
  fill(o.PlotLayers), fill(o.FlipLayers);
  o.PlotLayers[0] = o.FlipLayers[0] = 0;  // not a layer
  TPcbGerberOptions& ge = board.GetGerberOptions();
  fill(ge.Gerber1To7), fill(ge.Gerber8To12), ge.Gerber13 = "gerber", fill(ge.Gerber14);
  fill(ge.Gerber15), fill(ge.Gerber16), fill(ge.Gerber17), fill(ge.Gerber18);
  TPcbPrinterOptions& p = board.GetPrinterOptions();
  p.Printer1 = "printer one", p.Printer2 = "printer two", p.Printer3 = "printer three";
  fill(p.Printer4To9), fill(p.Printer10), p.Printer11 = 11.25, p.Printer12 = 12.25;
  p.Printer13 = 13.25, fill(p.Printer14), fill(p.Printer15), fill(p.Printer16);
  p.Printer17 = 17.25, p.Printer18 = 18.25, p.Printer19 = 19.25, fill(p.Printer20);
  fill(p.Printer21), fill(p.Printer22To26), fill(p.PlotterPens), fill(p.CompositeLayer1);
  fill(p.CompositeLayer2), fill(p.CompositeLayer3), fill(p.CompositeLayer4);
  TPcbPlacerOptions& pl = board.GetPlacerOptions();
  pl.Placer1 = "placer one", pl.Placer2 = "placer two", fill(pl.Placer3To6);
  TPcbChangeOrderOptions& c = board.GetChangeOrderOptions();
  fill(c.ChangeOrder1), c.ChangeOrder2 = "change order";
}

std::string Line(const std::string& dump, const std::string& start) {
  const size_t at = dump.find("\n" + start);
  if (at == std::string::npos)
    return std::string();
  return dump.substr(at + 1, dump.find('\n', at + 1) - at - 1);
}

class ProxyBoard : public RaveloTest {
 protected:
  // Sets the server's stack through the layer query, leaving every other value.
  void SetStack(uint8_t layer, uint8_t prev, uint8_t next) {
    ShortString<255> name;
    int32_t copper;
    uint8_t b1, b2, oldPrev, oldNext, b3;
    ASSERT_EQ(PcbApi_QueryLayer(1, layer, FBoard, &name, &copper, &b1, &b2, &oldPrev, &oldNext, &b3),
              0);
    ASSERT_EQ(PcbApi_QueryLayer(0, layer, FBoard, &name, &copper, &b1, &b2, &prev, &next, &b3), 0);
  }
  void SetPairs(std::initializer_list<std::pair<uint8_t, uint8_t>> lowHigh) {
    std::vector<uint8_t> records;
    for (const auto& [low, high] : lowHigh)
      records.insert(records.end(), {0, 0, high, low});
    ASSERT_EQ(Control().SetLayerPairs(FBoard, static_cast<int32_t>(lowHigh.size()),
                                      records.data()),
              0);
  }
  std::vector<std::string> PairNames() {
    TPcbBoard board(FBoard);
    EXPECT_EQ(board.Synchronize(1), 0);
    std::vector<std::string> names;
    for (int i = 0; i < board.GetLayerPairCount(); ++i)
      names.push_back(board.GetLayerPairs(i)->GetName());
    return names;
  }
};

TEST_F(ProxyBoard, EveryValueTravelsBothWays) {
  TPcbBoard stored(FBoard);
  ASSERT_EQ(stored.Synchronize(1), 0);
  ASSERT_EQ(stored.GetLayerPairCount(), 1);
  SetBoardSentinels(stored);
  ASSERT_EQ(stored.Synchronize(0), 0);

  const std::string dump = "\n" + DumpSetup(FBoard);
  ExpectFields(Line(dump, "board "),
               {{"BoardLong1", "-111111"}, {"BoardText", Quoted("board text")},
                {"BoardByte1", "177"}, {"OriginX", "2222222"}, {"OriginY", "-3333333"},
                {"BoardLong2", "444444"}, {"BoardLong3", "-555555"}, {"BoardByte2", "178"},
                {"BoardByte3", "179"}, {"BoardLong4", "666666"}});
  for (int l = 1; l <= 82; ++l) {
    const std::string line = Line(dump, "layer " + Num(l) + " ");
    ExpectFields(line, {{"Name", Quoted("Layer " + Num(l))},
                        {"CopperThickness", Num(10000 + l)},
                        {"LayerByte1", Num(l + 1)},
                        {"LayerByte2", Num(l + 2)},
                        {"PrevLayer", Num(l > 1 ? l - 1 : 0)},
                        {"NextLayer", Num(l < 82 ? l + 1 : 0)},
                        {"DielectricMaterial", Quoted("Material " + Num(l))},
                        {"DielectricType", Num(l + 100)},
                        {"DielectricConstant", Real(l + 0.5)},
                        {"DielectricHeight", Num(20000 + l)},
                        {"LayerInfo", Num(-30000 - l)}});
    // An internal plane carries its net's name where other layers have LayerByte3.
    if (l >= 39 && l <= 54) {
      EXPECT_TRUE(HasField(line, "NetName", Quoted("Net " + Num(l))));
    } else {
      EXPECT_TRUE(HasField(line, "LayerByte3", Num(l + 3)));
    }
  }
  ExpectFields(Line(dump, "pair 0"),
               {{"PairByte1", "224"}, {"PairByte2", "238"}, {"HighLayer", "31"}, {"LowLayer", "2"}});
  ExpectFields(Line(dump, "dielectric top"), {{"Material", Quoted("Top material")},
                                              {"Type", "209"}, {"Constant", "3.25"},
                                              {"Height", "77777"}});
  ExpectFields(Line(dump, "dielectric bottom"), {{"Material", Quoted("Bottom material")},
                                                 {"Type", "210"}, {"Constant", "5.75"},
                                                 {"Height", "88888"}});
  for (const std::string& option : OptionLines(stored)) {
    const std::string name = option.substr(0, option.find(' ', 7) + 1);
    EXPECT_EQ(Line(dump, name), option);
  }

  TPcbBoard loaded(FBoard);
  ASSERT_EQ(loaded.Synchronize(1), 0);
  EXPECT_EQ(loaded.GetBoardText(), "board text");
  EXPECT_EQ(loaded.GetOriginX(), 2222222);
  EXPECT_EQ(loaded.GetOriginY(), -3333333);
  EXPECT_EQ(loaded.GetBoardLong4(), 666666);
  EXPECT_EQ(loaded.GetBottomDielectricMaterial(), "Bottom material");
  EXPECT_EQ(loaded.GetTopDielectricConstant(), 3.25);
  for (int l = 1; l <= 82; ++l) {
    EXPECT_EQ(loaded.GetLayers(l)->GetName(), "Layer " + Num(l));
    EXPECT_EQ(loaded.GetLayers(l)->GetDielectricHeight(), 20000 + l);
    EXPECT_EQ(loaded.GetLayerInfo(l), -30000 - l);
  }
  EXPECT_EQ(ObjectAs<TInternalPlane>(loaded.GetLayers(54))->GetNetName(), "Net 54");
  ASSERT_EQ(loaded.GetLayerPairCount(), 1);
  EXPECT_EQ(loaded.GetLayerPairs(0)->GetPairByte1(), 0xE0);
  EXPECT_EQ(loaded.GetLayerPairs(0)->GetName(), "Layer 2 - Layer 31");
  EXPECT_EQ(OptionLines(loaded), OptionLines(stored));
}

TEST_F(ProxyBoard, FreshProxyStoresTheDefaults) {
  // Give the server other values first.
  {
    TPcbBoard other(FBoard);
    ASSERT_EQ(other.Synchronize(1), 0);
    SetBoardSentinels(other);
    ASSERT_EQ(other.Synchronize(0), 0);
  }
  TPcbBoard fresh(FBoard);
  EXPECT_EQ(fresh.GetLayerPairCount(), 0);
  ASSERT_EQ(fresh.Synchronize(0), 0);
  const std::string dump = "\n" + DumpSetup(FBoard);
  for (int l = 1; l <= 82; ++l) {
    const std::string line = Line(dump, "layer " + Num(l) + " ");
    ExpectFields(line, {{"Name", Quoted(LayerIdentifiers[l])},
                        {"CopperThickness", "14000"},
                        {"PrevLayer", "0"},
                        {"NextLayer", "0"},
                        {"DielectricMaterial", Quoted("FR-4")},
                        {"DielectricType", "1"},
                        {"DielectricConstant", "4.8"},
                        {"DielectricHeight", "126000"}});
    if (l >= 39 && l <= 54) {
      EXPECT_TRUE(HasField(line, "NetName", Quoted("(No Net)")));
    }
  }
  for (const char* side : {"dielectric top", "dielectric bottom"}) {
    ExpectFields(Line(dump, side), {{"Material", Quoted("FR-4")}, {"Type", "1"},
                                    {"Constant", "4.8"}, {"Height", "126000"}});
  }
  // No pair was loaded, so none is written: the server keeps the sentinel pair.
  EXPECT_TRUE(HasField(Line(dump, "pair 0"), "PairByte1", "224"));
}

TEST_F(ProxyBoard, PairsAreNamedTopLayerFirst) {
  EXPECT_EQ(PairNames(), std::vector<std::string>{"TopLayer - BottomLayer"});
}

TEST_F(ProxyBoard, PairsInAReversedStackAreNamedHighLayerFirst) {
  // The stack runs from layer 32 down to layer 1.
  for (int l = 1; l <= 32; ++l)
    SetStack(static_cast<uint8_t>(l), static_cast<uint8_t>(l < 32 ? l + 1 : 0),
             static_cast<uint8_t>(l - 1));
  EXPECT_EQ(PairNames(), std::vector<std::string>{"BottomLayer - TopLayer"});
  SetPairs({{5, 7}, {33, 57}});
  EXPECT_EQ(PairNames(), (std::vector<std::string>{"MidLayer6 - MidLayer4", "TopOverlay - Mechanical1"}));
}

TEST_F(ProxyBoard, LoadingTwiceGivesOneSetOfPairs) {
  SetPairs({{1, 32}, {2, 31}, {3, 30}});
  TPcbBoard board(FBoard);
  ASSERT_EQ(board.Synchronize(1), 0);
  ASSERT_EQ(board.Synchronize(1), 0);
  EXPECT_EQ(board.GetLayerPairCount(), 3);
  Control().ClearCallLog();
  ASSERT_EQ(board.Synchronize(0), 0);
  EXPECT_EQ(Calls(CallLog(), "PcbApi_QueryBoardLayerPairAt").size(), 3u);
}

TEST_F(ProxyBoard, FailingPairCountLeavesNoPairs) {
  Control().InjectResult("PcbApi_QueryBoardLayerPairsCount", 5);
  TPcbBoard board(FBoard);
  ASSERT_EQ(board.Synchronize(1), 0);
  EXPECT_EQ(board.GetLayerPairCount(), 0);
  Control().ClearCallLog();
  ASSERT_EQ(board.Synchronize(0), 0);
  EXPECT_EQ(Calls(CallLog(), "PcbApi_QueryBoardLayerPairAt").size(), 0u);
}

// Fault: the walk followed NextLayer until it was 0, so a cyclic stack never ended.
TEST_F(ProxyBoard, CyclicStackEnds) {
  SetStack(32, 1, 1);  // 1 -> 32 -> 1 -> ...
  SetPairs({{5, 1}, {1, 32}});
  // Layer 5 is never reached: it gets the two signal layers on the walk, after layer 1.
  EXPECT_EQ(PairNames(), (std::vector<std::string>{"TopLayer - MidLayer4", "TopLayer - BottomLayer"}));
}

// Fault: layer numbers above 82 indexed past the 82 layer objects; they end the walk and
// name nothing.
TEST_F(ProxyBoard, LayerNumbersBeyondTheBoardEndTheWalk) {
  SetStack(1, 0, 200);
  SetPairs({{1, 32}, {200, 1}, {1, 0}});
  // Layer 32 is not reached past layer 200, so both layers of the first pair count 1;
  // layers 200 and 0 have no position and no name.
  EXPECT_EQ(PairNames(), (std::vector<std::string>{"TopLayer - BottomLayer", " - TopLayer",
                                                   " - TopLayer"}));
  TPcbBoard board(FBoard);
  ASSERT_EQ(board.Synchronize(1), 0);
  EXPECT_EQ(board.StackPosition(32), 1);
  EXPECT_EQ(board.StackPosition(200), 0);
  EXPECT_EQ(board.StackPosition(33), 0);
}

TEST_F(ProxyBoard, BoundingRectangleIsTheExtentOfTheBoardsObjects) {
  NewTrack(-1000, 0, 5000, 2000, 100, 1, FBoard);
  TPcbBoard board(FBoard);
  int32_t x1 = 0, y1 = 0, x2 = 0, y2 = 0;
  board.GetBoundingRectangle(x1, y1, x2, y2);
  EXPECT_EQ(TRect({x1, y1, x2, y2}), TRect({-1050, -50, 5050, 2050}));
}

}  // namespace
