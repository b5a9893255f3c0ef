#include "skin/KsFormMetrics.h"

#include <algorithm>

#include "classlib/FlagScope.h"
#include "classlib/Forms.h"
#include "skin/KsForms.h"

void TKsFormMetrics::SetWindowSize(int width, int height) {
  FWindowWidth = width;
  FWindowHeight = height;
  const int shadow = FForm.GetDropShadow() && FForm.GetWindowState() != kwsMaximized ? FForm.GetShadowWidth() : 0;
  FFrameWidth = FWindowWidth - shadow;
  FFrameHeight = FWindowHeight - shadow;
}

void TKsFormMetrics::Sync() {
  HWND wnd = FForm.GetFormHandle();
  if (!wnd)
    return;
  RECT r;
  GetWindowRect(wnd, &r);
  SetWindowSize(r.right - r.left, r.bottom - r.top);
}

bool TKsFormMetrics::TakeWindowPos(WINDOWPOS& pos) {
  // A move alone carries no size: the size is only looked at when it is given.
  if (pos.flags & SWP_NOSIZE)
    return false;
  const TPoint maxSize = FForm.GetMaxTrackSize();
  pos.cx = std::min(pos.cx, int(maxSize.x));
  pos.cy = std::min(pos.cy, int(maxSize.y));
  const TKsWindowState state = FForm.GetWindowState();
  if (state != kwsRollup && state != kwsMinimized) {
    const TPoint minSize = FForm.GetMinTrackSize();
    pos.cx = std::max(pos.cx, int(minSize.x));
    pos.cy = std::max(pos.cy, int(minSize.y));
  }
  if (pos.cx == FWindowWidth && pos.cy == FWindowHeight)
    return false;
  SetWindowSize(pos.cx, pos.cy);
  return true;
}

void TKsFormMetrics::UpdateFrame() {
  TCustomForm* form = FForm.GetForm();
  if (!FForm.GetActive() || !form || FForm.Designing() || !form->HandleAllocated())
    return;
  {
    // The window measures its frame again at a height change; the client size stays.
    const TFlagScope updating(FUpdatingFrame);
    const int clientWidth = form->GetClientWidth(), clientHeight = form->GetClientHeight();
    const int height = form->GetHeight();
    form->SetHeight(height + 1);
    form->SetHeight(height);
    const int dw = clientWidth - form->GetClientWidth(), dh = clientHeight - form->GetClientHeight();
    if (dw != 0 || dh != 0)
      form->SetBounds(form->GetLeft(), form->GetTop(), form->GetWidth() + dw, form->GetHeight() + dh);
  }
  RECT r{0, 0, FWindowWidth, FWindowHeight};
  RedrawWindow(form->GetHandle(), &r, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME);
}

void TKsFormMetrics::CalcSize(TMessage& message) {
  auto& m = MessageAs<TWMNCCalcSize>(message);
  const TRect client = FForm.GetFrameClientRect();
  const int left = client.left, top = client.top;
  const int right = FWindowWidth - client.right, bottom = FWindowHeight - client.bottom;
  RECT& first = m.CalcSize_Params->rgrc[0];
  if (m.CalcValidRects) {
    const WINDOWPOS* pos = m.CalcSize_Params->lppos;
    first = RECT{pos->x, pos->y, pos->x + pos->cx, pos->y + pos->cy};
  }
  // Measured for both forms of the message: the first rectangle is the window's, and
  // the client lies within the frame margins.
  first.left += left;
  first.top += top;
  first.right -= right;
  first.bottom -= bottom;
  if (m.CalcValidRects)
    m.CalcSize_Params->rgrc[1] = first;
  if (TCustomForm* form = FForm.GetForm()) {
    const int bw = form->GetBorderWidth();
    InflateRect(&first, -bw, -bw);
  }
  if (first.right < first.left)
    first.right = first.left;
  if (first.bottom < first.top)
    first.bottom = first.top;
  message.Result = 0;
}
