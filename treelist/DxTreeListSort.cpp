// The order comparers and the tree list's node sort.
//
// A sort builds every record before the list sort runs and writes the nodes back only
// after it completed, so a comparer or value source that raises leaves the sibling list
// in its previous order; the records are freed on every way out.
#include "treelist/DxTreeListSort.h"

#include <vector>

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

int CompareNodesTreeOrder(void* A, void* B) {
  auto* a = static_cast<TdxTreeListNode*>(A);
  auto* b = static_cast<TdxTreeListNode*>(B);
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

int CompareKeyRecords(void* A, void* B) {
  if (!A)
    return 0;
  return CompareChains(Record(A), Record(B), IsTypedSortOf(Record(A)));
}

int CompareKeyRecordsTyped(void* A, void* B) {
  const int result = CompareKeyRecords(A, B);
  if (result != 0)
    return result;
  TdxTreeListNode* nodeA = Record(A)->Node;
  return nodeA->GetOwner()->CompareNodes(nodeA, Record(B)->Node);
}

int CompareByEvent(void* A, void* B) {
  TdxTreeListNode* nodeA = Record(A)->Node;
  TCustomdxTreeList* owner = nodeA->GetOwner();
  int compare = 0;
  owner->OnCompare(owner, nodeA, Record(B)->Node, compare);
  return compare;
}

int CompareByKeys(const TNodeVariant* A, const TNodeVariant* B) {
  for (; A && B; A = A->Next, B = B->Next) {
    if (VarSameValue(A->Value, B->Value))
      continue;
    const std::string* textA = A->Value.TextIf();
    const std::string* textB = B->Value.TextIf();
    const int result = textA && textB ? NaturalCompare(*textA, *textB)
                                      : NaturalCompare(A->Value.AsString(), B->Value.AsString());
    if (result != 0)
      return A->Descending ? -result : result;
  }
  return 0;
}

int CompareByKeysProc(void* Item1, void* Item2) { return CompareByKeys(Record(Item1), Record(Item2)); }

int CompareFirstField(void* A, void* B) {
  const int32_t a = *static_cast<const int32_t*>(A);
  const int32_t b = *static_cast<const int32_t*>(B);
  return (a > b) - (a < b);  // a difference could overflow
}

int CompareColumnSortOrder(void* A, void* B) {
  return Sign(static_cast<TdxTreeListColumn*>(A)->GetLoadedSortedOrder() -
              static_cast<TdxTreeListColumn*>(B)->GetLoadedSortedOrder());
}

bool SameTextIgnoringCase(std::string_view A, std::string_view B) { return AnsiUpperCase(A) == AnsiUpperCase(B); }

// ---- The node sort

void TCustomdxTreeList::SortNodes(TList* List, int32_t Column, bool Descending) {
  if (!List || List->GetCount() < 2)
    return;
  const int keyCount = GetSortedColumnCount();
  const bool multi = CanMultiSort(Column) && keyCount > 1;
  if (multi) {
    Column = GetSortedColumnIndex(0);
    Descending = GetSortedColumnDesc(0);
  }
  const int count = List->GetCount();
  const int chain = multi ? keyCount : 1;
  // One block holds every record; a head's further keys follow it.
  std::vector<TNodeVariant> records(static_cast<size_t>(count) * chain);
  TList working;
  working.SetCapacity(count);
  for (int i = 0; i < count; ++i) {
    TNodeVariant* head = &records[static_cast<size_t>(i) * chain];
    auto* node = static_cast<TdxTreeListNode*>(List->Get(i));
    head->Node = node;
    GetNodeVariant(node, Column, head->Value);
    head->Descending = Descending;
    for (int k = 1; k < chain; ++k) {
      TNodeVariant* key = head + k;
      key->Node = node;
      GetNodeVariant(node, GetSortedColumnIndex(k), key->Value);
      key->Descending = GetSortedColumnDesc(k);
      key[-1].Next = key;
    }
    working.Add(head);
  }
  working.Sort(OnCompare.Assigned() ? CompareByEvent : !IsTypedSort() ? CompareByKeysProc : CompareKeyRecordsTyped);
  for (int i = 0; i < count; ++i) {
    auto* node = static_cast<const TNodeVariant*>(working.Get(i))->Node;
    List->Put(i, node);
    node->FIndexHint = i;
  }
}

void TCustomdxTreeList::Sort(int32_t Level, int32_t Column, bool Descending) {
  // The edit of the focused cell is stored first: its value takes part in the order.
  EndEditingQuiet();
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

  // Level -1: the top level, then depth first every child list; Level n: the child
  // lists of the nodes at depth n - 1.
  auto sortBelow = [&](auto& self, TdxTreeListNode* node, int depth) -> void {
    if (Level < 0 || depth == Level - 1)
      SortNodes(node->GetChildren(), Column, Descending);
    if (Level >= 0 && depth >= Level - 1)
      return;
    for (int i = 0; i < node->GetCount(); ++i)
      self(self, node->GetItem(i), depth + 1);
  };
  if (Level <= 0)
    SortNodes(FRootNodes.get(), Column, Descending);
  if (Level != 0) {
    for (int i = 0; i < FRootNodes->GetCount(); ++i)
      sortBelow(sortBelow, GetItem(i), 0);
  }
  RowsChanged();
}
