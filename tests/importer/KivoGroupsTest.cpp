// Nets and component instances translated into a board of the stand-in PCB server:
// host nets with their members, one host component per instance with its pins joined
// to nets by name, and the removal of a component left empty.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "classlib/Automation.h"
#include "importer/KivoBoardComponent.h"
#include "importer/KivoGroups.h"
#include "importer/PadStackMapRecord.h"
#include "pcb/PcbApi.h"
#include "tests/importer/KivoModelTestSupport.h"
#include "tests/proxies/ProxyTestSupport.h"

namespace {

const char cMismatch[] = "WARNING: Mismatch on number of nets and number of pin on component ";

int Occurrences(const std::string& text, const std::string& part) {
  int count = 0;
  for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1))
    ++count;
  return count;
}

class KivoGroups : public KivoModelTest {
 protected:
  uint32_t NamedNet(const std::string& name) {
    TKivoNetObject net(&FState);
    net.SetName(name);
    Translate(net, FBoard);
    return LookupHostNet(name, FBoard);
  }
  // A definition with a circle on `layer` and pins named `pins`, all on `layer`.
  std::unique_ptr<TKivoComponent> Definition(std::vector<std::string> pins,
                                             const std::string& layer = "TOP") {
    FState.SetLayerName(layer);
    auto component = std::make_unique<TKivoComponent>(&FState);
    auto circle = std::make_unique<TKivoCircle>(&FState);
    circle->SetCentre({500000, 500000});
    circle->SetRadius(10000);
    component->GetPrimitives().push_back(std::move(circle));
    int32_t x = 0;
    for (const std::string& name : pins) {
      auto pin = std::make_unique<TKivoPad>(&FState);
      pin->SetName(name);
      pin->SetX(x += 100000);
      pin->SetPadStackIndex(30);
      component->GetPins().push_back(std::move(pin));
    }
    return component;
  }
  TKivoInstance& Instance(TKivoComponent& component, const std::string& designator,
                          std::vector<std::string> connections) {
    auto instance = std::make_unique<TKivoInstance>(&FState);
    instance->SetDefinitionName("DIP8");
    instance->GetDesignator().SetText(designator);
    instance->GetDesignator().SetPosition({1000, 2000});
    for (const std::string& c : connections)
      instance->GetConnections().Add(c);
    component.GetInstances().push_back(std::move(instance));
    return *component.GetInstances().back();
  }
  // Host objects created by the last translation, of `kind`.
  std::vector<uint32_t> CreatedOf(uint8_t kind) {
    std::vector<uint32_t> handles;
    const std::string prefix = "PcbApi_CreateObject(" + Num(kind) + ") = ";
    for (const std::string& line : Calls(CallLog(), "PcbApi_CreateObject"))
      if (line.rfind(prefix, 0) == 0)
        handles.push_back(std::stoul(line.substr(prefix.size())));
    return handles;
  }
  std::string NetOf(uint32_t object) {
    const std::string line = DumpObject(object);
    const size_t at = line.find(" net=");
    return line.substr(at + 5, line.find(' ', at + 5) - at - 5);
  }
  std::string H(uint32_t handle) { return "#" + Num(handle); }
};

TEST_F(KivoGroups, LookupHostNetFindsTheFirstNetByNameWithoutRegardToCase) {
  const uint32_t gnd = NamedNet("GND");
  const uint32_t vcc = NamedNet("vcc");
  ASSERT_NE(gnd, 0u);
  EXPECT_NE(gnd, vcc);
  EXPECT_EQ(LookupHostNet("gnd", FBoard), gnd);
  EXPECT_EQ(LookupHostNet("VCC", FBoard), vcc);
  EXPECT_EQ(LookupHostNet("AGND", FBoard), 0u);
  EXPECT_EQ(LookupHostNet("GND", 0), 0u);
}

// The index of the host's nets read once answers as the host's own search does: the
// first net of a name without regard to case, over enough names to fill its table.
TEST_F(KivoGroups, NetIndexAnswersAsTheHostsSearch) {
  NamedNet("GND");
  NamedNet("gnd");  // a later net of a name already taken
  NamedNet("A rather long net name, past any short-string buffer");
  std::vector<std::string> names = {"GND", "Gnd", "gnd", "vcc", "", "a RATHER long net name, "
                                    "past any short-string buffer"};
  for (int i = 0; i < 40; ++i) {
    NamedNet("n" + Num(i));
    names.push_back("N" + Num(i));
  }
  const THostNetIndex index(FBoard);
  for (const std::string& name : names)
    EXPECT_EQ(index.Find(name), LookupHostNet(name, FBoard)) << name;
  EXPECT_EQ(index.Find("GND"), LookupHostNet("GND", FBoard));
  EXPECT_NE(index.Find("gND"), 0u);
  EXPECT_EQ(index.Find("N40"), 0u);
}

TEST_F(KivoGroups, LookupHostNetReportsAHostWithoutIterator) {
  NamedNet("GND");
  Control().InjectResult("PcbApi_CreateIterator", 0);
  TUIAutomation automation;
  automation.ClickButton("Vantor Suite Error", "OK");
  EXPECT_EQ(LookupHostNet("GND", FBoard), 0u);
  Control().ClearInjections();
  EXPECT_TRUE(automation.GetDone()) << automation.GetFailure();
}

TEST_F(KivoGroups, ANetHoldsItsMembersAndAnEmptyNetStillExists) {
  TKivoNetObject empty(&FState);
  empty.SetName("EMPTY");
  Translate(empty, FBoard);
  const uint32_t emptyNet = LookupHostNet("EMPTY", FBoard);
  ASSERT_NE(emptyNet, 0u);
  ExpectFields(DumpObject(emptyNet), {{"owner", H(FBoard)}, {"Name", Quoted("EMPTY")}});

  TKivoNetObject net(&FState);
  net.SetName("SIG");
  auto via = std::make_unique<TKivoVia>(&FState);
  via->SetX(30000);
  net.GetMembers().push_back(std::move(via));
  auto line = std::make_unique<TKivoLine>(&FState);
  line->AddVertex(0, 0), line->AddVertex(10000, 0);
  net.GetMembers().push_back(std::move(line));
  Translate(net, FBoard);
  const uint32_t sig = LookupHostNet("SIG", FBoard);
  const std::vector<uint32_t> vias = CreatedOf(okVia);
  const std::vector<uint32_t> tracks = CreatedOf(okTrack);
  ASSERT_EQ(vias.size(), 1u);
  ASSERT_EQ(tracks.size(), 1u);
  ExpectFields(DumpObject(vias[0]), {{"owner", H(FBoard)}, {"net", H(sig)}, {"X", "30000"}});
  ExpectFields(DumpObject(tracks[0]), {{"owner", H(FBoard)}, {"net", H(sig)}});
}

TEST_F(KivoGroups, PairFormJoinsPinsByName) {
  const uint32_t gnd = NamedNet("GND");
  const uint32_t vcc = NamedNet("VCC");
  auto component = Definition({"1", "2", "3"});
  Instance(*component, "U1", {"1", "gnd", "3", "1", "2", "VCC"});
  Translate(*component, FBoard);
  const std::vector<uint32_t> pads = CreatedOf(okPad);
  ASSERT_EQ(pads.size(), 3u);
  EXPECT_EQ(NetOf(pads[0]), H(gnd));
  EXPECT_EQ(NetOf(pads[1]), H(vcc));
  EXPECT_EQ(NetOf(pads[2]), "-") << "the first line equal to the pin's name: net \"1\", none";
  EXPECT_EQ(Occurrences(ImportWarnings(), cMismatch), 0);
}

TEST_F(KivoGroups, PositionFormJoinsPinsInOrderAndReportsMissingNets) {
  const uint32_t gnd = NamedNet("GND");
  const uint32_t vcc = NamedNet("VCC");
  auto component = Definition({"1", "2", "3"});
  Instance(*component, "U1", {"GND", "VCC"});
  Translate(*component, FBoard);
  const std::vector<uint32_t> pads = CreatedOf(okPad);
  ASSERT_EQ(pads.size(), 3u);
  EXPECT_EQ(NetOf(pads[0]), H(gnd));
  EXPECT_EQ(NetOf(pads[1]), H(vcc));
  EXPECT_EQ(NetOf(pads[2]), "-");
  EXPECT_EQ(Occurrences(ImportWarnings(), std::string(cMismatch) + "U1"), 1);
}

// Regression: an instance without connections ended the import on a list index.
TEST_F(KivoGroups, AnInstanceWithoutConnectionsLeavesEveryPinWithoutNet) {
  NamedNet("GND");
  auto component = Definition({"1", "2"});
  Instance(*component, "U7", {});
  Translate(*component, FBoard);
  const std::vector<uint32_t> pads = CreatedOf(okPad);
  ASSERT_EQ(pads.size(), 2u);
  EXPECT_EQ(NetOf(pads[0]), "-");
  EXPECT_EQ(NetOf(pads[1]), "-");
  EXPECT_EQ(Occurrences(ImportWarnings(), std::string(cMismatch) + "U7"), 2);
}

TEST_F(KivoGroups, EachInstanceBecomesAPlacedHostComponent) {
  auto component = Definition({"1"});
  TKivoInstance& top = Instance(*component, "U1", {"X"});
  top.SetX(3000000);
  top.SetY(4000000);
  top.SetInstanceRotation(90);
  TKivoInstance& bottom = Instance(*component, "U2", {"X"});
  bottom.SetSide(TKivoInstance::BottomSide);
  Translate(*component, FBoard);
  const std::vector<uint32_t> components = CreatedOf(okComponent);
  ASSERT_EQ(components.size(), 2u);
  ASSERT_EQ(CreatedOf(okArc).size(), 2u) << "each instance has its own graphics";
  ASSERT_EQ(CreatedOf(okPad).size(), 2u);
  ExpectFields(DumpObject(components[0]),
               {{"owner", H(FBoard)}, {"layer", "1(TopLayer)"}, {"X", "3000000"},
                {"Y", "4000000"}, {"Rotation", "90"}, {"ComponentString", Quoted("DIP8")}});
  ExpectFields(DumpObject(components[1]), {{"layer", "32(BottomLayer)"}, {"X", "0"}});
  for (size_t i = 0; i < 2; ++i) {
    const uint32_t c = components[i];
    ExpectFields(DumpObject(CreatedOf(okArc)[i]), {{"owner", H(c)}});
    ExpectFields(DumpObject(CreatedOf(okPad)[i]), {{"owner", H(c)}});
    // The designator text on the top overlay for both sides.
    const std::string line = DumpObject(c);
    const size_t at = line.find("NameText=#") + 10;
    const uint32_t name = std::stoul(line.substr(at));
    ExpectFields(DumpObject(name), {{"layer", "33(TopOverlay)"},
                                    {"Text", Quoted(i == 0 ? "U1" : "U2")}});
  }
  // Placement stores with direction 2 after the children went in.
  const std::string log = CallLog();
  EXPECT_LT(CallIndex(log, "PcbApi_AddObjectToContainer(" + Num(components[0]) + ", "),
            CallIndex(log, "PcbApi_QueryComponent(2"));
  EXPECT_EQ(Occurrences(ImportEvents(), "Component Added: U"), 2);
}

TEST_F(KivoGroups, AComponentWithoutChildrenIsRemoved) {
  auto component = Definition({"1", "2"}, "UNUSED");
  Instance(*component, "U9", {"A", "B"});
  Translate(*component, FBoard);
  const std::vector<uint32_t> components = CreatedOf(okComponent);
  ASSERT_EQ(components.size(), 1u);
  EXPECT_EQ(DumpObject(components[0]), "");
  EXPECT_EQ(Occurrences(ImportWarnings(),
                        "WARNING: No Component Primitives Translated for component U9. "
                        "Component Removed"),
            1);
  EXPECT_EQ(Dump(FBoard).find("component"), std::string::npos);
}

TEST_F(KivoGroups, NetsAreTranslatedBeforeComponents) {
  TKivoDetail detail;
  detail.SetOwnerContainer(FBoard);
  auto component = Definition({"1"});
  Instance(*component, "U1", {"LATE"});
  detail.GetComponents().push_back(std::move(component));
  auto net = std::make_unique<TKivoNetObject>(&FState);
  net->SetName("LATE");
  detail.GetNets().push_back(std::move(net));
  Control().ClearCallLog();
  TranslateDetail(detail);
  const std::string log = CallLog();
  EXPECT_LT(CallIndex(log, "PcbApi_CreateObject(8)"), CallIndex(log, "PcbApi_CreateObject(9)"));
  const std::vector<uint32_t> pads = CreatedOf(okPad);
  ASSERT_EQ(pads.size(), 1u);
  EXPECT_EQ(NetOf(pads[0]), H(LookupHostNet("LATE", FBoard)));
}

// The pad-stack map handed to a component reaches its pins when the component
// translates, and the one handed to a net reaches its members (it is passed on then,
// not when handed in, so that a reading answered Cancel does not visit them all): a pin
// on the map's surface-mount layer becomes the small default pad.
TEST_F(KivoGroups, APadStackMapHandedInReachesThePartsWhenTheyTranslate) {
  PadStackMapRecord map;
  map.Rows[4] = "TOP";
  map.Rows[5] = "SILK";
  std::vector<std::string> pads;
  for (const char* layer : {"TOP", "BOTTOM"}) {
    auto component = Definition({"1"}, layer);
    component->GetPins()[0]->SetPadStackIndex(3);  // no definition, not a small index
    Instance(*component, "U1", {"GND"});
    component->SetPadStackMap(&map);
    EXPECT_EQ(component->GetPins()[0]->GetPadStackMap(), nullptr) << "not before translation";
    Translate(*component, FBoard);
    EXPECT_EQ(component->GetPins()[0]->GetPadStackMap(), &map);
    EXPECT_EQ(component->GetInstances()[0]->GetPadStackMap(), &map);
    const std::vector<uint32_t> created = CreatedOf(okPad);
    ASSERT_EQ(created.size(), 1u);
    pads.push_back(DumpObject(created[0]));
  }
  ExpectFields(pads[0], {{"TopXSize", "100000"}, {"HoleSize", "0"}, {"TopShape", "1"}});
  EXPECT_EQ(pads[1].find("TopXSize=100000 "), std::string::npos) << pads[1];

  TKivoNetObject net(&FState);
  net.SetName("N1");
  net.GetMembers().push_back(std::make_unique<TKivoVia>(&FState));
  net.SetPadStackMap(&map);
  Translate(net, FBoard);
  EXPECT_EQ(net.GetMembers()[0]->GetPadStackMap(), &map);
  EXPECT_EQ(net.GetPadStackMap(), nullptr) << "the net keeps none itself";
}

}  // namespace
