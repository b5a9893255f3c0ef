// The KIVO file being read, with the state its reading keeps: the tokenizer's
// (KivoTokenizer.h: the held-back character, the last token, the number-error flag...)
// and the scanner's (KivoScanner.h: what the value read last was, the lines noted as
// leaving a value open), and the controls it was made with (KivoReadingHooks.h). Each
// reading owns one (the reader, the recogniser), and the tokenizer's and the scanner's
// operations take it where they take the file, so that no state of one reading is
// another's. Only those operations change the state; the rest of the reading asks them.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

#include "classlib/TextFile.h"
#include "importer/KivoReadingHooks.h"

// Tokens and values keep at most this many characters (the rest is read and dropped).
inline constexpr size_t KivoMaxTokenLength = 65536;

class TKivoCharSet;

namespace KivoTokenizerDetail {

// The tokenizer's state (KivoTokenizer.h).
struct TState {
  char Held = 0;
  size_t TextLength = 0;       // the last token's length in the token buffer
  std::string Text;            // a copy of that text, made when asked for
  unsigned char TextLast = 0;  // ReadToken's last character, also when it was cut
  bool TextCut = false;
  int Code = -1;               // kwUnknown
  bool NumberError = false;
  const TKivoCharSet* ValueSet = nullptr;
  // The file position just after a held-back brace that ended a value or an attribute
  // running over a line end (HeldBraceRanOver); -1 when none. Closed: what ran over
  // took a "}" (the block's own end, on the value's line).
  int64_t RanOverAt = -1;
  bool RanOverClosed = false;
};

}  // namespace KivoTokenizerDetail

namespace KivoScannerDetail {

// The line that a scan of a value ran through to its end without finding the value's
// end: [From, End) holds no closing character of its kind before End, the line's end
// (or the file's). A value of that kind begun there by a later read or skip ends at the
// first bracket after its opening character, found without looking to the line end
// again: each byte of a line is looked at twice at most, however many quotes or "("
// it holds. (A scan begun right after an opening character reads escapes as the one
// that made the note read them.)
struct TOpenLine {
  int64_t From = -1;
  int64_t End = -1;
};

// The scanner's state (KivoScanner.h).
struct TState {
  // The quoted or bracketed value read last was ended by something other than its
  // closing character; it went on past a line end; it was cut to KivoMaxTokenLength
  // characters.
  bool ValueLeftOpen = false;
  bool ValueWentOn = false;
  bool ValueCut = false;
  // Where the value read last began (its first character, held back or just read).
  int64_t ValueStart = 0;
  // The quoted value read last holds a quote that does not close it on a line it went on
  // to.
  bool ValueQuoteWentOn = false;
  // Where the file position stood after the value read last as a token (ReadValueToken).
  int64_t ValueTokenEnd = -1;
  // The quoted or bracketed value, read or skipped, that holds a brace or bracket of its
  // own, noted until a warning of a loss names it or a level reads a block where it
  // belongs: its opening character's position (-1 for none), that character and the
  // first brace or bracket it holds.
  int64_t BracedValueAt = -1;
  char BracedValueOpening = 0;
  char BracedValueHolds = 0;
  // One open line for each kind of value, quoted and bracketed.
  std::array<TOpenLine, 2> OpenLines;
  // The bytes the readers of quoted values have looked at, and the count they may reach
  // (TKivoReadingControls::ScanBudget).
  uint64_t ScanSteps = 0;
  uint64_t ScanBudget = UINT64_MAX;
};

}  // namespace KivoScannerDetail

class TKivoSource : public TTextFile {
 public:
  explicit TKivoSource(const TKivoReadingControls& controls = {});
  TKivoSource(const TKivoSource&) = delete;
  TKivoSource& operator=(const TKivoSource&) = delete;

  // Opens the file for reading from its start, with the state of a reading that has
  // read nothing yet (what an earlier reading of it left is forgotten).
  void Reset();

  // The hooks the reading consults; null for none.
  TKivoReadingHooks* Hooks() const { return FHooks; }

  // For the tokenizer's and the scanner's operations alone.
  KivoTokenizerDetail::TState& TokenizerState() { return FTokenizer; }
  KivoScannerDetail::TState& ScannerState() { return FScanner; }
  // The last token's characters (the rest of an overlong token is dropped).
  char* TokenBuffer() { return FTokenBuffer.data(); }

 private:
  // Forgets what a reading left, as a new reading starts.
  void ResetState();

  KivoTokenizerDetail::TState FTokenizer;
  KivoScannerDetail::TState FScanner;
  TKivoReadingHooks* FHooks;
  uint64_t FScanBudget;
  std::array<char, KivoMaxTokenLength> FTokenBuffer;
};
