// Painting of the tree list, probed in 32-bit memory surfaces: expand buttons and dotted
// tree lines where the layout puts them, header, indicator and footer buttons against
// the same drawing calls made directly, highlighting by focus and options, grid-line
// colours, the column brush table, resources freed over many paints and after a
// painter raises, and the feedback nesting.
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "classlib/Bitmap.h"
#include "classlib/Exceptions.h"
#include "classlib/GdiHandles.h"
#include "classlib/HandleCounter.h"
#include "classlib/ImageList.h"
#include "classlib/UtilWindow.h"
#include "tests/support/TestSupport.h"
#include "tests/treelist/TreeListTestSupport.h"
#include "treelist/DxTreeListDraw.h"

namespace {

constexpr COLORREF kRed = RGB(255, 0, 0);
constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kBlack = RGB(0, 0, 0);

COLORREF Sys(int index) { return GetSysColor(index); }

class TreeListPaintTest : public TreeListFixture {
 protected:
  // Two bands of two columns and the tree a (a1, a2 (a21), a3), b (b1, collapsed), c.
  void Grid(int width = 400, int height = 260) {
    Size(width, height);
    Tree->Bands = {{"First", 200}, {"Second", 200}};
    Tree->Columns = {{"Name", 0, 0, 200}, {"Kind", 1, 0, 100}, {"Size", 1, 0, 100}};
    a = Tree->AddNode(nullptr, "a");
    a1 = Tree->AddNode(a, "a1");
    a2 = Tree->AddNode(a, "a2");
    Tree->AddNode(a2, "a21");
    a3 = Tree->AddNode(a, "a3");
    b = Tree->AddNode(nullptr, "b");
    Tree->AddNode(b, "b1");
    c = Tree->AddNode(nullptr, "c");
    a->Expand(/*recurse=*/true);
    Refresh();
  }

  // The control in `window` on a white background, painted once.
  void ShowWhiteIn(TTestWindow& window) {
    Tree->SetParentWindow(window.Handle());
    Tree->HandleNeeded();
    Tree->SetColor(TColor(kWhite));
    UpdateWindow(Tree->GetHandle());
    PumpPending();
  }

  // A pixel of the control's window as the screen shows it.
  COLORREF ScreenPixel(int x, int y) {
    TClientDC dc(Tree->GetHandle());
    return GetPixel(dc, x, y);
  }

  // The control painted into a fresh surface of its size, filled with `background` first.
  std::unique_ptr<TDibSurface> Paint(COLORREF background = RGB(1, 2, 3)) {
    auto dib = std::make_unique<TDibSurface>(Tree->GetClientRect().right, Tree->GetClientRect().bottom);
    dib->Fill(background);
    Tree->PaintWindow(dib->DC());
    return dib;
  }

  const TdxTreeListRowEntry& Row(const TdxTreeListLayout& layout, TdxTreeListNode* node) {
    const TdxTreeListRowEntry* row = layout.FindRow(node);
    EXPECT_NE(row, nullptr);
    return *row;
  }

  // True when the `r` part of both surfaces is the same, pixel for pixel.
  static bool SameBlock(const TDibSurface& one, const TDibSurface& other, const TRect& r, const TRect& otherAt) {
    for (int y = 0; y < RectHeight(r); ++y)
      for (int x = 0; x < RectWidth(r); ++x)
        if (one.Color(r.left + x, r.top + y) != other.Color(otherAt.left + x, otherAt.top + y))
          return false;
    return true;
  }

  TdxTreeListNode *a = nullptr, *a1 = nullptr, *a2 = nullptr, *a3 = nullptr, *b = nullptr, *c = nullptr;
};

TEST_F(TreeListPaintTest, ExpandButtonsLieAtTheComputedSpotInEachLook) {
  Grid();
  const TdxTreeListLayout layout = Layout();
  const int indent = Tree->GetIndentWidth();
  auto dib = Paint();
  // The tree look: a 9 x 9 box centred in the node's level column on the row's centre.
  for (TdxTreeListNode* node : {a, a2, b}) {
    const TdxTreeListRowEntry& row = Row(layout, node);
    const int x0 = layout.TreeLeft + node->GetLevel() * indent;
    const int left = (x0 + x0 + indent - 1 - 9) / 2;
    const int top = row.Top + row.Height / 2 - 4;
    TDibSurface expected(9, 9);
    expected.Fill(Sys(COLOR_WINDOW));
    DrawExpandButton(expected.DC(), TRect{-left + x0, -top + row.Top, -left + x0 + indent - 1, -top + row.Top + row.Height},
                     4, !node->GetExpanded());
    EXPECT_TRUE(SameBlock(*dib, expected, TRect{left, top, left + 9, top + 9}, TRect{0, 0, 9, 9}))
        << TTestTreeList::TextOf(node);
    EXPECT_EQ(Sys(COLOR_GRAYTEXT), dib->Color(left, top));
    EXPECT_EQ(Sys(COLOR_GRAYTEXT), dib->Color(left + 8, top + 8));
    EXPECT_EQ(Sys(COLOR_WINDOWTEXT), dib->Color(left + 4, top + 4));  // the minus bar
    EXPECT_EQ(node->GetExpanded() ? Sys(COLOR_WINDOW) : Sys(COLOR_WINDOWTEXT), dib->Color(left + 4, top + 2));
  }
  // No button for a node without children.
  const TdxTreeListRowEntry& leaf = Row(layout, a1);
  const int x0 = layout.TreeLeft + indent;
  EXPECT_NE(Sys(COLOR_GRAYTEXT), dib->Color((x0 + x0 + indent - 10) / 2, leaf.Top + leaf.Height / 2 - 4));

  // The grid look: the raised glyphs, centred in the button column; framed, the 3D box.
  Tree->SetGridLook(true);
  TdxTreeListLayout grid = Layout();
  const TdxTreeListRowEntry* row = &Row(grid, b);
  TRect box{grid.TreeLeft, row->Top, grid.TreeLeft + indent - 1, row->Top + row->Height - 1};
  dib = Paint();
  TBitmap* plus = DxTreeListExpandGlyph(/*plus=*/true);
  ASSERT_NE(plus, nullptr);
  const int gx = (box.left + box.right - 12 + 1) / 2, gy = (box.top + box.bottom - 12 + 1) / 2;
  for (int y = 0; y < 12; ++y)
    for (int x = 0; x < 12; ++x)
      ASSERT_EQ(plus->GetCanvas()->GetPixel(x, y), TColor(dib->Color(gx + x, gy + y))) << x << "," << y;
  Tree->SetLookAndFeel(lfFramed);
  grid = Layout();
  row = &Row(grid, b);
  box = TRect{grid.TreeLeft, row->Top, grid.TreeLeft + indent - 1, row->Top + row->Height - 1};
  dib = Paint();
  const int fx = (box.left + box.right - 11) / 2, fy = (box.top + box.bottom - 11) / 2;
  EXPECT_EQ(Sys(COLOR_WINDOWFRAME), dib->Color(fx, fy));
  EXPECT_EQ(Sys(COLOR_WINDOWFRAME), dib->Color(fx + 5, fy + 3));  // the plus bar
}

TEST_F(TreeListPaintTest, DottedTreeLinesStayContinuousAcrossRowsOfOddHeight) {
  Grid();
  Tree->SetDefaultRowHeight(19);
  Tree->SetTreeLineColor(TColor(kRed));
  Tree->SetColor(TColor(kWhite));
  for (bool bands : {false, true}) {  // the rows area starts at an even and at an odd y
    Tree->SetShowBands(bands);
    const TdxTreeListLayout layout = Layout();
    ASSERT_EQ(19, Row(layout, a1).Height);
    auto dib = Paint();
    const int indent = Tree->GetIndentWidth();
    const bool sameParity = (layout.Rows.left & 1) == (layout.Rows.top & 1);
    // The line of the top level from below a's button to above b's, and the line of a's
    // children from below a2's button over a21 to a3's centre.
    struct TLine {
      int X, Top, Bottom;
    };
    const TdxTreeListRowEntry& ra = Row(layout, a);
    const TdxTreeListRowEntry& rb = Row(layout, b);
    const TdxTreeListRowEntry& r2 = Row(layout, a2);
    const TdxTreeListRowEntry& r3 = Row(layout, a3);
    const TLine lines[] = {
        {layout.TreeLeft + indent / 2 - 1, ra.Top + ra.Height / 2 + 5, rb.Top + rb.Height / 2 - 5},
        {layout.TreeLeft + indent + indent / 2 - 1, r2.Top + r2.Height / 2 + 5, r3.Top + r3.Height / 2},
    };
    for (const TLine& line : lines) {
      ASSERT_GT(line.Bottom - line.Top, 19);
      for (int y = line.Top; y <= line.Bottom; ++y) {
        // Dots on the pixels whose coordinates' sum is odd when the rows area's left
        // and top have the same parity, even otherwise: one colour after the other.
        const bool dot = ((line.X + y) & 1) == (sameParity ? 1 : 0);
        ASSERT_EQ(dot ? kRed : kWhite, dib->Color(line.X, y)) << "y " << y << " bands " << bands;
      }
    }
  }
}

TEST_F(TreeListPaintTest, HeaderButtonsMatchTheirDrawingInEachLook) {
  Grid();
  Tree->SetShowBands(true);
  Tree->Sorted = {{0, csUp}, {2, csDown}};
  for (TdxLookAndFeel look : {lfStandard, lfFlat, lfFramed}) {
    Tree->SetLookAndFeel(look);
    const TdxTreeListLayout layout = Layout();
    auto dib = Paint();
    TBrushHandle brush(CreateSolidBrush(Sys(COLOR_BTNFACE)));
    for (const TdxTreeListColumnEntry& entry : layout.Columns) {
      TDibSurface expected(RectWidth(entry.Rect), RectHeight(entry.Rect));
      TSelectGuard font(expected.DC(), Tree->GetHeaderFont()->GetHandle());
      SetTextColor(expected.DC(), ColorToRGB(Tree->GetHeaderFont()->GetColor()));
      TdxHeaderButton button;
      button.Brush = brush.Get();
      button.Look = look;
      button.Text = Tree->Columns[entry.Column].Caption;
      button.Sorted = Tree->GetColumnSorted(entry.Column);
      DrawHeaderButton(expected.DC(), TRect{0, 0, RectWidth(entry.Rect), RectHeight(entry.Rect)}, button);
      EXPECT_TRUE(SameBlock(*dib, expected, entry.Rect, TRect{0, 0, 0, 0})) << "look " << int(look) << " column "
                                                                            << entry.Column;
    }
    for (const TdxTreeListBandEntry& entry : layout.Bands) {
      EXPECT_EQ(Sys(look == lfFramed ? COLOR_BTNSHADOW : COLOR_BTNHIGHLIGHT), dib->Color(entry.Rect.left, entry.Rect.top));
      EXPECT_EQ(Sys(COLOR_BTNFACE), dib->Color(entry.Rect.left + 3, entry.Rect.bottom - 4));
    }
  }
}

TEST_F(TreeListPaintTest, ASortArrowNeedsSixteenPixelsOfContent) {
  TDibSurface sorted(60, 20), plain(60, 20);
  TBrushHandle brush(CreateSolidBrush(Sys(COLOR_BTNFACE)));
  // The face takes 3 pixels across in the standard look and 4 in the others, the
  // content one more on each side; a drop-down mark takes 15 of what is left first.
  struct TCase {
    TdxLookAndFeel Look;
    uint8_t DropDown;
    int Width;  // the widest button whose content holds no arrow
  } cases[] = {{lfStandard, 0, 20}, {lfFlat, 0, 21}, {lfFramed, 0, 21}, {lfStandard, 1, 35}};
  for (const TCase& c : cases) {
    for (int width : {c.Width, c.Width + 1}) {
      TdxHeaderButton button;
      button.Brush = brush.Get();
      button.Look = c.Look;
      button.DropDownState = c.DropDown;
      button.Sorted = csUp;
      sorted.Fill(kBlack);
      plain.Fill(kBlack);
      DrawHeaderButton(sorted.DC(), TRect{0, 0, width, 20}, button);
      button.Sorted = csNone;
      DrawHeaderButton(plain.DC(), TRect{0, 0, width, 20}, button);
      const bool same = SameBlock(sorted, plain, TRect{0, 0, width, 20}, TRect{0, 0, width, 20});
      EXPECT_EQ(width == c.Width, same) << "look " << int(c.Look) << " width " << width;
    }
  }
}

TEST_F(TreeListPaintTest, SelectedRowsAreHighlightedOnlyWhileFocused) {
  Grid();
  TTestWindow window;
  Tree->SetParentWindow(window.Handle());
  Tree->HandleNeeded();
  Tree->SetHighlightColor(TColor(RGB(0, 0, 200)));
  Tree->SetHideSelectionColor(TColor(RGB(200, 0, 0)));
  Tree->SetFocusedNode(a1, 1, false);
  const TdxTreeListLayout layout = Layout();
  const TdxTreeListRowEntry& row = Row(layout, a1);
  // A pixel in the empty part of each cell of the row, and one of the row below.
  auto probe = [&](int column, TdxTreeListNode* node = nullptr) {
    const TdxTreeListRowEntry& r = node ? Row(layout, node) : row;
    const TdxTreeListColumnEntry* entry = layout.FindColumn(column);
    return Paint()->Color(entry->ClippedRect.right - 4, r.Top + r.Height - 3);
  };
  SetFocus(Tree->GetHandle());
  ASSERT_TRUE(Tree->GetPainter().IsControlFocused());
  EXPECT_EQ(RGB(0, 0, 200), probe(0));
  EXPECT_EQ(RGB(0, 0, 200), probe(2));
  EXPECT_EQ(Sys(COLOR_WINDOW), probe(2, a2));
  Option(aoRowSelect, false);  // only the focused cell
  EXPECT_EQ(RGB(0, 0, 200), probe(1));
  EXPECT_EQ(Sys(COLOR_WINDOW), probe(2));

  SetFocus(window.Handle());
  ASSERT_FALSE(Tree->GetPainter().IsControlFocused());
  EXPECT_EQ(Sys(COLOR_WINDOW), probe(1));
  Tree->SetHideSelectionUnfocused(false);
  EXPECT_EQ(RGB(200, 0, 0), probe(1));
  Tree->SetParentWindow(nullptr);
}

TEST_F(TreeListPaintTest, OptionsExBitZeroMakesRowsTallerAndHighlightsAllButTheFocusedCell) {
  // Regression: bit 0 of OptionsEx has the taller rows and the inverted highlight of the
  // focused row (one option with both effects), not one of them.
  Grid();
  TTestWindow window;
  Tree->SetParentWindow(window.Handle());
  Tree->HandleNeeded();
  Tree->SetHighlightColor(TColor(RGB(0, 0, 200)));
  Option(aoRowSelect, false);
  Tree->SetFocusedNode(a1, 1, false);
  SetFocus(Tree->GetHandle());
  const int height = Tree->GetRowHeight();
  OptionEx(aoOptionsEx0, true);
  EXPECT_EQ(height + 2, Tree->GetRowHeight());
  const TdxTreeListLayout layout = Layout();
  const TdxTreeListRowEntry& row = Row(layout, a1);
  auto dib = Paint();
  for (int column : {0, 1, 2}) {
    const TdxTreeListColumnEntry* entry = layout.FindColumn(column);
    EXPECT_EQ(column == 1 ? Sys(COLOR_WINDOW) : RGB(0, 0, 200),
              dib->Color(entry->ClippedRect.right - 4, row.Top + row.Height - 3))
        << column;
  }
  Tree->SetParentWindow(nullptr);
}

TEST_F(TreeListPaintTest, GridLinesTakeGridLineColorOrItsDefault) {
  Grid();
  const TdxTreeListLayout layout = Layout();
  const TdxTreeListRowEntry& row = Row(layout, a1);
  const int x = layout.FindColumn(1)->ClippedRect.right - 1;  // the vertical line
  const int y = row.Top + row.Height / 2;
  EXPECT_EQ(Sys(COLOR_WINDOW), Paint()->Color(x, y));  // without grid lines, the background
  Tree->SetShowGrid(true);
  const TdxTreeListLayout grid = Layout();
  const TdxTreeListRowEntry& gridRow = Row(grid, a1);
  const int bottom = gridRow.Top + gridRow.Height - 1;  // the horizontal line
  auto dib = Paint();
  EXPECT_EQ(Sys(COLOR_BTNSHADOW), dib->Color(x, y));
  EXPECT_EQ(Sys(COLOR_BTNSHADOW), dib->Color(x - 20, bottom));
  Tree->SetGridLineColor(TColor(RGB(0, 160, 0)));
  dib = Paint();
  EXPECT_EQ(RGB(0, 160, 0), dib->Color(x, y));
  EXPECT_EQ(RGB(0, 160, 0), dib->Color(x - 20, bottom));
  Tree->SetGridLineColor(clNone);
  Tree->SetDefaultGridLineColor(TColor(RGB(0, 0, 160)));
  EXPECT_EQ(RGB(0, 0, 160), Paint()->Color(x, y));
}

TEST_F(TreeListPaintTest, IndicatorImagesAndFootersLieWhereTheLayoutPutsThem) {
  Grid();
  Option(aoMultiSelect, true);
  Tree->SetShowIndicator(true);
  Tree->SetShowFooter(true);
  Tree->NewItemRow = true;
  Refresh();
  Tree->FooterColumns = {2};
  Tree->Selection = {a2, a3};
  Tree->SetFocusedNode(a3, 0, false);
  const TdxTreeListLayout layout = Layout();
  auto dib = Paint();
  TImageList* images = DxTreeListIndicatorImages();
  ASSERT_NE(images, nullptr);
  ASSERT_EQ(5, images->GetCount());
  TBrushHandle face(CreateSolidBrush(Sys(COLOR_BTNFACE)));
  TBitmap scratch;
  // Each whole row's indicator cell, as the same call draws it with the image the row asks.
  for (const TdxTreeListRowEntry& row : layout.RowEntries) {
    if (row.Top + row.Height > layout.Rows.bottom)
      continue;
    const int image = row.Node == a3 ? 5 : row.Node == a2 ? 4 : 0;
    const TRect cell{layout.Indicator.left, row.Top, layout.Indicator.right, row.Top + row.Height};
    TDibSurface expected(RectWidth(cell), RectHeight(cell));
    DrawIndicatorButtonBuffered(expected.DC(), TRect{0, 0, RectWidth(cell), row.Height},
                                TRect{0, 0, RectWidth(cell), row.Height}, lfStandard, image, &scratch, face.Get());
    EXPECT_TRUE(SameBlock(*dib, expected, cell, TRect{0, 0, 0, 0})) << TTestTreeList::TextOf(row.Node);
  }
  // The middle row of the focused row's arrow: its back is the image's first column.
  const TdxTreeListRowEntry& focused = Row(layout, a3);
  const int ix = layout.Indicator.left + (RectWidth(layout.Indicator) - images->GetWidth()) / 2;
  const int iy = focused.Top + (focused.Height - images->GetHeight()) / 2;
  EXPECT_EQ(kBlack, dib->Color(ix, iy + images->GetHeight() / 2));
  // The new-item strip's indicator shows the insert image.
  const TRect& strip = layout.NewItemRow;
  ASSERT_FALSE(IsEmptyRect(strip));
  TDibSurface insert(RectWidth(layout.Indicator), RectHeight(strip));
  const TRect insertCell{0, 0, RectWidth(layout.Indicator), RectHeight(strip)};
  DrawIndicatorButtonBuffered(insert.DC(), insertCell, insertCell, lfStandard, 3, &scratch, face.Get());
  EXPECT_TRUE(SameBlock(*dib, insert, TRect{strip.left, strip.top, strip.left + RectWidth(layout.Indicator),
                                            strip.bottom},
                        insertCell));
  // The footer: the panel's frame, and the value cell's sunken frame inside it.
  const TRect& footer = layout.Footer;
  EXPECT_EQ(Sys(COLOR_WINDOWFRAME), dib->Color(footer.left + 5, footer.top));
  const TdxTreeListColumnEntry* entry = layout.FindColumn(2);
  const int top = footer.top + 2 + 1;  // inside the panel's frame, shrunk by 1
  EXPECT_EQ(Sys(COLOR_BTNSHADOW), dib->Color(entry->ClippedRect.left + 1, top));
  EXPECT_EQ(Sys(COLOR_BTNHIGHLIGHT), dib->Color(entry->ClippedRect.right - 2, top + Tree->GetMetrics().FooterLineHeight - 3));
  // A column without a footer value shows the panel's face.
  EXPECT_EQ(Sys(COLOR_BTNFACE), dib->Color(layout.FindColumn(1)->ClippedRect.left + 1, top));
}

TEST_F(TreeListPaintTest, CustomDrawnHeadersAndCellsAreLeftToTheirHandlers) {
  Grid();
  Tree->DoneHeaders = {1};
  Tree->DoneCells = {2};
  const TdxTreeListLayout layout = Layout();
  const TdxTreeListRowEntry& row = Row(layout, a1);
  const int fontHeight = Tree->GetFont()->GetHeight();
  auto dib = Paint(RGB(1, 2, 3));
  // A handler that paints the header or the cell itself leaves its pixels untouched.
  const TRect& header = layout.FindColumn(1)->Rect;
  EXPECT_EQ(RGB(1, 2, 3), dib->Color(header.left + 5, header.top + 5));
  EXPECT_EQ(RGB(1, 2, 3), dib->Color(layout.FindColumn(2)->ClippedRect.right - 4, row.Top + row.Height - 3));
  EXPECT_EQ(Sys(COLOR_WINDOW), dib->Color(layout.FindColumn(1)->ClippedRect.right - 4, row.Top + row.Height - 3));
  EXPECT_EQ(fontHeight, Tree->GetCanvas()->GetFont()->GetHeight());  // the canvas font back
  // A handler's colour of the header's own RGB value keeps the header brush: the same
  // pixels as without the handler.
  Tree->DoneHeaders.clear();
  Tree->HeaderHandlerColor = TColor(Sys(COLOR_BTNFACE));
  auto same = Paint();
  Tree->HeaderHandlerColor = clNone;
  auto plain = Paint();
  EXPECT_TRUE(SameBlock(*same, *plain, layout.HeaderPanel, layout.HeaderPanel));
  Tree->HeaderHandlerColor = TColor(RGB(0, 128, 0));
  EXPECT_EQ(RGB(0, 128, 0), Paint()->Color(header.left + 3, header.bottom - 4));
}

TEST_F(TreeListPaintTest, PanelLinesAndTheStatusPanelTakeTheirColours) {
  Grid();
  Tree->Columns = {{"Name", 0, 0, 200}};  // the second band has no columns
  Tree->StatusPanel = true;
  Tree->StatusText = "status";
  Refresh();
  for (TdxLookAndFeel look : {lfStandard, lfFramed}) {
    Tree->SetLookAndFeel(look);
    const TdxTreeListLayout layout = Layout();
    ASSERT_EQ(1u, layout.EmptyHeaders.size());
    const COLORREF line = look == lfFramed ? RGB(0xA0, 0xA0, 0xA0) : Sys(COLOR_BTNSHADOW);
    auto dib = Paint();
    const TRect& empty = layout.EmptyHeaders.front().Rect;
    EXPECT_EQ(line, dib->Color(empty.left + 3, empty.top + 3)) << int(look);
    const TRect& panel = layout.StatusPanel;
    EXPECT_EQ(line, dib->Color(panel.left + 1, panel.top + 1)) << int(look);
    // Without a close button the text starts 2 pixels in; the button is a 12 x 11 box
    // at 3 pixels in, on the button face with a cross in the button text colour.
    EXPECT_EQ(line, dib->Color(panel.left + 4, panel.top + (RectHeight(panel) - 11) / 2 + 1));
    Tree->StatusButton = 1;
    dib = Paint();
    const int top = panel.top + (RectHeight(panel) - 11) / 2;
    EXPECT_EQ(Sys(COLOR_BTNFACE), dib->Color(panel.left + 3, top));
    EXPECT_EQ(Sys(COLOR_BTNFACE), dib->Color(panel.left + 14, top + 10));
    EXPECT_EQ(Sys(COLOR_BTNTEXT), dib->Color(panel.left + 5, top + 2));  // the cross's corner
    Tree->StatusButton = 0;
  }
}

// Regression: the second diagonal of the close button's cross ended one pixel further
// left than the mirror image of the first, outside the cross's box at its lower left.
TEST_F(TreeListPaintTest, TheStatusPanelsCloseButtonCrossIsSymmetric) {
  Grid();
  Tree->StatusPanel = true;
  Tree->StatusButton = 1;
  Refresh();
  const TRect panel = Layout().StatusPanel;
  const int top = panel.top + (RectHeight(panel) - 11) / 2;
  const TRect box{panel.left + 3, top, panel.left + 15, top + 11};
  auto dib = Paint();
  // Inside the box shrunk by 2 (8 x 7 pixels): two diagonals two pixels thick, the
  // second the first's mirror image; the rest of the box is the button face.
  for (int y = box.top; y < box.bottom; ++y) {
    for (int x = box.left; x < box.right; ++x) {
      const int i = x - box.left - 2;
      const int j = y - box.top - 2;
      const bool inside = i >= 0 && i < 8 && j >= 0 && j < 7;
      const bool first = inside && (i == j || i == j + 1);
      const bool second = inside && (7 - i == j || 7 - i == j + 1);
      EXPECT_EQ(first || second ? Sys(COLOR_BTNTEXT) : Sys(COLOR_BTNFACE), dib->Color(x, y))
          << "at " << x - box.left << "," << y - box.top << " of the box";
    }
  }
}

TEST_F(TreeListPaintTest, ColumnBrushesAreFoundByTheirColumn) {
  // Regression: the column brush table was indexed by column index although it holds
  // one entry per header cell of the layout, whose order differs from the columns'.
  Size(400, 200);
  Tree->Bands = {{"First", 200}, {"Second", 200}};
  Tree->Columns = {{"A", 1, 0, 100}, {"B", 0, 0, 200}, {"C", 1, 0, 50}, {"D", 1, 0, 50}};
  Tree->ColumnColors = {{0, TColor(RGB(200, 0, 0))}, {1, TColor(RGB(0, 200, 0))}, {2, TColor(kWhite)}};
  Tree->SetColor(clWindow);
  Tree->AddNode(nullptr, "x");
  Refresh();
  const TdxTreeListLayout layout = Layout();
  ASSERT_EQ(1, layout.Columns.front().Column);  // the first header cell is column 1
  auto dib = Paint();
  const TdxTreeListRowEntry& row = layout.RowEntries.front();
  const COLORREF expected[] = {RGB(200, 0, 0), RGB(0, 200, 0), kWhite, Sys(COLOR_WINDOW)};
  for (int column = 0; column < 4; ++column)
    EXPECT_EQ(expected[column], dib->Color(layout.FindColumn(column)->ClippedRect.right - 4, row.Top + row.Height - 3))
        << column;
  // White given as a number is the window colour: no brush of its own.
  if (Sys(COLOR_WINDOW) == kWhite) {
    EXPECT_EQ(Tree->CellBrushes[3], Tree->CellBrushes[2]);
  }
  EXPECT_NE(Tree->CellBrushes[0], Tree->CellBrushes[1]);
}

TEST_F(TreeListPaintTest, TenThousandPaintsOfAThousandRowsLeakNoGdiObject) {
  Size(400, 200);
  Tree->Bands = {{"Fixed", 150}, {"Middle", 200}, {"Right", 100}};
  Tree->Columns = {{"A", 0, 0, 150}, {"B", 1, 0, 100}, {"C", 1, 0, 100}, {"D", 2, 0, 100}};
  Tree->LeftFixed = 0;
  Tree->RightFixed = 2;
  Tree->ColumnColors = {{2, TColor(RGB(230, 230, 250))}};
  Tree->FooterColumns = {1};
  Tree->SetShowBands(true);
  Tree->SetShowFooter(true);
  Tree->SetShowIndicator(true);
  Tree->SetShowGrid(true);
  Tree->BeginUpdate();
  for (int i = 0; i < 100; ++i) {
    TdxTreeListNode* top = Tree->AddNode(nullptr, "group " + std::to_string(i));
    for (int j = 0; j < 9; ++j)
      Tree->AddNode(top, "item " + std::to_string(j));
  }
  Tree->EndUpdate();
  for (int i = 0; i < Tree->GetCount(); ++i)
    Tree->GetItem(i)->Expand(false);
  ASSERT_EQ(1000, Tree->GetRowCount());
  Tree->SetTopIndex(500);
  TDibSurface dib(400, 200);
  Tree->PaintWindow(dib.DC());  // the first paint makes what paints keep (fonts)
  const int gdi = LiveGdiHandleCount();
  const int mismatches = HandleMismatchCount();
  for (int i = 0; i < 10000; ++i)
    Tree->PaintWindow(dib.DC());
  EXPECT_EQ(gdi, LiveGdiHandleCount());
  EXPECT_EQ(mismatches, HandleMismatchCount());
}

TEST_F(TreeListPaintTest, APainterThatRaisesLeavesTheDcAndTheHandlesAsTheyWere) {
  Grid();
  Tree->SetShowIndicator(true);
  Tree->SetShowBands(true);
  Tree->LeftFixed = 0;
  Refresh();
  TDibSurface warm(400, 260);
  Tree->PaintWindow(warm.DC());  // the first paint makes what paints keep (fonts)
  TDibSurface dib(400, 260);
  HDC dc = dib.DC();
  struct TState {
    HGDIOBJ Pen, Brush, Font;
    COLORREF Text, Back;
    int Mode, Rop, HasClip;
    bool operator==(const TState&) const = default;
  };
  auto state = [dc] {
    TRegionHandle region(CreateRectRgn(0, 0, 0, 0));
    return TState{GetCurrentObject(dc, OBJ_PEN), GetCurrentObject(dc, OBJ_BRUSH), GetCurrentObject(dc, OBJ_FONT),
                  GetTextColor(dc), GetBkColor(dc), GetBkMode(dc), GetROP2(dc), GetClipRgn(dc, region.Get())};
  };
  const TState before = state();
  const int gdi = LiveGdiHandleCount();
  Tree->RaisingColumn = 1;  // raises from the second pass of the rows, inside DrawCell
  EXPECT_THROW(Tree->PaintWindow(dc), Exception);
  EXPECT_TRUE(before == state());
  EXPECT_EQ(gdi, LiveGdiHandleCount());
  EXPECT_EQ(0, Tree->GetPainter().GetFeedbackCount());
  // And the next pass paints as before.
  Tree->RaisingColumn = -1;
  TDibSurface again(400, 260);
  Tree->PaintWindow(again.DC());
  EXPECT_EQ(gdi, LiveGdiHandleCount());
}

TEST_F(TreeListPaintTest, NestedFeedbackCallsLeaveNoGhostSizingLine) {
  // Regression: hiding counted only the calls that acted, so a paint nested in a hidden
  // feedback drove the count below 0 and drew the XOR sizing line once too often.
  Grid();
  TTestWindow window(nullptr, 420, 300);
  ShowWhiteIn(window);
  const int x = 250;
  const int y = Tree->GetClientRect().bottom - 10;
  auto pixel = [&] { return ScreenPixel(x, y); };
  ASSERT_EQ(kWhite, pixel());
  Tree->SetState(stColumnSizing);
  Tree->GetMouse().GetSizing().SetSizingPos(x);
  Tree->GetMouse().GetSizing().DrawSizingLine();
  ASSERT_EQ(kBlack, pixel());
  Tree->GetPainter().HideFeedback();
  EXPECT_EQ(kWhite, pixel());
  Tree->GetPainter().HideFeedback();
  Tree->Invalidate();
  Tree->GetNavigator().UpdateNow();  // a paint inside: its own hide and show act on nothing
  EXPECT_EQ(kWhite, pixel());
  Tree->GetPainter().ShowFeedback();
  EXPECT_EQ(kWhite, pixel());
  EXPECT_EQ(1, Tree->GetPainter().GetFeedbackCount());
  Tree->GetPainter().ShowFeedback();
  EXPECT_EQ(kBlack, pixel());  // the line is back, once
  Tree->GetMouse().GetSizing().DrawSizingLine();
  EXPECT_EQ(kWhite, pixel());  // and erasing it leaves nothing behind
  EXPECT_EQ(0, Tree->GetPainter().GetFeedbackCount());
  Tree->SetState(stNone);
  Tree->SetParentWindow(nullptr);
}

TEST_F(TreeListPaintTest, ScrollingTheColumnsHidesTheFeedback) {
  Grid(300, 200);
  Tree->Bands = {{"First", 300}, {"Second", 300}};
  Refresh();
  TTestWindow window(nullptr, 320, 240);
  Tree->SetParentWindow(window.Handle());
  Tree->HandleNeeded();
  Tree->SetState(stColumnSizing);
  Tree->GetMouse().GetSizing().SetSizingPos(100);
  Tree->GetMouse().GetSizing().DrawSizingLine();
  Tree->SetLeftCoord(40);  // moved by ScrollColumns, between HideFeedback and ShowFeedback
  EXPECT_EQ(40, Tree->GetLeftCoord());
  EXPECT_EQ(0, Tree->GetPainter().GetFeedbackCount());
  Tree->GetMouse().GetSizing().DrawSizingLine();
  Tree->SetState(stNone);
  Tree->SetParentWindow(nullptr);
}

TEST_F(TreeListPaintTest, ScrollingTheRowsLeavesTheSizingLineInPlace) {
  Grid(400, 120);
  TTestWindow window(nullptr, 420, 160);
  ShowWhiteIn(window);
  const TRect rows = Tree->GetLayoutBuilder().GetRowsRect();
  const int h = Tree->GetRowHeight();
  const int x = 250;
  const int y = rows.top + h + h / 2;
  auto pixel = [&](int at) { return ScreenPixel(x, at); };
  Tree->SetState(stRowSizing);
  Tree->GetMouse().GetSizing().SetSizingPos(y);
  Tree->GetMouse().GetSizing().DrawSizingLine();
  ASSERT_EQ(kBlack, pixel(y));
  Tree->SetTopIndex(1);  // the rows move up by one row's pixels
  ASSERT_EQ(a1, Tree->GetTopNode());
  EXPECT_EQ(0, Tree->GetPainter().GetFeedbackCount());
  UpdateWindow(Tree->GetHandle());
  EXPECT_EQ(kBlack, pixel(y));
  EXPECT_EQ(kWhite, pixel(y - h));  // not carried along with the rows
  Tree->GetMouse().GetSizing().DrawSizingLine();
  EXPECT_EQ(kWhite, pixel(y));
  Tree->SetState(stNone);
  Tree->SetParentWindow(nullptr);
}

TEST_F(TreeListPaintTest, ARowListWithoutBandsPaintsOnlyTheBackground) {
  Size(200, 120);
  Tree->AddNode(nullptr, "x");
  Refresh();
  const TdxTreeListLayout layout = Layout();
  ASSERT_FALSE(layout.RowEntries.empty());
  ASSERT_TRUE(layout.Bands.empty());
  auto dib = Paint();
  for (int y = layout.Rows.top; y < layout.Rows.bottom; y += 7)
    for (int x = layout.Rows.left; x < layout.Rows.right; x += 7)
      ASSERT_EQ(Sys(COLOR_WINDOW), dib->Color(x, y)) << x << "," << y;
}

TEST_F(TreeListPaintTest, TheIncrementalSearchFramesItsCellAlsoWithoutText) {
  Grid();
  TTestWindow window;
  Tree->SetParentWindow(window.Handle());
  Tree->HandleNeeded();
  Option(aoRowSelect, false);
  Tree->SetFocusedNode(a1, 0, false);
  SetFocus(Tree->GetHandle());
  const TdxTreeListLayout layout = Layout();
  const TRect cell = Tree->GetLayoutBuilder().GetCellRect(a1, 0);
  auto plain = Paint();
  Tree->GetKeyboard().SetSearchState(true, 0, "");
  auto searched = Paint();
  // The focus mark and the search frame are both dotted XOR frames one pixel apart: the
  // search frame adds a second ring inside the cell, and no match colours.
  int differing = 0;
  for (int y = cell.top; y < cell.bottom; ++y)
    for (int x = cell.left; x < cell.right; ++x)
      differing += plain->Color(x, y) != searched->Color(x, y);
  EXPECT_GT(differing, RectWidth(cell));
  Tree->GetKeyboard().SetSearchState(true, 0, "a1");
  auto matched = Paint();
  // The matched characters sit on the complement of the highlight colour.
  const COLORREF complement = ~Sys(COLOR_HIGHLIGHT) & 0xFFFFFF;
  int complemented = 0;
  for (int y = cell.top + 1; y < cell.bottom - 1; ++y)
    for (int x = cell.left + 1; x < cell.left + 20; ++x)
      complemented += matched->Color(x, y) == complement;
  EXPECT_GT(complemented, 10);
  Tree->GetKeyboard().SetSearchState(false, -1, "");
  Tree->SetParentWindow(nullptr);
}

TEST(TreeListResources, TheIndicatorImagesAreInTheTestsAndInTheDll) {
  HMODULE plugin = LoadLibraryExA("LoadKIVO.dll", nullptr, LOAD_LIBRARY_AS_DATAFILE);
  ASSERT_NE(plugin, nullptr) << "error " << GetLastError();
  for (const char* name : {"DXGRID_ARROW", "DXGRID_EDIT", "DXGRID_INSERT", "DXGRID_MULTIDOT", "DXGRID_MULTIARROW"}) {
    auto bytes = [name](HMODULE module) {
      HRSRC resource = FindResourceA(module, name, MAKEINTRESOURCEA(2));  // RT_BITMAP
      if (!resource)
        return std::string();
      const char* data = static_cast<const char*>(LockResource(LoadResource(module, resource)));
      return std::string(data, SizeofResource(module, resource));
    };
    const std::string own = bytes(ClassLibInstance());
    ASSERT_FALSE(own.empty()) << name;
    EXPECT_EQ(own, bytes(plugin)) << name;
  }
  FreeLibrary(plugin);
  TImageList* images = DxTreeListIndicatorImages();
  ASSERT_NE(images, nullptr);
  EXPECT_EQ(5, images->GetCount());
  EXPECT_EQ(8, images->GetWidth());
  EXPECT_EQ(9, images->GetHeight());
}

}  // namespace
