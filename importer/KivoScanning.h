// What the scanner's files share (KivoScanner.cpp, KivoScanValues.cpp and
// KivoScanSkips.cpp): the reading of a quoted or bracketed value to its end, by the one
// rule for reading and skipping alike (stated in KivoScanValues.cpp), and the count of
// the bytes it looks at. Not for use outside the scanner.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "importer/KivoSource.h"
#include "importer/KivoTokenizer.h"

namespace KivoScanning {

// The two kinds of value: what closes one, and how its lines join.
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
  bool QuoteWentOn = false;      // it holds a quote on a line it went on to
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
inline constexpr std::array<uint8_t, 256> kQuotedChars = MakeValueChars('"');
inline constexpr std::array<uint8_t, 256> kBracketedChars = MakeValueChars(')');

// A double quote before these (or at the end of the file) closes a quoted value.
inline bool ClosesQuotedValue(unsigned char next) {
  return next == ' ' || next == '\t' || next == '\r' || next == '\n' || next == ']' ||
         next == '}';
}

// The bytes the readers of values look at are counted (TKivoSource's ScanSteps, never
// reset by a reading), so that tests can tell their cost from the size of what they
// read: a skip reads every other byte once, and again only after a value's reader went
// back. Beyond the source's budget they raise std::runtime_error.
[[noreturn, gnu::cold]] void ScanBudgetSpent(TKivoSource& file);
inline void CountScanSteps(TKivoSource& file, uint64_t steps) {
  KivoScannerDetail::TState& s = file.ScannerState();
  s.ScanSteps += steps;
  if (__builtin_expect(s.ScanSteps > s.ScanBudget, 0))
    ScanBudgetSpent(file);
}

// Appends what room is left for to `value` (KivoMaxTokenLength characters); what is
// dropped marks the value read as cut (LastValueCut).
void AppendCapped(TKivoSource& file, std::string& value, std::string_view piece);

// Reads a quoted value from after its opening quote to its end (every case); its
// characters to `value` when given, escapes resolved and tabs given back.
TQuotedEnd ReadAnyQuotedValue(TKivoSource& file, std::string* value);
// Reads a bracketed value from after its "(" to its end.
TQuotedEnd ReadBracketedValue(TKivoSource& file, std::string* value);

// Whether a line end or the 0 after the buffered bytes (or a NUL) follows.
inline bool LineEndOrZero(char c) { return c == '\r' || c == '\n' || c == 0; }

// Reads a quoted value from after its opening quote to its end. The commonest values,
// text up to the closing quote within the buffer, are taken at once: blanks (not tabs
// read as blanks) are text there, and for a skip so are escaped characters.
KIVO_ALWAYS_INLINE TQuotedEnd ReadQuotedValue(TKivoSource& file, std::string* value) {
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
  CountScanSteps(file, static_cast<uint64_t>(p + 1 - start));
  if (!closed)
    return ReadAnyQuotedValue(file, value);
  if (value)
    AppendCapped(file, *value, std::string_view(start, static_cast<size_t>(p - start)));
  file.SetBufferPos(p + 1);
  TQuotedEnd end;
  end.Kind = qeClose;
  return end;
}

// Reads a value of either kind from after its opening character.
inline TQuotedEnd ReadValueOfKind(TValueKind kind, TKivoSource& file, std::string* value) {
  return kind == vkQuoted ? ReadQuotedValue(file, value) : ReadBracketedValue(file, value);
}

}  // namespace KivoScanning
