// The host file-system binding, against the stand-in host's entry points linked into
// this test executable, and with none bound.
#include <gtest/gtest.h>

#include <string>

#include "classlib/FileUtils.h"
#include "pcb/HostFileSystem.h"
#include "standin/host/StandinHost.h"
#include "tests/importer/ImporterTestSupport.h"

namespace {

const char* const cExpectedNames =
    "VFSAPI_VFS_MapVirtualDrive VFSAPI_VFS_UnMapVirtualDrive VFSAPI_VFS_RenameVirtualDrive "
    "VFSAPI_VFS_GetMappedDriveCount VFSAPI_VFS_GetMappedDriveName VFSAPI_VFSAssign "
    "VFSAPI_VFSAssignFile VFSAPI_VFSCloseFile VFSAPI_VFS_Reset VFSAPI_VFS_Rewrite "
    "VFSAPI_VFS_Truncate VFSAPI_VFS_Seek VFSAPI_VFSBlockRead VFSAPI_VFSBlockWrite "
    "VFSAPI_VFS_EOF VFSAPI_VFS_FilePos VFSAPI_VFS_FileSize VFSAPI_VFS_IOResult "
    "VFSAPI_VFS_CreateDir VFSAPI_VFSCreateFile VFSAPI_VFS_DeleteDir VFSAPI_VFS_DeleteFile "
    "VFSAPI_VFS_RenameFile VFSAPI_CopyFileToVFSFile VFSAPI_CopyVFSFileToFile "
    "VFSAPI_VFS_ExportToFile VFSAPI_VFS_ImportFile VFSAPI_VFS_ChangeFileName "
    "VFSAPI_VFS_MakeShortCut VFSAPI_VFS_CopyFile VFSAPI_VFS_CopyLink VFSAPI_VFS_MoveFile "
    "VFSAPI_VFS_MakePath VFSAPI_VFS_DirectoryExists VFSAPI_VFS_IsValidPath "
    "VFSAPI_VFS_FileExists VFSAPI_VFS_IsVFSFileName VFSAPI_VFS_IsNullAddress "
    "VFSAPI_VFS_FileSizeByName VFSAPI_VFS_GetExternalPathForDrive "
    "VFSAPI_VFS_GetExternalPathForFile VFSAPI_VFS_GetFullPathForFile "
    "VFSAPI_VFS_GetFullPathDisplay VFSAPI_VFS_ExpandRelativePath VFSAPI_VFS_ExtractFileDir "
    "VFSAPI_VFS_ExtractFilePath VFSAPI_VFS_ExtractFileDrive VFSAPI_VFS_ExtractFileOffset "
    "VFSAPI_VFS_ExtractFileExt VFSAPI_VFS_ExtractFileName VFSAPI_VFS_ExtractRelativePath "
    "VFSAPI_VFS_PreviousFolder VFSAPI_VFS_ProcessPath VFSAPI_VFS_ResolveShortCut "
    "VFSAPI_VFS_FindClose VFSAPI_VFS_FindNext VFSAPI_VFS_FindFirst VFSAPI_VFS_StreamCreate "
    "VFSAPI_VFS_StreamDestroy VFSAPI_VFS_StreamLoadFromFile VFSAPI_VFS_StreamRead "
    "VFSAPI_VFS_StreamSaveToFile VFSAPI_VFS_StreamSeek VFSAPI_VFS_StreamSetSize "
    "VFSAPI_VFS_StreamWrite VFSAPI_VFS_GetFileAttributesByName VFSAPI_VFS_GetFileEditorName "
    "VFSAPI_VFS_RestoreFromRecycleBin VFSAPI_VFS_SetFileAttributesByName "
    "VFSAPI_VFS_SetFileEditorName VFSAPI_VFS_ExportToFileEx VFSAPI_VFS_ImportFileEx "
    "VFSAPI_VFS_CopyFileEx VFSAPI_VFS_CopyLinkEx VFSAPI_VFS_MoveFileEx "
    "VFSAPI_VFS_GetShortcutInfo VFSAPI_VFS_UpdateShortCut VFSAPI_VFS_CreateStorageDevice";

// Runs a case with no entry point bound, then binds again from this executable.
struct TUnbound {
  TUnbound() { ClearVfsApi(); }
  ~TUnbound() { LoadVfsApi(); }
};

TEST(HostFileSystem, BindsTheExportsOfTheHostExecutableByName) {
  std::string names;
  for (int i = 0; i < VfsApiEntryCount; ++i)
    names += (i ? " " : "") + std::string(VfsApiEntryName(i));
  EXPECT_EQ(names, cExpectedNames);
  EXPECT_EQ(VfsApiEntryName(VfsApiEntryCount), nullptr);

  const HMODULE host = GetModuleHandleA(nullptr);
  int bound = 0;
  for (int i = 0; i < VfsApiEntryCount; ++i) {
    EXPECT_EQ(VfsApiEntryAddress(i),
              reinterpret_cast<void*>(GetProcAddress(host, VfsApiEntryName(i))));
    bound += VfsApiEntryAddress(i) != nullptr;
  }
  EXPECT_EQ(bound, 4);
  LoadVfsApi(nullptr);
  for (int i = 0; i < VfsApiEntryCount; ++i)
    EXPECT_EQ(VfsApiEntryAddress(i), nullptr);
  LoadVfsApi();
}

TEST(HostFileSystem, WrappersCallTheHost) {
  WriteScratchFile("virtual\\there.pdf", "x");
  standin::ClearCallLog();
  EXPECT_TRUE(VfsFileExists("VFS:\\there.pdf"));
  EXPECT_FALSE(VfsFileExists("VFS:\\missing.pdf"));
  std::string result = "old";
  VfsExtractFilePath("VFS:\\there.pdf", result);
  EXPECT_EQ(result, "VFS:\\");
  VfsExtractFileName("VFS:\\there.pdf", result);
  EXPECT_EQ(result, "there.pdf");
  TTextFile file;
  EXPECT_EQ(VfsAssignFile(file, "VFS:\\there.pdf"), 0);
  EXPECT_EQ(file.Name(), VirtualFolder() + "there.pdf");
  EXPECT_EQ(standin::CallLog(),
            (std::vector<std::string>{
                R"(VFSAPI_VFS_FileExists("VFS:\there.pdf") -> True)",
                R"(VFSAPI_VFS_FileExists("VFS:\missing.pdf") -> False)",
                R"(VFSAPI_VFS_ExtractFilePath("VFS:\there.pdf") -> "VFS:\")",
                R"(VFSAPI_VFS_ExtractFileName("VFS:\there.pdf") -> "there.pdf")",
                R"(VFSAPI_VFSAssignFile("VFS:\there.pdf") -> ")" + VirtualFolder() +
                    "there.pdf\""}));
}

// Fault: a host that writes no terminator would make the reading run past the buffer.
TEST(HostFileSystem, AnUnterminatedAnswerIsReadUpToTheBuffersEnd) {
  standin::HostOptions().UnterminatedNames = true;
  std::string result;
  VfsExtractFileName("C:\\a\\b.pdf", result);
  standin::HostOptions().UnterminatedNames = false;
  EXPECT_EQ(result, "b.pdf" + std::string(4095 - 5, 'x'));
}

TEST(HostFileSystem, UnboundWrappersGiveTheirDefaults) {
  TUnbound unbound;
  standin::ClearCallLog();
  EXPECT_FALSE(VfsFileExists(WriteScratchFile("exists.pdf", "x")));
  std::string result = "unchanged";
  VfsExtractFilePath("C:\\a\\b.pdf", result);
  VfsExtractFileName("C:\\a\\b.pdf", result);
  EXPECT_EQ(result, "unchanged");
  EXPECT_TRUE(standin::CallLog().empty());
}

// Fault: without the host's entry point the text file was never named, so the report
// written through it was lost; it is now named directly.
TEST(HostFileSystem, UnboundAssignNamesTheFileDirectly) {
  TUnbound unbound;
  TTextFile file;
  EXPECT_EQ(VfsAssignFile(file, ScratchFolder() + "direct.txt"), 0);
  file.Rewrite();
  file.WriteLn("written");
  file.Close();
  EXPECT_EQ(ReadWholeFile(ScratchFolder() + "direct.txt"), "written\r\n");
}

}  // namespace
