// The currency editor: the keys it takes while the text stays a number (or becomes
// one), the decimals limit, bounds on validation, pasting, and the display format.
#include <string>

#include <gtest/gtest.h>

#include "classlib/Clipboard.h"
#include "classlib/FormatSettings.h"
#include "editors/DxInplaceCurrencyEdit.h"
#include "tests/editors/EditorsTestSupport.h"

namespace {

class DxInplaceCurrencyEditTest : public EditorTest {
 protected:
  void SetUp() override {
    EditorTest::SetUp();
    Money = new TdxInplaceCurrencyEdit(Container);
    Money->SetParent(Container);
    Money->SetBounds(10, 10, 100, 24);
    ShowForm();
    Money->ShowEdit(Rect(20, 30, 120, 54));
  }
  void TearDown() override {
    FormatSettings = TFormatSettings{};
    EditorTest::TearDown();
  }
  void Type(const std::string& keys) { SendKeys(Money->GetHandle(), keys); }
  // Types into an emptied editor and answers the text.
  std::string Typed(const std::string& keys) {
    Money->SetText("");
    Type(keys);
    return Money->GetText();
  }
  TdxInplaceCurrencyEdit* Money = nullptr;
};

TEST_F(DxInplaceCurrencyEditTest, TakesOnlyKeysThatKeepANumber) {
  EXPECT_EQ(Typed("12.345"), "12.34") << "no digit after two decimals";
  Money->SetSelStart(1);
  Type("9");
  EXPECT_EQ(Money->GetText(), "192.34") << "digits before the separator are fine";
  EXPECT_EQ(Typed("1a2"), "12");
  EXPECT_EQ(Typed("12-"), "12") << "a minus only starts a number";
  EXPECT_EQ(Typed("-12"), "-12");
  Money->SelectAll();
  Type("-");
  EXPECT_EQ(Money->GetText(), "-") << "a minus replaces a whole selection";
  EXPECT_EQ(Typed("1.2.3"), "1.23");
  EXPECT_EQ(Typed("2e308"), "2e30") << "beyond the range of a real";
  Money->SetDecimalPlaces(0);
  EXPECT_EQ(Typed("7.5"), "7.") << "no decimals at all";
}

TEST_F(DxInplaceCurrencyEditTest, NumbersCanBeTypedKeyByKey) {
  // Regression: a key was taken only when the text it made was a whole number, so the
  // exponent of "1e5" and a leading separator could never be typed.
  EXPECT_EQ(Typed("1e5"), "1e5");
  EXPECT_EQ(Typed("1E-3"), "1E-3");
  EXPECT_EQ(Typed(".5"), ".5");
  EXPECT_EQ(Typed("-.5"), "-.5");
  EXPECT_EQ(Typed("+7"), "+7");
  EXPECT_EQ(Typed("e5"), "5") << "an exponent needs digits before it";
  EXPECT_EQ(Typed("1.25e2"), "1.25e2") << "the exponent's digits are not decimals";
}

TEST_F(DxInplaceCurrencyEditTest, SeparatorsFollowTheLocale) {
  FormatSettings.DecimalSeparator = ',';
  FormatSettings.ThousandSeparator = '.';
  EXPECT_EQ(Typed("1.5"), "1,5") << "a point becomes the locale's separator";
  Money->SetUseThousandSeparator(true);
  EXPECT_EQ(Typed("1.234,5"), "1.234,5") << "the thousand separator passes as itself";
  double value = 0;
  EXPECT_TRUE(TdxInplaceCurrencyEdit::TextToValue("1.234,5", value));
  EXPECT_EQ(value, 1234.5);
  Money->SetText("2,5");
  Money->SetValue(Money->GetValue() * 2);
  EXPECT_EQ(Money->GetText(), "5");
  Money->SetValue(0.25);
  EXPECT_EQ(Money->GetText(), "0,25") << "the value is written with the locale's separator";
}

TEST_F(DxInplaceCurrencyEditTest, ValidationBoundsTheValue) {
  Money->AssignMinMaxValues(0, 100);
  Type("150");
  SendMessageA(Money->GetHandle(), WM_KEYDOWN, VK_RETURN, 1);
  EXPECT_EQ(Money->GetText(), "100");
  Money->SetText("-5");
  EXPECT_EQ(Money->GetValue(), -5) << "reading does not bound";
  Money->AssignMinMaxValues(5, 100);
  EXPECT_EQ(Money->GetText(), "5") << "new bounds bound the value shown";
  Money->SetText("abc");
  EXPECT_EQ(Money->GetValue(), 5) << "a text that is no number reads as the minimum";
  Money->SetText("");
  EXPECT_EQ(Money->GetValue(), 0);
  Money->AssignMinMaxValues(1, 2);
  EXPECT_EQ(Money->GetText(), "") << "an empty text stays empty";
  Money->AssignMinMaxValues(10, 3);
  EXPECT_EQ(Money->GetMinValue(), 3);

  Money->SetAllowEmpty(true);
  Variant value;
  Money->GetEditValue(value);
  EXPECT_TRUE(value.IsNull());
  Money->SetModified(true);
  Money->ValidateEdit();
  EXPECT_EQ(Money->GetText(), "") << "an empty value may stay empty";
  Money->SetAllowEmpty(false);
  Money->ValidateEdit();
  EXPECT_EQ(Money->GetText(), "0") << "equal bounds bound nothing";
  Money->RestoreDefaults();
  EXPECT_EQ(Money->GetMaxValue(), 0);
}

TEST_F(DxInplaceCurrencyEditTest, PastingNoNumberRestoresTheText) {
  Type("12");
  Clipboard()->SetAsText("abc");
  SendMessageA(Money->GetHandle(), WM_PASTE, 0, 0);
  EXPECT_EQ(Money->GetText(), "12");
  EXPECT_EQ(Money->GetSelStart(), 0);
  EXPECT_GE(Money->GetSelLength(), 2) << "all of it selected";
  Clipboard()->SetAsText("3.5");
  SendMessageA(Money->GetHandle(), WM_PASTE, 0, 0);
  EXPECT_EQ(Money->GetText(), "3.5") << "a number pasted over the selection stays";
  Money->SetReadOnly(true);
  Clipboard()->SetAsText("9");
  SendMessageA(Money->GetHandle(), WM_PASTE, 0, 0);
  EXPECT_EQ(Money->GetText(), "3.5");
}

TEST_F(DxInplaceCurrencyEditTest, DisplayFormatShowsTheValue) {
  FormatSettings.CurrencyString = "$";
  FormatSettings.CurrencyDecimals = 2;
  Money->RestoreDefaults();
  EXPECT_EQ(Money->GetDisplayFormat(), "$,0.00;-$,0.00");
  EXPECT_TRUE(Money->HasDataLink()) << "painting asks for the display value";
  Money->SetText("-1234.5");
  Variant shown;
  Money->GetDisplayValue(shown, true);
  EXPECT_EQ(shown, Variant("-$1,234.50"));
  Money->SetText("");
  Money->GetDisplayValue(shown, true);
  EXPECT_EQ(shown, Variant("$0.00"));
  Money->SetAllowEmpty(true);
  Money->SetEmptyText("none");
  Money->GetDisplayValue(shown, true);
  EXPECT_EQ(shown, Variant("none"));

  Money->SetDisplayFormat("");
  Money->SetText("7");
  Money->GetDisplayValue(shown, true);
  EXPECT_EQ(shown, Variant("7")) << "without a format, the text";
  FormatSettings.CurrencyString = "EUR";
  Money->Perform(CM_WININICHANGE);
  EXPECT_EQ(Money->GetDisplayFormat(), "") << "a format set by hand stays";
  Money->RefreshLinkValues();
  EXPECT_EQ(Money->GetDisplayFormat(), "");

  Money->SetEditMask("000");
  EXPECT_EQ(Money->GetEditMask(), "") << "edit masks do not apply";
}

}  // namespace
