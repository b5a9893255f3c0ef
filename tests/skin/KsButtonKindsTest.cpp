// Button kinds, their glyph resources, the glyph-cell count and the placement rules of
// the skinned buttons and check marks.
#include <gtest/gtest.h>

#include "classlib/Bitmap.h"
#include "classlib/Forms.h"
#include "skin/KsButtonKinds.h"

static bool operator==(const TSize& a, const TSize& b) { return a.cx == b.cx && a.cy == b.cy; }

namespace {

TEST(KsButtonKinds, TableGivesCaptionsResultsAndDefaults) {
  struct Row {
    TBitBtnKind kind;
    const char* caption;
    int modalResult;
    bool isDefault;
  };
  const Row rows[] = {{bkOK, "OK", mrOk, true},          {bkCancel, "Cancel", mrCancel, false},
                      {bkHelp, "&Help", 0, false},       {bkYes, "&Yes", mrYes, true},
                      {bkNo, "&No", mrNo, false},        {bkClose, "&Close", 0, false},
                      {bkAbort, "Abort", mrAbort, false}, {bkRetry, "&Retry", mrRetry, false},
                      {bkIgnore, "&Ignore", mrIgnore, false}, {bkAll, "&All", 8, false}};
  for (const Row& row : rows) {
    const TBitBtnKindInfo& info = BitBtnKindInfo(row.kind);
    EXPECT_STREQ(info.Caption, row.caption);
    EXPECT_EQ(info.ModalResult, row.modalResult) << row.caption;
    EXPECT_EQ(info.Default, row.isDefault) << row.caption;
  }
  EXPECT_EQ(BitBtnKindInfo(bkCustom).Caption, nullptr);
  EXPECT_EQ(BitBtnKindGlyph(bkCustom), nullptr);
}

TEST(KsButtonKinds, EveryKindGlyphHasTwoCellsAndATransparentCorner) {
  for (int k = bkOK; k <= bkAll; ++k) {
    TBitmap* glyph = BitBtnKindGlyph(TBitBtnKind(k));
    ASSERT_NE(glyph, nullptr) << BitBtnKindInfo(TBitBtnKind(k)).GlyphName;
    EXPECT_EQ(glyph->GetWidth(), 2 * glyph->GetHeight());
    EXPECT_EQ(DeriveNumGlyphs(glyph->GetWidth(), glyph->GetHeight(), 1), 2);
    EXPECT_EQ(ColorToRGB(glyph->GetTransparentColor()), RGB(255, 0, 255));
    // Loaded once: the cache answers the same bitmap.
    EXPECT_EQ(BitBtnKindGlyph(TBitBtnKind(k)), glyph);
  }
}

TEST(KsButtonKinds, NumGlyphsDerivationAndClamp) {
  EXPECT_EQ(DeriveNumGlyphs(64, 16, 1), 4);
  EXPECT_EQ(DeriveNumGlyphs(96, 16, 2), 1);  // six cells exceed four
  EXPECT_EQ(DeriveNumGlyphs(40, 16, 3), 3);  // not a multiple: unchanged
  // Fault: a zero-wide glyph made the count 0 and the cell width a division by zero.
  EXPECT_EQ(DeriveNumGlyphs(0, 16, 3), 1);
  EXPECT_EQ(DeriveNumGlyphs(16, 0, 3), 1);
  EXPECT_EQ(ClampNumGlyphs(0), 1);
  EXPECT_EQ(ClampNumGlyphs(-5), 1);
  EXPECT_EQ(ClampNumGlyphs(9), 4);
  EXPECT_EQ(GlyphCellSize(64, 16, 4), (TSize{16, 16}));
  EXPECT_EQ(GlyphCellSize(64, 16, 0), (TSize{64, 16}));
  EXPECT_EQ(GlyphCellSize(0, 0, 2), (TSize{0, 0}));
}

TEST(KsButtonKinds, ContentCaptionAndGlyphRects) {
  // Caption 30 x 13, glyph 18 x 18, spacing 4, control 75 x 25.
  TRect left = ButtonContentRect({30, 13}, {18, 18}, blGlyphLeft, 4, 75, 25, false);
  EXPECT_EQ(left, (TRect{11, 3, 63, 21}));
  EXPECT_EQ(ButtonCaptionRect(left, {18, 18}, blGlyphLeft, 4), (TRect{33, 3, 63, 21}));
  EXPECT_EQ(ButtonGlyphRect(left, {18, 18}, blGlyphLeft, 4), (TRect{11, 3, 33, 21}));
  EXPECT_EQ(ButtonCaptionRect(left, {18, 18}, blGlyphRight, 4), (TRect{11, 3, 41, 21}));
  EXPECT_EQ(ButtonGlyphRect(left, {18, 18}, blGlyphRight, 4), (TRect{41, 3, 63, 21}));
  TRect top = ButtonContentRect({30, 13}, {18, 18}, blGlyphTop, 4, 75, 60, true);
  EXPECT_EQ(top, (TRect{22 + 1, 12 + 1, 52 + 1, 47 + 1}));
  EXPECT_EQ(ButtonCaptionRect(top, {18, 18}, blGlyphTop, 4), (TRect{23, 35, 53, 48}));
  EXPECT_EQ(ButtonGlyphRect(top, {18, 18}, blGlyphBottom, 4), (TRect{23, 26, 53, 48}));
  // Without a glyph the caption is the content; content wider than the control is
  // centred with the division truncating toward zero.
  TRect plain = ButtonContentRect({80, 13}, {0, 0}, blGlyphLeft, 4, 75, 25, false);
  EXPECT_EQ(plain, (TRect{-2, 6, 78, 19}));
  EXPECT_EQ(ButtonCaptionRect(plain, {0, 0}, blGlyphLeft, 4), plain);
}

TEST(KsButtonKinds, CheckMarkAndCaptionPlacement) {
  EXPECT_EQ(CheckMarkRect({13, 13}, 98, 20, false), (TRect{0, 3, 13, 16}));
  EXPECT_EQ(CheckMarkRect({13, 13}, 98, 20, true), (TRect{85, 3, 98, 16}));
  EXPECT_EQ(CheckCaptionRect({40, 13}, {13, 13}, 5, 20, false), (TRect{18, 3, 58, 16}));
  // With the mark on the right the caption starts 2 pixels from the left edge.
  EXPECT_EQ(CheckCaptionRect({40, 13}, {13, 13}, 5, 20, true), (TRect{2, 3, 42, 16}));
}

}  // namespace
