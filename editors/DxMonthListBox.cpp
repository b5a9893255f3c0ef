#include "editors/DxMonthListBox.h"

#include <algorithm>
#include <cstdlib>
#include <string>

#include "classlib/AliveGuard.h"
#include "classlib/FormatSettings.h"
#include "classlib/GdiHandles.h"
#include "classlib/SysUtils.h"
#include "editors/DxGrDate.h"
#include "editors/DxGridDatePopup.h"

TAMonthListBox::TAMonthListBox(TComponent* AOwner) : TCustomControl(AOwner), FTopDate(NullDate) {}

TAMonthListBox::~TAMonthListBox() {
  Destroying();
  StopScrollTimer();
}

TdxGridDatePopup* TAMonthListBox::Calendar() const { return ObjectAs<TdxGridDatePopup>(GetOwner()); }

UINT TAMonthListBox::ScrollInterval(int step) {
  switch (std::abs(step)) {
    case 1: return 500;
    case 2: return 250;
    case 3: return 100;
    default: return 50;
  }
}

void TAMonthListBox::SetTopDate(TDateTime value) {
  if (value == FTopDate)
    return;
  FTopDate = value;
  Invalidate();
}

TRect TAMonthListBox::RowRect(int row) {
  return Rect(0, row * FItemHeight, GetClientWidth(), (row + 1) * FItemHeight);
}

void TAMonthListBox::SetSelected(int value) {
  if (value == FSelected)
    return;
  if (HandleAllocated() && FSelected >= 0) {
    const TRect old = RowRect(FSelected);
    InvalidateRect(GetHandle(), &old, FALSE);
  }
  FSelected = value;
  if (HandleAllocated() && FSelected >= 0) {
    const TRect now = RowRect(FSelected);
    InvalidateRect(GetHandle(), &now, FALSE);
  }
}

TDateTime TAMonthListBox::GetSelectedDate() {
  if (FSelected < 0 || FTopDate == NullDate)
    return NullDate;
  int year = DatePart(1, FTopDate), month = DatePart(2, FTopDate);
  AddMonths(year, month, FSelected);
  return IsMonthInRange(year, month) ? EncodeDate(year, month, 1) : NullDate;
}

void TAMonthListBox::CreateParams(TCreateParams& params) {
  inherited::CreateParams(params);
  params.Style = WS_POPUP | WS_BORDER;
  params.ExStyle = WS_EX_TOPMOST;
  params.WindowClass.style |= CS_SAVEBITS;
}

void TAMonthListBox::Paint() {
  HDC dc = GetCanvas()->GetHandle();
  TSaveDCGuard saved(dc);
  SelectObject(dc, GetFont()->GetHandle());
  SetBkMode(dc, TRANSPARENT);
  const TRect client = GetClientRect();
  int year = 0, month = 0;
  if (FTopDate != NullDate) {
    year = DatePart(1, FTopDate);
    month = DatePart(2, FTopDate);
  }
  for (int row = 0; row < 7; ++row) {
    TRect r = RowRect(row);
    const bool selected = row == FSelected;
    HBRUSH background = GetSysColorBrush(selected ? COLOR_WINDOWTEXT : COLOR_WINDOW);
    FillRect(dc, &r, background);
    if (FTopDate == NullDate)
      continue;
    int y = year, m = month;
    AddMonths(y, m, row);
    if (!IsMonthInRange(y, m))
      continue;
    const std::string text = FormatSettings.LongMonthNames[size_t(m - 1)] + " " + IntToStr(y);
    SetTextColor(dc, GetSysColor(selected ? COLOR_WINDOW : COLOR_WINDOWTEXT));
    DrawTextA(dc, text.c_str(), int(text.size()), &r, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOCLIP);
  }
  const TRect below = Rect(0, 7 * FItemHeight, client.right, client.bottom);
  if (below.bottom > below.top)
    FillRect(dc, &below, GetSysColorBrush(COLOR_WINDOW));
}

void TAMonthListBox::MouseMove(TShiftState shift, int x, int y) {
  if (!Survives(this, [&] { inherited::MouseMove(shift, x, y); }))
    return;
  const TRect client = GetClientRect();
  if (PointInRect(client, TPoint{x, y})) {
    StopScrollTimer();
    SetSelected(FItemHeight > 0 ? std::min(y / FItemHeight, 6) : -1);
    return;
  }
  SetSelected(-1);
  if (y >= 0 && y < client.bottom)
    return;
  const int distance = y < 0 ? y : y + 1 - client.bottom;
  const int step = std::clamp((distance > 0 ? 1 : -1) + distance / 12, -4, 4);
  StartScrollTimer(5 + step);
}

void TAMonthListBox::StartScrollTimer(int id) {
  if (FScrollTimer && FScrollTimerId == id)
    return;
  StopScrollTimer();
  FScrollTimerId = id;
  FScrollTimer = SetTimer(GetHandle(), UINT_PTR(id), ScrollInterval(id - 5), nullptr);
}

void TAMonthListBox::StopScrollTimer() {
  if (FScrollTimer && HandleAllocated())
    KillTimer(GetHandle(), UINT_PTR(FScrollTimerId));
  FScrollTimer = 0;
}

void TAMonthListBox::WMTimer(TMessage& message) {
  if (!FScrollTimer || message.WParam != WPARAM(FScrollTimerId)) {
    inherited::Dispatch(message);
    return;
  }
  if (FTopDate == NullDate)
    return;
  int year = DatePart(1, FTopDate), month = DatePart(2, FTopDate);
  AddMonths(year, month, FScrollTimerId < 6 ? -1 : 1);
  // The list stops when its first or last row reaches an end of the date range.
  int lastYear = year, lastMonth = month;
  AddMonths(lastYear, lastMonth, 6);
  if (!IsMonthInRange(year, month) || !IsMonthInRange(lastYear, lastMonth))
    return;
  SetTopDate(EncodeDate(year, month, 1));
  Update();
}

void TAMonthListBox::CMFontChanged(TMessage& message) {
  inherited::Dispatch(message);
  TdxGridDatePopup* calendar = Calendar();
  if (!calendar)
    return;
  FItemHeight = calendar->GetHeaderHeight() - 2;
  SetBounds(GetLeft(), GetTop(), 2 * GetSystemMetrics(SM_CXBORDER) + 6 * calendar->GetColWidth(),
            2 * GetSystemMetrics(SM_CYBORDER) + 7 * FItemHeight);
}

void TAMonthListBox::Dispatch(TMessage& message) {
  switch (message.Msg) {
    case CM_FONTCHANGED: CMFontChanged(message); return;
    case WM_TIMER: WMTimer(message); return;
    case WM_ERASEBKGND: message.Result = 1; return;
    case WM_DESTROY:
      StopScrollTimer();
      inherited::Dispatch(message);
      return;
  }
  inherited::Dispatch(message);
}
