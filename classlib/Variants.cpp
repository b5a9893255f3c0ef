#include "classlib/Variants.h"

#include <cmath>

#include "classlib/DateUtils.h"
#include "classlib/Exceptions.h"
#include "classlib/FloatFormat.h"
#include "classlib/SysUtils.h"

namespace {

const char* KindName(TVarType type) {
  switch (type) {
    case varEmpty: return "Empty";
    case varNull: return "Null";
    case varBoolean: return "Boolean";
    case varInteger: return "Integer";
    case varDouble: return "Double";
    case varString: return "String";
    case varDate: return "Date";
    case varCurrency: return "Currency";
  }
  return "Unknown";
}

// The text form of every kind: with no settings, numbers with "." and dates by
// FormatSettings; with settings, all by them. Every kind is named in these visitors, so
// that a new kind cannot be forgotten.
struct TToText {
  const TFormatSettings* Settings;
  std::string operator()(std::monostate) const { return {}; }
  std::string operator()(TVariantNull) const { return {}; }
  std::string operator()(bool b) const { return b ? "True" : "False"; }
  std::string operator()(int32_t i) const { return IntToStr(i); }
  std::string operator()(double d) const { return Settings ? FloatToStr(d, *Settings) : FloatToStr(d); }
  std::string operator()(const std::string& s) const { return s; }
  std::string operator()(TVariantDate d) const {
    return Settings ? DateTimeToStr(d.Value, *Settings) : DateTimeToStr(d.Value);
  }
  std::string operator()(TVariantCurrency c) const {
    return Settings ? CurrToStr(c.Scaled, *Settings) : CurrToStr(c.Scaled);
  }
};

// Each kind as a real; false when it has none.
struct TToReal {
  double& Value;
  bool operator()(std::monostate) const { return false; }
  bool operator()(TVariantNull) const { return false; }
  bool operator()(bool b) const {
    Value = b ? 1 : 0;
    return true;
  }
  bool operator()(int32_t i) const {
    Value = i;
    return true;
  }
  bool operator()(double d) const {
    Value = d;
    return true;
  }
  bool operator()(const std::string& s) const { return TryStrToFloat(s, Value); }
  bool operator()(TVariantDate d) const {
    Value = d.Value;
    return true;
  }
  bool operator()(TVariantCurrency c) const {
    Value = double(c.Scaled) / kCurrencyScale;
    return true;
  }
};

// Each kind as ten-thousandths; false when it has none or it lies beyond the range.
struct TToCurrency {
  int64_t& Scaled;
  bool operator()(std::monostate) const { return false; }
  bool operator()(TVariantNull) const { return false; }
  bool operator()(bool b) const {
    Scaled = b ? kCurrencyScale : 0;
    return true;
  }
  bool operator()(int32_t i) const {
    Scaled = int64_t(i) * kCurrencyScale;
    return true;
  }
  bool operator()(double d) const {
    const double scaled = d * kCurrencyScale;
    // 2^63 is the first value beyond the range; NaN fails the comparison too.
    if (!(std::fabs(scaled) < 9223372036854775808.0))
      return false;
    Scaled = Round(scaled);
    return true;
  }
  bool operator()(const std::string& s) const { return TryStrToCurr(s, Scaled, TFormatSettings{}); }
  bool operator()(TVariantDate d) const { return (*this)(d.Value); }
  bool operator()(TVariantCurrency c) const {
    Scaled = c.Scaled;
    return true;
  }
};

}  // namespace

std::string Variant::AsString() const { return std::visit(TToText{nullptr}, FValue); }

std::string Variant::AsString(const TFormatSettings& settings) const {
  return std::visit(TToText{&settings}, FValue);
}

int32_t Variant::AsInteger(int32_t fallback) const {
  if (const auto* i = std::get_if<int32_t>(&FValue))
    return *i;
  if (const auto* b = std::get_if<bool>(&FValue))
    return *b ? 1 : 0;
  if (const auto* d = std::get_if<double>(&FValue))
    return int32_t(Round(*d));
  if (const auto* date = std::get_if<TVariantDate>(&FValue))
    return int32_t(Round(date->Value));
  if (const auto* c = std::get_if<TVariantCurrency>(&FValue))
    return int32_t(Round(double(c->Scaled) / kCurrencyScale));
  if (const auto* s = std::get_if<std::string>(&FValue)) {
    int32_t value = 0;
    return TryStrToInt(*s, value) ? value : fallback;
  }
  return fallback;
}

double Variant::AsDouble(double fallback) const {
  double value = 0;
  return std::visit(TToReal{value}, FValue) ? value : fallback;
}

int64_t Variant::AsCurrency(int64_t fallback) const {
  int64_t scaled = 0;
  return std::visit(TToCurrency{scaled}, FValue) ? scaled : fallback;
}

TDateTime Variant::AsDateTime() const {
  if (const auto* date = std::get_if<TVariantDate>(&FValue))
    return date->Value;
  if (const auto* d = std::get_if<double>(&FValue)) {
    if (std::isfinite(*d))
      return *d;
  }
  if (const auto* i = std::get_if<int32_t>(&FValue))
    return *i;
  if (const auto* c = std::get_if<TVariantCurrency>(&FValue))
    return double(c->Scaled) / kCurrencyScale;
  if (const auto* s = std::get_if<std::string>(&FValue))
    return LocaleStrToDateTime(*s, FormatSettings);
  throw EConvertError(Format("Could not convert variant of type (%s) into type (Date)", KindName(VarType())));
}

namespace {

TVariantRelationship Relate(double a, double b) {
  if (a < b)
    return vrLessThan;
  if (a > b)
    return vrGreaterThan;
  return a == b ? vrEqual : vrNotEqual;  // NaN
}

template <class T>
TVariantRelationship RelateOrdered(const T& a, const T& b) {
  return a < b ? vrLessThan : b < a ? vrGreaterThan : vrEqual;
}

bool IsNumberKind(TVarType type) {
  return type == varBoolean || type == varInteger || type == varDouble || type == varDate || type == varCurrency;
}

// A currency amount or an integer as exact ten-thousandths.
bool ExactScaled(const Variant& v, int64_t& scaled) {
  if (v.VarType() != varCurrency && v.VarType() != varInteger && v.VarType() != varBoolean)
    return false;
  scaled = v.AsCurrency();
  return true;
}

// A text and a number (or date) `other`: the text read as the other's kind.
bool TextAsNumber(const Variant& text, const Variant& other, double& value) {
  const std::string s = text.AsString();
  if (TryStrToFloat(s, value))
    return true;
  return other.VarType() == varDate && TryStrToDateTime(s, value, FormatSettings);
}

}  // namespace

TVariantRelationship VarCompareValue(const Variant& a, const Variant& b) {
  const std::string* textA = a.TextIf();
  const std::string* textB = b.TextIf();
  const bool noA = VarIsNull(a) || (textA && textA->empty());
  const bool noB = VarIsNull(b) || (textB && textB->empty());
  if (noA || noB)
    return noA && noB ? vrEqual : noA ? vrLessThan : vrGreaterThan;
  if (textA && textB)
    return RelateOrdered(*textA, *textB);
  const TVarType ta = a.VarType();
  const TVarType tb = b.VarType();
  if (IsNumberKind(ta) && IsNumberKind(tb)) {
    int64_t sa = 0, sb = 0;
    if ((ta == varCurrency || tb == varCurrency) && ExactScaled(a, sa) && ExactScaled(b, sb))
      return RelateOrdered(sa, sb);
    return Relate(a.AsDouble(), b.AsDouble());
  }
  double number = 0;
  if (ta == varString && TextAsNumber(a, b, number))
    return Relate(number, b.AsDouble());
  if (tb == varString && TextAsNumber(b, a, number))
    return Relate(a.AsDouble(), number);
  return RelateOrdered(a.AsString(), b.AsString());
}

Variant VarCurrFromStr(std::string_view text, const TFormatSettings& settings) {
  return VarFromCurrency(StrToCurr(text, settings));
}
