#include "classlib/SysUtils.h"

#include <charconv>
#include <cmath>

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
