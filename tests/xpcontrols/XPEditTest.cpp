// The XP-style edit: the colour set and the three calls of the dialog theming, the
// list of live edits and its hook, editing, keys and the clipboard, scrolling measured
// with the same GDI calls, and painting read back from a memory DC.
#include <memory>
#include <string>

#include <gtest/gtest.h>

#include "classlib/Clipboard.h"
#include "classlib/Exceptions.h"
#include "tests/controls/ControlsTestSupport.h"
#include "tests/editors/GuardedHeap.h"
#include "xpcontrols/XPEdit.h"

namespace {

class TTestXPEdit : public TCustomXPEdit {
  KIVO_CLASS(TTestXPEdit, TCustomXPEdit)
 public:
  using TCustomXPEdit::TCustomXPEdit;
  using TCustomXPEdit::DblClick;
  using TCustomXPEdit::KeyDown;
  using TCustomXPEdit::KeyPress;
  int Changes = 0;
  void Change() override {
    ++Changes;
    inherited::Change();
  }
  void Type(const std::string& text) {
    for (char c : text)
      KeyPress(c);
  }
  void Key(WORD key, TShiftState shift = {}) { KeyDown(key, shift); }
};

// The width of `text` in the edit's font, measured with the same GDI call.
int Measured(TCustomXPEdit* edit, const std::string& text) {
  edit->GetCanvas()->RequiredState(TCanvasState{csHandleValid, csFontValid});
  SIZE size{};
  GetTextExtentPoint32A(edit->GetCanvas()->GetHandle(), text.data(), int(text.size()), &size);
  return size.cx;
}

bool HasUpdateRegion(HWND wnd) {
  RECT r{};
  return GetUpdateRect(wnd, &r, FALSE) != 0;
}

class XPEditTest : public FormTest {
 protected:
  TTestXPEdit* NewEdit(int left = 10, int top = 10, int width = 121) {
    auto* edit = new TTestXPEdit(Form);
    edit->SetParent(Form);
    edit->SetBounds(left, top, width, edit->GetHeight());
    return edit;
  }
  void SetClipboardText(const std::string& text) { Clipboard()->SetAsText(text); }
};

// ---- The colour set and the dialog theming's calls

TEST_F(XPEditTest, NewEditIsTransparentWithDefaultColours) {
  TTestXPEdit* edit = NewEdit();
  EXPECT_EQ(edit->GetWidth(), 121);
  EXPECT_TRUE(edit->GetTabStop());
  EXPECT_FALSE(edit->GetParentColor());
  EXPECT_TRUE(edit->GetTransparent());
  EXPECT_EQ(edit->GetFont()->GetColor(), clHotLight);
  EXPECT_FALSE(edit->GetControlStyle().Contains(csOpaque));
  TXPEditColors* colors = edit->GetColors();
  EXPECT_EQ(colors->GetColor(), clWindow);
  EXPECT_EQ(colors->GetFrameColor(), TColor(0xB99D7F));
  EXPECT_EQ(colors->GetDisabledDarkColor(), TColor(0x99A8AC));
  EXPECT_EQ(colors->GetDisabledLightColor(), TColor(0xD8E9EC));
  EXPECT_TRUE(GetWindowLongA(edit->GetHandle(), GWL_EXSTYLE) & WS_EX_TRANSPARENT);
  EXPECT_EQ(edit->Perform(WM_GETDLGCODE) & 0x81, 0x81);
}

TEST_F(XPEditTest, DialogThemingCallsRecreateOnceAndDropTransparency) {
  TTestXPEdit* edit = NewEdit();
  edit->SetText("kept");
  HWND first = edit->GetHandle();
  edit->SetTransparent(true);  // equal value: the window stays
  EXPECT_EQ(edit->GetHandle(), first);
  edit->SetTransparent(false);
  HWND second = edit->GetHandle();
  EXPECT_FALSE(IsWindow(first));
  EXPECT_FALSE(GetWindowLongA(second, GWL_EXSTYLE) & WS_EX_TRANSPARENT);
  EXPECT_EQ(edit->GetText(), "kept");
  edit->GetColors()->SetColor(clWindow);  // equal value
  edit->GetColors()->SetFrameColor(clBtnShadow);
  EXPECT_EQ(edit->GetHandle(), second);
  EXPECT_EQ(edit->GetColors()->GetFrameColor(), clBtnShadow);
}

TEST_F(XPEditTest, ColourSettersStoreChangesAndRepaint) {
  TTestXPEdit* edit = NewEdit();
  ShowForm();
  TXPEditColors* colors = edit->GetColors();
  edit->SetColor(clBtnFace);
  colors->SetColor(clWindow);  // equal to the set's value: the edit's Color stays
  EXPECT_EQ(edit->GetColor(), clBtnFace);
  colors->SetColor(TColor(RGB(1, 2, 3)));
  EXPECT_EQ(edit->GetColor(), TColor(RGB(1, 2, 3)));
  ValidateRect(edit->GetHandle(), nullptr);
  colors->SetDisabledDarkColor(colors->GetDisabledDarkColor());
  EXPECT_FALSE(HasUpdateRegion(edit->GetHandle()));
  colors->SetDisabledLightColor(TColor(RGB(9, 8, 7)));
  EXPECT_TRUE(HasUpdateRegion(edit->GetHandle()));
}

TEST_F(XPEditTest, AssignCopiesColourSetsAndRefusesOtherSources) {
  TTestXPEdit* a = NewEdit();
  TTestXPEdit* b = NewEdit(10, 40);
  b->GetColors()->SetColor(TColor(RGB(10, 0, 0)));
  b->GetColors()->SetFrameColor(TColor(RGB(20, 0, 0)));
  b->GetColors()->SetDisabledDarkColor(TColor(RGB(30, 0, 0)));
  b->GetColors()->SetDisabledLightColor(TColor(RGB(40, 0, 0)));
  a->GetColors()->Assign(b->GetColors());
  EXPECT_EQ(a->GetColors()->GetColor(), TColor(RGB(10, 0, 0)));
  EXPECT_EQ(a->GetColor(), TColor(RGB(10, 0, 0)));
  EXPECT_EQ(a->GetColors()->GetFrameColor(), TColor(RGB(20, 0, 0)));
  EXPECT_EQ(a->GetColors()->GetDisabledDarkColor(), TColor(RGB(30, 0, 0)));
  EXPECT_EQ(a->GetColors()->GetDisabledLightColor(), TColor(RGB(40, 0, 0)));
  EXPECT_THROW(a->GetColors()->Assign(a->GetFont()), EConvertError);
}

// ---- The list of live edits and the repaint hook

TEST_F(XPEditTest, HookLivesExactlyWhileAnEditExists) {
  ASSERT_TRUE(TransparentEdits().empty());
  EXPECT_FALSE(TransparentEditHookInstalled());
  auto* a = NewEdit();
  EXPECT_TRUE(TransparentEditHookInstalled());
  auto* b = NewEdit(10, 40);
  b->SetTransparent(false);  // every edit registers, transparent or not
  ASSERT_EQ(TransparentEdits().size(), 2u);
  EXPECT_EQ(TransparentEdits()[0], a);
  delete a;
  EXPECT_TRUE(TransparentEditHookInstalled());
  delete b;
  EXPECT_TRUE(TransparentEdits().empty());
  EXPECT_FALSE(TransparentEditHookInstalled());
}

TEST_F(XPEditTest, HookRepaintsTransparentEditsOverlappingASizedNeighbour) {
  TTestXPEdit* edit = NewEdit(10, 10);
  TTestXPEdit* opaque = NewEdit(10, 100);
  opaque->SetTransparent(false);
  auto* overlapping = new TTestEdit(Form);
  overlapping->SetParent(Form);
  overlapping->SetBounds(20, 12, 40, 30);
  auto* apart = new TTestEdit(Form);
  apart->SetParent(Form);
  apart->SetBounds(200, 150, 40, 20);
  ShowForm();

  auto validateAll = [&] {
    ValidateRect(edit->GetHandle(), nullptr);
    ValidateRect(opaque->GetHandle(), nullptr);
  };
  validateAll();
  SendMessageA(apart->GetHandle(), WM_SIZE, 0, MAKELPARAM(40, 20));
  EXPECT_FALSE(HasUpdateRegion(edit->GetHandle()));
  SendMessageA(overlapping->GetHandle(), WM_SIZE, 0, MAKELPARAM(40, 30));
  EXPECT_TRUE(HasUpdateRegion(edit->GetHandle()));
  EXPECT_FALSE(HasUpdateRegion(opaque->GetHandle()));

  // Messages outside WM_SIZE, WM_PAINT and the reflected notifications do nothing.
  validateAll();
  SendMessageA(overlapping->GetHandle(), WM_NULL, 0, 0);
  EXPECT_FALSE(HasUpdateRegion(edit->GetHandle()));
  SendMessageA(overlapping->GetHandle(), CN_BASE + WM_COMMAND, 0, 0);
  EXPECT_TRUE(HasUpdateRegion(edit->GetHandle()));

  // The owner's own window relates to the edit; a foreign window does not.
  validateAll();
  TTestWindow foreign;
  SendMessageA(foreign.Handle(), WM_SIZE, 0, 0);
  EXPECT_FALSE(HasUpdateRegion(edit->GetHandle()));
  SendMessageA(Form->GetHandle(), WM_SIZE, 0, MAKELPARAM(300, 200));
  EXPECT_TRUE(HasUpdateRegion(edit->GetHandle()));

  // Painting settles: the edit and what lies behind it do not invalidate each other
  // for ever.
  PumpPending();
  EXPECT_FALSE(HasUpdateRegion(edit->GetHandle()));
  EXPECT_FALSE(HasUpdateRegion(overlapping->GetHandle()));
  EXPECT_FALSE(HasUpdateRegion(Form->GetHandle()));
}

TEST_F(XPEditTest, InvalidatingATransparentEditInvalidatesWhatLiesBehind) {
  TTestXPEdit* edit = NewEdit(10, 10);
  auto* behind = new TTestEdit(Form);
  behind->SetParent(Form);
  behind->SetBounds(0, 0, 60, 40);
  auto* apart = new TTestEdit(Form);
  apart->SetParent(Form);
  apart->SetBounds(200, 150, 40, 20);
  ShowForm();
  PumpPending();
  ValidateRect(behind->GetHandle(), nullptr);
  ValidateRect(apart->GetHandle(), nullptr);
  edit->Invalidate();
  RECT r{};
  ASSERT_TRUE(GetUpdateRect(behind->GetHandle(), &r, FALSE));
  EXPECT_EQ(r.left, 10);
  EXPECT_EQ(r.top, 10);
  EXPECT_FALSE(HasUpdateRegion(apart->GetHandle()));
  PumpPending();
  edit->SetTransparent(false);
  ValidateRect(behind->GetHandle(), nullptr);
  edit->Invalidate();
  EXPECT_FALSE(HasUpdateRegion(behind->GetHandle()));
}

// ---- Editing and keys

TEST_F(XPEditTest, TypingMovesTheCaretAppliesCaseAndNotifies) {
  TTestXPEdit* edit = NewEdit();
  edit->HandleNeeded();
  edit->Type("abc");
  EXPECT_EQ(edit->GetText(), "abc");
  EXPECT_EQ(edit->GetCaretPos(), 3);
  EXPECT_EQ(edit->Changes, 3);
  edit->SetCharCase(1);
  edit->Key(VK_HOME);
  edit->Type("x");
  EXPECT_EQ(edit->GetText(), "Xabc");
  edit->SetCharCase(2);
  edit->Key(VK_END);
  edit->InsertText("YZ");
  EXPECT_EQ(edit->GetText(), "Xabcyz");
  edit->Key(VK_LEFT);
  edit->Key(VK_LEFT);
  char backspace = 8;
  edit->KeyPress(backspace);
  EXPECT_EQ(edit->GetText(), "Xabyz");
  EXPECT_EQ(edit->GetCaretPos(), 3);
  edit->Key(VK_DELETE);
  EXPECT_EQ(edit->GetText(), "Xabz");
  edit->Key(VK_HOME);
  edit->KeyPress(backspace);  // nothing before the caret
  EXPECT_EQ(edit->GetText(), "Xabz");
  edit->SetReadOnly(true);
  const int changes = edit->Changes;
  edit->Type("q");
  edit->Key(VK_DELETE);
  EXPECT_EQ(edit->GetText(), "Xabz");
  EXPECT_EQ(edit->Changes, changes);
}

TEST_F(XPEditTest, MaxLengthCutsInsertedText) {
  TTestXPEdit* edit = NewEdit();
  edit->HandleNeeded();
  edit->SetMaxLength(5);
  edit->SetText("abcd");
  SetClipboardText("XY");
  edit->PasteFromClipboard();
  EXPECT_EQ(edit->GetText(), "abcdX");
  edit->Type("z");
  EXPECT_EQ(edit->GetText(), "abcdX");
  // Typing over a selection first removes it.
  edit->SelectAll();
  edit->Type("q");
  EXPECT_EQ(edit->GetText(), "q");
}

TEST_F(XPEditTest, WordKeysStopAtWordStarts) {
  TTestXPEdit* edit = NewEdit();
  edit->HandleNeeded();
  edit->SetText("one  two three");
  EXPECT_EQ(edit->GetCaretPos(), 14);
  edit->Key(VK_LEFT, {ssCtrl});
  EXPECT_EQ(edit->GetCaretPos(), 9);
  edit->Key(VK_LEFT, {ssCtrl});
  EXPECT_EQ(edit->GetCaretPos(), 5);
  edit->Key(VK_LEFT, {ssCtrl});
  EXPECT_EQ(edit->GetCaretPos(), 0);
  edit->Key(VK_RIGHT, {ssCtrl});
  EXPECT_EQ(edit->GetCaretPos(), 5);
  edit->Key(VK_RIGHT, {ssCtrl});
  EXPECT_EQ(edit->GetCaretPos(), 9);
  edit->Key(VK_RIGHT, {ssCtrl});
  EXPECT_EQ(edit->GetCaretPos(), 14);
  edit->Key(VK_HOME);
  edit->Key(VK_RIGHT);
  EXPECT_EQ(edit->GetCaretPos(), 1);
}

// Regression: moving past either end stored the unclamped position as the selection's
// anchors, so that later copies and deletions indexed outside the text.
TEST_F(XPEditTest, SelectionAnchorsStayInsideTheText) {
  TTestXPEdit* edit = NewEdit();
  edit->HandleNeeded();
  edit->SetText("abc");
  edit->Key(VK_RIGHT);
  EXPECT_EQ(edit->GetCaretPos(), 3);
  EXPECT_EQ(edit->GetSelStart(), 3);
  EXPECT_EQ(edit->GetSelLength(), 0);
  edit->Key(VK_HOME);
  edit->Key(VK_LEFT);
  EXPECT_EQ(edit->GetSelStart(), 0);
  EXPECT_EQ(edit->GetSelLength(), 0);
  edit->SelectAll();
  edit->SetText("x");  // shorter text from outside
  EXPECT_LE(edit->GetSelStart() + edit->GetSelLength(), 1);
  edit->Key(VK_DELETE);
  EXPECT_EQ(edit->GetText(), "x");
}

TEST_F(XPEditTest, ClipboardCopyCutAndPaste) {
  TTestXPEdit* edit = NewEdit();
  edit->HandleNeeded();
  edit->SetText("hello world");
  edit->SelectAll();
  edit->SetSelLength(5);
  EXPECT_EQ(edit->GetSelLength(), 5);
  edit->Key(VK_INSERT, {ssCtrl});
  EXPECT_EQ(Clipboard()->GetAsText(), "hello");
  edit->Key(VK_DELETE, {ssShift});
  EXPECT_EQ(edit->GetText(), " world");
  EXPECT_EQ(edit->GetCaretPos(), 0);
  edit->Key(VK_END);
  edit->Key(VK_INSERT, {ssShift});
  EXPECT_EQ(edit->GetText(), " worldhello");
  char paste = 22;
  edit->KeyPress(paste);
  EXPECT_EQ(edit->GetText(), " worldhellohello");
  // A read-only edit still copies on Cut but keeps its text.
  edit->SetReadOnly(true);
  edit->SelectAll();
  char cut = 24;
  edit->KeyPress(cut);
  EXPECT_EQ(Clipboard()->GetAsText(), " worldhellohello");
  EXPECT_EQ(edit->GetText(), " worldhellohello");
}

// Regression: a password edit put its hidden text on the clipboard, because Copy read
// the window text rather than what is shown.
TEST_F(XPEditTest, PasswordEditShowsMasksAndCopiesNothing) {
  TTestXPEdit* edit = NewEdit();
  edit->HandleNeeded();
  edit->SetPasswordChar('*');
  edit->SetText("secret");
  EXPECT_EQ(edit->GetDisplayText(), "******");
  EXPECT_EQ(edit->GetText(), "secret");
  SetClipboardText("before");
  edit->SelectAll();
  edit->Key(VK_INSERT, {ssCtrl});
  char copy = 3;
  edit->KeyPress(copy);
  char cut = 24;
  edit->KeyPress(cut);
  EXPECT_EQ(Clipboard()->GetAsText(), "before");
  EXPECT_EQ(edit->GetText(), "secret");
}

TEST_F(XPEditTest, TextFromOutsideResetsScrollAndNotifiesOnce) {
  TTestXPEdit* edit = NewEdit();
  edit->HandleNeeded();
  int notified = 0;
  struct TCounter {
    int* Count;
    void Changed(TObject*) { ++*Count; }
  } counter{&notified};
  edit->OnChange = TNotifyEvent::Bind<&TCounter::Changed>(&counter);
  edit->SetText("outside");
  EXPECT_EQ(notified, 1);
  EXPECT_EQ(edit->GetCaretPos(), 7);
  EXPECT_EQ(edit->GetFirstVisible(), 0);
  edit->SetText("outside");  // unchanged: nothing
  EXPECT_EQ(notified, 1);
}

// ---- Measuring, scrolling and the mouse

TEST_F(XPEditTest, LongTextScrollsSoThatTheCaretFits) {
  TTestXPEdit* edit = NewEdit(10, 10, 60);
  edit->HandleNeeded();
  const std::string text = "The quick brown fox jumps over the lazy dog";
  edit->SetText(text);
  const int first = edit->GetFirstVisible();
  const int room = (60 - 4) - 2;  // edit rectangle width - 2
  ASSERT_GT(first, 0);
  EXPECT_LE(Measured(edit, text.substr(size_t(first))), room);
  EXPECT_GT(Measured(edit, text.substr(size_t(first - 1))), room);
  EXPECT_EQ(edit->GetFullCount(), int(text.size()) - first);
  edit->Key(VK_HOME);
  EXPECT_EQ(edit->GetFirstVisible(), 0);
  // DrawnCount counts the character cut at the right edge, FullCount does not.
  const int full = edit->GetFullCount();
  EXPECT_LE(Measured(edit, text.substr(0, size_t(full))), room);
  EXPECT_GT(Measured(edit, text.substr(0, size_t(full + 1))), room);
  EXPECT_EQ(edit->GetDrawnCount(), full + 1);
  // Regression: the drawn and visible counts kept the old width after a resize, because
  // only setting the scroll position computed them.
  edit->SetWidth(400);
  EXPECT_EQ(edit->GetDrawnCount(), int(text.size()));
}

TEST_F(XPEditTest, PointsMapToTheNearestCharacterBoundary) {
  TTestXPEdit* edit = NewEdit();
  edit->HandleNeeded();
  edit->SetText("WiW");
  const int w = Measured(edit, "W");
  const int wi = Measured(edit, "Wi");
  EXPECT_EQ(edit->CharAtPoint(3), 0);
  EXPECT_EQ(edit->CharAtPoint(3 + w / 2), 0);
  EXPECT_EQ(edit->CharAtPoint(3 + w / 2 + 1), 1);
  EXPECT_EQ(edit->CharAtPoint(3 + wi + 1), 2);
  EXPECT_EQ(edit->CharAtPoint(100), 3);
  EXPECT_EQ(edit->CharAtPoint(-5), 0);
}

TEST_F(XPEditTest, DoubleClickSelectsTheWordUnderTheMouse) {
  TTestXPEdit* edit = NewEdit();
  ShowForm();
  edit->SetText("ab  cd");
  const TPoint origin = edit->ClientToScreen(TPoint{0, 0});
  auto clickAt = [&](int index) {
    const int x = 3 + Measured(edit, edit->GetText().substr(0, size_t(index))) + 1;
    ASSERT_TRUE(SettlePointerAt(origin.x + x, origin.y + 8));
    edit->DblClick();
  };
  clickAt(4);
  EXPECT_EQ(edit->GetSelStart(), 4);
  EXPECT_EQ(edit->GetSelLength(), 2);
  clickAt(0);
  EXPECT_EQ(edit->GetSelStart(), 0);
  EXPECT_EQ(edit->GetSelLength(), 2);
  clickAt(3);  // a blank after a word selects that word
  EXPECT_EQ(edit->GetSelStart(), 0);
  EXPECT_EQ(edit->GetSelLength(), 2);
  edit->SetText("  x");
  clickAt(0);  // blanks with nothing to the left: the run of blanks
  EXPECT_EQ(edit->GetSelStart(), 0);
  EXPECT_EQ(edit->GetSelLength(), 2);
  SetCursorPos(0, 0);
}

TEST_F(XPEditTest, MouseDragSelectsAndEntryByKeyboardSelectsAll) {
  TTestXPEdit* edit = NewEdit();
  auto* other = new TTestEdit(Form);
  other->SetParent(Form);
  other->SetBounds(10, 60, 50, 20);
  edit->SetText("abcdef");
  ShowForm();
  auto xOf = [&](int index) { return 3 + Measured(edit, edit->GetText().substr(0, size_t(index))) + 1; };
  edit->Perform(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(xOf(1), 8));
  EXPECT_TRUE(edit->GetMouseSelecting());
  EXPECT_TRUE(edit->Focused());
  edit->Perform(WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(xOf(4), 8));
  EXPECT_EQ(edit->GetSelStart(), 1);
  EXPECT_EQ(edit->GetSelLength(), 3);
  edit->Perform(WM_LBUTTONUP, 0, MAKELPARAM(xOf(4), 8));
  EXPECT_FALSE(edit->GetMouseSelecting());
  edit->Perform(WM_MOUSEMOVE, 0, MAKELPARAM(xOf(5), 8));
  EXPECT_EQ(edit->GetSelLength(), 3);
  edit->Perform(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(xOf(2), 8));
  EXPECT_EQ(edit->GetSelLength(), 0);  // a new press starts afresh
  edit->Perform(WM_CANCELMODE);
  EXPECT_FALSE(edit->GetMouseSelecting());
  edit->Perform(WM_LBUTTONUP, 0, MAKELPARAM(xOf(2), 8));

  edit->Perform(CM_MOUSEENTER);
  EXPECT_TRUE(edit->GetFont()->GetStyle().Contains(fsUnderline));
  edit->Perform(CM_MOUSELEAVE);
  EXPECT_FALSE(edit->GetFont()->GetStyle().Contains(fsUnderline));

  other->SetFocus();
  PumpPending();
  edit->SetFocus();
  PumpPending();
  EXPECT_EQ(edit->GetSelStart(), 0);
  EXPECT_EQ(edit->GetSelLength(), 6);
  EXPECT_EQ(edit->GetCaretPos(), 6);
}

TEST_F(XPEditTest, FontChangeSetsTheHeightFromTheMetrics) {
  TTestXPEdit* edit = NewEdit();
  edit->HandleNeeded();
  edit->GetFont()->SetSize(20);
  edit->GetCanvas()->RequiredState(TCanvasState{csHandleValid, csFontValid});
  TEXTMETRICA metrics{};
  GetTextMetricsA(edit->GetCanvas()->GetHandle(), &metrics);
  EXPECT_EQ(edit->GetTextHeight(), metrics.tmHeight);
  EXPECT_EQ(edit->GetHeight(), metrics.tmHeight + 6);
}

// ---- Painting

class XPEditPaintTest : public XPEditTest {
 protected:
  // Paints the edit into a fresh surface filled with the sentinel.
  std::unique_ptr<TDibSurface> PaintEdit(TCustomXPEdit* edit) {
    edit->HandleNeeded();
    auto surface = std::make_unique<TDibSurface>(edit->GetWidth(), edit->GetHeight());
    surface->Fill(kSentinel);
    edit->Perform(WM_PAINT, reinterpret_cast<WPARAM>(surface->DC()), 0);
    GdiFlush();
    return surface;
  }
  static constexpr COLORREF kSentinel = RGB(1, 2, 3);
};

TEST_F(XPEditPaintTest, OpaqueEditDrawsFrameAndBackground) {
  TTestXPEdit* edit = NewEdit();
  edit->SetTransparent(false);
  edit->GetColors()->SetColor(clWindow);
  edit->GetColors()->SetFrameColor(clBtnShadow);
  edit->HandleNeeded();
  auto s = PaintEdit(edit);
  const int w = edit->GetWidth(), h = edit->GetHeight();
  EXPECT_EQ(s->Color(0, 0), ColorToRGB(clBtnShadow));
  EXPECT_EQ(s->Color(w - 1, h - 1), ColorToRGB(clBtnShadow));
  EXPECT_EQ(s->Color(w / 2, 0), ColorToRGB(clBtnShadow));
  EXPECT_EQ(s->Color(1, 1), ColorToRGB(clWindow));
  EXPECT_EQ(s->Color(w - 2, h - 2), ColorToRGB(clWindow));
  EXPECT_EQ(s->Color(w / 2, h / 2), ColorToRGB(clWindow));  // no text
}

TEST_F(XPEditPaintTest, TransparentEditLeavesTheBackgroundAlone) {
  TTestXPEdit* edit = NewEdit();
  edit->HandleNeeded();
  auto s = PaintEdit(edit);
  for (int y = 0; y < edit->GetHeight(); ++y)
    for (int x = 0; x < edit->GetWidth(); ++x)
      ASSERT_EQ(s->Color(x, y), kSentinel) << x << ", " << y;
}

TEST_F(XPEditPaintTest, DisabledParentGivesTheDisabledColours) {
  TTestXPEdit* edit = NewEdit();
  edit->SetTransparent(false);
  edit->HandleNeeded();
  Form->SetEnabled(false);
  EXPECT_TRUE(edit->GetEnabled());
  auto s = PaintEdit(edit);
  Form->SetEnabled(true);
  EXPECT_EQ(s->Color(0, 0), COLORREF(0x99A8AC));
  EXPECT_EQ(s->Color(1, 1), COLORREF(0xD8E9EC));
  EXPECT_EQ(s->Color(edit->GetWidth() / 2, edit->GetHeight() / 2), COLORREF(0xD8E9EC));
}

TEST_F(XPEditPaintTest, PasswordTextPaintsAsMasks) {
  TTestXPEdit* hidden = NewEdit();
  hidden->SetTransparent(false);
  hidden->SetPasswordChar('*');
  hidden->SetText("abcd");
  TTestXPEdit* shown = NewEdit(10, 40);
  shown->SetTransparent(false);
  shown->SetText("****");
  auto a = PaintEdit(hidden);
  auto b = PaintEdit(shown);
  int inked = 0;
  for (int y = 0; y < hidden->GetHeight(); ++y)
    for (int x = 0; x < hidden->GetWidth(); ++x) {
      ASSERT_EQ(a->Color(x, y), b->Color(x, y)) << x << ", " << y;
      inked += a->Color(x, y) != ColorToRGB(clWindow) && x > 1 && y > 1 && x < hidden->GetWidth() - 2 &&
               y < hidden->GetHeight() - 2;
    }
  EXPECT_GT(inked, 0);
}

TEST_F(XPEditPaintTest, VisibleSelectionIsPaintedInHighlightColours) {
  TTestXPEdit* edit = NewEdit();
  edit->SetTransparent(false);
  edit->SetHideSelection(false);
  edit->SetText("a   b");
  edit->Key(VK_HOME);
  edit->Key(VK_RIGHT);
  auto before = PaintEdit(edit);
  const int a = Measured(edit, "a");
  const int blanks = Measured(edit, "a   ") - a;
  EXPECT_EQ(before->Color(3 + a + blanks / 2, 3), ColorToRGB(clWindow));
  // The three blanks only, so that no glyph ink lies inside the selected run.
  edit->SetSelLength(3);
  ASSERT_EQ(edit->GetSelStart(), 1);
  ASSERT_EQ(edit->GetSelLength(), 3);
  auto after = PaintEdit(edit);
  for (int x = 3 + a + 1; x < 3 + a + blanks - 1; ++x)
    EXPECT_EQ(after->Color(x, 4), ColorToRGB(clHighlight)) << x;
  EXPECT_EQ(after->Color(edit->GetWidth() - 5, 4), ColorToRGB(clWindow));
}

// Fault: the edit went on with its own key, mouse and double-click work after the
// inherited step's handler had freed it, and gave its notifying flag back after an
// OnChange that had (use after free).
TEST_F(XPEditTest, AHandlerThatFreesTheEditEndsWhatFiredIt) {
  ShowForm();
  const TGuardedHeap guarded;
  TFreeSender freeSender;
  auto make = [&] {
    TTestXPEdit* edit = NewEdit();
    edit->HandleNeeded();
    edit->OnChange = TNotifyEvent::Bind<&TFreeSender::Notify>(&freeSender);
    return FreeingOnEveryEvent(edit, freeSender);
  };
  auto freedBy = [&](UINT msg, WPARAM wParam, LPARAM lParam) {
    return FreedBy(make(), [&](TTestXPEdit* edit) { edit->Perform(msg, wParam, lParam); });
  };
  EXPECT_TRUE(freedBy(WM_CHAR, 'a', 1));
  EXPECT_TRUE(freedBy(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5)));
  EXPECT_TRUE(freedBy(WM_MOUSEMOVE, 0, MAKELPARAM(5, 5)));
  EXPECT_TRUE(freedBy(WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(5, 5)));
  EXPECT_TRUE(freedBy(WM_SIZE, SIZE_RESTORED, MAKELPARAM(121, 21)));
  EXPECT_TRUE(FreedBy(make(), [](TTestXPEdit* edit) { edit->SetText("changed"); }));
  ReleaseCapture();
  EXPECT_TRUE(Exceptions.Messages.empty());
}

}  // namespace
