#include "xpcontrols/XPThemeBinding.h"

TOpenThemeData OpenThemeDataProc = nullptr;
TCloseThemeData CloseThemeDataProc = nullptr;
TDrawThemeBackground DrawThemeBackgroundProc = nullptr;
TDrawThemeText DrawThemeTextProc = nullptr;

namespace {

HMODULE gThemeLibrary = nullptr;

template <class T>
void Resolve(T& slot, const char* name) {
  slot = BindEntry<T>(gThemeLibrary, name);
}

}  // namespace

void BindUxThemeDrawingFrom(const char* library) {
  if (gThemeLibrary)
    return;
  gThemeLibrary = LoadLibraryA(library);
  if (!gThemeLibrary)
    return;
  Resolve(OpenThemeDataProc, "OpenThemeData");
  Resolve(CloseThemeDataProc, "CloseThemeData");
  Resolve(DrawThemeBackgroundProc, "DrawThemeBackground");
  Resolve(DrawThemeTextProc, "DrawThemeText");
}

void BindUxThemeDrawing() { BindUxThemeDrawingFrom("uxtheme.dll"); }

void ReleaseUxThemeDrawing() {
  OpenThemeDataProc = nullptr;
  CloseThemeDataProc = nullptr;
  DrawThemeBackgroundProc = nullptr;
  DrawThemeTextProc = nullptr;
  if (gThemeLibrary)
    FreeLibrary(gThemeLibrary);
  gThemeLibrary = nullptr;
}

bool UxThemeDrawingLoaded() { return gThemeLibrary != nullptr; }
