#include "tests/support/ResourceCounts.h"

#include <cstdint>

#include "classlib/Win.h"

namespace {

BOOL CALLBACK CountChild(HWND, LPARAM count) {
  ++*reinterpret_cast<int*>(count);
  return TRUE;
}

BOOL CALLBACK CountTopLevel(HWND wnd, LPARAM count) {
  ++*reinterpret_cast<int*>(count);
  EnumChildWindows(wnd, CountChild, count);
  return TRUE;
}

}  // namespace

int ThreadWindowCount() {
  int count = 0;
  EnumThreadWindows(GetCurrentThreadId(), CountTopLevel, reinterpret_cast<LPARAM>(&count));
  return count;
}

int ProcessGdiObjectCount() {
  if (const DWORD reported = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS))
    return int(reported);
  int count = 0;
  for (uintptr_t value = 1; value <= 0xFFFF; ++value)
    if (GetObjectType(reinterpret_cast<HGDIOBJ>(value)) != 0)
      ++count;
  return count;
}

int ProcessKernelHandleCount() {
  int count = 0;
  DWORD flags = 0;
  for (uintptr_t value = 4; value <= 0x10000; value += 4)
    if (GetHandleInformation(reinterpret_cast<HANDLE>(value), &flags))
      ++count;
  return count;
}
