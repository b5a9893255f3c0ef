// Context help of the plug-in's dialogs, recorded through the replaceable WinHelp
// routine: key maps, host topics, F1 page help with its fallback popup, what's-this
// popups, and the placement of server dialogs on injected monitors.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "classlib/ComCtrls.h"
#include "classlib/ExtCtrls.h"
#include "classlib/FileUtils.h"
#include "classlib/Frames.h"
#include "classlib/StdCtrls.h"
#include "host/ClientApi.h"
#include "host/ServerDialog.h"
#include "skin/KsTabs.h"
#include "standin/host/StandinHost.h"
#include "tests/controls/ControlsTestSupport.h"

namespace {

struct THelpCall {
  HWND Wnd;
  std::string File;
  UINT Command;
  ULONG_PTR Data;
};
std::vector<THelpCall> gHelpCalls;

BOOL WINAPI RecordWinHelp(HWND wnd, LPCSTR file, UINT command, ULONG_PTR data) {
  gHelpCalls.push_back({wnd, file ? file : "", command, data});
  return TRUE;
}

std::string HelpPath(const std::string& name) { return HostHelpFolder() + name; }

// The help files under the test program's own name are the host's LoadKIVO fixtures.
class HelpTest : public testing::Test {
 protected:
  void SetUp() override {
    gHelpCalls.clear();
    FPreviousWinHelp = WinHelpProc;
    WinHelpProc = RecordWinHelp;
    for (const char* ext : {".hlp", ".id"}) {
      CopyFileA(HelpPath(std::string("LoadKIVO") + ext).c_str(), ChangeFileExt(PluginHelpFile(), ext).c_str(), FALSE);
      CopyFileA(HelpPath(std::string("LoadKIVOwth") + ext).c_str(),
                ChangeFileExt(PluginWhatsThisHelpFile(), ext).c_str(), FALSE);
    }
    standin::SetHelpTopic("Sch:Editor", "SchEditor");
    standin::SetHelpTopic("Cycle:A", "CycleA");
    standin::SetHelpTopic("Cycle:B", "CycleB");
    standin::ClearCallLog();
  }
  void TearDown() override {
    WinHelpProc = FPreviousWinHelp;
    for (const char* ext : {".hlp", ".id"}) {
      DeleteFile(ChangeFileExt(PluginHelpFile(), ext));
      DeleteFile(ChangeFileExt(PluginWhatsThisHelpFile(), ext));
    }
  }
  TWinHelpProc FPreviousWinHelp = nullptr;
};

// ---- Key maps and host topics ----------------------------------------------------------

TEST_F(HelpTest, HelpFilesLieInTheHostsHelpFolderUnderThePluginsName) {
  const std::string base = ChangeFileExt(ExtractFileName(GetModuleName(PluginModuleHandle())), "");
  const std::string folder = ExtractFilePath(GetModuleName(nullptr)) + "Help\\";
  EXPECT_EQ(PluginHelpFile(), folder + base + ".hlp");
  EXPECT_EQ(PluginWhatsThisHelpFile(), folder + base + "wth.hlp");
  EXPECT_EQ(FallbackHelpFile(), folder + "qmvmaster.hlp");
}

TEST_F(HelpTest, MapLinesGiveContextsTopicsOrNothing) {
  TStringList map, topics;
  LoadHelpIdMap(&map, &topics, PluginHelpFile());
  ASSERT_EQ(map.GetCount(), 8);  // the line without "=" is skipped
  ASSERT_EQ(topics.GetCount(), 3);
  EXPECT_EQ(topics.Get(0), "Sch:Editor");

  std::string file = PluginHelpFile();
  EXPECT_EQ(LookupHelpContext("Dlg_TranslateDialog", "", file, &topics, &map), 120);
  EXPECT_EQ(LookupHelpContext("DLG_translatedialog", "", file, &topics, &map), 120);
  EXPECT_EQ(LookupHelpContext("Dlg_NoNumber", "", file, &topics, &map), 0);
  EXPECT_EQ(LookupHelpContext("Dlg_Missing", "", file, &topics, &map), 0);
  EXPECT_EQ(file, PluginHelpFile());
  // A suffix builds "Dlg_" + suffix + "_" + key.
  TStringList controlMap, controlTopics;
  file = PluginWhatsThisHelpFile();
  EXPECT_EQ(LookupHelpContext("Button1", "TranslateDialog", file, &controlTopics, &controlMap), 210);
}

TEST_F(HelpTest, AHostTopicIsLookedUpInTheFileTheHostNames) {
  TStringList map, topics;
  std::string file = PluginHelpFile();
  EXPECT_EQ(LookupHelpContext("Dlg_HostTopic", "", file, &topics, &map), 500);
  EXPECT_EQ(file, HelpPath("SchEditor.hlp"));
  EXPECT_EQ(standin::CallsStartingWith("IClient#39").size(), 1u);
  // A topic the host names no file for, or whose file is missing, has no context.
  file = PluginHelpFile();
  EXPECT_EQ(LookupHelpContext("Dlg_UnknownTopic", "", file, &topics, &map), 0);
  standin::SetHelpTopic("Sch:Editor", "NotInstalled");
  EXPECT_EQ(HostTopicHelpContext("Sch:Editor", file), 0);
  EXPECT_EQ(file, HelpPath("NotInstalled.hlp"));
}

TEST_F(HelpTest, AMissingMapIsReadAgainAtTheNextLookUp) {
  TStringList map, topics;
  std::string file = HelpPath("Absent.hlp");
  EXPECT_EQ(LookupHelpContext("Dlg_TranslateDialog", "", file, &topics, &map), 0);
  EXPECT_EQ(map.GetCount(), 0);
  file = PluginHelpFile();
  EXPECT_EQ(LookupHelpContext("Dlg_TranslateDialog", "", file, &topics, &map), 120);
}

// Regression: host topics leading back to each other recursed until the stack overflowed;
// the files on the way are remembered and a cycle answers 0.
TEST_F(HelpTest, HostTopicsThatLeadBackToEachOtherAnswerZero) {
  TStringList map, topics;
  std::string file = PluginHelpFile();
  EXPECT_EQ(LookupHelpContext("Dlg_TopicCycle", "", file, &topics, &map), 0);
  EXPECT_EQ(standin::CallsStartingWith("IClient#39").size(), 3u);  // A, B, then A again
  standin::SetHelpTopic("Cycle:B", "CycleA");                     // a file leading to itself
  EXPECT_EQ(HostTopicHelpContext("Cycle:A", file), 0);
}

// ---- Page help (F1) and what's-this popups --------------------------------------------

class THelpTestDialog : public TFormWithHelp {
  KIVO_CLASS(THelpTestDialog, TFormWithHelp)
 public:
  explicit THelpTestDialog(TComponent* AOwner) : TFormWithHelp(AOwner) {
    SetBounds(600, 400, 300, 200);
    Panel = new TPanel(this);
    Panel->SetName("Panel1");
    Panel->SetParent(this);
    Panel->SetBounds(10, 10, 150, 100);
    Inner = new TButton(Panel);
    Inner->SetName("Inner");
    Inner->SetParent(Panel);
    Button1 = new TButton(this);
    Button1->SetName("Button1");
    Button1->SetParent(this);
    Button1->SetBounds(180, 10, 75, 25);
    OkButton = new TButton(this);
    OkButton->SetName("OkButton");
    OkButton->SetParent(this);
    OkButton->SetBounds(180, 50, 75, 25);
  }
  TPanel* Panel;
  TButton* Inner;
  TButton* Button1;
  TButton* OkButton;
};

class FormHelpTest : public HelpTest {
 protected:
  void SetUp() override {
    HelpTest::SetUp();
    Dialog = std::make_unique<THelpTestDialog>(nullptr);
  }
  void TearDown() override {
    Dialog.reset();
    PumpPending();
    HelpTest::TearDown();
  }
  void ShowDialog(const std::string& name) {
    Dialog->SetName(name);
    Dialog->Show();
    SetForegroundWindow(Dialog->GetHandle());
    PumpPending();
    gHelpCalls.clear();
    standin::ClearCallLog();
  }
  void PressF1In(TWinControl* control) { control->Perform(CM_CHILDKEY, VK_F1, reinterpret_cast<LPARAM>(control)); }
  LRESULT SendWhatsThis(TWinControl* control, POINT pos) {
    HELPINFO info{};
    info.cbSize = sizeof info;
    info.iContextType = HELPINFO_WINDOW;
    info.hItemHandle = control->GetHandle();
    info.MousePos = pos;
    return SendMessageA(Dialog->GetHandle(), WM_HELP, 0, reinterpret_cast<LPARAM>(&info));
  }
  void ExpectPopupPair(size_t first, const std::string& file, POINT pos, ULONG_PTR context) {
    ASSERT_GE(gHelpCalls.size(), first + 2);
    EXPECT_EQ(gHelpCalls[first].Wnd, Dialog->GetHandle());
    EXPECT_EQ(gHelpCalls[first].File, file);
    EXPECT_EQ(gHelpCalls[first].Command, UINT(HELP_SETPOPUP_POS));
    EXPECT_EQ(gHelpCalls[first].Data, ULONG_PTR(MAKELONG(pos.x, pos.y)));
    EXPECT_EQ(gHelpCalls[first + 1].Wnd, Dialog->GetHandle());
    EXPECT_EQ(gHelpCalls[first + 1].File, file);
    EXPECT_EQ(gHelpCalls[first + 1].Command, UINT(HELP_CONTEXTPOPUP));
    EXPECT_EQ(gHelpCalls[first + 1].Data, context);
  }
  std::unique_ptr<THelpTestDialog> Dialog;
  TExceptionRecorder Exceptions;
};

TEST_F(FormHelpTest, F1ShowsTheFormLevelKeyOwnedByTheHostsApplicationWindow) {
  ShowDialog("TranslateDialog");
  Dialog->FocusControl(Dialog->Button1);
  // The real road: the key message through the application's loop to CM_CHILDKEY.
  PostMessageA(Dialog->Button1->GetHandle(), WM_KEYDOWN, VK_F1, 0);
  Application->ProcessMessages();
  ASSERT_EQ(gHelpCalls.size(), 1u);
  EXPECT_EQ(gHelpCalls[0].Wnd, standin::ApplicationWindowHandle());
  EXPECT_EQ(gHelpCalls[0].File, PluginHelpFile());
  EXPECT_EQ(gHelpCalls[0].Command, UINT(HELP_CONTEXT));
  EXPECT_EQ(gHelpCalls[0].Data, 120u);
  EXPECT_TRUE(Exceptions.Messages.empty());
}

TEST_F(FormHelpTest, F1WithAHostTopicOpensTheHostsFile) {
  ShowDialog("HostTopic");
  PressF1In(Dialog->Inner);
  ASSERT_EQ(gHelpCalls.size(), 1u);
  EXPECT_EQ(gHelpCalls[0].File, HelpPath("SchEditor.hlp"));
  EXPECT_EQ(gHelpCalls[0].Data, 500u);
}

TEST_F(FormHelpTest, F1WithoutAContextShowsTheFallbackPopupPair) {
  ShowDialog("NoNumber");
  POINT cursor{};
  GetCursorPos(&cursor);
  PressF1In(Dialog->Button1);
  ASSERT_EQ(gHelpCalls.size(), 2u);
  ExpectPopupPair(0, FallbackHelpFile(), cursor, 1);
}

TEST_F(FormHelpTest, WhatsThisLooksUpTheControlLevelKeyAfterAskingTheHost) {
  ShowDialog("TranslateDialog");
  EXPECT_EQ(SendWhatsThis(Dialog->Button1, POINT{30, 40}), 1);
  const std::vector<std::string> hostCalls = standin::CallsStartingWith("IClient");
  ASSERT_EQ(hostCalls.size(), 2u);
  EXPECT_EQ(hostCalls[0], "IClient#17 GetHelpHook(-1, \"\")");
  EXPECT_EQ(hostCalls[1], "IClientHelpHook#12 Invoke");
  ASSERT_EQ(gHelpCalls.size(), 2u);
  ExpectPopupPair(0, PluginWhatsThisHelpFile(), POINT{30, 40}, 210);
}

TEST_F(FormHelpTest, WhatsThisFallsBackToTheClassNameAndThenToTheParent) {
  ShowDialog("Other");
  SendWhatsThis(Dialog->OkButton, POINT{1, 2});  // Dlg_HelpTestDialog_OkButton
  ExpectPopupPair(0, PluginWhatsThisHelpFile(), POINT{1, 2}, 230);
  gHelpCalls.clear();
  Dialog->SetName("TranslateDialog");
  SendWhatsThis(Dialog->Inner, POINT{3, 4});  // Dlg_TranslateDialog_Panel1
  ExpectPopupPair(0, PluginWhatsThisHelpFile(), POINT{3, 4}, 220);
  gHelpCalls.clear();
  Dialog->SetName("Nothing");
  SendWhatsThis(Dialog->Button1, POINT{5, 6});  // no key: the popup still comes, context 0
  ExpectPopupPair(0, PluginWhatsThisHelpFile(), POINT{5, 6}, 0);
}

TEST_F(FormHelpTest, TheFirstWhatsThisAfterF1ShowsNothing) {
  ShowDialog("TranslateDialog");
  PressF1In(Dialog->Button1);
  gHelpCalls.clear();
  SendWhatsThis(Dialog->Button1, POINT{7, 8});
  EXPECT_TRUE(gHelpCalls.empty());
  EXPECT_FALSE(Dialog->GetHelpRequested());
  SendWhatsThis(Dialog->Button1, POINT{7, 8});
  ExpectPopupPair(0, PluginWhatsThisHelpFile(), POINT{7, 8}, 210);
}

// Fault: the help viewer stayed up after the dialog that had asked it for help was gone,
// and after the host too; cause: the dialog never told it to quit (HELP_QUIT), which the
// viewer waits for from every window that asked it for help.
TEST_F(FormHelpTest, AGoingDialogTellsTheViewerToQuitForEachWindowItAskedThrough) {
  ShowDialog("TranslateDialog");
  PressF1In(Dialog->Button1);                  // page help through the host's window
  Dialog->SetName("NoNumber");
  PressF1In(Dialog->Button1);                  // the fallback popup through the dialog's
  SendWhatsThis(Dialog->Button1, POINT{1, 2});  // the first after F1: nothing
  SendWhatsThis(Dialog->Button1, POINT{1, 2});  // the control popup, again the dialog's
  const HWND dialog = Dialog->GetHandle();
  gHelpCalls.clear();
  Dialog.reset();
  ASSERT_EQ(gHelpCalls.size(), 2u);
  EXPECT_EQ(gHelpCalls[0].Wnd, standin::ApplicationWindowHandle());
  EXPECT_EQ(gHelpCalls[0].File, PluginHelpFile());
  EXPECT_EQ(gHelpCalls[1].Wnd, dialog);
  EXPECT_EQ(gHelpCalls[1].File, PluginWhatsThisHelpFile());  // the last file it asked for
  for (const THelpCall& call : gHelpCalls) {
    EXPECT_EQ(call.Command, UINT(HELP_QUIT));
    EXPECT_EQ(call.Data, 0u);
  }

  // Also when the window goes before the form; and a dialog that asked for no help
  // leaves the viewer alone (it may be another program's).
  for (bool asked : {true, false}) {
    Dialog = std::make_unique<THelpTestDialog>(nullptr);
    ShowDialog("NoNumber");
    if (asked)
      PressF1In(Dialog->Button1);
    gHelpCalls.clear();
    DestroyWindow(Dialog->GetHandle());
    ASSERT_EQ(gHelpCalls.size(), asked ? 1u : 0u) << asked;
    if (asked) {
      EXPECT_EQ(gHelpCalls[0].Command, UINT(HELP_QUIT));
    }
    Dialog.reset();
    EXPECT_EQ(gHelpCalls.size(), asked ? 1u : 0u) << asked;
  }
  EXPECT_TRUE(Exceptions.Messages.empty());
}

// Tab sheets carry control-level page help, frames form-level help.
TEST_F(FormHelpTest, F1InsideATabSheetOrAFrameUsesThatContainersKey) {
  auto* pages = new TPageControl(Dialog.get());
  pages->SetParent(Dialog.get());
  pages->SetBounds(10, 115, 150, 80);
  auto* sheet = new TTabSheet(Dialog.get());
  sheet->SetName("HelpPage");
  sheet->SetPageControl(pages);
  auto* onSheet = new TButton(Dialog.get());
  onSheet->SetName("OnSheet");
  onSheet->SetParent(sheet);
  auto* frame = new TFrame(Dialog.get());
  frame->SetName("HelpFrame");
  frame->SetParent(Dialog.get());
  frame->SetBounds(170, 100, 100, 60);
  auto* onFrame = new TButton(Dialog.get());
  onFrame->SetName("OnFrame");
  onFrame->SetParent(frame);
  ShowDialog("TranslateDialog");

  PressF1In(onSheet);
  ASSERT_EQ(gHelpCalls.size(), 1u);
  EXPECT_EQ(gHelpCalls[0].File, PluginWhatsThisHelpFile());
  EXPECT_EQ(gHelpCalls[0].Command, UINT(HELP_CONTEXT));
  EXPECT_EQ(gHelpCalls[0].Data, 240u);
  gHelpCalls.clear();
  PressF1In(onFrame);
  ASSERT_EQ(gHelpCalls.size(), 1u);
  EXPECT_EQ(gHelpCalls[0].File, PluginHelpFile());
  EXPECT_EQ(gHelpCalls[0].Data, 150u);
}

// A skinned tab control stands for its active page.
TEST_F(FormHelpTest, F1OnASkinnedTabControlUsesItsActivePagesKey) {
  auto* tabs = new TKsCustomTabControl(Dialog.get());
  tabs->SetParent(Dialog.get());
  tabs->SetBounds(10, 115, 150, 80);
  tabs->GetTabs()->Add("One");
  tabs->GetTabs()->Add("Two");
  tabs->SetUsePages(true);
  tabs->GetPage(0)->SetName("HelpPage");
  auto* onTabs = new TButton(Dialog.get());
  onTabs->SetParent(tabs);
  tabs->SetTabIndex(0);
  ShowDialog("TranslateDialog");

  PressF1In(onTabs);
  ASSERT_EQ(gHelpCalls.size(), 1u);
  EXPECT_EQ(gHelpCalls[0].File, PluginWhatsThisHelpFile());
  EXPECT_EQ(gHelpCalls[0].Data, 240u);
  gHelpCalls.clear();
  // A page without a key of its own: the form's key.
  tabs->SetTabIndex(1);
  PressF1In(onTabs);
  ASSERT_EQ(gHelpCalls.size(), 1u);
  EXPECT_EQ(gHelpCalls[0].File, PluginHelpFile());
  EXPECT_EQ(gHelpCalls[0].Data, 120u);
}

TEST_F(FormHelpTest, DisabledHelpLeavesF1AndWhatsThisAlone) {
  ShowDialog("TranslateDialog");
  Dialog->SetHelpEnabled(false);
  PressF1In(Dialog->Button1);
  SendWhatsThis(Dialog->Button1, POINT{7, 8});
  EXPECT_TRUE(gHelpCalls.empty());
  EXPECT_FALSE(Dialog->GetHelpRequested());
}

// ---- Server dialogs ---------------------------------------------------------------------

// Two monitors side by side, the second left of the primary; the active window is on
// whichever the test chooses.
class TTestMonitors : public TMonitorProvider {
 public:
  HMONITOR Active = nullptr;
  std::vector<HMONITOR> Enumerate() override { return {Primary(), Left()}; }
  HMONITOR FromWindow(HWND, DWORD) override { return Active; }
  HMONITOR FromPoint(const POINT&, DWORD) override { return Active; }
  bool GetInfo(HMONITOR monitor, MONITORINFO& info) override {
    if (monitor == Primary())
      info.rcMonitor = RECT{0, 0, 1024, 768};
    else if (monitor == Left())
      info.rcMonitor = RECT{-1280, -100, 0, 924};
    else
      return false;
    info.rcWork = RECT{info.rcMonitor.left + 50, info.rcMonitor.top, info.rcMonitor.right, info.rcMonitor.bottom - 40};
    info.dwFlags = monitor == Primary() ? MONITORINFOF_PRIMARY : 0;
    return true;
  }
  static HMONITOR Primary() { return reinterpret_cast<HMONITOR>(0x1001); }
  static HMONITOR Left() { return reinterpret_cast<HMONITOR>(0x1002); }
};

class TPlacedDialog : public TServerDialog {
  KIVO_CLASS(TPlacedDialog, TServerDialog)
 public:
  explicit TPlacedDialog(TComponent* AOwner) : TServerDialog(AOwner) {
    TLoadingScope loading(this);
    SetBounds(5, 6, 301, 201);
    SetPosition(poScreenCenter);
  }
};

class ServerDialogTest : public testing::Test {
 protected:
  void SetUp() override {
    FPrevious = SetMonitorProvider(&Monitors);
    SetActiveWindow(standin::MainWindowHandle());
  }
  void TearDown() override {
    SetMonitorProvider(FPrevious);
    PumpPending();
  }
  TTestMonitors Monitors;
  TMonitorProvider* FPrevious = nullptr;
  TExceptionRecorder Exceptions;
};

TEST_F(ServerDialogTest, ABuiltDialogIsCentredOnTheActiveWindowsMonitorAndStaysThere) {
  Monitors.Active = TTestMonitors::Left();
  TPlacedDialog dialog(nullptr);
  // Full monitor bounds, not the work area; the division rounds toward zero.
  EXPECT_EQ(dialog.GetLeft(), (-1280 + 0 - 301) / 2);
  EXPECT_EQ(dialog.GetLeft(), -790);
  EXPECT_EQ(dialog.GetTop(), (-100 + 924 - 201) / 2);
  EXPECT_EQ(dialog.GetWidth(), 301);
  // Showing a screen-centred server dialog does not move it.
  dialog.Show();
  PumpPending();
  RECT r{};
  GetWindowRect(dialog.GetHandle(), &r);
  EXPECT_EQ(r.left, -790);
  EXPECT_EQ(r.top, 311);
  EXPECT_EQ(dialog.GetPosition(), poScreenCenter);
  EXPECT_TRUE(IsWindowVisible(dialog.GetHandle()));
  EXPECT_TRUE(Exceptions.Messages.empty());
}

TEST_F(ServerDialogTest, WithoutAMonitorForTheActiveWindowNothingMoves) {
  Monitors.Active = nullptr;
  TPlacedDialog dialog(nullptr);
  EXPECT_EQ(dialog.GetLeft(), 5);
  EXPECT_EQ(dialog.GetTop(), 6);
}

TEST_F(ServerDialogTest, TheDialogIsOwnedByTheHostsMainWindowAndAsksForTheHelpButton) {
  Monitors.Active = TTestMonitors::Primary();
  TPlacedDialog dialog(nullptr);
  HWND wnd = dialog.GetHandle();
  EXPECT_EQ(GetWindow(wnd, GW_OWNER), standin::MainWindowHandle());
  EXPECT_NE(GetWindowLongA(wnd, GWL_EXSTYLE) & WS_EX_CONTEXTHELP, 0);
}

}  // namespace
