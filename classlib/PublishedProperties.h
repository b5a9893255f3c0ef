// Published properties by name: the small run-time type information that lets code ask
// "has this component a published property ThemeEngine? then set it", and that the
// component streaming (Filer.h) writes and reads. Each class registers the properties
// it publishes, in their declared order, from its unit's start-up; a class inherits the
// properties of its ancestors (listed before its own), and an own entry of the same
// name takes the ancestor's place. Names are matched without regard to case.
//
// Three kinds of value: objects (read and written through a getter and a setter of a
// class pointer), ordinals (Booleans, integers, characters, enumerations and small sets,
// held as one 32-bit value) and texts. A property is stored when its Stored predicate
// (if any) answers true and its value differs from its declared default (if any); a
// text without a predicate is stored when it is not empty.
//
//   RegisterPublishedProperties(TTeThemeButton::StaticClass(), {
//       ObjectProperty<&TTeThemeButton::GetThemeEngine, &TTeThemeButton::SetThemeEngine>(
//           "ThemeEngine"),
//       OrdinalProperty<&TTeThemeButton::GetFlat, &TTeThemeButton::SetFlat>("Flat", false)});
#pragma once

#include <cstdint>
#include <initializer_list>
#include <optional>
#include <string>
#include <string_view>
#include <type_traits>
#include <vector>

#include "classlib/Object.h"
#include "classlib/Set.h"

enum TPropKind : uint8_t { pkObject, pkOrdinal, pkBoolean, pkString };

struct TPropInfo {
  std::string Name;
  TPropKind Kind = pkObject;
  TClass PropClass = nullptr;  // objects: the class a value must belong to
  TObject* (*Get)(const TObject* instance) = nullptr;
  void (*Set)(TObject* instance, TObject* value) = nullptr;  // null: read-only
  int32_t (*GetOrd)(const TObject* instance) = nullptr;
  void (*SetOrd)(TObject* instance, int32_t value) = nullptr;
  std::string (*GetStr)(const TObject* instance) = nullptr;
  void (*SetStr)(TObject* instance, const std::string& value) = nullptr;
  // Ordinals: the declared default, which is not stored.
  std::optional<int32_t> Default;
  // Null: stored (subject to the default).
  bool (*Stored)(const TObject* instance) = nullptr;
};

namespace propinfo_detail {
template <class>
struct TMemberTraits;
template <class C, class R>
struct TMemberTraits<R (C::*)() const> {
  using Class = C;
  using Result = std::remove_cvref_t<R>;
};
template <class C, class R>
struct TMemberTraits<R (C::*)()> {
  using Class = C;
  using Result = std::remove_cvref_t<R>;
};
template <class C, class P>
struct TMemberTraits<void (C::*)(P)> {
  using Class = C;
  using Param = std::remove_cvref_t<P>;
};

template <class>
struct TIsSet : std::false_type {};
template <class E>
struct TIsSet<TSet<E>> : std::true_type {};

template <class T>
int32_t ToOrdinal(const T& value) {
  if constexpr (TIsSet<T>::value)
    return static_cast<int32_t>(value.Bits());
  else
    return static_cast<int32_t>(value);
}
template <class T>
T FromOrdinal(int32_t value) {
  if constexpr (TIsSet<T>::value)
    return T::FromBits(static_cast<uint32_t>(value));
  else if constexpr (std::is_same_v<T, bool>)
    return value != 0;
  else
    return static_cast<T>(value);
}

template <auto Member, class C>
auto Call(const TObject* instance) {
  return (const_cast<C*>(static_cast<const C*>(instance))->*Member)();
}
}  // namespace propinfo_detail

// The entry of an object property read by `Getter` (V* (C::*)() [const]) and, unless
// null, written by `Setter` (void (C::*)(V*)).
template <auto Getter, auto Setter = nullptr>
TPropInfo ObjectProperty(const char* name) {
  using Traits = propinfo_detail::TMemberTraits<decltype(Getter)>;
  using C = typename Traits::Class;
  using V = std::remove_pointer_t<typename Traits::Result>;
  TPropInfo info;
  info.Name = name;
  info.PropClass = V::StaticClass();
  info.Get = [](const TObject* instance) -> TObject* { return propinfo_detail::Call<Getter, C>(instance); };
  if constexpr (!std::is_same_v<decltype(Setter), std::nullptr_t>)
    info.Set = [](TObject* instance, TObject* value) {
      (static_cast<C*>(instance)->*Setter)(static_cast<V*>(value));
    };
  return info;
}

// An ordinal property (Boolean, integer, character, enumeration or TSet) read by
// `Getter` and written by `Setter` (void (C::*)(T)); with a default, the value equal to
// it is not stored.
template <auto Getter, auto Setter>
TPropInfo OrdinalProperty(const char* name, std::optional<int32_t> defaultValue = std::nullopt) {
  using C = typename propinfo_detail::TMemberTraits<decltype(Getter)>::Class;
  using V = typename propinfo_detail::TMemberTraits<decltype(Getter)>::Result;
  using P = typename propinfo_detail::TMemberTraits<decltype(Setter)>::Param;
  TPropInfo info;
  info.Name = name;
  info.Kind = std::is_same_v<V, bool> ? pkBoolean : pkOrdinal;
  info.GetOrd = [](const TObject* instance) {
    return propinfo_detail::ToOrdinal<V>(propinfo_detail::Call<Getter, C>(instance));
  };
  info.SetOrd = [](TObject* instance, int32_t value) {
    (static_cast<C*>(instance)->*Setter)(propinfo_detail::FromOrdinal<P>(value));
  };
  info.Default = defaultValue;
  return info;
}

// A text property read by `Getter` (std::string or const std::string&) and written by
// `Setter`; without a Stored predicate an empty text is not stored.
template <auto Getter, auto Setter>
TPropInfo StringProperty(const char* name) {
  using C = typename propinfo_detail::TMemberTraits<decltype(Getter)>::Class;
  TPropInfo info;
  info.Name = name;
  info.Kind = pkString;
  info.GetStr = [](const TObject* instance) { return std::string(propinfo_detail::Call<Getter, C>(instance)); };
  info.SetStr = [](TObject* instance, const std::string& value) { (static_cast<C*>(instance)->*Setter)(value); };
  return info;
}

// `info` stored only when `Predicate` (bool (C::*)() [const]) answers true.
template <auto Predicate>
TPropInfo StoredWhen(TPropInfo info) {
  using C = typename propinfo_detail::TMemberTraits<decltype(Predicate)>::Class;
  info.Stored = [](const TObject* instance) -> bool { return propinfo_detail::Call<Predicate, C>(instance); };
  return info;
}

// Sets the properties `cls` itself publishes (replacing an earlier registration).
void RegisterPublishedProperties(TClass cls, std::initializer_list<TPropInfo> properties);
void UnRegisterPublishedProperties(TClass cls);

// The property of that name that `cls` publishes or inherits, or null.
const TPropInfo* GetPropInfo(TClass cls, std::string_view name);
// Every property `cls` publishes or inherits: the ancestors' first, in declared order.
std::vector<const TPropInfo*> GetPropList(TClass cls);
// Whether the property's value is to be stored for `instance` (Stored predicate, default,
// an empty text; an object property is stored when it holds an object).
bool IsStoredProp(const TObject* instance, const TPropInfo& info);
bool IsPublishedProp(const TObject* instance, std::string_view name);
// Raise EPropertyError "Property %s does not exist" for an unknown name; SetObjectProp
// also raises for a read-only property and for a value not of the declared class.
TObject* GetObjectProp(const TObject* instance, std::string_view name);
void SetObjectProp(TObject* instance, std::string_view name, TObject* value);
TClass GetObjectPropClass(const TObject* instance, std::string_view name);
// Ordinal and text values by name; raise EPropertyError for an unknown name or a
// property of another kind.
int32_t GetOrdProp(const TObject* instance, std::string_view name);
void SetOrdProp(TObject* instance, std::string_view name, int32_t value);
std::string GetStrProp(const TObject* instance, std::string_view name);
void SetStrProp(TObject* instance, std::string_view name, const std::string& value);
