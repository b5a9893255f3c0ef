#include "classlib/Filer.h"

#include <cassert>
#include <vector>

#include "classlib/ClassRegistry.h"
#include "classlib/Collections.h"
#include "classlib/Components.h"
#include "classlib/PublishedProperties.h"
#include "classlib/Strings.h"
#include "classlib/UpdateScope.h"

// The references read and not yet resolved: the object, its property, the stored name.
struct TFilerFixups {
  struct TFixup {
    TPersistent* Instance;
    const TPropInfo* Info;
    std::string Name;
  };
  std::vector<TFixup> Items;
};

TFindGlobalComponentProc FindGlobalComponentProc = FindNoGlobalComponent;

TComponent* FindNoGlobalComponent(const std::string&) { return nullptr; }

namespace {

// The children a component streams, in the order it names them.
struct TChildList {
  std::vector<TComponent*> Children;
  void Add(TComponent* child) { Children.push_back(child); }
};

void WriteComponentObject(TComponent* component, TComponent* root, TFilerObject& object) {
  object.ClassName = component->ClassName();
  object.Name = component->GetName();
  TWriter writer(object.Properties);
  writer.SetRoot(root);
  writer.WriteProperties(component);
  TChildList list;
  component->GetChildren(TGetChildProc::Bind<&TChildList::Add>(&list), root);
  for (TComponent* child : list.Children) {
    object.Children.emplace_back();
    WriteComponentObject(child, root, object.Children.back());
  }
}

// How a reference to `component` is stored from `root`: its name, qualified with its
// owner's name when the owner is another root; empty for a component without a name,
// which nothing could find again.
std::string ReferenceName(const TComponent* component, const TComponent* root) {
  if (component->GetName().empty())
    return {};
  const TComponent* owner = component->GetOwner();
  if (!owner || owner == root || owner->GetName().empty())
    return component->GetName();
  return owner->GetName() + "." + component->GetName();
}

// The nested objects of an object property: the items of a collection, or the one
// object of an owned persistent that has something stored. Components are references,
// not owned values: the caller stores them by name.
bool WriteNestedObjects(TObject* value, TComponent* root, TFilerObjects& objects) {
  auto write = [root](TPersistent* persistent, TFilerObject& object) {
    object.ClassName = persistent->ClassName();
    TWriter writer(object.Properties);
    writer.SetRoot(root);
    writer.WriteProperties(persistent);
  };
  if (auto* collection = ObjectAs<TCollection>(value)) {
    for (int i = 0; i < collection->GetCount(); ++i) {
      objects.emplace_back();
      write(collection->GetItem(i), objects.back());
    }
    return true;
  }
  auto* persistent = ObjectAs<TPersistent>(value);
  if (!persistent || persistent->Is<TComponent>())
    return false;
  TFilerObject object;
  write(persistent, object);
  if (object.Properties.empty())
    return false;
  objects.push_back(std::move(object));
  return true;
}

// The component a stored reference names: a plain name among the root's components
// (or the root itself), a qualified one among those of its owner: the root, one of the
// root's components, else the root FindGlobalComponentProc finds.
TComponent* FindReference(const std::string& name, TComponent* root) {
  const size_t dot = name.find('.');
  if (dot == std::string::npos) {
    if (!root)
      return nullptr;
    if (TComponent* found = root->FindComponent(name))
      return found;
    return SameText(root->GetName(), name) ? root : nullptr;
  }
  const std::string rootName = name.substr(0, dot);
  TComponent* owner = nullptr;
  if (root)
    owner = SameText(root->GetName(), rootName) ? root : root->FindComponent(rootName);
  if (!owner)
    owner = FindGlobalComponentProc(rootName);
  return owner ? owner->FindComponent(name.substr(dot + 1)) : nullptr;
}

// Sets every reference that finds a component of its property's class; answers the
// others, which leave their properties as they were.
std::vector<std::string> ResolveFixups(TFilerFixups& fixups, TComponent* root) {
  std::vector<std::string> unresolved;
  for (const TFilerFixups::TFixup& fixup : fixups.Items) {
    TComponent* found = FindReference(fixup.Name, root);
    if (found && found->InheritsFrom(fixup.Info->PropClass)) {
      fixup.Info->Set(fixup.Instance, found);
      continue;
    }
    const auto* component = ObjectAs<TComponent>(fixup.Instance);
    const std::string holder =
        component && !component->GetName().empty() ? component->GetName() : std::string(fixup.Instance->ClassName());
    const std::string why = found ? std::string("is no ") + fixup.Info->PropClass->ClassName() : "not found";
    unresolved.push_back(
        Format("%s.%s: %s %s", holder.c_str(), fixup.Info->Name.c_str(), fixup.Name.c_str(), why.c_str()));
  }
  fixups.Items.clear();
  return unresolved;
}

void ReadComponentObject(const TFilerObject& object, TComponent* instance, TComponent* parent, TComponent* owner,
                         std::vector<TComponent*>& loading, TFilerFixups& fixups) {
  TReader reader(object.Properties, &fixups);
  reader.SetParent(parent);
  reader.SetOwner(owner);
  reader.ReadComponent(instance);
  for (const TFilerObject& child : object.Children) {
    const auto* cls = MetaClassAs<TComponentClass>(FindClass(child.ClassName));
    if (!cls)
      throw EReadError(Format("Class %s is no component class", child.ClassName.c_str()));
    TComponent* component = cls->Create(owner);
    const bool ownPass = BeginLoading(component);
    if (ownPass)
      loading.push_back(component);
    try {
      component->SetName(child.Name);
      ReadComponentObject(child, component, instance, owner, loading, fixups);
    } catch (...) {
      if (ownPass)
        std::erase(loading, component);
      delete component;
      throw;
    }
  }
}

}  // namespace

// TWriter

void TWriter::WriteProperties(TPersistent* instance) {
  TComponent* root = FRoot;
  if (auto* component = ObjectAs<TComponent>(instance); !root && component)
    root = component->GetOwner() ? component->GetOwner() : component;
  for (const TPropInfo* info : GetPropList(instance->ClassType())) {
    if (!IsStoredProp(instance, *info))
      continue;
    TFilerProperty property{info->Name, false, {}};
    switch (info->Kind) {
      case pkObject: {
        TObject* value = info->Get(instance);
        if (auto* component = ObjectAs<TComponent>(value)) {
          // A property that cannot be set could not take the reference back.
          std::string name = info->Set ? ReferenceName(component, root) : std::string();
          if (name.empty())
            continue;
          property.Values.emplace_back(TFilerReference{std::move(name)});
          break;
        }
        TFilerObjects objects;
        if (!WriteNestedObjects(value, root, objects))
          continue;
        property.Values.emplace_back(std::move(objects));
        break;
      }
      case pkBoolean:
        property.Values.emplace_back(info->GetOrd(instance) != 0);
        break;
      case pkOrdinal:
        property.Values.emplace_back(info->GetOrd(instance));
        break;
      case pkString:
        property.Values.emplace_back(info->GetStr(instance));
        break;
    }
    FData.push_back(std::move(property));
  }
  instance->DefineProperties(*this);
}

TFilerObject TWriter::WriteRootComponent(TComponent* component) {
  TFilerObject object;
  WriteComponentObject(component, component->GetOwner() ? component->GetOwner() : component, object);
  return object;
}

void TWriter::DefineProperty(const std::string& name, TReaderProc readData,
                             TWriterProc writeData, bool hasData) {
  if (!hasData || !writeData)
    return;
  FData.push_back(TFilerProperty{name, false, {}});
  FCurrent = &FData.back();
  try {
    writeData(*this);
  } catch (...) {
    FCurrent = nullptr;
    throw;
  }
  FCurrent = nullptr;
}

void TWriter::DefineBinaryProperty(const std::string& name, TBinaryReadProc readData,
                                   TBinaryWriteProc writeData, bool hasData) {
  if (!hasData || !writeData)
    return;
  std::string bytes;
  writeData(bytes);
  FData.push_back(TFilerProperty{name, true, {std::move(bytes)}});
}

void TWriter::Append(TFilerValue value) {
  if (!FCurrent)
    throw EWriteError("A value can only be written while a property is being written");
  FCurrent->Values.push_back(std::move(value));
}

// TReader

void TReader::ReadProperties(TPersistent* instance) {
  // A read of its own resolves the references it reads when it is done.
  TFilerFixups ownFixups;
  const bool resolveOwn = !FFixups;
  if (resolveOwn)
    FFixups = &ownFixups;
  struct TRestoreFixups {
    TReader* Reader;
    bool Own;
    ~TRestoreFixups() {
      if (Own)
        Reader->FFixups = nullptr;
    }
  } restoreFixups{this, resolveOwn};
  std::vector<bool> consumed(FData.size(), false);
  std::vector<bool>* outer = FConsumed;
  FConsumed = &consumed;
  try {
    for (size_t i = 0; i < FData.size(); ++i) {
      const TFilerProperty& property = FData[i];
      const TPropInfo* info = property.Binary ? nullptr : GetPropInfo(instance->ClassType(), property.Name);
      if (!info)
        continue;
      consumed[i] = true;
      ReadPublished(instance, *info, property);
    }
    instance->DefineProperties(*this);
  } catch (...) {
    FConsumed = outer;
    throw;
  }
  FConsumed = outer;
  for (size_t i = 0; i < FData.size(); ++i) {
    if (!consumed[i])
      throw EReadError(Format("Property %s does not exist in %s", FData[i].Name.c_str(), instance->ClassName()));
  }
  if (!resolveOwn)
    return;
  TComponent* root = FOwner;
  if (auto* component = ObjectAs<TComponent>(instance); !root && component)
    root = component->GetOwner() ? component->GetOwner() : component;
  FUnresolved = ResolveFixups(ownFixups, root);
}

void TReader::AddFixup(TPersistent* instance, const TPropInfo& info, const std::string& name) {
  if (!info.Set || !info.PropClass->InheritsFrom(TComponent::StaticClass()))
    throw EReadError(Format("Invalid property value of %s: it takes no component reference", info.Name.c_str()));
  assert(FFixups && "references are read inside ReadProperties");
  FFixups->Items.push_back(TFilerFixups::TFixup{instance, &info, name});
}

void TReader::ReadPublished(TPersistent* instance, const TPropInfo& info, const TFilerProperty& property) {
  const TFilerProperty* outer = FCurrent;
  const size_t outerIndex = FIndex;
  FCurrent = &property;
  FIndex = 0;
  struct TRestore {
    TReader* Reader;
    const TFilerProperty* Current;
    size_t Index;
    ~TRestore() {
      Reader->FCurrent = Current;
      Reader->FIndex = Index;
    }
  } restore{this, outer, outerIndex};
  switch (info.Kind) {
    case pkObject: {
      const TFilerValue& value = Next("objects or a reference");
      if (const auto* reference = std::get_if<TFilerReference>(&value)) {
        AddFixup(instance, info, reference->Name);
        return;
      }
      ReadObject(info.Get(instance), property, value);
      return;
    }
    case pkBoolean:
      info.SetOrd(instance, ReadBoolean() ? 1 : 0);
      return;
    case pkOrdinal:
      info.SetOrd(instance, ReadInteger());
      return;
    case pkString:
      info.SetStr(instance, ReadString());
      return;
  }
}

void TReader::ReadObject(TObject* target, const TFilerProperty& property, const TFilerValue& value) {
  const auto* objects = std::get_if<TFilerObjects>(&value);
  if (!objects)
    throw EReadError(Format("Invalid property value of %s: objects expected", property.Name.c_str()));
  auto readInto = [this](TPersistent* persistent, const TFilerObject& object) {
    TReader reader(object.Properties, FFixups);
    reader.SetParent(FParent);
    reader.SetOwner(FOwner);
    reader.ReadProperties(persistent);
  };
  if (auto* collection = ObjectAs<TCollection>(target)) {
    const TUpdateScope update(collection);
    collection->Clear();
    for (const TFilerObject& object : *objects)
      readInto(collection->Add(), object);
    return;
  }
  auto* persistent = ObjectAs<TPersistent>(target);
  if (!persistent || persistent->Is<TComponent>() || objects->size() != 1)
    throw EReadError(Format("Property %s cannot be read: it holds no object of its own", property.Name.c_str()));
  readInto(persistent, objects->front());
}

void TReader::ReadComponent(TComponent* component) {
  component->FComponentState.Include(csReading);
  try {
    component->ReadState(*this);
  } catch (...) {
    component->FComponentState.Exclude(csReading);
    throw;
  }
  component->FComponentState.Exclude(csReading);
}

std::vector<std::string> TReader::ReadRootComponent(const TFilerObject& object, TComponent* instance) {
  if (!SameText(object.ClassName, instance->ClassName()))
    throw EReadError(
        Format("A stored %s cannot be read into a %s", object.ClassName.c_str(), instance->ClassName()));
  if (!object.Name.empty() && instance->GetName().empty())
    instance->SetName(object.Name);
  std::vector<TComponent*> loading;
  if (BeginLoading(instance))
    loading.push_back(instance);
  TComponent* owner = instance->GetOwner() ? instance->GetOwner() : instance;
  TFilerFixups fixups;
  std::vector<std::string> unresolved;
  try {
    ReadComponentObject(object, instance, nullptr, owner, loading, fixups);
    unresolved = ResolveFixups(fixups, owner);
  } catch (...) {
    for (TComponent* component : loading)
      EndLoading(component, /*callLoaded=*/false);
    throw;
  }
  // The instance's pass first, then the children's, in the order they were read.
  if (!loading.empty() && loading.front() == instance) {
    EndLoading(instance);
    loading.erase(loading.begin());
  }
  for (TComponent* component : loading)
    EndLoading(component);
  return unresolved;
}

const TFilerProperty* TReader::Find(const std::string& name, bool binary) {
  for (size_t i = 0; i < FData.size(); ++i) {
    const TFilerProperty& p = FData[i];
    if (p.Binary != binary || !SameText(p.Name, name))
      continue;
    if (FConsumed)
      (*FConsumed)[i] = true;
    return &p;
  }
  return nullptr;
}

void TReader::DefineProperty(const std::string& name, TReaderProc readData,
                             TWriterProc writeData, bool hasData) {
  if (!readData)
    return;
  const TFilerProperty* p = Find(name, false);
  if (!p)
    return;
  const TFilerProperty* outer = FCurrent;
  size_t outerIndex = FIndex;
  FCurrent = p;
  FIndex = 0;
  try {
    readData(*this);
  } catch (...) {
    FCurrent = outer;
    FIndex = outerIndex;
    throw;
  }
  FCurrent = outer;
  FIndex = outerIndex;
}

void TReader::DefineBinaryProperty(const std::string& name, TBinaryReadProc readData,
                                   TBinaryWriteProc writeData, bool hasData) {
  if (!readData)
    return;
  const TFilerProperty* p = Find(name, true);
  if (!p)
    return;
  const std::string* bytes = p->Values.empty() ? nullptr : std::get_if<std::string>(&p->Values.front());
  if (!bytes)
    throw EReadError(Format("Invalid property value of %s: bytes expected", p->Name.c_str()));
  readData(*bytes);
}

const TFilerValue& TReader::Next(const char* expected) {
  if (!FCurrent)
    throw EReadError("A value can only be read while a property is being read");
  if (FIndex >= FCurrent->Values.size())
    throw EReadError(Format("Property %s has no more values (expected %s)",
                            FCurrent->Name.c_str(), expected));
  return FCurrent->Values[FIndex++];
}

bool TReader::ReadBoolean() {
  const TFilerValue& v = Next("a Boolean");
  if (const bool* b = std::get_if<bool>(&v))
    return *b;
  throw EReadError(Format("Invalid property value of %s: a Boolean expected", FCurrent->Name.c_str()));
}

int32_t TReader::ReadInteger() {
  const TFilerValue& v = Next("an integer");
  if (const int32_t* i = std::get_if<int32_t>(&v))
    return *i;
  throw EReadError(Format("Invalid property value of %s: an integer expected", FCurrent->Name.c_str()));
}

std::string TReader::ReadString() {
  const TFilerValue& v = Next("a text");
  if (const std::string* s = std::get_if<std::string>(&v))
    return *s;
  throw EReadError(Format("Invalid property value of %s: a text expected", FCurrent->Name.c_str()));
}
