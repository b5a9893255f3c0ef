#include "host/Utilities.h"

#include <cctype>

#include "classlib/FileUtils.h"
#include "classlib/Strings.h"
#include "classlib/SysUtils.h"
#include "classlib/TextFile.h"
#include "classlib/Win.h"

namespace {

bool gVersionInjected = false;
unsigned gInjectedMajor = 0;
unsigned gInjectedMinor = 0;

TWildCard* gWildCard = nullptr;

bool IsXPOrLater(unsigned major, unsigned minor) {
  return major >= 6 || (major == 5 && minor >= 1);
}

}  // namespace

bool IsWindowsXPOrLater() {
  if (gVersionInjected)
    return IsXPOrLater(gInjectedMajor, gInjectedMinor);
  OSVERSIONINFOA info{};
  info.dwOSVersionInfoSize = sizeof info;
  if (!GetVersionExA(&info))
    return false;
  return IsXPOrLater(info.dwMajorVersion, info.dwMinorVersion);
}

void InjectWindowsVersion(unsigned major, unsigned minor) {
  gVersionInjected = true;
  gInjectedMajor = major;
  gInjectedMinor = minor;
}

void ClearInjectedWindowsVersion() { gVersionInjected = false; }

void ResetIOResult() { IOResult(); }

std::string CurrentDateText(TDateTime now) {
  uint16_t year, month, day;
  DecodeDate(now, year, month, day);
  return DateToStr(EncodeDate(year, month, day));
}

std::string CurrentTimeText(TDateTime now) {
  uint16_t h, m, s, ms;
  DecodeTime(now, h, m, s, ms);
  int hour = h, minute = m, second = s, millisecond = ms;
  second += millisecond / 1000;
  millisecond %= 1000;
  minute += second / 60;
  second %= 60;
  hour += minute / 60;
  minute %= 60;
  hour %= 24;
  return TimeToStr(EncodeTime(hour, minute, second, millisecond));
}

namespace {
std::string gRedirectedBase;
}  // namespace

void RedirectUserDataFolder(const std::string& base) { gRedirectedBase = base; }

std::string UserDataFolder() {
  char base[MAX_PATH] = {};
  if (!gRedirectedBase.empty())
    lstrcpynA(base, gRedirectedBase.c_str(), MAX_PATH);
  else if (!SHGetSpecialFolderPathA(nullptr, base, CSIDL_APPDATA, FALSE))
    base[0] = '\0';
  std::string folder = std::string(base) + "\\Zorvan";
  if (!DirectoryExists(folder))
    CreateDir(folder);
  return folder;
}

std::string GetUserDataFolder() { return UserDataFolder(); }

std::string FileFailureReason(const std::string& fileName, uint32_t errorCode) {
  if (DirectoryExists(fileName))
    return "it is a folder, not a file";
  switch (errorCode) {
    case ERROR_FILE_NOT_FOUND:
      return "it does not exist";
    case ERROR_PATH_NOT_FOUND:
      return "its folder does not exist";
    case ERROR_ACCESS_DENIED:
      return "access to it is denied (it or its folder may be read-only)";
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
      return "another program has it open";
    case ERROR_WRITE_PROTECT:
      return "the disk is write-protected";
    case ERROR_HANDLE_DISK_FULL:
    case ERROR_DISK_FULL:
      return "the disk is full";
    case ERROR_INVALID_NAME:
      return "its name is not a valid file name";
    case ERROR_FILENAME_EXCED_RANGE:
      return "its path is longer than Windows allows";
    case ERROR_FILE_TOO_LARGE:
      return "it is too large";
  }
  std::string text = SysErrorMessage(errorCode);
  while (!text.empty() && (text.back() == '.' || static_cast<unsigned char>(text.back()) <= ' '))
    text.pop_back();
  if (text.empty())
    return "of error " + std::to_string(errorCode);
  text[0] = static_cast<char>(tolower(static_cast<unsigned char>(text[0])));
  return "of this error: " + text;
}

std::string SettingsFileFailureReason(const std::string& fileName, uint32_t errorCode) {
  if (errorCode == ERROR_FILE_TOO_LARGE)
    return "it is larger than " + std::to_string(MaxSettingsFileBytes >> 20) +
           " MB, far more than any settings file holds";
  return FileFailureReason(fileName, errorCode);
}

namespace {
// How long a read or a save waits in all for another instance, and how long each step is.
constexpr DWORD kInstanceWaitMs = 2000;
constexpr DWORD kInstanceWaitStepMs = 20;
}  // namespace

bool HeldByAnotherInstance(uint32_t errorCode) {
  return errorCode == ERROR_SHARING_VIOLATION || errorCode == ERROR_LOCK_VIOLATION || errorCode == ERROR_KEY_DELETED;
}

uint32_t InstanceWaitStart() { return GetTickCount(); }

bool WaitAStepForAnotherInstance(uint32_t start, const TInstanceWait& wait) {
  if (GetTickCount() - start >= kInstanceWaitMs)
    return false;
  if (wait.Step)
    wait.Step();
  Sleep(kInstanceWaitStepMs);
  return true;
}

std::string TextFileFailureReason(const std::string& fileName, uint32_t errorCode) {
  switch (errorCode) {
    case TextFileReadError:
      return "the file could not be read to its end";
    case TextFileWriteError:
      return "the disk is full";
    case TextFileNotAssigned:
    case TextFileNotOpen:
    case TextFileNotForInput:
    case TextFileNotForOutput:
      return "of the run-time's text-file error " + std::to_string(errorCode);
  }
  return FileFailureReason(fileName, errorCode);
}

std::string ReservedDeviceName(const std::string& fileName) {
  std::string name = ExtractFileName(fileName);
  // The device is named by what comes before the first dot, blanks at its end dropped.
  name = name.substr(0, name.find('.'));
  while (!name.empty() && name.back() == ' ')
    name.pop_back();
  name = UpperCase(name);
  static const char* const devices[] = {"CON", "PRN", "AUX", "NUL"};
  for (const char* device : devices)
    if (name == device)
      return name;
  const bool numbered = name.size() == 4 && (name.rfind("COM", 0) == 0 || name.rfind("LPT", 0) == 0) &&
                        name[3] >= '1' && name[3] <= '9';
  return numbered ? name : std::string();
}

std::string FileReadProblem(const std::string& fileName) {
  if (fileName.size() >= MAX_PATH)
    return "its path has " + std::to_string(fileName.size()) +
           " characters, more than the " + std::to_string(MAX_PATH - 1) + " Windows allows";
  if (fileName.find_first_of("?*") != std::string::npos)
    return "its name holds characters outside the system's code page (they arrive as \"?\"); "
           "rename the file or its folders with letters of that code page";
  // Windows opens the device, not the file: the system's answer would be a device's error.
  if (const std::string device = ReservedDeviceName(fileName); !device.empty())
    return "its name is reserved by Windows for the device " + device + "; rename the file";
  const DWORD attributes = GetFileAttributesA(fileName.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES)
    return FileFailureReason(fileName, GetLastError());
  if (attributes & FILE_ATTRIBUTE_DIRECTORY)
    return "it is a folder, not a file";
  HANDLE file = CreateFileA(fileName.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                            nullptr, OPEN_EXISTING, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE)
    return FileFailureReason(fileName, GetLastError());
  CloseHandle(file);
  return {};
}

void InitializeUtilities() {
  if (!gWildCard)
    gWildCard = new TWildCard;
}

void FinalizeUtilities() { FreeAndNil(gWildCard); }
