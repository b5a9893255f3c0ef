#include "classlib/Buttons.h"

#include <algorithm>
#include <string>

#include "classlib/AliveGuard.h"
#include "classlib/GdiHandles.h"

namespace {

// Where the mono mask (`source`) is black the brush is drawn, elsewhere the target
// stays (((D ^ P) & S) ^ P).
constexpr DWORD kMaskedPatternCopy = 0x00B8074A;

TSize TextSize(HDC dc, HFONT font, const std::string& text) {
  if (text.empty())
    return TSize{0, 0};
  const TSelectGuard selected(dc, font);
  RECT r{0, 0, 0, 0};
  DrawTextA(dc, text.c_str(), int(text.size()), &r, DT_CALCRECT | DT_SINGLELINE);
  return TSize{r.right - r.left, r.bottom - r.top};
}

}  // namespace

TSpeedButton::TSpeedButton(TComponent* AOwner) : TGraphicControl(AOwner), FGlyph(std::make_unique<TBitmap>()) {
  SetControlStyle({csCaptureMouse, csClickEvents, csSetCaption, csDoubleClicks});
  SetBounds(0, 0, 23, 22);
  FGlyph->OnChange = TNotifyEvent::Bind<&TSpeedButton::GlyphChanged>(this);
}

TSpeedButton::~TSpeedButton() {
  FGlyph.reset();
}

void TSpeedButton::SetGlyph(TBitmap* value) {
  FGlyph->Assign(value);
  // Drawing leaves the pixels of the bottom-left colour alone.
  FGlyph->SetTransparent(true);
  Invalidate();
}

void TSpeedButton::GlyphChanged(TObject*) { Invalidate(); }

void TSpeedButton::SetFlat(bool value) {
  if (value == FFlat)
    return;
  FFlat = value;
  Invalidate();
}

void TSpeedButton::SetMargin(int value) {
  if (value == FMargin || value < -1)
    return;
  FMargin = value;
  Invalidate();
}

void TSpeedButton::SetSpacing(int value) {
  if (value == FSpacing)
    return;
  FSpacing = value;
  Invalidate();
}

void TSpeedButton::SetMouseInControl(bool value) {
  if (value == FMouseInControl)
    return;
  FMouseInControl = value;
  Invalidate();
}

void TSpeedButton::CalcLayout(TRect& glyphRect, TRect& textRect) {
  const TRect client = GetClientRect();
  const int width = RectWidth(client), height = RectHeight(client);
  const int glyphWidth = FGlyph->GetEmpty() ? 0 : FGlyph->GetWidth();
  const int glyphHeight = FGlyph->GetEmpty() ? 0 : FGlyph->GetHeight();
  const std::string caption = GetText();
  TClientDC screen(nullptr);
  const TSize text = TextSize(screen, GetFont()->GetHandle(), caption);
  const int gap = glyphWidth > 0 && text.cx > 0 ? FSpacing : 0;
  const int x = FMargin >= 0 ? FMargin : (width - (glyphWidth + gap + text.cx)) / 2;
  glyphRect = Bounds(x, (height - glyphHeight) / 2, glyphWidth, glyphHeight);
  textRect = Bounds(x + glyphWidth + gap, (height - text.cy) / 2, text.cx, text.cy);
}

void TSpeedButton::Paint() {
  HDC dc = GetCanvas()->GetHandle();
  const TRect client = GetClientRect();
  TBrushHandle face(CreateSolidBrush(ColorToRGB(GetColor())));
  FillRect(dc, &client, face.Get());
  DrawFrame(dc, client);
  TRect glyphRect, textRect;
  CalcLayout(glyphRect, textRect);
  if (GetPressed()) {
    OffsetRect(&glyphRect, 1, 1);
    OffsetRect(&textRect, 1, 1);
  }
  if (!FGlyph->GetEmpty())
    DrawGlyph(dc, glyphRect.left, glyphRect.top);
  DrawCaption(dc, textRect);
}

void TSpeedButton::DrawFrame(HDC dc, const TRect& client) {
  TRect r = client;
  if (!FFlat) {
    DrawFrameControl(dc, &r, DFC_BUTTON, DFCS_BUTTONPUSH | (GetPressed() ? DFCS_PUSHED : 0) | DFCS_ADJUSTRECT);
    return;
  }
  if (!GetEnabled())
    return;
  if (GetPressed())
    DrawEdge(dc, &r, BDR_SUNKENOUTER, BF_RECT);
  else if (FMouseInControl)
    DrawEdge(dc, &r, BDR_RAISEDINNER, BF_RECT);
}

void TSpeedButton::DrawGlyph(HDC dc, int x, int y) {
  if (GetEnabled()) {
    TCanvas* canvas = GetCanvas();
    canvas->Draw(x, y, FGlyph.get());
    return;
  }
  // Embossed: the glyph's shape (its pixels other than the transparent colour) in the
  // highlight colour one pixel down and right, then in the shadow colour.
  const int w = FGlyph->GetWidth(), h = FGlyph->GetHeight();
  TMemoryDC maskDC(dc);
  TBitmapHandle mask(CreateBitmap(w, h, 1, 1, nullptr));
  const TSelectGuard maskSelected(maskDC, mask.Get());
  HDC glyphDC = FGlyph->GetCanvas()->GetHandle();
  const COLORREF oldGlyphBk = SetBkColor(glyphDC, ColorToRGB(FGlyph->GetTransparentColor()));
  BitBlt(maskDC, 0, 0, w, h, glyphDC, 0, 0, SRCCOPY);
  SetBkColor(glyphDC, oldGlyphBk);
  const COLORREF oldBk = SetBkColor(dc, RGB(255, 255, 255));
  const COLORREF oldText = SetTextColor(dc, RGB(0, 0, 0));
  {
    const TSelectGuard brush(dc, GetSysColorBrush(COLOR_BTNHIGHLIGHT));
    BitBlt(dc, x + 1, y + 1, w, h, maskDC, 0, 0, kMaskedPatternCopy);
  }
  {
    const TSelectGuard brush(dc, GetSysColorBrush(COLOR_BTNSHADOW));
    BitBlt(dc, x, y, w, h, maskDC, 0, 0, kMaskedPatternCopy);
  }
  SetTextColor(dc, oldText);
  SetBkColor(dc, oldBk);
}

void TSpeedButton::DrawCaption(HDC dc, const TRect& textRect) {
  const std::string caption = GetText();
  if (caption.empty())
    return;
  const TSelectGuard font(dc, GetFont()->GetHandle());
  const int oldMode = SetBkMode(dc, TRANSPARENT);
  const COLORREF oldColor = GetTextColor(dc);
  const UINT flags = DT_SINGLELINE | DT_NOCLIP;
  TRect r = textRect;
  if (!GetEnabled()) {
    OffsetRect(&r, 1, 1);
    SetTextColor(dc, GetSysColor(COLOR_BTNHIGHLIGHT));
    DrawTextA(dc, caption.c_str(), int(caption.size()), &r, flags);
    OffsetRect(&r, -1, -1);
    SetTextColor(dc, GetSysColor(COLOR_BTNSHADOW));
  } else {
    SetTextColor(dc, ColorToRGB(GetFont()->GetColor()));
  }
  DrawTextA(dc, caption.c_str(), int(caption.size()), &r, flags);
  SetTextColor(dc, oldColor);
  SetBkMode(dc, oldMode);
}

void TSpeedButton::Click() {
  if (!GetEnabled())
    return;
  if (FPressed) {
    FPressed = false;
    Invalidate();
    Update();
  }
  inherited::Click();
}

void TSpeedButton::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
  if (!Survives(this, [&] { inherited::MouseDown(button, shift, x, y); }))
    return;
  if (button != mbLeft || !GetEnabled())
    return;
  FPressed = true;
  FMouseInControl = PointInRect(GetClientRect(), TPoint{x, y});
  Invalidate();
}

void TSpeedButton::MouseMove(TShiftState shift, int x, int y) {
  if (!Survives(this, [&] { inherited::MouseMove(shift, x, y); }))
    return;
  if (FPressed)
    SetMouseInControl(PointInRect(GetClientRect(), TPoint{x, y}));
}

void TSpeedButton::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
  if (button == mbLeft && FPressed) {
    FPressed = false;
    Invalidate();
  }
  inherited::MouseUp(button, shift, x, y);
}

void TSpeedButton::Dispatch(TMessage& message) {
  switch (message.Msg) {
    case CM_MOUSEENTER:
      inherited::Dispatch(message);
      SetMouseInControl(true);
      return;
    case CM_MOUSELEAVE:
      inherited::Dispatch(message);
      SetMouseInControl(false);
      return;
    case CM_TEXTCHANGED:
      inherited::Dispatch(message);
      Invalidate();
      return;
    case CM_ENABLEDCHANGED:
      FPressed = false;
      inherited::Dispatch(message);
      return;
  }
  inherited::Dispatch(message);
}
