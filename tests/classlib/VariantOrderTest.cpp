// Comparing variants by value across kinds: the ordering and equality the grid's sort
// uses.
#include <cmath>
#include <cstdint>
#include <limits>

#include <gtest/gtest.h>

#include "classlib/DateUtils.h"
#include "classlib/Variants.h"

namespace {

TEST(VariantOrder, NoValueIsEqualToNoValueAndBeforeEverything) {
  EXPECT_EQ(VarCompareValue(Variant(), Variant::Null()), vrEqual);
  EXPECT_TRUE(VarSameValue(Variant::Null(), Variant("")));
  EXPECT_EQ(VarCompareValue(Variant(), Variant(int32_t(-5))), vrLessThan);
  EXPECT_EQ(VarCompareValue(Variant("a"), Variant::Null()), vrGreaterThan);
  EXPECT_EQ(VarCompareValue(Variant(false), Variant()), vrGreaterThan) << "False is a value";
}

TEST(VariantOrder, NumbersDatesAndAmountsCompareAsNumbers) {
  EXPECT_EQ(VarCompareValue(Variant(int32_t(1)), Variant(1.0)), vrEqual);
  EXPECT_EQ(VarCompareValue(Variant(true), Variant(int32_t(1))), vrEqual);
  EXPECT_EQ(VarCompareValue(Variant(int32_t(2)), Variant(10.5)), vrLessThan);
  EXPECT_EQ(VarCompareValue(VarFromDateTime(45000), Variant(int32_t(44999))), vrGreaterThan);
  // Amounts compare exactly with each other and with integers.
  EXPECT_EQ(VarCompareValue(VarFromCurrency(15000), Variant(1.5)), vrEqual);
  EXPECT_EQ(VarCompareValue(VarFromCurrency(INT64_MAX), VarFromCurrency(INT64_MAX - 1)), vrGreaterThan);
  EXPECT_EQ(VarCompareValue(VarFromCurrency(20000), Variant(int32_t(2))), vrEqual);
  const Variant nan(std::numeric_limits<double>::quiet_NaN());
  EXPECT_EQ(VarCompareValue(nan, Variant(1.0)), vrNotEqual);
  EXPECT_EQ(VarCompareValue(nan, nan), vrNotEqual);
  EXPECT_FALSE(VarSameValue(nan, nan));
}

TEST(VariantOrder, TextsCompareOrdinallyAndWithNumbersWhenTheyReadAsNumbers) {
  EXPECT_EQ(VarCompareValue(Variant("B"), Variant("a")), vrLessThan) << "ordinal, case-sensitive";
  EXPECT_EQ(VarCompareValue(Variant("a"), Variant("a")), vrEqual);
  EXPECT_EQ(VarCompareValue(Variant("10"), Variant(int32_t(9))), vrGreaterThan) << "as numbers, not texts";
  EXPECT_TRUE(VarSameValue(Variant(int32_t(1)), Variant("1.0")));
  EXPECT_EQ(VarCompareValue(Variant("x"), Variant(int32_t(9))), vrGreaterThan) << "else as texts: \"x\" > \"9\"";
  // A text and a date: read as a date of the locale.
  const Variant date = VarFromDateTime(EncodeDate(2020, 5, 17));
  EXPECT_TRUE(VarSameValue(Variant(DateToStr(EncodeDate(2020, 5, 17))), date));
  EXPECT_EQ(VarCompareValue(date, Variant(DateToStr(EncodeDate(2021, 1, 1)))), vrLessThan);
}

}  // namespace
