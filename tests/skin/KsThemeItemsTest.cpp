// Themed menu items and popups: measuring and painting go through the theme's own menu
// operations (compared pixel for pixel with the same calls on a second bitmap), fall
// back to the plain item without an available theme, and themed items open themed
// popup windows whose frame the theme draws.
#include <memory>

#include <gtest/gtest.h>

#include "skin/KsItemView.h"
#include "skin/KsMenuForm.h"
#include "skin/KsThemeItems.h"
#include "skin/KsThemeMenuForm.h"
#include "skin/TeThemeEngine.h"
#include "skin/TeThemeLuna.h"
#include "tests/skin/SkinTestSupport.h"

namespace {

TKsColor Rgb(TKsColor c) { return c & 0xFFFFFF; }
TKsColor Sys(TColor color) { return Rgb(ColorToKsColor(color, 255)); }

class KsThemeItemsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    Engine.SetTheme(new TTeThemeLuna());
    Item.SetCaption("&Open");
    Item.SetShortCut(TShortCut('O') | scCtrl);
    Root.Add(&Item);
    Root.SetThemeEngine(&Engine);
    Prepare(A, 200, 60, kBack);
    Prepare(B, 200, 60, kBack);
  }
  void TearDown() override { Root.Delete(0); }
  TTeTheme& Theme() { return *Engine.GetTheme(); }

  TTeThemeEngine Engine{nullptr};
  TTeThemeItem Root{nullptr};
  TTeThemeItem Item{nullptr};
  TKsItemView Column{nullptr, false, false};
  TKsItemView Row{nullptr, true, true};
  TKsBitmap A, B;
};

TEST_F(KsThemeItemsTest, MeasuresThroughTheThemeInRowsAndColumns) {
  int w = 0, h = 0, tw = 0, th = 0;
  Item.CalcSize(&A, &Column, w, h);
  Theme().MeasurePopupItem(B, Item, tw, th);
  EXPECT_EQ(w, tw);
  EXPECT_EQ(h, th);
  Item.CalcSize(&A, &Row, w, h);
  tw = th = 0;
  Theme().MeasureMenuBarItem(B, Item, tw, th);
  EXPECT_EQ(w, tw);
  EXPECT_EQ(h, th);
  // An MDI button of a bar is square.
  Item.SetMDIButtonKind(mbkClose);
  Item.CalcSize(&A, &Row, w, h);
  EXPECT_EQ(w, h);
}

TEST_F(KsThemeItemsTest, PaintsThroughTheThemeByKindAndView) {
  const TRect r{4, 4, 150, 26};
  Item.Paint(A, &Column, r, true, false);
  Theme().DrawPopupItem(B, Item, r, true, false);
  EXPECT_TRUE(SamePixels(A, B));
  Item.Paint(A, &Row, r, false, true);
  Theme().DrawMenuBarItem(B, Item, r, false, true);
  EXPECT_TRUE(SamePixels(A, B));
  Item.SetMDIButtonKind(mbkRestore);
  Item.Paint(A, &Row, {4, 4, 24, 24}, true, true);
  Theme().DrawMenuBarButton(B, Item, {4, 4, 24, 24}, true, true);
  EXPECT_TRUE(SamePixels(A, B));
}

TEST_F(KsThemeItemsTest, WithoutAnAvailableThemeMeasuresAndPaintsAsAPlainItem) {
  Engine.SetTheme(nullptr);
  EXPECT_FALSE(Item.IsThemed());
  TKsCustomItem plain(nullptr);
  plain.SetCaption(Item.GetCaption());
  plain.SetShortCut(Item.GetShortCut());
  int w = 0, h = 0, pw = 0, ph = 0;
  Item.CalcSize(&A, &Column, w, h);
  plain.CalcSize(&B, &Column, pw, ph);
  EXPECT_EQ(w, pw);
  EXPECT_EQ(h, ph);
  const TRect r{0, 0, 180, 22};
  Item.Paint(A, &Column, r, true, true);
  plain.Paint(B, &Column, r, true, true);
  EXPECT_TRUE(SamePixels(A, B));
}

TEST_F(KsThemeItemsTest, EngineReachesThemedSubItemsAndAFreedEngineIsForgotten) {
  auto engine = std::make_unique<TTeThemeEngine>(nullptr);
  auto* deep = new TTeThemeItem(nullptr);
  Item.Add(deep);
  Root.SetThemeEngine(engine.get());
  EXPECT_EQ(Item.GetThemeEngine(), engine.get());
  EXPECT_EQ(deep->GetThemeEngine(), engine.get());
  engine.reset();
  EXPECT_EQ(Root.GetThemeEngine(), nullptr);
  EXPECT_EQ(deep->GetThemeEngine(), nullptr);
  EXPECT_FALSE(deep->IsThemed());
}

// A themed popup of Root, made without being shown.
std::unique_ptr<TKsPopupWindow> MakePopup(TKsCustomItem& item) {
  std::unique_ptr<TKsPopupWindow> popup(item.GetPopupWindowClass()->CreatePopup(nullptr, &item, nullptr));
  popup->SetBounds(50, 50, 100, 100);
  popup->CalcViewSize();
  return popup;
}

TEST_F(KsThemeItemsTest, ThemedItemsOpenThemedPopupsWhoseFrameTheThemeDraws) {
  auto popup = MakePopup(Root);
  auto* themed = ObjectAs<TTeThemePopupWindow>(popup.get());
  ASSERT_NE(themed, nullptr);
  EXPECT_EQ(themed->GetThemeEngine(), &Engine);
  ASSERT_NE(ObjectAs<TTeThemePopupForm>(popup->GetSkinner()), nullptr);
  auto* skinner = static_cast<TKsPopupForm*>(popup->GetSkinner());
  const int w = skinner->GetFrameWidth(), h = skinner->GetFrameHeight();
  ASSERT_GT(w, 10);
  Prepare(A, w, h, kBack);
  Prepare(B, w, h, kBack);
  skinner->PaintFrame(A);
  Theme().DrawPopupFrame(B, w, h);
  EXPECT_TRUE(SamePixels(A, B));
}

TEST_F(KsThemeItemsTest, PlainPopupFrameIsThreeEtchedRings) {
  Engine.SetTheme(nullptr);
  auto popup = MakePopup(Root);
  auto* skinner = static_cast<TKsPopupForm*>(popup->GetSkinner());
  const int w = skinner->GetFrameWidth(), h = skinner->GetFrameHeight();
  EXPECT_EQ(skinner->GetFrameClientRect(), (TRect{3, 3, w - 3, h - 3}));
  Prepare(A, w, h, kBack);
  skinner->PaintFrame(A);
  GdiFlush();
  const int mx = w / 2, my = h / 2;
  EXPECT_EQ(Rgb(A.GetPixel(mx, 0)), Sys(clBtnFace));
  EXPECT_EQ(Rgb(A.GetPixel(0, my)), Sys(clBtnFace));
  EXPECT_EQ(Rgb(A.GetPixel(mx, h - 1)), Sys(clBlack));
  EXPECT_EQ(Rgb(A.GetPixel(w - 1, my)), Sys(clBlack));
  EXPECT_EQ(Rgb(A.GetPixel(mx, 1)), Sys(clBtnHighlight));
  EXPECT_EQ(Rgb(A.GetPixel(w - 2, my)), Sys(clBtnShadow));
  EXPECT_EQ(Rgb(A.GetPixel(mx, 2)), Sys(clMenu));
  EXPECT_EQ(Rgb(A.GetPixel(w - 3, my)), Sys(clMenu));
  EXPECT_EQ(Rgb(A.GetPixel(mx, my)), Rgb(kBack));
}

}  // namespace
