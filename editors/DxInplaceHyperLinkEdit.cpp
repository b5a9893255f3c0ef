#include "editors/DxInplaceHyperLinkEdit.h"

#include "classlib/AliveGuard.h"
#include "classlib/Forms.h"
#include "classlib/GraphicsObjects.h"
#include "classlib/Strings.h"
#include "editors/DxExEdtr.h"

TDxShellExecuteProc DxShellExecuteProc = &ShellExecuteA;

// The edit window takes the link look as its default character format.
static_assert(sizeof(CHARFORMAT2A) == 84, "the rich edit's extended character format");

TdxInplaceHyperLinkEdit::TdxInplaceHyperLinkEdit(TComponent* AOwner)
    : TdxInplaceHyperLinkEdit(AOwner, &MetaClass()) {}

TdxInplaceHyperLinkEdit::TdxInplaceHyperLinkEdit(TComponent* AOwner, const TdxInplaceEditClass* cls)
    : TdxInplaceTextEdit(AOwner, cls) {
  SetAutoSelect(false);
}

TdxInplaceHyperLinkEdit::~TdxInplaceHyperLinkEdit() { delete FLinkFont; }

// ---- Class operations ---------------------------------------------------------------

TClass TdxInplaceHyperLinkEdit::GetViewDataClass(const TdxInplaceEditClass& /*cls*/) {
  return TdxHyperLinkEditViewData::StaticClass();
}

TCursor TdxInplaceHyperLinkEdit::GetCursor(const TdxInplaceEditClass& cls, int x, int y, TdxEditViewData* viewData) {
  const auto* link = ObjectAs<TdxHyperLinkEditViewData>(viewData);
  if (link && link->HandCursor)
    return crDxHandPoint;
  return inherited::GetCursor(cls, x, y, viewData);
}

TdxEditViewData* TdxInplaceHyperLinkEdit::CreateViewData(bool forPainting) {
  TdxEditViewData* viewData = inherited::CreateViewData(forPainting);
  if (auto* link = ObjectAs<TdxHyperLinkEditViewData>(viewData)) {
    if (GetComponentState().Contains(csDesigning))
      link->HandCursor = false;
    else
      link->HandCursor = FSingleClick || EditClass()->IsInplace() || !CanEditText();
    TFont* font = GetLinkFont();
    link->TextColor = ColorToRGB(font->GetColor());
    link->Font = font->GetHandle();
  }
  return viewData;
}

// ---- Link ---------------------------------------------------------------------------

void TdxInplaceHyperLinkEdit::SetLinkColor(TColor value) {
  if (value == FLinkColor)
    return;
  FLinkColor = value;
  Perform(CM_FONTCHANGED);
  Invalidate();
}

TFont* TdxInplaceHyperLinkEdit::GetLinkFont() {
  if (!FLinkFont) {
    FLinkFont = new TFont();
    Perform(CM_FONTCHANGED);
  }
  return FLinkFont;
}

void TdxInplaceHyperLinkEdit::Start() {
  if (OnStartClick) {
    OnStartClick(this);
    return;
  }
  const std::string text = GetText();
  if (Trim(text).empty())
    return;
  TCustomForm* form = GetParentForm(this);
  HWND owner = form && form->HandleAllocated() ? form->GetHandle() : nullptr;
  DxShellExecuteProc(owner, "OPEN", text.c_str(), nullptr, nullptr, SW_SHOWMAXIMIZED);
}

void TdxInplaceHyperLinkEdit::ClickAction() {
  inherited::ClickAction();
  if (!FSingleClick)
    return;
  if (HandleAllocated())
    UpdateWindow(GetHandle());
  Start();
}

void TdxInplaceHyperLinkEdit::SelectAll() {
  if (!EditClass()->IsInplace())
    inherited::SelectAll();
}

// ---- Keys and mouse -----------------------------------------------------------------

void TdxInplaceHyperLinkEdit::KeyDown(WORD& key, TShiftState shift) {
  if (FStartKey == scNone || ShortCut(key, shift) != FStartKey) {
    inherited::KeyDown(key, shift);
    return;
  }
  RemovePendingChar();
  key = 0;
  Start();
}

void TdxInplaceHyperLinkEdit::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
  if (!Survives(this, [&] { inherited::MouseUp(button, shift, x, y); }))
    return;
  const TRect client = GetClientRect();
  if (button != mbLeft || !PtInRect(&client, POINT{x, y}))
    return;
  // A stand-alone editor that edits its text starts the link on a double click only.
  if (!EditClass()->IsInplace() && CanEditText() && !FSingleClick)
    return;
  Start();
}

// ---- Messages -----------------------------------------------------------------------

void TdxInplaceHyperLinkEdit::WMSetFont(TMessage& message) {
  inherited::Dispatch(message);
  if (!HandleAllocated() || !HasTextArea())
    return;
  CHARFORMAT2A format{};
  format.cbSize = sizeof format;
  format.dwMask = CFM_COLOR | CFM_UNDERLINETYPE;
  format.bUnderlineType = CFU_UNDERLINE;
  if (FLinkColor == clWindowText || FLinkColor == clDefault)
    format.dwEffects = CFE_AUTOCOLOR;
  else
    format.crTextColor = ColorToRGB(FLinkColor);
  SendMessageA(GetHandle(), EM_SETCHARFORMAT, SCF_DEFAULT, reinterpret_cast<LPARAM>(&format));
}

void TdxInplaceHyperLinkEdit::Dispatch(TMessage& message) {
  switch (message.Msg) {
    case CM_FONTCHANGED:
      inherited::Dispatch(message);
      if (FLinkFont) {
        FLinkFont->Assign(GetFont());
        FLinkFont->SetStyle(FLinkFont->GetStyle() + TFontStyles{fsUnderline});
        FLinkFont->SetColor(FLinkColor);
      }
      return;
    case WM_SETFONT: WMSetFont(message); return;
    case WM_LBUTTONDBLCLK:
      if (!FSingleClick && CanEditText()) {
        Start();
        return;
      }
      inherited::Dispatch(message);
      return;
  }
  inherited::Dispatch(message);
}
