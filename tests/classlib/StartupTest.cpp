#include "classlib/Startup.h"

#include <stdexcept>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "classlib/Boundary.h"
#include "classlib/Exceptions.h"
#include "tests/support/TestSupport.h"

namespace {

std::vector<std::string> gLog;

template <int N>
void Init() { gLog.push_back("init" + std::to_string(N)); }
template <int N>
void Fini() { gLog.push_back("fini" + std::to_string(N)); }
void InitFails() {
  gLog.push_back("init-fails");
  throw std::runtime_error("unit cannot start");
}

void QuietHandler(const char*, const std::exception*) {}

// Each case takes the process-wide sequence over and gives it back afterwards.
class StartupTest : public testing::Test {
 protected:
  void SetUp() override {
    StopUnits();
    gLog.clear();
    FPrevious = SetBoundaryHandler(QuietHandler);
  }
  void TearDown() override {
    StopUnits();
    SetBoundaryHandler(FPrevious);
    StartUnits(TestUnits());
  }
  TBoundaryHandler FPrevious = nullptr;
};

TEST_F(StartupTest, RunsEveryUnitOnceInOrderAndStopsInReverse) {
  static const TUnitEntry units[] = {
      {"a", Init<1>, Fini<1>}, {"b", Init<2>, nullptr}, {"c", nullptr, Fini<3>}, {"d", Init<4>, Fini<4>}};
  ASSERT_TRUE(StartUnits(units));
  EXPECT_TRUE(UnitsStarted());
  ASSERT_TRUE(StartUnits(units));  // already running: nothing runs twice
  EXPECT_EQ(gLog, (std::vector<std::string>{"init1", "init2", "init4"}));
  gLog.clear();
  StopUnits();
  EXPECT_FALSE(UnitsStarted());
  EXPECT_EQ(gLog, (std::vector<std::string>{"fini4", "fini3", "fini1"}));
  gLog.clear();
  StopUnits();  // a second stop finalizes nothing
  EXPECT_TRUE(gLog.empty());
}

TEST_F(StartupTest, FailedUnitStopsStartUpAndUnwindsTheStartedOnes) {
  static const TUnitEntry units[] = {
      {"a", Init<1>, Fini<1>}, {"b", Init<2>, Fini<2>}, {"bad", InitFails, Fini<9>}, {"d", Init<4>, Fini<4>}};
  EXPECT_FALSE(StartUnits(units));
  EXPECT_FALSE(UnitsStarted());
  EXPECT_EQ(gLog, (std::vector<std::string>{"init1", "init2", "init-fails", "fini2", "fini1"}));
}

std::vector<std::string> Names(std::span<const TUnitEntry> units) {
  std::vector<std::string> names;
  for (const TUnitEntry& unit : units)
    names.push_back(unit.Name);
  return names;
}

TEST(UnitTable, PiecesFollowEachOtherAndPickedUnitsKeepTheirListsOrder) {
  static const TUnitEntry first[] = {{"a", Init<1>, Fini<1>}, {"b", Init<2>, nullptr}, {"c", nullptr, Fini<3>}};
  static const TUnitEntry second[] = {{"x", Init<4>, Fini<4>}, {"y", nullptr, nullptr}};
  const TUnitTable table = TUnitTable().Add({"own", Init<9>, nullptr}).Pick(first, {"c", "a"}).Add(second);
  EXPECT_EQ(Names(table), (std::vector<std::string>{"own", "a", "c", "x", "y"}));
  EXPECT_EQ(table.Units()[2].Finalize, first[2].Finalize);
  // A name that differs from the list's, even in case only, is refused.
  EXPECT_THROW(TUnitTable().Pick(first, {"A"}), Exception);
}

}  // namespace
