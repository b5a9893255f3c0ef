// The date popup: its metrics and size from the font, the visible days, the keys and
// mouse that move and take the selection, the "Today" and "Clear" buttons, the month
// arrows' repeat, the month list, and its pixels (today's frame, the selected day, the
// greyed days of the months around, the week-day letters) against the same GDI calls.
#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "classlib/FormatSettings.h"
#include "classlib/GdiHandles.h"
#include "classlib/SysUtils.h"
#include "editors/DxGrDate.h"
#include "editors/DxGridDatePopup.h"
#include "editors/DxMonthListBox.h"
#include "tests/editors/EditorsTestSupport.h"

namespace {

constexpr LPARAM kAltDown = 0x20000000;

// A popup that notes when its arrow timers fire.
class TTickingPopup : public TdxGridDatePopup {
  KIVO_CLASS(TTickingPopup, TdxGridDatePopup)
 public:
  using TdxGridDatePopup::TdxGridDatePopup;
  std::vector<DWORD> ArrowTicks;
  void Dispatch(TMessage& message) override {
    if (message.Msg == WM_TIMER && (message.WParam == 1 || message.WParam == 2))
      ArrowTicks.push_back(GetTickCount());
    inherited::Dispatch(message);
  }
};

// Holds the Ctrl key down in the thread's key state for a scope.
class TCtrlHeld {
 public:
  TCtrlHeld() {
    GetKeyboardState(FSaved);
    BYTE state[256];
    GetKeyboardState(state);
    state[VK_CONTROL] = 0x80;
    SetKeyboardState(state);
  }
  ~TCtrlHeld() { SetKeyboardState(FSaved); }

 private:
  BYTE FSaved[256];
};

TDateTime Day(int year, int month, int day) { return EncodeDate(year, month, day); }

class DxGridDatePopupTest : public FormTest {
 protected:
  void SetUp() override {
    FormTest::SetUp();
    SavedStartOfWeek = StartOfWeek;
    StartOfWeek = 0;
    Popup = new TTickingPopup(Form);
    Popup->SetVisible(false);
    Popup->SetBounds(620, 380, 20, 20);
    Popup->OnDateClick = TNotifyEvent::Bind<&DxGridDatePopupTest::Clicked>(this);
    Popup->HandleNeeded();
  }
  void TearDown() override {
    StartOfWeek = SavedStartOfWeek;
    FormTest::TearDown();
  }
  void Clicked(TObject*) { ++Clicks; }
  void Show(TDateTime selected) {
    Popup->SetDate(selected);
    Popup->SetSelStart(selected);
    Popup->ShowPopup();
    PumpPending();
  }
  bool Visible() { return IsWindowVisible(Popup->GetHandle()) != 0; }
  LRESULT Key(WORD key, LPARAM keyData = 0) {
    return SendMessageA(Popup->GetHandle(), (keyData & kAltDown) ? WM_SYSKEYDOWN : WM_KEYDOWN, key, keyData);
  }
  static TPoint Centre(const TRect& r) { return TPoint{(r.left + r.right) / 2, (r.top + r.bottom) / 2}; }
  void Mouse(UINT msg, const TPoint& p, WPARAM keys = MK_LBUTTON) {
    SendMessageA(Popup->GetHandle(), msg, keys, MAKELPARAM(WORD(short(p.x)), WORD(short(p.y))));
  }
  void Click(const TPoint& p) {
    Mouse(WM_LBUTTONDOWN, p);
    Mouse(WM_LBUTTONUP, p, 0);
  }
  TPoint CellOf(TDateTime date) {
    const int offset = int(date - Popup->GetFirstDate());
    return Centre(Popup->GetDayCellRect(offset % 7, offset / 7));
  }
  // The popup's client area as its WM_PAINT draws it.
  void Render(TDibSurface& surface) {
    surface.Fill(RGB(1, 2, 3));
    SendMessageA(Popup->GetHandle(), WM_PAINT, reinterpret_cast<WPARAM>(surface.DC()), 0);
  }
  // Every pixel of `r` equal in both surfaces.
  static void ExpectSamePixels(const TDibSurface& actual, const TDibSurface& expected, const TRect& r,
                               const char* what) {
    int differences = 0;
    for (int y = r.top; y < r.bottom; ++y)
      for (int x = r.left; x < r.right; ++x)
        differences += actual.Color(x, y) != expected.Color(x, y);
    EXPECT_EQ(differences, 0) << what;
  }

  TTickingPopup* Popup = nullptr;
  int Clicks = 0;
  uint8_t SavedStartOfWeek = 0;
};

TEST_F(DxGridDatePopupTest, MetricsFollowTheFontAndSizeTheWindow) {
  TMemoryDC dc;
  TSelectGuard font(dc, Popup->GetFont()->GetHandle());
  SIZE zero{}, wg{}, today{}, clear{};
  GetTextExtentPoint32A(dc, "0", 1, &zero);
  GetTextExtentPoint32A(dc, "Wg", 2, &wg);
  GetTextExtentPoint32A(dc, "Today", 5, &today);
  GetTextExtentPoint32A(dc, "Clear", 5, &clear);
  EXPECT_EQ(Popup->GetColWidth(), 3 * zero.cx);
  EXPECT_EQ(Popup->GetSideWidth(), 2 * zero.cx);
  EXPECT_EQ(Popup->GetRowHeight(), zero.cy + 2);
  EXPECT_EQ(Popup->GetHeaderHeight(), zero.cy + 2 + 2 + 1) << "flat";
  EXPECT_EQ(Popup->GetDaysOfWeekHeight(), zero.cy + 3);
  EXPECT_EQ(Popup->GetTodayButtonWidth(), today.cx + 3 * zero.cx);
  EXPECT_EQ(Popup->GetClearButtonWidth(), clear.cx + 3 * zero.cx);
  const int size = Popup->GetFont()->GetSize();
  EXPECT_EQ(Popup->GetButtonHeight(), MulDiv(wg.cy, 20, 13));
  EXPECT_EQ(Popup->GetButtonsAreaHeight(), size * 3 / 4 + size / 2 + MulDiv(wg.cy, 20, 13));

  const int gridHeight = Popup->GetHeaderHeight() + Popup->GetDaysOfWeekHeight() + 6 * Popup->GetRowHeight() + 1;
  EXPECT_EQ(Popup->GetClientWidth(), 2 * Popup->GetSideWidth() + 7 * Popup->GetColWidth());
  EXPECT_EQ(Popup->GetClientHeight(), gridHeight + Popup->GetButtonsAreaHeight());
  Popup->SetShowToday(false);
  EXPECT_EQ(Popup->GetClientHeight(), gridHeight) << "no buttons, no button strip";

  // Both buttons share the free width in equal gaps.
  Popup->SetShowToday(true);
  Popup->SetShowClear(true);
  const TRect t = Popup->GetTodayButtonRect(), c = Popup->GetClearButtonRect();
  const int w = Popup->GetClientWidth();
  EXPECT_EQ(t.left, w - c.right);
  EXPECT_NEAR(c.left - t.right, t.left, 2);
  EXPECT_EQ(t.top, Popup->GetClientHeight() - Popup->GetButtonsAreaHeight() + Popup->GetButtonsOffset());
  EXPECT_EQ(RectHeight(t), Popup->GetButtonHeight());

  // The frame and shadow come on top of the client area.
  Popup->SetPopupBorder(pbFrame3D);
  Popup->SetShadow(true);
  Popup->HandleNeeded();
  EXPECT_EQ(Popup->GetWidth(), 2 * Popup->GetSideWidth() + 7 * Popup->GetColWidth() + 8 + 2);
  Popup->SetFlat(false);
  EXPECT_EQ(Popup->GetHeaderHeight(), zero.cy + 2 + 2);
  EXPECT_EQ(Popup->GetGridRect().top, Popup->GetHeaderHeight() + 1) << "a line under the raised header";
}

TEST_F(DxGridDatePopupTest, FortyTwoDaysFromTheWeekOfTheFirst) {
  Popup->SetDate(Day(2024, 3, 15) + 0.5);
  EXPECT_EQ(Popup->GetDate(), Day(2024, 3, 1));
  EXPECT_EQ(Popup->GetFirstDate(), Day(2024, 2, 25)) << "March 1st 2024 is a Friday";
  EXPECT_EQ(Popup->GetLastDate(), Day(2024, 4, 6));
  EXPECT_EQ(Popup->GetMonthEnd(), Day(2024, 3, 31));
  Popup->SetDate(Day(2024, 9, 1));
  EXPECT_EQ(Popup->GetFirstDate(), Day(2024, 8, 25)) << "a month starting in the first column shows the week before";
  StartOfWeek = 1;
  EXPECT_EQ(Popup->GetFirstDate(), Day(2024, 8, 26));
  Popup->SetDate(Day(2024, 4, 1));
  EXPECT_EQ(Popup->GetFirstDate(), Day(2024, 3, 25)) << "April 1st 2024 is a Monday";

  // The cells hold the days row by row; elsewhere there is no date.
  EXPECT_EQ(Popup->DateAtPoint(Centre(Popup->GetDayCellRect(0, 0))), Day(2024, 3, 25));
  EXPECT_EQ(Popup->DateAtPoint(Centre(Popup->GetDayCellRect(6, 5))), Day(2024, 5, 5));
  EXPECT_EQ(Popup->DateAtPoint(Centre(Popup->GetDayCellRect(2, 1))), Day(2024, 4, 3));
  EXPECT_EQ(Popup->DateAtPoint(Centre(Popup->GetMonthNameRect())), NullDate);
  const TRect grid = Popup->GetGridRect();
  EXPECT_EQ(Popup->DateAtPoint(TPoint{grid.left + 1, grid.top + 2}), NullDate) << "the week-day row";
  EXPECT_EQ(Popup->DateAtPoint(TPoint{-1, grid.bottom - 5}), NullDate);
}

TEST_F(DxGridDatePopupTest, KeysMoveTheSelectionAcrossMonths) {
  Show(Day(2024, 1, 31));
  Key(VK_NEXT);
  EXPECT_EQ(Popup->GetSelStart(), Day(2024, 2, 29)) << "the day is cut to February's length";
  EXPECT_EQ(Popup->GetDate(), Day(2024, 2, 1)) << "the month of the selection is shown";
  Key(VK_NEXT);
  EXPECT_EQ(Popup->GetSelStart(), Day(2024, 3, 29));
  Popup->SetSelStart(Day(2023, 1, 31));
  Key(VK_NEXT);
  EXPECT_EQ(Popup->GetSelStart(), Day(2023, 2, 28));
  Popup->SetSelStart(Day(2024, 3, 31));
  Key(VK_PRIOR);
  EXPECT_EQ(Popup->GetSelStart(), Day(2024, 2, 29));

  Popup->SetSelStart(Day(2024, 3, 13));  // a Wednesday
  Key(VK_LEFT);
  EXPECT_EQ(Popup->GetSelStart(), Day(2024, 3, 12));
  Key(VK_RIGHT);
  Key(VK_DOWN);
  EXPECT_EQ(Popup->GetSelStart(), Day(2024, 3, 20));
  Key(VK_UP);
  Key(VK_UP);
  EXPECT_EQ(Popup->GetSelStart(), Day(2024, 3, 6));
  Key(VK_HOME);
  EXPECT_EQ(Popup->GetSelStart(), Day(2024, 3, 3)) << "Sunday starts the week";
  Key(VK_END);
  EXPECT_EQ(Popup->GetSelStart(), Day(2024, 3, 9));
  StartOfWeek = 1;
  Key(VK_HOME);
  EXPECT_EQ(Popup->GetSelStart(), Day(2024, 3, 4)) << "Monday starts the week";
  {
    TCtrlHeld ctrl;
    Key(VK_END);
    EXPECT_EQ(Popup->GetSelStart(), Day(2024, 3, 31));
    Key(VK_HOME);
    EXPECT_EQ(Popup->GetSelStart(), Day(2024, 3, 1));
  }
  Key(VK_LEFT);
  EXPECT_EQ(Popup->GetDate(), Day(2024, 3, 1)) << "February 29th is still in view";
  Key(VK_UP);
  EXPECT_EQ(Popup->GetSelStart(), Day(2024, 2, 22));
  EXPECT_EQ(Popup->GetDate(), Day(2024, 2, 1));
  EXPECT_EQ(Clicks, 0);
  EXPECT_TRUE(Visible());
}

TEST_F(DxGridDatePopupTest, EnterClicksWhileEscapeF4AndAltArrowsOnlyHide) {
  for (auto [key, keyData] : {std::pair<WORD, LPARAM>{VK_ESCAPE, 0}, {VK_F4, 0}, {VK_DOWN, kAltDown},
                              {VK_UP, kAltDown}}) {
    Show(Day(2024, 3, 13));
    Key(key, keyData);
    EXPECT_FALSE(Visible()) << key;
    EXPECT_EQ(Popup->GetSelStart(), Day(2024, 3, 13));
  }
  EXPECT_EQ(Clicks, 0);
  Show(Day(2024, 3, 13));
  Key(VK_RETURN);
  EXPECT_FALSE(Visible());
  EXPECT_EQ(Clicks, 1);
}

TEST_F(DxGridDatePopupTest, ClickOnADaySelectsItHidesAndClicks) {
  Show(Day(2024, 3, 13));
  const TDateTime nextMonth = Popup->GetLastDate();
  Click(CellOf(nextMonth));
  EXPECT_EQ(Popup->GetSelStart(), nextMonth) << "the greyed days can be picked too";
  EXPECT_FALSE(Visible());
  EXPECT_EQ(Clicks, 1);

  // Dragging moves the one selected date; leaving the control returns to the date
  // selected before the press, and a release outside neither hides nor clicks.
  Show(Day(2024, 3, 13));
  Mouse(WM_LBUTTONDOWN, CellOf(Day(2024, 3, 5)));
  EXPECT_EQ(Popup->GetAnchorDate(), Day(2024, 3, 13));
  Mouse(WM_MOUSEMOVE, CellOf(Day(2024, 3, 20)));
  EXPECT_EQ(Popup->GetSelStart(), Day(2024, 3, 20));
  EXPECT_EQ(Popup->GetSelFinish(), Day(2024, 3, 20));
  Mouse(WM_MOUSEMOVE, TPoint{-20, -20});
  EXPECT_EQ(Popup->GetSelStart(), Day(2024, 3, 13));
  Mouse(WM_LBUTTONUP, TPoint{-20, -20}, 0);
  EXPECT_TRUE(Visible());
  EXPECT_EQ(Clicks, 1);
}

TEST_F(DxGridDatePopupTest, TodayAndClearButtonsTakeEffectOnReleaseOverThem) {
  Popup->SetShowClear(true);
  Show(Day(2024, 3, 13));
  Click(Centre(Popup->GetTodayButtonRect()));
  EXPECT_EQ(Popup->GetSelStart(), ::Date());
  EXPECT_FALSE(Visible());
  EXPECT_EQ(Clicks, 1);

  Show(Day(2024, 3, 13));
  Click(Centre(Popup->GetClearButtonRect()));
  EXPECT_EQ(Popup->GetSelStart(), NullDate);
  EXPECT_FALSE(Visible());
  EXPECT_EQ(Clicks, 2);

  // Released away from the button: nothing happens.
  Show(Day(2024, 3, 13));
  const TRect today = Popup->GetTodayButtonRect();
  Mouse(WM_LBUTTONDOWN, Centre(today));
  EXPECT_TRUE(Popup->GetTodayDown());
  const TPoint away{today.left - 3, today.top + 2};
  Mouse(WM_MOUSEMOVE, away);
  EXPECT_FALSE(Popup->GetTodayDown());
  EXPECT_TRUE(Popup->GetTodayTracking());
  Mouse(WM_LBUTTONUP, away, 0);
  EXPECT_TRUE(Visible());
  EXPECT_EQ(Popup->GetSelStart(), Day(2024, 3, 13));
  EXPECT_FALSE(Popup->GetTodayTracking());
  EXPECT_EQ(Clicks, 2);
}

TEST_F(DxGridDatePopupTest, HeldArrowTurnsAMonthEvery170Milliseconds) {
  Show(Day(2024, 3, 13));
  const TPoint next = Centre(Popup->GetNextArrowRect());
  const TPoint onScreen = Popup->ClientToScreen(next);
  ASSERT_TRUE(SettlePointerAt(onScreen.x, onScreen.y));
  Mouse(WM_LBUTTONDOWN, next);
  EXPECT_EQ(Popup->GetDate(), Day(2024, 4, 1)) << "a month at once";
  EXPECT_EQ(Popup->GetArrowTimer(), TdxGridDatePopup::NextArrowTimer);
  // The real timer: wait for its messages.
  ASSERT_TRUE(PumpUntil([&] { return Popup->ArrowTicks.size() >= 3; }));
  EXPECT_EQ(Popup->GetDate(), Day(2024, 7, 1));
  for (size_t i = 1; i < Popup->ArrowTicks.size(); ++i) {
    const DWORD interval = Popup->ArrowTicks[i] - Popup->ArrowTicks[i - 1];
    EXPECT_GE(interval, 150u);
    EXPECT_LE(interval, 400u) << "timer jitter";
  }
  // Off the arrow the timer runs on but turns nothing.
  const TPoint aside = Popup->ClientToScreen(Centre(Popup->GetMonthNameRect()));
  ASSERT_TRUE(SettlePointerAt(aside.x, aside.y));
  const TDateTime shown = Popup->GetDate();
  const size_t ticks = Popup->ArrowTicks.size();
  ASSERT_TRUE(PumpUntil([&] { return Popup->ArrowTicks.size() > ticks; }));
  EXPECT_EQ(Popup->GetDate(), shown);
  Mouse(WM_LBUTTONUP, next, 0);
  EXPECT_EQ(Popup->GetArrowTimer(), 0);
  EXPECT_FALSE(KillTimer(Popup->GetHandle(), TdxGridDatePopup::NextArrowTimer)) << "the release stopped it";
  EXPECT_TRUE(Visible()) << "releasing an arrow does not hide";
  EXPECT_EQ(Clicks, 0);

  Mouse(WM_LBUTTONDOWN, Centre(Popup->GetPrevArrowRect()));
  int year = DatePart(1, shown), month = DatePart(2, shown);
  DecMonth(year, month);
  EXPECT_EQ(Popup->GetDate(), Day(year, month, 1));
  EXPECT_EQ(Popup->GetArrowTimer(), TdxGridDatePopup::PrevArrowTimer);
  Popup->HidePopup();
  EXPECT_EQ(Popup->GetArrowTimer(), 0) << "hiding stops the timer";
  SetCursorPos(0, 0);
}

TEST_F(DxGridDatePopupTest, MonthListPicksAndScrollsMonths) {
  Show(Day(2024, 3, 13));
  Mouse(WM_LBUTTONDOWN, Centre(Popup->GetMonthNameRect()));
  TAMonthListBox* list = Popup->GetMonthList();
  ASSERT_NE(list, nullptr);
  EXPECT_TRUE(IsWindowVisible(list->GetHandle()));
  EXPECT_TRUE(GetWindowLongA(list->GetHandle(), GWL_EXSTYLE) & WS_EX_TOPMOST);
  EXPECT_EQ(list->GetTopDate(), Day(2023, 12, 1)) << "the shown month in the middle row";
  EXPECT_EQ(list->GetItemHeight(), Popup->GetHeaderHeight() - 2);
  EXPECT_EQ(list->GetWidth(), 2 * GetSystemMetrics(SM_CXBORDER) + 6 * Popup->GetColWidth());
  EXPECT_EQ(list->GetHeight(), 2 * GetSystemMetrics(SM_CYBORDER) + 7 * list->GetItemHeight());
  const TRect area = Popup->GetMonthNameRect();
  const TPoint a = Popup->ClientToScreen(TPoint{area.left, area.top});
  const TPoint b = Popup->ClientToScreen(TPoint{area.right, area.bottom});
  RECT placed{};
  GetWindowRect(list->GetHandle(), &placed);
  EXPECT_EQ(placed.left, (a.x + b.x - list->GetWidth()) / 2);
  EXPECT_EQ(placed.top, (a.y + b.y) / 2 - list->GetHeight() / 2);

  // The popup passes its captured moves on, in the list's coordinates.
  auto toPopup = [&](int x, int y) { return Popup->ScreenToClient(list->ClientToScreen(TPoint{x, y})); };
  const int row = list->GetItemHeight();
  Mouse(WM_MOUSEMOVE, toPopup(10, 4 * row + row / 2));
  EXPECT_EQ(list->GetSelected(), 4);
  const int bottom = list->GetClientHeight();
  for (auto [y, id] : {std::pair<int, int>{bottom, 6}, {bottom + 12, 7}, {bottom + 30, 8}, {bottom + 200, 9},
                       {-1, 4}, {-13, 3}, {-200, 1}}) {
    Mouse(WM_MOUSEMOVE, toPopup(10, y));
    EXPECT_EQ(list->GetSelected(), -1);
    EXPECT_EQ(list->GetScrollTimerId(), id) << "at " << y;
  }
  EXPECT_EQ(TAMonthListBox::ScrollInterval(1), 500u);
  EXPECT_EQ(TAMonthListBox::ScrollInterval(-2), 250u);
  EXPECT_EQ(TAMonthListBox::ScrollInterval(3), 100u);
  EXPECT_EQ(TAMonthListBox::ScrollInterval(4), 50u);
  SendMessageA(list->GetHandle(), WM_TIMER, 1, 0);
  EXPECT_EQ(list->GetTopDate(), Day(2023, 11, 1)) << "above the list: back";
  Mouse(WM_MOUSEMOVE, toPopup(10, bottom + 200));
  SendMessageA(list->GetHandle(), WM_TIMER, 9, 0);
  SendMessageA(list->GetHandle(), WM_TIMER, 9, 0);
  EXPECT_EQ(list->GetTopDate(), Day(2024, 1, 1)) << "below the list: on";
  Mouse(WM_MOUSEMOVE, toPopup(-30, 2 * row));
  EXPECT_EQ(list->GetScrollTimerId(), 9) << "beside the list nothing changes";
  Mouse(WM_MOUSEMOVE, toPopup(10, 2 * row + 1));
  EXPECT_EQ(list->GetScrollTimerId(), 0);
  EXPECT_EQ(list->GetSelected(), 2);

  Mouse(WM_LBUTTONUP, toPopup(10, 2 * row + 1), 0);
  EXPECT_EQ(Popup->GetMonthList(), nullptr);
  EXPECT_EQ(Popup->GetDate(), Day(2024, 3, 1));
  EXPECT_TRUE(Visible()) << "picking a month leaves the popup open";
  EXPECT_EQ(Popup->GetSelStart(), Day(2024, 3, 13));
  EXPECT_EQ(Clicks, 0);

  Mouse(WM_LBUTTONDOWN, Centre(Popup->GetMonthNameRect()));
  Mouse(WM_MOUSEMOVE, toPopup(10, 6 * row + 2));
  Mouse(WM_LBUTTONUP, toPopup(10, 6 * row + 2), 0);
  EXPECT_EQ(Popup->GetDate(), Day(2024, 6, 1));
}

TEST_F(DxGridDatePopupTest, TodaySelectionAndOtherMonthsLookAsDrawn) {
  StartOfWeek = 1;
  const TDateTime today = ::Date();
  const int day = DatePart(3, today);
  const TDateTime selected = today + (day == 15 ? 1 : 15 - day);
  Show(selected);
  Popup->SetDate(today);
  const int w = Popup->GetClientWidth(), h = Popup->GetClientHeight();
  TDibSurface actual(w, h), expected(w, h);
  Render(actual);
  expected.Fill(RGB(1, 2, 3));
  HDC dc = expected.DC();
  TSelectGuard font(dc, Popup->GetFont()->GetHandle());
  auto dayCell = [&](TDateTime date, bool isToday, COLORREF background, int textColor) {
    const int offset = int(date - Popup->GetFirstDate());
    const TRect cell = Popup->GetDayCellRect(offset % 7, offset / 7);
    TRect inner = cell;
    if (isToday) {
      TBrushHandle maroon(CreateSolidBrush(RGB(128, 0, 0)));
      FrameRect(dc, &cell, maroon.Get());
      InflateRect(&inner, -1, -1);
    }
    const std::string text = IntToStr(DatePart(3, date));
    SIZE size{};
    GetTextExtentPoint32A(dc, text.c_str(), int(text.size()), &size);
    SetBkColor(dc, background);
    SetTextColor(dc, GetSysColor(textColor));
    ExtTextOutA(dc, cell.right - 3 - size.cx, cell.top + (Popup->GetRowHeight() - size.cy) / 2, ETO_OPAQUE, &inner,
                text.c_str(), UINT(text.size()), nullptr);
    return cell;
  };
  const TRect todayCell = dayCell(today, true, GetSysColor(COLOR_WINDOW), COLOR_WINDOWTEXT);
  const TRect selectedCell = dayCell(selected, false, GetSysColor(COLOR_BTNFACE), COLOR_BTNTEXT);
  const TRect greyCell = dayCell(Popup->GetFirstDate(), false, GetSysColor(COLOR_WINDOW), COLOR_GRAYTEXT);
  ExpectSamePixels(actual, expected, todayCell, "today's maroon frame");
  ExpectSamePixels(actual, expected, selectedCell, "the selected day of a flat calendar");
  ExpectSamePixels(actual, expected, greyCell, "a greyed day of the month before");
  EXPECT_EQ(actual.Color(todayCell.left, todayCell.top), RGB(128, 0, 0));

  // The first letter column is Monday's with a Monday start.
  const TRect grid = Popup->GetGridRect();
  const TRect letterCell = Rect(Popup->GetSideWidth(), grid.top, Popup->GetSideWidth() + Popup->GetColWidth(),
                                grid.top + Popup->GetRowHeight() - 1);
  SetBkColor(dc, GetSysColor(COLOR_WINDOW));
  ExtTextOutA(dc, 0, 0, ETO_OPAQUE, &letterCell, nullptr, 0, nullptr);
  SIZE size{};
  const std::string monday = FormatSettings.ShortDayNames[1].substr(0, 1);
  GetTextExtentPoint32A(dc, monday.c_str(), 1, &size);
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
  ExtTextOutA(dc, letterCell.right - 3 - size.cx, letterCell.top + (RectHeight(letterCell) - size.cy) / 2, 0, nullptr,
              monday.c_str(), 1, nullptr);
  SetBkMode(dc, OPAQUE);
  ExpectSamePixels(actual, expected, letterCell, "the Monday letter first");

  // Raised, the selection takes the highlight colour.
  Popup->SetFlat(false);
  TDibSurface raised(Popup->GetClientWidth(), Popup->GetClientHeight());
  Render(raised);
  const TRect raisedCell = dayCell(selected, false, GetSysColor(COLOR_HIGHLIGHT), COLOR_HIGHLIGHTTEXT);
  ExpectSamePixels(raised, expected, raisedCell, "the selected day of a raised calendar");
}

}  // namespace

namespace {

// The relative luminance of a colour and the contrast of two, by the rule of the web's
// accessibility guidelines (4.5:1 or more reads as body text).
double Luminance(COLORREF color) {
  auto linear = [](int channel) {
    const double v = channel / 255.0;
    return v <= 0.04045 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4);
  };
  return 0.2126 * linear(GetRValue(color)) + 0.7152 * linear(GetGValue(color)) + 0.0722 * linear(GetBValue(color));
}

double Contrast(COLORREF a, COLORREF b) {
  const double la = Luminance(a), lb = Luminance(b);
  return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

// Regression: a flat calendar's selected day was white on the light button face (1.1:1
// here, 1.8:1 in the classic scheme); cause: it took the highlight text colour, made to
// read on the highlight, not on the face. Measured on the painted cell: its fill and the
// ink of its number that stands out most from it.
TEST_F(DxGridDatePopupTest, AFlatCalendarsSelectedDayReadsOnItsFace) {
  const TDateTime today = ::Date();
  const int day = DatePart(3, today);
  const TDateTime selected = today + (day == 15 ? 1 : 15 - day);
  Show(selected);
  ASSERT_TRUE(Popup->GetFlat());
  TDibSurface surface(Popup->GetClientWidth(), Popup->GetClientHeight());
  Render(surface);
  const int offset = int(selected - Popup->GetFirstDate());
  const TRect cell = Popup->GetDayCellRect(offset % 7, offset / 7);
  const COLORREF fill = surface.Color(cell.left, cell.top);
  EXPECT_EQ(fill, GetSysColor(COLOR_BTNFACE));
  double best = 1;
  for (int y = cell.top; y < cell.bottom; ++y)
    for (int x = cell.left; x < cell.right; ++x)
      best = std::max(best, Contrast(surface.Color(x, y), fill));
  EXPECT_GE(best, 4.5);
}

TEST_F(DxGridDatePopupTest, TheCalendarStopsAtTheEndsOfTheDateRange) {
  Show(Day(9999, 12, 31));
  TDibSurface surface(Popup->GetClientWidth(), Popup->GetClientHeight());
  Render(surface);
  const TRect beyond = Popup->GetDayCellRect(6, 5);
  EXPECT_EQ(surface.Color(beyond.right - 4, (beyond.top + beyond.bottom) / 2), GetSysColor(COLOR_WINDOW))
      << "days past 9999-12-31 stay blank";
  EXPECT_EQ(Popup->DateAtPoint(Centre(beyond)), NullDate);
  Key(VK_NEXT);
  Key(VK_RIGHT);
  Key(VK_END);
  EXPECT_EQ(Popup->GetSelStart(), Day(9999, 12, 31));
  Mouse(WM_LBUTTONDOWN, Centre(Popup->GetNextArrowRect()));
  Mouse(WM_LBUTTONUP, Centre(Popup->GetNextArrowRect()), 0);
  EXPECT_EQ(Popup->GetDate(), Day(9999, 12, 1));

  Show(Day(1, 1, 1));
  Render(surface);
  Key(VK_PRIOR);
  Key(VK_HOME);
  EXPECT_EQ(Popup->GetSelStart(), Day(1, 1, 1));
  Mouse(WM_LBUTTONDOWN, Centre(Popup->GetMonthNameRect()));
  ASSERT_NE(Popup->GetMonthList(), nullptr);
  EXPECT_EQ(Popup->GetMonthList()->GetTopDate(), Day(1, 1, 1));
  Mouse(WM_MOUSEMOVE, TPoint{10, -300});
  SendMessageA(Popup->GetMonthList()->GetHandle(), WM_TIMER, Popup->GetMonthList()->GetScrollTimerId(), 0);
  EXPECT_EQ(Popup->GetMonthList()->GetTopDate(), Day(1, 1, 1));
  Mouse(WM_LBUTTONUP, TPoint{10, -300}, 0);
  EXPECT_TRUE(Exceptions.Messages.empty());
}

}  // namespace
