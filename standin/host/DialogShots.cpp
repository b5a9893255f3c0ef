#include "standin/host/DialogShots.h"

#include <algorithm>
#include <cassert>
#include <cstdio>
#include <fstream>

#include "classlib/Automation.h"
#include "classlib/Boundary.h"
#include "classlib/FlagScope.h"
#include "standin/host/HostWindows.h"

namespace standin {

namespace {

// How long a window is given to paint after it appears or after each move.
constexpr DWORD kSettleMs = 600;
// The layer grid's rows: 18 pixels and a grid line; its layer column starts after the
// name column (103) and the arrow column (20), each with its line.
constexpr int kRowPitch = 19;
constexpr int kLayerColumnLeft = 103 + 1 + 20 + 1;
// The lower row whose list is shown: a layer from the middle of the list.
constexpr int kLowerRow = 6;

TDialogShooter* gShooter = nullptr;

std::string ClassOf(HWND wnd) {
  char cls[128] = "";
  GetClassNameA(wnd, cls, sizeof cls);
  return cls;
}

// The visible children of `dialog` whose window class is `className`, left to right.
std::vector<HWND> ChildrenOfClass(HWND dialog, const std::string& className) {
  struct TSearch {
    std::string ClassName;
    std::vector<HWND> Found;
  } search{className, {}};
  EnumChildWindows(
      dialog,
      [](HWND child, LPARAM data) __attribute__((stdcall)) -> BOOL {
        return GuardBoundaryResult<BOOL>("KivoHost shot search", FALSE, [&]() -> BOOL {
          auto* s = reinterpret_cast<TSearch*>(data);
          if (IsWindowVisible(child) && lstrcmpiA(ClassOf(child).c_str(), s->ClassName.c_str()) == 0)
            s->Found.push_back(child);
          return TRUE;
        });
      },
      reinterpret_cast<LPARAM>(&search));
  std::sort(search.Found.begin(), search.Found.end(), [](HWND a, HWND b) {
    RECT ra{}, rb{};
    GetWindowRect(a, &ra);
    GetWindowRect(b, &rb);
    return ra.left < rb.left;
  });
  return search.Found;
}

void PostKey(HWND control, WORD key) {
  PostMessageA(control, WM_KEYDOWN, key, 1);
  PostMessageA(control, WM_KEYUP, key, LPARAM(0xC0000001));
}

// The dropped list of `combo`; null when it is not dropped.
HWND DroppedListOf(HWND combo) {
  if (!combo || !SendMessageA(combo, CB_GETDROPPEDSTATE, 0, 0))
    return nullptr;
  COMBOBOXINFO info{};
  info.cbSize = sizeof info;
  if (!GetComboBoxInfo(combo, &info) || !IsWindowVisible(info.hwndList))
    return nullptr;
  return info.hwndList;
}

}  // namespace

// ---- The shooter ----------------------------------------------------------------------

TDialogShooter::TDialogShooter(TShotScript script) : FScript(std::move(script)) {
  assert(!gShooter && "one dialog shooter at a time");
  gShooter = this;
  FStarted = GetTickCount();
  FTimer = SetTimer(nullptr, 0, 50, &TDialogShooter::TimerProc);
}

TDialogShooter::~TDialogShooter() {
  KillTimer(nullptr, FTimer);
  gShooter = nullptr;
}

void CALLBACK TDialogShooter::TimerProc(HWND, UINT, UINT_PTR, DWORD) {
  GuardBoundary("KivoHost dialog shooter", [] {
    if (gShooter)
      gShooter->Step();
  });
}

bool TDialogShooter::Wants(const std::string& shot) const {
  return FScript.Shots.empty() || std::find(FScript.Shots.begin(), FScript.Shots.end(), shot) != FScript.Shots.end();
}

std::string TDialogShooter::StatusShotName() const {
  if (FScript.Shots.empty())
    return "status";
  for (const std::string& shot : FScript.Shots)
    if (shot.rfind("status", 0) == 0)
      return shot;
  return {};
}

void TDialogShooter::Step() {
  // A press may run a nested loop, which fires the timer again.
  if (FStepping)
    return;
  const TFlagScope stepping(FStepping);
  const DWORD now = GetTickCount();
  if (now - FStarted > FScript.DeadlineMs) {
    fprintf(stderr, "KivoHost: the screenshots were not done within %u ms; the run ends\n", FScript.DeadlineMs);
    fflush(stdout);
    fflush(stderr);
    ExitProcess(4);
  }
  if (FDialog && !IsWindow(FDialog))
    FDialog = nullptr;
  if (!FDialog) {
    for (HWND wnd : DialogWindows())
      if (IsWindowEnabled(wnd) && std::find(FDone.begin(), FDone.end(), wnd) == FDone.end()) {
        Begin(wnd, WindowText(wnd));
        break;
      }
    return;
  }
  if (int(now - FWaitUntil) < 0)
    return;
  if (FNextMove >= FMoves.size()) {
    FDialog = nullptr;
    return;
  }
  if ((this->*FMoves[FNextMove])()) {
    ++FNextMove;
    FWaitUntil = GetTickCount() + kSettleMs;
  }
}

void TDialogShooter::Begin(HWND dialog, const std::string& caption) {
  FDone.push_back(dialog);
  FDialog = dialog;
  FMoves.clear();
  FNextMove = 0;
  FWaitUntil = GetTickCount() + kSettleMs;
  FMoves.push_back(&TDialogShooter::Settle);
  if (caption == kOptionsCaption) {
    FLog.OptionsShown = true;
    if (Wants("options"))
      FMoves.push_back(&TDialogShooter::ShootOptions);
    const std::pair<const char*, TMove> lists[] = {{"options-layer-list-top", &TDialogShooter::DropTopRowList},
                                                   {"options-layer-list-lower", &TDialogShooter::DropLowerRowList},
                                                   {"options-detail-list", &TDialogShooter::DropDetailList}};
    for (const auto& [shot, drop] : lists)
      if (Wants(shot)) {
        FMoves.push_back(drop);
        FMoves.push_back(&TDialogShooter::ShootDroppedList);
        FMoves.push_back(&TDialogShooter::CloseDroppedList);
      }
    FMoves.push_back(&TDialogShooter::AnswerOptions);
  } else if (caption == kStatusCaption) {
    FLog.StatusShown = true;
    if (!StatusShotName().empty())
      FMoves.push_back(&TDialogShooter::ShootStatus);
    FMoves.push_back(&TDialogShooter::AnswerStatus);
  } else if (caption == kErrorCaption) {
    FLog.ErrorBoxes.push_back(caption);
    if (Wants("error-box"))
      FMoves.push_back(&TDialogShooter::ShootErrorBox);
    FMoves.push_back(&TDialogShooter::AnswerErrorBox);
  } else {
    FLog.Failures.push_back("no shots for the window \"" + caption + "\"; it is closed");
    PostMessageA(dialog, WM_CLOSE, 0, 0);
    FMoves.clear();
  }
}

void TDialogShooter::Shoot(const std::string& name, HWND wnd, HWND list) {
  // Taken as it is on screen: nothing is painted for the shot, so a window that the
  // loop left unpainted shows as such.
  TShotImage image = CaptureWindow(wnd);
  if (image.Pixels.empty()) {
    FLog.Failures.push_back("shot " + name + ": the window could not be captured");
    return;
  }
  if (image.Flat())
    FLog.Failures.push_back("shot " + name + ": the window \"" + WindowText(wnd) + "\" is one flat colour");
  if (list) {
    const TShotImage listImage = CaptureWindow(list);
    if (listImage.Pixels.empty() || listImage.Flat())
      FLog.Failures.push_back("shot " + name + ": the dropped list is one flat colour");
    RECT dialogRect{}, listRect{};
    GetWindowRect(wnd, &dialogRect);
    GetWindowRect(list, &listRect);
    if (!listImage.Pixels.empty())
      image = Compose(image, dialogRect, listImage, listRect);
  }
  const std::string file = FScript.Folder + "\\" + name + ".png";
  if (WritePng(file, image))
    FWritten.push_back(file);
  else
    FLog.Failures.push_back("shot " + name + ": cannot write " + file);
}

bool TDialogShooter::Settle() { return true; }

bool TDialogShooter::ShootOptions() {
  Shoot("options", FDialog);
  return true;
}

bool TDialogShooter::DropLayerList(int row, const std::string& shot) {
  const std::vector<HWND> grids = ChildrenOfClass(FDialog, "TStringGrid");
  if (grids.empty()) {
    FLog.Failures.push_back("shot " + shot + ": the options dialog has no layer grid");
    return true;
  }
  HWND grid = grids.front();  // the layer grid lies left of the pad-stack grid
  PostClick(grid, kLayerColumnLeft + 10, row * kRowPitch + kRowPitch / 2);
  PostKey(grid, VK_F4);
  FDroppedShot = shot;
  FDroppedCombo = nullptr;
  return true;
}

bool TDialogShooter::DropTopRowList() { return DropLayerList(0, "options-layer-list-top"); }

bool TDialogShooter::DropLowerRowList() { return DropLayerList(kLowerRow, "options-layer-list-lower"); }

bool TDialogShooter::DropDetailList() {
  FDroppedShot = "options-detail-list";
  FDroppedCombo = nullptr;
  for (HWND combo : ChildrenOfClass(FDialog, "TComboBox"))
    if (SendMessageA(combo, CB_FINDSTRINGEXACT, WPARAM(-1), reinterpret_cast<LPARAM>("Normal")) != CB_ERR) {
      PostClickAtCentre(combo);
      FDroppedCombo = combo;
      return true;
    }
  FLog.Failures.push_back("shot options-detail-list: the options dialog has no detail-level list");
  return true;
}

bool TDialogShooter::ShootDroppedList() {
  if (!FDroppedCombo) {
    const std::vector<HWND> layers = ChildrenOfClass(FDialog, "TEditLayer");
    FDroppedCombo = layers.empty() ? nullptr : layers.front();
  }
  HWND list = DroppedListOf(FDroppedCombo);
  if (!list) {
    FLog.Failures.push_back("shot " + FDroppedShot + ": no list was dropped");
    return true;
  }
  Shoot(FDroppedShot, FDialog, list);
  return true;
}

bool TDialogShooter::CloseDroppedList() {
  if (FDroppedCombo && IsWindow(FDroppedCombo))
    SendMessageA(FDroppedCombo, CB_SHOWDROPDOWN, FALSE, 0);
  // A click on a layer name ends the cell's editing, so the next shot starts clean.
  const std::vector<HWND> grids = ChildrenOfClass(FDialog, "TStringGrid");
  if (FDroppedCombo && !grids.empty() && lstrcmpiA(ClassOf(FDroppedCombo).c_str(), "TEditLayer") == 0)
    PostClick(grids.front(), 10, kRowPitch / 2);
  FDroppedCombo = nullptr;
  return true;
}

bool TDialogShooter::AnswerOptions() {
  const char* answer = FScript.CancelOptions ? "Cancel" : "OK";
  if (HWND button = TUIAutomation::FindChildWindow(FDialog, answer))
    PostMessageA(button, BM_CLICK, 0, 0);
  else
    FLog.Failures.push_back(std::string("\"") + kOptionsCaption + "\" has no \"" + answer + "\"");
  return true;
}

bool TDialogShooter::ShootStatus() {
  Shoot(StatusShotName(), FDialog);
  return true;
}

bool TDialogShooter::AnswerStatus() {
  if (HWND close = TUIAutomation::FindChildWindow(FDialog, "Close"))
    PostClickAtCentre(close);
  else
    PostMessageA(FDialog, WM_CLOSE, 0, 0);
  return true;
}

bool TDialogShooter::ShootErrorBox() {
  Shoot("error-box", FDialog);
  return true;
}

bool TDialogShooter::AnswerErrorBox() {
  if (HWND ok = TUIAutomation::FindChildWindow(FDialog, "OK"))
    PostMessageA(ok, BM_CLICK, 0, 0);
  else
    PostMessageA(FDialog, WM_CLOSE, 0, 0);
  return true;
}

}  // namespace standin
