// A variant value: empty, null, a Boolean, a 32-bit integer, a floating-point number or
// a text. Editors and grids exchange cell values this way; an empty or null variant
// means no value.
#pragma once

#include <cstdint>
#include <string>
#include <variant>

struct TVariantNull {
  friend bool operator==(TVariantNull, TVariantNull) { return true; }
};

class Variant {
 public:
  Variant() = default;
  Variant(bool value) : FValue(value) {}
  Variant(int32_t value) : FValue(value) {}
  Variant(double value) : FValue(value) {}
  Variant(const char* value) : FValue(std::string(value)) {}
  Variant(std::string value) : FValue(std::move(value)) {}
  static Variant Null() {
    Variant v;
    v.FValue = TVariantNull{};
    return v;
  }

  bool IsEmpty() const { return FValue.index() == 0; }
  bool IsNull() const { return std::holds_alternative<TVariantNull>(FValue); }
  bool IsString() const { return std::holds_alternative<std::string>(FValue); }
  // The value as text: empty and null give "", Booleans "True"/"False", numbers their
  // general form.
  std::string AsString() const;
  // The value as an integer: numbers rounded, Booleans 1 or 0, texts read as numbers;
  // `fallback` for empty, null and unreadable values.
  int32_t AsInteger(int32_t fallback = 0) const;

  friend bool operator==(const Variant& a, const Variant& b) { return a.FValue == b.FValue; }

 private:
  std::variant<std::monostate, TVariantNull, bool, int32_t, double, std::string> FValue;
};

// True for a null or empty variant.
inline bool VarIsNull(const Variant& value) { return value.IsNull() || value.IsEmpty(); }
inline std::string VarToStr(const Variant& value) { return value.AsString(); }
