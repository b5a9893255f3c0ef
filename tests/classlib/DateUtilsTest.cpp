#include <cmath>

#include <gtest/gtest.h>

#include "classlib/DateUtils.h"
#include "classlib/Exceptions.h"
#include "classlib/FormatSettings.h"
#include "classlib/Win.h"
#include "tests/classlib/ExpectError.h"

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

// ---- Dates and times as text ----------------------------------------------------------------

// Neutral settings with a day-month-year order and "." as the date separator.
TFormatSettings GermanLike() {
  TFormatSettings s;
  s.DateSeparator = '.';
  s.ShortDateFormat = "dd.MM.yyyy";
  s.LongTimeFormat = "HH:mm:ss";
  s.DecimalSeparator = ',';
  return s;
}

// True when a reading refuses `text`.
bool Refuses(bool (*read)(std::string_view, TDateTime&, const TFormatSettings&), const char* text,
             const TFormatSettings& settings) {
  TDateTime value;
  return !read(text, value, settings);
}

int ThisYear() {
  SYSTEMTIME st;
  GetLocalTime(&st);
  return st.wYear;
}

TEST(DateText, FormatDateTimeFollowsWindowsPictures) {
  const TFormatSettings s;
  const TDateTime moment = EncodeDate(2024, 3, 5) + EncodeTime(13, 5, 9, 0);
  EXPECT_EQ(FormatDateTime("d/M/yy", moment, s), "5/3/24");
  EXPECT_EQ(FormatDateTime("dd.MM.yyyy", moment, s), "05.03.2024");
  EXPECT_EQ(FormatDateTime("ddd, dddd d MMM MMMM y", moment, s), "Tue, Tuesday 5 Mar March 24");
  EXPECT_EQ(FormatDateTime("h:mm:ss tt", moment, s), "1:05:09 PM");
  EXPECT_EQ(FormatDateTime("HH:mm t", moment, s), "13:05 P");
  EXPECT_EQ(FormatDateTime("hh 'o''clock' \"at\" H", EncodeTime(0, 7, 0, 0), s), "12 o'clock at 0");
  // "/" and ":" are the settings' separators; years before the system's range format too.
  TFormatSettings dotted = GermanLike();
  dotted.TimeSeparator = '.';
  EXPECT_EQ(FormatDateTime("dd/MM/yyyy HH:mm", EncodeDate(1500, 12, 31) - 0.5, dotted), "31.12.1500 12.00");
  EXPECT_EQ(FormatDateTime("yyyy", EncodeDate(5, 1, 1), s), "0005");
  EXPECT_THROW(FormatDateTime("d", 1e9, s), EConvertError);
}

TEST(DateText, DateTimeToStrShowsTheTimeOnlyWhenThereIsOne) {
  const TFormatSettings s = GermanLike();
  EXPECT_EQ(DateTimeToStr(EncodeDate(2024, 2, 1), s), "01.02.2024");
  EXPECT_EQ(DateTimeToStr(EncodeDate(2024, 2, 1) + EncodeTime(8, 30, 0, 0), s), "01.02.2024 08:30:00");
  // Before day 0 the time still counts forward from midnight.
  EXPECT_EQ(DateTimeToStr(-1.25, s), "29.12.1899 06:00:00");
  TSettingsScope scope;
  FormatSettings = s;
  EXPECT_EQ(DateTimeToStr(EncodeDate(2024, 2, 1)), "01.02.2024");
}

TEST(DateText, StrictReadingTakesTheSettingsOrderAndSeparators) {
  const TFormatSettings us;  // M/d/yyyy
  const TFormatSettings de = GermanLike();
  EXPECT_EQ(StrToDateTime("2/1/2024", us), EncodeDate(2024, 2, 1));
  EXPECT_EQ(StrToDateTime("1.2.2024", de), EncodeDate(2024, 2, 1));
  TFormatSettings iso;
  iso.DateSeparator = '-';
  iso.ShortDateFormat = "yyyy-MM-dd";
  EXPECT_EQ(StrToDateTime("2024-02-01", iso), EncodeDate(2024, 2, 1));
  // Two numbers: day and month of the current year.
  EXPECT_EQ(StrToDateTime("1.2", de), EncodeDate(ThisYear(), 2, 1));
  // A date and a time, and a time alone.
  EXPECT_EQ(StrToDateTime("2/1/2024 1:30 PM", us), EncodeDate(2024, 2, 1) + EncodeTime(13, 30, 0, 0));
  EXPECT_EQ(StrToDateTime("1.2.2024 13:30:15", de), EncodeDate(2024, 2, 1) + EncodeTime(13, 30, 15, 0));
  EXPECT_EQ(StrToDateTime("23:59", de), EncodeTime(23, 59, 0, 0));
  EXPECT_EQ(StrToDateTime("29.12.1899 06:00", de), -1.25);
  // As strict as the number conversions: no blanks around, no other separators,
  // nothing left over, no impossible dates.
  for (const char* bad : {" 1.2.2024", "1.2.2024 ", "1/2/2024", "1.2.2024x", "1.2.", "31.2.2024", "1", "",
                          "1.2.2024 25:00", "1.2.2024 13:00 ", "1..2024"})
    EXPECT_TRUE(Refuses(TryStrToDateTime, bad, de)) << '"' << bad << '"';
  ExpectRaises<EConvertError>([&] { StrToDateTime("abc", de); }, "\"abc\" is not a valid date and time");
}

TEST(DateText, TwoDigitYearsFallInTheCenturyWindow) {
  TFormatSettings de = GermanLike();
  const int year = ThisYear();
  const int first = year - 50;  // the window's first year
  auto yearOf = [&](int twoDigits) {
    uint16_t y, m, d;
    DecodeDate(StrToDateTime("1.1." + std::to_string(twoDigits), de), y, m, d);
    return int(y);
  };
  for (int yy : {0, 24, 49, 50, 75, 99}) {
    const int y = yearOf(yy);
    EXPECT_EQ(y % 100, yy);
    EXPECT_GE(y, first);
    EXPECT_LT(y, first + 100);
  }
  de.TwoDigitYearCenturyWindow = 0;
  EXPECT_EQ(yearOf(99), year - year % 100 + 99);
  // Three digits are a year as written.
  EXPECT_EQ(StrToDateTime("1.1.024", de), EncodeDate(24, 1, 1));
}

TEST(DateText, TimesTakeDesignatorsAndRefuseOutOfRangeParts) {
  TFormatSettings s;
  s.TimeAMString = "vorm.";
  s.TimePMString = "nachm.";
  EXPECT_EQ(StrToTime("12:00 AM", s), 0);
  EXPECT_EQ(StrToTime("12:00PM", s), 0.5);
  EXPECT_EQ(StrToTime("3 nachm.", s), EncodeTime(15, 0, 0, 0));
  EXPECT_EQ(StrToTime("3 pm", s), EncodeTime(15, 0, 0, 0));
  EXPECT_EQ(StrToTime("10:20:30.5", s), EncodeTime(10, 20, 30, 5));
  for (const char* bad : {"13 PM", "24:00", "10:60", "10", "10:", "3 PMx", "10:20:30.1234", "1/2/2024"})
    EXPECT_TRUE(Refuses(TryStrToTime, bad, s)) << '"' << bad << '"';
  ExpectRaises<EConvertError>([&] { StrToTime("noon", s); }, "\"noon\" is not a valid time");
}

TEST(DateText, LocaleReadingAcceptsWhatPeopleType) {
  const TFormatSettings us;
  const TFormatSettings de = GermanLike();
  const TDateTime feb1 = EncodeDate(2024, 2, 1);
  auto read = [](std::string_view text, const TFormatSettings& s) { return LocaleStrToDateTime(text, s); };
  EXPECT_EQ(read("1 2 2024", de), feb1);
  EXPECT_EQ(read("2 1 2024", us), feb1);
  EXPECT_EQ(read(" 2-1-2024 ", us), feb1);
  EXPECT_EQ(read("2024/2/1", de), feb1) << "a leading year is a year in any order";
  EXPECT_EQ(read("1. Februar 2024", [] {
              TFormatSettings s = GermanLike();
              s.LongMonthNames[1] = "Februar";
              return s;
            }()),
            feb1);
  EXPECT_EQ(read("Thursday, February 1, 2024", us), feb1);
  EXPECT_EQ(read("feb 1 2024 13:30", us), feb1 + EncodeTime(13, 30, 0, 0));
  EXPECT_EQ(read("1:30 pm 2/1/2024", us), feb1 + EncodeTime(13, 30, 0, 0));
  EXPECT_EQ(read("2/2024", us), feb1) << "month and year";
  EXPECT_EQ(read("1 feb", us), EncodeDate(ThisYear(), 2, 1));
  EXPECT_EQ(read("8:15", us), EncodeTime(8, 15, 0, 0));
  for (const char* bad : {"", "abc", "1", "1.5e3", "31 2 2024", "1 2 3 4", "today", "2/1/2024 8:00 9:00", "Feb March 1"})
    EXPECT_TRUE(Refuses(TryLocaleStrToDateTime, bad, us)) << '"' << bad << '"';
  ExpectRaises<EConvertError>([&] { read("abc", us); }, "\"abc\" is not a valid date");
}

TEST(DateText, LocaleSettingsNameMonthsDaysAndDesignators) {
  TFormatSettings locale = LocaleFormatSettings();
  char buffer[80];
  GetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_SDAYNAME7, buffer, sizeof buffer);
  EXPECT_EQ(locale.LongDayNames[0], buffer);
  GetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_SABBREVMONTHNAME12, buffer, sizeof buffer);
  EXPECT_EQ(locale.ShortMonthNames[11], buffer);
  GetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_S2359, buffer, sizeof buffer);
  EXPECT_EQ(locale.TimePMString, buffer[0] ? buffer : "PM");
  // What the locale writes, the class library reads back.
  const TDateTime moment = EncodeDate(2024, 2, 1) + EncodeTime(13, 30, 15, 0);
  EXPECT_EQ(StrToDateTime(DateTimeToStr(moment, locale), locale), moment);
  EXPECT_EQ(LocaleStrToDateTime(DateTimeToStr(moment, locale), locale), moment);
}

}  // namespace
