#include "treelist/DxTreeListOperations.h"

#include "treelist/DxTreeList.h"
#include "treelist/DxTreeListTextExport.h"

TCustomdxTreeList& TdxTreeListOperations::Control() const {
  return static_cast<TCustomdxTreeList&>(const_cast<TdxTreeListOperations&>(*this));
}

// ---- Rows

int TdxTreeListOperations::FindNodeOrderIndex(const TdxTreeListNode* node) const {
  return Control().GetRows().FindNodeOrderIndex(node);
}
int TdxTreeListOperations::GetFocusedRowIndex() const { return Control().GetNavigator().GetFocusedRowIndex(); }
int TdxTreeListOperations::GetTopIndex() const { return Control().GetNavigator().GetTopIndex(); }
void TdxTreeListOperations::GetNodeRowRect(TdxTreeListNode* node, TRect& rect) {
  Control().GetNavigator().GetNodeRowRect(node, rect);
}
void TdxTreeListOperations::GetNodeRowRectToBottom(TdxTreeListNode* node, TRect& rect) {
  Control().GetNavigator().GetNodeRowRectToBottom(node, rect);
}
int TdxTreeListOperations::GetVisibleRowCount() const { return Control().GetNavigator().GetVisibleRowCount(); }
bool TdxTreeListOperations::GetRowsBuilt() const { return Control().GetRows().GetRowsBuilt(); }
const std::vector<TdxTreeListNode*>& TdxTreeListOperations::GetRowNodes() const {
  return Control().GetRows().GetRowNodes();
}
const std::vector<TdxTreeListNode*>& TdxTreeListOperations::GetNodeOrder() const {
  return Control().GetRows().GetNodeOrder();
}
const std::vector<int32_t>& TdxTreeListOperations::GetNodeOrderRows() const {
  return Control().GetRows().GetNodeOrderRows();
}
TdxTreeListNode* TdxTreeListOperations::GetPendingNode() const { return Control().GetRows().GetPendingNode(); }
void TdxTreeListOperations::UpdateRowsForNode(TdxTreeListNode* node, bool deleted) {
  Control().GetRows().UpdateRowsForNode(node, deleted);
}

// ---- Layout and hit testing

TRect TdxTreeListOperations::GetCellRect(TdxTreeListNode* node, int visibleColumn) {
  return Control().GetLayoutBuilder().GetCellRect(node, visibleColumn);
}
TRect TdxTreeListOperations::GetRowsRect() { return Control().GetLayoutBuilder().GetRowsRect(); }
TdxTreeListNode* TdxTreeListOperations::GetNodeAt(int x, int y) { return Control().GetHitTester().GetNodeAt(x, y); }

// ---- Widths and heights

int TdxTreeListOperations::GetBandMinWidth(int band) { return Control().GetWidths().GetBandMinWidth(band); }
int TdxTreeListOperations::GetBandRequestedWidth(int band) {
  return Control().GetWidths().GetBandRequestedWidth(band);
}
int TdxTreeListOperations::GetBandsTotalWidth() { return Control().GetWidths().GetBandsTotalWidth(); }
int TdxTreeListOperations::GetBandDisplayWidth(int band) { return Control().GetWidths().GetBandDisplayWidth(band); }
int TdxTreeListOperations::GetRowColumnsWidth(int band, int row) {
  return Control().GetWidths().GetRowColumnsWidth(band, row);
}
int TdxTreeListOperations::GetRowColumnsMinWidth(int band, int row) {
  return Control().GetWidths().GetRowColumnsMinWidth(band, row);
}
int TdxTreeListOperations::GetColumnLineCount(int band, int row, int position) {
  return Control().GetWidths().GetColumnLineCount(band, row, position);
}
TRect TdxTreeListOperations::GetGridAreaRect() { return Control().GetWidths().GetGridAreaRect(); }
TRect TdxTreeListOperations::GetScrolledAreaRect() { return Control().GetWidths().GetScrolledAreaRect(); }
int TdxTreeListOperations::GetVisibleScrollWidth() { return Control().GetWidths().GetVisibleScrollWidth(); }
int TdxTreeListOperations::GetTotalScrollWidth() { return Control().GetWidths().GetTotalScrollWidth(); }
int TdxTreeListOperations::GetBandScrollLeft(int band) { return Control().GetWidths().GetBandScrollLeft(band); }
int TdxTreeListOperations::GetShownColumnCount() { return Control().GetWidths().GetShownColumnCount(); }
void TdxTreeListOperations::GetNodeIndent(TdxTreeListNode* node, int& levelWidth, int& fullWidth) {
  Control().GetWidths().GetNodeIndent(node, levelWidth, fullWidth);
}
int TdxTreeListOperations::GetPreviewWidth(TdxTreeListNode* node) {
  return Control().GetWidths().GetPreviewWidth(node);
}
bool TdxTreeListOperations::IsBandLocked(int band) { return Control().GetWidths().IsBandLocked(band); }
bool TdxTreeListOperations::IsColumnLocked(int column) { return Control().GetWidths().IsColumnLocked(column); }
int TdxTreeListOperations::GetNodeRowHeight(TdxTreeListNode* node, int lineHeight, bool noCache) {
  return Control().GetWidths().GetNodeRowHeight(node, lineHeight, noCache);
}
bool TdxTreeListOperations::IsRowAutoHeight() { return Control().GetWidths().IsRowAutoHeight(); }
int TdxTreeListOperations::CalcNodeFooterCount(TdxTreeListNode* node) {
  return Control().GetWidths().CalcNodeFooterCount(node);
}
int TdxTreeListOperations::GetNodeFooterLevel(TdxTreeListNode* node, int index) {
  return Control().GetWidths().GetNodeFooterLevel(node, index);
}
int TdxTreeListOperations::CountNodeFootersBelow(TdxTreeListNode* node, int level) {
  return Control().GetWidths().CountNodeFootersBelow(node, level);
}
void TdxTreeListOperations::GetRowSizingLimits(TdxTreeListNode* node, int defaultValue, int& minValue,
                                               int& maxValue) {
  Control().GetWidths().GetRowSizingLimits(node, defaultValue, minValue, maxValue);
}

// ---- Node references

TdxTreeListNode* TdxTreeListOperations::GetAnchorNode() const { return Control().GetSelection().GetAnchorNode(); }
TdxTreeListNode* TdxTreeListOperations::GetPrevFocusedNode() const { return Control().GetMouse().GetPrevFocusedNode(); }
TdxTreeListNode* TdxTreeListOperations::GetDragNode() const { return Control().GetDrag().GetDragNode(); }
const TdxTreeListHotInfo& TdxTreeListOperations::GetHotInfo() const { return Control().GetMouse().GetHotInfo(); }
const TdxTreeListHitInfo& TdxTreeListOperations::GetDownHitInfo() const {
  return Control().GetMouse().GetDownHitInfo();
}

// ---- Focus and scrolling

bool TdxTreeListOperations::HasFocus() { return Control().GetPainter().IsControlFocused(); }
void TdxTreeListOperations::MakeBandVisible(int band) { Control().GetNavigator().MakeBandVisible(band); }
void TdxTreeListOperations::MakeColumnVisible(int column) { Control().GetNavigator().MakeColumnVisible(column); }
void TdxTreeListOperations::ScrollColumns(int delta) { Control().GetNavigator().ScrollColumns(delta); }
void TdxTreeListOperations::ScrollRows(int delta) { Control().GetNavigator().ScrollRows(delta); }
void TdxTreeListOperations::UpdateNow() { Control().GetNavigator().UpdateNow(); }

// ---- Editing

void TdxTreeListOperations::ShowEditor() { Control().GetEditController().ShowEditor(); }
void TdxTreeListOperations::ShowEditorWithKey(char key) { Control().GetEditController().ShowEditorWithKey(key); }
void TdxTreeListOperations::ShowEditorWithMouse(int x, int y) {
  Control().GetEditController().ShowEditorWithMouse(x, y);
}
void TdxTreeListOperations::ShowEditorSelectAll() { Control().GetEditController().ShowEditorSelectAll(); }
TdxTreeListNode* TdxTreeListOperations::GetEditedNode() const { return Control().GetEditController().GetEditedNode(); }
int TdxTreeListOperations::GetEditedColumn() const { return Control().GetEditController().GetEditedColumn(); }
void TdxTreeListOperations::ResetEditedCell() { Control().GetEditController().ResetEditedCell(); }
void TdxTreeListOperations::EndEditing() { Control().GetEditController().EndEditing(); }
void TdxTreeListOperations::EndEditingQuiet() { Control().GetEditController().EndEditingQuiet(); }
void TdxTreeListOperations::HideEditor(bool focus) { Control().GetEditController().HideEditor(focus); }

// ---- Incremental search state

bool TdxTreeListOperations::GetSearching() const { return Control().GetKeyboard().GetSearching(); }
int TdxTreeListOperations::GetSearchColumn() const { return Control().GetKeyboard().GetSearchColumn(); }
const std::string& TdxTreeListOperations::GetSearchText() const { return Control().GetKeyboard().GetSearchText(); }

// ---- Text export

void TdxTreeListOperations::CopyAllToStrings(TStrings* strings) {
  TdxTreeListTextExport(Control()).CopyAllToStrings(strings);
}
void TdxTreeListOperations::CopySelectedToStrings(TStrings* strings) {
  TdxTreeListTextExport(Control()).CopySelectedToStrings(strings);
}
void TdxTreeListOperations::CopyToClipboard() { TdxTreeListTextExport(Control()).CopyToClipboard(); }

// ---- Drags, timers and hints, painting

TImageList* TdxTreeListOperations::GetDragImageList() const { return Control().GetDrag().GetDragImageList(); }
bool TdxTreeListOperations::IsPointOverCustomizingWindow(const TPoint& p) {
  return Control().GetDrag().IsPointOverCustomizingWindow(p);
}
void TdxTreeListOperations::ShowHintLater(bool immediate) { Control().GetTimers().ShowHintLater(immediate); }
void TdxTreeListOperations::CancelHint() { Control().GetTimers().CancelHint(); }
TdxContainerHintWindow* TdxTreeListOperations::GetHintWindow() const { return Control().GetTimers().GetHintWindow(); }
void TdxTreeListOperations::HideFeedback() { Control().GetPainter().HideFeedback(); }
void TdxTreeListOperations::ShowFeedback() { Control().GetPainter().ShowFeedback(); }
void TdxTreeListOperations::GetRowColors(TdxTreeListNode* node, bool selected, bool focused, bool groupRow,
                                         bool hasChildren, int level, int32_t column, TColor& color,
                                         TColor& textColor, HBRUSH& brush) {
  Control().GetPainter().GetRowColors(node, selected, focused, groupRow, hasChildren, level, column, color, textColor,
                                      brush);
}
void TdxTreeListOperations::GetColumnColors(int32_t column, TColor& color, HBRUSH& brush) {
  Control().GetPainter().GetColumnColors(column, color, brush);
}

// ---- The control's virtual navigation and incremental search

TdxTreeListNode* TCustomdxTreeList::GetNodeByDirection(TdxTreeListNode* node, int direction, bool allNodes) {
  return FNavigator.GetNodeByDirection(node, direction, allNodes);
}
void TCustomdxTreeList::FocusNodeByDirection(int direction, bool allNodes) {
  FNavigator.FocusNodeByDirection(direction, allNodes);
}
bool TCustomdxTreeList::IsFirstNodeFocused() { return FNavigator.IsFirstNodeFocused(); }
bool TCustomdxTreeList::IsLastNodeFocused() { return FNavigator.IsLastNodeFocused(); }
bool TCustomdxTreeList::StartSearch(int column, const std::string& text) {
  return FKeyboard.StartSearch(column, text);
}
void TCustomdxTreeList::IncrementalSearch(const std::string& text, int direction, bool clearOnMiss) {
  FKeyboard.IncrementalSearch(text, direction, clearOnMiss);
}
bool TCustomdxTreeList::FindNode(int column, const std::string& text, TdxTreeListNode*& node, int direction) {
  return FKeyboard.FindNode(column, text, node, direction);
}
