// The skin texts from the string table, and the run-time system bindings.
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "skin/KsCommonConst.h"
#include "skin/KsWinBindings.h"

namespace {

const std::vector<std::pair<int, std::string>> kTexts{
    {65269, "Ma&ximize"}, {65270, "Mi&nimize"}, {65271, "&Close"},
    {65272, "Ro&llup"}, {65273, "&Restore"}, {65274, "Minimize to &Tray"},
    {65275, "Toolbar item already inserted"}};

TEST(KsCommonConstTest, SkinCodeLoadsItsTextsFromItsOwnModule) {
  EXPECT_EQ(SkinResourceInstance(), GetModuleHandleA(nullptr));  // linked into this test
  for (const auto& [id, text] : kTexts)
    EXPECT_EQ(KsLoadStr(id), text) << id;
  EXPECT_EQ(KsLoadStr(SKsItemInserted), "Toolbar item already inserted");
  EXPECT_EQ(KsLoadStr(65276), "");
}

TEST(KsCommonConstTest, ThePluginCarriesTheTextsInItsStringTable) {
  HMODULE plugin = LoadLibraryExA("LoadKIVO.dll", nullptr, LOAD_LIBRARY_AS_DATAFILE);
  ASSERT_NE(plugin, nullptr) << "error " << GetLastError();
  for (const auto& [id, text] : kTexts) {
    char buffer[256] = {};
    const int length = LoadStringA(plugin, UINT(id), buffer, int(sizeof buffer));
    EXPECT_EQ(std::string(buffer, length > 0 ? size_t(length) : 0), text) << id;
  }
  FreeLibrary(plugin);
}

TEST(KsWinBindingsTest, EntriesAreLookedUpAndClearedAtShutDown) {
  HMODULE user = GetModuleHandleA("user32.dll");
  const bool layered = GetProcAddress(user, "SetLayeredWindowAttributes") != nullptr;
  EXPECT_EQ(LayeredWindowsAvailable, layered);
  EXPECT_EQ(KsUpdateLayeredWindow != nullptr, GetProcAddress(user, "UpdateLayeredWindow") != nullptr);
  bool themed = false;
  if (HMODULE theme = LoadLibraryA("uxtheme.dll")) {
    using TIsAppThemed = BOOL(WINAPI*)();
    if (auto isThemed = reinterpret_cast<TIsAppThemed>(
            reinterpret_cast<void*>(GetProcAddress(theme, "IsAppThemed"))))
      themed = isThemed() != FALSE;
    FreeLibrary(theme);
  }
  EXPECT_EQ(IsAppThemedSafe(), themed);

  FinalizeKsWinBindings();
  EXPECT_FALSE(IsAppThemedSafe());
  EXPECT_FALSE(LayeredWindowsAvailable);
  EXPECT_EQ(KsSetLayeredWindowAttributes, nullptr);
  InitializeKsWinBindings();
  EXPECT_EQ(LayeredWindowsAvailable, layered);
}

}  // namespace
