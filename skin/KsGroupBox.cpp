#include "skin/KsGroupBox.h"

#include "classlib/Forms.h"
#include "skin/TeThemeEngine.h"

namespace {

// The frame's path in one colour: the top edge up to the caption's left, then from
// the caption's right round the other three edges back to the start.
void DrawFramePath(TKsBitmap& buffer, const TRect& frame, const TRect& caption, TKsColor color) {
  buffer.DrawLine({frame.left, frame.top}, {caption.left, frame.top}, color);
  buffer.MoveTo(caption.right, frame.top);
  buffer.LineTo(frame.right, frame.top, color);
  buffer.LineTo(frame.right, frame.bottom, color);
  buffer.LineTo(frame.left, frame.bottom, color);
  buffer.LineTo(frame.left, frame.top, color);
}

}  // namespace

// ---- TKsCustomGroupBox -------------------------------------------------------------------

TKsCustomGroupBox::TKsCustomGroupBox(TComponent* AOwner) : TKsCustomControl(AOwner) {
  SetControlStyle({csAcceptsControls, csOpaque});
  SetColor(clBtnFace);
  SetBounds(0, 0, 100, 90);
}

void TKsCustomGroupBox::SetCaptionMargin(int value) {
  if (value == FCaptionMargin)
    return;
  FCaptionMargin = value;
  Invalidate();
}

TRect TKsCustomGroupBox::GetFrameRect() {
  TKsBitmap& buffer = *GetBuffer();
  buffer.SetFont(GetFont());
  const int h = buffer.TextHeight(GetText());
  return TRect{3, h / 2 + 1, GetWidth() - 2, GetHeight() - 2};
}

TRect TKsCustomGroupBox::GetCaptionRect() {
  TKsBitmap& buffer = *GetBuffer();
  buffer.SetFont(GetFont());
  const std::string caption = GetText();
  TRect r{FCaptionMargin, 0, FCaptionMargin + buffer.TextWidth(caption, 0), buffer.TextHeight(caption)};
  if (!caption.empty()) {
    r.left -= 3;
    r.right += 3;
  }
  return r;
}

void TKsCustomGroupBox::PaintBuffer() {
  inherited::PaintBuffer();
  PaintFrame();
}

void TKsCustomGroupBox::PaintFrame() {
  TKsBitmap& buffer = *GetBuffer();
  const TRect frame = GetFrameRect();
  const TRect caption = GetCaptionRect();
  DrawFramePath(buffer, frame, caption, ColorToKsColor(clBtnHighlight, 255));
  const TRect shadow{frame.left - 1, frame.top - 1, frame.right - 1, frame.bottom - 1};
  DrawFramePath(buffer, shadow, caption, ColorToKsColor(clBtnShadow, 255));
  buffer.SetFont(GetFont());
  buffer.DrawText(GetText(), caption, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
}

void TKsCustomGroupBox::DialogChar(TMessage& message) {
  if (!IsAccel(MessageAs<TCMDialogChar>(message).CharCode, GetText()) || !CanFocus()) {
    inherited::Dispatch(message);
    return;
  }
  // A first child that cannot take the focus leaves it with the box rather than fail.
  auto* first = GetControlCount() > 0 ? ObjectAs<TWinControl>(GetControl(0)) : nullptr;
  if (first && first->CanFocus())
    first->SetFocus();
  else
    SetFocus();
  message.Result = 1;
}

void TKsCustomGroupBox::Dispatch(TMessage& message) {
  switch (message.Msg) {
    case CM_DIALOGCHAR:
      DialogChar(message);
      return;
    case CM_TEXTCHANGED:
      inherited::Dispatch(message);
      Invalidate();
      return;
  }
  inherited::Dispatch(message);
}

// ---- TTeThemeGroupBox --------------------------------------------------------------------

void TTeThemeGroupBox::SetThemeEngine(TTeThemeEngine* value) {
  if (value == GetThemeEngine())
    return;
  TThemeEngineLink::SetThemeEngine(value);
  ThemeEngineChanged();
}

void TTeThemeGroupBox::PaintBuffer() {
  if (!ThemeUsable()) {
    inherited::PaintBuffer();
    return;
  }
  TTeTheme* theme = GetThemeEngine()->GetTheme();
  TKsBitmap& buffer = *GetBuffer();
  if (!GetTransparent())
    buffer.Fill(ColorToKsColor(theme->GetColor(11), 255));
  const TRect frame = GetFrameRect();
  const TRect caption = GetCaptionRect();
  buffer.SetFont(GetFont());
  theme->DrawGroupBox(buffer, frame, caption, GetText());
}
