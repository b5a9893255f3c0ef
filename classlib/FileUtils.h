// File names and the file system.
//
// Name helpers split at the last "\", "/" or ":" (the separators Windows accepts):
// ExtractFilePath("C:\a\b.txt") = "C:\a\" keeps the separator, ExtractFileDir drops it
// except after a drive or at the root ("C:\", "\"), ExtractFileName = "b.txt",
// ExtractFileExt = ".txt" (the last "." of the name part, "" without one).
// ChangeFileExt replaces that extension or appends `extension` (given with its ".").
//
// The file-system calls answer false on failure; GetLastError tells why.
#pragma once

#include <string>
#include <string_view>

#include "classlib/Win.h"

std::string ExtractFilePath(std::string_view fileName);
std::string ExtractFileDir(std::string_view fileName);
std::string ExtractFileName(std::string_view fileName);
std::string ExtractFileExt(std::string_view fileName);
std::string ChangeFileExt(std::string_view fileName, std::string_view extension);
// `path` with a "\" at its end (an empty path stays empty).
std::string IncludeTrailingPathDelimiter(std::string_view path);

// True for an existing file, false for a directory or nothing.
bool FileExists(const std::string& fileName);
bool DirectoryExists(const std::string& directory);
// Creates one directory level.
bool CreateDir(const std::string& directory);
// Creates the directory and every missing parent; true when it exists afterwards.
bool ForceDirectories(const std::string& directory);
bool DeleteFile(const std::string& fileName);
// True when both names stand for one file: the same full name without regard to case,
// or two names (a short 8.3 form, say) of one existing file.
bool SameFile(const std::string& a, const std::string& b);

// The full file name of a loaded module (null: the process's executable).
std::string GetModuleName(HMODULE module);

// Owns a kernel handle, a file's say, and closes it when it goes; it holds nothing for
// INVALID_HANDLE_VALUE or null.
class TFileHandle {
 public:
  explicit TFileHandle(HANDLE handle) : FHandle(handle) {}
  ~TFileHandle() { Close(); }
  TFileHandle(const TFileHandle&) = delete;
  TFileHandle& operator=(const TFileHandle&) = delete;

  HANDLE Get() const { return FHandle; }
  bool Valid() const { return FHandle != INVALID_HANDLE_VALUE && FHandle != nullptr; }
  // Closes the handle now; false (GetLastError tells why) when closing failed.
  bool Close() {
    if (!Valid())
      return true;
    const bool closed = CloseHandle(FHandle) != 0;
    FHandle = INVALID_HANDLE_VALUE;
    return closed;
  }

 private:
  HANDLE FHandle;
};
