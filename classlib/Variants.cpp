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
  }
  return "Unknown";
}

}  // namespace

std::string Variant::AsString() const {
  struct TToText {
    std::string operator()(std::monostate) const { return {}; }
    std::string operator()(TVariantNull) const { return {}; }
    std::string operator()(bool b) const { return b ? "True" : "False"; }
    std::string operator()(int32_t i) const { return IntToStr(i); }
    std::string operator()(double d) const { return FloatToStr(d); }
    std::string operator()(const std::string& s) const { return s; }
    std::string operator()(TVariantDate d) const { return DateTimeToStr(d.Value); }
  };
  return std::visit(TToText{}, FValue);
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
  if (const auto* s = std::get_if<std::string>(&FValue)) {
    int32_t value = 0;
    return TryStrToInt(*s, value) ? value : fallback;
  }
  return fallback;
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
  if (const auto* s = std::get_if<std::string>(&FValue))
    return LocaleStrToDateTime(*s, FormatSettings);
  throw EConvertError(Format("Could not convert variant of type (%s) into type (Date)", KindName(VarType())));
}
