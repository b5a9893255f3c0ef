#include "editors/DxCalendar.h"

#include "classlib/AliveGuard.h"
#include "editors/DxTextHelpers.h"

TCustomdxCalendar::TCustomdxCalendar(TComponent* AOwner) : TdxInplacePopupControl(AOwner) {
  // Clicks are the calendar's own (MouseUp), not the framework's.
  TControlStyle style = GetControlStyle();
  style.Include(csDoubleClicks);
  style.Exclude(csClickEvents);
  SetControlStyle(style);
  const TDateTime today = ::Date();
  FDate = today;
  FSelStartDate = today;
  FSelFinishDate = today;
}

TDateTime TCustomdxCalendar::GetSelStart() {
  if (FSelFinishDate != NullDate && FSelFinishDate <= FSelStartDate)
    return FSelFinishDate;
  return FSelStartDate;
}

TDateTime TCustomdxCalendar::GetSelFinish() {
  return FSelFinishDate > FSelStartDate ? FSelFinishDate : FSelStartDate;
}

void TCustomdxCalendar::SetDate(TDateTime value) { FDate = value; }

void TCustomdxCalendar::SetSelStart(TDateTime value) {
  FSelStartDate = value;
  FSelFinishDate = NullDate;
  SetSelFinish(value);
}

void TCustomdxCalendar::SetSelFinish(TDateTime value) {
  if (value == FSelFinishDate)
    return;
  FSelFinishDate = value;
  CheckSelection();
  Invalidate();
}

void TCustomdxCalendar::SetFlat(bool value) {
  if (value == FFlat)
    return;
  FFlat = value;
  Perform(CM_FONTCHANGED);
  Invalidate();
}

void TCustomdxCalendar::CreateParams(TCreateParams& params) {
  inherited::CreateParams(params);
  params.Style |= WS_CLIPCHILDREN;
}

void TCustomdxCalendar::CreateWnd() {
  inherited::CreateWnd();
  Perform(CM_FONTCHANGED);
}

void TCustomdxCalendar::Click() {
  if (Survives(this, [&] { inherited::Click(); }))
    OnDateClick(this);
}

void TCustomdxCalendar::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
  FDoubleClicked = shift.Contains(ssDouble);
  if (FDoubleClicked)
    return;
  if (!Survives(this, [&] { inherited::MouseDown(button, shift, x, y); }) || button != mbLeft)
    return;
  const TDateTime date = DateAtPoint(TPoint{x, y});
  FAnchorDate = GetSelStart();
  if (date != NullDate)
    SetSelStart(date);
}

void TCustomdxCalendar::MouseMove(TShiftState shift, int x, int y) {
  if (!Survives(this, [&] { inherited::MouseMove(shift, x, y); }) || !shift.Contains(ssLeft))
    return;
  const TDateTime date = DateAtPoint(TPoint{x, y});
  if (date != NullDate)
    SetSelFinish(date);
  else if (!PointInRect(GetClientRect(), POINT{x, y}))
    SetSelStart(FAnchorDate);
  Update();
}

void TCustomdxCalendar::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
  if (!Survives(this, [&] { inherited::MouseUp(button, shift, x, y); }))
    return;
  if (!FDoubleClicked && PointInRect(GetClientRect(), POINT{x, y}) && !Survives(this, &TCustomdxCalendar::Click))
    return;
  FDoubleClicked = false;
}

void TCustomdxCalendar::Dispatch(TMessage& message) {
  if (message.Msg == WM_ERASEBKGND) {
    message.Result = 1;
    return;
  }
  inherited::Dispatch(message);
}
