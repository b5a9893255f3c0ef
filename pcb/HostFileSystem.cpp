#include "pcb/HostFileSystem.h"

#include <array>
#include <memory>
#include <string_view>

#include "host/ClientApi.h"

namespace {

constexpr std::array<const char*, VfsApiEntryCount> cEntryNames = {
    "VFSAPI_VFS_MapVirtualDrive",
    "VFSAPI_VFS_UnMapVirtualDrive",
    "VFSAPI_VFS_RenameVirtualDrive",
    "VFSAPI_VFS_GetMappedDriveCount",
    "VFSAPI_VFS_GetMappedDriveName",
    "VFSAPI_VFSAssign",
    "VFSAPI_VFSAssignFile",
    "VFSAPI_VFSCloseFile",
    "VFSAPI_VFS_Reset",
    "VFSAPI_VFS_Rewrite",
    "VFSAPI_VFS_Truncate",
    "VFSAPI_VFS_Seek",
    "VFSAPI_VFSBlockRead",
    "VFSAPI_VFSBlockWrite",
    "VFSAPI_VFS_EOF",
    "VFSAPI_VFS_FilePos",
    "VFSAPI_VFS_FileSize",
    "VFSAPI_VFS_IOResult",
    "VFSAPI_VFS_CreateDir",
    "VFSAPI_VFSCreateFile",
    "VFSAPI_VFS_DeleteDir",
    "VFSAPI_VFS_DeleteFile",
    "VFSAPI_VFS_RenameFile",
    "VFSAPI_CopyFileToVFSFile",
    "VFSAPI_CopyVFSFileToFile",
    "VFSAPI_VFS_ExportToFile",
    "VFSAPI_VFS_ImportFile",
    "VFSAPI_VFS_ChangeFileName",
    "VFSAPI_VFS_MakeShortCut",
    "VFSAPI_VFS_CopyFile",
    "VFSAPI_VFS_CopyLink",
    "VFSAPI_VFS_MoveFile",
    "VFSAPI_VFS_MakePath",
    "VFSAPI_VFS_DirectoryExists",
    "VFSAPI_VFS_IsValidPath",
    "VFSAPI_VFS_FileExists",
    "VFSAPI_VFS_IsVFSFileName",
    "VFSAPI_VFS_IsNullAddress",
    "VFSAPI_VFS_FileSizeByName",
    "VFSAPI_VFS_GetExternalPathForDrive",
    "VFSAPI_VFS_GetExternalPathForFile",
    "VFSAPI_VFS_GetFullPathForFile",
    "VFSAPI_VFS_GetFullPathDisplay",
    "VFSAPI_VFS_ExpandRelativePath",
    "VFSAPI_VFS_ExtractFileDir",
    "VFSAPI_VFS_ExtractFilePath",
    "VFSAPI_VFS_ExtractFileDrive",
    "VFSAPI_VFS_ExtractFileOffset",
    "VFSAPI_VFS_ExtractFileExt",
    "VFSAPI_VFS_ExtractFileName",
    "VFSAPI_VFS_ExtractRelativePath",
    "VFSAPI_VFS_PreviousFolder",
    "VFSAPI_VFS_ProcessPath",
    "VFSAPI_VFS_ResolveShortCut",
    "VFSAPI_VFS_FindClose",
    "VFSAPI_VFS_FindNext",
    "VFSAPI_VFS_FindFirst",
    "VFSAPI_VFS_StreamCreate",
    "VFSAPI_VFS_StreamDestroy",
    "VFSAPI_VFS_StreamLoadFromFile",
    "VFSAPI_VFS_StreamRead",
    "VFSAPI_VFS_StreamSaveToFile",
    "VFSAPI_VFS_StreamSeek",
    "VFSAPI_VFS_StreamSetSize",
    "VFSAPI_VFS_StreamWrite",
    "VFSAPI_VFS_GetFileAttributesByName",
    "VFSAPI_VFS_GetFileEditorName",
    "VFSAPI_VFS_RestoreFromRecycleBin",
    "VFSAPI_VFS_SetFileAttributesByName",
    "VFSAPI_VFS_SetFileEditorName",
    "VFSAPI_VFS_ExportToFileEx",
    "VFSAPI_VFS_ImportFileEx",
    "VFSAPI_VFS_CopyFileEx",
    "VFSAPI_VFS_CopyLinkEx",
    "VFSAPI_VFS_MoveFileEx",
    "VFSAPI_VFS_GetShortcutInfo",
    "VFSAPI_VFS_UpdateShortCut",
    "VFSAPI_VFS_CreateStorageDevice",
};

static_assert(cEntryNames.back() != nullptr, "78 names");

consteval int Slot(std::string_view name) {
  for (int i = 0; i < VfsApiEntryCount; ++i) {
    if (std::string_view(cEntryNames[i]) == name)
      return i;
  }
  throw "not an entry point of the host's file system";
}

std::array<FARPROC, VfsApiEntryCount> gSlots{};

template <int Index, class F>
F Entry() {
  return reinterpret_cast<F>(reinterpret_cast<void*>(gSlots[Index]));
}

using TAssignFile = int32_t(__stdcall*)(HostTextFile* file, const char* name);
using TExtractPart = void(__stdcall*)(const char* name, char* buffer);
using TFileExists = uint8_t(__stdcall*)(const char* name);

constexpr size_t kBufferSize = 4096;

// The host writes a zero-terminated text into a 4096-byte buffer; the last byte is
// made a zero first, so that a host that fills the whole buffer cannot make us read
// past it.
void ExtractPart(TExtractPart entry, const std::string& name, std::string& result) {
  if (!entry)
    return;
  auto buffer = std::make_unique<char[]>(kBufferSize);
  entry(name.c_str(), buffer.get());
  buffer[kBufferSize - 1] = '\0';
  result = buffer.get();
}

}  // namespace

void LoadVfsApi(HMODULE module) {
  for (int i = 0; i < VfsApiEntryCount; ++i)
    gSlots[i] = module ? GetProcAddress(module, cEntryNames[i]) : nullptr;
}

void LoadVfsApi() { LoadVfsApi(HostModuleHandle()); }

void ClearVfsApi() { gSlots.fill(nullptr); }

const char* VfsApiEntryName(int index) {
  if (index < 0 || index >= VfsApiEntryCount)
    return nullptr;
  return cEntryNames[index];
}

void* VfsApiEntryAddress(int index) {
  if (index < 0 || index >= VfsApiEntryCount)
    return nullptr;
  return reinterpret_cast<void*>(gSlots[index]);
}

int32_t VfsAssignFile(TTextFile& file, const std::string& name) {
  if (auto entry = Entry<Slot("VFSAPI_VFSAssignFile"), TAssignFile>())
    entry(file.Host(), name.c_str());
  else
    file.Assign(name);
  return 0;
}

void VfsExtractFilePath(const std::string& name, std::string& result) {
  ExtractPart(Entry<Slot("VFSAPI_VFS_ExtractFilePath"), TExtractPart>(), name, result);
}

void VfsExtractFileName(const std::string& name, std::string& result) {
  ExtractPart(Entry<Slot("VFSAPI_VFS_ExtractFileName"), TExtractPart>(), name, result);
}

bool VfsFileExists(const std::string& name) {
  auto entry = Entry<Slot("VFSAPI_VFS_FileExists"), TFileExists>();
  return entry && entry(name.c_str()) != 0;
}

void InitializeHostFileSystem() { LoadVfsApi(); }

void FinalizeHostFileSystem() { ClearVfsApi(); }
