// LoadKIVO.dll as the host sees it: loaded by name, exports found by undecorated name.
#include <string>

#include <gtest/gtest.h>

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

}  // namespace

std::span<const TUnitEntry> TestUnits() { return {}; }
