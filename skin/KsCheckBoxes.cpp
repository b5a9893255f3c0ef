#include "skin/KsCheckBoxes.h"

#include "classlib/AliveGuard.h"
#include "skin/KsButtonKinds.h"
#include "skin/KsButtons.h"
#include "skin/TeThemeEngine.h"

namespace {

TKsColor Opaque(TColor color) { return ColorToKsColor(color, 255); }

bool Loading(const TComponent* component) {
  return component->GetComponentState().Contains(csLoading);
}

bool Inside(const TControl* control, int x, int y) {
  return x >= 0 && x <= control->GetWidth() && y >= 0 && y <= control->GetHeight();
}

TSize TextSize(TKsBitmap& buffer, TControl* control) {
  buffer.SetFont(control->GetFont());
  std::string caption = control->GetText();
  return TSize{buffer.TextWidth(caption, 0), buffer.TextHeight(caption)};
}

// The caption at `text`: embossed when disabled, with a focus rectangle around it while
// the focus cue shows. The rectangle's dotted lines keep a clear column from the text
// (grown by 2 left and right: grown by 1 they lay against the first and last letter,
// and over a last letter drawn a column past its measured width), and lie 2 above and
// 2 + extraBottom below it.
void DrawMarkCaption(TKsCustomControl* control, const TRect& text, int extraBottom) {
  TKsBitmap& buffer = *control->GetBuffer();
  buffer.SetFont(control->GetFont());
  // The rectangle is the measured text: it places the text and must not clip it, as
  // some fonts draw their last letter a column past the width they measure.
  UINT flags = DT_LEFT | DT_NOCLIP | UINT(control->DrawTextBiDiModeFlags(0));
  const std::string caption = control->ShownCaption(flags);
  if (control->GetEnabled()) {
    buffer.DrawText(caption, text, flags);
  } else {
    buffer.GetFont()->SetColor(clBtnHighlight);
    buffer.DrawText(caption, TRect{text.left + 1, text.top + 1, text.right + 1, text.bottom + 1}, flags);
    buffer.GetFont()->SetColor(clBtnShadow);
    buffer.DrawText(caption, text, flags);
  }
  if (control->ShowsFocusCue())
    buffer.DrawFocusRect(TRect{text.left - 2, text.top - 2, text.right + 2, text.bottom + 2 + extraBottom},
                         Opaque(clBtnShadow));
}

void DrawFrameMark(TKsBitmap& buffer, TRect rect, UINT state, bool enabled) {
  if (!enabled)
    state |= DFCS_INACTIVE;
  DrawFrameControl(buffer.GetDC(), &rect, DFC_BUTTON, state);
}

// The theme's draw state of the mark.
TTeDrawState ThemeDrawState(const TKsCustomControl* control, bool pressed) {
  if (!control->GetEnabled())
    return tdsDisabled;
  if (pressed)
    return tdsPressed;
  return control->GetMouseInControl() ? tdsHot : tdsNormal;
}

}  // namespace

// ---- TKsCustomMarkControl ----------------------------------------------------------------

TKsCustomMarkControl::TKsCustomMarkControl(TComponent* AOwner, bool tabStop) : TKsCustomControl(AOwner) {
  SetControlStyle({csSetCaption, csOpaque});
  SetBounds(0, 0, 98, 20);
  SetTransparent(true);
  SetTabStop(tabStop);
}

void TKsCustomMarkControl::SetSpacing(int value) {
  if (value == FSpacing)
    return;
  FSpacing = value;
  Invalidate();
}

void TKsCustomMarkControl::ChangeScale(int M, int D) {
  inherited::ChangeScale(M, D);
  SetSpacing(MulDiv(FSpacing, M, D));
}

void TKsCustomMarkControl::SetPressed(bool value) {
  FPressed = value;
  Invalidate();
}

void TKsCustomMarkControl::PaintBuffer() {
  DrawCheck();
  DrawCaption();
}

void TKsCustomMarkControl::MouseEnter() {
  if (Survives(this, [&] { inherited::MouseEnter(); }))
    Invalidate();
}

void TKsCustomMarkControl::MouseLeave() {
  if (Survives(this, [&] { inherited::MouseLeave(); }))
    Invalidate();
}

void TKsCustomMarkControl::KeyDown(WORD& key, TShiftState shift) {
  if (key == VK_SPACE)
    SetPressed(true);
  inherited::KeyDown(key, shift);
}

void TKsCustomMarkControl::Dispatch(TMessage& message) {
  switch (message.Msg) {
    case CM_DIALOGCHAR:
      if (IsAccel(MessageAs<TCMDialogChar>(message).CharCode, GetText()) && CanFocus()) {
        SetFocus();
        if (GetFocused())
          AccelCheck();
        message.Result = 1;
        return;
      }
      break;
    case CM_TEXTCHANGED:
    case CM_SYSCOLORCHANGE:
      Invalidate();
      break;
  }
  inherited::Dispatch(message);
}

// ---- TKsCustomCheckBox ------------------------------------------------------------------

TKsCustomCheckBox::TKsCustomCheckBox(TComponent* AOwner) : TKsCustomMarkControl(AOwner, /*tabStop=*/true) {}

void TKsCustomCheckBox::SetState(TCheckBoxState value) {
  if (value == FState)
    return;
  FState = value;
  if (Survives(this, &TKsCustomCheckBox::ClickEvent))
    Invalidate();
}

void TKsCustomCheckBox::SetAlignment(TLeftRight value) {
  if (value == FAlignment)
    return;
  FAlignment = value;
  Invalidate();
}

void TKsCustomCheckBox::ClickEvent() {
  if (!Loading(this))
    Click();
}

void TKsCustomCheckBox::Toggle() { SetState(FState == cbChecked ? cbUnchecked : cbChecked); }

void TKsCustomCheckBox::ChangeScale(int M, int D) {
  inherited::ChangeScale(M, D);
  FMarkPixelsPerInch = MulDiv(FMarkPixelsPerInch, M, D);
  Invalidate();
}

TSize TKsCustomCheckBox::GetMarkSize() {
  const TSize artwork = GetCheckSize();
  return TSize{ScaleMark(artwork.cx), ScaleMark(artwork.cy)};
}

TRect TKsCustomCheckBox::GetMarkRect() {
  return CheckMarkRect(GetMarkSize(), GetWidth(), GetHeight(), FAlignment == taRightJustify);
}

TRect TKsCustomCheckBox::GetTextRect() {
  return CheckCaptionRect(TextSize(*GetBuffer(), this), GetMarkSize(), GetSpacing(), GetHeight(),
                          FAlignment == taRightJustify);
}

void TKsCustomCheckBox::DrawCheck() {
  static constexpr UINT kStates[] = {DFCS_BUTTONCHECK, DFCS_BUTTONCHECK | DFCS_CHECKED,
                                     DFCS_BUTTONCHECK | DFCS_CHECKED | DFCS_BUTTON3STATE};
  DrawFrameMark(*GetBuffer(), GetMarkRect(), kStates[FState], GetEnabled());
}

void TKsCustomCheckBox::DrawCaption() { DrawMarkCaption(this, GetTextRect(), 0); }

void TKsCustomCheckBox::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
  if (button == mbLeft) {
    FTracking = true;
    if (CanFocus())
      SetFocus();
    SetMouseCapture(true);
    SetPressed(true);
  }
  inherited::MouseDown(button, shift, x, y);
}

void TKsCustomCheckBox::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
  if (button == mbLeft) {
    SetPressed(false);
    SetMouseCapture(false);
    if (FTracking && Inside(this, x, y) && !Survives(this, &TKsCustomCheckBox::Toggle))
      return;
    FTracking = false;
  }
  inherited::MouseUp(button, shift, x, y);
}

void TKsCustomCheckBox::KeyUp(WORD& key, TShiftState shift) {
  if (key == VK_SPACE) {
    if (!Survives(this, &TKsCustomCheckBox::Toggle))
      return;
    SetPressed(false);
  }
  inherited::KeyUp(key, shift);
}

// ---- TKsCustomRadioButton ---------------------------------------------------------------

TKsCustomRadioButton::TKsCustomRadioButton(TComponent* AOwner)
    : TKsCustomMarkControl(AOwner, /*tabStop=*/false) {}

void TKsCustomRadioButton::SetChecked(bool value) {
  if (value == FChecked)
    return;
  SetTabStop(value);
  FChecked = value;
  if (value) {
    if (TWinControl* parent = GetParent())
      for (int i = 0; i < parent->GetControlCount(); ++i) {
        auto* sibling = dynamic_cast<TKsCustomRadioButton*>(parent->GetControl(i));
        if (sibling && sibling != this && sibling->FGroupIndex == FGroupIndex)
          sibling->SetChecked(false);
      }
    if (!Loading(this) && !Survives(this, &TKsCustomRadioButton::Click))
      return;
  }
  Invalidate();
}

TRect TKsCustomRadioButton::GetMarkRect() {
  return CheckMarkRect(GetCheckSize(), GetWidth(), GetHeight(), false);
}

TRect TKsCustomRadioButton::GetTextRect() {
  return CheckCaptionRect(TextSize(*GetBuffer(), this), GetCheckSize(), GetSpacing(), GetHeight(), false);
}

void TKsCustomRadioButton::DrawCheck() {
  DrawFrameMark(*GetBuffer(), GetMarkRect(), DFCS_BUTTONRADIO | (FChecked ? DFCS_CHECKED : 0),
                GetEnabled());
}

void TKsCustomRadioButton::DrawCaption() { DrawMarkCaption(this, GetTextRect(), 2); }

void TKsCustomRadioButton::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
  if (button == mbLeft) {
    if (CanFocus())
      SetFocus();
    SetMouseCapture(true);
    SetPressed(true);
  }
  inherited::MouseDown(button, shift, x, y);
}

void TKsCustomRadioButton::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
  if (button == mbLeft) {
    Invalidate();
    SetMouseCapture(false);
    if (GetPressed() && Inside(this, x, y) && !FChecked && !Survives(this, &TKsCustomRadioButton::SetChecked, true))
      return;
    SetPressed(false);
  }
  inherited::MouseUp(button, shift, x, y);
}

void TKsCustomRadioButton::KeyUp(WORD& key, TShiftState shift) {
  if (key == VK_SPACE) {
    if (!FChecked && !Survives(this, &TKsCustomRadioButton::SetChecked, true))
      return;
    SetPressed(false);
  }
  inherited::KeyUp(key, shift);
}

// ---- Themed check box and radio button --------------------------------------------------

TSize TTeThemeCheckBox::GetCheckSize() {
  if (!ThemeUsable())
    return inherited::GetCheckSize();
  TTeTheme* theme = GetThemeEngine()->GetTheme();
  return TSize{theme->GetSize(16), theme->GetSize(17)};
}

void TTeThemeCheckBox::DrawCheck() {
  if (!ThemeUsable()) {
    inherited::DrawCheck();
    return;
  }
  TRect mark = GetMarkRect();
  mark.top += ScaleMark(2);
  mark.bottom += ScaleMark(2);
  GetThemeEngine()->GetTheme()->DrawCheckBox(*GetBuffer(), mark, ThemeDrawState(this, GetPressed()),
                                         int(GetState()));
}

TSize TTeThemeRadioButton::GetCheckSize() {
  if (!ThemeUsable())
    return inherited::GetCheckSize();
  TTeTheme* theme = GetThemeEngine()->GetTheme();
  return TSize{theme->GetSize(18), theme->GetSize(19)};
}

void TTeThemeRadioButton::DrawCheck() {
  if (!ThemeUsable()) {
    inherited::DrawCheck();
    return;
  }
  GetThemeEngine()->GetTheme()->DrawRadioButton(*GetBuffer(), GetMarkRect(),
                                            ThemeDrawState(this, GetPressed()), GetChecked());
}
