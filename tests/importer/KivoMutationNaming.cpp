// The mutator's edits that the reader must name by their lines (TMutant::mkMustName):
// a reference to a name the file does not define, a definition given twice, a value that
// is none of its field's, a connection list that reads two ways or falls short; and the
// valid comment line right before a value.
#include "tests/importer/KivoMutation.h"

#include <algorithm>
#include <cctype>
#include <iterator>
#include <set>

namespace {

using TBlock = TKivoSample::TBlock;
constexpr size_t npos = TKivoSample::npos;

// A token of a block's or an attribute's own text: its offset and length (a quoted one
// with its quotes).
struct TToken {
  size_t At = 0, Size = 0;
  bool Quoted = false;
};

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

// The block whose "{" stands at `open`; npos when none.
size_t BlockAt(const TKivoSample& sample, size_t open) {
  const auto& blocks = sample.GetBlocks();
  const auto found = std::lower_bound(blocks.begin(), blocks.end(), open,
                                      [](const TBlock& b, size_t at) { return b.Open < at; });
  return found != blocks.end() && found->Open == open ? static_cast<size_t>(found - blocks.begin())
                                                      : npos;
}

// Where the quoted text opening at `quote` closes (a backslash escapes the character after
// it); npos when a line end or `to` comes first.
size_t QuoteEnd(const std::string& text, size_t quote, size_t to) {
  for (size_t i = quote + 1; i < to; ++i) {
    if (text[i] == '\r' || text[i] == '\n')
      return npos;
    if (text[i] == '\\')
      ++i;
    else if (text[i] == '"')
      return i;
  }
  return npos;
}

// Where the attribute opening at `bracket` closes; npos when it does not on its own terms.
size_t AttributeEnd(const std::string& text, size_t bracket) {
  for (size_t i = bracket + 1; i < text.size(); ++i) {
    if (text[i] == '"') {
      i = QuoteEnd(text, i, text.size());
      if (i == npos)
        return npos;
    } else if (text[i] == ']') {
      return i;
    } else if (text[i] == '{' || text[i] == '}') {
      return npos;
    }
  }
  return npos;
}

// The tokens from `from` to `to` outside comments, inner blocks and attributes; false
// where a quote stands inside a token or a quoted token runs past its line (a text that
// holds a quote), which the targeted edits leave alone.
bool Tokens(const TKivoSample& sample, size_t from, size_t to, std::vector<TToken>& tokens) {
  const std::string& text = sample.GetText();
  for (size_t i = from; i < to;) {
    const char c = text[i];
    if (IsBlank(c)) {
      ++i;
    } else if (sample.InComment(i)) {
      i = sample.LineEnd(i);
    } else if (c == '{') {
      const size_t inner = BlockAt(sample, i);
      if (inner == npos)
        return false;
      i = sample.GetBlocks()[inner].Close + 1;
    } else if (c == '[') {
      const size_t end = AttributeEnd(text, i);
      if (end == npos)
        return false;
      i = end + 1;
    } else if (c == '"') {
      const size_t end = QuoteEnd(text, i, to);
      if (end == npos)
        return false;
      tokens.push_back({i, end + 1 - i, true});
      i = end + 1;
    } else {
      const size_t end = std::min(text.find_first_of(" \t\r\n{}[]\"", i), to);
      if (end < to && text[end] == '"')
        return false;
      tokens.push_back({i, end - i, false});
      i = end;
    }
  }
  return true;
}

// The tokens of block `b`'s own text, its keyword first.
bool OwnTokens(const TKivoSample& sample, size_t b, std::vector<TToken>& tokens) {
  const TBlock& block = sample.GetBlocks()[b];
  return Tokens(sample, block.Open + 1, block.Close, tokens) && !tokens.empty();
}

// The tokens of the attribute whose "[" stands at `bracket`, its key first.
bool AttributeTokens(const TKivoSample& sample, size_t bracket, std::vector<TToken>& tokens) {
  const size_t end = AttributeEnd(sample.GetText(), bracket);
  return end != npos && Tokens(sample, bracket + 1, end, tokens) && !tokens.empty();
}

// A token's word: its text without its quotes.
std::string Word(const TKivoSample& sample, const TToken& token) {
  return token.Quoted ? sample.GetText().substr(token.At + 1, token.Size - 2)
                      : sample.GetText().substr(token.At, token.Size);
}

std::string Keyword(const TKivoSample& sample, size_t b) {
  return b == npos ? std::string() : sample.GetBlocks()[b].Keyword;
}

size_t Parent(const TKivoSample& sample, size_t b) {
  return b == npos ? npos : sample.GetBlocks()[b].Parent;
}

std::string Line(const TKivoSample& sample, size_t at) { return std::to_string(sample.LineOf(at)); }

// The name a defining block gives (its first token after the keyword), by keyword and
// parent: the pad definitions, component definitions and nets of the file.
std::vector<std::pair<size_t, std::string>> Defined(const TKivoSample& sample,
                                                    const std::string& keyword,
                                                    const std::string& parent) {
  std::vector<std::pair<size_t, std::string>> defined;
  for (size_t b = 0; b < sample.GetBlocks().size(); ++b) {
    std::vector<TToken> tokens;
    if (sample.GetBlocks()[b].Keyword == keyword && Keyword(sample, Parent(sample, b)) == parent &&
        OwnTokens(sample, b, tokens) && tokens.size() >= 2)
      defined.emplace_back(b, Word(sample, tokens[1]));
  }
  return defined;
}

std::set<std::string> Names(const std::vector<std::pair<size_t, std::string>>& defined) {
  std::set<std::string> names;
  for (const auto& [block, name] : defined)
    names.insert(name);
  return names;
}

// `name` made one that `names` does not hold.
std::string Undefined(std::string name, const std::set<std::string>& names) {
  do
    name += 'Q';
  while (names.count(name));
  return name;
}

// The pad-stack indices the file's entries define.
std::set<long> PadStackIndices(const TKivoSample& sample) {
  std::set<long> indices;
  for (size_t b = 0; b < sample.GetBlocks().size(); ++b) {
    std::vector<TToken> tokens;
    if (sample.GetBlocks()[b].Keyword == "PAD" && Keyword(sample, Parent(sample, b)) == "PAD_STACK" &&
        OwnTokens(sample, b, tokens) && tokens.size() >= 2)
      indices.insert(std::atol(Word(sample, tokens[1]).c_str()));
  }
  return indices;
}

// A pad-stack index the file does not define, outside the ranges whose pads take a
// default of their own (25 to 50, 200 and more).
std::string UndefinedIndex(const TKivoSample& sample) {
  const std::set<long> indices = PadStackIndices(sample);
  long index = indices.empty() ? 1 : *indices.rbegin() + 1;
  while (indices.count(index) || (index >= 25 && index <= 50))
    ++index;
  return std::to_string(index);
}

// The pin names of the definition an instance belongs to (the one read last before it).
std::set<std::string> PinNames(const TKivoSample& sample, size_t instance) {
  const auto& blocks = sample.GetBlocks();
  size_t definition = npos;
  for (size_t b = instance; b-- > 0;)
    if (blocks[b].Keyword == "COMP_DEF" && blocks[b].Parent == blocks[instance].Parent) {
      definition = b;
      break;
    }
  std::set<std::string> pins;
  if (definition == npos)
    return {};
  for (size_t b = definition + 1; b < blocks.size() && blocks[b].Open < blocks[definition].Close; ++b) {
    std::vector<TToken> tokens;
    if (blocks[b].Keyword == "P" && Keyword(sample, blocks[b].Parent) == "PIN_DEF" &&
        OwnTokens(sample, b, tokens) && tokens.size() >= 2)
      pins.insert(Word(sample, tokens[1]));
  }
  return pins;
}

// The connection lists of instances: the CN block, its instance and its names.
struct TConnections {
  size_t Block, Instance;
  std::vector<TToken> Names;
  bool Pairs;  // its first name is a pin's: pin and net in turn
};

std::vector<TConnections> ConnectionLists(const TKivoSample& sample) {
  std::vector<TConnections> lists;
  for (size_t b = 0; b < sample.GetBlocks().size(); ++b) {
    const size_t instance = sample.GetBlocks()[b].Parent;
    std::vector<TToken> tokens;
    if (sample.GetBlocks()[b].Keyword != "CN" || Keyword(sample, instance) != "I" ||
        !OwnTokens(sample, b, tokens) || tokens.size() < 2)
      continue;
    tokens.erase(tokens.begin());
    const bool pairs = PinNames(sample, instance).count(Word(sample, tokens.front())) != 0;
    lists.push_back({b, instance, tokens, pairs});
  }
  return lists;
}

// An edit of the sample: [At, At + Size) replaced by `With`.
struct TRewrite {
  size_t At, Size;
  std::string With;
};

// Where the sample's byte at `offset` stands after `edits` (one written at the same
// offset goes before it).
size_t Moved(const std::vector<TRewrite>& edits, size_t offset) {
  long shift = 0;
  for (const TRewrite& edit : edits)
    if (edit.At < offset || (edit.At == offset && edit.Size == 0))
      shift += static_cast<long>(edit.With.size()) - static_cast<long>(edit.Size);
  return static_cast<size_t>(static_cast<long>(offset) + shift);
}

void Rewrite(std::vector<TRewrite> edits, TMutant& mutant) {
  std::sort(edits.begin(), edits.end(), [](const TRewrite& a, const TRewrite& b) { return a.At < b.At; });
  for (auto edit = edits.rbegin(); edit != edits.rend(); ++edit) {
    mutant.Erase(edit->At, edit->Size);
    mutant.Insert(edit->At, edit->With);
  }
}

// One mutant a targeted edit makes of a sample: its edits, and what the oracle is told.
struct TPlace {
  std::vector<TRewrite> Edits;
  TMutant::TKind Kind = TMutant::mkMustName;
  std::vector<TMutant::TNaming> Namings;  // at the mutant's offsets
  std::vector<TMutant::TNetRename> Renames;
  std::vector<TMutant::TDesignatorChange> Designators;
  std::string What;
};

// The places of a targeted edit in a sample, found once for each sample (the campaign
// takes its samples in turn), in the order the choices take them: the first way of
// editing each place, then the second...
using TFindPlaces = std::vector<TPlace> (*)(const TKivoSample&);
const std::vector<TPlace>& Places(const TKivoSample& sample, TFindPlaces find) {
  static std::vector<std::pair<std::pair<TFindPlaces, std::string>, std::vector<TPlace>>> found;
  for (const auto& [key, places] : found)
    if (key.first == find && key.second == sample.GetText())
      return places;
  if (found.size() >= 16)
    found.erase(found.begin());
  found.push_back({{find, sample.GetText()}, find(sample)});
  return found.back().second;
}

// Makes the mutant of the place `choice` picks; false when there is none.
bool Apply(const TKivoSample& sample, TFindPlaces find, size_t choice, TMutant& mutant) {
  const std::vector<TPlace>& places = Places(sample, find);
  if (places.empty())
    return false;
  const TPlace& place = places[choice % places.size()];
  Rewrite(place.Edits, mutant);
  mutant.Kind = place.Kind;
  mutant.Namings = place.Namings;
  mutant.NetRenames = place.Renames;
  mutant.Designators = place.Designators;
  mutant.What = place.What;
  return true;
}

// A place to be named: one edit, one warning naming the lines of `named` (the mutant's
// offsets) where what the unit at `unit` holds differs.
TPlace Named(const TRewrite& edit, const std::vector<size_t>& named, size_t unit, bool always,
             const std::string& what) {
  TPlace place;
  place.Edits = {edit};
  place.Namings.push_back({named, unit, always});
  place.What = what;
  return place;
}

// The places' ways taken in turn: the first way of every place, then the second...
std::vector<TPlace> InTurn(std::vector<std::vector<TPlace>> ways) {
  std::vector<TPlace> places;
  for (size_t way = 0, more = 1; more; ++way) {
    more = 0;
    for (auto& placeWays : ways)
      if (way < placeWays.size()) {
        places.push_back(std::move(placeWays[way]));
        more = 1;
      }
  }
  return places;
}

// A reference renamed to a name the file does not define: a pad-stack entry's pad
// definitions, a pin's or via's pad-stack index, a connection's net.
std::vector<TPlace> UndefinedReferences(const TKivoSample& sample) {
  std::vector<TPlace> places;
  const std::set<std::string> pads = Names(Defined(sample, "PAD_DEF", "PAD_STACK"));
  const std::set<std::string> nets = Names(Defined(sample, "N", "NET_DEF"));
  const std::string index = UndefinedIndex(sample);
  const auto& blocks = sample.GetBlocks();
  const auto refer = [&](const TToken& token, size_t unit, const std::string& to, const std::string& what) {
    places.push_back(Named({token.At, token.Size, token.Quoted ? '"' + to + '"' : to}, {token.At}, unit,
                           /*always=*/false,
                           what + " " + Word(sample, token) + " at line " + Line(sample, token.At) +
                               " made " + to));
  };
  for (size_t b = 0; b < blocks.size(); ++b) {
    const std::string parent = Keyword(sample, blocks[b].Parent);
    std::vector<TToken> tokens;
    if (!OwnTokens(sample, b, tokens))
      continue;
    if (blocks[b].Keyword == "PAD" && parent == "PAD_STACK") {
      for (size_t t = 2; t < tokens.size() && t < 4; ++t)
        if (!Word(sample, tokens[t]).empty())
          refer(tokens[t], npos, Undefined(Word(sample, tokens[t]), pads), "the pad definition");
    } else if (blocks[b].Keyword == "PT" && tokens.size() >= 2) {
      refer(tokens[1], blocks[b].Open, index, "the pin's pad-stack index");
    } else if (blocks[b].Keyword == "V" && parent == "DG" && tokens.size() >= 4) {
      refer(tokens[3], blocks[b].Open, index, "the via's pad-stack index");
    }
  }
  // A connection's net: every name of a list by position, every second of one by pairs.
  for (const TConnections& list : ConnectionLists(sample))
    for (size_t t = list.Pairs ? 1 : 0; t < list.Names.size(); t += list.Pairs ? 2 : 1)
      refer(list.Names[t], blocks[list.Block].Open, Undefined(Word(sample, list.Names[t]), nets),
            "the connection to");
  std::sort(places.begin(), places.end(),
            [](const TPlace& a, const TPlace& b) { return a.Edits[0].At < b.Edits[0].At; });
  return places;
}

bool IsOneOf(const std::string& word, std::initializer_list<const char*> words) {
  return std::any_of(words.begin(), words.end(), [&](const char* w) { return word == w; });
}

bool IsNumber(const std::string& word) {
  if (word.empty() ||
      !(std::isdigit(static_cast<unsigned char>(word[0])) || word[0] == '-' || word[0] == '.'))
    return false;
  char* end = nullptr;
  std::strtod(word.c_str(), &end);
  return *end == 0;
}

// A number written otherwise: a "1" before its digits.
std::string OtherNumber(const std::string& number) {
  return number[0] == '-' ? "-1" + number.substr(1) : "1" + number;
}

// The text of block `b` with other contents: each number of its places and shapes (PLOC,
// C, FR, L, R, ARC, W) given a "1" before its digits; empty when it has none.
std::string Altered(const TKivoSample& sample, size_t b) {
  const auto& blocks = sample.GetBlocks();
  std::vector<TRewrite> edits;
  for (size_t inner = b + 1; inner < blocks.size() && blocks[inner].Open < blocks[b].Close; ++inner) {
    std::vector<TToken> tokens;
    if (!IsOneOf(blocks[inner].Keyword, {"PLOC", "C", "FR", "L", "R", "ARC", "W"}) ||
        !OwnTokens(sample, inner, tokens))
      continue;
    for (size_t t = 1; t < tokens.size(); ++t)
      if (!tokens[t].Quoted && IsNumber(Word(sample, tokens[t])))
        edits.push_back({tokens[t].At - blocks[b].Open, tokens[t].Size,
                         OtherNumber(Word(sample, tokens[t]))});
  }
  if (edits.empty())
    return {};
  TMutant copy(sample.GetText().substr(blocks[b].Open, blocks[b].Close + 1 - blocks[b].Open));
  Rewrite(edits, copy);
  return copy.Text;
}

// The value of the last layer attribute before block `b` inside its parent; empty when
// none.
std::string LayerBefore(const TKivoSample& sample, size_t b) {
  const std::vector<size_t>& layers = sample.GetLayerAttributes();
  const TBlock& block = sample.GetBlocks()[b];
  const auto after = std::upper_bound(layers.begin(), layers.end(), block.Open);
  std::vector<TToken> tokens;
  if (after == layers.begin() || *std::prev(after) < sample.GetBlocks()[block.Parent].Open ||
      !AttributeTokens(sample, *std::prev(after), tokens) || tokens.size() < 2)
    return {};
  return Word(sample, tokens[1]);
}

// A definition given again with other contents: the second one written right before or
// after the first (the first way of each, then the second), both lines to be named.
std::vector<TPlace> DefinitionsTwice(const TKivoSample& sample) {
  std::vector<std::vector<TPlace>> ways;
  const std::string& lineEnd = sample.GetLineEnd();
  const auto& blocks = sample.GetBlocks();
  // The second written as `edit`; the mutant's offsets of the first and second.
  const auto twice = [](const TRewrite& edit, size_t first, size_t second, const std::string& what) {
    return Named(edit, {first, second}, npos, /*always=*/true, what);
  };
  const auto around = [&](size_t b, const std::string& copy, const std::string& what) {
    const TBlock& block = blocks[b];
    ways.push_back({twice({block.Open, 0, copy + lineEnd}, block.Open + copy.size() + lineEnd.size(),
                          block.Open, what + " before it"),
                    twice({block.Close + 1, 0, lineEnd + copy}, block.Open,
                          block.Close + 1 + lineEnd.size(), what + " after it")});
  };
  const auto pads = Defined(sample, "PAD_DEF", "PAD_STACK");
  std::vector<std::pair<size_t, TToken>> designators;  // each instance's I block and designator
  for (size_t b = 0; b < blocks.size(); ++b) {
    const std::string& keyword = blocks[b].Keyword;
    const std::string parent = Keyword(sample, blocks[b].Parent);
    std::vector<TToken> tokens;
    if (!OwnTokens(sample, b, tokens) || tokens.size() < 2)
      continue;
    const std::string name = Word(sample, tokens[1]);
    const std::string what = "the " + keyword + " " + name + " at line " + Line(sample, blocks[b].Open) +
                             " given again with other contents";
    const bool global = blocks[b].Role == TKivoSample::brGlobal;
    if ((keyword == "PAD_DEF" && parent == "PAD_STACK") || (keyword == "COMP_DEF" && parent == "SUBCOMP") ||
        (keyword == "N" && parent == "NET_DEF")) {
      std::string copy = Altered(sample, b);
      if (copy.empty() && keyword == "PAD_DEF")
        copy = sample.GetText().substr(blocks[b].Open, blocks[b].Close - blocks[b].Open) +
               " {PIC [LY \"PADCOM\"] {C 0 0 44}}}";
      if (!copy.empty())
        around(b, copy, what);
    } else if (keyword == "PAD" && parent == "PAD_STACK" && tokens.size() >= 3) {
      const auto other = std::find_if(pads.begin(), pads.end(), [&](const auto& pad) {
        return pad.second != Word(sample, tokens[2]);
      });
      if (other != pads.end())
        around(b, "{PAD " + name + " \"" + other->second + "\" \"\"}", what);
    } else if (global && keyword == "DBUNIT") {
      around(b, std::string("{DBUNIT \"") + (name == "MIL" ? "MM" : "MIL") + "\"}", what);
    } else if (global && keyword == "DBGRID" && IsNumber(name)) {
      around(b, "{DBGRID " + OtherNumber(name) + "}", what);
    } else if (global && keyword == "LYRSTR") {
      // A layer name given again with the next number, before its entry or at the end.
      const std::string number = std::to_string(tokens.size() / 2 + 1);
      for (size_t t = 1; t < tokens.size(); t += 2) {
        const std::string entry = "\"" + Word(sample, tokens[t]) + "\" " + number;
        const std::string layer = "the layer " + Word(sample, tokens[t]) + " at line " +
                                  Line(sample, tokens[t].At) + " given again";
        ways.push_back({twice({tokens[t].At, 0, entry + " "}, tokens[t].At + entry.size() + 1,
                              tokens[t].At, layer + " before it"),
                        twice({blocks[b].Close, 0, " " + entry + " "}, tokens[t].At,
                              blocks[b].Close + 1, layer + " at the end of LYRSTR")});
      }
    } else if (keyword == "I" && blocks[b].Role == TKivoSample::brUnit && tokens.size() >= 3) {
      designators.emplace_back(b, tokens[2]);
    }
  }
  // An instance given the designator of the one before it, or after it.
  for (size_t i = 0; i < designators.size(); ++i) {
    ways.emplace_back();
    for (const size_t other : {i - 1, i + 1}) {
      if (other >= designators.size())
        continue;
      const TToken& token = designators[i].second;
      const TToken& theirs = designators[other].second;
      const TRewrite edit{token.At, token.Size, sample.GetText().substr(theirs.At, theirs.Size)};
      ways.back().push_back(twice(edit, Moved({edit}, theirs.At), token.At,
                                  "the designator " + Word(sample, token) + " at line " +
                                      Line(sample, token.At) + " made " + Word(sample, theirs) +
                                      ", that of the instance at line " + Line(sample, theirs.At)));
      ways.back().back().Designators.push_back(
          {blocks[designators[i].first].Open, Word(sample, token), Word(sample, theirs)});
    }
  }
  return InTurn(std::move(ways));
}

// Another word in an enumerated or numeric field, in each of its ways.
std::vector<TPlace> ForeignValues(const TKivoSample& sample) {
  enum TFieldKind { fkWord, fkInteger, fkCoordinate, fkDrill };
  std::vector<std::vector<TPlace>> ways;
  const auto& blocks = sample.GetBlocks();
  // An attribute's value sets the drawing state of every object after it: the whole
  // board is what it decides.
  bool attribute = false;
  const auto add = [&](const std::vector<TToken>& tokens, size_t count, TFieldKind kind) {
    const std::string field = Word(sample, tokens[0]);
    for (size_t t = 1; t <= count && t < tokens.size(); ++t) {
      const TToken& token = tokens[t];
      const std::string value = Word(sample, token);
      const bool number = !token.Quoted && IsNumber(value);
      if ((kind == fkInteger || kind == fkCoordinate) && !number)
        continue;
      std::string lower = value;
      std::transform(lower.begin(), lower.end(), lower.begin(),
                     [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
      const std::string quoted = "\"" + value + " \"";
      std::vector<std::string> words;
      switch (kind) {
        case fkWord:
          for (const std::string& word : {value + " ", " " + value, lower != value ? lower : "q" + value,
                                          "Q" + value, std::string()})
            words.push_back('"' + word + '"');
          break;
        case fkInteger:
          words = {"X", value + "X", quoted, value + ".5"};
          break;
        case fkCoordinate:
          words = {"X", value + "X", quoted, "X" + value};
          break;
        case fkDrill:
          for (const std::string& word : {value + " ", " " + value, "X" + value, value + "X"})
            words.push_back('"' + word + '"');
          break;
      }
      ways.emplace_back();
      for (const std::string& word : words)
        ways.back().push_back(Named({token.At, token.Size, word}, {token.At}, attribute ? npos : token.At,
                                    /*always=*/false,
                                    "the value " + sample.GetText().substr(token.At, token.Size) +
                                        " of " + field + " at line " + Line(sample, token.At) +
                                        " written " + word));
    }
  };
  for (size_t b = 0; b < blocks.size(); ++b) {
    const std::string& keyword = blocks[b].Keyword;
    const std::string parent = Keyword(sample, blocks[b].Parent);
    const bool global = blocks[b].Role == TKivoSample::brGlobal;
    std::vector<TToken> tokens;
    if (!OwnTokens(sample, b, tokens))
      continue;
    if (parent == "IN" && IsOneOf(keyword, {"PS", "MR", "UN", "SMD"}))
      add(tokens, 1, fkWord);
    else if (parent == "IN" && IsOneOf(keyword, {"ORG", "PL", "NL"}))
      add(tokens, 2, fkCoordinate);
    else if (parent == "IN" && IsOneOf(keyword, {"SC", "RO", "PA"}))
      add(tokens, keyword == "SC" ? 2 : 1, fkInteger);
    else if (global && keyword == "DBUNIT")
      add(tokens, 1, fkWord);
    else if ((global && keyword == "DBGRID") || (keyword == "PT" && parent == "P"))
      add(tokens, 1, fkInteger);
    else if (keyword == "PLOC")
      add(tokens, 2, fkCoordinate);
    else if (keyword == "T" && parent == "PIC" &&
             Keyword(sample, Parent(sample, blocks[b].Parent)) == "PAD_DEF" &&
             LayerBefore(sample, b) == "DRILL" && tokens.size() >= 2 && tokens[1].Quoted)
      add(tokens, 1, fkDrill);
  }
  attribute = true;
  for (size_t bracket : sample.GetAttributes()) {
    std::vector<TToken> tokens;
    if (!AttributeTokens(sample, bracket, tokens))
      continue;
    const std::string key = Word(sample, tokens[0]);
    if (IsOneOf(key, {"TJ", "TM", "LS"}))
      add(tokens, 1, fkWord);
    else if (IsOneOf(key, {"WD", "TS"}))
      add(tokens, 1, fkCoordinate);
    else if (key == "TR")
      add(tokens, 1, fkInteger);
  }
  std::sort(ways.begin(), ways.end(), [](const std::vector<TPlace>& a, const std::vector<TPlace>& b) {
    return a.front().Edits[0].At < b.front().Edits[0].At;
  });
  return InTurn(std::move(ways));
}

// A net renamed everywhere to the name of a pin of an instance whose list by position it
// starts (a pin named as no net of the file).
std::vector<TPlace> NetsNamedAsPins(const TKivoSample& sample) {
  const auto nets = Defined(sample, "N", "NET_DEF");
  const std::set<std::string> netNames = Names(nets);
  const std::vector<TConnections> lists = ConnectionLists(sample);
  std::vector<TPlace> places;
  for (const TConnections& start : lists) {
    const std::string net = Word(sample, start.Names.front());
    if (start.Pairs || !netNames.count(net))
      continue;
    for (const std::string& pin : PinNames(sample, start.Instance)) {
      if (netNames.count(pin))
        continue;
      TPlace place;
      for (const auto& [block, name] : nets) {
        std::vector<TToken> tokens;
        if (name == net && OwnTokens(sample, block, tokens))
          place.Edits.push_back({tokens[1].At, tokens[1].Size, tokens[1].Quoted ? '"' + pin + '"' : pin});
      }
      for (const TConnections& list : lists)
        for (const TToken& name : list.Names)
          if (Word(sample, name) == net)
            place.Edits.push_back({name.At, name.Size, name.Quoted ? '"' + pin + '"' : pin});
      // Each list it now starts where the name is a pin's reads two ways.
      for (const TConnections& list : lists)
        if (Word(sample, list.Names.front()) == net && PinNames(sample, list.Instance).count(pin))
          place.Namings.push_back({{Moved(place.Edits, list.Names.front().At)},
                                   sample.GetBlocks()[list.Block].Open, false});
      place.Renames.push_back({net, pin});
      place.What = "the net " + net + " named " + pin + " everywhere, the name of a pin of the "
                   "instance at line " + Line(sample, sample.GetBlocks()[start.Instance].Open) +
                   " whose list it starts";
      places.push_back(std::move(place));
    }
  }
  return places;
}

// A connection list short of its last name (and the blanks before it).
std::vector<TPlace> ShortConnectionLists(const TKivoSample& sample) {
  std::vector<TPlace> places;
  for (const TConnections& list : ConnectionLists(sample)) {
    if (list.Names.size() < 2)
      continue;
    const TToken& before = list.Names[list.Names.size() - 2];
    const TToken& last = list.Names.back();
    const size_t open = sample.GetBlocks()[list.Block].Open;
    places.push_back(Named({before.At + before.Size, last.At + last.Size - before.At - before.Size, ""},
                           {open}, open, /*always=*/false,
                           "the connection list at line " + Line(sample, open) +
                               " short of its last name " + Word(sample, last)));
  }
  return places;
}

// A comment line right before each value (a token of a block or an attribute after its
// keyword), in each of two forms.
std::vector<TPlace> CommentsBeforeValues(const TKivoSample& sample) {
  std::vector<std::pair<size_t, std::string>> values;  // each value, and its block or key
  for (size_t b = 0; b < sample.GetBlocks().size(); ++b) {
    std::vector<TToken> tokens;
    if (OwnTokens(sample, b, tokens))
      for (size_t t = 1; t < tokens.size(); ++t)
        values.emplace_back(tokens[t].At, "the " + sample.GetBlocks()[b].Keyword + " block");
  }
  for (size_t bracket : sample.GetAttributes()) {
    std::vector<TToken> tokens;
    if (AttributeTokens(sample, bracket, tokens))
      for (size_t t = 1; t < tokens.size(); ++t)
        values.emplace_back(tokens[t].At, "the " + Word(sample, tokens[0]) + " attribute");
  }
  std::sort(values.begin(), values.end());
  std::vector<std::vector<TPlace>> ways;
  for (const auto& [at, where] : values) {
    ways.emplace_back();
    for (const char* comment : {"% a note", "%"}) {
      TPlace place;
      place.Edits = {{at, 0, sample.GetLineEnd() + comment + sample.GetLineEnd()}};
      place.Kind = TMutant::mkUnusual;
      place.What = std::string("the comment line \"") + comment + "\" before the value at line " +
                   Line(sample, at) + " of " + where;
      ways.back().push_back(std::move(place));
    }
  }
  return InTurn(std::move(ways));
}

}  // namespace

bool TKivoMutator::UndefinedReference(const TKivoSample& sample, size_t choice, TMutant& mutant) {
  return Apply(sample, UndefinedReferences, choice, mutant);
}

bool TKivoMutator::DefinitionTwice(const TKivoSample& sample, size_t choice, TMutant& mutant) {
  return Apply(sample, DefinitionsTwice, choice, mutant);
}

bool TKivoMutator::ForeignValue(const TKivoSample& sample, size_t choice, TMutant& mutant) {
  return Apply(sample, ForeignValues, choice, mutant);
}

bool TKivoMutator::NetNamedAsPin(const TKivoSample& sample, size_t choice, TMutant& mutant) {
  return Apply(sample, NetsNamedAsPins, choice, mutant);
}

bool TKivoMutator::ShortConnectionList(const TKivoSample& sample, size_t choice, TMutant& mutant) {
  return Apply(sample, ShortConnectionLists, choice, mutant);
}

bool TKivoMutator::CommentBeforeValue(const TKivoSample& sample, size_t choice, TMutant& mutant) {
  return Apply(sample, CommentsBeforeValues, choice, mutant);
}
