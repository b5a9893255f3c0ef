// TKsBitmap: the off-screen bitmap every skinned control, form frame and theme paints
// into. A 32-bit top-down DIB section, selected into its own memory DC for its whole
// life, whose pixels (TKsColor, rows following each other directly) the drawing
// operations read and write in place; GDI is used only for lines, shapes, text and
// plain blits. It owns its DIB, DC and font, except for a buffer adopted from another
// module, which it never frees. Only SetSize fails (with an Exception); every other
// operation clips to the bitmap and does nothing where nothing is left to draw.
#pragma once

#include <cstdint>
#include <span>

#include "classlib/Events.h"
#include "classlib/Persistent.h"
#include "classlib/Win.h"
#include "skin/KsColor.h"

// The flat description of a 32-bit top-down bitmap that crosses module boundaries:
// the BITMAPINFO (header and one colour entry), then the DIB handle, the memory DC
// that has it selected, the pixel pointer, the height and the width.
struct TKsBufferDesc {
  uint32_t BitmapInfo[11];
  uint32_t Handle;
  uint32_t DC;
  uint32_t Bits;
  uint32_t Height;
  uint32_t Width;
};
static_assert(sizeof(TKsBufferDesc) == 64, "the descriptor is 16 words");
static_assert(sizeof(BITMAPINFO) == 44, "header plus one colour entry");

class TKsBitmap : public TPersistent {
  KIVO_CLASS(TKsBitmap, TPersistent)

 public:
  TKsBitmap();
  ~TKsBitmap() override;
  TKsBitmap(const TKsBitmap&) = delete;
  TKsBitmap& operator=(const TKsBitmap&) = delete;

  const BITMAPINFO& GetBitmapInfo() const { return FBitmapInfo; }
  HBITMAP GetHandle() const { return FHandle; }
  HDC GetDC() const { return FDC; }
  TKsColor* GetBits() const { return FBits; }
  int GetWidth() const { return FWidth; }
  int GetHeight() const { return FHeight; }
  bool GetAlphaBlend() const { return FAlphaBlend; }
  void SetAlphaBlend(bool value) { FAlphaBlend = value; }
  POINT GetPenPos() const { return FPenPos; }
  bool GetBufferNotOwned() const { return FBufferNotOwned; }

  // Fired after every successful SetSize.
  TNotifyEvent OnChange;

  // Sizes are taken as absolute values; a zero size or the current size changes
  // nothing. Raises Exception when Windows refuses the DIB or the DC; the bitmap is
  // then empty.
  void SetSize(int width, int height);
  bool Empty() const { return FHandle == nullptr; }
  // Deletes the DC and DIB unless they were adopted; the bitmap is empty afterwards.
  void FreeHandles();
  void SaveBufferDesc(TKsBufferDesc& desc) const;
  // Takes over another module's buffer, which this bitmap will never free.
  void AdoptBuffer(const TKsBufferDesc& desc);

  // Whole-bitmap pixel operations.
  void Fill(TKsColor color);
  void SetAlpha(uint8_t alpha);
  void SetAlphaRect(const RECT& rect, uint8_t alpha);
  // Pixels whose R, G, B equal the key's become KsColorTransparent.
  void MakeTransparent(TKsColor key);
  // Pixels with alpha > 0 get their hue (brightness) shifted and become opaque.
  void ChangeHue(int n);
  void ChangeBrightness(int n);
  // KsColorBlack outside the bitmap.
  TKsColor GetPixel(int x, int y) const;
  void SetPixel(int x, int y, TKsColor color);

  // Blits to a device context.
  void Draw(HDC dc, int x, int y) const;
  void DrawRectToDC(HDC dc, int x, int y, const RECT& srcRect) const;

  // Drawing onto another TKsBitmap; with AlphaBlend the pixels are composed by alpha.
  void DrawTo(TKsBitmap& dest, int x, int y);
  void DrawRect(TKsBitmap& dest, int x, int y, const RECT& srcRect);
  void StretchDraw(TKsBitmap& dest, const RECT& dstRect, const RECT& srcRect);
  void StretchDrawRect(TKsBitmap& dest, RECT dstRect, RECT srcRect) {
    StretchDraw(dest, dstRect, srcRect);
  }
  void TileDraw(TKsBitmap& dest, const RECT& dstRect, const RECT& srcRect);
  void StretchOrTileDraw(TKsBitmap& dest, const RECT& srcRect, bool stretch,
                         const RECT& dstRect);
  // Nine-part draw: corners at their natural size, edges and centre stretched or tiled.
  void DrawMargins(TKsBitmap& dest, const RECT& dstRect, bool stretch, int left, int top,
                   int right, int bottom, const RECT& srcRect);
  // Completes this bitmap's translucent pixels from `background` in place.
  void AlphaDraw(const TKsBitmap& background, int x, int y, const RECT& rect);

  // Lines and shapes through GDI with a temporary pen (and brush) of the colour's RGB.
  void MoveTo(int x, int y);
  void LineTo(int x, int y, TKsColor color);
  void DrawLine(POINT p1, POINT p2, TKsColor color);
  void DrawFocusRect(const RECT& rect, TKsColor color);
  void RoundRect(const RECT& rect, int radius, TKsColor color);
  void FillRoundRect(const RECT& rect, int radius, TKsColor color);
  void DrawPolygon(std::span<const POINT> points, TKsColor color);
  void FillPolygon(std::span<const POINT> points, TKsColor color);

  // Frames and fills on the pixels themselves.
  void Draw3DFrame(const RECT& rect, TKsColor topLeft, TKsColor bottomRight);
  void FrameRect(const RECT& rect, TKsColor color);
  void Draw3DBevel(const RECT& rect, TKsColor color, bool sunken, int count);
  void FillRect(const RECT& rect, TKsColor color);
  void FillDitherRect(const RECT& rect, TKsColor color1, TKsColor color2);
  void FillGradient(const RECT& rect, TKsColor color1, bool vertical, TKsColor color2);

  // Copies another TKsBitmap's size and pixels; other sources as the class library does.
  void Assign(TPersistent* source) override;

 private:
  TKsColor* Row(int y) const { return FBits + y * FWidth; }
  RECT ClipRect(const RECT& rect) const;
  // Composes one source pixel into a destination pixel: transparent sources leave it,
  // opaque ones replace it, the rest blend.
  static void ComposePixel(TKsColor src, TKsColor& dst) {
    uint32_t a = src >> 24;
    if (a == 0)
      return;
    dst = a == 255 ? src : KsAlphaBlendPixel(src, dst);
  }

  BITMAPINFO FBitmapInfo{};
  HBITMAP FHandle = nullptr;
  HDC FDC = nullptr;
  TKsColor* FBits = nullptr;
  int FHeight = 0;
  int FWidth = 0;
  bool FAlphaBlend = false;
  POINT FPenPos{0, 0};
  bool FBufferNotOwned = false;
};
