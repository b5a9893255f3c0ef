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
#include <memory>
#include <cstdlib>
#include <cstring>
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

// Besides the checks of every hostile import, a mutant whose import tells nothing that
// the sample's did not must keep what its edits did not touch (TMutationOracle).
TEST_F(HostileImport, MutationCampaign) {
  const int count = EnvironmentNumber("KIVO_CAMPAIGN_MUTATIONS", 300);
  const int seed = EnvironmentNumber("KIVO_CAMPAIGN_SEED", 1);
  const std::string samples[] = {Sample("examples/demo.pdf"), GeneratedSample()};
  const TMutationOracle oracles[] = {TMutationOracle(samples[0]), TMutationOracle(samples[1])};
  const THostileOutcome imported[] = {ImportBytes("sample.pdf", samples[0], "demo.pdf"),
                                      ImportBytes("sample.pdf", samples[1], "generated board")};
  TKivoMutator mutator(static_cast<uint64_t>(seed));
  int accepted = 0, boxes = 0, toldNoMore = 0, successful = 0;
  double total = 0, slowest = 0;
  for (int i = 0; i < count; ++i) {
    const std::string mutant = mutator.Mutate(samples[i % 2]);
    const std::string label = "mutant " + std::to_string(i) + " of seed " + std::to_string(seed);
    const THostileOutcome outcome = ImportBytes("mutant.pdf", mutant, label);
    if (!HasFailure() && TMutationOracle::ToldNoMore(outcome, imported[i % 2])) {
      ++toldNoMore;
      successful += outcome.LoadWarnings == 0;
      const std::string reference = oracles[i % 2].Reference(mutant);
      const THostileOutcome kept =
          reference == samples[i % 2] ? imported[i % 2]
                                      : ImportBytes("reference.pdf", reference, label + "'s reference");
      const std::string losses = TMutationOracle::Losses(outcome, kept);
      EXPECT_TRUE(losses.empty()) << label << " told nothing the sample's import did not, yet lost"
                                  << losses << " of what its edits did not touch";
    }
    if (HasFailure()) {
      // Kept for the regression test.
      WriteWholeFile(FFolder + "failed-mutant-" + std::to_string(i) + ".pdf", mutant);
      return;
    }
    accepted += outcome.Result;
    boxes += outcome.ErrorBoxes;
    total += outcome.Seconds;
    slowest = std::max(slowest, outcome.Seconds);
  }
  printf("[ figures  ] %d mutations (seed %d): %d answered True, %d False, %d error boxes; "
         "%.1f s in imports, %.1f ms on average, slowest %.1f ms\n",
         count, seed, accepted, count - accepted, boxes, total, 1000 * total / std::max(count, 1),
         1000 * slowest);
  printf("[ figures  ] %d told no more than their sample (%d of them without a warning), each "
         "keeping all its untouched reference keeps\n",
         toldNoMore, successful);
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
