// Board units and the text form of coordinates.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>

#include "classlib/Exceptions.h"
#include "pcb/BoardUnits.h"

namespace {

TEST(BoardUnits, DecimalCounts) {
  EXPECT_EQ(MilDecimals, 3);
  EXPECT_EQ(MMDecimals, 5);
}

TEST(BoardUnits, Conversions) {
  EXPECT_DOUBLE_EQ(MilsToCoord(2.5), 25000.0);
  EXPECT_DOUBLE_EQ(CoordToMils(25000), 2.5);
  EXPECT_DOUBLE_EQ(CoordToMM(10000), 0.0254);
  EXPECT_NEAR(MMToCoord(0.0254), 10000.0, 1e-9);
  EXPECT_DOUBLE_EQ(DegreesToRadians(180), 3.141592653589793);
  EXPECT_EQ(MilsToCoordInt(10.0), 100000);
  EXPECT_EQ(MilsToCoordInt(100.0), 1000000);
  EXPECT_EQ(MMToCoordInt(1.0), 393701);
  EXPECT_EQ(MMToCoordInt(-1.0), -393701);
}

TEST(BoardUnits, RoundingTiesGoToEven) {
  EXPECT_EQ(MilsToCoordInt(0.00025), 2);  // 2.5
  EXPECT_EQ(MilsToCoordInt(0.00035), 4);  // 3.5
  EXPECT_EQ(MilsToCoordInt(-0.00025), -2);
}

// Out-of-range values would be undefined when converted; they saturate instead.
TEST(BoardUnits, OutOfRangeSaturates) {
  EXPECT_EQ(MilsToCoordInt(1e9), INT32_MAX);
  EXPECT_EQ(MilsToCoordInt(-1e9), INT32_MIN);
  EXPECT_THROW(MilsToCoordInt(std::nan("")), EConvertError);
}

TEST(BoardUnits, CoordToUnitStringStripsZeros) {
  EXPECT_EQ(CoordToUnitString(true, 25000), "2.5mil");
  EXPECT_EQ(CoordToUnitString(true, 1000000), "100mil");
  EXPECT_EQ(CoordToUnitString(true, 0), "0mil");
  EXPECT_EQ(CoordToUnitString(true, 20000), "2mil");
  EXPECT_EQ(CoordToUnitString(true, -12345), "-1.234mil");  // -1.2345, tie to even
  EXPECT_EQ(CoordToUnitString(true, 7), "0.001mil");
  EXPECT_EQ(CoordToUnitString(false, 10000), "0.0254mm");
  EXPECT_EQ(CoordToUnitString(false, 254), "0.00065mm");
  EXPECT_EQ(CoordToUnitString(false, 393701), "1mm");
}

TEST(BoardUnits, CoordToUnitStringRoundsTheLastDigitToEven) {
  EXPECT_EQ(CoordToUnitString(true, 5), "0mil");       // 0.0005 -> 0.000
  EXPECT_EQ(CoordToUnitString(true, 15), "0.002mil");  // 0.0015 -> 0.002
  EXPECT_EQ(CoordToUnitString(true, 25), "0.002mil");  // 0.0025 -> 0.002
  EXPECT_EQ(CoordToUnitString(true, -4), "0mil");      // no "-0"
}

}  // namespace
