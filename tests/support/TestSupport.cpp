#include "tests/support/TestSupport.h"

#include <algorithm>
#include <cassert>
#include <cstring>
#include <fstream>
#include <sstream>

#include "classlib/Boundary.h"
#include "classlib/FileUtils.h"
#include "classlib/Forms.h"
#include "classlib/StdCtrls.h"

void TNotifyCounter::Notify(TObject*) {
  ++Count;
  if (Raise)
    throw Exception("handler failed");
}

bool PumpUntil(const std::function<bool()>& done, unsigned timeoutMs) {
  const DWORD start = GetTickCount();
  while (!done()) {
    if (GetTickCount() - start >= timeoutMs)
      return done();
    MSG msg;
    if (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&msg);
      DispatchMessageA(&msg);
    } else {
      MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    }
  }
  return true;
}

void PumpPending() {
  MSG msg;
  while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
}

bool SettlePointerAt(int x, int y, unsigned timeoutMs) {
  auto there = [x, y] {
    POINT p{};
    return GetCursorPos(&p) && p.x == x && p.y == y;
  };
  const DWORD start = GetTickCount();
  while (GetTickCount() - start < timeoutMs) {
    SetCursorPos(x, y);
    if (PumpUntil(there, 1000)) {
      PumpUntil([] { return false; }, 30);  // a late report of the old position shows here
      if (there())
        return true;
    }
  }
  return false;
}

namespace {

// Deletes a folder's contents and the folder, by absolute names only. (The shell's
// delete operation was used before: under Wine it resolved some names against the
// current folder and emptied that instead, the build's bin folder under ctest.)
void DeleteTree(const std::string& folder) {
  WIN32_FIND_DATAA found;
  HANDLE search = FindFirstFileA((folder + "\\*").c_str(), &found);
  if (search != INVALID_HANDLE_VALUE) {
    do {
      const std::string name = found.cFileName;
      if (name == "." || name == ".." || name.empty())
        continue;
      const std::string path = folder + "\\" + name;
      if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
        DeleteTree(path);
      } else {
        SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
        DeleteFileA(path.c_str());
      }
    } while (FindNextFileA(search, &found));
    FindClose(search);
  }
  RemoveDirectoryA(folder.c_str());
}

}  // namespace

std::string FileBytes(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  if (!file)
    return "<missing>";
  std::ostringstream text;
  text << file.rdbuf();
  return text.str();
}

std::string EmptiedTempFolder(const std::string& name) {
  char temp[MAX_PATH];
  GetTempPathA(MAX_PATH, temp);
  const std::string path = IncludeTrailingPathDelimiter(temp) + name;
  assert(!name.empty() && path.size() > name.size() && "a named folder under the temp folder");
  DeleteTree(path);
  if (DirectoryExists(path)) {
    // A run that ended early may have left something immutable behind.
    RunChattr("-R -i", path);
    DeleteTree(path);
  }
  ForceDirectories(path);
  return path + "\\";
}

namespace {
TMessageFormRecorder* gMessageFormRecorder = nullptr;
}  // namespace

TMessageFormRecorder::TMessageFormRecorder(std::string caption) : FCaption(std::move(caption)) {
  assert(!gMessageFormRecorder && "one recorder at a time");
  gMessageFormRecorder = this;
  FTimer = SetTimer(nullptr, 0, 20, &TMessageFormRecorder::TimerProc);
}

TMessageFormRecorder::~TMessageFormRecorder() {
  KillTimer(nullptr, FTimer);
  gMessageFormRecorder = nullptr;
}

void CALLBACK TMessageFormRecorder::TimerProc(HWND, UINT, UINT_PTR, DWORD) {
  GuardBoundary("TMessageFormRecorder", [] {
    TMessageFormRecorder* self = gMessageFormRecorder;
    if (!self || !Screen)
      return;
    for (int i = 0; i < Screen->GetCustomFormCount(); ++i) {
      TCustomForm* form = Screen->GetCustomForms(i);
      if (!form || !form->GetShowing() || !form->HandleAllocated() || form->GetCaption() != self->FCaption)
        continue;
      const HWND wnd = form->GetHandle();
      if (std::find(self->FAnswered.begin(), self->FAnswered.end(), wnd) != self->FAnswered.end())
        continue;
      auto* button = ObjectAs<TButton>(form->FindComponent("OK"));
      auto* label = ObjectAs<TLabel>(form->FindComponent("Message"));
      if (!button || !label)
        continue;
      self->FAnswered.push_back(wnd);
      std::string text = label->GetCaption();
      for (size_t at = 0; (at = text.find("&&", at)) != std::string::npos; ++at)
        text.erase(at, 1);
      self->Texts.push_back(text);
      PostMessageA(button->GetHandle(), BM_CLICK, 0, 0);
    }
  });
}

namespace {

// The Linux name of a Windows path under Wine; empty elsewhere.
std::string UnixName(const std::string& path) {
  using TGetUnixName = char*(CDECL*)(const wchar_t*);
  auto getUnixName = reinterpret_cast<TGetUnixName>(reinterpret_cast<void*>(
      GetProcAddress(GetModuleHandleA("kernel32.dll"), "wine_get_unix_file_name")));
  if (!getUnixName)
    return {};
  std::wstring wide(path.size() + 1, L'\0');
  wide.resize(static_cast<size_t>(
      MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, wide.data(), static_cast<int>(wide.size()))));
  char* name = getUnixName(wide.c_str());
  if (!name)
    return {};
  std::string result = name;
  HeapFree(GetProcessHeap(), 0, name);
  return result;
}

}  // namespace

bool RunUnixProgram(const std::string& name, const std::string& arguments) {
  for (const std::string folder : {"Z:\\usr\\bin\\", "Z:\\bin\\"}) {
    const std::string program = folder + name;
    if (GetFileAttributesA(program.c_str()) == INVALID_FILE_ATTRIBUTES)
      continue;
    std::string commandLine = name + " " + arguments;
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!CreateProcessA(program.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        nullptr, &startup, &process))
      continue;
    WaitForSingleObject(process.hProcess, 10000);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return true;
  }
  return false;
}

bool RunChattr(const std::string& flag, const std::string& path) {
  const std::string unixName = UnixName(path);
  return !unixName.empty() && RunUnixProgram("chattr", flag + " \"" + unixName + "\"");
}

bool MakeSymbolicLink(const std::string& target, const std::string& link) {
  const std::string unixTarget = UnixName(target);
  const std::string unixFolder = UnixName(ExtractFileDir(link));
  if (unixTarget.empty() || unixFolder.empty() ||
      !RunUnixProgram("ln", "-s \"" + unixTarget + "\" \"" + unixFolder + "/" +
                                ExtractFileName(link) + "\""))
    return false;
  // The Unix program ends on its own time.
  return PumpUntil([&] { return GetFileAttributesA(link.c_str()) != INVALID_FILE_ATTRIBUTES; }, 5000);
}

bool WritableNow(const std::string& path) {
  // Only a refusal counts as not writable: another failure (a probe of an earlier call not
  // yet gone, a passing sharing conflict) says nothing, and taking it for one ended the
  // wait for chattr before the flag was set.
  auto refused = [] {
    const DWORD error = GetLastError();
    return error == ERROR_ACCESS_DENIED || error == ERROR_WRITE_PROTECT;
  };
  const DWORD attributes = GetFileAttributesA(path.c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY)) {
    static unsigned probes = 0;
    const std::string probe = IncludeTrailingPathDelimiter(path) + "write-probe-" +
                              std::to_string(GetCurrentProcessId()) + "-" + std::to_string(++probes) + ".tmp";
    HANDLE file = CreateFileA(probe.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                              FILE_FLAG_DELETE_ON_CLOSE, nullptr);
    if (file == INVALID_HANDLE_VALUE)
      return !refused();
    CloseHandle(file);
    DeleteFileA(probe.c_str());
    return true;
  }
  HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                            nullptr, OPEN_EXISTING, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE)
    return !refused();
  CloseHandle(file);
  return true;
}

TUnwritable::TUnwritable(const std::string& path) : FPath(path) {
  const DWORD attributes = GetFileAttributesA(path.c_str());
  assert(attributes != INVALID_FILE_ATTRIBUTES && "an existing file or folder");
  SetFileAttributesA(path.c_str(), attributes | FILE_ATTRIBUTE_READONLY);
  if (!WritableNow(path)) {
    FReal = true;
    FHow = "read-only attribute";
    return;
  }
  if (!RunChattr("+i", path)) {
    FHow = "the read-only attribute is ignored and chattr cannot be run";
    return;
  }
  FImmutable = true;
  // The Unix program ends on its own time: look until the write fails.
  FReal = PumpUntil([&] { return !WritableNow(path); }, 5000);
  FHow = FReal ? "read-only attribute ignored; immutable (chattr +i)"
               : "neither the read-only attribute nor chattr +i stops writes";
}

TUnwritable::~TUnwritable() {
  if (FImmutable)
    RunChattr("-i", FPath);
  // The attribute can be taken off only once the Unix program has made it mutable again.
  auto restored = [&] {
    const DWORD attributes = GetFileAttributesA(FPath.c_str());
    return attributes == INVALID_FILE_ATTRIBUTES ||
           (SetFileAttributesA(FPath.c_str(), attributes & ~FILE_ATTRIBUTE_READONLY) &&
            (!FImmutable || WritableNow(FPath)));
  };
  PumpUntil(restored, 5000);
}

namespace {
constexpr char kTestWindowClass[] = "KivoTestWindow";

void RegisterTestWindowClass(WNDPROC proc) {
  WNDCLASSA cls{};
  if (GetClassInfoA(GetModuleHandleA(nullptr), kTestWindowClass, &cls))
    return;
  cls.lpfnWndProc = proc;
  cls.hInstance = GetModuleHandleA(nullptr);
  cls.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
  cls.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
  cls.lpszClassName = kTestWindowClass;
  ATOM atom = RegisterClassA(&cls);
  assert(atom && "test window class registers");
  (void)atom;
}
}  // namespace

TTestWindow::TTestWindow(TProc proc, int width, int height) : FProc(std::move(proc)) {
  RegisterTestWindowClass(&TTestWindow::WndProc);
  FHandle = CreateWindowExA(0, kTestWindowClass, "Test", WS_OVERLAPPEDWINDOW, 40, 40, width,
                            height, nullptr, nullptr, GetModuleHandleA(nullptr), this);
  assert(FHandle && "test window created");
  ShowWindow(FHandle, SW_SHOW);
  SetForegroundWindow(FHandle);
  SetActiveWindow(FHandle);
  UpdateWindow(FHandle);
  PumpPending();
}

TTestWindow::~TTestWindow() {
  if (IsWindow(FHandle))
    DestroyWindow(FHandle);
  PumpPending();
}

LRESULT CALLBACK TTestWindow::WndProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  return GuardBoundaryResult<LRESULT>("TTestWindow", 0, [&]() -> LRESULT {
    if (msg == WM_NCCREATE) {
      auto* create = reinterpret_cast<CREATESTRUCTA*>(lParam);
      SetWindowLongPtrA(wnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    auto* self = reinterpret_cast<TTestWindow*>(GetWindowLongPtrA(wnd, GWLP_USERDATA));
    LRESULT result = 0;
    if (self && self->FProc && self->FProc(msg, wParam, lParam, result))
      return result;
    return DefWindowProcA(wnd, msg, wParam, lParam);
  });
}

TDibSurface::TDibSurface(int width, int height) : FWidth(width), FHeight(height) {
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  FBitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  assert(FBitmap && "DIB section created");
  FBits = static_cast<uint32_t*>(bits);
  FDC = CreateCompatibleDC(nullptr);
  FOldBitmap = SelectObject(FDC, FBitmap);
}

TDibSurface::~TDibSurface() {
  SelectObject(FDC, FOldBitmap);
  DeleteDC(FDC);
  DeleteObject(FBitmap);
}

uint32_t TDibSurface::Pixel(int x, int y) const {
  assert(x >= 0 && y >= 0 && x < FWidth && y < FHeight && "pixel inside the surface");
  GdiFlush();
  return FBits[y * FWidth + x];
}

COLORREF TDibSurface::Color(int x, int y) const {
  uint32_t p = Pixel(x, y);
  return RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF);
}

void TDibSurface::Fill(COLORREF color) {
  HBRUSH brush = CreateSolidBrush(color);
  RECT r{0, 0, FWidth, FHeight};
  FillRect(FDC, &r, brush);
  DeleteObject(brush);
}

std::vector<uint8_t> IconFileBytes(int width, int height, const std::function<COLORREF(int x, int y)>& pixel) {
  assert(width > 0 && width <= 256 && height > 0 && height <= 256 && "an icon size");
  const size_t colorBytes = size_t(width) * size_t(height) * 4;
  const size_t maskBytes = ((size_t(width) + 31) / 32) * 4 * size_t(height);
  const uint32_t imageBytes = uint32_t(sizeof(BITMAPINFOHEADER) + colorBytes + maskBytes);
  const uint32_t imageOffset = 6 + 16;
  std::vector<uint8_t> ico(imageOffset + imageBytes, 0);
  ico[2] = 1;  // an icon directory
  ico[4] = 1;  // of one image
  uint8_t* entry = &ico[6];
  entry[0] = uint8_t(width & 0xFF);
  entry[1] = uint8_t(height & 0xFF);
  entry[4] = 1;
  entry[6] = 32;
  memcpy(entry + 8, &imageBytes, 4);
  memcpy(entry + 12, &imageOffset, 4);
  BITMAPINFOHEADER header{};
  header.biSize = sizeof header;
  header.biWidth = width;
  header.biHeight = 2 * height;  // the colour rows and the mask rows
  header.biPlanes = 1;
  header.biBitCount = 32;
  memcpy(&ico[imageOffset], &header, sizeof header);
  uint8_t* rows = &ico[imageOffset + sizeof header];
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      const COLORREF c = pixel(x, y);
      uint8_t* p = rows + (size_t(height - 1 - y) * size_t(width) + size_t(x)) * 4;  // bottom-up
      p[0] = GetBValue(c);
      p[1] = GetGValue(c);
      p[2] = GetRValue(c);
      p[3] = 255;
    }
  }
  return ico;
}
