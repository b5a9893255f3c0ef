// The locale's number, currency, date and time conventions, as one writable record.
//
// `FormatSettings` starts with neutral values ("." decimal, "," thousands, US date
// order) and `GetFormatSettings` fills it from the user's locale; the plug-in does that
// at start-up and again when the system announces a settings change. Tests write the
// fields directly. Text-to-number and number-to-text conversions use "." unless they
// are handed a TFormatSettings explicitly (see SysUtils.h, FloatFormat.h).
#pragma once

#include <array>
#include <string>

struct TFormatSettings {
  char DecimalSeparator = '.';
  char ThousandSeparator = ',';
  char DateSeparator = '/';
  char TimeSeparator = ':';
  // Windows date and time pictures ("M/d/yyyy", "h:mm:ss tt"), as the locale gives them.
  std::string ShortDateFormat = "M/d/yyyy";
  std::string LongTimeFormat = "h:mm:ss tt";
  // The designators of the morning and afternoon hours of the 12-hour clock.
  std::string TimeAMString = "AM";
  std::string TimePMString = "PM";
  // A two-digit year is read as the year within this many years before the current
  // year and the years after it (50: 1975 to 2074 in 2025).
  int TwoDigitYearCenturyWindow = 50;
  std::string CurrencyString = "$";
  // Position of the currency symbol: 0 "$1", 1 "1$", 2 "$ 1", 3 "1 $".
  int CurrencyFormat = 0;
  int CurrencyDecimals = 2;
  // Index 0 is January.
  std::array<std::string, 12> LongMonthNames{"January", "February", "March",     "April",
                                             "May",     "June",     "July",      "August",
                                             "September", "October", "November", "December"};
  std::array<std::string, 12> ShortMonthNames{"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                              "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
  // Index 0 is Sunday, so a day's name is ShortDayNames[DayOfWeek(date) - 1].
  std::array<std::string, 7> ShortDayNames{"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
  std::array<std::string, 7> LongDayNames{"Sunday",   "Monday", "Tuesday", "Wednesday",
                                          "Thursday", "Friday", "Saturday"};
};

// The process-wide settings; writable.
extern TFormatSettings FormatSettings;

// The conventions of the user's default locale; fields the locale does not answer keep
// their neutral values.
TFormatSettings LocaleFormatSettings();

// Reloads FormatSettings from the user's default locale (start-up and settings changes).
void GetFormatSettings();
