// Decisions taken here:
// - WeekColumn takes the remainder into 0..6: a plain remainder of a negative
//   difference (Sunday with a Monday start) would give column -1.
// - The range tests let the calendar stop at the first and last months dates have,
//   instead of raising from every paint and key there.
#include "editors/DxGrDate.h"

#include <cmath>

#include "editors/DxExEdtr.h"

namespace {

constexpr int sdxTodayCaption = 38903;  // "Today"
constexpr int sdxClearCaption = 38904;  // "Clear"

int gStarts = 0;

}  // namespace

uint8_t StartOfWeek = 0;
std::string TodayCaption;
std::string ClearCaption;

void InitializeDxGrDate() {
  if (gStarts++ > 0)
    return;
  TodayCaption = DxLoadStr(sdxTodayCaption);
  ClearCaption = DxLoadStr(sdxClearCaption);
  StartOfWeek = ReadStartOfWeek();
}

void FinalizeDxGrDate() {
  if (gStarts == 0 || --gStarts > 0)
    return;
  ClearCaption.clear();
  TodayCaption.clear();
}

uint8_t ReadStartOfWeek() {
  char buffer[8] = "0";
  if (GetLocaleInfoA(GetThreadLocale(), LOCALE_IFIRSTDAYOFWEEK, buffer, sizeof buffer) <= 0)
    buffer[0] = '0';
  const int day = (buffer[0] >= '0' && buffer[0] <= '6' ? buffer[0] - '0' : 0) + 1;
  return uint8_t(day == 7 ? 0 : day);
}

void DecMonth(int& year, int& month) {
  if (--month < 1) {
    month = 12;
    --year;
  }
}

void IncMonth(int& year, int& month) {
  if (++month > 12) {
    month = 1;
    ++year;
  }
}

void AddMonths(int& year, int& month, int delta) {
  year += delta / 12;
  month += delta % 12;
  if (month > 12) {
    month -= 12;
    ++year;
  } else if (month < 1) {
    month += 12;
    --year;
  }
}

int DatePart(int part, TDateTime date) {
  if (part < 1 || part > 3)
    return -1;
  uint16_t year, month, day;
  DecodeDate(date, year, month, day);
  return part == 1 ? year : part == 2 ? month : day;
}

int DaysPerMonth(int year, int month) { return DaysInAMonth(year, month); }

int ClampDay(int year, int month, int day) {
  const int last = DaysPerMonth(year, month);
  return day < 1 ? 1 : day > last ? last : day;
}

int32_t DateToDayNumber(TDateTime date) {
  return int32_t(std::trunc(date >= 0 ? date + 1E-11 : date - 1E-11));
}

TDateTime DateOnly(TDateTime date) {
  uint16_t year, month, day;
  DecodeDate(date, year, month, day);
  return EncodeDate(year, month, day);
}

int WeekColumn(TDateTime date) { return ((DayOfWeek(date) - StartOfWeek - 1) % 7 + 7) % 7; }

bool IsDateInRange(TDateTime date) {
  const int32_t day = DateToDayNumber(date);
  return day >= DateToDayNumber(EncodeDate(1, 1, 1)) && day <= DateToDayNumber(EncodeDate(9999, 12, 31));
}

bool IsMonthInRange(int year, int month) { return year >= 1 && year <= 9999 && month >= 1 && month <= 12; }
