// The time editor: loading a value's time of day and giving back day and time, the
// spin step by the part under the caret, the digits each position takes, the formats'
// masks, and validation and storing of times that hold zeros.
#include <string>

#include <gtest/gtest.h>

#include "classlib/Exceptions.h"
#include "editors/DxInplaceTimeEdit.h"
#include "tests/editors/EditorsTestSupport.h"

namespace {

class DxInplaceTimeEditTest : public EditorTest {
 protected:
  void SetUp() override {
    EditorTest::SetUp();
    Time = new TdxInplaceTimeEdit(Container);
    Time->SetParent(Container);
    Time->SetBounds(10, 10, 100, 24);
  }
  // Shows the editor with the caret on text position `caret`.
  void Edit(const char* value, int caret) {
    ShowForm();
    Time->ShowEdit(Rect(20, 30, 120, 54));
    Time->SetEditValue(value);
    Time->SetCursor(caret);
  }
  void Key(WORD vk) {
    SendMessageA(Time->GetHandle(), WM_KEYDOWN, vk, 1);
    SendMessageA(Time->GetHandle(), WM_KEYUP, vk, LPARAM(0xC0000001));
  }
  void Type(const std::string& keys) { SendKeys(Time->GetHandle(), keys); }
  Variant Value() {
    Variant value;
    Time->GetEditValue(value);
    return value;
  }
  TdxInplaceTimeEdit* Time = nullptr;
};

TEST_F(DxInplaceTimeEditTest, LoadsTheTimeOfDayAndGivesBackDayAndTime) {
  EXPECT_EQ(Time->GetEditText(), "00:00:00");
  Time->SetEditValue(2.75);
  EXPECT_EQ(Time->GetEditText(), "18:00:00");
  EXPECT_EQ(Value(), Variant(2.75));
  EXPECT_EQ(Time->GetDatePart(), 2);

  Time->SetModified(true);
  Time->SetEditValue(Variant::Null());
  EXPECT_EQ(Time->GetEditText(), "00:00:00");
  EXPECT_TRUE(Value().IsCurrency()) << "no day and no time read back as the currency 0";
  EXPECT_EQ(Value().AsCurrency(-1), 0);
  EXPECT_TRUE(Time->GetModified()) << "loading keeps the modified flag";

  // Stored texts load again: a time, or a number written as text.
  Time->SetEditValue("10:30:00");
  EXPECT_EQ(Time->GetEditText(), "10:30:00");
  Time->SetEditValue("1.5");
  EXPECT_EQ(Time->GetEditText(), "12:00:00");
  EXPECT_EQ(Value(), Variant(1.5));
  Time->SetEditValue("not a time");
  EXPECT_EQ(Time->GetEditText(), "00:00:00");
  // A time a hair below midnight rounds to the next day.
  Time->SetEditValue(0.9999999999);
  EXPECT_EQ(Time->GetEditText(), "00:00:00");
  EXPECT_EQ(Value(), Variant(1.0));
}

TEST_F(DxInplaceTimeEditTest, DaysBefore1899KeepTheirDayAndTime) {
  // Regression: -1.25 (1899-12-29 06:00) came back as -0.75, a day and a time of its
  // own, because the time counting forward from the day was added to a negative day.
  Time->SetEditValue(-1.25);
  EXPECT_EQ(Time->GetEditText(), "06:00:00");
  EXPECT_EQ(Value(), Variant(-1.25));
  Time->SetEditValue(-700000.75);
  EXPECT_EQ(Time->GetEditText(), "18:00:00");
  EXPECT_EQ(Value(), Variant(-700000.75));
}

TEST_F(DxInplaceTimeEditTest, SpinsThePartUnderTheCaret) {
  Edit("10:59:00", 4);
  Key(VK_UP);
  EXPECT_EQ(Time->GetEditText(), "11:00:00") << "one minute on the minutes";
  EXPECT_TRUE(Time->GetModified());
  int start = 0, end = 0;
  Time->GetSel(start, end);
  EXPECT_EQ(start, 4) << "the caret stays in the minutes";
  Time->SetCursor(7);
  Key(VK_DOWN);
  EXPECT_EQ(Time->GetEditText(), "10:59:59") << "one second on the seconds";
  Time->SetCursor(0);
  Key(VK_UP);
  EXPECT_EQ(Time->GetEditText(), "11:59:59") << "one hour on the hours";

  Time->SetEditValue("23:30:00");
  Time->SetCursor(1);
  Key(VK_UP);
  EXPECT_EQ(Time->GetEditText(), "23:30:00") << "past 23:59:59 the step is ignored";
  Time->SetEditValue("00:00:30");
  Time->SetCursor(4);
  Key(VK_DOWN);
  EXPECT_EQ(Time->GetEditText(), "00:00:30") << "before 00:00:00 too";
  Time->SetEditValue("23:59:58");
  Time->SetCursor(6);
  Key(VK_UP);
  EXPECT_EQ(Time->GetEditText(), "23:59:59") << "the highest time itself is reached";
}

TEST_F(DxInplaceTimeEditTest, EachPositionTakesItsDigits) {
  Edit("00:00:00", 0);
  Type("3");
  EXPECT_EQ(Time->GetEditText(), "00:00:00") << "no hour starts with 3";
  Type("24");
  EXPECT_EQ(Time->GetEditText(), "20:00:00") << "after a 2 no 4";
  Type("3");
  EXPECT_EQ(Time->GetEditText(), "23:00:00");
  Type("6");
  EXPECT_EQ(Time->GetEditText(), "23:00:00") << "no minute starts with 6";
  Type("59");
  EXPECT_EQ(Time->GetEditText(), "23:59:00");
  Type("7");
  EXPECT_EQ(Time->GetEditText(), "23:59:00") << "no second starts with 7";
  Time->SetCursor(2);
  Type("7");
  EXPECT_EQ(Time->GetEditText(), "23:59:00") << "a digit typed on the separator is checked where it lands";
  Type("4");
  EXPECT_EQ(Time->GetEditText(), "23:49:00");
}

TEST_F(DxInplaceTimeEditTest, TimesWithZerosValidateAndAreStoredWhole) {
  // Regression: the masks' blank is "0", so "10:30:00" failed validation as unfilled
  // and its text was handed on without the zeros ("1:3:").
  Edit("00:00:00", 0);
  Type("103000");
  EXPECT_EQ(Time->GetEditText(), "10:30:00");
  ASSERT_TRUE(Time->GetModified());
  EXPECT_NO_THROW(Time->ValidateEdit());
  std::string text;
  Time->GetText(text);
  EXPECT_EQ(text, "10:30:00");
  EXPECT_EQ(Value(), Variant(EncodeTime(10, 30, 0, 0)));
  Key(VK_BACK);
  EXPECT_EQ(Time->GetEditText(), "10:30:00") << "a deleted digit shows as the blank 0";

  // Setting the text clears the modified flag.
  Time->SetEditText("29:00:00");
  Time->SetModified(true);
  EXPECT_THROW(Time->ValidateEdit(), EDBEditError) << "a text that is no time is refused";
  Time->SetEditText("09:00:00");
  Time->SetModified(true);
  EXPECT_NO_THROW(Time->ValidateEdit());
  EXPECT_EQ(Time->GetTime(), EncodeTime(9, 0, 0, 0));
}

TEST_F(DxInplaceTimeEditTest, FormatsSetTheirMask) {
  Time->SetEditValue(EncodeTime(10, 30, 45, 0));
  EXPECT_EQ(Time->GetEditMask(), "00:00:00;1;0");
  Time->SetTimeEditFormat(tfHourMin);
  EXPECT_EQ(Time->GetEditMask(), "00:00;1;0");
  EXPECT_EQ(Time->GetEditText(), "10:30");
  Time->SetTimeEditFormat(tfHour);
  EXPECT_EQ(Time->GetEditText(), "10");
  EXPECT_EQ(Time->GetValue(), EncodeTime(10, 0, 0, 0)) << "the hours alone read as a time";
  Time->RefreshLinkValues();
  EXPECT_EQ(Time->GetEditMask(), "00;1;0") << "the format's mask is the editor's default";
  EXPECT_STREQ(TdxInplaceTimeEdit::DisplayFormatOf(tfHourMinSec), "hh:nn:ss");
}

}  // namespace
