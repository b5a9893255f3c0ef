// The tree list's order comparers: the routines its node sort and its focus code hand to
// the list sort (TList::Sort: two items in, a negative, zero or positive result out).
//
// A node sort (TCustomdxTreeList::SortNodes) gives every node of one sibling list a chain
// of key records, one per key column: the head record takes part in the sort, the
// records of the further keys hang from it in key order. A comparer of key records reads
// the control through the node (its owner): its typed-sort query, its tie-break
// CompareNodes and its OnCompare event.
#pragma once

#include <string_view>

#include "classlib/Variants.h"

class TdxTreeListNode;

// One key of one node in a sort.
struct TNodeVariant {
  TdxTreeListNode* Node = nullptr;
  // The node's value in the key column.
  Variant Value;
  // This key sorts descending.
  bool Descending = false;
  // The same node's record of the next key column; none after the last key.
  TNodeVariant* Next = nullptr;
};

// -1, 0 or 1.
inline int Sign(int x) { return (x > 0) - (x < 0); }

// Two nodes by their place in the pre-order of the whole tree: 1 when `right` is an
// ancestor of `left`, -1 when `left` is an ancestor of `right`; otherwise the difference of the indexes of their
// ancestors that are children of the nearest common ancestor.
int CompareNodesTreeOrder(void* left, void* right);
// Two key-record chains: equal values (VarSameValue) pass on to the next key; differing
// ones compare by the locale's case-sensitive text comparison when the control sorts
// typed and `a`'s value is a text, else by the variant ordering (`a` less: -1, else 1); a
// descending key reverses its own result. 0 when every key is equal.
int CompareKeyRecords(void* a, void* b);
// As CompareKeyRecords; when every key is equal the control's CompareNodes decides.
int CompareKeyRecordsTyped(void* a, void* b);
// The owner's OnCompare(Sender, a.Node, b.Node, Compare), Compare entering as 0.
int CompareByEvent(void* a, void* b);
// Two chains by NaturalCompare of their values' texts: values that are equal, or whose
// texts the natural comparison finds equal, pass on to the next key; a descending key
// reverses its own result. 0 when every key is equal (no tie-break).
int CompareByKeys(const TNodeVariant* a, const TNodeVariant* b);
int CompareByKeysProc(void* item1, void* item2);
// Two records whose first field is a 32-bit signed number, by that number (-1, 0, 1).
int CompareFirstField(void* left, void* right);
// Two tree-list columns by the sort positions they were loaded with (LoadedSortedOrder).
int CompareColumnSortOrder(void* a, void* b);
// Equal once both are upper-cased by the user's locale.
bool SameTextIgnoringCase(std::string_view a, std::string_view b);
