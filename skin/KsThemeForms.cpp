// The themed frame. Theme metrics by GetSize kind, standard frame / tool window:
// 0 / 1 side, bottom and top border; 2 / 3 caption band height from the window top;
// 5 x 6 / 7 x 8 caption button size; 9 / 12 right margin of the buttons and left
// margin of the text; 10 / 13 top of the buttons and the text; 11 gap between buttons.
#include "skin/KsThemeForms.h"

#include "classlib/Forms.h"
#include "classlib/GdiHandles.h"
#include "classlib/GraphicsObjects.h"
#include "classlib/Timer.h"
#include "skin/KsBitmap.h"
#include "skin/KsItems.h"
#include "skin/KsThemeItems.h"
#include "skin/TeTheme.h"

namespace {

TRect MakeRect(int l, int t, int r, int b) { return TRect{l, t, r, b}; }
bool EmptyRect(const TRect& r) { return r.right <= r.left || r.bottom <= r.top; }

// The theme's glyph kind of a caption button in a window state.
int GlyphKind(TKsBorderIcon icon, TKsWindowState state) {
  switch (icon) {
    case kbiClose: return cbkClose;
    case kbiHelp: return cbkHelp;
    case kbiMinimize: return state == kwsMinimized ? cbkRestore : cbkMinimize;
    case kbiMaximize: return state == kwsMaximized ? cbkRestore : cbkMaximize;
    case kbiRollup: return state == kwsRollup ? cbkRollDown : cbkRollUp;
    case kbiTray: return cbkTray;
    case kbiSystemMenu: break;
  }
  return -1;
}

}  // namespace

TTeThemeForm::TTeThemeForm(TComponent* AOwner) : TKsCustomForm(AOwner) {
  SetActive(true);
  FHoverTimer = new TTimer(this);
  FHoverTimer->SetInterval(100);
  FHoverTimer->SetEnabled(!Designing());
  FHoverTimer->SetOnTimer(TNotifyEvent::Bind<&TTeThemeForm::HoverTimer>(this));
}

TTeThemeForm::~TTeThemeForm() {
  Destroying();
  FHoverTimer->SetEnabled(false);
}

void TTeThemeForm::Loaded() {
  inherited::Loaded();
  RepaintControls();
}

bool TTeThemeForm::Busy() const {
  const TComponentState state = GetComponentState();
  return state.Contains(csLoading) || state.Contains(csDestroying);
}

TTeTheme* TTeThemeForm::Theme() const { return FThemeEngine ? FThemeEngine->GetTheme() : nullptr; }

bool TTeThemeForm::IsThemed() const {
  TTeTheme* theme = Theme();
  return !Busy() && theme && theme->IsAvailable();
}

int TTeThemeForm::Size(uint8_t kind) const { return Theme()->GetSize(kind); }

bool TTeThemeForm::IsXPThemeAPI() const { return Theme()->ThemeClass()->ThemeName() == "XP ThemeAPI"; }

void TTeThemeForm::SetThemeEngine(TTeThemeEngine* value) {
  if (!ReplaceReference(FThemeEngine, value))
    return;
  if (!GetComponentState().Contains(csDestroying) && GetForm()) {
    UpdateFrame();
    RepaintControls();
  }
}

void TTeThemeForm::Notification(TComponent* AComponent, TOperation operation) {
  inherited::Notification(AComponent, operation);
  if (operation == opRemove && AComponent == FThemeEngine)
    FThemeEngine = nullptr;
}

void TTeThemeForm::RefreshFrame() {
  TCustomForm* form = GetForm();
  if (Busy() || !form)
    return;
  PaintNonClient();
  form->Invalidate();
  if (TTeTheme* theme = Theme())
    theme->SetBiDiMode(form->GetBiDiMode());
}

void TTeThemeForm::RepaintControls() {
  TCustomForm* form = GetForm();
  if (Busy() || !form)
    return;
  for (int i = 0; i < form->GetComponentCount(); ++i)
    if (auto* control = ObjectAs<TControl>(form->GetComponent(i)))
      control->Invalidate();
}

void TTeThemeForm::ThemeChanged() {
  UpdateFrame();
  RefreshFrame();
  RepaintControls();
}

// ---- geometry ---------------------------------------------------------------------------

TRect TTeThemeForm::GetFrameClientRect() {
  if (!IsThemed() || GetBorderStyle() == kbsNone || IsMaximizedMDIChild())
    return inherited::GetFrameClientRect();
  const int w = GetFrameWidth(), h = GetFrameHeight();
  if (GetBorderStyle() == kbsToolWindow)
    return MakeRect(Size(1), Size(3), w - Size(1), h - Size(1));
  return MakeRect(Size(0), Size(2), w - Size(0), h - Size(0));
}

TRect TTeThemeForm::GetCaptionButtonRect(TKsBorderIcon index) {
  if (!IsThemed())
    return inherited::GetCaptionButtonRect(index);
  const TKsBorderIcons icons = GetBorderIcons();
  if (!icons.Contains(index))
    return TRect{};
  const bool tool = GetBorderStyle() == kbsToolWindow;
  const int w = GetFrameWidth();
  const int border = Size(tool ? 1 : 0);
  const TRect band = MakeRect(border, border, w - border, Size(tool ? 3 : 2));
  if (index == kbiSystemMenu)
    return MakeRect(band.left, band.top, band.left + (band.bottom - band.top), band.bottom);
  const int bw = Size(tool ? 7 : 5), bh = Size(tool ? 8 : 6);
  const int top = Size(tool ? 13 : 10);
  const int gap = Size(11);
  const TKsWindowState state = GetWindowState();
  const bool minimized = state == kwsMinimized;
  int x = w - Size(tool ? 12 : 9) - bw;
  // Laid from the right; every placed button moves the next one left.
  auto place = [&](TKsBorderIcon icon, bool shown, TRect& found) {
    if (!shown || !icons.Contains(icon))
      return false;
    if (icon == index) {
      found = MakeRect(x, top, x + bw, top + bh);
      return true;
    }
    x -= gap + bw;
    return false;
  };
  TRect found{};
  if (place(kbiClose, true, found) || tool)
    return found;
  const bool extras = !minimized && !IsXPThemeAPI();
  if (place(kbiMaximize, !minimized, found) || place(kbiMinimize, true, found) ||
      place(kbiRollup, extras, found) || place(kbiTray, extras, found) ||
      place(kbiHelp, state != kwsRollup && !minimized, found))
    return found;
  return TRect{};
}

uint8_t TTeThemeForm::HitTest(int x, int y) {
  const uint8_t code = inherited::HitTest(x, y);
  if (!IsThemed() || (code != khtTop && code != khtTopLeft && code != khtTopRight))
    return code;
  // The resizing strip at the top is only as thick as the theme's border.
  const TRect client = GetFrameClientRect();
  const int border = Size(GetBorderStyle() == kbsToolWindow ? 1 : 0);
  if (x > client.left && x < client.right && y > border)
    return khtCaption;
  return code;
}

HRGN TTeThemeForm::GetFormRegion() {
  if (!IsThemed() || IsMaximizedMDIChild())
    return nullptr;
  return Theme()->GetFormRegion(GetFrameWidth(), GetFrameHeight(), GetBorderStyle());
}

TRect TTeThemeForm::GetMaximizedRect() {
  if (!IsThemed() || IsMDIChild())
    return inherited::GetMaximizedRect();
  // The whole themed frame stays on screen.
  return ScreenWorkArea();
}

TKsCustomItem* TTeThemeForm::CreateMenuItem(TComponent* AOwner) {
  auto* item = new TTeThemeItem(AOwner);
  item->SetThemeEngine(FThemeEngine);
  return item;
}

// ---- painting ---------------------------------------------------------------------------

void TTeThemeForm::PaintBackground(TKsBitmap& bitmap) {
  if (!IsThemed()) {
    inherited::PaintBackground(bitmap);
    return;
  }
  bitmap.FillRect(GetFrameClientRect(), ColorToKsColor(Theme()->GetColor(11), 255));
}

void TTeThemeForm::DrawButton(TKsBitmap& bitmap, TKsBorderIcon icon) {
  if (!GetBorderIcons().Contains(icon))
    return;
  const TRect rect = GetCaptionButtonRect(icon);
  if (EmptyRect(rect))
    return;
  if (icon == kbiSystemMenu) {
    DrawFormIcon(bitmap, rect, /*centred=*/true);
    return;
  }
  const uint8_t code = KsBorderIconHitCode(icon);
  const bool pressed = ButtonPressed(code);
  const bool hot = FHoverCode == code && !GetDragging();
  Theme()->DrawCaptionButton(bitmap, rect, GlyphKind(icon, GetWindowState()), hot, pressed, GetActiveLook(),
                             GetBorderStyle());
}

void TTeThemeForm::PaintFrame(TKsBitmap& bitmap) {
  if (!IsThemed()) {
    inherited::PaintFrame(bitmap);
    return;
  }
  TTeTheme* theme = Theme();
  const bool tool = GetBorderStyle() == kbsToolWindow;
  const bool active = GetActiveLook();
  const int w = GetFrameWidth();
  theme->DrawFormFrame(bitmap, w, GetFrameHeight(), GetFrameClientRect(), active, GetBorderStyle());

  TRect text = tool ? MakeRect(Size(12) + 4, Size(13), w - Size(12), Size(3))
                    : MakeRect(Size(9), Size(10), w - Size(9), Size(2));
  if (TCustomForm* form = GetForm()) {
    TFont font;
    if (TFont* caption = tool ? KsSmallCaptionFont() : KsCaptionFont())
      font.Assign(caption);
    std::string name;
    theme->GetFontName(tool ? 1 : 0, name);
    font.SetName(name);
    font.SetSize(theme->GetFontSize(tool ? 1 : 0));
    font.SetStyle(theme->GetFontBold(tool ? 1 : 0) ? TFontStyles{fsBold} : TFontStyles{});
    bitmap.SetFont(&font);

    if (!tool) {
      const TRect icon = GetCaptionButtonRect(kbiSystemMenu);
      if (!EmptyRect(icon))
        text.left += icon.bottom - icon.top;
    }
    const TKsBorderIcons icons = GetBorderIcons();
    int room;
    if (tool) {
      room = Size(7);
    } else if (GetWindowState() == kwsMinimized) {
      room = 2 * Size(5);
    } else {
      int buttons = 0;
      for (TKsBorderIcon icon : {kbiClose, kbiMinimize, kbiMaximize, kbiHelp})
        buttons += icons.Contains(icon);
      if (!IsXPThemeAPI())
        for (TKsBorderIcon icon : {kbiRollup, kbiTray})
          buttons += icons.Contains(icon);
      room = (Size(5) + Size(9)) * buttons;
    }
    text.right -= room;
    const UINT flags = form->DrawTextBiDiModeFlags(DT_SINGLELINE | DT_VCENTER | DT_END_ELLIPSIS);
    const std::string caption = form->GetCaption();
    OffsetRect(&text, 1, 1);
    const TColor shadow = theme->GetColor(2);
    if (shadow != TColor(-1) && active) {
      const TColor textColor = theme->GetColor(3);
      const COLORREF rgb = ColorToRGB(textColor);
      const bool dark = GetRValue(rgb) < 20 && GetGValue(rgb) < 20 && GetBValue(rgb) < 20;
      bitmap.GetFont()->SetColor(dark ? clBtnShadow : shadow);
      if (!EmptyRect(text))
        bitmap.DrawText(caption, text, flags);
    }
    bitmap.GetFont()->SetColor(theme->GetColor(active ? 3 : 5));
    OffsetRect(&text, -1, -1);
    if (!EmptyRect(text))
      bitmap.DrawText(caption, text, flags);
  }
  DrawButton(bitmap, kbiClose);
  if (tool)
    return;
  for (TKsBorderIcon icon : {kbiSystemMenu, kbiMinimize, kbiMaximize, kbiHelp, kbiRollup, kbiTray})
    DrawButton(bitmap, icon);
}

void TTeThemeForm::PaintBorderWidthBand() {
  TCustomForm* form = GetForm();
  HWND wnd = GetFormHandle();
  if (!form || !wnd)
    return;
  const int bw = form->GetBorderWidth();
  if (bw <= 0)
    return;
  TWindowDC dc(wnd);
  if (!dc.Get())
    return;
  // The client rectangle in window coordinates, before it was shrunk by BorderWidth.
  TRect inner = GetFrameClientRect();
  TRect outer = inner;
  InflateRect(&inner, -bw, -bw);
  TSaveDCGuard saved(dc.Get());
  ExcludeClipRect(dc.Get(), inner.left, inner.top, inner.right, inner.bottom);
  IntersectClipRect(dc.Get(), outer.left, outer.top, outer.right, outer.bottom);
  const TColor color = Theme() ? Theme()->GetColor(11) : form->GetColor();
  TBrushHandle brush(CreateSolidBrush(ColorToRGB(color)));
  RECT window{0, 0, GetWindowWidth(), GetWindowHeight()};
  FillRect(dc.Get(), &window, brush.Get());
}

void TTeThemeForm::Dispatch(TMessage& message) {
  if (message.Msg == WM_NCPAINT && GetActive() && !Designing())
    PaintBorderWidthBand();
  inherited::Dispatch(message);
}

void TTeThemeForm::HoverTimer(TObject*) {
  HWND wnd = GetFormHandle();
  if (Busy() || !wnd || !GetActiveLook() || !IsThemed())
    return;
  POINT cursor;
  if (!GetCursorPos(&cursor))
    return;
  const TPoint p = ScreenToFrame(TPoint{cursor.x, cursor.y});
  FHoverCode = HitTest(p.x, p.y);
  if (FHoverCode != FLastHoverCode) {
    PaintNonClient();
    FLastHoverCode = FHoverCode;
  }
}
