#include <random>
#include <set>

#include <gtest/gtest.h>

#include "tests/support/TestSupport.h"
#include "tests/treelist/TreeListTestSupport.h"

namespace {

class TreeListHitTestTest : public TreeListFixture {
 protected:
  void SetUp() override { Size(500, 400); }
  TdxTreeListHitInfo Hit(int x, int y) {
    TdxTreeListHitInfo info;
    Tree->GetHitInfo(TPoint{x, y}, info);
    return info;
  }
  TdxTreeListHitTest Code(int x, int y) { return Hit(x, y).HitTest; }
  static int MidX(const TRect& r) { return (r.left + r.right) / 2; }
  static int MidY(const TRect& r) { return (r.top + r.bottom) / 2; }
  static int MidY(const TdxTreeListRowEntry& row) { return row.Top + row.Height / 2; }
};

TEST_F(TreeListHitTestTest, OutsideTheWindowEveryFieldKeepsItsInitialValue) {
  Tree->Bands = {{"a"}};
  Tree->Columns = {{"x"}};
  Tree->AddNode(nullptr, "a");
  Refresh();
  for (const TPoint p : {TPoint{-1, 5}, TPoint{5, -1}, TPoint{500, 5}, TPoint{5, 400}, TPoint{-1000, 5000}}) {
    const TdxTreeListHitInfo info = Hit(p.x, p.y);
    EXPECT_EQ(htOutside, info.HitTest);
    EXPECT_TRUE(info.Pos == p);
    EXPECT_EQ(-1, info.Band);
    EXPECT_EQ(-1, info.Column);
    EXPECT_EQ(nullptr, info.Node);
    EXPECT_EQ(-1, info.Row);
    EXPECT_EQ(-1, info.SubIndex);
  }
}

TEST_F(TreeListHitTestTest, AColumnEdgeAnswersWithinFourPixels) {
  Tree->Bands = {{"a", 300}};
  Tree->Columns = {{"x", 0, 0, 100}, {"y", 0, 0, 200}};
  Refresh();
  const TdxTreeListLayout layout = Layout();
  const int y = MidY(layout.HeaderPanel);
  EXPECT_EQ(htColumnEdge, Code(100 - 4, y));
  EXPECT_EQ(0, Hit(100 - 4, y).Column);
  EXPECT_EQ(htColumnHeader, Code(100 - 5, y));
  // The first pixels of the next column size the one before it.
  EXPECT_EQ(htColumnEdge, Code(100 + 3, y));
  EXPECT_EQ(0, Hit(100 + 3, y).Column);
  EXPECT_EQ(htColumnHeader, Code(100 + 4, y));
  EXPECT_EQ(1, Hit(100 + 4, y).Column);
  // Without column sizing the edge is the header.
  Option(aoColumnSizing, false);
  EXPECT_EQ(htColumnHeader, Code(100 - 4, y));
  Option(aoColumnSizing, true);
  Tree->Columns[0].Sizing = false;
  EXPECT_EQ(htColumnHeader, Code(100 - 4, y));
  // The last column's edge is its band's edge.
  EXPECT_EQ(htBandEdge, Code(300 - 2, y));
  EXPECT_EQ(0, Hit(300 - 2, y).Band);
  OptionEx(aoBandSizing, false);
  EXPECT_EQ(htColumnHeader, Code(300 - 2, y));
}

// Every hit code of the control answers at least one probe.
TEST_F(TreeListHitTestTest, EveryHitCodeIsReached) {
  Tree->TopPanel = 10;
  Tree->StatusPanel = true;
  Tree->NewItemRow = true;
  Tree->NodeFooters = true;
  Tree->SetShowBands(true);
  Tree->SetShowIndicator(true);
  Tree->SetShowFooter(true);
  OptionEx(aoAutoCalcPreviewLines, false);
  Option(aoPreview, true);
  TCustomImageList images(nullptr, 16, 16);
  TCustomImageList states(nullptr, 12, 16);
  Tree->SetImages(&images);
  Tree->SetStateImages(&states);
  Tree->Bands = {{"a", 200}, {"b", 150}};
  Tree->Columns = {{"x", 0, 0, 100}, {"y", 0, 0, 100}, {"z", 1, 0, 150}};
  TdxTreeListNode* p = Tree->AddNode(nullptr, "p");
  TdxTreeListNode* c1 = Tree->AddNode(p, "c1");
  TdxTreeListNode* c2 = Tree->AddNode(p, "c2");
  Tree->AddNode(nullptr, "q");
  p->SetExpanded(true);
  p->SetStateIndex(0);
  Refresh();
  const TdxTreeListLayout layout = Layout();
  ASSERT_EQ(4u, layout.RowEntries.size());
  const TdxTreeListRowEntry& pRow = layout.RowEntries[0];
  const TdxTreeListRowEntry& c1Row = layout.RowEntries[1];
  const TdxTreeListRowEntry& c2Row = layout.RowEntries[2];
  const TdxTreeListColumnEntry& x = *layout.FindColumn(0);
  const TdxTreeListColumnEntry& y = *layout.FindColumn(1);
  const int tree = layout.TreeLeft;
  std::set<int> reached;
  auto probe = [&](TdxTreeListHitTest expected, int px, int py) {
    const TdxTreeListHitInfo info = Hit(px, py);
    EXPECT_EQ(expected, info.HitTest) << "at " << px << ", " << py;
    reached.insert(info.HitTest);
    return info;
  };

  probe(htOutside, 600, 10);
  probe(htTopPanel, 100, 5);
  probe(htBandIndicator, MidX(layout.BandIndicator), MidY(layout.BandIndicator));
  EXPECT_EQ(0, probe(htBandHeader, 50, MidY(layout.BandRow)).Band);
  EXPECT_EQ(1, probe(htBandEdge, layout.FindBand(1)->Rect.right - 2, MidY(layout.BandRow)).Band);
  probe(htHeaderIndicator, MidX(layout.HeaderIndicator), MidY(layout.HeaderIndicator));
  EXPECT_EQ(1, probe(htColumnHeader, MidX(y.Rect), MidY(layout.HeaderPanel)).Column);
  EXPECT_EQ(0, probe(htColumnEdge, x.Rect.right - 1, MidY(layout.HeaderPanel)).Column);
  EXPECT_EQ(1, probe(htNewItemRow, MidX(y.Rect), MidY(layout.NewItemRow)).Column);
  EXPECT_EQ(0, probe(htIndicator, 5, MidY(pRow)).Row);
  probe(htFooter2, 100, MidY(layout.StatusPanel));
  EXPECT_EQ(1, probe(htFooter, MidX(y.Rect), MidY(layout.Footer)).Column);

  const TdxTreeListHitInfo button = probe(htButton, tree + 8, pRow.Top + 5);
  EXPECT_EQ(p, button.Node);
  EXPECT_EQ(0, button.Row);
  probe(htStateImage, tree + 16 + 2, pRow.Top + 5);
  probe(htNodeImage, tree + 16 + 12 + 2, pRow.Top + 5);
  EXPECT_EQ(c1, probe(htIndent, tree + 4, c1Row.Top + 5).Node);
  const TdxTreeListHitInfo cell = probe(htCell, MidX(y.Rect), c1Row.Top + 5);
  EXPECT_EQ(1, cell.Column);
  EXPECT_EQ(0, cell.Band);
  EXPECT_EQ(1, cell.Row);
  // c1's preview line lies above its grid line, at the bottom of the row.
  ASSERT_EQ(1, c1Row.PreviewLineCount);
  const TdxTreeListHitInfo preview = probe(htPreview, MidX(y.Rect), c1Row.Top + c1Row.Height - 3);
  EXPECT_EQ(-1, preview.Column);
  // c2 closes p's group: its footer line below its cells.
  ASSERT_EQ(1, c2Row.FooterLineCount);
  const TdxTreeListHitInfo footer = probe(htNodeFooter, MidX(y.Rect), c2Row.Top + c2Row.Height - 3);
  EXPECT_EQ(c2, footer.Node);
  EXPECT_EQ(0, footer.SubIndex);
  EXPECT_EQ(1, footer.Column);
  probe(htRowRight, 450, c1Row.Top + 5);  // right of the narrow bands
  const int rowsEnd = layout.RowEntries.back().Top + layout.RowEntries.back().Height;
  EXPECT_EQ(-1, probe(htNowhere, 100, rowsEnd + 10).Row);

  Tree->SetOptionsEx(Tree->GetOptionsEx().Include(aoBandPanelSizing).Include(aoHeaderPanelSizing).Include(aoRowSizing));
  probe(htBandPanelEdge, 50, layout.BandRow.bottom - 2);
  probe(htHeaderPanelEdge, 50, layout.HeaderPanel.bottom + 1);
  EXPECT_EQ(0, probe(htRowEdge, 5, pRow.Top + pRow.Height - 2).Row);
  EXPECT_EQ(0, probe(htRowEdge, 5, c1Row.Top + 1).Row);  // the top of a row is the edge of the one above

  for (int code = htNowhere; code <= htFooter2; ++code)
    EXPECT_TRUE(reached.count(code)) << "hit code " << code << " not reached";
  Tree->SetImages(nullptr);
  Tree->SetStateImages(nullptr);
}

TEST_F(TreeListHitTestTest, PanelEdgesAnswerOnlyWhenTheirHeightMayChange) {
  Tree->SetShowBands(true);
  Tree->SetShowIndicator(true);
  Tree->Bands = {{"a", 488}};
  Tree->Columns = {{"x", 0, 0, 488}};
  Refresh();
  const TdxTreeListLayout layout = Layout();
  const int bandEdge = layout.BandRow.bottom;
  const int headerEdge = layout.HeaderPanel.bottom;
  EXPECT_EQ(htBandHeader, Code(50, bandEdge - 1));
  EXPECT_EQ(htHeaderIndicator, Code(5, headerEdge - 1));
  OptionEx(aoBandPanelSizing, true);
  OptionEx(aoHeaderPanelSizing, true);
  EXPECT_EQ(htBandPanelEdge, Code(50, bandEdge - 4));
  EXPECT_EQ(htBandHeader, Code(50, bandEdge - 5));
  EXPECT_EQ(htBandPanelEdge, Code(50, bandEdge + 3));
  EXPECT_EQ(htBandPanelEdge, Code(5, bandEdge - 1));  // also above the indicator
  EXPECT_EQ(htHeaderPanelEdge, Code(5, headerEdge - 1));
  EXPECT_EQ(htHeaderPanelEdge, Code(50, headerEdge + 3));
  EXPECT_NE(htHeaderPanelEdge, Code(50, headerEdge + 4));
}

TEST_F(TreeListHitTestTest, BelowTheLastRowIsNowhere) {
  Tree->SetShowIndicator(true);
  Tree->Bands = {{"a", 488}};
  Tree->Columns = {{"x", 0, 0, 488}};
  Tree->AddNode(nullptr, "a");
  Tree->AddNode(nullptr, "b");
  Refresh();
  const TdxTreeListLayout layout = Layout();
  const int end = layout.RowEntries.back().Top + layout.RowEntries.back().Height;
  const TdxTreeListHitInfo info = Hit(100, end + 5);
  EXPECT_EQ(htNowhere, info.HitTest);
  EXPECT_EQ(-1, info.Row);
  EXPECT_EQ(nullptr, info.Node);
  // The 4 pixels below the last row in the indicator column size the last row.
  OptionEx(aoRowSizing, true);
  EXPECT_EQ(htRowEdge, Code(5, end + 3));
  EXPECT_EQ(1, Hit(5, end + 3).Row);
  EXPECT_EQ(htNowhere, Code(5, end + 4));
  EXPECT_EQ(htNowhere, Code(100, end + 3));
  // Without row sizing the indicator strip below the last row stays the indicator.
  OptionEx(aoRowSizing, false);
  EXPECT_EQ(htIndicator, Code(5, end + 3));
}

// Regression: without an indicator, the 4 pixels below the last row answered the
// indicator column (15) when rows could not be sized.
TEST_F(TreeListHitTestTest, WithoutAnIndicatorBelowTheLastRowIsNotTheIndicator) {
  Tree->Bands = {{"a", 500}};
  Tree->Columns = {{"x", 0, 0, 500}};
  Tree->AddNode(nullptr, "a");
  Refresh();
  const TdxTreeListLayout layout = Layout();
  const int end = layout.RowEntries.back().Top + layout.RowEntries.back().Height;
  EXPECT_EQ(htNowhere, Code(100, end + 2));
  EXPECT_EQ(-1, Hit(100, end + 2).Row);
  EXPECT_EQ(htCell, Code(100, end - 2));
  // With row sizing the rows' own width holds the row edges.
  OptionEx(aoRowSizing, true);
  EXPECT_EQ(htRowEdge, Code(100, end + 2));
  EXPECT_EQ(htRowEdge, Code(100, end - 2));
  EXPECT_EQ(0, Hit(100, end - 2).Row);
}

TEST_F(TreeListHitTestTest, BandEdges) {
  Tree->SetShowBands(true);
  Tree->Bands = {{"a", 100}, {"b", 150}, {"c", 100}};
  Tree->Columns = {{"x", 0, 0, 100}, {"y", 1, 0, 150}, {"z", 2, 0, 100}};
  Refresh();
  const TdxTreeListLayout layout = Layout();
  const int band = MidY(layout.BandRow);
  const int header = MidY(layout.HeaderPanel);
  EXPECT_EQ(htBandEdge, Code(96, band));
  EXPECT_EQ(0, Hit(96, band).Band);
  EXPECT_EQ(htBandHeader, Code(95, band));
  EXPECT_EQ(htBandEdge, Code(103, band));  // the first pixels of b size a
  EXPECT_EQ(0, Hit(103, band).Band);
  EXPECT_EQ(1, Hit(104, band).Band);
  // Right of the last band, in the empty area.
  EXPECT_EQ(htBandEdge, Code(352, band));
  EXPECT_EQ(2, Hit(352, band).Band);
  EXPECT_EQ(htNowhere, Code(354, band));
  // In the header: the left edge of b's first column sizes band a.
  EXPECT_EQ(htBandEdge, Code(102, header));
  EXPECT_EQ(0, Hit(102, header).Band);
  EXPECT_EQ(htBandEdge, Code(352, header));
  // A band that may not be sized has no edge; b's own edge still answers.
  Tree->Bands[0].Sizing = false;
  EXPECT_EQ(htBandHeader, Code(96, band));
  EXPECT_EQ(htBandHeader, Code(103, band));
  EXPECT_EQ(htColumnHeader, Code(102, header));
  EXPECT_EQ(htBandEdge, Code(248, band));
  // Columns size their band when bands are hidden: the zone right of the header sizes
  // the last column.
  Tree->SetShowBands(false);
  OptionEx(aoColumnsSizeBand, true);
  const TdxTreeListLayout flat = Layout();
  const int y = MidY(flat.HeaderPanel);
  EXPECT_EQ(htColumnEdge, Code(352, y));
  EXPECT_EQ(2, Hit(352, y).Column);
  EXPECT_EQ(htColumnEdge, Code(98, y));  // the last column of a row: its own edge
  EXPECT_EQ(0, Hit(98, y).Column);
  EXPECT_EQ(htColumnEdge, Code(101, y));  // b's first column: the previous band's last column
  EXPECT_EQ(0, Hit(101, y).Column);
}

TEST_F(TreeListHitTestTest, ABandWiderThanTheAreaHasItsEdgeAtTheAreasEdge) {
  Tree->SetShowBands(true);
  Tree->Bands = {{"a", 900}};
  Tree->Columns = {{"x", 0, 0, 900}};
  Refresh();
  const TdxTreeListLayout layout = Layout();
  EXPECT_EQ(htBandEdge, Code(497, MidY(layout.BandRow)));
  EXPECT_EQ(htBandEdge, Code(497, MidY(layout.HeaderPanel)));
}

TEST_F(TreeListHitTestTest, NodePartsMoveWithTheRootAndTheLook) {
  Tree->Bands = {{"a", 500}};
  Tree->Columns = {{"x", 0, 0, 500}};
  TCustomImageList images(nullptr, 16, 16);
  Tree->SetImages(&images);
  TdxTreeListNode* a = Tree->AddNode(nullptr, "a");
  TdxTreeListNode* b = Tree->AddNode(a, "b");
  a->SetExpanded(true);
  Refresh();
  TdxTreeListLayout layout = Layout();
  const int aY = layout.RowEntries[0].Top + 4;
  const int bY = layout.RowEntries[1].Top + 4;
  EXPECT_EQ(htButton, Code(2, aY));
  EXPECT_EQ(htNodeImage, Code(16 + 2, aY));
  EXPECT_EQ(htCell, Code(16 + 16 + 2, aY));
  EXPECT_EQ(htIndent, Code(16 + 2, bY));  // b's button column: it has no children
  EXPECT_EQ(htNodeImage, Code(32 + 2, bY));
  EXPECT_EQ(htNowhere, Code(32 + 15, bY));  // the image part is one pixel narrower
  Tree->SetShowButtons(false);
  EXPECT_EQ(htIndent, Code(2, aY));
  Tree->SetShowButtons(true);
  // Without the root, everything moves one indent left.
  Tree->SetShowRoot(false);
  EXPECT_EQ(htNodeImage, Code(2, aY));
  EXPECT_EQ(htNodeImage, Code(16 + 2, bY));
  EXPECT_EQ(htIndent, Code(2, bY));
  // The grid look: a leaf has no level column of its own.
  Tree->SetShowRoot(true);
  Tree->SetGridLook(true);
  layout = Layout();
  EXPECT_EQ(htNodeImage, Code(16 + 2, layout.RowEntries[1].Top + 4));
  EXPECT_EQ(htIndent, Code(2, layout.RowEntries[1].Top + 4));
  EXPECT_EQ(b, Tree->GetHitTester().GetNodeAt(16 + 2, layout.RowEntries[1].Top + 4));
  EXPECT_EQ(nullptr, Tree->GetHitTester().GetNodeAt(16 + 2, 399));
  Tree->SetImages(nullptr);
}

TEST_F(TreeListHitTestTest, TheTreeAreaScrollsWithTheFirstBand) {
  Tree->Bands = {{"a", 300}, {"b", 400}};
  Tree->Columns = {{"x", 0, 0, 300}, {"y", 1, 0, 400}};
  TdxTreeListNode* a = Tree->AddNode(nullptr, "a");
  Tree->AddNode(a, "b");
  Refresh();
  Tree->SetLeftCoord(10);
  const TdxTreeListLayout layout = Layout();
  const int y = layout.RowEntries[0].Top + 4;
  EXPECT_EQ(-10, layout.TreeLeft);
  EXPECT_EQ(htButton, Code(0, y));
  EXPECT_EQ(htCell, Code(6, y));  // the button ends at 16 - 10
  // With the first band fixed the tree area stays put.
  Tree->LeftFixed = 0;
  Refresh();
  EXPECT_EQ(htButton, Code(12, y));
}

// For 1,000 random layouts (fonts, flags, widths, band counts), every cell lies inside
// its band and its row, no two cells of a row overlap, and a hit test at a cell's
// centre answers that cell.
TEST_F(TreeListHitTestTest, RandomLayoutsKeepEveryCellInItsBandAndRow) {
  std::mt19937 random(20240612);
  auto pick = [&random](int low, int high) { return std::uniform_int_distribution<int>(low, high)(random); };
  auto chance = [&pick](int percent) { return pick(1, 100) <= percent; };
  int cellsChecked = 0;
  for (int round = 0; round < 1000; ++round) {
    SCOPED_TRACE("round " + std::to_string(round));
    TTestTreeList tree(nullptr);
    tree.SetBounds(0, 0, pick(60, 700), pick(60, 500));
    tree.GetFont()->SetSize(pick(6, 16));
    tree.GetHeaderFont()->SetSize(pick(6, 14));
    tree.GetBandFont()->SetSize(pick(6, 14));
    tree.GetPreviewFont()->SetSize(pick(6, 12));
    tree.SetShowBands(chance(50));
    tree.SetShowHeader(chance(80));
    tree.SetShowIndicator(chance(50));
    tree.SetShowGrid(chance(50));
    tree.SetShowPreviewGrid(chance(50));
    tree.SetShowFooter(chance(30));
    tree.SetShowRoot(chance(70));
    tree.SetGridLook(chance(30));
    tree.SetLookAndFeel(static_cast<TdxLookAndFeel>(pick(0, 2)));
    tree.SetFixedBandLineWidth(pick(0, 3));
    tree.SetGridLineWidthSetting(pick(1, 2));
    TdxTreeListOptions options = tree.GetOptions();
    if (chance(40))
      options.Include(aoAutoWidth);
    if (chance(30))
      options.Include(aoPreview);
    if (chance(30))
      options.Include(aoMultiSelect);
    tree.SetOptions(options);
    TdxTreeListOptionsEx optionsEx = tree.GetOptionsEx();
    for (TdxTreeListOptionEx bit : {aoOptionsEx0, aoBandHeaderWidth, aoAutoCalcPreviewLines, aoRowSizing,
                                    aoBandSizing, aoColumnsSizeBand, aoRowAutoHeight}) {
      if (chance(50))
        optionsEx.Include(bit);
      else
        optionsEx.Exclude(bit);
    }
    tree.SetOptionsEx(optionsEx);
    tree.TopPanel = chance(20) ? pick(1, 20) : 0;
    tree.StatusPanel = chance(20);
    tree.NewItemRow = chance(20);
    tree.NodeFooters = chance(20);
    tree.ExtraWidth = chance(30) ? pick(1, 40) : 0;
    tree.HeaderRows = pick(1, 3);
    const int bands = pick(1, 5);
    for (int b = 0; b < bands; ++b)
      tree.Bands.push_back(TTestBand{"b", pick(0, 300), pick(0, 80), chance(80)});
    if (bands >= 2 && chance(40))
      tree.LeftFixed = 0;
    if (bands >= 3 && chance(40))
      tree.RightFixed = bands - 1;
    for (int b = 0; b < bands; ++b) {
      for (int row = 0; row < tree.HeaderRows; ++row) {
        const int count = pick(0, 3);
        for (int c = 0; c < count; ++c) {
          TTestColumn column{"c", b, row, pick(0, 200), pick(0, 60), chance(80)};
          column.HeaderMaxLineCount = pick(0, 3);
          tree.Columns.push_back(column);
        }
      }
    }
    // A random tree of up to 30 nodes, some expanded, with images.
    std::vector<TdxTreeListNode*> nodes;
    const int nodeCount = pick(0, 30);
    for (int n = 0; n < nodeCount; ++n) {
      TdxTreeListNode* parent = nodes.empty() || chance(40) ? nullptr : nodes[pick(0, int(nodes.size()) - 1)];
      TdxTreeListNode* node = tree.AddNode(parent, "n");
      node->SetStateIndex(chance(30) ? 0 : -1);
      if (chance(30))
        tree.Previews[node] = "a preview text that may be broken into several lines of text";
      nodes.push_back(node);
    }
    for (TdxTreeListNode* node : nodes) {
      if (chance(70))
        node->SetExpanded(true);
    }
    TCustomImageList images(nullptr, pick(8, 24), pick(8, 24));
    TCustomImageList states(nullptr, pick(8, 16), pick(8, 16));
    if (chance(50))
      tree.SetImages(&images);
    if (chance(30))
      tree.SetStateImages(&states);
    tree.UpdateGuarded();
    tree.SetLeftCoord(pick(0, 400));
    if (tree.GetRowCount() > 0)
      tree.SetTopIndex(pick(0, tree.GetRowCount() - 1));

    TdxTreeListLayout layout;
    tree.CalcLayout(layout);
    for (size_t r = 0; r < layout.RowEntries.size(); ++r) {
      const TdxTreeListRowEntry& row = layout.RowEntries[r];
      std::vector<TRect> cells;
      for (const TdxTreeListColumnEntry& column : layout.Columns) {
        const TRect cell = tree.GetLayoutBuilder().GetCellRect(row.Node, tree.GetVisibleIndexOfColumn(column.Column));
        ASSERT_NE(-1, cell.left) << "a column of the layout has a cell";
        if (IsEmptyRect(cell))
          continue;
        const TdxTreeListBandEntry* band = layout.FindBand(column.Band);
        ASSERT_NE(nullptr, band);
        EXPECT_GE(cell.left, band->ClippedRect.left);
        EXPECT_LE(cell.right, band->ClippedRect.right);
        EXPECT_GE(cell.top, row.Top);
        EXPECT_LE(cell.bottom, row.Top + row.Height);
        for (const TRect& other : cells) {
          TRect overlap;
          EXPECT_FALSE(IntersectRect(&overlap, &cell, &other)) << "cells of one row overlap";
        }
        cells.push_back(cell);
        const TPoint centre{(cell.left + cell.right - 1) / 2, (cell.top + cell.bottom - 1) / 2};
        if (!PointInRect(layout.Rows, centre))
          continue;  // the part of the last row below the rows area
        TdxTreeListHitInfo info;
        tree.GetHitInfo(centre, info);
        EXPECT_EQ(htCell, info.HitTest);
        EXPECT_EQ(column.Column, info.Column);
        EXPECT_EQ(column.Band, info.Band);
        EXPECT_EQ(row.Node, info.Node);
        EXPECT_EQ(static_cast<int>(r), info.Row);
        ++cellsChecked;
        if (HasFailure())
          return;
      }
    }
    tree.SetImages(nullptr);
    tree.SetStateImages(nullptr);
  }
  EXPECT_GT(cellsChecked, 10000);
}

}  // namespace
