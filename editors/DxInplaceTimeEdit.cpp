// Decisions taken here:
// - The time masks name "0" as their blank, which is also a digit: the mask editor
//   would refuse every time with a zero in it as unfilled ("10:30:00") and hand on its
//   text without the zeros ("1:3:"). The editor keeps the masks and their blank (a
//   deleted digit shows as 0) and instead validates its text as a time and hands on the
//   whole text.
// - A value before 1899-12-30 is split into its day and a time that counts forward from
//   that day's midnight (-1.25 is day -1 at 06:00); putting them together again takes
//   the time away from the day, so the value comes back as it went in.
// - The text is read by its digit positions, so that the hours-only format reads too.
// - A digit typed on a separator lands on the next digit, and is checked there.
#include "editors/DxInplaceTimeEdit.h"

#include <algorithm>
#include <cmath>

#include "classlib/AliveGuard.h"
#include "classlib/Exceptions.h"
#include "classlib/FormatSettings.h"
#include "classlib/Strings.h"
#include "classlib/SysUtils.h"
#include "editors/DxExEdtr.h"

namespace {

constexpr double kMSecsPerDay = 86400000.0;

struct TTimeFormatRow {
  const char* DisplayFormat;  // the part letters: H hours, N minutes, S seconds
  const char* Picture;        // the same as a FormatDateTime picture
  const char* EditMask;
};

const TTimeFormatRow kFormats[] = {{"hh:nn:ss", "HH:mm:ss", "00:00:00;1;0"},
                                   {"hh:nn", "HH:mm", "00:00;1;0"},
                                   {"hh", "HH", "00;1;0"}};

int64_t Milliseconds(TDateTime time) { return int64_t(std::llround(time * kMSecsPerDay)); }

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// A loaded value as a real: numbers, or a text that is a number or a date and time.
double ValueAsReal(const Variant& value) {
  if (!value.IsString())
    return value.AsDouble(0);
  const std::string text = Trim(value.AsString());
  double real = 0;
  if (text.empty())
    return 0;
  if (TryStrToFloat(text, real, FormatSettings) || TryStrToFloat(text, real))
    return real;
  TDateTime date = 0;
  return TryLocaleStrToDateTime(text, date, FormatSettings) ? date : 0;
}

}  // namespace

const char* TdxInplaceTimeEdit::DisplayFormatOf(TdxTimeEditFormat format) { return kFormats[format].DisplayFormat; }

const char* TdxInplaceTimeEdit::EditMaskOf(TdxTimeEditFormat format) { return kFormats[format].EditMask; }

TdxInplaceTimeEdit::TdxInplaceTimeEdit(TComponent* AOwner) : TdxInplaceTimeEdit(AOwner, &MetaClass()) {}

TdxInplaceTimeEdit::TdxInplaceTimeEdit(TComponent* AOwner, const TdxInplaceEditClass* cls)
    : TdxInplaceSpinEdit(AOwner, cls) {
  SetEditMaskValue(EditMaskOf(FTimeEditFormat));
  SetValue(0);
}

void TdxInplaceTimeEdit::SetTimeEditFormat(TdxTimeEditFormat value) {
  if (value == FTimeEditFormat)
    return;
  FTimeEditFormat = value;
  SetEditMaskValue(EditMaskOf(value));
  SetValue(FTime);
}

// ---- Value --------------------------------------------------------------------------

void TdxInplaceTimeEdit::SetEditValue(const Variant& value) {
  const bool modified = GetModified();
  const double real = VarIsNull(value) ? 0 : ValueAsReal(value);
  double days = std::trunc(real);
  int64_t ms = int64_t(std::llround(std::fabs(real - days) * kMSecsPerDay));
  // A time that rounds up to midnight belongs to the next day (away from day 0).
  if (ms >= int64_t(kMSecsPerDay)) {
    ms -= int64_t(kMSecsPerDay);
    days += real < 0 ? -1 : 1;
  }
  FDatePart = days;
  SetValue(double(ms) / kMSecsPerDay);
  SetModified(modified);
}

void TdxInplaceTimeEdit::GetEditValue(Variant& value) {
  if (FTime == 0 && FDatePart == 0) {
    value = VarFromCurrency(0);
    return;
  }
  value = FDatePart < 0 ? FDatePart - FTime : FDatePart + FTime;
}

void TdxInplaceTimeEdit::GetText(std::string& text) { text = GetEditText(); }

bool TdxInplaceTimeEdit::ReadText(TDateTime& time) {
  const std::string text = GetEditText();
  const std::string mask = EditMaskOf(FTimeEditFormat);
  const size_t length = size_t(MaskOffsetToOffset(mask, int(mask.size())));
  if (text.size() != length)
    return false;
  int parts[3] = {0, 0, 0};
  for (size_t part = 0; part * 3 < length; ++part) {
    const char high = text[part * 3], low = text[part * 3 + 1];
    if (!IsDigit(high) || !IsDigit(low))
      return false;
    parts[part] = (high - '0') * 10 + (low - '0');
  }
  return TryEncodeTime(parts[0], parts[1], parts[2], 0, time);
}

double TdxInplaceTimeEdit::GetValue() {
  TDateTime time = 0;
  return ReadText(time) ? time : 0;
}

void TdxInplaceTimeEdit::SetValue(double value) {
  const TDxTimeConstants& times = DxTimeConstants();
  const int64_t ms = Milliseconds(value);
  if (ms < Milliseconds(times.StartOfDay) || ms > Milliseconds(times.EndOfDay))
    return;
  const int caret = CaretPosition();
  const int sectionStart = caret < 3 ? 1 : caret < 6 ? 4 : 7;
  FTime = double(ms) / kMSecsPerDay;
  const std::string text = FormatDateTime(kFormats[FTimeEditFormat].Picture, FTime, FormatSettings);
  if (text != GetEditText() && !Survives(this, [&] { SetEditText(text); }))
    return;  // the change's handler freed the editor
  if (HandleAllocated())
    SetCursor(sectionStart);
}

double TdxInplaceTimeEdit::GetIncrement() {
  const TDxTimeConstants& times = DxTimeConstants();
  switch (SectionAtCaret()) {
    case 'H': return times.OneHour;
    case 'N': return times.OneMinute;
    case 'S': return times.OneSecond;
    default: return 0;
  }
}

void TdxInplaceTimeEdit::ValidateEdit() {
  TDateTime time = 0;
  if (GetModified() && !ReadText(time)) {
    MarkValidationFailed();
    if (!GetComponentState().Contains(csDesigning) && HandleAllocated() && IsWindowVisible(GetHandle()))
      ::SetFocus(GetHandle());
    MessageBeep(0);
    throw EDBEditError(sdxMaskInvalidInput);
  }
  // Past the mask editor's test of unfilled positions, which takes every zero for a
  // blank, and the spin editor's reading of the text as a number: OnValidate decides.
  if (Survives(this, [&] { TdxInplaceTextEdit::ValidateEdit(); }) && GetModified())
    SetValue(GetValue());
}

// ---- Typing -------------------------------------------------------------------------

int TdxInplaceTimeEdit::CaretPosition() {
  int start = 0, end = 0;
  if (HandleAllocated())
    GetSel(start, end);
  return start;
}

char TdxInplaceTimeEdit::SectionAtCaret() {
  const std::string format = UpperCase(DisplayFormatOf(FTimeEditFormat));
  const int p = std::min(CaretPosition() + 1, GetMaxLength());
  if (p < 1 || p > int(format.size()))
    return 0;
  const char c = format[size_t(p - 1)];
  if (c == 'H' || c == 'N' || c == 'S')
    return c;
  return format[size_t(std::max(p - 1, 1) - 1)];
}

bool TdxInplaceTimeEdit::IsValidNumberChar(char key) {
  if (uint8_t(key) < 32)
    return true;
  int caret = CaretPosition();
  if (IsLiteralChar(GetEditMask(), caret + 1))
    ++caret;
  const auto within = [key](char low, char high) { return key >= low && key <= high; };
  switch (caret) {
    case 0: return within('0', '2');
    case 1: return GetEditText().substr(0, 1) != "2" || within('0', '3');
    case 3:
    case 6: return within('0', '5');
    default: return true;
  }
}
