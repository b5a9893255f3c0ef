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

// [+|-] 1 to 15 decimal digits and nothing else: its magnitude and sign. False, with
// nothing stored, for any other text (which the general path then judges).
inline bool TryPlainInteger(std::string_view text, int64_t& magnitude, bool& negative) {
  size_t i = 0;
  negative = false;
  if (!text.empty() && (text[0] == '+' || text[0] == '-')) {
    negative = text[0] == '-';
    i = 1;
  }
  const size_t digits = text.size() - i;
  if (digits == 0 || digits > MaxPlainDigits)
    return false;
  // The first nine digits in 32 bits (one multiplication each on a 32-bit machine,
  // where a 64-bit one takes three), the rest in 64.
  const size_t head = i + (digits < 9 ? digits : 9);
  uint32_t first = 0;
  for (; i < head; ++i) {
    const unsigned digit = static_cast<unsigned char>(text[i]) - unsigned('0');
    if (digit > 9)
      return false;
    first = first * 10 + digit;
  }
  int64_t value = first;
  for (; i < text.size(); ++i) {
    const unsigned digit = static_cast<unsigned char>(text[i]) - unsigned('0');
    if (digit > 9)
      return false;
    value = value * 10 + digit;
  }
  magnitude = value;
  return true;
}

}  // namespace KivoNumbersDetail

// TryStrToFloat's answer: straight for a plain integer ("-0" gives -0.0, as there).
inline bool TryKivoFloat(std::string_view text, double& value) {
  int64_t magnitude;
  bool negative;
  if (KivoNumbersDetail::TryPlainInteger(text, magnitude, negative)) {
    const double whole = static_cast<double>(magnitude);
    value = negative ? -whole : whole;
    return true;
  }
  return TryStrToFloat(text, value);
}

// TryStrToInt's answer: straight for a plain integer within the int32_t range; one
// beyond it is judged (refused) by the general path.
inline bool TryKivoInteger(std::string_view text, int32_t& value) {
  int64_t magnitude;
  bool negative;
  if (KivoNumbersDetail::TryPlainInteger(text, magnitude, negative) &&
      magnitude <= (negative ? int64_t{2147483648} : int64_t{2147483647})) {
    value = static_cast<int32_t>(negative ? -magnitude : magnitude);
    return true;
  }
  return TryStrToInt(text, value);
}
