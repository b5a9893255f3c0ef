#include <map>
#include <sstream>

#include "tests/controls/ControlsTestSupport.h"
#include "tests/editors/GuardedHeap.h"
#include "tests/support/MemoryRecorder.h"
#include "tests/treelist/TreeListTestSupport.h"

namespace {

class TreeListNodeTest : public ::testing::Test {
 protected:
  TTestTreeList* Tree = new TTestTreeList(nullptr);
  std::map<std::string, TdxTreeListNode*> Nodes;

  ~TreeListNodeTest() override {
    // Handlers bound to a test's locals are gone by now.
    Tree->OnDeletion = nullptr;
    delete Tree;
  }

  // Builds "a[b c[d]] e": names, with the children of a node in brackets after it.
  void Build(const std::string& shape) {
    std::vector<TdxTreeListNode*> parents{nullptr};
    TdxTreeListNode* last = nullptr;
    std::string name;
    auto flush = [&] {
      if (name.empty())
        return;
      last = Tree->AddNode(parents.back(), name);
      Nodes[name] = last;
      name.clear();
    };
    for (char c : shape) {
      if (c == '[') {
        flush();
        parents.push_back(last);
      } else if (c == ']') {
        flush();
        parents.pop_back();
      } else if (c == ' ') {
        flush();
      } else {
        name += c;
      }
    }
    flush();
  }
  TdxTreeListNode* N(const std::string& name) { return Nodes.at(name); }
  // The names in pre-order through GetNext, or in reverse through GetPrev.
  std::string Forward() {
    std::string out;
    for (TdxTreeListNode* n = Tree->GetFirstNode(); n; n = n->GetNext())
      out += TTestTreeList::TextOf(n) + " ";
    return out;
  }
  std::string Backward(TdxTreeListNode* from) {
    std::string out;
    for (TdxTreeListNode* n = from; n; n = n->GetPrev())
      out += TTestTreeList::TextOf(n) + " ";
    return out;
  }
  std::string ShownForward() {
    std::string out;
    for (TdxTreeListNode* n = Tree->GetFirstNode(); n; n = n->GetNextVisible())
      out += TTestTreeList::TextOf(n) + " ";
    return out;
  }
  std::string Joined(const std::vector<std::string>& items) {
    std::string out;
    for (const std::string& s : items)
      out += s + " ";
    return out;
  }
};

TEST_F(TreeListNodeTest, StructuralQueriesFollowTheTree) {
  Build("a[b[c d] e] f");
  EXPECT_EQ(2, Tree->GetCount());
  EXPECT_EQ(2, N("a")->GetCount());
  EXPECT_EQ(N("e"), N("a")->GetItem(1));
  EXPECT_EQ(1, N("a")->IndexOf(N("e")));
  EXPECT_EQ(-1, N("a")->IndexOf(N("c")));
  EXPECT_EQ(1, N("d")->GetIndex());
  EXPECT_EQ(1, N("f")->GetIndex());
  EXPECT_EQ(2, N("c")->GetLevel());
  EXPECT_EQ(0, N("f")->GetLevel());
  EXPECT_EQ(N("b"), N("a")->GetFirstChild());
  EXPECT_EQ(N("e"), N("a")->GetLastChild());
  EXPECT_EQ(N("e"), N("b")->GetNextSibling());
  EXPECT_EQ(N("a"), N("f")->GetPrevSibling());
  EXPECT_EQ(nullptr, N("f")->GetNextSibling());
  EXPECT_EQ("a b c d e f ", Forward());
  EXPECT_EQ("f e d c b a ", Backward(N("f")));
  EXPECT_TRUE(N("d")->HasAsParent(N("a")));
  EXPECT_FALSE(N("a")->HasAsParent(N("d")));
  EXPECT_TRUE(N("e")->IsLast());
  EXPECT_FALSE(N("b")->IsLast());
  EXPECT_TRUE(N("a")->GetHasChildren());
  EXPECT_FALSE(N("c")->GetHasChildren());
  EXPECT_EQ(Tree, N("c")->GetOwner());
  EXPECT_EQ(N("b"), N("c")->GetParent());
}

TEST_F(TreeListNodeTest, QueriesAtTheEdgesAnswerNone) {
  Build("a[b] c");
  EXPECT_EQ(nullptr, N("b")->GetLastChild());
  EXPECT_EQ(nullptr, N("a")->GetItem(-1));
  EXPECT_EQ(nullptr, N("a")->GetItem(1));
  EXPECT_EQ(nullptr, Tree->GetItem(-1));
  EXPECT_EQ(nullptr, Tree->GetItem(2));
  for (const char* name : {"a", "b", "c"})
    EXPECT_FALSE(N("c")->HasAsParent(N(name))) << name;
  EXPECT_FALSE(N("a")->HasAsParent(nullptr));
  EXPECT_EQ(nullptr, N("a")->GetPrev());
  EXPECT_EQ(nullptr, N("c")->GetNext());
}

TEST_F(TreeListNodeTest, ANodeWithoutOwnerIsRefused) {
  try {
    new TdxTreeListTextNode(nullptr);
    FAIL() << "no exception";
  } catch (const EInvaliddxTreeListOperation& e) {
    EXPECT_STREQ("Invalid Owner TdxTreeListNode", e.what());
  }
}

TEST_F(TreeListNodeTest, NodesAreAddedAndInsertedWhereAsked) {
  Build("a[b d] e");
  TdxTreeListNode* c = N("a")->InsertChild(N("d"));
  Tree->SetNodeString(c, 0, "c");
  TdxTreeListNode* z = N("a")->InsertChild(nullptr);
  Tree->SetNodeString(z, 0, "z");
  TdxTreeListNode* top = Tree->Insert(N("a"));
  Tree->SetNodeString(top, 0, "t");
  EXPECT_EQ("t a b c d z e ", Forward());
  EXPECT_EQ(N("a"), c->GetParent());
  EXPECT_EQ(nullptr, top->GetParent());

  // A node to insert before must be a child of that parent.
  EXPECT_THROW(N("a")->InsertChild(N("e")), EInvaliddxTreeListOperation);
  EXPECT_THROW(Tree->Insert(N("b")), EInvaliddxTreeListOperation);
  EXPECT_EQ("t a b c d z e ", Forward());
}

TEST_F(TreeListNodeTest, TheFirstNodeBecomesTopAndFocused) {
  Build("a[b] c");
  EXPECT_EQ(N("a"), Tree->GetTopNode());
  EXPECT_EQ(N("a"), Tree->GetFocusedNode());
  // No change event: the focus was taken, not moved.
  EXPECT_TRUE(Tree->Log.empty()) << Joined(Tree->Log);
}

TEST_F(TreeListNodeTest, ExpandingNeedsTheHasChildrenFlag) {
  Build("a");
  N("a")->SetExpanded(true);
  EXPECT_FALSE(N("a")->GetExpanded());
  EXPECT_TRUE(Tree->Log.empty());

  N("a")->SetHasChildren(true);
  N("a")->SetExpanded(true);
  EXPECT_TRUE(N("a")->GetExpanded());
  EXPECT_EQ("expanded:a ", Joined(Tree->Log));

  // The flag stays set while children exist.
  Build("b[c]");
  N("b")->SetHasChildren(false);
  EXPECT_TRUE(N("b")->GetHasChildren());
}

TEST_F(TreeListNodeTest, TheOwnerMayRefuseToExpandOrCollapse) {
  Build("a[b]");
  bool allow = false;
  struct TRefuse {
    bool* Allow;
    void Can(TObject*, TdxTreeListNode*, bool& a) { a = *Allow; }
  } refuse{&allow};
  Tree->OnCanExpand = TdxTreeListCanNodeEvent::Bind<&TRefuse::Can>(&refuse);
  N("a")->SetExpanded(true);
  EXPECT_FALSE(N("a")->GetExpanded());
  allow = true;
  N("a")->SetExpanded(true);
  EXPECT_TRUE(N("a")->GetExpanded());
  Tree->OnCanCollapse = TdxTreeListCanNodeEvent::Bind<&TRefuse::Can>(&refuse);
  allow = false;
  N("a")->SetExpanded(false);
  EXPECT_TRUE(N("a")->GetExpanded());
  EXPECT_EQ("expanded:a ", Joined(Tree->Log));
}

TEST_F(TreeListNodeTest, CollapsingAnAncestorOfTheFocusedNodeFocusesIt) {
  Build("a[b[c]] d");
  N("a")->Expand(true);
  N("c")->SetFocused(true);
  Tree->Log.clear();
  N("a")->SetExpanded(false);
  // The focus moved before the node collapsed.
  EXPECT_EQ("focus:c>a collapsed:a ", Joined(Tree->Log));
  EXPECT_EQ(N("a"), Tree->GetFocusedNode());
  EXPECT_FALSE(N("a")->GetExpanded());
  EXPECT_TRUE(N("b")->GetExpanded());
}

TEST_F(TreeListNodeTest, ARefusedFocusKeepsTheNodeExpanded) {
  Build("a[b[c]] d");
  N("a")->Expand(true);
  N("c")->SetFocused(true);
  Tree->RefuseFocus = true;
  Tree->Log.clear();
  N("a")->SetExpanded(false);
  EXPECT_TRUE(N("a")->GetExpanded());
  EXPECT_EQ(N("c"), Tree->GetFocusedNode());
  EXPECT_TRUE(Tree->Log.empty()) << Joined(Tree->Log);
}

TEST_F(TreeListNodeTest, CollapsingAnAncestorOfTheTopNodeMakesItTheTop) {
  Build("a[b[c]] d");
  Tree->SetHeight(18 + 2 * 18);  // the header and two rows: the top stays where it is put
  N("a")->Expand(true);
  Tree->SetTopNode(N("c"));
  N("b")->SetExpanded(false);
  EXPECT_EQ(N("b"), Tree->GetTopNode());
}

TEST_F(TreeListNodeTest, ExpandWithRecurseOpensTheSubtreeInOneUpdate) {
  Build("a[b[c[d]] e[f]] g");
  N("a")->Expand(true);
  for (const char* name : {"a", "b", "c", "e"})
    EXPECT_TRUE(N(name)->GetExpanded()) << name;
  EXPECT_EQ("a b c d e f g ", ShownForward());
  EXPECT_TRUE(Tree->InListMode());
  EXPECT_EQ(0, Tree->GetLockCount());
  N("g")->Expand(false);  // no children: nothing happens
  EXPECT_FALSE(N("g")->GetExpanded());
}

TEST_F(TreeListNodeTest, DeletingTheLastChildClearsTheParentsState) {
  Build("a[b] c");
  N("a")->SetExpanded(true);
  N("b")->Delete();
  EXPECT_FALSE(N("a")->GetExpanded());
  EXPECT_FALSE(N("a")->GetHasChildren());
  EXPECT_EQ(nullptr, N("a")->GetChildren());
  EXPECT_EQ(0, N("a")->GetCount());
}

// A descendant's default for the has-children flag is what the parent takes.
class TKeepButtonTreeList : public TTestTreeList {
  KIVO_CLASS(TKeepButtonTreeList, TTestTreeList)
 public:
  using TTestTreeList::TTestTreeList;
  bool GetDefaultHasChildren(TdxTreeListNode*) override { return true; }
};

TEST(TreeListNodeDefaults, TheParentTakesTheOwnersDefaultHasChildren) {
  TKeepButtonTreeList tree(nullptr);
  TdxTreeListNode* a = tree.AddNode(nullptr, "a");
  TdxTreeListNode* b = tree.AddNode(a, "b");
  a->SetExpanded(true);
  b->Delete();
  EXPECT_TRUE(a->GetHasChildren());
  EXPECT_FALSE(a->GetExpanded());
}

TEST_F(TreeListNodeTest, DeletingASubtreeDeletesChildrenFirst) {
  Build("a[b[c] d] e");
  std::vector<std::string> deleted;
  struct TRecord {
    std::vector<std::string>* Deleted;
    void Go(TObject*, TdxTreeListNode* node) { Deleted->push_back(TTestTreeList::TextOf(node)); }
  } record{&deleted};
  Tree->OnDeletion = TdxTreeListNodeEvent::Bind<&TRecord::Go>(&record);
  N("a")->Delete();
  EXPECT_EQ("c b d a ", Joined(deleted));
  EXPECT_EQ(1, Tree->GetCount());
  EXPECT_EQ(N("e"), Tree->GetTopNode());
  EXPECT_EQ(N("e"), Tree->GetFocusedNode());
}

// Fault: clearing all nodes freed the children of a detached list while each child still
// unlinked itself from that list, which skipped children and freed some twice.
TEST_F(TreeListNodeTest, ClearingFreesEveryNodeExactlyOnce) {
  Build("a[b[c d[e f]] g[h i j]] k[l] m");
  N("a")->Expand(true);
  std::map<TdxTreeListNode*, int> deletions;
  struct TRecord {
    std::map<TdxTreeListNode*, int>* Deletions;
    void Go(TObject*, TdxTreeListNode* node) { ++(*Deletions)[node]; }
  } record{&deletions};
  Tree->OnDeletion = TdxTreeListNodeEvent::Bind<&TRecord::Go>(&record);
  Tree->ClearNodes();
  EXPECT_EQ(Nodes.size(), deletions.size());
  for (const auto& [name, node] : Nodes)
    EXPECT_EQ(1, deletions[node]) << name;
  EXPECT_EQ(0, Tree->GetCount());
  EXPECT_EQ(0, Tree->GetRowCount());
}

TEST_F(TreeListNodeTest, ADeletionHandlerThatRaisesStillLetsEveryNodeGo) {
  Build("a[b c] d");
  int deleted = 0;
  struct TRaise {
    int* Deleted;
    void Go(TObject*, TdxTreeListNode*) {
      ++*Deleted;
      throw Exception("handler failed");
    }
  } raise{&deleted};
  Tree->OnDeletion = TdxTreeListNodeEvent::Bind<&TRaise::Go>(&raise);
  EXPECT_THROW(Tree->ClearNodes(), Exception);
  EXPECT_EQ(4, deleted);
  EXPECT_EQ(0, Tree->GetCount());
  EXPECT_FALSE(Tree->GetClearing());
  EXPECT_EQ(0, Tree->GetLockCount());
}

TEST_F(TreeListNodeTest, MovingKeepsOrReassignsTheParents) {
  Build("a[b c] d[e]");
  N("a")->SetExpanded(true);
  N("c")->MoveTo(N("a"), N("b"));
  EXPECT_EQ("a c b d e ", Forward());
  EXPECT_TRUE(N("a")->GetExpanded());

  N("e")->MoveTo(N("a"), nullptr);
  EXPECT_EQ("a c b e d ", Forward());
  EXPECT_FALSE(N("d")->GetHasChildren());
  EXPECT_EQ(N("a"), N("e")->GetParent());
  EXPECT_EQ(1, N("e")->GetLevel());

  N("a")->MoveTo(nullptr, nullptr);
  EXPECT_EQ("d a c b e ", Forward());
  N("b")->MoveTo(N("d"), nullptr);
  EXPECT_TRUE(N("d")->GetHasChildren());
  EXPECT_EQ("d b a c e ", Forward());
}

TEST_F(TreeListNodeTest, AMoveIntoTheOwnSubtreeIsRefused) {
  Build("a[b[c]] d");
  EXPECT_THROW(N("a")->MoveTo(N("c"), nullptr), EInvaliddxTreeListOperation);
  EXPECT_THROW(N("a")->MoveTo(N("a"), nullptr), EInvaliddxTreeListOperation);
  EXPECT_THROW(N("c")->MoveTo(N("a"), N("d")), EInvaliddxTreeListOperation);
  TTestTreeList other(nullptr);
  TdxTreeListNode* foreign = other.AddNode(nullptr, "x");
  EXPECT_THROW(N("c")->MoveTo(foreign, nullptr), EInvaliddxTreeListOperation);
  EXPECT_EQ("a b c d ", Forward());
}

TEST_F(TreeListNodeTest, AMoveThatHidesTheFocusedNodeFocusesItsShownAncestor) {
  Build("a[b] c[d]");
  N("a")->SetExpanded(true);
  N("b")->SetFocused(true);
  N("b")->MoveTo(N("c"), N("d"));
  EXPECT_EQ(N("c"), Tree->GetFocusedNode());
}

TEST_F(TreeListNodeTest, NodeValuesGoThroughTheOwner) {
  Build("a");
  N("a")->SetString(2, "two");
  EXPECT_EQ("two", N("a")->GetString(2));
  EXPECT_EQ("", N("a")->GetString(1));
  N("a")->SetValue(1, Variant(std::string("one")));
  EXPECT_EQ("one", N("a")->GetValue(1).AsString());
  N("a")->SetImageIndex(3);
  N("a")->SetStateIndex(4);
  EXPECT_EQ(3, N("a")->GetImageIndex());
  EXPECT_EQ(-1, N("a")->GetSelectedIndex());
  EXPECT_EQ(4, N("a")->GetStateIndex());
  EXPECT_EQ(0, N("a")->GetRowIndex());
}

TEST_F(TreeListNodeTest, SelectedFollowsFocusWithoutMultipleSelection) {
  Build("a b");
  EXPECT_TRUE(N("a")->GetSelected());
  EXPECT_FALSE(N("b")->GetSelected());
  Tree->SetOptions(Tree->GetOptions() + TdxTreeListOptions{aoMultiSelect});
  EXPECT_FALSE(N("a")->GetSelected());
  N("b")->SetSelected(true);
  EXPECT_TRUE(N("b")->GetSelected());
  N("a")->SetFocused(false);
  EXPECT_EQ(nullptr, Tree->GetFocusedNode());
}

// ---- Handlers that delete nodes, and nodes that go while handlers raise

// Deletes the node named `Victim` when the can-expand or can-collapse event comes for
// the node named `When`.
struct TDeleteOnEvent {
  std::map<std::string, TdxTreeListNode*>* Nodes;
  std::string When;
  std::string Victim;
  void Can(TObject*, TdxTreeListNode* node, bool&) {
    if (TTestTreeList::TextOf(node) == When)
      Nodes->at(Victim)->Delete();
  }
};

// Fault: expanding and collapsing went on with a node that a can-expand or
// can-collapse handler had deleted, and Expand(recurse) walked on in a deleted parent
// (use after free); a child deleted meanwhile made the walk skip its next sibling.
TEST_F(TreeListNodeTest, AHandlerThatDeletesANodeEndsTheExpansionOfThatNode) {
  const TGuardedHeap guarded;  // a freed node's memory faults when it is touched
  Build("a[b[c] d[e] f[g]] h[i] j[k] m[n[o[p]]]");
  TDeleteOnEvent handler{&Nodes, "h", "h"};
  Tree->OnCanExpand = TdxTreeListCanNodeEvent::Bind<&TDeleteOnEvent::Can>(&handler);
  Tree->OnCanCollapse = TdxTreeListCanNodeEvent::Bind<&TDeleteOnEvent::Can>(&handler);
  N("h")->SetExpanded(true);
  EXPECT_EQ("a b c d e f g j k m n o p ", Forward());

  N("j")->SetExpanded(true);
  handler = TDeleteOnEvent{&Nodes, "j", "j"};
  N("j")->SetExpanded(false);
  EXPECT_EQ("a b c d e f g m n o p ", Forward());

  // A child deleted by its own expansion leaves the walk on the next child.
  handler = TDeleteOnEvent{&Nodes, "b", "b"};
  N("a")->Expand(/*recurse=*/true);
  EXPECT_TRUE(N("d")->GetExpanded());
  EXPECT_TRUE(N("f")->GetExpanded());
  EXPECT_EQ("a d e f g m ", ShownForward());

  // The node being walked deleted by a child's expansion ends the walk.
  handler = TDeleteOnEvent{&Nodes, "n", "m"};
  N("m")->Expand(/*recurse=*/true);
  EXPECT_EQ("a d e f g ", Forward());

  // Making a node visible stops when an expansion on the way deletes it.
  Build("q[r[s]]");
  handler = TDeleteOnEvent{&Nodes, "r", "q"};
  Tree->MakeNodeVisible(N("s"));
  EXPECT_EQ("a d e f g ", Forward());
  EXPECT_EQ(0, Tree->GetLockCount());
  Tree->OnCanExpand = nullptr;
  Tree->OnCanCollapse = nullptr;
}

// A node that may be freed by a plain delete, as its owner may.
class TDeletableNode : public TdxTreeListTextNode {
  KIVO_CLASS(TDeletableNode, TdxTreeListTextNode)
 public:
  using TdxTreeListTextNode::TdxTreeListTextNode;
  ~TDeletableNode() override = default;
};

class TDeletableNodeTree : public TTestTreeList {
 public:
  using TTestTreeList::TTestTreeList;
  TdxTreeListNode* CreateNode() override { return new TDeletableNode(this); }
};

// Fault: a node's destructor ran the destruction steps that pass on what a deletion
// handler raises, so a plain delete with such a handler ended the process.
TEST(TreeListNodeDestruction, APlainDeleteTakesTheSubtreeWhateverTheHandlersRaise) {
  TExceptionRecorder exceptions;
  TDeletableNodeTree tree(nullptr);
  TdxTreeListNode* a = tree.AddNode(nullptr, "a");
  tree.AddNode(a, "b");
  tree.AddNode(a, "c");
  TdxTreeListNode* d = tree.AddNode(nullptr, "d");
  a->SetExpanded(true);
  std::vector<std::string> deleted;
  struct TRaise {
    std::vector<std::string>* Deleted;
    void Go(TObject*, TdxTreeListNode* node) {
      Deleted->push_back(TTestTreeList::TextOf(node));
      throw Exception("deletion handler failed");
    }
  } raise{&deleted};
  tree.OnDeletion = TdxTreeListNodeEvent::Bind<&TRaise::Go>(&raise);
  delete static_cast<TDeletableNode*>(a);
  EXPECT_EQ(deleted, (std::vector<std::string>{"b", "c", "a"}));
  EXPECT_EQ(exceptions.Messages, (std::vector<std::string>{"deletion handler failed"}));
  ASSERT_EQ(1, tree.GetCount());
  EXPECT_EQ(d, tree.GetFirstNode());
  EXPECT_EQ(d, tree.GetFocusedNode());
  EXPECT_EQ(1, tree.GetRowCount());

  // Delete keeps passing the error on.
  EXPECT_THROW(d->Delete(), Exception);
  EXPECT_EQ(0, tree.GetCount());
  tree.OnDeletion = nullptr;
}

// Fault: a new node was leaked when linking it failed (its child list or the list
// insert could not get memory).
TEST(TreeListNodeDestruction, AnAdditionThatFailsForWantOfMemoryLeavesNothingBehind) {
  auto attempt = [](bool child) {
    for (int failAt = 0; failAt < 100; ++failAt) {
      TMemoryRecorder recorder;
      auto* tree = new TTestTreeList(nullptr);
      TdxTreeListNode* parent = tree->AddNode(nullptr, "parent");
      bool added = false;
      TMemoryRecorder::FailGetMemAt(failAt);
      try {
        child ? parent->AddChild() : tree->Add();
        added = true;
      } catch (const std::bad_alloc&) {
      }
      TMemoryRecorder::FailGetMemAt(-1);
      // A child list made for the new node goes with it.
      EXPECT_EQ(parent->GetHasChildren(), parent->GetCount() > 0) << "allocation " << failAt << " failed";
      delete tree;
      EXPECT_EQ(recorder.GetMemCount(), recorder.FreeMemCount()) << "allocation " << failAt << " failed";
      if (added)
        return failAt;  // every allocation of the addition has failed once
    }
    return -1;
  };
  delete new TTestTreeList(nullptr);  // first-use work of the classes out of the way
  EXPECT_GT(attempt(/*child=*/true), 2);
  EXPECT_GT(attempt(/*child=*/false), 1);
}

}  // namespace
