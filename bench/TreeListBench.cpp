// Speed of the tree list's row lists: building a tree of n nodes (inside one update),
// expanding all of it (one full rebuild of the rows at the end), numbering every row
// from the lists, and one full rebuild alone, for n from 12,500 to 200,000. Each line
// gives the time per stage and its growth against the size before (time ratio over
// size ratio: 1.00 is linear). Best of several rounds.
#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

#include "bench/StepClock.h"
#include "classlib/Win.h"
#include "treelist/DxTreeList.h"

namespace {

constexpr int kRounds = 5;

// A tree list of plain nodes; nothing else is asked of it here.
class TBenchTreeList : public TCustomdxTreeList {
  KIVO_CLASS(TBenchTreeList, TCustomdxTreeList)
 public:
  explicit TBenchTreeList(TComponent* AOwner) : TCustomdxTreeList(AOwner) {}
  ~TBenchTreeList() override { ClearNodes(); }
  TdxTreeListNode* CreateNode() override { return new TdxTreeListNode(this); }
};

// n nodes in groups of 100: a top-level node, 9 children, 10 grandchildren each.
void Build(TBenchTreeList& tree, int n) {
  const TdxTreeListUpdateScope update(&tree);
  for (int group = 0; group < n / 100; ++group) {
    TdxTreeListNode* top = tree.Add();
    for (int i = 0; i < 9; ++i) {
      TdxTreeListNode* child = top->AddChild();
      for (int j = 0; j < 10; ++j)
        child->AddChild();
    }
  }
}

void ExpandAll(TBenchTreeList& tree) {
  const TdxTreeListUpdateScope update(&tree);
  for (int i = 0; i < tree.GetCount(); ++i)
    tree.GetItem(i)->Expand(true);
}

struct TFigures {
  double Build = 1e30, Expand = 1e30, Number = 1e30, Rebuild = 1e30;
};

}  // namespace

int main() {
  const int sizes[] = {12500, 25000, 50000, 100000, 200000};
  printf("tree list rows, best of %d rounds; growth 1.00 = linear\n", kRounds);
  printf("%8s %12s %6s %12s %6s %12s %6s %12s %6s %10s\n", "nodes", "build ms", "grow", "expand ms", "grow",
         "number ms", "grow", "rebuild ms", "grow", "ns/row");
  TFigures previous;
  int previousSize = 0;
  for (int n : sizes) {
    TFigures best;
    for (int round = 0; round < kRounds; ++round) {
      auto* tree = new TBenchTreeList(nullptr);
      best.Build = std::min(best.Build, Seconds([&] { Build(*tree, n); }));
      best.Expand = std::min(best.Expand, Seconds([&] { ExpandAll(*tree); }));
      std::vector<TdxTreeListNode*> nodes;
      nodes.reserve(n);
      for (TdxTreeListNode* node = tree->GetFirstNode(); node; node = node->GetNext())
        nodes.push_back(node);
      long long sum = 0;
      best.Number = std::min(best.Number, Seconds([&] {
                               for (TdxTreeListNode* node : nodes)
                                 sum += tree->GetNodeRowIndex(node);
                             }));
      // Every row numbered once: 0 + 1 + ... + (n - 1).
      if (!tree->InListMode() || tree->GetRowCount() != n || sum != static_cast<long long>(n) * (n - 1) / 2) {
        printf("wrong rows at %d nodes\n", n);
        return 1;
      }
      best.Rebuild = std::min(best.Rebuild, Seconds([&] {
                                tree->LayoutChanged();
                                tree->RebuildRows();
                              }));
      delete tree;
    }
    auto growth = [&](double now, double before) {
      return previousSize ? (now / before) / (double(n) / previousSize) : 1.0;
    };
    printf("%8d %12.2f %6.2f %12.2f %6.2f %12.2f %6.2f %12.2f %6.2f %10.1f\n", n, best.Build * 1e3,
           growth(best.Build, previous.Build), best.Expand * 1e3, growth(best.Expand, previous.Expand),
           best.Number * 1e3, growth(best.Number, previous.Number), best.Rebuild * 1e3,
           growth(best.Rebuild, previous.Rebuild), best.Rebuild * 1e9 / n);
    previous = best;
    previousSize = n;
  }
  return 0;
}
