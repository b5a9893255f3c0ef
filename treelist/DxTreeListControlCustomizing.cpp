// The column-bound control's customizing actions (bands and columns hidden, shown, moved
// and sized from the header, the drags' answers, the header clicks) and the best fit of
// a column's width to its texts.
#include "treelist/DxTreeListControl.h"

#include <algorithm>

#include "classlib/AliveGuard.h"
#include "classlib/Canvas.h"
#include "classlib/GdiHandles.h"

namespace {

// A canvas on a screen DC, for measuring texts without the control's window.
class TMeasureCanvas {
 public:
  explicit TMeasureCanvas(TFont* font) : FDC(nullptr) {
    FCanvas.SetHandle(FDC.Get());
    FCanvas.SetFont(font);
  }
  ~TMeasureCanvas() { FCanvas.SetHandle(nullptr); }
  TMeasureCanvas(const TMeasureCanvas&) = delete;
  TMeasureCanvas& operator=(const TMeasureCanvas&) = delete;
  TCanvas* Get() { return &FCanvas; }

 private:
  TClientDC FDC;
  TCanvas FCanvas;
};

}  // namespace

// ---- Customizing actions

void TCustomdxTreeListControl::HideBand(int32_t band) {
  TdxTreeListBand* bandObject = BandAt(band);
  if (!bandObject)
    return;
  bandObject->SetVisible(false);
  OnHideBand(this, bandObject);
}

void TCustomdxTreeListControl::ShowBand(int32_t position, int32_t band) {
  TdxTreeListBand* bandObject = BandAt(band);
  if (!bandObject)
    return;
  {
    TdxTreeListUpdateScope update(this);
    // The place of the band now shown at that position (else the end), found before
    // this band counts among the visible ones.
    int target = FBands->GetAbsoluteIndex(position);
    if (target < 0)
      target = FBands->GetCount() - 1;
    else if (target > bandObject->GetIndex())
      --target;
    bandObject->SetVisible(true);
    bandObject->SetIndex(target);
  }
  OnShowBand(this, bandObject, position);
}

void TCustomdxTreeListControl::MoveBand(int32_t oldIndex, int32_t newIndex) {
  TdxTreeListBand* band = VisibleBand(oldIndex);
  const int target = FBands->GetAbsoluteIndex(newIndex);
  if (!band || target < 0)
    return;
  band->SetIndex(target);
  OnBandMoved(this, band);
}

void TCustomdxTreeListControl::SetBandWidth(int32_t band, int32_t width) {
  if (TdxTreeListBand* bandObject = VisibleBand(band))
    bandObject->SetWidth(width);
}

void TCustomdxTreeListControl::ScaleBandWidths(int32_t newSum, int32_t oldSum) {
  if (oldSum == 0)
    return;
  TdxTreeListUpdateScope update(this);
  for (int i = 0; i < FBands->GetVisibleCount(); ++i) {
    TdxTreeListBand* band = VisibleBand(i);
    if (band->GetSizing())
      band->SetWidth(MulDiv(band->GetWidth(), newSum, oldSum));
  }
}

void TCustomdxTreeListControl::ColumnsWidthQuery(int32_t band, int32_t newSum, int32_t oldSum) {
  const int bandIndex = GetBandIndex(band);
  if (oldSum == 0 || bandIndex < 0)
    return;
  TdxTreeListUpdateScope update(this);
  for (int i = 0; i < FColumns.GetCount(); ++i) {
    TdxTreeListColumn* column = ColumnAt(i);
    if (column->GetBandIndex() == bandIndex && column->GetVisible() && column->GetSizing())
      column->SetWidth(MulDiv(column->GetWidth(), newSum, oldSum));
  }
}

void TCustomdxTreeListControl::HideColumn(int32_t column) {
  TdxTreeListColumn* columnObject = FindColumn(column);
  if (!columnObject)
    return;
  columnObject->SetVisible(false);
  OnHideHeader(this, columnObject);
}

TdxTreeListColumn* TCustomdxTreeListControl::PlaceColumn(int32_t column, int32_t band, int32_t row,
                                                         int32_t position) {
  TdxTreeListColumn* columnObject = FindColumn(column);
  const int bandIndex = GetBandIndex(band);
  if (!columnObject || bandIndex < 0)
    return nullptr;
  TdxTreeListUpdateScope update(this);
  columnObject->SetBandIndex(bandIndex);
  columnObject->SetVisible(true);
  columnObject->SetRowIndex(row);
  columnObject->SetColIndex(position);
  return columnObject;
}

// The column's new place moves the nodes' texts, whose handlers may free the control.
void TCustomdxTreeListControl::ShowColumn(int32_t band, int32_t row, int32_t position, int32_t column) {
  TdxTreeListColumn* columnObject = nullptr;
  if (Survives(this, [&] { columnObject = PlaceColumn(column, band, row, position); }) && columnObject)
    OnShowHeader(this, columnObject, position, row, band);
}

void TCustomdxTreeListControl::MoveColumn(int32_t column, int32_t band, int32_t row, int32_t position) {
  TdxTreeListColumn* columnObject = nullptr;
  if (Survives(this, [&] { columnObject = PlaceColumn(column, band, row, position); }) && columnObject)
    OnHeaderMoved(this, columnObject);
}

void TCustomdxTreeListControl::SetColumnWidth(int32_t column, int32_t width) {
  TdxTreeListColumn* columnObject = FindColumn(column);
  if (!columnObject || !columnObject->GetSizing())
    return;
  columnObject->FAssigned.Include(cavWidth);
  columnObject->SetWidth(std::max(width, columnObject->GetMinWidth()));
}

TdxTreeListBand* TCustomdxTreeListControl::BandAt(int32_t band) const {
  return band >= 0 && band < FBands->GetCount() ? FBands->GetItem(band) : nullptr;
}

void TCustomdxTreeListControl::DoDragOverBand(const TPoint& p, int32_t band, bool& accept) {
  if (TdxTreeListBand* bandObject = BandAt(band))
    OnDragOverBand(this, bandObject, p, accept);
}

void TCustomdxTreeListControl::DoEndBandDrag(const TPoint& p, int32_t band, int32_t& place, bool& accept,
                                             int32_t old) {
  if (TdxTreeListBand* bandObject = BandAt(band))
    OnEndDragBand(this, bandObject, place, accept);
}

void TCustomdxTreeListControl::DoDragOverColumn(const TPoint& p, int32_t column, bool& accept) {
  if (TdxTreeListColumn* columnObject = FindColumn(column))
    OnDragOverHeader(this, columnObject, p, accept);
}

void TCustomdxTreeListControl::DoEndColumnDrag(const TPoint& p, int32_t column, TdxTreeListDropPlace& place,
                                               bool& accept) {
  if (TdxTreeListColumn* columnObject = FindColumn(column))
    OnEndDragHeader(this, columnObject, place, accept);
}

void TCustomdxTreeListControl::BandClick(int32_t band) {
  if (TdxTreeListBand* bandObject = BandAt(band))
    OnBandClick(this, bandObject);
}

void TCustomdxTreeListControl::ColumnClick(int32_t column) {
  TdxTreeListColumn* columnObject = FindColumn(column);
  if (!columnObject)
    return;
  // The sort's handlers may free the column, or the control and its columns.
  if (Survives(columnObject, [&] { ToggleColumnSort(columnObject); }))
    OnColumnClick(this, columnObject);
}

void TCustomdxTreeListControl::ColumnEdgeDblClick(int32_t column) {
  TdxTreeListColumn* columnObject = FindColumn(column);
  if (!columnObject)
    return;
  ApplyBestFit(columnObject);
  DoWidthChanged();
}

// ---- Best fit and cell rectangles

void TCustomdxTreeListControl::InflateCellRect(const TRect& rect, TRect& result) {
  result = TRect{rect.left - 2, rect.top - 2, rect.right + 2, rect.bottom + 2};
}

bool TCustomdxTreeListControl::IsTreeColumn(TdxTreeListColumn* column) {
  return GetVisibleBandCount() > 0 && GetColumnAt(0, 0, 0) == column->GetIndex();
}

int TCustomdxTreeListControl::NodeTextWidth(TdxTreeListColumn* column, TdxTreeListNode* node, TCanvas* canvas) {
  int width = column->GetNodeTextWidth(canvas, node);
  if (!IsTreeColumn(column))
    return width;
  width += node->GetLevel() * GetIndentWidth();
  if (GetStateImages() && GetNodeStateIndex(node) >= 0)
    width += GetStateImages()->GetWidth();
  if (GetImages() && (GetNodeImageIndex(node) >= 0 || GetNodeSelectedIndex(node) >= 0))
    width += GetImages()->GetWidth();
  if (GetShowButtons())
    width += GetIndentWidth();
  return width;
}

int TCustomdxTreeListControl::WidestNodeText(TdxTreeListColumn* column, TdxTreeListNode* node, TCanvas* canvas) {
  int widest = NodeTextWidth(column, node, canvas);
  if (!node->GetExpanded())
    return widest;
  for (int i = 0; i < node->GetCount(); ++i)
    widest = std::max(widest, WidestNodeText(column, node->GetItem(i), canvas));
  return widest;
}

void TCustomdxTreeListControl::ApplyBestFit(TdxTreeListColumn* column) {
  TdxTreeListUpdateScope update(this);
  for (int i = 0; i < FColumns.GetCount(); ++i) {
    TdxTreeListColumn* current = ColumnAt(i);
    if ((column && current != column) || !current->GetSizing())
      continue;
    TMeasureCanvas measure(current->IsFontAssigned() ? current->GetFont() : GetFont());
    TCanvas* canvas = measure.Get();
    int widest = 0;
    for (int n = 0; n < GetCount(); ++n)
      widest = std::max(widest, WidestNodeText(current, GetItem(n), canvas));
    std::string header;
    GetColumnHeaderText(i, header);
    {
      TMeasureCanvas headerCanvas(GetHeaderFont());
      widest = std::max(widest, headerCanvas.Get()->TextWidth(header) + (current->CanSort() ? 15 : 0));
    }
    const int zero = canvas->TextWidth("0");
    current->SetWidth(widest + 2 * ((zero + 1) / 2 + 1));
  }
}
