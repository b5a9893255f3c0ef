#include "skin/KsWinBindings.h"

#include "classlib/UxTheme.h"

TSetLayeredWindowAttributes KsSetLayeredWindowAttributes = nullptr;
TUpdateLayeredWindow KsUpdateLayeredWindow = nullptr;
bool LayeredWindowsAvailable = false;

namespace {

HMODULE gThemeLibrary = nullptr;
TIsAppThemed gIsAppThemed = nullptr;
HMODULE gUserLibrary = nullptr;

}  // namespace

bool IsAppThemedSafe() {
  if (!gThemeLibrary || !gIsAppThemed)
    return false;
  return gIsAppThemed() != FALSE;
}

void InitializeKsWinBindings() {
  gThemeLibrary = LoadLibraryA("uxtheme.dll");
  gIsAppThemed = BindEntry<TIsAppThemed>(gThemeLibrary, "IsAppThemed");
  gUserLibrary = LoadLibraryA("user32.dll");
  KsSetLayeredWindowAttributes =
      BindEntry<TSetLayeredWindowAttributes>(gUserLibrary, "SetLayeredWindowAttributes");
  KsUpdateLayeredWindow = BindEntry<TUpdateLayeredWindow>(gUserLibrary, "UpdateLayeredWindow");
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
