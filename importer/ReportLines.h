// One list of report records, each a run of bytes with a tag byte (a line's detail
// level, or the form of an import event), kept in pieces of about a megabyte: a large
// import has a record for every host object, and a string object per record cost more
// than the record, while one growing block would need twice the list's size whenever
// it grew.
#pragma once

#include <cstdint>
#include <cstring>
#include <memory>
#include <string_view>
#include <vector>

class TReportLines {
 public:
  void Add(std::string_view text, uint8_t tag);
  size_t GetCount() const { return FCount; }

  // Calls `visit(text, tag)` for every record in the order added.
  template <class F>
  void ForEach(F&& visit) const;

 private:
  // A record: its tag, its length (one byte below kLongLength, else kLongLength and
  // four bytes) and its bytes. Most records are a few words long.
  static constexpr uint8_t kLongLength = 0xFF;
  // A piece's bytes, written in place: appending a record of a few bytes to a string
  // went through the runtime's copy for each one.
  struct TPiece {
    std::unique_ptr<char[]> Bytes;
    size_t Size = 0;
    size_t Capacity = 0;
  };
  std::vector<TPiece> FPieces;
  size_t FCount = 0;
};

template <class F>
void TReportLines::ForEach(F&& visit) const {
  for (const TPiece& piece : FPieces) {
    const char* bytes = piece.Bytes.get();
    for (size_t at = 0; at < piece.Size;) {
      const uint8_t tag = static_cast<uint8_t>(bytes[at]);
      uint32_t length = static_cast<uint8_t>(bytes[at + 1]);
      at += 2;
      if (length == kLongLength) {
        std::memcpy(&length, bytes + at, sizeof length);
        at += sizeof length;
      }
      visit(std::string_view(bytes + at, length), tag);
      at += length;
    }
  }
}
