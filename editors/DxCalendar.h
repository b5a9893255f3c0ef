// TCustomdxCalendar: the abstract calendar of the date editor's drop-down, a popup
// control (DxInplacePopupControl.h) that shows dates and keeps a selection of a range
// of them, driven by the mouse: a press starts the selection, dragging extends it, and
// a release inside the control clicks it (OnDateClick). Which dates lie where is the
// descendant's (TdxGridDatePopup, DxGridDatePopup.h).
//
// NullDate (DxTextHelpers.h) stands for "no date" in the selection.
#pragma once

#include "classlib/DateUtils.h"
#include "editors/DxInplacePopupControl.h"

class TCustomdxCalendar : public TdxInplacePopupControl {
  KIVO_CLASS(TCustomdxCalendar, TdxInplacePopupControl)
 public:
  explicit TCustomdxCalendar(TComponent* AOwner);

  // The first and last dates the calendar shows.
  virtual TDateTime GetFirstDate() { return FDate; }
  virtual TDateTime GetLastDate() { return GetMonthEnd(); }
  // The last day of the displayed month.
  virtual TDateTime GetMonthEnd() = 0;
  // The earlier and the later end of the selection.
  virtual TDateTime GetSelStart();
  virtual TDateTime GetSelFinish();
  // Stores the displayed date; no repaint.
  virtual void SetDate(TDateTime value);
  // Starts a new selection at `value`.
  virtual void SetSelStart(TDateTime value);
  // Moves the selection's free end to `value`.
  virtual void SetSelFinish(TDateTime value);
  // Brings the selection into view.
  virtual void CheckSelection() = 0;
  // The date under a client point, or NullDate.
  virtual TDateTime DateAtPoint(const TPoint& p) = 0;

  TDateTime GetDate() const { return FDate; }
  TDateTime GetAnchorDate() const { return FAnchorDate; }
  TDateTime GetSelStartDate() const { return FSelStartDate; }
  TDateTime GetSelFinishDate() const { return FSelFinishDate; }
  bool GetFlat() const { return FFlat; }
  // Stores a changed value, computes the metrics again and repaints.
  void SetFlat(bool value);

  void Dispatch(TMessage& message) override;

  // Fired by a release inside the control that ends no double click (or by Enter in the
  // grid popup).
  TNotifyEvent OnDateClick;

 protected:
  // Both ends of the selection as they are, for descendants that keep one date.
  void StoreSelection(TDateTime start, TDateTime finish) {
    FSelStartDate = start;
    FSelFinishDate = finish;
  }
  void CreateParams(TCreateParams& params) override;
  // The metrics exist from the window's start: it sends itself CM_FONTCHANGED.
  void CreateWnd() override;
  void Click() override;
  void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
  void MouseMove(TShiftState shift, int x, int y) override;
  void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override;

 private:
  TDateTime FAnchorDate = 0;
  bool FFlat = true;
  TDateTime FDate = 0;
  TDateTime FSelStartDate = 0;
  TDateTime FSelFinishDate = 0;
  // The last press was the second of a double click.
  bool FDoubleClicked = false;
};
