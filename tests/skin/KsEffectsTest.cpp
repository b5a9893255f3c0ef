// The show animations drawn into a memory DC, and the counter that times them.
#include <gtest/gtest.h>

#include "SkinTestSupport.h"
#include "skin/KsEffects.h"
#include "tests/support/TestSupport.h"

namespace {

constexpr TKsColor kImage = Argb(255, 200, 100, 50);
constexpr TKsColor kUnder = Argb(255, 10, 20, 30);
constexpr uint32_t kUntouched = 0x00563412;

class KsEffectsTest : public testing::Test {
 protected:
  void SetUp() override {
    Prepare(Background, 64, 48, kUnder);
    Prepare(Image, RectWidth(Window), RectHeight(Window), kImage);
    for (int y = 0; y < Surface.Height(); ++y)
      for (int x = 0; x < Surface.Width(); ++x)
        SetPixelV(Surface.DC(), x, y, RGB(0x56, 0x34, 0x12));
    GdiFlush();
  }
  // Checks every pixel of the surface: inside the window by `inside` (window
  // coordinates), outside untouched.
  void ExpectSurface(const std::function<TKsColor(int, int)>& inside) {
    GdiFlush();
    for (int y = 0; y < Surface.Height(); ++y)
      for (int x = 0; x < Surface.Width(); ++x) {
        const bool in = x >= Window.left && x < Window.right && y >= Window.top && y < Window.bottom;
        ASSERT_EQ(Surface.Pixel(x, y), in ? inside(x - Window.left, y - Window.top) : kUntouched)
            << x << ", " << y;
      }
  }
  const TRect Window = Rect(10, 5, 40, 25);
  TKsBitmap Background;
  TKsBitmap Image;
  TDibSurface Surface{64, 48};
};

TEST_F(KsEffectsTest, FadeOfTimeZeroDrawsNothing) {
  AnimateFade(Surface.DC(), Background, Window, 0, Image);
  ExpectSurface([](int, int) { return kUntouched; });
}

TEST_F(KsEffectsTest, FadeOfOneMillisecondDrawsOneFrameAtAlpha15) {
  AnimateFade(Surface.DC(), Background, Window, 1, Image);
  const TKsColor frame = KsAlphaBlendPixel((kImage & 0xFFFFFFu) | 15u << 24, kUnder);
  ExpectSurface([&](int, int) { return frame; });
}

TEST_F(KsEffectsTest, SlideStartsWithTheImageOutside) {
  AnimateSlide(Surface.DC(), Background, Window, 1, /*Direction=*/0, Image);
  ExpectSurface([](int, int) { return kUnder; });
}

TEST_F(KsEffectsTest, RectStartsAtFiveMilliseconds) {
  AnimateRect(Surface.DC(), Background, Window, 5, /*Mode=*/1, Image);
  ExpectSurface([](int, int) { return kUntouched; });
  // Time 6: one frame at 5/6 of the way, growing from the top left.
  AnimateRect(Surface.DC(), Background, Window, 6, /*Mode=*/1, Image);
  ExpectSurface([](int x, int y) { return x < 25 && y < 17 ? kImage : kUnder; });
}

TEST(KsCounterTest, MeasuresAndStopCounterFreesIt) {
  TKsCounter* counter = nullptr;
  EXPECT_EQ(StopCounter(counter), 0.0f);
  StartCounter(counter);
  ASSERT_NE(counter, nullptr);
  EXPECT_TRUE(counter->GetRunning());
  EXPECT_GT(counter->GetFrequency(), 0);
  Sleep(20);
  const float elapsed = StopCounter(counter);
  EXPECT_EQ(counter, nullptr);
  EXPECT_GE(elapsed, 0.015f);
  EXPECT_LT(elapsed, 2.0f);
}

}  // namespace
