#include "importer/ReportLines.h"

#include <algorithm>

void TReportLines::Add(std::string_view text, uint8_t tag) {
  constexpr size_t kPiece = 1 << 20;
  const bool isLong = text.size() >= kLongLength;
  const size_t size = 2 + (isLong ? sizeof(uint32_t) : 0) + text.size();
  if (FPieces.empty() || FPieces.back().Size + size > FPieces.back().Capacity) {
    const size_t capacity = std::max(kPiece, size);
    FPieces.push_back(TPiece{std::make_unique_for_overwrite<char[]>(capacity), 0, capacity});
  }
  TPiece& piece = FPieces.back();
  char* at = piece.Bytes.get() + piece.Size;
  *at++ = static_cast<char>(tag);
  if (isLong) {
    const auto length = static_cast<uint32_t>(text.size());
    *at++ = static_cast<char>(kLongLength);
    std::memcpy(at, &length, sizeof length);
    at += sizeof length;
  } else {
    *at++ = static_cast<char>(text.size());
  }
  // The records of import events are two or four coordinates: copied in words, not
  // through the runtime's copy.
  if (text.size() == 8) {
    std::memcpy(at, text.data(), 8);
  } else if (text.size() == 16) {
    std::memcpy(at, text.data(), 16);
  } else if (!text.empty()) {
    std::memcpy(at, text.data(), text.size());
  }
  piece.Size += size;
  ++FCount;
}
