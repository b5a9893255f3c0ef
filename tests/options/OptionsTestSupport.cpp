#include "tests/options/OptionsTestSupport.h"

#include <cctype>

#include "classlib/FileUtils.h"
#include "host/Utilities.h"
#include "standin/host/StandinHost.h"
#include "tests/support/TestSupport.h"

const std::string& OptionsFolder() {
  static const std::string folder = EmptiedTempFolder("kivo-options-tests");
  return folder;
}

void PressKey(HWND wnd, WORD key) {
  PostMessageA(wnd, WM_KEYDOWN, key, 1);
  PostMessageA(wnd, WM_KEYUP, key, LPARAM(0xC0000001));
  Application->ProcessMessages();
}

void PressAltKey(HWND wnd, char letter) {
  constexpr LPARAM kAltDown = LPARAM(1) << 29;
  PostMessageA(wnd, WM_SYSKEYDOWN, VK_MENU, kAltDown | 1);
  if (letter) {
    PostMessageA(wnd, WM_SYSKEYDOWN, WORD(letter), kAltDown | 1);
    PostMessageA(wnd, WM_SYSKEYUP, WORD(letter), kAltDown | LPARAM(0xC0000001));
  }
  PostMessageA(wnd, WM_KEYUP, VK_MENU, LPARAM(0xC0000001));
  Application->ProcessMessages();
  Application->ProcessMessages();
}

void Click(TWinControl* control, TPoint point) {
  const LPARAM at = MAKELPARAM(point.x, point.y);
  PostMessageA(control->GetHandle(), WM_LBUTTONDOWN, MK_LBUTTON, at);
  PostMessageA(control->GetHandle(), WM_LBUTTONUP, 0, at);
  Application->ProcessMessages();
}

TPoint CellCentre(TStringGrid* grid, int col, int row) {
  const TRect r = grid->CellRect(col, row);
  return TPoint{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
}

std::string ComboText(TComboBox* combo) {
  char text[64] = {};
  GetWindowTextA(combo->GetHandle(), text, sizeof text);
  return text;
}

int EntryByLetter(TComboBox* combo, int from, char letter) {
  TStrings* items = combo->GetItems();
  for (int step = 1; step <= items->GetCount(); ++step) {
    const int index = (from + step) % items->GetCount();
    const std::string text = items->Get(index);
    if (!text.empty() && toupper(static_cast<unsigned char>(text[0])) == letter)
      return index;
  }
  return from;
}

void SettingsTest::SetUp() {
  RedirectUserDataFolder(OptionsFolder() + "profile");
  CreateDir(OptionsFolder() + "profile");
  DeleteFile(IniPath());
  standin::ClearCallLog();
  standin::ClearAnswers();
}

void SettingsTest::TearDown() {
  RedirectUserDataFolder("");
  standin::ClearAnswers();
}

void DialogTest::SetUp() {
  SettingsTest::SetUp();
  Dialog = new TTranslateDialog(nullptr, Wait());
  Dialog->SetFileName("C:\\boards\\demo.pdf");
}

TInstanceWait DialogTest::Wait() {
  return {[this] {
    if (WaitStep)
      WaitStep();
  }};
}

void DialogTest::TearDown() {
  delete Dialog;
  PumpPending();
  SettingsTest::TearDown();
}

void DialogTest::Load(std::initializer_list<const char*> names) {
  TStringList list;
  for (const char* name : names)
    list.Add(name);
  Dialog->LoadLayers(&list);
}

void DialogTest::Show() {
  SetCursorPos(0, 0);
  Dialog->Show();
  PumpPending();
}

void DialogTest::ShowWithLayers(int count) {
  TStringList list;
  for (int i = 0; i < count; ++i)
    list.Add("L" + std::to_string(i));
  Dialog->LoadLayers(&list);
  Show();
}

void DialogTest::ClickCell(TStringGrid* grid, int row, bool pad) {
  const TRect cell = grid->CellRect(2, row);
  if (pad)
    Dialog->StringGridPadStackMouseDown(grid, mbLeft, {}, cell.left + 3, cell.top + 3);
  else
    Dialog->StringGridAssociationsMouseDown(grid, mbLeft, {}, cell.left + 3, cell.top + 3);
}

TStringGrid* DialogTest::GridOf(bool pad) const {
  return pad ? Dialog->StringGridPadStack : Dialog->StringGridAssociations;
}

TComboBox* DialogTest::ComboOf(bool pad) const {
  return pad ? Dialog->ComboBoxPadStack : static_cast<TComboBox*>(Dialog->ComboBoxVarnokLayers);
}
