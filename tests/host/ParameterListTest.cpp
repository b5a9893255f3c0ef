// Parameter strings: parsing, name comparison and the cached look-up.
#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "host/ParameterList.h"

namespace {

// The looked-up value, or nullopt when LookupParameter answers False (its value must
// then be empty).
std::optional<std::string> Lookup(const char* text, const ShortString<255>& name) {
  ShortString<255> value = "stale";
  bool found = LookupParameter(text, name, value);
  if (!found) {
    EXPECT_TRUE(value.Empty()) << "a missing name must leave the value empty";
    return std::nullopt;
  }
  return value.Str();
}

std::vector<std::pair<std::string, std::string>> Pairs(const char* text) {
  TParameterList list;
  ParseParameterString(list, text);
  std::vector<std::pair<std::string, std::string>> pairs;
  for (int i = 0; i < list.GetCount(); ++i)
    pairs.emplace_back(list.GetItem(i)->GetName().Str(), list.GetItem(i)->GetValue());
  return pairs;
}

using PairList = std::vector<std::pair<std::string, std::string>>;

TEST(ParameterList, ParsesPairsAsWritten) {
  EXPECT_EQ(Pairs("A=1|B=2"), (PairList{{"A", "1"}, {"B", "2"}}));
  EXPECT_EQ(Pairs("  A \t= x |B="), (PairList{{"A", " x "}, {"B", ""}}));  // values untrimmed
  EXPECT_EQ(Pairs("A=1=2"), (PairList{{"A", "1=2"}}));              // only the first "=" separates
  EXPECT_EQ(Pairs("A|B=2"), (PairList{{"B", "2"}}));                // no "=": dropped
  EXPECT_EQ(Pairs("=5| =6|B=2"), (PairList{{"B", "2"}}));           // empty names dropped
  EXPECT_EQ(Pairs("A=1|A=2"), (PairList{{"A", "1"}, {"A", "2"}}));  // duplicates kept in order
  EXPECT_EQ(Pairs("A=1||"), (PairList{{"A", "1"}}));
  EXPECT_EQ(Pairs(""), PairList{});
  EXPECT_EQ(Pairs(nullptr), PairList{});
}

TEST(ParameterList, ReparsingReplacesTheItems) {
  TParameterList list;
  ParseParameterString(list, "A=1|B=2|C=3");
  ParseParameterString(list, "D=4");
  ASSERT_EQ(list.GetCount(), 1);
  EXPECT_EQ(list.GetItem(0)->GetName().Str(), "D");
  EXPECT_THROW(list.GetItem(1), EListError);
}

TEST(ParameterList, NamesAreCutAt255Characters) {
  std::string longName(300, 'N');
  std::string text = longName + "=v";
  auto pairs = Pairs(text.c_str());
  ASSERT_EQ(pairs.size(), 1u);
  EXPECT_EQ(pairs[0].first, std::string(255, 'N'));
  EXPECT_EQ(Lookup(text.c_str(), ShortString<255>(std::string_view(longName))), "v");
}

TEST(ParameterList, SameParameterNameFoldsOnlyAsciiLettersAndTrims) {
  EXPECT_TRUE(SameParameterName(" filename ", "FileName"));
  EXPECT_TRUE(SameParameterName("\tA\x01", "a"));
  EXPECT_FALSE(SameParameterName("A B", "AB"));
  EXPECT_FALSE(SameParameterName("\xE4x", "\xC4X"));  // a-umlaut is not upper-cased
  EXPECT_TRUE(SameParameterName("\xE4x", "\xE4X"));
}

TEST(ParameterList, FindParameterTakesTheFirstMatch) {
  TParameterList list;
  ParseParameterString(list, "a=1|A=2");
  ASSERT_NE(FindParameter(list, "A"), nullptr);
  EXPECT_EQ(FindParameter(list, "A")->GetValue(), "1");
  EXPECT_EQ(FindParameter(list, "B"), nullptr);
}

TEST(ParameterLookup, DocumentedResults) {
  EXPECT_EQ(Lookup("FileName= C:\\a.pdf |Mode=x", " filename "), "C:\\a.pdf");
  EXPECT_EQ(Lookup("FileName= C:\\a.pdf |Mode=x", "MODE"), "x");
  EXPECT_EQ(Lookup("A=1=2", "A"), "1=2");
  EXPECT_EQ(Lookup("A|B=2", "A"), std::nullopt);
  EXPECT_EQ(Lookup("A|B=2", "B"), "2");
  EXPECT_EQ(Lookup("=5|B=2", "B"), "2");
  EXPECT_EQ(Lookup("A=1|A=2", "A"), "1");
  EXPECT_EQ(Lookup("A=1", "Z"), std::nullopt);
  EXPECT_EQ(Lookup("\xE4=1", "\xC4"), std::nullopt);
}

TEST(ParameterLookup, LongValuesAreCutAt255ThenTrimmed) {
  std::string text = "V= " + std::string(254, 'v') + "TAIL";
  EXPECT_EQ(Lookup(text.c_str(), "V"), std::string(254, 'v'));
  std::string padded = "W=" + std::string(250, 'w') + "         end";
  EXPECT_EQ(Lookup(padded.c_str(), "W"), std::string(250, 'w'));
}

// Regression: the parse cache held at most 63,999 characters, so a longer host text
// overflowed it; texts and values are now dynamic.
TEST(ParameterLookup, TextsLongerThanTheOldCacheParseWhole) {
  std::string text = "Big=" + std::string(70000, 'b') + "|Key=found";
  EXPECT_EQ(Lookup(text.c_str(), "Key"), "found");
  EXPECT_EQ(Lookup(text.c_str(), "Big"), std::string(255, 'b'));
  std::string other = "Key=" + std::string(100000, 'k');
  TParameterList list;
  ParseParameterString(list, other.c_str());
  ASSERT_EQ(list.GetCount(), 1);
  EXPECT_EQ(list.GetItem(0)->GetValue().size(), 100000u);
}

TEST(ParameterLookup, ParsesEachTextOnce) {
  const char* text = "One=1|Two=2";
  int before = ParameterParseCount();
  EXPECT_EQ(Lookup(text, "One"), "1");
  EXPECT_EQ(Lookup(text, "Two"), "2");
  std::string copy = text;  // same bytes in another buffer: still the cached text
  EXPECT_EQ(Lookup(copy.c_str(), "Two"), "2");
  EXPECT_EQ(ParameterParseCount(), before + 1);
  EXPECT_EQ(Lookup("One=9", "One"), "9");
  EXPECT_EQ(ParameterParseCount(), before + 2);
}

TEST(ParameterLookup, NullOrEmptyTextLeavesTheCache) {
  EXPECT_EQ(Lookup("Kept=1", "Kept"), "1");
  int before = ParameterParseCount();
  EXPECT_EQ(Lookup(nullptr, "Kept"), std::nullopt);
  EXPECT_EQ(Lookup("", "Kept"), std::nullopt);
  EXPECT_EQ(Lookup("Kept=1", "Kept"), "1");  // still cached: not parsed again
  EXPECT_EQ(ParameterParseCount(), before);
}

}  // namespace
