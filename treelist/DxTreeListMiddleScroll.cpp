// Middle-button scrolling of the tree list: a middle press shows a round marker at the
// press point and, inside a message loop of its own, scrolls the control towards the
// pointer, the faster the farther the pointer is from the marker.
//
// Decisions taken here:
// - The loop reads the pointer from its mouse messages (the press point is the start),
//   so late or posted messages move it exactly as real ones.
// - With neither scroll bar the mode behaves as with the vertical one alone (its
//   picture, its cursors): only vertical movement leaves the neutral rectangle and the
//   steps are WM_VSCROLL messages. The rectangle is widened past any screen in a
//   direction that cannot scroll.
// - The loop ends when the control's window is destroyed while it runs (a form closed
//   by a message it dispatched) or another window takes the mouse; the timer, the marker
//   and the capture go with it, and nothing of a control that was freed is touched.
#include "treelist/DxTreeListMiddleScroll.h"

#include <algorithm>
#include <cstdlib>
#include <memory>

#include "classlib/Bitmap.h"
#include "classlib/Forms.h"
#include "classlib/GdiHandles.h"
#include "classlib/HandleCounter.h"
#include "classlib/UtilWindow.h"
#include "treelist/DxTreeList.h"
#include "treelist/DxTreeListDraw.h"

namespace {

constexpr UINT kTickInterval = 20;
constexpr int kMaxSpeed = 12;
// Far beyond any screen: the neutral rectangle in a direction that cannot scroll.
constexpr int kUnbounded = 1000000;

}  // namespace

struct TdxTreeListMiddleScroll::TRun {
  HWND Marker = nullptr;
  int Direction = 0;
  int Speed = 1;
  bool WindowGone = false;
  bool ControlGone = false;
};

HWND TdxTreeListMiddleScroll::GetMiddleScrollMarker() const { return FMiddleScroll ? FMiddleScroll->Marker : nullptr; }

int TdxTreeListMiddleScroll::GetMiddleScrollDirection() const { return FMiddleScroll ? FMiddleScroll->Direction : 0; }

int TdxTreeListMiddleScroll::GetMiddleScrollSpeed() const { return FMiddleScroll ? FMiddleScroll->Speed : 0; }

void TdxTreeListMiddleScroll::AbandonMiddleScroll(bool controlGone) {
  if (!FMiddleScroll)
    return;
  FMiddleScroll->WindowGone = true;
  FMiddleScroll->ControlGone = FMiddleScroll->ControlGone || controlGone;
}

namespace {

// The marker: a borderless round pop-up of the STATIC class showing its picture, framed
// in the window-text colour. Destroyed with the scope.
class TScrollMarker {
 public:
  TScrollMarker(const TPoint& centre, const char* picture) {
    FPicture.LoadFromResourceName(ClassLibInstance(), picture);
    const int w = std::max(FPicture.GetWidth(), 1), h = std::max(FPicture.GetHeight(), 1);
    FRect = Bounds(centre.x - w / 2, centre.y - h / 2, w, h);
    FWnd = CreateWindowExA(WS_EX_TOOLWINDOW | WS_EX_TOPMOST, "STATIC", "", WS_POPUP, FRect.left, FRect.top, w, h,
                           nullptr, nullptr, ClassLibInstance(), nullptr);
    if (!FWnd)
      throw EOutOfResources(Format("Cannot create the scrolling marker (error %lu)", GetLastError()));
    HandleCreated(THandleKind::Window, FWnd);
    // The window owns the region once it is set.
    SetWindowRgn(FWnd, CreateEllipticRgn(0, 0, w + 1, h + 1), FALSE);
    ShowWindow(FWnd, SW_SHOWNOACTIVATE);
    Draw();
  }
  ~TScrollMarker() {
    HandleDestroyed(THandleKind::Window, FWnd);
    if (IsWindow(FWnd))
      DestroyWindow(FWnd);
  }
  TScrollMarker(const TScrollMarker&) = delete;
  TScrollMarker& operator=(const TScrollMarker&) = delete;

  HWND Handle() const { return FWnd; }
  const TRect& Rect() const { return FRect; }
  // The picture and its frame; the window's own painting only validates it.
  void Draw() {
    TClientDC dc(FWnd);
    const int w = RectWidth(FRect), h = RectHeight(FRect);
    {
      TMemoryDC memory(dc);
      TSelectGuard picture(memory.Get(), FPicture.GetHandle());
      BitBlt(dc, 0, 0, w, h, memory.Get(), 0, 0, SRCCOPY);
    }
    TRegionHandle frame(CreateEllipticRgn(0, 0, w + 1, h + 1));
    FrameRgn(dc, frame.Get(), GetSysColorBrush(COLOR_WINDOWTEXT), 1, 1);
    ValidateRect(FWnd, nullptr);
  }

 private:
  TBitmap FPicture;
  HWND FWnd = nullptr;
  TRect FRect{};
};

}  // namespace

bool TdxTreeListMiddleScroll::MiddleButtonScroll(int x, int y) {
  if (!FControl.HandleAllocated())
    return true;
  const HWND wnd = FControl.GetHandle();
  const LONG style = GetWindowLongA(wnd, GWL_STYLE);
  const bool horizontal = (style & WS_HSCROLL) != 0;
  // Neither scroll bar: as with the vertical one alone.
  const bool vertical = (style & WS_VSCROLL) != 0 || !horizontal;
  const bool both = horizontal && (style & WS_VSCROLL) != 0;
  const TPoint start = FControl.ClientToScreen(Point(x, y));

  TRun state;
  // Cleared when the loop ends, unless the control (and with it this part) went meanwhile.
  struct TRegistration {
    TdxTreeListMiddleScroll* Part;
    TRun& State;
    ~TRegistration() {
      if (!State.ControlGone)
        Part->FMiddleScroll = nullptr;
    }
  } registration{this, state};
  FMiddleScroll = &state;

  TScrollMarker marker(start, both         ? "DXGRID_FULLSCROLLBITMAP"
                              : horizontal ? "DXGRID_HORSCROLLBITMAP"
                                           : "DXGRID_VERSCROLLBITMAP");
  state.Marker = marker.Handle();
  // Cursors by direction (none, left, up, right, down), and of direction 0 by what can scroll.
  const TCursor neutralCursor = both         ? crDxTreeListFullScroll
                                : horizontal ? crDxTreeListHorzScroll
                                             : crDxTreeListVertScroll;
  auto showCursor = [&] {
    static constexpr TCursor byDirection[] = {0, crDxTreeListLeftScroll, crDxTreeListUpScroll,
                                              crDxTreeListRightScroll, crDxTreeListDownScroll};
    if (Screen)
      ::SetCursor(Screen->GetCursors(state.Direction == 0 ? neutralCursor : byDirection[state.Direction]));
  };
  TRect neutral = marker.Rect();
  if (!horizontal) {
    neutral.left = -kUnbounded;
    neutral.right = kUnbounded;
  }
  if (!vertical) {
    neutral.top = -kUnbounded;
    neutral.bottom = kUnbounded;
  }
  const int halfWidth = RectWidth(marker.Rect()) / 2, halfHeight = RectHeight(marker.Rect()) / 2;
  bool leftMarker = false;
  TPoint last = start;
  auto moveTo = [&](const TPoint& p) {
    last = p;
    if (!PointInRect(marker.Rect(), p))
      leftMarker = true;
    state.Direction = 0;
    state.Speed = 1;
    if (!PointInRect(neutral, p)) {
      const int dx = p.x - start.x, dy = p.y - start.y;
      int distance = 0;
      if (horizontal && (!vertical || std::abs(dx) > std::abs(dy))) {
        state.Direction = dx < 0 ? 1 : 3;
        distance = std::abs(dx) - halfWidth;
      } else {
        state.Direction = dy < 0 ? 2 : 4;
        distance = std::abs(dy) - halfHeight;
      }
      state.Speed = std::clamp(distance / 5 + 1, 1, kMaxSpeed);
    }
    showCursor();
  };
  showCursor();

  struct TCaptureScope {
    TRun& State;
    HWND Wnd;
    ~TCaptureScope() {
      if (!State.WindowGone && GetCapture() == Wnd)
        ReleaseCapture();
    }
  } capture{state, wnd};
  struct TTickTimer {
    UINT_PTR Id;
    ~TTickTimer() { TdxTreeListTimers::StopThreadTimer(Id); }
  } timer{TdxTreeListTimers::StartThreadTimer(kTickInterval)};
  SetCapture(wnd);

  unsigned ticks = 0;
  bool done = false;
  while (!done && !state.WindowGone) {
    MSG msg{};
    const BOOL got = GetMessageA(&msg, nullptr, 0, 0);
    if (got == 0) {
      PostQuitMessage(int(msg.wParam));  // the application's loop ends as asked
      break;
    }
    if (got < 0)
      break;
    const UINT m = msg.message;
    if ((m == WM_KEYDOWN || m == WM_KEYUP) && msg.wParam == VK_ESCAPE) {
      done = true;
    } else if (m == WM_MOUSEMOVE) {
      POINT p{short(LOWORD(msg.lParam)), short(HIWORD(msg.lParam))};
      ::ClientToScreen(msg.hwnd, &p);
      if (!(Point(p.x, p.y) == last))
        moveTo(Point(p.x, p.y));
    } else if (m == WM_MBUTTONUP) {
      done = leftMarker;  // a click without leaving the marker keeps the mode
    } else if ((m >= WM_MOUSEFIRST && m <= WM_MOUSELAST) || (m >= WM_NCLBUTTONDOWN && m <= WM_NCMBUTTONDBLCLK)) {
      done = true;
    } else if (m == WM_TIMER && msg.hwnd == nullptr && msg.wParam == timer.Id && timer.Id != 0) {
      ++ticks;
      if (state.Direction != 0 && ticks % unsigned(13 - state.Speed) == 0) {
        const bool horizontalStep = state.Direction == 1 || state.Direction == 3;
        const WPARAM code = state.Direction == 1 || state.Direction == 2 ? SB_LINEUP : SB_LINEDOWN;
        SendMessageA(wnd, horizontalStep ? WM_HSCROLL : WM_VSCROLL, code, 0);
      }
    } else if (m == WM_PAINT && msg.hwnd == marker.Handle()) {
      ValidateRect(msg.hwnd, nullptr);
    } else {
      TranslateMessage(&msg);
      DispatchMessageA(&msg);
    }
  }
  if (state.ControlGone)
    return false;
  if (!state.WindowGone && Screen)
    ::SetCursor(Screen->GetCursors(FControl.GetCursor()));
  return true;
}
