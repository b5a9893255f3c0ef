#include "classlib/FormatSettings.h"

#include "classlib/Win.h"

TFormatSettings FormatSettings;

namespace {

// The locale's text for `type`, or `fallback` when the locale has none.
std::string LocaleText(LCTYPE type, const std::string& fallback) {
  char buffer[256];
  int length = GetLocaleInfoA(LOCALE_USER_DEFAULT, type, buffer, sizeof buffer);
  if (length <= 1) return fallback;
  return std::string(buffer, length - 1);
}

char LocaleChar(LCTYPE type, char fallback) {
  std::string text = LocaleText(type, std::string(1, fallback));
  return text[0];
}

int LocaleNumber(LCTYPE type, int fallback) {
  std::string text = LocaleText(type, "");
  if (text.empty() || text.size() > 2 || text[0] < '0' || text[0] > '9') return fallback;
  return std::stoi(text);
}

}  // namespace

TFormatSettings LocaleFormatSettings() {
  TFormatSettings s;
  s.DecimalSeparator = LocaleChar(LOCALE_SDECIMAL, s.DecimalSeparator);
  s.ThousandSeparator = LocaleChar(LOCALE_STHOUSAND, s.ThousandSeparator);
  s.DateSeparator = LocaleChar(LOCALE_SDATE, s.DateSeparator);
  s.TimeSeparator = LocaleChar(LOCALE_STIME, s.TimeSeparator);
  s.ShortDateFormat = LocaleText(LOCALE_SSHORTDATE, s.ShortDateFormat);
  s.LongTimeFormat = LocaleText(LOCALE_STIMEFORMAT, s.LongTimeFormat);
  s.TimeAMString = LocaleText(LOCALE_S1159, s.TimeAMString);
  s.TimePMString = LocaleText(LOCALE_S2359, s.TimePMString);
  s.CurrencyString = LocaleText(LOCALE_SCURRENCY, s.CurrencyString);
  s.CurrencyFormat = LocaleNumber(LOCALE_ICURRENCY, s.CurrencyFormat);
  s.CurrencyDecimals = LocaleNumber(LOCALE_ICURRDIGITS, s.CurrencyDecimals);
  for (int month = 0; month < 12; ++month) {
    s.LongMonthNames[month] = LocaleText(LOCALE_SMONTHNAME1 + month, s.LongMonthNames[month]);
    s.ShortMonthNames[month] = LocaleText(LOCALE_SABBREVMONTHNAME1 + month, s.ShortMonthNames[month]);
  }
  // The locale numbers its days from Monday (LOCALE_SDAYNAME1); ours start on Sunday.
  for (int day = 0; day < 7; ++day) {
    const int ours = (day + 1) % 7;
    s.ShortDayNames[ours] = LocaleText(LOCALE_SABBREVDAYNAME1 + day, s.ShortDayNames[ours]);
    s.LongDayNames[ours] = LocaleText(LOCALE_SDAYNAME1 + day, s.LongDayNames[ours]);
  }
  return s;
}

void GetFormatSettings() { FormatSettings = LocaleFormatSettings(); }
