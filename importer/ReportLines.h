// One list of report lines with their detail levels, kept as records in pieces of about
// a megabyte: a large import has a line for every host object, and a string object per
// line cost more than the line, while one growing block would need twice the list's
// size whenever it grew.
#pragma once

#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

class TReportLines {
 public:
  void Add(std::string_view text, uint8_t level);
  size_t GetCount() const { return FCount; }

  // Calls `visit(text, level)` for every line in the order added.
  template <class F>
  void ForEach(F&& visit) const;

 private:
  // A record: its level, the text's length (4 bytes) and the text.
  static constexpr size_t HeadSize = 1 + sizeof(uint32_t);
  std::vector<std::string> FPieces;
  size_t FCount = 0;
};

template <class F>
void TReportLines::ForEach(F&& visit) const {
  for (const std::string& piece : FPieces) {
    for (size_t at = 0; at < piece.size();) {
      const uint8_t level = static_cast<uint8_t>(piece[at]);
      uint32_t length;
      std::memcpy(&length, piece.data() + at + 1, sizeof length);
      visit(std::string_view(piece.data() + at + HeadSize, length), level);
      at += HeadSize + length;
    }
  }
}
