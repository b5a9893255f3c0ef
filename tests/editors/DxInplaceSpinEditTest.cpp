// The spin editor: bounds, reading the text as a number under both decimal separators,
// stepping by keys, wheel and buttons (hit testing, repeat timer, double click), and
// the editor-disabled and Ctrl-only modes.
#include <algorithm>
#include <memory>
#include <string>

#include <gtest/gtest.h>

#include "classlib/Clipboard.h"
#include "classlib/FormatSettings.h"
#include "editors/DxInplaceSpinEdit.h"
#include "tests/editors/EditorsTestSupport.h"

namespace {

class TTestSpinEdit : public TdxInplaceSpinEdit {
  KIVO_CLASS(TTestSpinEdit, TdxInplaceSpinEdit)
 public:
  using TdxInplaceSpinEdit::TdxInplaceSpinEdit;
  using TdxInplaceSpinEdit::KeyDown;
  using TdxInplaceSpinEdit::KeyPress;
  using TdxInplaceSpinEdit::KeyUp;
  void Key(WORD key, TShiftState shift = {}) { KeyDown(key, shift); }
};

class DxInplaceSpinEditTest : public EditorTest {
 protected:
  void SetUp() override {
    EditorTest::SetUp();
    Spin = new TTestSpinEdit(Container);
    Spin->SetParent(Container);
    Spin->SetBounds(10, 10, 100, 24);
  }
  void TearDown() override {
    FormatSettings.DecimalSeparator = '.';
    EditorTest::TearDown();
  }
  // The screen point at the middle of the up or down button.
  LPARAM ButtonPoint(bool up) {
    RECT w{};
    GetWindowRect(Spin->GetHandle(), &w);
    const int y = up ? w.top + 5 : w.bottom - 5;
    return MAKELPARAM(w.right - 6, y);
  }
  TTestSpinEdit* Spin = nullptr;
};

TEST_F(DxInplaceSpinEditTest, BoundsApplyOnlyWhenMinAndMaxDiffer) {
  EXPECT_EQ(Spin->GetText(), "0");
  Spin->SetValue(-50);
  EXPECT_EQ(Spin->GetText(), "-50") << "0 .. 0 bounds nothing";
  Spin->AssignMinMaxValues(0, 10);
  EXPECT_EQ(Spin->GetText(), "0");
  Spin->SetValue(10);
  Spin->Key(VK_UP);
  EXPECT_EQ(Spin->GetText(), "10") << "stepping up from the maximum stays there";
  Spin->SetText("15");
  Spin->SetModified(true);
  Spin->ValidateEdit();
  EXPECT_EQ(Spin->GetText(), "10");
  Spin->AssignMinMaxValues(5, 3);
  EXPECT_EQ(Spin->GetMinValue(), 3);
  EXPECT_EQ(Spin->GetMaxValue(), 3);
  Spin->RestoreDefaults();
  EXPECT_EQ(Spin->GetMaxValue(), 0);
}

TEST_F(DxInplaceSpinEditTest, TextReadsAsANumber) {
  Spin->AssignMinMaxValues(2.6, 9);
  Spin->SetText("");
  EXPECT_EQ(Spin->GetValue(), 3) << "an empty integer text reads as the rounded minimum";
  Spin->SetText("abc");
  EXPECT_EQ(Spin->GetValue(), 3);
  Spin->AssignValueType(vtFloat);
  FormatSettings.DecimalSeparator = ',';
  Spin->SetText("1.5");
  EXPECT_DOUBLE_EQ(Spin->GetValue(), 1.5);
  Spin->SetText("1,5");
  EXPECT_DOUBLE_EQ(Spin->GetValue(), 1.5);
  char key = '.';
  Spin->KeyPress(key);
  EXPECT_EQ(key, ',') << "a typed point becomes the locale's separator";
}

TEST_F(DxInplaceSpinEditTest, KeysAndWheelStep) {
  Spin->SetIncrement(2);
  Spin->Key(VK_UP);
  Spin->Key(VK_UP);
  EXPECT_EQ(Spin->GetText(), "4");
  EXPECT_TRUE(Spin->GetModified());
  WORD up = VK_UP;
  Spin->KeyUp(up, {});
  EXPECT_EQ(Spin->GetPressedButton(), sbNone);
  SendMessageA(Spin->GetHandle(), WM_MOUSEWHEEL, MAKEWPARAM(0, WORD(-WHEEL_DELTA)), 0);
  EXPECT_EQ(Spin->GetText(), "2");
  EXPECT_EQ(Container->Scrolls, 0) << "the editor takes the wheel itself";
  Spin->SetUseCtrlIncrement(true);
  Spin->Key(VK_UP);
  EXPECT_EQ(Spin->GetText(), "2") << "Up without Ctrl does not step";
  Spin->Key(VK_UP, {ssCtrl});
  EXPECT_EQ(Spin->GetText(), "4");
}

TEST_F(DxInplaceSpinEditTest, DisabledEditorStillSteps) {
  Spin->SetEditorEnabled(false);
  char key = '5';
  Spin->KeyPress(key);
  EXPECT_EQ(key, 0);
  Spin->SetText("7");
  Clipboard()->SetAsText("99");
  Spin->Perform(WM_PASTE);
  EXPECT_EQ(Spin->GetText(), "7");
  Spin->Key(VK_DOWN);
  EXPECT_EQ(Spin->GetText(), "6");
}

TEST_F(DxInplaceSpinEditTest, ButtonsLieInTheFrameAndRepeatWhileHeld) {
  ShowForm();
  Spin->ShowEdit(Rect(20, 30, 120, 54));
  EXPECT_EQ(SendMessageA(Spin->GetHandle(), WM_NCHITTEST, 0, ButtonPoint(true)), HTBORDER);
  EXPECT_EQ(Spin->GetHotButton(), sbUp);
  SendMessageA(Spin->GetHandle(), WM_NCLBUTTONDOWN, HTBORDER, ButtonPoint(true));
  EXPECT_EQ(Spin->GetText(), "1") << "a press steps at once";
  EXPECT_TRUE(Spin->IsRepeating());
  SendMessageA(Spin->GetHandle(), WM_TIMER, 100, 0);
  EXPECT_EQ(Spin->GetText(), "2");
  EXPECT_TRUE(Spin->IsRepeating());
  SendMessageA(Spin->GetHandle(), WM_LBUTTONUP, 0, 0);
  EXPECT_FALSE(Spin->IsRepeating());
  EXPECT_EQ(Spin->GetPressedButton(), sbNone);

  EXPECT_EQ(SendMessageA(Spin->GetHandle(), WM_NCHITTEST, 0, ButtonPoint(false)), HTBORDER);
  EXPECT_EQ(Spin->GetHotButton(), sbDown);
  SendMessageA(Spin->GetHandle(), WM_NCLBUTTONDOWN, HTBORDER, ButtonPoint(false));
  SendMessageA(Spin->GetHandle(), WM_NCLBUTTONUP, HTBORDER, ButtonPoint(false));
  SendMessageA(Spin->GetHandle(), WM_LBUTTONUP, 0, 0);
  SendMessageA(Spin->GetHandle(), WM_NCHITTEST, 0, ButtonPoint(false));
  SendMessageA(Spin->GetHandle(), WM_NCLBUTTONDBLCLK, HTBORDER, ButtonPoint(false));
  SendMessageA(Spin->GetHandle(), WM_LBUTTONUP, 0, 0);
  EXPECT_EQ(Spin->GetText(), "0") << "a click and a double click step down twice";
}

// The system's scroll-bar width set for a scope (not saved to the user's settings).
class TScrollWidthScope {
 public:
  explicit TScrollWidthScope(int width) {
    FSaved.cbSize = sizeof FSaved;
    SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, sizeof FSaved, &FSaved, 0);
    NONCLIENTMETRICSA changed = FSaved;
    changed.iScrollWidth = width;
    SystemParametersInfoA(SPI_SETNONCLIENTMETRICS, sizeof changed, &changed, 0);
  }
  ~TScrollWidthScope() { SystemParametersInfoA(SPI_SETNONCLIENTMETRICS, sizeof FSaved, &FSaved, 0); }

 private:
  NONCLIENTMETRICSA FSaved{};
};

TEST_F(DxInplaceSpinEditTest, ButtonWidthFollowsTheLook) {
  std::unique_ptr<TdxEditViewData> v(Spin->CreateViewData(false));
  RECT client{};
  GetClientRect(Spin->GetHandle(), &client);
  EXPECT_EQ(client.right, 96 - TdxInplaceSpinEdit::GetSpinButtonWidth(v.get()));
  // The system scroll-bar width made odd by one less, at least 13, one less again flat.
  const struct {
    int ScrollWidth, Width, FlatWidth;
  } cases[] = {{16, 15, 14}, {17, 17, 16}, {12, 13, 12}, {9, 13, 12}, {22, 21, 20}};
  for (const auto& c : cases) {
    TScrollWidthScope scrollWidth(c.ScrollWidth);
    ASSERT_EQ(GetSystemMetrics(SM_CXVSCROLL), c.ScrollWidth);
    Spin->GetStyle()->SetButtonStyle(bts3D);
    v.reset(Spin->CreateViewData(false));
    EXPECT_EQ(TdxInplaceSpinEdit::GetSpinButtonWidth(v.get()), c.Width) << c.ScrollWidth;
    Spin->GetStyle()->SetButtonStyle(btsFlat);
    v.reset(Spin->CreateViewData(false));
    EXPECT_EQ(TdxInplaceSpinEdit::GetSpinButtonWidth(v.get()), c.FlatWidth) << c.ScrollWidth;
  }
  Spin->GetStyle()->SetButtonTransparence(ebtHideInactive);
  v.reset(Spin->CreateViewData(false));
  EXPECT_EQ(TdxInplaceSpinEdit::GetSpinButtonWidth(v.get()), 0);
}

}  // namespace
