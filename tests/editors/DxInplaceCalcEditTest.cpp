// The calculator editor: its popup opening on the editor's text and taking the focus
// and the keys, Enter keeping the result and Escape the old text, the error text left
// as 0, quick closing on "=", and the popup's set-up from the editor.
#include <string>

#include <gtest/gtest.h>

#include "editors/DxInplaceCalcEdit.h"
#include "tests/editors/EditorsTestSupport.h"

namespace {

constexpr LPARAM kAltDown = 0x20000000;

class DxInplaceCalcEditTest : public EditorTest {
 protected:
  void SetUp() override {
    EditorTest::SetUp();
    Calc = new TdxInplaceCalcEdit(Container);
    Calc->SetParent(Container);
    Calc->SetBounds(10, 10, 120, 24);
    ShowForm();
    Calc->ShowEdit(Rect(20, 30, 140, 54));
    Calc->SetText("12");
    Calc->SetModified(false);
  }
  void Open() {
    SendMessageA(Calc->GetHandle(), WM_SYSKEYDOWN, VK_DOWN, kAltDown);
    PumpPending();
  }
  bool PopupShown() {
    TdxPopupCalculator* popup = Calc->GetPopupCalculator();
    return popup && popup->HandleAllocated() && IsWindowVisible(popup->GetHandle());
  }
  // Keys go where the keyboard sends them: to the focused window.
  void Stroke(WORD vk, char c) { SendStroke(GetFocus(), vk, c); }
  void Type(const std::string& keys) { SendKeys(GetFocus(), keys); }
  TdxInplaceCalcEdit* Calc = nullptr;
};

TEST_F(DxInplaceCalcEditTest, EnterComputesAndKeepsTheResult) {
  Open();
  ASSERT_TRUE(Calc->GetDroppedDown());
  ASSERT_TRUE(PopupShown());
  TdxPopupCalculator* popup = Calc->GetPopupCalculator();
  EXPECT_EQ(GetFocus(), popup->GetHandle()) << "the calculator takes the focus";
  Type("*2");
  EXPECT_EQ(Calc->GetText(), "2") << "the calculator works on the editor's text";
  Stroke(VK_RETURN, '\r');
  PumpPending();
  EXPECT_EQ(Calc->GetText(), "24");
  EXPECT_TRUE(Calc->GetModified());
  EXPECT_FALSE(PopupShown());
  EXPECT_FALSE(Calc->GetDroppedDown());
  EXPECT_EQ(GetFocus(), Calc->GetHandle()) << "the focus is back in the editor";
}

TEST_F(DxInplaceCalcEditTest, EscapeLeavesTheOldValue) {
  Open();
  Type("*2");
  Stroke(VK_ESCAPE, 27);
  PumpPending();
  EXPECT_FALSE(PopupShown());
  EXPECT_EQ(Calc->GetText(), "12");
  EXPECT_FALSE(Calc->GetModified());

  Open();
  Type("+1");
  SendMessageA(GetFocus(), WM_SYSKEYDOWN, VK_UP, kAltDown);
  PumpPending();
  EXPECT_FALSE(PopupShown());
  EXPECT_EQ(Calc->GetText(), "1") << "Alt+Up closes keeping what the calculator wrote";
}

TEST_F(DxInplaceCalcEditTest, ErrorTextIsLeftAsZero) {
  Open();
  Type("/0=");
  EXPECT_EQ(Calc->GetText(), "Error");
  Stroke(VK_F4, 0);
  PumpPending();
  EXPECT_FALSE(PopupShown());
  EXPECT_EQ(Calc->GetText(), "0");
  EXPECT_TRUE(Calc->GetModified());
}

TEST_F(DxInplaceCalcEditTest, QuickCloseClosesOnEquals) {
  Open();
  Type("+3=");
  EXPECT_EQ(Calc->GetText(), "15");
  EXPECT_TRUE(PopupShown()) << "without QuickClose the popup stays";
  Stroke(VK_ESCAPE, 27);
  PumpPending();

  Calc->SetQuickClose(true);
  Open();
  Type("+3=");
  PumpPending();
  EXPECT_FALSE(PopupShown());
  EXPECT_EQ(Calc->GetText(), "15");
}

TEST_F(DxInplaceCalcEditTest, PopupTakesTheEditorsSettings) {
  Calc->SetPrecision(4);
  Calc->SetButtonStyle(bsFlat);
  Calc->SetShowButtonFrame(true);
  Calc->SetBeepOnError(false);
  Open();
  TdxPopupCalculator* popup = Calc->GetPopupCalculator();
  ASSERT_NE(popup, nullptr);
  EXPECT_TRUE(popup->GetIsPopup());
  EXPECT_EQ(popup->GetEditor(), Calc);
  EXPECT_EQ(popup->GetOwnerEdit(), Calc);
  EXPECT_EQ(popup->GetPrecision(), 4);
  EXPECT_EQ(popup->GetButtonStyle(), bsFlat);
  EXPECT_TRUE(popup->GetShowButtonFrame());
  EXPECT_FALSE(popup->GetShowFocusRect());
  EXPECT_EQ(popup->GetPopupBorder(), pbFrame3D) << "the container's default";
  EXPECT_EQ(GetWindowLongA(popup->GetHandle(), GWL_STYLE) & ~(WS_VISIBLE | WS_CLIPSIBLINGS), LONG(WS_POPUP));
  RECT editor{}, placed{};
  GetWindowRect(Calc->GetHandle(), &editor);
  GetWindowRect(popup->GetHandle(), &placed);
  EXPECT_EQ(placed.top, editor.bottom) << "below the editor";
  const int border = TdxInplacePopupControl::BorderWidth(pbFrame3D);
  EXPECT_EQ(placed.right - placed.left, popup->GetCalcWidth() + 2 * border) << "the window fits the layout";
  Type("12345");
  EXPECT_EQ(Calc->GetText(), "1234") << "the editor's precision";
  Stroke(VK_ESCAPE, 27);
  PumpPending();

  Calc->SetReadOnly(true);
  Open();
  EXPECT_FALSE(Calc->GetDroppedDown()) << "a read-only editor opens no calculator";
}

}  // namespace
