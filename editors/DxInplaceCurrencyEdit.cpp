// Decisions taken here:
// - A typed character is accepted when the text stays a number or the start of one
//   ("-", ".", "1.", "1e", "1e-"), so that "1e5" and ".5" can be typed key by key; a
//   whole number must still lie in a real's range.
// - Bounds set anew re-bound the value shown, but leave an empty text empty: there is
//   no value to bound.
// - The value is written with the locale's decimal separator, the one typing and
//   reading take.
#include "editors/DxInplaceCurrencyEdit.h"

#include <algorithm>
#include <cmath>

#include "classlib/AliveGuard.h"
#include "classlib/FloatFormat.h"
#include "classlib/FormatSettings.h"
#include "classlib/SysUtils.h"
#include "editors/DxTextHelpers.h"

namespace {

enum TNumberShape { nsNone, nsStart, nsWhole };

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// Whether `text` is a whole number, the start of one, or neither: an optional sign,
// digits with at most one decimal separator, and after at least one digit an optional
// exponent ("E", an optional sign, digits).
TNumberShape NumberShape(const std::string& text, char point) {
  const size_t n = text.size();
  size_t i = 0, digits = 0;
  if (i < n && (text[i] == '+' || text[i] == '-'))
    ++i;
  for (; i < n && IsDigit(text[i]); ++i)
    ++digits;
  if (i < n && text[i] == point)
    for (++i; i < n && IsDigit(text[i]); ++i)
      ++digits;
  if (i == n)
    return digits > 0 ? nsWhole : nsStart;
  if (digits == 0 || (text[i] != 'e' && text[i] != 'E'))
    return nsNone;
  ++i;
  if (i < n && (text[i] == '+' || text[i] == '-'))
    ++i;
  size_t exponent = 0;
  for (; i < n && IsDigit(text[i]); ++i)
    ++exponent;
  if (i != n)
    return nsNone;
  return exponent > 0 ? nsWhole : nsStart;
}

std::string WithoutThousandSeparators(const std::string& text) {
  std::string plain = text;
  plain.erase(std::remove(plain.begin(), plain.end(), FormatSettings.ThousandSeparator), plain.end());
  return plain;
}

}  // namespace

TdxInplaceCurrencyEdit::TdxInplaceCurrencyEdit(TComponent* AOwner) : TdxInplaceCurrencyEdit(AOwner, &MetaClass()) {}

TdxInplaceCurrencyEdit::TdxInplaceCurrencyEdit(TComponent* AOwner, const TdxInplaceEditClass* cls)
    : TdxInplaceMaskEdit(AOwner, cls) {
  SetControlStyle(GetControlStyle() - TControlStyle{csSetCaption});
  FDisplayFormat = DefaultDisplayFormat();
}

bool TdxInplaceCurrencyEdit::TextToValue(const std::string& text, double& value) {
  double result = 0;
  if (!TryStrToFloat(WithoutThousandSeparators(text), result, FormatSettings))
    return false;
  if (result != 0 && (std::fabs(result) < 5.0e-324 || std::fabs(result) > 1.7e308))
    return false;
  value = result;
  return true;
}

// ---- Value --------------------------------------------------------------------------

double TdxInplaceCurrencyEdit::GetValue() {
  const std::string text = TControl::GetText();
  if (text.empty())
    return 0;
  double value = 0;
  return TextToValue(text, value) ? value : FBounds.MinValue;
}

void TdxInplaceCurrencyEdit::SetValue(double value) {
  const std::string text = FloatToStrF(FBounds.Bounded(value), ffGeneral, 15, 0, FormatSettings);
  if (text == TControl::GetText())
    return;
  const bool modified = GetModified();
  SetText(text);
  SetModified(modified);
}

void TdxInplaceCurrencyEdit::SetMaxValue(double value) {
  if (FBounds.SetMax(value))
    Rebound();
}

void TdxInplaceCurrencyEdit::SetMinValue(double value) {
  if (FBounds.SetMin(value))
    Rebound();
}

void TdxInplaceCurrencyEdit::SetMinMaxValues(double minValue, double maxValue) {
  FBounds.Set(minValue, maxValue);
  Rebound();
}

void TdxInplaceCurrencyEdit::Rebound() {
  if (!TControl::GetText().empty())
    SetValue(GetValue());
}

void TdxInplaceCurrencyEdit::AssignMinMaxValues(double minValue, double maxValue) {
  MarkAssigned(evMaxValue);
  MarkAssigned(evMinValue);
  SetMinMaxValues(minValue, maxValue);
}

std::string TdxInplaceCurrencyEdit::DefaultDisplayFormat() { return DefaultCurrencyDisplayFormat(); }

void TdxInplaceCurrencyEdit::SetDisplayFormat(const std::string& value) {
  MarkAssigned(evDisplayFormat);
  SetDisplayFormatValue(value);
}

void TdxInplaceCurrencyEdit::SetDisplayFormatValue(const std::string& value) {
  if (value == FDisplayFormat)
    return;
  FDisplayFormat = value;
  Invalidate();
}

void TdxInplaceCurrencyEdit::RestoreDefaults() {
  inherited::RestoreDefaults();
  SetDisplayFormatValue(DefaultDisplayFormat());
  SetMinMaxValues(DefaultMinValue(), DefaultMaxValue());
}

void TdxInplaceCurrencyEdit::RefreshLinkValues() {
  inherited::RefreshLinkValues();
  const TdxEditAssignedValues assigned = GetAssignedValues();
  if (!assigned.Contains(evDisplayFormat))
    SetDisplayFormatValue(DefaultDisplayFormat());
  RefreshValueBounds(*this, assigned, DefaultMinValue(), DefaultMaxValue());
}

void TdxInplaceCurrencyEdit::GetEditValue(Variant& value) {
  if (FAllowEmpty && TControl::GetText().empty()) {
    value = Variant::Null();
    return;
  }
  inherited::GetEditValue(value);
}

void TdxInplaceCurrencyEdit::GetDisplayValue(Variant& value, bool forPainting) {
  inherited::GetDisplayValue(value, forPainting);
  if (FDisplayFormat.empty())
    return;
  const std::string text = VarToStr(value);
  if (text.empty() && FAllowEmpty) {
    value = FEmptyText;
    return;
  }
  double number = 0;
  if (!text.empty() && !TextToValue(text, number))
    number = 0;
  value = FormatFloat(FDisplayFormat, number, FormatSettings);
}

void TdxInplaceCurrencyEdit::ValidateEdit() {
  if (!Survives(this, [&] { inherited::ValidateEdit(); }) || !GetModified())
    return;
  if (FAllowEmpty && TControl::GetText().empty())
    return;
  SetValue(GetValue());
}

// ---- Typing -------------------------------------------------------------------------

bool TdxInplaceCurrencyEdit::IsValidNumberChar(char key) {
  const char point = FormatSettings.DecimalSeparator;
  const bool allowed = IsDigit(key) || key == '+' || key == '-' || key == 'E' || key == 'e' || key == point ||
                       (FUseThousandSeparator && key == FormatSettings.ThousandSeparator);
  if (!allowed)
    return false;
  int start = 0, end = 0;
  if (HandleAllocated())
    GetSel(start, end);
  std::string candidate = GetEditText();
  start = std::clamp(start, 0, int(candidate.size()));
  end = std::clamp(end, start, int(candidate.size()));
  candidate.erase(size_t(start), size_t(end - start));
  if (key == '-' && candidate.empty())
    return true;
  candidate.insert(size_t(start), 1, key);
  const size_t separator = candidate.find(point);
  if (separator != std::string::npos) {
    const size_t exponent = candidate.find_first_of("eE", separator + 1);
    const size_t decimals = (exponent != std::string::npos ? exponent : candidate.size()) - separator - 1;
    if (int(decimals) > FDecimalPlaces)
      return false;
  }
  const std::string plain = WithoutThousandSeparators(candidate);
  switch (NumberShape(plain, point)) {
    case nsStart: return true;
    case nsWhole: {
      double value = 0;
      return TextToValue(candidate, value);
    }
    default: return false;
  }
}

void TdxInplaceCurrencyEdit::KeyPress(char& key) {
  const bool thousands = FUseThousandSeparator && key == FormatSettings.ThousandSeparator;
  if (!thousands && (key == ',' || key == '.'))
    key = FormatSettings.DecimalSeparator;
  if (uint8_t(key) >= 32 && !IsValidNumberChar(key)) {
    key = 0;
    MessageBeep(0);
    return;
  }
  inherited::KeyPress(key);
}

// ---- Messages -----------------------------------------------------------------------

void TdxInplaceCurrencyEdit::WMPaste(TMessage& message) {
  if (!CanEditText())
    return;
  const std::string old = GetEditText();
  const bool modified = GetModified();
  inherited::Dispatch(message);
  double value = 0;
  if (TextToValue(GetEditText(), value))
    return;
  SetEditText(old);
  SetModified(modified);
  if (HandleAllocated())
    SelectAll();
}

void TdxInplaceCurrencyEdit::Dispatch(TMessage& message) {
  switch (message.Msg) {
    case WM_PASTE: WMPaste(message); return;
    case CM_WININICHANGE:
      inherited::Dispatch(message);
      if (GetAssignedValues().Contains(evDisplayFormat))
        return;
      GetFormatSettings();
      SetDisplayFormatValue(DefaultDisplayFormat());
      return;
  }
  inherited::Dispatch(message);
}
