// TdxInplaceDateEdit: the in-place editor of dates. A drop-down editor whose popup is
// the calendar (TdxGridDatePopup, made on the first drop-down, owned and reused); it
// keeps its value as a TDateTime, NullDate for no date, reads typed text with
// TextToDateEx (keywords such as "TODAY+3", then the locale's dates) and shows dates
// with DateToDisplayText. With UseEditMask the text is typed through a mask built from
// the locale's short date format, rebuilt when the system's settings change.
//
// Typed text becomes a date only in ValidateEdit (or through a pick in the calendar):
// text that is no date becomes the DateOnError date, or with DateValidation raises an
// Exception "Invalid Date" (the beep sounds, the editor keeps the focus and its value).
// OnDateValidateInput may rewrite the date, the message and the verdict. While the
// container hides the editor, nothing raises: invalid text is dropped, a valid date kept.
#pragma once

#include <cstdint>
#include <string>

#include "classlib/DateUtils.h"
#include "classlib/Set.h"
#include "editors/DxInplaceDropDownEdit.h"

class TdxGridDatePopup;

enum TDateButton : uint8_t { btnToday, btnClear };
using TDateButtons = TSet<TDateButton>;
enum TDateOnError : uint8_t { deToday, deNull };

// (Sender, const AText, var ADate, var AMessage, var AError).
using TdxDateValidateInput =
    TEvent<TObject* /*Sender*/, const std::string& /*AText*/, TDateTime& /*ADate*/, std::string& /*AMessage*/,
           bool& /*AError*/>;

class TdxInplaceDateEdit : public TdxInplaceDropDownEdit {
  KIVO_CLASS(TdxInplaceDateEdit, TdxInplaceDropDownEdit)
 public:
  explicit TdxInplaceDateEdit(TComponent* AOwner);
  ~TdxInplaceDateEdit() override;

  // ---- Value
  // Null, an empty text or an empty variant give NullDate; anything else is read as a
  // date (VarToDateTime). No change is reported while loading.
  void SetEditValue(const Variant& value) override;
  // Null for NullDate, else a date-typed variant.
  void GetEditValue(Variant& value) override;
  void ValidateEdit() override;
  bool ValidateOnEnter() override { return true; }
  bool KeepEditingOnClick() override { return false; }
  // Opens the calendar on the month of the text (today when the text is no date).
  void DropDown() override;
  // Calls OnDateValidateInput with the editor as Sender.
  virtual void DoDateValidateInput(const std::string& text, TDateTime& date, std::string& message, bool& error);

  // ---- Properties
  TDateTime GetDate() const { return FDate; }
  // Stores the date and shows it (OnDateChange when it changed).
  void SetDate(TDateTime value) { StoreDate(value); }
  // The date of the last text that parsed when the calendar opened.
  TDateTime GetLastParsedDate() const { return FLastDate; }
  TDateButtons GetDateButtons() const { return FDateButtons; }
  void SetDateButtons(TDateButtons value) { FDateButtons = value; }
  TDateOnError GetDateOnError() const { return FDateOnError; }
  void SetDateOnError(TDateOnError value) { FDateOnError = value; }
  bool GetDateValidation() const { return FDateValidation; }
  void SetDateValidation(bool value) { FDateValidation = value; }
  bool GetSaveTime() const { return FSaveTime; }
  void SetSaveTime(bool value) { FSaveTime = value; }
  bool GetUseEditMask() const { return FUseEditMask; }
  // Stores a changed value and builds the mask again.
  void SetUseEditMask(bool value);
  // The user changed the text since a date was last stored.
  bool GetTextEdited() const { return FTextEdited; }
  // The calendar, or null before the first drop-down.
  TdxGridDatePopup* GetPopup() const { return FPopup; }

  void Dispatch(TMessage& message) override;

  TNotifyEvent OnDateChange;
  TdxDateValidateInput OnDateValidateInput;

 protected:
  TdxInplaceDateEdit(TComponent* AOwner, const TdxInplaceEditClass* cls);
  void Change() override;

 private:
  // The internal date setter: stores, shows the date's text, clears the text-edited
  // flag and reports a change unless loading.
  void StoreDate(TDateTime value);
  // Stores a date that differs or after the user typed, when the container is handing
  // over values or the editor may modify.
  void GuardedStoreDate(TDateTime value);
  // Puts a text into the window, laid into the mask when there is one.
  void SetDisplayText(const std::string& text);
  // The edit text is the mask with every position blank.
  bool IsBlankMaskText(const std::string& text);
  // Invalid text while the container hides the editor: back to the text editing began
  // with, then emptied, and nothing stored.
  void DropTypedText();
  void RebuildMask();
  void DateClick(TObject* sender);
  void CMWinIniChange(TMessage& message);

  TDateTime FDate;
  TDateTime FLastDate;
  TDateButtons FDateButtons{btnToday, btnClear};
  TDateOnError FDateOnError = deNull;
  TdxGridDatePopup* FPopup = nullptr;
  bool FDateValidation = false;
  bool FSaveTime = true;
  bool FTextEdited = false;
  bool FUseEditMask = false;
};
