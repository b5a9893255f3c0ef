// The fixture of the hostile-input tests (HostileImport.*): whole imports of hostile
// files in a scratch folder, each checked as every hostile import is, the campaign's
// samples and oracles, and the targeted mutants of a sample.
//
// The mutation count is KIVO_CAMPAIGN_MUTATIONS (default 300), its seed
// KIVO_CAMPAIGN_SEED; KIVO_CAMPAIGN_PLANT plants a fault in the reader for every test;
// scripts/campaign.sh runs the full campaign (KIVO_CAMPAIGN_FULL).
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "tests/importer/HostileImportSupport.h"
#include "tests/importer/KivoMutation.h"
#include "tests/importer/MutationOracle.h"
#include "tests/importer/PlantedFaults.h"
#include "tests/ravelo/RaveloTestSupport.h"

constexpr double kHostileDeadline = 20;  // seconds for a small file

int CampaignNumber(const char* name, int fallback);
// The full campaign (scripts/campaign.sh) takes every place and way of the targeted
// edits, and cuts the generated board at every offset.
bool FullCampaign();
// A file of the source tree (the demo board).
std::string SourceSample(const std::string& relative);
// The generated sample (a board that writes every field the reader takes), and what its
// import lacks of the objects its generator wrote, holds beyond them or holds with
// another field: the sample itself is checked, as no mutant's comparison with it can see
// what its own import lost or changed.
const std::string& GeneratedSample();
std::string GeneratedSampleMismatch(const std::string& dump);

class HostileImport : public RaveloTest {
 protected:
  void SetUp() override;
  void TearDown() override;

  // Imports `bytes` written to `name` in the input folder and checks the outcome.
  THostileOutcome ImportBytes(const std::string& name, const std::string& bytes,
                              const std::string& label, double deadline = kHostileDeadline);
  THostileOutcome ImportChecked(const std::string& path, const std::string& label,
                                double deadline = kHostileDeadline);
  static void WriteWholeFile(const std::string& path, const std::string& bytes);
  // An oracle of `sample` whose imports are checked as every hostile import.
  TMutationOracle Oracle(const std::string& sample);
  static int Failures();
  THostileOutcome ImportSkippingMisplacedSections(const std::string& bytes, const std::string& label);
  // Imports each mutant and checks it with `oracle`; the failures are told together, the
  // first few in full, so that one fault met by many mutants reads as one failure.
  void CheckMutants(TMutationOracle& oracle, const std::vector<TMutant>& mutants,
                    const std::string& what);

  std::string FFolder;
  TFileSnapshot FScratchBefore, FWorkBefore;
  void Plant(TKivoPlantedFault fault) { FPlanted = std::make_unique<TPlantedFault>(fault); }
  std::unique_ptr<TPlantedFault> FPlanted;  // KIVO_CAMPAIGN_PLANT's, or the test's (Plant)
};

using TTargetedEdit = bool (*)(const TKivoSample&, size_t, TMutant&);

// The distinct mutants a targeted edit makes of `sample`: each place it edits, in each of
// its ways (every `step`-th of them; the full campaign takes them all).
std::vector<TMutant> EveryTargeted(const TKivoSample& sample, TTargetedEdit edit, size_t step);
// The mutants of `mutants` of a kind.
std::vector<TMutant> OfKind(std::vector<TMutant> mutants, TMutant::TKind kind);
// The dump without the object lines that `drop` picks.
std::string DumpWithout(const std::string& dump, const std::function<bool(const std::string&)>& drop);
