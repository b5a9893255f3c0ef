// The menu bar and the popup menu on a shown form: the bar's height and etched line,
// opening its menus with Alt and a letter and with the arrow keys, the MDI buttons, and
// the popup menu's showing, clicking and closing of another popup menu.
#include <algorithm>
#include <memory>

#include <gtest/gtest.h>

#include "skin/KsBitmap.h"
#include "skin/KsForms.h"
#include "skin/KsItems.h"
#include "skin/KsMenus.h"
#include "tests/controls/ControlsTestSupport.h"
#include "tests/skin/MenuTestSupport.h"

namespace {

TKsColor Rgb(TKsColor c) { return c & 0xFFFFFF; }
TKsColor Sys(TColor color) { return Rgb(ColorToKsColor(color, 255)); }

// A skinner whose commands are only counted.
class TCountingSkin : public TKsCustomForm {
  KIVO_CLASS(TCountingSkin, TKsCustomForm)
 public:
  explicit TCountingSkin(TComponent* AOwner) : TKsCustomForm(AOwner) {}
  void CloseForm() override { ++Closes; }
  void Restore() override { ++Restores; }
  void Minimize() override { ++Minimizes; }
  int Closes = 0, Restores = 0, Minimizes = 0;
};

struct TCounter {
  int Count = 0;
  void Hit(TObject*) { ++Count; }
};

class KsMenusTest : public FormTest {
 protected:
  void SetUp() override {
    FormTest::SetUp();
    ShowForm();
  }
  TKsCustomItem* Add(TKsCustomItem* parent, const std::string& caption) {
    auto* item = new TKsCustomItem(nullptr);
    item->SetCaption(caption);
    parent->Add(item);
    return item;
  }
  // A bar on the form with "&File" (New, Open) and "&Edit" (Copy), measured.
  TKsCustomMenuBar* MakeBar() {
    auto* bar = new TKsCustomMenuBar(Form);
    bar->SetParent(Form);
    bar->HandleNeeded();
    TKsCustomItem* file = Add(bar->GetItems(), "&File");
    Add(file, "&New");
    Add(file, "&Open");
    TKsCustomItem* edit = Add(bar->GetItems(), "&Edit");
    Add(edit, "&Copy");
    bar->Loaded();
    return bar;
  }
  RECT ScreenRectOf(TKsCustomMenuBar* bar, TKsCustomItem* item) {
    const TRect r = bar->GetView()->GetItemRect(item);
    POINT corners[2] = {{r.left, r.top}, {r.right, r.bottom}};
    MapWindowPoints(bar->GetHandle(), nullptr, corners, 2);
    return RECT{corners[0].x, corners[0].y, corners[1].x, corners[1].y};
  }
};

TEST_F(KsMenusTest, TopBarIsAsHighAsItsTallestItemPlusTheEtchedLine) {
  TKsCustomMenuBar* bar = MakeBar();
  int tallest = 0;
  for (int i = 0; i < bar->GetItems()->GetCount(); ++i) {
    int w = 0, h = 0;
    bar->GetItems()->GetItems(i)->CalcSize(bar->GetBuffer(), bar->GetView(), w, h);
    tallest = std::max(tallest, h);
  }
  EXPECT_EQ(bar->GetHeight(), tallest + 2);
  TRect items{};
  bar->GetItemsRect(items);
  EXPECT_EQ(items, (TRect{0, 0, bar->GetClientWidth(), bar->GetClientHeight() - 2}));
  bar->PaintBufferFull();
  GdiFlush();
  const int h = bar->GetHeight(), mid = bar->GetWidth() / 2;
  EXPECT_EQ(Rgb(bar->GetBuffer()->GetPixel(mid, h - 2)), Sys(clBtnShadow));
  EXPECT_EQ(Rgb(bar->GetBuffer()->GetPixel(mid, h - 1)), Sys(clBtnHighlight));
}

TEST_F(KsMenusTest, AltAndAnAcceleratorOpensThatMenuBelowItsItem) {
  TKsCustomMenuBar* bar = MakeBar();
  TKsCustomItem* edit = bar->GetItems()->GetItems(1);
  RECT popupRect{}, itemRect = ScreenRectOf(bar, edit);
  LRESULT handled = 0;
  TMenuScript script({[&] {
                        ASSERT_EQ(Popups().size(), 1u);
                        EXPECT_EQ(Innermost()->GetView()->GetItem(), edit);
                        EXPECT_EQ(Innermost()->GetView()->GetParentView(), bar->GetView());
                        GetWindowRect(Innermost()->GetHandle(), &popupRect);
                        PostKey(VK_ESCAPE);
                      },
                      [&] {
                        EXPECT_TRUE(Popups().empty());
                        EXPECT_TRUE(bar->GetView()->GetTracking());
                        PostMessageA(bar->GetHandle(), WM_KEYDOWN, VK_ESCAPE, 0);
                      }});
  script.Start();
  handled = bar->Perform(CM_DIALOGCHAR, 'e', 0x20000000);
  EXPECT_TRUE(script.Finished());
  EXPECT_EQ(handled, 1);
  EXPECT_EQ(popupRect.left, itemRect.left);
  EXPECT_EQ(popupRect.top, itemRect.bottom);
  EXPECT_FALSE(bar->GetView()->GetTracking());
  // A letter that no caption carries is passed on.
  TMenuScript idle({[] { PostKey(VK_ESCAPE); }});
  idle.Start();
  EXPECT_EQ(bar->Perform(CM_DIALOGCHAR, 'q', 0x20000000), 0);
  EXPECT_FALSE(bar->GetView()->GetTracking());
  PumpPending();
}

TEST_F(KsMenusTest, DownOpensTheBarItemAndRightMovesTheBarToTheNextMenu) {
  TKsCustomMenuBar* bar = MakeBar();
  TKsCustomItem* file = bar->GetItems()->GetItems(0);
  TKsCustomItem* edit = bar->GetItems()->GetItems(1);
  TMenuScript script({[&] {
                        EXPECT_EQ(bar->GetView()->GetSelected(), file);
                        PostMessageA(bar->GetHandle(), WM_KEYDOWN, VK_DOWN, 0);
                      },
                      [&] {
                        ASSERT_EQ(Popups().size(), 1u);
                        EXPECT_EQ(Innermost()->GetView()->GetItem(), file);
                        PostKey(VK_RIGHT);
                      },
                      [&] {
                        ASSERT_EQ(Popups().size(), 1u);
                        EXPECT_EQ(bar->GetView()->GetSelected(), edit);
                        EXPECT_EQ(Innermost()->GetView()->GetItem(), edit);
                        PostKey(VK_MENU);
                      }});
  script.Start();
  bar->TrackMenu();
  EXPECT_TRUE(script.Finished());
  EXPECT_TRUE(Popups().empty());
  EXPECT_EQ(bar->GetView()->GetSelected(), nullptr);
}

TEST_F(KsMenusTest, MDIButtonsStayHiddenUntilAChildIsMaximized) {
  auto mdi = std::make_unique<TForm>(nullptr);
  mdi->SetFormStyle(fsMDIForm);
  mdi->SetBounds(500, 300, 400, 300);
  auto* bar = new TKsCustomMenuBar(mdi.get());
  bar->SetParent(mdi.get());
  bar->HandleNeeded();
  Add(bar->GetItems(), "&File");
  bar->Loaded();
  TKsCustomItem* items = bar->GetItems();
  ASSERT_EQ(items->GetCount(), 5);
  EXPECT_EQ(items->GetItems(0)->GetMDIButtonKind(), 4);
  EXPECT_EQ(items->GetItems(2)->GetMDIButtonKind(), 3);
  EXPECT_EQ(items->GetItems(3)->GetMDIButtonKind(), 2);
  EXPECT_EQ(items->GetItems(4)->GetMDIButtonKind(), 1);
  for (TKsCustomItem* item : {bar->GetMDIIconItem(), bar->GetMDICloseItem()})
    EXPECT_FALSE(item->GetVisible());
  // A click without a maximized child does nothing.
  DispatchItemClick(bar->GetMDICloseItem());

  auto* child = new TCountingSkin(mdi.get());
  bar->ShowMDIButtons(child);
  EXPECT_TRUE(bar->GetMDICloseItem()->GetVisible());
  EXPECT_EQ(bar->GetMDICloseItem()->GetMDIChild(), child);
  int w = 0, h = 0;
  bar->GetMDICloseItem()->CalcSize(bar->GetBuffer(), bar->GetView(), w, h);
  EXPECT_EQ(w, h);
  const TRect close = bar->GetView()->GetItemRect(bar->GetMDICloseItem());
  EXPECT_EQ(close, (TRect{bar->GetWidth() - w, 0, bar->GetWidth(), bar->GetHeight()}));
  EXPECT_EQ(bar->GetView()->GetItemRect(bar->GetMDIIconItem()), (TRect{0, 0, w, h}));
  DispatchItemClick(bar->GetMDICloseItem());
  DispatchItemClick(bar->GetMDIRestoreItem());
  DispatchItemClick(bar->GetMDIMinimizeItem());
  EXPECT_EQ(child->Closes, 1);
  EXPECT_EQ(child->Restores, 1);
  EXPECT_EQ(child->Minimizes, 1);
  bar->HideMDIButtons();
  EXPECT_FALSE(bar->GetMDICloseItem()->GetVisible());
  EXPECT_EQ(bar->GetMDIChild(), nullptr);
}

TEST_F(KsMenusTest, PopupMenuShowsItsTreeAndRunsTheChosenItem) {
  TKsCustomPopupMenu menu(Form);
  TKsCustomItem* open = Add(menu.GetItems(), "&Open");
  TCounter clicks, popups;
  open->OnClick = TNotifyEvent::Bind<&TCounter::Hit>(&clicks);
  menu.OnPopup = TNotifyEvent::Bind<&TCounter::Hit>(&popups);
  menu.SetDropShadow(true);
  TKsCustomPopupMenu* showing = nullptr;
  TMenuScript script({[&] {
    showing = KsShowingPopupMenu();
    ASSERT_EQ(Popups().size(), 1u);
    EXPECT_TRUE(Innermost()->GetSkinner()->GetDropShadow());
    PostKey(VK_RETURN);
  }});
  script.Start();
  menu.Popup(150, 150);
  EXPECT_TRUE(script.Finished());
  PumpUntil([&] { return clicks.Count > 0; }, 1000);
  EXPECT_EQ(showing, &menu);
  EXPECT_EQ(KsShowingPopupMenu(), nullptr);
  EXPECT_EQ(popups.Count, 1);
  EXPECT_EQ(clicks.Count, 1);
  EXPECT_EQ(open->GetParentWindow(), Form);
}

TEST_F(KsMenusTest, OpeningASecondPopupMenuClosesTheFirst) {
  TKsCustomPopupMenu first(Form), second(Form);
  Add(first.GetItems(), "First");
  Add(second.GetItems(), "Second");
  size_t openDuringSecond = 0;
  TMenuScript* running = nullptr;
  TMenuScript script({[&] {
                        running->Kick();
                        second.Popup(300, 300);
                      },
                      [&] {
                        EXPECT_EQ(KsShowingPopupMenu(), &second);
                        openDuringSecond = Popups().size();
                        PostKey(VK_ESCAPE);
                      }});
  running = &script;
  script.Start();
  first.Popup(150, 150);
  EXPECT_TRUE(script.Finished());
  EXPECT_GE(openDuringSecond, 1u);
  EXPECT_TRUE(Popups().empty());
  EXPECT_EQ(KsShowingPopupMenu(), nullptr);
  PumpPending();
}

}  // namespace
