// The native theme's layer over the visual-style library: the run-time binding of
// "uxtheme.dll" (which may be absent), a process-wide cache of the visual-style handles
// opened per class name, and TThemeTracker, a hidden window that closes every cached
// handle when the system's visual style changes so that the next drawing opens them
// again under the new style.
//
// The binding can be replaced (InjectThemeLibrary), so that the theme can be run
// against a recording stand-in as well as against the system's library.
//
// Two faults of the plain reading are mended here. Shut-down closes the cached handles
// while the library is still bound (freeing it first would leave them open, or call
// into an unloaded library). Besides the seven entry points the theme calls, the binding
// looks up "IsThemePartDefined": a style may open a class yet lack some of its parts, and
// the theme's menu parts need to know that to fall back to their own drawing.
#pragma once

#include <string>

#include "classlib/Object.h"
#include "classlib/UxTheme.h"

// The bound library: its module and one pointer per entry point, null when missing.
struct TThemeLibrary {
  HMODULE Module = nullptr;
  TOpenThemeData OpenThemeData = nullptr;
  TCloseThemeData CloseThemeData = nullptr;
  TDrawThemeBackground DrawThemeBackground = nullptr;
  TDrawThemeText DrawThemeText = nullptr;
  TGetThemePartSize GetThemePartSize = nullptr;
  TGetThemeBackgroundRegion GetThemeBackgroundRegion = nullptr;
  TIsAppThemed IsAppThemed = nullptr;
  TIsThemePartDefined IsThemePartDefined = nullptr;
};

// The current binding (all null before LoadThemeLibrary and after FreeThemeLibrary).
const TThemeLibrary& ThemeLibrary();

// Loads "uxtheme.dll" and looks every entry point up by name (or takes the injected
// binding); does nothing while a binding is loaded.
void LoadThemeLibrary();
// Closes every cached handle, frees the library and clears the binding.
void FreeThemeLibrary();
// Replaces what LoadThemeLibrary binds by `library` (copied; its Module only marks it
// loaded and is never freed); null gives the system's library back. Takes effect at the
// next LoadThemeLibrary.
void InjectThemeLibrary(const TThemeLibrary* library);

// True when the library is loaded and answers that the application is themed.
bool IsThemingAvailable();

// With `window` null: the cached handle of `className`, opened with OpenThemeData and
// cached (0 included) on first use. With a window: a handle opened for that window,
// never cached. 0 when the library lacks OpenThemeData.
HTHEME GetThemeHandle(HWND window, const std::string& className);
// Closes `handle` unless the cache holds it (cached handles stay open); answers
// CloseThemeData's result, or 0 when nothing was closed.
HRESULT ReleaseThemeHandle(HTHEME handle);
// Closes every cached handle (when CloseThemeData is bound) and empties the cache.
void CloseAllThemeHandles();
// The number of class names cached (a failed open counts too).
int CachedThemeHandleCount();

// The hidden window that hears of visual-style changes: on WM_THEMECHANGED it closes
// every cached handle; every message then goes to DefWindowProc.
class TThemeTracker : public TObject {
  KIVO_CLASS(TThemeTracker, TObject)

 public:
  TThemeTracker();
  ~TThemeTracker() override;
  TThemeTracker(const TThemeTracker&) = delete;
  TThemeTracker& operator=(const TThemeTracker&) = delete;
  HWND GetHandle() const { return FHandle; }

 private:
  void WndProc(TMessage& message);
  HWND FHandle = nullptr;
};

// The process's tracker, from start-up to shut-down (null outside).
TThemeTracker* ThemeTracker();

// Start-up makes the handle cache and the tracker; shut-down frees the tracker, closes
// every cached handle and frees the cache.
void InitializeTeThemeXPImpl();
void FinalizeTeThemeXPImpl();
