#include "standin/host/DiskFull.h"

#include <algorithm>
#include <cassert>
#include <cstring>

#include "classlib/Strings.h"

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

// The slot of `module`'s import table through which it calls `function` of `library`.
void** ImportSlot(HMODULE module, const char* library, const char* function) {
  auto* const base = reinterpret_cast<BYTE*>(module);
  const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
  const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
  const IMAGE_DATA_DIRECTORY& imports = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
  if (imports.VirtualAddress == 0)
    return nullptr;
  for (auto* entry = reinterpret_cast<IMAGE_IMPORT_DESCRIPTOR*>(base + imports.VirtualAddress);
       entry->Name != 0; ++entry) {
    if (lstrcmpiA(reinterpret_cast<const char*>(base + entry->Name), library) != 0 ||
        entry->OriginalFirstThunk == 0)
      continue;
    auto* names = reinterpret_cast<IMAGE_THUNK_DATA*>(base + entry->OriginalFirstThunk);
    auto* slots = reinterpret_cast<IMAGE_THUNK_DATA*>(base + entry->FirstThunk);
    for (; names->u1.AddressOfData != 0; ++names, ++slots) {
      if (IMAGE_SNAP_BY_ORDINAL(names->u1.Ordinal))
        continue;
      const auto* byName = reinterpret_cast<const IMAGE_IMPORT_BY_NAME*>(base + names->u1.AddressOfData);
      if (std::strcmp(reinterpret_cast<const char*>(byName->Name), function) == 0)
        return reinterpret_cast<void**>(&slots->u1.Function);
    }
  }
  return nullptr;
}

void WriteSlot(void** slot, void* value) {
  DWORD protection = 0;
  VirtualProtect(slot, sizeof *slot, PAGE_READWRITE, &protection);
  *slot = value;
  VirtualProtect(slot, sizeof *slot, protection, &protection);
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
