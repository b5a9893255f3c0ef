#include "skin/KsItemView.h"

#include <algorithm>

#include "skin/KsBitmap.h"
#include "skin/KsItems.h"

TKsItemView::TKsItemView(TComponent* AOwner, bool horizontal, bool rowLayout)
    : TComponent(AOwner), FHorizontal(horizontal), FRowLayout(rowLayout) {}

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
  if (FRowLayout && item->GetMDIButtonKind() != 0) {
    int w = 0, h = 0;
    item->CalcSize(FBitmap, this, w, h);
    const int hw = FHost ? FHost->GetWidth() : 0, hh = FHost ? FHost->GetHeight() : 0;
    switch (item->GetMDIButtonKind()) {
      case 1: return {hw - w, 0, hw, hh};
      case 2: return {hw - 2 * w, 0, hw - w, hh};
      case 3: return {hw - 3 * w, 0, hw - 2 * w, hh};
      case 4: return {0, 0, w, h};
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
