// PositionFromPixel keeps its result inside the range the bar can report: at most
// Max - PageSize + 1 with a page, at most Max without one (a thumb dragged to the end
// of a page-less bar would otherwise hand OnScroll Max + 1).
#include "skin/KsScrollBars.h"

#include <algorithm>

#include "classlib/AliveGuard.h"
#include "classlib/Timer.h"
#include "skin/KsMath.h"
#include "skin/KsUtils.h"

TKsCustomScrollBar::TKsCustomScrollBar(TComponent* AOwner) : TKsGraphicControl(AOwner) {
  SetBounds(GetLeft(), GetTop(), 121, GetSystemMetrics(SM_CYVTHUMB) + 2 * FBorderWidth);
  SetControlStyle(GetControlStyle() + TControlStyle{csCaptureMouse});
}

TKsCustomScrollBar::~TKsCustomScrollBar() = default;

// ---- Properties ---------------------------------------------------------------------

void TKsCustomScrollBar::SetPosition(int value) {
  value = std::clamp(value, FMin, std::max(FMin, FMax));
  if (value == FPosition)
    return;
  FPosition = value;
  if (Survives(this, &TKsCustomScrollBar::DoChange))
    Invalidate();
}

void TKsCustomScrollBar::SetMin(int value) {
  value = std::min(value, FMax);
  if (value == FMin)
    return;
  FMin = value;
  if (FPosition < FMin)
    SetPosition(FMin);
  FPageSize = std::min(FPageSize, FMax - FMin + 1);
  Invalidate();
}

void TKsCustomScrollBar::SetMax(int value) {
  value = std::max(value, FMin);
  if (value == FMax)
    return;
  FMax = value;
  if (FPosition > FMax)
    SetPosition(FMax);
  FPageSize = std::min(FPageSize, FMax - FMin + 1);
  Invalidate();
}

void TKsCustomScrollBar::SetPageSize(int value) {
  if (value < 0)
    return;
  value = std::min(value, FMax - FMin + 1);
  if (value == FPageSize)
    return;
  FPageSize = value;
  Invalidate();
}

void TKsCustomScrollBar::SetBorderWidth(int value) {
  if (value == FBorderWidth)
    return;
  FBorderWidth = value;
  Invalidate();
}

void TKsCustomScrollBar::SetKind(TScrollBarKind value) {
  if (value == FKind)
    return;
  FKind = value;
  if (Designing()) {
    const bool longSideWrong = (FKind == sbVertical) == (GetWidth() > GetHeight());
    if (longSideWrong)
      SetBounds(GetLeft(), GetTop(), GetHeight(), GetWidth());
  }
  Invalidate();
}

void TKsCustomScrollBar::SetShowButtons(bool value) {
  if (value == FShowButtons)
    return;
  FShowButtons = value;
  Invalidate();
}

void TKsCustomScrollBar::SetAutoScrollUp(bool value) {
  if (value == FAutoScrollUp)
    return;
  FAutoScrollUp = value;
  if (value) {
    FAutoScrollDown = false;
    StartTimer(/*immediate=*/false, unsigned(KeyboardRepeatMs()));
  } else {
    StopTimer();
  }
}

void TKsCustomScrollBar::SetAutoScrollDown(bool value) {
  if (value == FAutoScrollDown)
    return;
  FAutoScrollDown = value;
  if (value) {
    FAutoScrollUp = false;
    StartTimer(/*immediate=*/false, unsigned(KeyboardRepeatMs()));
  } else {
    StopTimer();
  }
}

// ---- Geometry -----------------------------------------------------------------------

int TKsCustomScrollBar::GetButtonSize() {
  const int size = GetSystemMetrics(SM_CYVTHUMB);
  const int length = (Vertical() ? GetHeight() : GetWidth()) - 2 * FBorderWidth;
  return length >= 2 * size ? size : length / 2;
}

TRect TKsCustomScrollBar::GetFirstButtonRect() {
  const int bw = FBorderWidth, bs = GetButtonSize();
  if (Vertical())
    return Rect(bw, bw, GetWidth() - bw, bw + bs);
  return Rect(bw, bw, bw + bs, GetHeight() - bw);
}

TRect TKsCustomScrollBar::GetSecondButtonRect() {
  const int bw = FBorderWidth, bs = GetButtonSize();
  const int w = GetWidth(), h = GetHeight();
  if (Vertical())
    return Rect(bw, h - bw - bs, w - bw, h - bw);
  return Rect(w - bw - bs, bw, w - bw, h - bw);
}

TRect TKsCustomScrollBar::GetTrackRect() {
  TRect r = Rect(FBorderWidth, FBorderWidth, GetWidth() - FBorderWidth, GetHeight() - FBorderWidth);
  if (!FShowButtons)
    return r;
  const int bs = GetButtonSize();
  if (Vertical()) {
    r.top += bs;
    r.bottom -= bs;
  } else {
    r.left += bs;
    r.right -= bs;
  }
  return r;
}

int TKsCustomScrollBar::GetThumbSize() {
  const int metric = GetSystemMetrics(SM_CYVTHUMB);
  const TRect track = GetTrackRect();
  const int length = AlongEnd(track) - Along(track);
  int size = metric;
  if (FPageSize >= 1) {
    size = RoundToInt(double(FPageSize) * length / double(FMax - FMin + 1));
    size = std::max(size, (metric / 3) * 2);
  }
  return length > size ? size : 0;
}

int TKsCustomScrollBar::ThumbRange() const {
  return FMax - FMin - FPageSize + (FPageSize != 0 ? 1 : 0);
}

int16_t TKsCustomScrollBar::ThumbPos() {
  const TRect track = GetTrackRect();
  const int start = Along(track);
  const int avail = AlongEnd(track) - start - GetThumbSize();
  const int r = ThumbRange();
  if (FMax - FMin - FPageSize + 1 < 1 || r < 1)
    return int16_t(start);
  if (FPosition > FMax - FPageSize + 1)
    return int16_t(start + avail);
  return int16_t(start + RoundToInt(double(FPosition - FMin) * avail / r));
}

int TKsCustomScrollBar::PositionFromPixel(int16_t p) {
  const TRect track = GetTrackRect();
  const int start = Along(track);
  const int avail = AlongEnd(track) - start - GetThumbSize();
  const int r = ThumbRange();
  int pos = 0;
  if (avail != 0 && r >= 1)
    pos = RoundToInt(double(p - start) * r / avail) + FMin;
  const int upper = FPageSize > 0 ? FMax - FPageSize + 1 : FMax;
  return std::min(std::max(pos, FMin), upper);
}

TRect TKsCustomScrollBar::GetThumbRect() {
  const TRect track = GetTrackRect();
  const int from = ThumbPos();
  const int to = from + GetThumbSize();
  if (Vertical())
    return Rect(track.left, from, track.right, to);
  return Rect(from, track.top, to, track.bottom);
}

TRect TKsCustomScrollBar::GetPageBeforeRect() {
  TRect r = GetTrackRect();
  (Vertical() ? r.bottom : r.right) = ThumbPos();
  return r;
}

TRect TKsCustomScrollBar::GetPageAfterRect() {
  TRect r = GetTrackRect();
  (Vertical() ? r.top : r.left) = ThumbPos() + GetThumbSize();
  return r;
}

namespace {
bool Contains(const TRect& r, int x, int y) {
  POINT p{x, y};
  return PtInRect(&r, p) != FALSE;
}
}  // namespace

bool TKsCustomScrollBar::InFirstButton(int x, int y) { return Contains(GetFirstButtonRect(), x, y); }
bool TKsCustomScrollBar::InSecondButton(int x, int y) { return Contains(GetSecondButtonRect(), x, y); }
bool TKsCustomScrollBar::InThumb(int x, int y) { return Contains(GetThumbRect(), x, y); }
bool TKsCustomScrollBar::InPageBefore(int x, int y) { return Contains(GetPageBeforeRect(), x, y); }
bool TKsCustomScrollBar::InPageAfter(int x, int y) { return Contains(GetPageAfterRect(), x, y); }

// ---- Painting -----------------------------------------------------------------------

void TKsCustomScrollBar::PaintBuffer() {
  inherited::PaintBuffer();
  DrawBorder();
  DrawTrack();
  if (FShowButtons) {
    DrawFirstButton();
    DrawSecondButton();
  }
  const TRect thumb = GetThumbRect();
  const bool thumbVisible =
      (GetEnabled() || Designing()) && RectWidth(thumb) >= 1 && RectHeight(thumb) >= 1;
  if (!thumbVisible)
    return;
  DrawThumb();
  if (PageBeforeDown())
    GetBuffer()->FillRect(GetPageBeforeRect(), SysColor(cl3DDkShadow));
  if (PageAfterDown())
    GetBuffer()->FillRect(GetPageAfterRect(), SysColor(cl3DDkShadow));
}

void TKsCustomScrollBar::DrawBorder() {
  if (FBorderWidth > 0)
    GetBuffer()->Draw3DFrame(Rect(0, 0, GetWidth(), GetHeight()), SysColor(clBtnShadow),
                             SysColor(clBtnHighlight));
}

void TKsCustomScrollBar::DrawTrack() {
  GetBuffer()->FillDitherRect(GetTrackRect(), SysColor(clScrollBar), SysColor(clBtnHighlight));
}

void TKsCustomScrollBar::DrawFirstButton() {
  RECT r = GetFirstButtonRect();
  UINT state = Vertical() ? DFCS_SCROLLUP : DFCS_SCROLLLEFT;
  if (FirstButtonDown())
    state |= DFCS_PUSHED | DFCS_FLAT;
  if (!GetEnabled() && !Designing())
    state |= DFCS_INACTIVE;
  DrawFrameControl(GetBuffer()->GetDC(), &r, DFC_SCROLL, state);
}

void TKsCustomScrollBar::DrawSecondButton() {
  RECT r = GetSecondButtonRect();
  UINT state = Vertical() ? DFCS_SCROLLDOWN : DFCS_SCROLLRIGHT;
  if (SecondButtonDown())
    state |= DFCS_PUSHED | DFCS_FLAT;
  if (!GetEnabled() && !Designing())
    state |= DFCS_INACTIVE;
  DrawFrameControl(GetBuffer()->GetDC(), &r, DFC_SCROLL, state);
}

void TKsCustomScrollBar::DrawThumb() {
  const TRect r = GetThumbRect();
  TKsBitmap* buffer = GetBuffer();
  buffer->FillRect(r, SysColor(clBtnFace));
  if (Dragging()) {
    buffer->FrameRect(r, SysColor(clBtnShadow));
    return;
  }
  buffer->Draw3DFrame(RectGrow(r, -1), SysColor(clBtnHighlight), SysColor(clBtnShadow));
  buffer->Draw3DFrame(r, SysColor(cl3DLight), SysColor(cl3DDkShadow));
}

// ---- Events -------------------------------------------------------------------------

void TKsCustomScrollBar::DoChange() { OnChange(this); }

void TKsCustomScrollBar::DoScroll(TScrollCode code, int& pos) { OnScroll(this, code, pos); }

// ---- Mouse --------------------------------------------------------------------------

// The handlers of the mouse, of the scroll and of the change may free the bar: what
// follows each runs only on one alive.
void TKsCustomScrollBar::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
  if (!Survives(this, [&] { inherited::MouseDown(button, shift, x, y); }) || button != mbLeft)
    return;
  if (InThumb(x, y)) {
    FThumbDragOffset = (Vertical() ? y : x) - ThumbPos();
    if (!ScrollTo(scTrack, FPosition))
      return;
    Invalidate();
  }
  const bool wasFirst = FirstButtonDown(), wasSecond = SecondButtonDown();
  const bool wasBefore = PageBeforeDown(), wasAfter = PageAfterDown();
  FFirstButtonPressed = FFirstButtonPressed || InFirstButton(x, y);
  FSecondButtonPressed = FSecondButtonPressed || InSecondButton(x, y);
  FPageBeforePressed = FPageBeforePressed || InPageBefore(x, y);
  FPageAfterPressed = FPageAfterPressed || InPageAfter(x, y);
  const bool newlyDown = (FirstButtonDown() && !wasFirst) || (SecondButtonDown() && !wasSecond) ||
                         (PageBeforeDown() && !wasBefore) || (PageAfterDown() && !wasAfter);
  if (!newlyDown)
    return;
  Invalidate();
  StartTimer(/*immediate=*/true, unsigned(KeyboardDelayMs()));
}

void TKsCustomScrollBar::MouseMove(TShiftState shift, int x, int y) {
  if (!Survives(this, [&] { inherited::MouseMove(shift, x, y); }))
    return;
  FLastMouse = Point(x, y);
  if (Dragging()) {
    const TRect track = GetTrackRect();
    const int p = std::clamp((Vertical() ? y : x) - FThumbDragOffset, Along(track), AlongEnd(track));
    int s = PositionFromPixel(int16_t(p));
    if (!Survives(this, &TKsCustomScrollBar::DoScroll, scTrack, s) ||
        !Survives(this, &TKsCustomScrollBar::SetPosition, PositionFromPixel(int16_t(p))))
      return;
  }
  bool changed = false;
  auto update = [&](bool& flag, bool value) {
    changed = changed || flag != value;
    flag = value;
  };
  update(FThumbHot, InThumb(x, y));
  if (FShowButtons) {
    update(FFirstButtonHot, InFirstButton(x, y));
    update(FSecondButtonHot, InSecondButton(x, y));
  }
  update(FPageBeforeHot, InPageBefore(x, y));
  update(FPageAfterHot, InPageAfter(x, y));
  if (changed)
    Invalidate();
}

void TKsCustomScrollBar::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
  if (!Survives(this, [&] { inherited::MouseUp(button, shift, x, y); }) || button != mbLeft)
    return;
  if (Dragging() && !ScrollTo(scPosition, FPosition))
    return;
  FThumbDragOffset = -1;
  FFirstButtonPressed = FSecondButtonPressed = FPageBeforePressed = FPageAfterPressed = false;
  if (FTimer)
    FTimer->SetEnabled(false);
  if (ScrollTo(scEndScroll, FPosition))
    Invalidate();
}

bool TKsCustomScrollBar::ScrollTo(TScrollCode code, int position) {
  return Survives(this, &TKsCustomScrollBar::DoScroll, code, position) &&
         Survives(this, &TKsCustomScrollBar::SetPosition, position);
}

void TKsCustomScrollBar::MouseLeave() {
  if (!Survives(this, [&] { inherited::MouseLeave(); }))
    return;
  if (!(FThumbHot || FFirstButtonHot || FSecondButtonHot || FPageBeforeHot || FPageAfterHot))
    return;
  FThumbHot = FFirstButtonHot = FSecondButtonHot = FPageBeforeHot = FPageAfterHot = false;
  Invalidate();
}

// ---- Keys and the repeat timer ------------------------------------------------------

void TKsCustomScrollBar::KeyStep(WORD key) {
  int v;
  TScrollCode code;
  switch (key) {
    case VK_PRIOR:
      v = FPosition - (FPageSize > 0 ? FPageSize : FLargeChange);
      code = scPageUp;
      break;
    case VK_NEXT:
      v = FPosition + (FPageSize > 0 ? FPageSize : FLargeChange);
      code = scPageDown;
      break;
    case VK_END:
      v = FMax;
      code = scBottom;
      break;
    case VK_HOME:
      v = FMin;
      code = scTop;
      break;
    case VK_LEFT:
    case VK_UP:
      v = FPosition - FSmallChange;
      code = scLineUp;
      break;
    case VK_RIGHT:
    case VK_DOWN:
      v = FPosition + FSmallChange;
      code = scLineDown;
      break;
    default:
      return;
  }
  v = std::clamp(v, FMin, FMax);
  if (!ScrollTo(code, v))
    return;
  if (code == scLineUp && FPosition <= FMin && FAutoScrollUp)
    SetAutoScrollUp(false);
  if (code == scLineDown && FPosition >= FMax && FAutoScrollDown)
    SetAutoScrollDown(false);
}

void TKsCustomScrollBar::StartTimer(bool immediate, unsigned interval) {
  if (!FTimer) {
    FTimer = new TTimer(this);
    FTimer->SetEnabled(false);
    FTimer->SetOnTimer(TNotifyEvent::Bind<&TKsCustomScrollBar::TimerTick>(this));
  }
  if (immediate && !Survives(this, &TKsCustomScrollBar::TimerStep))
    return;
  FTimer->SetInterval(interval);
  FTimer->SetEnabled(true);
}

void TKsCustomScrollBar::StopTimer() {
  if (FTimer)
    FTimer->SetEnabled(false);
}

void TKsCustomScrollBar::TimerTick(TObject*) {
  try {
    FTimer->SetInterval(unsigned(KeyboardRepeatMs()));
    TimerStep();
  } catch (...) {
    // A failing step stops the repeating; it is not passed on.
    FTimer->SetEnabled(false);
  }
}

void TKsCustomScrollBar::TimerStep() {
  if (FirstButtonDown() || FAutoScrollUp) {
    KeyStep(VK_LEFT);
    return;
  }
  if (SecondButtonDown() || FAutoScrollDown) {
    KeyStep(VK_RIGHT);
    return;
  }
  const bool wasBefore = FPageBeforeHot, wasAfter = FPageAfterHot;
  FPageBeforeHot = InPageBefore(FLastMouse.x, FLastMouse.y);
  if (PageBeforeDown()) {
    if (!Survives(this, &TKsCustomScrollBar::KeyStep, WORD(VK_PRIOR)))
      return;
  } else {
    FPageAfterHot = InPageAfter(FLastMouse.x, FLastMouse.y);
    if (PageAfterDown() && !Survives(this, &TKsCustomScrollBar::KeyStep, WORD(VK_NEXT)))
      return;
  }
  if (wasBefore != FPageBeforeHot || wasAfter != FPageAfterHot)
    Invalidate();
}

// ---- Messages -----------------------------------------------------------------------

void TKsCustomScrollBar::Dispatch(TMessage& message) {
  switch (message.Msg) {
    case CM_ENABLEDCHANGED:
      inherited::Dispatch(message);
      Invalidate();
      return;
    case WM_GETDLGCODE:
      inherited::Dispatch(message);
      message.Result = DLGC_WANTARROWS;
      return;
  }
  inherited::Dispatch(message);
}
