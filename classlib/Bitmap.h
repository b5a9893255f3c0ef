// TBitmap: a bitmap graphic with its own canvas.
//
// A new bitmap is a 32-bit device-independent section; PixelFormat converts it to
// 1, 4, 8, 15, 16, 24 or 32 bits (or to a device-dependent bitmap with pfDevice).
// Width and Height keep the existing pixels at the top left and fill new area white.
// Streams hold BMP files, read with the checks of the BMP codec (EInvalidGraphic for
// anything malformed, never a read past the data). The transparent colour is the
// bottom-left pixel unless fixed by setting TransparentColor.
#pragma once

#include <string>
#include <vector>

#include "classlib/BmpCodec.h"
#include "classlib/Canvas.h"
#include "classlib/Colors.h"
#include "classlib/GdiHandles.h"
#include "classlib/Graphic.h"

enum TPixelFormat { pfDevice, pf1bit, pf4bit, pf8bit, pf15bit, pf16bit, pf24bit, pf32bit, pfCustom };
enum TBitmapHandleType { bmDIB, bmDDB };
enum TTransparentMode { tmAuto, tmFixed };

class TBitmap;

// The canvas of a bitmap: a memory DC with the bitmap selected, made on first use.
class TBitmapCanvas : public TCanvas {
  KIVO_CLASS(TBitmapCanvas, TCanvas)
 public:
  explicit TBitmapCanvas(TBitmap* bitmap) : FBitmap(bitmap) {}
  ~TBitmapCanvas() override;
  // Lets go of the memory DC (the bitmap is about to change its handle).
  void FreeContext();

 protected:
  void CreateHandle() override;

 private:
  TBitmap* FBitmap;
  TDCHandle FDC;
  HGDIOBJ FOldBitmap = nullptr;
};

class TBitmap : public TGraphic {
  KIVO_CLASS(TBitmap, TGraphic)
 public:
  TBitmap();
  ~TBitmap() override;

  void Assign(TPersistent* source) override;

  TCanvas* GetCanvas();
  // The bitmap handle (null while empty).
  HBITMAP GetHandle();
  // Takes ownership of `value` (null empties the bitmap).
  void SetHandle(HBITMAP value);
  // Gives up ownership of the handle; the bitmap becomes empty.
  HBITMAP ReleaseHandle();
  bool HandleAllocated() const { return FHandle.Get() != nullptr; }
  TBitmapHandleType GetHandleType() const { return FHandleType; }
  void SetHandleType(TBitmapHandleType value);
  TPixelFormat GetPixelFormat() const { return FPixelFormat; }
  void SetPixelFormat(TPixelFormat value);
  bool GetMonochrome() const { return FPixelFormat == pf1bit; }
  void SetMonochrome(bool value);

  bool GetEmpty() const override { return FWidth == 0 || FHeight == 0; }
  int GetWidth() const override { return FWidth; }
  void SetWidth(int value) override { SetSize(value, FHeight); }
  int GetHeight() const override { return FHeight; }
  void SetHeight(int value) override { SetSize(FWidth, value); }
  void SetSize(int width, int height);

  TColor GetTransparentColor();
  void SetTransparentColor(TColor value);
  TTransparentMode GetTransparentMode() const { return FTransparentMode; }
  void SetTransparentMode(TTransparentMode value);
  // Drawing need not realize a palette. Bitmaps here draw without palettes (their
  // colours are RGB values), so the flag changes nothing in how they look.
  bool GetIgnorePalette() const { return FIgnorePalette; }
  void SetIgnorePalette(bool value) { FIgnorePalette = value; }

  // The pixel row `row` (0 = top) of a DIB; raises EInvalidGraphic out of range.
  void* ScanLine(int row);

  void LoadFromStream(TStream& stream) override;
  void SaveToStream(TStream& stream) override;
  // Loads an RT_BITMAP resource; raises EResNotFound when the module has none of that name.
  void LoadFromResourceName(HINSTANCE instance, const std::string& name);
  void LoadFromResourceID(HINSTANCE instance, int id);
  // Makes the bitmap from a decoded DIB / answers the bitmap as a DIB.
  void LoadFromDib(const TDibData& dib);
  TDibData SaveToDib();

 protected:
  void Draw(TCanvas* canvas, const TRect& rect) override;
  void Changed(TObject* sender) override;

 private:
  friend class TBitmapCanvas;
  void CanvasChanged(TObject* sender);
  // Replaces the handle (and pixel pointer) after the canvas let go of the old one.
  void ReplaceHandle(HBITMAP handle, void* bits, int width, int height, TPixelFormat format,
                     TBitmapHandleType type);
  // A new bitmap of the given size and format holding the current picture.
  void Rebuild(int width, int height, TPixelFormat format, TBitmapHandleType type);
  void LoadResourceData(HINSTANCE instance, LPCSTR name, const std::string& what);

  TBitmapHandle FHandle;
  void* FBits = nullptr;
  bool FTopDown = false;
  int FWidth = 0;
  int FHeight = 0;
  TPixelFormat FPixelFormat = pf32bit;
  TBitmapHandleType FHandleType = bmDIB;
  TBitmapCanvas* FCanvas = nullptr;
  TColor FTransparentColor = clDefault;
  TTransparentMode FTransparentMode = tmAuto;
  bool FIgnorePalette = false;
};

// A DIB section of the format (null bits for pfDevice, which gives a compatible DDB);
// raises EOutOfResources when GDI refuses.
HBITMAP CreateBitmapOfFormat(int width, int height, TPixelFormat format, void** bits);
