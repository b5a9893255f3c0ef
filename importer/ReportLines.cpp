#include "importer/ReportLines.h"

#include <algorithm>

void TReportLines::Add(std::string_view text, uint8_t level) {
  constexpr size_t kPiece = 1 << 20;
  const size_t size = HeadSize + text.size();
  if (FPieces.empty() || FPieces.back().size() + size > FPieces.back().capacity()) {
    FPieces.emplace_back();
    FPieces.back().reserve(std::max(kPiece, size));
  }
  std::string& piece = FPieces.back();
  const auto length = static_cast<uint32_t>(text.size());
  piece += static_cast<char>(level);
  piece.append(reinterpret_cast<const char*>(&length), sizeof length);
  piece.append(text);
  ++FCount;
}
