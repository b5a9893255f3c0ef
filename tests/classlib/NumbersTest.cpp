#include <climits>
#include <cstdint>
#include <cmath>
#include <limits>

#include <gtest/gtest.h>

#include "classlib/FloatFormat.h"
#include "classlib/SysUtils.h"
#include "classlib/Win.h"
#include "tests/classlib/ExpectError.h"

namespace {

TEST(Rounding, RoundTakesHalvesToTheEvenNeighbour) {
  EXPECT_EQ(Round(0.5), 0);
  EXPECT_EQ(Round(1.5), 2);
  EXPECT_EQ(Round(2.5), 2);
  EXPECT_EQ(Round(3.5), 4);
  EXPECT_EQ(Round(-0.5), 0);
  EXPECT_EQ(Round(-1.5), -2);
  EXPECT_EQ(Round(-2.5), -2);
  // Just either side of a half; a "+ 0.5 then floor" rounding gets the first one wrong.
  EXPECT_EQ(Round(0.49999999999999994), 0);
  EXPECT_EQ(Round(2.5000000000000004), 3);
  EXPECT_EQ(Round(-2.4999999999999996), -2);
  EXPECT_EQ(Round(4503599627370497.0), 4503599627370497LL);  // 2^52 + 1, already whole
  EXPECT_THROW(Round(std::nan("")), EConvertError);
  EXPECT_THROW(Round(1e19), EConvertError);
}

TEST(Rounding, TruncCutsTowardZeroAndFracKeepsTheSign) {
  EXPECT_EQ(Trunc(2.9), 2);
  EXPECT_EQ(Trunc(-2.9), -2);
  EXPECT_EQ(Trunc(-0.5), 0);
  EXPECT_EQ(Trunc(-9.2e18), -9200000000000000000LL);
  EXPECT_THROW(Trunc(-1e19), EConvertError);
  EXPECT_DOUBLE_EQ(Frac(-1.25), -0.25);
  EXPECT_DOUBLE_EQ(Frac(3.75), 0.75);
}

TEST(Rounding, MulDivRoundsHalvesAwayFromZeroAndFailsOnZeroDivisor) {
  EXPECT_EQ(MulDiv(1, 1, 2), 1);
  EXPECT_EQ(MulDiv(-1, 1, 2), -1);
  EXPECT_EQ(MulDiv(3, 1, 2), 2);
  EXPECT_EQ(MulDiv(1, 1, 3), 0);
  EXPECT_EQ(MulDiv(2, 1, 3), 1);
  EXPECT_EQ(MulDiv(8, 7, 4), 14);
  EXPECT_EQ(MulDiv(160, 100, 300), 53);
  EXPECT_EQ(MulDiv(INT_MAX, 2, 2), INT_MAX);  // the product does not overflow
  EXPECT_EQ(MulDiv(5, 1, 0), -1);
  EXPECT_EQ(MulDiv(INT_MAX, 4, 1), -1);  // the result does not fit
}

TEST(IntegerText, ConvertsBothWays) {
  EXPECT_EQ(IntToStr(-123), "-123");
  EXPECT_EQ(IntToStr(LLONG_MIN), "-9223372036854775808");
  EXPECT_EQ(IntToHex(255, 4), "00FF");
  EXPECT_EQ(IntToHex(0xABCDEF, 2), "ABCDEF");
  EXPECT_EQ(IntToHex(static_cast<uint32_t>(-1), 2), "FFFFFFFF");
  EXPECT_EQ(StrToInt("+3"), 3);
  EXPECT_EQ(StrToInt("-2147483648"), INT_MIN);
  EXPECT_EQ(StrToInt("007"), 7);
  EXPECT_EQ(StrToIntDef("x", -32000), -32000);
  int32_t value = 5;
  for (const char* text : {"", "-", "+", " 12", "12 ", " 12x", "0x10", "$10", "1e3", "1.0",
                           "2147483648", "--1", "+-1"}) {
    EXPECT_FALSE(TryStrToInt(text, value)) << text;
  }
  EXPECT_EQ(value, 5);  // untouched by failures
  ExpectRaises<EConvertError>([] { StrToInt("12a"); }, "\"12a\" is not a valid integer value");
}

TEST(RealText, AcceptsPlainDecimalAndExponentNotation) {
  struct {
    const char* text;
    double value;
  } cases[] = {{"-1.5", -1.5}, {"2.", 2.0},      {".5", 0.5},         {"+2.5e+2", 250.0},
               {"1E-3", 1e-3}, {"0", 0.0},       {"-0.0", 0.0},       {"123456789012", 123456789012.0},
               {"1e0", 1.0},   {"5e-324", 5e-324}, {"1.7976931348623157e308", 1.7976931348623157e308}};
  for (auto& c : cases) {
    double value = 0;
    EXPECT_TRUE(TryStrToFloat(c.text, value)) << c.text;
    EXPECT_EQ(value, c.value) << c.text;
  }
  EXPECT_EQ(StrToFloat("0.1"), 0.1);  // correctly rounded, not accumulated digit by digit
}

TEST(RealText, RejectsEverythingElse) {
  double value = 7;
  for (const char* text : {"1e", "1e+", "e5", "inf", "-inf", "nan", "NAN", "infinity", "0x10",
                           "0x1p3", " 12x", " 12", "12 ", ".", "-", "+", "", "1,5", "1.2.3",
                           "--1", "1e999", "-1e999", "1e5.5", "1d3"}) {
    EXPECT_FALSE(TryStrToFloat(text, value)) << text;
  }
  EXPECT_EQ(value, 7);
  EXPECT_EQ(StrToFloatDef("x", -32000), -32000);
  ExpectRaises<EConvertError>([] { StrToFloat("1e"); },
                              "\"1e\" is not a valid floating point value");
}

TEST(RealText, TheDecimalSeparatorComesFromTheSettingsPassedIn) {
  TFormatSettings comma;
  comma.DecimalSeparator = ',';
  EXPECT_EQ(StrToFloat("1,5", comma), 1.5);
  double value;
  EXPECT_FALSE(TryStrToFloat("1.5", value, comma));
  // Regression: with a comma-decimal locale every KIVO real failed, as the conversion
  // followed the locale. Without settings "." is the point, whatever FormatSettings says.
  TFormatSettings saved = FormatSettings;
  FormatSettings.DecimalSeparator = ',';
  EXPECT_EQ(StrToFloat("1.5"), 1.5);
  EXPECT_EQ(FloatToStr(1.5), "1.5");
  FormatSettings = saved;
}

TEST(CurrencyText, AmountsAreWholeTenThousandths) {
  // Regression (currency scaling): an amount read as "1.5" is 15000 ten-thousandths, so
  // dividing by 10000 gives back 1.5; dividing the parsed amount itself gave 0.00015.
  TFormatSettings comma;
  comma.DecimalSeparator = ',';
  EXPECT_EQ(StrToCurr("1,5", comma), 15000);
  EXPECT_EQ(double(StrToCurr("1,5", comma)) / kCurrencyScale, 1.5);
  EXPECT_EQ(StrToCurr("-12,34567", comma), -123457);
  EXPECT_EQ(StrToCurr("0,00005", comma), 0) << "halves go to the even neighbour";
  EXPECT_EQ(StrToCurr("0,00015", comma), 2);
  EXPECT_EQ(StrToCurr("922337203685477", comma), 9223372036854770000);
  EXPECT_EQ(StrToCurr("1e3", comma), 10000000);
  EXPECT_EQ(StrToCurr("0,00025", comma), 2);
  EXPECT_EQ(StrToCurr("0,000051", comma), 1);
  EXPECT_EQ(StrToCurr("0,000009", comma), 0);
  EXPECT_EQ(StrToCurr("1e-9", comma), 0);
  EXPECT_EQ(StrToCurr("0,1", comma), 1000) << "exactly, as written";
  EXPECT_EQ(StrToCurr("922337203685477,5807", comma), INT64_MAX);
  EXPECT_EQ(StrToCurr("-922337203685477,5808", comma), INT64_MIN);
  int64_t scaled = 7;
  for (const char* bad : {"", "1.5", "1,5 ", "$1", "922337203685477,5808", "1e300", "1e99999999999"})
    EXPECT_FALSE(TryStrToCurr(bad, scaled, comma)) << bad;
  EXPECT_EQ(scaled, 7) << "a refused text leaves the value alone";
  EXPECT_THROW(StrToCurr("x", comma), EConvertError);
}

TEST(FloatText, GeneralFormUsesFifteenDigitsAndSwitchesToExponents) {
  EXPECT_EQ(FloatToStr(0), "0");
  EXPECT_EQ(FloatToStr(0.1), "0.1");
  EXPECT_EQ(FloatToStr(-1.5), "-1.5");
  EXPECT_EQ(FloatToStr(100), "100");
  EXPECT_EQ(FloatToStr(1.0 / 3), "0.333333333333333");
  EXPECT_EQ(FloatToStr(2.0 / 3), "0.666666666666667");
  EXPECT_EQ(FloatToStr(123456789012345.0), "123456789012345");
  EXPECT_EQ(FloatToStr(1234567890123456.0), "1.23456789012346E15");
  EXPECT_EQ(FloatToStr(1e15), "1E15");
  EXPECT_EQ(FloatToStr(0.00001), "0.00001");
  EXPECT_EQ(FloatToStr(0.000001), "1E-6");
  EXPECT_EQ(FloatToStr(-2.5e-7), "-2.5E-7");
  EXPECT_EQ(FloatToStr(0.30000000000000004), "0.3");
  EXPECT_EQ(FloatToStrF(1e20, ffGeneral, 15, 3), "1E020");
  EXPECT_EQ(FloatToStr(std::numeric_limits<double>::infinity()), "INF");
  TFormatSettings comma;
  comma.DecimalSeparator = ',';
  EXPECT_EQ(FloatToStr(2.25, comma), "2,25");
}

TEST(FloatText, FixedFormShowsExactlyTheDecimalsAsked) {
  EXPECT_EQ(FloatToStrF(2.5, ffFixed, 15, 3), "2.500");
  EXPECT_EQ(FloatToStrF(100, ffFixed, 15, 3), "100.000");
  EXPECT_EQ(FloatToStrF(0.0254, ffFixed, 15, 5), "0.02540");
  EXPECT_EQ(FloatToStrF(-1.23456, ffFixed, 15, 3), "-1.235");
  EXPECT_EQ(FloatToStrF(7, ffFixed, 15, 0), "7");
  // A value that rounds to zero shows no sign.
  EXPECT_EQ(FloatToStrF(-0.0004, ffFixed, 15, 3), "0.000");
  // Precision limits the significant digits before the decimals are padded.
  EXPECT_EQ(FloatToStrF(1.23456789, ffFixed, 3, 5), "1.23000");
  EXPECT_EQ(FloatToStrF(0.000123456, ffFixed, 2, 6), "0.000120");
  EXPECT_EQ(FloatToStrF(123456.0, ffFixed, 4, 2), "1.235E5");
}

TEST(FloatText, DecimalRoundingWorksOnTheExactValueAndTakesHalvesUp) {
  // 0.0625 and 0.125 are exact halves in binary; 1.005 is stored just below 1.005.
  EXPECT_EQ(FloatToStrF(0.0625, ffFixed, 15, 3), "0.063");
  EXPECT_EQ(FloatToStrF(-0.0625, ffFixed, 15, 3), "-0.063");
  EXPECT_EQ(FormatFloat("0.00", 0.125), "0.13");
  EXPECT_EQ(FormatFloat("0.00", 1.005), "1.00");
  EXPECT_EQ(FloatToStrF(2.5, ffFixed, 15, 0), "3");
  EXPECT_EQ(FloatToStrF(9.9996, ffFixed, 15, 3), "10.000");  // the carry adds a digit
  EXPECT_EQ(FloatToStrF(0.006, ffFixed, 15, 2), "0.01");
  EXPECT_EQ(FloatToStrF(0.004, ffFixed, 15, 2), "0.00");
}

TEST(FloatText, FormatFloatFollowsThePicture) {
  EXPECT_EQ(FormatFloat("$,0.00;-$,0.00", 1234.5), "$1,234.50");
  EXPECT_EQ(FormatFloat("$,0.00;-$,0.00", -1234567.125), "-$1,234,567.13");
  EXPECT_EQ(FormatFloat("#,##0.00", 999.999), "1,000.00");
  EXPECT_EQ(FormatFloat(",0.00 'kr'", 12.3), "12.30 kr");
  EXPECT_EQ(FormatFloat("0.##", 1), "1");
  EXPECT_EQ(FormatFloat("0.##", 1.5), "1.5");
  EXPECT_EQ(FormatFloat("0.0#", 2), "2.0");
  EXPECT_EQ(FormatFloat("#.##", 0.5), ".5");
  EXPECT_EQ(FormatFloat("000", 7), "007");
  EXPECT_EQ(FormatFloat("0", 12345), "12345");
  EXPECT_EQ(FormatFloat("000-000", 12345), "012-345");
  EXPECT_EQ(FormatFloat("0.0", -0.01), "0.0");
  EXPECT_EQ(FormatFloat("0.00", -2.5), "-2.50");
  EXPECT_EQ(FormatFloat("\"#\"0", 5), "#5");
  EXPECT_EQ(FormatFloat("0.00E+00", 12345), "1.23E+04");
  EXPECT_EQ(FormatFloat("0.0E-0", 0.000123), "1.2E-4");
  EXPECT_EQ(FormatFloat("0.0E-0", 123), "1.2E2");
  EXPECT_EQ(FormatFloat("", 0.5), "0.5");
}

TEST(FloatText, FormatFloatSectionsChooseBySign) {
  const char* format = "0.00;(0.00);'zero'";
  EXPECT_EQ(FormatFloat(format, 5), "5.00");
  EXPECT_EQ(FormatFloat(format, -5), "(5.00)");
  EXPECT_EQ(FormatFloat(format, 0), "zero");
  EXPECT_EQ(FormatFloat(format, 0.001), "zero");  // shows as zero
  EXPECT_EQ(FormatFloat("0.0;;'nil'", -1), "-1.0");  // an empty section uses the first
  EXPECT_EQ(FormatFloat("'a;b' 0", 1), "a;b 1");
  TFormatSettings german;
  german.DecimalSeparator = ',';
  german.ThousandSeparator = '.';
  EXPECT_EQ(FormatFloat("#,##0.00", 1234.5, german), "1.234,50");
}

}  // namespace
