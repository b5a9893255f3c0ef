#include "host/Utilities.h"

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

std::string UserDataFolder() {
  char base[MAX_PATH] = {};
  if (!SHGetSpecialFolderPathA(nullptr, base, CSIDL_APPDATA, FALSE))
    base[0] = '\0';
  std::string folder = std::string(base) + "\\Zorvan";
  DWORD attributes = GetFileAttributesA(folder.c_str());
  bool isDirectory =
      attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
  if (!isDirectory)
    CreateDirectoryA(folder.c_str(), nullptr);
  return folder;
}

std::string GetUserDataFolder() { return UserDataFolder(); }

void InitializeUtilities() {
  if (!gWildCard)
    gWildCard = new TWildCard;
}

void FinalizeUtilities() { FreeAndNil(gWildCard); }
