// TTimer: fires OnTimer every Interval milliseconds while Enabled.
//
// The timer runs on a hidden utility window of its own; it is set only while it is
// enabled, has a non-zero interval and an OnTimer handler. An exception in OnTimer goes
// to the application's exception handler and the timer goes on.
#pragma once

#include "classlib/Components.h"
#include "classlib/Events.h"
#include "classlib/Messages.h"
#include "classlib/Win.h"

class TTimer : public TComponent {
  KIVO_CLASS(TTimer, TComponent)
 public:
  explicit TTimer(TComponent* AOwner);
  ~TTimer() override;

  bool GetEnabled() const { return FEnabled; }
  void SetEnabled(bool value);
  unsigned GetInterval() const { return FInterval; }
  void SetInterval(unsigned value);
  void SetOnTimer(TNotifyEvent value);
  TNotifyEvent GetOnTimer() const { return FOnTimer; }
  // Whether the system timer is set now.
  bool Running() const { return FRunning; }

 protected:
  virtual void Timer();

 private:
  void UpdateTimer();
  void WndProc(TMessage& message);

  bool FEnabled = true;
  unsigned FInterval = 1000;
  TNotifyEvent FOnTimer;
  HWND FWindowHandle = nullptr;
  bool FRunning = false;
};
