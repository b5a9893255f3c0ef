// The importer's real dialogs with the dialog theming installed, as the plug-in shows
// them: the options dialog, the status dialog and the error box come up in the skinned
// frame, drawn on screen by the dialog's theme (Luna here: this prefix reports a system
// later than XP with visual styles off), with the caption buttons the dialog asks for
// and the theme's background; their themed controls draw through the dialog's engine,
// and a control placed on a dialog after loading is themed as well.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "classlib/ComCtrls.h"
#include "classlib/ExtCtrls.h"
#include "classlib/StdCtrls.h"
#include "host/DialogTheme.h"
#include "host/EDAClientMessageForm.h"
#include "importer/TranslationStatus.h"
#include "importer/UserOptions.h"
#include "skin/KsButtons.h"
#include "skin/KsCheckBoxes.h"
#include "skin/KsThemeForms.h"
#include "skin/TeThemeEngine.h"
#include "skin/TeThemeLuna.h"
#include "standin/host/StandinHost.h"
#include "tests/controls/ControlsTestSupport.h"

namespace {

// The RGB of a pixel of `wnd` as it is on screen, frame included.
COLORREF ScreenPixel(HWND wnd, int x, int y) {
  HDC dc = GetWindowDC(wnd);
  const COLORREF color = GetPixel(dc, x, y);
  ReleaseDC(wnd, dc);
  return color;
}

COLORREF Rgb(TKsColor c) { return RGB(c >> 16 & 0xFF, c >> 8 & 0xFF, c & 0xFF); }

TTeThemeForm* FrameOf(TComponent* form) {
  for (int i = 0; i < form->GetComponentCount(); ++i)
    if (auto* frame = ObjectAs<TTeThemeForm>(form->GetComponent(i)))
      return frame;
  return nullptr;
}

bool HasButton(TTeThemeForm* frame, TKsBorderIcon icon) {
  const TRect r = frame->GetCaptionButtonRect(icon);
  return r.right > r.left && r.bottom > r.top;
}

// Checks that `form` is shown in its themed frame: the window's frame bands are the
// theme's (the left and bottom borders and the caption band as the theme draws them),
// its background the theme's face, and its caption buttons exactly `icons`.
void ExpectSkinned(TCustomForm* form, TKsBorderIcons icons) {
  TTeThemeForm* frame = FrameOf(form);
  ASSERT_NE(frame, nullptr) << form->GetCaption();
  ASSERT_TRUE(frame->IsThemed()) << form->GetCaption();
  TTeTheme* theme = frame->GetThemeEngine()->GetTheme();
  EXPECT_EQ(theme->ClassType(), TTeThemeLuna::StaticClass());
  HWND wnd = form->GetHandle();
  RedrawWindow(wnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_UPDATENOW | RDW_ALLCHILDREN);
  PumpPending();
  GdiFlush();

  RECT window{}, client{};
  GetWindowRect(wnd, &window);
  GetClientRect(wnd, &client);
  MapWindowPoints(wnd, nullptr, reinterpret_cast<POINT*>(&client), 2);
  const int w = window.right - window.left, h = window.bottom - window.top;
  // The client lies where the theme's metrics put it.
  EXPECT_EQ(client.left - window.left, theme->GetSize(0)) << form->GetCaption();
  EXPECT_EQ(client.top - window.top, theme->GetSize(2)) << form->GetCaption();
  EXPECT_EQ(window.right - client.right, theme->GetSize(0)) << form->GetCaption();

  // The frame as the theme draws it for this window, in its painted state.
  TKsBitmap expected;
  expected.SetSize(w, h);
  const TRect frameClient = frame->GetFrameClientRect();
  theme->DrawFormFrame(expected, w, h, frameClient, frame->GetActiveLook(), kbsStandard);
  GdiFlush();
  const int midY = (frameClient.top + h) / 2;
  EXPECT_EQ(ScreenPixel(wnd, 1, midY), Rgb(expected.GetPixel(1, midY))) << form->GetCaption();
  EXPECT_EQ(ScreenPixel(wnd, w / 2, h - 2), Rgb(expected.GetPixel(w / 2, h - 2))) << form->GetCaption();
  // The caption band left of the text.
  EXPECT_EQ(ScreenPixel(wnd, 3, 2), Rgb(expected.GetPixel(3, 2))) << form->GetCaption();
  // The client background is the theme's face where no control covers it.
  EXPECT_EQ(ScreenPixel(wnd, frameClient.left + 1, frameClient.bottom - 2), ColorToRGB(theme->GetColor(11)))
      << form->GetCaption();

  for (TKsBorderIcon icon : {kbiClose, kbiHelp, kbiMinimize, kbiMaximize, kbiRollup, kbiTray})
    EXPECT_EQ(HasButton(frame, icon), icons.Contains(icon)) << form->GetCaption() << " button " << icon;
  // Each button shows the theme's glyph: the centre as the theme draws it there.
  for (TKsBorderIcon icon : {kbiClose, kbiHelp}) {
    if (!icons.Contains(icon))
      continue;
    const TRect r = frame->GetCaptionButtonRect(icon);
    theme->DrawCaptionButton(expected, r, icon == kbiClose ? 0 : 1, false, false, frame->GetActiveLook(),
                             kbsStandard);
    GdiFlush();
    const int cx = (r.left + r.right) / 2, cy = (r.top + r.bottom) / 2;
    EXPECT_EQ(ScreenPixel(wnd, cx, cy), Rgb(expected.GetPixel(cx, cy))) << form->GetCaption() << " " << icon;
  }
}

class ThemedDialogsTest : public testing::Test {
 protected:
  void SetUp() override {
    SetCursorPos(0, 0);  // no caption button under the pointer
    SetActiveWindow(standin::MainWindowHandle());
    StartDialogTheme("KivoHost.exe");
  }
  void TearDown() override {
    FinalizeDialogTheme();
    PumpPending();
    EXPECT_EQ(InsertControlProc, &InsertControlOriginal);
    EXPECT_TRUE(Exceptions.Messages.empty()) << Exceptions.Messages.front();
  }
  TExceptionRecorder Exceptions;
};

}  // namespace

TEST_F(ThemedDialogsTest, TheOptionsDialogComesUpSkinnedWithCloseAndHelp) {
  std::unique_ptr<TTranslateDialog> dialog(new TTranslateDialog(nullptr));
  dialog->SetFileName("C:\\boards\\demo.pdf");
  // The client area the dialog was laid out for survives the frame.
  EXPECT_EQ(dialog->GetClientWidth(), 590);
  EXPECT_EQ(dialog->GetClientHeight(), 451);
  dialog->Show();
  PumpPending();
  ExpectSkinned(dialog.get(), {kbiClose, kbiHelp});
  EXPECT_FALSE(dialog->GetThemeForm()->GetCanResize());

  // A control placed on the shown dialog, inside its panel, takes the dialog's engine.
  auto* button = new TTeThemeButton(dialog.get());
  button->SetParent(dialog->Panel1);
  EXPECT_EQ(button->GetThemeEngine(), dialog->GetThemeEngine());
  auto* box = new TTeThemeCheckBox(dialog.get());
  box->SetParent(dialog->TabSheet1);
  EXPECT_EQ(box->GetThemeEngine(), dialog->GetThemeEngine());
  EXPECT_EQ(box->GetHeight(), 19);
}

// Fault: the options dialog showed three backgrounds: the frame's face around the page
// control, the form's own colour in the strip beside the "Options" tab and the system's
// button face on the tab, its page, the page's panel and the help text; cause: only the
// frame painted the theme's face, the controls kept the colours the class library gives.
TEST_F(ThemedDialogsTest, TheOptionsDialogShowsOneFace) {
  std::unique_ptr<TTranslateDialog> dialog(new TTranslateDialog(nullptr));
  dialog->SetFileName("C:\\boards\\demo.pdf");
  dialog->Show();
  RedrawWindow(dialog->GetHandle(), nullptr, nullptr,
               RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_UPDATENOW | RDW_ALLCHILDREN);
  PumpPending();
  const COLORREF face = ColorToRGB(dialog->GetThemeEngine()->GetTheme()->GetColor(11));
  auto seen = [](TWinControl* control, int x, int y) {
    HDC dc = GetDC(control->GetHandle());
    const COLORREF color = GetPixel(dc, x, y);
    ReleaseDC(control->GetHandle(), dc);
    return color;
  };
  TPageControl* pages = dialog->PageControl1;
  RECT tab{};
  ASSERT_TRUE(SendMessageA(pages->GetHandle(), TCM_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&tab)));
  const int tabMiddle = (tab.top + tab.bottom) / 2;
  EXPECT_EQ(seen(dialog.get(), 4, dialog->GetClientHeight() / 2), face) << "margin";
  EXPECT_EQ(seen(pages, tab.right + 20, tabMiddle), face) << "strip beside the tab";
  EXPECT_EQ(seen(pages, tab.left + 3, tabMiddle), face) << "tab";
  TTabSheet* page = dialog->TabSheet1;
  EXPECT_EQ(seen(page, page->GetWidth() - 4, page->GetHeight() - 4), face) << "page";
  EXPECT_EQ(seen(dialog->Panel1, dialog->Panel1->GetWidth() - 8, 8), face) << "panel";
  EXPECT_EQ(seen(dialog->RichEdit1, dialog->RichEdit1->GetWidth() - 4, dialog->RichEdit1->GetHeight() - 4), face)
      << "help text";
}

// The caption's "?" asks the system for its context-help mode (WM_SYSCOMMAND with
// SC_CONTEXTHELP), in which the next click would bring WM_HELP for the control under it.
// Wine's default window procedure has no such mode: there the next click is an ordinary
// one (the README says so).
TEST_F(ThemedDialogsTest, TheHelpButtonAsksTheSystemForItsContextHelpMode) {
  static std::vector<std::pair<HWND, WPARAM>> commands;
  commands.clear();
  struct THook {
    static LRESULT CALLBACK Proc(int code, WPARAM wParam, LPARAM lParam) {
      const auto* sent = reinterpret_cast<const CWPSTRUCT*>(lParam);
      if (code == HC_ACTION && sent->message == WM_SYSCOMMAND)
        commands.push_back({sent->hwnd, sent->wParam & 0xFFF0});
      return CallNextHookEx(nullptr, code, wParam, lParam);
    }
  };
  std::unique_ptr<TTranslateDialog> dialog(new TTranslateDialog(nullptr));
  dialog->Show();
  PumpPending();
  HWND wnd = dialog->GetHandle();
  const TRect button = FrameOf(dialog.get())->GetCaptionButtonRect(kbiHelp);
  RECT window{};
  GetWindowRect(wnd, &window);
  const LPARAM at = MAKELPARAM(window.left + (button.left + button.right) / 2, window.top + (button.top + button.bottom) / 2);
  ASSERT_EQ(SendMessageA(wnd, WM_NCHITTEST, 0, at), HTHELP);
  HHOOK hook = SetWindowsHookExA(WH_CALLWNDPROC, THook::Proc, nullptr, GetCurrentThreadId());
  SendMessageA(wnd, WM_NCLBUTTONDOWN, HTHELP, at);
  SendMessageA(wnd, WM_NCLBUTTONUP, HTHELP, at);
  UnhookWindowsHookEx(hook);
  EXPECT_EQ(commands, (std::vector<std::pair<HWND, WPARAM>>{{wnd, SC_CONTEXTHELP}}));
}

TEST_F(ThemedDialogsTest, TheStatusDialogComesUpSkinnedAndItsControlsDrawThroughItsEngine) {
  TTranslationStatus dialog(nullptr);
  dialog.ShowOutcome(true, 3);
  // The engine of its build is the dialog's, reset, with the dialog's theme.
  EXPECT_EQ(dialog.GetThemeEngine(), dialog.GetTeThemeEngine1());
  EXPECT_EQ(dialog.GetButtonOK()->GetThemeEngine(), dialog.GetThemeEngine());
  EXPECT_EQ(dialog.GetCheckBoxViewReport()->GetThemeEngine(), dialog.GetThemeEngine());
  EXPECT_EQ(dialog.GetCheckBoxViewReport()->GetHeight(), 19);
  EXPECT_EQ(dialog.GetClientWidth(), 239);
  EXPECT_EQ(dialog.GetClientHeight(), 100);
  TShownFormInspector<TTranslationStatus> inspector([](TTranslationStatus* shown) {
    ExpectSkinned(shown, {kbiClose, kbiHelp});
    EXPECT_TRUE(shown->GetButtonOK()->Focused());
    shown->SetModalResult(mrOk);
  });
  EXPECT_TRUE(dialog.Execute());
  EXPECT_TRUE(inspector.Inspected);
}

TEST_F(ThemedDialogsTest, TheErrorBoxComesUpSkinnedWithACloseButton) {
  TShownFormInspector<TEDAClientMessageForm> inspector([](TEDAClientMessageForm* box) {
    EXPECT_EQ(box->GetCaption(), "Vantor Suite Error");
    ExpectSkinned(box, {kbiClose});
    EXPECT_EQ(GetWindow(box->GetHandle(), GW_OWNER), standin::MainWindowHandle());
    // Regression: the opaque message label showed the form face, near white in Luna, as
    // a box over the frame's beige control face. Right of the shorter first line the
    // label shows the face behind it.
    auto* message = ObjectAs<TLabel>(box->FindComponent("Message"));
    ASSERT_NE(message, nullptr);
    HDC dc = GetDC(box->GetHandle());
    const COLORREF behind = GetPixel(dc, message->GetLeft() + message->GetWidth() - 2, message->GetTop() + 1);
    ReleaseDC(box->GetHandle(), dc);
    EXPECT_EQ(behind, ColorToRGB(FrameOf(box)->GetThemeEngine()->GetTheme()->GetColor(11)));
    box->SetModalResult(mrOk);
  });
  ShowErrorBox("Could not create new file\nShutdown server and try again");
  EXPECT_TRUE(inspector.Inspected);
}
