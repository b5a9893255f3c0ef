// View data and cell drawing: the frame geometry by rule, frames and shadows read back
// from a memory DC, the area Draw removes from a region, cursors and heights, the view
// data an editor builds from itself, and the text editor's content measured with the
// same GDI calls.
#include <memory>
#include <string>

#include <gtest/gtest.h>

#include "classlib/GdiHandles.h"
#include "editors/DxInplaceEdit.h"
#include "tests/editors/EditorsTestSupport.h"
#include "tests/support/TestSupport.h"

namespace {

constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kBlue = RGB(0, 0, 255);
constexpr COLORREF kRed = RGB(255, 0, 0);

const TdxInplaceEditClass& Base() { return TdxInplaceEdit::MetaClass(); }

std::unique_ptr<TdxEditViewData> Cell(TdxEditBorderStyle border, bool shadow, TRect bounds = Rect(0, 0, 100, 20)) {
  auto v = std::make_unique<TdxEditViewData>();
  v->BorderStyle = border;
  v->Shadow = shadow;
  v->Edges = dxAllEdges;
  v->Bounds = bounds;
  v->BorderColor = TColor(kBlue);
  return v;
}

TdxEditDrawRecord Calc(TdxEditViewData* v, bool autoSize = false) {
  TdxEditDrawRecord r;
  Base().CalcViewData(v, autoSize, r);
  return r;
}

TEST(DxEditViewDataTest, FrameGeometryFollowsBorderEdgesAndShadow) {
  auto none = Cell(xbsNone, false);
  TdxEditDrawRecord r = Calc(none.get());
  EXPECT_EQ(r.BorderWidth, 0);
  EXPECT_EQ(r.InnerRect, Rect(2, 2, 98, 18));
  EXPECT_EQ(r.BorderRect, r.InnerRect);
  EXPECT_TRUE(IsRectEmpty(&r.ShadowRect));

  auto single = Cell(xbsSingle, false);
  r = Calc(single.get());
  EXPECT_EQ(r.BorderWidth, 1);
  EXPECT_EQ(r.BorderRect, Rect(1, 1, 99, 19));

  auto shadowed = Cell(xbs3D, true);
  r = Calc(shadowed.get());
  EXPECT_EQ(r.BorderWidth, 2);
  EXPECT_EQ(r.ShadowWidth, 2);
  EXPECT_EQ(r.InnerRect, Rect(2, 2, 96, 16));
  EXPECT_EQ(r.BorderRect, Rect(0, 0, 98, 18));
  EXPECT_EQ(r.ShadowRect, Rect(2, 2, 100, 20));

  auto open = Cell(xbsThick, false);
  open->Edges = TdxEditEdges{edgLeft, edgRight};
  r = Calc(open.get());
  EXPECT_EQ(r.BorderRect, Rect(0, 2, 100, 18));
  EXPECT_FALSE(r.EdgeTop);
  EXPECT_FALSE(r.EdgeBottom);
}

TEST(DxEditViewDataTest, AutoSizeTakesTheMinimumHeight) {
  auto v = Cell(xbs3D, true, Rect(5, 5, 100, 6));
  TClientDC screen(nullptr);
  TFontHandle font(CreateFontA(-13, 0, 0, 0, FW_NORMAL, 0, 0, 0, ANSI_CHARSET, 0, 0, 0, 0, "Arial"));
  v->Font = font.Get();
  HGDIOBJ old = SelectObject(screen.Get(), font.Get());
  TEXTMETRICA metrics{};
  GetTextMetricsA(screen.Get(), &metrics);
  SelectObject(screen.Get(), old);
  EXPECT_EQ(Base().GetMinHeight(v.get()), metrics.tmHeight + 3);
  const TdxEditDrawRecord r = Calc(v.get(), true);
  EXPECT_EQ(r.Bounds.bottom, 5 + metrics.tmHeight + 3 + 4 + 2);
  EXPECT_EQ(r.InnerRect.bottom, 5 + 2 + metrics.tmHeight + 3);
  EXPECT_EQ(r.Bounds.right, 100) << "without a content size the width stays";
}

class DrawTest : public testing::Test {
 protected:
  DrawTest() : Surface(110, 30) { Surface.Fill(kWhite); }
  TDibSurface Surface;
};

TEST_F(DrawTest, SingleFrameIsOneRectangleOfTheBorderColour) {
  auto v = Cell(xbsSingle, false);
  const TdxEditDrawRecord r = Calc(v.get());
  Base().DrawBorder(Surface.DC(), r, v.get());
  EXPECT_EQ(Surface.Color(1, 1), kBlue);
  EXPECT_EQ(Surface.Color(98, 18), kBlue);
  EXPECT_EQ(Surface.Color(50, 1), kBlue);
  EXPECT_EQ(Surface.Color(2, 2), kWhite);
  EXPECT_EQ(Surface.Color(0, 0), kWhite);
}

TEST_F(DrawTest, ThickFrameWithoutTopReachesAboveTheFrame) {
  auto v = Cell(xbsThick, false);
  v->Edges = TdxEditEdges{edgLeft, edgRight, edgBottom};
  const TdxEditDrawRecord r = Calc(v.get());
  ASSERT_EQ(r.BorderRect, Rect(0, 2, 100, 20));
  Base().DrawBorder(Surface.DC(), r, v.get());
  EXPECT_EQ(Surface.Color(0, 0), kBlue) << "the left strip starts 2 pixels above the frame";
  EXPECT_EQ(Surface.Color(99, 0), kBlue);
  EXPECT_EQ(Surface.Color(50, 19), kBlue);
  EXPECT_EQ(Surface.Color(50, 2), kWhite) << "no top strip";
}

TEST_F(DrawTest, ShadowStripsLieInsideTheBounds) {
  auto v = Cell(xbsNone, true);
  const TdxEditDrawRecord r = Calc(v.get());
  Base().DrawBorder(Surface.DC(), r, v.get());
  const COLORREF shadow = GetSysColor(COLOR_BTNSHADOW);
  // ShadowRect (4, 4, 98, 18): bottom strip y 16..17, right strip x 96..97.
  EXPECT_EQ(Surface.Color(50, 17), shadow);
  EXPECT_EQ(Surface.Color(97, 10), shadow);
  EXPECT_EQ(Surface.Color(50, 15), kWhite);
  EXPECT_EQ(Surface.Color(98, 10), kWhite);
}

TEST_F(DrawTest, SunkenFramesMatchTheSystemEdges) {
  TDibSurface expected(110, 30);
  expected.Fill(kWhite);
  RECT edge = Rect(0, 0, 100, 20);
  DrawEdge(expected.DC(), &edge, EDGE_SUNKEN, BF_RECT);
  auto v = Cell(xbs3D, false);
  Base().DrawBorder(Surface.DC(), Calc(v.get()), v.get());
  for (int x = 0; x < 100; x += 7)
    for (int y : {0, 1, 18, 19})
      EXPECT_EQ(Surface.Color(x, y), expected.Color(x, y)) << x << "," << y;
}

TEST_F(DrawTest, DrawFillsTheContentAndCutsThePaintedAreaFromTheRegion) {
  auto v = Cell(xbsSingle, true);
  TBrushHandle red(CreateSolidBrush(kRed));
  v->Brush = red.Get();
  TRegionHandle region(CreateRectRgn(0, 0, 110, 30));
  Base().Draw(Surface.DC(), v->Bounds, v.get(), region.Get());
  EXPECT_EQ(Surface.Color(50, 10), kRed);
  EXPECT_FALSE(PtInRegion(region.Get(), 1, 1));
  EXPECT_FALSE(PtInRegion(region.Get(), 98, 18)) << "the shadow is painted too";
  EXPECT_TRUE(PtInRegion(region.Get(), 0, 19)) << "the corner below the frame stays";
  EXPECT_TRUE(PtInRegion(region.Get(), 105, 5));

  v->CalcOnly = true;
  Surface.Fill(kWhite);
  Base().DrawContent(Surface.DC(), Rect(0, 0, 50, 20), v.get(), false);
  EXPECT_EQ(Surface.Color(10, 10), kWhite) << "measuring paints nothing";
}

TEST(DxEditViewDataTest, CursorFollowsTheTextArea) {
  TdxEditViewData v;
  EXPECT_EQ(Base().GetCursor(0, 0, &v), crArrow);
  v.HasTextArea = true;
  EXPECT_EQ(Base().GetCursor(0, 0, &v), crDefault);
  v.Cursor = crHandPoint;
  EXPECT_EQ(Base().GetCursor(0, 0, &v), crHandPoint);
  TRect size = Rect(1, 1, 5, 5);
  Base().GetContentSize(&v, size);
  EXPECT_TRUE(IsRectEmpty(&size));
}

using ViewDataOfEditorTest = EditorTest;

TEST_F(ViewDataOfEditorTest, HotTrackingRaisesTheFrame) {
  Edit->SetBounds(0, 0, 80, 22);
  Edit->GetStyle()->SetHotTrack(true);
  struct TCase {
    TdxEditBorderStyle From, To;
    TdxEditButtonViewStyle Buttons;
  };
  for (TCase c : {TCase{xbsNone, xbsFlat, btsFlat}, TCase{xbsSingle, xbsSingle, btsHotFlat},
                  TCase{xbsFlat, xbs3D, bts3D}, TCase{xbsThick, xbsThick, bts3D}}) {
    Edit->GetStyle()->SetBorderStyle(c.From);
    Edit->Perform(CM_MOUSEENTER);
    std::unique_ptr<TdxEditViewData> v(Edit->CreateViewData(false));
    EXPECT_TRUE(v->Active);
    EXPECT_EQ(v->BorderStyle, c.To);
    EXPECT_EQ(v->ButtonStyle, c.Buttons);
    if (c.From == xbsSingle) {
      EXPECT_EQ(v->BorderColor, TColor(0x006A240A));
    }
    Edit->Perform(CM_MOUSELEAVE);
    v.reset(Edit->CreateViewData(false));
    EXPECT_EQ(v->BorderStyle, c.From);
  }
}

TEST_F(ViewDataOfEditorTest, FilledFromTheEditor) {
  Edit->SetBounds(0, 0, 80, 22);
  Edit->SetText("value");
  Edit->SetColor(TColor(kRed));
  Edit->SetInactiveNoFill(true);
  Edit->GetStyle()->SetButtonTransparence(ebtInactive);
  std::unique_ptr<TdxEditViewData> v(Edit->CreateViewData(true));
  EXPECT_EQ(v->Bounds, Rect(0, 0, 80, 22));
  EXPECT_EQ(v->Color, kRed);
  EXPECT_EQ(v->Value.AsString(), "value");
  EXPECT_TRUE(v->NoFill);
  EXPECT_TRUE(v->ButtonTransparent);
  EXPECT_EQ(v->ButtonStyle, bts3D);
  EXPECT_EQ(v->Brush, Edit->GetBrush()->GetHandle());
  Edit->SetEnabled(false);
  v.reset(Edit->CreateViewData(false));
  EXPECT_EQ(v->Color, GetSysColor(COLOR_BTNFACE));
  EXPECT_EQ(v->TextColor, GetSysColor(COLOR_BTNSHADOW));
}

TEST_F(ViewDataOfEditorTest, PaintingIntoAnotherDCDrawsTheWholeCell) {
  Edit->SetBounds(0, 0, 60, 20);
  Edit->SetColor(TColor(kRed));
  Edit->GetStyle()->SetBorderStyle(xbsSingle);
  Edit->GetStyle()->SetBorderColor(TColor(kBlue));
  TDibSurface surface(70, 30);
  surface.Fill(kWhite);
  Edit->PaintTo(surface.DC(), 0, 0);
  EXPECT_EQ(surface.Color(1, 1), kBlue) << "the frame at BorderRect (1, 1, 59, 19)";
  EXPECT_EQ(surface.Color(58, 18), kBlue);
  EXPECT_EQ(surface.Color(30, 10), kRed) << "the content in the editor's colour";
  EXPECT_EQ(surface.Color(65, 25), kWhite);
}

class TextContentTest : public testing::Test {
 protected:
  TextContentTest() : Surface(120, 40), Font(CreateFontA(-13, 0, 0, 0, FW_NORMAL, 0, 0, 0, ANSI_CHARSET, 0, 0, 0, 0, "Arial")), White(CreateSolidBrush(kWhite)) {
    Surface.Fill(RGB(0, 255, 0));
    View.Font = Font.Get();
    View.Brush = White.Get();
    View.Color = kWhite;
    View.TextColor = RGB(0, 0, 0);
    View.HasTextArea = true;
  }
  int Width(const std::string& text) {
    HGDIOBJ old = SelectObject(Surface.DC(), Font.Get());
    SIZE size{};
    GetTextExtentPoint32A(Surface.DC(), text.data(), int(text.size()), &size);
    SelectObject(Surface.DC(), old);
    return size.cx;
  }
  int InkRight(int y0, int y1) {
    int right = -1;
    for (int y = y0; y < y1; ++y)
      for (int x = 0; x < Surface.Width(); ++x)
        if (Surface.Color(x, y) == RGB(0, 0, 0))
          right = std::max(right, x);
    return right;
  }
  TDibSurface Surface;
  TFontHandle Font;
  TBrushHandle White;
  TdxTextEditViewData View;
};

TEST_F(TextContentTest, EditorWindowWithATextAreaPaintsNothing) {
  View.Value = "abc";
  EXPECT_FALSE(DrawTextEditContent(Surface.DC(), Rect(0, 0, 100, 20), &View, true));
  EXPECT_EQ(Surface.Color(5, 5), RGB(0, 255, 0));
  EXPECT_TRUE(DrawTextEditContent(Surface.DC(), Rect(0, 0, 100, 20), &View, false));
  EXPECT_EQ(Surface.Color(0, 0), kWhite);
  EXPECT_EQ(View.TextLength, 3);
}

TEST_F(TextContentTest, PasswordCharacterHidesEveryCharacter) {
  View.Value = "secret";
  View.PasswordChar = '*';
  DrawTextEditContent(Surface.DC(), Rect(0, 0, 120, 20), &View, false);
  // Text starts one pixel in; its ink ends within the width of six stars.
  const int right = InkRight(0, 20);
  EXPECT_GT(right, 1);
  EXPECT_LE(right, 1 + Width("******"));
  EXPECT_GT(right, 1 + Width("*****") - 2);
}

TEST_F(TextContentTest, MeasuringCountsLines) {
  View.Value = "one two three four five six seven eight";
  View.VertAlignment = vaWordWrap;
  View.CalcOnly = true;
  View.Margins = Rect(0, 1, 0, 0);
  EXPECT_TRUE(DrawTextEditContent(Surface.DC(), Rect(0, 0, 60, 20), &View, false));
  EXPECT_EQ(Surface.Color(0, 0), RGB(0, 255, 0)) << "measuring paints nothing";
  TEXTMETRICA metrics{};
  HGDIOBJ old = SelectObject(Surface.DC(), Font.Get());
  GetTextMetricsA(Surface.DC(), &metrics);
  RECT r = Rect(1, 2, 59, 19);
  const std::string text = VarToStr(View.Value);
  const int height = DrawTextA(Surface.DC(), text.c_str(), int(text.size()), &r,
                               DT_CALCRECT | DT_WORDBREAK | DT_EXPANDTABS | DT_NOPREFIX);
  SelectObject(Surface.DC(), old);
  EXPECT_EQ(View.LineHeight, metrics.tmHeight);
  // The height the fill rectangle needs, less the top inset and 2.
  EXPECT_EQ(View.TextHeight, 20 - 17 + height - 3);
  EXPECT_EQ(View.LineCount, View.TextHeight / View.LineHeight);
  EXPECT_GE(View.LineCount, 2);
}

}  // namespace
