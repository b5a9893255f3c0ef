// TdxGridDatePopup: the month view that drops down from the date editor. A header with
// the month's name and year between a previous-month and a next-month arrow, a row of
// week-day letters, a 7 x 6 grid of days (the displayed month with days of the months
// around it, greyed), and optionally "Today" and "Clear" buttons under it. It selects
// one date: a click on a day, on a button or Enter hides it and clicks it (OnDateClick);
// Escape, F4 and Alt+Up/Down hide it without a click. Holding the mouse on an arrow
// turns the months every 170 ms (timers 1 and 2 on its window); holding it on the
// month's name opens a month list (TAMonthListBox) to pick a month from.
//
// Its size follows its font (CM_FONTCHANGED computes the metrics, WM_SIZE fits the
// window to them). It owns the month list while that is open.
#pragma once

#include <cstdint>

#include "editors/DxCalendar.h"

class TAMonthListBox;

class TdxGridDatePopup : public TCustomdxCalendar {
  KIVO_CLASS(TdxGridDatePopup, TCustomdxCalendar)
 public:
  // The repeat of a held arrow, in milliseconds.
  static constexpr UINT ArrowRepeatInterval = 170;
  // The timer ids of the previous-month and next-month arrows.
  static constexpr int PrevArrowTimer = 1;
  static constexpr int NextArrowTimer = 2;

  explicit TdxGridDatePopup(TComponent* AOwner);
  ~TdxGridDatePopup() override;

  // 42 days from the week that holds the first of the month; a month starting in the
  // first column shows the whole week before it.
  TDateTime GetFirstDate() override;
  TDateTime GetLastDate() override;
  TDateTime GetMonthEnd() override;
  // Displays the month of `value` (the first day of it).
  void SetDate(TDateTime value) override;
  // One date is selected: both ends become `value`.
  void SetSelFinish(TDateTime value) override;
  // A selected date outside the visible days brings its month into view.
  void CheckSelection() override;
  TDateTime DateAtPoint(const TPoint& p) override;
  // Ends what the mouse was doing (capture, arrow timer, month list, button tracking)
  // before the popup control hides.
  void HidePopup() override;

  // ---- Metrics (computed on CM_FONTCHANGED)
  int GetColWidth() const { return FColWidth; }
  int GetSideWidth() const { return FSideWidth; }
  int GetRowHeight() const { return FRowHeight; }
  int GetHeaderHeight() const { return FHeaderHeight; }
  int GetDaysOfWeekHeight() const { return FDaysOfWeekHeight; }
  int GetTodayButtonWidth() const { return FTodayButtonWidth; }
  int GetClearButtonWidth() const { return FClearButtonWidth; }
  int GetButtonsOffset() const { return FButtonsOffset; }
  int GetButtonHeight() const { return FButtonHeight; }
  int GetButtonsAreaHeight() const { return FButtonsAreaHeight; }

  // ---- Areas, in client coordinates
  TRect GetHeaderRect();
  TRect GetPrevArrowRect();
  TRect GetNextArrowRect();
  TRect GetMonthNameRect();
  // The week-day row, the day cells and the line under them.
  TRect GetGridRect();
  // The cell of column `col` (0-6) and row `row` (0-5).
  TRect GetDayCellRect(int col, int row);
  TRect GetTodayButtonRect();
  TRect GetClearButtonRect();

  // ---- State
  bool GetShowToday() const { return FShowToday; }
  void SetShowToday(bool value);
  bool GetShowClear() const { return FShowClear; }
  void SetShowClear(bool value);
  TAMonthListBox* GetMonthList() const { return FMonthList; }
  int GetMonthListIndex() const { return FMonthListIndex; }
  // The running arrow timer: 0 none, PrevArrowTimer or NextArrowTimer.
  int GetArrowTimer() const { return FArrowTimer; }
  bool GetTodayTracking() const { return FTodayTracking; }
  bool GetTodayDown() const { return FTodayDown; }
  bool GetClearTracking() const { return FClearTracking; }
  bool GetClearDown() const { return FClearDown; }

  void Dispatch(TMessage& message) override;

 protected:
  void Paint() override;
  void KeyDown(WORD& key, TShiftState shift) override;
  void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
  void MouseMove(TShiftState shift, int x, int y) override;
  void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override;

 private:
  void CMFontChanged(TMessage& message);
  void WMSize(TMessage& message);
  void WMTimer(TMessage& message);
  void WMDestroy(TMessage& message);
  bool HasButtons() const { return FShowToday || FShowClear; }
  // The button strip came or went: the window fits again.
  void ButtonsChanged();
  // The displayed month moved by `delta` months.
  void StepMonth(int delta);
  void StartArrowTimer(int id);
  void StopArrowTimer();
  void OpenMonthList();
  void FreeMonthList();
  void EndButtonTracking();
  // The selection moved to `date` by a key.
  void SelectByKey(TDateTime date);

  int32_t FColWidth = 0;
  int32_t FSideWidth = 0;
  int32_t FRowHeight = 0;
  int32_t FHeaderHeight = 0;
  int32_t FDaysOfWeekHeight = 0;
  int32_t FTodayButtonWidth = 0;
  int32_t FClearButtonWidth = 0;
  int32_t FButtonsOffset = 0;
  int32_t FButtonHeight = 0;
  int32_t FButtonsAreaHeight = 0;
  TAMonthListBox* FMonthList = nullptr;
  int32_t FMonthListIndex = 0;
  int32_t FArrowTimer = 0;
  bool FTodayTracking = false;
  bool FTodayDown = false;
  bool FClearTracking = false;
  bool FClearDown = false;
  bool FShowToday = true;
  bool FShowClear = false;
};
