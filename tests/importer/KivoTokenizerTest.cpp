// The tokenizer's reading rules, case by case. Each case runs a script of reads over a
// small file and compares the trace: token reads show `code"text"`, value reads
// `'value'`, number reads the number with "!" when the error flag is set, skips "~";
// each is followed by "^c" when c is held back afterwards.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <iterator>
#include <random>
#include <string>
#include <vector>

#include "classlib/FormatSettings.h"
#include "importer/KivoScanner.h"
#include "importer/KivoTokenizer.h"
#include "tests/importer/ImporterTestSupport.h"

namespace {

std::string Held(TKivoSource& file) {
  char held = GetHeldBackChar(file);
  return held ? std::string("^") + held : std::string();
}

std::string Number(TKivoSource& file, double value) {
  char text[32];
  snprintf(text, sizeof text, "%g", value);
  return text + std::string(GetNumberError(file) ? "!" : "") + Held(file);
}

// Ops: S/s structural set with/without skipping blanks, W/w word set, N number set,
// E the empty set, V ReadQuotedString, F ReadFloatValue, I ReadIntegerValue,
// B SkipBlock, L SkipLine, C SkipToCloseBracket.
std::string Step(TKivoSource& file, char op) {
  auto token = [&](const TKivoCharSet& set, bool skip) {
    int code = GetToken(file, set, skip);
    return std::to_string(code) + '"' + GetLastTokenText(file) + '"' + Held(file);
  };
  switch (op) {
    case 'S': return token(StructuralSet(), true);
    case 's': return token(StructuralSet(), false);
    case 'W': return token(WordSet(), true);
    case 'w': return token(WordSet(), false);
    case 'N': return token(NumberSet(), true);
    case 'E': return token(TKivoCharSet(), false);
    case 'V': {
      const std::string value = ReadQuotedString(file);
      return "'" + value + "'" + Held(file);
    }
    case 'F': return Number(file, ReadFloatValue(file));
    case 'I': return Number(file, ReadIntegerValue(file));
    case 'B': SkipBlock(file); return "~" + Held(file);
    case 'L': SkipLine(file); return "~" + Held(file);
    case 'C': SkipToCloseBracket(file); return "~" + Held(file);
  }
  ADD_FAILURE() << "unknown op " << op;
  return {};
}

// Tabs read as blanks when asked, as the reader reads them.
std::string Trace(const std::string& text, const std::string& ops, bool tabsAsBlanks = false) {
  TKivoTextFile kivo(text);
  kivo.File().SetTabsAsBlanks(tabsAsBlanks);
  std::string trace;
  for (char op : ops)
    trace += (trace.empty() ? "" : " ") + Step(kivo.File(), op);
  return trace;
}

struct TCase {
  const char* Rule;
  std::string Input;
  const char* Ops;
  std::string Expected;
};

void RunCases(std::initializer_list<TCase> cases) {
  for (const TCase& c : cases)
    EXPECT_EQ(Trace(c.Input, c.Ops), c.Expected) << c.Rule << ": " << c.Input;
}

TEST(KivoTokenizer, Tokens) {
  RunCases({
      {"a brace after a word is held back and returned next, reading nothing", "abc}def",
       "WWW", R"(-1"abc"^} 150"abc" -1"def")"},
      {"a brace and a keyword without a blank", "{PROGRAM x}", "SW",
       R"(149"{"^P 10"PROGRAM")"},
      {"a brace and a keyword with a blank", "{ PROGRAM x}", "SW", R"(149"{" 10"PROGRAM")"},
      {"an empty token at a blank", " x", "ww", R"(0"" -1"x")"},
      {"an empty token holds back its delimiter", "}x", "www", R"(0""^} 150"" -1"x")"},
      {"a line end ends a token as a blank", "ab\ncd", "www", R"(-1"ab" 0"" -1"cd")"},
      {"skipping blanks skips line ends", "ab\n\n  \ncd", "WW", R"(-1"ab" -1"cd")"},
      {"keywords in any case", "sstfile SSTFILE SsTfIlE component", "WWWW",
       R"(24"sstfile" 24"SSTFILE" 24"SsTfIlE" 1"component")"},
      {"a character outside the word text", "$abc", "W", R"(-1"$abc")"},
      {"the empty set is the blank alone; tabs are no white space", "a}\tb c", "E",
       "-1\"a}\tb\""},
      {"a held-back delimiter other than a brace starts the next token", "x]y x] z", "WWWW",
       R"(-1"x"^] -1"]y" -1"x"^] 153"]")"},
      {"the structural set makes other characters one-character tokens", "ab {C", "SSSS",
       R"(0""^a 151"a"^b -1"b" 149"{"^C)"},
  });
}

TEST(KivoTokenizer, Values) {
  RunCases({
      {"a quoted value joins lines without a blank", "\"abc\n   def\" x", "VW",
       R"('abcdef' -1"x")"},
      {"every line end between the pieces is consumed", "\"ab\r\n\r\n\r\ncd\"", "V", "'abcd'"},
      {"a closing quote before the line end ends the value", "\"ab\"\nx", "VW",
       R"('ab' -1"x")"},
      {"blanks, two or more in a row too, are characters of a quoted value",
       "\"a b  c   \" x", "VW", R"('a b  c   ' -1"x")"},
      {"escapes; an escaped blank is a character of the value",
       R"("a\bb" "a\Bb" "x\"y" "p\\q" "\q" "a\ x")", "VVVVVV",
       R"('a b' 'a b' 'x"y' 'p\q' 'q' 'a x')"},
      {"escaped brackets stay in the value", R"("x\]y" "x\}y" z)", "VVW",
       R"('x]y' 'x}y' -1"z")"},
      {"a bracketed value keeps its blanks", "(a  b c) x", "VW", R"('a  b c' -1"x")"},
      {"a bare value followed by a brace holds it back; SkipBlock then skips nothing",
       "abc} def", "VBW", R"('abc'^} ~ -1"def")"},
      {"a value at a closing bracket is empty and reads nothing", "] x", "VV", "''^] ''^]"},
      {"a value before a closing brace is empty", "  }", "V", "''^}"},
  });
}

// Choices of this tokenizer where the rules leave it open; see KivoTokenizer.cpp and KivoScanner.cpp.
TEST(KivoTokenizer, ValuesLeftOpenByTheRules) {
  RunCases({
      {"a quoted value closed on its line keeps its brackets", "\"ab]c\" x", "VW",
       R"('ab]c' -1"x")"},
      {"one left open ends before its first unescaped bracket", "\"ab} x", "V", "'ab'^}"},
      {"a closing quote right before the bracket is still removed", "\"ab\"]", "V",
       "'ab'^]"},
      {"#1 is an ordinary character of a quoted value", "\"a\x01" "b\" x", "V",
       "'a\x01" "b'"},
      {"a bracketed value joins lines with one blank", "(a\nb) x", "VW", R"('a b' -1"x")"},
      {"... one blank per line end", "(a\r\n\r\nb)", "V", "'a  b'"},
      {"... and ends with the file", "(ab\n", "VW", R"('ab' 0"")"},
      {"a quoted value ends with the file", "\"abc", "V", "'abc'"},
      {"a value at the end of the file is empty", "   ", "V", "''"},
  });
}

// One rule decides where a quoted value ends, for reading and skipping alike; see
// the value reader in KivoScanValues.cpp.
struct TQuoteCase {
  const char* Rule;
  std::string Text;   // the rest of a block "{a ...", from the value's opening quote
  std::string Value;  // as read
  std::string After = "z";  // the word after the block, read and skipped alike
  // The value ran over into the blocks after it: its "{" is held back, and the block
  // stays open to its own "}" with that block inside it, as a skip reads it.
  bool RanOver = false;
};

// The value read in "{a <text>" and the word after that block, read as the reader reads
// it (the value, then the rest of the block skipped) or skipped whole; tabs read as
// blanks. The block begins `before` bytes into the file. A read value that ran over is
// marked "^".
std::string ReadQuoteCase(const TQuoteCase& c, bool skipWhole, size_t before = 0,
                          const TKivoReadingControls& controls = {}) {
  TKivoTextFile kivo(std::string(before, ' ') + "{a " + c.Text, "tokens.pdf", controls);
  TKivoSource& file = kivo.File();
  file.SetTabsAsBlanks(true);
  GetToken(file, StructuralSet(), /*skipBlanks=*/true);
  std::string value;
  if (!skipWhole) {
    GetToken(file, WordSet(), /*skipBlanks=*/true);
    value = "'" + ReadQuotedString(file) + "'";
    if (HeldBraceRanOver(file))
      value += "^";
  }
  SkipBlock(file);
  GetToken(file, WordSet(), /*skipBlanks=*/true);
  return value + " " + GetLastTokenText(file);
}

void ExpectQuotedValues(const std::vector<TQuoteCase>& cases, size_t before = 0) {
  for (const TQuoteCase& c : cases) {
    EXPECT_EQ(ReadQuoteCase(c, false, before),
              "'" + c.Value + "'" + (c.RanOver ? "^ " : " ") + c.After)
        << c.Rule << ", read: " << c.Text << " (" << before << " bytes before)";
    EXPECT_EQ(ReadQuoteCase(c, true, before), " " + c.After)
        << c.Rule << ", skipped: " << c.Text << " (" << before << " bytes before)";
  }
}

const std::vector<TQuoteCase>& QuoteRuleCases() {
  static const std::vector<TQuoteCase> cases = {
      {"closed on its line: a brace inside is part of it", "\"REV}B\" 1150 -300} z", "REV}B"},
      {"... and so are \"]\" and \"{\"", "\"x]{y\" 1} z", "x]{y"},
      {"... closed right before the block's end", "\"a}b\"} z", "a}b"},
      {"... closed by a quote before a tab", "\"a}b\"\t1} z", "a}b"},
      {"a quote followed by no delimiter does not close it", "\"b\"c}d\" 1} z", "b\"c}d"},
      {"... one after a blank does", "\"x \" y\" 1} z", "x "},
      {"two blanks are part of it", "\"a b  c\" 1} z", "a b  c"},
      {"... and so are those closed by the block's end", "\"a  }b  \"} z", "a  }b  "},
      {"a blank before the line end leaves it open: it ends before its bracket",
       "\"a}b \n 1} z", "a", "b"},
      {"two tabs do not, nor a blank and a tab", "\"a\t\tb} \tc\" 1} z", "a\t\tb} \tc"},
      {"left open on its line, it ends before its first bracket", "\"ab{c} d\n} z", "ab"},
      {"... a \"}\" ending the block", "\"ab}c {d\n}} z", "ab", "c"},
      {"... not an escaped one", "\"a\\}b {c}\n} z", "a}b "},
      {"it goes on at the next line, blanks and tabs skipped, with no blank",
       "\"POW\n\n \tER\" 1} z", "POWER"},
      {"a \"%\" on a line it went on to is part of it", "\"POW\n%ER\"} z", "POW%ER"},
      {"... and so is a \"}\" on one that closes it", "\"POW\nE}R\"} z", "POWE}R"},
      {"a \"{\" on a line it went on to ends it, the block inside the value's",
       "\"POW\nE{R} x} z", "POWE", "z", true},
      {"... also after a \"}\" on that line, which is the value's", "\"POW\nE}R {S} x} z",
       "POWE}R ", "z", true},
      {"... and so does a \"[\", an attribute's", "\"POW\nE[R] x} z", "POWE", "z"},
      {"a line it went on to left open ends before its first \"}\"", "\"POW\nER} x\n z", "POWER",
       "x"},
      {"escapes", "\"a\\\"}b\\bc\\ \\ d\\\tq\" 1} z", "a\"}b c  d\tq"},
      {"a backslash does not escape a line end", "\"x\\\n}y\"} z", "x\\}y"},
  };
  return cases;
}

// The same rule for a bracketed value, its ")" closing it, its lines joined by a blank.
const std::vector<TQuoteCase>& BracketRuleCases() {
  static const std::vector<TQuoteCase> cases = {
      {"closed on its line: a brace inside is part of it", "(REV}B) 1150 -300} z", "REV}B"},
      {"... and so are \"]\", \"{\" and a quote", "(x]{\"y) 1} z", "x]{\"y"},
      {"... closed right before the block's end", "(a}b)} z", "a}b"},
      {"left open on its line, it ends before its first bracket", "(ab{c} d\n} z", "ab"},
      {"... a \"}\" ending the block", "(ab}c {d\n}} z", "ab", "c"},
      {"... not an escaped one, and an escaped \")\" does not close it", "(a\\}b\\) {c}\n} z",
       "a}b) "},
      {"it goes on at the next line, the line end read as a blank", "(POW\n  ER) 1} z",
       "POW   ER"},
      {"... a \"}\" on a line that closes it is part of it", "(POW\nE}R)} z", "POW E}R"},
      {"a \"{\" on a line it went on to ends it, the block inside the value's",
       "(POW\nE{R} x} z", "POW E", "z", true},
      {"... and so does a \"[\", an attribute's", "(POW\nE[R] x} z", "POW E", "z"},
      {"a line it went on to left open ends before its first \"}\"", "(POW\nER} x\n z",
       "POW ER", "x"},
      {"escapes; a backslash does not escape a line end", "(a\\b\\\n}y)} z", "a \\ }y"},
  };
  return cases;
}

// Fault: a skip took the braces of a bracketed value for structure, where the reading
// took them as the value's: `{FL (a}b) 1 2}` ended at the "}" inside the brackets, and
// the "}" of the block closed the block around it. A "(" begins a value in a skip where a
// quote would, and both end where one rule ends them.
TEST(KivoTokenizer, BracketedValuesEndByTheQuotesRuleReadingAndSkippingAlike) {
  ExpectQuotedValues(BracketRuleCases());
  RunCases({
      {"a \"(\" after other characters begins no value in a skip", "{a f(x} y", "SBW",
       R"(149"{"^a ~ -1"y")"},
      {"... one after a blank does", "{a (x} y) z} y", "SBW", R"(149"{"^a ~ -1"y")"},
      {"... and one right after the block's \"{\"", "{(x}) z} y", "SBW", R"(149"{"^( ~ -1"y")"},
      {"a bracketed value at the end of the file is left open", "(a}", "V", "'a'^}"},
  });
}

TEST(KivoTokenizer, QuotedValuesEndByOneRuleReadingAndSkippingAlike) {
  ExpectQuotedValues(QuoteRuleCases());
  RunCases({
      {"a bracketed value that ran on ends at a \"[\" as at a brace", "(a\n[b] c} z", "VBW",
       R"('a '^[ ~ -1"z")"},
      {"closed at the end of the file", "\"a}\"", "V", "'a}'"},
      {"a blank before the end of the file is part of it, left open", "\"a} ", "V", "'a'^}"},
      {"left open at the end of the file, it ends before its first bracket", "\"a]b", "V",
       "'a'^]"},
  });
}

// Fault: tabs were blanks everywhere, so that two tabs in a text ended it ("SENSOR\t\tNODE"
// read as the text "SENSOR" and the rest as failed numbers).
TEST(KivoTokenizer, TabsAreBlanksBetweenTokensAndCharactersInsideValues) {
  EXPECT_EQ(Trace("u\tb\t\"c\t\td\"\t(e\t\tf\n\tg)\t7\tx}", "WWVVIWW", /*tabsAsBlanks=*/true),
            "-1\"u\" -1\"b\" 'c\t\td' 'e\t\tf \tg' 7 -1\"x\"^} 150\"x\"");
  EXPECT_EQ(Trace("{a\t\"x\t\t}\"\t{b}\t}\tz", "SBW", true), R"(149"{"^a ~ -1"z")");
}

// Faults: a skip looked for a quoted value's closing quote again at each brace inside it
// where that quote lay beyond the text file's buffer (a value of a megabyte of braces
// took minutes), and the buffer's end changed what a skip read (a line whose "{" and "}"
// straddled it had its "{" hidden as quoted and its "}" counted).
TEST(KivoTokenizer, QuotedValuesEndTheSameWhereverTheBufferEnds) {
  for (const auto* cases : {&QuoteRuleCases(), &BracketRuleCases()})
    for (const TQuoteCase& c : *cases) {
      const size_t length = c.Text.size() + 3;
      for (size_t before = TTextFile::BufferSize - length; before <= TTextFile::BufferSize; ++before)
        ExpectQuotedValues({c}, before);
    }
  std::string lines = "{a {ATR\n";
  for (int i = 0; i < 50000; ++i)
    lines += "      \"unclosed {quote} value\n";
  const TKivoReadingControls budget = StepBudget(8 * lines.size() + (8 << 20));
  EXPECT_EQ(ReadQuoteCase({"", lines.substr(3) + "}} z", ""}, true, 0, budget), " z");
  const std::string braces(1 << 20, '{');
  EXPECT_EQ(ReadQuoteCase({"", "\"" + braces + "\"} z", ""}, false, 0, budget),
            "'" + braces.substr(0, KivoMaxTokenLength) + "' z");
  EXPECT_EQ(ReadQuoteCase({"", "\"" + braces + "\"} z", ""}, true, 0, budget), " z");
}

// The file `text` read whole by `read` while the readers of quoted values may look at
// `perByte` bytes per byte of it: more stops the reading at once (StepBudget).
template <class F>
void ExpectLinear(const std::string& text, uint64_t perByte, F&& read) {
  TKivoTextFile kivo(text, "tokens.pdf", StepBudget(perByte * text.size()));
  EXPECT_NO_THROW(read(kivo.File())) << text.substr(0, 40);
  EXPECT_TRUE(kivo.File().Eof());
}

// Fault: a long quoted value was read in quadratic time (see above), and so was a long
// line of values left open, each looked at to the line's end again.
TEST(KivoTokenizer, QuotedValuesAreReadInLinearTime) {
  const std::string braces(1 << 20, '{');
  const auto skipBlock = [](TKivoSource& file) {
    GetToken(file, StructuralSet(), true);
    SkipBlock(file);
  };
  ExpectLinear("{ATR {CLASS \"" + braces + "\"}}", 3, skipBlock);
  ExpectLinear("{I {EX {AT \"VALUE\" \"" + braces + "\"}}}", 3, skipBlock);
  ExpectLinear("[TS \"" + braces + "\"]", 3, [](TKivoSource& file) {
    GetToken(file, StructuralSet(), true);
    SkipToCloseBracket(file);
  });
  // Values left open on one long line, each ending at the bracket after it, and a long
  // value of blanks and braces.
  std::string open = "{a";
  while (open.size() < (1 << 20))
    open += " \"b{}";
  ExpectLinear(open + "\n}", 3, skipBlock);
  std::string blanks = "{a \"";
  while (blanks.size() < (1 << 20))
    blanks += "  }";
  ExpectLinear(blanks + "\"}", 3, skipBlock);
  // The same for bracketed values.
  ExpectLinear("{ATR {CLASS (" + braces + ")}}", 3, skipBlock);
  std::string bracketed = "{a";
  while (bracketed.size() < (1 << 20))
    bracketed += " (b{}";
  ExpectLinear(bracketed + "\n}", 3, skipBlock);
  std::string read;
  while (read.size() < (1 << 20))
    read += "\"b} ";
  ExpectLinear(read + "x", 3, [](TKivoSource& file) {
    while (!file.Eof()) {
      ReadQuotedString(file);
      GetToken(file, WordSet(), true);
    }
  });
}

TEST(KivoTokenizer, Numbers) {
  RunCases({
      {"reals and integers", "12.5 -3 1e3 2. .5 +4", "FIFFFI", "12.5 -3 1000 2 0.5 4"},
      {"a decimal comma is no decimal point", "1,5", "F", "-32000!"},
      {"an integer with a point", "1.5", "I", "-32000!"},
      {"an empty number holds back its delimiter", "}", "I", "-32000!^}"},
      {"a negative whole number clears the flag", "x -7", "II", "-32000! -7"},
      {"no inf, nan, hex or values beyond the range", "inf nan 0x10 1e400 $5", "FFIFF",
       "-32000! -32000! -32000! -32000! -32000!^$"},
  });
}

// Fault: a comment line among the numbers of a block ({V 10 20<line end>% note<line
// end>3}) was read as a number that could not be read, and the object was left out. It
// is passed, as between blocks and in lists; a "%" after other characters on its line
// begins no comment. The same wherever the text file's buffer ends.
TEST(KivoTokenizer, ACommentLineAmongNumbersIsPassed) {
  RunCases({
      {"a comment line", "10\n% note 99\n 3", "II", "10 3"},
      {"... several, blank and indented", "10\n  % a\n\n % b {\n 3.5", "IF", "10 3.5"},
      {"... on the file's first line", "% a\n7", "I", "7"},
      {"... before a block's end", "1\n% c\n}", "II", "1 -32000!^}"},
      {"a \"%\" after a number on its line begins none", "1 % c\n 3", "II", "1 -32000!^%"},
  });
  EXPECT_EQ(Trace("10\n\t% a\n 3", "II", /*tabsAsBlanks=*/true), "10 3");
  constexpr size_t kBuffer = TTextFile::BufferSize;
  for (size_t blanks = kBuffer - 30; blanks <= kBuffer + 2; ++blanks) {
    EXPECT_EQ(Trace("10\n" + std::string(blanks - 3, ' ') + "% c\n 3", "II"), "10 3") << blanks;
    EXPECT_EQ(Trace("10" + std::string(blanks - 2, ' ') + "% c\n 3", "II"), "10 -32000!^%") << blanks;
  }
  // A long run of blanks before the "%", read back a piece at a time.
  EXPECT_EQ(Trace("10\n" + std::string(3 * kBuffer, ' ') + "% c\n 3", "II"), "10 3");
}

TEST(KivoTokenizer, NumbersIgnoreTheLocaleDecimalSeparator) {
  const TFormatSettings saved = FormatSettings;
  FormatSettings.DecimalSeparator = ',';
  FormatSettings.ThousandSeparator = '.';
  EXPECT_EQ(Trace("1.5 1,5", "FF"), "1.5 -32000!");
  FormatSettings = saved;
}

TEST(KivoTokenizer, Skips) {
  RunCases({
      {"a block with a nested block", "{a {b} c} d", "SBW", R"(149"{"^a ~ -1"d")"},
      {"a held-back opening brace counts", "x{ a } } y", "WBW", R"(-1"x"^{ ~ -1"y")"},
      {"line ends inside a block", "{a\n{b\r\n}\n} d", "SBW", R"(149"{"^a ~ -1"d")"},
      {"an unclosed block ends with the file", "{a {b", "SB", R"(149"{"^a ~)"},
      {"the rest of a line", "% note {x}\nabc", "SLW", R"(148"%" ~ -1"abc")"},
      {"an attribute", "[LY abc def] x", "SWCW", R"(152"["^L 34"LY" ~ -1"x")"},
      {"an attribute whose bracket is held back", "[a] x", "SWCW",
       R"(152"["^a 151"a"^] ~ -1"x")"},
      {"an attribute across a line end", "[a\nb] x", "SWCW", R"(152"["^a 151"a" ~ -1"x")"},
  });
}

// Reads each attribute the skip meets with the tokenizer, as the reader's skips do.
class TAttributeReader : public TKivoSkipVisitor {
 public:
  explicit TAttributeReader(TKivoSource& file) : FFile(file) {}
  bool WantsBlocks() const override { return false; }
  bool Block(int, int64_t, int64_t) override { return false; }
  bool Attribute(int64_t, int64_t) override {
    GetToken(FFile, WordSet(), /*skipBlanks=*/true);
    ReadIntegerValue(FFile);
    SkipToCloseBracket(FFile);
    return true;
  }

 private:
  TKivoSource& FFile;
};

// Fault: a skip whose reader read an attribute went on as after a blank, so that a quote
// right after the attribute's "]" began a value (`[X 1]"} x"` hid the block's "}"), which
// one right after a block's "}" does not. Neither begins one.
TEST(KivoTokenizer, AQuoteRightAfterAnAttributeOrABlockBeginsNoValueInASkip) {
  for (const char* text : {"{USER [X 1]\"} x\" } y", "{USER {X 1}\"} x\" } y"}) {
    TKivoTextFile kivo(text);
    GetToken(kivo.File(), StructuralSet(), /*skipBlanks=*/true);
    TAttributeReader reader(kivo.File());
    EXPECT_TRUE(SkipBlockVisiting(kivo.File(), reader).Closed) << text;
    EXPECT_EQ(Step(kivo.File(), 'W'), R"(-1"x"^")") << text;
  }
}

// Fault: skips took every brace for structure, so an escaped or quoted brace, or one on
// a comment, in a skipped block ended it early (or late) and took the blocks after it.
TEST(KivoTokenizer, SkipsTakeOnlyTheBracesTheReaderTakesForStructure) {
  RunCases({
      {"escaped braces", R"({a \} \{ b} y)", "SBW", R"(149"{"^a ~ -1"y")"},
      {"braces in quoted values", R"({a "x}y" "p{q"} y)", "SBW", R"(149"{"^a ~ -1"y")"},
      {"... right after the brace", R"({"}" x} y)", "SBW", R"(149"{"^" ~ -1"y")"},
      {"... with an escaped quote inside", R"({a "x\"}" } y)", "SBW", R"(149"{"^a ~ -1"y")"},
      {"a quote inside a piece does not end the value", R"({a "b"c}d" } y)", "SBW",
       R"(149"{"^a ~ -1"y")"},
      {"a quote after other characters begins no value", R"({a 5"} y)", "SBW",
       R"(149"{"^a ~ -1"y")"},
      {"... nor a quote after a bracket", R"({a [b]"} y)", "SBW", R"(149"{"^a ~ -1"y")"},
      {"a quote left open on its line hides no brace", "{a \"x}\n y", "SBW",
       R"(149"{"^a ~ -1"y")"},
      {"... nor does a value that goes on after a backslash", "{a \"x\\\r\n} y", "SBW",
       R"(149"{"^a ~ -1"y")"},
      {"a comment line", "{a\n  % {\n} y", "SBW", R"(149"{"^a ~ -1"y")"},
      {"a comment after a block", "{a {b} % {\n} y", "SBW", R"(149"{"^a ~ -1"y")"},
      {"a \"%\" inside a line begins no comment", "{a 50% {b}} y", "SBW", R"(149"{"^a ~ -1"y")"},
      {"an attribute's value holding its bracket", R"([LY "a]b" c] x)", "SWCW",
       R"(152"["^L 34"LY" ~ -1"x")"},
      {"an escaped bracket", R"([q \] r] x)", "SWCW", R"(152"["^q -1"q" ~ -1"x")"},
      {"an attribute ends where the next begins", "[TS 40 [TR 0] x", "SWICSW",
       R"(152"["^T 37"TS" 40 ~^[ 152"["^T 39"TR")"},
  });
}

// The skips read the same where the buffer ends inside what they pass over: an escape,
// a quote that may end a value, a comment.
TEST(KivoTokenizer, SkipsReadTheSameWhereverTheBufferEnds) {
  const std::string body = "{a \\}b \"c}\" d\r\n% {\r\n\"e\\\"}\" {f}} y";
  const std::string expected = R"(149"{"^a ~ -1"y")";
  EXPECT_EQ(Trace(body, "SBW"), expected);
  constexpr size_t kBuffer = 64 * 1024;
  for (size_t blanks = kBuffer - body.size(); blanks <= kBuffer + 1; ++blanks)
    EXPECT_EQ(Trace(std::string(blanks, ' ') + body, "SBW"), expected) << blanks << " blanks before";
}

// Faults: a number read at a held-back brace converted the previous token again and
// took the brace, so that the skip after it took the enclosing block too; a "(" value
// or a "[" attribute left open took every line after it to the end of the file.
TEST(KivoTokenizer, ReadsStopAtTheBlocksAfterDamage) {
  RunCases({
      {"a number at a held-back brace reads nothing and keeps it", "1} x", "IIBW",
       R"(1^} -32000!^} ~ -1"x")"},
      {"a value run on to a line holding a brace ends there; the skip keeps the block open to "
       "its own \"}\", the brace's block inside it", "(a\n b\n {x} y} z", "VBW",
       R"('a  b  '^{ ~ -1"z")"},
      {"... and a next value is empty", "(a\n {x} y} z", "VV", "'a  '^{ ''^{"},
      {"... a \"}\" there is the block's own end, and so is one on the value's first line",
       "(a\n} x (a}\n} x", "VBWVB", R"('a '^} ~ -1"x" 'a'^} ~)"},
      {"an attribute ends at a \"{\"", "[q {x}] y", "SWCS", R"(152"["^q -1"q" ~^{ 149"q")"},
      {"... and at a \"}\" once it ran over its line, not before", "[q } r] y [qq\n} z",
       "SWCWSWC", R"(152"["^q -1"q" ~ -1"y" 152"["^q -1"qq" ~^})"},
  });
}

// Fault: a misplaced "}" left the board's sections inside a block that is skipped.
TEST(KivoTokenizer, SkipBlockUntilStopsAtAWatchedBlock) {
  TKivoKeywordSet watched;
  watched.set(kwDETAIL);
  TKivoTextFile kivo("{a {b} {c {detail x}}} y");
  GetToken(kivo.File(), StructuralSet(), true);
  ClearProgressSteps();
  const TKivoSkipEnd stopped = SkipBlockUntil(kivo.File(), watched);
  EXPECT_EQ(stopped.Code, kwDETAIL);
  EXPECT_EQ(stopped.Open, 2);  // a and c
  EXPECT_EQ(ProgressSteps(), 3);
  EXPECT_EQ(Step(kivo.File(), 'W'), R"(-1"x"^})");

  TKivoTextFile other("{a {b} {c} e} f", "other.pdf");
  GetToken(other.File(), StructuralSet(), true);
  const TKivoSkipEnd closed = SkipBlockUntil(other.File(), watched);
  EXPECT_EQ(closed.Code, 0);
  EXPECT_TRUE(closed.Closed);
  EXPECT_EQ(Step(other.File(), 'W'), R"(-1"f")");
}

TEST(KivoTokenizer, SkipBlockAdvancesTheProgressAtEveryOpeningBrace) {
  ClearProgressSteps();
  EXPECT_EQ(Trace("{a {b} {c {d}} e} f", "SBW"), R"(149"{"^a ~ -1"f")");
  EXPECT_EQ(ProgressSteps(), 3);
  ClearProgressSteps();
  EXPECT_EQ(Trace("x{ {} } } y", "WBW"), R"(-1"x"^{ ~ -1"y")");
  EXPECT_EQ(ProgressSteps(), 2);
}

// Tokens are read straight from the text file's buffer where they lie within it, and
// character by character where the buffer ends inside them: the same text either way.
TEST(KivoTokenizer, TokensReadTheSameWhereverTheBufferEnds) {
  // A long token, a held-back brace, a NUL inside a token, a CR LF, tokens of 16 and 17
  // characters (the longest copied in one piece, and one more), the end of the file.
  const std::string body = std::string("abcdefghijklmnopqrstuvw{PROGRAM a\0b}\r\n", 38) +
                           "0123456789abcdef 0123456789abcdefg x";
  const char* ops = "WWWWWWWWW";
  const std::string expected = std::string(R"(-1"abcdefghijklmnopqrstuvw"^{ )") +
                               R"(149"abcdefghijklmnopqrstuvw" 10"PROGRAM" )" +
                               std::string("-1\"a\0b\"^} 150\"a\0b\" ", 19) +
                               R"(-1"0123456789abcdef" -1"0123456789abcdefg" -1"x" 0"")";
  EXPECT_EQ(Trace(body, ops), expected);
  constexpr size_t kBuffer = 64 * 1024;
  for (size_t blanks = kBuffer - body.size(); blanks <= kBuffer + 1; ++blanks)
    EXPECT_EQ(Trace(std::string(blanks, ' ') + body, ops), expected) << blanks << " blanks before";
}

// The same file with LF, CR LF or CR line ends reads the same, whatever is read.
TEST(KivoTokenizer, LineEndsDoNotMatter) {
  const std::string lf =
      "{COMPONENT \"board 1\"\n"
      " {ENVIRONMENT\n"
      "  {KIVOVREV \"3.0\"}\n"
      "  {PROGRAM \"V-LOM\n"
      "\n"
      "     Desktop\"}\n"
      "  {LYRSTR \"TOP\" 1 \"BOTTOM\" 2}\n"
      " }\n"
      " [LY \"TOP\"] [WD 10\n"
      "]\n"
      " % a comment {\n"
      " {DETAIL {ANNOTATE {T \"J1 \\\"12\\\"\" -900 400.5} {L 10 20 30 40}} (bracketed\n"
      "  value) }\n"
      "}\n";
  std::string crlf, cr;
  for (char c : lf) {
    crlf += c == '\n' ? "\r\n" : std::string(1, c);
    cr += c == '\n' ? '\r' : c;
  }
  for (const char* ops : {"S", "W", "w", "V", "WV", "WVFI", "SWBL", "sWCV", "N"}) {
    std::string traces[3];
    const std::string* texts[3] = {&lf, &crlf, &cr};
    for (int t = 0; t < 3; ++t) {
      TKivoTextFile kivo(*texts[t]);
      for (int i = 0; i < 2000 && !kivo.File().Eof(); ++i)
        traces[t] += Step(kivo.File(), ops[i % strlen(ops)]) + " ";
    }
    EXPECT_EQ(traces[1], traces[0]) << "CR LF, ops " << ops;
    EXPECT_EQ(traces[2], traces[0]) << "CR, ops " << ops;
  }
}

// What the reads of every token give: the code, the text and the held-back character.
std::string TokenTrace(TKivoSource& file, const std::string& ops, bool inlineReads) {
  std::string trace;
  for (size_t i = 0; !file.Eof(); ++i) {
    const char op = ops[i % ops.size()];
    // Other reads between the tokens move the position on: a value, a skipped line.
    if (op == 'V') {
      trace += '\'' + ReadQuotedString(file) + '\'' + Held(file) + ' ';
      continue;
    }
    if (op == 'L') {
      SkipLine(file);
      trace += "~ ";
      continue;
    }
    const TKivoCharSet& set = op == 'N' ? NumberSet() : op == 'S' ? StructuralSet() : WordSet();
    const bool skip = op != 'w';
    const char held = GetHeldBackChar(file);
    // Held-back braces are returned without reading either way.
    const int code = inlineReads || held == '{' || held == '}'
                         ? GetToken(file, set, skip)
                         : KivoTokenizerDetail::ReadToken(file, set, skip);
    trace += std::to_string(code) + '"' + std::string(GetLastTokenView(file)) + '"' + Held(file) + ' ';
  }
  return trace;
}

// The trace of the reads over the text, inline or character by character.
std::string TraceOf(const std::string& text, const std::string& ops, bool inlineReads) {
  TKivoTextFile kivo(text);
  return TokenTrace(kivo.File(), ops, inlineReads);
}

// Tokens read inline from the buffer, sixteen characters at a look, are those read
// character by character, on texts made to hit the edges of the looks: runs of blanks
// and line ends and alphanumeric tokens longer than a look, NULs, 8-bit bytes and
// other characters that are neither alphanumeric nor delimiters inside tokens, and
// texts longer than the buffer, so that looks meet its end.
TEST(KivoTokenizer, TokensReadInlineAsCharacterByCharacter) {
  const std::string pieces[] = {"\r\n", "\n", "\r", "{", "}", "[", "]", "\"", "(", "_", "$", "/",
                                "\t", ",", "+", "-", ".", std::string(1, '\0'), "\xE9", "\x80",
                                "W", "nn", "PAD_STACK", "sstfile", "-3488", "a1.5", "%"};
  std::mt19937 random(12345);
  for (int round = 0; round < 12; ++round) {
    std::string text;
    const size_t size = round < 6 ? 3000 : 150000;
    while (text.size() < size) {
      switch (random() % 3) {
        case 0: text.append(random() % 3 ? random() % 3 : random() % 50, ' '); break;
        case 1:
          for (unsigned n = random() % 3 ? 1 + random() % 8 : random() % 50; n > 0; --n)
            text += "0123456789abcdefXYZ-."[random() % 21];
          break;
        default: text += pieces[random() % std::size(pieces)]; break;
      }
    }
    std::string ops;
    for (int i = 0; i < 7; ++i)
      ops += "WWWWNSw"[random() % 7];
    std::string traces[2];
    for (int way = 0; way < 2; ++way) {
      TKivoTextFile kivo(text);
      traces[way] = TokenTrace(kivo.File(), ops, /*inlineReads=*/way == 0);
    }
    ASSERT_EQ(traces[0], traces[1]) << "round " << round << ", ops " << ops;
  }
}

}  // namespace

namespace {

// The shortest inline path takes a token only when it and its end lie among the
// sixteen characters at the position: tokens of every length at every offset there,
// ended by every kind of character, read as character by character.
TEST(KivoTokenizer, TokensAtEveryOffsetOfALookReadAsCharacterByCharacter) {
  const std::string ends[] = {" ", "\r\n", "\n", "}", "]", "{", "\"", "+", "_", "/",
                              std::string(1, '\0'), "\xE9", ""};
  for (const std::string& end : ends)
    for (size_t length = 0; length <= 17; ++length) {
      // The token after 0 to 17 blanks or line ends, each case on a line of its own.
      std::string text;
      for (size_t before = 0; before <= 17; ++before)
        text += std::string(before, before % 3 ? ' ' : '\n') +
                std::string("W-12.5abcdefghijk").substr(0, length) + end + " 7}\r\n";
      for (const char* ops : {"W", "wN"}) {
        std::string traces[2];
        for (int way = 0; way < 2; ++way) {
          TKivoTextFile kivo(text);
          traces[way] = TokenTrace(kivo.File(), ops, /*inlineReads=*/way == 0);
        }
        ASSERT_EQ(traces[0], traces[1]) << ops << " on \"" << text << '"';
      }
    }
}

}  // namespace

namespace {

// The commonest tokens are found in the text file's maps, in a look of 31 bits from the
// position rounded down to a multiple of 8: tokens of every length up to beyond the
// look, after every count of blanks and line ends up to beyond it, at every place of a
// word of the maps and across buffer refills, ended by every kind of character (a
// held-back one among them, which starts the next token), read as character by
// character.
TEST(KivoTokenizer, TokensAtEveryPlaceOfTheMapsReadAsCharacterByCharacter) {
  const std::string ends[] = {" ", "\r\n", "\r", "}", "]", "]\r\n", "{", "\"", "\"\n", "_",
                              std::string(1, '\0'), "\xE9", ""};
  const std::string token = "W-12.5abcdefghijklmnopqrstuvwxyz0123";
  for (const std::string& end : ends) {
    std::string text;
    for (size_t length = 0; length <= 34; ++length)
      for (size_t before = 0; before <= 47; ++before)
        text += std::string(before, before % 4 ? ' ' : '\n') + token.substr(0, length) + end +
                " 7}\r\n";
    ASSERT_GT(text.size(), 64u * 1024) << "the buffer is refilled";
    for (const std::string ops : {"W", "wN", "NW"}) {
      ASSERT_EQ(TraceOf(text, ops, true), TraceOf(text, ops, false))
          << ops << ", end \"" << end << '"';
    }
  }
}

}  // namespace

namespace {

// Runs of short tokens after each other are found from the stop bits kept from the
// token before (the cursor's two words, the second taken when the first has none
// left), unless another read moved the position on since: runs ended by every kind of
// character, with values and skipped lines read between them and across buffer
// refills, read as character by character.
TEST(KivoTokenizer, RunsOfTokensFromTheStopBitsKeptReadAsCharacterByCharacter) {
  const std::string ends[] = {" ", " ", " ", "\r\n", "\r", "\n", "}", "{", "]", "[", "\"",
                              "_", "/", "+", ",", std::string(1, '\0'), "\xE9", "  "};
  std::mt19937 random(4711);
  for (int round = 0; round < 8; ++round) {
    std::string text;
    while (text.size() < 100000) {
      const size_t length = random() % 4 ? random() % 8 : random() % 40;
      for (size_t n = 0; n < length; ++n)
        text += "0123456789abcXYZ-."[random() % 18];
      text += ends[random() % std::size(ends)];
    }
    std::string ops;
    for (int i = 0; i < 11; ++i)
      ops += "WWWWWWNNwSVL"[random() % (round < 4 ? 10 : 12)];
    ASSERT_EQ(TraceOf(text, ops, true), TraceOf(text, ops, false))
        << "round " << round << ", ops " << ops;
  }
}

}  // namespace

namespace {

// The structural set's commonest tokens (one "{", "[" or "%", or none before a
// delimiter, blanks and line ends skipped) are read inline: every such token and the
// cases next to them, after every count of blanks and line ends, ended by every kind of
// character and across buffer refills, read as character by character.
TEST(KivoTokenizer, StructuralTokensReadInlineAsCharacterByCharacter) {
  const std::string tokens[] = {"{", "[", "%", "", "{{", "[%{", "\xE9", std::string(1, '\0')};
  const std::string ends[] = {"W", " ", "\r\n", "\r", "\n", "}", "]", "\"", "{", "7",
                              std::string(1, '\0'), "\xE9", ""};
  std::string text;
  while (text.size() < 70000)
    for (const std::string& token : tokens)
      for (const std::string& end : ends)
        for (size_t before = 0; before <= 18; before += 3)
          text += std::string(before, before % 2 ? ' ' : '\n') + token + end + " x";
  for (const std::string ops : {"S", "SW", "SSw", "SV", "SL", "SNL"}) {
    ASSERT_EQ(TraceOf(text, ops, true), TraceOf(text, ops, false)) << ops;
  }
}

}  // namespace

namespace {

// A held-back character before a line end reads as a token of its own and the whole
// line end is consumed: a "\r\n" that the buffer's end splits reads whole too.
TEST(KivoTokenizer, ALineEndAfterAHeldBackCharacterReadsWholeWhereTheBufferEnds) {
  std::string filler;
  while (filler.size() < TTextFile::BufferSize)
    filler += "1 ";
  for (size_t before = TTextFile::BufferSize - 6; before <= TTextFile::BufferSize; ++before) {
    const std::string text = filler.substr(0, before) + "x]\r\n7 8\r\n\r\n]";
    for (const std::string ops : {"W", "wN", "WWw"}) {
      ASSERT_EQ(TraceOf(text, ops, true), TraceOf(text, ops, false))
          << ops << ", " << before << " bytes before";
    }
  }
}

}  // namespace
