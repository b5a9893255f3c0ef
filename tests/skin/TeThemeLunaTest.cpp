// The Luna theme: its tables, colour adjustment, the sheets it loads and the parts it
// draws from them, compared pixel by pixel with the sheet cells they come from.
#include <memory>

#include <gtest/gtest.h>

#include "classlib/ImageList.h"
#include "skin/KsItems.h"
#include "skin/TeThemeLuna.h"
#include "tests/skin/SkinTestSupport.h"

namespace {

class TeThemeLunaTest : public ::testing::Test {
 protected:
  TTeThemeLuna Theme;
  TKsBitmap Dest;
  TKsBitmap& Sheet1() { return *Theme.GetSheet1(); }
  TKsBitmap& Sheet2() { return *Theme.GetSheet2(); }
  void SetUp() override { Prepare(Dest, 200, 100, kBack); }
};

// The colour the adjustment rule gives for a table colour and the theme's deltas.
TColor Adjusted(TColor color, int hue, int brightness) {
  TKsColor shifted = KsColorChangeHue(ColorToKsColor(color, 255), hue);
  return ColorToKsColorOpaque(
      KsColorChangeBrightness(ColorToKsColor(ColorToKsColorOpaque(shifted), 255), brightness));
}

// A source pixel composed over the background the way a copy with alpha does.
TKsColor Over(TKsColor src, TKsColor back) { return KsAlpha(src) == 0 ? back : src; }

}  // namespace

TEST(TeThemeLuna, SizeColourAndFontTables) {
  TTeThemeLuna theme;
  EXPECT_EQ(TTeThemeLuna::ThemeName(), "Luna");
  EXPECT_TRUE(theme.IsAvailable());
  const int expected[] = {3, 2, 29, 19, 10, 21, 21, 14, 14, 4, 4, 3, 3, 3, 22,
                          17, 16, 16, 16, 16, 11, 22, 4, 22, 17, 17, 2, 21, 15, 11};
  for (int kind = 0; kind < 30; ++kind)
    EXPECT_EQ(theme.GetSize(uint8_t(kind)), expected[kind]) << "kind " << kind;
  EXPECT_EQ(theme.GetSize(30), 0);
  EXPECT_EQ(theme.GetSize(255), 0);
  std::string name;
  theme.GetFontName(4, name);
  EXPECT_EQ(name, "Tahoma");
  theme.GetFontName(5, name);
  EXPECT_EQ(name, "Tahome");
  EXPECT_EQ(theme.GetFontSize(0), 10);
  EXPECT_EQ(theme.GetFontSize(1), 8);
  EXPECT_TRUE(theme.GetFontBold(0));
  EXPECT_TRUE(theme.GetFontBold(1));
  EXPECT_FALSE(theme.GetFontBold(2));
  // Colours at delta 0 still pass the hue round trip: (49, 106, 197) comes back as
  // (49, 105, 197).
  EXPECT_EQ(theme.GetColor(7), TColor(RGB(49, 105, 197)));
  EXPECT_EQ(theme.GetColor(11), Adjusted(RGB(239, 235, 222), 0, 0));
  EXPECT_EQ(theme.GetColor(3), TColor(RGB(255, 255, 255)));
  // Kinds without an entry start from the default colour: system colour 0.
  EXPECT_EQ(theme.GetColor(12), Adjusted(TColor(0xFFFF0000u), 0, 0));
  EXPECT_EQ(theme.GetColor(40), theme.GetColor(0));
}

TEST(TeThemeLuna, ColoursFollowHueThenBrightness) {
  TTeThemeLuna theme;
  for (auto [hue, brightness] : {std::pair{40, 0}, {0, 20}, {-30, -15}, {128, 60}}) {
    theme.SetDeltaHue(hue);
    theme.SetDeltaBrightness(brightness);
    for (auto [kind, rgb] : {std::pair{7, RGB(49, 106, 197)}, {8, RGB(33, 195, 33)},
                             {11, RGB(239, 235, 222)}, {24, RGB(149, 206, 255)}})
      EXPECT_EQ(theme.GetColor(uint8_t(kind)), Adjusted(TColor(rgb), hue, brightness))
          << "kind " << kind << " hue " << hue << " brightness " << brightness;
  }
  // Brightness 20 on the form face clamps at 255.
  theme.SetDeltaHue(0);
  theme.SetDeltaBrightness(20);
  EXPECT_EQ(theme.GetColor(6), TColor(RGB(255, 255, 255)));
}

TEST_F(TeThemeLunaTest, SheetsAreLoadedWithTransparentKeyPixels) {
  ASSERT_EQ(Sheet1().GetWidth(), 190);
  ASSERT_EQ(Sheet1().GetHeight(), 372);
  ASSERT_EQ(Sheet2().GetWidth(), 196);
  ASSERT_EQ(Sheet2().GetHeight(), 435);
  int keys = 0;
  for (TKsBitmap* sheet : {&Sheet1(), &Sheet2()})
    for (int y = 0; y < sheet->GetHeight(); ++y)
      for (int x = 0; x < sheet->GetWidth(); ++x) {
        TKsColor c = sheet->GetPixel(x, y);
        if (KsAlpha(c) == 0) {
          ++keys;
          continue;
        }
        ASSERT_EQ(KsAlpha(c), 255);
        ASSERT_NE(c & 0xFFFFFF, 0xFF00FFu);
        // The artwork survives the hue round trip, so a zero shift would change nothing.
        ASSERT_EQ(KsColorChangeHue(c, 0), c) << x << ", " << y;
      }
  EXPECT_GT(keys, 0);
}

TEST_F(TeThemeLunaTest, BrightnessAndHueRoundTripsGiveFreshSheets) {
  // Fault: Changed applied a hue shift of 0, which quantises hues and changed the sheets.
  TTeThemeLuna fresh;
  Theme.SetDeltaBrightness(20);
  EXPECT_FALSE(SamePixels(Sheet1(), *fresh.GetSheet1()));
  Theme.SetDeltaBrightness(0);
  EXPECT_TRUE(SamePixels(Sheet1(), *fresh.GetSheet1()));
  EXPECT_TRUE(SamePixels(Sheet2(), *fresh.GetSheet2()));
  Theme.SetDeltaHue(60);
  // Key pixels stay transparent under a shift.
  EXPECT_EQ(KsAlpha(Sheet1().GetPixel(171, 102)), 0);
  Theme.SetDeltaHue(0);
  EXPECT_TRUE(SamePixels(Sheet1(), *fresh.GetSheet1()));
  EXPECT_TRUE(SamePixels(Sheet2(), *fresh.GetSheet2()));
}

TEST_F(TeThemeLunaTest, StandardFrameOf200By100) {
  Theme.DrawFormFrame(Dest, 200, 100, TRect{3, 29, 197, 97}, true, kbsStandard);
  TKsBitmap& s = Sheet1();
  ExpectPixels(Dest, [&](int x, int y) {
    if (y < 29) {
      if (x < 10)
        return s.GetPixel(x, y);
      if (x >= 190)
        return s.GetPixel(56 + x - 190, y);
      return s.GetPixel(10, y);  // the middle is constant along x
    }
    if (y >= 97) {
      if (x < 3)
        return s.GetPixel(x, 57 + y - 97);
      if (x >= 197)
        return s.GetPixel(63 + x - 197, 57 + y - 97);
      return s.GetPixel(3, 57 + y - 97);
    }
    if (x < 3)
      return s.GetPixel(x, y < 32 ? 29 + y - 29 : 32);
    if (x >= 197)
      return s.GetPixel(63 + x - 197, y < 32 ? y : 32);
    return kBack;
  });
}

TEST_F(TeThemeLunaTest, InactiveToolWindowFrameComesFromTheSecondSheet) {
  Theme.DrawFormFrame(Dest, 200, 100, TRect{}, false, kbsToolWindow);
  TKsBitmap& s = Sheet2();
  EXPECT_EQ(Dest.GetPixel(0, 0), s.GetPixel(66, 0));
  EXPECT_EQ(Dest.GetPixel(100, 10), s.GetPixel(76, 10));
  EXPECT_EQ(Dest.GetPixel(199, 18), s.GetPixel(130, 18));
  EXPECT_EQ(Dest.GetPixel(1, 60), s.GetPixel(67, 22));
  EXPECT_EQ(Dest.GetPixel(198, 60), s.GetPixel(130, 22));
  EXPECT_EQ(Dest.GetPixel(100, 99), s.GetPixel(68, 50));
  EXPECT_EQ(Dest.GetPixel(100, 50), kBack);
  TKsBitmap untouched;
  Prepare(untouched, 50, 50, kBack);
  Theme.DrawFormFrame(untouched, 50, 50, TRect{}, true, kbsNone);
  ExpectPixels(untouched, [](int, int) { return kBack; });
}

TEST_F(TeThemeLunaTest, RegionRoundsTheTopCornersOfStandardFrames) {
  HRGN region = Theme.GetFormRegion(200, 100, kbsStandard);
  const int lost[] = {5, 3, 2, 1, 1, 0};
  for (int y = 0; y < 6; ++y)
    for (int x = 0; x < 8; ++x) {
      EXPECT_EQ(PtInRegion(region, x, y) != 0, x >= lost[y]) << x << ", " << y;
      EXPECT_EQ(PtInRegion(region, 199 - x, y) != 0, x >= lost[y]) << 199 - x << ", " << y;
    }
  EXPECT_TRUE(PtInRegion(region, 0, 99));
  EXPECT_FALSE(PtInRegion(region, 200, 50));
  DeleteObject(region);
  HRGN tool = Theme.GetFormRegion(200, 100, kbsToolWindow);
  RECT box;
  EXPECT_EQ(GetRgnBox(tool, &box), SIMPLEREGION);
  EXPECT_TRUE(PtInRegion(tool, 0, 0));
  DeleteObject(tool);
}

TEST_F(TeThemeLunaTest, CaptionButtonsByKindAndState) {
  auto expectCell = [&](TKsBitmap& sheet, int left, int top, int size) {
    ExpectPixels(Dest, [&](int x, int y) {
      int sx = x - 10, sy = y - 5;
      return sx >= 0 && sy >= 0 && sx < size && sy < size ? sheet.GetPixel(left + sx, top + sy)
                                                          : kBack;
    });
  };
  TRect at{10, 5, 31, 26};
  Theme.DrawCaptionButton(Dest, at, 3, true, false, true, kbsStandard);  // maximize, hot
  expectCell(Sheet1(), 21, 130, 21);
  Theme.DrawCaptionButton(Dest, at, 2, true, true, false, kbsStandard);  // pressed wins
  expectCell(Sheet2(), 42, 160, 21);
  Theme.DrawCaptionButton(Dest, at, 0, false, false, true, kbsStandard);
  expectCell(Sheet1(), 0, 70, 21);
  Prepare(Dest, 200, 100, kBack);
  Theme.DrawCaptionButton(Dest, at, 0, true, false, true, kbsToolWindow);
  expectCell(Sheet1(), 80, 70, 14);
  Prepare(Dest, 200, 100, kBack);
  Theme.DrawCaptionButton(Dest, at, 0, false, false, true, kbsNone);
  Theme.DrawCaptionButton(Dest, at, 8, false, false, true, kbsStandard);
  ExpectPixels(Dest, [](int, int) { return kBack; });
}

TEST_F(TeThemeLunaTest, PushButtonIsDrawnNinePart) {
  Theme.DrawButton(Dest, 100, 30, 1);
  TKsBitmap& s = Sheet1();
  auto source = [](int d, int size, int cell) {  // destination offset -> cell offset
    return d < 4 ? d : d >= size - 4 ? cell - (size - d) : 4;
  };
  ExpectPixels(Dest, [&](int x, int y) {
    if (x >= 100 || y >= 30)
      return kBack;
    TKsColor c = s.GetPixel(70 + source(x, 100, 73), 130 + source(y, 30, 21));
    bool corner = (x < 4 || x >= 96) && (y < 4 || y >= 26);
    return corner ? Over(c, kBack) : c;
  });
  EXPECT_EQ(KsAlpha(s.GetPixel(70, 130)), 0);  // the rounded corner is transparent
  TKsBitmap focused, byDefault;
  Prepare(focused, 60, 24, kBack);
  Prepare(byDefault, 60, 24, kBack);
  Theme.DrawButton(focused, 60, 24, 4);
  Theme.DrawButton(byDefault, 60, 24, 5);
  EXPECT_TRUE(SamePixels(focused, byDefault));
}

TEST_F(TeThemeLunaTest, CheckAndRadioCellsKeepTheBackgroundUnderKeyPixels) {
  Theme.DrawCheckBox(Dest, TRect{3, 4, 19, 20}, 1, 1);  // hot, checked
  Theme.DrawRadioButton(Dest, TRect{30, 4, 46, 20}, 2, true);  // pressed, checked
  TKsBitmap& s = Sheet1();
  int transparent = 0;
  ExpectPixels(Dest, [&](int x, int y) {
    if (x >= 3 && x < 19 && y >= 4 && y < 20) {
      TKsColor c = s.GetPixel(171 + x - 3, 118 + 64 + y - 4);
      transparent += KsAlpha(c) == 0;
      return Over(c, kBack);
    }
    if (x >= 30 && x < 46 && y >= 4 && y < 20) {
      TKsColor c = s.GetPixel(152 + x - 30, 134 + 64 + y - 4);
      transparent += KsAlpha(c) == 0;
      return Over(c, kBack);
    }
    return kBack;
  });
  EXPECT_GT(transparent, 0);
}

// Fault: at 120 and 144 pixels per inch the status dialog's check mark looked blocky;
// cause: the artwork's 7 x 7 mark was grown by whole pixels with its box. Grown, the box
// is the unchecked one and the mark is its shape grown with the box's inside: a pixel
// wholly in the shape takes the mark's colour, one wholly outside it is the unchecked
// box's, and one on its edge a mix of the two. (At the artwork's size the box is the
// artwork itself, above.)
TEST_F(TeThemeLunaTest, AGrownCheckMarkIsSmooth) {
  // The shape in pixels of the artwork's 13 x 13 box: the band of height 3 around the
  // line from (3, 6) down to (5.5, 8.5) and up to (10, 4), the artwork's pixels being
  // those whose centres lie in it.
  auto inMark = [](double u, double v) {
    const double centre = u <= 5.5 ? u + 3 : 14 - u;
    return u >= 3 && u <= 10 && v >= centre - 1.5 && v <= centre + 1.5;
  };
  for (int i = 0; i < 7 * 7; ++i) {
    // The artwork's mark lies at (3, 3) of the box, which lies at (1, 1) of its cell;
    // the unchecked cell is 64 rows above.
    const int gx = i % 7, gy = i / 7, x = 175 + gx, y = 170 + gy;
    EXPECT_EQ(inMark(3 + gx + 0.5, 3 + gy + 0.5), Sheet1().GetPixel(x, y) != Sheet1().GetPixel(x, y - 64))
        << gx << "," << gy;
  }
  for (int size : {20, 24, 32}) {  // the mark's 16 pixels at 120, 144 and 192 per inch
    for (int state = 0; state < 4; ++state) {
      TKsBitmap checked, unchecked;
      Prepare(checked, size, size, kBack);
      Prepare(unchecked, size, size, kBack);
      Theme.DrawCheckBox(checked, {0, 0, size, size}, state, 1);
      Theme.DrawCheckBox(unchecked, {0, 0, size, size}, state, 0);
      const TKsColor mark = Sheet1().GetPixel(177, 102 + 16 * state + 64 + 10);
      // The box as grown: outline from MulDiv(1) over MulDiv(12) + 1 pixels; its inside
      // maps onto the artwork's 11 pixels from (1, 1).
      const int at = MulDiv(1, size, 16), span = MulDiv(12, size, 16) + 1;
      const double scale = 11.0 / (span - 2);
      int mixed = 0;
      for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) {
          const TKsColor got = checked.GetPixel(x, y), box = unchecked.GetPixel(x, y);
          const bool inside = x > at && x < at + span - 1 && y > at && y < at + span - 1;
          // Samples over the pixel and a little beyond, so that a sliver is not missed.
          int in = 0, samples = 0;
          for (int sy = -2; sy <= 18; ++sy)
            for (int sx = -2; sx <= 18; ++sx, ++samples)
              in += inside && inMark(1 + (x - at - 1 + sx / 16.0) * scale, 1 + (y - at - 1 + sy / 16.0) * scale);
          const std::string where = std::to_string(size) + " " + std::to_string(state) + " at " +
                                    std::to_string(x) + "," + std::to_string(y);
          if (in == 0) {
            EXPECT_EQ(got, box) << where;
          } else if (in == samples) {
            EXPECT_EQ(got, mark) << where;
          } else {
            for (int shift : {0, 8, 16}) {
              const int g = (got >> shift) & 0xFF, a = (mark >> shift) & 0xFF, b = (box >> shift) & 0xFF;
              EXPECT_TRUE(g >= std::min(a, b) && g <= std::max(a, b)) << where;
            }
            mixed += got != mark && got != box;
          }
        }
      EXPECT_GE(mixed, size) << size << " " << state << ": no smooth edge";
    }
  }
}

TEST_F(TeThemeLunaTest, PopupItems) {
  TTeItemData separator;
  separator.Caption = "-";
  TTeItemData item;
  item.Caption = "Open";
  int w = 0, h = 0;
  Theme.MeasurePopupItemData(Dest, separator, w, h);
  EXPECT_EQ(h, 9);
  Theme.MeasurePopupItemData(Dest, item, w, h);
  EXPECT_EQ(h, 22);
  EXPECT_EQ(w, Dest.TextWidth("Open", 0) + 42 + 0 + 16);

  // A separator: the item colour with one shadow line 4 rows down, 2 pixels in.
  Theme.DrawPopupItemData(Dest, separator, TRect{0, 0, 100, 9}, false, false);
  TKsColor face = ColorToKsColor(Theme.GetColor(16), 255);
  TKsColor shadow = ColorToKsColor(clBtnShadow, 255);
  ExpectPixels(Dest, [&](int x, int y) {
    if (x >= 100 || y >= 9)
      return kBack;
    return y == 4 && x >= 2 && x < 98 ? shadow : face;
  });

  // Selected: colour 17 framed in colour 13.
  Prepare(Dest, 200, 100, kBack);
  Theme.DrawPopupItemData(Dest, item, TRect{0, 0, 150, 22}, true, false);
  GdiFlush();
  TKsColor frame = ColorToKsColor(Theme.GetColor(13), 255);
  EXPECT_EQ(Dest.GetPixel(0, 0), frame);
  EXPECT_EQ(Dest.GetPixel(149, 21), frame);
  EXPECT_EQ(Dest.GetPixel(5, 5) & 0xFFFFFF, ColorToKsColor(Theme.GetColor(17), 255) & 0xFFFFFF);

  // A checked, disabled item: the check mark in black and white, text in colour 22 only.
  Prepare(Dest, 200, 100, kBack);
  item.Checked = true;
  item.Enabled = false;
  item.ShortCutText = "Ctrl+O";
  Theme.DrawPopupItemData(Dest, item, TRect{0, 0, 150, 22}, false, false);
  GdiFlush();
  int cx = 22 / 2 - 2, cy = 22 / 2 + 1;
  EXPECT_EQ(Dest.GetPixel(cx, cy) & 0xFFFFFF, 0u);
  EXPECT_EQ(Dest.GetPixel(cx - 3, cy - 2) & 0xFFFFFF, 0xFFFFFFu);
  TKsColor grey = ColorToKsColor(Theme.GetColor(22), 255) & 0xFFFFFF;
  int text = 0;
  for (int y = 0; y < 22; ++y)
    for (int x = 26; x < 150; ++x) {
      TKsColor c = Dest.GetPixel(x, y) & 0xFFFFFF;
      if (c == (face & 0xFFFFFF))
        continue;
      ++text;
      EXPECT_EQ(c, grey) << x << ", " << y;
    }
  EXPECT_GT(text, 0);
}


TEST_F(TeThemeLunaTest, MenuItemOperationsDrawTheItemsValues) {
  TKsCustomItem root(nullptr);
  TCustomImageList images(nullptr);
  root.SetImages(&images);
  auto* file = new TKsCustomItem(nullptr);
  file->SetCaption("&File");
  root.Add(file);
  auto* save = new TKsCustomItem(nullptr);
  save->SetCaption("&Save");
  save->SetShortCut(scCtrl | 'S');
  save->SetChecked(true);
  file->Add(save);
  auto* more = new TKsCustomItem(nullptr);
  more->SetCaption("More");
  file->Add(more);
  more->Add(new TKsCustomItem(nullptr));
  root.SetInControlBarAll(true);

  TTeItemData data = ThemeItemData(*save);
  EXPECT_EQ(data.Caption, "&Save");
  EXPECT_EQ(data.ShortCutText, ShortCutToText(scCtrl | 'S'));
  EXPECT_TRUE(data.Checked);
  EXPECT_FALSE(data.HasSubItems);
  EXPECT_EQ(data.Images, &images);  // the tree's image list
  EXPECT_TRUE(ThemeItemData(*more).HasSubItems);
  EXPECT_TRUE(ThemeItemData(*file).OnControlBar);
  EXPECT_EQ(ThemeItemData(root).ShortCutText, "");

  // Each item operation gives what the value-based drawing gives for the item's values.
  TKsBitmap expected;
  auto same = [&](auto draw, auto drawData, TKsCustomItem& item) {
    Prepare(Dest, 200, 100, kBack);
    Prepare(expected, 200, 100, kBack);
    draw(Dest, item);
    drawData(expected, ThemeItemData(item));
    return SamePixels(Dest, expected);
  };
  const TRect rect{4, 4, 160, 26};
  for (bool selected : {false, true})
    for (TKsCustomItem* item : {save, more, file}) {
      EXPECT_TRUE(same([&](TKsBitmap& b, TKsCustomItem& i) { Theme.DrawPopupItem(b, i, rect, selected, false); },
                       [&](TKsBitmap& b, const TTeItemData& d) {
                         Theme.DrawPopupItemData(b, d, rect, selected, false);
                       },
                       *item))
          << item->GetCaption() << " selected " << selected;
      EXPECT_TRUE(same([&](TKsBitmap& b, TKsCustomItem& i) { Theme.DrawMenuBarItem(b, i, rect, selected, true); },
                       [&](TKsBitmap& b, const TTeItemData& d) {
                         Theme.DrawMenuBarItemData(b, d, rect, selected, true);
                       },
                       *item));
    }
  file->SetMDIButtonKind(mbkClose);
  EXPECT_TRUE(same([&](TKsBitmap& b, TKsCustomItem& i) { Theme.DrawMenuBarButton(b, i, rect, true, false); },
                   [&](TKsBitmap& b, const TTeItemData& d) {
                     Theme.DrawMenuBarButtonData(b, d, rect, true, false);
                   },
                   *file));

  // Measuring by the rule, with the fonts of kinds 2 and 3 on the same bitmap.
  int w = 0, h = 0;
  Theme.MeasurePopupItem(Dest, *save, w, h);
  EXPECT_EQ(h, 22);
  EXPECT_EQ(w, Dest.TextWidth("&Save", 0) + 42 + Dest.TextWidth(ShortCutToText(scCtrl | 'S'), 0) + 16);
  Theme.MeasureMenuBarItem(Dest, *file, w, h);
  EXPECT_EQ(h, 22);
  EXPECT_EQ(w, Dest.TextWidth("&File", 0) + 12);

  // The sub-menu arrow of a popup item: its cell holds only the item colour and the
  // font colour.
  Prepare(Dest, 200, 100, kBack);
  Theme.DrawPopupItem(Dest, *more, rect, false, false);
  GdiFlush();
  const TKsColor back = ColorToKsColor(Theme.GetColor(16), 255) & 0xFFFFFF;
  const TKsColor ink = ColorToKsColor(Theme.GetColor(20), 255) & 0xFFFFFF;
  int inked = 0;
  for (int y = rect.top; y < rect.bottom; ++y)
    for (int x = rect.right - 18; x < rect.right - 2; ++x) {
      TKsColor c = Dest.GetPixel(x, y) & 0xFFFFFF;
      EXPECT_TRUE(c == back || c == ink) << x << ", " << y;
      inked += c == ink;
    }
  EXPECT_GT(inked, 0);
}
