// The Lines theme: its colour table, its striped caption band and menu items and its
// light blue rebar grip; everything else is the Highlight theme's.
#include <gtest/gtest.h>

#include "skin/KsItems.h"
#include "skin/TeThemeLines.h"
#include "tests/skin/VectorThemeTestSupport.h"

namespace {

using TeThemeLinesTest = TVectorThemeTest<TTeThemeLines>;

}  // namespace

TEST(TeThemeLines, ColourTableDiffersFromHighlightInFiveKinds) {
  TTeThemeLines lines;
  TTeThemeHighlight highlight;
  EXPECT_EQ(lines.ThemeClass()->ThemeName(), "Lines");
  const std::pair<int, COLORREF> own[] = {{0, RGB(100, 160, 255)}, {1, RGB(168, 168, 168)},
                                          {11, RGB(210, 210, 210)}, {14, RGB(235, 235, 238)},
                                          {16, RGB(235, 235, 238)}};
  for (auto [hue, brightness] : {std::pair{0, 0}, {25, -10}}) {
    lines.SetDeltaHue(hue);
    lines.SetDeltaBrightness(brightness);
    highlight.SetDeltaHue(hue);
    highlight.SetDeltaBrightness(brightness);
    for (auto [kind, color] : own)
      EXPECT_EQ(lines.GetColor(uint8_t(kind)), Adjusted(TColor(color), hue, brightness)) << kind;
    for (int kind = 0; kind < 40; ++kind) {
      if (kind != 0 && kind != 1 && kind != 11 && kind != 14 && kind != 16) {
        EXPECT_EQ(lines.GetColor(uint8_t(kind)), highlight.GetColor(uint8_t(kind))) << kind;
      }
    }
  }
  EXPECT_EQ(lines.GetSize(2), 23);
  EXPECT_EQ(lines.GetFontSize(0), 9);
}

TEST_F(TeThemeLinesTest, CaptionBandIsStripedFromTheFramesTopRow) {
  Theme.DrawFormFrame(Dest, 120, 60, {4, 27, 116, 56}, true, kbsStandard);
  // Rows 6, 9, ..., 24 of the band are grey, the rest colour 0.
  for (int y = 5; y <= 25; ++y)
    for (int x = 6; x < 114; ++x)
      ASSERT_EQ(Px(x, y), y % 3 == 0 ? RGBOf(kHighlightGrey) : Color(0)) << x << ", " << y;
  EXPECT_EQ(Px(60, 4), Color(7));
  EXPECT_EQ(Px(60, 26), Color(7));
  EXPECT_EQ(Px(60, 0), 0x003399u);  // the Highlight frame
  EXPECT_EQ(Px(60, 3), 0xD2D2D2u);
  // Fault: the stripes ran on below the band into the client area; they stop at its edge.
  for (int y = 27; y < 56; ++y)
    ASSERT_EQ(Px(60, y), RGBOf(kBack)) << y;
  Theme.DrawFormFrame(Dest, 120, 60, {4, 27, 116, 56}, false, kbsStandard);
  EXPECT_EQ(Px(60, 8), Color(1));
  EXPECT_EQ(Px(60, 9), RGBOf(kHighlightGrey));
  // The face colour is silver.
  Theme.FillBackground(Dest, {0, 0, 10, 10});
  EXPECT_EQ(Px(5, 5), 0xD2D2D2u);
}

TEST_F(TeThemeLinesTest, HotMenuBarItemIsStripedPressedIsPlainAmber) {
  TTeItemData item;
  const TRect rect{10, 10, 50, 32};  // the stripes run over (12, 12, 48, 30)
  Theme.DrawMenuBarItemData(Dest, item, rect, true, false);
  for (int y = 13; y < 29; ++y)
    ASSERT_EQ(Px(30, y), (y - 12) % 3 == 0 ? RGBOf(kHighlightGrey) : Color(15)) << y;
  EXPECT_EQ(Px(30, 12), Color(13));
  EXPECT_EQ(Px(11, 20), Color(14));
  for (int y = 32; y < 60; ++y)
    ASSERT_EQ(Px(30, y), RGBOf(kBack)) << y;
  Theme.DrawMenuBarItemData(Dest, item, rect, true, true);
  for (int y = 13; y < 29; ++y)
    ASSERT_EQ(Px(30, y), Color(12)) << y;
  // Not selected, or selected on a control bar (a flat tool button): no stripes.
  Theme.DrawMenuBarItemData(Dest, item, rect, false, false);
  EXPECT_EQ(Px(30, 15), Color(14));
  item.OnControlBar = true;
  Theme.DrawMenuBarItemData(Dest, item, rect, true, false);
  EXPECT_EQ(Px(30, 15), Color(11));
}

TEST_F(TeThemeLinesTest, SelectedPopupItemIsStripedUnderItsCaption) {
  TKsCustomItem item(nullptr);
  item.SetCaption("Open");
  const TRect rect{0, 10, 100, 32};
  Theme.DrawPopupItem(Dest, item, rect, true, false);  // through the item: still striped
  for (int y = 11; y < 31; ++y)
    ASSERT_EQ(Px(23, y), (y - 10) % 3 == 0 ? RGBOf(kHighlightGrey) : Color(17)) << y;
  EXPECT_EQ(Px(50, 10), Color(13));
  // Fault: the last stripes fell on the next item's rows; they stop at the item's edge.
  for (int y = 32; y < 60; ++y)
    ASSERT_EQ(Px(23, y), RGBOf(kBack)) << y;
  Theme.DrawPopupItem(Dest, item, rect, false, false);
  for (int y = 10; y < 32; ++y)
    ASSERT_EQ(Px(23, y), Color(16)) << y;
}

TEST_F(TeThemeLinesTest, ReBarGripIsLightBlue) {
  Theme.DrawReBar(Dest, {0, 0, 100, 30}, {2, 2, 14, 28});
  EXPECT_EQ(Px(50, 0), Color(7));
  EXPECT_EQ(Px(50, 1), KsColorLighten(Color(11), 50));
  EXPECT_EQ(Px(50, 15), Color(11));
  EXPECT_EQ(Px(8, 3), Color(7));  // the grip (5, 3, 11, 27)
  EXPECT_EQ(Px(8, 4), KsColorLighten(Color(8), 50));
  EXPECT_EQ(Px(8, 15), Color(8));
}
