// A handler that frees the editor, popup or calculator that fired its event ends what
// fired it: the key, mouse and size handling of the editor library touches nothing of the
// control afterwards. Each case runs on the guarded heap, where a use of the freed control
// faults and is reported.
#include <string>

#include <gtest/gtest.h>

#include "editors/DxBlobPopup.h"
#include "editors/DxCalc.h"
#include "editors/DxGridDatePopup.h"
#include "editors/DxInplaceCalcEdit.h"
#include "editors/DxInplaceCheckEdit.h"
#include "editors/DxInplaceGraphicEdit.h"
#include "editors/DxInplaceHyperLinkEdit.h"
#include "editors/DxInplaceSpinEdit.h"
#include "editors/DxMonthListBox.h"
#include "editors/DxPopupListBox.h"
#include "tests/editors/EditorsTestSupport.h"
#include "tests/editors/GuardedHeap.h"

namespace {

class TTestCheckEdit : public TdxInplaceCheckEdit {
  KIVO_CLASS(TTestCheckEdit, TdxInplaceCheckEdit)
 public:
  using TdxInplaceCheckEdit::TdxInplaceCheckEdit;
};

class EditorFreedSenderTest : public EditorTest {
 protected:
  // `control`, on `parent` and with its window, with every handler of a user event
  // freeing it.
  template <class T>
  T* Freeing(T* control, TWinControl* parent) {
    control->SetParent(parent);
    control->SetBounds(10, 10, 120, 60);
    control->HandleNeeded();
    return FreeingOnEveryEvent(control, FreeSender);
  }
  // True when the message freed the control `make` makes.
  template <class Make>
  bool FreedByMessage(Make make, UINT msg, WPARAM wParam = 0, LPARAM lParam = MAKELPARAM(5, 5)) {
    return FreedBy(make(), [&](TWinControl* control) { control->Perform(msg, wParam, lParam); });
  }
  TFreeSender FreeSender;
};

// Fault: the check editor's toggle went on to mark it modified, and its mouse and key
// releases to the inherited handlers, after a click or change handler had freed it; its
// key press after the inherited handler had (use after free).
TEST_F(EditorFreedSenderTest, AClickOrChangeHandlerThatFreesTheCheckEditorEndsTheToggle) {
  ShowForm();
  const TGuardedHeap guarded;
  auto make = [&](bool onClick) {
    auto* check = new TTestCheckEdit(Container);
    check->SetParent(Container);
    check->SetBounds(10, 10, 100, 22);
    (onClick ? check->OnClick : check->OnChange) = TNotifyEvent::Bind<&TFreeSender::Notify>(&FreeSender);
    return check;
  };
  for (bool onClick : {true, false}) {
    EXPECT_TRUE(FreedBy(make(onClick), [](TTestCheckEdit* check) { check->Toggle(); }));
    EXPECT_TRUE(FreedBy(make(onClick), [](TTestCheckEdit* check) {
      check->Perform(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
      check->Perform(WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
    })) << "a click";
    EXPECT_TRUE(FreedBy(make(onClick), [](TTestCheckEdit* check) {
      check->Perform(WM_KEYDOWN, VK_SPACE, 1);
      check->Perform(WM_KEYUP, VK_SPACE, LPARAM(0xC0000001));
    })) << "Space";
  }
  auto* pressed = Freeing(new TTestCheckEdit(Container), Container);
  EXPECT_TRUE(FreedBy(pressed, [](TTestCheckEdit* check) { check->Perform(WM_CHAR, ' ', 1); }));
  ReleaseCapture();
  EXPECT_TRUE(Exceptions.Messages.empty());
}

// Fault: the in-place editor, the text editor, the popups, the calculator and the
// calendar went on with their own work after the inherited resize had fired an OnResize
// that freed them (use after free).
TEST_F(EditorFreedSenderTest, AResizeHandlerThatFreesTheControlEndsTheResize) {
  ShowForm();
  const TGuardedHeap guarded;
  auto size = [&](auto make) { return FreedByMessage(make, WM_SIZE, SIZE_RESTORED, MAKELPARAM(120, 60)); };
  EXPECT_TRUE(size([&] { return Freeing(new TRecordingEdit(Container), Container); }));
  EXPECT_TRUE(size([&] { return Freeing(new TdxInplaceTextEdit(Container), Container); }));
  EXPECT_TRUE(size([&] { return Freeing(new TdxInplacePopupControl(Form), Form); }));
  EXPECT_TRUE(size([&] { return Freeing(new TCustomdxBlobPopup(Form), Form); }));
  EXPECT_TRUE(size([&] { return Freeing(new TCustomdxCalculator(Form), Form); }));
  EXPECT_TRUE(size([&] { return Freeing(new TdxGridDatePopup(Form), Form); }));
  EXPECT_TRUE(size([&] { return Freeing(new TCustomdxPopupListBox(Form), Form); }));
  EXPECT_TRUE(Exceptions.Messages.empty());
}

// Fault: the calculator, the popup calculator, the calendars, the month list, the popup
// list, the blob popup (its keys, press, move and the release that ends a press on its
// buttons) and the graphic and hyperlink editors went on with their own key and mouse
// work after the inherited handler had fired a user event that freed them (use after
// free).
TEST_F(EditorFreedSenderTest, AKeyOrMouseHandlerThatFreesTheControlEndsTheMessage) {
  ShowForm();
  const TGuardedHeap guarded;
  auto calculator = [&] { return Freeing(new TCustomdxCalculator(Form), Form); };
  EXPECT_TRUE(FreedByMessage(calculator, WM_KEYDOWN, 'A', 1));
  EXPECT_TRUE(FreedByMessage(calculator, WM_CHAR, '1', 1));
  EXPECT_TRUE(FreedByMessage(calculator, WM_KEYUP, 'A', LPARAM(0xC0000001)));
  auto popupCalculator = [&] {
    auto* popup = Freeing(new TdxPopupCalculator(Form), Form);
    popup->SetQuickClose(true);
    return popup;
  };
  EXPECT_TRUE(FreedByMessage(popupCalculator, WM_KEYDOWN, VK_RETURN, 1));
  EXPECT_TRUE(FreedByMessage(popupCalculator, WM_CHAR, '=', 1));
  // The date popup's mouse handling goes through the calendar's.
  auto datePopup = [&] { return Freeing(new TdxGridDatePopup(Form), Form); };
  EXPECT_TRUE(FreedByMessage(datePopup, WM_KEYDOWN, VK_LEFT, 1));
  EXPECT_TRUE(FreedByMessage(datePopup, WM_LBUTTONDOWN, MK_LBUTTON));
  EXPECT_TRUE(FreedByMessage(datePopup, WM_MOUSEMOVE, MK_LBUTTON));
  EXPECT_TRUE(FreedByMessage(datePopup, WM_LBUTTONUP));
  EXPECT_TRUE(FreedByMessage([&] { return Freeing(new TAMonthListBox(Form), Form); }, WM_MOUSEMOVE, MK_LBUTTON));
  EXPECT_TRUE(FreedByMessage([&] { return Freeing(new TCustomdxPopupListBox(Form), Form); }, WM_MOUSEMOVE));
  auto blobPopup = [&] { return Freeing(new TCustomdxBlobPopup(Form), Form); };
  EXPECT_TRUE(FreedByMessage(blobPopup, WM_KEYDOWN, 'A', 1));
  EXPECT_TRUE(FreedByMessage(blobPopup, WM_LBUTTONDOWN, MK_LBUTTON));
  EXPECT_TRUE(FreedByMessage(blobPopup, WM_MOUSEMOVE));
  // The release that ends a press on the popup's Cancel button.
  auto* tracked = new TCustomdxBlobPopup(Form);
  tracked->SetIsPopup(true);
  tracked->SetParent(Form);
  tracked->SetPopupBounds(TPoint{600, 300}, 200, 120);
  const TRect cancel = tracked->GetButtonRect(bpbCancel);
  RECT window{};
  GetWindowRect(tracked->GetHandle(), &window);
  tracked->Perform(WM_NCLBUTTONDOWN, HTBORDER, MAKELPARAM(window.left + cancel.left + 2, window.top + cancel.top + 2));
  EXPECT_TRUE(FreedByMessage([&] { return FreeingOnEveryEvent(tracked, FreeSender); }, WM_LBUTTONUP)) << "release";
  // The graphic editor's keys and characters that copy the picture, and the double click
  // that shows its tool bar.
  auto graphic = [&] { return Freeing(new TdxInplaceGraphicEdit(Container), Container); };
  {
    const TCtrlHeld ctrl;
    EXPECT_TRUE(FreedByMessage(graphic, WM_KEYDOWN, VK_INSERT, 1));
  }
  EXPECT_TRUE(FreedByMessage(graphic, WM_CHAR, 3, 1));
  EXPECT_TRUE(FreedByMessage(graphic, WM_LBUTTONDBLCLK, MK_LBUTTON));
  EXPECT_TRUE(FreedByMessage([&] { return Freeing(new TdxInplaceHyperLinkEdit(Container), Container); }, WM_LBUTTONUP));
  ReleaseCapture();
  EXPECT_TRUE(Exceptions.Messages.empty());
}

// Fault: the graphic editor read its picture after OnAssignPicture had freed it, the
// calculator's clearing set its operation after OnDisplayChange had, and the spin
// editor marked itself modified after its step's OnChange had (use after free).
TEST_F(EditorFreedSenderTest, AValueHandlerThatFreesTheEditorEndsTheStep) {
  ShowForm();
  const TGuardedHeap guarded;
  struct TFreePicture {
    void Assign(TObject* sender, TPicture*&) { delete sender; }
  } freePicture;
  auto* graphic = new TdxInplaceGraphicEdit(Container);
  graphic->OnAssignPicture = TdxGraphicEditAssignPictureEvent::Bind<&TFreePicture::Assign>(&freePicture);
  Variant value = 1;
  EXPECT_TRUE(FreedBy(graphic, [&](TdxInplaceGraphicEdit* g) { g->GetEditValue(value); }));
  EXPECT_TRUE(VarIsNull(value));
  auto* calculator = new TCustomdxCalculator(Form);
  calculator->CalcButtonClick(cbNum5);
  calculator->OnDisplayChange = TNotifyEvent::Bind<&TFreeSender::Notify>(&FreeSender);
  EXPECT_TRUE(FreedBy(calculator, [](TCustomdxCalculator* c) { c->CalcButtonClick(cbClear); }));
  auto spin = [&] {
    auto* edit = new TdxInplaceSpinEdit(Container);
    edit->SetParent(Container);
    edit->OnChange = TNotifyEvent::Bind<&TFreeSender::Notify>(&FreeSender);
    return edit;
  };
  EXPECT_TRUE(FreedByMessage(spin, WM_KEYDOWN, VK_UP, 1)) << "a key";
  EXPECT_TRUE(FreedByMessage(spin, WM_MOUSEWHEEL, MAKEWPARAM(0, WHEEL_DELTA), 0)) << "the wheel";
  EXPECT_TRUE(Exceptions.Messages.empty());
}

}  // namespace
