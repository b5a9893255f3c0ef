// Decisions taken here:
// - The metrics are measured on a screen-compatible DC with the control's font, so
//   they exist before the window does.
// - Releasing the mouse over the month list picks the month and leaves the popup open;
//   only a release elsewhere in the client area hides it and clicks it.
// - A selection of no date (after "Clear") is never brought into view: it has no month.
// - At the ends of the date range (January 0001, December 9999) the days beyond it are
//   left blank and cannot be picked, and keys, arrows and the month list stop there,
//   where painting and stepping would otherwise raise again and again.
// - A flat calendar's selected days are numbered in the button text colour, not the
//   highlight text colour: they lie on the button face, and highlight text is made to
//   read on the highlight (white on the light faces of common schemes: 1.8:1 on the
//   classic grey, 1.1:1 on Wine's default face).
#include "editors/DxGridDatePopup.h"

#include <algorithm>
#include <string>

#include "classlib/AliveGuard.h"
#include "classlib/FormatSettings.h"
#include "classlib/GdiHandles.h"
#include "classlib/SysUtils.h"
#include "editors/DxGrDate.h"
#include "editors/DxMonthListBox.h"
#include "editors/DxTextHelpers.h"

namespace {

void FillSolid(HDC dc, const TRect& r, TColor color) {
  SetBkColor(dc, ColorToRGB(color));
  ExtTextOutA(dc, 0, 0, ETO_OPAQUE, &r, nullptr, 0, nullptr);
}

SIZE TextSize(HDC dc, const std::string& text) {
  SIZE size{};
  GetTextExtentPoint32A(dc, text.c_str(), int(text.size()), &size);
  return size;
}

// Keeps what is still to paint: every painted rectangle is taken out of it.
class TUncovered {
 public:
  explicit TUncovered(const TRect& client) : FRegion(CreateRectRgnIndirect(&client)) {}
  void Painted(const TRect& r) {
    TRegionHandle part(CreateRectRgnIndirect(&r));
    CombineRgn(FRegion.Get(), FRegion.Get(), part.Get(), RGN_DIFF);
  }
  HRGN Get() const { return FRegion.Get(); }

 private:
  TRegionHandle FRegion;
};

// A filled triangle pointing left or right, centred in `area`, of an odd height from
// the area's height.
void DrawArrow(HDC dc, const TRect& area, bool left) {
  int size = RectHeight(area) / 2;
  if (size % 2 == 0)
    ++size;
  const int half = size / 2;
  const int x0 = (area.left + area.right - half - 1) / 2;
  const int cy = (area.top + area.bottom) / 2;
  const COLORREF color = GetSysColor(COLOR_BTNTEXT);
  TPenHandle pen(CreatePen(PS_SOLID, 1, color));
  TBrushHandle brush(CreateSolidBrush(color));
  TSelectGuard penGuard(dc, pen.Get());
  TSelectGuard brushGuard(dc, brush.Get());
  const int tip = left ? x0 : x0 + half;
  const int base = left ? x0 + half : x0;
  const POINT corners[] = {{tip, cy}, {base, cy - half}, {base, cy + half}};
  Polygon(dc, corners, 3);
}

}  // namespace

TdxGridDatePopup::TdxGridDatePopup(TComponent* AOwner) : TCustomdxCalendar(AOwner) {
  uint16_t year, month, day;
  DecodeDate(::Date(), year, month, day);
  TCustomdxCalendar::SetDate(EncodeDate(year, month, 1));
  SetBounds(GetLeft(), GetTop(), 20, 20);
  SetIsPopup(true);
}

TdxGridDatePopup::~TdxGridDatePopup() {
  Destroying();
  StopArrowTimer();
  FreeMonthList();
}

// ---- Dates --------------------------------------------------------------------------

TDateTime TdxGridDatePopup::GetFirstDate() {
  const TDateTime first = GetDate();
  const int column = WeekColumn(first);
  return column == 0 ? first - 7 : first - column;
}

TDateTime TdxGridDatePopup::GetLastDate() { return GetFirstDate() + 41; }

TDateTime TdxGridDatePopup::GetMonthEnd() {
  const int year = DatePart(1, GetDate()), month = DatePart(2, GetDate());
  return EncodeDate(year, month, DaysPerMonth(year, month));
}

void TdxGridDatePopup::SetDate(TDateTime value) {
  uint16_t year, month, day;
  DecodeDate(DateToDayNumber(value), year, month, day);
  inherited::SetDate(EncodeDate(year, month, 1));
}

void TdxGridDatePopup::SetSelFinish(TDateTime value) {
  if (value == GetSelStartDate() && value == GetSelFinishDate())
    return;
  StoreSelection(value, value);
  CheckSelection();
  Invalidate();
}

void TdxGridDatePopup::CheckSelection() {
  const TDateTime selected = GetSelFinishDate() != NullDate ? GetSelFinishDate() : GetSelStartDate();
  if (selected == NullDate)
    return;
  const int32_t day = DateToDayNumber(selected);
  if (day < DateToDayNumber(GetFirstDate()) || day > DateToDayNumber(GetLastDate()))
    SetDate(selected);
}

TDateTime TdxGridDatePopup::DateAtPoint(const TPoint& p) {
  if (!PointInRect(GetClientRect(), p) || FColWidth <= 0 || FRowHeight <= 0)
    return NullDate;
  const TRect first = GetDayCellRect(0, 0);
  const TRect cells = Rect(first.left, first.top, first.left + 7 * FColWidth, first.top + 6 * FRowHeight);
  if (!PointInRect(cells, p))
    return NullDate;
  const int column = (p.x - cells.left) / FColWidth, row = (p.y - cells.top) / FRowHeight;
  const TDateTime date = GetFirstDate() + 7 * row + column;
  return IsDateInRange(date) ? date : NullDate;
}

// ---- Areas --------------------------------------------------------------------------

TRect TdxGridDatePopup::GetHeaderRect() { return Rect(0, 0, GetClientWidth(), FHeaderHeight); }

TRect TdxGridDatePopup::GetPrevArrowRect() { return Rect(1, 1, FColWidth - 1, FHeaderHeight - 1); }

TRect TdxGridDatePopup::GetNextArrowRect() {
  const int w = GetClientWidth(), f = GetFlat() ? 0 : 1;
  return Rect(w - FColWidth, 1, w - 1 - f, FHeaderHeight - 1);
}

TRect TdxGridDatePopup::GetMonthNameRect() {
  const int w = GetClientWidth(), f = GetFlat() ? 0 : 1;
  return Rect(FColWidth, 0, w - f - FColWidth, FHeaderHeight);
}

TRect TdxGridDatePopup::GetGridRect() {
  const int top = (GetFlat() ? 0 : 1) + FHeaderHeight;
  return Rect(0, top, GetClientWidth(), top + FDaysOfWeekHeight + 6 * FRowHeight + 1);
}

TRect TdxGridDatePopup::GetDayCellRect(int col, int row) {
  const int left = FSideWidth + col * FColWidth, top = GetGridRect().top + FDaysOfWeekHeight + row * FRowHeight;
  return Rect(left, top, left + FColWidth, top + FRowHeight);
}

TRect TdxGridDatePopup::GetTodayButtonRect() {
  const int w = GetClientWidth();
  const int left = (w - FTodayButtonWidth - (FShowClear ? FClearButtonWidth : 0)) / (FShowClear ? 3 : 2);
  const int top = GetClientHeight() - FButtonsAreaHeight + FButtonsOffset;
  return Rect(left, top, left + FTodayButtonWidth, top + FButtonHeight);
}

TRect TdxGridDatePopup::GetClearButtonRect() {
  const int w = GetClientWidth();
  const int gap = (w - (FShowToday ? FTodayButtonWidth : 0) - FClearButtonWidth) / (FShowToday ? 3 : 2);
  const int left = w - FClearButtonWidth - gap;
  const int top = GetClientHeight() - FButtonsAreaHeight + FButtonsOffset;
  return Rect(left, top, left + FClearButtonWidth, top + FButtonHeight);
}

// ---- Settings -----------------------------------------------------------------------

void TdxGridDatePopup::SetShowToday(bool value) {
  if (value == FShowToday)
    return;
  FShowToday = value;
  ButtonsChanged();
}

void TdxGridDatePopup::SetShowClear(bool value) {
  if (value == FShowClear)
    return;
  FShowClear = value;
  ButtonsChanged();
}

void TdxGridDatePopup::ButtonsChanged() {
  if (HandleAllocated())
    Perform(WM_SIZE);
  Invalidate();
}

// ---- Metrics and size ---------------------------------------------------------------

void TdxGridDatePopup::CMFontChanged(TMessage& message) {
  inherited::Dispatch(message);
  GetCanvas()->SetFont(GetFont());
  TMemoryDC dc;
  TSelectGuard font(dc, GetFont()->GetHandle());
  const int zeroWidth = TextSize(dc, "0").cx;
  FColWidth = zeroWidth * 3;
  FSideWidth = zeroWidth * 2;
  FRowHeight = TextSize(dc, "0").cy + 2;
  FHeaderHeight = FRowHeight + 2 + (GetFlat() ? 1 : 0);
  FDaysOfWeekHeight = FRowHeight + 1;
  FTodayButtonWidth = TextSize(dc, TodayCaption).cx + FColWidth;
  FClearButtonWidth = TextSize(dc, ClearCaption).cx + FColWidth;
  FButtonsOffset = GetFont()->GetSize() / 2;
  FButtonHeight = MulDiv(TextSize(dc, "Wg").cy, 20, 13);
  FButtonsAreaHeight = GetFont()->GetSize() * 3 / 4 + FButtonsOffset + FButtonHeight;
  if (HandleAllocated())
    Perform(WM_SIZE);
}

void TdxGridDatePopup::WMSize(TMessage& message) {
  if (!Survives(this, [&] { inherited::Dispatch(message); }) || !HandleAllocated() || FColWidth == 0)
    return;
  RECT window{};
  GetWindowRect(GetHandle(), &window);
  RECT client{};
  ::GetClientRect(GetHandle(), &client);
  const int frameWidth = (window.right - window.left) - client.right;
  const int frameHeight = (window.bottom - window.top) - client.bottom;
  const int width = frameWidth + 2 * FSideWidth + 7 * FColWidth;
  const int height = frameHeight + (GetFlat() ? 0 : 1) + FHeaderHeight + FDaysOfWeekHeight + 6 * FRowHeight + 1 +
                     (HasButtons() ? FButtonsAreaHeight : 0);
  SetBounds(GetLeft(), GetTop(), width, height);
}

// ---- Painting -----------------------------------------------------------------------

void TdxGridDatePopup::Paint() {
  HDC dc = GetCanvas()->GetHandle();
  TSaveDCGuard saved(dc);
  SelectObject(dc, GetFont()->GetHandle());
  const TRect client = GetClientRect();
  const int w = RectWidth(client), h = RectHeight(client);
  const bool flat = GetFlat();
  TUncovered rest(client);

  // Header: the month's name between the arrows.
  const TRect header = GetHeaderRect();
  FillSolid(dc, header, clBtnFace);
  TRect edge = header;
  if (!flat)
    --edge.right;
  DrawEdge(dc, &edge, BDR_RAISEDINNER, BF_RECT);
  if (!flat) {
    FillSolid(dc, Rect(0, header.bottom, w, header.bottom + 1), clBtnText);
    FillSolid(dc, Rect(w - 1, 0, w, header.bottom), clBtnText);
  }
  DrawArrow(dc, GetPrevArrowRect(), /*left=*/true);
  DrawArrow(dc, GetNextArrowRect(), /*left=*/false);
  const int year = DatePart(1, GetDate()), month = DatePart(2, GetDate());
  const std::string title = FormatSettings.LongMonthNames[size_t(month - 1)] + " " + IntToStr(year);
  TRect name = GetMonthNameRect();
  InflateRect(&name, 0, -1);
  const SIZE titleSize = TextSize(dc, title);
  SetBkColor(dc, GetSysColor(COLOR_BTNFACE));
  SetTextColor(dc, GetSysColor(COLOR_BTNTEXT));
  ExtTextOutA(dc, (name.left + name.right - titleSize.cx) / 2, (name.top + name.bottom - titleSize.cy) / 2,
              ETO_OPAQUE | ETO_CLIPPED, &name, title.c_str(), UINT(title.size()), nullptr);
  rest.Painted(Rect(0, 0, w, header.bottom + (flat ? 0 : 1)));

  // The week-day letters, right-aligned in their columns, over a shadow line.
  const TRect grid = GetGridRect();
  FillSolid(dc, Rect(0, grid.top, w, grid.top + FDaysOfWeekHeight), clWindow);
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
  for (int col = 0; col < 7; ++col) {
    const std::string& dayName = FormatSettings.ShortDayNames[size_t((StartOfWeek + col) % 7)];
    const std::string letter = dayName.substr(0, 1);
    const TRect cell = Rect(FSideWidth + col * FColWidth, grid.top, FSideWidth + (col + 1) * FColWidth,
                            grid.top + FRowHeight - 1);
    const SIZE size = TextSize(dc, letter);
    ExtTextOutA(dc, cell.right - 3 - size.cx, cell.top + (RectHeight(cell) - size.cy) / 2, 0, nullptr,
                letter.c_str(), UINT(letter.size()), nullptr);
  }
  SetBkMode(dc, OPAQUE);
  FillSolid(dc, Rect(FSideWidth, grid.top + FRowHeight - 1, w - FSideWidth, grid.top + FRowHeight), clBtnShadow);

  // The days: the selection filled, today framed, other months greyed.
  const TDateTime first = GetFirstDate();
  const int32_t today = DateToDayNumber(::Date());
  const TDateTime selStart = GetSelStart(), selFinish = GetSelFinish();
  const bool anySelection = selStart != NullDate;
  TBrushHandle todayFrame(CreateSolidBrush(ColorToRGB(clMaroon)));
  for (int row = 0; row < 6; ++row) {
    for (int col = 0; col < 7; ++col) {
      const TDateTime date = first + 7 * row + col;
      if (!IsDateInRange(date)) {
        FillSolid(dc, GetDayCellRect(col, row), clWindow);
        continue;
      }
      const int32_t day = DateToDayNumber(date);
      const bool selected =
          anySelection && day >= DateToDayNumber(selStart) && day <= DateToDayNumber(selFinish);
      const TRect cell = GetDayCellRect(col, row);
      TRect inner = cell;
      if (day == today) {
        FrameRect(dc, &cell, todayFrame.Get());
        InflateRect(&inner, -1, -1);
      }
      int textColor = COLOR_GRAYTEXT;
      if (selected)
        textColor = flat ? COLOR_BTNTEXT : COLOR_HIGHLIGHTTEXT;
      else if (DatePart(2, date) == month)
        textColor = COLOR_WINDOWTEXT;
      SetBkColor(dc, ColorToRGB(selected ? (flat ? clBtnFace : clHighlight) : clWindow));
      SetTextColor(dc, GetSysColor(textColor));
      const std::string text = IntToStr(DatePart(3, date));
      const SIZE size = TextSize(dc, text);
      ExtTextOutA(dc, cell.right - 3 - size.cx, cell.top + (FRowHeight - size.cy) / 2, ETO_OPAQUE, &inner,
                  text.c_str(), UINT(text.size()), nullptr);
    }
  }
  const int cellsTop = GetDayCellRect(0, 0).top, cellsRight = FSideWidth + 7 * FColWidth;
  FillSolid(dc, Rect(0, cellsTop, FSideWidth, grid.bottom), clWindow);
  FillSolid(dc, Rect(cellsRight, cellsTop, w, grid.bottom), clWindow);
  FillSolid(dc, Rect(FSideWidth, cellsTop + 6 * FRowHeight, cellsRight, grid.bottom), clWindow);
  rest.Painted(grid);

  // The buttons under a dividing line.
  if (HasButtons()) {
    const TRect divider = Rect(FSideWidth, h - FButtonsAreaHeight, w - FSideWidth, h - FButtonsAreaHeight + 1);
    FillSolid(dc, divider, clBtnShadow);
    rest.Painted(divider);
    auto drawButton = [&](const TRect& bounds, const std::string& caption, bool down) {
      TRect r = bounds;
      if (down)
        DrawFrameControl(dc, &r, DFC_BUTTON, DFCS_BUTTONPUSH | DFCS_PUSHED);
      else
        DrawEdge(dc, &r, EDGE_RAISED, BF_RECT);
      InflateRect(&r, -2, -2);
      const SIZE size = TextSize(dc, caption);
      int x = (r.left + r.right - size.cx) / 2, y = (r.top + r.bottom - size.cy) / 2;
      if (down) {
        ++x;
        ++y;
      }
      SetBkColor(dc, GetSysColor(COLOR_BTNFACE));
      SetTextColor(dc, GetSysColor(COLOR_BTNTEXT));
      ExtTextOutA(dc, x, y, ETO_OPAQUE | ETO_CLIPPED, &r, caption.c_str(), UINT(caption.size()), nullptr);
      rest.Painted(bounds);
    };
    if (FShowToday)
      drawButton(GetTodayButtonRect(), TodayCaption, FTodayDown);
    if (FShowClear)
      drawButton(GetClearButtonRect(), ClearCaption, FClearDown);
  }
  FillRgn(dc, rest.Get(), GetBrush()->GetHandle());
}

// ---- Months -------------------------------------------------------------------------

void TdxGridDatePopup::StepMonth(int delta) {
  int year = DatePart(1, GetDate()), month = DatePart(2, GetDate());
  AddMonths(year, month, delta);
  if (!IsMonthInRange(year, month))
    return;
  SetDate(EncodeDate(year, month, 1));
  Invalidate();
  Update();
}

void TdxGridDatePopup::StartArrowTimer(int id) {
  StopArrowTimer();
  if (!HandleAllocated())
    return;
  if (SetTimer(GetHandle(), UINT_PTR(id), ArrowRepeatInterval, nullptr))
    FArrowTimer = id;
}

void TdxGridDatePopup::StopArrowTimer() {
  if (FArrowTimer == 0)
    return;
  if (HandleAllocated())
    KillTimer(GetHandle(), UINT_PTR(FArrowTimer));
  FArrowTimer = 0;
}

void TdxGridDatePopup::OpenMonthList() {
  FreeMonthList();
  FMonthListIndex = 0;
  auto* list = new TAMonthListBox(this);
  FMonthList = list;
  list->SetVisible(false);
  list->SetParent(this);
  list->SetFont(GetFont());
  list->Perform(CM_FONTCHANGED);
  int year = DatePart(1, GetDate()), month = DatePart(2, GetDate());
  AddMonths(year, month, -3);
  list->SetTopDate(IsMonthInRange(year, month) ? EncodeDate(year, month, 1) : EncodeDate(1, 1, 1));
  const TRect area = GetMonthNameRect();
  const TPoint topLeft = ClientToScreen(TPoint{area.left, area.top});
  const TPoint bottomRight = ClientToScreen(TPoint{area.right, area.bottom});
  const int left = (topLeft.x + bottomRight.x - list->GetWidth()) / 2;
  const int top = (topLeft.y + bottomRight.y) / 2 - list->GetHeight() / 2;
  list->SetBounds(left, top, list->GetWidth(), list->GetHeight());
  // The popup itself is shown by its window, not by its Visible flag, so the list is
  // shown the same way.
  list->SetVisible(true);
  ShowWindow(list->GetHandle(), SW_SHOWNOACTIVATE);
}

void TdxGridDatePopup::FreeMonthList() {
  TAMonthListBox* list = FMonthList;
  FMonthList = nullptr;
  delete list;
}

void TdxGridDatePopup::EndButtonTracking() {
  const bool repaint = FTodayDown || FClearDown;
  FTodayTracking = FTodayDown = false;
  FClearTracking = FClearDown = false;
  if (repaint)
    Invalidate();
}

void TdxGridDatePopup::HidePopup() {
  if (HandleAllocated() && IsWindowVisible(GetHandle())) {
    if (GetMouseCapture())
      SetMouseCapture(false);
    else if (GetCapture() == GetHandle())
      ReleaseCapture();
    StopArrowTimer();
    FreeMonthList();
    EndButtonTracking();
  }
  inherited::HidePopup();
}

// ---- Keys ---------------------------------------------------------------------------

void TdxGridDatePopup::SelectByKey(TDateTime date) {
  if (!IsDateInRange(date))
    return;
  SetSelStart(date);
  Update();
}

void TdxGridDatePopup::KeyDown(WORD& key, TShiftState shift) {
  if (!Survives(this, [&] { inherited::KeyDown(key, shift); }))
    return;
  const TDateTime selected = GetSelStart() != NullDate ? GetSelStart() : GetDate();
  const bool ctrl = shift.Contains(ssCtrl);
  uint16_t year, month, day;
  DecodeDate(selected, year, month, day);
  switch (key) {
    case VK_LEFT: SelectByKey(selected - 1); break;
    case VK_RIGHT: SelectByKey(selected + 1); break;
    case VK_UP:
    case VK_DOWN:
      if (shift.Contains(ssAlt))
        HidePopup();
      else
        SelectByKey(selected + (key == VK_UP ? -7 : 7));
      break;
    case VK_HOME:
      SelectByKey(ctrl ? EncodeDate(year, month, 1) : selected - WeekColumn(selected));
      break;
    case VK_END:
      SelectByKey(ctrl ? EncodeDate(year, month, DaysPerMonth(year, month)) : selected + 6 - WeekColumn(selected));
      break;
    case VK_PRIOR:
    case VK_NEXT: {
      int y = year, m = month;
      AddMonths(y, m, key == VK_PRIOR ? -1 : 1);
      if (IsMonthInRange(y, m))
        SelectByKey(EncodeDate(y, m, ClampDay(y, m, day)));
      break;
    }
    case VK_RETURN:
      if (FMonthList)
        return;
      HidePopup();
      Click();
      break;
    case VK_ESCAPE:
    case VK_F4: HidePopup(); break;
    default: return;
  }
  key = 0;
}

// ---- Mouse --------------------------------------------------------------------------

void TdxGridDatePopup::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
  const TPoint p{x, y};
  if (button == mbLeft && HasButtons()) {
    if (FShowToday && PointInRect(GetTodayButtonRect(), p)) {
      FTodayTracking = FTodayDown = true;
      Invalidate();
      return;
    }
    if (FShowClear && PointInRect(GetClearButtonRect(), p)) {
      FClearTracking = FClearDown = true;
      Invalidate();
      return;
    }
    if (y >= GetClientHeight() - FButtonsAreaHeight)
      return;
  }
  if (!Survives(this, [&] { inherited::MouseDown(button, shift, x, y); }) || button != mbLeft)
    return;
  if (PointInRect(GetPrevArrowRect(), p)) {
    StepMonth(-1);
    StartArrowTimer(PrevArrowTimer);
  } else if (PointInRect(GetNextArrowRect(), p)) {
    StepMonth(1);
    StartArrowTimer(NextArrowTimer);
  } else if (PointInRect(GetMonthNameRect(), p)) {
    OpenMonthList();
  }
}

void TdxGridDatePopup::MouseMove(TShiftState shift, int x, int y) {
  if (FArrowTimer != 0)
    return;
  if (FMonthList) {
    const TPoint p = FMonthList->ScreenToClient(ClientToScreen(TPoint{x, y}));
    SendMessageA(FMonthList->GetHandle(), WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(WORD(short(p.x)), WORD(short(p.y))));
    return;
  }
  if (FTodayTracking || FClearTracking) {
    const bool over = PointInRect(FTodayTracking ? GetTodayButtonRect() : GetClearButtonRect(), TPoint{x, y});
    bool& down = FTodayTracking ? FTodayDown : FClearDown;
    if (over != down) {
      down = over;
      Invalidate();
    }
    return;
  }
  inherited::MouseMove(shift, x, y);
}

void TdxGridDatePopup::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
  if (FArrowTimer != 0) {
    StopArrowTimer();
    return;
  }
  if (FMonthList) {
    const TDateTime picked = FMonthList->GetSelectedDate();
    FreeMonthList();
    if (picked != NullDate) {
      SetDate(picked);
      Invalidate();
    }
    return;
  }
  if (FTodayTracking || FClearTracking) {
    const bool today = FTodayTracking;
    const bool released = FTodayTracking ? FTodayDown : FClearDown;
    EndButtonTracking();
    if (!released)
      return;
    SetSelStart(today ? ::Date() : NullDate);
  }
  if (PointInRect(GetClientRect(), TPoint{x, y}))
    HidePopup();
  inherited::MouseUp(button, shift, x, y);
}

// ---- Messages -----------------------------------------------------------------------

void TdxGridDatePopup::WMTimer(TMessage& message) {
  if (FArrowTimer == 0 || message.WParam != WPARAM(FArrowTimer)) {
    inherited::Dispatch(message);
    return;
  }
  POINT p{};
  GetCursorPos(&p);
  const TPoint client = ScreenToClient(p);
  if (FArrowTimer == PrevArrowTimer && PointInRect(GetPrevArrowRect(), client))
    StepMonth(-1);
  else if (FArrowTimer == NextArrowTimer && PointInRect(GetNextArrowRect(), client))
    StepMonth(1);
}

void TdxGridDatePopup::WMDestroy(TMessage& message) {
  StopArrowTimer();
  FreeMonthList();
  inherited::Dispatch(message);
}

void TdxGridDatePopup::Dispatch(TMessage& message) {
  switch (message.Msg) {
    case CM_FONTCHANGED: CMFontChanged(message); return;
    case WM_SIZE: WMSize(message); return;
    case WM_TIMER: WMTimer(message); return;
    case WM_DESTROY: WMDestroy(message); return;
  }
  inherited::Dispatch(message);
}
