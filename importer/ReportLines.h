// One list of report records, each a run of bytes with a tag byte (a line's detail
// level, or the form of an import event), kept in pieces of about a megabyte: a large
// import has a record for every host object, and a string object per record cost more
// than the record, while one growing block would need twice the list's size whenever
// it grew. And the load warnings of a report, whose lines are kept within a bound
// whatever the file (TReportWarnings).
#pragma once

#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
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

// The load warnings of a report: their lines, kept within a bound that no file can pass.
// Every warning is of a kind: the key its caller gives (what it says, without the names it
// gives), its numbers and quoted texts left aside. A kind's first warnings are told one by
// one, up to the number the kind takes (ten, or one for a kind told once); the rest of it
// are counted, and the last line told of the kind says how many and at which lines. The
// lines told take about kToldBytes at most and the kinds are at most kMaxKinds: a warning
// past either is counted too, in its kind when that is told already, else with the others
// of kinds not told, in one line of their own where the first of them came.
class TReportWarnings {
 public:
  static constexpr size_t kToldBytes = 1 << 20;
  static constexpr size_t kMaxKinds = 1000;
  static constexpr uint8_t kTellEach = 10;

  // A warning of kind `key` at `line` (0 when not known), whose lines take about `size`
  // bytes and whose line that carries its kind's count is of detail level `level`: true
  // when it is told, its lines then given by AddLine; false when it is only counted.
  // `tellEach` is the number of its kind told one by one.
  bool Tell(std::string_view key, int64_t line, size_t size, uint8_t level,
            uint8_t tellEach = kTellEach);
  // A line of the warning told last, at detail level `level`; the one that `carries` the
  // count of its kind's rest gets it when the list is written.
  void AddLine(std::string_view text, uint8_t level, bool carries = false);
  // The bytes of the lines kept, for the bound.
  size_t GetToldBytes() const { return FToldBytes; }

  // Calls `visit(text, level)` for every line in the order added, the counts of the kinds
  // made into their lines.
  template <class F>
  void ForEach(F&& visit) const;

 private:
  struct TKind {
    uint8_t TellEach = kTellEach;
    uint8_t Told = 0;
    uint8_t Level = 0xFF;  // the lowest level of the lines counted in the others' line
    int64_t Counted = 0;
    int64_t FirstLine = 0, LastLine = 0;  // of those counted; 0 when none is known
  };
  // A carrying line's record: its kind and which of the kind's told warnings it is.
  struct TCarrier {
    uint32_t Kind;
    uint32_t Told;
  };
  static constexpr uint8_t kCarries = 0x80;  // in a record's tag, beside the level
  static constexpr uint32_t kOthers = 0;     // the kind of the warnings of kinds not told

  void Count(TKind& kind, int64_t line);
  // `text` as written: with the count of its kind's rest when it carries it.
  std::string Written(const TCarrier& carrier, std::string_view text) const;

  TReportLines FLines;
  std::vector<TKind> FKinds = std::vector<TKind>(1);  // kOthers first
  std::unordered_map<std::string, uint32_t> FKindOf;
  std::string FKey;      // the kind of the last key made
  std::string FLastKey;  // the last key and its kind (kOthers: none)
  uint32_t FLastKind = kOthers;
  size_t FToldBytes = 0;
  TCarrier FTelling{kOthers, 0};
};

template <class F>
void TReportWarnings::ForEach(F&& visit) const {
  FLines.ForEach([&](std::string_view record, uint8_t tag) {
    if (!(tag & kCarries)) {
      visit(record, tag);
      return;
    }
    TCarrier carrier;
    std::memcpy(&carrier, record.data(), sizeof carrier);
    record.remove_prefix(sizeof carrier);
    const uint8_t level =
        carrier.Kind == kOthers ? FKinds[kOthers].Level : static_cast<uint8_t>(tag & ~kCarries);
    visit(std::string_view(Written(carrier, record)), level);
  });
}
