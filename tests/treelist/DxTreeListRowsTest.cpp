#include <random>
#include <sstream>
#include <unordered_map>

#include "tests/treelist/TreeListTestSupport.h"

namespace {

class TreeListRowsTest : public ::testing::Test {
 protected:
  TTestTreeList* Tree = new TTestTreeList(nullptr);
  ~TreeListRowsTest() override { delete Tree; }

  TdxTreeListNode* Add(TdxTreeListNode* parent, const std::string& text) { return Tree->AddNode(parent, text); }

  // The first difference between the control's row answers and a plain walk, or "".
  std::string RowsDiffer() {
    const std::vector<TdxTreeListNode*> rows = WalkRows(Tree);
    std::unordered_map<const TdxTreeListNode*, int> rowOf;
    rowOf.reserve(rows.size());
    for (size_t i = 0; i < rows.size(); ++i)
      rowOf[rows[i]] = static_cast<int>(i);
    std::ostringstream out;
    if (Tree->GetRowCount() != static_cast<int>(rows.size())) {
      out << "row count " << Tree->GetRowCount() << " instead of " << rows.size();
      return out.str();
    }
    for (TdxTreeListNode* node : AllNodes(Tree)) {
      auto at = rowOf.find(node);
      const int expected = at == rowOf.end() ? -1 : at->second;
      const int actual = Tree->GetNodeRowIndex(node);
      if (actual != expected) {
        out << "node " << TTestTreeList::TextOf(node) << " at row " << actual << " instead of " << expected;
        return out.str();
      }
    }
    for (size_t i = 0; i < rows.size(); ++i) {
      if (Tree->GetNodeAtRow(static_cast<int>(i)) != rows[i]) {
        out << "row " << i << " holds another node";
        return out.str();
      }
    }
    if (Tree->GetNodeAtRow(-1) || Tree->GetNodeAtRow(static_cast<int>(rows.size())))
      return "a node outside the rows";
    return "";
  }

  // The row lists' own invariants while they hold rows.
  std::string ListsInconsistent() {
    const auto& rowNodes = Tree->GetRows().GetRowNodes();
    const auto& order = Tree->GetRows().GetNodeOrder();
    const auto& orderRows = Tree->GetRows().GetNodeOrderRows();
    if (rowNodes.size() != order.size() || order.size() != orderRows.size())
      return "list sizes differ";
    for (size_t p = 0; p < order.size(); ++p) {
      if (p > 0 && !std::less<TdxTreeListNode*>()(order[p - 1], order[p]))
        return "node order not ascending";
      if (orderRows[p] < 0 || orderRows[p] >= static_cast<int>(rowNodes.size()) || rowNodes[orderRows[p]] != order[p])
        return "a row entry points elsewhere";
    }
    return "";
  }
};

TEST_F(TreeListRowsTest, AControlWithoutNodesHasNoRows) {
  EXPECT_EQ(0, Tree->GetRowCount());
  EXPECT_EQ(nullptr, Tree->GetNodeAtRow(0));
  EXPECT_EQ(nullptr, Tree->GetNodeAtRow(-1));
  EXPECT_EQ(nullptr, Tree->GetFirstNode());
  EXPECT_EQ(-1, Tree->GetNodeRowIndex(nullptr));
  EXPECT_EQ(-1, Tree->GetNavigator().GetTopIndex());
  EXPECT_EQ(0, Tree->GetNavigator().GetFocusedRowIndex());
  Tree->RebuildRows();
  EXPECT_FALSE(Tree->InListMode());
  EXPECT_EQ(0, Tree->GetRowCount());
}

TEST_F(TreeListRowsTest, BothModesAnswerAlike) {
  TdxTreeListNode* a = Add(nullptr, "a");
  TdxTreeListNode* b = Add(a, "b");
  TdxTreeListNode* c = Add(b, "c");
  Add(nullptr, "d");
  a->SetExpanded(true);
  ASSERT_TRUE(Tree->InListMode());
  for (bool listMode : {true, false}) {
    if (!listMode)
      Tree->LayoutChanged();
    ASSERT_EQ(listMode, Tree->InListMode());
    EXPECT_EQ(3, Tree->GetRowCount());
    EXPECT_EQ(1, Tree->GetNodeRowIndex(b));
    EXPECT_EQ(-1, Tree->GetNodeRowIndex(c));  // below a collapsed node
    EXPECT_EQ(nullptr, Tree->GetNodeAtRow(-1));
    EXPECT_EQ(nullptr, Tree->GetNodeAtRow(3));
    EXPECT_EQ(b, a->GetNextVisible());
    EXPECT_EQ(a, b->GetPriorVisible());
    EXPECT_EQ("", RowsDiffer());
    TRect rect;
    Tree->GetNavigator().GetNodeRowRect(c, rect);
    EXPECT_EQ((TRect{-1, -1, -1, -1}), rect);
  }
}

TEST_F(TreeListRowsTest, AnAddedNodeTakesTheRowAfterItsParentsShownDescendants) {
  TdxTreeListNode* a = Add(nullptr, "a");
  TdxTreeListNode* b = Add(a, "b");
  Add(b, "c");
  Add(nullptr, "d");
  a->Expand(true);
  ASSERT_TRUE(Tree->InListMode());
  TdxTreeListNode* e = Add(a, "e");  // a b c e d
  EXPECT_TRUE(Tree->InListMode());
  EXPECT_EQ(3, Tree->GetNodeRowIndex(e));
  TdxTreeListNode* f = Add(nullptr, "f");
  EXPECT_EQ(5, Tree->GetNodeRowIndex(f));
  EXPECT_EQ(f, Tree->GetNodeAtRow(Tree->GetRowCount() - 1));
  EXPECT_TRUE(Tree->IsLastNode(f));
  EXPECT_TRUE(Tree->IsFirstNode(a));
  EXPECT_EQ("", RowsDiffer());
  EXPECT_EQ("", ListsInconsistent());
}

TEST_F(TreeListRowsTest, ANodeAddedBelowACollapsedParentLeavesTheListsAlone) {
  TdxTreeListNode* a = Add(nullptr, "a");
  Add(a, "b");
  Add(nullptr, "c");
  Tree->RebuildRows();
  const std::vector<TdxTreeListNode*> before = Tree->GetRows().GetRowNodes();
  const std::vector<int32_t> rowsBefore = Tree->GetRows().GetNodeOrderRows();
  Add(a, "x");
  EXPECT_EQ(before, Tree->GetRows().GetRowNodes());
  EXPECT_EQ(rowsBefore, Tree->GetRows().GetNodeOrderRows());
  EXPECT_EQ("", RowsDiffer());
}

TEST_F(TreeListRowsTest, TheLastChildsCachedHeightIsResetWhenItChanges) {
  TdxTreeListNode* a = Add(nullptr, "a");
  TdxTreeListNode* b = Add(a, "b");
  a->SetExpanded(true);
  // A stale value that no computation gives; the repaint after the change recomputes it.
  b->SetRowHeightCache(99);
  TdxTreeListNode* c = Add(a, "c");
  EXPECT_EQ(18, b->GetRowHeightCache());  // b no longer closes a's group
  b->SetRowHeightCache(99);
  c->Delete();
  EXPECT_EQ(18, b->GetRowHeightCache());  // b closes it again
  EXPECT_EQ("", RowsDiffer());
}

// Fault: a node missing from the node order made a deletion index the entry -1.
TEST_F(TreeListRowsTest, ANodeMissingFromTheListsNeverIndexesMinusOne) {
  TdxTreeListNode* a = Add(nullptr, "a");
  Add(nullptr, "b");
  Tree->RebuildRows();
  ASSERT_TRUE(Tree->InListMode());
  Tree->SilentAdd = true;  // linked, but the lists never hear of it
  TdxTreeListNode* ghost = Add(nullptr, "ghost");
  Tree->SilentAdd = false;
  ASSERT_EQ(-1, Tree->GetRows().FindNodeOrderIndex(ghost));
  EXPECT_EQ(nullptr, ghost->GetNextVisible());
  ghost->Delete();
  EXPECT_EQ("", RowsDiffer());
  EXPECT_EQ(0, Tree->GetNodeRowIndex(a));
}

// Fault: a node added while loading after the lists were built was missing from them.
TEST_F(TreeListRowsTest, ANodeAddedWhileLoadingDropsTheLists) {
  Add(nullptr, "a");
  Tree->RebuildRows();
  ASSERT_TRUE(Tree->InListMode());
  BeginLoading(Tree);
  TdxTreeListNode* b = Add(nullptr, "b");
  EXPECT_FALSE(Tree->InListMode());
  EXPECT_EQ(1, Tree->GetNodeRowIndex(b));
  EndLoading(Tree);
  EXPECT_TRUE(Tree->InListMode());
  EXPECT_EQ("", RowsDiffer());
  b->Delete();
  EXPECT_EQ("", RowsDiffer());
}

TEST_F(TreeListRowsTest, RowRectanglesFollowTheTopNodeAndTheIndicator) {
  Tree->UpdateGuarded();  // the metrics of the fonts
  const int header = Tree->GetMetrics().HeaderPanelHeight;
  const int h = Tree->GetRowHeight();
  Tree->SetHeight(header + 3 * h);  // the header and three rows
  TdxTreeListNode* a = Add(nullptr, "a");
  TdxTreeListNode* b = Add(nullptr, "b");
  Add(nullptr, "c");
  TdxTreeListNode* d = Add(nullptr, "d");
  const TRect client = Tree->GetClientRect();
  TRect rect;
  Tree->GetNavigator().GetNodeRowRect(b, rect);
  EXPECT_EQ((TRect{0, header + h, client.right, header + 2 * h}), rect);
  Tree->GetNavigator().GetNodeRowRect(d, rect);  // would start at the bottom of the rows
  EXPECT_EQ((TRect{-1, -1, -1, -1}), rect);
  Tree->GetNavigator().GetNodeRowRectToBottom(a, rect);
  EXPECT_EQ((TRect{0, header, client.right, client.bottom}), rect);

  Tree->SetShowIndicator(true);
  Tree->SetTopIndex(1);
  EXPECT_EQ(b, Tree->GetTopNode());
  Tree->GetNavigator().GetNodeRowRect(b, rect);
  EXPECT_EQ((TRect{0, header, client.right, header + h}), rect);  // from the indicator's left edge
  TRect rows;
  Tree->GetLayoutPartRect(rows);
  EXPECT_EQ(0, rows.left);
  EXPECT_EQ(12, Tree->GetLayoutBuilder().GetRowsRect().left);
  Tree->GetNavigator().GetNodeRowRect(a, rect);  // above the top node
  EXPECT_EQ((TRect{-1, -1, -1, -1}), rect);
}

TEST_F(TreeListRowsTest, AnEmptyRowsAreaDoesNotReachIntoTheIndicator) {
  Tree->SetShowIndicator(true);
  Tree->SetHeight(0);
  Tree->UpdateGuarded();
  ASSERT_GT(Tree->GetMetrics().IndicatorWidth, 0);
  const TRect rows = Tree->GetLayoutBuilder().GetRowsRect();
  ASSERT_EQ(rows.top, rows.bottom);
  TRect part;
  Tree->GetLayoutPartRect(part);
  EXPECT_EQ(rows, part);
  Tree->SetHeight(100);
  Tree->GetLayoutPartRect(part);
  EXPECT_EQ(Tree->GetLayoutBuilder().GetRowsRect().left - Tree->GetMetrics().IndicatorWidth, part.left);
}

TEST_F(TreeListRowsTest, RowHeightsFollowTheGridSettings) {
  TdxTreeListNode* a = Add(nullptr, "a");
  EXPECT_EQ(18, Tree->GetWidths().GetNodeRowHeight(a, 18, true));
  Tree->SetShowGrid(true);
  EXPECT_EQ(18, Tree->GetWidths().GetNodeRowHeight(a, 18, true));  // one for the line, one taken off
  Tree->SetShowPreviewGrid(false);
  a->SetRowHeightCache(0);
  EXPECT_EQ(19, Tree->GetWidths().GetNodeRowHeight(a, 18, true));
  EXPECT_EQ(0, a->GetRowHeightCache());
  EXPECT_EQ(19, Tree->GetWidths().GetNodeRowHeight(a, 18, false));
  EXPECT_EQ(19, a->GetRowHeightCache());
  a->SetRowHeightCache(40);
  EXPECT_EQ(40, Tree->GetWidths().GetNodeRowHeight(a, 18, false));  // answered from the cache
  Tree->LayoutChanged();
  EXPECT_EQ(0, a->GetRowHeightCache());
}

TEST_F(TreeListRowsTest, MakeVisibleExpandsAndScrolls) {
  Tree->SetHeight(18 + 2 * 18);
  TdxTreeListNode* a = Add(nullptr, "a");
  TdxTreeListNode* b = Add(a, "b");
  TdxTreeListNode* c = Add(b, "c");
  for (const char* text : {"d", "e", "f"})
    Add(nullptr, text);
  c->MakeVisible();
  EXPECT_TRUE(a->GetExpanded());
  EXPECT_TRUE(b->GetExpanded());
  EXPECT_EQ(2, Tree->GetNodeRowIndex(c));
  EXPECT_EQ(b, Tree->GetTopNode());  // c is the last whole row
  a->MakeVisible();
  EXPECT_EQ(a, Tree->GetTopNode());
  EXPECT_TRUE(Tree->InListMode());
}

TEST_F(TreeListRowsTest, TheLastPageStaysFilled) {
  Tree->SetHeight(18 + 3 * 18);
  std::vector<TdxTreeListNode*> nodes;
  for (const char* text : {"a", "b", "c", "d", "e"})
    nodes.push_back(Add(nullptr, text));
  Tree->SetTopIndex(2);
  EXPECT_EQ(nodes[2], Tree->GetTopNode());
  nodes[4]->Delete();
  EXPECT_EQ(nodes[1], Tree->GetTopNode());
  EXPECT_EQ(4, Tree->GetRowCount());
}

// After every step of random additions, insertions, expansions, collapses, deletions
// and moves on trees of up to 5,000 nodes, the rows answered from the lists are those of
// a plain walk of the tree.
TEST_F(TreeListRowsTest, RandomEditsKeepTheListsEqualToATreeWalk) {
  std::mt19937 random(20240611);
  std::vector<TdxTreeListNode*> nodes;
  auto pick = [&]() -> TdxTreeListNode* {
    return nodes[std::uniform_int_distribution<size_t>(0, nodes.size() - 1)(random)];
  };
  auto chance = [&](int percent) { return std::uniform_int_distribution<int>(0, 99)(random) < percent; };
  auto forget = [&](TdxTreeListNode* root) {
    std::vector<TdxTreeListNode*> gone{root};
    for (TdxTreeListNode* n = root->GetNext(); n && n->HasAsParent(root); n = n->GetNext())
      gone.push_back(n);
    std::sort(gone.begin(), gone.end());
    std::erase_if(nodes, [&](TdxTreeListNode* n) { return std::binary_search(gone.begin(), gone.end(), n); });
  };

  int listModeSteps = 0;
  int incrementalSteps = 0;
  int largest = 0;
  bool reached = false;
  constexpr int kSteps = 10000;
  constexpr size_t kMaxNodes = 5000;
  for (int step = 0; step < kSteps; ++step) {
    // Grow to the largest size first, then hover below it.
    const bool grow = nodes.size() < kMaxNodes && (nodes.size() < 50 || chance(reached ? 45 : 92));
    const bool wasListMode = Tree->InListMode();
    std::string op;
    if (nodes.empty() || grow) {
      TdxTreeListNode* node = nullptr;
      if (!nodes.empty() && chance(50)) {
        op = "insert";
        TdxTreeListNode* before = pick();
        node = before->GetParent() ? before->GetParent()->InsertChild(before) : Tree->Insert(before);
      } else {
        op = "add";
        TdxTreeListNode* parent = nodes.empty() || chance(10) ? nullptr : pick();
        node = parent ? parent->AddChild() : Tree->Add();
      }
      Tree->SetNodeString(node, 0, std::to_string(step));
      nodes.push_back(node);
    } else {
      switch (std::uniform_int_distribution<int>(0, 9)(random)) {
        case 0:
        case 1:
        case 2:
          op = "expand";
          pick()->SetExpanded(true);
          break;
        case 3:
        case 4:
          op = "collapse";
          pick()->SetExpanded(false);
          break;
        case 5:
        case 6: {
          op = "delete";
          TdxTreeListNode* node = pick();
          forget(node);
          node->Delete();
          break;
        }
        default: {
          op = "move";
          TdxTreeListNode* node = pick();
          TdxTreeListNode* parent = chance(15) ? nullptr : pick();
          if (parent == node || (parent && parent->HasAsParent(node)))
            parent = nullptr;
          TdxTreeListNode* before = nullptr;
          const int siblings = parent ? parent->GetCount() : Tree->GetCount();
          if (siblings > 0 && chance(70)) {
            before = parent ? parent->GetItem(siblings / 2) : Tree->GetItem(siblings / 2);
            if (before == node)
              before = nullptr;
          }
          node->MoveTo(parent, before);
          break;
        }
      }
    }
    if (Tree->InListMode()) {
      ++listModeSteps;
      if (wasListMode && (op == "add" || op == "insert" || op == "delete"))
        ++incrementalSteps;
      ASSERT_EQ("", ListsInconsistent()) << "step " << step << " (" << op << ")";
    }
    ASSERT_EQ("", RowsDiffer()) << "step " << step << " (" << op << ")";
    largest = std::max(largest, static_cast<int>(nodes.size()));
    reached = reached || nodes.size() == kMaxNodes;
  }
  // The lists, not the walk, answered nearly always, mostly updated node by node.
  EXPECT_GT(listModeSteps, kSteps * 9 / 10);
  EXPECT_GT(incrementalSteps, kSteps / 2);
  EXPECT_EQ(static_cast<int>(kMaxNodes), largest);
}

}  // namespace
