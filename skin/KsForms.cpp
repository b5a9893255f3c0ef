#include "skin/KsForms.h"

#include <algorithm>
#include <cstdlib>

#include "classlib/Boundary.h"
#include "classlib/Canvas.h"
#include "classlib/Controls.h"
#include "classlib/FlagScope.h"
#include "classlib/Forms.h"
#include "classlib/GdiHandles.h"
#include "classlib/GraphicsObjects.h"
#include "classlib/Icon.h"
#include "classlib/ImageList.h"
#include "classlib/Menus.h"
#include "classlib/UtilWindow.h"
#include "classlib/UtilWindow.h"
#include "skin/KsGlobalBuffer.h"
#include "skin/KsItems.h"
#include "skin/KsMenus.h"
#include "skin/KsUtils.h"
#include "skin/KsWinBindings.h"

namespace {

constexpr int kGripSize = 20;
constexpr TKsColor kShadowColor = KsColorARGB(0x90, 63, 63, 63);

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

// The icon of the form, else of the application; null when neither has one.
HICON FormIcon(TCustomForm* form) {
  if (form && form->GetIcon() && form->GetIcon()->GetHandle())
    return form->GetIcon()->GetHandle();
  if (Application && Application->GetIcon() && Application->GetIcon()->GetHandle())
    return Application->GetIcon()->GetHandle();
  return nullptr;
}

}  // namespace

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

// ---- construction ---------------------------------------------------------------------

TKsCustomForm::TKsCustomForm(TComponent* AOwner) : TKsHookComponent(AOwner) {
  if (auto* form = ObjectAs<TCustomForm>(AOwner)) {
    form->SetBorderStyle(bsSizeable);
    form->SetBorderIcons(TBorderIcons{});
    form->SetAutoScroll(false);
    if (form->GetFormStyle() == fsMDIChild) {
      FBorderIcons.Exclude(kbiTray);
      FMagneticValue = 9;
      FMinimizeApplication = false;
    }
    SetControl(form);
  } else if (auto* control = ObjectAs<TWinControl>(AOwner)) {
    SetControl(control);
  }
  FBackground = std::make_unique<TKsBitmap>();
  FTrayWindow = AllocateHWnd(TWndMethod::Bind<&TKsCustomForm::TrayWndProc>(this));
  if (!Designing()) {
    static_assert(sizeof(NOTIFYICONDATAA) >= 88, "the tray data holds at least the classic fields");
    FTrayIcon.cbSize = 88;
    FTrayIcon.hWnd = FTrayWindow;
    FTrayIcon.uID = UINT(reinterpret_cast<uintptr_t>(this));
    FTrayIcon.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    FTrayIcon.uCallbackMessage = KM_TRAYCALLBACK;
  }
  FPaintEnabled = true;
}

TKsCustomForm::~TKsCustomForm() {
  Destroying();
  UnchainApplicationEvents();
  UnhookMDIClient();
  // A form that is going away keeps whatever handler it has.
  if (TCustomForm* form = GetForm(); form && !form->GetComponentState().Contains(csDestroying) &&
                                     form->OnShortCut == TShortCutEvent::Bind<&TKsCustomForm::FormShortCut>(this))
    form->OnShortCut = FOldShortCut;
  if (!Designing() && FTrayWindow)
    Shell_NotifyIconA(NIM_DELETE, &FTrayIcon);
  DeallocateHWnd(FTrayWindow);
  FTrayWindow = nullptr;
  FSystemMenu = nullptr;  // owned by this component; freed with it
}

void TKsCustomForm::Loaded() {
  if (FBlend) {
    FBuffer = std::make_unique<TKsBitmap>();
    if (HWND wnd = GetFormHandle()) {
      RECT r;
      GetWindowRect(wnd, &r);
      FBuffer->SetSize(r.right - r.left, r.bottom - r.top);
    }
  }
  inherited::Loaded();
  if (!Designing())
    InitializeSkin();
}

bool TKsCustomForm::Designing() const { return GetComponentState().Contains(csDesigning); }

void TKsCustomForm::Activate() {
  inherited::Activate();
  SyncFrameSize();
  if (FInitialized)
    UpdateFrame();
}

void TKsCustomForm::SyncFrameSize() {
  HWND wnd = GetFormHandle();
  if (!wnd)
    return;
  RECT r;
  GetWindowRect(wnd, &r);
  FWindowWidth = r.right - r.left;
  FWindowHeight = r.bottom - r.top;
  const int shadow = FDropShadow && FWindowState != kwsMaximized ? FShadowWidth : 0;
  FFrameWidth = FWindowWidth - shadow;
  FFrameHeight = FWindowHeight - shadow;
}

void TKsCustomForm::InitializeSkin() {
  if (FInitialized)
    return;
  FInitialized = true;
  SyncFrameSize();
  if ((FBlend || FDropShadow) && FWindowWidth > 0 && FWindowHeight > 0)
    FBackground->SetSize(FWindowWidth, FWindowHeight);
  if (TCustomForm* form = GetForm()) {
    if (form->GetFormStyle() == fsMDIForm)
      HookMDIClient();
    FOldShortCut = form->OnShortCut;
    form->OnShortCut = TShortCutEvent::Bind<&TKsCustomForm::FormShortCut>(this);
  }
  UpdateFrame();
  UpdateTrayIcon();
  switch (FLoadedState) {
    case kwsMaximized: Maximize(); break;
    case kwsMinimized: Minimize(); break;
    case kwsRollup: Rollup(); break;
    case kwsTray: MinimizeToTray(); break;
    case kwsNormal: break;
  }
}

void TKsCustomForm::Notification(TComponent* AComponent, TOperation operation) {
  inherited::Notification(AComponent, operation);
  if (operation != opRemove)
    return;
  if (AComponent == FMenuBar)
    FMenuBar = nullptr;
  if (AComponent == FTrayMenu)
    FTrayMenu = nullptr;
  if (AComponent == FSystemMenu)
    FSystemMenu = nullptr;
}

// ---- properties -----------------------------------------------------------------------

void TKsCustomForm::ReMeasure() {
  if (!GetComponentState().Contains(csLoading))
    UpdateFrame();
}

void TKsCustomForm::SetBlend(bool value) {
  FBlend = value;
  ReMeasure();
}
void TKsCustomForm::SetBlendValue(int value) {
  FBlendValue = value;
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
  FCanResize = value;
  ReMeasure();
}
void TKsCustomForm::SetCanMove(bool value) {
  FCanMove = value;
  ReMeasure();
}

void TKsCustomForm::SetMenuBar(TKsCustomMenuBar* value) {
  FMenuBar = value;
  if (value)
    value->FreeNotification(this);
}

void TKsCustomForm::SetTrayMenu(TPopupMenu* value) {
  FTrayMenu = value;
  if (value)
    value->FreeNotification(this);
}

void TKsCustomForm::SetStayOnTop(bool value) {
  if (value == FStayOnTop)
    return;
  FStayOnTop = value;
  TCustomForm* form = GetForm();
  if (Designing() || !form || !form->HandleAllocated())
    return;
  SetWindowPos(form->GetHandle(), value ? HWND_TOPMOST : HWND_NOTOPMOST, form->GetLeft(), form->GetTop(),
               FFrameWidth, FFrameHeight, SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE | SWP_NOCOPYBITS);
}

// ---- window state -------------------------------------------------------------------

void TKsCustomForm::SetWindowState(TKsWindowState value) {
  if (GetComponentState().Contains(csLoading)) {
    FLoadedState = value;
    return;
  }
  if (value == FWindowState)
    return;
  switch (value) {
    case kwsNormal: Restore(); break;
    case kwsMaximized: Maximize(); break;
    case kwsMinimized: Minimize(); break;
    case kwsRollup: Rollup(); break;
    case kwsTray: MinimizeToTray(); break;
  }
}

TKsCustomItem* TKsCustomForm::CreateMenuItem(TComponent* AOwner) { return new TKsCustomItem(AOwner); }

// ---- frame geometry -------------------------------------------------------------------

bool TKsCustomForm::IsMDIChild() const {
  TCustomForm* form = GetForm();
  return form && form->GetFormStyle() == fsMDIChild;
}

bool TKsCustomForm::IsMaximizedMDIChild() const { return IsMDIChild() && FWindowState == kwsMaximized; }

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
  TRect r = MakeRect(0, 0, FFrameWidth, FFrameHeight);
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
  const bool minimized = FWindowState == kwsMinimized;
  const bool rolled = FWindowState == kwsRollup;
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
  return MakeRect(left, top, left + FFrameWidth, top + client.top + FFrameHeight - client.bottom);
}

TRect TKsCustomForm::GetMinimizedRect() {
  const TRect client = GetFrameClientRect();
  const int height = client.top + FFrameHeight - client.bottom;
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
  if (FWindowState == kwsMaximized || FWindowState == kwsMinimized || FWindowState == kwsRollup)
    return code;
  const int w = FFrameWidth, h = FFrameHeight;
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

// ---- painting ---------------------------------------------------------------------------

TKsBitmap* TKsCustomForm::GetBuffer() const { return FBuffer ? FBuffer.get() : KsGlobalBuffer(); }

bool TKsCustomForm::ButtonPressed(uint8_t code) const {
  return (FMouseButtons & 8) != 0 && FDownCode == code && FHotCode == code;
}

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
      DrawFrameControl(dc, &r, DFC_CAPTION, (FWindowState == kwsMinimized ? DFCS_CAPTIONRESTORE : DFCS_CAPTIONMIN) | push);
      break;
    case kbiMaximize:
      DrawFrameControl(dc, &r, DFC_CAPTION, (FWindowState == kwsMaximized ? DFCS_CAPTIONRESTORE : DFCS_CAPTIONMAX) | push);
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
      bitmap.FillPolygon(FWindowState == kwsRollup ? down : up, KsColorARGB(255, 0, 0, 0));
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
  HICON source = FormIcon(GetForm());
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
  const int w = FFrameWidth, h = FFrameHeight;
  RECT frame{0, 0, w, h};
  DrawEdge(bitmap.GetDC(), &frame, EDGE_RAISED, BF_RECT);
  GdiFlush();
  const TKsColor face = ColorToKsColor(clBtnFace, 255);
  bitmap.FillRect(MakeRect(2, 2, w - 2, client.top), face);
  bitmap.FillRect(MakeRect(2, client.bottom, w - 2, h - 2), face);
  bitmap.FillRect(MakeRect(2, client.top, client.left, client.bottom), face);
  bitmap.FillRect(MakeRect(client.right, client.top, w - 2, client.bottom), face);

  const TRect band = GetCaptionRect();
  const TKsColor from = ColorToKsColor(TColor(GetSysColor(FActiveLook ? COLOR_ACTIVECAPTION : COLOR_INACTIVECAPTION)), 255);
  const TKsColor to = ColorToKsColor(
      TColor(GetSysColor(FActiveLook ? COLOR_GRADIENTACTIVECAPTION : COLOR_GRADIENTINACTIVECAPTION)), 255);
  bitmap.FillGradient(band, from, false, to);

  TCustomForm* form = GetForm();
  if (form) {
    TFont* font = FBorderStyle == kbsToolWindow ? KsSmallCaptionFont() : KsCaptionFont();
    if (font)
      bitmap.SetFont(font);
    bitmap.GetFont()->SetColor(FActiveLook ? clCaptionText : clInactiveCaptionText);
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

void TKsCustomForm::PaintNonClient() {
  TKsBitmap* buffer = GetBuffer();
  HWND wnd = GetFormHandle();
  if (IsMaximizedMDIChild() || !buffer || buffer->Empty() || !FPaintEnabled || !wnd)
    return;
  const TRect client = GetFrameClientRect();
  if (FDropShadow) {
    const int sw = FShadowWidth;
    const TKsBitmap& back = *FBackground;
    auto compose = [&](const TRect& r) { buffer->AlphaDraw(back, r.left, r.top, r); };
    TRect r = MakeRect(sw, sw, FFrameWidth, client.top);
    buffer->FillRect(r, kShadowColor);
    compose(r);
    r = MakeRect(sw, sw, client.left, FFrameHeight);
    buffer->FillRect(r, kShadowColor);
    compose(r);
    buffer->FillRect(MakeRect(client.right, 0, FWindowWidth, sw), KsColorTransparent);
    buffer->FillRect(MakeRect(client.right, sw, FWindowWidth, FWindowHeight), kShadowColor);
    compose(MakeRect(client.right, 0, FWindowWidth, FWindowHeight));
    buffer->FillRect(MakeRect(0, client.bottom, sw, FWindowHeight), KsColorTransparent);
    buffer->FillRect(MakeRect(sw, client.bottom, FFrameWidth, FWindowHeight), kShadowColor);
    compose(MakeRect(0, client.bottom, FFrameWidth, FWindowHeight));
  }
  const TRect bands[4] = {
      MakeRect(0, 0, FWindowWidth, client.top),
      MakeRect(client.left, client.bottom, client.right, FWindowHeight),
      MakeRect(0, client.top, client.left, FWindowHeight),
      MakeRect(client.right, client.top, FWindowWidth, FWindowHeight),
  };
  if (!FBlend) {
    PaintFrame(*buffer);
  } else {
    buffer->SetAlphaBlend(true);
    PaintFrame(*buffer);
    for (const TRect& band : bands) {
      buffer->SetAlphaRect(band, uint8_t(FBlendValue));
      buffer->AlphaDraw(*FBackground, band.left, band.top, band);
    }
  }
  GdiFlush();
  if (FRenderToBitmap && FAnimBitmap) {
    for (const TRect& band : bands)
      if (!EmptyRect(band))
        buffer->DrawRectToDC(FAnimBitmap->GetDC(), band.left, band.top, band);
    return;
  }
  TWindowDC dc(wnd);
  if (!dc.Get())
    return;
  for (const TRect& band : bands)
    if (!EmptyRect(band))
      buffer->DrawRectToDC(dc.Get(), band.left, band.top, band);
}

void TKsCustomForm::ShowAnimated() {
  TWinControl* control = GetControl();
  HWND wnd = GetFormHandle();
  if (FBlend || FShowAnimation == kaNone || !control || !wnd || !GetBuffer() || FWindowWidth <= 0 ||
      FWindowHeight <= 0)
    return;
  FAnimBitmap = std::make_unique<TKsBitmap>();
  FAnimBitmap->SetSize(FWindowWidth, FWindowHeight);
  FRenderToBitmap = true;
  RECT window;
  GetWindowRect(wnd, &window);
  FBackgroundRect = TRect{};
  CaptureBackground(window);
  const bool activeLook = FActiveLook;
  FActiveLook = true;
  PaintNonClient();
  FActiveLook = activeLook;
  PaintBackground(*FAnimBitmap);
  GdiFlush();
  FAnimBitmap->SetAlpha(255);
  FAnimBitmap->MakeTransparent(KsTransparentKey);
  const TRect client = GetFrameClientRect();
  HDC dc = FAnimBitmap->GetDC();
  {
    TSaveDCGuard saved(dc);
    SetWindowOrgEx(dc, -client.left, -client.top, nullptr);
    control->PaintControls(dc, nullptr);
  }
  for (int i = 0; i < control->GetControlCount(); ++i) {
    auto* child = ObjectAs<TWinControl>(control->GetControl(i));
    if (child && child->GetVisible())
      child->PaintTo(dc, child->GetLeft() + client.left, child->GetTop() + client.top);
  }
  GdiFlush();
  TKsAnimation effect = FShowAnimation;
  while (effect == kaRandom)
    effect = TKsAnimation(1 + std::rand() % 4);
  if (!FBackground->Empty()) {
    TClientDC screen(nullptr);
    const TRect onScreen{window.left, window.top, window.left + FWindowWidth, window.top + FWindowHeight};
    switch (effect) {
      case kaFade: AnimateFade(screen, *FBackground, onScreen, FShowAnimationTime, *FAnimBitmap); break;
      case kaSlide:
        AnimateSlide(screen, *FBackground, onScreen, FShowAnimationTime, std::rand() % 8, *FAnimBitmap);
        break;
      case kaRect: AnimateRect(screen, *FBackground, onScreen, FShowAnimationTime, std::rand() % 5, *FAnimBitmap); break;
      default: break;
    }
  }
  FRenderToBitmap = false;
  FAnimBitmap.reset();
}

// ---- frame size and region --------------------------------------------------------------

void TKsCustomForm::UpdateFrame() {
  TCustomForm* form = GetForm();
  if (!GetActive() || !form || Designing() || !form->HandleAllocated())
    return;
  {
    // The window measures its frame again at a height change; the client size stays.
    const TFlagScope updating(FUpdatingFrame);
    const int clientWidth = form->GetClientWidth(), clientHeight = form->GetClientHeight();
    const int height = form->GetHeight();
    form->SetHeight(height + 1);
    form->SetHeight(height);
    const int dw = clientWidth - form->GetClientWidth(), dh = clientHeight - form->GetClientHeight();
    if (dw != 0 || dh != 0)
      form->SetBounds(form->GetLeft(), form->GetTop(), form->GetWidth() + dw, form->GetHeight() + dh);
    FSavedClientWidth = form->GetClientWidth();
    FSavedClientHeight = form->GetClientHeight();
  }
  RECT r{0, 0, FWindowWidth, FWindowHeight};
  RedrawWindow(form->GetHandle(), &r, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME);
}

void TKsCustomForm::UpdateTrayIcon() {
  HICON icon = FormIcon(GetForm());
  FTrayIcon.hIcon = icon;
  if (!Designing() && FTrayWindow)
    Shell_NotifyIconA(NIM_MODIFY, &FTrayIcon);
}

void TKsCustomForm::UpdateRegion() {
  HWND wnd = GetFormHandle();
  if (FBuffer) {
    FBuffer->SetSize(FWindowWidth, FWindowHeight);
    FBuffer->Fill(KsTransparentKey);
  }
  if (TKsBitmap* buffer = GetBuffer())
    buffer->FillRect(MakeRect(0, 0, FWindowWidth, FWindowHeight), KsTransparentKey);
  FPaintEnabled = false;
  TRegionHandle region(GetFormRegion());
  if (region && FDropShadow && FWindowState != kwsMaximized) {
    TRegionHandle copy(GetFormRegion());
    if (copy) {
      OffsetRgn(copy.Get(), FShadowWidth, FShadowWidth);
      CombineRgn(region.Get(), region.Get(), copy.Get(), RGN_OR);
    }
  }
  if (wnd) {
    // The window owns the region once it is set.
    HRGN handed = region.Release();
    if (handed)
      HandleDestroyed(THandleKind::Region, handed);
    SetWindowRgn(wnd, handed, TRUE);
  }
  FPaintEnabled = true;
}

void TKsCustomForm::CaptureBackground(const TRect& rect) {
  if (!GetControl() || rect == FBackgroundRect || FUpdatingFrame)
    return;
  if (!FBlend && (FWindowState == kwsMaximized || FPrevState == kwsMaximized)) {
    if (FPrevState == kwsMaximized)
      FPrevState = kwsNormal;
    return;
  }
  const int w = rect.right - rect.left, h = rect.bottom - rect.top;
  if (w <= 0 || h <= 0)
    return;
  auto fresh = std::make_unique<TKsBitmap>();
  fresh->SetSize(w, h);
  TClientDC screen(nullptr);
  RECT overlap{};
  const bool overlaps = !FBackground->Empty() && IntersectRect(&overlap, &rect, &FBackgroundRect);
  if (!overlaps) {
    BitBlt(fresh->GetDC(), 0, 0, w, h, screen, rect.left, rect.top, SRCCOPY);
  } else {
    // The window covers the overlap on screen: that part comes from the old snapshot,
    // the uncovered strips from the screen.
    const RECT strips[4] = {
        {rect.left, rect.top, overlap.left, rect.bottom},
        {overlap.left, rect.top, overlap.right, overlap.top},
        {overlap.right, rect.top, rect.right, rect.bottom},
        {overlap.left, overlap.bottom, overlap.right, rect.bottom},
    };
    for (const RECT& s : strips)
      if (s.right > s.left && s.bottom > s.top)
        BitBlt(fresh->GetDC(), s.left - rect.left, s.top - rect.top, s.right - s.left, s.bottom - s.top, screen, s.left,
               s.top, SRCCOPY);
    BitBlt(fresh->GetDC(), overlap.left - rect.left, overlap.top - rect.top, overlap.right - overlap.left,
           overlap.bottom - overlap.top, FBackground->GetDC(), overlap.left - FBackgroundRect.left,
           overlap.top - FBackgroundRect.top, SRCCOPY);
  }
  GdiFlush();
  fresh->SetAlpha(255);
  FBackground = std::move(fresh);
  FBackgroundRect = rect;
}

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

void TKsCustomForm::Dispatch(TMessage& message) {
  if (!GetActive() || Designing()) {
    inherited::Dispatch(message);
    return;
  }
  switch (message.Msg) {
    case WM_NCCALCSIZE: WMNCCalcSize(message); return;
    case WM_NCPAINT:
      PaintNonClient();
      message.Result = 0;
      SetHandled();
      return;
    case WM_NCACTIVATE: WMNCActivate(message); return;
    case WM_NCHITTEST: WMNCHitTest(message); return;
    case WM_NCLBUTTONDOWN:
    case WM_NCLBUTTONUP:
    case WM_NCLBUTTONDBLCLK:
    case WM_NCMOUSEMOVE:
    case WM_NCRBUTTONDOWN:
    case WM_NCRBUTTONUP: WMNCButton(message); return;
    case WM_LBUTTONUP:
    case WM_MOUSEMOVE: WMMouse(message); return;
    case WM_ACTIVATE:
      if (!FActiveLook && HIWORD(message.WParam) != 0)
        Minimize();
      return;
    case WM_PAINT: WMPaint(message); return;
    case WM_ERASEBKGND: WMEraseBkgnd(message); return;
    case WM_WINDOWPOSCHANGING: WMWindowPosChanging(message); return;
    case WM_SYSCOMMAND: WMSysCommand(message); return;
    case WM_MDIACTIVATE: WMMDIActivate(message); return;
    case KM_CAPTIONCHANGED:
      if (message.WParam == 13)
        if (HWND wnd = GetFormHandle())
          SetWindowLongA(wnd, GWL_STYLE, GetWindowLongA(wnd, GWL_STYLE) | WS_CAPTION);
      PaintNonClient();
      SetHandled();
      return;
    case KM_MAXIMIZE:
      Maximize();
      SetHandled();
      return;
    case KM_ISBLENDED:
      message.Result = FBlend ? 1 : 0;
      SetHandled();
      return;
    default: inherited::Dispatch(message);
  }
}

void TKsCustomForm::WMNCCalcSize(TMessage& message) {
  auto& m = MessageAs<TWMNCCalcSize>(message);
  const TRect client = GetFrameClientRect();
  const int left = client.left, top = client.top;
  const int right = FWindowWidth - client.right, bottom = FWindowHeight - client.bottom;
  RECT& first = m.CalcSize_Params->rgrc[0];
  if (m.CalcValidRects) {
    const WINDOWPOS* pos = m.CalcSize_Params->lppos;
    first = RECT{pos->x, pos->y, pos->x + pos->cx, pos->y + pos->cy};
  }
  // Measured for both forms of the message: the first rectangle is the window's, and
  // the client lies within the frame margins.
  first.left += left;
  first.top += top;
  first.right -= right;
  first.bottom -= bottom;
  if (m.CalcValidRects)
    m.CalcSize_Params->rgrc[1] = first;
  if (TCustomForm* form = GetForm()) {
    const int bw = form->GetBorderWidth();
    InflateRect(&first, -bw, -bw);
  }
  if (first.right < first.left)
    first.right = first.left;
  if (first.bottom < first.top)
    first.bottom = first.top;
  message.Result = 0;
  SetHandled();
}

void TKsCustomForm::WMNCActivate(TMessage& message) {
  FActiveLook = message.WParam != 0;
  if (!FAppHooked && FMinimizeApplication && GetForm())
    ChainApplicationEvents();
  if (FActiveLook) {
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

void TKsCustomForm::WMNCHitTest(TMessage& message) {
  auto& m = MessageAs<TWMNCHitTest>(message);
  const TPoint p = ScreenToFrame(TPoint{m.XPos, m.YPos});
  LRESULT result = HTCLIENT;
  switch (HitTest(p.x, p.y)) {
    case khtCaption: if (FCanMove) result = HTCAPTION; break;
    case khtLeft: if (FCanResize) result = HTLEFT; break;
    case khtTop: if (FCanResize) result = HTTOP; break;
    case khtRight: if (FCanResize) result = HTRIGHT; break;
    case khtBottom: if (FCanResize) result = HTBOTTOM; break;
    case khtTopLeft: if (FCanResize) result = HTTOPLEFT; break;
    case khtTopRight: if (FCanResize) result = HTTOPRIGHT; break;
    case khtBottomLeft: if (FCanResize) result = HTBOTTOMLEFT; break;
    case khtBottomRight: if (FCanResize) result = HTBOTTOMRIGHT; break;
    case khtClose: result = HTCLOSE; break;
    case khtHelp: result = HTHELP; break;
    case khtMinimize:
    case khtRollup:
    case khtTray:
    case khtSystemMenu: result = HTMINBUTTON; break;
    case khtMaximize: result = HTMAXBUTTON; break;
    default: break;
  }
  message.Result = result;
  SetHandled();
}

void TKsCustomForm::WMNCButton(TMessage& message) {
  const TPoint p = ScreenToFrame(TPoint{short(LOWORD(message.LParam)), short(HIWORD(message.LParam))});
  HWND wnd = GetFormHandle();
  switch (message.Msg) {
    case WM_NCLBUTTONDOWN:
    case WM_NCRBUTTONDOWN: {
      const bool left = message.Msg == WM_NCLBUTTONDOWN;
      if (!FActiveLook && wnd)
        SetFocus(wnd);
      FMouseButtons = left ? 8 : 16;
      MouseDown(left ? mbLeft : mbRight, TShiftState{left ? ssLeft : ssRight}, p.x, p.y);
      message.Result = 0;
      message.Msg = 0;
      break;
    }
    case WM_NCLBUTTONUP:
      FMouseButtons = 0;
      MouseUp(mbLeft, TShiftState{}, p.x, p.y);
      message.Result = 0;
      message.Msg = 0;
      break;
    case WM_NCLBUTTONDBLCLK:
      MouseDown(mbLeft, TShiftState{ssLeft, ssDouble}, p.x, p.y);
      MouseUp(mbLeft, TShiftState{ssLeft, ssDouble}, p.x, p.y);
      FMouseButtons = 0;
      message.Result = 1;
      break;
    case WM_NCMOUSEMOVE:
      MouseMove(TShiftState::FromBits(FMouseButtons), p.x, p.y);
      message.Result = 0;
      message.Msg = 0;
      break;
    case WM_NCRBUTTONUP:
      FMouseButtons = 0;
      MouseUp(mbRight, TShiftState{}, p.x, p.y);
      break;
  }
  SetHandled();
}

void TKsCustomForm::WMMouse(TMessage& message) {
  if (FMouseButtons == 0)
    return;
  const TPoint p = ClientToFrame(TPoint{short(LOWORD(message.LParam)), short(HIWORD(message.LParam))});
  if (message.Msg == WM_LBUTTONUP) {
    FMouseButtons = 0;
    MouseUp(mbLeft, TShiftState{}, p.x, p.y);
  } else {
    MouseMove(TShiftState::FromBits(FMouseButtons), p.x, p.y);
  }
}

void TKsCustomForm::WMPaint(TMessage& message) {
  TCustomForm* form = GetForm();
  if (!form)
    return;
  TPaintScope paint(form->GetHandle(), reinterpret_cast<HDC>(message.WParam));
  form->Perform(WM_PAINT, reinterpret_cast<WPARAM>(paint.DC()), 0);
  message.Result = 0;
  SetHandled();
}

void TKsCustomForm::WMEraseBkgnd(TMessage& message) {
  message.Result = 1;
  SetHandled();
  TCustomForm* form = GetForm();
  if (form && form->GetFormStyle() == fsMDIForm && message.LParam != 4)
    return;
  TKsBitmap* buffer = GetBuffer();
  HDC dc = reinterpret_cast<HDC>(message.WParam);
  if (!FPaintEnabled || !buffer || buffer->Empty() || !dc)
    return;
  const TRect client = GetFrameClientRect();
  PaintBackground(*buffer);
  if (!(message.LParam & 4)) {
    if (FBlend) {
      buffer->SetAlphaRect(client, uint8_t(FBlendValue));
      buffer->AlphaDraw(*FBackground, client.left, client.top, client);
    }
    if (OnPaint && !GetComponentState().Contains(csLoading)) {
      GdiFlush();
      TCanvas canvas;
      canvas.SetHandle(buffer->GetDC());
      OnPaint(&canvas);
      canvas.SetHandle(nullptr);
    }
  }
  GdiFlush();
  buffer->DrawRectToDC(dc, 0, 0, client);
}

void TKsCustomForm::WMWindowPosChanging(TMessage& message) {
  WINDOWPOS* pos = MessageAs<TWMWindowPosChanging>(message).WindowPos;
  message.Result = 0;
  SetHandled();
  // Showing counts as a change: a window shown in place must still get its background
  // and its show animation.
  if ((pos->flags & SWP_NOSIZE) && (pos->flags & SWP_NOMOVE) && !(pos->flags & SWP_SHOWWINDOW))
    return;
  bool sizeChanged = false;
  // A move alone carries no size: the size is only looked at when it is given.
  if (!(pos->flags & SWP_NOSIZE)) {
    const TPoint maxSize = GetMaxTrackSize();
    pos->cx = std::min(pos->cx, int(maxSize.x));
    pos->cy = std::min(pos->cy, int(maxSize.y));
    if (FWindowState != kwsRollup && FWindowState != kwsMinimized) {
      const TPoint minSize = GetMinTrackSize();
      pos->cx = std::max(pos->cx, int(minSize.x));
      pos->cy = std::max(pos->cy, int(minSize.y));
    }
    if (pos->cx != FWindowWidth || pos->cy != FWindowHeight) {
      FWindowWidth = pos->cx;
      FWindowHeight = pos->cy;
      const int shadow = FDropShadow && FWindowState != kwsMaximized ? FShadowWidth : 0;
      FFrameWidth = FWindowWidth - shadow;
      FFrameHeight = FWindowHeight - shadow;
      sizeChanged = true;
    }
  }
  HWND wnd = GetFormHandle();
  if ((FBlend || FDropShadow) && wnd && !((pos->flags & SWP_NOSIZE) && (pos->flags & SWP_NOMOVE))) {
    TPoint topLeft{pos->x, pos->y};
    if (pos->flags & SWP_NOMOVE) {
      RECT r;
      GetWindowRect(wnd, &r);
      topLeft = TPoint{r.left, r.top};
    }
    CaptureBackground(MakeRect(topLeft.x, topLeft.y, topLeft.x + FWindowWidth, topLeft.y + FWindowHeight));
  }
  if (sizeChanged)
    UpdateRegion();
  if ((pos->flags & SWP_SHOWWINDOW) && (FBlend || FDropShadow) && wnd) {
    FBackgroundRect = TRect{};
    RECT r;
    GetWindowRect(wnd, &r);
    CaptureBackground(r);
  }
  if (pos->flags & SWP_SHOWWINDOW)
    ShowAnimated();
  if (FBlend || FDropShadow)
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
        SetWindowLongA(wnd, GWL_STYLE, GetWindowLongA(wnd, GWL_STYLE) & ~WS_CAPTION);
        PostMessageA(wnd, KM_CAPTIONCHANGED, 13, 0);
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

// ---- mouse on the frame -----------------------------------------------------------------

void TKsCustomForm::MouseDown(TMouseButton button, TShiftState, int x, int y) {
  if (button != mbLeft)
    return;
  FDownCode = FHotCode = HitTest(x, y);
  FDownPoint = FLastPoint = TPoint{x, y};
  PaintNonClient();
  if (FDownCode >= khtCaption && FDownCode <= khtBottomRight) {
    FDragging = true;
    FDragFrame = TRect{};
    if (FSimpleDrag) {
      FPaintEnabled = false;
      FOutlineDrag = true;
    }
  }
  if (HWND wnd = GetFormHandle())
    KsSetCapture(wnd);
}

void TKsCustomForm::Snap(TRect& bounds) {
  if (!FMagnetic)
    return;
  TRect test = bounds;
  if (FDropShadow) {
    test.right -= FShadowWidth;
    test.bottom -= FShadowWidth;
  }
  RECT area{};
  HWND wnd = GetFormHandle();
  HWND parent = wnd ? GetParent(wnd) : nullptr;
  if (parent && (GetWindowLongA(wnd, GWL_STYLE) & WS_CHILD))
    GetClientRect(parent, &area);
  else
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &area, 0);
  int dx = 0, dy = 0;
  if (std::abs(test.left - area.left) < FMagneticValue)
    dx = area.left - test.left;
  else if (std::abs(test.right - area.right) < FMagneticValue)
    dx = area.right - test.right;
  if (std::abs(test.top - area.top) < FMagneticValue)
    dy = area.top - test.top;
  else if (std::abs(test.bottom - area.bottom) < FMagneticValue)
    dy = area.bottom - test.bottom;
  OffsetRect(&bounds, dx, dy);
}

void TKsCustomForm::MouseMove(TShiftState shift, int x, int y) {
  TCustomForm* form = GetForm();
  if (!shift.Contains(ssLeft) || !FDragging || !form) {
    if (form && !EmptyRect(GetCaptionButtonRect(kbiSystemMenu)) && Contains(GetCaptionButtonRect(kbiSystemMenu), x, y))
      form->SetHint("Sytem Menu");
    // While a caption button is held, it shows pressed only under the pointer.
    const uint8_t hot = shift.Contains(ssLeft) && FDownCode >= khtClose ? HitTest(x, y) : 0;
    if (hot != FHotCode) {
      FHotCode = hot;
      PaintNonClient();
    }
    return;
  }
  TRect bounds = form->GetBoundsRect();
  const int dx = x - FDownPoint.x, dy = y - FDownPoint.y;
  const TPoint edgeFrom = FOutlineDrag ? FDownPoint : FLastPoint;
  const int ex = x - edgeFrom.x, ey = y - edgeFrom.y;
  const TPoint minSize = GetMinTrackSize();
  bool changed = false;
  if (FDownCode == khtCaption) {
    if (FCanMove && FWindowState != kwsMaximized) {
      OffsetRect(&bounds, dx, dy);
      Snap(bounds);
      changed = true;
    }
  } else if (FCanResize && (FWindowState == kwsNormal || FWindowState == kwsTray)) {
    const uint8_t c = FDownCode;
    if (c == khtLeft || c == khtTopLeft || c == khtBottomLeft)
      bounds.left = std::min(bounds.left + dx, bounds.right - int(minSize.x));
    if (c == khtTop || c == khtTopLeft || c == khtTopRight)
      bounds.top = std::min(bounds.top + dy, bounds.bottom - int(minSize.y));
    if (c == khtRight || c == khtTopRight || c == khtBottomRight)
      bounds.right += ex;
    if (c == khtBottom || c == khtBottomLeft || c == khtBottomRight)
      bounds.bottom += ey;
    changed = true;
  }
  if (changed) {
    if (FSimpleDrag)
      DrawOutline(bounds);
    else {
      SetFormBounds(bounds);
      FHotCode = HitTest(x, y);
      PaintNonClient();
    }
  }
  FLastPoint = TPoint{x, y};
}

void TKsCustomForm::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
  const uint8_t code = HitTest(x, y);
  if (button == mbLeft) {
    KsReleaseCapture();
    const bool dbl = shift.Contains(ssDouble);
    if (dbl && code == khtCaption && FBorderIcons.Contains(kbiMaximize)) {
      if (FWindowState == kwsMinimized)
        Restore();
      else
        Maximize();
    } else if (dbl && code == khtSystemMenu) {
      CloseForm();
    } else if (code == FDownCode && !dbl) {
      switch (code) {
        case khtClose: CloseForm(); break;
        case khtHelp:
          if (HWND wnd = GetFormHandle())
            SendMessageA(wnd, WM_SYSCOMMAND, SC_CONTEXTHELP, 0);
          break;
        case khtMinimize: Minimize(); break;
        case khtMaximize: Maximize(); break;
        case khtRollup: Rollup(); break;
        case khtTray: MinimizeToTray(); break;
        case khtSystemMenu: ShowSystemMenu(); break;
        default: break;
      }
    }
    if (FOutlineDrag) {
      DrawOutline(TRect{});
      FSimpleDrag = false;
      FPaintEnabled = true;
      MouseMove(TShiftState{ssLeft}, x, y);
      FSimpleDrag = true;
      FOutlineDrag = false;
      FDownCode = 0;
      FHotCode = 0;
      PaintNonClient();
      if (TCustomForm* form = GetForm())
        form->Invalidate();
    } else {
      FDownCode = 0;
      FHotCode = 0;
      PaintNonClient();
    }
    FDownCode = 0;
    FDragging = false;
  } else if (button == mbRight && code == khtCaption) {
    if (HWND wnd = GetFormHandle()) {
      const TRect client = GetFrameClientRect();
      POINT p{x - client.left, y - client.top};
      ClientToScreen(wnd, &p);
      FSysMenuPos = p;
      ShowSystemMenu();
    }
  }
}

void TKsCustomForm::SetFormBounds(const TRect& bounds) {
  TCustomForm* form = GetForm();
  if (!form)
    return;
  form->SetBoundsRect(bounds);
  MSG msg;
  while (PeekMessageA(&msg, nullptr, WM_PAINT, WM_PAINT, PM_REMOVE)) {
    if (msg.message == WM_QUIT) {
      PostQuitMessage(int(msg.wParam));
      break;
    }
    DispatchMessageA(&msg);
  }
}

void TKsCustomForm::DrawOutline(const TRect& frame) {
  if (FWindowState == kwsMaximized)
    return;
  HWND target = nullptr;
  if (IsMDIChild())
    if (HWND wnd = GetFormHandle())
      target = GetParent(wnd);
  TWindowDC dc(target ? target : GetDesktopWindow());
  if (!dc.Get())
    return;
  TPenHandle pen(CreatePen(PS_INSIDEFRAME, 2, RGB(255, 255, 255)));
  TSelectGuard penGuard(dc.Get(), pen.Get());
  TSelectGuard brushGuard(dc.Get(), GetStockObject(NULL_BRUSH));
  const int oldRop = SetROP2(dc.Get(), R2_XORPEN);
  if (!EmptyRect(FDragFrame))
    Rectangle(dc.Get(), FDragFrame.left, FDragFrame.top, FDragFrame.right, FDragFrame.bottom);
  if (!EmptyRect(frame))
    Rectangle(dc.Get(), frame.left, frame.top, frame.right, frame.bottom);
  SetROP2(dc.Get(), oldRop);
  FDragFrame = frame;
}
