#include "importer/ReportLines.h"

#include <algorithm>
#include <string>

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

namespace {

// A kind's key is cut here: two warnings that differ only beyond it are of one kind.
constexpr size_t kKeyLength = 256;

// " (line N)" or " (lines A to B)"; nothing when no line is known.
std::string LinesOf(int64_t first, int64_t last) {
  if (first == 0)
    return std::string();
  if (first == last)
    return " (line " + std::to_string(first) + ")";
  return " (lines " + std::to_string(first) + " to " + std::to_string(last) + ")";
}

}  // namespace

bool TReportWarnings::Tell(std::string_view key, int64_t line, size_t size, uint8_t level,
                           uint8_t tellEach) {
  const bool room = FToldBytes + size <= kToldBytes;
  // Warnings of one kind come in runs: the key of the last one is known again at once.
  uint32_t index = FLastKind;
  if (index == kOthers || key != FLastKey) {
    // The kind: the key with each run of digits as "#" and each quoted text as "\"\"".
    FKey.clear();
    bool quoted = false, digits = false;
    for (size_t i = 0; i < key.size() && FKey.size() < kKeyLength; ++i) {
      const char c = key[i];
      if (c == '"')
        quoted = !quoted;
      else if (quoted)
        continue;
      const bool digit = c >= '0' && c <= '9';
      if (!(digit && digits))
        FKey += digit ? '#' : c;
      digits = digit;
    }
    auto found = FKindOf.find(FKey);
    if (found == FKindOf.end()) {
      if (!room || FKinds.size() > kMaxKinds) {
        TKind& others = FKinds[kOthers];
        if (others.Counted == 0) {
          const TCarrier carrier{kOthers, 0};
          FLines.Add(std::string_view(reinterpret_cast<const char*>(&carrier), sizeof carrier),
                     kCarries);
        }
        others.Level = std::min(others.Level, level);
        Count(others, line);
        return false;
      }
      found = FKindOf.emplace(FKey, static_cast<uint32_t>(FKinds.size())).first;
      FKinds.push_back(TKind{std::max<uint8_t>(tellEach, 1)});
    }
    index = found->second;
    FLastKey.assign(key);
    FLastKind = index;
  }
  TKind& kind = FKinds[index];
  if (kind.Told >= kind.TellEach || !room) {
    Count(kind, line);
    return false;
  }
  ++kind.Told;
  FTelling = {index, kind.Told};
  return true;
}

void TReportWarnings::AddLine(std::string_view text, uint8_t level, bool carries) {
  FToldBytes += text.size() + 2;
  if (!carries) {
    FLines.Add(text, level);
    return;
  }
  std::string record(reinterpret_cast<const char*>(&FTelling), sizeof FTelling);
  record += text;
  FToldBytes += sizeof FTelling;
  FLines.Add(record, static_cast<uint8_t>(kCarries | level));
}

void TReportWarnings::Count(TKind& kind, int64_t line) {
  ++kind.Counted;
  if (line <= 0)
    return;
  kind.FirstLine = kind.FirstLine == 0 ? line : std::min(kind.FirstLine, line);
  kind.LastLine = std::max(kind.LastLine, line);
}

std::string TReportWarnings::Written(const TCarrier& carrier, std::string_view text) const {
  const TKind& kind = FKinds[carrier.Kind];
  const std::string count = std::to_string(kind.Counted);
  const std::string lines = LinesOf(kind.FirstLine, kind.LastLine);
  if (carrier.Kind == kOthers)
    return "WARNING: " + count +
           (kind.Counted == 1 ? " more warning, of a kind beyond those the report has room for, is"
                              : " more warnings, of kinds beyond those the report has room for, are") +
           " counted, not told one by one" + lines;
  if (carrier.Told != kind.Told || kind.Counted == 0)
    return std::string(text);
  return std::string(text) + "; " + count + " more of this kind " +
         (kind.Counted == 1 ? "is" : "are") + " counted, not told one by one" + lines;
}
