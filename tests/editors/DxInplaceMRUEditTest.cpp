// The MRU editor: values accepted in place (typed and entered through the application's
// loop) kept most recent first within the maximum, and its second button, clicked by
// mouse or by Ctrl+Enter.
#include <memory>
#include <string>

#include <gtest/gtest.h>

#include "editors/DxInplaceMRUEdit.h"
#include "tests/editors/ListEditorsTestSupport.h"

namespace {

// Presses `key` while the thread's keyboard state has Ctrl down.
void PressWithCtrl(HWND wnd, WORD key) {
  BYTE keys[256] = {};
  GetKeyboardState(keys);
  keys[VK_CONTROL] = 0x80;
  SetKeyboardState(keys);
  PressKey(wnd, key);
  keys[VK_CONTROL] = 0;
  SetKeyboardState(keys);
}

class DxInplaceMRUEditTest : public EditorTest {
 protected:
  void SetUp() override {
    EditorTest::SetUp();
    Container->AllowColumn = true;
    MRU = new TdxInplaceMRUEdit(Container);
    MRU->SetParent(Container);
    MRU->SetBounds(10, 10, 200, 24);
    MRU->OnButtonClick = TNotifyEvent::Bind<&DxInplaceMRUEditTest::ButtonClicked>(this);
  }
  void ShowInPlace() {
    ShowForm();
    MRU->ShowEdit(Rect(12, 12, 208, 32));
    PumpPending();
    ASSERT_EQ(GetFocus(), MRU->GetHandle());
  }
  // Types `text` over the whole text and presses Enter, as a user accepts a value.
  void Enter(const std::string& text) {
    MRU->SelectAll();
    TypeKeys(MRU->GetHandle(), text);
    PressKey(MRU->GetHandle(), VK_RETURN);
  }
  std::string Items() { return MRU->GetItems()->GetText(); }
  std::unique_ptr<TdxDropDownEditViewData> View() {
    auto v = std::unique_ptr<TdxDropDownEditViewData>(
        static_cast<TdxDropDownEditViewData*>(MRU->CreateViewData(false)));
    TdxEditDrawRecord record;
    MRU->EditClass()->CalcViewData(v.get(), false, record);
    return v;
  }
  void ButtonClicked(TObject* sender) {
    EXPECT_EQ(sender, MRU);
    ++Clicks;
  }
  TdxInplaceMRUEdit* MRU = nullptr;
  int Clicks = 0;
};

TEST_F(DxInplaceMRUEditTest, AcceptedValuesAreKeptMostRecentFirstWithinTheMaximum) {
  EXPECT_EQ(MRU->GetMaxItemCount(), 7);
  EXPECT_FALSE(MRU->ImmediateDropDown);
  MRU->SetMaxItemCount(3);
  ShowInPlace();
  for (const char* value : {"a", "b", "c", "d"})
    Enter(value);
  EXPECT_EQ(Items(), "d\r\nc\r\nb\r\n");
  Enter("b");
  EXPECT_EQ(Items(), "b\r\nd\r\nc\r\n") << "an item accepted again moves to the top";
  EXPECT_EQ(MRU->GetText(), "b");
  MRU->SetEditValue("");
  MRU->SetModified(true);
  MRU->ValidateEdit();
  EXPECT_EQ(Items(), "b\r\nd\r\nc\r\n") << "an empty text is not added";
  MRU->SetMaxItemCount(2);
  EXPECT_EQ(Items(), "b\r\nd\r\n") << "a lower maximum trims the oldest";
  MRU->SetMaxItemCount(-5);
  EXPECT_EQ(MRU->GetMaxItemCount(), 0);
  for (const char* value : {"e", "f", "g", "h", "i", "j", "k", "l"})
    MRU->AddItem(value);
  EXPECT_EQ(MRU->GetItems()->GetCount(), 10) << "0: no limit";
  EXPECT_TRUE(Exceptions.Messages.empty());
}

TEST_F(DxInplaceMRUEditTest, SortedItemsTakeNewValuesInTheirPlace) {
  // Regression: with ItemsSorted an accepted value raised "Operation not allowed on sorted list" (it was moved or inserted at the top).
  MRU->SetItemsSorted(true);
  MRU->SetMaxItemCount(3);
  EXPECT_NO_THROW(MRU->AddItem("pear"));
  EXPECT_NO_THROW(MRU->AddItem("apple"));
  EXPECT_NO_THROW(MRU->AddItem("pear"));
  EXPECT_EQ(Items(), "apple\r\npear\r\n");
}

TEST_F(DxInplaceMRUEditTest, SecondButtonSitsBesideTheDropDownButton) {
  auto v = View();
  ASSERT_EQ(v->ButtonCount, 2);
  EXPECT_EQ(v->Buttons[0].Kind, bkDown);
  EXPECT_EQ(v->Buttons[1].Kind, bkEllipsis);
  EXPECT_EQ(v->Buttons[1].Width, v->Buttons[0].Width);
  TBitmap glyph;
  glyph.SetWidth(10);
  glyph.SetHeight(8);
  MRU->SetButtonGlyph(&glyph);
  v = View();
  ASSERT_EQ(v->ButtonCount, 2);
  EXPECT_EQ(v->Buttons[0].Kind, bkDown) << "the drop-down button becomes a plain arrow";
  EXPECT_EQ(v->Buttons[0].Width, GetSystemMetrics(SM_CXVSCROLL));
  EXPECT_EQ(v->Buttons[1].Kind, bkGlyph) << "and the second shows the glyph";
  EXPECT_EQ(v->Buttons[1].Glyph, MRU->GetButtonGlyph());
  EXPECT_EQ(v->Buttons[1].Width, 10 + 2 + 2);
  MRU->SetShowEllipsis(false);
  v = View();
  ASSERT_EQ(v->ButtonCount, 1);
  EXPECT_EQ(v->Buttons[0].Kind, bkGlyph);
}

TEST_F(DxInplaceMRUEditTest, SecondButtonAndCtrlEnterRaiseTheButtonClick) {
  MRU->GetItems()->SetText("one\ntwo");
  ShowInPlace();
  HWND wnd = MRU->GetHandle();
  auto v = View();
  TdxEditDrawRecord record;
  MRU->EditClass()->CalcViewData(v.get(), false, record);
  TRect rects[dxMaxEditButtons];
  TdxInplaceDropDownEdit::GetButtonRects(record, v.get(), rects);
  EXPECT_GT(rects[1].left, rects[0].left) << "the second button sits at the edge";
  const TRect window = WindowRect(wnd);
  const LPARAM onSecond = MAKELPARAM(window.left + (rects[1].left + rects[1].right) / 2, window.top + 10);
  ASSERT_EQ(SendMessageA(wnd, WM_NCHITTEST, 0, onSecond), HTBORDER);
  EXPECT_EQ(MRU->GetHotButton(), 1);
  PostMessageA(wnd, WM_NCLBUTTONDOWN, HTBORDER, onSecond);
  PostMessageA(wnd, WM_LBUTTONUP, 0, 0);
  Application->ProcessMessages();
  PumpPending();
  EXPECT_EQ(Clicks, 1);
  EXPECT_FALSE(MRU->GetDroppedDown()) << "the second button never opens the list";

  const size_t containerKeys = Container->KeysDown.size();
  PressWithCtrl(wnd, VK_RETURN);
  EXPECT_EQ(Clicks, 2) << "Ctrl+Enter clicks it too";
  EXPECT_EQ(Container->KeysDown.size(), containerKeys) << "the key does not reach the container";
  EXPECT_EQ(MRU->GetText(), "") << "and types nothing";

  MRU->SetShowEllipsis(false);
  PressWithCtrl(wnd, VK_RETURN);
  EXPECT_EQ(Clicks, 2) << "without the second button Ctrl+Enter is the pick editor's";
}

}  // namespace
