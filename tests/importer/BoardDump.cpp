#include "tests/importer/BoardDump.h"

#include <algorithm>
#include <cstdlib>

namespace {

std::string Number(const std::string& value) {
  return value.substr(0, value.find('('));
}

TDumpObject ParseObject(const std::string& line) {
  TDumpObject object;
  size_t at = line.find(' ');
  object.Handle = line.substr(0, at);
  const size_t kind = at + 1;
  at = line.find(' ', kind);
  object.Kind = line.substr(kind, at - kind);
  while (at != std::string::npos && at < line.size()) {
    at = line.find_first_not_of(' ', at);
    if (at == std::string::npos)
      break;
    if (line[at] == '[') {
      const size_t close = line.find(']', at);
      std::vector<std::string> point;
      for (size_t p = at + 1; p < close;) {
        const size_t end = std::min(line.find(' ', p), close);
        point.push_back(Number(line.substr(p, end - p)));
        p = end + 1;
      }
      object.Points.push_back(point);
      at = close == std::string::npos ? close : close + 1;
      continue;
    }
    const size_t equals = line.find('=', at);
    if (equals == std::string::npos)
      break;
    const std::string key = line.substr(at, equals - at);
    size_t end = equals + 1;
    if (end < line.size() && line[end] == '"') {
      for (++end; end < line.size() && line[end] != '"'; ++end)
        end += line[end] == '\\';
      ++end;
      object.Fields[key] = line.substr(equals + 1, end - equals - 1);
    } else {
      end = line.find(' ', end);
      object.Fields[key] = Number(line.substr(equals + 1, end - equals - 1));
    }
    at = end;
  }
  return object;
}

}  // namespace

long long DumpField(const TDumpObject& o, const char* key) {
  const auto found = o.Fields.find(key);
  return found == o.Fields.end() ? 0 : std::atoll(found->second.c_str());
}

TBoardDump ParseBoardDump(const std::string& dump) {
  TBoardDump parsed;
  for (size_t at = 0; at < dump.size();) {
    size_t end = dump.find('\n', at);
    if (end == std::string::npos)
      end = dump.size();
    const std::string line = dump.substr(at, end - at);
    if (line.rfind('#', 0) == 0) {
      parsed.Objects.push_back(ParseObject(line));
      parsed.ByHandle[parsed.Objects.back().Handle] = parsed.Objects.size() - 1;
    } else if (line.rfind("origin ", 0) == 0) {
      const TDumpObject origin = ParseObject("#0 origin" + line.substr(6));
      parsed.OriginX = DumpField(origin, "X");
      parsed.OriginY = DumpField(origin, "Y");
    }
    at = end + 1;
  }
  return parsed;
}

std::string DumpText(const TDumpObject& o, const char* key) {
  const auto found = o.Fields.find(key);
  return found == o.Fields.end() ? std::string() : found->second;
}
