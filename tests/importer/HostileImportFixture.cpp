#include "tests/importer/HostileImportFixture.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <set>

#include "classlib/FileUtils.h"
#include "classlib/Strings.h"
#include "classlib/Win.h"
#include "tests/importer/BoardAsWritten.h"
#include "tests/importer/ImporterTestSupport.h"
#include "tests/support/TestSupport.h"
#include "tools/kivogen/KivoBoardGenerator.h"
#include "tools/kivogen/KivoSampleBoard.h"

namespace {

// The fault the whole campaign runs with when KIVO_CAMPAIGN_PLANT names one
// (scripts/campaign.sh): to show that the campaign finds it by itself.
const struct {
  const char* Name;
  TKivoPlantedFault Fault;
} kPlantable[] = {{"DropEveryThirdVia", TKivoPlantedFault::DropEveryThirdVia},
                  {"SkipCountsEscapedBrace", TKivoPlantedFault::SkipCountsEscapedBrace},
                  {"ConnectionListSkipsToEnd", TKivoPlantedFault::ConnectionListSkipsToEnd},
                  {"EveryFifthTextUnturned", TKivoPlantedFault::EveryFifthTextUnturned},
                  {"ConnectionSwapsPins2And3", TKivoPlantedFault::ConnectionSwapsPins2And3}};

std::string GetCurrentDir() {
  char folder[MAX_PATH];
  GetCurrentDirectoryA(MAX_PATH, folder);
  return folder;
}

// The generated sample and the objects its generator wrote.
struct TGenerated {
  std::string Text;
  std::vector<TKivoBoardObject> Objects;
};
const TGenerated& Generated() {
  static const TGenerated generated = [] {
    TGenerated board;
    board.Text = GenerateKivoSampleBoard(/*seed=*/7, &board.Objects);
    return board;
  }();
  return generated;
}

}  // namespace

int CampaignNumber(const char* name, int fallback) {
  const char* value = getenv(name);
  return value && *value ? atoi(value) : fallback;
}

bool FullCampaign() { return CampaignNumber("KIVO_CAMPAIGN_FULL", 0) != 0; }

std::string SourceSample(const std::string& relative) {
  return ReadWholeFile(std::string("Z:") + KIVO_SOURCE_DIR + "/" + relative);
}

const std::string& GeneratedSample() { return Generated().Text; }

std::string GeneratedSampleMismatch(const std::string& dump) {
  return BoardAsWritten(
      Generated().Objects,
      [](const std::string& name) {
        for (int i = 0; i < static_cast<int>(std::size(cKivoBoardLayers)); ++i)
          if (name == cKivoBoardLayers[i].Name)
            return HostileHostLayer(i);
        return 0;
      },
      dump);
}

void HostileImport::SetUp() {
  RaveloTest::SetUp();
  if (const char* planted = getenv("KIVO_CAMPAIGN_PLANT"); planted && *planted) {
    const auto known = std::find_if(std::begin(kPlantable), std::end(kPlantable),
                                    [&](const auto& p) { return std::strcmp(p.Name, planted) == 0; });
    ASSERT_NE(known, std::end(kPlantable)) << "no fault can be planted by the name " << planted;
    Plant(known->Fault);
  }
  FFolder = ScratchFolder() + "hostile\\";
  ForceDirectories(FFolder);
  FScratchBefore = SnapshotFiles(ScratchFolder());
  FWorkBefore = SnapshotFiles(GetCurrentDir());
}

void HostileImport::TearDown() {
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
  FPlanted.reset();
  RaveloTest::TearDown();
}

THostileOutcome HostileImport::ImportBytes(const std::string& name, const std::string& bytes,
                                           const std::string& label, double deadline) {
  const std::string path = FFolder + name;
  WriteWholeFile(path, bytes);
  return ImportChecked(path, label, deadline);
}

THostileOutcome HostileImport::ImportChecked(const std::string& path, const std::string& label,
                                             double deadline) {
  // A fresh board for every file keeps the server's work per import small.
  Control().Reset();
  FBoard = Control().CreateBoard("C:\\Boards\\Hostile.PcbDoc");
  Control().SetCurrentBoard(FBoard);
  const THostileOutcome outcome = ImportHostileFile(path, FBoard, label, deadline, FPlanted.get());
  const std::string failures = HostileOutcomeFailures(outcome);
  EXPECT_TRUE(failures.empty()) << label << ":" << failures;
  return outcome;
}

void HostileImport::WriteWholeFile(const std::string& path, const std::string& bytes) {
  HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(file, INVALID_HANDLE_VALUE) << path;
  DWORD written = 0;
  WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
  CloseHandle(file);
  ASSERT_EQ(written, bytes.size()) << path;
}

TMutationOracle HostileImport::Oracle(const std::string& sample) {
  return TMutationOracle(sample, [this](const std::string& text, const std::string& label) {
    return ImportBytes("reference.pdf", text, label);
  });
}

int HostileImport::Failures() {
  return ::testing::UnitTest::GetInstance()->current_test_info()->result()->total_part_count();
}

void HostileImport::CheckMutants(TMutationOracle& oracle, const std::vector<TMutant>& mutants,
                                 const std::string& what) {
  int failed = 0;
  std::string shown;
  for (const TMutant& mutant : mutants) {
    const THostileOutcome outcome = ImportBytes("targeted.pdf", mutant.Text, mutant.What);
    const std::string lost = oracle.Check(mutant, outcome);
    if (lost.empty())
      continue;
    // Each in the log, as the campaign counts them; the first few in the failure.
    printf("[ oracle   ] a targeted mutant of %s:%s\n", what.c_str(), lost.c_str());
    if (++failed <= 3)
      shown += "\n   " + lost;
  }
  printf("[ figures  ] %zu mutants of %s: %d failed\n", mutants.size(), what.c_str(), failed);
  EXPECT_EQ(failed, 0) << failed << " of " << mutants.size() << " mutants of " << what
                       << " failed, as:" << shown;
}

std::vector<TMutant> EveryTargeted(const TKivoSample& sample, TTargetedEdit edit, size_t step) {
  std::vector<TMutant> mutants;
  std::set<size_t> seen;
  // A choice picks the place, and its quotient by the places the way: a few rounds of
  // the sample's blocks go through them all.
  const size_t choices = 8 * sample.GetBlocks().size() + 8;
  for (size_t choice = 0, distinct = 0; choice < choices; ++choice) {
    TMutant mutant(sample.GetText());
    if (!edit(sample, choice, mutant) || !seen.insert(std::hash<std::string>()(mutant.Text)).second)
      continue;
    if (distinct++ % (FullCampaign() ? 1 : step) == 0)
      mutants.push_back(std::move(mutant));
  }
  return mutants;
}

std::vector<TMutant> OfKind(std::vector<TMutant> mutants, TMutant::TKind kind) {
  mutants.erase(std::remove_if(mutants.begin(), mutants.end(),
                               [&](const TMutant& m) { return m.Kind != kind; }),
                mutants.end());
  return mutants;
}

std::string DumpWithout(const std::string& dump, const std::function<bool(const std::string&)>& drop) {
  std::string kept;
  for (size_t at = 0; at < dump.size();) {
    const size_t end = std::min(dump.find('\n', at), dump.size());
    const std::string line = dump.substr(at, end - at);
    if (line.rfind('#', 0) != 0 || !drop(line))
      kept += line + "\n";
    at = end + 1;
  }
  return kept;
}
