// Decisions taken here:
// - Text that is no date raises EConvertError in TextToDateEx; the validation and the
//   drop-down catch it: the text counts as invalid, and the calendar opens on today.
// - While the container hides the editor, only invalid text (or a date the validation
//   handler refuses) is dropped; a valid typed date is stored as on any other exit.
// - Blank text (only blanks, or the blank mask) is no date and no error.
// - The calendar keeps the time of day of the last parsed date only when there is one.
#include "editors/DxInplaceDateEdit.h"

#include <cmath>

#include "classlib/AliveGuard.h"
#include "classlib/FormatSettings.h"
#include "classlib/Strings.h"
#include "editors/DxContainer.h"
#include "editors/DxExEdtr.h"
#include "editors/DxGrDate.h"
#include "editors/DxGridDatePopup.h"
#include "editors/DxMaskEngine.h"
#include "editors/DxTextHelpers.h"

namespace {

// The error text when the module's string table has none.
const char* const kInvalidDate = "Invalid Date";

// Raises a flag for a scope and puts back what it was.
class TRaisedFlag {
 public:
  explicit TRaisedFlag(bool& flag) : FFlag(flag), FOld(flag) { FFlag = true; }
  ~TRaisedFlag() { FFlag = FOld; }
  TRaisedFlag(const TRaisedFlag&) = delete;
  TRaisedFlag& operator=(const TRaisedFlag&) = delete;

 private:
  bool& FFlag;
  bool FOld;
};

// TextToDateEx without the exception: false for text that is no date.
bool TryTextToDate(const std::string& text, TDateTime& date) {
  try {
    return TextToDateEx(text, date);
  } catch (const EConvertError&) {
    return false;
  }
}

}  // namespace

TdxInplaceDateEdit::TdxInplaceDateEdit(TComponent* AOwner) : TdxInplaceDateEdit(AOwner, &MetaClass()) {}

TdxInplaceDateEdit::TdxInplaceDateEdit(TComponent* AOwner, const TdxInplaceEditClass* cls)
    : TdxInplaceDropDownEdit(AOwner, cls), FDate(NullDate), FLastDate(NullDate) {
  TControlStyle style = GetControlStyle();
  style.Exclude(csSetCaption);
  SetControlStyle(style);
  // The calendar takes the focus and handles its own keys.
  ForwardKeysToPopup = false;
}

TdxInplaceDateEdit::~TdxInplaceDateEdit() {
  TdxGridDatePopup* popup = FPopup;
  FPopup = nullptr;
  SetPopupControl(nullptr);
  delete popup;
}

// ---- Value --------------------------------------------------------------------------

void TdxInplaceDateEdit::SetEditValue(const Variant& value) {
  TRaisedFlag loading(LoadingValue);
  if (VarIsNull(value) || (value.IsString() && value.AsString().empty()))
    StoreDate(NullDate);
  else
    StoreDate(VarToDateTime(value));
}

void TdxInplaceDateEdit::GetEditValue(Variant& value) {
  value = FDate == NullDate ? Variant::Null() : VarFromDateTime(FDate);
}

void TdxInplaceDateEdit::SetDisplayText(const std::string& text) {
  if (!IsMasked()) {
    SetEditText(text);
    return;
  }
  // The text is laid position by position into the mask it was formatted for.
  const std::string& mask = GetEditMask();
  std::string edit = FormatMaskText(mask, MaskTextValue(mask, text, GetMaskBlank(), false), GetMaskBlank());
  if (int(edit.size()) > GetMaxChars())
    edit.resize(size_t(GetMaxChars()));
  SetEditText(edit);
}

bool TdxInplaceDateEdit::IsBlankMaskText(const std::string& text) {
  return IsMasked() && text == FormatMaskText(GetEditMask(), "", GetMaskBlank());
}

void TdxInplaceDateEdit::StoreDate(TDateTime value) {
  const TDateTime old = FDate;
  FDate = value;
  if (!Survives(this, &TdxInplaceDateEdit::SetDisplayText, DateToDisplayText(IsMasked(), value)))
    return;  // the change's handler freed the editor
  FTextEdited = false;
  if (!LoadingValue && value != old)
    OnDateChange(this);
}

void TdxInplaceDateEdit::GuardedStoreDate(TDateTime value) {
  if (value == FDate && !FTextEdited)
    return;
  TCustomdxContainer* container = Container();
  if ((container && container->GetLockFlag()) || CanModify())
    StoreDate(value);
}

void TdxInplaceDateEdit::Change() {
  if (LoadingValue)
    return;
  if (Survives(this, [&] { inherited::Change(); }))
    FTextEdited = true;
}

// ---- Validation ---------------------------------------------------------------------

void TdxInplaceDateEdit::DropTypedText() {
  Reset();
  SetDisplayText("");
}

void TdxInplaceDateEdit::ValidateEdit() {
  if (GetModified()) {
    const TDateTime fallback = FDateOnError == deNull ? NullDate : ::Date();
    const std::string text = GetEditText();
    TDateTime date = fallback;
    bool valid = true;
    if (IsBlankMaskText(text) || Trim(text).empty())
      date = NullDate;
    else if (!TryTextToDate(text, date)) {
      valid = false;
      date = fallback;
    }
    if (FDateValidation || !valid) {
      if (HidingEditor && !valid) {
        DropTypedText();
        return;
      }
      bool error = !valid && FDateValidation;
      std::string message = DxDateErrorText().empty() ? std::string(kInvalidDate) : DxDateErrorText();
      if (!Survives(this, &TdxInplaceDateEdit::DoDateValidateInput, text, date, message, error)) {
        if (error)
          throw Exception(message);
        return;
      }
      if (error) {
        if (HidingEditor) {
          DropTypedText();
          return;
        }
        MarkValidationFailed();
        if (HandleAllocated() && IsWindowVisible(GetHandle()))
          ::SetFocus(GetHandle());
        MessageBeep(0);
        throw Exception(message);
      }
    }
    if (!Survives(this, &TdxInplaceDateEdit::GuardedStoreDate, date))
      return;
    SetModified(true);
  }
  inherited::ValidateEdit();
}

void TdxInplaceDateEdit::DoDateValidateInput(const std::string& text, TDateTime& date, std::string& message,
                                             bool& error) {
  OnDateValidateInput(this, text, date, message, error);
}

// ---- Calendar -----------------------------------------------------------------------

void TdxInplaceDateEdit::DropDown() {
  if (GetDroppedDown() || !CanEditText())
    return;
  if (!FPopup) {
    FPopup = new TdxGridDatePopup(nullptr);
    FPopup->SetVisible(false);
  }
  FPopup->SetOwnerEdit(this);
  SetPopupControl(FPopup);
  if (!Survives(this, &TdxInplaceDateEdit::DoDropDown))
    return;
  FPopup->SetPopupBorder(GetPopupBorder());
  FPopup->SetShadow(GetStyle()->GetShadow());
  FPopup->SetFont(GetFont());
  FPopup->SetShowToday(FDateButtons.Contains(btnToday));
  FPopup->SetShowClear(FDateButtons.Contains(btnClear));
  FPopup->OnDateClick = {};

  // Text that is no date opens on today, never on a date parsed from earlier text.
  const std::string text = GetEditText();
  TDateTime shown = ::Date();
  TDateTime parsed = NullDate;
  const bool blank = IsBlankMaskText(text);
  if (!blank && TryTextToDate(text, parsed))
    FLastDate = parsed;
  else if (!blank)
    FLastDate = NullDate;
  if (FLastDate != NullDate)
    shown = std::trunc(FLastDate);
  FPopup->SetDate(shown);
  FPopup->SetSelStart(shown);

  FPopup->OnDateClick = TNotifyEvent::Bind<&TdxInplaceDateEdit::DateClick>(this);
  FPopup->HandleNeeded();
  FPopup->Perform(CM_FONTCHANGED);
  PositionPopup(FPopup, /*adjustWidth=*/false);
  SetDroppedDownFlag(true);
  FPopup->ShowPopup();
  ::SetFocus(FPopup->GetHandle());
}

void TdxInplaceDateEdit::DateClick(TObject* /*sender*/) {
  TDateTime date = FPopup->GetSelStart();
  if (FSaveTime && date != NullDate && FLastDate != NullDate) {
    uint16_t hour, minute, second, millisecond;
    DecodeTime(FLastDate, hour, minute, second, millisecond);
    const TDateTime time = EncodeTime(hour, minute, second, millisecond);
    date = date < 0 ? date - time : date + time;
  }
  if (Survives(this, &TdxInplaceDateEdit::GuardedStoreDate, date))
    SetModified(true);
}

// ---- Mask ---------------------------------------------------------------------------

void TdxInplaceDateEdit::SetUseEditMask(bool value) {
  if (value == FUseEditMask)
    return;
  FUseEditMask = value;
  RebuildMask();
}

void TdxInplaceDateEdit::RebuildMask() {
  TRaisedFlag loading(LoadingValue);
  ResetMaskState();
  if (FUseEditMask) {
    SetEditMask(DateMaskFromFormat());
  } else {
    SetEditMask("");
    UnmarkAssigned(evEditMask);
  }
  StoreDate(FDate);
}

void TdxInplaceDateEdit::CMWinIniChange(TMessage& message) {
  inherited::Dispatch(message);
  GetFormatSettings();
  StartOfWeek = ReadStartOfWeek();
  RebuildMask();
}

void TdxInplaceDateEdit::Dispatch(TMessage& message) {
  if (message.Msg == CM_WININICHANGE) {
    CMWinIniChange(message);
    return;
  }
  inherited::Dispatch(message);
}
