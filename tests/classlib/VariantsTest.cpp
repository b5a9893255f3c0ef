// Variants holding dates: their kind, equality, and the conversions between dates,
// numbers and texts through the format settings.
#include <gtest/gtest.h>

#include "classlib/DateUtils.h"
#include "classlib/Exceptions.h"
#include "classlib/FormatSettings.h"
#include "classlib/Variants.h"
#include "tests/classlib/ExpectError.h"

namespace {

// Sets FormatSettings for one test and puts the old values back.
struct TSettingsScope {
  TFormatSettings Saved = FormatSettings;
  ~TSettingsScope() { FormatSettings = Saved; }
};

TEST(VariantsTest, DateIsAKindOfItsOwn) {
  const TDateTime ides = EncodeDate(2024, 3, 15);
  const Variant date = VarFromDateTime(ides);
  EXPECT_TRUE(date.IsDate());
  EXPECT_EQ(date.VarType(), varDate);
  EXPECT_FALSE(VarIsNull(date));
  EXPECT_EQ(date, VarFromDateTime(ides));
  EXPECT_FALSE(date == Variant(ides)) << "a number with the same day count is not the date";
  EXPECT_EQ(Variant(ides).VarType(), varDouble);
  EXPECT_EQ(Variant::Null().VarType(), varNull);
  EXPECT_EQ(Variant().VarType(), varEmpty);
  EXPECT_EQ(Variant("x").VarType(), varString);
  EXPECT_EQ(VarFromDateTime(ides + 0.75).AsInteger(), 45367) << "the day count, rounded";
}

TEST(VariantsTest, DatesBecomeTextThroughTheSettings) {
  TSettingsScope scope;
  FormatSettings.ShortDateFormat = "dd.MM.yyyy";
  FormatSettings.DateSeparator = '.';
  FormatSettings.LongTimeFormat = "HH:mm:ss";
  EXPECT_EQ(VarToStr(VarFromDateTime(EncodeDate(2024, 3, 15))), "15.03.2024");
  EXPECT_EQ(VarToStr(VarFromDateTime(EncodeDate(2024, 3, 15) + EncodeTime(18, 30, 0, 0))), "15.03.2024 18:30:00");
  FormatSettings.ShortDateFormat = "M/d/yyyy";
  FormatSettings.DateSeparator = '/';
  EXPECT_EQ(VarToStr(VarFromDateTime(EncodeDate(1850, 1, 2))), "1/2/1850") << "before day 0 too";
}

TEST(VariantsTest, TextsAndNumbersBecomeDates) {
  TSettingsScope scope;
  FormatSettings.ShortDateFormat = "dd.MM.yyyy";
  FormatSettings.DateSeparator = '.';
  EXPECT_EQ(VarToDateTime(Variant("15.03.2024")), EncodeDate(2024, 3, 15));
  EXPECT_EQ(VarToDateTime(Variant(" 15 March 2024 ")), EncodeDate(2024, 3, 15)) << "as people type dates";
  EXPECT_EQ(VarToDateTime(Variant(45366.5)), 45366.5);
  EXPECT_EQ(VarToDateTime(Variant(int32_t(2))), 2.0);
  const TDateTime ides = EncodeDate(2024, 3, 15);
  EXPECT_EQ(VarToDateTime(VarFromDateTime(ides)), ides);
  // A date survives the trip through its own text.
  EXPECT_EQ(VarToDateTime(Variant(VarToStr(VarFromDateTime(ides)))), ides);
}

TEST(VariantsTest, WhatIsNoDateRaises) {
  ExpectRaises<EConvertError>([] { VarToDateTime(Variant::Null()); },
                              "Could not convert variant of type (Null) into type (Date)");
  ExpectRaises<EConvertError>([] { VarToDateTime(Variant()); },
                              "Could not convert variant of type (Empty) into type (Date)");
  ExpectRaises<EConvertError>([] { VarToDateTime(Variant(true)); },
                              "Could not convert variant of type (Boolean) into type (Date)");
  EXPECT_THROW(VarToDateTime(Variant("abc")), EConvertError);
}

}  // namespace
