// Page control, rich edit and frame driven through real window messages.
#include "classlib/ComCtrls.h"
#include "classlib/Frames.h"
#include "tests/controls/ControlsTestSupport.h"

namespace {

struct TCounter {
  int Count = 0;
  void Fire(TObject*) { ++Count; }
  TNotifyEvent Event() { return TNotifyEvent::Bind<&TCounter::Fire>(this); }
};

std::string TabText(HWND tabs, int index) {
  char text[64] = {};
  TCITEMA item{};
  item.mask = TCIF_TEXT;
  item.pszText = text;
  item.cchTextMax = sizeof(text);
  SendMessageA(tabs, TCM_GETITEMA, index, reinterpret_cast<LPARAM>(&item));
  return text;
}

using ComCtrlsTest = FormTest;

TEST_F(ComCtrlsTest, RichEditShowsPlainTextAndStaysReadOnly) {
  const std::string help = "Use the Layer Mapping options to associate KIVO layers to Varnok layers.";
  auto* rich = new TRichEdit(Form);
  rich->SetParent(Form);
  rich->SetBounds(13, 21, 260, 44);
  rich->SetBorderStyle(bsNone);
  rich->SetColor(clBtnFace);
  rich->SetReadOnly(true);
  rich->SetText(help);
  TCounter changes;
  rich->OnChange = changes.Event();
  ShowForm();

  HWND wnd = rich->GetHandle();
  EXPECT_EQ(rich->GetText(), help);
  EXPECT_EQ(SendMessageA(wnd, EM_GETTEXTMODE, 0, 0) & TM_PLAINTEXT, TM_PLAINTEXT);
  EXPECT_TRUE(GetWindowLongA(wnd, GWL_STYLE) & ES_READONLY);
  EXPECT_FALSE(GetWindowLongA(wnd, GWL_EXSTYLE) & WS_EX_CLIENTEDGE);

  rich->SetFocus();
  SendMessageA(wnd, EM_SETSEL, 0, 0);
  PostMessageA(wnd, WM_CHAR, 'x', 1);
  PumpPending();
  EXPECT_EQ(rich->GetText(), help);
  EXPECT_EQ(changes.Count, 0);

  // The same key goes in once the edit is writable: the path above was live.
  rich->SetReadOnly(false);
  PostMessageA(wnd, WM_CHAR, 'x', 1);
  PumpUntil([&] { return changes.Count > 0; }, 2000);
  EXPECT_EQ(rich->GetText(), "x" + help);
  EXPECT_EQ(changes.Count, 1);

  // A new window keeps the text and the plain-text mode.
  rich->SetReadOnly(true);
  rich->RecreateWnd();
  EXPECT_EQ(rich->GetText(), "x" + help);
  EXPECT_EQ(SendMessageA(rich->GetHandle(), EM_GETTEXTMODE, 0, 0) & TM_PLAINTEXT, TM_PLAINTEXT);
  EXPECT_TRUE(GetWindowLongA(rich->GetHandle(), GWL_STYLE) & ES_READONLY);
  EXPECT_TRUE(Exceptions.Messages.empty());
}

TEST_F(ComCtrlsTest, ChoosingATabShowsOnlyItsSheetAndFiresChangeOnce) {
  Form->SetBounds(600, 400, 320, 240);
  auto* pages = new TPageControl(Form);
  pages->SetParent(Form);
  pages->SetBounds(8, 8, 300, 180);
  auto* options = new TTabSheet(Form);
  options->SetCaption("Options");
  options->SetPageControl(pages);
  auto* other = new TTabSheet(Form);
  other->SetPageControl(pages);
  other->SetCaption("Other");
  auto* button = new TButton(Form);
  button->SetParent(other);
  TCounter changes;
  pages->OnChange = changes.Event();
  ShowForm();

  HWND tabs = pages->GetHandle();
  ASSERT_EQ(SendMessageA(tabs, TCM_GETITEMCOUNT, 0, 0), 2);
  EXPECT_EQ(TabText(tabs, 0), "Options");
  EXPECT_EQ(TabText(tabs, 1), "Other");
  EXPECT_EQ(pages->GetActivePage(), options);
  EXPECT_EQ(other->GetPageIndex(), 1);
  EXPECT_TRUE(IsWindowVisible(options->GetHandle()));
  EXPECT_FALSE(IsWindowVisible(other->GetHandle()));
  EXPECT_FALSE(IsWindowVisible(button->GetHandle()));

  // The sheets cover the tab control's display area.
  RECT display;
  GetClientRect(tabs, &display);
  SendMessageA(tabs, TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&display));
  EXPECT_EQ(options->GetBoundsRect(), TRect(display));

  RECT tab{};
  SendMessageA(tabs, TCM_GETITEMRECT, 1, reinterpret_cast<LPARAM>(&tab));
  const LPARAM centre = MAKELPARAM((tab.left + tab.right) / 2, (tab.top + tab.bottom) / 2);
  PostMessageA(tabs, WM_LBUTTONDOWN, MK_LBUTTON, centre);
  PostMessageA(tabs, WM_LBUTTONUP, 0, centre);
  PumpUntil([&] { return changes.Count > 0; }, 2000);
  PumpPending();
  EXPECT_EQ(changes.Count, 1);
  EXPECT_EQ(pages->GetActivePage(), other);
  EXPECT_EQ(SendMessageA(tabs, TCM_GETCURSEL, 0, 0), 1);
  EXPECT_TRUE(IsWindowVisible(other->GetHandle()));
  EXPECT_TRUE(IsWindowVisible(button->GetHandle()));
  EXPECT_FALSE(IsWindowVisible(options->GetHandle()));

  // From code: silent, and the focus leaves the page that hides; a sheet of another
  // page control is refused.
  button->SetFocus();
  pages->SetActivePageIndex(0);
  EXPECT_EQ(GetFocus(), tabs);
  EXPECT_EQ(SendMessageA(tabs, TCM_GETCURSEL, 0, 0), 0);
  EXPECT_TRUE(IsWindowVisible(options->GetHandle()));
  EXPECT_EQ(changes.Count, 1);
  TTabSheet stray(nullptr);
  EXPECT_THROW(pages->SetActivePage(&stray), EInvalidOperation);

  // Freeing the active sheet activates its neighbour and drops its tab.
  delete options;
  EXPECT_EQ(pages->GetPageCount(), 1);
  EXPECT_EQ(pages->GetActivePage(), other);
  EXPECT_EQ(other->GetPageIndex(), 0);
  EXPECT_EQ(SendMessageA(tabs, TCM_GETITEMCOUNT, 0, 0), 1);
  EXPECT_EQ(TabText(tabs, 0), "Other");
  EXPECT_TRUE(IsWindowVisible(other->GetHandle()));
  EXPECT_TRUE(Exceptions.Messages.empty());
}

struct TInsertRecorder {
  static inline std::vector<std::pair<TWinControl*, TControl*>> Calls;
  static void Record(TWinControl* parent, TControl* control) {
    InsertControlOriginal(parent, control);
    Calls.emplace_back(parent, control);
  }
};

TEST_F(ComCtrlsTest, FrameInsertedIntoAFormIsAChildWithItsOwnControls) {
  auto* frame = new TFrame(Form);
  auto* edit = new TEdit(frame);
  edit->SetName("EditPath");
  edit->SetParent(frame);
  auto* label = new TLabel(frame);
  label->SetParent(frame);
  label->SetCaption("Frame label");

  TInsertRecorder::Calls.clear();
  const TInsertControlProc saved = InsertControlProc;
  InsertControlProc = TInsertRecorder::Record;
  frame->SetParent(Form);
  InsertControlProc = saved;
  ASSERT_EQ(TInsertRecorder::Calls.size(), 1u);
  EXPECT_EQ(TInsertRecorder::Calls[0].first, Form);
  EXPECT_EQ(TInsertRecorder::Calls[0].second, frame);

  frame->SetBounds(10, 10, 200, 100);
  ShowForm();
  EXPECT_TRUE(Form->ContainsControl(frame));
  EXPECT_EQ(GetParent(frame->GetHandle()), Form->GetHandle());
  EXPECT_EQ(GetParent(edit->GetHandle()), frame->GetHandle());
  EXPECT_TRUE(IsWindowVisible(edit->GetHandle()));
  EXPECT_EQ(frame->GetControlCount(), 2);
  EXPECT_EQ(frame->GetComponentCount(), 2);
  EXPECT_EQ(frame->FindComponent("EditPath"), edit);
  EXPECT_TRUE(ObjectAs<TCustomFrame>(frame));

  // The colour follows the form until it is set.
  Form->SetColor(clWindow);
  EXPECT_EQ(frame->GetColor(), clWindow);
  frame->SetColor(clBtnShadow);
  Form->SetColor(clBtnFace);
  EXPECT_EQ(frame->GetColor(), clBtnShadow);

  frame->Hide();
  EXPECT_FALSE(IsWindowVisible(edit->GetHandle()));
  EXPECT_TRUE(Exceptions.Messages.empty());
}

}  // namespace
