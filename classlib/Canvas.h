// TCanvas: drawing on a device context with a font, a pen and a brush.
//
// A canvas draws on whatever DC it is given (SetHandle) or makes for itself
// (CreateHandle in descendants: a control's client area, a bitmap's memory DC). Before
// each operation it selects its objects into the DC as the operation needs them, and
// it selects them again when someone else has selected other objects into the DC
// meanwhile. Detaching (SetHandle(nullptr)) puts the DC's original objects back.
// Lock/Unlock count users of a shared canvas. Operations on a canvas without a DC
// raise EInvalidOperation "Canvas does not allow drawing".
#pragma once

#include <memory>
#include <span>
#include <string>

#include "classlib/Geometry.h"
#include "classlib/GraphicsObjects.h"
#include "classlib/Persistent.h"
#include "classlib/Set.h"
#include "classlib/Win.h"

class TGraphic;

enum TCanvasStateFlag { csHandleValid, csFontValid, csPenValid, csBrushValid };
using TCanvasState = TSet<TCanvasStateFlag>;

using TCopyMode = DWORD;
constexpr TCopyMode cmBlackness = BLACKNESS;
constexpr TCopyMode cmDstInvert = DSTINVERT;
constexpr TCopyMode cmMergeCopy = MERGECOPY;
constexpr TCopyMode cmMergePaint = MERGEPAINT;
constexpr TCopyMode cmNotSrcCopy = NOTSRCCOPY;
constexpr TCopyMode cmNotSrcErase = NOTSRCERASE;
constexpr TCopyMode cmPatCopy = PATCOPY;
constexpr TCopyMode cmPatInvert = PATINVERT;
constexpr TCopyMode cmPatPaint = PATPAINT;
constexpr TCopyMode cmSrcAnd = SRCAND;
constexpr TCopyMode cmSrcCopy = SRCCOPY;
constexpr TCopyMode cmSrcErase = SRCERASE;
constexpr TCopyMode cmSrcInvert = SRCINVERT;
constexpr TCopyMode cmSrcPaint = SRCPAINT;
constexpr TCopyMode cmWhiteness = WHITENESS;

class TCanvas : public TPersistent {
  KIVO_CLASS(TCanvas, TPersistent)
 public:
  TCanvas();
  ~TCanvas() override;

  // Shared canvases: Lock before use, Unlock after.
  void Lock() { ++FLockCount; }
  void Unlock() { --FLockCount; }
  bool TryLock() {
    Lock();
    return true;
  }
  int GetLockCount() const { return FLockCount; }

  HDC GetHandle();
  // Attaches the canvas to `value` (null detaches); the previous DC gets its own
  // objects back.
  void SetHandle(HDC value);
  bool HandleAllocated() const { return FHandle != nullptr; }

  TFont* GetFont() const { return FFont.get(); }
  void SetFont(TFont* value) { FFont->Assign(value); }
  TPen* GetPen() const { return FPen.get(); }
  void SetPen(TPen* value) { FPen->Assign(value); }
  TBrush* GetBrush() const { return FBrush.get(); }
  void SetBrush(TBrush* value) { FBrush->Assign(value); }
  TCopyMode GetCopyMode() const { return FCopyMode; }
  void SetCopyMode(TCopyMode value) { FCopyMode = value; }
  TPoint GetPenPos();
  void SetPenPos(const TPoint& value) { MoveTo(value.x, value.y); }
  // Flags for ExtTextOut (ETO_CLIPPED, ETO_OPAQUE...).
  int GetTextFlags() const { return FTextFlags; }
  void SetTextFlags(int value) { FTextFlags = value; }
  // The clipping box of the DC.
  TRect GetClipRect();

  TColor GetPixel(int x, int y);
  void SetPixel(int x, int y, TColor color);

  void MoveTo(int x, int y);
  void LineTo(int x, int y);
  void Polyline(std::span<const TPoint> points);
  void Polygon(std::span<const TPoint> points);
  void Rectangle(int x1, int y1, int x2, int y2);
  void Rectangle(const TRect& r) { Rectangle(r.left, r.top, r.right, r.bottom); }
  void RoundRect(int x1, int y1, int x2, int y2, int x3, int y3);
  void Ellipse(int x1, int y1, int x2, int y2);
  void Ellipse(const TRect& r) { Ellipse(r.left, r.top, r.right, r.bottom); }
  void FillRect(const TRect& r);
  void FrameRect(const TRect& r);
  void DrawFocusRect(const TRect& r);

  void TextOut(int x, int y, const std::string& text);
  // Text at (x, y) clipped to `r`; with an opaque brush the rectangle is filled.
  void TextRect(const TRect& r, int x, int y, const std::string& text);
  TSize TextExtent(const std::string& text);
  int TextWidth(const std::string& text) { return TextExtent(text).cx; }
  int TextHeight(const std::string& text) { return TextExtent(text).cy; }

  void Draw(int x, int y, TGraphic* graphic);
  void StretchDraw(const TRect& r, TGraphic* graphic);
  // Copies `source` of `canvas` onto `dest` of this canvas with CopyMode (stretching).
  void CopyRect(const TRect& dest, TCanvas* canvas, const TRect& source);

  // Makes sure the DC exists and the named objects are selected into it.
  void RequiredState(TCanvasState required);

  TNotifyEvent OnChange;
  TNotifyEvent OnChanging;

 protected:
  // Descendants that make their own DC set it here (SetHandle) when asked.
  virtual void CreateHandle() {}
  virtual void Changing();
  virtual void Changed();
  TCanvasState GetState() const { return FState; }

 private:
  void FontChanged(TObject* sender);
  void PenChanged(TObject* sender);
  void BrushChanged(TObject* sender);
  void DeselectHandles();
  void Deselect(HGDIOBJ& original, TCanvasStateFlag flag);
  void SelectFont();
  void SelectPen();
  void SelectBrush();

  HDC FHandle = nullptr;
  TCanvasState FState;
  std::unique_ptr<TFont> FFont;
  std::unique_ptr<TPen> FPen;
  std::unique_ptr<TBrush> FBrush;
  TCopyMode FCopyMode = cmSrcCopy;
  int FTextFlags = 0;
  int FLockCount = 0;
  // The objects the DC held before the canvas selected its own.
  HGDIOBJ FOriginalFont = nullptr;
  HGDIOBJ FOriginalPen = nullptr;
  HGDIOBJ FOriginalBrush = nullptr;
};
