// The report's line lists: every line comes back in order with its level, whatever its
// bytes and however the lines fall across the list's pieces; and the load warnings, whose
// lines stay within their bound whatever is told.
#include <gtest/gtest.h>

#include <algorithm>
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

// The load warnings as written: each line with its level.
std::vector<std::pair<std::string, int>> All(const TReportWarnings& warnings) {
  std::vector<std::pair<std::string, int>> all;
  warnings.ForEach([&](std::string_view text, uint8_t level) { all.emplace_back(text, level); });
  return all;
}

// Tells one warning of one line at level 2, its key the line without its number.
void Tell(TReportWarnings& warnings, const std::string& what, int64_t line, uint8_t tellEach = 10) {
  const std::string text = "WARNING: " + what + " at line " + std::to_string(line);
  if (warnings.Tell(what, line, text.size(), 2, tellEach))
    warnings.AddLine(text, 2, /*carries=*/true);
}

// Two kinds in turn are each told ten times and the rest of each counted in its tenth
// line, with their lines; numbers and quoted texts are no part of a kind.
TEST(ReportWarnings, EachKindIsToldTenTimesAndTheRestCountedInItsLastLine) {
  TReportWarnings warnings;
  for (int64_t line = 1; line <= 40; ++line)
    Tell(warnings, line % 2 ? "A block \"" + std::to_string(line) + "\" 7" : "Stray text", line);
  Tell(warnings, "Once", 50, 1);
  Tell(warnings, "Once", 60, 1);
  const auto all = All(warnings);
  ASSERT_EQ(all.size(), 21u);
  EXPECT_EQ(all[0], std::make_pair(std::string("WARNING: A block \"1\" 7 at line 1"), 2));
  EXPECT_EQ(all[18].first, "WARNING: A block \"19\" 7 at line 19; 10 more of this kind are "
                           "counted, not told one by one (lines 21 to 39)");
  EXPECT_EQ(all[19].first, "WARNING: Stray text at line 20; 10 more of this kind are counted, "
                           "not told one by one (lines 22 to 40)");
  EXPECT_EQ(all[20].first, "WARNING: Once at line 50; 1 more of this kind is counted, not told "
                           "one by one (line 60)");
}

// Fault: every warning was kept, so a file of unknown blocks took the host's memory. A
// million warnings of kinds without end and texts of 64 KB keep about the bound; the
// rest are counted, those of kinds not told in one line of their own.
TEST(ReportWarnings, TheLinesKeptStayWithinTheBoundWhateverIsTold) {
  TReportWarnings warnings;
  const std::string longText(65536, 'x');
  int64_t told = 0;
  for (int64_t i = 0; i < 1000000; ++i) {
    std::string kind;  // a name of letters: no two alike
    for (int64_t n = i; n > 0; n /= 26)
      kind += static_cast<char>('a' + n % 26);
    const std::string& what = i % 1000 == 0 ? longText : kind;
    if (warnings.Tell(what, i + 1, what.size() + 20, 2)) {
      ++told;
      warnings.AddLine("WARNING: " + what, 2, /*carries=*/true);
      warnings.AddLine("detail", 3);
    }
  }
  EXPECT_LE(warnings.GetToldBytes(), TReportWarnings::kToldBytes + 70000);
  EXPECT_LE(told, static_cast<int64_t>(TReportWarnings::kMaxKinds) + 9);  // one kind told ten times
  const auto all = All(warnings);
  EXPECT_EQ(all.size(), static_cast<size_t>(2 * told + 1));
  const auto others = std::find_if(all.begin(), all.end(), [](const auto& line) {
    return line.first.find(" of kinds beyond") != std::string::npos;
  });
  ASSERT_NE(others, all.end());
  EXPECT_EQ(others->first.substr(0, others->first.find(" more")),
            "WARNING: " + std::to_string(1000000 - told - 990));
  EXPECT_EQ(others->first.substr(others->first.size() - 12), " to 1000000)");
  EXPECT_EQ(std::count_if(all.begin(), all.end(), [](const auto& line) {
              return line.first.find("; 990 more of this kind are counted") != std::string::npos;
            }),
            1);
}

}  // namespace
