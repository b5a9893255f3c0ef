// The written translation report at every detail level, against reviewed reports: the
// example board, a generated board, a board made to raise every warning the reader and
// the translation report, and a cancelled import. The report keeps its events as
// records and writes lines only at the end, at the levels set then: each import's
// reports are written at every level after the import, so these pin down every line.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "classlib/Automation.h"
#include "importer/ImportSettings.h"
#include "importer/KivoFile.h"
#include "importer/ReportManager.h"
#include "tests/importer/DialogDefaults.h"
#include "tests/importer/GoldenFiles.h"
#include "tests/importer/ImporterTestSupport.h"
#include "tests/ravelo/RaveloTestSupport.h"
#include "tools/kivogen/KivoBoardGenerator.h"

namespace {

// Maps "TOP", "BOTTOM" and "SILK"; every other layer stays not imported.
bool MapThreeLayers(TKivoFile& reader, PadStackMapRecord& map) {
  TStringList& layers = reader.GetBoardComponent().GetEnvironment().GetLayerStrings();
  DialogDefaultPadStackMap(&layers, map);
  for (int i = 0; i < layers.GetCount(); ++i) {
    const std::string name = layers.Get(i);
    static_cast<KivoLayerEntry*>(layers.GetObject(i))
        ->SetHostLayer(name == "TOP"      ? eTopLayer
                       : name == "BOTTOM" ? eBottomLayer
                       : name == "SILK"   ? eTopOverlay
                                          : eIgnoreLayer);
  }
  return true;
}

// Every warning of the reader and of the translation: a layer count mismatch, unhandled
// tokens, polygon and circle voids, objects left out for unreadable or negative numbers,
// a polygon outline cut to the host's capacity, a component whose pins outnumber its
// nets and one of which nothing is translated.
std::string WarningsBoard() {
  std::string longOutline;
  for (int i = 0; i < 600; ++i)
    longOutline += " " + std::to_string(i % 2 ? 1000 + i : i) + " " + std::to_string(i);
  return "{COMPONENT \"warnings\"\n"
         "{ENVIRONMENT {KIVOVREV \"3.0\"} {DBUNIT \"MIL\"} {DBGRID 1}\n"
         " {LYRSTR \"TOP\" 1 \"BOTTOM\" 2 \"SILK\" 3 \"HIDDEN\" 4}\n"
         " {LYRPHID \"1\" 1 0 \"2\" 2 0}\n"
         " {BOGUS 1}}\n"
         "{DISPLAY [LY \"TOP\"] [WD 10] [TS 50]}\n"
         "{DETAIL\n"
         "{PAD_STACK {PAD 1 \"RND60\" \"RND60\"} {PAD 2 \"VIA30\" \"VIA30\"}\n"
         " {PAD_DEF RND60 {PIC [LY \"PADCOM\"] {C 0 0 30}}}\n"
         " {PAD_DEF VIA30 {PIC [LY \"PADCOM\"] {C 0 0 15} [LY \"DRILL\"] {T \"15\" 0 0}}}}\n"
         "{ANNOTATE [LY \"TOP\"] [WD 12]\n"
         " {C 10 10 -5}\n"
         " {W 1 2 x 4}\n"
         " {L 5 5 25 5 25 25}\n"
         " {POLY {OL 1 0 0 10 0 10 10} {PV 1 1 2 2 3 3} {CV 5 5 2}}\n"
         " {PV 1 1 2 2}\n"
         " {CV 1 1 1}\n"
         " {XYZ 1}\n"
         " {POLY {OL 2" + longOutline + "}}\n"
         " {T \"HELLO \\\"WORLD\\\"\" 5 5}\n"
         " [TJ \"CC\"] {T \"CENTRED\" 40 40} [TJ \"RT\"] [TR 1] {T \"TURNED\" 60 60}\n"
         " [LY \"SILK\"] {FR 0 0 10 10} {ARC 0 0 10 0 0 10} {R 0 0 20 20} {C -50 -50 7}\n"
         " [LY \"BOTTOM\"] [WD 0] {W -100 -100 -80 -100 -80 -80}\n"
         "}\n"
         "{NET_DEF {N GND {DG [LY \"TOP\"] {V 1 1 2} {NN 3 3} {W 0 0 5 5} {V bad 1 2}}}\n"
         " {N +5V {DG [LY \"BOTTOM\"] {V 7 7 1} {ARC 0 0 4 0 0 4} {POLY {OL 1 0 0 4 0 4 4 0 4}}}}}\n"
         "{SUBCOMP\n"
         " {COMP_DEF PKG {PIN_DEF {P 1 {PT 1} {PLOC 0 0}} {P 2 {PT 1} {PLOC 10 0}}\n"
         "   {P 3 {PT 1} {PLOC bad 0}}}\n"
         "  {PIC [LY \"SILK\"] {R -5 -5 15 5} {T \"REF\" 0 8}}}\n"
         " {I PKG U1 {ATR {IN {ORG 100 100} {NL 100 120} {RO 1}}} {CN GND}}\n"
         " {I PKG U2 {ATR {IN {ORG 200 100} {NL 200 120} {MR \"Y\"} {PS \"B\"}}} {CN 1 GND 2 +5V}}\n"
         " {I PKG U3 {ATR {IN {ORG bad 0}}} {CN GND GND}}\n"
         " {COMP_DEF EMPTY {PIC [LY \"HIDDEN\"] {C 0 0 5}}}\n"
         " {I EMPTY U4 {ATR {IN {ORG 0 0}}} {CN}}\n"
         "}\n"
         "}\n"
         "}\n";
}

class ReportGoldenTest : public RaveloTest {
 protected:
  void TearDown() override {
    TKivoFile::SetImportOptionsHandler(nullptr);
    RaveloTest::TearDown();
  }

  // Imports `text` under `name` (the options answered by `handler`, the dialog when it
  // is empty) and answers its reports at the detail levels 0 to 4, every list at the
  // same level, one after the other.
  std::string ReportsAtEveryLevel(const std::string& name, const std::string& text,
                                  TKivoFile::TImportOptionsHandler handler) {
    const std::string path = WriteScratchFile(name, text);
    TReportManager report(path);
    {
      TKivoFile reader(path, FBoard);
      reader.SetReport(&report);
      TKivoFile::SetImportOptionsHandler(handler);
      std::unique_ptr<TUIAutomation> automation;
      if (!handler) {
        automation = std::make_unique<TUIAutomation>();
        automation->ClickButton("KIVO Importer", "ButtonOK");
      }
      reader.Load();
      if (automation) {
        EXPECT_TRUE(automation->GetDone()) << automation->GetFailure();
      }
    }
    std::string all;
    for (uint8_t level = 0; level <= 4; ++level) {
      for (auto set : {&TReportManager::SetLoadErrorLevel, &TReportManager::SetLoadWarningLevel,
                       &TReportManager::SetLoadEventLevel, &TReportManager::SetImportErrorLevel,
                       &TReportManager::SetImportWarningLevel,
                       &TReportManager::SetImportEventLevel})
        (report.*set)(level);
      WriteScratchFile(ChangeFileExtension(name), "");  // no earlier level's report
      report.WriteReport();
      std::string written =
          level == 0 ? "<no report>\n" : ReadWholeFile(ScratchFolder() + ChangeFileExtension(name));
      written = ReplaceLineRest(written, "Date     : ", "<date>");
      written = ReplaceLineRest(written, "Time     : ", "<time>");
      all += "==== every list at level " + std::to_string(level) + "\n" + written;
    }
    return all;
  }

  static std::string ChangeFileExtension(const std::string& name) {
    return name.substr(0, name.rfind('.')) + ".rpt";
  }
};

TEST_F(ReportGoldenTest, ExampleBoard) {
  DefaultLayerTable();  // the built-in defaults, whatever other tests saved
  const std::string demo = ReadWholeFile(SourcePath("examples/demo.pdf"));
  ASSERT_NE(demo, "<missing>");
  ExpectGolden("reports/demo.rpts", ReportsAtEveryLevel("demo.pdf", demo, nullptr));
}

TEST_F(ReportGoldenTest, GeneratedBoard) {
  ExpectGolden("reports/generated.rpts",
               ReportsAtEveryLevel("generated.pdf", GenerateKivoBoardText(24000, 7), MapThreeLayers));
}

TEST_F(ReportGoldenTest, EveryWarning) {
  ExpectGolden("reports/warnings.rpts",
               ReportsAtEveryLevel("warnings.pdf", WarningsBoard(), MapThreeLayers));
}

TEST_F(ReportGoldenTest, CancelledImport) {
  ExpectGolden("reports/cancelled.rpts",
               ReportsAtEveryLevel("cancelled.pdf", WarningsBoard(),
                                   [](TKivoFile&, PadStackMapRecord&) { return false; }));
}

}  // namespace
