// The calendar module's shared state and date helpers: the first day of the week, the
// captions of the calendar's "Today" and "Clear" buttons, and the month and day
// arithmetic of the calendar and the date editor. Years and months are plain numbers
// (months 1-12); days are TDateTime day counts. IsLeapYear is the class library's
// (DateUtils.h).
//
// InitializeDxGrDate loads the captions (string table 38903-38904 of the module the
// library is linked into) and reads the first day of the week; calls are counted.
// FinalizeDxGrDate empties the captions.
#pragma once

#include <cstdint>
#include <string>

#include "classlib/DateUtils.h"
#include "editors/DxTextHelpers.h"  // NullDate

// The first column of the calendar: 0 Sunday ... 6 Saturday.
extern uint8_t StartOfWeek;
extern std::string TodayCaption;
extern std::string ClearCaption;

void InitializeDxGrDate();
void FinalizeDxGrDate();

// The thread locale's first day of the week in StartOfWeek's numbering (the locale
// counts from Monday; without an answer, Monday).
uint8_t ReadStartOfWeek();

// One month back or forward, wrapping the year.
void DecMonth(int& year, int& month);
void IncMonth(int& year, int& month);
// `delta` months on (back when negative), wrapping the year.
void AddMonths(int& year, int& month, int delta);
// Part 1 year, 2 month, 3 day of `date`; -1 for any other part.
int DatePart(int part, TDateTime date);
int DaysPerMonth(int year, int month);
// `day` limited to 1 .. DaysPerMonth(year, month).
int ClampDay(int year, int month, int day);
// The whole day of `date`, read past the rounding noise of a computed value.
int32_t DateToDayNumber(TDateTime date);
// The day of `date` without its time (re-encoded from its year, month and day).
TDateTime DateOnly(TDateTime date);
// The calendar column (0-6) of `date` with StartOfWeek in column 0.
int WeekColumn(TDateTime date);
// Whether the day of `date` lies in the range dates have (0001-01-01 to 9999-12-31), and
// whether a month does.
bool IsDateInRange(TDateTime date);
bool IsMonthInRange(int year, int month);
