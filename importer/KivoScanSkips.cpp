// The skips of the scanner (KivoScanner.h): what the reader passes over is read as the
// reader reads it, so that only the braces it would take for blocks count: not an
// escaped one, one inside a quoted or bracketed value (passed by the value reader,
// KivoScanValues.cpp) or one on a comment line.
#include "importer/KivoScanner.h"

#include <algorithm>
#include <array>
#include <string_view>
#include <utility>

#include "importer/KivoScanning.h"
#include "pcb/PcbApi.h"

using namespace KivoScanning;
using KivoTokenizerDetail::TokenText;

bool HeldBraceRanOver(TKivoSource& file) {
  const KivoTokenizerDetail::TState& s = file.TokenizerState();
  return (s.Held == '{' || s.Held == '}') && s.RanOverAt == file.Position();
}

bool ValueRanOver(TKivoSource& file) {
  const KivoTokenizerDetail::TState& s = file.TokenizerState();
  return (s.Held == '{' || s.Held == '}' || s.Held == '[') && s.RanOverAt == file.Position();
}

namespace {

// A skip that starts at a brace where a value ran over its line reads it as a skip
// reads the same bytes: a "}" after a value that took none is the block's own end; a
// "{" opens a block inside the one being skipped, which stays open to its own "}"
// (false: the skip goes on with it). After a bracketed value that took a "}" (for a
// skip, the block's own end) both stay held back for the block around.
bool EndsAtRanOverBrace(TKivoSource& file) {
  if (!HeldBraceRanOver(file))
    return false;
  KivoTokenizerDetail::TState& s = file.TokenizerState();
  if (s.RanOverClosed)
    return true;
  if (s.Held == '{')
    return false;
  s.Held = 0;
  return true;
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
  explicit TSkipScanner(TKivoSource& file) : FFile(file) { Restart(' '); }

  // Starts over after a read of the tokenizer: at the character it held back, if any,
  // else after `before`, the character that ended the read (a blank, or an attribute's
  // "]"), as if the scan had passed it.
  void Restart(unsigned char before) {
    if (GetHeldBackChar(FFile) == 0) {
      After(before);
    } else {
      const std::string_view token = TokenText(FFile);
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
        if (BeginsValueAfter(FBefore))
          return PassValue(vkQuoted);
        break;
      case '(':
        if (BeginsValueAfter(FBefore))
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
          if (TKivoReadingHooks* const hooks = FFile.Hooks();
              __builtin_expect(hooks != nullptr, 0) && p + 1 < end && !hooks->SkipEscapes(p[1]))
            break;  // the byte after it is read as it is
          if (p + 1 == end)
            FEscapeNext = true;
          else if (p[1] != '\r' && p[1] != '\n')
            FFile.SetBufferPos(p + 2);
          break;
        case '"':
        case '(':
          if (BeginsValueAfter(FBefore)) {
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

  TKivoSource& FFile;
  unsigned char FBefore = ' ';  // the character before the next one read
  bool FItemSpot = false;       // a block item may begin at the next character
  bool FEscapeNext = false;     // the next character is escaped
  int FAfterValue = 0;          // the structure to answer next, after a value's line ends
};

}  // namespace

bool SkipBlock(TKivoSource& file) { return SkipBlockUntil(file, TKivoKeywordSet()).Closed; }

TKivoSkipEnd SkipBlockVisiting(TKivoSource& file, TKivoSkipVisitor& visitor) {
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
    const char held = std::exchange(file.TokenizerState().Held, 0);
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

TKivoSkipEnd SkipBlockUntil(TKivoSource& file, const TKivoKeywordSet& watched) {
  TWatchVisitor visitor(watched);
  return SkipBlockVisiting(file, visitor);
}

bool SkipToCloseBracket(TKivoSource& file) {
  if (HeldBraceRanOver(file))
    return false;
  TSkipScanner scan(file);
  KivoTokenizerDetail::TState& s = file.TokenizerState();
  const char held = std::exchange(s.Held, 0);
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
      s.Held = '[';
      return false;
    } else if (c == '{' || (c == '}' && newLine)) {
      s.Held = static_cast<char>(c);
      s.RanOverAt = file.Position();
      s.RanOverClosed = true;  // an attribute holds no block's brace
      return false;
    }
  }
}

