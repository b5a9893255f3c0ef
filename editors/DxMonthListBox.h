// TAMonthListBox: the list of seven months that drops from the date popup's header
// while the mouse is held on the month's name. Its rows are the months from TopDate
// on; the popup passes it the mouse moves it captures, so that the row under the
// pointer is selected, and moving above or below the list scrolls it a month at a time,
// faster the farther the pointer is (timers 1-9 on its window: 5 plus the signed step).
//
// It is a top-most popup window of its parent, the date popup, which also owns it and
// gives it its metrics.
#pragma once

#include <cstdint>

#include "classlib/Controls.h"
#include "classlib/DateUtils.h"

class TdxGridDatePopup;

class TAMonthListBox : public TCustomControl {
  KIVO_CLASS(TAMonthListBox, TCustomControl)
 public:
  // The owner is the date popup whose header the list drops from.
  explicit TAMonthListBox(TComponent* AOwner);
  ~TAMonthListBox() override;

  // The scroll interval for a step of 1-4 months, in milliseconds.
  static UINT ScrollInterval(int step);

  TDateTime GetTopDate() const { return FTopDate; }
  // Stores a changed value and repaints.
  void SetTopDate(TDateTime value);
  int GetItemHeight() const { return FItemHeight; }
  int GetSelected() const { return FSelected; }
  // Repaints the old and the new row.
  void SetSelected(int value);
  // The first day of the selected row's month, or NullDate.
  TDateTime GetSelectedDate();
  // The running scroll timer's id (5 plus the signed step), 0 when none runs.
  int GetScrollTimerId() const { return FScrollTimer ? FScrollTimerId : 0; }

  void Dispatch(TMessage& message) override;

 protected:
  void CreateParams(TCreateParams& params) override;
  void Paint() override;
  void MouseMove(TShiftState shift, int x, int y) override;

 private:
  TdxGridDatePopup* Calendar() const;
  void CMFontChanged(TMessage& message);
  void WMTimer(TMessage& message);
  void StartScrollTimer(int id);
  void StopScrollTimer();
  TRect RowRect(int row);

  TDateTime FTopDate;
  int32_t FItemHeight = 0;
  int32_t FSelected = -1;
  UINT_PTR FScrollTimer = 0;
  int32_t FScrollTimerId = 0;
};
