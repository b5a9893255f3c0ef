// Decisions taken here:
// - The calculator writes into the editor's text as it works, so closing it without
//   accepting (Escape) puts back the text and modified flag the editor had when it
//   opened; closing by losing the focus keeps what the calculator wrote.
// - The popup's window is made before it is placed: making it fits its size to the
//   calculator's layout, and the placement needs the final size.
#include "editors/DxInplaceCalcEdit.h"

#include "classlib/AliveGuard.h"
#include "editors/DxMaskEngine.h"

// ---- Popup calculator ---------------------------------------------------------------

TdxPopupCalculator::TdxPopupCalculator(TComponent* AOwner) : TCustomdxCalculator(AOwner) { SetIsPopup(true); }

void TdxPopupCalculator::CreateParams(TCreateParams& params) {
  inherited::CreateParams(params);
  params.Style = WS_POPUP;
  params.WindowClass.style |= CS_SAVEBITS;
}

std::string TdxPopupCalculator::GetDisplayText() { return FEditor ? FEditor->GetText() : std::string("0"); }

void TdxPopupCalculator::SetDisplayText(const std::string& text) {
  if (!FEditor || !FEditor->CanModify())
    return;
  try {
    const bool masked = FEditor->IsMasked();
    (void)FEditor->ChangeText(masked ? FormatMaskText(FEditor->GetEditMask(), text, FEditor->GetMaskBlank()) : text);
  } catch (...) {
    HidePopup();
    throw;
  }
}

void TdxPopupCalculator::HidePopup() {
  inherited::HidePopup();
  const std::string& error = DxCalcErrorText();
  if (!FEditor || error.empty() || FEditor->GetText() != error)
    return;
  (void)FEditor->ChangeText("0");
}

void TdxPopupCalculator::Close(bool accept) {
  if (FEditor)
    FEditor->CloseUp(accept);
  else
    HidePopup();
}

void TdxPopupCalculator::KeyDown(WORD& key, TShiftState shift) {
  const bool alt = shift.Contains(ssAlt);
  if (((key == VK_UP || key == VK_DOWN) && alt) || key == VK_F4) {
    key = 0;
    Close(true);
    return;
  }
  if (key == VK_ESCAPE) {
    key = 0;
    Close(false);
    return;
  }
  const bool enter = key == VK_RETURN;
  if (!Survives(this, [&] { inherited::KeyDown(key, shift); }) || !enter)
    return;
  key = 0;
  Close(true);
}

void TdxPopupCalculator::KeyPress(char& key) {
  const char typed = key;
  if (Survives(this, [&] { inherited::KeyPress(key); }) && typed == '=' && FQuickClose)
    Close(true);
}

// ---- Calculator editor --------------------------------------------------------------

TdxInplaceCalcEdit::TdxInplaceCalcEdit(TComponent* AOwner) : TdxInplaceCalcEdit(AOwner, &MetaClass()) {}

TdxInplaceCalcEdit::TdxInplaceCalcEdit(TComponent* AOwner, const TdxInplaceEditClass* cls)
    : TdxInplaceDropDownEdit(AOwner, cls) {
  ForwardKeysToPopup = false;
}

TdxInplaceCalcEdit::~TdxInplaceCalcEdit() {
  // The popup has no owner: the editor frees it, before it goes itself.
  delete FPopup;
  FPopup = nullptr;
  SetPopupControl(nullptr);
}

void TdxInplaceCalcEdit::DropDown() {
  if (GetDroppedDown() || !CanEditText())
    return;
  if (!FPopup) {
    FPopup = new TdxPopupCalculator(nullptr);
    FPopup->SetVisible(false);
  }
  FPopup->SetEditor(this);
  SetPopupControl(FPopup);
  if (!Survives(this, &TdxInplaceCalcEdit::DoDropDown))
    return;
  FPopup->SetPopupBorder(GetPopupBorder());
  FPopup->SetShadow(GetStyle()->GetShadow());
  FPopup->SetIsPopup(true);
  FPopup->SetOwnerEdit(this);
  FPopup->SetQuickClose(FQuickClose);
  FPopup->SetFont(GetFont());
  FPopup->SetShowFocusRect(false);
  FPopup->SetBeepOnError(FBeepOnError);
  FPopup->SetButtonStyle(FButtonStyle);
  FPopup->SetShowButtonFrame(FShowButtonFrame);
  FPopup->SetPrecision(FPrecision);
  FPopup->HandleNeeded();
  FPopup->CalcLayout();
  PositionPopup(FPopup, false);
  FTextBefore = GetText();
  FModifiedBefore = GetModified();
  SetDroppedDownFlag(true);
  FPopup->ShowPopup();
  // Showing activates the popup, which takes the focus with it; make sure it has it.
  if (::GetFocus() != FPopup->GetHandle())
    ::SetFocus(FPopup->GetHandle());
}

void TdxInplaceCalcEdit::CloseUp(bool accept) {
  if (!GetDroppedDown())
    return;
  SetDroppedDownFlag(false);
  if (FPopup)
    FPopup->HidePopup();
  if (accept)
    return;
  SetText(FTextBefore);
  SetModified(FModifiedBefore);
}
