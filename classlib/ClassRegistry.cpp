#include "classlib/ClassRegistry.h"

#include <algorithm>
#include <string>
#include <vector>

#include "classlib/Strings.h"

namespace {

std::vector<TClass>& Registered() {
  static std::vector<TClass> classes;
  return classes;
}

}  // namespace

void RegisterClass(TClass cls) {
  TClass known = GetClass(cls->ClassName());
  if (known == cls)
    return;
  if (known)
    throw EFilerError(Format("A class named %s already exists", cls->ClassName()));
  Registered().push_back(cls);
}

void RegisterClasses(std::initializer_list<TClass> classes) {
  for (TClass cls : classes)
    RegisterClass(cls);
}

void UnRegisterClass(TClass cls) {
  auto& list = Registered();
  list.erase(std::remove(list.begin(), list.end(), cls), list.end());
}

void UnRegisterClasses(std::initializer_list<TClass> classes) {
  for (TClass cls : classes)
    UnRegisterClass(cls);
}

TClass GetClass(std::string_view name) {
  for (TClass cls : Registered())
    if (SameText(cls->ClassName(), name))
      return cls;
  return nullptr;
}

TClass FindClass(std::string_view name) {
  if (TClass cls = GetClass(name))
    return cls;
  throw EClassNotFound(Format("Class %s not found", std::string(name).c_str()));
}
