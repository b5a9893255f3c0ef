// Hostile files whose damage the reader must name by its lines (oracle rule 7): every
// reference renamed to an undefined name, definition given twice, foreign value in an
// enumerated or numeric field, net named as a pin and connection list short of a name;
// and the valid comment line before a value, which must import as the sample does.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/importer/HostileImportFixture.h"

namespace {

// The full campaign takes every place and way; CI's run every `Step`-th of them.
const struct {
  const char* What;
  TTargetedEdit Edit;
  size_t Step;
} kNamed[] = {
    {"a reference renamed to an undefined name", TKivoMutator::UndefinedReference, 3},
    {"a definition given twice", TKivoMutator::DefinitionTwice, 2},
    {"a foreign value in an enumerated or numeric field", TKivoMutator::ForeignValue, 5},
    {"a net named as a pin that starts a connection list", TKivoMutator::NetNamedAsPin, 1},
    {"a connection list short of a name", TKivoMutator::ShortConnectionList, 1},
};

TEST_F(HostileImport, UndefinedNamesDefinitionsTwiceAndForeignValuesAreNamed) {
  for (const std::string& text : {SourceSample("examples/demo.pdf"), GeneratedSample()}) {
    TMutationOracle oracle = Oracle(text);
    for (const auto& kind : kNamed) {
      const std::vector<TMutant> mutants = EveryTargeted(oracle.GetSample(), kind.Edit, kind.Step);
      ASSERT_FALSE(mutants.empty()) << kind.What;
      CheckMutants(oracle, mutants, kind.What);
    }
  }
}

TEST_F(HostileImport, ACommentLineBeforeAValueChangesNothing) {
  for (const std::string& text : {SourceSample("examples/demo.pdf"), GeneratedSample()}) {
    TMutationOracle oracle = Oracle(text);
    const std::vector<TMutant> mutants =
        EveryTargeted(oracle.GetSample(), TKivoMutator::CommentBeforeValue, 17);
    ASSERT_FALSE(mutants.empty());
    CheckMutants(oracle, mutants, "a comment line before a value");
  }
}

// The demo board's connection of R1 to SDA made one to an undefined net, and what a
// reader that takes pin 2 off its net makes of it, told by `warning` (none when empty).
THostileOutcome PinOffItsNet(const TMutationOracle& oracle, const std::string& warning) {
  THostileOutcome outcome = oracle.GetSampleOutcome();
  const std::string pad = "Name=\"2\"";
  int changed = 0;
  // R1's pin 2: the pad of the component whose name text reads "R1".
  const size_t name = outcome.Dump.find(" Text=\"R1\"");
  const size_t of = outcome.Dump.rfind(" of=#", name);
  const std::string component = outcome.Dump.substr(of + 4, outcome.Dump.find(' ', of + 4) - of - 4);
  for (size_t line = 0; line < outcome.Dump.size(); line = outcome.Dump.find('\n', line) + 1) {
    const size_t end = outcome.Dump.find('\n', line);
    const std::string text = outcome.Dump.substr(line, end - line);
    if (text.find(" pad owner=" + component + " ") != std::string::npos &&
        text.find(pad) != std::string::npos) {
      const size_t net = text.find(" net=#");
      outcome.Dump.replace(line + net, text.find(' ', net + 1) - net, " net=-");
      ++changed;
    }
    if (end == std::string::npos)
      break;
  }
  EXPECT_EQ(changed, 1);
  if (!warning.empty()) {
    const size_t list = outcome.Report.find("\r\n", outcome.Report.find("Load Warnings :"));
    outcome.Report.insert(list, "\r\n" + warning);
  }
  return outcome;
}

// Fault planted: a connection to a net the file does not define dropped silently (as a
// definition given twice or a foreign value was): the oracle fails the change untold, and
// told at another line; it passes it told at the connection's line.
TEST_F(HostileImport, TheOracleFailsAChangeNoWarningNames) {
  TMutationOracle oracle = Oracle(SourceSample("examples/demo.pdf"));
  const TKivoSample& sample = oracle.GetSample();
  TMutant mutant(sample.GetText());
  const size_t sda = sample.GetText().find("SDA}", sample.GetText().find("{CN VCC_3V3 SDA}"));
  for (size_t choice = 0; choice < 4 * sample.GetBlocks().size() && mutant.Text == sample.GetText();
       ++choice) {
    TMutant tried(sample.GetText());
    if (TKivoMutator::UndefinedReference(sample, choice, tried) && tried.Text.compare(sda, 4, "SDAQ") == 0)
      mutant = tried;
  }
  ASSERT_NE(mutant.Text, sample.GetText());
  ASSERT_EQ(mutant.Kind, TMutant::mkMustName);
  const std::string line = std::to_string(sample.LineOf(sda));
  EXPECT_NE(oracle.Check(mutant, PinOffItsNet(oracle, "")).find("no new warning names line " + line),
            std::string::npos);
  EXPECT_NE(oracle.Check(mutant, PinOffItsNet(oracle, "WARNING: The net SDAQ at line 12 is not defined")),
            "");
  EXPECT_EQ(oracle.Check(mutant, PinOffItsNet(oracle, "WARNING: Component R1 pin 2 connects to the net "
                                                      "SDAQ at line " + line + ", which is not defined")),
            "");
}

}  // namespace
