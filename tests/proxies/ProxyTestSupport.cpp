#include "tests/proxies/ProxyTestSupport.h"

#include <cstdio>
#include <sstream>

testing::AssertionResult HasField(const std::string& line, const std::string& name,
                                  const std::string& value) {
  const std::string needle = " " + name + "=" + value;
  for (size_t at = line.find(needle); at != std::string::npos; at = line.find(needle, at + 1)) {
    const size_t end = at + needle.size();
    if (end == line.size() || line[end] == ' ' || line[end] == '(' || line[end] == '\n')
      return testing::AssertionSuccess();
  }
  return testing::AssertionFailure() << "no" << needle << " in: " << line;
}

void ExpectFields(const std::string& line,
                  std::initializer_list<std::pair<std::string, std::string>> fields) {
  for (const auto& [name, value] : fields)
    EXPECT_TRUE(HasField(line, name, value));
}

std::string Num(long long value) {
  return std::to_string(value);
}

std::string Real(double value) {
  char buffer[64];
  snprintf(buffer, sizeof buffer, "%.6f", value);
  std::string text = buffer;
  while (text.back() == '0')
    text.pop_back();
  if (text.back() == '.')
    text.pop_back();
  return text;
}

std::string Quoted(const std::string& text) {
  return "\"" + text + "\"";
}

std::vector<std::string> Calls(const std::string& log, const std::string& entry) {
  std::vector<std::string> lines;
  std::istringstream in(log);
  for (std::string line; std::getline(in, line);) {
    if (line.compare(0, entry.size() + 1, entry + "(") == 0)
      lines.push_back(line);
  }
  return lines;
}

std::vector<std::string> CallNames(const std::string& log) {
  std::vector<std::string> names;
  std::istringstream in(log);
  for (std::string line; std::getline(in, line);)
    names.push_back(line.substr(0, line.find('(')));
  return names;
}
