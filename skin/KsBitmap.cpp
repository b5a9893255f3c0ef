// Decisions taken here:
// - Assign from another TKsBitmap copies its size and pixels; a silent no-op would let
//   a caller believe it had a copy.
// - Assigning an empty class-library graphic changes nothing (there is nothing to blit).
// - FreeHandles deletes exactly the DIB and DC this bitmap made itself, so a buffer
//   made by SetSize after an adoption is not leaked, and an adopted one never freed.
// - The stretch computes its source columns once per call in 64-bit fixed point and
//   clamps them to the source, so that huge destination rectangles can neither
//   overflow the 16.16 arithmetic nor read outside the source pixels.
#include "skin/KsBitmap.h"

#include "classlib/Clipboard.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "classlib/Bitmap.h"
#include "classlib/Canvas.h"
#include "classlib/Exceptions.h"
#include "classlib/GdiHandles.h"
#include "classlib/Graphic.h"
#include "classlib/HandleCounter.h"
#include "skin/KsMath.h"
#include "skin/KsUtils.h"

namespace {

COLORREF ToColorRef(TKsColor color) { return ColorToKsColorOpaque(color); }

TPenHandle SolidPen(TKsColor color) { return TPenHandle(CreatePen(PS_SOLID, 1, ToColorRef(color))); }
TBrushHandle SolidBrush(TKsColor color) { return TBrushHandle(CreateSolidBrush(ToColorRef(color))); }

TRect Intersect(const TRect& a, const TRect& b) {
  return TRect{std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
              std::min(a.bottom, b.bottom)};
}

TRect BitmapRect(const TKsBitmap& bitmap) { return TRect{0, 0, bitmap.GetWidth(), bitmap.GetHeight()}; }

// A pixel loop over all pixels of a bitmap with alpha > 0, remembering the last
// recoloured value: artwork consists of long runs of equal colours.
template <class F>
void RecolourVisible(TKsColor* bits, int count, F recolour) {
  TKsColor lastIn = 0;
  TKsColor lastOut = recolour(0);
  for (int i = 0; i < count; ++i) {
    TKsColor p = bits[i];
    if ((p >> 24) == 0)
      continue;
    TKsColor rgb = p & 0x00FFFFFFu;
    if (rgb != lastIn) {
      lastIn = rgb;
      lastOut = recolour(rgb);
    }
    bits[i] = lastOut;
  }
}

}  // namespace

TKsBitmap::TKsBitmap() : FFont(std::make_unique<TFont>()) {
  BITMAPINFOHEADER& header = FBitmapInfo.bmiHeader;
  header.biSize = sizeof(BITMAPINFOHEADER);
  header.biPlanes = 1;
  header.biBitCount = 32;
  header.biCompression = BI_RGB;
}

TKsBitmap::~TKsBitmap() { FreeHandles(); }

void TKsBitmap::SetSize(int width, int height) {
  long long w = width < 0 ? -static_cast<long long>(width) : width;
  long long h = height < 0 ? -static_cast<long long>(height) : height;
  if (w == 0 || h == 0)
    return;
  if (w == FWidth && h == FHeight)
    return;
  FreeHandles();
  if (w > INT32_MAX || h > INT32_MAX)
    throw Exception("Can't allocate the DIB handle");
  FBitmapInfo.bmiHeader.biWidth = static_cast<LONG>(w);
  FBitmapInfo.bmiHeader.biHeight = -static_cast<LONG>(h);
  void* bits = nullptr;
  TBitmapHandle dib(CreateDIBSection(nullptr, &FBitmapInfo, DIB_RGB_COLORS, &bits, nullptr, 0));
  if (!bits)
    throw Exception("Can't allocate the DIB handle");
  TDCHandle dc(CreateCompatibleDC(nullptr));
  if (!dc)
    throw Exception("Can't create compatible DC");
  if (!SelectObject(dc.Get(), dib.Get()))
    throw Exception("Can't select an object into DC");
  FHandle = dib.Get();
  FDC = dc.Get();
  FOwnedHandle = std::move(dib);
  FOwnedDC = std::move(dc);
  FBits = static_cast<TKsColor*>(bits);
  FWidth = static_cast<int>(w);
  FHeight = static_cast<int>(h);
  OnChange(this);
}

void TKsBitmap::FreeHandles() {
  // Only what this bitmap made itself is deleted, never an adopted buffer; the DC
  // goes first, with the DIB still selected into it.
  FOwnedDC.Reset();
  FOwnedHandle.Reset();
  FDC = nullptr;
  FHandle = nullptr;
  FBits = nullptr;
  FWidth = 0;
  FHeight = 0;
}

void TKsBitmap::SaveBufferDesc(TKsBufferDesc& desc) const {
  std::memcpy(desc.BitmapInfo, &FBitmapInfo, sizeof desc.BitmapInfo);
  desc.Handle = reinterpret_cast<uintptr_t>(FHandle);
  desc.DC = reinterpret_cast<uintptr_t>(FDC);
  desc.Bits = reinterpret_cast<uintptr_t>(FBits);
  desc.Height = static_cast<uint32_t>(FHeight);
  desc.Width = static_cast<uint32_t>(FWidth);
}

void TKsBitmap::AdoptBuffer(const TKsBufferDesc& desc) {
  FreeHandles();
  std::memcpy(&FBitmapInfo, desc.BitmapInfo, sizeof desc.BitmapInfo);
  FHandle = reinterpret_cast<HBITMAP>(static_cast<uintptr_t>(desc.Handle));
  FDC = reinterpret_cast<HDC>(static_cast<uintptr_t>(desc.DC));
  FBits = reinterpret_cast<TKsColor*>(static_cast<uintptr_t>(desc.Bits));
  FHeight = static_cast<int>(desc.Height);
  FWidth = static_cast<int>(desc.Width);
  FBufferNotOwned = true;
}

TRect TKsBitmap::ClipRect(const TRect& rect) const { return Intersect(rect, BitmapRect(*this)); }

void TKsBitmap::Fill(TKsColor color) {
  GdiFlush();
  KsFillPixels(FBits, FWidth * FHeight, color);
}

void TKsBitmap::SetAlpha(uint8_t alpha) {
  GdiFlush();
  KsSetAlphaRun(FBits, FWidth * FHeight, alpha);
}

void TKsBitmap::SetAlphaRect(const TRect& rect, uint8_t alpha) {
  TRect r = ClipRect(rect);
  if (RectIsEmpty(r))
    return;
  GdiFlush();
  KsSetAlphaRect(FBits, FWidth, r.left, r.top, r.right - 1, r.bottom - 1, alpha);
}

void TKsBitmap::MakeTransparent(TKsColor key) {
  GdiFlush();
  TKsColor rgb = key & 0x00FFFFFFu;
  for (int i = 0, n = FWidth * FHeight; i < n; ++i)
    if ((FBits[i] & 0x00FFFFFFu) == rgb)
      FBits[i] = KsColorTransparent;
}

void TKsBitmap::ChangeHue(int n) {
  GdiFlush();
  RecolourVisible(FBits, FWidth * FHeight, [n](TKsColor c) { return KsColorChangeHue(c, n); });
}

void TKsBitmap::ChangeBrightness(int n) {
  GdiFlush();
  RecolourVisible(FBits, FWidth * FHeight,
                  [n](TKsColor c) { return KsColorChangeBrightness(c, n); });
}

TKsColor TKsBitmap::GetPixel(int x, int y) const {
  if (!FBits || x < 0 || y < 0 || x >= FWidth || y >= FHeight)
    return KsColorBlack;
  return Row(y)[x];
}

void TKsBitmap::SetPixel(int x, int y, TKsColor color) {
  if (!FBits || x < 0 || y < 0 || x >= FWidth || y >= FHeight)
    return;
  Row(y)[x] = color;
}

void TKsBitmap::Draw(HDC dc, int x, int y) const {
  BitBlt(dc, x, y, FWidth, FHeight, FDC, 0, 0, SRCCOPY);
}

void TKsBitmap::DrawRectToDC(HDC dc, int x, int y, const TRect& srcRect) const {
  BitBlt(dc, x, y, srcRect.right - srcRect.left, srcRect.bottom - srcRect.top, FDC,
         srcRect.left, srcRect.top, SRCCOPY);
}

void TKsBitmap::DrawTo(TKsBitmap& dest, int x, int y) { DrawRect(dest, x, y, BitmapRect(*this)); }

void TKsBitmap::DrawRect(TKsBitmap& dest, int x, int y, const TRect& srcRect) {
  if (!FAlphaBlend) {
    BitBlt(dest.FDC, x, y, srcRect.right - srcRect.left, srcRect.bottom - srcRect.top, FDC,
           srcRect.left, srcRect.top, SRCCOPY);
    return;
  }
  TRect src = ClipRect(srcRect);
  if (RectIsEmpty(src))
    return;
  GdiFlush();
  // Source columns whose destination lies inside `dest`.
  int dx = x - src.left;
  int dy = y - src.top;
  int x0 = std::max<int>(src.left, -dx);
  int x1 = std::min<int>(src.right, dest.FWidth - dx);
  int y0 = std::max<int>(src.top, -dy);
  int y1 = std::min<int>(src.bottom, dest.FHeight - dy);
  for (int sy = y0; sy < y1; ++sy) {
    const TKsColor* s = Row(sy);
    TKsColor* d = dest.Row(sy + dy);
    for (int sx = x0; sx < x1; ++sx)
      ComposePixel(s[sx], d[sx + dx]);
  }
}

void TKsBitmap::StretchDraw(TKsBitmap& dest, const TRect& dstRect, const TRect& srcRect) {
  int dw = dstRect.right - dstRect.left;
  int dh = dstRect.bottom - dstRect.top;
  if (!FAlphaBlend) {
    StretchBlt(dest.FDC, dstRect.left, dstRect.top, dw, dh, FDC, srcRect.left, srcRect.top,
               srcRect.right - srcRect.left, srcRect.bottom - srcRect.top, SRCCOPY);
    return;
  }
  TRect src = ClipRect(srcRect);
  TRect cd = Intersect(dstRect, BitmapRect(dest));
  if (RectIsEmpty(src) || RectIsEmpty(dstRect) || RectIsEmpty(cd))
    return;
  int sw = src.right - src.left;
  int sh = src.bottom - src.top;
  if (sw == dw && sh == dh) {
    DrawRect(dest, dstRect.left, dstRect.top, src);
    return;
  }
  GdiFlush();
  // Nearest neighbour in 16.16 fixed point; the start fraction of a clipped
  // destination scales by 65535, not 65536.
  long long xStep = (static_cast<long long>(sw) << 16) / dw;
  long long yStep = (static_cast<long long>(sh) << 16) / dh;
  long long xStart = KsMulDiv(static_cast<long long>(cd.left - dstRect.left) * sw, 65535, dw);
  long long yFraction =
      KsMulDiv(static_cast<long long>(cd.top - dstRect.top) * sh, 65535, dh);
  int columns = cd.right - cd.left;
  std::vector<int> sourceColumn(columns);
  for (int i = 0; i < columns; ++i)
    sourceColumn[i] =
        src.left + static_cast<int>(std::min<long long>((xStart + i * xStep) >> 16, sw - 1));
  for (int y = cd.top; y < cd.bottom; ++y, yFraction += yStep) {
    const TKsColor* s = Row(src.top + static_cast<int>(std::min<long long>(yFraction >> 16, sh - 1)));
    TKsColor* d = dest.Row(y) + cd.left;
    for (int i = 0; i < columns; ++i)
      ComposePixel(s[sourceColumn[i]], d[i]);
  }
}

void TKsBitmap::TileDraw(TKsBitmap& dest, const TRect& dstRect, const TRect& srcRect) {
  int w = srcRect.right - srcRect.left;
  int h = srcRect.bottom - srcRect.top;
  if (w <= 0 || h <= 0)
    return;
  int dw = dstRect.right - dstRect.left;
  int dh = dstRect.bottom - dstRect.top;
  int columns = (dw + w - 1) / w;
  int rows = (dh + h - 1) / h;
  for (int i = 0; i < columns; ++i) {
    for (int j = 0; j < rows; ++j) {
      int left = dstRect.left + i * w;
      int top = dstRect.top + j * h;
      TRect tile = Intersect(TRect{left, top, left + w, top + h}, dstRect);
      if (RectIsEmpty(tile))
        break;
      int tw = tile.right - tile.left;
      int th = tile.bottom - tile.top;
      if (tw == w && th == h)
        StretchDraw(dest, tile, srcRect);
      else
        StretchDraw(dest, tile, TRect{srcRect.left, srcRect.top, srcRect.left + tw, srcRect.top + th});
    }
  }
}

void TKsBitmap::StretchOrTileDraw(TKsBitmap& dest, const TRect& srcRect, bool stretch,
                                  const TRect& dstRect) {
  if ((srcRect.right - srcRect.left) == 0 || (srcRect.bottom - srcRect.top) == 0)
    return;
  if (stretch)
    StretchDraw(dest, dstRect, srcRect);
  else
    TileDraw(dest, dstRect, srcRect);
}

void TKsBitmap::DrawMargins(TKsBitmap& dest, const TRect& dstRect, bool stretch, int left,
                            int top, int right, int bottom, const TRect& srcRect) {
  if (left == 0 && top == 0 && right == 0 && bottom == 0) {
    StretchDraw(dest, dstRect, srcRect);
    return;
  }
  const TRect& d = dstRect;
  const TRect& s = srcRect;
  // Centre, then the four edges, each stretched or tiled.
  StretchOrTileDraw(dest, TRect{s.left + left, s.top + top, s.right - right, s.bottom - bottom},
                    stretch, TRect{d.left + left, d.top + top, d.right - right, d.bottom - bottom});
  StretchOrTileDraw(dest, TRect{s.left + left, s.top, s.right - right, s.top + top}, stretch,
                    TRect{d.left + left, d.top, d.right - right, d.top + top});
  StretchOrTileDraw(dest, TRect{s.left + left, s.bottom - bottom, s.right - right, s.bottom},
                    stretch, TRect{d.left + left, d.bottom - bottom, d.right - right, d.bottom});
  StretchOrTileDraw(dest, TRect{s.left, s.top + top, s.left + left, s.bottom - bottom}, stretch,
                    TRect{d.left, d.top + top, d.left + left, d.bottom - bottom});
  StretchOrTileDraw(dest, TRect{s.right - right, s.top + top, s.right, s.bottom - bottom},
                    stretch, TRect{d.right - right, d.top + top, d.right, d.bottom - bottom});
  // The corners at their natural size.
  DrawRect(dest, d.left, d.top, TRect{s.left, s.top, s.left + left, s.top + top});
  DrawRect(dest, d.right - right, d.top, TRect{s.right - right, s.top, s.right, s.top + top});
  DrawRect(dest, d.left, d.bottom - bottom,
           TRect{s.left, s.bottom - bottom, s.left + left, s.bottom});
  DrawRect(dest, d.right - right, d.bottom - bottom,
           TRect{s.right - right, s.bottom - bottom, s.right, s.bottom});
}

void TKsBitmap::AlphaDraw(const TKsBitmap& background, int x, int y, const TRect& rect) {
  TRect r = rect;
  if (r.left < 0) {
    x -= r.left;
    r.left = 0;
  }
  if (r.top < 0) {
    y -= r.top;
    r.top = 0;
  }
  r = Intersect(r, BitmapRect(background));
  if (RectIsEmpty(r) || Empty())
    return;
  GdiFlush();
  // Background (bx, by) meets own pixel (bx + dx, by + dy).
  int dx = x - r.left;
  int dy = y - r.top;
  int x0 = std::max<int>(r.left, -dx);
  int x1 = std::min<int>(r.right, FWidth - dx);
  int y0 = std::max<int>(r.top, -dy);
  int y1 = std::min<int>(r.bottom, FHeight - dy);
  for (int by = y0; by < y1; ++by) {
    const TKsColor* b = background.Row(by);
    TKsColor* own = Row(by + dy);
    for (int bx = x0; bx < x1; ++bx) {
      TKsColor& p = own[bx + dx];
      uint32_t a = p >> 24;
      if (a == 0)
        p = b[bx];
      else if (a < 255)
        p = KsAlphaBlendPixel(p, b[bx]);
    }
  }
}

void TKsBitmap::MoveTo(int x, int y) {
  FPenPos = TPoint{x, y};
  MoveToEx(FDC, x, y, nullptr);
}

void TKsBitmap::LineTo(int x, int y, TKsColor color) {
  TPenHandle pen = SolidPen(color);
  TSelectGuard select(FDC, pen.Get());
  ::LineTo(FDC, x, y);
  FPenPos = TPoint{x, y};
}

void TKsBitmap::DrawLine(TPoint p1, TPoint p2, TKsColor color) {
  MoveTo(p1.x, p1.y);
  LineTo(p2.x, p2.y, color);
}

void TKsBitmap::DrawFocusRect(const TRect& rect, TKsColor color) {
  TPenHandle pen = SolidPen(color);
  TSelectGuard selectPen(FDC, pen.Get());
  TSelectGuard selectBrush(FDC, GetStockObject(NULL_BRUSH));
  ::DrawFocusRect(FDC, &rect);
}

void TKsBitmap::RoundRect(const TRect& rect, int radius, TKsColor color) {
  TPenHandle pen = SolidPen(color);
  TSelectGuard selectPen(FDC, pen.Get());
  TSelectGuard selectBrush(FDC, GetStockObject(NULL_BRUSH));
  ::RoundRect(FDC, rect.left, rect.top, rect.right, rect.bottom, radius, radius);
}

void TKsBitmap::FillRoundRect(const TRect& rect, int radius, TKsColor color) {
  TPenHandle pen = SolidPen(color);
  TBrushHandle brush = SolidBrush(color);
  TSelectGuard selectPen(FDC, pen.Get());
  TSelectGuard selectBrush(FDC, brush.Get());
  ::RoundRect(FDC, rect.left, rect.top, rect.right, rect.bottom, radius, radius);
}

void TKsBitmap::DrawPolygon(std::span<const TPoint> points, TKsColor color) {
  TPenHandle pen = SolidPen(color);
  TSelectGuard selectPen(FDC, pen.Get());
  TSelectGuard selectBrush(FDC, GetStockObject(NULL_BRUSH));
  Polygon(FDC, points.data(), static_cast<int>(points.size()));
}

void TKsBitmap::FillPolygon(std::span<const TPoint> points, TKsColor color) {
  TPenHandle pen = SolidPen(color);
  TBrushHandle brush = SolidBrush(color);
  TSelectGuard selectPen(FDC, pen.Get());
  TSelectGuard selectBrush(FDC, brush.Get());
  Polygon(FDC, points.data(), static_cast<int>(points.size()));
}

void TKsBitmap::Draw3DFrame(const TRect& rect, TKsColor topLeft, TKsColor bottomRight) {
  TRect r = ClipRect(rect);
  if (RectIsEmpty(r))
    return;
  GdiFlush();
  auto blend = [this](int x, int y, TKsColor c) {
    TKsColor& p = Row(y)[x];
    p = KsAlphaBlendPixel(c, p);
  };
  for (int x = r.left; x <= r.right - 2; ++x)
    blend(x, r.top, topLeft);
  for (int y = r.top; y <= r.bottom - 2; ++y)
    blend(r.left, y, topLeft);
  for (int x = r.left; x <= r.right - 1; ++x)
    blend(x, r.bottom - 1, bottomRight);
  for (int y = r.top; y <= r.bottom - 2; ++y)
    blend(r.right - 1, y, bottomRight);
}

void TKsBitmap::FrameRect(const TRect& rect, TKsColor color) { Draw3DFrame(rect, color, color); }

void TKsBitmap::Draw3DBevel(const TRect& rect, TKsColor color, bool sunken, int count) {
  TRect r = rect;
  for (int i = 0; i < count; ++i) {
    uint8_t step = count == 1 ? 35 : static_cast<uint8_t>((count - i) * 17);
    TKsColor dark = KsColorDarken(color, step);
    TKsColor light = KsColorLighten(color, step);
    if (sunken)
      Draw3DFrame(r, dark, light);
    else
      Draw3DFrame(r, light, dark);
    r = TRect{r.left + 1, r.top + 1, r.right - 1, r.bottom - 1};
  }
}

void TKsBitmap::FillRect(const TRect& rect, TKsColor color) {
  TRect r = ClipRect(rect);
  if (RectIsEmpty(r))
    return;
  GdiFlush();
  if (!FAlphaBlend) {
    KsFillPixelRect(FBits, FWidth, r.left, r.top, r.right - 1, r.bottom - 1, color);
    return;
  }
  for (int y = r.top; y < r.bottom; ++y) {
    TKsColor* p = Row(y);
    for (int x = r.left; x < r.right; ++x)
      p[x] = KsAlphaBlendPixel(color, p[x]);
  }
}

void TKsBitmap::FillDitherRect(const TRect& rect, TKsColor color1, TKsColor color2) {
  TRect r = ClipRect(rect);
  if (RectIsEmpty(r))
    return;
  FillRect(r, color1);
  for (int y = r.top; y < r.bottom; ++y) {
    TKsColor* p = Row(y);
    // The cells where x and y are both even or both odd.
    for (int x = r.left + ((r.left + y) & 1); x < r.right; x += 2)
      p[x] = color2;
  }
}

void TKsBitmap::FillGradient(const TRect& rect, TKsColor color1, bool vertical, TKsColor color2) {
  TRect r = ClipRect(rect);
  if (RectIsEmpty(r))
    return;
  int extent = vertical ? r.bottom - r.top : r.right - r.left;
  int n = std::min(255, extent);
  int start[4], delta[4];
  const int shifts[4] = {16, 8, 0, 24};  // R, G, B, A
  for (int c = 0; c < 4; ++c) {
    int c1 = (color1 >> shifts[c]) & 0xFF;
    int c2 = (color2 >> shifts[c]) & 0xFF;
    start[c] = c1 * 255;
    delta[c] = c2 * 255 - c1 * 255;
  }
  for (int i = 0; i <= n; ++i) {
    int from = static_cast<int>(KsMulDiv(i, extent, n));
    int to = static_cast<int>(KsMulDiv(i + 1, extent, n));
    TRect band = vertical ? TRect{r.left, r.top + from, r.right, r.top + to}
                         : TRect{r.left + from, r.top, r.left + to, r.bottom};
    if (i == 0 || i == n)
      band = Intersect(band, r);
    int v[4];
    for (int c = 0; c < 4; ++c)
      v[c] = RoundToInt((static_cast<double>(i) * delta[c] / n + start[c]) / 255.0);
    FillRect(band, KsColorRGBA(v[0], v[1], v[2], static_cast<uint8_t>(v[3])));
  }
}

void TKsBitmap::SetFont(TFont* value) { FFont->Assign(value); }

void TKsBitmap::DrawToCanvas(TCanvas* canvas, int x, int y) const { Draw(canvas->GetHandle(), x, y); }

int TKsBitmap::TextWidth(const std::string& text, UINT flags) {
  if (text.empty() || !FDC)
    return 0;
  TSelectGuard selectFont(FDC, FFont->GetHandle());
  TRect r{0, 0, 0, 0};
  DrawTextA(FDC, text.data(), static_cast<int>(text.size()), &r, flags | DT_CALCRECT);
  return r.right;
}

int TKsBitmap::TextHeight(const std::string& text) {
  if (text.empty() || !FDC)
    return 0;
  TSelectGuard selectFont(FDC, FFont->GetHandle());
  TRect r{0, 0, 0, 0};
  DrawTextA(FDC, text.data(), static_cast<int>(text.size()), &r, DT_CALCRECT);
  return r.bottom;
}

int TKsBitmap::DrawText(const std::string& text, const TRect& rect, UINT flags) {
  if (!FDC)
    return 0;
  TSelectGuard selectFont(FDC, FFont->GetHandle());
  SetBkMode(FDC, TRANSPARENT);
  COLORREF oldColor = SetTextColor(FDC, ColorToRGB(FFont->GetColor()));
  TRect r = rect;
  int result = DrawTextA(FDC, text.data(), static_cast<int>(text.size()), &r, flags);
  SetTextColor(FDC, oldColor);
  return result;
}

void TKsBitmap::DrawVerticalText(const std::string& text, const TRect& rect, bool clockwise,
                                 UINT flags) {
  constexpr TKsColor kMagenta = KsColorARGB(255, 255, 0, 255);
  TKsBitmap turned;
  turned.SetSize(rect.bottom - rect.top, rect.right - rect.left);
  if (turned.Empty())
    return;
  turned.Fill(kMagenta);
  turned.SetFont(FFont.get());
  turned.DrawText(text, TRect{0, 0, turned.FWidth, turned.FHeight}, flags);
  GdiFlush();
  TKsColor ink = ColorToKsColor(FFont->GetColor(), 255);
  for (int y = 0; y < turned.FHeight; ++y) {
    const TKsColor* row = turned.Row(y);
    for (int x = 0; x < turned.FWidth; ++x) {
      if ((row[x] & 0x00FFFFFFu) == (kMagenta & 0x00FFFFFFu))
        continue;
      if (clockwise)
        SetPixel(rect.right - y, rect.top + x, ink);
      else
        SetPixel(rect.left + y, rect.bottom - x, ink);
    }
  }
}

void TKsBitmap::LoadFromStream(TStream& stream) {
  TBitmap bitmap;
  bitmap.LoadFromStream(stream);
  Assign(&bitmap);
}

void TKsBitmap::Assign(TPersistent* source) {
  if (auto* other = ObjectAs<TKsBitmap>(source)) {
    if (other == this)
      return;
    if (other->Empty()) {
      FreeHandles();
      return;
    }
    SetSize(other->FWidth, other->FHeight);
    GdiFlush();
    std::memcpy(FBits, other->FBits, sizeof(TKsColor) * FWidth * FHeight);
    return;
  }
  if (auto* picture = ObjectAs<TPicture>(source)) {
    Assign(picture->GetGraphic());
    return;
  }
  auto* graphic = ObjectAs<TGraphic>(source);
  if (!graphic) {
    inherited::Assign(source);
    return;
  }
  // Whatever GDI draws leaves alpha 0: the picture is made opaque afterwards.
  SetSize(graphic->GetWidth(), graphic->GetHeight());
  if (graphic->GetEmpty() || Empty())
    return;
  if (auto* bitmap = ObjectAs<TBitmap>(graphic)) {
    BitBlt(FDC, 0, 0, FWidth, FHeight, bitmap->GetCanvas()->GetHandle(), 0, 0, SRCCOPY);
  } else {
    TCanvas canvas;
    canvas.SetHandle(FDC);
    canvas.StretchDraw(TRect{0, 0, FWidth, FHeight}, graphic);
    canvas.SetHandle(nullptr);
  }
  SetAlpha(255);
}

void TKsBitmap::AssignTo(TPersistent* dest) {
  if (auto* picture = ObjectAs<TPicture>(dest)) {
    AssignTo(picture->GetBitmap());
    return;
  }
  if (auto* bitmap = ObjectAs<TBitmap>(dest)) {
    bitmap->SetHandleType(bmDIB);
    bitmap->SetPixelFormat(pf24bit);
    bitmap->SetSize(FWidth, FHeight);
    BitBlt(bitmap->GetCanvas()->GetHandle(), 0, 0, FWidth, FHeight, FDC, 0, 0, SRCCOPY);
    return;
  }
  if (auto* clipboard = ObjectAs<TClipboard>(dest)) {
    TBitmap temporary;
    AssignTo(&temporary);
    clipboard->Assign(&temporary);
    return;
  }
  inherited::AssignTo(dest);
}

void InitializeKsBitmap() {
  KsColorWindow = ColorToKsColor(clWindow, 255);
  KsColorBtnFace = ColorToKsColor(clBtnFace, 255);
  KsColorBtnShadow = ColorToKsColor(clBtnShadow, 255);
}
