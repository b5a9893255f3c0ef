// Every column kind edited in place by real window messages on a shown form: F2 on the
// tree list opens the column's editor over the focused cell, keys and mouse messages go
// to the editor's window through the message loop, a click on another row stores the
// value into the node's text through the column, and opening the cell again brings the
// same value back.
#include <memory>

#include <gtest/gtest.h>

#include "classlib/Clipboard.h"
#include "classlib/DateUtils.h"
#include "classlib/Filer.h"
#include "classlib/Forms.h"
#include "editors/DxPictureValues.h"
#include "tests/support/TestSupport.h"
#include "tests/treelist/TreeListControlTestSupport.h"
#include "tests/treelist/TreeListInputTestSupport.h"
#include "treelist/DxTreeListCheckColumn.h"
#include "treelist/DxTreeListColumns.h"
#include "treelist/DxTreeListControl.h"
#include "treelist/DxTreeListDropDownColumns.h"
#include "treelist/DxTreeListMaskColumn.h"
#include "treelist/DxTreeListPictureColumns.h"
#include "treelist/DxTreeListTextColumns.h"
#include "treelist/DxTreeListWrapperColumn.h"

namespace {

// Posts a key press to `wnd` and lets the message loop translate and handle it: the key
// goes down, its character follows, then the key comes up, as from the keyboard.
void PressKey(HWND wnd, WORD key, bool system = false) {
  PostMessageA(wnd, system ? WM_SYSKEYDOWN : WM_KEYDOWN, key, system ? LPARAM(0x20000001) : 1);
  Application->ProcessMessages();
  PostMessageA(wnd, system ? WM_SYSKEYUP : WM_KEYUP, key, LPARAM(0xC0000001));
  Application->ProcessMessages();
}

// Presses the key of each letter, digit or point of `text` (letters come out in lower
// case).
void TypeKeys(HWND wnd, const std::string& text) {
  for (char c : text) {
    const WORD key = c == '.' ? VK_OEM_PERIOD : c == ':' ? VK_OEM_1 : WORD(uint8_t(c >= 'a' && c <= 'z' ? c - 'a' + 'A' : c));
    PressKey(wnd, key);
  }
}

// One notch of the mouse wheel forward over `wnd`.
void WheelUp(HWND wnd) {
  RECT r{};
  GetWindowRect(wnd, &r);
  PostMessageA(wnd, WM_MOUSEWHEEL, MAKEWPARAM(0, WHEEL_DELTA), MAKELPARAM(r.left + 4, r.top + 4));
  Application->ProcessMessages();
}

// A click of the left button at (x, y) of `wnd`'s client area.
void Click(HWND wnd, int x, int y) {
  PostMessageA(wnd, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y));
  PostMessageA(wnd, WM_LBUTTONUP, 0, MAKELPARAM(x, y));
  Application->ProcessMessages();
}

class DxTreeListColumnEditingTest : public FormTest {
 protected:
  void SetUp() override {
    FormTest::SetUp();
    Form->SetBounds(400, 300, 760, 260);
    Tree = new TCustomdxTreeListControl(Form);
    Tree->SetName("Grid");
    Tree->SetParent(Form);
    Tree->SetBounds(0, 0, 740, 220);
    Tree->SetOptions(Tree->GetOptions().Include(aoEditing).Include(aoColumnEditing).Exclude(aoRowSelect));
  }

  template <class C>
  C* Kind(const std::string& caption) {
    auto* column = static_cast<C*>(Tree->CreateColumn(&C::MetaClass(), Form));
    column->SetCaption(caption);
    column->SetWidth(120);
    return column;
  }
  // A node with one text per column.
  TdxTreeListTextNode* Node(std::initializer_list<std::string> texts) {
    auto* node = static_cast<TdxTreeListTextNode*>(Tree->Add());
    for (const std::string& text : texts)
      node->GetStrings()->Add(text);
    return node;
  }
  // Focuses the cell and presses F2 on the tree list, which opens the column's editor
  // over the cell, dressed and loaded, with the focus.
  TdxInplaceEdit* Open(TdxTreeListColumn* column, TdxTreeListNode* node) {
    if (!Form->GetVisible()) {
      ShowForm();
      Tree->SetFocus();
      PumpPending();
    }
    Tree->SetFocusedNode(node, Tree->GetVisibleIndexOfColumn(column->GetIndex()), false);
    PressKey(Tree->GetHandle(), VK_F2);
    TdxInplaceEdit* editor = Tree->GetEditor();
    EXPECT_TRUE(editor && editor->HandleAllocated() && IsWindowVisible(editor->GetHandle())) << "F2 opens the editor";
    EXPECT_TRUE(editor && GetFocus() == editor->GetHandle()) << "the editor has the focus";
    return editor;
  }
  // Ends the edit by Enter: the tree list stores the editor's value through the column
  // and hides the editor.
  void Close(TdxTreeListColumn*, TdxTreeListNode*, TdxInplaceEdit* editor) {
    PressKey(editor->GetHandle(), VK_RETURN);
    EXPECT_FALSE(IsWindowVisible(editor->GetHandle())) << "Enter hides the editor";
  }
  static std::string Cell(TdxTreeListColumn* column, TdxTreeListNode* node) {
    std::string text;
    column->GetTreeList()->GetCellText(node, column->GetIndex(), text);
    return text;
  }

  TCustomdxTreeListControl* Tree = nullptr;
};

TEST_F(DxTreeListColumnEditingTest, TextMaskMemoHyperLinkAndCalcCellsTakeTypedText) {
  TdxTreeListColumn* text = Kind<TdxTreeListColumn>("Text");
  auto* mask = Kind<TdxTreeListMaskColumn>("Mask");
  mask->SetEditMask("00-00;1;_");
  auto* memo = Kind<TdxTreeListMemoColumn>("Memo");
  memo->SetWantReturns(false);  // Enter ends the edit
  auto* link = Kind<TdxTreeListHyperLinkColumn>("Link");
  auto* calc = Kind<TdxTreeListCalcColumn>("Calc");
  TdxTreeListTextNode* node = Node({"old"});
  for (int i = 1; i < 5; ++i)
    node->GetStrings()->Add("");
  struct TCase {
    TdxTreeListColumn* Column;
    std::string Keys;
    std::string Stored;
  } cases[] = {{text, "abc", "abc"}, {mask, "1234", "12-34"}, {memo, "note", "note"},
               {link, "ab", "ab"},   {calc, "42", "42"}};
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Column->GetCaption());
    TdxInplaceEdit* editor = Open(c.Column, node);
    TypeKeys(editor->GetHandle(), c.Keys);
    EXPECT_TRUE(editor->GetModified());
    Close(c.Column, node, editor);
    EXPECT_EQ(node->GetString(c.Column->GetIndex()), c.Stored);
    editor = Open(c.Column, node);
    EXPECT_EQ(editor->GetText(), c.Stored) << "the stored text comes back";
    Close(c.Column, node, editor);
    EXPECT_EQ(node->GetString(c.Column->GetIndex()), c.Stored) << "and a visit keeps it";
  }
}

TEST_F(DxTreeListColumnEditingTest, ACellTheEditorCannotShowWholeIsNeverStoredCut) {
  // Regression: an editor's window takes a text up to its first NUL byte, and a single
  // line up to its first line break; a letter typed there and Enter stored what the
  // editor showed, and the rest of the cell's text was lost.
  TdxTreeListColumn* text = Kind<TdxTreeListColumn>("Text");
  auto* memo = Kind<TdxTreeListMemoColumn>("Memo");
  memo->SetWantReturns(false);  // Enter ends the edit
  auto* mru = Kind<TdxTreeListMRUColumn>("MRU");
  const std::string lines = "first line\r\nsecond line";
  const std::string nul("before\0after", 12);
  TdxTreeListTextNode* node = Node({lines, nul, nul});
  for (TdxTreeListColumn* column : std::initializer_list<TdxTreeListColumn*>{text, memo, mru}) {
    SCOPED_TRACE(column->GetCaption());
    const std::string value = node->GetString(column->GetIndex());
    TdxInplaceEdit* editor = Open(column, node);
    ASSERT_TRUE(editor);
    EXPECT_TRUE(editor->GetValueShownInPart());
    const size_t refusals = Exceptions.Messages.size();
    TypeKeys(editor->GetHandle(), "x");
    PressKey(editor->GetHandle(), VK_DELETE);
    EXPECT_EQ(Exceptions.Messages.size(), refusals + 2) << "the letter and Delete are refused";
    EXPECT_EQ(Exceptions.Messages.back(), sdxValueShownInPart);
    EXPECT_FALSE(editor->GetModified());
    Close(column, node, editor);
    EXPECT_TRUE(node->GetString(column->GetIndex()) == value);
  }
  // The memo shows the lines whole and edits them.
  node->GetStrings()->Put(memo->GetIndex(), lines);
  TdxInplaceEdit* editor = Open(memo, node);
  EXPECT_FALSE(editor->GetValueShownInPart());
  PressKey(editor->GetHandle(), VK_END);
  TypeKeys(editor->GetHandle(), "x");
  Close(memo, node, editor);
  EXPECT_EQ(node->GetString(memo->GetIndex()), lines + "x");
}

TEST_F(DxTreeListColumnEditingTest, CheckCellsToggleBySpaceAndByClick) {
  auto* check = Kind<TdxTreeListCheckColumn>("Check");
  TdxTreeListTextNode* node = Node({"maybe"});
  TdxInplaceEdit* editor = Open(check, node);
  EXPECT_EQ(static_cast<TdxInplaceCheckEdit*>(editor)->GetState(), cbsGrayed);
  Close(check, node, editor);
  EXPECT_EQ(node->GetString(0), "maybe") << "a visit keeps a text that is neither value";
  editor = Open(check, node);
  PressKey(editor->GetHandle(), VK_SPACE);
  Close(check, node, editor);
  EXPECT_EQ(node->GetString(0), "True") << "grayed goes to checked";
  EXPECT_EQ(Cell(check, node), "True");
  editor = Open(check, node);
  RECT client{};
  GetClientRect(editor->GetHandle(), &client);
  Click(editor->GetHandle(), client.right / 2, client.bottom / 2);
  Close(check, node, editor);
  EXPECT_EQ(node->GetString(0), "False") << "a click on the box unchecks it";
  editor = Open(check, node);
  EXPECT_EQ(static_cast<TdxInplaceCheckEdit*>(editor)->GetState(), cbsUnchecked);
  Close(check, node, editor);
}

TEST_F(DxTreeListColumnEditingTest, ImageSpinAndTimeCellsTakeKeysAndTheWheel) {
  auto* image = Kind<TdxTreeListImageColumn>("Image");
  image->GetValues()->SetText("r\r\ng\r\nb\r\n");
  image->GetDescriptions()->SetText("Red\r\nGreen\r\nBlue\r\n");
  auto* spin = Kind<TdxTreeListSpinColumn>("Spin");
  spin->SetValueType(vtFloat);
  spin->SetIncrement(0.5);
  auto* time = Kind<TdxTreeListTimeColumn>("Time");
  TdxTreeListTextNode* node = Node({"g"});
  node->GetStrings()->Add("1.25");
  node->GetStrings()->Add("10:30:00");

  TdxInplaceEdit* editor = Open(image, node);
  TypeKeys(editor->GetHandle(), "b");
  Close(image, node, editor);
  EXPECT_EQ(node->GetString(0), "b") << "a letter finds the description";
  EXPECT_EQ(Cell(image, node), "Blue");
  image->SetIncremental(true);
  editor = Open(image, node);
  PressKey(editor->GetHandle(), VK_UP);
  Close(image, node, editor);
  EXPECT_EQ(node->GetString(0), "g") << "with Incremental the arrows step";

  // The arrow keys move between rows in a grid; the wheel steps the number.
  editor = Open(spin, node);
  WheelUp(editor->GetHandle());
  WheelUp(editor->GetHandle());
  Close(spin, node, editor);
  EXPECT_EQ(node->GetString(1), "2.25");
  editor = Open(spin, node);
  EXPECT_DOUBLE_EQ(static_cast<TdxInplaceSpinEdit*>(editor)->GetValue(), 2.25);
  Close(spin, node, editor);

  editor = Open(time, node);
  SendMessageA(editor->GetHandle(), EM_SETSEL, 0, 0);  // the caret in the hours
  WheelUp(editor->GetHandle());
  Close(time, node, editor);
  EXPECT_EQ(node->GetString(2), "11:30:00");
  editor = Open(time, node);
  EXPECT_EQ(editor->GetText(), "11:30:00");
  Close(time, node, editor);
}

TEST_F(DxTreeListColumnEditingTest, CurrencyPickAndMRUCellsTakeKeys) {
  auto* currency = Kind<TdxTreeListCurrencyColumn>("Money");
  auto* pick = Kind<TdxTreeListPickColumn>("Pick");
  pick->GetItems()->SetText("Top\r\nBottom\r\n");
  pick->SetImmediateDropDown(false);
  auto* mru = Kind<TdxTreeListMRUColumn>("MRU");
  mru->GetItems()->SetText("R1\r\nC7\r\n");
  TdxTreeListTextNode* node = Node({""});
  node->GetStrings()->Add("");
  node->GetStrings()->Add("");

  TdxInplaceEdit* editor = Open(currency, node);
  TypeKeys(editor->GetHandle(), "12.5");
  Close(currency, node, editor);
  EXPECT_EQ(node->GetString(0), "12.5");
  editor = Open(currency, node);
  EXPECT_DOUBLE_EQ(static_cast<TdxInplaceCurrencyEdit*>(editor)->GetValue(), 12.5);
  Close(currency, node, editor);

  editor = Open(pick, node);
  TypeKeys(editor->GetHandle(), "b");
  Close(pick, node, editor);
  EXPECT_EQ(node->GetString(1), "Bottom") << "typing completes from the items";

  editor = Open(mru, node);
  TypeKeys(editor->GetHandle(), "u9");
  Close(mru, node, editor);
  EXPECT_EQ(node->GetString(2), "u9");
  ASSERT_GE(mru->GetItems()->GetCount(), 3);
  EXPECT_EQ(mru->GetItems()->Get(0), "u9") << "the accepted value heads the column's list";
}

TEST_F(DxTreeListColumnEditingTest, DateAndButtonCellsTakeKeys) {
  auto* date = Kind<TdxTreeListDateColumn>("Date");
  auto* button = Kind<TdxTreeListButtonColumn>("Button");
  int clicks = 0;
  struct TCounter {
    int& Count;
    void Clicked(TObject*, int index) { Count += 1 + index; }
  } counter{clicks};
  button->OnButtonClick = TdxEditButtonClickEvent::Bind<&TCounter::Clicked>(&counter);
  TdxTreeListTextNode* node = Node({""});
  node->GetStrings()->Add("");

  TdxInplaceEdit* editor = Open(date, node);
  TypeKeys(editor->GetHandle(), "today");
  Close(date, node, editor);
  const std::string stored = node->GetString(0);
  EXPECT_FALSE(stored.empty());
  editor = Open(date, node);
  EXPECT_EQ(static_cast<TdxInplaceDateEdit*>(editor)->GetDate(), Date()) << "the keyword's date comes back";
  Close(date, node, editor);
  EXPECT_EQ(node->GetString(0), stored);

  editor = Open(button, node);
  TypeKeys(editor->GetHandle(), "q");
  {
    TKeysHeld ctrl({VK_CONTROL});
    PressKey(editor->GetHandle(), VK_RETURN);
  }
  EXPECT_EQ(clicks, 1) << "Ctrl+Enter clicks the default button";
  Close(button, node, editor);
  EXPECT_EQ(node->GetString(1), "q");
}

TEST_F(DxTreeListColumnEditingTest, GraphicAndBlobCellsTakeTheirContent) {
  auto* graphic = Kind<TdxTreeListGraphicColumn>("Picture");
  auto* blob = Kind<TdxTreeListBlobColumn>("Notes");
  TdxTreeListTextNode* node = Node({""});
  node->GetStrings()->Add("first");

  TBitmap bitmap;
  bitmap.SetSize(11, 6);
  Clipboard()->Assign(&bitmap);
  TdxInplaceEdit* editor = Open(graphic, node);
  {
    TKeysHeld ctrl({VK_CONTROL});
    PressKey(editor->GetHandle(), 'V');
  }
  Close(graphic, node, editor);
  ASSERT_FALSE(node->GetString(0).empty()) << "the pasted picture is stored";
  editor = Open(graphic, node);
  EXPECT_EQ(static_cast<TdxInplaceGraphicEdit*>(editor)->GetPicture()->GetWidth(), 11);
  Close(graphic, node, editor);

  editor = Open(blob, node);
  {
    TKeysHeld alt({VK_MENU});
    PressKey(editor->GetHandle(), VK_DOWN, /*system=*/true);
  }
  auto* blobEditor = static_cast<TdxInplaceBlobEdit*>(editor);
  ASSERT_NE(blobEditor->GetPopup(), nullptr) << "Alt+Down opens the memo popup";
  HWND memo = GetFocus();
  ASSERT_NE(memo, editor->GetHandle());
  PressKey(memo, VK_END);
  TypeKeys(memo, "x");
  {
    TKeysHeld ctrl({VK_CONTROL});
    PressKey(memo, VK_RETURN);
  }
  Close(blob, node, editor);
  EXPECT_EQ(node->GetString(1), "firstx");
}

TEST_F(DxTreeListColumnEditingTest, AWrapperCellIsEditedAsItsReferenceColumn) {
  auto* check = Kind<TdxTreeListCheckColumn>("Check");
  auto* wrapper = Kind<TdxTreeListWrapperColumn>("Wrapper");
  struct TChooser {
    TdxTreeListColumn* Answer;
    void Choose(TObject*, TdxTreeListNode*, TdxTreeListColumn*& column) { column = Answer; }
  } chooser{check};
  wrapper->OnGetReferenceColumn = TdxTLGetReferenceColumnEvent::Bind<&TChooser::Choose>(&chooser);
  TdxTreeListTextNode* node = Node({"False"});
  node->GetStrings()->Add("False");
  TdxInplaceEdit* editor = Open(wrapper, node);
  ASSERT_TRUE(editor->Is<TdxInplaceTreeListCheckEdit>());
  PressKey(editor->GetHandle(), VK_SPACE);
  Close(wrapper, node, editor);
  EXPECT_EQ(node->GetString(1), "True") << "the wrapper's own cell";
  EXPECT_EQ(node->GetString(0), "False") << "the check column's cell is left alone";
  EXPECT_EQ(check->GetIndexOverride(), -1);
}

// Regression: the editor sizes of the column kinds read from a stored form were not
// bounded, unlike the columns' own widths: an edit button, drop-down list or blob popup
// stored 2147483647 (or -2147483648) wide took seconds for every paint of its cell.
TEST_F(DxTreeListColumnEditingTest, StoredEditorSizesBeyondAnyScreenAreCutDownWhenRead) {
  // The stored form: a control of its own with a column of each kind that has sizes.
  TComponent source(nullptr);
  auto* original = new TCustomdxTreeListControl(&source);
  auto kind = [&](TdxTreeListColumnClass cls) {
    TdxTreeListColumn* column = original->CreateColumn(cls, &source);
    column->SetWidth(120);
    return column;
  };
  static_cast<TdxTreeListButtonColumn*>(kind(&TdxTreeListButtonColumn::MetaClass()))->GetButtons()->Add()->SetKind(bkDown);
  static_cast<TdxTreeListPickColumn*>(kind(&TdxTreeListPickColumn::MetaClass()))
      ->GetItems()->SetText("Top\r\nBottom\r\n");
  auto* image = static_cast<TdxTreeListImageColumn*>(kind(&TdxTreeListImageColumn::MetaClass()));
  image->GetValues()->SetText("a\r\nb\r\n");
  image->GetDescriptions()->SetText("Alpha\r\nBeta\r\n");
  image->SetShowDescription(true);
  kind(&TdxTreeListBlobColumn::MetaClass());
  const TFilerObject stored = TWriter::WriteRootComponent(original);
  ASSERT_EQ(stored.Children.size(), 4u);
  // The form with every size stored as `size` and the list's rows as `count`.
  auto storedWith = [&](int32_t size, int32_t count) {
    TFilerObject object = stored;
    auto set = [](TFilerObject& target, const std::string& name, int32_t value) {
      for (TFilerProperty& p : target.Properties)
        if (p.Name == name) {
          p.Values = {value};
          return;
        }
      target.Properties.push_back(TFilerProperty{name, false, {value}});
    };
    for (TFilerProperty& p : object.Children[0].Properties)
      if (p.Name == "Buttons")
        for (TFilerObject& item : std::get<TFilerObjects>(p.Values[0]))
          set(item, "Width", size);
    set(object.Children[1], "DropDownRows", count);
    set(object.Children[1], "DropDownWidth", size);
    set(object.Children[2], "ListWidth", size);
    set(object.Children[3], "PopupWidth", size);
    set(object.Children[3], "PopupHeight", size);
    return object;
  };

  const struct {
    int32_t Size, Count;        // stored
    int32_t ReadSize, ReadCount;  // read back
  } cases[] = {{INT32_MAX, INT32_MAX, 100000, 1000}, {INT32_MIN, INT32_MIN, 0, 0}, {321, 9, 321, 9}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Size);
    if (Tree->GetColumnCount() > 0) {  // a new control for each form
      delete Tree;
      Tree = new TCustomdxTreeListControl(Form);
      Tree->SetParent(Form);
      Tree->SetBounds(0, 0, 740, 220);
      Tree->SetOptions(Tree->GetOptions().Include(aoEditing).Include(aoColumnEditing).Exclude(aoRowSelect));
    }
    TReader::ReadRootComponent(storedWith(c.Size, c.Count), Tree);
    ASSERT_EQ(Tree->GetColumnCount(), 4);
    TdxEditButtons* buttons = static_cast<TdxTreeListButtonColumn*>(Tree->GetColumn(0))->GetButtons();
    ASSERT_EQ(buttons->GetCount(), 2);
    for (int i = 0; i < 2; ++i)
      EXPECT_EQ(buttons->GetItem(i)->GetWidth(), c.ReadSize) << i;
    auto* pick = static_cast<TdxTreeListPickColumn*>(Tree->GetColumn(1));
    EXPECT_EQ(pick->GetDropDownRows(), c.ReadCount);
    EXPECT_EQ(pick->GetDropDownWidth(), c.ReadSize);
    EXPECT_EQ(static_cast<TdxTreeListImageColumn*>(Tree->GetColumn(2))->GetListWidth(), c.ReadSize);
    auto* blob = static_cast<TdxTreeListBlobColumn*>(Tree->GetColumn(3));
    EXPECT_EQ(blob->GetPopupWidth(), c.ReadSize);
    EXPECT_EQ(blob->GetPopupHeight(), c.ReadSize);

    // Painted, each editor opened over the focused cell and its popup dropped down.
    TdxTreeListTextNode* node = Node({"x", "Top", "a", "notes"});
    ShowForm();
    Tree->SetFocus();
    {
      TDibSurface surface(740, 220);
      EXPECT_NO_THROW(TControlPaint::Into(Tree, surface.DC()));
    }
    for (int i = 0; i < 4; ++i) {
      TdxTreeListColumn* column = Tree->GetColumn(i);
      SCOPED_TRACE(column->ClassName());
      TdxInplaceEdit* editor = Open(column, node);
      ASSERT_NE(editor, nullptr);
      if (i == 0) {  // the button editor has no popup
        Close(column, node, editor);
        continue;
      }
      auto* dropDown = static_cast<TdxInplaceDropDownEdit*>(editor);
      if (!dropDown->IsPopupVisible()) {  // the pick editor drops down as it opens
        TKeysHeld alt({VK_MENU});
        PressKey(editor->GetHandle(), VK_DOWN, /*system=*/true);
      }
      TWinControl* popup = dropDown->GetPopupControl();
      ASSERT_NE(popup, nullptr);
      EXPECT_TRUE(IsWindowVisible(popup->GetHandle())) << "the popup drops down";
      EXPECT_LE(popup->GetWidth(), 100000);
      EXPECT_LE(popup->GetHeight(), 100000);
      popup->Repaint();
      PressKey(GetFocus(), VK_ESCAPE);
      PressKey(editor->GetHandle(), VK_ESCAPE);
    }
  }
  EXPECT_EQ(Exceptions.Messages, std::vector<std::string>{});
}

}  // namespace
