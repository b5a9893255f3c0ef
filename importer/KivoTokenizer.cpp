// Decisions taken where the reading rules leave a choice or would misbehave:
// - A line end inside a bracketed value joins the two lines with one blank (the line
//   end is consumed, as every line end reads as one blank), and the value goes on
//   until ")" or the end of the file. A line end is never re-read as blanks. But a
//   brace on a line the value ran on to ends it, held back (HeldBraceRanOver): a "("
//   left open would otherwise take the rest of the file for its value.
// - A quoted value ends early at an unescaped "]" or "}": the bracket stays held back
//   for the reader, as after a bare value, and the value keeps every character read
//   (no last character is taken for a closing quote that was never met). The escaped
//   forms "\]" and "\}" give the bracket inside the value.
// - #1 is listed among the quoted value's delimiters only to tell that set from the
//   bare-value set; sets here carry their kind, so #1 is an ordinary value character.
// - A held-back "}" met by the continuation after a piece ending in a backslash starts
//   the next piece, as any other held-back delimiter does (so "\}" escapes it),
//   instead of the previous piece being taken again.
// - Before a value, blanks and line ends are skipped directly and the first other
//   character is held back, whatever its code; at the end of the file the value is
//   empty.
// - Tokens and values are cut at KivoMaxTokenLength characters (the rest is read and
//   dropped); a number token that was cut is unreadable. Values are joined in a loop,
//   not by recursion, so a long run of continued pieces cannot exhaust the stack.
// - Numbers use "." and strict plain decimal notation whatever the locale says.
#include "importer/KivoTokenizer.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <utility>

#include "classlib/SysUtils.h"
#include "pcb/PcbApi.h"

namespace {

using TTokenizerState = KivoTokenizerDetail::TState;
TTokenizerState& gState = KivoTokenizerDetail::State;

TKivoCharSet& gStructural = KivoTokenizerDetail::Structural;
TKivoCharSet& gWord = KivoTokenizerDetail::Word;
TKivoCharSet& gNumber = KivoTokenizerDetail::Number;
TKivoCharSet& gBlankSkip = KivoTokenizerDetail::BlankSkip;
TKivoCharSet& gClose = KivoTokenizerDetail::Close;
TKivoCharSet& gBareValue = KivoTokenizerDetail::BareValue;
TKivoCharSet& gQuotedValue = KivoTokenizerDetail::QuotedValue;
TKivoCharSet& gBracketedValue = KivoTokenizerDetail::BracketedValue;
TKivoCharSet gBlankOnly;
// The bracketed value's delimiters once it ran on past a line end.
TKivoCharSet gBracketedRanOn;
const TKivoCharSet gNoSet;

constexpr std::string_view kDigits = "0123456789";
constexpr std::string_view kLetters =
    "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";

// The next character; a line end reads as one blank and is consumed (at the end of
// the file too, where nothing is left to consume).
inline unsigned char NextChar(TTextFile& file) {
  if (file.Eoln()) {
    file.ReadLn();
    return ' ';
  }
  char c;
  file.Read(c);
  return static_cast<unsigned char>(c);
}

inline unsigned char RawChar(TTextFile& file) {
  char c;
  file.Read(c);
  return static_cast<unsigned char>(c);
}

// Passes over the buffered blanks.
inline void SkipBufferedBlanks(TTextFile& file) {
  const char* p = file.BufferPos();
  const char* const end = file.BufferEnd();
  while (p < end && *p == ' ')
    ++p;
  file.SetBufferPos(p);
}

char (&gTokenBuffer)[KivoMaxTokenLength] = KivoTokenizerDetail::TokenBuffer;

using KivoTokenizerDetail::TokenText;

// Collects a token's characters in gTokenBuffer; local, so that its counters stay in
// registers while the file's characters are read.
class TTokenBuilder {
 public:
  void Add(unsigned char c) {
    if (FLength < KivoMaxTokenLength)
      gTokenBuffer[FLength++] = static_cast<char>(c);
    else
      FCut = true;
    FLast = c;
  }
  void Finish(TTokenizerState& s) const {
    s.TextLength = FLength;
    s.TextLast = FLast;
    s.TextCut = FCut;
  }

 private:
  size_t FLength = 0;
  unsigned char FLast = 0;
  bool FCut = false;
};

void AppendCapped(std::string& value, std::string_view piece) {
  size_t room = KivoMaxTokenLength - std::min(value.size(), KivoMaxTokenLength);
  value.append(piece.substr(0, room));
}

// Backslash escapes, in place: "\b" and "\B" give a blank, a backslash before any
// other character gives that character; a lone backslash at the end is kept.
void Unescape(std::string& text) {
  size_t out = 0;
  for (size_t i = 0; i < text.size(); ++i) {
    char c = text[i];
    if (c == '\\' && i + 1 < text.size()) {
      c = text[++i];
      if (c == 'b' || c == 'B')
        c = ' ';
    }
    text[out++] = c;
  }
  text.resize(out);
}

}  // namespace

TKivoCharSet::TKivoCharSet(std::string_view delimiters, TKind kind) : FKind(kind) {
  for (unsigned char c : delimiters)
    if (c != 0)
      FClass[c] = kDelimiter;
  FEmpty = delimiters.empty();
  Classify();
}

TKivoCharSet TKivoCharSet::AllExcept(std::string_view tokenChars, TKind kind) {
  TKivoCharSet set;
  for (int c = 1; c <= 127; ++c)
    set.FClass[c] = kDelimiter;
  for (unsigned char c : tokenChars)
    if (c != 0)
      set.FClass[c] = 0;
  set.FEmpty = false;
  set.FKind = kind;
  set.Classify();
  return set;
}

void TKivoCharSet::Classify() {
  FEndsAtBlanksAndLineEnds = FKind == ksPlain && Contains(' ') && Contains('\r') && Contains('\n');
  FPassesAlphanumerics = !Contains('-') && !Contains('.');
  for (unsigned char c : kDigits)
    FPassesAlphanumerics = FPassesAlphanumerics && !Contains(c);
  for (unsigned char c : kLetters)
    FPassesAlphanumerics = FPassesAlphanumerics && !Contains(c);
  FReadsByMaps = FEndsAtBlanksAndLineEnds && FPassesAlphanumerics;
  for (int c = 0; c < 256; ++c) {
    const bool lineEnd = c == '\r' || c == '\n';
    FAfter[c] = !Contains(c)  ? 0
                : lineEnd     ? kEnds
                : c == ' '    ? kEnds | kConsumed
                              : kEnds | kConsumed | c;
  }
}

namespace KivoTokenizerDetail {

TKivoCharSet Structural, Word, Number, BlankSkip, Close, BareValue, QuotedValue, BracketedValue;

TState State;
char TokenBuffer[KivoMaxTokenLength];
int16_t OneCharacterCodes[256];

// Reads one token, starting with the held-back character if there is one.
int ReadToken(TTextFile& file, const TKivoCharSet& requested, bool skipBlanks) {
  const TKivoCharSet* delimiters = requested.Empty() ? &gBlankOnly : &requested;
  TTokenizerState& s = gState;

  // The current character; at the end of the file there is none and it stands as a blank.
  unsigned char c = ' ';
  bool haveChar = false;
  if (skipBlanks && s.Held == 0) {
    while (!file.Eof()) {
      SkipBufferedBlanks(file);
      if (file.BufferPos() == file.BufferEnd())
        continue;
      c = NextChar(file);
      if (c != ' ') {
        haveChar = true;
        break;
      }
    }
  } else if (!file.Eof()) {
    c = NextChar(file);
    haveChar = true;
  }

  TTokenBuilder token;
  if (s.Held != 0) {
    token.Add(static_cast<unsigned char>(s.Held));
    s.Held = 0;
  }

  while (!delimiters->Contains(c) && !file.Eof()) {
    token.Add(c);
    // A run of buffered characters, each checked as the loop's condition checks it;
    // a line end goes to the rules below.
    const char* p = file.BufferPos();
    const char* const end = file.BufferEnd();
    bool atLineEnd = true;
    while (*p != '\r' && *p != '\n') {
      c = static_cast<unsigned char>(*p++);
      if (delimiters->Contains(c) || p == end) {
        atLineEnd = false;
        break;
      }
      token.Add(c);
    }
    file.SetBufferPos(p);
    if (!atLineEnd)
      continue;
    switch (delimiters->Kind()) {
      case TKivoCharSet::ksQuotedValue:
        if (c != '"') {
          // The quoted value goes on at the next non-empty line, blanks skipped, nothing
          // inserted at the join.
          while (file.Eoln() && !file.Eof())
            file.ReadLn();
          haveChar = !file.Eof();
          c = NextChar(file);
          while (c == ' ' && !file.Eoln())
            c = RawChar(file);
          break;
        }
        c = ' ';
        break;
      case TKivoCharSet::ksBracketedValue:
        // The line end joins the lines with one blank; a brace now ends the value.
        file.ReadLn();
        c = ' ';
        haveChar = !file.Eof();
        delimiters = &gBracketedRanOn;
        break;
      default:
        // The line end ends the token as a blank and stays unread.
        c = ' ';
        break;
    }
  }

  if (delimiters->Contains(c)) {
    if (c != ' ')
      s.Held = static_cast<char>(c);
    if (delimiters == &gBracketedRanOn && c != ')')
      s.RanOverAt = file.Position();
  } else if (haveChar) {
    token.Add(c);
  }
  token.Finish(s);
  s.Code = TokenCode(gTokenBuffer, s.TextLength);
  return s.Code;
}

bool NumberAtHeldBrace(int code) {
  State.Held = code == kwOpenBrace ? '{' : '}';
  State.TextLength = 0;
  State.Code = kwEmpty;
  return false;
}

int ReadOtherToken(TTextFile& file, const TKivoCharSet& delimiters, bool skipBlanks) {
  // A buffer is mapped when a token of a set that reads by maps is first read from it.
  if (delimiters.ReadsByMaps() && !file.Eof() && file.MapEnd() != file.BufferEnd()) {
    file.MakeMaps();
    const char held = gState.Held;
    int code;
    if (held == 0 ? ReadMappedToken<false>(file, delimiters, skipBlanks, 0, code)
                  : ReadMappedToken<true>(file, delimiters, skipBlanks, held, code))
      return code;
  }
  if (!file.Eof() && ReadBufferedToken(file, delimiters, skipBlanks))
    return gState.Code;
  return ReadToken(file, delimiters, skipBlanks);
}

}  // namespace KivoTokenizerDetail

int GetKeywordToken(std::string_view text) {
  gState.Code = FindKivoKeyword(text);
  return gState.Code;
}

const std::string& GetLastTokenText() {
  gState.Text.assign(TokenText());
  return gState.Text;
}

std::string_view GetLastTokenView() { return TokenText(); }

int GetLastTokenCode() { return gState.Code; }

void SkipLine(TTextFile& file) {
  file.ReadLn();
  gState.Held = 0;
}

bool HeldBraceRanOver(const TTextFile& file) {
  return (gState.Held == '{' || gState.Held == '}') && gState.RanOverAt == file.Position();
}

namespace {

// A skip that starts at a brace where a value ran over its line ends there: a "{" and
// a "}" after a value that took a "}" (the block's own) stay held back for the block
// around; a "}" after a value that took none is the block's own end.
bool EndsAtRanOverBrace(const TTextFile& file) {
  if (!HeldBraceRanOver(file))
    return false;
  if (gState.Held == '}' && !gState.RanOverClosed)
    gState.Held = 0;
  return true;
}

}  // namespace

bool SkipBlock(TTextFile& file) { return SkipBlockUntil(file, TKivoKeywordSet()).Closed; }

TKivoSkipEnd SkipBlockUntil(TTextFile& file, const TKivoKeywordSet& watched) {
  TKivoSkipEnd end;
  if (EndsAtRanOverBrace(file)) {
    end.Closed = true;
    return end;
  }
  int64_t depth = 1;
  char held = gState.Held;
  gState.Held = 0;
  // Line ends are passed over like any character that is not a brace. Where keywords
  // are watched, the keyword of a block met is read (a word holds no brace, so none is
  // missed), and what the word holds back is taken as the next character.
  for (;;) {
    if (held == '{') {
      PcbApiPercentUpdate();
      ++depth;
      held = 0;
      if (watched.any()) {
        const int code = GetToken(file, WordSet(), /*skipBlanks=*/true);
        if (code > 0 && code <= KivoKeywordCount && watched[static_cast<size_t>(code)]) {
          end.Code = code;
          end.Open = depth - 1;
          return end;
        }
        std::swap(held, gState.Held);
        continue;
      }
    } else if (held == '}' && --depth == 0) {
      break;
    }
    if (file.Eof())
      break;
    // The bytes up to the next brace.
    const char* p = file.BufferPos();
    const char* const stop = file.BufferEnd();
    while (p < stop && *p != '{' && *p != '}')
      ++p;
    held = p < stop ? *p++ : 0;
    file.SetBufferPos(p);
  }
  end.Closed = depth == 0;
  return end;
}

bool SkipToCloseBracket(TTextFile& file) {
  if (HeldBraceRanOver(file))
    return false;
  unsigned char last = static_cast<unsigned char>(gState.Held);
  bool newLine = false;
  while (last != ']') {
    if (last == '{' || (last == '}' && newLine)) {
      gState.Held = static_cast<char>(last);
      gState.RanOverAt = file.Position();
      gState.RanOverClosed = true;  // an attribute holds no block's brace
      return false;
    }
    if (file.Eof())
      break;
    newLine = newLine || file.Eoln();
    last = NextChar(file);
  }
  gState.Held = 0;
  return last == ']';
}

namespace {

// Appends one piece of a value and its continuations to `value`.
void JoinPieces(TTextFile& file, std::string& value) {
  TTokenizerState& s = gState;
  const TKivoCharSet& set = s.ValueSet ? *s.ValueSet : gNoSet;
  const bool quoted = set.Kind() == TKivoCharSet::ksQuotedValue;
  // Every round that goes on has consumed a character or the held-back one, so the
  // loop ends at the latest at the end of the file (where a piece is empty).
  for (;;) {
    // A held-back "}" starts the piece like any other held-back delimiter.
    KivoTokenizerDetail::ReadToken(file, set, /*skipBlanks=*/false);
    if (s.TextLength == 0)
      break;
    const unsigned char last = s.TextLast;
    AppendCapped(value, TokenText());
    if (last == '\\')
      continue;
    // A quoted piece that ended at a blank or a line end goes on after one blank.
    if (quoted && last != '"' && s.Held == 0) {
      AppendCapped(value, " ");
      continue;
    }
    break;
  }
}

}  // namespace

std::string JoinContinuedString(TTextFile& file) {
  std::string value;
  JoinPieces(file, value);
  return value;
}

std::string ReadQuotedString(TTextFile& file) {
  TTokenizerState& s = gState;
  if (s.Held == ']' || s.Held == '}' || HeldBraceRanOver(file))
    return {};
  if (s.Held == ' ' || s.Held == 0) {
    s.Held = 0;
    s.TextLength = 0;
    s.TextLast = 0;
    s.TextCut = false;
    s.Code = kwEmpty;
    while (!file.Eof()) {
      unsigned char c = NextChar(file);
      if (c != ' ') {
        s.Held = static_cast<char>(c);
        break;
      }
    }
    if (s.Held == 0)
      return {};
  }

  const char first = s.Held;
  switch (first) {
    case '"':
      s.ValueSet = &gQuotedValue;
      break;
    case '(':
      s.ValueSet = &gBracketedValue;
      break;
    case ']':
    case '}':
      return {};
    default:
      s.ValueSet = &gBareValue;
      break;
  }
  s.Held = 0;

  const bool quoted = s.ValueSet == &gQuotedValue;
  std::string raw;
  if (s.ValueSet == &gBareValue)
    raw.push_back(first);
  JoinPieces(file, raw);
  if (quoted && !raw.empty()) {
    const bool cutShortByBracket = (s.Held == ']' || s.Held == '}') && raw.back() != '"';
    if (!cutShortByBracket)
      raw.pop_back();  // the closing quote
  }
  if (HeldBraceRanOver(file))
    s.RanOverClosed = raw.find('}') != std::string::npos;
  Unescape(raw);
  if (s.Held == '"' || s.Held == ')')
    s.Held = 0;
  return raw;
}

char GetHeldBackChar() { return gState.Held; }

void ResetTokenizerState() {
  gState.Held = 0;
  gState.TextLength = 0;
  gState.TextLast = 0;
  gState.TextCut = false;
  gState.Code = kwUnknown;
  gState.NumberError = false;
  gState.RanOverAt = -1;
}

void InitializeKivoTokenizer() {
  const std::string digits(kDigits), letters(kLetters);
  gStructural = TKivoCharSet::AllExcept("%[{");
  gWord = TKivoCharSet::AllExcept("!#$%'()-./?_" + digits + letters);
  gNumber = TKivoCharSet::AllExcept("+,-." + digits + letters);
  gBlankSkip = TKivoCharSet::AllExcept(" ");
  gClose = TKivoCharSet("]}");
  gBareValue = TKivoCharSet(" ]}");
  gQuotedValue = TKivoCharSet(" ]}", TKivoCharSet::ksQuotedValue);
  gBracketedValue = TKivoCharSet(")", TKivoCharSet::ksBracketedValue);
  gBracketedRanOn = TKivoCharSet("){}", TKivoCharSet::ksBracketedValue);
  gBlankOnly = TKivoCharSet(" ");
  for (int c = 0; c < 256; ++c) {
    const char text[TTextFile::BufferSlack] = {static_cast<char>(c)};
    KivoTokenizerDetail::OneCharacterCodes[c] =
        static_cast<int16_t>(KivoTokenizerDetail::TokenCode(text, 1));
  }
  ResetTokenizerState();
  gState.ValueSet = nullptr;
}
