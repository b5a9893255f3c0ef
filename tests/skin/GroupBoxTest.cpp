// Group boxes and themed radio groups in real windows: defaults, the frame and caption
// places measured with the same GDI text calls, the etched frame by pixel rule, the
// themed look against the theme's own drawing, and the radio group's buttons: one per
// item, placed by the column rule, kept in step with ItemIndex both ways, rebuilt when
// Items change, and passing keys on to the group.
#include <gtest/gtest.h>

#include "ControlPaintSupport.h"
#include "SkinTestSupport.h"
#include "classlib/Filer.h"
#include "classlib/Forms.h"
#include "classlib/GdiHandles.h"
#include "skin/KsGroupBox.h"
#include "skin/TeThemeEngine.h"
#include "skin/TeThemeRadioGroup.h"
#include "tests/controls/ControlsTestSupport.h"

namespace {

struct TCounter {
  int Count = 0;
  void Hit(TObject*) { ++Count; }
  TNotifyEvent Event() { return TNotifyEvent::Bind<&TCounter::Hit>(this); }
};

struct TKeyRecorder {
  std::vector<WORD> Downs;
  std::string Presses;
  void Down(TObject*, WORD& key, TShiftState) { Downs.push_back(key); }
  void Press(TObject*, char& key) { Presses += key; }
};

LPARAM At(int x, int y) { return MAKELPARAM(x, y); }

// The text extent the controls measure with: a TKsBitmap's DrawText in the font.
TSize TextExtent(TFont* font, const std::string& text) {
  TKsBitmap bitmap;
  bitmap.SetSize(10, 10);
  bitmap.SetFont(font);
  return TSize{bitmap.TextWidth(text, 0), bitmap.TextHeight(text)};
}

int TmHeight(TFont* font) {
  TClientDC dc(nullptr);
  TSelectGuard select(dc.Get(), font->GetHandle());
  TEXTMETRICA metrics{};
  GetTextMetricsA(dc.Get(), &metrics);
  return metrics.tmHeight;
}


// Whether (x, y) lies on the frame path: the rectangle's outline less the top edge's
// gap [gapLeft, gapRight).
bool OnFramePath(const TRect& f, int gapLeft, int gapRight, int x, int y) {
  const bool inX = x >= f.left && x <= f.right, inY = y >= f.top && y <= f.bottom;
  if (y == f.top && inX)
    return x < gapLeft || x >= gapRight;
  return (y == f.bottom && inX) || ((x == f.left || x == f.right) && inY);
}

class GroupBoxTest : public FormTest {
 protected:
  template <class T>
  T* Make(int left, int top, int width = 100, int height = 90) {
    auto* control = new T(Form);
    control->SetParent(Form);
    control->SetBounds(left, top, width, height);
    return control;
  }
  static void Click(TControl* button) {
    HWND wnd = static_cast<TWinControl*>(button)->GetHandle();
    SendMessageA(wnd, WM_LBUTTONDOWN, MK_LBUTTON, At(3, 3));
    SendMessageA(wnd, WM_LBUTTONUP, 0, At(3, 3));
  }
  static TTeThemeRadioGroup* Fill(TTeThemeRadioGroup* group, std::initializer_list<const char*> items) {
    for (const char* item : items)
      group->GetItems()->Add(item);
    return group;
  }
  // Which buttons are checked, as a string of 0 and 1.
  static std::string Checks(TTeThemeRadioGroup* group) {
    std::string result;
    for (TTeThemeGroupButton* button : group->GetButtons())
      result += button->GetChecked() ? '1' : '0';
    return result;
  }
  // The buttons' bounds by the column rule.
  static void ExpectArranged(TTeThemeRadioGroup* group) {
    const int count = int(group->GetButtons().size());
    const int columns = group->GetColumns();
    const int tm = TmHeight(group->GetFont());
    const int perColumn = (count + columns - 1) / columns;
    const int width = (group->GetWidth() - 10) / columns;
    const int free = group->GetHeight() - tm - 5;
    const int height = free / perColumn;
    const int top = tm + 1 + (free % perColumn) / 2;
    for (int i = 0; i < count; ++i) {
      TTeThemeGroupButton* button = group->GetButtons()[i];
      EXPECT_EQ(button->GetBoundsRect(),
                Bounds((i / perColumn) * width + 8, (i % perColumn) * height + top, width, height))
          << "button " << i;
      EXPECT_TRUE(button->GetVisible());
    }
  }
};

// ---- Group box -------------------------------------------------------------------------------

TEST_F(GroupBoxTest, Defaults) {
  auto* box = new TKsCustomGroupBox(Form);
  EXPECT_EQ(box->GetBoundsRect(), (TRect{0, 0, 100, 90}));
  EXPECT_EQ(box->GetCaptionMargin(), 12);
  EXPECT_FALSE(box->GetTransparent());
  EXPECT_EQ(box->GetColor(), clBtnFace);
  EXPECT_TRUE(box->GetControlStyle().Contains(csAcceptsControls));
  auto* themed = new TTeThemeGroupBox(Form);
  themed->SetVersion("1.0");
  EXPECT_EQ(themed->GetVersion(), "2.7.9");
  EXPECT_EQ(themed->GetThemeEngine(), nullptr);
  auto* group = new TTeThemeRadioGroup(Form);
  EXPECT_EQ(group->GetItemIndex(), -1);
  EXPECT_EQ(group->GetColumns(), 1);
  EXPECT_TRUE(group->GetItemTabStop());
  EXPECT_TRUE(group->GetButtons().empty());
  EXPECT_TRUE(group->GetControlStyle().Contains(csSetCaption));
  EXPECT_TRUE(group->GetControlStyle().Contains(csDoubleClicks));
}

TEST_F(GroupBoxTest, FrameAndCaptionRectsFollowTheMeasuredCaption) {
  auto* box = Make<TKsCustomGroupBox>(10, 10, 150, 80);
  box->SetCaption("Options");
  const TSize text = TextExtent(box->GetFont(), "Options");
  EXPECT_EQ(box->GetFrameRect(), (TRect{3, text.cy / 2 + 1, 148, 78}));
  EXPECT_EQ(box->GetCaptionRect(), (TRect{9, 0, 12 + text.cx + 3, text.cy}));
  box->SetCaptionMargin(20);
  EXPECT_EQ(box->GetCaptionRect().left, 17);
  // An empty caption leaves no widened gap.
  box->SetCaption("");
  EXPECT_EQ(box->GetCaptionRect(), (TRect{20, 0, 20, 0}));
  EXPECT_EQ(box->GetFrameRect().top, 1);
}

TEST_F(GroupBoxTest, PlainFrameIsEtchedByRule) {
  auto* box = Make<TKsCustomGroupBox>(10, 10, 120, 70);
  ShowForm();
  const TKsColor face = ColorToKsColor(clBtnFace, 255), light = ColorToKsColor(clBtnHighlight, 255),
                 shadow = ColorToKsColor(clBtnShadow, 255);
  auto expectFrame = [&](bool skipCaption) {
    Paint(box);
    const TRect f = box->GetFrameRect(), c = box->GetCaptionRect();
    const TRect s{f.left - 1, f.top - 1, f.right - 1, f.bottom - 1};
    int mismatches = 0;
    for (int y = 0; y < box->GetHeight(); ++y)
      for (int x = 0; x < box->GetWidth(); ++x) {
        if (skipCaption && x >= c.left && x < c.right && y >= c.top && y < c.bottom)
          continue;  // the caption's text
        TKsColor want = OnFramePath(s, c.left, c.right, x, y) ? shadow
                        : OnFramePath(f, c.left, c.right, x, y) ? light
                                                                : face;
        if (Pixel(box, x, y) != want && ++mismatches <= 5)
          ADD_FAILURE() << "pixel (" << x << ", " << y << ")";
      }
  };
  box->SetCaption("");
  expectFrame(false);
  box->SetCaption("Units");
  expectFrame(true);
  // The caption is drawn in its rectangle: some pixel there differs from the face.
  const TRect c = box->GetCaptionRect();
  bool drawn = false;
  for (int y = c.top; y < c.bottom; ++y)
    for (int x = c.left; x < c.right; ++x)
      drawn |= Pixel(box, x, y) != face;
  EXPECT_TRUE(drawn);
}

TEST_F(GroupBoxTest, ThemedBoxDrawsWhatTheThemeDraws) {
  auto* engine = new TTeThemeEngine(Form);
  auto* plain = Make<TKsCustomGroupBox>(10, 10, 120, 70);
  auto* themed = Make<TTeThemeGroupBox>(140, 10, 120, 70);
  plain->SetCaption("Units");
  themed->SetCaption("Units");
  ShowForm();
  // Without an engine: the plain look.
  Paint(plain);
  Paint(themed);
  for (int y = 0; y < 70; ++y)
    for (int x = 0; x < 120; ++x)
      ASSERT_EQ(Pixel(themed, x, y), Pixel(plain, x, y)) << x << ", " << y;

  themed->SetThemeEngine(engine);
  Paint(themed);
  TTeTheme* theme = engine->GetTheme();
  TKsBitmap reference;
  reference.SetSize(120, 70);
  reference.Fill(ColorToKsColor(theme->GetColor(11), 255));
  reference.SetFont(themed->GetFont());
  theme->DrawGroupBox(reference, themed->GetFrameRect(), themed->GetCaptionRect(), "Units");
  GdiFlush();
  for (int y = 0; y < 70; ++y)
    for (int x = 0; x < 120; ++x)
      ASSERT_EQ(Pixel(themed, x, y), Opaque(reference.GetPixel(x, y))) << x << ", " << y;

  delete engine;  // dropped: plain again
  EXPECT_EQ(themed->GetThemeEngine(), nullptr);
  Paint(themed);
  EXPECT_EQ(Pixel(themed, 50, 40), Pixel(plain, 50, 40));
}

TEST_F(GroupBoxTest, AcceleratorFocusesTheFirstWindowedChild) {
  auto* box = Make<TKsCustomGroupBox>(10, 10, 150, 80);
  box->SetCaption("&Units");
  auto* edit = new TTestEdit(Form);
  edit->SetParent(box);
  edit->SetBounds(10, 20, 60, 20);
  auto* away = Make<TTestEdit>(170, 10, 60, 20);
  Form->SetActiveControl(away);
  ShowForm();
  EXPECT_NE(Form->Perform(CM_DIALOGCHAR, 'u', 0), 0);
  EXPECT_EQ(Form->GetActiveControl(), edit);
  EXPECT_EQ(Form->Perform(CM_DIALOGCHAR, 'x', 0), 0);
}

TEST_F(GroupBoxTest, AcceleratorWithADisabledFirstChildFocusesTheBox) {
  // Fault: focusing a first child that cannot take the focus raised "Cannot focus a
  // disabled or invisible window"; the box takes the focus instead.
  auto* box = Make<TKsCustomGroupBox>(10, 10, 150, 80);
  box->SetCaption("&Units");
  auto* edit = new TTestEdit(Form);
  edit->SetParent(box);
  edit->SetEnabled(false);
  Form->SetActiveControl(Make<TTestEdit>(170, 10, 60, 20));
  ShowForm();
  EXPECT_NE(Form->Perform(CM_DIALOGCHAR, 'u', 0), 0);
  EXPECT_EQ(Form->GetActiveControl(), box);
  EXPECT_TRUE(Exceptions.Messages.empty());
}

// ---- Radio group -----------------------------------------------------------------------------

TEST_F(GroupBoxTest, OneButtonPerItemInColumns) {
  auto* group = Fill(Make<TTeThemeRadioGroup>(10, 10, 200, 150), {"a", "b", "c", "d", "e"});
  ShowForm();
  ASSERT_EQ(group->GetButtons().size(), 5u);
  for (int i = 0; i < 5; ++i) {
    EXPECT_EQ(group->GetButtons()[i]->GetCaption(), std::string(1, char('a' + i)));
    EXPECT_EQ(group->GetButtons()[i]->GetParent(), group);
  }
  ExpectArranged(group);
  group->SetColumns(2);
  ExpectArranged(group);
  // 3 in the first column, 2 in the second.
  EXPECT_EQ(group->GetButtons()[2]->GetLeft(), 8);
  EXPECT_EQ(group->GetButtons()[3]->GetLeft(), 8 + 95);
  EXPECT_EQ(group->GetButtons()[3]->GetTop(), group->GetButtons()[0]->GetTop());
  group->SetBounds(10, 10, 240, 170);
  ExpectArranged(group);
  group->GetFont()->SetSize(14);
  ExpectArranged(group);
  group->SetColumns(0);
  EXPECT_EQ(group->GetColumns(), 1);
  group->SetColumns(20);
  EXPECT_EQ(group->GetColumns(), 16);
  ExpectArranged(group);
}

TEST_F(GroupBoxTest, ItemIndexFollowsClicksAndChecksButtons) {
  auto* group = Fill(Make<TTeThemeRadioGroup>(10, 10, 200, 150), {"mm", "mil", "inch"});
  TCounter clicks, changes;
  group->OnClick = clicks.Event();
  ShowForm();
  Click(group->GetButtons()[1]);
  EXPECT_EQ(group->GetItemIndex(), 1);
  EXPECT_EQ(Checks(group), "010");
  EXPECT_EQ(clicks.Count, 1);
  Click(group->GetButtons()[1]);  // already checked: nothing
  EXPECT_EQ(clicks.Count, 1);

  group->SetItemIndex(2);
  EXPECT_EQ(Checks(group), "001");
  group->SetItemIndex(7);
  EXPECT_EQ(group->GetItemIndex(), 2);
  group->SetItemIndex(-5);
  EXPECT_EQ(group->GetItemIndex(), -1);
  EXPECT_EQ(Checks(group), "000");

  // Space on a button checks it too.
  TTeThemeGroupButton* first = group->GetButtons()[0];
  SendMessageA(first->GetHandle(), WM_KEYDOWN, VK_SPACE, 0);
  SendMessageA(first->GetHandle(), WM_KEYUP, VK_SPACE, 0);
  EXPECT_EQ(group->GetItemIndex(), 0);
  EXPECT_EQ(Checks(group), "100");
  EXPECT_TRUE(Exceptions.Messages.empty());
}

TEST_F(GroupBoxTest, ItemsChangedRebuildTheButtons) {
  auto* group = Fill(Make<TTeThemeRadioGroup>(10, 10, 200, 150), {"a", "b", "c"});
  ShowForm();
  group->SetItemIndex(2);
  group->GetItems()->Delete(2);
  EXPECT_EQ(group->GetItemIndex(), 1);
  ASSERT_EQ(group->GetButtons().size(), 2u);
  EXPECT_EQ(Checks(group), "01");
  ExpectArranged(group);
  group->GetItems()->Put(0, "first");
  EXPECT_EQ(group->GetButtons()[0]->GetCaption(), "first");
  group->GetItems()->Add("z");
  EXPECT_EQ(Checks(group), "010");
  EXPECT_EQ(group->GetButtons()[2]->GetCaption(), "z");
  ExpectArranged(group);
  group->GetItems()->Clear();
  EXPECT_EQ(group->GetItemIndex(), -1);
  EXPECT_TRUE(group->GetButtons().empty());
  EXPECT_EQ(group->GetControlCount(), 0);
}

TEST_F(GroupBoxTest, AButtonFreedFromOutsideLeavesNoDanglingIndex) {
  // Fault: ItemIndex still named a button freed from outside, and setting it indexed
  // past the buttons when unchecking the old one.
  auto* group = Fill(Make<TTeThemeRadioGroup>(10, 10, 200, 150), {"a", "b", "c"});
  ShowForm();
  group->SetItemIndex(2);
  delete group->GetButtons()[2];
  ASSERT_EQ(group->GetButtons().size(), 2u);
  group->SetItemIndex(0);
  EXPECT_EQ(group->GetItemIndex(), 0);
  EXPECT_EQ(Checks(group), "10");
  group->GetItems()->Add("d");  // rebuilt: one button per item again
  EXPECT_EQ(group->GetButtons().size(), 4u);
  EXPECT_EQ(Checks(group), "1000");
}

// A radio group whose stored ItemIndex is read from the form data.
class TStoredRadioGroup : public TTeThemeRadioGroup {
 public:
  using TTeThemeRadioGroup::TTeThemeRadioGroup;
  int IndexDuringReading = 0;
  void DefineProperties(TFiler& filer) override {
    filer.DefineProperty("ItemIndex", TReaderProc::Bind<&TStoredRadioGroup::ReadIndex>(this), {}, true);
  }

 private:
  void ReadIndex(TReader& reader) {
    SetItemIndex(reader.ReadInteger());
    IndexDuringReading = GetItemIndex();
  }
};

TEST_F(GroupBoxTest, StoredItemIndexPastTheItemsIsClampedAfterReading) {
  // Fault: a stored ItemIndex beyond the items was used to check a button that does not
  // exist when the buttons were rebuilt after reading.
  auto* group = new TStoredRadioGroup(Form);
  group->SetParent(Form);
  group->SetBounds(10, 10, 200, 150);
  Fill(group, {"a", "b", "c"});
  const TFilerData data{{"ItemIndex", false, {int32_t(5)}}};
  TReader reader(data);
  group->ReadState(reader);
  EXPECT_EQ(group->IndexDuringReading, 5);  // stored as it is while reading
  EXPECT_FALSE(group->GetReading());
  EXPECT_EQ(group->GetItemIndex(), 2);
  EXPECT_EQ(Checks(group), "001");
}

TEST_F(GroupBoxTest, ArrangingBeforeTheGroupHasAParent) {
  // Fault: arranging made the buttons' windows, which fails while the group has no
  // parent window; the buttons are placed without windows instead.
  auto* group = new TTeThemeRadioGroup(Form);
  group->SetBounds(10, 10, 200, 150);
  Fill(group, {"a", "b"});
  ASSERT_EQ(group->GetButtons().size(), 2u);
  EXPECT_FALSE(group->GetButtons()[0]->HandleAllocated());
  ExpectArranged(group);
  group->SetParent(Form);
  ShowForm();
  ExpectArranged(group);
  EXPECT_TRUE(IsWindowVisible(group->GetButtons()[1]->GetHandle()));
}

TEST_F(GroupBoxTest, TinyGroupGivesButtonsNoNegativeSize) {
  auto* group = Fill(Make<TTeThemeRadioGroup>(10, 10, 6, 8), {"a", "b", "c"});
  ShowForm();
  for (TTeThemeGroupButton* button : group->GetButtons()) {
    EXPECT_EQ(button->GetWidth(), 0);
    EXPECT_EQ(button->GetHeight(), 0);
  }
  EXPECT_TRUE(Exceptions.Messages.empty());
}

TEST_F(GroupBoxTest, ItemTabStopAndEnabledReachTheButtons) {
  auto* group = Fill(Make<TTeThemeRadioGroup>(10, 10, 200, 150), {"a", "b", "c"});
  ShowForm();
  group->SetItemIndex(1);
  EXPECT_TRUE(group->GetButtons()[1]->GetTabStop());
  EXPECT_FALSE(group->GetButtons()[0]->GetTabStop());
  group->SetItemTabStop(false);
  EXPECT_FALSE(group->GetButtons()[1]->GetTabStop());
  Click(group->GetButtons()[2]);
  EXPECT_EQ(group->GetItemIndex(), 2);
  EXPECT_FALSE(group->GetButtons()[2]->GetTabStop());
  group->SetItemTabStop(true);
  EXPECT_TRUE(group->GetButtons()[2]->GetTabStop());

  group->SetEnabled(false);
  for (TTeThemeGroupButton* button : group->GetButtons())
    EXPECT_FALSE(button->GetEnabled());
  group->GetItems()->Add("d");  // a new button is enabled like the group
  EXPECT_FALSE(group->GetButtons()[3]->GetEnabled());
  group->SetEnabled(true);
  EXPECT_TRUE(group->GetButtons()[3]->GetEnabled());
}

TEST_F(GroupBoxTest, ButtonKeysReachTheGroup) {
  auto* group = Fill(Make<TTeThemeRadioGroup>(10, 10, 200, 150), {"a", "b"});
  TKeyRecorder keys;
  group->OnKeyDown = TKeyEvent::Bind<&TKeyRecorder::Down>(&keys);
  group->OnKeyPress = TKeyPressEvent::Bind<&TKeyRecorder::Press>(&keys);
  ShowForm();
  TTeThemeGroupButton* button = group->GetButtons()[1];
  button->SetFocus();
  SendMessageA(button->GetHandle(), WM_KEYDOWN, 'Q', 0);
  SendMessageA(button->GetHandle(), WM_CHAR, 'q', 0);
  EXPECT_EQ(keys.Downs, std::vector<WORD>{'Q'});
  EXPECT_EQ(keys.Presses, "q");
}

TEST_F(GroupBoxTest, ThemeEngineReachesTheButtons) {
  auto* engine = new TTeThemeEngine(Form);
  auto* group = Fill(Make<TTeThemeRadioGroup>(10, 10, 200, 150), {"a", "b"});
  group->SetThemeEngine(engine);
  for (TTeThemeGroupButton* button : group->GetButtons())
    EXPECT_EQ(button->GetThemeEngine(), engine);
  group->GetItems()->Add("c");
  EXPECT_EQ(group->GetButtons()[2]->GetThemeEngine(), engine);
  ShowForm();
  Paint(group);
  delete engine;
  EXPECT_EQ(group->GetThemeEngine(), nullptr);
  for (TTeThemeGroupButton* button : group->GetButtons())
    EXPECT_EQ(button->GetThemeEngine(), nullptr);
  Paint(group);
}

}  // namespace
