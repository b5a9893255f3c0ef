// Basic 8-bit text helpers shared by the whole library. Case folding here is ASCII
// only (letters a-z); the locale-aware variants carry "Ansi" in their names.
#pragma once

#include <string>
#include <string_view>

// Removes leading and trailing characters with codes 0 to 32.
std::string Trim(std::string_view s);
std::string TrimLeft(std::string_view s);
std::string TrimRight(std::string_view s);
// Every line break as CR LF: a lone CR, a lone LF and an LF CR pair each become CR LF.
std::string AdjustLineBreaks(std::string_view s);

// One character upper-cased (a-z only), as UpperCase does for each.
constexpr char AsciiUpper(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 32) : c; }
std::string UpperCase(std::string_view s);
std::string LowerCase(std::string_view s);
// Ordinal comparisons: < 0, 0 or > 0.
int CompareStr(std::string_view a, std::string_view b);
// Ordinal comparison after ASCII upper-casing.
int CompareText(std::string_view a, std::string_view b);
bool SameText(std::string_view a, std::string_view b);

// Locale-aware (user default locale) upper/lower case and comparisons.
std::string AnsiUpperCase(std::string_view s);
std::string AnsiLowerCase(std::string_view s);
int AnsiCompareStr(std::string_view a, std::string_view b);
int AnsiCompareText(std::string_view a, std::string_view b);
bool AnsiSameText(std::string_view a, std::string_view b);
