#include "skin/KsItemView.h"

#include <algorithm>

#include "classlib/AliveGuard.h"
#include "skin/KsBitmap.h"
#include "skin/KsItems.h"
#include "skin/KsUtils.h"

TKsItemView::TKsItemView(TComponent* AOwner, bool horizontal, bool rowLayout)
    : TComponent(AOwner), FHorizontal(horizontal), FRowLayout(rowLayout) {}

// A view freed while its chain runs (a bar's view, freed with the bar by a click's
// handler in a popup below it) leaves the chain: no view names it again.
TKsItemView::~TKsItemView() {
  if (FChildView && FChildView->FParentView == this)
    FChildView->FParentView = nullptr;
  if (FParentView && FParentView->FChildView == this)
    FParentView->FChildView = nullptr;
}

template <class Measured>
void TKsItemView::ForVisibleItems(Measured measured) {
  if (!FItem)
    return;
  for (int i = 0; i < FItem->GetCount(); ++i) {
    TKsCustomItem* item = FItem->GetItems(i);
    if (!item->GetVisible())
      continue;
    int w = 0, h = 0;
    item->CalcSize(FBitmap, this, w, h);
    measured(item, w, h);
  }
}

void TKsItemView::CalcSize() {
  TPoint total{0, 0};
  ForVisibleItems([&](TKsCustomItem*, int w, int h) {
    if (FRowLayout) {
      total.x += w;
      total.y = std::max<int>(total.y, h);
    } else {
      total.x = std::max<int>(total.x, w);
      total.y += h;
    }
  });
  SetViewSize(total);
}

TRect TKsItemView::GetItemRect(TKsCustomItem* item) {
  TRect result{0, 0, 0, 0};
  if (!item || !item->GetVisible() || !FItem)
    return result;
  if (FRowLayout && item->GetMDIButtonKind() != mbkNone) {
    int w = 0, h = 0;
    item->CalcSize(FBitmap, this, w, h);
    const int hw = FHost ? FHost->GetWidth() : 0, hh = FHost ? FHost->GetHeight() : 0;
    switch (item->GetMDIButtonKind()) {
      case mbkClose: return {hw - w, 0, hw, hh};
      case mbkRestore: return {hw - 2 * w, 0, hw - w, hh};
      case mbkMinimize: return {hw - 3 * w, 0, hw - 2 * w, hh};
      case mbkChildIcon: return {0, 0, w, h};
      default: return result;
    }
  }
  // Every visible sub-item is measured: the running offset before the item places it,
  // and a column is as wide as its widest item.
  int before = -1, running = 0, largestWidth = 0, itemWidth = 0, itemHeight = 0;
  ForVisibleItems([&](TKsCustomItem* sub, int w, int h) {
    largestWidth = std::max(largestWidth, w);
    if (sub == item) {
      before = running;
      itemWidth = w;
      itemHeight = h;
    }
    running += FRowLayout ? w : h;
  });
  if (before < 0)
    return result;
  if (FRowLayout)
    return {FOriginX + before, FOriginY, FOriginX + before + itemWidth, FOriginY + itemHeight};
  return {FOriginX, FOriginY + before, FOriginX + largestWidth, FOriginY + before + itemHeight};
}

TKsCustomItem* TKsItemView::ItemAtPos(TPoint screenPoint) {
  if (!FControl || !FItem)
    return nullptr;
  TPoint p = screenPoint;
  ScreenToClient(FControl->GetHandle(), &p);
  if (!FTracking)
    FSelected = nullptr;
  TKsCustomItem* hit = nullptr;
  for (int i = 0; i < FItem->GetCount() && !hit; ++i) {
    TKsCustomItem* item = FItem->GetItems(i);
    if (item->GetVisible() && PointInRect(GetItemRect(item), p))
      hit = item;
  }
  if (hit)
    FSelected = hit;
  InvalidateView();
  return hit;
}

void TKsItemView::PaintItems(TKsBitmap& bitmap) {
  if (!FItem)
    return;
  for (int i = 0; i < FItem->GetCount(); ++i) {
    TKsCustomItem* item = FItem->GetItems(i);
    if (item->GetVisible())
      item->Paint(bitmap, this, GetItemRect(item), item == FSelected, !FTracking);
  }
}

void TKsItemView::SelectNext() { Select(1); }

void TKsItemView::SelectPrev() { Select(-1); }

void TKsItemView::Select(int direction) {
  const int count = FItem ? FItem->GetCount() : 0;
  if (count == 0)
    return;
  int index = FSelected ? FItem->IndexOf(FSelected) : -1;
  // At most one full cycle: with nothing selectable the selection stays.
  for (int step = 0; step < count; ++step) {
    if (direction > 0)
      index = index >= count - 1 ? 0 : index + 1;
    else
      index = index <= 0 ? count - 1 : index - 1;
    TKsCustomItem* candidate = FItem->GetItems(index);
    if (!candidate->GetVisible() || candidate->IsSeparator())
      continue;
    if (candidate != FSelected) {
      FSelected = candidate;
      InvalidateView();
      if (FSubMenuOpen)
        OpenSelected();
    }
    return;
  }
}

TPoint TKsItemView::GetPopupPoint() {
  TRect r = GetItemRect(FSelected);
  TPoint p = FHorizontal ? TPoint{r.left, r.bottom} : TPoint{r.right, r.top};
  if (FControl)
    ClientToScreen(FControl->GetHandle(), &p);
  return p;
}

void TKsItemView::CloseMenuChain() {
  for (TKsItemView* view = this; view; view = view->FParentView) {
    view->FTracking = false;
    view->FSelected = nullptr;
    view->FSubMenuOpen = false;
    view->InvalidateView();
  }
}

// ---- The menu loop -------------------------------------------------------------------------

namespace {

// The last mouse position any menu loop has seen (screen coordinates).
TPoint LastMousePos{-1, -1};

// The client point of a mouse message in screen coordinates.
TPoint MessageScreenPoint(const MSG& msg) {
  POINT p{short(LOWORD(msg.lParam)), short(HIWORD(msg.lParam))};
  if (msg.hwnd)
    ClientToScreen(msg.hwnd, &p);
  return TPoint{p.x, p.y};
}

HWND ControlHandle(TKsItemView* view) {
  TWinControl* control = view ? view->GetControl() : nullptr;
  return control && control->HandleAllocated() ? control->GetHandle() : nullptr;
}

void PostKey(TKsItemView* view, WPARAM key) {
  if (HWND wnd = ControlHandle(view))
    PostMessageA(wnd, WM_KEYDOWN, key, 0);
}

// True when the screen point lies on the view's selected item.
bool OnSelectedItem(TKsItemView* view, TPoint screen) {
  if (!view->GetSelected() || !ControlHandle(view))
    return false;
  POINT p{screen.x, screen.y};
  ScreenToClient(ControlHandle(view), &p);
  return PointInRect(view->GetItemRect(view->GetSelected()), TPoint{p.x, p.y});
}

bool OnSelectedItemAbove(TKsItemView* view, TPoint screen) {
  for (TKsItemView* v = view->GetParentView(); v; v = v->GetParentView())
    if (OnSelectedItem(v, screen))
      return true;
  return false;
}

}  // namespace

TPoint KsLastMenuMousePos() { return LastMousePos; }

bool TKsItemView::TrackMenu() {
  FTracking = true;
  // A run starts with no sub-menu open: the first selection must not open one before
  // the loop has the capture.
  FSubMenuOpen = false;
  HWND captured = nullptr;
  bool captureTaken = false;
  // The counted capture goes back however the loop is left, and tracking ends, unless a
  // click's handler freed the whole menu and this view with it.
  struct TRelease {
    bool& Taken;
    ~TRelease() {
      if (Taken)
        KsReleaseCapture();
    }
  } release{captureTaken};
  const TOnExitIfAlive untrack(this, [this] { FTracking = false; });

  if (FItem && FItem->GetCount() > 0) {
    FSelected = FItem->GetItems(FItem->GetCount() - 1);
    SelectNext();
    if (FSelected && (!FSelected->GetVisible() || FSelected->IsSeparator()))
      FSelected = nullptr;
    POINT cursor{};
    if (GetCursorPos(&cursor))
      ItemAtPos(TPoint{cursor.x, cursor.y});
    InvalidateView();
  }
  if (HWND wnd = ControlHandle(this)) {
    KsSetCapture(wnd);
    captureTaken = true;
    captured = GetCapture();
  }
  // A loop whose view or item went away (a handler dispatched here freed the menu) ends
  // at once.
  auto keepTracking = [&] {
    if (!untrack.Alive())
      return false;
    if (FItem && !IsLiveItem(FItem)) {
      FItem = nullptr;
      FSelected = nullptr;
      FTracking = false;
    }
    if (FSelected && !IsLiveItem(FSelected))
      FSelected = nullptr;
    return FTracking && captured && GetCapture() == captured;
  };

  bool first = true;
  bool done = false;
  while (!done && keepTracking()) {
    if (!first)
      WaitMessage();
    first = false;
    MSG msg;
    while (!done && keepTracking() && PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE)) {
      // ---- Looked at while still in the queue
      if (msg.message == WM_QUIT || (msg.message >= WM_NCLBUTTONDOWN && msg.message <= WM_NCMBUTTONDBLCLK)) {
        CloseMenuChain();
        done = true;
        break;
      }
      if (msg.message == WM_WINDOWPOSCHANGING) {
        CloseMenuChain();
        done = true;
        break;
      }
      if (msg.message == WM_LBUTTONDOWN) {
        const TPoint p = MessageScreenPoint(msg);
        if (OnSelectedItem(this, p)) {
          PostKey(this, VK_RETURN);
        } else if (!OnSelectedItemAbove(this, p)) {
          CloseMenuChain();
          done = true;
          break;
        }
      }
      if (!PeekMessageA(&msg, msg.hwnd, msg.message, msg.message, PM_REMOVE | PM_NOYIELD))
        continue;

      // ---- Taken from the queue
      const UINT m = msg.message;
      if (m == WM_CONTEXTMENU)
        continue;
      if (m >= WM_KEYFIRST && m <= 0x108 && (GetKeyState(VK_LBUTTON) & 0x8000))
        continue;
      if (m == WM_KEYDOWN || m == WM_SYSKEYDOWN) {
        switch (msg.wParam) {
          case VK_TAB:
          case VK_SPACE: break;
          case VK_RETURN:
            if (TKsCustomItem* selected = FSelected) {
              // Without the click handler the click runs here: its handler may free the
              // item, and the clicked item's menu closes all the same.
              const bool alive = Survives(selected, &TKsCustomItem::Click);
              if (!untrack.Alive())  // the handler freed the whole menu
                return true;
              if (!alive || (!OpenSelected() && selected->GetEnabled() && !selected->IsSeparator())) {
                CloseMenuChain();
                done = true;
              }
            }
            break;
          case VK_ESCAPE:
            if (FParentView)
              FParentView->FSubMenuOpen = false;
            FSelected = nullptr;
            InvalidateView();
            done = true;
            break;
          case VK_MENU:
          case VK_F10:
            CloseMenuChain();
            done = true;
            break;
          case VK_LEFT:
          case VK_RIGHT:
            if (FHorizontal) {
              if (msg.wParam == VK_LEFT)
                SelectPrev();
              else
                SelectNext();
            } else if (FParentView && FParentView->FHorizontal) {
              PostKey(FParentView, msg.wParam);
              done = true;
            } else if (FParentView) {
              PostKey(this, VK_ESCAPE);
            }
            break;
          case VK_UP:
            if (!FHorizontal)
              SelectPrev();
            break;
          case VK_DOWN:
            if (FHorizontal)
              OpenSelected();
            else
              SelectNext();
            break;
          default: TranslateMessage(&msg); break;
        }
        continue;
      }
      if (m == WM_CHAR || m == WM_SYSCHAR) {
        if (TKsCustomItem* item = FItem ? FItem->FindAccelItem(char(msg.wParam)) : nullptr) {
          FSelected = item;
          InvalidateView();
          PostKey(this, VK_RETURN);
        }
        continue;
      }
      if (m == WM_MOUSEMOVE) {
        const TPoint p = MessageScreenPoint(msg);
        if (p == LastMousePos)
          continue;
        LastMousePos = p;
        TKsItemView* top = this;
        while (top->FParentView)
          top = top->FParentView;
        TKsItemView* changed = nullptr;
        for (TKsItemView* v = top; v && !changed; v = v->FChildView) {
          TKsCustomItem* before = v->FSelected;
          v->ItemAtPos(p);
          if (v != this && v->FSelected != before)
            changed = v;
        }
        if (changed) {
          // This popup and those between it and the view whose selection moved close;
          // that view then opens the new selection's popup.
          for (TKsItemView* v = this; v && v != changed; v = v->FParentView)
            PostKey(v, VK_ESCAPE);
          if (HWND wnd = ControlHandle(changed))
            PostMessageA(wnd, KM_OPENSELECTED, 0, 0);
          done = true;
        } else if (!FHorizontal) {
          OpenSelected();
        }
        continue;
      }
      if (m == WM_LBUTTONUP) {
        const TPoint p = MessageScreenPoint(msg);
        if (OnSelectedItem(this, p)) {
          // After a press on the same item this is a second VK_RETURN: it is posted to
          // this popup, which is gone (and the key with it) once the first one closed it.
          PostKey(this, VK_RETURN);
        } else if (!OnSelectedItemAbove(this, p)) {
          CloseMenuChain();
          done = true;
        }
        continue;
      }
      if (m == WM_LBUTTONDOWN || (m >= WM_LBUTTONDBLCLK && m <= 0x20A))
        continue;
      if (m == KM_OPENSELECTED) {
        OpenSelected();
        continue;
      }
      DispatchMessageA(&msg);
    }
  }
  return true;
}

bool TKsItemView::OpenSelected() {
  TKsCustomItem* selected = FSelected;
  if (!selected || !selected->GetEnabled() || selected->GetCount() == 0)
    return false;
  const TPoint point = GetPopupPoint();
  TRect rect = GetItemRect(selected);
  if (HWND wnd = ControlHandle(this)) {
    POINT corners[2] = {{rect.left, rect.top}, {rect.right, rect.bottom}};
    MapWindowPoints(wnd, nullptr, corners, 2);
    rect = TRect{corners[0].x, corners[0].y, corners[1].x, corners[1].y};
  }
  FSubMenuOpen = true;
  selected->ShowPopup(this, point.x, point.y, rect);
  return true;
}
