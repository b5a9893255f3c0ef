// The keywords of the KIVO format and their codes. Codes 1 to 153 follow the order in
// which the keywords are compared; 0 is the empty token and -1 a token that is no
// keyword. Lookup is by a hash table built at compile time, which gives the same code
// as comparing the keywords one by one in order, because no two keywords are equal
// ignoring case.
#pragma once

#include <string_view>

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
