// The theme contract, the theme registry, the text-flag helper and the theme engine.
#include <memory>

#include <gtest/gtest.h>

#include "classlib/Filer.h"
#include "classlib/Forms.h"
#include "skin/TeThemeEngine.h"
#include "skin/TeThemeHighlight.h"
#include "skin/TeThemeLines.h"
#include "skin/TeThemeLuna.h"

namespace {

// A theme that counts its Changed calls and can be told to be unavailable.
class TCountingTheme : public TTeTheme {
  KIVO_CLASS(TCountingTheme, TTeTheme)
 public:
  static inline bool Available = true;
  int ChangedCount = 0;
  void Changed() override { ++ChangedCount; }
  bool IsAvailable() override { return Available; }
  TColor GetColor(uint8_t kind) override { return kind == 6 ? TColor(0x123456) : 0; }
  static std::string ThemeName() { return "Counting"; }
};

// A theme whose constructor fails, as Luna's does without its resources.
class TFailingTheme : public TTeTheme {
  KIVO_CLASS(TFailingTheme, TTeTheme)
 public:
  TFailingTheme() { throw EResNotFound("Resource XP_MAIN not found"); }
  static std::string ThemeName() { return "Failing"; }
};

// Restores the registry the units made after a test that changes it.
class TeThemeRegistry : public ::testing::Test {
 protected:
  void TearDown() override {
    UnregisterThemes();
    InitializeTeTheme();
    InitializeTeThemeLuna();
    InitializeTeThemeHighlight();
    InitializeTeThemeLines();
  }
  static void Use(std::initializer_list<const TTeThemeClass*> classes) {
    UnregisterThemes();
    for (auto* c : classes)
      RegisterTheme(c);
  }
};

const TTeThemeClass* Counting() { return &TCountingTheme::MetaClass(); }
const TTeThemeClass* Luna() { return &TTeThemeLuna::MetaClass(); }

}  // namespace

TEST_F(TeThemeRegistry, StartsWithBaseThenLunaKeepsOrderAndDuplicates) {
  ASSERT_EQ(ThemeClassCount(), 4);
  EXPECT_EQ(GetThemeClass(0)->ThemeName(), "No Theme");
  EXPECT_EQ(GetThemeClass(1)->ThemeName(), "Luna");
  Use({&TTeTheme::MetaClass(), Luna()});
  RegisterTheme(Counting());
  RegisterTheme(Luna());
  ASSERT_EQ(ThemeClassCount(), 4);
  EXPECT_EQ(GetThemeClass(2), Counting());
  EXPECT_EQ(GetThemeClass(3), Luna());
  EXPECT_EQ(FindThemeClass("Luna"), Luna());
  EXPECT_EQ(FindThemeClass("luna"), nullptr);  // names compare exactly
  EXPECT_EQ(FindThemeClass("XP ThemeAPI"), nullptr);
  EXPECT_THROW(GetThemeClass(4), EListError);
}

TEST(TeTheme, BaseAnswersNothingAndMakesItselfByClass) {
  std::unique_ptr<TTeTheme> theme(TTeTheme::MetaClass().Create());
  EXPECT_EQ(theme->ClassType(), TTeTheme::StaticClass());
  EXPECT_EQ(theme->ThemeClass()->ThemeName(), "No Theme");
  EXPECT_FALSE(theme->IsAvailable());
  EXPECT_EQ(theme->GetSize(2), 0);
  EXPECT_EQ(theme->GetColor(6), 0);
  std::string name = "x";
  theme->GetFontName(0, name);
  EXPECT_EQ(name, "");
  EXPECT_EQ(theme->GetFormRegion(10, 10, kbsStandard), nullptr);
}

TEST(TeTheme, EqualDeltasDoNotCallChanged) {
  TCountingTheme theme;
  theme.SetDeltaHue(0);
  theme.SetDeltaBrightness(0);
  EXPECT_EQ(theme.ChangedCount, 0);
  theme.SetDeltaHue(10);
  theme.SetDeltaHue(10);
  theme.SetDeltaBrightness(-5);
  EXPECT_EQ(theme.ChangedCount, 2);
  EXPECT_EQ(theme.GetDeltaHue(), 10);
  EXPECT_EQ(theme.GetDeltaBrightness(), -5);
}

TEST(TeTheme, TextFlagsFollowTheLocaleAndBiDiMode) {
  const UINT left = DT_LEFT | DT_VCENTER, right = DT_RIGHT, centre = DT_CENTER;
  // Outside the Middle East nothing changes.
  EXPECT_EQ(BiDiModeTextFlags(left, bdRightToLeft, false), left);
  EXPECT_EQ(BiDiModeTextFlags(left, bdLeftToRight, true), left);
  // Right-to-left alignment swaps left and right, keeps centred text; reading is added.
  EXPECT_EQ(BiDiModeTextFlags(left, bdRightToLeft, true), left | DT_RIGHT | DT_RTLREADING);
  EXPECT_EQ(BiDiModeTextFlags(right, bdRightToLeft, true), UINT(DT_RTLREADING));
  EXPECT_EQ(BiDiModeTextFlags(centre, bdRightToLeft, true), centre | DT_RTLREADING);
  // The other right-to-left modes only read right to left.
  EXPECT_EQ(BiDiModeTextFlags(left, bdRightToLeftNoAlign, true), left | DT_RTLREADING);
  EXPECT_EQ(BiDiModeTextFlags(right, bdRightToLeftReadingOnly, true), right | DT_RTLREADING);
}

// ---- Engine --------------------------------------------------------------------------

namespace {

// Stands in for the themed form: owned by a form, pointing at an engine.
class TFakeThemedForm : public TComponent, public ITeThemedForm {
  KIVO_CLASS(TFakeThemedForm, TComponent)
 public:
  using TComponent::TComponent;
  TTeThemeEngine* Engine = nullptr;
  int Refreshes = 0;
  TTeThemeEngine* GetThemeEngine() const override { return Engine; }
  void ThemeChanged() override { ++Refreshes; }
};

std::string ThemeClassBytes(int32_t length, const std::string& name) {
  std::string bytes(reinterpret_cast<const char*>(&length), 4);
  return bytes + name;
}

// Reads a "ThemeClass" property with the given bytes into the engine.
void ReadThemeClass(TTeThemeEngine& engine, const std::string& bytes) {
  TFilerData data{{"ThemeClass", true, {bytes}}};
  TReader(data).ReadProperties(&engine);
}

}  // namespace

class TeThemeEngineTest : public TeThemeRegistry {};

TEST_F(TeThemeEngineTest, NewEngineHasLunaAndNoShift) {
  TTeThemeEngine engine(nullptr);
  ASSERT_NE(engine.GetTheme(), nullptr);
  EXPECT_EQ(engine.GetTheme()->ClassType(), TTeThemeLuna::StaticClass());
  EXPECT_EQ(engine.GetDeltaHue(), 0);
  EXPECT_EQ(engine.GetDeltaBrightness(), 0);
  EXPECT_FALSE(engine.GetUseNativeXPTheme());
  engine.SetVersion("1.0");
  EXPECT_EQ(engine.GetVersion(), "2.7.9");
}

TEST_F(TeThemeEngineTest, AssigningTheCurrentThemeKeepsIt) {
  // Fault: the setter freed the old theme even when it was the new one, keeping a dangling pointer.
  TTeThemeEngine engine(nullptr);
  TTeTheme* theme = engine.GetTheme();
  engine.SetTheme(theme);
  EXPECT_EQ(engine.GetTheme(), theme);
  EXPECT_EQ(engine.GetTheme()->ThemeClass()->ThemeName(), "Luna");
}

TEST_F(TeThemeEngineTest, SelectsRegisteredClassesOnlyAndHandsOverTheShift) {
  RegisterTheme(Counting());
  TTeThemeEngine engine(nullptr);
  engine.SetDeltaHue(7);
  engine.SelectThemeClass(Counting());
  auto* counting = ObjectAs<TCountingTheme>(engine.GetTheme());
  ASSERT_NE(counting, nullptr);
  EXPECT_EQ(counting->GetDeltaHue(), 7);
  EXPECT_EQ(counting->ChangedCount, 1);  // brightness 0 equals its own
  engine.SelectThemeClass(&TFailingTheme::MetaClass());  // not registered
  EXPECT_EQ(engine.GetTheme(), counting);
}

TEST_F(TeThemeEngineTest, AFailingConstructorKeepsTheCurrentTheme) {
  // Fault: the old theme was freed before the new one was made, so a failing constructor left it dangling.
  RegisterTheme(&TFailingTheme::MetaClass());
  TTeThemeEngine engine(nullptr);
  TTeTheme* before = engine.GetTheme();
  EXPECT_THROW(engine.SelectThemeClass(&TFailingTheme::MetaClass()), EResNotFound);
  EXPECT_EQ(engine.GetTheme(), before);
  EXPECT_TRUE(engine.ThemeAvailable());
}

TEST_F(TeThemeEngineTest, EqualDeltasDoNotReachTheTheme) {
  RegisterTheme(Counting());
  TTeThemeEngine engine(nullptr);
  engine.SelectThemeClass(Counting());
  auto* theme = static_cast<TCountingTheme*>(engine.GetTheme());
  engine.SetDeltaHue(0);
  engine.SetDeltaBrightness(0);
  EXPECT_EQ(theme->ChangedCount, 0);
  engine.SetDeltaBrightness(12);
  EXPECT_EQ(theme->ChangedCount, 1);
  EXPECT_EQ(theme->GetDeltaBrightness(), 12);
}

TEST_F(TeThemeEngineTest, ThemeClassRoundTripsByName) {
  RegisterTheme(Counting());
  TTeThemeEngine source(nullptr);
  source.SelectThemeClass(Counting());
  TFilerData data;
  TWriter(data).WriteProperties(&source);
  ASSERT_EQ(data.size(), 1u);
  EXPECT_EQ(std::get<std::string>(data[0].Values[0]), ThemeClassBytes(8, "Counting"));
  TTeThemeEngine target(nullptr);
  TReader(data).ReadProperties(&target);
  EXPECT_EQ(target.GetTheme()->ClassType(), TCountingTheme::StaticClass());
  // Luna is written even though it is the default.
  TTeThemeEngine luna(nullptr);
  TFilerData lunaData;
  TWriter(lunaData).WriteProperties(&luna);
  ASSERT_EQ(lunaData.size(), 1u);
  EXPECT_EQ(std::get<std::string>(lunaData[0].Values[0]), ThemeClassBytes(4, "Luna"));
}

TEST_F(TeThemeEngineTest, UnknownOrBadThemeClassKeepsTheTheme) {
  RegisterTheme(Counting());
  TTeThemeEngine engine(nullptr);
  TTeTheme* luna = engine.GetTheme();
  ReadThemeClass(engine, ThemeClassBytes(11, "XP ThemeAPI"));  // not registered here
  ReadThemeClass(engine, ThemeClassBytes(8, "counting"));      // names are case-sensitive
  // Fault: a stored length that is negative or runs past the data was trusted.
  ReadThemeClass(engine, ThemeClassBytes(-1, "Counting"));
  ReadThemeClass(engine, ThemeClassBytes(9, "Counting"));
  ReadThemeClass(engine, std::string("\x08\0", 2));
  EXPECT_EQ(engine.GetTheme(), luna);
  ReadThemeClass(engine, ThemeClassBytes(8, "Counting") + "tail");
  EXPECT_EQ(engine.GetTheme()->ClassType(), TCountingTheme::StaticClass());
}

TEST_F(TeThemeEngineTest, FormsGetTheThemeColourOrBtnFace) {
  RegisterTheme(Counting());
  auto* form = new TForm(nullptr);
  auto* enginePtr = new TTeThemeEngine(form);
  TTeThemeEngine& engine = *enginePtr;
  auto* themed = new TFakeThemedForm(form);
  themed->Engine = &engine;
  auto* other = new TFakeThemedForm(form);  // themed by another engine: left alone
  TCountingTheme::Available = true;
  engine.SelectThemeClass(Counting());
  EXPECT_EQ(form->GetColor(), TColor(0x123456));
  EXPECT_EQ(themed->Refreshes, 1);
  EXPECT_EQ(other->Refreshes, 0);
  TCountingTheme::Available = false;
  engine.ApplyThemeToForms();
  EXPECT_EQ(form->GetColor(), clBtnFace);
  TCountingTheme::Available = true;
  // Fault: a null theme was queried; it counts as not available.
  engine.SetTheme(nullptr);
  EXPECT_FALSE(engine.ThemeAvailable());
  EXPECT_EQ(form->GetColor(), clBtnFace);
  engine.SetDeltaHue(3);  // stored, nothing to hand it to
  EXPECT_EQ(engine.GetDeltaHue(), 3);
  themed->Engine = nullptr;
  delete form;
}
