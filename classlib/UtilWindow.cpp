#include "classlib/UtilWindow.h"

#include "classlib/Exceptions.h"
#include "classlib/HandleCounter.h"

namespace {
constexpr char kUtilWindowClass[] = "TPUtilWindow";

}  // namespace

void RegisterLibraryWindowClass(const char* name, WNDPROC proc) {
  WNDCLASSA existing{};
  if (GetClassInfoA(ClassLibInstance(), name, &existing))
    return;
  WNDCLASSA cls{};
  cls.lpfnWndProc = proc;
  cls.hInstance = ClassLibInstance();
  cls.lpszClassName = name;
  if (!RegisterClassA(&cls))
    throw EOutOfResources(Format("Cannot register the window class %s (error %lu)", name, GetLastError()));
}

HINSTANCE ClassLibInstance() {
  static HINSTANCE instance = [] {
    HMODULE module = nullptr;
    GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS |
                           GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                       reinterpret_cast<LPCSTR>(&ClassLibInstance), &module);
    return static_cast<HINSTANCE>(module);
  }();
  return instance;
}

HWND AllocateHWnd(TWndMethod method) {
  RegisterLibraryWindowClass(kUtilWindowClass, DefWindowProcA);
  HWND wnd = CreateWindowExA(WS_EX_TOOLWINDOW, kUtilWindowClass, "", WS_POPUP, 0, 0, 0, 0,
                             nullptr, nullptr, ClassLibInstance(), nullptr);
  if (!wnd)
    throw EOutOfResources(Format("Cannot create a utility window (error %lu)", GetLastError()));
  HandleCreated(THandleKind::Window, wnd);
  if (method.Assigned()) {
    WNDPROC instance = nullptr;
    try {
      instance = MakeObjectInstance(method);
    } catch (...) {
      HandleDestroyed(THandleKind::Window, wnd);
      DestroyWindow(wnd);
      throw;
    }
    SetWindowLongPtrA(wnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(instance));
  }
  return wnd;
}

void DeallocateHWnd(HWND wnd) {
  if (!wnd)
    return;
  auto instance = reinterpret_cast<WNDPROC>(GetWindowLongPtrA(wnd, GWLP_WNDPROC));
  HandleDestroyed(THandleKind::Window, wnd);
  DestroyWindow(wnd);
  if (ObjectInstanceMethod(instance).Assigned())
    FreeObjectInstance(instance);
}
