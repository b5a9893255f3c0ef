// The order comparers and the tree list's node sort.
//
// A sort builds every record before the list sort runs and writes the nodes back only
// after it completed, so a comparer or value source that raises leaves the sibling list
// in its previous order; the records are freed on every way out. A compare handler that
// frees the tree list ends the sort: the comparisons left answer "equal" without
// touching a node, and nothing is written back.
#include "treelist/DxTreeListSort.h"

#include <utility>
#include <vector>

#include "classlib/AliveGuard.h"
#include "classlib/Forms.h"
#include "classlib/Strings.h"
#include "treelist/DxTreeList.h"
#include "treelist/DxTreeListColumn.h"
#include "xpcontrols/XPUtils.h"

namespace {

const TNodeVariant* Record(void* item) { return static_cast<const TNodeVariant*>(item); }

// The result of two differing values of one key (before its direction applies).
int CompareDiffering(const Variant& a, const Variant& b, bool typed) {
  if (typed && a.IsString())
    return Sign(AnsiCompareStr(a.AsString(), b.AsString()));
  return VarCompareValue(a, b) == vrLessThan ? -1 : 1;
}

int CompareChains(const TNodeVariant* a, const TNodeVariant* b, bool typed) {
  for (; a && b; a = a->Next, b = b->Next) {
    if (VarSameValue(a->Value, b->Value))
      continue;
    const int result = CompareDiffering(a->Value, b->Value, typed);
    return a->Descending ? -result : result;
  }
  return 0;
}

bool IsTypedSortOf(const TNodeVariant* record) { return record->Node->GetOwner()->IsTypedSort(); }

}  // namespace

int CompareNodesTreeOrder(void* left, void* right) {
  auto* a = static_cast<TdxTreeListNode*>(left);
  auto* b = static_cast<TdxTreeListNode*>(right);
  if (a == b)
    return 0;
  if (a->HasAsParent(b))
    return 1;
  if (b->HasAsParent(a))
    return -1;
  int levelA = a->GetLevel();
  int levelB = b->GetLevel();
  for (; levelA > levelB; --levelA)
    a = a->GetParent();
  for (; levelB > levelA; --levelB)
    b = b->GetParent();
  while (a->GetParent() != b->GetParent()) {
    a = a->GetParent();
    b = b->GetParent();
  }
  return Sign(a->GetIndex() - b->GetIndex());
}

int CompareKeyRecords(void* a, void* b) {
  if (!a)
    return 0;
  return CompareChains(Record(a), Record(b), IsTypedSortOf(Record(a)));
}

int CompareKeyRecordsTyped(void* a, void* b) {
  const int result = CompareKeyRecords(a, b);
  if (result != 0)
    return result;
  TdxTreeListNode* nodeA = Record(a)->Node;
  return nodeA->GetOwner()->CompareNodes(nodeA, Record(b)->Node);
}

// The tree list whose compare event runs the sort, and whether it still lives.
struct TEventSort {
  TCustomdxTreeList* Owner;
  const TAliveGuard* Alive;
};
TEventSort* gEventSort = nullptr;

int CompareByEvent(void* a, void* b) {
  if (!gEventSort->Alive->Alive())
    return 0;
  TCustomdxTreeList* owner = gEventSort->Owner;
  int compare = 0;
  owner->OnCompare(owner, Record(a)->Node, Record(b)->Node, compare);
  return compare;
}

int CompareByKeys(const TNodeVariant* a, const TNodeVariant* b) {
  for (; a && b; a = a->Next, b = b->Next) {
    if (VarSameValue(a->Value, b->Value))
      continue;
    const std::string* textA = a->Value.TextIf();
    const std::string* textB = b->Value.TextIf();
    const int result = textA && textB ? NaturalCompare(*textA, *textB)
                                      : NaturalCompare(a->Value.AsString(), b->Value.AsString());
    if (result != 0)
      return a->Descending ? -result : result;
  }
  return 0;
}

int CompareByKeysProc(void* item1, void* item2) { return CompareByKeys(Record(item1), Record(item2)); }

int CompareFirstField(void* left, void* right) {
  const int32_t a = *static_cast<const int32_t*>(left);
  const int32_t b = *static_cast<const int32_t*>(right);
  return (a > b) - (a < b);  // a difference could overflow
}

int CompareColumnSortOrder(void* a, void* b) {
  return Sign(static_cast<TdxTreeListColumn*>(a)->GetLoadedSortedOrder() -
              static_cast<TdxTreeListColumn*>(b)->GetLoadedSortedOrder());
}

bool SameTextIgnoringCase(std::string_view a, std::string_view b) { return AnsiUpperCase(a) == AnsiUpperCase(b); }

// ---- The node sort

void TCustomdxTreeList::SortNodes(TList* list, int32_t column, bool descending) {
  if (!list || list->GetCount() < 2)
    return;
  const int keyCount = GetSortedColumnCount();
  const bool multi = CanMultiSort(column) && keyCount > 1;
  if (multi) {
    column = GetSortedColumnIndex(0);
    descending = GetSortedColumnDesc(0);
  }
  const int count = list->GetCount();
  const int chain = multi ? keyCount : 1;
  // One block holds every record; a head's further keys follow it.
  std::vector<TNodeVariant> records(static_cast<size_t>(count) * chain);
  TList working;
  working.SetCapacity(count);
  for (int i = 0; i < count; ++i) {
    TNodeVariant* head = &records[static_cast<size_t>(i) * chain];
    auto* node = static_cast<TdxTreeListNode*>(list->Get(i));
    head->Node = node;
    GetNodeVariant(node, column, head->Value);
    head->Descending = descending;
    for (int k = 1; k < chain; ++k) {
      TNodeVariant* key = head + k;
      key->Node = node;
      GetNodeVariant(node, GetSortedColumnIndex(k), key->Value);
      key->Descending = GetSortedColumnDesc(k);
      key[-1].Next = key;
    }
    working.Add(head);
  }
  const TAliveGuard alive(this);
  {
    TEventSort eventSort{this, &alive};
    struct TRestore {
      TEventSort* Outer;
      ~TRestore() { gEventSort = Outer; }
    } restore{std::exchange(gEventSort, &eventSort)};
    working.Sort(OnCompare.Assigned() ? CompareByEvent : !IsTypedSort() ? CompareByKeysProc : CompareKeyRecordsTyped);
  }
  if (!alive.Alive())
    return;
  for (int i = 0; i < count; ++i) {
    auto* node = static_cast<const TNodeVariant*>(working.Get(i))->Node;
    list->Put(i, node);
    node->FIndexHint = i;
  }
}

void TCustomdxTreeList::Sort(int32_t level, int32_t column, bool descending) {
  // The edit of the focused cell is stored first: its value takes part in the order.
  GetEditController().EndEditingQuiet();
  struct TCursorRestore {
    TCursor Saved;
    bool Set;
    ~TCursorRestore() {
      if (Set)
        Screen->SetCursor(Saved);
    }
  } cursor{Screen ? Screen->GetCursor() : crDefault, Screen != nullptr && IsSortHourGlass()};
  if (cursor.Set)
    Screen->SetCursor(crHourGlass);

  // `level` -1: the top level, then depth first every child list; `level` n: the child
  // lists of the nodes at depth n - 1. A compare handler may free the control: the sort
  // ends there.
  const TAliveGuard alive(this);
  auto sortList = [&](TList* list) {
    SortNodes(list, column, descending);
    return alive.Alive();
  };
  auto sortBelow = [&](auto& self, TdxTreeListNode* node, int depth) -> bool {
    if ((level < 0 || depth == level - 1) && !sortList(node->GetChildren()))
      return false;
    if (level >= 0 && depth >= level - 1)
      return true;
    for (int i = 0; i < node->GetCount(); ++i)
      if (!self(self, node->GetItem(i), depth + 1))
        return false;
    return true;
  };
  if (level <= 0 && !sortList(FRootNodes.get()))
    return;
  if (level != 0) {
    for (int i = 0; i < FRootNodes->GetCount(); ++i)
      if (!sortBelow(sortBelow, GetItem(i), 0))
        return;
  }
  RowsChanged();
}
