#include "skin/KsForms.h"

#include <algorithm>

#include "classlib/AliveGuard.h"
#include "classlib/Canvas.h"
#include "classlib/Controls.h"
#include "classlib/Forms.h"
#include "classlib/GdiHandles.h"
#include "classlib/GraphicsObjects.h"
#include "classlib/Icon.h"
#include "classlib/ImageList.h"
#include "classlib/Menus.h"
#include "classlib/UtilWindow.h"
#include "skin/KsGlobalBuffer.h"
#include "skin/KsItems.h"
#include "skin/KsMenus.h"
#include "skin/KsUtils.h"
#include "skin/KsWinBindings.h"

namespace {

constexpr int kGripSize = 20;

std::unique_ptr<TFont> gCaptionFont;
std::unique_ptr<TFont> gSmallCaptionFont;
std::unique_ptr<TImageList> gGlyphs;
int gStartCount = 0;

void FontFromLogFont(TFont& font, const LOGFONTA& lf) {
  font.SetName(lf.lfFaceName);
  font.SetHeight(lf.lfHeight);
  TFontStyles style;
  if (lf.lfWeight >= FW_BOLD)
    style.Include(fsBold);
  if (lf.lfItalic)
    style.Include(fsItalic);
  font.SetStyle(style);
}

TRect MakeRect(int l, int t, int r, int b) { return TRect{l, t, r, b}; }
bool Contains(const TRect& r, int x, int y) { return x >= r.left && x < r.right && y >= r.top && y < r.bottom; }
bool EmptyRect(const TRect& r) { return r.right <= r.left || r.bottom <= r.top; }

}  // namespace

HICON KsFormIcon(TCustomForm* form) {
  if (form && form->GetIcon() && form->GetIcon()->GetHandle())
    return form->GetIcon()->GetHandle();
  if (Application && Application->GetIcon() && Application->GetIcon()->GetHandle())
    return Application->GetIcon()->GetHandle();
  return nullptr;
}

uint8_t KsBorderIconHitCode(TKsBorderIcon icon) {
  switch (icon) {
    case kbiClose: return khtClose;
    case kbiHelp: return khtHelp;
    case kbiMinimize: return khtMinimize;
    case kbiMaximize: return khtMaximize;
    case kbiRollup: return khtRollup;
    case kbiTray: return khtTray;
    case kbiSystemMenu: return khtSystemMenu;
  }
  return khtNone;
}

TFont* KsCaptionFont() { return gCaptionFont.get(); }
TFont* KsSmallCaptionFont() { return gSmallCaptionFont.get(); }
TCustomImageList* KsSystemMenuGlyphs() { return gGlyphs.get(); }

void InitializeKsForms() {
  if (gStartCount++ > 0)
    return;
  NONCLIENTMETRICSA metrics{};
  metrics.cbSize = 340;
  gCaptionFont = std::make_unique<TFont>();
  gSmallCaptionFont = std::make_unique<TFont>();
  if (SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, 340, &metrics, 0)) {
    FontFromLogFont(*gCaptionFont, metrics.lfCaptionFont);
    FontFromLogFont(*gSmallCaptionFont, metrics.lfSmCaptionFont);
  }
  gGlyphs = std::make_unique<TImageList>(nullptr);
  gGlyphs->SetMasked(true);
  gGlyphs->SetDrawingStyle(dsNormal);
  HINSTANCE instance = ClassLibInstance();
  for (const char* name : {"KSE_CLOSE", "KSE_MINIMIZE", "KSE_MAXIMIZE", "KSE_RESTORE", "KSE_ROLLUP", "KSE_TRAY"}) {
    // A module without the glyphs keeps an empty list: the menu then shows no pictures.
    if (!FindResourceA(instance, name, MAKEINTRESOURCEA(2)))
      break;
    gGlyphs->ResourceLoad(instance, name, TColor(RGB(255, 0, 255)));
  }
  CreateGlobalBuffer();
}

void FinalizeKsForms() {
  if (gStartCount == 0 || --gStartCount > 0)
    return;
  FreeGlobalBuffer();
  gGlyphs.reset();
  gSmallCaptionFont.reset();
  gCaptionFont.reset();
}

TKsCustomForm* FindFormSkinner(TComponent* form) {
  if (!form)
    return nullptr;
  for (int i = 0; i < form->GetComponentCount(); ++i)
    if (auto* skinner = ObjectAs<TKsCustomForm>(form->GetComponent(i)); skinner && skinner->GetActive())
      return skinner;
  return nullptr;
}

// ---- construction ---------------------------------------------------------------------

TKsCustomForm::TKsCustomForm(TComponent* AOwner) : TKsHookComponent(AOwner) {
  if (auto* form = ObjectAs<TCustomForm>(AOwner)) {
    form->SetBorderStyle(bsSizeable);
    form->SetBorderIcons(TBorderIcons{});
    form->SetAutoScroll(false);
    if (form->GetFormStyle() == fsMDIChild) {
      FBorderIcons.Exclude(kbiTray);
      FMouse.SetMagneticValue(9);
      FStates.SetMinimizeApplication(false);
    }
    SetControl(form);
  } else if (auto* control = ObjectAs<TWinControl>(AOwner)) {
    SetControl(control);
  }
  FTray.AllocateWindow(Designing());
}

TKsCustomForm::~TKsCustomForm() {
  Destroying();
  FAppEvents.UnchainApplication();
  FMDI.UnhookClient();
  FAppEvents.UnchainShortCut(GetForm());
  FTray.ReleaseWindow(Designing());
  // The system menu's items are components of this one and go with it.
}

void TKsCustomForm::Loaded() {
  FPainter.MakeOwnBuffer();
  inherited::Loaded();
  if (!Designing())
    InitializeSkin();
}

bool TKsCustomForm::Designing() const { return GetComponentState().Contains(csDesigning); }

void TKsCustomForm::Activate() {
  inherited::Activate();
  FMetrics.Sync();
  if (FInitialized)
    UpdateFrame();
}

void TKsCustomForm::InitializeSkin() {
  if (FInitialized)
    return;
  FInitialized = true;
  FMetrics.Sync();
  FPainter.SizeBackground(GetWindowWidth(), GetWindowHeight());
  if (TCustomForm* form = GetForm()) {
    if (form->GetFormStyle() == fsMDIForm)
      FMDI.HookClient();
    FAppEvents.ChainShortCut(form);
  }
  UpdateFrame();
  UpdateTrayIcon();
  FStates.ApplyLoadedState();
}

void TKsCustomForm::Notification(TComponent* AComponent, TOperation operation) {
  inherited::Notification(AComponent, operation);
  if (operation != opRemove)
    return;
  if (AComponent == FMenuBar)
    FMenuBar = nullptr;
  FTray.Removed(AComponent);
  FSystemMenu.Removed(AComponent);
}

// ---- properties -----------------------------------------------------------------------

void TKsCustomForm::ReMeasure() {
  if (!GetComponentState().Contains(csLoading))
    UpdateFrame();
}

void TKsCustomForm::SetBlend(bool value) {
  FPainter.SetBlend(value);
  ReMeasure();
}
void TKsCustomForm::SetBlendValue(int value) {
  FPainter.SetBlendValue(value);
  ReMeasure();
}
void TKsCustomForm::SetBorderIcons(TKsBorderIcons value) {
  FBorderIcons = value;
  ReMeasure();
}
void TKsCustomForm::SetBorderStyle(TKsBorderStyle value) {
  FBorderStyle = value;
  ReMeasure();
}
void TKsCustomForm::SetCanResize(bool value) {
  FMouse.SetCanResize(value);
  ReMeasure();
}
void TKsCustomForm::SetCanMove(bool value) {
  FMouse.SetCanMove(value);
  ReMeasure();
}

void TKsCustomForm::SetMenuBar(TKsCustomMenuBar* value) {
  ReplaceReference(FMenuBar, value);
}

void TKsCustomForm::SetStayOnTop(bool value) {
  if (value == FStayOnTop)
    return;
  FStayOnTop = value;
  TCustomForm* form = GetForm();
  if (Designing() || !form || !form->HandleAllocated())
    return;
  SetWindowPos(form->GetHandle(), value ? HWND_TOPMOST : HWND_NOTOPMOST, form->GetLeft(), form->GetTop(),
               GetFrameWidth(), GetFrameHeight(), SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE | SWP_NOCOPYBITS);
}

void TKsCustomForm::SetWindowState(TKsWindowState value) {
  if (GetComponentState().Contains(csLoading)) {
    FStates.SetLoadedState(value);
    return;
  }
  FStates.SetWindowState(value);
}

// ---- commands (TKsFormStates, TKsFormSystemMenu) ------------------------------------------

void TKsCustomForm::CloseForm() { FStates.CloseForm(); }
void TKsCustomForm::Restore() { FStates.Restore(); }
void TKsCustomForm::Maximize() { FStates.Maximize(); }
void TKsCustomForm::Minimize() { FStates.Minimize(); }
void TKsCustomForm::Rollup() { FStates.Rollup(); }
void TKsCustomForm::MinimizeToTray() { FStates.MinimizeToTray(); }
void TKsCustomForm::ShowSystemMenu() { FSystemMenu.Show(); }
void TKsCustomForm::PopupSystemMenu(TPoint at) { FSystemMenu.Popup(at); }
void TKsCustomForm::TrayWndProc(TMessage& message) { FTray.WndProc(message); }

// ---- frame geometry of the classic look ---------------------------------------------------

TKsCustomItem* TKsCustomForm::CreateMenuItem(TComponent* AOwner) { return new TKsCustomItem(AOwner); }

// ---- frame geometry -------------------------------------------------------------------

bool TKsCustomForm::IsMDIChild() const {
  TCustomForm* form = GetForm();
  return form && form->GetFormStyle() == fsMDIChild;
}

bool TKsCustomForm::IsMaximizedMDIChild() const { return IsMDIChild() && GetWindowState() == kwsMaximized; }

int TKsCustomForm::FrameBorderWidth() const { return IsAppThemedSafe() ? 3 : GetSystemMetrics(SM_CXFRAME); }

int TKsCustomForm::CaptionHeight() const {
  switch (FBorderStyle) {
    case kbsNone: return 0;
    case kbsStandard: return IsAppThemedSafe() ? 19 : GetSystemMetrics(SM_CYCAPTION);
    case kbsToolWindow: return IsAppThemedSafe() ? 15 : GetSystemMetrics(SM_CYSMCAPTION);
  }
  return 0;
}

TRect TKsCustomForm::GetFrameClientRect() {
  TRect r = MakeRect(0, 0, GetFrameWidth(), GetFrameHeight());
  if (FBorderStyle == kbsNone || IsMaximizedMDIChild())
    return r;
  const int border = FrameBorderWidth();
  InflateRect(&r, -border, -border);
  r.top += CaptionHeight();
  return r;
}

TRect TKsCustomForm::GetCaptionRect() {
  const TRect client = GetFrameClientRect();
  return MakeRect(client.left, client.top - CaptionHeight(), client.right, client.top - 1);
}

TRect TKsCustomForm::GetCaptionButtonRect(TKsBorderIcon index) {
  if (!FBorderIcons.Contains(index))
    return TRect{};
  const TRect band = GetCaptionRect();
  if (index == kbiSystemMenu)
    return MakeRect(band.left, band.top, band.left + (band.bottom - band.top), band.bottom);
  const int caption = CaptionHeight();
  int width, height;
  if (IsAppThemedSafe()) {
    width = caption - 1;
    height = caption - 4;
  } else if (FBorderStyle == kbsToolWindow) {
    width = GetSystemMetrics(SM_CXSMSIZE) - 2;
    height = GetSystemMetrics(SM_CYSMSIZE) - 4;
  } else {
    width = GetSystemMetrics(SM_CXSIZE) - 2;
    height = GetSystemMetrics(SM_CYSIZE) - 4;
  }
  const int top = band.top + 2;
  const bool minimized = GetWindowState() == kwsMinimized;
  const bool rolled = GetWindowState() == kwsRollup;
  int x = band.right - 2 - width;
  auto at = [&](int left) { return MakeRect(left, top, left + width, top + height); };
  // Laid from the right; a button that is not shown takes no room.
  if (FBorderIcons.Contains(kbiClose)) {
    if (index == kbiClose)
      return at(x);
    x -= width + 2;
  }
  if (FBorderStyle == kbsToolWindow)
    return TRect{};
  if (FBorderIcons.Contains(kbiMaximize) && !minimized) {
    if (index == kbiMaximize)
      return at(x);
    x -= width;
  }
  if (FBorderIcons.Contains(kbiMinimize)) {
    if (index == kbiMinimize)
      return at(x);
    x -= width;
  }
  if (FBorderIcons.Contains(kbiRollup) && !minimized) {
    if (index == kbiRollup)
      return at(x - 2);
    x -= width + 2;
  }
  if (FBorderIcons.Contains(kbiTray) && !minimized) {
    if (index == kbiTray)
      return at(x);
    x -= width;
  }
  if (index == kbiHelp && !rolled && !minimized)
    return at(x - 2);
  return TRect{};
}

TRect TKsCustomForm::ScreenWorkArea() {
  RECT work{};
  SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
  const int vx = GetSystemMetrics(SM_XVIRTUALSCREEN), vy = GetSystemMetrics(SM_YVIRTUALSCREEN);
  const RECT virt{vx, vy, vx + GetSystemMetrics(SM_CXVIRTUALSCREEN), vy + GetSystemMetrics(SM_CYVIRTUALSCREEN)};
  RECT r{};
  IntersectRect(&r, &work, &virt);
  return r;
}

TRect TKsCustomForm::GetMaximizedRect() {
  TCustomForm* form = GetForm();
  if (!IsMDIChild()) {
    TRect r = ScreenWorkArea();
    const int inset = GetFrameClientRect().left;
    InflateRect(&r, inset, inset);
    return r;
  }
  RECT r{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
  auto* owner = form ? ObjectAs<TCustomForm>(form->GetOwner()) : nullptr;
  if (owner && owner->GetClientHandle())
    GetClientRect(owner->GetClientHandle(), &r);
  ++r.right;
  ++r.bottom;
  return r;
}

TPoint TKsCustomForm::GetMaxTrackSize() {
  const TRect r = GetMaximizedRect();
  TPoint size{r.right - r.left, r.bottom - r.top};
  if (TCustomForm* form = GetForm()) {
    TSizeConstraints* c = form->GetConstraints();
    if (c->GetMaxWidth())
      size.x = c->GetMaxWidth();
    if (c->GetMaxHeight())
      size.y = c->GetMaxHeight();
  }
  return size;
}

TPoint TKsCustomForm::GetMinTrackSize() {
  TPoint size{150, 40};
  if (TCustomForm* form = GetForm()) {
    TSizeConstraints* c = form->GetConstraints();
    if (c->GetMinWidth())
      size.x = c->GetMinWidth();
    if (c->GetMinHeight())
      size.y = c->GetMinHeight();
  }
  return size;
}

TRect TKsCustomForm::GetRollupRect() {
  const TRect client = GetFrameClientRect();
  TCustomForm* form = GetForm();
  const int left = form ? form->GetLeft() : 0, top = form ? form->GetTop() : 0;
  return MakeRect(left, top, left + GetFrameWidth(), top + client.top + GetFrameHeight() - client.bottom);
}

TRect TKsCustomForm::GetMinimizedRect() {
  const TRect client = GetFrameClientRect();
  const int height = client.top + GetFrameHeight() - client.bottom;
  RECT area{};
  TCustomForm* form = GetForm();
  HWND parent = form && form->HandleAllocated() ? GetParent(form->GetHandle()) : nullptr;
  if (parent)
    GetClientRect(parent, &area);
  else
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &area, 0);
  return MakeRect(0, area.bottom - height, GetSystemMetrics(SM_CXMINIMIZED), area.bottom);
}

HRGN TKsCustomForm::GetFormRegion() { return nullptr; }

uint8_t TKsCustomForm::HitTest(int x, int y) {
  const TRect client = GetFrameClientRect();
  uint8_t code = khtNone;
  if (y < client.top)
    code = khtCaption;
  for (TKsBorderIcon icon : {kbiSystemMenu, kbiClose, kbiMinimize, kbiMaximize, kbiHelp, kbiRollup, kbiTray})
    if (Contains(GetCaptionButtonRect(icon), x, y))
      code = KsBorderIconHitCode(icon);
  if (GetWindowState() == kwsMaximized || GetWindowState() == kwsMinimized || GetWindowState() == kwsRollup)
    return code;
  const int w = GetFrameWidth(), h = GetFrameHeight();
  auto byX = [&](uint8_t low, uint8_t mid, uint8_t high) { return x < kGripSize ? low : x <= w - kGripSize ? mid : high; };
  auto byY = [&](uint8_t low, uint8_t mid, uint8_t high) { return y < kGripSize ? low : y <= h - kGripSize ? mid : high; };
  // The client rectangle is half-open: its right column and bottom row are border.
  if (y < client.top - CaptionHeight())
    code = byX(khtTopLeft, khtTop, khtTopRight);
  if (y >= client.bottom && y < h)
    code = byX(khtBottomLeft, khtBottom, khtBottomRight);
  if (x < client.left)
    code = byY(khtTopLeft, khtLeft, khtBottomLeft);
  if (x >= client.right && x < w)
    code = byY(khtTopRight, khtRight, khtBottomRight);
  return code;
}

// ---- painting of the classic look ---------------------------------------------------------

void TKsCustomForm::PaintBackground(TKsBitmap& bitmap) {
  TCustomForm* form = GetForm();
  TColor color = form ? form->GetColor() : clBtnFace;
  bitmap.FillRect(GetFrameClientRect(), ColorToKsColor(color, 255));
}

void TKsCustomForm::DrawCaptionButton(TKsBitmap& bitmap, TKsBorderIcon icon, bool pressed) {
  TRect r = GetCaptionButtonRect(icon);
  if (EmptyRect(r) || IsMaximizedMDIChild())
    return;
  HDC dc = bitmap.GetDC();
  const UINT push = pressed ? DFCS_PUSHED : 0;
  switch (icon) {
    case kbiClose: DrawFrameControl(dc, &r, DFC_CAPTION, DFCS_CAPTIONCLOSE | push); break;
    case kbiHelp: DrawFrameControl(dc, &r, DFC_CAPTION, DFCS_CAPTIONHELP | push); break;
    case kbiMinimize:
      DrawFrameControl(dc, &r, DFC_CAPTION, (GetWindowState() == kwsMinimized ? DFCS_CAPTIONRESTORE : DFCS_CAPTIONMIN) | push);
      break;
    case kbiMaximize:
      DrawFrameControl(dc, &r, DFC_CAPTION, (GetWindowState() == kwsMaximized ? DFCS_CAPTIONRESTORE : DFCS_CAPTIONMAX) | push);
      break;
    case kbiSystemMenu: DrawFormIcon(bitmap, r, /*centred=*/false); break;
    case kbiRollup: {
      DrawFrameControl(dc, &r, DFC_BUTTON, DFCS_BUTTONPUSH | push);
      InflateRect(&r, -4, -5);
      if (!pressed)
        OffsetRect(&r, -1, -1);
      const int mid = (r.left + r.right) / 2;
      TPoint up[3] = {{r.left, r.bottom}, {r.right, r.bottom}, {mid, r.top}};
      TPoint down[3] = {{r.left, r.top}, {r.right, r.top}, {mid, r.bottom}};
      bitmap.FillPolygon(GetWindowState() == kwsRollup ? down : up, KsColorARGB(255, 0, 0, 0));
      break;
    }
    case kbiTray: {
      DrawFrameControl(dc, &r, DFC_BUTTON, DFCS_BUTTONPUSH | push);
      InflateRect(&r, -5, -5);
      OffsetRect(&r, 0, 2);
      if (pressed)
        OffsetRect(&r, 1, 1);
      bitmap.FillRect(r, KsColorARGB(255, 0, 0, 0));
      break;
    }
  }
}

void TKsCustomForm::DrawFormIcon(TKsBitmap& bitmap, const TRect& rect, bool centred) {
  HICON source = KsFormIcon(GetForm());
  if (!source) {
    // The stock icon is copied like any other; the copy is ours to destroy.
    source = LoadIconA(nullptr, MAKEINTRESOURCEA(32512));
  }
  int cx = GetSystemMetrics(SM_CXSMICON), cy = GetSystemMetrics(SM_CYSMICON);
  if (cx == 0 || cy == 0) {
    cx = GetSystemMetrics(SM_CXSIZE);
    cy = GetSystemMetrics(SM_CYSIZE);
  }
  TIconHandle copy(static_cast<HICON>(CopyImage(source, IMAGE_ICON, cx, cy, 0)));
  if (!copy)
    return;
  int x = rect.left, y = rect.top;
  if (centred) {
    x += (rect.right - rect.left - cx) / 2;
    y += (rect.bottom - rect.top - cy) / 2;
  }
  DrawIconEx(bitmap.GetDC(), x, y, copy.Get(), 0, 0, 0, nullptr, DI_NORMAL);
}

void TKsCustomForm::PaintFrame(TKsBitmap& bitmap) {
  if (FBorderStyle == kbsNone)
    return;
  const TRect client = GetFrameClientRect();
  const int w = GetFrameWidth(), h = GetFrameHeight();
  RECT frame{0, 0, w, h};
  DrawEdge(bitmap.GetDC(), &frame, EDGE_RAISED, BF_RECT);
  GdiFlush();
  const TKsColor face = ColorToKsColor(clBtnFace, 255);
  bitmap.FillRect(MakeRect(2, 2, w - 2, client.top), face);
  bitmap.FillRect(MakeRect(2, client.bottom, w - 2, h - 2), face);
  bitmap.FillRect(MakeRect(2, client.top, client.left, client.bottom), face);
  bitmap.FillRect(MakeRect(client.right, client.top, w - 2, client.bottom), face);

  const TRect band = GetCaptionRect();
  const TKsColor from = ColorToKsColor(TColor(GetSysColor(GetActiveLook() ? COLOR_ACTIVECAPTION : COLOR_INACTIVECAPTION)), 255);
  const TKsColor to = ColorToKsColor(
      TColor(GetSysColor(GetActiveLook() ? COLOR_GRADIENTACTIVECAPTION : COLOR_GRADIENTINACTIVECAPTION)), 255);
  bitmap.FillGradient(band, from, false, to);

  TCustomForm* form = GetForm();
  if (form) {
    TFont* font = FBorderStyle == kbsToolWindow ? KsSmallCaptionFont() : KsCaptionFont();
    if (font)
      bitmap.SetFont(font);
    bitmap.GetFont()->SetColor(GetActiveLook() ? clCaptionText : clInactiveCaptionText);
    TRect text = band;
    if (FBorderStyle != kbsToolWindow && !EmptyRect(GetCaptionButtonRect(kbiSystemMenu)))
      text.left += band.bottom - band.top;
    int buttons = 0;
    if (FBorderStyle == kbsToolWindow)
      buttons = 2;
    else
      for (TKsBorderIcon icon : {kbiClose, kbiMinimize, kbiMaximize, kbiHelp, kbiRollup, kbiTray})
        if (!EmptyRect(GetCaptionButtonRect(icon)))
          ++buttons;
    text.right -= CaptionHeight() * buttons;
    InflateRect(&text, -2, 0);
    if (!EmptyRect(text))
      bitmap.DrawText(form->GetCaption(), text,
                      form->DrawTextBiDiModeFlags(DT_SINGLELINE | DT_VCENTER | DT_END_ELLIPSIS));
  }
  DrawCaptionButton(bitmap, kbiClose, ButtonPressed(khtClose));
  if (FBorderStyle == kbsToolWindow)
    return;
  for (TKsBorderIcon icon : {kbiSystemMenu, kbiMinimize, kbiMaximize, kbiRollup, kbiTray, kbiHelp})
    DrawCaptionButton(bitmap, icon, ButtonPressed(KsBorderIconHitCode(icon)));
}

void TKsCustomForm::UpdateRegion() { FPainter.UpdateRegion(); }

// ---- messages ---------------------------------------------------------------------------

TPoint TKsCustomForm::ScreenToFrame(TPoint screen) const {
  RECT r{};
  if (HWND wnd = GetFormHandle())
    GetWindowRect(wnd, &r);
  return TPoint{screen.x - r.left, screen.y - r.top};
}

TPoint TKsCustomForm::ClientToFrame(TPoint client) {
  const TRect c = GetFrameClientRect();
  return TPoint{client.x + c.left, client.y + c.top};
}

void TKsCustomForm::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
  FMouse.MouseDown(button, shift, x, y);
}
void TKsCustomForm::MouseMove(TShiftState shift, int x, int y) { FMouse.MouseMove(shift, x, y); }
void TKsCustomForm::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
  FMouse.MouseUp(button, shift, x, y);
}

void TKsCustomForm::Dispatch(TMessage& message) {
  if (!GetActive() || Designing()) {
    inherited::Dispatch(message);
    return;
  }
  switch (message.Msg) {
    case WM_NCCALCSIZE:
      FMetrics.CalcSize(message);
      SetHandled();
      return;
    case WM_NCPAINT:
      PaintNonClient();
      message.Result = 0;
      SetHandled();
      return;
    case WM_NCACTIVATE: WMNCActivate(message); return;
    case WM_NCHITTEST:
      FMouse.NCHitTest(message);
      SetHandled();
      return;
    case WM_NCLBUTTONDOWN:
    case WM_NCLBUTTONUP:
    case WM_NCLBUTTONDBLCLK:
    case WM_NCMOUSEMOVE:
    case WM_NCRBUTTONDOWN:
    case WM_NCRBUTTONUP:
      FMouse.NCButton(message);
      SetHandled();
      return;
    case WM_LBUTTONUP:
    case WM_MOUSEMOVE: FMouse.ClientMouse(message); return;
    case WM_ACTIVATE:
      if (!GetActiveLook() && HIWORD(message.WParam) != 0)
        Minimize();
      return;
    case WM_PAINT:
      if (FPainter.Paint(message))
        SetHandled();
      return;
    case WM_ERASEBKGND:
      SetHandled();
      FPainter.EraseBackground(message);
      return;
    case WM_WINDOWPOSCHANGING: WMWindowPosChanging(message); return;
    case WM_SYSCOMMAND: WMSysCommand(message); return;
    case WM_MDIACTIVATE: FMDI.Activated(message); return;
    case KM_CAPTIONCHANGED: CaptionChanged(message); return;
    case KM_MAXIMIZE:
      Maximize();
      SetHandled();
      return;
    case KM_ISBLENDED:
      message.Result = GetBlend() ? 1 : 0;
      SetHandled();
      return;
    default: inherited::Dispatch(message);
  }
}

void TKsCustomForm::CaptionChanged(TMessage& message) {
  if (message.WParam == KsCaptionStyleTaken)
    if (HWND wnd = GetFormHandle())
      SetWindowLongA(wnd, GWL_STYLE, GetWindowLongA(wnd, GWL_STYLE) | WS_CAPTION);
  PaintNonClient();
  SetHandled();
}

void TKsCustomForm::WMNCActivate(TMessage& message) {
  FPainter.SetActiveLook(message.WParam != 0);
  if (!GetAppHooked() && GetMinimizeApplication() && GetForm())
    FAppEvents.ChainApplication();
  if (GetActiveLook()) {
    message.Result = 0;
    if (IsMDIChild())
      return;
    PaintNonClient();
    SetHandled();
    return;
  }
  PaintNonClient();
  message.Result = 1;
  SetHandled();
}

void TKsCustomForm::WMWindowPosChanging(TMessage& message) {
  WINDOWPOS* pos = MessageAs<TWMWindowPosChanging>(message).WindowPos;
  message.Result = 0;
  SetHandled();
  // Showing counts as a change: a window shown in place must still get its background
  // and its show animation.
  if ((pos->flags & SWP_NOSIZE) && (pos->flags & SWP_NOMOVE) && !(pos->flags & SWP_SHOWWINDOW))
    return;
  const bool sizeChanged = FMetrics.TakeWindowPos(*pos);
  HWND wnd = GetFormHandle();
  const bool composed = GetBlend() || GetDropShadow();
  if (composed && wnd && !((pos->flags & SWP_NOSIZE) && (pos->flags & SWP_NOMOVE))) {
    TPoint topLeft{pos->x, pos->y};
    if (pos->flags & SWP_NOMOVE) {
      RECT r;
      GetWindowRect(wnd, &r);
      topLeft = TPoint{r.left, r.top};
    }
    FPainter.CaptureBackground(
        MakeRect(topLeft.x, topLeft.y, topLeft.x + GetWindowWidth(), topLeft.y + GetWindowHeight()));
  }
  // The new region's buffer tells of its size, whose handler may free the form.
  if (sizeChanged && !Survives(this, [this] { UpdateRegion(); }))
    return;
  if ((pos->flags & SWP_SHOWWINDOW) && composed && wnd) {
    FPainter.ForgetBackgroundRect();
    RECT r;
    GetWindowRect(wnd, &r);
    FPainter.CaptureBackground(r);
  }
  if (pos->flags & SWP_SHOWWINDOW)
    ShowAnimated();
  if (composed)
    pos->flags |= SWP_NOCOPYBITS;
}

void TKsCustomForm::WMSysCommand(TMessage& message) {
  const WPARAM command = message.WParam & 0xFFF0;
  const bool menuKey = command == SC_KEYMENU && message.LParam != ' ' && message.LParam != '-';
  if (menuKey && FMenuBar && !GetCapture()) {
    // Alt+key opens the menu bar, which finds the item by the key it is sent.
    if (HWND wnd = GetFormHandle())
      PostMessageA(wnd, WM_CHAR, WPARAM(message.LParam), 0);
    FMenuBar->TrackMenu();
    message.Result = 1;
  } else if (command == SC_KEYMENU && message.LParam == ' ')
    ShowSystemMenu();
  else if (command == SC_MOUSEMENU)
    ShowSystemMenu();
  else if (command == SC_CLOSE) {
    // Closing is done here; letting the default procedure send WM_CLOSE as well
    // would ask the form's close query a second time.
    CloseForm();
    SetHandled();
  }
}

void TKsCustomForm::AfterMessage(TObject*, TMessage& message, bool&) {
  if (!GetActive() || Designing())
    return;
  if (message.Msg == WM_GETTEXT && message.LParam) {
    std::string text(reinterpret_cast<const char*>(message.LParam), size_t(std::max<LRESULT>(message.Result, 0)));
    if (text != FCaption) {
      if (HWND wnd = GetFormHandle()) {
        // The system would paint the new caption itself: its style is taken away until
        // the skinner has painted it.
        SetWindowLongA(wnd, GWL_STYLE, GetWindowLongA(wnd, GWL_STYLE) & ~WS_CAPTION);
        PostMessageA(wnd, KM_CAPTIONCHANGED, KsCaptionStyleTaken, 0);
      }
      FCaption = text;
      if (IsMDIChild() && HasMaximizedMDIChild())
        UpdateMDICaption();
    }
  }
  TCustomForm* form = GetForm();
  if (message.Msg == WM_SIZE && form && form->GetFormStyle() == fsMDIForm && HasMaximizedMDIChild()) {
    // A maximized child follows the client area of its parent.
    if (TCustomForm* child = form->GetActiveMDIChild()) {
      RECT area{};
      GetClientRect(form->GetClientHandle() ? form->GetClientHandle() : form->GetHandle(), &area);
      child->SetBounds(area.left, area.top, area.right - area.left, area.bottom - area.top);
    }
  }
}
