// The reader's number conversions. Nearly every number of a KIVO file is a plain
// integer, also where coordinates are read as reals, so such texts are converted
// straight from the token's bytes; every other text goes to the runtime's general
// conversions (TryStrToFloat, TryStrToInt), whose rules decide what is readable. Both
// paths give the same value for every text the fast one takes.
#pragma once

#include <cstdint>
#include <string_view>

#include "classlib/SysUtils.h"

namespace KivoNumbersDetail {

// At most 15 digits: every such integer is exact as a double.
inline constexpr size_t MaxPlainDigits = 15;
// At most 9 digits: the value fits 32 bits.
inline constexpr size_t MaxShortDigits = 9;

enum TPlainKind { pkNone, pkShort, pkLong };

// [+|-] 1 to 15 decimal digits and nothing else: pkShort with the magnitude in `head`
// for at most nine digits (nearly every number of a file: converted with the 32-bit
// instructions, where a 64-bit integer goes through the x87 unit and memory on a 32-bit
// machine), pkLong with it in `whole` for more. pkNone, with nothing stored, for any
// other text (which the general path then judges).
__attribute__((always_inline)) inline TPlainKind ReadPlainInteger(std::string_view text,
                                                                   uint32_t& head, int64_t& whole,
                                                                   bool& negative) {
  size_t i = 0;
  negative = false;
  if (!text.empty() && (text[0] == '+' || text[0] == '-')) {
    negative = text[0] == '-';
    i = 1;
  }
  const size_t digits = text.size() - i;
  if (digits == 0 || digits > MaxPlainDigits)
    return pkNone;
  // The first nine digits in 32 bits (one multiplication each on a 32-bit machine,
  // where a 64-bit one takes three), the rest in 64.
  const size_t headEnd = i + (digits < MaxShortDigits ? digits : MaxShortDigits);
  uint32_t first = 0;
  for (; i < headEnd; ++i) {
    const unsigned digit = static_cast<unsigned char>(text[i]) - unsigned('0');
    if (digit > 9)
      return pkNone;
    first = first * 10 + digit;
  }
  if (i == text.size()) {
    head = first;
    return pkShort;
  }
  int64_t value = first;
  for (; i < text.size(); ++i) {
    const unsigned digit = static_cast<unsigned char>(text[i]) - unsigned('0');
    if (digit > 9)
      return pkNone;
    value = value * 10 + digit;
  }
  whole = value;
  return pkLong;
}

// The same as one magnitude: false, with nothing stored, for a text the fast path
// leaves to the general one.
inline bool TryPlainInteger(std::string_view text, int64_t& magnitude, bool& negative) {
  uint32_t head;
  switch (ReadPlainInteger(text, head, magnitude, negative)) {
    case pkShort:
      magnitude = head;
      return true;
    case pkLong:
      return true;
    default:
      return false;
  }
}

}  // namespace KivoNumbersDetail

// TryStrToFloat's answer: straight for a plain integer ("-0" gives -0.0, as there).
// Inline with what it calls wherever numbers are read: left to the compiler's weighing,
// the reading of every coordinate came to call it.
__attribute__((always_inline)) inline bool TryKivoFloat(std::string_view text, double& value) {
  using namespace KivoNumbersDetail;
  uint32_t head;
  int64_t whole;
  bool negative;
  switch (ReadPlainInteger(text, head, whole, negative)) {
    case pkShort: {
      const double magnitude = static_cast<int32_t>(head);
      value = negative ? -magnitude : magnitude;
      return true;
    }
    case pkLong: {
      const double magnitude = static_cast<double>(whole);
      value = negative ? -magnitude : magnitude;
      return true;
    }
    default:
      return TryStrToFloat(text, value);
  }
}

// TryStrToInt's answer: straight for a plain integer within the int32_t range; one
// beyond it is judged (refused) by the general path. Inline as TryKivoFloat.
__attribute__((always_inline)) inline bool TryKivoInteger(std::string_view text, int32_t& value) {
  using namespace KivoNumbersDetail;
  uint32_t head;
  int64_t whole;
  bool negative;
  switch (ReadPlainInteger(text, head, whole, negative)) {
    case pkShort: {
      const int32_t magnitude = static_cast<int32_t>(head);
      value = negative ? -magnitude : magnitude;
      return true;
    }
    case pkLong:
      if (whole <= (negative ? int64_t{2147483648} : int64_t{2147483647})) {
        value = static_cast<int32_t>(negative ? -whole : whole);
        return true;
      }
      break;
    default:
      break;
  }
  return TryStrToInt(text, value);
}
