#include "standin/host/DialogWatcher.h"

#include <algorithm>
#include <cassert>
#include <cstdio>
#include <cstring>

#include "classlib/Automation.h"
#include "classlib/Boundary.h"
#include "classlib/FlagScope.h"
#include "standin/host/HostWindows.h"
#include "standin/host/ImportSlots.h"
#include "standin/host/StandinHost.h"

namespace standin {

namespace {

// How long the status dialog may take to draw its label before it is closed anyway.
constexpr DWORD kStatusPaintMs = 2000;

// ---- texts the plug-in draws ----

using TDrawTextA = int(WINAPI*)(HDC, LPCSTR, int, LPRECT, UINT);
TDrawTextA gDrawTextA = nullptr;

struct TDrawnText {
  HWND Root;
  std::string Text;
};
std::vector<TDrawnText> gDrawn;  // recorded only while a watcher answers dialogs
TDialogWatcher* gWatcher = nullptr;

int WINAPI WatchedDrawTextA(HDC dc, LPCSTR text, int count, LPRECT rect, UINT format) {
  GuardBoundary("KivoHost text watch", [&] {
    if (!gWatcher || !text || (format & DT_CALCRECT))
      return;
    // A label drawn through a memory DC belongs to the window being painted, the active one.
    HWND wnd = WindowFromDC(dc);
    HWND root = wnd ? GetAncestor(wnd, GA_ROOT) : GetActiveWindow();
    std::string drawn = count < 0 ? std::string(text) : std::string(text, size_t(count));
    if (gDrawn.empty() || gDrawn.back().Root != root || gDrawn.back().Text != drawn)
      gDrawn.push_back({root, std::move(drawn)});
  });
  return gDrawTextA(dc, text, count, rect, format);
}

// The texts drawn in `root`'s client area, each once: the caption a skinned frame draws
// is the window's own text and not among them.
std::vector<std::string> TextsDrawnIn(HWND root) {
  const std::string caption = WindowText(root);
  std::vector<std::string> texts;
  for (const TDrawnText& drawn : gDrawn)
    if (drawn.Root == root && drawn.Text != caption &&
        std::find(texts.begin(), texts.end(), drawn.Text) == texts.end())
      texts.push_back(drawn.Text);
  return texts;
}

// ---- windows ----

// The class library registers its own window classes over the system's, so controls are
// found by their text alone.
HWND FindChild(HWND dialog, const std::string& text) {
  return TUIAutomation::FindChildWindow(dialog, text);
}

// The visible combo box of `dialog` that lists `item`, and the item's index.
std::pair<HWND, int> FindComboItem(HWND dialog, const std::string& item) {
  struct TSearch {
    std::string Item;
    HWND Found = nullptr;
    int Index = -1;
  } search{item};
  EnumChildWindows(
      dialog,
      [](HWND child, LPARAM data) __attribute__((stdcall)) -> BOOL {
        return GuardBoundaryResult<BOOL>("KivoHost combo search", FALSE, [&]() -> BOOL {
          auto* s = reinterpret_cast<TSearch*>(data);
          // The class library's combo boxes are system combo boxes under a class of its
          // own whose name holds "ComboBox"; other windows would misread the message.
          char cls[64] = "";
          GetClassNameA(child, cls, sizeof cls);
          CharUpperA(cls);
          if (!strstr(cls, "COMBOBOX") || !IsWindowVisible(child))
            return TRUE;
          const LRESULT index = SendMessageA(child, CB_FINDSTRINGEXACT, WPARAM(-1),
                                             reinterpret_cast<LPARAM>(s->Item.c_str()));
          if (index == CB_ERR)
            return TRUE;
          s->Found = child;
          s->Index = int(index);
          return FALSE;
        });
      },
      reinterpret_cast<LPARAM>(&search));
  return {search.Found, search.Index};
}

// A button press, posted: whatever the press runs, it runs from the dialog's own loop.
void PostPress(HWND button) { PostMessageA(button, BM_CLICK, 0, 0); }

bool IsSystemMessageBox(HWND wnd) {
  char cls[16] = "";
  GetClassNameA(wnd, cls, sizeof cls);
  return strcmp(cls, "#32770") == 0;
}

// A system message box shows its text in the static control 0xFFFF.
std::string MessageBoxText(HWND box) {
  char text[2048] = "";
  GetDlgItemTextA(box, 0xFFFF, text, sizeof text);
  return text;
}

}  // namespace

void WatchDrawnTexts(HMODULE plugin) {
  HMODULE user32 = GetModuleHandleA("user32.dll");
  auto* original = reinterpret_cast<void*>(GetProcAddress(user32, "DrawTextA"));
  if (!plugin || !original)
    return;
  gDrawTextA = reinterpret_cast<TDrawTextA>(original);
  void** slot = ImportSlot(plugin, "user32.dll", "DrawTextA");
  if (!slot) {
    fprintf(stderr, "KivoHost: the plug-in draws no text through DrawTextA; labels stay unread\n");
    return;
  }
  if (*slot == original)  // a module watched before is watched already
    WriteSlot(slot, reinterpret_cast<void*>(&WatchedDrawTextA));
}

TDialogWatcher::TDialogWatcher(TDialogScript script) : FScript(std::move(script)) {
  assert(!gWatcher && "one dialog watcher at a time");
  gWatcher = this;
  gDrawn.clear();
  FTimer = SetTimer(nullptr, 0, 50, &TDialogWatcher::TimerProc);
}

TDialogWatcher::~TDialogWatcher() {
  KillTimer(nullptr, FTimer);
  gWatcher = nullptr;
  gDrawn.clear();
}

TDialogLog TDialogWatcher::TakeLog() {
  TDialogLog taken = FLog;
  FLog.ErrorBoxes.clear();
  FLog.MessageBoxes.clear();
  FLog.Failures.clear();
  return taken;
}

void CALLBACK TDialogWatcher::TimerProc(HWND, UINT, UINT_PTR, DWORD) {
  GuardBoundary("KivoHost dialog watcher", [] {
    if (gWatcher)
      gWatcher->Step();
  });
}

void TDialogWatcher::Step() {
  // A handler run by a press may turn a nested loop, which fires the timer again.
  if (FStepping)
    return;
  const TFlagScope stepping(FStepping);

  const DWORD now = GetTickCount();
  for (HWND dialog : DialogWindows()) {
    if (std::find(FAnswered.begin(), FAnswered.end(), dialog) != FAnswered.end() ||
        !IsWindowEnabled(dialog))
      continue;
    auto seen = std::find_if(FFirstSeen.begin(), FFirstSeen.end(),
                             [&](const auto& entry) { return entry.first == dialog; });
    if (seen == FFirstSeen.end())
      seen = FFirstSeen.insert(FFirstSeen.end(), {dialog, now});
    const std::string caption = WindowText(dialog);
    bool answered = false;
    if (caption == kOptionsCaption)
      answered = AnswerOptions(dialog);
    else if (caption == kStatusCaption)
      answered = AnswerStatus(dialog, /*force=*/now - seen->second >= kStatusPaintMs);
    else if (caption == kErrorCaption)
      answered = AnswerErrorBox(dialog);
    else if (IsSystemMessageBox(dialog))
      answered = AnswerMessageBox(dialog);
    if (!answered && now - seen->second > FScript.DeadlineMs) {
      GiveUp(dialog, "no answer for the window \"" + caption + "\"");
      answered = true;
    }
    if (answered)
      FAnswered.push_back(dialog);
  }
}

bool TDialogWatcher::AnswerOptions(HWND dialog) {
  FLog.OptionsShown = true;
  auto press = [&](const std::string& caption) {
    HWND button = FindChild(dialog, caption);
    if (button)
      PostPress(button);
    else
      FLog.Failures.push_back("\"" + std::string(kOptionsCaption) + "\" has no \"" + caption + "\"");
    return button != nullptr;
  };
  // A configuration button goes to the host's file dialog, which takes the next answer.
  // The rest waits for a later tick: timer ticks come only once the posted press has
  // been handled, and while a box it shows is up the dialog is disabled and passed over.
  auto pressWithFile = [&](const std::string& file, bool& pressed, const char* caption) {
    if (file.empty() || pressed)
      return false;
    QueueAnswer("Result=True|Path=" + file);
    pressed = true;
    return press(caption);
  };
  if (pressWithFile(FScript.ConfigurationFile, FConfigurationLoaded, "Load Configuration") ||
      pressWithFile(FScript.SavedConfigurationFile, FConfigurationSaved, "Save Configuration"))
    return false;
  for (const auto& [caption, ticked] : FScript.ReportBoxes) {
    HWND box = FindChild(dialog, caption);
    if (!box) {
      FLog.Failures.push_back("\"" + std::string(kOptionsCaption) + "\" has no \"" + caption + "\"");
      continue;
    }
    if ((SendMessageA(box, BM_GETCHECK, 0, 0) == BST_CHECKED) != ticked)
      PostPress(box);
  }
  if (!FScript.DetailLevel.empty()) {
    const auto [combo, index] = FindComboItem(dialog, FScript.DetailLevel);
    if (combo)
      SendMessageA(combo, CB_SETCURSEL, WPARAM(index), 0);
    else
      FLog.Failures.push_back("no detail level \"" + FScript.DetailLevel + "\"");
  }
  if (!press(FScript.CancelOptions ? "Cancel" : "OK"))
    GiveUp(dialog, "cannot close \"" + std::string(kOptionsCaption) + "\"");
  return true;
}

bool TDialogWatcher::AnswerStatus(HWND dialog, bool force) {
  auto statusText = [&]() -> std::string {
    std::vector<std::string> texts = TextsDrawnIn(dialog);
    for (auto text = texts.rbegin(); text != texts.rend(); ++text)
      if (text->rfind("Status:", 0) == 0)
        return *text;
    return {};
  };
  std::string text = statusText();
  if (text.empty()) {
    // Paint now rather than wait for the loop to get to it.
    RedrawWindow(dialog, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    text = statusText();
  }
  if (text.empty() && !force)
    return false;
  FLog.StatusShown = true;
  FLog.StatusText = text;
  if (FScript.ToggleViewReport) {
    if (HWND box = FindChild(dialog, "View Report"))
      PostClickAtCentre(box);
    else
      FLog.Failures.push_back("\"" + std::string(kStatusCaption) + "\" has no \"View Report\"");
  }
  HWND close = FindChild(dialog, "Close");
  if (!close) {
    GiveUp(dialog, "\"" + std::string(kStatusCaption) + "\" has no \"Close\"");
    return true;
  }
  PostClickAtCentre(close);
  return true;
}

bool TDialogWatcher::AnswerErrorBox(HWND dialog) {
  std::string text;
  for (const std::string& drawn : TextsDrawnIn(dialog))
    text += (text.empty() ? "" : " ") + drawn;
  if (IsSystemMessageBox(dialog)) {
    // The system's box, which the plug-in falls back on when it cannot make its own.
    text = MessageBoxText(dialog);
  } else if (text.empty()) {
    RedrawWindow(dialog, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    for (const std::string& drawn : TextsDrawnIn(dialog))
      text += (text.empty() ? "" : " ") + drawn;
  }
  FLog.ErrorBoxes.push_back(text);
  if (HWND ok = FindChild(dialog, "OK"))
    PostPress(ok);
  else
    GiveUp(dialog, "\"" + std::string(kErrorCaption) + "\" has no \"OK\"");
  return true;
}

bool TDialogWatcher::AnswerMessageBox(HWND dialog) {
  FLog.MessageBoxes.push_back(WindowText(dialog) + ": " + MessageBoxText(dialog));
  const LRESULT defaultId = SendMessageA(dialog, DM_GETDEFID, 0, 0);
  const int id = HIWORD(defaultId) == DC_HASDEFID ? LOWORD(defaultId) : IDOK;
  PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
               reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
  return true;
}

void TDialogWatcher::GiveUp(HWND dialog, const std::string& why) {
  FLog.Failures.push_back(why);
  PostMessageA(dialog, WM_CLOSE, 0, 0);
}

}  // namespace standin
