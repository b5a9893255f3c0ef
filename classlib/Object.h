// The root class and run-time class information.
//
// Every class of the library derives from TObject and names itself with KIVO_CLASS.
// A class reference (TClass) points at the class's one metaclass object, which can be
// stored, compared, asked for its name and ancestry, and used as a virtual constructor.
// A class family whose constructor takes arguments, or that has class-level virtual
// operations, declares its own metaclass type and a member template TMetaFor<T> that
// implements it for each descendant T (see TComponent); descendants inherit the family's
// TMetaFor and so get the family's metaclass automatically. Class-level operations are
// static member functions of T forwarded by TMetaFor<T>, so a descendant that declares
// its own static overrides the ancestor's.
#pragma once

#include <new>
#include <type_traits>

#include "classlib/Exceptions.h"

class TObject;
class TMetaClass;
struct TMessage;
using TClass = const TMetaClass*;

class TMetaClass {
 public:
  TMetaClass(const char* name, TClass parent) : FName(name), FParent(parent) {}
  TMetaClass(const TMetaClass&) = delete;
  TMetaClass& operator=(const TMetaClass&) = delete;
  virtual ~TMetaClass() = default;

  const char* ClassName() const { return FName; }
  TClass ClassParent() const { return FParent; }
  // True for the class itself and every descendant of `ancestor`.
  bool InheritsFrom(TClass ancestor) const;
  // The virtual constructor of classes made without arguments; raises EAbstractError
  // for a class that cannot be made that way.
  virtual TObject* NewInstance() const { AbstractError(); }

 private:
  const char* FName;
  TClass FParent;
};

// Names a class: its metaclass, StaticClass(), ClassType() and `inherited`.
#define KIVO_CLASS(Name, Parent)                                                        \
 public:                                                                                \
  using inherited = Parent;                                                             \
  static const auto& MetaClass() {                                                      \
    static const typename Name::template TMetaFor<Name> meta(#Name, Parent::StaticClass()); \
    return meta;                                                                        \
  }                                                                                     \
  static TClass StaticClass() { return &MetaClass(); }                                  \
  TClass ClassType() const override { return StaticClass(); }                           \
                                                                                        \
 private:

class TObject {
 public:
  // The metaclass of plain classes: NewInstance makes a T when T can be made
  // without arguments.
  template <class T>
  class TMetaFor : public TMetaClass {
   public:
    using TMetaClass::TMetaClass;
    TObject* NewInstance() const override {
      if constexpr (!std::is_abstract_v<T> && std::is_default_constructible_v<T>)
        return new T();
      else
        AbstractError();
    }
  };

  TObject() = default;
  TObject(const TObject&) = default;
  TObject& operator=(const TObject&) = default;
  // Tells the alive guards watching the object that it is gone (AliveGuard.h).
  virtual ~TObject();

  // `delete` of an object runs BeforeDestruction while the object is whole, then its
  // destructors, then frees it: a component counts as being destroyed (csDestroying)
  // before the first of its destructors runs, so no descendant's destructor fires its
  // events. A delete of an object whose deletion runs already (a handler that frees an
  // object being destroyed) does nothing: the object goes once.
  static void operator delete(TObject* object, std::destroying_delete_t);
  // The allocation that pairs with it, the module's, and the release of an object whose
  // construction failed.
  static void* operator new(size_t size);
  static void* operator new(size_t size, const std::nothrow_t&) noexcept;
  static void operator delete(void* block) noexcept;
  static void operator delete(void* block, const std::nothrow_t&) noexcept;

  static const TMetaFor<TObject>& MetaClass();
  static TClass StaticClass() { return &MetaClass(); }
  virtual TClass ClassType() const { return StaticClass(); }
  const char* ClassName() const { return ClassType()->ClassName(); }
  bool InheritsFrom(TClass ancestor) const { return ClassType()->InheritsFrom(ancestor); }
  // Class test including descendants ("is").
  template <class T>
  bool Is() const {
    return InheritsFrom(T::StaticClass());
  }

  // Dispatch by message number. Each class level that handles messages overrides
  // Dispatch with a switch over the numbers it knows and passes every other message to
  // inherited::Dispatch; a handler's own "inherited" is inherited::Dispatch(message),
  // which finds the nearest ancestor's handler for the same number. The chain ends in
  // DefaultHandler: nothing for plain objects, the original window procedure for
  // windowed controls.
  virtual void Dispatch(TMessage& message);
  virtual void DefaultHandler(TMessage& message);

 protected:
  // The first step of `delete`, before any destructor.
  virtual void BeforeDestruction() noexcept {}
};

// The object as T when it is one (descendants included), otherwise null ("as" without raising).
template <class T>
T* ObjectAs(TObject* object) {
  return object && object->Is<T>() ? static_cast<T*>(object) : nullptr;
}

// The class reference as a family metaclass, or null when `cls` is not of that family.
template <class Meta>
const Meta* MetaClassAs(TClass cls) {
  return dynamic_cast<const Meta*>(cls);
}

// Frees an object held by a raw owning pointer and clears the pointer.
template <class T>
void FreeAndNil(T*& object) {
  T* doomed = object;
  object = nullptr;
  delete doomed;
}
