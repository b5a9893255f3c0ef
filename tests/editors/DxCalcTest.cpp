// The calculator driven by real key and mouse messages: the engine (operators, percent,
// square root, reciprocal, sign, memory, the error state and its way out), the digit
// limit, the key table (key codes and characters apart), held keys, clicks and drags on
// the buttons, the clipboard, the layout's scaling, and the buttons' look.
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "classlib/AliveGuard.h"
#include "classlib/Clipboard.h"
#include "classlib/FormatSettings.h"
#include "classlib/GdiHandles.h"
#include "editors/DxCalc.h"
#include "tests/editors/EditorsTestSupport.h"
#include "tests/editors/GuardedHeap.h"

namespace {

// A calculator whose display is a string, counting the engine's reads and writes.
class TTextCalculator : public TCustomdxCalculator {
  KIVO_CLASS(TTextCalculator, TCustomdxCalculator)
 public:
  using TCustomdxCalculator::TCustomdxCalculator;
  std::string Display = "0";
  int Reads = 0;
  int Writes = 0;
  std::string GetDisplayText() override {
    ++Reads;
    return Display;
  }
  void SetDisplayText(const std::string& text) override {
    ++Writes;
    Display = text;
  }
};

constexpr LPARAM kRepeat = 0x40000001;  // the key was already down
constexpr LPARAM kRelease = LPARAM(0xC0000001);

class DxCalcTest : public FormTest {
 public:
  void Result(TObject*) { ++Results; }
  void Error(TObject*) { ++Errors; }

 protected:
  void SetUp() override {
    FormTest::SetUp();
    Calc = new TTextCalculator(Form);
    Calc->SetParent(Form);
    Calc->SetBeepOnError(false);
    Calc->OnResult = TNotifyEvent::Bind<&DxCalcTest::Result>(this);
    Calc->OnError = TNotifyEvent::Bind<&DxCalcTest::Error>(this);
    ShowForm();
    Wnd = Calc->GetHandle();
  }
  void TearDown() override {
    FormatSettings = TFormatSettings{};
    FormTest::TearDown();
  }
  void Stroke(WORD vk, char c) { SendStroke(Wnd, vk, c); }
  void Type(const std::string& keys) { SendKeys(Wnd, keys); }
  LPARAM Center(TdxCalcButtonKind kind) {
    const TRect& b = Calc->GetButton(kind).Bounds;
    return MAKELPARAM((b.left + b.right) / 2, (b.top + b.bottom) / 2);
  }
  void Click(TdxCalcButtonKind kind) {
    SendMessageA(Wnd, WM_LBUTTONDOWN, MK_LBUTTON, Center(kind));
    SendMessageA(Wnd, WM_LBUTTONUP, 0, Center(kind));
  }
  const std::string& Shown() const { return Calc->Display; }

  TTextCalculator* Calc = nullptr;
  HWND Wnd = nullptr;
  int Results = 0;
  int Errors = 0;
};

TEST_F(DxCalcTest, EqualsAgainDoesNotRepeatTheOperation) {
  Type("2+3=");
  EXPECT_EQ(Shown(), "5");
  EXPECT_EQ(Results, 1);
  Type("=");
  EXPECT_EQ(Shown(), "5");
  EXPECT_EQ(Results, 2);
  Stroke(VK_RETURN, '\r');
  EXPECT_EQ(Shown(), "5") << "Enter is \"=\"";
  Type("7");
  EXPECT_EQ(Shown(), "7") << "a digit after a result starts a new number";
  EXPECT_EQ(Calc->GetStatus(), csEntry);
}

TEST_F(DxCalcTest, PercentTakesItsBaseFromTheOperator) {
  Type("50+10%");
  EXPECT_EQ(Shown(), "55") << "50 + 50 x 10 / 100";
  EXPECT_EQ(Results, 1);
  Type("50*10%");
  EXPECT_EQ(Shown(), "5") << "50 x 0.1";
  Type("50-10%");
  EXPECT_EQ(Shown(), "45");
  Type("8/50%");
  EXPECT_EQ(Shown(), "16");
}

TEST_F(DxCalcTest, RootReciprocalAndTheErrorState) {
  Type("9@");
  EXPECT_EQ(Shown(), "3");
  Type("4");
  Stroke(VK_F9, 0);
  EXPECT_EQ(Shown(), "-4");
  Type("@");
  EXPECT_EQ(Shown(), "Error");
  EXPECT_EQ(Calc->GetStatus(), csError);
  EXPECT_EQ(Errors, 1);
  Type("5");
  EXPECT_EQ(Shown(), "Error") << "a digit changes nothing";
  EXPECT_EQ(Errors, 2) << "every button but CE and C repeats the error";
  Stroke('C', 'c');
  EXPECT_EQ(Shown(), "0");
  EXPECT_EQ(Calc->GetStatus(), csResult);

  Type("4");
  Stroke('R', 'r');
  EXPECT_EQ(Shown(), "0.25") << "R is 1/x";
  Type("0");
  Stroke('R', 'r');
  EXPECT_EQ(Shown(), "Error");
  Stroke(VK_DELETE, 0);
  EXPECT_EQ(Shown(), "0") << "Delete is CE";
  Type("10+9@=");
  EXPECT_EQ(Shown(), "13") << "after an operator the root stands as the second operand";
}

TEST_F(DxCalcTest, DivisionByZeroOverflowAndNoNumberShowTheError) {
  Type("5/0=");
  EXPECT_EQ(Shown(), "Error");
  Stroke(VK_ESCAPE, 27);
  EXPECT_EQ(Shown(), "0") << "Escape is C";

  // Overflow: a sum beyond the range of a real showed "INF" or digits of nothing.
  Clipboard()->SetAsText("1e300");
  Calc->PasteFromClipboard();
  EXPECT_EQ(Shown(), "1E300");
  Type("*");
  Calc->PasteFromClipboard();
  Type("=");
  EXPECT_EQ(Shown(), "Error");
  EXPECT_EQ(Calc->GetStatus(), csError);

  // A display that is no number is an error when an operator reads it.
  Stroke('C', 'c');
  Type("2");
  Calc->Display = "two";
  Type("+");
  EXPECT_EQ(Shown(), "Error");
}

TEST_F(DxCalcTest, PrecisionLimitsTheDigits) {
  Type("123456789012345");
  EXPECT_EQ(Shown(), "1234567890123") << "13 characters";
  Stroke(VK_ESCAPE, 27);
  Type("1.23456789012345");
  EXPECT_EQ(Shown(), "1.23456789012") << "the separator counts";
  Stroke(VK_ESCAPE, 27);
  Type("12");
  Stroke(VK_F9, 0);
  Type("345678901234567");
  EXPECT_EQ(Shown(), "-1234567890123") << "a negative number takes 14";
  Calc->SetPrecision(0);
  Stroke(VK_ESCAPE, 27);
  Type("123");
  EXPECT_EQ(Shown(), "12") << "the effective precision is at least 2";
}

TEST_F(DxCalcTest, MemoryButtonsAndTheirGreying) {
  EXPECT_TRUE(Calc->GetButton(cbMC).Grayed);
  EXPECT_TRUE(Calc->GetButton(cbMR).Grayed);
  Type("5");
  {
    TCtrlHeld ctrl;
    // Ctrl+M also types a carriage return; it must not press "=" as well.
    Stroke('M', '\r');
  }
  EXPECT_EQ(Calc->GetMemory(), 5);
  EXPECT_FALSE(Calc->GetButton(cbMR).Grayed);
  EXPECT_EQ(Results, 0) << "Ctrl+M pressed only MS";
  EXPECT_EQ(Calc->GetLastOperation(), cbEqual);
  Type("3");
  {
    TCtrlHeld ctrl;
    Stroke('P', 16);
  }
  EXPECT_EQ(Calc->GetMemory(), 8);
  Stroke(VK_ESCAPE, 27);
  {
    TCtrlHeld ctrl;
    Stroke('R', 18);
  }
  EXPECT_EQ(Shown(), "8");
  Type("+2=");
  EXPECT_EQ(Shown(), "10") << "the recalled value is an operand";
  {
    TCtrlHeld ctrl;
    Stroke('L', 12);
  }
  EXPECT_EQ(Calc->GetMemory(), 0);
  EXPECT_TRUE(Calc->GetButton(cbMC).Grayed);

  Click(cbMS);
  EXPECT_EQ(Calc->GetMemory(), 10);
  Calc->SetBounds(0, 0, 300, 200);
  EXPECT_EQ(Calc->GetMemory(), 0) << "a new layout clears the memory";
  EXPECT_TRUE(Calc->GetButton(cbMC).Grayed);
  EXPECT_TRUE(Calc->GetButton(cbMR).Grayed);
}

TEST_F(DxCalcTest, HeldBackspaceRepeatsAndAHeldDigitDoesNot) {
  Type("1");
  SendMessageA(Wnd, WM_KEYDOWN, '5', 1);
  for (int i = 0; i < 3; ++i) {
    SendMessageA(Wnd, WM_CHAR, '5', i == 0 ? 1 : kRepeat);
    SendMessageA(Wnd, WM_KEYDOWN, '5', kRepeat);
  }
  EXPECT_EQ(Shown(), "15");
  EXPECT_TRUE(Calc->GetButton(cbNum5).Down);
  SendMessageA(Wnd, WM_KEYUP, '5', kRelease);
  EXPECT_FALSE(Calc->GetButton(cbNum5).Down);
  EXPECT_EQ(Calc->GetKeyButton(), cbNone);

  Type("6789");
  SendMessageA(Wnd, WM_KEYDOWN, VK_BACK, 1);
  for (int i = 0; i < 3; ++i) {
    SendMessageA(Wnd, WM_CHAR, '\b', i == 0 ? 1 : kRepeat);
    SendMessageA(Wnd, WM_KEYDOWN, VK_BACK, kRepeat);
  }
  SendMessageA(Wnd, WM_KEYUP, VK_BACK, kRelease);
  EXPECT_EQ(Shown(), "156");
  Type("\b\b\b");
  EXPECT_EQ(Shown(), "0");
  Type("7");
  Stroke(VK_F9, 0);
  Type("\b");
  EXPECT_EQ(Shown(), "0") << "a minus and one digit go together";
}

TEST_F(DxCalcTest, MouseClicksAndDragsOffAButton) {
  Click(cbNum7);
  Click(cbMul);
  Click(cbNum6);
  Click(cbEqual);
  EXPECT_EQ(Shown(), "42");
  Click(cbDecimal);
  Click(cbNum5);
  EXPECT_EQ(Shown(), "0.5");

  SendMessageA(Wnd, WM_LBUTTONDOWN, MK_LBUTTON, Center(cbNum9));
  EXPECT_TRUE(Calc->GetTracking());
  EXPECT_TRUE(Calc->GetButton(cbNum9).Down);
  SendMessageA(Wnd, WM_MOUSEMOVE, MK_LBUTTON, Center(cbNum1));
  EXPECT_FALSE(Calc->GetButton(cbNum9).Down) << "the button is up while the pointer is off it";
  SendMessageA(Wnd, WM_LBUTTONUP, 0, Center(cbNum1));
  EXPECT_EQ(Shown(), "0.5") << "released off the button: no press";
  EXPECT_FALSE(Calc->GetTracking());
  EXPECT_EQ(Calc->GetMouseButton(), cbNone);

  SendMessageA(Wnd, WM_LBUTTONDOWN, MK_LBUTTON, Center(cbNum9));
  SendMessageA(Wnd, WM_MOUSEMOVE, MK_LBUTTON, Center(cbNum1));
  SendMessageA(Wnd, WM_MOUSEMOVE, MK_LBUTTON, Center(cbNum9));
  SendMessageA(Wnd, WM_LBUTTONUP, 0, Center(cbNum9));
  EXPECT_EQ(Shown(), "0.59") << "dragged back onto it, the release presses it";
  EXPECT_FALSE(Calc->GetButton(cbNum9).Down);
}

TEST_F(DxCalcTest, ButtonHandlerMayChangeTheButton) {
  struct TSwap {
    void Swap(TObject*, TdxCalcButtonKind& button) {
      if (button == cbNum1)
        button = cbNum2;
    }
  } swap;
  Calc->OnButtonClick = TdxCalcButtonClickEvent::Bind<&TSwap::Swap>(&swap);
  Type("11");
  EXPECT_EQ(Shown(), "22");
}

TEST_F(DxCalcTest, NumberTextGoesThroughTheTwoVirtualOperationsOnly) {
  Calc->SetText("caption");
  Calc->Display = "7";
  Calc->Reads = Calc->Writes = 0;
  Type("+1=");
  EXPECT_EQ(Shown(), "8") << "the engine read the display the descendant holds";
  EXPECT_GT(Calc->Reads, 0);
  EXPECT_GT(Calc->Writes, 0);
  EXPECT_EQ(Calc->GetText(), "caption") << "the control's own text is not the display";

  // The base keeps no display: it reads nothing and stores nothing.
  auto* plain = new TCustomdxCalculator(Form);
  plain->SetParent(Form);
  plain->SetBeepOnError(false);
  SendMessageA(plain->GetHandle(), WM_CHAR, '5', 1);
  EXPECT_EQ(plain->GetDisplayText(), "");
  EXPECT_EQ(plain->GetStatus(), csEntry);
}

TEST_F(DxCalcTest, ClipboardCopiesAndPastesTheNumber) {
  FormatSettings.DecimalSeparator = ',';
  Calc->CalcLayout();
  EXPECT_EQ(Calc->GetButton(cbDecimal).Caption, ",");
  Type("12,5");
  {
    TCtrlHeld ctrl;
    Stroke('C', 3);
  }
  EXPECT_EQ(Clipboard()->GetAsText(), "12,5");
  EXPECT_EQ(Shown(), "12,5") << "Ctrl+C does not press C";

  Clipboard()->SetAsText(" $1,25 ");
  {
    TCtrlHeld ctrl;
    Stroke('V', 22);
  }
  EXPECT_EQ(Shown(), "1,25") << "the currency symbol and blanks go";
  EXPECT_EQ(Calc->GetStatus(), csEntry);
  Clipboard()->SetAsText("abc");
  Stroke(VK_ESCAPE, 27);
  Calc->PasteFromClipboard();
  EXPECT_EQ(Shown(), "0");
  EXPECT_EQ(Calc->GetStatus(), csResult) << "a failed paste leaves the state";

  Type("3");
  SendMessageA(Wnd, WM_KEYDOWN, VK_INSERT, 1);  // Ctrl+Insert copies
  EXPECT_EQ(Clipboard()->GetAsText(), "abc") << "Insert alone does nothing";
  {
    TCtrlHeld ctrl;
    SendMessageA(Wnd, WM_KEYDOWN, VK_INSERT, 1);
  }
  EXPECT_EQ(Clipboard()->GetAsText(), "3");

  Type("/0=");
  Clipboard()->SetAsText("4");
  Calc->PasteFromClipboard();
  EXPECT_EQ(Shown(), "Error") << "only CE and C leave the error state";
}

TEST_F(DxCalcTest, LayoutScalesWithTheSize) {
  // Made at 207 x 137, the calculator settles on buttons 23 high and takes their size.
  EXPECT_EQ(Calc->GetButtonHeight(), 23);
  EXPECT_EQ(Calc->GetButtonWidth(), 29);
  EXPECT_EQ(Calc->GetButtonSpacingX(), 4);
  EXPECT_EQ(Calc->GetFontSize(), 8);
  EXPECT_EQ(Calc->GetClientWidth(), Calc->GetCalcWidth());
  EXPECT_EQ(Calc->GetClientWidth(), 6 * (4 + 29) + 2 * 4 + 4);
  EXPECT_EQ(Calc->GetClientHeight(), 5 * (4 + 23) + 4);

  Calc->SetBounds(0, 0, 414, 274);
  EXPECT_EQ(Calc->GetButtonHeight(), 45) << "5h + 6 x MulDiv(h, 4, 22) comes closest to 274";
  EXPECT_EQ(Calc->GetButtonWidth(), 57);
  EXPECT_EQ(Calc->GetButtonSpacingY(), 8);
  EXPECT_EQ(Calc->GetLargeButtonWidth(), 97);
  EXPECT_EQ(Calc->GetFontSize(), 16);
  EXPECT_EQ(Calc->GetClientWidth(), 410);
  EXPECT_EQ(Calc->GetClientHeight(), 273);
  EXPECT_EQ(Calc->GetButton(cbEqual).Bounds, Rect(345, 220, 402, 265));
  EXPECT_EQ(Calc->GetButton(cbMP).Bounds, Rect(8, 220, 65, 265));
  EXPECT_EQ(Calc->GetButton(cbNum7).Bounds, Rect(85, 61, 142, 106));
  EXPECT_EQ(Calc->GetButton(cbClear).Bounds, Rect(305, 8, 402, 53));
  EXPECT_EQ(Calc->GetButton(cbCancelEntry).Bounds, Rect(200, 8, 297, 53));
  EXPECT_EQ(Calc->GetButton(cbBack).Bounds, Rect(95, 8, 192, 53));
  EXPECT_EQ(Calc->ButtonAtPoint(350, 230), cbEqual);
  EXPECT_EQ(Calc->ButtonAtPoint(2, 2), cbNone);

  Calc->SetBounds(0, 0, 10, 10);
  EXPECT_EQ(Calc->GetButtonHeight(), 22) << "too small to scale: the default buttons";
}

TEST_F(DxCalcTest, ButtonsAreDrawnInTheirLook) {
  Calc->SetButtonStyle(bsFlat);
  Calc->SetAutoFontSize(false);
  SendMessageA(Wnd, WM_CHAR, '8', 1);  // held down by the keyboard
  const int w = Calc->GetClientWidth(), h = Calc->GetClientHeight();
  TDibSurface surface(w, h);
  SendMessageA(Wnd, WM_PAINT, WPARAM(surface.DC()), 0);

  // One button drawn by the same rule: the face, its edge (none for 0), the caption in
  // its colour with the control's font, moved by `shift` when down.
  const auto expectButton = [&](TdxCalcButtonKind kind, TColor color, UINT edge, int shift) {
    const TRect b = Calc->GetButton(kind).Bounds;
    TDibSurface expected(RectWidth(b), RectHeight(b));
    TRect r = Rect(0, 0, RectWidth(b), RectHeight(b));
    FillRect(expected.DC(), &r, GetSysColorBrush(COLOR_BTNFACE));
    if (edge)
      DrawEdge(expected.DC(), &r, edge, BF_RECT);
    TRect text = r;
    InflateRect(&text, -2, -2);
    OffsetRect(&text, shift, shift);
    TSelectGuard font(expected.DC(), Calc->GetFont()->GetHandle());
    SetBkMode(expected.DC(), TRANSPARENT);
    SetTextColor(expected.DC(), ColorToRGB(color));
    const std::string& caption = Calc->GetButton(kind).Caption;
    DrawTextA(expected.DC(), caption.c_str(), int(caption.size()), &text,
              DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_EXPANDTABS | DT_NOPREFIX);
    int differences = 0;
    for (int y = 0; y < RectHeight(b); ++y)
      for (int x = 0; x < RectWidth(b); ++x)
        differences += surface.Color(b.left + x, b.top + y) != expected.Color(x, y);
    EXPECT_EQ(differences, 0) << "button " << caption;
  };
  expectButton(cbNum7, TColor(0xFF0000), BDR_RAISEDINNER, 0);
  expectButton(cbSqrt, TColor(0x800000), BDR_RAISEDINNER, 0);
  expectButton(cbMR, clBtnShadow, BDR_RAISEDINNER, 0);  // grayed
  expectButton(cbNum8, TColor(0xFF0000), BDR_SUNKENOUTER, 2);  // down
  // Between the buttons: the control's colour.
  EXPECT_EQ(surface.Color(1, 1), GetSysColor(COLOR_BTNFACE));

  Calc->SetButtonStyle(bsExtraFlat);
  SendMessageA(Wnd, WM_MOUSEMOVE, 0, Center(cbNum9));
  EXPECT_EQ(Calc->GetHotButton(), cbNum9);
  SendMessageA(Wnd, WM_PAINT, WPARAM(surface.DC()), 0);
  expectButton(cbNum9, TColor(0xFF0000), BDR_RAISEDINNER, 0);  // hot
  expectButton(cbNum7, TColor(0xFF0000), 0, 0);  // extra flat: no edge unless hot or down
  Calc->Perform(CM_MOUSELEAVE);
  EXPECT_EQ(Calc->GetHotButton(), cbNone);
}

// Fault: a click went on with the calculator after a handler of its button or its
// display had freed it (use after free).
TEST_F(DxCalcTest, AHandlerThatFreesTheCalculatorEndsTheClick) {
  const TGuardedHeap guarded;  // a freed calculator's memory faults when it is touched
  struct TFree {
    void Button(TObject* sender, TdxCalcButtonKind&) { delete sender; }
    void Display(TObject* sender) { delete sender; }
  } free;
  auto make = [this] {
    auto* calc = new TTextCalculator(Form);
    calc->SetParent(Form);
    calc->SetBounds(0, 0, 200, 160);
    calc->SetBeepOnError(false);
    return calc;
  };
  auto clickFrees = [](TTextCalculator* calc, TdxCalcButtonKind kind) {
    const TRect& b = calc->GetButton(kind).Bounds;
    const LPARAM center = MAKELPARAM((b.left + b.right) / 2, (b.top + b.bottom) / 2);
    const HWND wnd = calc->GetHandle();
    const TAliveGuard alive(calc);
    SendMessageA(wnd, WM_LBUTTONDOWN, MK_LBUTTON, center);
    SendMessageA(wnd, WM_LBUTTONUP, 0, center);
    return !alive.Alive();
  };
  TTextCalculator* calc = make();
  calc->OnButtonClick = TdxCalcButtonClickEvent::Bind<&TFree::Button>(&free);
  EXPECT_TRUE(clickFrees(calc, cbNum7));
  calc = make();
  calc->OnDisplayChange = TNotifyEvent::Bind<&TFree::Display>(&free);
  EXPECT_TRUE(clickFrees(calc, cbNum7));
  calc = make();
  calc->Display = "no number";
  calc->OnDisplayChange = TNotifyEvent::Bind<&TFree::Display>(&free);
  EXPECT_TRUE(clickFrees(calc, cbSqrt)) << "the error shown for no number";
  EXPECT_TRUE(Exceptions.Messages.empty());
}

}  // namespace
