#include "classlib/Boundary.h"

#include <stdexcept>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "tests/support/TestSupport.h"

namespace {

std::vector<std::string> gCaught;

void RecordingHandler(const char* where, const std::exception* error) {
  gCaught.push_back(std::string(where) + ": " + (error ? error->what() : "?"));
}

constexpr UINT kThrowMessage = WM_APP + 1;
constexpr UINT kPingMessage = WM_APP + 2;

LRESULT CALLBACK ThrowingProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  return GuardBoundaryResult<LRESULT>("ThrowingProc", -1, [&]() -> LRESULT {
    if (msg == kThrowMessage)
      throw std::runtime_error("thrown in window procedure " + std::to_string(wParam));
    if (msg == kPingMessage)
      return 42;
    return DefWindowProcA(wnd, msg, wParam, lParam);
  });
}

class BoundaryTest : public testing::Test {
 protected:
  void SetUp() override {
    gCaught.clear();
    FPrevious = SetBoundaryHandler(RecordingHandler);
    WNDCLASSA cls{};
    cls.lpfnWndProc = ThrowingProc;
    cls.hInstance = GetModuleHandleA(nullptr);
    cls.lpszClassName = "KivoThrowingWindow";
    RegisterClassA(&cls);
    FWnd = CreateWindowExA(0, "KivoThrowingWindow", "", WS_OVERLAPPED, 0, 0, 10, 10, nullptr,
                           nullptr, GetModuleHandleA(nullptr), nullptr);
    ASSERT_NE(FWnd, nullptr);
  }
  void TearDown() override {
    DestroyWindow(FWnd);
    UnregisterClassA("KivoThrowingWindow", GetModuleHandleA(nullptr));
    SetBoundaryHandler(FPrevious);
  }
  HWND FWnd = nullptr;
  TBoundaryHandler FPrevious = nullptr;
};

// The window procedure runs under user32's frames; the exception must stop at our barrier.
TEST_F(BoundaryTest, ExceptionInSentMessageIsCaughtInsideTheWindowProcedure) {
  EXPECT_EQ(SendMessageA(FWnd, kThrowMessage, 7, 0), -1);
  ASSERT_EQ(gCaught.size(), 1u);
  EXPECT_EQ(gCaught[0], "ThrowingProc: thrown in window procedure 7");
  EXPECT_EQ(SendMessageA(FWnd, kPingMessage, 0, 0), 42);  // the window goes on working
}

TEST_F(BoundaryTest, ExceptionInDispatchedMessageLeavesTheLoopRunning) {
  PostMessageA(FWnd, kThrowMessage, 1, 0);
  PostMessageA(FWnd, kThrowMessage, 2, 0);
  ASSERT_TRUE(PumpUntil([] { return gCaught.size() == 2; }, 2000));  // read below
  EXPECT_EQ(gCaught[1], "ThrowingProc: thrown in window procedure 2");
}

TEST_F(BoundaryTest, HandlerThatThrowsIsContained) {
  SetBoundaryHandler([](const char*, const std::exception*) { throw std::logic_error("again"); });
  EXPECT_FALSE(GuardBoundary("nested", [] { throw std::runtime_error("first"); }));
}

}  // namespace
