// A file written whole or not at all: the new file beside it, what takes the old one's
// place and when, and what a write in place did that a replacement still does.
#include "classlib/FileReplacement.h"

#include <gtest/gtest.h>

#include "classlib/FileUtils.h"
#include "tests/classlib/TempFiles.h"

namespace {

using TNames = std::vector<std::string>;

class FileReplacementTest : public testing::Test {
 protected:
  void SetUp() override {
    static int counter = 0;
    FFolder = TestFolder() + "replace-" + std::to_string(++counter) + "\\";
    ForceDirectories(FFolder);
    FFile = FFolder + "settings.ini";
  }
  // Writes `text` through a replacement of `fileName` made with `shareMode`, committed
  // or not; the Windows error of the first step that failed.
  static uint32_t Replace(const std::string& fileName, const std::string& text, DWORD shareMode = 0,
                          bool commit = true) {
    TFileReplacement replacement(fileName, shareMode);
    if (replacement.GetError())
      return replacement.GetError();
    TFileHandle file(CreateFileA(replacement.GetWriteName().c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                 FILE_ATTRIBUTE_NORMAL, nullptr));
    DWORD written = 0;
    if (!file.Valid() || !WriteFile(file.Get(), text.data(), DWORD(text.size()), &written, nullptr))
      return GetLastError();
    file.Close();
    return commit ? replacement.Commit() : 0;
  }
  std::string FFolder;
  std::string FFile;
};

TEST_F(FileReplacementTest, TheNewFileTakesTheOldOnesPlaceOnlyWhenCommitted) {
  WriteTestFile(FFile.substr(TestFolder().size()), "old");
  {
    TFileReplacement replacement(FFile);
    ASSERT_EQ(replacement.GetError(), 0u);
    EXPECT_EQ(ExtractFilePath(replacement.GetWriteName()), FFolder) << "beside the file";
    EXPECT_EQ(ReadTestFile(replacement.GetWriteName()), "") << "made, empty";
    EXPECT_EQ(ReadTestFile(FFile), "old");
  }
  EXPECT_EQ(FileNamesIn(FFolder), TNames{"settings.ini"}) << "an uncommitted file goes";
  EXPECT_EQ(Replace(FFile, "new", 0, /*commit=*/false), 0u);
  EXPECT_EQ(ReadTestFile(FFile), "old");
  EXPECT_EQ(Replace(FFile, "new"), 0u);
  EXPECT_EQ(ReadTestFile(FFile), "new");
  EXPECT_EQ(Replace(FFolder + "fresh.ini", "first"), 0u) << "a file that was not there";
  EXPECT_EQ(ReadTestFile(FFolder + "fresh.ini"), "first");
  EXPECT_EQ(FileNamesIn(FFolder).size(), 2u);
}

// What a write in place did goes through as before: through a symbolic link (which
// stays a link), into a file another program reads while letting others write it, and
// into a file in a folder that takes no new file.
TEST_F(FileReplacementTest, WhatAWriteInPlaceDidStillGoesThrough) {
  const std::string real = WriteTestFile("linked-real.ini", "old");
  ASSERT_TRUE(MakeSymbolicLink(real, FFile));
  EXPECT_EQ(Replace(FFile, "through the link"), 0u);
  EXPECT_EQ(ReadTestFile(real), "through the link");
  EXPECT_EQ(FileNamesIn(FFolder), TNames{"settings.ini"});
  DeleteFileA(FFile.c_str());

  WriteTestFile(FFile.substr(TestFolder().size()), "old");
  HANDLE reader = CreateFileA(FFile.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(reader, INVALID_HANDLE_VALUE);
  EXPECT_EQ(Replace(FFile, "read meanwhile", FILE_SHARE_READ), 0u);
  CloseHandle(reader);
  EXPECT_EQ(ReadTestFile(FFile), "read meanwhile");
  EXPECT_EQ(FileNamesIn(FFolder), TNames{"settings.ini"});

  TUnwritable folder(FFolder);
  if (!folder.Real())
    GTEST_SKIP() << "the folder cannot be made unwritable here: " << folder.How();
  EXPECT_EQ(Replace(FFile, "in place"), 0u);
  EXPECT_EQ(ReadTestFile(FFile), "in place");
}

// What a write in place refused is refused with the same error, before anything changes.
TEST_F(FileReplacementTest, WhatAWriteInPlaceRefusedIsRefusedAlike) {
  WriteTestFile(FFile.substr(TestFolder().size()), "old");
  HANDLE holder = CreateFileA(FFile.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(holder, INVALID_HANDLE_VALUE);
  EXPECT_EQ(Replace(FFile, "held"), uint32_t(ERROR_SHARING_VIOLATION));
  CloseHandle(holder);
  EXPECT_EQ(ReadTestFile(FFile), "old");
  EXPECT_EQ(Replace(FFolder + "missing\\x.ini", "x"), uint32_t(ERROR_PATH_NOT_FOUND));
  ForceDirectories(FFolder + "folder.ini");
  EXPECT_EQ(Replace(FFolder + "folder.ini", "x"), uint32_t(ERROR_ACCESS_DENIED));
  EXPECT_EQ(FileNamesIn(FFolder), TNames{"settings.ini"});
}

}  // namespace
