#include "classlib/Strings.h"

#include <algorithm>

#include "classlib/Win.h"

namespace {

inline bool IsTrimmed(char c) { return static_cast<unsigned char>(c) <= 32; }
inline char AsciiLower(char c) { return (c >= 'A' && c <= 'Z') ? char(c + 32) : c; }

int Sign(int value) { return (value > 0) - (value < 0); }

int LocaleCompare(DWORD flags, std::string_view a, std::string_view b) {
  int result = CompareStringA(LOCALE_USER_DEFAULT, flags, a.data(), static_cast<int>(a.size()),
                              b.data(), static_cast<int>(b.size()));
  return result == 0 ? CompareStr(a, b) : result - CSTR_EQUAL;
}

std::string LocaleMap(DWORD flags, std::string_view s) {
  std::string result(s);
  if (!result.empty())
    LCMapStringA(LOCALE_USER_DEFAULT, flags, s.data(), static_cast<int>(s.size()), result.data(),
                 static_cast<int>(result.size()));
  return result;
}

}  // namespace

std::string Trim(std::string_view s) {
  size_t first = 0, last = s.size();
  while (first < last && IsTrimmed(s[first])) ++first;
  while (last > first && IsTrimmed(s[last - 1])) --last;
  return std::string(s.substr(first, last - first));
}

std::string TrimLeft(std::string_view s) {
  size_t first = 0;
  while (first < s.size() && IsTrimmed(s[first])) ++first;
  return std::string(s.substr(first));
}

std::string TrimRight(std::string_view s) {
  size_t last = s.size();
  while (last > 0 && IsTrimmed(s[last - 1])) --last;
  return std::string(s.substr(0, last));
}

std::string UpperCase(std::string_view s) {
  std::string result(s);
  std::transform(result.begin(), result.end(), result.begin(), AsciiUpper);
  return result;
}

std::string LowerCase(std::string_view s) {
  std::string result(s);
  std::transform(result.begin(), result.end(), result.begin(), AsciiLower);
  return result;
}

int CompareStr(std::string_view a, std::string_view b) { return Sign(a.compare(b)); }

int CompareText(std::string_view a, std::string_view b) {
  size_t n = std::min(a.size(), b.size());
  for (size_t i = 0; i < n; ++i) {
    unsigned char ca = AsciiUpper(a[i]), cb = AsciiUpper(b[i]);
    if (ca != cb)
      return ca < cb ? -1 : 1;
  }
  return Sign(static_cast<int>(a.size()) - static_cast<int>(b.size()));
}

bool SameText(std::string_view a, std::string_view b) {
  return a.size() == b.size() && CompareText(a, b) == 0;
}

std::string AnsiUpperCase(std::string_view s) { return LocaleMap(LCMAP_UPPERCASE, s); }
std::string AnsiLowerCase(std::string_view s) { return LocaleMap(LCMAP_LOWERCASE, s); }
int AnsiCompareStr(std::string_view a, std::string_view b) { return LocaleCompare(0, a, b); }
int AnsiCompareText(std::string_view a, std::string_view b) {
  return LocaleCompare(NORM_IGNORECASE, a, b);
}
bool AnsiSameText(std::string_view a, std::string_view b) { return AnsiCompareText(a, b) == 0; }

std::string AdjustLineBreaks(std::string_view s) {
  std::string result;
  result.reserve(s.size() + s.size() / 16);
  for (size_t i = 0; i < s.size(); ++i) {
    const char c = s[i];
    if (c != '\r' && c != '\n') {
      result += c;
      continue;
    }
    result += "\r\n";
    // The second character of a CR LF or LF CR pair belongs to the same break.
    if (i + 1 < s.size() && (s[i + 1] == '\r' || s[i + 1] == '\n') && s[i + 1] != c) ++i;
  }
  return result;
}
