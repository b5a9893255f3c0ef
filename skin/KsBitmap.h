// TKsBitmap: the off-screen bitmap every skinned control, form frame and theme paints
// into. A 32-bit top-down DIB section, selected into its own memory DC for its whole
// life, whose pixels (TKsColor, rows following each other directly) the drawing
// operations read and write in place; GDI is used only for lines, shapes, text and
// plain blits. It owns its DIB, DC and font, except for a buffer adopted from another
// module, which it never frees. Only SetSize fails (with an Exception); every other
// operation clips to the bitmap and does nothing where nothing is left to draw.
#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <string>

#include "classlib/Events.h"
#include "classlib/GdiHandles.h"
#include "classlib/Geometry.h"
#include "classlib/GraphicsObjects.h"
#include "classlib/Persistent.h"
#include "classlib/Win.h"
#include "skin/KsColor.h"

class TCanvas;
class TStream;

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
  TPoint GetPenPos() const { return FPenPos; }
  bool GetBufferNotOwned() const { return FBufferNotOwned; }
  // The font of every text operation (owned); SetFont copies `value` into it.
  TFont* GetFont() const { return FFont.get(); }
  void SetFont(TFont* value);

  // Fired after every successful SetSize.
  TNotifyEvent OnChange;

  // Sizes are taken as absolute values; a zero size or the current size changes
  // nothing. Raises Exception when Windows refuses the DIB or the DC; the bitmap is
  // then empty.
  void SetSize(int width, int height);
  bool Empty() const { return FHandle == nullptr; }
  // Deletes the DC and DIB this bitmap made (never adopted ones); the bitmap is empty
  // afterwards.
  void FreeHandles();
  void SaveBufferDesc(TKsBufferDesc& desc) const;
  // Takes over another module's buffer, which this bitmap will never free.
  void AdoptBuffer(const TKsBufferDesc& desc);

  // Whole-bitmap pixel operations.
  void Fill(TKsColor color);
  void SetAlpha(uint8_t alpha);
  void SetAlphaRect(const TRect& rect, uint8_t alpha);
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
  void DrawRectToDC(HDC dc, int x, int y, const TRect& srcRect) const;
  void DrawToCanvas(TCanvas* canvas, int x, int y) const;

  // Drawing onto another TKsBitmap; with AlphaBlend the pixels are composed by alpha.
  void DrawTo(TKsBitmap& dest, int x, int y);
  void DrawRect(TKsBitmap& dest, int x, int y, const TRect& srcRect);
  void StretchDraw(TKsBitmap& dest, const TRect& dstRect, const TRect& srcRect);
  void StretchDrawRect(TKsBitmap& dest, TRect dstRect, TRect srcRect) {
    StretchDraw(dest, dstRect, srcRect);
  }
  void TileDraw(TKsBitmap& dest, const TRect& dstRect, const TRect& srcRect);
  void StretchOrTileDraw(TKsBitmap& dest, const TRect& srcRect, bool stretch,
                         const TRect& dstRect);
  // Nine-part draw: corners at their natural size, edges and centre stretched or tiled.
  void DrawMargins(TKsBitmap& dest, const TRect& dstRect, bool stretch, int left, int top,
                   int right, int bottom, const TRect& srcRect);
  // Completes this bitmap's translucent pixels from `background` in place.
  void AlphaDraw(const TKsBitmap& background, int x, int y, const TRect& rect);

  // Lines and shapes through GDI with a temporary pen (and brush) of the colour's RGB.
  void MoveTo(int x, int y);
  void LineTo(int x, int y, TKsColor color);
  void DrawLine(TPoint p1, TPoint p2, TKsColor color);
  void DrawFocusRect(const TRect& rect, TKsColor color);
  void RoundRect(const TRect& rect, int radius, TKsColor color);
  void FillRoundRect(const TRect& rect, int radius, TKsColor color);
  void DrawPolygon(std::span<const TPoint> points, TKsColor color);
  void FillPolygon(std::span<const TPoint> points, TKsColor color);

  // Frames and fills on the pixels themselves.
  void Draw3DFrame(const TRect& rect, TKsColor topLeft, TKsColor bottomRight);
  void FrameRect(const TRect& rect, TKsColor color);
  void Draw3DBevel(const TRect& rect, TKsColor color, bool sunken, int count);
  void FillRect(const TRect& rect, TKsColor color);
  void FillDitherRect(const TRect& rect, TKsColor color1, TKsColor color2);
  void FillGradient(const TRect& rect, TKsColor color1, bool vertical, TKsColor color2);

  // Text with Font; the sizes are 0 for empty text or an empty bitmap.
  int TextWidth(const std::string& text, UINT flags);
  int TextHeight(const std::string& text);
  // DrawTextA with Font in its colour over a transparent background; answers its result.
  int DrawText(const std::string& text, const TRect& rect, UINT flags);
  // Text turned a quarter (clockwise or not) into `rect`, set opaque in the font colour.
  void DrawVerticalText(const std::string& text, const TRect& rect, bool clockwise, UINT flags);

  // Reads a BMP file through a class-library TBitmap.
  void LoadFromStream(TStream& stream);
  // Takes the picture of a TBitmap, any other TGraphic or a TPicture, made opaque; copies
  // another TKsBitmap; anything else raises the class library's assignment error.
  void Assign(TPersistent* source) override;

 protected:
  // Copies the pixels into a TBitmap (24-bit DIB) or a TPicture's bitmap.
  void AssignTo(TPersistent* dest) override;

 private:
  TKsColor* Row(int y) const { return FBits + y * FWidth; }
  TRect ClipRect(const TRect& rect) const;
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
  TPoint FPenPos{0, 0};
  bool FBufferNotOwned = false;
  std::unique_ptr<TFont> FFont;
  // The DIB and DC when this bitmap made them (empty for an adopted buffer).
  TBitmapHandle FOwnedHandle;
  TDCHandle FOwnedDC;
};

// Start-up of the bitmap unit: the system colours of the shared colour values.
void InitializeKsBitmap();
