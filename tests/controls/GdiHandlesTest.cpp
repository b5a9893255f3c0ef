#include "classlib/GdiHandles.h"

#include <gtest/gtest.h>

#include "classlib/Colors.h"
#include "tests/support/TestSupport.h"

namespace {

TEST(Colors, SystemColoursResolveThroughGetSysColor) {
  EXPECT_EQ(ColorToRGB(clBtnFace), GetSysColor(COLOR_BTNFACE));
  EXPECT_EQ(ColorToRGB(clWindowText), GetSysColor(COLOR_WINDOWTEXT));
  EXPECT_EQ(ColorToRGB(TColor(0xFFFF0000)), GetSysColor(0));  // index = the low byte
  EXPECT_EQ(ColorToRGB(clBlue), 0xFF0000u);
  EXPECT_EQ(ColorToRGB(clNone), 0x1FFFFFFFu);
  EXPECT_EQ(clBtnFace, TColor(0x8000000F));
  EXPECT_EQ(clDefault, 0x20000000);
  EXPECT_TRUE(IsSystemColor(cl3DDkShadow));
  EXPECT_FALSE(IsSystemColor(clNone));
}

TEST(HandleCounter, OwnersCountCreationAndDestruction) {
  const int pens = LiveHandleCount(THandleKind::Pen);
  const int gdi = LiveGdiHandleCount();
  const int mismatches = HandleMismatchCount();
  {
    TPenHandle pen(CreatePen(PS_SOLID, 1, RGB(1, 2, 3)));
    TBrushHandle brush(CreateSolidBrush(RGB(4, 5, 6)));
    EXPECT_EQ(LiveHandleCount(THandleKind::Pen), pens + 1);
    EXPECT_EQ(LiveGdiHandleCount(), gdi + 2);
    EXPECT_TRUE(IsLiveHandle(pen.Get()));
    TPenHandle moved(std::move(pen));
    EXPECT_EQ(pen.Get(), nullptr);
    EXPECT_EQ(LiveHandleCount(THandleKind::Pen), pens + 1);
    brush.Reset(CreateSolidBrush(RGB(7, 8, 9)));  // the first brush is destroyed
    EXPECT_EQ(LiveGdiHandleCount(), gdi + 2);
    const int dcs = LiveHandleCount(THandleKind::DC);
    TMemoryDC dc;
    EXPECT_EQ(LiveHandleCount(THandleKind::DC), dcs + 1);
  }
  EXPECT_EQ(LiveHandleCount(THandleKind::Pen), pens);
  EXPECT_EQ(LiveGdiHandleCount(), gdi);
  EXPECT_EQ(HandleMismatchCount(), mismatches);
  // A destruction that was never created is a mismatch, not a negative count.
  HandleDestroyed(THandleKind::Font, reinterpret_cast<void*>(0x1234));
  EXPECT_EQ(HandleMismatchCount(), mismatches + 1);
}

TEST(DCGuards, RestoreWhatWasSelected) {
  TDibSurface surface(4, 4);
  HGDIOBJ original = GetCurrentObject(surface.DC(), OBJ_BRUSH);
  TBrushHandle red(CreateSolidBrush(RGB(255, 0, 0)));
  {
    TSelectGuard guard(surface.DC(), red.Get());
    EXPECT_EQ(GetCurrentObject(surface.DC(), OBJ_BRUSH), red.Get());
    TSaveDCGuard saved(surface.DC());
    SetBkColor(surface.DC(), RGB(1, 2, 3));
  }
  EXPECT_EQ(GetCurrentObject(surface.DC(), OBJ_BRUSH), original);
}

}  // namespace
