// The shared paint buffer: one 32-bit off-screen bitmap through which every skinned
// form frame and popup paints unless it has a private one. A library first asks the
// host executable for its buffer ("GetGlobalBuffer", descriptor pointer in EAX) and
// paints into the host's bitmap, which it never frees; otherwise it makes its own of
// the screen's size. The library exports GetGlobalBuffer itself, so that it can also
// be the provider. A failing DIB raises the bitmap's own error at start-up.
#pragma once

#include "classlib/Win.h"
#include "skin/KsBitmap.h"

// The provider's side: fills the 16 words of `desc` from this module's shared buffer.
// The argument travels in EAX; the handles stay the provider's.
extern "C" __attribute__((regparm(1))) void GetGlobalBuffer(TKsBufferDesc* desc);
using TGetGlobalBufferProc = __attribute__((regparm(1))) void (*)(TKsBufferDesc* desc);

// The shared buffer; null before start-up and after shut-down.
TKsBitmap* KsGlobalBuffer();

// The size of a self-made buffer: the screen's, plus a margin of 0.
TSize GlobalBufferFallbackSize();

// Start-up: makes the shared buffer, adopting the host executable's when the module is a
// library and the host exports GetGlobalBuffer. Calls after the first do nothing.
void CreateGlobalBuffer();
// Shut-down: frees the shared buffer (an adopted one keeps its handles). Calls after the
// first do nothing.
void FreeGlobalBuffer();

// The start-up's choice with the module's situation given: `host` is the executable's
// module (null for none) and `moduleIsLibrary` whether this code runs in a library.
void CreateGlobalBufferFor(HMODULE host, bool moduleIsLibrary);
