// TdxTreeListOperations: the operations an application drives a tree list by, on the control
// itself (Tree->ShowEditor(), Tree->GetBandDisplayWidth(band), Tree->CopyToClipboard()).
// TCustomdxTreeList derives from it; it holds nothing, and every operation runs the body of
// the part (or view) of the control that does the work, as the part's operation of the same
// name. The navigation and incremental-search operations are virtual operations of the
// control, declared with its virtual run; the parts call them through the control, so that a
// descendant's override takes effect.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "classlib/Colors.h"
#include "classlib/Geometry.h"
#include "classlib/Win.h"
#include "treelist/DxTreeListTimers.h"
#include "treelist/DxTreeListTypes.h"

class TCustomdxTreeList;
class TImageList;
class TStrings;
class TdxContainerHintWindow;
class TdxTreeListNode;

class TdxTreeListOperations {
 public:
  // ==== Rows (TdxTreeListRows, TdxTreeListNavigator)
  int FindNodeOrderIndex(const TdxTreeListNode* node) const;
  int GetFocusedRowIndex() const;
  int GetTopIndex() const;
  void GetNodeRowRect(TdxTreeListNode* node, TRect& rect);
  void GetNodeRowRectToBottom(TdxTreeListNode* node, TRect& rect);
  int GetVisibleRowCount() const;
  bool GetRowsBuilt() const;
  const std::vector<TdxTreeListNode*>& GetRowNodes() const;
  const std::vector<TdxTreeListNode*>& GetNodeOrder() const;
  const std::vector<int32_t>& GetNodeOrderRows() const;
  TdxTreeListNode* GetPendingNode() const;

  // ==== Layout and hit testing (TdxTreeListLayoutBuilder, TdxTreeListHitTester)
  TRect GetCellRect(TdxTreeListNode* node, int visibleColumn);
  TRect GetRowsRect();
  TdxTreeListNode* GetNodeAt(int x, int y);

  // ==== Band and column widths, row heights (TdxTreeListWidths)
  int GetBandMinWidth(int band);
  int GetBandRequestedWidth(int band);
  int GetBandsTotalWidth();
  int GetBandDisplayWidth(int band);
  int GetRowColumnsWidth(int band, int row);
  int GetRowColumnsMinWidth(int band, int row);
  int GetColumnLineCount(int band, int row, int position);
  TRect GetGridAreaRect();
  TRect GetScrolledAreaRect();
  int GetVisibleScrollWidth();
  int GetTotalScrollWidth();
  int GetBandScrollLeft(int band);
  int GetShownColumnCount();
  void GetNodeIndent(TdxTreeListNode* node, int& levelWidth, int& fullWidth);
  int GetPreviewWidth(TdxTreeListNode* node);
  bool IsBandLocked(int band);
  bool IsColumnLocked(int column);
  int GetNodeRowHeight(TdxTreeListNode* node, int lineHeight, bool noCache);
  bool IsRowAutoHeight();
  int CalcNodeFooterCount(TdxTreeListNode* node);
  int GetNodeFooterLevel(TdxTreeListNode* node, int index);
  int CountNodeFootersBelow(TdxTreeListNode* node, int level);
  void GetRowSizingLimits(TdxTreeListNode* node, int defaultValue, int& minValue, int& maxValue);

  // ==== Node references (TdxTreeListSelection, TdxTreeListMouse, TdxTreeListDrag)
  TdxTreeListNode* GetAnchorNode() const;
  TdxTreeListNode* GetPrevFocusedNode() const;
  TdxTreeListNode* GetDragNode() const;
  const TdxTreeListHotInfo& GetHotInfo() const;
  const TdxTreeListHitInfo& GetDownHitInfo() const;

  // ==== Focus and scrolling (TdxTreeListNavigator, TdxTreeListPainter)
  bool HasFocus();
  void MakeBandVisible(int band);
  void MakeColumnVisible(int column);
  void ScrollColumns(int delta);
  void ScrollRows(int delta);
  void UpdateNow();

  // ==== Editing (TdxTreeListEditController)
  void ShowEditor();
  void ShowEditorWithKey(char key);
  void ShowEditorWithMouse(int x, int y);
  void ShowEditorSelectAll();
  TdxTreeListNode* GetEditedNode() const;
  int GetEditedColumn() const;
  void ResetEditedCell();
  void EndEditing();
  void EndEditingQuiet();
  void HideEditor(bool focus);

  // ==== Incremental search state (TdxTreeListKeyboard)
  bool GetSearching() const;
  int GetSearchColumn() const;
  const std::string& GetSearchText() const;

  // ==== Text export (TdxTreeListTextExport)
  void CopyAllToStrings(TStrings* strings);
  void CopySelectedToStrings(TStrings* strings);
  void CopyToClipboard();

  // ==== Drags and the customizing window (TdxTreeListDrag)
  TImageList* GetDragImageList() const;
  bool IsPointOverCustomizingWindow(const TPoint& p);

  // ==== Timers and hints (TdxTreeListTimers)
  static constexpr UINT_PTR kVertScrollTimer = TdxTreeListTimers::kVertScrollTimer;
  static constexpr UINT_PTR kEditTimer = TdxTreeListTimers::kEditTimer;
  static constexpr UINT_PTR kHorzScrollTimer = TdxTreeListTimers::kHorzScrollTimer;
  static constexpr UINT_PTR kDragExpandTimer = TdxTreeListTimers::kDragExpandTimer;
  static constexpr UINT_PTR kHintTimer = TdxTreeListTimers::kHintTimer;
  static constexpr UINT_PTR kHintHideTimer = TdxTreeListTimers::kHintHideTimer;
  void ShowHintLater(bool immediate);
  void CancelHint();
  TdxContainerHintWindow* GetHintWindow() const;

  // ==== Painting (TdxTreeListPainter; the colours only while painting)
  void HideFeedback();
  void ShowFeedback();
  void GetRowColors(TdxTreeListNode* node, bool selected, bool focused, bool groupRow, bool hasChildren, int level,
                    int32_t column, TColor& color, TColor& textColor, HBRUSH& brush);
  void GetColumnColors(int32_t column, TColor& color, HBRUSH& brush);

 protected:
  TdxTreeListOperations() = default;
  ~TdxTreeListOperations() = default;
  TdxTreeListOperations(const TdxTreeListOperations&) = delete;
  TdxTreeListOperations& operator=(const TdxTreeListOperations&) = delete;

  // Applies one addition or deletion to the row lists (TdxTreeListRows).
  void UpdateRowsForNode(TdxTreeListNode* node, bool deleted);

 private:
  // The control this is the base of. Its parts are reached through its accessors, which
  // hand out the parts as they are; the const operations only read them.
  TCustomdxTreeList& Control() const;
};
