#include "tests/importer/GoldenFiles.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "tests/importer/ImporterTestSupport.h"

std::string SourcePath(const std::string& relative) {
  return std::string("Z:") + KIVO_SOURCE_DIR + "/" + relative;
}

std::string FirstDifference(const std::string& expected, const std::string& actual) {
  auto lines = [](const std::string& text) {
    std::vector<std::string> result;
    size_t start = 0;
    while (start < text.size()) {
      size_t end = text.find('\n', start);
      if (end == std::string::npos)
        end = text.size();
      result.push_back(text.substr(start, end - start));
      start = end + 1;
    }
    return result;
  };
  const std::vector<std::string> want = lines(expected), got = lines(actual);
  for (size_t i = 0; i < std::max(want.size(), got.size()); ++i) {
    const std::string w = i < want.size() ? want[i] : "<end of golden>";
    const std::string g = i < got.size() ? got[i] : "<end of result>";
    if (w != g)
      return "line " + std::to_string(i + 1) + "\n  golden: " + w + "\n  result: " + g;
  }
  return {};
}

std::string ReplaceAll(std::string text, const std::string& from, const std::string& to) {
  for (size_t at = 0; (at = text.find(from, at)) != std::string::npos; at += to.size())
    text.replace(at, from.size(), to);
  return text;
}

std::string ReplaceLineRest(std::string text, const std::string& prefix, const std::string& to) {
  const size_t at = text.find(prefix);
  if (at == std::string::npos)
    return text;
  const size_t end = text.find_first_of("\r\n", at);
  return text.replace(at + prefix.size(), end - at - prefix.size(), to);
}

void ExpectGolden(const std::string& golden, const std::string& actual) {
  const std::string expected = ReadWholeFile(SourcePath("tests/importer/golden/" + golden));
  if (expected == "<missing>") {
    const std::string name = ReplaceAll(golden, "/", "-");
    WriteScratchFile(name, actual);
    FAIL() << "no golden " << golden << "; this one is in " << ScratchFolder() << name;
  }
  EXPECT_EQ(FirstDifference(expected, actual), "") << golden;
}
