#include "classlib/DateUtils.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "classlib/Exceptions.h"
#include "classlib/FormatSettings.h"
#include "classlib/Strings.h"
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

SYSTEMTIME DateTimeToSystemTime(TDateTime value) {
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

TDateTime Now() {
  SYSTEMTIME st;
  GetLocalTime(&st);
  return EncodeDate(st.wYear, st.wMonth, st.wDay) +
         EncodeTime(st.wHour, st.wMinute, st.wSecond, st.wMilliseconds);
}

TDateTime Date() { return std::trunc(Now()); }

TDateTime Time() { return Frac(Now()); }

std::string DateToStr(TDateTime date) {
  return SystemText(GetDateFormatA, DateTimeToSystemTime(date), FormatSettings.ShortDateFormat);
}

std::string TimeToStr(TDateTime time) {
  SYSTEMTIME st = DateTimeToSystemTime(time);
  // Only the time of day matters; a date the system accepts keeps it from refusing.
  st.wYear = 2000;
  st.wMonth = 1;
  st.wDay = 1;
  st.wDayOfWeek = 6;
  return SystemText(GetTimeFormatA, st, FormatSettings.LongTimeFormat);
}

// ---- Dates and times as text ---------------------------------------------------------------

namespace {

std::string Padded(int value, int digits) {
  std::string text = std::to_string(value);
  if (static_cast<int>(text.size()) < digits) text.insert(0, digits - text.size(), '0');
  return text;
}

// A date composed with a time of day: before day 0 the fraction still counts forward.
TDateTime ComposeDateTime(TDateTime date, TDateTime time) { return date < 0 ? date - time : date + time; }

int CurrentYear() {
  SYSTEMTIME st;
  GetLocalTime(&st);
  return st.wYear;
}

// A year written with one or two digits, placed in the century window.
int ExpandYear(int year, const TFormatSettings& settings) {
  const int current = CurrentYear();
  year += current - current % 100;
  if (settings.TwoDigitYearCenturyWindow <= 0) return year;
  const int first = current - settings.TwoDigitYearCenturyWindow;
  if (year < first) return year + 100;
  if (year >= first + 100) return year - 100;
  return year;
}

enum class TDateOrder { MDY, DMY, YMD };

// The order of day, month and year in a date picture (day names and quoted text aside).
TDateOrder DateOrder(std::string_view picture) {
  for (size_t i = 0; i < picture.size();) {
    const char c = picture[i];
    if (c == '\'' || c == '"') {
      const size_t close = picture.find(c, i + 1);
      i = close == std::string_view::npos ? picture.size() : close + 1;
      continue;
    }
    size_t run = 1;
    while (i + run < picture.size() && picture[i + run] == c) ++run;
    if (c == 'y' || c == 'Y') return TDateOrder::YMD;
    if (c == 'M' || c == 'm') return TDateOrder::MDY;
    if ((c == 'd' || c == 'D') && run < 3) return TDateOrder::DMY;
    i += run;
  }
  return TDateOrder::MDY;
}

// A number as written: its value and how many digits it had.
struct TNumber {
  int Value = 0;
  int Digits = 0;
  // Three or more digits, or a value no day can have: a year.
  bool LooksLikeYear() const { return Digits >= 3 || Value > 31; }
};

// Day, month and year from numbers in the settings' order; `count` is 2 or 3.
bool DateFromNumbers(const TNumber* n, int count, const TFormatSettings& settings, TDateTime& date) {
  const TDateOrder order = DateOrder(settings.ShortDateFormat);
  TNumber year{CurrentYear(), 4}, month, day;
  if (count == 3) {
    switch (order) {
      case TDateOrder::MDY: month = n[0], day = n[1], year = n[2]; break;
      case TDateOrder::DMY: day = n[0], month = n[1], year = n[2]; break;
      case TDateOrder::YMD: year = n[0], month = n[1], day = n[2]; break;
    }
  } else if (order == TDateOrder::DMY) {
    day = n[0], month = n[1];
  } else {
    month = n[0], day = n[1];
  }
  const int y = year.Digits <= 2 ? ExpandYear(year.Value, settings) : year.Value;
  return TryEncodeDate(y, month.Value, day.Value, date);
}

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// A cursor over the text being read.
struct TScanner {
  std::string_view Text;
  size_t Pos = 0;

  bool End() const { return Pos >= Text.size(); }
  char Peek(size_t ahead = 0) const { return Pos + ahead < Text.size() ? Text[Pos + ahead] : '\0'; }
  bool Char(char c) {
    if (End() || Text[Pos] != c) return false;
    ++Pos;
    return true;
  }
  bool Number(TNumber& number) {
    size_t digits = 0;
    int value = 0;
    while (IsDigit(Peek(digits))) {
      if (digits == 9) return false;  // no part of a date or time has that many digits
      value = value * 10 + (Peek(digits) - '0');
      ++digits;
    }
    if (digits == 0) return false;
    Pos += digits;
    number = TNumber{value, static_cast<int>(digits)};
    return true;
  }
  size_t Blanks() {
    const size_t start = Pos;
    while (Peek() == ' ') ++Pos;
    return Pos - start;
  }
  // The AM or PM designator at the cursor: 0 for AM, 12 for PM, -1 for none.
  int Designator(const TFormatSettings& settings) {
    const std::string_view rest = Text.substr(Pos);
    const std::string_view names[] = {settings.TimeAMString, settings.TimePMString, "AM", "PM"};
    for (int k = 0; k < 4; ++k) {
      const std::string_view name = names[k];
      if (name.empty() || rest.size() < name.size() || !AnsiSameText(rest.substr(0, name.size()), name))
        continue;
      // A designator is a word of its own: "10 PMx" is no time.
      const char next = rest.size() > name.size() ? rest[name.size()] : '\0';
      if (IsCharAlphaA(next) || IsDigit(next)) continue;
      Pos += name.size();
      return k % 2 == 0 ? 0 : 12;
    }
    return -1;
  }
};

// Hours [sep minutes [sep seconds [decimal milliseconds]]] [blank] [designator], where
// `separators` holds the characters taken as the time separator.
bool ScanTime(TScanner& s, const TFormatSettings& settings, std::string_view separators, TDateTime& time) {
  TNumber hour, minute, second, msec;
  if (!s.Number(hour)) return false;
  auto separator = [&] {
    if (s.End() || separators.find(s.Peek()) == std::string_view::npos || !IsDigit(s.Peek(1))) return false;
    ++s.Pos;
    return true;
  };
  bool parts = false;
  if (separator()) {
    parts = true;
    s.Number(minute);
    if (separator()) {
      s.Number(second);
      if (s.Peek() == settings.DecimalSeparator && IsDigit(s.Peek(1))) {
        ++s.Pos;
        if (!s.Number(msec) || msec.Digits > 3) return false;
      }
    }
  }
  const size_t beforeDesignator = s.Pos;
  const size_t blanks = s.Blanks();
  const int half = blanks <= 1 ? s.Designator(settings) : -1;
  if (half < 0) s.Pos = beforeDesignator;
  if (!parts && half < 0) return false;
  int h = hour.Value;
  if (half >= 0) {
    if (h > 12) return false;
    h = h % 12 + half;
  }
  return TryEncodeTime(h, minute.Value, second.Value, msec.Value, time);
}

// Two or three numbers joined by the DateSeparator.
bool ScanDate(TScanner& s, const TFormatSettings& settings, TDateTime& date) {
  TNumber n[3];
  if (!s.Number(n[0]) || !s.Char(settings.DateSeparator) || !s.Number(n[1])) return false;
  int count = 2;
  if (s.Peek() == settings.DateSeparator && IsDigit(s.Peek(1))) {
    ++s.Pos;
    s.Number(n[2]);
    count = 3;
  }
  return DateFromNumbers(n, count, settings, date);
}

std::string TimeSeparators(const TFormatSettings& settings) { return std::string(1, settings.TimeSeparator); }

// The raising form of a reading: EConvertError names the text and what it is not.
using TTryRead = bool (*)(std::string_view, TDateTime&, const TFormatSettings&);

TDateTime ReadOrRaise(TTryRead read, const char* what, std::string_view text, const TFormatSettings& settings) {
  TDateTime value;
  if (!read(text, value, settings))
    throw EConvertError(Format("\"%.*s\" is not a valid %s", static_cast<int>(text.size()), text.data(), what));
  return value;
}

bool IsLetter(char c) { return IsCharAlphaA(c) != 0; }

// The index (0-11) of a month named `word`, long or short, or -1.
int MonthIndex(std::string_view word, const TFormatSettings& settings) {
  for (int m = 0; m < 12; ++m)
    if (AnsiSameText(word, settings.LongMonthNames[m]) || AnsiSameText(word, settings.ShortMonthNames[m]))
      return m;
  return -1;
}

bool IsDayName(std::string_view word, const TFormatSettings& settings) {
  for (int d = 0; d < 7; ++d)
    if (AnsiSameText(word, settings.LongDayNames[d]) || AnsiSameText(word, settings.ShortDayNames[d]))
      return true;
  return false;
}

// The date of the numbers and month name of a leniently read text.
bool LenientDate(const std::vector<TNumber>& n, int month, const TFormatSettings& settings, TDateTime& date) {
  auto year = [&](const TNumber& number) {
    return number.Digits <= 2 ? ExpandYear(number.Value, settings) : number.Value;
  };
  if (month >= 0) {
    if (n.size() == 1) {
      if (n[0].LooksLikeYear()) return TryEncodeDate(year(n[0]), month + 1, 1, date);
      return TryEncodeDate(CurrentYear(), month + 1, n[0].Value, date);
    }
    if (n.size() == 2) {
      if (n[0].LooksLikeYear()) return TryEncodeDate(year(n[0]), month + 1, n[1].Value, date);
      return TryEncodeDate(year(n[1]), month + 1, n[0].Value, date);
    }
    return false;
  }
  if (n.size() == 2) {
    if (n[0].LooksLikeYear()) return TryEncodeDate(year(n[0]), n[1].Value, 1, date);
    if (n[1].LooksLikeYear()) return TryEncodeDate(year(n[1]), n[0].Value, 1, date);
    return DateFromNumbers(n.data(), 2, settings, date);
  }
  if (n.size() == 3) {
    if (n[0].LooksLikeYear()) return TryEncodeDate(year(n[0]), n[1].Value, n[2].Value, date);
    return DateFromNumbers(n.data(), 3, settings, date);
  }
  return false;
}

}  // namespace

std::string FormatDateTime(std::string_view format, TDateTime value) {
  return FormatDateTime(format, value, FormatSettings);
}

std::string FormatDateTime(std::string_view format, TDateTime value, const TFormatSettings& settings) {
  uint16_t year, month, day, hour, minute, second, msec;
  DecodeDate(value, year, month, day);
  DecodeTime(value, hour, minute, second, msec);
  const int dayOfWeek = DayOfWeek(value);
  std::string text;
  size_t i = 0;
  while (i < format.size()) {
    const char c = format[i];
    if (c == '\'' || c == '"') {
      size_t j = i + 1;
      for (; j < format.size(); ++j) {
        if (format[j] != c) {
          text += format[j];
        } else if (c == '\'' && j + 1 < format.size() && format[j + 1] == '\'') {
          text += '\'';
          ++j;
        } else {
          break;
        }
      }
      i = j + 1;
      continue;
    }
    int run = 1;
    while (i + run < format.size() && format[i + run] == c) ++run;
    i += run;
    const std::string& designator = hour < 12 ? settings.TimeAMString : settings.TimePMString;
    switch (c) {
      case 'd':
        text += run == 1   ? std::to_string(day)
                : run == 2 ? Padded(day, 2)
                : run == 3 ? settings.ShortDayNames[dayOfWeek - 1]
                           : settings.LongDayNames[dayOfWeek - 1];
        break;
      case 'M':
        text += run == 1   ? std::to_string(month)
                : run == 2 ? Padded(month, 2)
                : run == 3 ? settings.ShortMonthNames[month - 1]
                           : settings.LongMonthNames[month - 1];
        break;
      case 'y': text += run == 1 ? std::to_string(year % 100) : run == 2 ? Padded(year % 100, 2) : Padded(year, 4); break;
      case 'h': text += Padded(hour % 12 == 0 ? 12 : hour % 12, std::min(run, 2)); break;
      case 'H': text += Padded(hour, std::min(run, 2)); break;
      case 'm': text += Padded(minute, std::min(run, 2)); break;
      case 's': text += Padded(second, std::min(run, 2)); break;
      case 't': text += run == 1 ? designator.substr(0, 1) : designator; break;
      case '/': text.append(run, settings.DateSeparator); break;
      case ':': text.append(run, settings.TimeSeparator); break;
      default: text.append(run, c); break;
    }
  }
  return text;
}

std::string DateTimeToStr(TDateTime value) { return DateTimeToStr(value, FormatSettings); }

std::string DateTimeToStr(TDateTime value, const TFormatSettings& settings) {
  std::string text = FormatDateTime(settings.ShortDateFormat, value, settings);
  uint16_t hour, minute, second, msec;
  DecodeTime(value, hour, minute, second, msec);
  if (hour || minute || second || msec) text += ' ' + FormatDateTime(settings.LongTimeFormat, value, settings);
  return text;
}

bool TryStrToTime(std::string_view text, TDateTime& value) { return TryStrToTime(text, value, FormatSettings); }

bool TryStrToTime(std::string_view text, TDateTime& value, const TFormatSettings& settings) {
  TScanner s{text};
  TDateTime time;
  if (!ScanTime(s, settings, TimeSeparators(settings), time) || !s.End()) return false;
  value = time;
  return true;
}

TDateTime StrToTime(std::string_view text) { return StrToTime(text, FormatSettings); }

TDateTime StrToTime(std::string_view text, const TFormatSettings& settings) {
  return ReadOrRaise(TryStrToTime, "time", text, settings);
}

bool TryStrToDateTime(std::string_view text, TDateTime& value) {
  return TryStrToDateTime(text, value, FormatSettings);
}

bool TryStrToDateTime(std::string_view text, TDateTime& value, const TFormatSettings& settings) {
  TScanner s{text};
  TDateTime date;
  if (!ScanDate(s, settings, date)) return TryStrToTime(text, value, settings);
  if (s.End()) {
    value = date;
    return true;
  }
  TDateTime time;
  if (s.Blanks() == 0 || !ScanTime(s, settings, TimeSeparators(settings), time) || !s.End()) return false;
  value = ComposeDateTime(date, time);
  return true;
}

TDateTime StrToDateTime(std::string_view text) { return StrToDateTime(text, FormatSettings); }

TDateTime StrToDateTime(std::string_view text, const TFormatSettings& settings) {
  return ReadOrRaise(TryStrToDateTime, "date and time", text, settings);
}

bool TryLocaleStrToDateTime(std::string_view text, TDateTime& value) {
  return TryLocaleStrToDateTime(text, value, FormatSettings);
}

bool TryLocaleStrToDateTime(std::string_view text, TDateTime& value, const TFormatSettings& settings) {
  const std::string timeSeparators = TimeSeparators(settings) + ':';
  const std::string dateSeparators = std::string(1, settings.DateSeparator) + " /-.,";
  TScanner s{text};
  std::vector<TNumber> numbers;
  int month = -1;
  bool hasTime = false;
  TDateTime time = 0;
  while (true) {
    while (!s.End() && dateSeparators.find(s.Peek()) != std::string::npos) ++s.Pos;
    if (s.End()) break;
    if (IsDigit(s.Peek())) {
      // A number followed by a time separator, or by a designator, starts the time.
      const size_t start = s.Pos;
      TDateTime candidate;
      if (!hasTime && ScanTime(s, settings, timeSeparators, candidate)) {
        hasTime = true;
        time = candidate;
        continue;
      }
      s.Pos = start;
      TNumber number;
      if (!s.Number(number) || numbers.size() == 3) return false;
      numbers.push_back(number);
      continue;
    }
    if (!IsLetter(s.Peek())) return false;
    const size_t start = s.Pos;
    while (!s.End() && IsLetter(s.Peek())) ++s.Pos;
    const std::string_view word = text.substr(start, s.Pos - start);
    const int named = MonthIndex(word, settings);
    if (named >= 0 && month < 0) {
      month = named;
      continue;
    }
    if (!IsDayName(word, settings)) return false;
  }
  TDateTime date = 0;
  if (!numbers.empty() || month >= 0) {
    if (!LenientDate(numbers, month, settings, date)) return false;
  } else if (!hasTime) {
    return false;
  }
  value = ComposeDateTime(date, time);
  return true;
}

TDateTime LocaleStrToDateTime(std::string_view text) { return LocaleStrToDateTime(text, FormatSettings); }

TDateTime LocaleStrToDateTime(std::string_view text, const TFormatSettings& settings) {
  return ReadOrRaise(TryLocaleStrToDateTime, "date", text, settings);
}
