// The store is told apart by its class. Anything that is neither an INI file nor a
// registry INI file, a missing store included, is treated as no store at all rather
// than taken blindly for the registry kind.
#include "editors/DxRegIniWrapper.h"

#include "classlib/IniFiles.h"
#include "classlib/Registry.h"
#include "classlib/StringList.h"
#include "classlib/Strings.h"

namespace {

// The INI kinds, called through the common virtual operations.
TCustomIniFile* IniStore(TObject* store) {
  if (TIniFile* ini = ObjectAs<TIniFile>(store))
    return ini;
  return ObjectAs<TMemIniFile>(store);
}

}  // namespace

int TdxRegIniWrapper::ReadInteger(const std::string& section, const std::string& ident, int defaultValue) {
  if (TCustomIniFile* ini = IniStore(FIniFile))
    return ini->ReadInteger(section, ident, defaultValue);
  if (TRegIniFile* reg = ObjectAs<TRegIniFile>(FIniFile))
    return reg->ReadInteger(section, ident, defaultValue);
  return defaultValue;
}

void TdxRegIniWrapper::WriteInteger(const std::string& section, const std::string& ident, int value) {
  if (TCustomIniFile* ini = IniStore(FIniFile))
    ini->WriteInteger(section, ident, value);
  else if (TRegIniFile* reg = ObjectAs<TRegIniFile>(FIniFile))
    reg->WriteInteger(section, ident, value);
}

bool TdxRegIniWrapper::ReadBool(const std::string& section, const std::string& ident, bool defaultValue) {
  if (TCustomIniFile* ini = IniStore(FIniFile))
    return ini->ReadBool(section, ident, defaultValue);
  if (TRegIniFile* reg = ObjectAs<TRegIniFile>(FIniFile))
    return reg->ReadBool(section, ident, defaultValue);
  return defaultValue;
}

void TdxRegIniWrapper::WriteBool(const std::string& section, const std::string& ident, bool value) {
  if (TCustomIniFile* ini = IniStore(FIniFile))
    ini->WriteBool(section, ident, value);
  else if (TRegIniFile* reg = ObjectAs<TRegIniFile>(FIniFile))
    reg->WriteBool(section, ident, value);
}

void TdxRegIniWrapper::ReadSections(TStrings& strings) {
  if (TCustomIniFile* ini = IniStore(FIniFile))
    ini->ReadSections(strings);
  else if (TRegIniFile* reg = ObjectAs<TRegIniFile>(FIniFile))
    reg->ReadSections(strings);
  else
    strings.Clear();
}

void TdxRegIniWrapper::EraseSection(const std::string& section) {
  if (TCustomIniFile* ini = IniStore(FIniFile))
    ini->EraseSection(section);
  else if (TRegIniFile* reg = ObjectAs<TRegIniFile>(FIniFile))
    reg->EraseSection(section);
}

void TdxRegIniWrapper::EraseSectionsByPrefix(const std::string& prefix) {
  TCustomIniFile* ini = IniStore(FIniFile);
  if (!ini)
    return;
  TStringList sections;
  ini->ReadSections(sections);
  for (int i = 0; i < sections.GetCount(); ++i) {
    const std::string name = sections.Get(i);
    if (name.compare(0, prefix.size(), prefix) == 0)
      ini->EraseSection(name);
  }
}

void TdxRegIniWrapper::EraseSectionTree(const std::string& section) {
  TCustomIniFile* ini = IniStore(FIniFile);
  if (!ini)
    return;
  const std::string below = section + "\\";
  TStringList sections;
  ini->ReadSections(sections);
  for (int i = 0; i < sections.GetCount(); ++i) {
    const std::string name = sections.Get(i);
    const bool isBelow = !section.empty() && name.size() > below.size() &&
                         SameText(std::string_view(name).substr(0, below.size()), below);
    if (isBelow || SameText(name, section))
      ini->EraseSection(name);
  }
}
