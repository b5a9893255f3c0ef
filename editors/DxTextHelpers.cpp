// Decisions taken here:
// - The day count after a keyword keeps its sign and is added: "TODAY-2" is two days
//   back. Subtracting the signed count for a "-" would have gone two days ahead.
// - An empty keyword (a translation left blank) matches nothing; matched by its first
//   zero characters it would have turned every text into that keyword's date.
// - The system formats dates from 1601 on only; for earlier dates DateTimeToText shows
//   the class library's text instead of an empty one, which would read as "no date".
#include "editors/DxTextHelpers.h"

#include <algorithm>
#include <cmath>

#include "classlib/FormatSettings.h"
#include "classlib/Strings.h"
#include "classlib/SysUtils.h"

TSmartTextToDateHook SmartTextToDateHook = nullptr;
bool UseClassLibraryDateConversion = false;

const TDxDateKeywords& DxDefaultDateKeywords() {
  static const TDxDateKeywords words = {"TODAY",  "YESTERDAY", "TOMORROW", "SUNDAY", "MONDAY",  "TUESDAY", "WEDNESDAY",
                                        "THURSDAY", "FRIDAY",  "SATURDAY", "FIRST",  "SECOND",  "THIRD",   "FOURTH",
                                        "FIFTH",  "SIXTH",     "SEVENTH",  "BOM",    "EOM",     "NOW"};
  return words;
}

TDxDateKeywords& DxDateKeywords() {
  static TDxDateKeywords words = DxDefaultDateKeywords();
  return words;
}

bool ScreenToWindow(HWND wnd, POINT& p) {
  const bool converted = ScreenToClient(wnd, &p) != 0;
  RECT window{};
  GetWindowRect(wnd, &window);
  POINT origin{window.left, window.top};
  ScreenToClient(wnd, &origin);
  p.x -= origin.x;
  p.y -= origin.y;
  return converted;
}

// ---- Date formats -------------------------------------------------------------------

std::string DateMaskFromFormat() {
  const std::string& format = FormatSettings.ShortDateFormat;
  std::string mask = "!";
  for (size_t i = 0; i < format.size();) {
    const char c = format[i];
    size_t run = 1;
    while (i + run < format.size() && format[i + run] == c)
      ++run;
    if (c == 'd' || c == 'M' || c == 'y')
      mask += run < 3 ? "99" : c == 'y' ? "9999" : "lll";
    else
      mask.append(run, c);
    i += run;
  }
  return mask + ";1; ";
}

std::string DoubleDigitDateFormat() {
  const std::string& format = FormatSettings.ShortDateFormat;
  std::string result;
  for (size_t i = 0; i < format.size();) {
    const char c = format[i];
    size_t run = 1;
    while (i + run < format.size() && format[i + run] == c)
      ++run;
    result.append(run == 1 && (c == 'd' || c == 'M') ? 2 : run, c);
    i += run;
  }
  return result;
}

// ---- Text to date -------------------------------------------------------------------

bool SmartTextToDate(const std::string& text, TDateTime& date) { return SmartTextToDate(text, date, Now()); }

bool SmartTextToDate(const std::string& text, TDateTime& date, TDateTime now) {
  const TDxDateKeywords& words = DxDateKeywords();
  int keyword = -1;
  for (int k = 0; k < dkKeywordCount && keyword < 0; ++k) {
    const std::string& word = words[size_t(k)];
    if (!word.empty() && text.size() >= word.size() && AnsiSameText(std::string_view(text).substr(0, word.size()), word))
      keyword = k;
  }
  if (keyword < 0)
    return SmartTextToDateHook && SmartTextToDateHook(text, date);
  const TDateTime today = std::trunc(now);
  const int weekday = DayOfWeek(today);
  uint16_t year, month, day;
  DecodeDate(today, year, month, day);
  TDateTime result = today;
  if (keyword == dkYesterday) {
    result = today - 1;
  } else if (keyword == dkTomorrow) {
    result = today + 1;
  } else if (keyword >= dkSunday && keyword <= dkSaturday) {
    // That weekday on or after today.
    const int n = keyword - dkSunday + 1 - weekday;
    result = today + (n < 0 ? n + 7 : n);
  } else if (keyword >= dkFirst && keyword <= dkSeventh) {
    // The k-th day of the current week, which starts on Sunday.
    result = today + (keyword - dkFirst + 1) - weekday;
  } else if (keyword == dkBOM) {
    result = EncodeDate(year, month, 1);
  } else if (keyword == dkEOM) {
    result = EncodeDate(year, month, DaysInAMonth(year, month));
  } else if (keyword == dkNow) {
    result = now;
  }
  const std::string rest = Trim(std::string_view(text).substr(words[size_t(keyword)].size()));
  if (rest.size() >= 2 && (rest[0] == '+' || rest[0] == '-'))
    result += StrToInt(rest);
  date = result;
  return true;
}

bool TextToDateEx(const std::string& text, TDateTime& date) {
  std::string s = Trim(text);
  if (s.empty())
    return false;
  if (!UseClassLibraryDateConversion && FormatSettings.DateSeparator == '.') {
    // So that the lenient reading does not take "1.2.2024" for a decimal number.
    int replaced = 0;
    for (size_t i = 0; i < s.size() && replaced < 2; ++i)
      if (s[i] == '.') {
        s[i] = ' ';
        ++replaced;
      }
  }
  if (SmartTextToDate(s, date))
    return true;
  date = UseClassLibraryDateConversion ? StrToDateTime(s) : LocaleStrToDateTime(s);
  return true;
}

// ---- Date to text -------------------------------------------------------------------

std::string DateTimeToText(TDateTime date) {
  if (date == NullDate)
    return {};
  if (UseClassLibraryDateConversion)
    return DateTimeToStr(date);
  const SYSTEMTIME st = DateTimeToSystemTime(date);
  char buffer[100];
  if (GetDateFormatA(GetThreadLocale(), DATE_SHORTDATE, &st, nullptr, buffer, sizeof buffer) <= 0)
    return DateTimeToStr(date);
  std::string text = buffer;
  const bool hasTime = st.wHour || st.wMinute || st.wSecond || st.wMilliseconds;
  if (hasTime && GetTimeFormatA(GetThreadLocale(), 0, &st, nullptr, buffer, sizeof buffer) > 0)
    text += std::string(" ") + buffer;
  return text;
}

std::string DateToDisplayText(bool useFormat, TDateTime date) {
  if (date == NullDate)
    return {};
  if (!useFormat)
    return DateTimeToText(date);
  return FormatDateTime(DoubleDigitDateFormat(), date);
}

// ---- Currency -----------------------------------------------------------------------

std::string DefaultCurrencyDisplayFormat() {
  std::string s = ",0." + std::string(size_t(std::max(FormatSettings.CurrencyDecimals, 0)), '0');
  std::string currency;
  for (char c : FormatSettings.CurrencyString) {
    if (c == ',' || c == '.')
      currency += std::string("'") + c + "'";
    else
      currency += c;
  }
  if (!currency.empty()) {
    switch (FormatSettings.CurrencyFormat) {
      case 0: s = currency + s; break;
      case 1: s = s + currency; break;
      case 2: s = currency + " " + s; break;
      case 3: s = s + " " + currency; break;
      default: break;
    }
  }
  return s + ";-" + s;
}
