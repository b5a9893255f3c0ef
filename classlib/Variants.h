// A variant value: empty, null, a Boolean, a 32-bit integer, a floating-point number, a
// date or a text. Editors and grids exchange cell values this way; an empty or null
// variant means no value.
//
// A date is a day count (TDateTime, DateUtils.h) kept as a kind of its own, so that a
// cell knows it holds a date and not a number. Dates and texts convert into each other
// through FormatSettings; a text that is no date, and a kind that has no date, raise
// EConvertError naming what was found.
#pragma once

#include <cstdint>
#include <string>
#include <variant>

using TDateTime = double;

struct TVariantNull {
  friend bool operator==(TVariantNull, TVariantNull) { return true; }
};

// A date held in a variant.
struct TVariantDate {
  TDateTime Value = 0;
  friend bool operator==(TVariantDate, TVariantDate) = default;
};

// The kinds a variant holds, in the order of its alternatives; new kinds are added at
// the end, each with its alternative in the same place.
enum TVarType : uint8_t { varEmpty, varNull, varBoolean, varInteger, varDouble, varString, varDate };

class Variant {
 public:
  Variant() = default;
  Variant(bool value) : FValue(value) {}
  Variant(int32_t value) : FValue(value) {}
  Variant(double value) : FValue(value) {}
  Variant(const char* value) : FValue(std::string(value)) {}
  Variant(std::string value) : FValue(std::move(value)) {}
  Variant(TVariantDate value) : FValue(value) {}
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
  // The value as text: empty and null give "", Booleans "True"/"False", numbers their
  // general form, dates DateTimeToStr (the short date, and the long time when the day
  // has a time).
  std::string AsString() const;
  // The value as an integer: numbers and dates rounded, Booleans 1 or 0, texts read as
  // numbers; `fallback` for empty, null and unreadable values.
  int32_t AsInteger(int32_t fallback = 0) const;
  // The value as a date: dates as they are, numbers as day counts, texts read as
  // people type dates in the locale (LocaleStrToDateTime with FormatSettings). Raises
  // EConvertError for other kinds and for texts that are no date.
  TDateTime AsDateTime() const;

  friend bool operator==(const Variant& a, const Variant& b) { return a.FValue == b.FValue; }

 private:
  std::variant<std::monostate, TVariantNull, bool, int32_t, double, std::string, TVariantDate> FValue;
};

// True for a null or empty variant.
inline bool VarIsNull(const Variant& value) { return value.IsNull() || value.IsEmpty(); }
inline std::string VarToStr(const Variant& value) { return value.AsString(); }
// A date-typed variant.
inline Variant VarFromDateTime(TDateTime value) { return Variant(TVariantDate{value}); }
inline TDateTime VarToDateTime(const Variant& value) { return value.AsDateTime(); }
