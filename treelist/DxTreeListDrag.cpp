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
// - A handler of a header drag (the can-drag question, drag over, end drag, the move,
//   hide or show of the drop) may free the control: the drag ends where the handler
//   returns, touching nothing of the control or of this part.
// - Drag expand: the hover delay starts when a drag comes over a node's expand button
//   (the hover node); it runs on while the drag stays on that button and stops when the
//   drag leaves it or the control. When it fires and the last drag point is still on the
//   hover node's button, the node expands; with the toggle option it toggles and the
//   timer runs again with twice the delay.
#include <algorithm>
#include <memory>

#include "classlib/AliveGuard.h"
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

// ---- The control's drag operations: the inherited steps stay with the control, the
// tree list's own work is the part's.

void TCustomdxTreeList::StartBandDrag(int32_t band) {
  FDrag.StartBandDrag(band);
}

void TCustomdxTreeList::StartColumnDrag(int32_t column) {
  FDrag.StartColumnDrag(column);
}

void TCustomdxTreeList::CalcDropPlace(const TPoint& p, TdxTreeListDropPlace& place, int32_t index, bool bandMode) {
  FDrag.CalcDropPlace(p, place, index, bandMode);
}

void TCustomdxTreeList::DragHeaderMove(const TPoint& p) {
  FDrag.DragHeaderMove(p);
}

void TCustomdxTreeList::EndBandDrag(bool accept) {
  FDrag.EndBandDrag(accept);
}

void TCustomdxTreeList::EndColumnDrag(bool accept) {
  FDrag.EndColumnDrag(accept);
}

void TCustomdxTreeList::CreateNodeDragImage(TdxTreeListNode* node, int32_t column) {
  FDrag.CreateNodeDragImage(node, column);
}

void TCustomdxTreeList::GetDragCursor(const TPoint& screenPoint, TCursor& cursor) {
  FDrag.GetDragCursor(screenPoint, cursor);
}

TCustomImageList* TCustomdxTreeList::GetDragImages() {
  return FDrag.GetDragImages();
}

// The drag's handlers may free the tree list, and its drag part with it.

void TCustomdxTreeList::DoStartDrag(TDragObject*& dragObject) {
  FDrag.BeforeStartDrag();
  if (Survives(this, [&] { inherited::DoStartDrag(dragObject); }))
    FDrag.AfterStartDrag();
}

void TCustomdxTreeList::DoEndDrag(TObject* target, int x, int y) {
  FDrag.BeforeEndDrag();
  if (Survives(this, [&] { inherited::DoEndDrag(target, x, y); }))
    FDrag.AfterEndDrag();
}

void TCustomdxTreeList::DragOver(TObject* source, int x, int y, TDragState state, bool& accept) {
  if (Survives(this, [&] { inherited::DragOver(source, x, y, state, accept); }))
    FDrag.DragOver(source, x, y, state, accept);
}

// ---- Pictures and the drag image

TBitmap* TdxTreeListDrag::PaintPicture(const TRect& rect) {
  auto picture = std::make_unique<TBitmap>();
  picture->SetSize(std::max(RectWidth(rect), 1), std::max(RectHeight(rect), 1));
  HDC dc = picture->GetCanvas()->GetHandle();
  TSaveDCGuard state(dc);
  SetViewportOrgEx(dc, -rect.left, -rect.top, nullptr);
  FControl.PaintWindow(dc);
  return picture.release();
}

void TdxTreeListDrag::BeginDragImage(TBitmap* picture, const TPoint& hotSpot) {
  std::unique_ptr<TBitmap> owned(picture);
  EndDragImage();
  FDragImages = new TImageList(nullptr, picture->GetWidth(), picture->GetHeight());
  FDragImages->SetMasked(false);
  FDragImages->Add(picture, nullptr);
  FDragImages->SetDragImage(0, hotSpot.x, hotSpot.y);
}

void TdxTreeListDrag::EndDragImage() {
  if (!FDragImages)
    return;
  FDragImages->EndDrag();
  FreeAndNil(FDragImages);
}

TCustomImageList* TdxTreeListDrag::GetDragImages() {
  return FControl.GetState() == stNodeDragging ? FDragImages : nullptr;
}

TPoint TdxTreeListDrag::DragStartPoint() {
  // A drag out of a press starts at the press's last move; one the customizing window
  // starts, at the pointer.
  if (FControl.GetState() == stBandPressed || FControl.GetState() == stColumnPressed)
    return FControl.GetMouse().GetMousePos();
  POINT cursor{};
  GetCursorPos(&cursor);
  return FControl.ScreenToClient(cursor);
}

// ---- Starting a header drag

void TdxTreeListDrag::StartBandDrag(int32_t band) {
  TdxTreeListLayout layout;
  FControl.CalcLayout(layout);
  // A band of the header (a visible index), or a hidden one from the customizing window
  // (an absolute index), drawn then as high as the band row and as wide as its width.
  const bool fromHeader = FControl.GetMouse().GetPressedBand() >= 0;
  const TdxTreeListBandEntry* entry = fromHeader ? layout.FindBand(band) : nullptr;
  TRect rect = entry ? entry->ClippedRect : TRect{};
  if (IsEmptyRect(rect)) {
    const int width = fromHeader ? FControl.GetVisibleBandWidth(band) : FControl.GetBandWidth(band);
    rect = Bounds(layout.Client.left, layout.Client.top, std::max(width, 1),
                  std::max<int>(FControl.GetMetrics().BandRowHeight, FControl.GetMetrics().HeaderLineHeight));
  }
  FDragBand = band;
  BeginHeaderDrag(rect, stBandDragging);
}

void TdxTreeListDrag::StartColumnDrag(int32_t column) {
  TdxTreeListLayout layout;
  FControl.CalcLayout(layout);
  const TdxTreeListColumnEntry* entry = layout.FindColumn(column);
  TRect rect = entry ? entry->ClippedRect : TRect{};
  if (IsEmptyRect(rect)) {
    // A column that is not in the header (from the customizing window).
    rect = Bounds(layout.Client.left, layout.Client.top, std::max<int>(FControl.GetMinColumnDragWidth(), 1),
                  std::max<int>(FControl.GetMetrics().HeaderLineHeight, 1));
  }
  FDragColumn = column;
  BeginHeaderDrag(rect, stColumnDragging);
}

void TdxTreeListDrag::BeginHeaderDrag(const TRect& rect, TdxTreeListState state) {
  if (Application)
    Application->CancelHint();
  FControl.GetTimers().CancelHint();
  const TPoint start = DragStartPoint();
  if (FControl.HandleAllocated())
    BeginDragImage(PaintPicture(rect), Point(RectWidth(rect) / 2, RectHeight(rect) / 2));
  FDragImagePos = Point(-100, -100);
  HideDragArrows();
  FDropPlace = TdxTreeListDropPlace{};
  FDragPoint = start;
  FHeaderDragCursor = FControl.GetCursor();
  if (FDragImages) {
    const TPoint screen = FControl.ClientToScreen(start);
    FDragImages->BeginDrag(GetDesktopWindow(), screen.x, screen.y);
  }
  FControl.SetState(state);
  if (FControl.IsCustomizing())
    ShowCustomizingPage(FCustomizingForm, /*band=*/state == stBandDragging);
}

// ---- Drop places

TRect TdxTreeListDrag::HeaderDropArea(const TdxTreeListLayout& layout, bool bandMode) {
  const TRect& panel = bandMode ? layout.BandRow : layout.HeaderPanel;
  if (IsEmptyRect(panel))
    return TRect{};
  return TRect{layout.Client.left, panel.top, layout.Client.right, panel.bottom};
}

void TdxTreeListDrag::CalcDropPlace(const TPoint& p, TdxTreeListDropPlace& place, int32_t index, bool bandMode) {
  place = TdxTreeListDropPlace{};
  if (bandMode && FControl.GetVisibleBandCount() == 0) {
    place.Band = -2;  // no band to drop among
    return;
  }
  TdxTreeListLayout layout;
  FControl.CalcLayout(layout);
  if (!PointInRect(HeaderDropArea(layout, bandMode), p))
    return;  // outside the header: a drop hides
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
    const int count = FControl.GetVisibleBandCount();
    int boundary = band->Band + (p.x >= (band->Rect.left + band->Rect.right) / 2 ? 1 : 0);
    const int first = layout.LeftFixedBand >= 0 ? layout.LeftFixedBand + 1 : 0;
    const int last = layout.RightFixedBand >= 0 ? layout.RightFixedBand : count;
    if (first > last) {
      place.Band = -2;
      return;
    }
    boundary = std::clamp(boundary, first, last);
    // The final position, the dragged band taken out of the row first.
    const bool inRow = FControl.GetMouse().GetPressedBand() >= 0 && index >= 0 && index < count;
    place.Band = inRow && boundary > index ? boundary - 1 : boundary;
    return;
  }
  const int lineHeight = std::max<int>(FControl.GetMetrics().HeaderLineHeight, 1);
  const int bandRows = FControl.GetBandRowCount(band->Band);
  const int row = std::clamp<int>((p.y - layout.HeaderPanel.top) / lineHeight, 0,
                                  std::max<int>(FControl.GetMetrics().HeaderRows - 1, 0));
  place.Band = band->Band;
  if (row >= bandRows) {
    // Below the band's last row: a new band row (the first one of an empty band).
    place.Row = bandRows;
    place.Position = 0;
    place.Kind = bandRows == 0 ? 0 : 1;
    if (bandRows > 0 && index >= 0 && FControl.GetColumnCountInRow(band->Band, bandRows - 1) == 1 &&
        FControl.GetColumnAt(band->Band, bandRows - 1, 0) == index) {
      // The only column of the last row would open a row below itself: its own place.
      place.Row = bandRows - 1;
      place.Kind = 0;
    }
    return;
  }
  const int count = FControl.GetColumnCountInRow(band->Band, row);
  int boundary = count;
  int own = -1;
  for (int position = 0; position < count; ++position) {
    const int column = FControl.GetColumnAt(band->Band, row, position);
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

bool TdxTreeListDrag::DropArrowAt(const TdxTreeListLayout& layout, const TdxTreeListDropPlace& place, bool bandMode,
                                  TRect& arrow) {
  if (place.Band < 0)
    return false;
  if (bandMode) {
    const int count = static_cast<int>(layout.Bands.size());
    if (count == 0 || IsEmptyRect(layout.BandRow))
      return false;
    // The boundary before the place, in the row as it shows with the dragged band.
    const bool inRow = FControl.GetMouse().GetPressedBand() >= 0 && FDragBand >= 0 && FDragBand < count;
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
  const int lineHeight = std::max<int>(FControl.GetMetrics().HeaderLineHeight, 1);
  const int top = layout.HeaderPanel.top + lineHeight * place.Row;
  int x = band->Rect.left;
  if (place.Kind == 0 && place.Row < FControl.GetBandRowCount(place.Band)) {
    const int count = FControl.GetColumnCountInRow(place.Band, place.Row);
    int own = -1;
    for (int position = 0; position < count; ++position)
      own = FControl.GetColumnAt(place.Band, place.Row, position) == FDragColumn ? position : own;
    const int boundary = own >= 0 && place.Position > own ? place.Position + 1 : place.Position;
    if (boundary < count) {
      if (const TdxTreeListColumnEntry* entry =
              layout.FindColumn(FControl.GetColumnAt(place.Band, place.Row, boundary)))
        x = entry->Rect.left;
    } else if (count > 0) {
      if (const TdxTreeListColumnEntry* entry =
              layout.FindColumn(FControl.GetColumnAt(place.Band, place.Row, count - 1)))
        x = entry->Rect.right;
    }
  }
  arrow = TRect{x, top, x, std::min<int>(top + lineHeight, layout.HeaderPanel.bottom)};
  return true;
}

void TdxTreeListDrag::DrawDragArrows() {
  if (!FControl.HandleAllocated())
    return;
  TClientDC dc(FControl.GetHandle());
  const TRect& a = FDragArrowRect;
  // A triangle pointing down onto the top of the boundary and one pointing up onto its
  // bottom, one inverted line of pixels after another.
  for (int i = 0; i < kArrowHeight; ++i) {
    const int half = kArrowHalf - i;
    PatBlt(dc, a.left - half, a.top + i, 2 * half + 1, 1, DSTINVERT);
    PatBlt(dc, a.left - half, a.bottom - 1 - i, 2 * half + 1, 1, DSTINVERT);
  }
}

void TdxTreeListDrag::MoveDragArrows(const TdxTreeListLayout& layout, const TdxTreeListDropPlace& place,
                                     bool bandMode) {
  TRect arrow{};
  const bool shown = DropArrowAt(layout, place, bandMode, arrow);
  if (shown == FDragArrowsShown && (!shown || arrow == FDragArrowRect))
    return;
  HideDragArrows();
  if (!shown)
    return;
  FDragArrowRect = arrow;
  FDragArrowsShown = true;
  if (FControl.GetPainter().GetFeedbackCount() == 0)
    DrawDragArrows();
}

void TdxTreeListDrag::HideDragArrows() {
  if (!FDragArrowsShown)
    return;
  FDragArrowsShown = false;
  if (FControl.GetPainter().GetFeedbackCount() == 0)
    DrawDragArrows();
}

void TdxTreeListDrag::ToggleDragFeedback(bool show) {
  // The drag image over the screen and the drop arrows of a header drag.
  if (FDragImages && FDragImages->GetDragging())
    show ? FDragImages->ShowDragImage() : FDragImages->HideDragImage();
  if (TDragObject* drag = ActiveDragObject())
    show ? drag->ShowDragImage() : drag->HideDragImage();
  if (FDragArrowsShown && (FControl.GetState() == stColumnDragging || FControl.GetState() == stBandDragging))
    DrawDragArrows();
}

// ---- Moving a header drag

void TdxTreeListDrag::DragHeaderMove(const TPoint& p) {
  FControl.GetTimers().StopHorzScroll();
  const bool bandMode = FControl.GetState() == stBandDragging;
  FDragPoint = p;
  const TPoint screen = FControl.ClientToScreen(p);
  TdxTreeListDropPlace place;
  FControl.CalcDropPlace(p, place, bandMode ? FDragBand : FDragColumn, bandMode);
  FDropPlace = place;
  // One layout for the arrows and the cursor: only drawing runs between them.
  TdxTreeListLayout layout;
  FControl.CalcLayout(layout);
  MoveDragArrows(layout, place, bandMode);
  TCursor cursor = PointInRect(HeaderDropArea(layout, bandMode), p) ? FControl.GetCursor() : crDxTreeListDelete;
  FControl.GetDragCursor(screen, cursor);
  bool accept = cursor != crDxTreeListDelete;
  // The drag-over handlers may free the control, and this part with it.
  const int band = FControl.GetMouse().GetPressedBand() >= 0 ? FControl.GetBandIndex(FDragBand) : FDragBand;
  const bool alive = Survives(&FControl, [&] {
    if (bandMode)
      FControl.DoDragOverBand(p, band, accept);
    else
      FControl.DoDragOverColumn(p, FDragColumn, accept);
  });
  if (!alive)
    return;
  cursor = accept ? FControl.GetCursor() : crDxTreeListDelete;
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
    FControl.GetTimers().UpdateHorzDragScroll(p);
}

// ---- The customizing window

bool TdxTreeListDrag::IsPointOverCustomizingWindow(const TPoint& p) {
  if (!FCustomizingForm || !FCustomizingForm->HandleAllocated() || !IsWindowVisible(FCustomizingForm->GetHandle()))
    return false;
  return PointInRect(FCustomizingForm->GetClientRect(), FCustomizingForm->ScreenToClient(p));
}

void TdxTreeListDrag::GetDragCursor(const TPoint& screenPoint, TCursor& cursor) {
  if (FControl.GetState() == stColumnDragging && FControl.GetVisibleBandCount() == 0) {
    cursor = crDxTreeListDelete;  // nowhere to drop
    return;
  }
  if (!FCustomizingForm || !FCustomizingForm->GetVisible())
    return;
  const TPoint local = FCustomizingForm->ScreenToClient(screenPoint);
  if (!PointInRect(FCustomizingForm->GetClientRect(), local))
    return;
  if (FControl.GetState() == stColumnDragging && FDragColumn >= 0 &&
      FControl.GetColumnDisableCustomizing(FDragColumn)) {
    cursor = crDxTreeListDelete;
    return;
  }
  const bool lastVisibleColumn = FControl.GetState() == stColumnDragging && FControl.GetWidths().GetShownColumnCount() == 1;
  if (!lastVisibleColumn)
    cursor = crDrag;
}

// ---- Ending a header drag

void TdxTreeListDrag::FinishHeaderDrag() {
  // The image and the arrows leave the screen before any operation of the drop runs.
  FControl.SetState(stNone);
  EndDragImage();
  HideDragArrows();
  FDragImagePos = Point(-100, -100);
  if (Screen && FControl.HandleAllocated() && GetCapture() == FControl.GetHandle())
    ::SetCursor(Screen->GetCursors(FControl.GetCursor()));
}

void TdxTreeListDrag::EndBandDrag(bool accept) {
  FinishHeaderDrag();
  const int old = FControl.GetMouse().GetPressedBand();
  const int band = FDragBand;
  int place = -1;
  if (accept && band >= 0 && !IsPointOverCustomizingWindow(FControl.ClientToScreen(FDragPoint))) {
    TdxTreeListDropPlace drop;
    FControl.CalcDropPlace(FDragPoint, drop, old >= 0 ? band : -1, /*bandMode=*/true);
    place = drop.Band;
  }
  FControl.GetMouse().ClearPressedBand();
  FDragBand = -1;
  FControl.Invalidate();
  if (!accept || band < 0)
    return;
  bool accepted = true;
  // The drop's handlers (the end-drag event, then the event of the move, hide or show)
  // may free the control, and this part with it.
  if (!Survives(&FControl, [&] {
        FControl.DoEndBandDrag(FDragPoint, old >= 0 ? FControl.GetBandIndex(band) : band, place, accepted, old);
      }) || !accepted)
    return;
  if (old < 0) {
    // Brought from the customizing window: shown at the place.
    if (FControl.IsCustomizingShown() && place >= 0)
      FControl.ShowBand(place, band);
    return;
  }
  if (place >= 0 && place != old) {
    if (Survives(&FControl, &TCustomdxTreeList::MoveBand, old, place))
      FControl.GetNavigator().MakeBandVisible(place);
    return;
  }
  if (place == -1 && (FControl.IsCustomizingShown() || FControl.CanHideByDrag()) &&
      !FControl.GetBandDisableCustomizing(FControl.GetBandIndex(band)))
    FControl.HideBand(FControl.GetBandIndex(band));
}

void TdxTreeListDrag::EndColumnDrag(bool accept) {
  FinishHeaderDrag();
  const int old = FControl.GetMouse().GetPressedColumn();
  FControl.GetMouse().ClearPressedColumn();
  const int column = FDragColumn;
  FDragColumn = -1;
  FControl.Invalidate();
  if (!accept || column < 0)
    return;
  TdxTreeListDropPlace place;
  if (!IsPointOverCustomizingWindow(FControl.ClientToScreen(FDragPoint)))
    FControl.CalcDropPlace(FDragPoint, place, column, /*bandMode=*/false);
  bool accepted = true;
  if (!Survives(&FControl, [&] { FControl.DoEndColumnDrag(FDragPoint, column, place, accepted); }) || !accepted)
    return;
  if (old < 0) {
    if (FControl.IsCustomizingShown() && place.Band >= 0)
      FControl.ShowColumn(place.Band, place.Row, place.Position, column);
    return;
  }
  if (place.Band >= 0) {
    const bool same = place.Band == FControl.GetVisibleBandIndex(FControl.GetColumnBandIndex(column)) &&
                      place.Row == FControl.GetColumnRowIndex(column) &&
                      place.Position == FControl.GetColumnColIndex(column) && place.Kind == 0;
    if (!same) {
      if (Survives(&FControl, &TCustomdxTreeList::MoveColumn, column, place.Band, place.Row, place.Position))
        FControl.GetNavigator().MakeColumnVisible(column);
    }
    return;
  }
  if (place.Band == -1 && (FControl.IsCustomizingShown() || FControl.CanHideByDrag()) &&
      !FControl.GetColumnDisableCustomizing(column))
    FControl.HideColumn(column);
}

// ---- Node drags

void TdxTreeListDrag::SetDragOverNode(TdxTreeListNode* value) {
  if (value == FDragOverNode)
    return;
  TdxTreeListNode* old = FDragOverNode;
  FDragOverNode = value;
  FControl.RefreshNode(old, false);
  FControl.RefreshNode(value, false);
}

void TdxTreeListDrag::CreateNodeDragImage(TdxTreeListNode* node, int32_t column) {
  EndDragImage();
  if (!node || !FControl.HandleAllocated())
    return;
  TdxTreeListLayout layout;
  FControl.CalcLayout(layout);
  const TdxTreeListRowEntry* row = layout.FindRow(node);
  if (!row)
    return;
  const int right = std::min<int>(std::max<int>(layout.CellsRight, layout.Rows.left + 1), layout.Rows.right);
  const TRect rect{layout.Rows.left, row->Top, right, row->Top + row->Height};
  TBitmap* picture = PaintPicture(rect);
  const TRect frame{0, 0, RectWidth(rect), RectHeight(rect)};
  FrameRect(picture->GetCanvas()->GetHandle(), &frame, GetSysColorBrush(COLOR_WINDOWFRAME));
  // The picture stays where the row was under the pointer.
  const TPoint hot{std::clamp<int>(FControl.GetMouse().GetDownPos().x - rect.left, 0, RectWidth(rect) - 1),
                   std::clamp<int>(FControl.GetMouse().GetDownPos().y - rect.top, 0, RectHeight(rect) - 1)};
  BeginDragImage(picture, hot);
}

void TdxTreeListDrag::BeforeStartDrag() {
  if (FControl.GetState() == stEditing)
    FControl.GetEditController().HideEditor(false);
  FControl.GetTimers().StopTimer(TdxTreeListTimers::kEditTimer);
}

void TdxTreeListDrag::AfterStartDrag() {
  if (!FDragNode) {
    POINT cursor{};
    GetCursorPos(&cursor);
    const TPoint p = FControl.ScreenToClient(cursor);
    FDragNode = FControl.GetHitTester().GetNodeAt(p.x, p.y);
  }
  if (FDragNode) {
    // The handler may delete the node, or free the control.
    if (!Survives(&FControl, [&] { FControl.BeginNodeDrag(FDragNode); }) || !FDragNode)
      return;
    FControl.CreateNodeDragImage(FDragNode, FControl.GetFocusedColumn());
    FControl.SetState(stNodeDragging);
  }
}

void TdxTreeListDrag::BeforeEndDrag() {
  FControl.GetTimers().StopHorzScroll();
  FControl.GetTimers().StopVertScroll();
  StopDragExpand();
}

void TdxTreeListDrag::AfterEndDrag() {
  FDragNode = nullptr;
  FControl.SetState(stNone);
  EndDragImage();
}

void TdxTreeListDrag::DragOver(TObject* source, int x, int y, TDragState state, bool& accept) {
  if (!ActiveDragObject() && !FControl.Dragging())
    return;
  FControl.GetTimers().StopHorzScroll();
  FControl.GetTimers().StopVertScroll();
  if (state == dsDragLeave) {
    StopDragExpand();
    return;
  }
  const TPoint p = Point(x, y);
  FDragPoint = p;
  TdxTreeListHitInfo hit;
  FControl.GetHitInfo(p, hit);
  if (FControl.IsOptionsEx13())
    UpdateDragExpand(hit);
  if (FControl.IsOptionsEx12())
    FControl.GetTimers().UpdateHorzDragScroll(p);
  if (!hit.Node || !IsRowPart(hit.HitTest))
    return;
  FocusOnDragOver(hit);
  if (!FControl.IsOptionsEx12())
    return;
  const int row = FControl.GetNodeRowIndex(hit.Node);
  const int top = FControl.GetNavigator().GetTopIndex();
  if (hit.Node == FControl.GetTopNode() && row > 0)
    FControl.GetTimers().StartVertScroll(-1, TdxTreeListTimers::kDragScrollInterval);
  else if (row >= top + FControl.GetNavigator().GetVisibleRowCount() - 1 && row < FControl.GetRowCount() - 1)
    FControl.GetTimers().StartVertScroll(1, TdxTreeListTimers::kDragScrollInterval);
}

void TdxTreeListDrag::FocusOnDragOver(const TdxTreeListHitInfo& hit) {
  const int column = hit.Column >= 0 ? FControl.GetVisibleIndexOfColumn(hit.Column) : FControl.GetFocusedColumn();
  if (hit.Node != FControl.GetFocusedNode())
    FControl.SetFocusedNode(hit.Node, column, /*makeVisible=*/false);
  else if (!FControl.IsRowSelect() && FControl.IsOptionsEx12() && column != FControl.GetFocusedColumn())
    FControl.SetFocusedColumn(column);
  FControl.GetNavigator().UpdateNow();
}

void TdxTreeListDrag::UpdateDragExpand(const TdxTreeListHitInfo& hit) {
  if (hit.HitTest != htButton || !hit.Node) {
    StopDragExpand();
    return;
  }
  if (hit.Node == FDragExpandNode && FControl.GetTimers().IsTimerRunning(TdxTreeListTimers::kDragExpandTimer))
    return;
  FControl.GetTimers().StopTimer(TdxTreeListTimers::kDragExpandTimer);
  FDragExpandNode = hit.Node;
  FControl.GetTimers().StartTimer(TdxTreeListTimers::kDragExpandTimer, UINT(std::max(FDragExpandDelay, 1)));
}

void TdxTreeListDrag::StopDragExpand() {
  FControl.GetTimers().StopTimer(TdxTreeListTimers::kDragExpandTimer);
  FDragExpandNode = nullptr;
}

void TdxTreeListDrag::DragExpandTick() {
  FControl.GetTimers().StopTimer(TdxTreeListTimers::kDragExpandTimer);
  TdxTreeListNode* node = FDragExpandNode;
  if (!node || (!ActiveDragObject() && FControl.GetState() != stNodeDragging))
    return;
  TdxTreeListHitInfo hit;
  FControl.GetHitInfo(FDragPoint, hit);
  if (hit.HitTest != htButton || hit.Node != node) {
    FDragExpandNode = nullptr;
    return;
  }
  if (FControl.IsOptionsEx14()) {
    node->SetExpanded(!node->GetExpanded());
    FControl.GetTimers().StartTimer(TdxTreeListTimers::kDragExpandTimer, UINT(std::max(FDragExpandDelay, 1)) * 2);
    return;
  }
  node->SetExpanded(true);
}

// ---- Node references

void TdxTreeListDrag::NodeGone(TdxTreeListNode* node) {
  if (FDragNode == node)
    FDragNode = nullptr;
  if (FDragOverNode == node)
    FDragOverNode = nullptr;
  if (FDragExpandNode == node)
    FDragExpandNode = nullptr;
}

void TdxTreeListDrag::ForgetNodes() {
  FDragNode = nullptr;
  FDragOverNode = nullptr;
  FDragExpandNode = nullptr;
}
