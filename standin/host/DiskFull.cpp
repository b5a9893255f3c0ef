#include "standin/host/DiskFull.h"

#include <algorithm>
#include <cassert>

#include "classlib/Strings.h"
#include "standin/host/ImportSlots.h"

namespace standin {

namespace {

using TWriteFile = BOOL(WINAPI*)(HANDLE, LPCVOID, DWORD, LPDWORD, LPOVERLAPPED);

struct TDisk {
  TWriteFile Original = nullptr;
  std::string Folder;  // with its trailing separator
  uint64_t Free = 0;
} gDisk;

// Whether `file` is a file under the full disk's folder, by its final path.
bool OnTheDisk(HANDLE file) {
  if (GetFileType(file) != FILE_TYPE_DISK)
    return false;
  char path[MAX_PATH * 2] = "";
  const DWORD length = GetFinalPathNameByHandleA(file, path, sizeof path, FILE_NAME_NORMALIZED);
  if (length == 0 || length >= sizeof path)
    return false;
  std::string name(path, length);
  if (name.rfind("\\\\?\\", 0) == 0)
    name.erase(0, 4);
  return SameText(name.substr(0, gDisk.Folder.size()), gDisk.Folder);
}

BOOL WINAPI FullDiskWriteFile(HANDLE file, LPCVOID data, DWORD size, LPDWORD written,
                              LPOVERLAPPED overlapped) {
  if (size == 0 || !OnTheDisk(file))
    return gDisk.Original(file, data, size, written, overlapped);
  if (gDisk.Free == 0) {
    if (written)
      *written = 0;
    SetLastError(ERROR_DISK_FULL);
    return FALSE;
  }
  const DWORD taken = static_cast<DWORD>(std::min<uint64_t>(size, gDisk.Free));
  DWORD done = 0;
  const BOOL ok = gDisk.Original(file, data, taken, &done, overlapped);
  if (ok)
    gDisk.Free -= done;
  if (written)
    *written = done;
  return ok;
}

}  // namespace

TDiskFull::TDiskFull(std::initializer_list<HMODULE> modules, const std::string& folder, uint64_t freeBytes) {
  assert(!gDisk.Original && "one full disk at a time");
  // Every module calls the same kernel32 WriteFile: the first slot found gives it.
  for (HMODULE module : modules)
    if (void** slot = ImportSlot(module, "kernel32.dll", "WriteFile")) {
      if (!gDisk.Original)
        gDisk.Original = reinterpret_cast<TWriteFile>(*slot);
      FSlots.push_back(slot);
    }
  if (FSlots.empty())
    return;
  char full[MAX_PATH] = "";
  const DWORD length = GetFullPathNameA(folder.c_str(), MAX_PATH, full, nullptr);
  gDisk.Folder = length > 0 && length < MAX_PATH ? std::string(full, length) : folder;
  if (!gDisk.Folder.empty() && gDisk.Folder.back() != '\\')
    gDisk.Folder += '\\';
  gDisk.Free = freeBytes;
  for (void** slot : FSlots)
    WriteSlot(slot, reinterpret_cast<void*>(&FullDiskWriteFile));
}

TDiskFull::~TDiskFull() {
  for (void** slot : FSlots)
    WriteSlot(slot, reinterpret_cast<void*>(gDisk.Original));
  if (!FSlots.empty())
    gDisk = TDisk{};
}

}  // namespace standin
