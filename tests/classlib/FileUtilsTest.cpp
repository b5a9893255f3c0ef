#include <gtest/gtest.h>

#include "classlib/FileUtils.h"
#include "classlib/Strings.h"
#include "tests/classlib/TempFiles.h"

namespace {

TEST(FileNames, PathKeepsTheSeparatorAndDirDropsItExceptAtARoot) {
  EXPECT_EQ(ExtractFilePath("C:\\a\\b.txt"), "C:\\a\\");
  EXPECT_EQ(ExtractFilePath("C:\\b.txt"), "C:\\");
  EXPECT_EQ(ExtractFilePath("C:b.txt"), "C:");
  EXPECT_EQ(ExtractFilePath("C:\\a\\"), "C:\\a\\");
  EXPECT_EQ(ExtractFilePath("b.txt"), "");
  EXPECT_EQ(ExtractFilePath("a/b/c.txt"), "a/b/");
  EXPECT_EQ(ExtractFileDir("C:\\a\\b.txt"), "C:\\a");
  EXPECT_EQ(ExtractFileDir("C:\\a\\"), "C:\\a");
  EXPECT_EQ(ExtractFileDir("C:\\b.txt"), "C:\\");
  EXPECT_EQ(ExtractFileDir("C:"), "C:");
  EXPECT_EQ(ExtractFileDir("\\b.txt"), "\\");
  EXPECT_EQ(ExtractFileDir("b.txt"), "");
  EXPECT_EQ(ExtractFileDir("\\\\server\\share\\f.txt"), "\\\\server\\share");
}

TEST(FileNames, NameAndExtensionComeFromTheLastPart) {
  EXPECT_EQ(ExtractFileName("C:\\a\\b.txt"), "b.txt");
  EXPECT_EQ(ExtractFileName("C:\\a\\"), "");
  EXPECT_EQ(ExtractFileName("C:b"), "b");
  EXPECT_EQ(ExtractFileName("a/b.c"), "b.c");
  EXPECT_EQ(ExtractFileName("plain"), "plain");
  EXPECT_EQ(ExtractFileExt("C:\\x.dir\\name"), "");  // the dot belongs to the folder
  EXPECT_EQ(ExtractFileExt("a.tar.gz"), ".gz");
  EXPECT_EQ(ExtractFileExt("a."), ".");
  EXPECT_EQ(ExtractFileExt(".profile"), ".profile");
  EXPECT_EQ(ChangeFileExt("C:\\in\\board.pdf", ".rpt"), "C:\\in\\board.rpt");
  EXPECT_EQ(ChangeFileExt("C:\\x.dir\\board", ".rpt"), "C:\\x.dir\\board.rpt");
  EXPECT_EQ(ChangeFileExt("board.pdf", ""), "board");
  EXPECT_EQ(IncludeTrailingPathDelimiter("C:\\a"), "C:\\a\\");
  EXPECT_EQ(IncludeTrailingPathDelimiter("C:\\a\\"), "C:\\a\\");
  EXPECT_EQ(IncludeTrailingPathDelimiter(""), "");
}

TEST(FileSystem, FilesAndDirectoriesAreToldApart) {
  std::string deep = TestFolder() + "force\\one\\two\\";
  EXPECT_FALSE(DirectoryExists(deep));
  EXPECT_TRUE(ForceDirectories(deep));
  EXPECT_TRUE(DirectoryExists(deep));
  EXPECT_TRUE(ForceDirectories(deep));  // already there
  EXPECT_FALSE(FileExists(deep.substr(0, deep.size() - 1)));
  EXPECT_FALSE(CreateDir(TestFolder() + "force"));  // exists
  EXPECT_FALSE(ForceDirectories(""));

  std::string file = WriteTestFile("force\\one\\f.txt", "x");
  EXPECT_TRUE(FileExists(file));
  EXPECT_FALSE(DirectoryExists(file));
  // A file in the way stops the creation of a folder of that name.
  EXPECT_FALSE(ForceDirectories(file + "\\sub"));
  EXPECT_TRUE(DeleteFile(file));
  EXPECT_FALSE(FileExists(file));
  EXPECT_FALSE(DeleteFile(file));
  EXPECT_FALSE(FileExists(TestFolder() + "missing.txt"));
}

TEST(FileSystem, ModuleNamesAreFullPaths) {
  std::string exe = GetModuleName(nullptr);
  EXPECT_TRUE(SameText(ExtractFileName(exe), "classlib_tests.exe")) << exe;
  EXPECT_TRUE(FileExists(exe));
  std::string kernel = GetModuleName(GetModuleHandleA("kernel32.dll"));
  EXPECT_TRUE(SameText(ExtractFileName(kernel), "kernel32.dll")) << kernel;
  EXPECT_NE(ExtractFilePath(kernel), "");
}

TEST(FileSystem, SameFileKnowsOneFileByAnyOfItsNames) {
  const std::string file = WriteTestFile("A Long Board Name.rpt", "x");
  EXPECT_TRUE(SameFile(file, UpperCase(file)));
  EXPECT_TRUE(SameFile(file, TestFolder() + "sub\\..\\A Long Board Name.rpt"));
  char shortName[MAX_PATH] = "";
  if (GetShortPathNameA(file.c_str(), shortName, MAX_PATH) && file != shortName) {
    EXPECT_TRUE(SameFile(shortName, file)) << shortName;
  }
  EXPECT_FALSE(SameFile(file, WriteTestFile("A Long Board Name.pdf", "x")));
  EXPECT_FALSE(SameFile(file, TestFolder() + "missing.rpt"));
}

}  // namespace
