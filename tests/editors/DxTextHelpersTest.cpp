// The editors' text helpers: keyword dates at a fixed moment, typed dates in the
// locale's order and separators, errors for text that is no date, the date mask and
// display formats, the default currency picture, and screen-to-window points.
#include <gtest/gtest.h>

#include <string>

#include "classlib/Exceptions.h"
#include "classlib/FormatSettings.h"
#include "editors/DxTextHelpers.h"
#include "tests/support/TestSupport.h"

namespace {

// Sets FormatSettings and the helpers' globals for one test and puts them back.
class DxTextHelpersTest : public testing::Test {
 protected:
  void TearDown() override {
    FormatSettings = FSaved;
    SmartTextToDateHook = nullptr;
    UseClassLibraryDateConversion = false;
    DxDateKeywords() = FKeywords;
  }
  void UseGermanDates() {
    FormatSettings.DateSeparator = '.';
    FormatSettings.ShortDateFormat = "dd.MM.yyyy";
  }
  // The keyword date of `text` at `now`.
  TDateTime Smart(const std::string& text, TDateTime now) {
    TDateTime date = NullDate;
    EXPECT_TRUE(SmartTextToDate(text, date, now)) << text;
    return date;
  }
  TFormatSettings FSaved = FormatSettings;
  TDxDateKeywords FKeywords = DxDateKeywords();
};

// A Friday at half past ten.
const TDateTime kFriday = EncodeDate(2024, 2, 16) + EncodeTime(10, 30, 0, 0);
const TDateTime kFridayDate = EncodeDate(2024, 2, 16);

TEST_F(DxTextHelpersTest, KeywordsNameDaysAroundToday) {
  EXPECT_EQ(Smart("today", kFriday), kFridayDate);
  EXPECT_EQ(Smart("Yesterday", kFriday), kFridayDate - 1);
  EXPECT_EQ(Smart("TOMORROW", kFriday), kFridayDate + 1);
  EXPECT_EQ(Smart("friday", kFriday), kFridayDate) << "that weekday on or after today";
  EXPECT_EQ(Smart("saturday", kFriday), kFridayDate + 1);
  EXPECT_EQ(Smart("thursday", kFriday), kFridayDate + 6);
  EXPECT_EQ(Smart("first", kFriday), EncodeDate(2024, 2, 11)) << "the Sunday of the week";
  EXPECT_EQ(Smart("seventh", kFriday), EncodeDate(2024, 2, 17));
  EXPECT_EQ(Smart("bom", kFriday), EncodeDate(2024, 2, 1));
  EXPECT_EQ(Smart("eom", kFriday), EncodeDate(2024, 2, 29)) << "a leap year";
  EXPECT_EQ(Smart("eom", EncodeDate(2023, 2, 3)), EncodeDate(2023, 2, 28));
  EXPECT_EQ(Smart("now", kFriday), kFriday);
}

TEST_F(DxTextHelpersTest, SignedDayCountsMoveBothWays) {
  EXPECT_EQ(Smart("today+3", kFriday), kFridayDate + 3);
  // Regression (wording trap): "TODAY-2" went two days ahead, as the parsed "-2" was
  // subtracted; the signed count is added.
  EXPECT_EQ(Smart("today-2", kFriday), kFridayDate - 2);
  EXPECT_EQ(Smart("TODAY -2", kFriday), kFridayDate - 2);
  EXPECT_EQ(Smart("today +", kFriday), kFridayDate) << "a lone sign is no count";
  EXPECT_EQ(Smart("today is fine", kFriday), kFridayDate) << "other trailing text is ignored";
  EXPECT_EQ(Smart("now+1", kFriday), kFriday + 1);
  TDateTime date = 5;
  EXPECT_THROW(SmartTextToDate("TODAY - 2", date, kFriday), EConvertError);
  EXPECT_EQ(date, 5) << "a failed conversion leaves the date alone";
  // The current moment by default.
  const TDateTime before = Date();
  ASSERT_TRUE(SmartTextToDate("today+3", date));
  EXPECT_TRUE(date == before + 3 || date == Date() + 3);
}

TEST_F(DxTextHelpersTest, UnknownTextGoesToTheHook) {
  TDateTime date = 7;
  EXPECT_FALSE(SmartTextToDate("someday", date, kFriday));
  EXPECT_EQ(date, 7);
  SmartTextToDateHook = [](const std::string& text, TDateTime& d) {
    if (text != "someday")
      return false;
    d = 42;
    return true;
  };
  EXPECT_TRUE(SmartTextToDate("someday", date, kFriday));
  EXPECT_EQ(date, 42);
  EXPECT_FALSE(SmartTextToDate("never", date, kFriday));
}

TEST_F(DxTextHelpersTest, LocalisedKeywordsReplaceTheBuiltInOnes) {
  DxDateKeywords()[dkToday] = "HEUTE";
  EXPECT_EQ(Smart("heute+1", kFriday), kFridayDate + 1);
  TDateTime date = 7;
  EXPECT_FALSE(SmartTextToDate("today", date, kFriday));
  // Regression: an empty keyword matched every text by its first zero characters.
  DxDateKeywords()[dkYesterday] = "";
  EXPECT_FALSE(SmartTextToDate("anything", date, kFriday));
  EXPECT_EQ(date, 7);
}

TEST_F(DxTextHelpersTest, TypedDatesFollowTheLocaleOrderAndSeparator) {
  UseGermanDates();
  TDateTime date = NullDate;
  // With "." as separator the text is a date, not the number 1.2 followed by more.
  ASSERT_TRUE(TextToDateEx("1.2.2024", date));
  EXPECT_EQ(date, EncodeDate(2024, 2, 1));
  FormatSettings.ShortDateFormat = "MM.dd.yyyy";
  ASSERT_TRUE(TextToDateEx(" 1.2.2024 ", date));
  EXPECT_EQ(date, EncodeDate(2024, 1, 2));
  ASSERT_TRUE(TextToDateEx("1.2.2024 13:15", date));
  EXPECT_EQ(date, EncodeDate(2024, 1, 2) + EncodeTime(13, 15, 0, 0));
  // Keywords come first; an empty text is no date and raises nothing.
  const TDateTime today = Date();
  ASSERT_TRUE(TextToDateEx("Today", date));
  EXPECT_TRUE(date == today || date == Date());
  date = 9;
  EXPECT_FALSE(TextToDateEx("   ", date));
  EXPECT_EQ(date, 9);
}

TEST_F(DxTextHelpersTest, TextThatIsNoDateRaisesTheConversionError) {
  TDateTime date = 9;
  for (const char* bad : {"abc", "31.31.2024", "TODAY - 2", "1.2.3.4"}) {
    try {
      TextToDateEx(bad, date);
      ADD_FAILURE() << bad << " was read as a date";
    } catch (const EConvertError& e) {
      EXPECT_NE(std::string(e.what()).find("not a valid"), std::string::npos) << e.what();
    }
  }
  EXPECT_EQ(date, 9);
}

TEST_F(DxTextHelpersTest, ClassLibraryConversionIsStrict) {
  UseGermanDates();
  UseClassLibraryDateConversion = true;
  TDateTime date;
  ASSERT_TRUE(TextToDateEx("1.2.2024", date));
  EXPECT_EQ(date, EncodeDate(2024, 2, 1));
  EXPECT_THROW(TextToDateEx("1 2 2024", date), EConvertError) << "only the locale's separator";
  EXPECT_EQ(DateTimeToText(EncodeDate(2024, 2, 1)), "01.02.2024");
  FormatSettings.LongTimeFormat = "HH:mm";
  EXPECT_EQ(DateTimeToText(EncodeDate(2024, 2, 1) + 0.75), "01.02.2024 18:00");
}

TEST_F(DxTextHelpersTest, DatesAreShownInTheSystemFormatOrTheMaskFormat) {
  EXPECT_EQ(DateTimeToText(NullDate), "");
  EXPECT_EQ(DateToDisplayText(true, NullDate), "");
  const TDateTime date = EncodeDate(2024, 2, 1);
  char expected[100];
  SYSTEMTIME st = DateTimeToSystemTime(date);
  GetDateFormatA(GetThreadLocale(), DATE_SHORTDATE, &st, nullptr, expected, sizeof expected);
  EXPECT_EQ(DateTimeToText(date), expected);
  EXPECT_EQ(DateToDisplayText(false, date), expected);
  st = DateTimeToSystemTime(date + 0.5);
  char time[100];
  GetTimeFormatA(GetThreadLocale(), 0, &st, nullptr, time, sizeof time);
  EXPECT_EQ(DateTimeToText(date + 0.5), std::string(expected) + " " + time);
  // The system formats no year before 1601; the class library's text stands in.
  EXPECT_EQ(DateTimeToText(EncodeDate(1500, 3, 4)), DateTimeToStr(EncodeDate(1500, 3, 4)));
  FormatSettings.ShortDateFormat = "d/M/yyyy";
  FormatSettings.DateSeparator = '-';
  EXPECT_EQ(DoubleDigitDateFormat(), "dd/MM/yyyy");
  EXPECT_EQ(DateToDisplayText(true, EncodeDate(2024, 2, 1)), "01-02-2024");
}

TEST_F(DxTextHelpersTest, DateMaskFollowsTheShortDateFormat) {
  FormatSettings.ShortDateFormat = "dd/MM/yyyy";
  EXPECT_EQ(DateMaskFromFormat(), "!99/99/9999;1; ");
  FormatSettings.ShortDateFormat = "d.M.yy";
  EXPECT_EQ(DateMaskFromFormat(), "!99.99.99;1; ");
  FormatSettings.ShortDateFormat = "dd-MMM-yyyy";
  EXPECT_EQ(DateMaskFromFormat(), "!99-lll-9999;1; ");
  EXPECT_EQ(DoubleDigitDateFormat(), "dd-MMM-yyyy");
}

TEST_F(DxTextHelpersTest, DefaultCurrencyFormatPlacesTheSymbolByTheLocale) {
  // The test locale (en_US): "$", symbol first, two decimals.
  FormatSettings = LocaleFormatSettings();
  EXPECT_EQ(DefaultCurrencyDisplayFormat(), "$,0.00;-$,0.00");
  FormatSettings.CurrencyString = "EUR";
  FormatSettings.CurrencyFormat = 3;
  EXPECT_EQ(DefaultCurrencyDisplayFormat(), ",0.00 EUR;-,0.00 EUR");
  FormatSettings.CurrencyFormat = 1;
  FormatSettings.CurrencyDecimals = 0;
  FormatSettings.CurrencyString = "Fr.";
  EXPECT_EQ(DefaultCurrencyDisplayFormat(), ",0.Fr'.';-,0.Fr'.'") << "separators in the symbol are quoted";
  FormatSettings.CurrencyFormat = 2;
  FormatSettings.CurrencyString = "";
  EXPECT_EQ(DefaultCurrencyDisplayFormat(), ",0.;-,0.");
}

TEST(DxScreenToWindow, PointsCountFromTheWindowsOuterCorner) {
  TTestWindow window;
  RECT outer{};
  GetWindowRect(window.Handle(), &outer);
  POINT p{outer.left + 7, outer.top + 3};
  EXPECT_TRUE(ScreenToWindow(window.Handle(), p));
  EXPECT_EQ(p.x, 7);
  EXPECT_EQ(p.y, 3);
}

}  // namespace
