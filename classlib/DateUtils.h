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
