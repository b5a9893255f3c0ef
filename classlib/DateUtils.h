// Date and time as a day count: TDateTime is a double whose whole part counts days from
// 1899-12-30 (day 0) and whose fraction is the time of day. Before day 0 the whole part
// is negative and the fraction still counts forward from midnight (-1.25 is 1899-12-29
// 06:00). Dates run from 0001-01-01 to 9999-12-31.
//
// Encoding an impossible date or time raises EConvertError, as does decoding a value
// outside the date range. Decoding rounds to the millisecond, carrying into the next day.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "classlib/FormatSettings.h"
#include "classlib/Win.h"

using TDateTime = double;

bool IsLeapYear(int year);
// Days of `month` (1-12) in `year`.
int DaysInAMonth(int year, int month);

TDateTime EncodeDate(int year, int month, int day);
TDateTime EncodeTime(int hour, int minute, int second, int millisecond);
bool TryEncodeDate(int year, int month, int day, TDateTime& date);
bool TryEncodeTime(int hour, int minute, int second, int millisecond, TDateTime& time);
void DecodeDate(TDateTime date, uint16_t& year, uint16_t& month, uint16_t& day);
void DecodeTime(TDateTime time, uint16_t& hour, uint16_t& minute, uint16_t& second,
                uint16_t& millisecond);
// 1 = Sunday ... 7 = Saturday.
int DayOfWeek(TDateTime date);

// The value as the system's date and time record (day of the week included).
SYSTEMTIME DateTimeToSystemTime(TDateTime value);

// The local date and time, its date part and its time part.
TDateTime Now();
TDateTime Date();
TDateTime Time();

// The date in FormatSettings.ShortDateFormat and the time in FormatSettings.LongTimeFormat,
// formatted by the system for the user's locale (Windows date and time pictures; an
// empty picture means the locale's own). The system formats years from 1601 on; earlier
// dates raise EConvertError.
std::string DateToStr(TDateTime date);
std::string TimeToStr(TDateTime time);

// ---- Dates and times as text, by the class library's settings ----------------------------
// Each routine reads FormatSettings, or the TFormatSettings it is handed.

// FormatDateTime follows a Windows picture, like DateToStr, but formats every year of
// the range itself: d dd (day), ddd dddd (short and long day name), M MM (month), MMM
// MMMM (short and long month name), y yy (year of the century), yyy and longer (the
// whole year, at least four digits), h hh (12-hour clock), H HH (24-hour clock), m mm
// (minutes), s ss (seconds), t (the first character of the AM or PM designator), tt (the
// designator). "/" stands for the DateSeparator and ":" for the TimeSeparator. Text in
// single quotes ('' inside them is one quote) or double quotes, and every other
// character, is copied. A value outside the date range raises EConvertError.
std::string FormatDateTime(std::string_view format, TDateTime value);
std::string FormatDateTime(std::string_view format, TDateTime value, const TFormatSettings& settings);
// ShortDateFormat, followed by a blank and LongTimeFormat when the value has a time of day.
std::string DateTimeToStr(TDateTime value);
std::string DateTimeToStr(TDateTime value, const TFormatSettings& settings);

// Text to date and time, strict as the number conversions are: no blanks around the
// text (callers trim) and only the settings' own separators.
// - A date is two or three numbers joined by the DateSeparator, in the order of day,
//   month and year in ShortDateFormat; two numbers are the day and month of the current
//   year. A year of one or two digits falls within TwoDigitYearCenturyWindow years
//   before the current year and the years after it.
// - A time is hours and minutes, and optionally seconds and then milliseconds after the
//   DecimalSeparator, joined by the TimeSeparator; an AM or PM designator (TimeAMString,
//   TimePMString, or "AM" and "PM", in any case) may follow, after one blank or none,
//   and then the hours run from 0 to 12 and may stand alone ("3 PM").
// StrToDateTime takes a date, a time, or a date, blanks and a time; StrToTime a time.
// The raising forms throw EConvertError naming the text.
TDateTime StrToDateTime(std::string_view text);
TDateTime StrToDateTime(std::string_view text, const TFormatSettings& settings);
bool TryStrToDateTime(std::string_view text, TDateTime& value);
bool TryStrToDateTime(std::string_view text, TDateTime& value, const TFormatSettings& settings);
TDateTime StrToTime(std::string_view text);
TDateTime StrToTime(std::string_view text, const TFormatSettings& settings);
bool TryStrToTime(std::string_view text, TDateTime& value);
bool TryStrToTime(std::string_view text, TDateTime& value, const TFormatSettings& settings);

// The lenient reading of a date and time as people type them in the user's locale:
// blanks around the text are ignored; date parts may be joined by blanks, the
// DateSeparator, "/", "-", "." or ","; a month may be written as its long or short
// name, and day names are passed over. Without a month name, three numbers are read in
// the order of ShortDateFormat (year first when the first number has three or more
// digits or exceeds 31), two numbers as day and month of the current year in that
// order (month and year, day 1, when one of them is a year by the same test). With a
// month name, one number is the day of the current year (or the year, day 1) and two
// numbers the day and the year (the year and the day when the first is a year). A time
// (as for StrToTime, with ":" also taken as the separator) may come before or after
// the date, or alone (on day 0). Two-digit years fall in the century window as above.
// The raising form throws EConvertError naming the text.
TDateTime LocaleStrToDateTime(std::string_view text);
TDateTime LocaleStrToDateTime(std::string_view text, const TFormatSettings& settings);
bool TryLocaleStrToDateTime(std::string_view text, TDateTime& value);
bool TryLocaleStrToDateTime(std::string_view text, TDateTime& value, const TFormatSettings& settings);
