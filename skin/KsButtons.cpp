#include "skin/KsButtons.h"

#include "classlib/Actions.h"
#include "classlib/AliveGuard.h"
#include "classlib/Forms.h"
#include "classlib/ImageList.h"
#include "classlib/StdCtrls.h"
#include "skin/KsColor.h"
#include "skin/KsMath.h"
#include "skin/KsUtils.h"
#include "skin/TeThemeEngine.h"

namespace {

constexpr TKsColor kBlack = KsColorARGB(255, 0, 0, 0);
constexpr TColor kActionGlyphKey = TColor(0xFF00FF);

TKsColor Opaque(TColor color) { return ColorToKsColor(color, 255); }

}  // namespace

bool ThemeUsable(const TComponent* control, const TTeThemeEngine* engine) {
  TComponentState state = control->GetComponentState();
  if (state.Contains(csLoading) || state.Contains(csDestroying) || !engine)
    return false;
  return engine->ThemeAvailable();
}

bool IsThemeEngine(const TComponent* component, const TTeThemeEngine* engine) {
  return engine && component == engine;
}

void ChangeThemeEngine(TComponent* owner, TTeThemeEngine*& field, TTeThemeEngine* value) {
  if (field)
    field->RemoveFreeNotification(owner);
  field = value;
  if (field)
    field->FreeNotification(owner);
}

// ---- TKsCustomButton --------------------------------------------------------------------

TKsCustomButton::TKsCustomButton(TComponent* AOwner)
    : TKsCustomControl(AOwner), FGlyph(std::make_unique<TBitmap>()) {
  SetControlStyle({csCaptureMouse, csSetCaption, csDoubleClicks, csOpaque});
  SetTabStop(true);
  FGlyph->OnChange.Bind<&TKsCustomButton::GlyphChanged>(this);
  SetColor(TColor(0xD2D2D2));
  SetTransparent(true);
  SetBounds(0, 0, 75, 25);
}

TKsCustomButton::~TKsCustomButton() { FGlyph->OnChange = {}; }

void TKsCustomButton::SetLayout(TButtonLayout value) {
  if (value == FLayout)
    return;
  FLayout = value;
  Invalidate();
}

void TKsCustomButton::SetNumGlyphs(int value) {
  value = ClampNumGlyphs(value);
  if (value == FNumGlyphs)
    return;
  FNumGlyphs = value;
  Invalidate();
}

void TKsCustomButton::SetSpacing(int value) {
  if (value == FSpacing)
    return;
  FSpacing = value;
  Invalidate();
}

void TKsCustomButton::SetBlackAndWhiteGlyph(bool value) {
  if (value == FBlackAndWhiteGlyph)
    return;
  FBlackAndWhiteGlyph = value;
  Invalidate();
}

void TKsCustomButton::SetDefault(bool value) {
  FDefault = value;
  // Every button of the form works out Active again from the focused control.
  if (HandleAllocated())
    if (TCustomForm* form = GetParentForm(this))
      form->Perform(CM_FOCUSCHANGED, 0, reinterpret_cast<LPARAM>(form->GetActiveControl()));
  Invalidate();
}

void TKsCustomButton::SetKind(TBitBtnKind value) {
  if (value == FKind)
    return;
  FKind = value;
  if (value == bkCustom)
    return;
  const TBitBtnKindInfo& info = BitBtnKindInfo(value);
  SetDefault(info.Default);
  const bool keepCaption = GetComponentState().Contains(csLoading) && !GetText().empty();
  if (!keepCaption)
    SetText(info.Caption);
  FModalResult = info.ModalResult;
  SetGlyph(BitBtnKindGlyph(value));
  SetNumGlyphs(2);
}

void TKsCustomButton::SetGlyph(TBitmap* value) {
  FGlyph->Assign(value);
  GlyphChanged(FGlyph.get());
}

void TKsCustomButton::GlyphChanged(TObject*) {
  FNumGlyphs = DeriveNumGlyphs(FGlyph->GetWidth(), FGlyph->GetHeight(), FNumGlyphs);
  Invalidate();
}

void TKsCustomButton::SetDown(bool value) {
  if (value == FDown)
    return;
  FDown = value;
  Invalidate();
}

void TKsCustomButton::Click() {
  if (TCustomForm* form = GetParentForm(this))
    form->SetModalResult(FModalResult);
  inherited::Click();
}

void TKsCustomButton::ActionChange(TObject* sender, bool checkDefaults) {
  inherited::ActionChange(sender, checkDefaults);
  if (!sender || !sender->Is<TCustomAction>())
    return;
  auto* action = static_cast<TCustomAction*>(sender);
  TCustomActionList* list = action->GetActionList();
  TCustomImageList* images = list ? list->GetImages() : nullptr;
  const int index = action->GetImageIndex();
  if (!images || index < 0 || index >= images->GetCount())
    return;
  // The key colour fills what the image leaves transparent; DrawGlyph skips it again.
  TBitmap glyph;
  glyph.SetSize(images->GetWidth(), images->GetHeight());
  TCanvas* canvas = glyph.GetCanvas();
  canvas->GetBrush()->SetColor(kActionGlyphKey);
  canvas->FillRect(TRect{0, 0, glyph.GetWidth(), glyph.GetHeight()});
  images->Draw(canvas, 0, 0, index);
  SetGlyph(&glyph);
}

TSize TKsCustomButton::GlyphSize() const {
  return GlyphCellSize(FGlyph->GetWidth(), FGlyph->GetHeight(), FNumGlyphs);
}

TSize TKsCustomButton::CaptionSize() {
  TKsBitmap* buffer = GetBuffer();
  buffer->SetFont(GetFont());
  std::string caption = GetText();
  return TSize{buffer->TextWidth(caption, 0), buffer->TextHeight(caption)};
}

TRect TKsCustomButton::GetContentRect() {
  return ButtonContentRect(CaptionSize(), GlyphSize(), FLayout, FSpacing, GetWidth(), GetHeight(),
                           FDown);
}

TRect TKsCustomButton::GetCaptionRect() {
  return ButtonCaptionRect(GetContentRect(), GlyphSize(), FLayout, FSpacing);
}

TRect TKsCustomButton::GetGlyphRect() {
  return ButtonGlyphRect(GetContentRect(), GlyphSize(), FLayout, FSpacing);
}

void TKsCustomButton::PaintBuffer() {
  DrawBackground();
  DrawCaption();
  DrawGlyph();
}

void TKsCustomButton::DrawBackground() {
  TKsBitmap* buffer = GetBuffer();
  TRect r{0, 0, GetWidth(), GetHeight()};
  const TKsColor face = Opaque(GetColor());
  if (GetFocused() || FActive) {
    buffer->FrameRect(r, kBlack);
    r = RectGrow(r, -1);
  }
  buffer->FillRect(r, face);
  if (FDown) {
    buffer->FrameRect(r, Opaque(clBtnShadow));
  } else {
    buffer->Draw3DFrame(r, Opaque(clBtnHighlight), kBlack);
    r = RectGrow(r, -1);
    buffer->Draw3DFrame(r, face, Opaque(clBtnShadow));
  }
  DrawFocusCue();
}

void TKsCustomButton::DrawFocusCue() {
  if (ShowsFocusCue())
    GetBuffer()->DrawFocusRect(TRect{4, 4, GetWidth() - 4, GetHeight() - 4}, Opaque(clBtnShadow));
}

void TKsCustomButton::DrawGlyph() {
  if (FGlyph->GetEmpty())
    return;
  TKsBitmap source;
  source.Assign(FGlyph.get());
  const TSize cell = GlyphSize();
  const int cellIndex = !GetEnabled() && FNumGlyphs > 1 ? 1 : 0;
  const TRect place = GetGlyphRect();
  const int left = place.left + (RectWidth(place) - cell.cx) / 2;
  const int top = place.top + (RectHeight(place) - cell.cy) / 2;
  const TKsColor key = source.GetPixel(0, source.GetHeight() - 1) | 0xFF000000u;
  const bool grey = FBlackAndWhiteGlyph && !GetMouseInControl();
  TKsBitmap* buffer = GetBuffer();
  for (int y = 0; y < cell.cy; ++y)
    for (int x = 0; x < cell.cx; ++x) {
      TKsColor c = source.GetPixel(cellIndex * cell.cx + x, y) | 0xFF000000u;
      if (c == key)
        continue;
      if (grey) {
        float h, s, l;
        KsRGBToHSL(c, h, s, l);
        // Disabled: a light grey between 160 and 210 (the byte wraps).
        uint8_t v = GetEnabled() ? uint8_t(RoundToInt(l * 255.0f)) : uint8_t(RoundToInt(l * 50.0f) - 96);
        c = KsColorARGB(255, v, v, v);
      }
      buffer->SetPixel(left + x, top + y, c);
    }
}

void TKsCustomButton::DrawCaption() {
  TKsBitmap* buffer = GetBuffer();
  const TSize size = CaptionSize();
  const TRect area = GetCaptionRect();
  const int left = area.left + (RectWidth(area) - size.cx) / 2;
  const int top = area.top + (RectHeight(area) - size.cy) / 2;
  const TRect text{left, top, left + size.cx, top + size.cy};
  // The rectangle is the measured text: it places the text and must not clip it, as
  // some fonts draw their last letter a column past the width they measure.
  UINT flags = DT_CENTER | DT_NOCLIP | UINT(DrawTextBiDiModeFlags(0));
  const std::string caption = ShownCaption(flags);
  TFont* font = buffer->GetFont();
  if (GetEnabled()) {
    buffer->DrawText(caption, text, flags);
    return;
  }
  font->SetColor(clBtnHighlight);
  buffer->DrawText(caption, TRect{text.left + 1, text.top + 1, text.right + 1, text.bottom + 1}, flags);
  font->SetColor(clBtnShadow);
  buffer->DrawText(caption, text, flags);
}

void TKsCustomButton::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
  if (button == mbLeft && GetEnabled()) {
    if (CanFocus() && !Survives(this, [this] { SetFocus(); }))  // OnEnter may free the button
      return;
    SetDown(true);
    FTracking = true;
  }
  inherited::MouseDown(button, shift, x, y);
}

void TKsCustomButton::MouseMove(TShiftState shift, int x, int y) {
  if (FTracking)
    SetDown(x >= 0 && x < GetClientWidth() && y >= 0 && y < GetClientHeight());
  inherited::MouseMove(shift, x, y);
}

void TKsCustomButton::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
  if (FTracking) {
    FTracking = false;
    FDown = false;
    // The click's handler may free the button.
    if (x >= 0 && x < GetWidth() && y >= 0 && y < GetHeight() && !Survives(this, &TKsCustomButton::Click))
      return;
    Invalidate();
  }
  inherited::MouseUp(button, shift, x, y);
}

void TKsCustomButton::MouseEnter() {
  if (Survives(this, [&] { inherited::MouseEnter(); }))
    Invalidate();
}

void TKsCustomButton::MouseLeave() {
  if (Survives(this, [&] { inherited::MouseLeave(); }))
    Invalidate();
}

void TKsCustomButton::KeyDown(WORD& key, TShiftState shift) {
  if (key == VK_SPACE && !shift.Contains(ssAlt))
    SetDown(true);
  inherited::KeyDown(key, shift);
}

void TKsCustomButton::KeyUp(WORD& key, TShiftState shift) {
  if (key == VK_SPACE) {
    SetDown(false);
    key = 0;
    if (!Survives(this, &TKsCustomButton::Click))
      return;
  }
  inherited::KeyUp(key, shift);
}

void TKsCustomButton::FocusChanged(TControl* focused) {
  const bool isButton = focused && (focused->Is<TKsCustomButton>() || focused->Is<TButton>());
  const bool active = isButton ? false : FDefault;
  if (active == FActive)
    return;
  FActive = active;
  Invalidate();
}

void TKsCustomButton::DialogKey(TMessage& message) {
  const auto& key = MessageAs<TCMDialogKey>(message);
  const bool enter = key.CharCode == VK_RETURN && (FActive || GetFocused());
  const bool escape = key.CharCode == VK_ESCAPE && FModalResult == mrCancel;
  if ((enter || escape) && KeyDataToShiftState(key.KeyData).Empty() && CanFocus()) {
    Click();
    message.Result = 1;
    return;
  }
  inherited::Dispatch(message);
}

void TKsCustomButton::Dispatch(TMessage& message) {
  switch (message.Msg) {
    case CM_DIALOGKEY:
      DialogKey(message);
      return;
    case CM_DIALOGCHAR:
      if (IsAccel(MessageAs<TCMDialogChar>(message).CharCode, GetText()) && CanFocus()) {
        Click();
        message.Result = 1;
        return;
      }
      break;
    case CM_FOCUSCHANGED:
      FocusChanged(reinterpret_cast<TControl*>(message.LParam));
      break;
    case CM_TEXTCHANGED:
      Invalidate();
      break;
  }
  inherited::Dispatch(message);
}

// ---- TTeThemeButton ---------------------------------------------------------------------

void TTeThemeButton::DrawBackground() {
  if (!ThemeUsable()) {
    inherited::DrawBackground();
    return;
  }
  TTeDrawState state = tdsNormal;
  if (!GetEnabled())
    state = tdsDisabled;
  else if (GetDown())
    state = tdsPressed;
  else if (GetMouseInControl())
    state = tdsHot;
  else if (GetFocused())
    state = tdsFocused;
  else if (GetActive())
    state = tdsDefault;
  GetThemeEngine()->GetTheme()->DrawButton(*GetBuffer(), GetWidth(), GetHeight(), state);
  // The theme shows focus as its default look, which the default button has anyway:
  // the focus rectangle tells where the keyboard is.
  DrawFocusCue();
}
