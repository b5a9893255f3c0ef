#include "tests/importer/KivoMutation.h"

#include <algorithm>
#include <cassert>
#include <cstring>
#include <iterator>

namespace {

bool IsLineEnd(char c) { return c == '\r' || c == '\n'; }

bool IsOneOf(const std::string& word, std::initializer_list<const char*> words) {
  return std::any_of(words.begin(), words.end(), [&](const char* w) { return word == w; });
}

// Whether the reader passes over a block of `keyword` whole where it stands (the
// keywords of its parent and grandparent given).
bool ReaderSkips(const std::string& keyword, const std::string& parent,
                 const std::string& grandparent) {
  if (parent == "COMPONENT")
    return IsOneOf(keyword, {"USER", "APERTURE_TABLE", "SYMBOL"});
  if (parent == "ANNOTATE")
    return IsOneOf(keyword, {"FL", "DIMENSION"});
  if (parent == "N")
    return keyword == "ATR";
  if (parent == "COMP_DEF")
    return IsOneOf(keyword, {"PKG", "SPKG"});
  if (parent == "ATR")
    return keyword != "IN";
  if (parent == "IN" && grandparent == "ATR")
    return keyword == "UN";
  if (parent == "PIC" && grandparent == "PAD_DEF")
    return IsOneOf(keyword, {"ARC", "FL", "POLY", "OL"});
  return false;
}

}  // namespace

TKivoSample::TKivoSample(std::string text) : FText(std::move(text)) {
  FLineEnd = FText.find("\r\n") != std::string::npos ? "\r\n" : "\n";
  std::vector<size_t> open;  // indices into FBlocks
  char before = '\n';        // the last character on the line that is no blank
  for (size_t i = 0; i < FText.size(); ++i) {
    const char c = FText[i];
    const bool commentMayStart = IsLineEnd(before) || before == '}' || before == ']';
    before = c == ' ' ? before : c;
    if (c == '%' && commentMayStart) {
      const size_t start = i;
      while (i + 1 < FText.size() && !IsLineEnd(FText[i + 1]))
        ++i;
      FComments.emplace_back(start, i + 1);
    } else if (c == '[') {
      FAttributes.push_back(i);
      const size_t key = FText.find_first_not_of(' ', i + 1);
      if (FText.compare(key, 2, "LY") == 0 && key + 2 < FText.size() &&
          (FText[key + 2] == ' ' || FText[key + 2] == '"'))
        FLayerAttributes.push_back(i);
    } else if (c == '{') {
      const size_t word = FText.find_first_not_of(' ', i + 1);
      const size_t end = FText.find_first_of(" {}[\r\n", word);
      TBlock block;
      block.Open = i;
      block.Parent = open.empty() ? npos : open.back();
      block.Keyword = FText.substr(word, end - word);
      FBlocks.push_back(block);
      open.push_back(FBlocks.size() - 1);
    } else if (c == '}' && !open.empty()) {
      FBlocks[open.back()].Close = i;
      open.pop_back();
    }
  }
  assert(open.empty() && "a sample closes its blocks");
  for (TBlock& block : FBlocks) {
    const auto keyword = [&](size_t b) { return b == npos ? std::string() : FBlocks[b].Keyword; };
    const std::string parent = keyword(block.Parent);
    const size_t grand = block.Parent == npos ? npos : FBlocks[block.Parent].Parent;
    if (parent == "COMPONENT" && block.Keyword != "DETAIL")
      block.Role = brSection;
    else if (parent == "DETAIL")
      block.Role = brSection;
    else if (IsOneOf(parent, {"ANNOTATE", "NET_DEF", "SUBCOMP"}) && keyword(grand) == "DETAIL")
      block.Role = brUnit;
    else if ((parent == "ENVIRONMENT" && keyword(grand) == "COMPONENT") ||
             (parent == "PAD_STACK" && keyword(grand) == "DETAIL"))
      block.Role = brGlobal;
    block.Skipped = ReaderSkips(block.Keyword, parent, keyword(grand));
  }
}

bool TKivoSample::InComment(size_t at) const {
  const auto after = std::upper_bound(FComments.begin(), FComments.end(), std::make_pair(at, npos));
  return after != FComments.begin() && at < std::prev(after)->second;
}

size_t TKivoSample::LineStart(size_t at) const {
  at = std::min(at, FText.size());
  while (at > 0 && !IsLineEnd(FText[at - 1]))
    --at;
  return at;
}

size_t TKivoSample::LineEnd(size_t at) const {
  while (at < FText.size() && !IsLineEnd(FText[at]))
    ++at;
  return at;
}

size_t TKivoSample::LineOf(size_t at) const {
  const auto end = FText.begin() + static_cast<std::ptrdiff_t>(at);
  return 1 + static_cast<size_t>(std::count(FText.begin(), end, '\n'));
}

std::string TKivoSample::Without(const std::vector<size_t>& blocks) const {
  std::vector<bool> out(FText.size(), false);
  for (size_t b : blocks)
    std::fill(out.begin() + static_cast<std::ptrdiff_t>(FBlocks[b].Open),
              out.begin() + static_cast<std::ptrdiff_t>(FBlocks[b].Close) + 1, true);
  std::string text;
  text.reserve(FText.size());
  for (size_t i = 0; i < FText.size(); ++i)
    if (!out[i])
      text += FText[i];
  return text;
}

std::vector<size_t> TKivoSample::BlocksOf(TRole role) const {
  std::vector<size_t> found;
  for (size_t b = 0; b < FBlocks.size(); ++b)
    if (FBlocks[b].Role == role)
      found.push_back(b);
  return found;
}

std::vector<size_t> TKivoSample::InstancesOf(size_t definition) const {
  std::vector<size_t> instances;
  for (size_t next = definition + 1; next < FBlocks.size(); ++next) {
    if (FBlocks[next].Parent != FBlocks[definition].Parent)
      continue;
    if (FBlocks[next].Keyword == "COMP_DEF")
      break;
    if (FBlocks[next].Keyword == "I")
      instances.push_back(next);
  }
  return instances;
}

TMutant::TMutant(const std::string& sample) : Text(sample), Origin(sample.size()) {
  for (size_t i = 0; i < Origin.size(); ++i)
    Origin[i] = static_cast<int32_t>(i);
}

void TMutant::Insert(size_t at, const std::string& bytes) {
  at = std::min(at, Text.size());
  Text.insert(at, bytes);
  Origin.insert(Origin.begin() + static_cast<std::ptrdiff_t>(at), bytes.size(), -1);
}

void TMutant::Erase(size_t at, size_t count) {
  at = std::min(at, Text.size());
  count = std::min(count, Text.size() - at);
  Text.erase(at, count);
  Origin.erase(Origin.begin() + static_cast<std::ptrdiff_t>(at),
               Origin.begin() + static_cast<std::ptrdiff_t>(at + count));
}

void TMutant::Change(size_t at, char byte) {
  if (at >= Text.size() || Text[at] == byte)
    return;
  Text[at] = byte;
  Origin[at] = -1;
}

void TMutant::Cut(size_t length) {
  if (length >= Text.size())
    return;
  Text.resize(length);
  Origin.resize(length);
}

uint64_t TKivoMutator::Next() {
  uint64_t z = (FState += 0x9E3779B97F4A7C15ull);
  z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
  z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
  return z ^ (z >> 31);
}

TMutant TKivoMutator::Mutate(const TKivoSample& sample) {
  TMutant mutant(sample.GetText());
  if (Below(3) != 0 || !Target(sample, mutant)) {
    mutant.Edit = "damage";
    Damage(mutant);
  }
  return mutant;
}

void TKivoMutator::Damage(TMutant& mutant) {
  static const char* const kInjected[] = {"{", "}", "[", "]", "\"", "(", ")", "\\", "%",
                                          "{{", "}}", "\"\"", "\r", "\n", "" /* a NUL */};
  static const char* const kInComments[] = {"{", "}", "[", "]", "(", ")"};
  static const char* const kBeyond[] = {"-1e12",       "1e12",         "-1e308", "1e308",
                                        "-2147483649", "2147483648",   "nan",    "-2147483648",
                                        "214748.3648", "-214748.3648", "1e-400", "-2147483647",
                                        "-1"};
  const std::string& text = mutant.Text;
  const int edits = 1 + static_cast<int>(Below(4));
  for (int e = 0; e < edits; ++e) {
    const size_t at = Below(text.size() + 1);
    switch (Below(11)) {
      case 0:  // bit flips
        if (!text.empty())
          for (int n = 1 + static_cast<int>(Below(3)); n > 0; --n) {
            const size_t where = Below(text.size());
            mutant.Change(where, static_cast<char>(text[where] ^ static_cast<char>(1 << Below(8))));
          }
        break;
      case 1:  // random bytes inserted
        for (int n = 1 + static_cast<int>(Below(8)); n > 0; --n) {
          const size_t where = Below(text.size() + 1);
          mutant.Insert(where, std::string(1, static_cast<char>(Next() & 0xFF)));
        }
        break;
      case 2:  // bytes deleted
        mutant.Erase(at, 1 + Below(16));
        break;
      case 3: {  // a chunk duplicated in place
        const size_t length = 1 + Below(256);
        mutant.Insert(at, text.substr(std::min(at, text.size()), length));
        break;
      }
      case 4: {  // structure injected
        const size_t which = Below(std::size(kInjected));
        mutant.Insert(at, which + 1 == std::size(kInjected) ? std::string(1, '\0')
                                                            : std::string(kInjected[which]));
        break;
      }
      case 5: {  // a number made very long
        size_t digit = text.find_first_of("0123456789", at);
        if (digit == std::string::npos)
          digit = text.find_first_of("0123456789");
        if (digit != std::string::npos)
          mutant.Insert(digit, std::string(100 + Below(400), static_cast<char>('0' + Below(10))));
        break;
      }
      case 6:  // cut
        mutant.Cut(at);
        break;
      case 7: {  // a line end changed
        const size_t end = text.find_first_of("\r\n", at);
        if (end != std::string::npos)
          mutant.Change(end, text[end] == '\n' ? '\r' : '\n');
        break;
      }
      case 8: {  // a brace, bracket or parenthesis inside a comment or a string
        const size_t opening = text.find_first_of("%\"", at);
        if (opening == std::string::npos)
          break;
        const size_t closing = std::min(text.find_first_of(text[opening] == '%' ? "\r\n" : "\"",
                                                           opening + 1),
                                        text.size());
        mutant.Insert(opening + 1 + Below(closing - opening),
                      kInComments[Below(std::size(kInComments))]);
        break;
      }
      case 9: {  // a number beyond the range, or no number
        const size_t start = text.find_first_of("-0123456789", at);
        if (start != std::string::npos) {
          const size_t end = text.find_first_not_of("-.0123456789", start + 1);
          mutant.Erase(start, (end == std::string::npos ? text.size() : end) - start);
          mutant.Insert(start, kBeyond[Below(std::size(kBeyond))]);
        }
        break;
      }
      default: {  // a "}" moved to the end
        const size_t brace = text.find('}', at);
        if (brace != std::string::npos) {
          mutant.Erase(brace, 1);
          mutant.Insert(text.size(), "}\n");
        }
        break;
      }
    }
  }
}

bool TKivoMutator::Target(const TKivoSample& sample, TMutant& mutant) {
  using TEdit = bool (*)(const TKivoSample&, size_t, TMutant&);
  static const struct {
    TEdit Edit;
    const char* Name;
  } kEdits[] = {{BraceInSkippedValue, "BraceInSkippedValue"}, {BraceOnCommentLine, "BraceOnCommentLine"},
                {UnknownDefinition, "UnknownDefinition"},     {UndeclaredLayer, "UndeclaredLayer"},
                {TrimClosingBrace, "TrimClosingBrace"},       {MoveClosingBrace, "MoveClosingBrace"},
                {MisspellBlock, "MisspellBlock"},             {OddByteAfterBrace, "OddByteAfterBrace"},
                {TabInText, "TabInText"},                     {BraceInText, "BraceInText"},
                {TextOverTwoLines, "TextOverTwoLines"},       {SectionTwice, "SectionTwice"},
                {UndefinedReference, "UndefinedReference"},   {DefinitionTwice, "DefinitionTwice"},
                {ForeignValue, "ForeignValue"},               {NetNamedAsPin, "NetNamedAsPin"},
                {ShortConnectionList, "ShortConnectionList"}, {CommentBeforeValue, "CommentBeforeValue"}};
  const size_t choice = static_cast<size_t>(Next() >> 1);
  const size_t edit = Below(std::size(kEdits) + 1);
  if (edit < std::size(kEdits)) {
    mutant.Edit = kEdits[edit].Name;
    return kEdits[edit].Edit(sample, choice, mutant);
  }
  mutant.Edit = "IndentByTabs";
  const size_t lines =
      static_cast<size_t>(std::count(sample.GetText().begin(), sample.GetText().end(), '\n'));
  // Now and then the whole file.
  if (Below(8) == 0)
    return IndentByTabs(sample, 0, lines + 1, mutant);
  return IndentByTabs(sample, Below(lines + 1), 1 + Below(30), mutant);
}

namespace {

// One of the blocks the reader skips, by `choice`, into `block` (none when the sample has
// none); answers how many times the choice went round them.
size_t ChooseSkipped(const TKivoSample& sample, size_t choice, const TKivoSample::TBlock*& block) {
  std::vector<size_t> skipped;
  for (size_t b = 0; b < sample.GetBlocks().size(); ++b)
    if (sample.GetBlocks()[b].Skipped)
      skipped.push_back(b);
  if (skipped.empty())
    return 0;
  block = &sample.GetBlocks()[skipped[choice % skipped.size()]];
  return choice / skipped.size();
}

}  // namespace

bool TKivoMutator::BraceInSkippedValue(const TKivoSample& sample, size_t choice, TMutant& mutant) {
  // Valid values: quoted text holds any brace, and a backslash escapes the character
  // after it.
  static const char* const kValues[] = {" \"a}b\"", " \"a{b\"", " a\\}b", " a\\{b",
                                        " \"a\\}b\"", " \"}\"", " \"{{\""};
  const TKivoSample::TBlock* block = nullptr;
  const size_t round = ChooseSkipped(sample, choice, block);
  if (!block)
    return false;
  const char* value = kValues[round % std::size(kValues)];
  mutant.Insert(block->Close, value);
  mutant.Kind = TMutant::mkUnusual;
  mutant.What = std::string("the value") + value + " in the " + block->Keyword + " block";
  return true;
}

bool TKivoMutator::BraceOnCommentLine(const TKivoSample& sample, size_t choice, TMutant& mutant) {
  static const char* const kComments[] = {"% {", "% }", "  % a note { on braces", "%}}"};
  const TKivoSample::TBlock* block = nullptr;
  const size_t round = ChooseSkipped(sample, choice, block);
  if (!block)
    return false;
  const char* comment = kComments[round % std::size(kComments)];
  mutant.Insert(block->Close, sample.GetLineEnd() + comment + sample.GetLineEnd());
  mutant.Kind = TMutant::mkUnusual;
  mutant.What = std::string("the comment line \"") + comment + "\" in the " + block->Keyword +
                " block";
  return true;
}

bool TKivoMutator::IndentByTabs(const TKivoSample& sample, size_t firstLine, size_t lines,
                                TMutant& mutant) {
  const std::string& text = sample.GetText();
  std::vector<size_t> starts;  // of the lines asked for
  size_t line = 0;
  for (size_t at = 0; at <= text.size() && line < firstLine + lines; ++line) {
    if (line >= firstLine)
      starts.push_back(at);
    at = sample.LineEnd(at);
    if (at < text.size() && text[at] == '\r' && at + 1 < text.size() && text[at + 1] == '\n')
      ++at;
    ++at;
  }
  bool indented = false;
  // From the last line up, so that the offsets before stay the sample's.
  for (auto start = starts.rbegin(); start != starts.rend(); ++start) {
    if (*start >= text.size())
      continue;
    const size_t blanks = text.find_first_not_of(' ', *start) - *start;
    if (blanks == 0 || IsLineEnd(text[*start + blanks]))
      continue;
    mutant.Erase(*start, blanks);
    mutant.Insert(*start, std::string((blanks + 1) / 2, '\t'));
    indented = true;
  }
  if (!indented)
    return false;
  mutant.Kind = TMutant::mkUnusual;
  mutant.What = firstLine == 0 && line < lines  // the text ended first
                    ? std::string("every line indented by tabs")
                    : "lines " + std::to_string(firstLine + 1) + " to " +
                          std::to_string(firstLine + starts.size()) + " indented by tabs";
  return true;
}

bool TKivoMutator::UnknownDefinition(const TKivoSample& sample, size_t choice, TMutant& mutant) {
  std::vector<size_t> instances;
  for (size_t b = 0; b < sample.GetBlocks().size(); ++b)
    if (sample.GetBlocks()[b].Role == TKivoSample::brUnit && sample.GetBlocks()[b].Keyword == "I")
      instances.push_back(b);
  if (instances.empty())
    return false;
  const std::string& text = sample.GetText();
  const size_t open = sample.GetBlocks()[instances[choice % instances.size()]].Open;
  const size_t name = text.find_first_not_of(' ', text.find('I', open) + 1);
  const size_t end = text.find_first_of(" \r\n{}", name);
  mutant.Insert(end, "_UNKNOWN");
  mutant.Kind = TMutant::mkMustTell;
  mutant.What = "the instance of " + text.substr(name, end - name) + " made an instance of " +
                text.substr(name, end - name) + "_UNKNOWN";
  return true;
}

bool TKivoMutator::UndeclaredLayer(const TKivoSample& sample, size_t choice, TMutant& mutant) {
  const std::vector<size_t>& layers = sample.GetLayerAttributes();
  if (layers.empty())
    return false;
  const std::string& text = sample.GetText();
  const size_t quote = text.find('"', layers[choice % layers.size()]);
  const size_t end = text.find('"', quote + 1);
  mutant.Insert(quote + 1, "Q");
  mutant.Kind = TMutant::mkMustTell;
  mutant.What = "the layer " + text.substr(quote + 1, end - quote - 1) + " misspelt Q" +
                text.substr(quote + 1, end - quote - 1);
  return true;
}

namespace {

// The "}" that end a line (blanks may follow), outside comments.
std::vector<size_t> LineEndingBraces(const TKivoSample& sample) {
  const std::string& text = sample.GetText();
  std::vector<size_t> braces;
  for (const TKivoSample::TBlock& block : sample.GetBlocks()) {
    const size_t after = text.find_first_not_of(' ', block.Close + 1);
    if (after == std::string::npos || IsLineEnd(text[after]))
      braces.push_back(block.Close);
  }
  std::sort(braces.begin(), braces.end());
  return braces;
}

// Where the line before the one holding `at` ends (its line end's first character);
// npos on the first line.
size_t PreviousLineEnd(const TKivoSample& sample, size_t at) {
  size_t start = sample.LineStart(at);
  if (start == 0)
    return TKivoSample::npos;
  --start;
  if (start > 0 && sample.GetText()[start] == '\n' && sample.GetText()[start - 1] == '\r')
    --start;
  return start;
}

// Where the line after the one holding `at` ends; npos on the last line.
size_t NextLineEnd(const TKivoSample& sample, size_t at) {
  const std::string& text = sample.GetText();
  size_t end = sample.LineEnd(at);
  if (end >= text.size())
    return TKivoSample::npos;
  end += text.compare(end, 2, "\r\n") == 0 ? 2 : 1;
  return sample.LineEnd(end);
}

// A text value of a T block whose objects the translation makes (in ANNOTATE, a net's
// graphics or a component's picture, not a pad's), quoted on the block's line, without
// a quote or backslash inside and short enough to grow by two characters within the 32
// a text keeps.
struct TTextValue {
  size_t Block;
  size_t Open;  // its opening quote
  std::string Value;
};

std::vector<TTextValue> TextValues(const TKivoSample& sample) {
  const std::string& text = sample.GetText();
  const auto& blocks = sample.GetBlocks();
  std::vector<TTextValue> values;
  for (size_t b = 0; b < blocks.size(); ++b) {
    const TKivoSample::TBlock& block = blocks[b];
    if (block.Keyword != "T" || block.Parent == TKivoSample::npos)
      continue;
    const TKivoSample::TBlock& parent = blocks[block.Parent];
    const bool drawn = parent.Keyword == "ANNOTATE" || parent.Keyword == "DG" ||
                       (parent.Keyword == "PIC" && parent.Parent != TKivoSample::npos &&
                        blocks[parent.Parent].Keyword == "COMP_DEF");
    const size_t open = text.find_first_not_of(' ', block.Open + 2);
    if (!drawn || open >= block.Close || text[open] != '"')
      continue;
    const size_t close = text.find('"', open + 1);
    if (close >= block.Close || text.find('"', close + 1) < block.Close ||
        sample.LineEnd(open) < close)
      continue;
    const std::string value = text.substr(open + 1, close - open - 1);
    if (value.empty() || value.size() > 30 || value.find('\\') != std::string::npos)
      continue;
    values.push_back({b, open, value});
  }
  return values;
}

// Writes `written` in the mutant for the text of `value`, and tells the oracle that the
// text becomes `to`.
void ChangeText(const TKivoSample& sample, const TTextValue& value, const std::string& written,
                const std::string& to, TMutant& mutant) {
  mutant.Erase(value.Open + 1, value.Value.size());
  mutant.Insert(value.Open + 1, written);
  mutant.TextChanges.push_back({sample.GetBlocks()[value.Block].Open, value.Value, to});
}

// A text with its tabs written "\t", for a mutant's description.
std::string Shown(std::string text) {
  for (size_t at; (at = text.find('\t')) != std::string::npos;)
    text.replace(at, 1, "\\t");
  return text;
}

}  // namespace

bool TKivoMutator::TrimClosingBrace(const TKivoSample& sample, size_t choice, TMutant& mutant) {
  const std::vector<size_t> braces = LineEndingBraces(sample);
  if (braces.empty())
    return false;
  const size_t brace = braces[choice % braces.size()];
  mutant.Erase(brace, 1);
  mutant.Kind = TMutant::mkMustTell;
  mutant.What = "the \"}\" at the end of line " + std::to_string(sample.LineOf(brace)) +
                " removed";
  return true;
}

bool TKivoMutator::MoveClosingBrace(const TKivoSample& sample, size_t choice, TMutant& mutant) {
  const std::vector<size_t> braces = LineEndingBraces(sample);
  if (braces.empty())
    return false;
  const std::string& text = sample.GetText();
  const size_t brace = braces[choice % braces.size()];
  const bool up = (choice / braces.size()) % 2 != 0;
  size_t to = up ? PreviousLineEnd(sample, brace) : NextLineEnd(sample, brace);
  if (to == TKivoSample::npos)
    to = up ? NextLineEnd(sample, brace) : PreviousLineEnd(sample, brace);
  if (to == TKivoSample::npos)
    return false;
  // The brace passes over nothing but blanks, line ends and other braces that close,
  // and lands outside a comment: the blocks stay as they were.
  const size_t from = std::min(brace + 1, to), until = std::max(brace, to);
  const bool same = text.find_first_not_of(" \r\n}", from) >= until &&
                    (to == 0 || !sample.InComment(to - 1));
  mutant.Erase(brace, 1);
  mutant.Insert(to > brace ? to - 1 : to, "}");
  mutant.Kind = same ? TMutant::mkUnusual : TMutant::mkMustTell;
  mutant.What = "the \"}\" at the end of line " + std::to_string(sample.LineOf(brace)) +
                " moved to the end of line " + std::to_string(sample.LineOf(to));
  return true;
}

bool TKivoMutator::MisspellBlock(const TKivoSample& sample, size_t choice, TMutant& mutant) {
  const auto& blocks = sample.GetBlocks();
  const auto insideSkipped = [&](size_t b) {
    for (size_t p = blocks[b].Parent; p != TKivoSample::npos; p = blocks[p].Parent)
      if (blocks[p].Skipped)
        return true;
    return false;
  };
  std::vector<size_t> named;
  for (size_t b = 0; b < blocks.size(); ++b)
    if (blocks[b].Parent != TKivoSample::npos && !blocks[b].Keyword.empty() && !insideSkipped(b))
      named.push_back(b);
  if (named.empty())
    return false;
  const TKivoSample::TBlock& block = blocks[named[choice % named.size()]];
  const std::string& keyword = block.Keyword;
  std::string misspelt;
  switch ((choice / named.size()) % 3) {
    case 0:
      misspelt = keyword + keyword.back();
      break;
    case 1:
      misspelt = "X" + keyword;
      break;
    default:
      if (const size_t underscore = keyword.find('_'); underscore != std::string::npos)
        misspelt = keyword.substr(0, underscore) + keyword.substr(underscore + 1);
      else
        misspelt = keyword.substr(0, keyword.size() / 2 + 1) + keyword.substr(keyword.size() / 2);
      break;
  }
  const size_t at = sample.GetText().find(keyword, block.Open);
  mutant.Erase(at, keyword.size());
  mutant.Insert(at, misspelt);
  mutant.Kind = TMutant::mkMustTell;
  mutant.What = "the " + keyword + " block at line " +
                std::to_string(sample.LineOf(block.Open)) + " misspelt " + misspelt;
  return true;
}

bool TKivoMutator::OddByteAfterBrace(const TKivoSample& sample, size_t choice, TMutant& mutant) {
  static const char kOdd[] = {'\xA0', '\f', '\v', '\0'};
  static const char* const kNames[] = {"a no-break space", "a form feed", "a vertical tab", "a NUL"};
  const auto& blocks = sample.GetBlocks();
  if (blocks.empty())
    return false;
  const TKivoSample::TBlock& block = blocks[choice % blocks.size()];
  const size_t odd = (choice / blocks.size()) % std::size(kOdd);
  mutant.Insert(block.Open + 1, std::string(1, kOdd[odd]));
  mutant.Kind = TMutant::mkMustTell;
  mutant.What = std::string(kNames[odd]) + " after the \"{\" of the " + block.Keyword +
                " block at line " + std::to_string(sample.LineOf(block.Open));
  return true;
}

bool TKivoMutator::TabInText(const TKivoSample& sample, size_t choice, TMutant& mutant) {
  const std::vector<TTextValue> values = TextValues(sample);
  if (values.empty())
    return false;
  const TTextValue& value = values[choice % values.size()];
  // A blank of the text made a tab, or its last character. (The text keeps its length: a
  // text justified right or centred stands where its length puts it.)
  std::string to = value.Value;
  const size_t blank = to.find(' ');
  to[(choice / values.size()) % 2 == 0 && blank != std::string::npos ? blank : to.size() - 1] = '\t';
  ChangeText(sample, value, to, to, mutant);
  mutant.Kind = TMutant::mkUnusual;
  mutant.What = "the text \"" + value.Value + "\" at line " +
                std::to_string(sample.LineOf(value.Open)) + " written \"" + Shown(to) + "\"";
  return true;
}

bool TKivoMutator::BraceInText(const TKivoSample& sample, size_t choice, TMutant& mutant) {
  static const char* const kBraces[] = {"}", "]", "{"};
  const std::vector<TTextValue> values = TextValues(sample);
  if (values.empty())
    return false;
  const TTextValue& value = values[choice % values.size()];
  std::string to = value.Value;
  to[to.size() / 2] = *kBraces[(choice / values.size()) % std::size(kBraces)];
  ChangeText(sample, value, to, to, mutant);
  mutant.Kind = TMutant::mkUnusual;
  mutant.What = "the text \"" + value.Value + "\" at line " +
                std::to_string(sample.LineOf(value.Open)) + " written \"" + to + "\"";
  return true;
}

bool TKivoMutator::TextOverTwoLines(const TKivoSample& sample, size_t choice, TMutant& mutant) {
  // Split where no blank meets the line end: the two lines join without a blank.
  std::vector<std::pair<const TTextValue*, size_t>> splits;
  const std::vector<TTextValue> values = TextValues(sample);
  for (const TTextValue& value : values)
    for (size_t at = 1; at < value.Value.size(); ++at)
      if (value.Value[at - 1] != ' ' && value.Value[at] != ' ') {
        splits.emplace_back(&value, at);
        break;
      }
  if (splits.empty())
    return false;
  const auto& [value, at] = splits[choice % splits.size()];
  // The continuation's first or last character made the "%", "}" or "{" (the text
  // keeps its length).
  const std::string head = value->Value.substr(0, at), rest = value->Value.substr(at);
  std::string written = head + sample.GetLineEnd();
  std::string to;
  switch ((choice / splits.size()) % 3) {
    case 0:
      to = head + "%" + rest.substr(1);
      written += to.substr(at);
      break;
    case 1:
      to = head + rest.substr(0, rest.size() - 1) + "}";
      written += to.substr(at);
      break;
    default:
      written += rest.substr(0, rest.size() - 1) + "{";
      break;
  }
  const std::string what = "the text \"" + value->Value + "\" at line " +
                           std::to_string(sample.LineOf(value->Open)) +
                           " continued on a second line \"" + written.substr(written.rfind('\n') + 1) + "\"";
  if (to.empty()) {
    // A value continued onto a line holding a "{" ends there, told.
    mutant.Erase(value->Open + 1, value->Value.size());
    mutant.Insert(value->Open + 1, written);
    mutant.Kind = TMutant::mkMustTell;
  } else {
    ChangeText(sample, *value, written, to, mutant);
    mutant.Kind = TMutant::mkUnusual;
  }
  mutant.What = what;
  return true;
}

bool TKivoMutator::SectionTwice(const TKivoSample& sample, size_t choice, TMutant& mutant) {
  const auto& blocks = sample.GetBlocks();
  std::vector<size_t> sections;
  for (size_t b = 0; b < blocks.size(); ++b)
    if (blocks[b].Role == TKivoSample::brSection &&
        (blocks[b].Keyword == "ENVIRONMENT" || blocks[b].Keyword == "PAD_STACK"))
      sections.push_back(b);
  if (sections.empty())
    return false;
  const TKivoSample::TBlock& section = blocks[sections[choice % sections.size()]];
  const size_t start = sample.LineStart(section.Open), end = sample.LineEnd(section.Close);
  mutant.Insert(end, sample.GetLineEnd() + sample.GetText().substr(start, end - start));
  mutant.Kind = TMutant::mkMustTell;
  mutant.MustWarn = true;
  mutant.What = "the " + section.Keyword + " block at line " +
                std::to_string(sample.LineOf(section.Open)) + " given twice";
  return true;
}
