// Owners of the GDI and USER handles the class library makes, and guards for device
// context state.
//
// TOwnedHandle<Traits> owns one handle: it reports the creation to the handle counter
// when it adopts a new handle and destroys and reports it when reset or destroyed.
// TSelectGuard restores whatever was selected into a DC before it; TSaveDCGuard
// restores the whole DC state. Borrowed handles are plain values.
#pragma once

#include <utility>

#include "classlib/HandleCounter.h"
#include "classlib/Win.h"

template <class H, THandleKind Kind>
struct TGdiObjectTraits {
  using Handle = H;
  static constexpr THandleKind kKind = Kind;
  static void Destroy(H handle) { DeleteObject(handle); }
};

struct TDCTraits {
  using Handle = HDC;
  static constexpr THandleKind kKind = THandleKind::DC;
  static void Destroy(HDC handle) { DeleteDC(handle); }
};

struct TIconTraits {
  using Handle = HICON;
  static constexpr THandleKind kKind = THandleKind::Icon;
  static void Destroy(HICON handle) { DestroyIcon(handle); }
};

struct TCursorTraits {
  using Handle = HCURSOR;
  static constexpr THandleKind kKind = THandleKind::Cursor;
  static void Destroy(HCURSOR handle) { DestroyCursor(handle); }
};

struct TMenuTraits {
  using Handle = HMENU;
  static constexpr THandleKind kKind = THandleKind::Menu;
  static void Destroy(HMENU handle) { DestroyMenu(handle); }
};

template <class Traits>
class TOwnedHandle {
 public:
  using Handle = typename Traits::Handle;

  TOwnedHandle() = default;
  // Adopts a handle that was just made (null allowed) and counts it.
  explicit TOwnedHandle(Handle handle) : FHandle(handle) { HandleCreated(Traits::kKind, handle); }
  ~TOwnedHandle() { Reset(); }
  TOwnedHandle(TOwnedHandle&& other) noexcept : FHandle(std::exchange(other.FHandle, nullptr)) {}
  TOwnedHandle& operator=(TOwnedHandle&& other) noexcept {
    if (this != &other) {
      Reset();
      FHandle = std::exchange(other.FHandle, nullptr);
    }
    return *this;
  }
  TOwnedHandle(const TOwnedHandle&) = delete;
  TOwnedHandle& operator=(const TOwnedHandle&) = delete;

  Handle Get() const { return FHandle; }
  explicit operator bool() const { return FHandle != nullptr; }

  // Destroys the owned handle and adopts `handle` (counted).
  void Reset(Handle handle = nullptr) {
    if (FHandle) {
      HandleDestroyed(Traits::kKind, FHandle);
      Traits::Destroy(FHandle);
    }
    FHandle = handle;
    HandleCreated(Traits::kKind, handle);
  }
  // Gives up ownership; the caller now owns (and must report) the handle.
  Handle Release() {
    HandleDestroyed(Traits::kKind, FHandle);
    return std::exchange(FHandle, nullptr);
  }

 private:
  Handle FHandle = nullptr;
};

using TPenHandle = TOwnedHandle<TGdiObjectTraits<HPEN, THandleKind::Pen>>;
using TBrushHandle = TOwnedHandle<TGdiObjectTraits<HBRUSH, THandleKind::Brush>>;
using TFontHandle = TOwnedHandle<TGdiObjectTraits<HFONT, THandleKind::Font>>;
using TBitmapHandle = TOwnedHandle<TGdiObjectTraits<HBITMAP, THandleKind::Bitmap>>;
using TRegionHandle = TOwnedHandle<TGdiObjectTraits<HRGN, THandleKind::Region>>;
using TPaletteHandle = TOwnedHandle<TGdiObjectTraits<HPALETTE, THandleKind::Palette>>;
using TDCHandle = TOwnedHandle<TDCTraits>;
using TIconHandle = TOwnedHandle<TIconTraits>;
using TCursorHandle = TOwnedHandle<TCursorTraits>;
using TMenuHandle = TOwnedHandle<TMenuTraits>;

// A memory DC compatible with `reference` (the screen when null).
class TMemoryDC {
 public:
  explicit TMemoryDC(HDC reference = nullptr) : FDC(CreateCompatibleDC(reference)) {}
  HDC Get() const { return FDC.Get(); }
  operator HDC() const { return FDC.Get(); }

 private:
  TDCHandle FDC;
};

// WM_PAINT's device context: the one the message carries, or BeginPaint/EndPaint
// around the scope when it carries none.
class TPaintScope {
 public:
  TPaintScope(HWND wnd, HDC given) : FWnd(wnd), FDC(given) {
    if (!FDC) {
      FDC = BeginPaint(wnd, &FPaint);
      FBegan = true;
      HandleCreated(THandleKind::DC, FDC);
    }
  }
  ~TPaintScope() {
    if (FBegan) {
      HandleDestroyed(THandleKind::DC, FDC);
      EndPaint(FWnd, &FPaint);
    }
  }
  TPaintScope(const TPaintScope&) = delete;
  TPaintScope& operator=(const TPaintScope&) = delete;
  HDC DC() const { return FDC; }

 private:
  HWND FWnd;
  HDC FDC;
  bool FBegan = false;
  PAINTSTRUCT FPaint{};
};

// A DC of a window taken by `Take` (GetDC: the client area, the screen for null;
// GetWindowDC: the whole window, frame included), released on destruction.
template <HDC(WINAPI* Take)(HWND)>
class TWindowDCOf {
 public:
  explicit TWindowDCOf(HWND wnd) : FWnd(wnd), FDC(Take(wnd)) { HandleCreated(THandleKind::DC, FDC); }
  ~TWindowDCOf() {
    if (!FDC)
      return;
    HandleDestroyed(THandleKind::DC, FDC);
    ReleaseDC(FWnd, FDC);
  }
  TWindowDCOf(const TWindowDCOf&) = delete;
  TWindowDCOf& operator=(const TWindowDCOf&) = delete;
  HDC Get() const { return FDC; }
  operator HDC() const { return FDC; }

 private:
  HWND FWnd;
  HDC FDC;
};

using TClientDC = TWindowDCOf<GetDC>;
using TWindowDC = TWindowDCOf<GetWindowDC>;

// BeginPaint/EndPaint around a scope.
class TPaintDC {
 public:
  explicit TPaintDC(HWND wnd) : FWnd(wnd) {
    FDC = BeginPaint(wnd, &FPaint);
    HandleCreated(THandleKind::DC, FDC);
  }
  ~TPaintDC() {
    HandleDestroyed(THandleKind::DC, FDC);
    EndPaint(FWnd, &FPaint);
  }
  TPaintDC(const TPaintDC&) = delete;
  TPaintDC& operator=(const TPaintDC&) = delete;
  HDC Get() const { return FDC; }
  operator HDC() const { return FDC; }
  const PAINTSTRUCT& Paint() const { return FPaint; }

 private:
  HWND FWnd;
  HDC FDC;
  PAINTSTRUCT FPaint{};
};

// Selects an object into a DC for a scope and puts the previous one back.
class TSelectGuard {
 public:
  TSelectGuard(HDC dc, HGDIOBJ object) : FDC(dc), FOld(object ? SelectObject(dc, object) : nullptr) {}
  ~TSelectGuard() {
    if (FOld)
      SelectObject(FDC, FOld);
  }
  TSelectGuard(const TSelectGuard&) = delete;
  TSelectGuard& operator=(const TSelectGuard&) = delete;

 private:
  HDC FDC;
  HGDIOBJ FOld;
};

// SaveDC/RestoreDC around a scope.
class TSaveDCGuard {
 public:
  explicit TSaveDCGuard(HDC dc) : FDC(dc), FSaved(SaveDC(dc)) {}
  ~TSaveDCGuard() {
    if (FSaved)
      RestoreDC(FDC, FSaved);
  }
  TSaveDCGuard(const TSaveDCGuard&) = delete;
  TSaveDCGuard& operator=(const TSaveDCGuard&) = delete;

 private:
  HDC FDC;
  int FSaved;
};
