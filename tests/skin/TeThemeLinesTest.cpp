// The Lines theme: its colour table, its striped caption band and menu items, its
// light blue rebar grip, and the parts it shares with the Highlight theme.
#include <gtest/gtest.h>

#include "skin/KsItems.h"
#include "skin/TeThemeLines.h"
#include "tests/skin/SkinTestSupport.h"

namespace {

// GDI leaves the alpha byte of what it draws at 0, the pixel operations store 255:
// pixels are compared by R, G and B.
constexpr TKsColor RGBOf(TKsColor c) { return c & 0xFFFFFF; }

void ExpectRgb(const TKsBitmap& bitmap, const std::function<TKsColor(int, int)>& expected) {
  ExpectPixels(bitmap, [&](int x, int y) {
    TKsColor want = RGBOf(expected(x, y));
    TKsColor got = bitmap.GetPixel(x, y);
    return RGBOf(got) == want ? got : want;
  });
}

TColor Adjusted(TColor color, int hue, int brightness) {
  TKsColor shifted = KsColorChangeHue(ColorToKsColor(color, 255), hue);
  return ColorToKsColorOpaque(
      KsColorChangeBrightness(ColorToKsColor(ColorToKsColorOpaque(shifted), 255), brightness));
}

class TeThemeLinesTest : public ::testing::Test {
 protected:
  TTeThemeLines Theme;
  TKsBitmap Dest;
  TKsColor Color(uint8_t kind) { return ColorToKsColor(Theme.GetColor(kind), 255); }
  void SetUp() override { Prepare(Dest, 120, 60, kBack); }
  TKsColor Px(int x, int y) { GdiFlush(); return RGBOf(Dest.GetPixel(x, y)); }
};

bool SameBitmaps(const TKsBitmap& a, const TKsBitmap& b) {
  GdiFlush();
  for (int y = 0; y < a.GetHeight(); ++y)
    for (int x = 0; x < a.GetWidth(); ++x)
      if (a.GetPixel(x, y) != b.GetPixel(x, y))
        return false;
  return true;
}

}  // namespace

TEST(TeThemeLines, ColourTableDiffersFromHighlightInFiveKinds) {
  TTeThemeLines lines;
  TTeThemeHighlight highlight;
  EXPECT_EQ(TTeThemeLines::ThemeName(), "Lines");
  EXPECT_EQ(lines.ThemeClass()->ThemeName(), "Lines");
  auto rgb = [](int r, int g, int b) { return TColor(RGB(r, g, b)); };
  const std::pair<int, TColor> own[] = {{0, rgb(100, 160, 255)}, {1, rgb(168, 168, 168)},
                                        {11, rgb(210, 210, 210)}, {14, rgb(235, 235, 238)},
                                        {16, rgb(235, 235, 238)}};
  for (auto [hue, brightness] : {std::pair{0, 0}, {25, -10}}) {
    lines.SetDeltaHue(hue);
    lines.SetDeltaBrightness(brightness);
    highlight.SetDeltaHue(hue);
    highlight.SetDeltaBrightness(brightness);
    for (auto [kind, color] : own)
      EXPECT_EQ(lines.GetColor(uint8_t(kind)), Adjusted(color, hue, brightness)) << kind;
    for (int kind = 0; kind < 40; ++kind) {
      if (kind == 0 || kind == 1 || kind == 11 || kind == 14 || kind == 16)
        continue;
      EXPECT_EQ(lines.GetColor(uint8_t(kind)), highlight.GetColor(uint8_t(kind))) << kind;
    }
  }
  // Metrics and fonts are the Highlight theme's.
  EXPECT_EQ(lines.GetSize(2), 23);
  EXPECT_EQ(lines.GetFontSize(0), 9);
}

TEST_F(TeThemeLinesTest, FillBackgroundPaintsSilver) {
  Theme.FillBackground(Dest, {0, 0, 10, 10});
  EXPECT_EQ(Px(5, 5), RGBOf(Argb(255, 210, 210, 210)));
}

TEST_F(TeThemeLinesTest, CaptionBandIsStripedFromTheFramesTopRow) {
  Theme.DrawFormFrame(Dest, 120, 60, {4, 27, 116, 56}, true, kbsStandard);
  GdiFlush();
  const TKsColor grey = kHighlightGrey;
  // Rows 6, 9, ..., 24 of the band are grey; the rest is colour 0.
  for (int y = 5; y <= 25; ++y)
    for (int x = 6; x < 114; ++x)
      ASSERT_EQ(Px(x, y), RGBOf(y % 3 == 0 ? grey : Color(0))) << x << ", " << y;
  EXPECT_EQ(Px(60, 4), RGBOf(Color(7)));
  EXPECT_EQ(Px(60, 26), RGBOf(Color(7)));
  // The frame is the Highlight theme's.
  EXPECT_EQ(Px(60, 0), RGBOf(Argb(255, 0, 51, 153)));
  EXPECT_EQ(Px(60, 1), RGBOf(Argb(255, 240, 240, 240)));
  EXPECT_EQ(Px(60, 3), RGBOf(Argb(255, 210, 210, 210)));
  // Fault: the stripes ran on below the band into the client area; they stop at its edge.
  for (int y = 27; y < 56; ++y)
    ASSERT_EQ(Px(60, y), RGBOf(kBack)) << y;
  // Inactive: the grey caption colour.
  Theme.DrawFormFrame(Dest, 120, 60, {4, 27, 116, 56}, false, kbsStandard);
  GdiFlush();
  EXPECT_EQ(Px(60, 8), RGBOf(Color(1)));
  EXPECT_EQ(Px(60, 9), RGBOf(grey));
}

TEST_F(TeThemeLinesTest, HotMenuBarItemIsStripedPressedIsPlainAmber) {
  TTeItemData item;
  const TRect rect{10, 10, 50, 32};  // the stripes run over (12, 12, 48, 30)
  Theme.DrawMenuBarItemData(Dest, item, rect, true, false);
  GdiFlush();
  for (int y = 13; y < 29; ++y)
    ASSERT_EQ(Px(30, y), RGBOf((y - 12) % 3 == 0 ? kHighlightGrey : Color(15))) << y;
  EXPECT_EQ(Px(30, 12), RGBOf(Color(13)));
  EXPECT_EQ(Px(11, 20), RGBOf(Color(14)));
  for (int y = 32; y < 60; ++y)
    ASSERT_EQ(Px(30, y), RGBOf(kBack)) << y;
  Theme.DrawMenuBarItemData(Dest, item, rect, true, true);
  GdiFlush();
  for (int y = 13; y < 29; ++y)
    ASSERT_EQ(Px(30, y), RGBOf(Color(12))) << y;
  // Not selected, or selected on a control bar (a flat tool button): no stripes.
  Theme.DrawMenuBarItemData(Dest, item, rect, false, false);
  GdiFlush();
  EXPECT_EQ(Px(30, 15), RGBOf(Color(14)));
  item.OnControlBar = true;
  Theme.DrawMenuBarItemData(Dest, item, rect, true, false);
  GdiFlush();
  EXPECT_EQ(Px(30, 15), RGBOf(Color(11)));
  EXPECT_EQ(Px(30, 18), RGBOf(Color(11)));
}

TEST_F(TeThemeLinesTest, SelectedPopupItemIsStripedUnderItsCaption) {
  TKsCustomItem item(nullptr);
  item.SetCaption("Open");
  const TRect rect{0, 10, 100, 32};
  Theme.DrawPopupItem(Dest, item, rect, true, false);  // through the item: still striped
  GdiFlush();
  for (int y = 11; y < 31; ++y)
    ASSERT_EQ(Px(23, y), RGBOf((y - 10) % 3 == 0 ? kHighlightGrey : Color(17))) << y;
  EXPECT_EQ(Px(50, 10), RGBOf(Color(13)));
  // Fault: the last stripes fell on the next item's rows; they stop at the item's edge.
  for (int y = 32; y < 60; ++y)
    ASSERT_EQ(Px(23, y), RGBOf(kBack)) << y;
  // Not selected: plain colour 16.
  Theme.DrawPopupItem(Dest, item, rect, false, false);
  GdiFlush();
  for (int y = 10; y < 32; ++y)
    ASSERT_EQ(Px(23, y), RGBOf(Color(16))) << y;
}

TEST_F(TeThemeLinesTest, ReBarGripIsLightBlue) {
  Theme.DrawReBar(Dest, {0, 0, 100, 30}, {2, 2, 14, 28});
  GdiFlush();
  EXPECT_EQ(Px(50, 15), RGBOf(Color(11)));
  EXPECT_EQ(Px(50, 1), RGBOf(KsColorLighten(Color(11), 50)));
  EXPECT_EQ(Px(8, 3), RGBOf(Color(7)));
  EXPECT_EQ(Px(8, 4), RGBOf(KsColorLighten(Color(8), 50)));
  EXPECT_EQ(Px(8, 15), RGBOf(Color(8)));
}

TEST_F(TeThemeLinesTest, SharedPartsAreTheHighlightThemesWithLinesColours) {
  // Parts that read none of the five changed colour kinds come out as the Highlight
  // theme draws them.
  TTeThemeHighlight highlight;
  TKsBitmap expected;
  Prepare(expected, 120, 60, kBack);
  Theme.DrawCheckBox(Dest, {2, 2, 15, 15}, 1, 2);
  highlight.DrawCheckBox(expected, {2, 2, 15, 15}, 1, 2);
  Theme.DrawButton(Dest, 40, 20, 3);
  highlight.DrawButton(expected, 40, 20, 3);
  Theme.DrawRadioButton(Dest, {50, 2, 63, 15}, 4, true);
  highlight.DrawRadioButton(expected, {50, 2, 63, 15}, 4, true);
  EXPECT_TRUE(SameBitmaps(Dest, expected));
  HRGN a = Theme.GetFormRegion(80, 40, kbsStandard);
  HRGN b = highlight.GetFormRegion(80, 40, kbsStandard);
  EXPECT_TRUE(EqualRgn(a, b));
  DeleteObject(a);
  DeleteObject(b);
}
