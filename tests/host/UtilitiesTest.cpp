// The framework's utilities: the Windows version test, the per-user data folder, and
// the date and time texts.
#include <gtest/gtest.h>

#include "classlib/IniFiles.h"
#include "classlib/Registry.h"
#include "classlib/TextFile.h"
#include "classlib/Win.h"
#include "host/Utilities.h"
#include "tests/support/TestSupport.h"

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

namespace {

SYSTEMTIME SystemTimeOf(TDateTime instant) {
  uint16_t year, month, day, hour, minute, second, millisecond;
  DecodeDate(instant, year, month, day);
  DecodeTime(instant, hour, minute, second, millisecond);
  SYSTEMTIME st{};
  st.wYear = year;
  st.wMonth = month;
  st.wDay = day;
  st.wHour = hour;
  st.wMinute = minute;
  st.wSecond = second;
  st.wMilliseconds = millisecond;
  return st;
}

std::string LocaleDate(const SYSTEMTIME& st) {
  char text[128] = {};
  GetDateFormatA(LOCALE_USER_DEFAULT, DATE_SHORTDATE, &st, nullptr, text, sizeof text);
  return text;
}

std::string LocaleTime(const SYSTEMTIME& st) {
  char text[128] = {};
  GetTimeFormatA(LOCALE_USER_DEFAULT, 0, &st, nullptr, text, sizeof text);
  return text;
}

TEST(DateAndTimeTexts, AgreeWithTheLocaleForTheSameInstant) {
  TDateTime now = Now();
  SYSTEMTIME st = SystemTimeOf(now);
  EXPECT_EQ(CurrentDateText(now), LocaleDate(st));
  EXPECT_EQ(CurrentTimeText(now), LocaleTime(st));
  TDateTime fixed = EncodeDate(2024, 2, 29) + EncodeTime(13, 5, 9, 500);
  EXPECT_EQ(CurrentDateText(fixed), LocaleDate(SystemTimeOf(fixed)));
  EXPECT_EQ(CurrentTimeText(fixed), LocaleTime(SystemTimeOf(fixed)));
  EXPECT_FALSE(CurrentDateText().empty());
  EXPECT_FALSE(CurrentTimeText().empty());
}

TEST(DateAndTimeTexts, TheLastInstantOfADayIsNeverHour24) {
  TDateTime day = EncodeDate(2023, 12, 31);
  SYSTEMTIME lastSecond = SystemTimeOf(day + EncodeTime(23, 59, 59, 0));
  SYSTEMTIME midnight = SystemTimeOf(day + 1);
  for (double fraction : {0.99999, 0.9999999, 0.999999999999}) {
    std::string text = CurrentTimeText(day + fraction);
    EXPECT_TRUE(text == LocaleTime(lastSecond) || text == LocaleTime(midnight))
        << fraction << ": " << text;
  }
}

TEST(ResetIOResult, ClearsAPendingTextFileError) {
  TIOChecksOff checksOff;
  TTextFile file;
  file.Assign("C:\\no such folder\\no such file.txt");
  file.Reset();
  ResetIOResult();
  EXPECT_EQ(IOResult(), 0);
}

TEST(FileProblems, AreToldInPlainWords) {
  const std::string folder = EmptiedTempFolder("kivo-host-file-problems");
  const std::string file = folder + "board.pdf";
  HANDLE made = CreateFileA(file.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  ASSERT_NE(made, INVALID_HANDLE_VALUE);
  CloseHandle(made);
  EXPECT_EQ(FileReadProblem(file), "");
  EXPECT_EQ(FileReadProblem(folder + "missing.pdf"), "it does not exist");
  EXPECT_EQ(FileReadProblem(folder + "missing\\board.pdf"), "its folder does not exist");
  EXPECT_EQ(FileReadProblem(folder), "it is a folder, not a file");
  EXPECT_EQ(FileFailureReason(folder, ERROR_ACCESS_DENIED), "it is a folder, not a file");
  EXPECT_EQ(FileReadProblem(folder + "board-??.pdf"),
            "its name holds characters outside the system's code page (they arrive as \"?\"); "
            "rename the file or its folders with letters of that code page");
  const std::string longPath = folder + std::string(300 - folder.size(), 'n');
  EXPECT_EQ(FileReadProblem(longPath), "its path has 300 characters, more than the 259 Windows allows");
  {
    HANDLE held = CreateFileA(file.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    EXPECT_EQ(FileReadProblem(file), "another program has it open");
    CloseHandle(held);
  }
  EXPECT_EQ(FileFailureReason(file, ERROR_ACCESS_DENIED),
            "access to it is denied (it or its folder may be read-only)");
  EXPECT_EQ(FileFailureReason(file, ERROR_DISK_FULL), "the disk is full");
  // A code without words of its own gives the system's, lower-cased and without its stop.
  const std::string other = FileFailureReason(file, ERROR_NOT_READY);
  EXPECT_EQ(other.rfind("of this error: ", 0), 0u) << other;
  EXPECT_NE(other.back(), '.');
  // A text file's own codes are not Windows codes: a write cut short (101, which Windows
  // would call "exclusive semaphore already owned") is a full disk.
  EXPECT_EQ(TextFileFailureReason(file, TextFileWriteError), "the disk is full");
  EXPECT_EQ(TextFileFailureReason(file, TextFileReadError), "the file could not be read to its end");
  EXPECT_EQ(TextFileFailureReason(file, ERROR_SHARING_VIOLATION), "another program has it open");
}

// The one rule of every settings store's wait for another host: only a file held alone
// (a sharing or lock violation) and a registry key erased under a write are waited for;
// a file missing or forbidden, a full disk, any other failure is raised at once (the
// recent filters waited two seconds on a missing or forbidden file, and the registry
// save on any failure).
TEST(WaitForAnotherInstance, OnlyAFileHeldAloneOrAnErasedKeyIsWaitedFor) {
  int steps = 0;
  const TInstanceWait wait{[&] { ++steps; }};
  for (const uint32_t code : {uint32_t(ERROR_SHARING_VIOLATION), uint32_t(ERROR_LOCK_VIOLATION),
                              uint32_t(ERROR_KEY_DELETED)}) {
    int tries = 0;
    steps = 0;
    const int result = RetryWhileHeldByAnotherInstance<EIniFileException>(
        [&] {
          if (++tries < 3)
            throw EIniFileException("held", code);
          return tries;
        },
        wait);
    EXPECT_EQ(result, 3) << code;
    EXPECT_EQ(steps, 2) << code;
  }
  for (const uint32_t code : {uint32_t(ERROR_ACCESS_DENIED), uint32_t(ERROR_FILE_NOT_FOUND),
                              uint32_t(ERROR_PATH_NOT_FOUND), uint32_t(ERROR_DISK_FULL), 0u}) {
    int tries = 0;
    steps = 0;
    EXPECT_THROW(RetryWhileHeldByAnotherInstance<ERegistryException>(
                     [&] {
                       ++tries;
                       throw ERegistryException("lasting", code);
                     },
                     wait),
                 ERegistryException)
        << code;
    EXPECT_EQ(tries, 1) << code;
    EXPECT_EQ(steps, 0) << code;
  }
}

// Fault: a board named "CON.pdf", "NUL.pdf" or "COM1.pdf" was opened as the device and
// told by the device's error ("invalid handle"): Windows keeps those names, whatever
// extension follows. The name is told as reserved, the device named.
TEST(FileProblems, ANameWindowsKeepsForADeviceIsToldAsReserved) {
  const std::string folder = EmptiedTempFolder("kivo-host-device-names");
  for (const auto& [name, device] :
       {std::pair{"CON.pdf", "CON"}, {"nul", "NUL"}, {"com1.board.pdf", "COM1"}, {"Lpt9 .pdf", "LPT9"},
        {"aux.PDF", "AUX"}, {"prn.x", "PRN"}}) {
    EXPECT_EQ(ReservedDeviceName(folder + name), device) << name;
    EXPECT_EQ(FileReadProblem(folder + name),
              "its name is reserved by Windows for the device " + std::string(device) + "; rename the file");
  }
  EXPECT_EQ(ReservedDeviceName("\\\\.\\CON"), "CON");
  for (const char* name : {"console.pdf", "com10.pdf", "icon.pdf", "my con.pdf", "CON\\board.pdf"})
    EXPECT_EQ(ReservedDeviceName(folder + name), "") << name;
}

}  // namespace
