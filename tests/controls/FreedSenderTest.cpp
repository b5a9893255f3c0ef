// A handler that frees the control that fired its event ends what fired it: the class
// library's mouse, key, selection, menu and closing paths touch nothing of the control
// afterwards. Each case runs on the guarded heap, where a use of the freed control faults
// and is reported.
#include "classlib/Buttons.h"
#include "classlib/Grids.h"
#include "classlib/Menus.h"
#include "classlib/StdCtrls.h"
#include "tests/controls/ControlsTestSupport.h"
#include "tests/editors/GuardedHeap.h"

namespace {

// A plain windowed control with the default click events.
class TClickControl : public TCustomControl {
  KIVO_CLASS(TClickControl, TCustomControl)
 public:
  explicit TClickControl(TComponent* AOwner) : TCustomControl(AOwner) { SetBounds(0, 0, 60, 30); }
};

// Frees a control that is not the sender of the event handled (the form's key preview).
struct TFreeTarget {
  TObject* Target = nullptr;
  void Key(TObject*, WORD&, TShiftState) { delete Target; }
  void Char(TObject*, char&) { delete Target; }
};

// Frees the form that closes.
struct TFreeClosing {
  void Close(TObject* sender, TCloseAction&) { delete sender; }
  void CloseQuery(TObject* sender, bool&) { delete sender; }
};

class FreedSenderTest : public FormTest {
 protected:
  template <class T>
  T* Make() {
    auto* control = new T(Form);
    control->SetParent(Form);
    return control;
  }
  TFreeSender FreeSender;
};

const LPARAM kInside = MAKELPARAM(5, 5);

// Fault: the mouse-button handling read the control's style after its click and
// double-click handlers (and the window's own handling, where a system button reports its
// click) had freed it (use after free).
TEST_F(FreedSenderTest, AClickHandlerThatFreesTheControlEndsTheMouseMessage) {
  ShowForm();
  const TGuardedHeap guarded;
  auto* clicked = Make<TClickControl>();
  clicked->OnClick = TNotifyEvent::Bind<&TFreeSender::Notify>(&FreeSender);
  EXPECT_TRUE(FreedBy(clicked, [](TControl* control) {
    control->Perform(WM_LBUTTONDOWN, MK_LBUTTON, kInside);
    control->Perform(WM_LBUTTONUP, 0, kInside);
  }));
  auto* doubleClicked = Make<TClickControl>();
  doubleClicked->OnDblClick = TNotifyEvent::Bind<&TFreeSender::Notify>(&FreeSender);
  EXPECT_TRUE(FreedBy(doubleClicked, [](TControl* c) { c->Perform(WM_LBUTTONDBLCLK, MK_LBUTTON, kInside); }));
  auto* button = Make<TTestButton>();
  button->OnClick = TNotifyEvent::Bind<&TFreeSender::Notify>(&FreeSender);
  EXPECT_TRUE(FreedBy(button, [](TTestButton* b) {
    SendMessageA(b->GetHandle(), WM_LBUTTONDOWN, MK_LBUTTON, kInside);
    SendMessageA(b->GetHandle(), WM_LBUTTONUP, 0, kInside);
  })) << "a system button reports its click from its own handling of the release";
  ReleaseCapture();
  EXPECT_TRUE(Exceptions.Messages.empty());
}

// Fault: a key whose handler (the control's, or the form's key preview) freed the control
// went on to the control's style and its window procedure (use after free).
TEST_F(FreedSenderTest, AKeyHandlerThatFreesTheControlEndsTheKeyMessage) {
  ShowForm();
  const TGuardedHeap guarded;
  auto make = [&] {
    auto* edit = Make<TTestEdit>();
    edit->OnKeyDown = TKeyEvent::Bind<&TFreeSender::Key>(&FreeSender);
    edit->OnKeyUp = TKeyEvent::Bind<&TFreeSender::Key>(&FreeSender);
    edit->OnKeyPress = TKeyPressEvent::Bind<&TFreeSender::Char>(&FreeSender);
    return edit;
  };
  for (UINT msg : {WM_KEYDOWN, WM_KEYUP, WM_CHAR})
    EXPECT_TRUE(FreedBy(make(), [&](TTestEdit* edit) { edit->Perform(msg, 'A', 1); })) << "message " << msg;

  TFreeTarget freeTarget;
  Form->SetKeyPreview(true);
  Form->OnKeyDown = TKeyEvent::Bind<&TFreeTarget::Key>(&freeTarget);
  Form->OnKeyPress = TKeyPressEvent::Bind<&TFreeTarget::Char>(&freeTarget);
  for (UINT msg : {WM_KEYDOWN, WM_CHAR}) {
    auto* edit = Make<TTestEdit>();
    freeTarget.Target = edit;
    EXPECT_TRUE(FreedBy(edit, [&](TTestEdit* e) { e->Perform(msg, 'A', 1); })) << "previewed message " << msg;
  }
  EXPECT_TRUE(Exceptions.Messages.empty());
}

// Fault: the combo box's selection, the speed button's press and move, the string grid's
// keys and the pop-up menu went on after OnSelect, OnMouseDown, OnMouseMove, OnKeyDown and
// OnPopup had freed their sender (use after free).
TEST_F(FreedSenderTest, TheStandardControlsEndWhatTheirFreeingHandlersFired) {
  ShowForm();
  const TGuardedHeap guarded;
  auto* combo = Make<TComboBox>();
  combo->GetItems()->Add("Top Layer");
  combo->OnSelect = TNotifyEvent::Bind<&TFreeSender::Notify>(&FreeSender);
  EXPECT_TRUE(FreedBy(combo, [](TComboBox* c) { c->Perform(CN_COMMAND, MAKEWPARAM(0, CBN_SELCHANGE), 0); }));

  auto makeSpeedButton = [&] {
    auto* speed = Make<TSpeedButton>();
    speed->OnMouseDown = TMouseEvent::Bind<&TFreeSender::Mouse>(&FreeSender);
    speed->OnMouseMove = TMouseMoveEvent::Bind<&TFreeSender::Move>(&FreeSender);
    return speed;
  };
  EXPECT_TRUE(FreedBy(makeSpeedButton(), [](TSpeedButton* b) { b->Perform(WM_LBUTTONDOWN, MK_LBUTTON, kInside); }));
  EXPECT_TRUE(FreedBy(makeSpeedButton(), [](TSpeedButton* b) { b->Perform(WM_MOUSEMOVE, 0, kInside); }));
  ReleaseCapture();

  auto* grid = Make<TStringGrid>();
  grid->OnKeyDown = TKeyEvent::Bind<&TFreeSender::Key>(&FreeSender);
  EXPECT_TRUE(FreedBy(grid, [](TStringGrid* g) { g->Perform(WM_KEYDOWN, VK_DOWN, 1); }));

  auto* menu = new TPopupMenu(Form);
  menu->OnPopup = TNotifyEvent::Bind<&TFreeSender::Notify>(&FreeSender);
  EXPECT_TRUE(FreedBy(menu, [](TPopupMenu* m) { m->Popup(10, 10); }));
  EXPECT_TRUE(Exceptions.Messages.empty());
}

// Fault: closing a form went on to hide it after its OnCloseQuery or OnClose handler had
// freed it (use after free).
TEST(FreedSender, AFormFreedByItsCloseHandlersIsNotClosedFurther) {
  TExceptionRecorder exceptions;
  const TGuardedHeap guarded;
  TFreeClosing freeClosing;
  auto show = [] {
    auto* form = new TForm(nullptr);
    form->SetBounds(600, 400, 200, 100);
    form->Show();
    return form;
  };
  TForm* closed = show();
  closed->OnClose = TCloseEvent::Bind<&TFreeClosing::Close>(&freeClosing);
  EXPECT_TRUE(FreedBy(closed, [](TForm* form) { form->Close(); }));
  TForm* queried = show();
  queried->OnCloseQuery = TCloseQueryEvent::Bind<&TFreeClosing::CloseQuery>(&freeClosing);
  EXPECT_TRUE(FreedBy(queried, [](TForm* form) { form->Close(); }));
  PumpPending();
  EXPECT_TRUE(exceptions.Messages.empty());
}

// Fault: showing a form went on to place and show it and to clear its showing flag after
// OnShow had freed it, and hiding likewise after OnHide (use after free).
TEST(FreedSender, AFormFreedByItsShowOrHideHandlerIsNotShownOrHiddenFurther) {
  TExceptionRecorder exceptions;
  const TGuardedHeap guarded;
  TFreeSender freeSender;
  for (bool show : {true, false}) {
    auto* form = new TForm(nullptr);
    form->SetBounds(600, 400, 200, 100);
    form->SetVisible(!show);
    (show ? form->OnShow : form->OnHide) = TNotifyEvent::Bind<&TFreeSender::Notify>(&freeSender);
    EXPECT_TRUE(FreedBy(form, [show](TForm* f) { show ? f->Show() : f->Hide(); })) << show;
  }
  EXPECT_TRUE(exceptions.Messages.empty());
}

}  // namespace
