#include <gtest/gtest.h>

#include "classlib/Events.h"
#include "classlib/Strings.h"

namespace {

struct TCounter {
  int Hits = 0;
  int Last = 0;
  void Add(int n) { Hits++; Last = n; }
  void Other(int n) { Last = -n; }
};

TEST(Events, FireOnlyWhenAssignedAndCompareByCodeAndData) {
  TEvent<int> unassigned;
  unassigned(5);  // nothing happens
  EXPECT_FALSE(unassigned.Assigned());
  TCounter a, b;
  auto onA = TEvent<int>::Bind<&TCounter::Add>(&a);
  onA(3);
  EXPECT_EQ(a.Hits, 1);
  EXPECT_EQ(a.Last, 3);
  EXPECT_EQ(onA, (TEvent<int>::Bind<&TCounter::Add>(&a)));
  EXPECT_EQ(onA.Code(), (TEvent<int>::Bind<&TCounter::Add>(&b).Code()));
  EXPECT_FALSE(onA == (TEvent<int>::Bind<&TCounter::Add>(&b)));
  EXPECT_NE(onA.Code(), (TEvent<int>::Bind<&TCounter::Other>(&a).Code()));
  // A method reference survives a round trip through its raw 8 bytes.
  TMethod raw = onA.Method();
  TEvent<int>::FromMethod(raw)(9);
  EXPECT_EQ(a.Last, 9);
}

TEST(Strings, TrimCaseAndCompare) {
  EXPECT_EQ(Trim(std::string("\x01 \t ab c \x20\x1f", 11)), "ab c");
  EXPECT_EQ(Trim("   "), "");
  EXPECT_EQ(TrimLeft("  a "), "a ");
  EXPECT_EQ(TrimRight("  a "), "  a");
  EXPECT_EQ(UpperCase("abZ\xe9"), "ABZ\xe9");  // ASCII only
  EXPECT_EQ(LowerCase("ABz"), "abz");
  EXPECT_LT(CompareText("abc", "ABD"), 0);
  EXPECT_EQ(CompareText("Layer", "LAYER"), 0);
  EXPECT_LT(CompareText("ab", "abc"), 0);
  // '_' (95) sorts after upper-cased letters, before lower-case ones in an ordinal compare.
  EXPECT_GT(CompareText("a_", "aZ"), 0);
  EXPECT_LT(CompareStr("B", "a"), 0);
  EXPECT_TRUE(SameText("Top Layer", "top layer"));
  EXPECT_FALSE(SameText("Top", "Top "));
  EXPECT_TRUE(AnsiSameText("Abc", "aBC"));
  EXPECT_EQ(AnsiUpperCase("abc"), "ABC");
}

TEST(Strings, AdjustLineBreaksMakesEveryBreakCrLf) {
  EXPECT_EQ(AdjustLineBreaks("a\rb\nc\r\nd\n\re"), "a\r\nb\r\nc\r\nd\r\ne");
  EXPECT_EQ(AdjustLineBreaks("\n\n\r\r"), "\r\n\r\n\r\n") << "LF, LF CR, CR";
  EXPECT_EQ(AdjustLineBreaks("\r\r\n"), "\r\n\r\n");
  EXPECT_EQ(AdjustLineBreaks("plain"), "plain");
  EXPECT_EQ(AdjustLineBreaks(""), "");
}

}  // namespace

#include "classlib/ShortString.h"

namespace {

TEST(ShortStrings, CutAtCapacityAndKeepTheirLayout) {
  ShortString<20> s = "0123456789abcdefghijKLMNOP";
  EXPECT_EQ(s.Length(), 20u);
  EXPECT_EQ(s.Str(), "0123456789abcdefghij");
  ShortString<255> full(std::string(300, 'x'));
  EXPECT_EQ(full.Length(), 255u);
  const auto* raw = reinterpret_cast<const unsigned char*>(&full);
  EXPECT_EQ(raw[0], 255);
  EXPECT_EQ(raw[255], 'x');
  ShortString<5> narrowed = ShortString<250>("abcdefg");
  EXPECT_EQ(narrowed.Str(), "abcde");
  ShortString<10> empty = static_cast<const char*>(nullptr);
  EXPECT_TRUE(empty.Empty());
}

}  // namespace
