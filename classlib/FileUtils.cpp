#include "classlib/FileUtils.h"

#include <algorithm>

namespace {

bool IsSeparator(char c) { return c == '\\' || c == '/' || c == ':'; }
bool IsPathDelimiter(char c) { return c == '\\' || c == '/'; }

// Index just past the last separator: where the name part starts.
size_t NameStart(std::string_view fileName) {
  size_t i = fileName.size();
  while (i > 0 && !IsSeparator(fileName[i - 1])) --i;
  return i;
}

// Index of the extension's ".", or npos.
size_t ExtensionStart(std::string_view fileName) {
  size_t dot = fileName.rfind('.');
  return dot != std::string_view::npos && dot >= NameStart(fileName) ? dot : std::string_view::npos;
}

DWORD Attributes(const std::string& name) { return GetFileAttributesA(name.c_str()); }

}  // namespace

std::string ExtractFilePath(std::string_view fileName) {
  return std::string(fileName.substr(0, NameStart(fileName)));
}

std::string ExtractFileDir(std::string_view fileName) {
  size_t end = NameStart(fileName);
  // Drop the final "\" unless it follows a drive (or another separator) or is the root.
  if (end > 1 && IsPathDelimiter(fileName[end - 1]) && !IsSeparator(fileName[end - 2])) --end;
  return std::string(fileName.substr(0, end));
}

std::string ExtractFileName(std::string_view fileName) {
  return std::string(fileName.substr(NameStart(fileName)));
}

std::string ExtractFileExt(std::string_view fileName) {
  size_t dot = ExtensionStart(fileName);
  return dot == std::string_view::npos ? std::string() : std::string(fileName.substr(dot));
}

std::string ChangeFileExt(std::string_view fileName, std::string_view extension) {
  std::string result(fileName.substr(0, std::min(ExtensionStart(fileName), fileName.size())));
  result += extension;
  return result;
}

std::string IncludeTrailingPathDelimiter(std::string_view path) {
  std::string result(path);
  if (!result.empty() && !IsPathDelimiter(result.back())) result += '\\';
  return result;
}

bool FileExists(const std::string& fileName) {
  DWORD attributes = Attributes(fileName);
  return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool DirectoryExists(const std::string& directory) {
  DWORD attributes = Attributes(directory);
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool CreateDir(const std::string& directory) {
  return CreateDirectoryA(directory.c_str(), nullptr) != 0;
}

bool ForceDirectories(const std::string& directory) {
  if (directory.empty()) return false;
  std::string dir = directory;
  while (dir.size() > 1 && IsPathDelimiter(dir.back()) && !IsSeparator(dir[dir.size() - 2]))
    dir.pop_back();
  if (DirectoryExists(dir)) return true;
  std::string parent = ExtractFileDir(dir);
  // A drive, a root or a name without a folder has nothing above it to create.
  bool topLevel = parent.empty() || parent == dir;
  if (!topLevel && !ForceDirectories(parent)) return false;
  return CreateDir(dir) || DirectoryExists(dir);
}

bool DeleteFile(const std::string& fileName) { return DeleteFileA(fileName.c_str()) != 0; }

namespace {

std::string FullName(const std::string& fileName) {
  char full[MAX_PATH];
  const DWORD length = GetFullPathNameA(fileName.c_str(), MAX_PATH, full, nullptr);
  return length > 0 && length < MAX_PATH ? std::string(full, length) : fileName;
}

// The volume and index of an existing file or folder; false when it cannot be asked.
bool FileIdentity(const std::string& fileName, BY_HANDLE_FILE_INFORMATION& info) {
  HANDLE file = CreateFileA(fileName.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                            nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (file == INVALID_HANDLE_VALUE)
    return false;
  const bool known = GetFileInformationByHandle(file, &info) != 0;
  CloseHandle(file);
  return known;
}

}  // namespace

bool SameFile(const std::string& a, const std::string& b) {
  if (CompareStringA(LOCALE_INVARIANT, NORM_IGNORECASE, FullName(a).c_str(), -1,
                     FullName(b).c_str(), -1) == CSTR_EQUAL)
    return true;
  BY_HANDLE_FILE_INFORMATION first{}, second{};
  return FileIdentity(a, first) && FileIdentity(b, second) &&
         first.dwVolumeSerialNumber == second.dwVolumeSerialNumber &&
         first.nFileIndexHigh == second.nFileIndexHigh && first.nFileIndexLow == second.nFileIndexLow;
}

std::string GetModuleName(HMODULE module) {
  std::string name(MAX_PATH, '\0');
  for (;;) {
    DWORD length = GetModuleFileNameA(module, name.data(), static_cast<DWORD>(name.size()));
    if (length == 0) return std::string();
    if (length < name.size()) {
      name.resize(length);
      return name;
    }
    name.resize(name.size() * 2);  // cut short: try a larger buffer
  }
}
