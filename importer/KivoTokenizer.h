// The KIVO tokenizer: reads a KIVO file (nested brace blocks of keywords, values and
// numbers) one character at a time through the runtime's text file and hands out
// keyword codes, string values and numbers.
//
// Its state is the reading's own, kept with the file being read (TKivoSource), which
// every operation takes: one held-back character (a delimiter that ended the last token
// and starts the next read), the last token's text and code, the number-error flag, the
// delimiter set of the value being read and the brace held back where a value ran over
// its line. The eight delimiter sets, built by the unit's start-up, are constants.
//
// A line end reads as one blank; only the blank (32) counts as white space. Tokens and
// values keep at most KivoMaxTokenLength characters: the rest of an overlong token is
// read and dropped, so hostile input cannot make the state grow without bound. Every
// read consumes input or ends (a number read at a held-back brace reads nothing: the
// brace is left to the next read); runtime I/O failures raise EInOutError.
#pragma once

#include <array>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

#include <emmintrin.h>

#include "classlib/TextFile.h"
#include "importer/KivoKeywords.h"
#include "importer/KivoNumbers.h"
#include "importer/KivoSource.h"

// The reading done for every token is forced inline into its callers.
#define KIVO_ALWAYS_INLINE inline __attribute__((always_inline))

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
  // Whether digits, letters, "-" and "." end no token, so that a scan can pass over
  // them sixteen at a time.
  bool PassesAlphanumerics() const { return FPassesAlphanumerics; }
  // Both: a token of the set starts (blanks skipped) at the first byte that the text
  // file's word map marks and may end only where its stop map has a bit.
  bool ReadsByMaps() const { return FReadsByMaps; }
  // What a character does to a token of such a set that it stops: kEnds when it ends
  // the token, kConsumed when it is consumed as well (every delimiter but a line end),
  // and in the low byte the character held back after it (0 for blanks and line ends).
  enum : uint16_t { kEnds = 0x100, kConsumed = 0x200 };
  uint32_t After(unsigned char c) const { return FAfter[c]; }

 private:
  enum : uint8_t { kDelimiter = 1, kZero = 2 };
  void Classify();

  uint8_t FClass[256] = {kZero};
  uint16_t FAfter[256] = {};
  bool FEmpty = true;
  bool FEndsAtBlanksAndLineEnds = false;
  bool FPassesAlphanumerics = false;
  bool FReadsByMaps = false;
  TKind FKind = ksPlain;
};

namespace KivoTokenizerDetail {
extern TKivoCharSet Structural, Word, Number, BlankSkip, Close, BareValue, QuotedValue,
    BracketedValue;
}  // namespace KivoTokenizerDetail

// The eight delimiter sets (empty until the unit has started).
// All but "%", "[" and "{".
inline const TKivoCharSet& StructuralSet() { return KivoTokenizerDetail::Structural; }
// All but the characters of words and names.
inline const TKivoCharSet& WordSet() { return KivoTokenizerDetail::Word; }
// All but "+", ",", "-", ".", digits, letters.
inline const TKivoCharSet& NumberSet() { return KivoTokenizerDetail::Number; }
// All but the blank.
inline const TKivoCharSet& BlankSkipSet() { return KivoTokenizerDetail::BlankSkip; }
// "]" and "}".
inline const TKivoCharSet& CloseSet() { return KivoTokenizerDetail::Close; }
// Blank, "]" and "}".
inline const TKivoCharSet& BareValueSet() { return KivoTokenizerDetail::BareValue; }
// Blank, "]" and "}" (see KivoTokenizer.cpp on #1).
inline const TKivoCharSet& QuotedValueSet() { return KivoTokenizerDetail::QuotedValue; }
// ")".
inline const TKivoCharSet& BracketedValueSet() { return KivoTokenizerDetail::BracketedValue; }

// Reads one token ending at a character of `delimiters` (an empty set means the blank
// alone), first skipping blanks and line ends when asked; stores its text and returns
// its keyword code. A held-back "{" or "}" is returned at once, reading nothing.
KIVO_ALWAYS_INLINE int GetToken(TKivoSource& file, const TKivoCharSet& delimiters,
                                bool skipBlanks);
// The keyword lookup of FindKivoKeyword (no upper-casing); stores the code.
int GetKeywordToken(TKivoSource& file, std::string_view text);
const std::string& GetLastTokenText(TKivoSource& file);
// The same text without a copy; valid until the next read.
inline std::string_view GetLastTokenView(TKivoSource& file);
int GetLastTokenCode(TKivoSource& file);
// Whether the last token had more than KivoMaxTokenLength characters (the rest was
// dropped).
inline bool LastTokenCut(TKivoSource& file) { return file.TokenizerState().TextCut; }
// Makes the last token empty (code kwEmpty), as a read that found no token leaves it.
void ForgetLastToken(TKivoSource& file);

// Skips the rest of the line with its line end.
void SkipLine(TKivoSource& file);

// Before the next token of a list (a line's vertices, a connection list's names), a
// value, a block's keyword or an attribute's key: skips blanks, line ends and comment
// lines, a "%" first on its line beginning one as between blocks. Nothing is skipped
// while a character is held back.
KIVO_ALWAYS_INLINE void SkipListGap(TKivoSource& file);

// Read a number ("." always the decimal point; nothing but plain decimal notation);
// an unreadable or empty token gives -32000 and sets the number-error flag, a readable
// one clears it. Inline (below): most tokens of a file are numbers.
inline double ReadFloatValue(TKivoSource& file);
inline int32_t ReadIntegerValue(TKivoSource& file);
inline bool GetNumberError(TKivoSource& file) { return file.TokenizerState().NumberError; }

// The held-back character, 0 when none.
inline char GetHeldBackChar(TKivoSource& file) { return file.TokenizerState().Held; }
// Whether a double quote or "(" after `before` (the character read before it) begins a
// quoted or bracketed value where no value is read (in a skip, between blocks, among
// numbers): after a blank, a tab, a line end, "{" or "[", not after other characters (a
// "]" or "}" among them, or a word's).
inline bool BeginsValueAfter(unsigned char before) {
  return before == ' ' || before == '\t' || before == '\r' || before == '\n' || before == '{' ||
         before == '[';
}
// Whether the character held back, a quote or "(" that a number or word read stopped at
// and did not take, begins a value where a skip that starts there would read one (the
// token it ended empty, or ended by a blank, a tab, a line end, "{" or "["; not one glued
// to a word or number): a read of numbers or points stops at it, as at a block, and the
// skip after them passes the value whole, as a skip of the same bytes does.
bool HeldValueBegins(TKivoSource& file);

// Unit start-up: builds the delimiter sets.
void InitializeKivoTokenizer();

// The part of GetToken that runs for nearly every token, inline: a held-back brace,
// and a token of a set that ends at blanks and line ends read straight from the
// file's buffer. Everything else goes to ReadToken.
namespace KivoTokenizerDetail {

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

// Whether the "%" at the position `at` (read or next) is the first character on its line
// but blanks (and tabs read as blanks): it begins a comment line.
bool PercentBeginsLine(TTextFile& file, int64_t at);

// Passes over the buffered blanks.
inline void SkipBufferedBlanks(TTextFile& file) {
  const char* p = file.BufferPos();
  const char* const end = file.BufferEnd();
  while (p < end && *p == ' ')
    ++p;
  file.SetBufferPos(p);
}

// Reads on to the first character that is no blank or line end and gives it in `c`
// (consumed); false at the end of the file.
inline bool ReadNonBlank(TTextFile& file, unsigned char& c) {
  while (!file.Eof()) {
    SkipBufferedBlanks(file);
    if (file.BufferPos() == file.BufferEnd())
      continue;
    const unsigned char next = NextChar(file);
    if (next != ' ') {
      c = next;
      return true;
    }
  }
  return false;
}
// The last token's text, valid until the next read.
inline std::string_view TokenText(TKivoSource& file) {
  return std::string_view(file.TokenBuffer(), file.TokenizerState().TextLength);
}
// Collects a token's characters in the file's token buffer; local, so that its counters
// stay in registers while the file's characters are read.
class TTokenBuilder {
 public:
  explicit TTokenBuilder(TKivoSource& file) : FBuffer(file.TokenBuffer()) {}
  void Add(unsigned char c) {
    if (FLength < KivoMaxTokenLength)
      FBuffer[FLength++] = static_cast<char>(c);
    else
      FCut = true;
    FLast = c;
  }
  void Finish(TState& s) const {
    s.TextLength = FLength;
    s.TextLast = FLast;
    s.TextCut = FCut;
  }

 private:
  char* FBuffer;
  size_t FLength = 0;
  unsigned char FLast = 0;
  bool FCut = false;
};
// Whether a text beginning with the character can be a keyword: keywords begin with
// a letter or one of "%[]{}".
constexpr std::array<bool, 256> MakeKeywordStart() {
  std::array<bool, 256> table{};
  for (int c = 'A'; c <= 'Z'; ++c)
    table[c] = table[c + 32] = true;
  for (unsigned char c : std::string_view("%[]{}"))
    table[c] = true;
  return table;
}
inline constexpr std::array<bool, 256> KeywordStart = MakeKeywordStart();
// The characters skipped before a token: the blank and the line ends.
constexpr std::array<bool, 256> MakeWhiteSpace() {
  std::array<bool, 256> table{};
  table[' '] = table['\r'] = table['\n'] = true;
  return table;
}
inline constexpr std::array<bool, 256> WhiteSpace = MakeWhiteSpace();

// Reads one token, starting with the held-back character if there is one: every
// case, character by character.
int ReadToken(TKivoSource& file, const TKivoCharSet& requested, bool skipBlanks);

// The keyword code of a token's text (see FindKivoKeyword), without a branch on the
// text; the text has TTextFile::BufferSlack readable bytes (the file's buffer or the
// token buffer).
KIVO_ALWAYS_INLINE int TokenCode(const char* text, size_t length) {
  static_assert(TTextFile::BufferSlack >= KivoKeywordsDetail::KeySize, "a key can be read");
  return KivoKeywordsDetail::FindPadded(text, length, /*upperCase=*/true);
}

KIVO_ALWAYS_INLINE __m128i LoadChars(const char* p) {
  return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
}

// Bits of the sixteen characters that are line ends.
KIVO_ALWAYS_INLINE uint32_t LineEndBits(__m128i chars) {
  return static_cast<uint32_t>(_mm_movemask_epi8(
      _mm_or_si128(_mm_cmpeq_epi8(chars, _mm_set1_epi8('\r')),
                   _mm_cmpeq_epi8(chars, _mm_set1_epi8('\n')))));
}

// Bits of the sixteen characters that are blanks.
KIVO_ALWAYS_INLINE uint32_t BlankBits(__m128i chars) {
  return static_cast<uint32_t>(_mm_movemask_epi8(_mm_cmpeq_epi8(chars, _mm_set1_epi8(' '))));
}

// Bits of the sixteen characters that are no blank or line end.
KIVO_ALWAYS_INLINE uint32_t NonBlankBits(__m128i chars) {
  return ~(BlankBits(chars) | LineEndBits(chars)) & 0xFFFF;
}

// Bits of the sixteen characters that are no digit, letter, "-" or ".": in a set that
// passes alphanumerics, only these can stop a scan.
KIVO_ALWAYS_INLINE uint32_t NonAlphanumericBits(__m128i chars) {
  // Each range test biases the range onto the lowest signed values.
  const __m128i digit = _mm_cmplt_epi8(_mm_add_epi8(chars, _mm_set1_epi8(0x80 - '0')),
                                       _mm_set1_epi8(static_cast<char>(-128 + 10)));
  const __m128i folded = _mm_or_si128(chars, _mm_set1_epi8(0x20));
  const __m128i letter = _mm_cmplt_epi8(_mm_add_epi8(folded, _mm_set1_epi8(0x80 - 'a')),
                                        _mm_set1_epi8(static_cast<char>(-128 + 26)));
  const __m128i sign = _mm_cmplt_epi8(_mm_add_epi8(chars, _mm_set1_epi8(0x80 - '-')),
                                      _mm_set1_epi8(static_cast<char>(-128 + 2)));
  const __m128i passed = _mm_or_si128(_mm_or_si128(digit, letter), sign);
  return ~static_cast<uint32_t>(_mm_movemask_epi8(passed)) & 0xFFFF;
}

// The first character at or after `p` that stops a scan in `set` (see StopsScan).
// `p` lies in the file's buffer at or before its end, so sixteen bytes can be read;
// the 0 at the end stops every scan.
KIVO_ALWAYS_INLINE const char* ScanTo(const TKivoCharSet& set, const char* p) {
  if (set.PassesAlphanumerics()) {
    uint32_t candidates;
    while ((candidates = NonAlphanumericBits(LoadChars(p))) == 0)
      p += 16;
    p += __builtin_ctz(candidates);
  }
  while (!set.StopsScan(static_cast<unsigned char>(*p)))
    ++p;
  return p;
}

// The first character at or after `p` that is no blank or line end.
KIVO_ALWAYS_INLINE const char* SkipBlanksAndLineEnds(const char* p) {
  uint32_t others;
  while ((others = NonBlankBits(LoadChars(p))) == 0)
    p += 16;
  return p + __builtin_ctz(others);
}

// The keyword code of a token read from the file's buffer: `length` characters, the
// held-back character `held` (0 for none) first and then those at `start`. Most tokens
// are numbers: only a text that can be a keyword is looked up. The text is taken where
// it lies, the held-back character shifted in before it, not read back from the token
// buffer (which would wait for the stores made there).
KIVO_ALWAYS_INLINE int BufferedTokenCode(const char* start, size_t length, char held) {
  const unsigned char first = static_cast<unsigned char>(held != 0 ? held : *start);
  if (length == 0)
    return kwEmpty;
  if (!KeywordStart[first])
    return kwUnknown;
  __m128i text = LoadChars(start);
  if (held != 0)
    text = _mm_or_si128(_mm_slli_si128(text, 1), _mm_cvtsi32_si128(first));
  return KivoKeywordsDetail::FindInKey(text, length, /*upperCase=*/true);
}

// The common case of ReadToken read straight from the file's buffer (Eof() having
// answered false): a set that ends tokens at blanks and line ends, and the token and
// the character that ends it both buffered. A held-back character starts the token,
// and then nothing is skipped, as in ReadToken. Answers false, having read nothing,
// when the case is not that one. The scans stop at the 0 that follows the buffered
// bytes, so they test the end only where a 0 stopped them.
//
// Each token's end decides where the next one starts, so the work from one token's
// start to its end is kept short and free of branches that depend on the text: one
// look at sixteen characters finds both the token's start and the first character
// after it that may end it; the table decides only whether that one does.
inline bool ReadBufferedToken(TKivoSource& file, const TKivoCharSet& delimiters,
                              bool skipBlanks) {
  TState& s = file.TokenizerState();
  if (!delimiters.EndsAtBlanksAndLineEnds())
    return false;
  const char held = s.Held;
  // Line ends read as blanks, so skipping passes over them too; whatever is skipped
  // is consumed only once a token is found in the buffer.
  const bool skip = skipBlanks && held == 0;
  const char* start = file.BufferPos();
  const char* stop;
  if (delimiters.PassesAlphanumerics()) {
    const __m128i chars = LoadChars(start);
    // Bit 16 stands for the characters beyond the sixteen.
    const uint32_t skipped = skip ? __builtin_ctz(NonBlankBits(chars) | 0x10000) : 0;
    const uint32_t candidates = (NonAlphanumericBits(chars) | 0x10000) >> skipped;
    start += skipped;
    stop = start + __builtin_ctz(candidates);
    if (skipped == 16)
      stop = start = SkipBlanksAndLineEnds(start);
  } else {
    if (skip)
      start = SkipBlanksAndLineEnds(start);
    stop = start;
  }
  for (;;) {
    if (!delimiters.StopsScan(static_cast<unsigned char>(*stop)))
      stop = ScanTo(delimiters, stop);
    if (*stop != '\0')
      break;
    if (stop == file.BufferEnd())
      return false;
    ++stop;  // a NUL within the buffer ends no token
  }
  // A line end that starts the token is read as a blank by ReadToken.
  const char end = *stop;
  if (stop == start && (end == '\r' || end == '\n'))
    return false;
  const size_t offset = held != 0 ? 1 : 0;
  const size_t count = static_cast<size_t>(stop - start);
  const size_t length = count + offset;
  if (length >= KivoMaxTokenLength)
    return false;
  char* const buffer = file.TokenBuffer();
  buffer[0] = held;
  // Short tokens are copied in one fixed-size piece: the file's buffer has slack after
  // its end, and the token buffer room after any short token.
  if (count <= TTextFile::BufferSlack)
    std::memcpy(buffer + offset, start, TTextFile::BufferSlack);
  else
    std::memcpy(buffer + offset, start, count);
  s.TextLength = length;
  s.TextLast = static_cast<unsigned char>(count ? stop[-1] : held);
  s.TextCut = false;
  // A delimiter is consumed and held back unless it is the blank; a line end stays.
  const bool lineEnd = (end == '\r') | (end == '\n');
  s.Held = static_cast<char>(end & -static_cast<int>(!(lineEnd | (end == ' '))));
  file.SetBufferPos(stop + !lineEnd);
  s.Code = BufferedTokenCode(start, length, held);
  return true;
}

// The 32-bit word of a text file's map at `map` (see TTextFile::WordMapAt).
KIVO_ALWAYS_INLINE uint32_t MapWord(const uint8_t* map) {
  uint32_t word;
  std::memcpy(&word, map, sizeof word);
  return word;
}

// The stop map's words of the 64 bytes from the 8-byte boundary at or before `p`, the
// bits of the bytes before `p` cleared (see TTextFile::TStopCursor).
KIVO_ALWAYS_INLINE TTextFile::TStopCursor StopsFrom(const TTextFile& file, const char* p) {
  const uint32_t shift = reinterpret_cast<uintptr_t>(p) & 7;
  const char* const base = p - shift;
  return {p, base, MapWord(file.StopMapAt(base)) & (~0u << shift),
          MapWord(file.StopMapAt(base + 32))};
}

// The tokens read most, short and without a loop: a set that reads by maps, and the
// token (with the blanks skipped before it, within 31 bytes of the position) and the
// character that ends it among the 64 bytes of the text file's stop cursor. `held` is
// the held-back character, which starts the token (nothing is then skipped): 0 unless
// kHeld. The maps give the token's start and the first byte that may end it; the set
// decides whether it does. Answers false, having read nothing, for every other case
// (ReadOtherToken reads them).
//
// Each token's end decides where the next one starts, and that chain, not the count
// of instructions, bounds the speed. The stop cursor keeps the stop bits after the
// position between reads, so from one token's end to the next it takes the cursor's
// load, a choice of its word and the lowest bit cleared; the next position follows from
// a bit scan beside it. Whatever else is decided (blanks before the token, a cursor
// left by other reads, the end character, a line end, the keyword) is left to
// branches, which the next token does not wait on when they are foreseen.
template <bool kHeld>
KIVO_ALWAYS_INLINE bool ReadMappedToken(TKivoSource& file, const TKivoCharSet& delimiters,
                                        bool skipBlanks, char held, int& code) {
  if (!delimiters.ReadsByMaps())
    return false;
  const char* const look = file.BufferPos();
  // At the end of the buffer (or of a file not open) the buffer may have to be filled,
  // and a buffer just filled mapped (ReadOtherToken does both).
  if (look >= file.MapEnd())
    return false;
  TTextFile::TStopCursor& cursor = file.StopCursor();
  TTextFile::TStopCursor stops = cursor;
  // The cursor is the last mapped token's, unless another read moved the position on.
  if (__builtin_expect(stops.Pos != look, 0)) {
    asm volatile("");  // a branch: the cursor's words do not wait on the position
    stops = StopsFrom(file, look);
  }
  const char* start = look;
  const unsigned char first = static_cast<unsigned char>(kHeld ? held : *look);
  // Most tokens start right at the position (the delimiter before them consumed): that
  // case is a branch, so that the token's end does not wait on the blanks' bits.
  if (!kHeld && skipBlanks && __builtin_expect(WhiteSpace[first], 0)) {
    asm volatile("");
    const uint32_t shift = reinterpret_cast<uintptr_t>(look) & 7;
    const uint32_t starts = MapWord(file.WordMapAt(look)) & (~0u << shift);
    if (starts == 0)
      return false;
    start = look - shift + __builtin_ctz(starts);
    stops = StopsFrom(file, start);
  }
  // The token ends in the second word when the first has no stop left (a branch, as
  // the next token's end would otherwise wait on the choice).
  uint32_t word = stops.Low;
  uint32_t then = stops.High;
  const char* from = stops.Base;
  if (__builtin_expect(word == 0, 0)) {
    asm volatile("");
    word = then;
    from += 32;
    then = MapWord(file.StopMapAt(from + 32));
    if (word == 0)
      return false;
  }
  const char* const end = from + __builtin_ctz(word);
  // Longer tokens are left to the general reading, as the copy below is of sixteen.
  if (end - start > 16)
    return false;
  // A 0 (the buffer's end or a NUL in it) ends no token: it is left to the general
  // reading, as is a character that ends no token of the set.
  const uint32_t after = delimiters.After(static_cast<unsigned char>(*end));
  if (!(after & TKivoCharSet::kEnds))
    return false;
  const char* next = end + 1;
  TTextFile::TStopCursor kept = {next, from, word & (word - 1), then};
  if (__builtin_expect(!(after & TKivoCharSet::kConsumed), 0)) {
    asm volatile("");  // a branch: the next position does not wait on the end's loads
    // A line end stays, unless it starts the token (after the held-back character):
    // then it reads as a blank, and the whole line end ("\r\n" too) is consumed. Where
    // the buffer ends after it, the rest of a "\r\n" may not be buffered yet.
    next = end;
    kept = {end, from, word, then};
    if ((kHeld || !skipBlanks) && end == start) {
      if (end + 1 >= file.BufferEnd())
        return false;
      next = end + 1 + (end[0] == '\r' && end[1] == '\n');
      kept = {};  // the bits of the line end are not taken out of the words
    }
  }
  // Stored first, so that the next token's start need not wait for anything else.
  file.SetBufferPos(next);
  cursor = kept;
  const uint32_t length = static_cast<uint32_t>(end - start) + kHeld;
  code = BufferedTokenCode(start, length, kHeld ? held : 0);
  // Copied in one fixed-size piece: the buffer has slack after its end, which lies
  // after the token.
  char* const buffer = file.TokenBuffer();
  if (kHeld)
    buffer[0] = held;
  std::memcpy(buffer + kHeld, start, 16);
  TState& s = file.TokenizerState();
  s.TextLength = length;
  s.Code = code;
  s.TextCut = false;
  s.Held = static_cast<char>(after);
  return true;
}

// The keyword code of every one-character token (made by the unit's start-up).
extern int16_t OneCharacterCodes[256];

// The structural set's commonest token, blanks and line ends skipped before it (nothing
// held back): one character of the set's tokens ("{", "[", "%") ended by a delimiter, or
// none (a delimiter right away, as the "}" of a block's end). Answers false, having read
// nothing, for every other case. Most block items start with it; it needs no maps.
KIVO_ALWAYS_INLINE bool ReadStructuralToken(TKivoSource& file, int& code) {
  const char* const look = file.BufferPos();
  // An empty buffer may have to be filled first (ReadOtherToken does it).
  if (look >= file.BufferEnd())
    return false;
  // The 0 after the buffered bytes stops the skip; it ends no token.
  const char* const start = SkipBlanksAndLineEnds(look);
  const TKivoCharSet& set = Structural;
  const unsigned char first = static_cast<unsigned char>(*start);
  const char* end = start;
  if (!(set.After(first) & TKivoCharSet::kEnds)) {
    if (first == 0 || !(set.After(static_cast<unsigned char>(start[1])) & TKivoCharSet::kEnds))
      return false;
    end = start + 1;
  }
  const uint32_t after = set.After(static_cast<unsigned char>(*end));
  // A line end stays, as a blank would be consumed.
  file.SetBufferPos(end + ((after & TKivoCharSet::kConsumed) != 0));
  const uint32_t length = static_cast<uint32_t>(end - start);
  file.TokenBuffer()[0] = static_cast<char>(first);
  TState& s = file.TokenizerState();
  s.TextLength = length;
  s.TextLast = static_cast<unsigned char>(length ? first : 0);
  s.TextCut = false;
  s.Held = static_cast<char>(after);
  code = length ? int{OneCharacterCodes[first]} : int{kwEmpty};
  s.Code = code;
  return true;
}

// Every token that ReadMappedToken leaves: from the buffer where it can, else
// character by character.
int ReadOtherToken(TKivoSource& file, const TKivoCharSet& delimiters, bool skipBlanks);

}  // namespace KivoTokenizerDetail

KIVO_ALWAYS_INLINE int GetToken(TKivoSource& file, const TKivoCharSet& delimiters,
                                bool skipBlanks) {
  using namespace KivoTokenizerDetail;
  TState& s = file.TokenizerState();
  const char held = s.Held;
  if (held == 0) {
    int code;
    if (ReadMappedToken<false>(file, delimiters, skipBlanks, 0, code))
      return code;
    // Known where the set is named (StructuralSet()): no test elsewhere.
    if (&delimiters == &Structural && skipBlanks && ReadStructuralToken(file, code))
      return code;
  } else if (held == '{' || held == '}') {
    s.Held = 0;
    return held == '{' ? kwOpenBrace : kwCloseBrace;
  } else {
    int code;
    if (ReadMappedToken<true>(file, delimiters, skipBlanks, held, code))
      return code;
  }
  return ReadOtherToken(file, delimiters, skipBlanks);
}

namespace KivoTokenizerDetail {
void SkipListGapSlowly(TKivoSource& file);
}  // namespace KivoTokenizerDetail

KIVO_ALWAYS_INLINE void SkipListGap(TKivoSource& file) {
  if (file.TokenizerState().Held != 0)
    return;
  // Most tokens of a list follow one blank on the same line, or none.
  const char* p = file.BufferPos();
  const auto plain = [](char c) { return static_cast<unsigned char>(c) > ' ' && c != '%'; };
  if (p + 1 < file.BufferEnd() && (plain(p[0]) || (p[0] == ' ' && plain(p[1]))))
    return;
  KivoTokenizerDetail::SkipListGapSlowly(file);
}

namespace KivoTokenizerDetail {

// Reads a number token; false when there is no text to convert. A held-back brace ends
// the block the number was looked for in: it is no number, reads nothing and stays held
// back (taking it and converting the previous token's text again gave a stale number
// and left the block's "}" to the skip after it, which then skipped the enclosing block).
// Puts back the brace that GetToken returned (`code`): no number read.
bool NumberAtHeldBrace(TKivoSource& file, int code);
// The number read found none: a comment line there is passed and the number read after
// it (false when there is none after it either).
[[gnu::cold]] bool NumberAtEmptyToken(TKivoSource& file);
KIVO_ALWAYS_INLINE bool ReadNumberToken(TKivoSource& file) {
  TState& s = file.TokenizerState();
  // Nor does it begin with a quote or "(" that begins a value: the value is left whole to
  // the skip after the numbers (which passes it), as a skip of the same bytes passes it.
  if (__builtin_expect(s.Held != 0, 0) && HeldValueBegins(file))
    return false;
  // A number token holds no brace: only a held-back one is returned as one.
  const int code = GetToken(file, NumberSet(), /*skipBlanks=*/true);
  if (__builtin_expect(code == kwOpenBrace || code == kwCloseBrace, 0))
    return NumberAtHeldBrace(file, code);
  if (__builtin_expect(s.TextLength != 0, 1))
    return !s.TextCut;
  return NumberAtEmptyToken(file);
}

// Reads a number token and converts it with `Convert`: -32000 and the number-error flag
// for an unreadable one. The value is handed back in `value` (not through the x87 stack
// a returned double takes), with false for the number error.
template <class T, bool (*Convert)(std::string_view, T&)>
KIVO_ALWAYS_INLINE bool ReadNumber(TKivoSource& file, T& value) {
  value = 0;
  TState& s = file.TokenizerState();
  s.NumberError = !ReadNumberToken(file) || !Convert(TokenText(file), value);
  if (s.NumberError)
    value = -32000;
  return !s.NumberError;
}

}  // namespace KivoTokenizerDetail

// ReadFloatValue and ReadIntegerValue whole, for the reader's coordinates.
KIVO_ALWAYS_INLINE bool ReadFloatNumber(TKivoSource& file, double& value) {
  return KivoTokenizerDetail::ReadNumber<double, TryKivoFloat>(file, value);
}

KIVO_ALWAYS_INLINE bool ReadIntegerNumber(TKivoSource& file, int32_t& value) {
  return KivoTokenizerDetail::ReadNumber<int32_t, TryKivoInteger>(file, value);
}

inline double ReadFloatValue(TKivoSource& file) {
  double value;
  ReadFloatNumber(file, value);
  return value;
}

inline int32_t ReadIntegerValue(TKivoSource& file) {
  int32_t value;
  ReadIntegerNumber(file, value);
  return value;
}

inline std::string_view GetLastTokenView(TKivoSource& file) {
  return KivoTokenizerDetail::TokenText(file);
}

// The commonest skip, inline: a "}" held back by the read before it (the last number or
// word of the block ended at it, no value ran over) ends the block. False, having read
// nothing, in every other case.
inline bool SkipHeldBlockEnd(TKivoSource& file) {
  KivoTokenizerDetail::TState& s = file.TokenizerState();
  if (s.Held != '}' || s.RanOverAt == file.Position())
    return false;
  s.Held = 0;
  return true;
}

// Whether a "{" or "[" is held back: a block or an attribute begins where a value was
// looked for.
inline bool IsOpeningHeldBack(TKivoSource& file) {
  const char held = GetHeldBackChar(file);
  return held == '{' || held == '[';
}

// Whether a quoted or bracketed value begins at the next token of a list, its gap passed
// (SkipListGap): a quote or "(" held back that begins one (HeldValueBegins), or a "(" next
// (a word may begin with "(", a quote ends words).
inline bool ValueBeginsNext(TKivoSource& file) {
  if (GetHeldBackChar(file) != 0)
    return HeldValueBegins(file);
  // The gap passed leaves at most one blank before the next token, within the buffer.
  const char* const p = file.BufferPos();
  return p[0] == '(' || (p[0] == ' ' && p[1] == '(');
}

// Whether a brace is held back: it is still to be read, at the end of the file too.
inline bool IsBraceHeldBack(TKivoSource& file) {
  const char held = GetHeldBackChar(file);
  return held == '{' || held == '}';
}
