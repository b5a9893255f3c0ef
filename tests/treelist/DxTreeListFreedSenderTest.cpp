// A handler that frees the tree list that fired its event ends what fired it: the focus
// moves, the keys, the mouse, the editor's start and end and the resize touch nothing of
// the control afterwards; a tree list being destroyed fires no events. Each case runs on the guarded heap, where a use of the freed
// tree list faults and is reported.
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "classlib/DragDrop.h"
#include "tests/editors/GuardedHeap.h"
#include "tests/treelist/TreeListInputTestSupport.h"
#include "treelist/DxTreeListControl.h"

namespace {

// Handlers of the tree list's events that free the tree list.
struct TFreeTree {
  void ChangeNode(TObject* sender, TdxTreeListNode*, TdxTreeListNode*) { delete sender; }
  void ChangeColumn(TObject* sender, int32_t, int32_t) { delete sender; }
  void Can(TObject* sender, TdxTreeListNode*, bool&) { delete sender; }
  void Validate(TObject* sender, std::string&, bool&) { delete sender; }
  void Column(TObject* sender, TdxTreeListColumn*) { delete sender; }
  void StartDrag(TObject* sender, TDragObject*&) { delete sender; }
  void EndDrag(TObject* sender, TObject*, int, int) { delete sender; }
  void DragOver(TObject* sender, TObject*, int, int, TDragState, bool&) { delete sender; }
  void DragDrop(TObject* sender, TObject*, int, int) { delete sender; }
};

class TreeListFreedSenderTest : public TreeListInputTest {
 protected:
  void SetUp() override {
    TreeListInputTest::SetUp();
    Show();
  }
  // A tree list of the nodes a, b (b1, b2), c, d, with its window, made on the guarded heap.
  TInputTreeList* Make(bool rowSelect = true, TdxTreeListOptions more = {}, TdxTreeListOptionsEx moreEx = {}) {
    TInputTreeList* tree = MakeTree(Form, 0);
    for (const char* name : {"a", "b", "c", "d"})
      Node(tree, nullptr, name, "1", "x");
    Node(tree, tree->GetItem(1), "b1");
    TdxTreeListOptions options = tree->GetOptions() + more;
    tree->SetOptions(rowSelect ? options.Include(aoRowSelect) : options.Exclude(aoRowSelect));
    tree->SetOptionsEx(tree->GetOptionsEx() + moreEx);
    tree->HandleNeeded();
    tree->UpdateGuarded();
    return tree;
  }
  // A column-bound tree list of one edited text column and one node, on the guarded heap.
  TCustomdxTreeListControl* MakeGrid() {
    auto* grid = new TCustomdxTreeListControl(Form);
    grid->SetParent(Form);
    grid->SetBounds(0, 0, 380, 260);
    grid->CreateColumn(&TdxTreeListColumn::MetaClass(), Form)->SetCaption("Name");
    grid->SetOptions(grid->GetOptions().Include(aoEditing).Include(aoColumnEditing).Exclude(aoRowSelect));
    static_cast<TdxTreeListTextNode*>(grid->Add())->GetStrings()->Add("a");
    grid->UpdateGuarded();
    return grid;
  }
  TInputTreeList* OnChangeNode(TInputTreeList* tree) {
    tree->OnChangeNode = TdxTreeListChangeNodeEvent::Bind<&TFreeTree::ChangeNode>(&FreeTree);
    return tree;
  }
  TInputTreeList* OnChangeColumn(TInputTreeList* tree) {
    tree->OnChangeColumn = TdxTreeListChangeColumnEvent::Bind<&TFreeTree::ChangeColumn>(&FreeTree);
    return tree;
  }
  static bool FreedByKey(TCustomdxTreeList* tree, WORD vk) {
    return FreedBy(tree, [vk](TCustomdxTreeList* t) { t->Perform(WM_KEYDOWN, vk, 1); });
  }
  static bool FreedByMouse(TCustomdxTreeList* tree, UINT msg, const TPoint& p, WPARAM keys) {
    return FreedBy(tree, [&](TCustomdxTreeList* t) { t->Perform(msg, keys, MAKELPARAM(p.x, p.y)); });
  }
  TPoint RowPointOf(TCustomdxTreeList* tree, int index) {
    TRect rect;
    tree->GetNavigator().GetNodeRowRect(tree->GetItem(index), rect);
    return Point(rect.left + 100, (rect.top + rect.bottom) / 2);
  }
  TFreeTree FreeTree;
  TFreeSender FreeSender;
};

// Fault: a focus move went on to fire OnChangeColumn through the control after
// OnChangeNode had freed it (use after free).
TEST_F(TreeListFreedSenderTest, AChangeNodeHandlerThatFreesTheTreeListEndsTheFocusMove) {
  const TGuardedHeap guarded;
  EXPECT_TRUE(FreedBy(OnChangeNode(Make()), [](TInputTreeList* tree) {
    tree->SetFocusedNode(tree->GetItem(2), 2, /*makeVisible=*/false);
  }));
  EXPECT_TRUE(Exceptions.Messages.empty());
}

// Fault: the keys went on with the tree list after its OnKeyDown, OnKeyPress,
// OnChangeNode, OnChangeColumn, OnCanExpand or OnEditing handler had freed it: the
// keyboard's work after the focus moves (selecting, scrolling the column into view,
// searching), after the expansion and after the editor's start (use after free).
TEST_F(TreeListFreedSenderTest, AHandlerThatFreesTheTreeListEndsTheKey) {
  const TGuardedHeap guarded;
  TInputTreeList* keyed = Make();
  keyed->OnKeyDown = TKeyEvent::Bind<&TFreeSender::Key>(&FreeSender);
  EXPECT_TRUE(FreedByKey(keyed, VK_DOWN));
  TInputTreeList* pressed = Make();
  pressed->OnKeyPress = TKeyPressEvent::Bind<&TFreeSender::Char>(&FreeSender);
  EXPECT_TRUE(FreedBy(pressed, [](TInputTreeList* tree) { tree->Perform(WM_CHAR, 'a', 1); }));

  EXPECT_TRUE(FreedByKey(OnChangeNode(Make()), VK_DOWN));
  EXPECT_TRUE(FreedByKey(OnChangeNode(Make()), VK_NEXT));
  {
    const TKeysHeld shift{VK_SHIFT};
    EXPECT_TRUE(FreedByKey(OnChangeNode(Make(true, {aoMultiSelect})), VK_END)) << "Shift+End";
  }
  for (WORD vk : {WORD(VK_RIGHT), WORD(VK_END), WORD(VK_TAB)})
    EXPECT_TRUE(FreedByKey(OnChangeColumn(Make(/*rowSelect=*/false)), vk)) << "key " << vk;
  {
    const TKeysHeld ctrl{VK_CONTROL};
    EXPECT_TRUE(FreedByKey(OnChangeColumn(Make(/*rowSelect=*/false)), VK_RIGHT)) << "Ctrl+Right";
  }
  TInputTreeList* searched = OnChangeNode(Make(true, {}, {aoIncrementalSearch}));
  EXPECT_TRUE(FreedBy(searched, [](TInputTreeList* tree) { tree->Perform(WM_CHAR, 'c', 1); })) << "search";

  TInputTreeList* expanded = Make();
  expanded->SetFocusedNode(expanded->GetItem(1), 0, false);
  expanded->OnCanExpand = TdxTreeListCanNodeEvent::Bind<&TFreeTree::Can>(&FreeTree);
  EXPECT_TRUE(FreedBy(expanded, [](TInputTreeList* tree) { tree->Perform(WM_CHAR, '+', 1); }));
  TInputTreeList* edited = Make(/*rowSelect=*/false, {aoEditing});
  edited->OnEditing = TdxTreeListCanNodeEvent::Bind<&TFreeTree::Can>(&FreeTree);
  EXPECT_TRUE(FreedByKey(edited, VK_F2));
  TCustomdxTreeListControl* grid = MakeGrid();
  grid->OnEditing = TdxTreeListCanNodeEvent::Bind<&TFreeTree::Can>(&FreeTree);
  EXPECT_TRUE(FreedByKey(grid, VK_F2)) << "the column-bound control asks its column after the handler";
  EXPECT_TRUE(Exceptions.Messages.empty());
}

// Fault: the mouse went on with the tree list after a press's focus move, a drag's
// selection, the double click or the release's click had fired a handler that freed it
// (use after free).
TEST_F(TreeListFreedSenderTest, AHandlerThatFreesTheTreeListEndsTheMouseMessage) {
  const TGuardedHeap guarded;
  TInputTreeList* pressed = OnChangeNode(Make());
  EXPECT_TRUE(FreedByMouse(pressed, WM_LBUTTONDOWN, RowPointOf(pressed, 2), MK_LBUTTON));
  ReleaseCapture();
  TInputTreeList* dragged = Make(true, {aoMultiSelect}, {aoDragSelectRows});
  dragged->Perform(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(RowPointOf(dragged, 0).x, RowPointOf(dragged, 0).y));
  OnChangeNode(dragged);
  EXPECT_TRUE(FreedByMouse(dragged, WM_MOUSEMOVE, RowPointOf(dragged, 2), MK_LBUTTON)) << "selecting rows";
  ReleaseCapture();
  TInputTreeList* doubled = Make();
  doubled->OnDblClick = TNotifyEvent::Bind<&TFreeSender::Notify>(&FreeSender);
  const TPoint belowRows = Point(RowPointOf(doubled, 3).x, RowPointOf(doubled, 3).y + 40);
  EXPECT_TRUE(FreedByMouse(doubled, WM_LBUTTONDBLCLK, belowRows, MK_LBUTTON)) << "below the rows";
  ReleaseCapture();
  TInputTreeList* clicked = Make();
  clicked->Perform(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(RowPointOf(clicked, 2).x, RowPointOf(clicked, 2).y));
  clicked->OnClick = TNotifyEvent::Bind<&TFreeSender::Notify>(&FreeSender);
  EXPECT_TRUE(FreedByMouse(clicked, WM_LBUTTONUP, RowPointOf(clicked, 2), 0));
  ReleaseCapture();
  EXPECT_TRUE(Exceptions.Messages.empty());
}

// Fault: the tree list went on after OnExit, OnResize and (ending the edit on a resize)
// the edit's validation had freed it (use after free).
TEST_F(TreeListFreedSenderTest, AnExitResizeOrValidationHandlerThatFreesTheTreeListEndsTheMessage) {
  const TGuardedHeap guarded;
  TInputTreeList* left = Make();
  left->OnExit = TNotifyEvent::Bind<&TFreeSender::Notify>(&FreeSender);
  EXPECT_TRUE(FreedBy(left, [](TInputTreeList* tree) { tree->Perform(CM_EXIT); }));
  TInputTreeList* sized = Make();
  sized->OnResize = TNotifyEvent::Bind<&TFreeSender::Notify>(&FreeSender);
  EXPECT_TRUE(FreedBy(sized, [](TInputTreeList* t) { t->Perform(WM_SIZE, SIZE_RESTORED, MAKELPARAM(380, 260)); }));

  TCustomdxTreeListControl* grid = MakeGrid();
  grid->SetFocus();
  grid->GetEditController().ShowEditor();
  ASSERT_NE(grid->GetEditor(), nullptr);
  grid->GetEditor()->SetTextAsUser("typed");
  grid->OnEditValidate = TdxTreeListEditValidateEvent::Bind<&TFreeTree::Validate>(&FreeTree);
  EXPECT_TRUE(FreedBy(grid, [](TCustomdxTreeListControl* g) { g->Perform(WM_SIZE, SIZE_RESTORED, MAKELPARAM(380, 260)); }));
  EXPECT_TRUE(Exceptions.Messages.empty());
}

// Fault: a tree list being destroyed fired OnChangeTopNode and OnSelectionChanged (a
// descendant's destructor clears the nodes before the base's marks it as being
// destroyed) and OnExit (its focused window went): handlers ran on a half-destroyed
// control, and one that freed its sender deleted it twice.
TEST_F(TreeListFreedSenderTest, ATreeListBeingDestroyedFiresNoEvents) {
  const TGuardedHeap guarded;
  struct TRecord {
    std::vector<std::string> Fired;
    void TopNode(TObject*, TdxTreeListNode*) { Fired.push_back("OnChangeTopNode"); }
    void Selection(TObject*) { Fired.push_back("OnSelectionChanged"); }
    void ChangeNode(TObject*, TdxTreeListNode*, TdxTreeListNode*) { Fired.push_back("OnChangeNode"); }
    void Exit(TObject*) { Fired.push_back("OnExit"); }
  } record;
  auto listen = [&record](TCustomdxTreeList* tree) {
    tree->SetFocus();
    tree->OnChangeTopNode = TdxTreeListNodeEvent::Bind<&TRecord::TopNode>(&record);
    tree->OnSelectionChanged = TNotifyEvent::Bind<&TRecord::Selection>(&record);
    tree->OnChangeNode = TdxTreeListChangeNodeEvent::Bind<&TRecord::ChangeNode>(&record);
    tree->OnExit = TNotifyEvent::Bind<&TRecord::Exit>(&record);
  };
  // Scrolled, with a selection and the focus: its nodes and its window go with it.
  TInputTreeList* tree = Make(true, {aoMultiSelect});
  for (int i = 0; i < 30; ++i)
    Node(tree, nullptr, "n" + std::to_string(i));
  tree->GetItem(2)->SetSelected(true);
  tree->SetTopNode(tree->GetItem(3));
  listen(tree);
  delete tree;
  EXPECT_EQ(record.Fired, std::vector<std::string>{});
  TCustomdxTreeListControl* grid = MakeGrid();
  listen(grid);
  delete grid;
  EXPECT_EQ(record.Fired, std::vector<std::string>{}) << "the column-bound control";
  EXPECT_TRUE(Exceptions.Messages.empty());
}

// Fault: a release on a column's header went on to the deferred selection after the
// column's click handler had freed the tree list (use after free).
TEST_F(TreeListFreedSenderTest, AColumnClickHandlerThatFreesTheTreeListEndsTheRelease) {
  const TGuardedHeap guarded;
  TCustomdxTreeListControl* grid = MakeGrid();
  grid->OnColumnClick = TdxTreeListColumnEvent::Bind<&TFreeTree::Column>(&FreeTree);
  TdxTreeListLayout layout;
  grid->CalcLayout(layout);
  const TdxTreeListColumnEntry* entry = layout.FindColumn(0);
  ASSERT_NE(entry, nullptr);
  const TPoint p = Point((entry->Rect.left + entry->Rect.right) / 2, (entry->Rect.top + entry->Rect.bottom) / 2);
  grid->Perform(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(p.x, p.y));
  EXPECT_TRUE(FreedByMouse(grid, WM_LBUTTONUP, p, 0));
  ReleaseCapture();
  EXPECT_TRUE(Exceptions.Messages.empty());
}

// Fault: the drag went on with the tree list's drag part after OnStartDrag, OnEndDrag,
// OnDragOver or OnDragDrop had freed the tree list (use after free).
TEST_F(TreeListFreedSenderTest, ADragHandlerThatFreesTheTreeListEndsTheDragStep) {
  const TGuardedHeap guarded;
  TInputTreeList* started = Make();
  started->OnStartDrag = TStartDragEvent::Bind<&TFreeTree::StartDrag>(&FreeTree);
  EXPECT_TRUE(FreedBy(started, [](TInputTreeList* t) { t->BeginDrag(/*immediate=*/true); }));
  TInputTreeList* ended = Make();
  ended->BeginDrag(/*immediate=*/true);
  ended->OnEndDrag = TEndDragEvent::Bind<&TFreeTree::EndDrag>(&FreeTree);
  EXPECT_TRUE(FreedBy(ended, [](TInputTreeList* t) { t->EndDrag(/*drop=*/false); }));
  // Another tree list's drag, over a tree list and dropped on it.
  TDragControlObject other(Make());
  for (TDragMessage kind : {dmDragMove, dmDragDrop}) {
    TInputTreeList* target = Make();
    target->OnDragOver = TDragOverEvent::Bind<&TFreeTree::DragOver>(&FreeTree);
    target->OnDragDrop = TDragDropEvent::Bind<&TFreeTree::DragDrop>(&FreeTree);
    TDragRec rec{target->ClientToScreen(Point(5, 5)), &other, target, /*Docking=*/false};
    EXPECT_TRUE(FreedBy(target, [&](TInputTreeList* t) { t->Perform(CM_DRAG, kind, LPARAM(&rec)); })) << kind;
  }
  ReleaseCapture();
  EXPECT_TRUE(Exceptions.Messages.empty());
}

}  // namespace
