// The start-up tables of the test executables, benchmarks and tools against the
// plug-in's: each starts its stand-ins (the host's side, there before the plug-in loads)
// and then a part of the plug-in's units, the same routines in the plug-in's order.
#include <initializer_list>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include <gtest/gtest.h>

#include "bench/ImportBenchUnits.h"
#include "bench/TreeListBenchUnits.h"
#include "classlib/Exceptions.h"
#include "editors/Units.h"
#include "plugin/PluginUnits.h"
#include "skin/Units.h"
#include "tests/containers/TestUnits.h"
#include "tests/controls/TestUnits.h"
#include "tests/editors/TestUnits.h"
#include "tests/host/TestUnits.h"
#include "tests/host/bare/TestUnits.h"
#include "tests/importer/TestUnits.h"
#include "tests/importer/bare/TestUnits.h"
#include "tests/options/TestUnits.h"
#include "tests/pcb/TestUnits.h"
#include "tests/proxies/TestUnits.h"
#include "tests/ravelo/TestUnits.h"
#include "tests/skin/TestUnits.h"
#include "tests/support/TestSupport.h"
#include "tests/themed/TestUnits.h"
#include "tests/treelist/TestUnits.h"
#include "tests/xpcontrols/TestUnits.h"
#include "tools/treelistgallery/TreeListGalleryUnits.h"
#include "tools/xpsheet/XPSheetUnits.h"

namespace {

bool IsStandin(const TUnitEntry& unit) { return std::string_view(unit.Name).starts_with("standin."); }

// Why `table` is not its stand-ins followed by a subsequence of `plugin`, if it is not.
testing::AssertionResult StartsInThePluginsOrder(std::span<const TUnitEntry> table,
                                                 std::span<const TUnitEntry> plugin) {
  size_t i = 0;
  while (i < table.size() && IsStandin(table[i]))
    ++i;
  size_t at = 0;
  for (; i < table.size(); ++i) {
    const TUnitEntry& unit = table[i];
    if (IsStandin(unit))
      return testing::AssertionFailure() << "the stand-in \"" << unit.Name << "\" starts after plug-in units";
    while (at < plugin.size() && std::string_view(plugin[at].Name) != unit.Name)
      ++at;
    if (at == plugin.size())
      return testing::AssertionFailure() << "\"" << unit.Name
                                         << "\" is not among the plug-in's units after those before it";
    if (plugin[at].Initialize != unit.Initialize || plugin[at].Finalize != unit.Finalize)
      return testing::AssertionFailure() << "\"" << unit.Name << "\" runs other routines than the plug-in's";
    ++at;
  }
  return testing::AssertionSuccess();
}

// A binary's start-up table, by the binary's name.
struct TNamedTable {
  const char* Executable;
  std::span<const TUnitEntry> Units;
};

void ExpectEachInThePluginsOrder(std::initializer_list<TNamedTable> tables) {
  for (const TNamedTable& table : tables) {
    EXPECT_FALSE(table.Units.empty()) << table.Executable;
    EXPECT_TRUE(StartsInThePluginsOrder(table.Units, PluginUnits())) << table.Executable;
  }
}

TEST(StartupOrder, EveryTestExecutableStartsAPartOfThePluginsOrder) {
  ExpectEachInThePluginsOrder({
      {"containers_tests", ContainersTestUnits()}, {"controls_tests", ControlsTestUnits()},
      {"editors_tests", EditorsTestUnits()},       {"host_tests", HostTestUnits()},
      {"host_bare_tests", HostBareTestUnits()},    {"importer_tests", ImporterTestUnits()},
      {"importer_bare_tests", ImporterBareTestUnits()}, {"options_tests", OptionsTestUnits()},
      {"pcb_tests", PcbTestUnits()},               {"proxies_tests", ProxiesTestUnits()},
      {"ravelo_tests", RaveloTestUnits()},         {"skin_tests", SkinTestUnits()},
      {"themed_tests", ThemedTestUnits()},         {"treelist_tests", TreeListTestUnits()},
      {"xpcontrols_tests", XPControlsTestUnits()},
  });
}

// The benchmarks and the tools that draw the documentation's pictures start units too.
TEST(StartupOrder, EveryBenchmarkAndToolStartsAPartOfThePluginsOrder) {
  ExpectEachInThePluginsOrder({
      {"ImportBench", ImportBenchUnits()},
      {"TreeListBench", TreeListBenchUnits()},
      {"TreeListGallery", TreeListGalleryUnits()},
      {"XPSheet", XPSheetUnits()},
  });
}

TEST(StartupOrder, ThePluginStartsEveryUnitOnce) {
  std::vector<std::string> names;
  for (const TUnitEntry& unit : PluginUnits()) {
    EXPECT_FALSE(IsStandin(unit)) << unit.Name;
    for (const std::string& before : names)
      EXPECT_NE(before, unit.Name);
    names.emplace_back(unit.Name);
  }
}

TEST(StartupOrder, DriftedTablesAreFound) {
  // The skin tests once started the speed buttons before the tab controls.
  const TUnitTable swapped = TUnitTable()
                                 .Pick(SkinUnits(), {"KsSpeedButtons"})
                                 .Pick(SkinUnits(), {"KsTabs"});
  EXPECT_FALSE(StartsInThePluginsOrder(swapped, PluginUnits()));
  // The editors' tests once named their units in another case.
  static const TUnitEntry renamed[] = {{"DxUtils", EditorsUnits()[0].Initialize, EditorsUnits()[0].Finalize}};
  EXPECT_FALSE(StartsInThePluginsOrder(renamed, PluginUnits()));
  EXPECT_THROW(TUnitTable().Pick(EditorsUnits(), {"DxUtils"}), Exception);
  // A unit under the plug-in's name that runs another routine.
  static const TUnitEntry other[] = {{EditorsUnits()[0].Name, nullptr, EditorsUnits()[0].Finalize}};
  EXPECT_FALSE(StartsInThePluginsOrder(other, PluginUnits()));
  // Stand-ins come first.
  const TUnitTable late = TUnitTable().Pick(SkinUnits(), {"KsBitmap"}).Add({"standin.Host", nullptr, nullptr});
  EXPECT_FALSE(StartsInThePluginsOrder(late, PluginUnits()));
}

}  // namespace

// Nothing is started: the tables are only read.
std::span<const TUnitEntry> TestUnits() { return {}; }
