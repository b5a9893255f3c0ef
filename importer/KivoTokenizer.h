// The KIVO tokenizer: reads a KIVO file (nested brace blocks of keywords, values and
// numbers) one character at a time through the runtime's text file and hands out
// keyword codes, string values and numbers.
//
// Its state is process-wide, so one file is tokenized at a time: one held-back
// character (a delimiter that ended the last token and starts the next read), the last
// token's text and code, the number-error flag and the delimiter set of the value being
// read. The eight delimiter sets are built by the unit's start-up.
//
// A line end reads as one blank; only the blank (32) counts as white space. Tokens and
// values keep at most KivoMaxTokenLength characters: the rest of an overlong token is
// read and dropped, so hostile input cannot make the state grow without bound. Every
// read consumes input or ends; runtime I/O failures raise EInOutError.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "classlib/TextFile.h"
#include "importer/KivoKeywords.h"

inline constexpr size_t KivoMaxTokenLength = 65536;

// The characters that end a token. Character 0 and the characters 128 to 255 end no
// token. Sets are told apart by their kind where the reading rules differ.
class TKivoCharSet {
 public:
  enum TKind : uint8_t { ksPlain, ksQuotedValue, ksBracketedValue };

  TKivoCharSet() = default;
  // The set of the given characters.
  TKivoCharSet(std::string_view delimiters, TKind kind = ksPlain);
  // The characters 1 to 127 except those given.
  static TKivoCharSet AllExcept(std::string_view tokenChars, TKind kind = ksPlain);

  bool Contains(unsigned char c) const { return FClass[c] & kDelimiter; }
  bool Empty() const { return FEmpty; }
  TKind Kind() const { return FKind; }
  // Whether a scan of a token's characters stops at `c`: a delimiter or 0 (the end of
  // the text file's buffer, or a NUL within it).
  bool StopsScan(unsigned char c) const { return FClass[c] != 0; }
  // A plain set that ends tokens at blanks and line ends: the tokenizer reads tokens
  // of such sets straight from the file's buffer.
  bool EndsAtBlanksAndLineEnds() const { return FEndsAtBlanksAndLineEnds; }

 private:
  enum : uint8_t { kDelimiter = 1, kZero = 2 };
  void Classify();

  uint8_t FClass[256] = {kZero};
  bool FEmpty = true;
  bool FEndsAtBlanksAndLineEnds = false;
  TKind FKind = ksPlain;
};

// The eight delimiter sets (empty until the unit has started).
const TKivoCharSet& StructuralSet();     // all but "%", "[" and "{"
const TKivoCharSet& WordSet();           // all but the characters of words and names
const TKivoCharSet& NumberSet();         // all but "+", ",", "-", ".", digits, letters
const TKivoCharSet& BlankSkipSet();      // all but the blank
const TKivoCharSet& CloseSet();          // "]" and "}"
const TKivoCharSet& BareValueSet();      // blank, "]" and "}"
const TKivoCharSet& QuotedValueSet();    // blank, "]" and "}" (see KivoTokenizer.cpp on #1)
const TKivoCharSet& BracketedValueSet(); // ")"

// Reads one token ending at a character of `delimiters` (an empty set means the blank
// alone), first skipping blanks and line ends when asked; stores its text and returns
// its keyword code. A held-back "{" or "}" is returned at once, reading nothing.
int GetToken(TTextFile& file, const TKivoCharSet& delimiters, bool skipBlanks);
// The keyword lookup of FindKivoKeyword (no upper-casing); stores the code.
int GetKeywordToken(std::string_view text);
const std::string& GetLastTokenText();
// The same text without a copy; valid until the next read.
std::string_view GetLastTokenView();
int GetLastTokenCode();

// Skips the rest of the line with its line end.
void SkipLine(TTextFile& file);
// Skips to the end of the block whose "{" was read last, nested blocks included; each
// "{" met advances the host's progress indicator one step.
void SkipBlock(TTextFile& file);
// Skips to the "]" that closes an attribute.
void SkipToCloseBracket(TTextFile& file);

// Reads a string value: bare (up to a blank, "]" or "}"), quoted (joined across blanks
// and lines up to the closing quote) or bracketed (up to ")"), with backslash escapes.
std::string ReadQuotedString(TTextFile& file);
// One piece of a value in the current value set, with its continuations.
std::string JoinContinuedString(TTextFile& file);

// Read a number ("." always the decimal point; nothing but plain decimal notation);
// an unreadable or empty token gives -32000 and sets the number-error flag, a readable
// one clears it.
double ReadFloatValue(TTextFile& file);
int32_t ReadIntegerValue(TTextFile& file);
bool GetNumberError();

// The held-back character, 0 when none.
char GetHeldBackChar();
// Forgets everything a previous file left: nothing held back, empty last token text,
// last code -1, number-error flag clear. A new file starts with it.
void ResetTokenizerState();

// Unit start-up: builds the delimiter sets and resets the state.
void InitializeKivoTokenizer();
