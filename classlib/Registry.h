// The registry for direct use (TRegistry) and as a settings store (TRegIniFile,
// TRegistryIniFile).
//
// TRegistry keeps a root key (HKEY_CURRENT_USER unless set) and one open current
// key. A key path that begins with "\" starts at the root key; other paths start at
// the current key, or at the root key when none is open. Operations that can simply
// fail answer false; reading a value of the wrong type and failed value writes raise
// ERegistryException.
//
// TRegIniFile is a TRegistry whose current key is opened (created when missing) from
// the name it is made with; a section is a subkey of the current key (a leading "\"
// starts at the root key instead, an empty section is the current key itself), and a
// value is a named value of that subkey. Every value is written as text (REG_SZ):
// integers as decimal text, Booleans as "1"/"0"; integer reads accept text and
// DWORD values. EraseSection deletes the subkey with everything below it; it never
// deletes the current or the root key itself. TRegistryIniFile is the same store
// behind the TCustomIniFile interface.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "classlib/IniFiles.h"
#include "classlib/Object.h"
#include "classlib/Win.h"

// Carries the Windows error code of a failed write (ERROR_KEY_DELETED for a key erased
// under it), 0 for the other failures.
KIVO_CODED_EXCEPTION(ERegistryException, Exception);

class TRegistry : public TObject {
  KIVO_CLASS(TRegistry, TObject)
 public:
  explicit TRegistry(REGSAM access = KEY_ALL_ACCESS) : FAccess(access) {}
  ~TRegistry() override;
  TRegistry(const TRegistry&) = delete;
  TRegistry& operator=(const TRegistry&) = delete;

  HKEY GetRootKey() const { return FRootKey; }
  // Closes the current key.
  void SetRootKey(HKEY value);
  HKEY GetCurrentKey() const { return FCurrentKey; }
  const std::string& GetCurrentPath() const { return FCurrentPath; }
  REGSAM GetAccess() const { return FAccess; }
  void SetAccess(REGSAM value) { FAccess = value; }

  // Makes `key` the current key; with `canCreate` a missing key is created.
  bool OpenKey(const std::string& key, bool canCreate);
  bool OpenKeyReadOnly(const std::string& key);
  void CloseKey();
  bool CreateKey(const std::string& key);
  // Deletes the key with all its subkeys; never the root or the current key itself.
  bool DeleteKey(const std::string& key);
  bool KeyExists(const std::string& key);

  // Values of the current key.
  bool ValueExists(const std::string& name);
  bool DeleteValue(const std::string& name);
  // The text of a string value; "" when there is no such value.
  std::string ReadString(const std::string& name);
  void WriteString(const std::string& name, const std::string& value);
  // A DWORD value; raises when it is missing or of another type.
  int ReadInteger(const std::string& name);
  void WriteInteger(const std::string& name, int value);
  bool HasSubKeys();
  // The names of the current key's subkeys and values.
  std::vector<std::string> GetKeyNameList();
  std::vector<std::string> GetValueNameList();
  void GetKeyNames(TStrings& strings);
  void GetValueNames(TStrings& strings);

 protected:
  // The key a path starts from, and the path without its leading "\".
  HKEY BaseKey(const std::string& key, std::string& relativePath) const;
  // The key an operation works on: the current key, or the root key without one.
  HKEY WorkKey() const { return FCurrentKey ? FCurrentKey : FRootKey; }

 private:
  HKEY FRootKey = HKEY_CURRENT_USER;
  HKEY FCurrentKey = nullptr;
  std::string FCurrentPath;
  REGSAM FAccess;
};

class TRegIniFile : public TRegistry {
  KIVO_CLASS(TRegIniFile, TRegistry)
 public:
  explicit TRegIniFile(const std::string& fileName, REGSAM access = KEY_ALL_ACCESS);

  const std::string& GetFileName() const { return FFileName; }

  using TRegistry::DeleteKey;
  using TRegistry::ReadInteger;
  using TRegistry::ReadString;
  using TRegistry::WriteInteger;
  using TRegistry::WriteString;

  std::string ReadString(const std::string& section, const std::string& ident,
                         const std::string& defaultValue);
  void WriteString(const std::string& section, const std::string& ident, const std::string& value);
  int ReadInteger(const std::string& section, const std::string& ident, int defaultValue);
  void WriteInteger(const std::string& section, const std::string& ident, int value);
  bool ReadBool(const std::string& section, const std::string& ident, bool defaultValue);
  void WriteBool(const std::string& section, const std::string& ident, bool value);
  // The value names of a section (ReadSection), the subkeys of the current key
  // (ReadSections), and the section's "name=value" lines (ReadSectionValues).
  std::vector<std::string> ReadSectionKeys(const std::string& section);
  std::vector<std::string> ReadSectionNames();
  std::vector<std::string> ReadSectionPairs(const std::string& section);
  void ReadSection(const std::string& section, TStrings& strings);
  void ReadSections(TStrings& strings);
  void ReadSectionValues(const std::string& section, TStrings& strings);
  void EraseSection(const std::string& section);
  void DeleteKey(const std::string& section, const std::string& ident);

 private:
  std::string FFileName;
};

class TRegistryIniFile : public TCustomIniFile {
  KIVO_CLASS(TRegistryIniFile, TCustomIniFile)
 public:
  explicit TRegistryIniFile(const std::string& fileName, REGSAM access = KEY_ALL_ACCESS);
  ~TRegistryIniFile() override;

  TRegIniFile& GetRegIniFile() { return *FRegIniFile; }

  std::string ReadString(const std::string& section, const std::string& ident,
                         const std::string& defaultValue) override;
  void WriteString(const std::string& section, const std::string& ident,
                   const std::string& value) override;
  int ReadInteger(const std::string& section, const std::string& ident, int defaultValue) override;
  std::vector<std::string> ReadSectionKeys(const std::string& section) override;
  std::vector<std::string> ReadSectionNames() override;
  std::vector<std::string> ReadSectionPairs(const std::string& section) override;
  void EraseSection(const std::string& section) override;
  void DeleteKey(const std::string& section, const std::string& ident) override;
  // Registry writes take effect at once.
  void UpdateFile() override {}

 private:
  std::unique_ptr<TRegIniFile> FRegIniFile;
};
