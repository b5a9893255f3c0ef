// TKsCustomScrollBar: a windowless, self-drawn scroll bar. It paints itself into its
// buffer from its geometry, tracks the mouse over its five parts (two arrow buttons,
// the page areas before and after the thumb, the thumb), scrolls by buttons, page
// areas, thumb dragging and key steps, and repeats button and page scrolling with a
// timer whose first delay and repeat interval follow the system keyboard settings.
// Every position computation and hit test is virtual so that a skin can change the
// look and the geometry. Out-of-range property values are clamped.
#pragma once

#include <cstdint>

#include "skin/KsControls.h"

class TTimer;

class TKsCustomScrollBar : public TKsGraphicControl {
  KIVO_CLASS(TKsCustomScrollBar, TKsGraphicControl)
 public:
  explicit TKsCustomScrollBar(TComponent* AOwner);
  ~TKsCustomScrollBar() override;

  int GetPosition() const { return FPosition; }
  void SetPosition(int value);
  int GetMin() const { return FMin; }
  void SetMin(int value);
  int GetMax() const { return FMax; }
  void SetMax(int value);
  int GetPageSize() const { return FPageSize; }
  void SetPageSize(int value);
  int GetBorderWidth() const { return FBorderWidth; }
  void SetBorderWidth(int value);
  TScrollBarKind GetKind() const { return FKind; }
  void SetKind(TScrollBarKind value);
  bool GetShowButtons() const { return FShowButtons; }
  void SetShowButtons(bool value);
  int16_t GetLargeChange() const { return FLargeChange; }
  void SetLargeChange(int16_t value) { FLargeChange = value; }
  int16_t GetSmallChange() const { return FSmallChange; }
  void SetSmallChange(int16_t value) { FSmallChange = value; }
  bool GetAutoScrollUp() const { return FAutoScrollUp; }
  void SetAutoScrollUp(bool value);
  bool GetAutoScrollDown() const { return FAutoScrollDown; }
  void SetAutoScrollDown(bool value);
  int GetThumbDragOffset() const { return FThumbDragOffset; }
  TTimer* GetTimer() const { return FTimer; }

  // Geometry, in the bar's own coordinates.
  virtual int GetButtonSize();
  virtual int GetThumbSize();
  virtual TRect GetFirstButtonRect();
  virtual TRect GetSecondButtonRect();
  virtual TRect GetThumbRect();
  virtual TRect GetTrackRect();
  virtual TRect GetPageBeforeRect();
  virtual TRect GetPageAfterRect();
  virtual bool InFirstButton(int x, int y);
  virtual bool InSecondButton(int x, int y);
  virtual bool InThumb(int x, int y);
  virtual bool InPageBefore(int x, int y);
  virtual bool InPageAfter(int x, int y);
  // The pixel of the thumb's leading edge along the bar.
  int16_t ThumbPos();
  // The position whose thumb starts at pixel `p` along the bar, within the range.
  int PositionFromPixel(int16_t p);
  // One scroll step as the keys Page Up/Down, End, Home and the arrows make it.
  void KeyStep(WORD key);

  void Dispatch(TMessage& message) override;

  TNotifyEvent OnChange;
  TScrollEvent OnScroll;

 protected:
  void PaintBuffer() override;
  virtual void DrawFirstButton();
  virtual void DrawSecondButton();
  virtual void DrawThumb();
  virtual void DrawTrack();
  virtual void DrawBorder();
  virtual void DoChange();
  virtual void DoScroll(TScrollCode code, int& pos);
  void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
  void MouseMove(TShiftState shift, int x, int y) override;
  void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override;
  void MouseLeave() override;

 private:
  bool Vertical() const { return FKind == sbVertical; }
  // Along-the-bar start and length of a rectangle.
  int Along(const TRect& r) const { return Vertical() ? r.top : r.left; }
  int AlongEnd(const TRect& r) const { return Vertical() ? r.bottom : r.right; }
  bool FirstButtonDown() const { return FFirstButtonPressed && FFirstButtonHot; }
  bool SecondButtonDown() const { return FSecondButtonPressed && FSecondButtonHot; }
  bool PageBeforeDown() const { return FPageBeforePressed && FPageBeforeHot; }
  bool PageAfterDown() const { return FPageAfterPressed && FPageAfterHot; }
  bool Dragging() const { return FThumbDragOffset > -1; }
  // Range used by the thumb arithmetic: Max - Min - PageSize (+1 with a page).
  int ThumbRange() const;
  void StartTimer(bool immediate, unsigned interval);
  void StopTimer();
  void TimerTick(TObject* sender);
  void TimerStep();
  // OnScroll with `position`, then the position the handler leaves; false when a
  // handler freed the bar.
  bool ScrollTo(TScrollCode code, int position);
  TKsColor SysColor(TColor color) const { return ColorToKsColor(color, 255); }

  TPoint FLastMouse{-1, -1};
  TTimer* FTimer = nullptr;
  int FThumbDragOffset = -1;
  bool FThumbHot = false;
  bool FFirstButtonHot = false;
  bool FSecondButtonHot = false;
  bool FPageBeforeHot = false;
  bool FPageAfterHot = false;
  bool FFirstButtonPressed = false;
  bool FSecondButtonPressed = false;
  bool FPageBeforePressed = false;
  bool FPageAfterPressed = false;
  int FPosition = 0;
  int FMin = 0;
  int FBorderWidth = 1;
  int FMax = 100;
  int FPageSize = 0;
  TScrollBarKind FKind = sbHorizontal;
  bool FShowButtons = true;
  int16_t FLargeChange = 1;
  int16_t FSmallChange = 1;
  bool FAutoScrollUp = false;
  bool FAutoScrollDown = false;
};
