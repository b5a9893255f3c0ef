// Font, pen and brush: the drawing attributes a canvas selects into its DC.
//
// Each object makes its GDI handle lazily from its attributes and owns it. Changing an
// attribute that the handle depends on detaches the old handle, fires OnChange (a canvas
// deselects it, a control passes the new font to its window) and only then destroys
// the old handle, so no DC or window holds a deleted object. SetHandle borrows a
// handle made elsewhere: the attributes are read from it and it is used until an
// attribute changes; the caller keeps ownership of it.
#pragma once

#include <cstdint>
#include <string>

#include "classlib/Colors.h"
#include "classlib/Events.h"
#include "classlib/HandleCounter.h"
#include "classlib/Persistent.h"
#include "classlib/Set.h"
#include "classlib/Win.h"

class TGraphicsObject : public TPersistent {
  KIVO_CLASS(TGraphicsObject, TPersistent)
 public:
  TNotifyEvent OnChange;

 protected:
  // Fires OnChange with this object as Sender.
  virtual void Changed();
  // Puts `value` (null: made again on demand) in place of the handle, tells the
  // listeners, and only then destroys the old handle when it was owned.
  void ReplaceHandle(HGDIOBJ& handle, bool& owned, HGDIOBJ value, THandleKind kind);
};

// Start-up registers the fonts' published properties (Charset, Color, Height, Name,
// Pitch, Style), through which a stored font is written and read; shut-down removes them.
void InitializeGraphicsObjects();
void FinalizeGraphicsObjects();

enum TFontStyle { fsBold, fsItalic, fsUnderline, fsStrikeOut };
using TFontStyles = TSet<TFontStyle>;
enum TFontPitch { fpDefault, fpVariable, fpFixed };
using TFontCharset = uint8_t;

// The pixels per inch of the screen (LOGPIXELSY), read once.
int ScreenPixelsPerInch();
// Makes the library take `value` as the screen's pixels per inch (0: the screen's own
// again), so that tests lay fonts and forms out as a screen of that density would.
void SetScreenPixelsPerInch(int value);

class TFont : public TGraphicsObject {
  KIVO_CLASS(TFont, TGraphicsObject)
 public:
  // "MS Sans Serif", 8 points, clWindowText, default character set.
  TFont();
  ~TFont() override;

  void Assign(TPersistent* source) override;

  HFONT GetHandle();
  void SetHandle(HFONT value);
  bool HandleAllocated() const { return FHandle != nullptr; }

  TColor GetColor() const { return FColor; }
  void SetColor(TColor value);
  // Height in pixels; negative for the character height, as in LOGFONT.
  int GetHeight() const { return FHeight; }
  void SetHeight(int value);
  // Size in points, from Height and PixelsPerInch.
  int GetSize() const;
  void SetSize(int value);
  const std::string& GetName() const { return FName; }
  void SetName(const std::string& value);
  TFontStyles GetStyle() const { return FStyle; }
  void SetStyle(TFontStyles value);
  TFontPitch GetPitch() const { return FPitch; }
  void SetPitch(TFontPitch value);
  TFontCharset GetCharset() const { return FCharset; }
  void SetCharset(TFontCharset value);
  int GetPixelsPerInch() const { return FPixelsPerInch; }
  void SetPixelsPerInch(int value) { FPixelsPerInch = value; }

  // The LOGFONT the handle is made from.
  LOGFONTA GetLogFont() const;

 private:
  void AttributesChanged();
  bool SameAs(const TFont& other) const;

  HGDIOBJ FHandle = nullptr;
  bool FOwnsHandle = false;
  TColor FColor;
  int FHeight;
  std::string FName;
  TFontStyles FStyle;
  TFontPitch FPitch = fpDefault;
  TFontCharset FCharset = DEFAULT_CHARSET;
  int FPixelsPerInch;
};

enum TPenStyle { psSolid, psDash, psDot, psDashDot, psDashDotDot, psClear, psInsideFrame };
enum TPenMode {
  pmBlack, pmWhite, pmNop, pmNot, pmCopy, pmNotCopy, pmMergePenNot, pmMaskPenNot,
  pmMergeNotPen, pmMaskNotPen, pmMerge, pmNotMerge, pmMask, pmNotMask, pmXor, pmNotXor
};

class TPen : public TGraphicsObject {
  KIVO_CLASS(TPen, TGraphicsObject)
 public:
  // A solid black pen one pixel wide, copy mode.
  TPen() = default;
  ~TPen() override;

  void Assign(TPersistent* source) override;

  HPEN GetHandle();
  void SetHandle(HPEN value);
  TColor GetColor() const { return FColor; }
  void SetColor(TColor value);
  int GetWidth() const { return FWidth; }
  void SetWidth(int value);
  TPenStyle GetStyle() const { return FStyle; }
  void SetStyle(TPenStyle value);
  // The raster operation the canvas uses with this pen (not part of the handle).
  TPenMode GetMode() const { return FMode; }
  void SetMode(TPenMode value);

 private:
  void AttributesChanged();

  HGDIOBJ FHandle = nullptr;
  bool FOwnsHandle = false;
  TColor FColor = clBlack;
  int FWidth = 1;
  TPenStyle FStyle = psSolid;
  TPenMode FMode = pmCopy;
};

enum TBrushStyle { bsSolid, bsClear, bsHorizontal, bsVertical, bsFDiagonal, bsBDiagonal, bsCross, bsDiagCross };

class TBrush : public TGraphicsObject {
  KIVO_CLASS(TBrush, TGraphicsObject)
 public:
  // A solid white brush.
  TBrush() = default;
  ~TBrush() override;

  void Assign(TPersistent* source) override;

  // bsClear gives the stock null brush (not owned).
  HBRUSH GetHandle();
  void SetHandle(HBRUSH value);
  TColor GetColor() const { return FColor; }
  void SetColor(TColor value);
  TBrushStyle GetStyle() const { return FStyle; }
  void SetStyle(TBrushStyle value);

 private:
  void AttributesChanged();

  HGDIOBJ FHandle = nullptr;
  bool FOwnsHandle = false;
  TColor FColor = clWhite;
  TBrushStyle FStyle = bsSolid;
};
