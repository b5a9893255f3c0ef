// A handler that frees the skinned control, item, menu or form that fired its event ends
// what fired it: the buttons, check boxes, scroll bars, tabs, radio groups, menus, the
// control bar's docking and the skinned form's close touch nothing of it afterwards.
// Each case runs on the guarded heap, where a use of the freed object faults and is
// reported.
#include <type_traits>

#include <gtest/gtest.h>

#include "classlib/DragDrop.h"
#include "skin/KsButtons.h"
#include "skin/KsCheckBoxes.h"
#include "skin/KsControlBars.h"
#include "skin/KsForms.h"
#include "skin/KsItems.h"
#include "skin/KsMenus.h"
#include "skin/KsScrollBars.h"
#include "skin/KsTabs.h"
#include "skin/TeThemeRadioGroup.h"
#include "tests/controls/ControlsTestSupport.h"
#include "tests/editors/GuardedHeap.h"
#include "tests/skin/MenuTestSupport.h"

namespace {

// Handlers of the skin's own events that free their sender.
struct TFreeSkinned {
  void Scroll(TObject* sender, TScrollCode, int&) { delete sender; }
  void Changing(TObject* sender, bool&) { delete sender; }
  void CloseQuery(TObject* sender, bool&) { delete sender; }
  void Close(TObject* sender, TCloseAction&) { delete sender; }
  void DockOver(TObject* sender, TDragDockObject*, int, int, TDragState, bool&) { delete sender; }
  void FreeOwner(TObject*) { delete Owner; }
  TObject* Owner = nullptr;
};

class KsFreedSenderTest : public FormTest {
 protected:
  void SetUp() override {
    FormTest::SetUp();
    ShowForm();
  }
  // `control` on the form at `bounds` with its window, its user events freeing it.
  template <class T>
  T* Freeing(T* control, const TRect& bounds = TRect{10, 10, 130, 50}) {
    control->SetParent(Form);
    control->SetBoundsRect(bounds);
    if constexpr (std::is_base_of_v<TWinControl, T>)
      control->HandleNeeded();
    return FreeingOnEveryEvent(control, FreeSender);
  }
  // A click: the press with no handler, the release with the control's.
  template <class T>
  static bool FreedByClick(T* control, int x = 5, int y = 5) {
    const TMouseEvent down = control->OnMouseDown;
    control->OnMouseDown = nullptr;
    control->Perform(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y));
    control->OnMouseDown = down;
    return FreedBy(control, [&](T* c) { c->Perform(WM_LBUTTONUP, 0, MAKELPARAM(x, y)); });
  }
  template <class T>
  static bool FreedByMessage(T* control, UINT msg, WPARAM wParam = 0, LPARAM lParam = MAKELPARAM(5, 5)) {
    return FreedBy(control, [&](T* c) { c->Perform(msg, wParam, lParam); });
  }
  TFreeSender FreeSender;
  TFreeSkinned FreeSkinned;
};

// Fault: the skinned button repainted itself and ran the inherited release after its
// click handler had freed it, released Space likewise, and repainted after OnMouseEnter
// or OnMouseLeave had (use after free).
TEST_F(KsFreedSenderTest, AHandlerThatFreesTheButtonEndsItsClick) {
  const TGuardedHeap guarded;
  auto button = [&] {
    auto* b = Freeing(new TKsCustomButton(Form));
    b->OnMouseUp = nullptr;
    b->OnMouseEnter = TNotifyEvent::Bind<&TFreeSender::Notify>(&FreeSender);
    b->OnMouseLeave = TNotifyEvent::Bind<&TFreeSender::Notify>(&FreeSender);
    return b;
  };
  EXPECT_TRUE(FreedByClick(button()));
  EXPECT_TRUE(FreedByMessage(button(), WM_KEYUP, VK_SPACE, LPARAM(0xC0000001)));
  EXPECT_TRUE(FreedByMessage(button(), CM_MOUSEENTER));
  EXPECT_TRUE(FreedByMessage(button(), CM_MOUSELEAVE));
  ReleaseCapture();
  EXPECT_TRUE(Exceptions.Messages.empty());
}

// Fault: the skinned check box and radio button repainted, ended their tracking and ran
// the inherited release after the click their toggle fired had freed them (use after
// free).
TEST_F(KsFreedSenderTest, AClickHandlerThatFreesTheCheckBoxOrRadioButtonEndsTheToggle) {
  const TGuardedHeap guarded;
  auto check = [&] {
    auto* c = Freeing(new TKsCustomCheckBox(Form));
    c->OnMouseUp = nullptr;
    return c;
  };
  auto radio = [&] {
    auto* r = Freeing(new TKsCustomRadioButton(Form));
    r->OnMouseUp = nullptr;
    return r;
  };
  EXPECT_TRUE(FreedBy(check(), [](TKsCustomCheckBox* c) { c->SetChecked(true); }));
  EXPECT_TRUE(FreedByClick(check()));
  EXPECT_TRUE(FreedByMessage(check(), WM_KEYUP, VK_SPACE, LPARAM(0xC0000001)));
  EXPECT_TRUE(FreedBy(radio(), [](TKsCustomRadioButton* r) { r->SetChecked(true); }));
  EXPECT_TRUE(FreedByClick(radio()));
  EXPECT_TRUE(FreedByMessage(radio(), WM_KEYUP, VK_SPACE, LPARAM(0xC0000001)));
  ReleaseCapture();
  EXPECT_TRUE(Exceptions.Messages.empty());
}

// Fault: the skinned scroll bar went on after OnChange, OnScroll, its mouse handlers or
// OnMouseLeave had freed it: repainting, taking the position, stepping, starting its
// repeat timer and clearing its hot parts (use after free).
TEST_F(KsFreedSenderTest, AHandlerThatFreesTheScrollBarEndsTheScroll) {
  const TGuardedHeap guarded;
  const int metric = GetSystemMetrics(SM_CYVTHUMB);
  auto bar = [&](bool onScroll) {
    auto* b = Freeing(new TKsCustomScrollBar(Form), TRect{10, 10, 10 + 200 + 2 + 2 * metric, 10 + metric + 2});
    b->OnChange = TNotifyEvent::Bind<&TFreeSender::Notify>(&FreeSender);
    if (onScroll) {
      b->OnMouseDown = nullptr;
      b->OnMouseMove = nullptr;
      b->OnScroll = TScrollEvent::Bind<&TFreeSkinned::Scroll>(&FreeSkinned);
    }
    return b;
  };
  // A press where the mouse already is, as the bar's hot parts require.
  auto press = [](TKsCustomScrollBar* b, int x) {
    b->Perform(WM_MOUSEMOVE, 0, MAKELPARAM(x, 5));
    return FreedByMessage(b, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, 5));
  };
  EXPECT_TRUE(FreedBy(bar(false), [](TKsCustomScrollBar* b) { b->SetPosition(50); }));
  EXPECT_TRUE(FreedByMessage(bar(false), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(1 + metric + 2, 5)));
  EXPECT_TRUE(FreedByMessage(bar(false), WM_MOUSEMOVE, MK_LBUTTON));
  EXPECT_TRUE(FreedByMessage(bar(false), WM_LBUTTONUP));
  // On the thumb, on the first button (the repeat's first step) and on the track.
  for (int x : {1 + metric + 2, 2, 1 + metric + 100})
    EXPECT_TRUE(press(bar(true), x)) << "at " << x;
  TKsCustomScrollBar* left = bar(false);
  left->OnMouseLeave = TNotifyEvent::Bind<&TFreeSender::Notify>(&FreeSender);
  EXPECT_TRUE(FreedByMessage(left, CM_MOUSELEAVE));
  ReleaseCapture();
  EXPECT_TRUE(Exceptions.Messages.empty());
}

// Fault: the skinned tab control went on after OnChanging, its mouse handlers,
// OnMouseLeave, OnKeyDown or its tabs' OnChange had freed it (use after free).
TEST_F(KsFreedSenderTest, AHandlerThatFreesTheTabControlEndsTheMessage) {
  const TGuardedHeap guarded;
  auto tabs = [&] {
    auto* t = Freeing(new TKsCustomTabControl(Form), TRect{10, 10, 210, 90});
    t->GetTabs()->Add("One");
    t->GetTabs()->Add("Two");
    t->OnMouseLeave = TNotifyEvent::Bind<&TFreeSender::Notify>(&FreeSender);
    return t;
  };
  auto* changing = tabs();
  changing->OnChanging = TKsTabChangingEvent::Bind<&TFreeSkinned::Changing>(&FreeSkinned);
  EXPECT_TRUE(FreedBy(changing, [](TKsCustomTabControl* t) { t->SetTabIndex(1); }));
  EXPECT_TRUE(FreedByMessage(tabs(), WM_LBUTTONDOWN, MK_LBUTTON));
  EXPECT_TRUE(FreedByMessage(tabs(), WM_MOUSEMOVE));
  EXPECT_TRUE(FreedByMessage(tabs(), WM_LBUTTONUP));
  EXPECT_TRUE(FreedByMessage(tabs(), CM_MOUSELEAVE));
  EXPECT_TRUE(FreedByMessage(tabs(), WM_KEYDOWN, VK_RIGHT, 1));
  auto* listed = tabs();
  FreeSkinned.Owner = listed;
  listed->GetTabs()->OnChange = TNotifyEvent::Bind<&TFreeSkinned::FreeOwner>(&FreeSkinned);
  EXPECT_TRUE(FreedBy(listed, [](TKsCustomTabControl* t) { t->GetTabs()->Add("Three"); })) << "the tabs' change";
  ReleaseCapture();
  EXPECT_TRUE(Exceptions.Messages.empty());
}

// Fault: a radio group's button passed its keys to the group after its own key handler
// had freed it, and the group arranged its buttons after OnResize had freed it (use
// after free).
TEST_F(KsFreedSenderTest, AHandlerThatFreesTheRadioGroupOrItsButtonEndsTheMessage) {
  const TGuardedHeap guarded;
  auto group = [&] {
    auto* g = new TTeThemeRadioGroup(Form);
    g->SetParent(Form);
    g->SetBounds(10, 10, 200, 150);
    g->GetItems()->Add("a");
    g->GetItems()->Add("b");
    g->HandleNeeded();
    return g;
  };
  auto button = [&] { return FreeingOnEveryEvent(group()->GetButtons()[0], FreeSender); };
  EXPECT_TRUE(FreedByMessage(button(), WM_KEYDOWN, VK_DOWN, 1));
  EXPECT_TRUE(FreedByMessage(button(), WM_CHAR, 'a', 1));
  TTeThemeRadioGroup* resized = group();
  resized->OnResize = TNotifyEvent::Bind<&TFreeSender::Notify>(&FreeSender);
  EXPECT_TRUE(FreedByMessage(resized, WM_SIZE, SIZE_RESTORED, MAKELPARAM(200, 150)));
  EXPECT_TRUE(Exceptions.Messages.empty());
}

// Fault: the menu bar looked for the item under the mouse after OnMouseMove,
// OnMouseDown or OnMouseLeave had freed it,
// the pop-up menu showed its items after OnPopup had freed it, and an item told its
// parent of a change after its OnChange had freed it (use after free).
TEST_F(KsFreedSenderTest, AHandlerThatFreesTheMenuOrItemEndsWhatFiredIt) {
  const TGuardedHeap guarded;
  auto bar = [&] {
    auto* b = Freeing(new TKsCustomMenuBar(Form));
    b->OnMouseLeave = TNotifyEvent::Bind<&TFreeSender::Notify>(&FreeSender);
    return b;
  };
  for (UINT msg : {UINT(WM_MOUSEMOVE), UINT(WM_LBUTTONDOWN), UINT(CM_MOUSELEAVE)})
    EXPECT_TRUE(FreedByMessage(bar(), msg, msg == WM_LBUTTONDOWN ? MK_LBUTTON : 0)) << "message " << msg;
  ReleaseCapture();
  auto* menu = new TKsCustomPopupMenu(Form);
  menu->GetItems()->Add(new TKsCustomItem(menu));
  menu->OnPopup = TNotifyEvent::Bind<&TFreeSender::Notify>(&FreeSender);
  EXPECT_TRUE(FreedBy(menu, [](TKsCustomPopupMenu* m) { m->Popup(100, 100); }));
  auto* parent = new TKsCustomItem(Form);
  auto* item = new TKsCustomItem(Form);
  parent->Add(item);
  item->OnChange = TNotifyEvent::Bind<&TFreeSender::Notify>(&FreeSender);
  EXPECT_TRUE(FreedBy(item, [](TKsCustomItem* i) { i->SetCaption("changed"); }));
  delete parent;
  EXPECT_TRUE(Exceptions.Messages.empty());
}

// Fault: the skinned form's close went on to hide the form through its skin after
// OnCloseQuery or OnClose had freed the form, and the skin with it (use after free).
TEST_F(KsFreedSenderTest, AFormFreedByItsCloseHandlersIsNotClosedFurther) {
  const TGuardedHeap guarded;
  auto skinned = [&] {
    auto* form = new TForm(nullptr);
    form->SetBounds(600, 400, 200, 100);
    auto* skin = new TKsCustomForm(form);
    skin->SetMagnetic(false);
    skin->SetMinimizeApplication(false);
    skin->SetActive(true);
    skin->Loaded();
    form->Show();
    return std::pair{form, skin};
  };
  auto [closed, closedSkin] = skinned();
  closed->OnClose = TCloseEvent::Bind<&TFreeSkinned::Close>(&FreeSkinned);
  EXPECT_TRUE(FreedBy(closed, [skin = closedSkin](TForm*) { skin->CloseForm(); }));
  auto [queried, queriedSkin] = skinned();
  queried->OnCloseQuery = TCloseQueryEvent::Bind<&TFreeSkinned::CloseQuery>(&FreeSkinned);
  EXPECT_TRUE(FreedBy(queried, [skin = queriedSkin](TForm*) { skin->CloseForm(); }));
  PumpPending();
  EXPECT_TRUE(Exceptions.Messages.empty());
}

// Fault: without the click handler an item's click runs inside the menu loop, which went
// on to open the item's popup after the click had freed the item (use after free).
TEST_F(KsFreedSenderTest, AnItemFreedByItsImmediateClickEndsTheMenu) {
  FinalizeKsItems();  // the click runs at once
  {
    const TGuardedHeap guarded;
    TKsCustomPopupMenu menu(Form);
    auto* item = new TKsCustomItem(&menu);
    item->SetCaption("Open");
    menu.GetItems()->Add(item);
    item->OnClick = TNotifyEvent::Bind<&TFreeSender::Notify>(&FreeSender);
    TMenuScript script({[] { PostKey(VK_RETURN); }});
    script.Start();
    EXPECT_TRUE(FreedBy(item, [&](TKsCustomItem*) { menu.Popup(100, 100); }));
    EXPECT_TRUE(Popups().empty());
  }
  InitializeKsItems();
}

// Fault: the control bar went on to dock the dragged control after an OnDockOver handler
// had freed the bar (use after free).
TEST_F(KsFreedSenderTest, ADockOverHandlerThatFreesTheControlBarEndsTheDock) {
  const TGuardedHeap guarded;
  auto* bar = Freeing(new TKsCustomControlBar(Form));
  bar->OnDockOver = TDockOverEvent::Bind<&TFreeSkinned::DockOver>(&FreeSkinned);
  TDragDockObject dock(Form);
  TDragRec rec{bar->ClientToScreen(Point(20, 20)), &dock, bar, /*Docking=*/true};
  EXPECT_TRUE(FreedByMessage(bar, CM_DRAG, dmDragEnter, LPARAM(&rec)));
}

}  // namespace
