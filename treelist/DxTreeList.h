// TCustomdxTreeList: the owner-drawn tree-list grid, a container of in-place editors.
//
// It owns the top-level nodes (their subtrees with them), its fonts, colours, metrics
// and two option sets, and the three row lists that map rows to nodes. Everything it
// shows comes through its virtual operations: bands, columns and cell values are
// answered by a descendant (the base answers "no bands, no columns"), and every option
// bit is read through its own query so that a descendant can decide per band or column.
// The virtual operations are declared below in one run, in their declaration order; a
// descendant overrides what it supplies.
//
// Rows are the shown nodes in pre-order (every top-level node and every child whose
// ancestors are all expanded); row 0 is the first top-level node (TdxTreeListRows).
//
// BeginUpdate / EndUpdate bracket changes: inside them the row lists are empty (tree
// mode) and nothing is recomputed; the outermost EndUpdate rebuilds once.
//
// A descendant whose node hooks (deletion, selection) must see the nodes go clears them
// (ClearNodes) in its own destructor: this class's destructor can no longer reach the
// descendant's overrides.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "classlib/Bitmap.h"
#include "classlib/ImageList.h"
#include "classlib/StdCtrls.h"
#include "classlib/UpdateScope.h"
#include "classlib/Variants.h"
#include "editors/DxContainer.h"
#include "treelist/DxTreeListAppearance.h"
#include "treelist/DxTreeListCellViewData.h"
#include "treelist/DxTreeListDrag.h"
#include "treelist/DxTreeListEditController.h"
#include "treelist/DxTreeListHitTester.h"
#include "treelist/DxTreeListKeyboard.h"
#include "treelist/DxTreeListLayout.h"
#include "treelist/DxTreeListLayoutBuilder.h"
#include "treelist/DxTreeListMouse.h"
#include "treelist/DxTreeListNavigator.h"
#include "treelist/DxTreeListNode.h"
#include "treelist/DxTreeListOperations.h"
#include "treelist/DxTreeListPainter.h"
#include "treelist/DxTreeListRows.h"
#include "treelist/DxTreeListSelection.h"
#include "treelist/DxTreeListTimers.h"
#include "treelist/DxTreeListTypes.h"
#include "treelist/DxTreeListWidths.h"

class TCustomdxTreeList : public TCustomdxContainer, public TdxTreeListOperations {
  KIVO_CLASS(TCustomdxTreeList, TCustomdxContainer)
 public:
  explicit TCustomdxTreeList(TComponent* AOwner);
  ~TCustomdxTreeList() override;

  // ==== Parts: each concern's state and operations (see the part's header); the views
  // hold only the control and are made for each use.
  TdxTreeListAppearance& GetAppearance() { return FAppearance; }
  TdxTreeListRows& GetRows() { return FRows; }
  TdxTreeListNavigator& GetNavigator() { return FNavigator; }
  TdxTreeListSelection& GetSelection() { return FSelection; }
  TdxTreeListLayoutBuilder& GetLayoutBuilder() { return FLayoutBuilder; }
  TdxTreeListPainter& GetPainter() { return FPainter; }
  TdxTreeListEditController& GetEditController() { return FEditController; }
  TdxTreeListKeyboard& GetKeyboard() { return FKeyboard; }
  TdxTreeListDrag& GetDrag() { return FDrag; }
  TdxTreeListMouse& GetMouse() { return FMouse; }
  TdxTreeListTimers& GetTimers() { return FTimers; }
  TdxTreeListWidths GetWidths() { return TdxTreeListWidths(*this); }
  TdxTreeListHitTester GetHitTester() { return TdxTreeListHitTester(*this); }

  // ==== Nodes
  // The number of top-level nodes and the top-level node at `index` (none out of range).
  int GetCount() const { return FRootNodes->GetCount(); }
  TdxTreeListNode* GetItem(int index) const;
  // A new node of the class CreateNode makes, appended to the top-level nodes (or
  // inserted before the top-level node `before`; none appends) and announced through
  // NodeAdded. Insert raises EInvaliddxTreeListOperation when `before` is not a
  // top-level node of this control.
  TdxTreeListNode* Add();
  TdxTreeListNode* Insert(TdxTreeListNode* before);
  // Frees every node without per-node bookkeeping (each still fires the deletion event)
  // and forgets every node reference.
  void ClearNodes();
  // Nodes kept outside the tree (freed with the others by ClearNodes).
  TList* GetExtraNodes() const { return FExtraNodes.get(); }
  // True while ClearNodes runs.
  bool GetClearing() const { return FClearing; }

  // ==== Update bracket
  void BeginUpdate();
  // The outermost end rebuilds the rows and the layout; the selection bracket the
  // update holds ends in a step of its own, also when the rebuild raises (then without
  // reporting a change).
  void EndUpdate();
  // Ends an update left by an exception: the locks come down and the outermost end
  // rebuilds as EndUpdate does, but no event fires (no selection change, no top-node
  // change) and no change of the selection is reported later.
  void EndUpdateQuiet();
  int GetLockCount() const { return FLockCount; }
  bool IsLocked() const { return FLockCount > 0; }
  bool IsDestroying() const { return GetComponentState().Contains(csDestroying); }
  bool IsLoading() const { return GetComponentState().Contains(csLoading); }

  // ==== Options and state
  TdxTreeListOptions GetOptions() const { return FOptions; }
  void SetOptions(TdxTreeListOptions value);
  TdxTreeListOptionsEx GetOptionsEx() const { return FOptionsEx; }
  void SetOptionsEx(TdxTreeListOptionsEx value);
  TdxTreeListState GetState() const { return FState; }
  void SetState(TdxTreeListState value);

  // ==== Row index operations
  TdxTreeListNode* GetFirstNode() const { return GetItem(0); }
  int GetRowCount() const { return FRows.GetRowCount(); }
  int GetNodeRowIndex(const TdxTreeListNode* node) const { return FRows.GetNodeRowIndex(node); }
  TdxTreeListNode* GetNodeAtRow(int index) const { return FRows.GetNodeAtRow(index); }
  // True while lookups read the row lists.
  bool InListMode() const { return FRows.InListMode(); }
  void SetTopIndex(int index) { FNavigator.SetTopIndex(index); }

  // ==== Metrics and layout
  const TdxTreeListMetrics& GetMetrics() const { return FLayoutBuilder.GetMetrics(); }
  void CalcLayout(TdxTreeListLayout& layout) { FLayoutBuilder.CalcLayout(layout); }
  TRect GetEditorRect(TdxTreeListNode* node, int visibleColumn) {
    return FLayoutBuilder.GetEditorRect(node, visibleColumn);
  }
  int GetColumnByVisibleIndex(int visibleIndex) { return FLayoutBuilder.GetColumnByVisibleIndex(visibleIndex); }
  int GetVisibleIndexOfColumn(int column) { return FLayoutBuilder.GetVisibleIndexOfColumn(column); }
  void MakeNodeVisible(TdxTreeListNode* node) { FNavigator.MakeNodeVisible(node); }

  // ==== Node references
  TdxTreeListNode* GetTopNode() const { return FNavigator.GetTopNode(); }
  TdxTreeListNode* GetFocusedNode() const { return FNavigator.GetFocusedNode(); }
  int GetFocusedColumn() { return FNavigator.GetFocusedColumn(); }
  void SetFocusedColumn(int value) { SetFocusedNode(GetFocusedNode(), value, false); }

  // ==== Header and node drags
  // During a node drag the drag image list of the dragged row (TdxTreeListDrag).
  TCustomImageList* GetDragImages() override;

  // Forgets every node reference (all nodes are gone).
  void ResetNodeReferences();

  void Dispatch(TMessage& message) override;

  // ==== Sorting
  // Sorts one sibling list (the top-level nodes or a node's children) in place by the
  // key `column` and `descending`, or with multi-sort by every sorted column in turn: by
  // OnCompare when assigned, else by the natural text comparison, or with the typed
  // sort by the values' ordering with CompareNodes breaking ties. Nothing happens to
  // an absent list or one of fewer than two nodes.
  void SortNodes(TList* list, int32_t column, bool descending);

  // ==== Editing
  bool IsEditing() override { return FState == stEditing; }
  // The editors' style follows the tree list's look (TdxTreeListEditStyle).
  TdxEditStyle* CreateEditStyle(TdxInplaceEdit* edit) override;

  // ==== The container's answers to its in-place editors
  // An editor may modify its value and takes every character.
  bool CanEditModify() override { return true; }
  bool IsValidEditChar(char key) override { return true; }
  // Options aoColumnEditing, then OnCanEditColumn for a column that is not negative.
  bool CanEditColumn(int32_t column) override;
  // Options aoEditOnKey while Ctrl is not held.
  bool EditOnKey() override { return FEditController.EditOnKey(); }
  // The editor gives up its cell (value true: to the left, false: to the right): the
  // edit is stored and the editor hidden first, then the focused column moves.
  void EditorNotify(bool value) override { FEditController.EditorNotify(value); }
  // The editor lost the focus: the selection is repainted.
  void EditorFocusChanged() override { RefreshSelection(); }
  // The container's colour, the focused column's while one is focused, then
  // OnGetEditColor.
  TColor GetEditColor() override;
  // The focused column's font when it has its own, else the container's.
  TFont* GetEditFont() override;

  // ==== Settings
  TFont* GetBandFont() const { return FAppearance.GetBandFont(); }
  void SetBandFont(TFont* value) { FAppearance.SetBandFont(value); }
  TFont* GetHeaderFont() const { return FAppearance.GetHeaderFont(); }
  void SetHeaderFont(TFont* value) { FAppearance.SetHeaderFont(value); }
  TFont* GetPreviewFont() const { return FAppearance.GetPreviewFont(); }
  void SetPreviewFont(TFont* value) { FAppearance.SetPreviewFont(value); }
  TCustomImageList* GetImages() const { return FAppearance.GetImages(); }
  void SetImages(TCustomImageList* value) { FAppearance.SetImages(value); }
  TCustomImageList* GetStateImages() const { return FAppearance.GetStateImages(); }
  void SetStateImages(TCustomImageList* value) { FAppearance.SetStateImages(value); }
  TBorderStyle GetBorderStyle() const { return FAppearance.GetBorderStyle(); }
  void SetBorderStyle(TBorderStyle value) { FAppearance.SetBorderStyle(value); }
  TdxLookAndFeel GetLookAndFeel() const { return FAppearance.GetLookAndFeel(); }
  void SetLookAndFeel(TdxLookAndFeel value) { FAppearance.SetLookAndFeel(value); }
  // 0 none, 1 horizontal, 2 vertical, 3 both grid lines.
  uint8_t GetGridLines() const { return FAppearance.GetGridLines(); }
  void SetGridLines(uint8_t value) { FAppearance.SetGridLines(value); }
  bool GetShowButtons() const { return FAppearance.GetShowButtons(); }
  void SetShowButtons(bool value) { FAppearance.SetShowButtons(value); }
  bool GetShowHeader() const { return FAppearance.GetShowHeader(); }
  void SetShowHeader(bool value) { FAppearance.SetShowHeader(value); }
  bool GetShowLines() const { return FAppearance.GetShowLines(); }
  void SetShowLines(bool value) { FAppearance.SetShowLines(value); }
  bool GetShowRoot() const { return FAppearance.GetShowRoot(); }
  void SetShowRoot(bool value) { FAppearance.SetShowRoot(value); }
  bool GetShowPreviewGrid() const { return FAppearance.GetShowPreviewGrid(); }
  void SetShowPreviewGrid(bool value) { FAppearance.SetShowPreviewGrid(value); }
  bool GetShowBands() const { return FAppearance.GetShowBands(); }
  void SetShowBands(bool value) { FAppearance.SetShowBands(value); }
  bool GetShowFooter() const { return FAppearance.GetShowFooter(); }
  void SetShowFooter(bool value) { FAppearance.SetShowFooter(value); }
  bool GetShowGrid() const { return FAppearance.GetShowGrid(); }
  void SetShowGrid(bool value) { FAppearance.SetShowGrid(value); }
  bool GetShowIndicator() const { return FAppearance.GetShowIndicator(); }
  void SetShowIndicator(bool value) { FAppearance.SetShowIndicator(value); }
  // The grid look: indent areas in the group colours, no tree lines (off: the tree look).
  bool GetGridLook() const { return FAppearance.GetGridLook(); }
  void SetGridLook(bool value) { FAppearance.SetGridLook(value); }
  bool GetExpandOnDblClick() const { return FMouse.GetExpandOnDblClick(); }
  void SetExpandOnDblClick(bool value) { FMouse.SetExpandOnDblClick(value); }
  // The height of one row line (the metrics' value: the user's DefaultRowHeight when it
  // is set and not below the minimum).
  int GetRowHeight() const { return GetMetrics().RowHeight; }
  int GetDefaultRowHeight() const { return FAppearance.GetDefaultRowHeight(); }
  bool GetDefaultRowHeightSet() const { return FAppearance.GetDefaultRowHeightSet(); }
  void SetDefaultRowHeight(int value) { FAppearance.SetDefaultRowHeight(value); }
  int GetFixedBandLineWidth() const { return FAppearance.GetFixedBandLineWidth(); }
  void SetFixedBandLineWidth(int value) { FAppearance.SetFixedBandLineWidth(value); }
  int GetDragExpandDelay() const { return FDrag.GetDragExpandDelay(); }
  void SetDragExpandDelay(int value) { FDrag.SetDragExpandDelay(value); }
  bool GetSearchAllNodes() const { return FKeyboard.GetSearchAllNodes(); }
  void SetSearchAllNodes(bool value) { FKeyboard.SetSearchAllNodes(value); }
  int GetLeftCoord() const { return FNavigator.GetLeftCoord(); }
  void SetLeftCoord(int value) { FNavigator.SetLeftCoord(value); }
  int GetIndentWidth() const { return GetMetrics().IndentWidth; }
  int GetRowLineCount() const { return FAppearance.GetRowLineCount(); }
  int GetGridLineWidthSetting() const { return FAppearance.GetGridLineWidthSetting(); }
  void SetGridLineWidthSetting(int value) { FAppearance.SetGridLineWidthSetting(value); }
  // The fixed number of preview lines of a node.
  int GetPreviewLines() const { return FAppearance.GetPreviewLines(); }
  void SetPreviewLines(int value) { FAppearance.SetPreviewLines(value); }

  // Colours (system colours by their names).
  TColor GetBandColor() const { return FAppearance.GetBandColor(); }
  void SetBandColor(TColor value) { FAppearance.SetBandColor(value); }
  TColor GetHeaderColor() const { return FAppearance.GetHeaderColor(); }
  void SetHeaderColor(TColor value) { FAppearance.SetHeaderColor(value); }
  TColor GetHighlightColor() const { return FAppearance.GetHighlightColor(); }
  void SetHighlightColor(TColor value) { FAppearance.SetHighlightColor(value); }
  TColor GetHighlightTextColor() const { return FAppearance.GetHighlightTextColor(); }
  void SetHighlightTextColor(TColor value) { FAppearance.SetHighlightTextColor(value); }
  TColor GetHideSelectionColor() const { return FAppearance.GetHideSelectionColor(); }
  void SetHideSelectionColor(TColor value) { FAppearance.SetHideSelectionColor(value); }
  TColor GetHideSelectionTextColor() const { return FAppearance.GetHideSelectionTextColor(); }
  void SetHideSelectionTextColor(TColor value) { FAppearance.SetHideSelectionTextColor(value); }
  TColor GetGroupNodeColor() const { return FAppearance.GetGroupNodeColor(); }
  void SetGroupNodeColor(TColor value) { FAppearance.SetGroupNodeColor(value); }
  TColor GetGroupNodeTextColor() const { return FAppearance.GetGroupNodeTextColor(); }
  void SetGroupNodeTextColor(TColor value) { FAppearance.SetGroupNodeTextColor(value); }
  // clNone paints grid lines in DefaultGridLineColor.
  TColor GetGridLineColor() const { return FAppearance.GetGridLineColor(); }
  void SetGridLineColor(TColor value) { FAppearance.SetGridLineColor(value); }
  TColor GetDefaultGridLineColor() const { return FAppearance.GetDefaultGridLineColor(); }
  void SetDefaultGridLineColor(TColor value) { FAppearance.SetDefaultGridLineColor(value); }
  TColor GetTreeLineColor() const { return FAppearance.GetTreeLineColor(); }
  void SetTreeLineColor(TColor value) { FAppearance.SetTreeLineColor(value); }
  TColor GetFixedBandLineColor() const { return FAppearance.GetFixedBandLineColor(); }
  void SetFixedBandLineColor(TColor value) { FAppearance.SetFixedBandLineColor(value); }
  TColor GetFooterColor() const { return FAppearance.GetFooterColor(); }
  void SetFooterColor(TColor value) { FAppearance.SetFooterColor(value); }
  TColor GetFooterTextColor() const { return FAppearance.GetFooterTextColor(); }
  void SetFooterTextColor(TColor value) { FAppearance.SetFooterTextColor(value); }
  bool GetHideSelectionUnfocused() const { return FAppearance.GetHideSelectionUnfocused(); }
  void SetHideSelectionUnfocused(bool value) { FAppearance.SetHideSelectionUnfocused(value); }
  bool GetHideFocusRectUnfocused() const { return FAppearance.GetHideFocusRectUnfocused(); }
  void SetHideFocusRectUnfocused(bool value) { FAppearance.SetHideFocusRectUnfocused(value); }

  // The matched part of the incremental search's cell; clNone paints it in the RGB
  // complement of the cell's background and text colour.
  TColor GetSearchMatchColor() const { return FAppearance.GetSearchMatchColor(); }
  void SetSearchMatchColor(TColor value) { FAppearance.SetSearchMatchColor(value); }
  TColor GetSearchMatchTextColor() const { return FAppearance.GetSearchMatchTextColor(); }
  void SetSearchMatchTextColor(TColor value) { FAppearance.SetSearchMatchTextColor(value); }

  // The container's scroll information of a window bar stays reachable beside the
  // tree list's own GetScrollInfo.
  using TCustomdxContainer::GetScrollInfo;

  // ==== Virtual operations, in declaration order
  // Abandons the running interaction (sizing, pressing, header dragging).
  virtual void CancelMode();
  // Builds the drag image of a node's row.
  virtual void CreateNodeDragImage(TdxTreeListNode* node, int32_t column);
  // Asked before a scroll-bar message is handled.
  virtual bool CanScroll() { return true; }
  // A new node was linked: top and focused node, rows, repaint.
  virtual void NodeAdded(TdxTreeListNode* node);
  virtual void BeginUpdateNotify() {}
  virtual bool CanDblClick() { return true; }
  // The has-children flag a node takes when its last child goes.
  virtual bool GetDefaultHasChildren(TdxTreeListNode* node);
  virtual void ClearRows() {}
  // Empties the row lists (tree mode until the next rebuild) and the node row caches.
  virtual void LayoutChanged();
  // Sets every node's cached row height to 0.
  virtual void RefreshNodeCounts();
  virtual void DoCollapsed(TdxTreeListNode* node);
  virtual void DoNodeNotify(TdxTreeListNode* node);
  virtual void DoExpanded(TdxTreeListNode* node);
  virtual void DoCanCollapse(TdxTreeListNode* node, bool& allow);
  virtual void DoEditing(TdxTreeListNode* node, bool& allow);
  virtual void DoCanExpand(TdxTreeListNode* node, bool& allow);
  virtual void BandEdgeDblClick(int32_t band) {}
  virtual void ColumnEdgeDblClick(int32_t column) {}
  virtual void DoChangeNode(TdxTreeListNode* oldNode, TdxTreeListNode* newNode);
  virtual void DoNotify();
  virtual void DoChangeColumn(int32_t oldColumn, int32_t newColumn);
  virtual void DoEditChange();
  virtual void DoEditValidate(std::string& errorText, bool& accept);
  virtual void AutoLoadLayout() {}
  virtual void AutoSaveLayout() {}
  // A node was unlinked by its destruction: `prev` is its previous sibling (else its
  // parent), `next` the node that followed it as a row, `visible` whether it was shown
  // with its parent not being deleted.
  virtual void NodeDeleted(TdxTreeListNode* node, TdxTreeListNode* prev, TdxTreeListNode* next, bool isLast,
                           bool visible);
  // Removes the value at `index` from the node's cell values and from all its
  // descendants; nodes holding no value at `index` are skipped.
  virtual void DeleteNodeValue(TdxTreeListNode* node, int32_t index);
  virtual void NodesChanged() {}
  // The rows area, from the indicator column's left edge when there is one.
  virtual void GetLayoutPartRect(TRect& rect);
  virtual bool IsHotTrackCell(TdxTreeListNode* node, int32_t column, TdxTreeListHitTest hitTest);
  // The hot part of a column header at (x, y): 1 header, 2 header button, 3 pressed
  // button; false when the header accepts no hot part.
  virtual bool GetHeaderHotPart(int x, int y, uint8_t& part, int32_t column);
  // Unless locked: recomputes metrics and rows once, with the lock count raised.
  virtual void UpdateGuarded();
  virtual void ColumnsChanged() {}
  virtual void BandsChanged() {}
  // Rebuilds the row lists in full, or applies the pending node's addition or deletion.
  virtual void RebuildRows();
  // Makes `node` the focused node; false refuses (a collapse then keeps the node expanded).
  virtual bool MakeNodeFocused(TdxTreeListNode* node);
  // The immediate-editor query for a press on a cell.
  virtual bool EditOnMouseDown(int x, int y, int32_t column, bool sameNode);
  // Repaints the row of a shown node; with `recalc`, the scroll bars first and the rows
  // from the node down.
  virtual void RefreshNode(TdxTreeListNode* node, bool recalc);
  virtual bool NodeQuery(TdxTreeListNode* node) { return true; }
  // Abstract in the base (raise EAbstractError): a descendant supplies its nodes and
  // their values.
  virtual TdxTreeListNode* CreateNode();
  virtual int GetNodeImageIndex(TdxTreeListNode* node);
  virtual int GetNodeSelectedIndex(TdxTreeListNode* node);
  virtual int GetNodeStateIndex(TdxTreeListNode* node);
  virtual void GetNodeValue(TdxTreeListNode* node, int32_t column, Variant& value);
  virtual void GetNodeString(TdxTreeListNode* node, int32_t column, std::string& text);
  virtual void GetNodeVariant(TdxTreeListNode* node, int32_t column, Variant& value);
  // Moves the focus to a node and column with the change events.
  virtual void SetFocusedNode(TdxTreeListNode* node, int32_t column, bool makeVisible);
  virtual void SetFocusedNodeByIndex(int index);
  virtual void SetNodeImageIndex(TdxTreeListNode* node, int value);
  virtual void SetNodeSelectedIndex(TdxTreeListNode* node, int value);
  virtual void SetNodeStateIndex(TdxTreeListNode* node, int value);
  virtual void SetNodeString(TdxTreeListNode* node, int32_t column, const std::string& text);
  virtual void SetNodeValue(TdxTreeListNode* node, int32_t column, const Variant& value);
  virtual void SetTopNode(TdxTreeListNode* node);
  virtual int32_t GetBandValue(int32_t band) { return 0; }
  virtual TAlignment GetBandAlignment(int32_t band) { return taLeftJustify; }
  virtual int32_t GetBandCount() { return 0; }
  virtual int32_t GetBandIndex(int32_t visibleIndex) { return visibleIndex; }
  virtual void GetBandCaption(int32_t band, std::string& text) { text.clear(); }
  virtual int32_t GetBandWidth(int32_t band) { return 0; }
  virtual TAlignment GetVisibleBandAlignment(int32_t band) { return taLeftJustify; }
  virtual int32_t GetVisibleBandCount() { return 0; }
  virtual int32_t GetLeftFixedBand() { return -1; }
  virtual int32_t GetRightFixedBand() { return -1; }
  virtual int32_t GetVisibleBandMinWidth(int32_t band) { return 0; }
  virtual int32_t GetVisibleBandWidth(int32_t band) { return 0; }
  virtual void GetVisibleBandCaption(int32_t band, std::string& text) { text.clear(); }
  // The node indent width added to the first band's width.
  virtual int32_t GetFirstBandExtraWidth() { return 0; }
  virtual int32_t GetVisibleBandIndex(int32_t band) { return band; }
  virtual bool GetBandOnlyOwnColumns(int32_t band) { return false; }
  virtual int32_t GetColumnCount() { return 0; }
  virtual int32_t GetColumnAt(int32_t band, int32_t row, int32_t position) { return -1; }
  virtual TAlignment GetColumnHeaderAlignment(int32_t column) { return taLeftJustify; }
  virtual int32_t GetColumnBandIndex(int32_t column) { return 0; }
  // The width the column is shown with in its band row.
  virtual int32_t GetColumnDisplayWidth(int32_t column);
  virtual int32_t GetColumnCountInRow(int32_t band, int32_t row) { return 0; }
  virtual int32_t GetColumnColIndex(int32_t column) { return 0; }
  // 0 without header buttons; else 1, 3 when the header button is hot, 7 when pressed.
  virtual uint8_t GetColumnHeaderState(int32_t column);
  virtual TBitmap* GetColumnHeaderGlyph(int32_t column) { return nullptr; }
  virtual int32_t GetColumnHeaderMaxLineCount(int32_t column) { return 1; }
  virtual int32_t GetColumnMinWidth(int32_t column) { return 0; }
  // The header rows that hold columns of a band (see also GetBandRowCount() below: the
  // rows of the band panel).
  virtual int32_t GetBandRowCount(int32_t band) { return 0; }
  virtual int32_t GetColumnRowIndex(int32_t column) { return 0; }
  virtual TdxTreeListColumnSort GetColumnSorted(int32_t column) { return csNone; }
  virtual bool GetColumnTabStop(int32_t column) { return true; }
  virtual void GetColumnHeaderText(int32_t column, std::string& text) { text.clear(); }
  virtual void GetColumnCaption(int32_t column, std::string& text) { GetColumnHeaderText(column, text); }
  virtual int32_t GetColumnWidth(int32_t column) { return 0; }
  virtual TColor GetColumnColor(int32_t column) { return GetColor(); }
  virtual TFont* GetColumnFont(int32_t column) { return GetFont(); }
  virtual bool IsColumnOwnFont(int32_t column) { return false; }
  virtual bool HasColumnHeaderGlyph(int32_t column) { return false; }
  virtual TAlignment GetColumnAlignment(TdxTreeListNode* node, int32_t column) { return taLeftJustify; }
  virtual void GetCellText(TdxTreeListNode* node, int32_t column, std::string& text) { text.clear(); }
  // The text of a new-item row cell, which has no node.
  virtual void GetDisplayText(int32_t column, std::string& text) { text.clear(); }
  virtual int32_t GetColumnMaxRowLineCount(int32_t column) { return 0; }
  virtual bool IsColumnVisible(int32_t column) { return true; }
  virtual int32_t GetIndicatorWidth() { return 12; }
  // 0 unless the column has its own font: then the text width in it plus 3.
  virtual int32_t GetCellTextWidth(TCanvas* canvas, TdxTreeListNode* node, int32_t column);
  virtual void GetPreviewText(TdxTreeListNode* node, std::string& text) { text.clear(); }
  virtual TTextLayout GetColumnVertAlignment(int32_t column) { return tlTop; }
  // The lines a node needs for its longest cell; `height` may come back raised to the
  // height a cell needs.
  virtual int32_t CalcRowLineCount(TdxTreeListNode* node, int32_t& height);
  // Non-zero shows the second footer's close button.
  virtual int32_t GetFooterCount() { return 0; }
  virtual void GetFooterText(std::string& text) { text.clear(); }
  virtual void GetNodeFooterText(TdxTreeListNode* node, int32_t column, std::string& text) { text.clear(); }
  // Measures a cell's text at `width` (`maxLines` -1: no limit); false when not measured.
  virtual bool MeasureCellText(TdxTreeListNode* node, int32_t column, int32_t& lineCount, int32_t& textHeight,
                               int32_t width, int32_t maxLines);
  // The largest GetCellTextWidth of the node over the columns of visible bands.
  virtual int32_t GetNodeMaxTextWidth(TdxTreeListNode* node);
  virtual int32_t GetPreviewLineCount(TdxTreeListNode* node);
  virtual int32_t GetGridLineWidth();
  virtual void UpdateColumnRows() {}
  // True: the node is shown as one line across the row.
  virtual bool NodeRowQuery(TdxTreeListNode* node) { return false; }
  virtual TAlignment GetFooterCellAlignment(TdxTreeListNode* node, int32_t column, int32_t footerIndex);
  virtual void GetFooterCellText(TdxTreeListNode* node, int32_t column, int32_t footerIndex, std::string& text);
  // The column shows a value in the footer panel and in the node footer lines.
  virtual bool IsFooterValueShown(int32_t column) { return false; }
  virtual bool DoCanFocusColumn(int32_t column) { return false; }
  virtual int32_t GetNodeFooterCount(TdxTreeListNode* node) { return 0; }
  virtual bool HasLevelFooter(int32_t level) { return false; }
  // One query per option bit.
  virtual bool IsTypedSort() { return FOptionsEx.Contains(aoTypedSort); }
  virtual bool IsAutoPreviewLines() { return FOptionsEx.Contains(aoAutoCalcPreviewLines); }
  virtual bool IsGroupPanel() { return false; }
  virtual bool HasHeaderButtons() { return false; }
  virtual bool IsOptionsEx25() { return FOptionsEx.Contains(aoAutoHeaderRows); }
  virtual bool IsOptionsEx29() { return FOptionsEx.Contains(aoIncrementalSearch); }
  virtual bool IsOptions14() { return FOptions.Contains(aoOptions14); }
  virtual bool IsOptionsEx23() { return FOptionsEx.Contains(aoAutoSortRefresh); }
  virtual bool IsAutoWidth() { return FOptions.Contains(aoAutoWidth); }
  virtual bool IsColumnAutoWidth() { return FOptionsEx.Contains(aoBandHeaderWidth); }
  virtual bool IsOptions15() { return FOptions.Contains(aoOptions15); }
  virtual bool IsOptionsEx8() { return FOptionsEx.Contains(aoColumnsSizeBand); }
  virtual bool IsOptionsEx14() { return FOptionsEx.Contains(aoDragExpandToggle); }
  virtual bool IsOptions9() { return FOptions.Contains(aoOptions9); }
  virtual bool IsOptionsEx13() { return FOptionsEx.Contains(aoDragExpand); }
  virtual bool IsOptionsEx12() { return FOptionsEx.Contains(aoDragScroll); }
  virtual bool IsOptions2() { return FOptions.Contains(aoEditing); }
  virtual bool IsOptionsEx10() { return FOptionsEx.Contains(aoTypingStartsEditor); }
  // Enter moves to the next cell: the option, and only without row selection.
  virtual bool IsOptionsEx9Query() { return FOptionsEx.Contains(aoEnterNavigation) && !IsRowSelect(); }
  virtual bool CanHideByDrag() { return FOptions.Contains(aoHideByDrag); }
  virtual bool IsOptions11() { return FOptions.Contains(aoImmediateEditor); }
  virtual bool IsStatusPanelShown() { return false; }
  virtual bool IsOptionsEx6() { return FOptionsEx.Contains(aoWrapRowNavigation); }
  virtual bool IsShowHorzLines() { return GetGridLines() == 1 || GetGridLines() == 3; }
  virtual bool CanDragSelectRows();
  virtual bool IsMultiSelect() { return FOptions.Contains(aoMultiSelect); }
  virtual bool IsMultiSort() { return FOptionsEx.Contains(aoMultiSort); }
  virtual bool IsNewItemRowActive() { return FNavigator.GetNewItemRowActive(); }
  virtual bool IsNewItemRowShown();
  virtual bool IsOptionsEx15Set() { return FOptionsEx.Contains(aoRowAutoHeight); }
  virtual bool IsRowSelect() { return FOptions.Contains(aoRowSelect); }
  virtual bool IsSortHourGlass() { return FOptionsEx.Contains(aoSortHourGlass); }
  // The node-footer switch.
  virtual bool GetDisplayFlag() { return FLayoutBuilder.GetNodeFootersShown(); }
  virtual bool IsPreviewVisible() { return FOptions.Contains(aoPreview) && GetPreviewLines() != 0; }
  virtual bool UseRowHeightCache() { return true; }
  virtual bool IsOptions4() { return FOptions.Contains(aoTabThrough); }
  virtual bool IsOptionsEx7() { return FOptionsEx.Contains(aoBandRowNavigation); }
  virtual bool SkipScrollCornerPaint() { return false; }
  virtual bool IsShowVertLines() { return GetGridLines() == 2 || GetGridLines() == 3; }
  virtual bool IsOptionsEx1() { return FOptionsEx.Contains(aoUseBitmap); }
  virtual bool IsBandIndicatorButton() { return FOptionsEx.Contains(aoBandIndicatorButton); }
  virtual bool IsBandSizingUnbounded() { return FOptionsEx.Contains(aoSizingUnbounded); }
  virtual bool CanSizeBandPanel() { return FOptionsEx.Contains(aoBandPanelSizing); }
  virtual bool CanSizeBand(int32_t band) { return true; }
  // Bands are sized to the client: with auto width, unless a sizing holds it off.
  virtual bool IsSizeToClient() { return IsAutoWidth() && !FMouse.GetSizing().IsSizeToClientLocked(); }
  virtual bool IsHeaderIndicatorButton() { return FOptionsEx.Contains(aoHeaderIndicatorButton); }
  virtual bool IsColumnSizingUnbounded() { return FOptionsEx.Contains(aoSizingUnbounded); }
  virtual bool CanSizeHeaderPanel() { return FOptionsEx.Contains(aoHeaderPanelSizing); }
  virtual bool CanSizeColumn(int32_t column) { return true; }
  virtual bool CanColumnSizing(int32_t column) { return FOptions.Contains(aoColumnSizing) && CanSizeColumn(column); }
  virtual bool CanSizeRows() { return FOptionsEx.Contains(aoRowSizing); }
  // The customizing actions: the base has no bands or columns to act on.
  virtual void SetBandRowCount(int32_t value) {}
  virtual void SetBandWidth(int32_t band, int32_t width) {}
  virtual void SetHeaderRowCount(int32_t value) {}
  virtual void SetColumnWidth(int32_t column, int32_t width) {}
  virtual void ScaleBandWidths(int32_t newSum, int32_t oldSum) {}
  virtual void ColumnsWidthQuery(int32_t band, int32_t newSum, int32_t oldSum) {}
  virtual void SetRowLineCount(int32_t value) { FAppearance.SetRowLineCount(value); }
  virtual void BandIndicatorClick() {}
  virtual void BandClick(int32_t band) {}
  // After a band or column width changed by the mouse.
  virtual void DoWidthChanged() {}
  virtual void HeaderIndicatorClick() {}
  virtual void ColumnClick(int32_t column) {}
  virtual void ColumnButtonClick(int32_t column) {}
  virtual void FooterButtonClick() {}
  virtual int32_t GetBandMaxRowCount() { return 5; }
  // The rows of the band panel.
  virtual int32_t GetBandRowCount() { return 1; }
  virtual int32_t GetHeaderPanelMaxRowCount() { return 4; }
  virtual int32_t GetHeaderPanelRowCount() { return 1; }
  virtual int32_t GetHeaderMinRowCount() { return 1; }
  // The drop place of a dragged header at `p` (client coordinates).
  virtual void CalcDropPlace(const TPoint& p, TdxTreeListDropPlace& place, int32_t index, bool bandMode);
  virtual void GetDragCursor(const TPoint& screenPoint, TCursor& cursor);
  virtual bool IsCustomizing() { return FDrag.GetCustomizingForm() != nullptr; }
  virtual void DoGetHeaderHint(int32_t column, std::string& text) { text.clear(); }
  virtual bool IsCustomizingShown() { return FDrag.GetCustomizingForm() != nullptr; }
  virtual void MoveBand(int32_t oldIndex, int32_t newIndex) {}
  virtual bool CanBandMoving(int32_t band) { return FOptionsEx.Contains(aoBandMoving); }
  // A band drag over `p` (client coordinates) and its drop at `place` (a visible
  // position, -1 hide, -2 nothing); `band` is the band's absolute index, `old` the
  // visible position it was dragged from (-1: from the customizing window).
  virtual void DoDragOverBand(const TPoint& p, int32_t band, bool& accept) {}
  virtual void DoEndBandDrag(const TPoint& p, int32_t band, int32_t& place, bool& accept, int32_t old) {}
  virtual void EndBandDrag(bool accept);
  virtual bool GetBandDisableCustomizing(int32_t band) { return false; }
  virtual void HideBand(int32_t band) {}
  virtual bool IsBandHidden(int32_t band) { return false; }
  virtual void StartBandDrag(int32_t band);
  virtual void ShowBand(int32_t position, int32_t band) {}
  virtual bool CanColumnMoving(int32_t column) { return FOptions.Contains(aoColumnMoving); }
  virtual void DoDragOverColumn(const TPoint& p, int32_t column, bool& accept) {}
  virtual void DoEndColumnDrag(const TPoint& p, int32_t column, TdxTreeListDropPlace& place, bool& accept) {}
  virtual void EndColumnDrag(bool accept);
  virtual int32_t GetMinColumnDragWidth() { return 100; }
  virtual bool GetColumnDisableCustomizing(int32_t column) { return false; }
  virtual void MoveColumn(int32_t column, int32_t band, int32_t row, int32_t position) {}
  virtual void HideColumn(int32_t column) {}
  virtual bool IsColumnOutOfHeader(int32_t column) { return false; }
  virtual bool IsColumnInVisibleBand(int32_t column) { return true; }
  virtual void StartColumnDrag(int32_t column);
  virtual void ShowColumn(int32_t band, int32_t row, int32_t position, int32_t column) {}
  // Fires the begin-drag event.
  virtual void BeginNodeDrag(TdxTreeListNode* node);
  virtual bool IsLastNode(TdxTreeListNode* node);
  virtual bool IsFirstNode(TdxTreeListNode* node);
  virtual int32_t GetRowCountShown() { return FNavigator.GetShownRowCount(); }
  // The vertical scroll range: rows 0 .. row count - 1, a page of whole-visible rows,
  // the top row as position.
  virtual void GetScrollInfo(int& min, int& max, int& page, int& pos);
  // Recounts the shown and the whole-visible rows, each at least 1.
  virtual void CalcVisibleRowCount();
  virtual void UpdateScrollBars();
  virtual void GetEditValue(Variant& value) { value = Variant(std::string()); }
  virtual bool IsEditorFocused() { return FEditController.IsEditorFocused(); }
  // False discards a key.
  virtual bool CanProcessKey(WORD key, TShiftState shift) { return true; }
  // Hot tracking and the cursor on a mouse move.
  virtual void UpdateHotTrack(const TdxTreeListHitInfo& hitInfo);
  virtual TdxInplaceEdit* CreateInplaceEdit(int32_t column);
  virtual void CanEditNewItemRow(bool& allow) {}
  virtual void NewItemRowClick() {}
  // Fires the cursor event.
  virtual void GetHotCursor(const TdxTreeListHotInfo& hotInfo, TCursor& cursor);
  virtual TdxInplaceEdit* GetEditor() { return FEditController.GetOwnEditor(); }
  virtual void GetEditingText(std::string& text) { FEditController.GetEditingText(text); }
  // Dresses an editor: colour, font and margins (1, 0, 0, 0).
  virtual void InitEditor(TdxInplaceEdit* editor) { FEditController.InitEditor(editor); }
  virtual void GetEditStyleValue(Variant& value) { value = Variant(std::string()); }
  virtual bool IsHotCell(TdxTreeListNode* node, int32_t column);
  virtual void SetEditingText(const std::string& text) { FEditController.SetEditingText(text); }
  virtual bool CanSelectRange() { return true; }
  // The select event may refuse; without multi-level selection (IsOptions14) the node
  // must have the level of the first selected node.
  virtual bool CanSelectNodeEx(TdxTreeListNode* node);
  virtual void ClearSelection();
  // -1, 0 or 1: the row of `node` before, at or after the anchor's.
  virtual int CompareToAnchor(TdxTreeListNode* node);
  virtual int GetSelectedCountEx();
  virtual void DoSelectionChanged();
  // The base keeps no selection store: a descendant supplies one.
  virtual int GetSelectedCount() { return 0; }
  virtual TdxTreeListNode* GetSelectedItem(int index) { return nullptr; }
  virtual void RefreshSelection();
  virtual bool IsNodeSelected(TdxTreeListNode* node) { return false; }
  virtual void SetNodeSelected(TdxTreeListNode* node, bool value);
  // Selects every node between the two in row order.
  virtual void SelectRange(TdxTreeListNode* node1, TdxTreeListNode* node2);
  virtual void SetSelectionAnchor(TdxTreeListNode* node);
  virtual void NodesCleared() {}
  // An arbitrary but fixed order: -1, 0 or 1 by the nodes' addresses.
  virtual int CompareNodes(TdxTreeListNode* node1, TdxTreeListNode* node2);
  // Sorts sibling lists: `level` -1 all, 0 the top level, n the children at depth n - 1;
  // an edit in progress is stored first, and the rows follow the new order. `column`
  // and `descending` are the key unless several sorted columns apply (SortNodes).
  virtual void Sort(int32_t level, int32_t column, bool descending);
  virtual int32_t GetSortedColumnCount() { return 0; }
  virtual bool GetSortedColumnDesc(int32_t index) { return false; }
  virtual int32_t GetSortedColumnIndex(int32_t index) { return index; }
  virtual bool CanMultiSort(int32_t column) { return IsMultiSort(); }
  virtual bool IsCustomDrawBand(int32_t band) { return false; }
  virtual bool IsCustomDrawCell(TdxTreeListNode* node, int32_t column) { return false; }
  virtual bool IsCustomDrawFooter(TdxTreeListNode* node, int32_t column, int32_t footerIndex) { return false; }
  virtual bool IsCustomDrawHeader(int32_t column) { return false; }
  virtual bool IsCustomDrawPreview() { return false; }
  virtual bool IsLevelColorAssigned() { return false; }
  virtual void DoCustomDrawBand(int32_t band, TCanvas* canvas, const TRect& rect, const TRect& clippedRect,
                                std::string& text, TColor& color, TFont* font, TAlignment& alignment, bool& done) {}
  virtual void DoCustomDrawCell(TCanvas* canvas, const TRect& rect, TdxTreeListNode* node, int32_t column,
                                bool selected, bool focused, bool newItemRow, bool entryFlag1, bool entryFlag2,
                                HBRUSH brush, std::string& text, TColor& color, TFont* font, TAlignment& alignment,
                                bool& done) {}
  virtual void DoCustomDrawFooter(TCanvas* canvas, const TRect& rect, TdxTreeListNode* node, int32_t column,
                                  int32_t footerIndex, std::string& text, TColor& color, TFont* font,
                                  TAlignment& alignment, bool& done) {}
  virtual void DoCustomDrawHeader(int32_t column, TCanvas* canvas, const TRect& rect, const TRect& clippedRect,
                                  std::string& text, TColor& color, TFont* font, TAlignment& alignment,
                                  TdxTreeListColumnSort& sorted, bool& done) {}
  virtual void DoCustomDrawPreview(TCanvas* canvas, const TRect& rect, TdxTreeListNode* node, bool selected,
                                   std::string& text, TColor& color, TColor& textColor, TFont* font, bool& done) {}
  virtual void GetLevelColor(int32_t level, TColor& color) {}
  // Paints a group-row (`kind` 3), footer (`kind` 1, `footerIndex` -1 for the footer panel)
  // or other text cell.
  virtual void DrawTextCell(TCanvas* canvas, const TRect& rect, HBRUSH brush, TColor color, TColor textColor,
                            bool focused, TdxTreeListNode* node, int32_t column, int32_t footerIndex, uint8_t kind,
                            TBitmap* headerBitmap);
  // Paints the filled cell view data in `rect`: here as the text editor every cell is
  // edited with paints its value.
  virtual void DrawCellViewData(TCanvas* canvas, const TRect& rect, TdxTreeListCellViewData* viewData,
                                int32_t column);
  // Paints a data cell (`kind` 0) or a cell of the new-item row (`kind` 2).
  virtual void DrawCell(TCanvas* canvas, const TRect& rect, TBitmap* headerBitmap, TdxTreeListNode* node,
                        int32_t column, bool highlighted, bool cellFocused, TColor color, TColor textColor,
                        HBRUSH brush, bool multiLine, uint8_t kind, bool entryFlag1, bool entryFlag2,
                        TColor columnColor, HBRUSH columnBrush);
  virtual void DrawTopPanel(TCanvas* canvas, const TRect& rect, HBRUSH panelLineBrush, HBRUSH headerBrush) {}
  virtual void DrawPreview(TCanvas* canvas, const TRect& rect, TBitmap* headerBitmap, TdxTreeListNode* node,
                           TColor color, TColor textColor, HBRUSH brush, bool selected);
  // GridLineColor, or DefaultGridLineColor when it is clNone.
  virtual TColor GetGridColor();
  virtual void BeginNodePaint(TdxTreeListNode* node) {}
  virtual void EndNodePaint(TdxTreeListNode* node) {}
  // The height of the top panel strip above the band row (none in the base).
  virtual int32_t GetTopPanelHeight() { return 0; }
  // The default row height of the metrics: the least height of a row, as many lines of
  // the font's text height (+ 3) as the row line count asks for.
  virtual int32_t GetDefaultRowLinesHeight();
  virtual TdxTreeListNode* GetNodeByDirection(TdxTreeListNode* node, int direction, bool allNodes);
  virtual void FocusNodeByDirection(int direction, bool allNodes);
  virtual bool IsFirstNodeFocused();
  virtual bool IsLastNodeFocused();
  virtual bool StartSearch(int column, const std::string& text);
  virtual void IncrementalSearch(const std::string& text, int direction, bool clearOnMiss);
  virtual bool FindNode(int column, const std::string& text, TdxTreeListNode*& node, int direction);
  // What lies under `p` (client coordinates).
  virtual void GetHitInfo(const TPoint& p, TdxTreeListHitInfo& hitInfo);
  // The selection bracket: the outermost End reports one selection change when the
  // selected count differs from the one at the outermost Begin.
  virtual void BeginSelectionUpdate();
  virtual void EndSelectionUpdate();
  // Ends a selection bracket left by an exception: the lock comes down, nothing is reported.
  void EndSelectionUpdateQuiet();

  // ==== Events
  TdxTreeListNodeEvent OnCollapsed;
  TdxTreeListNodeEvent OnExpanded;
  TdxTreeListCanNodeEvent OnCanCollapse;
  TdxTreeListCanNodeEvent OnCanExpand;
  TdxTreeListCanNodeEvent OnEditing;
  TdxTreeListChangeNodeEvent OnChangeNode;
  TdxTreeListChangeColumnEvent OnChangeColumn;
  TNotifyEvent OnEditChange;
  TdxTreeListEditValidateEvent OnEditValidate;
  // A node is going; fired for every node, also while all nodes are cleared.
  TdxTreeListNodeEvent OnDeletion;
  TdxTreeListNodeEvent OnChangeTopNode;
  TNotifyEvent OnSelectionChanged;
  TdxTreeListNodeEvent OnBeginDragNode;
  TdxTreeListHotCursorEvent OnGetHotCursor;
  TdxTreeListCanNodeEvent OnCanSelectNode;
  TdxTreeListCompareEvent OnCompare;
  // (Sender, Column, var Allow): whether a column may be edited (with aoColumnEditing).
  TEvent<TObject* /*Sender*/, int32_t /*Column*/, bool& /*Allow*/> OnCanEditColumn;
  // (Sender, var Color): the colour of the in-place editor.
  TEvent<TObject* /*Sender*/, TColor& /*Color*/> OnGetEditColor;
  // Hint timing: a node, or the control, asks its hint.
  TdxTreeListNodeEvent OnNodeNotify;
  TNotifyEvent OnNotify;

 protected:
  void DrawEditViewData(TCanvas* canvas, const TRect& rect, const TdxTreeListCellViewData* viewData,
                        const TdxInplaceEditClass& editClass, TdxEditViewData* data);
  void CreateParams(TCreateParams& params) override;
  void CreateWnd() override;
  void Loaded() override;
  void Notification(TComponent* AComponent, TOperation operation) override;
  void DoExit() override;
  void Paint() override;
  void FontChanged(TObject* sender) override;
  void WndProc(TMessage& message) override;
  void KeyDown(WORD& key, TShiftState shift) override;
  void KeyPress(char& key) override;
  void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
  void MouseMove(TShiftState shift, int x, int y) override;
  void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override;
  void DoStartDrag(TDragObject*& dragObject) override;
  void DoEndDrag(TObject* target, int x, int y) override;
  void DragOver(TObject* source, int x, int y, TDragState state, bool& accept) override;
  // Makes the focused cell's in-place editor and shows it (without the focus for
  // `noFocus`); true when an editor is shown. The base tree list shows none.
  virtual bool ShowInplaceEditor(bool noFocus) { return false; }
  // Stores the value of the edited cell's editor, which was modified: the base
  // validates it (SaveValue, which raises when the editor refuses it); a descendant
  // also writes it into the cell. Editing ends without it when the editor was not
  // modified, so that visiting a cell changes nothing.
  virtual void SaveEditorValue(TdxInplaceEdit* editor);
  // A header being dragged moved to `p` (client coordinates): the drop place and its
  // arrows, the cursor, the drag image and the horizontal drag scroll follow the point.
  virtual void DragHeaderMove(const TPoint& p);
  // The text of the hint at the hit point (empty: no hint); the base answers a column
  // header's hint (DoGetHeaderHint).
  virtual void GetHintText(const TdxTreeListHitInfo& hitInfo, std::string& text);

  // Recomputes the metrics (unless loading or being destroyed), then the rows: clears
  // and rebuilds the lists, runs NodesChanged and rebuilds once more when that left
  // them unbuilt.
  void RecalcMetrics();
  // The rows changed shape (expansion, a move): rebuild now, or while locked leave the
  // rebuild to the outermost EndUpdate.
  void RowsChanged();
  // The top-level nodes.
  TList* GetRootNodes() const { return FRootNodes.get(); }

 private:
  friend class TdxTreeListNode;
  friend class TdxTreeListAppearance;
  friend class TdxTreeListRows;
  friend class TdxTreeListNavigator;
  friend class TdxTreeListSelection;
  friend class TdxTreeListLayoutBuilder;
  friend class TdxTreeListPainter;
  friend class TdxTreeListEditController;
  friend class TdxTreeListKeyboard;
  friend class TdxTreeListDrag;
  friend class TdxTreeListMouse;
  friend class TdxTreeListSizing;
  friend class TdxTreeListMiddleScroll;
  friend class TdxTreeListTimers;

  // Links a node made by CreateNode into `list` at `index` (-1: last) under `parent`.
  TdxTreeListNode* LinkNode(TdxTreeListNode* node, TList* list, TdxTreeListNode* parent, int index);
  // A node was moved: rows, and a top or focused node the move hid.
  void NodeMoved(TdxTreeListNode* node);
  // The window messages of the control.
  void WMGetDlgCode(TMessage& message);
  void WMNCPaint(TMessage& message);
  void WMSize(TMessage& message);

  // The control's own state: the nodes, the option sets, the interaction state, the
  // update bracket and the clearing flag.
  std::unique_ptr<TList> FRootNodes;
  std::unique_ptr<TList> FExtraNodes;
  TdxTreeListOptions FOptions = TdxTreeListOptions::FromBits(dxDefaultTreeListOptions);
  TdxTreeListOptionsEx FOptionsEx = TdxTreeListOptionsEx::FromBits(dxDefaultTreeListOptionsEx);
  TdxTreeListState FState = stNone;
  int FLockCount = 0;
  // Set while EndUpdateQuiet rebuilds: the events the rebuild would fire are held back.
  bool FHoldEvents = false;
  bool FClearing = false;

  // The parts (the mouse holds the sizing and the middle-button scrolling).
  TdxTreeListAppearance FAppearance{*this};
  TdxTreeListRows FRows{*this};
  TdxTreeListNavigator FNavigator{*this};
  TdxTreeListSelection FSelection{*this};
  TdxTreeListLayoutBuilder FLayoutBuilder{*this};
  TdxTreeListPainter FPainter{*this};
  TdxTreeListEditController FEditController{*this};
  TdxTreeListKeyboard FKeyboard{*this};
  TdxTreeListDrag FDrag{*this};
  TdxTreeListMouse FMouse{*this};
  TdxTreeListTimers FTimers{*this};
};

// The update bracket (BeginUpdate) for the lifetime of the scope (with `open` false,
// nothing); ended by an exception, it ends quietly (EndUpdateQuiet).
using TdxTreeListUpdateScope = TUpdateScope<TCustomdxTreeList>;
