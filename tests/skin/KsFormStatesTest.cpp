// The skinned form's window states, close command, system menu, tray icon, the
// application event chain and MDI parents and children.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "classlib/Canvas.h"
#include "classlib/Forms.h"
#include "classlib/ImageList.h"
#include "classlib/Menus.h"
#include "skin/KsBitmap.h"
#include "skin/KsForms.h"
#include "skin/KsItems.h"
#include "skin/KsMenus.h"
#include "tests/controls/ControlsTestSupport.h"
#include "tests/skin/MenuTestSupport.h"
#include "tests/support/TestSupport.h"

namespace {

// A skinner that records where its system menu would open.
class TMenuSkin : public TKsCustomForm {
  KIVO_CLASS(TMenuSkin, TKsCustomForm)
 public:
  explicit TMenuSkin(TComponent* AOwner) : TKsCustomForm(AOwner) {}
  std::vector<TPoint> Opened;

 protected:
  void PopupSystemMenu(TPoint at) override { Opened.push_back(at); }
};

TMenuSkin* SkinForm(TCustomForm* form) {
  auto* skinner = new TMenuSkin(form);
  skinner->SetMagnetic(false);
  skinner->SetMinimizeApplication(false);
  skinner->SetActive(true);
  skinner->Loaded();
  return skinner;
}

std::vector<std::string> Captions(TKsCustomItem* root) {
  std::vector<std::string> captions;
  for (int i = 0; i < root->GetCount(); ++i)
    captions.push_back(root->GetItems(i)->GetCaption());
  return captions;
}

using Texts = std::vector<std::string>;

class KsFormStatesTest : public FormTest {
 protected:
  void SetUp() override {
    FormTest::SetUp();
    Skinner = SkinForm(Form);
    ShowForm();
    Normal = Form->GetBoundsRect();
  }
  TRect Bounds() { return Form->GetBoundsRect(); }
  TKsCustomItem* MenuItem(const std::string& caption) {
    Skinner->BuildSystemMenu();
    TKsCustomItem* root = Skinner->GetSystemMenu();
    for (int i = 0; i < root->GetCount(); ++i)
      if (root->GetItems(i)->GetCaption() == caption)
        return root->GetItems(i);
    return nullptr;
  }
  TMenuSkin* Skinner = nullptr;
  TRect Normal;
};

TEST_F(KsFormStatesTest, MaximizeAndRestoreToggleThroughTheSavedBounds) {
  Skinner->Maximize();
  EXPECT_EQ(Skinner->GetWindowState(), kwsMaximized);
  EXPECT_EQ(Bounds(), Skinner->GetMaximizedRect());
  EXPECT_EQ(Skinner->GetRestoreBounds(), Normal);
  Skinner->Maximize();  // toggles back
  EXPECT_EQ(Skinner->GetWindowState(), kwsNormal);
  EXPECT_EQ(Skinner->GetPrevState(), kwsMaximized);
  EXPECT_EQ(Bounds(), Normal);
  Skinner->SetWindowState(kwsMaximized);
  Skinner->SetWindowState(kwsNormal);
  EXPECT_EQ(Bounds(), Normal);
  EXPECT_TRUE(Exceptions.Messages.empty());
}

TEST_F(KsFormStatesTest, RollupKeepsTheCaptionBarAndUnrollsWhereItWasMoved) {
  const TRect client = Skinner->GetFrameClientRect();
  const int nonClient = client.top + Skinner->GetFrameHeight() - client.bottom;
  Skinner->Rollup();
  EXPECT_EQ(Skinner->GetWindowState(), kwsRollup);
  EXPECT_EQ(Bounds(), (TRect{Normal.left, Normal.top, Normal.right, Normal.top + nonClient}));
  Form->SetBounds(Normal.left - 50, Normal.top - 40, Form->GetWidth(), Form->GetHeight());
  Skinner->Rollup();
  EXPECT_EQ(Skinner->GetWindowState(), kwsNormal);
  EXPECT_EQ(Bounds(), (TRect{Normal.left - 50, Normal.top - 40, Normal.right - 50, Normal.bottom - 40}));
  // Rolled up from maximized, un-rolling maximizes again and restores to the old bounds.
  Skinner->Maximize();
  Skinner->Rollup();
  Skinner->Restore();
  EXPECT_EQ(Skinner->GetWindowState(), kwsMaximized);
  EXPECT_EQ(Skinner->GetPrevState(), kwsNormal);
  Skinner->Restore();
  EXPECT_EQ(Bounds(), (TRect{Normal.left - 50, Normal.top - 40, Normal.right - 50, Normal.bottom - 40}));
}

TEST_F(KsFormStatesTest, MinimizeWithoutTheApplicationShrinksToTheMinimizedRect) {
  Skinner->Minimize();
  EXPECT_EQ(Skinner->GetWindowState(), kwsMinimized);
  EXPECT_EQ(Bounds(), Skinner->GetMinimizedRect());
  // A minimized frame keeps close and minimize (shown as restore) only.
  EXPECT_EQ(Skinner->GetCaptionButtonRect(kbiMaximize), TRect{});
  EXPECT_EQ(Skinner->GetCaptionButtonRect(kbiRollup), TRect{});
  Skinner->Minimize();
  EXPECT_EQ(Skinner->GetWindowState(), kwsNormal);
  EXPECT_EQ(Bounds(), Normal);
  // Minimized from maximized comes back maximized.
  Skinner->Maximize();
  Skinner->Minimize();
  Skinner->Restore();
  EXPECT_EQ(Skinner->GetWindowState(), kwsMaximized);
  Skinner->Restore();
  EXPECT_EQ(Bounds(), Normal);
}

TEST_F(KsFormStatesTest, MinimizeWithTheApplicationMinimizesIt) {
  struct TCounter {
    int Calls = 0;
    void Count(TObject*) { ++Calls; }
  } counter;
  Application->OnMinimize = TNotifyEvent::Bind<&TCounter::Count>(&counter);
  Skinner->SetMinimizeApplication(true);
  Skinner->Minimize();
  EXPECT_EQ(counter.Calls, 1);
  EXPECT_EQ(Bounds(), Normal);  // the form itself keeps its place
  EXPECT_EQ(Skinner->GetWindowState(), kwsMinimized);
  Skinner->Restore();
  EXPECT_EQ(Skinner->GetWindowState(), kwsNormal);
  Application->OnMinimize = TNotifyEvent();
}

TEST_F(KsFormStatesTest, TrayHidesTheFormAndItsIconBringsItBack) {
  Form->SetCaption(std::string(80, 'c'));
  Skinner->Maximize();
  Skinner->MinimizeToTray();
  EXPECT_EQ(Skinner->GetWindowState(), kwsTray);
  EXPECT_FALSE(IsWindowVisible(Form->GetHandle()));
  EXPECT_EQ(std::string(Skinner->GetTrayIcon().szTip), std::string(63, 'c'));
  // A right click on the icon opens the system menu at the cursor.
  SendMessageA(Skinner->GetTrayWindow(), KM_TRAYCALLBACK, 0, WM_RBUTTONUP);
  ASSERT_EQ(Skinner->Opened.size(), 1u);
  POINT cursor;
  GetCursorPos(&cursor);
  EXPECT_EQ(Skinner->Opened[0], (TPoint{cursor.x, cursor.y}));
  EXPECT_TRUE(Skinner->GetSystemMenu()->GetItems(0)->GetTrayPopup());
  // A double click restores the maximized window; its restore bounds are the ones
  // saved before it was maximized.
  SendMessageA(Skinner->GetTrayWindow(), KM_TRAYCALLBACK, 0, WM_LBUTTONDBLCLK);
  EXPECT_TRUE(IsWindowVisible(Form->GetHandle()));
  EXPECT_EQ(Skinner->GetWindowState(), kwsMaximized);
  EXPECT_EQ(Skinner->GetRestoreBounds(), Normal);
  Skinner->Restore();
  EXPECT_EQ(Bounds(), Normal);
  EXPECT_EQ(SendMessageA(Skinner->GetTrayWindow(), WM_QUERYENDSESSION, 0, 0), 1);
  EXPECT_TRUE(Exceptions.Messages.empty());
}

TEST_F(KsFormStatesTest, TrayMenuOpensInsteadOfTheSystemMenuInTheTray) {
  // A popup menu that records where it opens instead of tracking.
  class TRecordingMenu : public TPopupMenu {
   public:
    using TPopupMenu::TPopupMenu;
    std::vector<TPoint> At;

   protected:
    WORD TrackMenu(HMENU, int x, int y) override {
      At.push_back(TPoint{x, y});
      return 0;
    }
  };
  auto* menu = new TRecordingMenu(Form);
  Skinner->SetTrayMenu(menu);
  Skinner->MinimizeToTray();
  Skinner->ShowSystemMenu();
  EXPECT_EQ(menu->At.size(), 1u);
  EXPECT_TRUE(Skinner->Opened.empty());
  // Without a tray menu the system menu opens.
  Skinner->SetTrayMenu(nullptr);
  Skinner->ShowSystemMenu();
  EXPECT_EQ(Skinner->Opened.size(), 1u);
  Skinner->Restore();
  EXPECT_TRUE(IsWindowVisible(Form->GetHandle()));
  // A freed tray menu is forgotten.
  Skinner->SetTrayMenu(menu);
  delete menu;
  EXPECT_EQ(Skinner->GetTrayMenu(), nullptr);
}

TEST_F(KsFormStatesTest, SystemMenuOffersTheCommandsOfTheState) {
  Skinner->BuildSystemMenu();
  EXPECT_EQ(Captions(Skinner->GetSystemMenu()),
            (Texts{"Mi&nimize", "Ma&ximize", "Ro&llup", "Minimize to &Tray", "-", "&Close"}));
  Skinner->Maximize();
  Skinner->BuildSystemMenu();
  EXPECT_EQ(Captions(Skinner->GetSystemMenu()),
            (Texts{"&Restore", "Mi&nimize", "Ro&llup", "Minimize to &Tray", "-", "&Close"}));
  Skinner->Restore();
  Skinner->Rollup();
  Skinner->BuildSystemMenu();
  EXPECT_EQ(Captions(Skinner->GetSystemMenu()),
            (Texts{"&Restore", "Mi&nimize", "Ma&ximize", "Minimize to &Tray", "-", "&Close"}));
  Skinner->Restore();
  Skinner->Minimize();
  Skinner->BuildSystemMenu();
  EXPECT_EQ(Captions(Skinner->GetSystemMenu()), (Texts{"&Restore", "-", "&Close"}));
  Skinner->Restore();
  // Only the buttons shown have commands; close alone needs no separator.
  Skinner->SetBorderIcons(TKsBorderIcons{kbiClose});
  Skinner->BuildSystemMenu();
  EXPECT_EQ(Captions(Skinner->GetSystemMenu()), (Texts{"&Close"}));
  Skinner->SetBorderIcons(TKsBorderIcons{kbiMaximize});
  Skinner->BuildSystemMenu();
  EXPECT_EQ(Captions(Skinner->GetSystemMenu()), (Texts{"Ma&ximize"}));
}

TEST_F(KsFormStatesTest, SystemMenuItemsCarryGlyphsShortCutAndPopupSettings) {
  Skinner->SetSysMenuBlend(true);
  Skinner->SetSysMenuBlendValue(99);
  Skinner->SetSysMenuDropShadow(true);
  Skinner->SetSysMenuShadowWidth(7);
  Skinner->SetSysMenuShowAnimation(kaFade);
  Skinner->SetSysMenuShowAnimationTime(123);
  Skinner->BuildSystemMenu();
  const int components = Skinner->GetComponentCount();
  Skinner->BuildSystemMenu();  // the old menu is freed, not kept beside the new one
  EXPECT_EQ(Skinner->GetComponentCount(), components);
  const std::pair<const char*, int> glyphs[] = {
      {"Mi&nimize", 1}, {"Ma&ximize", 2}, {"Ro&llup", 4}, {"Minimize to &Tray", 5}, {"&Close", 0}};
  for (auto [caption, glyph] : glyphs) {
    TKsCustomItem* item = MenuItem(caption);
    ASSERT_NE(item, nullptr) << caption;
    EXPECT_EQ(item->GetImageIndex(), glyph) << caption;
    EXPECT_EQ(item->GetImages(), KsSystemMenuGlyphs());
    EXPECT_TRUE(item->GetPopupBlend());
    EXPECT_EQ(item->GetPopupBlendValue(), 99);
    EXPECT_TRUE(item->GetDropShadow());
    EXPECT_EQ(item->GetShadowWidth(), 7);
    EXPECT_EQ(item->GetShowAnimation(), kaFade);
    EXPECT_EQ(item->GetShowAnimationTime(), 123);
  }
  EXPECT_EQ(ShortCutToText(MenuItem("&Close")->GetShortCut()), "Alt+F4");
  Skinner->Maximize();
  EXPECT_EQ(MenuItem("&Restore")->GetImageIndex(), 3);
}

TEST_F(KsFormStatesTest, SystemMenuClicksRunTheirCommands) {
  DispatchItemClick(MenuItem("Ma&ximize"));
  EXPECT_EQ(Skinner->GetWindowState(), kwsMaximized);
  DispatchItemClick(MenuItem("&Restore"));
  EXPECT_EQ(Skinner->GetWindowState(), kwsNormal);
  DispatchItemClick(MenuItem("Ro&llup"));
  EXPECT_EQ(Skinner->GetWindowState(), kwsRollup);
  DispatchItemClick(MenuItem("&Restore"));
  DispatchItemClick(MenuItem("Mi&nimize"));
  EXPECT_EQ(Skinner->GetWindowState(), kwsMinimized);
  DispatchItemClick(MenuItem("&Restore"));
  DispatchItemClick(MenuItem("Minimize to &Tray"));
  EXPECT_EQ(Skinner->GetWindowState(), kwsTray);
  DispatchItemClick(MenuItem("&Restore"));
  EXPECT_EQ(Skinner->GetWindowState(), kwsNormal);
  DispatchItemClick(MenuItem("&Close"));
  EXPECT_FALSE(Form->GetVisible());
  EXPECT_TRUE(Exceptions.Messages.empty());
}

TEST_F(KsFormStatesTest, SystemMenuOpensAtTheRightClickOrTheClientCorner) {
  Skinner->ShowSystemMenu();
  POINT corner{0, 0};
  ClientToScreen(Form->GetHandle(), &corner);
  ASSERT_EQ(Skinner->Opened.size(), 1u);
  EXPECT_EQ(Skinner->Opened[0], (TPoint{corner.x, corner.y}));
  // A right click on the caption opens it at the click, once.
  RECT window;
  GetWindowRect(Form->GetHandle(), &window);
  const TRect band = Skinner->GetCaptionRect();
  const int x = window.left + (band.left + band.right) / 2, y = window.top + (band.top + band.bottom) / 2;
  SendMessageA(Form->GetHandle(), WM_NCRBUTTONUP, HTCAPTION, MAKELPARAM(x, y));
  ASSERT_EQ(Skinner->Opened.size(), 2u);
  EXPECT_EQ(Skinner->Opened[1], (TPoint{x, y}));
  Skinner->ShowSystemMenu();
  EXPECT_EQ(Skinner->Opened[2], (TPoint{corner.x, corner.y}));
  SendMessageA(Form->GetHandle(), WM_SYSCOMMAND, SC_KEYMENU, ' ');
  EXPECT_EQ(Skinner->Opened.size(), 4u);
}

TEST_F(KsFormStatesTest, SystemMenuPopupRunsTheChosenCommand) {
  auto other = std::make_unique<TForm>(nullptr);
  other->SetBounds(300, 200, 300, 200);
  auto* skinner = new TKsCustomForm(other.get());
  skinner->SetMinimizeApplication(false);
  skinner->SetActive(true);
  skinner->Loaded();
  other->Show();
  PumpPending();
  POINT corner{0, 0};
  ClientToScreen(other->GetHandle(), &corner);
  TRect popupBounds;
  TMenuScript script({[&] {
    TKsPopupWindow* popup = Innermost();
    ASSERT_NE(popup, nullptr);
    popupBounds = popup->GetBoundsRect();
    TKsCustomItem* maximize = skinner->GetSystemMenu()->GetItems(1);
    ASSERT_EQ(maximize->GetCaption(), "Ma&ximize");
    const LPARAM at = ItemCentre(popup, maximize);
    PostMessageA(popup->GetHandle(), WM_MOUSEMOVE, 0, at);
    PostMessageA(popup->GetHandle(), WM_LBUTTONDOWN, MK_LBUTTON, at);
    PostMessageA(popup->GetHandle(), WM_LBUTTONUP, 0, at);
  }});
  script.Start();
  skinner->ShowSystemMenu();
  EXPECT_TRUE(script.Finished());
  PumpPending();
  EXPECT_EQ(popupBounds.left, corner.x);
  EXPECT_EQ(popupBounds.top, corner.y);
  EXPECT_EQ(skinner->GetWindowState(), kwsMaximized);
  EXPECT_TRUE(Exceptions.Messages.empty());
}

TEST_F(KsFormStatesTest, MenuBarShortCutsComeBeforeTheFormsOwnHandler) {
  struct TCounts {
    int Own = 0, Clicks = 0;
    void ShortCut(TMessage&, bool&) { ++Own; }
    void Click(TObject*) { ++Clicks; }
  } counts;
  auto other = std::make_unique<TForm>(nullptr);
  const TShortCutEvent own = TShortCutEvent::Bind<&TCounts::ShortCut>(&counts);
  other->OnShortCut = own;
  auto* skinner = new TKsCustomForm(other.get());
  skinner->SetActive(true);
  skinner->Loaded();
  auto* bar = new TKsCustomMenuBar(other.get());
  bar->SetParent(other.get());
  skinner->SetMenuBar(bar);
  auto* item = new TKsCustomItem(nullptr);
  item->SetCaption("Run");
  item->SetShortCut(ShortCut(VK_F5, TShiftState{}));
  item->OnClick = TNotifyEvent::Bind<&TCounts::Click>(&counts);
  bar->GetItems()->Add(item);
  TMessage f5{WM_KEYDOWN, VK_F5, 0, 0};
  EXPECT_TRUE(other->IsShortCut(f5));
  PumpPending();
  EXPECT_EQ(counts.Clicks, 1);
  EXPECT_EQ(counts.Own, 0);
  TMessage f6{WM_KEYDOWN, VK_F6, 0, 0};
  EXPECT_FALSE(other->IsShortCut(f6));
  EXPECT_EQ(counts.Own, 1);
  delete skinner;
  EXPECT_EQ(other->OnShortCut, own);
}

TEST_F(KsFormStatesTest, SystemMenuGlyphsAreLoadedByRule) {
  TCustomImageList* glyphs = KsSystemMenuGlyphs();
  ASSERT_NE(glyphs, nullptr);
  ASSERT_EQ(glyphs->GetCount(), 6);
  // Close: an 8-pixel cross of black ink in the middle of a 16-pixel square; the rest
  // is masked out.
  TKsBitmap target;
  target.SetSize(16, 16);
  target.Fill(KsColorARGB(255, 255, 255, 255));
  TCanvas canvas;
  canvas.SetHandle(target.GetDC());
  glyphs->Draw(&canvas, 0, 0, 0, true);
  canvas.SetHandle(nullptr);
  GdiFlush();
  EXPECT_EQ(target.GetPixel(4, 4) & 0xFFFFFF, 0u);
  EXPECT_EQ(target.GetPixel(11, 11) & 0xFFFFFF, 0u);
  EXPECT_EQ(target.GetPixel(7, 4) & 0xFFFFFF, 0xFFFFFFu);
  EXPECT_EQ(target.GetPixel(0, 0) & 0xFFFFFF, 0xFFFFFFu);
}

TEST_F(KsFormStatesTest, CloseAsksTheFormOnceAndFollowsItsCloseAction) {
  struct THandlers {
    int Queries = 0;
    bool Allow = false;
    TCloseAction Action = caHide;
    void Query(TObject*, bool& canClose) {
      ++Queries;
      canClose = Allow;
    }
    void Close(TObject*, TCloseAction& action) { action = Action; }
  } handlers;
  Form->OnCloseQuery = TCloseQueryEvent::Bind<&THandlers::Query>(&handlers);
  Form->OnClose = TCloseEvent::Bind<&THandlers::Close>(&handlers);
  Skinner->CloseForm();
  EXPECT_TRUE(Form->GetVisible());
  handlers.Allow = true;
  handlers.Action = caNone;
  Skinner->CloseForm();
  EXPECT_TRUE(Form->GetVisible());
  handlers.Action = caMinimize;
  Skinner->CloseForm();
  EXPECT_EQ(Skinner->GetWindowState(), kwsMinimized);
  Skinner->Restore();
  // Fault: Alt+F4 asked the close query twice, the system's own close following ours.
  handlers.Queries = 0;
  handlers.Action = caHide;
  SendMessageA(Form->GetHandle(), WM_SYSCOMMAND, SC_CLOSE, 0);
  EXPECT_EQ(handlers.Queries, 1);
  EXPECT_FALSE(Form->GetVisible());
}

TEST_F(KsFormStatesTest, CloseButtonOfAModalFormCancelsIt) {
  Form->Hide();
  PumpPending();
  // Runs inside the modal showing: the commands meet a modal form.
  struct TProbe {
    TMenuSkin* Skin;
    TKsWindowState After = kwsNormal;
    void Show(TObject* sender) {
      auto* form = static_cast<TCustomForm*>(sender);
      Skin->Minimize();
      Skin->MinimizeToTray();
      After = Skin->GetWindowState();
      const TRect close = Skin->GetCaptionButtonRect(kbiClose);
      RECT window;
      GetWindowRect(form->GetHandle(), &window);
      const LPARAM at =
          MAKELPARAM(window.left + (close.left + close.right) / 2, window.top + (close.top + close.bottom) / 2);
      // Handled by the modal loop once it runs.
      PostMessageA(form->GetHandle(), WM_NCLBUTTONDOWN, HTCLOSE, at);
      PostMessageA(form->GetHandle(), WM_NCLBUTTONUP, HTCLOSE, at);
    }
  } probe{Skinner};
  Form->OnShow = TNotifyEvent::Bind<&TProbe::Show>(&probe);
  EXPECT_EQ(Form->ShowModal(), mrCancel);
  // Neither minimize nor the tray applies to a modal form.
  EXPECT_EQ(probe.After, kwsNormal);
  Form->OnShow = TNotifyEvent();
}

TEST_F(KsFormStatesTest, StateSetWhileLoadingIsAppliedAfterLoading) {
  delete Skinner;
  auto* form = new TForm(nullptr);
  std::unique_ptr<TForm> owned(form);
  form->SetBounds(500, 300, 300, 200);
  TMenuSkin* skinner = nullptr;
  {
    TLoadingScope loading(form);
    skinner = new TMenuSkin(form);
    skinner->SetMinimizeApplication(false);
    skinner->SetActive(true);
    skinner->SetWindowState(kwsRollup);
    EXPECT_EQ(skinner->GetWindowState(), kwsNormal);
    form->HandleNeeded();
  }
  EXPECT_EQ(skinner->GetWindowState(), kwsRollup);
  Skinner = nullptr;
}

// Fault: a skinner freed while a later one was chained left the later one calling it.
TEST_F(KsFormStatesTest, ApplicationChainSurvivesSkinnersFreedOutOfOrder) {
  struct TCounter {
    int Calls = 0;
    void Count(TObject*) { ++Calls; }
  } counter;
  Application->OnMinimize = TNotifyEvent::Bind<&TCounter::Count>(&counter);
  auto second = std::make_unique<TForm>(nullptr);
  TMenuSkin* other = SkinForm(second.get());
  Skinner->SetMinimizeApplication(true);
  other->SetMinimizeApplication(true);
  SendMessageA(Form->GetHandle(), WM_NCACTIVATE, 1, 0);
  SendMessageA(second->GetHandle(), WM_NCACTIVATE, 1, 0);
  ASSERT_TRUE(Skinner->GetAppHooked());
  ASSERT_TRUE(other->GetAppHooked());
  delete Skinner;  // the first to chain goes first
  Skinner = nullptr;
  Application->OnMinimize(Application);
  EXPECT_EQ(counter.Calls, 1);
  EXPECT_EQ(other->GetWindowState(), kwsMinimized);
  delete other;
  Application->OnMinimize(Application);
  EXPECT_EQ(counter.Calls, 2);
  EXPECT_EQ(Application->OnMinimize, TNotifyEvent::Bind<&TCounter::Count>(&counter));
  Application->OnMinimize = TNotifyEvent();
  Application->OnRestore = TNotifyEvent();
}

// ---- MDI ----------------------------------------------------------------------------------

class KsFormMDITest : public testing::Test {
 protected:
  void SetUp() override {
    Parent = new TForm(nullptr);
    Parent->SetFormStyle(fsMDIForm);
    Parent->SetBounds(200, 150, 600, 450);
    Parent->SetCaption("Board");
    ParentSkin = SkinForm(Parent);
    Parent->Show();
    for (const char* caption : {"One", "Two"}) {
      auto* child = new TForm(Parent);
      child->SetFormStyle(fsMDIChild);
      child->SetBounds(10, 10, 250, 180);
      child->SetCaption(caption);
      Children.push_back(child);
      ChildSkins.push_back(SkinForm(child));
      child->Show();
    }
    PumpPending();
  }
  void TearDown() override {
    delete Parent;
    PumpPending();
  }
  TForm* Parent = nullptr;
  TMenuSkin* ParentSkin = nullptr;
  std::vector<TForm*> Children;
  std::vector<TMenuSkin*> ChildSkins;
  TExceptionRecorder Exceptions;
};

TEST_F(KsFormMDITest, MaximizedChildFillsTheClientAreaAndNamesItselfInTheParentCaption) {
  TMenuSkin* one = ChildSkins[0];
  one->Maximize();
  RECT area;
  GetClientRect(Parent->GetClientHandle(), &area);
  EXPECT_EQ(Children[0]->GetBoundsRect(), (TRect{0, 0, area.right + 1, area.bottom + 1}));
  // A maximized child has no frame of its own.
  EXPECT_EQ(one->GetFrameClientRect(), (TRect{0, 0, one->GetFrameWidth(), one->GetFrameHeight()}));
  EXPECT_TRUE(ParentSkin->HasMaximizedMDIChild());
  EXPECT_TRUE(ChildSkins[1]->HasMaximizedMDIChild());
  EXPECT_EQ(Parent->GetCaption(), "Board - [One]");
  // The next maximized child replaces the suffix instead of adding one.
  one->Restore();
  EXPECT_EQ(Parent->GetCaption(), "Board");
  ChildSkins[1]->Maximize();
  EXPECT_EQ(Parent->GetCaption(), "Board - [Two]");
  ChildSkins[1]->Restore();
  EXPECT_EQ(Children[1]->GetBoundsRect(), (TRect{10, 10, 260, 190}));
  EXPECT_EQ(Parent->GetCaption(), "Board");
  EXPECT_TRUE(Exceptions.Messages.empty());
}

TEST_F(KsFormMDITest, MinimizingAChildRestoresTheMaximizedOnes) {
  ChildSkins[0]->Maximize();
  ChildSkins[1]->Minimize();
  EXPECT_EQ(ChildSkins[1]->GetWindowState(), kwsMinimized);
  EXPECT_EQ(ChildSkins[0]->GetWindowState(), kwsNormal);
  EXPECT_EQ(Parent->GetCaption(), "Board");
  // Closing an MDI child minimizes it while it has a minimize button.
  ChildSkins[1]->Restore();
  ChildSkins[0]->CloseForm();
  EXPECT_EQ(ChildSkins[0]->GetWindowState(), kwsMinimized);
}

TEST_F(KsFormMDITest, ParentMenuBarShowsTheMaximizedChildsButtons) {
  auto* bar = new TKsCustomMenuBar(Parent);
  bar->SetParent(Parent);
  ParentSkin->SetMenuBar(bar);
  ChildSkins[0]->Maximize();
  EXPECT_EQ(bar->GetMDIChild(), ChildSkins[0]);
  ChildSkins[0]->Restore();
  EXPECT_EQ(bar->GetMDIChild(), nullptr);
  delete bar;
  EXPECT_EQ(ParentSkin->GetMenuBar(), nullptr);
  ChildSkins[0]->Maximize();  // no menu bar: nothing to show, nothing fails
  EXPECT_EQ(Parent->GetCaption(), "Board - [One]");
  EXPECT_TRUE(Exceptions.Messages.empty());
}

// Fault: the suffix cut took everything before the first "[", emptying other captions.
TEST_F(KsFormMDITest, ParentCaptionWithBracketsOfItsOwnStaysWhole) {
  Parent->SetCaption("Board [draft]");
  ChildSkins[0]->Maximize();
  EXPECT_EQ(Parent->GetCaption(), "Board [draft] - [One]");
  ChildSkins[0]->Restore();
  EXPECT_EQ(Parent->GetCaption(), "Board [draft]");
}

TEST_F(KsFormMDITest, ClientWindowIsTransparentToHitsAndLosesItsEdge) {
  HWND client = Parent->GetClientHandle();
  ASSERT_TRUE(client);
  RECT r;
  GetWindowRect(client, &r);
  const LPARAM middle = MAKELPARAM((r.left + r.right) / 2, (r.top + r.bottom) / 2);
  EXPECT_EQ(SendMessageA(client, WM_NCHITTEST, 0, middle), HTTRANSPARENT);
  SendMessageA(client, 0x3F, 0, 0);
  EXPECT_EQ(GetWindowLongA(client, GWL_EXSTYLE) & WS_EX_CLIENTEDGE, 0);
  // Freeing the skinner gives the client window its procedure back.
  delete ParentSkin;
  ParentSkin = nullptr;
  EXPECT_EQ(SendMessageA(client, WM_NCHITTEST, 0, middle), HTCLIENT);
}

}  // namespace
