// Numbers: rounding, and conversions between integers, reals and text.
//
// Rounding: Round takes halves to the even neighbour, Trunc cuts toward zero; both
// raise EConvertError for NaN and values outside the 64-bit range. MulDiv is the
// Windows function (product over divisor, halves away from zero, -1 for divisor 0).
//
// Text to number is strict: an optional sign and decimal digits, nothing else: no
// blanks (callers trim), no "$" or "0x" hex, no "inf" or "nan". Reals take "." as the
// decimal point, or the separator of the TFormatSettings passed in; digits may be missing
// on one side of the point ("2." and ".5" read as 2 and 0.5, "." alone is no number);
// an exponent needs at least one digit ("1e" is no number). Values beyond the double
// range are rejected. The raising forms throw EConvertError naming the text.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "classlib/Exceptions.h"
#include "classlib/FormatSettings.h"

int64_t Round(double value);
int64_t Trunc(double value);
// The fractional part, with the sign of `value`.
double Frac(double value);

std::string IntToStr(int64_t value);
// Upper-case hexadecimal, at least `digits` digits (a negative int shows its 32-bit form).
std::string IntToHex(uint32_t value, int digits);

int32_t StrToInt(std::string_view text);
int32_t StrToIntDef(std::string_view text, int32_t fallback);
bool TryStrToInt(std::string_view text, int32_t& value);

double StrToFloat(std::string_view text);
double StrToFloat(std::string_view text, const TFormatSettings& settings);
double StrToFloatDef(std::string_view text, double fallback);
bool TryStrToFloat(std::string_view text, double& value);
bool TryStrToFloat(std::string_view text, double& value, const TFormatSettings& settings);

// Currency amounts are whole ten-thousandths in 64 bits (an amount of 1.5 is 15000): the
// text, written as a real with the settings' decimal separator, is rounded exactly to four
// decimal places, halves to even; amounts outside the 64-bit range (-922337203685477.5808
// to 922337203685477.5807) are rejected. Divide by kCurrencyScale for the amount.
constexpr int64_t kCurrencyScale = 10000;
bool TryStrToCurr(std::string_view text, int64_t& scaled, const TFormatSettings& settings);
int64_t StrToCurr(std::string_view text, const TFormatSettings& settings);
// A currency amount as text: the whole part, then the settings' decimal separator (or
// ".") and the decimals up to four, trailing zeros dropped ("-12.5", "3").
std::string CurrToStr(int64_t scaled);
std::string CurrToStr(int64_t scaled, const TFormatSettings& settings);

// The system's text for an error code (GetLastError), without a trailing line end.
std::string SysErrorMessage(uint32_t errorCode);
