// The class library's own bookkeeping of the GDI and USER handles it makes.
//
// Wine's GetGuiResources does not count reliably, so every place in the class library
// that creates a handle reports it here and every place that destroys one reports
// that too. Tests compare the live counts before and after a piece of work to prove
// that nothing leaked. Handles are tracked by value, so a handle destroyed twice or
// never reported shows up in MismatchCount.
#pragma once

#include "classlib/Win.h"

enum class THandleKind : unsigned char {
  Pen,
  Brush,
  Font,
  Bitmap,
  Region,
  Palette,
  DC,
  Icon,
  Cursor,
  ImageList,
  Window,
  Menu,
};
constexpr int kHandleKindCount = static_cast<int>(THandleKind::Menu) + 1;

constexpr bool IsGdiHandleKind(THandleKind kind) { return kind <= THandleKind::DC; }

// Reports a handle the class library has just made; null is ignored.
void HandleCreated(THandleKind kind, const void* handle) noexcept;
// Reports a handle the class library is about to destroy; null is ignored.
void HandleDestroyed(THandleKind kind, const void* handle) noexcept;

// Live handles of one kind, of all GDI kinds, of all USER kinds.
int LiveHandleCount(THandleKind kind) noexcept;
int LiveGdiHandleCount() noexcept;
int LiveUserHandleCount() noexcept;
// Destructions of handles that were not live (double destruction, wrong kind).
int HandleMismatchCount() noexcept;
// True when `handle` is live in the bookkeeping.
bool IsLiveHandle(const void* handle) noexcept;
