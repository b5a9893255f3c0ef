// The XP utilities: the enabled test along the parent chain, the digit-aware
// comparison and its chunks, the gradient colours by rule and both fill back ends,
// and the choice between them at start-up.
#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "classlib/Controls.h"
#include "classlib/Strings.h"
#include "tests/support/TestSupport.h"
#include "xpcontrols/XPUtils.h"

namespace {

TEST(IsControlEnabledTest, FollowsTheParentChain) {
  EXPECT_FALSE(IsControlEnabled(nullptr));
  TWinControl panel(nullptr);
  TWinControl inner(nullptr);
  TWinControl control(nullptr);
  inner.SetParent(&panel);
  control.SetParent(&inner);
  EXPECT_TRUE(IsControlEnabled(&control));
  panel.SetEnabled(false);
  EXPECT_FALSE(IsControlEnabled(&control));
  EXPECT_TRUE(control.GetEnabled());
  panel.SetEnabled(true);
  control.SetEnabled(false);
  EXPECT_FALSE(IsControlEnabled(&control));
  control.SetParent(nullptr);
  inner.SetParent(nullptr);
}

TEST(NaturalCompareTest, OrdersNumbersByValueAndLettersWithoutCase) {
  struct TCase {
    const char* A;
    const char* B;
    int Expected;
  };
  const TCase cases[] = {
      {"", "", 0},
      {"abc", "", 1},
      {"", "abc", -1},
      {"file2", "file10", -1},
      {"file10", "file2", 1},
      {"item9", "item10", -1},
      {"2", "02", 0},
      {"b1", "a2", 1},
      {"ABC1", "abc1", 0},
      {"a 1", "a1", 0},
      {"x123456789", "x923456789", 0},  // only the last eight digits count
      {"x12345678", "x12345679", -1},
      {"Alpha", "beta", -1},
      {"a1b2", "a1b10", -1},
  };
  for (const TCase& c : cases)
    EXPECT_EQ(NaturalCompare(c.A, c.B), c.Expected) << '"' << c.A << "\" vs \"" << c.B << '"';
}

TEST(NaturalCompareTest, SplitsRunsAndPadsDigits) {
  std::string s = "ab12cd";
  std::string chunk;
  SplitNaturalChunk(s, chunk);
  EXPECT_EQ(chunk, "ab");
  SplitNaturalChunk(s, chunk);
  EXPECT_EQ(chunk, "00000012");
  SplitNaturalChunk(s, chunk);
  EXPECT_EQ(chunk, "cd");
  EXPECT_EQ(s, "");
  SplitNaturalChunk(s, chunk);
  EXPECT_EQ(chunk, "");
  s = "1234567890x";
  SplitNaturalChunk(s, chunk);
  EXPECT_EQ(chunk, "34567890");
  EXPECT_EQ(s, "x");

  std::string blanks = " a\tb  c ";
  RemoveBlanks(blanks);
  EXPECT_EQ(blanks, "a\tbc");  // tabs stay
  EXPECT_TRUE(HasDigit("ab7"));
  EXPECT_FALSE(HasDigit("abc"));
}

// The comparison walks both texts in place; it must answer as the chunks that
// RemoveBlanks and SplitNaturalChunk cut give them (a text without digits being one
// chunk as it stands), compared one by one without case, on texts of letters, digits
// and blanks of every mix.
TEST(NaturalCompareTest, AnswersAsTheChunksOfTheTextsWithoutBlanks) {
  auto byChunks = [](std::string a, std::string b) {
    if (a == b)
      return 0;
    const bool wholeA = !HasDigit(a);
    const bool wholeB = !HasDigit(b);
    if (!wholeA)
      RemoveBlanks(a);
    if (!wholeB)
      RemoveBlanks(b);
    auto split = [](std::string& s, std::string& chunk, bool whole) {
      if (!whole)
        return SplitNaturalChunk(s, chunk);
      chunk = s;
      s.clear();
    };
    std::string chunkA, chunkB;
    int r = 0;
    do {
      split(a, chunkA, wholeA);
      split(b, chunkB, wholeB);
      r = CompareText(chunkA, chunkB);
    } while (r == 0 && (!chunkA.empty() || !chunkB.empty()));
    return (r > 0) - (r < 0);
  };
  std::mt19937 random(3);
  const char alphabet[] = "aAb 0129";
  auto text = [&] {
    std::string s(random() % 12, ' ');
    for (char& c : s)
      c = alphabet[random() % 8];
    return s;
  };
  for (int i = 0; i < 20000; ++i) {
    const std::string a = text(), b = text();
    ASSERT_EQ(NaturalCompare(a, b), byChunks(a, b)) << '"' << a << "\" vs \"" << b << '"';
  }
}

// Regression: the comparison was no order: it stopped at the first chunks that differed
// in case only ("A1" equal to "a2" and to "a10", while "a2" < "a10"), and compared a
// text without digits with one with digits as plain text, so a sort's result depended
// on its input order.
TEST(NaturalCompareTest, IsAnOrderOverTextsOfMixedCaseDigitsAndBlanks) {
  EXPECT_EQ(NaturalCompare("A1", "a2"), -1);
  EXPECT_EQ(NaturalCompare("a2", "A1"), 1);
  EXPECT_EQ(NaturalCompare("A1", "a10"), -1);
  EXPECT_EQ(NaturalCompare("a2", "a10"), -1);
  EXPECT_EQ(NaturalCompare("File2b", "file2A"), 1);
  EXPECT_EQ(NaturalCompare("a b", "a1"), 1) << "as against \"a 1\", which equals \"a1\"";
  EXPECT_EQ(NaturalCompare("a b", "a 1"), 1);
  // Every order of the same texts sorts the same way.
  std::vector<std::string> texts = {"a10", "a2", "A1", "a2"};
  std::sort(texts.begin(), texts.end());
  do {
    std::vector<std::string> sorted = texts;
    std::sort(sorted.begin(), sorted.end(),
              [](const std::string& x, const std::string& y) { return NaturalCompare(x, y) > 0; });
    EXPECT_EQ(sorted, (std::vector<std::string>{"a10", "a2", "a2", "A1"}));
  } while (std::next_permutation(texts.begin(), texts.end()));

  // Antisymmetric and transitive over random texts (the same ones in every run).
  std::mt19937 random(11);
  const char alphabet[] = "aAbB -0129";
  std::vector<std::string> pool(150);
  for (std::string& text : pool) {
    text.resize(random() % 9);
    for (char& c : text)
      c = alphabet[random() % (sizeof alphabet - 1)];
  }
  const size_t n = pool.size();
  std::vector<int> order(n * n);
  for (size_t i = 0; i < n; ++i)
    for (size_t j = 0; j < n; ++j)
      order[i * n + j] = NaturalCompare(pool[i], pool[j]);
  auto at = [&](size_t i, size_t j) { return order[i * n + j]; };
  for (size_t i = 0; i < n; ++i) {
    ASSERT_EQ(at(i, i), 0) << '"' << pool[i] << '"';
    for (size_t j = 0; j < n; ++j) {
      ASSERT_EQ(at(i, j), -at(j, i)) << '"' << pool[i] << "\" vs \"" << pool[j] << '"';
      for (size_t k = 0; k < n; ++k) {
        // i <= j and j <= k give i <= k, strictly when either step is strict.
        if (at(i, j) > 0 || at(j, k) > 0)
          continue;
        const int want = at(i, j) < 0 || at(j, k) < 0 ? -1 : 0;
        ASSERT_EQ(at(i, k), want) << '"' << pool[i] << "\", \"" << pool[j] << "\", \"" << pool[k] << '"';
      }
    }
  }
}

TEST(GradientTest, ColoursFollowTheRoundingRule) {
  // Each channel is start + (end - start) * i / n, halves to the even neighbour.
  EXPECT_EQ(GradientColorAt(0, 4, TColor(RGB(0, 0, 0)), TColor(RGB(10, 20, 30))), TColor(RGB(0, 0, 0)));
  EXPECT_EQ(GradientColorAt(1, 4, TColor(RGB(0, 0, 0)), TColor(RGB(10, 20, 30))), TColor(RGB(2, 5, 8)));
  EXPECT_EQ(GradientColorAt(1, 2, TColor(RGB(0, 0, 0)), TColor(RGB(255, 1, 3))), TColor(RGB(128, 0, 2)));
  EXPECT_EQ(GradientColorAt(3, 2, TColor(RGB(0, 0, 0)), TColor(RGB(0, 0, 3))), TColor(RGB(0, 0, 4)));
  EXPECT_EQ(GradientColorAt(4, 4, TColor(RGB(200, 100, 50)), TColor(RGB(0, 0, 0))), TColor(RGB(0, 0, 0)));
  // System colours are resolved first.
  EXPECT_EQ(GradientColorAt(0, 3, clBtnFace, TColor(RGB(0, 0, 0))), TColor(ColorToRGB(clBtnFace)));
}

TEST(GradientTest, SetPixelBackEndFillsRowsAndColumnsByRule) {
  TDibSurface surface(20, 12);
  const COLORREF sentinel = RGB(1, 2, 3);
  surface.Fill(sentinel);
  const TColor start = TColor(RGB(250, 10, 0));
  const TColor end = TColor(RGB(0, 100, 255));
  GradientFillRect(surface.DC(), Rect(2, 1, 12, 5), start, /*horizontal=*/true, end);
  GradientFillRect(surface.DC(), Rect(13, 2, 17, 11), start, /*horizontal=*/false, end);
  GdiFlush();
  for (int y = 0; y < 12; ++y)
    for (int x = 0; x < 20; ++x) {
      COLORREF want = sentinel;
      if (x >= 2 && x < 12 && y >= 1 && y < 5)
        want = COLORREF(GradientColorAt(x - 2, 9, start, end));
      if (x >= 13 && x < 17 && y >= 2 && y < 11)
        want = COLORREF(GradientColorAt(y - 2, 8, start, end));
      ASSERT_EQ(surface.Color(x, y), want) << x << ", " << y;
    }
}

TEST(GradientTest, SetPixelBackEndTakesOnePixelAndEmptyRectangles) {
  TDibSurface surface(6, 6);
  surface.Fill(RGB(1, 2, 3));
  const TColor start = TColor(RGB(40, 50, 60));
  GradientFillRect(surface.DC(), Rect(1, 1, 2, 4), start, /*horizontal=*/true, TColor(RGB(0, 0, 0)));
  GradientFillRect(surface.DC(), Rect(3, 1, 5, 2), start, /*horizontal=*/false, TColor(RGB(0, 0, 0)));
  GradientFillRect(surface.DC(), Rect(4, 4, 4, 6), start, /*horizontal=*/true, TColor(RGB(0, 0, 0)));
  GdiFlush();
  for (int y = 1; y < 4; ++y)
    EXPECT_EQ(surface.Color(1, y), COLORREF(start));
  EXPECT_EQ(surface.Color(3, 1), COLORREF(start));
  EXPECT_EQ(surface.Color(4, 1), COLORREF(start));
  EXPECT_EQ(surface.Color(4, 4), RGB(1, 2, 3));
}

TEST(GradientTest, MsImgBackEndRunsAlongTheChosenDirection) {
  ASSERT_EQ(GradientFillProc, GradientFillRectMsImg) << "msimg32's GradientFill is present";
  TDibSurface surface(40, 20);
  surface.Fill(RGB(1, 2, 3));
  const TColor start = TColor(RGB(0, 0, 0));
  const TColor end = TColor(RGB(255, 0, 200));
  GradientFillProc(surface.DC(), Rect(0, 0, 40, 10), start, /*horizontal=*/true, end);
  GradientFillProc(surface.DC(), Rect(0, 10, 40, 20), start, /*horizontal=*/false, end);
  GdiFlush();
  EXPECT_EQ(surface.Color(0, 0), RGB(0, 0, 0));
  EXPECT_EQ(surface.Color(0, 10), RGB(0, 0, 0));
  for (int x = 1; x < 40; ++x) {
    EXPECT_GE(GetRValue(surface.Color(x, 3)), GetRValue(surface.Color(x - 1, 3)));
    EXPECT_EQ(surface.Color(x, 3), surface.Color(x, 7));     // constant down a column
    EXPECT_EQ(surface.Color(x, 15), surface.Color(0, 15));   // constant along a row
  }
  EXPECT_GT(GetRValue(surface.Color(39, 3)), 200);
  EXPECT_GT(GetRValue(surface.Color(0, 19)), 200);
}

TEST(GradientTest, StartUpChoosesTheBackEndOnceAndCountsCalls) {
  FinalizeXPUtils();  // the test program started it once
  EXPECT_EQ(GradientFillProc, GradientFillRect);
  InitializeXPUtilsWith("kivo-missing-msimg.dll");
  EXPECT_EQ(GradientFillProc, GradientFillRect);
  FinalizeXPUtils();
  InitializeXPUtils();
  EXPECT_EQ(GradientFillProc, GradientFillRectMsImg);
  InitializeXPUtilsWith("kivo-missing-msimg.dll");  // counted only
  EXPECT_EQ(GradientFillProc, GradientFillRectMsImg);
  FinalizeXPUtils();
  EXPECT_EQ(GradientFillProc, GradientFillRectMsImg);
  FinalizeXPUtils();
  EXPECT_EQ(GradientFillProc, GradientFillRect);
  InitializeXPUtils();
  // Without msimg32 the SetPixel back end still draws.
  TDibSurface surface(4, 1);
  FinalizeXPUtils();
  InitializeXPUtilsWith("kivo-missing-msimg.dll");
  GradientFillProc(surface.DC(), Rect(0, 0, 4, 1), TColor(RGB(0, 0, 0)), true, TColor(RGB(3, 0, 0)));
  GdiFlush();
  EXPECT_EQ(surface.Color(2, 0), RGB(2, 0, 0));
  FinalizeXPUtils();
  InitializeXPUtils();
}

}  // namespace
