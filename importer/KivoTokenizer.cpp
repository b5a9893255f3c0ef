// Decisions taken where the reading rules leave a choice or would misbehave:
// - Tabs are blanks between tokens (the text file reads them so) and characters inside
//   quoted and bracketed values, which take them back from the text file (WasTab).
//   Values, skips and the items between blocks are read in KivoScanner.cpp, which
//   builds on this file.
// - #1 is listed among the quoted value's delimiters only to tell that set from the
//   bare-value set; sets here carry their kind, so #1 is an ordinary value character.
// - Tokens and values are cut at KivoMaxTokenLength characters (the rest is read and
//   dropped); a number token that was cut is unreadable. Values are joined in a loop,
//   not by recursion, so a long run of continued pieces cannot exhaust the stack.
// - Numbers use "." and strict plain decimal notation whatever the locale says.
#include "importer/KivoTokenizer.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>

#include "classlib/SysUtils.h"

namespace {

using TTokenizerState = KivoTokenizerDetail::TState;

TKivoCharSet& gStructural = KivoTokenizerDetail::Structural;
TKivoCharSet& gWord = KivoTokenizerDetail::Word;
TKivoCharSet& gNumber = KivoTokenizerDetail::Number;
TKivoCharSet& gBlankSkip = KivoTokenizerDetail::BlankSkip;
TKivoCharSet& gClose = KivoTokenizerDetail::Close;
TKivoCharSet& gBareValue = KivoTokenizerDetail::BareValue;
TKivoCharSet& gQuotedValue = KivoTokenizerDetail::QuotedValue;
TKivoCharSet& gBracketedValue = KivoTokenizerDetail::BracketedValue;
TKivoCharSet gBlankOnly;

constexpr std::string_view kDigits = "0123456789";
constexpr std::string_view kLetters =
    "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";

using KivoTokenizerDetail::NextChar;
using KivoTokenizerDetail::ReadNonBlank;
using KivoTokenizerDetail::SkipBufferedBlanks;

using KivoTokenizerDetail::TokenText;

using KivoTokenizerDetail::TTokenBuilder;

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

int16_t OneCharacterCodes[256];

// Reads one token, starting with the held-back character if there is one.
int ReadToken(TKivoSource& file, const TKivoCharSet& requested, bool skipBlanks) {
  const TKivoCharSet* delimiters = requested.Empty() ? &gBlankOnly : &requested;
  TTokenizerState& s = file.TokenizerState();

  // The current character; at the end of the file there is none and it stands as a blank.
  unsigned char c = ' ';
  bool haveChar = false;
  if (skipBlanks && s.Held == 0) {
    haveChar = ReadNonBlank(file, c);
  } else if (!file.Eof()) {
    c = NextChar(file);
    haveChar = true;
  }

  TTokenBuilder token(file);
  if (s.Held != 0) {
    token.Add(static_cast<unsigned char>(s.Held));
    s.Held = 0;
  }

  // A line end ends the token as a blank and stays unread, in every set (values that
  // go on past a line end are read by the value readers, not here).
  bool lineEnd = false;
  while (!delimiters->Contains(c) && !file.Eof()) {
    token.Add(c);
    // A run of buffered characters, each checked as the loop's condition checks it.
    const char* p = file.BufferPos();
    const char* const end = file.BufferEnd();
    lineEnd = true;
    while (*p != '\r' && *p != '\n') {
      c = static_cast<unsigned char>(*p++);
      if (delimiters->Contains(c) || p == end) {
        lineEnd = false;
        break;
      }
      token.Add(c);
    }
    file.SetBufferPos(p);
    if (lineEnd) {
      c = ' ';
      break;
    }
  }

  if (delimiters->Contains(c) || lineEnd) {
    if (c != ' ')
      s.Held = static_cast<char>(c);
  } else if (haveChar) {
    token.Add(c);
  }
  token.Finish(s);
  s.Code = TokenCode(file.TokenBuffer(), s.TextLength);
  return s.Code;
}

bool PercentBeginsLine(TTextFile& file, int64_t at) {
  // The bytes before it are looked at in the buffer, or read again a piece at a time
  // where the buffer begins after them.
  const char* const first = file.BufferStart();
  const int64_t buffered = file.PositionOf(first);
  if (at > buffered && at < file.PositionOf(file.BufferEnd())) {
    const char* p = first + (at - buffered);
    while (p > first && p[-1] == ' ')
      --p;
    if (p > first)
      return p[-1] == '\r' || p[-1] == '\n';
    at = file.PositionOf(p);
  }
  const int64_t back = file.Position();
  bool begins = true;  // at the file's start
  for (int64_t end = at; end > 0;) {
    const int64_t from = std::max<int64_t>(0, end - 4096);
    file.Seek(from);
    if (file.Peek() < 0)
      break;
    const char* const start = file.BufferPos();
    const char* q = start + (end - from);
    while (q > start && q[-1] == ' ')
      --q;
    if (q > start) {
      begins = q[-1] == '\r' || q[-1] == '\n';
      break;
    }
    end = from;
  }
  file.Seek(back);
  return begins;
}

bool NumberAtEmptyToken(TKivoSource& file) {
  TTokenizerState& s = file.TokenizerState();
  // A comment line where a number is read is passed, as between blocks and in lists (it
  // was taken for a number that could not be read, the object left out).
  while (s.Held == '%' && s.TextLength == 0 && PercentBeginsLine(file, file.Position() - 1)) {
    SkipLine(file);
    const int code = GetToken(file, Number, /*skipBlanks=*/true);
    if (code == kwOpenBrace || code == kwCloseBrace)
      return NumberAtHeldBrace(file, code);
    if (s.TextLength != 0)
      return !s.TextCut;
  }
  return false;
}

bool NumberAtHeldBrace(TKivoSource& file, int code) {
  TTokenizerState& s = file.TokenizerState();
  s.Held = code == kwOpenBrace ? '{' : '}';
  s.TextLength = 0;
  s.Code = kwEmpty;
  return false;
}

int ReadOtherToken(TKivoSource& file, const TKivoCharSet& delimiters, bool skipBlanks) {
  // A buffer is mapped when a token of a set that reads by maps is first read from it.
  if (delimiters.ReadsByMaps() && !file.Eof() && file.MapEnd() != file.BufferEnd()) {
    file.MakeMaps();
    const char held = file.TokenizerState().Held;
    int code;
    if (held == 0 ? ReadMappedToken<false>(file, delimiters, skipBlanks, 0, code)
                  : ReadMappedToken<true>(file, delimiters, skipBlanks, held, code))
      return code;
  }
  if (!file.Eof() && ReadBufferedToken(file, delimiters, skipBlanks))
    return file.TokenizerState().Code;
  return ReadToken(file, delimiters, skipBlanks);
}

void SkipListGapSlowly(TKivoSource& file) {
  bool lineStart = false;
  for (int c; (c = file.Peek()) >= 0;) {
    if (c == ' ') {
      SkipBufferedBlanks(file);
    } else if (c == '\r' || c == '\n') {
      file.ReadLn();
      lineStart = true;
    } else if (c == '%' && (lineStart || PercentBeginsLine(file, file.Position()))) {
      // (The gap may begin at a line's start, after a line end read before it.)
      file.ReadLn();
      lineStart = true;
    } else {
      return;
    }
  }
}

}  // namespace KivoTokenizerDetail

int GetKeywordToken(TKivoSource& file, std::string_view text) {
  return file.TokenizerState().Code = FindKivoKeyword(text);
}

const std::string& GetLastTokenText(TKivoSource& file) {
  TTokenizerState& s = file.TokenizerState();
  s.Text.assign(TokenText(file));
  return s.Text;
}

int GetLastTokenCode(TKivoSource& file) { return file.TokenizerState().Code; }

void ForgetLastToken(TKivoSource& file) {
  TTokenizerState& s = file.TokenizerState();
  s.TextLength = 0;
  s.TextLast = 0;
  s.TextCut = false;
  s.Code = kwEmpty;
}

void SkipLine(TKivoSource& file) {
  file.ReadLn();
  file.TokenizerState().Held = 0;
}

bool HeldValueBegins(TKivoSource& file) {
  const char held = GetHeldBackChar(file);
  if (held != '"' && held != '(')
    return false;
  // As a skip that starts at the held-back character reads it (TSkipScanner::Restart in
  // KivoScanner.cpp).
  const std::string_view token = TokenText(file);
  return BeginsValueAfter(token.empty() ? ' ' : static_cast<unsigned char>(token.back()));
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
  gBlankOnly = TKivoCharSet(" ");
  for (int c = 0; c < 256; ++c) {
    const char text[TTextFile::BufferSlack] = {static_cast<char>(c)};
    KivoTokenizerDetail::OneCharacterCodes[c] =
        static_cast<int16_t>(KivoTokenizerDetail::TokenCode(text, 1));
  }
}
