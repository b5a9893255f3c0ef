// The stand-in PCB server's board dump (standin/ravelo/README.md) read back: its object
// lines by handle and the origin the board was moved to.
#pragma once

#include <map>
#include <string>
#include <vector>

// One object line: "#H kind owner=... net=... Key=Value ... [points]".
struct TDumpObject {
  std::string Handle, Kind;
  std::map<std::string, std::string> Fields;  // numbers without their mil text, texts quoted
  std::vector<std::vector<std::string>> Points;
};

struct TBoardDump {
  std::vector<TDumpObject> Objects;
  std::map<std::string, size_t> ByHandle;
  long long OriginX = 0, OriginY = 0;
  const TDumpObject* Find(const std::string& handle) const {
    const auto found = ByHandle.find(handle);
    return found == ByHandle.end() ? nullptr : &Objects[found->second];
  }
};

TBoardDump ParseBoardDump(const std::string& dump);
// A field as a whole number (0 when missing), and as written (empty when missing).
long long DumpField(const TDumpObject& o, const char* key);
std::string DumpText(const TDumpObject& o, const char* key);
