// Values, skips and the items between blocks: reads the string values of a KIVO file
// (bare, quoted and bracketed) and skips what the reader passes over, by one rule of
// where a quoted value ends for reading and skipping alike (stated at the value reader,
// KivoScanValues.cpp). It builds on the tokenizer (KivoTokenizer.h) and works on the
// state both keep with the file being read (TKivoSource): the held-back character, the
// last token, a brace or "[" held back where a value ran over its line, and what the
// value read last was. Split by concern: KivoScanner.cpp reads values and items,
// KivoScanValues.cpp finds where a quoted or bracketed value ends, KivoScanSkips.cpp
// skips.
#pragma once

#include <array>
#include <bitset>
#include <cstdint>
#include <string>

#include "importer/KivoKeywords.h"
#include "importer/KivoSource.h"
#include "importer/KivoTokenizer.h"

// Skips to the end of the block whose "{" was read last, nested blocks included; each
// "{" met advances the host's progress indicator one step. False when the file ended
// before the block's closing "}". Only the braces the reader would take for blocks
// count: not an escaped one, one inside a quoted value or one on a comment (the rules
// are at TSkipScanner in KivoScanSkips.cpp). A brace held back where a value ran over
// a line end (HeldBraceRanOver) is read as a skip of the same bytes reads it: a "{"
// opens a block inside the one skipped, which goes on to its own "}"; a "}" is the
// block's own end. After a bracketed value that took a "}" (for a skip, the block's
// own end) either ends the block at once, held back for the block around.
bool SkipBlock(TKivoSource& file);
// The keywords a skip stops at, by code.
using TKivoKeywordSet = std::bitset<KivoKeywordCount + 1>;
// What SkipBlockUntil found.
struct TKivoSkipEnd {
  int Code = 0;       // the keyword it stopped after; 0 when it did not stop
  bool Closed = false;  // the block was skipped through its "}"
  int64_t Open = 0;   // where it stopped: the blocks left open around the keyword's block
};
// SkipBlock that stops right after a "{" and one of the `watched` keywords, at any
// depth, as at a block that cannot lie where it is met; the keyword is then the last
// token read.
TKivoSkipEnd SkipBlockUntil(TKivoSource& file, const TKivoKeywordSet& watched);
// What a skip meets, told to a reader that decides as it goes (SkipBlockVisiting).
// Depths count from the skipped block: 1 directly inside it, 2 inside a block within it.
class TKivoSkipVisitor {
 public:
  virtual ~TKivoSkipVisitor() = default;
  // Whether Block is told of the blocks met (their keywords are read only then).
  virtual bool WantsBlocks() const = 0;
  // A "{" and its keyword, just read (the last token), opening a block whose contents
  // stand at `depth`; `lowest` is the least depth the skip passed since the last block
  // or attribute it told (blocks closed in between). True ends the skip right there.
  virtual bool Block(int code, int64_t depth, int64_t lowest) = 0;
  // A "[" read at `depth` (`lowest` as for Block). True when the visitor read the
  // attribute with the tokenizer (the skip goes on from where it stands, with the
  // character held back), false when it left it (the skip passes it as text).
  virtual bool Attribute(int64_t depth, int64_t lowest) = 0;
};
// SkipBlock, telling `visitor` of the blocks and attributes it meets; it stops where
// the visitor's Block answers true.
TKivoSkipEnd SkipBlockVisiting(TKivoSource& file, TKivoSkipVisitor& visitor);
// Skips to the "]" that closes an attribute, read as SkipBlock reads: false, with the
// character held back, where a "[" (the next attribute) or a "{" comes first, or a "}"
// once a line end was passed (the attribute then ran over its line into the blocks
// after it), and at the end of the file.
bool SkipToCloseBracket(TKivoSource& file);
// Whether the held-back brace ended a value or an attribute that ran over a line end
// before its closing quote, ")" or "]": a line holding a brace is taken for the blocks
// after it, not for more of the value. The next value read is empty; a skip reads the
// brace as SkipBlock says.
bool HeldBraceRanOver(TKivoSource& file);
// The same, or a "[" held back where a value that ran over its line met the next
// attribute: the value ran over (and the next value read is empty).
bool ValueRanOver(TKivoSource& file);

// Reads a string value: bare (up to a blank, "]" or "}"), quoted or bracketed (to where
// the rule at the value reader in KivoScanValues.cpp ends it, the same for skips), with
// backslash escapes; tabs inside quoted and bracketed values stay tabs. At most
// KivoMaxTokenLength characters are kept (LastValueCut).
std::string ReadQuotedString(TKivoSource& file);
// The rest of the value being read, in the value set its first character chose (a bare
// value's first character held back), escapes resolved.
std::string JoinContinuedString(TKivoSource& file);
// Whether the value read last was a quoted one.
bool LastValueQuoted(TKivoSource& file);
// Whether the value read last was a bracketed one.
bool LastValueBracketed(TKivoSource& file);
// Whether the value read last was a quoted or bracketed one that no closing quote or
// ")" ended: a bracket on its line (held back), a block or attribute it ran over to
// (ValueRanOver) or the end of the file ended it.
bool LastValueLeftOpen(TKivoSource& file);
// Whether the quoted or bracketed value read last went on past a line end.
bool LastValueWentOn(TKivoSource& file);
// Whether the value read last had more than KivoMaxTokenLength characters: the first
// ones were kept, the rest read and dropped.
bool LastValueCut(TKivoSource& file);
// Where the value read last began: its first character (its opening quote, bracket or
// first character of a bare value). Not changed by a value that is empty.
int64_t LastValueStart(TKivoSource& file);
// Whether the quoted value read last holds a quote that does not close it on a line it
// went on to: its first quote may be a stray one, which took the quoted value of that
// line into it (`"QR` at a line's end, `"COMP" 1` on the next).
bool LastValueQuoteWentOn(TKivoSource& file);
// Where the token read last began, for a warning's line: a quoted or bracketed value read
// as a token (ReadValueToken) at its opening character, which may lie on a line before;
// any other at its last character (a token lies on one line).
int64_t LastTokenStart(TKivoSource& file);
// A quoted or bracketed value, read or skipped and closed, that holds a brace or bracket
// of its own: where a stray quote or "(" began it, the brackets of the blocks after it
// went into it, and those blocks with them. The last one is noted until it is taken
// (a warning of a loss names it) or the reading reads a block where it belongs
// (TakeBracedValue answers none then).
struct TKivoBracedValue {
  int64_t At = -1;    // its opening character; -1 for none
  char Opening = 0;   // '"' or '('
  char Holds = 0;     // the first brace or bracket it holds
};
// The value noted, forgotten as it is answered.
TKivoBracedValue TakeBracedValue(TKivoSource& file);
// The text of a value that goes on past its end, up to what comes after it: the file's
// bytes from `from` to `to` (both read before), read as a quoted value reads its own:
// the blanks and line ends before it skipped, a quoted one's opening quote dropped,
// escapes resolved, tabs kept, lines joined with no blank (the next line's blanks and
// tabs skipped); blanks, tabs and line ends at its end are dropped, and then a quoted
// one's closing quote (`closed` tells whether it had one). At most `limit` characters
// are kept. The position is left where it was.
std::string ValueTextBetween(TKivoSource& file, int64_t from, int64_t to, bool quoted,
                             size_t limit, bool& closed);
// What a warning names of the text at the position: the held-back character and the
// buffered bytes after it up to a blank, a line end, "{", "}" or "[" (at most 64).
std::string NextWordInBuffer(TKivoSource& file);
// Text that begins with a quote or "(" where the reader reads no value (between a
// level's blocks, after a block's "{"), its opening character held back: read to its
// end as a skip reads it, a quoted or bracketed value, what follows taken as after a
// value (a bracket that ended it held back). The last token's text is the opening
// character and the value, with its closing one when it had one; the code kwUnknown.
int ReadValueToken(TKivoSource& file);
// Before a block's keyword: passes the blanks, line ends and comment lines before it
// and answers whether a "(" begins it, a bracketed value as a skip reads it
// (ReadValueToken reads it then, the "(" held back). Reads nothing while a character is
// held back.
bool BracketBeginsKeyword(TKivoSource& file);

// The next token among a block's items, blanks and line ends skipped: "{", "}", "[" and
// "%" are tokens of their own whatever stands right before or after them (kwOpenBrace,
// kwCloseBrace, kwOpenBracket, kwPercent; what follows is left unread); a quote or "("
// after a blank or a line end begins a value, passed whole as a skip passes it
// (ReadValueToken); any other run of characters, up to a blank, a line end or one of
// "{", "}" and "[", is text (kwUnknown, the last token's text); kwEmpty at the end of
// the file. A character held back comes first. (The structural set would glue a brace
// to a byte beside it that ends no token, a NUL or one above 127, and so lose the
// block.)
KIVO_ALWAYS_INLINE int ReadItemToken(TKivoSource& file);

namespace KivoScannerDetail {

// The codes of the four characters that are item tokens of their own; 0 for others.
constexpr std::array<int16_t, 256> MakeItemCodes() {
  std::array<int16_t, 256> codes{};
  codes['{'] = kwOpenBrace;
  codes['}'] = kwCloseBrace;
  codes['['] = kwOpenBracket;
  codes['%'] = kwPercent;
  return codes;
}
inline constexpr std::array<int16_t, 256> ItemCodes = MakeItemCodes();

// ReadItemToken's every other case: a character held back, text, a value, the end of a
// buffer.
int ReadOtherItemToken(TKivoSource& file);

}  // namespace KivoScannerDetail

KIVO_ALWAYS_INLINE int ReadItemToken(TKivoSource& file) {
  KivoTokenizerDetail::TState& s = file.TokenizerState();
  const char* const look = file.BufferPos();
  if (s.Held == 0 && look < file.BufferEnd()) {
    // The 0 after the buffered bytes stops the skip; it is no item token.
    const char* const start = KivoTokenizerDetail::SkipBlanksAndLineEnds(look);
    const int code = KivoScannerDetail::ItemCodes[static_cast<unsigned char>(*start)];
    if (code != 0) {
      file.SetBufferPos(start + 1);
      file.TokenBuffer()[0] = *start;
      s.TextLength = 1;
      s.TextCut = false;
      s.Code = code;
      return code;
    }
  }
  return KivoScannerDetail::ReadOtherItemToken(file);
}
