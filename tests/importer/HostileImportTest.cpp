// Hostile files through the whole import: every truncation of the samples, the
// project's mutator, and hand-made extremes. Each one must end within its deadline,
// without a crash, answering as its report says, with the board-modify bracket closed
// and nothing written outside the input's folder (HostileImportFixture.h).
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "classlib/Boundary.h"
#include "classlib/FileUtils.h"
#include "classlib/Win.h"
#include "host/RecentExpressionList.h"
#include "host/Utilities.h"
#include "importer/ImportSettings.h"
#include "tests/importer/HostileImportFixture.h"
#include "tests/importer/ImporterTestSupport.h"
#include "tests/support/TestSupport.h"

namespace {

TEST_F(HostileImport, TheSamplesImportWhole) {
  EXPECT_TRUE(ImportBytes("demo.pdf", SourceSample("examples/demo.pdf"), "demo.pdf").Result);
  const THostileOutcome generated = ImportBytes("generated.pdf", GeneratedSample(), "generated board");
  EXPECT_TRUE(generated.Result);
  EXPECT_EQ(GeneratedSampleMismatch(generated.Dump), "");
}

TEST_F(HostileImport, EveryTruncationOfTheSamples) {
  const struct {
    const char* Name;
    std::string Bytes;
    size_t Step;  // every offset of the demo board, a dense sample of the larger one
  } samples[] = {{"demo", SourceSample("examples/demo.pdf"), 1},
                 {"generated", GeneratedSample(), FullCampaign() ? 1u : 29u}};
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
  const int count = CampaignNumber("KIVO_CAMPAIGN_MUTATIONS", 300);
  const int seed = CampaignNumber("KIVO_CAMPAIGN_SEED", 1);
  TMutationOracle oracles[] = {Oracle(SourceSample("examples/demo.pdf")), Oracle(GeneratedSample())};
  const std::string generated = GeneratedSampleMismatch(oracles[1].GetSampleOutcome().Dump);
  if (!generated.empty()) {
    printf("[ oracle   ] the generated sample's own import differs from what was written:%s\n",
           generated.c_str());
    ADD_FAILURE() << "the generated sample's own import differs from what was written:" << generated;
  }
  TKivoMutator mutator(static_cast<uint64_t>(seed));
  int accepted = 0, boxes = 0, failed = 0;
  int kinds[4] = {};
  std::map<std::string, std::pair<int, int>> edits;  // mutants of each edit, and those that failed
  double total = 0, slowest = 0;
  for (int i = 0; i < count; ++i) {
    TMutationOracle& oracle = oracles[i % 2];
    const TMutant mutant = mutator.Mutate(oracle.GetSample());
    ++kinds[mutant.Kind];
    ++edits[mutant.Edit].first;
    const std::string label = "mutant " + std::to_string(i) + " of seed " + std::to_string(seed);
    const int failuresBefore = Failures();
    const THostileOutcome outcome = ImportBytes("mutant.pdf", mutant.Text, label);
    const std::string lost = oracle.Check(mutant, outcome);
    if (!lost.empty()) {
      printf("[ oracle   ] %s of the %s sample:%s\n", label.c_str(), i % 2 ? "generated" : "demo",
             lost.c_str());
      ADD_FAILURE() << label << " lost what it may not:" << lost;
      ++edits[mutant.Edit].second;
    }
    if (Failures() > failuresBefore && ++failed <= 100)
      WriteWholeFile(FFolder + "failed-mutant-" + std::to_string(i) + ".pdf", mutant.Text);
    accepted += outcome.Result;
    boxes += outcome.ErrorBoxes;
    total += outcome.Seconds;
    slowest = std::max(slowest, outcome.Seconds);
  }
  printf("[ figures  ] %d mutations (seed %d): %d of damage, %d valid but unusual, %d of damage "
         "to be told, %d of damage to be named; %d answered True, %d False, %d error boxes; %.1f s "
         "in imports, %.1f ms on average, slowest %.1f ms\n",
         count, seed, kinds[TMutant::mkDamage], kinds[TMutant::mkUnusual],
         kinds[TMutant::mkMustTell], kinds[TMutant::mkMustName], accepted, count - accepted, boxes, total,
         1000 * total / std::max(count, 1), 1000 * slowest);
  for (const TMutationOracle& oracle : oracles) {
    const TMutationOracle::TFigures& f = oracle.GetFigures();
    printf("[ figures  ] oracle of the %s sample: %d kept every object, %d lost only in the "
           "blocks they touched, %d lost more and told it, %d not compared (answered False), "
           "%d compared without places, %d changed where they named their lines; %d failed\n",
           &oracle == &oracles[0] ? "demo" : "generated", f.KeptAll, f.LostInside, f.LostTold,
           f.Refused, f.Unplaced, f.Named, f.Failed);
  }
  std::string byEdit;
  for (const auto& [edit, counts] : edits)
    byEdit += " " + edit + " " + std::to_string(counts.second) + "/" + std::to_string(counts.first) + ";";
  printf("[ figures  ] oracle failures by edit (failed/made):%s\n", byEdit.c_str());
  printf("[ figures  ] %d mutants failed\n", failed);
}

// Where line `line` (from 1) of `text` begins, as the reader counts lines.
size_t LineStartOf(const std::string& text, int line) {
  const std::vector<size_t> starts = ReaderLineStarts(text);
  const size_t index = static_cast<size_t>(std::max(line, 1)) - 1;
  return index < starts.size() ? starts[index] : text.size();
}

}  // namespace

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

namespace {

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
  for (const std::string& text : {SourceSample("examples/demo.pdf"), GeneratedSample()}) {
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
  for (const std::string& text : {SourceSample("examples/demo.pdf"), GeneratedSample()}) {
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

// The oracle's side of three faults that a campaign must find by itself, each shown on
// an outcome made to carry it.
// Fault planted: every third via dropped. The sample's own import has it, so no
// mutant's comparison with it can see it: the generated sample is checked against what
// the generator wrote.
TEST_F(HostileImport, TheGeneratedSampleCheckFindsDroppedVias) {
  const THostileOutcome outcome = ImportBytes("generated.pdf", GeneratedSample(), "generated board");
  int vias = 0;
  const std::string dump = DumpWithout(outcome.Dump, [&](const std::string& line) {
    return line.find(" via ") != std::string::npos && ++vias % 3 == 0;
  });
  ASSERT_GE(vias, 9);
  const std::string mismatch = GeneratedSampleMismatch(dump);
  EXPECT_EQ(mismatch.find(" lacks " + std::to_string(vias / 3) + ": [via "), 0u) << mismatch;
  EXPECT_EQ(mismatch.find("holds besides"), std::string::npos) << mismatch;
}

// Fault planted: a skip that takes "a\{b" in a block the reader skips for a block, and
// passes the "}" after it: the objects may be read back where they belong, but the
// warnings of a valid file are false, and a valid mutant tells nothing new.
TEST_F(HostileImport, TheOracleFailsAValidMutantThatWarns) {
  TMutationOracle oracle = Oracle(SourceSample("examples/demo.pdf"));
  TMutant mutant(oracle.GetSample().GetText());
  ASSERT_TRUE(TKivoMutator::BraceInSkippedValue(oracle.GetSample(), 3, mutant));
  ASSERT_EQ(mutant.Kind, TMutant::mkUnusual);
  THostileOutcome outcome = ImportBytes("valid.pdf", mutant.Text, mutant.What);
  ASSERT_EQ(oracle.Check(mutant, outcome), "") << mutant.What;
  const size_t list = outcome.Report.find("\r\n", outcome.Report.find("Load Warnings :"));
  outcome.Report.insert(list, "\r\nWARNING: The file ends at line 453 inside the COMPONENT block: it "
                              "may have been cut short");
  EXPECT_NE(oracle.Check(mutant, outcome).find("it told \"WARNING: The file ends"), std::string::npos);
}

// The mutant of the demo board whose CN list of R1 is left open, with blocks in it: its
// "}" made " {ZZ {YY".
TMutant ConnectionListLeftOpen(const std::string& demo) {
  TMutant mutant(demo);
  const size_t close = demo.find('}', demo.find("{CN VCC_3V3 SDA"));
  mutant.Erase(close, 1);
  mutant.Insert(close, " {ZZ {YY");
  mutant.What = "the CN list of R1 left open, with \" {ZZ {YY\" for its \"}\"";
  return mutant;
}

// Fault planted: a CN list whose "}" is missing skips a block met in it to the end of
// the file, losing every component after it, told only by the warning at the end. A
// loss is told in or before the block lost; the end of the file tells only what a cut
// leaves open there.
TEST_F(HostileImport, TheOracleFailsALossToldOnlyAtTheEnd) {
  TMutationOracle oracle = Oracle(SourceSample("examples/demo.pdf"));
  const TMutant mutant = ConnectionListLeftOpen(oracle.GetSample().GetText());
  // What the reader with that fault does: the instances after R1 lost, and the warning
  // that the file ends inside a block.
  THostileOutcome lossy = oracle.GetSampleOutcome();
  std::set<std::string> lost;  // the components' handles
  DumpWithout(lossy.Dump, [&](const std::string& line) {
    for (const char* designator : {"R2", "R3", "R4", "C1", "C2", "U1", "U2", "J1", "D1"})
      if (const size_t of = line.find(" of=#"); of != std::string::npos &&
          line.find(std::string(" Text=\"") + designator + "\"") != std::string::npos)
        lost.insert(line.substr(of + 4, line.find(' ', of + 4) - of - 4));
    return false;
  });
  ASSERT_EQ(lost.size(), 9u);
  lossy.Dump = DumpWithout(lossy.Dump, [&](const std::string& line) {
    return std::any_of(lost.begin(), lost.end(), [&](const std::string& handle) {
      return line.rfind(handle + " ", 0) == 0 || line.find(" owner=" + handle + " ") != std::string::npos ||
             line.find(" of=" + handle + " ") != std::string::npos;
    });
  });
  const std::string atEnd = "\r\nWARNING: The file ends at line 453 inside the SUBCOMP block: it may have "
                            "been cut short";
  const size_t list = lossy.Report.find("\r\n", lossy.Report.find("Load Warnings :"));
  lossy.Report.insert(list, atEnd);
  EXPECT_NE(oracle.Check(mutant, lossy).find("lost beyond what it may"), std::string::npos);
  // Told where it was lost, the same loss is let go.
  lossy.Report.replace(list, atEnd.size(),
                       "\r\nWARNING: The block ZZ at line 327 lies inside the CN block: it was skipped "
                       "with what follows it (lines 327 to 453)");
  EXPECT_EQ(oracle.Check(mutant, lossy), "");
}

// A fault planted in the reader's readings (Plant): the campaign's checks fail.
TEST_F(HostileImport, TheCampaignFindsEveryThirdViaDropped) {
  Plant(TKivoPlantedFault::DropEveryThirdVia);
  const THostileOutcome outcome = ImportBytes("generated.pdf", GeneratedSample(), "generated board");
  const std::string mismatch = GeneratedSampleMismatch(outcome.Dump);
  EXPECT_NE(mismatch.find(": [via "), std::string::npos) << mismatch;
}

// The generated sample turns texts every way: one that lost its turn differs from what
// was written, though sample and mutants lose it alike.
TEST_F(HostileImport, TheCampaignFindsTextsLosingTheirRotation) {
  Plant(TKivoPlantedFault::EveryFifthTextUnturned);
  const THostileOutcome outcome = ImportBytes("generated.pdf", GeneratedSample(), "generated board");
  const std::string mismatch = GeneratedSampleMismatch(outcome.Dump);
  EXPECT_NE(mismatch.find(" Rotation=0 where "), std::string::npos) << mismatch;
}

// The generated sample connects pins by lists of both forms longer than three names.
TEST_F(HostileImport, TheCampaignFindsPinsSwappingTheirNets) {
  Plant(TKivoPlantedFault::ConnectionSwapsPins2And3);
  const THostileOutcome outcome = ImportBytes("generated.pdf", GeneratedSample(), "generated board");
  const std::string mismatch = GeneratedSampleMismatch(outcome.Dump);
  EXPECT_NE(mismatch.find("[pad of U"), std::string::npos) << mismatch;
  EXPECT_NE(mismatch.find(" net=NET"), std::string::npos) << mismatch;
}

TEST_F(HostileImport, TheCampaignFindsASkipPassingAnEscapedBrace) {
  Plant(TKivoPlantedFault::SkipCountsEscapedBrace);
  int failed = 0, escaped = 0;
  for (const std::string& text : {SourceSample("examples/demo.pdf"), GeneratedSample()}) {
    TMutationOracle oracle = Oracle(text);
    for (size_t choice = 0; choice < 4 * oracle.GetSample().GetBlocks().size(); ++choice) {
      TMutant mutant(text);
      if (!TKivoMutator::BraceInSkippedValue(oracle.GetSample(), choice, mutant) ||
          mutant.What.find("\\{") == std::string::npos)
        continue;
      ++escaped;
      failed += !oracle.Check(mutant, ImportBytes("escaped.pdf", mutant.Text, mutant.What)).empty();
    }
  }
  EXPECT_GT(escaped, 0);
  EXPECT_GT(failed, 0) << "none of " << escaped << " mutants with an escaped \"{\" failed";
}

TEST_F(HostileImport, TheCampaignFindsAConnectionListSkippingToTheEnd) {
  Plant(TKivoPlantedFault::ConnectionListSkipsToEnd);
  TMutationOracle oracle = Oracle(SourceSample("examples/demo.pdf"));
  const TMutant mutant = ConnectionListLeftOpen(oracle.GetSample().GetText());
  const THostileOutcome outcome = ImportBytes("cn.pdf", mutant.Text, mutant.What);
  EXPECT_NE(oracle.Check(mutant, outcome).find("lost beyond what it may"), std::string::npos);
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
// tabs, a tab or a brace in a text, a text continued on a line that starts with "%" or
// holds a "}", a "}" moved one line over nothing but blanks and braces. The import
// answers True, tells nothing new and keeps every object as the sample's (the texts as
// they now read).
TEST_F(HostileImport, UnusualButValidInputKeepsEveryObject) {
  for (const std::string& text : {SourceSample("examples/demo.pdf"), GeneratedSample()}) {
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
    CheckMutants(oracle, mutants, "braces in skipped blocks and tabs before lines");
    const std::vector<TMutant> tabs = EveryTargeted(sample, TKivoMutator::TabInText, 1);
    ASSERT_FALSE(tabs.empty());
    CheckMutants(oracle, tabs, "a tab in a text");
    const std::vector<TMutant> braces = EveryTargeted(sample, TKivoMutator::BraceInText, 1);
    ASSERT_FALSE(braces.empty());
    CheckMutants(oracle, braces, "a brace or bracket in a text");
    const std::vector<TMutant> lines =
        OfKind(EveryTargeted(sample, TKivoMutator::TextOverTwoLines, 1), TMutant::mkUnusual);
    ASSERT_FALSE(lines.empty());
    CheckMutants(oracle, lines, "a text continued on a line starting with \"%\" or holding \"}\"");
    const std::vector<TMutant> moved =
        OfKind(EveryTargeted(sample, TKivoMutator::MoveClosingBrace, 1), TMutant::mkUnusual);
    ASSERT_FALSE(moved.empty());
    CheckMutants(oracle, moved, "a \"}\" moved over blanks and braces");
  }
}

// Damage that the reader must tell: each layer attribute misspelt (its objects stand on
// a layer the file does not declare), each instance made one of a definition the file
// does not have. Whatever the import loses, it tells, even inside the edited block.
TEST_F(HostileImport, UndeclaredLayersAndUnknownDefinitionsAreTold) {
  for (const std::string& text : {SourceSample("examples/demo.pdf"), GeneratedSample()}) {
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

// Damage that the reader must tell, at every level of the file: each block's name
// misspelt, an odd byte after each "{", each "}" that ends a line removed or moved one
// line (where that changes the blocks), a text continued on a line holding a "{", and
// ENVIRONMENT and PAD_STACK given twice (which the import tells even when it keeps every
// object). Whatever the import loses it tells in or before the block lost, and it makes
// no object the sample does not have. The full campaign takes every place and way; CI's
// run a part of them.
TEST_F(HostileImport, DamageToBeToldLosesNothingUntold) {
  for (const std::string& text : {SourceSample("examples/demo.pdf"), GeneratedSample()}) {
    TMutationOracle oracle = Oracle(text);
    const TKivoSample& sample = oracle.GetSample();
    const struct {
      const char* What;
      TTargetedEdit Edit;
      size_t Step;
    } kinds[] = {
        {"a block's name misspelt", TKivoMutator::MisspellBlock, 7},
        {"an odd byte after a \"{\"", TKivoMutator::OddByteAfterBrace, 11},
        {"a \"}\" removed at a line's end", TKivoMutator::TrimClosingBrace, 3},
        {"a \"}\" moved one line", TKivoMutator::MoveClosingBrace, 3},
        {"a text continued on a line holding a \"{\"", TKivoMutator::TextOverTwoLines, 1},
        {"a section given twice", TKivoMutator::SectionTwice, 1},
    };
    for (const auto& kind : kinds) {
      const std::vector<TMutant> mutants =
          OfKind(EveryTargeted(sample, kind.Edit, kind.Step), TMutant::mkMustTell);
      ASSERT_FALSE(mutants.empty()) << kind.What;
      CheckMutants(oracle, mutants, kind.What);
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
  const std::string demo = SourceSample("examples/demo.pdf");
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
  const std::string demo = SourceSample("examples/demo.pdf");
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
  const std::string demo = SourceSample("examples/demo.pdf");
  HANDLE file = CreateFileW(wide(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(file, INVALID_HANDLE_VALUE);
  DWORD written = 0;
  WriteFile(file, demo.data(), static_cast<DWORD>(demo.size()), &written, nullptr);
  CloseHandle(file);
  ASSERT_EQ(path.size(), 300u);
  Control().Reset();
  FBoard = Control().CreateBoard("C:\\Boards\\Hostile.PcbDoc");
  const THostileOutcome outcome = ImportHostileFile(path, FBoard, "a 300-character path", kHostileDeadline);
  EXPECT_FALSE(outcome.Result);  // the file cannot be read
  EXPECT_NE(outcome.ReportError.find(".rpt"), std::string::npos) << outcome.ReportError;
  EXPECT_EQ(outcome.BracketBegins, 0);
  EXPECT_EQ(outcome.BracketEnds, 0);
}

}  // namespace
