// The dumps' writer and the call log on their own: values in the dump's forms, the pieces
// of whole lines the writer hands on, and calls written back as they were made.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "standin/ravelo/RaveloCallLog.h"
#include "standin/ravelo/RaveloTextWriter.h"

namespace {

template <class F>
std::string Written(F&& write) {
  return RaveloTextOf([&](TRaveloTextWriter& out) { write(out); });
}

std::string Mil(int32_t units) {
  return Written([&](TRaveloTextWriter& out) { out.Mil(units); });
}

std::string Real(double value) {
  return Written([&](TRaveloTextWriter& out) { out.Real(value); });
}

std::string Number(int64_t value) {
  return Written([&](TRaveloTextWriter& out) { out.Number(value); });
}

// Mils are thousandths computed in doubles and rounded half to even, as the plug-in's
// coordinate text: the ties the division leaves inexact fall as the doubles have them.
TEST(RaveloTextWriter, MilTextsFollowTheCoordinateRule) {
  EXPECT_EQ(Mil(25000), "2.5mil");
  EXPECT_EQ(Mil(0), "0mil");
  EXPECT_EQ(Mil(5), "0mil");  // half a thousandth: to the even 0
  EXPECT_EQ(Mil(-5), "0mil");
  EXPECT_EQ(Mil(15), "0.002mil");
  EXPECT_EQ(Mil(25), "0.002mil");
  EXPECT_EQ(Mil(-15), "-0.002mil");
  EXPECT_EQ(Mil(1000000), "100mil");
  EXPECT_EQ(Mil(123456789), "12345.679mil");
  EXPECT_EQ(Mil(INT32_MAX), "214748.365mil");
  EXPECT_EQ(Mil(INT32_MIN), "-214748.365mil");
  // Ties of the decimal value that the doubles do not hold exactly.
  EXPECT_EQ(Mil(-1342177155), "-134217.715mil");
  EXPECT_EQ(Mil(-1342177245), "-134217.725mil");
}

TEST(RaveloTextWriter, NumbersRealsAndTextsInTheDumpsForms) {
  EXPECT_EQ(Number(0), "0");
  EXPECT_EQ(Number(-1), "-1");
  EXPECT_EQ(Number(4294967295), "4294967295");
  EXPECT_EQ(Number(-4294967295), "-4294967295");
  EXPECT_EQ(Number(4294967296), "4294967296");
  EXPECT_EQ(Number(INT64_MIN), "-9223372036854775808");

  EXPECT_EQ(Real(90), "90");
  EXPECT_EQ(Real(-0.0), "0");
  EXPECT_EQ(Real(-1e-9), "0");
  EXPECT_EQ(Real(45.5), "45.5");
  EXPECT_EQ(Real(0.1234564), "0.123456");
  EXPECT_EQ(Real(-2147483648.5), "-2147483648.5");
  // Fault: a value of more than 56 digits was cut to 63 characters (a buffer of 64).
  EXPECT_EQ(Real(1e70), "10000000000000000725314363815292351261583744096465219555182101554790400");

  EXPECT_EQ(Written([](TRaveloTextWriter& out) { out.Quoted("a\"b\\c\x01\x7f" "d"); }),
            "\"a\\\"b\\\\c\\x01\\x7Fd\"");
  EXPECT_EQ(Written([](TRaveloTextWriter& out) {
              out.Handle(0).Ref("owner", 7).Coord("X", -25000).Int("n", 3).Angle("a", 1.5);
            }),
            "- owner=#7 X=-25000(-2.5mil) n=3 a=1.5");
}

struct TPieces {
  std::vector<std::string> Taken;
  size_t StopAt = SIZE_MAX;  // answers false for this piece
  static bool Take(void* context, const char* text, size_t length) {
    auto& pieces = *static_cast<TPieces*>(context);
    pieces.Taken.emplace_back(text, length);
    return pieces.Taken.size() != pieces.StopAt + 1;
  }
};

// The sink gets whole lines only, a line longer than a piece whole, and nothing after it
// said stop.
TEST(RaveloTextWriter, HandsOnPiecesOfWholeLinesUntilTheSinkStops) {
  TPieces pieces;
  std::string expected;
  {
    TRaveloTextWriter out(TPieces::Take, &pieces);
    for (int i = 0; i < 20000; ++i) {
      out.Raw("line ").Number(i);
      out.EndLine();
      expected += "line " + std::to_string(i) + "\n";
      if (i == 9000) {
        const std::string wide(200000, 'w');
        out.Raw(wide).EndLine();
        expected += wide + "\n";
      }
    }
    EXPECT_TRUE(out.Finish());
  }
  std::string joined;
  ASSERT_GT(pieces.Taken.size(), 3u);
  for (const std::string& piece : pieces.Taken) {
    EXPECT_EQ(piece.back(), '\n');
    joined += piece;
  }
  EXPECT_EQ(joined, expected);

  TPieces stopping;
  stopping.StopAt = 1;
  TRaveloTextWriter out(TPieces::Take, &stopping);
  for (int i = 0; i < 50000 && !out.Stopped(); ++i)
    out.Raw("another line").EndLine();
  EXPECT_TRUE(out.Stopped());
  EXPECT_FALSE(out.Finish());
  EXPECT_EQ(stopping.Taken.size(), 2u);
}

// Numbers are kept as changes from the last large one: signs, widths and runs of nearby
// and far handles come back as they were given.
TEST(RaveloCallLog, WritesEveryCallBackAsItWasMade) {
  TRaveloCallLog log;
  const char* const a = "PcbApi_A";
  const char* const b = "PcbApi_B";
  log.Begin(a, 3, true);
  log.Argument(uint8_t{1});
  log.Argument(uint32_t{4000000000u});
  log.Argument(int32_t{-7});
  log.Result(-2);
  log.Begin(b, 2, false);
  log.Argument(static_cast<const char*>(nullptr));
  log.Argument("x \"y\"");
  log.Begin(a, 3, true);
  log.Argument(uint32_t{100000});
  log.Argument(uint32_t{100001});
  log.Argument(int32_t{-99990});
  log.Result(100002);
  log.Begin(a, 1, false);  // the same name with another shape
  log.Argument(int16_t{-64});
  log.Begin(b, 0, true);
  log.Result(63);
  EXPECT_EQ(log.GetCount(), 5u);
  EXPECT_EQ(log.Text(),
            "PcbApi_A(1, 4000000000, -7) = -2\n"
            "PcbApi_B(null, \"x \"y\"\")\n"
            "PcbApi_A(100000, 100001, -99990) = 100002\n"
            "PcbApi_A(-64)\n"
            "PcbApi_B() = 63\n");
  log.Clear();
  EXPECT_EQ(log.Text(), "");
  log.Begin(b, 1, true);
  log.Argument(uint32_t{100001});
  log.Result(0);
  EXPECT_EQ(log.Text(), "PcbApi_B(100001) = 0\n");
}

}  // namespace
