// The variant's currency kind: exact ten-thousandths, text in both directions through
// the format settings, and conversions from and to the other kinds.
#include <cmath>
#include <cstdint>

#include <gtest/gtest.h>

#include "classlib/SysUtils.h"
#include "classlib/Variants.h"
#include "tests/classlib/ExpectError.h"

namespace {

TFormatSettings Comma() {
  TFormatSettings settings;
  settings.DecimalSeparator = ',';
  settings.ThousandSeparator = '.';
  return settings;
}

TEST(CurrencyVariant, KeepsItsKindAndExactAmount) {
  const Variant amount = VarFromCurrency(15000);
  EXPECT_TRUE(amount.IsCurrency());
  EXPECT_EQ(amount.VarType(), varCurrency);
  EXPECT_FALSE(amount.IsDate());
  EXPECT_FALSE(amount.IsString());
  EXPECT_FALSE(VarIsNull(amount));
  EXPECT_EQ(amount.AsCurrency(), 15000);
  EXPECT_EQ(amount.AsDouble(), 1.5);
  EXPECT_EQ(amount.AsInteger(), 2) << "1.5 rounds to the even neighbour";
  EXPECT_EQ(amount, VarFromCurrency(15000));
  EXPECT_FALSE(amount == Variant(1.5)) << "a currency amount is not the real of the same value";
  EXPECT_FALSE(VarFromCurrency(0) == Variant(int32_t(0)));
}

TEST(CurrencyVariant, TextGoesThroughTheSettings) {
  EXPECT_EQ(VarFromCurrency(-125000).AsString(), "-12.5");
  EXPECT_EQ(VarFromCurrency(-125000).AsString(Comma()), "-12,5");
  EXPECT_EQ(VarFromCurrency(30000).AsString(), "3") << "no decimals when they are all zero";
  EXPECT_EQ(VarFromCurrency(1).AsString(), "0.0001");
  EXPECT_EQ(VarFromCurrency(INT64_MIN).AsString(), "-922337203685477.5808");
  EXPECT_EQ(VarFromCurrency(INT64_MAX).AsString(Comma()), "922337203685477,5807");
  EXPECT_EQ(Variant(2.25).AsString(Comma()), "2,25") << "reals take the settings too";

  EXPECT_EQ(VarCurrFromStr("12,34565", Comma()), VarFromCurrency(123456)) << "rounded, halves to even";
  ExpectRaises<EConvertError>([] { VarCurrFromStr("12.5", Comma()); }, "\"12.5\" is not a valid currency value");
  ExpectRaises<EConvertError>([] { VarCurrFromStr("922337203685478", TFormatSettings{}); },
                              "\"922337203685478\" is not a valid currency value");
}

TEST(CurrencyVariant, OtherKindsConvertToAmounts) {
  EXPECT_EQ(Variant(int32_t(-7)).AsCurrency(), -70000);
  EXPECT_EQ(Variant(true).AsCurrency(), 10000);
  // 33/32 and 35/32 are exact halves of a ten-thousandth: halves go to the even one.
  EXPECT_EQ(Variant(1.03125).AsCurrency(), 10312);
  EXPECT_EQ(Variant(1.09375).AsCurrency(), 10938);
  EXPECT_EQ(Variant(1e15).AsCurrency(-1), -1) << "beyond the range";
  EXPECT_EQ(Variant(std::nan("")).AsCurrency(-1), -1);
  EXPECT_EQ(Variant("2.5").AsCurrency(), 25000);
  EXPECT_EQ(Variant("2,5").AsCurrency(-1), -1) << "text without settings reads with \".\"";
  EXPECT_EQ(Variant().AsCurrency(-1), -1);
  EXPECT_EQ(Variant::Null().AsCurrency(-1), -1);
  EXPECT_EQ(Variant("abc").AsDouble(-1), -1);
  EXPECT_EQ(Variant("2.75").AsDouble(), 2.75);
  EXPECT_EQ(Variant::Null().AsDouble(-1), -1);
  // Dates and amounts meet as day counts.
  EXPECT_EQ(VarFromDateTime(2.75).AsCurrency(), 27500);
  EXPECT_EQ(VarFromDateTime(2.75).AsDouble(), 2.75);
  EXPECT_EQ(VarFromCurrency(27500).AsDateTime(), 2.75);
}

}  // namespace
