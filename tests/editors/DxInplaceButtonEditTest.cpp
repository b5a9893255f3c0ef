// The button editor: its button collection (limit, Default, visible indexes), clicks
// by key and by visible index, the buttons-only layout, the text modes' keys, and an
// editor stored without buttons.
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "classlib/Filer.h"
#include "classlib/AliveGuard.h"
#include "editors/DxInplaceButtonEdit.h"
#include "tests/editors/EditorsTestSupport.h"
#include "tests/editors/GuardedHeap.h"

namespace {

class TTestButtonEdit : public TdxInplaceButtonEdit {
  KIVO_CLASS(TTestButtonEdit, TdxInplaceButtonEdit)
 public:
  using TdxInplaceButtonEdit::TdxInplaceButtonEdit;
  using TdxInplaceButtonEdit::KeyDown;
  std::vector<int> Clicked;
  void Record(TObject*, int index) { Clicked.push_back(index); }
};

class DxInplaceButtonEditTest : public EditorTest {
 protected:
  void SetUp() override {
    EditorTest::SetUp();
    Buttons = new TTestButtonEdit(Container);
    Buttons->SetParent(Container);
    Buttons->SetBounds(10, 10, 104, 24);
    Buttons->OnButtonClick = TdxEditButtonClickEvent::Bind<&TTestButtonEdit::Record>(Buttons);
  }
  TTestButtonEdit* Buttons = nullptr;
};

TEST_F(DxInplaceButtonEditTest, NewEditorHasOneDefaultButtonThatTheClickKeyClicks) {
  ASSERT_EQ(Buttons->GetButtons()->GetCount(), 1);
  EXPECT_TRUE(Buttons->GetButtons()->GetItem(0)->GetDefault());
  EXPECT_EQ(Buttons->GetClickKey(), 0x400D);
  WORD key = VK_RETURN;
  Buttons->KeyDown(key, {ssCtrl});
  EXPECT_EQ(key, 0);
  EXPECT_EQ(Buttons->Clicked, std::vector<int>{0});
}

TEST_F(DxInplaceButtonEditTest, DefaultIsUniqueAndHiddenButtonsHaveNoVisibleIndex) {
  TdxEditButtons* buttons = Buttons->GetButtons();
  TdxEditButton* second = buttons->Add();
  second->SetDefault(true);
  EXPECT_FALSE(buttons->GetItem(0)->GetDefault());
  buttons->GetItem(0)->SetVisible(false);
  EXPECT_EQ(buttons->GetVisibleCount(), 1);
  EXPECT_EQ(buttons->VisibleIndexToIndex(0), 1);
  EXPECT_EQ(buttons->GetVisibleItem(1), nullptr);
  Buttons->ButtonClick(0);
  Buttons->ButtonClick(1);  // beyond the visible buttons: no event
  EXPECT_EQ(Buttons->Clicked, std::vector<int>{1});
  WORD key = VK_RETURN;
  Buttons->KeyDown(key, {ssCtrl});
  EXPECT_EQ(Buttons->Clicked, (std::vector<int>{1, 1}));
}

TEST_F(DxInplaceButtonEditTest, NinthButtonIsRefused) {
  TdxEditButtons* buttons = Buttons->GetButtons();
  for (int i = 1; i < 8; ++i)
    buttons->Add();
  try {
    buttons->Add();
    FAIL() << "a ninth button raises";
  } catch (const Exception& e) {
    EXPECT_STREQ(e.what(), "Too many buttons ( >= 8)");
  }
  EXPECT_EQ(buttons->GetCount(), 8);
}

TEST_F(DxInplaceButtonEditTest, ButtonsOnlyWidensTheLastButtonToFillTheCell) {
  TdxEditButtons* buttons = Buttons->GetButtons();
  buttons->GetItem(0)->SetWidth(20);
  buttons->Add()->SetWidth(20);
  Buttons->SetTextMode(tmButtonOnly);
  EXPECT_FALSE(Buttons->HasTextArea());
  std::unique_ptr<TdxEditViewData> v(Buttons->CreateViewData(false));
  TdxEditDrawRecord r;
  Buttons->EditClass()->CalcViewData(v.get(), false, r);
  auto* bv = static_cast<TdxButtonEditViewData*>(v.get());
  ASSERT_EQ(bv->ButtonCount, 2);
  EXPECT_TRUE(bv->ButtonOnly);
  EXPECT_EQ(bv->Buttons[0].Width, 20);
  EXPECT_EQ(bv->Buttons[1].Width, 80) << "a 100-pixel content area";
  EXPECT_EQ(RectWidth(r.InnerRect), 0);
}

TEST_F(DxInplaceButtonEditTest, WithoutTextEditingArrowsGoToTheNeighbouringCell) {
  Buttons->SetTextMode(tmHideEditCursor);
  WORD key = VK_LEFT;
  Buttons->KeyDown(key, {});
  key = VK_RIGHT;
  Buttons->KeyDown(key, {});
  EXPECT_EQ(Container->Notifications, (std::vector<bool>{true, false}));
  std::unique_ptr<TdxEditViewData> v(Buttons->CreateViewData(false));
  EXPECT_TRUE(static_cast<TdxButtonEditViewData*>(v.get())->NoCaret);
  EXPECT_TRUE(SendMessageA(Buttons->GetHandle(), WM_GETDLGCODE, 0, 0) & DLGC_WANTARROWS);
}

TEST_F(DxInplaceButtonEditTest, EditorStoredWithoutButtonsLoadsWithoutButtons) {
  TFilerData withButtons, without;
  {
    TWriter writer(withButtons);
    writer.WriteProperties(Buttons);
  }
  Buttons->GetButtons()->Clear();
  {
    TWriter writer(without);
    writer.WriteProperties(Buttons);
  }
  for (auto* data : {&withButtons, &without}) {
    TComponent root(nullptr);
    BeginLoading(&root);
    auto* loaded = new TTestButtonEdit(&root);
    TReader reader(*data);
    reader.ReadProperties(loaded);
    EndLoading(&root);
    EXPECT_EQ(loaded->GetButtons()->GetCount(), data == &withButtons ? 1 : 0);
  }
}

// Fault: a button click went on to the drop-down events with the editor that its
// OnButtonClick handler had freed (use after free).
TEST_F(DxInplaceButtonEditTest, AClickHandlerThatFreesTheEditorEndsTheClick) {
  const TGuardedHeap guarded;  // a freed editor's memory faults when it is touched
  auto* edit = new TTestButtonEdit(Container);
  edit->SetParent(Container);
  struct TFree {
    void Click(TObject* sender, int) { delete sender; }
  } free;
  edit->OnButtonClick = TdxEditButtonClickEvent::Bind<&TFree::Click>(&free);
  const TAliveGuard alive(edit);
  WORD key = VK_RETURN;
  edit->KeyDown(key, {ssCtrl});
  EXPECT_FALSE(alive.Alive());
  EXPECT_EQ(key, 0);
}

}  // namespace
