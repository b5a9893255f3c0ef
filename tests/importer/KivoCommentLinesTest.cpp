// Comment lines ("%" first on its line) wherever the reader reads: before a value, a
// keyword, an attribute's key, a number, a name, between blocks. Each is passed as
// between blocks, and a skip of the same bytes passes it alike.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "importer/KivoScanner.h"
#include "importer/KivoTokenizer.h"
#include "tests/importer/ExampleImports.h"
#include "tests/importer/ImporterTestSupport.h"

namespace {

// Fault: a comment line right before a value was read as the value ("{T" / "% c" /
// "\"SENSOR NODE\" ..." gave the text "%" and lost it): the value's reading passed
// blanks and line ends, not comment lines. A "%" after other characters on its line
// begins no comment.
TEST(KivoScanner, ACommentLineBeforeAValueIsPassed) {
  const struct {
    const char* Text;  // a word, then the value
    const char* Value;
  } cases[] = {
      {"T\n% c\n\"SENSOR NODE\" 1", "SENSOR NODE"},
      {"T\n  % c {\n\n % d\n(a b) 1", "a b"},
      {"LY\r\n% c\r\nCOMP]", "COMP"},
      {"LY\n\t% c\n\"COMP\"]", "COMP"},
      {"T %c\n x", "%c"},
  };
  for (const auto& c : cases) {
    TKivoTextFile kivo(c.Text);
    kivo.File().SetTabsAsBlanks(true);
    GetToken(kivo.File(), WordSet(), /*skipBlanks=*/true);
    EXPECT_EQ(ReadQuotedString(kivo.File()), c.Value) << c.Text;
  }
}

// The places between the tokens of `text` (a blank's, and right after "{" and "[", right
// before "}" and "]"), outside its comments and quoted values, where a line can be put.
// A text's value is read up to its position, its last quote on the line
// ("PITCH 0.1" HEADER"): its words are no places.
std::vector<size_t> GapsBetweenTokens(const std::string& text) {
  std::vector<size_t> gaps;
  bool quoted = false, comment = false;
  for (size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    const char before = i > 0 ? text[i - 1] : '\n';
    const char after = i + 1 < text.size() ? text[i + 1] : '\n';
    if (comment) {
      comment = c != '\n';
      continue;
    }
    if (quoted) {
      quoted = !(c == '"' && (after == ' ' || after == '\n' || after == '}' || after == ']'));
      continue;
    }
    const bool tokenBefore = before != ' ' && before != '\n';
    if ((c == ' ' && tokenBefore) || before == '{' || before == '[' ||
        ((c == '}' || c == ']') && tokenBefore))
      gaps.push_back(i);
    if (c == '%' && (before == '\n' || before == ' '))
      comment = true;
    else if (c == '"' && i >= 3 && text.compare(i - 3, 3, "{T ") == 0)
      i = text.rfind('"', text.find('\n', i));
    else if (c == '"' && (before == ' ' || before == '\n' || before == '{' || before == '['))
      quoted = true;
  }
  return gaps;
}

class KivoCommentLines : public ExampleImportTest {};

// Faults: a comment line right before a text's value or an attribute's value was read
// as the value (the text "%" left out, the layer "%" not declared, a justification or
// mirror of "%" taken silently), and one right after a block's "{" or an attribute's "["
// as its keyword or key (the block "%" skipped, with what it held). A comment line at
// every place between the example's tokens leaves its board and its report as they are.
TEST_F(KivoCommentLines, ACommentLineAtEveryPlaceBetweenTheExamplesTokensIsPassed) {
  const std::string text = ExampleWithoutVoids();
  const THostileOutcome clean = Import(text);
  ASSERT_EQ(clean.LoadWarnings, 0) << clean.Report;
  const std::string objects = Objects(clean.Dump);
  std::string failures;
  int failed = 0;
  const std::vector<size_t> gaps = GapsBetweenTokens(text);
  for (const size_t at : gaps) {
    const THostileOutcome outcome = Import(text.substr(0, at) + "\n% c\n" + text.substr(at));
    if (outcome.LoadWarnings == 0 && Objects(outcome.Dump) == objects)
      continue;
    const size_t line = text.rfind('\n', at - 1) + 1;
    if (++failed <= 10)
      failures += "\n  line " + std::to_string(std::count(text.begin(), text.begin() + at, '\n') + 1) +
                  ": " + text.substr(line, at - line) + "<comment line>" +
                  text.substr(at, text.find('\n', at) - at);
  }
  EXPECT_GT(gaps.size(), 1500u);
  EXPECT_EQ(failed, 0) << "places where a comment line changed the import:" << failures;
}

}  // namespace
