// "Client:RunCommonDialog" answered by the user through the real open and save dialogs.
#include <map>

#include "standin/host/HostObjects.h"
#include "standin/host/StandinHost.h"

namespace standin {

namespace {

// The host's own reading of a parameter string: pairs split at "|", name and value at
// the first "=".
std::map<std::string, std::string> SplitParameters(const char* text) {
  std::map<std::string, std::string> pairs;
  std::string all = text ? text : "";
  size_t start = 0;
  while (start <= all.size()) {
    size_t end = all.find('|', start);
    if (end == std::string::npos)
      end = all.size();
    std::string pair = all.substr(start, end - start);
    size_t equals = pair.find('=');
    if (equals != std::string::npos)
      pairs.emplace(pair.substr(0, equals), pair.substr(equals + 1));
    start = end + 1;
  }
  return pairs;
}

// "KIVO PCB File (*.pdf)" gives the entry "KIVO PCB File (*.pdf)\0*.pdf\0".
void AppendFilter(std::string& filter, const std::string& fileType) {
  if (fileType.empty())
    return;
  size_t open = fileType.rfind('(');
  size_t close = fileType.rfind(')');
  std::string pattern = open != std::string::npos && close > open
                            ? fileType.substr(open + 1, close - open - 1)
                            : std::string("*.*");
  filter += fileType;
  filter += '\0';
  filter += pattern;
  filter += '\0';
}

// The window a file dialog belongs to: the active one (a plug-in's modal dialog asking
// for a file), else the main window. The file dialog disables its owner while it is up
// and gives the activation back to it when it closes; owned by the main window under a
// modal dialog, it enabled and activated the main window, in front of that dialog.
HWND FileDialogOwner() {
  HWND active = GetActiveWindow();
  return active && IsWindowVisible(active) && IsWindowEnabled(active) ? active : MainWindowHandle();
}

}  // namespace

std::string AskUserForFile(const char* parameters) {
  std::map<std::string, std::string> in = SplitParameters(parameters);
  std::string filter;
  AppendFilter(filter, in["FileType1"]);
  AppendFilter(filter, in["FileType2"]);
  filter += '\0';
  char file[MAX_PATH] = {};
  lstrcpynA(file, in["Path"].c_str(), MAX_PATH);
  OPENFILENAMEA dialog{};
  dialog.lStructSize = sizeof dialog;
  dialog.hwndOwner = FileDialogOwner();
  dialog.lpstrFilter = filter.c_str();
  dialog.lpstrFile = file;
  dialog.nMaxFile = MAX_PATH;
  dialog.lpstrTitle = in["Prompt"].c_str();
  dialog.Flags = OFN_EXPLORER | OFN_HIDEREADONLY;
  bool saving = in["Mode"] == "1";
  bool chosen = saving ? GetSaveFileNameA(&dialog) : GetOpenFileNameA(&dialog);
  return chosen ? std::string("Result=True|Path=") + file : std::string("Result=False");
}

}  // namespace standin
