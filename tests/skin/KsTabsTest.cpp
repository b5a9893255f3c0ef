// Skinned tab controls in real windows: defaults, the captions list and its duplicate
// rule, the row and tab geometry (tab lengths measured with the same GDI text calls),
// tab changes with their events and refusals, keys, hit testing, the scroll arrows and
// their timer, painting by pixel rule, and the pages kept in step with the tabs.
#include <gtest/gtest.h>

#include "ControlPaintSupport.h"
#include "SkinTestSupport.h"
#include "classlib/ClassRegistry.h"
#include "classlib/Forms.h"
#include "classlib/Timer.h"
#include "skin/KsTabs.h"
#include "tests/controls/ControlsTestSupport.h"

namespace {

LPARAM At(int x, int y) { return MAKELPARAM(x, y); }
TKsColor Sys(TColor c) { return ColorToKsColor(c, 255); }

// The caption width the control measures: a TKsBitmap's text width in the font.
int CaptionWidth(TFont* font, const std::string& text) {
  TKsBitmap bitmap;
  bitmap.SetSize(10, 10);
  bitmap.SetFont(font);
  return bitmap.TextWidth(text, 0);
}

struct TChangeRecorder {
  int Changes = 0;
  int Changings = 0;
  bool Allow = true;
  std::vector<int> IndexSeen;
  TKsCustomTabControl* Control = nullptr;
  void Change(TObject*) { ++Changes; }
  void Changing(TObject*, bool& allow) {
    ++Changings;
    IndexSeen.push_back(Control->GetTabIndex());
    allow = Allow;
  }
  void Attach(TKsCustomTabControl* control) {
    Control = control;
    control->OnChange = TNotifyEvent::Bind<&TChangeRecorder::Change>(this);
    control->OnChanging = TKsTabChangingEvent::Bind<&TChangeRecorder::Changing>(this);
  }
};

struct TDrawRecorder {
  struct TCall {
    int Index;
    TRect Rect;
    bool Active;
  };
  std::vector<TCall> Calls;
  void Draw(TObject*, int index, const TRect& rect, bool active) {
    Calls.push_back({index, rect, active});
  }
};

class KsTabsTest : public FormTest {
 protected:
  void SetUp() override {
    FormTest::SetUp();
    Form->SetBounds(600, 400, 400, 300);
  }
  TKsCustomTabControl* Make(int width, int height, std::initializer_list<const char*> tabs = {}) {
    auto* control = new TKsCustomTabControl(Form);
    control->SetParent(Form);
    control->SetBounds(5, 5, width, height);
    control->GetFont()->SetSize(8);
    for (const char* tab : tabs)
      control->GetTabs()->Add(tab);
    return control;
  }
  // Six tabs of 60 pixels in a 200-pixel control: the arrows are needed.
  TKsCustomTabControl* MakeScrolling() {
    auto* control = Make(200, 120, {"a", "b", "c", "d", "e", "f"});
    control->SetTabWidth(60);
    return control;
  }
  static void Down(TControl* control, int x, int y) {
    control->Perform(WM_MOUSEMOVE, 0, At(x, y));
    control->Perform(WM_LBUTTONDOWN, MK_LBUTTON, At(x, y));
  }
  static void Up(TControl* control, int x, int y) { control->Perform(WM_LBUTTONUP, 0, At(x, y)); }
  static void Tick(TKsCustomTabControl* control) {
    control->GetTimer()->GetOnTimer()(control->GetTimer());
  }
  static TPoint Centre(const TRect& r) { return {(r.left + r.right) / 2, (r.top + r.bottom) / 2}; }
};

// ---- Creation and the captions list ------------------------------------------------------------

TEST_F(KsTabsTest, Defaults) {
  auto* control = new TKsCustomTabControl(Form);
  EXPECT_EQ(control->GetWidth(), 289);
  EXPECT_EQ(control->GetHeight(), 193);
  EXPECT_TRUE(control->GetTabStop());
  EXPECT_TRUE(control->GetControlStyle().Contains(csAcceptsControls));
  EXPECT_TRUE(control->GetControlStyle().Contains(csDoubleClicks));
  EXPECT_EQ(control->GetTabIndex(), -1);
  EXPECT_EQ(control->GetTabPosition(), tpTop);
  EXPECT_FALSE(control->GetMultiLine());
  EXPECT_FALSE(control->GetUsePages());
  EXPECT_EQ(control->GetTabWidth(), 0);
  EXPECT_EQ(control->GetFirstVisibleTab(), 0);
  EXPECT_EQ(control->GetHotTab(), -1);
  EXPECT_EQ(control->PageCount(), 0);
  EXPECT_EQ(control->GetActivePageIndex(), -1);
  control->SetParent(Form);
  EXPECT_EQ(SendMessageA(control->GetHandle(), WM_GETDLGCODE, 0, 0), LRESULT(DLGC_WANTARROWS));

  auto* sheet = new TKsCustomTabSheet(Form);
  EXPECT_EQ(sheet->GetAlign(), alClient);
  EXPECT_FALSE(sheet->GetVisible());
  EXPECT_TRUE(sheet->GetControlStyle().Contains(csAcceptsControls));
  EXPECT_TRUE(sheet->GetControlStyle().Contains(csNoDesignVisible));
  EXPECT_EQ(sheet->PageIndex(), -1);
  EXPECT_NE(GetClass("TKsCustomTabSheet"), nullptr);
}

TEST_F(KsTabsTest, DuplicateCaptionsAreRefusedExceptByAssign) {
  auto* control = Make(200, 100, {"A"});
  try {
    control->GetTabs()->Add("A");
    FAIL() << "no exception";
  } catch (const Exception& e) {
    EXPECT_STREQ(e.what(), "A tab named A already exists.");
  }
  EXPECT_THROW(control->GetTabs()->Insert(0, "a"), Exception);  // compared as the list compares
  EXPECT_EQ(control->GetTabs()->GetCount(), 1);

  TStringList source;
  source.Add("X");
  source.Add("X");
  control->SetTabs(&source);
  EXPECT_EQ(control->GetTabs()->GetText(), "X\r\nX\r\n");
  // Assign left the check on for later additions.
  EXPECT_THROW(control->GetTabs()->Add("X"), Exception);
}

TEST_F(KsTabsTest, UpdatesDeferTheLayoutAndCutTheIndex) {
  auto* control = Make(200, 100, {"A", "B", "C"});
  control->SetTabIndex(2);
  control->GetTabs()->BeginUpdate();
  EXPECT_TRUE(control->GetUpdating());
  control->GetTabs()->Delete(2);
  EXPECT_EQ(control->GetTabIndex(), 1);  // cut to the last tab at once
  control->GetTabs()->EndUpdate();
  EXPECT_FALSE(control->GetUpdating());
  control->GetTabs()->Clear();
  EXPECT_EQ(control->GetTabIndex(), -1);
}

// ---- Geometry ------------------------------------------------------------------------------------

TEST_F(KsTabsTest, RowHeightTabLengthAndButtonSize) {
  auto* control = Make(300, 100, {"Layers", "A"});
  EXPECT_EQ(control->GetTabRowHeight(), 18);  // 8 x 1.7 = 13.6 rounds to 14, plus 4
  control->GetFont()->SetSize(10);
  EXPECT_EQ(control->GetTabRowHeight(), 21);  // 17 + 4
  control->SetTabHeight(25);
  EXPECT_EQ(control->GetTabRowHeight(), 25);
  control->SetTabHeight(0);
  control->GetFont()->SetSize(8);

  const int layers = CaptionWidth(control->GetFont(), "Layers") + 12;
  EXPECT_EQ(control->GetTabLength(0), std::max(layers, 40));
  // A short caption still gets twice (row height + margin).
  EXPECT_EQ(control->GetTabLength(1), 40);
  control->SetTabWidth(33);
  EXPECT_EQ(control->GetTabLength(0), 33);

  TSize size{};
  control->GetScrollButtonSize(size);
  EXPECT_EQ(size.cx, 16);
  EXPECT_EQ(size.cy, 16);
}

TEST_F(KsTabsTest, RowsBreakWhereTheWidthIsFull) {
  // Three tabs of 60 with 150 pixels available: rows 0..1 (extra 15) and 2 (extra 90).
  auto* control = Make(154, 120, {"a", "b", "c"});
  control->SetTabWidth(60);
  control->SetMultiLine(true);
  control->CalcRows();
  ASSERT_EQ(control->GetRowCount(), 2);
  EXPECT_EQ(control->GetRows()[0].LastTab, 1);
  EXPECT_EQ(control->GetRows()[0].Extra, 15);
  EXPECT_EQ(control->GetRows()[0].Remainder, 0);
  EXPECT_EQ(control->GetRows()[1].LastTab, 2);
  EXPECT_EQ(control->GetRows()[1].Extra, 90);
  // A fixed tab width is never stretched.
  EXPECT_EQ(control->GetTabExtent(0), 60);
  EXPECT_EQ(control->RowOf(2), 1);
}

TEST_F(KsTabsTest, MultiLineRowsFillTheWidthUnlessRagged) {
  auto* control = Make(230, 150, {"Alpha", "Beta", "Gamma", "Delta", "Epsilon", "Zeta", "Eta"});
  control->SetMultiLine(true);
  control->CalcRows();
  ASSERT_GT(control->GetRowCount(), 1);
  const int avail = 230 - 4;
  int first = 0;
  for (const auto& row : control->GetRows()) {
    int sum = 0;
    for (int i = first; i <= row.LastTab; ++i)
      sum += control->GetTabExtent(i);
    EXPECT_EQ(sum, avail) << "row ending at " << row.LastTab;
    // Tabs sit edge to edge from the left margin.
    EXPECT_EQ(control->TabRect(first).left, 2);
    EXPECT_EQ(control->TabRect(row.LastTab).right, 2 + avail);
    first = row.LastTab + 1;
  }
  control->SetRaggedRight(true);
  for (int i = 0; i < 7; ++i)
    EXPECT_EQ(control->GetTabExtent(i), control->GetTabLength(i));
}

TEST_F(KsTabsTest, SelectedRowTouchesTheBody) {
  auto* control = Make(154, 120, {"a", "b", "c"});
  control->SetTabWidth(60);
  control->SetMultiLine(true);
  // Rows 0 (near) and 1 (far) while nothing is selected; the body starts below both.
  EXPECT_EQ(control->TabsHeight(), 2 * 18 + 2);
  EXPECT_EQ(control->TabRect(0), (TRect{2, 20, 62, 40}));
  EXPECT_EQ(control->TabRect(2), (TRect{2, 2, 62, 40}));
  EXPECT_EQ(control->DisplayRect(), (TRect{0, 38, 154, 120}));
  // Selecting the far row brings it to the body; the other row wraps behind.
  control->SetTabIndex(2);
  EXPECT_EQ(control->TabRect(2), (TRect{2, 20, 62, 40}));
  EXPECT_EQ(control->TabRect(0), (TRect{2, 2, 62, 40}));
}

TEST_F(KsTabsTest, ScrollOppositeMovesRowsBeforeTheSelectedOneAcross) {
  auto* control = Make(154, 120, {"a", "b", "c"});
  control->SetTabWidth(60);
  control->SetScrollOpposite(true);
  EXPECT_TRUE(control->GetMultiLine());
  control->SetTabIndex(2);
  // Row 1 stays on top; row 0 sits at the bottom, 18 pixels high.
  EXPECT_EQ(control->TabsHeight(), 18 + 2);
  EXPECT_EQ(control->OppositeHeight(), 18);
  EXPECT_EQ(control->DisplayRect(), (TRect{0, 20, 154, 102}));
  EXPECT_EQ(control->TabRect(2), (TRect{2, 2, 62, 22}));
  EXPECT_EQ(control->TabRect(0), (TRect{2, 120 - 18 - 2, 62, 120}));
}

TEST_F(KsTabsTest, SidesPlaceTabsAndBody) {
  auto* control = Make(200, 150, {"a", "b"});
  control->SetTabWidth(50);
  control->SetTabPosition(tpBottom);
  EXPECT_EQ(control->DisplayRect(), (TRect{0, 0, 200, 130}));
  EXPECT_EQ(control->TabRect(1), (TRect{52, 128, 102, 148}));
  control->SetTabPosition(tpLeft);
  EXPECT_TRUE(control->GetMultiLine());
  EXPECT_EQ(control->DisplayRect(), (TRect{20, 0, 200, 150}));
  EXPECT_EQ(control->TabRect(1), (TRect{2, 52, 22, 102}));
  control->SetTabPosition(tpRight);
  EXPECT_EQ(control->DisplayRect(), (TRect{0, 0, 180, 150}));
  EXPECT_EQ(control->TabRect(0), (TRect{178, 2, 198, 52}));
  // Children are laid out inside the body less the margins plus one.
  auto* child = new TKsCustomControl(Form);
  child->SetParent(control);
  child->SetAlign(alClient);
  EXPECT_EQ(child->GetBoundsRect(), (TRect{3, 3, 177, 147}));

  try {
    control->SetMultiLine(false);
    FAIL() << "no exception";
  } catch (const Exception& e) {
    EXPECT_STREQ(e.what(), "MultiLine must be True when TabPosition is tpLeft or tpRight");
  }
  EXPECT_TRUE(control->GetMultiLine());
}

// ---- Tab changes, keys and hit testing ---------------------------------------------------------

TEST_F(KsTabsTest, TabIndexChangesFireEventsAndCanBeRefused) {
  auto* control = Make(300, 100, {"A", "B", "C"});
  TChangeRecorder recorder;
  recorder.Attach(control);
  control->SetTabIndex(1);
  EXPECT_EQ(control->GetTabIndex(), 1);
  EXPECT_EQ(recorder.Changes, 1);
  ASSERT_EQ(recorder.IndexSeen.size(), 1u);
  EXPECT_EQ(recorder.IndexSeen[0], 1);  // the new index is in place while asking
  // Unchanged, negative and too large values are ignored without asking.
  control->SetTabIndex(1);
  control->SetTabIndex(-1);
  control->SetTabIndex(3);
  EXPECT_EQ(recorder.Changings, 1);
  recorder.Allow = false;
  control->SetTabIndex(2);
  EXPECT_EQ(control->GetTabIndex(), 1);
  EXPECT_EQ(recorder.Changes, 1);
}

TEST_F(KsTabsTest, ArrowKeysStepThroughTheTabs) {
  auto* control = Make(300, 100, {"A", "B", "C"});
  ShowForm();
  HWND wnd = control->GetHandle();
  control->SetTabIndex(0);
  SendMessageA(wnd, WM_KEYDOWN, VK_RIGHT, 0);
  EXPECT_EQ(control->GetTabIndex(), 1);
  SendMessageA(wnd, WM_KEYDOWN, VK_DOWN, 0);
  EXPECT_EQ(control->GetTabIndex(), 2);
  SendMessageA(wnd, WM_KEYDOWN, VK_RIGHT, 0);
  EXPECT_EQ(control->GetTabIndex(), 2);
  SendMessageA(wnd, WM_KEYDOWN, VK_UP, 0);
  EXPECT_EQ(control->GetTabIndex(), 1);
  SendMessageA(wnd, WM_KEYDOWN, VK_LEFT, 0);
  SendMessageA(wnd, WM_KEYDOWN, VK_LEFT, 0);
  EXPECT_EQ(control->GetTabIndex(), 0);
}

TEST_F(KsTabsTest, HitTestingSingleLine) {
  auto* control = Make(300, 100, {"A", "B", "C"});
  control->SetTabWidth(60);
  control->SetTabIndex(0);
  EXPECT_EQ(control->TabAtPos(30, 10), 0);
  EXPECT_EQ(control->TabAtPos(90, 10), 1);
  EXPECT_EQ(control->TabAtPos(150, 10), 2);
  EXPECT_EQ(control->TabAtPos(250, 10), -1);
  // The margin toward the body belongs to the selected tab only.
  EXPECT_EQ(control->TabAtPos(90, 21), -1);
  EXPECT_EQ(control->TabAtPos(30, 21), 0);
  EXPECT_EQ(control->TabAtPos(30, 50), -1);
  control->GetTabs()->Clear();
  EXPECT_EQ(control->TabAtPos(30, 10), -1);
}

TEST_F(KsTabsTest, HitTestingMultiLineFindsTheRowsByPlace) {
  auto* control = Make(154, 120, {"a", "b", "c"});
  control->SetTabWidth(60);
  control->SetMultiLine(true);
  control->SetTabIndex(1);  // row 0 near the body, row 1 behind it
  EXPECT_EQ(control->TabAtPos(30, 30), 0);
  EXPECT_EQ(control->TabAtPos(90, 30), 1);
  EXPECT_EQ(control->TabAtPos(30, 10), 2);
  EXPECT_EQ(control->TabAtPos(90, 10), -1);
  control->SetScrollOpposite(true);
  control->SetTabIndex(2);  // row 0 moves to the bottom
  EXPECT_EQ(control->TabAtPos(30, 110), 0);
  EXPECT_EQ(control->TabAtPos(90, 110), 1);
  EXPECT_EQ(control->TabAtPos(30, 10), 2);
}

TEST_F(KsTabsTest, MouseSelectsTabsAndTracksTheHotTab) {
  auto* control = Make(300, 100, {"A", "B", "C"});
  control->SetTabWidth(60);
  ShowForm();
  TChangeRecorder recorder;
  recorder.Attach(control);
  Down(control, 90, 10);
  Up(control, 90, 10);
  EXPECT_EQ(control->GetTabIndex(), 1);
  EXPECT_EQ(recorder.Changes, 1);
  EXPECT_TRUE(control->Focused());
  control->Perform(WM_MOUSEMOVE, 0, At(150, 10));
  EXPECT_EQ(control->GetHotTab(), 2);
  control->Perform(CM_MOUSELEAVE);
  EXPECT_EQ(control->GetHotTab(), -1);
  // The right button does not select.
  control->Perform(WM_RBUTTONDOWN, MK_RBUTTON, At(30, 10));
  control->Perform(WM_RBUTTONUP, 0, At(30, 10));
  EXPECT_EQ(control->GetTabIndex(), 1);
}

// ---- Scroll arrows -------------------------------------------------------------------------------

TEST_F(KsTabsTest, ArrowsAppearOnlyWhenTheRowIsTooWide) {
  auto* control = MakeScrolling();
  EXPECT_TRUE(control->ScrollButtonsVisible());
  EXPECT_EQ(control->LeftButtonRect(), (TRect{168, 2, 184, 18}));
  EXPECT_EQ(control->RightButtonRect(), (TRect{184, 2, 200, 18}));
  EXPECT_TRUE(control->InRightButton(190, 10));
  EXPECT_TRUE(control->InLeftButton(170, 10));
  // The strip of the arrows hides the tab beneath.
  EXPECT_EQ(control->TabAtPos(170, 19), -1);
  EXPECT_EQ(control->LastVisibleTab(), 3);  // three whole tabs and one partly
  control->SetTabPosition(tpBottom);
  EXPECT_EQ(control->LeftButtonRect(), (TRect{168, 102, 184, 118}));
  control->SetMultiLine(true);
  EXPECT_FALSE(control->ScrollButtonsVisible());
  EXPECT_FALSE(control->InRightButton(190, 110));
  control->SetMultiLine(false);
  control->SetTabWidth(30);
  EXPECT_FALSE(control->ScrollButtonsVisible());
}

TEST_F(KsTabsTest, SelectingAHiddenTabScrollsItClearOfTheArrows) {
  auto* control = MakeScrolling();
  control->SetTabIndex(3);
  EXPECT_EQ(control->GetFirstVisibleTab(), 2);
  EXPECT_LE(control->TabRect(3).right, control->LeftButtonRect().left);
  control->SetTabIndex(0);
  EXPECT_EQ(control->GetFirstVisibleTab(), 0);
  // A refused change scrolls nothing.
  TChangeRecorder recorder;
  recorder.Attach(control);
  recorder.Allow = false;
  control->SetTabIndex(5);
  EXPECT_EQ(control->GetTabIndex(), 0);
  EXPECT_EQ(control->GetFirstVisibleTab(), 0);
}

TEST_F(KsTabsTest, ScrollingStopsOnceTheLastTabIsInView) {
  auto* control = MakeScrolling();
  control->ScrollTabs(10);
  EXPECT_EQ(control->GetFirstVisibleTab(), 4);
  control->ScrollTabs(-1);
  EXPECT_EQ(control->GetFirstVisibleTab(), 3);
  control->ScrollTabs(-10);
  EXPECT_EQ(control->GetFirstVisibleTab(), 0);
}

TEST_F(KsTabsTest, HoldingTheRightArrowRepeats) {
  auto* control = MakeScrolling();
  ShowForm();
  Down(control, 190, 10);
  EXPECT_TRUE(control->GetRightButtonPressed());
  EXPECT_EQ(control->GetFirstVisibleTab(), 1);  // one step at once
  ASSERT_NE(control->GetTimer(), nullptr);
  EXPECT_TRUE(control->GetTimer()->GetEnabled());
  EXPECT_EQ(control->GetTimer()->GetInterval(), 300u);
  Tick(control);
  EXPECT_EQ(control->GetFirstVisibleTab(), 2);
  EXPECT_EQ(control->GetTimer()->GetInterval(), 100u);
  Tick(control);
  Tick(control);
  Tick(control);
  EXPECT_EQ(control->GetFirstVisibleTab(), 4);  // the last tab is in view
  // Off the pressed arrow nothing scrolls.
  control->Perform(WM_MOUSEMOVE, MK_LBUTTON, At(100, 60));
  Tick(control);
  control->Perform(WM_MOUSEMOVE, MK_LBUTTON, At(170, 10));
  Tick(control);
  EXPECT_EQ(control->GetFirstVisibleTab(), 4);
  Up(control, 170, 10);
  EXPECT_FALSE(control->GetRightButtonPressed());
  EXPECT_FALSE(control->GetTimer()->GetEnabled());
  Down(control, 170, 10);
  EXPECT_EQ(control->GetFirstVisibleTab(), 3);
  Up(control, 170, 10);
}

// Fault: deleting tabs scrolled out of view left the first shown tab beyond the list,
// so the next layout read captions past the end.
TEST_F(KsTabsTest, DeletingScrolledTabsKeepsTheFirstShownTabInRange) {
  auto* control = MakeScrolling();
  control->ScrollTabs(10);
  ASSERT_EQ(control->GetFirstVisibleTab(), 4);
  control->GetTabs()->BeginUpdate();
  for (int i = 5; i >= 3; --i)
    control->GetTabs()->Delete(i);
  control->GetTabs()->EndUpdate();
  EXPECT_LE(control->GetFirstVisibleTab(), 2);
  EXPECT_NO_THROW(control->TabRect(0));
  ShowForm();
  EXPECT_NO_THROW(Paint(control));
  EXPECT_TRUE(Exceptions.Messages.empty());
}

// ---- Painting ------------------------------------------------------------------------------------

TEST_F(KsTabsTest, BodyAndTabEdgesFollowTheRule) {
  auto* control = Make(300, 100, {"A", "B", "C"});
  control->SetTabWidth(60);
  control->SetTabIndex(0);
  ShowForm();
  Paint(control);
  const TKsColor face = Sys(clBtnFace), light = Sys(clBtnHighlight), dark = Sys(cl3DDkShadow),
                 shadow = Sys(clBtnShadow);
  const TRect body = control->DisplayRect();
  ASSERT_EQ(body, (TRect{0, 20, 300, 100}));
  // The body: light top-left, dark bottom-right, a face/shadow frame inside, face within.
  EXPECT_EQ(Pixel(control, 200, body.top), light);
  EXPECT_EQ(Pixel(control, 0, 60), light);
  EXPECT_EQ(Pixel(control, 150, 99), dark);
  EXPECT_EQ(Pixel(control, 299, 60), dark);
  EXPECT_EQ(Pixel(control, 150, 98), shadow);
  EXPECT_EQ(Pixel(control, 298, 60), shadow);
  EXPECT_EQ(Pixel(control, 200, 21), face);
  EXPECT_EQ(Pixel(control, 150, 60), face);
  // The unselected tab 2 (122..182, 2..22): light top and left, dark and shadow right.
  const TRect tab = control->TabRect(2);
  ASSERT_EQ(tab, (TRect{122, 2, 182, 22}));
  EXPECT_EQ(Pixel(control, 152, tab.top), light);
  EXPECT_EQ(Pixel(control, tab.left, 10), light);
  EXPECT_EQ(Pixel(control, tab.right - 1, 10), dark);
  EXPECT_EQ(Pixel(control, tab.right - 2, 10), shadow);
  EXPECT_EQ(Pixel(control, tab.left + 1, tab.top + 1), light);
  // The selected tab grows by 2 on its outer sides and covers the body's top line.
  EXPECT_EQ(Pixel(control, 30, 0), light);
  EXPECT_EQ(Pixel(control, 0, 10), light);
  EXPECT_EQ(Pixel(control, 63, 10), dark);
  EXPECT_EQ(Pixel(control, 30, body.top), face);
  // Right of the tabs the background shows.
  EXPECT_EQ(Pixel(control, 250, 10), Opaque(ColorToKsColor(control->GetColor(), 255)));
}

TEST_F(KsTabsTest, BottomTabsHaveDarkOuterEdges) {
  auto* control = Make(300, 100, {"A", "B", "C"});
  control->SetTabWidth(60);
  control->SetTabPosition(tpBottom);
  control->SetTabIndex(0);
  ShowForm();
  Paint(control);
  const TRect tab = control->TabRect(2);
  ASSERT_EQ(tab, (TRect{122, 78, 182, 98}));
  EXPECT_EQ(Pixel(control, 152, tab.bottom - 1), Sys(cl3DDkShadow));
  EXPECT_EQ(Pixel(control, 152, tab.bottom - 2), Sys(clBtnShadow));
  EXPECT_EQ(Pixel(control, tab.left, 90), Sys(clBtnHighlight));
  EXPECT_EQ(Pixel(control, tab.right - 1, 90), Sys(cl3DDkShadow));
}

TEST_F(KsTabsTest, CaptionsAreDrawnAndTheHotOneHighlighted) {
  auto* control = Make(300, 100, {"Wide", "Wide2"});
  control->SetTabWidth(60);
  control->SetHotTrack(true);
  ShowForm();
  control->Perform(WM_MOUSEMOVE, 0, At(90, 10));
  ASSERT_EQ(control->GetHotTab(), 1);
  Paint(control);
  // Counts the pixels of a colour, and those off the face, inside a tab's edges.
  auto count = [&](int index, TKsColor color, bool offFace) {
    const TRect r = control->TabRect(index);
    int n = 0;
    for (int y = r.top + 2; y < r.bottom - 4; ++y)
      for (int x = r.left + 2; x < r.right - 2; ++x) {
        const TKsColor p = Pixel(control, x, y);
        n += offFace ? p != Sys(clBtnFace) : p == color;
      }
    return n;
  };
  const TKsColor hot = Sys(clHighlight);
  EXPECT_GT(count(0, 0, true), 0);
  EXPECT_EQ(count(0, hot, false), 0);
  EXPECT_GT(count(1, hot, false), 0);
  control->Perform(CM_MOUSELEAVE);
  Paint(control);
  EXPECT_EQ(count(1, hot, false), 0);
  // Side tabs turn their captions.
  control->SetTabPosition(tpLeft);
  Paint(control);
  EXPECT_GT(count(0, 0, true), 0);
}

TEST_F(KsTabsTest, ArrowsAreTheSystemScrollArrows) {
  auto* control = MakeScrolling();
  ShowForm();
  auto expectArrow = [&](const TRect& r, UINT state) {
    TKsBitmap expected;
    expected.SetSize(RectWidth(r), RectHeight(r));
    TRect local{0, 0, RectWidth(r), RectHeight(r)};
    DrawFrameControl(expected.GetDC(), &local, DFC_SCROLL, state);
    GdiFlush();
    for (int y = 0; y < RectHeight(r); ++y)
      for (int x = 0; x < RectWidth(r); ++x)
        ASSERT_EQ(Pixel(control, r.left + x, r.top + y), Opaque(expected.GetPixel(x, y)))
            << "state " << state << " at " << x << ", " << y;
  };
  Paint(control);
  expectArrow(control->LeftButtonRect(), DFCS_SCROLLLEFT);
  expectArrow(control->RightButtonRect(), DFCS_SCROLLRIGHT);
  Down(control, 190, 10);
  Paint(control);
  expectArrow(control->RightButtonRect(), DFCS_SCROLLRIGHT | DFCS_PUSHED);
  Up(control, 190, 10);
}

TEST_F(KsTabsTest, OwnerDrawHandsEveryShownTabToTheEvent) {
  auto* control = Make(300, 100, {"A", "B", "C"});
  control->SetTabWidth(60);
  control->SetOwnerDraw(true);
  control->SetTabIndex(1);
  TDrawRecorder recorder;
  control->OnDrawTab = TKsDrawTabEvent::Bind<&TDrawRecorder::Draw>(&recorder);
  ShowForm();
  recorder.Calls.clear();
  Paint(control);
  ASSERT_EQ(recorder.Calls.size(), 3u);
  // Unselected tabs first, the selected one last, grown on its outer sides.
  EXPECT_EQ(recorder.Calls[0].Index, 0);
  EXPECT_FALSE(recorder.Calls[0].Active);
  EXPECT_EQ(recorder.Calls[0].Rect, control->TabRect(0));
  EXPECT_EQ(recorder.Calls[2].Index, 1);
  EXPECT_TRUE(recorder.Calls[2].Active);
  const TRect r = control->TabRect(1);
  EXPECT_EQ(recorder.Calls[2].Rect, (TRect{r.left - 2, r.top - 2, r.right + 2, r.bottom}));
}

// ---- Pages ---------------------------------------------------------------------------------------

TEST_F(KsTabsTest, UsePagesMakesOneSheetPerTab) {
  auto* control = Make(300, 150, {"A", "B"});
  control->SetUsePages(true);
  ASSERT_EQ(control->PageCount(), 2);
  EXPECT_EQ(control->GetPage(0)->GetCaption(), "A");
  EXPECT_EQ(control->GetPage(1)->GetCaption(), "B");
  EXPECT_EQ(control->GetPage(1)->GetParent(), control);
  EXPECT_EQ(control->GetPage(1)->GetOwner(), Form);
  EXPECT_EQ(control->GetPage(1)->GetTabControl(), control);
  EXPECT_EQ(control->GetPage(1)->PageIndex(), 1);
  // The last sheet made is the active one.
  EXPECT_EQ(control->GetActivePage(), control->GetPage(1));
  EXPECT_EQ(control->GetActivePageIndex(), 1);
  EXPECT_EQ(control->GetTabIndex(), 1);

  control->GetTabs()->Add("C");
  ASSERT_EQ(control->PageCount(), 3);
  EXPECT_EQ(control->GetPage(2)->GetCaption(), "C");

  std::vector<TComponent*> children;
  struct TCollect {
    std::vector<TComponent*>* List;
    void Add(TComponent* c) { List->push_back(c); }
  } collect{&children};
  control->GetChildren(TGetChildProc::Bind<&TCollect::Add>(&collect), Form);
  EXPECT_EQ(children, (std::vector<TComponent*>{control->GetPage(0), control->GetPage(1),
                                                control->GetPage(2)}));
  delete control;  // its sheets go with it
  EXPECT_EQ(Form->GetControlCount(), 0);
}

TEST_F(KsTabsTest, TabIndexAndActivePageMoveTogether) {
  auto* control = Make(300, 150, {"A", "B"});
  control->SetUsePages(true);
  ShowForm();
  TKsCustomTabSheet* a = control->GetPage(0);
  TKsCustomTabSheet* b = control->GetPage(1);
  int shows = 0, hides = 0;
  struct THits {
    int* Count;
    void Hit(TObject*) { ++*Count; }
  } showHit{&shows}, hideHit{&hides};
  a->OnShow = TNotifyEvent::Bind<&THits::Hit>(&showHit);
  b->OnHide = TNotifyEvent::Bind<&THits::Hit>(&hideHit);
  control->SetTabIndex(0);
  EXPECT_EQ(control->GetActivePage(), a);
  EXPECT_TRUE(a->GetVisible());
  EXPECT_FALSE(b->GetVisible());
  EXPECT_EQ(shows, 1);
  EXPECT_EQ(hides, 1);
  // The sheet fills the body less the margins plus one.
  const TRect body = control->DisplayRect();
  EXPECT_EQ(a->GetBoundsRect(), (TRect{body.left + 3, body.top + 3, body.right - 3, body.bottom - 3}));
  // The sheet shows the tab control's body beneath it.
  TDibSurface surface(a->GetWidth(), a->GetHeight());
  surface.Fill(RGB(1, 2, 3));
  EXPECT_EQ(a->Perform(WM_ERASEBKGND, reinterpret_cast<WPARAM>(surface.DC())), 1);
  const TKsColor under = control->GetBuffer()->GetPixel(a->GetLeft() + 5, a->GetTop() + 5);
  EXPECT_EQ(surface.Color(5, 5), RGB((under >> 16) & 255, (under >> 8) & 255, under & 255));
  EXPECT_EQ(surface.Color(5, 5), ColorToRGB(clBtnFace));

  TChangeRecorder recorder;
  recorder.Attach(control);
  recorder.Allow = false;
  control->SetTabIndex(1);
  EXPECT_EQ(control->GetActivePage(), a);

  control->SetActivePageIndex(1);
  EXPECT_EQ(control->GetTabIndex(), 1);
  control->SetActivePageIndex(5);  // out of range: nothing
  EXPECT_EQ(control->GetActivePage(), b);
}

TEST_F(KsTabsTest, DeletingTabsRemovesTheirSheets) {
  auto* control = Make(300, 150, {"A", "B", "C"});
  control->SetUsePages(true);
  control->GetTabs()->Delete(1);
  ASSERT_EQ(control->PageCount(), 2);
  EXPECT_EQ(control->GetPage(0)->GetCaption(), "A");
  EXPECT_EQ(control->GetPage(1)->GetCaption(), "C");
  control->GetTabs()->Clear();
  EXPECT_EQ(control->PageCount(), 0);
  EXPECT_EQ(control->GetActivePage(), nullptr);
  EXPECT_EQ(control->GetTabIndex(), -1);
}

// Fault: removing a page deleted its tab first, and the tab change removed and freed the
// same page again before the removal finished with it.
TEST_F(KsTabsTest, RemovingAPageFreesItOnceAndSelectsTheFirst) {
  auto* control = Make(300, 150, {"A", "B", "C"});
  control->SetUsePages(true);
  TKsCustomTabSheet* c = control->GetPage(2);
  ASSERT_EQ(control->GetActivePage(), c);
  control->RemovePage(c);
  EXPECT_EQ(control->PageCount(), 2);
  EXPECT_EQ(control->GetTabs()->GetText(), "A\r\nB\r\n");
  EXPECT_EQ(control->GetTabIndex(), 0);
  EXPECT_EQ(control->GetActivePage(), control->GetPage(0));
  // A sheet freed from outside leaves its tab control the same way.
  delete control->GetPage(1);
  EXPECT_EQ(control->PageCount(), 1);
  EXPECT_EQ(control->GetTabs()->GetText(), "A\r\n");
  delete control->GetPage(0);
  EXPECT_EQ(control->PageCount(), 0);
  EXPECT_EQ(control->GetTabIndex(), -1);
  EXPECT_EQ(control->GetActivePage(), nullptr);
}

// Fault: removing the active page while no page could take its place left ActivePage
// pointing at the freed sheet.
TEST_F(KsTabsTest, RemovedActivePageIsNotLeftActive) {
  auto* control = Make(300, 150, {"Other"});
  auto* sheet = new TKsCustomTabSheet(Form);
  sheet->SetCaption("Lone");
  control->InsertPage(sheet);
  ASSERT_EQ(control->GetActivePage(), sheet);
  control->RemovePage(sheet);
  EXPECT_EQ(control->PageCount(), 0);
  EXPECT_EQ(control->GetActivePage(), nullptr);
  EXPECT_EQ(control->GetTabIndex(), 0);
}

TEST_F(KsTabsTest, InsertedPagesGetCaptionsAndTabs) {
  auto* control = Make(300, 150);
  control->SetUsePages(true);
  auto* first = new TKsCustomTabSheet(Form);
  control->InsertPage(first);
  EXPECT_EQ(first->GetCaption(), "New Page 1");
  EXPECT_EQ(control->GetTabs()->GetText(), "New Page 1\r\n");
  EXPECT_EQ(control->GetActivePage(), first);  // the first page becomes active
  auto* second = new TKsCustomTabSheet(Form);
  second->SetTabControl(control);
  EXPECT_EQ(second->GetCaption(), "New Page 2");
  EXPECT_EQ(second->PageIndex(), 1);
  EXPECT_EQ(control->GetActivePage(), first);
  // Taken off, a sheet keeps living without caption or tab.
  second->SetTabControl(nullptr);
  EXPECT_EQ(second->GetTabControl(), nullptr);
  EXPECT_EQ(second->GetCaption(), "");
  EXPECT_EQ(control->GetTabs()->IndexOf("New Page 2"), -1);
  EXPECT_EQ(control->PageCount(), 1);
  delete second;
  // Inserting beyond the end appends.
  auto* third = new TKsCustomTabSheet(Form);
  third->SetCaption("Third");
  control->InsertPageAt(10, third);
  EXPECT_EQ(third->PageIndex(), 1);
}

TEST_F(KsTabsTest, PagesExistOnlyWithUsePages) {
  auto* control = Make(300, 150, {"A", "B"});
  auto* sheet = new TKsCustomTabSheet(Form);
  sheet->SetCaption("A");
  control->InsertPage(sheet);
  EXPECT_EQ(control->PageCount(), 1);
  EXPECT_EQ(control->GetActivePageIndex(), -1);  // not while UsePages is off
  // A tab change without pages in use frees every page.
  control->GetTabs()->Add("C");
  EXPECT_EQ(control->PageCount(), 0);
  EXPECT_EQ(control->GetActivePage(), nullptr);
  // Switching pages on frees the control's children and makes sheets for the tabs.
  auto* child = new TKsCustomControl(Form);
  child->SetParent(control);
  control->SetUsePages(true);
  EXPECT_EQ(control->PageCount(), 3);
  EXPECT_EQ(control->GetControlCount(), 3);
  control->SetUsePages(false);
  EXPECT_EQ(control->PageCount(), 0);
  EXPECT_EQ(control->GetControlCount(), 0);
}

}  // namespace
