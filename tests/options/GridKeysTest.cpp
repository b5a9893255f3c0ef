// The options dialog's grids as a person types on them: keys posted to the focused
// window and handled by the application's loop, on the dialog shown non-modal. Run at
// the build's 96 pixels per inch and again at 144 (options_grid_keys_dpi144).
#include <gtest/gtest.h>

#include <deque>
#include <string>
#include <vector>

#include "classlib/IniFiles.h"
#include "classlib/Streams.h"
#include "importer/KivoObject.h"
#include "standin/host/StandinHost.h"
#include "tests/options/OptionsTestSupport.h"
#include "tests/support/TestSupport.h"

namespace {

// The entry of `combo` that reads as `text`.
int EntryOf(TComboBox* combo, const std::string& text) { return combo->GetItems()->IndexOf(text); }

}  // namespace

// Fault: a letter typed on a grid's row pressed the dialog's button of that letter: "o"
// ended the dialog with OK, "s" and "l" asked for a configuration file, "r" reset the
// rows, "a" wrote LoadKIVO.ini; cause: the grids take no characters, so the form gave
// each to the accelerators as if Alt were held. A letter steps the row's closed box to
// the next entry that begins with it, as a closed drop-down list does, and the row takes
// it; the buttons' letters act with Alt.
TEST_F(DialogTest, ALetterOnAGridRowStepsItsBoxAndPressesNoButton) {
  // KIVO layers, and so pad-stack entries, that begin with the letters of the buttons,
  // the check boxes and the labels.
  const char* const names[] = {"COMP", "SOLDER", "PADCOM", "OUTLINE", "ROUTE", "ASSY", "LEGEND",
                               "EDGE", "WIRES", "VIAS",   "MASK",   "DRILL",   "PADSLD"};
  std::deque<KivoLayerEntry> entries;
  TStringList list;
  for (const char* name : names)
    list.AddObject(name, &entries.emplace_back(int(entries.size()) + 1));
  Dialog->LoadLayers(&list);
  Show();
  const std::string defaults = FileBytes(IniPath());
  ASSERT_NE(defaults, "<missing>");
  // No button pressed: the dialog goes on, the layer rows but the one typed on are kept,
  // no file was asked for, LoadKIVO.ini was not written, no box was ticked. What was
  // pressed is told, and undone for the next letter where it can be.
  auto pressedNothing = [&](std::vector<TLayer> rowsBefore, int typedRow) -> testing::AssertionResult {
    std::string pressed;
    std::vector<TLayer> rows = Dialog->GetRowLayers();
    if (typedRow >= 0)
      rows[typedRow] = rowsBefore[typedRow];
    if (rows != rowsBefore)
      pressed += " the layer rows were reset;";
    if (Dialog->GetModalResult() != mrNone)
      pressed += " the dialog ended with " + std::to_string(Dialog->GetModalResult()) + ";";
    if (!standin::CallsStartingWith("PcbApi_SendCommand").empty())
      pressed += " a configuration file was asked for;";
    if (FileBytes(IniPath()) != defaults)
      pressed += " LoadKIVO.ini was written;";
    if (!Dialog->CheckBoxViewErrors->GetChecked() || !Dialog->CheckBoxViewWarnings->GetChecked() ||
        Dialog->CheckBoxViewEvents->GetChecked())
      pressed += " a report box was ticked;";
    if (pressed.empty())
      return testing::AssertionSuccess();
    Dialog->SetModalResult(mrNone);
    standin::ClearCallLog();
    TFileStream(IniPath(), fmCreate).WriteBuffer(defaults.data(), int(defaults.size()));
    Dialog->CheckBoxViewErrors->SetChecked(true);
    Dialog->CheckBoxViewWarnings->SetChecked(true);
    Dialog->CheckBoxViewEvents->SetChecked(false);
    return testing::AssertionFailure() << "pressed:" << pressed;
  };
  constexpr int row = 2;
  for (bool pad : {false, true}) {
    TStringGrid* grid = GridOf(pad);
    TComboBox* combo = ComboOf(pad);
    // As reported: the grid's accelerator, Down, Down, then the letters. The first layer
    // row is chosen off its default on the way, so that a reset or a save would show.
    PressAltKey(GetFocus(), pad ? 'P' : 'M');
    ASSERT_TRUE(grid->Focused()) << pad;
    if (!pad) {
      for (WORD key : {VK_F4, VK_DOWN, VK_RETURN})
        PressKey(GetFocus(), key);
      ASSERT_EQ(Cell(2, 0), "Mid Layer 1");
    }
    PressKey(GetFocus(), VK_DOWN);
    PressKey(GetFocus(), VK_DOWN);
    ASSERT_EQ(grid->GetRow(), row) << pad;
    ASSERT_FALSE(combo->GetVisible()) << pad;
    for (char letter : std::string("BOSARCLEWVMPDK")) {
      const std::string what = std::string(pad ? "pad stack, " : "layers, ") + letter;
      const int from = EntryOf(combo, grid->GetCells(2, row));
      ASSERT_GE(from, 0) << what;
      const int expected = EntryByLetter(combo, from, letter);
      const std::vector<TLayer> rowsBefore = Dialog->GetRowLayers();
      PressKey(GetFocus(), WORD(letter));
      EXPECT_TRUE(pressedNothing(rowsBefore, pad ? -1 : row)) << what;
      EXPECT_TRUE(grid->Focused()) << what;
      if (!grid->Focused())
        grid->SetFocus();
      EXPECT_EQ(grid->GetCells(2, row), combo->GetItems()->Get(expected)) << what;
      EXPECT_FALSE(combo->GetDroppedDown()) << what;
      if (!pad) {
        EXPECT_EQ(int(Dialog->GetRowLayers()[row]), expected) << what;
      }
    }
    // The letters stepped where entries begin with them (the layer names Bottom, Mechanical,
    // Drill and Keep Out; every letter of the pad stack's KIVO layers).
    EXPECT_EQ(grid->GetCells(2, row), pad ? "DRILL" : "Keep Out Layer");

    // Over the row its box shows, the box steps and shows the entry taken.
    Click(grid, CellCentre(grid, 2, row + 1));
    ASSERT_TRUE(combo->GetVisible()) << pad;
    ASSERT_TRUE(grid->Focused()) << pad;
    const int from = EntryOf(combo, grid->GetCells(2, row + 1));
    const char letter = pad ? 'O' : 'B';
    const std::string expected = combo->GetItems()->Get(EntryByLetter(combo, from, letter));
    const std::vector<TLayer> rowsBefore = Dialog->GetRowLayers();
    PressKey(GetFocus(), WORD(letter));
    EXPECT_TRUE(pressedNothing(rowsBefore, pad ? -1 : row + 1)) << pad;
    EXPECT_EQ(grid->GetCells(2, row + 1), expected) << pad;
    EXPECT_EQ(ComboText(combo), expected) << pad;
    EXPECT_TRUE(combo->GetVisible()) << pad;
    EXPECT_FALSE(combo->GetDroppedDown()) << pad;
  }
  EXPECT_EQ(Cell(2, 0), "Mid Layer 1");
  EXPECT_EQ(Cell(2, row), "Keep Out Layer");

  // With Alt the letters are the buttons' as before: Reset To Defaults, then OK.
  PressAltKey(GetFocus(), 'R');
  EXPECT_EQ(Cell(2, 0), "Top Layer");
  EXPECT_EQ(Cell(2, row), "Top Layer");
  // The import takes what the letters chose: the layer's host layer, the pad stack's rows.
  PressAltKey(GetFocus(), 'M');
  ASSERT_EQ(Dialog->StringGridAssociations->GetRow(), row + 1);
  const int stepped = EntryByLetter(Dialog->ComboBoxVarnokLayers, int(Dialog->GetRowLayers()[row + 1]), 'B');
  PressKey(GetFocus(), 'B');
  PressAltKey(GetFocus(), 'O');
  EXPECT_EQ(Dialog->GetModalResult(), mrOk);
  Dialog->ApplyLayerMap(&list);
  EXPECT_EQ(entries[row].GetHostLayer(), eTopLayer);
  EXPECT_EQ(int(entries[row + 1].GetHostLayer()), stepped);
  EXPECT_NE(stepped, int(eIgnoreLayer));
  PadStackMapRecord record;
  Dialog->GetPadStackMap(&record);
  EXPECT_EQ(record.Rows[row].Str(), "DRILL");
  EXPECT_EQ(record.Rows[row + 1].Str(), "OUTLINE");
  EXPECT_TRUE(Exceptions.Messages.empty());
}

// Fault: after Reset To Defaults (Alt+R) the box shown over the focused row showed no
// entry, though the row held its default; cause: the reset refilled the box's list, which
// loses its selection, and nothing selected the row's entry again. A configuration loaded
// while a box was shown left it showing the row's old entry, and the status counting the
// layers not mapped before the load; cause: the load wrote the cells alone. The box and
// the status show what the rows hold at every moment.
TEST_F(DialogTest, ACellsBoxShowsWhatItsRowHoldsAfterAResetOrALoadedConfiguration) {
  Load({"COMP", "SOLDER", "PADCOM", "PADSLD", "SLKSCR", "MYSTERY"});
  Show();
  constexpr int row = 4;  // SLKSCR, "Top Overlay"
  TStringGrid* grid = Dialog->StringGridAssociations;
  TComboBox* combo = Dialog->ComboBoxVarnokLayers;
  for (bool inBox : {false, true}) {
    // The row chosen off its default through its dropped list, the box over it with the
    // focus on the grid, or in the box.
    Click(grid, CellCentre(grid, 2, row));
    for (WORD key : {VK_F4, VK_DOWN, VK_RETURN})
      PressKey(GetFocus(), key);
    ASSERT_EQ(Cell(2, row), "Bottom Overlay") << inBox;
    ASSERT_TRUE(grid->Focused()) << inBox;
    if (inBox)
      PressKey(GetFocus(), VK_SPACE);
    ASSERT_TRUE(combo->GetVisible()) << inBox;
    ASSERT_EQ(combo->Focused(), inBox);
    PressAltKey(GetFocus(), 'R');
    EXPECT_EQ(Cell(2, row), "Top Overlay") << inBox;
    EXPECT_TRUE(combo->GetVisible()) << inBox;
    EXPECT_EQ(combo->GetItemIndex(), int(eTopOverlay)) << inBox;
    EXPECT_EQ(ComboText(combo), "Top Overlay") << inBox;
    EXPECT_EQ(combo->GetItems()->GetCount(), 75) << inBox;
    PressKey(GetFocus(), VK_ESCAPE);  // from the box to the grid; on the grid, Cancel
    Dialog->SetModalResult(mrNone);
  }

  // A configuration loaded (Alt+L) while each grid's box is shown over a row it changes,
  // one for each grid.
  ASSERT_EQ(Status(), "1 layers not mapped.");
  for (bool pad : {false, true}) {
    const std::string cfg = OptionsFolder() + (pad ? "pads.cfg" : "layers.cfg");
    if (pad) {
      TIniFile(cfg).WriteString("PadStack", "Bottom Layer", "SLKSCR");
    } else {
      TIniFile(cfg).WriteString("Layer", "SLKSCR", "Bottom Layer");
      TIniFile(cfg).WriteString("Layer", "MYSTERY", "Top Layer");
    }
    TStringGrid* shown = GridOf(pad);
    TComboBox* box = ComboOf(pad);
    const int changed = pad ? 2 : row;
    const std::string expected = pad ? "SLKSCR" : "Bottom Layer";
    Click(shown, CellCentre(shown, 2, changed));
    ASSERT_TRUE(box->GetVisible()) << pad;
    ASSERT_NE(ComboText(box), expected) << pad;
    standin::QueueAnswer("Result=True|Path=" + cfg);
    PressAltKey(GetFocus(), 'L');
    EXPECT_EQ(shown->GetCells(2, changed), expected) << pad;
    EXPECT_TRUE(box->GetVisible()) << pad;
    EXPECT_EQ(ComboText(box), expected) << pad;
    EXPECT_EQ(box->GetItemIndex(), EntryOf(box, expected)) << pad;
    EXPECT_EQ(Status(), "All layers mapped.") << pad;
  }
  EXPECT_EQ(Dialog->GetModalResult(), mrNone);
  EXPECT_TRUE(Exceptions.Messages.empty());
}
