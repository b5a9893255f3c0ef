// The drag manager, the drag objects, the drag and dock handlers of TControl and
// TWinControl, and the floating dock form.
//
// Readings taken here:
// - The threshold is passed when the pointer leaves the square of Threshold pixels
//   around the press (|dx| or |dy| above it), the rule the tree list uses too.
// - DoStartDrag (DoStartDock) runs when the drag really starts, past the threshold: a
//   press released before it is no drag and fires nothing. In automatic drag mode the
//   press belongs to the drag (the control sees no mouse-down).
// - A refused drop and a cancelled drag tell the target drag-leave. On a drop the
//   target handles it first; then the source learns the outcome.
// - A source freed during its drag gets no handler called and its target no message:
//   both would see the half-destroyed control as Source.
// - Mouse messages of the drag are read from their own coordinates (not the cursor at
//   the time they are handled), so posted messages drive a drag exactly as real ones.
#include "classlib/DragDrop.h"

#include <algorithm>
#include <cassert>
#include <cstdlib>
#include <memory>
#include <vector>

#include "classlib/AliveGuard.h"
#include "classlib/Boundary.h"
#include "classlib/ControlsPrivate.h"
#include "classlib/Exceptions.h"
#include "classlib/GdiHandles.h"
#include "classlib/HandleCounter.h"
#include "classlib/ImageList.h"
#include "classlib/UtilWindow.h"

using namespace controls_detail;

namespace {

constexpr char kCaptureWindowClass[] = "TDragCapture";
// Posted by the key hook to the capture window: Escape was pressed.
constexpr UINT kCancelDragMessage = WM_USER + 1;
// How far around a dock site a dock drag may drop into it.
constexpr int kDockInfluence = 10;

TPoint gLastMousePos{};

// Forgets the drag's image list when the list is freed during the drag.
class TDragImagesWatch : public TComponent {
  KIVO_CLASS(TDragImagesWatch, TComponent)
 public:
  explicit TDragImagesWatch(TComponent* AOwner) : TComponent(AOwner) {}
  TCustomImageList* GetImages() const { return FImages; }
  void Watch(TCustomImageList* images) {
    if (FImages)
      RemoveFreeNotification(FImages);
    FImages = images;
    if (images)
      FreeNotification(images);
  }

 protected:
  void Notification(TComponent* AComponent, TOperation operation) override {
    inherited::Notification(AComponent, operation);
    if (operation == opRemove && AComponent == FImages)
      FImages = nullptr;
  }

 private:
  TCustomImageList* FImages = nullptr;
};

// The control's rectangle on the screen.
TRect ScreenBounds(TControl* control) {
  TPoint topLeft = Point(control->GetLeft(), control->GetTop());
  if (TWinControl* parent = control->GetParent())
    topLeft = parent->ClientToScreen(topLeft);
  return Bounds(topLeft.x, topLeft.y, control->GetWidth(), control->GetHeight());
}

// Inverts a frame of `width` pixels along the inside of `r` on the screen; drawing it
// twice restores the screen.
void InvertFrame(const TRect& r, int width) {
  TClientDC dc(nullptr);
  if (!dc.Get())
    return;
  TSelectGuard selected(dc, GetStockObject(GRAY_BRUSH));
  const int w = RectWidth(r), h = RectHeight(r);
  PatBlt(dc, r.left, r.top, w, width, PATINVERT);
  PatBlt(dc, r.left, r.bottom - width, w, width, PATINVERT);
  PatBlt(dc, r.left, r.top + width, width, h - 2 * width, PATINVERT);
  PatBlt(dc, r.right - width, r.top + width, width, h - 2 * width, PATINVERT);
}

// The drag state a drag message tells of (enter, move, leave).
bool DragStateOf(TDragMessage msg, TDragState& state) {
  switch (msg) {
    case dmDragEnter: state = dsDragEnter; return true;
    case dmDragMove: state = dsDragMove; return true;
    case dmDragLeave: state = dsDragLeave; return true;
    default: return false;
  }
}

LRESULT CALLBACK CaptureWndProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam);
LRESULT CALLBACK KeyHookProc(int code, WPARAM wParam, LPARAM lParam);

}  // namespace

// ---- The drag manager -----------------------------------------------------------------------

// The one drag of the process: its source, object, capture window, hook and images.
class TDragManager {
 public:
  static TDragManager& Instance() {
    static TDragManager manager;
    return manager;
  }

  bool IsSource(const TControl* control) const { return FSource && FSource == control; }
  TDragObject* Active() const { return FStarted ? FObject : nullptr; }
  void Begin(TControl* source, const TPoint& pos, bool immediate, int threshold);
  void MoveTo(const TPoint& pos);
  void Finish(bool drop);
  void ControlDestroyed(TControl* control);
  void SetDockSite(TWinControl* site, bool value);
  void ShowImage(TDragObject* object, bool show);
  LRESULT CaptureMessage(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam);
  void EscapePressed() {
    if (FCaptureWnd)
      PostMessageA(FCaptureWnd, kCancelDragMessage, 0, 0);
  }

 private:
  // Keeps retired drag objects alive until the outermost call of the drag returns.
  class TEntry {
   public:
    explicit TEntry(TDragManager& manager) : FManager(manager) { ++FManager.FDepth; }
    ~TEntry() {
      if (--FManager.FDepth == 0)
        FManager.FRetired.clear();
    }
    TEntry(const TEntry&) = delete;
    TEntry& operator=(const TEntry&) = delete;

   private:
    TDragManager& FManager;
  };
  // The controls an ending drag still calls, forgotten when they are freed meanwhile.
  struct TEnding {
    TControl* Source;
    TControl* Target;
  };

  void Start(const TPoint& pos);
  TControl* FindTarget(const TPoint& pos);
  TWinControl* FindDockSite(const TPoint& pos);
  bool TakesDock(TWinControl* site, const TPoint& pos);
  void Send(TControl* target, TDragObject* object, TDragMessage msg);
  void UpdateFeedback();
  void ShowDockFrame(bool show);
  void Teardown();

  TControl* FSource = nullptr;
  bool FStarted = false;
  bool FDocking = false;
  TPoint FStartPos{};
  int FThreshold = DefaultDragThreshold;
  TDragObject* FObject = nullptr;
  std::unique_ptr<TDragObject> FOwned;
  TPoint FGrabOffset{};
  HWND FCaptureWnd = nullptr;
  HHOOK FHook = nullptr;
  std::unique_ptr<TDragImagesWatch> FImages;
  bool FImageShown = false;
  bool FFrameShown = false;
  TRect FFrameRect{};
  int FFrameWidth = 0;
  unsigned FSession = 0;
  int FDepth = 0;
  std::vector<std::unique_ptr<TDragObject>> FRetired;
  std::vector<TEnding*> FEndings;
  std::vector<TWinControl*> FDockSites;
};

namespace {

// A plain procedure, not an object instance: the drag may end, and the window go,
// inside one of its own messages.
LRESULT CALLBACK CaptureWndProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  return GuardBoundaryResult<LRESULT>("drag capture window", 0, [&] {
    return TDragManager::Instance().CaptureMessage(wnd, msg, wParam, lParam);
  });
}

LRESULT CALLBACK KeyHookProc(int code, WPARAM wParam, LPARAM lParam) {
  if (code == HC_ACTION && wParam == PM_REMOVE) {
    auto* msg = reinterpret_cast<MSG*>(lParam);
    if (msg->message == WM_KEYDOWN && msg->wParam == VK_ESCAPE) {
      msg->message = WM_NULL;  // the drag takes the key
      GuardBoundary("drag key hook", [] { TDragManager::Instance().EscapePressed(); });
    }
  }
  return CallNextHookEx(nullptr, code, wParam, lParam);
}

}  // namespace

void TDragManager::Begin(TControl* source, const TPoint& pos, bool immediate, int threshold) {
  assert(source && "a control to drag");
  if (FSource)
    return;
  TEntry entry(*this);
  RegisterLibraryWindowClass(kCaptureWindowClass, CaptureWndProc);
  HWND wnd = CreateWindowExA(WS_EX_TOOLWINDOW, kCaptureWindowClass, "", WS_POPUP, 0, 0, 0, 0, nullptr,
                             nullptr, ClassLibInstance(), nullptr);
  if (!wnd)
    throw EOutOfResources(Format("Cannot create the drag's capture window (error %lu)", GetLastError()));
  HandleCreated(THandleKind::Window, wnd);
  FCaptureWnd = wnd;
  FSource = source;
  FDocking = source->GetDragKind() == dkDock;
  FStarted = false;
  FStartPos = pos;
  FThreshold = threshold < 0 ? DefaultDragThreshold : threshold;
  ++FSession;
  // The release goes to the drag now, never to the control.
  source->SetControlState(source->GetControlState() - TControlState{csLButtonDown, csClicked});
  SetCapture(wnd);
  FHook = SetWindowsHookExA(WH_GETMESSAGE, KeyHookProc, nullptr, GetCurrentThreadId());
  if (immediate)
    Start(pos);
}

void TDragManager::Start(const TPoint& pos) {
  TEntry entry(*this);
  const unsigned session = FSession;
  TControl* source = FSource;
  TDragObject* object = nullptr;
  try {
    if (FDocking) {
      TDragDockObject* dock = nullptr;
      source->DoStartDock(dock);
      object = dock;
    } else {
      source->DoStartDrag(object);
    }
  } catch (...) {
    if (session == FSession)
      Teardown();
    throw;
  }
  if (session != FSession)
    return;  // the handler ended the drag, or freed its source
  if (FDocking && !ObjectAs<TDragDockObject>(object))
    object = nullptr;  // a dock drag needs a dock object: the library's own then
  if (!object) {
    if (FDocking)
      FOwned = std::make_unique<TDragDockObject>(source);
    else
      FOwned = std::make_unique<TDragControlObject>(source);
    object = FOwned.get();
  }
  FObject = object;
  FStarted = true;
  object->FDragPos = pos;
  if (auto* dock = ObjectAs<TDragDockObject>(object)) {
    const TRect bounds = ScreenBounds(source);
    FGrabOffset = Point(FStartPos.x - bounds.left, FStartPos.y - bounds.top);
    dock->FDockRect = bounds;
  }
  if (TCustomImageList* images = object->GetDragImages(); images && images->GetCount() > 0) {
    FImages = std::make_unique<TDragImagesWatch>(nullptr);
    FImages->Watch(images);
    FImageShown = images->BeginDrag(GetDesktopWindow(), pos.x, pos.y);
  }
  MoveTo(pos);
}

void TDragManager::MoveTo(const TPoint& pos) {
  if (!FSource)
    return;
  TEntry entry(*this);
  if (!FStarted) {
    if (std::abs(pos.x - FStartPos.x) > FThreshold || std::abs(pos.y - FStartPos.y) > FThreshold)
      Start(pos);
    return;
  }
  const unsigned session = FSession;
  TDragObject* object = FObject;
  auto* dock = ObjectAs<TDragDockObject>(object);
  ShowDockFrame(false);
  object->FDragPos = pos;
  // Where the control would float: its size at the pointer, less where it was taken.
  TRect freeRect{};
  if (dock) {
    const TRect bounds = dock->FDockRect;
    freeRect = Bounds(pos.x - FGrabOffset.x, pos.y - FGrabOffset.y, RectWidth(bounds), RectHeight(bounds));
    dock->FDockRect = freeRect;
  }
  TControl* target = FindTarget(pos);
  if (session != FSession)
    return;
  const bool changed = target != object->FDragTarget;
  if (changed) {
    TControl* old = object->FDragTarget;
    object->FDragTarget = nullptr;
    if (old) {
      Send(old, object, dmDragLeave);
      if (session != FSession)
        return;
    }
    object->FDragTarget = target;
  }
  object->FAccepted = FDocking;  // a dock site agreed already; a control has to say yes
  if (target) {
    object->FDragTargetPos = target->ScreenToClient(pos);
    Send(target, object, changed ? dmDragEnter : dmDragMove);
    if (session != FSession)
      return;  // a handler ended the drag
  }
  if (!object->FDragTarget)
    object->FAccepted = false;
  if (dock) {
    dock->FFloating = !(object->FDragTarget && object->FAccepted);
    if (dock->FFloating)
      dock->FDockRect = freeRect;
  }
  UpdateFeedback();
}

TControl* TDragManager::FindTarget(const TPoint& pos) {
  if (FDocking)
    return FindDockSite(pos);
  return FindDragTarget(pos, false);
}

bool TDragManager::TakesDock(TWinControl* site, const TPoint& pos) {
  if (site == FSource || !site->GetDockSite() || !site->HandleAllocated() ||
      !IsWindowVisible(site->GetHandle()) || !site->GetEnabled())
    return false;
  if (auto* source = ObjectAs<TWinControl>(FSource); source && source->ContainsControl(site))
    return false;
  TRect influence{};
  bool canDock = true;
  // The site's handler may free the site: a site gone takes nothing.
  if (!Survives(site, [&] { site->GetSiteInfo(FSource, influence, pos, canDock); }))
    return false;
  return canDock && PointInRect(influence, pos);
}

TWinControl* TDragManager::FindDockSite(const TPoint& pos) {
  // The site under the pointer first (the innermost), then any other whose influence
  // reaches the pointer, the last made first.
  // A site's handler may free it: its parent is taken first.
  for (TControl* c = FindDragTarget(pos, true), *parent = nullptr; c; c = parent) {
    parent = c->GetParent();
    if (auto* site = ObjectAs<TWinControl>(c); site && site->GetDockSite() && TakesDock(site, pos))
      return site;
  }
  const std::vector<TWinControl*> sites = FDockSites;
  for (auto it = sites.rbegin(); it != sites.rend(); ++it)
    if (std::find(FDockSites.begin(), FDockSites.end(), *it) != FDockSites.end() && TakesDock(*it, pos))
      return *it;
  return nullptr;
}

void TDragManager::Send(TControl* target, TDragObject* object, TDragMessage msg) {
  TDragRec rec{object->FDragPos, object, target, FDocking};
  target->Perform(CM_DRAG, msg, reinterpret_cast<LPARAM>(&rec));
}

void TDragManager::UpdateFeedback() {
  TDragObject* object = FObject;
  const TPoint pos = object->FDragPos;
  const TPoint at = object->FDragTargetPos;
  ::SetCursor(Screen ? Screen->GetCursors(object->GetDragCursor(object->FAccepted, at.x, at.y))
                     : LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW)));
  ShowDockFrame(true);
  TCustomImageList* images = FImages ? FImages->GetImages() : nullptr;
  if (!images)
    return;
  // The image shows only over controls that ask for it.
  TControl* target = object->FDragTarget;
  const bool wanted = target && target->GetControlStyle().Contains(csDisplayDragImage);
  if (!wanted && FImageShown) {
    images->HideDragImage();
    FImageShown = false;
  }
  images->DragMove(pos.x, pos.y);
  if (wanted && !FImageShown) {
    images->ShowDragImage();
    FImageShown = true;
  }
}

void TDragManager::ShowImage(TDragObject* object, bool show) {
  if (object != Active() || !FImages || !FImages->GetImages() || show == FImageShown)
    return;
  if (show)
    FImages->GetImages()->ShowDragImage();
  else
    FImages->GetImages()->HideDragImage();
  FImageShown = show;
}

void TDragManager::ShowDockFrame(bool show) {
  if (!show) {
    if (FFrameShown)
      InvertFrame(FFrameRect, FFrameWidth);
    FFrameShown = false;
    return;
  }
  auto* dock = ObjectAs<TDragDockObject>(FObject);
  if (!dock || FFrameShown)
    return;
  FFrameRect = dock->FDockRect;
  FFrameWidth = dock->GetFrameWidth();
  InvertFrame(FFrameRect, FFrameWidth);
  FFrameShown = true;
}

void TDragManager::Teardown() {
  // Nothing of the drag runs any more before a handler is called.
  FSource = nullptr;
  FStarted = false;
  ++FSession;
  ShowDockFrame(false);
  if (FImages) {
    if (TCustomImageList* images = FImages->GetImages())
      images->EndDrag();
    FImages.reset();
  }
  FImageShown = false;
  if (FHook) {
    UnhookWindowsHookEx(FHook);
    FHook = nullptr;
  }
  if (HWND wnd = FCaptureWnd) {
    FCaptureWnd = nullptr;
    if (GetCapture() == wnd)
      ReleaseCapture();
    HandleDestroyed(THandleKind::Window, wnd);
    DestroyWindow(wnd);
  }
  if (FOwned)
    FRetired.push_back(std::move(FOwned));
  FObject = nullptr;
}

void TDragManager::Finish(bool drop) {
  if (!FSource)
    return;
  TEntry entry(*this);
  if (!FStarted) {
    Teardown();  // released before the threshold: no drag happened
    return;
  }
  TDragObject* object = FObject;
  const bool docking = FDocking;
  TEnding ending{FSource, object->FDragTarget};
  const bool accepted = ending.Target && object->FAccepted;
  const bool dropped = drop && accepted;
  object->FDropped = dropped;
  object->FCancelling = !drop;
  const TPoint pos = object->FDragPos;
  const TRect dockRect = docking ? static_cast<TDragDockObject*>(object)->FDockRect : TRect{};
  Teardown();

  FEndings.push_back(&ending);
  struct TPop {
    std::vector<TEnding*>& Endings;
    ~TPop() { Endings.pop_back(); }
  } pop{FEndings};
  if (ending.Target) {
    TDragRec rec{pos, object, ending.Target, docking};
    ending.Target->Perform(CM_DRAG, dropped ? dmDragDrop : dmDragLeave, reinterpret_cast<LPARAM>(&rec));
  }
  // A dock drag let go where no site took it floats the control there.
  if (docking && drop && !dropped && ending.Source)
    ending.Source->ManualFloat(dockRect);
  if (!ending.Source)
    return;
  TObject* target = dropped ? ending.Target : nullptr;
  const TPoint at = ending.Target ? ending.Target->ScreenToClient(pos) : pos;
  if (docking)
    ending.Source->DoEndDock(target, at.x, at.y);
  else
    ending.Source->DoEndDrag(target, at.x, at.y);
}

void TDragManager::ControlDestroyed(TControl* control) {
  std::erase(FDockSites, control);
  for (TEnding* ending : FEndings) {
    if (ending->Source == control)
      ending->Source = nullptr;
    if (ending->Target == control)
      ending->Target = nullptr;
  }
  if (FObject && FObject->FDragTarget == control)
    FObject->FDragTarget = nullptr;
  if (FSource == control) {
    TEntry entry(*this);
    Teardown();
  }
}

void TDragManager::SetDockSite(TWinControl* site, bool value) {
  std::erase(FDockSites, site);
  if (value)
    FDockSites.push_back(site);
}

LRESULT TDragManager::CaptureMessage(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (wnd != FCaptureWnd)
    return DefWindowProcA(wnd, msg, wParam, lParam);
  auto screenPos = [&] {
    POINT p{short(LOWORD(lParam)), short(HIWORD(lParam))};
    ClientToScreen(wnd, &p);
    gLastMousePos = p;
    return p;
  };
  switch (msg) {
    case WM_MOUSEMOVE:
      MoveTo(screenPos());
      return 0;
    case WM_LBUTTONUP: {
      const TPoint p = screenPos();
      if (FStarted && !(p == FObject->FDragPos))
        MoveTo(p);
      Finish(true);
      return 0;
    }
    case WM_RBUTTONDOWN:
    case kCancelDragMessage:
    case WM_CANCELMODE:
      Finish(false);
      return 0;
    case WM_CAPTURECHANGED:
      if (reinterpret_cast<HWND>(lParam) != wnd)
        Finish(false);  // another window took the mouse
      return 0;
  }
  return DefWindowProcA(wnd, msg, wParam, lParam);
}

// ---- Drag objects ---------------------------------------------------------------------------

TCursor TDragObject::GetDragCursor(bool accepted, int, int) { return accepted ? crDrag : crNoDrop; }

void TDragObject::HideDragImage() { TDragManager::Instance().ShowImage(this, false); }

void TDragObject::ShowDragImage() { TDragManager::Instance().ShowImage(this, true); }

TCursor TDragControlObject::GetDragCursor(bool accepted, int, int) {
  return accepted ? GetControl()->GetDragCursor() : crNoDrop;
}

TCustomImageList* TDragControlObject::GetDragImages() { return GetControl()->GetDragImages(); }

TDragObject* ActiveDragObject() { return TDragManager::Instance().Active(); }

void BeginDragAt(TControl* control, const TPoint& screenPos, bool immediate, int threshold) {
  TDragManager::Instance().Begin(control, screenPos, immediate, threshold);
}

// ---- The floating dock form -------------------------------------------------------------------

TCustomDockForm::TCustomDockForm(TComponent* AOwner) : TCustomForm(AOwner) {
  SetBorderStyle(bsSizeToolWin);
}

void TCustomDockForm::Dispatch(TMessage& message) {
  inherited::Dispatch(message);
  if (message.Msg == WM_GETMINMAXINFO && HandleAllocated()) {
    // The system's smallest window would widen a small control's tool window: the
    // form may shrink to its frame.
    RECT window{}, client{};
    GetWindowRect(GetHandle(), &window);
    ::GetClientRect(GetHandle(), &client);
    MINMAXINFO* info = MessageAs<TWMGetMinMaxInfo>(message).MinMaxInfo;
    info->ptMinTrackSize = POINT{RectWidth(window) - RectWidth(client), RectHeight(window) - RectHeight(client)};
    return;
  }
  if (message.Msg != CM_CONTROLLISTCHANGE || MessageAs<TCMControlListChange>(message).Inserting)
    return;
  if (GetControlCount() == 0 && !GetComponentState().Contains(csDestroying))
    Release();  // its control has gone: the form goes after the messages being handled
}

// ---- Controls' side -------------------------------------------------------------------------

namespace controls_detail {

void DragControlDestroyed(TControl* control) { TDragManager::Instance().ControlDestroyed(control); }

void NoteMouseMessage(TControl* control, const TMessage& message) {
  const auto& mouse = reinterpret_cast<const TWMMouse&>(message);
  POINT p{mouse.XPos, mouse.YPos};
  HWND wnd = nullptr;
  if (auto* win = ObjectAs<TWinControl>(control)) {
    if (!win->HandleAllocated())
      return;
    wnd = win->GetHandle();
  } else {
    TWinControl* parent = control->GetParent();
    if (!parent || !parent->HandleAllocated())
      return;
    wnd = parent->GetHandle();
    p.x += control->GetLeft();
    p.y += control->GetTop();
  }
  ClientToScreen(wnd, &p);
  gLastMousePos = p;
}

}  // namespace controls_detail

void TControl::BeginDrag(bool immediate, int threshold) {
  TDragManager::Instance().Begin(this, gLastMousePos, immediate, threshold);
}

void TControl::EndDrag(bool drop) {
  if (Dragging())
    TDragManager::Instance().Finish(drop);
}

bool TControl::Dragging() const { return TDragManager::Instance().IsSource(this); }

bool TControl::GetFloating() const { return ObjectAs<TCustomDockForm>(FParent) != nullptr; }

void TControl::DoStartDrag(TDragObject*& dragObject) { OnStartDrag(this, dragObject); }

void TControl::DragOver(TObject* source, int x, int y, TDragState state, bool& accept) {
  accept = OnDragOver.Assigned();
  OnDragOver(this, source, x, y, state, accept);
}

void TControl::DragDrop(TObject* source, int x, int y) { OnDragDrop(this, source, x, y); }

void TControl::DoEndDrag(TObject* target, int x, int y) { OnEndDrag(this, target, x, y); }

void TControl::DoStartDock(TDragDockObject*& dragObject) { OnStartDock(this, dragObject); }

void TControl::DoEndDock(TObject* target, int x, int y) { OnEndDock(this, target, x, y); }

void TControl::CMDrag(TMessage& message) {
  auto* rec = reinterpret_cast<TDragRec*>(message.LParam);
  if (!rec || !rec->Source || rec->Docking)
    return;
  TDragObject* object = rec->Source;
  const TPoint p = ScreenToClient(rec->Pos);
  const auto kind = TDragMessage(LOWORD(message.WParam));
  if (kind == dmDragDrop) {
    DragDrop(object->GetSource(), p.x, p.y);
    return;
  }
  TDragState state{};
  if (!DragStateOf(kind, state))
    return;
  DragOver(object->GetSource(), p.x, p.y, state, object->FAccepted);
  message.Result = object->FAccepted;
}

bool TControl::ManualDock(TWinControl* site) {
  if (!site) {
    ManualFloat(ScreenBounds(this));
    return true;
  }
  if (site == static_cast<TControl*>(this) || (Is<TWinControl>() && static_cast<TWinControl*>(this)->ContainsControl(site)))
    throw EInvalidOperation(Format("Control '%s' cannot dock into itself", GetName().c_str()));
  if (!site->GetDockSite())
    return false;
  TDragDockObject dock(this);
  dock.SetDockRect(ScreenBounds(this));
  site->PositionDockRect(&dock);
  const TPoint p = site->ScreenToClient(Point(dock.GetDockRect().left, dock.GetDockRect().top));
  site->DockDrop(&dock, p.x, p.y);
  return true;
}

void TControl::ManualFloat(const TRect& screenRect) {
  auto* form = ObjectAs<TCustomDockForm>(FParent);
  if (!form)
    form = new TCustomDockForm(Application);
  // The form's client area takes the rectangle.
  HWND wnd = form->GetHandle();
  RECT window{};
  GetWindowRect(wnd, &window);
  POINT origin{0, 0};
  ::ClientToScreen(wnd, &origin);
  const TRect client = form->GetClientRect();
  const int width = RectWidth(screenRect), height = RectHeight(screenRect);
  form->SetBounds(screenRect.left - (origin.x - window.left), screenRect.top - (origin.y - window.top),
                  width + RectWidth(window) - RectWidth(client), height + RectHeight(window) - RectHeight(client));
  if (FParent != form) {
    SetParent(nullptr);
    SetBounds(0, 0, width, height);
    SetParent(form);
  } else {
    SetBounds(0, 0, width, height);
  }
  form->Show();
}

// ---- Dock sites ---------------------------------------------------------------------------

void TWinControl::SetDockSite(bool value) {
  if (value == FDockSite)
    return;
  FDockSite = value;
  TDragManager::Instance().SetDockSite(this, value);
}

void TWinControl::GetSiteInfo(TControl* client, TRect& influenceRect, TPoint mousePos, bool& canDock) {
  influenceRect = ScreenBounds(this);
  InflateRect(&influenceRect, kDockInfluence, kDockInfluence);
  OnGetSiteInfo(this, client, influenceRect, mousePos, canDock);
}

void TWinControl::DockOver(TDragDockObject* source, int x, int y, TDragState state, bool& accept) {
  if (state != dsDragLeave)
    PositionDockRect(source);
  OnDockOver(this, source, x, y, state, accept);
}

void TWinControl::PositionDockRect(TDragDockObject* source) {
  const TPoint origin = ClientToScreen(Point(0, 0));
  const TRect client = GetClientRect();
  TRect r = source->GetDockRect();
  const int width = RectWidth(r), height = RectHeight(r);
  const int left = std::max(origin.x, std::min(r.left, origin.x + RectWidth(client) - width));
  const int top = std::max(origin.y, std::min(r.top, origin.y + RectHeight(client) - height));
  source->SetDockRect(Bounds(left, top, width, height));
}

void TWinControl::DockDrop(TDragDockObject* source, int x, int y) {
  TControl* control = source->GetControl();
  const TRect r = source->GetDockRect();
  const TPoint topLeft = ScreenToClient(Point(r.left, r.top));
  // Out of its old place and into this site, with its own size.
  control->SetParent(nullptr);
  control->SetBounds(topLeft.x, topLeft.y, control->GetWidth(), control->GetHeight());
  control->SetParent(this);
  OnDockDrop(this, source, x, y);
}

void TWinControl::CMDockDrag(TMessage& message) {
  auto* rec = reinterpret_cast<TDragRec*>(message.LParam);
  auto* dock = rec && rec->Docking ? ObjectAs<TDragDockObject>(rec->Source) : nullptr;
  if (!dock) {
    inherited::Dispatch(message);
    return;
  }
  const TPoint p = ScreenToClient(rec->Pos);
  const auto kind = TDragMessage(LOWORD(message.WParam));
  if (kind == dmDragDrop) {
    DockDrop(dock, p.x, p.y);
    return;
  }
  TDragState state{};
  if (!DragStateOf(kind, state))
    return;
  DockOver(dock, p.x, p.y, state, dock->FAccepted);
  message.Result = dock->FAccepted;
}
