// TComponent: a persistent object with an owner, a name and a state.
//
// Ownership: a component made with an owner is appended to the owner's Components
// (creation order) and is freed by it; the owner frees its components last first.
// A component freed on its own leaves its owner's list. The owner's Notification
// hears of every insertion and removal and passes it on to all the components it
// owns, so components of one owner learn when a sibling goes away.
// Free notification links two components of different owners (or without one):
// A->FreeNotification(B) makes B hear Notification(A, opRemove) when A is freed and
// the other way round; a freed component forgets its partners and they forget it.
//
// C++ builds the most derived part of an object last and destroys it first: the
// Notification(opInsert) sent from the constructor and the Notification(opRemove)
// sent from the destructor see the component as a plain TComponent. Receivers
// compare identities; class tests on the inserted component belong where the
// component is complete (for controls: when they are placed on a parent).
// csDestroying is set by Destroying(), which `delete` runs before any destructor
// (BeforeDestruction) and the destructor runs first; a class whose own destructor needs
// the state of a component destroyed otherwise (a member, a local) calls Destroying() at
// its start.
//
// Loading: forms are built in code. TLoadingScope (or BeginLoading/EndLoading)
// marks a root component and everything it owns as csLoading; a component made
// with a loading owner is loading too; at the end every loading component of the
// tree gets Loaded, the root first and then the owned ones in creation order
// (depth first), which clears csLoading; one whose Loaded an earlier Loaded of the pass
// called already is skipped.
#pragma once

#include <string>
#include <type_traits>
#include <vector>

#include "classlib/Events.h"
#include "classlib/Persistent.h"
#include "classlib/Set.h"

class TComponent;
class TReader;

enum TOperation { opInsert, opRemove };

enum TComponentStateFlag {
  csLoading,
  csReading,
  csWriting,
  csDestroying,
  csDesigning,
  csUpdating,
  csFreeNotification,
};
using TComponentState = TSet<TComponentStateFlag>;

// Called with each child a component streams (GetChildren).
using TGetChildProc = TEvent<TComponent*>;

// The metaclass of the component family: a virtual constructor taking the owner.
class TComponentClass : public TMetaClass {
 public:
  using TMetaClass::TMetaClass;
  virtual TComponent* Create(TComponent* AOwner) const = 0;
};

class TComponent : public TPersistent {
  KIVO_CLASS(TComponent, TPersistent)
 public:
  // The metaclass of T: Create constructs a T. A family with class operations of its
  // own derives its metaclass from TComponentClass and passes it as Base.
  template <class T, class Base = TComponentClass>
  class TMetaFor : public Base {
   public:
    using Base::Base;
    TComponent* Create(TComponent* AOwner) const override {
      if constexpr (std::is_abstract_v<T> || !std::is_constructible_v<T, TComponent*>)
        AbstractError();
      else
        return new T(AOwner);
    }
    TObject* NewInstance() const override { return Create(nullptr); }
  };

  explicit TComponent(TComponent* AOwner);
  ~TComponent() override;

  TComponent* GetOwner() const override { return FOwner; }
  const std::string& GetName() const { return FName; }
  // Raises EComponentError for a name that is no identifier or that another
  // component of the owner already bears (compared without regard to case).
  virtual void SetName(const std::string& value);
  int GetTag() const { return FTag; }
  void SetTag(int value) { FTag = value; }
  TComponentState GetComponentState() const { return FComponentState; }

  int GetComponentCount() const { return static_cast<int>(FComponents.size()); }
  // Raises EListError for an index outside 0 .. ComponentCount - 1.
  TComponent* GetComponent(int index) const;
  // The index in the owner's Components, -1 without an owner.
  int GetComponentIndex() const;
  // The owned component of that name (without regard to case), or null.
  TComponent* FindComponent(const std::string& name) const;

  // Takes `component` over from its current owner (appended last).
  void InsertComponent(TComponent* component);
  void RemoveComponent(TComponent* component);

  void FreeNotification(TComponent* component);
  void RemoveFreeNotification(TComponent* component);

  // Sets csDestroying on this component and every component it owns.
  void Destroying();
  void SetDesigning(bool value, bool setChildren = true);

  // Called once the component and its owner's tree are built; clears csLoading.
  virtual void Loaded();
  // Insertion into and removal from this component's tree, and the free
  // notifications. The default drops a free-notification link to a removed
  // component and passes the news on to every owned component.
  virtual void Notification(TComponent* AComponent, TOperation operation);
  // Reads the component's stored properties (csReading is set meanwhile).
  virtual void ReadState(TReader& reader);

  // Streaming structure: the children a component streams and the component it
  // is placed on when read.
  virtual void GetChildren(TGetChildProc proc, TComponent* root) {}
  virtual bool HasParent() const { return false; }
  virtual TComponent* GetParentComponent() const { return nullptr; }
  virtual void SetParentComponent(TComponent* value) {}

 protected:
  void BeforeDestruction() noexcept override { Destroying(); }
  // Points `field` at `value`, moving this component's free notification from the old
  // component to the new one. False when `field` already held `value`.
  template <class T>
  bool ReplaceReference(T*& field, T* value) {
    if (field == value)
      return false;
    if (field)
      field->RemoveFreeNotification(this);
    field = value;
    if (value)
      value->FreeNotification(this);
    return true;
  }
  // Raises when `newName` would clash within this component's Components.
  virtual void ValidateRename(TComponent* component, const std::string& curName,
                              const std::string& newName);
  void ChangeName(const std::string& newName) { FName = newName; }
  void Updating() { FComponentState.Include(csUpdating); }
  void Updated() { FComponentState.Exclude(csUpdating); }

 private:
  void Insert(TComponent* component);
  void Remove(TComponent* component);
  void RemoveNotification(TComponent* component);
  void DestroyComponents();

  TComponent* FOwner = nullptr;
  std::string FName;
  int FTag = 0;
  TComponentState FComponentState;
  std::vector<TComponent*> FComponents;
  std::vector<TComponent*> FFreeNotifies;

  friend class TReader;
  friend bool BeginLoading(TComponent* root);
  friend void EndLoading(TComponent* root, bool callLoaded);
};

// Marks `root` and every component it owns as loading. Answers false, and changes
// nothing, when the root is loading already: the outer loading will run its pass.
bool BeginLoading(TComponent* root);
// The Loaded pass over `root` and every loading component of its tree (root first,
// then depth first in creation order). Without `callLoaded` the flags are only
// cleared (a build that failed).
void EndLoading(TComponent* root, bool callLoaded = true);

// Loading as a scope: the Loaded pass runs when the scope ends normally; when it
// ends by an exception the flags are only cleared.
class TLoadingScope {
 public:
  explicit TLoadingScope(TComponent* root);
  ~TLoadingScope() noexcept(false);
  TLoadingScope(const TLoadingScope&) = delete;
  TLoadingScope& operator=(const TLoadingScope&) = delete;

 private:
  TComponent* FRoot;
  bool FOwnsLoading;
  int FExceptions;
};

// True for a text usable as a component name: a letter or "_", then letters,
// digits and "_".
bool IsValidIdent(const std::string& name);
