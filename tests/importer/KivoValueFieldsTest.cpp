// The enumerated and numeric fields the reader takes: a value that is none of its
// field's values is told with the value, the field, its line and what was used; the
// format's own results are kept.
#include <gtest/gtest.h>

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "importer/KivoFile.h"
#include "importer/KivoGroups.h"
#include "importer/KivoPadStack.h"
#include "importer/KivoPads.h"
#include "importer/KivoPrimitives.h"
#include "importer/KivoValueFields.h"
#include "importer/ReportManager.h"
#include "tests/importer/ImporterTestSupport.h"

namespace {

const char kUnit[] = "{DBUNIT \"MIL\"}";

// `environment` (with a grid of 1 unless it gives one) and `detail` (on the lines after
// it) as a file.
std::string Board(const std::string& environment, const std::string& detail) {
  const bool grid = environment.find("DBGRID") != std::string::npos;
  return "{COMPONENT \"values\"\n"
         "{ENVIRONMENT {KIVOVREV \"3.0\"} " + std::string(grid ? "" : "{DBGRID 1} ") +
         "{LYRSTR \"TOP\" 1} " + environment + "}\n{DETAIL\n" + detail + "}}\n";
}

// A board holding a value of one field, where "%s" stands, on its line.
struct TFieldBoard {
  std::string Environment;  // beside LYRSTR; DBUNIT "MIL" when it holds no "%s"
  std::string Detail;
  std::string Object;  // what the warning names the value's holder
  std::string Used;    // in place of the row's "%s"
  std::string Other;   // a value that is none of the field's
  std::string Shown;   // how the warning shows it: Other, unquoted
  std::string Good;    // one that is (besides a word field's words)
};

// The file with `value` in place of "%s", and the line the value stands on.
std::pair<std::string, int> WithValue(const TFieldBoard& board, const std::string& value) {
  const bool inEnvironment = board.Environment.find("%s") != std::string::npos;
  std::string environment = inEnvironment ? board.Environment : board.Environment + " " + kUnit;
  std::string detail = board.Detail;
  std::string& holder = inEnvironment ? environment : detail;
  const size_t at = holder.find("%s");
  holder.replace(at, 2, value);
  int line = inEnvironment ? 2 : 4;
  if (!inEnvironment)
    for (size_t i = 0; i < at; ++i)
      line += detail[i] == '\n';
  return {Board(environment, detail), line};
}

// How the report tells `value` of `row` on `line`.
std::string Told(const TKivoValueField& row, const TFieldBoard& board, const std::string& value,
                 int line) {
  std::string used = row.Used;
  if (const size_t at = used.find("%s"); at != std::string::npos)
    used.replace(at, 2, board.Used);
  return "WARNING: " + std::string(row.Name) + " \"" + value + "\"" +
         (board.Object.empty() ? "" : " of " + board.Object) + " at line " + std::to_string(line) +
         " is not " + row.Values + ": " + used + "\r\n";
}

const std::string kPads = "{PAD_STACK {PAD 1 \"C60X30\" \"\"} {PAD_DEF C60X30 {PIC [LY \"PADCOM\"] {C 0 0 30}";
const std::string kInstance =
    "{SUBCOMP {COMP_DEF R {PIN_DEF {P 1 {PT 30} {PLOC 0 0}}}}\n{I R R1 {ATR {IN {ORG 0 0} ";

// A board for each field: the table's rows are each told so.
const std::map<TKivoField, TFieldBoard>& FieldBoards() {
  static const std::map<TKivoField, TFieldBoard> boards = {
      {kfDBTYPE, {"{DBTYPE %s}", "", "", "", "\"PCB\"", "PCB", "\"pc-board\""}},
      {kfDBUNIT, {"{DBUNIT %s}", "", "", "", "\"MIL \"", "MIL ", "\"MIL\""}},
      {kfDBGRID, {"{DBGRID %s}", "", "", "1", "0", "0", "2"}},
      {kfLYRSTR, {"{LYRSTR \"BOTTOM\" %s}", "", "", "", "x", "x", "2"}},
      {kfLYRPHID, {"{LYRPHID \"1\" %s 0}", "", "", "", "x", "x", "1"}},
      {kfSSYMTBL, {"{SSYMTBL \"1\" -1 %s 0}", "", "", "", "1.5", "1.5", "10"}},
      {kfSSYMTBLFlag, {"{SSYMTBL \"1\" %s 0 0}", "", "", "", "5", "5", "0"}},
      {kfAPR, {"{APR %s}", "", "", "", "\"1 0\"", "1 0", "\" 10 \""}},
      {kfPCLR, {"{PCLR %s}", "", "", "", "x", "x", "1.5"}},
      {kfPOLYAP, {"{POLYAP %s}", "", "", "", "x", "x", "1.5"}},
      {kfPSIZ, {"{PSIZ %s}", "", "", "", "x", "x", "1.5"}},
      {kfROTP, {"{ROTP %s}", "", "", "", "x", "x", "0"}},
      {kfAMT, {"", "{ANNOTATE [AMT %s]}", "", "", "x", "x", "1.5"}},
      {kfAPT, {"", "{ANNOTATE [APT %s]}", "", "", "x", "x", "1.5"}},
      {kfLS, {"", "{ANNOTATE [LS %s]}", "", "", "\"WAVY\"", "WAVY", "\"solid\""}},
      {kfWD, {"", "{ANNOTATE [WD %s]}", "", "", "-5", "-5", "5"}},
      {kfTS, {"", "{ANNOTATE [TS %s]}", "", "", "\"5\"", "\"5\"", "5"}},
      {kfTJ, {"", "{ANNOTATE [TJ %s]}", "", "LT", "\"xT\"", "xT", "\"CC\""}},
      {kfTR, {"", "{ANNOTATE [TR %s]}", "", "", "1.5", "1.5", "45"}},
      {kfTM, {"", "{ANNOTATE [TM %s]}", "", "Y", "\"YES\"", "YES", "\"N\""}},
      {kfPAD, {"", "{PAD_STACK\n{PAD %s \"A\" \"\"}}", "", "", "x", "x", "1"}},
      {kfSMD,
       {"", kPads + "}\n{ATR {IN {SMD %s}}}}}", "pad definition C60X30", "", "\"Y \"", "Y ", "\"N\""}},
      {kfDrillText,
       {"", kPads + "\n[LY \"DRILL\"] {T %s 0 0}}}}", "pad definition C60X30", "30mil", "\"X35\"",
        "X35", "\" 35\""}},
      {kfPT, {"", "{SUBCOMP {COMP_DEF R {PIN_DEF\n{P 1 {PT %s} {PLOC 0 0}}}}}", "pin 1", "", "x", "x", "30"}},
      {kfV, {"", kPads + "}}}\n{NET_DEF {N GND {DG [LY \"TOP\"] {V 0 0 %s}}}}", "via of net GND", "",
             "x", "x", "1"}},
      {kfOL, {"", "{ANNOTATE [LY \"TOP\"] {POLY {OL %s 0 0 10 0 10 10}}}", "polygon", "", "3", "3", "2"}},
      {kfRO, {"", kInstance + "{RO %s}}}}}", "component R1", "", "x", "x", "1"}},
      {kfPA, {"", kInstance + "{PA %s}}}}}", "component R1", "", "x", "x", "45"}},
      {kfMR, {"", kInstance + "{MR %s}}}}}", "component R1", "", "\"YES\"", "YES", "\"N\""}},
      {kfPS, {"", kInstance + "{PS %s}}}}}", "component R1", "", "\"t\"", "t", "\"B\""}},
      {kfSC, {"", kInstance + "{SC 1 %s}}}}}", "component R1", "", "x", "x", "2"}},
      {kfUN, {"", kInstance + "{UN %s}}}}}", "component R1", "", "\"MM\"", "MM", "\"MIL\""}},
  };
  return boards;
}

}  // namespace

// Every field of the table, each on a board of its own: a value that is none of the
// field's values is told with the value, the field, the line and what was used, in the
// table's words; its values (a word field's every word) are not told.
TEST(KivoValueFields, EveryFieldTellsAValueThatIsNoneOfItsValues) {
  const auto fields = KivoValueFields();
  ASSERT_EQ(FieldBoards().size(), fields.size()) << "a board for each row of the table";
  for (size_t i = 0; i < fields.size(); ++i) {
    const TKivoValueField& row = fields[i];
    const TFieldBoard& board = FieldBoards().at(static_cast<TKivoField>(i));
    SCOPED_TRACE(row.Name + (" " + board.Object));
    const auto [text, line] = WithValue(board, board.Other);
    const std::string warnings = LoadWarningsAlone(text);
    EXPECT_NE(warnings.find(Told(row, board, board.Shown, line)), std::string::npos) << warnings;
    std::vector<std::string> good{board.Good};
    for (const char* word : row.Words)
      good.push_back(row.Kind == TKivoValueKind::WordsAnyCase || row.Kind == TKivoValueKind::Words
                         ? "\"" + std::string(word) + "\""
                         : word);
    for (const std::string& value : good) {
      const std::string fine = LoadWarningsAlone(WithValue(board, value).first);
      EXPECT_EQ(fine.find("WARNING: " + std::string(row.Name) + " \""), std::string::npos)
          << value << "\n" << fine;
    }
  }
}

// A value told as none of its field's values has none: "has no value".
TEST(KivoValueFields, AMissingValueIsToldAsNone) {
  EXPECT_NE(LoadWarningsAlone(Board(std::string(kUnit) + " {DBGRID}", ""))
                .find("WARNING: DBGRID at line 2 has no value: a grid of 1 was used\r\n"),
            std::string::npos);
  EXPECT_NE(LoadWarningsAlone(Board(kUnit, kInstance + "{PS \"\"}}}}}"))
                .find("WARNING: PS of component R1 at line 5 has no value: the component was placed "
                      "on the bottom side\r\n"),
            std::string::npos);
}

namespace {

// The file `detail` makes with the unit and grid of kUnit, read by the reader alone; its
// load warnings in `warnings`.
std::unique_ptr<TKivoFile> ReadAlone(const std::string& detail, std::string& warnings) {
  const std::string path = WriteScratchFile("values.pdf", Board(kUnit, detail));
  TReportManager report(path);
  auto reader = std::make_unique<TKivoFile>(path, TKivoFile::TReadOnly{});
  reader->SetReport(&report);
  EXPECT_TRUE(reader->ReadModel());
  report.WriteReport();
  warnings = ReadWholeFile(report.GetReportPath());
  return reader;
}

}  // namespace

// Faults: a side, an SMD flag or a drill text that is none of its field's values fell to
// the format's default without a word ({PS "T "}, "t" or "X" put the component on the
// bottom side; {SMD "Y "}, "y" or "YES" made its pads through-hole; a DRILL text "X35"
// gave the hole of 32 mil), a number with blanks around it in its quotes ("35 ", " 35")
// was no number (32 mil), and a bracketed text lost its brackets ((A B) gave A B). Each
// keeps the format's result and is told with what was used; "35 " is 35; a text is the
// file's characters.
TEST(KivoValueFields, ASideSmdFlagOrDrillTextOfNoneOfItsValuesIsTold) {
  const std::string instance = "{SUBCOMP {COMP_DEF R {PIN_DEF {P 1 {PT 30} {PLOC 0 0}}}}\n{I R R1 "
                               "{ATR {IN {ORG 0 0} {PS ";
  const std::string pad = "{PAD_STACK {PAD 1 \"OVAL\" \"\"} {PAD_DEF OVAL {PIC [LY \"PADCOM\"] {C 0 0 30}";
  const std::string side = " of component R1 at line 5 is not one of T and B: the component was "
                           "placed on the bottom side\r\n";
  const std::string smd = " of pad definition OVAL at line 5 is not one of Y and N: its pads were "
                          "made through-hole\r\n";
  for (const char* value : {"T ", "t", "X"}) {
    std::string warnings;
    const auto reader = ReadAlone(instance + "\"" + value + "\"}}}}}", warnings);
    auto& definition = dynamic_cast<TKivoComponent&>(
        *reader->GetBoardComponent().GetDetail().GetComponents().at(0));
    EXPECT_EQ(definition.GetInstances().at(0)->GetSide(), TKivoInstance::BottomSide) << value;
    EXPECT_NE(warnings.find("WARNING: PS \"" + std::string(value) + "\"" + side), std::string::npos)
        << warnings;
  }
  for (const char* value : {"Y ", "y", "YES"}) {
    std::string warnings;
    const auto reader = ReadAlone(pad + "}\n{ATR {IN {SMD \"" + value + "\"}}}}}", warnings);
    const TKivoPadDef* definition =
        reader->GetBoardComponent().GetDetail().GetPadStacks().at(0)->FindPadDefinition("OVAL");
    ASSERT_NE(definition, nullptr);
    EXPECT_EQ(definition->GetSmd(), 0) << value;
    EXPECT_NE(warnings.find("WARNING: SMD \"" + std::string(value) + "\"" + smd), std::string::npos)
        << warnings;
  }
  const struct {
    const char* Value;
    int32_t Hole;
    const char* Told;  // empty: nothing of the drill text
  } drills[] = {
      {"35 ", 350000, ""},
      {" 35", 350000, ""},
      {"X35", 320000,
       "WARNING: Drill text \"X35\" of pad definition OVAL at line 5 is not a whole number: its "
       "through-hole pads and vias take a hole of 32mil\r\n"},
  };
  for (const auto& drill : drills) {
    std::string warnings;
    const auto reader =
        ReadAlone(pad + "\n[LY \"DRILL\"] {T \"" + std::string(drill.Value) + "\" 0 0}}}}", warnings);
    const TKivoPadDef* definition =
        reader->GetBoardComponent().GetDetail().GetPadStacks().at(0)->FindPadDefinition("OVAL");
    ASSERT_NE(definition, nullptr);
    EXPECT_EQ(definition->GetHoleSize(), drill.Hole) << drill.Value;
    if (*drill.Told)
      EXPECT_NE(warnings.find(drill.Told), std::string::npos) << warnings;
    else
      EXPECT_EQ(warnings.find("Drill text"), std::string::npos) << warnings;
  }
  std::string warnings;
  const auto reader = ReadAlone("{ANNOTATE [LY \"TOP\"] {T (A B) -700 680}}", warnings);
  auto& text = dynamic_cast<TKivoText&>(*reader->GetBoardComponent().GetDetail().GetAnnotations().at(0));
  EXPECT_EQ(text.GetText(), "(A B)");
  EXPECT_NE(warnings.find("Load Warnings : 0\r\n"), std::string::npos) << warnings;
}
