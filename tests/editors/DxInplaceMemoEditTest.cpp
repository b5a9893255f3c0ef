// The memo editor: its window styles and defaults, Enter and the navigation keys in a
// container and stand-alone (keys pressed through the application's loop, as the user
// presses them), and its lines read and changed on the window.
#include <algorithm>
#include <memory>
#include <string>

#include <gtest/gtest.h>

#include "classlib/Exceptions.h"
#include "editors/DxInplaceMemoEdit.h"
#include "tests/editors/EditorsTestSupport.h"

namespace {

class TTestMemo : public TdxInplaceMemoEdit {
  KIVO_CLASS(TTestMemo, TdxInplaceMemoEdit)
 public:
  explicit TTestMemo(TComponent* AOwner) : TdxInplaceMemoEdit(AOwner, &MetaClass()) {}
  using TdxInplaceMemoEdit::KeyDown;
  using TdxInplaceMemoEdit::Loaded;
  int Changes = 0;
  int TextChanges = 0;
  void Dispatch(TMessage& message) override {
    if (message.Msg == CM_TEXTCHANGED)
      ++TextChanges;
    inherited::Dispatch(message);
  }

 protected:
  TTestMemo(TComponent* AOwner, const TdxInplaceEditClass* cls) : TdxInplaceMemoEdit(AOwner, cls) {}
  void Change() override {
    ++Changes;
    inherited::Change();
  }
};

class TStandAloneMemo : public TTestMemo {
  KIVO_CLASS(TStandAloneMemo, TTestMemo)
 public:
  explicit TStandAloneMemo(TComponent* AOwner) : TTestMemo(AOwner, &MetaClass()) {}
  static bool IsInplace(const TdxInplaceEditClass&) { return false; }
};

class DxInplaceMemoEditTest : public EditorTest {
 protected:
  void SetUp() override {
    EditorTest::SetUp();
    Container->AllowColumn = true;
    Container->Arrows = true;  // as a grid that is editing
    Memo = new TTestMemo(Container);
    Memo->SetParent(Container);
    Memo->SetBounds(10, 10, 200, 80);
  }
  // Shows the form and the memo in place over (10, 10, 210, 90), focused.
  void ShowInPlace() {
    ShowForm();
    Memo->ShowEdit(TRect{12, 12, 208, 88});
    PumpPending();
    ASSERT_EQ(GetFocus(), Memo->GetHandle());
  }
  int CaretLine() {
    return int(SendMessageA(Memo->GetHandle(), EM_EXLINEFROMCHAR, 0, Memo->GetSelStart()));
  }
  TTestMemo* Memo = nullptr;
};

TEST_F(DxInplaceMemoEditTest, IsAWordWrappingMultiLineWindowWithItsDefaults) {
  EXPECT_EQ(Memo->GetWidth(), 200);
  TTestMemo fresh(Container);
  EXPECT_EQ(fresh.GetWidth(), 185);
  EXPECT_EQ(fresh.GetHeight(), 89);
  EXPECT_FALSE(fresh.GetAutoSizeFlag());
  EXPECT_TRUE(fresh.GetSelectionBar());
  EXPECT_TRUE(fresh.GetAutoSelect()) << "in place it selects all on entry";
  TStandAloneMemo alone(Form);
  EXPECT_FALSE(alone.GetAutoSelect());
  const LONG style = GetWindowLongA(Memo->GetHandle(), GWL_STYLE);
  EXPECT_TRUE(style & ES_MULTILINE);
  EXPECT_FALSE(style & ES_AUTOHSCROLL) << "word wrap";
  EXPECT_FALSE(style & (WS_HSCROLL | WS_VSCROLL | ES_DISABLENOSCROLL));
  std::unique_ptr<TdxEditViewData> v(Memo->CreateViewData(true));
  EXPECT_EQ(v->VertAlignment, 3);
}

TEST_F(DxInplaceMemoEditTest, StyleSettersMakeANewWindowInTheSamePlace) {
  Memo->SetText("kept");
  Memo->HandleNeeded();
  Memo->SetScrollBars(ssBoth);
  Memo->SetHideScrollBars(false);
  Memo->SetWordWrap(false);
  const LONG style = GetWindowLongA(Memo->GetHandle(), GWL_STYLE);
  EXPECT_TRUE(style & WS_HSCROLL);
  EXPECT_TRUE(style & WS_VSCROLL);
  EXPECT_TRUE(style & ES_DISABLENOSCROLL);
  EXPECT_TRUE(style & ES_AUTOHSCROLL);
  EXPECT_EQ(Memo->GetText(), "kept");
  RECT r{};
  GetWindowRect(Memo->GetHandle(), &r);
  MapWindowPoints(nullptr, Container->GetHandle(), reinterpret_cast<POINT*>(&r), 2);
  EXPECT_EQ(r.left, 10);
  EXPECT_EQ(r.top, 10);
  EXPECT_EQ(r.right - r.left, 200);
  Memo->SetScrollBars(ssVertical);
  EXPECT_FALSE(GetWindowLongA(Memo->GetHandle(), GWL_STYLE) & WS_HSCROLL);
}

TEST_F(DxInplaceMemoEditTest, DialogCodeFollowsWantTabsAndWantReturns) {
  HWND wnd = Memo->GetHandle();
  EXPECT_TRUE(SendMessageA(wnd, WM_GETDLGCODE, 0, 0) & DLGC_WANTALLKEYS);
  Memo->SetWantReturns(false);
  EXPECT_FALSE(SendMessageA(wnd, WM_GETDLGCODE, 0, 0) & DLGC_WANTALLKEYS);
  EXPECT_TRUE(SendMessageA(wnd, WM_GETDLGCODE, 0, 0) & DLGC_WANTTAB) << "a container takes Tab";
  EXPECT_FALSE(Memo->WantsTab());
  Memo->SetWantTabs(true);
  EXPECT_TRUE(Memo->WantsTab());
  // Stand-alone, Tab and the arrows belong to the memo only as far as it wants them.
  auto* alone = new TStandAloneMemo(Form);
  alone->SetParent(Form);
  const LRESULT code = SendMessageA(alone->GetHandle(), WM_GETDLGCODE, 0, 0);
  EXPECT_FALSE(code & DLGC_WANTTAB);
  EXPECT_TRUE(code & DLGC_WANTARROWS) << "the caret moves between lines";
  alone->SetWantTabs(true);
  EXPECT_TRUE(SendMessageA(alone->GetHandle(), WM_GETDLGCODE, 0, 0) & DLGC_WANTTAB);
}

TEST_F(DxInplaceMemoEditTest, EnterInAContainerBreaksTheLineOnce) {
  ShowInPlace();
  Memo->SetText("ab");
  Memo->SetSelStart(1);
  PressKey(Memo->GetHandle(), VK_RETURN);
  PressKey(Memo->GetHandle(), VK_RETURN);
  EXPECT_EQ(Memo->GetLines()->GetCount(), 3);
  EXPECT_EQ(Memo->GetLines()->GetText(), "a\r\n\r\nb") << "the window's text";
  EXPECT_EQ(std::count(Container->KeysDown.begin(), Container->KeysDown.end(), VK_RETURN), 0)
      << "Enter stays in the memo";
  // Ctrl+Enter is the container's.
  WORD key = VK_RETURN;
  Memo->KeyDown(key, TShiftState{ssCtrl});
  EXPECT_EQ(std::count(Container->KeysDown.begin(), Container->KeysDown.end(), VK_RETURN), 1);
  EXPECT_EQ(Memo->GetLines()->GetCount(), 3);
}

TEST_F(DxInplaceMemoEditTest, EnterStandAloneBreaksTheLineOnce) {
  // Regression: a stand-alone memo broke the line twice per Enter, once for the
  // character it sends itself and once for the one TranslateMessage had queued.
  auto* alone = new TStandAloneMemo(Form);
  alone->SetParent(Form);
  ShowForm();
  alone->SetFocus();
  alone->SetText("xy");
  alone->SetSelStart(2);
  PressKey(alone->GetHandle(), VK_RETURN);
  PressKey(alone->GetHandle(), 'Z');
  EXPECT_EQ(alone->GetLines()->GetCount(), 2);
  EXPECT_EQ(alone->GetLines()->Get(1), "z") << "typed after the one new line";
  // Without WantReturns Enter goes to the parent and breaks nothing.
  alone->SetWantReturns(false);
  PressKey(alone->GetHandle(), VK_RETURN);
  EXPECT_EQ(alone->GetLines()->GetCount(), 2);
  // A read-only memo takes Enter without breaking its line.
  alone->SetWantReturns(true);
  alone->SetReadOnly(true);
  PressKey(alone->GetHandle(), VK_RETURN);
  EXPECT_EQ(alone->GetLines()->GetCount(), 2);
}

TEST_F(DxInplaceMemoEditTest, DownLeavesTheCellOnlyWithTheWholeTextSelected) {
  ShowInPlace();
  Memo->SetText("one\rtwo\rthree");
  Memo->SelectAll();
  Container->KeysDown.clear();
  PressKey(Memo->GetHandle(), VK_DOWN);
  ASSERT_EQ(Container->KeysDown.size(), 1u);
  EXPECT_EQ(Container->KeysDown[0], VK_DOWN);
  Container->KeysDown.clear();
  // After the user moves the caret, Down moves inside the text.
  Memo->SetSelStart(0);
  PressKey(Memo->GetHandle(), VK_DOWN);
  EXPECT_EQ(CaretLine(), 1);
  PressKey(Memo->GetHandle(), VK_NEXT);
  PressKey(Memo->GetHandle(), VK_UP);
  EXPECT_TRUE(Container->KeysDown.empty());
  // With a modifier the keys stay in the text even when all of it is selected.
  Memo->SelectAll();
  WORD key = VK_DOWN;
  Memo->KeyDown(key, TShiftState{ssShift});
  EXPECT_TRUE(Container->KeysDown.empty());
  // Tab is the container's unless the memo wants tabs.
  PressKey(Memo->GetHandle(), VK_TAB);
  EXPECT_EQ(Container->KeysDown.size(), 1u);
  Memo->SetWantTabs(true);
  Memo->SetSelStart(0);
  PressKey(Memo->GetHandle(), VK_TAB);
  EXPECT_EQ(Container->KeysDown.size(), 1u);
  EXPECT_EQ(Memo->GetLines()->Get(0), "\tone");
}

TEST_F(DxInplaceMemoEditTest, SelectingAllInPlaceShowsTheFirstLine) {
  std::string text;
  for (int i = 0; i < 40; ++i)
    text += "line " + std::to_string(i) + "\r";
  Memo->SetText(text);
  Memo->SetSelStart(int(text.size()));
  SendMessageA(Memo->GetHandle(), EM_SCROLLCARET, 0, 0);
  ASSERT_GT(SendMessageA(Memo->GetHandle(), EM_GETFIRSTVISIBLELINE, 0, 0), 0);
  Memo->SelectAll();
  EXPECT_EQ(SendMessageA(Memo->GetHandle(), EM_GETFIRSTVISIBLELINE, 0, 0), 0);
  EXPECT_EQ(Memo->GetSelStart(), 0);
  EXPECT_GE(Memo->GetSelLength(), int(text.size()));
}

TEST_F(DxInplaceMemoEditTest, LinesAreTheWindowsLines) {
  TdxMemoStrings* lines = Memo->GetLines();
  EXPECT_EQ(lines->GetCount(), 0);
  lines->Add("first");
  lines->Add("second");
  lines->Insert(1, "middle");
  EXPECT_EQ(lines->GetCount(), 3);
  EXPECT_EQ(lines->Get(0), "first");
  EXPECT_EQ(lines->Get(1), "middle");
  EXPECT_EQ(lines->Get(2), "second");
  lines->Put(0, "1st");
  lines->Delete(1);
  EXPECT_EQ(lines->GetText(), "1st\r\nsecond\r\n");
  lines->Delete(1);
  EXPECT_EQ(lines->GetCount(), 1);
  // A last line without a closing break, then one added after it.
  Memo->SetText("a\rb");
  EXPECT_EQ(lines->GetCount(), 2);
  lines->Add("c");
  EXPECT_EQ(lines->GetCount(), 3);
  EXPECT_EQ(lines->Get(2), "c");
  EXPECT_THROW(lines->Get(3), EListError);
  EXPECT_THROW(lines->Insert(5, "x"), EListError);
  EXPECT_THROW(lines->Delete(-1), EListError);
  lines->Clear();
  EXPECT_EQ(lines->GetCount(), 0);
  EXPECT_EQ(Memo->GetText(), "");
}

TEST_F(DxInplaceMemoEditTest, LongLinesAreReadWhole) {
  // Regression: lines were read into a fixed 4096-character buffer and cut.
  const std::string longLine(10000, 'x');
  Memo->SetWordWrap(false);
  Memo->GetLines()->SetText("short\r\n" + longLine + "\r\nend");
  ASSERT_EQ(Memo->GetLines()->GetCount(), 3);
  EXPECT_EQ(Memo->GetLines()->Get(1), longLine);
  EXPECT_EQ(Memo->GetLines()->Get(2), "end");
  // Longer than the edit window's 16-bit buffer count.
  const std::string huge(40000, 'y');
  Memo->GetLines()->Put(0, huge);
  EXPECT_EQ(Memo->GetLines()->Get(0), huge);
  // A copy of the lines is whole too.
  TStringList copy;
  copy.Assign(Memo->GetLines());
  ASSERT_EQ(copy.GetCount(), 3);
  EXPECT_EQ(copy.Get(1), longLine);
}

TEST_F(DxInplaceMemoEditTest, SettingTheTextNotifiesOnceAndOnlyOnChange) {
  Memo->HandleNeeded();
  Memo->Changes = 0;
  Memo->TextChanges = 0;
  Memo->GetLines()->SetText("a\nb\rc");
  EXPECT_EQ(Memo->GetLines()->GetCount(), 3);
  EXPECT_EQ(Memo->TextChanges, 1);
  EXPECT_EQ(Memo->Changes, 0) << "the list's change is no edit";
  Memo->GetLines()->SetText("a\r\nb\r\nc");
  EXPECT_EQ(Memo->TextChanges, 1) << "an equal text changes nothing";
  // Typing reports changes again afterwards.
  SendMessageA(Memo->GetHandle(), WM_CHAR, 'q', 1);
  EXPECT_EQ(Memo->Changes, 1);
  // An update bracket ends with one text-changed notification.
  Memo->TextChanges = 0;
  Memo->GetLines()->BeginUpdate();
  Memo->GetLines()->Add("x");
  Memo->GetLines()->Add("y");
  Memo->GetLines()->EndUpdate();
  EXPECT_EQ(Memo->TextChanges, 1);
}

TEST_F(DxInplaceMemoEditTest, LinesOfAMemoWithoutAWindowAreCounted) {
  // Regression: a memo that held text but had no window yet answered 0 lines, so that
  // copying its lines lost them.
  TTestMemo other(Container);
  other.SetParent(Container);
  other.SetText("one\rtwo");
  ASSERT_FALSE(other.HandleAllocated());
  TStringList copy;
  copy.Assign(other.GetLines());
  EXPECT_EQ(copy.GetCount(), 2);
  TTestMemo empty(Container);
  EXPECT_EQ(empty.GetLines()->GetCount(), 0);
  EXPECT_FALSE(empty.HandleAllocated());
}

TEST_F(DxInplaceMemoEditTest, LineBreaksOfEveryKindShowWholeButANulByteDoesNot) {
  // The memo shows a lone CR or LF as the CR LF it hands back: all of the value is
  // there. Its window takes a text only up to a NUL byte, and lays a CR CR LF out as a
  // blank: such a value is shown in part and kept from being changed.
  struct TCase {
    std::string Value;
    bool Whole;
  } cases[] = {{"unix\nlines", true},
               {"old\rmac", true},
               {"dos\r\nlines", true},
               {std::string("nul\0inside", 11), false},
               {"soft\r\r\nbreak", false}};
  Memo->HandleNeeded();
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Value);
    Memo->SetEditValue(Variant(c.Value));
    EXPECT_EQ(Memo->GetValueShownInPart(), !c.Whole);
    EXPECT_EQ(Memo->CanModify(), c.Whole);
  }
  Memo->SetCharCase(ecUpperCase);
  Memo->SetEditValue(Variant("lower\ncase"));
  EXPECT_EQ(Memo->GetText(), "LOWER\r\nCASE");
  EXPECT_FALSE(Memo->GetValueShownInPart()) << "the case the memo converts to is its own setting";
}

TEST_F(DxInplaceMemoEditTest, LoadedClearsTheModifiedFlag) {
  Memo->SetText("x");
  Memo->SetModified(true);
  Memo->Loaded();
  EXPECT_FALSE(Memo->GetModified());
}

}  // namespace
