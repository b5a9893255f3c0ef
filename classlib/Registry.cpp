#include "classlib/Registry.h"

#include <algorithm>
#include <cstring>

namespace {

// An opened key, closed when the guard goes.
class TKeyGuard {
 public:
  explicit TKeyGuard(HKEY key = nullptr) : FKey(key) {}
  ~TKeyGuard() {
    if (FKey)
      RegCloseKey(FKey);
  }
  TKeyGuard(const TKeyGuard&) = delete;
  TKeyGuard& operator=(const TKeyGuard&) = delete;
  HKEY Get() const { return FKey; }
  HKEY* Out() { return &FKey; }

 private:
  HKEY FKey;
};

bool QueryValue(HKEY key, const std::string& name, DWORD& type, std::string& data) {
  for (;;) {
    DWORD size = 0;
    if (RegQueryValueExA(key, name.c_str(), nullptr, &type, nullptr, &size) != ERROR_SUCCESS)
      return false;
    data.assign(size, '\0');
    LONG result = RegQueryValueExA(key, name.c_str(), nullptr, &type,
                                   reinterpret_cast<BYTE*>(data.data()), &size);
    if (result == ERROR_MORE_DATA)  // the value grew in between
      continue;
    if (result != ERROR_SUCCESS)
      return false;
    data.resize(size);
    if (type == REG_SZ || type == REG_EXPAND_SZ)
      while (!data.empty() && data.back() == '\0')
        data.pop_back();
    return true;
  }
}

bool IsText(DWORD type) { return type == REG_SZ || type == REG_EXPAND_SZ; }

int DwordOf(const std::string& data) {
  DWORD value = 0;
  memcpy(&value, data.data(), std::min<size_t>(data.size(), sizeof value));
  return static_cast<int>(value);
}

std::vector<std::string> SubKeyNames(HKEY key) {
  std::vector<std::string> names;
  char name[256];  // key names are at most 255 characters
  for (DWORD index = 0;; ++index) {
    DWORD length = sizeof name;
    LONG result = RegEnumKeyExA(key, index, name, &length, nullptr, nullptr, nullptr, nullptr);
    if (result != ERROR_SUCCESS)
      return names;
    names.emplace_back(name, length);
  }
}

std::vector<std::string> ValueNames(HKEY key) {
  std::vector<std::string> names;
  DWORD longest = 0;
  if (RegQueryInfoKeyA(key, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                       &longest, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
    return names;
  std::string name(longest + 1, '\0');
  for (DWORD index = 0;; ++index) {
    DWORD length = static_cast<DWORD>(name.size());
    LONG result = RegEnumValueA(key, index, name.data(), &length, nullptr, nullptr, nullptr, nullptr);
    if (result != ERROR_SUCCESS)
      return names;
    names.emplace_back(name.data(), length);
  }
}

// Deletes `path` below `parent` with all its subkeys (a key with subkeys cannot be
// deleted directly).
bool DeleteTree(HKEY parent, const std::string& path) {
  {
    TKeyGuard key;
    if (RegOpenKeyExA(parent, path.c_str(), 0, KEY_ALL_ACCESS, key.Out()) != ERROR_SUCCESS)
      return false;
    for (const std::string& child : SubKeyNames(key.Get()))
      DeleteTree(key.Get(), child);
  }
  return RegDeleteKeyA(parent, path.c_str()) == ERROR_SUCCESS;
}

void SetText(HKEY key, const std::string& name, const std::string& value) {
  const LONG result = RegSetValueExA(key, name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                                     static_cast<DWORD>(value.size() + 1));
  if (result != ERROR_SUCCESS)
    throw ERegistryException(Format("Failed to set data for '%s'", name.c_str()), uint32_t(result));
}

}  // namespace

// TRegistry

TRegistry::~TRegistry() { CloseKey(); }

void TRegistry::SetRootKey(HKEY value) {
  CloseKey();
  FRootKey = value;
}

HKEY TRegistry::BaseKey(const std::string& key, std::string& relativePath) const {
  if (!key.empty() && key[0] == '\\') {
    relativePath = key.substr(1);
    return FRootKey;
  }
  relativePath = key;
  return WorkKey();
}

bool TRegistry::OpenKey(const std::string& key, bool canCreate) {
  std::string path;
  HKEY base = BaseKey(key, path);
  HKEY opened = nullptr;
  LONG result = canCreate && !path.empty()
                    ? RegCreateKeyExA(base, path.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, FAccess,
                                      nullptr, &opened, nullptr)
                    : RegOpenKeyExA(base, path.c_str(), 0, FAccess, &opened);
  if (result != ERROR_SUCCESS)
    return false;
  std::string fullPath = path;
  if (base == FCurrentKey && !FCurrentPath.empty())
    fullPath = path.empty() ? FCurrentPath : FCurrentPath + "\\" + path;
  CloseKey();
  FCurrentKey = opened;
  FCurrentPath = fullPath;
  return true;
}

bool TRegistry::OpenKeyReadOnly(const std::string& key) {
  REGSAM saved = FAccess;
  FAccess = KEY_READ;
  bool opened = OpenKey(key, false);
  FAccess = saved;
  return opened;
}

void TRegistry::CloseKey() {
  if (FCurrentKey)
    RegCloseKey(FCurrentKey);
  FCurrentKey = nullptr;
  FCurrentPath.clear();
}

bool TRegistry::CreateKey(const std::string& key) {
  std::string path;
  HKEY base = BaseKey(key, path);
  TKeyGuard created;
  return !path.empty() && RegCreateKeyExA(base, path.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                                          FAccess, nullptr, created.Out(), nullptr) == ERROR_SUCCESS;
}

bool TRegistry::DeleteKey(const std::string& key) {
  std::string path;
  HKEY base = BaseKey(key, path);
  return !path.empty() && DeleteTree(base, path);
}

bool TRegistry::KeyExists(const std::string& key) {
  std::string path;
  HKEY base = BaseKey(key, path);
  TKeyGuard opened;
  return RegOpenKeyExA(base, path.c_str(), 0, KEY_READ, opened.Out()) == ERROR_SUCCESS;
}

bool TRegistry::ValueExists(const std::string& name) {
  return RegQueryValueExA(WorkKey(), name.c_str(), nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS;
}

bool TRegistry::DeleteValue(const std::string& name) {
  return RegDeleteValueA(WorkKey(), name.c_str()) == ERROR_SUCCESS;
}

std::string TRegistry::ReadString(const std::string& name) {
  DWORD type = 0;
  std::string data;
  if (!QueryValue(WorkKey(), name, type, data))
    return {};
  if (!IsText(type))
    throw ERegistryException(Format("Invalid data type for '%s'", name.c_str()));
  return data;
}

void TRegistry::WriteString(const std::string& name, const std::string& value) {
  SetText(WorkKey(), name, value);
}

int TRegistry::ReadInteger(const std::string& name) {
  DWORD type = 0;
  std::string data;
  if (!QueryValue(WorkKey(), name, type, data))
    throw ERegistryException(Format("Failed to get data for '%s'", name.c_str()));
  if (type != REG_DWORD)
    throw ERegistryException(Format("Invalid data type for '%s'", name.c_str()));
  return DwordOf(data);
}

void TRegistry::WriteInteger(const std::string& name, int value) {
  DWORD data = static_cast<DWORD>(value);
  const LONG result =
      RegSetValueExA(WorkKey(), name.c_str(), 0, REG_DWORD, reinterpret_cast<const BYTE*>(&data), sizeof data);
  if (result != ERROR_SUCCESS)
    throw ERegistryException(Format("Failed to set data for '%s'", name.c_str()), uint32_t(result));
}

bool TRegistry::HasSubKeys() {
  DWORD count = 0;
  return RegQueryInfoKeyA(WorkKey(), nullptr, nullptr, nullptr, &count, nullptr, nullptr, nullptr,
                          nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS &&
         count > 0;
}

std::vector<std::string> TRegistry::GetKeyNameList() { return SubKeyNames(WorkKey()); }

std::vector<std::string> TRegistry::GetValueNameList() { return ValueNames(WorkKey()); }

void TRegistry::GetKeyNames(TStrings& strings) { AssignLines(strings, GetKeyNameList()); }

void TRegistry::GetValueNames(TStrings& strings) { AssignLines(strings, GetValueNameList()); }

// TRegIniFile

namespace {

// The key of a section; null when it does not exist and is not to be created, or could
// not be opened (`error`, when given, says why).
HKEY OpenSection(HKEY base, const std::string& path, bool create, REGSAM access, LONG* error = nullptr) {
  HKEY key = nullptr;
  LONG result = create && !path.empty()
                    ? RegCreateKeyExA(base, path.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, access,
                                      nullptr, &key, nullptr)
                    : RegOpenKeyExA(base, path.c_str(), 0, access, &key);
  if (error)
    *error = result;
  return result == ERROR_SUCCESS ? key : nullptr;
}

}  // namespace

TRegIniFile::TRegIniFile(const std::string& fileName, REGSAM access)
    : TRegistry(access), FFileName(fileName) {
  // Without its key every relative section would land below the root key.
  if (!OpenKey(fileName, true))
    throw ERegistryException(Format("Failed to open key '%s'", fileName.c_str()));
}

std::string TRegIniFile::ReadString(const std::string& section, const std::string& ident,
                                    const std::string& defaultValue) {
  std::string path;
  HKEY base = BaseKey(section, path);
  TKeyGuard key(OpenSection(base, path, false, KEY_READ));
  DWORD type = 0;
  std::string data;
  if (!key.Get() || !QueryValue(key.Get(), ident, type, data))
    return defaultValue;
  if (IsText(type))
    return data;
  if (type == REG_DWORD)
    return std::to_string(DwordOf(data));
  return defaultValue;
}

void TRegIniFile::WriteString(const std::string& section, const std::string& ident,
                              const std::string& value) {
  std::string path;
  HKEY base = BaseKey(section, path);
  LONG error = ERROR_SUCCESS;
  TKeyGuard key(OpenSection(base, path, true, GetAccess(), &error));
  if (!key.Get())
    throw ERegistryException(Format("Failed to create key '%s'", section.c_str()), uint32_t(error));
  SetText(key.Get(), ident, value);
}

int TRegIniFile::ReadInteger(const std::string& section, const std::string& ident, int defaultValue) {
  return IniValueToInt(ReadString(section, ident, ""), defaultValue);
}

void TRegIniFile::WriteInteger(const std::string& section, const std::string& ident, int value) {
  WriteString(section, ident, std::to_string(value));
}

bool TRegIniFile::ReadBool(const std::string& section, const std::string& ident, bool defaultValue) {
  return ReadInteger(section, ident, defaultValue ? 1 : 0) != 0;
}

void TRegIniFile::WriteBool(const std::string& section, const std::string& ident, bool value) {
  WriteString(section, ident, value ? "1" : "0");
}

std::vector<std::string> TRegIniFile::ReadSectionKeys(const std::string& section) {
  std::string path;
  HKEY base = BaseKey(section, path);
  TKeyGuard key(OpenSection(base, path, false, KEY_READ));
  return key.Get() ? ValueNames(key.Get()) : std::vector<std::string>{};
}

std::vector<std::string> TRegIniFile::ReadSectionNames() { return GetKeyNameList(); }

std::vector<std::string> TRegIniFile::ReadSectionPairs(const std::string& section) {
  std::vector<std::string> pairs;
  for (const std::string& name : ReadSectionKeys(section))
    pairs.push_back(name + "=" + ReadString(section, name, ""));
  return pairs;
}

void TRegIniFile::ReadSection(const std::string& section, TStrings& strings) {
  AssignLines(strings, ReadSectionKeys(section));
}

void TRegIniFile::ReadSections(TStrings& strings) { AssignLines(strings, ReadSectionNames()); }

void TRegIniFile::ReadSectionValues(const std::string& section, TStrings& strings) {
  AssignLines(strings, ReadSectionPairs(section));
}

void TRegIniFile::EraseSection(const std::string& section) {
  std::string path;
  HKEY base = BaseKey(section, path);
  if (!path.empty())
    DeleteTree(base, path);
}

void TRegIniFile::DeleteKey(const std::string& section, const std::string& ident) {
  std::string path;
  HKEY base = BaseKey(section, path);
  TKeyGuard key(OpenSection(base, path, false, GetAccess()));
  if (key.Get())
    RegDeleteValueA(key.Get(), ident.c_str());
}

// TRegistryIniFile

TRegistryIniFile::TRegistryIniFile(const std::string& fileName, REGSAM access)
    : TCustomIniFile(fileName), FRegIniFile(std::make_unique<TRegIniFile>(fileName, access)) {}

TRegistryIniFile::~TRegistryIniFile() = default;

std::string TRegistryIniFile::ReadString(const std::string& section, const std::string& ident,
                                         const std::string& defaultValue) {
  return FRegIniFile->ReadString(section, ident, defaultValue);
}

void TRegistryIniFile::WriteString(const std::string& section, const std::string& ident,
                                   const std::string& value) {
  FRegIniFile->WriteString(section, ident, value);
}

int TRegistryIniFile::ReadInteger(const std::string& section, const std::string& ident,
                                  int defaultValue) {
  return FRegIniFile->ReadInteger(section, ident, defaultValue);
}

std::vector<std::string> TRegistryIniFile::ReadSectionKeys(const std::string& section) {
  return FRegIniFile->ReadSectionKeys(section);
}

std::vector<std::string> TRegistryIniFile::ReadSectionNames() { return FRegIniFile->ReadSectionNames(); }

std::vector<std::string> TRegistryIniFile::ReadSectionPairs(const std::string& section) {
  return FRegIniFile->ReadSectionPairs(section);
}

void TRegistryIniFile::EraseSection(const std::string& section) { FRegIniFile->EraseSection(section); }

void TRegistryIniFile::DeleteKey(const std::string& section, const std::string& ident) {
  FRegIniFile->DeleteKey(section, ident);
}
