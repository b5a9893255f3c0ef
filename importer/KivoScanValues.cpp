// The value reader of the scanner (KivoScanner.h), which its skips and its readings of
// values share (KivoScanning.h).
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
#include "importer/KivoScanning.h"

#include <algorithm>
#include <stdexcept>
#include <utility>

namespace KivoScanning {

void ScanBudgetSpent(TKivoSource& file) {
  file.ScannerState().ScanBudget = UINT64_MAX;  // spent once: the reading after the failure runs on
  throw std::runtime_error("the quoted-value readers went over their step budget");
}

void AppendCapped(TKivoSource& file, std::string& value, std::string_view piece) {
  const size_t room = KivoMaxTokenLength - std::min(value.size(), KivoMaxTokenLength);
  if (__builtin_expect(piece.size() > room, 0))
    file.ScannerState().ValueCut = true;
  value.append(piece.substr(0, room));
}

namespace {

// A value's characters, kept up to KivoMaxTokenLength; nothing kept for a skip.
class TValueText {
 public:
  TValueText(TKivoSource& file, std::string* text) : FFile(file), FText(text) {}
  void Add(char c) {
    if (FText && FText->size() < KivoMaxTokenLength)
      FText->push_back(c);
    else if (FText)
      FFile.ScannerState().ValueCut = true;
  }
  void Add(const char* from, const char* to) {
    if (FText)
      AppendCapped(FFile, *FText, std::string_view(from, static_cast<size_t>(to - from)));
  }
  size_t Size() const { return FText ? FText->size() : 0; }
  // Takes the value back to its first `size` characters (a bracket ended it there).
  void Cut(size_t size) {
    if (FText && FText->size() > size)
      FText->resize(size);
    if (FText && size < KivoMaxTokenLength)
      FFile.ScannerState().ValueCut = false;
  }

 private:
  TKivoSource& FFile;
  std::string* FText;
};

template <TValueKind kKind>
class TValueReader {
 public:
  TValueReader(TKivoSource& file, std::string* value)
      : FFile(file), FText(file, value) {}

  TQuotedEnd Read() {
    FLineFrom = FFile.Position();
    FOpenedAt = FLineFrom - 1;  // the opening character was read last
    const KivoScannerDetail::TOpenLine& open = FFile.ScannerState().OpenLines[kKind];
    FKnownOpen = open.From <= FLineFrom && FLineFrom <= open.End;
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
        if (pending == kQuote && FContinued)
          FResult.QuoteWentOn = true;
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
          NoteHeld('[');
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
          NoteHeld(static_cast<char>(c));
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
    CountScanSteps(FFile, static_cast<uint64_t>(FPos - FCounted));
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
    // Closed, it holds the brackets met on its last line (and a "[" of any line): those
    // of blocks after it, when its opening character was stray.
    if (kind == qeClose && FHeld != 0) {
      KivoScannerDetail::TState& s = FFile.ScannerState();
      s.BracedValueAt = FOpenedAt;
      s.BracedValueOpening = kKind == vkQuoted ? '"' : '(';
      s.BracedValueHolds = FHeld;
    }
    return FResult;
  }
  void NoteHeld(char c) {
    if (FHeld == 0)
      FHeld = c;
  }
  TQuotedEnd EndAtBracket(char bracket) {
    ++FPos;
    FResult.Bracket = bracket;
    return Ended(qeBracket);
  }

  // At a line end that did not end the value: noted as an open line; back to the first
  // bracket on the line, or on to the next line. True when the value ended.
  bool AtLineEnd() {
    FFile.ScannerState().OpenLines[kKind] = {FLineFrom, FFile.PositionOf(FPos)};
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
    FFile.ScannerState().OpenLines[kKind] = {FLineFrom, FFile.Position()};
    if (FBracketAt >= 0) {
      GoBackToBracket();
      return FResult;
    }
    return Ended(qeFileEnd);
  }

  TKivoSource& FFile;
  TValueText FText;
  TQuotedEnd FResult;
  const char* FPos = nullptr;
  const char* FEnd = nullptr;
  const char* FCounted = nullptr;  // the bytes before it are counted as steps
  TPending FPending = kNone;
  bool FContinued = false;   // on a line the value went on to
  bool FKnownOpen = false;   // on an open line noted before (the source's OpenLines)
  int64_t FLineFrom = 0;     // where the scan of the line began
  int64_t FOpenedAt = 0;     // where its opening character stands
  char FHeld = 0;            // the first brace or bracket it holds
  int64_t FBracketAt = -1;   // the first bracket on the line, -1 when none yet
  size_t FBracketSize = 0;   // the value's size before it
  char FBracket = 0;
};

}  // namespace

// Out of line: the commonest values do not need it.
__attribute__((noinline)) TQuotedEnd ReadAnyQuotedValue(TKivoSource& file, std::string* value) {
  return TValueReader<vkQuoted>(file, value).Read();
}

__attribute__((noinline)) TQuotedEnd ReadBracketedValue(TKivoSource& file, std::string* value) {
  return TValueReader<vkBracketed>(file, value).Read();
}

}  // namespace KivoScanning
