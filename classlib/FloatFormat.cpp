#include "classlib/FloatFormat.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <vector>

namespace {

const TFormatSettings kPlainSettings{};

// A non-negative finite value as decimal digits: value = D1.D2D3... x 10^Exponent.
// Digits has no leading or trailing zeros; it is empty for zero.
struct TDecimal {
  std::string Digits;
  int Exponent = 0;
};

// The exact decimal expansion of a double (at most 1074 digits after the point).
TDecimal Exact(double magnitude) {
  static thread_local std::string buffer(1500, '\0');
  auto end = std::to_chars(buffer.data(), buffer.data() + buffer.size(), magnitude,
                           std::chars_format::fixed, 1074).ptr;
  std::string_view text(buffer.data(), end - buffer.data());
  size_t point = text.find('.');
  std::string_view whole = text.substr(0, point), fraction = text.substr(point + 1);
  fraction = fraction.substr(0, fraction.find_last_not_of('0') + 1);
  std::string all = std::string(whole) + std::string(fraction);
  size_t leading = std::min(all.find_first_not_of('0'), all.size());
  TDecimal d;
  d.Digits = all.substr(leading);
  d.Exponent = static_cast<int>(whole.size()) - 1 - static_cast<int>(leading);
  return d;
}

// Keeps `count` significant digits; a dropped part of one half or more rounds the
// magnitude up (halves away from zero, as numbers are written by hand).
TDecimal RoundDigits(TDecimal d, int count) {
  if (static_cast<int>(d.Digits.size()) <= count) return d;
  if (count < 0) return TDecimal{};
  bool up = d.Digits[count] >= '5';
  d.Digits.resize(count);
  if (up) {
    int i = count - 1;
    while (i >= 0 && d.Digits[i] == '9') d.Digits[i--] = '0';
    if (i >= 0) {
      ++d.Digits[i];
    } else {
      d.Digits.insert(0, 1, '1');
      ++d.Exponent;
    }
  }
  d.Digits.erase(std::min(d.Digits.find_last_not_of('0') + 1, d.Digits.size()));
  if (d.Digits.empty()) d.Exponent = 0;
  return d;
}

// Rounds to `decimals` digits after the point.
TDecimal RoundDecimals(const TDecimal& d, int decimals) {
  if (d.Digits.empty()) return d;
  return RoundDigits(d, d.Exponent + 1 + decimals);
}

// The whole and fraction digits of `d` ("0" and "" for zero).
void Split(const TDecimal& d, std::string& whole, std::string& fraction) {
  if (d.Digits.empty()) {
    whole = "0";
    fraction.clear();
  } else if (d.Exponent >= 0) {
    std::string digits = d.Digits;
    if (static_cast<int>(digits.size()) < d.Exponent + 1) digits.resize(d.Exponent + 1, '0');
    whole = digits.substr(0, d.Exponent + 1);
    fraction = digits.substr(d.Exponent + 1);
  } else {
    whole = "0";
    fraction = std::string(-d.Exponent - 1, '0') + d.Digits;
  }
}

void TrimZeros(std::string& digits, size_t keep) {
  while (digits.size() > keep && digits.back() == '0') digits.pop_back();
}

bool AllZero(std::string_view digits) {
  return std::all_of(digits.begin(), digits.end(), [](char c) { return c == '0'; });
}

std::string NonFinite(double value) {
  if (std::isnan(value)) return "NAN";
  return value < 0 ? "-INF" : "INF";
}

// Whole and fraction digits of a value, joined with the decimal separator.
std::string Join(std::string_view whole, std::string_view fraction, bool negative,
                 const TFormatSettings& settings) {
  std::string text;
  if (negative && !(AllZero(whole) && AllZero(fraction))) text += '-';
  text += whole;
  if (!fraction.empty()) {
    text += settings.DecimalSeparator;
    text += fraction;
  }
  return text;
}

std::string ExponentText(int exponent, int minimumDigits) {
  std::string text = std::to_string(std::abs(exponent));
  if (static_cast<int>(text.size()) < minimumDigits) text.insert(0, minimumDigits - text.size(), '0');
  return text;
}

std::string General(double value, int precision, int exponentDigits,
                    const TFormatSettings& settings) {
  TDecimal d = RoundDigits(Exact(std::fabs(value)), precision);
  if (d.Digits.empty()) return "0";
  bool negative = value < 0;
  std::string whole, fraction;
  if (d.Exponent >= -5 && d.Exponent < precision) {
    Split(d, whole, fraction);
    return Join(whole, fraction, negative, settings);
  }
  std::string text = Join(d.Digits.substr(0, 1), std::string_view(d.Digits).substr(1), negative,
                          settings);
  text += 'E';
  if (d.Exponent < 0) text += '-';
  return text + ExponentText(d.Exponent, exponentDigits);
}

std::string FixedForm(double value, int precision, int decimals, const TFormatSettings& settings) {
  TDecimal exact = Exact(std::fabs(value));
  if (RoundDigits(exact, precision).Exponent >= precision)
    return General(value, precision, 0, settings);
  // Round once: to the decimals shown, or to `precision` digits when those are fewer.
  TDecimal d = exact.Exponent + 1 + decimals <= precision ? RoundDecimals(exact, decimals)
                                                          : RoundDigits(exact, precision);
  std::string whole, fraction;
  Split(d, whole, fraction);
  fraction.resize(decimals, '0');
  return Join(whole, fraction, value < 0, settings);
}

// ---- FormatFloat ----

// The ";"-separated sections of a picture; quotes protect ";".
std::vector<std::string_view> SplitSections(std::string_view format) {
  std::vector<std::string_view> sections;
  size_t start = 0;
  char quote = 0;
  for (size_t i = 0; i < format.size(); ++i) {
    char c = format[i];
    if (quote) {
      if (c == quote) quote = 0;
    } else if (c == '\'' || c == '"') {
      quote = c;
    } else if (c == ';') {
      sections.push_back(format.substr(start, i - start));
      start = i + 1;
    }
  }
  sections.push_back(format.substr(start));
  return sections;
}

bool IsExponentAt(std::string_view s, size_t i) {
  return (s[i] == 'E' || s[i] == 'e') && i + 1 < s.size() && (s[i + 1] == '+' || s[i + 1] == '-');
}

// What a section asks for, gathered in one pass over it.
struct TPicture {
  int WholePlaceholders = 0;
  int WholeMinimum = 0;  // from the first "0" before the point
  int FractionMaximum = 0;
  int FractionMinimum = 0;  // up to the last "0" after the point
  bool Grouping = false;
  bool Scientific = false;
  int ExponentDigits = 0;
};

TPicture ReadPicture(std::string_view section) {
  TPicture p;
  bool afterPoint = false;
  int firstZero = -1;
  char quote = 0;
  for (size_t i = 0; i < section.size(); ++i) {
    char c = section[i];
    if (quote) {
      if (c == quote) quote = 0;
      continue;
    }
    if (c == '\'' || c == '"') {
      quote = c;
    } else if (c == '0' || c == '#') {
      if (afterPoint) {
        ++p.FractionMaximum;
        if (c == '0') p.FractionMinimum = p.FractionMaximum;
      } else {
        if (c == '0' && firstZero < 0) firstZero = p.WholePlaceholders;
        ++p.WholePlaceholders;
      }
    } else if (c == '.') {
      afterPoint = true;
    } else if (c == ',') {
      p.Grouping = true;
    } else if (!p.Scientific && IsExponentAt(section, i)) {
      p.Scientific = true;
      for (i += 2; i < section.size() && section[i] == '0'; ++i) ++p.ExponentDigits;
      --i;
    }
  }
  if (firstZero >= 0) p.WholeMinimum = p.WholePlaceholders - firstZero;
  return p;
}

struct TDigits {
  std::string Whole;  // without leading zeros beyond the picture's minimum; may be empty
  std::string Fraction;
  int Exponent = 0;
};

TDigits Digitize(const TPicture& p, double magnitude) {
  TDigits r;
  TDecimal exact = Exact(magnitude);
  if (p.Scientific) {
    int whole = std::max(p.WholePlaceholders, 1);
    TDecimal d = RoundDigits(exact, whole + p.FractionMaximum);
    std::string digits = d.Digits;
    digits.resize(whole + p.FractionMaximum, '0');
    r.Whole = digits.substr(0, whole);
    r.Fraction = digits.substr(whole);
    r.Exponent = d.Digits.empty() ? 0 : d.Exponent - (whole - 1);
  } else {
    Split(RoundDecimals(exact, p.FractionMaximum), r.Whole, r.Fraction);
    r.Fraction.resize(p.FractionMaximum, '0');
    r.Whole.erase(0, r.Whole.find_first_not_of('0'));
    if (static_cast<int>(r.Whole.size()) < p.WholeMinimum)
      r.Whole.insert(0, p.WholeMinimum - r.Whole.size(), '0');
  }
  TrimZeros(r.Fraction, p.FractionMinimum);
  return r;
}

// Lays the digits out along the section's placeholders and literals.
std::string Render(std::string_view section, const TPicture& p, const TDigits& d, bool negative,
                   const TFormatSettings& settings) {
  std::string out;
  if (negative && !(AllZero(d.Whole) && AllZero(d.Fraction))) out += '-';
  const int n = static_cast<int>(d.Whole.size());
  int wholeSeen = 0, fractionSeen = 0;
  bool afterPoint = false, exponentDone = false;
  auto emitWhole = [&](int fromPosition, int toPosition) {  // positions counted from the right
    for (int pos = fromPosition; pos >= toPosition; --pos) {
      if (pos >= n) continue;
      out += d.Whole[n - 1 - pos];
      if (p.Grouping && pos > 0 && pos % 3 == 0) out += settings.ThousandSeparator;
    }
  };
  auto emitPoint = [&]() {
    if (p.WholePlaceholders == 0) emitWhole(n - 1, 0);
    if (!d.Fraction.empty()) out += settings.DecimalSeparator;
  };
  char quote = 0;
  for (size_t i = 0; i < section.size(); ++i) {
    char c = section[i];
    if (quote) {
      if (c == quote)
        quote = 0;
      else
        out += c;
      continue;
    }
    if (c == '\'' || c == '"') {
      quote = c;
    } else if ((c == '0' || c == '#') && !afterPoint) {
      int position = p.WholePlaceholders - 1 - wholeSeen;
      emitWhole(wholeSeen == 0 ? std::max(n - 1, position) : position, position);
      ++wholeSeen;
    } else if ((c == '0' || c == '#') && afterPoint) {
      if (fractionSeen < static_cast<int>(d.Fraction.size())) out += d.Fraction[fractionSeen];
      ++fractionSeen;
    } else if (c == '.' && !afterPoint) {
      afterPoint = true;
      emitPoint();
    } else if (c == ',' || c == '.') {
      // grouping flag or a second point: not shown
    } else if (p.Scientific && !exponentDone && IsExponentAt(section, i)) {
      if (!afterPoint) {
        afterPoint = true;
        emitPoint();
      }
      exponentDone = true;
      out += c;
      if (d.Exponent < 0)
        out += '-';
      else if (section[i + 1] == '+')
        out += '+';
      out += ExponentText(d.Exponent, p.ExponentDigits);
      for (i += 2; i < section.size() && section[i] == '0'; ++i) {
      }
      --i;
    } else {
      out += c;
    }
  }
  if (!afterPoint) emitPoint();
  return out;
}

std::string FormatSection(std::string_view section, double value, bool showSign,
                          const TFormatSettings& settings, bool& zero) {
  TPicture picture = ReadPicture(section);
  TDigits digits = Digitize(picture, std::fabs(value));
  zero = AllZero(digits.Whole) && AllZero(digits.Fraction);
  return Render(section, picture, digits, showSign && value < 0, settings);
}

}  // namespace

std::string FloatToStr(double value) { return FloatToStrF(value, ffGeneral, 15, 0); }

std::string FloatToStr(double value, const TFormatSettings& settings) {
  return FloatToStrF(value, ffGeneral, 15, 0, settings);
}

std::string FloatToStrF(double value, TFloatFormat format, int precision, int digits) {
  return FloatToStrF(value, format, precision, digits, kPlainSettings);
}

std::string FloatToStrF(double value, TFloatFormat format, int precision, int digits,
                        const TFormatSettings& settings) {
  if (!std::isfinite(value)) return NonFinite(value);
  precision = std::clamp(precision, 1, 17);
  if (format == ffFixed) return FixedForm(value, precision, std::clamp(digits, 0, 18), settings);
  return General(value, precision, std::clamp(digits, 0, 4), settings);
}

std::string FormatFloat(std::string_view format, double value) {
  return FormatFloat(format, value, kPlainSettings);
}

std::string FormatFloat(std::string_view format, double value, const TFormatSettings& settings) {
  if (!std::isfinite(value)) return NonFinite(value);
  std::vector<std::string_view> sections = SplitSections(format);
  if (sections[0].empty()) return FloatToStr(value, settings);
  auto has = [&](size_t i) { return sections.size() > i && !sections[i].empty(); };
  bool zero = false;
  std::string text;
  if (value < 0 && has(1))
    text = FormatSection(sections[1], value, false, settings, zero);
  else
    text = FormatSection(sections[0], value, true, settings, zero);
  if (zero && has(2)) text = FormatSection(sections[2], 0.0, false, settings, zero);
  return text;
}
