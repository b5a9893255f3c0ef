// The string grid: cell geometry, scrolling, selection by mouse and keys.
#include "classlib/Grids.h"
#include "tests/controls/ControlsTestSupport.h"

namespace {

class GridTest : public FormTest {
 protected:
  void SetUp() override {
    FormTest::SetUp();
    Grid = new TStringGrid(Form);
    Grid->SetParent(Form);
    Grid->SetColCount(3);
    Grid->SetRowCount(20);
    Grid->SetFixedCols(0);
    Grid->SetFixedRows(0);
    Grid->SetDefaultRowHeight(18);
    Grid->SetColWidths(0, 103);
    Grid->SetColWidths(1, 20);
    Grid->SetColWidths(2, 125);
    Grid->SetScrollBars(ssVertical);
    Grid->SetOptions(Grid->GetOptions() + TGridOptions{goTabs});
    Grid->SetBounds(0, 0, 270, 100);
    ShowForm();
  }
  TStringGrid* Grid = nullptr;
};

TEST_F(GridTest, CellRectAndMouseToCellAreInverse) {
  // Rows are 18 high plus a 1-pixel line; columns their widths plus a line.
  EXPECT_EQ(Grid->CellRect(0, 0), (TRect{0, 0, 103, 18}));
  EXPECT_EQ(Grid->CellRect(2, 3), (TRect{125, 57, 250, 75}));
  for (int row = 0; row < Grid->GetVisibleRowCount(); ++row)
    for (int col = 0; col < 3; ++col) {
      const TRect r = Grid->CellRect(col, row);
      int c, rr;
      Grid->MouseToCell(r.left, r.top, c, rr);
      EXPECT_EQ(std::make_pair(c, rr), std::make_pair(col, row));
      Grid->MouseToCell(r.right - 1, r.bottom - 1, c, rr);
      EXPECT_EQ(std::make_pair(c, rr), std::make_pair(col, row));
    }
  int c, r;
  Grid->MouseToCell(260, 5, c, r);  // right of the last column
  EXPECT_EQ(c, -1);
  EXPECT_EQ(r, -1);
}

TEST_F(GridTest, ScrollingMovesTheRowsAndReportsTheNewTopRow) {
  struct TWatch {
    int Changes = 0;
    void Changed(TObject*) { ++Changes; }
  } watch;
  Grid->OnTopLeftChanged = TNotifyEvent::Bind<&TWatch::Changed>(&watch);
  const int visible = Grid->GetVisibleRowCount();
  EXPECT_EQ(visible, Grid->GetClientHeight() / 19);
  SendMessageA(Grid->GetHandle(), WM_VSCROLL, SB_LINEDOWN, 0);
  EXPECT_EQ(Grid->GetTopRow(), 1);
  EXPECT_EQ(watch.Changes, 1);
  EXPECT_TRUE(IsRectEmpty(&static_cast<const RECT&>(Grid->CellRect(0, 0))));
  EXPECT_EQ(Grid->CellRect(0, 1).top, 0);
  int c, r;
  Grid->MouseToCell(5, 20, c, r);
  EXPECT_EQ(r, 2);
  SCROLLINFO info{sizeof(info), SIF_POS};
  GetScrollInfo(Grid->GetHandle(), SB_VERT, &info);
  EXPECT_EQ(info.nPos, 1);
  SendMessageA(Grid->GetHandle(), WM_VSCROLL, SB_BOTTOM, 0);
  EXPECT_EQ(Grid->GetTopRow(), 20 - visible);
  SendMessageA(Grid->GetHandle(), WM_VSCROLL, SB_LINEDOWN, 0);  // already at the end
  EXPECT_EQ(Grid->GetTopRow(), 20 - visible);
  EXPECT_EQ(watch.Changes, 2);
}

TEST_F(GridTest, MouseAndKeysSelectCellsAndOnSelectCellCanRefuse) {
  struct TSelect {
    std::vector<std::pair<int, int>> Asked;
    int Refuse = -1;
    void Select(TObject*, int col, int row, bool& canSelect) {
      Asked.push_back({col, row});
      canSelect = col != Refuse;
    }
  } select;
  Grid->OnSelectCell = TSelectCellEvent::Bind<&TSelect::Select>(&select);
  const TRect target = Grid->CellRect(2, 3);
  const LPARAM at = MAKELPARAM(target.left + 3, target.top + 3);
  SendMessageA(Grid->GetHandle(), WM_LBUTTONDOWN, MK_LBUTTON, at);
  SendMessageA(Grid->GetHandle(), WM_LBUTTONUP, 0, at);
  EXPECT_EQ(Grid->GetCol(), 2);
  EXPECT_EQ(Grid->GetRow(), 3);
  EXPECT_TRUE(Grid->Focused());

  // Tab (goTabs) wraps to the next row; Shift+Tab comes back; arrows move.
  auto press = [&](WORD key) {
    PostMessageA(Grid->GetHandle(), WM_KEYDOWN, key, 1);
    Application->ProcessMessages();
  };
  press(VK_TAB);
  EXPECT_EQ(std::make_pair(Grid->GetCol(), Grid->GetRow()), std::make_pair(0, 4));
  press(VK_DOWN);
  EXPECT_EQ(Grid->GetRow(), 5);
  select.Refuse = 1;
  press(VK_RIGHT);
  EXPECT_EQ(Grid->GetCol(), 0);  // refused
  EXPECT_EQ(select.Asked.back(), std::make_pair(1, 5));
  // Going down past the visible rows scrolls the current row into view.
  for (int i = 0; i < 10; ++i)
    press(VK_DOWN);
  EXPECT_EQ(Grid->GetRow(), 15);
  EXPECT_EQ(Grid->GetTopRow(), 15 - Grid->GetVisibleRowCount() + 1);
  EXPECT_TRUE(Exceptions.Messages.empty());
}

// Fault: the wheel did nothing over a focused grid; cause: the grid left WM_MOUSEWHEEL
// to the default window procedure, which hands it to the parent.
TEST_F(GridTest, EachWheelNotchMovesTheCurrentRowAndKeepsItInView) {
  const int visible = Grid->GetVisibleRowCount();
  // Deltas: the wheel's turn per message (WHEEL_DELTA a notch, negative toward the user);
  // the top row moves only to keep the current row in view.
  struct TCase {
    const char* Name;
    int FixedRows, Row, TopRow;
    std::vector<int> Deltas;
    int ExpectedRow, ExpectedTopRow;
  } cases[] = {
      {"one notch down", 0, 0, 0, {-WHEEL_DELTA}, 1, 0},
      {"one notch up", 0, 3, 0, {WHEEL_DELTA}, 2, 0},
      {"six notches down scroll", 0, 0, 0, std::vector<int>(6, -WHEEL_DELTA), 6, 6 - visible + 1},
      {"six notches up scroll", 0, 19, 15, std::vector<int>(6, WHEEL_DELTA), 13, 13},
      {"down at the last row", 0, 19, 15, {-WHEEL_DELTA}, 19, 15},
      {"up at the first row", 0, 0, 0, {WHEEL_DELTA}, 0, 0},
      {"three notches at once stop at the last row", 0, 17, 15, {-3 * WHEEL_DELTA}, 19, 15},
      {"up stops at the first scrolling row", 2, 3, 2, {WHEEL_DELTA, WHEEL_DELTA}, 2, 2},
      {"half notches add up", 0, 4, 0, {-WHEEL_DELTA / 2, -WHEEL_DELTA / 2}, 5, 5 - visible + 1},
      // Last: the half notch stays with the grid.
      {"a half notch alone does nothing", 0, 4, 0, {-WHEEL_DELTA / 2}, 4, 0},
  };
  for (const TCase& c : cases) {
    Grid->SetFixedRows(c.FixedRows);
    Grid->SetFocus();
    Grid->SetRow(c.Row);
    Grid->SetTopRow(c.TopRow);
    const TPoint over = Grid->ClientToScreen(TPoint{20, 20});
    // Posted to the focus window with the pointer's screen position, as Windows sends it.
    for (int delta : c.Deltas)
      PostMessageA(GetFocus(), WM_MOUSEWHEEL, MAKEWPARAM(0, WORD(short(delta))), MAKELPARAM(over.x, over.y));
    Application->ProcessMessages();
    EXPECT_EQ(Grid->GetRow(), c.ExpectedRow) << c.Name;
    EXPECT_EQ(Grid->GetTopRow(), c.ExpectedTopRow) << c.Name;
    Grid->SetFixedRows(0);
  }
  EXPECT_TRUE(Exceptions.Messages.empty());
}

TEST_F(GridTest, CellsKeepTextsAndObjectsThroughRowAndColumnMoves) {
  TObject marker;
  Grid->SetCells(0, 1, "Top");
  Grid->SetObjects(0, 1, &marker);
  Grid->SetCells(2, 4, "x");
  Grid->MoveRow(1, 3);
  EXPECT_EQ(Grid->GetCells(0, 3), "Top");
  EXPECT_EQ(Grid->GetObjects(0, 3), &marker);
  EXPECT_EQ(Grid->GetCells(0, 1), "");
  EXPECT_EQ(Grid->GetCells(2, 4), "x");
  Grid->MoveColumn(2, 0);
  EXPECT_EQ(Grid->GetCells(0, 4), "x");
  EXPECT_EQ(Grid->GetCells(1, 3), "Top");
  EXPECT_EQ(Grid->GetColWidths(0), 125);
  EXPECT_THROW(Grid->GetCells(3, 0), EListError);
  EXPECT_THROW(Grid->SetFixedRows(20), EInvalidOperation);
}

// Fault: the grid did not repaint when the focus came or went, so the current cell kept
// its focus rectangle after the focus had moved to another control.
TEST_F(GridTest, FocusComingAndGoingRepaintsTheGrid) {
  auto* edit = new TTestEdit(Form);
  edit->SetParent(Form);
  edit->SetTop(120);
  edit->SetFocus();
  for (TWinControl* next : {static_cast<TWinControl*>(Grid), static_cast<TWinControl*>(edit)}) {
    UpdateWindow(Grid->GetHandle());
    next->SetFocus();
    EXPECT_TRUE(GetUpdateRect(Grid->GetHandle(), nullptr, FALSE)) << next->ClassName();
  }
}

// Fault: Tab, Shift+Tab and Ctrl+Tab never left a grid with goTabs, so the controls
// after it could not be reached by Tab; cause: the grid wanted every Tab and did nothing
// with one that had no cell to go to.
TEST_F(GridTest, TabLeavesPastTheLastCellShiftTabBeforeTheFirstAndCtrlTabFromAnyCell) {
  auto* before = new TTestEdit(Form);
  before->SetParent(Form);
  before->SetBounds(0, 105, 100, 21);
  before->SetTabOrder(0);
  auto* after = new TTestEdit(Form);
  after->SetParent(Form);
  after->SetBounds(120, 105, 100, 21);
  auto press = [](std::initializer_list<int> held) {
    TKeysHeld keys(held);
    PostMessageA(GetFocus(), WM_KEYDOWN, VK_TAB, 1);
    Application->ProcessMessages();
  };
  auto cell = [this] { return std::make_pair(Grid->GetCol(), Grid->GetRow()); };
  Grid->SetFocus();
  Grid->SetRow(19);
  Grid->SetCol(1);
  press({});
  EXPECT_TRUE(Grid->Focused());
  EXPECT_EQ(cell(), std::make_pair(2, 19));
  press({});
  EXPECT_TRUE(after->Focused());
  press({VK_SHIFT});
  EXPECT_TRUE(Grid->Focused());
  EXPECT_EQ(cell(), std::make_pair(2, 19));

  Grid->SetRow(0);
  Grid->SetCol(1);
  press({VK_SHIFT});
  EXPECT_EQ(cell(), std::make_pair(0, 0));
  press({VK_SHIFT});
  EXPECT_TRUE(before->Focused());

  for (bool shift : {false, true}) {
    Grid->SetFocus();
    Grid->SetRow(5);
    Grid->SetCol(1);
    press(shift ? std::initializer_list<int>{VK_CONTROL, VK_SHIFT} : std::initializer_list<int>{VK_CONTROL});
    EXPECT_TRUE((shift ? before : after)->Focused()) << shift;
    EXPECT_EQ(cell(), std::make_pair(1, 5)) << shift;
  }
  EXPECT_TRUE(Exceptions.Messages.empty());
}

// The current cell's focus rectangle follows the form's keyboard cues.
TEST_F(GridTest, TheFocusRectangleShowsOnlyWhileTheFormShowsFocusCues) {
  Grid->SetFocus();
  Grid->SetCol(1);
  Grid->SetRow(2);
  auto look = [this] {
    RedrawWindow(Grid->GetHandle(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    TDibSurface surface(Grid->GetClientWidth(), Grid->GetClientHeight());
    HDC dc = GetDC(Grid->GetHandle());
    BitBlt(surface.DC(), 0, 0, surface.Width(), surface.Height(), dc, 0, 0, SRCCOPY);
    ReleaseDC(Grid->GetHandle(), dc);
    std::vector<COLORREF> pixels;
    for (int y = 0; y < surface.Height(); ++y)
      for (int x = 0; x < surface.Width(); ++x)
        pixels.push_back(surface.Color(x, y));
    return pixels;
  };
  const std::vector<COLORREF> shown = look();
  SendMessageA(Form->GetHandle(), WM_UPDATEUISTATE, MAKEWPARAM(UIS_SET, UISF_HIDEFOCUS), 0);
  PumpPending();
  const std::vector<COLORREF> hidden = look();
  // What shows with the cue is what shows without it plus the system's focus rectangle
  // over the current cell.
  TDibSurface withRect(Grid->GetClientWidth(), Grid->GetClientHeight());
  for (int y = 0; y < withRect.Height(); ++y)
    for (int x = 0; x < withRect.Width(); ++x)
      SetPixel(withRect.DC(), x, y, hidden[size_t(y * withRect.Width() + x)]);
  const RECT current = Grid->CellRect(1, 2);
  DrawFocusRect(withRect.DC(), &current);
  GdiFlush();
  std::vector<COLORREF> expected;
  for (int y = 0; y < withRect.Height(); ++y)
    for (int x = 0; x < withRect.Width(); ++x)
      expected.push_back(withRect.Color(x, y));
  EXPECT_NE(hidden, shown);
  EXPECT_EQ(expected, shown);
}

}  // namespace
