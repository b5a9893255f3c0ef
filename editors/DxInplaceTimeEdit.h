// TdxInplaceTimeEdit: a spin editor for a time of day, typed through a fixed edit mask
// of its format (hours, minutes and seconds; hours and minutes; hours). The spin step
// is one hour, minute or second by the part of the time under the caret, and stays
// within 00:00:00 .. 23:59:59. The day of a loaded value is set aside and added back
// when the value is read.
//
// The masks' blank is the digit "0", so a zero is a filled position: the editor's text
// is always a whole time, validated as a time and handed on whole ("10:30:00").
#pragma once

#include <cstdint>
#include <string>

#include "classlib/DateUtils.h"
#include "editors/DxInplaceSpinEdit.h"

enum TdxTimeEditFormat : uint8_t { tfHourMinSec, tfHourMin, tfHour };

class TdxInplaceTimeEdit : public TdxInplaceSpinEdit {
  KIVO_CLASS(TdxInplaceTimeEdit, TdxInplaceSpinEdit)
 public:
  explicit TdxInplaceTimeEdit(TComponent* AOwner);

  // The display format of a format ("hh:nn:ss"...) and its edit mask ("00:00:00;1;0"...).
  static const char* DisplayFormatOf(TdxTimeEditFormat format);
  static const char* EditMaskOf(TdxTimeEditFormat format);

  // ---- Overrides
  // Null or an empty text loads 00:00:00 on day 0; a number or a text (a number, a
  // time or a date and time in the locale's form) loads its time of day and keeps its
  // day; a text that is neither loads 0. The modified flag stays as it was.
  void SetEditValue(const Variant& value) override;
  // The currency 0 when both the day and the time are 0; otherwise the day and the time
  // as one real (for days before 1899-12-30 the time counts back from the day's number).
  void GetEditValue(Variant& value) override;
  // The whole edit text.
  void GetText(std::string& text) override;
  using TdxInplaceSpinEdit::GetText;
  double GetIncrement() override;
  // The edit text read as a time; 0 when it is none.
  double GetValue() override;
  // Ignores values outside 00:00:00 .. 23:59:59; otherwise shows the time and keeps the
  // caret in the part it was in.
  void SetValue(double value) override;
  bool IsValidNumberChar(char key) override;
  // Raises EDBEditError when the modified text is no time; then OnValidate decides.
  void ValidateEdit() override;

  TdxTimeEditFormat GetTimeEditFormat() const { return FTimeEditFormat; }
  void SetTimeEditFormat(TdxTimeEditFormat value);
  TDateTime GetTime() const { return FTime; }
  double GetDatePart() const { return FDatePart; }

 protected:
  TdxInplaceTimeEdit(TComponent* AOwner, const TdxInplaceEditClass* cls);
  void GetDefaultEditMask(std::string& mask) override { mask = EditMaskOf(FTimeEditFormat); }

 private:
  // "H", "N", "S" or another character: the part of the format under the caret.
  char SectionAtCaret();
  // The edit text as a time, by the digit positions of the mask; false when it is none.
  bool ReadText(TDateTime& time);
  int CaretPosition();

  double FDatePart = 0;
  TDateTime FTime = 0;
  TdxTimeEditFormat FTimeEditFormat = tfHourMinSec;
};
