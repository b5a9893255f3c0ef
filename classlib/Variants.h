// A variant value: empty, null, a Boolean, a 32-bit integer, a floating-point number, a
// text, a date or a currency amount. Editors and grids exchange cell values this way; an
// empty or null variant means no value.
//
// A date is a day count (TDateTime, DateUtils.h) kept as a kind of its own, so that a
// cell knows it holds a date and not a number. Dates and texts convert into each other
// through FormatSettings; a text that is no date, and a kind that has no date, raise
// EConvertError naming what was found.
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

using TDateTime = double;

struct TVariantNull {
  friend bool operator==(TVariantNull, TVariantNull) { return true; }
};

// A date held in a variant.
struct TVariantDate {
  TDateTime Value = 0;
  friend bool operator==(TVariantDate, TVariantDate) = default;
};

// A currency amount held in a variant: whole ten-thousandths (1.5 is 15000).
struct TVariantCurrency {
  int64_t Scaled = 0;
  friend bool operator==(TVariantCurrency, TVariantCurrency) = default;
};

// The kinds a variant holds, in the order of its alternatives; new kinds are added at
// the end, each with its alternative in the same place.
enum TVarType : uint8_t { varEmpty, varNull, varBoolean, varInteger, varDouble, varString, varDate, varCurrency };

class Variant {
 public:
  Variant() = default;
  Variant(bool value) : FValue(value) {}
  Variant(int32_t value) : FValue(value) {}
  Variant(double value) : FValue(value) {}
  Variant(const char* value) : FValue(std::string(value)) {}
  Variant(std::string value) : FValue(std::move(value)) {}
  Variant(TVariantDate value) : FValue(value) {}
  Variant(TVariantCurrency value) : FValue(value) {}
  static Variant Null() {
    Variant v;
    v.FValue = TVariantNull{};
    return v;
  }

  TVarType VarType() const { return TVarType(FValue.index()); }
  bool IsEmpty() const { return FValue.index() == varEmpty; }
  bool IsNull() const { return std::holds_alternative<TVariantNull>(FValue); }
  bool IsString() const { return std::holds_alternative<std::string>(FValue); }
  bool IsDate() const { return std::holds_alternative<TVariantDate>(FValue); }
  bool IsCurrency() const { return std::holds_alternative<TVariantCurrency>(FValue); }
  // The text of a text variant, none for the other kinds (read without a copy).
  const std::string* TextIf() const { return std::get_if<std::string>(&FValue); }
  // The value as text: empty and null give "", Booleans "True"/"False", numbers their
  // general form, dates DateTimeToStr (the short date, and the long time when the day
  // has a time), currency amounts their decimals up to four.
  std::string AsString() const;
  // The value as text with the separators of `settings`: as AsString, with reals and
  // currency amounts written with the settings' decimal separator and dates by the
  // settings' formats.
  std::string AsString(const TFormatSettings& settings) const;
  // The value as an integer: numbers, dates and currency amounts rounded, Booleans 1 or
  // 0, texts read as numbers; `fallback` for empty, null and unreadable values.
  int32_t AsInteger(int32_t fallback = 0) const;
  // The value as a real: numbers and dates as they are, currency amounts divided by
  // their scale, Booleans 1 or 0, texts read as numbers with "."; `fallback` for empty,
  // null and unreadable values.
  double AsDouble(double fallback = 0) const;
  // The value as a currency amount in ten-thousandths: amounts as they are, integers and
  // Booleans scaled, reals and dates rounded to four decimals (halves to even), texts
  // read with "."; `fallback` for empty, null, unreadable values and values beyond the
  // range.
  int64_t AsCurrency(int64_t fallback = 0) const;
  // The value as a date: dates as they are, numbers and currency amounts as day counts,
  // texts read as people type dates in the locale (LocaleStrToDateTime with
  // FormatSettings). Raises EConvertError for other kinds and for texts that are no date.
  TDateTime AsDateTime() const;

  friend bool operator==(const Variant& a, const Variant& b) { return a.FValue == b.FValue; }

 private:
  std::variant<std::monostate, TVariantNull, bool, int32_t, double, std::string, TVariantDate, TVariantCurrency>
      FValue;
};

// True for a null or empty variant.
inline bool VarIsNull(const Variant& value) { return value.IsNull() || value.IsEmpty(); }
inline std::string VarToStr(const Variant& value) { return value.AsString(); }
// A date-typed variant.
inline Variant VarFromDateTime(TDateTime value) { return Variant(TVariantDate{value}); }
inline TDateTime VarToDateTime(const Variant& value) { return value.AsDateTime(); }
// A currency-typed variant of `scaled` ten-thousandths.
inline Variant VarFromCurrency(int64_t scaled) { return Variant(TVariantCurrency{scaled}); }

// How two variants relate in value (VarCompareValue).
enum TVariantRelationship : uint8_t { vrEqual, vrLessThan, vrGreaterThan, vrNotEqual };

// Compares two variants by value, across kinds, for sorting and equality tests:
// - empty and null (no value) are equal to each other and to the empty text, and order
//   before every other value;
// - Booleans, integers, reals, dates and currency amounts compare as numbers (currency
//   amounts with integers and each other exactly); a NaN is vrNotEqual to everything;
// - texts compare ordinally, case-sensitively;
// - a text and a number compare as numbers when the text reads as one ("." decimals),
//   a text and a date as dates when the text reads as a date of the locale; otherwise
//   both compare as their texts (AsString), so that a mixed column still sorts.
TVariantRelationship VarCompareValue(const Variant& a, const Variant& b);
// VarCompareValue answers vrEqual: "1" and 1, 1 and 1.0, Null and "" are the same value.
inline bool VarSameValue(const Variant& a, const Variant& b) { return VarCompareValue(a, b) == vrEqual; }

// A currency-typed variant read from text written with the settings' decimal separator
// (StrToCurr: rounded to four decimals); EConvertError naming the text otherwise.
Variant VarCurrFromStr(std::string_view text, const TFormatSettings& settings);
