// The fixtures and input helpers the options dialog's tests share: the settings files
// under a redirected user folder, the dialog shown non-modal, and keys and clicks posted
// to it as the keyboard and the mouse send them.
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <initializer_list>
#include <string>

#include "classlib/StringList.h"
#include "importer/UserOptions.h"
#include "tests/controls/ControlsTestSupport.h"

// The tests' own folder, emptied once per run.
const std::string& OptionsFolder();

// Posts a key press to `wnd` and lets the application's loop handle it (the loop
// translates a letter's key into its character).
void PressKey(HWND wnd, WORD key);

// Posts Alt+`letter` to `wnd` as the keyboard sends it (the system key, then the letter
// that the loop translates into its character; Alt alone for 0) and lets the application
// handle it.
void PressAltKey(HWND wnd, char letter);

// Posts a press and release of the left button at `point` of `control` and lets the
// application handle them.
void Click(TWinControl* control, TPoint point);

TPoint CellCentre(TStringGrid* grid, int col, int row);

// The text `combo` shows.
std::string ComboText(TComboBox* combo);

// The first entry after `from` (round the end) that begins with `letter` (upper case),
// as a list finds it; `from` when none does.
int EntryByLetter(TComboBox* combo, int from, char letter);

class SettingsTest : public testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;
  static std::string IniPath() { return OptionsFolder() + "profile\\Zorvan\\LoadKIVO.ini"; }
  TExceptionRecorder Exceptions;
};

class DialogTest : public SettingsTest {
 protected:
  void SetUp() override;
  void TearDown() override;
  void Load(std::initializer_list<const char*> names);
  void Show();
  // The dialog shown with the layers L0 to L<count - 1>, more than its grid shows.
  void ShowWithLayers(int count);
  std::string Cell(int col, int row) { return Dialog->StringGridAssociations->GetCells(col, row); }
  std::string PadCell(int row) { return Dialog->StringGridPadStack->GetCells(2, row); }
  std::string Status() { return Dialog->LabelStatus->GetCaption(); }
  // A press in column 2 of `row` of `grid`, as the grid reports it.
  void ClickCell(TStringGrid* grid, int row, bool pad);
  // The grid of the pad stack or of the layers, and its cell's combo box.
  TStringGrid* GridOf(bool pad) const;
  TComboBox* ComboOf(bool pad) const;
  // How the dialog's reads and saves of settings files wait: WaitStep, when set, at
  // every step.
  TInstanceWait Wait();
  TTranslateDialog* Dialog = nullptr;
  std::function<void()> WaitStep;
};
