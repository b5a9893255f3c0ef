#include "classlib/Filer.h"

#include "classlib/Components.h"
#include "classlib/Strings.h"

void TWriter::WriteProperties(TPersistent* instance) { instance->DefineProperties(*this); }

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

void TReader::ReadProperties(TPersistent* instance) { instance->DefineProperties(*this); }

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

const TFilerProperty* TReader::Find(const std::string& name, bool binary) const {
  for (const TFilerProperty& p : FData)
    if (p.Binary == binary && SameText(p.Name, name))
      return &p;
  return nullptr;
}

void TReader::DefineProperty(const std::string& name, TReaderProc readData,
                             TWriterProc writeData, bool hasData) {
  const TFilerProperty* p = Find(name, false);
  if (!p || !readData)
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
  const TFilerProperty* p = Find(name, true);
  if (!p || !readData)
    return;
  readData(std::get<std::string>(p->Values.front()));
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
