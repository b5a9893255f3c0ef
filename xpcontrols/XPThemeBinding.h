// The run-time binding of four visual-style drawing functions of "uxtheme.dll", for
// controls that draw with visual styles. A missing library or entry leaves its
// pointer null; callers test the pointers before calling through them.
#pragma once

#include "classlib/Win.h"

using THemeHandle = HANDLE;
using TOpenThemeData = THemeHandle(WINAPI*)(HWND wnd, LPCWSTR classList);
using TCloseThemeData = HRESULT(WINAPI*)(THemeHandle theme);
using TDrawThemeBackground = HRESULT(WINAPI*)(THemeHandle theme, HDC dc, int partId, int stateId,
                                              const RECT* rect, const RECT* clipRect);
using TDrawThemeText = HRESULT(WINAPI*)(THemeHandle theme, HDC dc, int partId, int stateId,
                                        LPCWSTR text, int charCount, DWORD textFlags,
                                        DWORD textFlags2, const RECT* rect);

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
