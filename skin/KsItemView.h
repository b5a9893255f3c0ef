// TKsItemView: one level of a menu, the sub-items of one TKsCustomItem laid out in a
// row (a menu bar) or a column (a popup). It measures them, gives each its rectangle in
// the client area of the view's control, hit-tests screen points, moves the selection
// with the arrow keys and paints the items into a TKsBitmap. The view owns none of what
// it names: the item, host, control and bitmap belong to the bar or popup that made it.
// Views of nested popups form a chain through ParentView and ChildView.
#pragma once

#include "classlib/Components.h"
#include "classlib/Controls.h"
#include "classlib/Geometry.h"

class TKsBitmap;
class TKsCustomItem;

// Posted to a view's control: the running menu loop opens the selected item's popup
// (the mouse moved onto another item of a view up the chain).
constexpr UINT KM_OPENSELECTED = 0x46F;

// The last mouse position any menu loop has seen, in screen coordinates.
TPoint KsLastMenuMousePos();

class TKsItemView : public TComponent {
  KIVO_CLASS(TKsItemView, TComponent)
 public:
  // `rowLayout`: measuring sums the widths and takes the largest height.
  TKsItemView(TComponent* AOwner, bool horizontal, bool rowLayout);
  ~TKsItemView() override;

  TKsCustomItem* GetItem() const { return FItem; }
  void SetItem(TKsCustomItem* value) { FItem = value; }
  bool GetHorizontal() const { return FHorizontal; }
  bool GetRowLayout() const { return FRowLayout; }
  // The control whose size places the MDI buttons of a bar.
  TControl* GetHost() const { return FHost; }
  void SetHost(TControl* value) { FHost = value; }
  // The window that converts coordinates for the view.
  TWinControl* GetControl() const { return FControl; }
  void SetControl(TWinControl* value) { FControl = value; }
  TKsCustomItem* GetSelected() const { return FSelected; }
  void SetSelected(TKsCustomItem* value) { FSelected = value; }
  bool GetSubMenuOpen() const { return FSubMenuOpen; }
  void SetSubMenuOpen(bool value) { FSubMenuOpen = value; }
  bool GetTracking() const { return FTracking; }
  void SetTracking(bool value) { FTracking = value; }
  TKsItemView* GetParentView() const { return FParentView; }
  void SetParentView(TKsItemView* value) { FParentView = value; }
  TKsItemView* GetChildView() const { return FChildView; }
  void SetChildView(TKsItemView* value) { FChildView = value; }
  // The surface the items are measured with.
  TKsBitmap* GetBitmap() const { return FBitmap; }
  void SetBitmap(TKsBitmap* value) { FBitmap = value; }
  // The top-left of the item area in the control.
  int GetOriginX() const { return FOriginX; }
  void SetOriginX(int value) { FOriginX = value; }
  int GetOriginY() const { return FOriginY; }
  void SetOriginY(int value) { FOriginY = value; }

  // Hooks of the bar and popup views.
  virtual void SetViewSize(TPoint size) {}
  virtual void SetViewPos(TPoint point) {}
  virtual void InvalidateView() {}
  // Paints every visible sub-item in its rectangle.
  virtual void PaintItems(TKsBitmap& bitmap);

  // Measures the visible sub-items and hands their total size to SetViewSize.
  void CalcSize();
  // The rectangle of a visible sub-item in the control's client area; empty for an
  // absent or invisible item.
  TRect GetItemRect(TKsCustomItem* item);
  // Hit-tests a screen point: the visible sub-item under it becomes Selected (outside
  // every item the selection is cleared, unless the view is tracking); answers the
  // item under the point or null.
  TKsCustomItem* ItemAtPos(TPoint screenPoint);
  // Moves the selection one visible, non-separator item on (back), wrapping at both
  // ends; with no such item the selection stays as it is.
  void SelectNext();
  void SelectPrev();
  // Where the selected item's popup opens, in screen coordinates: below its left edge in
  // a horizontal view, beside its right edge in a column.
  TPoint GetPopupPoint();
  // The modal menu loop: keys and mouse go to this view (and the views of the popups
  // it opens) until the chain closes or another window takes the mouse capture.
  bool TrackMenu();
  // Opens the popup of the selected item when it is enabled and has sub-items.
  bool OpenSelected();
  // Ends the selection and tracking of this view and of every view above it.
  void CloseMenuChain();

 private:
  void Select(int direction);
  // Calls measured(item, width, height) for every visible sub-item in order.
  template <class Measured>
  void ForVisibleItems(Measured measured);

  TKsCustomItem* FItem = nullptr;
  bool FHorizontal;
  bool FRowLayout;
  TControl* FHost = nullptr;
  TWinControl* FControl = nullptr;
  TKsCustomItem* FSelected = nullptr;
  bool FSubMenuOpen = false;
  bool FTracking = false;
  TKsItemView* FParentView = nullptr;
  TKsItemView* FChildView = nullptr;
  TKsBitmap* FBitmap = nullptr;
  int FOriginX = 0;
  int FOriginY = 0;
};
