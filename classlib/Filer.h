// A minimal in-memory filer for the extra data that objects define through
// TPersistent::DefineProperties: named properties made of typed values (Boolean,
// integer, text) written and read by callbacks, and binary properties whose bytes
// are produced and consumed by callbacks. Forms are built in code, so this is all
// the streaming the library has: a TWriter collects an object's defined properties
// into a TFilerData, a TReader hands them back to an object of the same kind.
// Reading past a property's values or a value of another type raises EReadError.
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

using TFilerValue = std::variant<bool, int32_t, std::string>;

struct TFilerProperty {
  std::string Name;
  bool Binary = false;
  std::vector<TFilerValue> Values;  // a binary property holds one text value: its bytes
};
using TFilerData = std::vector<TFilerProperty>;

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

  // Appends the properties `instance` defines and has data for.
  void WriteProperties(TPersistent* instance);

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
};

class TReader : public TFiler {
  KIVO_CLASS(TReader, TFiler)
 public:
  explicit TReader(const TFilerData& data) : FData(data) {}

  // The component the read components are placed on, and their owner.
  TComponent* GetParent() const { return FParent; }
  void SetParent(TComponent* value) { FParent = value; }
  TComponent* GetOwner() const { return FOwner; }
  void SetOwner(TComponent* value) { FOwner = value; }

  // Hands the stored properties that `instance` defines back to it.
  void ReadProperties(TPersistent* instance);
  // Reads a component: csReading is set around its ReadState.
  void ReadComponent(TComponent* component);

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
  const TFilerProperty* Find(const std::string& name, bool binary) const;
  const TFilerValue& Next(const char* expected);
  const TFilerData& FData;
  const TFilerProperty* FCurrent = nullptr;
  size_t FIndex = 0;
  TComponent* FParent = nullptr;
  TComponent* FOwner = nullptr;
};
