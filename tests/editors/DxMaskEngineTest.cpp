// The mask engine: character types with escapes and fields, directives in force, the
// fields' save flag and blank, position arithmetic, formatting forward and in
// reverse, the value of an edit text, validation and the character tests.
#include <string>

#include <gtest/gtest.h>

#include "classlib/FormatSettings.h"
#include "editors/DxMaskEngine.h"

namespace {

std::string Types(std::string_view mask) {
  std::string s;
  for (int i = 1; i <= int(mask.size()); ++i)
    s += char('0' + MaskGetCharType(mask, i));
  return s;
}

TEST(DxMaskEngineTest, CharacterTypes) {
  EXPECT_EQ(Types("0A9a-/:!"), "44551223");
  EXPECT_EQ(Types("!999;0;_"), "35556767");
  EXPECT_EQ(MaskGetCharType("0", 0), mcNone);
  EXPECT_EQ(MaskGetCharType("0", 2), mcNone);
  // A backslash before "A" makes it a literal; two backslashes are a literal
  // backslash and the next character keeps its type.
  EXPECT_EQ(Types("\\A"), "31");
  EXPECT_EQ(Types("\\\\0"), "314");
  EXPECT_EQ(Types("9;9"), "515") << "a separator needs a mask of four characters";
  EXPECT_EQ(Types("99\\;0"), "55314") << "an escaped separator is a literal";
}

TEST(DxMaskEngineTest, DirectivesInForce) {
  const std::string mask = "a>aa<a<>a";
  EXPECT_TRUE(MaskGetCurrentDirectives(mask, 1).Empty());
  EXPECT_TRUE(MaskGetCurrentDirectives(mask, 3).Contains(mdUpperCase));
  EXPECT_TRUE(MaskGetCurrentDirectives(mask, 4).Contains(mdUpperCase));
  EXPECT_TRUE(MaskGetCurrentDirectives(mask, 6).Contains(mdLowerCase));
  EXPECT_FALSE(MaskGetCurrentDirectives(mask, 6).Contains(mdUpperCase));
  const TMaskDirectives off = MaskGetCurrentDirectives(mask, 9);
  EXPECT_FALSE(off.Contains(mdUpperCase)) << "\"<>\" ends case conversion";
  EXPECT_FALSE(off.Contains(mdLowerCase));
  EXPECT_TRUE(MaskGetCurrentDirectives("99!", 1).Contains(mdReverseDir));
  EXPECT_TRUE(MaskGetCurrentDirectives("9-9", 2).Contains(mdLiteralChar));
}

TEST(DxMaskEngineTest, FieldsGiveSaveFlagAndBlank) {
  EXPECT_FALSE(MaskGetMaskSave("!999;0;_"));
  EXPECT_TRUE(MaskGetMaskSave("!999;1;_"));
  EXPECT_TRUE(MaskGetMaskSave("999-99"));
  EXPECT_EQ(MaskGetMaskBlank("!999;0;*"), '*');
  EXPECT_EQ(MaskGetMaskBlank("999;;*"), '*');
  EXPECT_EQ(MaskGetMaskBlank("99999;0"), DefaultBlank);
  EXPECT_EQ(MaskGetMaskBlank("999"), DefaultBlank);
}

TEST(DxMaskEngineTest, PositionsSkipDirectivesAndFields) {
  const std::string mask = ">LL-00;0;_";
  EXPECT_EQ(MaskOffsetToOffset(mask, int(mask.size())), 5);
  EXPECT_EQ(MaskOffsetToOffset(mask, 2), 1);
  EXPECT_EQ(OffsetToMaskOffset(mask, 1), 2);
  EXPECT_EQ(OffsetToMaskOffset(mask, 3), 4);
  EXPECT_EQ(OffsetToMaskOffset(mask, 6), -1);
  EXPECT_TRUE(IsLiteralChar(mask, 3));
  EXPECT_FALSE(IsLiteralChar(mask, 4));
}

TEST(DxMaskEngineTest, FormattingForwardAndInReverse) {
  EXPECT_EQ(FormatMaskText("!999;0;_", "12", '_'), "_12") << "reverse fill puts the blank in front";
  EXPECT_EQ(FormatMaskText("000-0000", "12", '_'), "12_-____");
  EXPECT_EQ(FormatMaskText("000-0000", "", ' '), "   -    ");
  EXPECT_EQ(FormatMaskText("!99-99", "123", '_'), "_1-23");
  FormatSettings.DateSeparator = '.';
  EXPECT_EQ(FormatMaskText("99/99", "1231", '_'), "12.31");
  FormatSettings.DateSeparator = '/';
  EXPECT_EQ(FormatMaskText("\\(000\\)", "5", '_'), "(5__)");
}

TEST(DxMaskEngineTest, ValueOfAnEditText) {
  EXPECT_EQ(MaskTextValue("000-0000", "12_-34__", '_', false), "1234");
  EXPECT_EQ(MaskTextValue("000-0000", "12_-34__", '_', true), "12-34");
}

TEST(DxMaskEngineTest, ValidationFindsTheFirstUnfilledRequiredPosition) {
  int position = -1;
  EXPECT_TRUE(MaskValidate("", "anything", '_', position));
  EXPECT_TRUE(MaskValidate("000-99", "123-__", '_', position));
  EXPECT_FALSE(MaskValidate("000-99", "1_3-__", '_', position));
  EXPECT_EQ(position, 1);
  EXPECT_FALSE(MaskValidate("00", "1 ", '_', position)) << "a space fills only a \"C\"";
  EXPECT_TRUE(MaskValidate("CC", "1 ", '_', position));
  EXPECT_FALSE(MaskValidate("CC", "1_", '_', position)) << "a blank fills nothing";
  // Regression: a text shorter than its mask was read past its end and accepted.
  EXPECT_FALSE(MaskValidate("0000", "12", '_', position));
  EXPECT_EQ(position, 2);
}

TEST(DxMaskEngineTest, CharacterTestsAndCase) {
  EXPECT_TRUE(MaskCharAccepts('0', '7'));
  EXPECT_FALSE(MaskCharAccepts('9', 'x'));
  EXPECT_TRUE(MaskCharAccepts('#', '+'));
  EXPECT_TRUE(MaskCharAccepts('#', ' '));
  EXPECT_FALSE(MaskCharAccepts('#', 'a'));
  EXPECT_TRUE(MaskCharAccepts('L', 'q'));
  EXPECT_FALSE(MaskCharAccepts('l', '1'));
  EXPECT_TRUE(MaskCharAccepts('A', '1'));
  EXPECT_FALSE(MaskCharAccepts('a', '-'));
  EXPECT_TRUE(MaskCharAccepts('C', '-'));
  EXPECT_EQ(MaskApplyCase('q', TMaskDirectives{mdUpperCase}), 'Q');
  EXPECT_EQ(MaskApplyCase('Q', TMaskDirectives{mdLowerCase}), 'q');
  EXPECT_EQ(MaskApplyCase('5', TMaskDirectives{mdUpperCase}), '5');
}

}  // namespace
