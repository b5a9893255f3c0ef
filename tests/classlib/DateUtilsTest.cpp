#include <cmath>

#include <gtest/gtest.h>

#include "classlib/DateUtils.h"
#include "classlib/Exceptions.h"
#include "classlib/FormatSettings.h"
#include "classlib/Win.h"

namespace {

struct TYmd {
  uint16_t Year, Month, Day;
  bool operator==(const TYmd&) const = default;
};

TYmd Ymd(TDateTime date) {
  TYmd d;
  DecodeDate(date, d.Year, d.Month, d.Day);
  return d;
}

struct THms {
  uint16_t Hour, Minute, Second, MSec;
  bool operator==(const THms&) const = default;
};

THms Hms(TDateTime time) {
  THms t;
  DecodeTime(time, t.Hour, t.Minute, t.Second, t.MSec);
  return t;
}

// Sets FormatSettings for one test and puts the old values back.
struct TSettingsScope {
  TFormatSettings Saved = FormatSettings;
  ~TSettingsScope() { FormatSettings = Saved; }
};

TEST(Dates, DayNumbersCountFromTheEndOf1899) {
  EXPECT_EQ(EncodeDate(1899, 12, 30), 0);
  EXPECT_EQ(EncodeDate(1900, 1, 1), 2);
  EXPECT_EQ(EncodeDate(2000, 2, 29), 36585);
  EXPECT_EQ(EncodeDate(1, 1, 1), -693593);
  EXPECT_EQ(EncodeDate(9999, 12, 31), 2958465);
}

TEST(Dates, EveryDayOfTheRangeSurvivesARoundTrip) {
  // Walks day by day so that month ends, leap days and the 100/400-year rules all pass.
  TYmd expected{1, 1, 1};
  for (int day = -693593; day <= 2958465; ++day) {
    TYmd got = Ymd(day);
    ASSERT_EQ(got, expected) << "day " << day;
    ASSERT_EQ(EncodeDate(got.Year, got.Month, got.Day), day);
    if (++expected.Day > DaysInAMonth(expected.Year, expected.Month)) {
      expected.Day = 1;
      if (++expected.Month > 12) {
        expected.Month = 1;
        ++expected.Year;
      }
    }
  }
}

TEST(Dates, ImpossibleDatesAndTimesRaise) {
  EXPECT_THROW(EncodeDate(2001, 2, 29), EConvertError);
  EXPECT_THROW(EncodeDate(1900, 2, 29), EConvertError);  // not a leap year
  EXPECT_NO_THROW(EncodeDate(2000, 2, 29));               // a leap year
  EXPECT_THROW(EncodeDate(2000, 4, 31), EConvertError);
  EXPECT_THROW(EncodeDate(2000, 13, 1), EConvertError);
  EXPECT_THROW(EncodeDate(2000, 1, 0), EConvertError);
  EXPECT_THROW(EncodeDate(0, 1, 1), EConvertError);
  EXPECT_THROW(EncodeDate(10000, 1, 1), EConvertError);
  EXPECT_THROW(EncodeTime(24, 0, 0, 0), EConvertError);
  EXPECT_THROW(EncodeTime(0, 60, 0, 0), EConvertError);
  EXPECT_THROW(EncodeTime(0, 0, 60, 0), EConvertError);
  EXPECT_THROW(EncodeTime(0, 0, 0, 1000), EConvertError);
  EXPECT_THROW(EncodeTime(-1, 0, 0, 0), EConvertError);
  EXPECT_THROW(Ymd(2958466), EConvertError);
  EXPECT_THROW(Ymd(-693594), EConvertError);
  EXPECT_THROW(Ymd(std::nan("")), EConvertError);
}

TEST(Times, DecodeRoundsToTheMillisecondAndCarriesIntoTheDay) {
  EXPECT_EQ(Hms(0.5), (THms{12, 0, 0, 0}));
  EXPECT_EQ(Hms(EncodeTime(23, 59, 59, 999)), (THms{23, 59, 59, 999}));
  EXPECT_EQ(Hms(EncodeTime(13, 5, 9, 7)), (THms{13, 5, 9, 7}));
  // Less than half a millisecond before midnight is the next day.
  TDateTime late = EncodeDate(2024, 2, 29) + 0.9999999999;
  EXPECT_EQ(Hms(late), (THms{0, 0, 0, 0}));
  EXPECT_EQ(Ymd(late), (TYmd{2024, 3, 1}));
  // Before day 0 the fraction still counts forward from midnight.
  EXPECT_EQ(Ymd(-1.25), (TYmd{1899, 12, 29}));
  EXPECT_EQ(Hms(-1.25), (THms{6, 0, 0, 0}));
}

TEST(Dates, DayOfWeekStartsOnSunday) {
  EXPECT_EQ(DayOfWeek(EncodeDate(2024, 1, 7)), 1);  // a Sunday
  EXPECT_EQ(DayOfWeek(EncodeDate(2024, 1, 1)), 2);
  EXPECT_EQ(DayOfWeek(0), 7);      // 1899-12-30, a Saturday
  EXPECT_EQ(DayOfWeek(-1.25), 6);  // the Friday before
  EXPECT_EQ(DayOfWeek(EncodeDate(1, 1, 1)), 2);
}

TEST(Dates, NowIsTheLocalClock) {
  SYSTEMTIME before;
  GetLocalTime(&before);
  TDateTime now = Now();
  TDateTime today = EncodeDate(before.wYear, before.wMonth, before.wDay);
  EXPECT_GE(now, today);
  EXPECT_LT(now, today + 2);  // allows for midnight passing in between
  TDateTime date = Date(), time = Time();
  EXPECT_EQ(date, static_cast<double>(static_cast<int64_t>(date)));
  EXPECT_GE(time, 0);
  EXPECT_LT(time, 1);
}

TEST(Dates, TextUsesTheWritablePictures) {
  TSettingsScope scope;
  TDateTime moment = EncodeDate(2024, 3, 5) + EncodeTime(13, 5, 9, 0);
  FormatSettings.ShortDateFormat = "yyyy-MM-dd";
  FormatSettings.LongTimeFormat = "HH:mm:ss";
  EXPECT_EQ(DateToStr(moment), "2024-03-05");
  EXPECT_EQ(TimeToStr(moment), "13:05:09");
  FormatSettings.ShortDateFormat = "dd/MM/yyyy";
  FormatSettings.LongTimeFormat = "h:mm";
  EXPECT_EQ(DateToStr(moment), "05/03/2024");
  EXPECT_EQ(TimeToStr(moment), "1:05");
  // Time values alone (day 0) format as well.
  EXPECT_EQ(TimeToStr(EncodeTime(8, 30, 0, 0)), "8:30");
  EXPECT_THROW(DateToStr(EncodeDate(1500, 1, 1)), EConvertError);
}

TEST(Dates, LocaleSettingsTakeDayNamesFromSunday) {
  TFormatSettings locale = LocaleFormatSettings();
  char sunday[80], january[80];
  GetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_SABBREVDAYNAME7, sunday, sizeof sunday);
  GetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_SMONTHNAME1, january, sizeof january);
  EXPECT_EQ(locale.ShortDayNames[0], sunday);
  EXPECT_EQ(locale.LongMonthNames[0], january);
  EXPECT_FALSE(locale.ShortDateFormat.empty());
  // The locale's own pictures format without an error.
  TSettingsScope scope;
  FormatSettings = locale;
  EXPECT_FALSE(DateToStr(EncodeDate(2024, 3, 5)).empty());
  EXPECT_FALSE(TimeToStr(0.5).empty());
}

}  // namespace
