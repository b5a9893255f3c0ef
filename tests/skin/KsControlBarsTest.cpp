// The control bar on a shown form, driven by posted mouse and key messages: bands of new
// controls, the rows they form and the fitting of a full row, bands moved between rows,
// out of the bar into a floating tool window and back in, Ctrl turning a band move into
// a drag, the painting of frames and grip bars, and a menu bar sitting in the bar.
#include <memory>
#include <vector>

#include <gtest/gtest.h>

#include "classlib/DragDrop.h"
#include "classlib/HandleCounter.h"
#include "skin/KsControlBars.h"
#include "skin/KsItems.h"
#include "skin/KsMenus.h"
#include "skin/KsThemeItems.h"
#include "skin/TeThemeEngine.h"
#include "skin/TeThemeLuna.h"
#include "tests/controls/ControlsTestSupport.h"
#include "tests/skin/SkinTestSupport.h"

namespace {

// A plain windowed child.
class TBandPanel : public TCustomControl {
  KIVO_CLASS(TBandPanel, TCustomControl)
 public:
  using TCustomControl::TCustomControl;
};

// A windowless child.
class TBandGraphic : public TGraphicControl {
  KIVO_CLASS(TBandGraphic, TGraphicControl)
 public:
  using TGraphicControl::TGraphicControl;
};

// A bar with a border: its non-client height counts in its size.
class TBorderedBar : public TKsCustomControlBar {
  KIVO_CLASS(TBorderedBar, TKsCustomControlBar)
 public:
  using TKsCustomControlBar::TKsCustomControlBar;

 protected:
  void CreateParams(TCreateParams& params) override {
    inherited::CreateParams(params);
    params.Style |= WS_BORDER;
  }
};

TRect Grown(const TRect& r, const TRect& insets) {
  return Rect(r.left - insets.left, r.top - insets.top, r.right + insets.right, r.bottom + insets.bottom);
}

class KsControlBarsTest : public FormTest {
 protected:
  void SetUp() override {
    FormTest::SetUp();
    Form->SetBounds(400, 300, 420, 320);
    ShowForm();
    SettlePointerAt(0, 0);  // parked off every window of the test
    Bar = MakeBar<TKsCustomControlBar>(300);
  }
  template <class T>
  T* MakeBar(int width) {
    auto* bar = new T(Form);
    bar->SetParent(Form);
    bar->SetBounds(10, 10, width, 50);
    bar->HandleNeeded();
    return bar;
  }
  TBandPanel* Add(int x, int y, int w = 60, int h = 20, TKsCustomControlBar* bar = nullptr) {
    auto* panel = new TBandPanel(Form);
    panel->SetBounds(x, y, w, h);
    panel->SetParent(bar ? bar : Bar);
    return panel;
  }
  const TKsBand& BandOf(TControl* control) {
    const TKsBand* band = Bar->FindBand(control);
    EXPECT_NE(band, nullptr);
    static const TKsBand none{};
    return band ? *band : none;
  }
  // The band's rectangle as (left, top, width) at its place.
  std::vector<int> Place(TControl* control) {
    const TKsBand& band = BandOf(control);
    return {band.Position.x, band.Position.y, band.Width};
  }
  // Posts a mouse message at a point of the bar's client area to `wnd` (the capture
  // holder by default).
  void Post(UINT msg, const TPoint& barPoint, WPARAM keys, HWND wnd = nullptr) {
    if (!wnd)
      wnd = GetCapture();
    ASSERT_NE(wnd, nullptr) << "no window takes the mouse";
    POINT p = Bar->ClientToScreen(barPoint);
    ScreenToClient(wnd, &p);
    PostMessageA(wnd, msg, keys, MAKELPARAM(WORD(short(p.x)), WORD(short(p.y))));
    PumpPending();
  }
  void PostScreen(UINT msg, const TPoint& screen, WPARAM keys, HWND wnd = nullptr) {
    Post(msg, Bar->ScreenToClient(screen), keys, wnd);
  }
  // The point on the band's grabber the mouse takes it by.
  TPoint Grip(TControl* control) {
    const TKsBand& band = BandOf(control);
    return Point(band.Position.x + 5, band.Position.y + 10);
  }
  void Press(TControl* control) { Post(WM_LBUTTONDOWN, Grip(control), MK_LBUTTON, Bar->GetHandle()); }
  // Takes the band by its grabber and lets it go with its top-left at `to`.
  void DragBand(TControl* control, const TPoint& to) {
    Press(control);
    const TPoint at = Point(to.x + 5, to.y + 10);
    Post(WM_MOUSEMOVE, at, MK_LBUTTON);
    Post(WM_LBUTTONUP, at, 0);
  }
  // Drags the band out above the bar and drops it at a screen point far from it.
  void Undock(TControl* control) {
    Press(control);
    Post(WM_MOUSEMOVE, Point(Grip(control).x, -control->GetHeight() - 30), MK_LBUTTON);
    PostScreen(WM_MOUSEMOVE, Point(300, 700), MK_LBUTTON);
    PostScreen(WM_LBUTTONUP, Point(300, 700), 0);
  }
  // Drags a floating control into the bar at `enter`, where the band move takes over,
  // and lets it go at `to` (both bar points).
  void DockBack(TWinControl* control, const TPoint& enter, const TPoint& to) {
    const TPoint press = control->ClientToScreen(Point(5, 5));
    PostScreen(WM_LBUTTONDOWN, press, MK_LBUTTON, control->GetHandle());
    PostScreen(WM_MOUSEMOVE, Point(press.x + 20, press.y + 20), MK_LBUTTON);
    Post(WM_MOUSEMOVE, enter, MK_LBUTTON);
    PumpPending();  // the posted button-down that starts the band move
    Post(WM_MOUSEMOVE, to, MK_LBUTTON);
    Post(WM_LBUTTONUP, to, 0);
  }

  TKsCustomControlBar* Bar = nullptr;
};

TEST_F(KsControlBarsTest, NewControlsGetBandsWithTheDefaultInsetsAndTheBarFollowsItsRows) {
  EXPECT_TRUE(Bar->GetAutoSize());
  EXPECT_TRUE(Bar->GetDockSite());
  EXPECT_EQ(Bar->GetRowSize(), 26);
  TBandPanel* a = Add(0, 0);
  ASSERT_EQ(Bar->GetBandCount(), 1);
  EXPECT_EQ(BandOf(a).Insets, Rect(11, 2, 2, 2));
  EXPECT_EQ(a->GetBoundsRect(), Bounds(11, 2, 60, 20));  // inside its band at the first row
  EXPECT_EQ(Bar->GetHeight(), 20 + 4);
  Add(0, 30);  // below the first row: a second one
  EXPECT_EQ(Bar->GetHeight(), 2 * 24);

  auto* bordered = MakeBar<TBorderedBar>(200);
  const int frame = bordered->GetHeight() - bordered->GetClientHeight();
  EXPECT_GT(frame, 0);
  Add(0, 0, 60, 30, bordered);
  EXPECT_EQ(bordered->GetHeight(), 30 + 4 + frame);

  EXPECT_THROW(Bar->SetRowSize(0), EPropertyError);
  EXPECT_EQ(Bar->GetRowSize(), 26);

  // OnBandMove may move a band: the layout takes its rectangle.
  Bar->OnBandMove = TBandMoveEvent::FromFunction([](void*, TObject*, TControl*, TRect& r) { OffsetRect(&r, 30, 0); });
  Bar->Realign();
  EXPECT_EQ(a->GetLeft(), 30 + 11);
}

TEST_F(KsControlBarsTest, RowCountsFromTheBandInfoOfZeroCountAsOneAndMoreSpanRows) {
  int answer = 0;
  Bar->OnBandInfo = TBandInfoEvent::FromFunction(
      [](void* data, TObject*, TControl*, TRect&, int&, int& rowCount) { rowCount = *static_cast<int*>(data); },
      &answer);
  Bar->SetRowSnap(true);
  TBandPanel* a = Add(0, 0, 60, 40);
  ASSERT_EQ(Bar->GetBandCount(), 1);
  EXPECT_EQ(BandOf(a).RowCount, 1);
  EXPECT_EQ(BandOf(a).Height, 26);
  EXPECT_EQ(a->GetHeight(), 26 - 4);  // snapped to its row

  answer = 2;
  TBandPanel* b = Add(100, 0, 60, 40);
  const TKsBand& first = BandOf(b);
  ASSERT_NE(first.NextBand, nullptr);
  EXPECT_EQ(first.NextBand->PrevBand, &first);
  EXPECT_EQ(first.NextBand->Position.y, first.Position.y + 26);
  EXPECT_EQ(first.NextBand->Position.x, first.Position.x);
  EXPECT_EQ(b->GetHeight(), 2 * 26 - 4);  // reaching down over its second row
  EXPECT_EQ(Bar->GetBandCount(), 3);
}

TEST_F(KsControlBarsTest, ABandDraggedFarOutOfTheBarUndocksUnlessOnBandDragRefuses) {
  TBandPanel* a = Add(0, 0);
  TBandPanel* b = Add(100, 0);
  a->SetDragKind(dkDock);
  int asked = 0;
  bool allow = false;
  struct TAnswer {
    int* Asked;
    bool* Allow;
    void BandDrag(TObject*, TControl*, bool& drag) {
      ++*Asked;
      drag = *Allow;
    }
  } answer{&asked, &allow};
  Bar->OnBandDrag = TBandDragEvent::Bind<&TAnswer::BandDrag>(&answer);

  // Refused: still a band, in a new first row above the other one.
  Press(a);
  EXPECT_EQ(Bar->GetDragControl(), a);
  EXPECT_EQ(GetCapture(), Bar->GetHandle());
  Post(WM_MOUSEMOVE, Point(5, -10 - 25), MK_LBUTTON);  // 25 above: more than its height
  EXPECT_GT(asked, 0);
  EXPECT_FALSE(a->Dragging());
  EXPECT_EQ(GetCapture(), Bar->GetHandle());
  Post(WM_LBUTTONUP, Point(5, -10 - 25), 0);
  EXPECT_EQ(a->GetParent(), Bar);
  EXPECT_EQ(Place(a), (std::vector<int>{0, 0, 73}));
  EXPECT_EQ(Place(b), (std::vector<int>{89, 24, 73}));
  EXPECT_EQ(GetCapture(), nullptr);

  // Within one control height outside it stays a band move; further out it undocks.
  allow = true;
  asked = 0;
  Press(a);
  Post(WM_MOUSEMOVE, Point(5, 10 - 19), MK_LBUTTON);
  EXPECT_EQ(asked, 0);
  Post(WM_MOUSEMOVE, Point(5, 10 - 40), MK_LBUTTON);
  EXPECT_EQ(asked, 1);
  EXPECT_TRUE(a->Dragging());
  PostScreen(WM_MOUSEMOVE, Point(300, 700), MK_LBUTTON);
  PostScreen(WM_LBUTTONUP, Point(300, 700), 0);
  EXPECT_TRUE(a->GetFloating());
  EXPECT_EQ(a->GetWidth(), 60);
  EXPECT_EQ(Bar->FindBand(a), nullptr);
  EXPECT_EQ(Bar->GetDragControl(), nullptr);
  EXPECT_EQ(Bar->GetBandCount(), 1);
  EXPECT_EQ(Bar->GetHeight(), 24);  // one row again
  EXPECT_EQ(GetCapture(), nullptr);
}

TEST_F(KsControlBarsTest, ADoubleClickOnABandOffersADragElseMovesTheBand) {
  TBandPanel* a = Add(0, 0);
  TBandPanel* b = Add(100, 0);
  a->SetDragKind(dkDock);
  Post(WM_LBUTTONDBLCLK, Grip(a), MK_LBUTTON, Bar->GetHandle());
  EXPECT_TRUE(a->Dragging());
  EXPECT_EQ(Bar->GetDragControl(), nullptr);
  PostScreen(WM_MOUSEMOVE, Point(300, 700), MK_LBUTTON);
  PostScreen(WM_LBUTTONUP, Point(300, 700), 0);
  EXPECT_TRUE(a->GetFloating());
  Bar->OnBandDrag = TBandDragEvent::FromFunction([](void*, TObject*, TControl*, bool& drag) { drag = false; });
  Post(WM_LBUTTONDBLCLK, Grip(b), MK_LBUTTON, Bar->GetHandle());
  EXPECT_FALSE(b->Dragging());
  EXPECT_EQ(Bar->GetDragControl(), b);
  EXPECT_EQ(GetCapture(), Bar->GetHandle());
  Post(WM_LBUTTONUP, Grip(b), 0);
  EXPECT_EQ(GetCapture(), nullptr);
}

TEST_F(KsControlBarsTest, RemovingTheFirstControlOfARowLetsTheNextBandStartIt) {
  TBandPanel* a = Add(0, 0);
  TBandPanel* b = Add(100, 0);
  TBandPanel* c = Add(0, 30);
  TBandPanel* d = Add(100, 30);
  EXPECT_EQ(Place(c), (std::vector<int>{0, 24, 73}));
  EXPECT_EQ(Place(d), (std::vector<int>{89, 24, 73}));
  EXPECT_FALSE(BandOf(d).NewLine);
  delete c;
  EXPECT_TRUE(BandOf(d).NewLine);
  EXPECT_EQ(Place(a), (std::vector<int>{0, 0, 73}));
  EXPECT_EQ(Place(b), (std::vector<int>{89, 0, 73}));
  EXPECT_EQ(Place(d), (std::vector<int>{89, 24, 73}));  // still the second row, where it was
  EXPECT_EQ(Bar->GetHeight(), 48);
}

TEST_F(KsControlBarsTest, ThreeRowsRearrangedByDragsFollowTheRowAndFreeSpaceRules) {
  TBandPanel* a = Add(0, 0);
  TBandPanel* b = Add(100, 0);
  TBandPanel* c = Add(0, 30);
  EXPECT_EQ(Place(a), (std::vector<int>{0, 0, 73}));
  EXPECT_EQ(Place(b), (std::vector<int>{89, 0, 73}));  // its own place, 16 pixels free before it
  EXPECT_EQ(Place(c), (std::vector<int>{0, 24, 73}));  // pulled in to the row's start

  // Into the second row, right of C: the reference height (top + half a row) is in it.
  DragBand(b, Point(150, 26));
  EXPECT_EQ(Place(a), (std::vector<int>{0, 0, 73}));
  EXPECT_EQ(Place(c), (std::vector<int>{0, 24, 73}));
  EXPECT_EQ(Place(b), (std::vector<int>{150, 24, 73}));
  EXPECT_EQ(GetCapture(), nullptr);

  // Below every row: a new last row; the emptied first row closes up.
  DragBand(a, Point(30, 60));
  EXPECT_EQ(Place(c), (std::vector<int>{0, 0, 73}));
  EXPECT_EQ(Place(b), (std::vector<int>{150, 0, 73}));
  EXPECT_EQ(Place(a), (std::vector<int>{30, 24, 73}));

  // Three rows.
  DragBand(c, Point(0, 60));
  EXPECT_EQ(Place(b), (std::vector<int>{150, 0, 73}));
  EXPECT_EQ(Place(a), (std::vector<int>{30, 24, 73}));
  EXPECT_EQ(Place(c), (std::vector<int>{0, 48, 73}));
  EXPECT_EQ(Bar->GetHeight(), 3 * 24);
  EXPECT_EQ(c->GetBoundsRect(), Bounds(11, 50, 60, 20));

  // Left of A in its row, overlapping it: B starts the row and A follows right after
  // it, B having moved left into the 20 free pixels before it.
  DragBand(b, Point(20, 26));
  EXPECT_TRUE(BandOf(b).NewLine);
  EXPECT_FALSE(BandOf(a).NewLine);
  EXPECT_EQ(Place(b), (std::vector<int>{0, 0, 73}));
  EXPECT_EQ(Place(a), (std::vector<int>{73, 0, 73}));
  EXPECT_EQ(Place(c), (std::vector<int>{0, 24, 73}));
  EXPECT_EQ(Bar->GetHeight(), 2 * 24);
  // A layout of its own changes nothing.
  Bar->Realign();
  EXPECT_EQ(Place(b), (std::vector<int>{0, 0, 73}));
  EXPECT_EQ(Place(a), (std::vector<int>{73, 0, 73}));
  EXPECT_EQ(GetCapture(), nullptr);
}

TEST_F(KsControlBarsTest, AFullRowSqueezesItsBandsToTheirMinimumWidthsBeforeWrapping) {
  Bar->SetBounds(10, 10, 200, 50);
  std::vector<TBandPanel*> panels;
  auto add = [&](int x) {
    TBandPanel* panel = new TBandPanel(Form);
    panel->GetConstraints()->SetMinWidth(30);
    panel->SetBounds(x, 0, 60, 20);
    panel->SetParent(Bar);
    panels.push_back(panel);
  };
  for (int x : {0, 80, 160})
    add(x);
  // The last band first uses the 3 free pixels before it, then gets narrower.
  EXPECT_EQ(Place(panels[2]), (std::vector<int>{146, 0, 54}));
  EXPECT_EQ(panels[2]->GetWidth(), 54 - 13);
  add(240);
  // Squeezed from the last band on, each to the minimum 30 + 13, then the first.
  EXPECT_EQ(Place(panels[0]), (std::vector<int>{0, 0, 71}));
  EXPECT_EQ(Place(panels[1]), (std::vector<int>{71, 0, 43}));
  EXPECT_EQ(Place(panels[2]), (std::vector<int>{114, 0, 43}));
  EXPECT_EQ(Place(panels[3]), (std::vector<int>{157, 0, 43}));
  EXPECT_EQ(panels[3]->GetWidth(), 30);
  EXPECT_EQ(Bar->GetHeight(), 24);
  add(320);
  // Five minimum widths do not fit: the last band wraps and the row is fitted again.
  EXPECT_EQ(Place(panels[0]), (std::vector<int>{0, 0, 71}));
  EXPECT_EQ(Place(panels[3]), (std::vector<int>{157, 0, 43}));
  EXPECT_EQ(Place(panels[4]), (std::vector<int>{0, 24, 73}));
  EXPECT_EQ(Bar->GetHeight(), 48);
}

TEST_F(KsControlBarsTest, FramesAndGripBarsAreTheDrawEdgeAndLineCallsAtEveryBand) {
  TBandPanel* a = Add(0, 0);
  TBandPanel* b = Add(100, 30, 50, 24);
  int paints = 0;
  Bar->OnPaint = TNotifyEvent::FromFunction([](void* data, TObject*) { ++*static_cast<int*>(data); }, &paints);
  auto check = [&](bool grabbers) {
    TKsBitmap reference;
    reference.SetSize(Bar->GetBuffer()->GetWidth(), Bar->GetBuffer()->GetHeight());
    reference.FillRect(Bar->GetClientRect(), ColorToKsColor(Bar->GetColor(), 255));
    for (TControl* control : {static_cast<TControl*>(a), static_cast<TControl*>(b)}) {
      TRect r = Grown(control->GetBoundsRect(), Rect(11, 2, 2, 2));
      DrawEdge(reference.GetDC(), &r, BDR_RAISEDINNER, BF_RECT);
      if (!grabbers)
        continue;
      TRect g = Rect(r.left + 3, r.top + 2, r.left + 5, r.bottom - 3);
      for (int bar = 0; bar < 2; ++bar, OffsetRect(&g, 3, 0)) {
        reference.MoveTo(g.left + 2, g.top);
        reference.LineTo(g.left, g.top, ColorToKsColor(clBtnHighlight, 255));
        reference.LineTo(g.left, g.bottom + 1, ColorToKsColor(clBtnHighlight, 255));
        reference.MoveTo(g.right, g.top);
        reference.LineTo(g.right, g.bottom, ColorToKsColor(clBtnShadow, 255));
        reference.LineTo(g.left, g.bottom, ColorToKsColor(clBtnShadow, 255));
      }
    }
    Bar->Invalidate();
    Bar->PaintBufferFull();
    GdiFlush();
    const TRect client = Bar->GetClientRect();
    int mismatches = 0;
    for (int y = 0; y < client.bottom; ++y)
      for (int x = 0; x < client.right; ++x)
        if (Bar->GetBuffer()->GetPixel(x, y) != reference.GetPixel(x, y) && ++mismatches <= 5)
          ADD_FAILURE() << "pixel (" << x << ", " << y << ")";
  };
  check(true);
  EXPECT_GT(paints, 0);
  // OnBandPaint may leave the grabbers out.
  Bar->OnBandPaint = TBandPaintEvent::FromFunction(
      [](void*, TObject*, TControl*, TCanvas*, TRect&, TBandPaintOptions& options) { options.Exclude(bpoGrabber); });
  check(false);
}

TEST_F(KsControlBarsTest, CtrlTurnsABandMoveIntoADragOfItsControl) {
  TBandPanel* a = Add(0, 0);
  Add(100, 0);
  a->SetDragKind(dkDock);
  const TPoint grip = Bar->ClientToScreen(Grip(a));
  ASSERT_TRUE(SettlePointerAt(grip.x, grip.y));  // Ctrl starts the drag at the cursor
  Press(a);
  PostMessageA(Bar->GetHandle(), WM_KEYDOWN, VK_CONTROL, 1);
  Application->ProcessMessages();  // the capture holder hears the key first
  EXPECT_TRUE(a->Dragging());
  ASSERT_NE(ActiveDragObject(), nullptr);
  EXPECT_NE(GetCapture(), Bar->GetHandle());
  PostMessageA(Form->GetHandle(), WM_KEYDOWN, VK_ESCAPE, 1);
  PumpPending();
  SettlePointerAt(0, 0);
  EXPECT_FALSE(a->Dragging());
  EXPECT_EQ(a->GetParent(), Bar);
  EXPECT_EQ(GetCapture(), nullptr);
  // Without a band move, Ctrl does nothing.
  PostMessageA(Bar->GetHandle(), WM_KEYDOWN, VK_CONTROL, 1);
  Application->ProcessMessages();
  EXPECT_FALSE(a->Dragging());
}

TEST_F(KsControlBarsTest, AFloatingControlDraggedIntoTheBarBecomesABandMovedByTheMouse) {
  TBandPanel* a = Add(0, 0);
  TBandPanel* b = Add(100, 0);
  b->SetDragKind(dkDock);
  b->SetDragMode(dmAutomatic);
  b->ManualFloat(Bounds(300, 650, 60, 20));
  ASSERT_TRUE(b->GetFloating());
  EXPECT_EQ(Bar->GetBandCount(), 1);
  const int forms = Screen->GetCustomFormCount();
  DockBack(b, Point(120, 12), Point(120, 40));
  EXPECT_EQ(b->GetParent(), Bar);
  EXPECT_EQ(b->GetWidth(), 60);
  EXPECT_EQ(Bar->GetDragControl(), nullptr);
  EXPECT_EQ(GetCapture(), nullptr);
  // Taken by its top-left corner, its band followed the mouse below the first row.
  EXPECT_EQ(Place(a), (std::vector<int>{0, 0, 73}));
  EXPECT_EQ(Place(b), (std::vector<int>{120 - 11, 24, 73}));
  PumpUntil([&] { return Screen->GetCustomFormCount() == forms - 1; }, 2000);
  EXPECT_EQ(Screen->GetCustomFormCount(), forms - 1);  // the tool window went

  // Regression: the button-down the bar posts to start the band move went to a
  // windowless control lying at that point instead of the bar (child mouse routing).
  auto* graphic = new TBandGraphic(Form);
  graphic->SetDragKind(dkDock);
  graphic->SetDragMode(dmAutomatic);
  graphic->SetBounds(0, 0, 60, 20);
  graphic->ManualFloat(Bounds(300, 650, 60, 20));
  ASSERT_TRUE(graphic->GetFloating());
  const TPoint press = graphic->ClientToScreen(Point(5, 5));
  PostScreen(WM_LBUTTONDOWN, press, MK_LBUTTON, graphic->GetParent()->GetHandle());
  PostScreen(WM_MOUSEMOVE, Point(press.x + 20, press.y + 20), MK_LBUTTON);
  Post(WM_MOUSEMOVE, Point(200, 12), MK_LBUTTON);
  PumpPending();
  EXPECT_EQ(graphic->GetParent(), Bar);
  EXPECT_FALSE(graphic->Dragging());
  EXPECT_EQ(Bar->GetDragControl(), graphic);  // the band move runs, in the bar's hands
  EXPECT_EQ(GetCapture(), Bar->GetHandle());
  Post(WM_LBUTTONUP, Point(200, 40), 0);
  EXPECT_EQ(GetCapture(), nullptr);
}

TEST_F(KsControlBarsTest, AHundredDragsLeaveNoWindowGdiObjectOrCapture) {
  std::vector<TBandPanel*> panels{Add(0, 0), Add(100, 0), Add(0, 30)};
  for (TBandPanel* panel : panels) {
    panel->SetDragKind(dkDock);
    panel->SetDragMode(dmAutomatic);
  }
  DragBand(panels[0], Point(40, 26));  // warm up
  PumpPending();
  // A user object of the warm-up may go late on a loaded machine: the count is taken
  // once it has held still for a while.
  int user = LiveUserHandleCount();
  DWORD stillSince = GetTickCount();
  PumpUntil(
      [&] {
        if (const int now = LiveUserHandleCount(); now != user) {
          user = now;
          stillSince = GetTickCount();
        }
        return GetTickCount() - stillSince >= 200;
      },
      2000);
  const int windows = LiveHandleCount(THandleKind::Window);
  const int gdi = LiveGdiHandleCount();
  const int forms = Screen->GetCustomFormCount();
  int drags = 0;
  for (int i = 0; i < 100; ++i) {
    TBandPanel* panel = panels[size_t(i % 3)];
    if (i % 10 == 9) {
      Undock(panel);
      ASSERT_TRUE(panel->GetFloating()) << "drag " << i;
      DockBack(panel, Point(20 + i % 50, 10), Point(20 + i % 50, 30));
      ASSERT_EQ(panel->GetParent(), Bar) << "drag " << i;
      drags += 2;
      continue;
    }
    DragBand(panel, Point((i * 37) % 200, (i % 4) * 14));
    ++drags;
    ASSERT_EQ(GetCapture(), nullptr) << "drag " << i;
  }
  EXPECT_GE(drags, 100);
  PumpUntil([&] { return Screen->GetCustomFormCount() == forms; }, 2000);
  EXPECT_EQ(Screen->GetCustomFormCount(), forms);
  EXPECT_EQ(LiveHandleCount(THandleKind::Window), windows);
  EXPECT_EQ(LiveGdiHandleCount(), gdi);
  EXPECT_EQ(LiveUserHandleCount(), user);
  EXPECT_EQ(GetCapture(), nullptr);
  EXPECT_EQ(Bar->GetBandCount(), 3);
}

TEST_F(KsControlBarsTest, TheDesignHitTestAnswersOnBandsAndWhileOneMoves) {
  TBandPanel* a = Add(0, 0);
  EXPECT_EQ(Bar->Perform(CM_DESIGNHITTEST, 0, MAKELPARAM(5, 10)), 1);
  EXPECT_EQ(Bar->Perform(CM_DESIGNHITTEST, 0, MAKELPARAM(250, 10)), 0);
  Press(a);
  EXPECT_EQ(Bar->Perform(CM_DESIGNHITTEST, 0, MAKELPARAM(250, 10)), 1);
  Post(WM_LBUTTONUP, Grip(a), 0);
  EXPECT_EQ(Bar->Perform(CM_DESIGNHITTEST, 0, MAKELPARAM(250, 10)), 0);
}

TEST_F(KsControlBarsTest, AMenuBarInTheBarKnowsItAndItsThemedItemsDrawAsOnAControlBar) {
  TTeThemeEngine engine(nullptr);
  engine.SetTheme(new TTeThemeLuna());
  auto makeMenuBar = [&](TWinControl* parent) {
    auto* menu = new TKsCustomMenuBar(Form);
    menu->SetParent(parent);
    auto* file = new TTeThemeItem(Form);
    file->SetCaption("&File");
    menu->GetItems()->Add(file);
    auto* open = new TTeThemeItem(Form);
    open->SetCaption("&Open");
    file->Add(open);
    auto* recent = new TTeThemeItem(Form);
    recent->SetCaption("Recent");
    open->Add(recent);
    file->SetThemeEngine(&engine);
    menu->HandleNeeded();
    menu->Loaded();
    return menu;
  };
  TKsCustomMenuBar* inBar = makeMenuBar(Bar);
  TKsCustomMenuBar* onForm = makeMenuBar(Form);
  EXPECT_TRUE(inBar->InControlBar());
  EXPECT_FALSE(onForm->InControlBar());
  TKsCustomItem* file = inBar->GetItems()->GetItems(0);
  EXPECT_TRUE(inBar->GetItems()->GetInControlBar());
  EXPECT_TRUE(file->GetInControlBar());
  EXPECT_FALSE(file->GetItems(0)->GetInControlBar());  // from the root one level down only
  EXPECT_FALSE(onForm->GetItems()->GetItems(0)->GetInControlBar());
  EXPECT_NE(Bar->FindBand(inBar), nullptr);

  // A hot item of the bar in the control bar is drawn as a tool button; the same item on
  // the form is not.
  auto paintHot = [](TKsCustomMenuBar* menu, bool onControlBar) {
    TKsCustomItem* item = menu->GetItems()->GetItems(0);
    menu->GetView()->SetSelected(item);
    menu->Invalidate();
    menu->PaintBufferFull();
    const TRect r = menu->GetView()->GetItemRect(item);
    TKsBitmap reference;
    reference.SetSize(menu->GetBuffer()->GetWidth(), menu->GetBuffer()->GetHeight());
    EXPECT_EQ(ThemeItemData(*item).OnControlBar, onControlBar);
    static_cast<TTeThemeItem*>(item)->GetThemeEngine()->GetTheme()->DrawMenuBarItem(
        reference, *item, r, /*selected=*/true, /*notTracking=*/true);
    GdiFlush();
    int mismatches = 0;
    for (int y = r.top; y < r.bottom; ++y)
      for (int x = r.left; x < r.right; ++x)
        mismatches += (menu->GetBuffer()->GetPixel(x, y) & 0xFFFFFF) != (reference.GetPixel(x, y) & 0xFFFFFF);
    EXPECT_EQ(mismatches, 0);
    return menu->GetBuffer()->GetPixel(r.left, r.top) & 0xFFFFFF;
  };
  const TKsColor inBarCorner = paintHot(inBar, true);
  const TKsColor onFormCorner = paintHot(onForm, false);
  TTeTheme* theme = engine.GetTheme();
  EXPECT_EQ(inBarCorner, ColorToKsColor(theme->GetColor(11), 255) & 0xFFFFFF);
  EXPECT_EQ(onFormCorner, ColorToKsColor(theme->GetColor(14), 255) & 0xFFFFFF);
}

}  // namespace
