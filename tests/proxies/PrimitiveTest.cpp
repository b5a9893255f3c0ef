// The primitive proxies' own rules: the pad stack's per-layer calls, text and name
// capacities, and the sizes, ends and corners of pads and vias on a layer.
#include <sstream>
#include <string>
#include <vector>

#include "pcb/PcbPad.h"
#include "pcb/PcbPrimitives.h"
#include "tests/proxies/ProxyTestSupport.h"
#include "tests/ravelo/RaveloTestSupport.h"

namespace {

const char* const cPerLayerEntries[] = {"PcbApi_QueryPadOrViaShapeOnLayer",
                                        "PcbApi_QueryPadOrViaSizeOnLayer",
                                        "PcbApi_SetPadShapeOnLayer", "PcbApi_SetPadSizeOnLayer"};

class ProxyPrimitives : public RaveloTest {
 protected:
  int PerLayerCalls() {
    const std::string log = CallLog();
    size_t count = 0;
    for (const char* entry : cPerLayerEntries)
      count += Calls(log, entry).size();
    return static_cast<int>(count);
  }
};

TEST_F(ProxyPrimitives, PadOutsideStackModeTwoMakesNoPerLayerCalls) {
  const uint32_t handle = PcbApiCreateObject(okPad);
  for (uint8_t stackMode : {0, 1, 3, 255}) {
    TPcbPad pad(handle);
    pad.SetStackMode(stackMode);
    Control().ClearCallLog();
    ASSERT_EQ(pad.Synchronize(0), 0);
    ASSERT_EQ(pad.Synchronize(1), 0);
    EXPECT_EQ(pad.GetStackMode(), stackMode);
    EXPECT_EQ(PerLayerCalls(), 0) << int(stackMode);
    EXPECT_EQ(Calls(CallLog(), "PcbApi_QueryPadStackMode").size(), 2u);
  }
}

TEST_F(ProxyPrimitives, PadInStackModeTwoWritesAllSignalLayers) {
  const uint32_t handle = PcbApiCreateObject(okPad);
  TPcbPad pad(handle);
  pad.SetStackMode(TPcbPad::LayerStackMode);
  pad.SetLayerShape(7, 2);
  pad.SetLayerXSize(7, 123);
  pad.SetLayerYSize(7, 456);
  Control().ClearCallLog();
  ASSERT_EQ(pad.Synchronize(0), 0);
  const std::string log = CallLog();
  std::vector<std::string> expected;
  const std::string h = Num(handle);
  for (int layer = 1; layer <= 32; ++layer) {
    const bool set = layer == 7;
    expected.push_back("PcbApi_SetPadShapeOnLayer(" + h + ", " + Num(layer) + ", " +
                       (set ? "2" : "0") + ") = 0");
    expected.push_back("PcbApi_SetPadSizeOnLayer(" + h + ", " + Num(layer) + ", " +
                       (set ? "123, 456" : "0, 0") + ") = 0");
  }
  std::vector<std::string> perLayer;
  std::istringstream lines(log);
  for (std::string line; std::getline(lines, line);) {
    if (line.rfind("PcbApi_SetPad", 0) == 0)
      perLayer.push_back(line);
  }
  EXPECT_EQ(perLayer, expected);
  EXPECT_TRUE(HasField(DumpObject(handle), "L7", "2/123x456"));
  EXPECT_TRUE(HasField(DumpObject(handle), "L32", "0/0x0"));

  // Loading asks for every signal layer; so does the mode 2 of a placed component.
  Control().ClearCallLog();
  TPcbPad loaded(handle);
  ASSERT_EQ(loaded.Synchronize(1), 0);
  EXPECT_EQ(Calls(CallLog(), "PcbApi_QueryPadOrViaShapeOnLayer").size(), 32u);
  EXPECT_EQ(Calls(CallLog(), "PcbApi_QueryPadOrViaSizeOnLayer").size(), 32u);
  EXPECT_EQ(loaded.GetLayerXSize(7), 123);
  EXPECT_EQ(loaded.GetLayerShape(7), 2);
  Control().ClearCallLog();
  ASSERT_EQ(loaded.Synchronize(2), 0);
  EXPECT_EQ(Calls(CallLog(), "PcbApi_SetPadSizeOnLayer").size(), 32u);
}

TEST_F(ProxyPrimitives, FailingPadQueryStopsBeforeTheStack) {
  const uint32_t handle = PcbApiCreateObject(okPad);
  TPcbPad pad(handle);
  pad.SetStackMode(TPcbPad::LayerStackMode);
  Control().InjectResult("PcbApi_QueryPad", 5);
  Control().ClearCallLog();
  EXPECT_EQ(pad.Synchronize(0), 5);
  EXPECT_EQ(pad.Synchronize(1), 5);
  EXPECT_EQ(Calls(CallLog(), "PcbApi_QueryPadStackMode").size(), 0u);
  EXPECT_EQ(PerLayerCalls(), 0);
}

TEST_F(ProxyPrimitives, TextsAndNamesAreCutToTheirCapacity) {
  const uint32_t textHandle = PcbApiCreateObject(okText);
  TPcbText text(textHandle);
  text.SetText(std::string(300, 'x'));
  EXPECT_EQ(text.GetText(), std::string(254, 'x'));
  ASSERT_EQ(text.Synchronize(0), 0);
  EXPECT_TRUE(HasField(DumpObject(textHandle), "Text", Quoted(std::string(254, 'x'))));

  const uint32_t padHandle = PcbApiCreateObject(okPad);
  TPcbPad pad(padHandle);
  pad.SetName("ABCDEFGHIJKLMNOPQRSTUVWXYZ");
  EXPECT_EQ(pad.GetName(), "ABCDEFGHIJKLMNOPQRST");
  ASSERT_EQ(pad.Synchronize(0), 0);
  EXPECT_TRUE(HasField(DumpObject(padHandle), "Name", Quoted("ABCDEFGHIJKLMNOPQRST")));
}

// A pad stored at (1000000, 2000000), `xSize` by `ySize` on every layer, turned by `rotation`.
TPcbPad StoredPad(int32_t xSize, int32_t ySize, double rotation) {
  TPcbPad pad(PcbApiCreateObject(okPad));
  pad.SetX(1000000);
  pad.SetY(2000000);
  pad.SetTopXSize(xSize);
  pad.SetTopYSize(ySize);
  pad.SetMidXSize(xSize);
  pad.SetMidYSize(ySize);
  pad.SetBotXSize(xSize);
  pad.SetBotYSize(ySize);
  pad.SetTopShape(2);
  pad.SetRotation(rotation);
  EXPECT_EQ(pad.Synchronize(0), 0);
  return pad;
}

TEST_F(ProxyPrimitives, PadSizesOnALayerComeFromTheHost) {
  TPcbPad pad = StoredPad(600000, 200000, 0);
  pad.SetTopXSize(1);  // not stored: the host's values count
  EXPECT_EQ(pad.GetXSizeOnLayer(1), 600000);
  EXPECT_EQ(pad.GetYSizeOnLayer(32), 200000);
  EXPECT_EQ(pad.GetWidthOnLayer(15), 200000);
  EXPECT_EQ(pad.GetShapeOnLayer(1), 2);
  EXPECT_EQ(pad.GetShapeOnLayer(32), 0);
  // Beyond the per-layer values the host is still asked, without writing past them.
  EXPECT_EQ(pad.GetXSizeOnLayer(200), 0);
  EXPECT_EQ(pad.GetShapeOnLayer(255), 0);
  EXPECT_THROW(pad.GetLayerXSize(83), EListError);
}

TEST_F(ProxyPrimitives, SquarePadGivesItsCentreForBothEnds) {
  TPcbPad pad = StoredPad(400000, 400000, 30);
  EXPECT_EQ(pad.GetXOnLayer(1), 1000000);
  EXPECT_EQ(pad.GetYOnLayer(1), 2000000);
  EXPECT_EQ(pad.GetX2OnLayer(1), 1000000);
  EXPECT_EQ(pad.GetY2OnLayer(1), 2000000);
}

TEST_F(ProxyPrimitives, OblongPadCentreLineRunsAlongItsLongSide) {
  TPcbPad wide = StoredPad(600000, 200000, 0);
  EXPECT_EQ(wide.GetXOnLayer(1), 800000);
  EXPECT_EQ(wide.GetYOnLayer(1), 2000000);
  EXPECT_EQ(wide.GetX2OnLayer(1), 1200000);
  EXPECT_EQ(wide.GetY2OnLayer(1), 2000000);
  TPcbPad turned = StoredPad(600000, 200000, 90);
  EXPECT_EQ(turned.GetXOnLayer(1), 1000000);
  EXPECT_EQ(turned.GetYOnLayer(1), 1800000);
  EXPECT_EQ(turned.GetX2OnLayer(1), 1000000);
  EXPECT_EQ(turned.GetY2OnLayer(1), 2200000);
  TPcbPad tall = StoredPad(200000, 600000, 0);
  EXPECT_EQ(tall.GetXOnLayer(1), 1000000);
  EXPECT_EQ(tall.GetYOnLayer(1), 2200000);
  EXPECT_EQ(tall.GetX2OnLayer(1), 1000000);
  EXPECT_EQ(tall.GetY2OnLayer(1), 1800000);
}

TEST_F(ProxyPrimitives, PadCornersOnALayer) {
  TPcbPad pad = StoredPad(600000, 200000, 0);
  EXPECT_EQ(pad.GetCorner1XOnLayer(1, 10000), 690000);
  EXPECT_EQ(pad.GetCorner1YOnLayer(1, 10000), 1890000);
  EXPECT_EQ(pad.GetCorner2XOnLayer(1, 10000), 1310000);
  EXPECT_EQ(pad.GetCorner2YOnLayer(1, 10000), 1890000);
  EXPECT_EQ(pad.GetCorner3XOnLayer(1, 10000), 690000);
  EXPECT_EQ(pad.GetCorner3YOnLayer(1, 10000), 2110000);
  EXPECT_EQ(pad.GetCorner4XOnLayer(1, 10000), 1310000);
  EXPECT_EQ(pad.GetCorner4YOnLayer(1, 10000), 2110000);
  TPcbPad turned = StoredPad(600000, 200000, 90);
  EXPECT_EQ(turned.GetCorner1XOnLayer(1, 0), 1100000);
  EXPECT_EQ(turned.GetCorner1YOnLayer(1, 0), 1700000);
}

TEST_F(ProxyPrimitives, ViaAnswersItsSizeOnEveryLayerAndHasNoSecondPoint) {
  TPcbVia via(PcbApiCreateObject(okVia));
  ASSERT_EQ(via.Synchronize(1), 0);
  via.SetX(42);
  via.SetX2(99);
  EXPECT_EQ(via.GetX2(), 42);
  EXPECT_EQ(via.GetSizeOnLayer(1), 500000);
  EXPECT_EQ(via.GetSizeOnLayer(20), 500000);
  EXPECT_EQ(via.GetShapeOnLayer(32), 1);
  TPcbVia unknown(999);
  EXPECT_EQ(unknown.GetSizeOnLayer(1), 0);
  EXPECT_EQ(unknown.GetShapeOnLayer(1), 0);
}

}  // namespace
