// Hostile files through the whole import: every truncation of the samples, the
// project's mutator, and hand-made extremes. Each one must end within its deadline,
// without a crash, answering as its report says, with the board-modify bracket closed
// and nothing written outside the input's folder.
//
// The mutation count is KIVO_CAMPAIGN_MUTATIONS (default 300), its seed
// KIVO_CAMPAIGN_SEED; scripts/campaign.sh runs the full campaign.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "classlib/Boundary.h"
#include "classlib/FileUtils.h"
#include "classlib/Strings.h"
#include "classlib/Win.h"
#include "host/RecentExpressionList.h"
#include "host/Utilities.h"
#include "importer/ImportSettings.h"
#include "tests/importer/HostileImportSupport.h"
#include "tests/importer/ImporterTestSupport.h"
#include "tests/importer/KivoMutation.h"
#include "tests/importer/MutationOracle.h"
#include "tests/ravelo/RaveloTestSupport.h"
#include "tests/support/TestSupport.h"
#include "tools/kivogen/KivoBoardGenerator.h"

namespace {

constexpr double kDeadline = 20;  // seconds for a small file

int EnvironmentNumber(const char* name, int fallback) {
  const char* value = getenv(name);
  return value && *value ? atoi(value) : fallback;
}

// The full campaign (scripts/campaign.sh) cuts the generated board at every offset too.
bool Full() { return EnvironmentNumber("KIVO_CAMPAIGN_FULL", 0) != 0; }

std::string Sample(const std::string& relative) {
  return ReadWholeFile(std::string("Z:") + KIVO_SOURCE_DIR + "/" + relative);
}

class HostileImport : public RaveloTest {
 protected:
  void SetUp() override {
    RaveloTest::SetUp();
    FFolder = ScratchFolder() + "hostile\\";
    ForceDirectories(FFolder);
    FScratchBefore = SnapshotFiles(ScratchFolder());
    FWorkBefore = SnapshotFiles(GetCurrentDir());
  }
  void TearDown() override {
    // Only the input folder may have been written to: nothing else in this executable's
    // scratch folder, and no report, board or settings file in the current folder
    // (other executables and builds may write there meanwhile).
    for (const std::string& name : ChangedFiles(FScratchBefore, SnapshotFiles(ScratchFolder())))
      EXPECT_EQ(name.rfind(FFolder, 0), 0u) << "written outside the input's folder: " << name;
    for (const std::string& name : ChangedFiles(FWorkBefore, SnapshotFiles(GetCurrentDir()))) {
      const std::string extension = UpperCase(ExtractFileExt(name));
      EXPECT_TRUE(extension != ".RPT" && extension != ".PDF" && extension != ".INI" &&
                  extension != ".CFG")
          << "written into the current folder: " << name;
    }
    RaveloTest::TearDown();
  }

  static std::string GetCurrentDir() {
    char folder[MAX_PATH];
    GetCurrentDirectoryA(MAX_PATH, folder);
    return folder;
  }

  // Imports `bytes` written to `name` in the input folder and checks the outcome.
  THostileOutcome ImportBytes(const std::string& name, const std::string& bytes,
                              const std::string& label, double deadline = kDeadline) {
    const std::string path = FFolder + name;
    WriteWholeFile(path, bytes);
    return ImportChecked(path, label, deadline);
  }
  THostileOutcome ImportChecked(const std::string& path, const std::string& label,
                                double deadline = kDeadline) {
    // A fresh board for every file keeps the server's work per import small.
    Control().Reset();
    FBoard = Control().CreateBoard("C:\\Boards\\Hostile.PcbDoc");
    Control().SetCurrentBoard(FBoard);
    const THostileOutcome outcome = ImportHostileFile(path, FBoard, label, deadline);
    const std::string failures = HostileOutcomeFailures(outcome);
    EXPECT_TRUE(failures.empty()) << label << ":" << failures;
    return outcome;
  }
  static void WriteWholeFile(const std::string& path, const std::string& bytes) {
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE) << path;
    DWORD written = 0;
    WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    CloseHandle(file);
    ASSERT_EQ(written, bytes.size()) << path;
  }

  // An oracle of `sample` whose imports are checked as every hostile import.
  TMutationOracle Oracle(const std::string& sample) {
    return TMutationOracle(sample, [this](const std::string& text, const std::string& label) {
      return ImportBytes("reference.pdf", text, label);
    });
  }
  static int Failures() {
    return ::testing::UnitTest::GetInstance()->current_test_info()->result()->total_part_count();
  }
  THostileOutcome ImportSkippingMisplacedSections(const std::string& bytes, const std::string& label);

  std::string FFolder;
  TFileSnapshot FScratchBefore, FWorkBefore;
};

const std::string& GeneratedSample() {
  static const std::string sample = GenerateKivoBoardText(6000, /*seed=*/7);
  return sample;
}

TEST_F(HostileImport, TheSamplesImportWhole) {
  EXPECT_TRUE(ImportBytes("demo.pdf", Sample("examples/demo.pdf"), "demo.pdf").Result);
  EXPECT_TRUE(ImportBytes("generated.pdf", GeneratedSample(), "generated board").Result);
}

TEST_F(HostileImport, EveryTruncationOfTheSamples) {
  const struct {
    const char* Name;
    std::string Bytes;
    size_t Step;  // every offset of the demo board, a dense sample of the larger one
  } samples[] = {{"demo", Sample("examples/demo.pdf"), 1},
                 {"generated", GeneratedSample(), Full() ? 1u : 29u}};
  for (const auto& sample : samples) {
    ASSERT_GT(sample.Bytes.size(), 1000u) << sample.Name;
    int accepted = 0, toldEarly = 0;
    const size_t component = sample.Bytes.find("{COMPONENT") + std::strlen("{COMPONENT");
    for (size_t length = 0; length < sample.Bytes.size(); length += sample.Step) {
      const std::string label = std::string(sample.Name) + " cut at " + std::to_string(length);
      const THostileOutcome outcome = ImportBytes("cut.pdf", sample.Bytes.substr(0, length), label);
      accepted += outcome.Result;
      toldEarly += outcome.EndsEarly;
      // Once the COMPONENT block is read, a cut before a "}" that closes it ends inside an
      // open block, and the report says so; the cut of the last line end only does not.
      if (outcome.Result && length >= component) {
        EXPECT_EQ(outcome.EndsEarly, sample.Bytes.find('}', length) != std::string::npos) << label;
      }
      if (HasFailure())
        return;
    }
    printf("[ figures  ] %s: %zu truncations, %d answered True, %d told they end early\n",
           sample.Name, (sample.Bytes.size() + sample.Step - 1) / sample.Step, accepted, toldEarly);
  }
}

// Besides the checks of every hostile import, each mutant's import must keep every
// object of its sample that its edits may not have lost (TMutationOracle). The campaign
// goes on past a mutant that fails, so that its figures count them all; the first
// failed mutants are kept in the input's folder for a regression test.
TEST_F(HostileImport, MutationCampaign) {
  const int count = EnvironmentNumber("KIVO_CAMPAIGN_MUTATIONS", 300);
  const int seed = EnvironmentNumber("KIVO_CAMPAIGN_SEED", 1);
  TMutationOracle oracles[] = {Oracle(Sample("examples/demo.pdf")), Oracle(GeneratedSample())};
  TKivoMutator mutator(static_cast<uint64_t>(seed));
  int accepted = 0, boxes = 0, failed = 0;
  int kinds[3] = {};
  double total = 0, slowest = 0;
  for (int i = 0; i < count; ++i) {
    TMutationOracle& oracle = oracles[i % 2];
    const TMutant mutant = mutator.Mutate(oracle.GetSample());
    ++kinds[mutant.Kind];
    const std::string label = "mutant " + std::to_string(i) + " of seed " + std::to_string(seed);
    const int failuresBefore = Failures();
    const THostileOutcome outcome = ImportBytes("mutant.pdf", mutant.Text, label);
    const std::string lost = oracle.Check(mutant, outcome);
    if (!lost.empty()) {
      printf("[ oracle   ] %s of the %s sample:%s\n", label.c_str(), i % 2 ? "generated" : "demo",
             lost.c_str());
      ADD_FAILURE() << label << " lost what it may not:" << lost;
    }
    if (Failures() > failuresBefore && ++failed <= 100)
      WriteWholeFile(FFolder + "failed-mutant-" + std::to_string(i) + ".pdf", mutant.Text);
    accepted += outcome.Result;
    boxes += outcome.ErrorBoxes;
    total += outcome.Seconds;
    slowest = std::max(slowest, outcome.Seconds);
  }
  printf("[ figures  ] %d mutations (seed %d): %d of damage, %d valid but unusual, %d of damage "
         "to be told; %d answered True, %d False, %d error boxes; %.1f s in imports, %.1f ms on "
         "average, slowest %.1f ms\n",
         count, seed, kinds[TMutant::mkDamage], kinds[TMutant::mkUnusual],
         kinds[TMutant::mkMustTell], accepted, count - accepted, boxes, total,
         1000 * total / std::max(count, 1), 1000 * slowest);
  for (const TMutationOracle& oracle : oracles) {
    const TMutationOracle::TFigures& f = oracle.GetFigures();
    printf("[ figures  ] oracle of the %s sample: %d kept every object, %d lost only in the "
           "blocks they touched, %d lost more and told it, %d not compared (answered False), "
           "%d compared without places; %d failed\n",
           &oracle == &oracles[0] ? "demo" : "generated", f.KeptAll, f.LostInside, f.LostTold,
           f.Refused, f.Unplaced, f.Failed);
  }
  printf("[ figures  ] %d mutants failed\n", failed);
}

// Where line `line` (from 1) of `text` begins, as the reader counts lines: a CR ends
// one, and an LF unless it follows a CR.
size_t LineStartOf(const std::string& text, int line) {
  size_t at = 0;
  for (; line > 1 && at < text.size(); ++at) {
    if (text[at] == '\r' && at + 1 < text.size() && text[at + 1] == '\n')
      ++at;
    if (text[at] == '\r' || text[at] == '\n')
      --line;
  }
  return at;
}

// A reader that skips a section met where it cannot stand, silently: each section the
// report tells as misplaced is blanked out of the file and the file imported again,
// without the warnings that told it. The oracle must catch it.
THostileOutcome HostileImport::ImportSkippingMisplacedSections(const std::string& bytes,
                                                               const std::string& label) {
  std::string text = bytes;
  THostileOutcome outcome = ImportBytes("planted.pdf", text, label);
  for (int round = 0; round < 20; ++round) {
    bool skipped = false;
    for (size_t at = outcome.Report.find("WARNING: The "); at != std::string::npos;
         at = outcome.Report.find("WARNING: The ", at + 1)) {
      const std::string warning = outcome.Report.substr(at, outcome.Report.find("\r\n", at) - at);
      if (warning.find(" lies inside the ") == std::string::npos)
        continue;
      const std::string keyword = warning.substr(13, warning.find(' ', 13) - 13);
      // The section's "{" on the line told, and the "}" that closes it.
      const size_t open = text.find("{" + keyword, LineStartOf(text, WarningLine(warning)));
      if (open == std::string::npos)
        continue;
      size_t close = open;
      for (int depth = 0; close < text.size(); ++close) {
        depth += text[close] == '{';
        if (text[close] == '}' && --depth == 0)
          break;
      }
      for (size_t i = open; i <= close && i < text.size(); ++i)
        if (text[i] != '\r' && text[i] != '\n')
          text[i] = ' ';
      skipped = true;
    }
    if (!skipped)
      break;
    outcome = ImportBytes("planted.pdf", text, label + " skipping misplaced sections");
  }
  // Nothing tells the sections skipped.
  for (size_t at; (at = outcome.Report.find(" lies inside the ")) != std::string::npos;) {
    const size_t start = outcome.Report.rfind("\r\n", at) + 2;
    outcome.Report.erase(start, outcome.Report.find("\r\n", at) + 2 - start);
  }
  return outcome;
}

// Mutants that make sections stand where they cannot: the "}" of each section of DETAIL
// but the last deleted, or an unclosed block written before it.
std::vector<TMutant> MisplacingMutants(const TKivoSample& sample) {
  std::vector<TMutant> mutants;
  const auto sections = sample.BlocksOf(TKivoSample::brSection);
  for (size_t s = 0; s + 1 < sections.size(); ++s) {
    const TKivoSample::TBlock& section = sample.GetBlocks()[sections[s]];
    const TKivoSample::TBlock& next = sample.GetBlocks()[sections[s + 1]];
    if (sample.GetBlocks()[section.Parent].Keyword != "DETAIL" || next.Parent != section.Parent)
      continue;
    TMutant deleted(sample.GetText());
    deleted.Erase(section.Close, 1);
    deleted.What = "the \"}\" of the " + section.Keyword + " block deleted";
    mutants.push_back(deleted);
    TMutant opened(sample.GetText());
    opened.Insert(section.Close, "{NOTE ");
    opened.What = "an unclosed \"{NOTE\" written before the \"}\" of the " + section.Keyword + " block";
    mutants.push_back(opened);
  }
  return mutants;
}

TEST_F(HostileImport, TheOraclePassesAnHonestImport) {
  for (const std::string& text : {Sample("examples/demo.pdf"), GeneratedSample()}) {
    TMutationOracle oracle = Oracle(text);
    const std::vector<TMutant> mutants = MisplacingMutants(oracle.GetSample());
    ASSERT_GE(mutants.size(), 4u);
    for (const TMutant& mutant : mutants) {
      const THostileOutcome outcome = ImportBytes("honest.pdf", mutant.Text, mutant.What);
      EXPECT_NE(outcome.Report.find(" lies inside the "), std::string::npos) << mutant.What;
      EXPECT_EQ(oracle.Check(mutant, outcome), "") << mutant.What;
    }
    EXPECT_EQ(oracle.Check(TMutant(text), oracle.GetSampleOutcome()), "");
  }
}

// Fault planted: misplaced sections skipped silently (a fault the earlier oracle let
// pass): every mutant whose silent skip loses objects fails.
TEST_F(HostileImport, TheOracleFailsASilentSkipOfMisplacedSections) {
  int losing = 0;
  for (const std::string& text : {Sample("examples/demo.pdf"), GeneratedSample()}) {
    TMutationOracle oracle = Oracle(text);
    for (const TMutant& mutant : MisplacingMutants(oracle.GetSample())) {
      const THostileOutcome honest = ImportBytes("honest.pdf", mutant.Text, mutant.What);
      const THostileOutcome planted = ImportSkippingMisplacedSections(mutant.Text, mutant.What);
      int honestCount = 0, plantedCount = 0;
      for (const auto& [kind, n] : honest.Objects)
        honestCount += n;
      for (const auto& [kind, n] : planted.Objects)
        plantedCount += n;
      if (plantedCount >= honestCount)
        continue;
      ++losing;
      EXPECT_NE(oracle.Check(mutant, planted), "") << mutant.What << ": the silent skip passed";
    }
  }
  EXPECT_GE(losing, 4);
}

const char kHead[] =
    "{COMPONENT \"hostile\"\n"
    "{ENVIRONMENT {KIVOVREV \"3.0\"} {DBUNIT \"MIL\"} {DBGRID 1} {LYRSTR \"TOP\" 1}}\n";

TEST_F(HostileImport, HandMadeExtremes) {
  const std::string megabyte(1 << 20, 'x');
  const struct {
    const char* Name;
    std::string Bytes;
  } cases[] = {
      {"empty", ""},
      {"only an opening brace", "{"},
      {"100,000 nested braces",
       std::string(kHead) + "{DETAIL {ANNOTATE " + std::string(100000, '{') + "\n"},
      {"100,000 nested braces closed",
       std::string(kHead) + "{DETAIL " + std::string(100000, '{') + std::string(100000, '}')},
      {"a 1 MB token", std::string(kHead) + "{DETAIL {ANNOTATE [LY \"TOP\"] {" + megabyte + "}}}}"},
      {"a 1 MB text", std::string(kHead) + "{DETAIL {ANNOTATE [LY \"TOP\"] {T \"" + megabyte +
                          "\" 1 2}}}}"},
      {"a 1 MB layer name", std::string(kHead) + "{DETAIL {ANNOTATE [LY \"" + megabyte +
                                "\"] {L 0 0 1 1}}}}"},
      {"NUL and 8-bit bytes",
       std::string(kHead) + std::string("{DETAIL {ANNOTATE [LY \"T\0P\"] {T \"\xE9\xFF\0\x80\" 1 2}"
                                        " {L 0\0 0 \x81 1}}}}\0\0",
                                        64)},
      {"only 8-bit bytes", std::string(4096, '\xFF')},
      {"numbers of 400 digits",
       std::string(kHead) + "{DETAIL {ANNOTATE [LY \"TOP\"] [WD " + std::string(400, '9') +
           "] {L " + std::string(400, '7') + " -" + std::string(400, '8') + " 0." +
           std::string(400, '5') + " 1} {C 0 0 " + std::string(400, '1') + "}}}}"},
      {"numbers of 400 digits as integers",
       "{COMPONENT \"x\" {ENVIRONMENT {KIVOVREV \"4.0\"} {DBUNIT \"MIL\"} {DBGRID " +
           std::string(400, '3') + "} {LYRSTR \"TOP\" " + std::string(400, '2') +
           "}} {DETAIL {ANNOTATE [LY \"TOP\"] {L " + std::string(400, '4') + " 0 1 1}}}}"},
  };
  for (const auto& c : cases)
    ImportBytes("handmade.pdf", c.Bytes, c.Name);
}

// Valid but unusual input: a brace quoted or escaped in a value of each kind of block
// the reader skips, a comment line holding a brace inside one, every line indented by
// tabs. The import keeps every object of the sample.
TEST_F(HostileImport, UnusualButValidInputKeepsEveryObject) {
  for (const std::string& text : {Sample("examples/demo.pdf"), GeneratedSample()}) {
    TMutationOracle oracle = Oracle(text);
    const TKivoSample& sample = oracle.GetSample();
    // The first skipped block of each keyword where it stands; the choices of the
    // targeted edits count the skipped blocks first, then the variants.
    std::vector<size_t> firsts;
    std::set<std::string> seen;
    size_t skipped = 0;
    for (const TKivoSample::TBlock& block : sample.GetBlocks()) {
      if (!block.Skipped)
        continue;
      if (seen.insert(block.Keyword + " in " + sample.GetBlocks()[block.Parent].Keyword).second)
        firsts.push_back(skipped);
      ++skipped;
    }
    ASSERT_FALSE(firsts.empty());
    std::vector<TMutant> mutants;
    for (size_t first : firsts) {
      for (size_t variant = 0; variant < 7; ++variant) {
        mutants.emplace_back(text);
        ASSERT_TRUE(TKivoMutator::BraceInSkippedValue(sample, first + variant * skipped, mutants.back()));
      }
      for (size_t variant = 0; variant < 4; ++variant) {
        mutants.emplace_back(text);
        ASSERT_TRUE(TKivoMutator::BraceOnCommentLine(sample, first + variant * skipped, mutants.back()));
      }
    }
    mutants.emplace_back(text);
    ASSERT_TRUE(TKivoMutator::IndentByTabs(sample, 0, 1u << 20, mutants.back()));
    for (const TMutant& mutant : mutants) {
      const THostileOutcome outcome = ImportBytes("unusual.pdf", mutant.Text, mutant.What);
      EXPECT_TRUE(outcome.Result) << mutant.What;
      EXPECT_EQ(oracle.Check(mutant, outcome), "") << mutant.What;
    }
  }
}

// Damage that the reader must tell: each layer attribute misspelt (its objects stand on
// a layer the file does not declare), each instance made one of a definition the file
// does not have. Whatever the import loses, it tells, even inside the edited block.
TEST_F(HostileImport, UndeclaredLayersAndUnknownDefinitionsAreTold) {
  for (const std::string& text : {Sample("examples/demo.pdf"), GeneratedSample()}) {
    TMutationOracle oracle = Oracle(text);
    const TKivoSample& sample = oracle.GetSample();
    std::vector<TMutant> mutants;
    for (size_t layer = 0; layer < sample.GetLayerAttributes().size(); ++layer) {
      mutants.emplace_back(text);
      ASSERT_TRUE(TKivoMutator::UndeclaredLayer(sample, layer, mutants.back()));
    }
    const size_t instances = static_cast<size_t>(std::count_if(
        sample.GetBlocks().begin(), sample.GetBlocks().end(),
        [](const TKivoSample::TBlock& b) { return b.Role == TKivoSample::brUnit && b.Keyword == "I"; }));
    ASSERT_GT(instances, 0u);
    for (size_t instance = 0; instance < instances; ++instance) {
      mutants.emplace_back(text);
      ASSERT_TRUE(TKivoMutator::UnknownDefinition(sample, instance, mutants.back()));
    }
    for (const TMutant& mutant : mutants) {
      const THostileOutcome outcome = ImportBytes("told.pdf", mutant.Text, mutant.What);
      EXPECT_EQ(oracle.Check(mutant, outcome), "") << mutant.What;
    }
  }
}

TEST_F(HostileImport, AHundredMegabyteLine) {
  // One line: a text value of 100 MB inside a valid board, read and cut.
  const std::string path = FFolder + "line.pdf";
  FILE* file = fopen(path.c_str(), "wb");
  ASSERT_NE(file, nullptr);
  const std::string head = std::string(kHead) + "{DETAIL {ANNOTATE [LY \"TOP\"] {T \"";
  fwrite(head.data(), 1, head.size(), file);
  const std::string chunk(1 << 20, 'y');
  for (int i = 0; i < 100; ++i)
    fwrite(chunk.data(), 1, chunk.size(), file);
  const std::string tail = "\" 1 2} {L 0 0 1 1}}}}";
  fwrite(tail.data(), 1, tail.size(), file);
  fclose(file);
  EXPECT_TRUE(ImportChecked(path, "a 100 MB line", /*deadline=*/120).Result);
  DeleteFileA(path.c_str());
}

TEST_F(HostileImport, LineEndsOfEveryKindGiveTheSameBoard) {
  const std::string demo = Sample("examples/demo.pdf");
  std::string crOnly = demo, crlf;
  std::replace(crOnly.begin(), crOnly.end(), '\n', '\r');
  for (char c : demo)
    crlf += c == '\n' ? std::string("\r\n") : std::string(1, c);
  std::vector<std::string> dumps;
  for (const std::string& bytes : {demo, crOnly, crlf}) {
    EXPECT_TRUE(ImportBytes("ends.pdf", bytes, "line ends").Result);
    // The objects, without the board line (the file's name) and the progress total
    // (the file's size).
    const std::string dump = Dump(FBoard);
    dumps.push_back(dump.substr(dump.find('\n'), dump.find("progress init") - dump.find('\n')));
  }
  EXPECT_TRUE(dumps[1] == dumps[0]) << "CR-only line ends give another board";
  EXPECT_TRUE(dumps[2] == dumps[0]) << "CR LF line ends give another board";
}

// The set-ups of folders, locks and settings, each made for real in the input's folder
// and checked to stop writes before the import: the report cannot be written (the
// folder read-only, the report held open, read-only or a folder), the input is held
// open, the input is named like its report, the settings folder cannot be written.
TEST_F(HostileImport, SetUpsOfFoldersLocksAndSettings) {
  const std::string demo = Sample("examples/demo.pdf");
  auto place = [&](const std::string& name) {
    const std::string path = FFolder + name;
    ForceDirectories(ExtractFileDir(path));
    WriteWholeFile(path, demo);
    return path;
  };
  auto unwritable = [](const std::string& path) {
    auto setUp = std::make_unique<TUnwritable>(path);
    EXPECT_TRUE(setUp->Real()) << path << ": " << setUp->How();
    return setUp;
  };
  int setUps = 0;
  // The report cannot be written: the import stands, and the failure names the report.
  auto expectReportRefused = [&](const std::string& kivo, const std::string& label) {
    const THostileOutcome outcome = ImportChecked(kivo, label);
    EXPECT_TRUE(outcome.Result) << label;
    EXPECT_EQ(outcome.ReportPath, "") << label;
    EXPECT_NE(outcome.ReportError.find(ChangeFileExt(kivo, ".rpt")), std::string::npos)
        << label << ": " << outcome.ReportError;
    ++setUps;
  };
  {
    const std::string kivo = place("read-only folder\\board.pdf");
    const auto setUp = unwritable(ExtractFileDir(kivo));
    expectReportRefused(kivo, "the input's folder read-only");
  }
  {
    const std::string kivo = place("held\\board.pdf");
    WriteWholeFile(ChangeFileExt(kivo, ".rpt"), "an earlier report");
    HANDLE held = CreateFileA(ChangeFileExt(kivo, ".rpt").c_str(), GENERIC_READ, 0, nullptr,
                              OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    expectReportRefused(kivo, "the report held open without sharing");
    CloseHandle(held);
  }
  {
    const std::string kivo = place("read-only report\\board.pdf");
    WriteWholeFile(ChangeFileExt(kivo, ".rpt"), "an earlier report");
    const auto setUp = unwritable(ChangeFileExt(kivo, ".rpt"));
    expectReportRefused(kivo, "the report read-only");
  }
  {
    const std::string kivo = place("report folder\\board.pdf");
    CreateDirectoryA(ChangeFileExt(kivo, ".rpt").c_str(), nullptr);
    expectReportRefused(kivo, "a folder named like the report");
  }
  {
    // The input held open: reading fails, the import answers False, the report says why.
    const std::string kivo = place("locked input\\board.pdf");
    HANDLE held = CreateFileA(kivo.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    const THostileOutcome outcome = ImportChecked(kivo, "the input held open");
    CloseHandle(held);
    EXPECT_FALSE(outcome.Result);
    EXPECT_TRUE(outcome.ReportWritten);
    ++setUps;
  }
  {
    // The input named like its report: it stays, the report goes beside it.
    const std::string kivo = place("named\\board.rpt");
    const THostileOutcome outcome = ImportChecked(kivo, "the input named board.rpt");
    EXPECT_TRUE(outcome.Result);
    EXPECT_EQ(ReadWholeFile(kivo), demo);
    EXPECT_EQ(outcome.ReportPath, FFolder + "named\\board-report.rpt");
    ++setUps;
  }
  {
    // The settings folder cannot be written: the layer map falls back on the built-in
    // rows, and the recent filter list that cannot be saved is told, and goes.
    const std::string base = FFolder + "profile";
    ForceDirectories(base + "\\Zorvan");
    RedirectUserDataFolder(base);
    const auto setUp = unwritable(base + "\\Zorvan");
    EXPECT_EQ(LoadDefaultLayerMap().size(), 77u);
    static std::vector<std::string> reported;
    reported.clear();
    const TBoundaryHandler previous = SetBoundaryHandler(
        [](const char*, const std::exception* e) { reported.push_back(e ? e->what() : "?"); });
    CreateRecentExpressionList("KIVOImporter", base + "\\Zorvan", FFolder);
    FreeRecentExpressionList();
    SetBoundaryHandler(previous);
    RedirectUserDataFolder("");
    ASSERT_EQ(reported.size(), 1u);
    EXPECT_EQ(reported[0].rfind("Could not save the recent filter expressions to \"" + base +
                                    "\\Zorvan\\KIVOImporterRecentFilters.Txt\" because ",
                                0),
              0u)
        << reported[0];
    ++setUps;
  }
  printf("[ figures  ] %d set-ups of folders, locks and settings imported as expected\n", setUps);
}

TEST_F(HostileImport, APathOfThreeHundredCharacters) {
  // Fault: the report manager kept the name in a 255-character short string, so the
  // report went to a cut name in a parent folder. The name is kept whole: the import
  // fails clearly and nothing is written outside the input's folder.
  // The folders and the file are made through the wide long-path calls (the plain ones
  // stop at 260 characters).
  const auto wide = [](const std::string& text) {
    return L"\\\\?\\" + std::wstring(text.begin(), text.end());
  };
  std::string path = FFolder;
  while (path.size() < 280) {
    path += "deep-folder-name\\";
    CreateDirectoryW(wide(path).c_str(), nullptr);
  }
  path += std::string(296 - path.size(), 'n') + ".pdf";
  const std::string demo = Sample("examples/demo.pdf");
  HANDLE file = CreateFileW(wide(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(file, INVALID_HANDLE_VALUE);
  DWORD written = 0;
  WriteFile(file, demo.data(), static_cast<DWORD>(demo.size()), &written, nullptr);
  CloseHandle(file);
  ASSERT_EQ(path.size(), 300u);
  Control().Reset();
  FBoard = Control().CreateBoard("C:\\Boards\\Hostile.PcbDoc");
  const THostileOutcome outcome = ImportHostileFile(path, FBoard, "a 300-character path", kDeadline);
  EXPECT_FALSE(outcome.Result);  // the file cannot be read
  EXPECT_NE(outcome.ReportError.find(".rpt"), std::string::npos) << outcome.ReportError;
  EXPECT_EQ(outcome.BracketBegins, 0);
  EXPECT_EQ(outcome.BracketEnds, 0);
}

}  // namespace
