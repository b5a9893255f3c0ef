// Actions linked to controls: what the control takes from its action, what follows a
// change, how a click chooses between its own handler and the action, how the link
// ends when either side goes, and the idle step's updates.
#include <gtest/gtest.h>

#include "ControlsTestSupport.h"
#include "classlib/Actions.h"
#include "classlib/ImageList.h"

namespace {

struct THandlers {
  int Runs = 0;
  int Others = 0;
  int Updates = 0;
  void Run(TObject*) { ++Runs; }
  void Other(TObject*) { ++Others; }
  void CountUpdate(TObject*) { ++Updates; }
  TNotifyEvent RunEvent() { return TNotifyEvent::Bind<&THandlers::Run>(this); }
  TNotifyEvent OtherEvent() { return TNotifyEvent::Bind<&THandlers::Other>(this); }
  TNotifyEvent UpdateEvent() { return TNotifyEvent::Bind<&THandlers::CountUpdate>(this); }
};

class ActionsTest : public FormTest {
 protected:
  TTestButton* MakeButton() {
    auto* button = new TTestButton(Form);
    button->SetParent(Form);
    return button;
  }
  TAction* MakeAction(const std::string& caption) {
    auto* action = new TAction(Form);
    action->SetCaption(caption);
    action->OnExecute = Handlers.RunEvent();
    return action;
  }
  // One idle step that does not wait for a message.
  void RunIdle() {
    Application->OnIdle = TIdleEvent::Bind<&ActionsTest::KeepBusy>(this);
    Application->Idle(MSG{});
    Application->OnIdle = {};
  }
  void KeepBusy(TObject*, bool& done) { done = false; }
  THandlers Handlers;
};

TEST_F(ActionsTest, LinkedButtonTakesTheActionsPropertiesAndRunsItOnClick) {
  TAction* action = MakeAction("&Run");
  action->SetHint("Runs it");
  action->SetHelpContext(7);
  action->SetEnabled(false);
  TTestButton* button = MakeButton();
  button->SetAction(action);
  EXPECT_EQ(button->GetAction(), action);
  EXPECT_EQ(button->GetCaption(), "&Run");
  EXPECT_FALSE(button->GetEnabled());
  EXPECT_EQ(button->GetHint(), "Runs it");
  EXPECT_EQ(button->GetHelpContext(), 7);
  EXPECT_EQ(button->OnClick, action->OnExecute);

  // A disabled action does not run; enabling it enables the button too.
  button->Click();
  EXPECT_EQ(Handlers.Runs, 0);
  action->SetEnabled(true);
  EXPECT_TRUE(button->GetEnabled());
  ShowForm();
  SendMessageA(button->GetHandle(), BM_CLICK, 0, 0);  // a real click through BN_CLICKED
  EXPECT_EQ(Handlers.Runs, 1);
}

TEST_F(ActionsTest, ActionChangesReachTheControlWhileItShowsTheActionsValue) {
  TAction* action = MakeAction("First");
  TTestButton* button = MakeButton();
  button->SetAction(action);
  action->SetCaption("Second");
  EXPECT_EQ(button->GetCaption(), "Second");
  action->SetVisible(false);
  EXPECT_FALSE(button->GetVisible());
  action->SetVisible(true);
  // A caption of the control's own is no longer linked and stays.
  button->SetCaption("Mine");
  action->SetCaption("Third");
  EXPECT_EQ(button->GetCaption(), "Mine");
  // A new OnExecute reaches a click event that is still the action's.
  action->SetOnExecute(Handlers.OtherEvent());
  EXPECT_EQ(button->OnClick, Handlers.OtherEvent());
}

TEST_F(ActionsTest, TheClickEventIsLinkedByCodeAddress) {
  TAction* action = MakeAction("Run");
  TTestButton* button = MakeButton();
  button->SetAction(action);
  TControlActionLink link(button);
  link.SetAction(action);
  // The same method bound to another object still counts as the action's handler:
  // the click runs the action, not the control's event.
  THandlers elsewhere;
  button->OnClick = elsewhere.RunEvent();
  EXPECT_TRUE(link.IsOnExecuteLinked());
  button->Click();
  EXPECT_EQ(Handlers.Runs, 1);
  EXPECT_EQ(elsewhere.Runs, 0);
  // A different method wins over the action.
  button->OnClick = Handlers.OtherEvent();
  EXPECT_FALSE(link.IsOnExecuteLinked());
  button->Click();
  EXPECT_EQ(Handlers.Others, 1);
  EXPECT_EQ(Handlers.Runs, 1);
  // No handler of its own: the action runs.
  button->OnClick = {};
  button->Click();
  EXPECT_EQ(Handlers.Runs, 2);
  EXPECT_TRUE(link.IsCaptionLinked());
  button->SetCaption("Other");
  EXPECT_FALSE(link.IsCaptionLinked());
}

TEST_F(ActionsTest, FreeingTheActionTheListOrTheControlEndsTheLink) {
  TTestButton* button = MakeButton();
  TAction* action = MakeAction("Run");
  button->SetAction(action);
  delete action;
  EXPECT_EQ(button->GetAction(), nullptr);
  button->Click();  // the handler the action gave the control stays its own
  EXPECT_EQ(Handlers.Runs, 1);

  auto* list = new TActionList(nullptr);
  TAction* listed = MakeAction("Listed");
  listed->SetActionList(list);
  EXPECT_EQ(list->GetActionCount(), 1);
  EXPECT_EQ(listed->GetIndex(), 0);
  button->SetAction(listed);
  delete list;  // frees its actions
  EXPECT_EQ(button->GetAction(), nullptr);

  TAction* kept = MakeAction("Kept");
  button->SetAction(kept);
  EXPECT_EQ(kept->GetClientCount(), 1);
  delete button;
  EXPECT_EQ(kept->GetClientCount(), 0);
  kept->SetCaption("Still alive");  // no client to reach
}

TEST_F(ActionsTest, ActionListForgetsAFreedImageList) {
  TActionList list(nullptr);
  auto* images = new TImageList(nullptr);
  list.SetImages(images);
  EXPECT_EQ(list.GetImages(), images);
  delete images;
  EXPECT_EQ(list.GetImages(), nullptr);
}

TEST_F(ActionsTest, IdleStepUpdatesTheActionsOfVisibleFormsOnce) {
  auto* list = new TActionList(Form);
  TAction* listed = MakeAction("Listed");
  listed->SetActionList(list);
  listed->OnUpdate = Handlers.UpdateEvent();
  THandlers linkedOnly;
  TAction* linked = MakeAction("Linked");
  linked->OnUpdate = linkedOnly.UpdateEvent();
  MakeButton()->SetAction(linked);
  MakeButton()->SetAction(listed);  // listed and linked: still one update

  RunIdle();  // the form is hidden
  EXPECT_EQ(Handlers.Updates, 0);
  EXPECT_EQ(linkedOnly.Updates, 0);
  ShowForm();
  RunIdle();
  EXPECT_EQ(Handlers.Updates, 1);
  EXPECT_EQ(linkedOnly.Updates, 1);
}

TEST_F(ActionsTest, LoadingKeepsTheControlsOwnValues) {
  TTestButton* button = MakeButton();
  {
    TLoadingScope loading(Form);
    TAction* action = MakeAction("Action");  // loading with its owner
    action->SetHint("Action hint");
    button->SetCaption("Own");
    button->OnClick = Handlers.OtherEvent();
    button->SetAction(action);
  }
  EXPECT_EQ(button->GetCaption(), "Own");
  EXPECT_EQ(button->GetHint(), "Action hint");
  EXPECT_EQ(button->OnClick, Handlers.OtherEvent());
}

}  // namespace
