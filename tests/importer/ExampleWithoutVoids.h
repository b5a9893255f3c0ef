// The example board without its polygon voids (lines 221 to 223), which imports without
// a warning: the base of the tests that edit it as a person's editor or a damage would,
// in process and through the host.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

// `demo` (the example's text) without its voids, with `from` (its first occurrence) made
// `to`.
inline std::string ExampleWithoutVoidsOf(const std::string& demo, const std::string& from,
                                         const std::string& to) {
  std::string text;
  int line = 1;
  for (size_t start = 0, end; start < demo.size(); start = end + 1, ++line) {
    end = std::min(demo.find('\n', start), demo.size());
    if (line < 221 || line > 223)
      text.append(demo, start, end - start + 1);
  }
  const size_t at = from.empty() ? std::string::npos : text.find(from);
  EXPECT_TRUE(from.empty() || at != std::string::npos) << from;
  return at == std::string::npos ? text : text.replace(at, from.size(), to);
}
