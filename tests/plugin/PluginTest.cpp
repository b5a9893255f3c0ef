// LoadKIVO.dll as the host sees it: loaded by name, exports found by undecorated name.
#include <cstring>
#include <string>

#include <gtest/gtest.h>

#include "classlib/ShortString.h"
#include "tests/support/TestSupport.h"

namespace {

TEST(Plugin, ExportsTheImporterDescription) {
  HMODULE plugin = LoadLibraryA("LoadKIVO.dll");
  ASSERT_NE(plugin, nullptr) << "error " << GetLastError();
  using TGetDescription = const char*(__stdcall*)();
  auto describe = reinterpret_cast<TGetDescription>(
      reinterpret_cast<void*>(GetProcAddress(plugin, "GetPcbImporterDescription")));
  ASSERT_NE(describe, nullptr);
  EXPECT_STREQ(describe(), "V-LOM KIVO files (*.PDF)");
  EXPECT_EQ(describe(), describe());  // one constant text
  EXPECT_EQ(GetProcAddress(plugin, "GetPcbImporterDescription@0"), nullptr);
  EXPECT_TRUE(FreeLibrary(plugin));
}

// The host hands a short string (the address of its length byte) and gets one byte.
TEST(Plugin, ExportsTheRecogniser) {
  HMODULE plugin = LoadLibraryA("LoadKIVO.dll");
  ASSERT_NE(plugin, nullptr);
  using TRecognised = uint8_t(__stdcall*)(const uint8_t*);
  auto recognised = reinterpret_cast<TRecognised>(
      reinterpret_cast<void*>(GetProcAddress(plugin, "RecognisedPCBFile")));
  ASSERT_NE(recognised, nullptr);
  EXPECT_EQ(GetProcAddress(plugin, "RecognisedPCBFile@4"), nullptr);

  char temp[MAX_PATH];
  GetTempPathA(MAX_PATH, temp);
  auto write = [&](const char* name, const char* text) {
    std::string path = std::string(temp) + name;
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    DWORD done = 0;
    WriteFile(file, text, static_cast<DWORD>(strlen(text)), &done, nullptr);
    CloseHandle(file);
    return ShortString<255>(path);
  };
  auto call = [&](const ShortString<255>& name) {
    return recognised(reinterpret_cast<const uint8_t*>(&name));
  };
  const ShortString<255> kivo = write("plugin-test.pdf", "{COMPONENT \"x\"}");
  EXPECT_EQ(call(kivo), 1);
  EXPECT_EQ(call(write("plugin-other.pdf", "{ENVIRONMENT}")), 0);
  EXPECT_EQ(call(ShortString<255>(std::string(temp) + "plugin-missing.pdf")), 0);
  EXPECT_EQ(recognised(nullptr), 0);

  // A file that cannot be opened answers False; nothing crosses the boundary.
  HANDLE locked = CreateFileA(std::string(kivo.View()).c_str(), GENERIC_READ, 0, nullptr,
                              OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(locked, INVALID_HANDLE_VALUE);
  EXPECT_EQ(call(kivo), 0);
  CloseHandle(locked);
  EXPECT_EQ(call(kivo), 1);
  EXPECT_TRUE(FreeLibrary(plugin));
}

}  // namespace

std::span<const TUnitEntry> TestUnits() { return {}; }
