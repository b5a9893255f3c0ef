#include "skin/KsUtils.h"

#include <gtest/gtest.h>

#include <memory>

#include "classlib/Forms.h"
#include "skin/KsBitmap.h"
#include "tests/support/TestSupport.h"

namespace {

void ExpectRect(const RECT& r, int left, int top, int right, int bottom) {
  EXPECT_EQ(r.left, left);
  EXPECT_EQ(r.top, top);
  EXPECT_EQ(r.right, right);
  EXPECT_EQ(r.bottom, bottom);
}

TEST(KsRect, CentringDividesTowardZero) {
  // (10 - 5) / 2 = 2 down; (2 - 5) / 2 = -1 up, toward zero.
  ExpectRect(RectCenterVert(RECT{0, 0, 4, 5}, RECT{20, 30, 40, 40}), 20, 32, 24, 37);
  ExpectRect(RectCenterVert(RECT{0, 0, 4, 5}, RECT{20, 30, 40, 32}), 20, 29, 24, 34);
  ExpectRect(RectCenter(RECT{7, 7, 10, 12}, RECT{0, 0, 8, 10}), 2, 2, 5, 7);
  ExpectRect(RectGrow(RECT{5, 6, 7, 8}, 2), 3, 4, 9, 10);
  EXPECT_TRUE(RectIsEmpty(RECT{0, 0, 0, 5}));
  EXPECT_TRUE(RectIsEmpty(RECT{0, 5, 3, 4}));
  EXPECT_FALSE(RectIsEmpty(RECT{0, 0, 1, 1}));
  EXPECT_TRUE(RectEquals(RECT{1, 2, 3, 4}, RECT{1, 2, 3, 4}));
  EXPECT_FALSE(RectEquals(RECT{1, 2, 3, 4}, RECT{1, 2, 3, 5}));
}

TEST(KsCapture, NestedPairsReleaseAtTheOutermost) {
  TTestWindow window;
  KsSetCapture(window.Handle());
  KsSetCapture(window.Handle());
  EXPECT_EQ(GetCapture(), window.Handle());
  KsReleaseCapture();
  EXPECT_EQ(GetCapture(), window.Handle());
  KsReleaseCapture();
  EXPECT_EQ(GetCapture(), nullptr);
  EXPECT_EQ(KsCaptureCount(), 0);
}

TEST(KsCapture, LeavesAForeignCaptureAlone) {
  TTestWindow first, second;
  KsSetCapture(first.Handle());
  SetCapture(second.Handle());
  KsReleaseCapture();
  EXPECT_EQ(GetCapture(), second.Handle());
  ReleaseCapture();
}

// Fault: an unbalanced KsReleaseCapture drove the count below 0, so later
// KsSetCapture calls never reached count 0 and never captured.
TEST(KsCapture, UnbalancedReleaseDoesNotBlockLaterCaptures) {
  TTestWindow window;
  KsReleaseCapture();
  KsReleaseCapture();
  EXPECT_EQ(KsCaptureCount(), 0);
  KsSetCapture(window.Handle());
  EXPECT_EQ(GetCapture(), window.Handle());
  KsReleaseCapture();
  EXPECT_EQ(GetCapture(), nullptr);
}

// Sets the system keyboard settings for this process for one test and restores them.
class KsKeyboard : public testing::Test {
 protected:
  void SetUp() override {
    SystemParametersInfoA(SPI_GETKEYBOARDDELAY, 0, &FDelay, 0);
    SystemParametersInfoA(SPI_GETKEYBOARDSPEED, 0, &FSpeed, 0);
  }
  void TearDown() override {
    SystemParametersInfoA(SPI_SETKEYBOARDDELAY, FDelay, nullptr, 0);
    SystemParametersInfoA(SPI_SETKEYBOARDSPEED, FSpeed, nullptr, 0);
  }
  static void Set(UINT action, UINT value) {
    ASSERT_TRUE(SystemParametersInfoA(action, value, nullptr, 0));
  }
  int FDelay = 0;
  DWORD FSpeed = 0;
};

TEST_F(KsKeyboard, DelayIsQuarterSecondSteps) {
  Set(SPI_SETKEYBOARDDELAY, 0);
  EXPECT_EQ(KeyboardDelayMs(), 200);
  Set(SPI_SETKEYBOARDDELAY, 1);
  EXPECT_EQ(KeyboardDelayMs(), 400);
  Set(SPI_SETKEYBOARDDELAY, 3);
  EXPECT_EQ(KeyboardDelayMs(), 800);
}

TEST_F(KsKeyboard, RepeatRoundsToNearestMillisecond) {
  Set(SPI_SETKEYBOARDSPEED, 0);
  EXPECT_EQ(KeyboardRepeatMs(), 435);  // 434.78
  Set(SPI_SETKEYBOARDSPEED, 3);
  EXPECT_EQ(KeyboardRepeatMs(), 109);  // 108.70
  Set(SPI_SETKEYBOARDSPEED, 31);
  EXPECT_EQ(KeyboardRepeatMs(), 14);  // 13.59
}

TEST(KsParentBackground, ParentErasesAtTheChildsOffset) {
  POINT seenOrigin{-1, -1};
  LPARAM seenMarker = 0;
  TTestWindow parent([&](UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    if (msg != WM_ERASEBKGND || lParam != 12)
      return false;
    HDC dc = reinterpret_cast<HDC>(wParam);
    GetWindowOrgEx(dc, &seenOrigin);
    seenMarker = lParam;
    // The parent paints in its own client coordinates.
    RECT spot{30, 20, 31, 21};
    FillRect(dc, &spot, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    result = 1;
    return true;
  });
  TKsBitmap buffer;
  buffer.SetSize(4, 4);
  buffer.Fill(KsColorBlack);
  POINT childOrigin{30, 20};
  ClientToScreen(parent.Handle(), &childOrigin);
  DrawParentBackgroundAt(parent.Handle(), childOrigin, buffer.GetDC());
  EXPECT_EQ(seenMarker, 12);
  EXPECT_EQ(seenOrigin.x, 30);
  EXPECT_EQ(seenOrigin.y, 20);
  EXPECT_EQ(buffer.GetPixel(0, 0) & 0x00FFFFFFu, 0x00FFFFFFu);
  EXPECT_EQ(buffer.GetPixel(1, 0), KsColorBlack);
  POINT restored{-1, -1};
  GetWindowOrgEx(buffer.GetDC(), &restored);
  EXPECT_EQ(restored.x, 0);
  EXPECT_EQ(restored.y, 0);
}

// A form that records the background requests of its skinned children.
class TErasingForm : public TForm {
  KIVO_CLASS(TErasingForm, TForm)
 public:
  using TForm::TForm;
  int Erases = 0;
  POINT Origin{-1, -1};

  void Dispatch(TMessage& message) override {
    if (message.Msg == WM_ERASEBKGND && message.LParam == 12) {
      ++Erases;
      GetWindowOrgEx(reinterpret_cast<HDC>(message.WParam), &Origin);
      message.Result = 1;
      return;
    }
    inherited::Dispatch(message);
  }
};

TEST(KsParentBackground, ControlsAskTheirParentWindow) {
  std::unique_ptr<TErasingForm> form(new TErasingForm(nullptr));
  auto* child = new TGraphicControl(form.get());
  child->SetBounds(30, 20, 10, 10);
  child->SetParent(form.get());
  auto* orphan = new TGraphicControl(form.get());
  TKsBitmap buffer;
  buffer.SetSize(4, 4);
  // A windowless control waits for the parent's window; a windowed one makes it.
  DrawParentBackground(child, buffer.GetDC());
  DrawParentBackground(orphan, buffer.GetDC());
  DrawParentBackgroundWin(orphan, buffer.GetDC());
  EXPECT_EQ(form->Erases, 0);
  EXPECT_FALSE(form->HandleAllocated());
  DrawParentBackgroundWin(child, buffer.GetDC());
  EXPECT_EQ(form->Erases, 1);
  DrawParentBackground(child, buffer.GetDC());
  EXPECT_EQ(form->Erases, 2);
  EXPECT_EQ(form->Origin.x, 30);
  EXPECT_EQ(form->Origin.y, 20);
}

}  // namespace
