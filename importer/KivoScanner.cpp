// Decisions taken where the reading rules leave a choice or would misbehave:
// - Where a quoted value ends is decided by one rule, for reading and skipping alike
//   (stated with the value readers below): judged line by line, it is read whole when
//   closed on its line, blanks (two in a row too), "]", "}" and "{" included; one left
//   open on its line ends before the first bracket there; one that goes on to further
//   lines ends at a "{" or a "[" on them, held back as running over (ValueRanOver): a
//   stray quote would otherwise take the blocks and attributes after it. The block the
//   value stands in stays open to its own "}", in reading as in skipping. Its end is
//   found in one look forward (going back to the bracket at most once per line),
//   wherever the text file's buffer ends. (Two blanks in a row used to end a value: a
//   text "LOT  2024 12" was read as "LOT" and its position taken from its own words.)
// - Tabs are blanks between tokens (the text file reads them so) and characters inside
//   quoted and bracketed values, which take them back from the text file (WasTab).
// - A line end inside a bracketed value joins the two lines with one blank (the line
//   end is consumed, as every line end reads as one blank), and the value goes on
//   until ")" or the end of the file. A line end is never re-read as blanks. But a
//   brace or a "[" on a line the value ran on to ends it, held back (ValueRanOver): a
//   "(" left open would otherwise take the rest of the file for its value, and the
//   drawing state the attributes after it set.
// - A backslash escapes the next character of a value, a held-back delimiter too: a
//   bare value's piece that ends in one goes on with the delimiter ("a\}b" is "a}b").
// - Before a value, blanks and line ends are skipped directly and the first other
//   character is held back, whatever its code; at the end of the file the value is
//   empty. No value begins with a "{": that is the next block, the value (and its
//   block's "}") missing, and the value is empty, the "{" held back.
#include "importer/KivoScanner.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <utility>

#include "importer/KivoReadingHooks.h"
#include "pcb/PcbApi.h"

namespace {

using TTokenizerState = KivoTokenizerDetail::TState;
TTokenizerState& gState = KivoTokenizerDetail::State;

TKivoCharSet& gBareValue = KivoTokenizerDetail::BareValue;
TKivoCharSet& gQuotedValue = KivoTokenizerDetail::QuotedValue;
TKivoCharSet& gBracketedValue = KivoTokenizerDetail::BracketedValue;
const TKivoCharSet gNoSet;
// The quoted or bracketed value read last was ended by something other than its closing
// character; it went on past a line end; it was cut to KivoMaxTokenLength characters.
bool gValueLeftOpen = false;
bool gValueWentOn = false;
bool gValueCut = false;
// Where the value read last began (its first character, held back or just read).
int64_t gValueStart = 0;

using KivoTokenizerDetail::ReadNonBlank;
using KivoTokenizerDetail::TokenText;

// Appends what room is left for; what is dropped marks the value as cut.
void AppendCapped(std::string& value, std::string_view piece) {
  size_t room = KivoMaxTokenLength - std::min(value.size(), KivoMaxTokenLength);
  if (__builtin_expect(piece.size() > room, 0))
    gValueCut = true;
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

bool HeldBraceRanOver(const TTextFile& file) {
  return (gState.Held == '{' || gState.Held == '}') && gState.RanOverAt == file.Position();
}

bool ValueRanOver(const TTextFile& file) {
  return (gState.Held == '{' || gState.Held == '}' || gState.Held == '[') &&
         gState.RanOverAt == file.Position();
}

namespace {

// A skip that starts at a brace where a value ran over its line reads it as a skip
// reads the same bytes: a "}" after a value that took none is the block's own end; a
// "{" opens a block inside the one being skipped, which stays open to its own "}"
// (false: the skip goes on with it). After a bracketed value that took a "}" (for a
// skip, the block's own end) both stay held back for the block around.
bool EndsAtRanOverBrace(const TTextFile& file) {
  if (!HeldBraceRanOver(file))
    return false;
  if (gState.RanOverClosed)
    return true;
  if (gState.Held == '{')
    return false;
  gState.Held = 0;
  return true;
}

}  // namespace

namespace {

// --- quoted and bracketed values ----------------------------------------------------
//
// Where a quoted or bracketed value ends, for reading and skipping alike:
// A quoted value begins at a double quote, a bracketed one at a "(", where a value is
// read (its first non-blank character), and elsewhere (in a skip, between a level's
// blocks, as a block's keyword: ReadValueToken; a name or a word of a list that begins
// with "(") at one after a blank, a tab, a line end, "{" or "[" (not after a "]" or a
// "}", an attribute's or a block's end, nor after any other character). It is judged
// line by line. On its first line the first of these ends it: its closing character,
// for a quoted value an unescaped double quote followed by a blank, a tab, a line end,
// "]", "}" or the end of the file, for a bracketed one an unescaped ")": the value is
// everything before it on the line, blanks (two or more in a row too), brackets and
// braces included; the line end: if an unescaped "{", "}" or "]" stands on the line
// after the opening character, the value ends before the first of them, which is
// structure; otherwise it goes on at the next line: a quoted value at the next line
// holding more than blanks and tabs, these skipped, joined with no blank; a bracketed
// one at the next line, the line end read as one blank. On a line it went on to, the
// same, except that a "{" or "[" before the value's end ends it there, as a value that
// ran over its line: a stray quote or "(" takes no block or attribute after it, and the
// block the value stands in stays open to its own "}", the block or attribute inside
// it. The end of the file ends a line. A value that no closing character ends is left
// open (LastValueLeftOpen). A backslash escapes the next character, but not a line
// end; "\b" and "\B" give a blank. A tab inside a value is a tab.

// The two kinds of value the reader above reads: what closes one, and how its lines join.
enum TValueKind : uint8_t { vkQuoted, vkBracketed };

// What ended a quoted or bracketed value.
enum TQuotedEndKind : uint8_t {
  qeClose,    // its closing character (consumed; what follows it is not)
  qeBracket,  // a bracket that is structure (consumed)
  qeFileEnd,
};

struct TQuotedEnd {
  TQuotedEndKind Kind = qeFileEnd;
  char Bracket = 0;              // qeBracket: "{", "}" or "]"
  bool RanOver = false;          // qeBracket: a "{" on a line the value went on to
  bool WentOn = false;           // the value went on past a line end
};

// How the scan of a value takes each byte.
enum : uint8_t {
  qcText, qcBlank, qcTab, qcClose, qcEscape, qcBracket, qcOpenBrace, qcOpenBracket, qcLineEnd,
  qcZero
};
constexpr std::array<uint8_t, 256> MakeValueChars(char close) {
  std::array<uint8_t, 256> kinds{};
  kinds[' '] = qcBlank;
  kinds['\t'] = qcTab;
  kinds[static_cast<unsigned char>(close)] = qcClose;
  kinds['\\'] = qcEscape;
  kinds['}'] = kinds[']'] = qcBracket;
  kinds['{'] = qcOpenBrace;
  kinds['['] = qcOpenBracket;
  kinds['\r'] = kinds['\n'] = qcLineEnd;
  kinds[0] = qcZero;  // the end of the buffer, or a NUL of the file
  return kinds;
}
constexpr std::array<uint8_t, 256> kQuotedChars = MakeValueChars('"');
constexpr std::array<uint8_t, 256> kBracketedChars = MakeValueChars(')');

// A double quote before these (or at the end of the file) closes a quoted value.
bool ClosesQuotedValue(unsigned char next) {
  return next == ' ' || next == '\t' || next == '\r' || next == '\n' || next == ']' ||
         next == '}';
}

// The line that a scan of a value ran through to its end without finding the value's
// end: [From, End) holds no closing character of its kind before End, the line's end
// (or the file's). A value of that kind begun there by a later read or skip ends at the
// first bracket after its opening character, found without looking to the line end
// again: each byte of a line is looked at twice at most, however many quotes or "("
// it holds. (A scan begun right after an opening character reads escapes as the one
// that made the note read them.) One for each kind.
struct TOpenLine {
  const TTextFile* File = nullptr;
  int64_t From = -1;
  int64_t End = -1;
};
std::array<TOpenLine, 2> gOpenLines;

// A value's characters, kept up to KivoMaxTokenLength; nothing kept for a skip.
class TValueText {
 public:
  explicit TValueText(std::string* text) : FText(text) {}
  void Add(char c) {
    if (FText && FText->size() < KivoMaxTokenLength)
      FText->push_back(c);
    else if (FText)
      gValueCut = true;
  }
  void Add(const char* from, const char* to) {
    if (FText)
      AppendCapped(*FText, std::string_view(from, static_cast<size_t>(to - from)));
  }
  size_t Size() const { return FText ? FText->size() : 0; }
  // Takes the value back to its first `size` characters (a bracket ended it there).
  void Cut(size_t size) {
    if (FText && FText->size() > size)
      FText->resize(size);
    if (FText && size < KivoMaxTokenLength)
      gValueCut = false;
  }

 private:
  std::string* FText;
};

// Reads a quoted or bracketed value from after its opening character to its end (above),
// its characters to `value` when given, escapes resolved and tabs given back. A line's
// end is found by a look forward; where the line did not end the value and holds a
// bracket, the reading goes back to that bracket.
template <TValueKind kKind>
class TValueReader {
 public:
  TValueReader(TTextFile& file, std::string* value) : FFile(file), FText(value) {}

  TQuotedEnd Read() {
    FLineFrom = FFile.Position();
    const TOpenLine& open = gOpenLines[kKind];
    FKnownOpen = open.File == &FFile && open.From <= FLineFrom && FLineFrom <= open.End;
    Load();
    for (;;) {
      if (FPos == FEnd) {
        if (!Refill())
          return AtFileEnd();
        continue;
      }
      const unsigned char c = static_cast<unsigned char>(*FPos);
      // The character after an escape or a quote decides what they are.
      if (const TPending pending = std::exchange(FPending, kNone)) {
        if (pending == kEscape && c != '\r' && c != '\n') {
          FText.Add(c == 'b' || c == 'B'                 ? ' '
                    : c == ' ' && FFile.WasTab(FPos) ? '\t'
                                                     : static_cast<char>(c));
          ++FPos;
          continue;
        }
        if (pending == kQuote && ClosesQuotedValue(c))
          return Ended(qeClose);
        // None: the backslash (before a line end) or quote is a character of the value,
        // and `c` is read as any other.
        FText.Add(pending == kEscape ? '\\' : '"');
      }
      switch (kChars[c]) {
        case qcText: {
          const char* const run = FPos;
          while (kChars[static_cast<unsigned char>(*++FPos)] == qcText) {
          }
          FText.Add(run, FPos);
          break;
        }
        case qcZero:  // a NUL of the file: the buffer's end was handled above
        case qcTab:
          FText.Add(static_cast<char>(c));
          ++FPos;
          break;
        case qcBlank:
          FText.Add(FFile.WasTab(FPos) ? '\t' : ' ');
          ++FPos;
          break;
        case qcClose:
          ++FPos;
          // A ")" closes a bracketed value at once; a quote, by what follows it.
          if (kKind == vkBracketed)
            return Ended(qeClose);
          FPending = kQuote;
          break;
        case qcEscape:
          FPending = kEscape;
          ++FPos;
          break;
        case qcOpenBracket:
          // On a line the value went on to, an attribute begins there, as a block does.
          if (FContinued) {
            FResult.RanOver = true;
            return EndAtBracket('[');
          }
          FText.Add('[');
          ++FPos;
          break;
        case qcOpenBrace:
          if (FContinued) {
            FResult.RanOver = true;
            return EndAtBracket('{');
          }
          [[fallthrough]];
        case qcBracket:
          if (FKnownOpen)
            return EndAtBracket(static_cast<char>(c));
          if (FBracketAt < 0) {
            FBracketAt = FFile.PositionOf(FPos);
            FBracketSize = FText.Size();
            FBracket = static_cast<char>(c);
          }
          FText.Add(static_cast<char>(c));
          ++FPos;
          break;
        case qcLineEnd:
          if (AtLineEnd())
            return FResult;
          break;
      }
    }
  }

 private:
  enum TPending : uint8_t { kNone, kEscape, kQuote };
  static constexpr const std::array<uint8_t, 256>& kChars =
      kKind == vkQuoted ? kQuotedChars : kBracketedChars;

  void Load() {
    FPos = FCounted = FFile.BufferPos();
    FEnd = FFile.BufferEnd();
  }
  // Hands the position back to the file, the bytes passed counted.
  void Store() {
    KivoTokenizerDetail::CountScanSteps(static_cast<uint64_t>(FPos - FCounted));
    FFile.SetBufferPos(FPos);
    FCounted = FPos;
  }
  // Reads on into the next buffer; false at the end of the file.
  bool Refill() {
    Store();
    const bool more = !FFile.Eof();
    Load();
    return more;
  }
  TQuotedEnd& Ended(TQuotedEndKind kind) {
    Store();
    FResult.Kind = kind;
    return FResult;
  }
  TQuotedEnd EndAtBracket(char bracket) {
    ++FPos;
    FResult.Bracket = bracket;
    return Ended(qeBracket);
  }

  // At a line end that did not end the value: noted as an open line; back to the first
  // bracket on the line, or on to the next line. True when the value ended.
  bool AtLineEnd() {
    gOpenLines[kKind] = {&FFile, FLineFrom, FFile.PositionOf(FPos)};
    if (FBracketAt >= 0) {
      GoBackToBracket();
      return true;
    }
    FResult.WentOn = FContinued = true;
    FKnownOpen = false;
    if (kKind == vkBracketed ? !PassLineEnd() : !PassLineEnds()) {
      Ended(qeFileEnd);
      return true;
    }
    FLineFrom = FFile.PositionOf(FPos);
    return false;
  }
  // A quoted value's line ends, and the blanks and tabs before the next line's first
  // other character; false at the end of the file.
  bool PassLineEnds() {
    for (;;) {
      while (*FPos == ' ' || *FPos == '\t' || *FPos == '\r' || *FPos == '\n')
        ++FPos;
      if (FPos != FEnd)
        return true;
      if (!Refill())
        return false;
    }
  }
  // A bracketed value's line end ("\r\n" is one), read as one blank; false at the end of
  // the file.
  bool PassLineEnd() {
    const bool cr = *FPos++ == '\r';
    if (FPos == FEnd && !Refill())
      return false;
    if (cr && *FPos == '\n' && ++FPos == FEnd && !Refill())
      return false;
    FText.Add(' ');
    return true;
  }

  void GoBackToBracket() {
    Store();
    FText.Cut(FBracketSize);
    FResult.Kind = qeBracket;
    FResult.Bracket = FBracket;
    FFile.Seek(FBracketAt + 1);
  }

  // The end of the file ends the last line as a line end would, a quote before it being
  // a closing one.
  TQuotedEnd AtFileEnd() {
    if (FPending == kQuote)
      return Ended(qeClose);
    if (FPending == kEscape)
      FText.Add('\\');
    gOpenLines[kKind] = {&FFile, FLineFrom, FFile.Position()};
    if (FBracketAt >= 0) {
      GoBackToBracket();
      return FResult;
    }
    return Ended(qeFileEnd);
  }

  TTextFile& FFile;
  TValueText FText;
  TQuotedEnd FResult;
  const char* FPos = nullptr;
  const char* FEnd = nullptr;
  const char* FCounted = nullptr;  // the bytes before it are counted as steps
  TPending FPending = kNone;
  bool FContinued = false;   // on a line the value went on to
  bool FKnownOpen = false;   // on an open line noted before (gOpenLines)
  int64_t FLineFrom = 0;     // where the scan of the line began
  int64_t FBracketAt = -1;   // the first bracket on the line, -1 when none yet
  size_t FBracketSize = 0;   // the value's size before it
  char FBracket = 0;
};

// Out of line: the commonest values do not need it.
__attribute__((noinline)) TQuotedEnd ReadAnyQuotedValue(TTextFile& file, std::string* value) {
  return TValueReader<vkQuoted>(file, value).Read();
}

// Reads a bracketed value from after its "(" to its end (above).
__attribute__((noinline)) TQuotedEnd ReadBracketedValue(TTextFile& file, std::string* value) {
  return TValueReader<vkBracketed>(file, value).Read();
}

// Whether a line end or the 0 after the buffered bytes (or a NUL) follows.
inline bool LineEndOrZero(char c) { return c == '\r' || c == '\n' || c == 0; }

// Reads a quoted value from after its opening quote to its end. The commonest values,
// text up to the closing quote within the buffer, are taken at once: blanks (not tabs
// read as blanks) are text there, and for a skip so are escaped characters.
KIVO_ALWAYS_INLINE TQuotedEnd ReadQuotedValue(TTextFile& file, std::string* value) {
  const char* const start = file.BufferPos();
  const char* p = start;
  for (;;) {
    while (kQuotedChars[static_cast<unsigned char>(*p)] == qcText)
      ++p;
    if (*p == ' ' && !file.WasTab(p)) {
      ++p;
      continue;
    }
    if (value || *p != '\\' || LineEndOrZero(p[1]))
      break;
    p += 2;
  }
  const bool closed = *p == '"' && p + 1 < file.BufferEnd() &&
                      ClosesQuotedValue(static_cast<unsigned char>(p[1]));
  KivoTokenizerDetail::CountScanSteps(static_cast<uint64_t>(p + 1 - start));
  if (!closed)
    return ReadAnyQuotedValue(file, value);
  if (value)
    AppendCapped(*value, std::string_view(start, static_cast<size_t>(p - start)));
  file.SetBufferPos(p + 1);
  TQuotedEnd end;
  end.Kind = qeClose;
  return end;
}

// Reads a value of either kind from after its opening character.
TQuotedEnd ReadValueOfKind(TValueKind kind, TTextFile& file, std::string* value) {
  return kind == vkQuoted ? ReadQuotedValue(file, value) : ReadBracketedValue(file, value);
}

// The bytes a skip stops at outside a value: those of structure, escapes, quotes, "(",
// comments and line ends, and 0 (the end of the buffer).
constexpr std::array<bool, 256> MakeSkipStops() {
  std::array<bool, 256> stops{};
  for (unsigned char c : std::string_view("{}[]\"(\\%\r\n"))
    stops[c] = true;
  stops[0] = true;
  return stops;
}
constexpr std::array<bool, 256> kSkipStops = MakeSkipStops();

// A double quote or "(" after these begins a value; one after other characters (a "]"
// or "}" among them) stands where no value is read.
bool BeginsValue(unsigned char before) {
  return before == ' ' || before == '\t' || before == '\r' || before == '\n' || before == '{' ||
         before == '[';
}

// Reads what a skip passes over as the reader reads it, and answers its structure:
// - a backslash escapes the character after it (but a line end): never structure;
// - a quoted or bracketed value (begun by a double quote or "(" after a blank, a tab, a
//   line end, a "{" or a "[") is passed over as the reader reads it (TValueReader): the
//   bracket that ends one left open on its line is structure;
// - a "%" where a block item may begin (first on its line, or after a "}" or "]",
//   blanks between) begins a comment, which ends with the line.
class TSkipScanner {
 public:
  // Starts after the token read last (outside a quoted value): at the character it held
  // back, if any (given to Take next), else after the blank that ended it.
  explicit TSkipScanner(TTextFile& file) : FFile(file) { Restart(' '); }

  // Starts over after a read of the tokenizer: at the character it held back, if any,
  // else after `before`, the character that ended the read (a blank, or an attribute's
  // "]"), as if the scan had passed it.
  void Restart(unsigned char before) {
    if (gState.Held == 0) {
      After(before);
    } else {
      const std::string_view token = TokenText();
      FBefore = token.empty() ? ' ' : static_cast<unsigned char>(token.back());
      FItemSpot = false;
    }
    FEscapeNext = false;
    FAfterValue = 0;
  }

  // Takes `c`, held back by the tokenizer, as the next character: answers it when it
  // is structure ("{", "}", "[" or "]"), '\n' when a comment it began was skipped, what
  // the value it began answers (below), else 0.
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
        if (BeginsValue(FBefore))
          return PassValue(vkQuoted);
        break;
      case '(':
        if (BeginsValue(FBefore))
          return PassValue(vkBracketed);
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
  // line end (each CR or LF, or the line ends a quoted value went on past) or a comment
  // skipped; -1 at the end of the file.
  int Next() {
    if (FAfterValue != 0)
      return std::exchange(FAfterValue, 0);
    while (!FFile.Eof()) {
      const char* p = FFile.BufferPos();
      const char* const end = FFile.BufferEnd();
      if (std::exchange(FEscapeNext, false) && *p != '\r' && *p != '\n') {
        After(static_cast<unsigned char>(*p));
        FFile.SetBufferPos(p + 1);
        continue;
      }
      const char* const start = p;
      while (!kSkipStops[static_cast<unsigned char>(*p)])
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
          After('\n');
          return '\n';
        case '\\':
          After(c);
          if (TKivoReadingHooks* const hooks = TKivoReadingHooks::Installed();
              __builtin_expect(hooks != nullptr, 0) && p + 1 < end && !hooks->SkipEscapes(p[1]))
            break;  // the byte after it is read as it is
          if (p + 1 == end)
            FEscapeNext = true;
          else if (p[1] != '\r' && p[1] != '\n')
            FFile.SetBufferPos(p + 2);
          break;
        case '"':
        case '(':
          if (BeginsValue(FBefore)) {
            if (const int structure = PassValue(c == '"' ? vkQuoted : vkBracketed))
              return structure;
            break;
          }
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
          After(c);
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
  // Passes over the value begun by the quote or "(" just read: answers the bracket that
  // ended it, '\n' first (the bracket next) when it went on past a line end, else 0.
  __attribute__((always_inline)) int PassValue(TValueKind kind) {
    const TQuotedEnd end = ReadValueOfKind(kind, FFile, nullptr);
    int structure = 0;
    switch (end.Kind) {
      case qeClose:
        After(kind == vkQuoted ? '"' : ')');
        break;
      case qeBracket:
        After(static_cast<unsigned char>(end.Bracket));
        structure = end.Bracket;
        break;
      case qeFileEnd:
        break;
    }
    if (!end.WentOn)
      return structure;
    FAfterValue = structure;
    return '\n';
  }

  TTextFile& FFile;
  unsigned char FBefore = ' ';  // the character before the next one read
  bool FItemSpot = false;       // a block item may begin at the next character
  bool FEscapeNext = false;     // the next character is escaped
  int FAfterValue = 0;          // the structure to answer next, after a value's line ends
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
  // Where none is, the skip goes on after the keyword's blank or the attribute's "]".
  auto takeHeld = [&](unsigned char before) {
    scan.Restart(before);
    const char held = std::exchange(gState.Held, 0);
    return held != 0 ? scan.Take(static_cast<unsigned char>(held)) : 0;
  };
  int next = takeHeld(' ');
  for (;;) {
    const int c = next != 0 ? std::exchange(next, 0) : scan.Next();
    if (c == '{') {
      PcbApiPercentUpdate();
      ++depth;
      if (!visitor.WantsBlocks())
        continue;
      // A word holds no brace, so no block is missed by reading its keyword; a "("
      // there begins a value, passed as the scan passes one (no keyword).
      const int code =
          BracketBeginsKeyword(file) ? kwEmpty : GetToken(file, WordSet(), /*skipBlanks=*/true);
      if (visitor.Block(code, depth, std::exchange(lowest, depth))) {
        end.Code = code;
        end.Open = depth - 1;
        return end;
      }
      next = takeHeld(' ');
    } else if (c == '[') {
      const int64_t before = std::exchange(lowest, depth);
      if (visitor.Attribute(depth, before))
        next = takeHeld(']');
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

// Appends one piece of a bare value and its continuations to `value`.
void JoinPieces(TTextFile& file, std::string& value) {
  TTokenizerState& s = gState;
  // Every round that goes on has consumed a character or the held-back one, so the
  // loop ends at the latest at the end of the file (where a piece is empty).
  for (;;) {
    const TKivoCharSet& set = s.ValueSet ? *s.ValueSet : gNoSet;
    // A held-back "}" starts the piece like any other held-back delimiter.
    KivoTokenizerDetail::ReadToken(file, set, /*skipBlanks=*/false);
    if (s.TextLength == 0)
      break;
    const unsigned char last = s.TextLast;
    if (__builtin_expect(s.TextCut, 0))
      gValueCut = true;
    AppendCapped(value, TokenText());
    if (last != '\\')
      break;
  }
}

// The rest of a quoted or bracketed value, after its opening character. What follows a
// quoted value's closing quote is taken as after a token: a bracket held back, a blank
// consumed; nothing after a ")" is read.
std::string ReadRestOfValue(TTextFile& file, TValueKind kind) {
  TTokenizerState& s = gState;
  std::string value;
  const TQuotedEnd end = ReadValueOfKind(kind, file, &value);
  ForgetLastToken();  // a value read whole is no token
  if (end.Kind == qeClose && kind == vkQuoted && !file.Eof()) {
    const char* const p = file.BufferPos();
    if (*p == ']' || *p == '}')
      s.Held = *p;
    if (*p == ']' || *p == '}' || *p == ' ')
      file.SetBufferPos(p + 1);
  } else if (end.Kind == qeBracket) {
    s.Held = end.Bracket;
    if (end.RanOver) {
      // A "}" inside a value is the value's, in a skip too: the block stays open.
      s.RanOverAt = file.Position();
      s.RanOverClosed = false;
    }
  }
  gValueLeftOpen = end.Kind != qeClose;
  gValueWentOn = end.WentOn;
  return value;
}

}  // namespace

std::string JoinContinuedString(TTextFile& file) {
  TTokenizerState& s = gState;
  const TKivoCharSet::TKind kind = s.ValueSet ? s.ValueSet->Kind() : TKivoCharSet::ksPlain;
  if (kind == TKivoCharSet::ksQuotedValue)
    return ReadRestOfValue(file, vkQuoted);
  if (kind == TKivoCharSet::ksBracketedValue)
    return ReadRestOfValue(file, vkBracketed);
  std::string value;
  JoinPieces(file, value);
  Unescape(value);
  return value;
}

std::string ReadQuotedString(TTextFile& file) {
  TTokenizerState& s = gState;
  gValueLeftOpen = gValueWentOn = gValueCut = false;
  if (ValueRanOver(file))
    return {};
  if (s.Held == ' ' || s.Held == 0) {
    s.Held = 0;
    ForgetLastToken();
    unsigned char c = 0;
    if (!ReadNonBlank(file, c) || c == 0)
      return {};
    s.Held = static_cast<char>(c);
  }

  // The first character chooses the value's kind; a bare value's first character is
  // left held back, to start its first piece. Held back, it was read last.
  gValueStart = file.Position() - 1;
  switch (s.Held) {
    case '"':
      s.ValueSet = &gQuotedValue;
      s.Held = 0;
      break;
    case '(':
      s.ValueSet = &gBracketedValue;
      s.Held = 0;
      break;
    case ']':
    case '}':
    case '{':  // the next block: the value's "}" is missing
      return {};
    default:
      s.ValueSet = &gBareValue;
      break;
  }
  return JoinContinuedString(file);
}

bool LastValueQuoted() {
  return gState.ValueSet && gState.ValueSet->Kind() == TKivoCharSet::ksQuotedValue;
}

bool LastValueBracketed() {
  return gState.ValueSet && gState.ValueSet->Kind() == TKivoCharSet::ksBracketedValue;
}

bool LastValueLeftOpen() { return gValueLeftOpen; }

bool LastValueWentOn() { return gValueWentOn; }

bool LastValueCut() { return gValueCut; }

int64_t LastValueStart() { return gValueStart; }

int ReadValueToken(TTextFile& file) {
  TTokenizerState& s = gState;
  const bool quoted = std::exchange(s.Held, 0) == '"';
  std::string text = (quoted ? "\"" : "(") + ReadRestOfValue(file, quoted ? vkQuoted : vkBracketed);
  if (!gValueLeftOpen)
    text += quoted ? '"' : ')';
  const size_t length = std::min(text.size(), KivoMaxTokenLength);
  std::memcpy(KivoTokenizerDetail::TokenBuffer, text.data(), length);
  s.TextLength = length;
  s.TextLast = static_cast<unsigned char>(text[length - 1]);
  s.TextCut = length < text.size();
  s.Code = kwUnknown;
  return s.Code;
}

bool BracketBeginsKeyword(TTextFile& file) {
  if (gState.Held != 0)
    return false;
  for (int c; (c = file.Peek()) >= 0;) {
    if (c == ' ') {
      KivoTokenizerDetail::SkipBufferedBlanks(file);
    } else if (c == '\r' || c == '\n') {
      file.ReadLn();
    } else {
      if (c != '(')
        return false;
      char bracket;
      file.Read(bracket);
      gState.Held = bracket;
      ForgetLastToken();
      return true;
    }
  }
  return false;
}

bool HeldValueBegins() {
  const char held = gState.Held;
  if (held != '"' && held != '(')
    return false;
  // As a skip that starts at the held-back character reads it (TSkipScanner::Restart).
  const std::string_view token = TokenText();
  return BeginsValue(token.empty() ? ' ' : static_cast<unsigned char>(token.back()));
}

void ResetScannerState() {
  gOpenLines = {};
  gValueLeftOpen = gValueWentOn = gValueCut = false;
}

std::string ValueTextBetween(TTextFile& file, int64_t from, int64_t to, bool quoted,
                             size_t limit, bool& closed) {
  const int64_t back = file.Position();
  std::string text, blanks;
  bool cut = false;
  const auto add = [&](std::string_view piece) {
    const size_t room = limit - std::min(limit, text.size());
    cut = cut || piece.size() > room;
    text.append(piece.substr(0, room));
  };
  // Blanks and tabs wait for a character after them: those at the end are dropped.
  const auto put = [&](char c) {
    add(blanks);
    blanks.clear();
    add(std::string_view(&c, 1));
  };
  bool lead = true, escape = false, join = false, lastQuote = false;
  const auto take = [&](char c) {
    if (lead) {
      if (c == ' ' || c == '\t' || c == '\r' || c == '\n')
        return;
      lead = false;
      if (quoted && c == '"')
        return;
    }
    if (escape) {
      escape = false;
      lastQuote = false;
      if (c != '\r' && c != '\n') {
        put(c == 'b' || c == 'B' ? ' ' : c);
        return;
      }
      put('\\');
    }
    if (c == '\r' || c == '\n') {
      join = true;  // the next line's blanks and tabs are skipped
      return;
    }
    if (join && (c == ' ' || c == '\t'))
      return;
    join = false;
    if (c == ' ' || c == '\t') {
      if (blanks.size() < limit)
        blanks += c;
      return;
    }
    if (c == '\\') {
      escape = true;
      return;
    }
    put(c);
    lastQuote = c == '"';
  };
  file.Seek(from);
  while (file.Position() < to && !file.Eof()) {
    const char* p = file.BufferPos();
    const char* const end = p + std::min<int64_t>(file.BufferEnd() - p, to - file.Position());
    for (; p < end; ++p)
      take(*p == ' ' && file.WasTab(p) ? '\t' : *p);
    file.SetBufferPos(end);
  }
  file.Seek(back);
  if (escape)
    put('\\');
  closed = quoted && lastQuote && !escape;
  if (closed && !cut)
    text.pop_back();
  return text;
}

std::string NextWordInBuffer(TTextFile& file) {
  std::string word;
  if (const char held = gState.Held; held != 0 && held != ' ')
    word += held;
  if (file.Peek() < 0)
    return word;
  for (const char* p = file.BufferPos(); p < file.BufferEnd() && word.size() < 64; ++p) {
    const char c = *p;
    if (c == ' ' || c == '\r' || c == '\n' || c == '{' || c == '}' || c == '[')
      break;
    word += c;
  }
  return word;
}
