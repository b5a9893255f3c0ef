// Standard controls driven through real window messages.
#include "classlib/ExtCtrls.h"
#include "classlib/StdCtrls.h"
#include "tests/controls/ControlsTestSupport.h"

namespace {

struct TCounter {
  int Count = 0;
  void Fire(TObject*) { ++Count; }
  TNotifyEvent Event() { return TNotifyEvent::Bind<&TCounter::Fire>(this); }
};

using StdCtrlsTest = FormTest;

TEST_F(StdCtrlsTest, DropDownListComboSelectsByKeyboardAndFiresChangeOnce) {
  auto* combo = new TComboBox(Form);
  combo->SetParent(Form);
  combo->SetStyle(csDropDownList);
  TObject marker;
  combo->GetItems()->Add("Top Layer");
  combo->GetItems()->AddObject("Bottom Layer", &marker);
  combo->GetItems()->Add("Mid Layer 1");
  combo->SetItemIndex(0);
  TCounter changes, selects;
  combo->OnChange = changes.Event();
  combo->OnSelect = selects.Event();
  ShowForm();
  combo->SetFocus();
  EXPECT_EQ(combo->GetText(), "Top Layer");
  EXPECT_EQ(changes.Count, 0);  // setting ItemIndex from code is silent

  PostMessageA(combo->GetHandle(), WM_KEYDOWN, VK_DOWN, 0x00500001);
  PostMessageA(combo->GetHandle(), WM_KEYUP, VK_DOWN, 0xC0500001);
  PumpUntil([&] { return changes.Count > 0; }, 2000);
  PumpPending();
  EXPECT_EQ(changes.Count, 1);
  EXPECT_EQ(selects.Count, 1);
  EXPECT_EQ(combo->GetItemIndex(), 1);
  EXPECT_EQ(combo->GetText(), "Bottom Layer");
  EXPECT_EQ(combo->GetItems()->GetObject(combo->GetItemIndex()), &marker);

  // The items and the selection survive a new window.
  combo->RecreateWnd();
  EXPECT_EQ(combo->GetItemIndex(), 1);
  EXPECT_EQ(combo->GetItems()->GetCount(), 3);
  EXPECT_EQ(SendMessageA(combo->GetHandle(), CB_GETCOUNT, 0, 0), 3);
  combo->SetDroppedDown(true);
  EXPECT_TRUE(combo->GetDroppedDown());
  combo->SetDroppedDown(false);
  combo->GetItems()->Clear();
  EXPECT_EQ(combo->GetItemIndex(), -1);
  EXPECT_THROW(combo->GetItems()->Get(0), EListError);
  EXPECT_TRUE(Exceptions.Messages.empty());
}

// Fault: a letter typed into a dropped list closed it as a choice (OnSelEndOk), so that
// Escape after it could not keep the entry before; cause: the system's list rolls up on
// a selection change that no arrow key made. The letter steps as the arrows do.
TEST_F(StdCtrlsTest, ALetterInADroppedListStepsToItsNextEntryAndKeepsTheListOpen) {
  auto* combo = new TComboBox(Form);
  combo->SetParent(Form);
  combo->SetStyle(csDropDownList);
  for (const char* item : {"Top Layer", "Bottom Layer", "Mid Layer 1", "Bottom Overlay"})
    combo->GetItems()->Add(item);
  combo->SetItemIndex(0);
  TCounter changes, ok, cancel;
  combo->OnChange = changes.Event();
  combo->OnSelEndOk = ok.Event();
  combo->OnSelEndCancel = cancel.Event();
  struct TSwallow {
    char Key = 0;
    void Press(TObject*, char& key) {
      if (key == Key)
        key = 0;
    }
  } swallow{'m'};
  combo->OnKeyPress = TKeyPressEvent::Bind<&TSwallow::Press>(&swallow);
  ShowForm();
  combo->SetFocus();
  combo->SetDroppedDown(true);
  auto type = [&](WORD key) {
    PostMessageA(combo->GetHandle(), WM_KEYDOWN, key, 1);
    PostMessageA(combo->GetHandle(), WM_KEYUP, key, LPARAM(0xC0000001));
    PumpPending();
    return combo->GetItemIndex();
  };
  // "b" from the first entry, again, round the end; no entry begins with "z"; "m" the
  // key-press handler takes.
  EXPECT_EQ(type('B'), 1);
  EXPECT_EQ(type('B'), 3);
  EXPECT_EQ(type('B'), 1);
  EXPECT_EQ(type('Z'), 1);
  EXPECT_EQ(type('M'), 1);
  EXPECT_TRUE(combo->GetDroppedDown());
  EXPECT_EQ(changes.Count, 3);
  EXPECT_EQ(ok.Count, 0);
  type(VK_ESCAPE);
  EXPECT_FALSE(combo->GetDroppedDown());
  EXPECT_EQ(ok.Count, 0);
  EXPECT_EQ(cancel.Count, 1);
  EXPECT_TRUE(Exceptions.Messages.empty());
}

TEST(StdCtrls, ModalFormWithDefaultAndCancelButtonsAnswersEnterAndEscape) {
  TExceptionRecorder exceptions;
  auto* form = new TForm(nullptr);
  auto* check = new TCheckBox(form);
  check->SetParent(form);
  check->SetCaption("&View report");
  auto* ok = new TButton(form);
  ok->SetParent(form);
  ok->SetBounds(10, 50, 75, 25);
  ok->SetCaption("OK");
  ok->SetDefault(true);
  ok->SetModalResult(mrOk);
  auto* cancel = new TButton(form);
  cancel->SetParent(form);
  cancel->SetBounds(100, 50, 75, 25);
  cancel->SetCaption("Cancel");
  cancel->SetCancel(true);
  cancel->SetModalResult(mrCancel);
  form->SetActiveControl(check);
  struct TKeyPoster {
    TCheckBox* Target;
    WPARAM Key;
    void Shown(TObject*) { PostMessageA(Target->GetHandle(), WM_KEYDOWN, Key, 1); }
  } poster{check, VK_RETURN};
  form->OnShow = TNotifyEvent::Bind<&TKeyPoster::Shown>(&poster);
  EXPECT_EQ(form->ShowModal(), 1);
  poster.Key = VK_ESCAPE;
  EXPECT_EQ(form->ShowModal(), 2);
  EXPECT_FALSE(check->GetChecked());  // neither key ticked the focused check box
  delete form;
  EXPECT_TRUE(exceptions.Messages.empty());
}

TEST_F(StdCtrlsTest, CheckBoxAndRadioButtonsFollowClicks) {
  auto* check = new TCheckBox(Form);
  check->SetParent(Form);
  TCounter clicks;
  check->OnClick = clicks.Event();
  auto* first = new TRadioButton(Form);
  first->SetParent(Form);
  first->SetTop(30);
  auto* second = new TRadioButton(Form);
  second->SetParent(Form);
  second->SetTop(60);
  ShowForm();

  SendMessageA(check->GetHandle(), BM_CLICK, 0, 0);
  EXPECT_TRUE(check->GetChecked());
  EXPECT_EQ(SendMessageA(check->GetHandle(), BM_GETCHECK, 0, 0), BST_CHECKED);
  EXPECT_EQ(clicks.Count, 1);
  check->SetChecked(false);
  EXPECT_EQ(SendMessageA(check->GetHandle(), BM_GETCHECK, 0, 0), BST_UNCHECKED);
  EXPECT_EQ(clicks.Count, 2);
  check->SetChecked(false);
  EXPECT_EQ(clicks.Count, 2);  // no change, no click

  SendMessageA(first->GetHandle(), BM_CLICK, 0, 0);
  EXPECT_TRUE(first->GetChecked());
  SendMessageA(second->GetHandle(), BM_CLICK, 0, 0);
  EXPECT_TRUE(second->GetChecked());
  EXPECT_FALSE(first->GetChecked());
  EXPECT_EQ(SendMessageA(first->GetHandle(), BM_GETCHECK, 0, 0), BST_UNCHECKED);
}

TEST_F(StdCtrlsTest, LabelSizesToItsTextAndItsAcceleratorFocusesItsControl) {
  auto* edit = new TEdit(Form);
  edit->SetParent(Form);
  edit->SetTop(40);
  auto* other = new TEdit(Form);
  other->SetParent(Form);
  other->SetTop(80);
  auto* label = new TLabel(Form);
  label->SetParent(Form);
  label->SetCaption("&Layer:");
  label->SetFocusControl(edit);
  ShowForm();
  other->SetFocus();

  // The automatic size is what DrawText measures for the text in the label's font.
  HDC dc = GetDC(nullptr);
  HGDIOBJ old = SelectObject(dc, label->GetFont()->GetHandle());
  RECT r{};
  DrawTextA(dc, "&Layer:", 7, &r, DT_CALCRECT | DT_EXPANDTABS);
  SelectObject(dc, old);
  ReleaseDC(nullptr, dc);
  EXPECT_EQ(label->GetWidth(), r.right);
  EXPECT_EQ(label->GetHeight(), r.bottom);

  PostMessageA(other->GetHandle(), WM_SYSCHAR, 'l', 1 << 29);
  Application->ProcessMessages();
  EXPECT_TRUE(edit->Focused());

  // Freeing the focus control clears the label's reference.
  // Fault: a windowed child freed before its parent stayed in the parent's child list,
  // because ~TControl took it for a windowless control.
  delete edit;
  EXPECT_EQ(label->GetFocusControl(), nullptr);
  EXPECT_EQ(Form->GetControlCount(), 2);
}

// Fault: an opaque label painted again kept what it had drawn before (the longer caption
// it had, an underline its form no longer showed); cause: its text left the brush clear,
// and setting the same colour again did not make it solid, so the fill did nothing.
TEST_F(StdCtrlsTest, AnOpaqueLabelFillsItsWholeBackgroundAtEveryPaint) {
  auto* label = new TLabel(Form);
  label->SetParent(Form);
  label->SetAutoSize(false);
  label->SetBounds(10, 10, 120, 20);
  label->SetColor(clWhite);
  label->SetCaption("WWWWWWWWWW");
  ShowForm();
  label->SetCaption("I");
  PumpPending();
  HDC dc = GetDC(Form->GetHandle());
  int inked = 0;
  for (int y = 10; y < 30; ++y)
    for (int x = 30; x < 130; ++x)  // right of the "I"
      inked += GetPixel(dc, x, y) != RGB(255, 255, 255);
  ReleaseDC(Form->GetHandle(), dc);
  EXPECT_EQ(inked, 0);
}

TEST_F(StdCtrlsTest, EditReportsChangesAndPanelShrinksItsClientAreaByItsBevels) {
  auto* edit = new TEdit(Form);
  edit->SetParent(Form);
  TCounter changes;
  edit->OnChange = changes.Event();
  ShowForm();
  SetWindowTextA(edit->GetHandle(), "abc");
  EXPECT_EQ(changes.Count, 1);
  EXPECT_EQ(edit->GetText(), "abc");

  auto* panel = new TPanel(Form);
  panel->SetParent(Form);
  panel->SetBounds(0, 40, 100, 60);
  panel->SetBevelOuter(bvLowered);
  panel->SetBevelInner(bvRaised);
  panel->SetBevelWidth(2);
  auto* inner = new TBevel(Form);
  inner->SetParent(panel);
  inner->SetAlign(alClient);
  EXPECT_EQ(inner->GetBoundsRect(), (TRect{4, 4, 96, 56}));
}

}  // namespace
