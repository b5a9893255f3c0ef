#include "classlib/DateUtils.h"

#include <cmath>

#include "classlib/Exceptions.h"
#include "classlib/FormatSettings.h"
#include "classlib/SysUtils.h"
#include "classlib/Win.h"

namespace {

constexpr int64_t kMSecsPerDay = 86400000;
// Days from 0001-01-01 (day 1) to 1899-12-30.
constexpr int64_t kDateDelta = 693594;
// Day counts (from 1899-12-30) of 0001-01-01 and 9999-12-31.
constexpr int64_t kMinDay = -693593;
constexpr int64_t kMaxDay = 2958465;

// Whole days and milliseconds of the day, rounded to the millisecond.
struct TStamp {
  int64_t Day;
  int64_t MSec;
};

TStamp ToStamp(TDateTime value) {
  if (!(value > kMinDay - 1 && value < kMaxDay + 1))
    throw EConvertError(Format("%g is not a valid date and time", value));
  int64_t total = Round(std::fabs(value) * kMSecsPerDay);
  int64_t day = total / kMSecsPerDay;
  TStamp stamp{value < 0 ? -day : day, total % kMSecsPerDay};
  return stamp;
}

SYSTEMTIME ToSystemTime(TDateTime value) {
  SYSTEMTIME st{};
  uint16_t year, month, day, hour, minute, second, msec;
  DecodeDate(value, year, month, day);
  DecodeTime(value, hour, minute, second, msec);
  st.wYear = year;
  st.wMonth = month;
  st.wDay = day;
  st.wDayOfWeek = static_cast<WORD>(DayOfWeek(value) - 1);
  st.wHour = hour;
  st.wMinute = minute;
  st.wSecond = second;
  st.wMilliseconds = msec;
  return st;
}

// GetDateFormatA or GetTimeFormatA with a picture ("" for the locale's own).
using TSystemFormat = int(WINAPI*)(LCID, DWORD, const SYSTEMTIME*, LPCSTR, LPSTR, int);

std::string SystemText(TSystemFormat format, const SYSTEMTIME& st, const std::string& picture) {
  char buffer[256];
  int length = format(LOCALE_USER_DEFAULT, 0, &st, picture.empty() ? nullptr : picture.c_str(),
                      buffer, sizeof buffer);
  if (length <= 0)
    throw EConvertError(Format("The system cannot format %04u-%02u-%02u %02u:%02u:%02u as \"%s\"",
                               st.wYear, st.wMonth, st.wDay, st.wHour, st.wMinute, st.wSecond,
                               picture.c_str()));
  return std::string(buffer, length - 1);
}

}  // namespace

bool IsLeapYear(int year) { return year % 4 == 0 && (year % 100 != 0 || year % 400 == 0); }

int DaysInAMonth(int year, int month) {
  static const int kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  if (month < 1 || month > 12) return 0;
  return kDays[month - 1] + (month == 2 && IsLeapYear(year) ? 1 : 0);
}

bool TryEncodeDate(int year, int month, int day, TDateTime& date) {
  if (year < 1 || year > 9999 || month < 1 || month > 12 || day < 1 ||
      day > DaysInAMonth(year, month))
    return false;
  int64_t days = day;
  for (int m = 1; m < month; ++m) days += DaysInAMonth(year, m);
  int64_t y = year - 1;
  days += y * 365 + y / 4 - y / 100 + y / 400;
  date = static_cast<double>(days - kDateDelta);
  return true;
}

TDateTime EncodeDate(int year, int month, int day) {
  TDateTime date;
  if (!TryEncodeDate(year, month, day, date))
    throw EConvertError(Format("Invalid date: year %d, month %d, day %d", year, month, day));
  return date;
}

bool TryEncodeTime(int hour, int minute, int second, int millisecond, TDateTime& time) {
  if (hour < 0 || hour > 23 || minute < 0 || minute > 59 || second < 0 || second > 59 ||
      millisecond < 0 || millisecond > 999)
    return false;
  time = ((hour * 3600 + minute * 60 + second) * 1000 + millisecond) / double(kMSecsPerDay);
  return true;
}

TDateTime EncodeTime(int hour, int minute, int second, int millisecond) {
  TDateTime time;
  if (!TryEncodeTime(hour, minute, second, millisecond, time))
    throw EConvertError(Format("Invalid time: %d:%d:%d.%d", hour, minute, second, millisecond));
  return time;
}

void DecodeDate(TDateTime date, uint16_t& year, uint16_t& month, uint16_t& day) {
  TStamp stamp = ToStamp(date);
  if (stamp.Day < kMinDay || stamp.Day > kMaxDay)
    throw EConvertError(Format("%g is not a valid date", date));
  // Days since 0001-01-01, split into 400-, 100-, 4- and 1-year cycles.
  int64_t t = stamp.Day + kDateDelta - 1;
  int64_t y = 1;
  y += 400 * (t / 146097);
  t %= 146097;
  int64_t centuries = std::min<int64_t>(t / 36524, 3);
  y += 100 * centuries;
  t -= centuries * 36524;
  y += 4 * (t / 1461);
  t %= 1461;
  int64_t years = std::min<int64_t>(t / 365, 3);
  y += years;
  t -= years * 365;
  int m = 1;
  while (t >= DaysInAMonth(static_cast<int>(y), m)) t -= DaysInAMonth(static_cast<int>(y), m++);
  year = static_cast<uint16_t>(y);
  month = static_cast<uint16_t>(m);
  day = static_cast<uint16_t>(t + 1);
}

void DecodeTime(TDateTime time, uint16_t& hour, uint16_t& minute, uint16_t& second,
                uint16_t& millisecond) {
  int64_t ms = ToStamp(time).MSec;
  hour = static_cast<uint16_t>(ms / 3600000);
  minute = static_cast<uint16_t>(ms / 60000 % 60);
  second = static_cast<uint16_t>(ms / 1000 % 60);
  millisecond = static_cast<uint16_t>(ms % 1000);
}

int DayOfWeek(TDateTime date) {
  int64_t day = ToStamp(date).Day;  // day 0 was a Saturday
  return static_cast<int>(((day % 7 + 7) % 7 + 6) % 7) + 1;
}

TDateTime Now() {
  SYSTEMTIME st;
  GetLocalTime(&st);
  return EncodeDate(st.wYear, st.wMonth, st.wDay) +
         EncodeTime(st.wHour, st.wMinute, st.wSecond, st.wMilliseconds);
}

TDateTime Date() { return std::trunc(Now()); }

TDateTime Time() { return Frac(Now()); }

std::string DateToStr(TDateTime date) {
  return SystemText(GetDateFormatA, ToSystemTime(date), FormatSettings.ShortDateFormat);
}

std::string TimeToStr(TDateTime time) {
  SYSTEMTIME st = ToSystemTime(time);
  // Only the time of day matters; a date the system accepts keeps it from refusing.
  st.wYear = 2000;
  st.wMonth = 1;
  st.wDay = 1;
  st.wDayOfWeek = 6;
  return SystemText(GetTimeFormatA, st, FormatSettings.LongTimeFormat);
}
