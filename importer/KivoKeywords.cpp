#include "importer/KivoKeywords.h"

#include <array>
#include <cstdint>

namespace {

constexpr std::string_view kKeywords[KivoKeywordCount] = {
    "COMPONENT", "MEM_TABLE", "ENVIRONMENT", "USER", "DISPLAY", "APERTURE_TABLE", "SYMBOL",
    "DETAIL", "KIVOVREV", "PROGRAM", "DBTYPE", "DBVREV", "DBTIME", "DBUNIT", "DBGRID",
    "LYRSTR", "LYRPHID", "SSYMTBL", "APR", "PCLR", "POLYAP", "PSIZ", "ROTP", "SSTFile",
    "VIEW", "MODE", "VW", "LV", "GS", "RCTL", "AFN", "AMT", "APT", "LY", "LS", "WD", "TS",
    "TJ", "TR", "TM", "DWD", "DTS", "DAFT", "CENT", "ELF", "EBA", "DLI", "DPT", "DMT", "DTD",
    "DOR", "DLT", "DS", "LSS", "MAS", "GDT", "DDU", "DUS", "PFC", "APFILE", "APVER", "APRNUM",
    "SHP", "DCODE", "OWD", "IWD", "OHD", "IHD", "ODIA", "IDIA", "SIDES", "APROT", "TI", "TWD",
    "TA", "APCOMM", "APTYPE", "PIN_DEF", "P", "PT", "LQ", "PLOC", "PKG", "RDL", "PNL", "PID",
    "SD", "SPKG", "SNA", "SP", "APN", "PIC", "ARC", "C", "FL", "FR", "L", "R", "T", "POLY",
    "OL", "PV", "CV", "ATR", "IN", "ORG", "TY", "SMD", "JMP", "PL", "SC", "RO", "MR", "PS",
    "PA", "NL", "UN", "EX", "AT", "ANNOTATE", "DIMENSION", "DARC", "DC", "DL", "DT", "DR",
    "ARROW", "NET_DEF", "N", "DG", "W", "V", "NN", "NS", "RATS", "PAD_STACK", "PAD",
    "PAD_DEF", "SUBCOMP", "COMP_DEF", "ALS", "I", "CN", "IPT", "ASG", "RD", "PN", "%", "{",
    "}", "A", "[", "]",
};

constexpr unsigned char Upper(unsigned char c) { return c >= 'a' && c <= 'z' ? c - 32 : c; }

constexpr std::array<bool, 256> MakeWordText() {
  std::array<bool, 256> table{};
  for (unsigned char c : std::string_view("%()+-./[]_{}"))
    table[c] = true;
  for (int c = '0'; c <= '9'; ++c)
    table[c] = true;
  for (int c = 'A'; c <= 'Z'; ++c)
    table[c] = true;
  return table;
}
constexpr std::array<bool, 256> kWordText = MakeWordText();

constexpr size_t MaxKeywordLength() {
  size_t length = 0;
  for (std::string_view keyword : kKeywords)
    length = keyword.size() > length ? keyword.size() : length;
  return length;
}
constexpr size_t kMaxKeywordLength = MaxKeywordLength();

// A perfect hash over 1024 slots of keyword codes (0 = free): every upper-cased
// keyword has a slot of its own, so a lookup probes one slot and compares once. The
// factor was chosen for that; MakeSlots does not compile if a keyword is added that
// collides. A text matches a keyword only when it is word text, so a text equal to no
// keyword is -1 whether or not it is word text, and the lookup needs no separate
// word-text test.
constexpr uint32_t kSlotBits = 10;
constexpr uint32_t kHashFactor = 0x0400F9F9;

constexpr uint32_t HashStep(uint32_t hash, unsigned char c) { return (hash + c) * kHashFactor; }

constexpr uint32_t SlotOf(uint32_t hash) { return hash >> (32 - kSlotBits); }

// Every keyword upper-cased and padded with zeros to a fixed size, indexed by code.
constexpr size_t kKeySize = 16;
static_assert(kMaxKeywordLength < kKeySize, "a keyword and its padding fit a key");
using TKey = std::array<char, kKeySize>;

constexpr std::array<TKey, KivoKeywordCount + 1> MakeKeys() {
  std::array<TKey, KivoKeywordCount + 1> keys{};
  for (int i = 0; i < KivoKeywordCount; ++i)
    for (size_t j = 0; j < kKeywords[i].size(); ++j)
      keys[i + 1][j] = static_cast<char>(Upper(static_cast<unsigned char>(kKeywords[i][j])));
  return keys;
}
constexpr std::array<TKey, KivoKeywordCount + 1> kKeys = MakeKeys();

constexpr std::array<uint8_t, KivoKeywordCount + 1> MakeLengths() {
  std::array<uint8_t, KivoKeywordCount + 1> lengths{};
  for (int i = 0; i < KivoKeywordCount; ++i)
    lengths[i + 1] = static_cast<uint8_t>(kKeywords[i].size());
  return lengths;
}
constexpr std::array<uint8_t, KivoKeywordCount + 1> kLengths = MakeLengths();

constexpr std::array<uint8_t, 1u << kSlotBits> MakeSlots() {
  std::array<uint8_t, 1u << kSlotBits> slots{};
  for (int code = 1; code <= KivoKeywordCount; ++code) {
    uint32_t hash = kLengths[code];
    for (size_t j = 0; j < kLengths[code]; ++j)
      hash = HashStep(hash, static_cast<unsigned char>(kKeys[code][j]));
    if (slots[SlotOf(hash)] != 0)
      throw "two keywords share a slot: choose another hash factor";
    slots[SlotOf(hash)] = static_cast<uint8_t>(code);
  }
  return slots;
}
constexpr std::array<uint8_t, 1u << kSlotBits> kSlotCodes = MakeSlots();

// Character maps: upper-casing (ASCII letters only) and the identity.
constexpr std::array<unsigned char, 256> MakeMap(bool upperCase) {
  std::array<unsigned char, 256> map{};
  for (int c = 0; c < 256; ++c)
    map[c] = upperCase ? Upper(static_cast<unsigned char>(c)) : static_cast<unsigned char>(c);
  return map;
}
constexpr std::array<unsigned char, 256> kUpperMap = MakeMap(true);
constexpr std::array<unsigned char, 256> kSameMap = MakeMap(false);

}  // namespace

std::string_view KivoKeywordText(int code) {
  return code >= 1 && code <= KivoKeywordCount ? kKeywords[code - 1] : std::string_view();
}

bool IsNotWordText(std::string_view text) {
  for (unsigned char c : text)
    if (!kWordText[c])
      return true;
  return false;
}

int FindKivoKeyword(std::string_view text, bool upperCase) {
  if (text.empty())
    return kwEmpty;
  const size_t length = text.size();
  if (length > kMaxKeywordLength)
    return kwUnknown;
  const std::array<unsigned char, 256>& map = upperCase ? kUpperMap : kSameMap;
  uint32_t hash = static_cast<uint32_t>(length);
  for (size_t i = 0; i < length; ++i)
    hash = HashStep(hash, map[static_cast<unsigned char>(text[i])]);
  const int code = kSlotCodes[SlotOf(hash)];
  if (code == 0 || kLengths[code] != length)
    return kwUnknown;
  // Compared character by character: a key built in memory and compared in words
  // would stall on loads of freshly stored bytes.
  const TKey& key = kKeys[code];
  for (size_t i = 0; i < length; ++i)
    if (map[static_cast<unsigned char>(text[i])] != static_cast<unsigned char>(key[i]))
      return kwUnknown;
  return code;
}
