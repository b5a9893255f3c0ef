// The binding of the host's virtual file system: the 78 stdcall "VFSAPI_" entry points
// of the host executable, bound by exact name into function-pointer slots, and the
// four wrappers the translation report writes through. A wrapper whose entry point is
// missing returns its default (0, False, result unchanged), except `VfsAssignFile`,
// which then names the text file directly so that the report is not lost.
#pragma once

#include <cstdint>
#include <string>

#include "classlib/TextFile.h"
#include "classlib/Win.h"

inline constexpr int VfsApiEntryCount = 78;

// Binds every slot from `module` (the host executable); null binds nothing.
void LoadVfsApi(HMODULE module);
// Binds from the host executable of this process.
void LoadVfsApi();
void ClearVfsApi();

// The name bound into slot `index` (0 to 77, in binding order) and the slot's address.
const char* VfsApiEntryName(int index);
void* VfsApiEntryAddress(int index);

// Has the host assign `file` (closed) to `name`; the host writes the real path into the
// record's name. Without the entry point the file is assigned to `name` itself.
// Always returns 0.
int32_t VfsAssignFile(TTextFile& file, const std::string& name);
// The folder (with its trailing separator) and the name part of `name`, as the host's
// file system gives them; `result` is left unchanged when the entry point is missing.
void VfsExtractFilePath(const std::string& name, std::string& result);
void VfsExtractFileName(const std::string& name, std::string& result);
bool VfsFileExists(const std::string& name);

// Unit start-up (binds from the host executable) and shut-down (clears the slots).
void InitializeHostFileSystem();
void FinalizeHostFileSystem();
