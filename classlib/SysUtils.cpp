#include "classlib/SysUtils.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <string>

#include "classlib/Exceptions.h"
#include "classlib/Win.h"

namespace {

// 2^63: the first double beyond the int64_t range (which is [-2^63, 2^63)).
constexpr double kInt64Limit = 9223372036854775808.0;

void CheckIntegral(double value, const char* operation) {
  if (!(value >= -kInt64Limit && value < kInt64Limit))
    throw EConvertError(Format("%s: %g is outside the integer range", operation, value));
}

// Length of the run of decimal digits at the start of `text`.
size_t DigitRun(std::string_view text) {
  size_t n = 0;
  while (n < text.size() && text[n] >= '0' && text[n] <= '9') ++n;
  return n;
}

// True when `text` is [sign] digits [point [digits]] | [sign] point digits, followed by
// an optional exponent e|E [sign] digits, and nothing else.
bool IsRealText(std::string_view text, char point) {
  size_t i = 0;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
  size_t whole = DigitRun(text.substr(i));
  i += whole;
  size_t fraction = 0;
  if (i < text.size() && text[i] == point) {
    ++i;
    fraction = DigitRun(text.substr(i));
    i += fraction;
  }
  if (whole + fraction == 0) return false;
  if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
    ++i;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
    size_t exponent = DigitRun(text.substr(i));
    if (exponent == 0) return false;
    i += exponent;
  }
  return i == text.size();
}

bool ParseReal(std::string_view text, char point, double& value) {
  if (!IsRealText(text, point)) return false;
  // from_chars reads "." regardless of the C locale and takes no leading "+".
  std::string plain(text[0] == '+' ? text.substr(1) : text);
  if (point != '.')
    for (char& c : plain)
      if (c == point) c = '.';
  double result;
  auto [end, error] = std::from_chars(plain.data(), plain.data() + plain.size(), result);
  if (error != std::errc() || end != plain.data() + plain.size() || !std::isfinite(result))
    return false;
  value = result;
  return true;
}

[[noreturn]] void NotAReal(std::string_view text) {
  throw EConvertError(Format("\"%.*s\" is not a valid floating point value",
                             static_cast<int>(text.size()), text.data()));
}

}  // namespace

int64_t Round(double value) {
  CheckIntegral(value, "Round");
  double whole = std::floor(value);
  double rest = value - whole;  // exact: 0 <= rest < 1
  if (rest > 0.5 || (rest == 0.5 && std::fmod(whole, 2.0) != 0.0)) whole += 1.0;
  CheckIntegral(whole, "Round");
  return static_cast<int64_t>(whole);
}

int64_t Trunc(double value) {
  CheckIntegral(value, "Trunc");
  return static_cast<int64_t>(value);
}

double Frac(double value) { return value - std::trunc(value); }

std::string IntToStr(int64_t value) {
  char buffer[24];
  auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
  return std::string(buffer, result.ptr);
}

std::string IntToHex(uint32_t value, int digits) {
  char buffer[16];
  auto result = std::to_chars(buffer, buffer + sizeof buffer, value, 16);
  std::string text(buffer, result.ptr);
  for (char& c : text)
    if (c >= 'a') c = static_cast<char>(c - 'a' + 'A');
  if (static_cast<int>(text.size()) < digits) text.insert(0, digits - text.size(), '0');
  return text;
}

bool TryStrToInt(std::string_view text, int32_t& value) {
  size_t start = !text.empty() && (text[0] == '+' || text[0] == '-') ? 1 : 0;
  if (DigitRun(text.substr(start)) != text.size() - start || text.size() == start) return false;
  // from_chars takes "-" but not "+".
  const char* first = text.data() + (text[0] == '+' ? 1 : 0);
  int32_t result;
  auto [end, error] = std::from_chars(first, text.data() + text.size(), result);
  if (error != std::errc() || end != text.data() + text.size()) return false;
  value = result;
  return true;
}

int32_t StrToInt(std::string_view text) {
  int32_t value;
  if (!TryStrToInt(text, value))
    throw EConvertError(Format("\"%.*s\" is not a valid integer value",
                               static_cast<int>(text.size()), text.data()));
  return value;
}

int32_t StrToIntDef(std::string_view text, int32_t fallback) {
  int32_t value;
  return TryStrToInt(text, value) ? value : fallback;
}

bool TryStrToFloat(std::string_view text, double& value) { return ParseReal(text, '.', value); }

bool TryStrToFloat(std::string_view text, double& value, const TFormatSettings& settings) {
  return ParseReal(text, settings.DecimalSeparator, value);
}

double StrToFloat(std::string_view text) {
  double value;
  if (!ParseReal(text, '.', value)) NotAReal(text);
  return value;
}

double StrToFloat(std::string_view text, const TFormatSettings& settings) {
  double value;
  if (!ParseReal(text, settings.DecimalSeparator, value)) NotAReal(text);
  return value;
}

double StrToFloatDef(std::string_view text, double fallback) {
  double value;
  return ParseReal(text, '.', value) ? value : fallback;
}

bool TryStrToCurr(std::string_view text, int64_t& scaled, const TFormatSettings& settings) {
  if (!IsRealText(text, settings.DecimalSeparator)) return false;
  // The value is digits x 10^exponent, worked out on the decimal digits themselves.
  size_t i = 0;
  const bool negative = text[0] == '-';
  if (text[0] == '+' || text[0] == '-') ++i;
  std::string digits;
  int exponent = 0;
  for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) digits += text[i];
  if (i < text.size() && text[i] == settings.DecimalSeparator)
    for (++i; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i, --exponent) digits += text[i];
  if (i < text.size()) {  // the exponent
    ++i;
    const bool down = text[i] == '-';
    if (text[i] == '+' || text[i] == '-') ++i;
    int power = 0;
    for (; i < text.size(); ++i) power = std::min(power * 10 + (text[i] - '0'), 100000);
    exponent += down ? -power : power;
  }
  exponent += 4;  // ten-thousandths
  digits.erase(0, std::min(digits.find_first_not_of('0'), digits.size()));
  // Whole ten-thousandths, and the digits below them that decide the rounding.
  std::string whole, dropped;
  if (exponent >= 0) {
    if (digits.size() + size_t(exponent) > 19) return false;
    whole = digits.empty() ? "" : digits + std::string(size_t(exponent), '0');
  } else if (int(digits.size()) + exponent > 0) {
    whole = digits.substr(0, digits.size() + exponent);
    dropped = digits.substr(digits.size() + exponent);
  } else {
    dropped = digits;
  }
  if (whole.size() > 19) return false;
  uint64_t value = whole.empty() ? 0 : std::stoull(whole);
  // Halves to the even neighbour, as Round does. Below a tenth of the unit there is
  // nothing to round up.
  const bool tenths = int(digits.size()) + exponent >= 0;  // the first dropped digit is the tenths
  if (!dropped.empty() && tenths) {
    const bool rest = dropped.find_first_not_of('0', 1) != std::string::npos;
    if (dropped[0] > '5' || (dropped[0] == '5' && (rest || value % 2 == 1))) ++value;
  }
  constexpr uint64_t kLimit = uint64_t(1) << 63;  // |INT64_MIN|
  if (value > kLimit - (negative ? 0 : 1)) return false;
  scaled = negative ? int64_t(0 - value) : int64_t(value);
  return true;
}

int64_t StrToCurr(std::string_view text, const TFormatSettings& settings) {
  int64_t scaled;
  if (!TryStrToCurr(text, scaled, settings))
    throw EConvertError(Format("\"%.*s\" is not a valid currency value", static_cast<int>(text.size()), text.data()));
  return scaled;
}

std::string CurrToStr(int64_t scaled) { return CurrToStr(scaled, TFormatSettings{}); }

std::string CurrToStr(int64_t scaled, const TFormatSettings& settings) {
  // Worked on the magnitude as unsigned, so that the most negative amount has one too.
  const uint64_t magnitude = scaled < 0 ? 0 - uint64_t(scaled) : uint64_t(scaled);
  std::string text = (scaled < 0 ? "-" : "") + std::to_string(magnitude / kCurrencyScale);
  std::string decimals = std::to_string(magnitude % kCurrencyScale);
  decimals.insert(0, 4 - decimals.size(), '0');
  decimals.erase(decimals.find_last_not_of('0') + 1);
  if (!decimals.empty())
    text += settings.DecimalSeparator + decimals;
  return text;
}

std::string SysErrorMessage(uint32_t errorCode) {
  char* buffer = nullptr;
  DWORD length = FormatMessageA(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
      nullptr, errorCode, 0, reinterpret_cast<char*>(&buffer), 0, nullptr);
  std::string text;
  if (buffer) {
    text.assign(buffer, length);
    LocalFree(buffer);
  }
  while (!text.empty() && (text.back() == '\n' || text.back() == '\r' || text.back() == ' '))
    text.pop_back();
  if (text.empty()) text = Format("System error %u", errorCode);
  return text;
}
