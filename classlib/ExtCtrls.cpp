#include "classlib/ExtCtrls.h"

#include <algorithm>

// ---- TCustomPanel -----------------------------------------------------------------------

namespace {

// Draws one bevel ring inside `r` and moves `r` inwards past it.
void DrawBevel(TCanvas* canvas, TRect& r, TBevelCut cut, int width) {
  if (cut == bvNone)
    return;
  const TColor topLeft = cut == bvLowered ? clBtnShadow : cut == bvRaised ? clBtnHighlight : clBtnFace;
  const TColor bottomRight = cut == bvLowered ? clBtnHighlight : cut == bvRaised ? clBtnShadow : clBtnFace;
  for (int i = 0; i < width; ++i) {
    canvas->GetPen()->SetColor(topLeft);
    canvas->MoveTo(r.left, r.bottom - 1);
    canvas->LineTo(r.left, r.top);
    canvas->LineTo(r.right - 1, r.top);
    canvas->GetPen()->SetColor(bottomRight);
    canvas->LineTo(r.right - 1, r.bottom - 1);
    canvas->LineTo(r.left - 1, r.bottom - 1);
    InflateRect(&r, -1, -1);
  }
}

}  // namespace

TCustomPanel::TCustomPanel(TComponent* AOwner) : TCustomControl(AOwner) {
  SetControlStyle({csAcceptsControls, csCaptureMouse, csClickEvents, csSetCaption, csOpaque, csDoubleClicks});
  SetBounds(0, 0, 185, 41);
  SetColor(clBtnFace);
}

void TCustomPanel::SetBevelOuter(TBevelCut value) {
  FBevelOuter = value;
  Realign();
  Invalidate();
}

void TCustomPanel::SetBevelInner(TBevelCut value) {
  FBevelInner = value;
  Realign();
  Invalidate();
}

void TCustomPanel::SetBevelWidth(int value) {
  FBevelWidth = std::max(1, value);
  Realign();
  Invalidate();
}

void TCustomPanel::SetAlignment(TAlignment value) {
  FAlignment = value;
  Invalidate();
}

int TCustomPanel::BorderSize() const {
  return (FBevelOuter != bvNone ? FBevelWidth : 0) + (FBevelInner != bvNone ? FBevelWidth : 0) +
         GetBorderWidth();
}

void TCustomPanel::AdjustClientRect(TRect& rect) {
  inherited::AdjustClientRect(rect);
  InflateRect(&rect, -BorderSize(), -BorderSize());
}

void TCustomPanel::Paint() {
  TCanvas* canvas = GetCanvas();
  TRect r = GetClientRect();
  DrawBevel(canvas, r, FBevelOuter, FBevelWidth);
  InflateRect(&r, -GetBorderWidth(), -GetBorderWidth());
  DrawBevel(canvas, r, FBevelInner, FBevelWidth);
  canvas->GetBrush()->SetColor(GetColor());
  canvas->FillRect(r);
  const std::string text = GetText();
  if (text.empty())
    return;
  static constexpr int alignments[] = {DT_LEFT, DT_RIGHT, DT_CENTER};
  canvas->GetBrush()->SetStyle(bsClear);
  canvas->SetFont(GetFont());
  canvas->RequiredState({csHandleValid, csFontValid, csBrushValid});
  RECT textRect = r;
  DrawTextA(canvas->GetHandle(), text.c_str(), int(text.size()), &textRect,
            DrawTextBiDiModeFlags(DT_SINGLELINE | DT_VCENTER | DT_EXPANDTABS | alignments[FAlignment]));
}

void TCustomPanel::Dispatch(TMessage& message) {
  inherited::Dispatch(message);
  if (message.Msg == CM_TEXTCHANGED)
    Invalidate();
}

// ---- TBevel -----------------------------------------------------------------------------

TBevel::TBevel(TComponent* AOwner) : TGraphicControl(AOwner) { SetBounds(0, 0, 50, 50); }

void TBevel::SetShape(TBevelShape value) {
  FShape = value;
  Invalidate();
}

void TBevel::SetStyle(TBevelStyle value) {
  FStyle = value;
  Invalidate();
}

void TBevel::Paint() {
  if (FShape == bsSpacer)
    return;
  TCanvas* canvas = GetCanvas();
  const TColor first = FStyle == bsLowered ? clBtnShadow : clBtnHighlight;
  const TColor second = FStyle == bsLowered ? clBtnHighlight : clBtnShadow;
  const int w = GetWidth(), h = GetHeight();
  auto line = [canvas](TColor color, int x1, int y1, int x2, int y2) {
    canvas->GetPen()->SetColor(color);
    canvas->MoveTo(x1, y1);
    canvas->LineTo(x2, y2);
  };
  switch (FShape) {
    case bsBox:
      line(first, 0, h - 1, 0, 0);
      line(first, 0, 0, w - 1, 0);
      line(second, w - 1, 0, w - 1, h - 1);
      line(second, w - 1, h - 1, -1, h - 1);
      break;
    case bsFrame:
      canvas->GetBrush()->SetStyle(bsClear);
      canvas->GetPen()->SetColor(first);
      canvas->Rectangle(0, 0, w - 1, h - 1);
      canvas->GetPen()->SetColor(second);
      canvas->Rectangle(1, 1, w, h);
      break;
    case bsTopLine:
      line(first, 0, 0, w, 0);
      line(second, 0, 1, w, 1);
      break;
    case bsBottomLine:
      line(first, 0, h - 2, w, h - 2);
      line(second, 0, h - 1, w, h - 1);
      break;
    case bsLeftLine:
      line(first, 0, 0, 0, h);
      line(second, 1, 0, 1, h);
      break;
    case bsRightLine:
      line(first, w - 2, 0, w - 2, h);
      line(second, w - 1, 0, w - 1, h);
      break;
    case bsSpacer:
      break;
  }
}

// ---- TImage -----------------------------------------------------------------------------

TImage::TImage(TComponent* AOwner) : TGraphicControl(AOwner) {
  SetBounds(0, 0, 105, 105);
  FPicture = new TPicture;
  FPicture->OnChange = TNotifyEvent::Bind<&TImage::PictureChanged>(this);
}

TImage::~TImage() { delete FPicture; }

void TImage::SetCenter(bool value) {
  FCenter = value;
  Invalidate();
}

void TImage::SetStretch(bool value) {
  FStretch = value;
  Invalidate();
}

TRect TImage::DestRect() {
  const TRect client = GetClientRect();
  if (FStretch)
    return client;
  const int w = FPicture->GetWidth(), h = FPicture->GetHeight();
  if (!FCenter)
    return Bounds(0, 0, w, h);
  return Bounds((RectWidth(client) - w) / 2, (RectHeight(client) - h) / 2, w, h);
}

void TImage::Paint() {
  TGraphic* graphic = FPicture->GetGraphic();
  if (!graphic || graphic->GetEmpty())
    return;
  GetCanvas()->StretchDraw(DestRect(), graphic);
}

bool TImage::CanAutoSize(int& newWidth, int& newHeight) {
  if (FPicture->GetWidth() <= 0 || FPicture->GetHeight() <= 0)
    return false;
  newWidth = FPicture->GetWidth();
  newHeight = FPicture->GetHeight();
  return true;
}

void TImage::PictureChanged(TObject*) {
  AdjustSize();
  Invalidate();
}
