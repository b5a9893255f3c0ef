// Hidden utility windows whose window procedure is a method of an object (the hook
// list, the tray icon, the theme tracker, timers). The window is a hidden top-level
// window of the class "TPUtilWindow"; its procedure is an object instance, so the
// method receives every message as a TMessage and unhandled ones must be passed to
// DefWindowProcA by the method itself.
#pragma once

#include "classlib/WndProcThunk.h"
#include "classlib/Win.h"

// Creates the window; raises EOutOfResources when Windows refuses it.
HWND AllocateHWnd(TWndMethod method);

// Destroys a window made by AllocateHWnd and frees its procedure instance; null is ignored.
void DeallocateHWnd(HWND wnd);

// Registers a window class of the class library's module with `proc` unless it is
// registered already; raises EOutOfResources when Windows refuses it.
void RegisterLibraryWindowClass(const char* name, WNDPROC proc);

// The module whose window classes the class library registers (the module this code
// is linked into: the plug-in DLL, or a test executable).
HINSTANCE ClassLibInstance();
