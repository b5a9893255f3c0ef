// Drag-and-drop and docking driven by posted mouse and key messages on two shown forms
// (the real pointer stays parked off them): the threshold, the targets' answers and
// the cursor, the one drop, every way of cancelling, the drag image, a source or target
// freed during the drag, and docking out into a floating tool window and back.
#include <algorithm>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "classlib/DragDrop.h"
#include "classlib/HandleCounter.h"
#include "classlib/ImageList.h"
#include "tests/controls/ControlsTestSupport.h"

namespace {

// A windowed control filled with one colour.
class TColourPanel : public TCustomControl {
  KIVO_CLASS(TColourPanel, TCustomControl)
 public:
  explicit TColourPanel(TComponent* AOwner) : TCustomControl(AOwner) {
    SetControlStyle(GetControlStyle() + TControlStyle{csAcceptsControls, csOpaque});
  }
  TColor Fill = clWhite;
  TCustomImageList* Images = nullptr;
  TCustomImageList* GetDragImages() override { return Images; }

 protected:
  void Paint() override {
    GetCanvas()->GetBrush()->SetColor(Fill);
    GetCanvas()->FillRect(GetClientRect());
  }
};

// What the drag handlers saw.
struct TDragLog {
  std::vector<std::string> Entries;
  bool Accept = true;
  int Drops = 0;
  std::vector<TObject*> EndTargets;
  std::vector<TObject*> Sources;
  // Run inside the next drag-over (then cleared).
  std::function<void()> OnNextOver;

  void StartDrag(TObject*, TDragObject*&) { Entries.push_back("start"); }
  void DragOver(TObject*, TObject* source, int, int, TDragState state, bool& accept) {
    static const char* const kStates[] = {"enter", "leave", "move"};
    Entries.push_back(kStates[state]);
    Sources.push_back(source);
    accept = Accept;
    if (auto run = std::move(OnNextOver)) {
      OnNextOver = nullptr;
      run();
    }
  }
  void DragDrop(TObject*, TObject* source, int, int) {
    ++Drops;
    Entries.push_back("drop");
    Sources.push_back(source);
  }
  void EndDrag(TObject*, TObject* target, int, int) {
    Entries.push_back("end");
    EndTargets.push_back(target);
  }
};

class DragDropTest : public testing::Test {
 protected:
  void SetUp() override {
    SettlePointerAt(0, 0);
    Left = MakeForm(520);
    Right = MakeForm(840);
    Source = new TColourPanel(Left);
    Source->SetParent(Left);
    Source->SetBounds(20, 20, 60, 40);
    Source->SetDragMode(dmAutomatic);
    Source->SetDragCursor(crHandPoint);
    Source->OnStartDrag = TStartDragEvent::Bind<&TDragLog::StartDrag>(&Log);
    Source->OnEndDrag = TEndDragEvent::Bind<&TDragLog::EndDrag>(&Log);
    Target = new TColourPanel(Right);
    Target->SetParent(Right);
    Target->SetBounds(20, 20, 150, 100);
    Target->Fill = clBlue;
    Target->OnDragOver = TDragOverEvent::Bind<&TDragLog::DragOver>(&Log);
    Target->OnDragDrop = TDragDropEvent::Bind<&TDragLog::DragDrop>(&Log);
    Left->Show();
    Right->Show();
    PumpUntil([] { return false; }, 50);
  }
  void TearDown() override {
    delete Left;
    delete Right;
    PumpPending();
    EXPECT_EQ(GetCapture(), nullptr);
    EXPECT_EQ(ActiveDragObject(), nullptr);
  }
  TForm* MakeForm(int left) {
    auto* form = new TForm(nullptr);
    form->SetBounds(left, 300, 300, 220);
    return form;
  }
  static TPoint At(TControl* control, int x, int y) { return control->ClientToScreen(Point(x, y)); }
  // Posts a mouse message at the screen point to `wnd` (the capture holder by default).
  static void Post(UINT msg, const TPoint& screen, WPARAM keys, HWND wnd = nullptr) {
    if (!wnd)
      wnd = GetCapture();
    ASSERT_NE(wnd, nullptr) << "no window takes the mouse";
    POINT p = screen;
    ScreenToClient(wnd, &p);
    PostMessageA(wnd, msg, keys, MAKELPARAM(WORD(short(p.x)), WORD(short(p.y))));
    PumpPending();
  }
  static void MoveTo(const TPoint& screen) { Post(WM_MOUSEMOVE, screen, MK_LBUTTON); }
  // Presses on the source at (10, 10) and moves past the threshold.
  void StartDrag() {
    const TPoint press = At(Source, 10, 10);
    Post(WM_LBUTTONDOWN, press, MK_LBUTTON, Source->GetHandle());
    MoveTo(Point(press.x + 20, press.y));
  }
  static bool CursorIs(TCursor cursor) { return GetCursor() == Screen->GetCursors(cursor); }

  TDragLog Log;
  TForm* Left = nullptr;
  TForm* Right = nullptr;
  TColourPanel* Source = nullptr;
  TColourPanel* Target = nullptr;
};

TEST_F(DragDropTest, FromOneFormToAnotherPastTheThresholdDroppedOnceOnTheTarget) {
  const TPoint press = At(Source, 10, 10);
  Post(WM_LBUTTONDOWN, press, MK_LBUTTON, Source->GetHandle());
  EXPECT_TRUE(Source->Dragging());  // pending: the drag holds the mouse
  EXPECT_NE(GetCapture(), nullptr);
  EXPECT_NE(GetCapture(), Source->GetHandle());
  MoveTo(Point(press.x + 5, press.y - 5));  // inside the threshold square
  EXPECT_EQ(ActiveDragObject(), nullptr);
  EXPECT_TRUE(Log.Entries.empty());
  MoveTo(Point(press.x + 6, press.y));  // one pixel past it
  ASSERT_NE(ActiveDragObject(), nullptr);
  EXPECT_EQ(Log.Entries, std::vector<std::string>{"start"});
  EXPECT_EQ(ActiveDragObject()->GetDragTarget(), Source);  // over itself, which has no OnDragOver
  EXPECT_TRUE(CursorIs(crNoDrop));

  MoveTo(At(Target, 40, 30));
  EXPECT_EQ(ActiveDragObject()->GetDragTarget(), Target);
  EXPECT_EQ(ActiveDragObject()->GetDragTargetPos(), Point(40, 30));
  EXPECT_TRUE(CursorIs(crHandPoint));  // accepted: the source's drag cursor
  Log.Accept = false;
  MoveTo(At(Target, 50, 30));
  EXPECT_TRUE(CursorIs(crNoDrop));
  Log.Accept = true;
  MoveTo(At(Target, 60, 30));
  EXPECT_TRUE(CursorIs(crHandPoint));

  Post(WM_LBUTTONUP, At(Target, 60, 30), 0);
  EXPECT_EQ(Log.Drops, 1);
  EXPECT_EQ(Log.Entries, (std::vector<std::string>{"start", "enter", "move", "move", "drop", "end"}));
  for (TObject* source : Log.Sources)
    EXPECT_EQ(source, Source);  // handlers see the dragged control
  EXPECT_EQ(Log.EndTargets, std::vector<TObject*>{Target});
  EXPECT_EQ(GetCapture(), nullptr);
  EXPECT_FALSE(Source->Dragging());
  EXPECT_EQ(ActiveDragObject(), nullptr);
  PumpUntil([] { return false; }, 50);
  EXPECT_EQ(Log.Drops, 1);
}

TEST_F(DragDropTest, EscapeRightButtonLostCaptureAndARefusedDropEndWithoutADrop) {
  auto expectCancelled = [&](const char* how) {
    EXPECT_EQ(Log.Drops, 0) << how;
    ASSERT_FALSE(Log.Entries.empty()) << how;
    EXPECT_EQ(Log.Entries.back(), "end") << how;
    EXPECT_EQ(Log.Entries[Log.Entries.size() - 2], "leave") << how;  // the target hears the drag go
    EXPECT_EQ(Log.EndTargets.back(), nullptr) << how;
    EXPECT_EQ(GetCapture(), nullptr) << how;
    EXPECT_FALSE(Source->Dragging()) << how;
    Log.Entries.clear();
  };
  StartDrag();
  MoveTo(At(Target, 40, 30));
  PostMessageA(Right->GetHandle(), WM_KEYDOWN, VK_ESCAPE, 1);  // to any window: the drag takes it
  PumpPending();
  expectCancelled("Escape");

  StartDrag();
  MoveTo(At(Target, 40, 30));
  Post(WM_RBUTTONDOWN, At(Target, 40, 30), MK_LBUTTON | MK_RBUTTON);
  expectCancelled("right button");

  StartDrag();
  MoveTo(At(Target, 40, 30));
  SetCapture(Right->GetHandle());  // another window takes the mouse
  PumpPending();
  ReleaseCapture();
  expectCancelled("lost capture");

  StartDrag();
  Log.Accept = false;
  MoveTo(At(Target, 40, 30));
  Post(WM_LBUTTONUP, At(Target, 40, 30), 0);
  expectCancelled("refused drop");

  // Released inside the threshold: no drag at all.
  const TPoint press = At(Source, 10, 10);
  Post(WM_LBUTTONDOWN, press, MK_LBUTTON, Source->GetHandle());
  Post(WM_MOUSEMOVE, Point(press.x + 2, press.y), MK_LBUTTON);
  Post(WM_LBUTTONUP, Point(press.x + 2, press.y), 0);
  EXPECT_TRUE(Log.Entries.empty());
  EXPECT_EQ(GetCapture(), nullptr);
  EXPECT_FALSE(Source->Dragging());
}

TEST_F(DragDropTest, EndDragFromAHandlerAndManualDragsOfAnyControl) {
  // EndDrag(True) inside the target's drag-enter drops there at once.
  Log.OnNextOver = [&] { Source->EndDrag(true); };
  StartDrag();
  MoveTo(At(Target, 40, 30));
  EXPECT_EQ(Log.Drops, 1);
  EXPECT_EQ(Log.EndTargets, std::vector<TObject*>{Target});
  EXPECT_EQ(GetCapture(), nullptr);

  // A manual control dragged by code, immediately, from where the last mouse message
  // was (over the target), ended by code without a drop.
  Log = TDragLog{};
  Source->SetDragMode(dmManual);
  Source->BeginDrag(true);
  ASSERT_NE(ActiveDragObject(), nullptr);
  EXPECT_EQ(Log.Entries, (std::vector<std::string>{"start", "enter"}));
  Source->EndDrag(false);
  EXPECT_EQ(Log.Entries, (std::vector<std::string>{"start", "enter", "leave", "end"}));
  EXPECT_EQ(GetCapture(), nullptr);
}

TEST_F(DragDropTest, TheDragImageShowsOnlyOverControlsThatAskForIt) {
  TImageList images(nullptr);
  TBitmap red;
  red.SetSize(16, 16);
  red.GetCanvas()->GetBrush()->SetColor(clRed);
  red.GetCanvas()->FillRect(Rect(0, 0, 16, 16));
  images.Add(&red, nullptr);
  images.SetDragImage(0, 0, 0);
  Source->Images = &images;
  auto screenPixel = [](const TPoint& p) {
    HDC dc = GetDC(nullptr);
    const COLORREF c = GetPixel(dc, p.x + 8, p.y + 8);
    ReleaseDC(nullptr, dc);
    return c;
  };
  StartDrag();
  EXPECT_TRUE(images.GetDragging());
  MoveTo(At(Target, 40, 30));  // the target does not ask for the image
  EXPECT_EQ(screenPixel(At(Target, 40, 30)), RGB(0, 0, 255));
  Target->SetControlStyle(Target->GetControlStyle() + TControlStyle{csDisplayDragImage});
  MoveTo(At(Source, 30, 12));  // over the source (no image), then back
  MoveTo(At(Target, 60, 30));
  // How the system composes the image is its own; it covers the target's blue.
  const COLORREF shown = screenPixel(At(Target, 60, 30));
  EXPECT_NE(shown, RGB(0, 0, 255));
  EXPECT_GT(GetRValue(shown), GetBValue(shown));
  Post(WM_LBUTTONUP, At(Target, 60, 30), 0);
  EXPECT_FALSE(images.GetDragging());
  Target->Repaint();
  EXPECT_EQ(screenPixel(At(Target, 60, 30)), RGB(0, 0, 255));
  Source->Images = nullptr;
}

// Regression: a source freed during its drag must end the drag, not leave the manager
// pointing at freed memory (it keeps the source and its drag object).
TEST_F(DragDropTest, ASourceFreedDuringItsDragEndsItAndAFreedTargetIsForgotten) {
  const int windows = LiveHandleCount(THandleKind::Window);
  Log.OnNextOver = [&] {
    delete Source;  // from inside the drag-enter the drag itself sends
    Source = nullptr;
  };
  StartDrag();
  MoveTo(At(Target, 40, 30));
  EXPECT_EQ(ActiveDragObject(), nullptr);
  EXPECT_EQ(GetCapture(), nullptr);
  // The mouse goes on and is released: nothing of the drag is left to reach.
  Post(WM_MOUSEMOVE, At(Target, 50, 30), MK_LBUTTON, Right->GetHandle());
  Post(WM_LBUTTONUP, At(Target, 50, 30), 0, Right->GetHandle());
  EXPECT_EQ(Log.Drops, 0);
  EXPECT_EQ(std::count(Log.Entries.begin(), Log.Entries.end(), "end"), 0);
  EXPECT_EQ(LiveHandleCount(THandleKind::Window), windows - 1);  // the source's, no capture window

  // Freed while pending, before the threshold.
  auto* pending = new TColourPanel(Left);
  pending->SetParent(Left);
  pending->SetBounds(20, 100, 60, 40);
  pending->SetDragMode(dmAutomatic);
  Post(WM_LBUTTONDOWN, At(pending, 5, 5), MK_LBUTTON, pending->GetHandle());
  EXPECT_TRUE(pending->Dragging());
  delete pending;
  EXPECT_EQ(GetCapture(), nullptr);

  // A target freed under the drag is forgotten; the drop then goes nowhere.
  auto* other = new TColourPanel(Left);
  other->SetParent(Left);
  other->SetBounds(20, 100, 60, 40);
  other->SetDragMode(dmAutomatic);
  other->OnEndDrag = TEndDragEvent::Bind<&TDragLog::EndDrag>(&Log);
  Log = TDragLog{};
  const TPoint press = At(other, 10, 10);
  Post(WM_LBUTTONDOWN, press, MK_LBUTTON, other->GetHandle());
  MoveTo(At(Target, 40, 30));
  EXPECT_EQ(ActiveDragObject()->GetDragTarget(), Target);
  delete Target;
  Target = nullptr;
  EXPECT_EQ(ActiveDragObject()->GetDragTarget(), nullptr);
  Post(WM_LBUTTONUP, Point(press.x + 20, press.y), 0);
  EXPECT_EQ(Log.Drops, 0);
  EXPECT_EQ(Log.EndTargets, std::vector<TObject*>{nullptr});
}

// ---- Docking ---------------------------------------------------------------------------

class DockingTest : public DragDropTest {
 protected:
  void SetUp() override {
    DragDropTest::SetUp();
    Site = new TColourPanel(Left);
    Site->SetParent(Left);
    Site->SetBounds(10, 80, 240, 100);
    Site->SetDockSite(true);
    Dockable = new TColourPanel(Left);
    Dockable->SetParent(Site);
    Dockable->SetBounds(10, 10, 80, 30);
    Dockable->SetDragKind(dkDock);
    Dockable->SetDragMode(dmAutomatic);
    PumpPending();
  }
  // Presses on `control` at (5, 5), moves to `to` and releases there.
  void DragTo(TControl* control, const TPoint& to) {
    const TPoint press = At(control, 5, 5);
    Post(WM_LBUTTONDOWN, press, MK_LBUTTON, static_cast<TWinControl*>(control)->GetHandle());
    MoveTo(Point(press.x + 10, press.y + 10));
    MoveTo(to);
    Post(WM_LBUTTONUP, to, 0);
  }
  TColourPanel* Site = nullptr;
  TColourPanel* Dockable = nullptr;
};

TEST_F(DockingTest, ADockedControlFloatsInAToolWindowAndDocksBackKeepingItsSize) {
  const int windows = LiveHandleCount(THandleKind::Window);
  const int forms = Screen->GetCustomFormCount();
  DragTo(Dockable, Point(300, 700));  // far from every dock site
  ASSERT_TRUE(Dockable->GetFloating());
  auto* floating = static_cast<TCustomDockForm*>(Dockable->GetParent());
  EXPECT_TRUE(GetWindowLongA(floating->GetHandle(), GWL_EXSTYLE) & WS_EX_TOOLWINDOW);
  EXPECT_TRUE(IsWindowVisible(floating->GetHandle()));
  EXPECT_EQ(Dockable->GetBoundsRect(), Rect(0, 0, 80, 30));
  EXPECT_EQ(floating->GetClientWidth(), 80);
  EXPECT_EQ(floating->GetClientHeight(), 30);
  // The control lies where the drag left it: the press point follows the pointer.
  EXPECT_EQ(Dockable->ClientToScreen(Point(5, 5)), Point(300, 700));
  EXPECT_EQ(GetCapture(), nullptr);

  DragTo(Dockable, At(Site, 150, 40));
  EXPECT_EQ(Dockable->GetParent(), Site);
  EXPECT_FALSE(Dockable->GetFloating());
  EXPECT_EQ(Dockable->GetWidth(), 80);
  EXPECT_EQ(Dockable->GetHeight(), 30);
  EXPECT_EQ(Dockable->ClientToScreen(Point(5, 5)), At(Site, 150, 40));
  PumpUntil([&] { return Screen->GetCustomFormCount() == forms; }, 2000);
  EXPECT_EQ(Screen->GetCustomFormCount(), forms);  // the empty tool window freed itself
  EXPECT_EQ(LiveHandleCount(THandleKind::Window), windows);
  EXPECT_EQ(GetCapture(), nullptr);
}

TEST_F(DockingTest, ASiteThatRefusesMakesTheDropFloatAndManualDockAndFloatMoveTheControl) {
  Site->OnGetSiteInfo = TGetSiteInfoEvent::FromFunction(
      [](void*, TObject*, TControl*, TRect&, TPoint, bool& canDock) { canDock = false; });
  DragTo(Dockable, At(Site, 150, 40));
  EXPECT_TRUE(Dockable->GetFloating());
  Site->OnGetSiteInfo = nullptr;
  // So does a site whose DockOver refuses.
  Site->OnDockOver = TDockOverEvent::FromFunction(
      [](void*, TObject*, TDragDockObject*, int, int, TDragState, bool& accept) { accept = false; });
  DragTo(Dockable, At(Site, 150, 40));
  EXPECT_TRUE(Dockable->GetFloating());
  EXPECT_EQ(Dockable->ClientToScreen(Point(5, 5)), At(Site, 150, 40));
  Site->OnDockOver = nullptr;

  EXPECT_TRUE(Dockable->ManualDock(Site));
  EXPECT_EQ(Dockable->GetParent(), Site);
  EXPECT_EQ(Dockable->GetWidth(), 80);
  // Kept inside the site's client area.
  EXPECT_GE(Dockable->GetLeft(), 0);
  EXPECT_LE(Dockable->GetLeft() + 80, Site->GetClientWidth());
  EXPECT_FALSE(Dockable->ManualDock(Right));  // no dock site
  EXPECT_THROW(Site->ManualDock(Dockable), EInvalidOperation);  // into its own child

  Dockable->ManualFloat(Bounds(200, 650, 120, 40));
  ASSERT_TRUE(Dockable->GetFloating());
  EXPECT_EQ(Dockable->GetBoundsRect(), Rect(0, 0, 120, 40));
  EXPECT_EQ(Dockable->ClientToScreen(Point(0, 0)), Point(200, 650));
  Dockable->ManualDock(nullptr);  // floats where it is: the same tool window
  EXPECT_EQ(Dockable->ClientToScreen(Point(0, 0)), Point(200, 650));
}

TEST_F(DockingTest, DockOverSeesEnterMoveAndTheDockRectangleFollowsThePointer) {
  std::vector<TDragState> states;
  struct TRecorder {
    std::vector<TDragState>* States;
    TRect Rect{};
    void Over(TObject*, TDragDockObject* source, int, int, TDragState state, bool&) {
      States->push_back(state);
      Rect = source->GetDockRect();
    }
  } recorder{&states};
  Site->OnDockOver = TDockOverEvent::Bind<&TRecorder::Over>(&recorder);
  const TPoint press = At(Dockable, 5, 5);
  Post(WM_LBUTTONDOWN, press, MK_LBUTTON, Dockable->GetHandle());
  MoveTo(At(Site, 100, 40));
  MoveTo(At(Site, 110, 45));
  // The rectangle is the control's size at the pointer less the grab offset.
  EXPECT_EQ(recorder.Rect, Bounds(At(Site, 105, 40).x, At(Site, 105, 40).y, 80, 30));
  MoveTo(Point(300, 700));
  EXPECT_EQ(states, (std::vector<TDragState>{dsDragEnter, dsDragMove, dsDragLeave}));
  auto* dock = static_cast<TDragDockObject*>(ActiveDragObject());
  EXPECT_TRUE(dock->GetFloating());
  PostMessageA(Left->GetHandle(), WM_KEYDOWN, VK_ESCAPE, 1);
  PumpPending();
  EXPECT_EQ(Dockable->GetParent(), Site);  // cancelled: stays docked
  EXPECT_EQ(GetCapture(), nullptr);
}

}  // namespace
