#include "importer/KivoLayerRecords.h"

#include <cassert>
#include <cstring>

TKivoLayerRecords::TRecord* TKivoLayerRecords::Find(std::string_view name, int64_t position) {
  assert(name.size() <= 255 && "the display keeps a layer's first 255 characters");
  const int64_t entry = FIndex.FindOrAdd(
      name, TKivoNameIndex::Hash(name), [&](uint32_t i) { return NameOf(FRecords[i]); },
      [](std::string_view a, std::string_view b) { return a == b; });
  if (entry >= 0)
    return &FRecords[static_cast<size_t>(entry)];
  if (FIndex.GetCount() == FRecords.size())
    return nullptr;  // the index is full
  FRecords.push_back({position, {0, 0, 0, Store(name)}});
  return &FRecords.back();
}

std::string_view TKivoLayerRecords::NameOf(const TRecord& record) const {
  const unsigned char* stored = StoredAt(record.Counts.NameAt);
  return {reinterpret_cast<const char*>(stored + 1), stored[0]};
}

uint32_t TKivoLayerRecords::Store(std::string_view name) {
  // A name never crosses a piece.
  if (FPieceUsed + 1 + name.size() > kPiece) {
    FPieces.push_back(std::make_unique_for_overwrite<unsigned char[]>(kPiece));
    FPieceUsed = 0;
  }
  const auto at = static_cast<uint32_t>(((FPieces.size() - 1) << kPieceShift) | FPieceUsed);
  unsigned char* to = FPieces.back().get() + FPieceUsed;
  to[0] = static_cast<unsigned char>(name.size());
  std::memcpy(to + 1, name.data(), name.size());
  FPieceUsed += 1 + name.size();
  return at;
}
