// The mask editor on its RichEdit window: values laid into the mask, typing over
// positions with the caret stepping over literals, case directives, deleting to
// blanks, pasting, the limit, validation with its error and caret, and Escape.
#include <string>

#include <gtest/gtest.h>

#include "classlib/Clipboard.h"
#include "editors/DxInplaceMaskEdit.h"
#include "tests/editors/EditorsTestSupport.h"
#include "tests/editors/GuardedHeap.h"

namespace {

class TTestMaskEdit : public TdxInplaceMaskEdit {
  KIVO_CLASS(TTestMaskEdit, TdxInplaceMaskEdit)
 public:
  using TdxInplaceMaskEdit::TdxInplaceMaskEdit;
  using TdxInplaceMaskEdit::KeyDown;
  using TdxInplaceMaskEdit::KeyPress;
  using TdxInplaceMaskEdit::KeyUp;
  void Type(const std::string& text) {
    for (char c : text) {
      char key = c;
      KeyPress(key);
    }
  }
  void Key(WORD key, TShiftState shift = {}) { KeyDown(key, shift); }
  int SelStart() {
    int start, end;
    GetSel(start, end);
    return start;
  }
};

class DxInplaceMaskEditTest : public EditorTest {
 protected:
  void SetUp() override {
    EditorTest::SetUp();
    Mask = new TTestMaskEdit(Container);
    Mask->SetParent(Container);
    Mask->SetBounds(10, 10, 150, 24);
    Mask->HandleNeeded();
  }
  std::string Value() {
    Variant v;
    Mask->GetEditValue(v);
    return v.AsString();
  }
  TTestMaskEdit* Mask = nullptr;
};

TEST_F(DxInplaceMaskEditTest, ValueSurvivesANewMask) {
  Mask->SetText("1234567");
  Mask->SetEditMask("000-0000;0;_");
  EXPECT_TRUE(Mask->GetAssignedValues().Contains(evEditMask));
  EXPECT_EQ(Mask->GetEditText(), "123-4567");
  EXPECT_EQ(Value(), "1234567") << "literals are not saved";
  EXPECT_EQ(Mask->GetMaxChars(), 8);
  EXPECT_EQ(SendMessageA(Mask->GetHandle(), EM_GETLIMITTEXT, 0, 0), 8);
  Mask->SetEditMask("000-0000");
  EXPECT_EQ(Value(), "123-4567") << "literals are saved without a field saying otherwise";
}

TEST_F(DxInplaceMaskEditTest, LoadedValuesAreLaidIntoTheMask) {
  Mask->SetEditMask("000-0000;0;_");
  Mask->SetEditValue(Variant("12"));
  EXPECT_EQ(Mask->GetEditText(), "12_-____");
  EXPECT_EQ(Value(), "12");
  Mask->SetEditValue(Variant::Null());
  EXPECT_EQ(Mask->GetEditText(), "___-____");
  EXPECT_EQ(Value(), "") << "the empty shape reads as no value";
  EXPECT_FALSE(Mask->GetModified());
}

TEST_F(DxInplaceMaskEditTest, TypingOverwritesAndStepsOverLiterals) {
  Mask->SetEditMask("000-0000;0;_");
  Mask->SetEditValue(Variant(""));
  Mask->SetCursor(0);
  EXPECT_EQ(Mask->SelStart(), 0);
  Mask->Type("12x3");
  EXPECT_EQ(Mask->GetEditText(), "123-____") << "a letter is refused by a digit position";
  EXPECT_EQ(Mask->SelStart(), 4) << "the caret skips the literal";
  Mask->Type("45");
  EXPECT_EQ(Mask->GetEditText(), "123-45__");
  EXPECT_TRUE(Mask->GetModified());

  Mask->SetCursor(0);
  Mask->Type("9-");
  EXPECT_EQ(Mask->SelStart(), 4) << "typing a literal moves past it";
}

TEST_F(DxInplaceMaskEditTest, CaseDirectivesConvertLetters) {
  Mask->SetEditMask(">LL<ll");
  Mask->SetEditValue(Variant(""));
  Mask->SetCursor(0);
  Mask->Type("abCD");
  EXPECT_EQ(Mask->GetEditText(), "ABcd");
}

TEST_F(DxInplaceMaskEditTest, DeleteAndBackspaceBlankPositions) {
  Mask->SetEditMask("000-0000;0;_");
  Mask->SetEditValue(Variant("1234567"));
  Mask->SetCursor(4);
  Mask->Key(VK_BACK);
  EXPECT_EQ(Mask->GetEditText(), "12_-4567") << "backspace steps back over the literal";
  EXPECT_EQ(Mask->SelStart(), 2);
  Mask->SetCursor(5);
  Mask->Key(VK_DELETE);
  EXPECT_EQ(Mask->GetEditText(), "12_-4_67");
  CHARRANGE all{0, 8};
  SendMessageA(Mask->GetHandle(), EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&all));
  Mask->Key(VK_DELETE);
  EXPECT_EQ(Mask->GetEditText(), "___-____") << "literals keep their characters";
  WORD key = VK_UP;
  EXPECT_THROW(Mask->KeyDown(key, {}), EDBEditError) << "leaving the cell checks the mask first";
  Mask->SetModified(false);
  Mask->KeyDown(key, {});
  EXPECT_EQ(key, 0);
}

TEST_F(DxInplaceMaskEditTest, ArrowsAndHomeEndMoveOverEditablePositions) {
  Mask->SetEditMask("000-0000;0;_");
  Mask->SetEditValue(Variant("1234567"));
  Mask->SetCursor(4);
  Mask->Key(VK_LEFT);
  EXPECT_EQ(Mask->SelStart(), 2);
  Mask->Key(VK_RIGHT);
  EXPECT_EQ(Mask->SelStart(), 4);
  Mask->Key(VK_END);
  EXPECT_EQ(Mask->GetCaretPos(), 8);
  Mask->Key(VK_HOME);
  EXPECT_EQ(Mask->SelStart(), 0);
}

TEST_F(DxInplaceMaskEditTest, PasteFillsEditablePositionsAndValidates) {
  Mask->SetEditMask("000-0000;0;_");
  Mask->SetEditValue(Variant(""));
  Mask->SetCursor(0);
  Clipboard()->SetAsText("555-1234");
  Mask->Perform(WM_PASTE);
  EXPECT_EQ(Mask->GetEditText(), "555-1234");
  EXPECT_TRUE(Mask->GetModified());
  Mask->SetEditValue(Variant(""));
  Mask->SetModified(false);
  Mask->SetCursor(0);
  Clipboard()->SetAsText("12");
  EXPECT_THROW(Mask->Perform(WM_PASTE), EDBEditError) << "an incomplete result raises at once";
  EXPECT_EQ(Mask->GetEditText(), "12_-____");
}

TEST_F(DxInplaceMaskEditTest, ValidationRefusesUnfilledRequiredPositions) {
  Mask->SetEditMask("000-0000;0;_");
  Mask->SetEditValue(Variant("123"));
  Mask->SetModified(true);
  try {
    Mask->ValidateEdit();
    FAIL() << "an incomplete value raises";
  } catch (const EDBEditError& e) {
    EXPECT_STREQ(e.what(), "Invalid input value.  Use escape key to abandon changes");
  }
  EXPECT_EQ(Mask->SelStart(), 4) << "the caret stands on the first unfilled position";
  Mask->SetEditValue(Variant("1234567"));
  Mask->SetModified(true);
  EXPECT_NO_THROW(Mask->ValidateEdit());
  EXPECT_EQ(Mask->Perform(CM_WANTSPECIALKEY, VK_ESCAPE), 1) << "Escape is the editor's while modified";
  Mask->SetModified(false);
  EXPECT_EQ(Mask->Perform(CM_WANTSPECIALKEY, VK_ESCAPE), 0);
}

// Regression: IgnoreMaskBlank of the tree list's mask column had no counterpart in the
// editor, so a cell cleared to blanks could never be left.
TEST_F(DxInplaceMaskEditTest, IgnoreMaskBlankAcceptsAWhollyBlankValueAsNone) {
  Mask->SetEditMask("000-0000;0;_");
  Mask->SetEditValue(Variant(""));
  Mask->SetModified(true);
  EXPECT_THROW(Mask->ValidateEdit(), EDBEditError) << "off: the required positions must be filled";
  Mask->SetIgnoreMaskBlank(true);
  EXPECT_NO_THROW(Mask->ValidateEdit());
  EXPECT_EQ(Value(), "") << "the blanks are not stored";
  Mask->SetEditValue(Variant("12"));
  Mask->SetModified(true);
  EXPECT_THROW(Mask->ValidateEdit(), EDBEditError) << "a partly filled value is still checked";
}

TEST_F(DxInplaceMaskEditTest, EscapeRestoresTheMaskedText) {
  Mask->SetEditMask("000-0000;0;_");
  Mask->SetEditValue(Variant("1234567"));
  Mask->Perform(CM_ENTER);
  Mask->SetCursor(0);
  Mask->Type("9");
  EXPECT_EQ(Mask->GetEditText(), "923-4567");
  Mask->Key(VK_ESCAPE);
  EXPECT_EQ(Mask->GetEditText(), "123-4567");
  EXPECT_FALSE(Mask->GetModified());
}

TEST_F(DxInplaceMaskEditTest, ReplacementsOfAnotherLengthAreRefused) {
  Mask->SetEditMask("000;0;_");
  Mask->SetEditValue(Variant("123"));
  CHARRANGE r{0, 1};
  SendMessageA(Mask->GetHandle(), EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&r));
  SendMessageA(Mask->GetHandle(), EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>("45"));
  EXPECT_EQ(Mask->GetEditText(), "123");
  SendMessageA(Mask->GetHandle(), EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>("4"));
  EXPECT_EQ(Mask->GetEditText(), "423");
}

// Frees the editor from its container's key events.
struct TFreeEditor {
  TObject* Editor = nullptr;
  void Key(TObject*, WORD&, TShiftState) { delete Editor; }
  void Press(TObject*, char&) { delete Editor; }
};

// Fault: typing, deleting, pasting, Escape, the caret keys, a text or a mask set,
// validation, a release of the mouse, the focus, and keys handed to the container went
// on with the mask editor after its OnChange, OnSelectionChange or OnMouseUp handler, or
// the container's key handler, had freed it (use after free).
TEST_F(DxInplaceMaskEditTest, AHandlerThatFreesTheEditorEndsWhatFiredIt) {
  ShowForm();
  const TGuardedHeap guarded;  // a freed editor's memory faults when it is touched
  TFreeSender freeSender;
  auto make = [this] {
    auto* mask = new TTestMaskEdit(Container);
    mask->SetParent(Container);
    mask->SetBounds(10, 10, 150, 24);
    mask->HandleNeeded();
    mask->SetEditMask("000-0000;0;_");
    mask->SetEditValue(Variant("1234567"));
    mask->SetCursor(2);
    return mask;
  };
  auto onChange = [&] {
    TTestMaskEdit* mask = make();
    mask->OnChange = TNotifyEvent::Bind<&TFreeSender::Notify>(&freeSender);
    return mask;
  };
  auto onSelection = [&] {
    TTestMaskEdit* mask = make();
    mask->OnSelectionChange = TNotifyEvent::Bind<&TFreeSender::Notify>(&freeSender);
    return mask;
  };
  EXPECT_TRUE(FreedBy(onChange(), [](TTestMaskEdit* mask) { mask->Type("9"); }));
  EXPECT_TRUE(FreedBy(onChange(), [](TTestMaskEdit* mask) { mask->Key(VK_DELETE); }));
  EXPECT_TRUE(FreedBy(onChange(), [](TTestMaskEdit* mask) {
    CHARRANGE all{0, 8};
    SendMessageA(mask->GetHandle(), EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&all));
    mask->Type("9");
  })) << "typing over a selection";
  EXPECT_TRUE(FreedBy(onChange(), [](TTestMaskEdit* mask) {
    Clipboard()->SetAsText("555-1234");
    mask->Perform(WM_PASTE);
  }));
  EXPECT_TRUE(FreedBy(onChange(), [](TTestMaskEdit* mask) { mask->SetEditMask("00-00000;0;_"); }));
  EXPECT_TRUE(FreedBy(onChange(), [](TTestMaskEdit* mask) { mask->SetText("12"); }))
      << "a text the mask lays out anew";
  TTestMaskEdit* edited = make();
  edited->Perform(CM_ENTER);
  edited->Type("9");
  edited->OnChange = TNotifyEvent::Bind<&TFreeSender::Notify>(&freeSender);
  EXPECT_TRUE(FreedBy(edited, [](TTestMaskEdit* mask) { mask->Key(VK_ESCAPE); }));
  for (WORD key : {VK_RIGHT, VK_END, VK_HOME})
    EXPECT_TRUE(FreedBy(onSelection(), [&](TTestMaskEdit* mask) { mask->Key(key); })) << "key " << key;
  EXPECT_TRUE(FreedBy(onSelection(), [](TTestMaskEdit* mask) { mask->Key(VK_END, {ssShift}); }));
  EXPECT_TRUE(FreedBy(onSelection(), [](TTestMaskEdit* mask) { mask->Key(VK_RIGHT, {ssShift}); }));
  EXPECT_TRUE(FreedBy(onSelection(), [](TTestMaskEdit* mask) { mask->Perform(CM_ENTER); }));
  // With no selection, the focus and validation put the caret on an editable position.
  auto withoutSelection = [&] {
    TTestMaskEdit* mask = make();
    CHARRANGE none{2, 2};
    SendMessageA(mask->GetHandle(), EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&none));
    mask->OnSelectionChange = TNotifyEvent::Bind<&TFreeSender::Notify>(&freeSender);
    return mask;
  };
  EXPECT_TRUE(FreedBy(withoutSelection(), [](TTestMaskEdit* mask) {
    SendMessageA(mask->GetHandle(), WM_SETFOCUS, 0, 0);
  }));
  TTestMaskEdit* modified = withoutSelection();
  modified->SetModified(true);
  EXPECT_TRUE(FreedBy(modified, [](TTestMaskEdit* mask) { mask->ValidateEdit(); }));
  TTestMaskEdit* invalid = make();
  invalid->SetEditValue(Variant("12"));
  invalid->SetModified(true);
  invalid->OnSelectionChange = TNotifyEvent::Bind<&TFreeSender::Notify>(&freeSender);
  EXPECT_TRUE(FreedBy(invalid, [](TTestMaskEdit* mask) { EXPECT_THROW(mask->ValidateEdit(), EDBEditError); }))
      << "the refusal is raised all the same";
  TFreeEditor freeEditor;
  Container->OnKeyUp = TKeyEvent::Bind<&TFreeEditor::Key>(&freeEditor);
  Container->OnKeyPress = TKeyPressEvent::Bind<&TFreeEditor::Press>(&freeEditor);
  freeEditor.Editor = make();
  EXPECT_TRUE(FreedBy(static_cast<TTestMaskEdit*>(freeEditor.Editor), [](TTestMaskEdit* mask) {
    WORD key = VK_LEFT;
    mask->KeyUp(key, {ssCtrl});
  }));
  freeEditor.Editor = make();
  EXPECT_TRUE(FreedBy(static_cast<TTestMaskEdit*>(freeEditor.Editor), [](TTestMaskEdit* mask) {
    char key = '5';
    mask->KeyPress(key);
    EXPECT_EQ(key, 0) << "the freed editor's character goes nowhere";
  }));
  Container->OnKeyUp = nullptr;
  Container->OnKeyPress = nullptr;
  EXPECT_TRUE(FreedBy(onSelection(), [](TTestMaskEdit* mask) {
    mask->ShowEdit(Rect(10, 10, 160, 34));
  })) << "the focus puts the caret on an editable position";
  TTestMaskEdit* clicked = make();
  clicked->OnMouseUp = TMouseEvent::Bind<&TFreeSender::Mouse>(&freeSender);
  EXPECT_TRUE(FreedBy(clicked, [](TTestMaskEdit* mask) {
    SendMessageA(mask->GetHandle(), WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
  }));
  EXPECT_TRUE(Exceptions.Messages.empty());
}

}  // namespace
