#include <gtest/gtest.h>

#include "classlib/GdiHandles.h"
#include "tests/support/TestSupport.h"
#include "tests/treelist/TreeListTestSupport.h"

namespace {

// The height of "Wg" in a font, by the GDI calls the control measures with.
int TextHeight(TFont* font) {
  TClientDC dc(nullptr);
  TSelectGuard select(dc, font->GetHandle());
  SIZE size{};
  GetTextExtentPoint32A(dc, "Wg", 2, &size);
  return size.cy;
}

class TreeListLayoutTest : public TreeListFixture {
 protected:
  void SetUp() override { Size(400, 300); }
  // Band widths 0 .. count - 1.
  std::vector<int> BandWidths() {
    std::vector<int> widths;
    for (int band = 0; band < Tree->GetVisibleBandCount(); ++band)
      widths.push_back(Tree->GetWidths().GetBandDisplayWidth(band));
    return widths;
  }
  std::vector<int> ColumnWidths() {
    std::vector<int> widths;
    for (int column = 0; column < Tree->GetColumnCount(); ++column)
      widths.push_back(Tree->GetColumnDisplayWidth(column));
    return widths;
  }
};

using Widths = std::vector<int>;

// ---- Metrics

TEST_F(TreeListLayoutTest, MetricsFollowTheFontsAndTheDisplayFlags) {
  Tree->GetFont()->SetSize(8);
  Tree->GetHeaderFont()->SetSize(12);
  Tree->GetBandFont()->SetSize(10);
  Refresh();
  const int font = TextHeight(Tree->GetFont());
  const int header = TextHeight(Tree->GetHeaderFont());
  const TdxTreeListMetrics& m = Tree->GetMetrics();
  EXPECT_EQ(font, m.FontTextHeight);
  EXPECT_EQ(header + 6, m.HeaderLineHeight);  // + 5, + 1 in the standard look
  EXPECT_EQ(header + 6, m.HeaderPanelHeight);
  EXPECT_EQ(0, m.BandRowHeight);  // no band row without ShowBands
  EXPECT_EQ(0, m.IndicatorWidth);
  EXPECT_EQ(0, m.FooterHeight);
  EXPECT_EQ(0, m.StatusPanelHeight);
  EXPECT_EQ(font + 7, m.FooterLineHeight);
  EXPECT_EQ(font + 7 + 2, m.NodeFooterHeight);
  EXPECT_EQ(TextHeight(Tree->GetPreviewFont()), m.PreviewLineHeight);
  EXPECT_EQ(16, m.IndentWidth);

  Tree->SetShowBands(true);
  Tree->SetShowIndicator(true);
  Tree->SetShowFooter(true);
  Tree->HeaderRows = 2;
  Tree->StatusPanel = true;
  Tree->SetLookAndFeel(lfFlat);  // flat: no extra pixel
  EXPECT_EQ(TextHeight(Tree->GetBandFont()) + 5, m.BandRowHeight);
  EXPECT_EQ(2 * (header + 5), m.HeaderPanelHeight);
  EXPECT_EQ(12, m.IndicatorWidth);
  EXPECT_EQ((font + 7) * 2 + 3, m.FooterHeight);
  EXPECT_EQ(std::max(font + 5, 17), m.StatusPanelHeight);
  EXPECT_TRUE(m.Flat);

  Tree->SetShowHeader(false);
  EXPECT_EQ(0, m.HeaderPanelHeight);
}

TEST_F(TreeListLayoutTest, RowHeightIsSixteenPlusTheGridPixelWithASmallFont) {
  // A scalable face: the prefix's bitmap "MS Sans Serif" has no size below 13 pixels.
  Tree->GetFont()->SetName("Tahoma");
  Tree->GetFont()->SetHeight(-8);
  Refresh();
  ASSERT_LT(TextHeight(Tree->GetFont()) + 3, 16);
  EXPECT_EQ(16, Tree->GetRowHeight());
  Tree->SetShowGrid(true);  // with ShowPreviewGrid: the grid pixel
  EXPECT_EQ(17, Tree->GetRowHeight());
  Tree->SetShowPreviewGrid(false);
  EXPECT_EQ(16, Tree->GetRowHeight());
  OptionEx(aoOptionsEx0, true);  // two pixels taller
  EXPECT_EQ(18, Tree->GetRowHeight());
}

TEST_F(TreeListLayoutTest, RowHeightFollowsFontImagesAndTheUsersValue) {
  Tree->GetFont()->SetSize(20);
  Refresh();
  const int font = TextHeight(Tree->GetFont());
  ASSERT_GT(font + 3, 16);
  EXPECT_EQ(font + 3, Tree->GetRowHeight());
  Tree->GetFont()->SetHeight(-8);
  EXPECT_EQ(16, Tree->GetRowHeight());
  Tree->SetDefaultRowHeight(Tree->GetDefaultRowHeight());  // the value held (18), now set
  EXPECT_EQ(18, Tree->GetRowHeight());
  TCustomImageList images(nullptr, 16, 24);
  Tree->SetImages(&images);
  EXPECT_EQ(24, Tree->GetRowHeight());  // the image fits the row
  EXPECT_EQ(24, Tree->GetMetrics().MinRowHeight);
  Tree->SetDefaultRowHeight(30);
  EXPECT_EQ(30, Tree->GetRowHeight());
  EXPECT_TRUE(Tree->GetDefaultRowHeightSet());
  Tree->SetDefaultRowHeight(10);  // below the minimum: the minimum, and no longer set
  EXPECT_EQ(24, Tree->GetRowHeight());
  EXPECT_FALSE(Tree->GetDefaultRowHeightSet());
  Tree->SetImages(nullptr);
  EXPECT_EQ(16, Tree->GetRowHeight());
}

TEST_F(TreeListLayoutTest, TheRowLineCountRaisesRowsAndHeaderLines) {
  Refresh();
  const int font = TextHeight(Tree->GetFont());
  const int header = Tree->GetMetrics().HeaderLineHeight;
  Tree->SetRowLineCount(3);
  Refresh();
  EXPECT_EQ(3 * (font + 3), Tree->GetRowHeight());
  EXPECT_EQ(header + 2 * TextHeight(Tree->GetHeaderFont()), Tree->GetMetrics().HeaderLineHeight);
}

TEST_F(TreeListLayoutTest, TheNewItemStripNeedsOneHeaderRowAndAColumn) {
  Tree->NewItemRow = true;
  Refresh();
  EXPECT_EQ(0, Tree->GetMetrics().NewItemStripHeight);  // no column
  Tree->Bands = {{"a"}};
  Tree->Columns = {{"x"}};
  Refresh();
  EXPECT_EQ(Tree->GetRowHeight() + 6, Tree->GetMetrics().NewItemStripHeight);
  Tree->SetLookAndFeel(lfFlat);
  EXPECT_EQ(Tree->GetRowHeight() + 5, Tree->GetMetrics().NewItemStripHeight);
  Tree->HeaderRows = 2;
  Refresh();
  EXPECT_EQ(0, Tree->GetMetrics().NewItemStripHeight);
}

// ---- Band and column widths

TEST_F(TreeListLayoutTest, WithoutAutoWidthBandsKeepTheirWidths) {
  Tree->ExtraWidth = 7;
  Tree->Bands = {{"a", 100, 30}, {"b", 40, 60}, {"c", 200, 30, /*Sizing=*/false}};
  Refresh();
  EXPECT_EQ((Widths{100, 60, 200}), BandWidths());  // b is held at its minimum
  EXPECT_EQ(7 + 360, Tree->GetWidths().GetBandsTotalWidth());
  EXPECT_EQ(60, Tree->GetWidths().GetBandMinWidth(1));
  EXPECT_EQ(200, Tree->GetWidths().GetBandMinWidth(2));  // a band that cannot be sized: its width
}

TEST_F(TreeListLayoutTest, AutoWidthBandsFillTheGridArea) {
  Option(aoAutoWidth, true);
  Tree->SetWidth(600);
  Tree->Bands = {{"a", 100, 30}, {"b", 300, 30}};
  EXPECT_EQ((Widths{150, 450}), BandWidths());
  EXPECT_EQ(600, Tree->GetWidths().GetBandsTotalWidth());

  Tree->SetWidth(300);
  Tree->Bands = {{"a", 100, 80}, {"b", 100, 30}, {"c", 200, 30}};
  EXPECT_EQ((Widths{80, 83, 137}), BandWidths());  // a held at its minimum
  EXPECT_EQ(300, Tree->GetWidths().GetBandsTotalWidth());

  Tree->SetShowIndicator(true);  // the grid area is narrower by the indicator
  EXPECT_EQ(288, Tree->GetWidths().GetBandsTotalWidth());
}

TEST_F(TreeListLayoutTest, AutoWidthScrollsWhenTheMinimumWidthsDoNotFit) {
  Option(aoAutoWidth, true);
  Tree->SetWidth(100);
  Tree->ExtraWidth = 10;
  Tree->Bands = {{"a", 100, 80}, {"b", 100, 30}};
  EXPECT_EQ(120, Tree->GetWidths().GetBandsTotalWidth());
  EXPECT_EQ((Widths{80, 30}), BandWidths());
  EXPECT_EQ(20, Tree->GetWidths().GetTotalScrollWidth() - Tree->GetWidths().GetVisibleScrollWidth());
  Tree->Bands = {{"a", 50, 20, false}, {"b", 60, 20, false}};  // nothing may be sized
  EXPECT_EQ(120, Tree->GetWidths().GetBandsTotalWidth());
}

TEST_F(TreeListLayoutTest, ColumnsShareTheirBandRow) {
  Tree->Bands = {{"a", 300, 30}};
  Tree->Columns = {{"x", 0, 0, 100}, {"y", 0, 0, 100}, {"z", 0, 0, 100}};
  EXPECT_EQ((Widths{100, 100, 100}), ColumnWidths());
  Tree->Bands[0].Width = 250;
  Tree->Columns[0].MinWidth = 100;
  EXPECT_EQ((Widths{100, 75, 75}), ColumnWidths());  // x held, y and z share the rest
  Tree->Columns[0].Sizing = false;
  Tree->Columns[0].Width = 150;
  EXPECT_EQ(150, ColumnWidths()[0]);  // keeps its width
  EXPECT_EQ(250, ColumnWidths()[1] + ColumnWidths()[2] + 150);
}

TEST_F(TreeListLayoutTest, TheFirstColumnOfTheFirstBandHoldsTheExtraWidth) {
  Tree->ExtraWidth = 20;
  Tree->Bands = {{"a", 200, 30}, {"b", 100, 30}};
  Tree->Columns = {{"x", 0, 0, 100}, {"y", 0, 0, 100}, {"z", 1, 0, 100}};
  EXPECT_EQ((Widths{120, 100, 100}), ColumnWidths());
  EXPECT_EQ(20 + 300, Tree->GetWidths().GetBandsTotalWidth());
}

// Regression: a zero divisor in a proportional share gave Windows' -1 as a width.
TEST_F(TreeListLayoutTest, ZeroWidthsNeverGiveNegativeWidths) {
  Option(aoAutoWidth, true);
  Tree->Bands = {{"a", 0, 0}, {"b", 0, 0}, {"c", 0, 0}};
  EXPECT_EQ(400, Tree->GetWidths().GetBandsTotalWidth());
  EXPECT_EQ((Widths{0, 0, 400}), BandWidths());
  Option(aoAutoWidth, false);
  Tree->Bands = {{"a", 90, 0}};
  Tree->Columns = {{"x", 0, 0, 0, 10}, {"y", 0, 0, 0, 15}, {"z", 0, 0, 0, 5}};
  EXPECT_EQ((Widths{10, 15, 65}), ColumnWidths());
  Tree->Bands = {{"a", 10, 0}};
  Tree->Columns = {{"x", 0, 0, 50, 0, /*Sizing=*/false}, {"y", 0, 0, 50, 0}};
  for (int width : ColumnWidths())
    EXPECT_GE(width, 0);
}

TEST_F(TreeListLayoutTest, TheBandFollowsItsColumnsWhenAsked) {
  Tree->Bands = {{"a", 50, 30}};
  Tree->Columns = {{"x", 0, 0, 100}, {"y", 0, 0, 80}, {"z", 0, 1, 150}};
  OptionEx(aoBandHeaderWidth, false);
  EXPECT_EQ(50, Tree->GetWidths().GetBandRequestedWidth(0));
  OptionEx(aoBandHeaderWidth, true);
  EXPECT_EQ(180, Tree->GetWidths().GetBandRequestedWidth(0));  // its widest band row
  EXPECT_EQ(40, Tree->GetWidths().GetBandMinWidth(0));         // the minimum widths of a band row
}

TEST_F(TreeListLayoutTest, HeaderLinesOfTheLastBandRowReachDown) {
  Tree->HeaderRows = 3;
  Tree->Bands = {{"a"}};
  Tree->Columns = {{"x", 0, 0}, {"y", 0, 1}};
  Tree->Columns[1].HeaderMaxLineCount = 0;
  EXPECT_EQ(1, Tree->GetWidths().GetColumnLineCount(0, 0, 0));  // not the last band row
  EXPECT_EQ(2, Tree->GetWidths().GetColumnLineCount(0, 1, 0));
  Tree->Columns[1].HeaderMaxLineCount = 5;
  EXPECT_EQ(2, Tree->GetWidths().GetColumnLineCount(0, 1, 0));
  Tree->Columns[1].HeaderMaxLineCount = 1;
  EXPECT_EQ(1, Tree->GetWidths().GetColumnLineCount(0, 1, 0));
  Refresh();
  const TdxTreeListLayout layout = Layout();
  const TdxTreeListColumnEntry* y = layout.FindColumn(1);
  ASSERT_NE(nullptr, y);
  EXPECT_EQ(layout.HeaderPanel.bottom, y->FillerRect.bottom);  // continued to the panel's bottom
  EXPECT_EQ(y->Rect.bottom, y->FillerRect.top);
  EXPECT_TRUE(IsEmptyRect(layout.FindColumn(0)->FillerRect));
}

TEST_F(TreeListLayoutTest, ScrollLeftsOfBands) {
  Tree->ExtraWidth = 5;
  Tree->Bands = {{"a", 100}, {"b", 60}, {"c", 70}, {"d", 80}};
  EXPECT_EQ(0, Tree->GetWidths().GetBandScrollLeft(0));
  EXPECT_EQ(105, Tree->GetWidths().GetBandScrollLeft(1));
  EXPECT_EQ(235, Tree->GetWidths().GetBandScrollLeft(3));
  EXPECT_EQ(0, Tree->GetWidths().GetBandScrollLeft(-1));
  Tree->LeftFixed = 0;
  Tree->RightFixed = 3;
  EXPECT_EQ(0, Tree->GetWidths().GetBandScrollLeft(1));  // counted after the left fixed band
  EXPECT_EQ(60, Tree->GetWidths().GetBandScrollLeft(2));
  EXPECT_EQ(0, Tree->GetWidths().GetBandScrollLeft(3));  // the right fixed band
  Tree->Bands = {{"a", 100}};
  Tree->LeftFixed = Tree->RightFixed = -1;
  EXPECT_EQ(0, Tree->GetWidths().GetBandScrollLeft(0));
}

// ---- The layout record

TEST_F(TreeListLayoutTest, AreasStackFromTheTopPanelDown) {
  Tree->TopPanel = 10;
  Tree->StatusPanel = true;
  Tree->SetShowBands(true);
  Tree->SetShowIndicator(true);
  Tree->SetShowFooter(true);
  Tree->Bands = {{"a", 400}};
  Tree->Columns = {{"x", 0, 0, 400}};
  Refresh();
  const TdxTreeListMetrics& m = Tree->GetMetrics();
  const TdxTreeListLayout layout = Layout();
  EXPECT_EQ((TRect{0, 0, 400, 10}), layout.TopPanel);
  EXPECT_EQ((TRect{12, 10, 400, 10 + m.BandRowHeight}), layout.BandRow);
  EXPECT_EQ((TRect{0, 10, 12, layout.BandRow.bottom}), layout.BandIndicator);
  const int headerBottom = layout.BandRow.bottom + m.HeaderPanelHeight;
  EXPECT_EQ((TRect{12, layout.BandRow.bottom, 400, headerBottom}), layout.HeaderPanel);
  EXPECT_EQ((TRect{0, layout.BandRow.bottom, 12, headerBottom}), layout.HeaderIndicator);
  const int rowsBottom = 300 - m.FooterHeight - m.StatusPanelHeight;
  EXPECT_EQ((TRect{12, headerBottom, 400, rowsBottom}), layout.Rows);
  EXPECT_EQ((TRect{0, rowsBottom, 400, rowsBottom + m.FooterHeight}), layout.Footer);
  EXPECT_EQ((TRect{0, layout.Footer.bottom, 400, 300}), layout.StatusPanel);
  // No nodes: no rows, the whole rows area is empty and the indicator has no cells.
  EXPECT_TRUE(layout.RowEntries.empty());
  EXPECT_EQ(layout.Rows, layout.EmptyRows);
  EXPECT_TRUE(IsEmptyRect(layout.Indicator));
  EXPECT_EQ(-1, layout.LastRowBottom);
}

TEST_F(TreeListLayoutTest, HiddenHeadersAndIndicatorLeaveEmptyRectangles) {
  Tree->TopPanel = 8;
  Tree->SetShowHeader(false);
  Tree->Bands = {{"a", 400}};
  Tree->Columns = {{"x", 0, 0, 400}};
  Tree->AddNode(nullptr, "a");
  Refresh();
  const TdxTreeListLayout layout = Layout();
  EXPECT_TRUE(IsEmptyRect(layout.BandRow));
  EXPECT_TRUE(IsEmptyRect(layout.HeaderPanel));
  EXPECT_EQ(TRect{}, layout.BandIndicator);
  EXPECT_EQ(TRect{}, layout.HeaderIndicator);
  EXPECT_EQ(TRect{}, layout.Indicator);
  EXPECT_EQ(8, layout.Rows.top);  // directly below the top panel
  EXPECT_EQ(0, layout.Rows.left);
  EXPECT_EQ(1u, layout.RowEntries.size());
  EXPECT_EQ(8 + Tree->GetRowHeight() - 1, layout.LastRowBottom);
  EXPECT_EQ(8 + Tree->GetRowHeight(), layout.EmptyRows.top);
}

TEST_F(TreeListLayoutTest, NarrowBandsLeaveAnEmptyRightArea) {
  Tree->SetShowBands(true);
  Tree->NewItemRow = true;
  Tree->Bands = {{"a", 100}, {"b", 150}};
  Tree->Columns = {{"x", 0}, {"y", 1}};
  Refresh();
  const TdxTreeListLayout layout = Layout();
  EXPECT_EQ(250, layout.BandRow.right);
  EXPECT_EQ(250, layout.HeaderPanel.right);
  EXPECT_EQ(250, layout.NewItemRow.right);
  EXPECT_EQ((TRect{250, layout.BandRow.top, 400, layout.Rows.bottom}), layout.EmptyRight);
  EXPECT_EQ(249, layout.CellsRight);
  ASSERT_EQ(2u, layout.Bands.size());
  EXPECT_EQ((TRect{100, layout.BandRow.top, 250, layout.BandRow.bottom}), layout.Bands[1].Rect);
  EXPECT_TRUE(layout.EmptyHeaders.empty());  // both bands have columns
}

TEST_F(TreeListLayoutTest, FixedBandsBoundTheScrolledArea) {
  Tree->SetShowBands(true);
  Tree->SetFixedBandLineWidth(3);
  Tree->ExtraWidth = 10;
  Tree->LeftFixed = 0;
  Tree->RightFixed = 3;
  Tree->Bands = {{"a", 60}, {"b", 200}, {"c", 200}, {"d", 50}};
  Tree->Columns = {{"x", 0}, {"y", 1}, {"z", 2}, {"w", 3}};
  Refresh();
  TdxTreeListLayout layout = Layout();
  const int top = layout.BandRow.top;
  EXPECT_EQ((TRect{0, top, 70, layout.Rows.top}), layout.LeftFixedArea);
  EXPECT_EQ((TRect{350, top, 400, layout.Rows.top}), layout.RightFixedArea);
  EXPECT_EQ(70, layout.ScrolledLeft);
  EXPECT_EQ(350, layout.ScrolledRight);
  EXPECT_EQ(70, Tree->GetWidths().GetScrolledAreaRect().left);
  EXPECT_EQ(350, Tree->GetWidths().GetScrolledAreaRect().right);
  EXPECT_EQ(400, Tree->GetWidths().GetTotalScrollWidth());
  ASSERT_EQ(4u, layout.Bands.size());
  EXPECT_EQ((TRect{0, top, 67, layout.BandRow.bottom}), layout.Bands[0].Rect);  // less the separator
  EXPECT_EQ(1, layout.Bands[1].Band);
  EXPECT_EQ(2, layout.Bands[2].Band);
  EXPECT_EQ((TRect{270, top, 350, layout.BandRow.bottom}), layout.Bands[2].ClippedRect);
  EXPECT_EQ(2, layout.LastScrolledBand);
  EXPECT_EQ((TRect{353, top, 400, layout.BandRow.bottom}), layout.Bands[3].Rect);
  EXPECT_EQ(67, layout.TreeAreaWidth);  // the fixed band with the extra width, less the separator

  Tree->SetLeftCoord(1000);
  EXPECT_EQ(120, Tree->GetLeftCoord());  // 400 of content in 280 of room
  layout = Layout();
  EXPECT_EQ((TRect{-50, top, 150, layout.BandRow.bottom}), layout.Bands[1].Rect);
  EXPECT_EQ((TRect{70, top, 150, layout.BandRow.bottom}), layout.Bands[1].ClippedRect);
  EXPECT_EQ(350, layout.Bands[2].Rect.right);  // the last scrolled band ends at the area's edge
  Tree->SetLeftCoord(-5);
  EXPECT_EQ(0, Tree->GetLeftCoord());
}

TEST_F(TreeListLayoutTest, ScrolledOutBandsAreNotEntered) {
  Tree->Bands = {{"a", 300}, {"b", 300}, {"c", 300}};
  Tree->Columns = {{"x", 0}, {"y", 1}, {"z", 2}};
  Refresh();
  Tree->SetLeftCoord(350);
  TdxTreeListLayout layout = Layout();
  ASSERT_EQ(2u, layout.Bands.size());
  EXPECT_EQ(1, layout.Bands[0].Band);
  EXPECT_EQ(2, layout.Bands[1].Band);
  EXPECT_EQ(nullptr, layout.FindColumn(0));
  EXPECT_EQ(-350, layout.TreeLeft);
  Tree->SetLeftCoord(0);
  layout = Layout();
  ASSERT_EQ(2u, layout.Bands.size());  // the walk stops after the band that passes the edge
  EXPECT_EQ(1, layout.LastScrolledBand);
}

// Regression: the range of LeftCoord was 0 .. total - visible, which inverts when the
// bands are narrower than the scrolled area and left the value outside both bounds.
TEST_F(TreeListLayoutTest, LeftCoordStaysAtZeroWhenTheBandsAreNarrow) {
  Tree->LeftFixed = 0;
  Tree->RightFixed = 2;
  Tree->Bands = {{"a", 50}, {"b", 60}, {"c", 70}};
  Refresh();
  ASSERT_LT(Tree->GetWidths().GetTotalScrollWidth(), Tree->GetWidths().GetVisibleScrollWidth());
  Tree->SetLeftCoord(30);
  EXPECT_EQ(0, Tree->GetLeftCoord());
  Option(aoAutoWidth, true);
  Tree->SetLeftCoord(30);
  EXPECT_EQ(0, Tree->GetLeftCoord());
}

// Regression: with auto width the scrolled area ignored the fixed bands, so content
// whose minimum widths do not fit could not be scrolled to its end.
TEST_F(TreeListLayoutTest, AutoWidthContentScrollsToItsEndBesideFixedBands) {
  Option(aoAutoWidth, true);
  Tree->SetWidth(200);
  Tree->LeftFixed = 0;
  Tree->RightFixed = 2;
  Tree->Bands = {{"a", 50, 50}, {"b", 150, 150}, {"c", 40, 40}};
  Refresh();
  Tree->SetLeftCoord(10000);
  const TdxTreeListLayout layout = Layout();
  const TdxTreeListBandEntry* b = layout.FindBand(1);
  ASSERT_NE(nullptr, b);
  EXPECT_EQ(layout.ScrolledRight, b->Rect.right);  // its right edge comes into view
}

TEST_F(TreeListLayoutTest, BandsWithoutColumnsLeaveEmptyHeaderCells) {
  Tree->SetWidth(300);
  Tree->Bands = {{"a", 100}, {"b", 250}};
  Tree->Columns = {{"x", 0, 0, 100}};
  Refresh();
  const TdxTreeListLayout layout = Layout();
  ASSERT_EQ(1u, layout.EmptyHeaders.size());
  const TdxTreeListEmptyHeader& empty = layout.EmptyHeaders[0];
  EXPECT_EQ(1, empty.Band);
  EXPECT_EQ((TRect{100, layout.HeaderPanel.top, 300, layout.HeaderPanel.bottom}), empty.Rect);
  EXPECT_TRUE(empty.CutRight);
}

// ---- Rows and cells

TEST_F(TreeListLayoutTest, RowEntriesRunFromTheTopNode) {
  Tree->SetHeight(120);
  Tree->SetShowIndicator(true);
  Option(aoMultiSelect, true);
  std::vector<TdxTreeListNode*> nodes;
  for (int i = 0; i < 20; ++i)
    nodes.push_back(Tree->AddNode(nullptr, "n" + std::to_string(i)));
  Refresh();
  Tree->SetTopIndex(2);
  Tree->Selection = {nodes[3], nodes[2]};
  Tree->SetFocusedNode(nodes[2], 0, false);
  const TdxTreeListLayout layout = Layout();
  const int h = Tree->GetRowHeight();
  const int rows = (layout.Rows.bottom - layout.Rows.top + h - 1) / h;
  ASSERT_EQ(static_cast<size_t>(rows), layout.RowEntries.size());
  EXPECT_EQ(nodes[2], layout.RowEntries[0].Node);
  EXPECT_EQ(layout.Rows.top + h, layout.RowEntries[1].Top);
  EXPECT_EQ(h, layout.RowEntries[1].Height);
  EXPECT_TRUE(layout.RowEntries[1].Selected);
  EXPECT_EQ(5, layout.RowEntries[0].IndicatorImage);  // focused and selected
  EXPECT_EQ(4, layout.RowEntries[1].IndicatorImage);  // selected
  EXPECT_EQ(0, layout.RowEntries[2].IndicatorImage);
  EXPECT_EQ(-1, layout.RowEntries[0].FooterValue);
  EXPECT_EQ(-1, layout.LastRowBottom);  // the rows fill the area
  EXPECT_EQ(layout.Rows.bottom, layout.Indicator.bottom);
}

TEST_F(TreeListLayoutTest, CellsLieInsideTheGridLines) {
  Tree->HeaderRows = 2;
  Tree->Bands = {{"a", 200}, {"b", 150}};
  Tree->Columns = {{"x", 0, 0, 120}, {"y", 0, 0, 80}, {"z", 0, 1, 200}, {"w", 1, 0, 150}};
  Tree->Columns[3].HeaderMaxLineCount = 0;
  TdxTreeListNode* a = Tree->AddNode(nullptr, "a");
  TdxTreeListNode* b = Tree->AddNode(a, "b");
  a->SetExpanded(true);
  Refresh();
  const TdxTreeListLayout layout = Layout();
  // The header cells: band a's two band rows, band b's one row over both lines.
  const int line = Tree->GetMetrics().HeaderLineHeight;
  const int header = layout.HeaderPanel.top;
  ASSERT_EQ(4u, layout.Columns.size());
  const TdxTreeListColumnEntry& x = layout.Columns[0];
  const TdxTreeListColumnEntry& y = layout.Columns[1];
  const TdxTreeListColumnEntry& w = layout.Columns[3];
  EXPECT_EQ((TRect{0, header, 120, header + line}), x.Rect);
  EXPECT_EQ((TRect{120, header, 200, header + line}), y.Rect);
  EXPECT_EQ((TRect{0, header + line, 200, header + 2 * line}), layout.Columns[2].Rect);
  EXPECT_EQ((TRect{200, header, 350, header + 2 * line}), w.Rect);
  EXPECT_TRUE(x.FirstInRow && !x.LastInRow && x.FirstOfAll);
  EXPECT_TRUE(y.LastInRow && !y.LastOfAll && y.Position == 1);
  EXPECT_TRUE(w.FirstInRow && w.LastInRow && w.LastOfAll && !w.FirstOfAll);

  const int h = Tree->GetRowHeight();
  const int top = layout.Rows.top + 2 * h;  // b's row
  // Visible order: x, y, w (band row 0 of both bands), then z.
  EXPECT_EQ(0, Tree->GetColumnByVisibleIndex(0));
  EXPECT_EQ(3, Tree->GetColumnByVisibleIndex(2));
  EXPECT_EQ(2, Tree->GetColumnByVisibleIndex(3));
  EXPECT_EQ(-1, Tree->GetColumnByVisibleIndex(4));
  EXPECT_EQ(3, Tree->GetVisibleIndexOfColumn(2));
  EXPECT_EQ(0, Tree->GetVisibleIndexOfColumn(9));
  // b is at level 1: its tree area (two levels, the image) lies in x.
  const int indent = 2 * 16;
  EXPECT_EQ((TRect{indent, top, 120, top + h}), Tree->GetLayoutBuilder().GetCellRect(b, 0));
  EXPECT_EQ((TRect{120, top, 200, top + h}), Tree->GetLayoutBuilder().GetCellRect(b, 1));
  EXPECT_EQ((TRect{indent, top + h, 200, top + 2 * h}), Tree->GetLayoutBuilder().GetCellRect(b, 3));
  EXPECT_EQ((TRect{200, top, 350, top + 2 * h}), Tree->GetLayoutBuilder().GetCellRect(b, 2));
  EXPECT_EQ((TRect{120, top, 199, top + h}), Tree->GetEditorRect(b, 1));
  EXPECT_EQ((TRect{200, top, 350, top + 2 * h}), Tree->GetEditorRect(b, 2));  // at the right edge
  EXPECT_EQ((TRect{-1, -1, -1, -1}), Tree->GetLayoutBuilder().GetCellRect(b, 7));

  Tree->SetShowGrid(true);  // a line below each cell line
  const int g = Tree->GetRowHeight();
  const int gridTop = layout.Rows.top + 2 * g;  // a's row: its two lines
  EXPECT_EQ((TRect{120, gridTop, 200, gridTop + g - 1}), Tree->GetLayoutBuilder().GetCellRect(b, 1));
  OptionEx(aoOptionsEx0, true);  // taller rows: the editor keeps off their extra pixels
  const TRect cell = Tree->GetLayoutBuilder().GetCellRect(b, 1);
  const TRect editor = Tree->GetEditorRect(b, 1);
  EXPECT_EQ(cell.top + 1, editor.top);
  EXPECT_EQ(cell.bottom - 1, editor.bottom);
  a->SetExpanded(false);
  EXPECT_EQ((TRect{-1, -1, -1, -1}), Tree->GetLayoutBuilder().GetCellRect(b, 0));
}

TEST_F(TreeListLayoutTest, RowsGrowWithTheirPreviewAndFooterLines) {
  Tree->Bands = {{"a", 400}};
  Tree->Columns = {{"x", 0, 0, 400}};
  TdxTreeListNode* a = Tree->AddNode(nullptr, "a");
  TdxTreeListNode* b = Tree->AddNode(a, "b");
  a->SetExpanded(true);
  Refresh();
  const int h = Tree->GetRowHeight();
  // Two fixed preview lines with ShowGrid off: H + 2 x the preview line height + 2.
  OptionEx(aoAutoCalcPreviewLines, false);
  Tree->SetPreviewLines(2);
  Option(aoPreview, true);
  const int preview = Tree->GetMetrics().PreviewLineHeight;
  EXPECT_EQ(h + 2 * preview + 2, Tree->GetWidths().GetNodeRowHeight(b, h, true));
  TdxTreeListLayout layout = Layout();
  EXPECT_EQ(2, layout.RowEntries[1].PreviewLineCount);
  EXPECT_EQ(h, RectHeight(Tree->GetLayoutBuilder().GetCellRect(b, 0)));  // the cell above the preview

  // With node footers, the last child carries its parent's footer line.
  Option(aoPreview, false);
  Tree->NodeFooters = true;
  Refresh();
  EXPECT_EQ(1, Tree->GetWidths().CalcNodeFooterCount(b));
  EXPECT_EQ(0, Tree->GetWidths().GetNodeFooterLevel(b, 0));
  EXPECT_EQ(1, Tree->GetWidths().CountNodeFootersBelow(b, 1));
  EXPECT_EQ(-1, Tree->GetWidths().CountNodeFootersBelow(a, 1));
  layout = Layout();
  EXPECT_EQ(h + Tree->GetMetrics().NodeFooterHeight, layout.RowEntries[1].Height);
  EXPECT_EQ(1, layout.RowEntries[1].FooterLineCount);
  EXPECT_EQ(0, layout.RowEntries[1].FooterValue);
  EXPECT_EQ(h, RectHeight(Tree->GetLayoutBuilder().GetCellRect(b, 0)));
}

TEST_F(TreeListLayoutTest, PreviewLinesFollowTheTextAtThePreviewWidth) {
  Tree->Bands = {{"a", 200}};
  TdxTreeListNode* a = Tree->AddNode(nullptr, "a");
  Option(aoPreview, true);
  Refresh();
  EXPECT_EQ(0, Tree->GetPreviewLineCount(a));  // no text, no lines
  EXPECT_EQ(1, Tree->GetPreviewLineCount(nullptr));
  const std::string text = "one two three four five six seven eight nine ten eleven twelve thirteen";
  Tree->Previews[a] = text;
  const int width = Tree->GetWidths().GetPreviewWidth(a);
  EXPECT_EQ(200 - 16, width);  // less the tree area
  // Measured where the text is drawn: less the preview indent and the 1-pixel margins.
  TClientDC dc(nullptr);
  TSelectGuard select(dc, Tree->GetPreviewFont()->GetHandle());
  RECT bounds{0, 0, width - TdxTreeListLayoutBuilder::kPreviewIndent - 2, 0};
  const int height = DrawTextA(dc, text.c_str(), int(text.size()), &bounds, DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX);
  const int lines = height / TextHeight(Tree->GetPreviewFont());
  ASSERT_GT(lines, 1);
  EXPECT_EQ(lines, Tree->GetPreviewLineCount(a));
}

TEST_F(TreeListLayoutTest, NodeIndentsFollowTheLook) {
  TdxTreeListNode* a = Tree->AddNode(nullptr, "a");
  TdxTreeListNode* b = Tree->AddNode(a, "b");
  Refresh();
  int level = 0;
  int full = 0;
  Tree->GetWidths().GetNodeIndent(b, level, full);
  EXPECT_EQ(32, level);  // tree look: a level column and the button column
  Tree->SetShowRoot(false);
  Tree->GetWidths().GetNodeIndent(b, level, full);
  EXPECT_EQ(16, level);
  TCustomImageList images(nullptr, 20, 16);
  TCustomImageList states(nullptr, 10, 16);
  Tree->SetImages(&images);
  Tree->SetStateImages(&states);
  Tree->GetWidths().GetNodeIndent(b, level, full);
  EXPECT_EQ(16 + 20, full);  // no state image: StateIndex -1
  b->SetStateIndex(0);
  Tree->GetWidths().GetNodeIndent(b, level, full);
  EXPECT_EQ(16 + 10 + 20, full);
  Tree->SetGridLook(true);  // root shown; a leaf has no column of its own
  Tree->GetWidths().GetNodeIndent(b, level, full);
  EXPECT_EQ(16, level);
  Tree->GetWidths().GetNodeIndent(a, level, full);
  EXPECT_EQ(16, level);
  Tree->SetImages(nullptr);
  Tree->SetStateImages(nullptr);
}

TEST_F(TreeListLayoutTest, GridLookRowsWithChildrenAreOnePixelTaller) {
  TdxTreeListNode* a = Tree->AddNode(nullptr, "a");
  TdxTreeListNode* b = Tree->AddNode(a, "b");
  Tree->SetGridLook(true);
  const int h = Tree->GetRowHeight();
  EXPECT_EQ(h + 1, Tree->GetWidths().GetNodeRowHeight(a, h, true));
  EXPECT_EQ(h, Tree->GetWidths().GetNodeRowHeight(b, h, true));
}

// ---- The window

TEST_F(TreeListLayoutTest, TheScrollBarsFollowTheRowsAndTheBands) {
  TTestWindow window;
  Tree->SetBorderStyle(bsNone);
  Tree->SetParentWindow(window.Handle());
  Tree->Bands = {{"a", 300}, {"b", 300}};
  Tree->Columns = {{"x", 0}, {"y", 1}};
  for (int i = 0; i < 40; ++i)
    Tree->AddNode(nullptr, "n" + std::to_string(i));
  Tree->HandleNeeded();
  Refresh();
  HWND wnd = Tree->GetHandle();
  SCROLLINFO info{sizeof(info), SIF_ALL};
  ASSERT_TRUE(GetScrollInfo(wnd, SB_HORZ, &info));
  EXPECT_EQ(599, info.nMax);
  EXPECT_EQ(Tree->GetWidths().GetVisibleScrollWidth(), static_cast<int>(info.nPage));
  EXPECT_EQ(RectWidth(Tree->GetClientRect()), static_cast<int>(info.nPage));
  Tree->SetLeftCoord(100);
  ASSERT_TRUE(GetScrollInfo(wnd, SB_HORZ, &info));
  EXPECT_EQ(100, info.nPos);
  info = SCROLLINFO{sizeof(info), SIF_ALL};
  ASSERT_TRUE(GetScrollInfo(wnd, SB_VERT, &info));
  EXPECT_EQ(39, info.nMax);
  EXPECT_EQ(Tree->GetNavigator().GetVisibleRowCount(), static_cast<int>(info.nPage));
  // Wider bands than the window: making it wider keeps the right edge filled.
  Tree->SetWidth(700);
  Refresh();
  EXPECT_EQ(0, Tree->GetLeftCoord());
  Tree->SetParentWindow(nullptr);
}

}  // namespace
