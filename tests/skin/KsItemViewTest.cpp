// Item views and the plain item drawing: measuring with the menu font, rectangles of
// columns, rows and MDI buttons, hit tests, keyboard selection, the menu chain, and the
// pixels of plain popup and bar items, compared with the same GDI measurement and with
// fills and frames computed by rule.
#include <algorithm>
#include <memory>
#include <set>
#include <vector>

#include <gtest/gtest.h>

#include "classlib/Forms.h"
#include "classlib/Menus.h"
#include "classlib/Icon.h"
#include "skin/KsForms.h"
#include "skin/KsItemView.h"
#include "skin/KsItems.h"
#include "tests/skin/SkinTestSupport.h"

namespace {

// A view that records its hooks.
class TRecordingView : public TKsItemView {
  KIVO_CLASS(TRecordingView, TKsItemView)
 public:
  using TKsItemView::TKsItemView;
  void SetViewSize(TPoint size) override { ViewSize = size; }
  void InvalidateView() override { ++Invalidations; }
  TPoint ViewSize{-1, -1};
  int Invalidations = 0;
};

// An item that records how it is painted.
struct TPaintCall {
  TRect Rect;
  bool Selected;
  bool NotTracking;
};
class TRecordingItem : public TKsCustomItem {
  KIVO_CLASS(TRecordingItem, TKsCustomItem)
 public:
  using TKsCustomItem::TKsCustomItem;
  void Paint(TKsBitmap&, TKsItemView*, const TRect& rect, bool selected, bool notTracking) override {
    Calls.push_back({rect, selected, notTracking});
  }
  std::vector<TPaintCall> Calls;
};

TKsCustomItem* Add(TKsCustomItem& parent, const std::string& caption, bool visible = true) {
  auto* item = new TKsCustomItem(nullptr);
  item->SetCaption(caption);
  item->SetVisible(visible);
  parent.Add(item);
  return item;
}

// The system's menu item height, at least 20.
int MenuHeight() {
  NONCLIENTMETRICSA metrics{};
  metrics.cbSize = 340;
  SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, metrics.cbSize, &metrics, 0);
  return std::max<int>(metrics.iMenuHeight, 20);
}

// Text width with the menu font, measured the way the items measure.
int MenuTextWidth(const std::string& text) {
  TKsBitmap measure;
  measure.SetSize(8, 8);
  measure.SetFont(KsMenuFont());
  return measure.TextWidth(text, 0);
}

bool SameRect(const TRect& a, const TRect& b) { return a == b; }

TKsColor Opaque(TColor color) { return ColorToKsColor(color, 255); }
TKsColor Rgb(TKsColor c) { return c & 0xFFFFFF; }

class KsItemViewTest : public ::testing::Test {
 protected:
  void SetUp() override { Prepare(Bitmap, 300, 200, kBack); }
  TKsBitmap Bitmap;
  TKsCustomItem Root{nullptr};
};

}  // namespace

TEST_F(KsItemViewTest, ItemsMeasureWithTheMenuFont) {
  TKsCustomItem* open = Add(Root, "&Open");
  open->SetShortCut(scCtrl | 'O');
  TKsCustomItem* separator = Add(Root, "-");
  TKsItemView column(nullptr, false, false);
  TKsItemView row(nullptr, true, true);
  NONCLIENTMETRICSA metrics{};
  metrics.cbSize = 340;
  ASSERT_TRUE(SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, metrics.cbSize, &metrics, 0));
  EXPECT_EQ(KsMenuFont()->GetName(), std::string(metrics.lfMenuFont.lfFaceName));
  const int h = MenuHeight();
  int w = 0, height = 0;
  open->CalcSize(&Bitmap, &column, w, height);
  EXPECT_EQ(w, MenuTextWidth("&Open") + 58 + MenuTextWidth(ShortCutToText(scCtrl | 'O')));
  EXPECT_EQ(height, h);
  EXPECT_EQ(MenuTextWidth("&Open"), MenuTextWidth("Open"));  // "&" only marks the accelerator
  separator->CalcSize(&Bitmap, &column, w, height);
  EXPECT_EQ(height, 15);
  open->CalcSize(&Bitmap, &row, w, height);
  EXPECT_EQ(w, MenuTextWidth("&Open") + 12);
  EXPECT_EQ(height, h);
  open->SetMDIButtonKind(mbkRestore);
  open->CalcSize(&Bitmap, &row, w, height);
  EXPECT_EQ(w, h);
  // Without a bitmap only the system's item size, each side at least 20.
  open->CalcSize(nullptr, &column, w, height);
  EXPECT_GE(w, 20);
  EXPECT_EQ(height, h);
}

TEST_F(KsItemViewTest, ColumnRectanglesAndSize) {
  TKsCustomItem* open = Add(Root, "&Open");
  TKsCustomItem* separator = Add(Root, "-");
  TKsCustomItem* hidden = Add(Root, "A hidden item with a very long caption", false);
  TKsCustomItem* last = Add(Root, "Close the document");
  TRecordingView view(nullptr, false, false);
  view.SetItem(&Root);
  view.SetBitmap(&Bitmap);
  view.SetOriginX(3);
  view.SetOriginY(5);
  const int h = MenuHeight();
  const int widest = std::max(MenuTextWidth("&Open"), MenuTextWidth("Close the document")) + 58;
  EXPECT_TRUE(SameRect(view.GetItemRect(open), TRect{3, 5, 3 + widest, 5 + h}));
  EXPECT_TRUE(SameRect(view.GetItemRect(separator), TRect{3, 5 + h, 3 + widest, 5 + h + 15}));
  EXPECT_TRUE(SameRect(view.GetItemRect(last), TRect{3, 5 + h + 15, 3 + widest, 5 + 2 * h + 15}));
  EXPECT_TRUE(SameRect(view.GetItemRect(hidden), TRect{0, 0, 0, 0}));
  EXPECT_TRUE(SameRect(view.GetItemRect(nullptr), TRect{0, 0, 0, 0}));
  TKsCustomItem stranger(nullptr);
  EXPECT_TRUE(SameRect(view.GetItemRect(&stranger), TRect{0, 0, 0, 0}));
  view.CalcSize();
  EXPECT_EQ(view.ViewSize.x, widest);
  EXPECT_EQ(view.ViewSize.y, 2 * h + 15);
}

TEST_F(KsItemViewTest, RowRectanglesAndMDIButtons) {
  TForm host(nullptr);
  host.SetBounds(0, 0, 400, 30);
  auto mdi = [&](int kind) {
    TKsCustomItem* item = Add(Root, "");
    item->SetMDIButtonKind(TKsMDIButtonKind(kind));
    return item;
  };
  TKsCustomItem* icon = mdi(4);
  TKsCustomItem* file = Add(Root, "&File");
  TKsCustomItem* edit = Add(Root, "&Edit");
  TKsCustomItem* minimize = mdi(3);
  TKsCustomItem* restore = mdi(2);
  TKsCustomItem* close = mdi(1);
  TRecordingView view(nullptr, true, true);
  view.SetItem(&Root);
  view.SetBitmap(&Bitmap);
  view.SetHost(&host);
  view.SetOriginX(2);
  const int h = MenuHeight();
  const int hw = host.GetWidth(), hh = host.GetHeight();
  EXPECT_TRUE(SameRect(view.GetItemRect(close), TRect{hw - h, 0, hw, hh}));
  EXPECT_TRUE(SameRect(view.GetItemRect(restore), TRect{hw - 2 * h, 0, hw - h, hh}));
  EXPECT_TRUE(SameRect(view.GetItemRect(minimize), TRect{hw - 3 * h, 0, hw - 2 * h, hh}));
  EXPECT_TRUE(SameRect(view.GetItemRect(icon), TRect{0, 0, h, h}));
  // Ordinary items follow every visible item before them, the icon included.
  const int fileWidth = MenuTextWidth("&File") + 12;
  EXPECT_TRUE(SameRect(view.GetItemRect(file), TRect{2 + h, 0, 2 + h + fileWidth, h}));
  EXPECT_TRUE(SameRect(view.GetItemRect(edit), TRect{2 + h + fileWidth, 0,
                                                     2 + h + fileWidth + MenuTextWidth("&Edit") + 12, h}));
  icon->SetVisible(false);
  EXPECT_TRUE(SameRect(view.GetItemRect(file), TRect{2, 0, 2 + fileWidth, h}));
  EXPECT_TRUE(SameRect(view.GetItemRect(icon), TRect{0, 0, 0, 0}));
  view.CalcSize();
  EXPECT_EQ(view.ViewSize.x, fileWidth + MenuTextWidth("&Edit") + 12 + 3 * h);
  EXPECT_EQ(view.ViewSize.y, h);
}

TEST_F(KsItemViewTest, SelectNextAndPrevWrapAndSkip) {
  TKsCustomItem* a = Add(Root, "a");
  Add(Root, "-");
  Add(Root, "hidden", false);
  TKsCustomItem* b = Add(Root, "b");
  Add(Root, "c", false);
  TRecordingView view(nullptr, false, false);
  view.SetItem(&Root);
  view.SelectNext();
  EXPECT_EQ(view.GetSelected(), a);
  view.SelectNext();
  EXPECT_EQ(view.GetSelected(), b);
  view.SelectNext();
  EXPECT_EQ(view.GetSelected(), a);
  EXPECT_EQ(view.Invalidations, 3);
  view.SelectPrev();
  EXPECT_EQ(view.GetSelected(), b);
  view.SetSelected(nullptr);
  view.SelectPrev();
  EXPECT_EQ(view.GetSelected(), b);

  // Nothing selectable: one full cycle, then the selection stays as it was.
  TKsCustomItem lines(nullptr);
  TKsCustomItem* line = Add(lines, "-");
  Add(lines, "x", false);
  TRecordingView empty(nullptr, false, false);
  empty.SetItem(&lines);
  empty.SelectNext();
  EXPECT_EQ(empty.GetSelected(), nullptr);
  empty.SetSelected(line);
  empty.SelectPrev();
  EXPECT_EQ(empty.GetSelected(), line);
  EXPECT_EQ(empty.Invalidations, 0);
  TKsCustomItem none(nullptr);
  empty.SetItem(&none);
  empty.SelectNext();
  EXPECT_EQ(empty.GetSelected(), line);
}

TEST_F(KsItemViewTest, HitTestsInScreenCoordinates) {
  TForm form(nullptr);
  form.SetBounds(40, 50, 300, 200);
  TKsCustomItem* first = Add(Root, "First");
  TKsCustomItem* second = Add(Root, "Second");
  TRecordingView view(nullptr, false, false);
  view.SetItem(&Root);
  view.SetBitmap(&Bitmap);
  view.SetControl(&form);
  view.SetOriginX(3);
  view.SetOriginY(3);
  POINT origin{0, 0};
  ClientToScreen(form.GetHandle(), &origin);
  const TRect r = view.GetItemRect(second);
  EXPECT_EQ(view.ItemAtPos({origin.x + r.left + 1, origin.y + r.top + 1}), second);
  EXPECT_EQ(view.GetSelected(), second);
  const TPoint popupPoint = view.GetPopupPoint();  // beside the item in a column
  EXPECT_EQ(popupPoint.x, origin.x + r.right);
  EXPECT_EQ(popupPoint.y, origin.y + r.top);
  EXPECT_EQ(view.ItemAtPos({origin.x + r.right + 5, origin.y + r.top + 1}), nullptr);
  EXPECT_EQ(view.GetSelected(), nullptr);  // not tracking: cleared
  view.SetTracking(true);
  view.SetSelected(first);
  EXPECT_EQ(view.ItemAtPos({origin.x + 1, origin.y + 1}), nullptr);
  EXPECT_EQ(view.GetSelected(), first);  // tracking: kept
  EXPECT_EQ(view.Invalidations, 3);
  TRecordingView detached(nullptr, false, false);
  detached.SetItem(&Root);
  EXPECT_EQ(detached.ItemAtPos({origin.x + r.left + 1, origin.y + r.top + 1}), nullptr);
  EXPECT_EQ(detached.Invalidations, 0);
}

TEST_F(KsItemViewTest, MenuChainClosesUpwardsAndPaintingFollowsState) {
  TRecordingView top(nullptr, true, true), middle(nullptr, false, false), bottom(nullptr, false, false);
  middle.SetParentView(&top);
  bottom.SetParentView(&middle);
  TKsCustomItem marker(nullptr);
  for (TRecordingView* view : {&top, &middle, &bottom}) {
    view->SetTracking(true);
    view->SetSubMenuOpen(true);
    view->SetSelected(&marker);
  }
  middle.CloseMenuChain();
  for (TRecordingView* view : {&top, &middle}) {
    EXPECT_FALSE(view->GetTracking());
    EXPECT_FALSE(view->GetSubMenuOpen());
    EXPECT_EQ(view->GetSelected(), nullptr);
    EXPECT_EQ(view->Invalidations, 1);
  }
  EXPECT_TRUE(bottom.GetTracking());
  EXPECT_EQ(bottom.GetSelected(), &marker);

  auto* one = new TRecordingItem(nullptr);
  auto* hidden = new TRecordingItem(nullptr);
  auto* two = new TRecordingItem(nullptr);
  hidden->SetVisible(false);
  for (TKsCustomItem* item : {static_cast<TKsCustomItem*>(one), static_cast<TKsCustomItem*>(hidden),
                              static_cast<TKsCustomItem*>(two)})
    Root.Add(item);
  TRecordingView view(nullptr, false, false);
  view.SetItem(&Root);
  view.SetBitmap(&Bitmap);
  view.SetSelected(two);
  view.SetTracking(true);
  view.PaintItems(Bitmap);
  ASSERT_EQ(one->Calls.size(), 1u);
  ASSERT_EQ(two->Calls.size(), 1u);
  EXPECT_TRUE(hidden->Calls.empty());
  EXPECT_FALSE(one->Calls[0].Selected);
  EXPECT_TRUE(two->Calls[0].Selected);
  EXPECT_FALSE(two->Calls[0].NotTracking);
  EXPECT_TRUE(SameRect(two->Calls[0].Rect, view.GetItemRect(two)));
}

namespace {
// Every pixel of `r` in the bitmap, as RGB.
std::set<TKsColor> ColoursIn(const TKsBitmap& bitmap, const TRect& r) {
  GdiFlush();
  std::set<TKsColor> colours;
  for (int y = r.top; y < r.bottom; ++y)
    for (int x = r.left; x < r.right; ++x)
      colours.insert(Rgb(bitmap.GetPixel(x, y)));
  return colours;
}
}  // namespace

TEST_F(KsItemViewTest, PlainPopupItemPixels) {
  TKsItemView column(nullptr, false, false);
  const TRect rect{0, 0, 150, 20};
  const TKsColor menu = Opaque(clMenu), face = Opaque(clBtnFace);
  const TKsColor shadow = Opaque(clBtnShadow), light = Opaque(clBtnHighlight);

  // A separator: the menu colour with an etched line 7 rows down, 2 pixels in.
  TKsCustomItem* separator = Add(Root, "-");
  separator->Paint(Bitmap, &column, {0, 0, 150, 15}, false, true);
  TKsBitmap expected;
  Prepare(expected, 300, 200, kBack);
  expected.FillRect({0, 0, 150, 15}, menu);
  expected.Draw3DFrame({2, 7, 148, 9}, shadow, light);
  ExpectPixels(Bitmap, [&](int x, int y) { return expected.GetPixel(x, y); });

  // Fill colours by selection; the caption starts 26 pixels in.
  TKsCustomItem* item = Add(Root, "Item");
  Prepare(Bitmap, 300, 200, kBack);
  item->Paint(Bitmap, &column, rect, false, true);
  EXPECT_EQ(ColoursIn(Bitmap, {0, 0, 26, 20}), std::set<TKsColor>{Rgb(menu)});
  EXPECT_GT(ColoursIn(Bitmap, {26, 0, 150, 20}).count(Rgb(Opaque(clMenuText))), 0u);
  item->Paint(Bitmap, &column, rect, true, true);
  EXPECT_EQ(ColoursIn(Bitmap, {0, 0, 26, 20}), std::set<TKsColor>{Rgb(Opaque(clHighlight))});

  // Checked and not selected: the glyph column in button face, the square dithered and
  // sunken, the check mark on it.
  item->SetChecked(true);
  Prepare(Bitmap, 300, 200, kBack);
  item->Paint(Bitmap, &column, rect, false, true);
  Prepare(expected, 300, 200, kBack);
  expected.FillRect(rect, menu);
  expected.FillRect({0, 0, 22, 20}, face);
  expected.FillDitherRect({0, 0, 20, 20}, face, Opaque(clWhite));
  expected.Draw3DFrame({0, 0, 20, 20}, shadow, light);
  DrawMenuCheckMark(expected, {0, 0, 20, 20});
  GdiFlush();
  ExpectPixels(Bitmap, [&](int x, int y) {
    return x < 26 ? expected.GetPixel(x, y) : Bitmap.GetPixel(x, y);
  });
  EXPECT_EQ(Rgb(Bitmap.GetPixel(8, 11)), 0u);  // the check mark's corner point, black

  // Disabled and not selected: embossed caption and short cut, in the two button colours.
  item->SetChecked(false);
  item->SetEnabled(false);
  item->SetShortCut(scCtrl | 'I');
  Prepare(Bitmap, 300, 200, kBack);
  item->Paint(Bitmap, &column, rect, false, true);
  std::set<TKsColor> colours = ColoursIn(Bitmap, {26, 0, 150, 20});
  EXPECT_GT(colours.count(Rgb(shadow)), 0u);
  for (TKsColor c : colours)
    EXPECT_TRUE(c == Rgb(menu) || c == Rgb(shadow) || c == Rgb(light)) << std::hex << c;
  // The short cut ends 16 pixels before the right edge (embossed: one more).
  EXPECT_EQ(ColoursIn(Bitmap, {135, 0, 150, 20}), std::set<TKsColor>{Rgb(menu)});

  // Sub-items: the arrow cell holds only the fill and the font colour.
  TKsCustomItem* branch = Add(Root, "Branch");
  Add(*branch, "Leaf");
  Prepare(Bitmap, 300, 200, kBack);
  branch->Paint(Bitmap, &column, rect, true, true);
  colours = ColoursIn(Bitmap, {132, 0, 148, 20});
  EXPECT_EQ(colours, (std::set<TKsColor>{Rgb(Opaque(clHighlight)), Rgb(Opaque(clHighlightText))}));
}

TEST_F(KsItemViewTest, PlainBarItemFrames) {
  TKsItemView row(nullptr, true, true);
  TKsCustomItem* item = Add(Root, "File");
  const TRect rect{10, 2, 60, 22};
  const TKsColor shadow = Opaque(clBtnShadow), light = Opaque(clBtnHighlight);
  auto paint = [&](bool selected, bool notTracking) {
    Prepare(Bitmap, 300, 200, kBack);
    item->Paint(Bitmap, &row, rect, selected, notTracking);
    GdiFlush();
  };
  paint(true, true);  // hot: raised
  EXPECT_EQ(Bitmap.GetPixel(10, 2), light);
  EXPECT_EQ(Bitmap.GetPixel(59, 21), shadow);
  paint(true, false);  // open: sunken
  EXPECT_EQ(Bitmap.GetPixel(10, 2), shadow);
  EXPECT_EQ(Bitmap.GetPixel(59, 21), light);
  paint(false, true);
  EXPECT_EQ(Bitmap.GetPixel(10, 2), Opaque(clMenu));
  EXPECT_EQ(Bitmap.GetPixel(9, 2), kBack);
  // An MDI caption button keeps a 2-pixel margin of the menu colour.
  item->SetMDIButtonKind(mbkClose);
  paint(false, true);
  EXPECT_EQ(ColoursIn(Bitmap, {10, 2, 60, 4}), std::set<TKsColor>{Rgb(Opaque(clMenu))});
  EXPECT_GT(ColoursIn(Bitmap, {12, 4, 59, 19}).size(), 1u);
}

// Fault: the plain bar's icon cell drew the application's icon even when the maximized
// MDI child's form had an icon of its own.
TEST_F(KsItemViewTest, TheChildIconCellShowsTheMDIChildFormsOwnIcon) {
  const COLORREF green = RGB(0, 200, 0);
  HDC screen = GetDC(nullptr);
  HBITMAP colour = CreateCompatibleBitmap(screen, 32, 32);
  ReleaseDC(nullptr, screen);
  {
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, colour);
    HBRUSH brush = CreateSolidBrush(green);
    RECT all{0, 0, 32, 32};
    FillRect(dc, &all, brush);
    DeleteObject(brush);
    SelectObject(dc, old);
    DeleteDC(dc);
  }
  const std::vector<uint8_t> opaque(32 * 32 / 8, 0);
  HBITMAP mask = CreateBitmap(32, 32, 1, 1, opaque.data());
  ICONINFO info{TRUE, 0, 0, mask, colour};
  TIcon icon;
  icon.SetHandle(CreateIconIndirect(&info));
  DeleteObject(mask);
  DeleteObject(colour);

  std::unique_ptr<TForm> form(new TForm(nullptr));
  form->SetIcon(&icon);
  auto* skinner = new TKsCustomForm(form.get());
  skinner->SetActive(true);  // only an active skinner reaches its form
  TKsItemView row(nullptr, true, true);
  TKsCustomItem* item = Add(Root, "");
  item->SetMDIButtonKind(mbkChildIcon);
  item->SetMDIChildAll(skinner);
  const TRect rect{10, 2, 40, 26};
  item->Paint(Bitmap, &row, rect, false, true);
  GdiFlush();
  // The icon is drawn one pixel inside the cell's 2-pixel margin.
  const int cx = GetSystemMetrics(SM_CXSMICON), cy = GetSystemMetrics(SM_CYSMICON);
  // (Icons drawn into the bitmap leave its alpha byte alone: colours are compared.)
  EXPECT_EQ(Rgb(Bitmap.GetPixel(rect.left + 3, rect.top + 3)), Rgb(Opaque(green)));
  EXPECT_EQ(Rgb(Bitmap.GetPixel(rect.left + 2 + cx, rect.top + 2 + cy)), Rgb(Opaque(green)));
  item->SetMDIChildAll(nullptr);
}
