// The hyperlink editor: starting the link by its key, clicks and double clicks,
// OnStartClick in place of the shell, exactly the text handed to the shell (through
// the replaceable routine, so no program starts), the hand cursor and the link's look.
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "classlib/Forms.h"
#include "classlib/GraphicsObjects.h"
#include "editors/DxExEdtr.h"
#include "editors/DxInplaceHyperLinkEdit.h"
#include "tests/editors/EditorsTestSupport.h"

namespace {

struct TShellCall {
  HWND Wnd;
  std::string Verb;
  std::string File;
  bool NoParameters;
  bool NoDirectory;
  INT Show;
};
std::vector<TShellCall> gShellCalls;

HINSTANCE WINAPI RecordShellExecute(HWND wnd, LPCSTR verb, LPCSTR file, LPCSTR parameters, LPCSTR directory,
                                    INT show) {
  gShellCalls.push_back({wnd, verb, file, parameters == nullptr, directory == nullptr, show});
  return reinterpret_cast<HINSTANCE>(33);
}

// The same editor working stand-alone.
class TStandAloneLink : public TdxInplaceHyperLinkEdit {
  KIVO_CLASS(TStandAloneLink, TdxInplaceHyperLinkEdit)
 public:
  explicit TStandAloneLink(TComponent* AOwner) : TdxInplaceHyperLinkEdit(AOwner, &MetaClass()) {}
  static bool IsInplace(const TdxInplaceEditClass&) { return false; }
};

class DxInplaceHyperLinkEditTest : public EditorTest {
 public:
  void Started(TObject* sender) { Starts.push_back(sender); }

 protected:
  void SetUp() override {
    EditorTest::SetUp();
    gShellCalls.clear();
    FSavedProc = DxShellExecuteProc;
    DxShellExecuteProc = &RecordShellExecute;
    Link = new TdxInplaceHyperLinkEdit(Container);
    Link->SetParent(Container);
    Link->SetBounds(10, 10, 120, 24);
    ShowForm();
    Link->ShowEdit(Rect(20, 30, 140, 54));
  }
  void TearDown() override {
    EditorTest::TearDown();
    DxShellExecuteProc = FSavedProc;
  }
  void Enter(HWND wnd) {
    SendMessageA(wnd, WM_KEYDOWN, VK_RETURN, 1);
    SendMessageA(wnd, WM_KEYUP, VK_RETURN, LPARAM(0xC0000001));
  }
  void ClickAt(HWND wnd, UINT down) {
    SendMessageA(wnd, down, MK_LBUTTON, MAKELPARAM(5, 5));
    SendMessageA(wnd, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
  }
  TdxInplaceHyperLinkEdit* Link = nullptr;
  std::vector<TObject*> Starts;
  TDxShellExecuteProc FSavedProc = nullptr;
};

TEST_F(DxInplaceHyperLinkEditTest, StartKeyCallsOnStartClick) {
  Link->OnStartClick = TNotifyEvent::Bind<&DxInplaceHyperLinkEditTest::Started>(this);
  Link->SetText("   ");
  Enter(Link->GetHandle());
  EXPECT_TRUE(Starts.empty()) << "a plain Enter does not start the link";
  EXPECT_EQ(Container->KeysDown, std::vector<WORD>{VK_RETURN}) << "it goes to the container";
  {
    TCtrlHeld ctrl;
    Enter(Link->GetHandle());
  }
  ASSERT_EQ(Starts.size(), 1u) << "Ctrl+Enter starts it, even for a blank text";
  EXPECT_EQ(Starts[0], Link);
  EXPECT_TRUE(gShellCalls.empty()) << "OnStartClick replaces the shell";

  Link->SetStartKey(ShortCut(VK_F5, {}));
  SendMessageA(Link->GetHandle(), WM_KEYDOWN, VK_F5, 1);
  EXPECT_EQ(Starts.size(), 2u);
}

TEST_F(DxInplaceHyperLinkEditTest, ShellGetsExactlyTheLinkText) {
  Link->SetText(" \t ");
  {
    TCtrlHeld ctrl;
    Enter(Link->GetHandle());
  }
  EXPECT_TRUE(gShellCalls.empty()) << "a blank link starts nothing";

  Link->SetText(" http://example.invalid/a b ");
  {
    TCtrlHeld ctrl;
    Enter(Link->GetHandle());
  }
  ASSERT_EQ(gShellCalls.size(), 1u);
  const TShellCall& call = gShellCalls[0];
  EXPECT_EQ(call.File, " http://example.invalid/a b ") << "the text untrimmed";
  EXPECT_EQ(call.Verb, "OPEN");
  EXPECT_EQ(call.Wnd, Form->GetHandle());
  EXPECT_TRUE(call.NoParameters);
  EXPECT_TRUE(call.NoDirectory);
  EXPECT_EQ(call.Show, SW_SHOWMAXIMIZED);
}

TEST_F(DxInplaceHyperLinkEditTest, ClicksStartTheLinkByMode) {
  Link->SetText("mailto:someone");
  ClickAt(Link->GetHandle(), WM_LBUTTONDOWN);
  EXPECT_EQ(gShellCalls.size(), 1u) << "in place, a click starts the link";

  auto* alone = new TStandAloneLink(Form);
  alone->SetParent(Form);
  alone->SetBounds(10, 100, 120, 24);
  alone->SetText("file.txt");
  gShellCalls.clear();
  ClickAt(alone->GetHandle(), WM_LBUTTONDOWN);
  EXPECT_TRUE(gShellCalls.empty()) << "an editable stand-alone link needs a double click";
  ClickAt(alone->GetHandle(), WM_LBUTTONDBLCLK);
  EXPECT_EQ(gShellCalls.size(), 1u);
  alone->SetSingleClick(true);
  ClickAt(alone->GetHandle(), WM_LBUTTONDOWN);
  EXPECT_EQ(gShellCalls.size(), 2u) << "with SingleClick one click does";
  alone->ClickAction();
  EXPECT_EQ(gShellCalls.size(), 3u) << "and so does the container's click";
}

TEST_F(DxInplaceHyperLinkEditTest, HandCursorOverALink) {
  ASSERT_NE(Screen->GetCursors(crDxHandPoint), nullptr) << "the module loaded the hand cursor";
  std::unique_ptr<TdxEditViewData> v(Link->CreateViewData(false));
  auto* link = ObjectAs<TdxHyperLinkEditViewData>(v.get());
  ASSERT_NE(link, nullptr);
  EXPECT_TRUE(link->HandCursor) << "in place, always";
  EXPECT_EQ(Link->EditClass()->GetCursor(0, 0, v.get()), crDxHandPoint);

  auto* alone = new TStandAloneLink(Form);
  alone->SetParent(Form);
  v.reset(alone->CreateViewData(false));
  EXPECT_FALSE(ObjectAs<TdxHyperLinkEditViewData>(v.get())->HandCursor) << "editable stand-alone: the text cursor";
  EXPECT_NE(alone->EditClass()->GetCursor(0, 0, v.get()), crDxHandPoint);
  alone->SetReadOnly(true);
  v.reset(alone->CreateViewData(false));
  EXPECT_TRUE(ObjectAs<TdxHyperLinkEditViewData>(v.get())->HandCursor) << "a read-only one is a link";
}

TEST_F(DxInplaceHyperLinkEditTest, LinkLooksUnderlinedInTheLinkColour) {
  TFont* font = Link->GetLinkFont();
  EXPECT_TRUE(font->GetStyle().Contains(fsUnderline));
  EXPECT_EQ(font->GetColor(), clBlue);
  EXPECT_EQ(font->GetName(), Link->GetFont()->GetName());
  Link->SetLinkColor(clRed);
  EXPECT_EQ(font->GetColor(), clRed);
  std::unique_ptr<TdxEditViewData> v(Link->CreateViewData(true));
  EXPECT_EQ(v->TextColor, RGB(255, 0, 0));
  EXPECT_EQ(v->Font, font->GetHandle());

  CHARFORMAT2A format{};
  format.cbSize = sizeof format;
  SendMessageA(Link->GetHandle(), EM_GETCHARFORMAT, SCF_DEFAULT, reinterpret_cast<LPARAM>(&format));
  EXPECT_EQ(format.crTextColor, RGB(255, 0, 0)) << "the edit window shows the link colour";
  EXPECT_EQ(format.bUnderlineType, CFU_UNDERLINE);
  EXPECT_FALSE(Link->GetAutoSelect()) << "entering the editor does not select its text";
}

}  // namespace
