// The status dialog's themed Close button and report box: drawn by the native XP theme
// when the system is themed (a stand-in visual-style library that records its calls),
// and by Luna otherwise (this prefix has visual styles off).
#include <gtest/gtest.h>

#include <memory>

#include "importer/TranslationStatus.h"
#include "skin/KsButtonKinds.h"
#include "skin/KsButtons.h"
#include "skin/KsCheckBoxes.h"
#include "skin/TeThemeEngine.h"
#include "skin/TeThemeLuna.h"
#include "skin/TeThemeXP.h"
#include "standin/host/StandinHost.h"
#include "tests/skin/ControlPaintSupport.h"
#include "tests/skin/FakeThemeLibrary.h"

#include <vsstyle.h>

namespace {

// The theme units of this executable again: the base theme, Luna, then the native one.
void RestartThemeUnits() {
  FinalizeTeThemeXP();
  FinalizeTeTheme();
  InitializeTeTheme();
  InitializeTeThemeLuna();
  InitializeTeThemeXP();
}

TKsColor PartPixel(int part, int state) {
  return Opaque(ColorToKsColor(TColor(TFakeThemeLibrary::PartColor(part, state)), 255));
}

class TranslationStatusThemeTest : public testing::Test {
 protected:
  void TearDown() override {
    Dialog.reset();
    Scope.reset();
    EXPECT_EQ(Fake.Live(), 0);
    RestartThemeUnits();
    EXPECT_FALSE(IsThemeRegistered(&TTeThemeXP::MetaClass()));
  }
  void MakeDialog() {
    Dialog = std::make_unique<TTranslationStatus>(nullptr);
    Dialog->ShowOutcome(true, 2);  // the box ticked
    Dialog->HandleNeeded();
  }
  TFakeThemeLibrary Fake;
  std::unique_ptr<TFakeThemeScope> Scope;
  std::unique_ptr<TTranslationStatus> Dialog;
};

}  // namespace

TEST_F(TranslationStatusThemeTest, OnAThemedSystemTheXPThemeDrawsTheButtonAndTheBox) {
  Scope = std::make_unique<TFakeThemeScope>(Fake);
  RestartThemeUnits();
  MakeDialog();
  ASSERT_EQ(Dialog->GetTeThemeEngine1()->GetTheme()->ClassType(), TTeThemeXP::StaticClass());

  TTeThemeButton* button = Dialog->GetButtonOK();
  Fake.ClearCalls();
  Paint(button);
  auto draws = Fake.Draws();
  ASSERT_EQ(draws.size(), 1u);
  EXPECT_EQ(draws[0].ClassName, "Button");
  EXPECT_EQ(draws[0].Part, BP_PUSHBUTTON);
  EXPECT_EQ(draws[0].State, PBS_NORMAL);  // not shown: neither focused nor active
  EXPECT_EQ(draws[0].Rect, (TRect{0, 0, 75, 24}));
  EXPECT_EQ(Pixel(button, 0, 0), PartPixel(BP_PUSHBUTTON, PBS_NORMAL));
  EXPECT_EQ(Pixel(button, 74, 23), PartPixel(BP_PUSHBUTTON, PBS_NORMAL));

  TTeThemeCheckBox* box = Dialog->GetCheckBoxViewReport();
  Fake.ClearCalls();
  Paint(box);
  draws = Fake.Draws();
  ASSERT_EQ(draws.size(), 1u);
  EXPECT_EQ(draws[0].ClassName, "Button");
  EXPECT_EQ(draws[0].Part, BP_CHECKBOX);
  EXPECT_EQ(draws[0].State, CBS_CHECKEDNORMAL);
  // The mark is the theme's 16 x 16, at the right (the caption is right-justified).
  const TRect mark = draws[0].Rect;
  EXPECT_EQ(RectWidth(mark), 16);
  EXPECT_EQ(RectHeight(mark), 16);
  EXPECT_EQ(Pixel(box, mark.left, mark.top), PartPixel(BP_CHECKBOX, CBS_CHECKEDNORMAL));
  EXPECT_EQ(Pixel(box, mark.right - 1, std::min<int>(mark.bottom, box->GetHeight()) - 1),
            PartPixel(BP_CHECKBOX, CBS_CHECKEDNORMAL));
}

TEST_F(TranslationStatusThemeTest, WithoutVisualStylesLunaDrawsThem) {
  RestartThemeUnits();
  MakeDialog();
  TTeTheme* theme = Dialog->GetTeThemeEngine1()->GetTheme();
  ASSERT_EQ(theme->ClassType(), TTeThemeLuna::StaticClass());

  // The button's border rows are Luna's push button of the button's size.
  TTeThemeButton* button = Dialog->GetButtonOK();
  Paint(button);
  TKsBitmap luna;
  luna.SetSize(button->GetWidth(), button->GetHeight());
  luna.Fill(KsColorARGB(255, 1, 2, 3));
  theme->DrawButton(luna, button->GetWidth(), button->GetHeight(), 0);
  for (int y : {0, 1, button->GetHeight() - 1})
    for (int x = 4; x < button->GetWidth() - 4; ++x)
      EXPECT_EQ(Pixel(button, x, y), Opaque(luna.GetPixel(x, y))) << x << ", " << y;

  // The box's mark is Luna's ticked cell: where the cell is opaque (the same over black
  // and over white), the box shows it.
  TTeThemeCheckBox* box = Dialog->GetCheckBoxViewReport();
  Paint(box);
  TRect mark = CheckMarkRect({theme->GetSize(16), theme->GetSize(17)}, box->GetWidth(),
                             box->GetHeight(), /*markRight=*/true);
  mark.top += 2;
  mark.bottom += 2;
  TKsBitmap overBlack, overWhite;
  for (TKsBitmap* b : {&overBlack, &overWhite}) {
    b->SetSize(box->GetWidth(), box->GetHeight());
    b->Fill(b == &overBlack ? KsColorARGB(255, 0, 0, 0) : KsColorARGB(255, 255, 255, 255));
    theme->DrawCheckBox(*b, mark, 0, 1);
  }
  int compared = 0;
  for (int y = mark.top; y < std::min<int>(mark.bottom, box->GetHeight()); ++y)
    for (int x = mark.left; x < mark.right; ++x) {
      if (Opaque(overBlack.GetPixel(x, y)) != Opaque(overWhite.GetPixel(x, y)))
        continue;
      ++compared;
      EXPECT_EQ(Pixel(box, x, y), Opaque(overBlack.GetPixel(x, y))) << x << ", " << y;
    }
  EXPECT_GT(compared, 100);
}
