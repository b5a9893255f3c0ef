// The column-bound control's answers to the base tree list's queries: bands, column
// placement and widths, cell texts and values, option queries narrowed per band or
// column, and the custom-draw chains.
#include <algorithm>

#include "classlib/Canvas.h"
#include "classlib/GdiHandles.h"
#include "treelist/DxTreeListControl.h"

namespace {

TdxTreeListTextNode* TextNode(TdxTreeListNode* node) { return ObjectAs<TdxTreeListTextNode>(node); }

}  // namespace

// ---- Bands

int32_t TCustomdxTreeListControl::GetVisibleBandCount() { return FBands->GetVisibleCount(); }

int32_t TCustomdxTreeListControl::GetBandIndex(int32_t visibleIndex) {
  return FBands->GetAbsoluteIndex(visibleIndex);
}

int32_t TCustomdxTreeListControl::GetVisibleBandIndex(int32_t band) { return FBands->GetVisibleIndex(band); }

TAlignment TCustomdxTreeListControl::GetBandAlignment(int32_t band) {
  return band >= 0 && band < FBands->GetCount() ? FBands->GetItem(band)->GetAlignment() : taLeftJustify;
}

void TCustomdxTreeListControl::GetBandCaption(int32_t band, std::string& text) {
  text = band >= 0 && band < FBands->GetCount() ? FBands->GetItem(band)->GetCaption() : std::string();
}

int32_t TCustomdxTreeListControl::GetBandWidth(int32_t band) {
  return band >= 0 && band < FBands->GetCount() ? FBands->GetItem(band)->GetWidth() : 0;
}

TAlignment TCustomdxTreeListControl::GetVisibleBandAlignment(int32_t band) {
  TdxTreeListBand* bandObject = VisibleBand(band);
  return bandObject ? bandObject->GetAlignment() : taLeftJustify;
}

void TCustomdxTreeListControl::GetVisibleBandCaption(int32_t band, std::string& text) {
  TdxTreeListBand* bandObject = VisibleBand(band);
  text = bandObject ? bandObject->GetCaption() : std::string();
}

int32_t TCustomdxTreeListControl::GetVisibleBandWidth(int32_t band) {
  TdxTreeListBand* bandObject = VisibleBand(band);
  return bandObject ? bandObject->GetWidth() : 0;
}

int32_t TCustomdxTreeListControl::GetVisibleBandMinWidth(int32_t band) {
  TdxTreeListBand* bandObject = VisibleBand(band);
  return bandObject ? bandObject->GetMinWidth() : 0;
}

int32_t TCustomdxTreeListControl::GetLeftFixedBand() {
  TdxTreeListBand* band = VisibleBand(0);
  return band && band->GetFixed() == bfLeft ? 0 : -1;
}

int32_t TCustomdxTreeListControl::GetRightFixedBand() {
  const int last = FBands->GetVisibleCount() - 1;
  TdxTreeListBand* band = VisibleBand(last);
  return band && band->GetFixed() == bfRight ? last : -1;
}

bool TCustomdxTreeListControl::GetBandOnlyOwnColumns(int32_t band) {
  TdxTreeListBand* bandObject = VisibleBand(band);
  return bandObject && bandObject->GetOnlyOwnColumns();
}

bool TCustomdxTreeListControl::CanSizeBand(int32_t band) {
  TdxTreeListBand* bandObject = VisibleBand(band);
  return bandObject && bandObject->GetSizing();
}

bool TCustomdxTreeListControl::GetBandDisableCustomizing(int32_t band) {
  return band >= 0 && band < FBands->GetCount() && FBands->GetItem(band)->GetDisableCustomizing();
}

bool TCustomdxTreeListControl::IsBandHidden(int32_t band) {
  return band >= 0 && band < FBands->GetCount() && !FBands->GetItem(band)->GetVisible();
}

bool TCustomdxTreeListControl::CanBandMoving(int32_t band) {
  TdxTreeListBand* bandObject = band >= 0 && band < FBands->GetCount() ? FBands->GetItem(band) : nullptr;
  bool allow = inherited::CanBandMoving(band) && bandObject && bandObject->GetFixed() == bfNone &&
               !bandObject->GetDisableDragging();
  if (bandObject)
    OnCanBandDragging(this, bandObject, allow);
  return allow;
}

// ---- Column placement

int32_t TCustomdxTreeListControl::GetBandRowCount(int32_t band) {
  if (const auto* bandRows = FPlacement.GetBandRows(band)) {
    const auto& rows = *bandRows;
    return static_cast<int32_t>(std::count_if(rows.begin(), rows.end(), [](const auto& row) { return !row.empty(); }));
  }
  const int bandIndex = GetBandIndex(band);
  if (bandIndex < 0)
    return 0;
  int count = 0;
  for (int row = 0; row < FHeaderPanelRowCount; ++row) {
    for (int i = 0; i < FColumns.GetCount(); ++i) {
      TdxTreeListColumn* column = ColumnAt(i);
      if (IsColumnShown(column) && column->GetBandIndex() == bandIndex && column->GetRowIndex() == row) {
        ++count;
        break;
      }
    }
  }
  return count;
}

int32_t TCustomdxTreeListControl::GetColumnCountInRow(int32_t band, int32_t row) {
  if (const auto* bandRows = FPlacement.GetBandRows(band)) {
    const auto& rows = *bandRows;
    return row >= 0 && row < static_cast<int>(rows.size()) ? static_cast<int32_t>(rows[static_cast<size_t>(row)].size())
                                                          : 0;
  }
  const int bandIndex = GetBandIndex(band);
  if (bandIndex < 0)
    return 0;
  int count = 0;
  for (int i = 0; i < FColumns.GetCount(); ++i) {
    TdxTreeListColumn* column = ColumnAt(i);
    if (IsColumnShown(column) && column->GetBandIndex() == bandIndex && column->GetRowIndex() == row)
      ++count;
  }
  return count;
}

int32_t TCustomdxTreeListControl::GetColumnAt(int32_t band, int32_t row, int32_t position) {
  if (const auto* bandRows = FPlacement.GetBandRows(band)) {
    const auto& rows = *bandRows;
    if (row < 0 || row >= static_cast<int>(rows.size()))
      return -1;
    const auto& columns = rows[static_cast<size_t>(row)];
    return position >= 0 && position < static_cast<int>(columns.size()) ? columns[static_cast<size_t>(position)]
                                                                          : -1;
  }
  const int bandIndex = GetBandIndex(band);
  if (bandIndex < 0 || position < 0)
    return -1;
  for (int i = 0; i < FColumns.GetCount(); ++i) {
    TdxTreeListColumn* column = ColumnAt(i);
    if (IsColumnShown(column) && column->GetBandIndex() == bandIndex && column->GetRowIndex() == row &&
        position-- == 0)
      return i;
  }
  return -1;
}

int32_t TCustomdxTreeListControl::GetColumnBandIndex(int32_t column) {
  TdxTreeListColumn* columnObject = FindColumn(column);
  return columnObject ? columnObject->GetBandIndex() : -1;
}

int32_t TCustomdxTreeListControl::GetColumnRowIndex(int32_t column) {
  TdxTreeListColumn* columnObject = FindColumn(column);
  return columnObject ? columnObject->GetRowIndex() : 0;
}

int32_t TCustomdxTreeListControl::GetColumnColIndex(int32_t column) {
  TdxTreeListColumn* columnObject = FindColumn(column);
  return columnObject ? columnObject->GetColIndex() : -1;
}

bool TCustomdxTreeListControl::IsColumnInVisibleBand(int32_t column) {
  TdxTreeListColumn* columnObject = FindColumn(column);
  return columnObject && IsColumnShown(columnObject);
}

bool TCustomdxTreeListControl::IsColumnOutOfHeader(int32_t column) {
  TdxTreeListColumn* columnObject = FindColumn(column);
  return columnObject && (!columnObject->GetVisible() || columnObject->GetBandIndex() < 0);
}

bool TCustomdxTreeListControl::GetColumnDisableCustomizing(int32_t column) {
  TdxTreeListColumn* columnObject = FindColumn(column);
  return columnObject && columnObject->GetDisableCustomizing();
}

bool TCustomdxTreeListControl::CanColumnMoving(int32_t column) {
  TdxTreeListColumn* columnObject = FindColumn(column);
  bool allow = inherited::CanColumnMoving(column) && columnObject && !columnObject->GetDisableDragging();
  if (columnObject)
    OnCanHeaderDragging(this, columnObject, allow);
  return allow;
}

// ---- Column widths

int32_t TCustomdxTreeListControl::GetColumnDisplayWidth(int32_t column) {
  int32_t width = 0;
  if (FPlacement.CachedColumnWidth(column, width))
    return width;
  return inherited::GetColumnDisplayWidth(column);
}

int32_t TCustomdxTreeListControl::GetColumnWidth(int32_t column) {
  TdxTreeListColumn* columnObject = FindColumn(column);
  return columnObject ? columnObject->GetWidth() : 0;
}

int32_t TCustomdxTreeListControl::GetColumnMinWidth(int32_t column) {
  TdxTreeListColumn* columnObject = FindColumn(column);
  if (!columnObject)
    return 0;
  return columnObject->GetSizing() ? columnObject->GetMinWidth() : columnObject->GetWidth();
}

bool TCustomdxTreeListControl::CanSizeColumn(int32_t column) {
  TdxTreeListColumn* columnObject = FindColumn(column);
  return columnObject && columnObject->GetSizing();
}

// ---- Column settings

TAlignment TCustomdxTreeListControl::GetColumnHeaderAlignment(int32_t column) {
  TdxTreeListColumn* columnObject = FindColumn(column);
  return columnObject ? columnObject->GetHeaderAlignment() : taLeftJustify;
}

TBitmap* TCustomdxTreeListControl::GetColumnHeaderGlyph(int32_t column) {
  TdxTreeListColumn* columnObject = FindColumn(column);
  return columnObject && columnObject->HasHeaderGlyph() ? columnObject->GetHeaderGlyph() : nullptr;
}

bool TCustomdxTreeListControl::HasColumnHeaderGlyph(int32_t column) {
  TdxTreeListColumn* columnObject = FindColumn(column);
  return columnObject && columnObject->HasHeaderGlyph();
}

int32_t TCustomdxTreeListControl::GetColumnHeaderMaxLineCount(int32_t column) {
  TdxTreeListColumn* columnObject = FindColumn(column);
  return columnObject ? columnObject->GetHeaderMaxLineCount() : 1;
}

TdxTreeListColumnSort TCustomdxTreeListControl::GetColumnSorted(int32_t column) {
  TdxTreeListColumn* columnObject = FindColumn(column);
  if (!columnObject)
    return csNone;
  TdxTreeListColumnSort sorted = columnObject->GetSorted();
  OnGetColumnSorted(this, columnObject, sorted);
  return sorted;
}

bool TCustomdxTreeListControl::GetColumnTabStop(int32_t column) {
  TdxTreeListColumn* columnObject = FindColumn(column);
  return columnObject && columnObject->GetTabStop();
}

void TCustomdxTreeListControl::GetColumnHeaderText(int32_t column, std::string& text) {
  TdxTreeListColumn* columnObject = FindColumn(column);
  text = columnObject && !columnObject->GetDisableCaption() ? columnObject->GetCaption() : std::string();
}

void TCustomdxTreeListControl::GetColumnCaption(int32_t column, std::string& text) {
  TdxTreeListColumn* columnObject = FindColumn(column);
  text = columnObject ? columnObject->GetCaption() : std::string();
}

TColor TCustomdxTreeListControl::GetColumnColor(int32_t column) {
  TdxTreeListColumn* columnObject = FindColumn(column);
  return columnObject ? columnObject->GetColor() : GetColor();
}

TFont* TCustomdxTreeListControl::GetColumnFont(int32_t column) {
  TdxTreeListColumn* columnObject = FindColumn(column);
  return columnObject ? columnObject->GetFont() : GetFont();
}

bool TCustomdxTreeListControl::IsColumnOwnFont(int32_t column) {
  TdxTreeListColumn* columnObject = FindColumn(column);
  return columnObject && columnObject->IsFontAssigned();
}

TAlignment TCustomdxTreeListControl::GetColumnAlignment(TdxTreeListNode* node, int32_t column) {
  TdxTreeListColumn* columnObject = FindColumn(column);
  return columnObject ? columnObject->GetAlignment() : taLeftJustify;
}

TTextLayout TCustomdxTreeListControl::GetColumnVertAlignment(int32_t column) {
  TdxTreeListColumn* columnObject = FindColumn(column);
  return columnObject ? columnObject->GetVertAlignment() : tlTop;
}

bool TCustomdxTreeListControl::IsHotTrackCell(TdxTreeListNode* node, int32_t column, TdxTreeListHitTest hitTest) {
  if (inherited::IsHotTrackCell(node, column, hitTest))
    return true;
  TdxTreeListColumn* columnObject = FindColumn(column);
  return columnObject && columnObject->CellOptionQuery(node, hitTest);
}

// ---- Nodes and cell values

TdxTreeListNode* TCustomdxTreeListControl::CreateNode() { return new TdxTreeListTextNode(this); }

int TCustomdxTreeListControl::GetNodeIndex(TdxTreeListNode* node, int TdxTreeListTextNode::*field,
                                           const TdxTreeListGetIndexEvent& event) {
  TdxTreeListTextNode* textNode = TextNode(node);
  int index = textNode ? textNode->*field : -1;
  event(this, node, index);
  return index;
}

int TCustomdxTreeListControl::GetNodeImageIndex(TdxTreeListNode* node) {
  return GetNodeIndex(node, &TdxTreeListTextNode::ImageIndex, OnGetImageIndex);
}

int TCustomdxTreeListControl::GetNodeSelectedIndex(TdxTreeListNode* node) {
  return GetNodeIndex(node, &TdxTreeListTextNode::SelectedIndex, OnGetSelectedIndex);
}

int TCustomdxTreeListControl::GetNodeStateIndex(TdxTreeListNode* node) {
  return GetNodeIndex(node, &TdxTreeListTextNode::StateIndex, OnGetStateIndex);
}

void TCustomdxTreeListControl::SetNodeIndex(TdxTreeListNode* node, int TdxTreeListTextNode::*field, int value) {
  TdxTreeListTextNode* textNode = TextNode(node);
  if (!textNode || textNode->*field == value)
    return;
  textNode->*field = value;
  RefreshNode(node, false);
}

void TCustomdxTreeListControl::SetNodeImageIndex(TdxTreeListNode* node, int value) {
  SetNodeIndex(node, &TdxTreeListTextNode::ImageIndex, value);
}

void TCustomdxTreeListControl::SetNodeSelectedIndex(TdxTreeListNode* node, int value) {
  SetNodeIndex(node, &TdxTreeListTextNode::SelectedIndex, value);
}

void TCustomdxTreeListControl::SetNodeStateIndex(TdxTreeListNode* node, int value) {
  SetNodeIndex(node, &TdxTreeListTextNode::StateIndex, value);
}

void TCustomdxTreeListControl::GetNodeString(TdxTreeListNode* node, int32_t column, std::string& text) {
  TdxTreeListTextNode* textNode = TextNode(node);
  TStringList* strings = textNode ? textNode->GetStrings() : nullptr;
  text = strings && column >= 0 && column < strings->GetCount() ? strings->Get(column) : std::string();
}

void TCustomdxTreeListControl::SetNodeString(TdxTreeListNode* node, int32_t column, const std::string& text) {
  TdxTreeListTextNode* textNode = TextNode(node);
  if (!textNode || column < 0)
    return;
  TStringList* strings = textNode->GetStrings();
  if (PadNodeTexts(strings, column + 1))
    strings->Put(column, text);
}

void TCustomdxTreeListControl::GetNodeValue(TdxTreeListNode* node, int32_t column, Variant& value) {
  std::string text;
  GetNodeString(node, column, text);
  value = Variant(text);
}

void TCustomdxTreeListControl::SetNodeValue(TdxTreeListNode* node, int32_t column, const Variant& value) {
  SetNodeString(node, column, VarToStr(value));
  if (!IsLocked())
    RefreshNode(node, false);
}

void TCustomdxTreeListControl::GetCellText(TdxTreeListNode* node, int32_t column, std::string& text) {
  std::string stored;
  GetNodeString(node, column, stored);
  if (TdxTreeListColumn* columnObject = FindColumn(column))
    columnObject->GetDisplayText(node, stored, text);
  else
    text = stored;
}

int32_t TCustomdxTreeListControl::GetCellTextWidth(TCanvas* canvas, TdxTreeListNode* node, int32_t column) {
  TdxTreeListColumn* columnObject = FindColumn(column);
  if (!columnObject || !columnObject->IsFontAssigned())
    return 0;
  TFont saved;
  saved.Assign(canvas->GetFont());
  canvas->SetFont(columnObject->GetFont());
  struct TRestore {
    TCanvas* Canvas;
    TFont* Saved;
    ~TRestore() { Canvas->SetFont(Saved); }
  } restore{canvas, &saved};
  return columnObject->GetNodeTextWidth(canvas, node) + 3;
}

bool TCustomdxTreeListControl::MeasureCellText(TdxTreeListNode* node, int32_t column, int32_t& lineCount,
                                               int32_t& textHeight, int32_t width, int32_t maxLines) {
  TdxTreeListColumn* columnObject = FindColumn(column);
  if (!columnObject)
    return false;
  TFont* font = columnObject->IsFontAssigned() ? columnObject->GetFont() : GetFont();
  TdxTreeListCellViewData cell;
  cell.Font = font->GetHandle();
  cell.Color = 0;
  cell.TextColor = 0;
  cell.Alignment = columnObject->GetAlignment();
  GetCellText(node, column, cell.Text);
  cell.MultiLine = true;
  cell.Node = node;
  cell.Bounds = TRect{2, 2, std::max(width - 2, 2), 2};
  TdxEditViewData* view = columnObject->GetCellViewData(node);
  columnObject->PrepareViewData(view, &cell);
  view->CalcOnly = true;
  view->LineCount = 0;
  struct TReset {
    TdxEditViewData* View;
    ~TReset() { View->CalcOnly = false; }
  } reset{view};
  TClientDC dc(nullptr);
  TSelectGuard select(dc.Get(), cell.Font);
  columnObject->GetCellEditorClass(node)->DrawContent(dc.Get(), cell.Bounds, view, false);
  lineCount = view->LineCount > 0 ? view->LineCount : 1;
  if (maxLines >= 0)
    lineCount = std::min(lineCount, maxLines);
  textHeight = view->TextHeight;
  return true;
}

// ---- Custom drawing

bool TCustomdxTreeListControl::IsCustomDrawCell(TdxTreeListNode* node, int32_t column) {
  if (OnCustomDrawCell.Assigned() || OnCustomDrawCellEx.Assigned())
    return true;
  TdxTreeListColumn* columnObject = FindColumn(column);
  return columnObject && columnObject->HasCustomDrawCell();
}

bool TCustomdxTreeListControl::IsCustomDrawFooter(TdxTreeListNode* node, int32_t column, int32_t footerIndex) {
  return footerIndex == -1 ? OnCustomDrawFooter.Assigned() : OnCustomDrawFooterNode.Assigned();
}

bool TCustomdxTreeListControl::IsCustomDrawHeader(int32_t column) {
  if (OnCustomDrawColumnHeader.Assigned())
    return true;
  TdxTreeListColumn* columnObject = FindColumn(column);
  return columnObject && columnObject->OnCustomDrawColumnHeader.Assigned();
}

void TCustomdxTreeListControl::DoCustomDrawBand(int32_t band, TCanvas* canvas, const TRect& rect,
                                                const TRect& clippedRect, std::string& text, TColor& color,
                                                TFont* font, TAlignment& alignment, bool& done) {
  if (TdxTreeListBand* bandObject = VisibleBand(band))
    OnCustomDrawBand(this, bandObject, canvas, rect, text, color, font, alignment, done);
}

void TCustomdxTreeListControl::DoCustomDrawCell(TCanvas* canvas, const TRect& rect, TdxTreeListNode* node,
                                                int32_t column, bool selected, bool focused, bool newItemRow,
                                                bool entryFlag1, bool entryFlag2, HBRUSH brush, std::string& text,
                                                TColor& color, TFont* font, TAlignment& alignment, bool& done) {
  TdxTreeListColumn* columnObject = FindColumn(column);
  OnCustomDrawCell(this, canvas, rect, node, columnObject, selected, focused, newItemRow, text, color, font, alignment,
                   done);
  if (!done)
    OnCustomDrawCellEx(this, canvas, rect, node, columnObject, selected, focused, newItemRow, text, color, font,
                       alignment, done);
  if (!done && columnObject)
    columnObject->DoCustomDrawCell(canvas, rect, node, selected, focused, newItemRow, text, color, font, alignment,
                                   done);
}

void TCustomdxTreeListControl::DoCustomDrawFooter(TCanvas* canvas, const TRect& rect, TdxTreeListNode* node,
                                                  int32_t column, int32_t footerIndex, std::string& text,
                                                  TColor& color, TFont* font, TAlignment& alignment, bool& done) {
  const TdxTreeListCustomDrawFooterEvent& event = footerIndex == -1 ? OnCustomDrawFooter : OnCustomDrawFooterNode;
  event(this, canvas, rect, node, FindColumn(column), footerIndex, text, color, font, alignment, done);
}

void TCustomdxTreeListControl::DoCustomDrawHeader(int32_t column, TCanvas* canvas, const TRect& rect,
                                                  const TRect& clippedRect, std::string& text, TColor& color,
                                                  TFont* font, TAlignment& alignment, TdxTreeListColumnSort& sorted,
                                                  bool& done) {
  TdxTreeListColumn* columnObject = FindColumn(column);
  OnCustomDrawColumnHeader(this, columnObject, canvas, rect, text, color, font, alignment, sorted, done);
  if (!done && columnObject)
    columnObject->OnCustomDrawColumnHeader(columnObject, columnObject, canvas, rect, text, color, font, alignment,
                                           sorted, done);
}

void TCustomdxTreeListControl::DoCustomDrawPreview(TCanvas* canvas, const TRect& rect, TdxTreeListNode* node,
                                                   bool selected, std::string& text, TColor& color, TColor& textColor,
                                                   TFont* font, bool& done) {
  OnCustomDrawPreview(this, canvas, rect, node, selected, text, color, textColor, font, done);
  if (!done)
    OnCustomDrawPreviewEx(this, canvas, rect, node, selected, text, color, textColor, font, done);
}

void TCustomdxTreeListControl::DrawCellViewData(TCanvas* canvas, const TRect& rect, TdxTreeListCellViewData* viewData,
                                                int32_t column) {
  TdxTreeListColumn* columnObject = FindColumn(column);
  if (!columnObject) {
    inherited::DrawCellViewData(canvas, rect, viewData, column);
    return;
  }
  TdxEditViewData* view = columnObject->GetCellViewData(viewData->Node);
  columnObject->PrepareViewData(view, viewData);
  DrawEditViewData(canvas, rect, viewData, *columnObject->GetCellEditorClass(viewData->Node), view);
}
