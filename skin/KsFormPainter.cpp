#include "skin/KsFormPainter.h"

#include "classlib/AliveGuard.h"
#include "classlib/Canvas.h"
#include "classlib/Forms.h"
#include "classlib/GdiHandles.h"
#include "skin/KsForms.h"
#include "skin/KsGlobalBuffer.h"

namespace {

constexpr TKsColor kShadowColor = KsColorARGB(0x90, 63, 63, 63);

TRect MakeRect(int l, int t, int r, int b) { return TRect{l, t, r, b}; }
bool EmptyRect(const TRect& r) { return r.right <= r.left || r.bottom <= r.top; }

}  // namespace

TKsFormPainter::TKsFormPainter(TKsCustomForm& form) : FForm(form), FBackground(std::make_unique<TKsBitmap>()) {}

TKsFormPainter::~TKsFormPainter() = default;

TKsBitmap* TKsFormPainter::GetBuffer() const { return FBuffer ? FBuffer.get() : KsGlobalBuffer(); }

void TKsFormPainter::MakeOwnBuffer() {
  if (!FBlend)
    return;
  FBuffer = std::make_unique<TKsBitmap>();
  if (HWND wnd = FForm.GetFormHandle()) {
    RECT r;
    GetWindowRect(wnd, &r);
    FBuffer->SetSize(r.right - r.left, r.bottom - r.top);
  }
}

void TKsFormPainter::SizeBackground(int width, int height) {
  if ((FBlend || FDropShadow) && width > 0 && height > 0)
    FBackground->SetSize(width, height);
}

void TKsFormPainter::PaintNonClient() {
  TKsBitmap* buffer = GetBuffer();
  HWND wnd = FForm.GetFormHandle();
  if (FForm.IsMaximizedMDIChild() || !buffer || buffer->Empty() || !FPaintEnabled || !wnd)
    return;
  const TRect client = FForm.GetFrameClientRect();
  const int frameWidth = FForm.GetFrameWidth(), frameHeight = FForm.GetFrameHeight();
  const int windowWidth = FForm.GetWindowWidth(), windowHeight = FForm.GetWindowHeight();
  if (FDropShadow) {
    const int sw = FShadowWidth;
    const TKsBitmap& back = *FBackground;
    auto compose = [&](const TRect& r) { buffer->AlphaDraw(back, r.left, r.top, r); };
    TRect r = MakeRect(sw, sw, frameWidth, client.top);
    buffer->FillRect(r, kShadowColor);
    compose(r);
    r = MakeRect(sw, sw, client.left, frameHeight);
    buffer->FillRect(r, kShadowColor);
    compose(r);
    buffer->FillRect(MakeRect(client.right, 0, windowWidth, sw), KsColorTransparent);
    buffer->FillRect(MakeRect(client.right, sw, windowWidth, windowHeight), kShadowColor);
    compose(MakeRect(client.right, 0, windowWidth, windowHeight));
    buffer->FillRect(MakeRect(0, client.bottom, sw, windowHeight), KsColorTransparent);
    buffer->FillRect(MakeRect(sw, client.bottom, frameWidth, windowHeight), kShadowColor);
    compose(MakeRect(0, client.bottom, frameWidth, windowHeight));
  }
  const TRect bands[4] = {
      MakeRect(0, 0, windowWidth, client.top),
      MakeRect(client.left, client.bottom, client.right, windowHeight),
      MakeRect(0, client.top, client.left, windowHeight),
      MakeRect(client.right, client.top, windowWidth, windowHeight),
  };
  if (!FBlend) {
    FForm.PaintFrame(*buffer);
  } else {
    buffer->SetAlphaBlend(true);
    FForm.PaintFrame(*buffer);
    for (const TRect& band : bands) {
      buffer->SetAlphaRect(band, uint8_t(FBlendValue));
      buffer->AlphaDraw(*FBackground, band.left, band.top, band);
    }
  }
  GdiFlush();
  if (FRenderTarget) {
    for (const TRect& band : bands)
      if (!EmptyRect(band))
        buffer->DrawRectToDC(FRenderTarget->GetDC(), band.left, band.top, band);
    return;
  }
  TWindowDC dc(wnd);
  if (!dc.Get())
    return;
  for (const TRect& band : bands)
    if (!EmptyRect(band))
      buffer->DrawRectToDC(dc.Get(), band.left, band.top, band);
}

void TKsFormPainter::UpdateRegion() {
  HWND wnd = FForm.GetFormHandle();
  const int windowWidth = FForm.GetWindowWidth(), windowHeight = FForm.GetWindowHeight();
  if (FBuffer) {
    // The buffer tells of its new size, whose handler may free the form and this painter.
    if (!Survives(FBuffer.get(), [&] { FBuffer->SetSize(windowWidth, windowHeight); }))
      return;
    FBuffer->Fill(KsTransparentKey);
  }
  if (TKsBitmap* buffer = GetBuffer())
    buffer->FillRect(MakeRect(0, 0, windowWidth, windowHeight), KsTransparentKey);
  FPaintEnabled = false;
  TRegionHandle region(FForm.GetFormRegion());
  if (region && FDropShadow && FForm.GetWindowState() != kwsMaximized) {
    TRegionHandle copy(FForm.GetFormRegion());
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

void TKsFormPainter::CaptureBackground(const TRect& rect) {
  if (!FForm.GetControl() || rect == FBackgroundRect || FForm.GetUpdatingFrame())
    return;
  const TKsWindowState state = FForm.GetWindowState();
  if (!FBlend && (state == kwsMaximized || FForm.GetPrevState() == kwsMaximized)) {
    FForm.ForgetMaximizedPrevState();
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

bool TKsFormPainter::Paint(TMessage& message) {
  TCustomForm* form = FForm.GetForm();
  if (!form)
    return false;
  TPaintScope paint(form->GetHandle(), reinterpret_cast<HDC>(message.WParam));
  form->Perform(WM_PAINT, reinterpret_cast<WPARAM>(paint.DC()), 0);
  message.Result = 0;
  return true;
}

void TKsFormPainter::EraseBackground(TMessage& message) {
  message.Result = 1;
  TCustomForm* form = FForm.GetForm();
  if (form && form->GetFormStyle() == fsMDIForm && message.LParam != KsEraseForMDIClient)
    return;
  TKsBitmap* buffer = GetBuffer();
  HDC dc = reinterpret_cast<HDC>(message.WParam);
  if (!FPaintEnabled || !buffer || buffer->Empty() || !dc)
    return;
  const TRect client = FForm.GetFrameClientRect();
  FForm.PaintBackground(*buffer);
  if (!(message.LParam & KsEraseForMDIClient)) {
    if (FBlend) {
      buffer->SetAlphaRect(client, uint8_t(FBlendValue));
      buffer->AlphaDraw(*FBackground, client.left, client.top, client);
    }
    if (FForm.OnPaint && !FForm.GetComponentState().Contains(csLoading)) {
      GdiFlush();
      TCanvas canvas;
      canvas.SetHandle(buffer->GetDC());
      FForm.OnPaint(&canvas);
      canvas.SetHandle(nullptr);
    }
  }
  GdiFlush();
  buffer->DrawRectToDC(dc, 0, 0, client);
}
