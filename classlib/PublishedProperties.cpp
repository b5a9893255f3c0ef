#include "classlib/PublishedProperties.h"

#include <algorithm>
#include <map>
#include <vector>

#include "classlib/Strings.h"

namespace {

std::map<TClass, std::vector<TPropInfo>>& Tables() {
  static std::map<TClass, std::vector<TPropInfo>> tables;
  return tables;
}

const TPropInfo& Require(const TObject* instance, std::string_view name) {
  const TPropInfo* info = GetPropInfo(instance->ClassType(), name);
  if (!info)
    throw EPropertyError(Format("Property %s does not exist", std::string(name).c_str()));
  return *info;
}

const TPropInfo& RequireKind(const TObject* instance, std::string_view name, bool ordinal) {
  const TPropInfo& info = Require(instance, name);
  const bool isOrdinal = info.Kind == pkOrdinal || info.Kind == pkBoolean;
  if (ordinal ? !isOrdinal : info.Kind != pkString)
    throw EPropertyError(Format("Property %s is not %s property", info.Name.c_str(),
                                ordinal ? "an ordinal" : "a text"));
  return info;
}

}  // namespace

void RegisterPublishedProperties(TClass cls, std::initializer_list<TPropInfo> properties) {
  Tables()[cls] = std::vector<TPropInfo>(properties);
}

void UnRegisterPublishedProperties(TClass cls) { Tables().erase(cls); }

const TPropInfo* GetPropInfo(TClass cls, std::string_view name) {
  auto& tables = Tables();
  for (TClass c = cls; c; c = c->ClassParent()) {
    auto it = tables.find(c);
    if (it == tables.end())
      continue;
    for (const TPropInfo& info : it->second)
      if (SameText(info.Name, name))
        return &info;
  }
  return nullptr;
}

std::vector<const TPropInfo*> GetPropList(TClass cls) {
  std::vector<TClass> chain;
  for (TClass c = cls; c; c = c->ClassParent())
    chain.push_back(c);
  std::vector<const TPropInfo*> list;
  auto& tables = Tables();
  for (auto c = chain.rbegin(); c != chain.rend(); ++c) {
    auto it = tables.find(*c);
    if (it == tables.end())
      continue;
    for (const TPropInfo& info : it->second) {
      auto same = std::find_if(list.begin(), list.end(),
                               [&](const TPropInfo* known) { return SameText(known->Name, info.Name); });
      if (same != list.end())
        *same = &info;
      else
        list.push_back(&info);
    }
  }
  return list;
}

bool IsStoredProp(const TObject* instance, const TPropInfo& info) {
  if (info.Stored && !info.Stored(instance))
    return false;
  switch (info.Kind) {
    case pkObject:
      return info.Get(instance) != nullptr;
    case pkOrdinal:
    case pkBoolean:
      return !info.Default || info.GetOrd(instance) != *info.Default;
    case pkString:
      return info.Stored || !info.GetStr(instance).empty();
  }
  return true;
}

bool IsPublishedProp(const TObject* instance, std::string_view name) {
  return instance && GetPropInfo(instance->ClassType(), name);
}

TObject* GetObjectProp(const TObject* instance, std::string_view name) {
  const TPropInfo& info = Require(instance, name);
  if (info.Kind != pkObject)
    throw EPropertyError(Format("Property %s is not an object property", info.Name.c_str()));
  return info.Get(instance);
}

void SetObjectProp(TObject* instance, std::string_view name, TObject* value) {
  const TPropInfo& info = Require(instance, name);
  if (info.Kind != pkObject)
    throw EPropertyError(Format("Property %s is not an object property", info.Name.c_str()));
  if (!info.Set)
    throw EPropertyError(Format("Property %s is read-only", info.Name.c_str()));
  if (value && !value->InheritsFrom(info.PropClass))
    throw EPropertyError(Format("Invalid property value: a %s is no %s", value->ClassName(),
                                info.PropClass->ClassName()));
  info.Set(instance, value);
}

TClass GetObjectPropClass(const TObject* instance, std::string_view name) {
  return Require(instance, name).PropClass;
}

int32_t GetOrdProp(const TObject* instance, std::string_view name) {
  return RequireKind(instance, name, /*ordinal=*/true).GetOrd(instance);
}

void SetOrdProp(TObject* instance, std::string_view name, int32_t value) {
  RequireKind(instance, name, /*ordinal=*/true).SetOrd(instance, value);
}

std::string GetStrProp(const TObject* instance, std::string_view name) {
  return RequireKind(instance, name, /*ordinal=*/false).GetStr(instance);
}

void SetStrProp(TObject* instance, std::string_view name, const std::string& value) {
  RequireKind(instance, name, /*ordinal=*/false).SetStr(instance, value);
}
