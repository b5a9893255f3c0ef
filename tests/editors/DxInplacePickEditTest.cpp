// The pick editor: completing typed text from its items (keys pressed through the
// application's loop), stepping through the items, list style, the list that drops
// down while typing goes on, choosing from it by mouse, and the list's own type-ahead
// with its two-second reset driven by a replaced clock.
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "classlib/AliveGuard.h"
#include "editors/DxInplacePickEdit.h"
#include "tests/editors/GuardedHeap.h"
#include "tests/editors/ListEditorsTestSupport.h"

namespace {

class TTestPickEdit : public TdxInplacePickEdit {
  KIVO_CLASS(TTestPickEdit, TdxInplacePickEdit)
 public:
  explicit TTestPickEdit(TComponent* AOwner) : TdxInplacePickEdit(AOwner, &MetaClass()) {}
  std::vector<std::pair<std::string, bool>> CloseUps;
  void DoCloseUp(Variant& value, bool& accept) override {
    CloseUps.emplace_back(VarToStr(value), accept);
    inherited::DoCloseUp(value, accept);
  }

 protected:
  TTestPickEdit(TComponent* AOwner, const TdxInplaceEditClass* cls) : TdxInplacePickEdit(AOwner, cls) {}
};

// The same editor stand-alone, where the arrows step through the items.
class TStandAlonePickEdit : public TTestPickEdit {
  KIVO_CLASS(TStandAlonePickEdit, TTestPickEdit)
 public:
  explicit TStandAlonePickEdit(TComponent* AOwner) : TTestPickEdit(AOwner, &MetaClass()) {}
  static bool IsInplace(const TdxInplaceEditClass&) { return false; }
};

// The type-ahead's clock, moved by the tests.
DWORD gNow = 100000;
DWORD WINAPI TestTicks() { return gNow; }

class DxInplacePickEditTest : public EditorTest {
 protected:
  void SetUp() override {
    EditorTest::SetUp();
    FPreviousClock = TCustomdxPopupPickListBox::SetTickCountProc(TestTicks);
    Pick = new TTestPickEdit(Container);
    Pick->SetParent(Container);
    Pick->SetBounds(10, 10, 200, 24);
    Pick->GetItems()->SetText("Apple\napricot\nBanana\nblue\nCherry");
  }
  void TearDown() override {
    TCustomdxPopupPickListBox::SetTickCountProc(FPreviousClock);
    EditorTest::TearDown();
  }
  void ShowInPlace(TdxInplaceEdit* edit, const std::string& value) {
    ShowForm();
    edit->SetEditValue(value);
    edit->ShowEdit(Rect(12, 12, 208, 32));
    PumpPending();
    ASSERT_EQ(GetFocus(), edit->GetHandle());
  }
  std::string Selected(TdxInplacePickEdit* edit) { return edit->GetSelText(); }
  HWND List() { return Pick->GetPopupListBox()->GetHandle(); }
  bool ListShown() { return Pick->GetPopupListBox()->HandleAllocated() && IsWindowVisible(List()); }
  TTestPickEdit* Pick = nullptr;

 private:
  TCustomdxPopupPickListBox::TTickCountProc FPreviousClock = nullptr;
};

TEST_F(DxInplacePickEditTest, TypingCompletesFromTheItemsAndSelectsTheRest) {
  ShowInPlace(Pick, "");
  HWND wnd = Pick->GetHandle();
  TypeKeys(wnd, "ap");
  EXPECT_EQ(Pick->GetText(), "Apple");
  EXPECT_EQ(Selected(Pick), "ple") << "the typed prefix stays, the rest is selected";
  EXPECT_EQ(Pick->GetSelStart(), 2);
  EXPECT_TRUE(Pick->GetModified());
  TypeKeys(wnd, "r");
  EXPECT_EQ(Pick->GetText(), "apricot");
  EXPECT_EQ(Selected(Pick), "icot");
  PressKey(wnd, VK_BACK);
  EXPECT_EQ(Pick->GetText(), "Apple") << "Backspace completes again from the shorter prefix";
  EXPECT_EQ(Selected(Pick), "ple");
  EXPECT_EQ(Pick->GetSearchText(), "Ap") << "the prefix as shown";
  TypeKeys(wnd, "x");
  EXPECT_EQ(Pick->GetText(), "Apx") << "no item: the character is typed over the selection";
  PressKey(wnd, VK_BACK);
  EXPECT_EQ(Pick->GetText(), "Apple");
  PressKey(wnd, VK_BACK);
  EXPECT_EQ(Selected(Pick), "pple");
  PressKey(wnd, VK_BACK);
  EXPECT_EQ(Pick->GetText(), "") << "the last typed character goes with the value";
  TypeKeys(wnd, "c");
  EXPECT_EQ(Pick->GetText(), "Cherry");
  PressKey(wnd, VK_ESCAPE);
  EXPECT_FALSE(Pick->GetSearching());
  EXPECT_TRUE(Exceptions.Messages.empty());
}

TEST_F(DxInplacePickEditTest, ArrowsStepThroughTheItemsWithoutWrapping) {
  auto* alone = new TStandAlonePickEdit(Form);
  alone->SetParent(Form);
  alone->SetBounds(10, 100, 150, 24);
  alone->GetItems()->Assign(Pick->GetItems());
  ShowForm();
  alone->SetFocus();
  alone->SetEditValue("blue");
  HWND wnd = alone->GetHandle();
  // Regression: stand-alone, Up and Down moved the focus to the next control (the text editor leaves arrows to the form).
  EXPECT_TRUE(SendMessageA(wnd, WM_GETDLGCODE, 0, 0) & DLGC_WANTARROWS);
  PressKey(wnd, VK_DOWN);
  EXPECT_EQ(alone->GetText(), "Cherry");
  EXPECT_EQ(Selected(alone), "Cherry") << "the whole text is selected";
  PressKey(wnd, VK_DOWN);
  EXPECT_EQ(alone->GetText(), "Cherry") << "the last item stays";
  PressKey(wnd, VK_PRIOR);
  EXPECT_EQ(alone->GetText(), "Apple") << "a page is DropDownRows - 1 items, stopped at the first";
  alone->DropDownRows = 3;
  PressKey(wnd, VK_NEXT);
  EXPECT_EQ(alone->GetText(), "Banana");
  // Regression: the step started from the item last stepped to after the user had typed another item (the index was never forgotten).
  alone->SelectAll();
  TypeKeys(wnd, "ch");
  PressKey(wnd, VK_UP);
  EXPECT_EQ(alone->GetText(), "blue") << "the step starts from the typed item";

  // A double click of a Revertable editor goes on to the next item and round.
  alone->SetRevertable(true);
  const TRect client = ClientRect(wnd);
  PostMessageA(wnd, WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(5, client.bottom / 2));
  PostMessageA(wnd, WM_LBUTTONUP, 0, MAKELPARAM(5, client.bottom / 2));
  Application->ProcessMessages();
  EXPECT_EQ(alone->GetText(), "Cherry");
  PostMessageA(wnd, WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(5, client.bottom / 2));
  PostMessageA(wnd, WM_LBUTTONUP, 0, MAKELPARAM(5, client.bottom / 2));
  Application->ProcessMessages();
  EXPECT_EQ(alone->GetText(), "Apple") << "from the last item round to the first";
}

TEST_F(DxInplacePickEditTest, ListStyleTakesOnlyListValues) {
  Pick->SetDropDownListStyle(true);
  ShowInPlace(Pick, "Banana");
  HWND wnd = Pick->GetHandle();
  EXPECT_FALSE(Pick->CanEditText());
  EXPECT_TRUE(GetWindowLongA(wnd, GWL_STYLE) & ES_READONLY);
  Pick->SelectAll();
  TypeKeys(wnd, "q");
  EXPECT_EQ(Pick->GetText(), "Banana") << "a character no item begins with is not typed";
  Pick->SelectAll();
  TypeKeys(wnd, "bl");
  EXPECT_EQ(Pick->GetText(), "blue");
  Pick->SelectAll();
  PressKey(wnd, VK_DELETE);
  EXPECT_EQ(Pick->GetText(), "blue") << "without CanDeleteText the value stays";
  Pick->SetCanDeleteText(true);
  Pick->SelectAll();
  PressKey(wnd, VK_DELETE);
  EXPECT_EQ(Pick->GetText(), "");
  Pick->SetDropDownListStyle(false);
  EXPECT_FALSE(GetWindowLongA(wnd, GWL_STYLE) & ES_READONLY);
}

TEST_F(DxInplacePickEditTest, OpenListFollowsTheTypingAndTheMouseChooses) {
  ShowInPlace(Pick, "blue");
  HWND wnd = Pick->GetHandle();
  PressKey(wnd, VK_F4);
  ASSERT_TRUE(ListShown());
  EXPECT_EQ(GetAncestor(List(), GA_PARENT), GetDesktopWindow());
  TCustomdxPopupPickListBox* list = Pick->GetPopupListBox();
  EXPECT_EQ(list->GetItems()->GetCount(), 5);
  EXPECT_EQ(list->GetItemIndex(), 3);
  EXPECT_EQ(ClientRect(List()).bottom, 5 * list->GetLastItemHeight()) << "all five rows show";
  EXPECT_FALSE(GetWindowLongA(List(), GWL_STYLE) & WS_VSCROLL) << "no scroll bar for five lines";

  // Typing goes on in the editor and the list's selection follows the completion.
  Pick->SelectAll();
  TypeKeys(wnd, "c");
  EXPECT_EQ(Pick->GetText(), "Cherry");
  EXPECT_EQ(list->GetItemIndex(), 4);
  PressKey(wnd, VK_UP);
  EXPECT_EQ(list->GetItemIndex(), 3) << "Up goes to the list";
  EXPECT_EQ(Pick->GetText(), "Cherry");

  // A release outside the list closes it without choosing.
  PostMessageA(List(), WM_LBUTTONUP, 0, MAKELPARAM(5, -10));
  Application->ProcessMessages();
  EXPECT_FALSE(ListShown());
  EXPECT_EQ(Pick->GetText(), "Cherry");
  EXPECT_EQ(Pick->CloseUps.back(), std::make_pair(std::string("blue"), false));

  // A click on a line chooses it, selected whole.
  PressKey(wnd, VK_F4);
  const TRect line = LineRect(List(), 2);
  ClickAt(List(), 10, line.top + 2);
  EXPECT_FALSE(ListShown());
  EXPECT_EQ(Pick->GetText(), "Banana");
  EXPECT_EQ(Selected(Pick), "Banana");
  EXPECT_EQ(Pick->CloseUps.back(), std::make_pair(std::string("Banana"), true));
  EXPECT_EQ(GetFocus(), wnd);
  EXPECT_TRUE(Exceptions.Messages.empty());
}

TEST_F(DxInplacePickEditTest, ListTypeAheadStartsAnewAfterTwoSecondsWithoutTyping) {
  ShowInPlace(Pick, "");
  PressKey(Pick->GetHandle(), VK_F4);
  ASSERT_TRUE(ListShown());
  TCustomdxPopupPickListBox* list = Pick->GetPopupListBox();
  const auto type = [&](char c, DWORD after) {
    gNow += after;
    PostMessageA(List(), WM_CHAR, WPARAM(uint8_t(c)), 1);
    Application->ProcessMessages();
  };
  type('b', 0);
  EXPECT_EQ(list->GetItemIndex(), 2) << "Banana";
  type('l', 2000);
  EXPECT_EQ(list->GetTypeAhead(), "bl") << "two seconds exactly still continue";
  EXPECT_EQ(list->GetItemIndex(), 3) << "blue";
  type('x', 10);
  EXPECT_EQ(list->GetTypeAhead(), "bl") << "a character that finds nothing is dropped";
  EXPECT_EQ(list->GetItemIndex(), 3);
  type('c', 2001);
  EXPECT_EQ(list->GetTypeAhead(), "c") << "after a longer pause the typing starts anew";
  EXPECT_EQ(list->GetItemIndex(), 4) << "Cherry";
  type('\b', 0);
  EXPECT_EQ(list->GetTypeAhead(), "");
  type('A', 0);
  EXPECT_EQ(list->GetItemIndex(), 0) << "the search ignores case";
  Pick->CloseUp(false);
}

TEST_F(DxInplacePickEditTest, ImmediateDropDownOpensTheListAsTypingBeginsAndTheWheelSteps) {
  Pick->ImmediateDropDown = true;
  ShowInPlace(Pick, "");
  PumpPending();
  ASSERT_TRUE(ListShown()) << "shown with the editor";
  PressKey(Pick->GetHandle(), VK_ESCAPE);
  ASSERT_FALSE(ListShown());
  TypeKeys(Pick->GetHandle(), "b");
  EXPECT_TRUE(ListShown()) << "typing opens it again";
  EXPECT_EQ(Pick->GetText(), "Banana");
  EXPECT_EQ(Pick->GetPopupListBox()->GetItemIndex(), 2);
  Pick->CloseUp(false);

  Pick->ImmediateDropDown = false;
  const LPARAM point = MAKELPARAM(WindowRect(Pick->GetHandle()).left + 5, WindowRect(Pick->GetHandle()).top + 5);
  SendMessageA(Pick->GetHandle(), WM_MOUSEWHEEL, MAKEWPARAM(0, WORD(-WHEEL_DELTA)), point);
  EXPECT_EQ(Pick->GetText(), "blue") << "toward the user: the next item";
  SendMessageA(Pick->GetHandle(), WM_MOUSEWHEEL, MAKEWPARAM(0, WHEEL_DELTA), point);
  SendMessageA(Pick->GetHandle(), WM_MOUSEWHEEL, MAKEWPARAM(0, WHEEL_DELTA), point);
  EXPECT_EQ(Pick->GetText(), "apricot");
}

// Frees the editor that closes up.
struct TFreeOnCloseUp {
  void CloseUp(TObject* sender, Variant&, bool&) { delete sender; }
};

// Fault: the pick editor's close-up, drop-down and keys went on with the editor after a
// handler of its own event (OnCloseUp, OnDropDown) had freed it (use after free).
TEST_F(DxInplacePickEditTest, AHandlerThatFreesTheEditorEndsItsWork) {
  ShowForm();
  const TGuardedHeap guarded;  // a freed editor's memory faults when it is touched
  TFreeSender freeSender;
  TFreeOnCloseUp freeOnCloseUp;
  auto make = [this] {
    auto* pick = new TTestPickEdit(Container);
    pick->SetParent(Container);
    pick->GetItems()->SetText("Apple\nBanana\nCherry");
    ShowInPlace(pick, "Banana");
    return pick;
  };

  // Enter in the open list: the keys, the close-up and the window procedure.
  TTestPickEdit* pick = make();
  PressKey(pick->GetHandle(), VK_F4);
  ASSERT_TRUE(pick->GetDroppedDown());
  pick->OnCloseUp = TdxCloseUpEvent::Bind<&TFreeOnCloseUp::CloseUp>(&freeOnCloseUp);
  {
    const TAliveGuard alive(pick);
    PressKey(pick->GetHandle(), VK_RETURN);
    EXPECT_FALSE(alive.Alive());
  }

  // A close-up asked directly, and F4 opening the list.
  pick = make();
  PressKey(pick->GetHandle(), VK_F4);
  pick->OnCloseUp = TdxCloseUpEvent::Bind<&TFreeOnCloseUp::CloseUp>(&freeOnCloseUp);
  {
    const TAliveGuard alive(pick);
    pick->CloseUp(true);
    EXPECT_FALSE(alive.Alive());
  }
  pick = make();
  pick->OnDropDown = TNotifyEvent::Bind<&TFreeSender::Notify>(&freeSender);
  {
    const TAliveGuard alive(pick);
    PressKey(pick->GetHandle(), VK_F4);
    EXPECT_FALSE(alive.Alive());
  }
  EXPECT_TRUE(Exceptions.Messages.empty());
}

}  // namespace
