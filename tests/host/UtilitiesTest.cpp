// The framework's utilities: the Windows version test, the per-user data folder, and
// the date and time texts.
#include "host/Utilities.h"

#include <gtest/gtest.h>

#include "classlib/Win.h"

namespace {

class WindowsVersion : public testing::Test {
 protected:
  void TearDown() override { ClearInjectedWindowsVersion(); }
};

TEST_F(WindowsVersion, XPMeansFiveOneOrLater) {
  const struct {
    unsigned Major, Minor;
    bool XP;
  } cases[] = {{4, 10, false}, {5, 0, false}, {5, 1, true}, {5, 2, true},
               {6, 0, true},   {6, 1, true},  {10, 0, true}};
  for (const auto& c : cases) {
    InjectWindowsVersion(c.Major, c.Minor);
    EXPECT_EQ(IsWindowsXPOrLater(), c.XP) << c.Major << "." << c.Minor;
  }
}

TEST_F(WindowsVersion, WithoutInjectionTheSystemAnswers) {
  InjectWindowsVersion(5, 0);
  ClearInjectedWindowsVersion();
  OSVERSIONINFOA info{};
  info.dwOSVersionInfoSize = sizeof info;
  ASSERT_TRUE(GetVersionExA(&info));
  bool expected = info.dwMajorVersion > 5 || (info.dwMajorVersion == 5 && info.dwMinorVersion >= 1);
  EXPECT_EQ(IsWindowsXPOrLater(), expected);
}

bool IsDirectory(const std::string& path) {
  DWORD attributes = GetFileAttributesA(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

TEST(UserDataFolder, IsZorvanUnderTheProfilesApplicationDataAndIsCreatedOnce) {
  char appData[MAX_PATH] = {};
  ASSERT_TRUE(SHGetSpecialFolderPathA(nullptr, appData, CSIDL_APPDATA, FALSE));
  std::string expected = std::string(appData) + "\\Zorvan";
  RemoveDirectoryA(expected.c_str());  // fails harmlessly when other files live there
  std::string first = UserDataFolder();
  EXPECT_EQ(first, expected);
  EXPECT_TRUE(IsDirectory(first));
  // The second call finds it and answers the same text.
  EXPECT_EQ(UserDataFolder(), first);
  EXPECT_EQ(GetUserDataFolder(), first);
  EXPECT_TRUE(IsDirectory(first));
}

}  // namespace
