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
// The lower row whose list is shown: a layer from the middle of the example's list
// (SLKSCR), and the host layer the built-in map gives it, which its list shows chosen.
constexpr int kLowerRow = 6;
constexpr char kLowerRowLayer[] = "SLKSCR";
constexpr char kLowerRowMapping[] = "Top Overlay";
// The colour of the grid lines between the cells of a grid of the class library.
constexpr uint32_t kGridLineColour = 0xC0C0C0;  // silver

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

// The text of the item chosen in `combo`; empty when none is.
std::string ChosenItemOf(HWND combo) {
  const LRESULT index = SendMessageA(combo, CB_GETCURSEL, 0, 0);
  if (index == CB_ERR)
    return {};
  const LRESULT length = SendMessageA(combo, CB_GETLBTEXTLEN, WPARAM(index), 0);
  if (length == CB_ERR)
    return {};
  std::string text(size_t(length) + 1, '\0');
  SendMessageA(combo, CB_GETLBTEXT, WPARAM(index), reinterpret_cast<LPARAM>(text.data()));
  text.resize(size_t(length));
  return text;
}

}  // namespace

// ---- The grid's geometry ----------------------------------------------------------------

bool ReadGridGeometry(HWND grid, TGridGeometry& geometry) {
  const TShotImage image = CaptureWindow(grid);
  RECT window{}, client{};
  if (image.Pixels.empty() || !GetWindowRect(grid, &window) || !GetClientRect(grid, &client))
    return false;
  POINT origin{0, 0};
  ClientToScreen(grid, &origin);
  const int dx = origin.x - window.left, dy = origin.y - window.top;
  auto isLine = [&](int x, int y) {
    return x + dx < image.Width && y + dy < image.Height &&
           (image.Pixels[size_t(y + dy) * size_t(image.Width) + size_t(x + dx)] & 0xFFFFFFu) == kGridLineColour;
  };
  // Down the first column's second pixel column (left of its text): the lines below
  // the first two rows. Along each whole row's second pixel row (above its text): the
  // lines right of the first two columns, taken where most rows show them (a cell's
  // editor lies over one row's second line).
  int rowLines[2], found = 0;
  for (int y = 0; y < client.bottom && found < 2; ++y)
    if (isLine(1, y))
      rowLines[found++] = y;
  if (found < 2)
    return false;
  const int pitch = rowLines[1] - rowLines[0];
  const int rows = client.bottom / pitch;
  int columnLines[2];
  found = 0;
  for (int x = 0; x < client.right && found < 2; ++x) {
    int shown = 0;
    for (int row = 0; row < rows; ++row)
      shown += isLine(x, row * pitch + 1) ? 1 : 0;
    if (2 * shown > rows)
      columnLines[found++] = x;
  }
  if (found < 2)
    return false;
  geometry.RowPitch = pitch;
  geometry.LayerColumnLeft = columnLines[1] + 1;
  return true;
}

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
  FDroppedShot = shot;
  FDroppedCombo = nullptr;
  FDroppedLayer.clear();
  FDroppedMapping.clear();
  // Where the rows and columns lie as the dialog was scaled to the screen's density.
  TGridGeometry geometry;
  if (!ReadGridGeometry(grid, geometry)) {
    FLog.Failures.push_back("shot " + shot + ": the layer grid's lines cannot be read");
    return true;
  }
  PostClick(grid, geometry.LayerColumnLeft + 10, row * geometry.RowPitch + geometry.RowPitch / 2);
  PostKey(grid, VK_F4);
  return true;
}

bool TDialogShooter::DropTopRowList() { return DropLayerList(0, "options-layer-list-top"); }

bool TDialogShooter::DropLowerRowList() {
  const bool done = DropLayerList(kLowerRow, "options-layer-list-lower");
  FDroppedLayer = kLowerRowLayer;
  FDroppedMapping = kLowerRowMapping;
  return done;
}

bool TDialogShooter::DropDetailList() {
  FDroppedShot = "options-detail-list";
  FDroppedCombo = nullptr;
  FDroppedLayer.clear();
  FDroppedMapping.clear();
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
  // The list is the asked row's: it shows that row's host layer chosen.
  const std::string chosen = ChosenItemOf(FDroppedCombo);
  if (!FDroppedMapping.empty() && chosen != FDroppedMapping)
    FLog.Failures.push_back("shot " + FDroppedShot + ": the list dropped is not " + FDroppedLayer + "'s (\"" +
                            FDroppedMapping + "\" chosen) but one with \"" + chosen + "\" chosen");
  Shoot(FDroppedShot, FDialog, list);
  return true;
}

bool TDialogShooter::CloseDroppedList() {
  if (FDroppedCombo && IsWindow(FDroppedCombo))
    SendMessageA(FDroppedCombo, CB_SHOWDROPDOWN, FALSE, 0);
  // A click on a layer name ends the cell's editing, so the next shot starts clean.
  const std::vector<HWND> grids = ChildrenOfClass(FDialog, "TStringGrid");
  TGridGeometry geometry;
  if (FDroppedCombo && !grids.empty() && lstrcmpiA(ClassOf(FDroppedCombo).c_str(), "TEditLayer") == 0 &&
      ReadGridGeometry(grids.front(), geometry))
    PostClick(grids.front(), 10, geometry.RowPitch / 2);
  FDroppedCombo = nullptr;
  FDroppedLayer.clear();
  FDroppedMapping.clear();
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
