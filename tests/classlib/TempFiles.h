// A scratch folder for the file tests of this executable.
#pragma once

#include <string>
#include <vector>

#include "classlib/FileUtils.h"
#include "classlib/Win.h"
#include "tests/support/TestSupport.h"

// "<temp>\kivo-classlib-tests\", emptied and created on first use.
inline const std::string& TestFolder() {
  static const std::string folder = EmptiedTempFolder("kivo-classlib-tests");
  return folder;
}

// Writes `bytes` to `fileName` in the scratch folder and answers its full name.
inline std::string WriteTestFile(const std::string& fileName, const std::string& bytes) {
  std::string path = TestFolder() + fileName;
  HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  DWORD done = 0;
  if (!bytes.empty()) WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &done, nullptr);
  CloseHandle(file);
  return path;
}

// The whole content of a file, or "<missing>".
inline std::string ReadTestFile(const std::string& path) {
  HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                            OPEN_EXISTING, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return "<missing>";
  std::string bytes(GetFileSize(file, nullptr), '\0');
  DWORD done = 0;
  if (!bytes.empty()) ReadFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &done, nullptr);
  CloseHandle(file);
  return bytes;
}

// The names of the files (not folders) in `folder`, in the order the system lists them.
inline std::vector<std::string> FileNamesIn(const std::string& folder) {
  std::vector<std::string> names;
  WIN32_FIND_DATAA found;
  HANDLE search = FindFirstFileA((IncludeTrailingPathDelimiter(folder) + "*").c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return names;
  do {
    if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) names.push_back(found.cFileName);
  } while (FindNextFileA(search, &found));
  FindClose(search);
  return names;
}
