// A recording stand-in for the visual-style library, injected into the native theme's
// binding. It opens the classes it is told to (others give 0), answers part sizes,
// regions and defined parts as configured, fails where told to, and records every call.
// Its DrawThemeBackground fills the rectangle through GDI (so the DC's clipping applies)
// with a colour coded from the part and state, PartColor. Its handles are counted: Live()
// is the number opened and not yet closed.
#pragma once

#include <map>
#include <set>
#include <string>
#include <vector>

#include "classlib/Geometry.h"
#include "skin/TeThemeXPImpl.h"

class TFakeThemeLibrary {
 public:
  struct TCall {
    std::string Entry;      // "Open", "Close", "Draw", "Text", "Size", "Region", "Defined"
    std::string ClassName;  // of the handle the call was given (or opened)
    int Part = 0;
    int State = 0;
    TRect Rect{0, 0, 0, 0};
    std::wstring Text;
    DWORD Flags = 0;
    HWND Window = nullptr;
  };

  // The colour DrawThemeBackground fills with: unique for parts below 64, states below 16.
  static COLORREF PartColor(int part, int state) {
    return RGB(part * 4 & 0xFF, state * 16 & 0xFF, 0x80);
  }

  // What the library answers.
  std::set<std::string> Classes{"Window", "Button",   "Menu", "ExplorerBar", "Progress", "ScrollBar",
                                "TrackBar", "Tab",    "Edit", "ComboBox",    "Toolbar",  "ReBar"};
  std::map<std::string, std::set<int>> MissingParts;  // class -> parts the style lacks
  std::map<std::pair<std::string, int>, SIZE> PartSizes;  // (class, part) -> true size
  bool Themed = true;
  bool DrawFails = false;    // DrawThemeBackground answers E_FAIL (and draws nothing)
  bool RegionFails = false;  // GetThemeBackgroundRegion answers E_FAIL, out-value garbage
  bool BindPartDefined = true;  // IsThemePartDefined is an entry of the library

  std::vector<TCall> Calls;
  int Opened = 0;
  int Closed = 0;
  int BadCloses = 0;  // closes of handles that were not open
  int Live() const { return Opened - Closed; }

  TFakeThemeLibrary() { Current() = this; }
  ~TFakeThemeLibrary() {
    if (Current() == this)
      Current() = nullptr;
  }
  TFakeThemeLibrary(const TFakeThemeLibrary&) = delete;
  TFakeThemeLibrary& operator=(const TFakeThemeLibrary&) = delete;

  // The entry points, all bound unless configured otherwise.
  TThemeLibrary Entries() const {
    TThemeLibrary library;
    library.Module = GetModuleHandleA(nullptr);
    library.OpenThemeData = &Open;
    library.CloseThemeData = &Close;
    library.DrawThemeBackground = &Draw;
    library.DrawThemeText = &Text;
    library.GetThemePartSize = &Size;
    library.GetThemeBackgroundRegion = &Region;
    library.IsAppThemed = &IsThemed;
    library.IsThemePartDefined = BindPartDefined ? &Defined : nullptr;
    return library;
  }

  // The calls of one entry, in order.
  std::vector<TCall> CallsOf(const std::string& entry) const {
    std::vector<TCall> found;
    for (const TCall& call : Calls)
      if (call.Entry == entry)
        found.push_back(call);
    return found;
  }
  std::vector<TCall> Draws() const { return CallsOf("Draw"); }
  void ClearCalls() { Calls.clear(); }

 private:
  static TFakeThemeLibrary*& Current() {
    static TFakeThemeLibrary* current = nullptr;
    return current;
  }
  static TFakeThemeLibrary& Self() { return *Current(); }

  std::string ClassOf(HTHEME handle) const {
    auto found = FOpen.find(handle);
    return found == FOpen.end() ? "?" : found->second;
  }
  void Record(TCall call) { Calls.push_back(std::move(call)); }

  static std::string Narrow(LPCWSTR text) {
    std::string narrow;
    for (; text && *text; ++text)
      narrow += char(*text);
    return narrow;
  }

  static HTHEME WINAPI Open(HWND window, LPCWSTR classList) {
    TFakeThemeLibrary& self = Self();
    const std::string name = Narrow(classList);
    self.Record({"Open", name, 0, 0, {0, 0, 0, 0}, L"", 0, window});
    if (!self.Classes.count(name))
      return nullptr;
    HTHEME handle = reinterpret_cast<HTHEME>(uintptr_t(0x7000 + 16 * ++self.FNext));
    self.FOpen[handle] = name;
    ++self.Opened;
    return handle;
  }

  static HRESULT WINAPI Close(HTHEME handle) {
    TFakeThemeLibrary& self = Self();
    self.Record({"Close", self.ClassOf(handle)});
    if (!self.FOpen.erase(handle)) {
      ++self.BadCloses;
      return E_HANDLE;
    }
    ++self.Closed;
    return S_OK;
  }

  static HRESULT WINAPI Draw(HTHEME handle, HDC dc, int part, int state, const RECT* rect,
                             const RECT* clip) {
    TFakeThemeLibrary& self = Self();
    self.Record({"Draw", self.ClassOf(handle), part, state, *rect});
    if (self.DrawFails || self.Missing(handle, part))
      return self.DrawFails ? E_FAIL : S_OK;
    HBRUSH brush = CreateSolidBrush(PartColor(part, state));
    FillRect(dc, rect, brush);
    DeleteObject(brush);
    return S_OK;
  }

  static HRESULT WINAPI Text(HTHEME handle, HDC dc, int part, int state, LPCWSTR text, int count,
                             DWORD flags, DWORD flags2, const RECT* rect) {
    TFakeThemeLibrary& self = Self();
    self.Record({"Text", self.ClassOf(handle), part, state, *rect,
                 std::wstring(text, count < 0 ? wcslen(text) : size_t(count)), flags});
    return S_OK;
  }

  static HRESULT WINAPI Size(HTHEME handle, HDC dc, int part, int state, RECT* rect,
                             THEMESIZE size, SIZE* result) {
    TFakeThemeLibrary& self = Self();
    self.Record({"Size", self.ClassOf(handle), part, state, {0, 0, 0, 0}, L"", DWORD(size)});
    auto found = self.PartSizes.find({self.ClassOf(handle), part});
    if (found == self.PartSizes.end()) {
      *result = SIZE{-77, -77};  // undefined on failure
      return E_FAIL;
    }
    *result = found->second;
    return S_OK;
  }

  static HRESULT WINAPI Region(HTHEME handle, HDC dc, int part, int state, const RECT* rect,
                               HRGN* region) {
    TFakeThemeLibrary& self = Self();
    self.Record({"Region", self.ClassOf(handle), part, state, *rect});
    if (self.RegionFails) {
      *region = reinterpret_cast<HRGN>(uintptr_t(0xBAD0));  // undefined on failure
      return E_FAIL;
    }
    *region = CreateRectRgn(rect->left, rect->top, rect->right / 2, rect->bottom / 2);
    return S_OK;
  }

  static BOOL WINAPI IsThemed() { return Self().Themed; }

  static BOOL WINAPI Defined(HTHEME handle, int part, int state) {
    TFakeThemeLibrary& self = Self();
    self.Record({"Defined", self.ClassOf(handle), part, state});
    return !self.Missing(handle, part);
  }

  bool Missing(HTHEME handle, int part) const {
    auto found = MissingParts.find(ClassOf(handle));
    return found != MissingParts.end() && found->second.count(part);
  }

  std::map<HTHEME, std::string> FOpen;
  int FNext = 0;
};

// Binds `fake` in place of the system's library for its lifetime; the system's binding
// (and an empty handle cache) comes back afterwards.
class TFakeThemeScope {
 public:
  explicit TFakeThemeScope(TFakeThemeLibrary& fake) {
    const TThemeLibrary entries = fake.Entries();
    InjectThemeLibrary(&entries);
    FreeThemeLibrary();
    LoadThemeLibrary();
  }
  ~TFakeThemeScope() {
    FreeThemeLibrary();
    InjectThemeLibrary(nullptr);
    LoadThemeLibrary();
  }
  TFakeThemeScope(const TFakeThemeScope&) = delete;
  TFakeThemeScope& operator=(const TFakeThemeScope&) = delete;
};
