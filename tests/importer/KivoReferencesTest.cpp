// The references of a KIVO file and the blocks that define what they name, read and
// translated into a board of the stand-in PCB server: a reference to nothing and a
// definition given twice are told with their lines, the first definition holds, and a
// connection list is read as its length and names support.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <iterator>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "importer/KivoFile.h"
#include "importer/KivoReferences.h"
#include "importer/ReportManager.h"
#include "tests/importer/DialogDefaults.h"
#include "tests/importer/ImporterTestSupport.h"
#include "tests/ravelo/RaveloTestSupport.h"

namespace {

// Maps "TOP" and "BOTTOM"; the pad-stack map is the options dialog's default.
bool MapCopper(TKivoFile& reader, PadStackMapRecord& map) {
  TStringList& layers = reader.GetBoardComponent().GetEnvironment().GetLayerStrings();
  DialogDefaultPadStackMap(&layers, map);
  for (int i = 0; i < layers.GetCount(); ++i)
    static_cast<KivoLayerEntry*>(layers.GetObject(i))
        ->SetHostLayer(layers.Get(i) == "TOP" ? eTopLayer : layers.Get(i) == "BOTTOM" ? eBottomLayer
                                                                                      : eIgnoreLayer);
  return true;
}

class KivoReferencesTest : public RaveloTest {
 protected:
  void TearDown() override {
    TKivoFile::SetImportOptionsHandler(nullptr);
    FReader.reset();
    FReport.reset();
    RaveloTest::TearDown();
  }

  // Imports `text` into the test board and answers its report, every warning shown.
  std::string Import(const std::string& text) {
    const std::string path = WriteScratchFile("references.pdf", text);
    FReport = std::make_unique<TReportManager>(path);
    FReader = std::make_unique<TKivoFile>(path, FBoard);
    FReader->SetReport(FReport.get());
    TKivoFile::SetImportOptionsHandler(MapCopper);
    FReader->Load();
    FReport->WriteReport();
    return ReadWholeFile(FReport->GetReportPath());
  }
  // A field of an object's dump line.
  long Field(uint32_t object, const std::string& name) {
    const std::string line = DumpObject(object);
    const size_t at = line.find(" " + name + "=");
    return at == std::string::npos ? -1L : std::atol(line.c_str() + at + name.size() + 2);
  }
  // The name of the host net of `object`, "-" for none.
  std::string NetOf(uint32_t object) {
    const std::string line = DumpObject(object);
    const size_t at = line.find(" net=") + 5;
    const std::string net = line.substr(at, line.find(' ', at) - at);
    if (net == "-")
      return net;
    const std::string dump = DumpObject(static_cast<uint32_t>(std::atol(net.c_str() + 1)));
    const size_t name = dump.find(" Name=\"") + 7;
    return dump.substr(name, dump.find('"', name) - name);
  }
  // Each pad as "x:net", x in mils from the first pad's (the placement may move the
  // board), in the board's order.
  std::vector<std::string> Pads() {
    std::vector<std::string> pads;
    long first = 0;
    for (uint32_t pad : Iterate(FBoard, /*kind=*/2)) {
      if (pads.empty())
        first = Field(pad, "X");
      pads.push_back(std::to_string((Field(pad, "X") - first) / 10000) + ":" + NetOf(pad));
    }
    return pads;
  }

  std::unique_ptr<TReportManager> FReport;
  std::unique_ptr<TKivoFile> FReader;
};

// The report's lines of warnings that hold `part`, in order.
std::vector<std::string> LinesWith(const std::string& report, const std::string& part) {
  std::vector<std::string> lines;
  for (size_t start = 0, end; start < report.size(); start = end + 2) {
    end = std::min(report.find("\r\n", start), report.size());
    const std::string line = report.substr(start, end - start);
    if (line.find(part) != std::string::npos)
      lines.push_back(line);
  }
  return lines;
}

const char kPadsMade[] =
    "the pins and vias of its index were made without a pad definition (pins as the default "
    "pad or the component graphics over them, vias as the host's default via)";
const char kFreePadsMade[] =
    "the pins of its index without a net were made without a pad definition (as the default "
    "pad or the component graphics over them)";

// Fault: a pad-stack entry naming a pad definition the file does not give made its pins
// and vias without one, untold (the example's resistors' pads went from 50 x 60 to 10 x
// 10 mil), and so did one whose second name, for pins without a net, named nothing; pins
// and vias of a file without PAD_STACK too. Each is told with its line and what was made.
TEST_F(KivoReferencesTest, AReferenceToNothingIsToldWithWhatIsMadeInstead) {
  const std::string report = Import(
      "{COMPONENT \"refs\"\n"                                                           // 1
      "{ENVIRONMENT {KIVOVREV \"3.0\"} {DBUNIT \"MIL\"} {DBGRID 1} {LYRSTR \"TOP\" 1}}\n"  // 2
      "{DETAIL {PAD_STACK {PAD 1 \"A\" \"GONE\"}\n"                                     // 3
      " {PAD 2 \"NOSUCH\" \"\"} {PAD 3 \"\" \"\"}\n"                                    // 4
      " {PAD_DEF A {PIC [LY \"PADINT\"] {C 0 0 20}}}}\n"                                // 5
      "{NET_DEF {N GND {DG [LY \"TOP\"] {V 0 0 2}}}}\n"                                 // 6
      "{SUBCOMP {COMP_DEF R [LY \"TOP\"] {PIN_DEF {P 1 {PT 1} {PLOC 0 0}}\n"            // 7
      " {P 2 {PT 2} {PLOC 100 0}} {P 3 {PT 1} {PLOC 200 0}}}}\n"                        // 8
      " {I R R1 {ATR {IN {ORG 0 0}}} {CN \"\" GND GND}}}}}\n");                         // 9
  EXPECT_EQ(LinesWith(report, "WARNING: The PAD "),
            (std::vector<std::string>{
                "WARNING: The PAD 1 at line 3 names the pad definition \"GONE\" for its pins "
                "without a net, which its PAD_STACK does not give: " + std::string(kFreePadsMade),
                "WARNING: The PAD 2 at line 4 names the pad definition \"NOSUCH\", which its "
                "PAD_STACK does not give: " + std::string(kPadsMade)}))
      << report;
  // (And A gives no hole.)
  EXPECT_NE(report.find("Load Warnings : 3\r\n"), std::string::npos) << report;
  // What was made instead: pin 1 (no net) and pin 2 without definition, pin 3 (on GND)
  // with A; the via of index 2 the host's default.
  const std::vector<uint32_t> pads = Iterate(FBoard, /*kind=*/2);
  ASSERT_EQ(pads.size(), 3u);
  EXPECT_NE(Field(pads[0], "TopXSize"), 400000);
  EXPECT_NE(Field(pads[1], "TopXSize"), 400000);
  EXPECT_EQ(Field(pads[2], "TopXSize"), 400000);
  EXPECT_EQ(Field(pads[2], "HoleSize"), 320000);

  const std::string bare = Import(
      "{COMPONENT \"bare\"\n"                                                           // 1
      "{ENVIRONMENT {KIVOVREV \"3.0\"} {DBUNIT \"MIL\"} {DBGRID 1} {LYRSTR \"TOP\" 1}}\n"  // 2
      "{DETAIL {NET_DEF {N GND {DG [LY \"TOP\"] {V 0 0 2}}}}\n"                          // 3
      "{SUBCOMP {COMP_DEF R [LY \"TOP\"] {PIN_DEF {P 1 {PT 30} {PLOC 0 0}}\n"           // 4
      " {P 2 {PT 4} {PLOC 100 0}}}} {I R R1 {ATR {IN {ORG 0 0}}} {CN GND GND}}}}}\n");  // 5
  EXPECT_EQ(LinesWith(bare, "Pad stack index"),
            (std::vector<std::string>{
                "WARNING: Pad stack index 2 of via of net GND at line 3 left out: the file has no "
                "PAD_STACK block",
                "WARNING: Pad stack index 4 of pin 2 at line 5 left out: the file has no PAD_STACK "
                "block"}))
      << bare;
}

// Fault: a definition given twice replaced the first or was replaced, silently and by
// kind: a second DBUNIT (or DBGRID) scaled everything after it, a via took the last PAD
// of its index and a pin the first, a second COMP_DEF took the instances after it, all
// untold. What the board takes once keeps the first; a COMP_DEF serves the instances
// after it; a pin name given twice keeps both pins, both connected by that name; each
// second one is told with both lines.
TEST_F(KivoReferencesTest, ADefinitionGivenTwiceIsToldWithBothLines) {
  const std::string report = Import(
      "{COMPONENT \"twice\"\n"                                                                // 1
      "{ENVIRONMENT {KIVOVREV \"3.0\"} {DBUNIT \"MIL\"} {DBGRID 1}\n"                         // 2
      " {LYRSTR \"TOP\" 1 \"BOTTOM\" 2 \"top\" 3}\n"                                          // 3
      " {DBUNIT \"MM\"} {DBGRID 2} {KIVOVREV \"4.0\"}}\n"                                     // 4
      "{DETAIL {PAD_STACK {PAD 1 \"A\" \"\"} {PAD 1 \"B\" \"\"}\n"                            // 5
      " {PAD_DEF A {PIC [LY \"PADINT\"] {C 0 0 30}}}\n"                                       // 6
      " {PAD_DEF a {PIC [LY \"PADINT\"] {C 0 0 5}}} {PAD_DEF B {PIC [LY \"PADINT\"] {C 0 0 7}}}}\n"  // 7
      "{NET_DEF {N GND {DG [LY \"TOP\"] {V 0 0 1}}}}\n"                                       // 8
      "{SUBCOMP {COMP_DEF R [LY \"TOP\"] {PIN_DEF {P 1 {PT 1} {PLOC 0 0}}\n"                  // 9
      " {P 1 {PT 1} {PLOC 100 0}}}}\n"                                                        // 10
      " {I R R1 {ATR {IN {ORG 0 0}}} {CN 1 GND}}\n"                                           // 11
      " {COMP_DEF r [LY \"TOP\"] {PIN_DEF {P 1 {PT 1} {PLOC 50 0}}}}\n"                       // 12
      " {I R R2 {ATR {IN {ORG 1000 0}}} {CN 1 GND}}}}}\n");                                   // 13
  const std::string before = " was given before (line ";
  EXPECT_EQ(LinesWith(report, before),
            (std::vector<std::string>{
                "WARNING: The layer \"top\" of LYRSTR at line 3" + before +
                    "3): objects on it take the first one's host layer, and this one was not used",
                "WARNING: DBUNIT \"MM\" at line 4" + before + "2): the first holds, and this one was not used",
                "WARNING: DBGRID 2 at line 4" + before + "2): the first holds, and this one was not used",
                "WARNING: KIVOVREV \"4.0\" at line 4" + before +
                    "2): the first holds, and this one was not used",
                "WARNING: The PAD 1 at line 5" + before +
                    "5): pins and vias of its index take the first, and this one was not used",
                "WARNING: The PAD_DEF a at line 7" + before +
                    "6): pads and vias take the first, and this one was not used",
                "WARNING: Pin 1 of the definition R at line 10" + before +
                    "9): both were imported, and a list of pairs connects both by that name",
                "WARNING: The COMP_DEF r at line 12" + before +
                    "9): the instances after it take this one, those before it the one before"}))
      << report;
  // (And A and B give no hole.)
  EXPECT_NE(report.find("Load Warnings : 10\r\n"), std::string::npos) << report;
  // In mils on a grid of 1; the via and the pins with the first A, R1 of the first R and
  // R2 of the second.
  EXPECT_EQ(Pads(), (std::vector<std::string>{"0:GND", "100:GND", "1050:GND"}));
  for (uint32_t pad : Iterate(FBoard, /*kind=*/2))
    EXPECT_EQ(Field(pad, "TopXSize"), 600000);
  const std::vector<uint32_t> vias = Iterate(FBoard, /*kind=*/3);
  ASSERT_EQ(vias.size(), 1u);
  EXPECT_EQ(Field(vias[0], "Size"), 600000);

}


// A definition given again the same is the same one: nothing to tell (a board may give
// its component definitions again before each group of their instances).
TEST_F(KivoReferencesTest, ADefinitionGivenAgainTheSameIsTheSameOne) {
  const std::string same = Import(
      "{COMPONENT \"same\"\n"
      "{ENVIRONMENT {KIVOVREV \"3.0\"} {DBUNIT \"MIL\"} {DBGRID 1} {LYRSTR \"TOP\" 1 \"TOP\" 1}\n"
      " {DBUNIT \"MIL\"} {DBGRID 1} {KIVOVREV \"3.0\"}}\n"
      "{DETAIL {PAD_STACK {PAD 1 \"A\" \"\"} {PAD 1 \"A\" \"\"}\n"
      " {PAD_DEF A {PIC [LY \"PADINT\"] {C 0 0 30} [LY \"DRILL\"] {T \"10\" 0 0}}}\n"
      " {PAD_DEF A {PIC [LY \"PADINT\"] {C 0 0 30} [LY \"DRILL\"] {T \"10\" 0 0}}}}\n"
      "{NET_DEF {N GND}}\n"
      "{SUBCOMP {COMP_DEF R [LY \"TOP\"] {PIN_DEF {P 1 {PT 1} {PLOC 0 0}}} {PIC {L 0 0 1 1}}}\n"
      " {I R R1 {ATR {IN {ORG 0 0}}} {CN GND}}\n"
      " {COMP_DEF R [LY \"TOP\"] {PIN_DEF {P 1 {PT 1} {PLOC 0 0}}} {PIC {L 0 0 1 1}}}\n"
      " {I R R2 {ATR {IN {ORG 100 0}}} {CN GND}}}}}\n");
  EXPECT_NE(same.find("Load Warnings : 0\r\n"), std::string::npos) << same;
  EXPECT_EQ(Pads(), (std::vector<std::string>{"0:GND", "100:GND"}));
}

// Fault: a connection list whose first name is a pin's and also a net's was read as pairs
// whatever its length: on a board with a net "1", {CN 1 A} gave pin 1 net A and pin 2
// none. A list naming a net for each pin is read by position, told; a list of pairs
// stays one. A list short of names is told with the instance, pin and line.
TEST_F(KivoReferencesTest, AConnectionListIsReadAsItsLengthAndNamesSupport) {
  const std::string report = Import(
      "{COMPONENT \"lists\"\n"                                                              // 1
      "{ENVIRONMENT {KIVOVREV \"3.0\"} {DBUNIT \"MIL\"} {DBGRID 1} {LYRSTR \"TOP\" 1}}\n"   // 2
      "{DETAIL {NET_DEF {N 1 {DG [LY \"TOP\"] {W 0 0 1 1}}} {N A} {N B}}\n"                // 3
      "{SUBCOMP {COMP_DEF R [LY \"TOP\"] {PIN_DEF {P 1 {PLOC 0 0}} {P 2 {PLOC 100 0}}}}\n"  // 4
      " {I R R1 {ATR {IN {ORG 0 0}}} {CN 1 A}}\n"                                           // 5
      " {I R R2 {ATR {IN {ORG 1000 0}}} {CN 1 A 2 B}}\n"                                    // 6
      " {I R R3 {ATR {IN {ORG 2000 0}}} {CN 2 B}}\n"                                        // 7
      " {I R R4 {ATR {IN {ORG 3000 0}}} {CN A}}}}}\n");                                     // 8
  EXPECT_EQ(Pads(), (std::vector<std::string>{"0:1", "100:A", "1000:A", "1100:B", "2000:-",
                                              "2100:B", "3000:A", "3100:-"}))
      << report;
  EXPECT_EQ(LinesWith(report, "WARNING: "),
            (std::vector<std::string>{
                "WARNING: The connections of component R1 at line 5 begin with \"1\", the name of a "
                "pin of its definition R and of a net, and name a net for each of its 2 pins: they "
                "were read by position, not as pairs of pin and net names",
                "WARNING: Mismatch on number of nets and number of pin on component R4: its "
                "connections at line 8 name no net for pin 2, which was imported without a net"}))
      << report;
}

// The table holds every reference of the format and every defining block, each row
// with its words; every reference to nothing and every definition given twice that the
// tests above show is told in them.
TEST(KivoReferenceTable, HoldsEveryReferenceAndDefinitionWithItsWords) {
  ASSERT_EQ(std::size(kKivoReferences), 15u);
  std::set<std::string> pairs;
  for (size_t i = 0; i < std::size(kKivoReferences); ++i) {
    const TKivoReference& row = kKivoReferences[i];
    EXPECT_EQ(static_cast<size_t>(row.Kind), i) << "rows in the order of their kinds";
    EXPECT_NE(*row.Definition, 0) << i;
    EXPECT_NE(*row.Twice, 0) << i;
    EXPECT_EQ(*row.Reference == 0, *row.Undefined == 0) << "a reference has its words: " << i;
    EXPECT_TRUE(pairs.insert(std::string(row.Reference) + ">" + row.Definition).second) << i;
  }
  EXPECT_EQ(std::string(KivoReference(rkPadDefinition).Undefined), kPadsMade);
  EXPECT_EQ(std::string(KivoReference(rkFreePadDefinition).Undefined), kFreePadsMade);
}

}  // namespace
