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

int32_t TCustomdxTreeListControl::GetBandIndex(int32_t VisibleIndex) {
  return FBands->GetAbsoluteIndex(VisibleIndex);
}

int32_t TCustomdxTreeListControl::GetVisibleBandIndex(int32_t Band) { return FBands->GetVisibleIndex(Band); }

TAlignment TCustomdxTreeListControl::GetBandAlignment(int32_t Band) {
  return Band >= 0 && Band < FBands->GetCount() ? FBands->GetItem(Band)->GetAlignment() : taLeftJustify;
}

void TCustomdxTreeListControl::GetBandCaption(int32_t Band, std::string& Text) {
  Text = Band >= 0 && Band < FBands->GetCount() ? FBands->GetItem(Band)->GetCaption() : std::string();
}

int32_t TCustomdxTreeListControl::GetBandWidth(int32_t Band) {
  return Band >= 0 && Band < FBands->GetCount() ? FBands->GetItem(Band)->GetWidth() : 0;
}

TAlignment TCustomdxTreeListControl::GetVisibleBandAlignment(int32_t Band) {
  TdxTreeListBand* bandObject = VisibleBand(Band);
  return bandObject ? bandObject->GetAlignment() : taLeftJustify;
}

void TCustomdxTreeListControl::GetVisibleBandCaption(int32_t Band, std::string& Text) {
  TdxTreeListBand* bandObject = VisibleBand(Band);
  Text = bandObject ? bandObject->GetCaption() : std::string();
}

int32_t TCustomdxTreeListControl::GetVisibleBandWidth(int32_t Band) {
  TdxTreeListBand* bandObject = VisibleBand(Band);
  return bandObject ? bandObject->GetWidth() : 0;
}

int32_t TCustomdxTreeListControl::GetVisibleBandMinWidth(int32_t Band) {
  TdxTreeListBand* bandObject = VisibleBand(Band);
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

bool TCustomdxTreeListControl::GetBandOnlyOwnColumns(int32_t Band) {
  TdxTreeListBand* bandObject = VisibleBand(Band);
  return bandObject && bandObject->GetOnlyOwnColumns();
}

bool TCustomdxTreeListControl::CanSizeBand(int32_t Band) {
  TdxTreeListBand* bandObject = VisibleBand(Band);
  return bandObject && bandObject->GetSizing();
}

bool TCustomdxTreeListControl::GetBandDisableCustomizing(int32_t Band) {
  return Band >= 0 && Band < FBands->GetCount() && FBands->GetItem(Band)->GetDisableCustomizing();
}

bool TCustomdxTreeListControl::IsBandHidden(int32_t Band) {
  return Band >= 0 && Band < FBands->GetCount() && !FBands->GetItem(Band)->GetVisible();
}

bool TCustomdxTreeListControl::CanBandMoving(int32_t Band) {
  TdxTreeListBand* bandObject = Band >= 0 && Band < FBands->GetCount() ? FBands->GetItem(Band) : nullptr;
  bool allow = inherited::CanBandMoving(Band) && bandObject && bandObject->GetFixed() == bfNone &&
               !bandObject->GetDisableDragging();
  if (bandObject)
    OnCanBandDragging(this, bandObject, allow);
  return allow;
}

// ---- Column placement

int32_t TCustomdxTreeListControl::GetBandRowCount(int32_t Band) {
  if (!FBuildingGrid && Band >= 0 && Band < static_cast<int>(FColumnGrid.size())) {
    const auto& rows = FColumnGrid[static_cast<size_t>(Band)];
    return static_cast<int32_t>(std::count_if(rows.begin(), rows.end(), [](const auto& row) { return !row.empty(); }));
  }
  const int bandIndex = GetBandIndex(Band);
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

int32_t TCustomdxTreeListControl::GetColumnCountInRow(int32_t Band, int32_t Row) {
  if (!FBuildingGrid && Band >= 0 && Band < static_cast<int>(FColumnGrid.size())) {
    const auto& rows = FColumnGrid[static_cast<size_t>(Band)];
    return Row >= 0 && Row < static_cast<int>(rows.size()) ? static_cast<int32_t>(rows[static_cast<size_t>(Row)].size())
                                                          : 0;
  }
  const int bandIndex = GetBandIndex(Band);
  if (bandIndex < 0)
    return 0;
  int count = 0;
  for (int i = 0; i < FColumns.GetCount(); ++i) {
    TdxTreeListColumn* column = ColumnAt(i);
    if (IsColumnShown(column) && column->GetBandIndex() == bandIndex && column->GetRowIndex() == Row)
      ++count;
  }
  return count;
}

int32_t TCustomdxTreeListControl::GetColumnAt(int32_t Band, int32_t Row, int32_t Position) {
  if (!FBuildingGrid && Band >= 0 && Band < static_cast<int>(FColumnGrid.size())) {
    const auto& rows = FColumnGrid[static_cast<size_t>(Band)];
    if (Row < 0 || Row >= static_cast<int>(rows.size()))
      return -1;
    const auto& columns = rows[static_cast<size_t>(Row)];
    return Position >= 0 && Position < static_cast<int>(columns.size()) ? columns[static_cast<size_t>(Position)]
                                                                          : -1;
  }
  const int bandIndex = GetBandIndex(Band);
  if (bandIndex < 0 || Position < 0)
    return -1;
  for (int i = 0; i < FColumns.GetCount(); ++i) {
    TdxTreeListColumn* column = ColumnAt(i);
    if (IsColumnShown(column) && column->GetBandIndex() == bandIndex && column->GetRowIndex() == Row &&
        Position-- == 0)
      return i;
  }
  return -1;
}

int32_t TCustomdxTreeListControl::GetColumnBandIndex(int32_t Column) {
  TdxTreeListColumn* columnObject = FindColumn(Column);
  return columnObject ? columnObject->GetBandIndex() : -1;
}

int32_t TCustomdxTreeListControl::GetColumnRowIndex(int32_t Column) {
  TdxTreeListColumn* columnObject = FindColumn(Column);
  return columnObject ? columnObject->GetRowIndex() : 0;
}

int32_t TCustomdxTreeListControl::GetColumnColIndex(int32_t Column) {
  TdxTreeListColumn* columnObject = FindColumn(Column);
  return columnObject ? columnObject->GetColIndex() : -1;
}

bool TCustomdxTreeListControl::IsColumnInVisibleBand(int32_t Column) {
  TdxTreeListColumn* columnObject = FindColumn(Column);
  return columnObject && IsColumnShown(columnObject);
}

bool TCustomdxTreeListControl::IsColumnOutOfHeader(int32_t Column) {
  TdxTreeListColumn* columnObject = FindColumn(Column);
  return columnObject && (!columnObject->GetVisible() || columnObject->GetBandIndex() < 0);
}

bool TCustomdxTreeListControl::GetColumnDisableCustomizing(int32_t Column) {
  TdxTreeListColumn* columnObject = FindColumn(Column);
  return columnObject && columnObject->GetDisableCustomizing();
}

bool TCustomdxTreeListControl::CanColumnMoving(int32_t Column) {
  TdxTreeListColumn* columnObject = FindColumn(Column);
  bool allow = inherited::CanColumnMoving(Column) && columnObject && !columnObject->GetDisableDragging();
  if (columnObject)
    OnCanHeaderDragging(this, columnObject, allow);
  return allow;
}

// ---- Column widths

int32_t TCustomdxTreeListControl::GetColumnDisplayWidth(int32_t Column) {
  if (FBuildingColumnWidths)
    return inherited::GetColumnDisplayWidth(Column);
  const bool stale = FColumnWidths.size() != static_cast<size_t>(FColumns.GetCount()) ||
                     FColumnWidthsClientWidth != GetClientWidth();
  if (stale && !IsLocked() && !IsLoading() && !IsDestroying())
    BuildColumnWidths();
  const bool valid = FColumnWidths.size() == static_cast<size_t>(FColumns.GetCount()) &&
                     FColumnWidthsClientWidth == GetClientWidth();
  if (valid && Column >= 0 && Column < FColumns.GetCount())
    return FColumnWidths[static_cast<size_t>(Column)];
  return inherited::GetColumnDisplayWidth(Column);
}

int32_t TCustomdxTreeListControl::GetColumnWidth(int32_t Column) {
  TdxTreeListColumn* columnObject = FindColumn(Column);
  return columnObject ? columnObject->GetWidth() : 0;
}

int32_t TCustomdxTreeListControl::GetColumnMinWidth(int32_t Column) {
  TdxTreeListColumn* columnObject = FindColumn(Column);
  if (!columnObject)
    return 0;
  return columnObject->GetSizing() ? columnObject->GetMinWidth() : columnObject->GetWidth();
}

bool TCustomdxTreeListControl::CanSizeColumn(int32_t Column) {
  TdxTreeListColumn* columnObject = FindColumn(Column);
  return columnObject && columnObject->GetSizing();
}

// ---- Column settings

TAlignment TCustomdxTreeListControl::GetColumnHeaderAlignment(int32_t Column) {
  TdxTreeListColumn* columnObject = FindColumn(Column);
  return columnObject ? columnObject->GetHeaderAlignment() : taLeftJustify;
}

TBitmap* TCustomdxTreeListControl::GetColumnHeaderGlyph(int32_t Column) {
  TdxTreeListColumn* columnObject = FindColumn(Column);
  return columnObject && columnObject->HasHeaderGlyph() ? columnObject->GetHeaderGlyph() : nullptr;
}

bool TCustomdxTreeListControl::HasColumnHeaderGlyph(int32_t Column) {
  TdxTreeListColumn* columnObject = FindColumn(Column);
  return columnObject && columnObject->HasHeaderGlyph();
}

int32_t TCustomdxTreeListControl::GetColumnHeaderMaxLineCount(int32_t Column) {
  TdxTreeListColumn* columnObject = FindColumn(Column);
  return columnObject ? columnObject->GetHeaderMaxLineCount() : 1;
}

TdxTreeListColumnSort TCustomdxTreeListControl::GetColumnSorted(int32_t Column) {
  TdxTreeListColumn* columnObject = FindColumn(Column);
  if (!columnObject)
    return csNone;
  TdxTreeListColumnSort sorted = columnObject->GetSorted();
  OnGetColumnSorted(this, columnObject, sorted);
  return sorted;
}

bool TCustomdxTreeListControl::GetColumnTabStop(int32_t Column) {
  TdxTreeListColumn* columnObject = FindColumn(Column);
  return columnObject && columnObject->GetTabStop();
}

void TCustomdxTreeListControl::GetColumnHeaderText(int32_t Column, std::string& Text) {
  TdxTreeListColumn* columnObject = FindColumn(Column);
  Text = columnObject && !columnObject->GetDisableCaption() ? columnObject->GetCaption() : std::string();
}

void TCustomdxTreeListControl::GetColumnCaption(int32_t Column, std::string& Text) {
  TdxTreeListColumn* columnObject = FindColumn(Column);
  Text = columnObject ? columnObject->GetCaption() : std::string();
}

TColor TCustomdxTreeListControl::GetColumnColor(int32_t Column) {
  TdxTreeListColumn* columnObject = FindColumn(Column);
  return columnObject ? columnObject->GetColor() : GetColor();
}

TFont* TCustomdxTreeListControl::GetColumnFont(int32_t Column) {
  TdxTreeListColumn* columnObject = FindColumn(Column);
  return columnObject ? columnObject->GetFont() : GetFont();
}

bool TCustomdxTreeListControl::IsColumnOwnFont(int32_t Column) {
  TdxTreeListColumn* columnObject = FindColumn(Column);
  return columnObject && columnObject->IsFontAssigned();
}

TAlignment TCustomdxTreeListControl::GetColumnAlignment(TdxTreeListNode* Node, int32_t Column) {
  TdxTreeListColumn* columnObject = FindColumn(Column);
  return columnObject ? columnObject->GetAlignment() : taLeftJustify;
}

TTextLayout TCustomdxTreeListControl::GetColumnVertAlignment(int32_t Column) {
  TdxTreeListColumn* columnObject = FindColumn(Column);
  return columnObject ? columnObject->GetVertAlignment() : tlTop;
}

bool TCustomdxTreeListControl::IsHotTrackCell(TdxTreeListNode* Node, int32_t Column, TdxTreeListHitTest HitTest) {
  if (inherited::IsHotTrackCell(Node, Column, HitTest))
    return true;
  TdxTreeListColumn* columnObject = FindColumn(Column);
  return columnObject && columnObject->CellOptionQuery(Node, HitTest);
}

// ---- Nodes and cell values

TdxTreeListNode* TCustomdxTreeListControl::CreateNode() { return new TdxTreeListTextNode(this); }

int TCustomdxTreeListControl::GetNodeIndex(TdxTreeListNode* Node, int TdxTreeListTextNode::*field,
                                           const TdxTreeListGetIndexEvent& event) {
  TdxTreeListTextNode* textNode = TextNode(Node);
  int index = textNode ? textNode->*field : -1;
  event(this, Node, index);
  return index;
}

int TCustomdxTreeListControl::GetNodeImageIndex(TdxTreeListNode* Node) {
  return GetNodeIndex(Node, &TdxTreeListTextNode::ImageIndex, OnGetImageIndex);
}

int TCustomdxTreeListControl::GetNodeSelectedIndex(TdxTreeListNode* Node) {
  return GetNodeIndex(Node, &TdxTreeListTextNode::SelectedIndex, OnGetSelectedIndex);
}

int TCustomdxTreeListControl::GetNodeStateIndex(TdxTreeListNode* Node) {
  return GetNodeIndex(Node, &TdxTreeListTextNode::StateIndex, OnGetStateIndex);
}

void TCustomdxTreeListControl::SetNodeIndex(TdxTreeListNode* Node, int TdxTreeListTextNode::*field, int Value) {
  TdxTreeListTextNode* textNode = TextNode(Node);
  if (!textNode || textNode->*field == Value)
    return;
  textNode->*field = Value;
  RefreshNode(Node, false);
}

void TCustomdxTreeListControl::SetNodeImageIndex(TdxTreeListNode* Node, int Value) {
  SetNodeIndex(Node, &TdxTreeListTextNode::ImageIndex, Value);
}

void TCustomdxTreeListControl::SetNodeSelectedIndex(TdxTreeListNode* Node, int Value) {
  SetNodeIndex(Node, &TdxTreeListTextNode::SelectedIndex, Value);
}

void TCustomdxTreeListControl::SetNodeStateIndex(TdxTreeListNode* Node, int Value) {
  SetNodeIndex(Node, &TdxTreeListTextNode::StateIndex, Value);
}

void TCustomdxTreeListControl::GetNodeString(TdxTreeListNode* Node, int32_t Column, std::string& Text) {
  TdxTreeListTextNode* textNode = TextNode(Node);
  TStringList* strings = textNode ? textNode->GetStrings() : nullptr;
  Text = strings && Column >= 0 && Column < strings->GetCount() ? strings->Get(Column) : std::string();
}

void TCustomdxTreeListControl::SetNodeString(TdxTreeListNode* Node, int32_t Column, const std::string& Text) {
  TdxTreeListTextNode* textNode = TextNode(Node);
  if (!textNode || Column < 0)
    return;
  TStringList* strings = textNode->GetStrings();
  while (strings->GetCount() <= Column)
    strings->Add("");
  strings->Put(Column, Text);
}

void TCustomdxTreeListControl::GetNodeValue(TdxTreeListNode* Node, int32_t Column, Variant& Value) {
  std::string text;
  GetNodeString(Node, Column, text);
  Value = Variant(text);
}

void TCustomdxTreeListControl::SetNodeValue(TdxTreeListNode* Node, int32_t Column, const Variant& Value) {
  SetNodeString(Node, Column, VarToStr(Value));
  if (!IsLocked())
    RefreshNode(Node, false);
}

void TCustomdxTreeListControl::GetCellText(TdxTreeListNode* Node, int32_t Column, std::string& Text) {
  std::string stored;
  GetNodeString(Node, Column, stored);
  if (TdxTreeListColumn* columnObject = FindColumn(Column))
    columnObject->GetDisplayText(Node, stored, Text);
  else
    Text = stored;
}

int32_t TCustomdxTreeListControl::GetCellTextWidth(TCanvas* Canvas, TdxTreeListNode* Node, int32_t Column) {
  TdxTreeListColumn* columnObject = FindColumn(Column);
  if (!columnObject || !columnObject->IsFontAssigned())
    return 0;
  TFont saved;
  saved.Assign(Canvas->GetFont());
  Canvas->SetFont(columnObject->GetFont());
  struct TRestore {
    TCanvas* Canvas;
    TFont* Saved;
    ~TRestore() { Canvas->SetFont(Saved); }
  } restore{Canvas, &saved};
  return columnObject->GetNodeTextWidth(Canvas, Node) + 3;
}

bool TCustomdxTreeListControl::MeasureCellText(TdxTreeListNode* Node, int32_t Column, int32_t& LineCount,
                                               int32_t& TextHeight, int32_t Width, int32_t MaxLines) {
  TdxTreeListColumn* columnObject = FindColumn(Column);
  if (!columnObject)
    return false;
  TFont* font = columnObject->IsFontAssigned() ? columnObject->GetFont() : GetFont();
  TdxTreeListCellViewData cell;
  cell.Font = font->GetHandle();
  cell.Color = 0;
  cell.TextColor = 0;
  cell.Alignment = columnObject->GetAlignment();
  GetCellText(Node, Column, cell.Text);
  cell.MultiLine = true;
  cell.Node = Node;
  cell.Bounds = TRect{2, 2, std::max(Width - 2, 2), 2};
  TdxEditViewData* view = columnObject->GetCellViewData(Node);
  columnObject->PrepareViewData(view, &cell);
  view->CalcOnly = true;
  view->LineCount = 0;
  struct TReset {
    TdxEditViewData* View;
    ~TReset() { View->CalcOnly = false; }
  } reset{view};
  TClientDC dc(nullptr);
  TSelectGuard select(dc.Get(), cell.Font);
  columnObject->GetCellEditorClass(Node)->DrawContent(dc.Get(), cell.Bounds, view, false);
  LineCount = view->LineCount > 0 ? view->LineCount : 1;
  if (MaxLines >= 0)
    LineCount = std::min(LineCount, MaxLines);
  TextHeight = view->TextHeight;
  return true;
}

// ---- Custom drawing

bool TCustomdxTreeListControl::IsCustomDrawCell(TdxTreeListNode* Node, int32_t Column) {
  if (OnCustomDrawCell.Assigned() || OnCustomDrawCellEx.Assigned())
    return true;
  TdxTreeListColumn* columnObject = FindColumn(Column);
  return columnObject && columnObject->HasCustomDrawCell();
}

bool TCustomdxTreeListControl::IsCustomDrawFooter(TdxTreeListNode* Node, int32_t Column, int32_t FooterIndex) {
  return FooterIndex == -1 ? OnCustomDrawFooter.Assigned() : OnCustomDrawFooterNode.Assigned();
}

bool TCustomdxTreeListControl::IsCustomDrawHeader(int32_t Column) {
  if (OnCustomDrawColumnHeader.Assigned())
    return true;
  TdxTreeListColumn* columnObject = FindColumn(Column);
  return columnObject && columnObject->OnCustomDrawColumnHeader.Assigned();
}

void TCustomdxTreeListControl::DoCustomDrawBand(int32_t Band, TCanvas* Canvas, const TRect& Rect,
                                                const TRect& ClippedRect, std::string& Text, TColor& Color,
                                                TFont* Font, TAlignment& Alignment, bool& Done) {
  if (TdxTreeListBand* bandObject = VisibleBand(Band))
    OnCustomDrawBand(this, bandObject, Canvas, Rect, Text, Color, Font, Alignment, Done);
}

void TCustomdxTreeListControl::DoCustomDrawCell(TCanvas* Canvas, const TRect& Rect, TdxTreeListNode* Node,
                                                int32_t Column, bool Selected, bool Focused, bool NewItemRow,
                                                bool EntryFlag1, bool EntryFlag2, HBRUSH Brush, std::string& Text,
                                                TColor& Color, TFont* Font, TAlignment& Alignment, bool& Done) {
  TdxTreeListColumn* columnObject = FindColumn(Column);
  OnCustomDrawCell(this, Canvas, Rect, Node, columnObject, Selected, Focused, NewItemRow, Text, Color, Font, Alignment,
                   Done);
  if (!Done)
    OnCustomDrawCellEx(this, Canvas, Rect, Node, columnObject, Selected, Focused, NewItemRow, Text, Color, Font,
                       Alignment, Done);
  if (!Done && columnObject)
    columnObject->DoCustomDrawCell(Canvas, Rect, Node, Selected, Focused, NewItemRow, Text, Color, Font, Alignment,
                                   Done);
}

void TCustomdxTreeListControl::DoCustomDrawFooter(TCanvas* Canvas, const TRect& Rect, TdxTreeListNode* Node,
                                                  int32_t Column, int32_t FooterIndex, std::string& Text,
                                                  TColor& Color, TFont* Font, TAlignment& Alignment, bool& Done) {
  const TdxTreeListCustomDrawFooterEvent& event = FooterIndex == -1 ? OnCustomDrawFooter : OnCustomDrawFooterNode;
  event(this, Canvas, Rect, Node, FindColumn(Column), FooterIndex, Text, Color, Font, Alignment, Done);
}

void TCustomdxTreeListControl::DoCustomDrawHeader(int32_t Column, TCanvas* Canvas, const TRect& Rect,
                                                  const TRect& ClippedRect, std::string& Text, TColor& Color,
                                                  TFont* Font, TAlignment& Alignment, TdxTreeListColumnSort& Sorted,
                                                  bool& Done) {
  TdxTreeListColumn* columnObject = FindColumn(Column);
  OnCustomDrawColumnHeader(this, columnObject, Canvas, Rect, Text, Color, Font, Alignment, Sorted, Done);
  if (!Done && columnObject)
    columnObject->OnCustomDrawColumnHeader(columnObject, columnObject, Canvas, Rect, Text, Color, Font, Alignment,
                                           Sorted, Done);
}

void TCustomdxTreeListControl::DoCustomDrawPreview(TCanvas* Canvas, const TRect& Rect, TdxTreeListNode* Node,
                                                   bool Selected, std::string& Text, TColor& Color, TColor& TextColor,
                                                   TFont* Font, bool& Done) {
  OnCustomDrawPreview(this, Canvas, Rect, Node, Selected, Text, Color, TextColor, Font, Done);
  if (!Done)
    OnCustomDrawPreviewEx(this, Canvas, Rect, Node, Selected, Text, Color, TextColor, Font, Done);
}

void TCustomdxTreeListControl::DrawCellViewData(TCanvas* Canvas, const TRect& Rect, TdxTreeListCellViewData* ViewData,
                                                int32_t Column) {
  TdxTreeListColumn* columnObject = FindColumn(Column);
  if (!columnObject) {
    inherited::DrawCellViewData(Canvas, Rect, ViewData, Column);
    return;
  }
  TdxEditViewData* view = columnObject->GetCellViewData(ViewData->Node);
  columnObject->PrepareViewData(view, ViewData);
  DrawEditViewData(Canvas, Rect, ViewData, *columnObject->GetCellEditorClass(ViewData->Node), view);
}
