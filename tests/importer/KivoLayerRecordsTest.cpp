// The reader's records of the layers drawn on, and the warnings they give, for files
// that draw each object on a layer of its own.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "classlib/StringList.h"
#include "importer/KivoFile.h"
#include "importer/KivoListMemo.h"
#include "importer/ReportManager.h"
#include "tests/importer/ImporterTestSupport.h"
#include "tests/ravelo/RaveloTestSupport.h"

namespace {

const char kHead[] =
    "{COMPONENT \"layers\"\n"
    "{ENVIRONMENT {KIVOVREV \"3.0\"} {DBUNIT \"MIL\"} {DBGRID 1} {LYRSTR \"TOP\" 1}}\n"
    "{DETAIL {ANNOTATE\n";

// `count` lines of `unit`, each with its number in place of "%d", after kHead.
std::string Lines(const std::string& unit, int count) {
  std::string text = kHead;
  const size_t at = unit.find("%d");
  for (int i = 0; i < count; ++i)
    text += unit.substr(0, at) + std::to_string(i) + unit.substr(at + 2);
  return text + "}}}\n";
}

// The lines of `report` that begin with "WARNING: ".
int WarningLines(const std::string& report) {
  int lines = 0;
  for (size_t at = 0; (at = report.find("\nWARNING: ", at)) != std::string::npos; ++at)
    ++lines;
  return lines;
}

}  // namespace

// Fault: the reader kept an entry of a map for each layer an object was drawn on, and
// listed every undeclared one again to tell them: `[LY "U1"] {C 0 0 1}`, `[LY "U2"]...`
// took some 140 bytes a layer beside the objects' own drawing state (118 MB took the
// host 1.4 GB). Measured against the same objects each of its own width on one layer
// (a drawing state each too), a layer now takes some 65 bytes (less than 80); each is
// still told, the first ten one by one and the rest in one line with their count and
// lines.
TEST(KivoReaderAlone, TheRecordsOfDistinctUndeclaredLayersAreSmall) {
  constexpr int kLayers = 100000;
  std::string layersReport, widthsReport;
  const int64_t layers = PeakHeapOfReading(Lines("[LY \"U%d\"] {C 0 0 1}\n", kLayers), layersReport);
  const int64_t widths =
      PeakHeapOfReading(Lines("[LY \"TOP\"] [WD %d] {C 0 0 1}\n", kLayers), widthsReport);
  EXPECT_LT((layers - widths) / kLayers, 80) << layers << " against " << widths;

  EXPECT_NE(layersReport.find("Load Warnings : 100000\r\n"), std::string::npos)
      << layersReport.substr(0, 3000);
  EXPECT_EQ(WarningLines(layersReport), 11) << layersReport.substr(0, 3000);
  EXPECT_NE(layersReport.find("WARNING: The layer \"U9\" at line 13 is not declared by the file's "
                              "LYRSTR: 1 object drawn on it was left out (line 13)\r\n"),
            std::string::npos)
      << layersReport.substr(0, 3000);
  EXPECT_NE(layersReport.find("WARNING: 99990 more layers at line 14 to line 100003 are not "
                              "declared by the file's LYRSTR: 99990 objects drawn on them were "
                              "left out (lines 14 to 100003), not told one by one\r\n"),
            std::string::npos)
      << layersReport.substr(0, 3000);
}

class KivoLayerRecordsTest : public RaveloTest {
 protected:
  void TearDown() override {
    TKivoFile::SetImportOptionsHandler(nullptr);
    RaveloTest::TearDown();
  }
  // The heap the whole import of `text` into the test board takes at its peak, the
  // options answered with OK and the dialog's layer map.
  int64_t PeakHeapOfImport(const std::string& text) {
    const std::string path = WriteScratchFile("import.pdf", text);
    TReportManager report(path);
    TKivoFile::SetImportOptionsHandler([](TKivoFile&, PadStackMapRecord&) { return true; });
    return PeakHeapOf([&] {
      TKivoFile reader(path, FBoard);
      reader.SetReport(&report);
      reader.Load();
    });
  }
};

// Fault: the translation remembered the host layer of every layer name it was asked,
// for the process's life: objects each on a layer of its own took some 45 bytes more
// a layer while they were translated, and kept them after. It remembers a few
// thousand names at most: the whole import takes what its reading takes.
TEST_F(KivoLayerRecordsTest, TheTranslationRemembersAFewLayerNamesAtMost) {
  constexpr int kLayers = 100000;
  const int64_t layers = PeakHeapOfImport(Lines("[LY \"U%d\"] {C 0 0 1}\n", kLayers));
  const int64_t widths = PeakHeapOfImport(Lines("[LY \"TOP\"] [WD %d] {C 0 0 1}\n", kLayers));
  EXPECT_LT((layers - widths) / kLayers, 80) << layers << " against " << widths;
}

// Fault: the translation gave each object whose drawing state was not that of the object
// before it a copy of its own with the layer map (a board drawn on two layers in turn,
// object by object, took a drawing state for each object: 16 MB of them took the host
// 170 MB where one layer took 90 MB). Objects of one state share its copy.
TEST_F(KivoLayerRecordsTest, ObjectsDrawnOnLayersInTurnShareTheirDrawingStatesWhenTranslated) {
  constexpr int kObjects = 100000;
  std::string turns = kHead, one = kHead;
  for (int i = 0; i < kObjects; ++i) {
    turns += i % 2 ? "[LY \"U1\"] {C 0 0 1}\n" : "[LY \"U0\"] {C 0 0 1}\n";
    one += "[LY \"U0\"] {C 0 0 1}\n";
  }
  const int64_t inTurn = PeakHeapOfImport(turns + "}}}\n");
  const int64_t alone = PeakHeapOfImport(one + "}}}\n");
  EXPECT_LT((inTurn - alone) / kObjects, 8) << inTurn << " against " << alone;
}

// The lookup that answers plain names without the locale answers as IndexOf does: the
// first entry equal without regard to case, also where an entry that is not plain
// comes first.
TEST(KivoNameLookup, AnswersAsIndexOf) {
  TStringList list;
  for (const char* entry : {"TOP", "Top_2", "t\xE9st", "SILK", "top", "a-b", "A_B", "", "silk"})
    list.Add(entry);
  const TKivoNameLookup lookup(list);
  for (const char* name : {"TOP", "top", "tOp", "TOP_2", "top_2", "T\xC9ST", "t\xE9st", "silk",
                           "A-B", "a_b", "", "U1", "TOP ", "ab"})
    EXPECT_EQ(lookup.IndexOf(list, name), list.IndexOf(name)) << name;
  TStringList sorted;
  sorted.SetSorted(true);
  sorted.Add("B");
  sorted.Add("a");
  const TKivoNameLookup sortedLookup(sorted);
  EXPECT_EQ(sortedLookup.IndexOf(sorted, "A"), sorted.IndexOf("A"));
}
