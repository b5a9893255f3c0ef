#include "classlib/GraphicsObjects.h"

#include <cstring>

#include "classlib/GdiHandles.h"
#include "classlib/HandleCounter.h"
#include "classlib/PublishedProperties.h"

namespace {

// Destroys a handle the object owned, after its listeners have let go of it.
void DestroyOwned(HGDIOBJ handle, bool owned, THandleKind kind) {
  if (!handle || !owned)
    return;
  HandleDestroyed(kind, handle);
  DeleteObject(handle);
}

template <class H>
H Adopt(H handle, THandleKind kind) {
  HandleCreated(kind, handle);
  return handle;
}

}  // namespace

void TGraphicsObject::Changed() { OnChange(this); }

void TGraphicsObject::ReplaceHandle(HGDIOBJ& handle, bool& owned, HGDIOBJ value, THandleKind kind) {
  HGDIOBJ old = handle;
  const bool wasOwned = owned;
  handle = value;
  owned = false;
  Changed();
  DestroyOwned(old, wasOwned, kind);
}

namespace {
int gPixelsPerInchOverride = 0;
}

int ScreenPixelsPerInch() {
  if (gPixelsPerInchOverride > 0)
    return gPixelsPerInchOverride;
  static const int ppi = [] {
    TClientDC dc(nullptr);
    const int value = GetDeviceCaps(dc, LOGPIXELSY);
    return value > 0 ? value : 96;
  }();
  return ppi;
}

void SetScreenPixelsPerInch(int value) { gPixelsPerInchOverride = value; }

// ---- TFont --------------------------------------------------------------------------

TFont::TFont()
    : FColor(clWindowText), FName("MS Sans Serif"), FPixelsPerInch(ScreenPixelsPerInch()) {
  FHeight = -MulDiv(8, FPixelsPerInch, 72);
}

TFont::~TFont() { DestroyOwned(FHandle, FOwnsHandle, THandleKind::Font); }

void TFont::AttributesChanged() { ReplaceHandle(FHandle, FOwnsHandle, nullptr, THandleKind::Font); }

bool TFont::SameAs(const TFont& other) const {
  return FColor == other.FColor && FHeight == other.FHeight && FName == other.FName &&
         FStyle == other.FStyle && FPitch == other.FPitch && FCharset == other.FCharset;
}

void TFont::Assign(TPersistent* source) {
  if (auto* font = ObjectAs<TFont>(source)) {
    if (font == this)
      return;
    // The height comes with the density it is given at, so that a copy of a font of a
    // form's design scales as the design does.
    FPixelsPerInch = font->FPixelsPerInch;
    if (SameAs(*font))
      return;
    FColor = font->FColor;
    FHeight = font->FHeight;
    FName = font->FName;
    FStyle = font->FStyle;
    FPitch = font->FPitch;
    FCharset = font->FCharset;
    AttributesChanged();
    return;
  }
  inherited::Assign(source);
}

LOGFONTA TFont::GetLogFont() const {
  LOGFONTA lf{};
  lf.lfHeight = FHeight;
  lf.lfWeight = FStyle.Contains(fsBold) ? FW_BOLD : FW_NORMAL;
  lf.lfItalic = FStyle.Contains(fsItalic);
  lf.lfUnderline = FStyle.Contains(fsUnderline);
  lf.lfStrikeOut = FStyle.Contains(fsStrikeOut);
  lf.lfCharSet = FCharset;
  lf.lfOutPrecision = OUT_DEFAULT_PRECIS;
  lf.lfClipPrecision = CLIP_DEFAULT_PRECIS;
  lf.lfQuality = DEFAULT_QUALITY;
  lf.lfPitchAndFamily = FPitch == fpVariable ? VARIABLE_PITCH : FPitch == fpFixed ? FIXED_PITCH : DEFAULT_PITCH;
  strncpy(lf.lfFaceName, FName.c_str(), LF_FACESIZE - 1);
  return lf;
}

HFONT TFont::GetHandle() {
  if (!FHandle) {
    LOGFONTA lf = GetLogFont();
    FHandle = Adopt(CreateFontIndirectA(&lf), THandleKind::Font);
    FOwnsHandle = true;
  }
  return static_cast<HFONT>(FHandle);
}

void TFont::SetHandle(HFONT value) {
  LOGFONTA lf{};
  if (!value || !GetObjectA(value, sizeof lf, &lf))
    return;
  FHeight = lf.lfHeight;
  FName = lf.lfFaceName;
  FStyle = TFontStyles{};
  if (lf.lfWeight >= FW_BOLD)
    FStyle.Include(fsBold);
  if (lf.lfItalic)
    FStyle.Include(fsItalic);
  if (lf.lfUnderline)
    FStyle.Include(fsUnderline);
  if (lf.lfStrikeOut)
    FStyle.Include(fsStrikeOut);
  FCharset = lf.lfCharSet;
  const int pitch = lf.lfPitchAndFamily & 3;
  FPitch = pitch == VARIABLE_PITCH ? fpVariable : pitch == FIXED_PITCH ? fpFixed : fpDefault;
  ReplaceHandle(FHandle, FOwnsHandle, value, THandleKind::Font);
}

void TFont::SetColor(TColor value) {
  if (value == FColor)
    return;
  FColor = value;
  Changed();  // the handle does not depend on the colour
}

void TFont::SetHeight(int value) {
  if (value == FHeight)
    return;
  FHeight = value;
  AttributesChanged();
}

int TFont::GetSize() const { return -MulDiv(FHeight, 72, FPixelsPerInch); }

void TFont::SetSize(int value) { SetHeight(-MulDiv(value, FPixelsPerInch, 72)); }

void TFont::SetName(const std::string& value) {
  if (value.empty() || value == FName)
    return;
  FName = value;
  AttributesChanged();
}

void TFont::SetStyle(TFontStyles value) {
  if (value == FStyle)
    return;
  FStyle = value;
  AttributesChanged();
}

void TFont::SetPitch(TFontPitch value) {
  if (value == FPitch)
    return;
  FPitch = value;
  AttributesChanged();
}

void TFont::SetCharset(TFontCharset value) {
  if (value == FCharset)
    return;
  FCharset = value;
  AttributesChanged();
}

// ---- TPen ---------------------------------------------------------------------------

TPen::~TPen() { DestroyOwned(FHandle, FOwnsHandle, THandleKind::Pen); }

void TPen::AttributesChanged() { ReplaceHandle(FHandle, FOwnsHandle, nullptr, THandleKind::Pen); }

void TPen::Assign(TPersistent* source) {
  if (auto* pen = ObjectAs<TPen>(source)) {
    if (pen == this)
      return;
    FColor = pen->FColor;
    FWidth = pen->FWidth;
    FStyle = pen->FStyle;
    FMode = pen->FMode;
    AttributesChanged();
    return;
  }
  inherited::Assign(source);
}

HPEN TPen::GetHandle() {
  if (!FHandle) {
    static const int kStyles[] = {PS_SOLID, PS_DASH, PS_DOT, PS_DASHDOT, PS_DASHDOTDOT, PS_NULL, PS_INSIDEFRAME};
    FHandle = Adopt(CreatePen(kStyles[FStyle], FWidth, ColorToRGB(FColor)), THandleKind::Pen);
    FOwnsHandle = true;
  }
  return static_cast<HPEN>(FHandle);
}

void TPen::SetHandle(HPEN value) {
  LOGPEN lp{};
  if (!value || !GetObjectA(value, sizeof lp, &lp))
    return;
  FColor = TColor(lp.lopnColor);
  FWidth = lp.lopnWidth.x;
  switch (lp.lopnStyle) {
    case PS_DASH: FStyle = psDash; break;
    case PS_DOT: FStyle = psDot; break;
    case PS_DASHDOT: FStyle = psDashDot; break;
    case PS_DASHDOTDOT: FStyle = psDashDotDot; break;
    case PS_NULL: FStyle = psClear; break;
    case PS_INSIDEFRAME: FStyle = psInsideFrame; break;
    default: FStyle = psSolid; break;
  }
  ReplaceHandle(FHandle, FOwnsHandle, value, THandleKind::Pen);
}

void TPen::SetColor(TColor value) {
  if (value == FColor)
    return;
  FColor = value;
  AttributesChanged();
}

void TPen::SetWidth(int value) {
  if (value < 0 || value == FWidth)
    return;
  FWidth = value;
  AttributesChanged();
}

void TPen::SetStyle(TPenStyle value) {
  if (value == FStyle)
    return;
  FStyle = value;
  AttributesChanged();
}

void TPen::SetMode(TPenMode value) {
  if (value == FMode)
    return;
  FMode = value;
  Changed();
}

// ---- TBrush -------------------------------------------------------------------------

TBrush::~TBrush() { DestroyOwned(FHandle, FOwnsHandle, THandleKind::Brush); }

void TBrush::AttributesChanged() { ReplaceHandle(FHandle, FOwnsHandle, nullptr, THandleKind::Brush); }

void TBrush::Assign(TPersistent* source) {
  if (auto* brush = ObjectAs<TBrush>(source)) {
    if (brush == this)
      return;
    FColor = brush->FColor;
    FStyle = brush->FStyle;
    AttributesChanged();
    return;
  }
  inherited::Assign(source);
}

HBRUSH TBrush::GetHandle() {
  if (!FHandle) {
    if (FStyle == bsClear) {
      FHandle = GetStockObject(NULL_BRUSH);
      FOwnsHandle = false;
      return static_cast<HBRUSH>(FHandle);
    }
    static const int kHatches[] = {0, 0, HS_HORIZONTAL, HS_VERTICAL, HS_FDIAGONAL, HS_BDIAGONAL, HS_CROSS, HS_DIAGCROSS};
    const COLORREF color = ColorToRGB(FColor);
    HBRUSH made = FStyle == bsSolid ? CreateSolidBrush(color) : CreateHatchBrush(kHatches[FStyle], color);
    FHandle = Adopt(made, THandleKind::Brush);
    FOwnsHandle = true;
  }
  return static_cast<HBRUSH>(FHandle);
}

void TBrush::SetHandle(HBRUSH value) {
  LOGBRUSH lb{};
  if (!value || !GetObjectA(value, sizeof lb, &lb))
    return;
  FColor = TColor(lb.lbColor);
  if (lb.lbStyle == BS_NULL) {
    FStyle = bsClear;
  } else if (lb.lbStyle == BS_HATCHED) {
    static const TBrushStyle kStyles[] = {bsHorizontal, bsVertical, bsFDiagonal, bsBDiagonal, bsCross, bsDiagCross};
    FStyle = lb.lbHatch < 6 ? kStyles[lb.lbHatch] : bsSolid;
  } else {
    FStyle = bsSolid;
  }
  ReplaceHandle(FHandle, FOwnsHandle, value, THandleKind::Brush);
}

void TBrush::SetColor(TColor value) {
  if (value == FColor)
    return;
  FColor = value;
  if (FStyle == bsClear)
    FStyle = bsSolid;
  AttributesChanged();
}

void TBrush::SetStyle(TBrushStyle value) {
  if (value == FStyle)
    return;
  FStyle = value;
  AttributesChanged();
}

void InitializeGraphicsObjects() {
  RegisterPublishedProperties(TFont::StaticClass(),
                              {OrdinalProperty<&TFont::GetCharset, &TFont::SetCharset>("Charset", DEFAULT_CHARSET),
                               OrdinalProperty<&TFont::GetColor, &TFont::SetColor>("Color", clWindowText),
                               OrdinalProperty<&TFont::GetHeight, &TFont::SetHeight>("Height"),
                               StringProperty<&TFont::GetName, &TFont::SetName>("Name"),
                               OrdinalProperty<&TFont::GetPitch, &TFont::SetPitch>("Pitch", fpDefault),
                               OrdinalProperty<&TFont::GetStyle, &TFont::SetStyle>("Style", 0)});
}

void FinalizeGraphicsObjects() { UnRegisterPublishedProperties(TFont::StaticClass()); }
