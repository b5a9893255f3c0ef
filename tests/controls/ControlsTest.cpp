#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "classlib/Controls.h"
#include "classlib/Forms.h"
#include "classlib/StdCtrls.h"
#include "tests/controls/ControlsTestSupport.h"
#include "tests/support/MemoryRecorder.h"

namespace {

constexpr UINT kProbe = WM_APP + 10;
constexpr UINT kThrow = WM_APP + 11;

std::vector<std::string> gTrace;

// A windowed control that records how messages travel through its levels.
class TTraceControl : public TCustomControl {
  KIVO_CLASS(TTraceControl, TCustomControl)
 public:
  using TCustomControl::TCustomControl;
  void WndProc(TMessage& message) override {
    if (message.Msg == kProbe || message.Msg == WM_SETTEXT)
      gTrace.push_back("base wndproc");
    inherited::WndProc(message);
  }
  void Dispatch(TMessage& message) override {
    switch (message.Msg) {
      case kProbe:
        gTrace.push_back("base probe");
        message.Result = 7;
        return;
      case kThrow:
        throw Exception("raised by the control");
      case WM_SETTEXT:
        gTrace.push_back("base settext");
        inherited::Dispatch(message);  // down to the window's own procedure
        return;
    }
    inherited::Dispatch(message);
  }
};

class TDerivedTrace : public TTraceControl {
  KIVO_CLASS(TDerivedTrace, TTraceControl)
 public:
  using TTraceControl::TTraceControl;
  void Dispatch(TMessage& message) override {
    if (message.Msg == kProbe) {
      gTrace.push_back("derived probe");
      inherited::Dispatch(message);
      message.Result *= 10;
      return;
    }
    inherited::Dispatch(message);
  }
};

using ControlsTest = FormTest;

TEST_F(ControlsTest, MessagesRunThroughWindowProcDispatchAndInheritedHandlersToTheWindow) {
  auto* control = new TDerivedTrace(Form);
  control->SetParent(Form);
  gTrace.clear();
  EXPECT_EQ(SendMessageA(control->GetHandle(), kProbe, 0, 0), 70);
  EXPECT_EQ(gTrace, (std::vector<std::string>{"base wndproc", "derived probe", "base probe"}));
  gTrace.clear();
  control->SetText("abc");
  EXPECT_EQ(gTrace, (std::vector<std::string>{"base wndproc", "base settext"}));
  char text[16] = {};
  GetWindowTextA(control->GetHandle(), text, sizeof text);
  EXPECT_STREQ(text, "abc");  // the original window procedure stored it
  EXPECT_EQ(control->Perform(kProbe), 70);
}

TEST_F(ControlsTest, EachWindowHasItsOwnProcedureInstanceAndIsFoundByHandle) {
  auto* a = new TTraceControl(Form);
  auto* b = new TTraceControl(Form);
  a->SetParent(Form);
  b->SetParent(Form);
  EXPECT_FALSE(a->HandleAllocated());  // windows are made when needed
  HWND wa = a->GetHandle(), wb = b->GetHandle();
  const auto procA = reinterpret_cast<WNDPROC>(GetWindowLongPtrA(wa, GWLP_WNDPROC));
  const auto procB = reinterpret_cast<WNDPROC>(GetWindowLongPtrA(wb, GWLP_WNDPROC));
  EXPECT_EQ(procA, a->GetObjectInstance());
  EXPECT_EQ(procB, b->GetObjectInstance());
  EXPECT_NE(procA, procB);
  EXPECT_EQ(FindControl(wa), a);
  EXPECT_EQ(FindControl(Form->GetHandle()), Form);
  EXPECT_EQ(GetParent(wa), Form->GetHandle());
  EXPECT_EQ(FindControlById(UINT(GetDlgCtrlID(wb))), b);
}

TEST_F(ControlsTest, RecreateWndKeepsTextBoundsAndState) {
  auto* edit = new TTestEdit(Form);
  edit->SetParent(Form);
  edit->SetBounds(11, 12, 133, 24);
  ShowForm();
  edit->SetText("kept text");
  edit->SetEnabled(false);
  HWND before = edit->GetHandle();
  edit->RecreateWnd();
  HWND after = edit->GetHandle();
  EXPECT_NE(before, after);
  EXPECT_FALSE(IsWindow(before));
  EXPECT_EQ(edit->GetText(), "kept text");
  char text[32] = {};
  GetWindowTextA(after, text, sizeof text);
  EXPECT_STREQ(text, "kept text");
  RECT r{};
  GetWindowRect(after, &r);
  MapWindowPoints(nullptr, Form->GetHandle(), reinterpret_cast<POINT*>(&r), 2);
  EXPECT_EQ(r.left, 11);
  EXPECT_EQ(r.top, 12);
  EXPECT_EQ(r.right - r.left, 133);
  EXPECT_FALSE(IsWindowEnabled(after));
  EXPECT_TRUE(IsWindowVisible(after));
  EXPECT_EQ(FindControl(before), nullptr);
}

TEST_F(ControlsTest, AWindowDestroyedByOthersIsMadeAgainOnDemand) {
  auto* edit = new TTestEdit(Form);
  edit->SetParent(Form);
  edit->SetText("survives");
  HWND first = edit->GetHandle();
  DestroyWindow(first);  // as DefWindowProc does for a WM_CLOSE
  EXPECT_FALSE(edit->HandleAllocated());
  EXPECT_EQ(FindControl(first), nullptr);
  EXPECT_EQ(edit->GetText(), "survives");  // saved when the window went
  HWND second = edit->GetHandle();
  EXPECT_TRUE(IsWindow(second));
  char text[16] = {};
  GetWindowTextA(second, text, sizeof text);
  EXPECT_STREQ(text, "survives");
  edit->SetText("again");
  EXPECT_EQ(edit->GetText(), "again");
}

TEST_F(ControlsTest, AnExceptionInAWindowProcedureReachesOnExceptionAndTheLoopGoesOn) {
  auto* control = new TTraceControl(Form);
  control->SetParent(Form);
  PostMessageA(control->GetHandle(), kThrow, 0, 0);
  PostMessageA(control->GetHandle(), kProbe, 0, 0);
  gTrace.clear();
  Application->ProcessMessages();
  ASSERT_EQ(Exceptions.Messages.size(), 1u);
  EXPECT_EQ(Exceptions.Messages[0], "raised by the control");
  EXPECT_EQ(Exceptions.Senders[0], control);
  EXPECT_EQ(gTrace, (std::vector<std::string>{"base wndproc", "base probe"}));
  // Sent messages are contained the same way.
  EXPECT_EQ(SendMessageA(control->GetHandle(), kThrow, 0, 0), 0);
  EXPECT_EQ(Exceptions.Messages.size(), 2u);
}

// A windowless child that paints a colour over more than its own area and records the
// mouse messages it gets.
class TPaintedGraphic : public TGraphicControl {
  KIVO_CLASS(TPaintedGraphic, TGraphicControl)
 public:
  explicit TPaintedGraphic(TComponent* AOwner) : TGraphicControl(AOwner) {}
  TColor Fill = clBlue;
  std::vector<std::string> Mouse;

 protected:
  void Paint() override {
    GetCanvas()->GetBrush()->SetColor(Fill);
    GetCanvas()->FillRect(Rect(-50, -50, 500, 500));  // clipped to the control
    GetCanvas()->GetBrush()->SetColor(clRed);
    GetCanvas()->FillRect(Rect(0, 0, 1, 1));  // its own top-left pixel
  }
  void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override {
    Mouse.push_back("down " + std::to_string(x) + "," + std::to_string(y) +
                    (shift.Contains(ssDouble) ? " double" : ""));
    inherited::MouseDown(button, shift, x, y);
  }
  void MouseMove(TShiftState, int x, int y) override {
    Mouse.push_back("move " + std::to_string(x) + "," + std::to_string(y));
  }
  void MouseUp(TMouseButton, TShiftState, int x, int y) override {
    Mouse.push_back("up " + std::to_string(x) + "," + std::to_string(y));
  }
  void Click() override { Mouse.push_back("click"); }
};

// A windowed parent that paints itself green.
class TGreenPanel : public TCustomControl {
  KIVO_CLASS(TGreenPanel, TCustomControl)
 public:
  explicit TGreenPanel(TComponent* AOwner) : TCustomControl(AOwner) {
    SetControlStyle(GetControlStyle() + TControlStyle{csAcceptsControls});
  }

 protected:
  void Paint() override {
    GetCanvas()->GetBrush()->SetColor(clLime);
    GetCanvas()->FillRect(GetClientRect());
  }
};

TEST_F(ControlsTest, AWindowlessChildIsPaintedInsideItsParentWithItsOriginAndClipping) {
  auto* panel = new TGreenPanel(Form);
  panel->SetParent(Form);
  panel->SetBounds(0, 0, 60, 40);
  auto* child = new TPaintedGraphic(Form);
  child->SetParent(panel);
  child->SetBounds(10, 5, 20, 15);
  TDibSurface surface(80, 60);
  surface.Fill(RGB(0, 0, 0));
  panel->PaintTo(surface.DC(), 3, 4);
  // Parent at (3, 4); child at parent + (10, 5) = (13, 9), 20 x 15.
  EXPECT_EQ(surface.Color(3, 4), RGB(0, 255, 0));
  EXPECT_EQ(surface.Color(13, 9), RGB(255, 0, 0));   // the child's own (0, 0)
  EXPECT_EQ(surface.Color(14, 9), RGB(0, 0, 255));
  EXPECT_EQ(surface.Color(32, 23), RGB(0, 0, 255));  // its last pixel
  EXPECT_EQ(surface.Color(33, 23), RGB(0, 255, 0));  // clipped beyond it
  EXPECT_EQ(surface.Color(32, 24), RGB(0, 255, 0));
  EXPECT_EQ(surface.Color(12, 9), RGB(0, 255, 0));
  EXPECT_EQ(surface.Color(62, 43), RGB(0, 255, 0));  // the parent's last pixel
  EXPECT_EQ(surface.Color(63, 44), RGB(0, 0, 0));    // outside the parent
  child->SetVisible(false);
  surface.Fill(RGB(0, 0, 0));
  panel->PaintTo(surface.DC(), 0, 0);
  EXPECT_EQ(surface.Color(15, 10), RGB(0, 255, 0));
}

TEST_F(ControlsTest, AWindowlessChildGetsMouseMessagesInItsOwnCoordinatesWithCapture) {
  auto* panel = new TGreenPanel(Form);
  panel->SetParent(Form);
  panel->SetBounds(0, 0, 100, 80);
  auto* child = new TPaintedGraphic(Form);
  child->SetParent(panel);
  child->SetBounds(10, 20, 30, 30);
  ShowForm();
  HWND wnd = panel->GetHandle();
  SendMessageA(wnd, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(15, 27));
  EXPECT_EQ(GetCaptureControl(), child);  // csCaptureMouse: held from press to release
  EXPECT_EQ(GetCapture(), wnd);
  SendMessageA(wnd, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(90, 70));  // outside, still the child's
  SendMessageA(wnd, WM_LBUTTONUP, 0, MAKELPARAM(90, 70));
  EXPECT_EQ(GetCapture(), nullptr);
  SendMessageA(wnd, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(11, 21));
  SendMessageA(wnd, WM_LBUTTONUP, 0, MAKELPARAM(12, 22));
  SendMessageA(wnd, WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(12, 22));
  SendMessageA(wnd, WM_LBUTTONUP, 0, MAKELPARAM(12, 22));
  SendMessageA(wnd, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));  // the panel's own area
  SendMessageA(wnd, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
  EXPECT_EQ(child->Mouse, (std::vector<std::string>{"down 5,7", "move 80,50", "up 80,50", "down 1,1",
                                                    "click", "up 2,2", "down 2,2 double", "up 2,2"}));
}

// Records mouse enter and leave.
template <class Base>
class TEnterLeave : public Base {
 public:
  explicit TEnterLeave(TComponent* AOwner) : Base(AOwner) {}
  std::vector<std::string>* Log = nullptr;
  std::string Tag;
  void Dispatch(TMessage& message) override {
    if (message.Msg == CM_MOUSEENTER)
      Log->push_back("enter " + Tag);
    if (message.Msg == CM_MOUSELEAVE)
      Log->push_back("leave " + Tag);
    Base::Dispatch(message);
  }
};

TEST_F(ControlsTest, MouseEnterAndLeaveFollowTheRealMouseOverWindowedAndWindowlessControls) {
  std::vector<std::string> log;
  auto* graphic = new TEnterLeave<TPaintedGraphic>(Form);
  graphic->Log = &log;
  graphic->Tag = "graphic";
  graphic->SetParent(Form);
  graphic->SetBounds(10, 10, 40, 40);
  auto* windowed = new TEnterLeave<TGreenPanel>(Form);
  windowed->Log = &log;
  windowed->Tag = "windowed";
  windowed->SetParent(Form);
  windowed->SetBounds(100, 10, 40, 40);
  ShowForm();
  auto moveTo = [&](TControl* control, int x, int y) {
    const TPoint p = control->ClientToScreen(Point(x, y));
    SetCursorPos(p.x, p.y);
  };
  moveTo(graphic, 20, 20);
  EXPECT_TRUE(PumpUntil([&] { return GetMouseControl() == graphic; }, 10000));
  moveTo(windowed, 20, 20);
  EXPECT_TRUE(PumpUntil([&] { return GetMouseControl() == windowed; }, 10000));
  ASSERT_GE(log.size(), 3u);
  EXPECT_EQ(std::vector<std::string>(log.begin(), log.begin() + 3),
            (std::vector<std::string>{"enter graphic", "leave graphic", "enter windowed"}));
  moveTo(Form, 70, 120);
  EXPECT_TRUE(PumpUntil([&] { return GetMouseControl() == Form; }, 10000));
  // Off every window of this program (an earlier test's hint or popup may still stand
  // in a corner). The pointer is nudged while waiting, and the wait runs the
  // application's own loop: Wine may deliver a stale move inside the form after the
  // warp, and then the idle step's look at the cursor is what ends it, as in a program.
  TPoint outside = Point(5, 5);
  for (const TPoint& corner : {Point(5, 5), Point(1270, 1010), Point(1270, 5), Point(5, 1010)}) {
    DWORD process = 0;
    GetWindowThreadProcessId(WindowFromPoint({corner.x, corner.y}), &process);
    if (process != GetCurrentProcessId()) {
      outside = corner;
      break;
    }
  }
  int nudge = 0;
  Application->OnIdle = TIdleEvent::FromFunction([](void*, TObject*, bool& done) { done = false; });
  EXPECT_TRUE(PumpUntil(
      [&] {
        SetCursorPos(outside.x + (++nudge & 1), outside.y);
        Application->HandleMessage();
        return GetMouseControl() == nullptr;
      },
      10000))
      << "still under the mouse: "
      << (GetMouseControl() ? GetMouseControl()->ClassName() : "nothing, at last");
  Application->OnIdle = nullptr;
  PumpUntil([] { return false; }, 100);
  // Wine may report an old pointer position once more after a warp, so a control can
  // be entered again; every enter is still followed by exactly one leave.
  for (const std::string tag : {"graphic", "windowed"}) {
    std::string expected = "enter " + tag;
    for (const std::string& entry : log) {
      if (entry.find(tag) == std::string::npos)
        continue;
      EXPECT_EQ(entry, expected);
      expected = (expected[0] == 'e' ? "leave " : "enter ") + tag;
    }
    EXPECT_EQ(expected, "enter " + tag) << tag << " was left entered";
  }
}

TEST_F(ControlsTest, ParentFontAndColourFlowToChildrenThatFollowTheirParent) {
  auto* follower = new TTraceControl(Form);
  auto* own = new TTraceControl(Form);
  follower->SetParent(Form);
  own->SetParent(Form);
  own->GetFont()->SetName("Arial");
  own->SetColor(clRed);
  EXPECT_FALSE(own->GetParentFont());
  EXPECT_EQ(follower->GetColor(), clBtnFace);  // took the form's colour when inserted
  Form->GetFont()->SetHeight(-20);
  Form->SetColor(clYellow);
  EXPECT_EQ(follower->GetFont()->GetHeight(), -20);
  EXPECT_EQ(follower->GetColor(), clYellow);
  EXPECT_TRUE(follower->GetParentFont());
  EXPECT_NE(own->GetFont()->GetHeight(), -20);
  EXPECT_EQ(own->GetColor(), clRed);
  // The brush keeps in step with the colour.
  LOGBRUSH lb{};
  GetObjectA(follower->GetBrush()->GetHandle(), sizeof lb, &lb);
  EXPECT_EQ(lb.lbColor, 0x00FFFFu);
}

TEST_F(ControlsTest, AlignAndAnchorsPlaceChildrenInTheClientArea) {
  auto* panel = new TGreenPanel(Form);
  panel->SetParent(Form);
  panel->SetBounds(0, 0, 200, 100);
  auto* top = new TTraceControl(Form);
  top->SetParent(panel);
  top->SetHeight(10);
  top->SetAlign(alTop);
  auto* left = new TTraceControl(Form);
  left->SetParent(panel);
  left->SetWidth(30);
  left->SetAlign(alLeft);
  auto* client = new TTraceControl(Form);
  client->SetParent(panel);
  client->SetAlign(alClient);
  auto* anchored = new TPaintedGraphic(Form);
  anchored->SetParent(panel);
  anchored->SetBounds(150, 80, 20, 10);
  anchored->SetAnchors({akRight, akBottom});
  panel->HandleNeeded();
  panel->Realign();
  EXPECT_EQ(top->GetBoundsRect(), Rect(0, 0, 200, 10));
  EXPECT_EQ(left->GetBoundsRect(), Rect(0, 10, 30, 100));
  EXPECT_EQ(client->GetBoundsRect(), Rect(30, 10, 200, 100));
  panel->SetBounds(0, 0, 250, 130);
  EXPECT_EQ(client->GetBoundsRect(), Rect(30, 10, 250, 130));
  EXPECT_EQ(anchored->GetBoundsRect(), Rect(200, 110, 220, 120));
}

TEST_F(ControlsTest, NotificationsOfChildWindowsAreReflectedToTheirControlByHandle) {
  auto* button = new TTestButton(Form);
  button->SetParent(Form);
  ShowForm();
  SendMessageA(button->GetHandle(), BM_CLICK, 0, 0);
  EXPECT_EQ(button->Clicks, 1);  // BN_CLICKED came back as CN_COMMAND

  // An owner-drawn list box moved to the desktop still gets its measure requests:
  // the list box asks its original owner, which finds it by id.
  class TMeasuredList : public TWinControl {
   public:
    explicit TMeasuredList(TComponent* owner) : TWinControl(owner) { SetBounds(0, 0, 50, 50); }
    int Measured = 0;
    void Dispatch(TMessage& message) override {
      if (message.Msg == CN_MEASUREITEM) {
        ++Measured;
        MessageAs<TWMMeasureItem>(message).MeasureItemStruct->itemHeight = 17;
        message.Result = 1;
        return;
      }
      TWinControl::Dispatch(message);
    }

   protected:
    void CreateParams(TCreateParams& params) override {
      TWinControl::CreateParams(params);
      CreateSubClass(params, "LISTBOX");
      params.Style |= LBS_OWNERDRAWVARIABLE | LBS_HASSTRINGS;
    }
  };
  auto* list = new TMeasuredList(Form);
  list->SetParent(Form);
  HWND wnd = list->GetHandle();
  ::SetParent(wnd, nullptr);
  SendMessageA(wnd, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>("item"));
  EXPECT_EQ(list->Measured, 1);
  EXPECT_EQ(SendMessageA(wnd, LB_GETITEMHEIGHT, 0, 0), 17);
}

TEST_F(ControlsTest, InsertControlGoesThroughTheReplaceableRoutineAndTellsTheParentChain) {
  static std::vector<std::string> log;
  log.clear();
  class TListening : public TGreenPanel {
   public:
    using TGreenPanel::TGreenPanel;
    void Dispatch(TMessage& message) override {
      if (message.Msg == CM_CONTROLLISTCHANGE)
        log.push_back(std::string(message.LParam ? "inserted " : "removed ") +
                      reinterpret_cast<TControl*>(message.WParam)->ClassName());
      TGreenPanel::Dispatch(message);
    }
  };
  auto* outer = new TListening(Form);
  outer->SetParent(Form);
  auto* inner = new TGreenPanel(Form);
  inner->SetParent(outer);
  const TInsertControlProc previous = InsertControlProc;
  InsertControlProc = [](TWinControl* parent, TControl* control) {
    InsertControlOriginal(parent, control);
    log.push_back(std::string("hook saw parent ") + control->GetParent()->ClassName());
  };
  auto* leaf = new TPaintedGraphic(Form);
  leaf->SetParent(inner);
  InsertControlProc = previous;
  leaf->SetParent(nullptr);
  delete leaf;
  EXPECT_EQ(log, (std::vector<std::string>{"inserted TGreenPanel", "inserted TPaintedGraphic",
                                           "hook saw parent TGreenPanel", "removed TPaintedGraphic"}));
}

// A custom control drawing a frame, a filled box and an ellipse with its canvas.
class TDrawnControl : public TCustomControl {
  KIVO_CLASS(TDrawnControl, TCustomControl)
 public:
  explicit TDrawnControl(TComponent* AOwner) : TCustomControl(AOwner) { SetBounds(0, 0, 40, 30); }

 protected:
  void Paint() override {
    TCanvas* c = GetCanvas();
    c->GetBrush()->SetColor(TColor(RGB(10, 20, 30)));
    c->FillRect(GetClientRect());
    c->GetBrush()->SetColor(TColor(RGB(200, 0, 0)));
    c->FrameRect(Rect(2, 2, 38, 28));
    c->GetPen()->SetColor(TColor(RGB(0, 0, 200)));
    c->GetBrush()->SetColor(TColor(RGB(0, 200, 0)));
    c->Rectangle(10, 10, 20, 20);
  }
};

TEST_F(ControlsTest, ACustomControlRendersIntoAMemoryDibThroughPaintWithADC) {
  auto* control = new TDrawnControl(Form);
  control->SetParent(Form);
  control->SetColor(TColor(RGB(90, 90, 90)));
  TDibSurface surface(50, 40);
  surface.Fill(RGB(255, 255, 255));
  // WM_ERASEBKGND fills the client rectangle with the brush in logical coordinates.
  SetWindowOrgEx(surface.DC(), -3, -2, nullptr);
  control->Perform(WM_ERASEBKGND, reinterpret_cast<WPARAM>(surface.DC()));
  SetWindowOrgEx(surface.DC(), 0, 0, nullptr);
  EXPECT_EQ(surface.Color(2, 1), RGB(255, 255, 255));
  EXPECT_EQ(surface.Color(3, 2), RGB(90, 90, 90));
  EXPECT_EQ(surface.Color(42, 31), RGB(90, 90, 90));
  EXPECT_EQ(surface.Color(43, 32), RGB(255, 255, 255));
  // WM_PAINT with a DC paints into that DC.
  control->Perform(WM_PAINT, reinterpret_cast<WPARAM>(surface.DC()));
  EXPECT_EQ(surface.Color(0, 0), RGB(10, 20, 30));
  EXPECT_EQ(surface.Color(2, 2), RGB(200, 0, 0));    // frame corner
  EXPECT_EQ(surface.Color(37, 27), RGB(200, 0, 0));  // frame's last pixel
  EXPECT_EQ(surface.Color(3, 3), RGB(10, 20, 30));   // inside the frame
  EXPECT_EQ(surface.Color(10, 10), RGB(0, 0, 200));  // rectangle outline: the pen
  EXPECT_EQ(surface.Color(19, 19), RGB(0, 0, 200));
  EXPECT_EQ(surface.Color(15, 15), RGB(0, 200, 0));  // its inside: the brush
  EXPECT_EQ(surface.Color(20, 20), RGB(10, 20, 30));
  EXPECT_EQ(surface.Color(45, 35), RGB(255, 255, 255));
}

TEST_F(ControlsTest, DialogCharsReachAcceleratorsAndFocusChangesAreBroadcast) {
  static std::vector<std::string> log;
  log.clear();
  class TAccelButton : public TTestButton {
   public:
    using TTestButton::TTestButton;
    void Dispatch(TMessage& message) override {
      if (message.Msg == CM_DIALOGCHAR && IsAccel(MessageAs<TCMDialogChar>(message).CharCode, GetCaption())) {
        log.push_back("accel " + GetCaption());
        message.Result = 1;
        return;
      }
      if (message.Msg == CM_FOCUSCHANGED)
        log.push_back(std::string("focus changed to ") +
                      (MessageAs<TCMFocusChanged>(message).Sender == this ? "me" : "other"));
      TTestButton::Dispatch(message);
    }
  };
  auto* edit = new TTestEdit(Form);
  edit->SetParent(Form);
  auto* button = new TAccelButton(Form);
  button->SetParent(Form);
  button->SetCaption("&Go");
  ShowForm();
  edit->SetFocus();
  // Alt+G: WM_SYSCHAR reflected as CN_SYSCHAR, then CM_DIALOGCHAR to the form's controls.
  PostMessageA(edit->GetHandle(), WM_SYSCHAR, 'g', LPARAM(0x20000001));
  Application->ProcessMessages();
  button->SetFocus();
  EXPECT_EQ(log, (std::vector<std::string>{"focus changed to other", "accel &Go", "focus changed to me"}));
  EXPECT_TRUE(IsAccel('G', "&Go"));
  EXPECT_FALSE(IsAccel('G', "&&Go"));
}

// The caption as it shows, which the automation finds controls by and the blob popup
// measures its buttons with.
TEST(WithoutAccelTest, RemovesTheMarksAndKeepsADoubledOrTrailingAmpersand) {
  EXPECT_EQ(WithoutAccel("&Go"), "Go");
  EXPECT_EQ(WithoutAccel("Save &As"), "Save As");
  EXPECT_EQ(WithoutAccel("Fish && &Chips"), "Fish & Chips");
  EXPECT_EQ(WithoutAccel("&&&x"), "&x");
  EXPECT_EQ(WithoutAccel("End&"), "End&");
  EXPECT_EQ(WithoutAccel(""), "");
}

TEST_F(ControlsTest, AControlThatWantsTabKeepsItInsteadOfMovingTheFocus) {
  class TTabEdit : public TTestEdit {
   public:
    using TTestEdit::TTestEdit;
    int Tabs = 0;
    void Dispatch(TMessage& message) override {
      if (message.Msg == WM_GETDLGCODE) {
        message.Result = DLGC_WANTTAB;
        return;
      }
      if (message.Msg == WM_KEYDOWN && message.WParam == VK_TAB)
        ++Tabs;
      TTestEdit::Dispatch(message);
    }
  };
  auto* grid = new TTabEdit(Form);
  grid->SetParent(Form);
  auto* other = new TTestEdit(Form);
  other->SetParent(Form);
  ShowForm();
  grid->SetFocus();
  PostMessageA(grid->GetHandle(), WM_KEYDOWN, VK_TAB, 1);
  Application->ProcessMessages();
  EXPECT_TRUE(grid->Focused());
  EXPECT_EQ(grid->Tabs, 1);
}

// Fault: a control's font, size constraints and (windowed) brush were held by raw
// pointers, so an allocation failing later in its construction left them allocated.
TEST(ControlConstruction, AnAllocationFailingOnTheWayLeavesNothingAllocated) {
  EXPECT_GT(CountAllocationsFailingEachOnce([] { return new TGraphicControl(nullptr); }, /*runs=*/200), 2);
  EXPECT_GT(CountAllocationsFailingEachOnce([] { return new TCustomControl(nullptr); }, /*runs=*/200), 3);
  // Fault: a list box held its strings and its canvas by raw pointers, so the canvas
  // failing to be made left the strings allocated.
  EXPECT_GT(CountAllocationsFailingEachOnce([] { return new TListBox(nullptr); }, /*runs=*/200), 4);
}

}  // namespace
