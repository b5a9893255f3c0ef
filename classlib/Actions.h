// Actions: a command object (TBasicAction) that controls and menu items link to, so
// that one caption, state and handler serves every client. A client holds an action
// link (TBasicActionLink and its descendants); the action tells its links of every
// change and the link copies the new value into its client while the client's value is
// still the action's ("linked"). Actions are listed in an action list (TCustomActionList),
// which frees its actions when it goes and gives them their images.
//
// Lifetime: a link unregisters from its action when freed; an action that goes first
// detaches its links (their Action becomes nil) and its clients hear of it through the
// free notification they registered. Freeing an action list frees its actions.
#pragma once

#include <string>
#include <vector>

#include "classlib/Components.h"
#include "classlib/Events.h"
#include "classlib/Menus.h"

class TBasicAction;
class TControl;
class TCustomActionList;
class TCustomImageList;

// The client side of one action: forwards the action's changes to OnChange and runs
// or updates the action for its client.
class TBasicActionLink : public TObject {
  KIVO_CLASS(TBasicActionLink, TObject)
 public:
  explicit TBasicActionLink(TObject* /*client*/) {}
  ~TBasicActionLink() override;

  TBasicAction* GetAction() const { return FAction; }
  void SetAction(TBasicAction* value);
  // Runs the action; answers whether it handled the request.
  virtual bool Execute();
  // Asks the action to update itself; answers whether it was handled.
  virtual bool Update();
  virtual bool IsOnExecuteLinked() { return true; }
  virtual void SetOnExecute(const TNotifyEvent& value) {}
  // Asks the client to take every property of the action again (OnChange with the
  // action as Sender). Single property changes reach the client through the setters
  // of the link, which respect what the client changed itself.
  virtual void Change();

  TNotifyEvent OnChange;

 private:
  friend class TBasicAction;
  TBasicAction* FAction = nullptr;
};

class TBasicAction : public TComponent {
  KIVO_CLASS(TBasicAction, TComponent)
 public:
  explicit TBasicAction(TComponent* AOwner) : TComponent(AOwner) {}
  ~TBasicAction() override;

  // Fires OnExecute; answers whether it was assigned.
  virtual bool Execute();
  // Fires OnUpdate; answers whether it was assigned.
  virtual bool Update();
  // Replaces OnExecute and tells the links, so that clients whose click event is
  // linked take the new handler.
  void SetOnExecute(const TNotifyEvent& value);

  void RegisterChanges(TBasicActionLink* link);
  void UnRegisterChanges(TBasicActionLink* link);
  int GetClientCount() const { return int(FClients.size()); }

  TNotifyEvent OnExecute;
  TNotifyEvent OnUpdate;
  // Fired after every change of the action's properties.
  TNotifyEvent OnChange;

 protected:
  virtual void Change() { OnChange(this); }
  const std::vector<TBasicActionLink*>& GetClients() const { return FClients; }

 private:
  std::vector<TBasicActionLink*> FClients;
};

// An action that belongs to an action list.
class TContainedAction : public TBasicAction {
  KIVO_CLASS(TContainedAction, TBasicAction)
 public:
  using TBasicAction::TBasicAction;
  ~TContainedAction() override;

  TCustomActionList* GetActionList() const { return FActionList; }
  void SetActionList(TCustomActionList* value);
  int GetIndex() const;

 private:
  friend class TCustomActionList;
  TCustomActionList* FActionList = nullptr;
};

// The link of a client that shows an action's properties. The base tests hold for every
// TCustomAction; client links add "and the client still shows the action's value".
class TActionLink : public TBasicActionLink {
  KIVO_CLASS(TActionLink, TBasicActionLink)
 public:
  using TBasicActionLink::TBasicActionLink;

  virtual bool IsCaptionLinked();
  virtual bool IsCheckedLinked();
  virtual bool IsEnabledLinked();
  virtual bool IsHelpContextLinked();
  virtual bool IsHintLinked();
  virtual bool IsImageIndexLinked();
  virtual bool IsShortCutLinked();
  virtual bool IsVisibleLinked();

  // Called by the action before it stores a new value.
  virtual void SetCaption(const std::string& value) {}
  virtual void SetChecked(bool value) {}
  virtual void SetEnabled(bool value) {}
  virtual void SetHelpContext(int value) {}
  virtual void SetHint(const std::string& value) {}
  virtual void SetImageIndex(int value) {}
  virtual void SetShortCut(TShortCut value) {}
  virtual void SetVisible(bool value) {}
};

class TCustomAction : public TContainedAction {
  KIVO_CLASS(TCustomAction, TContainedAction)
 public:
  using TContainedAction::TContainedAction;

  // Updates the action first; a disabled action does not run.
  bool Execute() override;

  const std::string& GetCaption() const { return FCaption; }
  void SetCaption(const std::string& value);
  bool GetChecked() const { return FChecked; }
  void SetChecked(bool value);
  bool GetEnabled() const { return FEnabled; }
  void SetEnabled(bool value);
  int GetHelpContext() const { return FHelpContext; }
  void SetHelpContext(int value);
  const std::string& GetHint() const { return FHint; }
  void SetHint(const std::string& value);
  int GetImageIndex() const { return FImageIndex; }
  void SetImageIndex(int value);
  TShortCut GetShortCut() const { return FShortCut; }
  void SetShortCut(TShortCut value);
  bool GetVisible() const { return FVisible; }
  void SetVisible(bool value);

 private:
  // A changed value goes first to every TActionLink (`push`), then into `field`.
  template <class T, class Push>
  void StoreProperty(T& field, const T& value, Push push);

  std::string FCaption;
  bool FChecked = false;
  bool FEnabled = true;
  int FHelpContext = 0;
  std::string FHint;
  int FImageIndex = -1;
  TShortCut FShortCut = 0;
  bool FVisible = true;
};

class TAction : public TCustomAction {
  KIVO_CLASS(TAction, TCustomAction)
 public:
  using TCustomAction::TCustomAction;
};

// A list of actions with the image list their image indexes refer to. The list frees
// its actions when it goes; an image list freed elsewhere is forgotten.
class TCustomActionList : public TComponent {
  KIVO_CLASS(TCustomActionList, TComponent)
 public:
  explicit TCustomActionList(TComponent* AOwner) : TComponent(AOwner) {}
  ~TCustomActionList() override;

  TCustomImageList* GetImages() const { return FImages; }
  void SetImages(TCustomImageList* value);
  int GetActionCount() const { return int(FActions.size()); }
  TContainedAction* GetActions(int index) const;
  void AddAction(TContainedAction* action);
  void RemoveAction(TContainedAction* action);
  int IndexOfAction(const TContainedAction* action) const;
  // Updates every action of the list.
  void UpdateActions();

 protected:
  void Notification(TComponent* AComponent, TOperation operation) override;

 private:
  TCustomImageList* FImages = nullptr;
  std::vector<TContainedAction*> FActions;
};

class TActionList : public TCustomActionList {
  KIVO_CLASS(TActionList, TCustomActionList)
 public:
  using TCustomActionList::TCustomActionList;
};

// The link of a control: caption, enabled, hint, help context, visible and the click
// event follow the action while the control still shows the action's value.
class TControlActionLink : public TActionLink {
  KIVO_CLASS(TControlActionLink, TActionLink)
 public:
  explicit TControlActionLink(TControl* client) : TActionLink(client), FClient(client) {}

  TControl* GetClient() const { return FClient; }
  bool IsCaptionLinked() override;
  bool IsEnabledLinked() override;
  bool IsHelpContextLinked() override;
  bool IsHintLinked() override;
  bool IsVisibleLinked() override;
  bool IsOnExecuteLinked() override;

  void SetCaption(const std::string& value) override;
  void SetEnabled(bool value) override;
  void SetHelpContext(int value) override;
  void SetHint(const std::string& value) override;
  void SetVisible(bool value) override;
  void SetOnExecute(const TNotifyEvent& value) override;

 private:
  TControl* FClient;
};

// True when two events name the same code, whatever object they are bound to: how a
// client's click event is recognised as its action's OnExecute.
inline bool SameEventCode(const TNotifyEvent& a, const TNotifyEvent& b) { return a.Code() == b.Code(); }

// The action part of the application's idle step: updates the actions of every visible
// form's action lists and the actions linked to its visible controls, each once.
void UpdateFormActions();
