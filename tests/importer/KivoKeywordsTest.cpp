// The hashed keyword lookup against the literal rule: empty text 0, text with a
// character outside the word text -1, else the first keyword in code order equal to
// it ignoring case, else -1.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "classlib/Strings.h"
#include "importer/KivoKeywords.h"

namespace {

int LinearScan(const std::string& text) {
  if (text.empty())
    return kwEmpty;
  if (IsNotWordText(text))
    return kwUnknown;
  for (int code = 1; code <= KivoKeywordCount; ++code)
    if (SameText(text, KivoKeywordText(code)))
      return code;
  return kwUnknown;
}

void ExpectSameAsScan(const std::string& text) {
  EXPECT_EQ(FindKivoKeyword(text), LinearScan(text)) << '"' << text << '"';
  EXPECT_EQ(FindKivoKeyword(text, /*upperCase=*/true), LinearScan(UpperCase(text)))
      << '"' << text << '"';
}

std::string MixCase(std::string text, unsigned pattern) {
  for (size_t i = 0; i < text.size(); ++i)
    if (pattern >> (i % 32) & 1)
      text[i] = static_cast<char>(tolower(static_cast<unsigned char>(text[i])));
  return text;
}

TEST(KivoKeywords, CodesFollowTheCompareOrder) {
  EXPECT_EQ(KivoKeywordText(kwCOMPONENT), "COMPONENT");
  EXPECT_EQ(KivoKeywordText(kwSSTFile), "SSTFile");
  EXPECT_EQ(KivoKeywordText(kwPN), "PN");
  EXPECT_EQ(KivoKeywordText(kwPercent), "%");
  EXPECT_EQ(KivoKeywordText(kwCloseBracket), "]");
  EXPECT_EQ(KivoKeywordText(0), "");
  EXPECT_EQ(KivoKeywordText(154), "");
}

TEST(KivoKeywords, EveryKeywordAndItsVariantsMatchTheLinearScan) {
  for (int code = 1; code <= KivoKeywordCount; ++code) {
    const std::string keyword(KivoKeywordText(code));
    EXPECT_EQ(FindKivoKeyword(UpperCase(keyword)), code) << keyword;
    EXPECT_EQ(FindKivoKeyword(keyword, /*upperCase=*/true), code) << keyword;
    for (unsigned pattern : {0u, 0xFFFFFFFFu, 0x55555555u, 0xAAAAAAAAu})
      ExpectSameAsScan(MixCase(keyword, pattern));
    ExpectSameAsScan(keyword + "X");
    ExpectSameAsScan("X" + keyword);
    ExpectSameAsScan(keyword.substr(0, keyword.size() - 1));
    ExpectSameAsScan(keyword.substr(1));
  }
}

TEST(KivoKeywords, RandomWordTextMatchesTheLinearScan) {
  const std::string alphabet = "%()+-./[]_{}0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefz$ \x01\xE4";
  std::mt19937 random(1234);
  for (int i = 0; i < 100000; ++i) {
    std::string text(random() % 16, ' ');
    for (char& c : text)
      c = alphabet[random() % alphabet.size()];
    ExpectSameAsScan(text);
  }
}

// Direct lookups see no upper-casing: lower-case letters are not word text.
TEST(KivoKeywords, DirectLookupRules) {
  EXPECT_EQ(FindKivoKeyword(""), kwEmpty);
  EXPECT_EQ(FindKivoKeyword("SSTFILE"), kwSSTFile);
  EXPECT_EQ(FindKivoKeyword("SSTFile"), kwUnknown);
  EXPECT_EQ(FindKivoKeyword("$"), kwUnknown);
  EXPECT_EQ(FindKivoKeyword("{"), kwOpenBrace);
  EXPECT_EQ(FindKivoKeyword(std::string(100000, 'A')), kwUnknown);
  EXPECT_TRUE(IsNotWordText("a"));
  EXPECT_TRUE(IsNotWordText("A B"));
  EXPECT_TRUE(IsNotWordText("\xC4"));
  EXPECT_FALSE(IsNotWordText(""));
  EXPECT_FALSE(IsNotWordText("%()+-./09AZ[]_{}"));
}

}  // namespace
