// The report's line lists: every line comes back in order with its level, whatever its
// bytes and however the lines fall across the list's pieces.
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "importer/ReportLines.h"

namespace {

std::vector<std::pair<std::string, int>> All(const TReportLines& lines) {
  std::vector<std::pair<std::string, int>> all;
  lines.ForEach([&](std::string_view text, uint8_t level) { all.emplace_back(text, level); });
  return all;
}

TEST(ReportLines, LinesComeBackInOrderWithTheirLevelsAndBytes) {
  TReportLines lines;
  EXPECT_TRUE(All(lines).empty());
  const std::string odd("a\0b\r\n\xff", 6);
  lines.Add("Load Events: Header Infomation.", 1);
  lines.Add("", 4);
  lines.Add(odd, 3);
  EXPECT_EQ(lines.GetCount(), 3u);
  EXPECT_EQ(All(lines), (std::vector<std::pair<std::string, int>>{
                            {"Load Events: Header Infomation.", 1}, {"", 4}, {odd, 3}}));
}

TEST(ReportLines, ManyLinesAndALineLongerThanAPieceCrossPieces) {
  TReportLines lines;
  std::vector<std::pair<std::string, int>> expected;
  for (int i = 0; i < 60000; ++i) {
    expected.emplace_back("Track Added From: " + std::to_string(i) + "mil", i % 4 + 1);
    lines.Add(expected.back().first, static_cast<uint8_t>(expected.back().second));
  }
  expected.emplace_back(std::string(3 << 20, 'x'), 2);
  lines.Add(expected.back().first, 2);
  expected.emplace_back("after", 1);
  lines.Add("after", 1);
  EXPECT_EQ(lines.GetCount(), expected.size());
  EXPECT_EQ(All(lines), expected);
}

// A record's length takes one byte below 255 and five from 255 on; the two and four
// coordinates of import events (8 and 16 bytes) are copied apart from the rest.
TEST(ReportLines, LengthsAroundTheShortLengthsLimitComeBackWhole) {
  TReportLines lines;
  std::vector<std::pair<std::string, int>> expected;
  for (size_t length : {0u, 1u, 8u, 15u, 16u, 17u, 254u, 255u, 256u, 70000u}) {
    expected.emplace_back(std::string(length, static_cast<char>('a' + length % 26)), 7);
    lines.Add(expected.back().first, 7);
  }
  EXPECT_EQ(All(lines), expected);
}

}  // namespace
