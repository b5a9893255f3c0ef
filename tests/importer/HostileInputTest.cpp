// Hostile input: every read ends, consumes what it reads, and keeps at most
// KivoMaxTokenLength characters of a token or value, whatever the file holds.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "importer/KivoScanner.h"
#include "importer/KivoTokenizer.h"
#include "tests/importer/ImporterTestSupport.h"

namespace {

const std::string kMegabyte(1 << 20, 'x');

TEST(HostileInput, AHundredMegabyteLineGivesOneCutToken) {
  TKivoTextFile kivo = TKivoTextFile::Open(WriteRepeatedFile("long.pdf", "", kMegabyte, 100, " y"));
  EXPECT_EQ(GetToken(kivo.File(), WordSet(), true), kwUnknown);
  EXPECT_EQ(GetLastTokenText(kivo.File()).size(), KivoMaxTokenLength);
  EXPECT_EQ(GetToken(kivo.File(), WordSet(), true), kwUnknown);
  EXPECT_EQ(GetLastTokenText(kivo.File()), "y");
}

TEST(HostileInput, LongValuesAreCut) {
  {
    TKivoTextFile kivo =
        TKivoTextFile::Open(WriteRepeatedFile("bare.pdf", "", kMegabyte, 2, "} y"));
    EXPECT_EQ(ReadQuotedString(kivo.File()).size(), KivoMaxTokenLength);
    EXPECT_EQ(GetHeldBackChar(kivo.File()), '}');
  }
  {
    // Three million pieces continued by backslashes, and a million joined by blanks.
    TKivoTextFile kivo =
        TKivoTextFile::Open(WriteRepeatedFile("pieces.pdf", "\"", "a\\ ", 3000000, "\" \""));
    EXPECT_LE(ReadQuotedString(kivo.File()).size(), KivoMaxTokenLength);
    EXPECT_EQ(GetToken(kivo.File(), WordSet(), false), kwEmpty);
    EXPECT_TRUE(kivo.File().Eof());
    TKivoTextFile joined =
        TKivoTextFile::Open(WriteRepeatedFile("joined.pdf", "\"", "ab ", 1000000, "\""));
    EXPECT_LE(ReadQuotedString(joined.File()).size(), KivoMaxTokenLength);
    EXPECT_TRUE(joined.File().Eof());
  }
  {
    TKivoTextFile kivo =
        TKivoTextFile::Open(WriteRepeatedFile("lines.pdf", "(", "ab\r\n", 1000000, ") z"));
    EXPECT_EQ(ReadQuotedString(kivo.File()).size(), KivoMaxTokenLength);
    EXPECT_EQ(GetToken(kivo.File(), WordSet(), true), kwUnknown);
    EXPECT_EQ(GetLastTokenText(kivo.File()), "z");
  }
}

TEST(HostileInput, ANumberThatWasCutIsUnreadable) {
  TKivoTextFile kivo =
      TKivoTextFile::Open(WriteRepeatedFile("digits.pdf", "", std::string(1 << 16, '1'), 3, " 5"));
  EXPECT_EQ(ReadIntegerValue(kivo.File()), -32000);
  EXPECT_TRUE(GetNumberError(kivo.File()));
  EXPECT_EQ(ReadIntegerValue(kivo.File()), 5);
  TKivoTextFile zeros =
      TKivoTextFile::Open(WriteRepeatedFile("zeros.pdf", "0.", std::string(1 << 16, '0'), 2, "1"));
  EXPECT_EQ(ReadFloatValue(zeros.File()), -32000);
  EXPECT_TRUE(GetNumberError(zeros.File()));
}

TEST(HostileInput, AFileOfOpeningBraces) {
  const std::string path = WriteRepeatedFile("braces.pdf", "", std::string(100000, '{'), 10, "");
  {
    // Structurally the braces are one long token.
    TKivoTextFile kivo = TKivoTextFile::Open(path);
    EXPECT_EQ(GetToken(kivo.File(), StructuralSet(), true), kwUnknown);
    EXPECT_TRUE(kivo.File().Eof());
  }
  {
    // With the word set every brace is held back and then returned.
    TKivoTextFile kivo = TKivoTextFile::Open(path);
    int braces = 0;
    for (int reads = 0; reads < 2000002 && !kivo.File().Eof(); ++reads)
      braces += GetToken(kivo.File(), WordSet(), true) == kwOpenBrace;
    EXPECT_TRUE(kivo.File().Eof());
    EXPECT_EQ(braces + (GetHeldBackChar(kivo.File()) == '{'), 1000000);
  }
  TKivoTextFile kivo = TKivoTextFile::Open(WriteRepeatedFile("braces2.pdf", "", "{", 100000, ""));
  ClearProgressSteps();
  SkipBlock(kivo.File());
  EXPECT_TRUE(kivo.File().Eof());
  EXPECT_EQ(ProgressSteps(), 100000);
}

// Each cycle of reads, repeated, reaches the end of every file within a number of
// rounds bounded by the file's size: nothing loops without consuming input.
TEST(HostileInput, EveryReadMakesProgress) {
  const std::string texts[] = {"{",  "}",      "\"",       "(",    "[",          "]",
                               "%",  "\\",     "\"\\",     "\"]",  "\"}",         "(\n\n",
                               "\"a\n\n", "\x01", {"\0a\0", 3}, "\"a\\", "{{}}]]", "\r\r\n\n",
                               "  ", "\"\"\"", "((((",    "\xFF\xFE"};
  const char* const cycles[] = {"W", "w", "S", "s", "N", "E", "VW", "Vs", "FW", "IW",
                                "BW", "CW", "LW", "VVVW", "CS", "Bw"};
  for (const std::string& raw : texts) {
    const std::string text = raw + raw + raw;
    for (const char* cycle : cycles) {
      TKivoTextFile kivo(text);
      TKivoSource& file = kivo.File();
      int rounds = 0;
      for (; rounds < 4 * static_cast<int>(text.size()) + 4 && !file.Eof(); ++rounds) {
        for (const char* op = cycle; *op; ++op) {
          switch (*op) {
            case 'W': GetToken(file, WordSet(), true); break;
            case 'w': GetToken(file, WordSet(), false); break;
            case 'S': GetToken(file, StructuralSet(), true); break;
            case 's': GetToken(file, StructuralSet(), false); break;
            case 'N': GetToken(file, NumberSet(), true); break;
            case 'E': GetToken(file, TKivoCharSet(), false); break;
            case 'V': ReadQuotedString(file); break;
            case 'F': ReadFloatValue(file); break;
            case 'I': ReadIntegerValue(file); break;
            case 'B': SkipBlock(file); break;
            case 'C': SkipToCloseBracket(file); break;
            case 'L': SkipLine(file); break;
          }
        }
      }
      EXPECT_TRUE(file.Eof()) << "cycle " << cycle << " on \"" << text << "\"";
    }
  }
}

}  // namespace
