// The list box, owner-drawn with variable item heights, through real window messages.
#include <algorithm>

#include "classlib/StdCtrls.h"
#include "tests/controls/ControlsTestSupport.h"

namespace {

struct TItemRecorder {
  TCustomListBox* ListBox = nullptr;
  std::vector<int> Measured;
  std::vector<TObject*> MeasuredObjects;
  std::vector<int> Drawn;
  std::vector<TOwnerDrawState> DrawnStates;
  int Clicks = 0;
  static int HeightOf(int index) { return 12 + 5 * index; }
  void Measure(TWinControl*, int index, int& height) {
    Measured.push_back(index);
    MeasuredObjects.push_back(ListBox->GetItems()->GetObject(index));
    height = HeightOf(index);
  }
  void Draw(TWinControl*, int index, TRect rect, TOwnerDrawState state) {
    Drawn.push_back(index);
    DrawnStates.push_back(state);
    ListBox->GetCanvas()->FillRect(rect);
  }
  void Click(TObject*) { ++Clicks; }
  bool DrewSelected(int index) const {
    for (size_t i = 0; i < Drawn.size(); ++i)
      if (Drawn[i] == index && DrawnStates[i].Contains(odSelected))
        return true;
    return false;
  }
};

using ListBoxTest = FormTest;

TEST_F(ListBoxTest, OwnerDrawVariableMeasuresAndDrawsEachItemByIndex) {
  auto* list = new TListBox(Form);
  list->SetParent(Form);
  list->SetBounds(10, 10, 150, 150);
  list->SetStyle(lbOwnerDrawVariable);
  TItemRecorder recorder{list};
  list->OnMeasureItem = TMeasureItemEvent::Bind<&TItemRecorder::Measure>(&recorder);
  list->OnDrawItem = TDrawItemEvent::Bind<&TItemRecorder::Draw>(&recorder);
  list->OnClick = TNotifyEvent::Bind<&TItemRecorder::Click>(&recorder);
  TObject first, second, third;
  list->GetItems()->AddObject("Apple", &first);
  ShowForm();
  // Items added to the live window are measured with their objects already in place.
  list->GetItems()->AddObject("Banana", &second);
  list->GetItems()->InsertObject(2, "blue", &third);
  EXPECT_EQ(recorder.Measured, (std::vector<int>{0, 1, 2}));
  EXPECT_EQ(recorder.MeasuredObjects, (std::vector<TObject*>{&first, &second, &third}));
  for (int i = 0; i < 3; ++i)
    EXPECT_EQ(RectHeight(list->ItemRect(i)), TItemRecorder::HeightOf(i)) << i;

  list->Invalidate();
  list->Update();
  for (int i = 0; i < 3; ++i)
    EXPECT_NE(std::find(recorder.Drawn.begin(), recorder.Drawn.end(), i), recorder.Drawn.end()) << i;
  EXPECT_FALSE(recorder.DrewSelected(1));

  // Hit testing by item rectangle; below the last item only when asked for.
  const TRect third_ = list->ItemRect(2);
  const TPoint inThird{5, (third_.top + third_.bottom) / 2};
  EXPECT_EQ(list->ItemAtPos(inThird, true), 2);
  EXPECT_EQ(list->ItemAtPos(TPoint{5, third_.bottom + 3}, true), -1);
  EXPECT_EQ(list->ItemAtPos(TPoint{5, third_.bottom + 3}, false), 3);

  // A click selects the item under the mouse, fires OnClick once and draws it selected.
  recorder.Drawn.clear();
  recorder.DrawnStates.clear();
  PostMessageA(list->GetHandle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(inThird.x, inThird.y));
  PostMessageA(list->GetHandle(), WM_LBUTTONUP, 0, MAKELPARAM(inThird.x, inThird.y));
  PumpUntil([&] { return recorder.Clicks > 0; }, 2000);
  PumpPending();
  list->Update();
  EXPECT_EQ(recorder.Clicks, 1);
  EXPECT_EQ(list->GetItemIndex(), 2);
  EXPECT_TRUE(recorder.DrewSelected(2));
  EXPECT_EQ(list->GetItems()->GetObject(list->GetItemIndex()), &third);

  // A new window measures every item again and keeps the selection.
  recorder.Measured.clear();
  list->RecreateWnd();
  EXPECT_EQ(recorder.Measured, (std::vector<int>{0, 1, 2}));
  EXPECT_EQ(list->GetItemIndex(), 2);
  EXPECT_EQ(SendMessageA(list->GetHandle(), LB_GETCOUNT, 0, 0), 3);
  list->SetItemIndex(0);
  EXPECT_EQ(recorder.Clicks, 1);  // from code: no click
  list->GetItems()->Clear();
  EXPECT_EQ(list->GetItemIndex(), -1);
  EXPECT_EQ(SendMessageA(list->GetHandle(), LB_GETCOUNT, 0, 0), 0);
  EXPECT_TRUE(Exceptions.Messages.empty());
}

TEST_F(ListBoxTest, StandardListBoxKeepsItemsWithoutAWindow) {
  auto* list = new TListBox(Form);
  TObject marker;
  list->GetItems()->Add("Brief");
  list->GetItems()->AddObject("Normal", &marker);
  list->SetItemIndex(1);
  EXPECT_EQ(list->GetItemIndex(), 1);
  list->SetItemIndex(7);
  EXPECT_EQ(list->GetItemIndex(), -1);
  list->SetItemIndex(1);
  list->SetParent(Form);
  ShowForm();
  EXPECT_EQ(SendMessageA(list->GetHandle(), LB_GETCOUNT, 0, 0), 2);
  EXPECT_EQ(list->GetItemIndex(), 1);
  char text[16] = {};
  SendMessageA(list->GetHandle(), LB_GETTEXT, 1, reinterpret_cast<LPARAM>(text));
  EXPECT_STREQ(text, "Normal");
  EXPECT_EQ(list->GetItems()->GetObject(1), &marker);
  list->GetItems()->Delete(0);
  EXPECT_EQ(SendMessageA(list->GetHandle(), LB_GETCOUNT, 0, 0), 1);
  EXPECT_THROW(list->GetItems()->GetObject(1), EListError);

  // The fixed owner-drawn style is measured once, at ItemHeight, as its window is made.
  list->SetItemHeight(23);
  list->SetStyle(lbOwnerDrawFixed);
  list->GetItems()->Add("Full");
  EXPECT_EQ(RectHeight(list->ItemRect(0)), 23);
  EXPECT_EQ(RectHeight(list->ItemRect(1)), 23);
  EXPECT_TRUE(Exceptions.Messages.empty());
}

}  // namespace
