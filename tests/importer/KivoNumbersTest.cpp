// The reader's fast number path against the general conversions it stands in for:
// 1,000,000 random and hostile number texts must read the same (readable or not, and
// then the same value to the bit), and the SSE2 rounding of coordinates must agree with
// the runtime's rounding to nearest, ties to even.
#include <gtest/gtest.h>

#include <cfenv>
#include <climits>
#include <cmath>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "classlib/SysUtils.h"
#include "importer/KivoFile.h"
#include "importer/KivoNumbers.h"

namespace {

uint64_t Bits(double value) {
  uint64_t bits;
  std::memcpy(&bits, &value, sizeof bits);
  return bits;
}

// Texts made to sit on the fast path's borders: digit counts around 9 and 15 and around
// the 32-bit range, signs alone and doubled, leading zeros, decimal points and exponents,
// characters just outside the digits, blanks, NULs and bytes above 127.
std::vector<std::string> HostileTexts() {
  std::vector<std::string> texts = {
      "", "+", "-", "+-1", "--1", "-+0", "0", "-0", "+0", "00", "-00",
      "1.", ".1", "1.0", "-0.0", "1e3", "1E3", "1e", "e1", "1,5", " 1", "1 ", "1-",
      "/", ":", "0/", "9:", "2147483647", "2147483648", "-2147483648", "-2147483649",
      "+2147483647", "+2147483648", "4294967296", "999999999", "1000000000",
      "999999999999999", "1000000000000000", "-999999999999999", "9007199254740993",
      "0000000000000001", "000000000000001", "-000000000000000", "18446744073709551616",
      std::string("1\0" "2", 3), std::string("\0", 1), "\x80" "1", "1\xff", "\xb2",
      "0x10", "1_000", "inf", "nan", "-inf", "1e400", "1e-400", "00000000002147483648",
      // around the ninth digit, where the fast path goes from 32 to 64 bits
      "9999999999", "-4294967295", "123456789/", "1234567890/", "12345678/9", "000000000"};
  return texts;
}

class TTextMaker {
 public:
  explicit TTextMaker(uint32_t seed) : FRandom(seed) {}

  std::string Next() {
    switch (Pick(8)) {
      case 0:
      case 1:
      case 2: {  // a plain integer of 1 to 20 digits, with or without a sign
        std::string text = Sign();
        const int digits = 1 + Pick(20);
        for (int i = 0; i < digits; ++i)
          text += static_cast<char>('0' + Pick(10));
        return text;
      }
      case 3: {  // near the 32-bit and the exact-double borders
        static const int64_t borders[] = {INT32_MAX, int64_t{INT32_MAX} + 1, 999999999999999,
                                          1000000000000000, 0};
        const int64_t value = borders[Pick(5)] + Pick(5) - 2;
        return Sign() + std::to_string(value < 0 ? -value : value);
      }
      case 4: {  // a real in plain or exponent notation
        std::string text = Sign() + std::to_string(Pick(100000));
        if (Pick(2))
          text += "." + std::to_string(Pick(1000));
        if (Pick(3) == 0)
          text += (Pick(2) ? "e" : "E") + Sign() + std::to_string(Pick(400));
        return text;
      }
      default: {  // anything, from the characters of numbers and their neighbours
        static const char alphabet[] = "0123456789+-.eE,/: x\x80\xff";
        std::string text;
        const int length = Pick(18);
        for (int i = 0; i < length; ++i)
          text += Pick(40) == 0 ? '\0' : alphabet[Pick(sizeof alphabet - 1)];
        return text;
      }
    }
  }

 private:
  int Pick(int count) { return std::uniform_int_distribution<int>(0, count - 1)(FRandom); }
  std::string Sign() {
    const int sign = Pick(4);
    return sign == 0 ? "-" : sign == 1 ? "+" : "";
  }

  std::mt19937 FRandom;
};

// Compares both conversions of `text`; counts the texts the fast path took.
void ExpectSameReading(const std::string& text, int& fastTaken, int& failures) {
  double fast = 1.25, general = 1.25;
  const bool fastOk = TryKivoFloat(text, fast);
  const bool generalOk = TryStrToFloat(text, general);
  int32_t fastInt = 7, generalInt = 7;
  const bool fastIntOk = TryKivoInteger(text, fastInt);
  const bool generalIntOk = TryStrToInt(text, generalInt);
  int64_t magnitude;
  bool negative;
  fastTaken += KivoNumbersDetail::TryPlainInteger(text, magnitude, negative);
  if (fastOk == generalOk && Bits(fast) == Bits(general) && fastIntOk == generalIntOk &&
      fastInt == generalInt)
    return;
  if (++failures <= 20)
    ADD_FAILURE() << "\"" << text << "\": real " << fastOk << " " << fast << " against "
                  << generalOk << " " << general << "; integer " << fastIntOk << " " << fastInt
                  << " against " << generalIntOk << " " << generalInt;
}

TEST(KivoNumbersTest, FastPathAgreesWithTheGeneralConversionsOnAMillionTexts) {
  int fastTaken = 0, failures = 0;
  const std::vector<std::string> hostile = HostileTexts();
  for (const std::string& text : hostile)
    ExpectSameReading(text, fastTaken, failures);
  TTextMaker maker(20261207);
  for (size_t i = hostile.size(); i < 1000000; ++i)
    ExpectSameReading(maker.Next(), fastTaken, failures);
  EXPECT_EQ(failures, 0);
  // Both paths are really exercised.
  EXPECT_GT(fastTaken, 300000);
  EXPECT_LT(fastTaken, 700000);
}

TEST(KivoNumbersTest, CoordinateRoundingAgreesWithTheRuntimeTiesToEven) {
  ASSERT_EQ(std::fegetround(), FE_TONEAREST);
  // The runtime's rounding and saturation, as coordinates were rounded before.
  auto reference = [](double value, double scale, int32_t grid) {
    const double product = value * scale * static_cast<double>(grid);
    if (std::isnan(product))
      return 0;
    const double rounded = std::nearbyint(product);
    if (rounded >= static_cast<double>(INT_MAX))
      return INT_MAX;
    if (rounded <= static_cast<double>(INT_MIN))
      return INT_MIN;
    return static_cast<int32_t>(rounded);
  };
  std::mt19937 random(7);
  std::uniform_real_distribution<double> any(-3e5, 3e5);
  const double scales[] = {1, 3937, 393701, 394, 10000, 0.5};
  const double edges[] = {0.5, -0.5, 1.5, -1.5, 2.5, 2147483646.5, 2147483647.0, 2147483647.5,
                          -2147483648.5, -2147483648.0, -2147483647.5, 1e300, -1e300,
                          INFINITY, -INFINITY, NAN, -0.0, 4503599627370495.5};
  for (double value : edges)
    EXPECT_EQ(KivoCoordinate(value, 1, 1), reference(value, 1, 1)) << value;
  for (int i = 0; i < 200000; ++i) {
    // Halves and quarters as often as anything else.
    const double value = i % 3 == 0 ? std::round(any(random) * 4) / 4 : any(random);
    const double scale = scales[i % 6];
    const int32_t grid = 1 + i % 4;
    ASSERT_EQ(KivoCoordinate(value, scale, grid), reference(value, scale, grid))
        << value << " x " << scale << " x " << grid;
  }
}

}  // namespace
