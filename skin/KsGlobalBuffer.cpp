#include "skin/KsGlobalBuffer.h"

#include <memory>

#include "classlib/Boundary.h"
#include "classlib/UtilWindow.h"

namespace {

std::unique_ptr<TKsBitmap> gGlobalBuffer;
bool gStarted = false;

constexpr int kFallbackMargin = 0;

}  // namespace

extern "C" __attribute__((regparm(1))) void GetGlobalBuffer(TKsBufferDesc* desc) {
  GuardBoundary("GetGlobalBuffer", [desc] {
    if (gGlobalBuffer) {
      gGlobalBuffer->SaveBufferDesc(*desc);
      return;
    }
    // Asked before start-up or after shut-down: an empty description.
    TKsBitmap empty;
    empty.SaveBufferDesc(*desc);
  });
}

TKsBitmap* KsGlobalBuffer() { return gGlobalBuffer.get(); }

TSize GlobalBufferFallbackSize() {
  return TSize{GetSystemMetrics(SM_CXSCREEN) + kFallbackMargin, GetSystemMetrics(SM_CYSCREEN) + kFallbackMargin};
}

void CreateGlobalBufferFor(HMODULE host, bool moduleIsLibrary) {
  if (gStarted)
    return;
  auto buffer = std::make_unique<TKsBitmap>();
  TGetGlobalBufferProc provider = nullptr;
  if (moduleIsLibrary && host)
    provider = reinterpret_cast<TGetGlobalBufferProc>(
        reinterpret_cast<void*>(GetProcAddress(host, "GetGlobalBuffer")));
  if (provider) {
    TKsBufferDesc desc{};
    provider(&desc);
    buffer->AdoptBuffer(desc);
  } else {
    const TSize size = GlobalBufferFallbackSize();
    buffer->SetSize(size.cx, size.cy);
  }
  gGlobalBuffer = std::move(buffer);
  gStarted = true;
}

void CreateGlobalBuffer() {
  HMODULE executable = GetModuleHandleA(nullptr);
  CreateGlobalBufferFor(executable, ClassLibInstance() != executable);
}

void FreeGlobalBuffer() {
  if (!gStarted)
    return;
  gGlobalBuffer.reset();
  gStarted = false;
}
