// Message dialogs, the file dialogs' replaceable routines and the UI automation.
#include "classlib/Automation.h"
#include "classlib/Dialogs.h"
#include "classlib/ExtCtrls.h"
#include "classlib/StdCtrls.h"
#include "tests/controls/ControlsTestSupport.h"

namespace {

TButton* ButtonOf(TForm* form, const char* name) { return ObjectAs<TButton>(form->FindComponent(name)); }

TEST(MessageDialogs, OkAloneIsBothDefaultAndCancelAndEachKindGetsItsResult) {
  TForm* form = CreateMessageDialog("Layer & net", mtError, {mbOK});
  EXPECT_TRUE(form->Is<TMessageForm>());
  EXPECT_EQ(form->GetCaption(), "Error");
  TButton* ok = ButtonOf(form, "OK");
  ASSERT_NE(ok, nullptr);
  EXPECT_TRUE(ok->GetDefault());
  EXPECT_TRUE(ok->GetCancel());
  EXPECT_EQ(ok->GetModalResult(), mrOk);
  EXPECT_NE(form->FindComponent("Image"), nullptr);
  delete form;

  form = CreateMessageDialog("", mtCustom, {mbYes, mbNo, mbAbort, mbRetry, mbIgnore, mbAll, mbNoToAll, mbYesToAll, mbHelp});
  EXPECT_EQ(form->FindComponent("Image"), nullptr);
  EXPECT_TRUE(ButtonOf(form, "Yes")->GetDefault());
  EXPECT_TRUE(ButtonOf(form, "No")->GetCancel());
  const std::pair<const char*, int> results[] = {{"Yes", 6}, {"No", 7}, {"Abort", 3}, {"Retry", 4}, {"Ignore", 5},
                                                 {"All", 8}, {"NoToAll", 9}, {"YesToAll", 10}, {"Help", 0}};
  for (auto [name, result] : results)
    EXPECT_EQ(ButtonOf(form, name)->GetModalResult(), result) << name;
  EXPECT_EQ(ButtonOf(form, "Yes")->GetCaption(), "&Yes");
  delete form;
}

TEST(MessageDialogs, EnterAndEscapeAnswerTheDefaultAndCancelButtons) {
  TExceptionRecorder exceptions;
  TUIAutomation automation(3000);
  automation.PressKey("Confirm", VK_ESCAPE);
  EXPECT_EQ(MessageDlg("Overwrite?", mtConfirmation, {mbYes, mbNo}, 0), mrNo);
  automation.PressKey("Confirm", VK_RETURN);
  EXPECT_EQ(MessageDlg("Overwrite?", mtConfirmation, {mbYes, mbNo}, 0), mrYes);
  EXPECT_TRUE(automation.GetDone()) << automation.GetFailure();
  EXPECT_TRUE(exceptions.Messages.empty());
}

// ---- File dialogs -----------------------------------------------------------------------

struct TRunLog {
  static inline int Replaced = 0, Functions = 0;
  static inline std::string Filter;
  static inline LPOFNHOOKPROC Hook = nullptr;
  static BOOL WINAPI FakeDialogFunc(OPENFILENAMEA* ofn) {
    ++Functions;
    Filter.assign(ofn->lpstrFilter, 30);
    Hook = ofn->lpfnHook;
    lstrcpyA(ofn->lpstrFile, "C:\\boards\\a.kvo");
    return TRUE;
  }
  static BOOL Replacement(TCommonDialog* dialog, TOpenFileNameFunc, OPENFILENAMEA& ofn) {
    ++Replaced;
    return CommonDialogModalRunOriginal(dialog, FakeDialogFunc, ofn);
  }
};

TEST(FileDialogs, ModalRunGoesThroughTheReplacementSlotWhenSet) {
  TOpenDialog dialog(nullptr);
  dialog.SetFilter("KIVO files|*.kvo|All files|*.*");
  CommonDialogModalRunProc = TRunLog::Replacement;
  EXPECT_TRUE(dialog.Execute());
  CommonDialogModalRunProc = CommonDialogModalRunOriginal;
  EXPECT_EQ(TRunLog::Replaced, 1);
  EXPECT_EQ(TRunLog::Functions, 1);
  EXPECT_EQ(dialog.GetFileName(), "C:\\boards\\a.kvo");
  EXPECT_EQ(TRunLog::Filter, std::string("KIVO files\0*.kvo\0All files\0*.*\0\0", 30));
  EXPECT_EQ(TRunLog::Hook, &CommonDialogHook);
  // The original runs the function it is given.
  OPENFILENAMEA ofn{};
  char file[MAX_PATH] = {};
  ofn.lpstrFile = file;
  ofn.lpstrFilter = "x\0*.x\0\0                              ";
  EXPECT_TRUE(CommonDialogModalRunProc(&dialog, TRunLog::FakeDialogFunc, ofn));
  EXPECT_EQ(TRunLog::Functions, 2);
  EXPECT_EQ(TRunLog::Replaced, 1);
}

TEST(FileDialogs, HookGoesToTheReplacementWhenSetAndCentresTheFrameOtherwise) {
  TExceptionRecorder exceptions;
  TTestWindow frame;
  HWND child = CreateWindowExA(0, "STATIC", "", WS_CHILD, 0, 0, 10, 10, frame.Handle(), nullptr, nullptr, nullptr);
  SetWindowPos(frame.Handle(), nullptr, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
  OFNOTIFYA notify{};
  notify.hdr.hwndFrom = child;
  notify.hdr.code = UINT(CDN_INITDONE);
  static int replaced = 0;
  CommonDialogHookProc = [](HWND, UINT msg, WPARAM, LPARAM) -> UINT_PTR {
    ++replaced;
    if (msg == WM_USER)
      throw Exception("stopped at the hook");
    return 7;
  };
  EXPECT_EQ(CommonDialogHook(child, WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&notify)), 7u);
  EXPECT_EQ(CommonDialogHook(child, WM_USER, 0, 0), 0u);  // the exception stops at the hook
  EXPECT_EQ(exceptions.Messages, std::vector<std::string>{"stopped at the hook"});
  CommonDialogHookProc = CommonDialogHookOriginal;
  EXPECT_EQ(replaced, 2);
  EXPECT_EQ(CommonDialogHook(child, WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&notify)), 0u);
  RECT r{};
  GetWindowRect(frame.Handle(), &r);
  const TRect area = Screen->GetWorkAreaRect();
  EXPECT_EQ(r.left, area.left + (RectWidth(area) - (r.right - r.left)) / 2);
  EXPECT_EQ(r.top, area.top + (RectHeight(area) - (r.bottom - r.top)) / 2);
  DestroyWindow(child);
}

// ---- Automation -------------------------------------------------------------------------

// A form with a button that opens the next level modally.
struct TLevel {
  TForm* Form;
  TButton* Open;
  std::function<int()> Next;
  int NextResult = -1;
  explicit TLevel(const std::string& caption) {
    Form = new TForm(nullptr);
    Form->SetCaption(caption);
    Form->SetPosition(poScreenCenter);
    Open = new TButton(Form);
    Open->SetName("OpenButton");
    Open->SetParent(Form);
    Open->SetCaption("&Open");
    Open->OnClick = TNotifyEvent::Bind<&TLevel::Clicked>(this);
    auto* cancel = new TButton(Form);
    cancel->SetParent(Form);
    cancel->SetTop(40);
    cancel->SetCaption("Cancel");
    cancel->SetCancel(true);
    cancel->SetModalResult(mrCancel);
  }
  ~TLevel() { delete Form; }
  void Clicked(TObject*) { NextResult = Next(); }
};

TEST(Automation, ClicksOkInAModalDialogThreeLevelsDeep) {
  TExceptionRecorder exceptions;
  TLevel first("Level 1"), second("Level 2");
  auto* view = new TCheckBox(second.Form);
  view->SetName("CheckBoxViewReport");
  view->SetParent(second.Form);
  view->SetTop(80);
  first.Next = [&] { return second.Form->ShowModal(); };
  second.Next = [] { return MessageDlg("Done", mtInformation, {mbOK, mbCancel}, 0); };
  TUIAutomation automation(3000);
  automation.ClickButton("Level 1", "Open");
  automation.TickCheckBox("Level 2", "CheckBoxViewReport");
  automation.ClickButton("Level 2", "OpenButton");
  automation.ClickButton("Information", "OK");
  automation.PressKey("Level 2", VK_ESCAPE);
  automation.ClickButton("Level 1", "Cancel");
  EXPECT_EQ(first.Form->ShowModal(), mrCancel);
  EXPECT_EQ(second.NextResult, mrOk);
  EXPECT_EQ(first.NextResult, mrCancel);
  EXPECT_TRUE(view->GetChecked());
  EXPECT_TRUE(automation.GetDone()) << automation.GetFailure();
  EXPECT_TRUE(exceptions.Messages.empty());
}

TEST(Automation, GivesUpWithAClearMessageWhenNoWindowAppears) {
  TUIAutomation automation(150);
  int failures = 0;
  struct TCount {
    int* Count;
    void Failed(TObject*) { ++*Count; }
  } count{&failures};
  automation.OnFailure = TNotifyEvent::Bind<&TCount::Failed>(&count);
  automation.ClickButton("Nowhere", "OK");
  automation.PressKey("Nowhere else", VK_RETURN);
  EXPECT_TRUE(PumpUntil([&] { return automation.GetFailed(); }, 3000));
  EXPECT_EQ(automation.GetFailure(), "No window \"Nowhere\" appeared within 150 ms; the automation gave up");
  EXPECT_EQ(failures, 1);
  EXPECT_FALSE(automation.GetDone());

  // A window that is there but lacks the control fails at once, naming both.
  TLevel level("Level 1");
  TUIAutomation missing(1000);
  missing.ClickButton("Level 1", "Apply");
  level.Form->Show();
  EXPECT_TRUE(PumpUntil([&] { return missing.GetFailed(); }, 3000));
  EXPECT_EQ(missing.GetFailure(), "The window \"Level 1\" has no control \"Apply\"");
}

TEST(Automation, DumpsTheControlTreeWithLabelsAndButtonStates) {
  TForm form(nullptr);
  form.SetName("Options");
  form.SetCaption("KIVO Importer");
  form.SetBounds(600, 400, 300, 200);
  auto* panel = new TPanel(&form);
  panel->SetName("Panel1");
  panel->SetParent(&form);
  panel->SetBounds(12, 16, 200, 43);
  panel->SetCaption("");
  auto* label = new TLabel(&form);
  label->SetName("LabelStatus");
  label->SetParent(panel);
  label->SetAutoSize(false);
  label->SetBounds(4, 4, 90, 13);
  label->SetCaption("Status: ");
  auto* check = new TCheckBox(&form);
  check->SetName("CheckBoxViewErrors");
  check->SetParent(&form);
  check->SetBounds(8, 98, 97, 17);
  check->SetCaption("View &Errors");
  check->SetChecked(true);
  auto* ok = new TButton(&form);
  ok->SetName("ButtonOK");
  ok->SetParent(&form);
  ok->SetBounds(125, 140, 75, 24);
  ok->SetCaption("&OK");
  ok->SetDefault(true);
  auto* cancel = new TButton(&form);
  cancel->SetName("ButtonCancel");
  cancel->SetParent(&form);
  cancel->SetBounds(205, 140, 75, 24);
  cancel->SetCaption("&Cancel");
  cancel->SetCancel(true);
  EXPECT_EQ(DumpControlTree(&form),
            "TForm Options \"KIVO Importer\" (600,400,300,200)\n"
            "  TPanel Panel1 \"\" (12,16,200,43)\n"
            "    TLabel LabelStatus \"Status: \" (4,4,90,13)\n"
            "  TCheckBox CheckBoxViewErrors \"View &Errors\" (8,98,97,17) checked\n"
            "  TButton ButtonOK \"&OK\" (125,140,75,24) default\n"
            "  TButton ButtonCancel \"&Cancel\" (205,140,75,24) cancel\n");
  EXPECT_EQ(DumpControlTree(nullptr), "");
}

}  // namespace
