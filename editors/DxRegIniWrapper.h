// One set of settings calls over three stores: an INI file (TIniFile), an INI file
// kept in memory (TMemIniFile) or the registry (TRegIniFile). The store is set by the
// user and not owned. Without a store (none set, or an object of another class) reads
// answer their default or nothing and writes and erases do nothing.
#pragma once

#include <string>

#include "classlib/Object.h"

class TStrings;

class TdxRegIniWrapper : public TObject {
  KIVO_CLASS(TdxRegIniWrapper, TObject)
 public:
  TObject* GetIniFile() const { return FIniFile; }
  void SetIniFile(TObject* value) { FIniFile = value; }

  int ReadInteger(const std::string& section, const std::string& ident, int defaultValue);
  void WriteInteger(const std::string& section, const std::string& ident, int value);
  bool ReadBool(const std::string& section, const std::string& ident, bool defaultValue);
  void WriteBool(const std::string& section, const std::string& ident, bool value);
  // The section names into `strings` (its strings are replaced); empty without a store.
  void ReadSections(TStrings& strings);
  void EraseSection(const std::string& section);
  // Erases every section whose name begins with `prefix` (case-sensitive). INI stores
  // only: on the registry nothing is erased.
  void EraseSectionsByPrefix(const std::string& prefix);
  // Erases `section` and, unless it is empty, every section below it (names beginning
  // with section + "\"), compared without regard to case as INI files name sections.
  // INI stores only: on the registry nothing is erased.
  void EraseSectionTree(const std::string& section);

 private:
  TObject* FIniFile = nullptr;
};
