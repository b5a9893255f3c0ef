// The date editor: values loaded and saved as dates, typed text validated into dates
// (or refused, or replaced), the calendar opened by Alt+Down on the month of the text
// and its picks taken back (with the time of day kept), a valid date kept when the
// container hides the editor, and the edit mask that follows the locale's short date
// format. Keys and clicks go in as window messages.
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "classlib/FormatSettings.h"
#include "editors/DxExEdtr.h"
#include "editors/DxGrDate.h"
#include "editors/DxGridDatePopup.h"
#include "editors/DxInplaceDateEdit.h"
#include "tests/editors/EditorsTestSupport.h"

namespace {

constexpr LPARAM kAltDown = 0x20000000;

TDateTime Day(int year, int month, int day) { return EncodeDate(year, month, day); }

// A container that ends editing on a press, as a grid does when another cell is
// clicked: the editor is marked as hiding, validated, its value saved, then hidden.
class TGridLikeContainer : public TRecordingContainer {
  KIVO_CLASS(TGridLikeContainer, TRecordingContainer)
 public:
  explicit TGridLikeContainer(TComponent* AOwner) : TRecordingContainer(AOwner) {}
  TdxInplaceEdit* Editor = nullptr;
  Variant Saved;
  int Saves = 0;

 protected:
  void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override {
    if (Editor && Editor->GetShown()) {
      Editor->HidingEditor = true;
      Editor->ValidateEdit();
      Editor->GetEditValue(Saved);
      ++Saves;
      Editor->HideEdit();
      SetFocus();
    }
    inherited::MouseDown(button, shift, x, y);
  }
};

class DxInplaceDateEditTest : public FormTest {
 protected:
  void SetUp() override {
    FormTest::SetUp();
    SavedStartOfWeek = StartOfWeek;
    StartOfWeek = 0;
    FormatSettings.ShortDateFormat = "M/d/yyyy";
    FormatSettings.DateSeparator = '/';
    Grid = new TGridLikeContainer(Form);
    Grid->SetParent(Form);
    Grid->SetBounds(0, 0, 280, 160);
    Edit = new TdxInplaceDateEdit(Grid);
    Edit->SetParent(Grid);
    Grid->Editor = Edit;
    Edit->OnDateChange = TNotifyEvent::Bind<&DxInplaceDateEditTest::DateChanged>(this);
  }
  void TearDown() override {
    FormTest::TearDown();
    FormatSettings = SavedSettings;
    StartOfWeek = SavedStartOfWeek;
  }
  void DateChanged(TObject*) { ++DateChanges; }
  void ShowEditor() {
    ShowForm();
    Edit->ShowEdit(Rect(10, 10, 150, 32));
    PumpPending();
  }
  // Types `text` over the whole text, character by character.
  void Type(const std::string& text) {
    Edit->SelectAll();
    for (char c : text)
      SendMessageA(Edit->GetHandle(), WM_CHAR, WPARAM(uint8_t(c)), 1);
  }
  void Enter() {
    SendMessageA(Edit->GetHandle(), WM_KEYDOWN, VK_RETURN, 1);
    PumpPending();
  }
  void AltDown() {
    SendMessageA(Edit->GetHandle(), WM_SYSKEYDOWN, VK_DOWN, kAltDown | 1);
    PumpPending();
  }
  TdxGridDatePopup* Popup() { return Edit->GetPopup(); }
  bool PopupShown() { return Popup() && IsWindowVisible(Popup()->GetHandle()); }
  void ClickPopup(const TRect& r) {
    const LPARAM at = MAKELPARAM((r.left + r.right) / 2, (r.top + r.bottom) / 2);
    SendMessageA(Popup()->GetHandle(), WM_LBUTTONDOWN, MK_LBUTTON, at);
    SendMessageA(Popup()->GetHandle(), WM_LBUTTONUP, 0, at);
    PumpPending();
  }
  TRect PopupCell(TDateTime date) {
    const int offset = int(date - Popup()->GetFirstDate());
    return Popup()->GetDayCellRect(offset % 7, offset / 7);
  }
  // A press on the container beside the editor.
  void ClickAnotherCell() {
    SendMessageA(Grid->GetHandle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(200, 120));
    SendMessageA(Grid->GetHandle(), WM_LBUTTONUP, 0, MAKELPARAM(200, 120));
    PumpPending();
  }

  TFormatSettings SavedSettings = FormatSettings;
  uint8_t SavedStartOfWeek = 0;
  TGridLikeContainer* Grid = nullptr;
  TdxInplaceDateEdit* Edit = nullptr;
  int DateChanges = 0;
};

TEST_F(DxInplaceDateEditTest, ValuesLoadAndSaveAsDates) {
  const TDateTime ides = Day(2024, 3, 15);
  Edit->SetEditValue(VarFromDateTime(ides));
  EXPECT_EQ(Edit->GetDate(), ides);
  EXPECT_EQ(Edit->GetText(), DateToDisplayText(false, ides));
  Variant value;
  Edit->GetEditValue(value);
  EXPECT_TRUE(value.IsDate());
  EXPECT_EQ(VarToDateTime(value), ides);

  Edit->SetEditValue(Variant("1/2/2023"));
  EXPECT_EQ(Edit->GetDate(), Day(2023, 1, 2)) << "a text is read as a date";
  Edit->SetEditValue(Variant(""));
  EXPECT_EQ(Edit->GetDate(), NullDate);
  EXPECT_EQ(Edit->GetText(), "");
  Edit->GetEditValue(value);
  EXPECT_TRUE(value.IsNull());
  Edit->SetEditValue(Variant(45000.0));
  Edit->SetEditValue(Variant::Null());
  EXPECT_EQ(Edit->GetDate(), NullDate);
  EXPECT_EQ(DateChanges, 0) << "loading reports no change";

  Edit->SetDate(ides);
  Edit->SetDate(ides);
  EXPECT_EQ(DateChanges, 1) << "storing the same date again reports nothing";
  EXPECT_FALSE(Edit->GetTextEdited());
}

TEST_F(DxInplaceDateEditTest, TypedDatesAreStoredOnValidation) {
  Edit->SetEditValue(VarFromDateTime(Day(2024, 3, 15)));
  ShowEditor();
  Type("today+3");
  EXPECT_TRUE(Edit->GetTextEdited());
  Enter();
  EXPECT_EQ(Edit->GetDate(), ::Date() + 3);
  EXPECT_EQ(DateChanges, 1);
  EXPECT_TRUE(Edit->GetModified());

  // The same date typed in another form is stored again, so the text takes the
  // editor's form, but no change is reported.
  Edit->SetDate(Day(2024, 3, 18));
  Type("3 18 2024");
  Enter();
  EXPECT_EQ(Edit->GetText(), DateToDisplayText(false, Day(2024, 3, 18)));
  EXPECT_EQ(DateChanges, 2);

  // An empty text is no date and no error, also with validation.
  Edit->SetDateValidation(true);
  Type(" ");
  Enter();
  EXPECT_EQ(Edit->GetDate(), NullDate);
  EXPECT_TRUE(Exceptions.Messages.empty());
}

TEST_F(DxInplaceDateEditTest, TextThatIsNoDateRaisesOrBecomesTheFallback) {
  const TDateTime ides = Day(2024, 3, 15);
  Edit->SetEditValue(VarFromDateTime(ides));
  ShowEditor();
  Edit->SetDateValidation(true);
  Type("abc");
  Enter();
  ASSERT_EQ(Exceptions.Messages, std::vector<std::string>{"Invalid Date"});
  EXPECT_EQ(Edit->GetDate(), ides) << "the value stays";
  EXPECT_EQ(Edit->GetText(), "abc") << "and so does the text, for the user to mend";
  EXPECT_EQ(GetFocus(), Edit->GetHandle());

  Edit->SetDateValidation(false);
  Edit->SetDateOnError(deToday);
  Enter();
  EXPECT_EQ(Edit->GetDate(), ::Date()) << "deToday";
  Type("abc");
  Edit->SetDateOnError(deNull);
  Enter();
  EXPECT_EQ(Edit->GetDate(), NullDate) << "deNull";
  Type("TODAY - 2");
  Enter();
  EXPECT_EQ(Edit->GetDate(), NullDate) << "a blank after the sign is no day count";
  EXPECT_EQ(Exceptions.Messages.size(), 1u);
}

TEST_F(DxInplaceDateEditTest, ValidationHandlerMayRewriteOrRefuse) {
  struct THandler {
    int Calls = 0;
    void Validate(TObject*, const std::string& text, TDateTime& date, std::string& message, bool& error) {
      ++Calls;
      if (text == "payday") {
        date = Day(2024, 3, 25);
        error = false;
      }
      if (DayOfWeek(date) == 1) {
        message = "Not on a Sunday";
        error = true;
      }
    }
  } handler;
  Edit->OnDateValidateInput = TdxDateValidateInput::Bind<&THandler::Validate>(&handler);
  ShowEditor();
  Type("3/15/2024");
  Enter();
  EXPECT_EQ(handler.Calls, 0) << "a valid date without validation is not asked about";
  Edit->SetDateValidation(true);
  Type("payday");
  Enter();
  EXPECT_EQ(Edit->GetDate(), Day(2024, 3, 25));
  EXPECT_TRUE(Exceptions.Messages.empty());
  Type("3/17/2024");
  Enter();
  EXPECT_EQ(Exceptions.Messages, std::vector<std::string>{"Not on a Sunday"});
  EXPECT_EQ(Edit->GetDate(), Day(2024, 3, 25));
}

TEST_F(DxInplaceDateEditTest, ValidTypedDateSurvivesAClickOnAnotherCell) {
  // Regression F3: with DateValidation on, the container's hiding of the editor threw
  // a valid typed date away, since the hiding branch took valid text too.
  Edit->SetDateValidation(true);
  Edit->SetEditValue(VarFromDateTime(Day(2024, 3, 15)));
  ShowEditor();
  Type("4/1/2024");
  ClickAnotherCell();
  EXPECT_EQ(Grid->Saves, 1);
  EXPECT_EQ(VarToDateTime(Grid->Saved), Day(2024, 4, 1));
  EXPECT_EQ(Edit->GetDate(), Day(2024, 4, 1));
  EXPECT_TRUE(Exceptions.Messages.empty());

  // Invalid text is dropped without an error; the value stays.
  Edit->HidingEditor = false;
  Edit->ShowEdit(Rect(10, 10, 150, 32));
  Type("abc");
  ClickAnotherCell();
  EXPECT_TRUE(Exceptions.Messages.empty()) << "hiding never raises";
  EXPECT_EQ(VarToDateTime(Grid->Saved), Day(2024, 4, 1));
  EXPECT_EQ(Edit->GetText(), "");
}

TEST_F(DxInplaceDateEditTest, AltDownOpensTheCalendarOnTheMonthOfTheText) {
  Edit->SetEditValue(VarFromDateTime(Day(2024, 3, 15)));
  ShowEditor();
  AltDown();
  ASSERT_TRUE(PopupShown());
  EXPECT_TRUE(Edit->GetDroppedDown());
  EXPECT_EQ(GetFocus(), Popup()->GetHandle()) << "the calendar takes the focus";
  EXPECT_EQ(Popup()->GetDate(), Day(2024, 3, 1));
  EXPECT_EQ(Popup()->GetSelStart(), Day(2024, 3, 15));
  EXPECT_EQ(Popup()->GetFirstDate(), Day(2024, 2, 25)) << "the week of March 1st, from Sunday";
  EXPECT_TRUE(Popup()->GetShowToday());
  EXPECT_TRUE(Popup()->GetShowClear());
  EXPECT_EQ(Popup()->GetPopupBorder(), pbFrame3D) << "the container's popup border";
  RECT editor{}, popup{};
  GetWindowRect(Edit->GetHandle(), &editor);
  GetWindowRect(Popup()->GetHandle(), &popup);
  EXPECT_EQ(popup.top, editor.bottom) << "under the editor";

  SendMessageA(Popup()->GetHandle(), WM_KEYDOWN, VK_ESCAPE, 1);
  PumpPending();
  EXPECT_FALSE(PopupShown());
  EXPECT_FALSE(Edit->GetDroppedDown());
  EXPECT_EQ(GetFocus(), Edit->GetHandle());
  EXPECT_EQ(Edit->GetDate(), Day(2024, 3, 15));
}

TEST_F(DxInplaceDateEditTest, PicksAreTakenOnlyWhereTheEditorMayModify) {
  Edit->SetEditValue(VarFromDateTime(Day(2024, 3, 15)));
  ShowEditor();
  Grid->AllowModify = false;
  AltDown();
  ClickPopup(PopupCell(Day(2024, 3, 20)));
  EXPECT_EQ(Edit->GetDate(), Day(2024, 3, 15)) << "the container refuses changes";
  Grid->SetLockFlag();
  AltDown();
  ClickPopup(PopupCell(Day(2024, 3, 20)));
  EXPECT_EQ(Edit->GetDate(), Day(2024, 3, 20)) << "unless it is handing over values itself";
  Grid->ClearLockFlag();
  Edit->SetReadOnly(true);
  AltDown();
  EXPECT_FALSE(PopupShown()) << "a read-only editor opens no calendar";
}

TEST_F(DxInplaceDateEditTest, PageDownFromJanuary31stPicksFebruary29th) {
  Edit->SetEditValue(VarFromDateTime(Day(2024, 1, 31)));
  ShowEditor();
  AltDown();
  ASSERT_TRUE(PopupShown());
  SendMessageA(Popup()->GetHandle(), WM_KEYDOWN, VK_NEXT, 1);
  EXPECT_EQ(Popup()->GetSelStart(), Day(2024, 2, 29));
  SendMessageA(Popup()->GetHandle(), WM_KEYDOWN, VK_RETURN, 1);
  PumpPending();
  EXPECT_FALSE(PopupShown());
  EXPECT_EQ(Edit->GetDate(), Day(2024, 2, 29));
  EXPECT_EQ(Edit->GetText(), DateToDisplayText(false, Day(2024, 2, 29)));
  EXPECT_TRUE(Edit->GetModified());
  EXPECT_EQ(DateChanges, 1);
}

TEST_F(DxInplaceDateEditTest, AltDownOnTextThatIsNoDateOpensOnToday) {
  // Regression F9: the drop-down read the text with TextToDateEx without catching its
  // conversion error, so "abc" raised and the calendar never opened.
  ShowEditor();
  Type("abc");
  AltDown();
  EXPECT_TRUE(Exceptions.Messages.empty());
  ASSERT_TRUE(PopupShown());
  const TDateTime today = ::Date();
  EXPECT_EQ(Popup()->GetSelStart(), today);
  EXPECT_EQ(Popup()->GetDate(), Day(DatePart(1, today), DatePart(2, today), 1));
  SendMessageA(Popup()->GetHandle(), WM_KEYDOWN, VK_F4, 1);
  PumpPending();
  EXPECT_EQ(Edit->GetText(), "abc") << "closing without a pick keeps the text";
  EXPECT_EQ(Edit->GetDate(), NullDate);
}

TEST_F(DxInplaceDateEditTest, TextThatIsNoDateOpensOnTodayAfterAnEarlierDate) {
  // The calendar kept the date parsed from earlier text when the text became unreadable.
  Edit->SetEditValue(VarFromDateTime(Day(2024, 3, 15)));
  ShowEditor();
  AltDown();
  ASSERT_TRUE(PopupShown());
  EXPECT_EQ(Popup()->GetSelStart(), Day(2024, 3, 15));
  SendMessageA(Popup()->GetHandle(), WM_KEYDOWN, VK_F4, 1);
  PumpPending();
  Type("abc");
  AltDown();
  ASSERT_TRUE(PopupShown());
  EXPECT_EQ(Popup()->GetSelStart(), ::Date());
}

TEST_F(DxInplaceDateEditTest, TodayAndClearSetTheValueAndClose) {
  Edit->SetEditValue(VarFromDateTime(Day(2024, 3, 15)));
  ShowEditor();
  AltDown();
  ClickPopup(Popup()->GetTodayButtonRect());
  EXPECT_FALSE(PopupShown());
  EXPECT_EQ(Edit->GetDate(), ::Date());
  EXPECT_EQ(GetFocus(), Edit->GetHandle());

  AltDown();
  ClickPopup(Popup()->GetClearButtonRect());
  EXPECT_FALSE(PopupShown());
  EXPECT_EQ(Edit->GetDate(), NullDate);
  EXPECT_EQ(Edit->GetText(), "");
  EXPECT_EQ(DateChanges, 2);

  Edit->SetDateButtons({btnClear});
  AltDown();
  EXPECT_FALSE(Popup()->GetShowToday());
  EXPECT_TRUE(Popup()->GetShowClear());
  SendMessageA(Popup()->GetHandle(), WM_KEYDOWN, VK_ESCAPE, 1);
  PumpPending();
}

TEST_F(DxInplaceDateEditTest, PickedDayKeepsTheTimeOfTheParsedDate) {
  const TDateTime evening = Day(2024, 3, 15) + EncodeTime(18, 30, 0, 0);
  Edit->SetEditValue(VarFromDateTime(evening));
  ShowEditor();
  AltDown();
  EXPECT_EQ(Edit->GetLastParsedDate(), evening);
  EXPECT_EQ(Popup()->GetSelStart(), Day(2024, 3, 15)) << "the calendar shows the day only";
  ClickPopup(PopupCell(Day(2024, 3, 20)));
  EXPECT_EQ(Edit->GetDate(), Day(2024, 3, 20) + EncodeTime(18, 30, 0, 0));

  Edit->SetSaveTime(false);
  AltDown();
  ClickPopup(PopupCell(Day(2024, 3, 21)));
  EXPECT_EQ(Edit->GetDate(), Day(2024, 3, 21));
}

TEST_F(DxInplaceDateEditTest, EditMaskFollowsTheLocaleShortDateFormat) {
  Edit->SetEditValue(VarFromDateTime(Day(2024, 3, 15)));
  Edit->SetUseEditMask(true);
  EXPECT_EQ(Edit->GetEditMask(), "!99/99/9999;1; ");
  EXPECT_EQ(Edit->GetEditText(), "03/15/2024");
  EXPECT_TRUE(Edit->GetAssignedValues().Contains(evEditMask));
  ShowEditor();

  // The blank mask is no date and no error, also with validation.
  Edit->SetDateValidation(true);
  Edit->SelectAll();
  SendMessageA(Edit->GetHandle(), WM_KEYDOWN, VK_DELETE, 1);
  EXPECT_EQ(Edit->GetEditText(), "  /  /    ");
  std::string text;
  Edit->GetText(text);
  EXPECT_EQ(text, "");
  Enter();
  EXPECT_TRUE(Exceptions.Messages.empty());
  EXPECT_EQ(Edit->GetDate(), NullDate);
  AltDown();
  EXPECT_EQ(Popup()->GetSelStart(), ::Date()) << "a blank mask opens on today";
  SendMessageA(Popup()->GetHandle(), WM_KEYDOWN, VK_ESCAPE, 1);
  PumpPending();

  // The system's short date format changes, and the system says so.
  Edit->SetDate(Day(2024, 3, 15));
  TLocaleScope locale;
  ASSERT_TRUE(locale.Set(LOCALE_SSHORTDATE, "dd.MM.yyyy"));
  locale.Set(LOCALE_SDATE, ".");
  SendMessageA(Form->GetHandle(), WM_SETTINGCHANGE, 0, reinterpret_cast<LPARAM>("intl"));
  EXPECT_EQ(FormatSettings.ShortDateFormat, "dd.MM.yyyy");
  EXPECT_EQ(Edit->GetEditMask(), "!99.99.9999;1; ");
  EXPECT_EQ(Edit->GetEditText(), "15.03.2024");
  EXPECT_EQ(Edit->GetDate(), Day(2024, 3, 15));
  EXPECT_EQ(DateChanges, 2) << "the rebuild reports no change";

  Edit->SetUseEditMask(false);
  EXPECT_EQ(Edit->GetEditMask(), "");
  EXPECT_FALSE(Edit->GetAssignedValues().Contains(evEditMask));
}

}  // namespace
