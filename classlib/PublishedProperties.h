// Published object properties by name: the small run-time type information that
// lets code ask "has this component a published property ThemeEngine? then set it".
// Each class registers the object properties it publishes (name, declared class,
// getter, setter) from its unit's start-up; a class inherits the properties of its
// ancestors, and an own entry of the same name hides the ancestor's. Names are
// matched without regard to case.
//
//   RegisterPublishedProperties(TTeThemeButton::StaticClass(), {
//       ObjectProperty<&TTeThemeButton::GetThemeEngine, &TTeThemeButton::SetThemeEngine>(
//           "ThemeEngine")});
#pragma once

#include <initializer_list>
#include <string>
#include <string_view>
#include <type_traits>

#include "classlib/Object.h"

struct TPropInfo {
  std::string Name;
  TClass PropClass = nullptr;  // the class a value must belong to
  TObject* (*Get)(const TObject* instance) = nullptr;
  void (*Set)(TObject* instance, TObject* value) = nullptr;  // null: read-only
};

namespace propinfo_detail {
template <class>
struct TGetterTraits;
template <class C, class V>
struct TGetterTraits<V* (C::*)() const> {
  using Class = C;
  using Value = V;
};
template <class C, class V>
struct TGetterTraits<V* (C::*)()> {
  using Class = C;
  using Value = V;
};
}  // namespace propinfo_detail

// The entry of an object property read by `Getter` (V* (C::*)() [const]) and, unless
// null, written by `Setter` (void (C::*)(V*)).
template <auto Getter, auto Setter = nullptr>
TPropInfo ObjectProperty(const char* name) {
  using Traits = propinfo_detail::TGetterTraits<decltype(Getter)>;
  using C = typename Traits::Class;
  using V = typename Traits::Value;
  TPropInfo info;
  info.Name = name;
  info.PropClass = V::StaticClass();
  info.Get = [](const TObject* instance) -> TObject* {
    return (const_cast<C*>(static_cast<const C*>(instance))->*Getter)();
  };
  if constexpr (!std::is_same_v<decltype(Setter), std::nullptr_t>)
    info.Set = [](TObject* instance, TObject* value) {
      (static_cast<C*>(instance)->*Setter)(static_cast<V*>(value));
    };
  return info;
}

// Sets the properties `cls` itself publishes (replacing an earlier registration).
void RegisterPublishedProperties(TClass cls, std::initializer_list<TPropInfo> properties);
void UnRegisterPublishedProperties(TClass cls);

// The property of that name that `cls` publishes or inherits, or null.
const TPropInfo* GetPropInfo(TClass cls, std::string_view name);
bool IsPublishedProp(const TObject* instance, std::string_view name);
// Raise EPropertyError "Property %s does not exist" for an unknown name; SetObjectProp
// also raises for a read-only property and for a value not of the declared class.
TObject* GetObjectProp(const TObject* instance, std::string_view name);
void SetObjectProp(TObject* instance, std::string_view name, TObject* value);
TClass GetObjectPropClass(const TObject* instance, std::string_view name);
