// Header and node drag-and-drop and the middle-button scrolling of the tree list, by
// real posted mouse and key messages on shown forms: columns hidden by dragging them out
// of the header (with the delete cursor), dropped on their own place and between two
// others; bands moved; a node drag that expands a hovered node, is cancelled by Escape
// and is dropped on another node; the scrolling loop's marker, its speed-dependent
// steps, its neutral rectangle, and closing the form while it runs.
#include <functional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "classlib/DragDrop.h"
#include "tests/support/ResourceCounts.h"
#include "tests/treelist/TreeListControlTestSupport.h"
#include "tests/treelist/TreeListInputTestSupport.h"
#include "treelist/DxTreeListControl.h"
#include "treelist/DxTreeListDraw.h"

namespace {

void Post(HWND wnd, UINT msg, int x, int y, WPARAM keys) {
  PostMessageA(wnd, msg, keys, MAKELPARAM(WORD(short(x)), WORD(short(y))));
}

// ---- Header drags of the column-bound control

class TreeListHeaderDragTest : public FormTest {
 protected:
  void SetUp() override {
    FormTest::SetUp();
    Form->SetBounds(520, 300, 460, 300);
    Tree = new TCustomdxTreeListControl(Form);
    Tree->SetParent(Form);
    Tree->SetBounds(0, 0, 440, 260);
    for (const char* caption : {"A", "B", "C", "D"}) {
      TdxTreeListColumn* column = Tree->CreateColumn(&TdxTreeListColumn::MetaClass(), Form);
      column->SetCaption(caption);
      column->SetWidth(100);
    }
    for (int i = 0; i < 5; ++i)
      static_cast<TdxTreeListTextNode*>(Tree->Add())->GetStrings()->Add("n" + std::to_string(i));
    Tree->OnHeaderMoved = TdxTreeListColumnEvent::Bind<&TreeListHeaderDragTest::HeaderMoved>(this);
    Tree->OnHideHeader = TdxTreeListColumnEvent::Bind<&TreeListHeaderDragTest::HeaderHidden>(this);
    ShowForm();
    Tree->SetFocus();
    PumpPending();
  }
  void HeaderMoved(TObject*, TdxTreeListColumn* column) { Events.push_back("moved:" + column->GetCaption()); }
  void HeaderHidden(TObject*, TdxTreeListColumn* column) { Events.push_back("hidden:" + column->GetCaption()); }

  TRect Header(int column) {
    TdxTreeListLayout layout;
    Tree->CalcLayout(layout);
    const TdxTreeListColumnEntry* entry = layout.FindColumn(column);
    EXPECT_NE(entry, nullptr);
    return entry ? entry->Rect : TRect{};
  }
  void Mouse(UINT msg, int x, int y, WPARAM keys) {
    Post(Tree->GetHandle(), msg, x, y, keys);
    Application->ProcessMessages();
  }
  // Presses on a column's header and moves past the threshold: the column drag runs.
  void StartDrag(int column) {
    const TRect r = Header(column);
    const int x = (r.left + r.right) / 2, y = (r.top + r.bottom) / 2;
    Mouse(WM_LBUTTONDOWN, x, y, MK_LBUTTON);
    Mouse(WM_MOUSEMOVE, x + 10, y, MK_LBUTTON);
    ASSERT_EQ(Tree->GetState(), stColumnDragging);
  }
  std::vector<std::string> RowCaptions() {
    std::vector<std::string> captions;
    for (int position = 0; position < Tree->GetColumnCountInRow(0, 0); ++position)
      captions.push_back(Tree->GetColumn(Tree->GetColumnAt(0, 0, position))->GetCaption());
    return captions;
  }
  void HideByDrag(bool on) {
    TdxTreeListOptions options = Tree->GetOptions();
    Tree->SetOptions(on ? options.Include(aoHideByDrag) : options.Exclude(aoHideByDrag));
  }
  // Nothing of a header drag is left behind.
  void ExpectDragOver() {
    EXPECT_EQ(Tree->GetState(), stNone);
    EXPECT_EQ(Tree->GetDrag().GetDragImageList(), nullptr);
    EXPECT_FALSE(Tree->GetDrag().GetDragArrowsShown());
    EXPECT_EQ(GetCapture(), nullptr);
  }

  TCustomdxTreeListControl* Tree = nullptr;
  std::vector<std::string> Events;
};

TEST_F(TreeListHeaderDragTest, AColumnDraggedOutOfTheHeaderShowsTheDeleteCursorAndHidesOnlyWithHideByDrag) {
  const TRect rows = Tree->GetLayoutBuilder().GetRowsRect();
  for (bool hideByDrag : {false, true}) {
    HideByDrag(hideByDrag);
    StartDrag(1);
    ASSERT_NE(Tree->GetDrag().GetDragImageList(), nullptr);
    EXPECT_TRUE(Tree->GetDrag().GetDragImageList()->GetDragging());
    // The picture is the header as the control paints it.
    EXPECT_EQ(Tree->GetDrag().GetDragImageList()->GetWidth(), RectWidth(Header(1)));
    Mouse(WM_MOUSEMOVE, 150, rows.top + 40, MK_LBUTTON);
    EXPECT_EQ(Tree->GetDrag().GetDropPlace().Band, -1);
    EXPECT_EQ(Tree->GetDrag().GetHeaderDragCursor(), crDxTreeListDelete);
    EXPECT_EQ(GetCursor(), Screen->GetCursors(crDxTreeListDelete));
    EXPECT_FALSE(Tree->GetDrag().GetDragArrowsShown());
    Mouse(WM_LBUTTONUP, 150, rows.top + 40, 0);
    ExpectDragOver();
    EXPECT_EQ(Tree->GetColumn(1)->GetVisible(), !hideByDrag);
  }
  EXPECT_EQ(RowCaptions(), (std::vector<std::string>{"A", "C", "D"}));
  EXPECT_EQ(Events, (std::vector<std::string>{"hidden:B"}));
}

TEST_F(TreeListHeaderDragTest, AColumnDroppedOnEitherHalfOfItsOwnPlaceChangesNothing) {
  HideByDrag(true);
  for (int side : {0, 1}) {
    StartDrag(1);
    const TRect own = Header(1);
    const int x = side == 0 ? own.left + 5 : own.right - 5;
    const int y = (own.top + own.bottom) / 2;
    Mouse(WM_MOUSEMOVE, x, y, MK_LBUTTON);
    EXPECT_EQ(Tree->GetDrag().GetDropPlace().Band, 0);
    EXPECT_EQ(Tree->GetDrag().GetDropPlace().Position, 1);
    EXPECT_EQ(Tree->GetDrag().GetHeaderDragCursor(), Tree->GetCursor());
    EXPECT_TRUE(Tree->GetDrag().GetDragArrowsShown());
    Mouse(WM_LBUTTONUP, x, y, 0);
    ExpectDragOver();
  }
  EXPECT_EQ(RowCaptions(), (std::vector<std::string>{"A", "B", "C", "D"}));
  EXPECT_TRUE(Events.empty());
}

TEST_F(TreeListHeaderDragTest, AColumnDroppedBetweenTwoOthersMovesThereWithItsCellTexts) {
  auto* node = static_cast<TdxTreeListTextNode*>(Tree->GetItem(0));
  node->GetStrings()->Clear();
  for (const char* text : {"a", "b", "c", "d"})
    node->GetStrings()->Add(text);
  StartDrag(0);
  // The right half of C: the boundary between C and D.
  const TRect c = Header(2);
  const int y = (c.top + c.bottom) / 2;
  Mouse(WM_MOUSEMOVE, c.right - 4, y, MK_LBUTTON);
  EXPECT_EQ(Tree->GetDrag().GetDropPlace().Position, 2);
  EXPECT_TRUE(Tree->GetDrag().GetDragArrowsShown());
  Mouse(WM_LBUTTONUP, c.right - 4, y, 0);
  ExpectDragOver();
  EXPECT_EQ(RowCaptions(), (std::vector<std::string>{"B", "C", "A", "D"}));
  EXPECT_EQ(Events, (std::vector<std::string>{"moved:A"}));
  std::string text;
  Tree->GetCellText(node, Tree->IndexOfColumn(Tree->GetColumn(2)), text);
  EXPECT_EQ(text, "a");

  // Escape during a drag: the layout stays.
  StartDrag(3);
  Mouse(WM_MOUSEMOVE, Header(0).left + 3, y, MK_LBUTTON);
  PostMessageA(Tree->GetHandle(), WM_KEYDOWN, VK_ESCAPE, 1);
  Application->ProcessMessages();
  Mouse(WM_LBUTTONUP, Header(0).left + 3, y, 0);
  ExpectDragOver();
  EXPECT_EQ(RowCaptions(), (std::vector<std::string>{"B", "C", "A", "D"}));
}

TEST_F(TreeListHeaderDragTest, AColumnDroppedOnAHeaderRowBelowItsBandsLastRowOpensANewRow) {
  Tree->SetHeaderPanelRowCount(2);
  Tree->UpdateGuarded();
  PumpPending();
  ASSERT_EQ(Tree->GetBandRowCount(0), 1);
  StartDrag(3);
  const TRect b = Header(1);
  const int lower = b.bottom + RectHeight(b) / 2;  // the panel's second header row
  Mouse(WM_MOUSEMOVE, b.left + 4, lower, MK_LBUTTON);
  EXPECT_EQ(Tree->GetDrag().GetDropPlace().Row, 1);
  EXPECT_EQ(Tree->GetDrag().GetDropPlace().Kind, 1);
  Mouse(WM_LBUTTONUP, b.left + 4, lower, 0);
  ExpectDragOver();
  EXPECT_EQ(Tree->GetColumn(3)->GetRowIndex(), 1);
  EXPECT_EQ(Tree->GetBandRowCount(0), 2);
  EXPECT_EQ(RowCaptions(), (std::vector<std::string>{"A", "B", "C"}));
}

TEST_F(TreeListHeaderDragTest, TheOwnersDragOverAndEndDragHandlersDecideTheCursorAndTheDrop) {
  struct THandlers {
    std::vector<std::string> Log;
    void Over(TObject*, TdxTreeListColumn* column, const TPoint&, bool& accept) {
      accept = false;
      Log.push_back("over:" + column->GetCaption());
    }
    void End(TObject*, TdxTreeListColumn* column, TdxTreeListDropPlace& place, bool& accept) {
      Log.push_back("end:" + column->GetCaption() + ">" + std::to_string(place.Position));
      accept = place.Position != 3;  // not to the end
      place.Position = accept ? 0 : place.Position;  // anything else goes first
    }
  } handlers;
  Tree->OnDragOverHeader = TdxTreeListDragOverHeaderEvent::Bind<&THandlers::Over>(&handlers);
  Tree->OnEndDragHeader = TdxTreeListEndDragHeaderEvent::Bind<&THandlers::End>(&handlers);
  StartDrag(1);
  const TRect d = Header(3);
  const int y = (d.top + d.bottom) / 2;
  // Over the header, refused by the handler: the delete cursor.
  Mouse(WM_MOUSEMOVE, d.right - 4, y, MK_LBUTTON);
  EXPECT_EQ(Tree->GetDrag().GetHeaderDragCursor(), crDxTreeListDelete);
  Mouse(WM_LBUTTONUP, d.right - 4, y, 0);
  ExpectDragOver();
  EXPECT_EQ(RowCaptions(), (std::vector<std::string>{"A", "B", "C", "D"}));
  StartDrag(1);
  Mouse(WM_MOUSEMOVE, d.left + 4, y, MK_LBUTTON);
  Mouse(WM_LBUTTONUP, d.left + 4, y, 0);
  EXPECT_EQ(RowCaptions(), (std::vector<std::string>{"B", "A", "C", "D"}));
  EXPECT_EQ(handlers.Log, (std::vector<std::string>{"over:B", "end:B>3", "over:B", "end:B>2"}));
}

TEST_F(TreeListHeaderDragTest, ABandDroppedAfterAnotherMovesAndOneDroppedOutsideHidesWithHideByDrag) {
  ShowBandsXYZ(Tree, /*firstWidth=*/200, /*otherWidth=*/100);
  Tree->SetOptionsEx(Tree->GetOptionsEx().Include(aoBandMoving));
  Tree->UpdateGuarded();
  PumpPending();
  auto bandRect = [&](int band) {
    TdxTreeListLayout layout;
    Tree->CalcLayout(layout);
    const TdxTreeListBandEntry* entry = layout.FindBand(band);
    EXPECT_NE(entry, nullptr);
    return entry ? entry->Rect : TRect{};
  };
  auto captions = [&] {
    std::string text;
    for (int i = 0; i < Tree->GetVisibleBandCount(); ++i) {
      std::string caption;
      Tree->GetVisibleBandCaption(i, caption);
      text += caption;
    }
    return text;
  };
  const TRect x = bandRect(0);
  const int y = (x.top + x.bottom) / 2;
  Mouse(WM_LBUTTONDOWN, x.left + 10, y, MK_LBUTTON);
  Mouse(WM_MOUSEMOVE, x.left + 20, y, MK_LBUTTON);
  ASSERT_EQ(Tree->GetState(), stBandDragging);
  // The right half of the second band: after it.
  Mouse(WM_MOUSEMOVE, bandRect(1).right - 3, y, MK_LBUTTON);
  EXPECT_EQ(Tree->GetDrag().GetDropPlace().Band, 1);
  Mouse(WM_LBUTTONUP, bandRect(1).right - 3, y, 0);
  ExpectDragOver();
  EXPECT_EQ(captions(), "YXZ");

  HideByDrag(true);
  const TRect z = bandRect(2);
  Mouse(WM_LBUTTONDOWN, z.left + 10, y, MK_LBUTTON);
  Mouse(WM_MOUSEMOVE, z.left + 20, y, MK_LBUTTON);
  ASSERT_EQ(Tree->GetState(), stBandDragging);
  Mouse(WM_MOUSEMOVE, z.left + 20, Tree->GetLayoutBuilder().GetRowsRect().top + 30, MK_LBUTTON);
  EXPECT_EQ(Tree->GetDrag().GetHeaderDragCursor(), crDxTreeListDelete);
  Mouse(WM_LBUTTONUP, z.left + 20, Tree->GetLayoutBuilder().GetRowsRect().top + 30, 0);
  ExpectDragOver();
  EXPECT_EQ(captions(), "YX");
}

// ---- Node drags

class TreeListNodeDragTest : public TreeListInputTest {
 protected:
  void SetUp() override {
    TreeListInputTest::SetUp();
    Fill();
    Tree->SetDragMode(dmAutomatic);
    Show();
  }
  // A point on the node's expand button.
  TPoint ButtonPoint(TdxTreeListNode* node) {
    TRect row;
    Tree->GetNavigator().GetNodeRowRect(node, row);
    const int y = (row.top + row.bottom) / 2;
    for (int x = row.left; x < row.left + 100; ++x) {
      TdxTreeListHitInfo hit;
      Tree->GetHitInfo(Point(x, y), hit);
      if (hit.HitTest == htButton && hit.Node == node)
        return Point(x + 2, y);
    }
    ADD_FAILURE() << "no expand button";
    return Point(0, 0);
  }
  // Presses on the node's row and moves past the threshold: the node drag runs.
  void StartDrag(TdxTreeListNode* node) {
    const TPoint p = RowPoint(node);
    Press(p.x, p.y);
    MoveTo(p.x + 20, p.y);
    ASSERT_EQ(Tree->GetState(), stNodeDragging);
    ASSERT_NE(ActiveDragObject(), nullptr);
  }
  void DragTo(const TPoint& client) { PostToCapture(WM_MOUSEMOVE, Tree->ClientToScreen(client), MK_LBUTTON); }
  void ExpectDragOver() {
    EXPECT_EQ(ActiveDragObject(), nullptr);
    EXPECT_EQ(Tree->GetState(), stNone);
    EXPECT_EQ(Tree->GetDrag().GetDragNode(), nullptr);
    EXPECT_EQ(Tree->GetDrag().GetDragImageList(), nullptr);
    EXPECT_EQ(GetCapture(), nullptr);
    EXPECT_EQ(Timers.CountOn(Tree->GetHandle()), 0);
  }
  // The owner's handlers: every drag over the tree list is accepted, and a node dropped
  // on another becomes its last child.
  void Accept(TObject*, TObject*, int, int, TDragState, bool& accept) { accept = true; }
  void Drop(TObject*, TObject* source, int x, int y) {
    Drops.push_back(source == Tree ? TTestTreeList::TextOf(Tree->GetDrag().GetDragNode()) : "?");
    TdxTreeListNode* target = Tree->GetHitTester().GetNodeAt(x, y);
    if (target && Tree->GetDrag().GetDragNode() && target != Tree->GetDrag().GetDragNode())
      Tree->GetDrag().GetDragNode()->MoveTo(target, nullptr);
  }
  void Handlers() {
    Tree->OnDragOver = TDragOverEvent::Bind<&TreeListNodeDragTest::Accept>(this);
    Tree->OnDragDrop = TDragDropEvent::Bind<&TreeListNodeDragTest::Drop>(this);
  }
  std::vector<std::string> Drops;
};

TEST_F(TreeListNodeDragTest, ANodeDraggedOverACollapsedNodesButtonExpandsItWhenTheHoverDelayEnds) {
  const HWND wnd = Tree->GetHandle();
  StartDrag(A);
  // The drag carries the row's picture as the control's drag images.
  ASSERT_NE(Tree->GetDrag().GetDragImageList(), nullptr);
  EXPECT_EQ(Tree->GetDragImages(), Tree->GetDrag().GetDragImageList());
  EXPECT_EQ(ActiveDragObject()->GetDragImages(), Tree->GetDrag().GetDragImageList());

  DragTo(ButtonPoint(B));
  EXPECT_EQ(Tree->GetDrag().GetDragExpandNode(), B);
  EXPECT_EQ(Timers.Interval(wnd, TdxTreeListTimers::kDragExpandTimer), 500u);
  EXPECT_FALSE(B->GetExpanded());
  // The focus follows the drag.
  EXPECT_EQ(Tree->GetFocusedNode(), B);
  PostMessageA(wnd, WM_TIMER, TdxTreeListTimers::kDragExpandTimer, 0);
  Application->ProcessMessages();
  EXPECT_TRUE(B->GetExpanded());
  EXPECT_EQ(Timers.Interval(wnd, TdxTreeListTimers::kDragExpandTimer), 0u);

  // Leaving a button before the delay ends: nothing expands.
  B->SetExpanded(false);
  DragTo(ButtonPoint(B));
  EXPECT_EQ(Timers.Interval(wnd, TdxTreeListTimers::kDragExpandTimer), 500u);
  DragTo(RowPoint(C));
  EXPECT_EQ(Timers.Interval(wnd, TdxTreeListTimers::kDragExpandTimer), 0u);
  EXPECT_EQ(Tree->GetDrag().GetDragExpandNode(), nullptr);
  PostMessageA(wnd, WM_TIMER, TdxTreeListTimers::kDragExpandTimer, 0);
  Application->ProcessMessages();
  EXPECT_FALSE(B->GetExpanded());

  // With the toggle option the hovered node toggles, and again after twice the delay.
  SetOptionEx(aoDragExpandToggle, true);
  DragTo(ButtonPoint(B));
  PostMessageA(wnd, WM_TIMER, TdxTreeListTimers::kDragExpandTimer, 0);
  Application->ProcessMessages();
  EXPECT_TRUE(B->GetExpanded());
  EXPECT_EQ(Timers.Interval(wnd, TdxTreeListTimers::kDragExpandTimer), 1000u);
  PostMessageA(wnd, WM_TIMER, TdxTreeListTimers::kDragExpandTimer, 0);
  Application->ProcessMessages();
  EXPECT_FALSE(B->GetExpanded());

  PostToCapture(WM_LBUTTONUP, Tree->ClientToScreen(RowPoint(C)), 0);
  ExpectDragOver();
  EXPECT_EQ(Tree->GetDrag().GetDragExpandNode(), nullptr);
}

TEST_F(TreeListNodeDragTest, EscapeCancelsANodeDragAndNothingIsDropped) {
  Handlers();
  StartDrag(A);
  DragTo(RowPoint(C));
  EXPECT_TRUE(ActiveDragObject()->GetAccepted());
  PostMessageA(Tree->GetHandle(), WM_KEYDOWN, VK_ESCAPE, 1);
  Application->ProcessMessages();
  ExpectDragOver();
  EXPECT_TRUE(Drops.empty());
  EXPECT_EQ(A->GetParent(), nullptr);
  EXPECT_EQ(C->GetCount(), 0);
}

TEST_F(TreeListNodeDragTest, ANodeDroppedOnAnotherBecomesWhatTheOwnersDropHandlerMakesOfIt) {
  Handlers();
  StartDrag(A);
  DragTo(RowPoint(C));
  EXPECT_EQ(Tree->GetFocusedNode(), C);
  PostToCapture(WM_LBUTTONUP, Tree->ClientToScreen(RowPoint(C)), 0);
  ExpectDragOver();
  EXPECT_EQ(Drops, (std::vector<std::string>{"a"}));
  EXPECT_EQ(A->GetParent(), C);
  EXPECT_EQ(C->GetItem(0), A);
  EXPECT_EQ(Tree->GetItem(0), B);
}

// ---- Middle-button scrolling

// A tree list that records the scroll messages it gets and, on a probe message, what the
// middle-button scrolling shows then.
class TScrollTree : public TInputTreeList {
  KIVO_CLASS(TScrollTree, TInputTreeList)
 public:
  static constexpr UINT kProbe = WM_APP + 7;
  struct TProbe {
    bool Scrolling = false;
    bool MarkerVisible = false;
    HWND MarkerWnd = nullptr;
    RECT Marker{};
    int Direction = -1;
    int Speed = 0;
    HCURSOR Cursor = nullptr;
    int ThreadTimers = -1;
  };
  using TInputTreeList::TInputTreeList;
  std::vector<std::pair<UINT, WPARAM>> Scrolls;
  std::vector<TProbe> Probes;
  // Counts the thread timers for a probe.
  std::function<int()> ThreadTimerCount;
  void Dispatch(TMessage& message) override {
    if (message.Msg == WM_VSCROLL || message.Msg == WM_HSCROLL)
      Scrolls.emplace_back(message.Msg, message.WParam);
    if (message.Msg != kProbe) {
      TInputTreeList::Dispatch(message);
      return;
    }
    if (message.WParam == 1) {
      // Probe once more after what was posted meanwhile, then end any loop still running.
      PostMessageA(GetHandle(), kProbe, 0, 0);
      PostThreadMessageA(GetCurrentThreadId(), WM_RBUTTONDOWN, MK_RBUTTON, 0);
      return;
    }
    TProbe probe;
    if (ThreadTimerCount)
      probe.ThreadTimers = ThreadTimerCount();
    probe.Scrolling = GetMouse().GetMiddleScroll().IsMiddleScrolling();
    probe.MarkerWnd = GetMouse().GetMiddleScroll().GetMiddleScrollMarker();
    probe.MarkerVisible = probe.MarkerWnd && IsWindowVisible(probe.MarkerWnd);
    if (GetMouse().GetMiddleScroll().GetMiddleScrollMarker())
      GetWindowRect(GetMouse().GetMiddleScroll().GetMiddleScrollMarker(), &probe.Marker);
    probe.Direction = GetMouse().GetMiddleScroll().GetMiddleScrollDirection();
    probe.Speed = GetMouse().GetMiddleScroll().GetMiddleScrollSpeed();
    probe.Cursor = ::GetCursor();
    Probes.push_back(probe);
  }
};

class TreeListMiddleScrollTest : public TreeListInputTest {
 protected:
  // A scrolling tree list on the fixture's shown form.
  TScrollTree* ShowScrollTree(int nodes, bool wide) {
    TScrollTree* tree = MakeScrollTree(Form, nodes, wide);
    Form->SetBounds(520, 300, 420, 320);
    Show();
    tree->SetFocus();
    PumpPending();
    return tree;
  }
  TScrollTree* MakeScrollTree(TForm* form, int nodes, bool wide) {
    auto* tree = new TScrollTree(form);
    tree->SetParent(form);
    tree->SetBounds(0, 0, 380, 260);
    tree->Bands = {TTestBand{"Band", 300}};
    const int width = wide ? 300 : 80;
    tree->Columns = {TTestColumn{"Name", 0, 0, width}, TTestColumn{"Size", 0, 0, width}};
    for (int i = 0; i < nodes; ++i)
      tree->AddNode(nullptr, "n" + std::to_string(i));
    return tree;
  }
  static void Tick() { PostThreadMessageA(GetCurrentThreadId(), WM_TIMER, TTimerRecorder::kThreadTimerId, 0); }
  static void Probe(TScrollTree* tree) { PostMessageA(tree->GetHandle(), TScrollTree::kProbe, 0, 0); }
  static HCURSOR Cursor(TCursor cursor) { return Screen->GetCursors(cursor); }
  // Runs the posted messages; a right press after them ends a loop that failed to end
  // (the test then fails instead of waiting for ever).
  static void Run() {
    PostThreadMessageA(GetCurrentThreadId(), WM_RBUTTONDOWN, MK_RBUTTON, 0);
    Application->ProcessMessages();
  }
  int LineDowns(TScrollTree* tree) {
    int count = 0;
    for (const auto& [msg, code] : tree->Scrolls)
      count += msg == WM_VSCROLL && code == SB_LINEDOWN ? 1 : 0;
    return count;
  }
};

TEST_F(TreeListMiddleScrollTest, AMiddlePressShowsTheMarkerAndStepsAtTheSpeedOfTheDistance) {
  TScrollTree* tree = ShowScrollTree(60, /*wide=*/true);
  const HWND wnd = tree->GetHandle();
  ASSERT_EQ(GetWindowLongA(wnd, GWL_STYLE) & (WS_HSCROLL | WS_VSCROLL), WS_HSCROLL | WS_VSCROLL);
  const TPoint press{150, 120};
  const TPoint screen = tree->ClientToScreen(press);
  // All at once: the loop reads them one by one. 200 pixels down is speed 12 (a step on
  // every tick); 26 pixels down is (26 - 16) / 5 + 1 = 3, a step on every tenth tick of
  // the loop (ticks 10 and 20 of the 20 that follow the first three).
  Post(wnd, WM_MBUTTONDOWN, press.x, press.y, MK_MBUTTON);
  Probe(tree);
  Post(wnd, WM_MOUSEMOVE, press.x, press.y + 200, MK_MBUTTON);
  Probe(tree);
  for (int i = 0; i < 3; ++i)
    Tick();
  Post(wnd, WM_MOUSEMOVE, press.x, press.y + 26, MK_MBUTTON);
  Probe(tree);
  for (int i = 0; i < 20; ++i)
    Tick();
  Post(wnd, WM_MOUSEMOVE, press.x - 60, press.y + 10, MK_MBUTTON);
  Probe(tree);
  Post(wnd, WM_MOUSEMOVE, press.x + 3, press.y - 3, MK_MBUTTON);
  Probe(tree);
  Post(wnd, WM_LBUTTONDOWN, press.x, press.y, MK_LBUTTON);
  Probe(tree);
  Run();

  ASSERT_EQ(tree->Probes.size(), 6u);
  const auto& first = tree->Probes[0];
  EXPECT_TRUE(first.Scrolling);
  EXPECT_TRUE(first.MarkerVisible);
  EXPECT_EQ(first.Marker.right - first.Marker.left, 32);
  EXPECT_EQ(first.Marker.bottom - first.Marker.top, 32);
  EXPECT_EQ((first.Marker.left + first.Marker.right) / 2, screen.x);
  EXPECT_EQ((first.Marker.top + first.Marker.bottom) / 2, screen.y);
  EXPECT_EQ(first.Direction, 0);
  EXPECT_EQ(first.Cursor, Cursor(crDxTreeListFullScroll));
  EXPECT_EQ(tree->Probes[1].Direction, 4);
  EXPECT_EQ(tree->Probes[1].Speed, 12);
  EXPECT_EQ(tree->Probes[1].Cursor, Cursor(crDxTreeListDownScroll));
  EXPECT_EQ(tree->Probes[2].Speed, 3);
  // Left of the marker by more than down: the horizontal axis (60 - 16) / 5 + 1 = 9.
  EXPECT_EQ(tree->Probes[3].Direction, 1);
  EXPECT_EQ(tree->Probes[3].Speed, 9);
  EXPECT_EQ(tree->Probes[3].Cursor, Cursor(crDxTreeListLeftScroll));
  // Back inside the marker: nothing scrolls.
  EXPECT_EQ(tree->Probes[4].Direction, 0);
  EXPECT_FALSE(tree->Probes[5].Scrolling);
  EXPECT_EQ(LineDowns(tree), 5);
  EXPECT_EQ(tree->Scrolls.size(), 5u);
  EXPECT_EQ(tree->GetNavigator().GetTopIndex(), 5);
  // The loop's timer, marker and capture are gone.
  EXPECT_FALSE(IsWindow(first.MarkerWnd));
  EXPECT_EQ(Timers.CountOn(nullptr), 0);
  EXPECT_EQ(GetCapture(), nullptr);
  EXPECT_FALSE(tree->GetMouse().GetMiddleScroll().IsMiddleScrolling());
}

TEST_F(TreeListMiddleScrollTest, AClickWithoutMovingKeepsTheModeUntilTheNextButtonAndEscapeEndsIt) {
  TScrollTree* tree = ShowScrollTree(60, /*wide=*/false);
  const HWND wnd = tree->GetHandle();
  Post(wnd, WM_MBUTTONDOWN, 100, 100, MK_MBUTTON);
  Post(wnd, WM_MBUTTONUP, 100, 100, 0);
  Probe(tree);
  Post(wnd, WM_RBUTTONDOWN, 100, 100, MK_RBUTTON);
  Probe(tree);
  // Left the marker once: the middle release ends it; before that Escape.
  Post(wnd, WM_MBUTTONDOWN, 100, 100, MK_MBUTTON);
  PostMessageA(wnd, WM_KEYDOWN, VK_ESCAPE, 1);
  Probe(tree);
  Post(wnd, WM_MBUTTONDOWN, 100, 100, MK_MBUTTON);
  Post(wnd, WM_MOUSEMOVE, 100, 160, MK_MBUTTON);
  Post(wnd, WM_MOUSEMOVE, 100, 100, MK_MBUTTON);
  Post(wnd, WM_MBUTTONUP, 100, 100, 0);
  Probe(tree);
  Run();
  ASSERT_EQ(tree->Probes.size(), 4u);
  EXPECT_TRUE(tree->Probes[0].Scrolling);
  EXPECT_FALSE(tree->Probes[1].Scrolling);
  EXPECT_FALSE(tree->Probes[2].Scrolling);
  EXPECT_FALSE(tree->Probes[3].Scrolling);
  EXPECT_TRUE(tree->Scrolls.empty());
  EXPECT_EQ(Timers.CountOn(nullptr), 0);
  EXPECT_EQ(GetCapture(), nullptr);
}

// Regression: with neither scroll bar the neutral rectangle covered the whole screen in
// both directions, so the mode could never scroll; it now behaves as vertical-only.
TEST_F(TreeListMiddleScrollTest, WithoutScrollBarsOnlyVerticalMovementLeavesTheNeutralRectangle) {
  TScrollTree* tree = ShowScrollTree(3, /*wide=*/false);
  const HWND wnd = tree->GetHandle();
  ASSERT_EQ(GetWindowLongA(wnd, GWL_STYLE) & (WS_HSCROLL | WS_VSCROLL), 0);
  Post(wnd, WM_MBUTTONDOWN, 150, 100, MK_MBUTTON);
  Probe(tree);
  Post(wnd, WM_MOUSEMOVE, 350, 100, MK_MBUTTON);
  Probe(tree);
  Tick();
  Post(wnd, WM_MOUSEMOVE, 150, 20, MK_MBUTTON);
  Probe(tree);
  Tick();
  PostMessageA(wnd, WM_KEYUP, VK_ESCAPE, LPARAM(0xC0000001));
  Probe(tree);
  Run();
  ASSERT_EQ(tree->Probes.size(), 4u);
  EXPECT_FALSE(tree->Probes[3].Scrolling);
  EXPECT_EQ(tree->Probes[0].Cursor, Cursor(crDxTreeListVertScroll));  // the vertical picture's cursor
  EXPECT_EQ(tree->Probes[1].Direction, 0);
  EXPECT_EQ(tree->Probes[2].Direction, 2);
  EXPECT_EQ(tree->Probes[2].Speed, 12);  // (80 - 16) / 5 + 1 = 13, held at 12
  ASSERT_EQ(tree->Scrolls.size(), 1u);
  EXPECT_EQ(tree->Scrolls[0], std::make_pair(UINT(WM_VSCROLL), WPARAM(SB_LINEUP)));
  EXPECT_FALSE(tree->GetMouse().GetMiddleScroll().IsMiddleScrolling());
}

// Regression: the scrolling loop went on with a control whose form was closed by a
// message it dispatched; it now ends with the window, and nothing is left.
TEST_F(TreeListMiddleScrollTest, ClosingTheFormDuringTheLoopLeavesNoCaptureTimerOrWindow) {
  // Probes from a tree list on the fixture's form, which stays.
  TScrollTree* observer = MakeScrollTree(Form, 0, /*wide=*/false);
  observer->ThreadTimerCount = [&] { return Timers.CountOn(nullptr); };
  observer->HandleNeeded();
  const int windows = ThreadWindowCount();
  // The form frees itself (by a message it posts) when it closes; the observer probes
  // after that message: by then the loop must have ended.
  struct TCloser {
    TScrollTree* Observer;
    void Close(TObject*, TCloseAction& action) {
      action = caFree;
      PostMessageA(Observer->GetHandle(), TScrollTree::kProbe, 1, 0);
    }
  } closer{observer};
  auto* form = new TForm(nullptr);
  form->SetBounds(520, 300, 420, 320);
  form->OnClose = TCloseEvent::Bind<&TCloser::Close>(&closer);
  TScrollTree* tree = MakeScrollTree(form, 60, /*wide=*/true);
  form->Show();
  SetForegroundWindow(form->GetHandle());
  PumpPending();
  tree->SetFocus();
  PumpPending();
  const HWND wnd = tree->GetHandle();
  const HWND formWnd = form->GetHandle();
  Post(wnd, WM_MBUTTONDOWN, 150, 120, MK_MBUTTON);
  Post(wnd, WM_MOUSEMOVE, 150, 300, MK_MBUTTON);
  Tick();
  PostMessageA(formWnd, WM_CLOSE, 0, 0);
  Tick();
  Application->ProcessMessages();
  PumpPending();
  ASSERT_EQ(observer->Probes.size(), 1u);
  EXPECT_EQ(observer->Probes[0].ThreadTimers, 0);  // the loop had ended with the form
  EXPECT_FALSE(IsWindow(wnd));
  EXPECT_EQ(GetCapture(), nullptr);
  EXPECT_EQ(Timers.CountOn(nullptr), 0);
  EXPECT_EQ(ThreadWindowCount(), windows);
}

}  // namespace
