// The run-time binding of four visual-style drawing functions of "uxtheme.dll", for
// controls that draw with visual styles. A missing library or entry leaves its
// pointer null; callers test the pointers before calling through them.
#pragma once

#include "classlib/UxTheme.h"

extern TOpenThemeData OpenThemeDataProc;
extern TCloseThemeData CloseThemeDataProc;
extern TDrawThemeBackground DrawThemeBackgroundProc;
extern TDrawThemeText DrawThemeTextProc;

// Loads "uxtheme.dll" and resolves the four entries; the release clears them and frees
// the library. Binding again while bound does nothing.
void BindUxThemeDrawing();
void ReleaseUxThemeDrawing();
// The binding from another library name (a missing library leaves every pointer null).
void BindUxThemeDrawingFrom(const char* library);
// True while the library is loaded.
bool UxThemeDrawingLoaded();
