// The tree list's drawing primitives on memory surfaces: frames, cell text margins,
// text measuring, button faces and their content areas, corner, header and drop-down
// buttons, sunken frames; expected pixels by rule or from the same GDI calls.
#include <algorithm>
#include <string>

#include <gtest/gtest.h>

#include "classlib/Bitmap.h"
#include "classlib/GdiHandles.h"
#include "classlib/GraphicsObjects.h"
#include "tests/support/TestSupport.h"
#include "treelist/DxTreeListDraw.h"

namespace {

constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kBlack = RGB(0, 0, 0);
constexpr COLORREF kRed = RGB(255, 0, 0);
constexpr COLORREF kGreen = RGB(0, 255, 0);

COLORREF Sys(int index) { return GetSysColor(index); }

TEST(DxTreeListDrawTest, InvertFrameInvertsEachBorderPixelOnce) {
  TDibSurface dib(10, 8);
  dib.Fill(kWhite);
  InvertFrame(dib.DC(), TRect{1, 1, 9, 7});
  for (int y = 0; y < 8; ++y)
    for (int x = 0; x < 10; ++x) {
      const bool border = (x == 1 || x == 8 || y == 1 || y == 6) && x >= 1 && x <= 8 && y >= 1 && y <= 6;
      ASSERT_EQ(border ? kBlack : kWhite, dib.Color(x, y)) << x << "," << y;
    }
  InvertFrame(dib.DC(), TRect{1, 1, 9, 7});
  EXPECT_EQ(kWhite, dib.Color(1, 1));
  EXPECT_EQ(kWhite, dib.Color(8, 6));
}

TEST(DxTreeListDrawTest, TheFocusFrameKeepsTheColoursOfTheDc) {
  TDibSurface dib(10, 10);
  SetTextColor(dib.DC(), kRed);
  SetBkColor(dib.DC(), kGreen);
  DrawFocusFrame(dib.DC(), TRect{0, 0, 10, 10});
  EXPECT_EQ(kRed, GetTextColor(dib.DC()));
  EXPECT_EQ(kGreen, GetBkColor(dib.DC()));
}

TEST(DxTreeListDrawTest, CellTextMarginsTakeTheBrushAndMultiLineTextTheWholeCell) {
  TDibSurface dib(60, 18);
  TBrushHandle red(CreateSolidBrush(kRed));
  TdxCellTextParams params;
  params.Brush = red.Get();
  params.BkColor = TColor(kGreen);
  for (TAlignment alignment : {taLeftJustify, taRightJustify}) {
    dib.Fill(kBlack);
    params.Alignment = alignment;
    DrawCellText(dib.DC(), TRect{0, 0, 60, 18}, params, "", nullptr);
    // A 2-pixel margin at the right, and for right-justified text also at the left; the
    // text rectangle between them takes the background colour.
    EXPECT_EQ(alignment == taRightJustify ? kRed : kGreen, dib.Color(1, 9));
    EXPECT_EQ(kGreen, dib.Color(2, 9));
    EXPECT_EQ(kGreen, dib.Color(57, 9));
    EXPECT_EQ(kRed, dib.Color(58, 9));
    EXPECT_EQ(kRed, dib.Color(59, 0));
  }
  params.MultiLine = true;  // through DrawText: the brush fills the cell, the text is transparent
  DrawCellText(dib.DC(), TRect{0, 0, 60, 18}, params, "", nullptr);
  EXPECT_EQ(kRed, dib.Color(30, 9));
  params.MultiLine = false;
  params.DirectOutput = true;  // no margins painted
  dib.Fill(kBlack);
  DrawCellText(dib.DC(), TRect{0, 0, 60, 18}, params, "", nullptr);
  EXPECT_EQ(kBlack, dib.Color(59, 9));
  // Buffered through a bitmap: the same pixels.
  TDibSurface direct(60, 18);
  TBitmap buffer;
  params.DirectOutput = false;
  params.Buffered = true;
  DrawCellText(dib.DC(), TRect{0, 0, 60, 18}, params, "Wg", &buffer);
  params.Buffered = false;
  DrawCellText(direct.DC(), TRect{0, 0, 60, 18}, params, "Wg", nullptr);
  for (int x = 0; x < 60; ++x)
    ASSERT_EQ(direct.Color(x, 9), dib.Color(x, 9)) << x;
}

TEST(DxTreeListDrawTest, MeasuredLinesFollowTheSameCallAndTheirLimit) {
  TFont font;
  int height = -1;
  EXPECT_EQ(0, MeasureTextLines("", 100, 13, height, 0, true, &font, -1));
  EXPECT_EQ(0, MeasureTextLines("text", 100, 13, height, 0, true, &font, 0));
  const std::string text = "one two three four five six seven eight nine ten eleven twelve";
  TClientDC dc(nullptr);
  TSelectGuard select(dc, font.GetHandle());
  SIZE wg{};
  GetTextExtentPoint32A(dc, "Wg", 2, &wg);
  RECT r{2, 0, 80 - 2, 0};
  const int measured = DrawTextA(dc, text.c_str(), int(text.size()), &r,
                                 DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX | DT_EXPANDTABS);
  const int lines = MeasureTextLines(text, 80, 0, height, 0, true, &font, -1);
  ASSERT_GT(lines, 2);
  EXPECT_EQ(measured / wg.cy, lines);
  EXPECT_EQ(measured + 3, height);
  EXPECT_EQ(2, MeasureTextLines(text, 80, 0, height, 0, true, &font, 2));
  EXPECT_EQ(2 * wg.cy + 3, height);
}

TEST(DxTreeListDrawTest, ButtonFacesLeaveTheirContentArea) {
  TDibSurface dib(40, 20);
  TBrushHandle face(CreateSolidBrush(Sys(COLOR_BTNFACE)));
  struct TCase {
    TdxLookAndFeel Look;
    int Position;
    bool Pressed;
    TRect Content;
  } cases[] = {
      {lfStandard, 0, false, {1, 1, 38, 18}},  // raised: one edge at the top left, two at the bottom right
      {lfStandard, 0, true, {1, 1, 39, 19}},   // pressed: one sunken edge, the outer one
      {lfFlat, 0, false, {2, 1, 38, 19}},      // one edge all round, then a pixel off each side
      {lfFramed, 0, false, {2, 1, 38, 19}},    // a frame all round, then a pixel off each side
      {lfFlat, 3, false, {2, 1, 38, 19}},      // a button of a multi-row header
  };
  for (const TCase& c : cases) {
    TRect r{0, 0, 40, 20};
    DrawButtonFace(dib.DC(), r, face.Get(), c.Look, c.Position, c.Pressed);
    EXPECT_EQ(c.Content, r) << int(c.Look) << " " << c.Position << " " << c.Pressed;
  }
  dib.Fill(kBlack);
  TRect r{0, 0, 40, 20};
  DrawButtonFace(dib.DC(), r, face.Get(), lfFramed, 0, false);
  EXPECT_EQ(Sys(COLOR_BTNSHADOW), dib.Color(0, 0));
  EXPECT_EQ(Sys(COLOR_BTNFACE), dib.Color(1, 1));
}

TEST(DxTreeListDrawTest, PressedCornersAreInvertedInTheFlatLooks) {
  TDibSurface normal(20, 20), pressed(20, 20);
  TBrushHandle face(CreateSolidBrush(Sys(COLOR_BTNFACE)));
  for (TdxLookAndFeel look : {lfFlat, lfFramed}) {
    DrawCornerButton(normal.DC(), TRect{0, 0, 20, 20}, face.Get(), look, false);
    DrawCornerButton(pressed.DC(), TRect{0, 0, 20, 20}, face.Get(), look, true);
    for (int x : {0, 10, 19})
      EXPECT_EQ(~normal.Color(x, 10) & 0xFFFFFF, pressed.Color(x, 10)) << int(look) << " " << x;
  }
}

TEST(DxTreeListDrawTest, AScrolledHeaderButtonCopiesOnlyItsShownPart) {
  TDibSurface whole(50, 20), part(50, 20);
  TBrushHandle face(CreateSolidBrush(Sys(COLOR_BTNFACE)));
  TBitmap buffer;
  TdxHeaderButton button;
  button.Brush = face.Get();
  button.Text = "Caption";
  button.Sorted = csDown;
  whole.Fill(kBlack);
  part.Fill(kBlack);
  DrawHeaderButtonBuffered(whole.DC(), TRect{0, 0, 50, 20}, TRect{0, 0, 50, 20}, button, &buffer);
  // The same button 10 pixels left of the surface, shown from x 0 on.
  DrawHeaderButtonBuffered(part.DC(), TRect{-10, 0, 40, 20}, TRect{0, 0, 40, 20}, button, &buffer);
  for (int x = 0; x < 40; ++x)
    for (int y = 0; y < 20; ++y)
      ASSERT_EQ(whole.Color(x + 10, y), part.Color(x, y)) << x << "," << y;
  EXPECT_EQ(kBlack, part.Color(45, 10));
  // Pressed in a flat look, the whole composed button is inverted.
  button.Look = lfFlat;
  DrawHeaderButtonBuffered(whole.DC(), TRect{0, 0, 50, 20}, TRect{0, 0, 50, 20}, button, &buffer);
  button.Pressed = true;
  DrawHeaderButtonBuffered(part.DC(), TRect{0, 0, 50, 20}, TRect{0, 0, 50, 20}, button, &buffer);
  EXPECT_EQ(~whole.Color(25, 2) & 0xFFFFFF, part.Color(25, 2));
}

TEST(DxTreeListDrawTest, DropDownMarksShowTheirStateInFaceAndArrow) {
  TDibSurface dib(15, 18);
  struct TCase {
    uint8_t State;
    COLORREF Face, Arrow;
  } cases[] = {{1, Sys(COLOR_BTNFACE), Sys(COLOR_BTNTEXT)},
               {3, Sys(COLOR_BTNSHADOW), Sys(COLOR_WINDOW)},
               {7, Sys(COLOR_BTNTEXT), Sys(COLOR_WINDOW)},
               {9, Sys(COLOR_BTNFACE), RGB(0, 0, 255)}};
  for (const TCase& c : cases) {
    DrawDropDownMark(dib.DC(), TRect{0, 0, 15, 18}, c.State);
    EXPECT_EQ(Sys(COLOR_BTNSHADOW), dib.Color(0, 0));
    EXPECT_EQ(c.Face, dib.Color(1, 1)) << int(c.State);
    // The arrow is 7 pixels wide (half of 13, made odd) and 4 high, centred: its top row
    // is the widest, its apex in the middle column.
    EXPECT_EQ(c.Arrow, dib.Color(4, 7)) << int(c.State);
    EXPECT_EQ(c.Arrow, dib.Color(7, 10)) << int(c.State);
    EXPECT_EQ(c.Face, dib.Color(3, 7)) << int(c.State);
  }
}

TEST(DxTreeListDrawTest, TheSortArrowIsAnEtchedTriangleInItsBox) {
  // The box runs from the centre's x - 4 to x + 4 and from its y - 3 to y + 4; the left
  // edge is two lines of the shadow colour, the other edges are the highlight colour; an
  // arrow up has its apex at the top, one down at the bottom.
  const TRect rect{0, 0, 16, 20};
  const int cx = 8, cy = 10;
  for (bool up : {true, false}) {
    SCOPED_TRACE(up ? "up" : "down");
    TDibSurface dib(16, 20);
    dib.Fill(kRed);
    DrawSortArrow(dib.DC(), rect, up);
    const int apexY = up ? cy - 3 : cy + 4, baseY = up ? cy + 4 : cy - 3;
    for (int y = 0; y < 20; ++y)
      for (int x = 0; x < 16; ++x) {
        const COLORREF c = dib.Color(x, y);
        if (c == kRed)
          continue;
        EXPECT_TRUE(x >= cx - 4 && x <= cx + 4 && y >= cy - 3 && y <= cy + 4) << x << "," << y << " lies in the box";
        EXPECT_TRUE(c == Sys(COLOR_BTNSHADOW) || c == Sys(COLOR_BTNHIGHLIGHT)) << x << "," << y;
        EXPECT_TRUE(c != Sys(COLOR_BTNSHADOW) || x <= cx + 1) << x << "," << y << ": the shadow is the left edge";
      }
    for (int x = cx - 4; x <= cx + 4; ++x)
      EXPECT_EQ(Sys(COLOR_BTNHIGHLIGHT), dib.Color(x, baseY)) << x << ": the base is lit";
    EXPECT_NE(kRed, dib.Color(cx, apexY)) << "the apex";
    EXPECT_EQ(kRed, dib.Color(cx - 4, apexY)) << "no base at the apex";
    // Between apex and base each row has its shadowed left edge and its lit right edge.
    for (int y = std::min(apexY, baseY) + 1; y < std::max(apexY, baseY); ++y) {
      bool shadow = false, lit = false;
      for (int x = cx - 4; x <= cx + 4; ++x) {
        shadow = shadow || (x <= cx && dib.Color(x, y) == Sys(COLOR_BTNSHADOW));
        lit = lit || (x >= cx && dib.Color(x, y) == Sys(COLOR_BTNHIGHLIGHT));
      }
      EXPECT_TRUE(shadow && lit) << "row " << y;
    }
  }
}

TEST(DxTreeListDrawTest, SunkenFramesFollowTheLook) {
  TDibSurface dib(10, 10);
  dib.Fill(kBlack);
  DrawSunkenFrame(dib.DC(), TRect{0, 0, 10, 10}, lfFramed);
  EXPECT_EQ(Sys(COLOR_BTNSHADOW), dib.Color(9, 9));
  EXPECT_EQ(kBlack, dib.Color(5, 5));
  DrawSunkenFrame(dib.DC(), TRect{0, 0, 10, 10}, lfStandard);
  EXPECT_EQ(Sys(COLOR_BTNSHADOW), dib.Color(0, 5));
  EXPECT_EQ(Sys(COLOR_BTNHIGHLIGHT), dib.Color(9, 5));
}

}  // namespace
