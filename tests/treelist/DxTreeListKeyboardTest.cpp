// The tree list's keys by real posted key messages on a shown form: focus moves and their
// ends, row selection over the tree, Shift ranges, the incremental search and the copy
// to the clipboard; and the navigation helpers the keys are built from.
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "classlib/Clipboard.h"
#include "tests/treelist/TreeListInputTestSupport.h"
#include "treelist/DxTreeListTextExport.h"

namespace {

class TreeListKeysTest : public TreeListInputTest {};

TEST_F(TreeListKeysTest, DownMovesTheFocusAndStopsOnTheLastRow) {
  Fill();
  Show();
  EXPECT_EQ(Tree->GetFocusedNode(), A);
  Key(VK_DOWN);
  EXPECT_EQ(Tree->GetFocusedNode(), B);
  Key(VK_DOWN);
  Key(VK_DOWN);
  EXPECT_EQ(Tree->GetFocusedNode(), D);  // b is collapsed: its children are no rows
  Key(VK_DOWN);
  EXPECT_EQ(Tree->GetFocusedNode(), D);
  Key(VK_UP);
  EXPECT_EQ(Tree->GetFocusedNode(), C);
  Key(VK_HOME);  // with row selection (the default) Home goes to the first row
  EXPECT_EQ(Tree->GetFocusedNode(), A);
}

TEST_F(TreeListKeysTest, WithMultipleSelectionDownOnTheLastRowKeepsTheSingleSelection) {
  Fill();
  SetOption(aoMultiSelect, true);
  Show();
  Tree->SetFocusedNode(D, 0, true);
  Tree->ClearSelection();
  Tree->SetNodeSelected(D, true);
  Key(VK_DOWN);
  EXPECT_EQ(Tree->GetFocusedNode(), D);
  EXPECT_EQ(SelectedTexts(), (std::vector<std::string>{"d"}));
  Key(VK_UP);  // the selection follows the focus
  EXPECT_EQ(SelectedTexts(), (std::vector<std::string>{"c"}));
}

TEST_F(TreeListKeysTest, InRowSelectLeftOnACollapsedFirstChildSelectsItsParent) {
  Fill();
  SetOption(aoRowSelect, true);
  SetOption(aoMultiSelect, true);
  B->SetExpanded(true);
  B1->AddChild();  // b1 has children and stays collapsed
  Show();
  Tree->SetFocusedNode(B1, 0, true);
  Tree->SetNodeSelected(B1, true);
  Key(VK_LEFT);
  EXPECT_EQ(Tree->GetFocusedNode(), B);
  EXPECT_EQ(SelectedTexts(), (std::vector<std::string>{"b"}));
  EXPECT_TRUE(B->GetExpanded());
  // On an expanded node Left only collapses it.
  Key(VK_LEFT);
  EXPECT_FALSE(B->GetExpanded());
  EXPECT_EQ(Tree->GetFocusedNode(), B);
  // Right expands, then goes to the first child.
  Key(VK_RIGHT);
  EXPECT_TRUE(B->GetExpanded());
  Key(VK_RIGHT);
  EXPECT_EQ(Tree->GetFocusedNode(), B1);
  // A collapsed node that is not a first child: one row up.
  Tree->SetFocusedNode(B2, 0, true);
  Key(VK_LEFT);
  EXPECT_EQ(Tree->GetFocusedNode(), B1);
}

TEST_F(TreeListKeysTest, ShiftDownExtendsARangeAndShiftUpGivesItBack) {
  Fill();
  SetOption(aoMultiSelect, true);
  Show();
  {
    TKeysHeld shift{VK_SHIFT};
    Key(VK_DOWN);
    Key(VK_DOWN);
    EXPECT_EQ(SelectedTexts(), (std::vector<std::string>{"a", "b", "c"}));
    Key(VK_UP);
    EXPECT_EQ(SelectedTexts(), (std::vector<std::string>{"a", "b"}));
  }
  EXPECT_EQ(Tree->GetSelection().GetAnchorNode(), A);
  Key(VK_DOWN);  // without Shift the range goes
  EXPECT_EQ(SelectedTexts(), (std::vector<std::string>{"c"}));
}

TEST_F(TreeListKeysTest, OneKeyReportsOneSelectionChange) {
  Fill();
  SetOption(aoMultiSelect, true);
  SetOption(aoRowSelect, true);
  Show();
  TKeysHeld shift{VK_SHIFT};
  Tree->SelectionChanges = 0;
  Key(VK_END);  // clears, then selects a range of four rows
  EXPECT_EQ(SelectedTexts(), (std::vector<std::string>{"a", "b", "c", "d"}));
  EXPECT_EQ(Tree->SelectionChanges, 1);
}

TEST_F(TreeListKeysTest, IncrementalSearchWrapsToTheTopAndStopsAtTheStartNode) {
  Fill();
  SetOptionEx(aoIncrementalSearch, true);
  Show();
  Tree->SetFocusedNode(C, 0, true);
  Type("a");  // from c: c, d, then the walk wraps to a
  EXPECT_TRUE(Tree->GetKeyboard().GetSearching());
  EXPECT_EQ(Tree->GetFocusedNode(), A);
  EXPECT_EQ(Tree->GetKeyboard().GetSearchText(), "a");
  Key(VK_ESCAPE);
  EXPECT_FALSE(Tree->GetKeyboard().GetSearching());
  // A text no node begins with: the walk ends at the start node, the focus stays and the
  // character is dropped.
  Tree->SetFocusedNode(C, 0, true);
  Type("q");
  EXPECT_EQ(Tree->GetFocusedNode(), C);
  EXPECT_EQ(Tree->GetKeyboard().GetSearchText(), "");
  // Case-insensitive, over all nodes (b1 is hidden under the collapsed b).
  Type("B1");
  EXPECT_EQ(Tree->GetFocusedNode(), B1);
  EXPECT_TRUE(B->GetExpanded());
}

TEST_F(TreeListKeysTest, SearchNextAndPreviousWithCtrlAndShiftEnter) {
  Fill();
  Node(Tree, nullptr, "b3");
  SetOptionEx(aoIncrementalSearch, true);
  Tree->SetSearchAllNodes(false);
  Show();
  Type("b");
  EXPECT_EQ(Tree->GetFocusedNode(), B);
  {
    TKeysHeld ctrl{VK_CONTROL};
    Key(VK_RETURN);
  }
  EXPECT_EQ(TTestTreeList::TextOf(Tree->GetFocusedNode()), "b3");
  {
    TKeysHeld shift{VK_SHIFT};
    Key(VK_RETURN);
  }
  EXPECT_EQ(Tree->GetFocusedNode(), B);
}

TEST_F(TreeListKeysTest, TypingWithCtrlHeldStartsNoSearch) {
  Fill();
  SetOptionEx(aoIncrementalSearch, true);
  Show();
  {
    TKeysHeld ctrl{VK_CONTROL};
    Key('D', 4);
  }
  EXPECT_FALSE(Tree->GetKeyboard().GetSearching());
  EXPECT_EQ(Tree->GetFocusedNode(), A);
}

// Regression: FindNode looped for ever: a walk over the shown nodes never met a focused
// node hidden under a collapsed parent.
TEST_F(TreeListKeysTest, FindNodeEndsWhenTheFocusedNodeIsHidden) {
  Fill();
  Tree->SetSearchAllNodes(false);
  Tree->SetFocusedNode(B2, 0, false);
  ASSERT_FALSE(B2->IsVisible());
  TdxTreeListNode* found = nullptr;
  EXPECT_FALSE(Tree->GetKeyboard().FindNode(0, "zz", found, 0));
  EXPECT_FALSE(Tree->GetKeyboard().FindNode(0, "zz", found, 1));
  EXPECT_TRUE(Tree->GetKeyboard().FindNode(0, "C", found, 2));
  EXPECT_EQ(found, C);
}

TEST_F(TreeListKeysTest, CtrlInsertPutsTheSelectedRowsTabSeparatedOnTheClipboard) {
  Fill();
  SetOption(aoMultiSelect, true);
  Show();
  Tree->SetNodeSelected(D, true);
  Tree->SetNodeSelected(A, true);
  Tree->SetNodeSelected(B1, true);
  Clipboard()->SetAsText("old");
  {
    TKeysHeld ctrl{VK_CONTROL};
    Key(VK_INSERT);
  }
  EXPECT_EQ(Clipboard()->GetAsText(), "Name\tSize\tKind\r\na\t1\tx\r\nb1\t\t\r\nd\t4\tw\r\n");
  // Without multiple selection the focused row alone.
  SetOption(aoMultiSelect, false);
  Tree->SetFocusedNode(C, 0, true);
  {
    TKeysHeld ctrl{VK_CONTROL};
    Key(VK_INSERT);
  }
  EXPECT_EQ(Clipboard()->GetAsText(), "Name\tSize\tKind\r\nc\t3\tz\r\n");
}

TEST_F(TreeListKeysTest, CopyAllTakesEveryRowAndCtrlCCopiesWithItsOption) {
  Fill();
  TStringList lines;
  TdxTreeListTextExport(*Tree).CopyAllToStrings(&lines);
  EXPECT_EQ(lines.GetText(), "Name\tSize\tKind\r\na\t1\tx\r\nb\t2\ty\r\nc\t3\tz\r\nd\t4\tw\r\n");
  SetOptionEx(aoCopyOnCtrlC, true);
  Show();
  Clipboard()->SetAsText("old");
  {
    TKeysHeld ctrl{VK_CONTROL};
    Key('C', 3);
  }
  EXPECT_EQ(Clipboard()->GetAsText(), "Name\tSize\tKind\r\na\t1\tx\r\n");
}

TEST_F(TreeListKeysTest, PlusMinusAndStarExpandAndCollapse) {
  Fill();
  B1->AddChild();
  Show();
  Tree->SetFocusedNode(B, 0, true);
  Key(VK_ADD, '+');
  EXPECT_TRUE(B->GetExpanded());
  Key(VK_SUBTRACT, '-');
  EXPECT_FALSE(B->GetExpanded());
  Key(VK_MULTIPLY, '*');
  EXPECT_TRUE(B->GetExpanded());
  EXPECT_TRUE(B1->GetExpanded());
}

// Regression: "+", "-" and "*" did nothing while an incremental search ran; they act
// on the focused node first and only then go on to the search.
TEST_F(TreeListKeysTest, PlusMinusAndStarExpandAndCollapseWhileSearching) {
  Fill();
  B1->AddChild();
  SetOptionEx(aoIncrementalSearch, true);
  Show();
  Tree->SetFocusedNode(B, 0, true);
  Key(VK_ADD, '+');
  EXPECT_TRUE(Tree->GetKeyboard().GetSearching()) << "the key started a search";
  EXPECT_TRUE(B->GetExpanded());
  EXPECT_EQ(Tree->GetFocusedNode(), B) << "no node begins with +";
  Key(VK_SUBTRACT, '-');
  EXPECT_FALSE(B->GetExpanded());
  Key(VK_MULTIPLY, '*');
  EXPECT_TRUE(B->GetExpanded());
  EXPECT_TRUE(B1->GetExpanded());
  // In a search that letters began.
  Key(VK_ESCAPE);
  ASSERT_FALSE(Tree->GetKeyboard().GetSearching());
  Type("b");
  ASSERT_TRUE(Tree->GetKeyboard().GetSearching());
  ASSERT_EQ(Tree->GetFocusedNode(), B);
  Key(VK_SUBTRACT, '-');
  EXPECT_FALSE(B->GetExpanded());
  EXPECT_EQ(Tree->GetKeyboard().GetSearchText(), "b");
}

TEST_F(TreeListKeysTest, PageDownGoesToThePageEndThenAPageOn) {
  for (int i = 0; i < 40; ++i)
    Node(Tree, nullptr, "n" + std::to_string(i));
  Show();
  const int page = Tree->GetNavigator().GetVisibleRowCount();
  ASSERT_GT(page, 3);
  Key(VK_NEXT);
  EXPECT_EQ(Tree->GetNavigator().GetFocusedRowIndex(), page - 1);  // the last row of the page
  Key(VK_NEXT);
  EXPECT_EQ(Tree->GetNavigator().GetFocusedRowIndex(), 2 * (page - 1));
  {
    TKeysHeld ctrl{VK_CONTROL};
    Key(VK_END);
  }
  EXPECT_EQ(Tree->GetNavigator().GetFocusedRowIndex(), 39);
  EXPECT_EQ(Tree->GetNavigator().GetTopIndex(), 40 - page);
}

TEST_F(TreeListKeysTest, ArrowsAndTabMoveBetweenColumns) {
  Fill();
  SetOption(aoRowSelect, false);
  SetOption(aoTabThrough, true);
  Show();
  Key(VK_RIGHT);
  Key(VK_RIGHT);
  EXPECT_EQ(Tree->GetFocusedColumn(), 2);
  Key(VK_RIGHT);  // no wrapping: the last column stays
  EXPECT_EQ(Tree->GetFocusedColumn(), 2);
  Key(VK_TAB);  // tab through: the next row's first column
  EXPECT_EQ(Tree->GetFocusedNode(), B);
  EXPECT_EQ(Tree->GetFocusedColumn(), 0);
  {
    TKeysHeld shift{VK_SHIFT};
    Key(VK_TAB);
  }
  EXPECT_EQ(Tree->GetFocusedNode(), A);
  EXPECT_EQ(Tree->GetFocusedColumn(), 2);
  Key(VK_HOME);
  EXPECT_EQ(Tree->GetFocusedColumn(), 0);
}

TEST_F(TreeListKeysTest, NodeByDirectionAndTheFocusEnds) {
  EXPECT_EQ(Tree->GetNavigator().GetNodeByDirection(nullptr, 3, false), nullptr);
  EXPECT_TRUE(Tree->GetNavigator().IsFirstNodeFocused());
  EXPECT_TRUE(Tree->GetNavigator().IsLastNodeFocused());
  Fill();
  EXPECT_EQ(Tree->GetNavigator().GetNodeByDirection(C, 0, false), A);
  EXPECT_EQ(Tree->GetNavigator().GetNodeByDirection(C, 1, false), B);
  EXPECT_EQ(Tree->GetNavigator().GetNodeByDirection(B, 2, false), C);
  EXPECT_EQ(Tree->GetNavigator().GetNodeByDirection(B, 2, true), B1);
  EXPECT_EQ(Tree->GetNavigator().GetNodeByDirection(A, 3, false), D);
  D->AddChild();
  EXPECT_EQ(Tree->GetNavigator().GetNodeByDirection(A, 3, false), D);
  EXPECT_EQ(Tree->GetNavigator().GetNodeByDirection(A, 3, true), D->GetFirstChild());
  EXPECT_EQ(Tree->GetNavigator().GetNodeByDirection(A, 7, false), nullptr);
  SetOption(aoRowSelect, true);
  Tree->SetFocusedColumn(2);
  EXPECT_EQ(Tree->GetFocusedColumn(), 0);
}

}  // namespace
