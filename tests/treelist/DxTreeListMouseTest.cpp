// The tree list's mouse interaction, scroll bars, hints and timers by real posted mouse
// messages on shown forms: header clicks against the move threshold, selection with
// Ctrl and Shift, column sizing within its limits and its cancelling, thumb tracking,
// the hint's two timers, the drag scroll of two tree lists, and what closing the form
// in the middle of an interaction leaves behind.
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "classlib/DragDrop.h"
#include "editors/DxContainerHintWindow.h"
#include "tests/support/ResourceCounts.h"
#include "tests/treelist/TreeListInputTestSupport.h"

namespace {

class TreeListMouseTest : public TreeListInputTest {
 protected:
  TPoint HeaderMiddle(TCustomdxTreeList* tree, int column) {
    const TdxTreeListColumnEntry entry = HeaderOf(tree, column);
    return Point((entry.Rect.left + entry.Rect.right) / 2, (entry.Rect.top + entry.Rect.bottom) / 2);
  }
  void Wide(TInputTreeList* tree) {
    tree->Columns[0].Width = 300;
    tree->Columns[1].Width = 250;
    tree->Columns[2].Width = 250;
    tree->UpdateGuarded();
  }
};

TEST_F(TreeListMouseTest, AHeaderReleasedFivePixelsAwayIsAClickAndSixStartAColumnDrag) {
  Fill();
  Show();
  const TPoint p = HeaderMiddle(Tree, 1);
  Press(p.x, p.y);
  EXPECT_EQ(Tree->GetState(), stColumnPressed);
  MoveTo(p.x + 5, p.y);
  EXPECT_EQ(Tree->GetState(), stColumnPressed);
  Release(p.x + 5, p.y);
  EXPECT_EQ(Tree->GetState(), stNone);
  EXPECT_EQ(Tree->Clicks, (std::vector<int32_t>{1}));

  Press(p.x, p.y);
  MoveTo(p.x, p.y + 6);
  EXPECT_EQ(Tree->GetState(), stColumnDragging);
  Release(p.x, p.y + 6);
  EXPECT_EQ(Tree->GetState(), stNone);
  EXPECT_EQ(Tree->Clicks, (std::vector<int32_t>{1}));  // a drag is no click
  EXPECT_EQ(GetCapture(), nullptr);

  // Released on another header: no click.
  Press(p.x, p.y);
  Release(HeaderMiddle(Tree, 0).x, p.y);
  EXPECT_EQ(Tree->Clicks, (std::vector<int32_t>{1}));
}

TEST_F(TreeListMouseTest, CtrlClickTogglesShiftClickSelectsARangeAndAPlainClickNarrowsAtTheRelease) {
  Fill();
  SetOption(aoMultiSelect, true);
  Show();
  Click(RowPoint(A).x, RowPoint(A).y);
  EXPECT_EQ(SelectedTexts(), (std::vector<std::string>{"a"}));
  Click(RowPoint(C).x, RowPoint(C).y, MK_CONTROL);
  EXPECT_EQ(SelectedTexts(), (std::vector<std::string>{"a", "c"}));
  EXPECT_EQ(Tree->GetSelection().GetAnchorNode(), C);
  Click(RowPoint(C).x, RowPoint(C).y, MK_CONTROL);
  EXPECT_EQ(SelectedTexts(), (std::vector<std::string>{"a"}));
  EXPECT_EQ(Tree->GetSelection().GetAnchorNode(), C);
  EXPECT_EQ(Tree->GetFocusedNode(), C);
  Click(RowPoint(A).x, RowPoint(A).y, MK_SHIFT);  // from the anchor c up to a
  EXPECT_EQ(SelectedTexts(), (std::vector<std::string>{"a", "b", "c"}));
  // A press on a selected node keeps the selection until the release.
  Press(RowPoint(B).x, RowPoint(B).y);
  EXPECT_EQ(SelectedTexts(), (std::vector<std::string>{"a", "b", "c"}));
  Release(RowPoint(B).x, RowPoint(B).y);
  EXPECT_EQ(SelectedTexts(), (std::vector<std::string>{"b"}));
}

TEST_F(TreeListMouseTest, ADoubleClickOnANodeTogglesItAndTheButtonPressAlso) {
  Fill();
  Show();
  const TPoint p = RowPoint(B);
  Mouse(Tree, WM_LBUTTONDOWN, p.x, p.y, MK_LBUTTON);
  Mouse(Tree, WM_LBUTTONUP, p.x, p.y, 0);
  Mouse(Tree, WM_LBUTTONDBLCLK, p.x, p.y, MK_LBUTTON);
  Mouse(Tree, WM_LBUTTONUP, p.x, p.y, 0);
  EXPECT_TRUE(B->GetExpanded());
  EXPECT_EQ(Tree->GetState(), stNone);
}

// Regression: any double click on a node's row toggled the node, also in its indent and
// right of its last column, where only the control's double click belongs.
TEST_F(TreeListMouseTest, ADoubleClickInANodesIndentOrRightOfItsRowIsOnlyTheControls) {
  Fill();
  Node(Tree, B1, "b11");
  B->SetExpanded(true);
  Show();
  TRect row;
  Tree->GetNavigator().GetNodeRowRect(B1, row);
  const int y = (row.top + row.bottom) / 2;
  // The first point of b1's row with the hit code.
  auto find = [&](TdxTreeListHitTest code) {
    for (int x = 0; x < Tree->GetClientRect().right; ++x) {
      TdxTreeListHitInfo hit;
      Tree->GetHitInfo(Point(x, y), hit);
      if (hit.HitTest == code && hit.Node == B1)
        return x;
    }
    return -1;
  };
  auto doubleClick = [&](int x) {
    Mouse(Tree, WM_LBUTTONDOWN, x, y, MK_LBUTTON);
    Mouse(Tree, WM_LBUTTONUP, x, y, 0);
    Mouse(Tree, WM_LBUTTONDBLCLK, x, y, MK_LBUTTON);
    Mouse(Tree, WM_LBUTTONUP, x, y, 0);
  };
  const int indent = find(htIndent);
  const int right = find(htRowRight);
  ASSERT_GE(indent, 0);
  ASSERT_GE(right, 0);
  for (int x : {indent, right}) {
    const int before = Tree->DblClicks;
    doubleClick(x);
    EXPECT_FALSE(B1->GetExpanded()) << x;
    EXPECT_EQ(Tree->DblClicks, before + 1) << x;
  }
  // On the node's cell the double click toggles it and is the control's as well.
  const int cell = find(htCell);
  ASSERT_GE(cell, 0);
  doubleClick(cell);
  EXPECT_TRUE(B1->GetExpanded());
  EXPECT_EQ(Tree->DblClicks, 3);
}

TEST_F(TreeListMouseTest, DraggingAColumnEdgeSizesItWithinItsLimitsAndARightPressCancels) {
  Fill();
  Show();
  const TdxTreeListColumnEntry name = HeaderOf(Tree, 0);
  const int y = (name.Rect.top + name.Rect.bottom) / 2;
  const int edge = name.Rect.right - 1;
  TdxTreeListHitInfo hit;
  Tree->GetHitInfo(Point(edge, y), hit);
  ASSERT_EQ(hit.HitTest, htColumnEdge);
  const int oldWidth = Tree->Columns[0].Width;

  // Down to less than the minimum width: the line stops at it.
  Press(edge, y);
  EXPECT_EQ(Tree->GetState(), stColumnSizing);
  MoveTo(name.Rect.left + 3, y);
  Release(name.Rect.left + 3, y);
  EXPECT_EQ(Tree->GetState(), stNone);
  EXPECT_EQ(Tree->Columns[0].Width, Tree->Columns[0].MinWidth);

  // Past the client's right edge: the line stops there.
  const TdxTreeListColumnEntry narrow = HeaderOf(Tree, 0);
  Press(narrow.Rect.right - 2, y);
  MoveTo(5000, y);
  Release(5000, y);
  EXPECT_EQ(Tree->Columns[0].Width, Tree->GetClientRect().right - narrow.Rect.left);

  // A right press during the sizing cancels it: the width stays.
  Tree->Columns[0].Width = oldWidth;
  Tree->UpdateGuarded();
  Press(edge, y);
  MoveTo(edge + 30, y);
  Mouse(Tree, WM_RBUTTONDOWN, edge + 30, y, MK_LBUTTON | MK_RBUTTON);
  EXPECT_EQ(Tree->GetState(), stNone);
  Mouse(Tree, WM_RBUTTONUP, edge + 30, y, MK_LBUTTON);
  Release(edge + 30, y);
  EXPECT_EQ(Tree->Columns[0].Width, oldWidth);

  // An unmoved press changes nothing; a move of 30 pixels widens by 30.
  Click(edge, y);
  EXPECT_EQ(Tree->Columns[0].Width, oldWidth);
  Press(edge, y);
  MoveTo(edge + 30, y);
  Release(edge + 30, y);
  EXPECT_EQ(Tree->Columns[0].Width, oldWidth + 30);
}

TEST_F(TreeListMouseTest, AColumnSizedInsideItsBandTradesWidthWithItsNeighbourDownToItsMinimum) {
  Fill();
  SetOptionEx(aoBandHeaderWidth, false);  // the band keeps its own width
  Show();
  const int shown0 = Tree->GetColumnDisplayWidth(0), shown1 = Tree->GetColumnDisplayWidth(1),
            shown2 = Tree->GetColumnDisplayWidth(2);
  const TdxTreeListColumnEntry name = HeaderOf(Tree, 0);
  const int y = (name.Rect.top + name.Rect.bottom) / 2;
  Press(name.Rect.right - 1, y);
  MoveTo(name.Rect.right + 19, y);
  Release(name.Rect.right + 19, y);
  EXPECT_EQ(Tree->Columns[0].Width, shown0 + 20);
  EXPECT_EQ(Tree->Columns[1].Width, shown1 - 20);
  EXPECT_EQ(Tree->Columns[2].Width, shown2);
  EXPECT_EQ(Tree->GetColumnDisplayWidth(0) + Tree->GetColumnDisplayWidth(1) + Tree->GetColumnDisplayWidth(2),
            shown0 + shown1 + shown2);
  // Far to the right: the neighbour keeps its minimum width.
  const TdxTreeListColumnEntry wider = HeaderOf(Tree, 0);
  Press(wider.Rect.right - 1, y);
  MoveTo(wider.Rect.right + 300, y);
  Release(wider.Rect.right + 300, y);
  EXPECT_EQ(Tree->Columns[1].Width, Tree->Columns[1].MinWidth);
  EXPECT_EQ(Tree->Columns[0].Width, shown0 + shown1 - Tree->Columns[1].MinWidth);
  EXPECT_EQ(Tree->Columns[2].Width, shown2);
}

TEST_F(TreeListMouseTest, WithAutoWidthASizedBandTakesItsWidthAndTheBandsAfterItShareTheDifference) {
  Fill();
  Tree->Bands = {TTestBand{"One", 150}, TTestBand{"Two", 100}, TTestBand{"Three", 100}};
  Tree->Columns = {TTestColumn{"Name", 0}, TTestColumn{"Size", 1}, TTestColumn{"Kind", 2}};
  Tree->SetShowBands(true);
  SetOptionEx(aoBandHeaderWidth, false);
  SetOption(aoAutoWidth, true);
  Show();
  const int shown0 = Tree->GetWidths().GetBandDisplayWidth(0), shown1 = Tree->GetWidths().GetBandDisplayWidth(1),
            shown2 = Tree->GetWidths().GetBandDisplayWidth(2);
  TdxTreeListLayout layout;
  Tree->CalcLayout(layout);
  const TdxTreeListBandEntry* band = layout.FindBand(0);
  ASSERT_NE(band, nullptr);
  const int x = band->Rect.right - 2, y = (band->Rect.top + band->Rect.bottom) / 2;
  TdxTreeListHitInfo hit;
  Tree->GetHitInfo(Point(x, y), hit);
  ASSERT_EQ(hit.HitTest, htBandEdge);
  Press(x, y);
  EXPECT_EQ(Tree->GetState(), stBandSizing);
  MoveTo(x + 30, y);
  Release(x + 30, y);
  EXPECT_EQ(Tree->Bands[0].Width, shown0 + 30);
  const int newSum = shown1 + shown2 - 30;
  EXPECT_EQ(Tree->Bands[1].Width, MulDiv(shown1, newSum, shown1 + shown2));
  EXPECT_EQ(Tree->Bands[1].Width + Tree->Bands[2].Width, newSum);  // the last takes the remainder
}

TEST_F(TreeListMouseTest, TheHeaderPanelAndARowAreSizedInWholeLines) {
  Fill();
  SetOptionEx(aoHeaderPanelSizing, true);
  SetOptionEx(aoRowSizing, true);
  Show();
  TdxTreeListLayout layout;
  Tree->CalcLayout(layout);
  const int line = Tree->GetMetrics().HeaderLineHeight;
  const int bottom = layout.HeaderPanel.bottom - 1;
  TdxTreeListHitInfo hit;
  Tree->GetHitInfo(Point(50, bottom), hit);
  ASSERT_EQ(hit.HitTest, htHeaderPanelEdge);
  Press(50, bottom);
  EXPECT_EQ(Tree->GetState(), stHeaderPanelSizing);
  MoveTo(50, bottom + line * 3 / 2);  // past half of the second row: two rows
  Release(50, bottom + line * 3 / 2);
  EXPECT_EQ(Tree->HeaderRows, 2);
  Tree->HeaderRows = 1;
  Tree->UpdateGuarded();

  TRect row;
  Tree->GetNavigator().GetNodeRowRect(A, row);
  Tree->GetHitInfo(Point(50, row.bottom - 1), hit);
  ASSERT_EQ(hit.HitTest, htRowEdge);
  const int lineHeight = Tree->GetDefaultRowLinesHeight();
  Press(50, row.bottom - 1);
  EXPECT_EQ(Tree->GetState(), stRowSizing);
  MoveTo(50, row.top + 2 * lineHeight + 2);
  Release(50, row.top + 2 * lineHeight + 2);
  EXPECT_EQ(Tree->GetRowLineCount(), 2);
}

TEST_F(TreeListMouseTest, EscapeDuringColumnSizingCancelsItAndKeepsTheSelection) {
  Fill();
  SetOption(aoMultiSelect, true);
  Show();
  Tree->SetNodeSelected(C, true);
  const TdxTreeListColumnEntry name = HeaderOf(Tree, 0);
  const int y = (name.Rect.top + name.Rect.bottom) / 2;
  const int oldWidth = Tree->Columns[0].Width;
  Press(name.Rect.right - 2, y);
  MoveTo(name.Rect.right + 40, y);
  Key(VK_ESCAPE);
  EXPECT_EQ(Tree->GetState(), stNone);
  Release(name.Rect.right + 40, y);
  EXPECT_EQ(Tree->Columns[0].Width, oldWidth);
  EXPECT_EQ(SelectedTexts(), (std::vector<std::string>{"c"}));
}

TEST_F(TreeListMouseTest, ThumbTrackingTo13ScrollsTo12) {
  Fill();
  Wide(Tree);
  Show();
  ASSERT_GT(Tree->GetWidths().GetTotalScrollWidth() - Tree->GetWidths().GetVisibleScrollWidth(), 100);
  PostMessageA(Tree->GetHandle(), WM_HSCROLL, MAKEWPARAM(SB_THUMBTRACK, 13), 0);
  Application->ProcessMessages();
  EXPECT_EQ(Tree->GetLeftCoord(), 12);
  PostMessageA(Tree->GetHandle(), WM_HSCROLL, MAKEWPARAM(SB_LINERIGHT, 0), 0);
  Application->ProcessMessages();
  EXPECT_EQ(Tree->GetLeftCoord(), 12 + Tree->GetNavigator().GetHorzLineStep());
  PostMessageA(Tree->GetHandle(), WM_HSCROLL, MAKEWPARAM(SB_RIGHT, 0), 0);
  Application->ProcessMessages();
  EXPECT_EQ(Tree->GetLeftCoord(), Tree->GetWidths().GetTotalScrollWidth() - Tree->GetWidths().GetVisibleScrollWidth());
  PostMessageA(Tree->GetHandle(), WM_HSCROLL, MAKEWPARAM(SB_THUMBTRACK, 0), 0);
  Application->ProcessMessages();
  EXPECT_EQ(Tree->GetLeftCoord(), 0);

  for (int i = 0; i < 40; ++i)
    Node(Tree, nullptr, "n" + std::to_string(i));
  PostMessageA(Tree->GetHandle(), WM_VSCROLL, MAKEWPARAM(SB_THUMBTRACK, 5), 0);
  PostMessageA(Tree->GetHandle(), WM_VSCROLL, MAKEWPARAM(SB_LINEDOWN, 0), 0);
  Application->ProcessMessages();
  EXPECT_EQ(Tree->GetNavigator().GetTopIndex(), 6);
  PostMessageA(Tree->GetHandle(), WM_VSCROLL, MAKEWPARAM(SB_BOTTOM, 0), 0);
  Application->ProcessMessages();
  EXPECT_EQ(Tree->GetNavigator().GetTopIndex(), Tree->GetRowCount() - Tree->GetNavigator().GetVisibleRowCount());
}

TEST_F(TreeListMouseTest, AHintShowsAfterItsDelayAndHidesAfterFiveSeconds) {
  Fill();
  Show();
  const HWND wnd = Tree->GetHandle();
  const TPoint name = HeaderMiddle(Tree, 0);
  const TPoint size = HeaderMiddle(Tree, 1);
  ASSERT_TRUE(SettlePointerAt(Tree->ClientToScreen(size).x, Tree->ClientToScreen(size).y));
  MoveTo(name.x, name.y, 0);
  EXPECT_EQ(Timers.Interval(wnd, TdxTreeListTimers::kHintTimer), 1000u);
  EXPECT_EQ(Tree->GetTimers().GetHintWindow(), nullptr);
  const int sets = Timers.Sets;
  MoveTo(name.x + 3, name.y, 0);  // the same header: the delay runs on
  EXPECT_EQ(Timers.Sets, sets);
  MoveTo(size.x, size.y, 0);  // another header restarts it
  EXPECT_EQ(Timers.Sets, sets + 1);
  EXPECT_EQ(Timers.Interval(wnd, TdxTreeListTimers::kHintTimer), 1000u);

  PostMessageA(wnd, WM_TIMER, TdxTreeListTimers::kHintTimer, 0);
  Application->ProcessMessages();
  ASSERT_NE(Tree->GetTimers().GetHintWindow(), nullptr);
  EXPECT_TRUE(IsWindowVisible(Tree->GetTimers().GetHintWindow()->GetHandle()));
  EXPECT_EQ(Tree->GetTimers().GetHintWindow()->GetText(), "about Size");
  EXPECT_EQ(Timers.Interval(wnd, TdxTreeListTimers::kHintTimer), 0u);
  EXPECT_EQ(Timers.Interval(wnd, TdxTreeListTimers::kHintHideTimer), 5000u);

  PostMessageA(wnd, WM_TIMER, TdxTreeListTimers::kHintHideTimer, 0);
  Application->ProcessMessages();
  EXPECT_EQ(Tree->GetTimers().GetHintWindow(), nullptr);
  EXPECT_EQ(Timers.CountOn(wnd), 0);
  SettlePointerAt(0, 0);
}

TEST_F(TreeListMouseTest, RowsSelectedByDraggingScrollPastTheEdgeUntilTheRelease) {
  for (int i = 0; i < 40; ++i)
    Node(Tree, nullptr, "n" + std::to_string(i));
  SetOptionEx(aoDragSelectRows, true);
  Show();
  const HWND wnd = Tree->GetHandle();
  const TRect rows = Tree->GetLayoutBuilder().GetRowsRect();
  Press(100, rows.top + 5);
  EXPECT_EQ(Tree->GetState(), stRowSelecting);
  MoveTo(100, rows.bottom + 10);
  EXPECT_EQ(Timers.Interval(wnd, TdxTreeListTimers::kVertScrollTimer), 60u);
  const int row = Tree->GetNavigator().GetFocusedRowIndex();
  PostMessageA(wnd, WM_TIMER, TdxTreeListTimers::kVertScrollTimer, 0);
  PostMessageA(wnd, WM_TIMER, TdxTreeListTimers::kVertScrollTimer, 0);
  Application->ProcessMessages();
  EXPECT_EQ(Tree->GetNavigator().GetFocusedRowIndex(), row + 2);  // the ticks step during the selection
  EXPECT_GT(Tree->GetNavigator().GetTopIndex(), 0);
  MoveTo(100, rows.top + 5);  // back inside: the scroll stops
  EXPECT_EQ(Timers.Interval(wnd, TdxTreeListTimers::kVertScrollTimer), 0u);
  MoveTo(100, rows.top - 3);
  EXPECT_EQ(Timers.Interval(wnd, TdxTreeListTimers::kVertScrollTimer), 60u);
  Release(100, rows.top - 3);
  EXPECT_EQ(Tree->GetState(), stNone);
  EXPECT_EQ(Timers.CountOn(wnd), 0);
}

// Regression: the drag-scroll timers were process-wide: another tree list's drag-over
// stopped (or took over) this one's timer, and its horizontal and vertical scroll shared
// one timer id.
TEST_F(TreeListMouseTest, ADragScrollInOneTreeListNeitherScrollsNorStopsTheOther) {
  Timers.PassThrough = true;  // the system's timers tick by themselves
  Form->SetBounds(300, 300, 820, 320);
  TInputTreeList* other = MakeTree(Form, 400);
  for (TInputTreeList* tree : {Tree, other}) {
    Wide(tree);
    for (int i = 0; i < 40; ++i)
      Node(tree, nullptr, "n" + std::to_string(i));
  }
  Tree->SetDragMode(dmAutomatic);
  Show();
  const HWND wnd = Tree->GetHandle();
  const HWND otherWnd = other->GetHandle();

  // A node drag from the first tree list, held near its right edge: it scrolls itself.
  const TRect rows = Tree->GetLayoutBuilder().GetRowsRect();
  Press(100, rows.top + 5);
  MoveTo(120, rows.top + 5);
  ASSERT_EQ(Tree->GetState(), stNodeDragging);
  ASSERT_NE(ActiveDragObject(), nullptr);
  const TRect area = Tree->GetWidths().GetScrolledAreaRect();
  PostToCapture(WM_MOUSEMOVE, Tree->ClientToScreen(Point(area.right - 4, rows.top + 40)), MK_LBUTTON);
  EXPECT_EQ(Timers.Interval(wnd, TdxTreeListTimers::kHorzScrollTimer), 100u);
  EXPECT_TRUE(PumpUntil([&] { return Tree->GetLeftCoord() >= 64; }, 3000));
  EXPECT_EQ(other->GetLeftCoord(), 0);

  // The other tree list stops its own scrolls: this one's goes on.
  other->GetTimers().StopHorzScroll();
  other->GetTimers().StopVertScroll();
  other->Perform(WM_CANCELMODE, 0, 0);
  EXPECT_EQ(Timers.Interval(wnd, TdxTreeListTimers::kHorzScrollTimer), 100u);
  const int left = Tree->GetLeftCoord();
  EXPECT_TRUE(PumpUntil([&] { return Tree->GetLeftCoord() >= left + 64; }, 3000));

  // Over the other tree list's right edge: it scrolls, and the first one stops.
  const TRect otherArea = other->GetWidths().GetScrolledAreaRect();
  PostToCapture(WM_MOUSEMOVE, other->ClientToScreen(Point(otherArea.right - 4, rows.top + 40)), MK_LBUTTON);
  EXPECT_EQ(Timers.Interval(wnd, TdxTreeListTimers::kHorzScrollTimer), 0u);
  EXPECT_EQ(Timers.Interval(otherWnd, TdxTreeListTimers::kHorzScrollTimer), 100u);
  const int stopped = Tree->GetLeftCoord();
  EXPECT_TRUE(PumpUntil([&] { return other->GetLeftCoord() >= 64; }, 3000));
  EXPECT_EQ(Tree->GetLeftCoord(), stopped);

  PostToCapture(WM_LBUTTONUP, other->ClientToScreen(Point(100, rows.top + 40)), 0);
  EXPECT_EQ(ActiveDragObject(), nullptr);
  EXPECT_EQ(Tree->GetState(), stNone);
  EXPECT_EQ(Timers.CountOn(wnd), 0);
  EXPECT_EQ(Timers.CountOn(otherWnd), 0);
}

// Closing the form in the middle of an interaction: every timer the tree lists set is
// killed, nothing holds the mouse and no window is left.
TEST_F(TreeListMouseTest, ClosingTheFormDuringADragAHintOrAnAutoScrollLeavesNothing) {
  const int windows = ThreadWindowCount();
  auto makeForm = [&](TInputTreeList*& tree) {
    auto* form = new TForm(nullptr);
    form->SetBounds(520, 300, 420, 320);
    tree = MakeTree(form, 0);
    Wide(tree);
    for (int i = 0; i < 40; ++i)
      Node(tree, nullptr, "n" + std::to_string(i));
    form->Show();
    SetForegroundWindow(form->GetHandle());
    SetActiveWindow(form->GetHandle());
    PumpPending();
    tree->SetFocus();
    PumpPending();
    return form;
  };
  auto closed = [&](TForm* form, HWND wnd) {
    delete form;
    PumpPending();
    EXPECT_EQ(Timers.CountOn(wnd), 0);
    EXPECT_EQ(GetCapture(), nullptr);
    EXPECT_EQ(ActiveDragObject(), nullptr);
    EXPECT_EQ(ThreadWindowCount(), windows);
  };
  TInputTreeList* tree = nullptr;

  // A column drag scrolling sideways.
  TForm* form = makeForm(tree);
  HWND wnd = tree->GetHandle();
  const TPoint p = HeaderMiddle(tree, 0);
  Mouse(tree, WM_LBUTTONDOWN, p.x, p.y, MK_LBUTTON);
  Mouse(tree, WM_MOUSEMOVE, p.x + 10, p.y, MK_LBUTTON);
  ASSERT_EQ(tree->GetState(), stColumnDragging);
  Mouse(tree, WM_MOUSEMOVE, tree->GetWidths().GetScrolledAreaRect().right - 3, p.y, MK_LBUTTON);
  EXPECT_EQ(Timers.Interval(wnd, TdxTreeListTimers::kHorzScrollTimer), 100u);
  closed(form, wnd);

  // A node drag of the library's drag manager.
  form = makeForm(tree);
  wnd = tree->GetHandle();
  tree->SetDragMode(dmAutomatic);
  const int y = tree->GetLayoutBuilder().GetRowsRect().top + 5;
  Mouse(tree, WM_LBUTTONDOWN, 100, y, MK_LBUTTON);
  Mouse(tree, WM_MOUSEMOVE, 120, y, MK_LBUTTON);
  ASSERT_NE(ActiveDragObject(), nullptr);
  PostToCapture(WM_MOUSEMOVE, tree->ClientToScreen(Point(tree->GetWidths().GetScrolledAreaRect().right - 3, y + 40)),
                MK_LBUTTON);
  EXPECT_EQ(Timers.Interval(wnd, TdxTreeListTimers::kHorzScrollTimer), 100u);
  closed(form, wnd);

  // A hint shown.
  form = makeForm(tree);
  wnd = tree->GetHandle();
  const TPoint header = HeaderMiddle(tree, 0);
  ASSERT_TRUE(SettlePointerAt(tree->ClientToScreen(header).x, tree->ClientToScreen(header).y));
  Mouse(tree, WM_MOUSEMOVE, header.x, header.y, 0);
  PostMessageA(wnd, WM_TIMER, TdxTreeListTimers::kHintTimer, 0);
  Application->ProcessMessages();
  ASSERT_NE(tree->GetTimers().GetHintWindow(), nullptr);
  EXPECT_EQ(Timers.Interval(wnd, TdxTreeListTimers::kHintHideTimer), 5000u);
  closed(form, wnd);
  SettlePointerAt(0, 0);

  // Rows selected past the bottom edge, scrolling. The pointer stands where the selection
  // is moved to, so that a move the system reports while the mouse is captured (Wine
  // makes one when windows change under the pointer) does not move it elsewhere.
  form = makeForm(tree);
  wnd = tree->GetHandle();
  const TDragMode mode = dmManual;
  tree->SetDragMode(mode);
  tree->SetOptionsEx(tree->GetOptionsEx().Include(aoDragSelectRows));
  const TPoint below = Point(100, tree->GetLayoutBuilder().GetRowsRect().bottom + 20);
  SettlePointerAt(tree->ClientToScreen(below).x, tree->ClientToScreen(below).y);
  Mouse(tree, WM_LBUTTONDOWN, 100, y, MK_LBUTTON);
  Mouse(tree, WM_MOUSEMOVE, below.x, below.y, MK_LBUTTON);
  EXPECT_EQ(Timers.Interval(wnd, TdxTreeListTimers::kVertScrollTimer), 60u);
  closed(form, wnd);
  SettlePointerAt(0, 0);
}

}  // namespace
