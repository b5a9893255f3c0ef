// The calendar module's date helpers: month arithmetic across years, month lengths,
// the parts and whole days of dates, the week column, the locale's first day of the
// week and the button captions its start-up loads.
#include <string>

#include <gtest/gtest.h>

#include "editors/DxGrDate.h"
#include "tests/editors/EditorsTestSupport.h"

namespace {

struct TYm {
  int Year, Month;
  bool operator==(const TYm&) const = default;
};

TYm Added(int year, int month, int delta) {
  AddMonths(year, month, delta);
  return {year, month};
}

// Sets StartOfWeek for one test and puts the old value back.
struct TStartOfWeekScope {
  uint8_t Saved = StartOfWeek;
  explicit TStartOfWeekScope(uint8_t value) { StartOfWeek = value; }
  ~TStartOfWeekScope() { StartOfWeek = Saved; }
};

TEST(DxGrDateTest, MonthsWrapTheYear) {
  EXPECT_EQ(Added(2024, 11, 3), (TYm{2025, 2}));
  EXPECT_EQ(Added(2024, 2, -14), (TYm{2022, 12}));
  EXPECT_EQ(Added(2024, 1, -1), (TYm{2023, 12}));
  EXPECT_EQ(Added(2024, 12, 25), (TYm{2027, 1}));
  EXPECT_EQ(Added(2024, 5, 0), (TYm{2024, 5}));
  int year = 2024, month = 1;
  DecMonth(year, month);
  EXPECT_EQ((TYm{year, month}), (TYm{2023, 12}));
  IncMonth(year, month);
  IncMonth(year, month);
  EXPECT_EQ((TYm{year, month}), (TYm{2024, 2}));
}

TEST(DxGrDateTest, MonthLengthsAndClampedDays) {
  EXPECT_EQ(DaysPerMonth(2024, 2), 29);
  EXPECT_EQ(DaysPerMonth(2023, 2), 28);
  EXPECT_EQ(DaysPerMonth(1900, 2), 28);
  EXPECT_EQ(DaysPerMonth(2000, 2), 29);
  EXPECT_EQ(DaysPerMonth(2024, 4), 30);
  EXPECT_EQ(ClampDay(2024, 2, 31), 29);
  EXPECT_EQ(ClampDay(2023, 2, 31), 28);
  EXPECT_EQ(ClampDay(2024, 3, 0), 1);
  EXPECT_EQ(ClampDay(2024, 3, 17), 17);
}

TEST(DxGrDateTest, PartsAndWholeDaysOfDates) {
  const TDateTime moment = EncodeDate(2024, 3, 15) + 0.75;
  EXPECT_EQ(DatePart(1, moment), 2024);
  EXPECT_EQ(DatePart(2, moment), 3);
  EXPECT_EQ(DatePart(3, moment), 15);
  EXPECT_EQ(DatePart(0, moment), -1);
  EXPECT_EQ(DatePart(4, moment), -1);
  EXPECT_EQ(DateOnly(moment), EncodeDate(2024, 3, 15));
  EXPECT_EQ(DateOnly(-1.25), -1.0) << "1899-12-29 06:00 is day -1";
  EXPECT_EQ(DateToDayNumber(6 - 1E-12), 6) << "computed noise below a whole day counts as that day";
  EXPECT_EQ(DateToDayNumber(5.5), 5);
  EXPECT_EQ(DateToDayNumber(-1.5), -1);
  EXPECT_EQ(DateToDayNumber(-2 + 1E-12), -2);
}

TEST(DxGrDateTest, WeekColumnCountsFromTheFirstDayOfTheWeek) {
  const TDateTime sunday = EncodeDate(2024, 3, 17), monday = sunday + 1, saturday = sunday + 6;
  {
    TStartOfWeekScope scope(0);
    EXPECT_EQ(WeekColumn(sunday), 0);
    EXPECT_EQ(WeekColumn(saturday), 6);
  }
  // Regression: with a Monday start Sunday's column came out -1, since the remainder of
  // a negative difference keeps its sign.
  TStartOfWeekScope scope(1);
  EXPECT_EQ(WeekColumn(sunday), 6);
  EXPECT_EQ(WeekColumn(monday), 0);
  EXPECT_EQ(WeekColumn(saturday), 5);
  StartOfWeek = 6;
  EXPECT_EQ(WeekColumn(saturday), 0);
  EXPECT_EQ(WeekColumn(sunday), 1);
}

TEST(DxGrDateTest, FirstDayOfTheWeekComesFromTheLocale) {
  // The locale counts from Monday (0) to Sunday (6).
  TLocaleScope locale;
  ASSERT_TRUE(locale.Set(LOCALE_IFIRSTDAYOFWEEK, "0"));
  EXPECT_EQ(ReadStartOfWeek(), 1) << "Monday";
  locale.Set(LOCALE_IFIRSTDAYOFWEEK, "6");
  EXPECT_EQ(ReadStartOfWeek(), 0) << "Sunday";
  locale.Set(LOCALE_IFIRSTDAYOFWEEK, "5");
  EXPECT_EQ(ReadStartOfWeek(), 6) << "Saturday";
}

TEST(DxGrDateTest, StartUpLoadsTheButtonCaptions) {
  EXPECT_EQ(TodayCaption, "Today");
  EXPECT_EQ(ClearCaption, "Clear");
  InitializeDxGrDate();
  FinalizeDxGrDate();
  EXPECT_EQ(TodayCaption, "Today") << "start-ups are counted";
}

}  // namespace
