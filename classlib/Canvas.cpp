#include "classlib/Canvas.h"

#include "classlib/Exceptions.h"
#include "classlib/Graphic.h"

namespace {
const int kPenModes[] = {R2_BLACK, R2_WHITE, R2_NOP, R2_NOT, R2_COPYPEN, R2_NOTCOPYPEN,
                         R2_MERGEPENNOT, R2_MASKPENNOT, R2_MERGENOTPEN, R2_MASKNOTPEN,
                         R2_MERGEPEN, R2_NOTMERGEPEN, R2_MASKPEN, R2_NOTMASKPEN, R2_XORPEN,
                         R2_NOTXORPEN};
}  // namespace

TCanvas::TCanvas()
    : FFont(std::make_unique<TFont>()), FPen(std::make_unique<TPen>()), FBrush(std::make_unique<TBrush>()) {
  FFont->OnChange = TNotifyEvent::Bind<&TCanvas::FontChanged>(this);
  FPen->OnChange = TNotifyEvent::Bind<&TCanvas::PenChanged>(this);
  FBrush->OnChange = TNotifyEvent::Bind<&TCanvas::BrushChanged>(this);
}

TCanvas::~TCanvas() {
  SetHandle(nullptr);
  FFont.reset();
  FPen.reset();
  FBrush.reset();
}

HDC TCanvas::GetHandle() {
  RequiredState({csHandleValid});
  return FHandle;
}

void TCanvas::SetHandle(HDC value) {
  if (FHandle == value)
    return;
  if (FHandle)
    DeselectHandles();
  FHandle = value;
  FState = value ? TCanvasState{csHandleValid} : TCanvasState{};
}

void TCanvas::DeselectHandles() {
  if (FOriginalFont)
    SelectObject(FHandle, FOriginalFont);
  if (FOriginalPen)
    SelectObject(FHandle, FOriginalPen);
  if (FOriginalBrush)
    SelectObject(FHandle, FOriginalBrush);
  FOriginalFont = FOriginalPen = FOriginalBrush = nullptr;
  FState = FState - TCanvasState{csFontValid, csPenValid, csBrushValid};
}

void TCanvas::SelectFont() {
  HGDIOBJ old = SelectObject(FHandle, FFont->GetHandle());
  if (!FOriginalFont)
    FOriginalFont = old;
  SetTextColor(FHandle, ColorToRGB(FFont->GetColor()));
  FState.Include(csFontValid);
}

void TCanvas::SelectPen() {
  HGDIOBJ old = SelectObject(FHandle, FPen->GetHandle());
  if (!FOriginalPen)
    FOriginalPen = old;
  SetROP2(FHandle, kPenModes[FPen->GetMode()]);
  FState.Include(csPenValid);
}

void TCanvas::SelectBrush() {
  HBRUSH brush = FBrush->GetHandle();
  UnrealizeObject(brush);
  HGDIOBJ old = SelectObject(FHandle, brush);
  if (!FOriginalBrush)
    FOriginalBrush = old;
  const COLORREF color = ColorToRGB(FBrush->GetColor());
  if (FBrush->GetStyle() == bsSolid) {
    SetBkColor(FHandle, color);
    SetBkMode(FHandle, OPAQUE);
  } else {
    // Hatches draw on a background of the inverse colour, which transparency hides.
    SetBkColor(FHandle, ~color & 0xFFFFFF);
    SetBkMode(FHandle, TRANSPARENT);
  }
  FState.Include(csBrushValid);
}

void TCanvas::RequiredState(TCanvasState required) {
  if (required.Contains(csHandleValid) && !FState.Contains(csHandleValid)) {
    CreateHandle();
    if (!FHandle)
      throw EInvalidOperation("Canvas does not allow drawing");
  }
  if (!FHandle)
    return;
  // Someone may have selected other objects into the DC since the last operation.
  if (required.Contains(csFontValid) &&
      (!FState.Contains(csFontValid) || GetCurrentObject(FHandle, OBJ_FONT) != FFont->GetHandle()))
    SelectFont();
  if (required.Contains(csPenValid) &&
      (!FState.Contains(csPenValid) || GetCurrentObject(FHandle, OBJ_PEN) != FPen->GetHandle()))
    SelectPen();
  if (required.Contains(csBrushValid) &&
      (!FState.Contains(csBrushValid) || GetCurrentObject(FHandle, OBJ_BRUSH) != FBrush->GetHandle()))
    SelectBrush();
}

void TCanvas::Deselect(HGDIOBJ& original, TCanvasStateFlag flag) {
  if (!FState.Contains(flag))
    return;
  // The object is about to be destroyed: the DC gets its own back first.
  if (original)
    SelectObject(FHandle, original);
  original = nullptr;
  FState.Exclude(flag);
}

void TCanvas::FontChanged(TObject*) { Deselect(FOriginalFont, csFontValid); }

void TCanvas::PenChanged(TObject*) { Deselect(FOriginalPen, csPenValid); }

void TCanvas::BrushChanged(TObject*) { Deselect(FOriginalBrush, csBrushValid); }

void TCanvas::Changing() { OnChanging(this); }

void TCanvas::Changed() { OnChange(this); }

TPoint TCanvas::GetPenPos() {
  RequiredState({csHandleValid});
  TPoint p{};
  GetCurrentPositionEx(FHandle, &p);
  return p;
}

TRect TCanvas::GetClipRect() {
  RequiredState({csHandleValid});
  TRect r{};
  GetClipBox(FHandle, &r);
  return r;
}

TColor TCanvas::GetPixel(int x, int y) {
  RequiredState({csHandleValid});
  return TColor(::GetPixel(FHandle, x, y));
}

void TCanvas::SetPixel(int x, int y, TColor color) {
  Changing();
  RequiredState({csHandleValid, csPenValid});
  ::SetPixel(FHandle, x, y, ColorToRGB(color));
  Changed();
}

void TCanvas::MoveTo(int x, int y) {
  RequiredState({csHandleValid});
  MoveToEx(FHandle, x, y, nullptr);
}

void TCanvas::LineTo(int x, int y) {
  Changing();
  RequiredState({csHandleValid, csPenValid, csBrushValid});
  ::LineTo(FHandle, x, y);
  Changed();
}

void TCanvas::Polyline(std::span<const TPoint> points) {
  Changing();
  RequiredState({csHandleValid, csPenValid, csBrushValid});
  ::Polyline(FHandle, points.data(), int(points.size()));
  Changed();
}

void TCanvas::Polygon(std::span<const TPoint> points) {
  Changing();
  RequiredState({csHandleValid, csPenValid, csBrushValid});
  ::Polygon(FHandle, points.data(), int(points.size()));
  Changed();
}

void TCanvas::Rectangle(int x1, int y1, int x2, int y2) {
  Changing();
  RequiredState({csHandleValid, csPenValid, csBrushValid});
  ::Rectangle(FHandle, x1, y1, x2, y2);
  Changed();
}

void TCanvas::RoundRect(int x1, int y1, int x2, int y2, int x3, int y3) {
  Changing();
  RequiredState({csHandleValid, csPenValid, csBrushValid});
  ::RoundRect(FHandle, x1, y1, x2, y2, x3, y3);
  Changed();
}

void TCanvas::Ellipse(int x1, int y1, int x2, int y2) {
  Changing();
  RequiredState({csHandleValid, csPenValid, csBrushValid});
  ::Ellipse(FHandle, x1, y1, x2, y2);
  Changed();
}

void TCanvas::FillRect(const TRect& r) {
  Changing();
  RequiredState({csHandleValid, csBrushValid});
  ::FillRect(FHandle, &r, FBrush->GetHandle());
  Changed();
}

void TCanvas::FrameRect(const TRect& r) {
  Changing();
  RequiredState({csHandleValid, csBrushValid});
  ::FrameRect(FHandle, &r, FBrush->GetHandle());
  Changed();
}

void TCanvas::DrawFocusRect(const TRect& r) {
  Changing();
  RequiredState({csHandleValid, csBrushValid});
  ::DrawFocusRect(FHandle, &r);
  Changed();
}

void TCanvas::TextOut(int x, int y, const std::string& text) {
  Changing();
  RequiredState({csHandleValid, csFontValid, csBrushValid});
  ExtTextOutA(FHandle, x, y, FTextFlags, nullptr, text.data(), UINT(text.size()), nullptr);
  SIZE extent{};
  GetTextExtentPoint32A(FHandle, text.data(), int(text.size()), &extent);
  MoveToEx(FHandle, x + extent.cx, y, nullptr);
  Changed();
}

void TCanvas::TextRect(const TRect& r, int x, int y, const std::string& text) {
  Changing();
  RequiredState({csHandleValid, csFontValid, csBrushValid});
  UINT options = ETO_CLIPPED | FTextFlags;
  if (FBrush->GetStyle() != bsClear)
    options |= ETO_OPAQUE;
  ExtTextOutA(FHandle, x, y, options, &r, text.data(), UINT(text.size()), nullptr);
  Changed();
}

TSize TCanvas::TextExtent(const std::string& text) {
  RequiredState({csHandleValid, csFontValid});
  SIZE extent{};
  GetTextExtentPoint32A(FHandle, text.data(), int(text.size()), &extent);
  return extent;
}

void TCanvas::Draw(int x, int y, TGraphic* graphic) {
  if (!graphic || graphic->GetEmpty())
    return;
  Changing();
  RequiredState({csHandleValid});
  graphic->Draw(this, Bounds(x, y, graphic->GetWidth(), graphic->GetHeight()));
  Changed();
}

void TCanvas::StretchDraw(const TRect& r, TGraphic* graphic) {
  if (!graphic || graphic->GetEmpty())
    return;
  Changing();
  RequiredState({csHandleValid});
  graphic->Draw(this, r);
  Changed();
}

void TCanvas::CopyRect(const TRect& dest, TCanvas* canvas, const TRect& source) {
  Changing();
  RequiredState({csHandleValid, csFontValid, csBrushValid});
  canvas->RequiredState({csHandleValid, csBrushValid});
  StretchBlt(FHandle, dest.left, dest.top, RectWidth(dest), RectHeight(dest), canvas->FHandle,
             source.left, source.top, RectWidth(source), RectHeight(source), FCopyMode);
  Changed();
}
