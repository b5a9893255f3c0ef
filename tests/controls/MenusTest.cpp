// Pop-up menus built at run time and tracked through real key messages.
#include "classlib/Menus.h"
#include "tests/controls/ControlsTestSupport.h"

namespace {

struct TClickRecorder {
  std::vector<TObject*> Senders;
  void Click(TObject* sender) { Senders.push_back(sender); }
  TNotifyEvent Event() { return TNotifyEvent::Bind<&TClickRecorder::Click>(this); }
};

TMenuItem* NewItem(TPopupMenu* menu, const std::string& caption, TNotifyEvent onClick = {}) {
  auto* item = new TMenuItem(menu);
  item->SetCaption(caption);
  item->OnClick = onClick;
  menu->GetItems()->Add(item);
  return item;
}

TEST(Menus, ShortCutsReadAsText) {
  EXPECT_EQ(ShortCut(VK_RETURN, {ssCtrl}), 0x400D);
  EXPECT_EQ(ShortCutToText(ShortCut('X', {ssCtrl})), "Ctrl+X");
  EXPECT_EQ(ShortCutToText(ShortCut(VK_F4, {ssAlt})), "Alt+F4");
  EXPECT_EQ(ShortCutToText(ShortCut(VK_DELETE, {ssShift, ssCtrl})), "Shift+Ctrl+Del");
  EXPECT_EQ(ShortCutToText(scNone), "");
}

using MenusTest = FormTest;

TEST_F(MenusTest, ChosenItemIsClickedAfterTheMenuCloses) {
  auto* menu = new TPopupMenu(Form);
  TClickRecorder clicks, popups;
  menu->OnPopup = popups.Event();
  TMenuItem* undo = NewItem(menu, "&Undo", clicks.Event());
  undo->SetShortCut(ShortCut('Z', {ssCtrl}));
  NewItem(menu, "-");
  TMenuItem* cut = NewItem(menu, "Cu&t", clicks.Event());
  cut->SetEnabled(false);
  TMenuItem* selectAll = NewItem(menu, "Select &All", clicks.Event());
  EXPECT_EQ(menu->GetItems()->GetCount(), 4);
  EXPECT_TRUE(menu->GetItems()->GetItem(1)->IsLine());
  EXPECT_FALSE(menu->GetItems()->GetItem(2)->GetEnabled());
  ShowForm();

  // The accelerator key chooses "Select &All" inside the menu's own loop.
  PostMessageA(Form->GetHandle(), WM_CHAR, 'a', 1);
  menu->Popup(650, 450);
  EXPECT_EQ(popups.Senders, (std::vector<TObject*>{menu}));
  EXPECT_EQ(clicks.Senders, (std::vector<TObject*>{selectAll}));

  // Escape closes it with no click.
  PostMessageA(Form->GetHandle(), WM_KEYDOWN, VK_ESCAPE, 1);
  menu->Popup(650, 450);
  EXPECT_EQ(clicks.Senders.size(), 1u);
  EXPECT_EQ(GetActiveWindow(), Form->GetHandle());  // the menu's owner never takes activation

  // The command path: a disabled item does not click, a foreign number is not found.
  EXPECT_TRUE(menu->DispatchCommand(undo->GetCommand()));
  EXPECT_TRUE(menu->DispatchCommand(cut->GetCommand()));
  EXPECT_FALSE(menu->DispatchCommand(0));
  EXPECT_EQ(clicks.Senders, (std::vector<TObject*>{selectAll, undo}));
  EXPECT_NE(undo->GetCommand(), selectAll->GetCommand());
  EXPECT_TRUE(Exceptions.Messages.empty());
}

TEST(Menus, ItemsLeaveTheirParentWhenFreedByTheirOwner) {
  auto* owner = new TComponent(nullptr);
  TPopupMenu menu(nullptr);
  auto* sub = new TMenuItem(owner);
  auto* subItem = new TMenuItem(owner);
  sub->Add(subItem);
  menu.GetItems()->Add(sub);
  EXPECT_THROW(menu.GetItems()->Add(subItem), EInvalidOperation);
  EXPECT_EQ(subItem->GetParent(), sub);
  delete owner;  // frees sub (which frees subItem first) without a double free
  EXPECT_EQ(menu.GetItems()->GetCount(), 0);
  EXPECT_THROW(menu.GetItems()->GetItem(0), EListError);
}

}  // namespace
