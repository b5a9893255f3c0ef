// The Highlight theme: its place in the registry, its tables and colour adjustment, and
// the parts it draws, compared with pixels computed by rule (system glyphs are drawn
// with the same frame-control call into a reference bitmap).
#include <gtest/gtest.h>

#include "classlib/Filer.h"
#include "skin/TeThemeEngine.h"
#include "skin/TeThemeLines.h"
#include "tests/skin/VectorThemeTestSupport.h"

namespace {

using TeThemeHighlightTest = TVectorThemeTest<TTeThemeHighlight>;

TColor Rgb(int r, int g, int b) { return TColor(RGB(r, g, b)); }

}  // namespace

TEST(TeThemeHighlight, RegisteredAfterLunaAndBeforeLines) {
  ASSERT_GE(ThemeClassCount(), 4);
  EXPECT_EQ(GetThemeClass(1)->ThemeName(), "Luna");
  EXPECT_EQ(GetThemeClass(2), &TTeThemeHighlight::MetaClass());
  EXPECT_EQ(GetThemeClass(3), &TTeThemeLines::MetaClass());
  EXPECT_EQ(FindThemeClass("Highlight"), &TTeThemeHighlight::MetaClass());
}

TEST(TeThemeHighlight, TablesAndColourAdjustment) {
  TTeThemeHighlight theme;
  const int sizes[] = {4,  4,  23, 18, 10, 18, 15, 10, 12, 6,  6,  1, 3,  3,  22,
                       17, 13, 13, 13, 13, 11, 22, 4,  22, 17, 17, 1, 21, 15, 11, 0};
  for (int kind = 0; kind <= 30; ++kind)
    EXPECT_EQ(theme.GetSize(uint8_t(kind)), sizes[kind]) << "kind " << kind;
  std::string name;
  theme.GetFontName(4, name);
  EXPECT_EQ(name, "Tahoma");
  theme.GetFontName(5, name);
  EXPECT_EQ(name, "Tahome");
  EXPECT_EQ(theme.GetFontSize(0), 9);
  EXPECT_EQ(theme.GetFontSize(3), 8);
  EXPECT_TRUE(theme.GetFontBold(1));
  EXPECT_FALSE(theme.GetFontBold(2));
  // Caption and face kinds start from system colours, kinds without an entry from the
  // default colour.
  const std::pair<int, TColor> table[] = {
      {0, clActiveCaption}, {1, clInactiveCaption},   {2, Rgb(0, 0, 0)},     {6, Rgb(235, 235, 238)},
      {7, Rgb(0, 51, 153)}, {8, Rgb(100, 160, 255)},  {11, clBtnFace},       {12, Rgb(248, 199, 81)},
      {16, clBtnFace},      {25, Rgb(49, 106, 197)},  {4, TColor(0xFFFF0000u)}, {26, TColor(0xFFFF0000u)}};
  for (auto [hue, brightness] : {std::pair{0, 0}, {40, 0}, {-70, -20}}) {
    theme.SetDeltaHue(hue);
    theme.SetDeltaBrightness(brightness);
    for (auto [kind, color] : table)
      EXPECT_EQ(theme.GetColor(uint8_t(kind)), Adjusted(color, hue, brightness))
          << "kind " << kind << " hue " << hue << " brightness " << brightness;
  }
}

TEST_F(TeThemeHighlightTest, FrameHasAGradientCaptionAndThreeRings) {
  Theme.DrawFormFrame(Dest, 120, 60, {4, 27, 116, 56}, true, kbsStandard);
  // The caption gradient over rows 4 to 26, inside its outline in colour 7.
  TKsBitmap gradient;
  Prepare(gradient, 120, 60, kBack);
  gradient.FillGradient({4, 4, 116, 27}, Color(0), false, Argb(255, 200, 200, 200));
  for (int y = 5; y < 26; ++y)
    for (int x = 6; x < 114; ++x)
      ASSERT_EQ(Px(x, y), RGBOf(gradient.GetPixel(x, y))) << x << ", " << y;
  EXPECT_EQ(Px(60, 4), Color(7));
  EXPECT_EQ(Px(60, 26), Color(7));
  // Dark blue outline, silver rings lightened (darkened) by 30 and 15, then silver.
  const TKsColor left[] = {0x003399, 0xF0F0F0, 0xE1E1E1, 0xD2D2D2};
  const TKsColor right[] = {0x003399, 0xB4B4B4, 0xC3C3C3, 0xD2D2D2};
  for (int i = 0; i < 4; ++i) {
    EXPECT_EQ(Px(i, 40), left[i]) << i;
    EXPECT_EQ(Px(60, i), left[i]) << i;
    EXPECT_EQ(Px(119 - i, 40), right[i]) << i;
    EXPECT_EQ(Px(60, 59 - i), right[i]) << i;
  }
  EXPECT_EQ(Px(60, 40), RGBOf(kBack));  // the client area is left alone
  // Inactive: the gradient starts from colour 1.
  Theme.DrawFormFrame(Dest, 120, 60, {4, 27, 116, 56}, false, kbsToolWindow);
  gradient.FillGradient({4, 4, 116, 27}, Color(1), false, Argb(255, 200, 200, 200));
  EXPECT_EQ(Px(10, 15), RGBOf(gradient.GetPixel(10, 15)));
  // The region is one rounded rectangle for every border style.
  HRGN standard = Theme.GetFormRegion(120, 60, kbsStandard);
  HRGN tool = Theme.GetFormRegion(120, 60, kbsToolWindow);
  HRGN rounded = CreateRoundRectRgn(0, 0, 121, 61, 3, 3);
  EXPECT_TRUE(EqualRgn(standard, tool));
  EXPECT_TRUE(EqualRgn(standard, rounded));
  for (HRGN region : {standard, tool, rounded})
    DeleteObject(region);
}

TEST_F(TeThemeHighlightTest, CaptionButtonsKeepBlackAndTakeOneStateColour) {
  const TRect at{10, 5, 28, 20}, bevel{11, 6, 27, 19};
  struct Case {
    int kind;
    bool hot, pressed;
    UINT state;
    uint8_t color;
  };
  const Case cases[] = {{0, false, false, DFCS_CAPTIONCLOSE, 11},
                        {3, true, false, DFCS_CAPTIONMAX, 12},
                        {2, true, true, DFCS_CAPTIONMIN | DFCS_PUSHED, 8}};  // pressed wins
  TKsBitmap glyph;
  for (const Case& c : cases) {
    Prepare(Dest, 40, 30, kBack);
    Theme.DrawCaptionButton(Dest, at, c.kind, c.hot, c.pressed, true, kbsStandard);
    Prepare(glyph, 40, 30, kBack);
    RECT box = at;
    DrawFrameControl(glyph.GetDC(), &box, DFC_CAPTION, c.state);
    GdiFlush();
    const TKsColor fill = Color(c.color);
    const TKsColor light = KsColorLighten(fill, 35), dark = KsColorDarken(fill, 35);
    int kept = 0;
    ExpectRgb(Dest, [&](int x, int y) -> TKsColor {
      if (!Inside(at, x, y))
        return kBack;
      if (!Inside(bevel, x, y))
        return Color(7);
      if (TKsColor ring = FramePixel(bevel, x, y, c.pressed ? dark : light, c.pressed ? light : dark))
        return ring;
      TKsColor g = glyph.GetPixel(x, y);
      bool zero = KsRed(g) == 0 || KsGreen(g) == 0 || KsBlue(g) == 0;
      kept += zero;
      return zero ? g : fill;
    });
    EXPECT_GT(kept, 0) << "kind " << c.kind;  // the glyph survives
  }
  // Tray, pressed: a black ellipse in (16, 13, 24, 18) on the recoloured push button.
  Theme.DrawCaptionButton(Dest, at, 7, false, true, true, kbsStandard);
  EXPECT_EQ(Px(20, 15), 0u);
  EXPECT_EQ(Px(13, 9), Color(8));
  // Roll up, not pressed: the triangle (13, 14), (23, 14), (18, 9).
  Theme.DrawCaptionButton(Dest, at, 5, false, false, true, kbsStandard);
  EXPECT_EQ(Px(18, 12), 0u);
  EXPECT_EQ(Px(18, 16), Color(11));
}

TEST_F(TeThemeHighlightTest, PushButtonStates) {
  // Normal, hot, focused: bevel lines at 30 around a face framed at 10.
  for (auto [state, kind] : {std::pair{0, 11}, {1, 12}, {4, 8}}) {
    Prepare(Dest, 50, 30, kBack);
    Theme.DrawButton(Dest, 40, 20, state);
    const TKsColor c = Color(uint8_t(kind));
    ExpectRgb(Dest, [&](int x, int y) -> TKsColor {
      if (!Inside({1, 1, 39, 19}, x, y))
        return Inside({0, 0, 40, 20}, x, y) ? Dest.GetPixel(x, y) : kBack;  // outline: below
      if (x == 38 && y == 18)
        return Color(7);
      if (y == 18 || x == 38)
        return KsColorDarken(c, 30);
      if (y == 1 || x == 1)
        return KsColorLighten(c, 30);
      TKsColor ring = FramePixel({2, 2, 38, 18}, x, y, KsColorLighten(c, 10), KsColorDarken(c, 10));
      return ring ? ring : c;
    });
    EXPECT_EQ(Px(20, 0), Color(7));
    EXPECT_EQ(Px(39, 10), Color(7));
  }
  // Pressed: a sunken ring around a plain face in colour 8.
  Theme.DrawButton(Dest, 40, 20, 2);
  const TKsColor c = Color(8);
  for (int y = 1; y < 19; ++y)
    for (int x = 1; x < 39; ++x) {
      TKsColor ring = FramePixel({1, 1, 39, 19}, x, y, KsColorDarken(c, 30), KsColorLighten(c, 30));
      ASSERT_EQ(Px(x, y), ring ? ring : c) << x << ", " << y;
    }
  // Disabled: only an outline in colour 9; the inside keeps what was there.
  Prepare(Dest, 50, 30, kBack);
  Theme.DrawButton(Dest, 40, 20, 3);
  TKsBitmap reference;
  Prepare(reference, 50, 30, kBack);
  reference.RoundRect({0, 0, 40, 20}, 3, Color(9));
  ExpectRgb(Dest, [&](int x, int y) { return reference.GetPixel(x, y); });
  EXPECT_EQ(Px(20, 10), RGBOf(kBack));
}

TEST_F(TeThemeHighlightTest, CheckBoxesAndRadioButtons) {
  const TRect box{2, 3, 15, 16};
  auto expectBox = [&](TKsColor mark, TKsColor dark, TKsColor light,
                       const std::function<TKsColor(int, int)>& inner) {
    ExpectRgb(Dest, [&](int x, int y) -> TKsColor {
      if (!Inside(box, x, y))
        return kBack;
      if (!Inside({3, 4, 14, 15}, x, y))
        return mark;
      TKsColor ring = FramePixel({3, 4, 14, 15}, x, y, dark, light);
      return ring ? ring : inner(x, y);
    });
  };
  // Grayed: a solid square in colour 7 three pixels inside the edge.
  Prepare(Dest, 20, 20, kBack);
  Theme.DrawCheckBox(Dest, box, 0, 2);
  const TKsColor face = Color(6);
  expectBox(Color(7), KsColorDarken(face, 50), KsColorLighten(face, 50),
            [&](int x, int y) { return Inside({5, 6, 12, 13}, x, y) ? Color(7) : face; });
  // Disabled and checked: colour 9 for frame and mark, where the system's check mark
  // (13 x 13, on white) is black.
  TKsBitmap glyph;
  Prepare(glyph, 13, 13, KsColorWhite);
  RECT all{0, 0, 13, 13};
  DrawFrameControl(glyph.GetDC(), &all, DFC_BUTTON, DFCS_BUTTONCHECK | DFCS_CHECKED);
  GdiFlush();
  Prepare(Dest, 20, 20, kBack);
  Theme.DrawCheckBox(Dest, box, 3, 1);
  int marked = 0;
  expectBox(Color(9), face, face, [&](int x, int y) {
    bool black = RGBOf(glyph.GetPixel(x - box.left, y - box.top)) == 0;
    marked += black;
    return black ? Color(9) : face;
  });
  EXPECT_GT(marked, 0);
  // Radio buttons: outline M, ring darkened by 30 from the state's base, face, dot M.
  Prepare(Dest, 20, 20, kBack);
  Theme.DrawRadioButton(Dest, {0, 0, 13, 13}, 0, true);
  EXPECT_EQ(Px(6, 0), Color(7));
  EXPECT_EQ(Px(6, 1), KsColorDarken(Color(6), 30));
  EXPECT_EQ(Px(2, 6), Color(6));
  EXPECT_EQ(Px(3, 6), Color(7));
  EXPECT_EQ(Px(6, 6), Color(7));
  Theme.DrawRadioButton(Dest, {0, 0, 13, 13}, 1, false);
  EXPECT_EQ(Px(6, 1), KsColorDarken(Color(12), 30));
  EXPECT_EQ(Px(6, 6), Color(6));
  Theme.DrawRadioButton(Dest, {0, 0, 13, 13}, 3, true);
  EXPECT_EQ(Px(6, 0), Color(9));
  EXPECT_EQ(Px(6, 1), Color(6));
  EXPECT_EQ(Px(6, 6), Color(9));
}

TEST_F(TeThemeHighlightTest, MenuBarAndItsItems) {
  Theme.DrawMenuBarBackground(Dest, 100, 24);
  ExpectRgb(Dest, [&](int x, int y) {
    if (x >= 100 || y >= 24)
      return RGBOf(kBack);
    return x == 0 || y == 0 || x == 99 || y == 23 ? Color(13) : Color(14);
  });
  TTeItemData item;
  item.Caption = "Open";
  int w = 0, h = 0;
  Theme.MeasureMenuBarItemData(Dest, item, w, h);
  EXPECT_EQ(w, Dest.TextWidth("Open", 0) + 12);
  EXPECT_EQ(h, 22);
  item.Caption.clear();  // only the fills
  const TRect rect{10, 30, 50, 52};
  struct Case {
    bool onBar, selected, pressed;
    uint8_t ring, inner;
  };
  // On a control bar a selected item is a flat tool button: hot when pressed.
  const Case cases[] = {{false, false, false, 14, 14}, {false, true, false, 14, 15},
                        {false, true, true, 14, 12},   {true, true, true, 11, 12},
                        {true, true, false, 11, 11}};
  for (const Case& c : cases) {
    item.OnControlBar = c.onBar;
    Theme.DrawMenuBarItemData(Dest, item, rect, c.selected, c.pressed);
    EXPECT_EQ(Px(10, 30), RGBOf(kBack));  // the outer ring is not painted
    EXPECT_EQ(Px(11, 40), Color(c.ring));
    EXPECT_EQ(Px(30, 40), Color(c.inner));
  }
}

TEST_F(TeThemeHighlightTest, MenuBarButtons) {
  TTeItemData item;
  item.MDIButtonKind = mbkClose;  // selected and not pressed: pushed
  const TRect rect{0, 0, 20, 20};
  Theme.DrawMenuBarButtonData(Dest, item, rect, true, false);
  TKsBitmap reference;
  Prepare(reference, 120, 60, kBack);
  reference.FillRect({1, 1, 19, 19}, kHighlightPaleGrey);
  RECT box{3, 3, 18, 16};
  DrawFrameControl(reference.GetDC(), &box, DFC_CAPTION,
                   DFCS_CAPTIONCLOSE | DFCS_ADJUSTRECT | DFCS_PUSHED);
  GdiFlush();
  reference.FrameRect(box, kHighlightDarkBlue);
  ExpectRgb(Dest, [&](int x, int y) { return reference.GetPixel(x, y); });
  // The child's icon, selected: colour 17 with grey lines every 3 rows, then an outline.
  Prepare(Dest, 120, 60, kBack);
  item.MDIButtonKind = mbkChildIcon;
  Theme.DrawMenuBarButtonData(Dest, item, rect, true, false);
  EXPECT_EQ(Px(10, 1), RGBOf(kHighlightPaleGrey));
  EXPECT_EQ(Px(10, 2), Color(13));
  EXPECT_EQ(Px(10, 5), RGBOf(kHighlightGrey));
  EXPECT_EQ(Px(10, 6), Color(17));
  EXPECT_EQ(Px(10, 14), RGBOf(kHighlightGrey));
  // Fault: the stripes ran half a height below the button; they stop at its edge.
  for (int y = 20; y < 40; ++y)
    ASSERT_EQ(Px(10, y), RGBOf(kBack)) << y;
  // Other kinds: the background only.
  Prepare(Dest, 120, 60, kBack);
  item.MDIButtonKind = TKsMDIButtonKind(7);
  Theme.DrawMenuBarButtonData(Dest, item, rect, true, true);
  ExpectRgb(Dest, [&](int x, int y) {
    return Inside({1, 1, 19, 19}, x, y) ? kHighlightPaleGrey : kBack;
  });
}

TEST_F(TeThemeHighlightTest, PopupFrameAndItems) {
  Theme.DrawPopupFrame(Dest, 100, 50);
  EXPECT_EQ(Px(50, 0), Color(13));
  EXPECT_EQ(Px(50, 1), Color(16));
  EXPECT_EQ(Px(50, 2), Color(16));
  EXPECT_EQ(Px(50, 3), RGBOf(kBack));
  // Selected with sub-items: colour 17, a rounded outline in colour 13, and a 5 x 5
  // rounded square in the font colour centred in (right - 18, right - 2).
  TTeItemData item;
  item.Caption = "Open";
  item.HasSubItems = true;
  Theme.DrawPopupItemData(Dest, item, {0, 0, 100, 22}, true, false);
  EXPECT_EQ(Px(50, 0), Color(13));
  EXPECT_EQ(Px(0, 11), Color(13));
  EXPECT_EQ(Px(20, 5), Color(17));
  for (int y = 1; y < 21; ++y) {
    for (int x = 82; x < 98; ++x) {
      if (!Inside({87, 8, 92, 13}, x, y)) {
        ASSERT_EQ(Px(x, y), Color(17)) << x << ", " << y;
      }
    }
  }
  EXPECT_EQ(Px(89, 10), Color(21));
  EXPECT_EQ(Px(89, 8), Color(13));
}

TEST_F(TeThemeHighlightTest, GroupBoxOutlineHasCutCornersAndACaptionGap) {
  Theme.DrawGroupBox(Dest, {5, 5, 100, 50}, {20, 0, 60, 12}, "");
  for (auto [x, y] : {std::pair{8, 5}, {80, 5}, {100, 20}, {50, 50}, {5, 30}, {99, 6}})
    EXPECT_EQ(Px(x, y), Color(7)) << x << ", " << y;
  for (auto [x, y] : {std::pair{40, 5}, {5, 5}, {100, 50}})
    EXPECT_EQ(Px(x, y), RGBOf(kBack)) << x << ", " << y;
}

TEST(TeThemeHighlight, EngineSwitchesToEachVectorThemeByClassAndName) {
  TTeThemeEngine engine(nullptr);
  engine.SetDeltaHue(30);
  engine.SelectThemeClass(&TTeThemeHighlight::MetaClass());
  ASSERT_EQ(engine.GetTheme()->ClassType(), TTeThemeHighlight::StaticClass());
  EXPECT_EQ(engine.GetTheme()->GetColor(12), Adjusted(Rgb(248, 199, 81), 30, 0));
  engine.SelectThemeClass(&TTeThemeLines::MetaClass());
  ASSERT_EQ(engine.GetTheme()->ClassType(), TTeThemeLines::StaticClass());
  EXPECT_EQ(engine.GetTheme()->GetColor(0), Adjusted(Rgb(100, 160, 255), 30, 0));
  // Stored and found again by name.
  TFilerData data;
  TWriter(data).WriteProperties(&engine);
  ASSERT_EQ(data.size(), 1u);
  EXPECT_EQ(std::get<std::string>(data[0].Values[0]), std::string("\x05\0\0\0Lines", 9));
  TTeThemeEngine target(nullptr);
  TReader(data).ReadProperties(&target);
  EXPECT_EQ(target.GetTheme()->ClassType(), TTeThemeLines::StaticClass());
}
