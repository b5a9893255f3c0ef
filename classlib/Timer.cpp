#include "classlib/Timer.h"

#include "classlib/AliveGuard.h"
#include "classlib/Exceptions.h"
#include "classlib/Forms.h"
#include "classlib/UtilWindow.h"

namespace {
constexpr UINT_PTR kTimerId = 1;
}

TTimer::TTimer(TComponent* AOwner) : TComponent(AOwner) {
  FWindowHandle = AllocateHWnd(TWndMethod::Bind<&TTimer::WndProc>(this));
}

TTimer::~TTimer() {
  FEnabled = false;
  UpdateTimer();
  DeallocateHWnd(FWindowHandle);
}

void TTimer::UpdateTimer() {
  if (FRunning)
    KillTimer(FWindowHandle, kTimerId);
  FRunning = false;
  if (FInterval == 0 || !FEnabled || !FOnTimer.Assigned())
    return;
  if (!SetTimer(FWindowHandle, kTimerId, FInterval, nullptr))
    throw EOutOfResources("Not enough timers available");
  FRunning = true;
}

void TTimer::SetEnabled(bool value) {
  if (value == FEnabled)
    return;
  FEnabled = value;
  UpdateTimer();
}

void TTimer::SetInterval(unsigned value) {
  if (value == FInterval)
    return;
  FInterval = value;
  UpdateTimer();
}

void TTimer::SetOnTimer(TNotifyEvent value) {
  FOnTimer = value;
  UpdateTimer();
}

void TTimer::Timer() { FOnTimer(this); }

void TTimer::WndProc(TMessage& message) {
  if (message.Msg != WM_TIMER) {
    message.Result = DefWindowProcA(FWindowHandle, message.Msg, message.WParam, message.LParam);
    return;
  }
  // The handler may free the timer before it raises: the error is then told without a
  // sender, never with the freed one.
  const TAliveGuard alive(this);
  try {
    Timer();
  } catch (...) {
    if (Application)
      Application->HandleException(alive.Alive() ? this : nullptr);
    else
      throw;
  }
}
