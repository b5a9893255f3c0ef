// Text helpers the editor kinds share: the date editor's edit mask and display format
// built from the locale's short date format, keyword dates ("TODAY+3", "EOM"), text to
// date and date to text, the currency editors' default display format, and the
// conversion of a screen point to window coordinates.
//
// The keyword words are a writable table: built-in English words, replaced by the
// localised ones when the editor module starts (DxExEdtr.h). Text the conversions cannot
// read raises EConvertError to the caller.
#pragma once

#include <array>
#include <string>

#include "classlib/DateUtils.h"
#include "classlib/Win.h"

// The date editor's "no date".
constexpr TDateTime NullDate = -700000.0;

// The date keywords, in the order of the table.
enum TDxDateKeyword {
  dkToday,
  dkYesterday,
  dkTomorrow,
  dkSunday,
  dkMonday,
  dkTuesday,
  dkWednesday,
  dkThursday,
  dkFriday,
  dkSaturday,
  dkFirst,
  dkSecond,
  dkThird,
  dkFourth,
  dkFifth,
  dkSixth,
  dkSeventh,
  dkBOM,
  dkEOM,
  dkNow,
  dkKeywordCount
};
using TDxDateKeywords = std::array<std::string, dkKeywordCount>;

// The writable keyword table SmartTextToDate matches against.
TDxDateKeywords& DxDateKeywords();
// The built-in English words ("TODAY" ... "NOW").
const TDxDateKeywords& DxDefaultDateKeywords();

// Asked for a text that starts with no keyword: (Text, var Date), True when it read a date.
using TSmartTextToDateHook = bool (*)(const std::string& text, TDateTime& date);
extern TSmartTextToDateHook SmartTextToDateHook;
// True: texts are read with the class library's strict StrToDateTime and dates shown
// with DateTimeToStr; False (the default): the locale's lenient reading and the system's
// date and time formats.
extern bool UseClassLibraryDateConversion;

// A screen point made relative to the top-left corner of the window (not of its client
// area); False when the point could not be converted.
bool ScreenToWindow(HWND wnd, POINT& p);

// The date editor's edit mask from FormatSettings.ShortDateFormat: "!", then for each run
// of "d", "M" or "y" "99" (fewer than three letters), "lll" (three or more "d" or "M") or
// "9999" (three or more "y"), other characters copied, and ";1; " ("dd/MM/yyyy" gives
// "!99/99/9999;1; ").
std::string DateMaskFromFormat();
// ShortDateFormat with every lone "d" and "M" doubled ("d/M/yyyy" gives "dd/MM/yyyy").
std::string DoubleDigitDateFormat();

// A keyword date: the text starts with a keyword (without regard to case) and may go on
// with a signed day count ("today+3", "today -2"); other text after the keyword is
// ignored. Without a keyword the hook decides, else False. The day count is read with
// StrToInt, which raises EConvertError for text such as "- 2". `now` is the moment the
// keywords refer to (the current time in the first form).
bool SmartTextToDate(const std::string& text, TDateTime& date);
bool SmartTextToDate(const std::string& text, TDateTime& date, TDateTime now);
// A typed date: trimmed (empty gives False), a keyword date, or else the text read as a
// date and time (see UseClassLibraryDateConversion); text that is no date raises
// EConvertError. With "." as the DateSeparator its first two dots become blanks first.
bool TextToDateEx(const std::string& text, TDateTime& date);

// A date as the system shows it (the thread locale's short date, and its time when the
// date has a time of day); NullDate gives "".
std::string DateTimeToText(TDateTime date);
// NullDate gives ""; with `useFormat` the date in DoubleDigitDateFormat (the text the date
// mask edits), else DateTimeToText.
std::string DateToDisplayText(bool useFormat, TDateTime date);

// The locale's currency picture for FormatFloat: ",0." and CurrencyDecimals zeros, with
// CurrencyString placed by CurrencyFormat, then ";-" and the same again ("$,0.00;-$,0.00").
std::string DefaultCurrencyDisplayFormat();
