// The keywords of the KIVO format and their codes. Codes 1 to 153 follow the order in
// which the keywords are compared; 0 is the empty token and -1 a token that is no
// keyword. Lookup is by a hash table built at compile time, which gives the same code
// as comparing the keywords one by one in order, because no two keywords are equal
// ignoring case.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

#include <emmintrin.h>

enum TKivoKeyword : int {
  kwUnknown = -1, kwEmpty = 0,
  kwCOMPONENT = 1, kwMEM_TABLE = 2, kwENVIRONMENT = 3, kwUSER = 4, kwDISPLAY = 5,
  kwAPERTURE_TABLE = 6, kwSYMBOL = 7, kwDETAIL = 8, kwKIVOVREV = 9, kwPROGRAM = 10,
  kwDBTYPE = 11, kwDBVREV = 12, kwDBTIME = 13, kwDBUNIT = 14, kwDBGRID = 15, kwLYRSTR = 16,
  kwLYRPHID = 17, kwSSYMTBL = 18, kwAPR = 19, kwPCLR = 20, kwPOLYAP = 21, kwPSIZ = 22,
  kwROTP = 23, kwSSTFile = 24, kwVIEW = 25, kwMODE = 26, kwVW = 27, kwLV = 28, kwGS = 29,
  kwRCTL = 30, kwAFN = 31, kwAMT = 32, kwAPT = 33, kwLY = 34, kwLS = 35, kwWD = 36,
  kwTS = 37, kwTJ = 38, kwTR = 39, kwTM = 40, kwDWD = 41, kwDTS = 42, kwDAFT = 43,
  kwCENT = 44, kwELF = 45, kwEBA = 46, kwDLI = 47, kwDPT = 48, kwDMT = 49, kwDTD = 50,
  kwDOR = 51, kwDLT = 52, kwDS = 53, kwLSS = 54, kwMAS = 55, kwGDT = 56, kwDDU = 57,
  kwDUS = 58, kwPFC = 59, kwAPFILE = 60, kwAPVER = 61, kwAPRNUM = 62, kwSHP = 63,
  kwDCODE = 64, kwOWD = 65, kwIWD = 66, kwOHD = 67, kwIHD = 68, kwODIA = 69, kwIDIA = 70,
  kwSIDES = 71, kwAPROT = 72, kwTI = 73, kwTWD = 74, kwTA = 75, kwAPCOMM = 76,
  kwAPTYPE = 77, kwPIN_DEF = 78, kwP = 79, kwPT = 80, kwLQ = 81, kwPLOC = 82, kwPKG = 83,
  kwRDL = 84, kwPNL = 85, kwPID = 86, kwSD = 87, kwSPKG = 88, kwSNA = 89, kwSP = 90,
  kwAPN = 91, kwPIC = 92, kwARC = 93, kwC = 94, kwFL = 95, kwFR = 96, kwL = 97, kwR = 98,
  kwT = 99, kwPOLY = 100, kwOL = 101, kwPV = 102, kwCV = 103, kwATR = 104, kwIN = 105,
  kwORG = 106, kwTY = 107, kwSMD = 108, kwJMP = 109, kwPL = 110, kwSC = 111, kwRO = 112,
  kwMR = 113, kwPS = 114, kwPA = 115, kwNL = 116, kwUN = 117, kwEX = 118, kwAT = 119,
  kwANNOTATE = 120, kwDIMENSION = 121, kwDARC = 122, kwDC = 123, kwDL = 124, kwDT = 125,
  kwDR = 126, kwARROW = 127, kwNET_DEF = 128, kwN = 129, kwDG = 130, kwW = 131, kwV = 132,
  kwNN = 133, kwNS = 134, kwRATS = 135, kwPAD_STACK = 136, kwPAD = 137, kwPAD_DEF = 138,
  kwSUBCOMP = 139, kwCOMP_DEF = 140, kwALS = 141, kwI = 142, kwCN = 143, kwIPT = 144,
  kwASG = 145, kwRD = 146, kwPN = 147, kwPercent = 148, kwOpenBrace = 149,
  kwCloseBrace = 150, kwA = 151, kwOpenBracket = 152, kwCloseBracket = 153,
};

inline constexpr int KivoKeywordCount = 153;

// The keyword of code 1 to 153 as the format writes it ("SSTFile"); empty otherwise.
std::string_view KivoKeywordText(int code);

// True when `text` holds a character other than "%", "(", ")", "+", "-", ".", "/", the
// digits, "A".."Z", "[", "]", "_", "{", "}"; false for empty text.
bool IsNotWordText(std::string_view text);

// The code of `text`: 0 when empty, -1 when it is not word text or no keyword, else
// the code of the keyword equal to it ignoring case. With `upperCase` the text is
// taken as if upper-cased first (ASCII letters only).
int FindKivoKeyword(std::string_view text, bool upperCase = false);

// The lookup's tables and the inline lookup the tokenizer runs for every token.
namespace KivoKeywordsDetail {

inline constexpr std::string_view Keywords[KivoKeywordCount] = {
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

// A perfect hash over 1024 slots of keyword codes (0 = free): every upper-cased keyword
// has a slot of its own, so a lookup probes one slot and compares once. The hash takes
// the first eight characters (zero-padded) and the length, which tell every two
// keywords apart; the factors were chosen so that no two keywords share a slot, and
// MakeSlots does not compile if a keyword is added that collides. A text matches a
// keyword only when it is word text, so a text equal to no keyword is -1 whether or
// not it is word text, and the lookup needs no separate word-text test.
inline constexpr uint32_t SlotBits = 10;
inline constexpr uint32_t HashFactor1 = 0x61C46A19;
inline constexpr uint32_t HashFactor2 = 0xDF3B097D;

constexpr uint32_t SlotOf(uint32_t head, uint32_t next, size_t length) {
  return ((head + static_cast<uint32_t>(length)) * HashFactor1 ^ next * HashFactor2) >>
         (32 - SlotBits);
}

// Every keyword upper-cased and padded with zeros to a fixed size, indexed by code
// (code 0 is all zeros).
inline constexpr size_t KeySize = 16;
struct alignas(16) TKey {
  char Chars[KeySize];
};

constexpr std::array<TKey, KivoKeywordCount + 1> MakeKeys() {
  std::array<TKey, KivoKeywordCount + 1> keys{};
  for (int i = 0; i < KivoKeywordCount; ++i) {
    if (Keywords[i].size() >= KeySize)
      throw "a keyword and its padding must fit a key";
    for (size_t j = 0; j < Keywords[i].size(); ++j)
      keys[i + 1].Chars[j] = static_cast<char>(Upper(static_cast<unsigned char>(Keywords[i][j])));
  }
  return keys;
}
inline constexpr std::array<TKey, KivoKeywordCount + 1> Keys = MakeKeys();

constexpr std::array<uint8_t, KivoKeywordCount + 1> MakeLengths() {
  std::array<uint8_t, KivoKeywordCount + 1> lengths{};
  for (int i = 0; i < KivoKeywordCount; ++i)
    lengths[i + 1] = static_cast<uint8_t>(Keywords[i].size());
  return lengths;
}
inline constexpr std::array<uint8_t, KivoKeywordCount + 1> Lengths = MakeLengths();

constexpr uint32_t KeyWord(const TKey& key, size_t first) {
  uint32_t word = 0;
  for (size_t j = 0; j < 4; ++j)
    word |= static_cast<uint32_t>(static_cast<unsigned char>(key.Chars[first + j])) << (8 * j);
  return word;
}

constexpr std::array<uint8_t, 1u << SlotBits> MakeSlots() {
  std::array<uint8_t, 1u << SlotBits> slots{};
  for (int code = 1; code <= KivoKeywordCount; ++code) {
    const uint32_t slot = SlotOf(KeyWord(Keys[code], 0), KeyWord(Keys[code], 4), Lengths[code]);
    if (slots[slot] != 0)
      throw "two keywords share a slot: choose other hash factors";
    slots[slot] = static_cast<uint8_t>(code);
  }
  return slots;
}
inline constexpr std::array<uint8_t, 1u << SlotBits> SlotCodes = MakeSlots();

// Masks that keep the first n bytes of a key-sized block, n = 0 to 16.
constexpr std::array<TKey, KeySize + 1> MakeLengthMasks() {
  std::array<TKey, KeySize + 1> masks{};
  for (size_t n = 0; n <= KeySize; ++n)
    for (size_t j = 0; j < n; ++j)
      masks[n].Chars[j] = static_cast<char>(0xFF);
  return masks;
}
inline constexpr std::array<TKey, KeySize + 1> LengthMasks = MakeLengthMasks();

inline __m128i LoadKey(const TKey& key) {
  return _mm_load_si128(reinterpret_cast<const __m128i*>(key.Chars));
}

// The lookup without a branch on the text, given the text's first sixteen characters
// (those past `length` may hold anything); a text longer than fifteen characters
// matches no keyword, so the rest is never needed.
inline __attribute__((always_inline)) int FindInKey(__m128i chars, size_t length,
                                                  bool upperCase) {
  if (upperCase) {
    // "a" to "z" lose their 0x20 bit: biased so that the letters are the 26 lowest
    // signed values.
    const __m128i biased = _mm_add_epi8(chars, _mm_set1_epi8(static_cast<char>(0x80 - 'a')));
    const __m128i lower = _mm_cmplt_epi8(biased, _mm_set1_epi8(static_cast<char>(-128 + 26)));
    chars = _mm_sub_epi8(chars, _mm_and_si128(lower, _mm_set1_epi8(0x20)));
  }
  const size_t kept = length < KeySize ? length : KeySize;
  chars = _mm_and_si128(chars, LoadKey(LengthMasks[kept]));
  const uint32_t head = static_cast<uint32_t>(_mm_cvtsi128_si32(chars));
  const uint32_t next = static_cast<uint32_t>(_mm_cvtsi128_si32(_mm_srli_si128(chars, 4)));
  const int code = SlotCodes[SlotOf(head, next, length)];
  static_assert(kwUnknown == -1 && kwEmpty == 0, "the answers are selected by masks");
  // Selected by masks: which of the three answers it is depends on the text alone.
  const uint32_t same = _mm_movemask_epi8(_mm_cmpeq_epi8(chars, LoadKey(Keys[code])));
  const int found = -static_cast<int>((same == 0xFFFF) & (Lengths[code] == length));
  const int answer = (code & found) | ~found;  // the code, or -1
  return answer & -static_cast<int>(length != 0);
}

// The same for a text with KeySize readable bytes.
inline int FindPadded(const char* text, size_t length, bool upperCase) {
  return FindInKey(_mm_loadu_si128(reinterpret_cast<const __m128i*>(text)), length, upperCase);
}

}  // namespace KivoKeywordsDetail
