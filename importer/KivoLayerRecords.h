// The reader's records of the layers objects were drawn on, kept for the warnings about
// layers at the end of the reading (TKivoFile::ReportLayers): each layer by its name as
// the display keeps it (compared exactly), with the [LY] before its first object and the
// count and places of its objects. A file may draw each object on a layer of its own,
// so a record is kept small: the name once in a store of 64 KB pieces, the record in
// pieces that never move (the reader counts through pointers into them), both found
// through an open-addressed index of 32-bit slots (TKivoNameIndex); about 50 bytes and
// the name's for each layer, where a map of names took about 140.
#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <memory>
#include <string_view>
#include <vector>

#include "importer/KivoNameIndex.h"

// How many objects were counted on a layer, and where the first and the last were read.
struct TKivoLayerCounts {
  int64_t FirstAt = 0, LastAt = 0;
  int32_t Count = 0;  // a model of 2^31 objects does not fit the process
  uint32_t NameAt = 0;  // a layer record's name in its store (TKivoLayerRecords)
};

class TKivoLayerRecords {
 public:
  struct TRecord {
    int64_t Position = 0;  // the [LY] before its first object
    TKivoLayerCounts Counts;
  };

  // The record of the layer `name` (at most 255 characters), made with `position` when
  // there is none; null past the index's 2^25 - 1 names (whose records, some 2 GB,
  // the process cannot hold: the import has ended as too large before).
  TRecord* Find(std::string_view name, int64_t position);
  size_t GetCount() const { return FRecords.size(); }
  const TRecord& operator[](size_t index) const { return FRecords[index]; }
  std::string_view NameOf(const TRecord& record) const;

 private:
  static constexpr uint32_t kPieceShift = 16;
  static constexpr size_t kPiece = size_t{1} << kPieceShift;
  // Where the name stored at `at` lies: its length byte, then its characters.
  const unsigned char* StoredAt(uint32_t at) const {
    return FPieces[at >> kPieceShift].get() + (at & (kPiece - 1));
  }
  uint32_t Store(std::string_view name);

  TKivoNameIndex FIndex;
  std::deque<TRecord> FRecords;
  std::vector<std::unique_ptr<unsigned char[]>> FPieces;
  size_t FPieceUsed = kPiece;  // in the last piece
};
