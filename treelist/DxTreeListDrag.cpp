// Header and node drag-and-drop of the tree list: a band or column header dragged to a
// new place, out of the header to hide it, or in from and out to the customizing
// window; nodes in the class library's drag operation, with the focus following the
// drag, the drag scroll and the expanding of a hovered node.
//
// Decisions taken here:
// - The picture of a dragged header or node row is the control's own painting of that
//   rectangle (painted off screen), so it shows the header or row with the control's
//   look, fonts and colours; a node row's picture is framed.
// - A drop is decided at the point of the last mouse message of the drag (the release),
//   not at the pointer's position when the decision runs: late or posted messages end a
//   drag exactly where they say.
// - Drop places: a band drops before the band whose left half holds the point (after the
//   last one right of it), never beside a fixed band on its outer side; a column drops
//   into the band and header row under the point, before the column whose left half
//   holds it. A header row of the panel below the band's last row opens a new band row
//   (kind 1); kind 0 is a place in an existing row. The places are final positions
//   (the dragged header taken out of its row first), so a drop on either edge of its own
//   header is its own place and changes nothing.
// - The two arrows are triangles drawn inverted on the control above and below the
//   boundary the header would go to; paints and scrolls take them off and put them back.
// - Drag expand: the hover delay starts when a drag comes over a node's expand button
//   (the hover node); it runs on while the drag stays on that button and stops when the
//   drag leaves it or the control. When it fires and the last drag point is still on the
//   hover node's button, the node expands; with the toggle option it toggles and the
//   timer runs again with twice the delay.
#include <algorithm>
#include <memory>

#include "classlib/Boundary.h"
#include "classlib/ComCtrls.h"
#include "classlib/DragDrop.h"
#include "classlib/Forms.h"
#include "classlib/GdiHandles.h"
#include "treelist/DxTreeList.h"
#include "treelist/DxTreeListDraw.h"

namespace {

// Half the width and the height of a drop arrow.
constexpr int kArrowHalf = 4;
constexpr int kArrowHeight = 5;

bool IsRowPart(TdxTreeListHitTest code) {
  switch (code) {
    case htButton:
    case htNodeImage:
    case htStateImage:
    case htIndent:
    case htCell:
    case htRowRight:
    case htNodeFooter:
    case htPreview:
      return true;
    default:
      return false;
  }
}

// The customizing window's page control (named "PageControl") shows its first page for
// a band, its last page for a column.
void ShowCustomizingPage(TWinControl* form, bool band) {
  if (!form)
    return;
  auto* pages = ObjectAs<TPageControl>(form->FindComponent("PageControl"));
  if (!pages || pages->GetPageCount() == 0)
    return;
  if (band)
    pages->SetActivePageIndex(0);
  else if (pages->GetPageCount() > 1)
    pages->SetActivePageIndex(pages->GetPageCount() - 1);
}

}  // namespace

// ---- Pictures and the drag image

TBitmap* TCustomdxTreeList::PaintPicture(const TRect& rect) {
  auto picture = std::make_unique<TBitmap>();
  picture->SetSize(std::max(RectWidth(rect), 1), std::max(RectHeight(rect), 1));
  HDC dc = picture->GetCanvas()->GetHandle();
  TSaveDCGuard state(dc);
  SetViewportOrgEx(dc, -rect.left, -rect.top, nullptr);
  PaintWindow(dc);
  return picture.release();
}

void TCustomdxTreeList::BeginDragImage(TBitmap* picture, const TPoint& hotSpot) {
  std::unique_ptr<TBitmap> owned(picture);
  EndDragImage();
  FDragImages = new TImageList(nullptr, picture->GetWidth(), picture->GetHeight());
  FDragImages->SetMasked(false);
  FDragImages->Add(picture, nullptr);
  FDragImages->SetDragImage(0, hotSpot.x, hotSpot.y);
}

void TCustomdxTreeList::EndDragImage() {
  if (!FDragImages)
    return;
  FDragImages->EndDrag();
  FreeAndNil(FDragImages);
}

TCustomImageList* TCustomdxTreeList::GetDragImages() {
  return FState == stNodeDragging ? FDragImages : nullptr;
}

TPoint TCustomdxTreeList::DragStartPoint() {
  // A drag out of a press starts at the press's last move; one the customizing window
  // starts, at the pointer.
  if (FState == stBandPressed || FState == stColumnPressed)
    return GetMouse().GetMousePos();
  POINT cursor{};
  GetCursorPos(&cursor);
  return ScreenToClient(cursor);
}

// ---- Starting a header drag

void TCustomdxTreeList::StartBandDrag(int32_t band) {
  TdxTreeListLayout layout;
  CalcLayout(layout);
  // A band of the header (a visible index), or a hidden one from the customizing window
  // (an absolute index), drawn then as high as the band row and as wide as its width.
  const bool fromHeader = GetMouse().GetPressedBand() >= 0;
  const TdxTreeListBandEntry* entry = fromHeader ? layout.FindBand(band) : nullptr;
  TRect rect = entry ? entry->ClippedRect : TRect{};
  if (IsEmptyRect(rect)) {
    const int width = fromHeader ? GetVisibleBandWidth(band) : GetBandWidth(band);
    rect = Bounds(layout.Client.left, layout.Client.top, std::max(width, 1),
                  std::max<int>(FMetrics.BandRowHeight, FMetrics.HeaderLineHeight));
  }
  FDragBand = band;
  BeginHeaderDrag(rect, stBandDragging);
}

void TCustomdxTreeList::StartColumnDrag(int32_t column) {
  TdxTreeListLayout layout;
  CalcLayout(layout);
  const TdxTreeListColumnEntry* entry = layout.FindColumn(column);
  TRect rect = entry ? entry->ClippedRect : TRect{};
  if (IsEmptyRect(rect)) {
    // A column that is not in the header (from the customizing window).
    rect = Bounds(layout.Client.left, layout.Client.top, std::max<int>(GetMinColumnDragWidth(), 1),
                  std::max<int>(FMetrics.HeaderLineHeight, 1));
  }
  FDragColumn = column;
  BeginHeaderDrag(rect, stColumnDragging);
}

void TCustomdxTreeList::BeginHeaderDrag(const TRect& rect, TdxTreeListState state) {
  if (Application)
    Application->CancelHint();
  CancelHint();
  const TPoint start = DragStartPoint();
  if (HandleAllocated())
    BeginDragImage(PaintPicture(rect), Point(RectWidth(rect) / 2, RectHeight(rect) / 2));
  FDragImagePos = Point(-100, -100);
  HideDragArrows();
  FDropPlace = TdxTreeListDropPlace{};
  FDragPoint = start;
  FHeaderDragCursor = GetCursor();
  if (FDragImages) {
    const TPoint screen = ClientToScreen(start);
    FDragImages->BeginDrag(GetDesktopWindow(), screen.x, screen.y);
  }
  FState = state;
  if (IsCustomizing())
    ShowCustomizingPage(FCustomizingForm, /*band=*/state == stBandDragging);
}

// ---- Drop places

TRect TCustomdxTreeList::HeaderDropArea(bool bandMode) {
  TdxTreeListLayout layout;
  CalcLayout(layout);
  const TRect& panel = bandMode ? layout.BandRow : layout.HeaderPanel;
  if (IsEmptyRect(panel))
    return TRect{};
  return TRect{layout.Client.left, panel.top, layout.Client.right, panel.bottom};
}

void TCustomdxTreeList::CalcDropPlace(const TPoint& p, TdxTreeListDropPlace& place, int32_t index, bool bandMode) {
  place = TdxTreeListDropPlace{};
  if (bandMode && GetVisibleBandCount() == 0) {
    place.Band = -2;  // no band to drop among
    return;
  }
  if (!PointInRect(HeaderDropArea(bandMode), p))
    return;  // outside the header: a drop hides
  TdxTreeListLayout layout;
  CalcLayout(layout);
  if (layout.Bands.empty()) {
    place.Band = -2;
    return;
  }
  // The band under the point; left of the first band the first, right of the last the last.
  const TdxTreeListBandEntry* band = &layout.Bands.front();
  for (const TdxTreeListBandEntry& entry : layout.Bands) {
    if (p.x >= entry.ClippedRect.left)
      band = &entry;
  }
  if (bandMode) {
    const int count = GetVisibleBandCount();
    int boundary = band->Band + (p.x >= (band->Rect.left + band->Rect.right) / 2 ? 1 : 0);
    const int first = layout.LeftFixedBand >= 0 ? layout.LeftFixedBand + 1 : 0;
    const int last = layout.RightFixedBand >= 0 ? layout.RightFixedBand : count;
    if (first > last) {
      place.Band = -2;
      return;
    }
    boundary = std::clamp(boundary, first, last);
    // The final position, the dragged band taken out of the row first.
    const bool inRow = GetMouse().GetPressedBand() >= 0 && index >= 0 && index < count;
    place.Band = inRow && boundary > index ? boundary - 1 : boundary;
    return;
  }
  const int lineHeight = std::max<int>(FMetrics.HeaderLineHeight, 1);
  const int bandRows = GetBandRowCount(band->Band);
  const int row = std::clamp<int>((p.y - layout.HeaderPanel.top) / lineHeight, 0,
                                  std::max<int>(FMetrics.HeaderRows - 1, 0));
  place.Band = band->Band;
  if (row >= bandRows) {
    // Below the band's last row: a new band row (the first one of an empty band).
    place.Row = bandRows;
    place.Position = 0;
    place.Kind = bandRows == 0 ? 0 : 1;
    if (bandRows > 0 && index >= 0 && GetColumnCountInRow(band->Band, bandRows - 1) == 1 &&
        GetColumnAt(band->Band, bandRows - 1, 0) == index) {
      // The only column of the last row would open a row below itself: its own place.
      place.Row = bandRows - 1;
      place.Kind = 0;
    }
    return;
  }
  const int count = GetColumnCountInRow(band->Band, row);
  int boundary = count;
  int own = -1;
  for (int position = 0; position < count; ++position) {
    const int column = GetColumnAt(band->Band, row, position);
    if (column == index)
      own = position;
    const TdxTreeListColumnEntry* entry = layout.FindColumn(column);
    if (entry && boundary == count && p.x < (entry->Rect.left + entry->Rect.right) / 2)
      boundary = position;
  }
  place.Row = row;
  place.Position = own >= 0 && boundary > own ? boundary - 1 : boundary;
  place.Kind = 0;
}

// ---- The arrows at the drop place

bool TCustomdxTreeList::DropArrowAt(const TdxTreeListDropPlace& place, bool bandMode, TRect& arrow) {
  if (place.Band < 0)
    return false;
  TdxTreeListLayout layout;
  CalcLayout(layout);
  if (bandMode) {
    const int count = static_cast<int>(layout.Bands.size());
    if (count == 0 || IsEmptyRect(layout.BandRow))
      return false;
    // The boundary before the place, in the row as it shows with the dragged band.
    const bool inRow = GetMouse().GetPressedBand() >= 0 && FDragBand >= 0 && FDragBand < count;
    const int boundary = inRow && place.Band > FDragBand ? place.Band + 1 : place.Band;
    const TdxTreeListBandEntry* entry = layout.FindBand(std::min(boundary, count - 1));
    if (!entry)
      return false;
    const int x = boundary < count ? entry->Rect.left : entry->Rect.right;
    arrow = TRect{x, layout.BandRow.top, x, layout.BandRow.bottom};
    return true;
  }
  const TdxTreeListBandEntry* band = layout.FindBand(place.Band);
  if (!band || IsEmptyRect(layout.HeaderPanel))
    return false;
  const int lineHeight = std::max<int>(FMetrics.HeaderLineHeight, 1);
  const int top = layout.HeaderPanel.top + lineHeight * place.Row;
  int x = band->Rect.left;
  if (place.Kind == 0 && place.Row < GetBandRowCount(place.Band)) {
    const int count = GetColumnCountInRow(place.Band, place.Row);
    int own = -1;
    for (int position = 0; position < count; ++position)
      own = GetColumnAt(place.Band, place.Row, position) == FDragColumn ? position : own;
    const int boundary = own >= 0 && place.Position > own ? place.Position + 1 : place.Position;
    if (boundary < count) {
      if (const TdxTreeListColumnEntry* entry = layout.FindColumn(GetColumnAt(place.Band, place.Row, boundary)))
        x = entry->Rect.left;
    } else if (count > 0) {
      if (const TdxTreeListColumnEntry* entry = layout.FindColumn(GetColumnAt(place.Band, place.Row, count - 1)))
        x = entry->Rect.right;
    }
  }
  arrow = TRect{x, top, x, std::min<int>(top + lineHeight, layout.HeaderPanel.bottom)};
  return true;
}

void TCustomdxTreeList::DrawDragArrows() {
  if (!HandleAllocated())
    return;
  TClientDC dc(GetHandle());
  const TRect& a = FDragArrowRect;
  // A triangle pointing down onto the top of the boundary and one pointing up onto its
  // bottom, one inverted line of pixels after another.
  for (int i = 0; i < kArrowHeight; ++i) {
    const int half = kArrowHalf - i;
    PatBlt(dc, a.left - half, a.top + i, 2 * half + 1, 1, DSTINVERT);
    PatBlt(dc, a.left - half, a.bottom - 1 - i, 2 * half + 1, 1, DSTINVERT);
  }
}

void TCustomdxTreeList::MoveDragArrows(const TdxTreeListDropPlace& place, bool bandMode) {
  TRect arrow{};
  const bool shown = DropArrowAt(place, bandMode, arrow);
  if (shown == FDragArrowsShown && (!shown || arrow == FDragArrowRect))
    return;
  HideDragArrows();
  if (!shown)
    return;
  FDragArrowRect = arrow;
  FDragArrowsShown = true;
  if (FFeedbackCount == 0)
    DrawDragArrows();
}

void TCustomdxTreeList::HideDragArrows() {
  if (!FDragArrowsShown)
    return;
  FDragArrowsShown = false;
  if (FFeedbackCount == 0)
    DrawDragArrows();
}

// ---- Moving a header drag

void TCustomdxTreeList::DragHeaderMove(const TPoint& p) {
  StopHorzScroll();
  const bool bandMode = FState == stBandDragging;
  FDragPoint = p;
  const TPoint screen = ClientToScreen(p);
  TdxTreeListDropPlace place;
  CalcDropPlace(p, place, bandMode ? FDragBand : FDragColumn, bandMode);
  FDropPlace = place;
  MoveDragArrows(place, bandMode);
  TCursor cursor = PointInRect(HeaderDropArea(bandMode), p) ? GetCursor() : crDxTreeListDelete;
  GetDragCursor(screen, cursor);
  bool accept = cursor != crDxTreeListDelete;
  if (bandMode)
    DoDragOverBand(p, GetMouse().GetPressedBand() >= 0 ? GetBandIndex(FDragBand) : FDragBand, accept);
  else
    DoDragOverColumn(p, FDragColumn, accept);
  cursor = accept ? GetCursor() : crDxTreeListDelete;
  if (cursor != FHeaderDragCursor && FDragImages)
    FDragImages->HideDragImage();
  const bool changed = cursor != FHeaderDragCursor;
  FHeaderDragCursor = cursor;
  if (Screen)
    ::SetCursor(Screen->GetCursors(cursor));
  if (changed && FDragImages)
    FDragImages->ShowDragImage();
  if (FDragImages)
    FDragImages->DragMove(screen.x, screen.y);
  FDragImagePos = screen;
  if (!IsPointOverCustomizingWindow(screen))
    UpdateHorzDragScroll(p);
}

// ---- Ending a header drag

void TCustomdxTreeList::FinishHeaderDrag() {
  // The image and the arrows leave the screen before any operation of the drop runs.
  FState = stNone;
  EndDragImage();
  HideDragArrows();
  FDragImagePos = Point(-100, -100);
  if (Screen && HandleAllocated() && GetCapture() == GetHandle())
    ::SetCursor(Screen->GetCursors(GetCursor()));
}

void TCustomdxTreeList::EndBandDrag(bool accept) {
  FinishHeaderDrag();
  const int old = GetMouse().GetPressedBand();
  const int band = FDragBand;
  int place = -1;
  if (accept && band >= 0 && !IsPointOverCustomizingWindow(ClientToScreen(FDragPoint))) {
    TdxTreeListDropPlace drop;
    CalcDropPlace(FDragPoint, drop, old >= 0 ? band : -1, /*bandMode=*/true);
    place = drop.Band;
  }
  GetMouse().ClearPressedBand();
  FDragBand = -1;
  Invalidate();
  if (!accept || band < 0)
    return;
  bool accepted = true;
  DoEndBandDrag(FDragPoint, old >= 0 ? GetBandIndex(band) : band, place, accepted, old);
  if (!accepted)
    return;
  if (old < 0) {
    // Brought from the customizing window: shown at the place.
    if (IsCustomizingShown() && place >= 0)
      ShowBand(place, band);
    return;
  }
  if (place >= 0 && place != old) {
    MoveBand(old, place);
    GetNavigator().MakeBandVisible(place);
    return;
  }
  if (place == -1 && (IsCustomizingShown() || CanHideByDrag()) && !GetBandDisableCustomizing(GetBandIndex(band)))
    HideBand(GetBandIndex(band));
}

void TCustomdxTreeList::EndColumnDrag(bool accept) {
  FinishHeaderDrag();
  const int old = GetMouse().GetPressedColumn();
  GetMouse().ClearPressedColumn();
  const int column = FDragColumn;
  FDragColumn = -1;
  Invalidate();
  if (!accept || column < 0)
    return;
  TdxTreeListDropPlace place;
  if (!IsPointOverCustomizingWindow(ClientToScreen(FDragPoint)))
    CalcDropPlace(FDragPoint, place, column, /*bandMode=*/false);
  bool accepted = true;
  DoEndColumnDrag(FDragPoint, column, place, accepted);
  if (!accepted)
    return;
  if (old < 0) {
    if (IsCustomizingShown() && place.Band >= 0)
      ShowColumn(place.Band, place.Row, place.Position, column);
    return;
  }
  if (place.Band >= 0) {
    const bool same = place.Band == GetVisibleBandIndex(GetColumnBandIndex(column)) &&
                      place.Row == GetColumnRowIndex(column) && place.Position == GetColumnColIndex(column) &&
                      place.Kind == 0;
    if (!same) {
      MoveColumn(column, place.Band, place.Row, place.Position);
      GetNavigator().MakeColumnVisible(column);
    }
    return;
  }
  if (place.Band == -1 && (IsCustomizingShown() || CanHideByDrag()) && !GetColumnDisableCustomizing(column))
    HideColumn(column);
}

// ---- Node drags

void TCustomdxTreeList::CreateNodeDragImage(TdxTreeListNode* node, int32_t column) {
  EndDragImage();
  if (!node || !HandleAllocated())
    return;
  TdxTreeListLayout layout;
  CalcLayout(layout);
  const TdxTreeListRowEntry* row = layout.FindRow(node);
  if (!row)
    return;
  const int right = std::min<int>(std::max<int>(layout.CellsRight, layout.Rows.left + 1), layout.Rows.right);
  const TRect rect{layout.Rows.left, row->Top, right, row->Top + row->Height};
  TBitmap* picture = PaintPicture(rect);
  const TRect frame{0, 0, RectWidth(rect), RectHeight(rect)};
  FrameRect(picture->GetCanvas()->GetHandle(), &frame, GetSysColorBrush(COLOR_WINDOWFRAME));
  // The picture stays where the row was under the pointer.
  const TPoint hot{std::clamp<int>(GetMouse().GetDownPos().x - rect.left, 0, RectWidth(rect) - 1),
                   std::clamp<int>(GetMouse().GetDownPos().y - rect.top, 0, RectHeight(rect) - 1)};
  BeginDragImage(picture, hot);
}

void TCustomdxTreeList::DoStartDrag(TDragObject*& dragObject) {
  if (FState == stEditing)
    HideEditor(false);
  StopTimer(kEditTimer);
  inherited::DoStartDrag(dragObject);
  if (!FDragNode) {
    POINT cursor{};
    GetCursorPos(&cursor);
    const TPoint p = ScreenToClient(cursor);
    FDragNode = GetNodeAt(p.x, p.y);
  }
  if (FDragNode) {
    BeginNodeDrag(FDragNode);
    if (!FDragNode)
      return;  // the handler deleted the node
    CreateNodeDragImage(FDragNode, GetFocusedColumn());
    SetState(stNodeDragging);
  }
}

void TCustomdxTreeList::DoEndDrag(TObject* target, int x, int y) {
  StopHorzScroll();
  StopVertScroll();
  StopDragExpand();
  inherited::DoEndDrag(target, x, y);
  FDragNode = nullptr;
  SetState(stNone);
  EndDragImage();
}

void TCustomdxTreeList::DragOver(TObject* source, int x, int y, TDragState state, bool& accept) {
  inherited::DragOver(source, x, y, state, accept);
  if (!ActiveDragObject() && !Dragging())
    return;
  StopHorzScroll();
  StopVertScroll();
  if (state == dsDragLeave) {
    StopDragExpand();
    return;
  }
  const TPoint p = Point(x, y);
  FDragPoint = p;
  TdxTreeListHitInfo hit;
  GetHitInfo(p, hit);
  if (IsOptionsEx13())
    UpdateDragExpand(hit);
  if (IsOptionsEx12())
    UpdateHorzDragScroll(p);
  if (!hit.Node || !IsRowPart(hit.HitTest))
    return;
  FocusOnDragOver(hit);
  if (!IsOptionsEx12())
    return;
  const int row = GetNodeRowIndex(hit.Node);
  const int top = GetNavigator().GetTopIndex();
  if (hit.Node == GetTopNode() && row > 0)
    StartVertScroll(-1, kDragScrollInterval);
  else if (row >= top + GetNavigator().GetVisibleRowCount() - 1 && row < GetRowCount() - 1)
    StartVertScroll(1, kDragScrollInterval);
}

void TCustomdxTreeList::FocusOnDragOver(const TdxTreeListHitInfo& hit) {
  const int column = hit.Column >= 0 ? GetVisibleIndexOfColumn(hit.Column) : GetFocusedColumn();
  if (hit.Node != GetFocusedNode())
    SetFocusedNode(hit.Node, column, /*makeVisible=*/false);
  else if (!IsRowSelect() && IsOptionsEx12() && column != GetFocusedColumn())
    SetFocusedColumn(column);
  GetNavigator().UpdateNow();
}

void TCustomdxTreeList::UpdateDragExpand(const TdxTreeListHitInfo& hit) {
  if (hit.HitTest != htButton || !hit.Node) {
    StopDragExpand();
    return;
  }
  if (hit.Node == FDragExpandNode && IsTimerRunning(kDragExpandTimer))
    return;
  StopTimer(kDragExpandTimer);
  FDragExpandNode = hit.Node;
  StartTimer(kDragExpandTimer, UINT(std::max(FDragExpandDelay, 1)));
}

void TCustomdxTreeList::StopDragExpand() {
  StopTimer(kDragExpandTimer);
  FDragExpandNode = nullptr;
}

void TCustomdxTreeList::DragExpandTick() {
  StopTimer(kDragExpandTimer);
  TdxTreeListNode* node = FDragExpandNode;
  if (!node || (!ActiveDragObject() && FState != stNodeDragging))
    return;
  TdxTreeListHitInfo hit;
  GetHitInfo(FDragPoint, hit);
  if (hit.HitTest != htButton || hit.Node != node) {
    FDragExpandNode = nullptr;
    return;
  }
  if (IsOptionsEx14()) {
    node->SetExpanded(!node->GetExpanded());
    StartTimer(kDragExpandTimer, UINT(std::max(FDragExpandDelay, 1)) * 2);
    return;
  }
  node->SetExpanded(true);
}
