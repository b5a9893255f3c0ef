// The mutator's edits to be named and the comment line before a value: each makes what
// it claims, at every place a small board offers.
#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>
#include <vector>

#include "tests/importer/KivoMutation.h"

namespace {

const char kBoard[] =
    "{COMPONENT \"T\"\n"
    "{ENVIRONMENT {KIVOVREV \"3.0\"} {DBUNIT \"MIL\"} {DBGRID 1} {LYRSTR \"TOP\" 1 \"DRILL\" 2}}\n"
    "{DETAIL\n"
    "{PAD_STACK\n"
    "  {PAD 1 \"P1\" \"\"} {PAD 2 \"P2\" \"\"}\n"
    "  {PAD_DEF P1 {PIC [LY \"PADCOM\"] {C 0 0 10} [LY \"DRILL\"] {T \"8\" 0 0}}}\n"
    "  {PAD_DEF P2}\n"
    "}\n"
    "{NET_DEF\n"
    "  {N A {DG [LY \"TOP\"] [TJ \"LB\"] {W 0 0 10 0} {V 10 0 1}}}\n"
    "  {N B {DG [LY \"TOP\"] {W 0 5 10 5}}}\n"
    "}\n"
    "{SUBCOMP\n"
    "  {COMP_DEF D\n"
    "    {PIN_DEF {P 1 {PT 1} {PLOC 0 0}} {P 2 {PT 1} {PLOC 10 0}}}\n"
    "  }\n"
    "  {I D U1 {ATR {IN {ORG 0 0} {PS \"T\"}}} {CN A B}}\n"
    "  {I D U2 {ATR {IN {ORG 50 0} {RO 1}}} {CN 1 B 2 A}}\n"
    "}\n"
    "}\n"
    "}\n";

// The distinct mutants an edit makes of the board, over every choice.
std::vector<TMutant> Every(const TKivoSample& sample,
                           bool (*edit)(const TKivoSample&, size_t, TMutant&)) {
  std::vector<TMutant> mutants;
  std::set<std::string> seen;
  for (size_t choice = 0; choice < 40 * sample.GetBlocks().size(); ++choice) {
    TMutant mutant(sample.GetText());
    if (edit(sample, choice, mutant) && seen.insert(mutant.Text).second)
      mutants.push_back(mutant);
  }
  return mutants;
}

// What a mutant of one edit wrote: the sample's text it replaced and the mutant's, without
// what both keep around it, and where.
struct TReplaced {
  std::string Was, Now;
  size_t At;
};
TReplaced Replaced(const std::string& sample, const std::string& mutant) {
  size_t from = 0;
  while (from < sample.size() && from < mutant.size() && sample[from] == mutant[from])
    ++from;
  size_t a = sample.size(), b = mutant.size();
  while (a > from && b > from && sample[a - 1] == mutant[b - 1])
    --a, --b;
  return {sample.substr(from, a - from), mutant.substr(from, b - from), from};
}

// The line of the mutant's text holding `at`.
std::string LineAt(const std::string& text, size_t at) {
  const size_t start = text.rfind('\n', at == 0 ? 0 : at - 1);
  const size_t begin = at == 0 || start == std::string::npos ? 0 : start + 1;
  return text.substr(begin, text.find('\n', at) - begin);
}

// The definition at `at`: its block, or the rest of its line.
std::string Definition(const std::string& text, size_t at) {
  if (text[at] != '{')
    return text.substr(at, text.find('\n', at) - at);
  size_t end = at;
  for (int depth = 0; end < text.size(); ++end)
    if ((depth += text[end] == '{' ? 1 : text[end] == '}' ? -1 : 0) == 0)
      break;
  return text.substr(at, end + 1 - at);
}

TEST(KivoMutation, AReferenceIsRenamedToANameTheFileDoesNotDefine) {
  const TKivoSample sample(kBoard);
  std::multiset<std::pair<std::string, std::string>> replaced;
  for (const TMutant& mutant : Every(sample, TKivoMutator::UndefinedReference)) {
    EXPECT_EQ(mutant.Kind, TMutant::mkMustName) << mutant.What;
    ASSERT_EQ(mutant.Namings.size(), 1u) << mutant.What;
    const auto [was, now, at] = Replaced(sample.GetText(), mutant.Text);
    replaced.insert({was, now});
    // The warning names the line of the name.
    EXPECT_NE(LineAt(mutant.Text, mutant.Namings[0].At.at(0)).find(now), std::string::npos) << mutant.What;
  }
  // The pad-stack entries' pad definitions (not their empty second ones) made P1Q and
  // P2Q, the index of both pins and of the via made 3, both nets of a list by position and
  // of one by pairs given a Q.
  const std::multiset<std::pair<std::string, std::string>> expected = {
      {"", "Q"}, {"", "Q"}, {"", "Q"}, {"", "Q"}, {"", "Q"}, {"", "Q"}, {"1", "3"}, {"1", "3"}, {"1", "3"}};
  EXPECT_EQ(replaced, expected);
}

TEST(KivoMutation, ADefinitionIsGivenTwiceWithOtherContents) {
  const TKivoSample sample(kBoard);
  std::set<std::string> kinds;
  for (const TMutant& mutant : Every(sample, TKivoMutator::DefinitionTwice)) {
    ASSERT_EQ(mutant.Namings.size(), 1u) << mutant.What;
    const TMutant::TNaming& naming = mutant.Namings[0];
    EXPECT_TRUE(naming.Always) << mutant.What;
    ASSERT_EQ(naming.At.size(), 2u) << mutant.What;
    // Both named places start alike (the keyword and name, the layer name, the
    // designator) and go on otherwise (the block, or the rest of the line).
    const std::string first = Definition(mutant.Text, naming.At[0]);
    const std::string second = Definition(mutant.Text, naming.At[1]);
    const size_t word = first.find_first_of(" }");
    EXPECT_EQ(first.substr(0, word), second.substr(0, word)) << mutant.What;
    EXPECT_NE(first, second) << mutant.What;
    kinds.insert(mutant.What.substr(0, mutant.What.find(' ', 4)));
  }
  EXPECT_EQ(kinds, (std::set<std::string>{"the COMP_DEF", "the DBGRID", "the DBUNIT", "the N",
                                          "the PAD", "the PAD_DEF", "the designator", "the layer"}));
}

TEST(KivoMutation, AFieldIsGivenAWordThatIsNoneOfItsValues) {
  const TKivoSample sample(kBoard);
  std::map<std::string, int> fields;
  for (const TMutant& mutant : Every(sample, TKivoMutator::ForeignValue)) {
    const auto [was, now, at] = Replaced(sample.GetText(), mutant.Text);
    const std::string field = mutant.What.substr(mutant.What.find(" of ") + 4);
    ++fields[field.substr(0, field.find(' '))];
    EXPECT_NE(was, now) << mutant.What;
    // A number is none of a word field's values; a number field's value is no bare
    // number of its kind.
    const std::string written = mutant.What.substr(mutant.What.rfind(" written ") + 9);
    const bool bareNumber = written.find_first_not_of("-0123456789.") == std::string::npos;
    const bool integerField =
        field.rfind("RO", 0) == 0 || field.rfind("PT", 0) == 0 || field.rfind("DBGRID", 0) == 0;
    EXPECT_TRUE(!bareNumber || (integerField && written.find('.') != std::string::npos)) << mutant.What;
    EXPECT_EQ(LineAt(mutant.Text, mutant.Namings.at(0).At.at(0)).find(written) != std::string::npos, true)
        << mutant.What;
  }
  // Each field in each of its ways: five for a word, four for a number.
  EXPECT_EQ(fields, (std::map<std::string, int>{{"DBGRID", 4}, {"DBUNIT", 5}, {"ORG", 16}, {"PLOC", 16},
                                                {"PS", 5},     {"PT", 8},     {"RO", 4},   {"T", 4},
                                                {"TJ", 5}}));
}

TEST(KivoMutation, ANetIsNamedAsAPinThatStartsItsList) {
  const TKivoSample sample(kBoard);
  const std::vector<TMutant> mutants = Every(sample, TKivoMutator::NetNamedAsPin);
  ASSERT_EQ(mutants.size(), 2u);  // A, which starts U1's list by position, named 1 or 2
  for (const TMutant& mutant : mutants) {
    ASSERT_EQ(mutant.NetRenames.size(), 1u);
    const std::string pin = mutant.NetRenames[0].To;
    EXPECT_EQ(mutant.NetRenames[0].From, "A");
    std::string expected = kBoard;
    for (const auto& [from, to] : std::vector<std::pair<std::string, std::string>>{
             {"{N A ", "{N " + pin + " "}, {"{CN A B}", "{CN " + pin + " B}"}, {"2 A}", "2 " + pin + "}"}})
      expected.replace(expected.find(from), from.size(), to);
    EXPECT_EQ(mutant.Text, expected);
    // U1's list now starts with a pin's name that is a net too: its line is named.
    ASSERT_EQ(mutant.Namings.size(), 1u);
    EXPECT_EQ(LineAt(mutant.Text, mutant.Namings[0].At.at(0)),
              "  {I D U1 {ATR {IN {ORG 0 0} {PS \"T\"}}} {CN " + pin + " B}}");
  }
}

TEST(KivoMutation, AConnectionListFallsShortOfItsLastName) {
  const TKivoSample sample(kBoard);
  std::set<std::string> lists;
  for (const TMutant& mutant : Every(sample, TKivoMutator::ShortConnectionList)) {
    const size_t cn = mutant.Text.find("{CN", mutant.Namings.at(0).At.at(0));
    lists.insert(mutant.Text.substr(cn, mutant.Text.find('}', cn) + 1 - cn));
  }
  EXPECT_EQ(lists, (std::set<std::string>{"{CN A}", "{CN 1 B 2}"}));
}

TEST(KivoMutation, ACommentLineStandsRightBeforeAValue) {
  const TKivoSample sample(kBoard);
  const std::vector<TMutant> mutants = Every(sample, TKivoMutator::CommentBeforeValue);
  ASSERT_GT(mutants.size(), 60u);
  for (const TMutant& mutant : mutants) {
    EXPECT_EQ(mutant.Kind, TMutant::mkUnusual);
    const auto [was, now, at] = Replaced(sample.GetText(), mutant.Text);
    // A line of its own that starts with "%", and the value after it as it was.
    ASSERT_EQ(was, "") << mutant.What;
    EXPECT_EQ(now.front(), '\n') << mutant.What;
    EXPECT_EQ(now[1], '%') << mutant.What;
    EXPECT_EQ(now.back(), '\n') << mutant.What;
    const char value = mutant.Text[at + now.size()];
    EXPECT_EQ(std::string("{}[] \n").find(value), std::string::npos) << mutant.What;
  }
}

}  // namespace
