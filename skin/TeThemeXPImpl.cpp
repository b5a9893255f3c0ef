#include "skin/TeThemeXPImpl.h"

#include <map>
#include <memory>

#include "classlib/Messages.h"
#include "classlib/UtilWindow.h"

namespace {

TThemeLibrary gLibrary;
// The library was loaded here and must be freed (an injected one never is).
bool gOwnsModule = false;
std::unique_ptr<TThemeLibrary> gInjected;

// Class name -> the handle OpenThemeData gave for it (0 for a failed open).
std::map<std::string, HTHEME>& Cache() {
  static std::map<std::string, HTHEME> cache;
  return cache;
}

std::unique_ptr<TThemeTracker> gTracker;

std::wstring Widened(const std::string& text) {
  std::wstring wide(text.size(), L'\0');
  int length = MultiByteToWideChar(CP_ACP, 0, text.data(), int(text.size()), wide.data(),
                                   int(wide.size()));
  wide.resize(length > 0 ? size_t(length) : 0);
  return wide;
}

bool CacheHolds(HTHEME handle) {
  for (const auto& [name, cached] : Cache())
    if (cached == handle)
      return true;
  return false;
}

}  // namespace

const TThemeLibrary& ThemeLibrary() { return gLibrary; }

void LoadThemeLibrary() {
  if (gLibrary.Module)
    return;
  if (gInjected) {
    gLibrary = *gInjected;
    gOwnsModule = false;
    return;
  }
  HMODULE module = LoadLibraryA("uxtheme.dll");
  if (!module)
    return;
  gOwnsModule = true;
  gLibrary.Module = module;
  gLibrary.OpenThemeData = BindEntry<TOpenThemeData>(module, "OpenThemeData");
  gLibrary.CloseThemeData = BindEntry<TCloseThemeData>(module, "CloseThemeData");
  gLibrary.DrawThemeBackground = BindEntry<TDrawThemeBackground>(module, "DrawThemeBackground");
  gLibrary.DrawThemeText = BindEntry<TDrawThemeText>(module, "DrawThemeText");
  gLibrary.GetThemePartSize = BindEntry<TGetThemePartSize>(module, "GetThemePartSize");
  gLibrary.GetThemeBackgroundRegion =
      BindEntry<TGetThemeBackgroundRegion>(module, "GetThemeBackgroundRegion");
  gLibrary.IsAppThemed = BindEntry<TIsAppThemed>(module, "IsAppThemed");
  gLibrary.IsThemePartDefined = BindEntry<TIsThemePartDefined>(module, "IsThemePartDefined");
}

void FreeThemeLibrary() {
  // The cached handles belong to this library: close them while it is still bound.
  CloseAllThemeHandles();
  if (gOwnsModule && gLibrary.Module)
    FreeLibrary(gLibrary.Module);
  gOwnsModule = false;
  gLibrary = TThemeLibrary{};
}

void InjectThemeLibrary(const TThemeLibrary* library) {
  gInjected = library ? std::make_unique<TThemeLibrary>(*library) : nullptr;
}

bool IsThemingAvailable() {
  return gLibrary.Module && gLibrary.IsAppThemed && gLibrary.IsAppThemed() != FALSE;
}

HTHEME GetThemeHandle(HWND window, const std::string& className) {
  if (!gLibrary.OpenThemeData)
    return nullptr;
  if (window)
    return gLibrary.OpenThemeData(window, Widened(className).c_str());
  auto& cache = Cache();
  if (auto found = cache.find(className); found != cache.end())
    return found->second;
  HTHEME handle = gLibrary.OpenThemeData(nullptr, Widened(className).c_str());
  cache.emplace(className, handle);
  return handle;
}

HRESULT ReleaseThemeHandle(HTHEME handle) {
  if (!handle || !gLibrary.CloseThemeData || CacheHolds(handle))
    return 0;
  return gLibrary.CloseThemeData(handle);
}

void CloseAllThemeHandles() {
  auto& cache = Cache();
  if (gLibrary.CloseThemeData)
    for (const auto& [name, handle] : cache)
      if (handle)
        gLibrary.CloseThemeData(handle);
  cache.clear();
}

int CachedThemeHandleCount() { return int(Cache().size()); }

// ---- TThemeTracker ------------------------------------------------------------------------

TThemeTracker::TThemeTracker() {
  FHandle = AllocateHWnd(TWndMethod::Bind<&TThemeTracker::WndProc>(this));
}

TThemeTracker::~TThemeTracker() { DeallocateHWnd(FHandle); }

void TThemeTracker::WndProc(TMessage& message) {
  if (message.Msg == WM_THEMECHANGED)
    CloseAllThemeHandles();
  message.Result = DefWindowProcA(FHandle, message.Msg, message.WParam, message.LParam);
}

TThemeTracker* ThemeTracker() { return gTracker.get(); }

void InitializeTeThemeXPImpl() {
  Cache().clear();
  gTracker = std::make_unique<TThemeTracker>();
}

void FinalizeTeThemeXPImpl() {
  gTracker.reset();
  CloseAllThemeHandles();
}
