// Speed of sorting the tree list's nodes by a text column: n top-level nodes whose texts
// mix letters and numbers ("part 123 rev 7"), sorted ascending by a header click's road
// (the column's Sorted state, the natural text comparison) for n from 12,500 to
// 200,000. Each line gives the time, the time per node and the growth against the size
// before as the time ratio over the ratio of n log n (1.00 is n log n). Best of several
// rounds; every round checks that the rows come out in order.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <random>
#include <string>

#include "bench/StepClock.h"
#include "bench/TreeListBenchUnits.h"
#include "treelist/DxTreeListControl.h"
#include "xpcontrols/XPUtils.h"

namespace {

constexpr int kRounds = 3;

// Texts in a fixed random order, the same for every round.
void Fill(TCustomdxTreeListControl& tree, int n) {
  std::mt19937 random(1);
  const TdxTreeListUpdateScope update(&tree);
  for (int i = 0; i < n; ++i) {
    auto* node = static_cast<TdxTreeListTextNode*>(tree.Add());
    node->GetStrings()->Add("part " + std::to_string(random() % 100000) + " rev " + std::to_string(random() % 20));
  }
}

bool RowsInOrder(TCustomdxTreeListControl& tree) {
  for (int row = 1; row < tree.GetRowCount(); ++row) {
    if (NaturalCompare(tree.GetNodeAtRow(row - 1)->GetString(0), tree.GetNodeAtRow(row)->GetString(0)) > 0)
      return false;
  }
  return tree.GetRowCount() == tree.GetCount();
}

int Run() {
  const int sizes[] = {12500, 25000, 50000, 100000, 200000};
  printf("tree list sort by a text column, best of %d rounds; growth 1.00 = n log n\n", kRounds);
  printf("%8s %12s %10s %6s\n", "nodes", "sort ms", "us/node", "grow");
  double previous = 0;
  int previousSize = 0;
  for (int n : sizes) {
    double best = 1e30;
    for (int round = 0; round < kRounds; ++round) {
      auto* tree = new TCustomdxTreeListControl(nullptr);
      TdxTreeListColumn* column = tree->CreateColumn(&TdxTreeListColumn::MetaClass(), tree);
      Fill(*tree, n);
      best = std::min(best, Seconds([&] { column->SetSorted(csUp); }));
      if (!RowsInOrder(*tree)) {
        printf("rows out of order at %d nodes\n", n);
        return 1;
      }
      delete tree;
    }
    printf("%8d %12.1f %10.2f", n, best * 1000, best * 1e6 / n);
    if (previousSize) {
      const double nlogn = n * std::log2(double(n)) / (previousSize * std::log2(double(previousSize)));
      printf(" %6.2f", best / previous / nlogn);
    }
    printf("\n");
    previous = best;
    previousSize = n;
  }
  return 0;
}

}  // namespace

int main() { return RunWithTreeListUnits(Run); }
