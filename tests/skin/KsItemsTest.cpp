// Menu items: the sub-item tree and its errors, destruction, searches, change
// notification, streaming parents, action links, deferred clicks and short cuts.
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "classlib/Actions.h"
#include "classlib/Forms.h"
#include "classlib/ImageList.h"
#include "skin/KsItems.h"
#include "tests/support/TestSupport.h"

namespace {

// Records the senders of the events it is bound to.
struct TRecorder {
  std::vector<TObject*> Senders;
  void Notify(TObject* sender) { Senders.push_back(sender); }
  TNotifyEvent Event() { return TNotifyEvent::Bind<&TRecorder::Notify>(this); }
  // The same recording through other code: events are told apart by code address.
  void NotifyOther(TObject* sender) { Senders.push_back(sender); }
  TNotifyEvent OtherEvent() { return TNotifyEvent::Bind<&TRecorder::NotifyOther>(this); }
  int Count() const { return int(Senders.size()); }
};

// An item that names itself in a shared list when freed.
std::vector<std::string>* FreedLog = nullptr;
class TLoggedItem : public TKsCustomItem {
  KIVO_CLASS(TLoggedItem, TKsCustomItem)
 public:
  explicit TLoggedItem(TComponent* AOwner, const char* name = "") : TKsCustomItem(AOwner) {
    SetCaption(name);
  }
  ~TLoggedItem() override {
    if (FreedLog)
      FreedLog->push_back(GetCaption());
  }
};

TKsCustomItem* NewItem(TKsCustomItem* parent, const std::string& caption) {
  auto* item = new TKsCustomItem(nullptr);
  item->SetCaption(caption);
  if (parent)
    parent->Add(item);
  return item;
}

bool ClickPosted(TKsCustomItem* item) {
  MSG msg;
  HWND handler = KsClickHandler()->GetHandle();
  bool found = false;
  while (PeekMessageA(&msg, handler, KM_ITEMCLICK, KM_ITEMCLICK, PM_REMOVE))
    found |= msg.lParam == reinterpret_cast<LPARAM>(item);
  return found;
}

// A WM_KEYDOWN of `key` with Alt held, as the key data says.
TMessage AltKey(WORD key) {
  TMessage message;
  message.Msg = WM_SYSKEYDOWN;
  message.WParam = key;
  message.LParam = 0x20000000;
  return message;
}

}  // namespace

TEST(KsItems, TreeOperationsAndTheirErrors) {
  std::unique_ptr<TKsCustomItem> root(NewItem(nullptr, ""));
  EXPECT_TRUE(root->GetEnabled());
  EXPECT_TRUE(root->GetVisible());
  EXPECT_EQ(root->GetImageIndex(), -1);
  EXPECT_EQ(root->GetPopupBlendValue(), 150);
  EXPECT_FALSE(root->GetPopupBlend());
  TKsCustomItem* a = NewItem(root.get(), "a");
  TKsCustomItem* c = NewItem(root.get(), "c");
  auto* b = new TKsCustomItem(nullptr);
  root->Insert(1, b);
  ASSERT_EQ(root->GetCount(), 3);
  EXPECT_EQ(root->GetItems(0), a);
  EXPECT_EQ(root->GetItems(1), b);
  EXPECT_EQ(root->GetItems(2), c);
  EXPECT_EQ(b->GetParent(), root.get());
  EXPECT_EQ(root->IndexOf(c), 2);
  EXPECT_THROW(root->GetItems(3), EListError);

  // An item that has a parent, or that would close a cycle, is refused; nothing changes.
  std::unique_ptr<TKsCustomItem> other(NewItem(nullptr, ""));
  try {
    other->Add(a);
    ADD_FAILURE() << "inserted an item that has a parent";
  } catch (const EKsItemError& e) {
    EXPECT_STREQ(e.what(), "Toolbar item already inserted");
  }
  EXPECT_EQ(a->GetParent(), root.get());
  EXPECT_EQ(other->GetCount(), 0);
  // Regression: inserting a root into its own subtree made a cycle (endless tree walks,
  // double free), because only a set Parent was refused.
  EXPECT_THROW(a->Add(root.get()), EKsItemError);
  EXPECT_THROW(root->Add(root.get()), EKsItemError);
  EXPECT_EQ(root->GetParent(), nullptr);
  EXPECT_EQ(a->GetCount(), 0);

  root->Remove(b);
  EXPECT_EQ(b->GetParent(), nullptr);
  EXPECT_EQ(root->IndexOf(b), -1);
  root->Remove(b);  // not there: nothing
  EXPECT_EQ(root->GetCount(), 2);
  EXPECT_THROW(root->Delete(2), EListError);
  root->Delete(0);
  EXPECT_EQ(a->GetParent(), nullptr);
  EXPECT_EQ(root->GetItems(0), c);
  delete a;
  delete b;
}

TEST(KsItems, DestructionFreesSubItemsLastFirstAndLeavesTheParent) {
  std::vector<std::string> freed;
  FreedLog = &freed;
  {
    TLoggedItem root(nullptr, "root");
    auto* first = new TLoggedItem(nullptr, "1");
    root.Add(first);
    root.Add(new TLoggedItem(nullptr, "2"));
    first->Add(new TLoggedItem(nullptr, "1.1"));
    first->Add(new TLoggedItem(nullptr, "1.2"));
    auto* gone = new TLoggedItem(nullptr, "3");
    root.Add(gone);
    TRecorder changes;
    root.OnChange = changes.Event();
    delete gone;
    EXPECT_EQ(root.GetCount(), 2);
    EXPECT_EQ(changes.Count(), 1);
  }
  EXPECT_EQ(freed, (std::vector<std::string>{"3", "root", "2", "1", "1.2", "1.1"}));

  // Items owned by a component and placed in a tree: whichever goes first, each goes once.
  freed.clear();
  {
    TComponent owner(nullptr);
    auto* child = new TLoggedItem(&owner, "child");
    auto* root = new TLoggedItem(&owner, "root");
    root->Add(child);
  }
  EXPECT_EQ(freed, (std::vector<std::string>{"root", "child"}));
  FreedLog = nullptr;
}

TEST(KsItems, SearchesAndTheTreeImageList) {
  TKsCustomItem root(nullptr);
  TKsCustomItem* file = NewItem(&root, "&File");
  TKsCustomItem* open = NewItem(file, "&Open");
  TKsCustomItem* exit = NewItem(file, "E&xit");
  TKsCustomItem* edit = NewItem(&root, "&Edit");
  TKsCustomItem* copy = NewItem(edit, "&Copy");
  EXPECT_EQ(file->FindAccelItem('x'), exit);
  EXPECT_EQ(file->FindAccelItem('O'), open);
  EXPECT_EQ(file->FindAccelItem('E'), nullptr);  // "E" of "Exit" is no accelerator
  EXPECT_EQ(root.FindAccelItem('o'), nullptr);   // sub-items of sub-items are not searched

  // Depth first in index order, the item itself first.
  exit->SetShortCut(scAlt | 'X');
  copy->SetShortCut(scAlt | 'X');
  EXPECT_EQ(root.FindItem(scAlt | 'X', kfkShortCut), exit);
  EXPECT_EQ(edit->FindItem(scAlt | 'X', kfkShortCut), copy);
  root.SetShortCut(scAlt | 'X');
  EXPECT_EQ(root.FindItem(scAlt | 'X', kfkShortCut), &root);
  EXPECT_EQ(root.FindItem(scAlt | 'Q', kfkShortCut), nullptr);
  TRecorder recorder;
  copy->OnClick = recorder.Event();
  EXPECT_EQ(root.FindItem(reinterpret_cast<uintptr_t>(recorder.Event().Code()), kfkClickCode), copy);

  TCustomImageList rootImages(nullptr), ownImages(nullptr);
  EXPECT_EQ(copy->GetImageList(), nullptr);
  root.SetImages(&rootImages);
  EXPECT_EQ(copy->GetImageList(), &rootImages);
  edit->SetImages(&ownImages);  // only the item's own or the root's count
  EXPECT_EQ(copy->GetImageList(), &rootImages);
  copy->SetImages(&ownImages);
  EXPECT_EQ(copy->GetImageList(), &ownImages);
}

TEST(KsItems, SettersSignalOnlyChangesAndTreeSettersReachTheirDepth) {
  TKsCustomItem root(nullptr);
  TKsCustomItem* sub = NewItem(&root, "a");
  TKsCustomItem* deep = NewItem(sub, "b");
  TRecorder rootChanges, subChanges;
  root.OnChange = rootChanges.Event();
  sub->OnChange = subChanges.Event();
  deep->SetCaption("b");
  deep->SetChecked(false);
  deep->SetEnabled(true);
  deep->SetImageIndex(-1);
  deep->SetVisible(true);
  deep->SetImages(nullptr);
  EXPECT_EQ(rootChanges.Count(), 0);
  deep->SetCaption("c");
  deep->SetChecked(true);
  deep->SetEnabled(false);
  deep->SetImageIndex(3);
  deep->SetVisible(false);
  EXPECT_EQ(subChanges.Count(), 5);
  EXPECT_EQ(rootChanges.Count(), 5);  // every change reaches the root's handler
  {
    TCustomImageList images(nullptr);
    deep->SetImages(&images);
    EXPECT_EQ(rootChanges.Count(), 6);
  }
  EXPECT_EQ(deep->GetImages(), nullptr);  // a freed image list is forgotten
  deep->SetHint("h");
  deep->SetShortCut(5);
  deep->SetHelpContext(7);
  EXPECT_EQ(rootChanges.Count(), 7);

  root.SetDropShadowAll(true);
  root.SetShadowWidthAll(6);
  root.SetShowAnimationAll(kaFade);
  root.SetPopupBlendValue(99);
  root.SetAnimateOnceAll(true);
  EXPECT_TRUE(deep->GetDropShadow());
  EXPECT_EQ(deep->GetShadowWidth(), 6);
  EXPECT_EQ(deep->GetShowAnimation(), kaFade);
  EXPECT_EQ(deep->GetPopupBlendValue(), 99);
  EXPECT_TRUE(deep->GetAnimateOnce());
  root.SetBiDiModeAll(bdRightToLeft);
  root.SetInControlBarAll(true);
  EXPECT_EQ(sub->GetBiDiMode(), bdRightToLeft);
  EXPECT_TRUE(sub->GetInControlBar());
  EXPECT_EQ(deep->GetBiDiMode(), bdLeftToRight);
  EXPECT_FALSE(deep->GetInControlBar());
}

namespace {
// A component class that streams item trees, as a menu bar does.
class TItemHolder : public TComponent {
  KIVO_CLASS(TItemHolder, TComponent)
 public:
  explicit TItemHolder(TComponent* AOwner) : TComponent(AOwner) {}
  TKsCustomItem Items{nullptr};
};
class TDerivedHolder : public TItemHolder {
  KIVO_CLASS(TDerivedHolder, TItemHolder)
 public:
  using TItemHolder::TItemHolder;
};
int AddCalls = 0;
void AddToHolder(TComponent* parent, TKsCustomItem* item) {
  ++AddCalls;
  static_cast<TItemHolder*>(parent)->Items.Add(item);
}
void CountOnly(TComponent*, TKsCustomItem*) { ++AddCalls; }
TClass ItemClass() { return TKsCustomItem::StaticClass(); }
}  // namespace

TEST(KsItems, StreamingParentsAndTheParentClassRegistry) {
  TDerivedHolder holder(nullptr);
  holder.Items.SetTreeParentComponent(&holder);
  TKsCustomItem* menu = NewItem(&holder.Items, "menu");
  TKsCustomItem* entry = NewItem(menu, "entry");
  EXPECT_EQ(menu->GetParentComponent(), &holder);  // the root's streaming component
  EXPECT_EQ(entry->GetParentComponent(), menu);
  EXPECT_TRUE(entry->HasParent());
  std::vector<TComponent*> children;
  menu->GetChildren(TGetChildProc::FromFunction(
                        [](void* data, TComponent* child) {
                          static_cast<std::vector<TComponent*>*>(data)->push_back(child);
                        },
                        &children),
                    nullptr);
  EXPECT_EQ(children, std::vector<TComponent*>{entry});

  // An item as the new parent adopts it directly.
  entry->SetParentComponent(&holder.Items);
  EXPECT_EQ(entry->GetParent(), &holder.Items);
  EXPECT_EQ(menu->GetCount(), 0);

  // Another component goes through the registry, searched from the last record.
  AddCalls = 0;
  entry->SetParentComponent(&holder);  // nothing registered: the item only leaves
  EXPECT_EQ(entry->GetParent(), nullptr);
  RegisterItemParent(TItemHolder::StaticClass(), CountOnly, ItemClass);
  RegisterItemParent(TItemHolder::StaticClass(), AddToHolder, ItemClass);  // overwrites
  entry->SetParentComponent(&holder);
  EXPECT_EQ(AddCalls, 1);
  EXPECT_EQ(entry->GetParent(), &holder.Items);
  UnregisterItemParent(TItemHolder::StaticClass());  // counted down to 1: still listed
  entry->SetParentComponent(&holder);
  EXPECT_EQ(AddCalls, 2);
  EXPECT_EQ(entry->GetParent(), &holder.Items);
  UnregisterItemParent(TItemHolder::StaticClass());
  entry->SetParentComponent(&holder);
  EXPECT_EQ(AddCalls, 2);
  EXPECT_EQ(entry->GetParent(), nullptr);
  UnregisterItemParent(TItemHolder::StaticClass());  // not listed: nothing
  delete entry;
}

TEST(KsItems, ActionLinkCopiesAndFollowsLinkedProperties) {
  TRecorder executed;
  TAction action(nullptr);
  action.SetCaption("Save");
  action.SetChecked(true);
  action.SetHint("Saves");
  action.SetImageIndex(2);
  action.SetShortCut(scAlt | 'S');
  action.OnExecute = executed.Event();
  TKsCustomItem item(nullptr);
  item.SetCaption("Mine");
  TRecorder changes;
  item.OnChange = changes.Event();
  item.SetAction(&action);
  EXPECT_EQ(item.GetCaption(), "Save");
  EXPECT_TRUE(item.GetChecked());
  EXPECT_EQ(item.GetHint(), "Saves");
  EXPECT_EQ(item.GetImageIndex(), 2);
  EXPECT_EQ(item.GetShortCut(), scAlt | 'S');
  EXPECT_TRUE(SameEventCode(item.OnClick, action.OnExecute));
  EXPECT_GT(changes.Count(), 0);

  // Linked properties follow the action; one the item changed itself no longer does.
  action.SetEnabled(false);
  EXPECT_FALSE(item.GetEnabled());
  item.SetCaption("Own");
  action.SetCaption("Save all");
  EXPECT_EQ(item.GetCaption(), "Own");
  action.SetHint("Saves all");
  EXPECT_EQ(item.GetHint(), "Saves all");

  // Loading keeps the item's own non-default values.
  TKsCustomItem loaded(nullptr);
  loaded.SetCaption("Kept");
  loaded.SetAction(&action);
  loaded.SetCaption("Kept");
  loaded.SetImageIndex(-1);
  loaded.Loaded();
  EXPECT_EQ(loaded.GetCaption(), "Kept");
  EXPECT_EQ(loaded.GetImageIndex(), 2);

  {
    TAction shortLived(nullptr);
    item.SetAction(&shortLived);
    EXPECT_EQ(item.GetAction(), &shortLived);
  }
  EXPECT_EQ(item.GetAction(), nullptr);
  EXPECT_EQ(item.GetActionLink(), nullptr);
}

TEST(KsItems, ClicksArePostedAndDispatchedAfterwards) {
  ASSERT_NE(KsClickHandler(), nullptr);
  TRecorder clicks, executed;
  TKsCustomItem root(nullptr);
  TKsCustomItem* plain = NewItem(&root, "Plain");
  plain->OnClick = clicks.Event();
  plain->Click();
  EXPECT_EQ(clicks.Count(), 0);  // deferred
  PumpPending();
  ASSERT_EQ(clicks.Count(), 1);
  EXPECT_EQ(clicks.Senders[0], plain);

  // Separators, disabled items and items with sub-items post nothing.
  TKsCustomItem* separator = NewItem(&root, "-");
  TKsCustomItem* disabled = NewItem(&root, "Off");
  disabled->SetEnabled(false);
  TKsCustomItem* branch = NewItem(&root, "Branch");
  NewItem(branch, "Leaf");
  for (TKsCustomItem* item : {separator, disabled, branch, &root}) {
    item->OnClick = clicks.Event();
    item->Click();
    EXPECT_FALSE(ClickPosted(item)) << item->GetCaption();
  }
  plain->Click();
  EXPECT_TRUE(ClickPosted(plain));

  // OnClick equal to the action's OnExecute runs through the link (the action is the
  // sender); a different OnClick wins over the action.
  TAction action(nullptr);
  action.OnExecute = executed.Event();
  TKsCustomItem* linked = NewItem(&root, "Linked");
  linked->SetAction(&action);
  linked->Click();
  PumpPending();
  ASSERT_EQ(executed.Count(), 1);
  EXPECT_EQ(executed.Senders[0], &action);
  TRecorder own;
  linked->OnClick = own.OtherEvent();
  linked->Click();
  PumpPending();
  EXPECT_EQ(executed.Count(), 1);
  ASSERT_EQ(own.Count(), 1);
  EXPECT_EQ(own.Senders[0], linked);

  // Regression: a posted click whose item was freed meanwhile dereferenced the freed
  // item; the click handler now drops clicks of items that no longer exist.
  TKsCustomItem* doomed = NewItem(&root, "Doomed");
  doomed->OnClick = clicks.Event();
  int before = clicks.Count();
  doomed->Click();
  delete doomed;
  PumpPending();
  EXPECT_EQ(clicks.Count(), before);
  EXPECT_FALSE(IsLiveItem(doomed));

  // Without a click handler the click runs at once.
  FinalizeKsItems();
  EXPECT_EQ(KsClickHandler(), nullptr);
  plain->Click();
  EXPECT_EQ(clicks.Count(), before + 1);
  InitializeKsItems();
}

TEST(KsItems, ShortCutsClickTheirItem) {
  TKsCustomItem root(nullptr);
  TKsCustomItem* file = NewItem(&root, "File");
  TKsCustomItem* save = NewItem(file, "Save");
  TRecorder clicks;
  save->OnClick = clicks.Event();
  save->SetShortCut(scAlt | 'S');
  TMessage key = AltKey('S');
  EXPECT_TRUE(root.IsShortCut(key));
  PumpPending();
  EXPECT_EQ(clicks.Count(), 1);
  TMessage plainKey = AltKey('S');
  plainKey.LParam = 0;  // no Alt: another short cut
  EXPECT_FALSE(root.IsShortCut(plainKey));

  // A disabled ancestor stops the walk: the item is found but not clicked.
  file->SetEnabled(false);
  EXPECT_TRUE(root.IsShortCut(key));
  PumpPending();
  EXPECT_EQ(clicks.Count(), 1);
  file->SetEnabled(true);

  // A click that raises goes to the application's handler with the root as sender.
  FinalizeKsItems();  // clicks run at once
  struct TThrower {
    void Click(TObject*) { throw Exception("click failed"); }
  } thrower;
  save->OnClick = TNotifyEvent::Bind<&TThrower::Click>(&thrower);
  struct TExceptionLog {
    TObject* Sender = nullptr;
    std::string Message;
    void Handle(TObject* sender, const std::exception& e) {
      Sender = sender;
      Message = e.what();
    }
  } log;
  TExceptionEvent saved = Application->OnException;
  Application->OnException = TExceptionEvent::Bind<&TExceptionLog::Handle>(&log);
  EXPECT_TRUE(root.IsShortCut(key));
  EXPECT_EQ(log.Sender, &root);
  EXPECT_EQ(log.Message, "click failed");
  Application->OnException = saved;

  // Regression: handlers that move the short cut back and forth kept the search going
  // for ever ("repeat while moved" had no bound); it now ends after a bounded number of
  // passes.
  TKsCustomItem* other = NewItem(file, "Other");
  struct TMover {
    TKsCustomItem* From;
    TKsCustomItem* To;
    int Clicks = 0;
    void Move(TObject*) {
      ++Clicks;
      To->SetShortCut(From->GetShortCut());
      From->SetShortCut(0);
      std::swap(From, To);
    }
  } mover{save, other};
  save->OnClick = TNotifyEvent::Bind<&TMover::Move>(&mover);
  other->OnClick = save->OnClick;
  EXPECT_TRUE(root.IsShortCut(key));
  EXPECT_GT(mover.Clicks, 1);
  EXPECT_LE(mover.Clicks, 10);
  InitializeKsItems();
}
