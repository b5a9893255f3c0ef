// The operations an application drives a tree list by, called on the control (each runs
// the body of a part, whose tests cover what it does); and the virtual navigation and
// search operations, whose overrides the keys and the focus moves reach.
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "classlib/Clipboard.h"
#include "tests/treelist/TreeListInputTestSupport.h"

namespace {

// Records the calls of the virtual navigation and search operations; direction 3 can
// answer another last node.
class TOperationsTreeList : public TInputTreeList {
  KIVO_CLASS(TOperationsTreeList, TInputTreeList)
 public:
  explicit TOperationsTreeList(TComponent* AOwner) : TInputTreeList(AOwner) {}
  using TCustomdxTreeList::UpdateRowsForNode;
  std::vector<std::string> Calls;
  TdxTreeListNode* LastNode = nullptr;

  TdxTreeListNode* GetNodeByDirection(TdxTreeListNode* node, int direction, bool allNodes) override {
    Calls.push_back("direction " + std::to_string(direction));
    return direction == 3 && LastNode ? LastNode : TInputTreeList::GetNodeByDirection(node, direction, allNodes);
  }
  bool StartSearch(int column, const std::string& text) override {
    Calls.push_back("start");
    return TInputTreeList::StartSearch(column, text);
  }
  void IncrementalSearch(const std::string& text, int direction, bool clearOnMiss) override {
    Calls.push_back("search " + text);
    TInputTreeList::IncrementalSearch(text, direction, clearOnMiss);
  }
  bool FindNode(int column, const std::string& text, TdxTreeListNode*& node, int direction) override {
    Calls.push_back("find " + text);
    return TInputTreeList::FindNode(column, text, node, direction);
  }
};

class TreeListOperationsTest : public TreeListInputTest {
 protected:
  void SetUp() override {
    TreeListInputTest::SetUp();
    delete Tree;
    Tree = Ops = new TOperationsTreeList(Form);
    Ops->SetParent(Form);
    Ops->SetBounds(0, 0, 150, 260);
    Ops->Bands = {TTestBand{"Band", 300}};
    Ops->Columns = {TTestColumn{"Name", 0, 0, 120}, TTestColumn{"Size", 0, 0, 80}, TTestColumn{"Kind", 0, 0, 80}};
    Fill();
    SetOptionEx(aoIncrementalSearch, true);
    Show();
  }
  TOperationsTreeList* Ops = nullptr;
};

TEST_F(TreeListOperationsTest, EveryOperationIsCalledOnTheControl) {
  TRect rect;
  int first = 0, second = 0;
  TdxTreeListNode* found = nullptr;
  TStringList lines;
  EXPECT_EQ(Tree->FindNodeOrderIndex(C), Tree->GetRows().FindNodeOrderIndex(C));
  EXPECT_EQ(Tree->GetTopIndex(), 0);
  EXPECT_EQ(Tree->GetVisibleRowCount(), Tree->GetNavigator().GetVisibleRowCount());
  EXPECT_EQ(&Tree->GetNodeOrder(), &Tree->GetRows().GetNodeOrder());
  EXPECT_EQ(Tree->GetNodeOrderRows().size(), Tree->GetRowNodes().size());
  EXPECT_TRUE(Tree->GetRowsBuilt() && !Tree->GetPendingNode());
  Tree->GetNodeRowRectToBottom(B, rect);
  EXPECT_EQ(rect.bottom, Tree->GetRowsRect().bottom);
  Tree->GetNodeRowRect(B, rect);
  EXPECT_EQ(Tree->GetNodeAt(rect.left + 5, rect.top + 2), B);
  EXPECT_EQ(Tree->GetCellRect(B, 1), Tree->GetLayoutBuilder().GetCellRect(B, 1));
  Ops->SilentAdd = true;  // a node the row lists never heard of, added on the control's word
  TdxTreeListNode* e = Ops->AddNode(nullptr, "e");
  Ops->UpdateRowsForNode(e, /*deleted=*/false);
  EXPECT_EQ(Tree->GetRowNodes().back(), e);

  EXPECT_EQ(Tree->GetBandMinWidth(0), 60);
  EXPECT_EQ(Tree->GetBandRequestedWidth(0), 280);
  EXPECT_EQ(Tree->GetBandDisplayWidth(0), 280);
  EXPECT_EQ(Tree->GetBandsTotalWidth(), Tree->GetTotalScrollWidth());
  EXPECT_EQ(Tree->GetRowColumnsWidth(0, 0) - Tree->GetRowColumnsMinWidth(0, 0), 220);
  EXPECT_EQ(Tree->GetColumnLineCount(0, 0, 1), 1);
  EXPECT_EQ(Tree->GetScrolledAreaRect().right - Tree->GetScrolledAreaRect().left, Tree->GetVisibleScrollWidth());
  EXPECT_EQ(Tree->GetGridAreaRect(), Tree->GetWidths().GetGridAreaRect());
  EXPECT_EQ(Tree->GetBandScrollLeft(0), 0);
  EXPECT_EQ(Tree->GetShownColumnCount(), 3);
  Tree->GetNodeIndent(B1, first, second);
  EXPECT_EQ(Tree->GetPreviewWidth(B1), Tree->GetBandsTotalWidth() - second);
  EXPECT_FALSE(Tree->IsBandLocked(0) || Tree->IsColumnLocked(0) || Tree->IsRowAutoHeight());
  EXPECT_EQ(Tree->GetNodeRowHeight(A, Tree->GetRowHeight(), true), rect.bottom - rect.top);
  EXPECT_EQ(Tree->CalcNodeFooterCount(B2), 0);  // node footers are off
  EXPECT_TRUE(Tree->GetNodeFooterLevel(B2, 0) == -1 && Tree->CountNodeFootersBelow(B, 0) == -1);
  Tree->GetRowSizingLimits(nullptr, 18, first, second);
  EXPECT_TRUE(first == 18 && second == 18);

  EXPECT_TRUE(Tree->HasFocus() && Tree->IsFirstNodeFocused());
  Tree->FocusNodeByDirection(/*direction=*/3, /*allNodes=*/false);
  EXPECT_TRUE(Tree->IsLastNodeFocused());
  EXPECT_EQ(Tree->GetNodeByDirection(D, 1, false), C);
  EXPECT_EQ(Tree->GetFocusedRowIndex(), 4);  // e, the last row
  Click(RowPoint(B).x, RowPoint(B).y);
  EXPECT_EQ(Tree->GetPrevFocusedNode(), e);
  EXPECT_EQ(Tree->GetDownHitInfo().Node, B);
  EXPECT_EQ(&Tree->GetHotInfo(), &Tree->GetMouse().GetHotInfo());
  EXPECT_EQ(Tree->GetDragNode(), Tree->GetDrag().GetDragNode());
  EXPECT_EQ(Tree->GetAnchorNode(), Tree->GetSelection().GetAnchorNode());
  Tree->MakeColumnVisible(2);
  EXPECT_GT(Tree->GetLeftCoord(), 0);
  Tree->MakeBandVisible(0);
  Tree->ScrollColumns(0);
  Tree->ScrollRows(0);
  Tree->UpdateNow();

  // Row selection (the default) edits nothing.
  Tree->ShowEditor();
  Tree->ShowEditorWithKey('x');
  Tree->ShowEditorWithMouse(5, 5);
  Tree->ShowEditorSelectAll();
  Tree->ResetEditedCell();
  Tree->EndEditing();
  Tree->EndEditingQuiet();
  Tree->HideEditor(/*focus=*/false);
  EXPECT_TRUE(Tree->GetState() == stNone && !Tree->GetEditedNode() && Tree->GetEditedColumn() == -1);

  EXPECT_TRUE(Tree->StartSearch(-1, "c") && Tree->GetSearching() && Tree->GetSearchColumn() == 0);
  EXPECT_TRUE(Tree->FindNode(0, "D", found, 0) && found == D);
  Tree->IncrementalSearch("a", 0, false);
  EXPECT_EQ(Tree->GetSearchText(), "a");
  Tree->CopyAllToStrings(&lines);
  EXPECT_EQ(lines.GetCount(), 6);
  lines.Clear();
  Tree->CopySelectedToStrings(&lines);
  Tree->CopyToClipboard();
  EXPECT_EQ(Clipboard()->GetAsText(), "Name\tSize\tKind\r\na\t1\tx\r\n");
  EXPECT_EQ(lines.GetText(), Clipboard()->GetAsText());

  EXPECT_FALSE(Tree->GetDragImageList() || Tree->IsPointOverCustomizingWindow(Point(0, 0)));
  static_assert(TCustomdxTreeList::kVertScrollTimer == 1 && TCustomdxTreeList::kEditTimer == 2 &&
                TCustomdxTreeList::kHorzScrollTimer == 3 && TCustomdxTreeList::kDragExpandTimer == 101);
  Tree->ShowHintLater(/*immediate=*/false);
  EXPECT_EQ(Timers.Interval(Tree->GetHandle(), TCustomdxTreeList::kHintTimer), 1000u);
  Tree->CancelHint();
  EXPECT_FALSE(Tree->GetHintWindow() || Timers.Interval(Tree->GetHandle(), TCustomdxTreeList::kHintHideTimer));
  Tree->HideFeedback();
  EXPECT_EQ(Tree->GetPainter().GetFeedbackCount(), 1);
  Tree->ShowFeedback();
  // The colours are asked only while painting (the row painter's tests cover them).
  void (TCustomdxTreeList::*columnColors)(int32_t, TColor&, HBRUSH&) = &TCustomdxTreeList::GetColumnColors;
  EXPECT_TRUE(columnColors && &TCustomdxTreeList::GetRowColors);
}

// Regression: the keys and the focus moves called the navigation and search bodies of the
// parts directly, so a descendant's override of the control's operations never ran.
TEST_F(TreeListOperationsTest, TheKeysAndTheFocusMovesCallTheOverriddenOperations) {
  PostMessageA(Tree->GetHandle(), WM_CHAR, 'c', 1);  // the character alone: one search step
  Application->ProcessMessages();
  EXPECT_EQ(Tree->GetFocusedNode(), C);
  EXPECT_EQ(Ops->Calls, (std::vector<std::string>{"start", "search ", "find ", "search c", "find c"}));
  Ops->Calls.clear();
  {
    TKeysHeld shift{VK_SHIFT};
    Key(VK_RETURN);  // backwards from c: b2, b1, b, a, then the wrap asks for the last node
  }
  EXPECT_EQ(Ops->Calls, (std::vector<std::string>{"search c", "find c", "direction 3"}));
  Ops->LastNode = B;
  Tree->FocusNodeByDirection(/*direction=*/3, /*allNodes=*/false);
  EXPECT_EQ(Tree->GetFocusedNode(), B);
  EXPECT_TRUE(Tree->IsLastNodeFocused());
}

}  // namespace
