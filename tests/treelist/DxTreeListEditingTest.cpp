// In-place editing in the column-bound tree list, and sorting by header clicks, driven
// by posted key and mouse messages on a shown form: typing opens the column's editor
// with the character, Escape restores the text, leaving a cell stores only a change,
// moving the column from inside the editor stores first.
#include "classlib/Clipboard.h"
#include "tests/treelist/TreeListInputTestSupport.h"
#include "treelist/DxTreeListControl.h"
#include "treelist/DxTreeListMaskColumn.h"

namespace {

// A text column that counts the values stored into its cells.
class TCountingColumn : public TdxTreeListColumn {
  KIVO_CLASS(TCountingColumn, TdxTreeListColumn)
 public:
  explicit TCountingColumn(TComponent* AOwner) : TdxTreeListColumn(AOwner) {}
  void AssignEditValue(TdxTreeListNode* Node, TdxInplaceEdit* Editor, Variant& Value) override {
    ++Stores;
    TdxTreeListColumn::AssignEditValue(Node, Editor, Value);
  }
  int Stores = 0;
};

class DxTreeListEditingTest : public FormTest {
 protected:
  void SetUp() override {
    FormTest::SetUp();
    Form->SetBounds(520, 300, 420, 320);
    Tree = new TCustomdxTreeListControl(Form);
    Tree->SetName("Grid");
    Tree->SetParent(Form);
    Tree->SetBounds(0, 0, 380, 260);
    Name = static_cast<TCountingColumn*>(Tree->CreateColumn(&TCountingColumn::MetaClass(), Form));
    Name->SetCaption("Name");
    Code = static_cast<TdxTreeListMaskColumn*>(Tree->CreateColumn(&TdxTreeListMaskColumn::MetaClass(), Form));
    Code->SetCaption("Code");
    Code->SetEditMask("000;1;_");
    Tree->SetOptions(Tree->GetOptions().Include(aoEditing).Include(aoColumnEditing).Exclude(aoRowSelect));
    Tree->SetOptionsEx(Tree->GetOptionsEx().Include(aoTypingStartsEditor));
  }
  TdxTreeListTextNode* Node(const std::string& name, const std::string& code = "") {
    auto* node = static_cast<TdxTreeListTextNode*>(Tree->Add());
    node->GetStrings()->Add(name);
    node->GetStrings()->Add(code);
    return node;
  }
  void Show() {
    ShowForm();
    Tree->SetFocus();
    PumpPending();
  }
  // A key as the keyboard sends it to the window that has the focus; the message loop
  // translates it into its character.
  static void Key(WORD vk) {
    const HWND wnd = GetFocus();
    PostMessageA(wnd, WM_KEYDOWN, vk, 1);
    PostMessageA(wnd, WM_KEYUP, vk, LPARAM(0xC0000001));
    PumpPending();
  }
  static void Type(char ch) { Key(WORD(LOBYTE(VkKeyScanA(ch)))); }
  void Mouse(UINT msg, const TPoint& p, WPARAM keys) {
    PostMessageA(Tree->GetHandle(), msg, keys, MAKELPARAM(WORD(short(p.x)), WORD(short(p.y))));
    PumpPending();
  }
  // A click on a column's header, with Shift held for `shift`.
  void ClickHeader(int column, bool shift = false) {
    TdxTreeListLayout layout;
    Tree->CalcLayout(layout);
    const TdxTreeListColumnEntry* entry = layout.FindColumn(column);
    ASSERT_NE(entry, nullptr);
    const TPoint p = Point((entry->Rect.left + entry->Rect.right) / 2, (entry->Rect.top + entry->Rect.bottom) / 2);
    std::unique_ptr<TKeysHeld> held(shift ? new TKeysHeld({VK_SHIFT}) : nullptr);
    const WPARAM keys = shift ? MK_SHIFT : 0;
    Mouse(WM_LBUTTONDOWN, p, MK_LBUTTON | keys);
    Mouse(WM_LBUTTONUP, p, keys);
  }
  bool EditorShown() {
    TdxInplaceEdit* editor = Tree->GetEditor();
    return editor && editor->HandleAllocated() && IsWindowVisible(editor->GetHandle());
  }
  std::vector<std::string> RowTexts() {
    std::vector<std::string> texts;
    for (int row = 0; row < Tree->GetRowCount(); ++row)
      texts.push_back(Tree->GetNodeAtRow(row)->GetString(0));
    return texts;
  }

  TTimerRecorder Timers;  // no click-to-edit timer fires by itself
  TCustomdxTreeListControl* Tree = nullptr;
  TCountingColumn* Name = nullptr;
  TdxTreeListMaskColumn* Code = nullptr;
};

TEST_F(DxTreeListEditingTest, TypingOpensTheTextEditorWithTheCharacterAndEscapeRestoresTheText) {
  TdxTreeListNode* a = Node("alpha", "123");
  Node("beta", "456");
  Show();
  ASSERT_EQ(Tree->GetFocusedNode(), a);
  ASSERT_EQ(GetFocus(), Tree->GetHandle());

  Type('x');
  ASSERT_EQ(Tree->GetState(), stEditing);
  TdxInplaceEdit* editor = Tree->GetEditor();
  ASSERT_TRUE(editor && editor->Is<TdxInplaceTreeListTextEdit>());
  EXPECT_TRUE(EditorShown());
  EXPECT_EQ(GetFocus(), editor->GetHandle());
  EXPECT_EQ(editor->GetText(), "x") << "the typed character replaced the selected text";
  EXPECT_EQ(a->GetString(0), "alpha") << "nothing stored while editing";
  // The editor lies over the focused cell.
  const TRect cell = Tree->GetEditorRect(a, 0);
  EXPECT_EQ(editor->GetLeft(), cell.left - 2);
  EXPECT_EQ(editor->GetTop(), cell.top - 2);

  Key(VK_ESCAPE);
  EXPECT_EQ(Tree->GetState(), stNone);
  EXPECT_FALSE(EditorShown());
  EXPECT_EQ(GetFocus(), Tree->GetHandle());
  EXPECT_EQ(editor->GetText(), "alpha") << "Escape restores the text";
  EXPECT_EQ(a->GetString(0), "alpha");
  EXPECT_EQ(Name->Stores, 0);

  // Typed and confirmed with Enter, the text is stored.
  Type('y');
  Type('z');
  Key(VK_RETURN);
  EXPECT_EQ(Tree->GetState(), stNone);
  EXPECT_EQ(a->GetString(0), "yz");
  EXPECT_EQ(Name->Stores, 1);
}

TEST_F(DxTreeListEditingTest, TypingOnAMaskColumnOpensTheMaskEditor) {
  TdxTreeListNode* a = Node("alpha", "123");
  Show();
  Key(VK_RIGHT);
  ASSERT_EQ(Tree->GetFocusedColumn(), 1);
  Type('5');
  ASSERT_EQ(Tree->GetState(), stEditing);
  auto* mask = ObjectAs<TdxInplaceTreeListMaskEdit>(Tree->GetEditor());
  ASSERT_NE(mask, nullptr);
  EXPECT_TRUE(EditorShown());
  EXPECT_EQ(mask->GetEditText().substr(0, 1), "5");
  EXPECT_NE(mask->GetEditText(), "123");
  Key(VK_ESCAPE);
  EXPECT_EQ(Tree->GetState(), stNone);
  EXPECT_EQ(mask->GetEditText(), "123");
  EXPECT_EQ(a->GetString(1), "123");
}

// Regression (F2): hiding the editor stored its value even when nothing was changed, so
// visiting a cell rewrote it through the column's conversion.
TEST_F(DxTreeListEditingTest, VisitingACellStoresNothing) {
  TdxTreeListNode* a = Node("alpha", "123");
  Node("beta", "456");
  Show();
  Key(VK_F2);
  ASSERT_EQ(Tree->GetState(), stEditing);
  EXPECT_EQ(Tree->GetEditor()->GetText(), "alpha");
  Key(VK_DOWN);  // leaves the cell for the next row
  EXPECT_EQ(Tree->GetState(), stNone);
  EXPECT_NE(Tree->GetFocusedNode(), a);
  EXPECT_EQ(Name->Stores, 0);
  EXPECT_EQ(a->GetString(0), "alpha");
}

TEST_F(DxTreeListEditingTest, MovingTheColumnFromInsideTheEditorStoresTheValueFirst) {
  TdxTreeListNode* a = Node("alpha", "123");
  Show();
  Type('q');
  ASSERT_EQ(Tree->GetState(), stEditing);
  ASSERT_EQ(GetFocus(), Tree->GetEditor()->GetHandle());
  Key(VK_TAB);  // to the editor, which hands it to the tree list
  EXPECT_EQ(a->GetString(0), "q");
  EXPECT_EQ(Name->Stores, 1);
  EXPECT_EQ(Tree->GetFocusedColumn(), 1);
  EXPECT_EQ(Tree->GetState(), stNone);

  // The editor's own notification (a column move asked by the editor) stores too.
  Key(VK_LEFT);
  Type('r');
  ASSERT_EQ(Tree->GetState(), stEditing);
  Tree->EditorNotify(false);
  EXPECT_EQ(a->GetString(0), "r");
  EXPECT_EQ(Tree->GetFocusedColumn(), 1);
  EXPECT_FALSE(EditorShown());
}

TEST_F(DxTreeListEditingTest, CtrlVOnACellOpensTheEditorAndPastesWithoutItsCharacter) {
  TdxTreeListNode* a = Node("alpha", "123");
  Show();
  Clipboard()->SetAsText("pasted");
  {
    TKeysHeld ctrl({VK_CONTROL});
    Key('V');
  }
  ASSERT_EQ(Tree->GetState(), stEditing);
  EXPECT_EQ(Tree->GetEditor()->GetText(), "pasted") << "no character 22 in the text";
  Key(VK_RETURN);
  EXPECT_EQ(a->GetString(0), "pasted");
}

TEST_F(DxTreeListEditingTest, AClickOnACellOpensItsEditorWithTheTextSelected) {
  Node("alpha", "123");
  TdxTreeListNode* b = Node("beta", "456");
  Show();
  auto click = [&](TdxTreeListNode* node) {
    const TRect cell = Tree->GetLayoutBuilder().GetCellRect(node, 0);
    const TPoint p = Point(cell.left + 10, (cell.top + cell.bottom) / 2);
    Mouse(WM_LBUTTONDOWN, p, MK_LBUTTON);
    Mouse(WM_LBUTTONUP, p, 0);
  };
  click(b);
  EXPECT_EQ(Tree->GetFocusedNode(), b);
  ASSERT_EQ(Tree->GetState(), stEditing);
  TdxInplaceEdit* editor = Tree->GetEditor();
  EXPECT_EQ(editor->GetText(), "beta");
  DWORD start = 1, end = 0;
  SendMessageA(editor->GetHandle(), EM_GETSEL, WPARAM(&start), LPARAM(&end));
  EXPECT_EQ(start, 0u);
  EXPECT_GE(end, 4u) << "all of it (the rich edit counts its closing mark too)";
  // A click on another row ends this edit (nothing changed, nothing stored) and edits
  // that row's cell.
  click(Tree->GetItem(0));
  EXPECT_EQ(Tree->GetState(), stEditing);
  EXPECT_EQ(Tree->GetEditor()->GetText(), "alpha");
  EXPECT_EQ(Name->Stores, 0);
}

TEST_F(DxTreeListEditingTest, NoEditorWithRowSelectionOrWhenTheColumnRefuses) {
  Node("alpha", "123");
  Show();
  Tree->SetOptions(Tree->GetOptions().Include(aoRowSelect));
  Type('x');
  EXPECT_EQ(Tree->GetState(), stNone);
  EXPECT_FALSE(EditorShown());
  Tree->SetOptions(Tree->GetOptions().Exclude(aoRowSelect));
  Name->SetDisableEditor(true);
  Key(VK_F2);
  EXPECT_EQ(Tree->GetState(), stNone);
  Name->SetDisableEditor(false);
  Tree->SetOptions(Tree->GetOptions().Exclude(aoColumnEditing));
  Key(VK_F2);
  EXPECT_EQ(Tree->GetState(), stNone);
  EXPECT_FALSE(EditorShown());
}

// Regression: the click-to-edit timer started only when the control had no editor at
// all, and the column-bound control keeps its hidden editor after an edit, so after the
// first edit no press on the focused cell started the timer again.
TEST_F(DxTreeListEditingTest, APressOnTheFocusedCellStartsTheClickToEditTimerAfterAnEditToo) {
  TdxTreeListNode* a = Node("alpha", "123");
  Node("beta", "456");
  Show();
  ASSERT_EQ(Tree->GetFocusedNode(), a);
  ASSERT_EQ(Tree->GetFocusedColumn(), 0);
  const HWND wnd = Tree->GetHandle();
  const TRect cell = Tree->GetLayoutBuilder().GetCellRect(a, 0);
  const TPoint p = Point(cell.left + 10, (cell.top + cell.bottom) / 2);
  // With Shift held the release shows no editor: the timer does.
  auto shiftPress = [&] {
    TKeysHeld shift({VK_SHIFT});
    Mouse(WM_LBUTTONDOWN, p, MK_LBUTTON | MK_SHIFT);
    Mouse(WM_LBUTTONUP, p, MK_SHIFT);
  };
  shiftPress();
  EXPECT_EQ(Tree->GetState(), stNone);
  EXPECT_EQ(Timers.Interval(wnd, TdxTreeListTimers::kEditTimer), GetDoubleClickTime());
  PostMessageA(wnd, WM_TIMER, TdxTreeListTimers::kEditTimer, 0);
  PumpPending();
  ASSERT_EQ(Tree->GetState(), stEditing);
  EXPECT_TRUE(EditorShown());
  EXPECT_EQ(Timers.Interval(wnd, TdxTreeListTimers::kEditTimer), 0u);
  Key(VK_ESCAPE);
  ASSERT_EQ(Tree->GetState(), stNone);
  EXPECT_FALSE(EditorShown());
  ASSERT_NE(Tree->GetEditor(), nullptr) << "the editor is kept, hidden";

  shiftPress();
  EXPECT_EQ(Timers.Interval(wnd, TdxTreeListTimers::kEditTimer), GetDoubleClickTime());
  PostMessageA(wnd, WM_TIMER, TdxTreeListTimers::kEditTimer, 0);
  PumpPending();
  EXPECT_EQ(Tree->GetState(), stEditing);
  EXPECT_TRUE(EditorShown());
}

// Regression (F16): a header click turned the sort arrow and left the rows in their
// order.
TEST_F(DxTreeListEditingTest, HeaderClicksSortTheRowsNaturallyAndShiftAddsAColumn) {
  Node("a10", "2");
  Node("a2", "1");
  Node("a1", "2");
  Node("b", "1");
  Show();
  ClickHeader(0);
  EXPECT_EQ(Name->GetSorted(), csUp);
  EXPECT_EQ(RowTexts(), (std::vector<std::string>{"a1", "a2", "a10", "b"}));
  ClickHeader(0);
  EXPECT_EQ(RowTexts(), (std::vector<std::string>{"b", "a10", "a2", "a1"}));

  Tree->SetOptionsEx(Tree->GetOptionsEx().Include(aoMultiSort));
  ClickHeader(1);
  ClickHeader(0, /*shift=*/true);
  EXPECT_EQ(Code->GetSorted(), csUp);
  EXPECT_EQ(Name->GetSorted(), csUp);
  ASSERT_EQ(Tree->GetSortedColumnListCount(), 2);
  EXPECT_EQ(Tree->GetSortedColumn(0), Code);
  EXPECT_EQ(RowTexts(), (std::vector<std::string>{"a2", "b", "a1", "a10"}));
}

}  // namespace
