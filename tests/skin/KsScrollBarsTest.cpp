// The skinned scroll bar: geometry and hit tests, clamping setters, the scroll codes of
// a thumb drag, key steps, the repeat timer and its painting.
#include <algorithm>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "SkinTestSupport.h"
#include "classlib/Timer.h"
#include "skin/KsMath.h"
#include "skin/KsScrollBars.h"
#include "skin/KsUtils.h"
#include "tests/controls/ControlsTestSupport.h"

namespace {

// Records OnChange and OnScroll (with the time of each scroll, in milliseconds).
struct TBarRecorder {
  int Changes = 0;
  std::vector<std::pair<TScrollCode, int>> Scrolls;
  std::vector<double> Times;
  void Change(TObject*) { ++Changes; }
  void Scroll(TObject*, TScrollCode code, int& pos) {
    Scrolls.emplace_back(code, pos);
    LARGE_INTEGER now{}, frequency{};
    QueryPerformanceCounter(&now);
    QueryPerformanceFrequency(&frequency);
    Times.push_back(double(now.QuadPart) * 1000.0 / double(frequency.QuadPart));
  }
};

// A bar that can stop listening to the real mouse: other test programs move the
// cursor of the shared display, and the bar holds the capture while a button is down.
class TScriptedBar : public TKsCustomScrollBar {
  KIVO_CLASS(TScriptedBar, TKsCustomScrollBar)
 public:
  using TKsCustomScrollBar::TKsCustomScrollBar;
  bool Frozen = false;

 protected:
  void MouseMove(TShiftState shift, int x, int y) override {
    if (!Frozen)
      inherited::MouseMove(shift, x, y);
  }
  void MouseLeave() override {
    if (!Frozen)
      inherited::MouseLeave();
  }
};

class KsScrollBarsTest : public FormTest {
 protected:
  void SetUp() override {
    FormTest::SetUp();
    Metric = GetSystemMetrics(SM_CYVTHUMB);
    Bar = new TScriptedBar(Form);
    Bar->SetParent(Form);
    // A track of 200 pixels between the buttons.
    Bar->SetBounds(10, 10, 200 + 2 + 2 * Metric, Metric + 2);
    Bar->OnChange = TNotifyEvent::Bind<&TBarRecorder::Change>(&Recorder);
    Bar->OnScroll = TScrollEvent::Bind<&TBarRecorder::Scroll>(&Recorder);
  }
  void Mouse(UINT msg, int x, int y) {
    Bar->Perform(msg, msg == WM_LBUTTONDOWN || msg == WM_MOUSEMOVE ? MK_LBUTTON : 0, MAKELPARAM(x, y));
  }
  int Metric = 0;
  TScriptedBar* Bar = nullptr;
  TBarRecorder Recorder;
};

TEST_F(KsScrollBarsTest, ThumbGeometryFollowsPositionAndPageSize) {
  const TRect track = Bar->GetTrackRect();
  EXPECT_EQ(track.left, 1 + Metric);
  EXPECT_EQ(RectWidth(track), 200);
  EXPECT_EQ(Bar->GetThumbSize(), Metric);
  Bar->SetPosition(50);
  const int pos = track.left + RoundToInt(50.0 * (200 - Metric) / 100);
  EXPECT_EQ(Bar->ThumbPos(), pos);
  EXPECT_TRUE(RectEquals(Bar->GetThumbRect(), Rect(pos, 1, pos + Metric, Metric + 1)));
  EXPECT_TRUE(RectEquals(Bar->GetPageBeforeRect(), Rect(track.left, 1, pos, Metric + 1)));
  EXPECT_TRUE(RectEquals(Bar->GetPageAfterRect(), Rect(pos + Metric, 1, track.right, Metric + 1)));
  EXPECT_TRUE(Bar->InThumb(pos, 5));
  EXPECT_FALSE(Bar->InThumb(pos - 1, 5));
  EXPECT_TRUE(Bar->InPageBefore(pos - 1, 5));
  EXPECT_TRUE(Bar->InPageAfter(pos + Metric, 5));
  EXPECT_TRUE(Bar->InFirstButton(1, 1));
  EXPECT_TRUE(Bar->InSecondButton(Bar->GetWidth() - 2, 1));

  Bar->SetPageSize(10);  // 10 x 200 / 101, at least two thirds of the metric
  EXPECT_EQ(Bar->GetThumbSize(), std::max(20, (Metric / 3) * 2));

  // A 20-pixel bar: buttons share what is left between the borders.
  Bar->SetKind(sbVertical);
  Bar->SetBounds(0, 0, Metric + 2, 20);
  EXPECT_EQ(Bar->GetButtonSize(), 18 >= 2 * Metric ? Metric : 9);
  EXPECT_TRUE(RectEquals(Bar->GetFirstButtonRect(), Rect(1, 1, Metric + 1, 1 + Bar->GetButtonSize())));
  EXPECT_TRUE(RectEquals(Bar->GetSecondButtonRect(), Rect(1, 19 - Bar->GetButtonSize(), Metric + 1, 19)));
}

TEST_F(KsScrollBarsTest, SettersClampAndFireOnChangeOnce) {
  Bar->SetPosition(1000);
  EXPECT_EQ(Bar->GetPosition(), 100);
  EXPECT_EQ(Recorder.Changes, 1);
  Bar->SetPosition(100);
  EXPECT_EQ(Recorder.Changes, 1);
  Bar->SetMax(60);  // below Position: Position follows
  EXPECT_EQ(Bar->GetPosition(), 60);
  EXPECT_EQ(Recorder.Changes, 2);
  Bar->SetMin(20);
  Bar->SetMax(5);  // below Min: stores Min
  EXPECT_EQ(Bar->GetMax(), 20);
  EXPECT_EQ(Bar->GetPosition(), 20);
  Bar->SetMax(100);
  Bar->SetMin(500);  // above Max: stores Max
  EXPECT_EQ(Bar->GetMin(), 100);
  Bar->SetMin(0);
  Bar->SetPageSize(500);
  EXPECT_EQ(Bar->GetPageSize(), 101);
  Bar->SetPageSize(-3);
  EXPECT_EQ(Bar->GetPageSize(), 101);
  Bar->SetPageSize(10);
  Bar->SetMax(4);  // the page is cut to the range
  EXPECT_EQ(Bar->GetPageSize(), 5);
}

TEST_F(KsScrollBarsTest, ThumbDragReportsTrackPositionAndEndScroll) {
  Form->HandleNeeded();
  const int start = Bar->ThumbPos();
  Mouse(WM_MOUSEMOVE, start, 5);
  Mouse(WM_LBUTTONDOWN, start, 5);  // grabbed on its first pixel
  EXPECT_EQ(Bar->GetThumbDragOffset(), 0);
  Mouse(WM_MOUSEMOVE, start + 92, 5);
  const int middle = Bar->PositionFromPixel(int16_t(start + 92));
  EXPECT_EQ(Bar->GetPosition(), middle);
  Mouse(WM_MOUSEMOVE, Bar->GetWidth() + 50, 5);  // past the end of the track
  Mouse(WM_LBUTTONUP, Bar->GetWidth() + 50, 5);
  const std::vector<std::pair<TScrollCode, int>> expected{
      {scTrack, 0}, {scTrack, middle}, {scTrack, 100}, {scPosition, 100}, {scEndScroll, 100}};
  EXPECT_EQ(Recorder.Scrolls, expected);
  EXPECT_EQ(Bar->GetThumbDragOffset(), -1);
  EXPECT_GT(middle, 40);
  EXPECT_LT(middle, 60);
}

// PositionFromPixel bounded by Max - PageSize + 1 even without a page handed OnScroll
// Max + 1 at the end of the track.
TEST_F(KsScrollBarsTest, PositionFromPixelStaysWithinTheRangeWithoutAPage) {
  const TRect track = Bar->GetTrackRect();
  EXPECT_EQ(Bar->PositionFromPixel(int16_t(track.right)), 100);
  EXPECT_EQ(Bar->PositionFromPixel(int16_t(track.left - 5)), 0);
  Bar->SetPageSize(10);
  EXPECT_EQ(Bar->PositionFromPixel(int16_t(track.right)), 91);
}

TEST_F(KsScrollBarsTest, KeyStepsScrollByLinePageAndToTheEnds) {
  Bar->SetPosition(50);
  Recorder.Scrolls.clear();
  Bar->KeyStep(VK_NEXT);
  Bar->SetLargeChange(7);
  Bar->KeyStep(VK_PRIOR);
  Bar->SetPageSize(10);
  Bar->KeyStep(VK_NEXT);
  Bar->KeyStep(VK_UP);
  Bar->KeyStep(VK_END);
  Bar->KeyStep(VK_DOWN);
  Bar->KeyStep(VK_HOME);
  Bar->KeyStep('A');
  const std::vector<std::pair<TScrollCode, int>> expected{
      {scPageDown, 51}, {scPageUp, 44}, {scPageDown, 54}, {scLineUp, 53},
      {scBottom, 100}, {scLineDown, 100}, {scTop, 0}};
  EXPECT_EQ(Recorder.Scrolls, expected);
}

TEST_F(KsScrollBarsTest, HoldingAButtonRepeatsAfterTheKeyboardDelayAtTheRepeatRate) {
  Form->HandleNeeded();  // not shown: the test takes no activation from other programs
  Bar->SetPosition(100);
  Recorder.Scrolls.clear();
  Mouse(WM_MOUSEMOVE, 3, 3);
  Mouse(WM_LBUTTONDOWN, 3, 3);
  Bar->Frozen = true;
  ASSERT_EQ(Recorder.Scrolls.size(), 1u);  // the first line at once
  EXPECT_EQ(Recorder.Scrolls[0], std::make_pair(scLineUp, 99));
  const int delay = KeyboardDelayMs(), repeat = KeyboardRepeatMs();
  PumpUntil([] { return false; }, unsigned(delay + 400));
  const size_t steps = Recorder.Times.size();
  Bar->Frozen = false;
  Mouse(WM_LBUTTONUP, 3, 3);
  ASSERT_GE(steps, 4u);
  const double firstDelay = Recorder.Times[1] - Recorder.Times[0];
  EXPECT_GE(firstDelay, delay - 20);
  EXPECT_LE(firstDelay, delay + 150);
  const double rate = (Recorder.Times[steps - 1] - Recorder.Times[1]) / double(steps - 2);
  EXPECT_GE(rate, repeat - 5);
  EXPECT_LE(rate, repeat + 40);
  EXPECT_FALSE(Bar->GetTimer()->GetEnabled());
}

TEST_F(KsScrollBarsTest, MovingOffTheButtonPausesTheRepeat) {
  Form->HandleNeeded();
  Bar->SetPosition(100);
  Mouse(WM_MOUSEMOVE, 3, 3);
  Mouse(WM_LBUTTONDOWN, 3, 3);
  Mouse(WM_MOUSEMOVE, Bar->GetWidth() / 2, 3);
  Bar->Frozen = true;
  const size_t steps = Recorder.Scrolls.size();
  PumpUntil([] { return false; }, unsigned(KeyboardDelayMs() + 100));
  EXPECT_EQ(Recorder.Scrolls.size(), steps);
  EXPECT_TRUE(Bar->GetTimer()->GetEnabled());
  Bar->Frozen = false;
  Mouse(WM_LBUTTONUP, 3, 3);
  EXPECT_FALSE(Bar->GetTimer()->GetEnabled());
}

TEST_F(KsScrollBarsTest, TrackIsDitheredAndAPressedPageIsDark) {
  const TKsColor light = ColorToKsColor(clBtnHighlight, 255);
  const TKsColor dark = ColorToKsColor(clScrollBar, 255);
  TDibSurface surface(Bar->GetWidth(), Bar->GetHeight());
  Bar->Perform(WM_PAINT, reinterpret_cast<WPARAM>(surface.DC()));
  GdiFlush();
  const TRect after = Bar->GetPageAfterRect();
  for (int x = after.left; x < after.right; ++x)
    for (int y = after.top; y < after.bottom; ++y)
      ASSERT_EQ(surface.Pixel(x, y), (x + y) % 2 == 0 ? light : dark) << x << ", " << y;

  Form->HandleNeeded();
  const int x = after.right - 3, y = 4;
  Mouse(WM_MOUSEMOVE, x, y);
  Mouse(WM_LBUTTONDOWN, x, y);
  EXPECT_EQ(Recorder.Scrolls.back(), std::make_pair(scPageDown, 1));
  Bar->Perform(WM_PAINT, reinterpret_cast<WPARAM>(surface.DC()));
  GdiFlush();
  EXPECT_EQ(surface.Pixel(x, y), ColorToKsColor(cl3DDkShadow, 255));
  const int left = Bar->GetPageBeforeRect().left;
  EXPECT_EQ(surface.Pixel(left, y), (left + y) % 2 == 0 ? light : dark);  // not pressed
  Mouse(WM_LBUTTONUP, x, y);
}

}  // namespace
