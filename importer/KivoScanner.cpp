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
#include <cstring>
#include <utility>

#include "importer/KivoScanning.h"

using namespace KivoScanning;

namespace {

using TTokenizerState = KivoTokenizerDetail::TState;
const TKivoCharSet gNoSet;
using KivoTokenizerDetail::ReadNonBlank;
using KivoTokenizerDetail::TokenText;

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

// Appends one piece of a bare value and its continuations to `value`.
void JoinPieces(TKivoSource& file, std::string& value) {
  TTokenizerState& s = file.TokenizerState();
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
      file.ScannerState().ValueCut = true;
    AppendCapped(file, value, TokenText(file));
    if (last != '\\')
      break;
  }
}

// The rest of a quoted or bracketed value, after its opening character. What follows a
// quoted value's closing quote is taken as after a token: a bracket held back, a blank
// consumed; nothing after a ")" is read.
std::string ReadRestOfValue(TKivoSource& file, TValueKind kind) {
  TTokenizerState& s = file.TokenizerState();
  std::string value;
  const TQuotedEnd end = ReadValueOfKind(kind, file, &value);
  ForgetLastToken(file);  // a value read whole is no token
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
  KivoScannerDetail::TState& scan = file.ScannerState();
  scan.ValueLeftOpen = end.Kind != qeClose;
  scan.ValueWentOn = end.WentOn;
  scan.ValueQuoteWentOn = end.QuoteWentOn;
  return value;
}

}  // namespace

std::string JoinContinuedString(TKivoSource& file) {
  TTokenizerState& s = file.TokenizerState();
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

std::string ReadQuotedString(TKivoSource& file) {
  TTokenizerState& s = file.TokenizerState();
  KivoScannerDetail::TState& scan = file.ScannerState();
  scan.ValueLeftOpen = scan.ValueWentOn = scan.ValueCut = scan.ValueQuoteWentOn = false;
  if (ValueRanOver(file))
    return {};
  if (s.Held == ' ' || s.Held == 0) {
    s.Held = 0;
    ForgetLastToken(file);
    // A comment line before the value is passed, as between blocks (it was read as the
    // value).
    SkipListGap(file);
    unsigned char c = 0;
    if (!ReadNonBlank(file, c) || c == 0)
      return {};
    s.Held = static_cast<char>(c);
  }

  // The first character chooses the value's kind; a bare value's first character is
  // left held back, to start its first piece. Held back, it was read last.
  scan.ValueStart = file.Position() - 1;
  switch (s.Held) {
    case '"':
      s.ValueSet = &QuotedValueSet();
      s.Held = 0;
      break;
    case '(':
      s.ValueSet = &BracketedValueSet();
      s.Held = 0;
      break;
    case ']':
    case '}':
    case '{':  // the next block: the value's "}" is missing
      return {};
    default:
      s.ValueSet = &BareValueSet();
      break;
  }
  return JoinContinuedString(file);
}

bool LastValueQuoted(TKivoSource& file) {
  const TKivoCharSet* const set = file.TokenizerState().ValueSet;
  return set && set->Kind() == TKivoCharSet::ksQuotedValue;
}

bool LastValueBracketed(TKivoSource& file) {
  const TKivoCharSet* const set = file.TokenizerState().ValueSet;
  return set && set->Kind() == TKivoCharSet::ksBracketedValue;
}

bool LastValueLeftOpen(TKivoSource& file) { return file.ScannerState().ValueLeftOpen; }

bool LastValueWentOn(TKivoSource& file) { return file.ScannerState().ValueWentOn; }

bool LastValueCut(TKivoSource& file) { return file.ScannerState().ValueCut; }

int64_t LastValueStart(TKivoSource& file) { return file.ScannerState().ValueStart; }

bool LastValueQuoteWentOn(TKivoSource& file) { return file.ScannerState().ValueQuoteWentOn; }

int64_t LastTokenStart(TKivoSource& file) {
  const KivoScannerDetail::TState& scan = file.ScannerState();
  return scan.ValueTokenEnd == file.Position() ? scan.ValueStart : file.Position() - 1;
}

TKivoBracedValue TakeBracedValue(TKivoSource& file) {
  KivoScannerDetail::TState& scan = file.ScannerState();
  const TKivoBracedValue value{scan.BracedValueAt, scan.BracedValueOpening, scan.BracedValueHolds};
  scan.BracedValueAt = -1;
  return value;
}

int ReadValueToken(TKivoSource& file) {
  TTokenizerState& s = file.TokenizerState();
  KivoScannerDetail::TState& scan = file.ScannerState();
  scan.ValueStart = file.Position() - 1;  // the opening character, held back
  const bool quoted = std::exchange(s.Held, 0) == '"';
  std::string text = (quoted ? "\"" : "(") + ReadRestOfValue(file, quoted ? vkQuoted : vkBracketed);
  if (!file.ScannerState().ValueLeftOpen)
    text += quoted ? '"' : ')';
  const size_t length = std::min(text.size(), KivoMaxTokenLength);
  std::memcpy(file.TokenBuffer(), text.data(), length);
  s.TextLength = length;
  s.TextLast = static_cast<unsigned char>(text[length - 1]);
  s.TextCut = length < text.size();
  s.Code = kwUnknown;
  scan.ValueTokenEnd = file.Position();
  return s.Code;
}

bool BracketBeginsKeyword(TKivoSource& file) {
  if (GetHeldBackChar(file) != 0)
    return false;
  // A comment line before the keyword is passed, as between blocks (it was read as the
  // keyword "%"); the gap passed leaves at most one blank, buffered.
  SkipListGap(file);
  KivoTokenizerDetail::SkipBufferedBlanks(file);
  if (file.Peek() != '(')
    return false;
  char bracket;
  file.Read(bracket);
  file.TokenizerState().Held = bracket;
  ForgetLastToken(file);
  return true;
}

namespace KivoScannerDetail {

int ReadOtherItemToken(TKivoSource& file) {
  TTokenizerState& s = file.TokenizerState();
  unsigned char c = 0;
  bool found = s.Held != 0 && s.Held != ' ';
  if (found) {
    c = static_cast<unsigned char>(std::exchange(s.Held, 0));
  } else {
    s.Held = 0;
    const int64_t from = file.Position();
    found = ReadNonBlank(file, c);
    // A quote or "(" after blanks or a line end begins a value, as in a skip: passed
    // whole.
    if (found && (c == '"' || c == '(') && (from == 0 || file.Position() - from > 1)) {
      s.Held = static_cast<char>(c);
      return ReadValueToken(file);
    }
  }
  KivoTokenizerDetail::TTokenBuilder token(file);
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
    char raw;
    file.Read(raw);
    token.Add(static_cast<unsigned char>(raw));
  }
  token.Finish(s);
  s.Code = kwUnknown;
  return s.Code;
}

}  // namespace KivoScannerDetail

std::string ValueTextBetween(TKivoSource& file, int64_t from, int64_t to, bool quoted,
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

std::string NextWordInBuffer(TKivoSource& file) {
  std::string word;
  if (const char held = GetHeldBackChar(file); held != 0 && held != ' ')
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
