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
      while (i + 1 < FText.size() && !IsLineEnd(FText[i + 1]))
        ++i;
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
  if (Below(6) != 0 || !Target(sample, mutant))
    Damage(mutant);
  return mutant;
}

void TKivoMutator::Damage(TMutant& mutant) {
  static const char* const kInjected[] = {"{", "}", "[", "]", "\"", "(", ")", "\\", "%",
                                          "{{", "}}", "\"\"", "\r", "\n", "" /* a NUL */};
  static const char* const kInComments[] = {"{", "}", "[", "]", "(", ")"};
  static const char* const kBeyond[] = {"-1e12",       "1e12",         "-1e308", "1e308",
                                        "-2147483649", "2147483648",   "nan",    "-2147483648",
                                        "214748.3648", "-214748.3648", "1e-400", "-2147483647"};
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
  const size_t choice = static_cast<size_t>(Next() >> 1);
  switch (Below(5)) {
    case 0:
      return BraceInSkippedValue(sample, choice, mutant);
    case 1:
      return BraceOnCommentLine(sample, choice, mutant);
    case 2: {
      const size_t lines = static_cast<size_t>(
          std::count(sample.GetText().begin(), sample.GetText().end(), '\n'));
      // Now and then the whole file.
      if (Below(8) == 0)
        return IndentByTabs(sample, 0, lines + 1, mutant);
      return IndentByTabs(sample, Below(lines + 1), 1 + Below(30), mutant);
    }
    case 3:
      return UnknownDefinition(sample, choice, mutant);
    default:
      return UndeclaredLayer(sample, choice, mutant);
  }
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
