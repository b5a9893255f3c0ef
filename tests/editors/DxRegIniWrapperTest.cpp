// The settings wrapper over each store kind: round trips of integers and Booleans,
// section lists, erasing one section and sections by prefix, and the missing store.
#include <gtest/gtest.h>

#include <memory>

#include "classlib/IniFiles.h"
#include "classlib/Registry.h"
#include "classlib/StringList.h"
#include "editors/DxRegIniWrapper.h"
#include "tests/support/TestSupport.h"

namespace {

const char kTestKey[] = "Software\\KivoEditorsWrapperTest";

std::vector<std::string> Sections(TdxRegIniWrapper& wrapper) {
  TStringList list;
  wrapper.ReadSections(list);
  std::vector<std::string> names;
  for (int i = 0; i < list.GetCount(); ++i)
    names.push_back(list.Get(i));
  std::sort(names.begin(), names.end());
  return names;
}

// Writes a layout of sections, reads it back, erases one section and those of a prefix.
void RoundTrip(TObject* store, bool erasesByPrefix) {
  TdxRegIniWrapper wrapper;
  wrapper.SetIniFile(store);
  wrapper.WriteInteger("Grid_1", "Width", 120);
  wrapper.WriteInteger("Grid_1", "Index", -3);
  wrapper.WriteBool("Grid_1", "Visible", false);
  wrapper.WriteBool("Grid_2", "Visible", true);
  wrapper.WriteInteger("grid_3", "Width", 7);
  wrapper.WriteInteger("Other", "Width", 9);
  EXPECT_EQ(wrapper.ReadInteger("Grid_1", "Width", 0), 120);
  EXPECT_EQ(wrapper.ReadInteger("Grid_1", "Index", 0), -3);
  EXPECT_EQ(wrapper.ReadInteger("Grid_1", "Missing", 42), 42);
  EXPECT_FALSE(wrapper.ReadBool("Grid_1", "Visible", true));
  EXPECT_TRUE(wrapper.ReadBool("Grid_2", "Visible", false));
  EXPECT_TRUE(wrapper.ReadBool("Grid_2", "Missing", true));
  EXPECT_EQ(Sections(wrapper), (std::vector<std::string>{"Grid_1", "Grid_2", "Other", "grid_3"}));

  wrapper.EraseSection("Other");
  EXPECT_EQ(wrapper.ReadInteger("Other", "Width", -1), -1);
  wrapper.EraseSectionsByPrefix("Grid_");
  if (erasesByPrefix) {
    EXPECT_EQ(Sections(wrapper), (std::vector<std::string>{"grid_3"}));
    EXPECT_EQ(wrapper.ReadInteger("Grid_1", "Width", 0), 0);
  } else {
    EXPECT_EQ(Sections(wrapper), (std::vector<std::string>{"Grid_1", "Grid_2", "grid_3"}));
    EXPECT_EQ(wrapper.ReadInteger("Grid_1", "Width", 0), 120);
  }
  EXPECT_EQ(wrapper.ReadInteger("grid_3", "Width", 0), 7);
}

TEST(DxRegIniWrapperTest, RoundTripsThroughAnIniFileOnDisk) {
  const std::string file = EmptiedTempFolder("KivoEditorsWrapper") + "layout.ini";
  TIniFile ini(file);
  RoundTrip(&ini, /*erasesByPrefix=*/true);
  // The writes are on disk: a second reader sees them.
  TIniFile reader(file);
  EXPECT_EQ(reader.ReadInteger("grid_3", "Width", 0), 7);
}

TEST(DxRegIniWrapperTest, RoundTripsThroughAnIniFileInMemory) {
  const std::string file = EmptiedTempFolder("KivoEditorsWrapper") + "memory.ini";
  TMemIniFile ini(file);
  RoundTrip(&ini, /*erasesByPrefix=*/true);
  // Nothing reaches the file before UpdateFile.
  EXPECT_EQ(GetFileAttributesA(file.c_str()), INVALID_FILE_ATTRIBUTES);
  ini.UpdateFile();
  TIniFile reader(file);
  EXPECT_EQ(reader.ReadInteger("grid_3", "Width", 0), 7);
}

class DxRegIniWrapperRegistryTest : public ::testing::Test {
 protected:
  void SetUp() override { RemoveKey(); }
  void TearDown() override { RemoveKey(); }
  static void RemoveKey() {
    TRegistry registry;
    registry.DeleteKey(std::string("\\") + kTestKey);
  }
};

TEST_F(DxRegIniWrapperRegistryTest, RoundTripsThroughTheRegistryAndErasesNothingByPrefix) {
  {
    TRegIniFile reg(kTestKey);
    RoundTrip(&reg, /*erasesByPrefix=*/false);
  }
  TRegistry registry;
  EXPECT_TRUE(registry.KeyExists(std::string("\\") + kTestKey + "\\Grid_1"));
  EXPECT_FALSE(registry.KeyExists(std::string("\\") + kTestKey + "\\Other"));
}

// Fault: without a store, or with an object of another class, the store was taken for a
// registry INI file unchecked and a null or foreign object was called.
TEST(DxRegIniWrapperTest, WithoutAStoreReadsAnswerTheirDefaultAndWritesDoNothing) {
  TStringList notAStore;
  for (TObject* store : {static_cast<TObject*>(nullptr), static_cast<TObject*>(&notAStore)}) {
    TdxRegIniWrapper wrapper;
    wrapper.SetIniFile(store);
    wrapper.WriteInteger("S", "I", 5);
    wrapper.WriteBool("S", "B", true);
    EXPECT_EQ(wrapper.ReadInteger("S", "I", 11), 11);
    EXPECT_FALSE(wrapper.ReadBool("S", "B", false));
    TStringList sections;
    sections.Add("stale");
    wrapper.ReadSections(sections);
    EXPECT_EQ(sections.GetCount(), 0);
    wrapper.EraseSection("S");
    wrapper.EraseSectionsByPrefix("S");
  }
  EXPECT_EQ(notAStore.GetCount(), 0);
}

}  // namespace
