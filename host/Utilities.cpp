#include "host/Utilities.h"

#include "classlib/FileUtils.h"
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

void InitializeUtilities() {
  if (!gWildCard)
    gWildCard = new TWildCard;
}

void FinalizeUtilities() { FreeAndNil(gWildCard); }
