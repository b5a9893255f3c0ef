// The harness itself: the Wine desktop activates our windows without a window manager,
// and GDI output into a 32-bit DIB reads back exactly.
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

namespace {

TEST(TestHarness, ShownWindowIsActiveAndForeground) {
  TTestWindow window;
  EXPECT_TRUE(PumpUntil([&] { return GetForegroundWindow() == window.Handle(); }, 3000));
  EXPECT_EQ(GetActiveWindow(), window.Handle());
  SetFocus(window.Handle());
  EXPECT_EQ(GetFocus(), window.Handle());
}

TEST(TestHarness, DibPixelsReadBackAsDrawn) {
  TDibSurface surface(16, 8);
  surface.Fill(RGB(10, 20, 30));
  RECT r{4, 2, 8, 6};
  HBRUSH brush = CreateSolidBrush(RGB(200, 100, 50));
  FillRect(surface.DC(), &r, brush);
  DeleteObject(brush);
  EXPECT_EQ(surface.Color(0, 0), RGB(10, 20, 30));
  EXPECT_EQ(surface.Color(4, 2), RGB(200, 100, 50));
  EXPECT_EQ(surface.Color(7, 5), RGB(200, 100, 50));
  EXPECT_EQ(surface.Color(8, 6), RGB(10, 20, 30));
  // GDI leaves the alpha byte 0 in 32-bit DIBs; the skin library relies on it.
  EXPECT_EQ(surface.Pixel(4, 2), 0x00C86432u);
}

TEST(TestHarness, ScreenIsTwentyFourBitDeep) {
  HDC screen = GetDC(nullptr);
  EXPECT_GE(GetDeviceCaps(screen, BITSPIXEL), 24);
  ReleaseDC(nullptr, screen);
}

}  // namespace

std::span<const TUnitEntry> TestUnits() { return {}; }
