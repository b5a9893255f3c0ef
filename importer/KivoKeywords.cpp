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

// Open addressing over 512 slots of keyword codes (0 = free), keyed by the length and
// the first, middle and last characters of the upper-cased text. A text matches a
// keyword only when it is word text, so a text equal to no keyword is -1 whether or
// not it is word text, and the lookup needs no separate word-text test. The factors
// keep every run of occupied slots at most four long.
constexpr uint32_t kSlots = 512;

constexpr uint32_t Hash(size_t length, unsigned char first, unsigned char middle,
                        unsigned char last) {
  return (static_cast<uint32_t>(length) * 15 + first * 23 + middle * 13 + last) % kSlots;
}

template <class Chars>
constexpr uint32_t HashOf(const Chars& text, size_t length, bool upperCase) {
  auto at = [&](size_t i) {
    unsigned char c = static_cast<unsigned char>(text[i]);
    return upperCase ? Upper(c) : c;
  };
  return Hash(length, at(0), at(length / 2), at(length - 1));
}

constexpr std::array<uint8_t, kSlots> MakeSlots() {
  std::array<uint8_t, kSlots> slots{};
  for (int i = 0; i < KivoKeywordCount; ++i) {
    uint32_t slot = HashOf(kKeywords[i], kKeywords[i].size(), /*upperCase=*/true);
    while (slots[slot] != 0)
      slot = (slot + 1) % kSlots;
    slots[slot] = static_cast<uint8_t>(i + 1);
  }
  return slots;
}
constexpr std::array<uint8_t, kSlots> kSlotCodes = MakeSlots();

bool EqualsKeyword(std::string_view text, std::string_view keyword, bool upperCase) {
  if (text.size() != keyword.size())
    return false;
  for (size_t i = 0; i < text.size(); ++i) {
    unsigned char c = static_cast<unsigned char>(text[i]);
    if ((upperCase ? Upper(c) : c) != Upper(static_cast<unsigned char>(keyword[i])))
      return false;
  }
  return true;
}

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
  if (text.size() > kMaxKeywordLength)
    return kwUnknown;
  for (uint32_t slot = HashOf(text, text.size(), upperCase); kSlotCodes[slot] != 0;
       slot = (slot + 1) % kSlots) {
    int code = kSlotCodes[slot];
    if (EqualsKeyword(text, kKeywords[code - 1], upperCase))
      return code;
  }
  return kwUnknown;
}
