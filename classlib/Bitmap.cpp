#include "classlib/Bitmap.h"

#include <algorithm>
#include <cstring>
#include <memory>

#include "classlib/Exceptions.h"
#include "classlib/GdiHandles.h"
#include "classlib/Streams.h"

namespace {

struct TBitmapInfo256 {
  BITMAPINFOHEADER Header;
  RGBQUAD Colors[256];
};

const RGBQUAD kVgaColors[16] = {
    {0, 0, 0, 0},       {0, 0, 128, 0},   {0, 128, 0, 0},   {0, 128, 128, 0},
    {128, 0, 0, 0},     {128, 0, 128, 0}, {128, 128, 0, 0}, {192, 192, 192, 0},
    {128, 128, 128, 0}, {0, 0, 255, 0},   {0, 255, 0, 0},   {0, 255, 255, 0},
    {255, 0, 0, 0},     {255, 0, 255, 0}, {255, 255, 0, 0}, {255, 255, 255, 0}};

int BitCountOf(TPixelFormat format) {
  switch (format) {
    case pf1bit: return 1;
    case pf4bit: return 4;
    case pf8bit: return 8;
    case pf15bit:
    case pf16bit: return 16;
    case pf24bit: return 24;
    default: return 32;
  }
}

TPixelFormat FormatOfDib(const BITMAPINFOHEADER& h, const DWORD* masks) {
  switch (h.biBitCount) {
    case 1: return pf1bit;
    case 4: return pf4bit;
    case 8: return pf8bit;
    case 16:
      if (h.biCompression != BI_BITFIELDS)
        return pf15bit;
      if (masks[0] == 0xF800 && masks[1] == 0x07E0 && masks[2] == 0x001F)
        return pf16bit;
      if (masks[0] == 0x7C00 && masks[1] == 0x03E0 && masks[2] == 0x001F)
        return pf15bit;
      return pfCustom;
    case 24: return pf24bit;
    case 32:
      if (h.biCompression != BI_BITFIELDS ||
          (masks[0] == 0xFF0000 && masks[1] == 0xFF00 && masks[2] == 0xFF))
        return pf32bit;
      return pfCustom;
  }
  return pfCustom;
}

// A screen-compatible memory DC with `bitmap` selected, for copying.
class TBlitDC {
 public:
  explicit TBlitDC(HBITMAP bitmap) : FDC(CreateCompatibleDC(nullptr)) {
    FOld = SelectObject(FDC.Get(), bitmap);
  }
  ~TBlitDC() { SelectObject(FDC.Get(), FOld); }
  HDC Get() const { return FDC.Get(); }

 private:
  TDCHandle FDC;
  HGDIOBJ FOld;
};

}  // namespace

HBITMAP CreateBitmapOfFormat(int width, int height, TPixelFormat format, void** bits) {
  *bits = nullptr;
  HBITMAP bitmap = nullptr;
  if (format == pfDevice) {
    TClientDC screen(nullptr);
    bitmap = CreateCompatibleBitmap(screen, width, height);
  } else {
    TBitmapInfo256 info{};
    BITMAPINFOHEADER& h = info.Header;
    h.biSize = sizeof h;
    h.biWidth = width;
    h.biHeight = height;
    h.biPlanes = 1;
    h.biBitCount = WORD(BitCountOf(format));
    h.biCompression = BI_RGB;
    if (format == pf1bit) {
      info.Colors[0] = kVgaColors[0];
      info.Colors[1] = kVgaColors[15];
      h.biClrUsed = 2;
    } else if (format == pf4bit) {
      std::copy(std::begin(kVgaColors), std::end(kVgaColors), info.Colors);
      h.biClrUsed = 16;
    } else if (format == pf8bit) {
      // The 16 standard colours, a 6 x 6 x 6 colour cube and a grey ramp.
      std::copy(std::begin(kVgaColors), std::end(kVgaColors), info.Colors);
      int i = 16;
      for (int r = 0; r < 6; ++r)
        for (int g = 0; g < 6; ++g)
          for (int b = 0; b < 6; ++b)
            info.Colors[i++] = RGBQUAD{BYTE(b * 51), BYTE(g * 51), BYTE(r * 51), 0};
      for (int k = 0; i < 256; ++i, ++k)
        info.Colors[i] = RGBQUAD{BYTE(8 + k * 10), BYTE(8 + k * 10), BYTE(8 + k * 10), 0};
      h.biClrUsed = 256;
    } else if (format == pf16bit) {
      h.biCompression = BI_BITFIELDS;
      auto* masks = reinterpret_cast<DWORD*>(info.Colors);
      masks[0] = 0xF800;
      masks[1] = 0x07E0;
      masks[2] = 0x001F;
    }
    bitmap = CreateDIBSection(nullptr, reinterpret_cast<BITMAPINFO*>(&info), DIB_RGB_COLORS, bits,
                              nullptr, 0);
  }
  if (!bitmap)
    throw EOutOfResources(Format("Cannot create a %d x %d bitmap (error %lu)", width, height, GetLastError()));
  return bitmap;
}

// ---- TBitmapCanvas ------------------------------------------------------------------

TBitmapCanvas::~TBitmapCanvas() { FreeContext(); }

void TBitmapCanvas::CreateHandle() {
  FreeContext();
  FDC.Reset(CreateCompatibleDC(nullptr));
  if (FBitmap->FHandle)
    FOldBitmap = SelectObject(FDC.Get(), FBitmap->FHandle.Get());
  SetHandle(FDC.Get());
}

void TBitmapCanvas::FreeContext() {
  if (!FDC)
    return;
  SetHandle(nullptr);
  if (FOldBitmap)
    SelectObject(FDC.Get(), FOldBitmap);
  FOldBitmap = nullptr;
  FDC.Reset();
}

// ---- TBitmap ------------------------------------------------------------------------

TBitmap::TBitmap() = default;

TBitmap::~TBitmap() {
  delete FCanvas;  // lets go of the DC before the handle goes
  FCanvas = nullptr;
}

TCanvas* TBitmap::GetCanvas() {
  if (!FCanvas) {
    FCanvas = new TBitmapCanvas(this);
    FCanvas->OnChange = TNotifyEvent::Bind<&TBitmap::CanvasChanged>(this);
  }
  return FCanvas;
}

void TBitmap::CanvasChanged(TObject*) { Changed(this); }

void TBitmap::Changed(TObject* sender) { inherited::Changed(sender); }

HBITMAP TBitmap::GetHandle() { return FHandle.Get(); }

void TBitmap::ReplaceHandle(HBITMAP handle, void* bits, int width, int height, TPixelFormat format,
                            TBitmapHandleType type) {
  if (FCanvas)
    FCanvas->FreeContext();
  FHandle.Reset(handle);
  FBits = bits;
  FWidth = width;
  FHeight = height;
  FPixelFormat = format;
  FHandleType = type;
}

void TBitmap::SetHandle(HBITMAP value) {
  if (FCanvas)
    FCanvas->FreeContext();
  if (!value) {
    ReplaceHandle(nullptr, nullptr, 0, 0, FPixelFormat, FHandleType);
    Changed(this);
    return;
  }
  DIBSECTION ds{};
  if (GetObjectA(value, sizeof ds, &ds) == sizeof ds && ds.dsBm.bmBits) {
    FTopDown = ds.dsBmih.biHeight < 0;
    ReplaceHandle(value, ds.dsBm.bmBits, ds.dsBm.bmWidth, ds.dsBm.bmHeight,
                  FormatOfDib(ds.dsBmih, ds.dsBitfields), bmDIB);
  } else {
    BITMAP bm{};
    GetObjectA(value, sizeof bm, &bm);
    FTopDown = false;
    ReplaceHandle(value, nullptr, bm.bmWidth, bm.bmHeight, bm.bmBitsPixel == 1 ? pf1bit : pfDevice, bmDDB);
  }
  Changed(this);
}

HBITMAP TBitmap::ReleaseHandle() {
  if (FCanvas)
    FCanvas->FreeContext();
  HBITMAP handle = FHandle.Release();
  FBits = nullptr;
  FWidth = FHeight = 0;
  return handle;
}

void TBitmap::Rebuild(int width, int height, TPixelFormat format, TBitmapHandleType type) {
  if (FCanvas)
    FCanvas->FreeContext();
  if (width <= 0 || height <= 0) {
    ReplaceHandle(nullptr, nullptr, std::max(width, 0), std::max(height, 0), format, type);
    return;
  }
  void* bits = nullptr;
  TBitmapHandle made(CreateBitmapOfFormat(width, height, type == bmDDB ? pfDevice : format, &bits));
  {
    TBlitDC target(made.Get());
    PatBlt(target.Get(), 0, 0, width, height, WHITENESS);
    if (FHandle) {
      TBlitDC source(FHandle.Get());
      BitBlt(target.Get(), 0, 0, std::min(width, FWidth), std::min(height, FHeight), source.Get(), 0,
             0, SRCCOPY);
    }
  }
  FTopDown = false;
  HBITMAP handle = made.Release();
  ReplaceHandle(handle, bits, width, height, type == bmDDB ? pfDevice : format, type);
}

void TBitmap::SetSize(int width, int height) {
  width = std::max(width, 0);
  height = std::max(height, 0);
  if (width == FWidth && height == FHeight)
    return;
  Rebuild(width, height, FPixelFormat, FHandleType);
  Changed(this);
}

void TBitmap::SetPixelFormat(TPixelFormat value) {
  if (value == FPixelFormat)
    return;
  if (value == pfCustom)
    throw EInvalidGraphic("Invalid pixel format");
  Rebuild(FWidth, FHeight, value, value == pfDevice ? bmDDB : bmDIB);
  Changed(this);
}

void TBitmap::SetMonochrome(bool value) {
  if (value != GetMonochrome())
    SetPixelFormat(value ? pf1bit : pf32bit);
}

void TBitmap::SetHandleType(TBitmapHandleType value) {
  if (value == FHandleType)
    return;
  TPixelFormat format = value == bmDDB ? pfDevice : (FPixelFormat == pfDevice ? pf32bit : FPixelFormat);
  Rebuild(FWidth, FHeight, format, value);
  Changed(this);
}

TColor TBitmap::GetTransparentColor() {
  if (FTransparentMode == tmFixed)
    return FTransparentColor;
  if (GetEmpty())
    return clDefault;
  return GetCanvas()->GetPixel(0, FHeight - 1);
}

void TBitmap::SetTransparentColor(TColor value) {
  if (value == clDefault) {
    SetTransparentMode(tmAuto);
    return;
  }
  FTransparentColor = value;
  FTransparentMode = tmFixed;
  Changed(this);
}

void TBitmap::SetTransparentMode(TTransparentMode value) {
  if (value == FTransparentMode)
    return;
  FTransparentMode = value;
  if (value == tmAuto)
    FTransparentColor = clDefault;
  Changed(this);
}

void* TBitmap::ScanLine(int row) {
  if (!FBits && FHandle)
    SetHandleType(bmDIB);
  if (!FBits || row < 0 || row >= FHeight)
    throw EInvalidGraphic(Format("Scan line index out of range (%d)", row));
  GdiFlush();
  const size_t stride = TDibData::DibStride(FWidth, BitCountOf(FPixelFormat));
  const int physical = FTopDown ? row : FHeight - 1 - row;
  return static_cast<uint8_t*>(FBits) + stride * size_t(physical);
}

void TBitmap::LoadFromDib(const TDibData& dib) {
  std::vector<uint8_t> info = dib.BitmapInfo();
  void* bits = nullptr;
  HBITMAP handle = CreateDIBSection(nullptr, reinterpret_cast<BITMAPINFO*>(info.data()),
                                    DIB_RGB_COLORS, &bits, nullptr, 0);
  if (!handle)
    throw EOutOfResources(Format("Cannot create a %d x %d bitmap (error %lu)", dib.Width(),
                                 dib.Height(), GetLastError()));
  memcpy(bits, dib.Pixels.data(), dib.Pixels.size());
  FTopDown = dib.TopDown();
  ReplaceHandle(handle, bits, dib.Width(), dib.Height(), FormatOfDib(dib.Header, dib.Masks), bmDIB);
  Changed(this);
}

TDibData TBitmap::SaveToDib() {
  TDibData dib;
  if (GetEmpty() || !FHandle)
    return dib;
  if (FCanvas)
    FCanvas->FreeContext();
  GdiFlush();
  DIBSECTION ds{};
  if (FBits && GetObjectA(FHandle.Get(), sizeof ds, &ds) == sizeof ds) {
    dib.Header = ds.dsBmih;
    dib.Header.biSize = sizeof(BITMAPINFOHEADER);
    if (dib.Header.biCompression == BI_BITFIELDS)
      std::copy(std::begin(ds.dsBitfields), std::end(ds.dsBitfields), dib.Masks);
    if (dib.Header.biBitCount <= 8) {
      TBlitDC dc(FHandle.Get());
      RGBQUAD colors[256];
      const UINT count = GetDIBColorTable(dc.Get(), 0, 256, colors);
      dib.Colors.assign(colors, colors + count);
    }
    dib.Header.biClrUsed = DWORD(dib.Colors.size());
    dib.Pixels.resize(dib.Stride() * size_t(dib.Height()));
    memcpy(dib.Pixels.data(), FBits, dib.Pixels.size());
    dib.Header.biSizeImage = DWORD(dib.Pixels.size());
    return dib;
  }
  // A device-dependent bitmap is saved as 32 bits per pixel.
  BITMAPINFOHEADER& h = dib.Header;
  h.biSize = sizeof h;
  h.biWidth = FWidth;
  h.biHeight = FHeight;
  h.biPlanes = 1;
  h.biBitCount = 32;
  h.biCompression = BI_RGB;
  dib.Pixels.resize(dib.Stride() * size_t(FHeight));
  h.biSizeImage = DWORD(dib.Pixels.size());
  TClientDC screen(nullptr);
  GetDIBits(screen, FHandle.Get(), 0, FHeight, dib.Pixels.data(), reinterpret_cast<BITMAPINFO*>(&h),
            DIB_RGB_COLORS);
  return dib;
}

void TBitmap::LoadFromStream(TStream& stream) {
  const int64_t remaining = stream.GetSize() - stream.GetPosition();
  if (remaining <= 0) {
    ReplaceHandle(nullptr, nullptr, 0, 0, FPixelFormat, FHandleType);
    Changed(this);
    return;
  }
  uint8_t fileHeader[kBmpFileHeaderSize];
  if (remaining < int64_t(kBmpFileHeaderSize) || stream.Read(fileHeader, sizeof fileHeader) != int32_t(sizeof fileHeader))
    throw EInvalidGraphic("Bitmap image is not valid: the file header is truncated");
  const TBmpFileHeader header = ReadBmpFileHeader(fileHeader, sizeof fileHeader);
  // The declared size bounds the read; it may not promise more than the stream holds.
  const int64_t total = header.Size ? int64_t(header.Size) : remaining;
  if (total < int64_t(kBmpFileHeaderSize) || total > remaining)
    throw EInvalidGraphic(Format("Bitmap image is not valid: the file declares %u bytes, the stream holds %lld",
                                 header.Size, (long long)remaining));
  std::vector<uint8_t> data(static_cast<size_t>(total));
  memcpy(data.data(), fileHeader, sizeof fileHeader);
  const int32_t rest = int32_t(total - int64_t(kBmpFileHeaderSize));
  if (rest > 0 && stream.Read(data.data() + kBmpFileHeaderSize, rest) != rest)
    throw EInvalidGraphic("Bitmap image is not valid: the file is truncated");
  LoadFromDib(DecodeBmp(data.data(), data.size()));
}

void TBitmap::SaveToStream(TStream& stream) {
  if (GetEmpty())
    return;
  const std::vector<uint8_t> file = EncodeBmp(SaveToDib());
  stream.WriteBuffer(file.data(), int32_t(file.size()));
}

void TBitmap::LoadResourceData(HINSTANCE instance, LPCSTR name, const std::string& what) {
  HRSRC resource = FindResourceA(instance, name, MAKEINTRESOURCEA(2) /* RT_BITMAP */);
  HGLOBAL loaded = resource ? LoadResource(instance, resource) : nullptr;
  const void* data = loaded ? LockResource(loaded) : nullptr;
  if (!data)
    throw EResNotFound(Format("Resource %s not found", what.c_str()));
  LoadFromDib(DecodeDib(static_cast<const uint8_t*>(data), SizeofResource(instance, resource)));
}

void TBitmap::LoadFromResourceName(HINSTANCE instance, const std::string& name) {
  LoadResourceData(instance, name.c_str(), name);
}

void TBitmap::LoadFromResourceID(HINSTANCE instance, int id) {
  LoadResourceData(instance, MAKEINTRESOURCEA(id), std::to_string(id));
}

void TBitmap::Assign(TPersistent* source) {
  if (source == this)
    return;
  if (!source) {
    ReplaceHandle(nullptr, nullptr, 0, 0, pf32bit, bmDIB);
    Changed(this);
    return;
  }
  if (auto* bitmap = ObjectAs<TBitmap>(source)) {
    FTransparentColor = bitmap->FTransparentColor;
    FTransparentMode = bitmap->FTransparentMode;
    if (bitmap->GetEmpty()) {
      ReplaceHandle(nullptr, nullptr, bitmap->FWidth, bitmap->FHeight, bitmap->FPixelFormat, bitmap->FHandleType);
      Changed(this);
    } else {
      LoadFromDib(bitmap->SaveToDib());
      if (bitmap->FHandleType == bmDDB)
        SetHandleType(bmDDB);
    }
    SetTransparent(bitmap->GetTransparent());
    return;
  }
  if (auto* graphic = ObjectAs<TGraphic>(source)) {
    Rebuild(0, 0, FPixelFormat, FHandleType);
    SetSize(graphic->GetWidth(), graphic->GetHeight());
    if (!GetEmpty())
      GetCanvas()->Draw(0, 0, graphic);
    Changed(this);
    return;
  }
  inherited::Assign(source);
}

void TBitmap::Draw(TCanvas* canvas, const TRect& rect) {
  if (GetEmpty())
    return;
  HDC source = GetCanvas()->GetHandle();
  HDC target = canvas->GetHandle();
  const int w = RectWidth(rect), h = RectHeight(rect);
  const bool stretch = w != FWidth || h != FHeight;
  const int oldMode = stretch ? SetStretchBltMode(target, COLORONCOLOR) : 0;
  if (!GetTransparent()) {
    StretchBlt(target, rect.left, rect.top, w, h, source, 0, 0, FWidth, FHeight, canvas->GetCopyMode());
  } else {
    // Transparent copy through a monochrome mask: pixels of the transparent colour keep
    // the target, the others come from the bitmap (target ^= src; target &= mask;
    // target ^= src).
    TBitmapHandle mask(CreateBitmap(FWidth, FHeight, 1, 1, nullptr));
    TBlitDC maskDC(mask.Get());
    const COLORREF oldBk = SetBkColor(source, ColorToRGB(GetTransparentColor()));
    BitBlt(maskDC.Get(), 0, 0, FWidth, FHeight, source, 0, 0, SRCCOPY);
    SetBkColor(source, oldBk);
    const COLORREF oldTargetBk = SetBkColor(target, RGB(255, 255, 255));
    const COLORREF oldText = SetTextColor(target, RGB(0, 0, 0));
    StretchBlt(target, rect.left, rect.top, w, h, source, 0, 0, FWidth, FHeight, SRCINVERT);
    StretchBlt(target, rect.left, rect.top, w, h, maskDC.Get(), 0, 0, FWidth, FHeight, SRCAND);
    StretchBlt(target, rect.left, rect.top, w, h, source, 0, 0, FWidth, FHeight, SRCINVERT);
    SetTextColor(target, oldText);
    SetBkColor(target, oldTargetBk);
  }
  if (stretch)
    SetStretchBltMode(target, oldMode);
}
