// The stand-in host's state: options, windows, call log, scripted answers, help topics.
#include <cstdio>
#include <deque>
#include <fstream>
#include <map>

#include "classlib/Boundary.h"
#include "standin/host/HostObjects.h"
#include "standin/host/StandinHost.h"

namespace standin {

IUnknown* CreateClient();  // HostClient.cpp

namespace {

THostOptions gOptions;
std::vector<std::string> gLog;
std::deque<std::string> gAnswers;
std::map<std::string, std::string> gHelpTopics = {{"Sch:Editor", "SchEditor"}};
HWND gApplicationWindow = nullptr;
HWND gMainWindow = nullptr;
IUnknown* gClient = nullptr;

LRESULT CALLBACK HostWindowProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  return GuardBoundaryResult<LRESULT>("KivoHost window", 0, [&]() -> LRESULT {
    if (msg == WM_CLOSE)
      return 0;  // the host decides when it ends
    return DefWindowProcA(wnd, msg, wParam, lParam);
  });
}

HWND MakeWindow(const char* className, const char* caption, DWORD style) {
  WNDCLASSA cls{};
  cls.lpfnWndProc = HostWindowProc;
  cls.hInstance = GetModuleHandleA(nullptr);
  cls.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
  cls.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  cls.lpszClassName = className;
  RegisterClassA(&cls);
  return CreateWindowExA(0, className, caption, style, 40, 40, 800, 600, nullptr, nullptr,
                         GetModuleHandleA(nullptr), nullptr);
}

}  // namespace

void StartHost() {
  if (gClient)
    return;
  gApplicationWindow = MakeWindow("KivoHostApplication", "KivoHost", WS_POPUP);
  gMainWindow = MakeWindow("KivoHostMain", "KivoHost", WS_OVERLAPPEDWINDOW);
  ShowWindow(gMainWindow, SW_SHOW);
  SetForegroundWindow(gMainWindow);
  SetActiveWindow(gMainWindow);
  UpdateWindow(gMainWindow);
  gClient = CreateClient();
}

void StopHost() {
  CloseAllDocuments();
  if (gMainWindow)
    DestroyWindow(gMainWindow);
  if (gApplicationWindow)
    DestroyWindow(gApplicationWindow);
  gMainWindow = gApplicationWindow = nullptr;
  // The client object stays: a plug-in may still hold its uncounted pointer.
}

THostOptions& HostOptions() { return gOptions; }
HWND ApplicationWindowHandle() { return gApplicationWindow; }
HWND MainWindowHandle() { return gMainWindow; }
IUnknown* ClientUnknown() { return gClient; }

long ClientReferenceCount() {
  if (!gClient)
    return 0;
  gClient->AddRef();
  return static_cast<long>(gClient->Release());
}

const std::vector<std::string>& CallLog() { return gLog; }
void ClearCallLog() { gLog.clear(); }
void LogCall(std::string line) { gLog.push_back(std::move(line)); }

std::vector<std::string> CallsStartingWith(std::string_view prefix) {
  std::vector<std::string> lines;
  for (const std::string& line : gLog)
    if (std::string_view(line).substr(0, prefix.size()) == prefix)
      lines.push_back(line);
  return lines;
}

void Unexpected(const char* interfaceName, int position) {
  LogCall(std::string("unexpected ") + interfaceName + "#" + std::to_string(position));
  fprintf(stderr, "KivoHost: a plug-in called %s position %d, which it never should\n",
          interfaceName, position);
  for (const std::string& line : gLog)
    fprintf(stderr, "  %s\n", line.c_str());
  fflush(stdout);
  fflush(stderr);
  ExitProcess(3);
}

std::string Quote(const char* text) {
  return text ? "\"" + std::string(text) + "\"" : std::string("nil");
}

bool SameFileName(std::string_view a, std::string_view b) {
  if (a.size() != b.size())
    return false;
  for (size_t i = 0; i < a.size(); ++i) {
    char x = a[i], y = b[i];
    if (x >= 'a' && x <= 'z')
      x = static_cast<char>(x - 32);
    if (y >= 'a' && y <= 'z')
      y = static_cast<char>(y - 32);
    if (x == '/')
      x = '\\';
    if (y == '/')
      y = '\\';
    if (x != y)
      return false;
  }
  return true;
}

void QueueAnswer(std::string answer) { gAnswers.push_back(std::move(answer)); }

bool LoadAnswers(const std::string& fileName) {
  std::ifstream file(fileName);
  if (!file)
    return false;
  std::string line;
  while (std::getline(file, line)) {
    if (!line.empty() && line.back() == '\r')
      line.pop_back();
    if (!line.empty())
      QueueAnswer(line);
  }
  return true;
}

void ClearAnswers() { gAnswers.clear(); }

std::string NextAnswer() {
  if (gAnswers.empty())
    return "Result=False";
  std::string answer = gAnswers.front();
  gAnswers.pop_front();
  return answer;
}

void SetHelpTopic(const std::string& topic, const std::string& helpFileName) {
  gHelpTopics[topic] = helpFileName;
}

const std::string& HelpFileOf(const std::string& topic) {
  static const std::string none;
  auto found = gHelpTopics.find(topic);
  return found == gHelpTopics.end() ? none : found->second;
}

}  // namespace standin
