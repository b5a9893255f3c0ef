// The shared drawing routines: the checkerboard brush and overlay, bitmap and
// image-list drawing with the transparent colour replaced, the shadow, popup placement
// on the monitors of a test provider, and the text painter's two paths, each compared
// with the same GDI calls made directly. Every routine must leave the DC as it was.
#include <gtest/gtest.h>

#include <memory>

#include "classlib/Bitmap.h"
#include "classlib/Forms.h"
#include "classlib/GdiHandles.h"
#include "classlib/ImageList.h"
#include "editors/DxUtils.h"
#include "tests/support/TestSupport.h"

namespace {

// The parts of a DC's state the routines touch.
struct TDCState {
  COLORREF TextColor, BkColor;
  int BkMode, Rop2;
  HGDIOBJ Brush, Font, Pen, Bitmap;
  POINT BrushOrigin;

  static TDCState Of(HDC dc) {
    TDCState s{};
    s.TextColor = GetTextColor(dc);
    s.BkColor = GetBkColor(dc);
    s.BkMode = GetBkMode(dc);
    s.Rop2 = GetROP2(dc);
    s.Brush = GetCurrentObject(dc, OBJ_BRUSH);
    s.Font = GetCurrentObject(dc, OBJ_FONT);
    s.Pen = GetCurrentObject(dc, OBJ_PEN);
    s.Bitmap = GetCurrentObject(dc, OBJ_BITMAP);
    GetBrushOrgEx(dc, &s.BrushOrigin);
    return s;
  }
  bool operator==(const TDCState& o) const {
    return TextColor == o.TextColor && BkColor == o.BkColor && BkMode == o.BkMode && Rop2 == o.Rop2 &&
           Brush == o.Brush && Font == o.Font && Pen == o.Pen && Bitmap == o.Bitmap &&
           BrushOrigin.x == o.BrushOrigin.x && BrushOrigin.y == o.BrushOrigin.y;
  }
};

// A surface whose DC carries an unusual state, so that a routine that leaves its own
// settings behind is caught.
class TStatefulSurface : public TDibSurface {
 public:
  TStatefulSurface(int width, int height) : TDibSurface(width, height), FBrush(CreateSolidBrush(RGB(9, 8, 7))) {
    SetTextColor(DC(), RGB(0x12, 0x34, 0x56));
    SetBkColor(DC(), RGB(0x65, 0x43, 0x21));
    SetBkMode(DC(), OPAQUE);
    SelectObject(DC(), FBrush.Get());
    SelectObject(DC(), GetStockObject(ANSI_FIXED_FONT));
  }
  ~TStatefulSurface() {
    SelectObject(DC(), GetStockObject(WHITE_BRUSH));
    SelectObject(DC(), GetStockObject(SYSTEM_FONT));
  }
  void FillByRule() {
    for (int y = 0; y < Height(); ++y)
      for (int x = 0; x < Width(); ++x)
        SetPixelV(DC(), x, y, RuleColor(x, y));
  }
  static COLORREF RuleColor(int x, int y) { return RGB(10 + x * 7 % 200, 20 + y * 11 % 200, 90); }

 private:
  TBrushHandle FBrush;
};

void ExpectSameSurface(const TDibSurface& actual, const TDibSurface& expected) {
  int differing = 0;
  for (int y = 0; y < actual.Height(); ++y)
    for (int x = 0; x < actual.Width(); ++x)
      if (actual.Color(x, y) != expected.Color(x, y) && ++differing <= 5)
        ADD_FAILURE() << "pixel (" << x << ", " << y << "): " << std::hex << actual.Color(x, y) << " instead of "
                      << expected.Color(x, y);
  EXPECT_EQ(differing, 0);
}

bool Inside(const TRect& r, int x, int y) { return x >= r.left && x < r.right && y >= r.top && y < r.bottom; }

TEST(CheckerboardBrushTest, IsBlackWhereBothCoordinatesShareTheirParity) {
  ASSERT_NE(CheckerboardBrush(), nullptr);
  TDibSurface surface(16, 16);
  SelectObject(surface.DC(), CheckerboardBrush());
  SetTextColor(surface.DC(), RGB(0, 0, 0));
  SetBkColor(surface.DC(), RGB(255, 255, 255));
  PatBlt(surface.DC(), 0, 0, 16, 16, PATCOPY);
  SelectObject(surface.DC(), GetStockObject(WHITE_BRUSH));
  for (int y = 0; y < 16; ++y)
    for (int x = 0; x < 16; ++x)
      ASSERT_EQ(surface.Color(x, y), (x + y) % 2 == 0 ? RGB(0, 0, 0) : RGB(255, 255, 255)) << x << "," << y;
}

TEST(CheckerboardBrushTest, RepeatedStartUpKeepsOneBrushUntilTheLastShutDown) {
  HBRUSH brush = CheckerboardBrush();
  InitializeDxUtils();
  EXPECT_EQ(CheckerboardBrush(), brush);
  FinalizeDxUtils();
  EXPECT_EQ(CheckerboardBrush(), brush);
}

// Overlay at an odd offset: the memory pass used its own brush origin and was off by one.
TEST(DrawCheckerOverlayTest, ColoursEverySecondPixelAndKeepsTheOthersAtAnyOffset) {
  for (const TRect rect : {Rect(2, 4, 12, 11), Rect(3, 4, 14, 9), Rect(0, 0, 20, 16)}) {
    TStatefulSurface surface(20, 16);
    surface.FillByRule();
    const TDCState before = TDCState::Of(surface.DC());
    DrawCheckerOverlay(surface.DC(), rect, clRed);
    EXPECT_TRUE(TDCState::Of(surface.DC()) == before);
    for (int y = 0; y < 16; ++y)
      for (int x = 0; x < 20; ++x) {
        const bool coloured = Inside(rect, x, y) && (x + y) % 2 == 0;
        ASSERT_EQ(surface.Color(x, y), coloured ? RGB(255, 0, 0) : TStatefulSurface::RuleColor(x, y))
            << x << "," << y << " in rect at " << rect.left << "," << rect.top;
      }
  }
}

// A 6 x 4 bitmap: fuchsia (its transparent colour) where x == y, a colour by rule elsewhere.
std::unique_ptr<TBitmap> MakeBitmap() {
  auto bitmap = std::make_unique<TBitmap>();
  bitmap->SetSize(6, 4);
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 6; ++x)
      SetPixelV(bitmap->GetCanvas()->GetHandle(), x, y, x == y ? RGB(255, 0, 255) : RGB(40 * x, 50 * y, 30));
  bitmap->SetTransparentColor(clFuchsia);
  return bitmap;
}

COLORREF BitmapPixel(int x, int y, COLORREF brush) { return x == y ? brush : RGB(40 * x, 50 * y, 30); }

TEST(DrawBitmapTest, WithBackgroundReplacesTheTransparentColourAndDrawsNoMoreThanTheRect) {
  auto bitmap = MakeBitmap();
  TBrushHandle lime(CreateSolidBrush(RGB(0, 255, 0)));
  HDC bitmapDC = bitmap->GetCanvas()->GetHandle();
  const TDCState bitmapBefore = TDCState::Of(bitmapDC);
  for (const TRect rect : {Rect(3, 2, 13, 12), Rect(3, 2, 7, 5)}) {
    TStatefulSurface surface(16, 12);
    surface.FillByRule();
    const TDCState before = TDCState::Of(surface.DC());
    DrawBitmapWithBackground(surface.DC(), lime.Get(), rect, bitmap.get());
    EXPECT_TRUE(TDCState::Of(surface.DC()) == before);
    const TRect drawn{rect.left, rect.top, std::min<int>(rect.right, rect.left + 6), std::min<int>(rect.bottom, rect.top + 4)};
    for (int y = 0; y < 12; ++y)
      for (int x = 0; x < 16; ++x)
        ASSERT_EQ(surface.Color(x, y), Inside(drawn, x, y) ? BitmapPixel(x - rect.left, y - rect.top, RGB(0, 255, 0))
                                                           : TStatefulSurface::RuleColor(x, y))
            << x << "," << y;
  }
  EXPECT_TRUE(TDCState::Of(bitmapDC) == bitmapBefore);
  // The bitmap itself keeps its transparent pixels.
  EXPECT_EQ(GetPixel(bitmapDC, 1, 1), RGB(255, 0, 255));
}

TEST(DrawBitmapTest, InRectFillsTheRectAndPlacesTheBitmapAtItsOffset) {
  auto bitmap = MakeBitmap();
  TBrushHandle blue(CreateSolidBrush(RGB(0, 0, 255)));
  TStatefulSurface surface(20, 16);
  surface.FillByRule();
  const TRect rect = Rect(2, 3, 14, 13);
  const TRect bitmapRect = Bounds(5, 6, 6, 4);
  const TDCState before = TDCState::Of(surface.DC());
  DrawBitmapInRect(surface.DC(), blue.Get(), rect, bitmap.get(), bitmapRect);
  EXPECT_TRUE(TDCState::Of(surface.DC()) == before);
  for (int y = 0; y < 16; ++y)
    for (int x = 0; x < 20; ++x) {
      COLORREF expected = TStatefulSurface::RuleColor(x, y);
      if (Inside(bitmapRect, x, y))
        expected = BitmapPixel(x - bitmapRect.left, y - bitmapRect.top, RGB(0, 0, 255));
      else if (Inside(rect, x, y))
        expected = RGB(0, 0, 255);
      ASSERT_EQ(surface.Color(x, y), expected) << x << "," << y;
    }
}

// A pattern brush continues the target's pattern at any offset of the rectangle.
TEST(DrawBitmapTest, InRectAlignsAPatternBrushWithTheTarget) {
  TStatefulSurface surface(16, 12);
  surface.FillByRule();
  const TRect rect = Rect(3, 2, 12, 9);
  DrawBitmapInRect(surface.DC(), CheckerboardBrush(), rect, nullptr, rect);
  for (int y = rect.top; y < rect.bottom; ++y)
    for (int x = rect.left; x < rect.right; ++x)
      ASSERT_EQ(surface.Color(x, y), (x + y) % 2 == 0 ? RGB(0, 0, 0) : RGB(255, 255, 255)) << x << "," << y;
}

TEST(DrawBitmapTest, EnsureMinSizeGrowsButNeverShrinks) {
  TBitmap bitmap;
  bitmap.SetSize(10, 5);
  EnsureMinSize(&bitmap, 4, 8);
  EXPECT_EQ(bitmap.GetWidth(), 10);
  EXPECT_EQ(bitmap.GetHeight(), 8);
  EnsureMinSize(&bitmap, 12, 2);
  EXPECT_EQ(bitmap.GetWidth(), 12);
  EXPECT_EQ(bitmap.GetHeight(), 8);
}

TEST(DrawShadowTest, FillsTheBottomAndRightStrips) {
  TStatefulSurface surface(16, 16);
  surface.FillByRule();
  TBrushHandle black(CreateSolidBrush(RGB(0, 0, 0)));
  const TRect rect = Rect(2, 3, 12, 14);
  DrawShadow(surface.DC(), rect, 3, black.Get());
  for (int y = 0; y < 16; ++y)
    for (int x = 0; x < 16; ++x) {
      const bool shadow = Inside(rect, x, y) && (x >= 9 || y >= 11);
      ASSERT_EQ(surface.Color(x, y), shadow ? RGB(0, 0, 0) : TStatefulSurface::RuleColor(x, y)) << x << "," << y;
    }
}

TEST(ImageListTest, ColoursMapNoneAndDefaultToTheListConstants) {
  EXPECT_EQ(ImageListColor(clNone), CLR_NONE);
  EXPECT_EQ(ImageListColor(clDefault), CLR_DEFAULT);
  EXPECT_EQ(ImageListColor(clRed), RGB(255, 0, 0));
  EXPECT_EQ(ImageListColor(clBtnFace), GetSysColor(COLOR_BTNFACE));
}

TEST(ImageListTest, DrawsByTheListsStyleAndColoursAsTheListFunctionDoes) {
  TImageList list(nullptr, 6, 4);
  auto bitmap = MakeBitmap();
  {
    TStatefulSurface surface(12, 10);
    surface.FillByRule();
    DrawImageListImage(surface.DC(), 2, 3, &list, 0);  // no handle yet: nothing
    TStatefulSurface untouched(12, 10);
    untouched.FillByRule();
    ExpectSameSurface(surface, untouched);
  }
  ASSERT_EQ(list.AddMasked(bitmap.get(), clFuchsia), 0);
  list.SetBkColor(clYellow);
  struct TCase {
    TDrawingStyle Style;
    TImageType Type;
    UINT Expected;
  };
  for (const TCase& c : {TCase{dsNormal, itImage, ILD_NORMAL}, TCase{dsTransparent, itImage, ILD_TRANSPARENT},
                         TCase{dsNormal, itMask, ILD_MASK}}) {
    list.SetDrawingStyle(c.Style);
    list.SetImageType(c.Type);
    TStatefulSurface surface(12, 10), expected(12, 10);
    surface.FillByRule();
    expected.FillByRule();
    const TDCState before = TDCState::Of(surface.DC());
    DrawImageListImage(surface.DC(), 2, 3, &list, 0);
    EXPECT_TRUE(TDCState::Of(surface.DC()) == before);
    ImageList_DrawEx(list.GetHandle(), 0, expected.DC(), 2, 3, 0, 0, RGB(255, 255, 0), CLR_NONE, c.Expected);
    ExpectSameSurface(surface, expected);
  }
  // The normal style paints the transparent pixels in the list's background colour.
  list.SetDrawingStyle(dsNormal);
  list.SetImageType(itImage);
  TStatefulSurface surface(12, 10);
  surface.FillByRule();
  DrawImageListImage(surface.DC(), 2, 3, &list, 0);
  EXPECT_EQ(surface.Color(3, 4), RGB(255, 255, 0));
}

// Two monitors side by side; the right one's work area leaves a strip at the top.
class TTwoMonitors : public TMonitorProvider {
 public:
  bool Fail = false;
  HMONITOR FromPoint(const POINT& point, DWORD) override {
    if (Fail)
      return nullptr;
    return point.x < 800 ? kLeft : kRight;
  }
  bool GetInfo(HMONITOR monitor, MONITORINFO& info) override {
    if (monitor == kLeft) {
      info.rcMonitor = Rect(0, 0, 800, 600);
      info.rcWork = Rect(0, 0, 800, 570);
    } else {
      info.rcMonitor = Rect(800, 0, 1600, 600);
      info.rcWork = Rect(800, 30, 1600, 600);
    }
    return true;
  }
  static inline const HMONITOR kLeft = reinterpret_cast<HMONITOR>(0x1001);
  static inline const HMONITOR kRight = reinterpret_cast<HMONITOR>(0x1002);
};

class PlacePopupTest : public ::testing::Test {
 protected:
  void SetUp() override { FPrevious = SetMonitorProvider(&FMonitors); }
  void TearDown() override { SetMonitorProvider(FPrevious); }
  TPoint Place(int x, int y, int width, int height, int anchorHeight) {
    TPoint p{x, y};
    PlacePopup(p, width, height, anchorHeight);
    return p;
  }
  TTwoMonitors FMonitors;
  TMonitorProvider* FPrevious = nullptr;
};

TEST_F(PlacePopupTest, WorkAreaIsThatOfTheNearestMonitorOrThePrimaryOne) {
  TRect r{};
  GetWorkArea(Point(100, 100), r);
  EXPECT_TRUE(r == Rect(0, 0, 800, 570));
  GetWorkArea(Point(900, 100), r);
  EXPECT_TRUE(r == Rect(800, 30, 1600, 600));
  FMonitors.Fail = true;
  TRect primary{};
  SystemParametersInfoA(SPI_GETWORKAREA, 0, &primary, 0);
  GetWorkArea(Point(900, 100), r);
  EXPECT_TRUE(r == primary);
}

TEST_F(PlacePopupTest, KeepsThePopupInsideItsMonitorsWorkArea) {
  // Fits: unchanged.
  TPoint p = Place(100, 100, 200, 150, 20);
  EXPECT_EQ(p.x, 100);
  EXPECT_EQ(p.y, 100);
  // Too far right: its right edge on the work area's.
  p = Place(700, 100, 200, 150, 20);
  EXPECT_EQ(p.x, 600);
  // Left of the work area: on its left edge; on the right monitor, its own right edge.
  p = Place(-50, 100, 200, 150, 20);
  EXPECT_EQ(p.x, 0);
  p = Place(1500, 100, 200, 150, 20);
  EXPECT_EQ(p.x, 1400);
  // No room below, more above: opens above the anchor.
  p = Place(100, 500, 200, 150, 20);
  EXPECT_EQ(p.y, 500 - 170);
  // No room below and less above: stays below.
  p = Place(100, 200, 200, 400, 20);
  EXPECT_EQ(p.y, 200);
  // Equal room (right monitor: above 300 - 30 = 270, below 600 - (300 + 30) = 270): stays below.
  p = Place(900, 300, 200, 400, 30);
  EXPECT_EQ(p.y, 300);
}

// ---- DrawTextWithFlags -----------------------------------------------------------------

class DrawTextWithFlagsTest : public ::testing::Test {
 protected:
  DrawTextWithFlagsTest() : FBrush(CreateSolidBrush(RGB(0, 0, 200))) {
    LOGFONTA lf{};
    lf.lfHeight = -13;
    lstrcpyA(lf.lfFaceName, "Tahoma");
    FFont.Reset(CreateFontIndirectA(&lf));
  }
  // Draws with the routine on a fresh surface and answers it, checking the DC state.
  std::unique_ptr<TStatefulSurface> Draw(const char* text, const TRect& fill, const TRect& textRect, int flags,
                                         int* result = nullptr, int* lineHeight = nullptr) {
    auto surface = Fresh();
    const TDCState before = TDCState::Of(surface->DC());
    const int r = DrawTextWithFlags(surface->DC(), text, -1, fill, textRect, flags, FBrush.Get(), FFont.Get(),
                                    clWhite, clBlack, lineHeight);
    EXPECT_TRUE(TDCState::Of(surface->DC()) == before) << "flags " << std::hex << flags;
    if (result)
      *result = r;
    return surface;
  }
  std::unique_ptr<TStatefulSurface> Fresh() {
    auto surface = std::make_unique<TStatefulSurface>(120, 60);
    surface->FillByRule();
    return surface;
  }
  // A surface prepared for reference drawing: the font and the colours of the routine.
  std::unique_ptr<TStatefulSurface> Reference() {
    auto surface = Fresh();
    SelectObject(surface->DC(), FFont.Get());
    SetBkColor(surface->DC(), RGB(255, 255, 255));
    SetTextColor(surface->DC(), RGB(0, 0, 0));
    return surface;
  }
  SIZE Extent(const char* text) {
    auto surface = Reference();
    SIZE size{};
    GetTextExtentPoint32A(surface->DC(), text, lstrlenA(text), &size);
    return size;
  }
  TBrushHandle FBrush;
  TFontHandle FFont;
};

TEST_F(DrawTextWithFlagsTest, MeasureModeAnswersTheNeededHeightAndDrawsNothing) {
  const SIZE size = Extent("Hello");
  int result = 0, lineHeight = 0;
  auto surface = Draw("Hello", Rect(0, 0, 100, 30), Rect(2, 2, 98, 28), dtfCalcOnly | dtfVCenter, &result, &lineHeight);
  EXPECT_EQ(lineHeight, size.cy);
  EXPECT_EQ(result, 30 - 26 + size.cy);
  ExpectSameSurface(*surface, *Fresh());
  // Wrapped: the height of the wrapped lines as DrawText measures them.
  auto ref = Reference();
  TRect calc = Rect(2, 2, 40, 28);
  DrawTextA(ref->DC(), "one two three four", -1, &calc,
            DT_LEFT | DT_EXPANDTABS | DT_NOPREFIX | DT_WORDBREAK | DT_CALCRECT);
  surface = Draw("one two three four", Rect(0, 0, 42, 30), Rect(2, 2, 40, 28), dtfCalcOnly | dtfWordWrap, &result);
  EXPECT_EQ(result, 30 - 26 + RectHeight(calc));
  EXPECT_GT(RectHeight(calc), size.cy);
  ExpectSameSurface(*surface, *Fresh());
}

TEST_F(DrawTextWithFlagsTest, SingleLineTextIsPlacedByRuleWithExtTextOut) {
  const SIZE size = Extent("Hi");
  const TRect fill = Rect(4, 4, 110, 50);
  const TRect text = Rect(8, 6, 100, 46);
  struct TCase {
    int Flags;
    int X, Y;
  };
  for (const TCase& c : {TCase{dtfLeft | dtfTop, 8, 6}, TCase{dtfCenter | dtfVCenter, (108 - size.cx) / 2, (52 - size.cy) / 2},
                         TCase{dtfRight | dtfBottom, 100 - size.cx, 46 - size.cy}}) {
    auto surface = Draw("Hi", fill, text, c.Flags);
    auto ref = Reference();
    ExtTextOutA(ref->DC(), c.X, c.Y, ETO_OPAQUE | ETO_CLIPPED, &fill, "Hi", 2, nullptr);
    ExpectSameSurface(*surface, *ref);
  }
}

TEST_F(DrawTextWithFlagsTest, TooWideTextIsClippedAtTheTextRectAndTheRestFilled) {
  const TRect fill = Rect(0, 0, 60, 20);
  const TRect text = Rect(2, 2, 40, 18);
  auto surface = Draw("A rather long text for the cell", fill, text, dtfLeft);
  auto ref = Reference();
  const TRect rest = Rect(40, 0, 60, 20);
  FillRect(ref->DC(), &rest, FBrush.Get());
  const TRect clip = Rect(0, 0, 40, 20);
  ExtTextOutA(ref->DC(), 2, 2, ETO_OPAQUE | ETO_CLIPPED, &clip, "A rather long text for the cell", 31, nullptr);
  ExpectSameSurface(*surface, *ref);
  EXPECT_EQ(surface->Color(50, 10), RGB(0, 0, 200));
}

TEST_F(DrawTextWithFlagsTest, LineBreaksGoThroughDrawTextOnlyWithAWrapOrEllipsisFlag) {
  const TRect fill = Rect(0, 0, 100, 50);
  const TRect text = Rect(2, 2, 98, 48);
  const char* twoLines = "ab\ncd";
  // Word-wrapped: DrawText fills, then draws transparently on two lines.
  auto surface = Draw(twoLines, fill, text, dtfWordWrap);
  auto ref = Reference();
  FillRect(ref->DC(), &fill, FBrush.Get());
  SetBkMode(ref->DC(), TRANSPARENT);
  TRect r = text;
  DrawTextA(ref->DC(), twoLines, -1, &r, DT_LEFT | DT_EXPANDTABS | DT_NOPREFIX | DT_WORDBREAK);
  ExpectSameSurface(*surface, *ref);
  // Without those flags: one line through ExtTextOut.
  surface = Draw(twoLines, fill, text, dtfLeft);
  ref = Reference();
  ExtTextOutA(ref->DC(), 2, 2, ETO_OPAQUE | ETO_CLIPPED, &fill, twoLines, 5, nullptr);
  ExpectSameSurface(*surface, *ref);
}

TEST_F(DrawTextWithFlagsTest, NoFillLeavesTheBackgroundAndKeepBkModeUsesTheDCsMode) {
  const TRect fill = Rect(0, 0, 100, 30);
  const TRect text = Rect(2, 2, 98, 28);
  auto surface = Draw("Hi", fill, text, dtfNoFill);
  auto ref = Reference();
  SetBkMode(ref->DC(), TRANSPARENT);
  ExtTextOutA(ref->DC(), 2, 2, ETO_CLIPPED, &fill, "Hi", 2, nullptr);
  ExpectSameSurface(*surface, *ref);
  // Keeping the DC's opaque mode paints the text cell in the background colour.
  surface = Draw("Hi", fill, text, dtfNoFill | dtfKeepBkMode);
  ref = Reference();
  ExtTextOutA(ref->DC(), 2, 2, ETO_CLIPPED, &fill, "Hi", 2, nullptr);
  ExpectSameSurface(*surface, *ref);
}

TEST_F(DrawTextWithFlagsTest, FocusRectangleSurroundsTheTextRectOrTheTextItself) {
  const TRect fill = Rect(0, 0, 100, 30);
  const TRect text = Rect(4, 4, 96, 26);
  const SIZE size = Extent("Hi");
  // The text at the text rect's corner, then the focus rectangle (if any) as the routine draws it.
  auto expect = [&](const char* s, const TRect* focus) {
    auto ref = Reference();
    ExtTextOutA(ref->DC(), 4, 4, ETO_OPAQUE | ETO_CLIPPED, &fill, s, lstrlenA(s), nullptr);
    if (focus) {
      SetBkColor(ref->DC(), RGB(0, 0, 0));
      SetTextColor(ref->DC(), RGB(255, 255, 255));
      DrawFocusRect(ref->DC(), focus);
    }
    return ref;
  };
  const TRect aroundRect = Rect(3, 3, 97, 27);
  ExpectSameSurface(*Draw("Hi", fill, text, dtfFocusRect), *expect("Hi", &aroundRect));
  // Following the text: around the drawn text only, and none for an empty text.
  const TRect aroundText = Rect(3, 3, 4 + size.cx + 1, 4 + size.cy + 1);
  ExpectSameSurface(*Draw("Hi", fill, text, dtfFocusRect | dtfFocusOnText), *expect("Hi", &aroundText));
  ExpectSameSurface(*Draw("", fill, text, dtfFocusRect | dtfFocusOnText), *expect("", nullptr));
}

TEST(DrawSizeGrip, EachCornerGetsItsStripsAndTheMirroredSystemGrip) {
  const int cx = GetSystemMetrics(SM_CXVSCROLL), cy = GetSystemMetrics(SM_CYHSCROLL);
  const int w = cx - 2, h = cy - 2;
  // The system's grip for the bottom-right corner, drawn by the same call.
  TDibSurface grip(w, h);
  RECT whole{0, 0, w, h};
  DrawFrameControl(grip.DC(), &whole, DFC_SCROLL, DFCS_SCROLLSIZEGRIP);
  const COLORREF face = GetSysColor(COLOR_BTNFACE), fill = RGB(1, 2, 3);
  const TRect area{10, 10, 110, 60};
  for (int corner = sgTopLeft; corner <= sgBottomRight; ++corner) {
    const bool left = corner == sgTopLeft || corner == sgBottomLeft;
    const bool top = corner == sgTopLeft || corner == sgTopRight;
    TStatefulSurface surface(120, 70);
    surface.Fill(fill);
    const TDCState before = TDCState::Of(surface.DC());
    TRect r = area;
    DrawSizeGrip(surface.DC(), r, corner);
    EXPECT_TRUE(TDCState::Of(surface.DC()) == before) << "corner " << corner;
    const TRect expected{left ? area.left : area.right - cx, top ? area.top : area.bottom - cy,
                         left ? area.left + cx : area.right, top ? area.top + cy : area.bottom};
    ASSERT_TRUE(EqualRect(&r, &expected)) << "corner " << corner;
    int wrong = 0;
    for (int y = 0; y < 70; ++y)
      for (int x = 0; x < 120; ++x) {
        COLORREF want = fill;
        if (PtInRect(&r, POINT{x, y})) {
          const int gx = x - r.left - (left ? 2 : 0), gy = y - r.top - (top ? 2 : 0);
          const bool strip = gx < 0 || gy < 0 || gx >= w || gy >= h;
          want = strip ? face : grip.Color(left ? w - 1 - gx : gx, top ? h - 1 - gy : gy);
        }
        wrong += surface.Color(x, y) != want;
      }
    EXPECT_EQ(wrong, 0) << "corner " << corner;
  }
}

}  // namespace
