// Decisions taken where the reading rules leave a choice or would misbehave:
// - A line end inside a bracketed value joins the two lines with one blank (the line
//   end is consumed, as every line end reads as one blank), and the value goes on
//   until ")" or the end of the file. A line end is never re-read as blanks. But a
//   brace on a line the value ran on to ends it, held back (HeldBraceRanOver): a "("
//   left open would otherwise take the rest of the file for its value.
// - A quoted value that runs over its line ends at a "{" on a line it ran on to, held
//   back as for a bracketed value (HeldBraceRanOver): a stray quote would otherwise
//   take the blocks after it for its value.
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
//   empty. No value begins with a "{": that is the next block, the value (and its
//   block's "}") missing, and the value is empty, the "{" held back.
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
TKivoCharSet gQuotedRanOn;
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
    // A piece of a quoted value that starts at a line end (after an escaped "}") runs
    // the value on to the next line.
    if (delimiters == &gQuotedValue && file.Eoln())
      delimiters = s.ValueSet = &gQuotedRanOn;
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
          // inserted at the join; a "{" now ends it.
          delimiters = s.ValueSet = &gQuotedRanOn;
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
    if ((delimiters == &gBracketedRanOn && c != ')') || (delimiters == &gQuotedRanOn && c == '{'))
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

int ReadOtherItemToken(TTextFile& file) {
  TTokenizerState& s = gState;
  unsigned char c = 0;
  bool found = s.Held != 0 && s.Held != ' ';
  if (found) {
    c = static_cast<unsigned char>(std::exchange(s.Held, 0));
  } else {
    s.Held = 0;
    while (!found && !file.Eof()) {
      SkipBufferedBlanks(file);
      if (file.BufferPos() == file.BufferEnd())
        continue;
      c = NextChar(file);
      found = c != ' ';
    }
  }
  TTokenBuilder token;
  if (!found) {
    token.Finish(s);
    s.Code = kwEmpty;
    return s.Code;
  }
  token.Add(c);
  if (const int code = ItemCodes[c]; code != 0) {
    token.Finish(s);
    s.Code = code;
    return code;
  }
  // Text: up to a blank, a line end, a brace or a bracket, which stays unread.
  for (int next; (next = file.Peek()) >= 0;) {
    if (next == ' ' || next == '\r' || next == '\n' || next == '{' || next == '}' || next == '[')
      break;
    token.Add(RawChar(file));
  }
  token.Finish(s);
  s.Code = kwUnknown;
  return s.Code;
}

void SkipListGapSlowly(TTextFile& file) {
  bool lineStart = false;
  for (int c; (c = file.Peek()) >= 0;) {
    if (c == ' ') {
      SkipBufferedBlanks(file);
    } else if (c == '\r' || c == '\n') {
      file.ReadLn();
      lineStart = true;
    } else if (c == '%' && lineStart) {
      file.ReadLn();
    } else {
      return;
    }
  }
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

void ForgetLastToken() {
  gState.TextLength = 0;
  gState.TextCut = false;
  gState.Code = kwEmpty;
}

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

namespace {

// The bytes a skip stops at: those of structure, escapes, quotes, comments and line
// ends outside a quoted value; inside one, all but comments. Both stop at 0, the end of
// the buffer.
enum : uint8_t { kStopsPlain = 1, kStopsQuoted = 2 };
constexpr std::array<uint8_t, 256> MakeSkipStops() {
  std::array<uint8_t, 256> stops{};
  for (unsigned char c : std::string_view("{}[]\"\\%\r\n"))
    stops[c] |= kStopsPlain;
  for (unsigned char c : std::string_view("{}[]\"\\\r\n"))
    stops[c] |= kStopsQuoted;
  stops[0] = kStopsPlain | kStopsQuoted;
  return stops;
}
constexpr std::array<uint8_t, 256> kSkipStops = MakeSkipStops();

// A double quote after these begins a quoted value. Not after a "]" or "}": that is the
// closing quote of a value the reader ended early at the bracket.
bool BeginsValue(unsigned char before) {
  return before == ' ' || before == '\r' || before == '\n' || before == '{' || before == '[';
}

// A double quote before these (or at the end of the file, -1) ends a quoted value.
bool EndsQuotedValue(int next) {
  return next < 0 || next == ' ' || next == '\r' || next == '\n' || next == ']' || next == '}';
}

// Whether the quoted value that [p, end) goes on in ends on its line: its closing quote
// met first, a line end met first, or neither before the buffered bytes end.
enum TQuoteEnd { qeClosed, qeLineEnd, qeUnknown };
TQuoteEnd QuoteEndOnItsLine(const char* p, const char* end) {
  for (; p < end; ++p) {
    if (*p == '\r' || *p == '\n')
      return qeLineEnd;
    if (*p == '\\' && p + 1 < end && p[1] != '\r' && p[1] != '\n')
      ++p;
    else if (*p == '"' && (p + 1 == end || EndsQuotedValue(static_cast<unsigned char>(p[1]))))
      return qeClosed;
  }
  return qeUnknown;
}

// Reads what a skip passes over as the reader reads it, and answers its structure:
// - a backslash escapes the character after it (but a line end): never structure;
// - a quoted value begins at a double quote that begins a value (after a blank, a line
//   end, a "{" or a "[") and ends at the next unescaped double quote that ends a
//   piece (before a blank, a line end, a bracket, a brace or the end of the file), or
//   with its line. Braces and brackets inside it are no structure where the value ends
//   on their line: a quote left open (a stray one) hides none;
// - a "%" where a block item may begin (first on its line, or after a "}" or "]",
//   blanks between) begins a comment, which ends with the line.
class TSkipScanner {
 public:
  // Starts after the token read last (outside a quoted value): at the character it held
  // back, if any (given to Take next), else after the blank that ended it.
  explicit TSkipScanner(TTextFile& file) : FFile(file) { Restart(); }

  // Starts over after a token read by the tokenizer.
  void Restart() {
    const std::string_view token = TokenText();
    FBefore = gState.Held == 0 || token.empty() ? ' ' : static_cast<unsigned char>(token.back());
    FItemSpot = FQuoted = FEscapeNext = false;
  }

  // Takes `c`, held back by the tokenizer, as the next character: answers it when it
  // is structure ("{", "}", "[" or "]"), '\n' when a comment it began was skipped, else 0.
  int Take(unsigned char c) {
    switch (c) {
      case '{':
      case '}':
      case '[':
      case ']':
        After(c);
        return c;
      case '\\':
        FEscapeNext = true;
        break;
      case '"':
        FQuoted = BeginsValue(FBefore);
        FQuoteCloses = false;
        break;
      case '%':
        if (FItemSpot)
          return SkipComment();
        break;
      default:
        break;
    }
    After(c);
    return 0;
  }

  // Reads on to the next structure and answers it: "{", "}", "[" or "]", or '\n' for a
  // line end (each CR or LF) or a comment skipped; -1 at the end of the file.
  int Next() {
    while (!FFile.Eof()) {
      const char* p = FFile.BufferPos();
      const char* const end = FFile.BufferEnd();
      if (std::exchange(FEscapeNext, false) && *p != '\r' && *p != '\n') {
        After(static_cast<unsigned char>(*p));
        FFile.SetBufferPos(p + 1);
        continue;
      }
      const char* const start = p;
      const uint8_t stops = FQuoted ? kStopsQuoted : kStopsPlain;
      while (!(kSkipStops[static_cast<unsigned char>(*p)] & stops))
        ++p;
      if (p == end) {
        // The buffer ran out: what comes next is told by the bytes passed.
        FItemSpot = ItemSpotAt(start, end);
        if (end > start)
          FBefore = static_cast<unsigned char>(end[-1]);
        FFile.SetBufferPos(end);
        continue;
      }
      const unsigned char c = static_cast<unsigned char>(*p);
      const bool itemSpot = c == '%' && ItemSpotAt(start, p);
      if (p > start)
        FBefore = static_cast<unsigned char>(p[-1]);
      FFile.SetBufferPos(p + 1);
      switch (c) {
        case '\r':
        case '\n':
          FQuoted = false;
          After('\n');
          return '\n';
        case '\\':
          After(c);
          if (p + 1 == end)
            FEscapeNext = true;
          else if (p[1] != '\r' && p[1] != '\n')
            FFile.SetBufferPos(p + 2);
          break;
        case '"':
          // A look at the next character may fill the buffer anew: p is not used after it.
          if (!FQuoted) {
            FQuoted = BeginsValue(FBefore);
            FQuoteCloses = false;
          } else if (EndsQuotedValue(p + 1 < end ? static_cast<unsigned char>(p[1]) : FFile.Peek()))
            FQuoted = false;
          After(c);
          break;
        case '%':
          if (itemSpot)
            return SkipComment();
          After(c);
          break;
        case 0:  // a NUL of the file
          After(c);
          break;
        default:
          // A closing quote once found stays ahead: the braces before it need no look.
          if (FQuoted && !FQuoteCloses) {
            const TQuoteEnd found = QuoteEndOnItsLine(p + 1, end);
            FQuoteCloses = found == qeClosed;
            FQuoted = found != qeLineEnd;
          }
          After(c);
          if (FQuoted)
            break;
          return c;
      }
    }
    return -1;
  }

 private:
  // Whether a "%" at `p` would stand where a block item may begin; [start, p) holds
  // no stop, so any byte there but a blank ends such a place.
  bool ItemSpotAt(const char* start, const char* p) const {
    while (p > start && p[-1] == ' ')
      --p;
    return p == start && FItemSpot;
  }
  void After(unsigned char c) {
    FBefore = c;
    FItemSpot = c == '\n' || c == '}' || c == ']';
  }
  int SkipComment() {
    FFile.ReadLn();
    After('\n');
    return '\n';
  }

  TTextFile& FFile;
  unsigned char FBefore = ' ';  // the character before the next one read
  bool FItemSpot = false;       // a block item may begin at the next character
  bool FQuoted = false;
  bool FQuoteCloses = false;    // the quoted value's closing quote was found on its line
  bool FEscapeNext = false;     // the next character is escaped
};

}  // namespace

bool SkipBlock(TTextFile& file) { return SkipBlockUntil(file, TKivoKeywordSet()).Closed; }

TKivoSkipEnd SkipBlockVisiting(TTextFile& file, TKivoSkipVisitor& visitor) {
  TKivoSkipEnd end;
  if (EndsAtRanOverBrace(file)) {
    end.Closed = true;
    return end;
  }
  int64_t depth = 1;
  int64_t lowest = 1;  // since the last block or attribute told to the visitor
  TSkipScanner scan(file);
  // The character the tokenizer holds back after a read of its own is the next one.
  auto takeHeld = [&] {
    scan.Restart();
    const char held = std::exchange(gState.Held, 0);
    return held != 0 ? scan.Take(static_cast<unsigned char>(held)) : 0;
  };
  int next = takeHeld();
  for (;;) {
    const int c = next != 0 ? std::exchange(next, 0) : scan.Next();
    if (c == '{') {
      PcbApiPercentUpdate();
      ++depth;
      if (!visitor.WantsBlocks())
        continue;
      // A word holds no brace, so no block is missed by reading its keyword.
      const int code = GetToken(file, WordSet(), /*skipBlanks=*/true);
      if (visitor.Block(code, depth, std::exchange(lowest, depth))) {
        end.Code = code;
        end.Open = depth - 1;
        return end;
      }
      next = takeHeld();
    } else if (c == '[') {
      const int64_t before = std::exchange(lowest, depth);
      if (visitor.Attribute(depth, before))
        next = takeHeld();
    } else if (c == '}') {
      if (--depth == 0)
        break;
      lowest = std::min(lowest, depth);
    } else if (c < 0) {
      break;
    }
  }
  end.Closed = depth == 0;
  return end;
}

namespace {

// Stops at the first block of the watched keywords.
class TWatchVisitor : public TKivoSkipVisitor {
 public:
  explicit TWatchVisitor(const TKivoKeywordSet& watched) : FWatched(watched) {}
  bool WantsBlocks() const override { return FWatched.any(); }
  bool Block(int code, int64_t, int64_t) override {
    return code > 0 && code <= KivoKeywordCount && FWatched[static_cast<size_t>(code)];
  }
  bool Attribute(int64_t, int64_t) override { return false; }

 private:
  const TKivoKeywordSet& FWatched;
};

}  // namespace

TKivoSkipEnd SkipBlockUntil(TTextFile& file, const TKivoKeywordSet& watched) {
  TWatchVisitor visitor(watched);
  return SkipBlockVisiting(file, visitor);
}

bool SkipToCloseBracket(TTextFile& file) {
  if (HeldBraceRanOver(file))
    return false;
  TSkipScanner scan(file);
  const char held = std::exchange(gState.Held, 0);
  bool newLine = false;
  int next = held != 0 ? scan.Take(static_cast<unsigned char>(held)) : 0;
  for (;;) {
    const int c = next != 0 ? std::exchange(next, 0) : scan.Next();
    if (c == ']')
      return true;
    if (c < 0)
      return false;
    if (c == '\n') {
      newLine = true;
    } else if (c == '[') {
      // The next attribute begins: this one ends before it.
      gState.Held = '[';
      return false;
    } else if (c == '{' || (c == '}' && newLine)) {
      gState.Held = static_cast<char>(c);
      gState.RanOverAt = file.Position();
      gState.RanOverClosed = true;  // an attribute holds no block's brace
      return false;
    }
  }
}

namespace {

// Appends one piece of a value and its continuations to `value`.
void JoinPieces(TTextFile& file, std::string& value) {
  TTokenizerState& s = gState;
  // Every round that goes on has consumed a character or the held-back one, so the
  // loop ends at the latest at the end of the file (where a piece is empty).
  for (;;) {
    // The set of a quoted value changes once it ran over its line.
    const TKivoCharSet& set = s.ValueSet ? *s.ValueSet : gNoSet;
    const bool quoted = set.Kind() == TKivoCharSet::ksQuotedValue;
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
  if (s.Held == ']' || s.Held == '}' || s.Held == '{' || HeldBraceRanOver(file))
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
    case '{':  // the next block: the value's "}" is missing
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
    const bool cutShortByBracket =
        (s.Held == ']' || s.Held == '}' || s.Held == '{') && raw.back() != '"';
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

bool LastValueQuoted() {
  return gState.ValueSet && gState.ValueSet->Kind() == TKivoCharSet::ksQuotedValue;
}

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
  gQuotedRanOn = TKivoCharSet(" ]{}", TKivoCharSet::ksQuotedValue);
  gBlankOnly = TKivoCharSet(" ");
  for (int c = 0; c < 256; ++c) {
    const char text[TTextFile::BufferSlack] = {static_cast<char>(c)};
    KivoTokenizerDetail::OneCharacterCodes[c] =
        static_cast<int16_t>(KivoTokenizerDetail::TokenCode(text, 1));
  }
  ResetTokenizerState();
  gState.ValueSet = nullptr;
}
