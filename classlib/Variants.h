// A variant value: empty, null, a Boolean, a 32-bit integer, a floating-point number,
// a text or a currency amount. Editors and grids exchange cell values this way; an empty
// or null variant means no value.
//
// A currency amount is a 64-bit count of ten-thousandths (kCurrencyScale, SysUtils.h),
// kept as a kind of its own so that money keeps its exact decimals. It converts to and
// from text through a TFormatSettings; a text that is no amount raises EConvertError
// naming it.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <variant>

#include "classlib/FormatSettings.h"

struct TVariantNull {
  friend bool operator==(TVariantNull, TVariantNull) { return true; }
};

// A currency amount held in a variant: whole ten-thousandths (1.5 is 15000).
struct TVariantCurrency {
  int64_t Scaled = 0;
  friend bool operator==(TVariantCurrency, TVariantCurrency) = default;
};

class Variant {
 public:
  Variant() = default;
  Variant(bool value) : FValue(value) {}
  Variant(int32_t value) : FValue(value) {}
  Variant(double value) : FValue(value) {}
  Variant(const char* value) : FValue(std::string(value)) {}
  Variant(std::string value) : FValue(std::move(value)) {}
  Variant(TVariantCurrency value) : FValue(value) {}
  static Variant Null() {
    Variant v;
    v.FValue = TVariantNull{};
    return v;
  }

  bool IsEmpty() const { return FValue.index() == 0; }
  bool IsNull() const { return std::holds_alternative<TVariantNull>(FValue); }
  bool IsString() const { return std::holds_alternative<std::string>(FValue); }
  bool IsCurrency() const { return std::holds_alternative<TVariantCurrency>(FValue); }
  // The value as text: empty and null give "", Booleans "True"/"False", numbers their
  // general form.
  std::string AsString() const;
  // The value as an integer: numbers rounded, Booleans 1 or 0, texts read as numbers;
  // `fallback` for empty, null and unreadable values.
  int32_t AsInteger(int32_t fallback = 0) const;
  // The value as a real: numbers as they are, currency amounts divided by their scale,
  // Booleans 1 or 0, texts read as numbers with "."; `fallback` for empty, null and
  // unreadable values.
  double AsDouble(double fallback = 0) const;
  // The value as a currency amount in ten-thousandths: amounts as they are, integers and
  // Booleans scaled, reals rounded to four decimals (halves to even), texts read with
  // "."; `fallback` for empty, null, unreadable values and values beyond the range.
  int64_t AsCurrency(int64_t fallback = 0) const;
  // The value as text with the separators of `settings`: as AsString, with reals and
  // currency amounts written with the settings' decimal separator.
  std::string AsString(const TFormatSettings& settings) const;

  friend bool operator==(const Variant& a, const Variant& b) { return a.FValue == b.FValue; }

 private:
  std::variant<std::monostate, TVariantNull, bool, int32_t, double, std::string, TVariantCurrency> FValue;
};

// True for a null or empty variant.
inline bool VarIsNull(const Variant& value) { return value.IsNull() || value.IsEmpty(); }
inline std::string VarToStr(const Variant& value) { return value.AsString(); }
// A currency-typed variant of `scaled` ten-thousandths.
inline Variant VarFromCurrency(int64_t scaled) { return Variant(TVariantCurrency{scaled}); }
// A currency-typed variant read from text written with the settings' decimal separator
// (StrToCurr: rounded to four decimals); EConvertError naming the text otherwise.
Variant VarCurrFromStr(std::string_view text, const TFormatSettings& settings);
