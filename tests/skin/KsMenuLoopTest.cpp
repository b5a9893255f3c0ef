// The popup windows and the menu loop under real messages: a script posts keys and mouse
// messages while the loop runs (each step waits until the loop has taken everything
// posted before it), then checks selection, the chain of popups, clicks, placement and
// that every window and GDI object made for the menu is gone afterwards.
#include <functional>
#include <memory>
#include <vector>

#include <gtest/gtest.h>

#include "classlib/Forms.h"
#include "classlib/HandleCounter.h"
#include "skin/KsItemView.h"
#include "skin/KsItems.h"
#include "skin/KsMenuForm.h"
#include "skin/KsUtils.h"
#include "tests/controls/ControlsTestSupport.h"
#include "tests/skin/MenuTestSupport.h"

namespace {

class KsMenuLoopTest : public FormTest {
 protected:
  void SetUp() override {
    FormTest::SetUp();
    ShowForm();
    Root = new TKsCustomItem(nullptr);
    WarmUp();
    GdiBefore = LiveGdiHandleCount();
    UserBefore = LiveUserHandleCount();
    FormsBefore = Screen->GetCustomFormCount();
  }
  void TearDown() override {
    delete Root;
    FormTest::TearDown();
  }
  // What the first menu run makes for good (the hook list's window, the buffer's font)
  // is made before the counts are taken.
  void WarmUp() {
    static bool done = false;
    if (done)
      return;
    done = true;
    TKsCustomItem* item = Add(Root, "Warm");
    TMenuScript script({[] { PostKey(VK_RETURN); }});
    script.Start();
    Root->ShowPopup(nullptr, 100, 100, TRect{});
    PumpPending();
    delete item;
    Clicks.clear();
  }
  TKsCustomItem* Add(TKsCustomItem* parent, const std::string& caption) {
    auto* item = new TKsCustomItem(nullptr);
    item->SetCaption(caption);
    item->OnClick = TNotifyEvent::Bind<&KsMenuLoopTest::Clicked>(this);
    parent->Add(item);
    return item;
  }

 public:
  void Clicked(TObject* sender) { Clicks.push_back(static_cast<TKsCustomItem*>(sender)); }

 protected:
  // Runs the script while the root's popup is up at (x, y); then lets posted clicks run.
  void Run(std::vector<TMenuScript::TStep> steps, int x = 100, int y = 100) {
    TMenuScript script(std::move(steps));
    script.Start();
    Root->ShowPopup(nullptr, x, y, TRect{});
    EXPECT_TRUE(script.Finished());
    PumpPending();
  }
  TKsItemView* View(size_t level) {
    auto popups = Popups();
    return level < popups.size() ? popups[level]->GetView() : nullptr;
  }
  void ExpectNothingLeft() {
    for (int i = FormsBefore; i < Screen->GetCustomFormCount(); ++i)
      ADD_FAILURE() << "left: " << Screen->GetCustomForms(i)->ClassName();
    EXPECT_TRUE(Popups().empty());
    EXPECT_EQ(Screen->GetCustomFormCount(), FormsBefore);
    EXPECT_EQ(LiveGdiHandleCount(), GdiBefore);
    EXPECT_EQ(LiveUserHandleCount(), UserBefore);
    EXPECT_EQ(KsCaptureCount(), 0);
  }

  TKsCustomItem* Root = nullptr;
  std::vector<TKsCustomItem*> Clicks;
  int GdiBefore = 0, UserBefore = 0, FormsBefore = 0;
};

TEST_F(KsMenuLoopTest, ArrowKeysSkipSeparatorsAndHiddenItemsWrapAndReturnClicksOnce) {
  TKsCustomItem* open = Add(Root, "&Open");
  Add(Root, "-");
  Add(Root, "Secret")->SetVisible(false);
  TKsCustomItem* save = Add(Root, "&Save");
  TKsCustomItem* exit = Add(Root, "E&xit");
  std::vector<TKsCustomItem*> seen;
  auto record = [&] { seen.push_back(View(0)->GetSelected()); };
  Run({record, [] { PostKey(VK_DOWN); }, record, [] { PostKey(VK_DOWN); }, record,
       [] { PostKey(VK_DOWN); }, record, [] { PostKey(VK_UP); }, record,
       [] { PostKey(VK_RETURN); }});
  EXPECT_EQ(seen, (std::vector<TKsCustomItem*>{open, save, exit, open, exit}));
  ASSERT_EQ(Clicks.size(), 1u);
  EXPECT_EQ(Clicks[0], exit);
  ExpectNothingLeft();
}

TEST_F(KsMenuLoopTest, ReturnOpensASubMenuAndEscapeClosesOneLevel) {
  Add(Root, "&About");
  TKsCustomItem* recent = Add(Root, "&Recent");
  TKsCustomItem* one = Add(recent, "One");
  TKsCustomItem* two = Add(recent, "Two");
  Run({[] { PostKey(VK_DOWN); },
       [] { PostKey(VK_RETURN); },
       [&] {
         ASSERT_EQ(Popups().size(), 2u);
         EXPECT_EQ(View(1)->GetItem(), recent);
         EXPECT_EQ(View(1)->GetParentView(), View(0));
         EXPECT_EQ(View(0)->GetChildView(), View(1));
         EXPECT_TRUE(View(0)->GetSubMenuOpen());
         EXPECT_EQ(View(1)->GetSelected(), one);
         // The sub-menu opens beside its item.
         RECT outer, inner;
         GetWindowRect(Popups()[0]->GetHandle(), &outer);
         GetWindowRect(Popups()[1]->GetHandle(), &inner);
         EXPECT_GT(inner.left, outer.left);
         PostKey(VK_DOWN);
       },
       [&] {
         EXPECT_EQ(View(1)->GetSelected(), two);
         PostKey(VK_ESCAPE);
       },
       [&] {
         ASSERT_EQ(Popups().size(), 1u);
         EXPECT_FALSE(View(0)->GetSubMenuOpen());
         EXPECT_EQ(View(0)->GetChildView(), nullptr);
         EXPECT_TRUE(View(0)->GetTracking());
         PostKey(VK_ESCAPE);
       }});
  EXPECT_TRUE(Clicks.empty());
  ExpectNothingLeft();
}

TEST_F(KsMenuLoopTest, DisabledItemIsNotClickedAndKeepsTheMenuOpen) {
  Add(Root, "&Open");
  Add(Root, "&Print")->SetEnabled(false);
  Run({[] { PostKey(VK_DOWN); },
       [] { PostKey(VK_RETURN); },
       [&] {
         ASSERT_EQ(Popups().size(), 1u);
         EXPECT_TRUE(View(0)->GetTracking());
         PostKey(VK_ESCAPE);
       }});
  EXPECT_TRUE(Clicks.empty());
  ExpectNothingLeft();
}

TEST_F(KsMenuLoopTest, MouseClickOnAnItemRunsItsClickOnceAfterTheLoop) {
  Add(Root, "&Open");
  TKsCustomItem* save = Add(Root, "&Save");
  TMenuScript script({[&] {
    TKsPopupWindow* popup = Innermost();
    const LPARAM at = ItemCentre(popup, save);
    PostMessageA(popup->GetHandle(), WM_MOUSEMOVE, 0, at);
    PostMessageA(popup->GetHandle(), WM_LBUTTONDOWN, MK_LBUTTON, at);
    PostMessageA(popup->GetHandle(), WM_LBUTTONUP, 0, at);
  }});
  script.Start();
  Root->ShowPopup(nullptr, 100, 100, TRect{});
  EXPECT_TRUE(script.Finished());
  const bool clickedInsideLoop = !Clicks.empty();
  PumpUntil([&] { return !Clicks.empty(); }, 1000);
  PumpPending();
  EXPECT_FALSE(clickedInsideLoop);
  ASSERT_EQ(Clicks.size(), 1u);
  EXPECT_EQ(Clicks[0], save);
  ExpectNothingLeft();
}

TEST_F(KsMenuLoopTest, ClickOutsideClosesEveryMenuAndStillReachesItsWindow) {
  Add(Root, "&About");
  TKsCustomItem* recent = Add(Root, "&Recent");
  Add(recent, "One");
  int downs = 0;
  TTestWindow target([&](UINT msg, WPARAM, LPARAM, LRESULT&) {
    downs += msg == WM_LBUTTONDOWN;
    return false;
  });
  SetWindowPos(target.Handle(), nullptr, 500, 500, 100, 100, SWP_NOZORDER | SWP_NOACTIVATE);
  Run({[] { PostKey(VK_DOWN); },
       [] { PostKey(VK_RETURN); },
       [&] {
         ASSERT_EQ(Popups().size(), 2u);
         PostMessageA(target.Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(10, 10));
       }});
  EXPECT_EQ(downs, 1);
  EXPECT_TRUE(Clicks.empty());
  ExpectNothingLeft();
}

TEST_F(KsMenuLoopTest, MovingOntoAnotherItemOfTheParentSwitchesTheOpenSubMenu) {
  Add(Root, "&About");
  TKsCustomItem* b = Add(Root, "&B");
  Add(b, "b1");
  TKsCustomItem* c = Add(Root, "&C");
  Add(c, "c1");
  Run({[] { PostKey(VK_DOWN); },
       [] { PostKey(VK_RETURN); },
       [&] {
         ASSERT_EQ(Popups().size(), 2u);
         EXPECT_EQ(View(1)->GetItem(), b);
         TKsPopupWindow* outer = Popups()[0];
         PostMessageA(outer->GetHandle(), WM_MOUSEMOVE, 0, ItemCentre(outer, c));
       },
       [&] {
         ASSERT_EQ(Popups().size(), 2u);
         EXPECT_EQ(View(0)->GetSelected(), c);
         EXPECT_EQ(View(1)->GetItem(), c);
         PostKey(VK_ESCAPE);
       },
       [] { PostKey(VK_ESCAPE); }});
  EXPECT_TRUE(Clicks.empty());
  ExpectNothingLeft();
}

TEST_F(KsMenuLoopTest, AltAndAnotherWindowTakingTheCaptureEndTheLoops) {
  Add(Root, "&About");
  TKsCustomItem* recent = Add(Root, "&Recent");
  Add(recent, "One");
  Run({[] { PostKey(VK_DOWN); }, [] { PostKey(VK_RETURN); }, [] { PostKey(VK_MENU); }});
  ExpectNothingLeft();
  Run({[] { PostKey(VK_DOWN); }, [] { PostKey(VK_RETURN); }, [&] { SetCapture(Form->GetHandle()); }});
  ReleaseCapture();
  ExpectNothingLeft();
}

TEST_F(KsMenuLoopTest, FreeingTheMenuWhileItIsOpenEndsEveryLoop) {
  // Fault: the popups were owned by the items' owner and the loops kept using freed
  // items, so a handler that freed the menu during the loop freed the running popups.
  auto* owner = new TComponent(nullptr);
  auto* tree = new TKsCustomItem(owner);
  auto* sub = new TKsCustomItem(owner);
  sub->SetCaption("&Sub");
  tree->Add(sub);
  auto* leaf = new TKsCustomItem(owner);
  leaf->SetCaption("Leaf");
  sub->Add(leaf);
  TMenuScript script({[] { PostKey(VK_RETURN); },
                      [&] {
                        ASSERT_EQ(Popups().size(), 2u);
                        delete owner;
                      }});
  script.Start();
  tree->ShowPopup(nullptr, 100, 100, TRect{});
  EXPECT_TRUE(script.Finished());
  ExpectNothingLeft();
}

TEST_F(KsMenuLoopTest, AnEmptyItemOpensNoPopup) {
  Root->ShowPopup(nullptr, 100, 100, TRect{});
  ExpectNothingLeft();
}

TEST_F(KsMenuLoopTest, PopupNearTheBottomRightCornerOpensUpAndToTheLeft) {
  Add(Root, "&Open");
  const int sw = GetSystemMetrics(SM_CXSCREEN), sh = GetSystemMetrics(SM_CYSCREEN);
  RECT r{};
  Run({[&] {
         GetWindowRect(Innermost()->GetHandle(), &r);
         PostKey(VK_ESCAPE);
       }},
      sw - 5, sh - 5);
  EXPECT_EQ(r.right, sw - 5);
  EXPECT_EQ(r.bottom, sh - 5);
  RECT free{};
  Run({[&] {
         GetWindowRect(Innermost()->GetHandle(), &free);
         PostKey(VK_ESCAPE);
       }});
  EXPECT_EQ(free.left, 100);
  EXPECT_EQ(free.top, 100);
}

TEST_F(KsMenuLoopTest, SubMenuThatDoesNotFitOnTheRightOpensLeftOfItsItem) {
  Add(Root, "&Open");
  const int sw = GetSystemMetrics(SM_CXSCREEN);
  const TRect item{sw - 60, 100, sw - 10, 120};
  RECT r{};
  TMenuScript script({[&] {
    GetWindowRect(Innermost()->GetHandle(), &r);
    PostKey(VK_ESCAPE);
  }});
  script.Start();
  Root->ShowPopup(nullptr, 0, 0, item);
  EXPECT_TRUE(script.Finished());
  EXPECT_EQ(r.right, item.left);
  EXPECT_EQ(r.top, item.top);
  ExpectNothingLeft();
}

TEST_F(KsMenuLoopTest, PopupIsAsLargeAsItsItemsPlusBordersAndShadow) {
  Add(Root, "&Open");
  Add(Root, "&Save as...");
  for (bool shadow : {false, true}) {
    Root->SetDropShadowAll(shadow);
    Root->SetShadowWidthAll(4);
    int width = 0, height = 0, itemsWidth = 0, itemsHeight = 0;
    Run({[&] {
      TKsPopupWindow* popup = Innermost();
      const TRect first = popup->GetView()->GetItemRect(Root->GetItems(0));
      const TRect last = popup->GetView()->GetItemRect(Root->GetItems(1));
      itemsWidth = RectWidth(first);
      itemsHeight = last.bottom - first.top;
      width = popup->GetWidth();
      height = popup->GetHeight();
      PostKey(VK_ESCAPE);
    }});
    const int extra = shadow ? 4 : 0;
    EXPECT_EQ(width, itemsWidth + 6 + extra) << shadow;
    EXPECT_EQ(height, itemsHeight + 6 + extra) << shadow;
  }
}

TEST_F(KsMenuLoopTest, OnlyTheFirstPopupOfARunTakesTheAnimationWhenAnimatingOnce) {
  Add(Root, "&About");
  TKsCustomItem* recent = Add(Root, "&Recent");
  Add(recent, "One");
  Root->SetShowAnimationAll(kaFade);
  Root->SetShowAnimationTimeAll(20);
  Root->SetAnimateOnceAll(true);
  Root->SetAnimatePendingAll(true);
  TKsAnimation outer = kaNone, inner = kaFade;
  Run({[] { PostKey(VK_DOWN); },
       [] { PostKey(VK_RETURN); },
       [&] {
         ASSERT_EQ(Popups().size(), 2u);
         outer = Popups()[0]->GetSkinner()->GetShowAnimation();
         inner = Popups()[1]->GetSkinner()->GetShowAnimation();
         PostKey(VK_MENU);
       }});
  EXPECT_EQ(outer, kaFade);
  EXPECT_EQ(inner, kaNone);
  EXPECT_FALSE(recent->GetAnimatePending());
}

TEST_F(KsMenuLoopTest, ActivatingThePopupKeepsTheOwnerCaptionActive) {
  auto* skinner = new TKsCustomForm(Form);
  skinner->SetActive(true);
  skinner->Loaded();
  auto* owned = new TKsCustomItem(Form);
  owned->SetCaption("Menu");
  auto* entry = new TKsCustomItem(Form);
  entry->SetCaption("&Entry");
  owned->Add(entry);
  bool activeLook = false;
  TMenuScript script({[&] {
    SendMessageA(Form->GetHandle(), WM_NCACTIVATE, 0, 0);
    EXPECT_FALSE(skinner->GetActiveLook());
    SendMessageA(Innermost()->GetHandle(), WM_MOUSEACTIVATE, WPARAM(Form->GetHandle()), 0);
    activeLook = skinner->GetActiveLook();
    PostKey(VK_ESCAPE);
  }});
  script.Start();
  owned->ShowPopup(nullptr, 100, 100, TRect{});
  EXPECT_TRUE(script.Finished());
  EXPECT_TRUE(activeLook);
  delete owned;
}

}  // namespace
