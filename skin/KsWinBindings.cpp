#include "skin/KsWinBindings.h"

TSetLayeredWindowAttributes KsSetLayeredWindowAttributes = nullptr;
TUpdateLayeredWindow KsUpdateLayeredWindow = nullptr;
bool LayeredWindowsAvailable = false;

namespace {

using TIsAppThemed = BOOL(WINAPI*)();

HMODULE gThemeLibrary = nullptr;
TIsAppThemed gIsAppThemed = nullptr;
HMODULE gUserLibrary = nullptr;

template <class F>
F Entry(HMODULE module, const char* name) {
  if (!module)
    return nullptr;
  return reinterpret_cast<F>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}

}  // namespace

bool IsAppThemedSafe() {
  if (!gThemeLibrary || !gIsAppThemed)
    return false;
  return gIsAppThemed() != FALSE;
}

void InitializeKsWinBindings() {
  gThemeLibrary = LoadLibraryA("uxtheme.dll");
  gIsAppThemed = Entry<TIsAppThemed>(gThemeLibrary, "IsAppThemed");
  gUserLibrary = LoadLibraryA("user32.dll");
  KsSetLayeredWindowAttributes =
      Entry<TSetLayeredWindowAttributes>(gUserLibrary, "SetLayeredWindowAttributes");
  KsUpdateLayeredWindow = Entry<TUpdateLayeredWindow>(gUserLibrary, "UpdateLayeredWindow");
  LayeredWindowsAvailable = KsSetLayeredWindowAttributes != nullptr;
}

void FinalizeKsWinBindings() {
  gIsAppThemed = nullptr;
  KsSetLayeredWindowAttributes = nullptr;
  KsUpdateLayeredWindow = nullptr;
  LayeredWindowsAvailable = false;
  if (gThemeLibrary)
    FreeLibrary(gThemeLibrary);
  gThemeLibrary = nullptr;
  if (gUserLibrary)
    FreeLibrary(gUserLibrary);
  gUserLibrary = nullptr;
}
