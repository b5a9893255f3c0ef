#include "classlib/Registry.h"

#include <algorithm>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "classlib/StringList.h"

namespace {

using TNames = std::vector<std::string>;

// Every case works below its own key HKCU\Software\KivoTests\<case>, deleted after it.
class RegistryTest : public testing::Test {
 protected:
  void SetUp() override {
    FKey = std::string("Software\\KivoTests\\") +
           testing::UnitTest::GetInstance()->current_test_info()->name();
    TRegistry().DeleteKey("\\" + FKey);
  }
  void TearDown() override {
    TRegistry registry;
    registry.DeleteKey("\\" + FKey);
    if (registry.OpenKey("\\Software\\KivoTests", false) && !registry.HasSubKeys()) {
      registry.CloseKey();
      registry.DeleteKey("\\Software\\KivoTests");
    }
  }
  std::string FKey;
};

TEST_F(RegistryTest, SectionsAreSubkeysOfTheStoreKey) {
  {
    TRegistryIniFile ini(FKey);
    ini.WriteString("Recent Filter Expressions", "NewFileFormat", "True");
    ini.WriteInteger("Recent Filter Expressions", "RecentExpressionCount", 3);
    ini.WriteBool("Other", "Flag", true);
  }
  // Read back through the plain registry class: subkeys holding text values.
  TRegistry registry;
  ASSERT_TRUE(registry.OpenKey(FKey + "\\Recent Filter Expressions", false));
  EXPECT_EQ(registry.GetCurrentPath(), FKey + "\\Recent Filter Expressions");
  EXPECT_EQ(registry.ReadString("NewFileFormat"), "True");
  EXPECT_EQ(registry.ReadString("RecentExpressionCount"), "3");
  EXPECT_THROW(registry.ReadInteger("RecentExpressionCount"), ERegistryException);  // text, not DWORD
  EXPECT_TRUE(registry.ValueExists("newfileformat"));
  ASSERT_TRUE(registry.OpenKey("\\" + FKey, false));
  TStringList keys;
  keys.SetSorted(true);
  registry.GetKeyNames(keys);
  EXPECT_EQ(keys.GetText(), "Other\r\nRecent Filter Expressions\r\n");

  TRegistryIniFile ini(FKey);
  EXPECT_EQ(ini.ReadInteger("recent filter expressions", "RecentExpressionCount", 0), 3);
  EXPECT_TRUE(ini.ReadBool("Other", "Flag", false));
  EXPECT_EQ(ini.ReadString("Missing", "X", "dflt"), "dflt");
  EXPECT_EQ(ini.ReadInteger("Other", "Missing", 9), 9);
  EXPECT_FALSE(registry.KeyExists("Missing"));  // reads create nothing
}

TEST_F(RegistryTest, EraseSectionDeletesTheSubkeyWithEverythingBelow) {
  TRegistryIniFile ini(FKey);
  ini.WriteString("Section", "A", "1");
  ini.WriteString("Section\\Nested", "B", "2");
  ini.WriteString("Kept", "C", "3");
  ini.EraseSection("Section");
  TRegistry registry;
  EXPECT_FALSE(registry.KeyExists("\\" + FKey + "\\Section"));
  EXPECT_TRUE(registry.KeyExists("\\" + FKey + "\\Kept"));
  EXPECT_EQ(ini.ReadSectionNames(), (TNames{"Kept"}));
  // The store's own key is never erased through an empty section.
  ini.EraseSection("");
  EXPECT_TRUE(registry.KeyExists("\\" + FKey));
}

TEST_F(RegistryTest, ALeadingBackslashStartsAtTheRootKey) {
  TRegIniFile reg("");  // the root key itself, as the tree list uses it
  std::string section = "\\" + FKey + "\\Grid1_Form1\\Columns\\Column1";
  reg.WriteInteger(section, "Width", 64);
  reg.WriteBool(section, "Visible", false);
  EXPECT_EQ(reg.ReadInteger(section, "width", 0), 64);
  EXPECT_FALSE(reg.ReadBool(section, "Visible", true));
  EXPECT_EQ(reg.ReadSectionKeys(section).size(), 2u);

  // From a store opened on a subkey, "\" still means the root, and a plain
  // section is relative to the store's key.
  TRegIniFile store(FKey + "\\Grid1_Form1");
  EXPECT_EQ(store.ReadInteger(section, "Width", 0), 64);
  EXPECT_EQ(store.ReadInteger("Columns\\Column1", "Width", 0), 64);
  store.DeleteKey("Columns\\Column1", "Width");
  EXPECT_EQ(store.ReadSectionKeys("Columns\\Column1"), (TNames{"Visible"}));
  TStringList pairs;
  store.ReadSectionValues("Columns\\Column1", pairs);
  EXPECT_EQ(pairs.GetText(), "Visible=0\r\n");
}

TEST_F(RegistryTest, DirectUse) {
  TRegistry registry;
  EXPECT_EQ(registry.GetRootKey(), HKEY_CURRENT_USER);
  EXPECT_FALSE(registry.OpenKey("\\" + FKey, false));
  ASSERT_TRUE(registry.OpenKey("\\" + FKey, true));
  registry.WriteInteger("Count", -2);
  registry.WriteString("Name", "value");
  EXPECT_EQ(registry.ReadInteger("Count"), -2);
  EXPECT_EQ(registry.ReadString("Missing"), "");
  EXPECT_THROW(registry.ReadInteger("Missing"), ERegistryException);
  EXPECT_THROW(registry.ReadString("Count"), ERegistryException);  // a DWORD, not text
  TNames values = registry.GetValueNameList();
  std::sort(values.begin(), values.end());
  EXPECT_EQ(values, (TNames{"Count", "Name"}));
  EXPECT_TRUE(registry.DeleteValue("Count"));
  EXPECT_FALSE(registry.ValueExists("Count"));
  EXPECT_TRUE(registry.CreateKey("Child"));  // relative to the current key
  EXPECT_TRUE(registry.HasSubKeys());
  ASSERT_TRUE(registry.OpenKey("Child", false));
  EXPECT_EQ(registry.GetCurrentPath(), FKey + "\\Child");
  EXPECT_FALSE(registry.DeleteKey(""));  // never the current key itself
  EXPECT_TRUE(registry.DeleteKey("\\" + FKey + "\\Child"));
  EXPECT_FALSE(registry.KeyExists("\\" + FKey + "\\Child"));
}

}  // namespace
