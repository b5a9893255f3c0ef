// The options dialog on a shown, non-modal form driven by messages and handler calls,
// its settings files under a redirected user folder, the file-dialog requests it sends
// through the PCB server to the host, and modal runs answered by UI automation.
#include <gtest/gtest.h>

#include <cctype>
#include <memory>
#include <string>
#include <vector>

#include "classlib/Automation.h"
#include "classlib/FileUtils.h"
#include "classlib/IniFiles.h"
#include "classlib/Streams.h"
#include "host/Utilities.h"
#include "importer/ImportSettings.h"
#include "importer/KivoObject.h"
#include "importer/ReportManager.h"
#include "importer/UserOptions.h"
#include "standin/host/DiskFull.h"
#include "standin/host/StandinHost.h"
#include "tests/controls/ControlsTestSupport.h"
#include "tests/options/OptionsTestSupport.h"
#include "tests/support/MemoryRecorder.h"
#include "tests/support/TestSupport.h"

namespace {

// The pixels of `wnd`'s client area in `r`, read through its DC.
std::vector<uint32_t> WindowPixels(HWND wnd, const TRect& r) {
  TDibSurface surface(r.right - r.left, r.bottom - r.top);
  HDC dc = GetDC(wnd);
  BitBlt(surface.DC(), 0, 0, surface.Width(), surface.Height(), dc, r.left, r.top, SRCCOPY);
  ReleaseDC(wnd, dc);
  GdiFlush();
  std::vector<uint32_t> pixels;
  for (int y = 0; y < surface.Height(); ++y)
    for (int x = 0; x < surface.Width(); ++x)
      pixels.push_back(surface.Color(x, y));
  return pixels;
}

// What `control` shows on the screen now, read through its window's DC.
std::vector<uint32_t> OnScreen(TWinControl* control) {
  return WindowPixels(control->GetHandle(), TRect{0, 0, control->GetWidth(), control->GetHeight()});
}

int Differences(const std::vector<uint32_t>& a, const std::vector<uint32_t>& b) {
  int count = std::abs(int(a.size()) - int(b.size()));
  for (size_t i = 0; i < std::min(a.size(), b.size()); ++i)
    count += a[i] != b[i];
  return count;
}

// What `control` shows once its whole window is drawn again.
std::vector<uint32_t> RedrawnOnScreen(TWinControl* control) {
  RedrawWindow(control->GetHandle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
  PumpPending();
  return OnScreen(control);
}

std::string IniValue(const std::string& path, const std::string& section, const std::string& key) {
  TIniFile ini(path);
  return ini.ReadString(section, key, "<none>");
}

TEST_F(SettingsTest, FirstUseCreatesTheSettingsFileWithTheBuiltInRows) {
  EXPECT_EQ(ImportSettingsFileName().Str(), IniPath());
  ASSERT_FALSE(FileExists(IniPath()));
  const TLayerMap map = LoadDefaultLayerMap();
  ASSERT_EQ(map.size(), 77u);
  EXPECT_EQ(map.front().Name, "PADCOM");
  EXPECT_EQ(map.back().Name, "$$NULL");
  ASSERT_TRUE(FileExists(IniPath()));
  TIniFile ini(IniPath());
  EXPECT_EQ(ini.ReadSectionKeys("Layer").size(), 77u);
  EXPECT_EQ(IniValue(IniPath(), "Layer", "PADCOM"), "Top Layer");
  EXPECT_EQ(IniValue(IniPath(), "Layer", "PWRMRG"), "Internal Plane 4");
  EXPECT_EQ(IniValue(IniPath(), "Layer", "$$NULL"), "Any Layer");
  // Read back from the file the second time, with the same result.
  const TLayerMap again = LoadDefaultLayerMap();
  ASSERT_EQ(again.size(), 77u);
  EXPECT_EQ(FindMappedLayer(again, "padcom"), eTopLayer);
  EXPECT_EQ(FindMappedLayer(again, "FLINT"), eMultiLayer);
  EXPECT_EQ(FindMappedLayer(again, "$$NULL"), eIgnoreLayer);
}

TEST_F(SettingsTest, AnExistingFileIsTheWholeDefaultMap) {
  TIniFile(IniPath()).WriteString("Layer", "PADCOM", "Bottom Layer");
  TIniFile(IniPath()).WriteString("Layer", "ODD", "No Such Layer");
  const TLayerMap map = LoadDefaultLayerMap();
  ASSERT_EQ(map.size(), 2u);
  EXPECT_EQ(FindMappedLayer(map, "PADCOM"), eBottomLayer);
  EXPECT_EQ(FindMappedLayer(map, "ODD"), eIgnoreLayer);
  EXPECT_EQ(FindMappedLayer(map, "PADSLD"), eIgnoreLayer);
}

TEST_F(SettingsTest, DamagedSettingsFileIsReadAsFarAsItMakesSense) {
  const std::string damaged = std::string("[Layer]\r\nPADCOM=Bottom Layer\r\n=x\r\nNOEQUALS\r\n") +
                              "[broken\r\n\xff\xfe\x01garbage=\x80\r\n" + std::string(3, '\0') +
                              "\r\n[Layer\r\n";
  ForceDirectories(ExtractFilePath(IniPath()));
  {
    TFileStream file(IniPath(), fmCreate);
    file.WriteBuffer(damaged.data(), static_cast<int>(damaged.size()));
  }
  const TLayerMap map = LoadDefaultLayerMap();
  EXPECT_EQ(FindMappedLayer(map, "PADCOM"), eBottomLayer);
  EXPECT_EQ(FindMappedLayer(map, "NOEQUALS"), eIgnoreLayer);
  EXPECT_TRUE(Exceptions.Messages.empty());
}

// Fault: the built-in rows were written as they were made, so a settings folder that
// could not be made raised and no import could go on.
TEST_F(SettingsTest, ASettingsFolderThatCannotBeMadeStillGivesTheBuiltInRows) {
  const std::string blocker = OptionsFolder() + "blocker";
  {
    TFileStream file(blocker, fmCreate);  // a file where the folder would have to be
  }
  RedirectUserDataFolder(blocker + "\\profile");
  TLayerMap map;
  try {
    map = LoadDefaultLayerMap();
  } catch (const std::exception& error) {
    ADD_FAILURE() << "settings folder that cannot be made: " << error.what();
  }
  EXPECT_EQ(map.size(), 77u);
  EXPECT_EQ(FindMappedLayer(map, "PADCOM"), eTopLayer);
  EXPECT_FALSE(FileExists(blocker + "\\profile\\Zorvan\\LoadKIVO.ini"));
}

// Fault: a "LoadKIVO.ini" that is a folder was passed over without a word: taken for a
// missing file, the built-in rows were to be written there, and nobody learnt why the
// map was not read. It is told as the other files that cannot be read are.
TEST_F(SettingsTest, ASettingsFileThatIsAFolderGivesTheBuiltInRowsAndWhy) {
  ForceDirectories(IniPath());
  std::string problem = "stale";
  const TLayerMap map = LoadDefaultLayerMap(&problem);
  EXPECT_TRUE(DirectoryExists(IniPath()));
  RemoveDirectoryA(IniPath().c_str());
  EXPECT_EQ(map.size(), 77u);
  EXPECT_EQ(FindMappedLayer(map, "PADCOM"), eTopLayer);
  EXPECT_EQ(problem, "it is a folder, not a file");
}

// A key given twice in "LoadKIVO.ini" (only a hand edit makes one: a save writes over
// the first) is read as the system's own profile functions read it: the first of the key
// in the first section of the name. Kept so on purpose: stored files are read as they
// always were, and a save changes the entry that is read. Configurations read alike.
TEST_F(SettingsTest, AKeyGivenTwiceIsReadAsTheSystemReadsIt) {
  const std::string text =
      "[Layer]\r\nPADCOM=Bottom Layer\r\npadcom=Top Layer\r\nFLCOMP=Top Overlay\r\n"
      "[layer]\r\nFLCOMP=Bottom Layer\r\nPADSLD=Top Layer\r\n";
  ForceDirectories(ExtractFilePath(IniPath()));
  {
    TFileStream file(IniPath(), fmCreate);
    file.WriteBuffer(text.data(), static_cast<int>(text.size()));
  }
  const TLayerMap map = LoadDefaultLayerMap();
  for (const char* name : {"PADCOM", "FLCOMP", "PADSLD"}) {
    char value[64] = "";
    GetPrivateProfileStringA("Layer", name, "Not Imported", value, sizeof value, IniPath().c_str());
    EXPECT_EQ(MappedLayerText(FindMappedLayer(map, name)), value) << name;
  }
  EXPECT_EQ(FindMappedLayer(map, "PADCOM"), eBottomLayer);
}

// Fault: a "LoadKIVO.ini" far larger than any settings file (1.6 GB) was read whole and
// failed the import as an unknown error of the KIVO file; one of random bytes, Unicode
// text or NULs made every layer "Not Imported" without a word. Such a file is refused
// (the large one unread), left as it is, and the built-in rows serve, with the reason.
// A [Layer] section without keys is still the user's map.
TEST_F(SettingsTest, ASettingsFileThatHoldsNoLayerMapGivesTheBuiltInRowsAndWhy) {
  ForceDirectories(ExtractFilePath(IniPath()));
  std::string noise(65536, '\0');
  uint32_t seed = 7;
  for (char& c : noise)
    c = static_cast<char>((seed = seed * 1103515245u + 12345u) >> 24);
  std::string unicode = "\xFF\xFE";
  for (char c : std::string("[Layer]\r\nPADCOM=Bottom Layer\r\n"))
    unicode += std::string(1, c) + '\0';
  const std::string noSection = "it holds no [Layer] section (it may be damaged, or saved as Unicode text)";
  const struct {
    const char* Name;
    std::string Bytes;
    int64_t SparseSize;  // instead of the bytes
    std::string Problem;
  } cases[] = {
      {"1.6 GB", "", 1600ll << 20, "it is larger than 16 MB, far more than any settings file holds"},
      {"random bytes", noise, 0, noSection},
      {"Unicode text", unicode, 0, noSection},
      {"NULs", std::string(1 << 20, '\0'), 0, noSection},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Name);
    {
      TFileStream file(IniPath(), fmCreate);
      file.WriteBuffer(c.Bytes.data(), static_cast<int>(c.Bytes.size()));
      if (c.SparseSize > 0)
        file.SetSize(c.SparseSize);
    }
    std::string problem = "stale";
    const TLayerMap map = LoadDefaultLayerMap(&problem);
    EXPECT_EQ(map.size(), 77u);
    EXPECT_EQ(FindMappedLayer(map, "PADCOM"), eTopLayer);
    EXPECT_EQ(problem, c.Problem);
    TFileStream file(IniPath(), fmOpenRead);
    EXPECT_EQ(file.GetSize(), c.SparseSize > 0 ? c.SparseSize : int64_t(c.Bytes.size()));
  }
  DeleteFile(IniPath());

  {
    TFileStream file(IniPath(), fmCreate);
    file.WriteBuffer("[Layer]\r\n", 9);
  }
  std::string problem = "stale";
  EXPECT_TRUE(LoadDefaultLayerMap(&problem).empty());
  EXPECT_EQ(problem, "");
}

// ---- The dialog, shown non-modal --------------------------------------------------------

TEST_F(DialogTest, TheGridShowsTheDefaultsAndTheStatusCountsUnmappedRows) {
  Load({"PADCOM", "FLINT1", "PINTOP"});
  Show();
  EXPECT_EQ(Dialog->Label1FileName->GetCaption(), "demo.pdf");
  ASSERT_EQ(Dialog->StringGridAssociations->GetRowCount(), 3);
  EXPECT_EQ(Cell(0, 0), "PADCOM");
  EXPECT_EQ(Cell(1, 0), "=>");
  EXPECT_EQ(Cell(2, 0), "Top Layer");
  EXPECT_EQ(Cell(2, 1), "Mid Layer 1");
  EXPECT_EQ(Status(), "All layers mapped.");
  EXPECT_EQ(Dialog->GetRowLayers(), (std::vector<TLayer>{eTopLayer, eMidLayer1, eTopLayer}));
  EXPECT_EQ(Dialog->ComboBoxVarnokLayers->GetItems()->GetCount(), 75);
  EXPECT_EQ(Dialog->ComboBoxVarnokLayers->GetItems()->Get(0), "Not Imported");
  EXPECT_EQ(Dialog->ComboBoxVarnokLayers->GetItems()->Get(74), "Multi Layer");
}

TEST_F(DialogTest, LayersAbsentFromTheDefaultsAreNotImported) {
  Load({"PADCOM", "MYSTERY", "$$NULL"});
  Show();
  EXPECT_EQ(Cell(2, 1), "Not Imported");
  EXPECT_EQ(Cell(2, 2), "Not Imported");
  EXPECT_EQ(Status(), "2 layers not mapped.");
}

// Regression: the row layers lived in a fixed table of 148, written past by longer files.
TEST_F(DialogTest, MoreLayerRowsThanTheOldTableHeldAreAllKept) {
  TStringList list;
  for (int i = 0; i < 300; ++i)
    list.Add("L" + std::to_string(i));
  list.Add("PADCOM");
  Dialog->LoadLayers(&list);
  ASSERT_EQ(Dialog->GetRowLayers().size(), 301u);
  EXPECT_EQ(Dialog->GetRowLayers().back(), eTopLayer);
  EXPECT_EQ(Status(), "300 layers not mapped.");
}

TEST_F(DialogTest, ChoosingAComboEntryUpdatesCellRowLayerAndStatus) {
  Load({"PADCOM", "MYSTERY"});
  Show();
  TStringGrid* grid = Dialog->StringGridAssociations;
  TComboBox* combo = Dialog->ComboBoxVarnokLayers;
  ClickCell(grid, 1, false);
  ASSERT_TRUE(combo->GetVisible());
  EXPECT_EQ(combo->GetLeft(), grid->GetLeft() + 2 + 103 + 20);
  EXPECT_EQ(combo->GetTop(), grid->GetTop() + 2 + grid->CellRect(2, 1).top);
  EXPECT_EQ(combo->GetItemIndex(), 0);  // "Not Imported"
  combo->SetItemIndex(eBottomLayer);
  Dialog->ComboBoxVarnokLayersChange(combo);
  EXPECT_EQ(Cell(2, 1), "Bottom Layer");
  EXPECT_EQ(Dialog->ComboBoxVarnokLayers->GetState(), eBottomLayer);
  EXPECT_EQ(Dialog->GetRowLayers()[1], eBottomLayer);
  EXPECT_EQ(Status(), "All layers mapped.");
  // A row already mapped selects its layer's entry; a click elsewhere hides the box.
  ClickCell(grid, 0, false);
  EXPECT_EQ(combo->GetItemIndex(), int(eTopLayer));
  combo->SetItemIndex(0);
  Dialog->ComboBoxVarnokLayersChange(combo);
  EXPECT_EQ(Cell(2, 0), "Not Imported");
  EXPECT_EQ(Dialog->GetRowLayers()[0], eIgnoreLayer);
  EXPECT_EQ(Status(), "1 layers not mapped.");
  const TRect name = grid->CellRect(0, 0);
  Dialog->StringGridAssociationsMouseDown(grid, mbLeft, {}, name.left + 3, name.top + 3);
  EXPECT_FALSE(combo->GetVisible());
  EXPECT_TRUE(Exceptions.Messages.empty());
}

TEST_F(DialogTest, ApplyLayerMapHandsEachRowsLayerToItsEntry) {
  KivoLayerEntry padcom(1), mystery(2, eTopOverlay);
  TStringList list;
  list.AddObject("PADCOM", &padcom);
  list.AddObject("MYSTERY", &mystery);
  Dialog->LoadLayers(&list);
  Show();
  Dialog->ApplyLayerMap(&list);
  EXPECT_EQ(padcom.GetHostLayer(), eTopLayer);
  EXPECT_EQ(mystery.GetHostLayer(), eIgnoreLayer);
  EXPECT_EQ(padcom.GetKivoLayerId(), 1);
  Dialog->ApplyLayerMap(nullptr);
}

TEST_F(DialogTest, ScrollingOrMovingTheGridHidesTheCombo) {
  ShowWithLayers(40);
  TStringGrid* grid = Dialog->StringGridAssociations;
  ClickCell(grid, 0, false);
  ASSERT_TRUE(Dialog->ComboBoxVarnokLayers->GetVisible());
  grid->Perform(WM_VSCROLL, SB_LINEDOWN, 0);
  EXPECT_FALSE(Dialog->ComboBoxVarnokLayers->GetVisible());
  ClickCell(grid, 2, false);
  ASSERT_TRUE(Dialog->ComboBoxVarnokLayers->GetVisible());
  Dialog->StringGridAssociationsMoved(grid, 1, 2);
  EXPECT_FALSE(Dialog->ComboBoxVarnokLayers->GetVisible());
}

TEST_F(DialogTest, GridAndComboKeys) {
  Load({"PADCOM", "MYSTERY"});
  Show();
  TStringGrid* grid = Dialog->StringGridAssociations;
  TComboBox* combo = Dialog->ComboBoxVarnokLayers;
  grid->SetFocus();
  grid->SetRow(1);
  WORD key = VK_F4;
  Dialog->StringGridAssociationsKeyDown(grid, key, {});
  EXPECT_TRUE(combo->GetVisible());
  EXPECT_TRUE(combo->Focused());
  EXPECT_TRUE(combo->GetDroppedDown());
  combo->SetDroppedDown(false);
  for (WORD back : {WORD(VK_RETURN), WORD(VK_ESCAPE), WORD(VK_TAB)}) {
    combo->SetFocus();
    key = back;
    Dialog->ComboBoxKeyDown(combo, key, {});
    EXPECT_TRUE(grid->Focused()) << back;
  }
  key = VK_SPACE;
  Dialog->StringGridAssociationsKeyDown(grid, key, {});
  EXPECT_TRUE(combo->Focused());
  EXPECT_FALSE(combo->GetDroppedDown());
  grid->SetFocus();
  key = VK_DOWN;
  Dialog->StringGridAssociationsKeyDown(grid, key, {ssAlt});
  EXPECT_TRUE(combo->GetDroppedDown());
  combo->SetDroppedDown(false);
  key = VK_RETURN;
  Dialog->StringGridAssociationsKeyDown(grid, key, {});
  EXPECT_EQ(Dialog->GetModalResult(), mrOk);
  key = VK_ESCAPE;
  Dialog->StringGridAssociationsKeyDown(grid, key, {});
  EXPECT_EQ(Dialog->GetModalResult(), mrCancel);
  EXPECT_TRUE(Exceptions.Messages.empty());
}

// Fault: OK was no default button, so once the focus left the buttons (into "Detail
// Level") no button showed the default frame and Enter did nothing.
TEST_F(DialogTest, EnterInTheDetailLevelListEndsTheDialogWithOk) {
  Load({"PADCOM", "MYSTERY"});
  Show();
  Dialog->ComboBoxDetailLevel->SetFocus();
  ASSERT_TRUE(Dialog->ComboBoxDetailLevel->Focused());
  EXPECT_EQ(GetWindowLongA(Dialog->ButtonOK->GetHandle(), GWL_STYLE) & BS_TYPEMASK, BS_DEFPUSHBUTTON);
  PressKey(Dialog->ComboBoxDetailLevel->GetHandle(), VK_RETURN);
  EXPECT_EQ(Dialog->GetModalResult(), mrOk);

  // In a cell's combo box Enter, Esc and Tab go back to the grid and end nothing.
  TStringGrid* grid = Dialog->StringGridAssociations;
  TComboBox* combo = Dialog->ComboBoxVarnokLayers;
  Dialog->SetModalResult(mrNone);
  grid->SetFocus();
  grid->SetRow(1);
  WORD key = VK_SPACE;
  Dialog->StringGridAssociationsKeyDown(grid, key, {});
  ASSERT_TRUE(combo->Focused());
  for (WORD back : {WORD(VK_RETURN), WORD(VK_ESCAPE), WORD(VK_TAB)}) {
    combo->SetFocus();
    PressKey(combo->GetHandle(), back);
    EXPECT_TRUE(grid->Focused()) << back;
    EXPECT_EQ(Dialog->GetModalResult(), mrNone) << back;
  }
  EXPECT_TRUE(Exceptions.Messages.empty());
}

// The window a person sees at `point` of `control`.
HWND WindowSeenAt(TWinControl* control, TPoint point) {
  POINT screen{point.x, point.y};
  ClientToScreen(control->GetHandle(), &screen);
  return WindowFromPoint(screen);
}

// Fault: a cell's combo box stayed over the row it was opened on: the arrow keys moved
// the focused cell elsewhere, and after leaving the grid and coming back it still
// covered the focused cell; cause: only scrolling and clicks in the grid hid it.
TEST_F(DialogTest, ACellsComboStaysOnlyOverTheFocusedCellWhileItsGridHasTheFocus) {
  Load({"PADCOM", "MYSTERY", "DRILL", "PADSLD"});
  Show();
  for (bool pad : {false, true}) {
    TStringGrid* grid = pad ? Dialog->StringGridPadStack : Dialog->StringGridAssociations;
    TComboBox* combo = pad ? Dialog->ComboBoxPadStack : static_cast<TComboBox*>(Dialog->ComboBoxVarnokLayers);
    // Opened on row 1 and closed again with Enter: it stays over the focused cell.
    Click(grid, CellCentre(grid, 2, 1));
    ASSERT_TRUE(grid->Focused()) << pad;
    ASSERT_TRUE(combo->GetVisible()) << pad;
    PressKey(grid->GetHandle(), VK_F4);
    ASSERT_TRUE(combo->GetDroppedDown()) << pad;
    combo->SetDroppedDown(false);
    PressKey(GetFocus(), VK_RETURN);
    ASSERT_TRUE(grid->Focused()) << pad;
    EXPECT_TRUE(combo->GetVisible()) << pad;
    // The focused cell moves on: the box goes.
    PressKey(grid->GetHandle(), VK_DOWN);
    EXPECT_EQ(grid->GetRow(), 2) << pad;
    EXPECT_FALSE(combo->GetVisible()) << pad;

    // Opened on row 2, then the focus leaves the grid as a click elsewhere takes it, and
    // comes back: the focused cell is uncovered.
    Click(grid, CellCentre(grid, 2, 2));
    ASSERT_TRUE(combo->GetVisible()) << pad;
    Dialog->CheckBoxViewEvents->SetFocus();
    EXPECT_FALSE(combo->GetVisible()) << pad;
    grid->SetFocus();
    EXPECT_EQ(WindowSeenAt(grid, CellCentre(grid, grid->GetCol(), grid->GetRow())), grid->GetHandle()) << pad;

    // The same when the focus leaves from the box itself.
    PressKey(grid->GetHandle(), VK_SPACE);
    ASSERT_TRUE(combo->GetVisible()) << pad;
    ASSERT_FALSE(grid->Focused()) << pad;
    Dialog->ButtonOK->SetFocus();
    EXPECT_FALSE(combo->GetVisible()) << pad;
  }
  EXPECT_EQ(Dialog->GetModalResult(), mrNone);
  EXPECT_TRUE(Exceptions.Messages.empty());
}

// Posts `notches` wheel notches toward the user to the focus window with the pointer at
// `point` of `control`, as Windows sends them, and lets the application handle them.
void RollWheelDown(TWinControl* control, TPoint point, int notches) {
  const TPoint screen = control->ClientToScreen(point);
  for (int i = 0; i < notches; ++i)
    PostMessageA(GetFocus(), WM_MOUSEWHEEL, MAKEWPARAM(0, WORD(-WHEEL_DELTA)), MAKELPARAM(screen.x, screen.y));
  Application->ProcessMessages();
}

// Fault: six wheel notches over a focused grid changed nothing, and over the grid while
// its cell's combo box had the focus they changed the cell's entry instead; cause: the
// grid left the wheel to the default window procedure, and the box kept what it was sent.
TEST_F(DialogTest, SixWheelNotchesOverAFocusedGridMoveItsCurrentRow) {
  ShowWithLayers(40);
  for (bool pad : {false, true}) {
    TStringGrid* grid = pad ? Dialog->StringGridPadStack : Dialog->StringGridAssociations;
    TComboBox* combo = pad ? Dialog->ComboBoxPadStack : static_cast<TComboBox*>(Dialog->ComboBoxVarnokLayers);
    grid->SetFocus();
    grid->SetRow(0);
    RollWheelDown(grid, CellCentre(grid, 0, 0), 6);
    EXPECT_EQ(grid->GetRow(), 6) << pad;
    EXPECT_EQ(WindowSeenAt(grid, CellCentre(grid, 0, 6)), grid->GetHandle()) << pad;

    PressKey(grid->GetHandle(), VK_SPACE);
    ASSERT_TRUE(combo->GetVisible()) << pad;
    ASSERT_FALSE(grid->Focused()) << pad;
    const std::string entry = grid->GetCells(2, 6);
    RollWheelDown(grid, CellCentre(grid, 0, 6), 6);
    EXPECT_TRUE(grid->Focused()) << pad;
    EXPECT_EQ(grid->GetRow(), 12) << pad;
    EXPECT_EQ(grid->GetCells(2, 6), entry) << pad;
    EXPECT_FALSE(combo->GetVisible()) << pad;
  }
  EXPECT_TRUE(Exceptions.Messages.empty());
}

// Fault: Alt+M ("Layer &Mapping") did nothing while Alt+P ("&Pad Stack Mapping") moved
// to its grid; cause: the layer label had no focus control.
TEST_F(DialogTest, EachMappingLabelsAcceleratorTakesTheFocusToItsGrid) {
  Load({"PADCOM"});
  Show();
  Dialog->ButtonOK->SetFocus();
  PressAltKey(GetFocus(), 'M');
  EXPECT_TRUE(Dialog->StringGridAssociations->Focused());
  PressAltKey(GetFocus(), 'P');
  EXPECT_TRUE(Dialog->StringGridPadStack->Focused());
  PressAltKey(GetFocus(), 'M');
  EXPECT_TRUE(Dialog->StringGridAssociations->Focused());
  EXPECT_TRUE(Exceptions.Messages.empty());
}

// Fault: a check box reached by its accelerator (Alt+E) showed no focus rectangle until
// the next key, and every other tick by Space hid it again; cause: ticking lets the
// system draw only the mark, toggling the rectangle as it goes. What the box shows is
// what a whole drawing of the focused box shows.
TEST_F(DialogTest, ACheckBoxTickedByTheKeyboardShowsItsFocusRectangle) {
  Load({"PADCOM"});
  Show();
  TCheckBox* box = Dialog->CheckBoxViewErrors;
  ASSERT_TRUE(box->GetChecked());
  Dialog->ButtonOK->SetFocus();
  PressAltKey(GetFocus(), 'E');
  ASSERT_TRUE(box->Focused());
  EXPECT_FALSE(box->GetChecked());
  const std::vector<uint32_t> focused = OnScreen(box);
  EXPECT_EQ(Differences(focused, RedrawnOnScreen(box)), 0);
  for (int i = 0; i < 3; ++i) {
    PressKey(box->GetHandle(), VK_SPACE);
    EXPECT_EQ(box->GetChecked(), i % 2 == 0) << i;
    EXPECT_EQ(Differences(OnScreen(box), RedrawnOnScreen(box)), 0) << "after Space " << i;
  }
  // The whole drawing does show a rectangle: without the focus the box looks otherwise.
  Dialog->ButtonOK->SetFocus();
  PumpPending();
  box->SetChecked(false);
  EXPECT_NE(Differences(focused, RedrawnOnScreen(box)), 0);
  EXPECT_TRUE(Exceptions.Messages.empty());
}

// Reported: the dropped layer list of the top rows (COMP, SOLDER, PADCOM) showed black;
// cause: the capture, xwd shows a popup lying wholly over two lower windows black here.
// The list is read from the screen over its rectangle, as a person sees it: its border,
// its selected first row and an unselected row have the colours it paints with.
TEST_F(DialogTest, TheDroppedLayerListPaintsForTopAndLowerRows) {
  Load({"COMP", "SOLDER", "PADCOM", "PADSLD", "PADINT", "DRILL", "SLKSCR"});
  Show();
  TStringGrid* grid = Dialog->StringGridAssociations;
  TComboBox* combo = Dialog->ComboBoxVarnokLayers;
  for (int row : {0, 1, 2, 6}) {
    grid->SetFocus();
    grid->SetRow(row);
    WORD key = VK_F4;
    Dialog->StringGridAssociationsKeyDown(grid, key, {});
    ASSERT_TRUE(combo->GetDroppedDown()) << row;
    COMBOBOXINFO info{};
    info.cbSize = sizeof info;
    ASSERT_TRUE(GetComboBoxInfo(combo->GetHandle(), &info));
    PumpUntil([] { return false; }, 200);
    HWND list = info.hwndList;
    // The list shows the row's layer as its first, selected item.
    EXPECT_EQ(SendMessageA(list, LB_GETTOPINDEX, 0, 0), combo->GetItemIndex()) << row;
    RECT r{};
    GetWindowRect(list, &r);
    TDibSurface surface(r.right - r.left, r.bottom - r.top);
    HDC screen = GetDC(nullptr);
    BitBlt(surface.DC(), 0, 0, surface.Width(), surface.Height(), screen, r.left, r.top, SRCCOPY);
    ReleaseDC(nullptr, screen);
    GdiFlush();
    RECT client{};
    GetClientRect(list, &client);
    POINT origin{0, 0};
    ClientToScreen(list, &origin);
    const int left = origin.x - r.left, top = origin.y - r.top;
    const int itemHeight = int(SendMessageA(list, LB_GETITEMHEIGHT, 0, 0));
    // Right in each row, clear of the item texts.
    const int x = left + client.right - 3;
    EXPECT_EQ(surface.Color(0, 0), GetSysColor(COLOR_WINDOWFRAME)) << "row " << row << ": border";
    EXPECT_EQ(surface.Color(surface.Width() - 1, surface.Height() - 1), GetSysColor(COLOR_WINDOWFRAME)) << row;
    EXPECT_EQ(surface.Color(x, top + itemHeight / 2), GetSysColor(COLOR_HIGHLIGHT)) << "row " << row << ": selection";
    EXPECT_EQ(surface.Color(x, top + itemHeight + itemHeight / 2), GetSysColor(COLOR_WINDOW))
        << "row " << row << ": background";
    combo->SetDroppedDown(false);
    combo->SetVisible(false);
  }
}

// Posts Tab to the focused window with `held` keys down and lets the application
// handle it; answers the control that has the focus then.
TWinControl* PressTab(std::initializer_list<int> held = {}) {
  TKeysHeld keys(held);
  PressKey(GetFocus(), VK_TAB);
  return FindControl(GetFocus());
}

// Fault: Tab, Shift+Tab and Ctrl+Tab never left the two grids, so the check boxes and
// the panel's buttons could not be reached by Tab; cause: each grid wanted every Tab.
TEST_F(DialogTest, TabGoesThroughEveryControlAndThroughBothGridsCellByCell) {
  Load({"PADCOM", "MYSTERY"});
  Show();
  TStringGrid* layers = Dialog->StringGridAssociations;
  TStringGrid* pads = Dialog->StringGridPadStack;
  Dialog->ButtonOK->SetFocus();
  // Round from OK: each control once, each grid for as many presses as it has cells.
  std::vector<std::string> order;
  int inLayers = 0, inPads = 0;
  for (int i = 0; i < 100 && (order.empty() || order.back() != "ButtonOK"); ++i) {
    TWinControl* focused = PressTab();
    ASSERT_NE(focused, nullptr);
    inLayers += focused == layers;
    inPads += focused == pads;
    if (order.empty() || order.back() != focused->GetName())
      order.push_back(focused->GetName());
  }
  EXPECT_EQ(order, (std::vector<std::string>{"ButtonCancel", "PageControl1", "StringGridAssociations",
                                              "CheckBoxViewErrors", "CheckBoxViewWarnings", "CheckBoxViewEvents",
                                              "ComboBoxDetailLevel", "StringGridPadStack", "ButtonResetDefaults",
                                              "ButtonSaveDefaults", "ButtonLoadConfig", "ButtonSaveConfig",
                                              "ButtonOK"}));
  EXPECT_EQ(inLayers, 2 * 3);
  EXPECT_EQ(inPads, 16 * 3);

  // Back by Shift+Tab into the layer grid's last cell, through its cells and out.
  Dialog->CheckBoxViewErrors->SetFocus();
  EXPECT_EQ(PressTab({VK_SHIFT}), layers);
  EXPECT_EQ(std::make_pair(layers->GetCol(), layers->GetRow()), std::make_pair(2, 1));
  for (int i = 0; i < 5; ++i)
    EXPECT_EQ(PressTab({VK_SHIFT}), layers) << i;
  EXPECT_EQ(PressTab({VK_SHIFT}), Dialog->PageControl1);

  // Ctrl+Tab leaves from a cell in the middle, either way.
  pads->SetFocus();
  pads->SetRow(7);
  EXPECT_EQ(PressTab({VK_CONTROL}), Dialog->ButtonResetDefaults);
  pads->SetFocus();
  EXPECT_EQ(PressTab({VK_CONTROL, VK_SHIFT}), Dialog->ComboBoxDetailLevel);
  EXPECT_EQ(Dialog->GetModalResult(), mrNone);
  EXPECT_TRUE(Exceptions.Messages.empty());
}

// Fault: with a cell's combo box open, neither Ctrl+Tab in it nor Tab from the grid's
// last cell left the grid; cause: every Tab in the box returned to the grid, which kept
// every Tab, and the box was a tab stop right after its grid. Tab and Shift+Tab in the
// box return to the grid; Ctrl+Tab leaves the grid either way, as from a cell.
TEST_F(DialogTest, TabInACellsComboReturnsToTheGridAndCtrlTabLeavesIt) {
  Load({"PADCOM", "MYSTERY", "DRILL"});
  Show();
  TStringGrid* grid = Dialog->StringGridAssociations;
  TComboBox* combo = Dialog->ComboBoxVarnokLayers;
  auto openOn = [&](int row) {
    Click(grid, CellCentre(grid, 2, row));
    PressKey(grid->GetHandle(), VK_SPACE);
    return combo->Focused();
  };
  const struct {
    int Row;
    std::initializer_list<int> Held;
    TWinControl* Next;
  } cases[] = {
      {1, {}, grid},
      {1, {VK_SHIFT}, grid},
      {2, {}, grid},
      {2, {VK_SHIFT}, grid},
      {1, {VK_CONTROL}, Dialog->CheckBoxViewErrors},
      {1, {VK_CONTROL, VK_SHIFT}, Dialog->PageControl1},
  };
  for (const auto& c : cases) {
    ASSERT_TRUE(openOn(c.Row)) << c.Row;
    EXPECT_EQ(PressTab(c.Held), c.Next) << c.Row << " " << c.Held.size();
    EXPECT_EQ(combo->GetVisible(), c.Next == grid) << c.Row << " " << c.Held.size();
  }
  // Back in the last cell with the box over it, Tab goes on past the box.
  ASSERT_TRUE(openOn(2));
  EXPECT_EQ(PressTab(), grid);
  ASSERT_TRUE(combo->GetVisible());
  EXPECT_EQ(PressTab(), Dialog->CheckBoxViewErrors);
  EXPECT_EQ(Dialog->GetModalResult(), mrNone);
  EXPECT_TRUE(Exceptions.Messages.empty());
}

// The list `combo` drops.
HWND DroppedList(TComboBox* combo) {
  COMBOBOXINFO info{};
  info.cbSize = sizeof info;
  GetComboBoxInfo(combo->GetHandle(), &info);
  return info.hwndList;
}

// The middle of entry `index` of a dropped list, in the list's client coordinates.
TPoint EntryCentre(HWND list, int index) {
  RECT r{};
  SendMessageA(list, LB_GETITEMRECT, WPARAM(index), reinterpret_cast<LPARAM>(&r));
  return TPoint{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
}

// Posts a mouse message to `wnd` with the pointer moved to `at` of its client area, as
// the system sends it to the window under the pointer or holding the capture, and lets
// the application handle it.
void PostMouse(HWND wnd, UINT msg, WPARAM keys, TPoint at) {
  POINT screen{at.x, at.y};
  ClientToScreen(wnd, &screen);
  SettlePointerAt(screen.x, screen.y);
  PostMessageA(wnd, msg, keys, MAKELPARAM(WORD(short(at.x)), WORD(short(at.y))));
  Application->ProcessMessages();
}

// How a dropped list of a cell's combo box is closed, after two steps down in it (by
// the arrow keys, or by the pointer or the wheel over it).
enum TListEnding { leEscape, leClickOutside, lePointerThenEscape, leWheelThenEscape, leEnter, leTab, leClickEntry };
const char* const cListEndings[] = {"Escape",       "a click outside", "the pointer, then Escape",
                                    "the wheel, then Escape", "Enter", "Tab", "a click on an entry"};

// Reported: Alt+M, Down, F4, Down, Down, Escape, Down changed SOLDER's mapping from
// "Bottom Layer" to "Bottom Overlay"; cause: every selection change in the dropped list
// wrote the cell, and nothing gave it back when the list closed without a choice. A
// list closed by Escape or by a click outside leaves the row and the box as they were;
// Enter, Tab and a click on an entry take the entry.
TEST_F(DialogTest, ADroppedListClosedWithoutAChoiceLeavesItsRowAsItWas) {
  // Enough layers for the entries the choices step through, two at a time.
  Load({"COMP", "SOLDER", "PADCOM", "PADSLD", "PADINT", "DRILL", "SLKSCR", "SLKBOT", "BRDOUT", "PINTOP",
        "PINBOT", "FLSMSK"});
  Show();
  for (bool pad : {false, true}) {
    TStringGrid* grid = pad ? Dialog->StringGridPadStack : Dialog->StringGridAssociations;
    TComboBox* combo = pad ? Dialog->ComboBoxPadStack : static_cast<TComboBox*>(Dialog->ComboBoxVarnokLayers);
    const int row = pad ? 2 : 1;  // "PADSLD", "Bottom Layer"
    // As reported: the grid's accelerator, Down to the row, F4, Down, Down, Escape, Down.
    const std::string reported = grid->GetCells(2, row);
    PressAltKey(GetFocus(), pad ? 'P' : 'M');
    ASSERT_TRUE(grid->Focused()) << pad;
    for (int i = 0; i < row; ++i)
      PressKey(GetFocus(), VK_DOWN);
    for (WORD key : {VK_F4, VK_DOWN, VK_DOWN, VK_ESCAPE, VK_DOWN})
      PressKey(GetFocus(), key);
    EXPECT_EQ(grid->GetRow(), row + 1) << pad;
    EXPECT_EQ(grid->GetCells(2, row), reported) << pad;
    for (int ending = leEscape; ending <= leClickEntry; ++ending) {
      const std::string what = std::string(pad ? "pad stack, " : "layers, ") + cListEndings[ending];
      const std::string before = grid->GetCells(2, row);
      // The row taken by a click in its first column, its list opened by F4, the pointer
      // away from where the list drops.
      ASSERT_TRUE(SettlePointerAt(0, 0));
      Click(grid, CellCentre(grid, 0, row));
      PressKey(grid->GetHandle(), VK_F4);
      ASSERT_TRUE(combo->GetDroppedDown()) << what;
      const int start = combo->GetItemIndex();
      ASSERT_EQ(combo->GetItems()->Get(start), before) << what;
      const HWND list = DroppedList(combo);
      const int chosen = start + 2;
      if (ending == lePointerThenEscape || ending == leClickEntry) {
        PostMouse(list, WM_MOUSEMOVE, 0, EntryCentre(list, chosen));
      } else if (ending == leWheelThenEscape) {
        // The pointer over the row's own entry, the wheel rolled towards the user.
        PostMouse(list, WM_MOUSEMOVE, 0, EntryCentre(list, start));
        POINT screen{};
        GetCursorPos(&screen);
        for (int i = 0; i < 2; ++i)
          PostMessageA(GetFocus(), WM_MOUSEWHEEL, MAKEWPARAM(0, WORD(-WHEEL_DELTA)), MAKELPARAM(screen.x, screen.y));
        Application->ProcessMessages();
      } else {
        PressKey(GetFocus(), VK_DOWN);
        PressKey(GetFocus(), VK_DOWN);
      }
      ASSERT_TRUE(combo->GetDroppedDown()) << what;
      // The wheel steps a list without an edit; the pad stack's box leaves it to its edit,
      // which keeps it.
      const bool stepped = ending != leWheelThenEscape || !pad;
      EXPECT_EQ(SendMessageA(list, LB_GETCURSEL, 0, 0), stepped ? chosen : start) << what;
      switch (ending) {
        case leEscape:
        case lePointerThenEscape:
        case leWheelThenEscape:
          PressKey(GetFocus(), VK_ESCAPE);
          break;
        case leClickOutside: {
          RECT client{};
          GetClientRect(list, &client);
          const TPoint outside{client.right + 40, client.bottom + 10};
          PostMouse(list, WM_LBUTTONDOWN, MK_LBUTTON, outside);
          PostMouse(list, WM_LBUTTONUP, 0, outside);
          break;
        }
        case leEnter:
          PressKey(GetFocus(), VK_RETURN);
          break;
        case leTab:
          PressKey(GetFocus(), VK_TAB);
          break;
        case leClickEntry:
          PostMouse(list, WM_LBUTTONDOWN, MK_LBUTTON, EntryCentre(list, chosen));
          PostMouse(list, WM_LBUTTONUP, 0, EntryCentre(list, chosen));
          break;
      }
      PumpPending();
      EXPECT_FALSE(combo->GetDroppedDown()) << what;
      const bool taken = ending >= leEnter;
      const std::string expected = taken ? combo->GetItems()->Get(chosen) : before;
      EXPECT_EQ(grid->GetCells(2, row), expected) << what;
      // The box shows the cell's value.
      EXPECT_EQ(combo->GetItemIndex(), taken ? chosen : start) << what;
      EXPECT_EQ(ComboText(combo), expected) << what;
      if (!pad) {
        EXPECT_EQ(int(Dialog->GetRowLayers()[row]), taken ? chosen : start) << what;
      }
      // Then Down in the grid moves on and changes nothing.
      if (ending == leEscape) {
        ASSERT_TRUE(grid->Focused()) << what;
        PressKey(grid->GetHandle(), VK_DOWN);
        EXPECT_EQ(grid->GetRow(), row + 1) << what;
        EXPECT_EQ(grid->GetCells(2, row), before) << what;
      }
    }
  }
  EXPECT_EQ(Dialog->GetModalResult(), mrNone);
  EXPECT_TRUE(Exceptions.Messages.empty());
}

// Reported: Alt+M, Down, Down, F4, "b", Escape, Down mapped PADCOM on "Bottom Layer";
// cause: under this system a letter in a dropped list closes it as a choice
// (CBN_SELENDOK), where the arrow keys keep it open. A letter steps through the list as
// the arrows do: Escape then leaves the row as it was, Enter and Tab take the entry.
// The pad stack's box takes the letter into its text, and Escape leaves its row alike.
TEST_F(DialogTest, ADroppedListSteppedByALetterChoosesOnlyByEnterOrTab) {
  Load({"COMP", "SOLDER", "PADCOM", "PADSLD", "PADINT", "DRILL", "SLKSCR", "PINTOP", "PINBOT"});
  Show();
  struct {
    bool Pad;
    int Row;
    WORD Ending;
  } const cases[] = {
      {false, 2, VK_ESCAPE},  // PADCOM, "Top Layer": "b" steps to "Bottom Layer"
      {false, 0, VK_RETURN},  // COMP, the same
      {false, 6, VK_TAB},     // SLKSCR, "Top Overlay": "b" steps to "Bottom Overlay"
      {true, 2, VK_ESCAPE},   // "Bottom Layer", PADSLD
  };
  for (const auto& c : cases) {
    TStringGrid* grid = c.Pad ? Dialog->StringGridPadStack : Dialog->StringGridAssociations;
    TComboBox* combo = c.Pad ? Dialog->ComboBoxPadStack : static_cast<TComboBox*>(Dialog->ComboBoxVarnokLayers);
    const std::string what = std::to_string(c.Row) + (c.Pad ? " pad stack " : " layers ") + std::to_string(c.Ending);
    const std::string before = grid->GetCells(2, c.Row);
    // The grid's accelerator, Down to the row, F4, a letter, the ending, Down.
    grid->SetRow(0);
    PressAltKey(GetFocus(), c.Pad ? 'P' : 'M');
    ASSERT_TRUE(grid->Focused()) << what;
    for (int i = 0; i < c.Row; ++i)
      PressKey(GetFocus(), VK_DOWN);
    PressKey(GetFocus(), VK_F4);
    ASSERT_TRUE(combo->GetDroppedDown()) << what;
    const HWND list = DroppedList(combo);
    const int start = int(SendMessageA(list, LB_GETCURSEL, 0, 0));
    ASSERT_EQ(combo->GetItems()->Get(start), before) << what;
    PressKey(GetFocus(), c.Pad ? 'X' : 'B');
    EXPECT_TRUE(combo->GetDroppedDown()) << what << ": the letter closed the list";
    EXPECT_EQ(grid->GetCells(2, c.Row), before) << what << ": the letter chose";
    const int chosen = EntryByLetter(combo, start, 'B');
    if (!c.Pad) {
      EXPECT_EQ(SendMessageA(list, LB_GETCURSEL, 0, 0), chosen) << what;
    }
    PressKey(GetFocus(), c.Ending);
    PumpPending();
    EXPECT_FALSE(combo->GetDroppedDown()) << what;
    const std::string expected = c.Ending == VK_ESCAPE ? before : combo->GetItems()->Get(chosen);
    EXPECT_EQ(grid->GetCells(2, c.Row), expected) << what;
    EXPECT_EQ(ComboText(combo), expected) << what;
    if (!c.Pad) {
      EXPECT_EQ(int(Dialog->GetRowLayers()[c.Row]), c.Ending == VK_ESCAPE ? start : chosen) << what;
    }
    ASSERT_TRUE(grid->Focused()) << what;
    PressKey(GetFocus(), VK_DOWN);
    EXPECT_EQ(grid->GetRow(), c.Row + 1) << what;
    EXPECT_EQ(grid->GetCells(2, c.Row), expected) << what;
  }
  EXPECT_EQ(Dialog->GetModalResult(), mrNone);
  EXPECT_TRUE(Exceptions.Messages.empty());
}

// What `control` (windowed or not) shows on the screen now, read through its parent's DC.
std::vector<uint32_t> SeenOnParent(TControl* control) {
  PumpPending();
  return WindowPixels(control->GetParent()->GetHandle(), control->GetBoundsRect());
}

void SetCues(TCustomForm* form, WORD action, WORD cues) {
  SendMessageA(form->GetHandle(), WM_UPDATEUISTATE, MAKEWPARAM(action, cues), 0);
  PumpPending();
}

// Fault: with the form's keyboard cues hidden the labels and the buttons still drew their
// accelerator underlines, and the buttons their focus rectangles; cause: the labels drew
// every "&" as an underline, and the system's button draws both whatever the cues say.
// Without the underline a control looks as it does with its caption written without the
// "&"; without the focus rectangle, as it does unfocused (where that changes nothing
// else). Alt brings both back.
TEST_F(DialogTest, HiddenKeyboardCuesTakeTheUnderlinesAndTheFocusRectanglesAway) {
  Load({"PADCOM"});
  Show();
  TWinControl* away = Dialog->ComboBoxDetailLevel;  // no button: OK keeps the default frame
  const struct {
    TControl* Control;
    std::string Plain;
    bool LooksUnfocusedWithoutTheRectangle;
  } cases[] = {
      {Dialog->ButtonOK, "OK", true},
      {Dialog->ButtonSaveDefaults, "Save As Defaults", false},  // the focused one is framed
      {Dialog->CheckBoxViewWarnings, "View Warnings", true},
      {Dialog->Label1, "Layer Mapping", false},
  };
  for (const auto& c : cases) {
    auto* windowed = ObjectAs<TWinControl>(c.Control);
    TWinControl* focus = windowed ? windowed : Dialog->StringGridAssociations;
    const std::string caption = c.Control->GetCaption();
    focus->SetFocus();
    SetCues(Dialog, UIS_CLEAR, UISF_HIDEFOCUS | UISF_HIDEACCEL);
    const std::vector<uint32_t> shown = SeenOnParent(c.Control);

    SetCues(Dialog, UIS_SET, UISF_HIDEACCEL);
    const std::vector<uint32_t> noUnderline = SeenOnParent(c.Control);
    EXPECT_EQ(c.Control->GetCaption(), caption);
    SetCues(Dialog, UIS_CLEAR, UISF_HIDEACCEL);
    c.Control->SetCaption(c.Plain);
    EXPECT_NE(noUnderline, shown) << caption;
    EXPECT_EQ(Differences(noUnderline, SeenOnParent(c.Control)), 0) << caption;
    c.Control->SetCaption(caption);

    if (c.LooksUnfocusedWithoutTheRectangle) {
      SetCues(Dialog, UIS_SET, UISF_HIDEFOCUS);
      const std::vector<uint32_t> noRectangle = SeenOnParent(c.Control);
      SetCues(Dialog, UIS_CLEAR, UISF_HIDEFOCUS);
      away->SetFocus();
      EXPECT_NE(noRectangle, shown) << caption;
      EXPECT_EQ(Differences(noRectangle, SeenOnParent(c.Control)), 0) << caption;
      focus->SetFocus();
    }

    SetCues(Dialog, UIS_SET, UISF_HIDEFOCUS | UISF_HIDEACCEL);
    PressAltKey(GetFocus(), 0);
    EXPECT_EQ(Differences(shown, SeenOnParent(c.Control)), 0) << caption;
  }
  EXPECT_EQ(Dialog->GetModalResult(), mrNone);
  EXPECT_TRUE(Exceptions.Messages.empty());
}

TEST_F(DialogTest, PadStackRowsAndTheirCombo) {
  Load({"PADCOM", "PADSLD", "DRILL", "pinbot", "FLSMSK"});
  Show();
  TStringGrid* grid = Dialog->StringGridPadStack;
  ASSERT_EQ(grid->GetRowCount(), 16);
  EXPECT_EQ(grid->GetCells(0, 4), "SMD Top Layer");
  EXPECT_EQ(PadCell(0), "PADCOM");
  EXPECT_EQ(PadCell(1), "Not Used");
  EXPECT_EQ(PadCell(4), "Not Used");  // no PINTOP layer
  EXPECT_EQ(PadCell(5), "PINBOT");
  EXPECT_EQ(PadCell(7), "FLSMSK");
  EXPECT_EQ(grid->GetCells(0, 12), "");
  TComboBox* combo = Dialog->ComboBoxPadStack;
  EXPECT_EQ(combo->GetItems()->GetCount(), 6);
  ClickCell(grid, 2, true);
  ASSERT_TRUE(combo->GetVisible());
  EXPECT_EQ(combo->GetItemIndex(), 2);  // "PADSLD"
  combo->SetItemIndex(3);
  Dialog->ComboBoxPadStackChange(combo);
  EXPECT_EQ(PadCell(2), "DRILL");
  PadStackMapRecord record;
  Dialog->GetPadStackMap(&record);
  EXPECT_EQ(record.Rows[0].Str(), "PADCOM");
  EXPECT_EQ(record.Rows[2].Str(), "DRILL");
  EXPECT_EQ(record.Rows[4].Str(), "Not Used");
  EXPECT_EQ(record.Rows[5].Str(), "PINBOT");
  EXPECT_TRUE(record.Rows[6].Empty());
  Dialog->GetPadStackMap(nullptr);
}

TEST_F(DialogTest, ReportSettingsFollowTheBoxesAndTheDetailLevel) {
  Load({"PADCOM"});
  Show();
  EXPECT_EQ(Dialog->ComboBoxDetailLevel->GetItemIndex(), 1);  // "Normal" on activation
  Dialog->ComboBoxDetailLevel->SetItemIndex(3);                // "Detailed"
  Dialog->CheckBoxViewEvents->SetChecked(true);
  TReportManager report("demo.pdf");
  Dialog->ApplyReportSettings(&report);
  EXPECT_EQ(report.GetLoadEventLevel(), 4);
  EXPECT_EQ(report.GetImportEventLevel(), 4);
  EXPECT_EQ(report.GetImportErrorLevel(), 4);
  Dialog->CheckBoxViewErrors->SetChecked(false);
  Dialog->CheckBoxViewWarnings->SetChecked(false);
  Dialog->CheckBoxViewEvents->SetChecked(false);
  EXPECT_FALSE(Dialog->ComboBoxDetailLevel->GetEnabled());
  TReportManager untouched("demo.pdf");
  Dialog->ApplyReportSettings(&untouched);
  EXPECT_EQ(untouched.GetLoadErrorLevel(), 2);
  EXPECT_EQ(untouched.GetImportWarningLevel(), 2);
  EXPECT_EQ(untouched.GetLoadEventLevel(), 0);
  Dialog->CheckBoxViewWarnings->SetChecked(true);
  EXPECT_TRUE(Dialog->ComboBoxDetailLevel->GetEnabled());
  Dialog->ApplyReportSettings(nullptr);
  EXPECT_EQ(DetailLevelFromText("None"), 0);
  EXPECT_EQ(DetailLevelFromText("Brief"), 1);
  EXPECT_EQ(DetailLevelFromText("full"), 2);  // exact comparison
}

TEST_F(DialogTest, SaveAsDefaultsKeepsTheEntriesOfUnmappedRows) {
  Load({"PADCOM", "FLINT1", "MYSTERY"});
  Show();
  ClickCell(Dialog->StringGridAssociations, 1, false);
  Dialog->ComboBoxVarnokLayers->SetItemIndex(0);
  Dialog->ComboBoxVarnokLayersChange(nullptr);
  ClickCell(Dialog->StringGridAssociations, 2, false);
  Dialog->ComboBoxVarnokLayers->SetItemIndex(eKeepOutLayer);
  Dialog->ComboBoxVarnokLayersChange(nullptr);
  Dialog->ButtonSaveDefaultsClick(nullptr);
  EXPECT_EQ(IniValue(IniPath(), "Layer", "FLINT1"), "Mid Layer 1");
  EXPECT_EQ(IniValue(IniPath(), "Layer", "MYSTERY"), "Keep Out Layer");
  EXPECT_EQ(TIniFile(IniPath()).ReadSectionKeys("Layer").size(), 78u);
  // Reset To Defaults reads the file again.
  Dialog->ButtonResetDefaultsClick(nullptr);
  EXPECT_EQ(Cell(2, 1), "Mid Layer 1");
  EXPECT_EQ(Cell(2, 2), "Keep Out Layer");
  EXPECT_EQ(Dialog->StringGridAssociations->GetRowCount(), 3);
  EXPECT_EQ(Dialog->ComboBoxVarnokLayers->GetItems()->GetCount(), 75);
}

TEST_F(DialogTest, AConfigurationRoundTripsThroughTheHostsFileDialog) {
  Load({"PADCOM", "MYSTERY", "PINTOP"});
  Show();
  const std::string cfg = OptionsFolder() + "demo.cfg";
  DeleteFile(cfg);
  Dialog->ComboBoxDetailLevel->SetItemIndex(2);  // "Full"
  ClickCell(Dialog->StringGridAssociations, 1, false);
  Dialog->ComboBoxVarnokLayers->SetItemIndex(eMechanical2);
  Dialog->ComboBoxVarnokLayersChange(nullptr);
  standin::QueueAnswer("Result=True|Path=" + cfg);
  Dialog->ButtonSaveConfigClick(nullptr);
  EXPECT_EQ(IniValue(cfg, "Report", "ReportViewEvents"), "False");
  EXPECT_EQ(IniValue(cfg, "Report", "ReportDetailLevel"), "Full");
  EXPECT_EQ(IniValue(cfg, "Layer", "MYSTERY"), "Mechanical Layer 2");
  EXPECT_EQ(IniValue(cfg, "PadStack", "SMD Top Layer"), "PINTOP");
  EXPECT_EQ(TIniFile(cfg).ReadSectionKeys("PadStack").size(), 10u);  // unlabelled rows are not written

  // Loading into a fresh dialog restores all three sections.
  delete Dialog;
  Dialog = new TTranslateDialog(nullptr);
  Dialog->SetFileName("C:\\boards\\demo.pdf");
  Load({"MYSTERY", "PADCOM", "PINTOP"});
  Show();
  Dialog->CheckBoxViewEvents->SetChecked(true);
  Dialog->StringGridPadStack->SetCells(2, 4, "Not Used");
  TIniFile(cfg).WriteString("Layer", "ABSENT", "Top Layer");
  standin::QueueAnswer("Result=True|Path=" + cfg);
  Dialog->ButtonLoadConfigClick(nullptr);
  EXPECT_EQ(Dialog->ComboBoxDetailLevel->GetItemIndex(), 2);
  EXPECT_FALSE(Dialog->CheckBoxViewEvents->GetChecked());
  EXPECT_EQ(Cell(2, 0), "Mechanical Layer 2");
  EXPECT_EQ(Dialog->GetRowLayers()[0], eMechanical2);
  EXPECT_EQ(PadCell(4), "PINTOP");
  EXPECT_EQ(Dialog->StringGridAssociations->GetRowCount(), 3);

  // Regression: activation selected "Normal" every time, overwriting a loaded "Full"
  // when the dialog came back from the host's file dialog.
  Dialog->FormActivate(Dialog);
  EXPECT_EQ(Dialog->ComboBoxDetailLevel->GetItemIndex(), 2);

  const auto requests = standin::CallsStartingWith("PcbApi_SendCommand");
  ASSERT_EQ(requests.size(), 2u);
  const std::string common =
      "|Prompt=KIVO Configuaration File|DocumentType=All|FileType1=KIVO CFG File (*.cfg)"
      "|FileType2=All Files (*.*)|Path=demo.cfg\", 4096, nil)";
  EXPECT_EQ(requests[0].rfind("PcbApi_SendCommand(\"Client:RunCommonDialog\", \"Dialog=FileOpenSave|Mode=1" + common, 0), 0u)
      << requests[0];
  EXPECT_EQ(requests[1].rfind("PcbApi_SendCommand(\"Client:RunCommonDialog\", \"Dialog=FileOpenSave|Mode=0" + common, 0), 0u)
      << requests[1];
}

// Reported: "Save Configuration" over the same file added a line "=" to [PadStack] at
// every save; cause: the unlabelled rows 10 to 15 were written with the empty key, which
// the writer added again each time. A file saved twice is byte-identical; one saved
// before, with such lines, reads as it did and grows no more.
TEST_F(DialogTest, AConfigurationSavedAgainIsTheSameFile) {
  Load({"PADCOM", "PADSLD", "PINTOP"});
  Show();
  const std::string cfg = OptionsFolder() + "again.cfg";
  DeleteFile(cfg);
  auto save = [&] {
    standin::QueueAnswer("Result=True|Path=" + cfg);
    Dialog->ButtonSaveConfigClick(nullptr);
    return FileBytes(cfg);
  };
  const std::string first = save();
  EXPECT_EQ(first.find("\n="), std::string::npos) << first;
  EXPECT_EQ(save(), first);
  EXPECT_EQ(save(), first);

  // As saved before: the empty rows' lines, one more for each save.
  const std::string before =
      "[Layer]\r\nPADCOM=Bottom Layer\r\n[PadStack]\r\nTop Layer=PADSLD\r\nInternal Layer=Not Used\r\n"
      "=\r\n=\r\n=\r\nHole Size=PINTOP\r\n";
  {
    TFileStream file(cfg, fmCreate);
    file.WriteBuffer(before.data(), static_cast<int>(before.size()));
  }
  standin::QueueAnswer("Result=True|Path=" + cfg);
  Dialog->ButtonLoadConfigClick(nullptr);
  EXPECT_EQ(Dialog->GetRowLayers()[0], eBottomLayer);
  EXPECT_EQ(PadCell(0), "PADSLD");
  EXPECT_EQ(PadCell(1), "Not Used");
  EXPECT_EQ(PadCell(3), "PINTOP");
  for (int row = 10; row < 16; ++row)
    EXPECT_EQ(PadCell(row), "") << row;
  const std::string resaved = save();
  EXPECT_EQ(save(), resaved);
  EXPECT_NE(resaved.find("=\r\n=\r\n=\r\n"), std::string::npos) << resaved;
  EXPECT_EQ(resaved.find("=\r\n=\r\n=\r\n="), std::string::npos) << resaved;
  EXPECT_TRUE(Exceptions.Messages.empty());
}

// Fault: a configuration (or "LoadKIVO.ini") saved and read again lost mappings untold;
// cause: the INI writer wrote keys that read back as something else: the layer "[INNER"
// as a section, which took the layers after it, "A=B" as the key "A". The saves leave out
// what a settings file cannot keep, say which and why, and keep all the rest.
TEST_F(DialogTest, LayersASettingsFileCannotKeepAreToldAndAllElseIsSaved) {
  const std::vector<std::string> names = {"[INNER", "A=B", "INNER2", "inner2"};
  std::vector<std::unique_ptr<KivoLayerEntry>> entries;
  TStringList list;
  for (const std::string& name : names) {
    entries.push_back(std::make_unique<KivoLayerEntry>(int(entries.size())));
    list.AddObject(name, entries.back().get());
  }
  Dialog->LoadLayers(&list);
  Show();
  // Each row from "Not Imported" through its grid's accelerator, the dropped list and Enter.
  for (const auto& [row, steps] : {std::pair{0, 2}, {1, 1}, {2, 2}, {3, 1}}) {
    Dialog->StringGridAssociations->SetRow(0);
    PressAltKey(GetFocus(), 'M');
    for (int i = 0; i < row; ++i)
      PressKey(GetFocus(), VK_DOWN);
    PressKey(GetFocus(), VK_F4);
    for (int i = 0; i < steps; ++i)
      PressKey(GetFocus(), VK_DOWN);
    PressKey(GetFocus(), VK_RETURN);
  }
  const std::vector<TLayer> mapped = {eMidLayer1, eTopLayer, eMidLayer1, eTopLayer};
  ASSERT_EQ(Dialog->GetRowLayers(), mapped);
  const std::string cfg = OptionsFolder() + "odd-names.cfg";
  DeleteFile(cfg);
  const std::string told =
      " because a settings file cannot keep them:\r\n"
      "\"[INNER\": it begins with \"[\", which reading takes for the start of a section;\r\n"
      "\"A=B\": it holds \"=\", which reading takes for the end of the key;\r\n"
      "\"inner2\": a layer before it has the same name, letter case aside, and another host layer, and a "
      "settings file keeps one host layer for a name.\r\n"
      "Everything else was saved; these layers keep their mappings in this dialog.";
  {
    TMessageFormRecorder boxes;
    standin::QueueAnswer("Result=True|Path=" + cfg);
    PressAltKey(GetFocus(), 'S');
    PressAltKey(GetFocus(), 'A');
    EXPECT_EQ(boxes.Texts, (std::vector<std::string>{
                               "Could not save the mappings of 3 layers to the configuration file \"" + cfg + "\"" + told,
                               "Could not save the mappings of 3 layers to the default layer map in \"" + IniPath() +
                                   "\"" + told}));
  }
  EXPECT_EQ(FindMappedLayer(LoadDefaultLayerMap(), "INNER2"), eMidLayer1);
  // The import takes every row's mapping as before, saved or not.
  Dialog->ApplyLayerMap(&list);
  for (size_t i = 0; i < names.size(); ++i)
    EXPECT_EQ(entries[i]->GetHostLayer(), mapped[i]) << names[i];

  delete Dialog;
  Dialog = new TTranslateDialog(nullptr);
  Dialog->SetFileName("C:\\boards\\demo.pdf");
  Dialog->LoadLayers(&list);
  Show();
  standin::QueueAnswer("Result=True|Path=" + cfg);
  PressAltKey(GetFocus(), 'L');
  EXPECT_EQ(Dialog->GetRowLayers(), (std::vector<TLayer>{eIgnoreLayer, eIgnoreLayer, eMidLayer1, eMidLayer1}));
  EXPECT_TRUE(Exceptions.Messages.empty());
}

TEST_F(DialogTest, ACancelledFileDialogDoesNothing) {
  Load({"PADCOM"});
  Show();
  const std::string cfg = OptionsFolder() + "never.cfg";
  DeleteFile(cfg);
  standin::QueueAnswer("Result=False|Path=" + cfg);
  Dialog->ButtonSaveConfigClick(nullptr);
  EXPECT_FALSE(FileExists(cfg));
  Dialog->ButtonLoadConfigClick(nullptr);  // the empty script answers "Result=False"
  EXPECT_EQ(Cell(2, 0), "Top Layer");
}

// A damaged configuration file: NUL and 8-bit bytes, lines without "=", broken section
// heads, values no list knows and a very long value. What makes sense is taken, the
// rest leaves the dialog as it was, and nothing raises.
TEST_F(DialogTest, ADamagedConfigurationIsReadAsFarAsItMakesSense) {
  Load({"PADCOM", "MYSTERY"});
  Show();
  const std::string cfg = OptionsFolder() + "damaged.cfg";
  const std::string damaged =
      std::string("\xff\xfe\x01 garbage\r\n[Report]\r\nReportDetailLevel=Bogus\r\nReportViewErrors=maybe\r\n") +
      "ReportViewEvents=True\r\nNOEQUALS\r\n=x\r\n\x80\x90\r\n[Layer]\r\nMYSTERY=Bottom Layer\r\n" +
      "PADCOM=\x80\x81 nonsense\r\n" + std::string(3, '\0') + "\r\n[PadStack]\r\nSMD Top Layer=" +
      std::string(100000, 'Z') + "\r\n[broken\r\nReportViewWarnings=True\r\n";
  {
    TFileStream file(cfg, fmCreate);
    file.WriteBuffer(damaged.data(), static_cast<int>(damaged.size()));
  }
  Dialog->ComboBoxDetailLevel->SetItemIndex(2);
  Dialog->CheckBoxViewErrors->SetChecked(true);
  const bool warnings = Dialog->CheckBoxViewWarnings->GetChecked();
  standin::QueueAnswer("Result=True|Path=" + cfg);
  Dialog->ButtonLoadConfigClick(nullptr);
  EXPECT_TRUE(Exceptions.Messages.empty());
  EXPECT_EQ(Dialog->ComboBoxDetailLevel->GetItemIndex(), 2);  // an unknown level changes nothing
  EXPECT_FALSE(Dialog->CheckBoxViewErrors->GetChecked());     // only "True" ticks a box
  EXPECT_TRUE(Dialog->CheckBoxViewEvents->GetChecked());
  EXPECT_EQ(Dialog->CheckBoxViewWarnings->GetChecked(), warnings);  // under a broken head
  EXPECT_EQ(Cell(2, 1), "Bottom Layer");
  EXPECT_EQ(Cell(2, 0), "Not Imported");  // a layer no list knows is not imported
  EXPECT_EQ(Dialog->GetRowLayers()[1], eBottomLayer);
  EXPECT_EQ(Dialog->StringGridAssociations->GetRowCount(), 2);
  EXPECT_FALSE(PadCell(4).empty());  // the long value is read as far as the reader goes
  EXPECT_EQ(PadCell(4).find_first_not_of('Z'), std::string::npos);
}

// Fault: "Load Configuration" of a file that is a folder, or that another program holds
// open, raised out of the button's handler to a plain task-modal system box over the
// dialog, which painted black and stayed blocked. The host-styled box says in plain
// words which file could not be read and why; the dialog is left as it was, and usable:
// a good file loads next. A save that cannot be written is told the same way.
TEST_F(DialogTest, AConfigurationThatCannotBeReadOrWrittenIsToldAndTheDialogGoesOn) {
  Load({"PADCOM"});
  Show();
  const std::string folderCfg = OptionsFolder() + "folder.cfg";
  CreateDir(folderCfg);
  const std::string heldCfg = OptionsFolder() + "held.cfg";
  TIniFile(heldCfg).WriteString("Layer", "PADCOM", "Bottom Layer");
  HANDLE held = CreateFileA(heldCfg.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(held, INVALID_HANDLE_VALUE);
  {
    TMessageFormRecorder boxes;
    standin::QueueAnswer("Result=True|Path=" + folderCfg);
    Dialog->ButtonLoadConfigClick(nullptr);
    standin::QueueAnswer("Result=True|Path=" + heldCfg);
    Dialog->ButtonLoadConfigClick(nullptr);
    standin::QueueAnswer("Result=True|Path=" + folderCfg);
    Dialog->ButtonSaveConfigClick(nullptr);
    EXPECT_EQ(boxes.Texts,
              (std::vector<std::string>{
                  "Could not read the configuration file \"" + folderCfg +
                      "\" because it is a folder, not a file.",
                  "Could not read the configuration file \"" + heldCfg +
                      "\" because another program has it open.",
                  "Could not save the configuration file \"" + folderCfg +
                      "\" because it is a folder, not a file."}));
  }
  CloseHandle(held);
  EXPECT_TRUE(Exceptions.Messages.empty());
  EXPECT_EQ(Cell(2, 0), "Top Layer");
  EXPECT_TRUE(Dialog->GetEnabled());
  standin::QueueAnswer("Result=True|Path=" + heldCfg);
  Dialog->ButtonLoadConfigClick(nullptr);
  EXPECT_EQ(Cell(2, 0), "Bottom Layer");
}

// Reported: of 10 hosts at once saving one configuration, 8 said "Could not save the
// configuration file ... another program has it open"; cause: the configuration's save
// and read (and those of "LoadKIVO.ini") gave up at once where the recent filters' wait
// for another instance. Each waits for a file held as another host's save or read holds
// it (let go here at the first step of the wait); a folder in its place is told at once.
TEST_F(DialogTest, ASettingsFileAnotherHostHoldsForAMomentIsWaitedFor) {
  Load({"PADCOM"});
  Show();
  const std::string cfg = OptionsFolder() + "shared.cfg";
  TIniFile(cfg).WriteString("Layer", "PADCOM", "Bottom Layer");
  HANDLE held = INVALID_HANDLE_VALUE;
  int steps = 0;
  WaitStep = [&] {
    ++steps;
    if (held != INVALID_HANDLE_VALUE)
      CloseHandle(held);
    held = INVALID_HANDLE_VALUE;
  };
  // Held as another host's save (alone) or read (sharing reads and writes) holds it.
  auto hold = [&](const std::string& path, bool saving) {
    held = CreateFileA(path.c_str(), saving ? GENERIC_WRITE : GENERIC_READ,
                       saving ? 0 : FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
    steps = 0;
    return held != INVALID_HANDLE_VALUE;
  };
  const std::string folderCfg = OptionsFolder() + "shared-folder.cfg";
  CreateDir(folderCfg);
  {
    TMessageFormRecorder boxes;
    ASSERT_TRUE(hold(cfg, /*saving=*/true));
    standin::QueueAnswer("Result=True|Path=" + cfg);
    Dialog->ButtonLoadConfigClick(nullptr);
    EXPECT_GT(steps, 0);
    EXPECT_EQ(Cell(2, 0), "Bottom Layer");
    for (bool saving : {true, false}) {
      ASSERT_TRUE(hold(cfg, saving));
      Dialog->CheckBoxViewEvents->SetChecked(saving);
      standin::QueueAnswer("Result=True|Path=" + cfg);
      Dialog->ButtonSaveConfigClick(nullptr);
      EXPECT_GT(steps, 0) << saving;
      EXPECT_EQ(IniValue(cfg, "Report", "ReportViewEvents"), saving ? "True" : "False");
    }
    Dialog->ButtonSaveDefaultsClick(nullptr);  // "LoadKIVO.ini" made
    ASSERT_TRUE(hold(IniPath(), /*saving=*/true));
    EXPECT_EQ(FindMappedLayer(LoadDefaultLayerMap(nullptr, Wait()), "PADCOM"), eBottomLayer);
    EXPECT_GT(steps, 0);
    ASSERT_TRUE(hold(IniPath(), /*saving=*/false));
    Dialog->ButtonSaveDefaultsClick(nullptr);
    EXPECT_GT(steps, 0);
    EXPECT_TRUE(boxes.Texts.empty()) << boxes.Texts.front();
    // A failure that lasts is told at once.
    steps = 0;
    standin::QueueAnswer("Result=True|Path=" + folderCfg);
    Dialog->ButtonSaveConfigClick(nullptr);
    EXPECT_EQ(boxes.Texts, (std::vector<std::string>{"Could not save the configuration file \"" + folderCfg +
                                                     "\" because it is a folder, not a file."}));
    EXPECT_EQ(steps, 0);
  }
  WaitStep = nullptr;
  if (held != INVALID_HANDLE_VALUE)
    CloseHandle(held);
  EXPECT_TRUE(Exceptions.Messages.empty());
}

// Fault: "Save As Defaults" and "Save Configuration" on a full disk left "LoadKIVO.ini"
// or the configuration cut short or empty, losing the settings it held, and the box
// said "write fault" (or an unrelated error): both were rewritten in place. The earlier
// files stay whole, and the boxes say the disk is full.
TEST_F(DialogTest, SavingOnAFullDiskKeepsTheEarlierFilesAndSaysTheDiskIsFull) {
  Load({"PADCOM", "MYSTERY"});
  Show();
  const std::string earlier = "[Layer]\r\nPADCOM=Bottom Layer\r\nMYSTERY=Keep Out Layer\r\n";
  const std::string settings = ExtractFilePath(IniPath());
  const std::string cfgFolder = OptionsFolder() + "full\\";
  ForceDirectories(cfgFolder);
  const std::string cfg = cfgFolder + "saved.cfg";
  for (const uint64_t free : {0ull, 20ull}) {  // no room, and room for a part
    SCOPED_TRACE(free);
    for (const std::string& path : {IniPath(), cfg}) {
      TFileStream file(path, fmCreate);
      file.WriteBuffer(earlier.data(), static_cast<int>(earlier.size()));
    }
    TMessageFormRecorder boxes;
    {
      const standin::TDiskFull settingsDisk(GetModuleHandleA(nullptr), settings, free);
      ASSERT_TRUE(settingsDisk.Installed());
      Dialog->ButtonSaveDefaultsClick(nullptr);
    }
    {
      const standin::TDiskFull cfgDisk(GetModuleHandleA(nullptr), cfgFolder, free);
      standin::QueueAnswer("Result=True|Path=" + cfg);
      Dialog->ButtonSaveConfigClick(nullptr);
    }
    EXPECT_EQ(boxes.Texts, (std::vector<std::string>{
                               "Could not save the default layer map to \"" + IniPath() +
                                   "\" because the disk is full.",
                               "Could not save the configuration file \"" + cfg + "\" because the disk is full."}));
    EXPECT_EQ(FileBytes(IniPath()), earlier);
    EXPECT_EQ(FileBytes(cfg), earlier);
  }
  EXPECT_TRUE(Exceptions.Messages.empty());
}

// Fault: "Load Configuration" read a configuration of any size whole (a 1.6 GB file was
// read into the 32-bit process), and saving over one read it too, unlike "LoadKIVO.ini".
// Neither reads beyond the settings files' limit: the box names the file and why, the
// dialog is left as it was, and the file as it is.
TEST_F(DialogTest, AConfigurationLargerThanAnySettingsFileIsNotReadAndSaysWhy) {
  Load({"PADCOM"});
  Show();
  const std::string cfg = OptionsFolder() + "huge.cfg";
  const int64_t size = int64_t(MaxSettingsFileBytes) + 1;
  {
    TFileStream file(cfg, fmCreate);
    file.WriteBuffer("[Layer]\r\nPADCOM=Bottom Layer\r\n", 31);
    file.SetSize(size);
  }
  const std::string why = "\" because it is larger than 16 MB, far more than any settings file holds.";
  {
    TMessageFormRecorder boxes;
    standin::QueueAnswer("Result=True|Path=" + cfg);
    Dialog->ButtonLoadConfigClick(nullptr);
    standin::QueueAnswer("Result=True|Path=" + cfg);
    Dialog->ButtonSaveConfigClick(nullptr);
    EXPECT_EQ(boxes.Texts, (std::vector<std::string>{"Could not read the configuration file \"" + cfg + why,
                                                     "Could not save the configuration file \"" + cfg + why}));
  }
  EXPECT_EQ(Cell(2, 0), "Top Layer");
  TFileStream file(cfg, fmOpenRead);
  EXPECT_EQ(file.GetSize(), size);
}

// Fault: every key read parsed the whole settings file again, so "LoadKIVO.ini" or a
// configuration of 20,000 keys ran past the host's deadline. Both read at once now
// (IniFileBench measures it); here, that every key still lands where it belongs.
TEST_F(DialogTest, SettingsOfTwentyThousandKeysReadWhole) {
  std::string text = "[Layer]\r\n";
  for (int i = 0; i < 20000; ++i)
    text += "L" + std::to_string(i) + "=" + (i % 2 ? "Top Layer" : "Bottom Layer") + "\r\n";
  ForceDirectories(ExtractFilePath(IniPath()));
  const std::string cfg = OptionsFolder() + "many.cfg";
  for (const std::string& path : {IniPath(), cfg}) {
    TFileStream file(path, fmCreate);
    file.WriteBuffer(text.data(), static_cast<int>(text.size()));
  }
  const TLayerMap map = LoadDefaultLayerMap();
  ASSERT_EQ(map.size(), 20000u);
  EXPECT_EQ(map[19999].Name, "L19999");
  EXPECT_EQ(map[19999].Layer, eTopLayer);
  Load({"L19998", "L7", "ABSENT"});
  Show();
  EXPECT_EQ(Cell(2, 0), "Bottom Layer");
  Dialog->StringGridAssociations->SetCells(2, 0, "Not Imported");
  standin::QueueAnswer("Result=True|Path=" + cfg);
  Dialog->ButtonLoadConfigClick(nullptr);
  EXPECT_EQ(Cell(2, 0), "Bottom Layer");
  EXPECT_EQ(Cell(2, 1), "Top Layer");
  EXPECT_EQ(Cell(2, 2), "Not Imported");
}


// ---- Modal runs -------------------------------------------------------------------------

TEST_F(SettingsTest, AModalRunAnswersOkOrCancel) {
  TStringList list;
  list.Add("PADCOM");
  for (int answer : {mrOk, mrCancel}) {
    std::unique_ptr<TTranslateDialog> dialog(new TTranslateDialog(nullptr));
    dialog->SetFileName("demo.pdf");
    dialog->LoadLayers(&list);
    TUIAutomation automation;
    automation.ClickButton("KIVO Importer", answer == mrOk ? "ButtonOK" : "ButtonCancel");
    EXPECT_EQ(dialog->ShowModal(), answer);
    EXPECT_TRUE(automation.GetDone()) << automation.GetFailure();
    TReportManager report("demo.pdf");
    dialog->ApplyReportSettings(&report);
    EXPECT_EQ(report.GetLoadWarningLevel(), 2);  // "Normal", selected on activation
  }
  EXPECT_TRUE(Exceptions.Messages.empty());
}

// Fault: the host's file dialog was owned by the host's main window, which it enabled
// again when it closed: after Cancel the main window came in front of the still-modal
// options dialog and took Escape.
TEST_F(SettingsTest, AfterTheFileDialogTheOptionsDialogIsActiveAgainAndTheHostStillDisabled) {
  struct TAfterFileDialog {
    HWND Active = nullptr;
    bool MainEnabled = true;
    TTranslateDialog* Dialog = nullptr;
    void CancelClicked(TObject*) {
      Active = GetActiveWindow();
      MainEnabled = IsWindowEnabled(standin::MainWindowHandle()) != FALSE;
      Dialog->SetModalResult(mrCancel);
    }
  } seen;
  TStringList list;
  list.Add("PADCOM");
  std::unique_ptr<TTranslateDialog> dialog(new TTranslateDialog(nullptr));
  dialog->SetFileName("demo.pdf");
  dialog->LoadLayers(&list);
  seen.Dialog = dialog.get();
  dialog->ButtonCancel->OnClick = TNotifyEvent::Bind<&TAfterFileDialog::CancelClicked>(&seen);
  standin::HostOptions().Interactive = true;  // the host shows the system's open dialog
  TUIAutomation automation(15000);
  automation.ClickButton("KIVO Importer", "ButtonLoadConfig");
  automation.ClickButton("KIVO Configuaration File", "Cancel");
  automation.ClickButton("KIVO Importer", "ButtonCancel");
  const int result = dialog->ShowModal();
  standin::HostOptions().Interactive = false;
  EXPECT_EQ(result, mrCancel);
  EXPECT_TRUE(automation.GetDone()) << automation.GetFailure();
  EXPECT_EQ(seen.Active, dialog->GetHandle());
  EXPECT_FALSE(seen.MainEnabled);
  EXPECT_TRUE(IsWindowEnabled(standin::MainWindowHandle()));  // enabled again after the dialog
  EXPECT_TRUE(Exceptions.Messages.empty());
}

// Fault: the options dialog held its layer list by a raw pointer made before its controls,
// so an allocation failing while the controls were built left the list allocated.
TEST(TranslateDialogConstruction, AnAllocationFailingOnTheWayLeavesNothingAllocated) {
  EXPECT_GT(CountAllocationsFailingEachOnce([] { return new TTranslateDialog(nullptr); }), 20);
}

}  // namespace
