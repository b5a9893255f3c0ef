#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <memory>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "classlib/Automation.h"
#include "classlib/Exceptions.h"
#include "classlib/MemoryManager.h"
#include "classlib/Win.h"
#include "importer/ImportSettings.h"
#include "importer/KivoFile.h"
#include "importer/KivoTokenizer.h"
#include "importer/ReportManager.h"
#include "tests/importer/DialogDefaults.h"
#include "tests/importer/GoldenFiles.h"
#include "tests/importer/ImporterTestSupport.h"
#include "tests/ravelo/RaveloTestSupport.h"

namespace {

// Maps "TOP", "BOTTOM" and "SILK"; every other layer stays not imported. The pad-stack
// map is the one the options dialog hands back for these layers with its defaults.
bool MapTestLayers(TKivoFile& reader, PadStackMapRecord& map) {
  TStringList& layers = reader.GetBoardComponent().GetEnvironment().GetLayerStrings();
  DialogDefaultPadStackMap(&layers, map);
  for (int i = 0; i < layers.GetCount(); ++i) {
    auto* entry = static_cast<KivoLayerEntry*>(layers.GetObject(i));
    const std::string name = layers.Get(i);
    entry->SetHostLayer(name == "TOP"      ? eTopLayer
                        : name == "BOTTOM" ? eBottomLayer
                        : name == "SILK"   ? eTopOverlay
                                           : eIgnoreLayer);
  }
  return true;
}

const char kHead[] =
    "{COMPONENT \"demo\"\n"
    "{ENVIRONMENT {KIVOVREV \"3.0\"} {DBUNIT \"MIL\"} {DBGRID 1}\n"
    " {LYRSTR \"TOP\" 1 \"BOTTOM\" 2 \"SILK\" 3}}\n";

class KivoFileTest : public RaveloTest {
 protected:
  void TearDown() override {
    TKivoFile::SetImportOptionsHandler(nullptr);
    FReader.reset();
    FReport.reset();
    RaveloTest::TearDown();
  }

  // Reads `text` into the test board; `translate` answers the options with OK.
  TKivoFile& Import(const std::string& text, bool translate = true,
                    const std::string& name = "reader.pdf") {
    const std::string path = WriteScratchFile(name, text);
    FReport = std::make_unique<TReportManager>(path);
    FReader = std::make_unique<TKivoFile>(path, FBoard);
    FReader->SetReport(FReport.get());
    TKivoFile::SetImportOptionsHandler(
        translate ? TKivoFile::TImportOptionsHandler(MapTestLayers)
                  : [](TKivoFile&, PadStackMapRecord&) { return false; });
    FReader->Load();
    return *FReader;
  }
  TKivoDetail& Detail() { return FReader->GetBoardComponent().GetDetail(); }
  TKivoEnvironment& Env() { return FReader->GetBoardComponent().GetEnvironment(); }
  template <class T>
  T& Annotation(size_t i) {
    auto* object = dynamic_cast<T*>(Detail().GetAnnotations().at(i).get());
    if (!object)  // fails the test instead of reading through null
      throw std::logic_error("annotation " + std::to_string(i) + " is of another kind");
    return *object;
  }
  std::string ReportText() {
    FReport->SetLoadWarningLevel(4);
    FReport->WriteReport();
    return ReadWholeFile(FReport->GetReportPath());
  }
  // The host net of the pad `pad` of the test board, as its dump names it ("-" for none).
  std::string NetOfPad(uint32_t pad) {
    const std::string dump = DumpObject(pad);
    const size_t at = dump.find(" net=") + 5;
    return dump.substr(at, dump.find(' ', at) - at);
  }
  // The report lists `warnings` as its load warnings, from their count on.
  void ExpectLoadWarnings(const std::string& warnings) {
    const std::string report = ReportText();
    EXPECT_NE(report.find("Load Warnings : " + warnings), std::string::npos) << report;
  }

  std::unique_ptr<TReportManager> FReport;
  std::unique_ptr<TKivoFile> FReader;
};

TEST(KivoCoordinateTest, UnitScalesRoundTiesToEvenAndSaturate) {
  struct TCase {
    const char* Unit;
    uint8_t Code;
    double Scale;
  } units[] = {{"CMM", 1, 3937}, {"MM", 2, 393701}, {"UM", 3, 394},
               {"CENTIMIL", 4, 10000}, {"MIL", 5, 10000}, {"mil", 0, 0}};
  for (const TCase& c : units) {
    const TKivoUnit unit = KivoUnitOf(c.Unit, "3.0");
    EXPECT_EQ(unit.Code, c.Code) << c.Unit;
    EXPECT_EQ(unit.Scale, c.Scale) << c.Unit;
    EXPECT_EQ(unit.RealCoordinates, c.Code != 0) << c.Unit;
  }
  EXPECT_FALSE(KivoUnitOf("MIL", "4.1").RealCoordinates);
  EXPECT_TRUE(KivoUnitOf("MM", "4.1").RealCoordinates);

  EXPECT_EQ(KivoCoordinate(1.5, 3937, 1), 5906);   // 5905.5 to even
  EXPECT_EQ(KivoCoordinate(2.5, 1, 1), 2);
  EXPECT_EQ(KivoCoordinate(3.5, 1, 1), 4);
  EXPECT_EQ(KivoCoordinate(-2.5, 1, 1), -2);
  EXPECT_EQ(KivoCoordinate(0.5, 394, 1), 197);
  EXPECT_EQ(KivoCoordinate(1, 393701, 2), 787402);
  EXPECT_EQ(KivoCoordinate(-32000, 10000, 1), -320000000);
  // Fault: a large value times the scale left the 32-bit range, undefined when converted.
  EXPECT_EQ(KivoCoordinate(1e6, 393701, 1), INT_MAX);
  EXPECT_EQ(KivoCoordinate(-1e6, 393701, 1), INT_MIN);
  EXPECT_EQ(KivoCoordinate(5, 0, 1), 0);
}

TEST_F(KivoFileTest, EnvironmentReadsEveryKeyword) {
  Import(
      "{COMPONENT \"demo\" {ENVIRONMENT {KIVOVREV \"3.0\"} {PROGRAM \"Layout 7\"}\n"
      "{DBTYPE \"pc-board\"} {DBVREV \"2.1\"} {DBTIME \"Mon Jan 1\"} {DBUNIT \"CMM\"}\n"
      "{DBGRID 2} {LYRSTR \"TOP\" 1 \"BOTTOM\" 2} {LYRPHID \"1\" 2 3}\n"
      "{SSYMTBL \"7\" -2 8 9 \"10\" -1 11 12 \"13\" 5 0 0} {APR 4 5 6} {PCLR 1.5}\n"
      "{POLYAP 2.5} {PSIZ 3.25} {ROTP 0} {SSTFile \"a.sst\"} {BOGUS 1}}}\n",
      false);
  EXPECT_EQ(Env().GetVersion(), "3.0");
  EXPECT_EQ(Env().GetProgram(), "Layout 7");
  EXPECT_EQ(Env().GetDatabaseType(), 3);
  EXPECT_EQ(Env().GetDatabaseVersion(), "2.1");
  EXPECT_EQ(Env().GetDatabaseTime(), "Mon Jan 1");
  EXPECT_EQ(Env().GetUnitCode(), 1);
  EXPECT_EQ(FReader->GetDisplay().GetUnitScale(), 3937);
  EXPECT_TRUE(FReader->GetRealCoordinates());
  EXPECT_EQ(Env().GetGrid(), 2);
  EXPECT_EQ(FReader->GetDisplay().GetGrid(), 2);
  ASSERT_EQ(Env().GetLayerStrings().GetCount(), 2);
  EXPECT_EQ(Env().GetLayerStrings().Get(1), "BOTTOM");
  EXPECT_EQ(static_cast<KivoLayerEntry*>(Env().GetLayerStrings().GetObject(1))->GetKivoLayerId(), 2);
  ASSERT_EQ(Env().GetPhysicalIds().size(), 1u);
  EXPECT_EQ(Env().GetPhysicalIds()[0].Value3, 3);
  ASSERT_EQ(Env().GetSymbolTable().size(), 3u);
  EXPECT_EQ(Env().GetSymbolTable()[0].Flag, 2);
  EXPECT_EQ(Env().GetSymbolTable()[1].Flag, 1);
  EXPECT_EQ(Env().GetSymbolTable()[2].Flag, 0);
  EXPECT_EQ(Env().GetSymbolTable()[1].Value2, 12);
  EXPECT_EQ(Env().GetApertures(), (std::vector<int32_t>{4, 5, 6}));
  EXPECT_EQ(Env().GetPCLR(), 1.5);
  EXPECT_EQ(Env().GetPOLYAP(), 2.5);
  EXPECT_EQ(Env().GetPSIZ(), 3.25);
  EXPECT_TRUE(Env().GetROTP());
  EXPECT_EQ(Env().GetSSTFile(), "a.sst");
  // One LYRPHID entry against two layer strings, the unknown BOGUS, and the flag 5.
  EXPECT_EQ(FReport->GetLoadWarningCount(), 3);
  const std::string report = ReportText();
  EXPECT_NE(report.find("WARNING: Flag of SSYMTBL \"5\" at line 4 is not one of -2, -1 and 0: "
                        "it was taken as 0\r\n"),
            std::string::npos)
      << report;
  EXPECT_NE(report.find("BOGUS"), std::string::npos);
  EXPECT_NE(report.find("WARNING: Number of Layer Strings does not Physical ID Map"),
            std::string::npos);
}

TEST_F(KivoFileTest, DisplayAttributesReachTheNextPrimitive) {
  Import(std::string(kHead) +
             "{DISPLAY [AMT 1.5] [APT 2] [LY \"SILK\"] [LS \"dotted\"] [WD 12] [TS 50]\n"
             " [TJ \"RT\"] [TR 2] [TM \"YES\"] [ZZ 1]}\n"
             "{DETAIL {ANNOTATE {C 0 0 5}\n"
             " [LS \"DASHED\"] [TJ \"CB\"] [TR 7] [TM \"N\"] {C 1 1 5}}}}\n",
         false);
  auto& first = Annotation<TKivoCircle>(0);
  EXPECT_EQ(first.GetAMT(), 1.5);
  EXPECT_EQ(first.GetAPT(), 2);
  EXPECT_EQ(first.GetLayerName(), "SILK");
  EXPECT_EQ(first.GetLineStyle(), 2);
  EXPECT_EQ(first.GetWidth(), 120000);
  EXPECT_EQ(first.GetTextSize(), 500000);
  EXPECT_EQ(first.GetHorizontalJustification(), 2);
  EXPECT_EQ(first.GetVerticalJustification(), 3);
  EXPECT_EQ(first.GetRotation(), 180);
  EXPECT_EQ(first.GetMirror(), 1);
  auto& second = Annotation<TKivoCircle>(1);
  EXPECT_EQ(second.GetLineStyle(), 1);
  EXPECT_EQ(second.GetHorizontalJustification(), 5);
  EXPECT_EQ(second.GetVerticalJustification(), 4);
  EXPECT_EQ(second.GetRotation(), 7);
  EXPECT_EQ(second.GetMirror(), 0);
}

TEST_F(KivoFileTest, GraphicPrimitivesOfAnnotations) {
  Import(std::string(kHead) +
             "{DETAIL {ANNOTATE [LY \"TOP\"]\n"
             " {ARC 1 2 3 4 5 6} {C 1 2 3} {FR 1 2 3 4} {R 1 2 3 4}\n"
             " {L 0 0 10 0 10 10} {T \"J1 12\" CABLE\" -900 400}\n"
             " {POLY {OL 1 0 0 10 0 10 10} {PV 1 1 2 2 3 1} {CV 5 5 1} {XX 1}}\n"
             " {FL 1} {DIMENSION {DL 1 1}} {QQ 9}}}}\n",
         false);
  ASSERT_EQ(Detail().GetAnnotations().size(), 7u);
  EXPECT_EQ(Annotation<TKivoArc>(0).GetEndPoint(), (TKivoPoint{50000, 60000}));
  EXPECT_EQ(Annotation<TKivoCircle>(1).GetRadius(), 30000);
  EXPECT_EQ(Annotation<TKivoFilledRect>(2).GetCorner2(), (TKivoPoint{30000, 40000}));
  EXPECT_EQ(Annotation<TKivoLine>(3).GetVertices(),
            (TKivoPoints{{10000, 20000}, {30000, 20000}, {30000, 40000},
                                     {10000, 40000}, {10000, 20000}}));
  EXPECT_EQ(Annotation<TKivoLine>(4).GetVertices(),
            (TKivoPoints{{0, 0}, {100000, 0}, {100000, 100000}}));
  // Fault: the closing quote, failing as a number of its own, added a stray '" '.
  EXPECT_EQ(Annotation<TKivoText>(5).GetText(), "J1 12\" CABLE");
  EXPECT_EQ(Annotation<TKivoText>(5).GetPosition(), (TKivoPoint{-9000000, 4000000}));
  auto& poly = Annotation<TKivoPoly>(6);
  EXPECT_EQ(poly.GetOutlineKind(), 1);
  EXPECT_EQ(poly.GetVertices().size(), 3u);
  // PV, CV, XX in the polygon and QQ in the annotations; FL and DIMENSION are silent.
  EXPECT_EQ(FReport->GetLoadWarningCount(), 4);
  const std::string report = ReportText();
  EXPECT_NE(report.find("XX"), std::string::npos);
  EXPECT_NE(report.find("QQ"), std::string::npos);
}

TEST_F(KivoFileTest, PadStacksWithSmdDefinitions) {
  Import(std::string(kHead) +
             "{DETAIL {PAD_STACK {PAD 1 \"SQ60\" \"RD40\"} {PAD 2 \"SMD1\"}\n"
             " {PAD_DEF SQ60 {PIC [LY \"PADCOM\"] {FR -30 -30 30 30} {ARC 1 1 1 1 1 1}\n"
             "  {W 1 1 2 2}} {ATR {IN {SMD \"N\"}}}}\n"
             " {PAD_DEF SMD1 {PIC {R 0 0 10 20}} {ATR {IN {SMD \"Y\"} {ZZ 1}} {EX 1}} {PDQ 7}}\n"
             " {BAD 1}}}}\n",
         false);
  ASSERT_EQ(Detail().GetPadStacks().size(), 1u);
  TKivoPadStack& stack = *Detail().GetPadStacks()[0];
  ASSERT_EQ(stack.GetPads().size(), 2u);
  EXPECT_EQ(stack.GetPads()[0]->GetSecondName(), "RD40");
  EXPECT_EQ(stack.GetPads()[1]->GetFirstName(), "SMD1");
  ASSERT_NE(stack.FindPadDefinition("SQ60"), nullptr);
  EXPECT_EQ(stack.FindPadDefinition("SQ60")->GetSmd(), 0);
  EXPECT_EQ(stack.FindPadDefinition("SQ60")->GetPrimitives().size(), 1u);
  EXPECT_EQ(stack.FindPadDefinition("SMD1")->GetSmd(), 1);
  // W in pad graphics, ZZ and EX among the pad's attributes, PDQ, BAD, RD40 (not given);
  // SQ60 gives no hole.
  EXPECT_EQ(FReport->GetLoadWarningCount(), 7);
  EXPECT_NE(ReportText().find("PDQ"), std::string::npos);
}

TEST_F(KivoFileTest, RealAndIntegerCoordinatesByVersion) {
  const std::string body =
      "{DBUNIT \"MIL\"} {DBGRID 1}}\n{DETAIL {ANNOTATE {C 1.5 2 3}}}}\n";
  Import("{COMPONENT x {ENVIRONMENT {KIVOVREV \"3.0\"} " + body, false);
  EXPECT_EQ(Annotation<TKivoCircle>(0).GetCentre(), (TKivoPoint{15000, 20000}));
  Import("{COMPONENT x {ENVIRONMENT {KIVOVREV \"4.2\"} " + body, false);
  EXPECT_FALSE(FReader->GetRealCoordinates());
  EXPECT_TRUE(Detail().GetAnnotations().empty());  // "1.5" is no integer: left out
  EXPECT_NE(ReportText().find("WARNING: Circle at line 2 left out: a coordinate or size could "
                              "not be read"),
            std::string::npos);
  // Without a unit the circle cannot be placed: left out, told (not put at the origin).
  Import("{COMPONENT x {DETAIL {ANNOTATE {C 5 5 5}}}}", false);  // no unit, no grid
  EXPECT_TRUE(Detail().GetAnnotations().empty());
  EXPECT_NE(ReportText().find("WARNING: The DETAIL block at line 1 has no known DBUNIT before it: "
                              "1 object drawn without a unit was left out (line 1)"),
            std::string::npos)
      << ReportText();
}

// Fault: numbers that cannot be read (nan, inf, 1e400, 400 digits, "1,5", a lone sign,
// a missing one) count as -32000, and the objects were placed there: tracks and circles
// at -32,000 mil, an outline without points that moved the whole board by 32,100 mil,
// all under "Translation Successful" with no warning; negative radii and sizes reached
// the board too. Such an object is left out with a load warning naming its line.
TEST_F(KivoFileTest, ObjectsWithUnreadableOrNegativeNumbersAreLeftOutNamingTheirLine) {
  Import(std::string(kHead) +                        // lines 1 to 3
         "{DETAIL {ANNOTATE [LY \"TOP\"]\n"             // 4
         "{L 10 10 20 10}\n"                           // 5, kept
         "{L nan 0 5 5}\n"                             // 6
         "{C 0 0 inf}\n"                               // 7
         "{ARC 1e400 0 1 1 2 2}\n"                     // 8
         "{FR 1,5 0 4 " + std::string(400, '7') + "}\n"  // 9
         "{R - 0 5 5}\n"                               // 10
         "{C 5 5 -3}\n"                                // 11
         "{POLY}\n"                                    // 12
         "[WD -5] [TS x]\n"                            // 13
         "{L 30 30 40 30} {C 50 50 0}\n"               // 14, kept
         "{POLY {OL 1}}}}}\n");                        // 15
  ASSERT_EQ(Detail().GetAnnotations().size(), 3u) << ReportText();
  EXPECT_EQ(Annotation<TKivoLine>(0).GetVertices()[0], (TKivoPoint{100000, 100000}));
  EXPECT_EQ(Annotation<TKivoLine>(1).GetVertices()[0], (TKivoPoint{300000, 300000}));
  // [WD -5] is ignored: the width stays what it was.
  EXPECT_EQ(Annotation<TKivoLine>(1).GetWidth(), Annotation<TKivoLine>(0).GetWidth());
  EXPECT_EQ(Annotation<TKivoCircle>(2).GetRadius(), 0);
  // Nothing stands off the board, so nothing moves it.
  EXPECT_EQ(FReader->GetBoard().GetOriginX(), 0);
  EXPECT_EQ(FReader->GetBoard().GetOriginY(), 0);
  EXPECT_EQ(Iterate(FBoard, 4).size(), 2u);  // the two lines' tracks
  EXPECT_EQ(FReport->GetLoadWarningCount(), 10);
  const std::string unreadable = " left out: a coordinate or size could not be read\r\n";
  const std::string expected =
      "Load Warnings : 10\r\n"
      "WARNING: Line at line 6" + unreadable +
      "WARNING: Circle at line 7" + unreadable +
      "WARNING: Arc at line 8" + unreadable +
      "WARNING: Filled rectangle at line 9" + unreadable +
      "WARNING: Rectangle at line 10" + unreadable +
      "WARNING: Circle at line 11 left out: its radius is negative\r\n"
      "WARNING: Polygon at line 12 left out: its outline has no points\r\n"
      "WARNING: WD \"-5\" at line 13 is not a length of 0 or more within the board's range: it "
      "was passed over\r\n"
      "WARNING: TS \"x\" at line 13 is not a length of 0 or more within the board's range: it "
      "was passed over\r\n"
      "WARNING: Polygon at line 15" + unreadable + "\r\n";
  const std::string report = ReportText();
  EXPECT_NE(report.find(expected), std::string::npos) << report;

  // A text's failed words join its value; only a position still unreadable when the
  // text ends leaves it out.
  Import(std::string(kHead) + "{DETAIL {ANNOTATE [LY \"TOP\"]\n{T \"A\" B\" 1 2}\n{T \"X\" nan");
  ASSERT_EQ(Detail().GetAnnotations().size(), 1u);
  EXPECT_EQ(Annotation<TKivoText>(0).GetPosition(), (TKivoPoint{10000, 20000}));
  const std::string texts = ReportText();
  EXPECT_NE(texts.find("WARNING: Text \"X\" at line 6" + unreadable), std::string::npos)
      << texts;
}

TEST_F(KivoFileTest, UnplaceableViasPinsAndComponentsAreLeftOutToo) {
  Import(std::string(kHead) +
         "{DETAIL {PAD_STACK {PAD 1 \"R60\"} {PAD_DEF R60 {PIC [LY \"PADCOM\"] {C 0 0 30} {C 0 0 -4}}}}\n"
         "{NET_DEF {N GND {DG [LY \"TOP\"] {V 10 20 1} {V x 20 1} {NN 30 }}}}\n"
         "{SUBCOMP {COMP_DEF RES {PIN_DEF {P 1 {PT 1} {PLOC -50 0}} {P 2 {PT 1} {PLOC 5.5.5 0}}}}\n"
         " {I RES R1 {ATR {IN {ORG 1000 2000}}} {CN GND}}\n"
         " {I RES R2 {ATR {IN {ORG 1000 abc} {NL x y}}} {CN GND}}}}}\n");
  auto& stack = *Detail().GetPadStacks().at(0);
  ASSERT_EQ(stack.GetPadDefinitions().GetCount(), 1);
  EXPECT_EQ(static_cast<TKivoPadDef*>(stack.GetPadDefinitions().GetObject(0))->GetPrimitives().size(),
            1u);
  auto& net = dynamic_cast<TKivoNetObject&>(*Detail().GetNets().at(0));
  EXPECT_EQ(net.GetMembers().size(), 1u);
  auto& res = dynamic_cast<TKivoComponent&>(*Detail().GetComponents().at(0));
  // Pin 2 keeps its place in net lists by position, and is made for no instance.
  ASSERT_EQ(res.GetPins().size(), 2u);
  EXPECT_EQ(res.GetPins()[0]->GetName(), "1");
  EXPECT_FALSE(res.IsPinLeftOut(0));
  EXPECT_TRUE(res.IsPinLeftOut(1));
  ASSERT_EQ(res.GetInstances().size(), 1u);
  EXPECT_EQ(res.GetInstances()[0]->GetDesignator().GetText(), "R1");
  const std::string unreadable = " left out: a coordinate or size could not be read\r\n";
  const std::string expected =
      "WARNING: Circle at line 4 left out: its radius is negative\r\n"
      "WARNING: Drill text of pad definition R60 at line 4 has no value: its through-hole pads "
      "and vias take a hole of 32mil\r\n"
      "WARNING: Via of net GND at line 5" + unreadable +
      "WARNING: Name of net GND at line 5" + unreadable +
      "WARNING: Pin 2 at line 6" + unreadable +
      "WARNING: Component R2 at line 8" + unreadable;  // once, for its origin
  const std::string report = ReportText();
  EXPECT_NE(report.find(expected), std::string::npos) << report;
  EXPECT_EQ(FReport->GetLoadWarningCount(), 6);
}

TEST_F(KivoFileTest, StrayBracesAndUnknownSectionsDoNotEndTheReading) {
  Import(std::string(kHead) + "}}} {MEM_TABLE {a {b}}} {USER {x}} {SYMBOL {y}}\n"
                              "{DETAIL {ANNOTATE {C 1 1 1}} {NET_X 1}}}\n",
         false);
  EXPECT_EQ(Detail().GetAnnotations().size(), 1u);
  EXPECT_EQ(FReport->GetLoadWarningCount(), 2);  // MEM_TABLE, NET_X
}

// Fault: numbers beyond the board's 32-bit range (1e308, 2147483648, -1e9 mil, an
// offset that carries a component past the edge) were clamped to +/-214,748 mil without
// a word, and [TR nan] turned the texts that followed by -32000 degrees under
// "Translation Successful". Both are left out with a warning naming their line.
TEST_F(KivoFileTest, ValuesBeyondTheBoardsRangeAndUnreadableRotationsAreLeftOutTold) {
  Import(std::string(kHead) +                               // lines 1 to 3
         "{DETAIL {ANNOTATE [LY \"TOP\"]\n"                    // 4
         "{L 1e308 0 5 5}\n"                                  // 5
         "{C 2147483648 0 1}\n"                               // 6
         "{FR -1e9 0 4 4}\n"                                  // 7
         "[WD 1e308] [TR nan] {T \"KEPT\" 10 10}\n"            // 8, the text kept unturned
         "{L 0 0 214748 0}}\n"                                // 9, kept: within the range
         "{NET_DEF {N GND}} {SUBCOMP {COMP_DEF R {PIN_DEF {P 1 {PLOC 0 0}}}}\n"  // 10
         " {I R R1 {ATR {IN {ORG 200000 0} {PL 100000 0}}} {CN GND}}\n"   // 11
         " {I R R2 {ATR {IN {ORG 0 0} {RO x} {PA 45}}} {CN GND}}}}}\n");  // 12
  ASSERT_EQ(Detail().GetAnnotations().size(), 2u) << ReportText();
  EXPECT_EQ(Annotation<TKivoText>(0).GetRotation(), 0);
  EXPECT_EQ(Annotation<TKivoLine>(1).GetVertices()[1], (TKivoPoint{2147480000, 0}));
  EXPECT_EQ(Annotation<TKivoLine>(1).GetWidth(), 0);  // [WD 1e308] passed over
  auto& r = dynamic_cast<TKivoComponent&>(*Detail().GetComponents().at(0));
  ASSERT_EQ(r.GetInstances().size(), 1u);
  EXPECT_EQ(r.GetInstances()[0]->GetDesignator().GetText(), "R2");
  EXPECT_EQ(r.GetInstances()[0]->GetInstanceRotation(), 45);
  const std::string beyond = " left out: a coordinate or size lies beyond the board's range\r\n";
  const std::string expected =
      "Load Warnings : 7\r\n"
      "WARNING: Line at line 5" + beyond +
      "WARNING: Circle at line 6" + beyond +
      "WARNING: Filled rectangle at line 7" + beyond +
      "WARNING: WD \"1e308\" at line 8 is not a length of 0 or more within the board's range: "
      "it was passed over\r\n"
      "WARNING: TR \"nan\" at line 8 is not a whole number: it was passed over\r\n"
      "WARNING: Component R1 at line 11" + beyond +
      "WARNING: RO \"x\" of component R2 at line 12 is not a whole number: it was passed over\r\n\r\n";
  const std::string report = ReportText();
  EXPECT_NE(report.find(expected), std::string::npos) << report;
}

// Fault: a "(" left open in a value took every line after it for the value, to the end
// of the file, and an attribute without its "]" every line up to the next "]" (the next
// attribute too, silently): the rest of the board was lost under "Translation
// Successful", or drawn with the attributes before.
TEST_F(KivoFileTest, AValueOrAttributeLeftOpenEndsWhereTheNextBlockBegins) {
  Import(std::string(kHead) +                          // lines 1 to 3
         "{DETAIL {ANNOTATE [LY \"TOP\"]\n"               // 4
         "{L 0 0 10 0} [LY (\"SILK\"\n"                  // 5
         "% a comment\n"                                  // 6
         "{L 0 0 20 0} [TJ \"CC\"\n"                      // 7
         "{T \"X\" 5 5} [TS 40 [TR 1]\n"                   // 8
         "{T \"Y\" 5 5}}}}\n");                           // 9
  ASSERT_EQ(Detail().GetAnnotations().size(), 4u) << ReportText();
  // The layer left out: what follows lies on none (not on TOP), told at the end.
  EXPECT_EQ(Annotation<TKivoLine>(1).GetLayerName(), "");
  EXPECT_EQ(Iterate(FBoard, 4).size(), 1u);  // the first line's track
  EXPECT_EQ(Annotation<TKivoText>(2).GetHorizontalJustification(), 5);
  EXPECT_EQ(Annotation<TKivoText>(3).GetTextSize(), 400000);
  EXPECT_EQ(Annotation<TKivoText>(3).GetRotation(), 90);
  ExpectLoadWarnings("3\r\n"
                     "WARNING: The attribute at line 7 is not closed by \"]\": it ends where "
                     "the next block begins\r\n"
                     "WARNING: The attribute at line 8 is not closed by \"]\": it ends where "
                     "the next attribute begins\r\n"
                     "WARNING: Layer at line 5 left out: its \"(\" is not closed before the "
                     "next block; 3 objects drawn after it were left out (lines 7 to 9)\r\n");
}

// Fault: a quoted value whose closing quote was lost (`"N"\}`: an escaped brace after the
// quote) ran on over every line after it and took the DETAIL and ANNOTATE blocks for
// its text, and the objects after them were lost. It ends at a "{" on a line it ran on
// to, as a bracketed value does, and is told.
TEST_F(KivoFileTest, AQuotedValueLeftOpenTakesNoBlockAfterItsLine) {
  const struct {
    const char* Display;  // line 4
    const char* Annotate;  // line 6
    const char* Told;
  } cases[] = {
      {"{DISPLAY [TM \"N\"\\}\n", "[LY \"TOP\"]\n",
       "WARNING: Text mirror at line 4 left out: its quote is not closed before the next block"},
      {"{DISPLAY [TM \"N\"]}\n", "[LY \"TOP\\}\n",
       "WARNING: Layer at line 6 left out: its quote is not closed before the next block; 1"},
  };
  for (const auto& c : cases) {
    Import(std::string(kHead) + c.Display +  // 4
           "{DETAIL {ANNOTATE\n" + c.Annotate +  // 5, 6
           "{L 0 0 10 0}}}}\n");               // 7
    EXPECT_EQ(Detail().GetAnnotations().size(), 1u) << c.Told;
    EXPECT_NE(ReportText().find(c.Told), std::string::npos) << ReportText();
  }
}

// Fault: a quoted value ended at two blanks in a row ({T "LOT  2024 12" 100 200} gave the
// text "LOT" at 2024, 12), the words after it were read as the position and the rest of
// the block was passed over without a word. A quoted value closed on its line is read
// whole; what a block holds after the values it reads is told, and so is a value whose
// quote is left open, read up to the bracket that ended it.
TEST_F(KivoFileTest, AQuotedValueClosedOnItsLineIsReadWholeAndWhatIsLeftIsTold) {
  Import("{COMPONENT \"demo\"\n"                                              // 1
         "{ENVIRONMENT {KIVOVREV \"3.0\"} {DBUNIT \"MIL\"} {DBGRID 1}\n"       // 2
         " {LYRSTR \"TOP\" 1 \"BOTTOM\" 2 \"SILK\" 3} {PROGRAM\n"               // 3
         "  \"V-LOM  9}}\n"                                                     // 4
         "{DISPLAY [LY \"TOP]}\n"                                               // 5
         "{DETAIL {ANNOTATE\n"                                                  // 6
         "{T \"LOT  2024 12\" 100 200}\n"                                        // 7
         "{T \"R1  10K\" 5 6 7 8 }\n"                                            // 8
         "{C 1 2 3 \"x}\"}}}}\n");                                               // 9
  ASSERT_EQ(Detail().GetAnnotations().size(), 3u) << ReportText();
  EXPECT_EQ(Env().GetProgram(), "V-LOM  9");
  EXPECT_EQ(Annotation<TKivoText>(0).GetText(), "LOT  2024 12");
  EXPECT_EQ(Annotation<TKivoText>(0).GetPosition().X, 1000000);
  EXPECT_EQ(Annotation<TKivoText>(0).GetPosition().Y, 2000000);
  EXPECT_EQ(Annotation<TKivoText>(1).GetText(), "R1  10K");
  EXPECT_EQ(Annotation<TKivoText>(1).GetLayerName(), "TOP");
  const std::string left = " block after the values it reads: it was passed over, with the rest "
                           "of the block\r\n";
  ExpectLoadWarnings("4\r\n"
                     "WARNING: Value of PROGRAM \"V-LOM  9\" at line 4: its quote is not closed "
                     "before the \"}\" after it; it was read up to there\r\n"
                     "WARNING: Value of LY \"TOP\" at line 5: its quote is not closed before the "
                     "\"]\" after it; it was read up to there\r\n"
                     "WARNING: The text \"7\" at line 8 lies in the T" + left +
                     "WARNING: The text \"\"x\" at line 9 lies in the C" + left);
}

// Fault: the words of a text that failed as numbers before its position were joined to
// its value by a '"' and a blank, whatever the file wrote between them
// ({T "NEVER  CLOSED -700 680} gave `NEVER" CLOSED`, {T x"SENSOR NODE" -700 680}
// `x"SENSOR" NODE`, both untold), and a value over 32 characters lost its middle. A
// text is the file's characters from its value's start to its position: a quoted one
// that its last quote closes holds the quotes before it (as the example's
// "PITCH 0.1" HEADER"); another that goes on past its value is told, and one whose quote
// is left open is left out, the quote named.
TEST_F(KivoFileTest, ATextIsTheFilesCharactersUpToItsPositionOrTold) {
  Import(std::string(kHead) +                                                // lines 1 to 3
         "{DETAIL {ANNOTATE [LY \"TOP\"]\n"                                     // 4
         "{T \"PITCH 0.1\" HEADER\" -1150 -330}\n"                             // 5
         "{T \"NEVER  CLOSED -700 680}\n"                                      // 6
         "{T x\"SENSOR NODE\" -700 680}\n"                                     // 7
         "{T \"A\"  B\t5 C\\\"D\" 1 2}\n"                                       // 8
         "{T \"LABEL 27250 4459 -5694}\n"                                      // 9
         "{T \"ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789\" 3 4}\n"                   // 10
         "{T \"ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789\" mm\" 3 4}}}}\n");          // 11
  ASSERT_EQ(Detail().GetAnnotations().size(), 5u) << ReportText();
  const std::vector<std::string> texts = {"PITCH 0.1\" HEADER", "x\"SENSOR NODE\"",
                                          "A\"  B\t5 C\"D", "ABCDEFGHIJKLMNOPQRSTUVWXYZ012345",
                                          "ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789\" mm"};
  for (size_t i = 0; i < texts.size(); ++i)
    EXPECT_EQ(Annotation<TKivoText>(i).GetText(), texts[i]) << i;
  EXPECT_EQ(Annotation<TKivoText>(0).GetPosition().X, -11500000);
  EXPECT_EQ(Annotation<TKivoText>(2).GetPosition().X, 10000);
  EXPECT_EQ(Annotation<TKivoText>(2).GetPosition().Y, 20000);
  const std::string open = " left out: its quote is not closed before the \"}\" after it\r\n";
  ExpectLoadWarnings("4\r\n"
                     "WARNING: Text \"NEVER  CLOSED -700 680\" at line 6" + open +
                     "WARNING: Text \"x\"SENSOR NODE\"\" at line 7 goes on after its value: it "
                     "was read up to its position\r\n"
                     "WARNING: Text \"LABEL 27250 4459 -5694\" at line 9" + open +
                     "WARNING: Text \"ABCDEFGHIJKLMNOPQRSTUVWXYZ012345...\" at line 10 has more "
                     "than 32 characters: only the first 32 were kept\r\n");
}

// Fault: a text whose value ran on over its line to a block or an attribute ended its
// block there: its own "}" then closed ANNOTATE and the objects after it were lost, or
// the attribute moved what followed to another layer, while the same bytes in a block
// the reader skips (FL) lost and moved nothing. A block whose value ran on stays open to
// its own "}", in reading as in skipping; an attribute inside it is not applied.
TEST_F(KivoFileTest, ABlockWhoseValueRanOnEndsAtItsOwnBraceAsASkipEndsIt) {
  const struct {
    const char* Inside;
    const char* Told;
  } cases[] = {
      {"{X}", "Unhandled Token found X\r\n         This could be caused by missing/extra "
              "brackets \"{}\"\r\nWARNING: The block X at line 6 lies inside the T block, which "
              "holds no blocks: it was skipped"},
      {"[LY \"BOTTOM\"]", "The attribute at line 6 lies inside the T block, whose value ran on "
                          "over its line to it: it was not applied"},
  };
  for (const auto& c : cases) {
    for (const std::string block : {"T", "FL"}) {
      Import(std::string(kHead) +                     // lines 1 to 3
             "{DETAIL {ANNOTATE [LY \"TOP\"]\n"      // 4
             "{" + block + " \"SENSOR\n"              // 5
             "  NODE " + c.Inside + " -700 680\n"     // 6
             "  END\" -700 680}\n"                    // 7
             "{L 0 0 10 0}}}}\n");                    // 8
      SCOPED_TRACE(block + " with " + c.Inside);
      ASSERT_EQ(Detail().GetAnnotations().size(), 1u) << ReportText();
      EXPECT_EQ(Annotation<TKivoLine>(0).GetLayerName(), "TOP");
      if (block == "FL") {
        ExpectLoadWarnings("0\r\n");
        continue;
      }
      ExpectLoadWarnings("2\r\n"
                         "WARNING: Text at line 5 left out: its quote is not closed before the "
                         "next " + std::string(*c.Inside == '{' ? "block" : "attribute") + "\r\n"
                         "WARNING: " + c.Told + "\r\n");
    }
  }
}

// Fault: a quote where the reader reads no value, between a level's blocks or right
// after a block's "{", began none there, so that a "}" in what a skip of the same bytes
// passes as a quoted value closed the level and the objects after it were lost. It
// begins one, passed whole and told as the text or block it stands for.
TEST_F(KivoFileTest, AQuoteWhereNoValueIsReadBeginsOneAsInASkip) {
  Import(std::string(kHead) +                 // lines 1 to 3
         "{DETAIL {ANNOTATE [LY \"TOP\"]\n"  // 4
         "{L 0 0 10 0}\n"                     // 5
         "  \"} x\"\n"                        // 6
         "{\"T} x\" 5 5}\n"                    // 7
         "{ \"T\n"                            // 8: a keyword left open ends at its line's "{"
         "{L 0 0 20 0}}}}}\n");               // 9
  ASSERT_EQ(Detail().GetAnnotations().size(), 2u) << ReportText();
  const std::string items = " is not one of the ANNOTATE block's items (ARC, C, FR, L, R, T, "
                            "POLY, PV, CV, FL, DIMENSION): it was skipped\r\n";
  const std::string token = "WARNING: Unhandled Token found ";
  const std::string cause = "\r\n         This could be caused by missing/extra brackets \"{}\"\r\n";
  ExpectLoadWarnings("4\r\n"
                     "WARNING: The text \"\"} x\"\" at line 6 lies between the blocks of the "
                     "ANNOTATE block: it was passed over\r\n" +
                     token + "\"T} x\"" + cause + "WARNING: The block \"T} x\" at line 7" + items +
                     token + "\"T" + cause + "WARNING: The block \"T at line 9" + items +
                     "WARNING: The L block at line 9 lies inside the \"T block: a \"}\" may be "
                     "missing before it; it was read\r\n");
}

// Fault: a number read at the "}" of its block converted the token before it again and
// took the brace, so the skip after it took the rest of the enclosing block: a text whose
// coordinate could not be read lost the rest of its block (and was named garbled or
// placed at a position the file does not give), a via without its index the rest of
// its net.
TEST_F(KivoFileTest, AnObjectWhoseNumberIsMissingOrUnreadableLosesNothingAfterIt) {
  Import(std::string(kHead) +                        // lines 1 to 3
         "{DETAIL {ANNOTATE [LY \"TOP\"]\n"             // 4
         "{T \"A B\" nan 5}\n"                          // 5
         "{T \"C\" 5 nan}\n"                            // 6
         "{L 0 0 10 0}}\n"                              // 7
         "{NET_DEF {N GND {DG [LY \"TOP\"] {V 1 2}\n"   // 8
         "{V 3 4 3}}}}}}\n");                           // 9
  EXPECT_EQ(Detail().GetAnnotations().size(), 1u);
  EXPECT_EQ(dynamic_cast<TKivoNetObject&>(*Detail().GetNets().at(0)).GetMembers().size(), 2u);
  const std::string unreadable = " left out: a coordinate or size could not be read\r\n";
  ExpectLoadWarnings("4\r\n"
                     "WARNING: Text \"A B\" at line 5" + unreadable +
                     "WARNING: Text \"C\" at line 6" + unreadable +
                     "WARNING: Pad stack index of via of net GND at line 8 has no value: the "
                     "via keeps the host's size and hole\r\nWARNING: Pad stack index 3 of via of "
                     "net GND at line 9 left out: the file has no PAD_STACK block\r\n");
}

// Fault: a misplaced "}" hid the board inside a block the reader skips (the "}" of
// APERTURE_TABLE moved to the end of the file: nothing read, nothing told), and a
// section that a missing "}" put inside another block was skipped as an unhandled token.
TEST_F(KivoFileTest, ASectionInsideABlockItCannotLieInIsToldAndRead) {
  Import(std::string(kHead) +                                // lines 1 to 3
         "{APERTURE_TABLE {AP 10}\n"                          // 4
         "{DETAIL {ANNOTATE [LY \"TOP\"] {L 0 0 10 0}\n"       // 5
         "{FL 2\n"                                            // 6
         "}\n"                                                // 7
         "{NET_DEF {N GND}}\n"                                // 8
         "}\n"                                                // 9
         "}}}\n");                                            // 10
  EXPECT_EQ(Detail().GetAnnotations().size(), 1u);
  EXPECT_EQ(Detail().GetNets().size(), 1u);
  ExpectLoadWarnings("2\r\n"
                     "WARNING: The DETAIL block at line 5 lies inside the APERTURE_TABLE "
                     "block: a \"}\" may be missing before it; it was read\r\n"
                     "WARNING: The NET_DEF block at line 8 lies inside the ANNOTATE block: a "
                     "\"}\" may be missing before it; it was read\r\n\r\n");
}

// Fault: a block read where it belongs after a missing "}" took the drawing state from
// before the attributes between (the skip of the block left open passed over them): the
// tracks after a via left open went to the other copper, a text after a line left open
// to the line's layer. The attributes on the way to a block given back are applied before
// it; those directly in a block of values (its "}" too late) or in a block told as
// skipped (the "}" it ended at may be another's) are applied and told; those of blocks
// nested in what a skip passed are not.
TEST_F(KivoFileTest, ABlockReadWhereItBelongsTakesTheAttributesBeforeIt) {
  Import(std::string(kHead) +                                       // lines 1 to 3
         "{DETAIL {ANNOTATE [LY \"TOP\"] [WD 10]\n"                   // 4
         "{C 0 0 5\n"                                                 // 5, left open
         "[LY \"BOTTOM\"] [WD 20]\n"                                  // 6
         "{L 0 0 1 1}\n"                                              // 7, BOTTOM, 20
         "{ZZ [LY \"SILK\"] 1}\n"                                     // 8, told as skipped
         "{L 2 2 3 3}\n"                                              // 9, SILK, 20
         "{C 1 1 1 {QQ [LY \"TOP\"]}\n"                                // 10
         "[WD 30]}\n"                                                 // 11, its "}" late
         "{L 4 4 5 5}\n"                                              // 12, SILK, 30
         "{XX {YY [LY \"TOP\"]} [WD 5]\n"                              // 13, left open
         "{L 6 6 7 7}}}}\n");                                         // 14, SILK, 5
  const size_t lines[] = {1, 2, 4, 5};
  const char* layers[] = {"BOTTOM", "SILK", "SILK", "SILK"};
  const int32_t widths[] = {200000, 200000, 300000, 50000};
  ASSERT_EQ(Detail().GetAnnotations().size(), 6u) << ReportText();
  for (size_t i = 0; i < 4; ++i) {
    EXPECT_EQ(Annotation<TKivoLine>(lines[i]).GetLayerName(), layers[i]) << i;
    EXPECT_EQ(Annotation<TKivoLine>(lines[i]).GetWidth(), widths[i]) << i;
  }
  const std::string report = ReportText();
  for (const char* told :
       {"WARNING: The L block at line 7 lies inside the C block: a \"}\" may be missing before it; "
        "it was read\r\n",
        "WARNING: The attribute at line 8 lies inside the ZZ block, which was skipped: it was "
        "applied\r\n",
        "WARNING: The block QQ at line 10 lies inside the C block, which holds no blocks: it was "
        "skipped\r\n",
        "WARNING: The attribute at line 11 lies inside the C block: a \"}\" may be missing before "
        "it; it was applied\r\n",
        "WARNING: The L block at line 14 lies inside the XX block: a \"}\" may be missing before it; "
        "it was read\r\n"})
    EXPECT_NE(report.find(told), std::string::npos) << told << report;
}

// Fault: a block that a missing "}" put inside another was lost with every block after
// it in its section (a line without its "}" took the annotations after it silently, an
// instance the instances after it, a CN list the instances after it, a pin list the
// definition's picture, a section met as a pin list's item was skipped whole). A block
// met where it cannot lie that a block being read reads is told and read there; also
// after an unknown block left open, and where a list of points looked for a point. A net, definition or instance that nothing being
// read reads was skipped with no line at all: it is told, with the lines it was lost in.
TEST_F(KivoFileTest, ABlockAMissingBracePutInsideAnotherIsReadWhereItBelongsOrTold) {
  const std::string definition =
      "{PAD_STACK {PAD 1 \"R\" \"R\"}}\n"                                   // 4
      "{SUBCOMP {COMP_DEF D {PIN_DEF {P 1 {PT 1} {PLOC 0 0}}}}\n";           // 5
  const auto told = [](const char* block, int line, const char* inside) {
    return std::string("WARNING: The ") + block + " block at line " + std::to_string(line) +
           " lies inside the " + inside + " block: a \"}\" may be missing before it; it was read";
  };
  const struct {
    std::string Detail;  // from line 4
    size_t Annotations, Instances, Primitives;
    std::string Told;
  } cases[] = {
      {"{ANNOTATE [LY \"TOP\"] {L 0 0 10 0\n{C 0 0 1}\n{T \"A\" 0 0}}}", 3, 0, 0,
       told("C", 5, "L")},
      // A block or an attribute where a point's second coordinate was looked for: the
      // block's numbers were read as points and the block lost.
      {"{ANNOTATE [LY \"TOP\"] {L 0 0 10 0 7\n{C 0 0 1}\n{T \"A\" 0 0}}}", 2, 0, 0,
       told("C", 5, "L")},
      {"{ANNOTATE [LY \"TOP\"] {POLY {OL 1 0 0 10 0 7\n{C 0 0 1}\n{T \"A\" 0 0}}}", 2, 0, 0,
       told("C", 5, "OL")},
      {"{ANNOTATE [LY \"TOP\"] {POLY {OL 1 0 0 10 0 7 [WD 2]\n{C 0 0 1}}}", 1, 0, 0,
       told("C", 5, "OL")},
      {definition + "{I D U1 {CN A}\n{I D U2 {CN B}}}", 0, 2, 0, told("I", 7, "I")},
      {definition + "{I D U1 {CN A B\n{I D U2 {CN C}}}", 0, 2, 0, told("I", 7, "CN")},
      {"{SUBCOMP {COMP_DEF D {PIN_DEF {P 1 {PLOC 0 0}}\n{PIC [LY \"TOP\"] {L 0 0 1 1}}}}", 0, 0, 1,
       told("PIC", 5, "PIN_DEF")},
      {"{SUBCOMP {COMP_DEF D {PIN_DEF {P 1 {PLOC 0 0}}\n{ANNOTATE [LY \"TOP\"] {C 0 0 1}}}}", 1, 0,
       0, told("ANNOTATE", 5, "PIN_DEF")},
      {definition + "{I D U1 {ATR {IN {ORG 10 20\n{NL 1 2}}}}}", 0, 1, 0, told("NL", 7, "ORG")},
      {"{ANNOTATE [LY \"TOP\"] {P{OLY {OL 1 0 0 1 1}}\n{C 0 0 1}\n{T \"A\" 0 0}}}", 2, 0, 0,
       told("C", 5, "P")},
      {definition + "}{NET_DEF {N A}\n{I D U1 {CN A}}}", 0, 0, 0,
       "WARNING: The block I at line 7 is not one of the NET_DEF block's items (N): it was "
       "skipped"},
      {definition + "}{N A {DG [LY \"TOP\"] {W 0 0 1 1}}\n{I D U1 {CN A}}\n}", 0, 0, 0,
       "WARNING: The I block at line 7 lies inside the N block: a \"}\" may be missing before it; "
       "it was skipped with that block (lines 7 to 8)"},
  };
  for (const auto& c : cases) {
    Import(std::string(kHead) + "{DETAIL " + c.Detail + "}}\n");
    const std::string report = ReportText();
    EXPECT_NE(report.find(c.Told), std::string::npos) << c.Detail << "\n" << report;
    EXPECT_EQ(Detail().GetAnnotations().size(), c.Annotations) << c.Detail;
    size_t instances = 0, primitives = 0;
    for (const auto& component : Detail().GetComponents()) {
      auto& d = dynamic_cast<TKivoComponent&>(*component);
      instances += d.GetInstances().size();
      primitives += d.GetPrimitives().size();
      if (!d.GetInstances().empty() && c.Told.find("NL") != std::string::npos) {
        EXPECT_EQ(d.GetInstances()[0]->GetX(), 100000);
        EXPECT_EQ(d.GetInstances()[0]->GetDesignator().GetPosition(), (TKivoPoint{10000, 20000}));
      }
    }
    EXPECT_EQ(instances, c.Instances) << c.Detail;
    EXPECT_EQ(primitives, c.Primitives) << c.Detail;
  }
}

// Fault: a number far below the 32-bit range (-1e12, -1e308) was taken as 0: the object
// stood at the origin, or the width or size was 0, without a word. Exactly -2147483647
// and -2147483648 still stand for 0.
TEST_F(KivoFileTest, NumbersFarBelowTheRangeLieBeyondItInsteadOfAtZero) {
  Import(std::string(kHead) +                                           // lines 1 to 3
         "{DETAIL {ANNOTATE [LY \"TOP\"] [WD 3]\n"                         // 4
         "{C -1e12 0 1} {C 5 5 -1e308}\n"                                  // 5
         "[WD -1e12] [TS -1e308]\n"                                        // 6
         "{C -2147483648 -2147483647 1}}\n"                                // 7
         "{NET_DEF {N GND {DG [LY \"TOP\"] {V -1e12 100 3}}}}}}\n");       // 8
  ASSERT_EQ(Detail().GetAnnotations().size(), 1u);
  EXPECT_EQ(Annotation<TKivoCircle>(0).GetCentre(), (TKivoPoint{0, 0}));
  EXPECT_EQ(Annotation<TKivoCircle>(0).GetWidth(), 30000);  // [WD -1e12] passed over
  EXPECT_TRUE(dynamic_cast<TKivoNetObject&>(*Detail().GetNets().at(0)).GetMembers().empty());
  const std::string beyond = " left out: a coordinate or size lies beyond the board's range\r\n";
  ExpectLoadWarnings("5\r\n"
                     "WARNING: Circle at line 5" + beyond + "WARNING: Circle at line 5" + beyond +
                     "WARNING: WD \"-1e12\" at line 6 is not a length of 0 or more within the "
                     "board's range: it was passed over\r\n"
                     "WARNING: TS \"-1e308\" at line 6 is not a length of 0 or more within the "
                     "board's range: it was passed over\r\n"
                     "WARNING: Via of net GND at line 8" + beyond);
}

// Fault: the graphics and pins that a component's placement carried beyond the 32-bit
// range were clamped to the board's edge by the host, without a word.
TEST_F(KivoFileTest, WhatAPlacementWouldCarryBeyondTheRangeIsLeftOutOfThatPlacement) {
  Import(std::string(kHead) +                                                      // 1 to 3
         "{DETAIL {NET_DEF {N A} {N B}} {SUBCOMP {COMP_DEF R [LY \"TOP\"]\n"          // 4
         "{PIN_DEF {P 1 {PLOC -10 0}} {P 2 {PLOC 10 0}}}\n"                          // 5
         "{PIC {L -10 -40 10 -40} {C 0 0 5}}}\n"                                      // 6
         "{I R R1 {ATR {IN {ORG 214748.3 0} {NL 0 0}}} {CN A B}}\n"                   // 7
         "{I R R2 {ATR {IN {ORG 0 214748} {RO 1} {NL 0 0}}} {CN A B}}\n"              // 8
         "{I R R3 {ATR {IN {ORG 100 0} {NL 214740 0}}} {CN A B}}}}}\n");              // 9
  const std::vector<uint32_t> components = Iterate(FBoard, /*kind=*/9);
  ASSERT_EQ(components.size(), 2u) << ReportText();
  for (uint32_t component : components) {
    EXPECT_EQ(Iterate(component, /*kind=*/4).size(), 0u);  // the line's tracks
    EXPECT_EQ(Iterate(component, /*kind=*/1).size(), 1u);  // the circle
    EXPECT_EQ(Iterate(component, /*kind=*/2).size(), 1u);  // pin 1
  }
  EXPECT_EQ(Dump(FBoard).find("2147483647"), std::string::npos);
  const std::string beyond = " left out: placed, it would lie beyond the board's range\r\n";
  ExpectLoadWarnings("5\r\n"
                     "WARNING: Line of component R1 at line 7" + beyond +
                     "WARNING: Pin 2 of component R1 at line 7" + beyond +
                     "WARNING: Line of component R2 at line 8" + beyond +
                     "WARNING: Pin 2 of component R2 at line 8" + beyond +
                     "WARNING: Component R3 at line 9 left out: placed, its designator "
                     "would lie beyond the board's range\r\n");
}

// Fault: an unreadable or unknown pad-stack index gave a default via or pad, and an
// unreadable scale or polygon outline kind was passed over, without a word. (The
// definition R gives no hole.)
TEST_F(KivoFileTest, UnreadableOrUnknownIndicesScalesAndOutlineKindsAreTold) {
  Import(std::string(kHead) +                                                     // 1 to 3
         "{DETAIL {NET_DEF {N GND {DG [LY \"TOP\"] {V 0 0 99}\n"                     // 4
         "{POLY {OL nan 0 0 10 0 10 10}}}}}\n"                                       // 5
         "{PAD_STACK {PAD 1 \"R\"} {PAD 2 \"R\"} {PAD_DEF R {PIC {C 0 0 3}}}}\n"     // 6
         "{NET_DEF {N VCC {DG [LY \"TOP\"] {V 0 0 nan} {V 0 0 2} {V 0 0 7}}}}\n"     // 7
         "{SUBCOMP {COMP_DEF R {PIN_DEF {P 1 {PT 1e12} {PLOC 0 0}} {P 2 {PT 30}}\n"  // 8
         " {P 3 {PT 99} {PLOC 2 0}}}}\n"                                             // 9
         " {I R R1 {ATR {IN {ORG 0 0} {SC nan 1}}} {CN GND VCC GND}}}}}\n");         // 10
  EXPECT_EQ(Iterate(FBoard, /*kind=*/3).size(), 4u);  // every via kept
  const std::string notWhole = " is not a whole number: ";
  const std::string noPad = " left out: no PAD of the pad stack has it\r\n";
  // (The pad definition draws on TOP, the layer before it, which makes no pad.)
  ExpectLoadWarnings("9\r\n"
                     "WARNING: Outline kind \"nan\" of polygon at line 5 is not one of 1 and 2: "
                     "the polygon keeps the host's outline width and grid\r\n"
                     "WARNING: Drill text of pad definition R at line 6 has no value: its "
                     "through-hole pads and vias take a hole of 32mil\r\n"
                     "WARNING: Pad stack index 99 of via of net GND at line 4" + noPad +
                     "WARNING: Pad stack index \"nan\" of via of net VCC at line 7" + notWhole +
                     "the via keeps the host's size and hole\r\n"
                     "WARNING: Pad stack index 7 of via of net VCC at line 7" + noPad +
                     "WARNING: Pad stack index \"1e12\" of pin 1 at line 8" + notWhole +
                     "the pin takes no PAD of the pad stack\r\n"
                     "WARNING: Pad stack index 99 of pin 3 at line 9" + noPad +
                     "WARNING: SC \"nan\" of component R1 at line 10" + notWhole +
                     "it was passed over\r\n"
                     "WARNING: The layer \"TOP\" at line 4 is none of the layers pads are made of "
                     "(PADCOM, PADSLD, PADINT, DRILL, SLDMSK): 1 object drawn on it in pad "
                     "definitions may not make its pads as drawn (line 6)\r\n");
}

// Fault: every instance went to the most recent COMP_DEF, whatever definition it named
// ({I NOSUCH R1} was made a RES0805 with its pads, without a word), and one before any
// COMP_DEF was dropped silently. An instance goes to the definition it names (ignoring
// case), the latest of that name; one whose definition the file does not give before it
// is left out, told, and its attributes touch no other instance.
TEST_F(KivoFileTest, AnInstanceBelongsToTheDefinitionItNames) {
  Import(std::string(kHead) +                                         // lines 1 to 3
             "{DETAIL {SUBCOMP {I A X0 {ATR {IN {ORG 9 9}}}}\n"         // 4: none yet
             "{COMP_DEF A} {COMP_DEF B}\n"                              // 5
             "{I b X1 {ATR {IN {ORG 1 1}}}}\n"                          // 6
             "{I A X2 {ATR {IN {ORG 2 2}}} {CN N1}}\n"                  // 7
             "{I NOSUCH X3 {ATR {IN {ORG 3 3}}} {CN N2}}\n"             // 8: none
             "{I B X4}}\n"                                              // 9
             "{SUBCOMP {I a X5 {ATR {IN {ORG 5 5}}}} {COMP_DEF A} {I A X6}}}}\n",  // 10
         false);
  // By definition, in the order read: the designators and their origins' x.
  std::vector<std::vector<std::pair<std::string, int32_t>>> placed;
  for (auto& component : Detail().GetComponents()) {
    placed.emplace_back();
    for (auto& instance : dynamic_cast<TKivoComponent&>(*component).GetInstances())
      placed.back().emplace_back(instance->GetDesignator().GetText(), instance->GetX());
  }
  EXPECT_EQ(placed, (std::vector<std::vector<std::pair<std::string, int32_t>>>{
                        {{"X2", 20000}, {"X5", 50000}}, {{"X1", 10000}, {"X4", 0}}, {{"X6", 0}}}));
  ExpectLoadWarnings("2\r\n"
                     "WARNING: Component X0 at line 4 left out: the file has no definition A "
                     "before it\r\n"
                     "WARNING: Component X3 at line 8 left out: the file has no definition "
                     "NOSUCH before it\r\n\r\n");
}

// The report of `text` read by the reader alone, every load warning shown.
std::string ReadReportAlone(const std::string& text, const std::string& name) {
  const std::string path = WriteScratchFile(name, text);
  TReportManager report(path);
  TKivoFile reader(path, TKivoFile::TReadOnly{});
  reader.SetReport(&report);
  EXPECT_TRUE(reader.ReadModel());
  report.SetLoadWarningLevel(4);
  report.WriteReport();
  return ReadWholeFile(report.GetReportPath());
}

// Fault: a file cut short imported as a success: the reading loops end quietly at the
// end of the file (the example board cut at half its length gave "Translation
// Successful", no warning and a third of its objects). A file that ends inside an open
// block gets one load warning naming its last line and the block; a whole file gets
// none. The reader alone serves here: it needs no host board and shows nothing.
TEST(KivoReaderAlone, AFileCutShortSaysWhereItEnds) {
  const std::string whole = std::string(kHead) +                 // lines 1 to 3
                            "{DISPLAY [LY \"TOP\"]}\n"              // 4
                            "{DETAIL {ANNOTATE [LY \"TOP\"]\n"      // 5
                            "{L 10 10 20 10}\n"                    // 6
                            "{POLY {OL 1}}\n"                      // 7: no point, and no brace lost
                            "{C 5 5 1}}}}\n";                      // 8
  const auto read = ReadReportAlone;
  const std::string ends = "WARNING: The file ends at line ";
  const struct {
    size_t Cut;  // bytes dropped from the end
    const char* Warning;  // empty: none
  } cases[] = {
      {0, ""},
      {1, ""},  // only the last line end
      {2, "8 inside the COMPONENT block"},
      {whole.size() - whole.find("{DISPLAY"), "3 inside the COMPONENT block"},
      {whole.size() - whole.find("TOP\"]}") - 2, "4 inside the DISPLAY block"},
      {whole.size() - whole.find("{DBGRID") - 3, "2 inside the ENVIRONMENT block"},
  };
  for (const auto& c : cases) {
    const std::string text = read(whole.substr(0, whole.size() - c.Cut), "cut.pdf");
    const size_t at = text.find(ends);
    if (*c.Warning == 0) {
      EXPECT_EQ(at, std::string::npos) << c.Cut << ":\n" << text;
      continue;
    }
    EXPECT_NE(text.find(ends + c.Warning + ": it may have been cut short\r\n"), std::string::npos)
        << c.Cut << ":\n" << text;
    EXPECT_EQ(text.find(ends, at + 1), std::string::npos) << "one warning only";
  }

  const std::string demo = ReadWholeFile(SourcePath("examples/demo.pdf"));
  const std::string half = read(demo.substr(0, demo.size() / 2), "half.pdf");
  EXPECT_NE(half.find("Load Warnings : 1\r\n" + ends + "218 inside the DETAIL block"),
            std::string::npos)
      << half;
}

// Fault: whether a file was cut short was decided by all its braces, those of comments
// and texts too, so a cut board whose comments or texts held more "}" than "{" was not
// told as cut. Only the braces the reading takes for blocks count.
TEST(KivoReaderAlone, ACutBoardIsToldWhateverBracesItsCommentsAndTextsHold) {
  const std::string cut = std::string(kHead) +               // lines 1 to 3
                          "{DETAIL {ANNOTATE [LY \"TOP\"]\n"  // 4
                          "% a comment that closes }}\n"      // 5
                          "{T \"\\}\" 1 2}\n"                // 6: the text "}"
                          "{L 0 0 10 0}}\n";                  // 7: DETAIL still open
  const std::string report = ReadReportAlone(cut, "cut.pdf");
  EXPECT_NE(report.find("Load Warnings : 1\r\nWARNING: The file ends at line 7 inside the "
                        "DETAIL block: it may have been cut short"),
            std::string::npos)
      << report;
}

// Fault: a megabyte of braces in a quoted value that the reading skips (a net's ATR, an
// instance's EX) took minutes: the skip looked for the value's closing quote again at
// each brace. It is read in one look, and the example loses nothing.
TEST(KivoReaderAlone, ALongQuotedValueInASkippedBlockIsReadInLinearTime) {
  const std::string demo = ReadWholeFile(SourcePath("examples/demo.pdf"));
  const std::string braces(1 << 20, '{');
  const std::string warnings = LoadWarningsAlone(demo);
  for (const std::string from : {"\"POWER\"", "\"4k7\""}) {
    std::string text = demo;
    text.replace(text.find(from), from.size(), "\"" + braces + "\"");
    std::string read;
    EXPECT_NO_THROW(read = LoadWarningsAlone(text, 4, StepBudget(2 * text.size()))) << from;
    EXPECT_EQ(read, warnings) << from;
  }
}

// Fault: a value or name longer than the 65,536 characters the reader keeps was cut
// without a word (two layer names that differ after them are one layer). Each is told
// with its line and what was kept, in every form a value or name takes.
TEST(KivoReaderAlone, AValueLongerThanTheReaderKeepsIsToldWithWhatWasKept) {
  const std::string longName(70000, 'A');
  const std::string told = " has more than 65536 characters: only the first 65536 were kept, the "
                           "rest was passed over\r\n";
  const std::string head = "{COMPONENT \"long\"\n{ENVIRONMENT {DBUNIT \"MIL\"} {DBGRID 1}\n";
  const std::string shown = "\"" + longName.substr(0, 32) + "...\" at line 3";
  const std::string shown4 = "\"" + longName.substr(0, 32) + "...\" at line 4";
  const struct {
    std::string Lines;  // lines 3 and 4
    std::string Warning;
  } cases[] = {
      {"{LYRSTR \"" + longName + "\" 1}}\n{DETAIL}}", "Value of LYRSTR " + shown},
      {"{LYRSTR (" + longName + ") 1}}\n{DETAIL}}", "Value of LYRSTR " + shown},
      {"{LYRSTR " + longName + " 1}}\n{DETAIL}}", "Value of LYRSTR " + shown},
      {"}\n{DETAIL {ANNOTATE [LY \"" + longName + "\"]}}}", "Value of LY " + shown4},
      {"}\n{DETAIL {NET_DEF {N " + longName + "}}}}", "Name of the N block " + shown4},
      {"}\n{DETAIL {NET_DEF {N (" + longName + ")}}}}", "Name of the N block " + shown4},
      {"}\n{DETAIL {SUBCOMP {COMP_DEF D} {I D R1 {CN " + longName + "}}}}}",
       "Name of a net in the CN block " + shown4},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(LoadWarningsAlone(head + c.Lines + "\n"), "Load Warnings : 1\r\nWARNING: " + c.Warning + told)
        << c.Lines.substr(0, 40);
  }
  // What was kept: the first 65,536 characters.
  const std::string path = WriteScratchFile("kept.pdf", head + "{LYRSTR \"" + longName + "\" 1}}}\n");
  TKivoFile reader(path, TKivoFile::TReadOnly{});
  ASSERT_TRUE(reader.ReadModel());
  EXPECT_EQ(reader.GetBoardComponent().GetEnvironment().GetLayerStrings().Get(0), longName.substr(0, 65536));
}

// Fault: the reader's own records grew with the file whatever the report kept: one for
// each [LY] whose value could not be read, one for each layer name met, and every
// attribute of a block it skips (16 MB of each took the host 310, 170 and 494 MB; 100 MB
// of attributes ran it out of its address space). It keeps 8 bytes for each [LY] it
// tells, a layer once something is drawn on it, and of a skipped block's attributes
// those applying them needs; what is told is unchanged (counted beyond a block's first
// 64 attributes that tell something).
TEST(KivoReaderAlone, TheReadersRecordsStayWithinTheFilesSize) {
  const std::string head = std::string(kHead) + "{DETAIL {ANNOTATE [LY \"TOP\"]\n";
  const auto board = [&](const std::string& before, const std::string& unit, const std::string& after) {
    std::string text = head + before;
    for (int i = 0; text.size() < (2u << 20); ++i)
      text += unit.find("%d") == std::string::npos
                  ? unit
                  : unit.substr(0, unit.find("%d")) + std::to_string(i) + unit.substr(unit.find("%d") + 2);
    return text + after + "{C 0 0 1}}}}\n";
  };
  const struct {
    const char* Name;
    std::string Text;
    const char* Told;  // a line of the report
  } cases[] = {
      {"unreadable", board("", "[LY \"x\n", ""),
       "WARNING: Layer at line 5 left out: its quote is not closed before the next attribute\r\n"},
      {"names", board("", "[LY a%d]\n", ""),
       "WARNING: The layer \"a169855\" at line 169860 is not declared by the file's LYRSTR: 1 "
       "object drawn on it was left out (line 169861)\r\n"},
      {"attributes", board("{XYZ\n", "[WD 5]\n", "}\n"),
       "WARNING: The attribute at line 6 lies inside the XYZ block, which was skipped: it was applied\r\n"},
      // Too deep to keep: a block given back there is told to go without them.
      {"nested", board("{XYZ\n", "{a [WD 5] ", std::string(200000, '}')),
       "WARNING: Attributes at line 6 inside the XYZ block, in blocks nested more than 64 deep, "
       "were not applied to the C block read there\r\n"},
      {"faults", board("{XYZ\n", "[WD x]\n", "}\n"),
       "WARNING: 299508 more attributes at line 70 to line 299577 inside the XYZ block have "
       "values or keys the reader does not use: they were passed over, not told one by one\r\n"},
  };
  for (const auto& c : cases) {
    std::string warnings;
    const int64_t peak = PeakHeapOfReading(c.Text, warnings);
    EXPECT_LT(peak, static_cast<int64_t>(2 * c.Text.size())) << c.Name;
    EXPECT_NE(warnings.find(c.Told), std::string::npos) << c.Name << "\n" << warnings.substr(0, 3000);
  }
}

// Fault: objects on a layer that no LYRSTR entry declares were dropped by the
// translation without a word ([LY "CMOP"] for "COMP" lost 5 tracks and 5 vias of the
// example; a misspelt layer in one COMP_DEF lost the pins of the next one too), and
// after a [LY] whose value could not be read they were drawn on the layer before. Each
// undeclared layer is told once, with its first [LY] and the objects left out; an
// unreadable one leaves out what follows it until the next, and says how many.
TEST(KivoReaderAlone, ObjectsOnALayerTheFileDoesNotDeclareAreToldWithTheirCount) {
  const std::string undeclared = "WARNING: The layer \"";
  const std::string notDeclared = "\" at line 4 is not declared by the file's LYRSTR: ";
  const std::string unreadable =
      "WARNING: Layer at line 4 left out: its \"(\" is not closed before the next block";
  const std::string noHole = "WARNING: Drill text of pad definition R at line 4 has no value: its "
                             "through-hole pads and vias take a hole of 32mil\r\n";
  const struct {
    const char* Detail;  // on line 4
    std::string Warnings;
  } cases[] = {
      {"{ANNOTATE [LY \"CMOP\"] {ARC 0 0 1 0 0 1} {C 0 0 1} {FR 0 0 1 1} {R 0 0 1 1}"
       " {L 0 0 1 1} {T \"A\" 0 0} {POLY {OL 1 0 0 1 0 1 1}}}",
       "1\r\n" + undeclared + "CMOP" + notDeclared + "7 objects drawn on it were left out (line 4)\r\n"},
      {"{NET_DEF {N A {DG [LY \"CMOP\"] {V 0 0 1} {NN 0 0} {W 0 0 1 1} {ARC 0 0 1 0 0 1}"
       " {T \"A\" 0 0} {POLY {OL 1 0 0 1 0 1 1}}}}}",
       "2\r\nWARNING: Pad stack index 1 of via of net A at line 4 left out: the file has no "
       "PAD_STACK block\r\n" + undeclared + "CMOP" + notDeclared +
           "6 objects drawn on it were left out (line 4)\r\n"},
      // The graphics of a pad definition do not count, but for one on a layer pads are
      // not made of; the layer it leaves does.
      {"{PAD_STACK {PAD 1 \"R\"} {PAD_DEF R {PIC [LY \"PADCOM\"] {C 0 0 3} [LY \"CMOP\"] {C 0 0 3}}}}"
       " {ANNOTATE {C 0 0 1}}",
       "3\r\n" + noHole + undeclared + "CMOP" + notDeclared +
           "1 object drawn on it was left out (line 4)\r\n" +
           undeclared + "CMOP\" at line 4 is none of the layers pads are made of (PADCOM, PADSLD, "
           "PADINT, DRILL, SLDMSK): 1 object drawn on it in pad definitions may not make its pads "
           "as drawn (line 4)\r\n"},
      // A misspelt layer in one definition takes the pins of the next along: the lines
      // of the objects left out tell where.
      {"{SUBCOMP {COMP_DEF A {PIC [LY SILK\"] {L 0 0 1 1} {C 0 0 -1}}}\n"
       " {COMP_DEF B {PIN_DEF {P 1 {PLOC 0 0}}\n {P 2 {PLOC 1 0}}}}}",
       "2\r\nWARNING: Circle at line 4 left out: its radius is negative\r\n" + undeclared +
           "SILK\"" + notDeclared + "3 objects drawn on it were left out (lines 4 to 6)\r\n"},
      // Each layer once, in the order of their first [LY].
      {"{ANNOTATE [LY \"X2\"] {C 0 0 1} [LY \"X1\"] {C 0 0 1} [LY \"X2\"] {C 0 0 1}}",
       "2\r\n" + undeclared + "X2" + notDeclared + "2 objects drawn on it were left out (line 4)\r\n" +
           undeclared + "X1" + notDeclared + "1 object drawn on it was left out (line 4)\r\n"},
      // Declared (in any case, or by an ENVIRONMENT after the DETAIL, itself told as the
      // file's second), before any [LY], or with nothing drawn: nothing to tell.
      {"{ANNOTATE {C 0 0 1} [LY \"bottom\"] {C 0 0 1} [LY \"LATE\"] {C 0 0 1} [LY \"NONE\"]}}"
       " {ENVIRONMENT {LYRSTR \"LATE\" 4}",
       "1\r\nWARNING: The ENVIRONMENT block at line 4 is not the file's first (line 2): what it "
       "declares was read as well\r\n"},
      // An unreadable layer: what follows up to the next readable one, on a record of its
      // own; inside a pad definition nothing counts.
      {"{ANNOTATE {C 0 0 1} [LY (\"SILK\"\n{C 0 0 1} {L 0 0 1 1} [LY \"TOP\"] {C 0 0 1}}",
       "1\r\n" + unreadable + "; 2 objects drawn after it were left out (line 5)\r\n"},
      {"{PAD_STACK {PAD_DEF R {PIC [LY (\"PADCOM\"\n{C 0 0 3}}}}",
       "2\r\n" + noHole + unreadable + "\r\n"},
  };
  for (const auto& c : cases) {
    const std::string text = std::string(kHead) + "{DETAIL " + c.Detail + "}}\n";
    EXPECT_EQ(LoadWarningsAlone(text), "Load Warnings : " + c.Warnings) << c.Detail;
  }
}

// Fault: DBGRID 0 made every coordinate 0 (every track dropped as a point, everything
// else at the origin) and an unreadable one -32000, a DBUNIT the importer does not know
// changed nothing, all without a word; without a DBGRID, or without a known DBUNIT, every
// object was put at the origin, told only as "every coordinate reads as 0"; a negative
// grid turned the board about the origin and made every width refused. A grid of 0, none,
// one not a whole number (or quoted) or a negative one is taken as 1 (as its size), told
// with what stood there; an unknown
// unit is told, and what is drawn without a known unit is left out, told once with its
// count and lines.
TEST_F(KivoFileTest, AGridOrUnitThatMakesEveryCoordinateZeroIsTold) {
  const std::string unknownUnit =
      " at line 2 is not one of the units CMM, MM, UM, CENTIMIL and MIL: it was passed over\r\n";
  const std::string noUnit = "WARNING: The DETAIL block at line 3 has no known DBUNIT before it: 1 "
                             "object drawn without a unit was left out (line 3)\r\n";
  const std::string notAGrid = " at line 2 is not a whole number above 0: ";
  const struct {
    const char* Environment;  // on line 2
    int32_t X;                // of the line's first point; -1 for a line left out
    std::string Warnings;
  } cases[] = {
      {"{DBUNIT \"MIL\"} {DBGRID 2}", 20000, "0\r\n"},
      {"{DBUNIT \"MIL\"} {DBGRID 0}", 10000,
       "1\r\nWARNING: DBGRID \"0\"" + notAGrid + "a grid of 1 was used\r\n"},
      {"{DBUNIT \"MIL\"} {DBGRID 1.5}", 10000,
       "1\r\nWARNING: DBGRID \"1.5\"" + notAGrid + "a grid of 1 was used\r\n"},
      {"{DBUNIT \"MIL\"} {DBGRID}", 10000,
       "1\r\nWARNING: DBGRID at line 2 has no value: a grid of 1 was used\r\n"},
      {"{DBUNIT \"MIL\"} {DBGRID \"5\"}", 10000,
       "1\r\nWARNING: DBGRID \"\"5\"\"" + notAGrid + "a grid of 1 was used\r\n"},
      {"{DBUNIT \"MIL\"} {DBGRID -3}", 30000,
       "1\r\nWARNING: DBGRID \"-3\"" + notAGrid + "a grid of 3 was used\r\n"},
      {"{DBUNIT \"MIL\"}", 10000,
       "1\r\nWARNING: The DETAIL block at line 3 has no DBGRID before it: a grid of 1 was used\r\n"},
      {"{DBUNIT \"mil\"} {DBGRID 1}", -1, "2\r\nWARNING: DBUNIT \"mil\"" + unknownUnit + noUnit},
      {"", -1,
       "2\r\nWARNING: The DETAIL block at line 3 has no DBGRID before it: a grid of 1 was used\r\n" +
           noUnit},
  };
  for (const auto& c : cases) {
    Import(std::string("{COMPONENT \"grid\"\n{ENVIRONMENT {KIVOVREV \"3.0\"} ") + c.Environment +
               " {LYRSTR \"TOP\" 1}}\n{DETAIL {ANNOTATE [LY \"TOP\"] {L 1 1 2 1}}}\n{DETAIL}}\n",
           false);
    if (c.X < 0) {
      EXPECT_TRUE(Detail().GetAnnotations().empty()) << c.Environment;
    } else {
      ASSERT_EQ(Detail().GetAnnotations().size(), 1u) << c.Environment;
      EXPECT_EQ(Annotation<TKivoLine>(0).GetVertices()[0].X, c.X) << c.Environment;
    }
    const std::string report = ReportText();
    EXPECT_NE(report.find("Load Warnings : " + c.Warnings + "\r\n"), std::string::npos)
        << c.Environment << "\n" << report;
  }
}

// Fault: a block the reader does not read was told only by an "Unhandled Token" line,
// which the report shows from detail level 3: a misspelt section lost everything it held,
// a misspelt pin, placement or net lost or moved objects, and the report at its default
// detail said nothing ("Translation Successful" on a board without other warnings). Every
// block the reader does not read is named at the default detail, at every level, with
// its line and what its level reads; it is still counted once.
TEST(KivoReaderAlone, ABlockTheReaderDoesNotReadIsNamedAtEveryLevel) {
  const std::string board =
      "{COMPONENT \"demo\"\n"                                              // 1
      "{ENVIRONMENT {KIVOVREV \"3.0\"} {DBUNIT \"MIL\"} {DBGRID 1}\n"        // 2
      " {LYRSTR \"TOP\" 1 \"SILK\" 2}}\n"                                   // 3
      "{DISPLAY [LY \"TOP\"] [WD 5]}\n"                                    // 4
      "{DETAIL\n"                                                          // 5
      "{ANNOTATE {L 0 0 10 0} {POLY {OL 1 0 0 5 0 5 5}}}\n"                // 6
      "{PAD_STACK {PAD 1 \"R\" \"R\"}\n"                                    // 7
      " {PAD_DEF R {PIC [LY \"PADCOM\"] {C 0 0 5}} {ATR {IN {SMD \"Y\"}}}}}\n"   // 8
      "{NET_DEF {N A {DG [LY \"TOP\"] {W 0 0 1 1} {V 1 1 1}}}}\n"          // 9
      "{SUBCOMP {COMP_DEF D {PIN_DEF {P 1 {PT 1} {PLOC 0 0}}}\n"           // 10
      "  {PIC [LY \"SILK\"] {L 0 0 1 1}}}\n"                                // 11
      " {I D U1 {ATR {IN {ORG 10 20}}} {CN A}}}\n"                          // 12
      "}}\n";                                                              // 13
  const std::string sections = " block's sections (";
  const std::string items = " block's items (";
  const struct {
    std::string Was;  // its first occurrence is changed
    std::string Becomes;
    std::string Told;
  } cases[] = {
      {"{ENVIRONMENT", "{ENVIRONNEMENT",
       "The block ENVIRONNEMENT at line 2 is not one of the COMPONENT" + sections},
      {"{DETAIL", "{DETIAL", "The block DETIAL at line 5 is not one of the COMPONENT" + sections},
      {"{KIVOVREV", "{KIVOREV", "The block KIVOREV at line 2 is not one of the ENVIRONMENT" + items},
      {"{ANNOTATE", "{ANOTATE", "The block ANOTATE at line 6 is not one of the DETAIL" + sections},
      {"{L 0 0 10", "{LL 0 0 10", "The block LL at line 6 is not one of the ANNOTATE" + items},
      {"{POLY", "{POLLY", "The block POLLY at line 6 is not one of the ANNOTATE" + items},
      {"{OL", "{OLL", "The block OLL at line 6 is not one of the POLY" + items},
      {"{PAD 1", "{PADD 1", "The block PADD at line 7 is not one of the PAD_STACK" + items},
      {"{PAD_DEF", "{PAD_DEFF", "The block PAD_DEFF at line 8 is not one of the PAD_STACK" + items},
      {"{PIC [LY \"PADCOM\"]", "{PICC [LY \"PADCOM\"]",
       "The block PICC at line 8 is not one of the PAD_DEF" + items},
      {"{C 0 0 5}", "{CC 0 0 5}", "The block CC at line 8 is not one of the PIC" + items},
      {"{ATR {IN {SMD", "{ATRR {IN {SMD", "The block ATRR at line 8 is not one of the PAD_DEF" + items},
      {"{IN {SMD", "{INN {SMD", "The block INN at line 8 is not one of the ATR" + items},
      {"{SMD", "{SMDD", "The block SMDD at line 8 is not one of the IN" + items},
      {"{N A", "{NN A", "The block NN at line 9 is not one of the NET_DEF" + items},
      {"{DG", "{DGG", "The block DGG at line 9 is not one of the N" + items},
      {"{W 0", "{WW 0", "The block WW at line 9 is not one of the DG" + items},
      {"{V 1", "{VV 1", "The block VV at line 9 is not one of the DG" + items},
      {"{COMP_DEF", "{COMPDEF", "The block COMPDEF at line 10 is not one of the SUBCOMP" + items},
      {"{PIN_DEF", "{PINDEF", "The block PINDEF at line 10 is not one of the COMP_DEF" + items},
      {"{P 1", "{PP 1", "The block PP at line 10 is not one of the PIN_DEF" + items},
      {"{PT", "{PTT", "The block PTT at line 10 is not one of the P" + items},
      {"{PLOC", "{PLOCC", "The block PLOCC at line 10 is not one of the P" + items},
      {"{PIC [LY \"SILK\"]", "{PICC [LY \"SILK\"]",
       "The block PICC at line 11 is not one of the COMP_DEF" + items},
      {"{I D", "{II D", "The block II at line 12 is not one of the SUBCOMP" + items},
      {"{ATR {IN {ORG", "{ATRR {IN {ORG", "The block ATRR at line 12 is not one of the I" + items},
      {"{IN {ORG", "{INN {ORG", "The block INN at line 12 is not one of the ATR" + items},
      {"{ORG", "{ORGG", "The block ORGG at line 12 is not one of the IN" + items},
      {"{CN", "{CNN", "The block CNN at line 12 is not one of the I" + items},
      // An odd byte after the "{": the brace still begins a block.
      {"{W 0", "{\xa0W 0", "The block \xa0W at line 9 is not one of the DG" + items},
      {"{W 0", "{\fW 0", "The block \\x0CW at line 9 is not one of the DG" + items},
      {"{W 0", "{\vW 0", "The block \\x0BW at line 9 is not one of the DG" + items},
      {"{W 0", std::string("{\0W 0", 5), "The block \\x00W at line 9 is not one of the DG" + items},
      // Text between the blocks, and a Ctrl+Z ending the file, which is no text.
      {"{DG", "{DG junk", "The text \"junk\" at line 9 lies between the blocks of the DG block: "
                          "it was passed over"},
      {"}}\n", "}}\n\x1A", "The text"},
      // Inside a block of values, or of names.
      {"{PLOC 0 0}", "{PLOC 0 0 {XX 1}}", "The block XX at line 10 lies inside the PLOC block, "
                                          "which holds no blocks: it was skipped"},
      {"{CN A}", "{CN A {ZZ 1}}", "The block ZZ at line 12 lies inside the CN block, which holds no "
                                  "blocks: it was skipped"},
  };
  for (const auto& c : cases) {
    std::string changed = board;
    const size_t at = changed.find(c.Was);
    ASSERT_NE(at, std::string::npos) << c.Was;
    changed.replace(at, c.Was.size(), c.Becomes);
    const std::string told = LoadWarningsAlone(changed, 2);
    if (c.Becomes.back() == '\x1A') {
      EXPECT_EQ(told, "Load Warnings : 0\r\n");
      continue;
    }
    EXPECT_NE(told.find("WARNING: " + c.Told), std::string::npos) << c.Becomes << "\n" << told;
    EXPECT_EQ(told.find("Load Warnings : 0"), std::string::npos) << c.Becomes;
  }
}

// The board's dump without the progress indicator's log.
std::string WithoutProgress(const std::string& dump) {
  std::string result;
  for (size_t start = 0, end; start < dump.size(); start = end + 1) {
    end = std::min(dump.find('\n', start), dump.size());
    if (dump.compare(start, 9, "progress ") != 0)
      result.append(dump, start, end - start + 1);
  }
  return result;
}

TEST_F(KivoFileTest, FileThatIsNotKivoIsRefusedAndTheBoardUntouched) {
  NewTrack(-100000, 0, 100000, 0, 0, 1, FBoard);  // negative: placement would move it
  const std::string before = Dump(FBoard);
  TUIAutomation automation;
  automation.ClickButton("Vantor Suite Error", "OK");
  Import("{DETAIL {ANNOTATE {C 1 1 1}}} {COMPONENT x {DETAIL {ANNOTATE {C 1 1 1}}}}");
  EXPECT_TRUE(automation.GetDone()) << automation.GetFailure();
  EXPECT_TRUE(FReader->GetAborted());
  EXPECT_EQ(FReport->GetImportErrorCount(), 1);
  FReport->SetImportErrorLevel(4);
  FReport->WriteReport();
  const std::string report = ReadWholeFile(FReport->GetReportPath());
  EXPECT_NE(report.find("ERROR: Unknown Error caused abort."), std::string::npos) << report;
  // No bracket, no object, no move: the reading stopped at the first block.
  EXPECT_EQ(WithoutProgress(Dump(FBoard)), WithoutProgress(before));
  EXPECT_TRUE(Detail().GetAnnotations().empty());
}

TEST_F(KivoFileTest, CancelClosesTheBracketAndTranslatesNothing) {
  Import(std::string(kHead) + "{DETAIL {ANNOTATE [LY \"TOP\"] {C 1 1 1}}}}", false);
  EXPECT_EQ(FReport->GetImportErrorCount(), 1);
  FReport->SetImportErrorLevel(4);
  FReport->WriteReport();
  EXPECT_NE(ReadWholeFile(FReport->GetReportPath()).find("ERROR: User Canceled Abort."),
            std::string::npos);
  const std::string dump = Dump(FBoard);
  EXPECT_EQ(dump.find(" arc "), std::string::npos);
  EXPECT_NE(dump.find("event 0 0 14 0\nevent 0 0 12 " + std::to_string(FBoard) +
                      "\nevent 0 0 7 0\nevent 0 0 8 0\nevent 0 0 10 0\nevent 0 0 11 " +
                      std::to_string(FBoard)),
            std::string::npos)
      << dump;
  EXPECT_NE(dump.find("progress init \"Loading KIVO file"), std::string::npos);
  EXPECT_NE(dump.find("progress finish"), std::string::npos);
}

// A model object whose translation fails.
class TFailingObject : public TKivoObject {
  KIVO_CLASS(TFailingObject, TKivoObject)
 public:
  void Translate() override { throw Exception("translation failed"); }
};

TEST_F(KivoFileTest, AFailureInsideTheBracketStillClosesItAndFinishesTheProgress) {
  // Fault: the board-modify bracket and the progress indicator were closed on the normal
  // path only, so an exception from the options or the translation left both open (and
  // a refused file, the progress indicator).
  const struct {
    const char* Stage;
    TKivoFile::TImportOptionsHandler Options;
  } failures[] = {
      {"options", [](TKivoFile&, PadStackMapRecord&) -> bool { throw Exception("options failed"); }},
      {"translation",
       [](TKivoFile& reader, PadStackMapRecord& map) {
         MapTestLayers(reader, map);
         reader.GetBoardComponent().GetDetail().GetAnnotations().push_back(std::make_unique<TFailingObject>());
         return true;
       }},
  };
  const std::string path =
      WriteScratchFile("failing.pdf", std::string(kHead) + "{DETAIL {ANNOTATE [LY \"TOP\"] {C 1 1 1}}}}");
  for (const auto& failure : failures) {
    SCOPED_TRACE(failure.Stage);
    Control().ClearCallLog();
    TKivoFile reader(path, FBoard);
    TKivoFile::SetImportOptionsHandler(failure.Options);
    EXPECT_THROW(reader.Load(), Exception);
    // The bracket closes in its order, then the progress indicator finishes.
    const std::string log = CallLog();
    size_t at = log.find("PcbApi_EventRouter_SendMessage(0, 0, 7, 0)");
    ASSERT_NE(at, std::string::npos) << log;
    for (const std::string& call :
         {std::string("PcbApi_EventRouter_SendMessage(0, 0, 8, 0)"), std::string("PcbApi_EventRouter_SendMessage(0, 0, 10, 0)"),
          "PcbApi_EventRouter_SendMessage(0, 0, 11, " + std::to_string(FBoard) + ")",
          std::string("PcbApi_Percent_Finish")}) {
      at = log.find(call, at);
      if (at == std::string::npos) {
        ADD_FAILURE() << call << " after the failure\n" << log;
        break;
      }
    }
  }

  // A file refused at its first block opens no bracket, and the progress still finishes.
  Control().ClearCallLog();
  TUIAutomation automation;
  automation.ClickButton("Vantor Suite Error", "OK");
  Import("{DETAIL {ANNOTATE {C 1 1 1}}}");
  EXPECT_TRUE(FReader->GetAborted());
  const std::string log = CallLog();
  const size_t started = log.find("PcbApi_Percent_Init");
  ASSERT_NE(started, std::string::npos) << log;
  EXPECT_NE(log.find("PcbApi_Percent_Finish", started), std::string::npos) << log;
  EXPECT_EQ(log.find("PcbApi_EventRouter_SendMessage"), std::string::npos) << log;
}

// A board of one polygon on TOP through the given points (mils) and one track already
// on the board from (0, 0) to (10, 0) mil.
struct TPlacementCase {
  const char* Points;
  TRect Moved;  // the board's extent afterwards
  int32_t Dx, Dy;
};

TEST_F(KivoFileTest, PlacementMovesIntoPositiveSpaceByTheRule) {
  const TPlacementCase cases[] = {
      // X1 = -5000000, Y1 = 0: dx = 100 mil - X1, dy = 100 mil.
      {"-500 0 100 0 100 50", {1000000, 1000000, 7000000, 1500000}, 6000000, 1000000},
      // X2 = 994500000: dx clamped so that X2 ends at 999990000.
      {"-500 0 99450 0 99450 50", {490000, 1000000, 999990000, 1500000}, 5490000, 1000000},
      // Only Y negative.
      {"0 -20 50 -20 50 30", {1000000, 1000000, 1500000, 1500000}, 1000000, 1200000},
  };
  for (const TPlacementCase& c : cases) {
    const uint32_t track = NewTrack(0, 0, 100000, 0, 0, 1, FBoard);
    Import(std::string(kHead) + "{DETAIL {ANNOTATE [LY \"TOP\"] {POLY {OL 1 " + c.Points +
           "}}}}}");
    SCOPED_TRACE(c.Points);
    EXPECT_EQ(Rect(FBoard), c.Moved);
    EXPECT_EQ(FReader->GetBoard().GetOriginX(), c.Dx);
    EXPECT_EQ(FReader->GetBoard().GetOriginY(), c.Dy);
    TTrack moved;
    moved.Sync(1, track);
    EXPECT_EQ(moved.X, c.Dx);
    EXPECT_EQ(moved.Y, c.Dy);
    EXPECT_EQ(moved.X2, 100000 + c.Dx);
    EXPECT_EQ(moved.Y2, c.Dy);
    // The polygon's vertices move with it; the host hears of both objects.
    const std::vector<uint32_t> polygons = Iterate(FBoard, 10);
    ASSERT_EQ(polygons.size(), 1u);
    auto polygon = std::make_unique<TPolygon>();
    polygon->Sync(1, polygons[0]);
    EXPECT_EQ(polygon->Segments[0].X, std::stoi(c.Points) * 10000 + c.Dx);
    const std::string dump = Dump(FBoard);
    EXPECT_NE(dump.find("event " + std::to_string(polygons[0]) + " 0 3 0"), std::string::npos);
    EXPECT_NE(dump.find("event " + std::to_string(track) + " 0 3 0"), std::string::npos);
    RaveloTest::TearDown();
    RaveloTest::SetUp();
  }
}

TEST_F(KivoFileTest, PlacementLeavesNonNegativeAndOversizedBoardsAlone) {
  const char* boards[] = {
      "10 10 100 10 100 50",             // all non-negative
      "-500 0 99500 0 99500 50",         // 1000000000 wide
      "0 -500 50 -500 50 99499",         // 999990000 high: at the limit
  };
  for (const char* points : boards) {
    Import(std::string(kHead) + "{DETAIL {ANNOTATE [LY \"TOP\"] {POLY {OL 1 " + points +
           "}}}}}");
    SCOPED_TRACE(points);
    EXPECT_EQ(FReader->GetBoard().GetOriginX(), 0);
    EXPECT_EQ(FReader->GetBoard().GetOriginY(), 0);
    const std::vector<uint32_t> polygons = Iterate(FBoard, 10);
    ASSERT_EQ(polygons.size(), 1u);
    auto polygon = std::make_unique<TPolygon>();
    polygon->Sync(1, polygons[0]);
    EXPECT_EQ(polygon->Segments[0].X, std::stoi(points) * 10000);
    EXPECT_EQ(Dump(FBoard).find(" 0 3 0\n"), std::string::npos);
    RaveloTest::TearDown();
    RaveloTest::SetUp();
  }
}

TEST_F(KivoFileTest, LineEndsDoNotChangeTheBoard) {
  const std::string text = std::string(kHead) +
                           "{DETAIL {ANNOTATE [LY \"TOP\"]\n{L 0 0 10 0}\n{T \"A B\" 1 2}\n}}}\n";
  Import(text);
  const std::string lf = Dump(FBoard);
  RaveloTest::TearDown();
  RaveloTest::SetUp();
  std::string crlf;
  for (char c : text)
    crlf += c == '\n' ? std::string("\r\n") : std::string(1, c);
  Import(crlf);
  EXPECT_EQ(Dump(FBoard), lf);
}

TEST_F(KivoFileTest, HostileInputEndsWithoutHanging) {
  const char* texts[] = {
      "{COMPONENT x {ENVIRONMENT {LYRSTR \"TOP\" 1",
      "{COMPONENT x {DETAIL {ANNOTATE {T \"open",
      "{COMPONENT x {DETAIL {ANNOTATE {T \"a\" b c d",
      "{COMPONENT x {DETAIL {ANNOTATE {L 1 2 3",
      "{COMPONENT x {DETAIL {ANNOTATE {POLY {OL 1 1 1 {{{{",
      "{COMPONENT x }}}}]]]] [[[ {DISPLAY [LY",
      "{COMPONENT",
  };
  for (const char* text : texts) {
    Import(text, false);
    EXPECT_FALSE(FReader->GetAborted()) << text;
  }
}

TEST_F(KivoFileTest, NetsWithViasAndGraphics) {
  Import(std::string(kHead) +
             "{DETAIL {PAD_STACK {PAD 1 \"V20\"} {PAD_DEF V20 {PIC [LY \"PADCOM\"] {C 0 0 10}}}}\n"
             "{NET_DEF {N GND {ATR {X 1}} {DG [LY \"TOP\"] [WD 5] {V 10 20 1} {NN 30 40}\n"
             "  {W 0 0 50 0 50 50} {ARC 1 2 3 4 5 6} {T \"G\" 7 8} {POLY {OL 1 0 0 9 0 9 9}}\n"
             "  {C 1 1 1} {ZZ 3}} {BAD 1}}\n"
             " {N VCC {DG {V 1 2 1}}} {Q 1}}}}\n");
  ASSERT_EQ(Detail().GetNets().size(), 2u);
  auto& gnd = dynamic_cast<TKivoNetObject&>(*Detail().GetNets()[0]);
  EXPECT_EQ(gnd.GetName(), "GND");
  ASSERT_EQ(gnd.GetMembers().size(), 6u);
  auto& via = dynamic_cast<TKivoVia&>(*gnd.GetMembers()[0]);
  EXPECT_EQ(via.GetX(), 100000);
  EXPECT_EQ(via.GetY(), 200000);
  EXPECT_EQ(via.GetPadStackIndex(), 1);
  auto& name = dynamic_cast<TKivoText&>(*gnd.GetMembers()[1]);
  EXPECT_EQ(name.GetText(), "GND");
  EXPECT_EQ(name.GetPosition(), (TKivoPoint{300000, 400000}));
  EXPECT_EQ(dynamic_cast<TKivoLine&>(*gnd.GetMembers()[2]).GetVertices().size(), 3u);
  EXPECT_NE(dynamic_cast<TKivoArc*>(gnd.GetMembers()[3].get()), nullptr);
  EXPECT_EQ(dynamic_cast<TKivoText&>(*gnd.GetMembers()[4]).GetText(), "G");
  EXPECT_EQ(dynamic_cast<TKivoPoly&>(*gnd.GetMembers()[5]).GetVertices().size(), 3u);
  auto& vcc = dynamic_cast<TKivoNetObject&>(*Detail().GetNets()[1]);
  EXPECT_EQ(vcc.GetName(), "VCC");
  EXPECT_EQ(vcc.GetMembers().size(), 1u);
  // C and ZZ in the graphics, BAD in the net, Q in the nets; V20 gives no hole.
  EXPECT_EQ(FReport->GetLoadWarningCount(), 5);
  const std::string dump = Dump(FBoard);
  EXPECT_NE(dump.find("GND"), std::string::npos) << dump;
  EXPECT_NE(dump.find("VCC"), std::string::npos) << dump;
  // Fault: the texts of a net left it again, stored with the net their proxy had loaded.
  const std::vector<uint32_t> nets = Iterate(FBoard, 8);
  ASSERT_EQ(nets.size(), 2u);
  for (uint32_t text : Iterate(FBoard, 5))
    EXPECT_NE(DumpObject(text).find(" net=#" + std::to_string(nets[0]) + " "), std::string::npos)
        << DumpObject(text);
}

TEST_F(KivoFileTest, ComponentsWithPinsInstancesAndConnections) {
  Import(std::string(kHead) +
             "{DETAIL {PAD_STACK {PAD 1 \"R60\"} {PAD_DEF R60 {PIC [LY \"PADCOM\"] {C 0 0 30}}}}\n"
             "{NET_DEF {N N1} {N N2}}\n"
             "{SUBCOMP {I NONE X9}\n"
             " {COMP_DEF RES {PIN_DEF {P 1 {PT 1} {PLOC -50 0} {LQ 2}} {P 2 {PT 1} {PLOC 50 0}} {ZZ}}\n"
             "  {PIC [LY \"SILK\"] {R -60 -20 60 20} {FL 1} {DIMENSION 1} {W 1 1 2 2}}\n"
             "  {ATR {IN {ORG 1 1}}} {PKG \"AXIAL\"} {SPKG x} {QQ 1}}\n"
             " {I RES R1 {ATR {IN {ORG 1000 2000} {PL 10 20} {RO 1} {PA 45} {MR \"Y\"} {PS \"B\"}\n"
             "   {NL 5 6} {SC 1 2} {UN 3} {XY 1}} {EX {AT 1}}} {CN N1 N2} {KK 1}}\n"
             " {I RES R2 {ATR {IN {ORG 0 0} {MR \"y\"} {PS \"T\"}}} {CN 2 N1 1 N2 }}\n"
             " {ZZZ 1}}}}\n");
  ASSERT_EQ(Detail().GetComponents().size(), 1u);
  auto& res = dynamic_cast<TKivoComponent&>(*Detail().GetComponents()[0]);
  ASSERT_EQ(res.GetPins().size(), 2u);
  EXPECT_EQ(res.GetPins()[0]->GetName(), "1");
  EXPECT_EQ(res.GetPins()[0]->GetPadStackIndex(), 1);
  EXPECT_EQ(res.GetPins()[0]->GetX(), -500000);
  EXPECT_EQ(res.GetPins()[1]->GetX(), 500000);
  EXPECT_EQ(res.GetPrimitives().size(), 1u);
  ASSERT_EQ(res.GetInstances().size(), 2u);
  TKivoInstance& r1 = *res.GetInstances()[0];
  EXPECT_EQ(r1.GetDefinitionName(), "RES");
  EXPECT_EQ(r1.GetDesignator().GetText(), "R1");
  EXPECT_EQ(r1.GetX(), 10100000);
  EXPECT_EQ(r1.GetY(), 20200000);
  EXPECT_EQ(r1.GetInstanceRotation(), 135);
  EXPECT_EQ(r1.GetInstanceMirror(), 1);
  EXPECT_EQ(r1.GetSide(), TKivoInstance::BottomSide);
  EXPECT_EQ(r1.GetDesignator().GetPosition(), (TKivoPoint{50000, 60000}));
  EXPECT_EQ(r1.GetConnections().GetText(), "N1\r\nN2\r\n");
  TKivoInstance& r2 = *res.GetInstances()[1];
  EXPECT_EQ(r2.GetInstanceMirror(), 0);
  EXPECT_EQ(r2.GetSide(), 0);
  // The blank before the closing brace adds no empty entry.
  EXPECT_EQ(r2.GetConnections().GetCount(), 4);
  // LQ in a pin, ZZ among the pins, DIMENSION and W in the graphics, QQ, XY, KK, ZZZ;
  // the stray instance X9, which no definition before it names; the pins, on the layer
  // PADCOM the pad definition left and the file does not declare; R60, which gives no
  // hole; UN 3, no unit; MR "y", no value of MR.
  EXPECT_EQ(FReport->GetLoadWarningCount(), 13);
  const std::string dump = Dump(FBoard);
  EXPECT_NE(dump.find("R1"), std::string::npos) << dump;
  EXPECT_NE(dump.find("R2"), std::string::npos) << dump;
}

TEST_F(KivoFileTest, NetNamesStartingWithADelimiterMatchTheirConnections) {
  // Fault: "+5V" after N read as an empty name, so the pins listing "+5V" found no net.
  Import(std::string(kHead) +
             "{DETAIL {PAD_STACK {PAD 1 \"R60\"} {PAD_DEF R60 {PIC [LY \"PADCOM\"] {C 0 0 30}}}}\n"
             "{NET_DEF {N +5V} {N GND}}\n"
             "{SUBCOMP {COMP_DEF CAP [LY \"TOP\"] {PIN_DEF {P 1 {PT 1} {PLOC -50 0}} {P 2 {PT 1} {PLOC 50 0}}}}\n"
             " {I CAP C1 {ATR {IN {ORG 100 100}}} {CN +5V GND}}}}}\n");
  ASSERT_EQ(Detail().GetNets().size(), 2u);
  EXPECT_EQ(dynamic_cast<TKivoNetObject&>(*Detail().GetNets()[0]).GetName(), "+5V");
  EXPECT_EQ(dynamic_cast<TKivoNetObject&>(*Detail().GetNets()[1]).GetName(), "GND");
  const std::vector<uint32_t> nets = Iterate(FBoard, 8);
  ASSERT_GE(nets.size(), 2u);
  const std::vector<uint32_t> pads = Iterate(FBoard, 2);
  ASSERT_EQ(Detail().GetComponents().size(), 1u);
  ASSERT_EQ(dynamic_cast<TKivoComponent&>(*Detail().GetComponents()[0]).GetInstances().size(), 1u);
  ASSERT_EQ(pads.size(), 2u) << Dump(FBoard);
  EXPECT_NE(DumpObject(pads[0]).find(" net=#" + std::to_string(nets[0]) + " "), std::string::npos)
      << DumpObject(pads[0]);
  EXPECT_NE(DumpObject(pads[1]).find(" net=#" + std::to_string(nets[1]) + " "), std::string::npos)
      << DumpObject(pads[1]);
}

// Fault: an attribute in a connection list was read as names ("[WD" and "3]"), which
// gave the pins after it wrong nets, silently. One that names follow is the list's own:
// told, it holds up to the list's "}" (the drawing state after it is as before); one
// just before that "}" is the level's, whose "}" may have come late: applied, told.
TEST_F(KivoFileTest, AnAttributeInAConnectionListIsNoName) {
  Import(std::string(kHead) +                                                         // 1-3
         "{DETAIL {NET_DEF {N A} {N B} {N C}} {SUBCOMP [WD 5]\n"                      // 4
         " {COMP_DEF R [LY \"TOP\"] {PIN_DEF {P 1} {P 2} {P 3}}}\n"                    // 5
         " {I R R1 {CN A [WD 3]B\n"                                                    // 6
         "  [LY \"SILK\"] C [TS 7]}}\n"                                                // 7
         " {COMP_DEF S {PIC {L 0 0 1 1} {T \"S\" 0 0}}}}}}\n");                        // 8
  ASSERT_EQ(Detail().GetComponents().size(), 2u);
  auto& r = dynamic_cast<TKivoComponent&>(*Detail().GetComponents()[0]);
  ASSERT_EQ(r.GetInstances().size(), 1u);
  EXPECT_EQ(r.GetInstances()[0]->GetConnections().GetText(), "A\r\nB\r\nC\r\n");
  auto& s = dynamic_cast<TKivoComponent&>(*Detail().GetComponents()[1]);
  ASSERT_EQ(s.GetPrimitives().size(), 2u);
  EXPECT_EQ(s.GetPrimitives()[0]->GetLayerName(), "TOP");
  EXPECT_EQ(s.GetPrimitives()[0]->GetWidth(), 50000);
  EXPECT_EQ(s.GetPrimitives()[1]->GetTextSize(), 70000);
  const std::string held = " stands among the CN block's values: it holds for that block alone, "
                           "up to its \"}\"\r\n";
  ExpectLoadWarnings("3\r\n"
                     "WARNING: The attribute at line 6" + held +
                     "WARNING: The attribute at line 7" + held +
                     "WARNING: The attribute at line 7 lies inside the CN block: a \"}\" may be "
                     "missing before it; it was applied\r\n\r\n");
}

// Fault: a pin connected to a net the file does not define ("GNDX", or the "G" of G"ND)
// lost it untold, as did a name beyond the pins; a quoted name kept its quotes and lost
// its net. Each connection that finds no net and each name that connects no pin is told
// with its line; a quoted name is what its quotes hold (an empty one keeps its pin's
// place, without a net); a net the file defines after the instances is found.
TEST_F(KivoFileTest, AConnectionToANetTheFileDoesNotDefineIsTold) {
  Import(std::string(kHead) +                                                        // 1-3
         "{DETAIL {NET_DEF {N GND}}\n"                                                // 4
         "{SUBCOMP {COMP_DEF R [LY \"TOP\"] {PIN_DEF {P 1} {P 2}}}\n"                  // 5
         " {I R R1 {CN GNDX \"GND\" GND}}\n"                                           // 6
         " {I R R2 {CN 2 \"LATE\" 1 gnd 3 GND}}\n"                                     // 7
         " {I R R3 {CN\n"                                                              // 8
         "% a comment line {\n"                                                        // 9
         " \"\" G\"ND}}}\n"                                                             // 10
         "{NET_DEF {N LATE}}}}\n");                                                    // 11
  const std::vector<uint32_t> nets = Iterate(FBoard, /*kind=*/8);
  const std::vector<uint32_t> pads = Iterate(FBoard, /*kind=*/2);
  ASSERT_EQ(nets.size(), 2u);
  ASSERT_EQ(pads.size(), 6u);
  const std::string gnd = "#" + std::to_string(nets[0]), late = "#" + std::to_string(nets[1]);
  std::vector<std::string> padNets;
  for (uint32_t pad : pads)
    padNets.push_back(NetOfPad(pad));
  EXPECT_EQ(padNets, (std::vector<std::string>{"-", gnd, gnd, late, "-", "-"}));
  const std::string beyond = " stands beyond the 2 pins of its definition R: it was passed over\r\n";
  const std::string noPin = " connects no pin of its definition R: it was passed over\r\n";
  const std::string noNet = "\", which the file does not define: the pin was imported without "
                            "a net\r\n";
  // The quote left open is told as the list is read; the rest as the translation finds
  // them, in the file's order, at the line of each list.
  ExpectLoadWarnings(
      "7\r\n"
      "WARNING: Name of a net in the CN block \"ND\" at line 10: its quote is not closed before "
      "the \"}\" after it; it was read up to there\r\n"
      "WARNING: The connection of pin 1 of component R1 at line 6 names the net \"GNDX" + noNet +
      "WARNING: The name \"GND\" in the connections of component R1 at line 6" + beyond +
      "WARNING: The name \"3\" in the connections of component R2 at line 7" + noPin +
      "WARNING: The name \"GND\" in the connections of component R2 at line 7" + noPin +
      "WARNING: The connection of pin 2 of component R3 at line 8 names the net \"G" + noNet +
      "WARNING: The name \"ND\" in the connections of component R3 at line 8" + beyond);
}

// Fault: an attribute where a block's name or value stood was taken for it ("[WD" a
// net's, definition's or pin's name, a pad entry's shape), and its setting outlived the
// block: every pad and via after a pad definition grew by its width. It is told, the
// name and values after it are the block's, and it holds up to the block's "}" (where a
// valid attribute of the block that sets it again holds on, as in a valid file).
TEST_F(KivoFileTest, AnAttributeInPlaceOfANameOrValueHoldsForItsBlockAlone) {
  Import(std::string(kHead) +                                                            // 1-3
         "{DETAIL [WD 2]\n"                                                               // 4
         "{PAD_STACK {PAD 1 [WD 9] \"R\" \"R\"} {PAD 2 \"R\" [TS 9] \"R\"}\n"              // 5
         " {PAD_DEF [WD 4] R {PIC [LY \"PADCOM\"] {C 0 0 3}}}}\n"                          // 6
         "{NET_DEF {N [WD 5] GND {DG [LY \"TOP\"] {W 0 0 1 1}}}}\n"                        // 7
         "{SUBCOMP {COMP_DEF [TS 6] D {PIN_DEF {P [WD 3] 1 {PT 1}}} {PIC {T \"X\" 0 0}}}\n"  // 8
         " {I [TR 1] D U1 {CN GND}} {I D [LY \"BOTTOM\"] U2 {CN GND}}}\n"                   // 9
         "{ANNOTATE {L 0 0 5 5} {T \"T\" 0 0}}\n"                                           // 10
         "{NET_DEF {N [WD 5] VCC {DG [WD 7] {W 0 0 2 2}}}}\n"                               // 11
         "{ANNOTATE {L 0 0 6 6}}}}\n");                                                    // 12
  TKivoPadStack& stack = *Detail().GetPadStacks().at(0);
  ASSERT_EQ(stack.GetPads().size(), 2u);
  for (const auto& pad : stack.GetPads())
    EXPECT_EQ(pad->GetFirstName() + pad->GetSecondName(), "RR");
  ASSERT_NE(stack.FindPadDefinition("R"), nullptr);
  EXPECT_EQ(stack.FindPadDefinition("R")->GetPrimitives().at(0)->GetWidth(), 40000);
  auto& gnd = dynamic_cast<TKivoNetObject&>(*Detail().GetNets().at(0));
  EXPECT_EQ(gnd.GetName(), "GND");
  EXPECT_EQ(gnd.GetMembers().at(0)->GetWidth(), 50000);
  auto& d = dynamic_cast<TKivoComponent&>(*Detail().GetComponents().at(0));
  EXPECT_EQ(d.GetName(), "D");
  EXPECT_EQ(d.GetPins().at(0)->GetName(), "1");
  EXPECT_EQ(d.GetPrimitives().at(0)->GetTextSize(), 60000);
  ASSERT_EQ(d.GetInstances().size(), 2u);
  EXPECT_EQ(d.GetInstances()[0]->GetDesignator().GetText(), "U1");
  EXPECT_EQ(d.GetInstances()[1]->GetDesignator().GetText(), "U2");
  ASSERT_EQ(Detail().GetAnnotations().size(), 3u);
  EXPECT_EQ(Annotation<TKivoLine>(0).GetWidth(), 20000);
  EXPECT_EQ(Annotation<TKivoLine>(0).GetLayerName(), "TOP");
  EXPECT_EQ(Annotation<TKivoText>(1).GetTextSize(), 0);
  EXPECT_EQ(Annotation<TKivoText>(1).GetRotation(), 0);
  EXPECT_EQ(Annotation<TKivoLine>(2).GetWidth(), 70000);
  const std::string held = ": it holds for that block alone, up to its \"}\"\r\n";
  ExpectLoadWarnings("10\r\n"
                     "WARNING: The attribute at line 5 stands among the PAD block's values" + held +
                     "WARNING: The attribute at line 5 stands among the PAD block's values" + held +
                     "WARNING: The attribute at line 6 stands in place of the PAD_DEF block's name" +
                     held +
                     "WARNING: Drill text of pad definition R at line 6 has no value: its "
                     "through-hole pads and vias take a hole of 32mil\r\n" +
                     "WARNING: The attribute at line 7 stands in place of the N block's name" + held +
                     "WARNING: The attribute at line 8 stands in place of the COMP_DEF block's name" +
                     held +
                     "WARNING: The attribute at line 8 stands in place of the P block's name" + held +
                     "WARNING: The attribute at line 9 stands in place of the I block's name" + held +
                     "WARNING: The attribute at line 9 stands in place of the I block's name" + held +
                     "WARNING: The attribute at line 11 stands in place of the N block's name" + held);
}

// Fault: a net given twice became two host nets of one name, splitting its objects and
// pins, and a designator given twice two components, both untold. The second net's
// objects join the first's (names compared as the host compares them, case aside);
// a designator given twice imports both components, told with both lines.
TEST_F(KivoFileTest, ANetOrADesignatorGivenTwiceIsTold) {
  Import(std::string(kHead) +                                                          // 1-3
         "{DETAIL {NET_DEF {N GND {DG [LY \"TOP\"] {W 0 0 1 1}}}\n"                     // 4
         " {N gnd {DG {W 0 0 2 2}}}}\n"                                                 // 5
         "{SUBCOMP {COMP_DEF R [LY \"TOP\"] {PIN_DEF {P 1 {PLOC 0 0}}}}\n"              // 6
         " {I R R1 {ATR {IN {ORG 0 0}}} {CN GND}}\n"                                    // 7
         " {I R r1 {ATR {IN {ORG 100 0}}} {CN gnd}} {I R R2 {ATR {IN {ORG x 0}}}}}\n"   // 8
         "{SUBCOMP {COMP_DEF R {PIN_DEF {P 1}}} {I R R1 {CN GND}} {I R R2 {CN GND}}}}}\n");  // 9
  const std::vector<uint32_t> nets = Iterate(FBoard, /*kind=*/8);
  ASSERT_EQ(nets.size(), 1u);
  for (uint32_t track : Iterate(FBoard, /*kind=*/4))
    EXPECT_NE(DumpObject(track).find(" net=#" + std::to_string(nets[0]) + " "), std::string::npos);
  EXPECT_EQ(Iterate(FBoard, /*kind=*/4).size(), 2u);
  EXPECT_EQ(Iterate(FBoard, /*kind=*/9).size(), 4u);
  for (uint32_t pad : Iterate(FBoard, /*kind=*/2))
    EXPECT_EQ(NetOfPad(pad), "#" + std::to_string(nets[0]));
  ExpectLoadWarnings("4\r\n"
                     "WARNING: Component R2 at line 8 left out: a coordinate or size could not be "
                     "read\r\n"
                     "WARNING: The net gnd at line 5 was given before (line 4): its objects were "
                     "added to that net\r\n"
                     "WARNING: Component r1 at line 8 has the designator of the component at line "
                     "7: both were imported\r\n"
                     "WARNING: Component R1 at line 9 has the designator of the component at line "
                     "7: both were imported\r\n\r\n");
}

// Fault: a block whose name was missing (a block where it should stand) or empty was read
// as named "": a net made a host net named "" that every pin without a connection joined
// (taking its pad record's first pad, as a connected pin does), a definition or pad
// definition was what an empty name found. It is told, an empty name names nothing: a
// net without one imports its objects without a net, a pin without one is a pin by
// position only, a definition or pad definition without one is named by nothing.
TEST_F(KivoFileTest, ABlockWithoutANameIsToldAndItsEmptyNameNamesNothing) {
  Import("{COMPONENT\n"                                                                    // 1
         "{ENVIRONMENT {KIVOVREV \"3.0\"} {DBUNIT \"MIL\"} {DBGRID 1} {LYRSTR \"TOP\" 1}}\n"  // 2
         "{DETAIL {PAD_STACK {PAD 1 \"R60\" \"S40\"} {PAD 2 \"\" \"\"}\n"                     // 3
         " {PAD_DEF R60 {PIC [LY \"PADCOM\"] {C 0 0 30}}} {PAD_DEF S40 {PIC [LY \"PADCOM\"] {FR -20 -20 20 20}}}\n"  // 4
         " {PAD_DEF {PIC [LY \"PADCOM\"] {C 0 0 99}}}}\n"                                   // 5
         "{NET_DEF {N GND {DG [LY \"TOP\"] {W 0 0 1 1}}}\n"                                // 6
         " {N {DG {W 0 0 2 2} {V 5 5 1} {NN 3 3}}} {N \"\" {DG {W 0 0 3 3}}}}\n"            // 7
         "{SUBCOMP {COMP_DEF R [LY \"TOP\"] {PIN_DEF {P 1 {PT 1}} {P 2 {PT 1}} {P {PT 1}} {P 3 {PT 2}}}}\n"  // 8
         " {I R R1 {CN 1 GND \"\" GND 3 GND}} {I R R2 {CN GND \"\" \"\" GND}}\n"           // 9
         " {COMP_DEF {PIN_DEF {P 1 {PT 1}}}}\n"                                               // 10
         " {I {CN GND}} {I \"\" U9}}}}\n");                                                   // 11
  const std::vector<uint32_t> nets = Iterate(FBoard, /*kind=*/8);
  ASSERT_EQ(nets.size(), 1u);
  const std::string gnd = "#" + std::to_string(nets[0]);
  std::vector<std::string> tracks;
  for (uint32_t track : Iterate(FBoard, /*kind=*/4))
    tracks.push_back(NetOfPad(track));
  EXPECT_EQ(tracks, (std::vector<std::string>{gnd, "-", "-"}));
  ASSERT_EQ(Iterate(FBoard, /*kind=*/3).size(), 1u);
  EXPECT_EQ(NetOfPad(Iterate(FBoard, /*kind=*/3)[0]), "-");
  EXPECT_EQ(Iterate(FBoard, /*kind=*/5).size(), 4u) << "the components' texts; none for the NN";
  // R1's and R2's pins 1, 2, the one without a name and 3: a pin without a net takes its
  // record's second pad (S40); a record's empty name finds no pad definition, a
  // connection's no pin.
  const std::vector<uint32_t> pads = Iterate(FBoard, /*kind=*/2);
  ASSERT_EQ(pads.size(), 8u);
  const std::string r60 = " TopXSize=600000(", s40 = " TopXSize=400000(", nameless = "=1980000(";
  const std::vector<std::pair<std::string, std::string>> expected = {
      {gnd, r60}, {"-", s40}, {"-", s40}, {gnd, ""}, {gnd, r60}, {"-", s40}, {"-", s40}, {gnd, ""}};
  for (size_t i = 0; i < pads.size(); ++i) {
    const std::string dump = DumpObject(pads[i]);
    EXPECT_EQ(NetOfPad(pads[i]), expected[i].first) << i;
    EXPECT_NE(dump.find(expected[i].second), std::string::npos) << i << dump;
    EXPECT_EQ(dump.find(nameless), std::string::npos) << i << dump;
  }
  EXPECT_EQ(Iterate(FBoard, /*kind=*/9).size(), 2u) << "R1 and R2 alone";
  const std::string none = " has no name: ";
  const std::string noPin = " in the connections of component R1 at line 9 connects no pin of "
                            "its definition R: it was passed over\r\n";
  const std::string noHole = " has no value: its through-hole pads and vias take a hole of 32mil\r\n";
  ExpectLoadWarnings(
      "13\r\n"
      "WARNING: The COMPONENT block at line 1" + none + "the import needs none, and nothing was "
      "left out\r\n"
      "WARNING: Drill text of pad definition R60 at line 4" + noHole +
      "WARNING: Drill text of pad definition S40 at line 4" + noHole +
      "WARNING: The PAD_DEF block at line 5" + none + "no PAD record can name it, so no pad or via "
      "takes it\r\n"
      "WARNING: The N block at line 7" + none + "its objects were imported without a net\r\n"
      "WARNING: The NN block at line 7 left out: its net has no name to place\r\n"
      "WARNING: The N block at line 7" + none + "its objects were imported without a net\r\n"
      "WARNING: The P block at line 8" + none + "its pin was imported without one, and a "
      "connection list of pin names gives it no net\r\n"
      "WARNING: The COMP_DEF block at line 10" + none + "no I block can name it, so no component "
      "was made of it\r\n"
      "WARNING: Component without designator at line 11 left out: its I block names no "
      "definition\r\n"
      "WARNING: Component U9 at line 11 left out: its I block names no definition\r\n"
      "WARNING: The name \"\"" + noPin + "WARNING: The name \"GND\"" + noPin + "\r\n");
}

// Fault: a comment line in a list of values was read as its values: the layers after it
// were declared wrongly (what was drawn on them left out, told as undeclared layers), and
// the physical ids told as not matching the layers without a line. Comment lines are
// passed in every list of values, as between blocks and in point and connection lists;
// a count that does not match names LYRPHID's line.
TEST_F(KivoFileTest, ACommentLineInAListOfValuesIsPassed) {
  Import("{COMPONENT \"demo\"\n"
         "{ENVIRONMENT {KIVOVREV \"3.0\"} {DBUNIT\n"
         "% the unit\n"
         " \"MIL\"} {DBGRID 1}\n"
         " {LYRSTR \"TOP\" 1\n"
         "   % inner layers follow\n"
         " \"BOTTOM\"\n"
         "% {note} [ \" \\\n"
         " 2 \"SILK\" 3}\n"
         " {LYRPHID \"1\" 1 0\n"
         "% c { } [ \" \\\n"
         " \"2\" 2 0 \"3\" 3 0}\n"
         " {SSYMTBL \"1\" -1 0 0\n"
         "%\n"
         " \"2\" -2 10 10}\n"
         " {APR 10\n"
         "  %\n"
         " 12}}\n"
         "{DETAIL {ANNOTATE [LY \"SILK\"] {C 0 0 5}}}}\n",
         false);
  EXPECT_EQ(Env().GetUnitCode(), 5);
  EXPECT_EQ(Env().GetLayerStrings().GetText(), "TOP\r\nBOTTOM\r\nSILK\r\n");
  EXPECT_EQ(static_cast<KivoLayerEntry*>(Env().GetLayerStrings().GetObject(2))->GetKivoLayerId(), 3);
  EXPECT_EQ(Env().GetPhysicalIds().size(), 3u);
  EXPECT_EQ(Env().GetSymbolTable().size(), 2u);
  EXPECT_EQ(Env().GetApertures(), (std::vector<int32_t>{10, 12}));
  EXPECT_EQ(Detail().GetAnnotations().size(), 1u);
  ExpectLoadWarnings("0\r\n\r\n");

  Import("{COMPONENT \"demo\"\n"
         "{ENVIRONMENT {LYRSTR \"TOP\" 1 \"BOTTOM\" 2 \"SILK\" 3}\n"
         " {LYRPHID \"1\" 1 0}}}\n",
         false);
  ExpectLoadWarnings("1\r\n"
                     "WARNING: Number of Layer Strings does not Physical ID Map\r\n"
                     "         Possible cause is an Invalid KIVO file\r\n"
                     "WARNING: The LYRPHID block at line 3 lists 1 physical layer id for the 3 "
                     "layer strings of LYRSTR\r\n");
}

// Hostile input: a run of attributes in place of a name was kept whole until it ended,
// and each attribute that holds for its block alone kept the drawing state from before
// it, so that a file of millions of them took memory without bound. A run is taken by
// parts of 64, those before the last as the block's items (they hold on); a block keeps
// the drawing state once for each key, and puts it back at its "}".
TEST_F(KivoFileTest, ALongRunOfAttributesInPlaceOfAValueIsTakenByParts) {
  std::string run, list;
  for (int i = 1; i <= 200; ++i)
    run += "[WD " + std::to_string(i) + "] ";
  for (int i = 0; i < 3000; ++i)
    list += " [WD 7] [LY \"BOTTOM\"] N";
  Import(std::string(kHead) + "{DETAIL [WD 2] {NET_DEF {N " + run +
         "GND {DG [LY \"TOP\"] {W 0 0 1 1}}} {N N}}\n"
         "{SUBCOMP {COMP_DEF R {PIN_DEF {P 1}}} {I R R1 {CN" + list + "}}}\n"
         "{ANNOTATE {L 0 0 5 5}}}}\n");
  auto& gnd = dynamic_cast<TKivoNetObject&>(*Detail().GetNets().at(0));
  EXPECT_EQ(gnd.GetName(), "GND");
  EXPECT_EQ(gnd.GetMembers().at(0)->GetWidth(), 2000000);
  // The first 192 of the run hold on; the CN list's hold for it alone.
  EXPECT_EQ(Annotation<TKivoLine>(0).GetWidth(), 1920000);
  EXPECT_EQ(Annotation<TKivoLine>(0).GetLayerName(), "TOP");
  // 8 of the run, 6000 in the list, and 2999 names beyond R's pin.
  EXPECT_EQ(FReport->GetLoadWarningCount(), 8 + 6000 + 2999);
}

TEST_F(KivoFileTest, HostileNetsAndComponentsEndWithoutHanging) {
  const char* texts[] = {
      "{COMPONENT x {DETAIL {NET_DEF {N",
      "{COMPONENT x {DETAIL {NET_DEF {N A {DG {V 1",
      "{COMPONENT x {DETAIL {NET_DEF {N A {DG {W 1 2 \"",
      "{COMPONENT x {DETAIL {SUBCOMP {COMP_DEF",
      "{COMPONENT x {DETAIL {SUBCOMP {COMP_DEF A {PIN_DEF {P",
      "{COMPONENT x {DETAIL {SUBCOMP {COMP_DEF A} {I A B {CN a \"b\" ,c {d} ",
      "{COMPONENT x {DETAIL {SUBCOMP {COMP_DEF A} {I A B {ATR {IN {ORG 1",
      "{COMPONENT x {DETAIL {SUBCOMP {COMP_DEF A} {I A B {ATR {IN {RO 99999999} {RO 99999999}"
      " {PL 2147483647 2147483647} {PL 2147483647 2147483647}}}}}}}",
  };
  for (const char* text : texts) {
    Import(text);
    EXPECT_FALSE(FReader->GetAborted()) << text;
  }
}

TEST_F(KivoFileTest, WithoutAHandlerTheOptionsDialogAsks) {
  // The modal results OK and Cancel.
  for (int answer : {IDOK, IDCANCEL}) {
    const std::string path = WriteScratchFile(
        "dialog.pdf", std::string(kHead) + "{DETAIL {ANNOTATE [LY \"TOP\"] {C 1 1 1}}}}");
    FReport = std::make_unique<TReportManager>(path);
    FReader = std::make_unique<TKivoFile>(path, FBoard);
    FReader->SetReport(FReport.get());
    TUIAutomation automation;
    automation.ClickButton("KIVO Importer", answer == IDOK ? "ButtonOK" : "ButtonCancel");
    FReader->Load();
    EXPECT_TRUE(automation.GetDone()) << automation.GetFailure();
    EXPECT_EQ(FReport->GetImportErrorCount(), answer == IDOK ? 0 : 1);
    EXPECT_EQ(FReader->GetDisplay().GetLayerMap() != nullptr, answer == IDOK);
  }
}

// The example board, imported as a user imports it: the options dialog comes up with
// the defaults of "LoadKIVO.ini" and is answered OK. Its report is then written with
// every list at the most detailed level, so that every event is reviewed too.
TEST_F(KivoFileTest, ExampleBoardImportsAsReviewed) {
  DefaultLayerTable();  // the built-in defaults, whatever other tests saved
  const std::string demo = ReadWholeFile(SourcePath("examples/demo.pdf"));
  ASSERT_NE(demo, "<missing>");
  const std::string path = WriteScratchFile("demo.pdf", demo);
  FReport = std::make_unique<TReportManager>(path);
  FReader = std::make_unique<TKivoFile>(path, FBoard);
  FReader->SetReport(FReport.get());
  TUIAutomation automation;
  automation.ClickButton("KIVO Importer", "ButtonOK");
  FReader->Load();
  ASSERT_TRUE(automation.GetDone()) << automation.GetFailure();

  // Only the deliberate warnings: the polygon void and the two circle voids of the pour.
  EXPECT_EQ(FReport->GetLoadErrorCount(), 0);
  EXPECT_EQ(FReport->GetLoadWarningCount(), 3);
  EXPECT_EQ(FReport->GetImportErrorCount(), 0);
  EXPECT_EQ(FReport->GetImportWarningCount(), 0);

  // The scratch folder's name depends on the machine; the dump quotes its backslashes.
  const std::string scratch = ReplaceAll(ScratchFolder(), "\\", "\\\\");
  ExpectGolden("demo.dump", ReplaceAll(Dump(FBoard), scratch, "<scratch>\\\\"));

  for (uint8_t level = 4; auto set : {&TReportManager::SetLoadErrorLevel,
                                      &TReportManager::SetLoadWarningLevel,
                                      &TReportManager::SetLoadEventLevel,
                                      &TReportManager::SetImportErrorLevel,
                                      &TReportManager::SetImportWarningLevel,
                                      &TReportManager::SetImportEventLevel})
    (FReport.get()->*set)(level);
  FReport->WriteReport();
  EXPECT_EQ(FReport->GetReportPath(), ScratchFolder() + "demo.rpt");
  std::string report = ReadWholeFile(FReport->GetReportPath());
  report = ReplaceLineRest(report, "Date     : ", "<date>");
  report = ReplaceLineRest(report, "Time     : ", "<time>");
  ExpectGolden("demo.rpt", report);
}

}  // namespace
