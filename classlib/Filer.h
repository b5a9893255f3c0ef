// The in-memory filer: the streaming of objects and components. A TWriter collects an
// object's stored published properties (PublishedProperties.h) and the extra data it
// defines through TPersistent::DefineProperties into a TFilerData; a TReader hands them
// back to an object of the same kind. Values are typed (Boolean, integer, text, and
// nested objects: the items of a collection, or the properties of an owned object such
// as a font); binary properties hold bytes produced and consumed by callbacks.
//
// A whole component is stored as a TFilerObject: its class name, its name, its
// properties and the components it streams as its children (GetChildren), each an
// object of its own. Reading one back (TReader::ReadRootComponent) makes the children
// from their registered classes (ClassRegistry.h), names them, places them on their
// parent component and runs Loaded for all of them once everything is read.
//
// A published property that holds a component the object does not own (an image list
// on the form, say) is stored as a reference: the component's name, qualified with its
// owner's name ("Library.Icons") when it lives in another root than the one written. A
// reader keeps the references it reads as fix-ups and resolves them once everything is
// read, before Loaded: a plain name among the components of the root read into, a
// qualified one among those of its owner (a component of that root, else the root
// FindGlobalComponentProc finds). A reference that finds
// nothing (or a component of another class) leaves the property as it was and is
// reported in the list of unresolved references; the rest of the stream still loads.
//
// Bad data is refused with EReadError: a value of another type than the property's, a
// property the object does not know, reading past a property's values; a child class
// that is not registered raises EClassNotFound.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "classlib/Events.h"
#include "classlib/Object.h"

class TComponent;
class TPersistent;
class TReader;
class TWriter;
struct TPropInfo;

struct TFilerObject;
struct TFilerFixups;
// Nested objects: the items of a collection, or the one object of an owned property.
using TFilerObjects = std::vector<TFilerObject>;
// A component held, not owned, by an object property: its name ("Icons"), or its
// owner's name and its own ("Library.Icons") for a component of another root.
struct TFilerReference {
  std::string Name;
};
using TFilerValue = std::variant<bool, int32_t, std::string, TFilerObjects, TFilerReference>;

struct TFilerProperty {
  std::string Name;
  bool Binary = false;
  std::vector<TFilerValue> Values;  // a binary property holds one text value: its bytes
};
using TFilerData = std::vector<TFilerProperty>;

// A stored object. For a component: its class, its name, its properties and the stored
// components it streams as children; for a collection item or an owned object the
// class name and the properties only.
struct TFilerObject {
  std::string ClassName;
  std::string Name;
  TFilerData Properties;
  TFilerObjects Children;
};

using TReaderProc = TEvent<TReader&>;
using TWriterProc = TEvent<TWriter&>;
// Binary data: the reader gets the stored bytes, the writer appends its bytes.
using TBinaryReadProc = TEvent<std::string_view>;
using TBinaryWriteProc = TEvent<std::string&>;

class TFiler : public TObject {
  KIVO_CLASS(TFiler, TObject)
 public:
  // `hasData` tells the writer whether the property is to be stored at all.
  virtual void DefineProperty(const std::string& name, TReaderProc readData,
                              TWriterProc writeData, bool hasData) = 0;
  virtual void DefineBinaryProperty(const std::string& name, TBinaryReadProc readData,
                                    TBinaryWriteProc writeData, bool hasData) = 0;
};

class TWriter : public TFiler {
  KIVO_CLASS(TWriter, TFiler)
 public:
  explicit TWriter(TFilerData& data) : FData(data) {}

  // The root the written components belong to: references to its components are stored
  // by their names alone. Without one, a component's own owner (itself without one).
  TComponent* GetRoot() const { return FRoot; }
  void SetRoot(TComponent* value) { FRoot = value; }

  // Appends the published properties of `instance` that are stored, in their declared
  // order, then the properties it defines and has data for. A component held by an
  // object property is stored as a reference when it has a name and the property can
  // be set.
  void WriteProperties(TPersistent* instance);
  // The component as a stored object, with the children that its GetChildren names
  // for `root` (the component's owner, or the component itself without one), each with
  // its own children.
  static TFilerObject WriteRootComponent(TComponent* component);

  void DefineProperty(const std::string& name, TReaderProc readData, TWriterProc writeData,
                      bool hasData) override;
  void DefineBinaryProperty(const std::string& name, TBinaryReadProc readData,
                            TBinaryWriteProc writeData, bool hasData) override;

  // Values of the property being written; only valid inside a write callback.
  void WriteBoolean(bool value) { Append(value); }
  void WriteInteger(int32_t value) { Append(value); }
  void WriteString(const std::string& value) { Append(value); }

 private:
  void Append(TFilerValue value);
  TFilerData& FData;
  TFilerProperty* FCurrent = nullptr;
  TComponent* FRoot = nullptr;
};

class TReader : public TFiler {
  KIVO_CLASS(TReader, TFiler)
 public:
  // With `fixups`, the references read are left to whoever owns them to resolve (the
  // read of a whole component tree); without, ReadProperties resolves its own.
  explicit TReader(const TFilerData& data, TFilerFixups* fixups = nullptr) : FData(data), FFixups(fixups) {}

  // The component the read components are placed on, and their owner.
  TComponent* GetParent() const { return FParent; }
  void SetParent(TComponent* value) { FParent = value; }
  TComponent* GetOwner() const { return FOwner; }
  void SetOwner(TComponent* value) { FOwner = value; }

  // Hands the stored properties back to `instance`: the published ones in their stored
  // order, then those it defines. A stored property it neither publishes nor defines
  // raises EReadError. References are resolved at the end (among the components of
  // Owner, else of the instance's owner) unless the reader was given fix-ups.
  void ReadProperties(TPersistent* instance);
  // The references the last ReadProperties of its own could not resolve, one text each.
  const std::vector<std::string>& GetUnresolvedReferences() const { return FUnresolved; }
  // Reads a component: csReading is set around its ReadState.
  void ReadComponent(TComponent* component);
  // Reads `object` into `instance`, a component of the stored class (named after it
  // when it has no name yet): its properties,
  // then its children, each made from its registered class with the instance's owner
  // (the instance itself without one) as owner, named, and read with its parent
  // component as the reader's parent. Everything read is loading meanwhile; Loaded
  // runs for the instance, then for the children, once all is read. A child that
  // cannot be made, named or read is freed and the error passed on. The references
  // read are resolved among the components of that owner before Loaded runs; the
  // answer lists those that found nothing, one text each (empty: all resolved).
  static std::vector<std::string> ReadRootComponent(const TFilerObject& object, TComponent* instance);

  void DefineProperty(const std::string& name, TReaderProc readData, TWriterProc writeData,
                      bool hasData) override;
  void DefineBinaryProperty(const std::string& name, TBinaryReadProc readData,
                            TBinaryWriteProc writeData, bool hasData) override;

  // Values of the property being read, in the order written; only valid inside a
  // read callback.
  bool ReadBoolean();
  int32_t ReadInteger();
  std::string ReadString();

 private:
  const TFilerProperty* Find(const std::string& name, bool binary);
  const TFilerValue& Next(const char* expected);
  void ReadPublished(TPersistent* instance, const TPropInfo& info, const TFilerProperty& property);
  void ReadObject(TObject* target, const TFilerProperty& property, const TFilerValue& value);
  void AddFixup(TPersistent* instance, const TPropInfo& info, const std::string& name);
  const TFilerData& FData;
  TFilerFixups* FFixups = nullptr;
  std::vector<std::string> FUnresolved;
  // Which stored properties were handed back, while ReadProperties runs.
  std::vector<bool>* FConsumed = nullptr;
  const TFilerProperty* FCurrent = nullptr;
  size_t FIndex = 0;
  TComponent* FParent = nullptr;
  TComponent* FOwner = nullptr;
};

// The root component a qualified reference names ("Library" of "Library.Icons"), or
// null. The default knows no roots; the Forms unit makes it find the screen's forms.
using TFindGlobalComponentProc = TComponent* (*)(const std::string& name);
extern TFindGlobalComponentProc FindGlobalComponentProc;
TComponent* FindNoGlobalComponent(const std::string& name);
