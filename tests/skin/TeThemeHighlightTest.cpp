// The Highlight theme: its place in the registry, its tables and colour adjustment, and
// the parts it draws, compared with pixels computed by rule (system glyphs are drawn
// with the same frame-control call into a reference bitmap).
#include <gtest/gtest.h>

#include "classlib/Filer.h"
#include "skin/KsItems.h"
#include "skin/TeThemeEngine.h"
#include "skin/TeThemeHighlight.h"
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

bool Inside(const TRect& r, int x, int y) {
  return x >= r.left && x < r.right && y >= r.top && y < r.bottom;
}

// The ring of a rectangle that Draw3DFrame paints: top row and left column (without the
// last pixel) in `topLeft`, bottom row and right column in `bottomRight`; 0 off the ring.
TKsColor FramePixel(const TRect& r, int x, int y, TKsColor topLeft, TKsColor bottomRight) {
  if (!Inside(r, x, y))
    return 0;
  if (y == r.bottom - 1 || (x == r.right - 1 && y <= r.bottom - 2))
    return bottomRight;
  if ((y == r.top && x <= r.right - 2) || (x == r.left && y <= r.bottom - 2))
    return topLeft;
  return 0;
}

// A bitmap in the background colour with the system's frame control drawn into `rect`.
void SystemGlyph(TKsBitmap& bitmap, int width, int height, const TRect& rect, UINT type,
                 UINT state) {
  Prepare(bitmap, width, height, kBack);
  RECT box = rect;
  DrawFrameControl(bitmap.GetDC(), &box, type, state);
  GdiFlush();
}

class TeThemeHighlightTest : public ::testing::Test {
 protected:
  TTeThemeHighlight Theme;
  TKsBitmap Dest;
  TKsColor Color(uint8_t kind) { return ColorToKsColor(Theme.GetColor(kind), 255); }
  void SetUp() override { Prepare(Dest, 120, 60, kBack); }
  TKsColor Px(int x, int y) { GdiFlush(); return RGBOf(Dest.GetPixel(x, y)); }
};

}  // namespace

TEST(TeThemeHighlight, RegisteredAfterLunaAndBeforeLines) {
  ASSERT_GE(ThemeClassCount(), 4);
  EXPECT_EQ(GetThemeClass(1)->ThemeName(), "Luna");
  EXPECT_EQ(GetThemeClass(2), &TTeThemeHighlight::MetaClass());
  EXPECT_EQ(GetThemeClass(3), &TTeThemeLines::MetaClass());
  EXPECT_EQ(FindThemeClass("Highlight"), &TTeThemeHighlight::MetaClass());
  EXPECT_EQ(FindThemeClass("Lines"), &TTeThemeLines::MetaClass());
}

TEST(TeThemeHighlight, SizeAndFontTables) {
  TTeThemeHighlight theme;
  EXPECT_EQ(TTeThemeHighlight::ThemeName(), "Highlight");
  EXPECT_TRUE(theme.IsAvailable());
  const int expected[] = {4,  4,  23, 18, 10, 18, 15, 10, 12, 6,  6,  1, 3,  3,  22,
                          17, 13, 13, 13, 13, 11, 22, 4,  22, 17, 17, 1, 21, 15, 11};
  for (int kind = 0; kind < 30; ++kind)
    EXPECT_EQ(theme.GetSize(uint8_t(kind)), expected[kind]) << "kind " << kind;
  EXPECT_EQ(theme.GetSize(30), 0);
  std::string name;
  theme.GetFontName(4, name);
  EXPECT_EQ(name, "Tahoma");
  theme.GetFontName(5, name);
  EXPECT_EQ(name, "Tahome");
  EXPECT_EQ(theme.GetFontSize(0), 9);
  EXPECT_EQ(theme.GetFontSize(3), 8);
  EXPECT_TRUE(theme.GetFontBold(1));
  EXPECT_FALSE(theme.GetFontBold(2));
}

TEST(TeThemeHighlight, ColoursStartFromTheTableAndFollowHueThenBrightness) {
  TTeThemeHighlight theme;
  auto rgb = [](int r, int g, int b) { return TColor(RGB(r, g, b)); };
  const std::pair<int, TColor> table[] = {
      {0, clActiveCaption},       {1, clInactiveCaption},     {2, rgb(0, 0, 0)},
      {6, rgb(235, 235, 238)},    {7, rgb(0, 51, 153)},       {8, rgb(100, 160, 255)},
      {10, rgb(197, 197, 177)},   {11, clBtnFace},            {12, rgb(248, 199, 81)},
      {14, clBtnFace},            {16, clBtnFace},            {22, rgb(128, 128, 128)},
      {25, rgb(49, 106, 197)},    {4, TColor(0xFFFF0000u)},   {26, TColor(0xFFFF0000u)}};
  for (auto [hue, brightness] : {std::pair{0, 0}, {40, 0}, {0, 25}, {-70, -20}}) {
    theme.SetDeltaHue(hue);
    theme.SetDeltaBrightness(brightness);
    for (auto [kind, color] : table)
      EXPECT_EQ(theme.GetColor(uint8_t(kind)), Adjusted(color, hue, brightness))
          << "kind " << kind << " hue " << hue << " brightness " << brightness;
  }
  // Brightness clamps per channel.
  theme.SetDeltaHue(0);
  theme.SetDeltaBrightness(255);
  EXPECT_EQ(theme.GetColor(2), TColor(RGB(255, 255, 255)));
}

TEST_F(TeThemeHighlightTest, FrameHasAGradientCaptionAndThreeRings) {
  const TRect client{4, 27, 116, 56};
  Theme.DrawFormFrame(Dest, 120, 60, client, true, kbsStandard);
  GdiFlush();
  // The caption gradient over rows 4 to 26, inside its outline.
  TKsBitmap gradient;
  Prepare(gradient, 120, 60, kBack);
  gradient.FillGradient({4, 4, 116, 27}, Color(0), false, Argb(255, 200, 200, 200));
  for (int y = 5; y < 26; ++y)
    for (int x = 6; x < 114; ++x)
      ASSERT_EQ(Px(x, y), RGBOf(gradient.GetPixel(x, y))) << x << ", " << y;
  EXPECT_EQ(Px(60, 4), RGBOf(Color(7)));
  EXPECT_EQ(Px(60, 26), RGBOf(Color(7)));
  EXPECT_EQ(Px(4, 15), RGBOf(Color(7)));
  // Dark blue outline, silver rings lightened and darkened by 30 and 15, then silver.
  const TKsColor blue = Argb(255, 0, 51, 153);
  const int y = 40;
  const TKsColor left[] = {blue, Argb(255, 240, 240, 240), Argb(255, 225, 225, 225),
                           Argb(255, 210, 210, 210)};
  const TKsColor right[] = {blue, Argb(255, 180, 180, 180), Argb(255, 195, 195, 195),
                            Argb(255, 210, 210, 210)};
  for (int i = 0; i < 4; ++i) {
    EXPECT_EQ(Px(i, y), RGBOf(left[i])) << i;
    EXPECT_EQ(Px(60, i), RGBOf(left[i])) << i;
    EXPECT_EQ(Px(119 - i, y), RGBOf(right[i])) << i;
    EXPECT_EQ(Px(60, 59 - i), RGBOf(right[i])) << i;
  }
  EXPECT_EQ(Px(60, 40), RGBOf(kBack));  // the client area is not painted

  // Inactive: the gradient starts from colour 1.
  Theme.DrawFormFrame(Dest, 120, 60, client, false, kbsToolWindow);
  GdiFlush();
  gradient.FillGradient({4, 4, 116, 27}, Color(1), false, Argb(255, 200, 200, 200));
  EXPECT_EQ(Px(10, 15), RGBOf(gradient.GetPixel(10, 15)));
}

TEST_F(TeThemeHighlightTest, RegionIsTheSameRoundedRectangleForEveryBorderStyle) {
  HRGN standard = Theme.GetFormRegion(120, 60, kbsStandard);
  HRGN tool = Theme.GetFormRegion(120, 60, kbsToolWindow);
  HRGN rounded = CreateRoundRectRgn(0, 0, 121, 61, 3, 3);
  EXPECT_TRUE(EqualRgn(standard, tool));
  EXPECT_TRUE(EqualRgn(standard, rounded));
  EXPECT_TRUE(PtInRegion(standard, 60, 30));
  DeleteObject(standard);
  DeleteObject(tool);
  DeleteObject(rounded);
}

TEST_F(TeThemeHighlightTest, CaptionButtonsKeepBlackAndTakeOneStateColour) {
  const TRect at{10, 5, 28, 20};
  struct Case {
    int kind;
    bool hot, pressed;
    UINT type, state;
    uint8_t color;
  };
  const Case cases[] = {
      {0, false, false, DFC_CAPTION, DFCS_CAPTIONCLOSE, 11},
      {3, true, false, DFC_CAPTION, DFCS_CAPTIONMAX, 12},
      {2, true, true, DFC_CAPTION, DFCS_CAPTIONMIN | DFCS_PUSHED, 8},  // pressed wins
      {4, false, false, DFC_CAPTION, DFCS_CAPTIONRESTORE, 11},
  };
  TKsBitmap reference;
  for (const Case& c : cases) {
    Prepare(Dest, 40, 30, kBack);
    Theme.DrawCaptionButton(Dest, at, c.kind, c.hot, c.pressed, true, kbsStandard);
    SystemGlyph(reference, 40, 30, at, c.type, c.state);
    const TKsColor fill = Color(c.color);
    const TKsColor light = KsColorLighten(fill, 35), dark = KsColorDarken(fill, 35);
    const TRect bevel{11, 6, 27, 19};
    int kept = 0;
    ExpectRgb(Dest, [&](int x, int y) -> TKsColor {
      if (!Inside(at, x, y))
        return kBack;
      if (!Inside(bevel, x, y))
        return Color(7);
      if (TKsColor ring = FramePixel(bevel, x, y, c.pressed ? dark : light, c.pressed ? light : dark))
        return ring;
      TKsColor glyph = reference.GetPixel(x, y);
      bool zero = KsRed(glyph) == 0 || KsGreen(glyph) == 0 || KsBlue(glyph) == 0;
      kept += zero;
      return zero ? glyph : fill;
    });
    EXPECT_GT(kept, 0) << "kind " << c.kind;  // the glyph survives
  }
}

TEST_F(TeThemeHighlightTest, OwnGlyphsOnCaptionButtons) {
  const TRect at{10, 5, 28, 20};
  auto innerColours = [&](TKsColor fill, TPoint black) {
    GdiFlush();
    EXPECT_EQ(Dest.GetPixel(black.x, black.y) & 0xFFFFFF, 0u);
    for (int y = 7; y < 18; ++y)
      for (int x = 12; x < 26; ++x) {
        TKsColor p = Px(x, y);
        EXPECT_TRUE(p == RGBOf(fill) || KsRed(p) == 0 || KsGreen(p) == 0 || KsBlue(p) == 0) << x << ", " << y;
      }
  };
  // Roll up, not pressed: the triangle (13, 14), (23, 14), (18, 9).
  Prepare(Dest, 40, 30, kBack);
  Theme.DrawCaptionButton(Dest, at, 5, false, false, true, kbsStandard);
  innerColours(Color(11), {18, 12});
  EXPECT_EQ(Px(18, 15), RGBOf(Color(11)));  // below the triangle
  // Roll down, hot: the triangle (13, 9), (23, 9), (18, 14) one pixel up and left.
  Prepare(Dest, 40, 30, kBack);
  Theme.DrawCaptionButton(Dest, at, 6, true, false, true, kbsStandard);
  innerColours(Color(12), {18, 10});
  // Tray, pressed: an ellipse in (16, 13, 24, 18).
  Prepare(Dest, 40, 30, kBack);
  Theme.DrawCaptionButton(Dest, at, 7, false, true, true, kbsStandard);
  innerColours(Color(8), {20, 15});
  // A kind without a glyph: only the state colour, frame and bevel.
  Prepare(Dest, 40, 30, kBack);
  Theme.DrawCaptionButton(Dest, at, 9, false, false, true, kbsStandard);
  GdiFlush();
  for (int y = 7; y < 18; ++y)
    for (int x = 12; x < 26; ++x)
      ASSERT_EQ(Px(x, y), RGBOf(Color(11))) << x << ", " << y;
}

TEST_F(TeThemeHighlightTest, PushButtonStates) {
  // Normal, hot, focused and default: bevel lines at 30 around a face with a 10 frame.
  const std::pair<int, uint8_t> states[] = {{0, 11}, {1, 12}, {4, 8}, {5, 8}};
  for (auto [state, kind] : states) {
    Prepare(Dest, 50, 30, kBack);
    Theme.DrawButton(Dest, 40, 20, state);
    GdiFlush();
    const TKsColor c = Color(kind);
    for (int y = 1; y <= 18; ++y)
      for (int x = 1; x <= 38; ++x) {
        TKsColor want;
        if (x == 38 && y == 18)
          want = Color(7);
        else if (y == 18 || x == 38)
          want = KsColorDarken(c, 30);
        else if (y == 1 || x == 1)
          want = KsColorLighten(c, 30);
        else if (TKsColor ring = FramePixel({2, 2, 38, 18}, x, y, KsColorLighten(c, 10),
                                            KsColorDarken(c, 10)))
          want = ring;
        else
          want = c;
        ASSERT_EQ(Px(x, y), RGBOf(want)) << "state " << state << " at " << x << ", " << y;
      }
    EXPECT_EQ(Px(20, 0), RGBOf(Color(7)));
    EXPECT_EQ(Px(39, 10), RGBOf(Color(7)));
    EXPECT_EQ(Px(45, 25), RGBOf(kBack));
  }
  // Pressed: a sunken ring around a plain face in colour 8.
  Prepare(Dest, 50, 30, kBack);
  Theme.DrawButton(Dest, 40, 20, 2);
  const TKsColor c = Color(8);
  ExpectRgb(Dest, [&](int x, int y) {
    if (!Inside({1, 1, 39, 19}, x, y))
      return Dest.GetPixel(x, y);  // the outline: checked above
    if (TKsColor ring = FramePixel({1, 1, 39, 19}, x, y, KsColorDarken(c, 30), KsColorLighten(c, 30)))
      return ring;
    return c;
  });
}

TEST_F(TeThemeHighlightTest, DisabledPushButtonIsOnlyAnOutline) {
  Prepare(Dest, 50, 30, kBack);
  Theme.DrawButton(Dest, 40, 20, 3);
  TKsBitmap reference;
  Prepare(reference, 50, 30, kBack);
  reference.RoundRect({0, 0, 40, 20}, 3, Color(9));
  ExpectRgb(Dest, [&](int x, int y) { return reference.GetPixel(x, y); });
  EXPECT_EQ(Px(20, 10), RGBOf(kBack));
}

TEST_F(TeThemeHighlightTest, CheckBoxes) {
  const TRect box{2, 3, 15, 16};
  auto expectBox = [&](TKsColor mark, TKsColor dark, TKsColor light,
                       const std::function<TKsColor(int, int)>& inner) {
    ExpectRgb(Dest, [&](int x, int y) -> TKsColor {
      if (!Inside(box, x, y))
        return kBack;
      if (!Inside({3, 4, 14, 15}, x, y))
        return mark;
      if (TKsColor ring = FramePixel({3, 4, 14, 15}, x, y, dark, light))
        return ring;
      return inner(x, y);
    });
  };
  // Grayed: a solid square in colour 7 three pixels inside the edge.
  Prepare(Dest, 20, 20, kBack);
  Theme.DrawCheckBox(Dest, box, 0, 2);
  TKsColor face = Color(6);
  expectBox(Color(7), KsColorDarken(face, 50), KsColorLighten(face, 50),
            [&](int x, int y) { return Inside({5, 6, 12, 13}, x, y) ? Color(7) : face; });
  // Hot and unchecked: the amber base.
  Prepare(Dest, 20, 20, kBack);
  Theme.DrawCheckBox(Dest, box, 1, 0);
  expectBox(Color(7), KsColorDarken(Color(12), 50), KsColorLighten(Color(12), 50),
            [&](int, int) { return face; });
  // Disabled and checked: colour 9 for frame and mark, the system check mark's black.
  TKsBitmap glyph;
  Prepare(glyph, 13, 13, KsColorWhite);
  RECT all{0, 0, 13, 13};
  DrawFrameControl(glyph.GetDC(), &all, DFC_BUTTON, DFCS_BUTTONCHECK | DFCS_CHECKED);
  GdiFlush();
  Prepare(Dest, 20, 20, kBack);
  Theme.DrawCheckBox(Dest, box, 3, 1);
  int marked = 0;
  expectBox(Color(9), face, face, [&](int x, int y) {
    int gx = x - box.left, gy = y - box.top;
    bool black = gx >= 2 && gx <= 10 && gy >= 2 && gy <= 10 && (glyph.GetPixel(gx, gy) & 0xFFFFFF) == 0;
    marked += black;
    return black ? Color(9) : face;
  });
  EXPECT_GT(marked, 0);
}

TEST_F(TeThemeHighlightTest, RadioButtons) {
  const TRect box{0, 0, 13, 13};
  auto draw = [&](int state, bool checked) {
    Prepare(Dest, 20, 20, kBack);
    Theme.DrawRadioButton(Dest, box, state, checked);
    GdiFlush();
  };
  draw(0, true);
  EXPECT_EQ(Px(6, 6), RGBOf(Color(7)));  // the dot
  EXPECT_EQ(Px(3, 6), RGBOf(Color(7)));
  EXPECT_EQ(Px(2, 6), RGBOf(Color(6)));
  EXPECT_EQ(Px(6, 1), RGBOf(KsColorDarken(Color(6), 30)));  // the ring
  EXPECT_EQ(Px(6, 0), RGBOf(Color(7)));                     // the outline
  draw(1, false);
  EXPECT_EQ(Px(6, 6), RGBOf(Color(6)));
  EXPECT_EQ(Px(6, 1), RGBOf(KsColorDarken(Color(12), 30)));
  draw(3, true);
  EXPECT_EQ(Px(6, 6), RGBOf(Color(9)));
  EXPECT_EQ(Px(6, 1), RGBOf(Color(6)));
  EXPECT_EQ(Px(6, 0), RGBOf(Color(9)));
  EXPECT_EQ(Px(15, 15), RGBOf(kBack));
}

TEST_F(TeThemeHighlightTest, GroupBoxBackgroundsAndFrameByState) {
  Theme.DrawGroupBox(Dest, {5, 5, 100, 50}, {20, 0, 60, 12}, "");
  GdiFlush();
  EXPECT_EQ(Px(8, 5), RGBOf(Color(7)));
  EXPECT_EQ(Px(40, 5), RGBOf(kBack));  // the caption gap
  EXPECT_EQ(Px(80, 5), RGBOf(Color(7)));
  EXPECT_EQ(Px(100, 20), RGBOf(Color(7)));
  EXPECT_EQ(Px(5, 5), RGBOf(kBack));  // cut corner
  Theme.FillBackground(Dest, {0, 52, 10, 60});
  EXPECT_EQ(Px(5, 55), RGBOf(Color(11)));
  Prepare(Dest, 20, 20, kBack);
  Theme.DrawFrameByState(Dest, {2, 2, 12, 12}, 4 | 2);
  const TKsColor face = Color(11);
  ExpectRgb(Dest, [&](int x, int y) -> TKsColor {
    if (!Inside({2, 2, 12, 12}, x, y))
      return kBack;
    TKsColor ring = FramePixel({2, 2, 12, 12}, x, y, KsColorLighten(face, 30), KsColorDarken(face, 30));
    return ring ? ring : face;
  });
  Theme.DrawFrameByState(Dest, {2, 2, 12, 12}, 2 | 1);
  EXPECT_EQ(Px(2, 2), RGBOf(Color(12)));
  Theme.DrawFrameByState(Dest, {2, 2, 12, 12}, 1);
  EXPECT_EQ(Px(2, 2), RGBOf(Color(8)));
  Theme.DrawFrameByState(Dest, {2, 2, 12, 12}, 0);
  EXPECT_EQ(Px(11, 11), RGBOf(Color(6)));
}

TEST_F(TeThemeHighlightTest, MenuBar) {
  Theme.DrawMenuBarBackground(Dest, 100, 24);
  ExpectRgb(Dest, [&](int x, int y) {
    if (x >= 100 || y >= 24)
      return kBack;
    return x == 0 || y == 0 || x == 99 || y == 23 ? Color(13) : Color(14);
  });
  TTeItemData item;  // no caption: only the fills
  const TRect rect{10, 30, 50, 52};
  auto check = [&](TKsColor ring, TKsColor inner) {
    GdiFlush();
    EXPECT_EQ(Px(10, 30), RGBOf(kBack));  // the outer ring is not painted
    EXPECT_EQ(Px(11, 40), RGBOf(ring));
    EXPECT_EQ(Px(30, 40), RGBOf(inner));
  };
  Theme.DrawMenuBarItemData(Dest, item, rect, false, false);
  check(Color(14), Color(14));
  Theme.DrawMenuBarItemData(Dest, item, rect, true, false);
  check(Color(14), Color(15));
  EXPECT_EQ(Px(30, 32), RGBOf(Color(13)));  // rounded outline of the selected item
  Theme.DrawMenuBarItemData(Dest, item, rect, true, true);
  check(Color(14), Color(12));
  // On a control bar: a flat tool button, hot when pressed.
  item.OnControlBar = true;
  Theme.DrawMenuBarItemData(Dest, item, rect, true, true);
  check(Color(11), Color(12));
  Theme.DrawMenuBarItemData(Dest, item, rect, true, false);
  check(Color(11), Color(11));
}

TEST_F(TeThemeHighlightTest, MenuBarButtons) {
  TTeItemData item;
  item.MDIButtonKind = 1;
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
  item.MDIButtonKind = 4;
  Theme.DrawMenuBarButtonData(Dest, item, rect, true, false);
  GdiFlush();
  EXPECT_EQ(Px(10, 1), RGBOf(kHighlightPaleGrey));
  EXPECT_EQ(Px(10, 5), RGBOf(kHighlightGrey));
  EXPECT_EQ(Px(10, 6), RGBOf(Color(17)));
  EXPECT_EQ(Px(10, 8), RGBOf(kHighlightGrey));
  EXPECT_EQ(Px(10, 2), RGBOf(Color(13)));
  // Fault: the stripes ran half a height below the button; they stop at its edge.
  for (int y = 20; y < 40; ++y)
    ASSERT_EQ(Px(10, y), RGBOf(kBack)) << y;
  Prepare(Dest, 120, 60, kBack);
  Theme.DrawMenuBarButtonData(Dest, item, rect, false, false);
  EXPECT_EQ(Px(10, 10), RGBOf(Color(16)));
  item.MDIButtonKind = 7;
  Prepare(Dest, 120, 60, kBack);
  Theme.DrawMenuBarButtonData(Dest, item, rect, true, true);
  ExpectRgb(Dest, [&](int x, int y) {
    return Inside({1, 1, 19, 19}, x, y) ? kHighlightPaleGrey : kBack;
  });
}

TEST_F(TeThemeHighlightTest, PopupFrameAndItems) {
  Theme.DrawPopupFrame(Dest, 100, 50);
  GdiFlush();
  EXPECT_EQ(Px(50, 0), RGBOf(Color(13)));
  EXPECT_EQ(Px(50, 1), RGBOf(Color(16)));
  EXPECT_EQ(Px(50, 2), RGBOf(Color(16)));
  EXPECT_EQ(Px(50, 3), RGBOf(kBack));

  TTeItemData item;
  item.Caption = "Open";
  item.HasSubItems = true;
  int w = 0, h = 0;
  Theme.MeasurePopupItemData(Dest, item, w, h);
  EXPECT_EQ(h, 22);
  EXPECT_EQ(w, Dest.TextWidth("Open", 0) + 42 + 16);
  Theme.MeasureMenuBarItemData(Dest, item, w, h);
  EXPECT_EQ(w, Dest.TextWidth("Open", 0) + 12);
  EXPECT_EQ(h, 22);

  // Selected: colour 17 with a rounded outline in colour 13; the sub-menu mark is a
  // 5 x 5 rounded square in the font colour centred in (right - 18, right - 2).
  Prepare(Dest, 120, 60, kBack);
  const TRect rect{0, 0, 100, 22};
  Theme.DrawPopupItemData(Dest, item, rect, true, false);
  GdiFlush();
  EXPECT_EQ(Px(50, 0), RGBOf(Color(13)));
  EXPECT_EQ(Px(0, 11), RGBOf(Color(13)));
  EXPECT_EQ(Px(20, 5), RGBOf(Color(17)));
  int markInk = 0, marks = 0;
  for (int y = 0; y < 22; ++y)
    for (int x = 82; x < 98; ++x) {
      TKsColor p = Px(x, y);
      if (p == RGBOf(Color(17)) || (y == 0 || y == 21))
        continue;
      ++marks;
      markInk += p == RGBOf(Color(21));
      EXPECT_TRUE(Inside({87, 8, 92, 13}, x, y)) << x << ", " << y;
    }
  EXPECT_GT(marks, 0);
  EXPECT_GT(markInk, 0);
  EXPECT_EQ(Px(89, 10), RGBOf(Color(21)));
  EXPECT_EQ(Px(89, 8), RGBOf(Color(13)));

  // A separator as in the Luna theme.
  Prepare(Dest, 120, 60, kBack);
  item.Caption = "-";
  Theme.MeasurePopupItemData(Dest, item, w, h);
  EXPECT_EQ(h, 9);
  Theme.DrawPopupItemData(Dest, item, {0, 0, 100, 9}, true, false);
  ExpectRgb(Dest, [&](int x, int y) {
    if (x >= 100 || y >= 9)
      return kBack;
    return y == 4 && x >= 2 && x < 98 ? ColorToKsColor(clBtnShadow, 255) : Color(16);
  });
}

TEST_F(TeThemeHighlightTest, ItemOperationsDrawTheItemsValues) {
  TKsCustomItem item(nullptr);
  item.SetCaption("Save");
  item.SetShortCut(scCtrl | 'S');
  item.SetChecked(true);
  TKsBitmap expected;
  const TRect rect{2, 2, 110, 24};
  for (bool selected : {false, true}) {
    Prepare(Dest, 120, 60, kBack);
    Prepare(expected, 120, 60, kBack);
    Theme.DrawPopupItem(Dest, item, rect, selected, false);
    Theme.DrawPopupItemData(expected, ThemeItemData(item), rect, selected, false);
    GdiFlush();
    ExpectRgb(Dest, [&](int x, int y) { return expected.GetPixel(x, y); });
    Prepare(Dest, 120, 60, kBack);
    Prepare(expected, 120, 60, kBack);
    Theme.DrawMenuBarItem(Dest, item, rect, selected, false);
    Theme.DrawMenuBarItemData(expected, ThemeItemData(item), rect, selected, false);
    GdiFlush();
    ExpectRgb(Dest, [&](int x, int y) { return expected.GetPixel(x, y); });
  }
}

TEST_F(TeThemeHighlightTest, FurtherPartsUseTheStateColours) {
  // A scroll-bar arrow: every non-black pixel takes the state colour, black becomes colour 7.
  const TRect at{4, 4, 21, 21};
  Theme.DrawScrollBarArrowButton(Dest, at, true, true, 1);
  TKsBitmap reference;
  SystemGlyph(reference, 120, 60, at, DFC_SCROLL, DFCS_SCROLLUP);
  GdiFlush();
  int arrow = 0;
  for (int y = 6; y < 19; ++y)
    for (int x = 6; x < 19; ++x) {
      bool black = (reference.GetPixel(x, y) & 0xFFFFFF) == 0;
      arrow += black;
      ASSERT_EQ(Px(x, y), RGBOf(black ? Color(7) : Color(12))) << x << ", " << y;
    }
  EXPECT_GT(arrow, 0);
  EXPECT_EQ(Px(5, 12), RGBOf(KsColorLighten(Color(12), 30)));
  EXPECT_EQ(Px(19, 12), RGBOf(KsColorDarken(Color(12), 30)));

  // Tool buttons: nothing for disabled or a plain flat one; a hot flat one is amber.
  Prepare(Dest, 120, 60, kBack);
  Theme.DrawToolButton(Dest, at, 3, false, false);
  Theme.DrawToolButton(Dest, at, 0, true, false);
  Theme.DrawToolButton(Dest, at, 1, false, true);
  ExpectRgb(Dest, [](int, int) { return kBack; });
  Theme.DrawToolButton(Dest, at, 1, true, false);
  GdiFlush();
  EXPECT_EQ(Px(12, 12), RGBOf(Color(12)));
  EXPECT_EQ(Px(12, 4), RGBOf(Color(7)));
  EXPECT_EQ(Px(12, 5), RGBOf(KsColorLighten(Color(12), 30)));

  // The band of a control bar and its grip, both in colour 11.
  Prepare(Dest, 120, 60, kBack);
  Theme.DrawReBar(Dest, {0, 0, 100, 30}, {2, 2, 14, 28});
  GdiFlush();
  EXPECT_EQ(Px(50, 0), RGBOf(Color(7)));
  EXPECT_EQ(Px(50, 1), RGBOf(KsColorLighten(Color(11), 50)));
  EXPECT_EQ(Px(50, 15), RGBOf(Color(11)));
  EXPECT_EQ(Px(8, 3), RGBOf(Color(7)));
  EXPECT_EQ(Px(8, 4), RGBOf(KsColorLighten(Color(11), 50)));
  EXPECT_EQ(Px(8, 15), RGBOf(Color(11)));
}

TEST(TeThemeHighlight, EngineSwitchesToEachVectorThemeByClassAndName) {
  TTeThemeEngine engine(nullptr);
  engine.SetDeltaHue(30);
  engine.SelectThemeClass(&TTeThemeHighlight::MetaClass());
  ASSERT_EQ(engine.GetTheme()->ClassType(), TTeThemeHighlight::StaticClass());
  EXPECT_EQ(engine.GetTheme()->GetDeltaHue(), 30);
  EXPECT_EQ(engine.GetTheme()->GetColor(12), Adjusted(RGB(248, 199, 81), 30, 0));
  engine.SelectThemeClass(&TTeThemeLines::MetaClass());
  ASSERT_EQ(engine.GetTheme()->ClassType(), TTeThemeLines::StaticClass());
  EXPECT_EQ(engine.GetTheme()->GetColor(0), Adjusted(RGB(100, 160, 255), 30, 0));
  // The theme is stored and found again by its name.
  TFilerData data;
  TWriter(data).WriteProperties(&engine);
  ASSERT_EQ(data.size(), 1u);
  EXPECT_EQ(std::get<std::string>(data[0].Values[0]), std::string("\x05\0\0\0Lines", 9));
  TTeThemeEngine target(nullptr);
  TReader(data).ReadProperties(&target);
  EXPECT_EQ(target.GetTheme()->ClassType(), TTeThemeLines::StaticClass());
  data[0].Values[0] = std::string("\x09\0\0\0Highlight", 13);
  TReader(data).ReadProperties(&target);
  EXPECT_EQ(target.GetTheme()->ClassType(), TTeThemeHighlight::StaticClass());
}
