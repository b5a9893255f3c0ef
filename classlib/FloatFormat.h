// Real numbers to text.
//
// FloatToStrF(ffGeneral, precision, digits): the shortest text with at most `precision`
// significant digits: fixed notation when the value is at least 0.00001 and its whole
// part has no more than `precision` digits, otherwise "1.5E20" / "1E-7" with at least
// `digits` exponent digits. FloatToStr is the general form with 15 digits.
// FloatToStrF(ffFixed, precision, digits): the value rounded to `precision` significant
// digits and shown with exactly `digits` decimals ("-12.500"); values whose whole part
// has more than `precision` digits fall back to the general form.
//
// FormatFloat(format, value) follows the picture `format`: up to three sections split by
// ";" (positive; negative; zero; an empty or missing section uses the first), "0" a digit
// always shown, "#" a digit shown when significant, "." the decimal point (the first one
// counts), "," anywhere among the placeholders groups the whole part by thousands,
// "E+" "E-" "e+" "e-" followed by "0"s switch to scientific notation, text in single or
// double quotes and any other character is copied. An empty format is FloatToStr.
//
// Digits are dropped from the exact value of the double, and a dropped part of one
// half or more rounds the magnitude up (0.125 with two decimals is "0.13").
//
// Without a TFormatSettings the decimal point is "." and the thousands separator ",";
// with one, its separators are used. A result that shows only zeros never carries "-".
#pragma once

#include <string>
#include <string_view>

#include "classlib/FormatSettings.h"

enum TFloatFormat { ffGeneral, ffFixed };

std::string FloatToStr(double value);
std::string FloatToStr(double value, const TFormatSettings& settings);
std::string FloatToStrF(double value, TFloatFormat format, int precision, int digits);
std::string FloatToStrF(double value, TFloatFormat format, int precision, int digits,
                        const TFormatSettings& settings);
std::string FormatFloat(std::string_view format, double value);
std::string FormatFloat(std::string_view format, double value, const TFormatSettings& settings);
