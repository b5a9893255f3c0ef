// The host-styled message box: button sets with their default and cancel buttons, the
// icon by type, the layout in dialog units of the message font, "&" shown as written,
// wrapping at half the screen width, and the error box as the command launcher's
// report. Modal boxes are answered by the class library's UI automation.
#include <gtest/gtest.h>

#include <cstddef>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "classlib/Automation.h"
#include "classlib/Boundary.h"
#include "classlib/ExtCtrls.h"
#include "classlib/StdCtrls.h"
#include "host/CommandLauncher.h"
#include "host/EDAClientMessageForm.h"
#include "standin/host/StandinHost.h"
#include "tests/controls/ControlsTestSupport.h"
#include "tests/support/MemoryRecorder.h"

namespace {

// What the layout rule gives for a font: average character size from the 52 letters.
SIZE AverageChar(TFont* font) {
  HDC dc = GetDC(nullptr);
  HGDIOBJ old = SelectObject(dc, font->GetHandle());
  SIZE size{};
  GetTextExtentPoint32A(dc, "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz", 52, &size);
  SelectObject(dc, old);
  ReleaseDC(nullptr, dc);
  return SIZE{size.cx / 52, size.cy};
}

RECT MeasureText(TFont* font, const std::string& text) {
  HDC dc = GetDC(nullptr);
  HGDIOBJ old = SelectObject(dc, font->GetHandle());
  RECT r{0, 0, GetSystemMetrics(SM_CXSCREEN) / 2, 0};
  DrawTextA(dc, text.c_str(), int(text.size()), &r, DT_CALCRECT | DT_WORDBREAK | DT_EXPANDTABS);
  SelectObject(dc, old);
  ReleaseDC(nullptr, dc);
  return r;
}

using TModalInspector = TShownFormInspector<TEDAClientMessageForm>;

TButton* ButtonOf(TCustomForm* form, const char* name) { return ObjectAs<TButton>(form->FindComponent(name)); }

class MessageBoxTest : public testing::Test {
 protected:
  void SetUp() override { SetActiveWindow(standin::MainWindowHandle()); }
  void TearDown() override { PumpPending(); }
  TExceptionRecorder Exceptions;
};

struct TButtonSetCase {
  TMsgDlgButtons Buttons;
  std::vector<const char*> Names;  // in the row's order
  const char* Default;             // null: no button is the default
  const char* Cancel;              // null: no button cancels
};

TEST_F(MessageBoxTest, EachButtonSetGetsItsDefaultAndCancelButtons) {
  const TButtonSetCase cases[] = {
      {{mbOK}, {"OK"}, "OK", "OK"},
      {{mbOK, mbCancel}, {"OK", "Cancel"}, "OK", "Cancel"},
      {{mbYes, mbNo}, {"Yes", "No"}, "Yes", "No"},
      {{mbYes, mbNo, mbCancel}, {"Yes", "No", "Cancel"}, "Yes", "Cancel"},
      {{mbAbort, mbRetry, mbIgnore}, {"Abort", "Retry", "Ignore"}, "Retry", nullptr},
      {{mbRetry, mbCancel}, {"Cancel", "Retry"}, "Retry", "Cancel"},
      {{mbYes, mbNo, mbYesToAll, mbNoToAll, mbAll, mbHelp},
       {"Yes", "No", "All", "NoToAll", "YesToAll", "Help"}, "Yes", "No"},
  };
  for (const TButtonSetCase& c : cases) {
    std::unique_ptr<TEDAClientMessageForm> form(BuildHostMessageForm("Text", mtConfirmation, c.Buttons));
    const SIZE ch = AverageChar(form->GetFont());
    const int width = MulDiv(50, ch.cx, 4), spacing = MulDiv(4, ch.cx, 4);
    const int row = int(c.Names.size()) * width + int(c.Names.size() - 1) * spacing;
    int x = (form->GetClientWidth() - row) / 2;
    int buttons = 0;
    for (int i = 0; i < form->GetComponentCount(); ++i)
      buttons += form->GetComponent(i)->Is<TButton>() ? 1 : 0;
    EXPECT_EQ(buttons, int(c.Names.size()));
    for (const char* name : c.Names) {
      TButton* button = ButtonOf(form.get(), name);
      ASSERT_NE(button, nullptr) << name;
      EXPECT_EQ(button->GetLeft(), x) << name;
      EXPECT_EQ(button->GetDefault(), c.Default && std::string(name) == c.Default) << name;
      EXPECT_EQ(button->GetCancel(), c.Cancel && std::string(name) == c.Cancel) << name;
      x += width + spacing;
    }
  }
}

TEST_F(MessageBoxTest, ButtonsCarryTheirCaptionsAndModalResults) {
  std::unique_ptr<TEDAClientMessageForm> form(
      BuildHostMessageForm("Text", mtCustom, {mbYes, mbNo, mbOK, mbCancel, mbAbort, mbRetry, mbIgnore}));
  const struct {
    const char* Name;
    const char* Caption;
    int Result;
  } expected[] = {{"Yes", "&Yes", mrYes},       {"No", "&No", mrNo},          {"OK", "OK", mrOk},
                  {"Cancel", "Cancel", mrCancel}, {"Abort", "&Abort", mrAbort}, {"Retry", "&Retry", mrRetry},
                  {"Ignore", "&Ignore", mrIgnore}};
  for (const auto& e : expected) {
    TButton* button = ButtonOf(form.get(), e.Name);
    ASSERT_NE(button, nullptr) << e.Name;
    EXPECT_EQ(button->GetCaption(), e.Caption);
    EXPECT_EQ(button->GetModalResult(), e.Result);
  }
}

// Draws `icon` 32 x 32 on white and answers the pixels.
std::vector<COLORREF> IconPixels(HICON icon) {
  TDibSurface surface(32, 32);
  surface.Fill(RGB(255, 255, 255));
  DrawIconEx(surface.DC(), 0, 0, icon, 32, 32, 0, nullptr, DI_NORMAL);
  std::vector<COLORREF> pixels;
  for (int y = 0; y < 32; ++y)
    for (int x = 0; x < 32; ++x)
      pixels.push_back(surface.Color(x, y));
  return pixels;
}

TEST_F(MessageBoxTest, TheIconFollowsTheTypeAndTheTextStartsRightOfIt) {
  const LPCSTR stock[] = {IDI_EXCLAMATION, IDI_HAND, IDI_ASTERISK, IDI_QUESTION};
  for (int type = mtWarning; type <= mtConfirmation; ++type) {
    std::unique_ptr<TEDAClientMessageForm> form(BuildHostMessageForm("Text", TMsgDlgType(type), {mbOK}));
    auto* image = ObjectAs<TImage>(form->FindComponent("Image"));
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(image->GetBoundsRect(), Bounds(MulDiv(8, AverageChar(form->GetFont()).cx, 4),
                                              MulDiv(8, AverageChar(form->GetFont()).cy, 8), 32, 32));
    EXPECT_EQ(IconPixels(image->GetPicture()->GetIcon()->GetHandle()), IconPixels(LoadIconA(nullptr, stock[type])))
        << "type " << type;
  }
  std::unique_ptr<TEDAClientMessageForm> error(BuildHostMessageForm("Text", mtError, {mbOK}));
  std::unique_ptr<TEDAClientMessageForm> custom(BuildHostMessageForm("Text", mtCustom, {mbOK}));
  EXPECT_EQ(custom->FindComponent("Image"), nullptr);
  const SIZE ch = AverageChar(error->GetFont());
  const int margin = MulDiv(8, ch.cx, 4), spacing = MulDiv(10, ch.cx, 4);
  EXPECT_EQ(ObjectAs<TLabel>(error->FindComponent("Message"))->GetLeft(), margin + 32 + spacing);
  EXPECT_EQ(ObjectAs<TLabel>(custom->FindComponent("Message"))->GetLeft(), margin);
}

TEST_F(MessageBoxTest, TheBoxIsWrittenInTheSystemsMessageFont) {
  NONCLIENTMETRICSA metrics{};
  metrics.cbSize = offsetof(NONCLIENTMETRICSA, iPaddedBorderWidth);
  ASSERT_TRUE(SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, metrics.cbSize, &metrics, 0));
  TEDAClientMessageForm form(nullptr);
  EXPECT_EQ(form.GetFont()->GetName(), metrics.lfMessageFont.lfFaceName);
  EXPECT_EQ(form.GetFont()->GetHeight(), metrics.lfMessageFont.lfHeight);
}

TEST_F(MessageBoxTest, AVeryLongLineWrapsAtHalfTheScreenWidth) {
  std::string text;
  for (int i = 0; i < 200; ++i)
    text += "word ";
  std::unique_ptr<TEDAClientMessageForm> form(BuildHostMessageForm(text, mtCustom, {mbOK}));
  const RECT measured = MeasureText(form->GetFont(), text);
  auto* label = ObjectAs<TLabel>(form->FindComponent("Message"));
  EXPECT_EQ(label->GetWidth(), measured.right);
  EXPECT_EQ(label->GetHeight(), measured.bottom);
  EXPECT_LE(label->GetWidth(), GetSystemMetrics(SM_CXSCREEN) / 2);
  EXPECT_GT(label->GetHeight(), AverageChar(form->GetFont()).cy);  // more than one line
  EXPECT_TRUE(label->GetWordWrap());
  const SIZE ch = AverageChar(form->GetFont());
  EXPECT_EQ(form->GetClientWidth(), measured.right + 2 * MulDiv(8, ch.cx, 4));
  EXPECT_EQ(form->GetClientHeight(),
            measured.bottom + MulDiv(14, ch.cy, 8) + MulDiv(10, ch.cy, 8) + 2 * MulDiv(8, ch.cy, 8));
}

// Two monitors; the active window is on the second.
class TSecondMonitor : public TMonitorProvider {
 public:
  HMONITOR FromWindow(HWND, DWORD) override { return reinterpret_cast<HMONITOR>(0x2002); }
  bool GetInfo(HMONITOR monitor, MONITORINFO& info) override {
    if (monitor != reinterpret_cast<HMONITOR>(0x2002))
      return false;
    info.rcMonitor = RECT{1024, 0, 2304, 1024};
    info.rcWork = info.rcMonitor;
    return true;
  }
};

TEST_F(MessageBoxTest, TheErrorBoxShowsTheTextAsWrittenCentredOnTheActiveMonitor) {
  TSecondMonitor monitors;
  TMonitorProvider* previous = SetMonitorProvider(&monitors);
  std::string caption, labelText;
  HWND owner = nullptr;
  TRect bounds{};
  int expectedLeft = 0;
  TModalInspector inspector([&](TEDAClientMessageForm* form) {
    caption = form->GetCaption();
    labelText = ObjectAs<TLabel>(form->FindComponent("Message"))->GetCaption();
    owner = GetWindow(form->GetHandle(), GW_OWNER);
    bounds = form->GetBoundsRect();
    expectedLeft = (1024 + 2304 - form->GetWidth()) / 2;
  });
  TUIAutomation automation;
  automation.ClickButton("Vantor Suite Error", "OK");
  ShowErrorBox("Fish & Chips");
  SetMonitorProvider(previous);
  EXPECT_TRUE(automation.GetDone()) << automation.GetFailure();
  ASSERT_TRUE(inspector.Inspected);
  EXPECT_EQ(caption, "Vantor Suite Error");
  EXPECT_EQ(labelText, "Fish && Chips");  // drawn as "Fish & Chips"
  EXPECT_EQ(owner, standin::MainWindowHandle());
  EXPECT_EQ(bounds.left, expectedLeft);
  EXPECT_TRUE(Exceptions.Messages.empty());
}

TEST_F(MessageBoxTest, ShowHostMessageBoxAnswersTheClickedButton) {
  TUIAutomation automation;
  automation.ClickButton("Question", "No");
  EXPECT_EQ(ShowHostMessageBox("Go on?", "Question", mtConfirmation, {mbYes, mbNo}), mrNo);
  EXPECT_TRUE(automation.GetDone()) << automation.GetFailure();
  automation.PressKey("Question", VK_ESCAPE);
  EXPECT_EQ(ShowHostMessageBox("Go on?", "Question", mtConfirmation, {mbYes, mbNo}), mrNo);
  automation.PressKey("Question", VK_RETURN);
  EXPECT_EQ(ShowHostMessageBox("Go on?", "Question", mtConfirmation, {mbYes, mbNo}), mrYes);
  EXPECT_TRUE(automation.GetDone()) << automation.GetFailure();
}

int32_t RunFailing(IUnknown*, const char*) { throw Exception("Board is locked"); }

TEST_F(MessageBoxTest, AFailedCommandIsReportedInTheErrorBox) {
  InitializeErrorBox();
  TCommandLauncher launcher;
  RegisterCommand(launcher, "Fails", RunFailing, nullptr);
  std::string shown;
  TModalInspector inspector([&](TEDAClientMessageForm* form) {
    shown = ObjectAs<TLabel>(form->FindComponent("Message"))->GetCaption();
  });
  TUIAutomation automation;
  automation.ClickButton("Vantor Suite Error", "OK");
  ICommandLauncherIntf* intf = &launcher;  // as the host calls it
  EXPECT_EQ(intf->LaunchCommand("Fails", "", 0, nullptr), 0);
  FinalizeErrorBox();
  EXPECT_TRUE(automation.GetDone()) << automation.GetFailure();
  EXPECT_EQ(shown, "Board is locked");
}

// Fault: an exception stopped at a boundary while the plug-in ran went to a plain
// task-modal system box, which the host neither styles nor sees (it hung the host's
// release of the module); it goes to the host-styled error box, owned by the host's
// main window, and after shut-down to the handler in force before.
TEST_F(MessageBoxTest, AnExceptionStoppedAtABoundaryGoesToTheErrorBox) {
  InitializeErrorBox();
  std::string shown;
  HWND owner = nullptr;
  TModalInspector inspector([&](TEDAClientMessageForm* form) {
    shown = ObjectAs<TLabel>(form->FindComponent("Message"))->GetCaption();
    owner = GetWindow(form->GetHandle(), GW_OWNER);
  });
  TUIAutomation automation;
  automation.ClickButton("Vantor Suite Error", "OK");
  GuardBoundary("a window procedure", [] { throw Exception("Could not save the list"); });
  FinalizeErrorBox();
  EXPECT_TRUE(automation.GetDone()) << automation.GetFailure();
  EXPECT_EQ(shown, "Could not save the list");
  EXPECT_EQ(owner, standin::MainWindowHandle());
  EXPECT_TRUE(Exceptions.Messages.empty());
  GuardBoundary("after shut-down", [] { throw Exception("recorded"); });
  EXPECT_EQ(Exceptions.Messages, std::vector<std::string>{"recorded"});
}

// Answers the system's message box of one caption with its default button and keeps its
// text, allocating nothing: the box may be up while every allocation fails.
class TSystemBoxAnswer {
 public:
  explicit TSystemBoxAnswer(const char* caption) : FCaption(caption) {
    gAnswer = this;
    FTimer = SetTimer(nullptr, 0, 20, &TimerProc);
  }
  ~TSystemBoxAnswer() {
    KillTimer(nullptr, FTimer);
    gAnswer = nullptr;
  }
  const char* Text() const { return FText; }

 private:
  static void CALLBACK TimerProc(HWND, UINT, UINT_PTR, DWORD) {
    HWND box = FindWindowA("#32770", gAnswer->FCaption);
    if (!box || gAnswer->FText[0])
      return;
    GetDlgItemTextA(box, 0xFFFF, gAnswer->FText, sizeof gAnswer->FText);
    PostMessageA(box, WM_COMMAND, IDOK, 0);
  }
  static inline TSystemBoxAnswer* gAnswer = nullptr;
  const char* FCaption;
  char FText[512] = "";
  UINT_PTR FTimer = 0;
};

// Fault: an error box that could not be built (the process's memory used up) told the
// user nothing: its failure went to the boundaries above, whose report is this same box.
TEST_F(MessageBoxTest, AnErrorBoxThatCannotBeBuiltIsTheSystemsBoxWithTheSameText) {
  const std::string text = "Could not import \"board.pdf\" because the host could not start.";
  TSystemBoxAnswer answer("Vantor Suite Error");
  bool raised = false;
  {
    TMemoryRecorder recorder;
    TMemoryRecorder::SetFailGetMem(true);
    try {
      ShowErrorBox(text);
    } catch (const std::bad_alloc&) {
      raised = true;
    }
    TMemoryRecorder::SetFailGetMem(false);
  }
  EXPECT_FALSE(raised);
  EXPECT_STREQ(answer.Text(), text.c_str());
}

}  // namespace
