// Two readings of this file are decisions:
// - A skinned child asks its parent for its background with a WM_ERASEBKGND whose
//   lParam is 12. Only bit value 4 of it is tested, (lParam & 4) != 0, everywhere.
// - CreateScrollBars frees both old bars (not only the horizontal one), so a window
//   made again does not keep a second vertical bar, and lays the new bars out at once.
#include "skin/KsControls.h"

#include "classlib/AliveGuard.h"
#include "classlib/Boundary.h"
#include "classlib/GdiHandles.h"
#include "skin/KsScrollBars.h"
#include "skin/KsUtils.h"

namespace {

// The buffer size for a control size: the next step above it.
int RoundedUp(int size, int step) { return (size / step + 1) * step; }

// Stores `value` into `field`; answers whether it changed.
template <class T>
bool StoreChanged(T& field, T value) {
  if (field == value)
    return false;
  field = value;
  return true;
}

bool IsChildErase(LPARAM lParam) { return (lParam & KsChildEraseBit) != 0; }

// Follows a control size with its buffers: rounded up to the next step, grown when
// too small, shrunk when more than one step too large, always sized while designing;
// the blend buffer takes the buffer's size. Answers whether the buffers must be
// painted again. A buffer tells of its new size (its OnChange), whose handler may free the
// control and both buffers with it: nothing more is sized then.
bool FollowSize(TKsBitmap& buffer, TKsBitmap& blendBuffer, bool blend, int width, int height,
                int step, bool designing) {
  const TAliveGuard alive(&buffer);
  const int rounded = RoundedUp(width, step);
  const int roundedHeight = RoundedUp(height, step);
  if (designing) {
    buffer.SetSize(rounded, roundedHeight);
    if (blend && alive.Alive())
      blendBuffer.SetSize(rounded, roundedHeight);
    return true;
  }
  bool resized = false;
  const bool tooSmall = buffer.GetWidth() < width || buffer.GetHeight() < height;
  const bool tooLarge = width < buffer.GetWidth() - step || height < buffer.GetHeight() - step;
  if (tooSmall || tooLarge) {
    buffer.SetSize(rounded, roundedHeight);
    resized = true;
    if (!alive.Alive())
      return resized;
  }
  if (blend && (blendBuffer.GetWidth() != buffer.GetWidth() ||
                blendBuffer.GetHeight() != buffer.GetHeight())) {
    blendBuffer.SetSize(buffer.GetWidth(), buffer.GetHeight());
    resized = true;
  }
  return resized;
}

// Blend: the background painted into the blend buffer (made opaque, and copied under
// the control when it is also Transparent), the control's look at `blendValue`
// composed over it.
template <class PaintBackground, class PaintLook>
void PaintBlended(TKsBitmap& buffer, TKsBitmap& blendBuffer, bool transparent, int blendValue,
                  PaintBackground paintBackground, PaintLook paintLook) {
  paintBackground(blendBuffer);
  blendBuffer.SetAlpha(255);
  if (transparent)
    blendBuffer.DrawTo(buffer, 0, 0);
  paintLook();
  buffer.SetAlpha(uint8_t(blendValue));
  buffer.AlphaDraw(blendBuffer, 0, 0, Rect(0, 0, buffer.GetWidth(), buffer.GetHeight()));
}

}  // namespace

// ---- TKsBufferedControl -------------------------------------------------------------

template <class Base>
void TKsBufferedControl<Base>::PaintBuffer() {
  if (!FTransparent)
    FBuffer->Fill(ColorToKsColor(this->GetColor(), 255));
}

template <class Base>
void TKsBufferedControl<Base>::SetBounds(int left, int top, int width, int height) {
  // The resize's handler may free the control.
  if (!Survives(this, [&] { Base::SetBounds(left, top, width, height); }))
    return;
  FBufferWidth = this->GetWidth();
  FBufferHeight = this->GetHeight();
  UpdateBuffer();
}

template <class Base>
void TKsBufferedControl<Base>::SetTransparent(bool value) {
  if (StoreChanged(FTransparent, value))
    this->Invalidate();
}

template <class Base>
void TKsBufferedControl<Base>::SetBlend(bool value) {
  if (StoreChanged(FBlend, value))
    this->Invalidate();
}

template <class Base>
void TKsBufferedControl<Base>::SetBlendValue(int value) {
  if (StoreChanged(FBlendValue, value))
    this->Invalidate();
}

template <class Base>
bool TKsBufferedControl<Base>::BufferCanFollow() const {
  return FBuffer && FBufferWidth >= 0 && FBufferHeight >= 0 && FBufferStep != 0;
}

template <class Base>
bool TKsBufferedControl<Base>::FollowBufferSize() {
  bool resized = false;
  if (!Survives(this, [&] {
        resized = FollowSize(*FBuffer, *FBlendBuffer, FBlend, FBufferWidth, FBufferHeight, FBufferStep, Designing());
      }) || !resized)
    return false;
  FNeedsRepaint = true;
  return true;
}

template <class Base>
void TKsBufferedControl<Base>::MouseEnter() {
  FMouseInControl = true;
  OnMouseEnter(this);
}

template <class Base>
void TKsBufferedControl<Base>::MouseLeave() {
  FMouseInControl = false;
  OnMouseLeave(this);
}

template <class Base>
bool TKsBufferedControl<Base>::DispatchMouseHover(TMessage& message) {
  const UINT msg = message.Msg;
  if (msg != CM_MOUSEENTER && msg != CM_MOUSELEAVE)
    return false;
  Base::Dispatch(message);
  if (msg == CM_MOUSEENTER)
    MouseEnter();
  else
    MouseLeave();
  return true;
}

template class TKsBufferedControl<TWinControl>;
template class TKsBufferedControl<TGraphicControl>;

// ---- TKsCustomControl ---------------------------------------------------------------

TKsCustomControl::TKsCustomControl(TComponent* AOwner) : TKsBufferedControl(AOwner) {
  SetControlStyle(GetControlStyle() + TControlStyle{csOpaque});
  SetBounds(0, 0, 100, 30);
  SetColor(clBtnFace);
}

TKsCustomControl::~TKsCustomControl() {
  Destroying();
  DestroyHandle();  // the window's last messages still reach this class
  delete FHorzScrollBar;
  delete FVertScrollBar;
  FHorzScrollBar = FVertScrollBar = nullptr;
}

void TKsCustomControl::Loaded() {
  inherited::Loaded();
  UpdateBuffer();
}

void TKsCustomControl::CreateParams(TCreateParams& params) {
  inherited::CreateParams(params);
  params.Style &= ~(WS_HSCROLL | WS_VSCROLL);  // the built-in bars replace them
}

void TKsCustomControl::CreateWnd() {
  inherited::CreateWnd();
  CreateScrollBars();
}

TKsCustomScrollBar* TKsCustomControl::CreateScrollBar() { return new TKsCustomScrollBar(this); }

int TKsCustomControl::GetScrollBarSize() { return GetSystemMetrics(SM_CYVTHUMB); }

void TKsCustomControl::MarkForRepaint() {
  if (Designing())
    UpdateBuffer();
  else
    FNeedsRepaint = true;
}

void TKsCustomControl::Invalidate() {
  MarkForRepaint();
  inherited::Invalidate();
}

void TKsCustomControl::Repaint() {
  MarkForRepaint();
  inherited::Repaint();
}

void TKsCustomControl::SetScrollBars(TScrollStyle value) {
  if (value == FScrollBars)
    return;
  FScrollBars = value;
  if (HandleAllocated())
    CreateScrollBars();
}

bool TKsCustomControl::IsParentSkinned() {
  if (Designing() || !GetParent())
    return false;
  return SendMessageA(GetParent()->GetHandle(), KM_ISPARENTSKINNED, 0, 0) != 0;
}

void TKsCustomControl::UpdateBuffer() {
  if (!BufferCanFollow())
    return;
  const TRect r = HandleAllocated() ? GetClientRect() : Rect(0, 0, FBufferWidth, FBufferHeight);
  const int hs = FHorzScrollBar ? FHorzScrollBar->GetHeight() : 0;
  const int vs = FVertScrollBar ? FVertScrollBar->GetWidth() : 0;
  if (FHorzScrollBar)
    FHorzScrollBar->SetBoundsRect(Rect(r.left, r.bottom - hs, r.right - vs, r.bottom));
  if (FVertScrollBar)
    FVertScrollBar->SetBoundsRect(Rect(r.right - vs, 0, r.right, r.bottom - hs));
  if (FollowBufferSize())
    PaintBufferFull();
}

void TKsCustomControl::PaintParentBackground(TKsBitmap& bitmap) {
  TWinControl* parent = GetParent();
  if (!parent || !HandleAllocated())
    return;
  HDC dc = bitmap.GetDC();
  TSaveDCGuard saved(dc);
  POINT origin = GetClientOrigin();
  ::ScreenToClient(parent->GetHandle(), &origin);
  OffsetWindowOrgEx(dc, origin.x, origin.y, nullptr);
  SendMessageA(parent->GetHandle(), WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), KsChildEraseMarker);
  parent->PaintControls(dc, nullptr);
}

void TKsCustomControl::PaintBufferFull() {
  if (!GetParent())
    return;
  if (!Designing() && !GetVisible())
    return;
  if (FBuffer->Empty() || GetWidth() <= 0 || GetHeight() <= 0)
    return;
  // Under a skinned parent the background may have changed: always paint again.
  if (!Designing() && !FNeedsRepaint && !IsParentSkinned())
    return;
  if (FBlend) {
    PaintBlended(*FBuffer, *FBlendBuffer, FTransparent, FBlendValue,
                 [this](TKsBitmap& bitmap) { PaintParentBackground(bitmap); }, [this] { PaintBuffer(); });
  } else {
    if (FTransparent)
      PaintParentBackground(*FBuffer);
    PaintBuffer();
    if (FHorzScrollBar && FVertScrollBar) {
      const TRect client = GetClientRect();
      const int size = GetScrollBarSize();
      FBuffer->FillRect(Rect(client.right - size, client.bottom - size, client.right, client.bottom),
                        ColorToKsColor(GetColor(), 255));
    }
  }
  FNeedsRepaint = false;
}

void TKsCustomControl::PaintControls(HDC dc) {
  for (int i = 0; i < GetControlCount(); ++i) {
    TControl* child = GetControl(i);
    const TRect bounds = child->GetBoundsRect();
    if (auto* skinned = ObjectAs<TKsGraphicControl>(child)) {
      if (!skinned->GetVisible() && !Designing())
        continue;
      skinned->SetPaintingInParent(true);
      struct TClear {
        TKsGraphicControl* Child;
        ~TClear() { Child->SetPaintingInParent(false); }
      } clear{skinned};
      TKsBitmap* childBuffer = skinned->GetBuffer();
      FBuffer->DrawRect(*childBuffer, 0, 0, bounds);
      skinned->SetNeedsRepaint(true);
      skinned->PaintBufferFull();
      childBuffer->Draw(dc, bounds.left, bounds.top);
      continue;
    }
    auto* windowed = ObjectAs<TWinControl>(child);
    const bool transparentWindow =
        windowed && windowed->HandleAllocated() &&
        (GetWindowLongA(windowed->GetHandle(), GWL_EXSTYLE) & WS_EX_TRANSPARENT) != 0;
    if (windowed && !transparentWindow)
      continue;
    const bool shown = child->GetVisible() ||
                       (Designing() && !child->GetControlStyle().Contains(csNoDesignVisible));
    if (!shown || !RectVisible(dc, &bounds))
      continue;
    TKsBitmap under;
    under.SetSize(RectWidth(bounds), RectHeight(bounds));
    under.Fill(KsColorRed);
    FBuffer->DrawRect(under, 0, 0, bounds);
    under.Draw(dc, bounds.left, bounds.top);
    TSaveDCGuard saved(dc);
    OffsetWindowOrgEx(dc, -bounds.left, -bounds.top, nullptr);
    IntersectClipRect(dc, 0, 0, RectWidth(bounds), RectHeight(bounds));
    child->Perform(WM_PAINT, reinterpret_cast<WPARAM>(dc));
  }
}

TKsCustomScrollBar* TKsCustomControl::MakeScrollBar(TScrollBarKind kind) {
  TKsCustomScrollBar* bar = CreateScrollBar();
  bar->SetBorderWidth(0);
  bar->SetParent(this);
  bar->SetKind(kind);
  if (kind == sbHorizontal)
    bar->SetHeight(GetScrollBarSize());
  else
    bar->SetWidth(GetScrollBarSize());
  bar->SetVisible(true);
  bar->SetTransparent(false);
  bar->OnScroll = TScrollEvent::Bind<&TKsCustomControl::ScrollBarScroll>(this);
  return bar;
}

void TKsCustomControl::CreateScrollBars() {
  delete FHorzScrollBar;
  FHorzScrollBar = nullptr;
  delete FVertScrollBar;
  FVertScrollBar = nullptr;
  if (FScrollBars == ssHorizontal || FScrollBars == ssBoth)
    FHorzScrollBar = MakeScrollBar(sbHorizontal);
  if (FScrollBars == ssVertical || FScrollBars == ssBoth)
    FVertScrollBar = MakeScrollBar(sbVertical);
  UpdateBuffer();
}

void TKsCustomControl::ScrollBarScroll(TObject* sender, TScrollCode code, int& pos) {
  if (FScrollLock)
    return;
  auto* bar = static_cast<TKsCustomScrollBar*>(sender);
  const UINT msg = bar == FHorzScrollBar ? WM_HSCROLL : WM_VSCROLL;
  Perform(msg, MAKEWPARAM(WORD(code), WORD(pos)), 0);
  pos = bar->GetPosition();  // the control may have moved the bar meanwhile
}

void TKsCustomControl::DoSetFocus() {
  FFocused = true;
  Invalidate();
}

void TKsCustomControl::DoKillFocus() {
  FFocused = false;
  Invalidate();
}

bool TKsCustomControl::ShowsFocusCue() { return FFocused && !(GetUIState() & UISF_HIDEFOCUS); }

bool TKsCustomControl::HidesAccelerators() { return (GetUIState() & UISF_HIDEACCEL) != 0; }

std::string TKsCustomControl::ShownCaption(UINT& flags) {
  if (!HidesAccelerators())
    return GetText();
  flags |= DT_NOPREFIX;
  return WithoutAccel(GetText());
}

void TKsCustomControl::WMWindowPosChanged(TMessage& message) {
  WINDOWPOS* pos = MessageAs<TWMWindowPosChanged>(message).WindowPos;
  if (pos && !(pos->flags & SWP_NOSIZE)) {
    FBufferWidth = pos->cx;
    FBufferHeight = pos->cy;
    // The buffers tell of their new size, whose handler may free the control.
    if (!Survives(this, [this] { UpdateBuffer(); }))
      return;
    if (Designing() && FBlend)
      pos->flags |= SWP_NOCOPYBITS;
  }
  inherited::Dispatch(message);
}

void TKsCustomControl::WMEraseBkgnd(TMessage& message) {
  HDC dc = MessageAs<TWMEraseBkgnd>(message).DC;
  // Only a skinned child's request is answered: the window itself is never erased.
  if (dc && FBuffer && IsChildErase(message.LParam)) {
    PaintBufferFull();
    FBuffer->Draw(dc, 0, 0);
  }
  message.Result = 1;
}

void TKsCustomControl::WMPaint(TMessage& message) {
  TPaintScope paint(GetHandle(), MessageAs<TWMPaint>(message).DC);
  if (!FBuffer->Empty()) {
    FNeedsRepaint = true;
    PaintBufferFull();
    PaintControls(FBuffer->GetDC());
    FBuffer->Draw(paint.DC(), 0, 0);
  }
  message.Result = 0;
}

void TKsCustomControl::Dispatch(TMessage& message) {
  switch (message.Msg) {
    case WM_WINDOWPOSCHANGED:
      WMWindowPosChanged(message);
      return;
    case WM_ERASEBKGND:
      WMEraseBkgnd(message);
      return;
    case WM_PAINT:
      WMPaint(message);
      return;
    case WM_SETFOCUS:
      DoSetFocus();
      break;
    case WM_KILLFOCUS:
      DoKillFocus();
      break;
    case CM_MOUSEENTER:
    case CM_MOUSELEAVE:
      DispatchMouseHover(message);
      return;
    case CM_ENABLEDCHANGED:
    case WM_UPDATEUISTATE:
      inherited::Dispatch(message);
      Invalidate();
      return;
  }
  inherited::Dispatch(message);
}

// ---- TKsGraphicControl --------------------------------------------------------------

TKsGraphicControl::TKsGraphicControl(TComponent* AOwner) : TKsBufferedControl(AOwner) {
  SetControlStyle(GetControlStyle() + TControlStyle{csOpaque});
  SetBounds(0, 0, 100, 30);
  SetColor(clBtnFace);
}

TKsGraphicControl::~TKsGraphicControl() = default;

void TKsGraphicControl::Loaded() {
  inherited::Loaded();
  Invalidate();
}

void TKsGraphicControl::Invalidate() {
  if (Designing())
    UpdateBuffer();
  else
    FNeedsRepaint = true;
  inherited::Invalidate();
}

void TKsGraphicControl::UpdateBuffer() {
  if (BufferCanFollow() && FollowBufferSize())
    PaintBufferFull();
}

bool TKsGraphicControl::PaintBufferFull() {
  if (!GetParent())
    return false;
  if (!Designing() && !GetVisible())
    return false;
  if (FBuffer->Empty() || GetWidth() <= 0 || GetHeight() <= 0)
    return false;
  if (!FNeedsRepaint)
    return false;
  if (FBlend) {
    PaintBlended(*FBuffer, *FBlendBuffer, FTransparent, FBlendValue,
                 [this](TKsBitmap& bitmap) { DrawParentBackground(this, bitmap.GetDC()); },
                 [this] { PaintBuffer(); });
  } else {
    // Painted by a skinned parent, the buffer already holds the parent's pixels.
    if (FTransparent && !FPaintingInParent)
      DrawParentBackground(this, FBuffer->GetDC());
    PaintBuffer();
  }
  FNeedsRepaint = false;
  return true;
}

void TKsGraphicControl::Paint() {
  if (FBuffer->Empty())
    return;
  FNeedsRepaint = true;
  if (PaintBufferFull())
    FBuffer->Draw(GetCanvas()->GetHandle(), 0, 0);
}

void TKsGraphicControl::Dispatch(TMessage& message) {
  if (!DispatchMouseHover(message))
    inherited::Dispatch(message);
}
