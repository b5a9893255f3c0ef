#include "classlib/Components.h"

#include <algorithm>
#include <cassert>
#include <exception>

#include "classlib/Filer.h"
#include "classlib/Strings.h"

namespace {

bool IsIdentStart(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_'; }
bool IsIdentChar(char c) { return IsIdentStart(c) || (c >= '0' && c <= '9'); }

void CollectLoading(TComponent* component, std::vector<TComponent*>& list) {
  if (component->GetComponentState().Contains(csLoading))
    list.push_back(component);
  for (int i = 0; i < component->GetComponentCount(); ++i)
    CollectLoading(component->GetComponent(i), list);
}

}  // namespace

bool IsValidIdent(const std::string& name) {
  if (name.empty() || !IsIdentStart(name[0]))
    return false;
  return std::all_of(name.begin() + 1, name.end(), IsIdentChar);
}

TComponent::TComponent(TComponent* AOwner) {
  if (!AOwner)
    return;
  if (AOwner->FComponentState.Contains(csLoading))
    FComponentState.Include(csLoading);
  AOwner->InsertComponent(this);
}

TComponent::~TComponent() {
  Destroying();
  // Both sides drop the link before the partner hears of it, so that a partner
  // whose Notification does not reach the inherited one keeps no stale pointer.
  while (!FFreeNotifies.empty()) {
    TComponent* partner = FFreeNotifies.back();
    FFreeNotifies.pop_back();
    partner->RemoveNotification(this);
    partner->Notification(this, opRemove);
  }
  DestroyComponents();
  if (FOwner)
    FOwner->RemoveComponent(this);
}

void TComponent::DestroyComponents() {
  while (!FComponents.empty()) {
    TComponent* last = FComponents.back();
    // A component others watch goes with a notification to the remaining ones.
    if (last->FComponentState.Contains(csFreeNotification))
      RemoveComponent(last);
    else
      Remove(last);
    delete last;
  }
}

void TComponent::Destroying() {
  if (FComponentState.Contains(csDestroying))
    return;
  FComponentState.Include(csDestroying);
  for (TComponent* c : FComponents)
    c->Destroying();
}

void TComponent::SetDesigning(bool value, bool setChildren) {
  if (value)
    FComponentState.Include(csDesigning);
  else
    FComponentState.Exclude(csDesigning);
  if (setChildren)
    for (TComponent* c : FComponents)
      c->SetDesigning(value, true);
}

TComponent* TComponent::GetComponent(int index) const {
  if (index < 0 || index >= GetComponentCount())
    ListIndexError(index);
  return FComponents[index];
}

int TComponent::GetComponentIndex() const {
  if (!FOwner)
    return -1;
  auto& list = FOwner->FComponents;
  return static_cast<int>(std::find(list.begin(), list.end(), this) - list.begin());
}

TComponent* TComponent::FindComponent(const std::string& name) const {
  if (name.empty())
    return nullptr;
  for (TComponent* c : FComponents)
    if (SameText(c->FName, name))
      return c;
  return nullptr;
}

void TComponent::SetName(const std::string& value) {
  if (FName == value)
    return;
  if (!value.empty() && !IsValidIdent(value))
    throw EComponentError(Format("'%s' is not a valid component name", value.c_str()));
  if (FOwner)
    FOwner->ValidateRename(this, FName, value);
  ChangeName(value);
}

void TComponent::ValidateRename(TComponent* component, const std::string& curName,
                                const std::string& newName) {
  if (!component || SameText(curName, newName))
    return;
  TComponent* holder = FindComponent(newName);
  if (holder && holder != component)
    throw EComponentError(Format("A component named %s already exists", newName.c_str()));
}

void TComponent::InsertComponent(TComponent* component) {
  assert(component && component != this && "a component cannot own itself");
  // Checked before anything changes, so that a clash leaves both owners as they were.
  ValidateRename(component, "", component->FName);
  if (component->FOwner)
    component->FOwner->RemoveComponent(component);
  Insert(component);
  if (FComponentState.Contains(csDesigning))
    component->SetDesigning(true);
  Notification(component, opInsert);
}

void TComponent::RemoveComponent(TComponent* component) {
  if (!component || component->FOwner != this)
    return;
  Notification(component, opRemove);
  Remove(component);
}

void TComponent::Insert(TComponent* component) {
  FComponents.push_back(component);
  component->FOwner = this;
}

void TComponent::Remove(TComponent* component) {
  auto it = std::find(FComponents.begin(), FComponents.end(), component);
  if (it != FComponents.end())
    FComponents.erase(it);
  component->FOwner = nullptr;
}

void TComponent::FreeNotification(TComponent* component) {
  assert(component && "free notification needs a component");
  if (component == this)
    return;
  // Components of one owner hear of each other through the owner's Notification.
  if (!FOwner || component->FOwner != FOwner) {
    assert(!FComponentState.Contains(csDestroying) &&
           !component->FComponentState.Contains(csDestroying) &&
           "no new link to a component being destroyed");
    if (std::find(FFreeNotifies.begin(), FFreeNotifies.end(), component) == FFreeNotifies.end()) {
      FFreeNotifies.push_back(component);
      component->FreeNotification(this);
    }
  }
  FComponentState.Include(csFreeNotification);
}

void TComponent::RemoveFreeNotification(TComponent* component) {
  RemoveNotification(component);
  component->RemoveNotification(this);
}

void TComponent::RemoveNotification(TComponent* component) {
  auto it = std::find(FFreeNotifies.begin(), FFreeNotifies.end(), component);
  if (it != FFreeNotifies.end())
    FFreeNotifies.erase(it);
}

void TComponent::Notification(TComponent* AComponent, TOperation operation) {
  if (operation == opRemove && AComponent)
    RemoveFreeNotification(AComponent);
  // Last first, and robust against receivers that free components meanwhile.
  int i = GetComponentCount() - 1;
  while (i >= 0) {
    FComponents[i]->Notification(AComponent, operation);
    --i;
    if (i >= GetComponentCount())
      i = GetComponentCount() - 1;
  }
}

void TComponent::Loaded() { FComponentState.Exclude(csLoading); }

void TComponent::ReadState(TReader& reader) { reader.ReadProperties(this); }

bool BeginLoading(TComponent* root) {
  if (root->FComponentState.Contains(csLoading))
    return false;
  std::vector<TComponent*> stack{root};
  while (!stack.empty()) {
    TComponent* c = stack.back();
    stack.pop_back();
    c->FComponentState.Include(csLoading);
    stack.insert(stack.end(), c->FComponents.begin(), c->FComponents.end());
  }
  return true;
}

void EndLoading(TComponent* root, bool callLoaded) {
  std::vector<TComponent*> loading;
  CollectLoading(root, loading);
  for (TComponent* c : loading) {
    // A component an earlier Loaded of the pass has loaded already (its owner may
    // load the parts it needs first) is not loaded twice.
    if (!c->FComponentState.Contains(csLoading))
      continue;
    if (callLoaded)
      c->Loaded();
    else
      c->FComponentState.Exclude(csLoading);
  }
}

TLoadingScope::TLoadingScope(TComponent* root)
    : FRoot(root), FOwnsLoading(BeginLoading(root)), FExceptions(std::uncaught_exceptions()) {}

TLoadingScope::~TLoadingScope() noexcept(false) {
  if (FOwnsLoading)
    EndLoading(FRoot, /*callLoaded=*/std::uncaught_exceptions() == FExceptions);
}
