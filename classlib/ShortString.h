// A length-prefixed text of at most N 8-bit characters (N <= 255), laid out exactly as
// it crosses module boundaries: one length byte followed by N character bytes, with no
// terminating zero. Assigning a longer text keeps its first N characters.
#pragma once

#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

template <unsigned N>
class ShortString {
  static_assert(N >= 1 && N <= 255, "a short string holds 1 to 255 characters");

 public:
  ShortString() = default;
  ShortString(std::string_view text) { Assign(text); }
  ShortString(const char* text) { Assign(text ? std::string_view(text) : std::string_view()); }
  template <unsigned M>
  ShortString(const ShortString<M>& other) { Assign(other.View()); }

  ShortString& operator=(std::string_view text) {
    Assign(text);
    return *this;
  }
  ShortString& operator=(const char* text) {
    Assign(text ? std::string_view(text) : std::string_view());
    return *this;
  }

  void Assign(std::string_view text) {
    FLength = static_cast<uint8_t>(text.size() < N ? text.size() : N);
    if (FLength)
      std::memmove(FChars, text.data(), FLength);
  }

  static constexpr unsigned Capacity() { return N; }
  unsigned Length() const { return FLength; }
  bool Empty() const { return FLength == 0; }
  std::string_view View() const { return std::string_view(FChars, FLength); }
  std::string Str() const { return std::string(FChars, FLength); }
  operator std::string() const { return Str(); }
  char operator[](unsigned index) const { return FChars[index]; }

  friend bool operator==(const ShortString& a, std::string_view b) { return a.View() == b; }

 private:
  uint8_t FLength = 0;
  char FChars[N];
};

static_assert(sizeof(ShortString<255>) == 256, "length byte plus 255 characters");
