// TdxTreeListDrag: the header and node drags of a tree list. It owns the drag images and
// their position, the drag point, the drop place, the drop arrows, the header drag cursor,
// the dragged band and column, the drag, drag-over and drag-expand nodes, the drag-expand
// delay and the customizing form; with them the drag pictures, drop places, drag-expand
// hovering and the drag feedback. The drag image list is freed when a drag ends and, at the
// latest, by the control's destructor; a drop is decided at the last point the drag reported.
// A part of TCustomdxTreeList, made with it and held by it; it keeps its control and reaches
// the control's state through the control's operations.
#pragma once

#include <cstdint>

#include "classlib/Object.h"
#include "treelist/DxTreeListTypes.h"

class TBitmap;
class TCustomdxTreeList;
class TCustomImageList;
class TDragObject;
class TImageList;
class TWinControl;
class TdxTreeListNode;
struct TdxTreeListLayout;

class TdxTreeListDrag : public TObject {
  KIVO_CLASS(TdxTreeListDrag, TObject)
 public:
  explicit TdxTreeListDrag(TCustomdxTreeList& control) : FControl(control) {}
  TdxTreeListDrag(const TdxTreeListDrag&) = delete;
  TdxTreeListDrag& operator=(const TdxTreeListDrag&) = delete;

  // ==== The base bodies of the control's drag operations of the same names
  void StartBandDrag(int32_t band);
  void StartColumnDrag(int32_t column);
  void CalcDropPlace(const TPoint& p, TdxTreeListDropPlace& place, int32_t index, bool bandMode);
  void DragHeaderMove(const TPoint& p);
  void EndBandDrag(bool accept);
  void EndColumnDrag(bool accept);
  void CreateNodeDragImage(TdxTreeListNode* node, int32_t column);
  void GetDragCursor(const TPoint& screenPoint, TCursor& cursor);
  TCustomImageList* GetDragImages();
  // The control's drag overrides around their inherited steps: before a node drag starts
  // (the editor and the edit timer go) and after (the drag node, the begin-drag hook, the
  // image, the state); before a drag ends (the scrolls and the drag-expand hover stop) and
  // after (the node, the state and the image are forgotten); a drag over the control
  // after its inherited step.
  void BeforeStartDrag();
  void AfterStartDrag();
  void BeforeEndDrag();
  void AfterEndDrag();
  void DragOver(TObject* source, int x, int y, TDragState state, bool& accept);

  // ==== Header and node drags
  // The picture of the dragged header or node row, moved over the screen by the image
  // list's drag operations; none while nothing is dragged. During a node drag it is the
  // control's drag images.
  TImageList* GetDragImageList() const { return FDragImages; }
  void EndDragImage();
  // The drop place of the header being dragged at its last move (all -1 before one).
  const TdxTreeListDropPlace& GetDropPlace() const { return FDropPlace; }
  // The cursor a header drag shows (the delete cursor where a drop hides the header),
  // and whether the two arrows that mark the drop place are shown.
  TCursor GetHeaderDragCursor() const { return FHeaderDragCursor; }
  bool GetDragArrowsShown() const { return FDragArrowsShown; }
  // The last point of a header drag or drag-over (client coordinates); a move of the
  // mouse during a header drag sets it.
  void SetDragPoint(const TPoint& value) { FDragPoint = value; }
  // Takes the drag image and the drop arrows off the screen, or puts them back.
  void ToggleDragFeedback(bool show);
  // The customizing window is shown and the screen point lies in its client area.
  bool IsPointOverCustomizingWindow(const TPoint& p);
  TWinControl* GetCustomizingForm() const { return FCustomizingForm; }

  // ==== Node references
  TdxTreeListNode* GetDragNode() const { return FDragNode; }
  void SetDragNode(TdxTreeListNode* value) { FDragNode = value; }
  // The node a drag from outside is over; changing it repaints both rows.
  TdxTreeListNode* GetDragOverNode() const { return FDragOverNode; }
  void SetDragOverNode(TdxTreeListNode* value);
  // The node a drag hovers over to expand it after the drag-expand delay, and its
  // timer's tick.
  TdxTreeListNode* GetDragExpandNode() const { return FDragExpandNode; }
  void SetDragExpandNode(TdxTreeListNode* value) { FDragExpandNode = value; }
  int GetDragExpandDelay() const { return FDragExpandDelay; }
  void SetDragExpandDelay(int value) { FDragExpandDelay = value; }
  void DragExpandTick();
  // The node hooks: `node` is going (the references to it are dropped), or every node is;
  // also the drag-over node and the node a drag hovers over to expand it, which an
  // interaction keeps.
  void NodeGone(TdxTreeListNode* node);
  void ForgetNodes();

 private:
  // Header drags: the picture of a client rectangle as the control paints it, the drag
  // image made of it (the picture passes to it), the header area a drop of the dragged kind lands in, the arrows at
  // the drop place (drawn inverted: drawing them twice erases them), the end common to
  // band and column drags, and the point a drag started at.
  TBitmap* PaintPicture(const TRect& rect);
  void BeginDragImage(TBitmap* picture, const TPoint& hotSpot);
  // The start common to band and column drags: `rect` is the dragged header's picture.
  void BeginHeaderDrag(const TRect& rect, TdxTreeListState state);
  static TRect HeaderDropArea(const TdxTreeListLayout& layout, bool bandMode);
  bool DropArrowAt(const TdxTreeListLayout& layout, const TdxTreeListDropPlace& place, bool bandMode, TRect& arrow);
  void DrawDragArrows();
  void MoveDragArrows(const TdxTreeListLayout& layout, const TdxTreeListDropPlace& place, bool bandMode);
  void HideDragArrows();
  void FinishHeaderDrag();
  TPoint DragStartPoint();
  // Node drags: the drag-expand hover and the focus following the drag.
  void UpdateDragExpand(const TdxTreeListHitInfo& hit);
  void StopDragExpand();
  void FocusOnDragOver(const TdxTreeListHitInfo& hit);

  TCustomdxTreeList& FControl;
  TImageList* FDragImages = nullptr;
  TPoint FDragImagePos{-100, -100};
  TPoint FDragPoint{0, 0};       // the last point of a header drag or drag-over (client)
  TdxTreeListDropPlace FDropPlace;
  TRect FDragArrowRect{};        // where the arrows are drawn: the boundary's x, the row's extent
  bool FDragArrowsShown = false;
  TCursor FHeaderDragCursor = crDefault;
  int FDragBand = -1;
  int FDragColumn = -1;
  TdxTreeListNode* FDragNode = nullptr;
  TdxTreeListNode* FDragOverNode = nullptr;
  TdxTreeListNode* FDragExpandNode = nullptr;
  int FDragExpandDelay = 500;
  TWinControl* FCustomizingForm = nullptr;
};
