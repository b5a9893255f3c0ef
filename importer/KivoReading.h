// What the reader's files share (KivoFile.cpp and the KivoRead*.cpp files): constants,
// the reasons their warnings give, and small helpers. Not for use outside the reader.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <iterator>
#include <string>

#include "classlib/Strings.h"
#include "classlib/SysUtils.h"
#include "importer/KivoFile.h"
#include "importer/KivoScanner.h"
#include "importer/KivoTokenizer.h"

namespace KivoReading {

constexpr int32_t kUnreadable = -32000;
constexpr size_t kTextValueLength = 32;
constexpr size_t kTextLength = 255;

inline constexpr char kNotClosed[] = "its \"(\" is not closed before the next block";
inline constexpr char kQuoteNotClosed[] = "its quote is not closed before the next block";
inline constexpr char kNotClosedAttribute[] = "its \"(\" is not closed before the next attribute";
inline constexpr char kQuoteNotClosedAttribute[] =
    "its quote is not closed before the next attribute";
// The reasons a [LY] value is not used, by the entry its record keeps.
inline constexpr const char* kLayerUnreadable[] = {kNotClosed, kQuoteNotClosed, kNotClosedAttribute,
                                                   kQuoteNotClosedAttribute};
inline constexpr char kUnreadableNumber[] = "a coordinate or size could not be read";
inline constexpr char kBeyondRange[] = "a coordinate or size lies beyond the board's range";

// Why the value read last ran over into the blocks or attributes after it.
inline const char* NotClosedReason(TKivoSource& file) {
  if (GetHeldBackChar(file) == '[')
    return LastValueQuoted(file) ? kQuoteNotClosedAttribute : kNotClosedAttribute;
  return LastValueQuoted(file) ? kQuoteNotClosed : kNotClosed;
}

// Why the quoted or bracketed value read last, which its quote or "(" does not close
// (LastValueLeftOpen), ended: the bracket held back after it, or the end of the file.
inline std::string ValueLeftOpenReason(TKivoSource& file) {
  const char* const what = LastValueQuoted(file) ? "its quote" : "its \"(\"";
  const char held = GetHeldBackChar(file);
  if (held == 0)
    return std::string(what) + " is not closed before the end of the file";
  return std::string(what) + " is not closed before the \"" + held + "\" after it";
}

// Moves the objects read into `scratch` over to the end of `list`, which grows once to
// the exact size, and empties `scratch` for the next use. Lists read object by object
// into a reused list this way keep no spare room, and the arena keeps nothing a
// growing list left behind (about as much again as the list).
template <class TList>
void KeepRead(TList& scratch, TList& list) {
  list.reserve(list.size() + scratch.size());
  std::move(scratch.begin(), scratch.end(), std::back_inserter(list));
  scratch.clear();
}

// How a warning names a component: by its designator, or as one without.
inline std::string ComponentNamed(const std::string& designator) {
  return designator.empty() ? std::string("Component without designator")
                            : "Component " + designator;
}

// The same in the middle of a sentence: "Rotation of component R1" (and "pin 1").
inline std::string LowerFirst(std::string text) {
  if (!text.empty() && text[0] >= 'A' && text[0] <= 'Z')
    text[0] = static_cast<char>(text[0] - 'A' + 'a');
  return text;
}

// Whether two component definitions, or two pad definitions, hold the same (a definition
// given again the same is the same one): their names aside, for component definitions.
bool SameKivoDefinition(const TKivoComponent& a, const TKivoComponent& b);
bool SameKivoPadDefinition(const TKivoPadDef& a, const TKivoPadDef& b);

// Pins of these pad-stack indices are small default pads by rule, with or without a PAD.
inline bool IsSmallPadIndex(int32_t index) { return (index >= 25 && index <= 50) || index >= 200; }

// "1 object drawn ... was left out (line F)" or "N objects drawn ... were left out
// (lines F to L)", for `count` objects drawn `where` between the lines `first` and `last`.
std::string ObjectsLeftOut(int64_t count, const char* where, int64_t first, int64_t last);

}  // namespace KivoReading

// TKivoFile::CheckPadStackIndex, for the files that read pins and vias.
template <class F>
void TKivoFile::CheckPadStackIndex(int32_t index, bool readable, std::string_view text, bool pin,
                                   int64_t position, F&& describe) {
  const bool known = (pin && KivoReading::IsSmallPadIndex(index)) ||
                     (FPadIndices && std::binary_search(FPadIndices->begin(), FPadIndices->end(), index));
  if (__builtin_expect(readable && known, 1))
    return;
  CheckPadStackIndexFurther({index, position, describe()}, readable, text, pin);
}
