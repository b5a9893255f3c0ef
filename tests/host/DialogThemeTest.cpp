// Dialog theming and the framework's routines in the class library's slots: the engine
// and themed frame of a server dialog, the colour rules, controls placed after loading,
// the message box's frame, common dialogs and message dialogs on the active window's
// monitor, and the slots given back exactly at shut-down.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "classlib/ExtCtrls.h"
#include "classlib/Frames.h"
#include "classlib/StdCtrls.h"
#include "host/DialogTheme.h"
#include "host/EDAClientMessageForm.h"
#include "host/ServerDialog.h"
#include "host/Utilities.h"
#include "skin/KsButtons.h"
#include "skin/KsCheckBoxes.h"
#include "skin/KsGroupBox.h"
#include "skin/KsThemeForms.h"
#include "skin/TeThemeEngine.h"
#include "skin/TeThemeLuna.h"
#include "standin/host/StandinHost.h"
#include "tests/controls/ControlsTestSupport.h"
#include "xpcontrols/XPEdit.h"

namespace {

// Two monitors one above the other; the active window lies on `Active`.
class TStackedMonitors : public TMonitorProvider {
 public:
  HMONITOR Active = Upper();
  std::vector<HMONITOR> Enumerate() override { return {Upper(), Lower()}; }
  HMONITOR FromWindow(HWND, DWORD) override { return Active; }
  HMONITOR FromPoint(const POINT&, DWORD) override { return Active; }
  bool GetInfo(HMONITOR monitor, MONITORINFO& info) override {
    if (monitor == Upper())
      info.rcMonitor = RECT{0, 0, 1280, 1024};
    else if (monitor == Lower())
      info.rcMonitor = RECT{0, 1024, 1280, 2048};
    else
      return false;
    info.rcWork = info.rcMonitor;
    info.rcWork.bottom -= 30;
    return true;
  }
  static HMONITOR Upper() { return reinterpret_cast<HMONITOR>(0x2001); }
  static HMONITOR Lower() { return reinterpret_cast<HMONITOR>(0x2002); }
};

// A dialog as the importer builds one: a dialog border, a grey label and one of another
// colour, a themed check box, a button in a panel and XP edits on the dialog, in a themed
// group box and in a frame.
class TSampleDialog : public TServerDialog {
  KIVO_CLASS(TSampleDialog, TServerDialog)
 public:
  explicit TSampleDialog(TComponent* AOwner, TFormBorderStyle border = bsDialog,
                         bool bringEngine = false)
      : TServerDialog(AOwner) {
    TLoadingScope loading(this);
    SetCaption("Sample");
    SetBorderStyle(border);
    SetClientWidth(300);
    SetClientHeight(200);
    if (bringEngine) {
      BroughtEngine = new TTeThemeEngine(this);
      BroughtEngine->SetDeltaHue(30);
      BroughtEngine->SetDeltaBrightness(-10);
      BroughtForm = new TTeThemeForm(this);
      BroughtForm->SetCanResize(true);
      BroughtForm->SetShowAnimation(kaFade);
      BroughtForm->SetMagneticValue(5);
    }
    GreyLabel = Make<TLabel>(this);
    GreyLabel->GetFont()->SetColor(clGrayText);
    GreyLabel->GetFont()->SetName("Tahoma");
    PlainLabel = Make<TLabel>(this);
    PlainLabel->GetFont()->SetColor(clNavy);
    PlainLabel->GetFont()->SetName("Tahoma");
    Box = Make<TTeThemeCheckBox>(this);
    Box->SetHeight(31);
    Box->GetFont()->SetColor(clGrayText);
    Panel = Make<TPanel>(this);
    Button = Make<TTeThemeButton>(Panel);
    Edit = Make<TCustomXPEdit>(this);
    Group = Make<TTeThemeGroupBox>(this);
    GroupEdit = Make<TCustomXPEdit>(Group);
    Frame = Make<TFrame>(this);
    FrameEdit = Make<TCustomXPEdit>(Frame);
    for (TCustomXPEdit* edit : {Edit, GroupEdit, FrameEdit}) {
      edit->GetColors()->SetColor(clYellow);
      edit->GetColors()->SetFrameColor(clRed);
      edit->GetFont()->SetColor(clGreen);
      edit->SetTransparent(true);
    }
  }
  template <class T>
  T* Make(TWinControl* parent) {
    auto* control = new T(this);
    control->SetParent(parent);
    return control;
  }
  TTeThemeEngine* BroughtEngine = nullptr;
  TTeThemeForm* BroughtForm = nullptr;
  TLabel* GreyLabel;
  TLabel* PlainLabel;
  TTeThemeCheckBox* Box;
  TPanel* Panel;
  TTeThemeButton* Button;
  TCustomXPEdit* Edit;
  TTeThemeGroupBox* Group;
  TCustomXPEdit* GroupEdit;
  TFrame* Frame;
  TCustomXPEdit* FrameEdit;
};

// A dialog that asks for a close button only (built by itself, as a dialog's build ends
// in its Loaded, which asks the most derived class).
class TCloseOnlyDialog : public TServerDialog {
  KIVO_CLASS(TCloseOnlyDialog, TServerDialog)
 public:
  explicit TCloseOnlyDialog(TComponent* AOwner) : TServerDialog(AOwner) {
    TLoadingScope loading(this);
    SetBorderStyle(bsDialog);
  }
  TKsBorderIcons GetThemeBorderIcons() override { return {kbiClose}; }
};

int Count(TComponent* owner, TClass cls) {
  int n = 0;
  for (int i = 0; i < owner->GetComponentCount(); ++i)
    n += owner->GetComponent(i)->InheritsFrom(cls) ? 1 : 0;
  return n;
}

bool HasButton(TTeThemeForm* frame, TKsBorderIcon icon) {
  const TRect r = frame->GetCaptionButtonRect(icon);
  return r.right > r.left && r.bottom > r.top;
}

// The four slots as the class library starts them.
void ExpectOriginalSlots() {
  EXPECT_EQ(InsertControlProc, &InsertControlOriginal);
  EXPECT_EQ(ShowingChangedProc, &ShowingChangedOriginal);
  EXPECT_EQ(CommonDialogHookProc, &CommonDialogHookOriginal);
  EXPECT_EQ(CommonDialogModalRunProc, &CommonDialogModalRunOriginal);
}

class DialogThemeTest : public testing::Test {
 protected:
  void SetUp() override {
    SetActiveWindow(standin::MainWindowHandle());
    StartDialogTheme("C:\\Host\\KivoHost.exe");
  }
  void TearDown() override {
    FinalizeDialogTheme();
    ClearInjectedWindowsVersion();
    ExpectOriginalSlots();
    EXPECT_EQ(DialogThemeHooks.CreateDialogTheme, nullptr);
    PumpPending();
  }
  TExceptionRecorder Exceptions;
};

}  // namespace

// ---- The engine and the frame ----------------------------------------------------------------

TEST_F(DialogThemeTest, ADialogGetsAnEngineAndAThemedFrameSetUpAsTheFrameworkFixes) {
  TSampleDialog dialog(nullptr);
  TTeThemeEngine* engine = dialog.GetThemeEngine();
  TTeThemeForm* frame = dialog.GetThemeForm();
  ASSERT_NE(engine, nullptr);
  ASSERT_NE(frame, nullptr);
  EXPECT_EQ(engine->GetOwner(), &dialog);
  EXPECT_EQ(frame->GetOwner(), &dialog);
  EXPECT_EQ(engine->GetDeltaHue(), 0);
  EXPECT_EQ(engine->GetDeltaBrightness(), 0);
  // This prefix reports a system later than XP with visual styles off: the native theme
  // cannot draw, so the dialog takes Luna, and asks for the native theme all the same.
  ASSERT_TRUE(IsWindowsXPOrLater());
  EXPECT_EQ(engine->GetTheme()->ClassType(), TTeThemeLuna::StaticClass());
  EXPECT_TRUE(engine->GetUseNativeXPTheme());
  EXPECT_TRUE(frame->IsThemed());

  EXPECT_EQ(frame->GetBorderIcons(), (TKsBorderIcons{kbiClose, kbiHelp}));
  EXPECT_EQ(frame->GetThemeEngine(), engine);
  // Regression: the frame turns the form's border sizeable before the resize rule read
  // it, so every dialog became resizable; a dialog border stays fixed.
  EXPECT_FALSE(frame->GetCanResize());
  EXPECT_FALSE(engine->GetComponentState().Contains(csLoading));
  EXPECT_FALSE(frame->GetComponentState().Contains(csLoading));

  // The skinned frame keeps the client area the dialog was built for.
  EXPECT_EQ(dialog.GetClientWidth(), 300);
  EXPECT_EQ(dialog.GetClientHeight(), 200);
  const TRect client = frame->GetFrameClientRect();
  EXPECT_EQ(RectWidth(client), 300);
  EXPECT_EQ(RectHeight(client), 200);
}

TEST_F(DialogThemeTest, ASizeableDialogGetsAResizableFrame) {
  TSampleDialog dialog(nullptr, bsSizeable);
  EXPECT_TRUE(dialog.GetThemeForm()->GetCanResize());
}

TEST_F(DialogThemeTest, BeforeXPTheDialogTakesLunaAndLeavesTheNativeWishAlone) {
  InjectWindowsVersion(5, 0);
  TSampleDialog dialog(nullptr);
  EXPECT_EQ(dialog.GetThemeEngine()->GetTheme()->ClassType(), TTeThemeLuna::StaticClass());
  EXPECT_FALSE(dialog.GetThemeEngine()->GetUseNativeXPTheme());
}

TEST_F(DialogThemeTest, AnEngineAndFrameTheBuildBringsAreKeptAndReset) {
  TSampleDialog dialog(nullptr, bsDialog, /*bringEngine=*/true);
  EXPECT_EQ(dialog.GetThemeEngine(), dialog.BroughtEngine);
  EXPECT_EQ(dialog.GetThemeForm(), dialog.BroughtForm);
  EXPECT_EQ(Count(&dialog, TTeThemeEngine::StaticClass()), 1);
  EXPECT_EQ(Count(&dialog, TTeThemeForm::StaticClass()), 1);
  EXPECT_EQ(dialog.BroughtEngine->GetDeltaHue(), 0);
  EXPECT_EQ(dialog.BroughtEngine->GetDeltaBrightness(), 0);
  EXPECT_EQ(dialog.BroughtEngine->GetTheme()->ClassType(), TTeThemeLuna::StaticClass());
  // Set as the framework fixes them, except the resize rule, which is for new frames.
  EXPECT_EQ(dialog.BroughtForm->GetShowAnimation(), kaNone);
  EXPECT_EQ(dialog.BroughtForm->GetMagneticValue(), 20);
  EXPECT_TRUE(dialog.BroughtForm->GetCanResize());
}

TEST_F(DialogThemeTest, TheCaptionButtonsFollowTheDialogsBorderIcons) {
  TSampleDialog dialog(nullptr);
  TTeThemeForm* frame = dialog.GetThemeForm();
  EXPECT_TRUE(HasButton(frame, kbiClose));
  EXPECT_TRUE(HasButton(frame, kbiHelp));
  for (TKsBorderIcon icon : {kbiMinimize, kbiMaximize, kbiRollup, kbiTray, kbiSystemMenu})
    EXPECT_FALSE(HasButton(frame, icon)) << icon;
  // Help sits left of close.
  EXPECT_LT(frame->GetCaptionButtonRect(kbiHelp).right, frame->GetCaptionButtonRect(kbiClose).left + 1);

  TCloseOnlyDialog closeOnly(nullptr);
  EXPECT_EQ(closeOnly.GetThemeForm()->GetBorderIcons(), TKsBorderIcons{kbiClose});
  EXPECT_TRUE(HasButton(closeOnly.GetThemeForm(), kbiClose));
  EXPECT_FALSE(HasButton(closeOnly.GetThemeForm(), kbiHelp));
}

// ---- The colour rules -------------------------------------------------------------------------

TEST_F(DialogThemeTest, EveryControlGetsTheEngineAndTheColourRules) {
  TSampleDialog dialog(nullptr);
  TTeThemeEngine* engine = dialog.GetThemeEngine();
  EXPECT_EQ(dialog.Button->GetThemeEngine(), engine);  // in a panel
  EXPECT_EQ(dialog.Box->GetThemeEngine(), engine);
  EXPECT_EQ(dialog.Group->GetThemeEngine(), engine);

  EXPECT_EQ(dialog.GreyLabel->GetFont()->GetColor(), cl3DDkShadow);
  EXPECT_EQ(dialog.GreyLabel->GetFont()->GetName(), "Arial");
  EXPECT_EQ(dialog.PlainLabel->GetFont()->GetColor(), clNavy);
  EXPECT_EQ(dialog.PlainLabel->GetFont()->GetName(), "Tahoma");

  EXPECT_EQ(dialog.Box->GetHeight(), 19);
  EXPECT_EQ(dialog.Box->GetFont()->GetColor(), cl3DDkShadow);
  EXPECT_EQ(dialog.Box->GetFont()->GetName(), "Arial");

  // Directly on the dialog: a blue font, and nothing more.
  EXPECT_EQ(dialog.Edit->GetFont()->GetColor(), TColor(0xFF0000));
  EXPECT_EQ(dialog.Edit->GetColors()->GetFrameColor(), clRed);
  EXPECT_EQ(dialog.Edit->GetColors()->GetColor(), clYellow);
  EXPECT_TRUE(dialog.Edit->GetTransparent());
  // In a themed group box or a frame: plain window colours, not transparent.
  for (TCustomXPEdit* edit : {dialog.GroupEdit, dialog.FrameEdit}) {
    EXPECT_EQ(edit->GetColors()->GetFrameColor(), clBtnShadow);
    EXPECT_EQ(edit->GetColors()->GetColor(), clWindow);
    EXPECT_EQ(edit->GetColor(), clWindow);
    EXPECT_EQ(edit->GetFont()->GetColor(), clWindowText);
    EXPECT_FALSE(edit->GetTransparent());
  }
}

TEST_F(DialogThemeTest, ControlsPlacedAfterLoadingAreThemedToo) {
  TSampleDialog dialog(nullptr);
  dialog.Show();
  PumpPending();
  TTeThemeEngine* engine = dialog.GetThemeEngine();

  // Made by the dialog and placed in its panel.
  auto* button = new TTeThemeButton(&dialog);
  button->SetParent(dialog.Panel);
  EXPECT_EQ(button->GetThemeEngine(), engine);
  auto* box = new TTeThemeCheckBox(&dialog);
  box->SetParent(dialog.Group);
  EXPECT_EQ(box->GetHeight(), 19);

  // A frame takes the theme's face colour; what it holds is themed with it.
  auto* frame = new TFrame(nullptr);
  auto* inner = new TTeThemeButton(frame);
  inner->SetParent(frame);
  frame->SetParent(&dialog);
  EXPECT_EQ(frame->GetColor(), engine->GetTheme()->GetColor(11));
  EXPECT_EQ(inner->GetThemeEngine(), engine);

  // Handed over complete from another owner: themed as it becomes the dialog's.
  TForm elsewhere(nullptr);
  auto* moved = new TTeThemeButton(&elsewhere);
  moved->SetParent(&elsewhere);
  EXPECT_EQ(moved->GetThemeEngine(), nullptr);
  dialog.InsertComponent(moved);
  EXPECT_EQ(moved->GetThemeEngine(), engine);
  delete frame;
}

TEST_F(DialogThemeTest, WithoutTheRedirectionsTheDialogStillThemesItsOwnControls) {
  FinalizeDialogTheme();
  StartDialogTheme(std::string("C:\\Tools\\") + DevelopmentEnvironmentExe);
  ExpectOriginalSlots();
  TSampleDialog dialog(nullptr);
  ASSERT_NE(dialog.GetThemeEngine(), nullptr);
  // Placed directly on the dialog: the dialog hears of it (CM_CONTROLLISTCHANGE).
  auto* button = new TTeThemeButton(&dialog);
  button->SetParent(&dialog);
  EXPECT_EQ(button->GetThemeEngine(), dialog.GetThemeEngine());
  // A frame does not take the face colour; that comes with the redirected insertion.
  auto* frame = new TFrame(&dialog);
  frame->SetParent(&dialog);
  EXPECT_NE(frame->GetColor(), dialog.GetThemeEngine()->GetTheme()->GetColor(11));
}

// ---- The message box ------------------------------------------------------------------------------

TEST_F(DialogThemeTest, TheMessageBoxGetsTheDialogFrameWithACloseButton) {
  std::unique_ptr<TEDAClientMessageForm> plain;
  {
    FinalizeDialogTheme();
    plain.reset(BuildHostMessageForm("Cannot open the file", mtError, {mbOK}));
    StartDialogTheme("KivoHost.exe");
  }
  std::unique_ptr<TEDAClientMessageForm> form(BuildHostMessageForm("Cannot open the file", mtError, {mbOK}));
  auto* engine = static_cast<TTeThemeEngine*>(nullptr);
  TTeThemeForm* frame = nullptr;
  for (int i = 0; i < form->GetComponentCount(); ++i) {
    if (auto* e = ObjectAs<TTeThemeEngine>(form->GetComponent(i)))
      engine = e;
    if (auto* f = ObjectAs<TTeThemeForm>(form->GetComponent(i)))
      frame = f;
  }
  ASSERT_NE(engine, nullptr);
  ASSERT_NE(frame, nullptr);
  EXPECT_EQ(frame->GetThemeEngine(), engine);
  EXPECT_TRUE(frame->IsThemed());
  EXPECT_EQ(frame->GetBorderIcons(), TKsBorderIcons{kbiClose});
  EXPECT_FALSE(frame->GetCanResize());
  EXPECT_EQ(Count(plain.get(), TTeThemeForm::StaticClass()), 0);
  EXPECT_TRUE(ObjectAs<TLabel>(form->FindComponent("Message"))->GetTransparent());
  EXPECT_FALSE(ObjectAs<TLabel>(plain->FindComponent("Message"))->GetTransparent());
  // The layout's client size survives the frame.
  EXPECT_EQ(form->GetClientWidth(), plain->GetClientWidth());
  EXPECT_EQ(form->GetClientHeight(), plain->GetClientHeight());
}

// ---- Common dialogs and message dialogs on the active window's monitor -----------------------------

TEST_F(DialogThemeTest, ACommonDialogFrameIsCentredAcrossAndAThirdDown) {
  TStackedMonitors monitors;
  TMonitorProvider* previous = SetMonitorProvider(&monitors);
  TTestWindow frame({}, 600, 424);
  RECT r{};
  PlaceDialogOnMonitor(frame.Handle(), TStackedMonitors::Upper());
  GetWindowRect(frame.Handle(), &r);
  EXPECT_EQ(r.left, 340);
  EXPECT_EQ(r.top, 200);
  EXPECT_EQ(r.right - r.left, 600);
  PlaceDialogOnMonitor(frame.Handle(), TStackedMonitors::Lower());
  GetWindowRect(frame.Handle(), &r);
  EXPECT_EQ(r.left, 340);
  EXPECT_EQ(r.top, 1224);
  // An unknown monitor leaves it where it is.
  PlaceDialogOnMonitor(frame.Handle(), nullptr);
  GetWindowRect(frame.Handle(), &r);
  EXPECT_EQ(r.top, 1224);
  SetMonitorProvider(previous);
}

namespace {

// Over the framework's hook: after the framework has placed the system's open dialog,
// where its frame is, then Cancel.
RECT gPlacedFrame{};
int gInitDone = 0;
TCommonDialogHookProcType gUnderTestHook = nullptr;
UINT_PTR TestHook(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  const UINT_PTR result = gUnderTestHook(wnd, msg, wParam, lParam);
  if (msg == WM_NOTIFY && reinterpret_cast<NMHDR*>(lParam)->code == UINT(CDN_INITDONE)) {
    ++gInitDone;
    HWND frame = GetParent(wnd);
    GetWindowRect(frame, &gPlacedFrame);
    PostMessageA(frame, WM_COMMAND, IDCANCEL, 0);
  }
  return result;
}

}  // namespace

TEST_F(DialogThemeTest, TheSystemsOpenDialogComesUpOnTheMonitorOfTheActiveWindow) {
  TStackedMonitors monitors;
  monitors.Active = TStackedMonitors::Lower();
  TMonitorProvider* previous = SetMonitorProvider(&monitors);
  gUnderTestHook = CommonDialogHookProc;
  CommonDialogHookProc = TestHook;
  gInitDone = 0;
  TOpenDialog open(nullptr);
  open.SetFilter("KIVO files|*.pdf");
  EXPECT_FALSE(open.Execute());  // cancelled
  CommonDialogHookProc = gUnderTestHook;
  SetMonitorProvider(previous);

  EXPECT_EQ(DialogMonitor(), TStackedMonitors::Lower());
  ASSERT_EQ(gInitDone, 1);
  const int width = gPlacedFrame.right - gPlacedFrame.left, height = gPlacedFrame.bottom - gPlacedFrame.top;
  EXPECT_GT(width, 0);
  EXPECT_EQ(gPlacedFrame.left, (1280 - width) / 2);
  EXPECT_EQ(gPlacedFrame.top, 1024 + (1024 - height) / 3);
  EXPECT_TRUE(Exceptions.Messages.empty());
}

TEST_F(DialogThemeTest, AHookWithoutARecordedRunLeavesThePlacingToTheClassLibrary) {
  TStackedMonitors monitors;
  monitors.Active = TStackedMonitors::Lower();
  TMonitorProvider* previous = SetMonitorProvider(&monitors);
  TTestWindow frame({}, 300, 200);
  HWND child = CreateWindowExA(0, "STATIC", "", WS_CHILD, 0, 0, 10, 10, frame.Handle(), nullptr, nullptr, nullptr);
  OFNOTIFYA notify{};
  notify.hdr.hwndFrom = child;
  notify.hdr.code = UINT(CDN_INITDONE);
  auto initDone = [&] { return CommonDialogHook(child, WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&notify)); };

  // No run recorded a monitor: the class library centres the frame in the work area.
  ASSERT_EQ(DialogMonitor(), nullptr);
  EXPECT_EQ(initDone(), 0u);
  RECT r{};
  GetWindowRect(frame.Handle(), &r);
  const TRect area = Screen->GetWorkAreaRect();
  EXPECT_EQ(r.left, area.left + (RectWidth(area) - 300) / 2);

  // A run through the redirected modal run records the active window's monitor.
  OPENFILENAMEA ofn{};
  TOpenDialog open(nullptr);
  EXPECT_TRUE(CommonDialogModalRunProc(&open, [](OPENFILENAMEA*) __attribute__((stdcall)) -> BOOL { return TRUE; }, ofn));
  EXPECT_EQ(DialogMonitor(), TStackedMonitors::Lower());
  EXPECT_EQ(initDone(), 0u);
  GetWindowRect(frame.Handle(), &r);
  EXPECT_EQ(r.left, (1280 - 300) / 2);
  EXPECT_EQ(r.top, 1024 + (1024 - 200) / 3);
  DestroyWindow(child);
  SetMonitorProvider(previous);
}

TEST_F(DialogThemeTest, AMessageDialogIsCentredOnTheActiveWindowsMonitorOtherFormsByTheirPosition) {
  TStackedMonitors monitors;
  monitors.Active = TStackedMonitors::Lower();
  TMonitorProvider* previous = SetMonitorProvider(&monitors);
  std::unique_ptr<TForm> message(CreateMessageDialog("Saved.", mtInformation, {mbOK}));
  message->Show();
  const int w = message->GetWidth(), h = message->GetHeight();
  EXPECT_EQ(message->GetLeft(), (1280 - w) / 2);
  EXPECT_EQ(message->GetTop(), (1024 + 2048 - h) / 2);
  EXPECT_TRUE(IsWindowVisible(message->GetHandle()));
  message->Hide();

  // Any other form is placed by the class library, by its position.
  TForm form(nullptr);
  form.SetBounds(0, 0, 200, 100);
  form.SetPosition(poScreenCenter);
  form.Show();
  EXPECT_EQ(form.GetLeft(), (Screen->GetWidth() - 200) / 2);
  form.Hide();
  SetMonitorProvider(previous);
}

// ---- The slots -------------------------------------------------------------------------------------

namespace {

int gOtherCalls = 0;
TInsertControlProc gOtherPrevious = nullptr;
void OtherInsertControl(TWinControl* parent, TControl* control) {
  ++gOtherCalls;
  gOtherPrevious(parent, control);
}

int gOriginalCalls = 0;
void CountingOriginal(TWinControl* parent, TControl* control) {
  ++gOriginalCalls;
  InsertControlOriginal(parent, control);
}

}  // namespace

TEST_F(DialogThemeTest, ShutDownGivesTheFourSlotsBackAndInsideTheIDENothingIsRedirected) {
  EXPECT_TRUE(DialogPatchesInstalled());
  EXPECT_EQ(InsertControlProc, &PatchedInsertControl);
  EXPECT_EQ(ShowingChangedProc, &PatchedShowingChanged);
  EXPECT_EQ(CommonDialogHookProc, &PatchedDialogHook);
  EXPECT_EQ(CommonDialogModalRunProc, &PatchedModalRun);
  FinalizeDialogTheme();
  ExpectOriginalSlots();
  EXPECT_FALSE(DialogPatchesInstalled());

  EXPECT_TRUE(IsRunningInIDE("C:\\Tools\\kivoide.EXE"));
  EXPECT_TRUE(IsRunningInIDE(DevelopmentEnvironmentExe));
  EXPECT_FALSE(IsRunningInIDE("C:\\Host\\KivoHost.exe"));
  EXPECT_FALSE(IsRunningInIDE("C:\\KivoIDE.exe\\KivoHost.exe"));
  StartDialogTheme("Z:\\build\\KIVOIDE.exe");
  ExpectOriginalSlots();
  EXPECT_FALSE(DialogPatchesInstalled());
  EXPECT_EQ(DialogThemeHooks.CreateDialogTheme, &CreateDialogTheme);
}

TEST_F(DialogThemeTest, RemovalRestoresThePreviousSlotValueEvenWhenAnotherComponentCameBetween) {
  FinalizeDialogTheme();
  TForm form(nullptr);
  auto insert = [&] {
    auto* label = new TLabel(&form);
    label->SetParent(&form);
  };

  // Ours over a routine of another component, which it must get back exactly.
  InsertControlProc = CountingOriginal;
  StartDialogTheme("KivoHost.exe");
  EXPECT_EQ(InsertControlProc, &PatchedInsertControl);
  // A second component takes the slot over ours and gives it back.
  gOtherPrevious = InsertControlProc;
  InsertControlProc = OtherInsertControl;
  insert();
  EXPECT_EQ(gOtherCalls, 1);
  EXPECT_EQ(gOriginalCalls, 1);
  InsertControlProc = gOtherPrevious;
  FinalizeDialogTheme();
  EXPECT_EQ(InsertControlProc, &CountingOriginal);

  // Still covered at our removal: the other's routine stays in the slot, ours passes
  // calls straight on, and leaves the slot once it is back on top.
  StartDialogTheme("KivoHost.exe");
  gOtherPrevious = InsertControlProc;
  InsertControlProc = OtherInsertControl;
  FinalizeDialogTheme();
  EXPECT_EQ(InsertControlProc, &OtherInsertControl);
  insert();
  EXPECT_EQ(gOtherCalls, 2);
  EXPECT_EQ(gOriginalCalls, 2);
  // Installed again while still under the other: switched on, not chained twice.
  StartDialogTheme("KivoHost.exe");
  EXPECT_EQ(InsertControlProc, &OtherInsertControl);
  insert();
  EXPECT_EQ(gOtherCalls, 3);
  EXPECT_EQ(gOriginalCalls, 3);
  FinalizeDialogTheme();
  InsertControlProc = gOtherPrevious;  // the other component leaves
  EXPECT_EQ(InsertControlProc, &PatchedInsertControl);
  insert();
  EXPECT_EQ(gOriginalCalls, 4);
  EXPECT_EQ(InsertControlProc, &CountingOriginal);

  InsertControlProc = InsertControlOriginal;
  StartDialogTheme("KivoHost.exe");  // as the fixture's tear-down expects
}
