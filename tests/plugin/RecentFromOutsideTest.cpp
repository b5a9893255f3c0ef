// The recent filter expressions as the user sees them: after the stand-in host has loaded
// the plug-in, taken its server module and released it, the registry and the user's file
// hold the module's list.
#include <algorithm>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "classlib/FileUtils.h"
#include "classlib/IniFiles.h"
#include "classlib/Registry.h"
#include "classlib/Win.h"

namespace {

const char* const kRegistryKey = "Software\\Zorvan\\VantorSuite";
const char* const kSection = "Recent KIVOImporter Filter Expressions";

std::string UserFile() {
  char folder[MAX_PATH] = "";
  SHGetFolderPathA(nullptr, CSIDL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, folder);
  return std::string(folder) + "\\Zorvan\\KIVOImporterRecentFilters.Txt";
}

std::vector<std::string> Sorted(std::vector<std::string> lines) {
  std::sort(lines.begin(), lines.end());
  return lines;
}

std::string BinaryFolder() { return ExtractFilePath(GetModuleName(nullptr)); }


// Runs the stand-in host without arguments and answers its exit code (-1 when it
// could not be started or did not end within a minute).
long RunStandinHost() {
  std::string commandLine = "\"" + BinaryFolder() + "KivoHost.exe\"";
  STARTUPINFOA startup{};
  startup.cb = sizeof(startup);
  PROCESS_INFORMATION process{};
  if (!CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                      BinaryFolder().c_str(), &startup, &process))
    return -1;
  DWORD exitCode = static_cast<DWORD>(-1);
  if (WaitForSingleObject(process.hProcess, 60000) == WAIT_OBJECT_0)
    GetExitCodeProcess(process.hProcess, &exitCode);
  else
    TerminateProcess(process.hProcess, 1);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return static_cast<long>(exitCode);
}

TEST(RecentFromOutside, ReleasingTheModuleSavesToTheRegistryAndTheUserFile) {
  // The plug-in must be there: a missing or broken DLL fails the test, it is not skipped.
  HMODULE plugin = LoadLibraryExA((BinaryFolder() + "LoadKIVO.dll").c_str(), nullptr,
                                  DONT_RESOLVE_DLL_REFERENCES);
  ASSERT_NE(plugin, nullptr) << "LoadKIVO.dll cannot be loaded: error " << GetLastError();
  const bool exported = GetProcAddress(plugin, "ServerFactory") != nullptr;
  FreeLibrary(plugin);
  ASSERT_TRUE(exported) << "LoadKIVO.dll exports no ServerFactory";

  TRegistry registry;
  registry.DeleteKey(std::string("\\") + kRegistryKey + "\\" + kSection);
  DeleteFile(UserFile());
  ASSERT_FALSE(FileExists(UserFile()));

  ASSERT_EQ(RunStandinHost(), 0);

  // The same list in the same form in both places; with no example file it is "(All)" alone.
  TRegistryIniFile saved(kRegistryKey);
  EXPECT_EQ(saved.ReadString(kSection, "NewFileFormat", ""), "True");
  EXPECT_GE(saved.ReadInteger(kSection, "RecentExpressionCount", 0), 1);
  ASSERT_TRUE(FileExists(UserFile()));
  TMemIniFile file(UserFile());
  EXPECT_EQ(Sorted(file.ReadSectionPairs(kSection)), Sorted(saved.ReadSectionPairs(kSection)));
}

}  // namespace
