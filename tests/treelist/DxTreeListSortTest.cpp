// Sorting the tree list's nodes: the order comparers, one sibling list by its keys, the
// levels a sort reaches, and the sort that follows the sorted columns of the control.
#include <climits>
#include <functional>
#include <random>
#include <set>

#include "classlib/Forms.h"
#include "tests/treelist/TreeListControlTestSupport.h"
#include "treelist/DxTreeListSort.h"

namespace {

class DxTreeListSortTest : public TreeListControlFixture {
 protected:
  // Column 0's text of every row, top to bottom.
  std::vector<std::string> RowTexts(int column = 0) {
    std::vector<std::string> texts;
    for (int row = 0; row < Tree->GetRowCount(); ++row)
      texts.push_back(Tree->GetNodeAtRow(row)->GetString(column));
    return texts;
  }
  // Top-level nodes with one text each in column 0.
  void Nodes(std::initializer_list<std::string> texts) {
    for (const std::string& text : texts)
      Node({text});
  }
  std::vector<std::string> ChildTexts(TdxTreeListNode* parent) {
    std::vector<std::string> texts;
    for (int i = 0; i < parent->GetCount(); ++i)
      texts.push_back(parent->GetItem(i)->GetString(0));
    return texts;
  }
  using Texts = std::vector<std::string>;
  // OnCompare answered by `handler`.
  void Compare(std::function<void(TObject*, TdxTreeListNode*, TdxTreeListNode*, int&)> handler) {
    FCompare.Handler = std::move(handler);
    Tree->OnCompare = TdxTreeListCompareEvent::Bind<&TCompareSink::Fire>(&FCompare);
  }

 private:
  struct TCompareSink {
    std::function<void(TObject*, TdxTreeListNode*, TdxTreeListNode*, int&)> Handler;
    void Fire(TObject* sender, TdxTreeListNode* n1, TdxTreeListNode* n2, int& compare) {
      Handler(sender, n1, n2, compare);
    }
  } FCompare;
};

TEST_F(DxTreeListSortTest, TreeOrderComparesByPreOrderPosition) {
  TdxTreeListNode* a = Node({"a"});
  TdxTreeListNode* a0 = Node({"a0"}, a);
  TdxTreeListNode* a1 = Node({"a1"}, a);
  TdxTreeListNode* a10 = Node({"a10"}, a1);
  TdxTreeListNode* b = Node({"b"});
  Node({"c"});
  TdxTreeListNode* c = Tree->GetItem(2);
  EXPECT_EQ(CompareNodesTreeOrder(a, a0), -1) << "a node before its own child";
  EXPECT_EQ(CompareNodesTreeOrder(a10, a), 1);
  EXPECT_EQ(CompareNodesTreeOrder(a1, a0), 1);
  EXPECT_EQ(CompareNodesTreeOrder(a, c), -1);
  EXPECT_EQ(CompareNodesTreeOrder(a10, b), -1) << "lifted to the top level: a before b";
  EXPECT_EQ(CompareNodesTreeOrder(a0, a10), -1) << "a0 before a1's child";
  EXPECT_EQ(CompareNodesTreeOrder(b, b), 0);
}

// Regression: subtracting two addresses overflows a 32-bit int; the tie-break answers
// -1, 0 or 1 by the addresses' order.
TEST_F(DxTreeListSortTest, TieBreaksAndFieldComparisonsDoNotOverflow) {
  TdxTreeListNode* a = Node({"a"});
  TdxTreeListNode* b = Node({"b"});
  const int ab = Tree->CompareNodes(a, b);
  EXPECT_TRUE(ab == 1 || ab == -1);
  EXPECT_EQ(Tree->CompareNodes(b, a), -ab);
  EXPECT_EQ(Tree->CompareNodes(a, a), 0);
  int32_t low = INT_MIN, high = INT_MAX;
  EXPECT_EQ(CompareFirstField(&low, &high), -1);
  EXPECT_EQ(CompareFirstField(&high, &low), 1);
  EXPECT_TRUE(SameTextIgnoringCase("Grid", "gRID"));
  EXPECT_FALSE(SameTextIgnoringCase("Grid1", "Grid10"));
}

TEST_F(DxTreeListSortTest, KeyRecordsPassEqualKeysOnAndReverseOnlyTheirOwnLevel) {
  TdxTreeListNode* n1 = Node({"x"});
  TdxTreeListNode* n2 = Node({"y"});
  TNodeVariant a2{n1, Variant(int32_t(1)), false, nullptr};
  TNodeVariant a1{n1, Variant("k"), true, &a2};
  TNodeVariant b2{n2, Variant(int32_t(2)), false, nullptr};
  TNodeVariant b1{n2, Variant("k"), true, &b2};
  EXPECT_EQ(CompareKeyRecords(&a1, &b1), -1) << "equal first keys: the second key, ascending";
  b2.Value = Variant(1.0);
  EXPECT_EQ(CompareKeyRecords(&a1, &b1), 0) << "1 and 1.0 are the same value";
  EXPECT_EQ(CompareKeyRecords(nullptr, &b1), 0);
  // The typed comparer breaks the tie by the control's node comparison.
  EXPECT_EQ(CompareKeyRecordsTyped(&a1, &b1), Tree->CompareNodes(n1, n2));
  b1.Value = Variant("j");
  EXPECT_EQ(CompareKeyRecords(&a1, &b1), -1) << "\"k\" after \"j\", reversed by the descending key";
  a1.Descending = b1.Descending = false;
  EXPECT_EQ(CompareByKeys(&a1, &b1), 1);
  // The natural comparison: numbers inside texts by value.
  a1.Value = Variant("a2");
  b1.Value = Variant("a10");
  EXPECT_EQ(CompareByKeys(&a1, &b1), -1);
  EXPECT_EQ(CompareKeyRecords(&a1, &b1), 1) << "the variant ordering compares texts ordinally";
}

TEST_F(DxTreeListSortTest, SortNodesOrdersNaturallyAndByEveryKey) {
  Column("name");
  Column("size");
  Nodes({"a10", "a2", "B1", "a1"});
  Tree->Sort(0, 0, false);
  EXPECT_EQ(RowTexts(), (Texts{"a1", "a2", "a10", "B1"})) << "natural order, without case";
  Tree->Sort(0, 0, true);
  EXPECT_EQ(RowTexts(), (Texts{"B1", "a10", "a2", "a1"}));

  // Two keys: name ascending, then size descending.
  Tree->ClearNodes();
  Node({"x", "1"});
  Node({"y", "5"});
  Node({"x", "3"});
  Node({"x", "20"});
  Option(aoMultiSort, true);
  Tree->BeginSortedUpdate();  // set the keys without sorting yet
  Tree->GetColumn(0)->SetSorted(csUp);
  Tree->GetColumn(1)->SetSorted(csDown);
  Tree->Sort(0, 0, false);
  EXPECT_EQ(RowTexts(1), (Texts{"20", "3", "1", "5"}));
  // Without multi-sort only the caller's key counts.
  Option(aoMultiSort, false);
  Tree->Sort(0, 1, false);
  EXPECT_EQ(RowTexts(1), (Texts{"1", "3", "5", "20"}));
  Option(aoMultiSort, true);
  Tree->EndSortedUpdate();
  EXPECT_EQ(RowTexts(1), (Texts{"20", "3", "1", "5"})) << "the release of the sort lock sorts";
}

TEST_F(DxTreeListSortTest, TheTypedSortComparesValuesAndBreaksTiesByCompareNodes) {
  Column("n");
  Nodes({"10", "9", "b", "B", "9"});
  Option(aoTypedSort, true);
  Tree->Sort(0, 0, false);
  // Texts compare by the locale (case-sensitive: "b" before "B" in the user's locale);
  // the two "9" nodes are ordered by the tie-break.
  const Texts sorted = RowTexts();
  EXPECT_EQ(sorted, (Texts{"10", "9", "9", "b", "B"}));
  TdxTreeListNode* first9 = Tree->GetNodeAtRow(1);
  TdxTreeListNode* second9 = Tree->GetNodeAtRow(2);
  EXPECT_EQ(Tree->CompareNodes(first9, second9), -1);
}

TEST_F(DxTreeListSortTest, OnCompareDecidesAloneAndItsFailureKeepsTheOrderAndCursor) {
  Column("n");
  Nodes({"b", "a", "c"});
  int calls = 0;
  Compare([&](TObject* sender, TdxTreeListNode* n1, TdxTreeListNode* n2, int& compare) {
    EXPECT_EQ(sender, Tree);
    EXPECT_EQ(compare, 0);
    ++calls;
    compare = -n1->GetString(0).compare(n2->GetString(0));  // reverse
  });
  Tree->Sort(0, 0, false);
  EXPECT_EQ(RowTexts(), (Texts{"c", "b", "a"})) << "the key's direction does not matter";

  // A single node, or none, runs no comparer.
  calls = 0;
  TdxTreeListNode* only = Node({"p"}, Tree->GetItem(0));
  Tree->SortNodes(only->GetParent()->GetChildren(), 0, false);
  Tree->SortNodes(only->GetChildren(), 0, false);
  Tree->SortNodes(nullptr, 0, false);
  EXPECT_EQ(calls, 0);

  // A comparer that raises: the order stays, the cursor comes back.
  Option(aoSortHourGlass, true);
  Screen->SetCursor(crDefault);
  TCursor during = crDefault;
  Compare([&](TObject*, TdxTreeListNode*, TdxTreeListNode*, int&) {
    during = Screen->GetCursor();
    throw Exception("no order");
  });
  EXPECT_THROW(Tree->Sort(0, 0, false), Exception);
  EXPECT_EQ(during, crHourGlass);
  EXPECT_EQ(Screen->GetCursor(), crDefault);
  EXPECT_EQ(RowTexts(), (Texts{"c", "b", "a"}));
}

TEST_F(DxTreeListSortTest, SortLevelsReachTheirSiblingLists) {
  Column("n");
  auto tree = [&] {
    Tree->ClearNodes();
    for (const char* top : {"t2", "t1"}) {
      TdxTreeListNode* node = Node({top});
      TdxTreeListNode* c2 = Node({"c2"}, node);
      Node({"c1"}, node);
      Node({"g2"}, c2);
      Node({"g1"}, c2);
    }
  };
  tree();
  Tree->Sort(0, 0, false);
  EXPECT_EQ(Tree->GetItem(0)->GetString(0), "t1");
  EXPECT_EQ(ChildTexts(Tree->GetItem(0)), (Texts{"c2", "c1"})) << "level 0: the top level alone";
  tree();
  Tree->Sort(1, 0, false);
  EXPECT_EQ(Tree->GetItem(0)->GetString(0), "t2");
  EXPECT_EQ(ChildTexts(Tree->GetItem(0)), (Texts{"c1", "c2"}));
  EXPECT_EQ(ChildTexts(Tree->GetItem(0)->GetItem(1)), (Texts{"g2", "g1"}));
  tree();
  Tree->Sort(2, 0, false);
  EXPECT_EQ(ChildTexts(Tree->GetItem(0)), (Texts{"c2", "c1"}));
  EXPECT_EQ(ChildTexts(Tree->GetItem(0)->GetItem(0)), (Texts{"g1", "g2"}));
  tree();
  Tree->Sort(-1, 0, false);
  EXPECT_EQ(Tree->GetItem(0)->GetString(0), "t1");
  EXPECT_EQ(ChildTexts(Tree->GetItem(1)), (Texts{"c1", "c2"}));
  EXPECT_EQ(ChildTexts(Tree->GetItem(1)->GetItem(1)), (Texts{"g1", "g2"})) << "the grandchildren too";
  // Level 3: nothing has great-grandchildren.
  Tree->Sort(3, 0, true);
  EXPECT_EQ(ChildTexts(Tree->GetItem(1)->GetItem(1)), (Texts{"g1", "g2"}));
}

// Regression (F16): nothing ever called Sort, and the control's nodes had no sort value,
// so a header click turned the arrow and left the rows as they were.
TEST_F(DxTreeListSortTest, HeaderClicksAndSortedColumnsReorderTheRows) {
  Column("name");
  Column("size");
  Node({"a10", "1"});
  Node({"a2", "2"});
  TdxTreeListNode* parent = Node({"b", "2"});
  Node({"z"}, parent);
  Node({"y"}, parent);
  parent->SetExpanded(true);
  Node({"a1", "1"});
  Tree->GetMouse().ClickColumnHeader(0, {});
  EXPECT_EQ(RowTexts(), (Texts{"a1", "a2", "a10", "b", "y", "z"})) << "children sorted too";
  Tree->GetMouse().ClickColumnHeader(0, {});
  EXPECT_EQ(RowTexts(), (Texts{"b", "z", "y", "a10", "a2", "a1"})) << "the second click reverses";
  EXPECT_EQ(Tree->GetRows().GetRowNodes().size(), 6u) << "the row lists are rebuilt";
  EXPECT_EQ(Tree->GetNodeRowIndex(parent), 0);

  // Shift adds a second key (multi-sort): size first, then name descending.
  Option(aoMultiSort, true);
  Tree->GetMouse().ClickColumnHeader(1, {});
  Tree->GetMouse().ClickColumnHeader(0, {ssShift});
  Tree->GetMouse().ClickColumnHeader(0, {ssShift});
  EXPECT_EQ(RowTexts(), (Texts{"a10", "a1", "b", "z", "y", "a2"}));
  // Sorted set in code sorts as well; unsorting keeps the order.
  Tree->GetColumn(1)->SetSorted(csNone);
  EXPECT_EQ(RowTexts(), (Texts{"b", "z", "y", "a10", "a2", "a1"}));
  Tree->GetColumn(0)->SetSorted(csNone);
  EXPECT_EQ(RowTexts(), (Texts{"b", "z", "y", "a10", "a2", "a1"}));
}

// The list sort's scans stay inside the list whatever the comparer answers: a random
// comparer leaves every node exactly once.
TEST_F(DxTreeListSortTest, AComparerAnsweringAtRandomSortsWithoutFault) {
  Column("n");
  constexpr int kCount = 10000;
  std::set<TdxTreeListNode*> nodes;
  Tree->BeginUpdate();
  for (int i = 0; i < kCount; ++i)
    nodes.insert(Node({std::to_string(i)}));
  Tree->EndUpdate();
  std::mt19937 random(7);
  Compare([&](TObject*, TdxTreeListNode*, TdxTreeListNode*, int& compare) { compare = int(random() % 3) - 1; });
  for (int run = 0; run < 100; ++run) {
    Tree->Sort(0, 0, false);
    ASSERT_EQ(Tree->GetCount(), kCount);
    std::set<TdxTreeListNode*> after;
    for (int i = 0; i < kCount; ++i)
      after.insert(Tree->GetItem(i));
    ASSERT_EQ(after, nodes) << "run " << run;
  }
  EXPECT_EQ(Tree->GetRowCount(), kCount);
}

}  // namespace
