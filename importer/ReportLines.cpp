#include "importer/ReportLines.h"

#include <algorithm>

void TReportLines::Add(std::string_view text, uint8_t tag) {
  constexpr size_t kPiece = 1 << 20;
  const bool isLong = text.size() >= kLongLength;
  const size_t size = 2 + (isLong ? sizeof(uint32_t) : 0) + text.size();
  if (FPieces.empty() || FPieces.back().size() + size > FPieces.back().capacity()) {
    FPieces.emplace_back();
    FPieces.back().reserve(std::max(kPiece, size));
  }
  std::string& piece = FPieces.back();
  piece += static_cast<char>(tag);
  if (isLong) {
    const auto length = static_cast<uint32_t>(text.size());
    piece += static_cast<char>(kLongLength);
    piece.append(reinterpret_cast<const char*>(&length), sizeof length);
  } else {
    piece += static_cast<char>(text.size());
  }
  piece.append(text);
  ++FCount;
}
