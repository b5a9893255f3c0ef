// Speed of the tree list's painting against the size of its tree: the visible rows of a
// grid 400 x 300 (bands, indicator, grid lines, tree lines), painted into a memory
// surface with the top row at the start, in the middle and near the end of trees of 100
// to 100,000 expanded nodes. A paint walks only the rows it shows, so the time per paint
// should not grow with the tree: each line gives the time per paint and its ratio to the
// smallest tree's. Best of several rounds.
#include <algorithm>
#include <cstdio>
#include <functional>
#include <string>

#include "bench/StepClock.h"
#include "bench/TreeListBenchUnits.h"
#include "classlib/Win.h"
#include "treelist/DxTreeList.h"
#include "treelist/DxTreeListDraw.h"

namespace {

constexpr int kRounds = 5;
constexpr int kPaints = 200;
constexpr int kWidth = 400;
constexpr int kHeight = 300;

// Two bands of three columns whose cells show the node's number.
class TBenchTreeList : public TCustomdxTreeList {
  KIVO_CLASS(TBenchTreeList, TCustomdxTreeList)
 public:
  explicit TBenchTreeList(TComponent* AOwner) : TCustomdxTreeList(AOwner) {}
  ~TBenchTreeList() override { ClearNodes(); }
  using TCustomControl::PaintWindow;

  TdxTreeListNode* CreateNode() override { return new TdxTreeListNode(this); }
  int GetNodeImageIndex(TdxTreeListNode*) override { return -1; }
  int GetNodeSelectedIndex(TdxTreeListNode*) override { return -1; }
  int GetNodeStateIndex(TdxTreeListNode*) override { return -1; }
  void GetCellText(TdxTreeListNode* node, int32_t column, std::string& text) override {
    text = std::to_string(reinterpret_cast<uintptr_t>(node) % 100000 + column);
  }
  int32_t GetBandCount() override { return 2; }
  int32_t GetVisibleBandCount() override { return 2; }
  int32_t GetBandWidth(int32_t) override { return 200; }
  int32_t GetVisibleBandWidth(int32_t) override { return 200; }
  void GetVisibleBandCaption(int32_t band, std::string& text) override { text = band ? "Second" : "First"; }
  using TCustomdxTreeList::GetBandRowCount;
  int32_t GetBandRowCount(int32_t) override { return 1; }
  int32_t GetColumnCount() override { return 3; }
  int32_t GetColumnCountInRow(int32_t band, int32_t row) override { return row == 0 ? (band == 0 ? 1 : 2) : 0; }
  int32_t GetColumnAt(int32_t band, int32_t row, int32_t position) override {
    return row == 0 ? (band == 0 ? 0 : 1 + position) : -1;
  }
  int32_t GetColumnBandIndex(int32_t column) override { return column == 0 ? 0 : 1; }
  int32_t GetColumnColIndex(int32_t column) override { return column == 2 ? 1 : 0; }
  int32_t GetColumnWidth(int32_t column) override { return column == 0 ? 200 : 100; }
  void GetColumnHeaderText(int32_t column, std::string& text) override { text = "Column " + std::to_string(column); }
};

// n nodes in groups of 10: a top-level node and 9 children, all expanded.
void Build(TBenchTreeList& tree, int n) {
  {
    const TdxTreeListUpdateScope update(&tree);
    for (int group = 0; group < n / 10; ++group) {
      TdxTreeListNode* top = tree.Add();
      for (int i = 0; i < 9; ++i)
        top->AddChild();
    }
  }
  const TdxTreeListUpdateScope update(&tree);
  for (int i = 0; i < tree.GetCount(); ++i)
    tree.GetItem(i)->SetExpanded(true);
}

// A 32-bit memory surface of the grid's size.
struct TSurface {
  HDC DC = CreateCompatibleDC(nullptr);
  HBITMAP Bitmap = nullptr;
  HGDIOBJ Old = nullptr;
  TSurface() {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = kWidth;
    info.bmiHeader.biHeight = -kHeight;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    Bitmap = CreateDIBSection(DC, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    Old = SelectObject(DC, Bitmap);
  }
  ~TSurface() {
    SelectObject(DC, Old);
    DeleteObject(Bitmap);
    DeleteDC(DC);
  }
};

int Run() {
  const int sizes[] = {100, 1000, 10000, 100000};
  printf("tree list paints of %d x %d, %d paints per round, best of %d rounds\n", kWidth, kHeight, kPaints, kRounds);
  printf("%8s %8s %12s %12s %12s %8s\n", "nodes", "rows", "top ms", "middle ms", "end ms", "ratio");
  TSurface surface;
  double first = 0;
  for (int n : sizes) {
    auto* tree = new TBenchTreeList(nullptr);
    tree->SetBounds(0, 0, kWidth, kHeight);
    tree->SetShowBands(true);
    tree->SetShowIndicator(true);
    tree->SetShowGrid(true);
    Build(*tree, n);
    const int rows = tree->GetRowCount();
    double best[3] = {1e30, 1e30, 1e30};
    const int tops[3] = {0, rows / 2, rows - 20};
    for (int round = 0; round < kRounds; ++round) {
      for (int at = 0; at < 3; ++at) {
        tree->SetTopIndex(tops[at]);
        best[at] = std::min(best[at], Seconds([&] {
                              for (int i = 0; i < kPaints; ++i)
                                tree->PaintWindow(surface.DC);
                            }) / kPaints);
      }
    }
    const double worst = std::max({best[0], best[1], best[2]});
    if (!first)
      first = worst;
    printf("%8d %8d %12.3f %12.3f %12.3f %8.2f\n", n, rows, best[0] * 1e3, best[1] * 1e3, best[2] * 1e3,
           worst / first);
    delete tree;
  }
  return 0;
}

}  // namespace

int main() { return RunWithTreeListUnits(Run); }
