#include "classlib/FileReplacement.h"

#include <cassert>
#include <vector>

#include "classlib/FileUtils.h"

namespace {

// The name the system gives the file open as `file` (links followed), or "".
std::string FinalName(HANDLE file) {
  char name[MAX_PATH * 2] = "";
  const DWORD length = GetFinalPathNameByHandleA(file, name, sizeof name, FILE_NAME_NORMALIZED);
  if (length == 0 || length >= sizeof name)
    return {};
  std::string result(name, length);
  if (result.rfind("\\\\?\\UNC\\", 0) == 0)
    return "\\\\" + result.substr(8);
  if (result.rfind("\\\\?\\", 0) == 0)
    return result.substr(4);
  return result;
}

// Makes a new, empty file of a name of its own ("~kv1234.tmp") in `folder` (with its
// trailing separator, or empty for the current folder); the Windows error, 0 on success.
// The system's temporary-name routine is not used: under Wine it answers success for a
// name it could not make.
uint32_t MakeNewFile(const std::string& folder, std::string& name) {
  static uint32_t next = GetTickCount() ^ GetCurrentProcessId();
  for (int tries = 0; tries < 0x10000; ++tries) {
    char part[16];
    wsprintfA(part, "~kv%04X.tmp", unsigned(next++ & 0xFFFF));
    name = folder + part;
    TFileHandle file(CreateFileA(name.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (file.Valid())
      return 0;
    const uint32_t error = GetLastError();
    if (error != ERROR_FILE_EXISTS && error != ERROR_ALREADY_EXISTS)
      return error;
  }
  return ERROR_FILE_EXISTS;
}

}  // namespace

TFileReplacement::TFileReplacement(const std::string& fileName, DWORD shareMode)
    : FTarget(fileName), FShareMode(shareMode) {
  {
    TFileHandle probe(CreateFileA(fileName.c_str(), GENERIC_WRITE, shareMode, nullptr, OPEN_EXISTING,
                                  FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!probe.Valid()) {
      FError = GetLastError();
      if (FError != ERROR_FILE_NOT_FOUND)
        return;
      FError = 0;
    } else {
      FTargetExists = true;
      if (std::string final = FinalName(probe.Get()); !final.empty())
        FTarget = final;
    }
  }
  FError = MakeNewFile(ExtractFilePath(FTarget), FWriteName);
  if (FError == 0)
    return;
  FWriteName.clear();
  // A folder that takes no new file, holding a file that may be written: in place, as
  // ever.
  if (FTargetExists && FError == ERROR_ACCESS_DENIED) {
    FError = 0;
    FWriteName = FTarget;
    FInPlace = true;
  }
}

TFileReplacement::~TFileReplacement() {
  if (!FInPlace && !FDone && !FWriteName.empty())
    DeleteFileA(FWriteName.c_str());
}

uint32_t TFileReplacement::Commit() {
  assert(FError == 0 && !FWriteName.empty() && "a replacement is committed once it was written");
  if (FInPlace || MoveFileExA(FWriteName.c_str(), FTarget.c_str(), MOVEFILE_REPLACE_EXISTING)) {
    FDone = true;
    return 0;
  }
  const uint32_t error = GetLastError();
  // The old file could be written but not replaced: another program holds it open,
  // letting others write it. Its content is replaced instead.
  if (FTargetExists && (error == ERROR_ACCESS_DENIED || error == ERROR_SHARING_VIOLATION))
    return CopyInPlace();
  return error;
}

uint32_t TFileReplacement::CopyInPlace() {
  TFileHandle source(CreateFileA(FWriteName.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                 FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
  if (!source.Valid())
    return GetLastError();
  TFileHandle target(CreateFileA(FTarget.c_str(), GENERIC_WRITE, FShareMode, nullptr, TRUNCATE_EXISTING,
                                 FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!target.Valid())
    return GetLastError();
  std::vector<char> buffer(64 * 1024);
  for (;;) {
    DWORD got = 0;
    if (!ReadFile(source.Get(), buffer.data(), DWORD(buffer.size()), &got, nullptr))
      return GetLastError();
    if (got == 0)
      break;
    DWORD written = 0;
    if (!WriteFile(target.Get(), buffer.data(), got, &written, nullptr))
      return GetLastError();
    if (written != got)
      return ERROR_DISK_FULL;
  }
  if (!target.Close())
    return GetLastError();
  return 0;
}
