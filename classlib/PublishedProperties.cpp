#include "classlib/PublishedProperties.h"

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

bool IsPublishedProp(const TObject* instance, std::string_view name) {
  return instance && GetPropInfo(instance->ClassType(), name);
}

TObject* GetObjectProp(const TObject* instance, std::string_view name) {
  return Require(instance, name).Get(instance);
}

void SetObjectProp(TObject* instance, std::string_view name, TObject* value) {
  const TPropInfo& info = Require(instance, name);
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
