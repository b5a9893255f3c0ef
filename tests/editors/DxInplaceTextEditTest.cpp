// The text editor on its RichEdit window: case conversion, the text limit, the
// password character in the menu and in painted cells, the modified flag across a new
// window, change notifications, selection, the context menu's states and the keys it
// handles itself.
#include <memory>
#include <string>
#include <tuple>

#include <gtest/gtest.h>

#include "classlib/Menus.h"
#include "editors/DxInplaceBlobEdit.h"
#include "editors/DxInplaceTextEdit.h"
#include "tests/editors/EditorsTestSupport.h"
#include "tests/editors/GuardedHeap.h"

namespace {

class TTestTextEdit : public TdxInplaceTextEdit {
  KIVO_CLASS(TTestTextEdit, TdxInplaceTextEdit)
 public:
  explicit TTestTextEdit(TComponent* AOwner) : TdxInplaceTextEdit(AOwner, &MetaClass()) {}
  using TdxInplaceTextEdit::KeyDown;
  using TdxInplaceTextEdit::KeyPress;
  int Changes = 0;

 protected:
  TTestTextEdit(TComponent* AOwner, const TdxInplaceEditClass* cls) : TdxInplaceTextEdit(AOwner, cls) {}
  void Change() override {
    ++Changes;
    inherited::Change();
  }
};

class TStandAloneTextEdit : public TTestTextEdit {
  KIVO_CLASS(TStandAloneTextEdit, TTestTextEdit)
 public:
  explicit TStandAloneTextEdit(TComponent* AOwner) : TTestTextEdit(AOwner, &MetaClass()) {}
  static bool IsInplace(const TdxInplaceEditClass&) { return false; }
};

class DxInplaceTextEditTest : public EditorTest {
 protected:
  void SetUp() override {
    EditorTest::SetUp();
    ASSERT_TRUE(DxRichEditLoaded());
    Text = new TTestTextEdit(Container);
    Text->SetParent(Container);
    Text->SetBounds(10, 10, 150, 24);
  }
  bool MenuEnabled(int index) { return Text->PrepareContextMenu()->GetItems()->GetItem(index)->GetEnabled(); }
  TTestTextEdit* Text = nullptr;
};

TEST_F(DxInplaceTextEditTest, WindowIsAPlainTextRichEdit) {
  HWND wnd = Text->GetHandle();
  EXPECT_EQ(SendMessageA(wnd, EM_GETTEXTMODE, 0, 0) & TM_PLAINTEXT, TM_PLAINTEXT);
  EXPECT_TRUE(GetWindowLongA(wnd, GWL_STYLE) & ES_AUTOHSCROLL);
  Text->SetText("hello");
  EXPECT_EQ(Text->GetTextLength(), 5);
  std::unique_ptr<TdxEditViewData> v(Text->CreateViewData(false));
  EXPECT_TRUE(v->Is<TdxTextEditViewData>());
  EXPECT_TRUE(v->HasTextArea);
}

TEST_F(DxInplaceTextEditTest, CharCaseConvertsWithoutMarkingModified) {
  Text->SetText("abc");
  Text->SetModified(false);
  Text->SetCharCase(ecUpperCase);
  EXPECT_EQ(Text->GetText(), "ABC");
  EXPECT_FALSE(Text->GetModified());
  Text->SetSelStart(3);
  SendMessageA(Text->GetHandle(), WM_CHAR, 'd', 1);
  EXPECT_EQ(Text->GetText(), "ABCD") << "typed characters are converted too";
}

TEST_F(DxInplaceTextEditTest, MaxLengthIsNeverNegativeAndZeroMeansNoLimit) {
  // Regression: a MaxLength of 0 set RichEdit's default limit of about 64K characters
  // (a limit of 0 means that default), cutting longer values short.
  Text->SetMaxLength(-5);
  EXPECT_EQ(Text->GetMaxLength(), 0);
  EXPECT_TRUE(Text->GetAssignedValues().Contains(evMaxLength));
  EXPECT_GT(SendMessageA(Text->GetHandle(), EM_GETLIMITTEXT, 0, 0), 0x100000);
  Text->SetMaxLength(4);
  EXPECT_EQ(SendMessageA(Text->GetHandle(), EM_GETLIMITTEXT, 0, 0), 4);
  Text->RestoreDefaults();
  EXPECT_EQ(Text->GetMaxLength(), 0);
}

TEST_F(DxInplaceTextEditTest, PasswordHidesTextFromMenuAndCell) {
  Text->SetText("secret");
  Text->SetPasswordChar('*');
  Text->SelectAll();
  EXPECT_GE(Text->GetSelLength(), 6);
  EXPECT_FALSE(MenuEnabled(3)) << "Cut";
  EXPECT_FALSE(MenuEnabled(4)) << "Copy";
  EXPECT_TRUE(MenuEnabled(6)) << "Delete";
  EXPECT_FALSE(MenuEnabled(8)) << "Select All: everything is selected";
  std::unique_ptr<TdxEditViewData> v(Text->CreateViewData(true));
  EXPECT_EQ(static_cast<TdxTextEditViewData*>(v.get())->PasswordChar, '*');
  EXPECT_EQ(Text->GetText(), "secret");
  Text->SetPasswordChar(0);
  EXPECT_TRUE(MenuEnabled(4));
}

TEST_F(DxInplaceTextEditTest, MenuFollowsSelectionAndReadOnly) {
  Text->SetText("words here");
  Text->SetSelStart(2);
  EXPECT_EQ(Text->GetSelStart(), 2);
  EXPECT_FALSE(MenuEnabled(4));
  EXPECT_TRUE(MenuEnabled(8));
  Text->SetSelLength(3);
  EXPECT_EQ(Text->GetSelText(), "rds");
  char buffer[3];
  EXPECT_EQ(Text->GetSelTextBuf(buffer, 3), 2) << "room is left for the terminator";
  EXPECT_STREQ(buffer, "rd");
  EXPECT_TRUE(MenuEnabled(3));
  Text->SetReadOnly(true);
  EXPECT_TRUE(GetWindowLongA(Text->GetHandle(), GWL_STYLE) & ES_READONLY);
  EXPECT_FALSE(MenuEnabled(3));
  EXPECT_FALSE(MenuEnabled(6));
  EXPECT_TRUE(MenuEnabled(4));
  EXPECT_FALSE(MenuEnabled(5)) << "nothing pastes into a read-only editor";
}

TEST_F(DxInplaceTextEditTest, MenuItemsRunTheirCommands) {
  Text->SetText("words here");
  // Each click on the menu as it is prepared for the editor's state then.
  auto click = [&](int index) { Text->PrepareContextMenu()->GetItems()->GetItem(index)->Click(); };
  click(8);  // Select All
  EXPECT_EQ(Text->GetSelText(), "words here");
  Text->SetSelStart(0);
  Text->SetSelLength(6);
  click(6);  // Delete
  EXPECT_EQ(Text->GetText(), "here");
  click(0);  // Undo
  EXPECT_EQ(Text->GetText(), "words here");
  click(1);  // Redo
  EXPECT_EQ(Text->GetText(), "here");
}

TEST_F(DxInplaceTextEditTest, ModifiedSurvivesANewWindow) {
  Text->SetText("x");
  Text->SetModified(true);
  Text->SetSelectionBar(true);  // makes the window again
  EXPECT_TRUE(GetWindowLongA(Text->GetHandle(), GWL_STYLE) & ES_SELECTIONBAR);
  EXPECT_TRUE(Text->GetModified());
  EXPECT_EQ(Text->GetText(), "x");
  Text->SetModified(false);
  Text->SetOEMConvert(true);
  EXPECT_FALSE(Text->GetModified());
}

TEST_F(DxInplaceTextEditTest, TypingReportsChangesButLoadingValuesDoesNot) {
  Text->HandleNeeded();
  Text->Changes = 0;
  Text->SetEditValue(Variant("loaded"));
  EXPECT_EQ(Text->Changes, 0);
  EXPECT_EQ(Text->GetText(), "loaded");
  EXPECT_FALSE(Text->EditCanUndo());
  Text->SetEditValue(Variant::Null());
  EXPECT_EQ(Text->GetText(), "");
  SendMessageA(Text->GetHandle(), WM_CHAR, 'q', 1);
  EXPECT_EQ(Text->GetText(), "q");
  EXPECT_EQ(Text->Changes, 1);
  EXPECT_TRUE(Text->GetModified());
  Variant value;
  Text->GetEditValue(value);
  EXPECT_EQ(value.AsString(), "q");
}

TEST_F(DxInplaceTextEditTest, AValueTheWindowCannotKeepWholeIsShownInPartAndNotChanged) {
  // Regression: the window takes a text up to its first NUL byte, and a single line up to
  // its first line break; what it showed was edited and handed back as the value.
  struct TCase {
    std::string Value;
    bool Whole;
  } cases[] = {{std::string("before\0after", 12), false}, {"first\r\nsecond", false}, {"one line", true}};
  for (bool windowFirst : {true, false}) {
    for (const TCase& c : cases) {
      SCOPED_TRACE(c.Value + (windowFirst ? " (window first)" : " (window made after)"));
      if (windowFirst)
        Text->HandleNeeded();
      else
        Text->DestroyHandle();
      Text->SetEditValue(Variant(c.Value));
      Text->HandleNeeded();
      EXPECT_EQ(Text->GetValueShownInPart(), !c.Whole);
      EXPECT_EQ(Text->CanEditText(), c.Whole);
      EXPECT_EQ(Text->CanModify(), c.Whole);
      EXPECT_EQ((GetWindowLongA(Text->GetHandle(), GWL_STYLE) & ES_READONLY) != 0, !c.Whole);
    }
  }
  // A key that would change a value shown in part is refused with the reason.
  Text->SetEditValue(Variant(std::string("a\0b", 3)));
  char key = 'x';
  try {
    Text->KeyPress(key);
    ADD_FAILURE() << "the change is refused";
  } catch (const EdxEditInvalidInput& error) {
    EXPECT_STREQ(error.what(), sdxValueShownInPart);
  }
  WORD del = VK_DELETE;
  EXPECT_THROW(Text->KeyDown(del, {}), EdxEditInvalidInput);
  EXPECT_FALSE(Text->GetModified());
}

// Counts the EN_CHANGE notifications a RichEdit child sends its parent.
int gTextChanges = 0;
LRESULT CALLBACK CountingParentProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_COMMAND && HIWORD(wParam) == EN_CHANGE)
    ++gTextChanges;
  return DefWindowProcA(wnd, msg, wParam, lParam);
}

TEST(RichEditTextTest, ALongTextGoesInByPiecesAsItWouldInOne) {
  // Lines ending in every kind of line break, where the first piece ends; letters of the
  // upper half, a tab and a soft line break; then a paragraph of words where the second
  // piece ends.
  std::string text;
  for (int i = 0; text.size() < 100000; ++i)
    text += "line " + std::to_string(i) + std::string(60, '-') +
            (i % 4 == 0 ? "\n" : i % 4 == 1 ? "\r" : i % 4 == 2 ? "\r\n" : "\n\r");
  text += "\t\xE9" "t\xE9 \xFC" "ber \r\r\n";
  for (int i = 0; text.size() < 2 * kRichEditPieceSize + 10000; ++i)
    text += "word" + std::to_string(i % 10) + (i % 7 == 0 ? "." : " ");
  WNDCLASSA cls{};
  cls.lpfnWndProc = CountingParentProc;
  cls.hInstance = GetModuleHandleA(nullptr);
  cls.lpszClassName = "RichEditTextTestParent";
  RegisterClassA(&cls);
  HWND parent = CreateWindowExA(0, cls.lpszClassName, "", WS_POPUP, 0, 0, 300, 200, nullptr, nullptr, cls.hInstance,
                                nullptr);
  auto memo = [&] {
    HWND wnd = CreateWindowExA(0, "RichEdit20A", "", WS_CHILD | ES_MULTILINE | ES_AUTOVSCROLL, 0, 0, 280, 180, parent,
                               nullptr, cls.hInstance, nullptr);
    SendMessageA(wnd, EM_SETTEXTMODE, TM_PLAINTEXT, 0);
    SendMessageA(wnd, EM_EXLIMITTEXT, 0, 100);  // less than the text: it goes in whole all the same
    SendMessageA(wnd, WM_SETTEXT, 0, reinterpret_cast<LPARAM>("an old text"));
    SendMessageA(wnd, EM_SETMODIFY, TRUE, 0);
    SendMessageA(wnd, EM_SETEVENTMASK, 0, ENM_CHANGE);
    return wnd;
  };
  auto state = [](HWND wnd) {
    const int length = GetWindowTextLengthA(wnd);
    std::string shown(size_t(length) + 1, '\0');
    shown.resize(size_t(GetWindowTextA(wnd, shown.data(), length + 1)));
    CHARRANGE selection{};
    SendMessageA(wnd, EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&selection));
    return std::make_tuple(shown, SendMessageA(wnd, EM_GETMODIFY, 0, 0) != 0, SendMessageA(wnd, EM_CANUNDO, 0, 0) != 0,
                           selection.cpMin, selection.cpMax, SendMessageA(wnd, EM_GETLIMITTEXT, 0, 0) >= LRESULT(100));
  };
  HWND atOnce = memo(), inPieces = memo();
  gTextChanges = 0;
  SendMessageA(atOnce, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
  const int changesAtOnce = gTextChanges;
  gTextChanges = 0;
  SetRichEditText(inPieces, text);
  EXPECT_EQ(gTextChanges, changesAtOnce);
  const auto expected = state(atOnce), actual = state(inPieces);
  EXPECT_TRUE(std::get<0>(actual) == std::get<0>(expected)) << "the same text, laid out the same";
  EXPECT_EQ(std::get<0>(actual).size(), std::get<0>(expected).size());
  EXPECT_EQ(std::get<1>(actual), std::get<1>(expected)) << "modified";
  EXPECT_EQ(std::get<2>(actual), std::get<2>(expected)) << "undo";
  EXPECT_EQ(std::get<3>(actual), std::get<3>(expected)) << "selection start";
  EXPECT_EQ(std::get<4>(actual), std::get<4>(expected)) << "selection end";
  EXPECT_EQ(std::get<5>(actual), std::get<5>(expected)) << "limit";
  DestroyWindow(parent);
}

TEST_F(DxInplaceTextEditTest, F2PutsTheCaretAtTheEnd) {
  Text->SetText("abcdef");
  Text->SelectAll();
  WORD key = VK_F2;
  Text->KeyDown(key, {});
  EXPECT_EQ(Text->GetSelStart(), 6);
  EXPECT_EQ(Text->GetSelLength(), 0);
}

TEST_F(DxInplaceTextEditTest, EscapeInPlaceRestoresTheTextEditingBeganWith) {
  Text->SetText("first");
  Text->SetModified(false);
  Text->Perform(CM_ENTER);
  SendMessageA(Text->GetHandle(), WM_CHAR, 'z', 1);
  EXPECT_TRUE(Text->GetModified());
  WORD key = VK_ESCAPE;
  Text->KeyDown(key, {});
  EXPECT_EQ(Text->GetText(), "first");
  EXPECT_FALSE(Text->GetModified());
}

TEST_F(DxInplaceTextEditTest, StandAloneEditorPaintsItsFrameAroundTheRichEdit) {
  auto* alone = new TStandAloneTextEdit(Form);
  alone->SetParent(Form);
  alone->SetBounds(10, 100, 121, 24);
  alone->HandleNeeded();
  RECT client{};
  GetClientRect(alone->GetHandle(), &client);
  EXPECT_EQ(client.right, alone->GetWidth() - 4);
  EXPECT_EQ(client.bottom, alone->GetHeight() - 4);
  LRESULT code = SendMessageA(alone->GetHandle(), WM_GETDLGCODE, 0, 0);
  EXPECT_FALSE(code & DLGC_WANTARROWS);
  std::unique_ptr<TdxEditViewData> v(alone->CreateViewData(false));
  EXPECT_FALSE(static_cast<TdxTextEditViewData*>(v.get())->FocusRectMode) << "it has a text area";
}

// Fault: what changed the text or the selection (the text set, also of an editor without
// a text area, a typed character, Escape, the case, the editor entered) went on with the editor after its OnChange or
// OnSelectionChange handler had freed it (use after free).
TEST_F(DxInplaceTextEditTest, AChangeHandlerThatFreesTheEditorEndsWhatChangedIt) {
  const TGuardedHeap guarded;  // a freed editor's memory faults when it is touched
  TFreeSender freeSender;
  auto make = [this](const std::string& text) {
    auto* edit = new TTestTextEdit(Container);
    edit->SetParent(Container);
    edit->SetBounds(10, 10, 150, 24);
    edit->SetText(text);
    edit->HandleNeeded();
    return edit;
  };
  auto onChange = [&](TTestTextEdit* edit) {
    edit->OnChange = TNotifyEvent::Bind<&TFreeSender::Notify>(&freeSender);
    return edit;
  };
  auto onSelection = [&](TTestTextEdit* edit) {
    edit->OnSelectionChange = TNotifyEvent::Bind<&TFreeSender::Notify>(&freeSender);
    return edit;
  };
  EXPECT_TRUE(FreedBy(onChange(make("")), [](TTestTextEdit* edit) { edit->SetText("set"); }));
  EXPECT_TRUE(FreedBy(onChange(make("")), [](TTestTextEdit* edit) { edit->SetTextAsUser("typed"); }));
  auto* blob = new TdxInplaceBlobEdit(Container);
  blob->SetParent(Container);
  blob->OnChange = TNotifyEvent::Bind<&TFreeSender::Notify>(&freeSender);
  EXPECT_TRUE(FreedBy(blob, [](TdxInplaceBlobEdit* edit) { edit->SetText("shown"); }));
  EXPECT_TRUE(FreedBy(onChange(make("")), [](TTestTextEdit* edit) {
    SendMessageA(edit->GetHandle(), WM_CHAR, 'q', 1);
  }));
  TTestTextEdit* edited = make("first");
  edited->SetModified(false);
  edited->Perform(CM_ENTER);
  SendMessageA(edited->GetHandle(), WM_CHAR, 'z', 1);
  EXPECT_TRUE(FreedBy(onChange(edited), [](TTestTextEdit* edit) {
    WORD key = VK_ESCAPE;
    edit->KeyDown(key, {});
  })) << "Escape puts the first text back";
  EXPECT_TRUE(FreedBy(onSelection(make("abc")), [](TTestTextEdit* edit) { edit->Perform(CM_ENTER); }))
      << "entering selects the text";
  TTestTextEdit* cased = make("abc");
  cased->SetSelStart(2);
  freeSender.Spared = 1;  // the text set moves the caret, and putting it back frees
  EXPECT_TRUE(FreedBy(onSelection(cased), [](TTestTextEdit* edit) { edit->SetCharCase(ecUpperCase); }));
  freeSender.Spared = 0;
  EXPECT_TRUE(Exceptions.Messages.empty());
}

// Fault: a press, a release or a resize went on with the editor after its OnMouseDown,
// OnMouseUp or OnResize handler had freed it (use after free).
TEST_F(DxInplaceTextEditTest, AMouseOrSizeHandlerThatFreesTheEditorEndsTheMessage) {
  const TGuardedHeap guarded;  // a freed editor's memory faults when it is touched
  TFreeSender freeSender;
  auto make = [&] {
    auto* edit = new TTestTextEdit(Container);
    edit->SetParent(Container);
    edit->SetBounds(10, 10, 150, 24);
    edit->SetText("abc");
    edit->HandleNeeded();
    edit->OnMouseDown = TMouseEvent::Bind<&TFreeSender::Mouse>(&freeSender);
    edit->OnMouseUp = TMouseEvent::Bind<&TFreeSender::Mouse>(&freeSender);
    edit->OnResize = TNotifyEvent::Bind<&TFreeSender::Notify>(&freeSender);
    return edit;
  };
  // Outside the client area, where the release shows no context menu.
  const LPARAM at = MAKELPARAM(WORD(-50), WORD(-50));
  for (UINT msg : {WM_LBUTTONDOWN, WM_RBUTTONDOWN, WM_RBUTTONUP})
    EXPECT_TRUE(FreedBy(make(), [&](TTestTextEdit* edit) { SendMessageA(edit->GetHandle(), msg, 0, at); }))
        << "message " << msg;
  EXPECT_TRUE(FreedBy(make(), [](TTestTextEdit* edit) { edit->SetBounds(10, 10, 180, 30); }));
  EXPECT_TRUE(FreedBy(make(), [](TTestTextEdit* edit) { edit->ShowEdit(TRect{20, 20, 200, 44}); }))
      << "shown in another cell";
  ReleaseCapture();
  EXPECT_TRUE(Exceptions.Messages.empty());
}

}  // namespace
