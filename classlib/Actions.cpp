// A link is told of a change before the action stores the new value, so "linked" still
// compares the client with the old value: a client the user changed keeps its own.
// An action freed by the OnUpdate its run starts with runs nothing more.
#include "classlib/Actions.h"

#include <algorithm>
#include <cassert>
#include <unordered_set>

#include "classlib/AliveGuard.h"
#include "classlib/Controls.h"
#include "classlib/Exceptions.h"
#include "classlib/Forms.h"
#include "classlib/ImageList.h"

// ---- TBasicActionLink -------------------------------------------------------------

TBasicActionLink::~TBasicActionLink() {
  if (FAction)
    FAction->UnRegisterChanges(this);
}

void TBasicActionLink::SetAction(TBasicAction* value) {
  if (value == FAction)
    return;
  if (FAction)
    FAction->UnRegisterChanges(this);
  FAction = value;
  if (FAction)
    FAction->RegisterChanges(this);
}

bool TBasicActionLink::Execute() { return FAction && FAction->Execute(); }

void TBasicActionLink::Change() { OnChange(FAction); }

bool TBasicActionLink::Update() { return FAction && FAction->Update(); }

// ---- TBasicAction -----------------------------------------------------------------

TBasicAction::~TBasicAction() {
  // The clients hear of the action's end through their free notification; their links
  // must not reach back into it from then on.
  Destroying();
  for (TBasicActionLink* link : FClients)
    link->FAction = nullptr;
  FClients.clear();
}

bool TBasicAction::Execute() {
  if (!OnExecute.Assigned())
    return false;
  OnExecute(this);
  return true;
}

bool TBasicAction::Update() {
  if (!OnUpdate.Assigned())
    return false;
  OnUpdate(this);
  return true;
}

void TBasicAction::SetOnExecute(const TNotifyEvent& value) {
  if (value == OnExecute)
    return;
  const std::vector<TBasicActionLink*> clients = FClients;
  for (TBasicActionLink* link : clients)
    link->SetOnExecute(value);
  OnExecute = value;
  Change();
}

void TBasicAction::RegisterChanges(TBasicActionLink* link) {
  assert(std::find(FClients.begin(), FClients.end(), link) == FClients.end() && "link registered twice");
  FClients.push_back(link);
}

void TBasicAction::UnRegisterChanges(TBasicActionLink* link) {
  auto it = std::find(FClients.begin(), FClients.end(), link);
  if (it != FClients.end())
    FClients.erase(it);
}

// ---- TContainedAction -------------------------------------------------------------

TContainedAction::~TContainedAction() { SetActionList(nullptr); }

void TContainedAction::SetActionList(TCustomActionList* value) {
  if (value == FActionList)
    return;
  if (FActionList)
    FActionList->RemoveAction(this);
  if (value)
    value->AddAction(this);
}

int TContainedAction::GetIndex() const { return FActionList ? FActionList->IndexOfAction(this) : -1; }

// ---- TActionLink ------------------------------------------------------------------

namespace {
bool IsCustomAction(TBasicAction* action) { return action && action->Is<TCustomAction>(); }
}  // namespace

bool TActionLink::IsCaptionLinked() { return IsCustomAction(GetAction()); }
bool TActionLink::IsCheckedLinked() { return IsCustomAction(GetAction()); }
bool TActionLink::IsEnabledLinked() { return IsCustomAction(GetAction()); }
bool TActionLink::IsHelpContextLinked() { return IsCustomAction(GetAction()); }
bool TActionLink::IsHintLinked() { return IsCustomAction(GetAction()); }
bool TActionLink::IsImageIndexLinked() { return IsCustomAction(GetAction()); }
bool TActionLink::IsShortCutLinked() { return IsCustomAction(GetAction()); }
bool TActionLink::IsVisibleLinked() { return IsCustomAction(GetAction()); }

// ---- TCustomAction ----------------------------------------------------------------

bool TCustomAction::Execute() {
  // An OnUpdate handler that frees the action ends the run: nothing of it is left to ask.
  if (!Survives(this, [this] { Update(); }))
    return true;
  return FEnabled && inherited::Execute();
}

template <class T, class Push>
void TCustomAction::StoreProperty(T& field, const T& value, Push push) {
  if (value == field)
    return;
  const std::vector<TBasicActionLink*> clients = GetClients();
  for (TBasicActionLink* link : clients)
    if (link->Is<TActionLink>())
      push(static_cast<TActionLink*>(link));
  field = value;
  Change();
}

void TCustomAction::SetCaption(const std::string& value) {
  StoreProperty(FCaption, value, [&](TActionLink* link) { link->SetCaption(value); });
}

void TCustomAction::SetChecked(bool value) {
  StoreProperty(FChecked, value, [&](TActionLink* link) { link->SetChecked(value); });
}

void TCustomAction::SetEnabled(bool value) {
  StoreProperty(FEnabled, value, [&](TActionLink* link) { link->SetEnabled(value); });
}

void TCustomAction::SetHelpContext(int value) {
  StoreProperty(FHelpContext, value, [&](TActionLink* link) { link->SetHelpContext(value); });
}

void TCustomAction::SetHint(const std::string& value) {
  StoreProperty(FHint, value, [&](TActionLink* link) { link->SetHint(value); });
}

void TCustomAction::SetImageIndex(int value) {
  StoreProperty(FImageIndex, value, [&](TActionLink* link) { link->SetImageIndex(value); });
}

void TCustomAction::SetShortCut(TShortCut value) {
  StoreProperty(FShortCut, value, [&](TActionLink* link) { link->SetShortCut(value); });
}

void TCustomAction::SetVisible(bool value) {
  StoreProperty(FVisible, value, [&](TActionLink* link) { link->SetVisible(value); });
}

// ---- TCustomActionList ------------------------------------------------------------

TCustomActionList::~TCustomActionList() {
  Destroying();
  SetImages(nullptr);
  while (!FActions.empty())
    delete FActions.back();  // the action leaves the list on its way
}

void TCustomActionList::SetImages(TCustomImageList* value) {
  ReplaceReference(FImages, value);
}

TContainedAction* TCustomActionList::GetActions(int index) const {
  if (index < 0 || index >= GetActionCount())
    ListIndexError(index);
  return FActions[size_t(index)];
}

void TCustomActionList::AddAction(TContainedAction* action) {
  assert(action && "no action to add");
  if (action->FActionList == this)
    return;
  if (action->FActionList)
    action->FActionList->RemoveAction(action);
  FActions.push_back(action);
  action->FActionList = this;
}

void TCustomActionList::RemoveAction(TContainedAction* action) {
  auto it = std::find(FActions.begin(), FActions.end(), action);
  if (it == FActions.end())
    return;
  FActions.erase(it);
  action->FActionList = nullptr;
}

int TCustomActionList::IndexOfAction(const TContainedAction* action) const {
  auto it = std::find(FActions.begin(), FActions.end(), action);
  return it == FActions.end() ? -1 : int(it - FActions.begin());
}

void TCustomActionList::UpdateActions() {
  const std::vector<TContainedAction*> actions = FActions;
  for (TContainedAction* action : actions)
    if (IndexOfAction(action) >= 0)
      action->Update();
}

void TCustomActionList::Notification(TComponent* AComponent, TOperation operation) {
  inherited::Notification(AComponent, operation);
  if (operation == opRemove && FImages && AComponent == static_cast<TComponent*>(FImages))
    FImages = nullptr;
}

// ---- TControlActionLink -----------------------------------------------------------

namespace {
TCustomAction* CustomAction(TBasicAction* action) {
  return IsCustomAction(action) ? static_cast<TCustomAction*>(action) : nullptr;
}
}  // namespace

bool TControlActionLink::IsCaptionLinked() {
  return inherited::IsCaptionLinked() && FClient->GetCaption() == CustomAction(GetAction())->GetCaption();
}

bool TControlActionLink::IsEnabledLinked() {
  return inherited::IsEnabledLinked() && FClient->GetEnabled() == CustomAction(GetAction())->GetEnabled();
}

bool TControlActionLink::IsHelpContextLinked() {
  return inherited::IsHelpContextLinked() &&
         FClient->GetHelpContext() == CustomAction(GetAction())->GetHelpContext();
}

bool TControlActionLink::IsHintLinked() {
  return inherited::IsHintLinked() && FClient->GetHint() == CustomAction(GetAction())->GetHint();
}

bool TControlActionLink::IsVisibleLinked() {
  return inherited::IsVisibleLinked() && FClient->GetVisible() == CustomAction(GetAction())->GetVisible();
}

bool TControlActionLink::IsOnExecuteLinked() {
  return inherited::IsOnExecuteLinked() && GetAction() && SameEventCode(FClient->OnClick, GetAction()->OnExecute);
}

void TControlActionLink::SetCaption(const std::string& value) {
  if (IsCaptionLinked())
    FClient->SetCaption(value);
}

void TControlActionLink::SetEnabled(bool value) {
  if (IsEnabledLinked())
    FClient->SetEnabled(value);
}

void TControlActionLink::SetHelpContext(int value) {
  if (IsHelpContextLinked())
    FClient->SetHelpContext(value);
}

void TControlActionLink::SetHint(const std::string& value) {
  if (IsHintLinked())
    FClient->SetHint(value);
}

void TControlActionLink::SetVisible(bool value) {
  if (IsVisibleLinked())
    FClient->SetVisible(value);
}

void TControlActionLink::SetOnExecute(const TNotifyEvent& value) {
  if (IsOnExecuteLinked())
    FClient->OnClick = value;
}

// ---- Idle updates -----------------------------------------------------------------

namespace {
// Updates the action linked to `control` and to every visible control below it, each
// action once per idle step.
void UpdateControlActions(TControl* control, std::unordered_set<TBasicAction*>& done) {
  if (!control->GetVisible())
    return;
  if (TBasicAction* action = control->GetAction(); action && done.insert(action).second)
    action->Update();
  if (!control->Is<TWinControl>())
    return;
  auto* container = static_cast<TWinControl*>(control);
  for (int i = 0; i < container->GetControlCount(); ++i)
    UpdateControlActions(container->GetControl(i), done);
}
}  // namespace

void UpdateFormActions() {
  if (!Screen)
    return;
  std::unordered_set<TBasicAction*> done;
  for (int i = 0; i < Screen->GetCustomFormCount(); ++i) {
    TCustomForm* form = Screen->GetCustomForms(i);
    if (!form->GetVisible() || form->GetComponentState().Contains(csDestroying))
      continue;
    for (int c = 0; c < form->GetComponentCount(); ++c) {
      TComponent* component = form->GetComponent(c);
      if (!component->Is<TCustomActionList>())
        continue;
      auto* list = static_cast<TCustomActionList*>(component);
      std::vector<TContainedAction*> actions;
      for (int a = 0; a < list->GetActionCount(); ++a)
        if (done.insert(list->GetActions(a)).second)
          actions.push_back(list->GetActions(a));
      for (TContainedAction* action : actions)
        if (list->IndexOfAction(action) >= 0)
          action->Update();
    }
    UpdateControlActions(form, done);
  }
}
