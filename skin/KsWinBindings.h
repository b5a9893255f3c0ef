// Run-time bindings of system functions the skin library may use: the application-
// themed test of "uxtheme.dll" and the layered-window functions of "user32.dll", which
// are only looked up (skinned forms compose translucency in software). Missing
// libraries or entries leave their pointers empty.
#pragma once

#include "classlib/Win.h"

using TSetLayeredWindowAttributes = BOOL(WINAPI*)(HWND, COLORREF, BYTE, DWORD);
using TUpdateLayeredWindow = BOOL(WINAPI*)(HWND, HDC, POINT*, SIZE*, HDC, POINT*, COLORREF,
                                           BLENDFUNCTION*, DWORD);

// The looked-up layered-window entries (null when missing or before start-up).
extern TSetLayeredWindowAttributes KsSetLayeredWindowAttributes;
extern TUpdateLayeredWindow KsUpdateLayeredWindow;
// True when "SetLayeredWindowAttributes" was found.
extern bool LayeredWindowsAvailable;

// False when "uxtheme.dll" or its "IsAppThemed" is missing, else whether the
// application is themed.
bool IsAppThemedSafe();

// Start-up loads "uxtheme.dll" and "user32.dll" and looks the entries up; shut-down
// frees both libraries and clears the pointers.
void InitializeKsWinBindings();
void FinalizeKsWinBindings();
