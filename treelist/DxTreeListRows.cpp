// Rows: the three row lists (the node of each row; the nodes sorted by address with
// their rows, searched by bisection), their full and single-node rebuilding, the tree
// walk that answers while they are empty.
//
// A node that should be in the lists but is not (a per-node update was skipped while
// the lists were built, or they went out of step some other way) never indexes entry
// -1: the lists are dropped instead, and lookups walk the tree until the next full
// rebuild.
#include <algorithm>
#include <cstdint>
#include <functional>
#include <utility>

#include "treelist/DxTreeList.h"

namespace {

// Nodes are ordered by address, without the overflow of an address difference.
bool NodeBefore(const TdxTreeListNode* a, const TdxTreeListNode* b) {
  return std::less<const TdxTreeListNode*>()(a, b);
}

using TRowPair = std::pair<TdxTreeListNode*, int32_t>;

// Sorts (node, row) pairs by node address in time linear in their number: a
// least-significant-digit radix sort over 11-bit digits of the address, skipping a digit
// that every address shares.
void SortByAddress(std::vector<TRowPair>& pairs) {
  if (pairs.size() < 256) {
    std::sort(pairs.begin(), pairs.end(),
              [](const TRowPair& a, const TRowPair& b) { return NodeBefore(a.first, b.first); });
    return;
  }
  std::vector<TRowPair> sorted(pairs.size());
  constexpr unsigned kDigitBits = 11;
  std::vector<size_t> starts((size_t{1} << kDigitBits) + 1);
  for (unsigned shift = 0; shift < sizeof(uintptr_t) * 8; shift += kDigitBits) {
    auto digit = [shift](const TRowPair& pair) {
      return (reinterpret_cast<uintptr_t>(pair.first) >> shift) & ((uintptr_t{1} << kDigitBits) - 1);
    };
    std::fill(starts.begin(), starts.end(), 0);
    for (const TRowPair& pair : pairs)
      ++starts[digit(pair) + 1];
    if (std::find(starts.begin(), starts.end(), pairs.size()) != starts.end())
      continue;
    for (size_t d = 1; d < starts.size(); ++d)
      starts[d] += starts[d - 1];
    for (const TRowPair& pair : pairs)
      sorted[starts[digit(pair)]++] = pair;
    pairs.swap(sorted);
  }
}

// Visits the shown nodes in row order until visit answers false.
template <class F>
void ForEachShownNode(const TList* roots, F&& visit) {
  std::vector<std::pair<const TList*, int>> stack;
  stack.emplace_back(roots, 0);
  while (!stack.empty()) {
    auto& [list, index] = stack.back();
    if (index >= list->GetCount()) {
      stack.pop_back();
      continue;
    }
    auto* node = static_cast<TdxTreeListNode*>(list->Get(index++));
    if (!visit(node))
      return;
    if (node->GetExpanded() && node->GetCount() > 0)
      stack.emplace_back(node->GetChildren(), 0);
  }
}

}  // namespace

// ---- Lookups

bool TdxTreeListRows::InListMode() const {
  return !FNodeOrder.empty() && !FControl.IsDestroying();
}

int TdxTreeListRows::FindNodeOrderIndex(const TdxTreeListNode* node) const {
  int lo = 0;
  int hi = static_cast<int>(FNodeOrder.size()) - 1;
  while (lo <= hi) {
    const int mid = (lo + hi) / 2;
    const TdxTreeListNode* item = FNodeOrder[mid];
    if (item == node)
      return mid;
    if (NodeBefore(item, node))
      lo = mid + 1;
    else
      hi = mid - 1;
  }
  return -1;
}

int TdxTreeListRows::GetRowCount() const {
  if (InListMode())
    return static_cast<int>(FNodeOrder.size());
  int count = 0;
  ForEachShownNode(FControl.GetRootNodes(), [&count](TdxTreeListNode*) {
    ++count;
    return true;
  });
  return count;
}

int TdxTreeListRows::WalkRowIndex(const TdxTreeListNode* node) const {
  if (!node->IsVisible())
    return -1;  // a node below a collapsed ancestor is never reached by the walk
  int row = -1;
  bool found = false;
  ForEachShownNode(FControl.GetRootNodes(), [&](TdxTreeListNode* n) {
    ++row;
    found = n == node;
    return !found;
  });
  return found ? row : -1;
}

TdxTreeListNode* TdxTreeListRows::WalkNodeAtRow(int index) const {
  TdxTreeListNode* result = nullptr;
  int row = -1;
  ForEachShownNode(FControl.GetRootNodes(), [&](TdxTreeListNode* n) {
    if (++row != index)
      return true;
    result = n;
    return false;
  });
  return result;
}

int TdxTreeListRows::GetNodeRowIndex(const TdxTreeListNode* node) const {
  if (!node || FControl.GetCount() == 0)
    return -1;
  if (!InListMode())
    return WalkRowIndex(node);
  const int p = FindNodeOrderIndex(node);
  return p < 0 ? -1 : FNodeOrderRows[p];
}

TdxTreeListNode* TdxTreeListRows::GetNodeAtRow(int index) const {
  if (index < 0)
    return nullptr;
  if (!InListMode())
    return WalkNodeAtRow(index);
  return index < static_cast<int>(FRowNodes.size()) ? FRowNodes[index] : nullptr;
}

// ---- Rebuilding

void TdxTreeListRows::ClearRowLists() {
  FRowsBuilt = false;
  FRowNodes.clear();
  FNodeOrder.clear();
  FNodeOrderRows.clear();
}

void TdxTreeListRows::RebuildRows() {
  if (FControl.IsDestroying())
    return;
  if (!FPendingNode)
    RebuildAllRows();
  else if (FPendingVisible && InListMode()) {
    if (FPendingDeletion)
      ApplyRowDeletion(FPendingNode);
    else
      ApplyRowAddition(FPendingNode);
  }
  if (!FRefreshSuppressed && FControl.IsOptionsEx15Set())
    FControl.RefreshNodeCounts();
  FRowsBuilt = true;
}

void TdxTreeListRows::RebuildAllRows() {
  std::vector<TRowPair> pairs;
  pairs.reserve(FControl.GetCount());
  FRowNodes.clear();
  FRowNodes.reserve(FControl.GetCount());
  ForEachShownNode(FControl.GetRootNodes(), [this, &pairs](TdxTreeListNode* node) {
    pairs.emplace_back(node, static_cast<int32_t>(FRowNodes.size()));
    FRowNodes.push_back(node);
    return true;
  });
  SortByAddress(pairs);
  FNodeOrder.clear();
  FNodeOrderRows.clear();
  FNodeOrder.reserve(pairs.size());
  FNodeOrderRows.reserve(pairs.size());
  for (const auto& [node, row] : pairs) {
    FNodeOrder.push_back(node);
    FNodeOrderRows.push_back(row);
  }
}

void TdxTreeListRows::ApplyRowDeletion(TdxTreeListNode* node) {
  const int p = FindNodeOrderIndex(node);
  if (p < 0) {
    ClearRowLists();
    return;
  }
  const int32_t r = FNodeOrderRows[p];
  if (r < 0 || r >= static_cast<int32_t>(FRowNodes.size()) || FRowNodes[r] != node) {
    ClearRowLists();
    return;
  }
  for (int32_t& row : FNodeOrderRows) {
    if (row >= r)
      --row;
  }
  FNodeOrderRows.erase(FNodeOrderRows.begin() + p);
  FNodeOrder.erase(FNodeOrder.begin() + p);
  FRowNodes.erase(FRowNodes.begin() + r);
  // The new last child may now close its parent's groups: its cached height is stale.
  TdxTreeListNode* parent = node->GetParent();
  if (parent && FPendingWasLast && parent->GetCount() > 0)
    parent->GetLastChild()->SetRowHeightCache(0);
}

void TdxTreeListRows::ApplyRowAddition(TdxTreeListNode* node) {
  // The node goes at the row of the node that follows its subtree in tree order.
  TdxTreeListNode* follower = nullptr;
  for (const TdxTreeListNode* n = node; n && !follower; n = n->GetParent())
    follower = n->GetNextSibling();
  int32_t r = static_cast<int32_t>(FRowNodes.size());
  if (follower) {
    const int q = FindNodeOrderIndex(follower);
    if (q < 0) {
      ClearRowLists();
      return;
    }
    r = FNodeOrderRows[q];
  }
  for (int32_t& row : FNodeOrderRows) {
    if (row >= r)
      ++row;
  }
  const auto at = std::lower_bound(FNodeOrder.begin(), FNodeOrder.end(), node, NodeBefore);
  if (at != FNodeOrder.end() && *at == node) {
    ClearRowLists();  // already listed: the lists are out of step
    return;
  }
  const auto p = at - FNodeOrder.begin();
  FNodeOrderRows.insert(FNodeOrderRows.begin() + p, r);
  FNodeOrder.insert(at, node);
  FRowNodes.insert(FRowNodes.begin() + r, node);
  // The previous last child no longer closes its parent's groups.
  TdxTreeListNode* parent = node->GetParent();
  if (parent && node->IsLast() && parent->GetCount() >= 2)
    parent->GetItem(parent->GetCount() - 2)->SetRowHeightCache(0);
}

void TdxTreeListRows::UpdateRowsForNode(TdxTreeListNode* node, bool deleted) {
  struct TReset {
    TdxTreeListRows* Rows;
    ~TReset() {
      Rows->FPendingNode = nullptr;
      Rows->FPendingVisible = false;
    }
  } reset{this};
  FPendingNode = node;
  if (!deleted)
    FPendingVisible = node->IsVisible();
  FPendingDeletion = deleted;
  FControl.RebuildRows();
}

void TdxTreeListRows::ResetRowHeightCaches(TdxTreeListNode* node) {
  std::vector<TdxTreeListNode*> stack{node};
  while (!stack.empty()) {
    TdxTreeListNode* n = stack.back();
    stack.pop_back();
    n->SetRowHeightCache(0);
    for (int i = 0; i < n->GetCount(); ++i)
      stack.push_back(n->GetItem(i));
  }
}

void TdxTreeListRows::RefreshNodeCounts() {
  if (FControl.GetClearing() || FControl.IsDestroying() || FControl.IsLoading())
    return;
  for (int i = 0; i < FControl.GetCount(); ++i)
    ResetRowHeightCaches(FControl.GetItem(i));
}
