// TScreen and the monitors.
#include <algorithm>

#include "classlib/Exceptions.h"
#include "classlib/Forms.h"
#include "classlib/HandleCounter.h"

namespace {

BOOL CALLBACK CollectMonitor(HMONITOR monitor, HDC, LPRECT, LPARAM data) {
  reinterpret_cast<std::vector<HMONITOR>*>(data)->push_back(monitor);
  return TRUE;
}

TMonitorProvider gSystemProvider;
TMonitorProvider* gProvider = &gSystemProvider;

struct TStandardCursor {
  TCursor Id;
  LPCSTR Resource;
};

// The system cursor behind each standard id (the drag and split ids have no system
// cursor of their own and use the nearest one).
const TStandardCursor kStandardCursors[] = {
    {crArrow, IDC_ARROW},       {crCross, IDC_CROSS},         {crIBeam, IDC_IBEAM},
    {crSizeNESW, IDC_SIZENESW}, {crSizeNS, IDC_SIZENS},       {crSizeNWSE, IDC_SIZENWSE},
    {crSizeWE, IDC_SIZEWE},     {crUpArrow, IDC_UPARROW},     {crHourGlass, IDC_WAIT},
    {crDrag, IDC_ARROW},        {crNoDrop, IDC_NO},           {crHSplit, IDC_SIZEWE},
    {crVSplit, IDC_SIZENS},     {crMultiDrag, IDC_ARROW},     {crSQLWait, IDC_WAIT},
    {crNo, IDC_NO},             {crAppStart, IDC_APPSTARTING}, {crHelp, IDC_HELP},
    {crHandPoint, IDC_HAND},    {crSizeAll, IDC_SIZEALL},
};

HCURSOR StandardCursor(TCursor id) {
  for (const TStandardCursor& c : kStandardCursors)
    if (c.Id == id)
      return LoadCursorA(nullptr, c.Resource);
  return nullptr;
}

}  // namespace

std::vector<HMONITOR> TMonitorProvider::Enumerate() {
  std::vector<HMONITOR> monitors;
  EnumDisplayMonitors(nullptr, nullptr, CollectMonitor, reinterpret_cast<LPARAM>(&monitors));
  return monitors;
}

HMONITOR TMonitorProvider::FromWindow(HWND wnd, DWORD flags) { return ::MonitorFromWindow(wnd, flags); }

HMONITOR TMonitorProvider::FromPoint(const POINT& point, DWORD flags) {
  return ::MonitorFromPoint(point, flags);
}

bool TMonitorProvider::GetInfo(HMONITOR monitor, MONITORINFO& info) {
  info.cbSize = sizeof info;
  return GetMonitorInfoA(monitor, &info) != FALSE;
}

TMonitorProvider* SetMonitorProvider(TMonitorProvider* provider) {
  TMonitorProvider* previous = gProvider;
  gProvider = provider ? provider : &gSystemProvider;
  return previous;
}

TMonitorProvider& MonitorProvider() { return *gProvider; }

// ---- TMonitor -----------------------------------------------------------------------------

TRect TMonitor::GetBoundsRect() const {
  MONITORINFO info{};
  MonitorProvider().GetInfo(FHandle, info);
  return info.rcMonitor;
}

TRect TMonitor::GetWorkareaRect() const {
  MONITORINFO info{};
  MonitorProvider().GetInfo(FHandle, info);
  return info.rcWork;
}

bool TMonitor::GetPrimary() const {
  MONITORINFO info{};
  MonitorProvider().GetInfo(FHandle, info);
  return (info.dwFlags & MONITORINFOF_PRIMARY) != 0;
}

// ---- TScreen ------------------------------------------------------------------------------

TScreen::TScreen(TComponent* AOwner)
    : TComponent(AOwner), FDefaultCursor(LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW))) {}

TScreen::~TScreen() {
  for (auto& [id, cursor] : FCursors) {
    HandleDestroyed(THandleKind::Cursor, cursor);
    DestroyCursor(cursor);
  }
}

TRect TScreen::GetWorkAreaRect() const {
  RECT r{};
  SystemParametersInfoA(SPI_GETWORKAREA, 0, &r, 0);
  return r;
}

TRect TScreen::GetDesktopRect() const {
  return Bounds(GetSystemMetrics(SM_XVIRTUALSCREEN), GetSystemMetrics(SM_YVIRTUALSCREEN),
                GetSystemMetrics(SM_CXVIRTUALSCREEN), GetSystemMetrics(SM_CYVIRTUALSCREEN));
}

void TScreen::RefreshMonitors() {
  const std::vector<HMONITOR> handles = MonitorProvider().Enumerate();
  std::vector<std::unique_ptr<TMonitor>> monitors;
  for (size_t i = 0; i < handles.size(); ++i) {
    // Keep the objects callers may hold when their monitor is still there.
    auto it = std::find_if(FMonitors.begin(), FMonitors.end(),
                           [&](const auto& m) { return m && m->GetHandle() == handles[i]; });
    if (it != FMonitors.end() && (*it)->GetMonitorNum() == int(i))
      monitors.push_back(std::move(*it));
    else
      monitors.push_back(std::make_unique<TMonitor>(handles[i], int(i)));
  }
  FMonitors = std::move(monitors);
}

int TScreen::GetMonitorCount() {
  RefreshMonitors();
  return int(FMonitors.size());
}

TMonitor* TScreen::GetMonitor(int index) {
  RefreshMonitors();
  if (index < 0 || index >= int(FMonitors.size()))
    ListIndexError(index);
  return FMonitors[size_t(index)].get();
}

TMonitor* TScreen::FindMonitor(HMONITOR handle) {
  if (!handle)
    return nullptr;
  RefreshMonitors();
  for (auto& m : FMonitors)
    if (m->GetHandle() == handle)
      return m.get();
  return nullptr;
}

TMonitor* TScreen::MonitorFromWindow(HWND wnd, TMonitorDefaultTo fallback) {
  const DWORD flags = fallback == mdNull ? MONITOR_DEFAULTTONULL
                      : fallback == mdPrimary ? MONITOR_DEFAULTTOPRIMARY
                                              : MONITOR_DEFAULTTONEAREST;
  return FindMonitor(MonitorProvider().FromWindow(wnd, flags));
}

TMonitor* TScreen::MonitorFromPoint(const TPoint& point, TMonitorDefaultTo fallback) {
  const DWORD flags = fallback == mdNull ? MONITOR_DEFAULTTONULL
                      : fallback == mdPrimary ? MONITOR_DEFAULTTOPRIMARY
                                              : MONITOR_DEFAULTTONEAREST;
  return FindMonitor(MonitorProvider().FromPoint(point, flags));
}

void TScreen::AddForm(TCustomForm* form) { FForms.push_back(form); }

void TScreen::RemoveForm(TCustomForm* form) {
  std::erase(FForms, form);
  std::erase(FSaveFocusedList, form);
  if (FActiveCustomForm == form)
    FActiveCustomForm = nullptr;
  if (FFocusedForm == form)
    FFocusedForm = nullptr;
  if (FActiveControl && GetParentForm(FActiveControl) == form)
    FActiveControl = nullptr;
}

int TScreen::GetFormCount() const {
  return int(std::count_if(FForms.begin(), FForms.end(), [](TCustomForm* f) { return f->Is<TForm>(); }));
}

TForm* TScreen::GetForms(int index) const {
  int seen = 0;
  for (TCustomForm* f : FForms)
    if (f->Is<TForm>() && seen++ == index)
      return static_cast<TForm*>(f);
  ListIndexError(index);
}

TCustomForm* TScreen::GetCustomForms(int index) const {
  if (index < 0 || index >= int(FForms.size()))
    ListIndexError(index);
  return FForms[size_t(index)];
}

TForm* TScreen::GetActiveForm() const { return ObjectAs<TForm>(FActiveCustomForm); }

HCURSOR TScreen::GetCursors(TCursor index) const {
  if (index == crDefault)
    return FDefaultCursor;
  if (index == crNone)
    return nullptr;
  if (auto it = FCursors.find(index); it != FCursors.end())
    return it->second;
  if (HCURSOR standard = StandardCursor(index))
    return standard;
  return FDefaultCursor;
}

void TScreen::SetCursors(TCursor index, HCURSOR handle) {
  if (index == crDefault) {
    FDefaultCursor = handle ? handle : LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
    return;
  }
  if (auto it = FCursors.find(index); it != FCursors.end()) {
    if (it->second == handle)
      return;
    HandleDestroyed(THandleKind::Cursor, it->second);
    DestroyCursor(it->second);
    FCursors.erase(it);
  }
  if (!handle)
    return;
  // The table owns what it is given, and counts it as the library's own.
  HandleCreated(THandleKind::Cursor, handle);
  FCursors[index] = handle;
}

void TScreen::SetCursor(TCursor value) {
  if (value == FCursor)
    return;
  FCursor = value;
  if (value == crDefault) {
    // Let the window under the cursor choose its cursor again.
    POINT p{};
    GetCursorPos(&p);
    HWND wnd = WindowFromPoint(p);
    if (wnd && GetWindowThreadProcessId(wnd, nullptr) == GetCurrentThreadId()) {
      const LRESULT hit = SendMessageA(wnd, WM_NCHITTEST, 0, MAKELPARAM(WORD(short(p.x)), WORD(short(p.y))));
      SendMessageA(wnd, WM_SETCURSOR, reinterpret_cast<WPARAM>(wnd), MAKELPARAM(WORD(hit), WM_MOUSEMOVE));
      return;
    }
  }
  ::SetCursor(GetCursors(value));
}
